#pragma once
// GuiCurve: a compact editor of one function curve per colour channel (1 to 4), value against
// input, drawn through the widget's dc. Keys show as handles over the curves; a click on a
// curve adds a key there (the curve's value, the default key type), a press on a key selects
// it (Shift adds or removes it) and a drag moves the selected keys, a drag over empty space
// selects the keys inside the rectangle, Delete removes the selected keys and the small
// crosses along the top remove one key each. A curve never loses its last key by a gesture.
// The wheel zooms about the pointer while zoom is enabled.
//
//     GuiCurve* curve = new GuiCurve(*panel, 10, 10, 480, 260, Gui::COLOR_DEPTH_RGB);
//     curve->set_curves(CoreArray<FCurve const*>({&red, &green, &blue}));
//     panel->connect(*curve, EVT_ID_CURVE_KEY_POSITION_CHANGED, &MyPanel::on_keys_moved);
//
// Controls: "Key Type" (the selected keys' type, "(mixed)" when they differ), "Input" and
// "Output" (the first selected key's time and value; an entry moves every selected key by
// the same offset), "Pre Behavior" and "Post Behavior", "Reset zoom", "Fit on Selection" and,
// with several channels, one check button per channel (unchecked: the channel is protected,
// shown dimmed and left alone), "Edit all Channels" and "Link editable Channels". In link
// mode an edit of one channel's keys is copied to the other editable channels.
//
// Every user change is reported by an event; the payload lists tell which keys it concerns.
// Events ending in CHANGING come during a drag or while a field changes, those ending in
// CHANGED once when it ends. Adding or removing keys is reported as
// EVT_ID_CURVE_KEY_VALUE_CHANGED with the added or removed list filled (the others empty).
// In link mode an edit is reported instead by EVT_ID_CURVE_KEY_LINKING during a drag and
// EVT_ID_CURVE_KEY_LINKED otherwise: the cloned list names the edited channel (the source)
// and the channels it was copied to, and the key lists still tell what the edit was.
//
// Picking: drawing rasterises each curve and each key handle into a grid of 4 × 4 pixel
// cells over the curve area. A cell holds the key handle id + 1 (channel × 10000 + key index)
// and, apart, the curve line's channel + 1, so that a key on a curve is told from the curve.
#include <vector>

#include "gui/curve/gui_channel_curves.h"
#include "host/core/core_vector.h"

class GuiCheckButton;
class GuiDc;
class GuiNumberField;
class GuiPushButton;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_VALUE_CHANGING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_VALUE_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_POSITION_CHANGING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_POSITION_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_TYPE_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_EXTRAPOLATION_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_LINKING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CURVE_KEY_LINKED);

// One key of one channel in a payload list.
struct GuiCurveEventInfo {
    unsigned int channel = 0;
    FCurveKeyId key;
    bool operator==(GuiCurveEventInfo const& other) const = default;
};

// A channel whose keys were copied onto another.
struct GuiCurveLinkedEventInfo {
    unsigned int source_channel = 0;
    unsigned int target_channel = 0;
    bool operator==(GuiCurveLinkedEventInfo const& other) const = default;
};

class QN_GUI_API GuiCurve : public GuiChannelCurves {
    CORE_DECLARE_CLASS(GuiCurve, GuiChannelCurves)

public:
    // Key handle ids in the pick grid: channel × KEY_ID_STRIDE + key index.
    static constexpr unsigned int KEY_ID_STRIDE = 10000;
    static constexpr int PICK_CELL = 4;
    // Curve lines are marked this many pixels around each of their pixels.
    static constexpr int PICK_LINE_REACH = 4;
    static constexpr int LABEL_COLUMN_WIDTH = 40;
    // Pixels kept free inside the curve area on every side.
    static constexpr double INNER_MARGIN = 10.0;

    // The state of one key, kept in step with the curve's keys.
    struct KeyState {
        bool selected = false;
        bool mouse_over_remove = false;
        FCurveKeyId id;
        double saved_time = 0.0;
        double saved_value = 0.0;
    };

    // Each channel starts with a smooth curve from (0, 0) to (1, 1).
    GuiCurve(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
             Gui::ColorDepth const& depth);
    ~GuiCurve() override;

    // --- Curves ---
    // Copies of the curves, one per channel (null: an empty curve); the selection is cleared.
    // A count other than the channel count is refused with a warning.
    bool set_curves(CoreArray<FCurve const*> const& curves);
    unsigned int get_key_count(unsigned int const& channel) const;
    double get_key_time(unsigned int const& channel, FCurveKeyId const& id) const;
    double get_key_value(unsigned int const& channel, FCurveKeyId const& id) const;
    FCurveKey::Type get_key_type(unsigned int const& channel, FCurveKeyId const& id) const;
    CoreVector<KeyState> const& get_key_states(unsigned int const& channel) const;

    // Adds a key (refused with a warning for a time or value that is not finite).
    virtual FCurveKeyId add_key(unsigned int const& channel, double const& time, FCurveKey::Type const& type,
                                double const& value);
    // An id the curve does not hold does nothing.
    virtual void remove_key(unsigned int const& channel, FCurveKeyId const& id);
    // Moves a key, 2e-8 beside any key it would land within 1e-8 of, on the side it came from.
    bool set_key_time(unsigned int const& channel, FCurveKeyId const& id, double const& time);
    bool set_key_value(unsigned int const& channel, FCurveKeyId const& id, double const& value);
    bool set_key_type(unsigned int const& channel, FCurveKeyId const& id, FCurveKey::Type const& type);
    // The target channel's keys become copies of the source's (their selection too); the
    // target keeps its behaviours.
    void link_one_curve(unsigned int const& from, unsigned int const& to);

    // --- Selection ---
    bool is_key_selected(unsigned int const& channel, FCurveKeyId const& id) const;
    void select_key(unsigned int const& channel, FCurveKeyId const& id, bool const& selected);
    void clear_selection();
    // Selects every key of the editable channels inside the box (inputs and values).
    void selection_all_key_in_area(double const& xmin, double const& ymin, double const& xmax,
                                   double const& ymax);

    // --- Channels ---
    // An unchecked channel button protects its channel (never with a single channel).
    bool is_protected_channel(unsigned int const& channel) const;
    void set_channel_editable(unsigned int const& channel, bool const& editable);
    void set_all_channels_editable(bool const& editable);
    void set_link_mode(bool const& link);
    bool is_link_mode() const;
    GuiCheckButton* get_channel_button(unsigned int const& channel) const;
    GuiCheckButton* get_edit_all_button() const { return m_edit_all; }
    GuiCheckButton* get_link_button() const { return m_link; }
    GuiNumberField& get_input_field() const { return *m_input; }
    GuiNumberField& get_output_field() const { return *m_output; }
    GuiPushButton& get_reset_zoom_button() const { return *m_reset_zoom; }
    GuiPushButton& get_fit_button() const { return *m_fit; }

    // --- View ---
    // Fits the selected keys (all keys of the editable channels without a selection) with
    // the values the curves take between them.
    virtual void fit_zoom();
    // Back to inputs and values 0 to 1.
    virtual void reset_zoom();
    // A box that is not finite or empty is refused with a warning.
    virtual void set_visible_bbox(double const& xmin, double const& ymin, double const& xmax, double const& ymax);
    double get_xmin() const { return m_xmin; }
    double get_ymin() const { return m_ymin; }
    double get_xrange() const { return m_xmax - m_xmin; }
    double get_yrange() const { return m_ymax - m_ymin; }
    void set_enable_zoom(bool const& enable) { m_enable_zoom = enable; }
    bool const& is_zoom_enabled() const { return m_enable_zoom; }
    // With a constraint, edited times and values stay inside the visible box on that side.
    void set_contraint_on_min_values(bool const& on) { m_constraint_min = on; }
    void set_contraint_on_max_values(bool const& on) { m_constraint_max = on; }
    double clip_time(double const& time) const;
    void clip_time_and_value(double& time, double& value) const;

    // --- Mapping (window pixels) ---
    int time_to_pixel(double const& time) const;
    int value_to_pixel_y(double const& value) const;
    double pixel_to_time(double const& x) const;
    double pixel_to_value_y(double const& y) const;

    // --- Areas ---
    virtual int get_pos_curve_left() const;
    virtual int get_pos_curve_right() const;
    virtual int get_pos_curve_up() const;
    virtual int get_pos_curve_down() const;
    // The row of the remove handles.
    virtual int get_pos_y_remove() const;

    // --- Picking ---
    // Rasterises the curves and key handles into the pick grid (drawing does it too).
    void update_pick_buffer();
    // The key handle (channel and key index) or else the curve line (key -1) under the window
    // pixel; false over nothing, outside the grid, or on a protected channel.
    virtual bool compute_selection(int const& x, int const& y, CoreString const& event, unsigned int& channel,
                                   int& key);

    // --- Payloads of the last event ---
    CoreVector<GuiCurveEventInfo> const& get_current_key_added() const { return m_added; }
    CoreVector<GuiCurveEventInfo> const& get_current_key_change() const { return m_changed; }
    CoreVector<GuiCurveEventInfo> const& get_current_key_removed() const { return m_removed; }
    CoreVector<GuiCurveEventInfo> const& get_current_key_type_changed() const { return m_type_changed; }
    CoreVector<GuiCurveLinkedEventInfo> const& get_current_curve_cloned() const { return m_cloned; }

    // --- Hooks ---
    virtual void selection_changed() {}
    virtual void channel_display_changed() {}
    virtual void on_size_mode_change();

    void draw(GuiDc& dc) override;
    int process_event(CoreString const& name) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;

protected:
    bool is_channel_editable(unsigned int const& channel) const override { return !is_protected_channel(channel); }
    CoreString const& get_extrapolation_event() const override { return EVT_ID_CURVE_EXTRAPOLATION_CHANGED; }
    void on_key_type_chosen(FCurveKey::Type const& type) override;

private:
    enum class Drag { NONE, KEYS, AREA };

    void layout_controls();
    void rebuild_key_states(unsigned int const& channel);
    void clear_payloads();
    // The controls show the selection and the view.
    void fill_ui_values();
    void save_all_keys_time_and_value();
    void remove_selected_keys();
    // The channel's keys go to the other editable channels; LINKING or LINKED is raised.
    void link_curves(unsigned int const& channel, bool const& during_drag);
    // Applies the mouse offset from the press to the selected keys.
    void move_selected_keys(int const& mouse_x, int const& mouse_y);
    // Moves each selected key of the editable channels to the time and value `place` makes
    // of its saved ones, clipped, its time kept apart from its neighbours; only the
    // coordinates asked for are written. The keys moved are listed as changed.
    template <class Place>
    void place_selected_keys(bool const& set_time, bool const& set_value, Place const& place);
    bool on_mouse_down(int const& x, int const& y);
    void on_mouse_drag(int const& x, int const& y);
    void on_mouse_up(int const& x, int const& y);
    // The key whose remove handle is at the pixel; false if none.
    bool find_remove_handle(int const& x, int const& y, unsigned int& channel, FCurveKeyId& id) const;
    void on_channel_button(EventObject& sender, EventInfo const& info, void* data);
    void on_edit_all(EventObject& sender, EventInfo const& info, void* data);
    void on_zoom_button(EventObject& sender, EventInfo const& info, void* data);
    void on_field(EventObject& sender, EventInfo const& info, void* data);
    void channels_changed();
    // Marks a cell's layer: keys or curves.
    void mark_cell(std::vector<unsigned int>& layer, int const& px, int const& py, unsigned int const& value);
    void rasterise_line(int x0, int y0, int const& x1, int const& y1, unsigned int const& value);
    void draw_channel(GuiDc& dc, unsigned int const& channel);

    std::vector<CoreVector<KeyState>> m_states;
    double m_xmin = 0.0, m_ymin = 0.0, m_xmax = 1.0, m_ymax = 1.0;
    bool m_constraint_min = false, m_constraint_max = false;
    bool m_enable_zoom = true;

    GuiNumberField* m_input = nullptr;
    GuiNumberField* m_output = nullptr;
    GuiPushButton* m_reset_zoom = nullptr;
    GuiPushButton* m_fit = nullptr;
    std::vector<GuiCheckButton*> m_channel_buttons;
    GuiCheckButton* m_edit_all = nullptr;
    GuiCheckButton* m_link = nullptr;
    // Drawing order: the channel drawn last (on top) last.
    std::vector<unsigned int> m_draw_order;

    // The pick grid: cells of PICK_CELL pixels from the curve area's top-left corner.
    int m_pick_columns = 0, m_pick_rows = 0, m_pick_left = 0, m_pick_top = 0;
    std::vector<unsigned int> m_pick_keys;
    std::vector<unsigned int> m_pick_curves;

    Drag m_drag = Drag::NONE;
    bool m_moved_time = false, m_moved_value = false;
    int m_press_x = 0, m_press_y = 0, m_mouse_x = 0, m_mouse_y = 0;
    // A field edit in progress: the first selected key's saved time and value.
    bool m_field_editing = false;

    CoreVector<GuiCurveEventInfo> m_added;
    CoreVector<GuiCurveEventInfo> m_changed;
    CoreVector<GuiCurveEventInfo> m_removed;
    CoreVector<GuiCurveEventInfo> m_type_changed;
    CoreVector<GuiCurveLinkedEventInfo> m_cloned;
};
