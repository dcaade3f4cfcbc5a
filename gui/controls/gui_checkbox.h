#pragma once
// GuiCheckbox: a small box with a check mark and a label beside it, holding a boolean value.
// A press anywhere on it flips the value through the virtual set_value and raises
// EVT_ID_CHECKBOX_CLICK; set_value from code raises nothing. The control sizes itself to its
// box and label; keypad Enter moves the focus on to the next widget, as in a form.
//
//     GuiCheckbox* wrap = new GuiCheckbox(*panel, 10, 40, "Wrap lines");
//     wrap->set_value(true);
//     panel->connect(*wrap, EVT_ID_CHECKBOX_CLICK, &MyPanel::on_wrap);
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiFont;
class GuiWidgetDc;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CHECKBOX_CLICK);

class QN_GUI_API GuiCheckbox : public GuiWidget {
    CORE_DECLARE_CLASS(GuiCheckbox, GuiWidget)

public:
    // Side of the box, and the space between the box and the label.
    static constexpr int BOX_SIZE = 13;
    static constexpr int LABEL_GAP = 5;

    // At (x, y), as wide and high as the box and the label need.
    GuiCheckbox(GuiWidget& parent, int const& x, int const& y, CoreString const& label = CoreString());
    ~GuiCheckbox() override;

    // Sets the label and fits the width to it.
    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }

    bool const& get_value() const { return m_value; }
    // When the value changes: stored and redrawn. Raises nothing. The control's own clicks
    // go through here, so a derived class sees every change.
    virtual void set_value(bool const& value);

    bool const& is_hovered() const { return m_hovered; }

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

    // A check mark inside a box of `size` pixels whose top-left corner is (x, y).
    static void draw_check_mark(GuiWidgetDc& dc, int const& x, int const& y, int const& size,
                                GMathVec3<unsigned char> const& color);

private:
    // The box and the label side by side, in the font.
    static GMathVec2<int> get_fitted_size(GuiFont const& font, CoreString const& label);
    void set_hover(bool const& hovered);

    CoreString m_label;
    bool m_value = false;
    bool m_hovered = false;
};
