#include "host/of/of_handle.h"

#include <vector>

#include "host/core/core_hash.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_scene_edit.h"

// OfItemRegistry --------------------------------------------------------------------------

namespace {

struct Slot {
    OfItem* item;
    uint32_t generation;
};

struct Registry {
    // Slot 0 is never used, so that a zero slot means "no item".
    std::vector<Slot> slots{Slot{nullptr, 0}};
    std::vector<uint32_t> free_slots;
    unsigned int count = 0;
};

Registry& get_registry()
{
    static Registry registry;
    return registry;
}

}  // namespace

uint32_t OfItemRegistry::add(OfItem* item)
{
    Registry& registry = get_registry();
    ++registry.count;
    if (!registry.free_slots.empty()) {
        uint32_t slot = registry.free_slots.back();
        registry.free_slots.pop_back();
        registry.slots[slot].item = item;
        return slot;
    }
    registry.slots.push_back(Slot{item, 1});
    return static_cast<uint32_t>(registry.slots.size() - 1);
}

void OfItemRegistry::remove(uint32_t const& slot)
{
    Registry& registry = get_registry();
    if (slot == 0 || slot >= registry.slots.size() || !registry.slots[slot].item) return;
    registry.slots[slot].item = nullptr;
    ++registry.slots[slot].generation;
    registry.free_slots.push_back(slot);
    --registry.count;
}

OfItem* OfItemRegistry::get(uint32_t const& slot, uint32_t const& generation)
{
    Registry const& registry = get_registry();
    if (slot == 0 || slot >= registry.slots.size()) return nullptr;
    Slot const& entry = registry.slots[slot];
    return entry.generation == generation ? entry.item : nullptr;
}

uint32_t OfItemRegistry::get_generation(uint32_t const& slot)
{
    Registry const& registry = get_registry();
    return slot < registry.slots.size() ? registry.slots[slot].generation : 0;
}

unsigned int OfItemRegistry::get_item_count()
{
    return get_registry().count;
}

// OfHandle --------------------------------------------------------------------------------

char const* OfHandle::get_kind_name(Kind const& kind)
{
    switch (kind) {
        case KIND_NONE:
            return "KIND_NONE";
        case KIND_OBJECT:
            return "KIND_OBJECT";
        case KIND_CONTEXT:
            return "KIND_CONTEXT";
        case KIND_ATTR:
            return "KIND_ATTR";
        case KIND_OUTPUT:
            return "KIND_OUTPUT";
        case KIND_COUNT:
            return "KIND_COUNT";
    }
    return "KIND_UNKNOWN";
}

OfHandle::OfHandle(OfItem const* item)
{
    if (!item) return;
    m_slot = item->m_slot;
    m_generation = OfItemRegistry::get_generation(m_slot);
    m_kind = item->is_context() ? KIND_CONTEXT : KIND_OBJECT;
}

OfHandle::OfHandle(OfPlugType const* plug)
{
    if (!plug || !plug->get_parent_object()) return;
    OfItem const* object = plug->get_parent_object();
    m_slot = object->m_slot;
    m_generation = OfItemRegistry::get_generation(m_slot);
    m_index = static_cast<uint16_t>(plug->get_index());
    m_kind = plug->is_output() ? KIND_OUTPUT : KIND_ATTR;
}

OfItem* OfHandle::get_item_in_scene() const
{
    if (m_kind == KIND_NONE) return nullptr;
    OfItem* item = OfItemRegistry::get(m_slot, m_generation);
    return item && item->is_in_scene() ? item : nullptr;
}

OfItem* OfHandle::to_item() const
{
    return (m_kind == KIND_OBJECT || m_kind == KIND_CONTEXT) ? get_item_in_scene() : nullptr;
}

OfObject* OfHandle::to_object() const
{
    if (m_kind == KIND_CONTEXT) return nullptr;
    OfItem* item = get_item_in_scene();
    return item ? item->to_object() : nullptr;
}

OfContext* OfHandle::to_context() const
{
    if (m_kind != KIND_CONTEXT) return nullptr;
    OfItem* item = get_item_in_scene();
    return item ? item->to_context() : nullptr;
}

OfAttr* OfHandle::to_attr() const
{
    if (m_kind != KIND_ATTR) return nullptr;
    OfObject* object = to_object();
    return object && m_index < object->get_attr_count() ? object->get_attr(m_index) : nullptr;
}

OfOutput* OfHandle::to_output() const
{
    if (m_kind != KIND_OUTPUT) return nullptr;
    OfObject* object = to_object();
    return object && m_index < object->get_output_count() ? object->get_output(m_index) : nullptr;
}

OfPlugType* OfHandle::to_plug() const
{
    if (m_kind == KIND_ATTR) return to_attr();
    if (m_kind == KIND_OUTPUT) return to_output();
    return nullptr;
}

CoreString OfHandle::get_full_name() const
{
    if (OfPlugType* plug = to_plug()) return plug->get_full_name();
    OfItem* item = to_item();
    return item ? item->get_full_name() : CoreString();
}

OfContext* OfHandle::get_context() const
{
    OfItem* item = get_item_in_scene();
    return item ? item->get_context() : nullptr;
}

bool OfHandle::is_disabled() const
{
    OfItem* item = get_item_in_scene();
    return item && item->is_disabled();
}

bool OfHandle::is_editable(OfItem::EditMode const& mode) const
{
    OfItem* item = get_item_in_scene();
    if (!item) return false;
    // Plugs are edited through their values.
    if (m_kind == KIND_ATTR || m_kind == KIND_OUTPUT) return item->is_editable(OfItem::EDIT_MODE_VALUES);
    return item->is_editable(mode);
}

bool OfHandle::is_real() const
{
    OfItem* item = get_item_in_scene();
    return item && !item->is_virtual();
}

bool OfHandle::is_virtual() const
{
    OfItem* item = get_item_in_scene();
    return item && item->is_virtual();
}

bool OfHandle::get_can_copy() const
{
    OfItem* item = get_item_in_scene();
    if (!item) return false;
    if (m_kind == KIND_ATTR || m_kind == KIND_OUTPUT) return true;
    return !item->is_locked() && !(item->is_object() && item->to_object()->get_parent());
}

bool OfHandle::get_can_delete() const
{
    if (m_kind != KIND_OBJECT && m_kind != KIND_CONTEXT) return false;
    OfItem* item = get_item_in_scene();
    return item && item->is_editable(OfItem::EDIT_MODE_STRUCTURE);
}

bool OfHandle::get_can_paste() const
{
    OfItem* item = get_item_in_scene();
    if (!item) return false;
    if (m_kind == KIND_ATTR) return item->is_editable(OfItem::EDIT_MODE_VALUES);
    if (m_kind == KIND_OUTPUT) return false;
    OfContext* context = item->is_context() ? item->to_context() : item->get_context();
    return context && context->is_writable();
}

bool OfHandle::get_can_localize() const
{
    if (m_kind != KIND_OBJECT && m_kind != KIND_CONTEXT) return false;
    OfItem* item = get_item_in_scene();
    return item && item->is_virtual();
}

bool OfHandle::get_can_rename() const
{
    if (m_kind != KIND_OBJECT && m_kind != KIND_CONTEXT) return false;
    OfItem* item = get_item_in_scene();
    return item && item->is_editable(OfItem::EDIT_MODE_STRUCTURE);
}

bool OfHandle::get_can_instantiate() const
{
    if (m_kind != KIND_OBJECT) return false;
    OfObject* object = to_object();
    return object && !object->get_class().is_embedded_only() && !object->get_parent() &&
           object->get_context()->is_writable();
}

bool OfHandle::operator<(OfHandle const& other) const
{
    if (m_slot != other.m_slot) return m_slot < other.m_slot;
    if (m_generation != other.m_generation) return m_generation < other.m_generation;
    if (m_kind != other.m_kind) return m_kind < other.m_kind;
    return m_index < other.m_index;
}

uint32_t OfHandle::get_hash() const
{
    uint32_t hash = CoreHash::combine(m_slot, m_generation);
    return CoreHash::combine(hash, (uint32_t(m_kind) << 16) | m_index);
}
