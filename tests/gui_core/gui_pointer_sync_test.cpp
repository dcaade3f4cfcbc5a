// Keys and wheel steps reaching the widgets after the pointer motion that came before them,
// even when the toolkit holds that motion back: events go through Fl::handle, as the toolkit's
// event loop hands them over, with the pointer of each event set as X would report it.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/core/gui_window.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_event_state.h"
#include "tests/support/gui_test_app.h"

namespace {

class GuiPointerSyncTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        window = &make_window(300, 200);
        widget = new RecordingWidget(*window, 10, 10, 200, 120);
        widget->show();
        widget->on_event = [this](CoreString const& name) {
            seen.push_back(name.std_string() + " " + std::to_string(Fl::event_x()) + "," +
                           std::to_string(Fl::event_y()));
        };
        widget->set_focus_receiver(true);
        widget->set_focus();
        widget->answers[EVT_ID_MOUSE_DOWN.std_string()] = 1;
        widget->answers[EVT_ID_KEY_DOWN.std_string()] = 1;
    }

    // What the toolkit's loop does with an event read from X with the pointer at (x, y).
    int dispatch(int event, int x, int y, int state = 0, int key = 0)
    {
        Fl_Window& toolkit = *static_cast<Fl_Window*>(window->get_widget());
        GuiEventState event_state;
        event_state.set_position_in_window(toolkit.x_root(), toolkit.y_root(), x, y).set_state(state);
        if (event == FL_PUSH) event_state.press_button(1);
        if (key) event_state.set_key(key);
        return Fl::handle(event, &toolkit);
    }

    int count(std::string const& line) const
    {
        int n = 0;
        for (std::string const& s : seen) n += s == line;
        return n;
    }

    GuiWindow* window = nullptr;
    RecordingWidget* widget = nullptr;
    std::vector<std::string> seen;
};

}  // namespace

TEST_F(GuiPointerSyncTest, AKeyComesAfterTheMoveTheToolkitHeldBack)
{
    dispatch(FL_MOVE, 30, 30);
    seen.clear();
    // The pointer went to (80, 60) but its motion is still held back when the key is read.
    dispatch(FL_KEYDOWN, 80, 60, 0, 'n');
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], EVT_ID_MOUSE_MOVE.std_string() + " 80,60");
    EXPECT_EQ(count(EVT_ID_KEY_DOWN.std_string() + " 80,60"), 1);

    // The held-back motion, at the same place, is not given twice; later ones are.
    dispatch(FL_MOVE, 80, 60);
    EXPECT_EQ(count(EVT_ID_MOUSE_MOVE.std_string() + " 80,60"), 1);
    dispatch(FL_MOVE, 80, 60);
    EXPECT_EQ(count(EVT_ID_MOUSE_MOVE.std_string() + " 80,60"), 2);
}

TEST_F(GuiPointerSyncTest, AKeyDuringAPressComesAfterTheDrag)
{
    dispatch(FL_MOVE, 30, 30);
    dispatch(FL_PUSH, 30, 30, FL_BUTTON1);
    seen.clear();
    int drag_button = 0;
    widget->on_event = [&](CoreString const& name) {
        seen.push_back(name.std_string());
        if (name == EVT_ID_MOUSE_DRAG) drag_button = Fl::event_button();
    };
    dispatch(FL_KEYDOWN, 60, 30, FL_BUTTON1, FL_Escape);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], EVT_ID_MOUSE_DRAG.std_string());
    // The drag tells the held button, as the toolkit's drags do, not the key being read.
    EXPECT_EQ(drag_button, 1);
    EXPECT_EQ(count(EVT_ID_KEY_DOWN.std_string()), 1);
    dispatch(FL_RELEASE, 60, 30);
}

TEST_F(GuiPointerSyncTest, AWheelStepGoesToTheWidgetThePointerMovedTo)
{
    RecordingWidget* right = new RecordingWidget(*window, 220, 10, 70, 120);
    right->show();
    dispatch(FL_MOVE, 30, 30);
    {
        GuiEventState steps;
        steps.set_wheel(0, 1);
        dispatch(FL_MOUSEWHEEL, 250, 30);
    }
    // The widget now under the pointer is entered before it takes the step.
    std::vector<std::string> const& events = right->events;
    auto const entered = std::find(events.begin(), events.end(), EVT_ID_MOUSE_ENTER.std_string());
    auto const wheel = std::find(events.begin(), events.end(), EVT_ID_MOUSE_WHEEL.std_string());
    EXPECT_NE(wheel, events.end());
    EXPECT_LT(entered, wheel);
    EXPECT_EQ(count(EVT_ID_MOUSE_LEAVE.std_string() + " 250,30"), 1);
}

TEST_F(GuiPointerSyncTest, AKeyWherePointerStayedOrOutsideTheWindowBringsNoMove)
{
    dispatch(FL_MOVE, 30, 30);
    seen.clear();
    dispatch(FL_KEYDOWN, 30, 30, 0, 'n');
    dispatch(FL_KEYDOWN, 400, 30, 0, 'n');
    for (std::string const& line : seen)
        EXPECT_EQ(line.rfind(EVT_ID_MOUSE_MOVE.std_string(), 0), std::string::npos) << line;
}
