#include "gui/controls/gui_slider.h"

#include <algorithm>
#include <cmath>

#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"

EVENT_DEFINE_ID(EVT_ID_SLIDER_VALUE_CHANGING);
EVENT_DEFINE_ID(EVT_ID_SLIDER_VALUE_CHANGED);

CORE_IMPLEMENT_CLASS(GuiSlider, GuiWidget)

double GuiSlider::s_press_value = 0.0;

namespace {

// The track leaves 3 pixels at the left and 4 at the right for the knob's half width.
constexpr int TRACK_LEFT = 3;
constexpr int TRACK_RIGHT = 4;
// Share of the range moved by one wheel step.
constexpr double WHEEL_STEP = 0.1;

}  // namespace

char const* GuiSlider::get_type_name(Type const& type)
{
    switch (type) {
        case TYPE_INTEGER:
            return "TYPE_INTEGER";
        case TYPE_REAL:
            return "TYPE_REAL";
    }
    return "TYPE_UNKNOWN";
}

GuiSlider::GuiSlider(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, Type const& type)
    : GuiWidget(parent, x, y, w, h), m_type(type)
{
}

GuiSlider::~GuiSlider() = default;

double GuiSlider::to_type(double const& value) const
{
    return m_type == TYPE_INTEGER ? std::round(value) : value;
}

void GuiSlider::set_min_value(double const& value)
{
    m_min_value = to_type(value);
    redraw();
}

void GuiSlider::set_max_value(double const& value)
{
    m_max_value = to_type(value);
    redraw();
}

void GuiSlider::set_value(double const& value)
{
    m_value = to_type(value);
    redraw();
}

void GuiSlider::enable_used_wheel(bool const& enable) { m_wheel_enabled = enable; }

double GuiSlider::get_value_at(int const& window_x) const
{
    int const left = get_x() + TRACK_LEFT;
    int const right = get_x() + get_width() - TRACK_RIGHT;
    if (window_x < left) return m_min_value;
    if (window_x > right) return m_max_value;
    int const track = get_width() - TRACK_LEFT - TRACK_RIGHT;
    // A track of one pixel or none has no inside to interpolate along.
    if (track <= 0) return m_min_value;
    return to_type(m_min_value + (m_max_value - m_min_value) * (window_x - left) / track);
}

int GuiSlider::get_knob_center() const
{
    int const x = get_x(), w = get_width();
    if (m_value < m_min_value) return x + 4;
    if (m_value > m_max_value) return x + w - 4;
    double const span = m_max_value - m_min_value;
    // An empty range holds only its one value: the knob sits at the track's start.
    double const share = span > 0.0 ? (m_value - m_min_value) / span : 0.0;
    return static_cast<int>(std::trunc(share * (w - TRACK_LEFT - TRACK_RIGHT) + x + TRACK_LEFT - 1));
}

int GuiSlider::process_event(CoreString const& name)
{
    if (!is_enabled()) return GuiWidget::process_event(name);

    if (name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_LEAVE) {
        m_hovered = name == EVT_ID_MOUSE_ENTER;
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DOWN || name == EVT_ID_MOUSE_DRAG) {
        if (name == EVT_ID_MOUSE_DOWN) s_press_value = m_value;
        double const value = get_value_at(Gui::get_relative_mouse_x(*this) + get_x());
        if (value != m_value) {
            m_value = value;
            redraw();
            raise_event(EVT_ID_SLIDER_VALUE_CHANGING);
        }
        return 1;
    }
    if (name == EVT_ID_MOUSE_WHEEL) {
        if (!m_wheel_enabled) return GuiWidget::process_event(name);
        int px, py;
        Gui::get_relative_mouse_coords(*this, px, py);
        if (!Gui::is_point_in_region(px, py, 0, 0, get_width(), get_height())) return 0;
        double const low = std::min(m_min_value, m_max_value), high = std::max(m_min_value, m_max_value);
        double const step = (m_max_value - m_min_value) * Gui::get_wheel_dy() * WHEEL_STEP;
        double const value = std::clamp(to_type(m_value + step), low, high);
        if (value != m_value) {
            m_value = value;
            redraw();
            raise_event(EVT_ID_SLIDER_VALUE_CHANGED);
        }
        return 1;
    }
    if (name == EVT_ID_MOUSE_UP) {
        if (m_value != s_press_value) raise_event(EVT_ID_SLIDER_VALUE_CHANGED);
        redraw();
        return GuiWidget::process_event(name);
    }
    return GuiWidget::process_event(name);
}

void GuiSlider::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const yc = static_cast<int>(std::trunc(y + h * 0.5));
    int const kx = get_knob_center();
    auto color = [&dc](GuiColorScheme::Group const& group, GuiColorScheme::Role const& role) {
        return dc.get_color(group, role);
    };
    GMathVec3<unsigned char> const back = color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND);
    wdc.draw_rectf(x, y, w, h, back[0], back[1], back[2]);

    GMathVec3<unsigned char> const shadow = color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_SHADOW);
    GMathVec3<unsigned char> const groove = color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND_LIGHT);
    GMathVec3<unsigned char> const light = color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_LIGHT);
    wdc.draw_line(x + 1, yc - 1, x + w - 2, yc - 1, shadow[0], shadow[1], shadow[2]);
    wdc.draw_line(x, yc, x + w - 1, yc, groove[0], groove[1], groove[2]);
    wdc.draw_line(x + 1, yc + 1, x + w - 2, yc + 1, light[0], light[1], light[2]);

    GMathVec3<unsigned char> knob;
    if (!is_enabled())
        knob = color(GuiColorScheme::GROUP_DISABLED, GuiColorScheme::ROLE_EDGE_LIGHT);
    else if (!m_hovered)
        knob = light;
    else if (Gui::is_mouse_button_pressed())
        knob = color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    else
        knob = color(GuiColorScheme::GROUP_BRIGHT, GuiColorScheme::ROLE_EDGE_LIGHT);
    wdc.draw_rectf(kx - 1, yc - 4, 5, 9, knob[0], knob[1], knob[2]);
    wdc.draw_rect(kx - 2, yc - 5, 7, 11, shadow[0], shadow[1], shadow[2]);
}
