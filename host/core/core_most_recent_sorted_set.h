#pragma once
// A bounded list of recently used entries, newest first (recent files, recent colours).
// Entries are unique under operator==; adding one that is already there moves it to the
// front. Lists are short, so the entries live in one array searched linearly.
#include <algorithm>
#include <vector>

template <typename T>
class CoreMostRecentSortedSet {
public:
    static constexpr unsigned int DEFAULT_MAX_COUNT = 10;

    // A maximum of 0 makes a list that keeps nothing.
    explicit CoreMostRecentSortedSet(unsigned int max_count = DEFAULT_MAX_COUNT) : m_max_count(max_count) {}

    // Puts `value` first: an equal entry already in the list moves to the front, otherwise
    // the value is inserted there and the oldest entry past the maximum is dropped. True
    // when the value was not in the list yet.
    bool add(T const& value)
    {
        auto it = std::find(m_items.begin(), m_items.end(), value);
        if (it != m_items.end()) {
            std::rotate(m_items.begin(), it, it + 1);
            return false;
        }
        if (m_max_count == 0) return true;
        if (m_items.size() >= m_max_count) m_items.erase(m_items.begin() + (m_max_count - 1), m_items.end());
        m_items.insert(m_items.begin(), value);
        return true;
    }
    // Removes the entry equal to `value`; false when there is none.
    bool remove(T const& value)
    {
        auto it = std::find(m_items.begin(), m_items.end(), value);
        if (it == m_items.end()) return false;
        m_items.erase(it);
        return true;
    }
    // Position of the entry equal to `value` (0 is the newest), or -1.
    int find(T const& value) const
    {
        auto it = std::find(m_items.begin(), m_items.end(), value);
        return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
    }
    bool contains(T const& value) const { return find(value) >= 0; }
    void clear() { m_items.clear(); }

    unsigned int get_count() const { return static_cast<unsigned int>(m_items.size()); }
    bool is_empty() const { return m_items.empty(); }
    // The entry at `index`, 0 being the newest; the index must be below get_count().
    T const& operator[](unsigned int index) const { return m_items[index]; }

    unsigned int const& get_max_count() const { return m_max_count; }
    // Changes the maximum, dropping the oldest entries past it.
    void set_max_count(unsigned int const& max_count)
    {
        m_max_count = max_count;
        if (m_items.size() > max_count) m_items.erase(m_items.begin() + max_count, m_items.end());
    }

    // Iterates from the newest to the oldest.
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
    unsigned int m_max_count;
};
