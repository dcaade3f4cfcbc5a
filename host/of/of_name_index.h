#pragma once
// The names of a context's children, for constant-time lookups and clash tests: an
// open-addressing table of item pointers keyed by the items' names (linear probing,
// backward-shift removal). Internal to the scene framework.
//
// It also makes free names quickly: for each base name and digit count it remembers how
// many numbered names from 1 up are known to be taken, so that adding many "sphere" items
// does not test "sphere1", "sphere2", ... again each time. Removing a name forgets what it
// invalidates.
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
    // from its number as CoreNameServer::get_unique_name does; "" when there is none.
    CoreString get_unique_name(CoreBasicString const& name, OfItem const* ignored = nullptr);

private:
    // For one base name: per digit count, how many names numbered 1, 2, ... are taken.
    struct Filled {
        unsigned int digit_count;
        unsigned long long count;
    };

    void grow();
    size_t home(uint32_t hash) const { return hash & (m_slots.size() - 1); }
    bool is_taken(CoreBasicString const& name, OfItem const* ignored) const;
    void forget(CoreBasicString const& name);

    std::vector<OfItem*> m_slots;  // null for empty slots; size 0 or a power of two
    unsigned int m_count = 0;
    std::unordered_map<std::string, std::vector<Filled>> m_filled;
};
