#pragma once
// GuiNodalItem: anything of a node graph that is drawn, picked and highlighted: nodes and
// their zones, links, dots, notes, backdrops. An item belongs to the view that made it
// (get_graph) and is destroyed by it. It keeps a draw state (0 while its content must be
// computed again before the next draw), four background colours with the current one among
// them, and the colour in which the view's picking pass draws it.
#include <cstdint>

#include "gui/core/gui_export.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/gmath/gmath_vec.h"

class GuiNodal;

// Raised by a top-level box of the graph (a node, note, subnet or backdrop) whose position or
// size changed: the backdrops that may hold it must look at it again.
EVENT_DECLARE_ID(QN_GUI_API, EVENT_ID_NODAL_BBOX_CHANGED);

class QN_GUI_API GuiNodalItem : public EventObject {
    CORE_DECLARE_CLASS(GuiNodalItem, EventObject)

public:
    // 0: dirty; any other value: up to date.
    using ItemDrawState = int;
    static constexpr ItemDrawState DRAW_STATE_DIRTY = 0;
    static constexpr ItemDrawState DRAW_STATE_UP_TO_DATE = 1;
    using Color = GMathVec3<unsigned char>;

    explicit GuiNodalItem(GuiNodal& graph);
    // Frees the item's pick colour in its view.
    ~GuiNodalItem() override;
    GuiNodalItem(GuiNodalItem const&) = delete;
    GuiNodalItem& operator=(GuiNodalItem const&) = delete;

    GuiNodal& get_graph() const { return *m_graph; }

    virtual void set_is_highlighted(bool const& highlighted) = 0;
    virtual bool get_is_highlighted() const = 0;
    // Set by the view for an item outside the visible area (and for one not drawn yet).
    virtual void set_is_culled(bool const& culled) { m_culled = culled; }
    bool const& get_is_culled() const { return m_culled; }
    // Dirty also tells the view that its picking index is out of date.
    virtual void set_draw_state(ItemDrawState const& state);
    ItemDrawState const& get_draw_state() const { return m_draw_state; }
    bool get_is_dirty() const { return m_draw_state == DRAW_STATE_DIRTY; }
    // Marks the item (and, for nodes, its ancestors) to be computed again before the next draw.
    void set_dirty() { set_draw_state(DRAW_STATE_DIRTY); }

    // --- Background colours (255, 255, 255 until set) ---
    Color const& get_bg_highlight_color() const { return m_bg_highlight_color; }
    Color const& get_bg_normal_color() const { return m_bg_normal_color; }
    Color const& get_bg_disabled_color() const { return m_bg_disabled_color; }
    Color const& get_bg_selected_color() const { return m_bg_selected_color; }
    void set_bg_highlight_color(Color const& color) { m_bg_highlight_color = color; }
    void set_bg_normal_color(Color const& color) { m_bg_normal_color = color; }
    void set_bg_disabled_color(Color const& color) { m_bg_disabled_color = color; }
    void set_bg_selected_color(Color const& color) { m_bg_selected_color = color; }
    // Which of the four is drawn: one of the item's own colours (another is refused with a
    // warning). The current colour follows later changes of the chosen one.
    void set_bg_color(Color const& own_color);
    Color const& get_bg_color() const { return *m_bg_color; }

    // --- Picking ---
    // Asks the view for a pick colour: the item can then be found under the pointer.
    void set_selectable();
    Color const& get_pick_color() const { return m_pick_color; }

    // --- Walks through the graph ---
    // A walk (numbered by its walker) marks the items it reaches in a direction (0 or 1)
    // instead of keeping a set of them: true when the item was not marked by that walk yet.
    bool mark_walk(int const& direction, uint32_t const& walk)
    {
        if (m_walks[direction] == walk) return false;
        m_walks[direction] = walk;
        return true;
    }
    bool is_walked(int const& direction, uint32_t const& walk) const { return m_walks[direction] == walk; }

private:
    ItemDrawState m_draw_state = DRAW_STATE_DIRTY;
    Color m_bg_highlight_color = Color(255, 255, 255);
    Color m_bg_normal_color = Color(255, 255, 255);
    Color m_bg_disabled_color = Color(255, 255, 255);
    Color m_bg_selected_color = Color(255, 255, 255);
    Color const* m_bg_color = &m_bg_normal_color;
    bool m_culled = true;  // until the view draws it
    GuiNodal* m_graph;
    Color m_pick_color = Color(0, 0, 0);
    uint32_t m_walks[2] = {0, 0};
};
