#include "gui/controls/gui_checkbox.h"

#include <algorithm>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"

EVENT_DEFINE_ID(EVT_ID_CHECKBOX_CLICK);

CORE_IMPLEMENT_CLASS(GuiCheckbox, GuiButtonBase)

// Sized in the base's construction: the toolkit side is made at that size, and a resize
// before the control is first shown would leave the toolkit exposing only the old box.
GuiCheckbox::GuiCheckbox(GuiWidget& parent, int const& x, int const& y, CoreString const& label)
    : GuiButtonBase(parent, x, y, get_fitted_size(GuiFont::get_default(), label)[0],
                    get_fitted_size(GuiFont::get_default(), label)[1], label)
{
    // A form control: it takes the focus when pressed and passes it on with keypad Enter.
    set_focus_receiver(true);
}

GuiCheckbox::~GuiCheckbox() = default;

GMathVec2<int> GuiCheckbox::get_fitted_size(GuiFont const& font, CoreString const& label)
{
    int tw = 0, th = 0;
    if (!label.is_empty()) font.get_text_size(label, tw, th);
    return GMathVec2<int>(tw > 0 ? BOX_SIZE + LABEL_GAP + tw : BOX_SIZE, std::max(BOX_SIZE + 2, th));
}

void GuiCheckbox::on_label_change()
{
    GMathVec2<int> const size = get_fitted_size(get_font(), get_label());
    set_size(get_x(), get_y(), size[0], size[1]);
}

void GuiCheckbox::set_value(bool const& value)
{
    set_down(value);
}

bool GuiCheckbox::on_press(Source const&)
{
    set_focus();
    set_value(!get_value());
    fire_click(EVT_ID_CHECKBOX_CLICK);
    return false;
}

int GuiCheckbox::process_event(CoreString const& name)
{
    if (is_enabled() && name == EVT_ID_KEY_DOWN && has_focus() &&
        Gui::get_last_key_pressed() == Gui::KEY_ID_KEYPAD_ENTER) {
        give_focus_to_next_widget();
        return 1;
    }
    return GuiButtonBase::process_event(name);
}

void GuiCheckbox::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), h = get_height();
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::ROLE_BACKGROUND);
    wdc.draw_rectf(x, y, get_width(), h, background[0], background[1], background[2]);
    int const bx = x;
    int const by = y + (h - BOX_SIZE) / 2;
    GMathVec3<unsigned char> const& field = get_color(GuiColorScheme::ROLE_FIELD);
    GMathVec3<unsigned char> const& border = get_color(
        shows_hover() ? GuiColorScheme::ROLE_HIGHLIGHT : GuiColorScheme::ROLE_FIELD_BORDER);
    wdc.draw_rectf(bx + 1, by + 1, BOX_SIZE - 2, BOX_SIZE - 2, field[0], field[1], field[2]);
    wdc.draw_round_frame(bx, by, BOX_SIZE, BOX_SIZE, border[0], border[1], border[2]);
    if (get_value()) draw_check_mark(wdc, bx, by, BOX_SIZE, get_color(GuiColorScheme::ROLE_ACCENT));

    if (!get_label().is_empty()) {
        int const tx = x + BOX_SIZE + LABEL_GAP;
        GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_TEXT);
        wdc.draw_text(get_label(), tx, y, get_width() - BOX_SIZE - LABEL_GAP, h, text[0], text[1], text[2],
                      JUSTIFY_LEFT);
    }
    if (has_focus()) {
        // The focus underlines the label (or frames the box of a control without one).
        GMathVec3<unsigned char> const& focus = get_color(GuiColorScheme::ROLE_FOCUS);
        if (get_label().is_empty())
            wdc.draw_rect(bx, by, BOX_SIZE, BOX_SIZE, focus[0], focus[1], focus[2]);
        else
            wdc.draw_line(x + BOX_SIZE + LABEL_GAP, y + h - 1, x + get_width() - 1, y + h - 1, focus[0],
                          focus[1], focus[2]);
    }
}

void GuiCheckbox::draw_check_mark(GuiWidgetDc& dc, int const& x, int const& y, int const& size,
                                  GMathVec3<unsigned char> const& color)
{
    // A tick: a short stroke down to the right, then a long one up to the top-right corner,
    // two pixels thick.
    int const x1 = x + size / 4, y1 = y + size / 2;
    int const x2 = x + (size * 5) / 12, y2 = y + (size * 3) / 4 - 1;
    int const x3 = x + size - size / 4, y3 = y + size / 4;
    for (int dy = 0; dy < 2; ++dy) {
        dc.draw_line(x1, y1 + dy, x2, y2 + dy, color[0], color[1], color[2]);
        dc.draw_line(x2, y2 + dy, x3, y3 + dy, color[0], color[1], color[2]);
    }
}
