#include "gui/menus/gui_menu_button.h"

#include <FL/Fl.H>

#include <utility>

#include "gui/menus/gui_menu.h"
#include "gui/core/gui.h"

CORE_IMPLEMENT_CLASS(GuiMenuButton, GuiCheckButton)

// GuiMenuButtonGroup -------------------------------------------------------------------------------

GuiMenuButtonGroup::~GuiMenuButtonGroup()
{
    for (GuiMenuButton* button : m_buttons) button->m_group = nullptr;
}

void GuiMenuButtonGroup::add_button(GuiMenuButton* button)
{
    if (!button || m_buttons.contains(button)) return;
    if (button->m_group && button->m_group != this) button->m_group->remove_button(button);
    m_buttons.add(button);
    button->m_group = this;
}

void GuiMenuButtonGroup::remove_button(GuiMenuButton* button)
{
    if (m_buttons.remove_item(button) && button->m_group == this) button->m_group = nullptr;
}

GuiMenuButton* GuiMenuButtonGroup::get_open_button() const
{
    for (GuiMenuButton* button : m_buttons)
        if (button->get_menu() && button->get_menu()->is_shown()) return button;
    return nullptr;
}

// GuiMenuButton -----------------------------------------------------------------------------------------

GuiMenuButton::GuiMenuButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                             CoreString const& label, GuiMenuButtonGroup* group)
    : GuiCheckButton(parent, x, y, w, h, label)
{
    if (group) group->add_button(this);
}

GuiMenuButton::~GuiMenuButton()
{
    if (m_group) m_group->remove_button(this);
    if (GuiMenu* menu = release_menu()) {
        if (!menu->is_destroyed()) menu->destroy();
    }
}

void GuiMenuButton::set_menu(GuiMenu* menu)
{
    if (menu == m_menu) return;
    if (GuiMenu* old = release_menu()) {
        if (!old->is_destroyed()) old->destroy();
    }
    m_menu = menu;
    if (m_menu) {
        m_menu->m_holding_button = this;
        connect(*m_menu, EVT_ID_MENU_HIDE, &GuiMenuButton::on_menu_hide);
    }
}

GuiMenu* GuiMenuButton::release_menu()
{
    GuiMenu* menu = m_menu;
    if (menu) {
        disconnect(*menu, EVT_ID_MENU_HIDE, &GuiMenuButton::on_menu_hide);
        menu->m_holding_button = nullptr;
    }
    m_menu = nullptr;
    return menu;
}

void GuiMenuButton::on_menu_hide(GuiMenu& menu, EventInfo const&, void*)
{
    // Only the menu's "more ..." overflow closed.
    if (menu.is_shown()) return;
    // A press on this button closed the menu: the press's release leaves it closed.
    if (Fl::event() == FL_PUSH && is_event_inside()) m_closed_by_press = true;
    set_value(false);
}

void GuiMenuButton::open_menu()
{
    if (!m_menu) return;
    set_value(true);
    CoreVector<GuiWidget*> buttons;
    if (m_group)
        for (GuiMenuButton* button : m_group->get_buttons()) buttons.add(button);
    m_menu->set_buttons(buttons);
    m_menu->popup(*this, static_cast<GuiMenu::Anchor>(m_anchor), 0, 0);
}

void GuiMenuButton::push()
{
    m_closed_by_press = false;
    open_menu();
}

bool GuiMenuButton::on_press(Source const& source)
{
    if (source == SOURCE_KEY) {
        push();
        return false;
    }
    set_focus();
    return true;
}

void GuiMenuButton::on_release(Source const&, bool const& over)
{
    // The release of the press that closed the menu leaves it closed.
    if (std::exchange(m_closed_by_press, false) || !over) return;
    if (Gui::get_event_mouse_button() == Gui::MOUSE_BUTTON_ID_MIDDLE) {
        if (m_menu) m_menu->repeat_last_action();
        set_value(false);
        return;
    }
    open_menu();
}

int GuiMenuButton::process_event(CoreString const& name)
{
    int const result = GuiCheckButton::process_event(name);
    // Rolling over a menu bar: the open menu of another button of the group moves here.
    if (is_enabled() && (name == EVT_ID_MOUSE_ENTER || name == EVT_ID_MOUSE_MOVE) && m_group && m_menu &&
        !m_menu->is_shown()) {
        GuiMenuButton* open = m_group->get_open_button();
        if (open && open != this) {
            open->get_menu()->focus_out_recursively();
            push();
        }
    }
    return result;
}
