#pragma once
// An interactive application over a small scene, for the tests of the selection and of the
// item commands, with a check that a command is one labelled undo step that undo and redo
// take back and make again exactly.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/app/app_object.h"
#include "tests/of/of_test_scene.h"

// An application over the sample scene.
class AppSceneTest : public ::testing::Test, public SampleScene {
protected:
    void SetUp() override
    {
        declare_test_classes(scene.get_classes());
        build(scene);
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
};
