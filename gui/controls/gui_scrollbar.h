#pragma once
// GuiScrollbar: the scrollbar of scrolling widgets, a trough with a slider and no arrow
// buttons. The owner gives the content length (the range) and reads back the content offset;
// internally the value is the slider's pixel position along the bar. Every change made by the
// user (press in the trough, drag, wheel) and every set_value/set_offset on a shown scrollbar
// raises EVT_ID_SCROLLBAR_VALUE_CHANGED.
//
//     GuiScrollbar* bar = new GuiScrollbar(*view, view_w - 15, 0, 15, view_h);
//     bar->set_range(content_height);
//     view->connect(*bar, EVT_ID_SCROLLBAR_VALUE_CHANGED, &MyView::on_scroll);
//     ...  in on_scroll: m_top = bar->get_offset();
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SCROLLBAR_VALUE_CHANGED);

class QN_GUI_API GuiScrollbar : public GuiWidget {
    CORE_DECLARE_CLASS(GuiScrollbar, GuiWidget)

public:
    enum Orientation : int {
        ORIENTATION_VERTICAL = 0,
        ORIENTATION_HORIZONTAL = 1,
    };
    // "ORIENTATION_VERTICAL", "ORIENTATION_HORIZONTAL"; "ORIENTATION_UNKNOWN" otherwise.
    static char const* get_orientation_name(Orientation const& orientation);

    // The slider is never shorter than this, however long the content.
    static constexpr int MIN_SLIDER_SIZE = 12;

    // Vertical, range 0, value 0.
    GuiScrollbar(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiScrollbar() override;

    void set_orientation(Orientation const& orientation);
    Orientation const& get_orientation() const { return m_orientation; }

    // Content length in pixels. The content offset is kept, as far as the new travel allows;
    // the wheel is set to scroll 80 pixels of content per step. Reports the kept offset like
    // set_offset.
    void set_range(unsigned int const& range);
    unsigned int const& get_range() const { return m_range; }
    // Slider position in pixels from the start of the bar, limited to 0 .. travel.
    void set_value(unsigned int const& value);
    int const& get_value() const { return m_value; }
    // Content offset in pixels, converted from and to the slider position.
    void set_offset(int const& offset);
    int get_offset() const;
    // Pixels of content scrolled per wheel step.
    void set_wheel_factor(unsigned int const& pixels);
    unsigned int get_wheel_factor() const;

    // Length of the bar along its orientation.
    int get_length() const;
    // trunc(length / range × length), at least MIN_SLIDER_SIZE, at most the length.
    int get_slider_button_size() const;
    // Length minus slider size: the largest value.
    int get_travel() const;

    bool const& is_hovered() const { return m_hovered; }
    bool const& is_dragging() const { return m_dragging; }

    // Keeps the content offset across a change of length.
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    bool is_horizontal() const { return m_orientation == ORIENTATION_HORIZONTAL; }
    // The current event's pointer in window coordinates.
    void get_event_position(int& x, int& y) const;
    // The current event's pointer lies over the slider (edges included).
    bool is_event_over_slider() const;
    // Stores a value already limited to 0 .. travel; redraws and reports when shown.
    void apply_value(int const& value);
    void set_hovered(bool const& hovered);

    unsigned int m_range = 0;
    int m_value = 0;
    double m_wheel_factor = 0.0;
    bool m_hovered = false;
    bool m_dragging = false;
    Orientation m_orientation = ORIENTATION_VERTICAL;

    // The last press, shared by all scrollbars since only one can be dragged at a time.
    static int s_press_x;
    static int s_press_y;
    static int s_press_value;
};
