#include "host/of/of_scene_edit.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "host/core/core_hash_table.h"
#include "host/core/core_log.h"
#include "host/core/core_name_server.h"
#include "host/core/core_set.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_event.h"
#include "host/of/of_name_index.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

// Primitives ------------------------------------------------------------------------------
// They change one thing, keep the bookkeeping, and raise the event when asked to.

bool OfSceneEdit::has_plugs(OfObject const& object)
{
    return object.m_plugs != nullptr;
}

OfNameIndex& OfSceneEdit::get_name_index(OfContext const& context)
{
    return *context.m_names;
}

void OfSceneEdit::notify(OfItem& item, CoreString const& event, OfAttr* attr, CoreString const* previous_name,
                         OfContext* previous_context)
{
    OfEventData data;
    data.item = &item;
    data.context = item.get_context();
    data.attr = attr;
    data.previous_context = previous_context;
    if (previous_name) data.previous_name = *previous_name;
    item.get_factory().raise(event, data);
}

void OfSceneEdit::insert_child(OfItem& item, int const& index)
{
    auto insert = [&index](auto& items, auto* child) {
        if (index < 0 || static_cast<unsigned int>(index) >= items.get_count()) {
            items.add(child);
        } else {
            items.insert(static_cast<unsigned int>(index), child);
        }
    };
    if (OfObject* object = item.to_object()) {
        if (object->m_parent) {
            insert(object->m_parent->get_links().embedded, object);
            return;
        }
        insert(item.m_context->m_objects, object);
    } else {
        insert(item.m_context->m_contexts, item.to_context());
    }
    item.m_context->m_names->add(&item);
}

int OfSceneEdit::erase_child(OfItem& item)
{
    // Searched from the end: recent items are the ones most often removed.
    auto erase = [](auto& items, auto* child) {
        auto& v = items.std_vector();
        auto it = std::find(v.rbegin(), v.rend(), child);
        if (it == v.rend()) return -1;
        int index = static_cast<int>(v.rend() - it - 1);
        v.erase(v.begin() + index);
        return index;
    };
    if (OfObject* object = item.to_object()) {
        if (object->m_parent) return erase(object->m_parent->get_links().embedded, object);
        item.m_context->m_names->remove(&item);
        return erase(item.m_context->m_objects, object);
    }
    item.m_context->m_names->remove(&item);
    return erase(item.m_context->m_contexts, item.to_context());
}

void OfSceneEdit::set_awake(OfItem& item, bool const& awake)
{
    if (OfObject* object = item.to_object()) {
        if (awake) {
            object->awake();
        } else {
            object->asleep();
        }
        for (OfObject* embedded : object->get_embedded_objects()) set_awake(*embedded, awake);
        return;
    }
    OfContext& context = *item.to_context();
    for (OfContext* child : context.m_contexts) set_awake(*child, awake);
    for (OfObject* object : context.m_objects) set_awake(*object, awake);
}

CoreString const& OfSceneEdit::get_add_event(OfItem const& item, bool const& paste)
{
    if (item.is_context()) return paste ? EVT_ID_OF_PASTE_CONTEXT : EVT_ID_OF_ADD_CONTEXT;
    if (item.to_object()->m_parent) return EVT_ID_OF_ADD_EMBEDDED_OBJECT;
    return paste ? EVT_ID_OF_PASTE_OBJECT : EVT_ID_OF_ADD_OBJECT;
}

CoreString const& OfSceneEdit::get_remove_event(OfItem const& item)
{
    if (item.is_context()) return EVT_ID_OF_REMOVE_CONTEXT;
    if (item.to_object()->m_parent) return EVT_ID_OF_REMOVE_EMBEDDED_OBJECT;
    return EVT_ID_OF_REMOVE_OBJECT;
}

void OfSceneEdit::notify_assembly(OfItem& item)
{
    OfContext* context = item.get_context();
    if (context && context->get_engine().get_kind() == OfContextEngine::KIND_ASSEMBLY)
        notify(item, EVT_ID_OF_ASSEMBLY_CONTAINER_CONTENT_CHANGED);
}

void OfSceneEdit::mark_attached(OfItem& item, CoreString const& event)
{
    item.set_flag(OfItem::FLAG_DETACHED, false);
    set_awake(item, true);
    notify(item, event);
    notify_assembly(item);
}

void OfSceneEdit::mark_detached(OfItem& item)
{
    item.set_flag(OfItem::FLAG_DETACHED, true);
    set_awake(item, false);
    notify(item, get_remove_event(item));
    notify_assembly(item);
}

namespace {

// The items of `items` (positions `members`) that share one holder list.
struct HolderList {
    std::vector<OfObject*>* objects = nullptr;  // or
    std::vector<OfContext*>* contexts = nullptr;
    OfNameIndex* names = nullptr;  // null for embedded objects
    std::vector<size_t> members;
};

OfObject* as_child(OfItem* item, OfObject*) { return item->to_object(); }
OfContext* as_child(OfItem* item, OfContext*) { return item->to_context(); }

template <class T>
void erase_members(std::vector<T*>& list, std::vector<OfItem*> const& items, std::vector<size_t> const& members,
                   std::vector<int>& indices)
{
    CoreHashTableDense<OfItem*, size_t> wanted;
    for (size_t member : members) wanted.add(items[member], member);
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (size_t const* member = wanted.get(list[i])) {
            indices[*member] = static_cast<int>(i);
        } else {
            list[kept++] = list[i];
        }
    }
    list.resize(kept);
}

template <class T>
void insert_members(std::vector<T*>& list, std::vector<OfItem*> const& items, std::vector<size_t> members,
                    std::vector<int> const& indices)
{
    // By index, those without one (-1) last.
    std::sort(members.begin(), members.end(), [&](size_t a, size_t b) {
        return static_cast<unsigned int>(indices[a]) < static_cast<unsigned int>(indices[b]);
    });
    std::vector<T*> merged;
    merged.reserve(list.size() + members.size());
    size_t next = 0;
    for (size_t member : members) {
        size_t const index = indices[member] < 0 ? merged.size() + list.size() : size_t(indices[member]);
        while (merged.size() < index && next < list.size()) merged.push_back(list[next++]);
        merged.push_back(as_child(items[member], static_cast<T*>(nullptr)));
    }
    merged.insert(merged.end(), list.begin() + static_cast<std::ptrdiff_t>(next), list.end());
    list.swap(merged);
}

}  // namespace

std::vector<int> OfSceneEdit::erase_children(std::vector<OfItem*> const& items)
{
    std::vector<int> indices(items.size(), -1);
    edit_children(items, indices, false);
    return indices;
}

void OfSceneEdit::insert_children(std::vector<OfItem*> const& items, std::vector<int> const& indices)
{
    std::vector<int> kept = indices;
    edit_children(items, kept, true);
}

void OfSceneEdit::edit_children(std::vector<OfItem*> const& items, std::vector<int>& indices, bool const& insert)
{
    // The lists holding the items, each with the positions of its items in `items`.
    std::vector<HolderList> holders;
    CoreHashTableDense<void*, size_t> by_list;
    for (size_t i = 0; i < items.size(); ++i) {
        HolderList holder;
        OfItem& item = *items[i];
        if (OfObject* object = item.to_object()) {
            if (object->m_parent) {
                holder.objects = &object->m_parent->get_links().embedded.std_vector();
            } else {
                holder.objects = &item.m_context->m_objects.std_vector();
                holder.names = item.m_context->m_names.get();
            }
        } else {
            holder.contexts = &item.m_context->m_contexts.std_vector();
            holder.names = item.m_context->m_names.get();
        }
        void* list = holder.objects ? static_cast<void*>(holder.objects) : static_cast<void*>(holder.contexts);
        size_t index = holders.size();
        if (size_t const* known = by_list.get(list)) {
            index = *known;
        } else {
            by_list.add(list, index);
            holders.push_back(std::move(holder));
        }
        holders[index].members.push_back(i);
    }
    for (HolderList const& holder : holders) {
        if (insert) {
            if (holder.objects) {
                insert_members(*holder.objects, items, holder.members, indices);
            } else {
                insert_members(*holder.contexts, items, holder.members, indices);
            }
        } else if (holder.objects) {
            erase_members(*holder.objects, items, holder.members, indices);
        } else {
            erase_members(*holder.contexts, items, holder.members, indices);
        }
        if (!holder.names) continue;
        for (size_t member : holder.members) {
            if (insert) {
                holder.names->add(items[member]);
            } else {
                holder.names->remove(items[member]);
            }
        }
    }
}

void OfSceneEdit::put_name(OfItem& item, CoreString const& name)
{
    CoreString previous = item.m_name;
    bool indexed = item.is_object() ? !item.to_object()->m_parent : item.m_context != nullptr;
    if (indexed) item.m_context->m_names->remove(&item);
    item.m_name = name;
    item.m_name_hash = OfNameIndex::hash(name.view());
    if (indexed) item.m_context->m_names->add(&item);
    item.touch();
    notify(item, item.is_context() ? EVT_ID_OF_RENAME_CONTEXT : EVT_ID_OF_OBJECT_RENAME, nullptr, &previous);
}

void OfSceneEdit::add_dependent(OfObject& target, OfObject& holder, unsigned int const& attr,
                                int const& index)
{
    auto& dependents = target.get_links().dependents;
    OfObject::Dependent const dependent{&holder, attr};
    if (index < 0 || static_cast<size_t>(index) >= dependents.size()) {
        dependents.push_back(dependent);
    } else {
        dependents.insert(dependents.begin() + index, dependent);
    }
}

int OfSceneEdit::remove_dependent(OfObject& target, OfObject& holder, unsigned int const& attr)
{
    if (!target.m_links) return -1;
    auto& dependents = target.m_links->dependents;
    OfObject::Dependent wanted{&holder, attr};
    auto it = std::find(dependents.rbegin(), dependents.rend(), wanted);
    if (it == dependents.rend()) return -1;
    int const index = static_cast<int>(dependents.rend() - it - 1);
    dependents.erase(dependents.begin() + index);
    return index;
}

// Calls `visit` for every object an attribute's data links to (once per reference value
// and once for the input).
template <class Visit>
void for_each_link(OfAttrData const& data, Visit const& visit)
{
    if (data.local && data.values.get_type() == OfPlugType::TYPE_REFERENCE) {
        for (unsigned int i = 0; i < data.values.get_count(); ++i)
            if (OfObject* object = data.values.get_object(i)) visit(object);
    }
    if (data.input) visit(data.input);
}

void OfSceneEdit::put_attr_data(OfAttr& attr, OfAttrData const* data, bool const& notify_change,
                                std::vector<int>* positions)
{
    OfObject& object = *attr.m_object;
    unsigned int index = attr.get_index();
    OfAttrData* old = attr.m_data;
    OfAttrValues old_values = attr.get_values();
    std::vector<int> removed;
    if (old) {
        for_each_link(*old, [&](OfObject* target) {
            int const at = remove_dependent(*target, object, index);
            if (positions) removed.push_back(at);
        });
    }
    attr.m_data = data && !data->is_empty() ? new OfAttrData(*data) : nullptr;
    if (attr.m_data) {
        std::vector<OfObject*> targets;
        if (positions && !positions->empty())
            for_each_link(*attr.m_data, [&](OfObject* target) { targets.push_back(target); });
        if (!targets.empty() && targets.size() == positions->size()) {
            // Reinserted in the reverse order of their removal, each lands where it was.
            for (size_t i = targets.size(); i-- > 0;)
                add_dependent(*targets[i], object, index, (*positions)[i]);
        } else {
            for_each_link(*attr.m_data, [&](OfObject* target) { add_dependent(*target, object, index); });
        }
    }
    if (positions) *positions = std::move(removed);
    object.touch();

    if (notify_change) {
        OfAttrData const empty;
        OfAttrData const& before = old ? *old : empty;
        OfAttrData const& after = attr.m_data ? *attr.m_data : empty;
        bool values_changed = old_values != attr.get_values();
        bool links_changed = before.input != after.input || before.input_output != after.input_output ||
                             (attr.get_type() == OfPlugType::TYPE_REFERENCE && values_changed);
        bool flags_changed = before.local != after.local || before.expression != after.expression;
        if (values_changed) {
            notify(object, EVT_ID_OF_OBJECT_ATTR_CHANGE, &attr);
            // Instances that read this attribute from the object see it change too.
            notify_instances(object, index);
        }
        if (links_changed) notify(object, EVT_ID_OF_OBJECT_CONNECTION_CHANGED, &attr);
        if (flags_changed) notify(object, EVT_ID_OF_OBJECT_ATTR_FLAGS, &attr);
    }
    delete old;
}

void OfSceneEdit::notify_instances(OfObject& object, unsigned int const& index)
{
    for (OfObject* instance : object.get_instances()) {
        OfAttr& attr = instance->get_plugs().attrs[index];
        if (attr.is_local() || !instance->is_in_scene()) continue;
        notify(*instance, EVT_ID_OF_OBJECT_ATTR_CHANGE, &attr);
        notify_instances(*instance, index);
    }
}

void OfSceneEdit::link_source(OfObject& object, OfObject& source, int const& index, bool const& notify_change)
{
    object.get_links().source = &source;
    CoreVector<OfObject*>& instances = source.get_links().instances;
    if (index < 0 || static_cast<unsigned int>(index) >= instances.get_count()) {
        instances.add(&object);
    } else {
        instances.insert(static_cast<unsigned int>(index), &object);
    }
    if (notify_change) notify(object, EVT_ID_OF_OBJECT_CONNECTION_CHANGED);
}

int OfSceneEdit::unlink_source(OfObject& object, bool const& notify_change)
{
    OfObject* source = object.get_source();
    if (!source) return -1;
    object.m_links->source = nullptr;
    auto& instances = source->m_links->instances.std_vector();
    auto it = std::find(instances.rbegin(), instances.rend(), &object);
    int index = -1;
    if (it != instances.rend()) {
        index = static_cast<int>(instances.rend() - it - 1);
        instances.erase(instances.begin() + index);
    }
    if (notify_change) notify(object, EVT_ID_OF_OBJECT_CONNECTION_CHANGED);
    return index;
}

void OfSceneEdit::set_context_of(OfItem& item, OfContext* context)
{
    item.m_context = context;
    if (OfObject* object = item.to_object())
        for (OfObject* embedded : object->get_embedded_objects()) set_context_of(*embedded, context);
}

// Commands --------------------------------------------------------------------------------

namespace {

// Adds (insert) or deletes (extract) an item with what it holds, and the links between it
// and the rest of the scene: attribute data of objects on either side and instance sources.
// Out of the scene, an item holds no link to or from the rest, so it can be freed at any time.
class CmdStructure : public OfCommand {
public:
    struct AttrLink {
        OfAttr* attr;
        std::unique_ptr<OfAttrData> linked;
        std::unique_ptr<OfAttrData> unlinked;
        bool notify;  // the attribute's object stays in the scene
        std::vector<int> positions;  // where the links the next change puts back were removed from
    };
    struct SourceLink {
        OfObject* object;
        OfObject* source;
        int index;
        bool notify;
    };

    CmdStructure(OfItem& item, bool const& inserted, CoreString const& label, CoreString const& add_event)
        : m_item(&item), m_label(label), m_add_event(&add_event), m_inserted(inserted)
    {
    }
    ~CmdStructure() override
    {
        if (!m_inserted) delete m_item;
    }

    bool run() override
    {
        if (m_inserted) {
            extract();
        } else {
            insert();
        }
        return true;
    }
    void undo() override { run(); }
    void redo() override { run(); }
    CoreString get_label() const override { return m_label; }
    size_t get_memory_size() const override
    {
        return sizeof(*this) + m_attr_links.capacity() * sizeof(AttrLink) +
               m_source_links.capacity() * sizeof(SourceLink) + (m_inserted ? 0 : m_item->get_memory_size());
    }

    std::vector<AttrLink> m_attr_links;
    std::vector<SourceLink> m_source_links;

    OfItem& get_item() const { return *m_item; }

    // The item, already put back in its holder's list (taken out of it), enters (leaves)
    // the scene with its links.
    void enter()
    {
        OfSceneEdit::mark_attached(*m_item, *m_add_event);
        for (AttrLink& link : m_attr_links)
            OfSceneEdit::put_attr_data(*link.attr, link.linked.get(), link.notify, &link.positions);
        for (SourceLink const& link : m_source_links)
            OfSceneEdit::link_source(*link.object, *link.source, link.index, link.notify);
        m_inserted = true;
    }
    void leave()
    {
        cut_links();
        OfSceneEdit::mark_detached(*m_item);
        m_inserted = false;
    }

private:
    void insert()
    {
        OfSceneEdit::insert_child(*m_item, m_index);
        enter();
    }
    void extract()
    {
        cut_links();
        m_index = OfSceneEdit::erase_child(*m_item);
        OfSceneEdit::mark_detached(*m_item);
        m_inserted = false;
    }
    void cut_links()
    {
        for (auto it = m_source_links.rbegin(); it != m_source_links.rend(); ++it)
            it->index = OfSceneEdit::unlink_source(*it->object, it->notify);
        for (auto it = m_attr_links.rbegin(); it != m_attr_links.rend(); ++it)
            OfSceneEdit::put_attr_data(*it->attr, it->unlinked.get(), it->notify, &it->positions);
    }

    OfItem* m_item;
    CoreString m_label;
    CoreString const* m_add_event;
    int m_index = -1;
    bool m_inserted;
};

class CmdRename : public OfCommand {
public:
    CmdRename(OfItem& item, CoreString const& name) : m_item(&item), m_old(item.get_name()), m_new(name) {}
    bool run() override
    {
        OfSceneEdit::put_name(*m_item, m_new);
        return true;
    }
    void undo() override { OfSceneEdit::put_name(*m_item, m_old); }
    void redo() override { run(); }
    CoreString get_label() const override { return "Rename Item"; }
    size_t get_memory_size() const override { return sizeof(*this); }

private:
    OfItem* m_item;
    CoreString m_old;
    CoreString m_new;
};

// Comment, colour tag, position or a flag of an item.
class CmdItemField : public OfCommand {
public:
    enum Field { FIELD_COMMENT, FIELD_COLORTAG, FIELD_POSITION, FIELD_FLAG };
    struct Value {
        CoreString comment;
        GMathVec2<double> position;
        unsigned int number = 0;  // colour tag, or flag state
    };

    CmdItemField(OfItem& item, Field const& field, uint16_t const& flag, Value const& old_value,
                 Value const& new_value)
        : m_item(&item), m_field(field), m_flag(flag), m_old(old_value), m_new(new_value)
    {
    }
    bool run() override
    {
        OfSceneEdit::put_field(*m_item, m_field, m_flag, m_new.comment, m_new.position, m_new.number);
        return true;
    }
    void undo() override
    {
        OfSceneEdit::put_field(*m_item, m_field, m_flag, m_old.comment, m_old.position, m_old.number);
    }
    void redo() override { run(); }
    CoreString get_label() const override
    {
        switch (m_field) {
            case FIELD_COMMENT:
                return "Set Comment";
            case FIELD_COLORTAG:
                return "Set Color Tag";
            case FIELD_POSITION:
                return "Set Position";
            default:
                return "Set Item Flags";
        }
    }
    size_t get_memory_size() const override { return sizeof(*this); }

private:
    OfItem* m_item;
    Field m_field;
    uint16_t m_flag;
    Value m_old;
    Value m_new;
};

class CmdMove : public OfCommand {
public:
    CmdMove(OfItem& item, OfContext& target, CoreString const& new_name)
        : m_item(&item),
          m_from(item.get_context()),
          m_to(&target),
          m_old_name(item.get_name()),
          m_new_name(new_name)
    {
    }
    bool run() override
    {
        m_from_index = OfSceneEdit::move_item(*m_item, *m_to, -1, m_new_name, m_from);
        return true;
    }
    void undo() override { OfSceneEdit::move_item(*m_item, *m_from, m_from_index, m_old_name, m_to); }
    void redo() override { run(); }
    CoreString get_label() const override { return "Move Item"; }
    size_t get_memory_size() const override { return sizeof(*this); }

private:
    OfItem* m_item;
    OfContext* m_from;
    OfContext* m_to;
    CoreString m_old_name;
    CoreString m_new_name;
    int m_from_index = -1;
};

class CmdSetAttr : public OfCommand {
public:
    CmdSetAttr(OfAttr& attr, OfAttrData const& data)
        : m_attr(&attr),
          m_before(attr.get_data() ? new OfAttrData(*attr.get_data()) : nullptr),
          m_after(data.is_empty() ? nullptr : new OfAttrData(data))
    {
    }
    bool run() override
    {
        OfSceneEdit::put_attr_data(*m_attr, m_after.get(), true, &m_positions);
        return true;
    }
    void undo() override { OfSceneEdit::put_attr_data(*m_attr, m_before.get(), true, &m_positions); }
    void redo() override { run(); }
    CoreString get_label() const override { return "Set Attribute"; }
    size_t get_memory_size() const override
    {
        return sizeof(*this) + (m_before ? m_before->values.get_memory_size() + sizeof(OfAttrData) : 0) +
               (m_after ? m_after->values.get_memory_size() + sizeof(OfAttrData) : 0);
    }

private:
    OfAttr* m_attr;
    std::unique_ptr<OfAttrData> m_before;
    std::unique_ptr<OfAttrData> m_after;
    std::vector<int> m_positions;  // where the links undo (redo) puts back were removed from
};

bool run_command(OfItem& item, std::unique_ptr<OfCommand> command)
{
    return item.get_factory().get_command_manager().run(std::move(command));
}

// Objects of an item's subtree (the item itself when it is an object), embedded ones included.
void collect_objects(OfItem& item, std::vector<OfObject*>& objects)
{
    if (OfObject* object = item.to_object()) {
        objects.push_back(object);
        for (OfObject* embedded : object->get_embedded_objects()) collect_objects(*embedded, objects);
        return;
    }
    OfContext* context = item.to_context();
    for (OfContext* child : context->get_contexts()) collect_objects(*child, objects);
    for (OfObject* object : context->get_objects()) collect_objects(*object, objects);
}

// `data` without the links that cross the boundary of `inside`, for an attribute of an
// object that is inside or not.
OfAttrData cut_links(OfAttrData const& data, CoreSet<OfObject*> const& inside, bool const& holder_inside)
{
    OfAttrData cut = data;
    if (cut.local && cut.values.get_type() == OfPlugType::TYPE_REFERENCE) {
        for (unsigned int i = 0; i < cut.values.get_count(); ++i) {
            OfObject* target = cut.values.get_object(i);
            if (target && inside.has(target) != holder_inside) cut.values.set_object(i, nullptr);
        }
    }
    if (cut.input && inside.has(cut.input) != holder_inside) {
        cut.input = nullptr;
        cut.input_output = -1;
    }
    return cut;
}

bool crosses(OfAttrData const& data, CoreSet<OfObject*> const& inside, bool const& holder_inside)
{
    bool result = false;
    for_each_link(data, [&](OfObject* target) { result = result || inside.has(target) != holder_inside; });
    return result;
}

// Records the links between the subtree `objects` and the rest of the scene in `command`,
// in the order that undoes them cheaply (dependents lists are cut from their end).
void collect_external_links(std::vector<OfObject*> const& objects, CmdStructure& command)
{
    CoreSet<OfObject*> inside;
    inside.reserve(static_cast<unsigned int>(objects.size()));
    for (OfObject* object : objects) inside.add(object);
    CoreSet<OfAttr*> seen;
    auto add_attr = [&](OfAttr* attr, bool holder_inside) {
        if (!seen.add(attr)) return;
        OfAttrData const& data = *attr->get_data();
        command.m_attr_links.push_back({attr, std::make_unique<OfAttrData>(data),
                                        std::make_unique<OfAttrData>(cut_links(data, inside, holder_inside)),
                                        !holder_inside, {}});
    };
    for (OfObject* object : objects) {
        if (OfObject const* source = object->get_source();
            source && !inside.has(const_cast<OfObject*>(source)))
            command.m_source_links.push_back({object, const_cast<OfObject*>(source), -1, false});
        for (OfObject* instance : object->get_instances())
            if (!inside.has(instance)) command.m_source_links.push_back({instance, object, -1, true});
        for (OfObject* dependent : object->get_dependents()) {
            if (inside.has(dependent) || !OfSceneEdit::has_plugs(*dependent)) continue;
            for (unsigned int i = 0; i < dependent->get_attr_count(); ++i) {
                OfAttr* attr = dependent->get_attr(i);
                if (attr->get_data() && crosses(*attr->get_data(), inside, false)) add_attr(attr, false);
            }
        }
        for (unsigned int i = 0; i < object->get_attr_count() && OfSceneEdit::has_plugs(*object); ++i) {
            OfAttr* attr = object->get_attr(i);
            if (attr->get_data() && crosses(*attr->get_data(), inside, true)) add_attr(attr, true);
        }
    }
}

// Deletes several items as one command. Their holders' lists are cut once for all, then
// each item leaves the scene in turn, its links recorded and cut as a single deletion does.
class CmdRemoveItems : public OfCommand {
public:
    explicit CmdRemoveItems(std::vector<OfItem*> items) : m_items(std::move(items)) {}

    bool run() override
    {
        m_indices = OfSceneEdit::erase_children(m_items);
        m_parts.reserve(m_items.size());
        for (OfItem* item : m_items) {
            // Links are read item by item: those to an item deleted earlier are cut already.
            auto part = std::make_unique<CmdStructure>(
                *item, true, CoreString(item->is_context() ? "Delete Context" : "Delete Object"),
                OfSceneEdit::get_add_event(*item, false));
            std::vector<OfObject*> objects;
            collect_objects(*item, objects);
            collect_external_links(objects, *part);
            part->leave();
            m_parts.push_back(std::move(part));
        }
        return true;
    }
    void undo() override
    {
        OfSceneEdit::insert_children(m_items, m_indices);
        for (auto it = m_parts.rbegin(); it != m_parts.rend(); ++it) (*it)->enter();
    }
    void redo() override
    {
        m_indices = OfSceneEdit::erase_children(m_items);
        for (auto& part : m_parts) part->leave();
    }
    CoreString get_label() const override { return "Delete Items"; }
    size_t get_memory_size() const override
    {
        size_t size = sizeof(*this) + m_items.capacity() * (sizeof(OfItem*) + sizeof(int));
        for (auto const& part : m_parts) size += part->get_memory_size();
        return size;
    }

private:
    std::vector<OfItem*> m_items;
    std::vector<int> m_indices;  // of each item in its holder's list before the deletion
    std::vector<std::unique_ptr<CmdStructure>> m_parts;
};

}  // namespace

// Checks ----------------------------------------------------------------------------------

bool OfSceneEdit::check_name(char const* operation, CoreBasicString const& name)
{
    if (OfItem::is_valid_name(name)) return true;
    CORE_LOG_WARNING(
        operation << ": invalid name \"" << name
                  << "\": names use letters, digits and '_' and do not start with a digit (try \""
                  << OfItem::make_valid_name(name) << "\")\n");
    return false;
}

bool OfSceneEdit::check_editable(char const* operation, OfItem const& item, OfItem::EditMode const& mode)
{
    if (!item.is_in_scene()) {
        CORE_LOG_WARNING(operation << ": " << item.get_full_name() << " is not in the scene\n");
        return false;
    }
    if (!item.is_editable(mode)) {
        CORE_LOG_WARNING(operation << ": " << item.get_full_name()
                                   << (item.is_locked() ? " is locked\n"
                                       : mode == OfItem::EDIT_MODE_STRUCTURE
                                           ? " lies in a reference and cannot change\n"
                                           : " lies in a reference that is not overridden\n"));
        return false;
    }
    return true;
}

namespace {

bool check_writable(char const* operation, OfContext const& context)
{
    if (!context.is_in_scene()) {
        CORE_LOG_WARNING(operation << ": " << context.get_full_name() << " is not in the scene\n");
        return false;
    }
    if (!context.is_writable()) {
        CORE_LOG_WARNING(operation << ": " << context.get_full_name()
                                   << " is a reference or lies in one: items cannot be added to it\n");
        return false;
    }
    return true;
}

bool check_same_scene(char const* operation, OfItem const& a, OfItem const& b)
{
    if (&a.get_factory() == &b.get_factory()) return true;
    CORE_LOG_WARNING(operation << ": " << b.get_full_name() << " belongs to another scene\n");
    return false;
}

// The name a new child of `context` (or of `parent`) asking for `name` gets.
CoreString get_free_name(OfContext const& context, OfObject const* parent, CoreBasicString const& name,
                         OfItem const* ignored = nullptr)
{
    if (parent) {
        return CoreNameServer::get_unique_name(name, [&](CoreString const& candidate) {
            OfObject* found = parent->get_embedded_object(candidate);
            return found && found != ignored;
        });
    }
    return OfSceneEdit::get_name_index(context).get_unique_name(name, ignored);
}

}  // namespace

// Item changes ----------------------------------------------------------------------------

bool OfSceneEdit::rename(char const* operation, OfItem& item, CoreBasicString const& name)
{
    if (!check_editable(operation, item, OfItem::EDIT_MODE_STRUCTURE) || !check_name(operation, name))
        return false;
    if (item.get_name() == name) return true;
    OfObject* object = item.to_object();
    CoreString free_name =
        get_free_name(*item.get_context(), object ? object->get_parent() : nullptr, name, &item);
    if (free_name.is_empty()) return false;
    return run_command(item, std::make_unique<CmdRename>(item, free_name));
}

void OfSceneEdit::put_field(OfItem& item, int const& field, uint16_t const& flag, CoreString const& comment,
                            GMathVec2<double> const& position, unsigned int const& number)
{
    item.touch();
    switch (field) {
        case CmdItemField::FIELD_COMMENT:
            if (comment.is_empty()) {
                delete item.m_extra;
                item.m_extra = nullptr;
            } else {
                if (!item.m_extra) item.m_extra = new OfItem::Extra();
                item.m_extra->comment = comment;
            }
            notify(item, EVT_ID_OF_ITEM_COMMENT_CHANGED);
            break;
        case CmdItemField::FIELD_COLORTAG:
            item.m_colortag = number;
            notify(item, EVT_ID_OF_ITEM_COLORTAG_CHANGED);
            break;
        case CmdItemField::FIELD_POSITION:
            item.m_position = position;
            notify(item, EVT_ID_OF_ITEM_POSITION_CHANGED);
            break;
        default:
            item.set_flag(static_cast<OfItem::Flag>(flag), number != 0);
            notify(item, EVT_ID_OF_ITEM_FLAGS);
            break;
    }
}

bool OfSceneEdit::set_comment(OfItem& item, CoreBasicString const& comment)
{
    if (!check_editable("OfItem.set_comment", item, OfItem::EDIT_MODE_VALUES)) return false;
    if (item.get_comment() == comment) return true;
    CmdItemField::Value old_value, new_value;
    old_value.comment = item.get_comment();
    new_value.comment = comment;
    return run_command(
        item, std::make_unique<CmdItemField>(item, CmdItemField::FIELD_COMMENT, 0, old_value, new_value));
}

bool OfSceneEdit::set_colortag(OfItem& item, unsigned int const& colortag)
{
    if (!check_editable("OfItem.set_colortag", item, OfItem::EDIT_MODE_VALUES)) return false;
    if (item.get_colortag() == colortag) return true;
    CmdItemField::Value old_value, new_value;
    old_value.number = item.get_colortag();
    new_value.number = colortag;
    return run_command(
        item, std::make_unique<CmdItemField>(item, CmdItemField::FIELD_COLORTAG, 0, old_value, new_value));
}

bool OfSceneEdit::set_position(OfItem& item, GMathVec2<double> const& position)
{
    if (!check_editable("OfItem.set_position", item, OfItem::EDIT_MODE_VALUES)) return false;
    if (item.get_position() == position) return true;
    CmdItemField::Value old_value, new_value;
    old_value.position = item.get_position();
    new_value.position = position;
    return run_command(
        item, std::make_unique<CmdItemField>(item, CmdItemField::FIELD_POSITION, 0, old_value, new_value));
}

bool OfSceneEdit::set_flag(char const* operation, OfItem& item, uint16_t const& flag, bool const& on)
{
    bool context_flag = flag == OfItem::FLAG_REFERENCE || flag == OfItem::FLAG_OVERRIDE;
    if (context_flag && !item.is_context()) {
        CORE_LOG_WARNING(operation << ": " << item.get_full_name() << " is not a context\n");
        return false;
    }
    bool value_flag = flag == OfItem::FLAG_DISABLED || flag == OfItem::FLAG_HIDDEN;
    OfItem::EditMode mode = value_flag ? OfItem::EDIT_MODE_VALUES : OfItem::EDIT_MODE_STRUCTURE;
    if (!check_editable(operation, item, mode)) return false;
    if (item.has_flag(static_cast<OfItem::Flag>(flag)) == on) return true;
    CmdItemField::Value old_value, new_value;
    old_value.number = on ? 0 : 1;
    new_value.number = on ? 1 : 0;
    return run_command(
        item, std::make_unique<CmdItemField>(item, CmdItemField::FIELD_FLAG, flag, old_value, new_value));
}

int OfSceneEdit::move_item(OfItem& item, OfContext& target, int const& index, CoreString const& name,
                           OfContext* previous)
{
    int old_index = erase_child(item);
    if (item.m_name != name) {
        item.m_name = name;
        item.m_name_hash = OfNameIndex::hash(name.view());
    }
    set_context_of(item, &target);
    insert_child(item, index);
    item.touch();
    notify(item, item.is_context() ? EVT_ID_OF_REORDER_CONTEXT : EVT_ID_OF_ITEM_MOVED, nullptr, nullptr,
           previous);
    return old_index;
}

bool OfSceneEdit::move(char const* operation, OfItem& item, OfContext& target)
{
    if (!check_editable(operation, item, OfItem::EDIT_MODE_STRUCTURE) || !check_writable(operation, target) ||
        !check_same_scene(operation, item, target))
        return false;
    if (item.is_object() && item.to_object()->get_parent()) {
        CORE_LOG_WARNING(operation << ": " << item.get_full_name()
                                   << " is embedded in an object and cannot move\n");
        return false;
    }
    if (item.get_context() == &target) return true;
    if (OfContext* context = item.to_context();
        context && (&target == context || target.is_child_of(*context))) {
        CORE_LOG_WARNING(operation << ": cannot move " << item.get_full_name() << " into itself ("
                                   << target.get_full_name() << ")\n");
        return false;
    }
    CoreString name = get_free_name(target, nullptr, item.get_name());
    if (name.is_empty()) return false;
    return run_command(item, std::make_unique<CmdMove>(item, target, name));
}

bool OfSceneEdit::remove(char const* operation, OfItem& item)
{
    if (!check_editable(operation, item, OfItem::EDIT_MODE_STRUCTURE)) return false;
    auto command = std::make_unique<CmdStructure>(
        item, true, CoreString(item.is_context() ? "Delete Context" : "Delete Object"),
        get_add_event(item, false));
    std::vector<OfObject*> objects;
    collect_objects(item, objects);
    collect_external_links(objects, *command);
    return run_command(item, std::move(command));
}

bool OfSceneEdit::remove_items(char const* operation, OfObjectFactory& factory,
                               CoreBasicArray<OfItem*> const& items)
{
    bool ok = true;
    std::vector<OfItem*> removed;
    for (OfItem* item : items) {
        if (!item) continue;
        if (!check_editable(operation, *item, OfItem::EDIT_MODE_STRUCTURE) ||
            !check_same_scene(operation, factory.get_root(), *item)) {
            ok = false;
            continue;
        }
        removed.push_back(item);
    }
    if (removed.empty()) return ok;
    return factory.get_command_manager().run(std::make_unique<CmdRemoveItems>(std::move(removed))) && ok;
}

// Creation --------------------------------------------------------------------------------

OfObject* OfSceneEdit::create_object(char const* operation, OfObjectFactory& factory, OfClass const& of_class,
                                     CoreBasicString const& name, OfContext* context, OfObject* parent,
                                     OfObject* source)
{
    if (of_class.is_abstract()) {
        CORE_LOG_WARNING(operation << ": class \"" << of_class.get_name() << "\" is abstract\n");
        return nullptr;
    }
    if (!parent && of_class.is_embedded_only()) {
        CORE_LOG_WARNING(operation << ": objects of class \"" << of_class.get_name()
                                   << "\" can only be embedded in other objects\n");
        return nullptr;
    }
    if (&of_class.get_factory() != &factory.get_classes()) {
        CORE_LOG_WARNING(operation << ": class \"" << of_class.get_name() << "\" belongs to another scene\n");
        return nullptr;
    }
    if (parent) {
        if (!check_editable(operation, *parent, OfItem::EDIT_MODE_STRUCTURE)) return nullptr;
        context = parent->get_context();
    } else {
        if (!context) context = &factory.get_default();
        if (!check_writable(operation, *context) ||
            !check_same_scene(operation, factory.get_root(), *context))
            return nullptr;
    }
    if (source) {
        if (!source->is_in_scene() || source->get_parent() ||
            !check_same_scene(operation, factory.get_root(), *source)) {
            CORE_LOG_WARNING(operation << ": " << source->get_full_name()
                                       << " cannot be instantiated (embedded, or not in the scene)\n");
            return nullptr;
        }
    }
    CoreString wanted = name.is_empty() ? of_class.get_object_default_name() : CoreString(name);
    if (!check_name(operation, wanted)) return nullptr;
    CoreString free_name = get_free_name(*context, parent, wanted);
    if (free_name.is_empty()) return nullptr;

    OfObject* object = new OfObject(of_class, free_name, context, parent);
    CoreString label = parent ? "Add Embedded Object" : source ? "Create Instance" : "Create Object";
    auto command = std::make_unique<CmdStructure>(*object, false, label, get_add_event(*object, false));
    if (source) command->m_source_links.push_back({object, source, -1, false});
    if (!run_command(*context, std::move(command))) return nullptr;
    return object;
}

OfContext* OfSceneEdit::create_context(char const* operation, OfObjectFactory& factory,
                                       CoreBasicString const& name, OfContext* parent,
                                       OfContextEngine const& engine)
{
    if (!parent) parent = &factory.get_default();
    if (!check_writable(operation, *parent) || !check_same_scene(operation, factory.get_root(), *parent))
        return nullptr;
    CoreString wanted = name.is_empty() ? CoreString("context") : CoreString(name);
    if (!check_name(operation, wanted)) return nullptr;
    CoreString free_name = get_free_name(*parent, nullptr, wanted);
    if (free_name.is_empty()) return nullptr;
    OfContext* context = new OfContext(free_name, parent, factory, engine);
    auto command = std::make_unique<CmdStructure>(*context, false, CoreString("Create Context"),
                                                  get_add_event(*context, false));
    if (!run_command(*parent, std::move(command))) return nullptr;
    return context;
}

namespace {

// Copies of items made out of the scene, with the map from original objects to copies.
struct CopyState {
    CoreHashTableDense<OfObject*, OfObject*> map;
    std::vector<std::pair<OfObject*, OfObject*>> objects;  // (original, copy), in copy order
};

}  // namespace

OfItem* OfSceneEdit::clone(OfItem& item, OfContext* context, OfObject* parent, CoreString const& name,
                           void* state_ptr)
{
    CopyState& state = *static_cast<CopyState*>(state_ptr);
    OfItem* copy;
    if (OfObject* object = item.to_object()) {
        OfObject* object_copy = new OfObject(object->get_class(), name, context, parent);
        state.map.add(object, object_copy);
        state.objects.emplace_back(object, object_copy);
        for (OfObject* embedded : object->get_embedded_objects()) {
            OfItem* child = clone(*embedded, context, object_copy, embedded->get_name(), state_ptr);
            child->set_flag(OfItem::FLAG_DETACHED, false);
            insert_child(*child, -1);
        }
        copy = object_copy;
    } else {
        OfContext* original = item.to_context();
        OfContext* context_copy =
            new OfContext(name, context, original->get_factory(), original->get_engine());
        for (OfItem* child_item : original->get_items()) {
            OfItem* child = clone(*child_item, context_copy, nullptr, child_item->get_name(), state_ptr);
            child->set_flag(OfItem::FLAG_DETACHED, false);
            insert_child(*child, -1);
        }
        copy = context_copy;
    }
    copy->m_position = item.m_position;
    copy->m_colortag = item.m_colortag;
    copy->m_flags =
        uint16_t((item.m_flags & ~(OfItem::FLAG_LOCKED | OfItem::FLAG_AWAKE)) | OfItem::FLAG_DETACHED);
    if (item.m_extra) copy->m_extra = new OfItem::Extra(*item.m_extra);
    return copy;
}

CoreVector<OfItem*> OfSceneEdit::copy_items(char const* operation, CoreBasicArray<OfItem*> const& items,
                                            OfContext& target)
{
    CoreVector<OfItem*> copies;
    if (!check_writable(operation, target)) return copies;
    // Items inside other given items are copied with them.
    CoreSet<OfItem*> given;
    for (OfItem* item : items)
        if (item) given.add(item);
    auto covered = [&given](OfItem* item) {
        for (OfItem* holder = item->get_holder(); holder; holder = holder->get_holder())
            if (given.has(holder)) return true;
        return false;
    };
    CopyState state;
    std::vector<OfItem*> roots;
    OfNameIndex copy_names;  // the roots' names, not in the target until the copy runs
    CoreSet<OfItem*> done;
    for (OfItem* item : items) {
        if (!item || !done.add(item) || covered(item)) continue;
        if (!item->is_in_scene() || !check_same_scene(operation, target, *item)) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name() << " cannot be copied\n");
            continue;
        }
        if (item->is_locked() || (item->is_object() && item->to_object()->get_parent())) {
            CORE_LOG_WARNING(operation << ": " << item->get_full_name()
                                       << " cannot be copied (locked or embedded)\n");
            continue;
        }
        if (OfContext* context = item->to_context();
            context && (&target == context || target.is_child_of(*context))) {
            CORE_LOG_WARNING(operation << ": cannot copy " << item->get_full_name() << " into itself\n");
            continue;
        }
        // Names of earlier copies are not in the target yet: take them into account.
        CoreString name = copy_names.get_unique_name(item->get_name(), nullptr, target.m_names.get());
        if (name.is_empty()) continue;
        roots.push_back(clone(*item, &target, nullptr, name, &state));
        copy_names.add(roots.back());
    }

    // Links between copied objects point to the copies; links to other objects stay, and are
    // made when the copy enters the scene.
    CoreSet<OfObject*> inside;
    for (auto const& pair : state.objects) inside.add(pair.second);
    std::map<OfItem*, std::unique_ptr<CmdStructure>> commands;
    for (OfItem* root : roots)
        commands[root] =
            std::make_unique<CmdStructure>(*root, false, CoreString("Copy Item"), get_add_event(*root, true));
    auto remap = [&state](OfObject* object) {
        OfObject* const* copy = state.map.get(object);
        return copy ? *copy : object;
    };
    auto root_of = [](OfItem* item) {
        while (!OfSceneEdit::is_detached(*item)) item = item->get_holder();
        return item;
    };
    for (auto const& [original, copy] : state.objects) {
        OfItem* root = root_of(copy);
        CmdStructure& command = *commands[root];
        if (OfObject* source = original->get_source()) {
            OfObject* mapped = remap(source);
            if (mapped != source) {
                link_source(*copy, *mapped, -1, false);
            } else {
                command.m_source_links.push_back({copy, source, -1, false});
            }
        }
        for (unsigned int i = 0; i < original->get_attr_count() && has_plugs(*original); ++i) {
            OfAttrData const* data = original->get_attr(i)->get_data();
            if (!data) continue;
            OfAttrData linked = *data;
            if (linked.local && linked.values.get_type() == OfPlugType::TYPE_REFERENCE) {
                for (unsigned int v = 0; v < linked.values.get_count(); ++v)
                    if (OfObject* target_object = linked.values.get_object(v))
                        linked.values.set_object(v, remap(target_object));
            }
            if (linked.input) linked.input = remap(linked.input);
            OfAttr* attr = copy->get_attr(i);
            OfAttrData unlinked = cut_links(linked, inside, true);
            put_attr_data(*attr, &unlinked, false);
            if (unlinked != linked)
                command.m_attr_links.push_back({attr, std::make_unique<OfAttrData>(linked),
                                                std::make_unique<OfAttrData>(unlinked), false, {}});
        }
    }

    OfCommandManager& manager = target.get_factory().get_command_manager();
    manager.begin_batch("Copy Items");
    for (OfItem* root : roots) {
        if (manager.run(std::move(commands[root]))) copies.add(root);
    }
    manager.end_batch();
    return copies;
}

// Attributes ------------------------------------------------------------------------------

bool OfSceneEdit::set_attr_data(char const* operation, OfAttr& attr, OfAttrData const& data)
{
    OfObject& object = *attr.m_object;
    if (!check_editable(operation, object, OfItem::EDIT_MODE_VALUES)) return false;
    OfAttrData normalized = data;
    if (!normalized.local) normalized.values = OfAttrValues(attr.get_type());
    if (normalized.values.get_type() != attr.get_type()) {
        CORE_LOG_WARNING(operation << ": " << attr.get_full_name() << " is of type "
                                   << OfPlugType::get_type_name(attr.get_type()) << "\n");
        return false;
    }
    OfClass const* filter = nullptr;
    if (!attr.get_object_filter().is_empty())
        filter = object.get_factory().get_classes().get(attr.get_object_filter());
    bool ok = true;
    auto check_target = [&](OfObject* target, bool is_input) {
        if (!ok) return;
        if (!target->is_in_scene() || &target->get_factory() != &object.get_factory()) {
            CORE_LOG_WARNING(operation << ": " << target->get_full_name() << " is not in the scene of "
                                       << attr.get_full_name() << "\n");
            ok = false;
        } else if (!is_input && !attr.get_object_filter().is_empty() &&
                   !(filter && target->is_kindof(*filter))) {
            CORE_LOG_WARNING(operation << ": " << target->get_full_name() << " (class "
                                       << target->get_class_name() << ") is not a "
                                       << attr.get_object_filter() << " as " << attr.get_full_name()
                                       << " requires\n");
            ok = false;
        } else if (target == &object || target->depends_on(object)) {
            CORE_LOG_WARNING(operation << ": linking " << attr.get_full_name() << " to "
                                       << target->get_full_name() << " would make a cycle\n");
            ok = false;
        }
    };
    // Links the attribute already has were checked when they were made.
    OfAttrData const* current = attr.get_data();
    CoreSet<OfObject*> existing;
    if (current) for_each_link(*current, [&](OfObject* target) { existing.add(target); });
    if (normalized.local && attr.get_type() == OfPlugType::TYPE_REFERENCE) {
        for (unsigned int i = 0; i < normalized.values.get_count(); ++i) {
            OfObject* target = normalized.values.get_object(i);
            if (target && !existing.has(target)) check_target(target, false);
        }
    }
    if (normalized.input) {
        if (normalized.input_output >= 0 &&
            static_cast<unsigned int>(normalized.input_output) >= normalized.input->get_output_count()) {
            CORE_LOG_WARNING(operation << ": " << normalized.input->get_full_name() << " has no output "
                                       << normalized.input_output << "\n");
            return false;
        }
        if (!existing.has(normalized.input)) check_target(normalized.input, true);
    }
    if (!ok) return false;
    return run_command(object, std::make_unique<CmdSetAttr>(attr, normalized));
}

// Scene setup -----------------------------------------------------------------------------

OfContext* OfSceneEdit::make_root(OfObjectFactory& factory)
{
    OfContext* root =
        new OfContext("", nullptr, factory, OfContextEngine::get(OfContextEngine::KIND_PROJECT));
    root->set_flag(OfItem::FLAG_DETACHED, false);
    root->set_flag(OfItem::FLAG_LOCKED, true);
    return root;
}

OfContext* OfSceneEdit::make_build(OfObjectFactory& factory, OfContext& root)
{
    OfContext* build =
        new OfContext("build", &root, factory, OfContextEngine::get(OfContextEngine::KIND_BUILD_PACKAGE));
    build->set_flag(OfItem::FLAG_LOCKED, true);
    build->set_flag(OfItem::FLAG_SHADOWED, true);
    build->set_flag(OfItem::FLAG_DETACHED, false);
    insert_child(*build, -1);
    return build;
}

void OfSceneEdit::clear_context(OfContext& context)
{
    for (OfObject* object : context.m_objects) delete object;
    context.m_objects.clear();
    CoreVector<OfContext*> kept;
    for (OfContext* child : context.m_contexts) {
        if (child->is_locked()) {
            clear_context(*child);
            kept.add(child);
        } else {
            delete child;
        }
    }
    context.m_contexts = kept;
    context.m_names.reset(new OfNameIndex());
    for (OfContext* child : kept) context.m_names->add(child);
}

// Integrity -------------------------------------------------------------------------------

bool OfSceneEdit::check_context(OfContext const& root)
{
    bool ok = true;
    auto fail = [&ok](OfItem const& item, char const* what) {
        CORE_LOG_ERROR("OfObjectFactory.check_integrity: " << item.get_full_name() << ": " << what << "\n");
        ok = false;
    };
    // Expected dependents, rebuilt from the links objects hold.
    std::map<std::pair<OfObject const*, std::pair<OfObject const*, unsigned int>>, int> expected;
    std::vector<OfObject const*> all;

    std::vector<OfContext const*> contexts{&root};
    while (!contexts.empty()) {
        OfContext const* context = contexts.back();
        contexts.pop_back();
        if (context->has_flag(OfItem::FLAG_DETACHED)) fail(*context, "context marked detached in the scene");
        if (context->m_names->get_count() != context->m_contexts.get_count() + context->m_objects.get_count())
            fail(*context, "name index count differs from the children");
        for (OfContext const* child : context->m_contexts) {
            if (child->m_context != context) fail(*child, "wrong parent context");
            if (context->get_item(child->get_name()) != child) fail(*child, "not found by name");
            contexts.push_back(child);
        }
        std::vector<OfObject const*> objects(context->m_objects.begin(), context->m_objects.end());
        for (OfObject const* object : objects)
            if (context->get_item(object->get_name()) != object) fail(*object, "not found by name");
        while (!objects.empty()) {
            OfObject const* object = objects.back();
            objects.pop_back();
            all.push_back(object);
            if (object->m_context != context) fail(*object, "wrong context");
            if (object->has_flag(OfItem::FLAG_DETACHED)) fail(*object, "object marked detached in the scene");
            if (object->m_parent && object->m_parent->get_embedded_object(object->get_name()) != object)
                fail(*object, "not found among its parent's embedded objects");
            for (OfObject const* embedded : object->get_embedded_objects()) {
                if (embedded->m_parent != object) fail(*embedded, "wrong parent object");
                objects.push_back(embedded);
            }
            if (OfObject const* source = object->get_source()) {
                if (!source->get_instances().contains(const_cast<OfObject*>(object)))
                    fail(*object, "missing from its source's instances");
                if (!source->is_in_scene()) fail(*object, "source not in the scene");
            }
            for (OfObject* instance : object->get_instances())
                if (instance->get_source() != object) fail(*instance, "listed as instance of another object");
            if (object->m_plugs) {
                for (unsigned int i = 0; i < object->get_attr_count(); ++i) {
                    OfAttrData const* data = object->m_plugs->attrs[i].get_data();
                    if (!data) continue;
                    if (data->is_empty()) fail(*object, "attribute stores empty data");
                    for_each_link(*data, [&](OfObject* target) {
                        ++expected[{target, {object, i}}];
                        if (!target->is_in_scene()) fail(*object, "links to an object out of the scene");
                    });
                }
            }
        }
    }
    for (OfObject const* object : all) {
        if (!object->m_links) continue;
        for (OfObject::Dependent const& dependent : object->m_links->dependents)
            if (--expected[{object, {dependent.object, dependent.attr}}] < 0)
                fail(*object, "dependent without a matching link");
    }
    for (auto const& [key, count] : expected)
        if (count > 0) fail(*key.first, "link missing from the target's dependents");
    return ok;
}
