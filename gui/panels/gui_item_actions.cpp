#include "gui/panels/gui_item_actions.h"

#include "host/app/app_builtin_commands.h"
#include "host/app/app_object.h"
#include "host/app/sdk_helpers.h"
#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/parser/parser_group.h"

namespace {

using Items = CoreBasicArray<OfItem*>;
using Commands = AppBuiltinCommands;

char const* const ITEM_ACTION_NAMES[] = {
    "ITEM_ACTION_CUT",
    "ITEM_ACTION_COPY",
    "ITEM_ACTION_COPY_WITH_DEPENDENCIES",
    "ITEM_ACTION_PASTE",
    "ITEM_ACTION_REVERT_OVERRIDES",
    "ITEM_ACTION_MAKE_LOCAL",
    "ITEM_ACTION_EXPORT_CONTEXT",
    "ITEM_ACTION_INSTANTIATE",
    "ITEM_ACTION_MAKE_INSTANCE_OF",
    "ITEM_ACTION_EDIT",
    "ITEM_ACTION_UNEDIT",
    "ITEM_ACTION_GROUP",
    "ITEM_ACTION_COMBINE",
    "ITEM_ACTION_CONTEXTUALIZE",
    "ITEM_ACTION_CREATE_SHADING_LAYER",
    "ITEM_ACTION_ISOLATE",
    "ITEM_ACTION_ISOLATE_MORE",
    "ITEM_ACTION_ISOLATE_LESS",
    "ITEM_ACTION_ISOLATE_SWAP",
    "ITEM_ACTION_DISABLE",
    "ITEM_ACTION_ENABLE",
    "ITEM_ACTION_DELETE",
    "ITEM_ACTION_PERMANENTLY_DELETE",
    "ITEM_ACTION_RENAME",
    "ITEM_ACTION_UNLOAD_RESOURCES",
    "ITEM_ACTION_HIDE",
    "ITEM_ACTION_SHOW",
};
static_assert(sizeof(ITEM_ACTION_NAMES) / sizeof(*ITEM_ACTION_NAMES) == GuiItemActions::ITEM_ACTION_COUNT);

char const* const DROP_ACTION_NAMES[] = {
    "DROP_ACTION_NONE",  "DROP_ACTION_COPY",    "DROP_ACTION_MOVE",   "DROP_ACTION_INSTANTIATE",
    "DROP_ACTION_GROUP", "DROP_ACTION_COMBINE", "DROP_ACTION_CANCEL",
};
static_assert(sizeof(DROP_ACTION_NAMES) / sizeof(*DROP_ACTION_NAMES) == GuiItemActions::DROP_ACTION_COUNT);

char const* const PIVOT_NAMES[] = {"PIVOT_CENTER", "PIVOT_ORIGIN", "PIVOT_FIRST"};
static_assert(sizeof(PIVOT_NAMES) / sizeof(*PIVOT_NAMES) == GuiItemActions::PIVOT_COUNT);

// The interactive application of the items' scene; null when it has none.
AppObject* get_app(OfItem const& item)
{
    OfApp* app = item.get_application();
    return app && app->is_kindof(AppObject::class_info()) ? static_cast<AppObject*>(app) : nullptr;
}

bool is_embedded(OfItem const& item)
{
    OfObject const* object = item.to_object();
    return object && object->get_parent();
}

// What every command asks of its list: not empty, no null item, all in the scene of the
// first, which belongs to an interactive application.
bool is_valid_list(Items const& items)
{
    if (items.is_empty()) return false;
    for (OfItem* item : items)
        if (!item || !item->is_in_scene() || &item->get_factory() != &items[0]->get_factory()) return false;
    return get_app(*items[0]) != nullptr;
}

bool all_editable(Items const& items, OfItem::EditMode const& mode)
{
    for (OfItem* item : items)
        if (!item->is_editable(mode)) return false;
    return true;
}

// A context of the items' scene that can receive items.
bool is_target(OfContext const* target, Items const& items)
{
    return Commands::is_context_writable(target) && &target->get_factory() == &items[0]->get_factory();
}

bool all_copyable(Items const& items)
{
    for (OfItem* item : items)
        if (item->is_locked() || is_embedded(*item)) return false;
    return true;
}

// Items that can go into `target`: no embedded object, no context into itself or below.
bool all_placeable(Items const& items, OfContext const& target)
{
    for (OfItem* item : items) {
        if (is_embedded(*item)) return false;
        if (item->is_context() && (item == &target || target.is_child_of(*item->to_context()))) return false;
    }
    return true;
}

bool all_plain_objects(Items const& items)
{
    for (OfItem* item : items)
        if (!item->is_object() || is_embedded(*item)) return false;
    return true;
}

bool can_group_into(Items const& items, OfContext const* parent)
{
    return is_valid_list(items) && all_editable(items, OfItem::EDIT_MODE_STRUCTURE) &&
           is_target(parent, items) && all_placeable(items, *parent);
}

OfContext const* get_paste_target(Items const& items, OfContext const* target)
{
    if (target || items.is_empty() || !items[0]) return target;
    return items[0]->is_context() ? items[0]->to_context() : items[0]->get_context();
}

bool has_overrides(OfObject const& object)
{
    if (!object.get_source()) return false;
    for (unsigned int i = 0; i < object.get_attr_count(); ++i)
        if (object.get_attr(i)->is_local()) return true;
    return false;
}

// The instances reverting the items' overrides concerns: the items, and the objects directly
// in the contexts given.
bool can_revert_overrides(Items const& items)
{
    bool any = false;
    auto check = [&](OfObject const& object) {
        if (!object.get_source()) return true;
        if (!object.is_editable(OfItem::EDIT_MODE_VALUES)) return false;
        any = any || has_overrides(object);
        return true;
    };
    for (OfItem* item : items) {
        if (OfObject* object = item->to_object()) {
            if (!check(*object)) return false;
            continue;
        }
        for (OfObject* object : item->to_context()->get_objects())
            if (!check(*object)) return false;
    }
    return any;
}

// Something to make local: an instance, a reference context or an item inside one; and no
// locked reference on the way.
bool can_make_local(Items const& items)
{
    bool any = false;
    for (OfItem* item : items) {
        OfObject* object = item->to_object();
        any = any || (object && object->get_source());
        OfContext* context = item->is_context() ? item->to_context() : item->get_context();
        for (; context; context = context->get_parent()) {
            if (!context->is_reference()) continue;
            if (context->is_locked()) return false;
            any = true;
        }
    }
    return any;
}

bool can_edit_references(Items const& items, bool const& edit)
{
    bool any = false;
    for (OfItem* item : items) {
        OfContext* context = item->to_context();
        if (!context || !context->is_reference()) return false;
        any = any || context->is_override() != edit;
    }
    return any;
}

// Whether some item's flag differs from `value`, all of them free to change it.
template <class Flag>
bool can_set_flag(Items const& items, bool const& value, Flag const& flag)
{
    if (!all_editable(items, OfItem::EDIT_MODE_VALUES)) return false;
    for (OfItem* item : items)
        if ((item->*flag)() != value) return true;
    return false;
}

bool not_allowed(char const* operation, char const* action)
{
    CORE_LOG_WARNING(operation << ": " << action << " is not allowed for these items\n");
    return false;
}

// Combines the objects into `target` with the pivot asked for, as one step.
bool combine(Items const& items, OfContext* target, GuiItemActions::Arguments const& arguments)
{
    CoreString const class_name =
        arguments.class_name.is_empty() ? CoreString("Combiner") : arguments.class_name;
    OfCommandManager& commands = items[0]->get_factory().get_command_manager();
    commands.begin_batch("Combine Items");
    OfObject* combiner = SdkHelpers::combine_items(items, class_name, target);
    if (combiner && arguments.pivot == GuiItemActions::PIVOT_ORIGIN)
        combiner->set_position(GMathVec2<double>());
    if (combiner && arguments.pivot == GuiItemActions::PIVOT_FIRST)
        combiner->set_position(items[0]->get_position());
    commands.end_batch();
    return combiner != nullptr;
}

}  // namespace

char const* GuiItemActions::get_item_action_name(ItemAction const& action)
{
    if (action == ITEM_ACTION_COUNT) return "ITEM_ACTION_COUNT";
    if (action < 0 || action > ITEM_ACTION_COUNT) return "ITEM_ACTION_UNKNOWN";
    return ITEM_ACTION_NAMES[action];
}

char const* GuiItemActions::get_drop_action_name(DropAction const& action)
{
    if (action == DROP_ACTION_COUNT) return "DROP_ACTION_COUNT";
    if (action < 0 || action > DROP_ACTION_COUNT) return "DROP_ACTION_UNKNOWN";
    return DROP_ACTION_NAMES[action];
}

char const* GuiItemActions::get_pivot_name(Pivot const& pivot)
{
    if (pivot == PIVOT_COUNT) return "PIVOT_COUNT";
    if (pivot < 0 || pivot > PIVOT_COUNT) return "PIVOT_UNKNOWN";
    return PIVOT_NAMES[pivot];
}

bool GuiItemActions::is_item_action_allowed(ItemAction const& action, Items const& items,
                                            OfContext const* target)
{
    if (action == ITEM_ACTION_PASTE) {
        OfContext const* into = get_paste_target(items, target);
        if (!Commands::is_context_writable(into) || (!items.is_empty() && !is_valid_list(items)))
            return false;
        AppObject* app = get_app(*into);
        return app && !app->get_item_clipboard().is_empty();
    }
    if (!is_valid_list(items)) return false;
    auto const structure = OfItem::EDIT_MODE_STRUCTURE;
    switch (action) {
        case ITEM_ACTION_CUT:
            return all_editable(items, structure) && all_copyable(items);
        case ITEM_ACTION_COPY:
        case ITEM_ACTION_COPY_WITH_DEPENDENCIES:
            return all_copyable(items);
        case ITEM_ACTION_REVERT_OVERRIDES:
            return can_revert_overrides(items);
        case ITEM_ACTION_MAKE_LOCAL:
            return can_make_local(items);
        case ITEM_ACTION_INSTANTIATE:
            if (!all_plain_objects(items)) return false;
            for (OfItem* item : items)
                if (!item->get_context()->is_writable()) return false;
            return true;
        case ITEM_ACTION_MAKE_INSTANCE_OF:
            return all_editable(items, structure) && all_plain_objects(items);
        case ITEM_ACTION_EDIT:
        case ITEM_ACTION_UNEDIT:
            return all_editable(items, structure) && can_edit_references(items, action == ITEM_ACTION_EDIT);
        case ITEM_ACTION_GROUP:
            return can_group_into(items, target ? target : items[0]->get_context());
        case ITEM_ACTION_CONTEXTUALIZE:
            return can_group_into(items, SdkHelpers::get_common_context(items));
        case ITEM_ACTION_COMBINE:
            for (OfItem* item : items)
                if (!item->is_object()) return false;
            return is_target(target ? target : items[0]->get_context(), items);
        case ITEM_ACTION_ISOLATE:
        case ITEM_ACTION_ISOLATE_MORE:
        case ITEM_ACTION_ISOLATE_LESS:
        case ITEM_ACTION_ISOLATE_SWAP:
            return true;
        case ITEM_ACTION_DISABLE:
            return can_set_flag(items, true, &OfItem::is_disabled);
        case ITEM_ACTION_ENABLE:
            return can_set_flag(items, false, &OfItem::is_disabled);
        case ITEM_ACTION_HIDE:
            return can_set_flag(items, true, &OfItem::is_hidden);
        case ITEM_ACTION_SHOW:
            return can_set_flag(items, false, &OfItem::is_hidden);
        case ITEM_ACTION_DELETE:
        case ITEM_ACTION_PERMANENTLY_DELETE:
            return all_editable(items, structure);
        case ITEM_ACTION_RENAME:
            return items.get_count() == 1 && items[0]->is_editable(structure);
        default:  // export, shading layers, unloading resources, and unknown values
            return false;
    }
}

bool GuiItemActions::run_item_action(ItemAction const& action, Items const& items, OfContext* target,
                                     Arguments const& arguments)
{
    char const* operation = "GuiItemActions.run_item_action";
    if (!is_item_action_allowed(action, items, target))
        return not_allowed(operation, get_item_action_name(action));
    switch (action) {
        case ITEM_ACTION_CUT:
            return SdkHelpers::cut_items(items);
        case ITEM_ACTION_COPY:
            return SdkHelpers::copy_items(items);
        case ITEM_ACTION_COPY_WITH_DEPENDENCIES:
            return SdkHelpers::copy_items(items, true);
        case ITEM_ACTION_PASTE:
            return !SdkHelpers::paste_items(*const_cast<OfContext*>(get_paste_target(items, target)))
                        .is_empty();
        case ITEM_ACTION_REVERT_OVERRIDES:
            return SdkHelpers::revert_items_overrides(items);
        case ITEM_ACTION_MAKE_LOCAL:
            return SdkHelpers::make_local_items(items);
        case ITEM_ACTION_INSTANTIATE:
            return !SdkHelpers::instantiate_items(items).is_empty();
        case ITEM_ACTION_MAKE_INSTANCE_OF:
            if (!arguments.source) {
                CORE_LOG_WARNING(operation << ": making instances needs a source object\n");
                return false;
            }
            return !SdkHelpers::make_instance_items(items, *arguments.source).is_empty();
        case ITEM_ACTION_EDIT:
        case ITEM_ACTION_UNEDIT:
            return SdkHelpers::edit_references(items, action == ITEM_ACTION_EDIT);
        case ITEM_ACTION_GROUP:
            return SdkHelpers::group_items(items,
                                           arguments.name.is_empty() ? CoreString("group") : arguments.name,
                                           target) != nullptr;
        case ITEM_ACTION_CONTEXTUALIZE:
            return SdkHelpers::contextualize_items(
                       items, arguments.name.is_empty() ? CoreString("context") : arguments.name) != nullptr;
        case ITEM_ACTION_COMBINE:
            return combine(items, target, arguments);
        case ITEM_ACTION_ISOLATE:
            return SdkHelpers::isolate_items(items);
        case ITEM_ACTION_ISOLATE_MORE:
            return SdkHelpers::isolate_more_items(items);
        case ITEM_ACTION_ISOLATE_LESS:
            return SdkHelpers::isolate_less_items(items);
        case ITEM_ACTION_ISOLATE_SWAP:
            return SdkHelpers::isolate_swap(items[0]->get_factory());
        case ITEM_ACTION_DISABLE:
        case ITEM_ACTION_ENABLE:
            return SdkHelpers::enable_disable_items(items, action == ITEM_ACTION_ENABLE);
        case ITEM_ACTION_HIDE:
        case ITEM_ACTION_SHOW:
            return SdkHelpers::set_items_display(items, action == ITEM_ACTION_SHOW);
        case ITEM_ACTION_DELETE:
            return SdkHelpers::delete_items(items);
        case ITEM_ACTION_PERMANENTLY_DELETE:
            return SdkHelpers::trash_items(items);
        case ITEM_ACTION_RENAME:
            return get_app(*items[0])->get_builtin_commands().rename_item(items[0]->get_full_name(),
                                                                          arguments.name);
        default:
            return false;
    }
}

bool GuiItemActions::run_item_action(ItemAction const& action, Items const& items, OfContext* target)
{
    return run_item_action(action, items, target, Arguments());
}

bool GuiItemActions::is_drop_action_allowed(DropAction const& action, Items const& items,
                                            OfContext const* target)
{
    if (action == DROP_ACTION_CANCEL) return true;
    if (!is_valid_list(items) || !is_target(target, items)) return false;
    switch (action) {
        case DROP_ACTION_COPY:
            return all_copyable(items) && all_placeable(items, *target);
        case DROP_ACTION_MOVE: {
            if (!all_editable(items, OfItem::EDIT_MODE_STRUCTURE) || !all_placeable(items, *target))
                return false;
            for (OfItem* item : items)
                if (item->get_context() != target) return true;
            return false;
        }
        case DROP_ACTION_INSTANTIATE:
            return all_plain_objects(items);
        case DROP_ACTION_GROUP:
            return is_item_action_allowed(ITEM_ACTION_GROUP, items, target);
        case DROP_ACTION_COMBINE:
            return is_item_action_allowed(ITEM_ACTION_COMBINE, items, target);
        default:
            return false;
    }
}

GuiItemActions::DropAction GuiItemActions::get_default_drop_action(Items const& items,
                                                                   OfContext const* target)
{
    for (DropAction action : {DROP_ACTION_MOVE, DROP_ACTION_INSTANTIATE, DROP_ACTION_COPY})
        if (is_drop_action_allowed(action, items, target)) return action;
    return DROP_ACTION_NONE;
}

bool GuiItemActions::run_drop_action(DropAction const& action, Items const& items, OfContext* target,
                                     Arguments const& arguments)
{
    char const* operation = "GuiItemActions.run_drop_action";
    if (!is_drop_action_allowed(action, items, target))
        return not_allowed(operation, get_drop_action_name(action));
    switch (action) {
        case DROP_ACTION_CANCEL:
            return true;
        case DROP_ACTION_COPY:
            return !get_app(*items[0])->get_builtin_commands().copy_items_to(items, *target).is_empty();
        case DROP_ACTION_MOVE:
            return get_app(*items[0])->get_builtin_commands().move_items_to(items, *target);
        case DROP_ACTION_INSTANTIATE:
            return !get_app(*items[0])->get_builtin_commands().create_instances_to(items, *target).is_empty();
        case DROP_ACTION_GROUP:
            return run_item_action(ITEM_ACTION_GROUP, items, target, arguments);
        case DROP_ACTION_COMBINE:
            return run_item_action(ITEM_ACTION_COMBINE, items, target, arguments);
        default:
            return false;
    }
}

bool GuiItemActions::run_drop_action(DropAction const& action, Items const& items, OfContext* target)
{
    return run_drop_action(action, items, target, Arguments());
}
