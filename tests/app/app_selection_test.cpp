#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/app/app_selection.h"
#include "host/of/of_handle.h"
#include "tests/app/app_test_scene.h"
#include "tests/support/log_recorder.h"

namespace {

class AppSelectionTest : public AppSceneTest {
protected:
    void SetUp() override
    {
        AppSceneTest::SetUp();
        EventObject::connect(
            selection, EVT_ID_APPLICATION_SELECTION_CHANGED,
            [](EventObject&, EventObject::EventInfo const& info, void* data) {
                auto* change = static_cast<AppSelection::Change const*>(info.get_event_data());
                static_cast<AppSelectionTest*>(data)->changes.push_back(change->group.std_string() + "/" +
                                                                        change->slot.std_string());
            },
            this);
    }

    CoreVector<OfItem*> global_items() const { return selection.get_items(group, slot); }

    AppSelection& selection = app.get_selection();
    CoreString const& group = AppSelection::get_global_group_label();
    CoreString const& slot = AppSelection::get_global_slot_label();
    CoreString const& local = AppSelection::get_local_slot_label();
    std::vector<std::string> changes;
};

TEST_F(AppSelectionTest, SlotsKeepOrderAndReportChanges)
{
    ASSERT_TRUE(selection.set_selection(group, slot, CoreVector<OfItem*>{box, ball, box}));
    EXPECT_EQ(global_items(), (CoreVector<OfItem*>{box, ball}));
    EXPECT_EQ(changes, (std::vector<std::string>{"global/global"}));
    // The same content again changes nothing.
    selection.set_selection(group, slot, CoreVector<OfItem*>{box, ball});
    EXPECT_EQ(changes.size(), 1u);

    // Attributes are selectable; get_items leaves them out.
    OfHandle radius(ball->get_attr("radius"));
    selection.add_to_selection(group, slot, CoreVector<OfHandle>{OfHandle(red), radius, OfHandle(box)});
    EXPECT_EQ(global_items(), (CoreVector<OfItem*>{box, ball, red}));
    EXPECT_TRUE(selection.is_selected(group, slot, radius));
    EXPECT_EQ(changes.size(), 2u);  // toggles and removals: in the random check below

    // Every slot of the group gets the content; the other groups keep theirs.
    selection.set_selection(group, local, CoreVector<OfItem*>{box});
    selection.set_selection("nodal", slot, CoreVector<OfItem*>{box});
    changes.clear();
    selection.set_all_slots_selection(group, CoreVector<OfItem*>{geo});
    EXPECT_EQ(changes, (std::vector<std::string>{"global/global", "global/local"}));
    EXPECT_EQ(selection.get_items(group, local), (CoreVector<OfItem*>{geo}));
    EXPECT_EQ(selection.get_items("nodal", slot), (CoreVector<OfItem*>{box}));
    // A group without slots gets the global one.
    selection.set_all_slots_selection("outliner", CoreVector<OfItem*>{box});
    EXPECT_EQ(selection.get_items("outliner", slot), (CoreVector<OfItem*>{box}));

    changes.clear();
    selection.clear_all();
    EXPECT_EQ(changes.size(), 4u);
    EXPECT_TRUE(selection.get_is_slot_selection_empty(group, local));
}

TEST_F(AppSelectionTest, DeletedItemsLeaveEverySlotOnce)
{
    OfObject* wheel = ball->get_embedded_object("wheel");
    selection.set_selection(group, slot,
                            CoreVector<OfHandle>{OfHandle(box), OfHandle(ball->get_attr("radius")),
                                                 OfHandle(wheel), OfHandle(red)});
    selection.set_selection(group, local, CoreVector<OfItem*>{ball, red});
    changes.clear();

    // One batch deleting several items: one change per slot, raised at its end.
    commands().begin_batch("Delete");
    box->remove();
    geo->remove();  // holds the ball, its wheel and its attribute
    EXPECT_TRUE(changes.empty());
    commands().end_batch();
    EXPECT_EQ(changes, (std::vector<std::string>{"global/global", "global/local"}));
    EXPECT_EQ(selection.get_base_handles(group, slot).get_count(), 1u);
    EXPECT_EQ(selection.get_items(group, local), (CoreVector<OfItem*>{red}));

    // Undoing the deletion does not select them again.
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(global_items(), (CoreVector<OfItem*>{red}));

    // Items removed by an undo (of their creation) leave too, as does a lone deletion.
    OfObject* lamp = scene.create_object("Sphere", "lamp", shading);
    selection.set_selection(group, slot, CoreVector<OfItem*>{lamp, red});
    ASSERT_TRUE(commands().undo());
    EXPECT_EQ(global_items(), (CoreVector<OfItem*>{red}));
    red->remove();
    EXPECT_TRUE(selection.get_is_slot_selection_empty(group, slot));

    // Clearing the scene empties every slot.
    selection.set_selection(group, slot, CoreVector<OfItem*>{checker});
    scene.clear();
    EXPECT_TRUE(selection.get_is_slot_selection_empty(group, slot));
}

TEST_F(AppSelectionTest, RemoveFromAllTakesWhatItemsHold)
{
    selection.set_selection(group, slot,
                            CoreVector<OfHandle>{OfHandle(ball->get_attr("radius")), OfHandle(red)});
    selection.set_selection("nodal", local, CoreVector<OfItem*>{ball->get_embedded_object("wheel"), checker});
    selection.remove_from_all(CoreVector<OfItem*>{geo});
    EXPECT_EQ(global_items(), (CoreVector<OfItem*>{red}));
    EXPECT_EQ(selection.get_items("nodal", local), (CoreVector<OfItem*>{checker}));
}

TEST_F(AppSelectionTest, WorkingContexts)
{
    ASSERT_TRUE(selection.set_slot_working_context(group, local, *shading));
    EXPECT_EQ(&selection.get_slot_working_context(group, local), shading);
    EXPECT_EQ(&selection.get_slot_working_context(group, slot), &scene.get_default());
    shading->remove();
    EXPECT_EQ(&selection.get_slot_working_context(group, local), &scene.get_default());
}

TEST_F(AppSelectionTest, BadInputChangesNothing)
{
    selection.set_selection(group, slot, CoreVector<OfItem*>{ball});
    changes.clear();
    OfObjectFactory other;
    OfObject* stranger =
        other.get_classes().add_class("Thing") ? other.create_object("Thing", "thing") : nullptr;
    OfObject* gone = scene.create_object("Box", "gone", geo);
    OfHandle gone_handle(gone);
    gone->remove();

    LogRecorder log;
    EXPECT_FALSE(selection.set_selection(group, slot, CoreVector<OfItem*>{box, nullptr}));
    EXPECT_FALSE(selection.set_selection(group, slot, CoreVector<OfItem*>{stranger}));
    EXPECT_FALSE(selection.add_to_selection(group, slot, CoreVector<OfHandle>{gone_handle}));
    EXPECT_FALSE(selection.toggle_selection(group, slot, CoreVector<OfHandle>{OfHandle()}));
    EXPECT_FALSE(selection.set_selection("", slot, CoreVector<OfItem*>{box}));
    EXPECT_FALSE(selection.set_slot_working_context(group, slot, other.get_root()));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 6u) << log.dump();
    EXPECT_EQ(global_items(), (CoreVector<OfItem*>{ball}));
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(selection.get_groups(), (CoreVector<CoreString>{"global"}));
}

TEST_F(AppSelectionTest, CallbacksMayChangeTheSelection)
{
    EventObject::connect(selection, EVT_ID_APPLICATION_SELECTION_CHANGED,
                         [](EventObject& sender, EventObject::EventInfo const& info, void*) {
                             auto& self = static_cast<AppSelection&>(sender);
                             auto* change = static_cast<AppSelection::Change const*>(info.get_event_data());
                             if (change->group != "mirror")
                                 self.set_selection("mirror", change->slot,
                                                    self.get_base_handles(change->group, change->slot));
                         });
    for (int i = 0; i < 20; ++i)
        selection.set_selection("g" + std::to_string(i), slot, CoreVector<OfItem*>{box});
    selection.clear_all();
    EXPECT_TRUE(selection.get_is_slot_selection_empty("mirror", slot));
}

// Every change keeps the slot's order and its membership answers in step: checked against a
// plain list after each step of a fixed pseudo-random run of sets, removals, toggles (a handle
// may come twice), clears and deletions of selected items.
TEST_F(AppSelectionTest, OrderAndMembershipStayInStepThroughEveryChange)
{
    std::vector<OfHandle> pool;
    for (int i = 0; i < 24; ++i) {
        OfObject* object = scene.create_object(i % 2 ? "Sphere" : "Box", "item", geo);
        pool.push_back(OfHandle(object));
        if (i % 2) pool.push_back(OfHandle(object->get_attr("radius")));
    }
    std::vector<OfHandle> model;
    auto model_remove = [&model](OfHandle const& handle) {
        model.erase(std::remove(model.begin(), model.end(), handle), model.end());
    };
    std::uint32_t seed = 12345;
    auto next = [&seed](unsigned int bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    auto pick = [&] {
        CoreVector<OfHandle> handles;
        unsigned int count = next(6);
        while (handles.get_count() < count) {
            OfHandle const& handle = pool[next(static_cast<unsigned int>(pool.size()))];
            if (handle.is_valid()) handles.add(handle);
        }
        return handles;
    };
    for (int step = 0; step < 400; ++step) {
        CoreVector<OfHandle> handles = pick();
        switch (next(5)) {
            case 0:
                selection.set_selection(group, slot, handles);
                model.clear();
                for (OfHandle const& h : handles)
                    if (std::find(model.begin(), model.end(), h) == model.end()) model.push_back(h);
                break;
            case 1:
                selection.remove_from_selection(group, slot, handles);
                for (OfHandle const& h : handles) model_remove(h);
                break;
            case 2:
            case 3:
                // Some handles twice, some already selected.
                if (!model.empty()) handles.add(model[next(static_cast<unsigned int>(model.size()))]);
                if (!handles.is_empty()) handles.add(handles[0]);
                selection.toggle_selection(group, slot, handles);
                for (OfHandle const& h : handles) {
                    auto found = std::find(model.begin(), model.end(), h);
                    if (found != model.end()) model.erase(found);
                    else model.push_back(h);
                }
                break;
            default:
                if (next(8) == 0) {
                    selection.clear_selection(group, slot);
                    model.clear();
                } else if (!model.empty() && next(3) == 0) {
                    // Deleting a selected object (its attribute leaves with it).
                    OfHandle victim = model[next(static_cast<unsigned int>(model.size()))];
                    victim.to_object()->remove();
                    model.erase(std::remove_if(model.begin(), model.end(),
                                               [](OfHandle const& h) { return !h.is_valid(); }),
                                model.end());
                }
                break;
        }
        SCOPED_TRACE("step " + std::to_string(step));
        CoreVector<OfHandle> expected;
        for (OfHandle const& h : model) expected.add(h);
        ASSERT_EQ(selection.get_base_handles(group, slot), expected);
        for (OfHandle const& handle : pool) {
            bool const in_model = std::find(model.begin(), model.end(), handle) != model.end();
            ASSERT_EQ(selection.is_selected(group, slot, handle), in_model) << handle.get_full_name();
        }
    }
}

}  // namespace
