#pragma once
// GuiItemActions: the commands users run on scene items from item menus and shortcuts, and
// what a drop of items onto a context may do. For each it answers whether it is allowed for
// a list of items (and a target context) as the command itself would judge them, so menus
// enable exactly what would run, and it runs it through the application's item commands
// (SdkHelpers, AppBuiltinCommands), each one undo step.
//
//     CoreVector<OfItem*> items = ...;
//     if (GuiItemActions::is_item_action_allowed(GuiItemActions::ITEM_ACTION_GROUP, items))
//         GuiItemActions::run_item_action(GuiItemActions::ITEM_ACTION_GROUP, items);
//     GuiItemActions::DropAction drop = GuiItemActions::get_default_drop_action(items, target);
//
// Every list must hold items of one scene, all in it; an empty list allows nothing, except
// pasting into a given target. Export, shading layers and unloading resources are not
// commands of this application: they are never allowed.
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class OfContext;
class OfItem;
class OfObject;

class QN_GUI_API GuiItemActions {
public:
    enum ItemAction : int {
        ITEM_ACTION_CUT,
        ITEM_ACTION_COPY,
        ITEM_ACTION_COPY_WITH_DEPENDENCIES,
        // Into the target, else into the first item (a context) or its context.
        ITEM_ACTION_PASTE,
        ITEM_ACTION_REVERT_OVERRIDES,
        ITEM_ACTION_MAKE_LOCAL,
        ITEM_ACTION_EXPORT_CONTEXT,
        ITEM_ACTION_INSTANTIATE,
        // Replaces the objects by instances of Arguments::source.
        ITEM_ACTION_MAKE_INSTANCE_OF,
        // Lets the values inside reference contexts change (their override flag), or no longer.
        ITEM_ACTION_EDIT,
        ITEM_ACTION_UNEDIT,
        // Into a new context in the target, else in the first item's context.
        ITEM_ACTION_GROUP,
        ITEM_ACTION_COMBINE,
        // Into a new context where the items' contexts meet.
        ITEM_ACTION_CONTEXTUALIZE,
        ITEM_ACTION_CREATE_SHADING_LAYER,
        ITEM_ACTION_ISOLATE,
        ITEM_ACTION_ISOLATE_MORE,
        ITEM_ACTION_ISOLATE_LESS,
        // Swaps what is isolated in the items' scene.
        ITEM_ACTION_ISOLATE_SWAP,
        ITEM_ACTION_DISABLE,
        ITEM_ACTION_ENABLE,
        // Into the trash.
        ITEM_ACTION_DELETE,
        ITEM_ACTION_PERMANENTLY_DELETE,
        // One item, to Arguments::name.
        ITEM_ACTION_RENAME,
        ITEM_ACTION_UNLOAD_RESOURCES,
        ITEM_ACTION_HIDE,
        ITEM_ACTION_SHOW,
        ITEM_ACTION_COUNT
    };

    // What a drop of items onto a context does.
    enum DropAction : int {
        DROP_ACTION_NONE,
        DROP_ACTION_COPY,
        DROP_ACTION_MOVE,
        DROP_ACTION_INSTANTIATE,
        DROP_ACTION_GROUP,
        DROP_ACTION_COMBINE,
        // Always allowed; does nothing.
        DROP_ACTION_CANCEL,
        DROP_ACTION_COUNT
    };

    // Where a combining object goes: the centre of the objects' positions, the origin, or
    // the first object's position.
    enum Pivot : int { PIVOT_CENTER, PIVOT_ORIGIN, PIVOT_FIRST, PIVOT_COUNT };

    // The constants' names ("ITEM_ACTION_CUT", ...), "..._COUNT", or "..._UNKNOWN".
    static char const* get_item_action_name(ItemAction const& action);
    static char const* get_drop_action_name(DropAction const& action);
    static char const* get_pivot_name(Pivot const& pivot);

    // What some actions take beyond the items; empty fields take the commands' defaults.
    struct Arguments {
        CoreString name;        // group, contextualize, rename
        CoreString class_name;  // combine
        Pivot pivot = PIVOT_CENTER;
        OfObject* source = nullptr;  // make instance of
    };

    GuiItemActions() = delete;

    // Whether running the action on the items (into `target` where it takes one) would be
    // accepted. Asks nothing of the user and logs nothing.
    static bool is_item_action_allowed(ItemAction const& action, CoreBasicArray<OfItem*> const& items,
                                       OfContext const* target = nullptr);
    // Runs the action; false, with one warning, when it is not allowed or did not happen.
    static bool run_item_action(ItemAction const& action, CoreBasicArray<OfItem*> const& items,
                                OfContext* target, Arguments const& arguments);
    static bool run_item_action(ItemAction const& action, CoreBasicArray<OfItem*> const& items,
                                OfContext* target = nullptr);

    // Drops: copying, moving, instancing, grouping and combining the items into `target`.
    // Moving is refused when every item is already in the target, and like copying when a
    // context would go into itself or a context inside it.
    static bool is_drop_action_allowed(DropAction const& action, CoreBasicArray<OfItem*> const& items,
                                       OfContext const* target);
    // Moving when allowed, else instancing, else copying; DROP_ACTION_NONE when none is.
    static DropAction get_default_drop_action(CoreBasicArray<OfItem*> const& items, OfContext const* target);
    static bool run_drop_action(DropAction const& action, CoreBasicArray<OfItem*> const& items,
                                OfContext* target, Arguments const& arguments);
    static bool run_drop_action(DropAction const& action, CoreBasicArray<OfItem*> const& items,
                                OfContext* target);
};
