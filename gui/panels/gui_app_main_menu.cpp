#include "gui/panels/gui_app_main_menu.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_push_button.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui_image.h"
#include "host/app/app_main_menu.h"
#include "host/core/core_log.h"
#include "host/image/image_io.h"

CORE_IMPLEMENT_CLASS(GuiAppMainMenu, EventObject)

namespace {

std::map<std::string, std::unique_ptr<GuiImage>>& icon_cache()
{
    static std::map<std::string, std::unique_ptr<GuiImage>> icons;
    return icons;
}

// Separators are named "-1", "-2", ... to be addressable; other names are shown as labels.
CoreString separator_label(AppMainMenuItem const& item)
{
    return item.get_name().start_with("-") ? CoreString() : item.get_name();
}

}  // namespace

GuiAppMainMenu::GuiAppMainMenu(GuiApp& app, AppMainMenu& menu) : m_app(&app), m_menu(&menu) {}

GuiAppMainMenu::~GuiAppMainMenu()
{
    // The actions live on the toolbar's window, which may outlive this object.
    if (GuiWidget* widget = get_action_widget()) {
        if (!widget->is_destroyed())
            for (auto& [path, entry] : m_entries)
                if (entry.action) widget->remove_action(entry.action, true);
    }
}

GuiWidget* GuiAppMainMenu::get_action_widget() const
{
    if (!m_toolbar) return nullptr;
    GuiWidget* window = m_toolbar->get_window();
    return window ? window : m_toolbar;
}

void GuiAppMainMenu::release_icons()
{
    icon_cache().clear();
}

namespace {

// The cached icons are toolkit images: they go with the application, not at process exit.
bool const s_release_registered = (GuiApp::add_release_hook(&GuiAppMainMenu::release_icons), true);

}  // namespace

GuiImage const* GuiAppMainMenu::get_icon_from_file(CoreString const& path)
{
    if (path.is_empty()) return nullptr;
    auto& icons = icon_cache();
    auto const found = icons.find(path.std_string());
    if (found != icons.end()) return found->second.get();
    ImageIoPixels file;
    std::string error;
    if (!ImageIo::read(path.std_string(), file, error) || file.channel_names.empty()) {
        CORE_LOG_WARNING("GuiAppMainMenu.get_icon_from_file: can't read the icon \"" << path << "\" (" << error
                                                                                      << ")\n");
        icons[path.std_string()] = nullptr;  // asked once
        return nullptr;
    }
    // RGB or RGBA bytes: a grey file spreads its channel, a fifth channel and beyond are left out.
    int const width = file.width, height = file.height, held = static_cast<int>(file.channel_names.size());
    int const channels = held >= 4 ? 4 : 3;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        for (int c = 0; c < channels; ++c) {
            size_t const at = i * static_cast<size_t>(held) + static_cast<size_t>(std::min(c, held - 1));
            pixels[i * channels + c] = ImageIo::get_byte(file, at);
        }
    auto image = std::make_unique<GuiImage>(pixels.data(), static_cast<unsigned int>(width),
                                            static_cast<unsigned int>(height), static_cast<unsigned int>(channels));
    GuiImage const* result = image.get();
    icons[path.std_string()] = std::move(image);
    return result;
}

bool GuiAppMainMenu::build_menus()
{
    if (!m_toolbar) {
        CORE_LOG_WARNING("GuiAppMainMenu.build_menus: Toolbar is not set.\n");
        return false;
    }
    for (AppMainMenuItem* item : m_menu->get_top_items()) {
        if (create_gui_item(*item) && item->is_sub_menu()) build_sub_menus_recursive(*item);
    }
    m_toolbar->set_is_dirty(true);
    m_toolbar->redraw();
    if (!m_connected) {
        connect(*m_menu, EVT_ID_MAIN_MENU_ADDED_COMMAND, &GuiAppMainMenu::on_added);
        connect(*m_menu, EVT_ID_MAIN_MENU_REMOVED_COMMAND, &GuiAppMainMenu::on_removed);
        connect(*m_menu, EVT_ID_MAIN_MENU_CHANGED, &GuiAppMainMenu::on_changed);
        connect(*m_menu, EVT_ID_MAIN_MENU_ITEM_MOVED, &GuiAppMainMenu::on_moved);
        m_connected = true;
    }
    return true;
}

void GuiAppMainMenu::build_sub_menus_recursive(AppMainMenuItem& item)
{
    for (AppMainMenuItem* child : item.get_children())
        if (create_gui_item(*child) && child->is_sub_menu()) build_sub_menus_recursive(*child);
}

bool GuiAppMainMenu::create_gui_item(AppMainMenuItem& item)
{
    std::string const path = item.get_path().std_string();
    if (m_entries.count(path)) {
        CORE_LOG_WARNING("MainMenu: the \"" << item.get_name() << "\" item already exists.\n");
        return false;
    }
    Entry entry;
    GuiImage const* icon = get_icon_from_file(item.get_icon_path());
    GuiMenu* parent_menu = nullptr;
    if (AppMainMenuItem* parent = item.get_parent()) {
        auto const found = m_entries.find(parent->get_path().std_string());
        if (found == m_entries.end() || !found->second.menu) {
            CORE_LOG_WARNING("MainMenu: Parent don't exists: " << item.get_path() << "\n");
            return false;
        }
        parent_menu = found->second.menu;
    }
    if (item.get_kind() == AppMainMenuItem::KIND_COMMAND || item.get_kind() == AppMainMenuItem::KIND_CHECK) {
        entry.action = get_action_widget()->register_action(item.get_name(), &GuiAppMainMenu::on_command_action,
                                                            item.get_shortcut(), CoreString(), &item, icon);
        entry.action->set_enabled(item.is_enabled());
    }

    if (!parent_menu) {
        switch (item.get_kind()) {
        case AppMainMenuItem::KIND_SUB_MENU: {
            GuiMenuButton* button = m_toolbar->create_menu(item.get_name(), GuiToolbar::ANCHOR_LEFT);
            if (icon) button->set_icon(*icon);
            entry.menu = button->get_menu();
            entry.toolbar_widget = button;
            break;
        }
        case AppMainMenuItem::KIND_SEPARATOR: m_toolbar->add_separator(GuiToolbar::ANCHOR_LEFT); break;
        default: {
            GuiPushButton* button = icon ? m_toolbar->create_button(*icon, item.get_name(), CoreString(),
                                                                    GuiToolbar::ANCHOR_LEFT)
                                         : m_toolbar->create_button(item.get_name(), CoreString(),
                                                                    GuiToolbar::ANCHOR_LEFT);
            button->set_action(entry.action);
            entry.toolbar_widget = button;
            break;
        }
        }
        // Every kind was appended to the bar just now.
        entry.toolbar_item = m_toolbar->get_item(m_toolbar->get_item_count() - 1);
    } else {
        switch (item.get_kind()) {
        case AppMainMenuItem::KIND_SUB_MENU:
            entry.menu = parent_menu->add_sub_menu(item.get_name(), icon);
            entry.item = entry.menu->get_parent_item();
            break;
        case AppMainMenuItem::KIND_SEPARATOR: entry.item = parent_menu->add_separator(separator_label(item)); break;
        default:
            entry.item = parent_menu->add_item(*entry.action, item.get_name());
            if (item.is_check()) {
                entry.item->set_checkable(true);
                entry.item->check(item.is_checked());
            }
            break;
        }
        if (entry.item) entry.item->set_enable(item.is_enabled());
    }
    if (entry.menu) connect(*entry.menu, EVT_ID_MENU_SHOW, &GuiAppMainMenu::on_show_menu, &item);
    m_entries[path] = entry;
    return true;
}

void GuiAppMainMenu::on_command_action(GuiWidget&, GuiAction const& action, void* data)
{
    auto* item = static_cast<AppMainMenuItem*>(data);
    if (!item) return;
    item->get_menu().run_command(*item);
    (void)action;
}

void GuiAppMainMenu::on_show_menu(GuiMenu& menu, EventInfo const&, void* data)
{
    auto* item = static_cast<AppMainMenuItem*>(data);
    if (!item) return;
    if (!item->is_enabled()) {
        CORE_LOG_DEBUG("MainMenu::on_show_menu(): Item '" << item->get_name() << "' is not enabled.\n");
        return;
    }
    m_menu->run_show_handler(*item, &menu);
}

GuiMenu* GuiAppMainMenu::get_gui_menu(CoreString const& path) const
{
    auto const found = m_entries.find(path.std_string());
    return found == m_entries.end() ? nullptr : found->second.menu;
}

GuiMenuItem* GuiAppMainMenu::get_gui_item(CoreString const& path) const
{
    auto const found = m_entries.find(path.std_string());
    return found == m_entries.end() ? nullptr : found->second.item;
}

GuiMenuButton* GuiAppMainMenu::get_gui_button(CoreString const& path) const
{
    auto const found = m_entries.find(path.std_string());
    if (found == m_entries.end() || !found->second.toolbar_widget) return nullptr;
    GuiWidget* widget = found->second.toolbar_widget;
    return widget->is_kindof(GuiMenuButton::class_info()) ? static_cast<GuiMenuButton*>(widget) : nullptr;
}

// Following the description ---------------------------------------------------------------------------------

void GuiAppMainMenu::update_gui_item(AppMainMenuItem& item)
{
    auto const found = m_entries.find(item.get_path().std_string());
    if (found == m_entries.end()) return;
    Entry& entry = found->second;
    GuiImage const* icon = get_icon_from_file(item.get_icon_path());
    if (entry.action) {
        entry.action->set_enabled(item.is_enabled());
        entry.action->set_shortcut(item.get_shortcut());
        entry.action->set_icon(icon);
    }
    if (entry.item) {
        entry.item->set_enable(item.is_enabled());
        if (entry.action) entry.item->set_shortcut(entry.action->get_shortcut());
        entry.item->set_icon(icon);
        if (item.is_check()) entry.item->check(item.is_checked());
    }
    if (entry.toolbar_widget) {
        entry.toolbar_widget->set_enable(item.is_enabled());
        if (entry.toolbar_widget->is_kindof(GuiPushButton::class_info())) {
            auto* button = static_cast<GuiPushButton*>(entry.toolbar_widget);
            button->set_action(entry.action);
            if (icon)
                button->set_icon(*icon);
            else
                button->remove_icon();
        } else if (entry.toolbar_widget->is_kindof(GuiCheckButton::class_info())) {
            auto* button = static_cast<GuiCheckButton*>(entry.toolbar_widget);
            if (icon)
                button->set_icon(*icon);
            else
                button->remove_icons();
        }
        if (m_toolbar) m_toolbar->redraw();
    }
}

void GuiAppMainMenu::remove_gui_item(AppMainMenuItem& item)
{
    std::string const path = item.get_path().std_string();
    auto const found = m_entries.find(path);
    if (found == m_entries.end()) return;
    Entry const entry = found->second;
    GuiWidget* action_widget = get_action_widget();
    // The item and everything under it leave the table; their actions go.
    std::string const prefix = path + ">";
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        bool const under = it->first == path || it->first.compare(0, prefix.size(), prefix) == 0;
        if (!under) {
            ++it;
            continue;
        }
        if (it->second.action && action_widget) action_widget->remove_action(it->second.action, true);
        it = m_entries.erase(it);
    }
    if (entry.toolbar_item) {
        int const index = m_toolbar->get_item_index(entry.toolbar_item);
        if (index >= 0) m_toolbar->remove_by_index(static_cast<unsigned int>(index));
    } else if (entry.item) {
        if (GuiMenu* holder = entry.item->get_holding_menu()) holder->remove_item(entry.item);
    }
}

void GuiAppMainMenu::move_gui_item(AppMainMenuItem& item)
{
    auto const found = m_entries.find(item.get_path().std_string());
    if (found == m_entries.end()) return;
    CoreVector<AppMainMenuItem*> const& siblings =
        item.get_parent() ? item.get_parent()->get_children() : m_menu->get_top_items();
    unsigned int const index = item.get_index();
    auto const entry_of = [&](unsigned int const& at) -> Entry const* {
        if (at >= siblings.get_count()) return nullptr;
        auto const sibling = m_entries.find(siblings[at]->get_path().std_string());
        return sibling == m_entries.end() ? nullptr : &sibling->second;
    };
    Entry const* next_entry = entry_of(index + 1);
    Entry const& entry = found->second;
    if (entry.item) {
        if (GuiMenu* holder = entry.item->get_holding_menu())
            holder->move_item(entry.item, next_entry ? next_entry->item : nullptr, false);
    } else if (entry.toolbar_item) {
        // Before the next top-level entry; the last one goes after the entry before it, so
        // that it stays ahead of the bar's other tools.
        if (next_entry)
            m_toolbar->move_item(entry.toolbar_item, next_entry->toolbar_item, false);
        else if (Entry const* previous = index > 0 ? entry_of(index - 1) : nullptr)
            m_toolbar->move_item(entry.toolbar_item, previous->toolbar_item, true);
    }
}

void GuiAppMainMenu::on_added(AppMainMenu&, EventInfo const& info, void*)
{
    if (!m_toolbar) {
        CORE_LOG_WARNING("MainMenu: Toolbar is not set.\n");
        return;
    }
    auto* item = static_cast<AppMainMenuItem*>(info.get_event_data());
    if (!item) return;
    if (create_gui_item(*item) && item->is_sub_menu()) build_sub_menus_recursive(*item);
    m_toolbar->redraw();
}

void GuiAppMainMenu::on_removed(AppMainMenu&, EventInfo const& info, void*)
{
    if (!m_toolbar) {
        CORE_LOG_WARNING("MainMenu: Toolbar is not set.\n");
        return;
    }
    if (auto* item = static_cast<AppMainMenuItem*>(info.get_event_data())) remove_gui_item(*item);
    m_toolbar->redraw();
}

void GuiAppMainMenu::on_changed(AppMainMenu&, EventInfo const& info, void*)
{
    if (!m_toolbar) {
        CORE_LOG_WARNING("MainMenu: Toolbar is not set.\n");
        return;
    }
    if (auto* item = static_cast<AppMainMenuItem*>(info.get_event_data())) update_gui_item(*item);
}

void GuiAppMainMenu::on_moved(AppMainMenu&, EventInfo const& info, void*)
{
    if (!m_toolbar) {
        CORE_LOG_WARNING("MainMenu: Toolbar is not set.\n");
        return;
    }
    if (auto* item = static_cast<AppMainMenuItem*>(info.get_event_data())) move_gui_item(*item);
    m_toolbar->redraw();
}
