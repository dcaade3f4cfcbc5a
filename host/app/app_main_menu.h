#pragma once
// The application's main menu, described independently of any toolkit. Items are named by
// their path, with ">" between levels; the interface builds its menus from this description
// and follows its changes through the events raised on the menu object:
//
//     AppMainMenu& menu = app.get_main_menu();
//     menu.add_item("File", AppMainMenuItem::KIND_SUB_MENU);
//     menu.add_item("File>Open...", AppMainMenuItem::KIND_COMMAND, &on_open, this, "ctrl+o");
//     menu.set_enabled("File>Open...", false);    // raises EVT_ID_MAIN_MENU_CHANGED
//
// Every event carries the item concerned as event data (an AppMainMenuItem*).
// Threading: the menu belongs to the application thread.
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"

// Raised after an item was added.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_MAIN_MENU_ADDED_COMMAND);
// Raised when an item was taken out of its parent, before it and its children are deleted.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_MAIN_MENU_REMOVED_COMMAND);
// Raised when the enabled or checked state, shortcut, icon, command or show handler changed.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_MAIN_MENU_CHANGED);
// Raised after an item moved to another place among its siblings.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_MAIN_MENU_ITEM_MOVED);

class AppMainMenu;

// One entry of the main menu: a command, a check item, a separator or a sub-menu.
// Items are made, changed and deleted by their AppMainMenu only.
class QN_HOST_API AppMainMenuItem : public CoreBaseObject {
    CORE_DECLARE_CLASS(AppMainMenuItem, CoreBaseObject)

public:
    // KIND_SUB_MENU holds other items; KIND_CHECK toggles its checked state when run.
    enum Kind : int {
        KIND_COMMAND = 0,
        KIND_CHECK = 1,
        KIND_SEPARATOR = 2,
        KIND_SUB_MENU = 3,
        KIND_COUNT
    };
    // The constant's name ("KIND_SUB_MENU"), "KIND_COUNT", or "KIND_UNKNOWN".
    static char const* get_kind_name(Kind const& kind);

    // Run by AppMainMenu::run_command.
    using Command = void (*)(AppMainMenuItem& item, void* data);
    // Run when the interface shows the item's menu, with the interface's menu object, so
    // that the handler may fill or update it (or this item's children) first.
    using ShowHandler = void (*)(AppMainMenuItem& item, void* menu, void* data);

    AppMainMenuItem(AppMainMenuItem const&) = delete;
    AppMainMenuItem& operator=(AppMainMenuItem const&) = delete;
    ~AppMainMenuItem() override;

    AppMainMenu& get_menu() const { return *m_menu; }
    // The last part of the path.
    CoreString const& get_name() const { return m_name; }
    // The full path, "File>Open...".
    CoreString const& get_path() const { return m_path; }
    Kind const& get_kind() const { return m_kind; }
    bool is_sub_menu() const { return m_kind == KIND_SUB_MENU; }
    bool is_separator() const { return m_kind == KIND_SEPARATOR; }
    bool is_check() const { return m_kind == KIND_CHECK; }
    // Shortcut text in the form actions take ("ctrl+shift+s"); empty for none.
    CoreString const& get_shortcut() const { return m_shortcut; }
    // Path of an image file shown beside the name; empty for none.
    CoreString const& get_icon_path() const { return m_icon_path; }
    bool const& is_enabled() const { return m_enabled; }
    // Always false for items other than check items.
    bool const& is_checked() const { return m_checked; }
    Command const& get_command() const { return m_command; }
    void* const& get_command_data() const { return m_command_data; }
    ShowHandler const& get_show_handler() const { return m_show_handler; }
    void* const& get_show_handler_data() const { return m_show_handler_data; }

    // The sub-menu holding this item; null for a top-level item. While
    // EVT_ID_MAIN_MENU_REMOVED_COMMAND is raised it is still the former parent.
    AppMainMenuItem* const& get_parent() const { return m_parent; }
    // Items of a sub-menu, in menu order.
    CoreVector<AppMainMenuItem*> const& get_children() const { return m_children; }
    // Place among its siblings (the top-level items for a top-level item).
    unsigned int get_index() const;

    size_t get_memory_size() const override;

private:
    friend class AppMainMenu;
    AppMainMenuItem(AppMainMenu& menu, AppMainMenuItem* parent, CoreString const& name,
                    CoreString const& path, Kind const& kind);

    AppMainMenu* m_menu;
    AppMainMenuItem* m_parent;
    CoreString m_name;
    CoreString m_path;
    Kind m_kind;
    CoreString m_shortcut;
    CoreString m_icon_path;
    bool m_enabled = true;
    bool m_checked = false;
    Command m_command = nullptr;
    void* m_command_data = nullptr;
    ShowHandler m_show_handler = nullptr;
    void* m_show_handler_data = nullptr;
    CoreVector<AppMainMenuItem*> m_children;  // owned
};

// The tree of main-menu items. Operations naming an item that does not exist, or a bad
// path, log one warning "AppMainMenu.<operation>: ..." and change nothing.
class QN_HOST_API AppMainMenu : public EventObject {
    CORE_DECLARE_CLASS(AppMainMenu, EventObject)

public:
    // Separates the levels of a path.
    static constexpr char PATH_SEPARATOR = '>';

    AppMainMenu() = default;
    // Deletes every item without raising events.
    ~AppMainMenu() override;

    // Adds an item at the end of its parent, which must exist and be a sub-menu (a path
    // without ">" adds a top-level item). Names are taken as given, spaces included, and
    // are unique among siblings. Returns the new item, or null when refused. Separators
    // need a name too ("File>-1"); the interface may show it as the separator's label.
    AppMainMenuItem* add_item(CoreString const& path, AppMainMenuItem::Kind const& kind,
                              AppMainMenuItem::Command command = nullptr, void* data = nullptr,
                              CoreString const& shortcut = CoreString(),
                              CoreString const& icon_path = CoreString());
    // Removes the item and everything below it.
    bool remove_item(CoreString const& path);
    // Removes every item, raising EVT_ID_MAIN_MENU_REMOVED_COMMAND for each top-level one.
    void clear();
    // Moves the item to `new_index` among its siblings (counted after taking it out, that
    // is 0 to the sibling count - 1).
    bool move_item(CoreString const& path, unsigned int const& new_index);

    // Setters raise EVT_ID_MAIN_MENU_CHANGED when the value changes.
    bool set_enabled(CoreString const& path, bool const& enabled);
    // Check items only.
    bool set_checked(CoreString const& path, bool const& checked);
    bool set_shortcut(CoreString const& path, CoreString const& shortcut);
    bool set_icon_path(CoreString const& path, CoreString const& icon_path);
    bool set_command(CoreString const& path, AppMainMenuItem::Command command, void* data);
    bool set_show_handler(CoreString const& path, AppMainMenuItem::ShowHandler handler, void* data);

    // The item at `path`, or null (quietly: this is also a test of existence).
    AppMainMenuItem* get_item(CoreString const& path) const;
    // Children of the sub-menu at `path`; an empty path gives the top-level items. An unknown
    // path logs a warning and gives an empty list.
    CoreVector<AppMainMenuItem*> const& get_children(CoreString const& path) const;
    CoreVector<AppMainMenuItem*> const& get_top_items() const { return m_top_items; }
    // Every item, depth first in menu order (a sub-menu before its children).
    CoreVector<AppMainMenuItem*> get_all_items() const;

    // Runs the item's command. A check item first toggles its checked state (raising
    // EVT_ID_MAIN_MENU_CHANGED). Returns whether a command ran; a disabled item, or an item
    // of another menu, is refused with a warning. The command may remove the item. The
    // command and its data are taken before that event; when a handler of the event removes
    // the item, the command does not run (there is no item left to give it).
    bool run_command(AppMainMenuItem& item);
    // Runs the item's show handler with the interface's menu object; returns whether one ran.
    bool run_show_handler(AppMainMenuItem& item, void* menu);

    size_t get_memory_size() const override;

private:
    friend class AppMainMenuItem;
    // Finds the item of `path`; logs "AppMainMenu.<operation>: unknown item: <path>" when
    // missing.
    AppMainMenuItem* find_item(CoreString const& path, char const* operation) const;
    CoreVector<AppMainMenuItem*>& get_siblings(AppMainMenuItem& item);
    void raise_item_event(CoreString const& event_name, AppMainMenuItem& item);

    CoreVector<AppMainMenuItem*> m_top_items;  // owned
    // The check item whose EVT_ID_MAIN_MENU_CHANGED run_command is raising; reset to null
    // when that item is deleted meanwhile.
    AppMainMenuItem* m_running_item = nullptr;
};
