#pragma once
// The changes of a scene, internal to the scene framework: each public change (OfItem::set_name,
// OfAttr::set_double, OfObjectFactory::create_object, ...) checks its arguments here, reports
// refusals, and runs the command that makes it. The commands themselves live in the source
// file; they change items only through the primitives of this class, which keep the
// bookkeeping (name indexes, dependents, instances) right and raise the events.
#include <vector>

#include <cstdint>

#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/gmath/gmath_vec.h"
#include "host/of/of_context.h"
#include "host/of/of_item.h"

class OfAttr;
class OfNameIndex;
class OfClass;
class OfObject;
class OfObjectFactory;
struct OfAttrData;

class OfSceneEdit {
public:
    static uint32_t get_name_hash(OfItem const& item) { return item.m_name_hash; }
    static uint32_t get_slot(OfItem const& item) { return item.m_slot; }
    static bool is_detached(OfItem const& item) { return item.has_flag(OfItem::FLAG_DETACHED); }

    // Item changes (commands). `operation` names the public call in messages.
    static bool rename(char const* operation, OfItem& item, CoreBasicString const& name);
    static bool set_comment(OfItem& item, CoreBasicString const& comment);
    static bool set_colortag(OfItem& item, unsigned int const& colortag);
    static bool set_position(OfItem& item, GMathVec2<double> const& position);
    // Flags settable by users: disabled, shadowed, hidden, reference, override.
    static bool set_flag(char const* operation, OfItem& item, uint16_t const& flag, bool const& on);
    static bool move(char const* operation, OfItem& item, OfContext& target);
    static bool remove(char const* operation, OfItem& item);
    // Deletes items of `factory` (none inside another) as one command; false when any was
    // refused.
    static bool remove_items(char const* operation, OfObjectFactory& factory,
                             CoreBasicArray<OfItem*> const& items);

    // Creation (commands); null when refused. `parent` makes an embedded object, `source`
    // an instance.
    static OfObject* create_object(char const* operation, OfObjectFactory& factory, OfClass const& of_class,
                                   CoreBasicString const& name, OfContext* context, OfObject* parent,
                                   OfObject* source);
    static OfContext* create_context(char const* operation, OfObjectFactory& factory,
                                     CoreBasicString const& name, OfContext* parent,
                                     OfContextEngine const& engine);
    static CoreVector<OfItem*> copy_items(char const* operation, CoreBasicArray<OfItem*> const& items,
                                          OfContext& target);

    // Gives an attribute new data (a command); checks links (class filter, cycles) first.
    static bool set_attr_data(char const* operation, OfAttr& attr, OfAttrData const& data);

    // The root and build contexts of a new factory (not commands).
    static OfContext* make_root(OfObjectFactory& factory);
    static OfContext* make_build(OfObjectFactory& factory, OfContext& root);
    // Deletes every item of a context (clear); the caller clears the history first.
    static void clear_context(OfContext& context);

    // Bookkeeping checks for OfObjectFactory::check_integrity; logs what is wrong.
    static bool check_context(OfContext const& context);

    // Primitives, used by the commands: each changes one thing, keeps the bookkeeping and
    // raises the event (put_attr_data and the source links only when asked to).
    static bool has_plugs(OfObject const& object);
    static OfNameIndex& get_name_index(OfContext const& context);
    static void notify(OfItem& item, CoreString const& event, OfAttr* attr = nullptr,
                       CoreString const* previous_name = nullptr, OfContext* previous_context = nullptr);
    static void notify_assembly(OfItem& item);
    static void notify_instances(OfObject& object, unsigned int const& index);
    static CoreString const& get_add_event(OfItem const& item, bool const& paste);
    static CoreString const& get_remove_event(OfItem const& item);
    // Puts an item into (takes it out of) its holder's lists at `index` (-1 appends).
    static void insert_child(OfItem& item, int const& index);
    static int erase_child(OfItem& item);
    static void set_awake(OfItem& item, bool const& awake);
    static void set_context_of(OfItem& item, OfContext* context);
    // Takes items out of their holders' lists with one pass over each list (taking them out
    // one at a time from the front would shift the list once per item); gives the index each
    // had before. insert_children puts them back there.
    static std::vector<int> erase_children(std::vector<OfItem*> const& items);
    static void insert_children(std::vector<OfItem*> const& items, std::vector<int> const& indices);
    // Both in one: puts the items back at `indices`, or takes them out and fills `indices`.
    static void edit_children(std::vector<OfItem*> const& items, std::vector<int>& indices, bool const& insert);
    // The scene state, waking and the event of an item put into (taken out of) its list.
    static void mark_attached(OfItem& item, CoreString const& event);
    static void mark_detached(OfItem& item);
    static void put_name(OfItem& item, CoreString const& name);
    static void put_field(OfItem& item, int const& field, uint16_t const& flag, CoreString const& comment,
                          GMathVec2<double> const& position, unsigned int const& number);
    static int move_item(OfItem& item, OfContext& target, int const& index, CoreString const& name,
                         OfContext* previous);
    // add_dependent inserts at `index` (appends when out of range); remove_dependent returns the
    // index it removed from, or -1.
    static void add_dependent(OfObject& target, OfObject& holder, unsigned int const& attr,
                              int const& index = -1);
    static int remove_dependent(OfObject& target, OfObject& holder, unsigned int const& attr);
    // Replaces the attribute's data and the dependents entries of its links. With `positions`,
    // the new links go back where a previous call removed them (the indices it returned) and
    // the indices the old links are removed from are returned, so undo keeps dependents order.
    static void put_attr_data(OfAttr& attr, OfAttrData const* data, bool const& notify_change,
                              std::vector<int>* positions = nullptr);
    static void link_source(OfObject& object, OfObject& source, int const& index, bool const& notify_change);
    static int unlink_source(OfObject& object, bool const& notify_change);
    // A detached copy of `item` (and of what it holds); `state` maps originals to copies.
    static OfItem* clone(OfItem& item, OfContext* context, OfObject* parent, CoreString const& name,
                         void* state);

    // Reports and returns false when `item` is not in the scene or cannot be changed in
    // `mode`.
    static bool check_editable(char const* operation, OfItem const& item, OfItem::EditMode const& mode);
    // Reports and returns false for a name that does not follow the naming rule.
    static bool check_name(char const* operation, CoreBasicString const& name);
};
