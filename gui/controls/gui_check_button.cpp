#include "gui/controls/gui_check_button.h"

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"

EVENT_DEFINE_ID(EVT_ID_CHECK_BUTTON_CLICK);
EVENT_DEFINE_ID(EVT_ID_CHECK_OPTION_BUTTON_CLICK);

CORE_IMPLEMENT_CLASS(GuiCheckButton, GuiWidget)

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
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
}

GuiCheckButton::~GuiCheckButton() = default;

void GuiCheckButton::set_label(CoreString const& label)
{
    if (label == m_label) return;
    m_label = label;
    redraw();
}

void GuiCheckButton::set_value(bool const& value)
{
    if (value == m_value) return;
    m_value = value;
    m_hovered = false;
    redraw();
}

void GuiCheckButton::set_icon(GuiImage const& image)
{
    m_icon = std::make_unique<GuiImage>(image);
    redraw();
}

void GuiCheckButton::set_icon(GuiIcon const& icon)
{
    set_icon(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16));
}

void GuiCheckButton::set_pushed_icon(GuiImage const& image)
{
    m_pushed_icon = std::make_unique<GuiImage>(image);
    redraw();
}

void GuiCheckButton::set_pushed_icon(GuiIcon const& icon)
{
    set_pushed_icon(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16));
}

void GuiCheckButton::remove_icons()
{
    if (!m_icon && !m_pushed_icon) return;
    m_icon.reset();
    m_pushed_icon.reset();
    redraw();
}

void GuiCheckButton::set_justification(Justify const& justify)
{
    if (justify == m_justification) return;
    m_justification = justify;
    redraw();
}

void GuiCheckButton::set_icon_position(IconPosition const& position)
{
    if (position == m_icon_position) return;
    m_icon_position = position;
    redraw();
}

void GuiCheckButton::set_style(Style const& style)
{
    if (style == m_style) return;
    m_style = style;
    redraw();
}

void GuiCheckButton::set_use_option(bool const& use)
{
    if (use == m_use_option) return;
    m_use_option = use;
    if (!use) m_option_hovered = false;
    redraw();
}

int GuiCheckButton::get_option_button_width() const
{
    return m_use_option ? GuiPushButton::OPTION_ZONE_WIDTH : 0;
}

void GuiCheckButton::get_content_size(int& w, int& h)
{
    int tw = 0, th = 0;
    get_text_size(m_label, tw, th);
    w = tw + (m_label.is_empty() ? 2 : 10) + get_option_button_width();
    h = th;
    GuiImage const* icon = m_icon ? m_icon.get() : m_pushed_icon.get();
    if (icon) {
        w += static_cast<int>(icon->get_width());
        h += static_cast<int>(icon->get_height());
    }
}

GuiImage const* GuiCheckButton::get_shown_icon() const
{
    if (m_value && m_pushed_icon) return m_pushed_icon.get();
    return m_icon ? m_icon.get() : m_pushed_icon.get();
}

bool GuiCheckButton::is_event_in_option_zone() const
{
    if (!m_use_option) return false;
    int x, y;
    Gui::get_relative_mouse_coords(*this, x, y);
    return x >= get_width() - GuiPushButton::OPTION_ZONE_WIDTH && x < get_width() && y >= 0 &&
           y < get_height();
}

void GuiCheckButton::set_hover(bool const& hovered, bool const& option_hovered)
{
    if (hovered == m_hovered && option_hovered == m_option_hovered) return;
    m_hovered = hovered;
    m_option_hovered = option_hovered;
    redraw();
}

int GuiCheckButton::process_event(CoreString const& name)
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
            raise_event(EVT_ID_CHECK_OPTION_BUTTON_CLICK);
            return 1;
        }
        m_value = !m_value;
        set_focus();
        redraw();
        raise_event(EVT_ID_CHECK_BUTTON_CLICK);
        return 1;
    }
    // The press did the work; its release is taken so that it goes nowhere else.
    if (name == EVT_ID_MOUSE_UP) return 1;
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) {
        redraw();
        raise_event(name);
        return GuiWidget::process_event(name);
    }
    return GuiWidget::process_event(name);
}

void GuiCheckButton::draw(GuiDc& dc)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const option = get_option_button_width();
    // A disabled control gets no leave event: its last hover look must not stay.
    bool const hovered = m_hovered && is_enabled();
    bool const option_hovered = m_option_hovered && is_enabled();
    GMathVec3<unsigned char> const& face = get_color(m_value   ? GuiColorScheme::ROLE_BUTTON_PRESSED
                                                     : hovered ? GuiColorScheme::ROLE_BUTTON_HOVER
                                                               : GuiColorScheme::ROLE_BUTTON);
    GMathVec3<unsigned char> const& outline = get_color(GuiColorScheme::ROLE_OUTLINE);
    bool framed = false;
    // The parts without face (the frame's cut corners, a flat button's whole box) show the
    // scheme's background.
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::ROLE_BACKGROUND);
    wdc.draw_rectf(x, y, w, h, background[0], background[1], background[2]);
    if (m_style == STYLE_BUTTON) {
        wdc.draw_rectf(x + 1, y + 1, w - 2, h - 2, face[0], face[1], face[2]);
        GMathVec3<unsigned char> const& light = get_color(GuiColorScheme::ROLE_EDGE_LIGHT);
        GMathVec3<unsigned char> const& shadow = get_color(GuiColorScheme::ROLE_EDGE_SHADOW);
        GMathVec3<unsigned char> const& top = m_value ? shadow : light;
        GMathVec3<unsigned char> const& bottom = m_value ? light : shadow;
        wdc.draw_line(x + 2, y + 1, x + w - 3, y + 1, top[0], top[1], top[2]);
        wdc.draw_line(x + 2, y + h - 2, x + w - 3, y + h - 2, bottom[0], bottom[1], bottom[2]);
        wdc.draw_round_frame(x, y, w, h, outline[0], outline[1], outline[2]);
        framed = true;
    } else if (m_value || hovered || option_hovered) {
        wdc.draw_rectf(x + 1, y + 1, w - 2, h - 2, face[0], face[1], face[2]);
        wdc.draw_round_frame(x, y, w, h, outline[0], outline[1], outline[2]);
        framed = true;
    }
    if (m_value) {
        // The checked mark of a check button: an accent line along the bottom of the face.
        GMathVec3<unsigned char> const& accent = get_color(GuiColorScheme::ROLE_ACCENT);
        wdc.draw_rectf(x + 3, y + h - 4, w - option - 6, 2, accent[0], accent[1], accent[2]);
    }

    GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_BUTTON_TEXT);
    if (option > 0) {
        int const zx = x + w - option;
        if (option_hovered) {
            GMathVec3<unsigned char> const& hover = get_color(GuiColorScheme::ROLE_BUTTON_HOVER);
            wdc.draw_rectf(zx, y + 1, option - 1, h - 2, hover[0], hover[1], hover[2]);
        }
        if (framed) wdc.draw_line(zx, y + 2, zx, y + h - 3, outline[0], outline[1], outline[2]);
        GuiPushButton::draw_option_arrow(wdc, zx, y, option, h, text);
    }

    int const sink = (m_value && m_style == STYLE_BUTTON) ? 1 : 0;
    GuiPushButton::draw_icon_and_label(wdc, get_shown_icon(), m_label, x + sink, y + sink, w - option, h,
                                       text, m_justification, m_icon_position, is_enabled(), hovered);

    if (has_focus()) {
        GMathVec3<unsigned char> const& focus = get_color(GuiColorScheme::ROLE_FOCUS);
        wdc.draw_rect(x + 2, y + 2, w - option - 4, h - 4, focus[0], focus[1], focus[2]);
    }
}
