#pragma once
// The application's built-in item commands: what the interface's editors call to create,
// rename, move, copy and instantiate items and to place nodes. Each command is one undo step
// labelled for the undo history ("Create Object", "Rename Item", "Move Items", "Copy Items",
// "Create Instances", "Set Items Positions").
//
// Every command checks all of its input first: an empty list, a null item, an item that is
// not in the application's scene or cannot be changed that way, or a target context that
// cannot receive items is refused with one message, and nothing changes.
//
//     AppBuiltinCommands& commands = app.get_builtin_commands();
//     OfObject* ball = commands.create_object("Sphere", "ball", geometry);
//     commands.rename_item("/geometry/ball", "moon");
//     commands.move_items_to(CoreVector<OfItem*>{ball}, *sky);
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"

class AppObject;
class OfContext;
class OfItem;
class OfObject;
class OfObjectFactory;

class QN_HOST_API AppBuiltinCommands : public CoreBaseObject {
    CORE_DECLARE_CLASS(AppBuiltinCommands, CoreBaseObject)

public:
    // What a command does to its items, for check_items.
    enum ItemUse : int {
        ITEM_USE_READ,       // reads them (copy, instantiate)
        ITEM_USE_VALUES,     // changes their values, flags or positions
        ITEM_USE_STRUCTURE,  // renames, moves or deletes them
        ITEM_USE_COUNT
    };
    // The constant's name ("ITEM_USE_READ"), "ITEM_USE_COUNT" or "ITEM_USE_UNKNOWN".
    static char const* get_item_use_name(ItemUse const& use);

    explicit AppBuiltinCommands(AppObject& app) : m_app(&app) {}
    AppBuiltinCommands(AppBuiltinCommands const&) = delete;
    AppBuiltinCommands& operator=(AppBuiltinCommands const&) = delete;

    AppObject& get_application() const { return *m_app; }

    // True when items may be added to `context`: it is in a scene and is neither a
    // reference nor inside one. False for null.
    static bool is_context_writable(OfContext const* context);

    // Checks the input of a command named `operation` (the start of its messages): a list
    // that is not empty, without null items, of items in the scene (in `scene` when given,
    // else all in the scene of the first) that allow `use`. Returns their scene, or null
    // after one message.
    static OfObjectFactory* check_items(char const* operation, CoreBasicArray<OfItem*> const& items,
                                        ItemUse const& use, OfObjectFactory const* scene = nullptr);
    // Checks that `target` is a writable context of `scene`; one message when not.
    static bool check_target(char const* operation, OfContext const& target, OfObjectFactory const& scene);

    // Makes an object of `class_name` (an empty name takes the class's default object name,
    // a taken one the next free name) in `context` (null: the working context of the global
    // selection slot), at the node-graph `position`; with `select`, the object becomes the
    // global selection. Null when refused.
    OfObject* create_object(CoreBasicString const& class_name, CoreBasicString const& name = "",
                            OfContext* context = nullptr, GMathVec2<double> const& position = {},
                            bool const& select = false);
    // Renames the item at `full_name`; a name taken in its context gives the next free one.
    bool rename_item(CoreBasicString const& full_name, CoreBasicString const& new_name);
    // Moves the items (objects and contexts) into `target`; names taken there give the next
    // free ones. Items already in `target` stay; items inside other given items move with
    // them.
    bool move_items_to(CoreBasicArray<OfItem*> const& items, OfContext& target);
    // Copies the items into `target` (links between copies lead to the copies); returns the
    // copies, empty when refused.
    CoreVector<OfItem*> copy_items_to(CoreBasicArray<OfItem*> const& items, OfContext& target);
    // Makes an instance of each object in `target`, named after it; returns the instances.
    // Contexts and embedded objects cannot be instantiated.
    CoreVector<OfObject*> create_instances_to(CoreBasicArray<OfItem*> const& items, OfContext& target);
    // Gives each item the position of the same index; the counts must match.
    bool set_items_positions(CoreBasicArray<OfItem*> const& items,
                             CoreBasicArray<GMathVec2<double>> const& positions);

    size_t get_memory_size() const override { return sizeof(AppBuiltinCommands); }

private:
    AppObject* m_app;
};
