#pragma once
// GuiNodalSpatialIndex: the boxes of a graph's items in a grid of square cells, so that the
// items under a point are found by looking at one cell instead of at every item. Each item
// is listed in every cell its box touches; boxes are in graph units.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/gmath/gmath_vec.h"

class GuiNodalItem;

class QN_GUI_API GuiNodalSpatialIndex {
public:
    // Cells of `cell_size` graph units (at least 1).
    explicit GuiNodalSpatialIndex(int const& cell_size = 256);

    void clear();
    // Lists the item with its box (min corner, max corner; a box given the wrong way round is
    // put right). Boxes wider than 64 cells are listed once, apart, and checked at every query.
    void insert(GuiNodalItem& item, GMathVec2<int> const& min, GMathVec2<int> const& max);
    // The items whose box holds the point, in the order they were inserted.
    void query(GMathVec2<float> const& point, std::vector<GuiNodalItem*>& items) const;
    // The items with a box meeting the rectangle from `min` to `max`, each once, in the order
    // of their first insertion.
    void query(GMathVec2<float> const& min, GMathVec2<float> const& max, std::vector<GuiNodalItem*>& items) const;
    size_t get_item_count() const { return m_count; }

private:
    struct Entry {
        GuiNodalItem* item;
        GMathVec2<int> min;
        GMathVec2<int> max;
        size_t order;
    };
    int cell_of(float const& coordinate) const;
    static uint64_t key(int const& cx, int const& cy)
    {
        return (static_cast<uint64_t>(static_cast<uint32_t>(cx)) << 32) | static_cast<uint32_t>(cy);
    }

    int m_cell_size;
    std::unordered_map<uint64_t, std::vector<Entry>> m_cells;
    std::vector<Entry> m_large;
    size_t m_count = 0;
};
