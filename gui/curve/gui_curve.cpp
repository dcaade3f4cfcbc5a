#include "gui/curve/gui_curve.h"

#include <algorithm>
#include <cmath>

#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/core/gui.h"
#include "gui/core/gui_dc.h"
#include "gui/fields/gui_number_field.h"
#include "gui/menus/gui_list_button.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_VALUE_CHANGING);
EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_VALUE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_POSITION_CHANGING);
EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_POSITION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_TYPE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_CURVE_EXTRAPOLATION_CHANGED);
EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_LINKING);
EVENT_DEFINE_ID(EVT_ID_CURVE_KEY_LINKED);

CORE_IMPLEMENT_CLASS(GuiCurve, GuiChannelCurves)

namespace {

constexpr int ROW_HEIGHT = 20;
constexpr int GAP = 4;
// Half the side of a key handle, and how far from a remove handle a press still hits it.
constexpr int KEY_HALF = 3;
constexpr int REMOVE_HALF = 3;
// Curves are sampled every this many pixels.
constexpr int SAMPLE_STEP = 2;

using Rgb = GMathVec3<unsigned char>;

// The colour a channel's curve is drawn in.
Rgb channel_color(Gui::ColorDepth const& depth, unsigned int const& channel)
{
    bool const grey = depth == Gui::COLOR_DEPTH_L || depth == Gui::COLOR_DEPTH_LA || depth == Gui::COLOR_DEPTH_A;
    if (grey) return channel == 0 && depth != Gui::COLOR_DEPTH_A ? Rgb(210, 210, 210) : Rgb(150, 150, 150);
    static Rgb const colors[4] = {Rgb(230, 80, 70), Rgb(90, 200, 90), Rgb(80, 140, 240), Rgb(170, 170, 170)};
    return colors[std::min(channel, 3u)];
}

char const* channel_name(Gui::ColorDepth const& depth, unsigned int const& channel)
{
    switch (depth) {
    case Gui::COLOR_DEPTH_RGB:
    case Gui::COLOR_DEPTH_RGBA: {
        static char const* const names[4] = {"Red", "Green", "Blue", "Alpha"};
        return names[std::min(channel, 3u)];
    }
    case Gui::COLOR_DEPTH_LA:
        return channel == 0 ? "Luminance" : "Alpha";
    case Gui::COLOR_DEPTH_A:
        return "Alpha";
    default:
        return "Luminance";
    }
}

Rgb dimmed(Rgb const& color, Rgb const& back)
{
    return Rgb(static_cast<unsigned char>((color[0] + 2 * back[0]) / 3),
               static_cast<unsigned char>((color[1] + 2 * back[1]) / 3),
               static_cast<unsigned char>((color[2] + 2 * back[2]) / 3));
}

}  // namespace

GuiCurve::GuiCurve(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                   Gui::ColorDepth const& depth)
    : GuiChannelCurves(parent, x, y, w, h, depth)
{
    unsigned int const count = get_channel_count();
    for (FCurve& curve : get_curves()) {
        curve.add_key(0.0, 0.0, FCurveKey::TYPE_SMOOTH);
        curve.add_key(1.0, 1.0, FCurveKey::TYPE_SMOOTH);
    }
    m_states.resize(count);
    for (unsigned int channel = 0; channel < count; ++channel) {
        rebuild_key_states(channel);
        m_draw_order.push_back(channel);
    }
    m_input = new GuiNumberField(*this, x, y, 120, ROW_HEIGHT, "Input");
    m_output = new GuiNumberField(*this, x, y, 120, ROW_HEIGHT, "Output");
    for (GuiNumberField* field : {m_input, m_output}) {
        field->set_float_precision(3);
        field->set_increment(0.01);
        connect(*field, EVT_ID_NUMBER_FIELD_VALUE_CHANGING, &GuiCurve::on_field, field);
        connect(*field, EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &GuiCurve::on_field, field);
    }
    m_reset_zoom = new GuiPushButton(*this, x, y, 80, ROW_HEIGHT, "Reset zoom");
    m_fit = new GuiPushButton(*this, x, y, 100, ROW_HEIGHT, "Fit on Selection");
    connect(*m_reset_zoom, EVT_ID_PUSH_BUTTON_CLICK, &GuiCurve::on_zoom_button, m_reset_zoom);
    connect(*m_fit, EVT_ID_PUSH_BUTTON_CLICK, &GuiCurve::on_zoom_button, m_fit);
    if (count > 1) {
        for (unsigned int channel = 0; channel < count; ++channel) {
            GuiCheckButton* button = new GuiCheckButton(*this, x, y, 60, ROW_HEIGHT, channel_name(depth, channel));
            button->set_value(true);
            button->set_tooltip("Edit/Unedit Channel");
            connect(*button, EVT_ID_CHECK_BUTTON_CLICK, &GuiCurve::on_channel_button, button);
            m_channel_buttons.push_back(button);
        }
        m_edit_all = new GuiCheckButton(*this, x, y, 110, ROW_HEIGHT, "Edit all Channels");
        m_edit_all->set_value(true);
        connect(*m_edit_all, EVT_ID_CHECK_BUTTON_CLICK, &GuiCurve::on_edit_all);
        m_link = new GuiCheckButton(*this, x, y, 140, ROW_HEIGHT, "Link editable Channels");
    }
    set_focus_receiver(true);
    layout_controls();
    fill_ui_values();
}

GuiCurve::~GuiCurve()
{
    disconnect_all();
}

// --- Layout ---

int GuiCurve::get_pos_curve_left() const
{
    return get_x() + LABEL_COLUMN_WIDTH;
}

int GuiCurve::get_pos_curve_right() const
{
    return get_x() + get_width() - 5;
}

int GuiCurve::get_pos_curve_up() const
{
    int const offset = get_channel_count() == 1 ? -8 : 10;
    return get_y() + offset + 16;
}

int GuiCurve::get_pos_curve_down() const
{
    return get_y() + get_height() - 24;
}

int GuiCurve::get_pos_y_remove() const
{
    return get_pos_curve_up() + 9;
}

void GuiCurve::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiChannelCurves::resize(x, y, w, h);
    on_size_mode_change();
}

void GuiCurve::on_size_mode_change()
{
    layout_controls();
    redraw();
}

void GuiCurve::layout_controls()
{
    int const x = get_x(), y = get_y(), w = get_width();
    int const top_y = y + 2, bottom_y = y + get_height() - ROW_HEIGHT - 1;
    int cx = x + 2;
    auto place = [&](GuiWidget& widget, int const& width, int const& row_y) {
        widget.resize(cx, row_y, width, ROW_HEIGHT);
        cx += width + GAP;
    };
    // Bottom row: the key's type, input and value, then the curves' behaviours.
    place(get_key_type_button(), 110, bottom_y);
    place(*m_input, 120, bottom_y);
    place(*m_output, 126, bottom_y);
    place(get_pre_behavior_button(), 100, bottom_y);
    place(get_post_behavior_button(), 100, bottom_y);
    int const bottom_end = cx;
    // Top row, with several channels: the channel buttons, sized to their labels.
    int top_end = x;
    if (!m_channel_buttons.empty()) {
        cx = x + LABEL_COLUMN_WIDTH;
        auto fitted = [this](GuiCheckButton& button) {
            int text_w = 0, text_h = 0;
            get_text_size(button.get_label(), text_w, text_h);
            return text_w + 18;
        };
        for (GuiCheckButton* button : m_channel_buttons) place(*button, fitted(*button), top_y);
        place(*m_edit_all, fitted(*m_edit_all), top_y);
        place(*m_link, fitted(*m_link), top_y);
        top_end = cx;
    }
    // The zoom buttons at the right of the top row when it has room, else of the bottom row.
    int const zoom_w = 80 + GAP + 100;
    int const zoom_x = x + w - 2 - zoom_w;
    int const zoom_y = !m_channel_buttons.empty() && (top_end <= zoom_x || bottom_end > zoom_x) ? top_y : bottom_y;
    m_reset_zoom->resize(zoom_x, zoom_y, 80, ROW_HEIGHT);
    m_fit->resize(zoom_x + 80 + GAP, zoom_y, 100, ROW_HEIGHT);
}

// --- Curves ---

bool GuiCurve::set_curves(CoreArray<FCurve const*> const& curves)
{
    if (!copy_curves(curves, get_color_depth(), "GuiCurve.set_curves")) return false;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        m_states[channel].clear();
        rebuild_key_states(channel);
    }
    m_drag = Drag::NONE;
    fill_ui_values();
    redraw();
    return true;
}

void GuiCurve::rebuild_key_states(unsigned int const& channel)
{
    CoreVector<KeyState> previous = m_states[channel];
    CoreVector<KeyState>& states = m_states[channel];
    states.clear();
    for (FCurveKey const& key : get_curves()[channel].get_keys()) {
        KeyState state;
        state.id = key.id;
        state.saved_time = key.time;
        state.saved_value = key.value;
        for (KeyState const& old : previous)
            if (old.id == key.id) state.selected = old.selected;
        states.add(state);
    }
}

unsigned int GuiCurve::get_key_count(unsigned int const& channel) const
{
    return get_curve(channel).get_key_count();
}

double GuiCurve::get_key_time(unsigned int const& channel, FCurveKeyId const& id) const
{
    return get_curve(channel).get_key_time(id);
}

double GuiCurve::get_key_value(unsigned int const& channel, FCurveKeyId const& id) const
{
    return get_curve(channel).get_key_value(id);
}

FCurveKey::Type GuiCurve::get_key_type(unsigned int const& channel, FCurveKeyId const& id) const
{
    return get_curve(channel).get_key_type(id);
}

CoreVector<GuiCurve::KeyState> const& GuiCurve::get_key_states(unsigned int const& channel) const
{
    static CoreVector<KeyState> const none;
    if (!check_channel(channel, "GuiCurve.get_key_states")) return none;
    return m_states[channel];
}

FCurveKeyId GuiCurve::add_key(unsigned int const& channel, double const& time, FCurveKey::Type const& type,
                              double const& value)
{
    if (!check_channel(channel, "GuiCurve.add_key") || !check_finite("GuiCurve.add_key", {time, value}))
        return FCurveKeyId();
    FCurveKeyId const id = get_curves()[channel].add_key(time, value, type);
    if (!id.is_valid()) return id;
    KeyState state;
    state.id = id;
    state.saved_time = time;
    state.saved_value = value;
    m_states[channel].add(state);
    fill_ui_values();
    redraw();
    return id;
}

void GuiCurve::remove_key(unsigned int const& channel, FCurveKeyId const& id)
{
    if (!check_channel(channel, "GuiCurve.remove_key")) return;
    FCurve& curve = get_curves()[channel];
    if (curve.get_key_index(id) < 0) return;
    curve.remove_key(id);
    CoreVector<KeyState>& states = m_states[channel];
    for (unsigned int i = 0; i < states.get_count(); ++i) {
        if (states[i].id != id) continue;
        states.remove(i);
        break;
    }
    fill_ui_values();
    redraw();
}

bool GuiCurve::set_key_time(unsigned int const& channel, FCurveKeyId const& id, double const& time)
{
    if (!check_channel(channel, "GuiCurve.set_key_time") || !check_finite("GuiCurve.set_key_time", {time}))
        return false;
    FCurve& curve = get_curves()[channel];
    if (!curve.set_key_time(id, separate_time(curve, id, time))) return false;
    fill_ui_values();
    redraw();
    return true;
}

bool GuiCurve::set_key_value(unsigned int const& channel, FCurveKeyId const& id, double const& value)
{
    if (!check_channel(channel, "GuiCurve.set_key_value") || !check_finite("GuiCurve.set_key_value", {value}))
        return false;
    if (!get_curves()[channel].set_key_value(id, value)) return false;
    fill_ui_values();
    redraw();
    return true;
}

bool GuiCurve::set_key_type(unsigned int const& channel, FCurveKeyId const& id, FCurveKey::Type const& type)
{
    if (!check_channel(channel, "GuiCurve.set_key_type")) return false;
    if (!get_curves()[channel].set_key_type(id, type)) return false;
    fill_ui_values();
    redraw();
    return true;
}

void GuiCurve::link_one_curve(unsigned int const& from, unsigned int const& to)
{
    if (!check_channel(from, "GuiCurve.link_one_curve") || !check_channel(to, "GuiCurve.link_one_curve") ||
        from == to)
        return;
    std::vector<FCurve>& curves = get_curves();
    FCurve copy = curves[from];
    copy.set_pre_behavior(curves[to].get_pre_behavior());
    copy.set_post_behavior(curves[to].get_post_behavior());
    curves[to] = copy;
    // The copy keeps the source's ids, so its records are the source's.
    m_states[to] = m_states[from];
    redraw();
}

void GuiCurve::link_curves(unsigned int const& channel, bool const& during_drag)
{
    m_cloned.clear();
    if (get_channel_count() < 2 || !is_link_mode()) return;
    for (unsigned int target = 0; target < get_channel_count(); ++target) {
        if (target == channel || is_protected_channel(target)) continue;
        link_one_curve(channel, target);
        m_cloned.add({channel, target});
    }
    fill_ui_values();
    raise_event(during_drag ? EVT_ID_CURVE_KEY_LINKING : EVT_ID_CURVE_KEY_LINKED);
}

void GuiCurve::clear_payloads()
{
    m_added.clear();
    m_changed.clear();
    m_removed.clear();
    m_type_changed.clear();
    m_cloned.clear();
}

// --- Selection ---

bool GuiCurve::is_key_selected(unsigned int const& channel, FCurveKeyId const& id) const
{
    if (channel >= m_states.size()) return false;
    for (KeyState const& state : m_states[channel])
        if (state.id == id) return state.selected;
    return false;
}

void GuiCurve::select_key(unsigned int const& channel, FCurveKeyId const& id, bool const& selected)
{
    if (!check_channel(channel, "GuiCurve.select_key")) return;
    for (KeyState& state : m_states[channel])
        if (state.id == id) state.selected = selected;
    fill_ui_values();
    redraw();
}

void GuiCurve::clear_selection()
{
    for (CoreVector<KeyState>& states : m_states)
        for (KeyState& state : states) state.selected = false;
    fill_ui_values();
    redraw();
}

void GuiCurve::selection_all_key_in_area(double const& xmin, double const& ymin, double const& xmax,
                                         double const& ymax)
{
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        FCurve const& curve = get_curves()[channel];
        for (KeyState& state : m_states[channel]) {
            double const t = curve.get_key_time(state.id), v = curve.get_key_value(state.id);
            if (t >= xmin && t <= xmax && v >= ymin && v <= ymax) state.selected = true;
        }
    }
    fill_ui_values();
    redraw();
}

void GuiCurve::save_all_keys_time_and_value()
{
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        FCurve const& curve = get_curves()[channel];
        for (KeyState& state : m_states[channel]) {
            state.saved_time = curve.get_key_time(state.id);
            state.saved_value = curve.get_key_value(state.id);
        }
    }
}

// --- Channels ---

bool GuiCurve::is_protected_channel(unsigned int const& channel) const
{
    if (m_channel_buttons.size() < 2 || channel >= m_channel_buttons.size()) return false;
    return !m_channel_buttons[channel]->get_value();
}

void GuiCurve::set_channel_editable(unsigned int const& channel, bool const& editable)
{
    if (channel >= m_channel_buttons.size()) return;
    m_channel_buttons[channel]->set_value(editable);
    bool all = true;
    for (GuiCheckButton* button : m_channel_buttons) all = all && button->get_value();
    m_edit_all->set_value(all);
    channels_changed();
}

void GuiCurve::set_all_channels_editable(bool const& editable)
{
    if (!m_edit_all) return;
    m_edit_all->set_value(editable);
    for (GuiCheckButton* button : m_channel_buttons) button->set_value(editable);
    channels_changed();
}

void GuiCurve::set_link_mode(bool const& link)
{
    if (m_link) m_link->set_value(link);
}

bool GuiCurve::is_link_mode() const
{
    return m_link && m_link->get_value();
}

GuiCheckButton* GuiCurve::get_channel_button(unsigned int const& channel) const
{
    return channel < m_channel_buttons.size() ? m_channel_buttons[channel] : nullptr;
}

void GuiCurve::on_channel_button(EventObject&, EventInfo const&, void* data)
{
    GuiCheckButton* button = static_cast<GuiCheckButton*>(data);
    for (unsigned int channel = 0; channel < m_channel_buttons.size(); ++channel)
        if (m_channel_buttons[channel] == button) set_channel_editable(channel, button->get_value());
}

void GuiCurve::on_edit_all(EventObject&, EventInfo const&, void*)
{
    set_all_channels_editable(m_edit_all->get_value());
}

void GuiCurve::channels_changed()
{
    for (CoreVector<KeyState>& states : m_states)
        for (KeyState& state : states) state.selected = false;
    // Editable channels are drawn over the protected ones.
    m_draw_order.clear();
    for (bool const editable : {false, true})
        for (unsigned int channel = 0; channel < get_channel_count(); ++channel)
            if (is_protected_channel(channel) != editable) m_draw_order.push_back(channel);
    fill_ui_values();
    redraw();
    channel_display_changed();
}

// --- View ---

void GuiCurve::reset_zoom()
{
    set_visible_bbox(0.0, 0.0, 1.0, 1.0);
}

void GuiCurve::fit_zoom()
{
    bool selection = false;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel)
        for (KeyState const& state : m_states[channel]) selection = selection || state.selected;
    double tmin = INFINITY, tmax = -INFINITY;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        for (KeyState const& state : m_states[channel]) {
            if (selection && !state.selected) continue;
            double const t = get_curves()[channel].get_key_time(state.id);
            tmin = std::min(tmin, t);
            tmax = std::max(tmax, t);
        }
    }
    if (tmin > tmax) {
        reset_zoom();
        return;
    }
    double vmin = INFINITY, vmax = -INFINITY;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        double low = 0.0, high = 0.0;
        if (!get_curves()[channel].get_value_range(tmin, tmax, low, high)) continue;
        vmin = std::min(vmin, low);
        vmax = std::max(vmax, high);
    }
    if (vmin > vmax) vmin = vmax = 0.0;
    // A single key or a flat curve still gets a box around it.
    if (tmax - tmin < 1e-9) tmin -= 0.5, tmax += 0.5;
    if (vmax - vmin < 1e-9) vmin -= 0.5, vmax += 0.5;
    set_visible_bbox(tmin, vmin, tmax, vmax);
}

void GuiCurve::set_visible_bbox(double const& xmin, double const& ymin, double const& xmax, double const& ymax)
{
    if (!std::isfinite(xmin) || !std::isfinite(ymin) || !std::isfinite(xmax) || !std::isfinite(ymax) ||
        xmax <= xmin || ymax <= ymin) {
        CORE_LOG_WARNING("GuiCurve.set_visible_bbox: the box (" << xmin << ", " << ymin << ") - (" << xmax << ", "
                                                                << ymax << ") is refused: it must be finite and "
                                                                           "not empty\n");
        return;
    }
    m_xmin = xmin;
    m_ymin = ymin;
    m_xmax = xmax;
    m_ymax = ymax;
    redraw();
}

double GuiCurve::clip_time(double const& time) const
{
    double clipped = time;
    if (m_constraint_min) clipped = std::max(clipped, m_xmin);
    if (m_constraint_max) clipped = std::min(clipped, m_xmax);
    return clipped;
}

void GuiCurve::clip_time_and_value(double& time, double& value) const
{
    time = clip_time(time);
    if (m_constraint_min) value = std::max(value, m_ymin);
    if (m_constraint_max) value = std::min(value, m_ymax);
}

int GuiCurve::time_to_pixel(double const& time) const
{
    return value_to_pixel(time, m_xmin, m_xmax, get_pos_curve_left(), get_pos_curve_right(), INNER_MARGIN);
}

int GuiCurve::value_to_pixel_y(double const& value) const
{
    return value_to_pixel(value, m_ymin, m_ymax, get_pos_curve_down(), get_pos_curve_up(), INNER_MARGIN);
}

double GuiCurve::pixel_to_time(double const& x) const
{
    return pixel_to_value(x, m_xmin, m_xmax, get_pos_curve_left(), get_pos_curve_right(), INNER_MARGIN);
}

double GuiCurve::pixel_to_value_y(double const& y) const
{
    return pixel_to_value(y, m_ymin, m_ymax, get_pos_curve_down(), get_pos_curve_up(), INNER_MARGIN);
}

// --- Controls ---

void GuiCurve::fill_ui_values()
{
    CoreVector<FCurveKey::Type> types;
    bool first = true;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        FCurve const& curve = get_curves()[channel];
        for (KeyState const& state : m_states[channel]) {
            if (!state.selected) continue;
            types.add(curve.get_key_type(state.id));
            if (!first) continue;
            first = false;
            if (!m_input->is_dragging() && !m_field_editing) m_input->set_value(curve.get_key_time(state.id));
            if (!m_output->is_dragging() && !m_field_editing) m_output->set_value(curve.get_key_value(state.id));
        }
    }
    m_input->set_enable(!first);
    m_output->set_enable(!first);
    fill_key_type_value(types);
    fill_extrapolation_values();
}

void GuiCurve::on_key_type_chosen(FCurveKey::Type const& type)
{
    clear_payloads();
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        for (KeyState const& state : m_states[channel]) {
            if (!state.selected) continue;
            get_curves()[channel].set_key_type(state.id, type);
            m_type_changed.add({channel, state.id});
        }
    }
    if (m_type_changed.is_empty()) return;
    fill_ui_values();
    redraw();
    if (get_channel_count() > 1 && is_link_mode())
        link_curves(m_type_changed[0].channel, false);
    else
        raise_event(EVT_ID_CURVE_KEY_TYPE_CHANGED);
}

void GuiCurve::on_zoom_button(EventObject&, EventInfo const&, void* data)
{
    if (data == m_reset_zoom)
        reset_zoom();
    else
        fit_zoom();
}

template <class Place>
void GuiCurve::place_selected_keys(bool const& set_time, bool const& set_value, Place const& place)
{
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        FCurve& curve = get_curves()[channel];
        for (KeyState const& state : m_states[channel]) {
            if (!state.selected) continue;
            double t = state.saved_time, v = state.saved_value;
            place(t, v);
            clip_time_and_value(t, v);
            if (set_time) curve.set_key_time(state.id, separate_time(curve, state.id, t));
            if (set_value) curve.set_key_value(state.id, v);
            m_changed.add({channel, state.id});
        }
    }
}

void GuiCurve::on_field(EventObject&, EventInfo const& info, void* data)
{
    bool const time = data == m_input;
    bool const ended = info.get_name() == EVT_ID_NUMBER_FIELD_VALUE_CHANGED;
    // The first selected key takes the entry; the others move by the same offset.
    if (!m_field_editing) save_all_keys_time_and_value();
    m_field_editing = !ended;
    double const entry = static_cast<GuiNumberField*>(data)->get_value();
    double offset = 0.0;
    bool found = false;
    clear_payloads();
    place_selected_keys(time, !time, [&](double& t, double& v) {
        double& moved = time ? t : v;
        if (!found) offset = entry - moved;
        found = true;
        moved += offset;
    });
    if (!found) return;
    if (ended) fill_ui_values();
    redraw();
    if (get_channel_count() > 1 && is_link_mode()) {
        link_curves(m_changed[0].channel, !ended);
        return;
    }
    if (time)
        raise_event(ended ? EVT_ID_CURVE_KEY_POSITION_CHANGED : EVT_ID_CURVE_KEY_POSITION_CHANGING);
    else
        raise_event(ended ? EVT_ID_CURVE_KEY_VALUE_CHANGED : EVT_ID_CURVE_KEY_VALUE_CHANGING);
}

// --- Editing ---

void GuiCurve::remove_selected_keys()
{
    clear_payloads();
    bool const link = get_channel_count() > 1 && is_link_mode();
    int source = -1;
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (is_protected_channel(channel)) continue;
        CoreVector<FCurveKeyId> selected;
        for (KeyState const& state : m_states[channel])
            if (state.selected) selected.add(state.id);
        if (selected.is_empty()) continue;
        // In link mode the first channel with a selection is edited and copied to the others.
        if (link && source >= 0) break;
        source = static_cast<int>(channel);
        for (FCurveKeyId const& id : selected) {
            if (get_curves()[channel].get_key_count() <= 1) break;
            remove_key(channel, id);
            m_removed.add({channel, id});
        }
    }
    if (m_removed.is_empty()) return;
    if (link)
        link_curves(static_cast<unsigned int>(source), false);
    else
        raise_event(EVT_ID_CURVE_KEY_VALUE_CHANGED);
}

void GuiCurve::move_selected_keys(int const& mouse_x, int const& mouse_y)
{
    double const dt = pixel_to_time(mouse_x) - pixel_to_time(m_press_x);
    double const dv = pixel_to_value_y(mouse_y) - pixel_to_value_y(m_press_y);
    bool const time_changed = mouse_x != m_mouse_x, value_changed = mouse_y != m_mouse_y;
    m_mouse_x = mouse_x;
    m_mouse_y = mouse_y;
    clear_payloads();
    place_selected_keys(true, true, [dt, dv](double& t, double& v) {
        t += dt;
        v += dv;
    });
    if (m_changed.is_empty()) return;
    m_moved_time = m_moved_time || time_changed;
    m_moved_value = m_moved_value || value_changed;
    fill_ui_values();
    redraw();
    if (get_channel_count() > 1 && is_link_mode()) {
        link_curves(m_changed[0].channel, true);
        return;
    }
    if (time_changed) raise_event(EVT_ID_CURVE_KEY_POSITION_CHANGING);
    if (value_changed) raise_event(EVT_ID_CURVE_KEY_VALUE_CHANGING);
}

bool GuiCurve::find_remove_handle(int const& x, int const& y, unsigned int& channel, FCurveKeyId& id) const
{
    if (std::abs(y - get_pos_y_remove()) > REMOVE_HALF + 1) return false;
    for (auto it = m_draw_order.rbegin(); it != m_draw_order.rend(); ++it) {
        if (is_protected_channel(*it)) continue;
        for (FCurveKey const& key : get_curve(*it).get_keys()) {
            if (std::abs(x - time_to_pixel(key.time)) > REMOVE_HALF + 1) continue;
            channel = *it;
            id = key.id;
            return true;
        }
    }
    return false;
}

bool GuiCurve::on_mouse_down(int const& x, int const& y)
{
    if (Gui::get_event_mouse_button() != Gui::MOUSE_BUTTON_ID_LEFT) return false;
    set_focus();
    clear_payloads();
    m_press_x = m_mouse_x = x;
    m_press_y = m_mouse_y = y;
    m_moved_time = m_moved_value = false;
    bool const shift = Gui::is_modifier_shift();

    unsigned int channel = 0;
    FCurveKeyId id;
    if (find_remove_handle(x, y, channel, id)) {
        if (get_curves()[channel].get_key_count() <= 1) return true;
        remove_key(channel, id);
        m_removed.add({channel, id});
        if (get_channel_count() > 1 && is_link_mode())
            link_curves(channel, false);
        else
            raise_event(EVT_ID_CURVE_KEY_VALUE_CHANGED);
        return true;
    }

    update_pick_buffer();
    int key = -1;
    if (compute_selection(x, y, EVT_ID_MOUSE_DOWN, channel, key)) {
        FCurve& curve = get_curves()[channel];
        if (key >= 0) {
            id = curve.get_key_id(static_cast<unsigned int>(key));
            bool const selected = is_key_selected(channel, id);
            if (shift) {
                select_key(channel, id, !selected);
            } else if (!selected) {
                clear_selection();
                select_key(channel, id, true);
            }
        } else {
            double time = pixel_to_time(x), value = 0.0;
            time = clip_time(time);
            value = curve.eval(time);
            id = add_key(channel, time, get_default_key_type(), value);
            if (!id.is_valid()) return true;
            clear_selection();
            select_key(channel, id, true);
            m_added.add({channel, id});
            if (get_channel_count() > 1 && is_link_mode())
                link_curves(channel, false);
            else
                raise_event(EVT_ID_CURVE_KEY_VALUE_CHANGED);
        }
        save_all_keys_time_and_value();
        m_drag = Drag::KEYS;
        selection_changed();
        return true;
    }
    if (!shift) clear_selection();
    m_drag = Drag::AREA;
    selection_changed();
    redraw();
    return true;
}

void GuiCurve::on_mouse_drag(int const& x, int const& y)
{
    if (m_drag == Drag::KEYS) {
        move_selected_keys(x, y);
    } else if (m_drag == Drag::AREA) {
        m_mouse_x = x;
        m_mouse_y = y;
        redraw();
    }
}

void GuiCurve::on_mouse_up(int const& x, int const& y)
{
    Drag const drag = m_drag;
    m_drag = Drag::NONE;
    if (drag == Drag::AREA) {
        double const t0 = pixel_to_time(std::min(x, m_press_x)), t1 = pixel_to_time(std::max(x, m_press_x));
        double const v0 = pixel_to_value_y(std::max(y, m_press_y)), v1 = pixel_to_value_y(std::min(y, m_press_y));
        if (x != m_press_x || y != m_press_y) selection_all_key_in_area(t0, v0, t1, v1);
        selection_changed();
        redraw();
        return;
    }
    if (drag != Drag::KEYS || m_changed.is_empty() || (!m_moved_time && !m_moved_value)) return;
    if (get_channel_count() > 1 && is_link_mode()) {
        link_curves(m_changed[0].channel, false);
        return;
    }
    if (m_moved_time) raise_event(EVT_ID_CURVE_KEY_POSITION_CHANGED);
    if (m_moved_value) raise_event(EVT_ID_CURVE_KEY_VALUE_CHANGED);
}

int GuiCurve::process_event(CoreString const& name)
{
    int const x = Gui::get_relative_mouse_x(*this) + get_x();
    int const y = Gui::get_relative_mouse_y(*this) + get_y();
    if (name == EVT_ID_MOUSE_DOWN) {
        if (on_mouse_down(x, y)) return 1;
    } else if (name == EVT_ID_MOUSE_DRAG || name == EVT_ID_MOUSE_DRAG_REAL_TIME) {
        if (m_drag != Drag::NONE) {
            on_mouse_drag(x, y);
            return 1;
        }
    } else if (name == EVT_ID_MOUSE_UP) {
        if (m_drag != Drag::NONE) {
            on_mouse_up(x, y);
            return 1;
        }
    } else if (name == EVT_ID_MOUSE_MOVE) {
        unsigned int channel = 0;
        FCurveKeyId id;
        bool const over = find_remove_handle(x, y, channel, id);
        bool changed = false;
        for (unsigned int c = 0; c < get_channel_count(); ++c)
            for (KeyState& state : m_states[c]) {
                bool const hovered = over && c == channel && state.id == id;
                changed = changed || hovered != state.mouse_over_remove;
                state.mouse_over_remove = hovered;
            }
        if (changed) redraw();
    } else if (name == EVT_ID_MOUSE_WHEEL) {
        if (m_enable_zoom && Gui::get_wheel_dy() != 0) {
            double const factor = std::pow(1.25, Gui::get_wheel_dy());
            double const t = pixel_to_time(x), v = pixel_to_value_y(y);
            set_visible_bbox(t - (t - m_xmin) * factor, v - (v - m_ymin) * factor, t + (m_xmax - t) * factor,
                             v + (m_ymax - v) * factor);
            return 1;
        }
    } else if (name == EVT_ID_KEY_DOWN) {
        int const key = Gui::get_last_key_pressed();
        if (key == Gui::KEY_ID_DELETE || key == Gui::KEY_ID_BACKSPACE) {
            remove_selected_keys();
            return 1;
        }
    }
    return GuiChannelCurves::process_event(name);
}

// --- Picking ---

void GuiCurve::mark_cell(std::vector<unsigned int>& layer, int const& px, int const& py, unsigned int const& value)
{
    int const dx = px - m_pick_left, dy = py - m_pick_top;
    if (dx < 0 || dy < 0) return;
    int const column = dx / PICK_CELL, row = dy / PICK_CELL;
    if (column >= m_pick_columns || row >= m_pick_rows) return;
    layer[static_cast<size_t>(row) * m_pick_columns + column] = value;
}

void GuiCurve::rasterise_line(int x0, int y0, int const& x1, int const& y1, unsigned int const& value)
{
    // Bresenham: every pixel of the line and the pixels PICK_LINE_REACH away on each side.
    int const dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int const sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        mark_cell(m_pick_curves, x0, y0, value);
        mark_cell(m_pick_curves, x0 - PICK_LINE_REACH, y0, value);
        mark_cell(m_pick_curves, x0 + PICK_LINE_REACH, y0, value);
        mark_cell(m_pick_curves, x0, y0 - PICK_LINE_REACH, value);
        mark_cell(m_pick_curves, x0, y0 + PICK_LINE_REACH, value);
        if (x0 == x1 && y0 == y1) break;
        int const doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += sx;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void GuiCurve::update_pick_buffer()
{
    int const left = get_pos_curve_left(), right = get_pos_curve_right();
    int const top = get_pos_curve_up(), bottom = get_pos_curve_down();
    m_pick_left = left;
    m_pick_top = top;
    m_pick_columns = std::max(0, (right - left) / PICK_CELL + 1);
    m_pick_rows = std::max(0, (bottom - top) / PICK_CELL + 1);
    size_t const cells = static_cast<size_t>(m_pick_columns) * m_pick_rows;
    m_pick_keys.assign(cells, 0);
    m_pick_curves.assign(cells, 0);
    if (cells == 0) return;
    for (unsigned int const channel : m_draw_order) {
        FCurve const& curve = get_curves()[channel];
        int previous_x = left, previous_y = std::clamp(value_to_pixel_y(curve.eval(pixel_to_time(left))), top, bottom);
        for (int px = left + SAMPLE_STEP; px <= right; px += SAMPLE_STEP) {
            int const py = std::clamp(value_to_pixel_y(curve.eval(pixel_to_time(px))), top, bottom);
            rasterise_line(previous_x, previous_y, px, py, channel + 1);
            previous_x = px;
            previous_y = py;
        }
        unsigned int index = 0;
        for (FCurveKey const& key : curve.get_keys()) {
            // Ids of keys past the stride would name the next channel's keys: those stay unpicked.
            if (index >= KEY_ID_STRIDE) break;
            int const kx = time_to_pixel(key.time), ky = value_to_pixel_y(key.value);
            unsigned int const value = channel * KEY_ID_STRIDE + index++ + 1;
            for (int py = ky - PICK_CELL; py <= ky + PICK_CELL; py += PICK_CELL / 2)
                for (int px = kx - PICK_CELL; px <= kx + PICK_CELL; px += PICK_CELL / 2)
                    mark_cell(m_pick_keys, px, py, value);
        }
    }
}

bool GuiCurve::compute_selection(int const& x, int const& y, CoreString const&, unsigned int& channel, int& key)
{
    int const dx = x - m_pick_left, dy = y - m_pick_top;
    if (dx < 0 || dy < 0 || dx / PICK_CELL >= m_pick_columns || dy / PICK_CELL >= m_pick_rows) return false;
    size_t const cell = static_cast<size_t>(dy / PICK_CELL) * m_pick_columns + dx / PICK_CELL;
    if (unsigned int const value = m_pick_keys[cell]) {
        unsigned int const id = value - 1;
        unsigned int const c = id / KEY_ID_STRIDE, index = id % KEY_ID_STRIDE;
        if (c < get_channel_count() && !is_protected_channel(c) && index < get_curves()[c].get_key_count()) {
            channel = c;
            key = static_cast<int>(index);
            return true;
        }
    }
    if (unsigned int const value = m_pick_curves[cell]) {
        unsigned int const c = value - 1;
        if (c < get_channel_count() && !is_protected_channel(c)) {
            channel = c;
            key = -1;
            return true;
        }
    }
    return false;
}

// --- Drawing ---

void GuiCurve::draw(GuiDc& dc)
{
    GuiChannelCurves::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const left = get_pos_curve_left(), right = get_pos_curve_right();
    int const top = get_pos_curve_up(), bottom = get_pos_curve_down();
    if (right - left < 4 || bottom - top < 4) return;
    auto color = [&dc](GuiColorScheme::Role const& role) { return dc.get_color(GuiColorScheme::GROUP_NORMAL, role); };
    Rgb const back = color(GuiColorScheme::ROLE_BACKGROUND_DARK);
    Rgb const grid = color(GuiColorScheme::ROLE_GRID_LINE);
    Rgb const text = color(GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const frame = color(GuiColorScheme::ROLE_OUTLINE);
    wdc.draw_rectf(left, top, right - left + 1, bottom - top + 1, back[0], back[1], back[2]);

    // The grid and its labels: values in the label column, inputs along the area's bottom.
    int text_w = 0, text_h = 0;
    dc.get_text_size("0", text_w, text_h);
    double const xstep = compute_grid_step(get_xrange(), right - left - 2 * INNER_MARGIN, 60.0);
    double const ystep = compute_grid_step(get_yrange(), bottom - top - 2 * INNER_MARGIN, 28.0);
    if (xstep > 0.0) {
        double const first = std::ceil(pixel_to_time(left) / xstep) * xstep;
        for (double t = first; t <= pixel_to_time(right); t += xstep) {
            int const px = time_to_pixel(t);
            if (px < left || px > right) continue;
            wdc.draw_line(px, top, px, bottom, grid[0], grid[1], grid[2]);
            wdc.draw_text(format_value(t, xstep), px + 2, bottom - text_h - 1, 60, text_h, text[0], text[1], text[2],
                          GuiWidget::JUSTIFY_LEFT);
        }
    }
    if (ystep > 0.0) {
        double const first = std::ceil(pixel_to_value_y(bottom) / ystep) * ystep;
        for (double v = first; v <= pixel_to_value_y(top); v += ystep) {
            int const py = value_to_pixel_y(v);
            if (py < top || py > bottom) continue;
            wdc.draw_line(left, py, right, py, grid[0], grid[1], grid[2]);
            wdc.draw_text(format_value(v, ystep), get_x() + 1, py - text_h / 2, LABEL_COLUMN_WIDTH - 4, text_h,
                          text[0], text[1], text[2], GuiWidget::JUSTIFY_RIGHT);
        }
    }
    wdc.draw_rect(left, top, right - left + 1, bottom - top + 1, frame[0], frame[1], frame[2]);

    update_pick_buffer();
    for (unsigned int const channel : m_draw_order) draw_channel(dc, channel);

    if (m_drag == Drag::AREA) {
        Rgb const accent = color(GuiColorScheme::ROLE_ACCENT);
        int const x0 = std::min(m_press_x, m_mouse_x), y0 = std::min(m_press_y, m_mouse_y);
        wdc.draw_rect(x0, y0, std::abs(m_mouse_x - m_press_x) + 1, std::abs(m_mouse_y - m_press_y) + 1, accent[0],
                      accent[1], accent[2]);
    }
}

void GuiCurve::draw_channel(GuiDc& dc, unsigned int const& channel)
{
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const left = get_pos_curve_left(), right = get_pos_curve_right();
    int const top = get_pos_curve_up(), bottom = get_pos_curve_down();
    Rgb const back = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND_DARK);
    bool const editable = !is_protected_channel(channel);
    Rgb const line = editable ? channel_color(get_color_depth(), channel)
                              : dimmed(channel_color(get_color_depth(), channel), back);
    FCurve const& curve = get_curves()[channel];

    int previous_y = std::clamp(value_to_pixel_y(curve.eval(pixel_to_time(left))), top, bottom);
    for (int px = left + SAMPLE_STEP; px <= right; px += SAMPLE_STEP) {
        int const py = std::clamp(value_to_pixel_y(curve.eval(pixel_to_time(px))), top, bottom);
        wdc.draw_line(px - SAMPLE_STEP, previous_y, px, py, line[0], line[1], line[2]);
        previous_y = py;
    }
    if (!editable) return;
    Rgb const selected = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_ACCENT);
    Rgb const cross = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TEXT_DIM);
    Rgb const cross_hover = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_RED);
    int const remove_y = get_pos_y_remove();
    for (KeyState const& state : m_states[channel]) {
        int const kx = time_to_pixel(curve.get_key_time(state.id));
        int const ky = value_to_pixel_y(curve.get_key_value(state.id));
        if (kx < left - KEY_HALF || kx > right + KEY_HALF) continue;
        if (ky >= top - KEY_HALF && ky <= bottom + KEY_HALF) {
            int const side = 2 * KEY_HALF + 1;
            if (state.selected) {
                wdc.draw_rectf(kx - KEY_HALF - 1, ky - KEY_HALF - 1, side + 2, side + 2, selected[0], selected[1],
                               selected[2]);
            } else {
                wdc.draw_rectf(kx - KEY_HALF, ky - KEY_HALF, side, side, back[0], back[1], back[2]);
                wdc.draw_rect(kx - KEY_HALF, ky - KEY_HALF, side, side, line[0], line[1], line[2]);
            }
        }
        // The key's remove handle: a small cross on the remove row.
        Rgb const& c = state.mouse_over_remove ? cross_hover : cross;
        wdc.draw_line(kx - REMOVE_HALF, remove_y - REMOVE_HALF, kx + REMOVE_HALF, remove_y + REMOVE_HALF, c[0], c[1],
                      c[2]);
        wdc.draw_line(kx - REMOVE_HALF, remove_y + REMOVE_HALF, kx + REMOVE_HALF, remove_y - REMOVE_HALF, c[0], c[1],
                      c[2]);
    }
}
