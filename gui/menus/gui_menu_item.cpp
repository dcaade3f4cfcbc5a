#include "gui/menus/gui_menu_item.h"

#include "gui/core/gui_action.h"
#include "gui/menus/gui_menu.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"

CORE_IMPLEMENT_CLASS(GuiMenuItem, CoreCustomData)

// GuiMenuRadioGroup -------------------------------------------------------------------------------

void GuiMenuRadioGroup::add_item(GuiMenuItem* item)
{
    if (item && m_items.find(item) < 0) m_items.add(item);
}

void GuiMenuRadioGroup::remove_item(GuiMenuItem* item)
{
    m_items.remove_item(item);
}

// GuiMenuItem ---------------------------------------------------------------------------------------

GuiMenuItem::GuiMenuItem() : m_separator(true), m_clickable(false) {}

GuiMenuItem::GuiMenuItem(CoreString const& name) : m_name(name) {}

GuiMenuItem::GuiMenuItem(GuiMenu& menu, CoreString const& name) : m_name(name), m_menu(&menu) {}

GuiMenuItem::GuiMenuItem(GuiMenu& menu, GuiMenu* sub_menu, CoreString const& name, bool const& clickable_menu)
    : m_name(name), m_clickable_menu(clickable_menu), m_sub_menu(sub_menu), m_menu(&menu)
{
}

GuiMenuItem::GuiMenuItem(GuiAction& action, CoreString const& name)
    : m_name(name.is_empty() ? action.get_name() : name), m_action(&action), m_shortcut(action.get_shortcut())
{
    if (action.get_icon()) m_icons.add(action.get_icon());
}

GuiMenuItem::~GuiMenuItem()
{
    if (m_radio_group) m_radio_group->remove_item(this);
    if (m_sub_menu) {
        GuiMenu* sub_menu = m_sub_menu;
        m_sub_menu = nullptr;
        sub_menu->detach_from_parent();
        if (m_owns_sub_menu && !sub_menu->is_destroyed()) sub_menu->destroy();
    }
}

void GuiMenuItem::changed()
{
    if (m_menu) m_menu->item_changed();
}

void GuiMenuItem::set_name(CoreString const& name)
{
    m_name = name;
    changed();
}

void GuiMenuItem::set_shortcut(CoreString const& shortcut)
{
    m_shortcut = shortcut;
    changed();
}

void GuiMenuItem::check(bool const& checked)
{
    if (!m_radio_group) {
        m_checked = checked;
        changed();
        return;
    }
    if (!checked) return;
    for (GuiMenuItem* other : m_radio_group->get_items()) {
        if (other == this || !other->m_checked) continue;
        other->m_checked = false;
        other->changed();
    }
    m_checked = true;
    changed();
}

void GuiMenuItem::set_checkable(bool const& checkable)
{
    m_checkable = checkable;
    changed();
}

void GuiMenuItem::set_radio_group(GuiMenuRadioGroup* group)
{
    if (m_radio_group == group) return;
    if (m_radio_group) m_radio_group->remove_item(this);
    m_radio_group = group;
    if (group) {
        group->add_item(this);
        m_checkable = true;
    }
    changed();
}

void GuiMenuItem::set_enable(bool const& enabled)
{
    m_disabled = !enabled;
    changed();
}

void GuiMenuItem::set_faded(bool const& faded)
{
    m_faded = faded;
    changed();
}

void GuiMenuItem::set_bold(bool const& bold)
{
    m_bold = bold;
    changed();
}

void GuiMenuItem::set_italic(bool const& italic)
{
    m_italic = italic;
    changed();
}

void GuiMenuItem::set_strikeout(bool const& strikeout)
{
    m_strikeout = strikeout;
    changed();
}

void GuiMenuItem::set_icon(GuiImage const* icon)
{
    m_icons.clear();
    if (icon) m_icons.add(icon);
    changed();
}

void GuiMenuItem::set_icon(GuiIcon const* icon)
{
    set_icon(icon ? &icon->get_image(ImageIcon::IMAGE_ICON_SIZE_16) : nullptr);
}

void GuiMenuItem::set_icons(CoreVector<GuiImage const*> const& icons)
{
    m_icons.clear();
    for (GuiImage const* icon : icons)
        if (icon) m_icons.add(icon);
    changed();
}

void GuiMenuItem::remove_icons()
{
    m_icons.clear();
    changed();
}
