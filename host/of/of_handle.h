#pragma once
// Handles: references to scene items and plugs that never dangle. A handle names an object,
// a context, an attribute or an output by the registry slot of its item and the slot's
// generation; it is valid while that item is in the scene. A deleted item's handle answers
// invalid (its conversions give null), and becomes valid again when the deletion is undone;
// once the item is freed its slot gets a new generation, so the handle stays invalid even
// when the slot is reused.
//
//     OfObjectHandle handle(object);
//     object->remove();
//     handle.is_valid();        // false; handle.to_object() == nullptr
//     commands.undo();
//     handle.to_object();       // the object again
//
// Handles are small values (16 bytes), compare equal when they name the same thing and hash
// (get_hash), so they serve as keys of host hash tables. The templates below are typed
// views of OfHandle; their `true` forms also answer what user commands may do with the
// item (is_real, get_can_delete, ...). A plug handle answers for its object's item, except
// that plugs are never deleted, renamed or instantiated.
//
// The scene framework belongs to the application thread; so do handles.
#include <cstdint>

#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/of/of_attr.h"
#include "host/of/of_context.h"
#include "host/of/of_item.h"
#include "host/of/of_object.h"
#include "host/of/of_plug_type.h"

// The table handles resolve through: one entry per living item, with a generation that
// changes when the item is freed.
class QN_HOST_API OfItemRegistry {
public:
    static uint32_t add(OfItem* item);
    static void remove(uint32_t const& slot);
    // The item in `slot` when its generation is `generation`, whether in the scene or not.
    static OfItem* get(uint32_t const& slot, uint32_t const& generation);
    static uint32_t get_generation(uint32_t const& slot);
    // Items alive, in the scene or kept by commands.
    static unsigned int get_item_count();
};

class QN_HOST_API OfHandle {
public:
    enum Kind : uint8_t { KIND_NONE, KIND_OBJECT, KIND_CONTEXT, KIND_ATTR, KIND_OUTPUT, KIND_COUNT };
    // "KIND_OBJECT", ..., "KIND_COUNT", or "KIND_UNKNOWN".
    static char const* get_kind_name(Kind const& kind);

    OfHandle() = default;
    // Handles of an item (object or context) and of a plug (attribute or output); null
    // gives an empty handle.
    OfHandle(OfItem const* item);
    OfHandle(OfItem const& item) : OfHandle(&item) {}
    OfHandle(OfPlugType const* plug);
    OfHandle(OfPlugType const& plug) : OfHandle(&plug) {}

    // What the handle was made for, valid or not.
    Kind const& get_kind() const { return m_kind; }
    bool is_null() const { return m_kind == KIND_NONE; }
    // True while what the handle names is in the scene.
    bool is_valid() const { return get_item_in_scene() != nullptr; }
    // Kind tests; false when the handle is not valid.
    bool is_item() const { return (m_kind == KIND_OBJECT || m_kind == KIND_CONTEXT) && is_valid(); }
    bool is_object() const { return m_kind == KIND_OBJECT && is_valid(); }
    bool is_context() const { return m_kind == KIND_CONTEXT && is_valid(); }
    bool is_attr() const { return m_kind == KIND_ATTR && is_valid(); }
    bool is_output() const { return m_kind == KIND_OUTPUT && is_valid(); }
    bool is_plug() const { return (m_kind == KIND_ATTR || m_kind == KIND_OUTPUT) && is_valid(); }

    // Conversions; null when the handle is not valid. to_object also gives the object of an
    // attribute or output handle.
    OfItem* to_item() const;
    OfObject* to_object() const;
    OfContext* to_context() const;
    OfAttr* to_attr() const;
    OfOutput* to_output() const;
    OfPlugType* to_plug() const;

    // The full name of what the handle names; "" when not valid.
    CoreString get_full_name() const;
    // The context of the item (of the plug's object); null when not valid.
    OfContext* get_context() const;
    bool is_disabled() const;
    bool is_editable(OfItem::EditMode const& mode = OfItem::EDIT_MODE_STRUCTURE) const;

    bool operator==(OfHandle const& other) const
    {
        return m_slot == other.m_slot && m_generation == other.m_generation && m_index == other.m_index &&
               m_kind == other.m_kind;
    }
    bool operator!=(OfHandle const& other) const { return !(*this == other); }
    bool operator<(OfHandle const& other) const;
    uint32_t get_hash() const;

protected:
    // User-command questions, answered by the `true` handle forms: whether the handle names
    // something real (in the scene and not virtual) or virtual (inside a reference); whether
    // it may be copied, deleted, pasted into (contexts and objects of writable contexts),
    // made local (virtual items), renamed and instantiated (objects of non-embedded-only
    // classes).
    bool is_real() const;
    bool is_virtual() const;
    bool get_can_copy() const;
    bool get_can_delete() const;
    bool get_can_paste() const;
    bool get_can_localize() const;
    bool get_can_rename() const;
    bool get_can_instantiate() const;

private:
    // The handle's item (the plug's object) when it is alive and in the scene.
    OfItem* get_item_in_scene() const;

    uint32_t m_slot = 0;
    uint32_t m_generation = 0;
    uint16_t m_index = 0;  // attribute or output index
    Kind m_kind = KIND_NONE;
};

template <>
struct std::hash<OfHandle> {
    size_t operator()(OfHandle const& handle) const noexcept { return handle.get_hash(); }
};

// Common part of the typed handles; REAL adds the user-command questions.
template <bool REAL>
class OfBaseHandle : public OfHandle {
public:
    using OfHandle::OfHandle;
    OfBaseHandle() = default;
    OfBaseHandle(OfHandle const& handle) : OfHandle(handle) {}

    bool is_real() const requires REAL { return OfHandle::is_real(); }
    bool is_virtual() const requires REAL { return OfHandle::is_virtual(); }
    bool get_can_copy() const requires REAL { return OfHandle::get_can_copy(); }
    bool get_can_delete() const requires REAL { return OfHandle::get_can_delete(); }
    bool get_can_paste() const requires REAL { return OfHandle::get_can_paste(); }
    bool get_can_localize() const requires REAL { return OfHandle::get_can_localize(); }
    bool get_can_rename() const requires REAL { return OfHandle::get_can_rename(); }
    bool get_can_instantiate() const requires REAL { return OfHandle::get_can_instantiate(); }
};

// A handle of an object or context.
template <bool REAL>
class OfBaseItemHandle : public OfBaseHandle<REAL> {
public:
    OfBaseItemHandle() = default;
    OfBaseItemHandle(OfItem const* item) : OfBaseHandle<REAL>(item) {}
    OfBaseItemHandle(OfItem const& item) : OfBaseHandle<REAL>(&item) {}
    explicit OfBaseItemHandle(OfHandle const& handle) : OfBaseHandle<REAL>(handle) {}

    OfItem* get_item() const { return this->to_item(); }
};

template <bool REAL>
class OfBaseObjectHandle : public OfBaseItemHandle<REAL> {
public:
    OfBaseObjectHandle() = default;
    OfBaseObjectHandle(OfObject const* object) : OfBaseItemHandle<REAL>(object) {}
    OfBaseObjectHandle(OfObject const& object) : OfBaseItemHandle<REAL>(&object) {}
    explicit OfBaseObjectHandle(OfHandle const& handle) : OfBaseItemHandle<REAL>(handle) {}

    OfObject* get_object() const { return this->to_object(); }
};

template <bool REAL>
class OfBaseContextHandle : public OfBaseItemHandle<REAL> {
public:
    OfBaseContextHandle() = default;
    OfBaseContextHandle(OfContext const* context) : OfBaseItemHandle<REAL>(context) {}
    OfBaseContextHandle(OfContext const& context) : OfBaseItemHandle<REAL>(&context) {}
    explicit OfBaseContextHandle(OfHandle const& handle) : OfBaseItemHandle<REAL>(handle) {}
};

// A handle of an attribute or output.
template <bool REAL>
class OfBasePlugHandle : public OfBaseHandle<REAL> {
public:
    OfBasePlugHandle() = default;
    OfBasePlugHandle(OfPlugType const* plug) : OfBaseHandle<REAL>(plug) {}
    OfBasePlugHandle(OfPlugType const& plug) : OfBaseHandle<REAL>(&plug) {}
    explicit OfBasePlugHandle(OfHandle const& handle) : OfBaseHandle<REAL>(handle) {}

    OfPlugType* get_plug() const { return this->to_plug(); }
};

template <bool REAL>
class OfBaseAttrHandle : public OfBasePlugHandle<REAL> {
public:
    OfBaseAttrHandle() = default;
    OfBaseAttrHandle(OfAttr const* attr) : OfBasePlugHandle<REAL>(attr) {}
    OfBaseAttrHandle(OfAttr const& attr) : OfBasePlugHandle<REAL>(&attr) {}
    explicit OfBaseAttrHandle(OfHandle const& handle) : OfBasePlugHandle<REAL>(handle) {}

    OfAttr* get_attr() const { return this->to_attr(); }
};

template <bool REAL>
class OfBaseOutputHandle : public OfBasePlugHandle<REAL> {
public:
    OfBaseOutputHandle() = default;
    OfBaseOutputHandle(OfOutput const* output) : OfBasePlugHandle<REAL>(output) {}
    OfBaseOutputHandle(OfOutput const& output) : OfBasePlugHandle<REAL>(&output) {}
    explicit OfBaseOutputHandle(OfHandle const& handle) : OfBasePlugHandle<REAL>(handle) {}

    OfOutput* get_output() const { return this->to_output(); }
};

using OfItemHandle = OfBaseItemHandle<true>;
using OfObjectHandle = OfBaseObjectHandle<true>;
using OfContextHandle = OfBaseContextHandle<true>;
using OfPlugHandle = OfBasePlugHandle<true>;
using OfAttrHandle = OfBaseAttrHandle<true>;
using OfOutputHandle = OfBaseOutputHandle<true>;
