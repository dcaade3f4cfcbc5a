#pragma once
// GuiMenuButton: a toggle button that opens its GuiMenu when released (or on Space, Return or
// keypad Enter while focused); it stays down while the menu is open. A middle-button release
// repeats the menu's last action instead.
// GuiMenuButtonGroup: the buttons of a menu bar. While one of their menus is open, pointing
// at another button of the group opens its menu instead, and Left/Right in a menu move to
// the neighbouring button's menu.
//
//     GuiMenuButtonGroup* bar = new GuiMenuButtonGroup();
//     GuiMenuButton* file = new GuiMenuButton(*window, 0, 0, 40, 20, "File", bar);
//     file->set_menu(new GuiMenu(window));
//     file->get_menu()->add_item(*window->get_action("Open"));
#include "gui/controls/gui_check_button.h"
#include "gui/core/gui_export.h"
#include "host/core/core_vector.h"

class GuiMenu;
class GuiMenuButton;

class QN_GUI_API GuiMenuButtonGroup {
public:
    GuiMenuButtonGroup() = default;
    ~GuiMenuButtonGroup();
    GuiMenuButtonGroup(GuiMenuButtonGroup const&) = delete;
    GuiMenuButtonGroup& operator=(GuiMenuButtonGroup const&) = delete;

    CoreVector<GuiMenuButton*> const& get_buttons() const { return m_buttons; }
    void add_button(GuiMenuButton* button);
    void remove_button(GuiMenuButton* button);
    // The button of the group whose menu is shown; null if none.
    GuiMenuButton* get_open_button() const;

private:
    CoreVector<GuiMenuButton*> m_buttons;
};

class QN_GUI_API GuiMenuButton : public GuiCheckButton {
    CORE_DECLARE_CLASS(GuiMenuButton, GuiCheckButton)

public:
    GuiMenuButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                  CoreString const& label = CoreString(), GuiMenuButtonGroup* group = nullptr);
    ~GuiMenuButton() override;

    // The menu is owned by the button (destroyed with it) until released.
    GuiMenu* get_menu() const { return m_menu; }
    void set_menu(GuiMenu* menu);
    // Gives the menu back to the caller; the button has none afterwards.
    GuiMenu* release_menu();
    int const& get_menu_anchor() const { return m_anchor; }
    // A GuiMenu::Anchor; below the button by default.
    void set_menu_anchor(int const& anchor) { m_anchor = anchor; }
    GuiMenuButtonGroup* get_group() const { return m_group; }

    // Opens the menu as a release of the left button would.
    void push();

    int process_event(CoreString const& name) override;

protected:
    // A mouse press takes the focus and waits for its release over the button, which opens
    // the menu; a push key opens it at once.
    bool on_press(Source const& source) override;
    void on_release(Source const& source, bool const& over) override;
    bool takes_push_keys() const override { return true; }

private:
    // A menu deleted before its button forgets it here.
    friend class GuiMenu;
    friend class GuiMenuButtonGroup;
    void open_menu();
    void on_menu_hide(GuiMenu& menu, EventInfo const& info, void* data);

    GuiMenu* m_menu = nullptr;
    int m_anchor = 3;
    GuiMenuButtonGroup* m_group = nullptr;
    // The press that closed the menu: its release must not open it again.
    bool m_closed_by_press = false;
};
