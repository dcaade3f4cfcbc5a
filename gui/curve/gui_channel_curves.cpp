#include "gui/curve/gui_channel_curves.h"

#include <cmath>
#include <cstdio>

#include "gui/menus/gui_list_button.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiChannelCurves, GuiWidget)

namespace {

constexpr char const* MIXED_TYPES = "(mixed)";

FCurveKey::Type g_default_key_type = FCurveKey::TYPE_SMOOTH;

CoreVector<CoreString> key_type_labels()
{
    CoreVector<CoreString> labels;
    for (int type = 0; type < FCurveKey::TYPE_COUNT; ++type)
        labels.add(FCurveKey::get_key_type_ui_name(static_cast<FCurveKey::Type>(type)));
    return labels;
}

CoreVector<CoreString> behavior_labels()
{
    CoreVector<CoreString> labels;
    for (int behavior = 0; behavior < FCurve::BEHAVIOR_COUNT; ++behavior)
        labels.add(FCurve::get_behavior_label(static_cast<FCurve::Behavior>(behavior)));
    return labels;
}

}  // namespace

GuiChannelCurves::GuiChannelCurves(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                                   Gui::ColorDepth const& depth)
    : GuiWidget(parent, x, y, w, h), m_depth(depth)
{
    unsigned int count = Gui::get_channel_count_by_color_depth(depth);
    if (count == 0) {
        CORE_LOG_WARNING("GuiChannelCurves.GuiChannelCurves: unknown colour depth " << static_cast<int>(depth)
                                                                                     << "; one channel is used\n");
        m_depth = Gui::COLOR_DEPTH_L;
        count = 1;
    }
    m_curves.resize(count);
    m_key_type = new GuiListButton(*this, x, y, 100, 20);
    m_key_type->set_items(key_type_labels());
    m_key_type->set_tooltip("Key Type");
    m_pre = new GuiListButton(*this, x, y, 100, 20);
    m_pre->set_items(behavior_labels());
    m_pre->set_tooltip("Pre Behavior");
    m_post = new GuiListButton(*this, x, y, 100, 20);
    m_post->set_items(behavior_labels());
    m_post->set_tooltip("Post Behavior");
    connect(*m_key_type, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &GuiChannelCurves::on_key_type_list);
    connect(*m_pre, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &GuiChannelCurves::on_behavior_list, m_pre);
    connect(*m_post, EVT_ID_LIST_BUTTON_SELECTION_CHANGED, &GuiChannelCurves::on_behavior_list, m_post);
}

GuiChannelCurves::~GuiChannelCurves()
{
    disconnect_all();
}

void GuiChannelCurves::set_default_key_type(FCurveKey::Type const& type)
{
    if (!FCurveKey::is_valid_type(type)) {
        CORE_LOG_WARNING("GuiChannelCurves.set_default_key_type: unknown key type "
                         << static_cast<int>(type) << "; the default stays\n");
        return;
    }
    g_default_key_type = type;
}

FCurveKey::Type GuiChannelCurves::get_default_key_type()
{
    return g_default_key_type;
}

FCurve const& GuiChannelCurves::get_curve(unsigned int const& channel) const
{
    static FCurve const empty;
    if (!check_channel(channel, "GuiChannelCurves.get_curve")) return empty;
    return m_curves[channel];
}

bool GuiChannelCurves::check_channel(unsigned int const& channel, char const* caller) const
{
    if (channel < m_curves.size()) return true;
    CORE_LOG_WARNING(caller << ": channel " << channel << " is out of range (" << m_curves.size()
                            << " channels)\n");
    return false;
}

bool GuiChannelCurves::check_finite(char const* caller, std::initializer_list<double> values)
{
    for (double const& value : values) {
        if (std::isfinite(value)) continue;
        CORE_LOG_WARNING(caller << ": " << value << " is not a finite number; nothing changed\n");
        return false;
    }
    return true;
}

bool GuiChannelCurves::copy_curves(CoreArray<FCurve const*> const& curves, Gui::ColorDepth const& depth,
                                   char const* caller)
{
    unsigned int const count = Gui::get_channel_count_by_color_depth(depth);
    if (count == 0 || curves.get_count() != count) {
        CORE_LOG_WARNING(caller << ": " << curves.get_count() << " curves given for a colour depth of " << count
                                << " channels; the curves stay\n");
        return false;
    }
    m_depth = depth;
    m_curves.assign(count, FCurve());
    for (unsigned int channel = 0; channel < count; ++channel)
        if (curves[channel]) m_curves[channel] = *curves[channel];
    return true;
}

int GuiChannelCurves::value_to_pixel(double const& value, double const& min, double const& max, int const& low,
                                     int const& high, double const& margin)
{
    double const span = max - min;
    double const sign = high >= low ? 1.0 : -1.0;
    double const start = low + sign * margin;
    if (span == 0.0 || !std::isfinite(value)) return static_cast<int>(std::trunc(start));
    double const pixels = (high - low) - sign * 2.0 * margin;
    double const pixel = start + (value - min) * pixels / span;
    // Far-off values stay in the range of int, well outside any widget.
    return static_cast<int>(std::trunc(std::clamp(pixel, -1e8, 1e8)));
}

double GuiChannelCurves::pixel_to_value(double const& pixel, double const& min, double const& max, int const& low,
                                        int const& high, double const& margin)
{
    double const sign = high >= low ? 1.0 : -1.0;
    double const pixels = (high - low) - sign * 2.0 * margin;
    if (pixels == 0.0) return min;
    return (pixel - low - sign * margin) * (max - min) / pixels + min;
}

double GuiChannelCurves::separate_time(FCurve const& curve, FCurveKeyId const& id, double time)
{
    // The side is the one the key comes from; a new key (or one at the other key's very
    // time) goes by the side of the requested time.
    int const index = curve.get_key_index(id);
    double const from = index >= 0 ? curve.get_keys()[static_cast<unsigned int>(index)].time : time;
    // Each step moves the time 2e-8 away from a key, so it cannot come back to the same key;
    // a bounded number of passes guards against keys packed tighter than the step.
    for (unsigned int pass = 0; pass <= curve.get_key_count(); ++pass) {
        bool moved = false;
        for (FCurveKey const& key : curve.get_keys()) {
            if (key.id == id || std::abs(key.time - time) >= KEY_SEPARATION_THRESHOLD) continue;
            bool const above = from != key.time ? from > key.time : time > key.time;
            time = above ? key.time + KEY_SEPARATION_STEP : key.time - KEY_SEPARATION_STEP;
            moved = true;
            break;
        }
        if (!moved) break;
    }
    return time;
}

double GuiChannelCurves::compute_grid_step(double const& span, double const& pixels, double const& min_cell)
{
    if (!(span > 0.0) || !(pixels > 0.0) || !std::isfinite(span)) return 0.0;
    double const raw = span * std::max(min_cell, 1.0) / pixels;
    double const decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (double const factor : {1.0, 2.0, 5.0})
        if (factor * decade >= raw) return factor * decade;
    return 10.0 * decade;
}

CoreString GuiChannelCurves::format_value(double const& value, double const& step)
{
    // Values within a hundredth of a step from 0 are 0, not 1e-17.
    double const shown = step > 0.0 && std::abs(value) < step * 0.01 ? 0.0 : value;
    char text[32];
    std::snprintf(text, sizeof(text), "%g", shown);
    return CoreString(text);
}

bool GuiChannelCurves::set_extrapolation(bool const& pre, FCurve::Behavior const& behavior)
{
    if (behavior < 0 || behavior >= FCurve::BEHAVIOR_COUNT) {
        CORE_LOG_WARNING("GuiChannelCurves.set_extrapolation: unknown behaviour " << static_cast<int>(behavior)
                                                                                  << "; the curves stay\n");
        return false;
    }
    unsigned int const count = get_channel_count();
    m_extrapolation_change.clear();
    for (unsigned int channel = 0; channel < count; ++channel) {
        bool const editable = is_channel_editable(channel);
        if (editable) {
            if (pre)
                m_curves[channel].set_pre_behavior(behavior);
            else
                m_curves[channel].set_post_behavior(behavior);
        }
        m_extrapolation_change.add(editable ? 1u : 0u);
    }
    m_extrapolation_change.add(static_cast<unsigned int>(behavior));
    m_extrapolation_change.add(pre ? EXTRAPOLATION_PRE : EXTRAPOLATION_POST);
    fill_extrapolation_values();
    redraw();
    raise_event(EventInfo(get_extrapolation_event(), &m_extrapolation_change));
    return true;
}

void GuiChannelCurves::fill_extrapolation_values()
{
    for (unsigned int channel = 0; channel < get_channel_count(); ++channel) {
        if (!is_channel_editable(channel)) continue;
        m_pre->set_selected_index(m_curves[channel].get_pre_behavior());
        m_post->set_selected_index(m_curves[channel].get_post_behavior());
        return;
    }
    m_pre->set_selected_index(m_curves.empty() ? -1 : m_curves[0].get_pre_behavior());
    m_post->set_selected_index(m_curves.empty() ? -1 : m_curves[0].get_post_behavior());
}

void GuiChannelCurves::fill_key_type_value(CoreVector<FCurveKey::Type> const& types)
{
    if (types.is_empty()) {
        m_key_type->set_placeholder("Key Type");
        m_key_type->set_selected_index(-1);
        m_key_type->disable();
        return;
    }
    m_key_type->enable();
    bool same = true;
    for (FCurveKey::Type const& type : types) same = same && type == types[0];
    m_key_type->set_placeholder(same ? "" : MIXED_TYPES);
    m_key_type->set_selected_index(same ? static_cast<int>(types[0]) : -1);
}

void GuiChannelCurves::on_key_type_list(EventObject&, EventInfo const&, void*)
{
    int const index = m_key_type->get_selected_index();
    if (index >= 0) on_key_type_chosen(static_cast<FCurveKey::Type>(index));
}

void GuiChannelCurves::on_behavior_list(EventObject&, EventInfo const&, void* data)
{
    GuiListButton* button = static_cast<GuiListButton*>(data);
    int const index = button->get_selected_index();
    if (index >= 0) set_extrapolation(button == m_pre, static_cast<FCurve::Behavior>(index));
}
