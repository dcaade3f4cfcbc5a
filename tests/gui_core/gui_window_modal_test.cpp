// GuiWindow's modal loops, owned windows, window states, shortcuts and the background.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <functional>

#include "gui/core/gui_app.h"
#include "gui/core/gui.h"
#include "gui/core/gui_window.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_test_app.h"

namespace {

// A dialog whose loop asks `answer` on every turn.
class TestDialog : public GuiWindow {
public:
    using GuiWindow::GuiWindow;
    int on_modal_loop() override
    {
        ++turns;
        return answer ? answer() : -1;
    }
    int run() { return modal_blocking_loop(); }
    std::function<int()> answer;
    int turns = 0;
};

class GuiWindowModalTest : public GuiTest {
protected:
    TestDialog& make_dialog(GuiWindow& owner)
    {
        TestDialog* dialog = new TestDialog(owner, 100, 100, 200, 120, "Dialog");
        return *dialog;
    }
};

TEST_F(GuiWindowModalTest, TheLoopEndsWithTheAnswerOrWhenTheWindowIsHidden)
{
    GuiWindow& main = make_window();
    TestDialog& dialog = make_dialog(main);
    dialog.show_modal();
    EXPECT_TRUE(dialog.is_in_modal_loop());
    EXPECT_TRUE(dialog.get_router()->modal());
    // The application keeps working inside the loop: a timer answers after a few passes.
    int answer = -1;
    app().add_timer([](void* data) { *static_cast<int*>(data) = 7; }, &answer, 0.05);
    dialog.answer = [&answer] { return answer; };
    EXPECT_EQ(dialog.run(), 7);
    EXPECT_GT(dialog.turns, 1);
    EXPECT_FALSE(dialog.is_in_modal_loop());

    // Hidden from within its own loop, it returns -1.
    dialog.hide();
    dialog.show_modal();
    dialog.answer = [&dialog] {
        dialog.hide();
        return -1;
    };
    EXPECT_EQ(dialog.run(), -1);
    EXPECT_FALSE(dialog.is_shown());
}

TEST_F(GuiWindowModalTest, AWindowShownDuringItsOwnersLoopIsModalToo)
{
    GuiWindow& main = make_window();
    TestDialog& dialog = make_dialog(main);
    dialog.show_modal();
    GuiWindow* tool = new GuiWindow(dialog, 150, 150, 100, 80, "Tool");
    bool tool_modal = false;
    dialog.answer = [&] {
        tool->show();
        tool_modal = tool->is_in_modal_loop() && tool->get_router()->modal();
        tool->hide();
        return 1;
    };
    EXPECT_EQ(dialog.run(), 1);
    EXPECT_TRUE(tool_modal);
    // Outside a loop the same window is shown normally, above its owner.
    dialog.hide();
    tool->show();
    EXPECT_FALSE(tool->is_in_modal_loop());
    EXPECT_FALSE(tool->get_router()->modal());
    EXPECT_TRUE(tool->get_router()->non_modal());
}

TEST_F(GuiWindowModalTest, HidingAnOwnerHidesItsWindowsWhichStayHiddenWhenItComesBack)
{
    GuiWindow& main = make_window();
    GuiWindow* a = new GuiWindow(main, 60, 60, 80, 60, "a");
    GuiWindow* b = new GuiWindow(main, 160, 60, 80, 60, "b");
    a->show();
    b->show();
    pump_events(app());
    main.hide();
    EXPECT_FALSE(a->is_shown());
    EXPECT_FALSE(b->is_shown());
    main.show();
    pump_events(app());
    EXPECT_FALSE(a->is_shown());
    EXPECT_FALSE(b->is_shown());
}

TEST_F(GuiWindowModalTest, WithoutAWindowManagerMaximisingFillsTheWorkArea)
{
    GuiWindow& window = make_window(200, 150);
    EXPECT_FALSE(window.is_maximized());
    window.maximize();
    pump_events(app());
    int x, y, w, h;
    Fl::screen_work_area(x, y, w, h, 40, 40);
    EXPECT_TRUE(window.is_maximized());
    EXPECT_EQ(window.get_size(), GMathVec2<int>(w, h));

    window.minimize();
    pump_events(app(), 0.1);
    EXPECT_TRUE(window.is_minimized());
    EXPECT_FALSE(window.is_maximized());
    EXPECT_EQ(window.get_size(), GMathVec2<int>(200, 150));  // back to its size first
    window.show();
    pump_events(app(), 0.1);
    EXPECT_FALSE(window.is_minimized());
    EXPECT_TRUE(window.is_shown());
}

TEST_F(GuiWindowModalTest, KeysWithoutAFocusedWidgetGoToTheWidgetBelowThePointerAndItsAncestors)
{
    GuiWindow& window = make_window(300, 200);
    RecordingWidget* panel = new RecordingWidget(window, 0, 0, 300, 200);
    RecordingWidget* leaf = new RecordingWidget(*panel, 50, 50, 80, 60);
    panel->show();
    leaf->show();
    pump_events(app());
    GMathVec2<int> const position = window.get_position();
    Gui::set_mouse_screen_position(position[0] + 70, position[1] + 70);
    pump_events(app(), 0.05);
    Fl_Widget* hidden = window.get_hidden_focus_widget();

    EXPECT_EQ(hidden->handle(FL_KEYDOWN), 1);
    EXPECT_EQ(leaf->count(EVT_ID_KEY_SHORTCUT), 1);
    EXPECT_EQ(panel->count(EVT_ID_KEY_SHORTCUT), 1);  // the leaf did not take it

    leaf->answers[EVT_ID_KEY_SHORTCUT.std_string()] = 1;
    EXPECT_EQ(hidden->handle(FL_KEYDOWN), 1);
    EXPECT_EQ(leaf->count(EVT_ID_KEY_SHORTCUT), 2);
    EXPECT_EQ(panel->count(EVT_ID_KEY_SHORTCUT), 1);  // taken by the leaf: its parent is not asked
    Gui::set_mouse_screen_position(1500, 1100);
}

TEST_F(GuiWindowModalTest, AnotherModalWindowKeepsTheActionsOfTheOthers)
{
    GuiWindow& main = make_window();
    TestDialog& dialog = make_dialog(main);
    dialog.show_modal();
    pump_events(app());
    ASSERT_EQ(Fl::modal(), dialog.get_router());
    EXPECT_FALSE(main.process_actions());
    dialog.hide();
    EXPECT_EQ(Fl::modal(), nullptr);
}

TEST_F(GuiWindowModalTest, TheDefaultBackgroundFillsTheWindow)
{
    GuiWindow& window = make_window(120, 80);
    GuiWidget* background = window.add_default_background();
    background->show();
    window.resize(window.get_position()[0], window.get_position()[1], 160, 100);
    pump_events(app());
    EXPECT_EQ(background->get_width(), 160);  // it follows the window
    EXPECT_EQ(pixel_at(window, 80, 50),
              window.get_color_scheme().get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND));
}

TEST_F(GuiWindowModalTest, AModalWindowGivesTheFocusBackWhenItHides)
{
    GuiWindow& main = make_window();
    struct Case {
        char const* what;
        bool delete_focused;
        bool focus_back;
    };
    for (Case const& c : {Case{"the widget is still there", false, true}, Case{"the widget was deleted", true, false}}) {
        SCOPED_TRACE(c.what);
        auto* field = new RecordingWidget(main, 10, 10, 80, 24);
        field->show();
        field->set_focus_receiver(true);
        pump_events(app());
        field->set_focus();
        ASSERT_TRUE(field->has_focus());
        TestDialog& dialog = make_dialog(main);
        auto* answer = new RecordingWidget(dialog, 10, 10, 80, 24);
        answer->show();
        answer->set_focus_receiver(true);
        dialog.show_modal();
        answer->set_focus();
        ASSERT_TRUE(answer->has_focus());
        if (c.delete_focused) delete field;
        dialog.hide();  // the deleted widget is not touched (ASan would say)
        EXPECT_EQ(GuiWidget::get_focused_widget() == field, c.focus_back);
        if (!c.delete_focused) delete field;
        delete &dialog;
    }
}

}  // namespace
