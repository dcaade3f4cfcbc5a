#pragma once
// The item commands of the interface's menus and shortcuts, for the objects and contexts
// the user selected: clipboard, deletion, grouping, instancing, display, state and
// overrides. Each command that changes the scene is one undo step with its own label, and
// checks all its input first: an empty list, a null item, an item not in the scene (or of
// another scene than the others) or one that cannot be changed that way is refused with one
// message, and nothing changes. Commands that need the application (clipboard, selection,
// preferences) take it from the items' scene, which must belong to an AppObject.
//
//     SdkHelpers::copy_items(selection);                  // to the application's clipboard
//     SdkHelpers::paste_items(*target);                   // "Paste Items"
//     SdkHelpers::delete_items(selection);                // "Delete Items": into /trash
//
// Deleting: delete_items moves the items into the trash, the context "trash" at the root of
// the scene, made when first needed, from where the user can move them back; what is
// already in the trash (or the trash itself), and embedded objects, are deleted for good.
// With the preference general.delete_to_trash off, delete_items deletes for good, as
// trash_items ("Permanently Delete") always does. Deleted or trashed items leave the
// selection.
//
// Display: an item is displayed unless it, or an object or context holding it, is hidden
// (OfItem::is_hidden). Isolating items hides every other object of the scene and shows the
// items, what holds them and what they hold.
//
// Overrides: the values an instance holds of its own instead of reading its source's.
//
// Renderer, reference-file and build-package services do not exist in this application:
// create_shading_layer_for_items, export_context_as_reference,
// export_nodes_as_build_package and import_nodes_from_build_package log a warning
// "SdkHelpers.<name>: not available in this application" and change nothing.
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class OfContext;
class OfItem;
class OfObject;
class OfObjectFactory;

class QN_HOST_API SdkHelpers : public CoreBaseObject {
    CORE_DECLARE_CLASS(SdkHelpers, CoreBaseObject)

public:
    SdkHelpers() = delete;

    // --- clipboard ---

    // Puts the items (with what they hold) into the application's item clipboard, replacing
    // its content; with `with_dependencies`, also every object they read from. The scene
    // does not change (no undo step). Locked and embedded items cannot be copied.
    static bool copy_items(CoreBasicArray<OfItem*> const& items, bool const& with_dependencies = false);
    // copy_items, then deletes the items for good ("Cut Items").
    static bool cut_items(CoreBasicArray<OfItem*> const& items);
    // Makes the clipboard's items again in `target` ("Paste Items"): same classes, values,
    // flags, comments, colour tags and positions; names taken in the target give the next
    // free ones. Links between pasted items lead to the pasted ones; links to other items
    // are kept when those still exist. An instance whose source no longer exists becomes a
    // plain object. Returns the pasted items, empty when refused (empty clipboard too).
    static CoreVector<OfItem*> paste_items(OfContext& target);

    // --- deletion ---

    // "Delete Items" (see above).
    static bool delete_items(CoreBasicArray<OfItem*> const& items);
    // Deletes the items for good ("Permanently Delete Items"); undo still brings them back.
    static bool trash_items(CoreBasicArray<OfItem*> const& items);
    // "trash".
    static CoreString const& get_trash_name();
    // The trash context of a scene, or null when it has none.
    static OfContext* get_trash(OfObjectFactory const& scene);

    // --- structure ---

    // Makes a context (named `name`, or the next free name) in `parent` (null: the context of
    // the first item), at the centre of the items' positions, and moves the items into it
    // ("Group Items"). A context cannot go into a group made inside itself. Returns the new
    // context, null when refused.
    static OfContext* group_items(CoreBasicArray<OfItem*> const& items, CoreBasicString const& name = "group",
                                  OfContext* parent = nullptr);
    // The innermost context holding every item (a context is held by its parent); null for
    // an empty list, a null item or the root.
    static OfContext* get_common_context(CoreBasicArray<OfItem*> const& items);
    // group_items into get_common_context ("Contextualize Items"), so that items from
    // several contexts gather where they meet.
    static OfContext* contextualize_items(CoreBasicArray<OfItem*> const& items,
                                          CoreBasicString const& name = "context");
    // Makes one object that stands for the objects together: an object of `class_name`, in
    // `context` (null: the context of the first item), at the centre of their positions, whose
    // first variable reference attribute lists them ("Combine Items"); the objects stay as
    // they are. The class "Combiner" (a variable reference attribute "objects") is registered
    // in the scene when it is missing; another missing class, or one without such an
    // attribute, is refused. Returns the new object, null when refused.
    static OfObject* combine_items(CoreBasicArray<OfItem*> const& items,
                                   CoreBasicString const& class_name = "Combiner",
                                   OfContext* context = nullptr);
    // Makes an instance of each object next to it ("Instantiate Items"); returns them.
    static CoreVector<OfObject*> instantiate_items(CoreBasicArray<OfItem*> const& items);
    // Replaces each object by an instance of `source` with its name, context, position,
    // comment, colour tag and flags; references and connections to the object lead to the
    // instance ("Make Instance"). Instances of a replaced object become plain objects.
    // Refused when `source` reads from one of the objects. Returns the instances.
    static CoreVector<OfObject*> make_instance_items(CoreBasicArray<OfItem*> const& items, OfObject& source);
    // Makes the items independent ("Make Local"): an instance keeps the values it reads as
    // its own and leaves its source; a reference context, and every reference context
    // holding an item, becomes a local context. Items with nothing to make local are
    // skipped; refused when no item has any.
    static bool make_local_items(CoreBasicArray<OfItem*> const& items);

    // --- display and state ---

    // True when the item is in the scene and neither it nor what holds it is hidden.
    static bool is_item_displayed(OfItem const& item);
    // "Isolate Items" (see above). Objects whose values cannot change (inside references
    // that are not overridden) and the framework's shadowed items keep their display.
    static bool isolate_items(CoreBasicArray<OfItem*> const& items);
    // Adds the items to what is shown, as isolating them would, hiding nothing ("Isolate
    // More").
    static bool isolate_more_items(CoreBasicArray<OfItem*> const& items);
    // Hides the objects among the items and those the given contexts hold ("Isolate Less").
    static bool isolate_less_items(CoreBasicArray<OfItem*> const& items);
    // Every object of the scene that isolating may hide changes its own hidden flag: what was
    // isolated goes, what was hidden comes back ("Isolate Swap").
    static bool isolate_swap(OfObjectFactory& scene);
    // Shows or hides the items ("Show Items", "Hide Items").
    static bool set_items_display(CoreBasicArray<OfItem*> const& items, bool const& displayed);
    // Hides each shown item and shows each hidden one ("Toggle Items Display").
    static bool toggle_items_display(CoreBasicArray<OfItem*> const& items);
    // Gives the items colour tag `tag`, 0 for none ("Set Color Tag").
    static bool colortag_items(CoreBasicArray<OfItem*> const& items, unsigned int const& tag);
    // Enables or disables the items ("Enable Items", "Disable Items").
    static bool enable_disable_items(CoreBasicArray<OfItem*> const& items, bool const& enable);

    // --- overrides ---

    // Lets the values of the given reference contexts' content be changed here (`edit`,
    // "Edit References") or no longer ("Unedit References"): their override flag. Every item
    // must be a reference context that can change; refused when none would change.
    static bool edit_references(CoreBasicArray<OfItem*> const& items, bool const& edit);

    // Drops the overrides of the given instances, and of the instances directly in the given
    // contexts ("Revert Overrides").
    static bool revert_items_overrides(CoreBasicArray<OfItem*> const& items);
    // Drops the overrides of the given instances and of every instance the items hold, at any
    // depth: in contexts and their sub-contexts, and embedded objects ("Revert Sub-Items
    // Overrides").
    static bool revert_sub_items_overrides(CoreBasicArray<OfItem*> const& items);

    // --- not available in this application (a warning, no change, false) ---

    static bool create_shading_layer_for_items(CoreBasicArray<OfItem*> const& items);
    static bool export_context_as_reference(OfContext& context, CoreBasicString const& path);
    static bool export_nodes_as_build_package(CoreBasicArray<OfItem*> const& items,
                                              CoreBasicString const& path);
    static bool import_nodes_from_build_package(OfContext& target, CoreBasicString const& path);
};
