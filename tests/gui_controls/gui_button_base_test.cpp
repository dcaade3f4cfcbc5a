// What every kind of button does alike, one row a kind.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <string>
#include <vector>

#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_checkbox.h"
#include "gui/controls/gui_push_button.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

struct ButtonKind {
    char const* name;
    // A button at (20, 20), at least 60 × 16.
    GuiButtonBase* (*make)(GuiWidget& parent);
    // Its down state: pushed or checked.
    bool (*is_down)(GuiButtonBase& button);
    CoreString const* click;
    // Null for a kind without option zone.
    CoreString const* option_click;
};

ButtonKind const KINDS[] = {
    {"PushButton", [](GuiWidget& p) -> GuiButtonBase* { return new GuiPushButton(p, 20, 20, 100, 24, "Apply"); },
     [](GuiButtonBase& b) { return static_cast<GuiPushButton&>(b).is_pushed(); }, &EVT_ID_PUSH_BUTTON_CLICK,
     &EVT_ID_PUSH_BUTTON_OPTION_CLICK},
    {"CheckButton", [](GuiWidget& p) -> GuiButtonBase* { return new GuiCheckButton(p, 20, 20, 100, 24, "Grid"); },
     [](GuiButtonBase& b) { return static_cast<GuiCheckButton&>(b).get_value(); }, &EVT_ID_CHECK_BUTTON_CLICK,
     &EVT_ID_CHECK_OPTION_BUTTON_CLICK},
    {"Checkbox", [](GuiWidget& p) -> GuiButtonBase* { return new GuiCheckbox(p, 20, 20, "Wrap long lines"); },
     [](GuiButtonBase& b) { return static_cast<GuiCheckbox&>(b).get_value(); }, &EVT_ID_CHECKBOX_CLICK, nullptr},
};

class ButtonKindTest : public ControlsTest, public ::testing::WithParamInterface<ButtonKind> {
protected:
    // A shown button of the row's kind, listened to; with its option zone in use when it has one.
    GuiButtonBase& make_button()
    {
        GuiButtonBase& button = shown(GetParam().make(window()));
        std::vector<CoreString const*> events = {GetParam().click};
        if (GuiFaceButton* face = as_face(button)) {
            face->set_use_option(true);
            events.push_back(GetParam().option_click);
        }
        m_log.listen(button, events);
        return button;
    }
    static GuiFaceButton* as_face(GuiButtonBase& button)
    {
        return button.is_kindof(GuiFaceButton::class_info()) ? static_cast<GuiFaceButton*>(&button) : nullptr;
    }
    // A point of the main zone, and one of the option zone.
    static int main_x(GuiButtonBase& button) { return button.get_x() + 10; }
    static int zone_x(GuiButtonBase& button) { return button.get_x() + button.get_width() - 4; }
    static int mid_y(GuiButtonBase& button) { return button.get_y() + button.get_height() / 2; }
};

std::string kind_name(::testing::TestParamInfo<ButtonKind> const& info)
{
    return info.param.name;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Kinds, ButtonKindTest, ::testing::ValuesIn(KINDS), kind_name);

TEST_P(ButtonKindTest, HoverFlagsFollowThePointerAcrossTheOptionZone)
{
    GuiButtonBase& button = make_button();
    int const x = main_x(button), y = mid_y(button);
    send_event(button, FL_ENTER, x, y);
    EXPECT_TRUE(button.is_hovered());
    // A hover change is redrawn; a move that changes nothing is not.
    pump_events(app());
    mouse_move(button, x + 1, y);
    EXPECT_TRUE(button.is_hovered());
    EXPECT_FALSE(app().is_pending_redraw(&button));
    if (GuiFaceButton* face = as_face(button)) {
        mouse_move(button, zone_x(button), y);
        EXPECT_FALSE(button.is_hovered());
        EXPECT_TRUE(face->is_option_hovered());
        EXPECT_TRUE(app().is_pending_redraw(&button));
        mouse_move(button, x, y);
        EXPECT_TRUE(button.is_hovered());
        EXPECT_FALSE(face->is_option_hovered());
    }
    send_event(button, FL_LEAVE, 300, 150);
    EXPECT_FALSE(button.is_hovered());

    send_event(button, FL_ENTER, x, y);
    button.hide();
    EXPECT_FALSE(button.is_hovered()) << "a hidden button is not hovered";
}

TEST_P(ButtonKindTest, DisabledButtonTakesNoPressKeyNorHover)
{
    GuiButtonBase& button = make_button();
    int const x = main_x(button), y = mid_y(button);
    button.set_focus_receiver(true);
    button.set_focus();
    button.disable();
    click(button, x, y);
    click(button, zone_x(button), y);
    key_down(button, ' ');
    key_up(button, ' ');
    mouse_move(button, x, y);
    // Also when the events are handed to it directly, bypassing the router.
    button.process_event(EVT_ID_MOUSE_ENTER);
    button.process_event(EVT_ID_MOUSE_DOWN);
    button.process_event(EVT_ID_MOUSE_UP);
    EXPECT_TRUE(m_log.get().empty());
    EXPECT_FALSE(GetParam().is_down(button));
    EXPECT_FALSE(button.is_hovered());

    button.enable();
    click(button, x, y);
    EXPECT_EQ(m_log.get(), std::vector<std::string>{GetParam().click->std_string()});
}

TEST_P(ButtonKindTest, APressTakesTheFocusOfAFocusReceiver)
{
    GuiButtonBase& button = make_button();
    button.set_focus_receiver(true);
    click(button, main_x(button), mid_y(button));
    EXPECT_TRUE(button.has_focus());
}

