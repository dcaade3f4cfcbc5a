#pragma once
// The sample scene in the test application's own scene, for the item actions and menus:
// /geo (ball with an embedded wheel, box, and the context sub), /shading (red, checker) and
// /shading/refs, a reference context holding the material inside.
#include <gtest/gtest.h>

#include <string>

#include "host/app/app_selection.h"
#include "tests/of/of_test_scene.h"
#include "tests/support/gui_test_app.h"

class ItemSceneTest : public GuiTest, public SampleScene {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        if (IsSkipped()) return;
        if (!scene().get_classes().get("SceneItem")) declare_test_classes(scene().get_classes());
        scene().clear();
        app().clear_item_clipboard();
        build(scene());
        sub = scene().create_context("sub", geo);
        refs = scene().create_context("refs", shading);
        inside = scene().create_object("Material", "inside", refs);
        refs->set_reference(true);
        wheel = ball->get_embedded_object("wheel");
        commands().clear();
    }
    void TearDown() override
    {
        scene().clear();
        app().clear_item_clipboard();
        GuiTest::TearDown();
    }

public:
    OfObjectFactory& scene() { return app().get_factory(); }
    OfCommandManager& commands() { return scene().get_command_manager(); }
    std::string dump() { return scene().dump_text().std_string(); }
    OfContext& root() { return scene().get_root(); }

    OfContext* sub = nullptr;
    OfContext* refs = nullptr;
    OfObject* inside = nullptr;
    OfObject* wheel = nullptr;
};
