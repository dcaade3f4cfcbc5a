#pragma once
// The application's selection: named groups, each with named slots holding an ordered list
// of selected things (objects, contexts, attributes, outputs) as handles, and a working
// context per slot (where new items go, what item views list).
//
//     AppSelection& selection = app.get_selection();
//     CoreString const& group = AppSelection::get_global_group_label();
//     selection.set_selection(group, AppSelection::get_global_slot_label(), items);
//     for (OfItem* item : selection.get_items(group, AppSelection::get_global_slot_label())) ...
//
// The global group is the selection the whole interface shares; its global slot is the one
// views follow, and a view whose selection is locked keeps its own in the local slot.
// Other groups and slots are made on first use by whoever needs them.
//
// Every change raises EVT_ID_APPLICATION_SELECTION_CHANGED on the selection, once per slot
// that really changed, with an AppSelection::Change as event data. Lists keep the order
// things were selected in, without duplicates.
//
// Deleted things leave every slot: when the command (or batch, undo or redo) that took them
// out of the scene ends, they are dropped and the change is raised for each slot concerned.
// Undoing the deletion does not put them back: the selection is not part of the undo
// history. Things still in the scene but moved or renamed stay selected.
//
// The selection belongs to the application thread.
#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_set.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/of/of_handle.h"

class OfContext;
class OfItem;
class OfObjectFactory;

// Raised on the AppSelection when a slot's content changed; data: AppSelection::Change*.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_SELECTION_CHANGED);

class QN_HOST_API AppSelection : public EventObject {
    CORE_DECLARE_CLASS(AppSelection, EventObject)

public:
    // The slot an EVT_ID_APPLICATION_SELECTION_CHANGED is about.
    struct Change {
        CoreString group;
        CoreString slot;
    };

    // The selection of the items of `factory`, which must outlive it.
    explicit AppSelection(OfObjectFactory& factory);
    ~AppSelection() override;

    // "global", "global" and "local".
    static CoreString const& get_global_group_label();
    static CoreString const& get_global_slot_label();
    static CoreString const& get_local_slot_label();

    OfObjectFactory& get_factory() const { return *m_factory; }

    // --- reading (unknown groups or slots read as empty) ---

    // The selected things still in the scene, in selection order.
    CoreVector<OfHandle> get_base_handles(CoreBasicString const& group, CoreBasicString const& slot) const;
    // The selected objects and contexts (attributes and outputs left out).
    CoreVector<OfItem*> get_items(CoreBasicString const& group, CoreBasicString const& slot) const;
    bool get_is_slot_selection_empty(CoreBasicString const& group, CoreBasicString const& slot) const;
    bool is_selected(CoreBasicString const& group, CoreBasicString const& slot, OfHandle const& handle) const;
    // Groups, and the slots of a group, in the order they were made.
    CoreVector<CoreString> get_groups() const;
    CoreVector<CoreString> get_slots(CoreBasicString const& group) const;

    // --- changing ---
    // Each refuses, with one message and no change, empty labels and things that are not in
    // this selection's scene (null or deleted items, invalid handles); duplicates are
    // ignored. They return false when refused.

    // Replaces the slot's content.
    bool set_selection(CoreBasicString const& group, CoreBasicString const& slot,
                       CoreBasicArray<OfItem*> const& items);
    bool set_selection(CoreBasicString const& group, CoreBasicString const& slot,
                       CoreBasicArray<OfHandle> const& handles);
    // Gives every slot of the group that content (the global slot is made when the group has
    // none).
    bool set_all_slots_selection(CoreBasicString const& group, CoreBasicArray<OfItem*> const& items);
    // Appends what is not selected yet; removes what is; selects what is not and unselects
    // what is.
    bool add_to_selection(CoreBasicString const& group, CoreBasicString const& slot,
                          CoreBasicArray<OfHandle> const& handles);
    bool remove_from_selection(CoreBasicString const& group, CoreBasicString const& slot,
                               CoreBasicArray<OfHandle> const& handles);
    bool toggle_selection(CoreBasicString const& group, CoreBasicString const& slot,
                          CoreBasicArray<OfHandle> const& handles);
    // Empties one slot; empties every slot of every group.
    void clear_selection(CoreBasicString const& group, CoreBasicString const& slot);
    void clear_all();
    // Removes the items (and anything selected inside them: their attributes, outputs,
    // embedded objects, the content of contexts) from every slot.
    void remove_from_all(CoreBasicArray<OfItem*> const& items);

    // --- working contexts ---

    // The context a slot works in; the scene's default context until set, or while the one
    // set is out of the scene.
    OfContext& get_slot_working_context(CoreBasicString const& group, CoreBasicString const& slot) const;
    // Refused, with a message, for a context not in this selection's scene.
    bool set_slot_working_context(CoreBasicString const& group, CoreBasicString const& slot,
                                  OfContext& context);

    size_t get_memory_size() const override;

private:
    // `handles` keeps the selection order; `members` holds the same handles for quick
    // membership tests. Both change together, in assign() only.
    struct Slot {
        CoreString name;
        CoreVector<OfHandle> handles;
        CoreSet<OfHandle> members;
        OfContextHandle working_context;
    };
    struct Group {
        CoreString name;
        CoreVector<Slot> slots;
    };

    Slot const* find_slot(CoreBasicString const& group, CoreBasicString const& slot) const;
    // The slot, made when missing; null (with a message) for empty labels.
    Slot* get_or_make_slot(char const* operation, CoreBasicString const& group, CoreBasicString const& slot);
    // Checks that every handle names something of this scene; one message when not.
    bool check_handles(char const* operation, CoreBasicArray<OfHandle> const& handles) const;
    // Stores `handles` (without duplicates) in the slot; true when that changed it.
    bool assign(Slot& slot, CoreVector<OfHandle> const& handles);
    // assign, then the change event when there was one; returns true.
    bool assign_one(CoreBasicString const& group, Slot& slot, CoreVector<OfHandle> const& handles);
    void notify(CoreVector<Change> const& changes);
    // Drops what left the scene, from every slot.
    void purge();

    void on_item_removed(OfObjectFactory& factory, EventObject::EventInfo const& info, void* data);
    void on_history_changed(EventObject& commands, EventObject::EventInfo const& info, void* data);

    OfObjectFactory* m_factory;
    CoreVector<Group> m_groups;
    bool m_purge_pending = false;
};
