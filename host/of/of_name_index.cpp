#include "host/of/of_name_index.h"

#include <algorithm>
#include <functional>

#include "host/core/core_name_server.h"

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
    forget(item->get_name());
    return true;
}

size_t OfNameIndex::get_memory_size() const
{
    size_t size = m_slots.capacity() * sizeof(OfItem*);
    for (auto const& entry : m_filled) size += sizeof(entry) + entry.first.capacity() + sizeof(Filled);
    return size;
}

bool OfNameIndex::is_taken(CoreBasicString const& name, OfItem const* ignored, OfNameIndex const* others) const
{
    OfItem* found = find(name.view());
    if (found && found != ignored) return true;
    return others && others->find(name.view());
}

OfNameIndex::Filled OfNameIndex::get_filled(std::string const& base, unsigned int const& digit_count) const
{
    auto it = m_filled.find(base);
    if (it != m_filled.end())
        for (Filled const& filled : it->second)
            if (filled.digit_count == digit_count) return filled;
    return {digit_count, 1, 0};
}

void OfNameIndex::forget(CoreBasicString const& name)
{
    if (m_filled.empty()) return;
    CoreString base;
    unsigned int number = 0;
    if (!CoreNameServer::split_name(name, base, number)) return;
    auto it = m_filled.find(base.std_string());
    if (it == m_filled.end()) return;
    // Whatever the digit count it was made with, the name may be one of a run: the run
    // ends below it.
    for (Filled& filled : it->second)
        if (number >= filled.low && number <= filled.high) filled.high = number - 1ull;
}

CoreString OfNameIndex::get_unique_name(CoreBasicString const& name, OfItem const* ignored,
                                        OfNameIndex const* others)
{
    if (!is_taken(name, ignored, others)) return CoreString(name);
    CoreString base;
    unsigned int number = 0;
    unsigned int digit_count = 0;
    CoreNameServer::split_name(name, base, number, digit_count);
    std::string const key = base.std_string();
    std::vector<Filled>& widths = m_filled[key];
    Filled* filled = nullptr;
    for (Filled& entry : widths)
        if (entry.digit_count == digit_count) filled = &entry;
    if (!filled) {
        // Names `others` knows taken are taken here too.
        widths.push_back(others ? others->get_filled(key, digit_count) : Filled{digit_count, 1, 0});
        filled = &widths.back();
    }
    // The name is taken. When the names right after its number are in the run, counting
    // starts above the run. What is then known taken (from the name's number, or 1, up to
    // the free name found) joins the run when they touch, or replaces it when longer.
    bool const jump = filled->low <= number + 1ull && number + 1ull <= filled->high;
    unsigned long long next = jump ? filled->high : number;
    for (unsigned int attempt = 0; attempt < CoreNameServer::MAX_ATTEMPTS; ++attempt) {
        CoreString candidate = CoreNameServer::make_name(base, ++next, digit_count);
        if (is_taken(candidate, ignored, others)) continue;
        unsigned long long const low = number == 0 ? 1 : number;
        unsigned long long const high = next - 1;
        bool const empty = filled->high < filled->low;
        if (low > high) {
            // Nothing new is known.
        } else if (!empty && filled->low <= high + 1 && low <= filled->high + 1) {
            filled->low = std::min(filled->low, low);
            filled->high = std::max(filled->high, high);
        } else if (empty || high - low > filled->high - filled->low) {
            filled->low = low;
            filled->high = high;
        }
        return candidate;
    }
    return CoreNameServer::get_unique_name(
        name, [&](CoreString const& candidate) { return is_taken(candidate, ignored, others); });
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
