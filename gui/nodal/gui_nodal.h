#pragma once
// GuiNodal: the node-graph view, an OpenGL widget that owns the graph's items (nodes with
// their zones and plugs, links, dots, notes, backdrops), draws them and finds the one under
// the pointer. Items keep a reference to their view and ask it for the zoom ratio, the
// colours, the fonts and a unique pick colour each (add_clickable_node).
//
// This class holds what the items need from their view; the interaction (selection,
// moving, connecting) builds on it.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gui/gl/gui_gl_widget.h"
#include "host/gmath/gmath_vec.h"

class GuiNodalItem;

class QN_GUI_API GuiNodal : public GuiGlWidget {
    CORE_DECLARE_CLASS(GuiNodal, GuiGlWidget)

public:
    // `simplify`: below a zoom ratio of 0.75, nodes are drawn in their simplified form.
    // `hide_mode` is kept for the interaction (hidden nodes leave with a fading icon).
    GuiNodal(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify = true,
             bool hide_mode = false);
    ~GuiNodal() override;

    // --- Zoom ---
    // Screen pixels per graph unit: 1 at most, 0.01 at least.
    float const& get_zoom_ratio() const { return m_zoom_ratio; }
    float get_zoom_ratio_r() const { return 1.0f / m_zoom_ratio; }
    // Clamped to [get_min_zoom_ratio, get_max_zoom_ratio]; a value that is not a number is
    // refused with a warning.
    void set_zoom_ratio(float const& ratio);
    static float get_max_zoom_ratio() { return 1.0f; }
    static float get_min_zoom_ratio() { return 0.01f; }
    // 0.75 for a view made with `simplify`, else 0.
    float const& get_zoom_simplification_ratio() const { return m_simplification_ratio; }
    // The zoom is below the simplification ratio: nodes show their simplified form.
    bool is_simplified() const { return m_zoom_ratio < m_simplification_ratio; }
    bool const& is_hide_mode() const { return m_hide_mode; }

    // --- Pointer ---
    // The pointer's position in graph units, where free link ends go.
    GMathVec2<int> const& get_graph_mouse_pos() const { return m_graph_mouse_pos; }
    void set_graph_mouse_pos(GMathVec2<int> const& pos) { m_graph_mouse_pos = pos; }

    // --- Picking ---
    // Gives the item a colour no other item of the view has and remembers the item under it.
    // An item that already has one keeps it.
    void add_clickable_node(GuiNodalItem& item, GMathVec3<unsigned char>& color);
    // Forgets the colour (nothing when no item has it) and frees it for another item.
    void remove_clickable_node(GMathVec3<unsigned char> const& color);
    // The item drawn in that colour; null for the background and unknown colours.
    GuiNodalItem* get_clickable_node(GMathVec3<unsigned char> const& color) const;
    size_t get_clickable_count() const { return m_clickables.size(); }

private:
    static uint32_t to_key(GMathVec3<unsigned char> const& color)
    {
        return (uint32_t(color[0]) << 16) | (uint32_t(color[1]) << 8) | uint32_t(color[2]);
    }

    float m_zoom_ratio = 1.0f;
    float m_simplification_ratio = 0.0f;
    bool m_hide_mode = false;
    GMathVec2<int> m_graph_mouse_pos;
    std::unordered_map<uint32_t, GuiNodalItem*> m_clickables;
    std::vector<uint32_t> m_free_pick_keys;
    uint32_t m_next_pick_key = 1;  // 0, black, is the background
};
