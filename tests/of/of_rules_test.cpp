#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/of/of_event.h"
#include "host/of/of_handle.h"
#include "tests/of/of_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

TEST_F(OfSceneTest, ReferencesLockTheirContentUnlessOverridden)
{
    OfContext* ref = scene.create_context("ref", nullptr, OfContextEngine::KIND_REFERENCE);
    OfContext* inner = scene.create_context("inner", ref);
    OfObject* ball = scene.create_object("Sphere", "ball", inner);
    OfContext* local = scene.create_context("local");
    EXPECT_EQ(&inner->get_root_engine(), &OfContextEngine::get(OfContextEngine::KIND_REFERENCE));
    ASSERT_TRUE(ref->set_reference(true));
    std::string before = dump();

    EXPECT_FALSE(inner->is_writable());
    EXPECT_TRUE(ball->is_virtual());
    EXPECT_FALSE(ref->is_virtual());  // the reference itself is a local item
    {
        LogRecorder log;
        EXPECT_EQ(scene.create_object("Box", "", inner), nullptr);
        EXPECT_FALSE(ball->set_name("other"));
        EXPECT_FALSE(ball->get_attr("radius")->set_double(2.0));
        EXPECT_FALSE(inner->set_reference(true));
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    }
    EXPECT_EQ(dump(), before);

    // Overriding opens values, not structure; the nearest reference decides.
    ASSERT_TRUE(ref->set_override(true));
    EXPECT_TRUE(ball->get_attr("radius")->set_double(2.0));
    EXPECT_TRUE(ball->set_colortag(1));
    LogRecorder log;
    EXPECT_FALSE(ball->set_name("other"));
    // Reading out of a reference is allowed: copies are local and editable.
    CoreVector<OfItem*> copies = scene.copy_items(CoreVector<OfItem*>{ball}, *local);
    ASSERT_EQ(copies.get_count(), 1u);
    EXPECT_TRUE(copies[0]->set_name("mine"));
    // The reference as a whole can still be renamed, moved and deleted.
    EXPECT_TRUE(ref->set_name("asset"));
    EXPECT_TRUE(ref->move_to(*local));
    EXPECT_EQ(ball->get_full_name(), "/local/asset/inner/ball");
    EXPECT_TRUE(ref->remove());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_TRUE(scene.check_integrity());
}

TEST_F(OfSceneTest, EmbeddedObjectsTravelWithTheirParent)
{
    OfContext* garage = scene.create_context("garage");
    OfObject* car = scene.create_object("Box", "car", garage);
    OfObject* wheel = car->add_embedded_object("Wheel", "");
    OfObject* hub = wheel->add_embedded_object("Wheel", "hub");
    OfObject* paint = scene.create_object("Material", "paint");
    EXPECT_EQ(wheel->get_context(), garage);
    EXPECT_EQ(garage->get_objects().get_count(), 1u);  // embedded objects are not listed by contexts
    EXPECT_EQ(scene.get_object("/garage/car/wheel/hub"), hub);
    ASSERT_TRUE(hub->get_attr("tags")->set_string("chrome"));
    OfObject* group = scene.create_object("Group", "parts");
    ASSERT_TRUE(group->get_attr("members")->set_value_count(1));
    ASSERT_TRUE(group->get_attr("members")->set_object(hub));
    ASSERT_TRUE(car->get_attr("material")->set_object(paint));

    LogRecorder log;
    EXPECT_FALSE(wheel->move_to(*garage));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    OfObjectHandle hub_handle(hub);
    expect_undoable([&] { car->move_to(scene.get_root()); });
    EXPECT_EQ(hub->get_context(), &scene.get_root());
    EXPECT_EQ(hub_handle.get_full_name(), "/car/wheel/hub");
    expect_undoable([&] { car->remove(); });  // ends deleted
    EXPECT_FALSE(hub_handle.is_valid());
    EXPECT_FALSE(hub->is_awake());
    EXPECT_EQ(group->get_attr("members")->get_object(0), nullptr);
    EXPECT_TRUE(paint->get_dependents().is_empty());
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(group->get_attr("members")->get_object(0), hub);
    EXPECT_EQ(paint->get_dependents(), CoreVector<OfObject*>{car});
    EXPECT_TRUE(scene.check_integrity());
}

// A command that counts its calls, and can refuse to run.
class CountingCommand : public OfCommand {
public:
    CountingCommand(int& state, bool accept) : m_state(state), m_accept(accept) {}
    bool run() override
    {
        if (!m_accept) return false;
        ++m_state;
        return true;
    }
    void undo() override { --m_state; }
    void redo() override { ++m_state; }
    CoreString get_label() const override { return "Count"; }

private:
    int& m_state;
    bool m_accept;
};

TEST(OfCommandManager, RecordsOnlyWhatRanAndTellsWhenTheHistoryChanges)
{
    OfCommandManager manager;
    int state = 0;
    int changes = 0;
    EventObject::connect(
        manager, EVT_ID_OF_COMMAND_HISTORY_CHANGED,
        [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); },
        &changes);
    EXPECT_FALSE(manager.run(std::make_unique<CountingCommand>(state, false)));
    EXPECT_FALSE(manager.run(nullptr));
    EXPECT_EQ(changes, 0);

    EXPECT_TRUE(manager.run(std::make_unique<CountingCommand>(state, true)));
    manager.begin_batch("Two");
    manager.run(std::make_unique<CountingCommand>(state, true));
    manager.run(std::make_unique<CountingCommand>(state, true));
    EXPECT_EQ(changes, 1);  // steps are announced when they are complete
    manager.end_batch();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(state, 3);
    EXPECT_TRUE(manager.undo());
    EXPECT_EQ(state, 1);  // the batch undoes as one step
    EXPECT_TRUE(manager.undo());
    EXPECT_FALSE(manager.undo());
    EXPECT_TRUE(manager.redo());
    EXPECT_EQ(state, 1);
    EXPECT_EQ(changes, 5);

    {
        LogRecorder log;
        manager.begin_batch("Open");
        manager.clear();
        EXPECT_EQ(manager.get_redo_count(), 1u);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
        manager.end_batch();
    }
    manager.clear();
    EXPECT_FALSE(manager.is_undoable() || manager.is_redoable());
    EXPECT_EQ(changes, 6);
}

TEST(OfAttrValues, StoresEachTypeCompactly)
{
    OfAttrValues colors(OfPlugType::TYPE_COLOR, 2);
    colors.set_vec3d(1, {0.1, 0.2, 0.3});
    EXPECT_EQ(colors.get_vec3d(1), (GMathVec3<double>{0.1, 0.2, 0.3}));
    EXPECT_EQ(colors.get_double(1), 0.1);
    EXPECT_EQ(colors.get_vec3d(2), (GMathVec3<double>{}));  // out of range reads zero
    colors.set_vec3d(5, {1, 1, 1});                         // and writes nothing

    OfAttrValues flags(OfPlugType::TYPE_BOOL, 1);
    flags.set_double(0, 3.0);
    EXPECT_TRUE(flags.get_bool(0));
    EXPECT_NE(flags, OfAttrValues(OfPlugType::TYPE_LONG, 1));  // same storage, other type
}

}  // namespace
