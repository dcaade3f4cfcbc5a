#include "gui/controls/gui_button_base.h"

#include <algorithm>
#include <utility>

#include "gui/core/gui.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"

CORE_IMPLEMENT_CLASS(GuiButtonBase, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiFaceButton, GuiButtonBase)

// GuiButtonBase ----------------------------------------------------------------------------------------

GuiButtonBase::GuiButtonBase(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                             CoreString const& label)
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
}

GuiButtonBase::~GuiButtonBase() = default;

void GuiButtonBase::set_label(CoreString const& label)
{
    if (set_redrawn(m_label, label)) on_label_change();
}

bool GuiButtonBase::set_down(bool const& down)
{
    return set_redrawn(m_down, down);
}

void GuiButtonBase::set_hover(bool const& hovered, bool const& option_hovered)
{
    if (hovered == m_hovered && option_hovered == m_option_hovered) return;
    m_hovered = hovered;
    m_option_hovered = option_hovered;
    redraw();
}

void GuiButtonBase::set_use_option(bool const& use)
{
    if (!set_redrawn(m_use_option, use)) return;
    if (!use) m_option_hovered = false;
}

bool GuiButtonBase::is_event_inside() const
{
    int x, y;
    Gui::get_relative_mouse_coords(*this, x, y);
    return x >= 0 && y >= 0 && x < get_width() && y < get_height();
}

bool GuiButtonBase::is_event_in_option_zone() const
{
    if (!m_use_option) return false;
    int x, y;
    Gui::get_relative_mouse_coords(*this, x, y);
    return x >= get_width() - OPTION_ZONE_WIDTH && x < get_width() && y >= 0 && y < get_height();
}

bool GuiButtonBase::is_push_key(int const& key)
{
    return key == ' ' || key == Gui::KEY_ID_ENTER || key == Gui::KEY_ID_KEYPAD_ENTER;
}

void GuiButtonBase::set_action(GuiAction* action)
{
    m_action = action;
    update_tooltip();
}

void GuiButtonBase::set_tooltip(CoreString const& tooltip)
{
    m_own_tooltip = tooltip;
    update_tooltip();
}

void GuiButtonBase::update_tooltip()
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

void GuiButtonBase::fire_click(CoreString const& event)
{
    if (m_action) {
        if (m_action->is_enabled()) m_action->call(m_action->get_widget());
        return;
    }
    raise_event(event);
}

bool GuiButtonBase::on_press(Source const&)
{
    return false;
}

void GuiButtonBase::on_release(Source const&, bool const&) {}

int GuiButtonBase::process_event(CoreString const& name)
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
        // Redrawn first: what the press runs may take the button away.
        redraw();
        m_mouse_held = false;
        if (is_event_in_option_zone())
            on_option_press();
        else
            m_mouse_held = on_press(SOURCE_MOUSE);
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        // Only the release of a held press counts: not that of an option-zone press, nor
        // that of a press that did its work at once.
        if (std::exchange(m_mouse_held, false)) {
            redraw();
            on_release(SOURCE_MOUSE, is_event_inside());
        }
        return 1;
    }
    if (name == EVT_ID_KEY_DOWN && takes_push_keys() && has_focus() && is_push_key(Gui::get_last_key_pressed())) {
        // The toolkit repeats a held key: only its first press counts.
        if (m_held_key != 0) return 1;
        m_held_key = Gui::get_last_key_pressed();
        redraw();
        m_key_held = on_press(SOURCE_KEY);
        return 1;
    }
    if (name == EVT_ID_KEY_UP && m_held_key != 0 && Gui::get_last_key_pressed() == m_held_key) {
        m_held_key = 0;
        if (std::exchange(m_key_held, false)) {
            redraw();
            on_release(SOURCE_KEY, true);
        }
        return 1;
    }
    if (name == EVT_ID_WIDGET_FOCUS_IN || name == EVT_ID_WIDGET_FOCUS_OUT) {
        if (name == EVT_ID_WIDGET_FOCUS_OUT && m_held_key != 0) {
            // The key's release will go to another widget: the key press is cancelled.
            m_held_key = 0;
            if (std::exchange(m_key_held, false)) on_release(SOURCE_KEY, false);
        }
        redraw();
        raise_event(name);
        return GuiWidget::process_event(name);
    }
    return GuiWidget::process_event(name);
}

// GuiFaceButton ----------------------------------------------------------------------------------------

namespace {

// Space between the icon and the label, and the margins of the content: together they
// make the 10 pixels get_content_size adds for a label.
constexpr int ICON_LABEL_GAP = 2;
constexpr int LABEL_PADDING = 4;
constexpr int ICON_PADDING = 1;

}  // namespace

GuiFaceButton::GuiFaceButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                             CoreString const& label)
    : GuiButtonBase(parent, x, y, w, h, label)
{
}

GuiFaceButton::~GuiFaceButton() = default;

void GuiFaceButton::set_image(std::unique_ptr<GuiImage>& slot, GuiImage const* image)
{
    if (!slot && !image) return;
    slot = image ? std::make_unique<GuiImage>(*image) : nullptr;
    redraw();
}

void GuiFaceButton::set_icon(GuiImage const& image)
{
    set_image(m_icon, &image);
}

void GuiFaceButton::set_icon(GuiIcon const& icon)
{
    set_icon(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16));
}

void GuiFaceButton::remove_icon()
{
    set_image(m_icon, nullptr);
}

void GuiFaceButton::set_pushed_icon(GuiImage const& image)
{
    set_image(m_pushed_icon, &image);
}

void GuiFaceButton::set_pushed_icon(GuiIcon const& icon)
{
    set_pushed_icon(icon.get_image(ImageIcon::IMAGE_ICON_SIZE_16));
}

void GuiFaceButton::remove_icons()
{
    remove_icon();
    set_image(m_pushed_icon, nullptr);
}

GuiImage const* GuiFaceButton::get_shown_icon() const
{
    return is_down() && m_pushed_icon ? m_pushed_icon.get() : get_sized_icon();
}

void GuiFaceButton::get_content_size(int& w, int& h)
{
    int tw = 0, th = 0;
    get_text_size(get_label(), tw, th);
    w = tw + (get_label().is_empty() ? 2 : 10) + get_option_button_width();
    h = th;
    if (GuiImage const* icon = get_sized_icon()) {
        w += static_cast<int>(icon->get_width());
        h += static_cast<int>(icon->get_height());
    }
}

GMathVec3<unsigned char> const& GuiFaceButton::get_face_color() const
{
    return get_color(is_down()       ? GuiColorScheme::ROLE_BUTTON_PRESSED
                     : shows_hover() ? GuiColorScheme::ROLE_BUTTON_HOVER
                                     : GuiColorScheme::ROLE_BUTTON);
}

bool GuiFaceButton::draw_face(GuiWidgetDc& dc, Face const& face, Roundness const& roundness)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    GMathVec3<unsigned char> const& fill = get_face_color();
    GMathVec3<unsigned char> const& outline = get_color(GuiColorScheme::ROLE_OUTLINE);
    // The parts without face (the frame's cut corners, a flat button's whole box) show the
    // scheme's background.
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::ROLE_BACKGROUND);
    dc.draw_rectf(x, y, w, h, background[0], background[1], background[2]);
    switch (face) {
        case FACE_NONE:
            return false;
        case FACE_PLAIN:
            dc.draw_rectf(x, y, w, h, fill[0], fill[1], fill[2]);
            return false;
        case FACE_FRAMED:
            dc.draw_rectf(x + 1, y + 1, w - 2, h - 2, fill[0], fill[1], fill[2]);
            dc.draw_round_frame(x, y, w, h, outline[0], outline[1], outline[2]);
            return true;
        case FACE_RAISED: {
            dc.draw_rectf(x + 1, y + 1, w - 2, h - 2, fill[0], fill[1], fill[2]);
            GMathVec3<unsigned char> const& light = get_color(GuiColorScheme::ROLE_EDGE_LIGHT);
            GMathVec3<unsigned char> const& shadow = get_color(GuiColorScheme::ROLE_EDGE_SHADOW);
            GMathVec3<unsigned char> const& top = is_down() ? shadow : light;
            GMathVec3<unsigned char> const& bottom = is_down() ? light : shadow;
            dc.draw_line(x + 2, y + 1, x + w - 3, y + 1, top[0], top[1], top[2]);
            dc.draw_line(x + 2, y + h - 2, x + w - 3, y + h - 2, bottom[0], bottom[1], bottom[2]);
            dc.draw_round_frame(roundness, x, y, w, h, outline[0], outline[1], outline[2]);
            return true;
        }
    }
    return false;
}

void GuiFaceButton::draw_option_zone(GuiWidgetDc& dc, bool const& framed)
{
    int const option = get_option_button_width();
    if (option == 0) return;
    int const zx = get_x() + get_width() - option, y = get_y(), h = get_height();
    if (shows_option_hover()) {
        GMathVec3<unsigned char> const& hover = get_color(GuiColorScheme::ROLE_BUTTON_HOVER);
        dc.draw_rectf(zx, y + 1, option - 1, h - 2, hover[0], hover[1], hover[2]);
    }
    if (framed) {
        GMathVec3<unsigned char> const& outline = get_color(GuiColorScheme::ROLE_OUTLINE);
        dc.draw_line(zx, y + 2, zx, y + h - 3, outline[0], outline[1], outline[2]);
    }
    draw_option_arrow(dc, zx, y, option, h, get_color(GuiColorScheme::ROLE_BUTTON_TEXT));
}

void GuiFaceButton::draw_content(GuiWidgetDc& dc, bool const& sunk)
{
    int const x = get_x(), y = get_y(), h = get_height();
    int const w = get_width() - get_option_button_width();
    int const sink = sunk ? 1 : 0;
    draw_text(dc, x + sink, y + sink, w, h, get_color(GuiColorScheme::ROLE_BUTTON_TEXT));
    if (has_focus()) {
        GMathVec3<unsigned char> const& focus = get_color(GuiColorScheme::ROLE_FOCUS);
        dc.draw_rect(x + 2, y + 2, w - 4, h - 4, focus[0], focus[1], focus[2]);
    }
}

void GuiFaceButton::draw_option_arrow(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                                      GMathVec3<unsigned char> const& color)
{
    // A downward triangle 5 pixels wide and 3 high.
    int const cx = x + w / 2;
    int const cy = y + h / 2;
    dc.draw_trianglef(cx - 2, cy - 1, cx + 2, cy - 1, cx, cy + 1, color[0], color[1], color[2]);
    dc.draw_triangle(cx - 2, cy - 1, cx + 2, cy - 1, cx, cy + 1, color[0], color[1], color[2]);
}

void GuiFaceButton::draw_icon_and_label(GuiWidgetDc& dc, GuiImage const* icon, CoreString const& label,
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
