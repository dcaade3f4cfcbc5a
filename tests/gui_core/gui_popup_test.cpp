// Popup chains and floating tool windows.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "gui/core/gui_app.h"
#include "gui/core/gui_floating_window.h"
#include "gui/core/gui_popup.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

class GuiPopupTest : public GuiTest {
protected:
    void TearDown() override
    {
        GuiPopup::close_all_popups();
        GuiTest::TearDown();
    }
};

TEST_F(GuiPopupTest, PopupsChainAndCloseFromTheCurrentOneBack)
{
    GuiWindow& window = make_window(300, 200);
    RecordingWidget* content = new RecordingWidget(window, 20, 30, 120, 80);
    GuiPopup* first = window.popup(*content, false);
    pump_events(app());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(content->get_parent(), first);
    EXPECT_EQ(first->get_size(), GMathVec2<int>(120, 80));
    GMathVec2<int> const origin = window.get_position();
    EXPECT_EQ(first->get_position(), GMathVec2<int>(origin[0] + 20, origin[1] + 30));  // where the content was
    EXPECT_EQ(GuiPopup::get_current_popup(), first);

    RecordingWidget* more = new RecordingWidget(*first, 0, 0, 60, 40);
    GuiPopup* second = first->popup(*more, true);
    EXPECT_EQ(GuiPopup::get_first_popup(), first);
    EXPECT_EQ(GuiPopup::get_current_popup(), second);
    EXPECT_EQ(second->get_previous_popup(), first);

    // Focusing a popup of the chain closes the ones after it.
    send_event(*first, FL_FOCUS, 5, 5);
    EXPECT_FALSE(second->is_shown());
    EXPECT_EQ(GuiPopup::get_current_popup(), first);

    // A window outside the chain taking the focus closes it all.
    send_event(window, FL_FOCUS, 5, 5);
    EXPECT_FALSE(first->is_shown());
    EXPECT_FALSE(GuiPopup::is_popup_open());
    process_idle(app());  // closed popups go with their content
}

TEST_F(GuiPopupTest, ClicksElsewhereAndHidingCloseThePopups)
{
    GuiWindow& window = make_window(300, 200);
    RecordingWidget* target = new RecordingWidget(window, 0, 0, 300, 200);
    target->show();
    auto const open = [&] {
        RecordingWidget* content = new RecordingWidget(window, 10, 10, 50, 50);
        return window.popup(*content, false);
    };
    GuiPopup* popup = open();
    mouse_down(window, 150, 150);
    mouse_up(window, 150, 150);
    EXPECT_FALSE(popup->is_shown());

    popup = open();
    GuiWindow* other = new GuiWindow(app(), 500, 40, 100, 100, "other");
    other->show();
    other->hide();  // hiding a window that is not a popup closes the chain
    EXPECT_FALSE(popup->is_shown());
    process_idle(app());
}

TEST_F(GuiPopupTest, FloatingWindowsHostOneWidgetAndMayStayEnabled)
{
    GuiWindow& main = make_window();
    int data = 42;
    GuiFloatingWindow* tool = new GuiFloatingWindow(main, 420, 40, 200, 150, "Tool", &data);
    EXPECT_EQ(tool->get_widget_count(), 0u);
    LogRecorder log;
    RecordingWidget* stranger = new RecordingWidget(main, 0, 0, 10, 10);
    EXPECT_FALSE(tool->set_content_widget(*stranger));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);

    RecordingWidget* panel = new RecordingWidget(*tool, 5, 5, 20, 20);
    ASSERT_TRUE(tool->set_content_widget(*panel));
    EXPECT_EQ(tool->get_widget_count(), 1u);
    EXPECT_EQ(tool->get_content_widget(0), panel);
    CoreVariant attached;
    ASSERT_TRUE(panel->get_custom_data(GuiFloatingWindow::s_has_custom_data, attached));
    tool->show();
    tool->resize(420, 40, 260, 180);
    pump_events(app());
    EXPECT_EQ(panel->get_width(), 260);  // it follows the window's edges
    EXPECT_EQ(panel->get_height(), 180);

    app().disable();
    EXPECT_FALSE(tool->is_enabled());
    tool->add_custom_data(GuiFloatingWindow::s_do_not_allow_disable);
    EXPECT_TRUE(tool->is_enabled());
    EXPECT_FALSE(main.is_enabled());
    app().enable();
}

TEST_F(GuiPopupTest, ContentMovedIntoAPopupSitsAtItsOriginAndShowsWhole)
{
    GMathVec3<unsigned char> const red(255, 0, 0);
    GuiWindow& window = make_window(300, 200);
    FilledWidget* content = new FilledWidget(window, 20, 30, 90, 70, red);
    GuiPopup* popup = window.popup(*content, false);
    pump_events(app());
    EXPECT_EQ(content->get_x(), 0);
    EXPECT_EQ(content->get_y(), 0);
    int w = 0, h = 0;
    std::vector<unsigned char> const rgb = read_window_rgb(*popup, w, h);
    ASSERT_EQ(w, 90);
    ASSERT_EQ(h, 70);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{89, 0}, std::pair{0, 69}, std::pair{89, 69}})
        EXPECT_EQ(pixel_at(rgb, w, x, y), red) << x << ", " << y;
}

TEST_F(GuiPopupTest, AFloatingWindowForgetsItsContentOnceItIsDestroyed)
{
    GuiWindow& main = make_window();
    GuiFloatingWindow* tool = new GuiFloatingWindow(main, 420, 40, 200, 150, "Tool", nullptr);
    RecordingWidget* panel = new RecordingWidget(*tool, 0, 0, 20, 20);
    ASSERT_TRUE(tool->set_content_widget(*panel));
    panel->destroy();
    EXPECT_EQ(tool->get_widget_count(), 0u);
    EXPECT_EQ(tool->get_content_widget(0), nullptr);
    process_idle(app());  // the panel is deleted; nothing may still point at it
    EXPECT_EQ(tool->get_content_widget(0), nullptr);
}

}  // namespace
