#pragma once
// A first-in first-out queue of the host libraries.
#include <deque>
#include <utility>

template <typename T>
class CoreQueue {
public:
    // Appends at the back.
    void push(T const& value) { m_items.push_back(value); }
    void push(T&& value) { m_items.push_back(std::move(value)); }

    // Moves the front item into `value` and removes it; false (and `value` untouched) when
    // the queue is empty.
    bool pop(T& value)
    {
        if (m_items.empty()) return false;
        value = std::move(m_items.front());
        m_items.pop_front();
        return true;
    }
    // Removes the front item; false when the queue is empty.
    bool pop()
    {
        if (m_items.empty()) return false;
        m_items.pop_front();
        return true;
    }

    // The front item (the next pop), or null when the queue is empty.
    T* front() { return m_items.empty() ? nullptr : &m_items.front(); }
    T const* front() const { return m_items.empty() ? nullptr : &m_items.front(); }

    unsigned int get_count() const { return static_cast<unsigned int>(m_items.size()); }
    bool is_empty() const { return m_items.empty(); }
    void clear() { m_items.clear(); }

    // Iterates from the front to the back.
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::deque<T> m_items;
};
