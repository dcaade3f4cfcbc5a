#include "gui/controls/gui_push_button.h"

#include "gui/core/gui_dc.h"

EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_CLICK);
EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_UNCLICK);
EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_OPTION_CLICK);

CORE_IMPLEMENT_CLASS(GuiPushButton, GuiFaceButton)

char const* GuiPushButton::get_style_name(Style const& style)
{
    switch (style) {
        case STYLE_FLAT:
            return "STYLE_FLAT";
        case STYLE_SIMPLE:
            return "STYLE_SIMPLE";
        case STYLE_BUTTON:
            return "STYLE_BUTTON";
        case STYLE_ROUND:
            return "STYLE_ROUND";
        case STYLE_ICON_ONLY:
            return "STYLE_ICON_ONLY";
    }
    return "STYLE_UNKNOWN";
}

GuiPushButton::GuiPushButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                             CoreString const& label)
    : GuiFaceButton(parent, x, y, w, h, label)
{
    // Buttons are clicked, not typed into: they leave the focus where it is unless asked.
    set_focus_receiver(false);
}

GuiPushButton::~GuiPushButton() = default;

void GuiPushButton::set_toggle(bool const& toggle)
{
    if (toggle == m_toggle) return;
    m_toggle = toggle;
    // A button that stops being a toggle no longer stays pushed.
    if (!toggle && !is_press_held()) set_down(false);
}

bool GuiPushButton::on_press(Source const&)
{
    if (m_toggle && is_down()) {
        set_down(false);
        raise_event(EVT_ID_PUSH_BUTTON_UNCLICK);
        return false;
    }
    set_down(true);
    return true;
}

void GuiPushButton::on_release(Source const& source, bool const& over)
{
    if (!over) {
        // Released elsewhere, or the focus left: the press is cancelled, a toggle included,
        // so that the button never shows a state its users were not told about.
        set_down(false);
        if (source == SOURCE_MOUSE) set_hover(false, is_option_hovered());
        return;
    }
    if (!m_toggle) set_down(false);
    if (source == SOURCE_MOUSE) set_focus();
    fire_click(EVT_ID_PUSH_BUTTON_CLICK);
}

void GuiPushButton::on_option_press()
{
    raise_event(EVT_ID_PUSH_BUTTON_OPTION_CLICK);
}

void GuiPushButton::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    Face face = FACE_NONE;
    switch (m_style) {
        case STYLE_FLAT:
            face = is_lit() ? FACE_FRAMED : FACE_NONE;
            break;
        case STYLE_SIMPLE:
            face = FACE_PLAIN;
            break;
        case STYLE_BUTTON:
            face = FACE_RAISED;
            break;
        case STYLE_ROUND:
            face = FACE_FRAMED;
            break;
        case STYLE_ICON_ONLY:
            break;
    }
    bool const framed = draw_face(wdc, face, m_roundness);
    if (m_style == STYLE_ICON_ONLY && is_down()) {
        GMathVec3<unsigned char> const& fill = get_face_color();
        wdc.draw_round_framef(get_x(), get_y(), get_width(), get_height(), fill[0], fill[1], fill[2]);
    }
    draw_option_zone(wdc, framed);
    // The content of a pushed button sinks by one pixel.
    draw_content(wdc, is_down() && m_style != STYLE_FLAT);
}

void GuiPushButton::draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                              GMathVec3<unsigned char> const& color)
{
    bool const icon_only = m_style == STYLE_ICON_ONLY && get_icon();
    draw_icon_and_label(dc, get_icon(), icon_only ? CoreString() : get_label(), x, y, w, h, color,
                        get_justification(), get_icon_position(), is_enabled(), is_hovered() || is_down());
}
