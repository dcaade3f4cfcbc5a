#pragma once
// An interactive application over a small scene, for the tests of the selection and of the
// item commands, with a check that a command is one labelled undo step that undo and redo
// take back and make again exactly.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/app/app_object.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/support/scene_undo_check.h"

class AppSceneTest : public ::testing::Test {
protected:
    // /geo: ball (Sphere, material -> red, with an embedded wheel), box (Box)
    // /shading: red (Material, texture <- checker>rgb), checker (Texture)
    void SetUp() override
    {
        OfClassFactory& classes = scene.get_classes();
        OfClass* geometry = classes.add_class("Geometry", "", "Geometry", true);
        geometry->add_attr("visible", OfPlugType::TYPE_BOOL).set_default_bool(true);
        geometry->add_attr("material", OfPlugType::TYPE_REFERENCE).set_object_filter("Material");
        geometry->add_output("mesh", OfPlugType::TYPE_OBJECT);
        classes.add_class("Sphere", "Geometry", "Geometry")
            ->add_attr("radius", OfPlugType::TYPE_DOUBLE)
            .set_default_double(1.0);
        classes.add_class("Box", "Geometry", "Geometry");
        OfClass* material = classes.add_class("Material", "", "Shading");
        material->add_attr("color", OfPlugType::TYPE_COLOR).set_default_vec3d({0.5, 0.5, 0.5});
        material->add_attr("texture", OfPlugType::TYPE_COLOR).set_connectable(true);
        OfClass* texture = classes.add_class("Texture", "", "Shading");
        texture->add_attr("uv", OfPlugType::TYPE_VEC2D).set_default_vec2d({1.0, 1.0});
        texture->add_output("rgb", OfPlugType::TYPE_COLOR);
        classes.add_class("Wheel", "", "Scene")->set_embedded_only(true);

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
