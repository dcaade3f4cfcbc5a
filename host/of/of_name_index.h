#pragma once
// The names of a context's children, for constant-time lookups and clash tests: an
// open-addressing table of item pointers keyed by the items' names (linear probing,
// backward-shift removal). Internal to the scene framework.
//
// It also makes free names quickly: for each base name and digit count it remembers a run
// of numbered names known to be taken, so that adding many "sphere" items (or copies of
// "sphere10", "sphere11", ...) does not test the same names again each time. Removing a
// name forgets what it invalidates.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/core/core_string.h"

class OfItem;

class OfNameIndex {
public:
    static uint32_t hash(std::string_view name);

    // The item has the name it is indexed under; it must not be renamed while indexed.
    void add(OfItem* item);
    bool remove(OfItem const* item);
    OfItem* find(std::string_view name, uint32_t hash) const;
    OfItem* find(std::string_view name) const { return find(name, hash(name)); }
    unsigned int get_count() const { return m_count; }
    size_t get_memory_size() const;

    // `name` when it is free (or taken by `ignored`), else the first free name counting up
    // from its number as CoreNameServer::get_unique_name does; "" when there is none. Names
    // in `others` count as taken too (copies not yet in their context); what `others`
    // knows to be taken is reused, and it must not lose names while this index is used so.
    CoreString get_unique_name(CoreBasicString const& name, OfItem const* ignored = nullptr,
                               OfNameIndex const* others = nullptr);

private:
    // For one base name and digit count: the names numbered low to high are taken (none
    // when high < low).
    struct Filled {
        unsigned int digit_count;
        unsigned long long low;
        unsigned long long high;
    };

    void grow();
    size_t home(uint32_t hash) const { return hash & (m_slots.size() - 1); }
    bool is_taken(CoreBasicString const& name, OfItem const* ignored, OfNameIndex const* others) const;
    // The run known taken for `base` and `digit_count`; an empty one when none is known.
    Filled get_filled(std::string const& base, unsigned int const& digit_count) const;
    void forget(CoreBasicString const& name);

    std::vector<OfItem*> m_slots;  // null for empty slots; size 0 or a power of two
    unsigned int m_count = 0;
    std::unordered_map<std::string, std::vector<Filled>> m_filled;
};
