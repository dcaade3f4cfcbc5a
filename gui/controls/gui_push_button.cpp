#include "gui/controls/gui_push_button.h"

#include <algorithm>

#include "gui/core/gui_action.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"

EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_CLICK);
EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_UNCLICK);
EVENT_DEFINE_ID(EVT_ID_PUSH_BUTTON_OPTION_CLICK);

CORE_IMPLEMENT_CLASS(GuiPushButton, GuiWidget)

namespace {

// Space between the icon and the label, and the margins of the content: together they
// make the 10 pixels get_content_size adds for a label.
constexpr int ICON_LABEL_GAP = 2;
constexpr int LABEL_PADDING = 4;
constexpr int ICON_PADDING = 1;

}  // namespace

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
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
    // Buttons are clicked, not typed into: they leave the focus where it is unless asked.
    set_focus_receiver(false);
}

GuiPushButton::~GuiPushButton() = default;

void GuiPushButton::set_label(CoreString const& label)
{
    if (label == m_label) return;
    m_label = label;
    redraw();
}

void GuiPushButton::set_icon(GuiImage const& image)
{
    m_icon = std::make_unique<GuiImage>(image);
    redraw();
}

void GuiPushButton::set_icon(GuiIcon const& icon)
{
    set_icon(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16));
}

void GuiPushButton::remove_icon()
{
    if (!m_icon) return;
    m_icon.reset();
    redraw();
}

void GuiPushButton::set_icon_position(IconPosition const& position)
{
    if (position == m_icon_position) return;
    m_icon_position = position;
    redraw();
}

void GuiPushButton::set_justification(Justify const& justify)
{
    if (justify == m_justification) return;
    m_justification = justify;
    redraw();
}

void GuiPushButton::set_style(Style const& style)
{
    if (style == m_style) return;
    m_style = style;
    redraw();
}

void GuiPushButton::set_roundness(Roundness const& roundness)
{
    if (roundness == m_roundness) return;
    m_roundness = roundness;
    redraw();
}

void GuiPushButton::set_toggle(bool const& toggle)
{
    if (toggle == m_toggle) return;
    m_toggle = toggle;
    // A button that stops being a toggle no longer stays pushed.
    if (!toggle && m_pushed && !m_mouse_pressing && !m_key_pressing) set_pushed(false);
}

void GuiPushButton::set_pushed(bool const& pushed)
{
    if (pushed == m_pushed) return;
    m_pushed = pushed;
    redraw();
}

void GuiPushButton::set_use_option(bool const& use)
{
    if (use == m_use_option) return;
    m_use_option = use;
    if (!use) m_option_hovered = false;
    redraw();
}

void GuiPushButton::get_content_size(int& w, int& h)
{
    int tw = 0, th = 0;
    get_text_size(m_label, tw, th);
    w = tw + (m_label.is_empty() ? 2 : 10) + get_option_button_width();
    h = th;
    if (m_icon) {
        w += static_cast<int>(m_icon->get_width());
        h += static_cast<int>(m_icon->get_height());
    }
}

bool GuiPushButton::is_event_inside() const
{
    int x, y;
    Gui::get_relative_mouse_coords(*this, x, y);
    return x >= 0 && y >= 0 && x < get_width() && y < get_height();
}

bool GuiPushButton::is_event_in_option_zone() const
{
    if (!m_use_option) return false;
    int x, y;
    Gui::get_relative_mouse_coords(*this, x, y);
    return x >= get_width() - OPTION_ZONE_WIDTH && x < get_width() && y >= 0 && y < get_height();
}

bool GuiPushButton::is_push_key(int const& key)
{
    return key == ' ' || key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER;
}

void GuiPushButton::set_hover(bool const& hovered, bool const& option_hovered)
{
    if (hovered == m_hovered && option_hovered == m_option_hovered) return;
    m_hovered = hovered;
    m_option_hovered = option_hovered;
    redraw();
}

void GuiPushButton::fire_click()
{
    if (m_action) {
        if (m_action->is_enabled()) m_action->call(m_action->get_widget());
        return;
    }
    raise_event(EVT_ID_PUSH_BUTTON_CLICK);
}

void GuiPushButton::set_action(GuiAction* action)
{
    m_action = action;
    update_tooltip();
}

void GuiPushButton::set_tooltip(CoreString const& tooltip)
{
    m_own_tooltip = tooltip;
    update_tooltip();
}

void GuiPushButton::update_tooltip()
{
    if (!m_action) {
        GuiWidget::set_tooltip(m_own_tooltip);
        return;
    }
    CoreString tooltip = m_action->get_tooltip().is_empty() ? m_own_tooltip : m_action->get_tooltip();
    if (!m_action->get_shortcut().is_empty()) {
        if (!tooltip.is_empty()) tooltip += ' ';
        tooltip += "(";
        tooltip += m_action->get_shortcut();
        tooltip += ")";
    }
    GuiWidget::set_tooltip(tooltip);
}

int GuiPushButton::process_event(CoreString const& name)
{
    if (!is_enabled()) return GuiWidget::process_event(name);

    if (name == EVT_ID_MOUSE_MOVE) {
        bool const option = is_event_in_option_zone();
        set_hover(!option, option);
        return 1;
    }
    if (name == EVT_ID_MOUSE_ENTER) {
        set_hover(true, false);
        return 1;
    }
    if (name == EVT_ID_MOUSE_LEAVE) {
        set_hover(false, false);
        return 1;
    }
    if (name == EVT_ID_WIDGET_HIDE) {
        set_hover(false, false);
        return GuiWidget::process_event(name);
    }
    if (name == EVT_ID_MOUSE_DOWN) {
        if (is_event_in_option_zone()) {
            raise_event(EVT_ID_PUSH_BUTTON_OPTION_CLICK);
        } else if (m_toggle && m_pushed) {
            m_pushed = false;
            raise_event(EVT_ID_PUSH_BUTTON_UNCLICK);
        } else {
            m_pushed = true;
            m_mouse_pressing = true;
        }
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        // Only the release of a press that pushed the button can click it: not the release
        // of an option-zone press, nor that of the press that released a toggle.
        if (!m_mouse_pressing) return 1;
        m_mouse_pressing = false;
        if (is_event_inside()) {
            if (!m_toggle) m_pushed = false;
            set_focus();
            redraw();
            fire_click();
        } else {
            // Released elsewhere: the press is cancelled, a toggle included, so that the
            // button never shows a state its users were not told about.
            m_pushed = false;
            m_hovered = false;
            redraw();
        }
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && has_focus() && is_push_key(Gui::get_last_key_pressed())) {
        // The toolkit repeats a held key: only its first press counts.
        if (m_held_key != 0) return 1;
        m_held_key = Gui::get_last_key_pressed();
        if (m_toggle && m_pushed) {
            m_pushed = false;
            raise_event(EVT_ID_PUSH_BUTTON_UNCLICK);
        } else {
            m_pushed = true;
            m_key_pressing = true;
        }
        redraw();
        return 1;
    }
    if (name == EVT_ID_KEY_UP && m_held_key != 0 && Gui::get_last_key_pressed() == m_held_key) {
        m_held_key = 0;
        if (m_key_pressing) {
            m_key_pressing = false;
            if (!m_toggle) m_pushed = false;
            redraw();
            fire_click();
        }
        return 1;
    }
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) {
        if (name == EVT_ID_WIDGET_FOCUS_OUT && m_held_key != 0) {
            // The key's release will go to another widget: the key press is cancelled.
            m_held_key = 0;
            if (m_key_pressing) {
                m_key_pressing = false;
                m_pushed = false;
            }
        }
        redraw();
        raise_event(name);
        return GuiWidget::process_event(name);
    }
    return GuiWidget::process_event(name);
}

void GuiPushButton::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const option = get_option_button_width();
    // A disabled control gets no leave event: its last hover look must not stay.
    bool const hovered = m_hovered && is_enabled();
    bool const option_hovered = m_option_hovered && is_enabled();
    GMathVec3<unsigned char> const& face = get_color(m_pushed  ? GuiColorScheme::ROLE_BUTTON_PRESSED
                                                     : hovered ? GuiColorScheme::ROLE_BUTTON_HOVER
                                                               : GuiColorScheme::ROLE_BUTTON);
    GMathVec3<unsigned char> const& outline = get_color(GuiColorScheme::ROLE_OUTLINE);
    bool framed = false;
    // The parts without face (the frame's cut corners, a flat button's whole box) show the
    // scheme's background.
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::ROLE_BACKGROUND);
    wdc.draw_rectf(x, y, w, h, background[0], background[1], background[2]);
    switch (m_style) {
        case STYLE_FLAT:
            if (m_pushed || hovered || option_hovered) {
                wdc.draw_rectf(x + 1, y + 1, w - 2, h - 2, face[0], face[1], face[2]);
                wdc.draw_round_frame(x, y, w, h, outline[0], outline[1], outline[2]);
                framed = true;
            }
            break;
        case STYLE_SIMPLE:
            wdc.draw_rectf(x, y, w, h, face[0], face[1], face[2]);
            break;
        case STYLE_BUTTON: {
            wdc.draw_rectf(x + 1, y + 1, w - 2, h - 2, face[0], face[1], face[2]);
            // A raised face: light above, shadow below; a pushed one the other way round.
            GMathVec3<unsigned char> const& light = get_color(GuiColorScheme::ROLE_EDGE_LIGHT);
            GMathVec3<unsigned char> const& shadow = get_color(GuiColorScheme::ROLE_EDGE_SHADOW);
            GMathVec3<unsigned char> const& top = m_pushed ? shadow : light;
            GMathVec3<unsigned char> const& bottom = m_pushed ? light : shadow;
            wdc.draw_line(x + 2, y + 1, x + w - 3, y + 1, top[0], top[1], top[2]);
            wdc.draw_line(x + 2, y + h - 2, x + w - 3, y + h - 2, bottom[0], bottom[1], bottom[2]);
            wdc.draw_round_frame(m_roundness, x, y, w, h, outline[0], outline[1], outline[2]);
            framed = true;
            break;
        }
        case STYLE_ROUND:
            wdc.draw_rectf(x + 1, y + 1, w - 2, h - 2, face[0], face[1], face[2]);
            wdc.draw_round_frame(x, y, w, h, outline[0], outline[1], outline[2]);
            framed = true;
            break;
        case STYLE_ICON_ONLY:
            if (m_pushed) wdc.draw_round_framef(x, y, w, h, face[0], face[1], face[2]);
            break;
    }

    GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_BUTTON_TEXT);
    if (option > 0) {
        int const zx = x + w - option;
        if (option_hovered) {
            GMathVec3<unsigned char> const& hover = get_color(GuiColorScheme::ROLE_BUTTON_HOVER);
            wdc.draw_rectf(zx, y + 1, option - 1, h - 2, hover[0], hover[1], hover[2]);
        }
        if (framed) wdc.draw_line(zx, y + 2, zx, y + h - 3, outline[0], outline[1], outline[2]);
        draw_option_arrow(wdc, zx, y, option, h, text);
    }

    // The content of a pushed button sinks by one pixel.
    int const sink = (m_pushed && m_style != STYLE_FLAT) ? 1 : 0;
    draw_text(wdc, x + sink, y + sink, w - option, h, text);

    if (has_focus()) {
        GMathVec3<unsigned char> const& focus = get_color(GuiColorScheme::ROLE_FOCUS);
        wdc.draw_rect(x + 2, y + 2, w - option - 4, h - 4, focus[0], focus[1], focus[2]);
    }
}

void GuiPushButton::draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                              GMathVec3<unsigned char> const& color)
{
    bool const icon_only = m_style == STYLE_ICON_ONLY && m_icon;
    draw_icon_and_label(dc, m_icon.get(), icon_only ? CoreString() : m_label, x, y, w, h, color,
                        m_justification, m_icon_position, is_enabled(), m_hovered || m_pushed);
}

void GuiPushButton::draw_option_arrow(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                                      GMathVec3<unsigned char> const& color)
{
    // A downward triangle 5 pixels wide and 3 high.
    int const cx = x + w / 2;
    int const cy = y + h / 2;
    dc.draw_trianglef(cx - 2, cy - 1, cx + 2, cy - 1, cx, cy + 1, color[0], color[1], color[2]);
    dc.draw_triangle(cx - 2, cy - 1, cx + 2, cy - 1, cx, cy + 1, color[0], color[1], color[2]);
}

void GuiPushButton::draw_icon_and_label(GuiWidgetDc& dc, GuiImage const* icon, CoreString const& label,
                                        int const& x, int const& y, int const& w, int const& h,
                                        GMathVec3<unsigned char> const& color, Justify const& justify,
                                        IconPosition const& position, bool const& enabled,
                                        bool const& highlighted)
{
    int tw = 0, th = 0;
    if (!label.is_empty()) dc.get_text_size(label, tw, th);
    int const iw = icon ? static_cast<int>(icon->get_width()) : 0;
    int const ih = icon ? static_cast<int>(icon->get_height()) : 0;
    int const gap = (iw > 0 && tw > 0) ? ICON_LABEL_GAP : 0;
    int const padding = tw > 0 ? LABEL_PADDING : ICON_PADDING;
    int const total = iw + gap + tw;
    int left;
    switch (justify) {
        case JUSTIFY_LEFT:
            left = x + padding;
            break;
        case JUSTIFY_RIGHT:
            left = x + w - padding - total;
            break;
        case JUSTIFY_CENTER:
            // Content wider than the box starts at its left edge, so that its beginning shows.
            left = std::max(x + padding, x + (w - total) / 2);
            break;
        default:
            return;
    }
    int const icon_x = position == ICON_POSITION_RIGHT ? left + tw + gap : left;
    int const text_x = position == ICON_POSITION_RIGHT ? left : left + iw + gap;
    if (icon) icon->draw(enabled, icon_x, y + (h - ih) / 2, enabled && highlighted);
    if (tw > 0)
        dc.draw_text(label, text_x, y, std::max(0, x + w - text_x), h, color[0], color[1], color[2],
                     JUSTIFY_LEFT);
}
