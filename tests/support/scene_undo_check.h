#pragma once
// Checks that a change of a scene is one undo step that undo takes back and redo makes
// again exactly, by comparing the scene's dumps before, after, after undo and after redo.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/of/of_command_manager.h"
#include "host/of/of_object_factory.h"

// `label`, when given, must be the label of the new undo step.
inline void expect_undoable_change(OfObjectFactory& scene, char const* label,
                                   std::function<void()> const& change)
{
    SCOPED_TRACE(label ? label : "unlabelled change");
    OfCommandManager& commands = scene.get_command_manager();
    std::string before = scene.dump_text().std_string();
    unsigned int steps = commands.get_undo_count();
    change();
    std::string after = scene.dump_text().std_string();
    ASSERT_NE(before, after) << "the change changed nothing";
    ASSERT_EQ(commands.get_undo_count(), steps + 1);
    if (label) {
        EXPECT_EQ(commands.get_undo_label(), label);
    }
    ASSERT_TRUE(commands.undo());
    EXPECT_EQ(scene.dump_text().std_string(), before);
    EXPECT_TRUE(scene.check_integrity());
    ASSERT_TRUE(commands.redo());
    EXPECT_EQ(scene.dump_text().std_string(), after);
    EXPECT_TRUE(scene.check_integrity());
}
