#pragma once
// GuiButtonBase: what every clickable control shares — the label, the hover flags, the
// option zone at the right end, the down state (a pushed, checked or open button), presses
// and releases by the mouse and by Space, Return or keypad Enter while focused, the bound
// action, and focus changes raised again on the control. It passes every event to the
// widget's own handling while disabled. Subclasses decide what a press and its release do
// (on_press, on_release, on_option_press) and draw.
#include <memory>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiAction;
class GuiIcon;
class GuiImage;
class GuiWidgetDc;

class QN_GUI_API GuiButtonBase : public GuiWidget {
    CORE_DECLARE_CLASS(GuiButtonBase, GuiWidget)

public:
    // Width of the option zone when a control uses one.
    static constexpr int OPTION_ZONE_WIDTH = 10;

    ~GuiButtonBase() override;

    void set_label(CoreString const& label);
    CoreString const& get_label() const { return m_label; }

    bool const& is_hovered() const { return m_hovered; }

    // The button's own tooltip; shown as is while no action is bound.
    void set_tooltip(CoreString const& tooltip) override;

    int process_event(CoreString const& name) override;

protected:
    // Where a press comes from.
    enum Source { SOURCE_MOUSE, SOURCE_KEY };

    GuiButtonBase(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& label);

    // A press outside the option zone: by the mouse, or by a push key while focused when
    // takes_push_keys. Returns true to hold the press: its release then comes to on_release.
    virtual bool on_press(Source const& source);
    // The release of a held press. `over` is false when the mouse was released off the
    // button or the focus left while the key was held: the press is cancelled.
    virtual void on_release(Source const& source, bool const& over);
    // A mouse press in the option zone; its release does nothing.
    virtual void on_option_press() {}
    // Space, Return and keypad Enter press the focused button; a held key's repeats are
    // ignored. Without them the keys go on to the widget's own handling.
    virtual bool takes_push_keys() const { return false; }
    // After set_label changed the label.
    virtual void on_label_change() {}

    // The down state: a pushed push button, a checked check button or checkbox, a menu
    // button with its menu open. Stored and redrawn when it changes; true when it did.
    bool const& is_down() const { return m_down; }
    bool set_down(bool const& down);
    // A press that waits for its release.
    bool is_press_held() const { return m_mouse_held || m_key_held; }

    void set_hover(bool const& hovered, bool const& option_hovered);
    bool const& is_option_hovered() const { return m_option_hovered; }
    // The hover looks to draw: a disabled control gets no leave event, so its last hover
    // must not show.
    bool shows_hover() const { return m_hovered && is_enabled(); }
    bool shows_option_hover() const { return m_option_hovered && is_enabled(); }

    void set_use_option(bool const& use);
    bool const& is_use_option() const { return m_use_option; }
    // OPTION_ZONE_WIDTH when the option zone is in use, else 0.
    int get_option_button_width() const { return m_use_option ? OPTION_ZONE_WIDTH : 0; }

    // Binds an action (not owned; null unbinds): a click runs it, when enabled, for the
    // action's widget instead of raising the click event. The tooltip becomes the action's
    // (or the button's own when the action has none) followed by " (Ctrl+S)" when the
    // action has a shortcut.
    void set_action(GuiAction* action);
    GuiAction* get_action() const { return m_action; }
    // Every click ends here: runs the bound action or raises `event`.
    void fire_click(CoreString const& event);

    // Stores the value and redraws when it differs; true when it did.
    template <class T>
    bool set_redrawn(T& member, T const& value)
    {
        if (member == value) return false;
        member = value;
        redraw();
        return true;
    }

    // The pointer of the current event lies over the button.
    bool is_event_inside() const;

private:
    // The pointer of the current event lies in the option zone.
    bool is_event_in_option_zone() const;
    // Keys that press a focused button.
    static bool is_push_key(int const& key);
    // The tooltip shown: the own one, or the action's with its shortcut.
    void update_tooltip();

    CoreString m_label;
    CoreString m_own_tooltip;
    GuiAction* m_action = nullptr;
    bool m_down = false;
    bool m_hovered = false;
    bool m_option_hovered = false;
    bool m_use_option = false;
    // The current mouse press is held: its release goes to on_release.
    bool m_mouse_held = false;
    // The push key being held (0: none), and whether its press is held.
    int m_held_key = 0;
    bool m_key_held = false;
};

// GuiFaceButton: a button drawn as a face holding an icon and a label, as push, check and
// menu buttons are: the icon and its layout, the content size, the option zone's arrow, and
// the parts of the face its subclasses draw with.
class QN_GUI_API GuiFaceButton : public GuiButtonBase {
    CORE_DECLARE_CLASS(GuiFaceButton, GuiButtonBase)

public:
    using GuiButtonBase::get_option_button_width;
    using GuiButtonBase::is_option_hovered;
    using GuiButtonBase::is_use_option;
    using GuiButtonBase::set_use_option;

    ~GuiFaceButton() override;

    // The icon is a copy of the image; from an icon, its 16-pixel picture.
    void set_icon(GuiImage const& image);
    void set_icon(GuiIcon const& icon);
    void remove_icon();
    // Null without icon.
    GuiImage const* get_icon() const { return m_icon.get(); }
    // Which side of the label the icon takes.
    void set_icon_position(IconPosition const& position) { set_redrawn(m_icon_position, position); }
    IconPosition const& get_icon_position() const { return m_icon_position; }
    void set_justification(Justify const& justify) { set_redrawn(m_justification, justify); }
    Justify const& get_justification() const { return m_justification; }

    // The size the label and icon need: icon width + label width + 10 with a label (2
    // without) + the option zone; icon height + label height.
    void get_content_size(int& w, int& h);

    // Draws the content of the face, the icon and the label, in the box.
    virtual void draw_text(GuiWidgetDc& dc, int const& x, int const& y, int const& w, int const& h,
                           GMathVec3<unsigned char> const& color) = 0;

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

protected:
    // How a face is drawn over the background.
    enum Face {
        FACE_NONE,    // the background alone
        FACE_PLAIN,   // the face over the whole box, without frame
        FACE_FRAMED,  // the face in a frame with cut corners
        FACE_RAISED,  // framed, with a light upper and a dark lower edge; the other way round when down
    };

    GuiFaceButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& label);

    // A pushed icon is shown instead of the icon while the button is down; the content size
    // counts it when there is no icon. The check button offers it.
    void set_pushed_icon(GuiImage const& image);
    void set_pushed_icon(GuiIcon const& icon);
    // Removes the icon and the pushed icon.
    void remove_icons();
    // Null when not set.
    GuiImage const* get_pushed_icon() const { return m_pushed_icon.get(); }
    // The icon the content size counts, and the one drawn in the current state.
    GuiImage const* get_sized_icon() const { return m_icon ? m_icon.get() : m_pushed_icon.get(); }
    GuiImage const* get_shown_icon() const;

    // Down, hovered or option-hovered: flat looks show their face then.
    bool is_lit() const { return is_down() || shows_hover() || shows_option_hover(); }
    // The face colour of the state: pressed when down, else hovered, else plain.
    GMathVec3<unsigned char> const& get_face_color() const;
    // Clears the box to the background and draws the face; true when it drew a frame. The
    // roundness cuts the corners of a raised face.
    bool draw_face(GuiWidgetDc& dc, Face const& face, Roundness const& roundness = ROUNDNESS_ALL);
    // The option zone when in use: lit while hovered, set off by a line on a framed face,
    // with its arrow.
    void draw_option_zone(GuiWidgetDc& dc, bool const& framed);
    // The content (draw_text) in the box left of the option zone, sunk by one pixel when
    // asked, and the focus mark over it.
    void draw_content(GuiWidgetDc& dc, bool const& sunk);

private:
    // Puts a copy of the image (null: none) in the slot.
    void set_image(std::unique_ptr<GuiImage>& slot, GuiImage const* image);

    std::unique_ptr<GuiImage> m_icon;
    std::unique_ptr<GuiImage> m_pushed_icon;
    IconPosition m_icon_position = ICON_POSITION_LEFT;
    Justify m_justification = JUSTIFY_CENTER;
};
