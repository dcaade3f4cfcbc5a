#include "gui/menus/gui_list_button.h"

#include <cstdint>

#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/core/gui.h"
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_dc.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_LIST_BUTTON_SELECTION_CHANGED);

CORE_IMPLEMENT_CLASS(GuiListButton, GuiMenuButton)

GuiListButton::GuiListButton(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                             CoreString const& placeholder)
    : GuiMenuButton(parent, x, y, w, h), m_placeholder(placeholder)
{
    set_justification(JUSTIFY_LEFT);
    set_focus_receiver(true);
    GuiMenu* menu = new GuiMenu(this);
    m_group = menu->create_radio_group();
    set_menu(menu);
    connect(*menu, EVT_ID_MENU_CLICK, &GuiListButton::on_menu_click);
    update_label();
}

void GuiListButton::set_items(CoreVector<CoreString> const& labels)
{
    CoreString const kept = get_selected_label();
    m_items = labels;
    m_selected = -1;
    if (!kept.is_empty())
        for (unsigned int i = 0; i < m_items.get_count(); ++i)
            if (m_items[i] == kept) {
                m_selected = static_cast<int>(i);
                break;
            }
    rebuild_menu();
    update_label();
}

void GuiListButton::add_item(CoreString const& label)
{
    m_items.add(label);
    rebuild_menu();
}

void GuiListButton::clear_items()
{
    m_items.clear();
    m_selected = -1;
    rebuild_menu();
    update_label();
}

CoreString GuiListButton::get_item_label(unsigned int const& index) const
{
    return index < m_items.get_count() ? m_items[index] : CoreString();
}

bool GuiListButton::set_selected_index(int const& index)
{
    if (index < -1 || index >= static_cast<int>(m_items.get_count())) {
        CORE_LOG_WARNING("GuiListButton.set_selected_index: " << index << " is not an entry of a list of "
                                                                << m_items.get_count()
                                                                << "; the choice is unchanged\n");
        return false;
    }
    if (index == m_selected) return true;
    m_selected = index;
    rebuild_menu();
    update_label();
    return true;
}

bool GuiListButton::select_item(CoreString const& label)
{
    for (unsigned int i = 0; i < m_items.get_count(); ++i)
        if (m_items[i] == label) return set_selected_index(static_cast<int>(i));
    return false;
}

CoreString GuiListButton::get_selected_label() const
{
    return m_selected >= 0 ? m_items[static_cast<unsigned int>(m_selected)] : CoreString();
}

void GuiListButton::set_placeholder(CoreString const& placeholder)
{
    m_placeholder = placeholder;
    update_label();
}

void GuiListButton::choose(int const& index)
{
    if (index == m_selected || index < 0 || index >= static_cast<int>(m_items.get_count())) return;
    set_selected_index(index);
    raise_event(EVT_ID_LIST_BUTTON_SELECTION_CHANGED);
}

void GuiListButton::rebuild_menu()
{
    GuiMenu* menu = get_menu();
    if (!menu) return;
    menu->remove_all_items();
    for (unsigned int i = 0; i < m_items.get_count(); ++i) {
        GuiMenuItem* item = menu->add_item(m_items[i]);
        item->set_radio_group(m_group);
        // The index, not a pointer: entries are rebuilt whenever the list changes.
        item->set_data(reinterpret_cast<void*>(static_cast<uintptr_t>(i) + 1));
        if (static_cast<int>(i) == m_selected) item->check(true);
    }
}

void GuiListButton::update_label()
{
    set_label(m_selected >= 0 ? get_selected_label() : m_placeholder);
}

void GuiListButton::on_menu_click(GuiMenu& menu, EventInfo const&, void*)
{
    GuiMenuItem* item = menu.get_last_selected_item();
    if (!item || !item->get_data()) return;
    choose(static_cast<int>(reinterpret_cast<uintptr_t>(item->get_data()) - 1));
}

int GuiListButton::process_event(CoreString const& name)
{
    if (is_enabled() && name == EVT_ID_KEY_DOWN && has_focus()) {
        int const key = Gui::get_last_key_pressed();
        int const last = static_cast<int>(m_items.get_count()) - 1;
        switch (key) {
            case Gui::KEY_ID_UP:
                if (last >= 0) choose(m_selected < 0 ? 0 : (m_selected > 0 ? m_selected - 1 : 0));
                return 1;
            case Gui::KEY_ID_DOWN:
                if (last >= 0) choose(m_selected < last ? m_selected + 1 : last);
                return 1;
            case Gui::KEY_ID_HOME:
                if (last >= 0) choose(0);
                return 1;
            case Gui::KEY_ID_END:
                if (last >= 0) choose(last);
                return 1;
            default:
                break;
        }
    }
    return GuiMenuButton::process_event(name);
}

void GuiListButton::draw(GuiDc& dc)
{
    GuiMenuButton::draw(dc);
    GuiWidgetDc& wdc = static_cast<GuiWidgetDc&>(dc);
    int const zone_x = get_x() + get_width() - ARROW_ZONE_WIDTH;
    // The arrow keeps a clear zone of the face: long labels end under it. A flat button
    // without face shows its background there already.
    if (get_style() == STYLE_BUTTON || is_lit()) {
        GMathVec3<unsigned char> const& face = get_face_color();
        wdc.draw_rectf(zone_x, get_y() + 2, ARROW_ZONE_WIDTH - 2, get_height() - 4, face[0], face[1], face[2]);
    }
    GMathVec3<unsigned char> const& text = get_color(is_enabled() ? GuiColorScheme::ROLE_BUTTON_TEXT
                                                                  : GuiColorScheme::ROLE_TEXT_DIM);
    draw_option_arrow(wdc, zone_x, get_y(), ARROW_ZONE_WIDTH, get_height(), text);
}
