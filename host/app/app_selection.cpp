#include "host/app/app_selection.h"

#include "host/core/core_log.h"
#include "host/core/core_set.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_event.h"
#include "host/of/of_object_factory.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_SELECTION_CHANGED);

CORE_IMPLEMENT_CLASS(AppSelection, EventObject)

namespace {

// Handles of `items`; false (with one message) when one is null or not in `factory`'s scene.
bool to_handles(char const* operation, OfObjectFactory const& factory, CoreBasicArray<OfItem*> const& items,
                CoreVector<OfHandle>& handles)
{
    handles.reserve(items.get_count());
    for (OfItem* item : items) {
        if (!item) {
            CORE_LOG_WARNING(operation << ": the list holds a null item\n");
            return false;
        }
        if (&item->get_factory() != &factory) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " belongs to another scene\n");
            return false;
        }
        if (!item->is_in_scene()) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " is not in the scene\n");
            return false;
        }
        handles.add(OfHandle(item));
    }
    return true;
}

}  // namespace

AppSelection::AppSelection(OfObjectFactory& factory) : m_factory(&factory)
{
    for (CoreString const* event : {&EVT_ID_OF_REMOVE_OBJECT, &EVT_ID_OF_REMOVE_EMBEDDED_OBJECT,
                                    &EVT_ID_OF_REMOVE_CONTEXT, &EVT_ID_OF_REMOVE_ALL_OBJECTS})
        connect(factory, *event, &AppSelection::on_item_removed);
    connect(factory.get_command_manager(), EVT_ID_OF_COMMAND_HISTORY_CHANGED,
            &AppSelection::on_history_changed);
}

AppSelection::~AppSelection()
{
    disconnect_all();
}

CoreString const& AppSelection::get_global_group_label()
{
    static CoreString const label("global");
    return label;
}

CoreString const& AppSelection::get_global_slot_label()
{
    static CoreString const label("global");
    return label;
}

CoreString const& AppSelection::get_local_slot_label()
{
    static CoreString const label("local");
    return label;
}

AppSelection::Slot const* AppSelection::find_slot(CoreBasicString const& group,
                                                  CoreBasicString const& slot) const
{
    for (Group const& g : m_groups) {
        if (g.name != group) continue;
        for (Slot const& s : g.slots)
            if (s.name == slot) return &s;
        return nullptr;
    }
    return nullptr;
}

AppSelection::Slot* AppSelection::get_or_make_slot(char const* operation, CoreBasicString const& group,
                                                   CoreBasicString const& slot)
{
    if (group.is_empty() || slot.is_empty()) {
        CORE_LOG_WARNING(operation << ": the group and slot labels must not be empty\n");
        return nullptr;
    }
    Group* found = nullptr;
    for (Group& g : m_groups)
        if (g.name == group) found = &g;
    if (!found) {
        m_groups.add(Group{CoreString(group), {}});
        found = &m_groups.get_last();
    }
    for (Slot& s : found->slots)
        if (s.name == slot) return &s;
    found->slots.add(Slot{CoreString(slot), {}, {}, {}});
    return &found->slots.get_last();
}

CoreVector<OfHandle> AppSelection::get_base_handles(CoreBasicString const& group,
                                                    CoreBasicString const& slot) const
{
    CoreVector<OfHandle> result;
    if (Slot const* s = find_slot(group, slot)) {
        for (OfHandle const& handle : s->handles)
            if (handle.is_valid()) result.add(handle);
    }
    return result;
}

CoreVector<OfItem*> AppSelection::get_items(CoreBasicString const& group, CoreBasicString const& slot) const
{
    CoreVector<OfItem*> result;
    if (Slot const* s = find_slot(group, slot)) {
        for (OfHandle const& handle : s->handles)
            if (handle.is_item()) result.add(handle.to_item());
    }
    return result;
}

bool AppSelection::get_is_slot_selection_empty(CoreBasicString const& group,
                                               CoreBasicString const& slot) const
{
    if (Slot const* s = find_slot(group, slot)) {
        for (OfHandle const& handle : s->handles)
            if (handle.is_valid()) return false;
    }
    return true;
}

bool AppSelection::is_selected(CoreBasicString const& group, CoreBasicString const& slot,
                               OfHandle const& handle) const
{
    Slot const* s = find_slot(group, slot);
    return s && handle.is_valid() && s->members.has(handle);
}

CoreVector<CoreString> AppSelection::get_groups() const
{
    CoreVector<CoreString> names;
    for (Group const& g : m_groups) names.add(g.name);
    return names;
}

CoreVector<CoreString> AppSelection::get_slots(CoreBasicString const& group) const
{
    CoreVector<CoreString> names;
    for (Group const& g : m_groups) {
        if (g.name != group) continue;
        for (Slot const& s : g.slots) names.add(s.name);
    }
    return names;
}

bool AppSelection::check_handles(char const* operation, CoreBasicArray<OfHandle> const& handles) const
{
    for (OfHandle const& handle : handles) {
        OfItem* item = handle.to_item();
        if (!item && handle.is_plug()) item = handle.to_object();
        if (!item) {
            CORE_LOG_WARNING(operation << ": a handle names nothing in the scene\n");
            return false;
        }
        if (&item->get_factory() != m_factory) {
            CORE_LOG_WARNING(operation << ": " << handle.get_full_name() << " belongs to another scene\n");
            return false;
        }
    }
    return true;
}

bool AppSelection::assign(Slot& slot, CoreVector<OfHandle> const& handles)
{
    CoreVector<OfHandle> unique;
    CoreSet<OfHandle> seen;
    seen.reserve(handles.get_count());
    for (OfHandle const& handle : handles)
        if (seen.add(handle)) unique.add(handle);
    if (unique == slot.handles) return false;
    slot.handles = std::move(unique);
    slot.members = std::move(seen);
    return true;
}

void AppSelection::notify(CoreVector<Change> const& changes)
{
    // Raised once every slot is up to date, so that callbacks may change the selection.
    for (Change const& change : changes) {
        Change data = change;
        raise_event(EventInfo(EVT_ID_APPLICATION_SELECTION_CHANGED, &data));
    }
}

bool AppSelection::assign_one(CoreBasicString const& group, Slot& slot, CoreVector<OfHandle> const& handles)
{
    if (assign(slot, handles)) notify({Change{CoreString(group), slot.name}});
    return true;
}

bool AppSelection::set_selection(CoreBasicString const& group, CoreBasicString const& slot,
                                 CoreBasicArray<OfItem*> const& items)
{
    CoreVector<OfHandle> handles;
    if (!to_handles("AppSelection.set_selection", *m_factory, items, handles)) return false;
    Slot* s = get_or_make_slot("AppSelection.set_selection", group, slot);
    if (!s) return false;
    return assign_one(group, *s, handles);
}

bool AppSelection::set_selection(CoreBasicString const& group, CoreBasicString const& slot,
                                 CoreBasicArray<OfHandle> const& handles)
{
    if (!check_handles("AppSelection.set_selection", handles)) return false;
    Slot* s = get_or_make_slot("AppSelection.set_selection", group, slot);
    if (!s) return false;
    CoreVector<OfHandle> list;
    for (OfHandle const& handle : handles) list.add(handle);
    return assign_one(group, *s, list);
}

bool AppSelection::set_all_slots_selection(CoreBasicString const& group, CoreBasicArray<OfItem*> const& items)
{
    CoreVector<OfHandle> handles;
    if (!to_handles("AppSelection.set_all_slots_selection", *m_factory, items, handles)) return false;
    if (get_slots(group).is_empty() &&
        !get_or_make_slot("AppSelection.set_all_slots_selection", group, get_global_slot_label()))
        return false;
    CoreVector<Change> changes;
    for (Group& g : m_groups) {
        if (g.name != group) continue;
        for (Slot& s : g.slots)
            if (assign(s, handles)) changes.add(Change{g.name, s.name});
    }
    notify(changes);
    return true;
}

bool AppSelection::add_to_selection(CoreBasicString const& group, CoreBasicString const& slot,
                                    CoreBasicArray<OfHandle> const& handles)
{
    if (!check_handles("AppSelection.add_to_selection", handles)) return false;
    Slot* s = get_or_make_slot("AppSelection.add_to_selection", group, slot);
    if (!s) return false;
    CoreVector<OfHandle> list = s->handles;
    for (OfHandle const& handle : handles) list.add(handle);
    return assign_one(group, *s, list);
}

bool AppSelection::remove_from_selection(CoreBasicString const& group, CoreBasicString const& slot,
                                         CoreBasicArray<OfHandle> const& handles)
{
    if (!check_handles("AppSelection.remove_from_selection", handles)) return false;
    Slot* s = get_or_make_slot("AppSelection.remove_from_selection", group, slot);
    if (!s) return false;
    CoreSet<OfHandle> removed;
    for (OfHandle const& handle : handles) removed.add(handle);
    CoreVector<OfHandle> list;
    for (OfHandle const& handle : s->handles)
        if (!removed.has(handle)) list.add(handle);
    return assign_one(group, *s, list);
}

bool AppSelection::toggle_selection(CoreBasicString const& group, CoreBasicString const& slot,
                                    CoreBasicArray<OfHandle> const& handles)
{
    if (!check_handles("AppSelection.toggle_selection", handles)) return false;
    Slot* s = get_or_make_slot("AppSelection.toggle_selection", group, slot);
    if (!s) return false;
    // A handle given twice toggles twice. Handles toggled on go to the end, in the order of
    // their last toggle; the others keep their place. Done with sets: linear in the sizes.
    CoreSet<OfHandle> selected = s->members;
    CoreVector<OfHandle> added;  // every toggle on, in order
    CoreHashTableDense<OfHandle, unsigned int> last_added;  // handle -> its last index in `added`
    for (OfHandle const& handle : handles) {
        if (selected.remove(handle)) continue;
        selected.add(handle);
        last_added.set(handle, added.get_count());
        added.add(handle);
    }
    CoreVector<OfHandle> list;
    for (OfHandle const& handle : s->handles)
        if (selected.has(handle) && !last_added.has(handle)) list.add(handle);
    for (unsigned int i = 0; i < added.get_count(); ++i) {
        OfHandle const& handle = added[i];
        if (selected.has(handle) && *last_added.get(handle) == i) list.add(handle);
    }
    return assign_one(group, *s, list);
}

void AppSelection::clear_selection(CoreBasicString const& group, CoreBasicString const& slot)
{
    CoreVector<Change> changes;
    for (Group& g : m_groups) {
        if (g.name != group) continue;
        for (Slot& s : g.slots)
            if (s.name == slot && assign(s, {})) changes.add(Change{g.name, s.name});
    }
    notify(changes);
}

void AppSelection::clear_all()
{
    CoreVector<Change> changes;
    for (Group& g : m_groups)
        for (Slot& s : g.slots)
            if (assign(s, {})) changes.add(Change{g.name, s.name});
    notify(changes);
}

void AppSelection::remove_from_all(CoreBasicArray<OfItem*> const& items)
{
    CoreSet<OfItem const*> removed;
    for (OfItem* item : items)
        if (item) removed.add(item);
    if (removed.is_empty()) return;
    // A handle goes when its item (a plug's object) or anything holding it was given.
    auto is_removed = [&removed](OfHandle const& handle) {
        OfItem const* item = handle.is_plug() ? handle.to_object() : handle.to_item();
        for (; item; item = item->get_holder())
            if (removed.has(item)) return true;
        return false;
    };
    CoreVector<Change> changes;
    for (Group& g : m_groups) {
        for (Slot& s : g.slots) {
            CoreVector<OfHandle> kept;
            for (OfHandle const& handle : s.handles)
                if (!is_removed(handle)) kept.add(handle);
            if (assign(s, kept)) changes.add(Change{g.name, s.name});
        }
    }
    notify(changes);
}

OfContext& AppSelection::get_slot_working_context(CoreBasicString const& group,
                                                  CoreBasicString const& slot) const
{
    if (Slot const* s = find_slot(group, slot)) {
        if (OfContext* context = s->working_context.to_context()) return *context;
    }
    return m_factory->get_default();
}

bool AppSelection::set_slot_working_context(CoreBasicString const& group, CoreBasicString const& slot,
                                            OfContext& context)
{
    if (&context.get_factory() != m_factory || !context.is_in_scene()) {
        CORE_LOG_WARNING("AppSelection.set_slot_working_context: " << context.get_full_name()
                                                                   << " is not in the scene\n");
        return false;
    }
    Slot* s = get_or_make_slot("AppSelection.set_slot_working_context", group, slot);
    if (!s) return false;
    s->working_context = OfContextHandle(context);
    return true;
}

void AppSelection::purge()
{
    m_purge_pending = false;
    CoreVector<Change> changes;
    for (Group& g : m_groups) {
        for (Slot& s : g.slots) {
            CoreVector<OfHandle> kept;
            for (OfHandle const& handle : s.handles)
                if (handle.is_valid()) kept.add(handle);
            if (assign(s, kept)) changes.add(Change{g.name, s.name});
        }
    }
    notify(changes);
}

void AppSelection::on_item_removed(OfObjectFactory& factory, EventObject::EventInfo const&, void*)
{
    // Inside a batch, an undo or a redo, purge once when it ends (on_history_changed) rather
    // than after each of possibly many removals.
    OfCommandManager const& commands = factory.get_command_manager();
    if (commands.get_batch_level() > 0 || commands.is_busy()) {
        m_purge_pending = true;
        return;
    }
    purge();
}

void AppSelection::on_history_changed(EventObject&, EventObject::EventInfo const&, void*)
{
    if (m_purge_pending) purge();
}

size_t AppSelection::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() - sizeof(EventObject) + sizeof(AppSelection);
    for (Group const& g : m_groups) {
        size += sizeof(Group) + g.name.get_length();
        for (Slot const& s : g.slots)
            size += sizeof(Slot) + s.name.get_length() + s.handles.get_count() * sizeof(OfHandle) * 2;
    }
    return size;
}
