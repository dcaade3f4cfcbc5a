#pragma once
// GuiAppMainMenu: shows the host's main-menu description (AppMainMenu) as the menu bar of a
// toolbar and keeps it in step with the description's changes. Top-level sub-menus become
// menu buttons of the toolbar; commands become menu items with actions registered on the
// toolbar's window, so their shortcuts work anywhere in it.
//
//     AppMainMenu& description = app.get_main_menu();
//     description.add_item("File", AppMainMenuItem::KIND_SUB_MENU);
//     description.add_item("File>Open...", AppMainMenuItem::KIND_COMMAND, &on_open, this, "ctrl+o");
//     GuiAppMainMenu* main_menu = new GuiAppMainMenu(app, description);
//     main_menu->set_toolbar(toolbar);
//     main_menu->build_menus();
//     description.set_enabled("File>Open...", false);   // the item greys out
#include <map>
#include <string>

#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/event/event_object.h"

class AppMainMenu;
class AppMainMenuItem;
class GuiAction;
class GuiApp;
class GuiImage;
class GuiMenu;
class GuiMenuButton;
class GuiMenuItem;
class GuiWidget;

class QN_GUI_API GuiAppMainMenu : public EventObject {
    CORE_DECLARE_CLASS(GuiAppMainMenu, EventObject)

public:
    GuiAppMainMenu(GuiApp& app, AppMainMenu& menu);
    ~GuiAppMainMenu() override;

    // The toolbar that shows the top-level menus (not owned). The destructor takes the
    // actions off the toolbar's window: destroy this object first, or unset the toolbar.
    void set_toolbar(GuiToolbar* toolbar) { m_toolbar = toolbar; }
    GuiToolbar* get_toolbar() const { return m_toolbar; }
    // Creates the menus of every item of the description and follows its changes from now on;
    // false (logged) without a toolbar.
    bool build_menus();

    // The menu shown for the sub-menu item at `path` ("File", "File>Recent"); null if none.
    GuiMenu* get_gui_menu(CoreString const& path) const;
    // The menu item made for the item at `path`; null for top-level items and unknown paths.
    GuiMenuItem* get_gui_item(CoreString const& path) const;
    // The toolbar's button of a top-level item; null otherwise.
    GuiMenuButton* get_gui_button(CoreString const& path) const;

    // Empties the process-wide cache of icons read from files.
    static void release_icons();

private:
    struct Entry {
        GuiMenu* menu = nullptr;          // of a sub-menu item
        GuiMenuItem* item = nullptr;      // of a nested item
        GuiWidget* toolbar_widget = nullptr;  // of a top-level item
        // The toolbar's record of a top-level item, separators included.
        GuiToolbar::Item const* toolbar_item = nullptr;
        GuiAction* action = nullptr;      // of a command
    };

    bool create_gui_item(AppMainMenuItem& item);
    void build_sub_menus_recursive(AppMainMenuItem& item);
    void update_gui_item(AppMainMenuItem& item);
    // Removes the item's interface and forgets it and its descendants.
    void remove_gui_item(AppMainMenuItem& item);
    void move_gui_item(AppMainMenuItem& item);
    GuiWidget* get_action_widget() const;
    static GuiImage const* get_icon_from_file(CoreString const& path);
    static void on_command_action(GuiWidget& widget, GuiAction const& action, void* data);

    void on_added(AppMainMenu& menu, EventInfo const& info, void* data);
    void on_removed(AppMainMenu& menu, EventInfo const& info, void* data);
    void on_changed(AppMainMenu& menu, EventInfo const& info, void* data);
    void on_moved(AppMainMenu& menu, EventInfo const& info, void* data);
    void on_show_menu(GuiMenu& menu, EventInfo const& info, void* data);

    GuiApp* m_app;
    AppMainMenu* m_menu;
    GuiToolbar* m_toolbar = nullptr;
    std::map<std::string, Entry> m_entries;
    bool m_connected = false;
};
