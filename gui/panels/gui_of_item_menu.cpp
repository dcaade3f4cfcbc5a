#include "gui/panels/gui_of_item_menu.h"

#include <algorithm>
#include <utility>

#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/panels/gui_browser_picker.h"
#include "gui/panels/gui_input_dialog.h"
#include "host/app/app_builtin_commands.h"
#include "host/app/sdk_helpers.h"
#include "host/core/core_log.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CLASS(GuiOfItemMenu, GuiMenu)

EVENT_DEFINE_ID(EVT_ID_BROWSER_MENU_RENAME_ITEM);

namespace {

using Action = GuiItemActions::ItemAction;
using DropAction = GuiItemActions::DropAction;

CoreVector<OfItem*> resolve(CoreVector<OfItemHandle> const& handles)
{
    CoreVector<OfItem*> items;
    for (OfItemHandle const& handle : handles)
        if (OfItem* item = handle.get_item()) items.add(item);
    return items;
}

CoreCustomData::Key get_preselected_item_key()
{
    static CoreCustomData::Key const key =
        CoreCustomData::get_custom_data_key(GuiOfItemMenu::get_preselected_item_key_name());
    return key;
}

// Colour tags change item values: every item must allow it.
bool can_tag(CoreVector<OfItem*> const& items)
{
    if (items.is_empty()) return false;
    for (OfItem* item : items)
        if (!item->is_in_scene() || !item->is_editable(OfItem::EDIT_MODE_VALUES)) return false;
    return true;
}

// The application object of the item's scene; null when it has none.
AppObject* get_app(OfItem const& item)
{
    OfApp* app = item.get_application();
    return app && app->is_kindof(AppObject::class_info()) ? static_cast<AppObject*>(app) : nullptr;
}

// A sub-menu can be opened when one of its entries can be picked.
void enable_from_entries(GuiMenuItem& item)
{
    bool any = false;
    for (GuiMenuItem* entry : item.get_sub_menu()->get_items())
        any = any || (!entry->is_separator() && entry->is_enabled());
    item.set_enable(any);
}

}  // namespace

GuiOfItemMenu::GuiOfItemMenu(GuiWidget& owner) : GuiMenu(&owner)
{
    connect(*this, EVT_ID_MENU_CLICK, &GuiOfItemMenu::on_click);
}

GuiOfItemMenu::GuiOfItemMenu(GuiWidget& owner, CoreVector<OfClass const*> const& class_filter)
    : GuiOfItemMenu(owner)
{
    m_class_filter = class_filter;
}

GuiOfItemMenu::~GuiOfItemMenu()
{
    // Sub-menus go with the items: their clicks must not reach a half-destroyed menu.
    disconnect_all();
}

CoreString const& GuiOfItemMenu::get_preselected_item_key_name()
{
    static CoreString const name("menu_preselected_item");
    return name;
}

bool GuiOfItemMenu::is_valid_class_by_filter(OfClass const& of_class) const
{
    if (m_class_filter.is_empty()) return true;
    for (OfClass const* filter : m_class_filter)
        if (filter && of_class.is_kindof(*filter)) return true;
    return false;
}

void GuiOfItemMenu::set_items(CoreVector<OfItem*> const& items)
{
    m_items.clear();
    for (OfItem* item : items)
        if (item && item->is_in_scene()) m_items.add(OfItemHandle(item));
}

CoreVector<OfItem*> GuiOfItemMenu::get_command_items() const
{
    CoreVector<OfItem*> items = resolve(m_items);
    if (items.is_empty())
        if (OfItem* item = get_preselected_item()) items.add(item);
    return items;
}

OfItem* GuiOfItemMenu::get_preselected_item() const
{
    return has_custom_data(get_preselected_item_key()) ? m_preselected.get_item() : nullptr;
}

OfContext* GuiOfItemMenu::get_preselected_context() const
{
    OfItem* item = get_preselected_item();
    if (!item) return nullptr;
    return item->is_context() ? item->to_context() : item->get_context();
}

// Entries ------------------------------------------------------------------------------------

GuiMenuItem* GuiOfItemMenu::add_command(GuiMenu& menu, CoreString const& name, CoreString const& shortcut,
                                        bool const& enabled, std::function<void()> command)
{
    GuiMenuItem* item = menu.add_item(name);
    if (!shortcut.is_empty()) item->set_shortcut(shortcut);
    item->set_enable(enabled);
    m_commands[item] = std::move(command);
    return item;
}

GuiMenuItem* GuiOfItemMenu::add_action(GuiMenu& menu, CoreString const& name, CoreString const& shortcut,
                                       Action const& action)
{
    CoreVector<OfItem*> const items = get_command_items();
    bool const allowed = GuiItemActions::is_item_action_allowed(action, items);
    return add_command(menu, name, shortcut, allowed,
                       [this, action] { GuiItemActions::run_item_action(action, get_command_items()); });
}

GuiMenu* GuiOfItemMenu::add_commands_sub_menu(GuiMenu& menu, CoreString const& name)
{
    GuiMenu* sub = menu.add_sub_menu(name);
    connect(*sub, EVT_ID_MENU_CLICK, &GuiOfItemMenu::on_click);
    return sub;
}

void GuiOfItemMenu::clear_commands()
{
    m_commands.clear();
    remove_all_items();
}

void GuiOfItemMenu::on_click(GuiMenu& menu, EventInfo const&, void*)
{
    GuiMenuItem* picked = menu.get_last_selected_item();
    auto found = m_commands.find(picked);
    if (found == m_commands.end()) return;
    // The command may rebuild the menu, which forgets its commands.
    std::function<void()> const command = found->second;
    command();
    remove_custom_data(get_preselected_item_key());
}

// Menus ----------------------------------------------------------------------------------------

void GuiOfItemMenu::populate(OfContext* context, bool const& clear)
{
    if (clear) clear_commands();
    GuiMenu* sub = add_commands_sub_menu(*this, "New");
    AppObject* app = context ? get_app(*context) : nullptr;
    if (app && AppBuiltinCommands::is_context_writable(context)) {
        CoreVector<OfClass const*> classes;
        for (OfClass const* of_class : context->get_factory().get_classes().get_classes())
            if (of_class->is_ui_creatable() && !of_class->is_embedded_only() &&
                is_valid_class_by_filter(*of_class))
                classes.add(of_class);
        std::sort(classes.begin(), classes.end(),
                  [](OfClass const* a, OfClass const* b) { return a->get_name() < b->get_name(); });
        OfContextHandle const where(context);
        for (OfClass const* of_class : classes) {
            CoreString const name = of_class->get_name();
            add_command(*sub, name, CoreString(), true, [app, where, name] {
                if (OfContext* into = where.to_context())
                    app->get_builtin_commands().create_object(name, "", into);
            });
        }
    }
    sub->get_parent_item()->set_enable(!sub->get_items().is_empty());
}

void GuiOfItemMenu::build_open_with_menu_item(OfItem* item)
{
    GuiMenu* sub = add_commands_sub_menu(*this, "Open With");
    GuiApp& app = get_application();
    CoreVector<CoreString> const editors =
        item ? app.get_item_editors().get_editors_for(*item) : CoreVector<CoreString>();
    CoreString const chosen = item ? app.get_item_editors().get_default_editor_for(*item) : CoreString();
    for (CoreString const& editor : editors) {
        GuiMenuItem* entry = add_command(*sub, editor, CoreString(), true, [this, editor] {
            CoreVector<OfItem*> const items = get_command_items();
            get_application().open_items_in_widget(items, editor);
        });
        entry->set_bold(editor == chosen);
    }
    if (!editors.is_empty()) sub->add_separator();
    OfItemHandle const handle(item);
    add_command(*sub, "Choose Default Widget...", CoreString(), !editors.is_empty(), [this, handle] {
        if (OfItem* target = handle.get_item()) ask_default_widget(*target);
    });
    enable_from_entries(*sub->get_parent_item());
}

void GuiOfItemMenu::build_combine_menu_item()
{
    add_action(*this, "Combine", CoreString(), GuiItemActions::ITEM_ACTION_COMBINE);
    GuiMenu* sub = add_commands_sub_menu(*this, "Combine...");
    bool const allowed =
        GuiItemActions::is_item_action_allowed(GuiItemActions::ITEM_ACTION_COMBINE, get_command_items());
    add_command(*sub, "Scene Objects...", CoreString(), allowed, [this] { ask_combine(); });
    // This application has no shading layers to combine.
    add_command(*sub, "Shading Layers...", CoreString(), false, [] {});
    enable_from_entries(*sub->get_parent_item());
}

void GuiOfItemMenu::populate_colortag_menu(GuiMenu& menu)
{
    CoreVector<OfItem*> const selection = get_command_items();
    OfItem* item = get_preselected_item();
    CoreVector<OfItem*> own;
    if (item) own.add(item);
    CoreVector<OfItem*> const& tagged = item ? own : selection;
    OfItemHandle const source(item);
    add_command(menu, "Apply Color Tag to selection", CoreString(),
                item && item->get_colortag() > 0 && can_tag(selection), [this, source] {
                    if (OfItem* from = source.get_item())
                        set_colortag(get_command_items(), from->get_colortag());
                });
    bool any_tagged = false;
    for (OfItem* entry : selection) any_tagged = any_tagged || entry->get_colortag() > 0;
    add_command(menu, "Clear Color Tag on selection", CoreString(), any_tagged && can_tag(selection),
                [this] { set_colortag(get_command_items(), 0); });
    bool own_tagged = false;
    for (OfItem* entry : tagged) own_tagged = own_tagged || entry->get_colortag() > 0;
    CoreVector<OfItemHandle> targets;
    for (OfItem* entry : tagged) targets.add(OfItemHandle(entry));
    add_command(menu, "Clear", CoreString(), own_tagged && can_tag(tagged),
                [this, targets] { set_colortag(resolve(targets), 0); });
    CoreVector<GuiColorTag> const& tags = get_application().get_color_tags();
    if (!tags.is_empty()) menu.add_separator();
    for (unsigned int i = 0; i < tags.get_count(); ++i) {
        GuiMenuItem* entry = add_command(menu, tags[i].name, CoreString(), can_tag(tagged),
                                         [this, targets, i] { set_colortag(resolve(targets), i + 1); });
        entry->set_doc(tags[i].tip);
        entry->set_checkable(true);
        entry->check(tagged.get_count() == 1 && tagged[0]->get_colortag() == i + 1);
    }
}

void GuiOfItemMenu::build_items_menu(OfItem* item)
{
    clear_commands();
    m_preselected = OfItemHandle(item);
    if (item)
        set_custom_data(get_preselected_item_key(), CoreVariant(static_cast<void*>(item)));
    else
        remove_custom_data(get_preselected_item_key());
    CoreVector<OfItem*> const items = get_command_items();
    auto allowed = [&](Action const& action) {
        return GuiItemActions::is_item_action_allowed(action, items);
    };

    populate(get_preselected_context(), false);
    build_open_with_menu_item(item);
    add_separator();

    add_action(*this, "Cut", "ctrl+x", GuiItemActions::ITEM_ACTION_CUT);
    add_action(*this, "Copy", "ctrl+c", GuiItemActions::ITEM_ACTION_COPY);
    add_action(*this, "Copy With Dependencies", "ctrl+shift+d",
               GuiItemActions::ITEM_ACTION_COPY_WITH_DEPENDENCIES);
    OfContextHandle const paste_target(get_preselected_context());
    add_command(*this, "Paste", "ctrl+v",
                GuiItemActions::is_item_action_allowed(GuiItemActions::ITEM_ACTION_PASTE, {},
                                                       paste_target.to_context()),
                [paste_target] {
                    GuiItemActions::run_item_action(GuiItemActions::ITEM_ACTION_PASTE, {},
                                                    paste_target.to_context());
                });
    add_separator();

    GuiMenu* reference = add_commands_sub_menu(*this, "Reference");
    add_action(*reference, "Revert Overrides", CoreString(), GuiItemActions::ITEM_ACTION_REVERT_OVERRIDES);
    add_action(*reference, "Make Local", CoreString(), GuiItemActions::ITEM_ACTION_MAKE_LOCAL);
    add_action(*reference, "Export Context...", CoreString(), GuiItemActions::ITEM_ACTION_EXPORT_CONTEXT);
    enable_from_entries(*reference->get_parent_item());
    add_separator();

    add_action(*this, "Instantiate", CoreString(), GuiItemActions::ITEM_ACTION_INSTANTIATE);
    add_action(*this, "Make Local", CoreString(), GuiItemActions::ITEM_ACTION_MAKE_LOCAL);
    add_command(*this, "Make Instance Of...", CoreString(),
                allowed(GuiItemActions::ITEM_ACTION_MAKE_INSTANCE_OF), [this] { ask_make_instance_of(); });
    add_action(*this, "Edit", CoreString(), GuiItemActions::ITEM_ACTION_EDIT);
    add_action(*this, "Unedit", CoreString(), GuiItemActions::ITEM_ACTION_UNEDIT);
    add_separator();

    add_command(*this, "Group...", CoreString(), allowed(GuiItemActions::ITEM_ACTION_GROUP),
                [this] { ask_group(); });
    add_separator();
    build_combine_menu_item();
    add_separator();
    add_action(*this, "Contextualize", CoreString(), GuiItemActions::ITEM_ACTION_CONTEXTUALIZE);
    add_separator();

    GuiMenu* layer = add_commands_sub_menu(*this, "Create Shading Layer");
    for (char const* naming :
         {"Use full names...", "Use relative names...", "Use kinematics...", "Use shading groups names..."})
        add_action(*layer, naming, CoreString(), GuiItemActions::ITEM_ACTION_CREATE_SHADING_LAYER);
    enable_from_entries(*layer->get_parent_item());
    add_separator();

    GuiMenu* isolate = add_commands_sub_menu(*this, "Isolate");
    add_action(*isolate, "Isolate", "shift+i", GuiItemActions::ITEM_ACTION_ISOLATE);
    add_action(*isolate, "Isolate more", CoreString(), GuiItemActions::ITEM_ACTION_ISOLATE_MORE);
    add_action(*isolate, "Isolate less", CoreString(), GuiItemActions::ITEM_ACTION_ISOLATE_LESS);
    add_action(*isolate, "Isolate swap", CoreString(), GuiItemActions::ITEM_ACTION_ISOLATE_SWAP);
    enable_from_entries(*isolate->get_parent_item());
    add_separator();

    add_action(*this, "Disable", "ctrl+d", GuiItemActions::ITEM_ACTION_DISABLE);
    add_action(*this, "Enable", "shift+d", GuiItemActions::ITEM_ACTION_ENABLE);
    add_separator();
    add_action(*this, "Delete", "del", GuiItemActions::ITEM_ACTION_DELETE);
    add_action(*this, "Permanently Delete", "shift+del", GuiItemActions::ITEM_ACTION_PERMANENTLY_DELETE);
    add_separator();

    CoreVector<OfItem*> own;
    if (item) own.add(item);
    add_command(*this, "Rename", "F2",
                GuiItemActions::is_item_action_allowed(GuiItemActions::ITEM_ACTION_RENAME, own),
                [this] { rename(); });
    add_separator();
    add_action(*this, "Unload Resources", CoreString(), GuiItemActions::ITEM_ACTION_UNLOAD_RESOURCES);
    add_separator();

    GuiMenu* tags = add_commands_sub_menu(*this, "Color Tag");
    populate_colortag_menu(*tags);
    enable_from_entries(*tags->get_parent_item());
}

void GuiOfItemMenu::build_drop_menu(CoreVector<OfItem*> const& items, OfContext* target)
{
    clear_commands();
    remove_custom_data(get_preselected_item_key());
    m_drop_items.clear();
    for (OfItem* item : items)
        if (item) m_drop_items.add(OfItemHandle(item));
    m_drop_target = OfContextHandle(target);
    DropAction const chosen = GuiItemActions::get_default_drop_action(items, target);
    struct Entry {
        char const* name;
        DropAction action;
    };
    Entry const entries[] = {{"Copy Here", GuiItemActions::DROP_ACTION_COPY},
                             {"Move Here", GuiItemActions::DROP_ACTION_MOVE},
                             {"Create Instances Here", GuiItemActions::DROP_ACTION_INSTANTIATE},
                             {"Group Here", GuiItemActions::DROP_ACTION_GROUP},
                             {"Combine Here", GuiItemActions::DROP_ACTION_COMBINE},
                             {nullptr, GuiItemActions::DROP_ACTION_NONE},
                             {"Cancel", GuiItemActions::DROP_ACTION_CANCEL}};
    for (Entry const& entry : entries) {
        if (!entry.name) {
            add_separator();
            continue;
        }
        DropAction const action = entry.action;
        GuiMenuItem* item = add_command(
            *this, entry.name, CoreString(), GuiItemActions::is_drop_action_allowed(action, items, target),
            [this, action] {
                GuiItemActions::run_drop_action(action, resolve(m_drop_items), m_drop_target.to_context());
            });
        item->set_bold(action == chosen);
    }
}

void GuiOfItemMenu::popup()
{
    int x = 0, y = 0;
    Gui::get_mouse_screen_position(x, y);
    GuiMenu::popup(x, y);
}

// Commands that ask first -----------------------------------------------------------------------

GuiInputDialog* GuiOfItemMenu::make_dialog(CoreString const& title)
{
    GuiWidget* window = get_owner_widget() ? get_owner_widget()->get_window() : nullptr;
    if (window && window->is_kindof(GuiWindow::class_info()))
        return new GuiInputDialog(*static_cast<GuiWindow*>(window), title);
    return new GuiInputDialog(get_application(), title);
}

bool GuiOfItemMenu::run_dialog(GuiInputDialog& dialog)
{
    if (m_open_dialog) {
        CORE_LOG_WARNING("GuiOfItemMenu.run_dialog: \"" << m_open_dialog->get_title() << "\" is open; \""
                                                        << dialog.get_title()
                                                        << "\" waits for it to close\n");
        return false;
    }
    m_open_dialog = &dialog;
    bool const accepted = dialog.run(true);
    m_open_dialog = nullptr;
    return accepted;
}

void GuiOfItemMenu::ask_group()
{
    GuiInputDialog* dialog = make_dialog("Group");
    GuiLineEdit* name = dialog->add_text("Name", "group");
    if (run_dialog(*dialog)) {
        GuiItemActions::Arguments arguments;
        arguments.name = name->get_text();
        GuiItemActions::run_item_action(GuiItemActions::ITEM_ACTION_GROUP, get_command_items(), nullptr,
                                        arguments);
    }
    dialog->destroy();
}

void GuiOfItemMenu::ask_combine()
{
    GuiInputDialog* dialog = make_dialog("Combine Options");
    GuiListButton* pivot = dialog->add_choice("Pivot Location ", {"Center", "Origin", "First Object"}, 0);
    if (run_dialog(*dialog)) {
        GuiItemActions::Arguments arguments;
        arguments.pivot = static_cast<GuiItemActions::Pivot>(pivot->get_selected_index());
        GuiItemActions::run_item_action(GuiItemActions::ITEM_ACTION_COMBINE, get_command_items(), nullptr,
                                        arguments);
    }
    dialog->destroy();
}

void GuiOfItemMenu::ask_make_instance_of()
{
    GuiBrowserPicker* picker = new GuiBrowserPicker(get_application(), {});
    m_open_dialog = picker;
    OfObject* source = picker->pick();
    m_open_dialog = nullptr;
    picker->destroy();
    if (!source) return;
    GuiItemActions::Arguments arguments;
    arguments.source = source;
    GuiItemActions::run_item_action(GuiItemActions::ITEM_ACTION_MAKE_INSTANCE_OF, get_command_items(),
                                    nullptr, arguments);
}

void GuiOfItemMenu::ask_default_widget(OfItem& item)
{
    GuiAppItemEditors& registry = get_application().get_item_editors();
    CoreVector<CoreString> const editors = registry.get_editors_for(item);
    if (editors.is_empty()) return;
    OfItemHandle const handle(&item);
    CoreString const class_name = GuiAppItemEditors::get_item_class_name(item);
    int current = 0;
    for (unsigned int i = 0; i < editors.get_count(); ++i)
        if (editors[i] == registry.get_default_editor_for(item)) current = static_cast<int>(i);
    GuiInputDialog* dialog = make_dialog("Choose Default Widget");
    GuiListButton* choice = dialog->add_choice(class_name, editors, current);
    if (run_dialog(*dialog) && choice->get_selected_index() >= 0)
        registry.set_default_editor(class_name,
                                    editors[static_cast<unsigned int>(choice->get_selected_index())]);
    dialog->destroy();
}

void GuiOfItemMenu::rename()
{
    OfItem* item = get_preselected_item();
    if (!item || !get_owner_widget()) return;
    EventInfo info(EVT_ID_BROWSER_MENU_RENAME_ITEM, item);
    get_owner_widget()->raise_event(info);
}

void GuiOfItemMenu::set_colortag(CoreVector<OfItem*> const& items, unsigned int const& tag)
{
    if (!items.is_empty()) SdkHelpers::colortag_items(items, tag);
}
