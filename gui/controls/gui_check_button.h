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
#include <memory>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"

class GuiIcon;
class GuiImage;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CHECK_BUTTON_CLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_CHECK_OPTION_BUTTON_CLICK);

class QN_GUI_API GuiCheckButton : public GuiWidget {
    CORE_DECLARE_CLASS(GuiCheckButton, GuiWidget)

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

    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }

    // When the value changes: stored, the hover look cleared, redrawn. Raises nothing.
    void set_value(bool const& value);
    bool const& get_value() const { return m_value; }

    // The icon is a copy of the image; from an icon, its 16-pixel picture. The pushed icon
    // is shown instead while the value is true.
    void set_icon(GuiImage const& image);
    void set_icon(GuiIcon const& icon);
    void set_pushed_icon(GuiImage const& image);
    void set_pushed_icon(GuiIcon const& icon);
    void remove_icons();
    // Null when not set.
    GuiImage const* get_icon() const { return m_icon.get(); }
    GuiImage const* get_pushed_icon() const { return m_pushed_icon.get(); }
    void set_justification(Justify const& justify);
    Justify const& get_justification() const { return m_justification; }
    // Which side of the label the icon takes.
    void set_icon_position(IconPosition const& position);
    IconPosition const& get_icon_position() const { return m_icon_position; }

    void set_style(Style const& style);
    Style const& get_style() const { return m_style; }
    bool const& is_hovered() const { return m_hovered; }
    bool const& is_option_hovered() const { return m_option_hovered; }

    void set_use_option(bool const& use);
    bool const& is_use_option() const { return m_use_option; }
    // GuiPushButton::OPTION_ZONE_WIDTH when the option zone is in use, else 0.
    int get_option_button_width() const;

    // The same rule as GuiPushButton::get_content_size, with the icon (or, without one, the
    // pushed icon).
    void get_content_size(int& w, int& h);

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    bool is_event_in_option_zone() const;
    void set_hover(bool const& hovered, bool const& option_hovered);
    GuiImage const* get_shown_icon() const;

    CoreString m_label;
    std::unique_ptr<GuiImage> m_icon;
    std::unique_ptr<GuiImage> m_pushed_icon;
    Justify m_justification = JUSTIFY_CENTER;
    IconPosition m_icon_position = ICON_POSITION_LEFT;
    Style m_style = STYLE_BUTTON;
    bool m_value = false;
    bool m_hovered = false;
    bool m_option_hovered = false;
    bool m_use_option = false;
};
