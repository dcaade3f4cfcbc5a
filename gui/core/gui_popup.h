#pragma once
// GuiPopup: a borderless window opened over another for transient content (menus, pickers,
// small editors). Popups form one chain per process: a popup opened while another is open
// continues the chain, the first and the current (last) popup are remembered. The chain
// closes when a window outside it gets the focus or a click, on Escape, and when a window
// that is not a popup is hidden; focusing a popup of the chain closes the ones after it.
// When the chain closes, the widget that had the focus before it opened gets it back (unless
// another window took the focus).
//
//     GuiWidget* list = new MyPickerList(*window, 0, 0, 200, 300);
//     GuiPopup* popup = window->popup(*list, true);     // at the pointer
//
// Closed popups are hidden at once and deleted with their content at the next idle pass.
#include "gui/core/gui_window.h"

class QN_GUI_API GuiPopup : public GuiWindow {
    CORE_DECLARE_CLASS(GuiPopup, GuiWindow)

public:
    // A popup at (x, y) on the screen, w × h, owned by `owner`.
    GuiPopup(GuiWindow& owner, int const& x, int const& y, int const& w, int const& h);
    // A popup without owner window.
    GuiPopup(GuiApp& app, int const& x, int const& y, int const& w, int const& h);
    ~GuiPopup() override;

    // Joins the chain and shows the popup above its owner with the keyboard focus.
    void show() override;
    // Leaves the chain with the popups opened after it.
    void hide() override;

    // The popup opened before this one in the chain; null for the first.
    GuiPopup* get_previous_popup() const { return m_previous; }
    static GuiPopup* get_first_popup();
    static GuiPopup* get_current_popup();
    static bool is_popup_open() { return get_current_popup() != nullptr; }
    // Hides every popup of the chain, the last first, and queues them for deletion.
    static void close_all_popups();
    // Hides the popups opened after `popup` (all of them for null).
    static void close_popups_after(GuiPopup* popup);

    // Routing rules of the window routers while a chain is open (return true when the event
    // was used up by them).
    static void on_window_focused(GuiWindow& window);
    static void on_window_pushed(GuiWindow& window);
    static bool on_key_down(GuiWindow& window, int const& key);
    static void on_window_hidden(GuiWindow& window);
    // A widget being deleted is no longer the one to get the focus back.
    static void forget_widget(GuiWidget* widget);

protected:
    // A popup that is kept (hidden) when the chain closes, to be shown again; others are
    // deleted.
    virtual bool is_kept_when_closed() const { return false; }
    // A key typed while this popup is the current one: Escape closes the chain, other keys
    // go to the popup's actions. True when the key was used.
    virtual bool on_popup_key(int const& key);

private:
    void init_popup();

    GuiPopup* m_previous = nullptr;
    bool m_in_chain = false;
};
