#pragma once
// GuiGradient: a colour gradient editor. The gradient is one function curve per colour
// channel (1 to 4, from a Gui::ColorDepth) whose keys share their ids and positions; it is
// drawn as a ramp by evaluating every channel across the displayed range, with a handle per
// key in the colour row under the ramp and a remove cross per key under that.
//
//     GuiGradient* gradient = new GuiGradient(*panel, 10, 10, 420, 180, Gui::COLOR_DEPTH_RGBA);
//     FCurveKeyId mid = gradient->add_key(0.5, FCurveKey::TYPE_LINEAR, 1.0, 0.5, 0.0, 1.0);
//     panel->connect(*gradient, EVT_ID_GRADIENT_KEY_POSITION_CHANGED, &MyPanel::on_moved);
//
// A press on a handle selects its key (Shift adds or removes it) and a drag moves the
// selected keys; a click on the ramp adds a key there with the colour the gradient has at
// that place; Delete, or a click on a key's cross, removes keys, never the last one.
// Controls: "Key Value" (the first selected key's colour, with the colour dialog), "Key
// Parameter" (its position; an entry moves every selected key by the same offset), "Key
// Type", "Pre Behavior", "Post Behavior", "Displayed min" and "Displayed max" (the range the
// ramp shows), "Fit All Keys" and "Fit on Selection".
//
// Every user change raises an event; the payload lists name the keys concerned. Events
// ending in CHANGING come during a drag or while a field changes, those ending in CHANGED
// once when it ends.
#include <utility>
#include <vector>

#include "gui/color/gui_color_field.h"
#include "gui/curve/gui_channel_curves.h"
#include "host/core/core_vector.h"

class GuiNumberField;
class GuiPushButton;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_ADDED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_REMOVED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_POSITION_CHANGING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_POSITION_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_VALUE_CHANGING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_VALUE_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_KEY_TYPE_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_GRADIENT_EXTRAPOLATION_CHANGED);

// The horizontal colour field of a gradient key: it shows the key's channel values as a
// colour and gives them back, by colour depth: a grey channel shows as grey and is edited
// through the first component alone (the other two are hidden), alpha is the field's alpha
// (an alpha-only gradient shows its alpha as grey).
class QN_GUI_API GuiGradientHorizontalColorField : public GuiHorizontalColorField {
    CORE_DECLARE_CLASS(GuiGradientHorizontalColorField, GuiHorizontalColorField)

public:
    GuiGradientHorizontalColorField(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                                    CoreString const& label, Gui::ColorDepth const& depth);
    void set_color_depth(Gui::ColorDepth const& depth);
    Gui::ColorDepth const& get_color_depth() const { return m_depth; }
    // Shows the channel values (as many as the depth has).
    void set_components(double const* values);
    // The value of a channel in the shown colour: a grey channel is the first component.
    double get_component(unsigned int const& channel) const;

private:
    Gui::ColorDepth m_depth;
};

class QN_GUI_API GuiGradient : public GuiChannelCurves {
    CORE_DECLARE_CLASS(GuiGradient, GuiChannelCurves)

public:
    static constexpr double INNER_MARGIN = 6.0;
    // Half the width of a key handle, which a press hits.
    static constexpr int HANDLE_HALF = 5;

    enum KeyFlag : unsigned int { KEY_FLAG_SELECTED = 1, KEY_FLAG_MOUSE_OVER_REMOVE = 2 };
    struct KeyState {
        unsigned int flags = 0;
        FCurveKeyId id;
    };

    // Starts with two keys: position 0 with every colour channel at 0 and position 1 with
    // every colour channel at 1 (alpha 1 at both).
    GuiGradient(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                Gui::ColorDepth const& depth);
    ~GuiGradient() override;

    // Copies of the curves, one per channel, which must share their key ids and times (else
    // refused with a warning). The selection goes to the first key.
    bool set_curves(CoreArray<FCurve const*> const& curves);
    bool set_curves(CoreArray<FCurve const*> const& curves, Gui::ColorDepth const& depth);

    // A key at `position` on every channel curve, channel i taking component ci (components
    // past the channel count are ignored). Refused with a warning for numbers that are not
    // finite.
    virtual FCurveKeyId add_key(double const& position, FCurveKey::Type const& type, double const& c0,
                                double const& c1 = 0.0, double const& c2 = 0.0, double const& c3 = 0.0);
    // Removes the key from every channel; an id the gradient does not hold does nothing.
    virtual void remove_key(FCurveKeyId const& id);
    // Removes the selected keys but never the last key; the key before the first removed one
    // (the first key when that was the first) becomes the only selection. Raises
    // EVT_ID_GRADIENT_KEY_REMOVED when keys went.
    void remove_selected_keys();
    // Moves the key on every channel, 2e-8 beside any key it would land within 1e-8 of.
    bool set_keys_position(FCurveKeyId const& id, double const& position);
    bool set_key_value(FCurveKeyId const& id, double const& value, unsigned int const& channel);
    bool set_keys_type(FCurveKeyId const& id, FCurveKey::Type const& type);

    // The key of one channel; false, with nothing set, for an unknown id or channel.
    bool get_key(FCurveKeyId const& id, unsigned int const& channel, FCurveKey& key) const;
    unsigned int get_key_count() const;
    FCurveKeyId get_key_id_by_index(unsigned int const& index) const;
    // -1 for an id the gradient does not hold.
    int get_key_index_by_id(FCurveKeyId const& id) const;
    double get_keys_position(FCurveKeyId const& id) const;
    FCurveKey::Type get_keys_type(FCurveKeyId const& id) const;
    // The channels' values at a position (unused channels 0).
    GMathVec4<double> eval(double const& position) const;

    // --- Selection ---
    CoreVector<KeyState> const& get_key_states() const { return m_states; }
    bool is_key_selected(FCurveKeyId const& id) const;
    void select_key(FCurveKeyId const& id, bool const& selected);
    void clear_selection();

    // --- View ---
    // The range of all keys (or of the selected ones), with a little room on each side.
    void fit_zoom(bool const& all);
    void fit_selection_zoom();
    // A range that is not finite or whose min is not below its max is refused with a warning.
    virtual void set_visible_bbox(double const& min, double const& max);
    double const& get_displayed_min() const { return m_min; }
    double const& get_displayed_max() const { return m_max; }
    int position_to_pixel(double const& position) const;
    double pixel_to_position(double const& x) const;

    // --- Areas ---
    virtual int get_pos_gradient_left() const;
    virtual int get_pos_gradient_right() const;
    virtual int get_pos_gradient_up() const;
    virtual int get_pos_gradient_down() const;
    // The centre rows of the key handles and of the remove crosses.
    virtual int get_pos_y_color() const;
    virtual int get_pos_y_remove() const;

    // The key whose handle (or the ramp column) is under the window pixel; invalid when none.
    virtual FCurveKeyId compute_selection(int const& x, int const& y, CoreString const& event);
    virtual void selection_changed() {}
    virtual void set_color_dialog_title(CoreString const& title);

    GuiGradientHorizontalColorField& get_value_field() const { return *m_value_field; }
    GuiNumberField& get_position_field() const { return *m_position_field; }
    GuiNumberField& get_min_field() const { return *m_min_field; }
    GuiNumberField& get_max_field() const { return *m_max_field; }
    GuiPushButton& get_fit_all_button() const { return *m_fit_all; }
    GuiPushButton& get_fit_selection_button() const { return *m_fit_selection; }

    // --- Payloads of the last event ---
    CoreVector<FCurveKeyId> const& get_current_key_added() const { return m_added; }
    CoreVector<FCurveKeyId> const& get_current_key_position_changed() const { return m_position_changed; }
    CoreVector<FCurveKeyId> const& get_current_key_position_changing() const { return m_position_changing; }
    CoreVector<FCurveKeyId> const& get_current_key_type_changed() const { return m_type_changed; }
    CoreVector<FCurveKeyId> const& get_current_key_value_changed() const { return m_value_changed; }
    CoreVector<FCurveKeyId> const& get_current_key_removed() const { return m_removed; }

    void draw(GuiDc& dc) override;
    int process_event(CoreString const& name) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;

protected:
    CoreString const& get_extrapolation_event() const override { return EVT_ID_GRADIENT_EXTRAPOLATION_CHANGED; }
    void on_key_type_chosen(FCurveKey::Type const& type) override;

private:
    // Rows of controls under the remove row: three, or four when the widget is narrow.
    int get_control_rows() const;
    void layout_controls();
    // The records follow the keys of the first channel, keeping their flags by id.
    void rebuild_key_states();
    // The curves share their key ids and times.
    static bool check_shared_keys(CoreArray<FCurve const*> const& curves);
    void fill_ui_values();
    void remove_keys(CoreVector<FCurveKeyId> const& ids);
    CoreVector<FCurveKeyId> get_selected_keys() const;
    void save_positions();
    void move_selected_keys(int const& mouse_x, bool const& ended);
    bool on_mouse_down(int const& x, int const& y);
    FCurveKeyId find_remove_handle(int const& x, int const& y) const;
    void on_value_field(EventObject& sender, EventInfo const& info, void* data);
    void on_position_field(EventObject& sender, EventInfo const& info, void* data);
    void on_range_field(EventObject& sender, EventInfo const& info, void* data);
    void on_fit_button(EventObject& sender, EventInfo const& info, void* data);
    // The colour a set of channel values shows as, and its opacity.
    GMathVec4<double> to_display(GMathVec4<double> const& values) const;

    CoreVector<KeyState> m_states;
    double m_min = 0.0, m_max = 1.0;
    GuiGradientHorizontalColorField* m_value_field = nullptr;
    GuiNumberField* m_position_field = nullptr;
    GuiNumberField* m_min_field = nullptr;
    GuiNumberField* m_max_field = nullptr;
    GuiPushButton* m_fit_all = nullptr;
    GuiPushButton* m_fit_selection = nullptr;

    bool m_dragging = false, m_moved = false;
    bool m_field_editing = false;
    int m_press_x = 0;
    // The selected keys and their positions when the drag or the field edit started.
    std::vector<std::pair<FCurveKeyId, double>> m_saved_positions;

    CoreVector<FCurveKeyId> m_added;
    CoreVector<FCurveKeyId> m_position_changed;
    CoreVector<FCurveKeyId> m_position_changing;
    CoreVector<FCurveKeyId> m_type_changed;
    CoreVector<FCurveKeyId> m_value_changed;
    CoreVector<FCurveKeyId> m_removed;
};
