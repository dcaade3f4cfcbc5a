#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/app/app_builtin_commands.h"
#include "host/app/app_selection.h"
#include "tests/app/app_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

using Vec2 = GMathVec2<double>;

class AppBuiltinCommandsTest : public AppSceneTest {
protected:
    AppBuiltinCommands& builtin = app.get_builtin_commands();
};

TEST_F(AppBuiltinCommandsTest, EachCommandIsOneLabelledUndoStep)
{
    AppSelection& selection = app.get_selection();
    CoreString const& group = AppSelection::get_global_group_label();
    CoreString const& slot = AppSelection::get_global_slot_label();

    // Without a context, objects go to the working context of the global slot.
    selection.set_slot_working_context(group, slot, *shading);
    OfObject* moon = nullptr;
    expect_undoable("Create Object", [&] {
        moon = builtin.create_object("Sphere", "moon", nullptr, Vec2(5, 6), true);
        EXPECT_EQ(selection.get_items(group, slot), (CoreVector<OfItem*>{moon}));
    });
    ASSERT_NE(moon, nullptr);
    EXPECT_EQ(moon->get_context(), shading);
    EXPECT_EQ(moon->get_position(), Vec2(5, 6));

    expect_undoable("Rename Item", [&] { EXPECT_TRUE(builtin.rename_item("/geo/ball", "box")); });
    EXPECT_EQ(ball->get_name(), "box1");

    expect_undoable("Move Items", [&] {
        EXPECT_TRUE(builtin.move_items_to(CoreVector<OfItem*>{ball, geo}, *shading));
    });
    EXPECT_EQ(geo->get_parent(), shading);
    EXPECT_EQ(ball->get_context(), geo);  // moved with its context

    CoreVector<OfItem*> copies;
    expect_undoable("Copy Items", [&] {
        copies = builtin.copy_items_to(CoreVector<OfItem*>{ball, red}, *geo);
    });
    EXPECT_EQ(copies.get_count(), 2u);

    CoreVector<OfObject*> instances;
    expect_undoable("Create Instances", [&] {
        instances = builtin.create_instances_to(CoreVector<OfItem*>{ball, box}, *shading);
    });
    ASSERT_EQ(instances.get_count(), 2u);
    EXPECT_EQ(instances[1]->get_context(), shading);

    expect_undoable("Set Items Positions", [&] {
        EXPECT_TRUE(
            builtin.set_items_positions(CoreVector<OfItem*>{ball, box}, CoreVector<Vec2>{{1, 2}, {3, 4}}));
    });
    EXPECT_EQ(box->get_position(), Vec2(3, 4));
}

TEST_F(AppBuiltinCommandsTest, WritableContexts)
{
    EXPECT_FALSE(AppBuiltinCommands::is_context_writable(nullptr));
    EXPECT_TRUE(AppBuiltinCommands::is_context_writable(&scene.get_root()));
    OfContext* looks = scene.create_context("looks", shading);
    EXPECT_TRUE(AppBuiltinCommands::is_context_writable(looks));
    shading->set_reference(true);
    EXPECT_FALSE(AppBuiltinCommands::is_context_writable(shading));
    EXPECT_FALSE(AppBuiltinCommands::is_context_writable(looks));
    geo->remove();
    EXPECT_FALSE(AppBuiltinCommands::is_context_writable(geo));
}

TEST_F(AppBuiltinCommandsTest, BadInputGivesOneMessageAndChangesNothing)
{
    OfContext* looks = scene.create_context("looks", shading);
    scene.create_object("Material", "tinted", looks);
    shading->set_reference(true);
    commands().clear();
    OfObject* wheel = ball->get_embedded_object("wheel");
    OfContext* inner = scene.create_context("inner", geo);
    commands().clear();

    std::vector<std::pair<char const*, std::function<bool()>>> attempts = {
        // Classes that cannot be made are refused by the scene, as its own tests check.
        {"unknown class", [&] { return builtin.create_object("Comet", "c", geo) != nullptr; }},
        {"into a reference", [&] { return builtin.create_object("Box", "", looks) != nullptr; }},
        {"rename unknown", [&] { return builtin.rename_item("/geo/comet", "x"); }},
        {"rename virtual", [&] { return builtin.rename_item("/shading/looks/tinted", "x"); }},
        {"move embedded", [&] { return builtin.move_items_to(CoreVector<OfItem*>{box, wheel}, *inner); }},
        {"move into itself", [&] { return builtin.move_items_to(CoreVector<OfItem*>{box, geo}, *inner); }},
        {"move into a reference", [&] { return builtin.move_items_to(CoreVector<OfItem*>{box}, *looks); }},
        {"copy locked",
         [&] { return !builtin.copy_items_to(CoreVector<OfItem*>{&scene.get_root()}, *geo).is_empty(); }},
        {"copy embedded",
         [&] { return !builtin.copy_items_to(CoreVector<OfItem*>{wheel}, *geo).is_empty(); }},
        {"instance of a context",
         [&] {
             return !builtin.create_instances_to(CoreVector<OfItem*>{ball, inner}, *geo).is_empty();
         }},
        {"positions count",
         [&] {
             return builtin.set_items_positions(CoreVector<OfItem*>{ball, box}, CoreVector<Vec2>{{1, 1}});
         }},
    };
    std::string before = dump();
    for (auto const& [what, attempt] : attempts) {
        LogRecorder log;
        EXPECT_FALSE(attempt()) << what;
        EXPECT_EQ(log.count(), 1u) << what << ":\n" << log.dump();
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(commands().get_undo_count(), 0u);
}

}  // namespace
