#pragma once
// An interactive application over a small scene, for the tests of the selection and of the
// item commands, with a check that a command is one labelled undo step that undo and redo
// take back and make again exactly.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/app/app_object.h"
#include "tests/of/of_test_scene.h"

class AppSceneTest : public ::testing::Test {
protected:
    // /geo: ball (Sphere, material -> red, with an embedded wheel), box (Box)
    // /shading: red (Material, texture <- checker>rgb), checker (Texture)
    void SetUp() override
    {
        declare_test_classes(scene.get_classes());
        geo = scene.create_context("geo");
        shading = scene.create_context("shading");
        ball = scene.create_object("Sphere", "ball", geo);
        box = scene.create_object("Box", "box", geo);
        red = scene.create_object("Material", "red", shading);
        checker = scene.create_object("Texture", "checker", shading);
        ball->get_attr("material")->set_object(red);
        ball->add_embedded_object("Wheel", "wheel");
        red->get_attr("texture")->connect(*checker->get_output("rgb"));
        ball->set_comment("the ball");
        ball->set_position({10.0, 20.0});
        box->set_position({30.0, 40.0});
        commands().clear();
    }

    std::string dump() const { return scene.dump_text().std_string(); }
    OfCommandManager& commands() { return scene.get_command_manager(); }

    // Runs `change`, which must make exactly one undo step labelled `label`, and checks that
    // undo and redo take it back and make it again exactly.
    void expect_undoable(char const* label, std::function<void()> const& change)
    {
        expect_undoable_change(scene, label, change);
    }

    AppObject app;
    OfObjectFactory& scene = app.get_factory();
    OfContext* geo = nullptr;
    OfContext* shading = nullptr;
    OfObject* ball = nullptr;
    OfObject* box = nullptr;
    OfObject* red = nullptr;
    OfObject* checker = nullptr;
};
