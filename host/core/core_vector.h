#pragma once
// Growable and fixed-size arrays of the host libraries, and the read-only view passed to
// host calls. Thin value types over std::vector with the host's naming.
#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

// A growable array. Indices are unsigned int; out-of-range access is the caller's fault
// (checked by assertions in debug builds through std::vector's own checks).
template <typename T>
class CoreVector {
public:
    CoreVector() = default;
    CoreVector(std::initializer_list<T> items) : m_items(items) {}
    explicit CoreVector(unsigned int count) : m_items(count) {}
    CoreVector(unsigned int count, T const& value) : m_items(count, value) {}

    unsigned int get_count() const { return static_cast<unsigned int>(m_items.size()); }
    bool is_empty() const { return m_items.empty(); }

    T& operator[](unsigned int index) { return m_items[index]; }
    T const& operator[](unsigned int index) const { return m_items[index]; }
    T& get(unsigned int index) { return m_items[index]; }
    T const& get(unsigned int index) const { return m_items[index]; }
    void set(unsigned int index, T const& value) { m_items[index] = value; }
    T& get_first() { return m_items.front(); }
    T& get_last() { return m_items.back(); }
    T const& get_first() const { return m_items.front(); }
    T const& get_last() const { return m_items.back(); }

    // Appends and returns the new element's index.
    unsigned int add(T const& value) { m_items.push_back(value); return get_count() - 1; }
    unsigned int add(T&& value) { m_items.push_back(std::move(value)); return get_count() - 1; }
    void add(CoreVector const& other)
    {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    }
    // Inserts before `index`; an index at or past the end appends.
    void insert(unsigned int index, T const& value)
    {
        m_items.insert(m_items.begin() + std::min<size_t>(index, m_items.size()), value);
    }
    // Removes the element at `index`, keeping the order of the others.
    void remove(unsigned int index) { if (index < m_items.size()) m_items.erase(m_items.begin() + index); }
    // Removes every element equal to `value`; returns how many were removed.
    unsigned int remove_item(T const& value)
    {
        auto it = std::remove(m_items.begin(), m_items.end(), value);
        unsigned int removed = static_cast<unsigned int>(m_items.end() - it);
        m_items.erase(it, m_items.end());
        return removed;
    }
    // Index of the first element equal to `value`, or -1.
    int find(T const& value) const
    {
        auto it = std::find(m_items.begin(), m_items.end(), value);
        return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
    }
    bool contains(T const& value) const { return find(value) >= 0; }
    void clear() { m_items.clear(); }
    void resize(unsigned int count) { m_items.resize(count); }
    void reserve(unsigned int count) { m_items.reserve(count); }
    T* get_data() { return m_items.data(); }
    T const* get_data() const { return m_items.data(); }

    bool operator==(CoreVector const& other) const { return m_items == other.m_items; }
    bool operator!=(CoreVector const& other) const { return m_items != other.m_items; }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    std::vector<T>& std_vector() { return m_items; }
    std::vector<T> const& std_vector() const { return m_items; }

private:
    std::vector<T> m_items;
};

// An array whose size is chosen at construction (or by an explicit resize), never by adding.
template <typename T>
class CoreArray {
public:
    CoreArray() = default;
    explicit CoreArray(unsigned int count) : m_items(count) {}
    CoreArray(unsigned int count, T const& value) : m_items(count, value) {}
    CoreArray(std::initializer_list<T> items) : m_items(items) {}

    unsigned int get_count() const { return static_cast<unsigned int>(m_items.size()); }
    bool is_empty() const { return m_items.empty(); }
    T& operator[](unsigned int index) { return m_items[index]; }
    T const& operator[](unsigned int index) const { return m_items[index]; }
    void resize(unsigned int count) { m_items.resize(count); }
    void fill(T const& value) { std::fill(m_items.begin(), m_items.end(), value); }
    T* get_data() { return m_items.data(); }
    T const* get_data() const { return m_items.data(); }
    bool operator==(CoreArray const& other) const { return m_items == other.m_items; }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

// A read-only view over contiguous elements owned elsewhere; it must not outlive them.
template <typename T>
class CoreBasicArray {
public:
    CoreBasicArray() = default;
    CoreBasicArray(T const* data, unsigned int count) : m_data(data), m_count(count) {}
    CoreBasicArray(CoreVector<T> const& v) : m_data(v.get_data()), m_count(v.get_count()) {}
    CoreBasicArray(CoreArray<T> const& a) : m_data(a.get_data()), m_count(a.get_count()) {}
    // A view of one element.
    explicit CoreBasicArray(T const& single) : m_data(&single), m_count(1) {}

    unsigned int get_count() const { return m_count; }
    bool is_empty() const { return m_count == 0; }
    T const& operator[](unsigned int index) const { return m_data[index]; }
    T const* get_data() const { return m_data; }
    T const* begin() const { return m_data; }
    T const* end() const { return m_data + m_count; }

private:
    T const* m_data = nullptr;
    unsigned int m_count = 0;
};
