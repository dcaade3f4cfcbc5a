#include "gui/fields/gui_number_field.h"

#include <algorithm>
#include <cmath>

#include "gui/controls/gui_slider.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_NUMBER_FIELD_VALUE_CHANGING);
EVENT_DEFINE_ID(EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_NUMBER_FIELD_VALUE_VALIDATE);
EVENT_DEFINE_ID(EVT_ID_NUMBER_FIELD_MENU_SHOW);
EVENT_DEFINE_ID(EVT_ID_NUMBER_FIELD_MENU_ITEM_SELECTED);

CORE_IMPLEMENT_CLASS(GuiNumberField, GuiWidget)

GuiNumberField::DragState GuiNumberField::s_drag;

namespace {

// Gaps between the parts of the field, in pixels.
constexpr int LABEL_PADDING = 4;
constexpr int SLIDER_GAP = 2;
// Shift and Ctrl scale a drag pixel's increment by these.
constexpr double FAST_DRAG_FACTOR = 10.0;
constexpr double SLOW_DRAG_FACTOR = 0.1;

bool is_numeric_character(char const& c) { return (c >= '0' && c <= '9') || c == '-' || c == '.'; }

double power_of_ten(int exponent)
{
    // Repeated products, so that two fractional digits give 0.1 * 0.1 as a user would get
    // by typing the step.
    double result = 1.0;
    for (int i = 0; i < exponent; ++i) result *= 10.0;
    for (int i = 0; i > exponent; --i) result *= 0.1;
    return result;
}

}  // namespace

GuiNumberField::GuiNumberField(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                               CoreString const& label)
    : GuiWidget(parent, x, y, w, h), m_label(label)
{
    m_edit = new GuiNumberEdit(*this, x + HANDLE_WIDTH + 1, y, std::max(w - HANDLE_WIDTH - 1, 1), h);
    m_edit->show();
    connect(*m_edit, EVT_ID_LINE_EDIT_CHANGED, &GuiNumberField::on_edit_changed);
    connect(*m_edit, EVT_ID_LINE_EDIT_VALIDATE, &GuiNumberField::on_edit_validate);
    connect(*m_edit, EVT_ID_LINE_EDIT_MENU_SHOW, &GuiNumberField::on_edit_menu_show);
    connect(*m_edit, EVT_ID_LINE_EDIT_MENU_ITEM_SELECTED, &GuiNumberField::on_edit_menu_item_selected);
    update_size_and_position_components();
}

GuiNumberField::~GuiNumberField()
{
    // A field destroyed while dragging gives the pointer back.
    if (m_dragging) set_mouse_cursor(m_cursor_before_drag);
}

// --- Value ---

void GuiNumberField::set_value(double const& value, bool const& reset_expression)
{
    m_edit->set_value(value, reset_expression);
    update_slider();
}

double const& GuiNumberField::get_value() const { return m_edit->get_value(); }

double GuiNumberField::get_value_with_precision() const { return m_edit->get_value_with_precision(); }

CoreString const& GuiNumberField::get_text() const { return m_edit->get_text(); }

char const& GuiNumberField::get_expression_operator() const { return m_edit->get_expression_operator(); }

double const& GuiNumberField::get_expression_value() const { return m_edit->get_expression_value(); }

void GuiNumberField::set_label(CoreString const& label)
{
    m_label = label;
    update_size_and_position_components();
    redraw();
}

void GuiNumberField::set_offset_position_text(int const& offset)
{
    m_label_offset = offset;
    update_size_and_position_components();
    redraw();
}

// --- Range ---

void GuiNumberField::set_range(double const& min, double const& max)
{
    m_edit->set_range(min, max);
    update_slider();
}

void GuiNumberField::get_range(double& min, double& max) const { m_edit->get_range(min, max); }

void GuiNumberField::enable_range(bool const& enable)
{
    m_edit->enable_range(enable);
    update_slider();
}

bool const& GuiNumberField::is_range_enabled() const { return m_edit->is_range_enabled(); }

// --- Slider ---

void GuiNumberField::show_slider(bool const& on)
{
    if (on && !m_slider) {
        m_slider = new GuiSlider(*this, get_x(), get_y(), 1, get_height(), GuiSlider::TYPE_REAL);
        connect(*m_slider, EVT_ID_SLIDER_VALUE_CHANGING, &GuiNumberField::on_slider_changing);
        connect(*m_slider, EVT_ID_SLIDER_VALUE_CHANGED, &GuiNumberField::on_slider_changed);
    }
    if (!m_slider) return;
    if (on)
        m_slider->show();
    else
        m_slider->hide();
    update_slider();
    update_size_and_position_components();
}

bool GuiNumberField::is_slider_shown() const { return m_slider && m_slider->is_shown(); }

void GuiNumberField::set_slider_range(double const& min, double const& max)
{
    if (!(min <= max)) {
        CORE_LOG_WARNING("GuiNumberField.set_slider_range: the minimum " << min << " is not at most the maximum "
                                                                         << max << "; nothing changes\n");
        return;
    }
    m_slider_min = min;
    m_slider_max = max;
    update_slider();
}

void GuiNumberField::get_slider_range(double& min, double& max) const
{
    min = m_slider_min;
    max = m_slider_max;
}

void GuiNumberField::enable_slider_range(bool const& enable)
{
    m_slider_range_enabled = enable;
    update_slider();
}

void GuiNumberField::update_slider()
{
    if (!m_slider) return;
    double min = m_slider_min, max = m_slider_max;
    if (!m_slider_range_enabled && is_range_enabled()) get_range(min, max);
    m_slider->set_min_value(min);
    m_slider->set_max_value(max);
    m_slider->set_value(get_value());
}

void GuiNumberField::on_slider_changing(GuiSlider& slider, EventInfo const&, void*)
{
    double value = slider.get_value();
    if (m_edit->get_format() == GuiNumberEdit::FORMAT_INTEGER) value = std::round(value);
    m_edit->set_value(value, true);
    // The knob follows what the field kept (a range may have clamped it).
    slider.set_value(get_value());
    on_value_changing();
}

void GuiNumberField::on_slider_changed(GuiSlider&, EventInfo const&, void*) { on_value_changed(); }

// --- Increments ---

void GuiNumberField::set_increment(double const& increment)
{
    if (!(std::isfinite(increment) && increment > 0.0)) {
        CORE_LOG_WARNING("GuiNumberField.set_increment: " << increment << " is not a step above 0; the increment stays "
                                                          << m_increment << "\n");
        return;
    }
    m_increment = increment;
}

void GuiNumberField::push_increment(double const& increment)
{
    if (!(std::isfinite(increment) && increment > 0.0)) {
        CORE_LOG_WARNING("GuiNumberField.push_increment: " << increment << " is not a step above 0\n");
        return;
    }
    m_saved_increment = m_increment;
    m_increment_pushed = true;
    m_increment = increment;
}

void GuiNumberField::pop_increment()
{
    if (!m_increment_pushed) return;
    m_increment = m_saved_increment;
    m_increment_pushed = false;
}

double GuiNumberField::get_smart_increment(double const& value, double const& reference)
{
    double const x = std::fabs(value / (reference == 0.0 ? 1.0 : reference));
    // 0 and non-finite magnitudes have no decade to pick a step in.
    if (!(x > 0.0) || !std::isfinite(x)) return 1.0;
    double s = 1.0;
    if (x * s < 1.0)
        while (x * s < 1.0) s *= 10.0;
    else
        while (x * s > 10.0) s *= 0.1;
    double const y = x * s;
    double step;
    if (y < 1.5)
        step = 1.0;
    else if (y < 2.25)
        step = 2.0;
    else if (y < 3.75)
        step = 2.5;
    else if (y < 6.25)
        step = 5.0;
    else if (y < 8.75)
        step = 7.5;
    else
        step = 1.0;
    return std::min(step / s, 1.0);
}

double GuiNumberField::get_user_increment() const
{
    if (m_edit->get_cursor_index() < 0) return -1.0;
    char op;
    CoreString operand;
    GuiNumberEdit::split_expression(m_edit->get_text(), op, operand);
    if (op != 0) return -1.0;

    CoreString before_text, selected_text, after_text;
    m_edit->split_selection(before_text, selected_text, after_text);
    std::string const& before = before_text.std_string();
    std::string const& after = after_text.std_string();
    // The caret must lie in the number (blanks may precede it), not in its unit.
    size_t const number_start = before.find_first_not_of(" \t");
    std::string const number_before = number_start == std::string::npos ? std::string() : before.substr(number_start);
    if (!std::all_of(number_before.begin(), number_before.end(), is_numeric_character)) return -1.0;
    std::string const& selected = selected_text.std_string();
    if (!std::all_of(selected.begin(), selected.end(), is_numeric_character)) return -1.0;

    size_t prefix_length = 0;
    while (prefix_length < after.size() && is_numeric_character(after[prefix_length])) ++prefix_length;
    std::string const prefix = after.substr(0, prefix_length);
    std::string const unit = after.substr(prefix_length);
    int const sign = !prefix.empty() && prefix[0] == '-' ? 1 : 0;
    std::string const number = number_before + selected + prefix;
    if (number.find_first_of("0123456789") == std::string::npos) return -1.0;

    double increment;
    if (m_edit->get_format() == GuiNumberEdit::FORMAT_FLOAT && prefix.find('.') != std::string::npos) {
        // In the integer part: the integer digits after the caret give the power.
        size_t const point = prefix.find('.');
        increment = power_of_ten(static_cast<int>(std::count_if(prefix.begin(), prefix.begin() + point,
                                                                [](char c) { return c >= '0' && c <= '9'; })));
    } else if (m_edit->get_format() == GuiNumberEdit::FORMAT_INTEGER || number.find('.') == std::string::npos) {
        increment = power_of_ten(static_cast<int>(prefix.size()) - sign);
    } else {
        // In the fractional part: the fractional digits before the caret give the power.
        size_t const point = number_before.find('.');
        if (point == std::string::npos) return -1.0;
        increment = power_of_ten(-static_cast<int>(number_before.size() - point - 1));
    }
    // The step counts in the unit written after the number (the system unit when none is):
    // one of that unit in the base unit is its factor.
    double factor = 1.0;
    if (!m_edit->read_value(CoreString("1" + unit), factor)) return -1.0;
    return increment * factor;
}

// --- Forwarded to the edit ---

void GuiNumberField::set_float_precision(unsigned int const& precision) { m_edit->set_float_precision(precision); }

unsigned int const& GuiNumberField::get_float_precision() const { return m_edit->get_float_precision(); }

void GuiNumberField::set_format(GuiNumberEdit::Format const& format)
{
    m_edit->set_format(format);
    update_slider();
}

void GuiNumberField::set_display_format(GuiNumberEdit::Format const& format) { m_edit->set_display_format(format); }

void GuiNumberField::set_unit_type(CoreString const& type) { m_edit->set_unit_type(type); }

void GuiNumberField::set_force_unit_system(CoreString const& system) { m_edit->set_force_unit_system(system); }

void GuiNumberField::set_force_unit_base(CoreString const& base) { m_edit->set_force_unit_base(base); }

void GuiNumberField::set_force_unit_format(CoreString const& format) { m_edit->set_force_unit_format(format); }

void GuiNumberField::select_text() { m_edit->select_all(); }

void GuiNumberField::deselect_text() { m_edit->deselect_all(); }

void GuiNumberField::set_read_only(bool const& read_only)
{
    m_edit->set_read_only(read_only);
    if (m_slider) m_slider->set_enable(!read_only);
    redraw();
}

bool const& GuiNumberField::is_read_only() const { return m_edit->is_read_only(); }

void GuiNumberField::set_roundness(Roundness const& roundness)
{
    m_roundness = roundness;
    m_edit->set_style(roundness == ROUNDNESS_NONE ? GuiLineEdit::STYLE_FLAT : GuiLineEdit::STYLE_ROUND);
    redraw();
}

// --- Layout and drawing ---

int GuiNumberField::get_label_width()
{
    if (m_label.is_empty()) return 0;
    int w = 0, h = 0;
    get_text_size(m_label, w, h);
    return w + 2 * LABEL_PADDING;
}

void GuiNumberField::update_size_and_position_components()
{
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    int const left = HANDLE_WIDTH + 1 + std::max(get_label_width() + m_label_offset, 0);
    int const rest = std::max(w - left, 1);
    int edit_width = rest;
    if (is_slider_shown()) {
        // The edit keeps room for a few digits; the slider takes the rest.
        edit_width = std::min(rest, std::max(rest * 2 / 5, 40));
        int const slider_width = std::max(rest - edit_width - SLIDER_GAP, 1);
        m_slider->resize(x + left + edit_width + SLIDER_GAP, y, slider_width, h);
    }
    m_edit->resize(x + left, y, edit_width, h);
}

void GuiNumberField::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWidget::resize(x, y, w, h);
    update_size_and_position_components();
}

void GuiNumberField::get_handle_region(int& x, int& y, int& w, int& h) const
{
    x = get_x() + 1;
    y = get_y() + 1;
    w = HANDLE_WIDTH;
    h = std::max(get_height() - 2, 0);
}

void GuiNumberField::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    bool const active = is_enabled() && !is_read_only();
    GuiColorScheme::Group const group = is_enabled() ? GuiColorScheme::GROUP_NORMAL : GuiColorScheme::GROUP_DISABLED;
    auto color = [&dc](GuiColorScheme::Group const& g, GuiColorScheme::Role const& role) {
        return dc.get_color(g, role);
    };
    GMathVec3<unsigned char> const back = color(group, GuiColorScheme::ROLE_BACKGROUND);
    wdc.draw_rectf(get_x(), get_y(), get_width(), get_height(), back[0], back[1], back[2]);

    // The handle: a button face with arrows pointing both ways, lit under the pointer and
    // pressed while dragging.
    int hx, hy, hw, hh;
    get_handle_region(hx, hy, hw, hh);
    GuiColorScheme::Role face_role = GuiColorScheme::ROLE_BUTTON;
    if (active && m_dragging)
        face_role = GuiColorScheme::ROLE_BUTTON_PRESSED;
    else if (active && m_handle_hovered)
        face_role = GuiColorScheme::ROLE_BUTTON_HOVER;
    GMathVec3<unsigned char> const face = color(group, face_role);
    GMathVec3<unsigned char> const frame = color(group, GuiColorScheme::ROLE_FIELD_BORDER);
    Roundness const handle_roundness = static_cast<Roundness>(m_roundness & ROUNDNESS_LEFT);
    wdc.draw_round_framef(handle_roundness, hx, hy, hw, hh, frame[0], frame[1], frame[2], face[0], face[1], face[2]);
    GMathVec3<unsigned char> const arrow = color(active ? group : GuiColorScheme::GROUP_DISABLED,
                                                 GuiColorScheme::ROLE_BUTTON_TEXT);
    int const cx = hx + hw / 2, cy = hy + hh / 2;
    wdc.draw_trianglef(cx - 6, cy, cx - 2, cy - 4, cx - 2, cy + 4, arrow[0], arrow[1], arrow[2]);
    wdc.draw_trianglef(cx + 6, cy, cx + 2, cy - 4, cx + 2, cy + 4, arrow[0], arrow[1], arrow[2]);

    if (!m_label.is_empty()) {
        GMathVec3<unsigned char> const text = color(group, GuiColorScheme::ROLE_TEXT);
        int const lx = get_x() + HANDLE_WIDTH + 1 + LABEL_PADDING + m_label_offset;
        wdc.draw_text(m_label, lx, get_y(), std::max(get_label_width() - 2 * LABEL_PADDING, 0), get_height(), text[0],
                      text[1], text[2], JUSTIFY_LEFT);
    }
}

// --- Events ---

void GuiNumberField::on_value_changing() { raise_event(EVT_ID_NUMBER_FIELD_VALUE_CHANGING); }

void GuiNumberField::on_value_changed() { raise_event(EVT_ID_NUMBER_FIELD_VALUE_CHANGED); }

void GuiNumberField::on_edit_changed(GuiLineEdit&, EventInfo const&, void*)
{
    update_slider();
    on_value_changed();
}

void GuiNumberField::on_edit_validate(GuiLineEdit&, EventInfo const&, void*)
{
    raise_event(EVT_ID_NUMBER_FIELD_VALUE_VALIDATE);
}

void GuiNumberField::on_edit_menu_show(GuiLineEdit&, EventInfo const& info, void*)
{
    EventInfo forwarded(EVT_ID_NUMBER_FIELD_MENU_SHOW, info.get_event_data());
    raise_event(forwarded);
}

void GuiNumberField::on_edit_menu_item_selected(GuiLineEdit&, EventInfo const& info, void*)
{
    EventInfo forwarded(EVT_ID_NUMBER_FIELD_MENU_ITEM_SELECTED, info.get_event_data());
    raise_event(forwarded);
}

void GuiNumberField::get_event_screen_position(int& x, int& y) const
{
    // The event relative to the field, plus the field's place in its window and the window's
    // on the screen.
    Gui::get_relative_mouse_coords(*this, x, y);
    x += get_x();
    y += get_y();
    if (GuiWidget* window = get_window()) {
        x += window->get_x();
        y += window->get_y();
    }
}

int GuiNumberField::process_event(CoreString const& name)
{
    if (is_read_only() || !is_enabled()) return GuiWidget::process_event(name);

    if (name == EVT_ID_MOUSE_MOVE || name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_LEAVE ||
        name == EVT_ID_MOUSE_DOWN) {
        int px, py;
        Gui::get_relative_mouse_coords(*this, px, py);
        int hx, hy, hw, hh;
        get_handle_region(hx, hy, hw, hh);
        bool const over = name != EVT_ID_MOUSE_LEAVE &&
                          Gui::is_point_in_region(px + get_x(), py + get_y(), hx, hy, hw - 1, hh - 1);
        if (over != m_handle_hovered && !m_dragging) {
            m_handle_hovered = over;
            redraw();
        }
        if (name == EVT_ID_MOUSE_DOWN && m_handle_hovered && !m_dragging &&
            Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_LEFT)
            return on_drag_start() ? 1 : 0;
    } else if (name == EVT_ID_MOUSE_DRAG && m_dragging) {
        on_drag_move();
    } else if (name == EVT_ID_MOUSE_UP && m_dragging) {
        on_drag_end();
    } else if (name == EVT_ID_KEY_DOWN && m_dragging && Gui::get_last_key_pressed() == Gui::KEY_ID_ESCAPE) {
        on_drag_cancel();
        return 1;
    }
    return GuiWidget::process_event(name);
}

bool GuiNumberField::on_drag_start()
{
    double const from_caret = get_user_increment();
    if (from_caret > 0.0) push_increment(from_caret);
    get_event_screen_position(s_drag.start_x, s_drag.start_y);
    s_drag.start_value = get_value();
    s_drag.last_value = get_value();
    m_dragging = true;
    if (Gui::get_device_type() == Gui::DEVICE_MOUSE) {
        m_cursor_before_drag = get_mouse_cursor();
        set_mouse_cursor(Gui::MOUSE_CURSOR_NONE);
    }
    // The field takes the keys (Escape) while dragging, and is no stop of Tab otherwise.
    set_focus_receiver(true);
    set_focus();
    redraw();
    return true;
}

void GuiNumberField::on_drag_move()
{
    int x, y;
    get_event_screen_position(x, y);
    int const d = (x - s_drag.start_x) + (s_drag.start_y - y);
    if (d == 0) return;
    if (Gui::get_device_type() == Gui::DEVICE_MOUSE) {
        Gui::set_mouse_screen_position(s_drag.start_x, s_drag.start_y);
    } else {
        s_drag.start_x = x;
        s_drag.start_y = y;
    }
    double increment = m_increment;
    if (Gui::is_modifier_shift()) increment *= FAST_DRAG_FACTOR;
    if (Gui::is_modifier_ctrl()) increment *= SLOW_DRAG_FACTOR;
    double steps = (d * increment + get_value()) / increment;
    // Binary fractions make 0.7 / 0.1 come out as 6.999...: a quotient that is a whole
    // number but for rounding noise counts as that number.
    double const nearest = std::round(steps);
    if (std::fabs(steps - nearest) <= 1e-9 * std::max(1.0, std::fabs(nearest))) steps = nearest;
    set_value_from_drag(std::trunc(steps) * increment);
}

void GuiNumberField::set_value_from_drag(double const& value)
{
    set_value(value, true);
    if (get_value() == s_drag.last_value) return;
    s_drag.last_value = get_value();
    on_value_changing();
}

void GuiNumberField::finish_drag()
{
    m_dragging = false;
    set_focus_receiver(false);
    if (Gui::get_device_type() == Gui::DEVICE_MOUSE) {
        Gui::set_mouse_screen_position(s_drag.start_x, s_drag.start_y);
        set_mouse_cursor(m_cursor_before_drag);
    }
    redraw();
}

void GuiNumberField::on_drag_end()
{
    finish_drag();
    if (get_value() != s_drag.start_value) on_value_changed();
    pop_increment();
}

void GuiNumberField::on_drag_cancel()
{
    set_value_from_drag(s_drag.start_value);
    finish_drag();
    pop_increment();
}
