#pragma once
// GuiPushButton: a button with a label and an optional icon that raises
// EVT_ID_PUSH_BUTTON_CLICK once per click (mouse press and release over it, or Space, Return
// or keypad Enter while it has the focus). A toggle button stays pushed after its click and
// raises EVT_ID_PUSH_BUTTON_UNCLICK on the press that releases it. With the option zone in
// use, a press on the rightmost get_option_button_width() pixels raises
// EVT_ID_PUSH_BUTTON_OPTION_CLICK instead (a menu of variants, for example).
//
//     GuiPushButton* save = new GuiPushButton(*panel, 10, 10, 80, 22, "Save");
//     save->set_icon(GuiResource::save());
//     panel->connect(*save, EVT_ID_PUSH_BUTTON_CLICK, &MyPanel::on_save);
#include "gui/controls/gui_button_base.h"
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_CLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_UNCLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_OPTION_CLICK);

class QN_GUI_API GuiPushButton : public GuiFaceButton {
    CORE_DECLARE_CLASS(GuiPushButton, GuiFaceButton)

public:
    // How the button's face is drawn.
    enum Style : int {
        STYLE_FLAT = 0,       // no face until hovered or pushed (toolbars)
        STYLE_SIMPLE = 2,     // a plain face without frame
        STYLE_BUTTON = 3,     // a raised face in a frame with the button's roundness
        STYLE_ROUND = 4,      // a face in a frame with all corners rounded
        STYLE_ICON_ONLY = 5,  // the icon alone, brighter when hovered, no label
    };
    // "STYLE_FLAT", ...; "STYLE_UNKNOWN" for other values.
    static char const* get_style_name(Style const& style);

    GuiPushButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& label = CoreString());
    ~GuiPushButton() override;

    using GuiButtonBase::get_action;
    using GuiButtonBase::set_action;

    void set_style(Style const& style) { set_redrawn(m_style, style); }
    Style const& get_style() const { return m_style; }
    // Corners rounded by STYLE_BUTTON; all at construction.
    void set_roundness(Roundness const& roundness) { set_redrawn(m_roundness, roundness); }
    Roundness const& get_roundness() const { return m_roundness; }

    // A toggle button stays pushed after its click until it is clicked again.
    void set_toggle(bool const& toggle);
    bool const& is_toggle() const { return m_toggle; }
    // Pushes or releases the button without raising any event (the state of a toggle).
    void set_pushed(bool const& pushed) { set_down(pushed); }
    bool const& is_pushed() const { return is_down(); }

    void draw(GuiDc& dc) override;
    // Draws the icon and the label, laid out by justification and icon position, in the box.
    void draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                   GMathVec3<unsigned char> const& color) override;

protected:
    // A press pushes the button, or releases a pushed toggle; the release over the button
    // clicks.
    bool on_press(Source const& source) override;
    void on_release(Source const& source, bool const& over) override;
    void on_option_press() override;
    bool takes_push_keys() const override { return true; }

private:
    Style m_style = STYLE_BUTTON;
    Roundness m_roundness = ROUNDNESS_ALL;
    bool m_toggle = false;
};
