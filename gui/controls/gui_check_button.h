#pragma once
// GuiCheckButton: a button that toggles a boolean value on each press and raises
// EVT_ID_CHECK_BUTTON_CLICK; it shows the value as a pushed face (and its pushed icon, when
// it has one). With the option zone in use, a press on its rightmost
// get_option_button_width() pixels raises EVT_ID_CHECK_OPTION_BUTTON_CLICK and leaves the
// value alone.
//
//     GuiCheckButton* grid = new GuiCheckButton(*toolbar, 4, 2, 50, 20, "Grid");
//     grid->set_value(true);                        // no event
//     toolbar->connect(*grid, EVT_ID_CHECK_BUTTON_CLICK, &MyToolbar::on_grid);
#include "gui/controls/gui_button_base.h"
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CHECK_BUTTON_CLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CHECK_OPTION_BUTTON_CLICK);

class QN_GUI_API GuiCheckButton : public GuiFaceButton {
    CORE_DECLARE_CLASS(GuiCheckButton, GuiFaceButton)

public:
    enum Style : int {
        STYLE_FLAT = 0,    // no face until hovered or checked; an accent line when checked
        STYLE_BUTTON = 1,  // a framed face, sunk when checked
    };
    // "STYLE_FLAT", "STYLE_BUTTON"; "STYLE_UNKNOWN" for other values.
    static char const* get_style_name(Style const& style);

    GuiCheckButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                   CoreString const& label = CoreString());
    ~GuiCheckButton() override;

    // When the value changes: stored, the hover look cleared, redrawn. Raises nothing.
    void set_value(bool const& value);
    bool const& get_value() const { return is_down(); }

    // The pushed icon (a copy; from an icon, its 16-pixel picture) is shown instead of the
    // icon while the value is true; remove_icons removes both.
    using GuiFaceButton::get_pushed_icon;
    using GuiFaceButton::remove_icons;
    using GuiFaceButton::set_pushed_icon;

    void set_style(Style const& style) { set_redrawn(m_style, style); }
    Style const& get_style() const { return m_style; }

    void draw(GuiDc& dc) override;
    void draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                   GMathVec3<unsigned char> const& color) override;

protected:
    // A press toggles the value at once, takes the focus and clicks.
    bool on_press(Source const& source) override;
    void on_option_press() override;

private:
    Style m_style = STYLE_BUTTON;
};
