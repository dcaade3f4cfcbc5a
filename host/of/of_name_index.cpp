#include "host/of/of_name_index.h"

#include <functional>

#include "host/of/of_item.h"
#include "host/of/of_scene_edit.h"

uint32_t OfNameIndex::hash(std::string_view name)
{
    uint64_t h = std::hash<std::string_view>{}(name);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

void OfNameIndex::add(OfItem* item)
{
    // Keep the load at or below three quarters.
    if ((m_count + 1) * 4 > m_slots.size() * 3) grow();
    size_t mask = m_slots.size() - 1;
    size_t i = home(OfSceneEdit::get_name_hash(*item));
    while (m_slots[i]) i = (i + 1) & mask;
    m_slots[i] = item;
    ++m_count;
}

OfItem* OfNameIndex::find(std::string_view name, uint32_t hash) const
{
    if (m_slots.empty()) return nullptr;
    size_t mask = m_slots.size() - 1;
    for (size_t i = home(hash); m_slots[i]; i = (i + 1) & mask) {
        OfItem* item = m_slots[i];
        if (OfSceneEdit::get_name_hash(*item) == hash && item->get_name().view() == name) return item;
    }
    return nullptr;
}

bool OfNameIndex::remove(OfItem const* item)
{
    if (m_slots.empty()) return false;
    size_t mask = m_slots.size() - 1;
    size_t i = home(OfSceneEdit::get_name_hash(*item));
    while (m_slots[i] && m_slots[i] != item) i = (i + 1) & mask;
    if (!m_slots[i]) return false;
    // Shift back the entries of the run after the hole that may move closer to home.
    size_t j = i;
    for (;;) {
        j = (j + 1) & mask;
        if (!m_slots[j]) break;
        size_t k = home(OfSceneEdit::get_name_hash(*m_slots[j]));
        bool movable = (i <= j) ? (k <= i || k > j) : (k <= i && k > j);
        if (movable) {
            m_slots[i] = m_slots[j];
            i = j;
        }
    }
    m_slots[i] = nullptr;
    --m_count;
    return true;
}

void OfNameIndex::grow()
{
    std::vector<OfItem*> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? 8 : old.size() * 2, nullptr);
    m_count = 0;
    for (OfItem* item : old)
        if (item) add(item);
}
