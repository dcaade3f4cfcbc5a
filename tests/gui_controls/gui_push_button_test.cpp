// Push buttons: clicks by mouse and keys, toggles, the option zone and the drawn face.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include "gui/controls/gui_push_button.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

using Color = GMathVec3<unsigned char>;
Names const CLICK = {"EVT_ID_PUSH_BUTTON_CLICK"};

class PushButtonTest : public ControlsTest {
protected:
    // A 100 × 24 button at (20, 20), listened to.
    GuiPushButton& make_button(CoreString const& label = "Apply")
    {
        GuiPushButton& button = shown(new GuiPushButton(window(), 20, 20, 100, 24, label));
        m_log.listen(button, {&EVT_ID_PUSH_BUTTON_CLICK, &EVT_ID_PUSH_BUTTON_UNCLICK, &EVT_ID_PUSH_BUTTON_OPTION_CLICK});
        return button;
    }
};

}  // namespace

TEST_F(PushButtonTest, ClicksOnlyWhenReleasedOverItself)
{
    GuiPushButton& button = make_button();
    mouse_down(button, 50, 30);
    EXPECT_TRUE(button.is_pushed());
    EXPECT_TRUE(m_log.get().empty()) << "the press alone does not click";
    mouse_up(button, 60, 32);
    EXPECT_EQ(m_log.get(), CLICK);
    EXPECT_FALSE(button.is_pushed());

    // Pressed, then released beside it: nothing, and the press is forgotten.
    m_log.clear();
    mouse_move(button, 50, 30);
    mouse_down(button, 50, 30);
    mouse_up(button, 150, 30);
    mouse_up(button, 50, 30);  // a release without a press
    EXPECT_TRUE(m_log.get().empty());
    EXPECT_FALSE(button.is_pushed());
}

TEST_F(PushButtonTest, ToggleStaysPushedAndUnclicksOnTheNextPress)
{
    GuiPushButton& button = make_button();
    button.set_focus_receiver(true);
    button.set_focus();
    button.set_toggle(true);
    click(button, 50, 30);
    EXPECT_EQ(m_log.get(), CLICK);
    EXPECT_TRUE(button.is_pushed());

    m_log.clear();
    mouse_down(button, 50, 30);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_PUSH_BUTTON_UNCLICK"});
    EXPECT_FALSE(button.is_pushed());
    mouse_up(button, 50, 30);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_PUSH_BUTTON_UNCLICK"}) << "the release of an unclick is no click";

    // A toggle press released outside leaves it as it was.
    m_log.clear();
    mouse_down(button, 50, 30);
    mouse_up(button, 20, 80);
    EXPECT_TRUE(m_log.get().empty());
    EXPECT_FALSE(button.is_pushed());

    // The keys of a focused toggle work as its presses do.
    for (bool const pushed : {true, false}) {
        key_down(button, ' ');
        key_up(button, ' ');
        EXPECT_EQ(button.is_pushed(), pushed);
    }
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_PUSH_BUTTON_CLICK", "EVT_ID_PUSH_BUTTON_UNCLICK"}));

    // set_pushed changes the state silently, and ending the toggle releases it.
    m_log.clear();
    button.set_pushed(true);
    EXPECT_TRUE(m_log.get().empty());
    button.set_toggle(false);
    EXPECT_FALSE(button.is_pushed());
}

TEST_F(PushButtonTest, OptionZoneRaisesOnlyTheOptionClick)
{
    GuiPushButton& button = make_button();
    click(button, 115, 30);
    EXPECT_EQ(m_log.get(), CLICK) << "without the zone its pixels are ordinary button";

    button.set_use_option(true);
    m_log.clear();
    click(button, 110, 30);  // the zone's first column
    click(button, 119, 30);  // its last
    click(button, 109, 30);  // the column before it
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_PUSH_BUTTON_OPTION_CLICK", "EVT_ID_PUSH_BUTTON_OPTION_CLICK",
                                  "EVT_ID_PUSH_BUTTON_CLICK"}));

    // On a pushed toggle, the option press neither releases it nor clicks on its release.
    button.set_toggle(true);
    button.set_pushed(true);
    m_log.clear();
    click(button, 115, 30);
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_PUSH_BUTTON_OPTION_CLICK"});
    EXPECT_TRUE(button.is_pushed());
}

TEST_F(PushButtonTest, FocusedButtonClicksOnTheReleaseOfSpaceReturnOrKeypadEnter)
{
    GuiPushButton& button = make_button();
    // Unfocused, the key under the pointer reaches it but is no click.
    click(button, 50, 30);
    EXPECT_FALSE(button.has_focus()) << "a new push button does not take the focus";
    key_down(button, ' ', " ", 0, GMathVec2<int>(50, 30));
    key_up(button, ' ', 0, GMathVec2<int>(50, 30));
    EXPECT_FALSE(button.is_pushed());
    EXPECT_EQ(m_log.get(), CLICK);

    button.set_focus_receiver(true);
    button.set_focus();
    for (int const key : {int(' '), int(FL_Enter), int(FL_KP_Enter)}) {
        m_log.clear();
        EXPECT_EQ(key_down(button, key), 1) << key;
        EXPECT_TRUE(button.is_pushed()) << key;
        key_down(button, key);  // the toolkit's repeat of a held key
        EXPECT_TRUE(m_log.get().empty()) << key;
        EXPECT_EQ(key_up(button, key), 1) << key;
        EXPECT_EQ(m_log.get(), CLICK) << key;
        EXPECT_FALSE(button.is_pushed()) << key;
    }
    // Other keys do not push it.
    m_log.clear();
    key_down(button, 'a', "a");
    EXPECT_FALSE(button.is_pushed());

    // A key held while the focus leaves is forgotten: its release elsewhere clicks nothing.
    GuiPushButton& other = make_button("Other");
    other.set_focus_receiver(true);
    key_down(button, ' ');
    other.set_focus();
    EXPECT_FALSE(button.is_pushed());
    key_up(button, ' ', 0, GMathVec2<int>(30, 30));
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(PushButtonTest, DrawsItsFaceInTheSchemeColoursOfItsState)
{
    GuiPushButton& button = make_button("");
    button.set_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BUTTON, 200, 0, 0);
    button.set_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BUTTON_PRESSED, 0, 200, 0);
    // The face's middle, away from its label, edges and frame.
    auto face = [&] {
        pump_events(app());
        return pixel_at(window(), 70, 32);
    };
    EXPECT_EQ(face(), Color(200, 0, 0));
    mouse_down(button, 50, 30);
    EXPECT_EQ(face(), Color(0, 200, 0)) << "pushed";
    mouse_up(button, 50, 30);
}

