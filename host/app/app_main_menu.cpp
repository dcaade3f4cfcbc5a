#include "host/app/app_main_menu.h"

#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_MAIN_MENU_ADDED_COMMAND);
EVENT_DEFINE_ID(EVT_ID_MAIN_MENU_REMOVED_COMMAND);
EVENT_DEFINE_ID(EVT_ID_MAIN_MENU_CHANGED);
EVENT_DEFINE_ID(EVT_ID_MAIN_MENU_ITEM_MOVED);

CORE_IMPLEMENT_CLASS(AppMainMenuItem, CoreBaseObject)
CORE_IMPLEMENT_CREATABLE_CLASS(AppMainMenu, EventObject)

namespace {

// Splits a path into its names; false when it is empty or has an empty level
// (">File", "File>>Open", "File>").
bool split_path(CoreString const& path, CoreVector<CoreString>& names)
{
    names = path.split(CoreString(CoreString() + AppMainMenu::PATH_SEPARATOR), true);
    if (path.is_empty()) return false;
    for (CoreString const& name : names) {
        if (name.is_empty()) return false;
    }
    return true;
}

AppMainMenuItem* find_child(CoreVector<AppMainMenuItem*> const& items, CoreString const& name)
{
    for (AppMainMenuItem* item : items) {
        if (item->get_name() == name) return item;
    }
    return nullptr;
}

CoreVector<AppMainMenuItem*> const& empty_items()
{
    static CoreVector<AppMainMenuItem*> const empty;
    return empty;
}

void add_items_depth_first(CoreVector<AppMainMenuItem*> const& items, CoreVector<AppMainMenuItem*>& out)
{
    for (AppMainMenuItem* item : items) {
        out.add(item);
        add_items_depth_first(item->get_children(), out);
    }
}

}  // namespace

// AppMainMenuItem ---------------------------------------------------------------------------

char const* AppMainMenuItem::get_kind_name(Kind const& kind)
{
    switch (kind) {
    case KIND_COMMAND: return "KIND_COMMAND";
    case KIND_CHECK: return "KIND_CHECK";
    case KIND_SEPARATOR: return "KIND_SEPARATOR";
    case KIND_SUB_MENU: return "KIND_SUB_MENU";
    case KIND_COUNT: return "KIND_COUNT";
    }
    return "KIND_UNKNOWN";
}

AppMainMenuItem::AppMainMenuItem(AppMainMenu& menu, AppMainMenuItem* parent, CoreString const& name,
                                 CoreString const& path, Kind const& kind)
    : m_menu(&menu), m_parent(parent), m_name(name), m_path(path), m_kind(kind)
{
}

AppMainMenuItem::~AppMainMenuItem()
{
    // Tells a run_command in progress that its item is gone.
    if (m_menu->m_running_item == this) m_menu->m_running_item = nullptr;
    for (AppMainMenuItem* child : m_children) delete child;
}

unsigned int AppMainMenuItem::get_index() const
{
    CoreVector<AppMainMenuItem*> const& siblings = m_parent ? m_parent->m_children : m_menu->get_top_items();
    int index = siblings.find(const_cast<AppMainMenuItem*>(this));
    return index < 0 ? 0 : static_cast<unsigned int>(index);
}

size_t AppMainMenuItem::get_memory_size() const
{
    size_t size = sizeof(*this) + m_name.get_length() + m_path.get_length() + m_shortcut.get_length()
                  + m_icon_path.get_length() + m_children.get_count() * sizeof(AppMainMenuItem*);
    for (AppMainMenuItem const* child : m_children) size += child->get_memory_size();
    return size;
}

// AppMainMenu -------------------------------------------------------------------------------

AppMainMenu::~AppMainMenu()
{
    for (AppMainMenuItem* item : m_top_items) delete item;
}

AppMainMenuItem* AppMainMenu::add_item(CoreString const& path, AppMainMenuItem::Kind const& kind,
                                       AppMainMenuItem::Command command, void* data,
                                       CoreString const& shortcut, CoreString const& icon_path)
{
    CoreVector<CoreString> names;
    if (!split_path(path, names)) {
        CORE_LOG_WARNING("AppMainMenu.add_item: invalid path: '" << path << "'\n");
        return nullptr;
    }
    if (kind < 0 || kind >= AppMainMenuItem::KIND_COUNT) {
        CORE_LOG_WARNING("AppMainMenu.add_item: unknown kind " << static_cast<int>(kind) << " for " << path
                                                               << "\n");
        return nullptr;
    }
    AppMainMenuItem* parent = nullptr;
    if (names.get_count() > 1) {
        CoreString parent_path = CoreString::before_last(path, CoreString() + PATH_SEPARATOR);
        parent = get_item(parent_path);
        if (!parent) {
            CORE_LOG_WARNING("AppMainMenu.add_item: parent does not exist: " << parent_path << "\n");
            return nullptr;
        }
        if (!parent->is_sub_menu()) {
            CORE_LOG_WARNING("AppMainMenu.add_item: parent is not a sub-menu: " << parent_path << "\n");
            return nullptr;
        }
    }
    CoreVector<AppMainMenuItem*>& siblings = parent ? parent->m_children : m_top_items;
    if (find_child(siblings, names.get_last())) {
        CORE_LOG_WARNING("AppMainMenu.add_item: item already exists: " << path << "\n");
        return nullptr;
    }

    AppMainMenuItem* item = new AppMainMenuItem(*this, parent, names.get_last(), path, kind);
    item->m_command = command;
    item->m_command_data = data;
    item->m_shortcut = shortcut;
    item->m_icon_path = icon_path;
    siblings.add(item);
    raise_item_event(EVT_ID_MAIN_MENU_ADDED_COMMAND, *item);
    return item;
}

bool AppMainMenu::remove_item(CoreString const& path)
{
    AppMainMenuItem* item = find_item(path, "remove_item");
    if (!item) return false;
    // Taken out first so that handlers see the menu without it, but can still read it.
    get_siblings(*item).remove_item(item);
    raise_item_event(EVT_ID_MAIN_MENU_REMOVED_COMMAND, *item);
    delete item;
    return true;
}

void AppMainMenu::clear()
{
    while (!m_top_items.is_empty()) {
        AppMainMenuItem* item = m_top_items.get_last();
        m_top_items.remove(m_top_items.get_count() - 1);
        raise_item_event(EVT_ID_MAIN_MENU_REMOVED_COMMAND, *item);
        delete item;
    }
}

bool AppMainMenu::move_item(CoreString const& path, unsigned int const& new_index)
{
    AppMainMenuItem* item = find_item(path, "move_item");
    if (!item) return false;
    CoreVector<AppMainMenuItem*>& siblings = get_siblings(*item);
    if (new_index >= siblings.get_count()) {
        CORE_LOG_WARNING("AppMainMenu.move_item: index " << new_index << " out of range (0 to "
                                                         << siblings.get_count() - 1 << ") for " << path
                                                         << "\n");
        return false;
    }
    unsigned int old_index = item->get_index();
    if (old_index == new_index) return true;
    siblings.remove(old_index);
    siblings.insert(new_index, item);
    raise_item_event(EVT_ID_MAIN_MENU_ITEM_MOVED, *item);
    return true;
}

bool AppMainMenu::set_enabled(CoreString const& path, bool const& enabled)
{
    AppMainMenuItem* item = find_item(path, "set_enabled");
    if (!item) return false;
    if (item->m_enabled != enabled) {
        item->m_enabled = enabled;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, *item);
    }
    return true;
}

bool AppMainMenu::set_checked(CoreString const& path, bool const& checked)
{
    AppMainMenuItem* item = find_item(path, "set_checked");
    if (!item) return false;
    if (!item->is_check()) {
        CORE_LOG_WARNING("AppMainMenu.set_checked: not a check item: " << path << "\n");
        return false;
    }
    if (item->m_checked != checked) {
        item->m_checked = checked;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, *item);
    }
    return true;
}

bool AppMainMenu::set_shortcut(CoreString const& path, CoreString const& shortcut)
{
    AppMainMenuItem* item = find_item(path, "set_shortcut");
    if (!item) return false;
    if (item->m_shortcut != shortcut) {
        item->m_shortcut = shortcut;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, *item);
    }
    return true;
}

bool AppMainMenu::set_icon_path(CoreString const& path, CoreString const& icon_path)
{
    AppMainMenuItem* item = find_item(path, "set_icon_path");
    if (!item) return false;
    if (item->m_icon_path != icon_path) {
        item->m_icon_path = icon_path;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, *item);
    }
    return true;
}

bool AppMainMenu::set_command(CoreString const& path, AppMainMenuItem::Command command, void* data)
{
    AppMainMenuItem* item = find_item(path, "set_command");
    if (!item) return false;
    if (item->m_command != command || item->m_command_data != data) {
        item->m_command = command;
        item->m_command_data = data;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, *item);
    }
    return true;
}

bool AppMainMenu::set_show_handler(CoreString const& path, AppMainMenuItem::ShowHandler handler, void* data)
{
    AppMainMenuItem* item = find_item(path, "set_show_handler");
    if (!item) return false;
    if (item->m_show_handler != handler || item->m_show_handler_data != data) {
        item->m_show_handler = handler;
        item->m_show_handler_data = data;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, *item);
    }
    return true;
}

AppMainMenuItem* AppMainMenu::get_item(CoreString const& path) const
{
    CoreVector<CoreString> names;
    if (!split_path(path, names)) return nullptr;
    AppMainMenuItem* item = nullptr;
    CoreVector<AppMainMenuItem*> const* items = &m_top_items;
    for (CoreString const& name : names) {
        item = find_child(*items, name);
        if (!item) return nullptr;
        items = &item->m_children;
    }
    return item;
}

CoreVector<AppMainMenuItem*> const& AppMainMenu::get_children(CoreString const& path) const
{
    if (path.is_empty()) return m_top_items;
    AppMainMenuItem* item = find_item(path, "get_children");
    return item ? item->m_children : empty_items();
}

CoreVector<AppMainMenuItem*> AppMainMenu::get_all_items() const
{
    CoreVector<AppMainMenuItem*> items;
    add_items_depth_first(m_top_items, items);
    return items;
}

bool AppMainMenu::run_command(AppMainMenuItem& item)
{
    if (item.m_menu != this) {
        CORE_LOG_WARNING("AppMainMenu.run_command: the item belongs to another menu: " << item.m_path
                                                                                       << "\n");
        return false;
    }
    if (!item.m_enabled) {
        CORE_LOG_WARNING("AppMainMenu.run_command: the item is disabled: " << item.m_path << "\n");
        return false;
    }
    // Copied before any handler runs: a handler or the command may remove the item.
    AppMainMenuItem::Command command = item.m_command;
    void* data = item.m_command_data;
    if (item.is_check()) {
        item.m_checked = !item.m_checked;
        // The item's destructor clears m_running_item, which tells whether a CHANGED handler
        // removed the item (or a sub-menu above it). Saved and restored for nested runs.
        AppMainMenuItem* outer_running = m_running_item;
        m_running_item = &item;
        raise_item_event(EVT_ID_MAIN_MENU_CHANGED, item);
        bool const removed = m_running_item == nullptr;
        m_running_item = outer_running;
        if (removed) return false;
    }
    if (!command) return false;
    command(item, data);
    return true;
}

bool AppMainMenu::run_show_handler(AppMainMenuItem& item, void* menu)
{
    if (item.m_menu != this) {
        CORE_LOG_WARNING("AppMainMenu.run_show_handler: the item belongs to another menu: " << item.m_path
                                                                                           << "\n");
        return false;
    }
    if (!item.m_show_handler) return false;
    AppMainMenuItem::ShowHandler handler = item.m_show_handler;
    void* data = item.m_show_handler_data;
    handler(item, menu, data);
    return true;
}

size_t AppMainMenu::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() + sizeof(*this) - sizeof(EventObject)
                  + m_top_items.get_count() * sizeof(AppMainMenuItem*);
    for (AppMainMenuItem const* item : m_top_items) size += item->get_memory_size();
    return size;
}

AppMainMenuItem* AppMainMenu::find_item(CoreString const& path, char const* operation) const
{
    AppMainMenuItem* item = get_item(path);
    if (!item) CORE_LOG_WARNING("AppMainMenu." << operation << ": unknown item: " << path << "\n");
    return item;
}

CoreVector<AppMainMenuItem*>& AppMainMenu::get_siblings(AppMainMenuItem& item)
{
    return item.m_parent ? item.m_parent->m_children : m_top_items;
}

void AppMainMenu::raise_item_event(CoreString const& event_name, AppMainMenuItem& item)
{
    raise_event(EventInfo(event_name, &item));
}
