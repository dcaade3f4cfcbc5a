// Check buttons: presses, the option zone, set_value, the pushed icon and the checked look.
#include <gtest/gtest.h>


#include "gui/controls/gui_check_button.h"
#include "gui/core/gui_image.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

// Lets the test see which icon the button draws.
class IconCheckButton : public GuiCheckButton {
public:
    using GuiCheckButton::GuiCheckButton;
    using GuiFaceButton::get_shown_icon;
};

class CheckButtonTest : public ControlsTest {
protected:
    // A 80 × 22 button at (20, 20), listened to.
    GuiCheckButton& make_button(CoreString const& label = "Grid")
    {
        GuiCheckButton& button = shown(new GuiCheckButton(window(), 20, 20, 80, 22, label));
        m_log.listen(button, {&EVT_ID_CHECK_BUTTON_CLICK, &EVT_ID_CHECK_OPTION_BUTTON_CLICK});
        return button;
    }
};

}  // namespace

TEST_F(CheckButtonTest, EachPressTogglesTheValueAndRaisesTheClick)
{
    GuiCheckButton& button = make_button();
    mouse_down(button, 40, 30);
    EXPECT_TRUE(button.get_value()) << "the press toggles, not the release";
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_CHECK_BUTTON_CLICK"});
    mouse_up(button, 40, 30);
    click(button, 40, 30);
    EXPECT_FALSE(button.get_value());
    EXPECT_EQ(m_log.count(EVT_ID_CHECK_BUTTON_CLICK), 2);
}

TEST_F(CheckButtonTest, OptionZonePressLeavesTheValue)
{
    GuiCheckButton& button = make_button();
    button.set_use_option(true);
    click(button, 95, 30);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_CHECK_OPTION_BUTTON_CLICK"});
    EXPECT_FALSE(button.get_value());
    click(button, 89, 30);
    EXPECT_TRUE(button.get_value());
}

TEST_F(CheckButtonTest, SetValueRedrawsOnlyOnChangeAndRaisesNothing)
{
    GuiCheckButton& button = make_button();
    mouse_move(button, 40, 30);
    pump_events(app());
    button.set_value(false);
    EXPECT_FALSE(app().is_pending_redraw(&button));
    EXPECT_TRUE(button.is_hovered());
    button.set_value(true);
    EXPECT_TRUE(app().is_pending_redraw(&button));
    EXPECT_FALSE(button.is_hovered()) << "a change clears the hover look";
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(CheckButtonTest, TheCheckedButtonShowsItsPushedIcon)
{
    IconCheckButton& button = shown(new IconCheckButton(window(), 20, 20, 80, 22, ""));
    button.set_icon(GuiImage(16, 16, 4));
    EXPECT_EQ(button.get_shown_icon(), button.get_icon()) << "no pushed icon: the normal one";
    button.set_pushed_icon(GuiImage(20, 14, 4));
    GuiImage const* pushed = button.get_pushed_icon();
    ASSERT_NE(pushed, nullptr);
    EXPECT_EQ(button.get_shown_icon(), button.get_icon());
    button.set_value(true);
    EXPECT_EQ(button.get_shown_icon(), pushed);
    button.set_value(false);
    EXPECT_EQ(button.get_shown_icon(), button.get_icon());

    // A pushed icon alone counts as the icon of the content size.
    button.remove_icon();
    int w = 0, h = 0;
    button.get_content_size(w, h);
    EXPECT_EQ(w, 22);
    EXPECT_EQ(h, 14);
    button.remove_icons();
    EXPECT_EQ(button.get_pushed_icon(), nullptr);
}

TEST_F(CheckButtonTest, CheckedButtonLooksPushed)
{
    GuiCheckButton& button = make_button("");
    button.set_style(GuiCheckButton::STYLE_FLAT);
    pump_events(app());
    GMathVec3<unsigned char> const unchecked = pixel_at(window(), 60, 31);
    button.set_value(true);
    pump_events(app());
    EXPECT_NE(pixel_at(window(), 60, 31), unchecked);
}

