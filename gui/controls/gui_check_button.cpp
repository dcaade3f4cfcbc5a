#include "gui/controls/gui_check_button.h"

#include "gui/core/gui_dc.h"

EVENT_DEFINE_ID(EVT_ID_CHECK_BUTTON_CLICK);
EVENT_DEFINE_ID(EVT_ID_CHECK_OPTION_BUTTON_CLICK);

CORE_IMPLEMENT_CLASS(GuiCheckButton, GuiFaceButton)

char const* GuiCheckButton::get_style_name(Style const& style)
{
    switch (style) {
        case STYLE_FLAT:
            return "STYLE_FLAT";
        case STYLE_BUTTON:
            return "STYLE_BUTTON";
    }
    return "STYLE_UNKNOWN";
}

GuiCheckButton::GuiCheckButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                               CoreString const& label)
    : GuiFaceButton(parent, x, y, w, h, label)
{
}

GuiCheckButton::~GuiCheckButton() = default;

void GuiCheckButton::set_value(bool const& value)
{
    if (set_down(value)) set_hover(false, is_option_hovered());
}

bool GuiCheckButton::on_press(Source const&)
{
    set_down(!get_value());
    set_focus();
    fire_click(EVT_ID_CHECK_BUTTON_CLICK);
    return false;
}

void GuiCheckButton::on_option_press()
{
    raise_event(EVT_ID_CHECK_OPTION_BUTTON_CLICK);
}

void GuiCheckButton::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    Face const face = m_style == STYLE_BUTTON ? FACE_RAISED : is_lit() ? FACE_FRAMED : FACE_NONE;
    bool const framed = draw_face(wdc, face);
    if (get_value()) {
        // The checked mark of a check button: an accent line along the bottom of the face.
        GMathVec3<unsigned char> const& accent = get_color(GuiColorScheme::ROLE_ACCENT);
        wdc.draw_rectf(get_x() + 3, get_y() + get_height() - 4, get_width() - get_option_button_width() - 6, 2,
                       accent[0], accent[1], accent[2]);
    }
    draw_option_zone(wdc, framed);
    draw_content(wdc, get_value() && m_style == STYLE_BUTTON);
}

void GuiCheckButton::draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                               GMathVec3<unsigned char> const& color)
{
    draw_icon_and_label(dc, get_shown_icon(), get_label(), x, y, w, h, color, get_justification(),
                        get_icon_position(), is_enabled(), shows_hover());
}
