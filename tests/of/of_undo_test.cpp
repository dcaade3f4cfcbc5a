#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "host/of/of_attr.h"
#include "host/of/of_attr_table.h"
#include "host/of/of_event.h"
#include "host/of/of_handle.h"
#include "tests/of/of_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

class OfUndoTest : public OfSceneTest, public SampleScene {
protected:
    void SetUp() override
    {
        OfSceneTest::SetUp();
        build(scene);
    }
};

TEST_F(OfUndoTest, EveryCommandKindUndoesAndRedoesExactly)
{
    expect_undoable([&] { scene.create_context("lights", geo, OfContextEngine::KIND_ASSEMBLY); });
    expect_undoable([&] { ball->add_embedded_object("Wheel", "front"); });
    // Item fields.
    expect_undoable([&] { box->set_comment("wooden"); });
    expect_undoable([&] { shading->set_reference(true); });
    expect_undoable([&] { shading->set_reference(false); });
    // Moves, of an object and of a context (the context's objects keep their links).
    expect_undoable([&] { box->move_to(*shading); });
    expect_undoable([&] { shading->move_to(*geo); });
    // Attribute values of every kind, expressions, connections and references.
    expect_undoable([&] { ball->get_attr("radius")->set_double(2.5); });
    expect_undoable([&] { ball->get_attr("tags")->set_value_count(3); });
    expect_undoable([&] { ball->get_attr("radius")->set_expression("frame * 2"); });
    expect_undoable([&] { ball->get_attr("material")->set_object(nullptr); });
    expect_undoable([&] { ball->get_attr("material")->revert(); });
    expect_undoable([&] { red->get_attr("texture")->disconnect(); });
    expect_undoable([&] { checker->get_attr("input")->connect(*box); });
    // Copies, with links between the copies remapped and links to the rest kept.
    expect_undoable([&] { scene.copy_items(CoreVector<OfItem*>{ball, red}, *geo); });
    // Deletion, of an object that others link to and of a context holding linked objects.
    expect_undoable([&] { red->remove(); });
    expect_undoable([&] { shading->remove(); });
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfUndoTest, UndoKeepsTheOrderOfDependents)
{
    OfObject* p = scene.create_object("Sphere", "p", geo);
    OfObject* x = scene.create_object("Sphere", "x", geo);
    OfObject* q = scene.create_object("Sphere", "q", geo);
    for (OfObject* object : {p, x, q}) object->get_attr("material")->set_object(red);
    auto names = [&] {
        std::string result;
        for (OfObject* dependent : red->get_dependents()) result += dependent->get_name().std_string() + " ";
        return result;
    };
    std::string const order = names();
    ASSERT_EQ(order, "ball p x q ");

    // A middle link cleared then restored.
    x->get_attr("material")->set_object(nullptr);
    EXPECT_EQ(names(), "ball p q ");
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(names(), order);
    // A middle holder deleted then restored.
    ASSERT_TRUE(x->remove());
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(names(), order);
    // The target itself deleted then restored, with its holders' links.
    std::string const before = dump();
    ASSERT_TRUE(red->remove());
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(names(), order);
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfUndoTest, BatchesNestAndNameTheirStep)
{
    commands().begin_batch("Rename Items");
    ball->set_name("a");
    commands().begin_batch("inner");
    EXPECT_EQ(commands().get_batch_level(), 2);
    box->set_name("b");
    commands().end_batch();
    EXPECT_EQ(commands().get_batch_level(), 1);
    EXPECT_FALSE(commands().undo());  // refused while the batch is open
    commands().end_batch();
    EXPECT_EQ(commands().get_undo_count(), 1u);
    EXPECT_EQ(commands().get_undo_label(), "Rename Items");

    // An empty batch adds no step; a change outside a batch is its own step.
    commands().begin_batch("Nothing");
    commands().end_batch();
    red->set_colortag(2);
    EXPECT_EQ(commands().get_undo_count(), 2u);

    ASSERT_TRUE(commands().undo());
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(box->get_name(), "box");  // the inner batch went with the outer one
    // A new change drops the redo steps.
    box->set_position({1, 1});
    EXPECT_FALSE(commands().is_redoable());

    LogRecorder log;
    commands().end_batch();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
}

TEST_F(OfUndoTest, DroppedStepsFreeTheirItemsAndHandlesStayInvalid)
{
    unsigned int items = OfItemRegistry::get_item_count();
    OfObject* temp = scene.create_object("Box", "temp", geo);
    OfObjectHandle handle(temp);
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(OfItemRegistry::get_item_count(), items + 1);  // kept by the redo step
    box->set_name("crate");                                  // drops it
    EXPECT_EQ(OfItemRegistry::get_item_count(), items);
    // The slot is reused by a new item, but the old handle does not see it.
    OfObject* other = scene.create_object("Box", "other", geo);
    EXPECT_FALSE(handle.is_valid());
    EXPECT_NE(handle, OfObjectHandle(other));

    // With a limit, the oldest steps go.
    commands().set_history_limit(2);
    box->set_position({1, 0});
    box->set_position({2, 0});
    box->set_position({3, 0});
    EXPECT_EQ(commands().get_undo_count(), 2u);
    ASSERT_TRUE(commands().undo());
    ASSERT_TRUE(commands().undo());
    EXPECT_FALSE(commands().undo());
    EXPECT_EQ(box->get_position()[0], 1.0);
}

TEST_F(OfUndoTest, ChangesFromEventCallbacksDuringUndoAreRefused)
{
    box->set_name("crate");
    struct Ctx {
        OfObject* ball;
        bool refused = false;
    } ctx{ball};
    EventObject::connect(
        scene, EVT_ID_OF_OBJECT_RENAME,
        [](EventObject&, EventObject::EventInfo const&, void* data) {
            auto* c = static_cast<Ctx*>(data);
            if (!c->ball->set_comment("changed")) c->refused = true;
        },
        &ctx);
    LogRecorder log;
    ASSERT_TRUE(commands().undo());
    EXPECT_TRUE(ctx.refused);
    EXPECT_EQ(ball->get_comment(), "the ball");
}

TEST_F(OfUndoTest, ChangesFromEventCallbacksDuringARunJoinItsStep)
{
    // A listener that places every new object and tries to undo while the creation runs.
    struct Ctx {
        OfCommandManager* commands;
        int refused_undos = 0;
    } ctx{&commands()};
    EventObject::connect(
        scene, EVT_ID_OF_ADD_OBJECT,
        [](EventObject&, EventObject::EventInfo const& info, void* data) {
            auto* c = static_cast<Ctx*>(data);
            auto const* event = static_cast<OfEventData const*>(info.get_event_data());
            if (c->commands->is_busy()) return;
            if (!c->commands->undo()) ++c->refused_undos;
            if (event->item->get_position()[0] == 0.0) event->item->set_position({5.0, 5.0});
        },
        &ctx);
    std::string const before = dump();
    LogRecorder log;
    OfObject* created = scene.create_object("Sphere", "placed", geo);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->get_position()[0], 5.0);
    EXPECT_EQ(commands().get_undo_count(), 1u);
    EXPECT_EQ(ctx.refused_undos, 1);
    std::string const after = dump();

    // The position is undone before the creation, and made again after it.
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(commands().undo());
    ASSERT_TRUE(commands().redo());
    EXPECT_EQ(dump(), after);
    ASSERT_TRUE(commands().undo());

    // Inside an open batch the listener's change follows the creation in the batch.
    commands().begin_batch("Place");
    scene.create_object("Box", "", geo);
    commands().end_batch();
    EXPECT_EQ(commands().get_undo_count(), 1u);
    EXPECT_EQ(commands().get_undo_label(), "Place");
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfUndoTest, AttributeTableRowsAreOneStep)
{
    OfClass* rig = scene.get_classes().add_class("Rig", "SceneItem");
    rig->add_attr("names", OfPlugType::TYPE_STRING, 2).set_variable(true).set_default_string("light");
    rig->add_attr("power", OfPlugType::TYPE_DOUBLE, 2).set_variable(true).set_default_double(1.0);
    rig->add_attr("on", OfPlugType::TYPE_BOOL, 2).set_variable(true).set_default_bool(true);
    rig->add_attr_table("lights")
        .add_column("Name", "names")
        .add_column("Power", "power")
        .set_enable_attr("on");
    OfObject* object = scene.create_object("Rig", "rig");
    OfAttrTable table(*object, "lights");
    ASSERT_TRUE(table.is_valid());
    object->get_attr("names")->set_string("key", 1);
    object->get_attr("on")->set_bool(false, 0);
    EXPECT_FALSE(table.is_row_enabled(0));
    EXPECT_TRUE(table.is_row_enabled(1));

    expect_undoable([&] { table.add_row(); });
    EXPECT_EQ(table.get_double(2, 1), 1.0);
    expect_undoable([&] { table.remove_row(0); });
    EXPECT_EQ(table.get_string(0, 0), "key");
    EXPECT_TRUE(table.is_row_enabled(0));

    LogRecorder log;
    EXPECT_FALSE(table.remove_row(5));
    EXPECT_EQ(table.get_double(9, 0), 0.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
}

TEST_F(OfUndoTest, TableRowsWithAFixedColumnChangeNothing)
{
    OfClass* rig = scene.get_classes().add_class("FixedRig", "SceneItem");
    rig->add_attr("names", OfPlugType::TYPE_STRING, 2).set_variable(true);
    rig->add_attr("sizes", OfPlugType::TYPE_LONG, 2);
    rig->add_attr_table("rows").add_column("Name", "names").add_column("Size", "sizes");
    OfObject* object = scene.create_object("FixedRig", "fixed");
    OfAttrTable table(*object, "rows");
    ASSERT_TRUE(table.is_valid());
    commands().clear();
    std::string const before = dump();
    LogRecorder log;
    EXPECT_FALSE(table.add_row());
    EXPECT_FALSE(table.remove_row(0));
    EXPECT_EQ(commands().get_undo_count(), 0u);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
}

TEST_F(OfUndoTest, RandomEditsUndoAndRedoStepByStep)
{
    std::mt19937 random(1234);
    auto pick = [&random](auto const& items) { return items[random() % items.size()]; };
    auto live_objects = [&] {
        std::vector<OfObject*> objects;
        for (OfObject* object : scene.get_root().get_all_objects()) {
            objects.push_back(object);
            for (OfObject* embedded : object->get_embedded_objects()) objects.push_back(embedded);
        }
        return objects;
    };
    auto live_contexts = [&] {
        std::vector<OfContext*> contexts{&scene.get_root()};
        for (size_t i = 0; i < contexts.size(); ++i)
            for (OfContext* child : contexts[i]->get_contexts())
                if (!child->is_locked()) contexts.push_back(child);
        return contexts;
    };
    char const* classes[] = {"Sphere", "Box", "Material", "Texture", "Group"};
    std::vector<std::string> dumps{dump()};
    LogRecorder quiet(CORE_LOG_LEVEL_ERROR);  // refused edits are part of the game
    for (int step = 0; step < 300; ++step) {
        unsigned int steps = commands().get_undo_count();
        std::vector<OfObject*> objects = live_objects();
        std::vector<OfContext*> contexts = live_contexts();
        OfObject* object = objects.empty() ? nullptr : pick(objects);
        OfObject* other = objects.empty() ? nullptr : pick(objects);
        OfContext* context = pick(contexts);
        // Now and then step back: the next edit drops the undone step and frees its items.
        if (random() % 8 == 0 && dumps.size() > 1) {
            ASSERT_TRUE(commands().undo());
            dumps.pop_back();
            ASSERT_EQ(dump(), dumps.back()) << "step " << step;
            continue;
        }
        commands().begin_batch("Random Edit");
        // Kinds whose undo meets the links of other items; single edits are checked above.
        switch (random() % 8) {
            case 0:
                scene.create_object(classes[random() % 5], "", context);
                break;
            case 1:
                scene.create_context("", context);
                break;
            case 2:
                if (object) scene.delete_items(CoreVector<OfItem*>{object, other, pick(objects), context});
                break;
            case 3:
                if (context != &scene.get_root()) context->remove();
                break;
            case 4:
                if (object) object->set_name(random() % 2 ? "node" : "node3");
                break;
            case 5:
                if (object && !object->get_parent()) scene.create_instance(*object, "", context);
                break;
            case 6:
                if (object && object->has_attr("material")) object->get_attr("material")->set_object(other);
                if (object && object->has_attr("base")) object->get_attr("base")->set_object(other);
                break;
            default:
                if (object) scene.copy_items(CoreVector<OfItem*>{object, context}, *pick(contexts));
                break;
        }
        commands().end_batch();
        if (commands().get_undo_count() == steps) continue;
        dumps.push_back(dump());
        ASSERT_TRUE(scene.check_integrity()) << "step " << step;
    }
    for (size_t i = dumps.size() - 1; i > 0; --i) {
        ASSERT_TRUE(commands().undo());
        ASSERT_EQ(dump(), dumps[i - 1]) << "undo to " << i - 1;
    }
    EXPECT_TRUE(scene.check_integrity());
    for (size_t i = 1; i < dumps.size(); ++i) {
        ASSERT_TRUE(commands().redo());
        ASSERT_EQ(dump(), dumps[i]) << "redo to " << i;
    }
    EXPECT_TRUE(scene.check_integrity());
    EXPECT_GT(dumps.size(), 100u);
}

}  // namespace
