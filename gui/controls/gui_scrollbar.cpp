#include "gui/controls/gui_scrollbar.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"

EVENT_DEFINE_ID(EVT_ID_SCROLLBAR_VALUE_CHANGED);

CORE_IMPLEMENT_CLASS(GuiScrollbar, GuiWidget)

int GuiScrollbar::s_press_x = 0;
int GuiScrollbar::s_press_y = 0;
int GuiScrollbar::s_press_value = 0;

namespace {

// Content pixels scrolled per wheel step by set_range.
constexpr double DEFAULT_WHEEL_PIXELS = 80.0;

}  // namespace

char const* GuiScrollbar::get_orientation_name(Orientation const& orientation)
{
    switch (orientation) {
        case ORIENTATION_VERTICAL:
            return "ORIENTATION_VERTICAL";
        case ORIENTATION_HORIZONTAL:
            return "ORIENTATION_HORIZONTAL";
    }
    return "ORIENTATION_UNKNOWN";
}

GuiScrollbar::GuiScrollbar(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h)
    : GuiWidget(parent, x, y, w, h)
{
}

GuiScrollbar::~GuiScrollbar() = default;

void GuiScrollbar::set_orientation(Orientation const& orientation)
{
    if (orientation == m_orientation) return;
    m_orientation = orientation;
    redraw();
}

int GuiScrollbar::get_length() const
{
    return std::max(is_horizontal() ? get_width() : get_height(), 0);
}

int GuiScrollbar::get_slider_button_size() const
{
    int const length = get_length();
    // Content that fits (an empty range included) leaves nothing to scroll.
    if (m_range <= static_cast<unsigned int>(length)) return length;
    double const size = std::trunc(static_cast<double>(length) / m_range * length);
    return std::min(std::max(static_cast<int>(size), MIN_SLIDER_SIZE), length);
}

int GuiScrollbar::get_travel() const { return get_length() - get_slider_button_size(); }

int GuiScrollbar::get_offset() const
{
    int const travel = get_travel();
    // A travel implies a range longer than the bar, so the hidden length is positive.
    if (travel <= 0) return 0;
    double const hidden = static_cast<double>(m_range) - get_length();
    double const offset = std::trunc(hidden / travel * m_value + 0.5);
    // A range beyond the int offsets (over 2^31 pixels) stops at the largest one.
    return static_cast<int>(std::min(offset, static_cast<double>(std::numeric_limits<int>::max())));
}

void GuiScrollbar::set_offset(int const& offset)
{
    int const travel = get_travel();
    int value = 0;
    if (travel > 0) {
        double const hidden = static_cast<double>(m_range) - get_length();
        double const v = std::trunc(static_cast<double>(travel) * offset / hidden + 0.5);
        value = v < 1.0 ? 0 : static_cast<int>(std::min(v, static_cast<double>(travel)));
    }
    m_value = value;
    if (is_shown()) {
        raise_event(EVT_ID_SCROLLBAR_VALUE_CHANGED);
        redraw();
    }
}

void GuiScrollbar::set_value(unsigned int const& value)
{
    unsigned int const travel = static_cast<unsigned int>(std::max(get_travel(), 0));
    m_value = static_cast<int>(std::min(value, travel));
    if (is_shown()) {
        raise_event(EVT_ID_SCROLLBAR_VALUE_CHANGED);
        redraw();
    }
}

void GuiScrollbar::set_range(unsigned int const& range)
{
    int const offset = get_offset();
    m_range = range;
    // One wheel step scrolls 80 pixels of content; without content to scroll the wheel does
    // nothing anyway, and the factor stays 0 rather than dividing by zero.
    double const hidden = static_cast<double>(m_range) - get_height();
    int const length = get_length();
    m_wheel_factor = (hidden > 0.0 && length > 0) ? DEFAULT_WHEEL_PIXELS / (hidden / length) : 0.0;
    set_offset(offset);
    redraw();
}

void GuiScrollbar::set_wheel_factor(unsigned int const& pixels)
{
    double const hidden = static_cast<double>(m_range) - get_height();
    m_wheel_factor = hidden > 0.0 ? static_cast<double>(pixels) * get_length() / hidden : 0.0;
}

unsigned int GuiScrollbar::get_wheel_factor() const
{
    double const hidden = static_cast<double>(m_range) - get_height();
    int const length = get_length();
    if (hidden <= 0.0 || length <= 0) return 0;
    return static_cast<unsigned int>(std::trunc(hidden / length * m_wheel_factor));
}

void GuiScrollbar::resize(int const& x, int const& y, int const& w, int const& h)
{
    int const offset = get_offset();
    GuiWidget::resize(x, y, w, h);
    set_offset(offset);
}

void GuiScrollbar::get_event_position(int& x, int& y) const
{
    Gui::get_relative_mouse_coords(*this, x, y);
    x += get_x();
    y += get_y();
}

bool GuiScrollbar::is_event_over_slider() const
{
    int px, py;
    get_event_position(px, py);
    int const size = get_slider_button_size();
    if (is_horizontal()) return Gui::is_point_in_region(px, py, get_x() + m_value, get_y() + 1, size, get_height() - 1);
    return Gui::is_point_in_region(px, py, get_x() + 1, get_y() + m_value, get_width() - 1, size);
}

void GuiScrollbar::apply_value(int const& value)
{
    m_value = value;
    if (is_shown()) {
        redraw();
        raise_event(EVT_ID_SCROLLBAR_VALUE_CHANGED);
    }
}

void GuiScrollbar::set_hovered(bool const& hovered)
{
    if (hovered == m_hovered) return;
    m_hovered = hovered;
    redraw();
}

int GuiScrollbar::process_event(CoreString const& name)
{
    if (!is_enabled()) return GuiWidget::process_event(name);

    if (name == EVT_ID_MOUSE_MOVE) {
        set_hovered(is_event_over_slider());
        return 1;
    }
    if (name == EVT_ID_MOUSE_DOWN) {
        m_dragging = false;
        get_event_position(s_press_x, s_press_y);
        s_press_value = m_value;
        if (is_event_over_slider()) {
            m_dragging = true;
            redraw();
            return 1;
        }
        // A press in the trough pages towards the pointer by one slider length.
        int const size = get_slider_button_size();
        int const p = is_horizontal() ? s_press_x : s_press_y;
        int const start = is_horizontal() ? get_x() : get_y();
        int const step = p < start + m_value + size ? -size : size;
        apply_value(std::clamp(m_value + step, 0, std::max(get_travel(), 0)));
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG) {
        if (!m_dragging) return 1;
        int px, py;
        get_event_position(px, py);
        int const p = is_horizontal() ? px : py;
        int const start = is_horizontal() ? get_x() : get_y();
        int const travel = std::max(get_travel(), 0);
        // Past either end the slider stays pinned there, wherever the press began.
        int value;
        if (p <= start)
            value = 0;
        else if (p > start + get_length())
            value = travel;
        else
            value = std::clamp(s_press_value + p - (is_horizontal() ? s_press_x : s_press_y), 0, travel);
        apply_value(value);
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        m_dragging = false;
        s_press_x = 0;
        s_press_y = 0;
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        double const moved = std::trunc(std::ceil(m_wheel_factor) * Gui::get_wheel_dy() + m_value);
        double const travel = std::max(get_travel(), 0);
        apply_value(static_cast<int>(std::clamp(moved, 0.0, travel)));
        return 1;
    }
    if (name == EVT_ID_MOUSE_ENTER) return 1;
    if (name == EVT_ID_MOUSE_LEAVE) {
        set_hovered(false);
        return 1;
    }
    return GuiWidget::process_event(name);
}

void GuiScrollbar::draw(GuiDc& dc)
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    if (w < 0 || h < 0) return;
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    GMathVec3<unsigned char> const& trough = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_SHADOW);
    wdc.draw_rectf(x, y, w, h, trough[0], trough[1], trough[2]);
    int const size = get_slider_button_size();
    if (size <= 2) return;
    GuiColorScheme::Group const group =
        (m_hovered || m_dragging) ? GuiColorScheme::GROUP_BRIGHT : GuiColorScheme::GROUP_NORMAL;
    GMathVec3<unsigned char> const& face = dc.get_color(group, GuiColorScheme::ROLE_BACKGROUND);
    if (is_horizontal())
        wdc.draw_rectf(x + m_value + 1, y + 1, size - 2, h - 2, face[0], face[1], face[2]);
    else
        wdc.draw_rectf(x + 1, y + m_value + 1, w - 2, size - 2, face[0], face[1], face[2]);
}
