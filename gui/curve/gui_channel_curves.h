#pragma once
// GuiChannelCurves: what the function-curve and gradient editors share. The widget owns one
// FCurve per colour channel (1 to 4, from a Gui::ColorDepth), maps inputs and values to
// pixels with an inner margin, keeps a moved key apart from the keys around it, checks edits
// for numbers that are not finite, and holds the "Key Type", "Pre Behavior" and "Post
// Behavior" list buttons: the key type of the selection ("(mixed)" when the selected keys
// differ) and the extrapolation of the curves, which a choice applies to every editable
// channel before raising the editor's extrapolation event.
//
//     GuiCurve* curve = new GuiCurve(*panel, 0, 0, 480, 260, Gui::COLOR_DEPTH_RGBA);
//     curve->set_extrapolation(false, FCurve::BEHAVIOR_CYCLE);   // post, every editable channel
//     CoreVector<unsigned int> const& change = curve->get_current_extrapolation_change();
//
// The extrapolation event carries (as its data, and in get_current_extrapolation_change) one
// unsigned int per channel, 1 when the channel was changed and 0 otherwise, then the
// behaviour, then 1 for the pre behaviour or 2 for the post behaviour.
#include <vector>

#include "gui/core/gui.h"
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_vector.h"
#include "host/fcurve/fcurve.h"

class GuiListButton;

class QN_GUI_API GuiChannelCurves : public GuiWidget {
    CORE_DECLARE_CLASS(GuiChannelCurves, GuiWidget)

public:
    // A key moved closer than the threshold to another key goes the step beside it.
    static constexpr double KEY_SEPARATION_THRESHOLD = 1e-8;
    static constexpr double KEY_SEPARATION_STEP = 2e-8;
    // The last entries of an extrapolation change: which behaviour was set.
    static constexpr unsigned int EXTRAPOLATION_PRE = 1;
    static constexpr unsigned int EXTRAPOLATION_POST = 2;

    GuiChannelCurves(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                     Gui::ColorDepth const& depth);
    ~GuiChannelCurves() override;

    // The type of the keys that a click adds, in every curve and gradient editor of the
    // application; an unknown type is refused with a warning.
    static void set_default_key_type(FCurveKey::Type const& type);
    static FCurveKey::Type get_default_key_type();

    Gui::ColorDepth const& get_color_depth() const { return m_depth; }
    unsigned int get_channel_count() const { return static_cast<unsigned int>(m_curves.size()); }
    // An empty curve, with a warning, for a channel out of range.
    FCurve const& get_curve(unsigned int const& channel) const;

    // The pixel of `value` between the pixels `low` and `high` (high may be below low for an
    // axis growing upwards), `margin` pixels in from both: trunc(low + m + (value − min) ×
    // (high − low − 2m) / (max − min)). A range of 0 puts every value at low + margin.
    static int value_to_pixel(double const& value, double const& min, double const& max, int const& low,
                              int const& high, double const& margin);
    // The inverse: (pixel − low − m) × (max − min) / (high − low − 2m) + min.
    static double pixel_to_value(double const& pixel, double const& min, double const& max, int const& low,
                                 int const& high, double const& margin);
    // `time`, moved 2e-8 beside any other key of the curve (not `id`) lying within 1e-8 of it,
    // on the side key `id` comes from, until no key is that close.
    static double separate_time(FCurve const& curve, FCurveKeyId const& id, double time);
    // A grid step of 1, 2 or 5 times a power of ten whose cells are at least `min_cell`
    // pixels wide; 0 when the span or the pixels are not above 0.
    static double compute_grid_step(double const& span, double const& pixels, double const& min_cell);
    // A grid label: "%g" of the value rounded to the step's precision.
    static CoreString format_value(double const& value, double const& step);

    GuiListButton& get_key_type_button() const { return *m_key_type; }
    GuiListButton& get_pre_behavior_button() const { return *m_pre; }
    GuiListButton& get_post_behavior_button() const { return *m_post; }
    CoreVector<unsigned int> const& get_current_extrapolation_change() const { return m_extrapolation_change; }

    // Sets a behaviour on every editable channel and raises the extrapolation event; false,
    // with a warning, for a behaviour the curves do not know.
    bool set_extrapolation(bool const& pre, FCurve::Behavior const& behavior);

protected:
    // Replaces the curves by copies of the given ones (null: an empty curve); the depth sets
    // how many are expected. False, with a warning and nothing changed, when the count differs.
    bool copy_curves(CoreArray<FCurve const*> const& curves, Gui::ColorDepth const& depth, char const* caller);
    std::vector<FCurve>& get_curves() { return m_curves; }
    // One warning naming the caller when a number is not finite.
    static bool check_finite(char const* caller, std::initializer_list<double> values);
    bool check_channel(unsigned int const& channel, char const* caller) const;

    // Channels a change of behaviour applies to.
    virtual bool is_channel_editable(unsigned int const&) const { return true; }
    virtual CoreString const& get_extrapolation_event() const = 0;
    // The user chose a key type for the selected keys.
    virtual void on_key_type_chosen(FCurveKey::Type const& type) = 0;

    // The list buttons show the first editable curve's behaviours.
    void fill_extrapolation_values();
    // The key type button shows the types of the selected keys: the type when they agree,
    // "(mixed)" when they differ; it is disabled without a selection.
    void fill_key_type_value(CoreVector<FCurveKey::Type> const& types);

private:
    void on_key_type_list(EventObject& sender, EventInfo const& info, void* data);
    void on_behavior_list(EventObject& sender, EventInfo const& info, void* data);

    Gui::ColorDepth m_depth;
    std::vector<FCurve> m_curves;
    GuiListButton* m_key_type = nullptr;
    GuiListButton* m_pre = nullptr;
    GuiListButton* m_post = nullptr;
    CoreVector<unsigned int> m_extrapolation_change;
};
