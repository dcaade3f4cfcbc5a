#include "host/app/app_builtin_commands.h"

#include "host/app/app_object.h"
#include "host/app/app_selection.h"
#include "host/core/core_log.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

CORE_IMPLEMENT_CLASS(AppBuiltinCommands, CoreBaseObject)

char const* AppBuiltinCommands::get_item_use_name(ItemUse const& use)
{
    switch (use) {
        case ITEM_USE_READ:
            return "ITEM_USE_READ";
        case ITEM_USE_VALUES:
            return "ITEM_USE_VALUES";
        case ITEM_USE_STRUCTURE:
            return "ITEM_USE_STRUCTURE";
        case ITEM_USE_COUNT:
            return "ITEM_USE_COUNT";
    }
    return "ITEM_USE_UNKNOWN";
}

bool AppBuiltinCommands::is_context_writable(OfContext const* context)
{
    return context && context->is_in_scene() && context->is_writable();
}

OfObjectFactory* AppBuiltinCommands::check_items(char const* operation, CoreBasicArray<OfItem*> const& items,
                                                 ItemUse const& use, OfObjectFactory const* scene)
{
    if (items.is_empty()) {
        CORE_LOG_WARNING(operation << ": no items given\n");
        return nullptr;
    }
    for (OfItem* item : items) {
        if (!item) {
            CORE_LOG_WARNING(operation << ": the list holds a null item\n");
            return nullptr;
        }
    }
    OfObjectFactory* factory = scene ? const_cast<OfObjectFactory*>(scene) : &items[0]->get_factory();
    for (OfItem* item : items) {
        if (&item->get_factory() != factory) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " belongs to another scene\n");
            return nullptr;
        }
        if (!item->is_in_scene()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is not in the scene\n");
            return nullptr;
        }
        if (use == ITEM_USE_STRUCTURE && !item->is_editable(OfItem::EDIT_MODE_STRUCTURE)) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << (item->is_locked() ? " is locked\n"
                                                             : " lies in a reference and cannot change\n"));
            return nullptr;
        }
        if (use == ITEM_USE_VALUES && !item->is_editable(OfItem::EDIT_MODE_VALUES)) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << " lies in a reference that is not overridden\n");
            return nullptr;
        }
    }
    return factory;
}

bool AppBuiltinCommands::check_target(char const* operation, OfContext const& target,
                                      OfObjectFactory const& scene)
{
    if (&target.get_factory() != &scene) {
        CORE_LOG_WARNING(operation << ": " << target.get_full_name() << " belongs to another scene\n");
        return false;
    }
    if (!target.is_in_scene()) {
        CORE_LOG_WARNING(operation << ": " << target.get_full_name() << " is not in the scene\n");
        return false;
    }
    if (!target.is_writable()) {
        CORE_LOG_WARNING(operation << ": " << target.get_full_name()
                                   << " is a reference or lies in one: items cannot be added to it\n");
        return false;
    }
    return true;
}

namespace {

// Refuses embedded objects (they cannot leave their parent) and contexts that would go
// into themselves; one message.
bool check_placeable(char const* operation, CoreBasicArray<OfItem*> const& items, OfContext const& target)
{
    for (OfItem* item : items) {
        if (OfObject* object = item->to_object(); object && object->get_parent()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is embedded in an object\n");
            return false;
        }
        if (OfContext* context = item->to_context();
            context && (&target == context || target.is_child_of(*context))) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " cannot go into itself ("
                                       << target.get_full_name() << ")\n");
            return false;
        }
    }
    return true;
}

}  // namespace

OfObject* AppBuiltinCommands::create_object(CoreBasicString const& class_name, CoreBasicString const& name,
                                            OfContext* context, GMathVec2<double> const& position,
                                            bool const& select)
{
    char const* operation = "AppBuiltinCommands.create_object";
    OfObjectFactory& factory = m_app->get_factory();
    AppSelection& selection = m_app->get_selection();
    OfClass const* of_class = factory.get_classes().get(class_name);
    if (!of_class) {
        CORE_LOG_WARNING(operation << ": unknown class \"" << class_name << "\"\n");
        return nullptr;
    }
    if (of_class->is_abstract() || of_class->is_embedded_only()) {
        CORE_LOG_WARNING(operation << ": objects of class \"" << class_name
                                   << "\" cannot be created in a context ("
                                   << (of_class->is_abstract() ? "abstract" : "embedded only") << ")\n");
        return nullptr;
    }
    if (!name.is_empty() && !OfItem::is_valid_name(name)) {
        CORE_LOG_WARNING(operation << ": invalid name \"" << name << "\" (try \""
                                   << OfItem::make_valid_name(name) << "\")\n");
        return nullptr;
    }
    if (!context)
        context = &selection.get_slot_working_context(AppSelection::get_global_group_label(),
                                                      AppSelection::get_global_slot_label());
    if (!check_target(operation, *context, factory)) return nullptr;

    OfCommandManager& commands = factory.get_command_manager();
    commands.begin_batch("Create Object");
    OfObject* object = factory.create_object(class_name, name, context);
    if (object && position != GMathVec2<double>()) object->set_position(position);
    commands.end_batch();
    if (object && select) {
        OfItem* item = object;
        selection.set_selection(AppSelection::get_global_group_label(), AppSelection::get_global_slot_label(),
                                CoreBasicArray<OfItem*>(item));
    }
    return object;
}

bool AppBuiltinCommands::rename_item(CoreBasicString const& full_name, CoreBasicString const& new_name)
{
    char const* operation = "AppBuiltinCommands.rename_item";
    OfObjectFactory& factory = m_app->get_factory();
    OfItem* item = factory.get_item(full_name);
    if (!item) {
        CORE_LOG_WARNING(operation << ": no item \"" << full_name << "\"\n");
        return false;
    }
    if (!OfItem::is_valid_name(new_name)) {
        CORE_LOG_WARNING(operation << ": invalid name \"" << new_name << "\" (try \""
                                   << OfItem::make_valid_name(new_name) << "\")\n");
        return false;
    }
    if (!check_items(operation, CoreBasicArray<OfItem*>(item), ITEM_USE_STRUCTURE, &factory)) return false;
    OfCommandManager& commands = factory.get_command_manager();
    commands.begin_batch("Rename Item");
    bool ok = item->set_name(new_name);
    commands.end_batch();
    return ok;
}

bool AppBuiltinCommands::move_items_to(CoreBasicArray<OfItem*> const& items, OfContext& target)
{
    char const* operation = "AppBuiltinCommands.move_items_to";
    OfObjectFactory& factory = m_app->get_factory();
    if (!check_items(operation, items, ITEM_USE_STRUCTURE, &factory) ||
        !check_target(operation, target, factory) || !check_placeable(operation, items, target))
        return false;
    OfCommandManager& commands = factory.get_command_manager();
    commands.begin_batch("Move Items");
    bool ok = factory.move_items(items, target);
    commands.end_batch();
    return ok;
}

CoreVector<OfItem*> AppBuiltinCommands::copy_items_to(CoreBasicArray<OfItem*> const& items, OfContext& target)
{
    char const* operation = "AppBuiltinCommands.copy_items_to";
    OfObjectFactory& factory = m_app->get_factory();
    if (!check_items(operation, items, ITEM_USE_READ, &factory) ||
        !check_target(operation, target, factory) || !check_placeable(operation, items, target))
        return {};
    for (OfItem* item : items) {
        if (item->is_locked()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is locked\n");
            return {};
        }
    }
    OfCommandManager& commands = factory.get_command_manager();
    commands.begin_batch("Copy Items");
    CoreVector<OfItem*> copies = factory.copy_items(items, target);
    commands.end_batch();
    return copies;
}

CoreVector<OfObject*> AppBuiltinCommands::create_instances_to(CoreBasicArray<OfItem*> const& items,
                                                              OfContext& target)
{
    char const* operation = "AppBuiltinCommands.create_instances_to";
    OfObjectFactory& factory = m_app->get_factory();
    if (!check_items(operation, items, ITEM_USE_READ, &factory) || !check_target(operation, target, factory))
        return {};
    for (OfItem* item : items) {
        OfObject* object = item->to_object();
        if (!object || object->get_parent()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << (object ? " is embedded in an object" : " is a context")
                                       << " and has no instances\n");
            return {};
        }
    }
    CoreVector<OfObject*> instances;
    OfCommandManager& commands = factory.get_command_manager();
    commands.begin_batch("Create Instances");
    for (OfItem* item : items) {
        if (OfObject* instance = factory.create_instance(*item->to_object(), "", &target))
            instances.add(instance);
    }
    commands.end_batch();
    return instances;
}

bool AppBuiltinCommands::set_items_positions(CoreBasicArray<OfItem*> const& items,
                                             CoreBasicArray<GMathVec2<double>> const& positions)
{
    char const* operation = "AppBuiltinCommands.set_items_positions";
    OfObjectFactory& factory = m_app->get_factory();
    if (items.get_count() != positions.get_count()) {
        CORE_LOG_WARNING(operation << ": " << items.get_count() << " items but " << positions.get_count()
                                   << " positions\n");
        return false;
    }
    if (!check_items(operation, items, ITEM_USE_VALUES, &factory)) return false;
    OfCommandManager& commands = factory.get_command_manager();
    commands.begin_batch("Set Items Positions");
    bool ok = true;
    for (unsigned int i = 0; i < items.get_count(); ++i) ok = items[i]->set_position(positions[i]) && ok;
    commands.end_batch();
    return ok;
}
