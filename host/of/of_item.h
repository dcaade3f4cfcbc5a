#pragma once
// Items of a scene: contexts (OfContext, folders of items) and objects (OfObject). Every
// item belongs to one OfObjectFactory and has a name, a context, a node-graph position, a
// comment, a colour tag, flags and creation and modification times.
//
// Names use letters, digits and '_' and do not start with a digit ("sphere", "_2d",
// "wheel_07"); anything else is refused with a message that suggests a valid name
// (make_valid_name). Within a context, objects and contexts share one set of names; the
// objects embedded in an object have their own. A taken name is replaced by the next free
// one of the same base (CoreNameServer::get_unique_name: "sphere" -> "sphere1", "cube_07"
// -> "cube_08").
//
// Item paths (full names):
//
//     /                          the root context (the project)
//     /geometry                  a context or object in the root
//     /geometry/sphere1          an object (or context) in "/geometry"
//     /geometry/car/wheel        an object embedded in the object "/geometry/car"
//     /geometry/sphere1.radius   an attribute of an object
//     /geometry/sphere1>mesh     an output of an object
//
// Paths are resolved level by level: within a context a name is looked up among its
// contexts and objects, within an object among its embedded objects. Relative paths (given
// with a starting context to OfObjectFactory::get_item or OfExpression) start in that
// context; a ".." level goes to the parent context, "." stays.
//
// Changes (set_name, set_comment, ...) are commands of the factory's OfCommandManager: they
// can be undone and raise an event (of_event.h). A refused change logs one message, returns
// false and changes nothing.
//
// Lifetime: items are owned by their context (objects embedded in another by that object).
// A deleted item is detached and kept by the command that deleted it, so that undo can put
// it back; it is freed when that command leaves the history. Raw pointers to items are
// only safe as long as the item is known to be in the scene: keep an OfHandle otherwise.
#include <cstdint>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class OfApp;
class OfContext;
class OfObject;
class OfObjectFactory;
class OfSceneEdit;

class QN_HOST_API OfItem : public CoreBaseObject {
    CORE_DECLARE_CLASS(OfItem, CoreBaseObject)

public:
    // What a caller means to change, for is_editable: the item itself (rename, move, delete,
    // add items in it), or the values of its attributes.
    enum EditMode : int { EDIT_MODE_STRUCTURE, EDIT_MODE_VALUES, EDIT_MODE_COUNT };
    // The state set_state changes.
    enum State : int { STATE_ENABLED, STATE_DISABLED, STATE_COUNT };
    // The constants' names ("EDIT_MODE_VALUES"), "..._COUNT", or "..._UNKNOWN".
    static char const* get_edit_mode_name(EditMode const& mode);
    static char const* get_state_name(State const& state);

    ~OfItem() override;
    OfItem(OfItem const&) = delete;
    OfItem& operator=(OfItem const&) = delete;

    CoreString const& get_name() const { return m_name; }
    // The context that holds the item: for an object its context (for an embedded object,
    // that of its parent), for a context its parent; null for the root.
    OfContext* get_context() const { return m_context; }
    // What the item hangs from in paths: the parent object of an embedded object, else the
    // context; null for the root.
    OfItem* get_holder() const;
    OfObjectFactory& get_factory() const;
    // The factory's application; null for a factory made without one.
    OfApp* get_application() const;

    GMathVec2<double> const& get_position() const { return m_position; }
    CoreString const& get_comment() const;
    // Index of the item's colour tag in the application's tag list; 0 for none.
    unsigned int const& get_colortag() const { return m_colortag; }
    // Seconds since 1970 (UTC) of the item's creation and of its last change.
    uint32_t const& get_creation_time() const { return m_creation_time; }
    uint32_t const& get_modification_time() const { return m_modification_time; }

    // The item's path (see above); a deleted item keeps the path it had.
    CoreString get_full_name() const;
    // The same: the project is the root context, so paths in it are project paths.
    CoreString get_project_full_name() const { return get_full_name(); }

    bool is_context() const { return (m_flags & FLAG_CONTEXT) != 0; }
    bool is_object() const { return !is_context(); }
    OfObject* to_object();
    OfObject const* to_object() const;
    OfContext* to_context();
    OfContext const* to_context() const;

    // True while the item is in the scene; false once deleted (or before being added).
    bool is_in_scene() const;
    // Whether the item can be changed in the given way: structure changes are refused for
    // locked items (the root and build contexts) and inside reference contexts; value changes
    // are refused inside reference contexts that are not overridden.
    bool is_editable(EditMode const& mode = EDIT_MODE_STRUCTURE) const;
    // True when the item's content comes from a reference context (it lies inside one).
    bool is_virtual() const;
    // Locked items (the root and build contexts) cannot be renamed, moved or deleted.
    bool is_locked() const { return (m_flags & FLAG_LOCKED) != 0; }
    // Shadowed items are internal: item views do not show them (the build context is one).
    bool is_shadowed() const { return (m_flags & FLAG_SHADOWED) != 0; }
    bool is_disabled() const { return (m_flags & FLAG_DISABLED) != 0; }
    // Hidden items are not displayed: a display flag users toggle. Views also treat what a
    // hidden context or object holds as hidden.
    bool is_hidden() const { return (m_flags & FLAG_HIDDEN) != 0; }
    State get_state() const { return is_disabled() ? STATE_DISABLED : STATE_ENABLED; }

    // Changes; each is one command (see above).
    bool set_name(CoreBasicString const& name);
    bool set_comment(CoreBasicString const& comment);
    bool set_colortag(unsigned int const& colortag);
    bool set_position(GMathVec2<double> const& position);
    bool set_disabled(bool const& disabled);
    bool set_state(State const& state);
    bool set_shadowed(bool const& shadowed);
    bool set_hidden(bool const& hidden);
    // Moves the item into `context` (an embedded object cannot move); a taken name is
    // replaced by the next free one.
    bool move_to(OfContext& context);
    // Deletes the item (and what it holds); references to it are cleared by the same command.
    bool remove();

    // Whether `name` follows the naming rule above.
    static bool is_valid_name(CoreBasicString const& name);
    // A valid name made from `name` (CoreString::make_identifier).
    static CoreString make_valid_name(CoreBasicString const& name);

    size_t get_memory_size() const override;

protected:
    friend class OfSceneEdit;
    friend class OfHandle;

    enum Flag : uint16_t {
        FLAG_CONTEXT = 1 << 0,
        FLAG_DETACHED = 1 << 1,  // not in the scene: deleted, or not added yet
        FLAG_DISABLED = 1 << 2,
        FLAG_SHADOWED = 1 << 3,
        FLAG_LOCKED = 1 << 4,
        FLAG_REFERENCE = 1 << 5,  // contexts
        FLAG_OVERRIDE = 1 << 6,   // contexts
        FLAG_AWAKE = 1 << 7,      // objects
        FLAG_HIDDEN = 1 << 8,
    };

    OfItem(CoreBasicString const& name, OfContext* context, uint16_t const& flags);
    bool has_flag(Flag const& flag) const { return (m_flags & flag) != 0; }
    void set_flag(Flag const& flag, bool const& on)
    {
        m_flags = on ? uint16_t(m_flags | flag) : uint16_t(m_flags & ~flag);
    }
    void touch();

    // Rarely set fields, allocated when first needed.
    struct Extra {
        CoreString comment;
    };

    CoreString m_name;
    OfContext* m_context;
    Extra* m_extra = nullptr;
    GMathVec2<double> m_position;
    uint32_t m_slot;       // entry in the handle registry
    uint32_t m_name_hash;  // hash of m_name, for the context's name index
    uint32_t m_creation_time;
    uint32_t m_modification_time;
    unsigned int m_colortag = 0;
    uint16_t m_flags;
};
