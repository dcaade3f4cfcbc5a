// The application's focus-change event, raised once per pass that changed the focus.
#include <gtest/gtest.h>

#include <vector>

#include "gui/core/gui_app.h"
#include "gui/controls/gui_push_button.h"
#include "tests/support/gui_test_app.h"

namespace {

class GuiAppFocusTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        if (IsSkipped()) return;
        pump_events(app());
        EventObject::connect(app(), EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED, &GuiAppFocusTest::on_focus, this);
    }
    void TearDown() override
    {
        EventObject::disconnect(app(), EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED, &GuiAppFocusTest::on_focus);
        GuiTest::TearDown();
    }

    static void on_focus(EventObject&, EventObject::EventInfo const& info, void* data)
    {
        static_cast<GuiAppFocusTest*>(data)->announced.push_back(static_cast<GuiWidget*>(info.get_event_data()));
    }

    GuiPushButton* make_button(GuiWindow& window, int x)
    {
        GuiPushButton* button = new GuiPushButton(window, x, 10, 60, 20, "Button");
        button->set_focus_receiver(true);
        button->show();
        return button;
    }

    std::vector<GuiWidget*> announced;
};

TEST_F(GuiAppFocusTest, EachPassAnnouncesTheNewlyFocusedWidgetOnce)
{
    GuiWindow& window = make_window(300, 100);
    GuiPushButton* first = make_button(window, 10);
    GuiPushButton* second = make_button(window, 80);
    GuiPushButton* third = make_button(window, 150);
    pump_events(app());
    announced.clear();

    first->set_focus();
    pump_events(app());
    EXPECT_EQ(announced, std::vector<GuiWidget*>{first});

    // Two moves between passes: one event, for where the focus ended.
    second->set_focus();
    third->set_focus();
    pump_events(app());
    EXPECT_EQ(announced, (std::vector<GuiWidget*>{first, third}));

    // A pass without a move says nothing; leaving for no widget names none.
    pump_events(app());
    EXPECT_EQ(announced.size(), 2u);
    third->lose_focus();
    pump_events(app());
    EXPECT_EQ(announced, (std::vector<GuiWidget*>{first, third, nullptr}));

    // Moving away and back before the pass is no change.
    first->set_focus();
    pump_events(app());
    second->set_focus();
    first->set_focus();
    pump_events(app());
    EXPECT_EQ(announced, (std::vector<GuiWidget*>{first, third, nullptr, first}));
}

TEST_F(GuiAppFocusTest, AWidgetDeletedWithTheFocusIsNotMistakenForItsSuccessor)
{
    GuiWindow& window = make_window(300, 100);
    GuiPushButton* first = make_button(window, 10);
    pump_events(app());
    first->set_focus();
    pump_events(app());
    announced.clear();

    delete first;
    pump_events(app());
    // Whatever the allocator hands out next, focusing it is announced.
    GuiPushButton* next = make_button(window, 10);
    next->set_focus();
    pump_events(app());
    ASSERT_FALSE(announced.empty());
    EXPECT_EQ(announced.back(), next);
}

}  // namespace
