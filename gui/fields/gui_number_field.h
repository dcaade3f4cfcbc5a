#pragma once
// GuiNumberField: a number edit with a drag handle at its left, a label and an optional
// slider, laid out in that order. Dragging the handle changes the value with the mouse;
// typing in the edit, moving the slider and dragging all keep the three in step and
// report through the field's events.
//
//     GuiNumberField* radius = new GuiNumberField(*panel, 10, 10, 240, 20, "Radius");
//     radius->set_unit_type("distance");
//     radius->set_range(0.0, 100.0);
//     radius->enable_range(true);
//     radius->show_slider(true);
//     panel->connect(*radius, EVT_ID_NUMBER_FIELD_VALUE_CHANGED, &MyPanel::on_radius);
//
// Dragging the handle (the 18 pixels at the field's left): each pixel right or up adds one
// increment, left or down takes one away. The increment is the one of the digit left of the
// edit's caret when there is one (get_user_increment), else the field's (set_increment).
// While dragging, Shift makes each pixel count ten increments and Ctrl a tenth of one. With
// a mouse the pointer is hidden and kept at the place the drag started, so that a drag never
// meets the screen's edge; Escape puts the start value back and ends the drag.
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "gui/fields/gui_number_edit.h"

// The value changes during a drag or a slider move.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NUMBER_FIELD_VALUE_CHANGING);
// A change ended: a drag released on another value, a slider released, an entry typed.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NUMBER_FIELD_VALUE_CHANGED);
// An entry was validated unchanged (Return or Enter on the same text).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NUMBER_FIELD_VALUE_VALIDATE);
// The edit's context menu was shown, or one of its entries chosen (event data: the
// GuiMenuItem).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NUMBER_FIELD_MENU_SHOW);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NUMBER_FIELD_MENU_ITEM_SELECTED);

class GuiSlider;

class QN_GUI_API GuiNumberField : public GuiWidget {
    CORE_DECLARE_CLASS(GuiNumberField, GuiWidget)

public:
    // Width of the drag handle at the field's left.
    static constexpr int HANDLE_WIDTH = 18;

    GuiNumberField(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                   CoreString const& label = CoreString());
    ~GuiNumberField() override;

    GuiNumberEdit& get_edit() const { return *m_edit; }
    // The slider once show_slider made it; null before.
    GuiSlider* get_slider() const { return m_slider; }

    // --- Value (see GuiNumberEdit) ---
    void set_value(double const& value, bool const& reset_expression = true);
    double const& get_value() const;
    double get_value_with_precision() const;
    CoreString const& get_text() const;
    char const& get_expression_operator() const;
    double const& get_expression_value() const;

    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }
    // Moves the label right by `offset` pixels (left when negative).
    void set_offset_position_text(int const& offset);

    // The field's range: it bounds typed, dragged and slid values.
    void set_range(double const& min, double const& max);
    void get_range(double& min, double& max) const;
    void enable_range(bool const& enable);
    bool const& is_range_enabled() const;

    // --- Slider ---
    void show_slider(bool const& on);
    bool is_slider_shown() const;
    // The slider's own range, used while enabled (or while the field has no range); else the
    // slider spans the field's range. Values beyond it put the knob at the nearer end.
    void set_slider_range(double const& min, double const& max);
    void get_slider_range(double& min, double& max) const;
    void enable_slider_range(bool const& enable);
    bool const& is_slider_range_enabled() const { return m_slider_range_enabled; }

    // --- Increments ---
    // The step of a drag pixel when the caret gives none; a step that is not a finite number
    // above 0 is refused with a warning.
    void set_increment(double const& increment);
    double const& get_increment() const { return m_increment; }
    // Saves the current increment (one level) and uses `increment` until pop_increment.
    void push_increment(double const& increment);
    // Puts the saved increment back; nothing when none was pushed.
    void pop_increment();
    // A round step (1, 2, 2.5, 5 or 7.5 times a power of ten, at most 1) for the magnitude
    // of value / reference (a reference of 0 counts as 1).
    static double get_smart_increment(double const& value, double const& reference);
    // The increment of the digit just left of the edit's caret, in the base unit; -1 when the
    // caret gives none (no caret, a caret outside the number, a relative entry).
    double get_user_increment() const;

    // --- Forwarded to the edit ---
    void set_float_precision(unsigned int const& precision);
    unsigned int const& get_float_precision() const;
    void set_format(GuiNumberEdit::Format const& format);
    void set_display_format(GuiNumberEdit::Format const& format);
    void set_unit_type(CoreString const& type);
    void set_force_unit_system(CoreString const& system);
    void set_force_unit_base(CoreString const& base);
    void set_force_unit_format(CoreString const& format);
    void select_text();
    void deselect_text();
    // A read-only field passes every event on: no typing, dragging or sliding.
    void set_read_only(bool const& read_only);
    bool const& is_read_only() const;
    // Which corners of the field's frame are rounded; the edit is drawn round when any is.
    void set_roundness(Roundness const& roundness);
    Roundness const& get_roundness() const { return m_roundness; }

    // Places the handle, the label, the edit and the slider in the field's box.
    void update_size_and_position_components();

    bool const& is_dragging() const { return m_dragging; }
    bool const& is_handle_hovered() const { return m_handle_hovered; }
    // The drag handle's box in window coordinates.
    void get_handle_region(int& x, int& y, int& w, int& h) const;

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;

protected:
    // Raise EVT_ID_NUMBER_FIELD_VALUE_CHANGING and ..._CHANGED; subclasses add their own work.
    virtual void on_value_changing();
    virtual void on_value_changed();

private:
    // Drag steps; each returns whether the event was consumed.
    bool on_drag_start();
    void on_drag_move();
    void on_drag_end();
    void on_drag_cancel();
    // Stops dragging: pointer back and shown, the pushed increment popped.
    void finish_drag();
    // The current event's pointer in screen pixels.
    void get_event_screen_position(int& x, int& y) const;
    void set_value_from_drag(double const& value);
    void update_slider();
    int get_label_width();

    void on_edit_changed(GuiLineEdit& edit, EventInfo const& info, void* data);
    void on_edit_validate(GuiLineEdit& edit, EventInfo const& info, void* data);
    void on_edit_menu_show(GuiLineEdit& edit, EventInfo const& info, void* data);
    void on_edit_menu_item_selected(GuiLineEdit& edit, EventInfo const& info, void* data);
    void on_slider_changing(GuiSlider& slider, EventInfo const& info, void* data);
    void on_slider_changed(GuiSlider& slider, EventInfo const& info, void* data);

    GuiNumberEdit* m_edit = nullptr;
    GuiSlider* m_slider = nullptr;
    CoreString m_label;
    int m_label_offset = 0;
    bool m_slider_range_enabled = false;
    double m_slider_min = 0.0;
    double m_slider_max = 1.0;
    double m_increment = 0.1;
    double m_saved_increment = 0.1;
    bool m_increment_pushed = false;
    bool m_handle_hovered = false;
    bool m_dragging = false;
    Roundness m_roundness = ROUNDNESS_NONE;
    Gui::MouseCursorId m_cursor_before_drag = Gui::MOUSE_CURSOR_DEFAULT;

    // One drag at a time in the process: where the pointer started (screen pixels), the value
    // then, and the last value reported by a changing event.
    struct DragState {
        int start_x = 0;
        int start_y = 0;
        double start_value = 0.0;
        double last_value = 0.0;
    };
    static DragState s_drag;
};
