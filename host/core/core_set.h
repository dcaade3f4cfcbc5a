#pragma once
// A hash set of the host libraries, on the same open-addressing storage as
// CoreHashTableDense (so adding or removing may reorder the items; iteration order is
// unspecified and the set must not change while it is iterated).
#include <initializer_list>

#include "host/core/core_hash_table.h"
#include "host/core/core_vector.h"

template <typename K, typename Traits = CoreHashTraits<K>>
class CoreSet {
    struct Nothing {};
    using Table = CoreHashTableDense<K, Nothing, Traits>;

public:
    // Iterates over the items (read-only).
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = K;
        using difference_type = std::ptrdiff_t;
        using pointer = K const*;
        using reference = K const&;

        const_iterator() = default;
        explicit const_iterator(typename Table::const_iterator it) : m_it(it) {}
        reference operator*() const { return m_it->get_key(); }
        pointer operator->() const { return &m_it->get_key(); }
        const_iterator& operator++() { ++m_it; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++m_it; return old; }
        bool operator==(const_iterator const& other) const { return m_it == other.m_it; }
        bool operator!=(const_iterator const& other) const { return m_it != other.m_it; }

    private:
        typename Table::const_iterator m_it;
    };
    using iterator = const_iterator;

    CoreSet() = default;
    CoreSet(std::initializer_list<K> items) { for (K const& item : items) add(item); }

    // True when `item` was not in the set yet.
    bool add(K item) { return m_table.add(std::move(item), Nothing{}); }
    // True when `item` was in the set.
    bool remove(K const& item) { return m_table.remove(item); }
    bool has(K const& item) const { return m_table.has(item); }
    bool contains(K const& item) const { return m_table.has(item); }

    unsigned int get_count() const { return m_table.get_count(); }
    bool is_empty() const { return m_table.is_empty(); }
    void clear() { m_table.clear(); }
    void reserve(unsigned int count) { m_table.reserve(count); }

    // Replaces the contents of `items` with the set's items, in iteration order.
    void get_items(CoreVector<K>& items) const
    {
        items.clear();
        items.reserve(get_count());
        for (K const& item : *this) items.add(item);
    }
    CoreVector<K> get_items() const
    {
        CoreVector<K> items;
        get_items(items);
        return items;
    }

    const_iterator begin() const { return const_iterator(m_table.begin()); }
    const_iterator end() const { return const_iterator(m_table.end()); }

private:
    Table m_table;
};
