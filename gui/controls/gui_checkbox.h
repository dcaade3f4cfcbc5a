#pragma once
// GuiCheckbox: a small box with a check mark and a label beside it, holding a boolean value.
// A press anywhere on it flips the value through the virtual set_value and raises
// EVT_ID_CHECKBOX_CLICK; set_value from code raises nothing. The control sizes itself to its
// box and label; keypad Enter moves the focus on to the next widget, as in a form.
//
//     GuiCheckbox* wrap = new GuiCheckbox(*panel, 10, 40, "Wrap lines");
//     wrap->set_value(true);
//     panel->connect(*wrap, EVT_ID_CHECKBOX_CLICK, &MyPanel::on_wrap);
#include "gui/controls/gui_button_base.h"
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiFont;
class GuiWidgetDc;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CHECKBOX_CLICK);

class QN_GUI_API GuiCheckbox : public GuiButtonBase {
    CORE_DECLARE_CLASS(GuiCheckbox, GuiButtonBase)

public:
    // Side of the box, and the space between the box and the label.
    static constexpr int BOX_SIZE = 13;
    static constexpr int LABEL_GAP = 5;

    // At (x, y), as wide and high as the box and the label need.
    GuiCheckbox(GuiWidget& parent, int const& x, int const& y, CoreString const& label = CoreString());
    ~GuiCheckbox() override;

    bool const& get_value() const { return is_down(); }
    // When the value changes: stored and redrawn. Raises nothing. The control's own clicks
    // go through here, so a derived class sees every change.
    virtual void set_value(bool const& value);

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

    // A check mark inside a box of `size` pixels whose top-left corner is (x, y).
    static void draw_check_mark(GuiWidgetDc& dc, int const& x, int const& y, int const& size,
                                GMathVec3<unsigned char> const& color);

protected:
    // A press takes the focus, flips the value through set_value and clicks.
    bool on_press(Source const& source) override;
    // The width follows the label.
    void on_label_change() override;

private:
    // The box and the label side by side, in the font.
    static GMathVec2<int> get_fitted_size(GuiFont const& font, CoreString const& label);
};
