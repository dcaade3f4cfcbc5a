#pragma once
// GuiOfItemMenu: the context menu of scene items in item views, and the menu of a drop of
// items onto a context. Entries are enabled only when GuiItemActions allows their action
// for the items; picking one runs it as one undo step.
//
//     GuiOfItemMenu* menu = new GuiOfItemMenu(*view);
//     menu->set_items(selected_items);
//     menu->build_items_menu(item_under_pointer);
//     menu->popup();                                   // at the pointer
//
// The commands act on the items given to set_items, or on the item the menu was built for
// when none are given. That item is kept as custom data "menu_preselected_item" (a pointer
// to the OfItem) until a command ran. "Rename" asks the owner widget to rename it, raising
// EVT_ID_BROWSER_MENU_RENAME_ITEM on the owner with the item as event data. Entries that ask
// for more ("Group...", "Combine Options", "Make Instance Of...", "Choose Default
// Widget...") open a modal dialog (get_open_dialog while it runs).
#include "gui/menus/gui_menu.h"
#include "gui/panels/gui_item_actions.h"
#include "host/of/of_handle.h"

#include <functional>
#include <unordered_map>

class GuiInputDialog;
class OfClass;

// Raised on the menu's owner widget by "Rename"; data: the OfItem to rename.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_BROWSER_MENU_RENAME_ITEM);

class QN_GUI_API GuiOfItemMenu : public GuiMenu {
    CORE_DECLARE_CLASS(GuiOfItemMenu, GuiMenu)

public:
    explicit GuiOfItemMenu(GuiWidget& owner);
    // The "New" sub-menu offers only classes that are kinds of one of `class_filter`'s.
    GuiOfItemMenu(GuiWidget& owner, CoreVector<OfClass const*> const& class_filter);
    ~GuiOfItemMenu() override;

    void set_filter_classes(CoreVector<OfClass const*> const& classes) { m_class_filter = classes; }
    CoreVector<OfClass const*> const& get_filter_classes() const { return m_class_filter; }
    // True when the filter is empty or the class is a kind of one of its classes.
    bool is_valid_class_by_filter(OfClass const& of_class) const;

    // The selection the commands act on (items that leave the scene are dropped).
    void set_items(CoreVector<OfItem*> const& items);
    // The items the commands act on now: the selection, else the preselected item.
    CoreVector<OfItem*> get_command_items() const;
    // The item the menu was last built for; null once a command ran or when it left the scene.
    OfItem* get_preselected_item() const;
    // "menu_preselected_item".
    static CoreString const& get_preselected_item_key_name();

    // Adds the "New" sub-menu (after removing every item when `clear`): the classes of the
    // context's scene that users may create and the filter admits, by name; picking one
    // creates an object of it in `context`. Disabled when the context takes no new items.
    void populate(OfContext* context, bool const& clear);
    // Replaces the menu's items with the item commands for `item` (null: the items given)
    // and keeps it as the preselected item.
    void build_items_menu(OfItem* item);
    // The "Open With" sub-menu: the editors that open the item, its default in bold, and
    // "Choose Default Widget...".
    void build_open_with_menu_item(OfItem* item);
    // "Combine" and the "Combine..." sub-menu ("Scene Objects...", "Shading Layers...").
    void build_combine_menu_item();
    // Fills `menu` with "Apply Color Tag to selection", "Clear Color Tag on selection",
    // "Clear" (the preselected item's tag) and the application's tags (given to the
    // preselected item).
    void populate_colortag_menu(GuiMenu& menu);
    // Replaces the menu's items with the drop actions of the items onto `target`, the
    // default one in bold.
    void build_drop_menu(CoreVector<OfItem*> const& items, OfContext* target);
    // Opens the menu at the pointer.
    void popup();
    using GuiMenu::popup;

    // The dialog an entry runs, while it runs; null otherwise.
    GuiInputDialog* get_open_dialog() const { return m_open_dialog; }

private:
    // An entry running `command`, enabled when `enabled`.
    GuiMenuItem* add_command(GuiMenu& menu, CoreString const& name, CoreString const& shortcut,
                             bool const& enabled, std::function<void()> command);
    // An entry running the item action on the command items.
    GuiMenuItem* add_action(GuiMenu& menu, CoreString const& name, CoreString const& shortcut,
                            GuiItemActions::ItemAction const& action);
    GuiMenu* add_commands_sub_menu(GuiMenu& menu, CoreString const& name);
    void clear_commands();
    // The context new and pasted items go to for the preselected item: itself when it is a
    // context, else its context.
    OfContext* get_preselected_context() const;
    // Runs the dialog modally at the pointer and destroys it; true when accepted.
    bool run_dialog(GuiInputDialog& dialog);
    GuiInputDialog* make_dialog(CoreString const& title);
    void ask_group();
    void ask_combine();
    void ask_make_instance_of();
    void ask_default_widget(OfItem& item);
    void rename();
    void set_colortag(CoreVector<OfItem*> const& items, unsigned int const& tag);
    void on_click(GuiMenu& menu, EventInfo const& info, void* data);

    CoreVector<OfClass const*> m_class_filter;
    CoreVector<OfItemHandle> m_items;
    OfItemHandle m_preselected;
    CoreVector<OfItemHandle> m_drop_items;
    OfContextHandle m_drop_target;
    std::unordered_map<GuiMenuItem const*, std::function<void()>> m_commands;
    GuiInputDialog* m_open_dialog = nullptr;
};
