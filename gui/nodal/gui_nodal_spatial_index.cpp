#include "gui/nodal/gui_nodal_spatial_index.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

// A box spanning more cells than this on a side is kept apart rather than copied into each.
constexpr int MAX_CELLS_PER_SIDE = 64;

}  // namespace

GuiNodalSpatialIndex::GuiNodalSpatialIndex(int const& cell_size) : m_cell_size(std::max(cell_size, 1)) {}

void GuiNodalSpatialIndex::clear()
{
    m_cells.clear();
    m_large.clear();
    m_count = 0;
}

int GuiNodalSpatialIndex::cell_of(float const& coordinate) const
{
    return static_cast<int>(std::floor(coordinate / static_cast<float>(m_cell_size)));
}

void GuiNodalSpatialIndex::insert(GuiNodalItem& item, GMathVec2<int> const& min, GMathVec2<int> const& max)
{
    Entry const entry{&item, GMathVec2<int>(std::min(min[0], max[0]), std::min(min[1], max[1])),
                      GMathVec2<int>(std::max(min[0], max[0]), std::max(min[1], max[1])), m_count++};
    int const x0 = cell_of(static_cast<float>(entry.min[0]));
    int const x1 = cell_of(static_cast<float>(entry.max[0]));
    int const y0 = cell_of(static_cast<float>(entry.min[1]));
    int const y1 = cell_of(static_cast<float>(entry.max[1]));
    if (x1 - x0 >= MAX_CELLS_PER_SIDE || y1 - y0 >= MAX_CELLS_PER_SIDE) {
        m_large.push_back(entry);
        return;
    }
    for (int cx = x0; cx <= x1; ++cx)
        for (int cy = y0; cy <= y1; ++cy) m_cells[key(cx, cy)].push_back(entry);
}

void GuiNodalSpatialIndex::query(GMathVec2<float> const& point, std::vector<GuiNodalItem*>& items) const
{
    items.clear();
    if (!std::isfinite(point[0]) || !std::isfinite(point[1])) return;
    std::vector<Entry const*> found;
    auto const holds = [&point](Entry const& e) {
        return point[0] >= e.min[0] && point[0] <= e.max[0] && point[1] >= e.min[1] && point[1] <= e.max[1];
    };
    auto const cell = m_cells.find(key(cell_of(point[0]), cell_of(point[1])));
    if (cell != m_cells.end())
        for (Entry const& e : cell->second)
            if (holds(e)) found.push_back(&e);
    for (Entry const& e : m_large)
        if (holds(e)) found.push_back(&e);
    std::sort(found.begin(), found.end(), [](Entry const* a, Entry const* b) { return a->order < b->order; });
    for (Entry const* e : found) items.push_back(e->item);
}

void GuiNodalSpatialIndex::query(GMathVec2<float> const& min, GMathVec2<float> const& max,
                                 std::vector<GuiNodalItem*>& items) const
{
    items.clear();
    if (!std::isfinite(min[0]) || !std::isfinite(min[1]) || !std::isfinite(max[0]) || !std::isfinite(max[1])) return;
    std::vector<Entry const*> found;
    auto const meets = [&](Entry const& e) {
        return e.max[0] >= min[0] && e.min[0] <= max[0] && e.max[1] >= min[1] && e.min[1] <= max[1];
    };
    auto const take = [&](std::vector<Entry> const& entries) {
        for (Entry const& e : entries)
            if (meets(e)) found.push_back(&e);
    };
    int const x0 = cell_of(min[0]);
    int const x1 = cell_of(max[0]);
    int const y0 = cell_of(min[1]);
    int const y1 = cell_of(max[1]);
    double const cells = (static_cast<double>(x1) - x0 + 1.0) * (static_cast<double>(y1) - y0 + 1.0);
    if (cells > static_cast<double>(m_cells.size())) {
        // A rectangle over more cells than are filled: look at the filled ones.
        for (auto const& [cell_key, entries] : m_cells) {
            int const cx = static_cast<int>(static_cast<uint32_t>(cell_key >> 32));
            int const cy = static_cast<int>(static_cast<uint32_t>(cell_key));
            if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1) take(entries);
        }
    } else {
        for (int cx = x0; cx <= x1; ++cx)
            for (int cy = y0; cy <= y1; ++cy) {
                auto const cell = m_cells.find(key(cx, cy));
                if (cell != m_cells.end()) take(cell->second);
            }
    }
    take(m_large);
    std::sort(found.begin(), found.end(), [](Entry const* a, Entry const* b) { return a->order < b->order; });
    std::unordered_set<GuiNodalItem const*> seen;
    for (Entry const* e : found)
        if (seen.insert(e->item).second) items.push_back(e->item);
}
