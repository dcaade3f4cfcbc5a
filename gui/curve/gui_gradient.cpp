#include "gui/curve/gui_gradient.h"

#include <algorithm>
#include <cmath>

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_ADDED);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_REMOVED);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_POSITION_CHANGING);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_POSITION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_VALUE_CHANGING);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_VALUE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_KEY_TYPE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_GRADIENT_EXTRAPOLATION_CHANGED);

CORE_IMPLEMENT_CLASS(GuiGradientHorizontalColorField, GuiHorizontalColorField)
CORE_IMPLEMENT_CLASS(GuiGradient, GuiChannelCurves)

namespace {

constexpr int ROW_HEIGHT = 20;
constexpr int ROW_STEP = 24;
// Under this width the fitting buttons take a row of their own.
constexpr int NARROW_WIDTH = 560;
constexpr int GAP = 4;
// The colour row and the remove row under the ramp.
constexpr int HANDLE_ROW = 14;
constexpr int REMOVE_ROW = 12;
constexpr int REMOVE_HALF = 3;
constexpr int CAPTION_WIDTH = 34;
constexpr int CHECKER = 6;

using Rgb = GMathVec3<unsigned char>;

bool has_alpha(Gui::ColorDepth const& depth)
{
    return depth == Gui::COLOR_DEPTH_RGBA || depth == Gui::COLOR_DEPTH_LA || depth == Gui::COLOR_DEPTH_A;
}

// The channel holding alpha, or -1.
int alpha_channel(Gui::ColorDepth const& depth)
{
    switch (depth) {
    case Gui::COLOR_DEPTH_RGBA:
        return 3;
    case Gui::COLOR_DEPTH_LA:
        return 1;
    case Gui::COLOR_DEPTH_A:
        return 0;
    default:
        return -1;
    }
}

unsigned char to_byte(double const& value)
{
    return static_cast<unsigned char>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

}  // namespace

// --- The key's colour field ---

GuiGradientHorizontalColorField::GuiGradientHorizontalColorField(GuiWidget& parent, int const& x, int const& y,
                                                                 int const& w, int const& h, CoreString const& label,
                                                                 Gui::ColorDepth const& depth)
    : GuiHorizontalColorField(parent, x, y, w, h, label), m_depth(depth)
{
    set_color_depth(depth);
}

void GuiGradientHorizontalColorField::set_color_depth(Gui::ColorDepth const& depth)
{
    m_depth = depth;
    // An alpha-only gradient shows its alpha as grey: the field's alpha is for RGBA and LA.
    set_use_alpha(depth == Gui::COLOR_DEPTH_RGBA || depth == Gui::COLOR_DEPTH_LA);
    // A grey channel is edited through the first component alone.
    bool const rgb = depth == Gui::COLOR_DEPTH_RGB || depth == Gui::COLOR_DEPTH_RGBA;
    get_component_field(0).set_tooltip(rgb ? "Red" : depth == Gui::COLOR_DEPTH_A ? "Alpha" : "Luminance");
    for (int i = 1; i < 3; ++i) {
        if (rgb)
            get_component_field(i).show();
        else
            get_component_field(i).hide();
    }
}

void GuiGradientHorizontalColorField::set_components(double const* values)
{
    switch (m_depth) {
    case Gui::COLOR_DEPTH_RGB:
    case Gui::COLOR_DEPTH_RGBA:
        set_color(GMathVec3<double>(values[0], values[1], values[2]));
        if (m_depth == Gui::COLOR_DEPTH_RGBA) set_alpha(values[3]);
        break;
    default:
        set_color(GMathVec3<double>(values[0], values[0], values[0]));
        if (m_depth == Gui::COLOR_DEPTH_LA) set_alpha(values[1]);
        break;
    }
}

double GuiGradientHorizontalColorField::get_component(unsigned int const& channel) const
{
    GMathVec3<double> const& rgb = get_color();
    bool const rgb_depth = m_depth == Gui::COLOR_DEPTH_RGB || m_depth == Gui::COLOR_DEPTH_RGBA;
    if (rgb_depth && channel < 3) return rgb[channel];
    if (m_depth == Gui::COLOR_DEPTH_RGBA || (m_depth == Gui::COLOR_DEPTH_LA && channel == 1)) return get_alpha();
    return rgb[0];
}

// --- The gradient ---

GuiGradient::GuiGradient(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                         Gui::ColorDepth const& depth)
    : GuiChannelCurves(parent, x, y, w, h, depth)
{
    int const alpha = alpha_channel(get_color_depth());
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        FCurve& curve = get_curves()[channel];
        bool const is_alpha = static_cast<int>(channel) == alpha && get_channel_count() > 1;
        curve.add_key(0.0, is_alpha ? 1.0 : 0.0, FCurveKey::TYPE_LINEAR);
        curve.add_key(1.0, 1.0, FCurveKey::TYPE_LINEAR);
    }
    m_value_field = new GuiGradientHorizontalColorField(*this, x, y, 200, ROW_HEIGHT, "Key Value", get_color_depth());
    m_position_field = new GuiNumberField(*this, x, y, 150, ROW_HEIGHT, "Key Parameter");
    m_min_field = new GuiNumberField(*this, x, y, 150, ROW_HEIGHT, "Displayed min");
    m_max_field = new GuiNumberField(*this, x, y, 150, ROW_HEIGHT, "Displayed max");
    for (GuiNumberField* field : {m_position_field, m_min_field, m_max_field}) {
        field->set_float_precision(3);
        field->set_increment(0.01);
    }
    m_min_field->set_value(m_min);
    m_max_field->set_value(m_max);
    m_fit_all = new GuiPushButton(*this, x, y, 80, ROW_HEIGHT, "Fit All Keys");
    m_fit_selection = new GuiPushButton(*this, x, y, 100, ROW_HEIGHT, "Fit on Selection");
    connect(*m_value_field, EVT_ID_COLOR_FIELD_VALUE_CHANGING, &GuiGradient::on_value_field);
    connect(*m_value_field, EVT_ID_COLOR_FIELD_VALUE_CHANGED, &GuiGradient::on_value_field);
    connect(*m_position_field, EVT_ID_NUMBER_FIELD_VALUE_CHANGING, &GuiGradient::on_position_field);
    connect(*m_position_field, EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &GuiGradient::on_position_field);
    connect(*m_min_field, EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &GuiGradient::on_range_field);
    connect(*m_max_field, EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &GuiGradient::on_range_field);
    connect(*m_fit_all, EVT_ID_PUSH_BUTTON_CLICK, &GuiGradient::on_fit_button, m_fit_all);
    connect(*m_fit_selection, EVT_ID_PUSH_BUTTON_CLICK, &GuiGradient::on_fit_button, m_fit_selection);
    set_focus_receiver(true);
    rebuild_key_states();
    if (!m_states.is_empty()) m_states[0].flags |= KEY_FLAG_SELECTED;
    layout_controls();
    fill_ui_values();
}

GuiGradient::~GuiGradient()
{
    disconnect_all();
}

// --- Layout ---

int GuiGradient::get_pos_gradient_left() const
{
    return get_x() + 8;
}

int GuiGradient::get_pos_gradient_right() const
{
    return get_x() + get_width() - 9;
}

int GuiGradient::get_pos_gradient_up() const
{
    return get_y() + 4;
}

int GuiGradient::get_pos_gradient_down() const
{
    int const room = get_height() - 4 - HANDLE_ROW - REMOVE_ROW - get_control_rows() * ROW_STEP - 4;
    return get_pos_gradient_up() + std::max(8, room);
}

int GuiGradient::get_pos_y_color() const
{
    return get_pos_gradient_down() + HANDLE_ROW / 2 + 1;
}

int GuiGradient::get_pos_y_remove() const
{
    return get_pos_gradient_down() + HANDLE_ROW + REMOVE_ROW / 2 + 1;
}

void GuiGradient::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiChannelCurves::resize(x, y, w, h);
    layout_controls();
}

int GuiGradient::get_control_rows() const
{
    return get_width() < NARROW_WIDTH ? 4 : 3;
}

void GuiGradient::layout_controls()
{
    int const x = get_x() + 4, w = get_width() - 8;
    int row_y = get_y() + get_height() - get_control_rows() * ROW_STEP;
    // Row 1: the key's colour and position.
    int const value_w = std::max(200, w * 3 / 5);
    m_value_field->resize(x, row_y, value_w, ROW_HEIGHT);
    m_position_field->resize(x + value_w + GAP, row_y, std::max(60, w - value_w - GAP), ROW_HEIGHT);
    // Row 2: the key's type and the behaviours, each after its caption.
    row_y += ROW_STEP;
    int const list_w = std::max(60, (w - 3 * CAPTION_WIDTH - 2 * GAP) / 3);
    int cx = x;
    for (GuiListButton* list : {&get_key_type_button(), &get_pre_behavior_button(), &get_post_behavior_button()}) {
        list->resize(cx + CAPTION_WIDTH, row_y, list_w, ROW_HEIGHT);
        cx += CAPTION_WIDTH + list_w + GAP;
    }
    // Row 3: the displayed range, and the fitting buttons after it or on a row of their own.
    row_y += ROW_STEP;
    bool const narrow = get_control_rows() > 3;
    int const buttons_w = 80 + GAP + 100;
    int const field_w = std::max(60, (w - (narrow ? 0 : buttons_w + GAP) - GAP) / 2);
    m_min_field->resize(x, row_y, field_w, ROW_HEIGHT);
    m_max_field->resize(x + field_w + GAP, row_y, field_w, ROW_HEIGHT);
    if (narrow) row_y += ROW_STEP;
    m_fit_all->resize(x + w - buttons_w, row_y, 80, ROW_HEIGHT);
    m_fit_selection->resize(x + w - 100, row_y, 100, ROW_HEIGHT);
}

// --- Curves ---

bool GuiGradient::check_shared_keys(CoreArray<FCurve const*> const& curves)
{
    FCurve const empty;
    FCurve const& first = curves.get_count() > 0 && curves[0] ? *curves[0] : empty;
    for (unsigned int channel = 1; channel < curves.get_count(); ++channel) {
        FCurve const& curve = curves[channel] ? *curves[channel] : empty;
        if (curve.get_key_count() != first.get_key_count()) return false;
        for (unsigned int i = 0; i < curve.get_key_count(); ++i) {
            FCurveKey const& a = first.get_keys()[i];
            FCurveKey const& b = curve.get_keys()[i];
            if (a.id != b.id || a.time != b.time) return false;
        }
    }
    return true;
}

bool GuiGradient::set_curves(CoreArray<FCurve const*> const& curves)
{
    return set_curves(curves, get_color_depth());
}

bool GuiGradient::set_curves(CoreArray<FCurve const*> const& curves, Gui::ColorDepth const& depth)
{
    if (!check_shared_keys(curves)) {
        CORE_LOG_WARNING("GuiGradient.set_curves: the curves do not share their key ids and times; the "
                         "gradient stays\n");
        return false;
    }
    if (!copy_curves(curves, depth, "GuiGradient.set_curves")) return false;
    m_value_field->set_color_depth(depth);
    m_states.clear();
    rebuild_key_states();
    if (!m_states.is_empty()) m_states[0].flags |= KEY_FLAG_SELECTED;
    m_dragging = false;
    fill_ui_values();
    redraw();
    return true;
}

void GuiGradient::rebuild_key_states()
{
    CoreVector<KeyState> const previous = m_states;
    m_states.clear();
    for (FCurveKey const& key : get_curve(0).get_keys()) {
        KeyState state;
        state.id = key.id;
        for (KeyState const& old : previous)
            if (old.id == key.id) state.flags = old.flags;
        m_states.add(state);
    }
}

FCurveKeyId GuiGradient::add_key(double const& position, FCurveKey::Type const& type, double const& c0,
                                 double const& c1, double const& c2, double const& c3)
{
    double const components[4] = {c0, c1, c2, c3};
    if (!check_finite("GuiGradient.add_key", {position, c0, c1, c2, c3})) return FCurveKeyId();
    if (!FCurveKey::is_valid_type(type)) {
        CORE_LOG_WARNING("GuiGradient.add_key: unknown key type " << static_cast<int>(type) << "; no key added\n");
        return FCurveKeyId();
    }
    FCurveKeyId id;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        FCurveKeyId const added = get_curves()[channel].add_key(position, components[channel], type);
        // Curves built by the same additions give the same ids.
        if (channel == 0) id = added;
    }
    rebuild_key_states();
    fill_ui_values();
    redraw();
    return id;
}

void GuiGradient::remove_key(FCurveKeyId const& id)
{
    if (get_curve(0).get_key_index(id) < 0) return;
    for (FCurve& curve : get_curves()) curve.remove_key(id);
    rebuild_key_states();
    fill_ui_values();
    redraw();
}

bool GuiGradient::set_keys_position(FCurveKeyId const& id, double const& position)
{
    if (!check_finite("GuiGradient.set_keys_position", {position})) return false;
    // The channels share their times: the first one tells where the other keys are.
    double const time = separate_time(get_curve(0), id, position);
    for (FCurve& curve : get_curves())
        if (!curve.set_key_time(id, time)) return false;
    rebuild_key_states();
    fill_ui_values();
    redraw();
    return true;
}

bool GuiGradient::set_key_value(FCurveKeyId const& id, double const& value, unsigned int const& channel)
{
    if (!check_channel(channel, "GuiGradient.set_key_value") ||
        !check_finite("GuiGradient.set_key_value", {value}))
        return false;
    if (!get_curves()[channel].set_key_value(id, value)) return false;
    fill_ui_values();
    redraw();
    return true;
}

bool GuiGradient::set_keys_type(FCurveKeyId const& id, FCurveKey::Type const& type)
{
    for (FCurve& curve : get_curves())
        if (!curve.set_key_type(id, type)) return false;
    fill_ui_values();
    redraw();
    return true;
}

bool GuiGradient::get_key(FCurveKeyId const& id, unsigned int const& channel, FCurveKey& key) const
{
    if (channel >= get_channel_count()) return false;
    FCurve const& curve = get_curve(channel);
    int const index = curve.get_key_index(id);
    if (index < 0) return false;
    key = curve.get_keys()[static_cast<unsigned int>(index)];
    return true;
}

unsigned int GuiGradient::get_key_count() const
{
    return get_curve(0).get_key_count();
}

FCurveKeyId GuiGradient::get_key_id_by_index(unsigned int const& index) const
{
    return get_curve(0).get_key_id(index);
}

int GuiGradient::get_key_index_by_id(FCurveKeyId const& id) const
{
    return get_curve(0).get_key_index(id);
}

double GuiGradient::get_keys_position(FCurveKeyId const& id) const
{
    return get_curve(0).get_key_time(id);
}

FCurveKey::Type GuiGradient::get_keys_type(FCurveKeyId const& id) const
{
    return get_curve(0).get_key_type(id);
}

GMathVec4<double> GuiGradient::eval(double const& position) const
{
    GMathVec4<double> values(0.0, 0.0, 0.0, 0.0);
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel)
        values[channel] = get_curve(channel).eval(position);
    return values;
}

// --- Selection ---

bool GuiGradient::is_key_selected(FCurveKeyId const& id) const
{
    for (KeyState const& state : m_states)
        if (state.id == id) return (state.flags & KEY_FLAG_SELECTED) != 0;
    return false;
}

void GuiGradient::select_key(FCurveKeyId const& id, bool const& selected)
{
    for (KeyState& state : m_states) {
        if (state.id != id) continue;
        state.flags = selected ? state.flags | KEY_FLAG_SELECTED : state.flags & ~KEY_FLAG_SELECTED;
    }
    fill_ui_values();
    redraw();
}

void GuiGradient::clear_selection()
{
    for (KeyState& state : m_states) state.flags &= ~KEY_FLAG_SELECTED;
    fill_ui_values();
    redraw();
}

CoreVector<FCurveKeyId> GuiGradient::get_selected_keys() const
{
    CoreVector<FCurveKeyId> ids;
    for (KeyState const& state : m_states)
        if (state.flags & KEY_FLAG_SELECTED) ids.add(state.id);
    return ids;
}

void GuiGradient::remove_selected_keys()
{
    remove_keys(get_selected_keys());
}

void GuiGradient::remove_keys(CoreVector<FCurveKeyId> const& ids)
{
    m_removed.clear();
    int first_index = -1;
    for (FCurveKeyId const& id : ids) {
        if (get_key_count() <= 1) break;
        int const index = get_key_index_by_id(id);
        if (index < 0) continue;
        first_index = first_index < 0 ? index : std::min(first_index, index);
        remove_key(id);
        m_removed.add(id);
    }
    if (m_removed.is_empty()) return;
    // The keys before the first removed one stay where they were.
    for (KeyState& state : m_states) state.flags &= ~KEY_FLAG_SELECTED;
    unsigned int const keep = static_cast<unsigned int>(std::max(0, first_index - 1));
    if (keep < m_states.get_count()) m_states[keep].flags |= KEY_FLAG_SELECTED;
    fill_ui_values();
    redraw();
    selection_changed();
    raise_event(EVT_ID_GRADIENT_KEY_REMOVED);
}

// --- View ---

void GuiGradient::fit_zoom(bool const& all)
{
    double low = INFINITY, high = -INFINITY;
    for (KeyState const& state : m_states) {
        if (!all && !(state.flags & KEY_FLAG_SELECTED)) continue;
        double const position = get_keys_position(state.id);
        low = std::min(low, position);
        high = std::max(high, position);
    }
    if (low > high) return;
    if (high - low < 1e-9) {
        low -= 0.5;
        high += 0.5;
    }
    double const room = (high - low) * 0.05;
    set_visible_bbox(low - room, high + room);
}

void GuiGradient::fit_selection_zoom()
{
    fit_zoom(false);
}

void GuiGradient::set_visible_bbox(double const& min, double const& max)
{
    if (!std::isfinite(min) || !std::isfinite(max) || !(min < max)) {
        CORE_LOG_WARNING("GuiGradient.set_visible_bbox: the range " << min << " to " << max
                                                                    << " is refused: it must be finite with min "
                                                                       "below max\n");
        m_min_field->set_value(m_min);
        m_max_field->set_value(m_max);
        return;
    }
    m_min = min;
    m_max = max;
    m_min_field->set_value(min);
    m_max_field->set_value(max);
    redraw();
}

int GuiGradient::position_to_pixel(double const& position) const
{
    return value_to_pixel(position, m_min, m_max, get_pos_gradient_left(), get_pos_gradient_right(), INNER_MARGIN);
}

double GuiGradient::pixel_to_position(double const& x) const
{
    return pixel_to_value(x, m_min, m_max, get_pos_gradient_left(), get_pos_gradient_right(), INNER_MARGIN);
}

void GuiGradient::set_color_dialog_title(CoreString const& title)
{
    m_value_field->set_dialog_title(title);
}

// --- Controls ---

void GuiGradient::fill_ui_values()
{
    CoreVector<FCurveKeyId> const selected = get_selected_keys();
    CoreVector<FCurveKey::Type> types;
    for (FCurveKeyId const& id : selected) types.add(get_keys_type(id));
    fill_key_type_value(types);
    fill_extrapolation_values();
    m_value_field->set_enable(!selected.is_empty());
    m_position_field->set_enable(!selected.is_empty());
    if (selected.is_empty() || m_field_editing) return;
    double values[4] = {0.0, 0.0, 0.0, 0.0};
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel)
        values[channel] = get_curve(channel).get_key_value(selected[0]);
    if (!m_value_field->get_dialog()) m_value_field->set_components(values);
    if (!m_position_field->is_dragging()) m_position_field->set_value(get_keys_position(selected[0]));
}

void GuiGradient::on_key_type_chosen(FCurveKey::Type const& type)
{
    m_type_changed = get_selected_keys();
    if (m_type_changed.is_empty()) return;
    for (FCurveKeyId const& id : m_type_changed) set_keys_type(id, type);
    raise_event(EVT_ID_GRADIENT_KEY_TYPE_CHANGED);
}

void GuiGradient::on_value_field(EventObject&, EventInfo const& info, void*)
{
    bool const ended = info.get_name() == EVT_ID_COLOR_FIELD_VALUE_CHANGED;
    m_value_changed = get_selected_keys();
    if (m_value_changed.is_empty()) return;
    for (FCurveKeyId const& id : m_value_changed)
        for (unsigned int channel = 0; channel < get_channel_count(); ++channel)
            get_curves()[channel].set_key_value(id, m_value_field->get_component(channel));
    redraw();
    raise_event(ended ? EVT_ID_GRADIENT_KEY_VALUE_CHANGED : EVT_ID_GRADIENT_KEY_VALUE_CHANGING);
}

void GuiGradient::save_positions()
{
    m_saved_positions.clear();
    for (FCurveKeyId const& id : get_selected_keys()) m_saved_positions.emplace_back(id, get_keys_position(id));
}

void GuiGradient::on_position_field(EventObject&, EventInfo const& info, void*)
{
    bool const ended = info.get_name() == EVT_ID_NUMBER_FIELD_VALUE_CHANGED;
    if (!m_field_editing) save_positions();
    if (m_saved_positions.empty()) return;
    // The first selected key takes the entry; the others move by the same offset.
    double const offset = m_position_field->get_value() - m_saved_positions.front().second;
    m_field_editing = true;
    CoreVector<FCurveKeyId>& changed = ended ? m_position_changed : m_position_changing;
    changed.clear();
    for (auto const& [id, position] : m_saved_positions) {
        set_keys_position(id, position + offset);
        changed.add(id);
    }
    m_field_editing = !ended;
    if (ended) fill_ui_values();
    raise_event(ended ? EVT_ID_GRADIENT_KEY_POSITION_CHANGED : EVT_ID_GRADIENT_KEY_POSITION_CHANGING);
}

void GuiGradient::on_range_field(EventObject&, EventInfo const&, void*)
{
    set_visible_bbox(m_min_field->get_value(), m_max_field->get_value());
}

void GuiGradient::on_fit_button(EventObject&, EventInfo const&, void* data)
{
    fit_zoom(data == m_fit_all);
}

// --- Mouse ---

FCurveKeyId GuiGradient::compute_selection(int const& x, int const& y, CoreString const&)
{
    if (y < get_pos_gradient_up() || y > get_pos_gradient_down() + HANDLE_ROW) return FCurveKeyId();
    // The nearest handle within reach; the later key wins a tie (it is drawn on top).
    FCurveKeyId found;
    int best = HANDLE_HALF + 1;
    for (KeyState const& state : m_states) {
        int const distance = std::abs(x - position_to_pixel(get_keys_position(state.id)));
        if (distance > best) continue;
        best = distance;
        found = state.id;
    }
    return found;
}

FCurveKeyId GuiGradient::find_remove_handle(int const& x, int const& y) const
{
    if (std::abs(y - get_pos_y_remove()) > REMOVE_HALF + 1) return FCurveKeyId();
    for (KeyState const& state : m_states)
        if (std::abs(x - position_to_pixel(get_keys_position(state.id))) <= REMOVE_HALF + 1) return state.id;
    return FCurveKeyId();
}

bool GuiGradient::on_mouse_down(int const& x, int const& y)
{
    if (Gui::get_event_mouse_button() != Gui::MOUSE_BUTTON_ID_LEFT) return false;
    set_focus();
    m_press_x = x;
    m_moved = false;
    if (FCurveKeyId const id = find_remove_handle(x, y); id.is_valid()) {
        remove_keys(CoreVector<FCurveKeyId>({id}));
        return true;
    }
    FCurveKeyId id = compute_selection(x, y, EVT_ID_MOUSE_DOWN);
    bool const on_ramp = y >= get_pos_gradient_up() && y <= get_pos_gradient_down();
    if (!id.is_valid() && on_ramp && x >= get_pos_gradient_left() && x <= get_pos_gradient_right()) {
        double const position = pixel_to_position(x);
        GMathVec4<double> const values = eval(position);
        id = add_key(position, get_default_key_type(), values[0], values[1], values[2], values[3]);
        if (!id.is_valid()) return true;
        for (KeyState& state : m_states) state.flags &= ~KEY_FLAG_SELECTED;
        select_key(id, true);
        m_added = CoreVector<FCurveKeyId>({id});
        raise_event(EVT_ID_GRADIENT_KEY_ADDED);
    } else if (id.is_valid()) {
        bool const selected = is_key_selected(id);
        if (Gui::is_modifier_shift()) {
            select_key(id, !selected);
        } else if (!selected) {
            for (KeyState& state : m_states) state.flags &= ~KEY_FLAG_SELECTED;
            select_key(id, true);
        }
    } else {
        return false;
    }
    selection_changed();
    save_positions();
    m_dragging = !m_saved_positions.empty();
    return true;
}

void GuiGradient::move_selected_keys(int const& mouse_x, bool const& ended)
{
    double const offset = pixel_to_position(mouse_x) - pixel_to_position(m_press_x);
    CoreVector<FCurveKeyId>& changed = ended ? m_position_changed : m_position_changing;
    changed.clear();
    for (auto const& [id, position] : m_saved_positions) {
        if (!ended) set_keys_position(id, position + offset);
        changed.add(id);
    }
    raise_event(ended ? EVT_ID_GRADIENT_KEY_POSITION_CHANGED : EVT_ID_GRADIENT_KEY_POSITION_CHANGING);
}

int GuiGradient::process_event(CoreString const& name)
{
    int const x = Gui::get_relative_mouse_x(*this) + get_x();
    int const y = Gui::get_relative_mouse_y(*this) + get_y();
    if (name == EVT_ID_MOUSE_DOWN) {
        if (on_mouse_down(x, y)) return 1;
    } else if (name == EVT_ID_MOUSE_DRAG || name == EVT_ID_MOUSE_DRAG_REAL_TIME) {
        if (m_dragging) {
            if (x != m_press_x || m_moved) {
                m_moved = true;
                move_selected_keys(x, false);
            }
            return 1;
        }
    } else if (name == EVT_ID_MOUSE_UP) {
        if (m_dragging) {
            m_dragging = false;
            if (m_moved) move_selected_keys(x, true);
            return 1;
        }
    } else if (name == EVT_ID_MOUSE_MOVE) {
        FCurveKeyId const over = find_remove_handle(x, y);
        bool changed = false;
        for (KeyState& state : m_states) {
            unsigned int const flags = state.id == over ? state.flags | KEY_FLAG_MOUSE_OVER_REMOVE
                                                        : state.flags & ~KEY_FLAG_MOUSE_OVER_REMOVE;
            changed = changed || flags != state.flags;
            state.flags = flags;
        }
        if (changed) redraw();
    } else if (name == EVT_ID_KEY_DOWN) {
        int const key = Gui::get_last_key_pressed();
        if (key == Gui::KEY_ID_DELETE || key == Gui::KEY_ID_BACKSPACE) {
            remove_selected_keys();
            return 1;
        }
    }
    return GuiChannelCurves::process_event(name);
}

// --- Drawing ---

GMathVec4<double> GuiGradient::to_display(GMathVec4<double> const& values) const
{
    switch (get_color_depth()) {
    case Gui::COLOR_DEPTH_RGB:
        return GMathVec4<double>(values[0], values[1], values[2], 1.0);
    case Gui::COLOR_DEPTH_RGBA:
        return values;
    case Gui::COLOR_DEPTH_LA:
        return GMathVec4<double>(values[0], values[0], values[0], values[1]);
    case Gui::COLOR_DEPTH_A:
        return GMathVec4<double>(1.0, 1.0, 1.0, values[0]);
    default:
        return GMathVec4<double>(values[0], values[0], values[0], 1.0);
    }
}

void GuiGradient::draw(GuiDc& dc)
{
    GuiChannelCurves::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const left = get_pos_gradient_left(), right = get_pos_gradient_right();
    int const top = get_pos_gradient_up(), bottom = get_pos_gradient_down();
    if (right - left < 4 || bottom - top < 2) return;
    auto color = [&dc](GuiColorScheme::Role const& role) { return dc.get_color(GuiColorScheme::GROUP_NORMAL, role); };
    Rgb const frame = color(GuiColorScheme::ROLE_OUTLINE);
    Rgb const accent = color(GuiColorScheme::ROLE_ACCENT);
    Rgb const text = color(GuiColorScheme::ROLE_TEXT_DIM);
    bool const alpha = has_alpha(get_color_depth());

    // The ramp: one column per pixel, blended over a checker where the gradient has alpha.
    for (int px = left; px <= right; ++px) {
        GMathVec4<double> const shown = to_display(eval(pixel_to_position(px)));
        double const a = std::clamp(shown[3], 0.0, 1.0);
        if (!alpha) {
            wdc.draw_line(px, top, px, bottom, to_byte(shown[0]), to_byte(shown[1]), to_byte(shown[2]));
            continue;
        }
        for (int py = top; py <= bottom; py += CHECKER) {
            double const back = (((px - left) / CHECKER + (py - top) / CHECKER) % 2) ? 0.75 : 0.45;
            auto mix = [&](double const& c) { return to_byte(std::clamp(c, 0.0, 1.0) * a + back * (1.0 - a)); };
            wdc.draw_line(px, py, px, std::min(bottom, py + CHECKER - 1), mix(shown[0]), mix(shown[1]),
                          mix(shown[2]));
        }
    }
    wdc.draw_rect(left - 1, top - 1, right - left + 3, bottom - top + 3, frame[0], frame[1], frame[2]);

    // Key handles: a tick into the ramp, a swatch of the key's colour and a cross to remove it.
    int const color_y = get_pos_y_color(), remove_y = get_pos_y_remove();
    Rgb const cross = text;
    Rgb const cross_hover = color(GuiColorScheme::ROLE_RED);
    for (KeyState const& state : m_states) {
        int const kx = position_to_pixel(get_keys_position(state.id));
        if (kx < left - HANDLE_HALF || kx > right + HANDLE_HALF) continue;
        bool const selected = (state.flags & KEY_FLAG_SELECTED) != 0;
        GMathVec4<double> values(0.0, 0.0, 0.0, 0.0);
        for (unsigned int channel = 0; channel < get_channel_count(); ++channel)
            values[channel] = get_curve(channel).get_key_value(state.id);
        GMathVec4<double> const shown = to_display(values);
        Rgb const& outline = selected ? accent : frame;
        wdc.draw_line(kx, bottom - 4, kx, bottom + 2, outline[0], outline[1], outline[2]);
        wdc.draw_trianglef(kx - 4, color_y - 3, kx + 4, color_y - 3, kx, color_y - 7, outline[0], outline[1],
                           outline[2]);
        int const size = 2 * HANDLE_HALF - 1;
        wdc.draw_rectf(kx - HANDLE_HALF + 1, color_y - 3, size, size - 2, to_byte(shown[0]), to_byte(shown[1]),
                       to_byte(shown[2]));
        wdc.draw_rect(kx - HANDLE_HALF, color_y - 4, size + 2, size, outline[0], outline[1], outline[2]);
        if (selected)
            wdc.draw_rect(kx - HANDLE_HALF - 1, color_y - 5, size + 4, size + 2, accent[0], accent[1], accent[2]);
        Rgb const& c = (state.flags & KEY_FLAG_MOUSE_OVER_REMOVE) ? cross_hover : cross;
        wdc.draw_line(kx - REMOVE_HALF, remove_y - REMOVE_HALF, kx + REMOVE_HALF, remove_y + REMOVE_HALF, c[0], c[1],
                      c[2]);
        wdc.draw_line(kx - REMOVE_HALF, remove_y + REMOVE_HALF, kx + REMOVE_HALF, remove_y - REMOVE_HALF, c[0], c[1],
                      c[2]);
    }

    // Captions of the list buttons.
    int const row_y = get_key_type_button().get_y();
    static char const* const captions[3] = {"Type", "Pre", "Post"};
    GuiListButton* lists[3] = {&get_key_type_button(), &get_pre_behavior_button(), &get_post_behavior_button()};
    Rgb const label = color(GuiColorScheme::ROLE_TEXT);
    for (int i = 0; i < 3; ++i)
        wdc.draw_text(captions[i], lists[i]->get_x() - CAPTION_WIDTH, row_y, CAPTION_WIDTH - 4, ROW_HEIGHT, label[0],
                      label[1], label[2], GuiWidget::JUSTIFY_RIGHT);
}
