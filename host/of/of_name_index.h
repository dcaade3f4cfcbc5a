#pragma once
// The names of a context's children, for constant-time lookups and clash tests: an
// open-addressing table of item pointers keyed by the items' names (linear probing,
// backward-shift removal). Internal to the scene framework.
#include <cstdint>
#include <string_view>
#include <vector>

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
    size_t get_memory_size() const { return m_slots.capacity() * sizeof(OfItem*); }

private:
    void grow();
    size_t home(uint32_t hash) const { return hash & (m_slots.size() - 1); }

    std::vector<OfItem*> m_slots;  // null for empty slots; size 0 or a power of two
    unsigned int m_count = 0;
};
