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
#include <memory>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiAction;
class GuiIcon;
class GuiImage;
class GuiWidgetDc;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_CLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_UNCLICK);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_PUSH_BUTTON_OPTION_CLICK);

class QN_GUI_API GuiPushButton : public GuiWidget {
    CORE_DECLARE_CLASS(GuiPushButton, GuiWidget)

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

    // Width of the option zone when a control uses one.
    static constexpr int OPTION_ZONE_WIDTH = 10;

    GuiPushButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& label = CoreString());
    ~GuiPushButton() override;

    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }

    // The icon is a copy of the image; from an icon, its 16-pixel picture.
    void set_icon(GuiImage const& image);
    void set_icon(GuiIcon const& icon);
    void remove_icon();
    // Null without icon.
    GuiImage const* get_icon() const { return m_icon.get(); }
    void set_icon_position(IconPosition const& position);
    IconPosition const& get_icon_position() const { return m_icon_position; }
    void set_justification(Justify const& justify);
    Justify const& get_justification() const { return m_justification; }

    // Binds an action (not owned; null unbinds): a click runs it, when enabled, for the
    // action's widget instead of raising EVT_ID_PUSH_BUTTON_CLICK. The tooltip becomes the
    // action's (or the button's own when the action has none) followed by " (Ctrl+S)" when
    // the action has a shortcut.
    void set_action(GuiAction* action);
    GuiAction* get_action() const { return m_action; }
    // The button's own tooltip; shown as is while no action is bound.
    void set_tooltip(CoreString const& tooltip) override;

    void set_style(Style const& style);
    Style const& get_style() const { return m_style; }
    // Corners rounded by STYLE_BUTTON; all at construction.
    void set_roundness(Roundness const& roundness);
    Roundness const& get_roundness() const { return m_roundness; }

    // A toggle button stays pushed after its click until it is clicked again.
    void set_toggle(bool const& toggle);
    bool const& is_toggle() const { return m_toggle; }
    // Pushes or releases the button without raising any event (the state of a toggle).
    void set_pushed(bool const& pushed);
    bool const& is_pushed() const { return m_pushed; }
    bool const& is_hovered() const { return m_hovered; }
    bool const& is_option_hovered() const { return m_option_hovered; }

    void set_use_option(bool const& use);
    bool const& is_use_option() const { return m_use_option; }
    // OPTION_ZONE_WIDTH when the option zone is in use, else 0.
    int get_option_button_width() const { return m_use_option ? OPTION_ZONE_WIDTH : 0; }

    // The size the label and icon need: icon width + label width + 10 with a label (2
    // without) + the option zone; icon height + label height.
    void get_content_size(int& w, int& h);

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    // Draws the icon and the label, laid out by justification and icon position, in the box.
    virtual void draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                           GMathVec3<unsigned char> const& color);

    // The small downward arrow of an option zone, centred in the box.
    static void draw_option_arrow(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                                  GMathVec3<unsigned char> const& color);
    // Draws the icon (may be null) and the label in the box. The pair is centred, or set
    // against the box's left or right edge with `padding` pixels, with `gap` pixels between
    // them when both are there.
    static void draw_icon_and_label(GuiWidgetDc& dc, GuiImage const* icon, CoreString const& label,
                                    int const& x, int const& y, int const& w, int const& h,
                                    GMathVec3<unsigned char> const& color, Justify const& justify,
                                    IconPosition const& position, bool const& enabled,
                                    bool const& highlighted);

private:
    // The pointer of the current event lies in the option zone.
    bool is_event_in_option_zone() const;
    // The pointer of the current event lies over the button.
    bool is_event_inside() const;
    // Every click, by mouse or key, ends here: runs the action or raises
    // EVT_ID_PUSH_BUTTON_CLICK.
    void fire_click();
    // Keys that push a focused button.
    static bool is_push_key(int const& key);
    void set_hover(bool const& hovered, bool const& option_hovered);
    // The tooltip shown: the own one, or the action's with its shortcut.
    void update_tooltip();

    CoreString m_label;
    CoreString m_own_tooltip;
    GuiAction* m_action = nullptr;
    std::unique_ptr<GuiImage> m_icon;
    IconPosition m_icon_position = ICON_POSITION_LEFT;
    Justify m_justification = JUSTIFY_CENTER;
    Style m_style = STYLE_BUTTON;
    Roundness m_roundness = ROUNDNESS_ALL;
    bool m_pushed = false;
    bool m_hovered = false;
    bool m_option_hovered = false;
    bool m_toggle = false;
    bool m_use_option = false;
    // The current mouse press pushed the button: its release decides the click.
    bool m_mouse_pressing = false;
    // The push key being held (0: none); repeats of it are ignored.
    int m_held_key = 0;
    // The press of the held key pushed the button: its release clicks.
    bool m_key_pressing = false;
};
