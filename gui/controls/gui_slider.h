#pragma once
// GuiSlider: a horizontal value slider, a groove with a small knob that is clicked, dragged
// or turned with the wheel. It raises EVT_ID_SLIDER_VALUE_CHANGING while the knob follows the
// mouse and EVT_ID_SLIDER_VALUE_CHANGED when the mouse is released on a new value and on each
// wheel step. A TYPE_INTEGER slider holds whole numbers only.
//
//     GuiSlider* opacity = new GuiSlider(*panel, 10, 10, 120, 18, GuiSlider::TYPE_REAL);
//     opacity->set_value(0.5);                      // no event
//     panel->connect(*opacity, EVT_ID_SLIDER_VALUE_CHANGED, &MyPanel::on_opacity);
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SLIDER_VALUE_CHANGING);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SLIDER_VALUE_CHANGED);

class QN_GUI_API GuiSlider : public GuiWidget {
    CORE_DECLARE_CLASS(GuiSlider, GuiWidget)

public:
    enum Type : int {
        TYPE_INTEGER = 0,  // every stored value is rounded half away from zero
        TYPE_REAL = 1,
    };
    // "TYPE_INTEGER", "TYPE_REAL"; "TYPE_UNKNOWN" otherwise.
    static char const* get_type_name(Type const& type);

    GuiSlider(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, Type const& type);
    ~GuiSlider() override;

    Type const& get_type() const { return m_type; }

    // Rounded for TYPE_INTEGER, stored without clamping (a value outside the range puts the
    // knob at the nearer end); no event.
    virtual void set_min_value(double const& value);
    virtual void set_max_value(double const& value);
    virtual void set_value(double const& value);
    double const& get_min_value() const { return m_min_value; }
    double const& get_max_value() const { return m_max_value; }
    double const& get_value() const { return m_value; }

    // The wheel changes the value by a tenth of the range per step; off by default, the wheel
    // then goes on to the parent.
    void enable_used_wheel(bool const& enable);
    bool const& is_used_wheel() const { return m_wheel_enabled; }
    bool const& is_mouse_over() const { return m_hovered; }

    // The value under window x: the track runs from x + 3 to x + width - 4.
    double get_value_at(int const& window_x) const;
    // Window x of the knob's centre for the current value.
    int get_knob_center() const;

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    // The value as stored: rounded half away from zero for TYPE_INTEGER.
    double to_type(double const& value) const;

    double m_min_value = 0.0;
    double m_max_value = 1.0;
    double m_value = 0.0;
    bool m_hovered = false;
    bool m_wheel_enabled = false;
    Type m_type;

    // The value at the last press, to tell whether a release ends on a change.
    static double s_press_value;
};
