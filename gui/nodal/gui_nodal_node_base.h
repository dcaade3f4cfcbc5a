#pragma once
// GuiNodalNodeBase: a box of the node graph with a position, a size, a parent, children,
// the links attached to it, a set of states and up to four anchors (the sides where links
// attach). Nodes, their zones and plugs, dots, notes and backdrops derive from it.
//
// Positions are integers in graph units, y upwards: the world position is the top-left
// corner, the local position is relative to the parent's world position (graph coordinates
// for a top-level box). Marking a box dirty marks its ancestors too, so that a change in a
// plug makes its node compute its size again before the next draw.
#include <vector>

#include "gui/core/gui_widget.h"
#include "gui/nodal/gui_nodal_item.h"
#include "host/gmath/gmath_vec.h"

class GuiDc;
class GuiNodalLink;
class GuiNodalNodeZoneAnchor;

class QN_GUI_API GuiNodalNodeBase : public GuiNodalItem {
    CORE_DECLARE_CLASS(GuiNodalNodeBase, GuiNodalItem)

public:
    enum NodeState : unsigned int {
        NODE_STATE_SELECTED = 1,
        NODE_STATE_HIGHLIGHTED = 2,
        NODE_STATE_DISABLED = 4,
        NODE_STATE_FADING_IN = 8,
        NODE_STATE_FADING_IN_DELAYED = 16,
        NODE_STATE_FADING_OUT = 32,
        NODE_STATE_FADING_OUT_DELAYED = 64,
        NODE_STATE_SIMPLIFIED = 128,
        NODE_STATE_HIDDEN = 256,
        NODE_STATE_PRESELECTED = 512,
        NODE_STATE_MOVING = 1024,
        NODE_STATE_COLLAPSED = 2048,
        NODE_STATE_GHOST = 4096,
        NODE_STATE_GUEST_IN = 8192,
    };
    // The name of a single state bit; empty for anything else.
    static char const* get_node_state_name(unsigned int const& state);

    enum NodeAnchor : unsigned int {
        NODE_ANCHOR_NONE = 0,
        NODE_ANCHOR_LEFT = 1,
        NODE_ANCHOR_RIGHT = 2,
        NODE_ANCHOR_SIDES = 3,
        NODE_ANCHOR_UP = 4,
        NODE_ANCHOR_BOTTOM = 8,
        NODE_ANCHOR_ALL = 15,
    };
    // "NODE_ANCHOR_LEFT", ...; empty for the bottom anchor and for combinations other than
    // both sides and all.
    static char const* get_node_anchor_name(unsigned int const& anchor);
    static constexpr int ANCHOR_COUNT = 4;

    // Opacity out of 255 of ghost nodes and of pass-through zones.
    static constexpr int m_ghost_alpha = 96;
    static constexpr int m_passthrough_alpha = 24;

    // Activates the anchors of `anchors` in the order left, right, up, bottom, under `parent`
    // (null for a top-level box), at local position (x, y).
    GuiNodalNodeBase(GuiNodalNodeBase* parent, GuiNodal& graph, int const& x, int const& y,
                     unsigned int const& anchors);
    ~GuiNodalNodeBase() override;

    // --- Item ---
    void set_is_highlighted(bool const& highlighted) override;
    bool get_is_highlighted() const override;
    // Dirty marks every ancestor dirty too.
    void set_draw_state(ItemDrawState const& state) override;

    // --- Drawing and size, made by each kind of box ---
    virtual void draw(GuiDc& dc) = 0;
    virtual void draw_select(GuiDc& dc) = 0;
    virtual void draw_select_with_mmb(GuiDc&) {}
    // Computes the box's size and layout from its content (only while it is dirty).
    virtual void update_content(GuiDc& dc) = 0;
    virtual int get_width() const = 0;
    virtual int get_height() const = 0;
    virtual void draw_outline(int) {}

    // --- Tree ---
    GuiNodalNodeBase* get_parent() const { return m_parent; }
    // `ancestor` is somewhere up the parent chain.
    bool is_child_of(GuiNodalNodeBase const& ancestor) const;
    std::vector<GuiNodalNodeBase*> const& get_children() const { return m_children; }
    // Adds a child (once) and makes this box its parent.
    virtual void add_child(GuiNodalNodeBase& child);
    // Removes a child; the child keeps no parent.
    virtual void remove_child(GuiNodalNodeBase& child);

    // --- Links attached to this box ---
    void add_link(GuiNodalLink& link);
    // Removes the link by moving the last one into its place (the order is not kept).
    void remove_link(GuiNodalLink& link);
    // Null past the end.
    GuiNodalLink* get_link(size_t const& index) const { return index < m_links.size() ? m_links[index] : nullptr; }
    size_t get_links_count() const { return m_links.size(); }
    // Empties the list; the links keep their ends.
    void remove_links() { m_links.clear(); }
    // Adds to `links` (once each) the links attached to this box or to a box below it (its
    // plugs): all of them, those leaving from them, or those arriving at them.
    void get_connexity(std::vector<GuiNodalLink*>& links) const;
    void get_connexity_from(std::vector<GuiNodalLink*>& links) const;
    void get_connexity_to(std::vector<GuiNodalLink*>& links) const;

    // --- States ---
    unsigned int const& get_states() const { return m_states; }
    void activate_state(unsigned int const& states) { m_states |= states; }
    void desactivate_state(unsigned int const& states) { m_states &= ~states; }
    // Every bit of `states` is set.
    bool get_state_is_active(unsigned int const& states) const { return (m_states & states) == states; }
    bool get_is_selected() const { return m_states & NODE_STATE_SELECTED; }
    bool get_is_disabled() const { return m_states & NODE_STATE_DISABLED; }
    bool get_is_hidden() const { return m_states & NODE_STATE_HIDDEN; }
    bool get_is_preselected() const { return m_states & NODE_STATE_PRESELECTED; }
    bool get_is_ghost() const { return m_states & NODE_STATE_GHOST; }
    bool is_collapsed() const { return m_states & NODE_STATE_COLLAPSED; }
    void set_collapsed(bool const& collapsed);
    bool is_guest_input() const { return m_states & NODE_STATE_GUEST_IN; }
    void set_guest_input(bool const& guest);
    bool get_is_fading() const;
    bool get_is_fading_in() const;
    bool get_is_fading_out() const { return m_states & NODE_STATE_FADING_OUT; }
    virtual void set_selected(bool selected);
    virtual void set_is_preselected(bool const& preselected);
    virtual void set_disabled(bool disabled);
    // Ghost boxes are drawn at m_ghost_alpha; the anchors follow.
    virtual void set_ghost(bool ghost);
    // Hides or shows the box and its anchors (right, bottom, left, up), and with `recursive`
    // every child.
    virtual void set_is_hidden(bool hidden, bool const& recursive);

    // --- Look ---
    int const& get_border_size() const { return m_border_size; }
    void set_border_size(int const& size) { m_border_size = size; }
    // The fixed disabled border colour while the box is disabled.
    Color const& get_border_color() const;
    void set_border_color(Color const& color) { m_border_color = color; }
    Color const& get_text_color() const { return *m_text_color; }
    void set_text_colors(Color const& normal, Color const& selected, Color const& disabled, Color const& highlight);
    bool const& is_propagating_highlight() const { return m_propagate_highlight; }
    void set_propagate_highlight(bool const& propagate) { m_propagate_highlight = propagate; }
    // The colour of a box's border from its fill (components 0..1): a dark fill (value at
    // most 0.5, without `force_darken`) gets a lighter border, its saturation times `factor`
    // and its value times factor + 1 (at most 1); any other gets its value times `factor`.
    static Color compute_border_color(GMathVec3<float> const& color, bool const& force_darken, float const& factor);
    // The fixed border colour of disabled boxes.
    static Color const& get_disabled_border_color();
    // The colour the box's outline is drawn in: the scheme's selection colour while
    // selected, its border lightened while the pointer is over it, else its border.
    Color get_outline_color() const;

    // --- Geometry ---
    float const& get_scale() const { return m_scale; }
    virtual void set_scale(float const& scale);
    bool const& is_screen_size() const { return m_screen_size; }
    void set_screen_size(bool const& screen_size) { m_screen_size = screen_size; }
    int const& get_computed_width() const { return m_computed_width; }
    int const& get_computed_height() const { return m_computed_height; }
    // Raises EVENT_ID_NODAL_BBOX_CHANGED when the size changes.
    void set_computed_size(int const& width, int const& height);
    GMathVec2<int> const& get_local_pos() const { return m_local_pos; }
    void set_local_x(int const& x);
    void set_local_y(int const& y);
    // A top-level box raises EVENT_ID_NODAL_BBOX_CHANGED when it moves.
    void set_local_pos(GMathVec2<int> const& pos);
    // The world position, computed again when the box or an ancestor moved.
    GMathVec2<int> const& get_world_pos() const;
    void compute_world_pos() const;
    bool const& is_world_pos_dirty() const { return m_world_pos_dirty; }
    // Marks the world positions of the box and its children to be computed again, and the
    // links attached to them to be sampled again.
    void set_world_pos_dirty();
    virtual GMathVec2<int> get_position() const { return get_world_pos(); }
    virtual void set_position(GMathVec2<int> const& pos);
    // The centre: (x + width / 2, y − height / 2), y upwards.
    virtual GMathVec2<int> get_center() const;
    virtual void set_center(GMathVec2<int> const& center);
    // The box in graph units: min is the bottom-left corner, max the top-right.
    virtual void get_bbox(GMathVec2<int>& min, GMathVec2<int>& max) const;
    // Whether the graph point lies in the w × h box whose top-left corner is `pos` (edges
    // included; y upwards).
    static bool box_holds(GMathVec2<int> const& pos, int const& w, int const& h, GMathVec2<float> const& point)
    {
        return point[0] >= pos[0] && point[0] <= pos[0] + w && point[1] <= pos[1] && point[1] >= pos[1] - h;
    }
    // The centre as drawn, on the screen's axis (y downwards): the box's half sizes are
    // divided by the scale, so a grown box keeps its centre where the layout has it.
    virtual GMathVec2<int> get_displayed_center() const;
    // Where the box's top-left corner is drawn, from its world position: nothing at scale 1;
    // a box grown around its centre starts further up and to the left.
    virtual GMathVec2<int> get_unzoomed_offset() const { return GMathVec2<int>(0, 0); }
    virtual void get_zoomed_offset(GMathVec2<float>& offset) const { offset = GMathVec2<float>(0.0f, 0.0f); }
    virtual void move(int const& dx, int const& dy);
    virtual void move_to(int const& x, int const& y);
    // Where links attach: the world position plus the link offset times the scale.
    virtual int get_in_link_x() const;
    virtual int get_in_link_y() const;
    virtual int get_out_link_x() const;
    virtual int get_out_link_y() const;
    GMathVec2<int> const& get_delta_in_link() const { return m_delta_in_link; }
    GMathVec2<int> const& get_delta_out_link() const { return m_delta_out_link; }
    void set_delta_in_link(GMathVec2<int> const& delta) { m_delta_in_link = delta; }
    void set_delta_out_link(GMathVec2<int> const& delta) { m_delta_out_link = delta; }

    // --- Drawing helpers, added to the context's batch (graph units, y upwards) ---
    // Corners: square, rounded by the border size, by twice it, or by half the short side.
    enum Roundness : int { ROUNDNESS_SQUARE = 0, ROUNDNESS_SMALL = 1, ROUNDNESS_LARGE = 2, ROUNDNESS_FULL = 3 };
    float get_corner_radius(Roundness const& roundness, float const& w, float const& h) const;
    // The w × h box whose bottom-left corner is (x, y), filled or outlined.
    void draw_round_rect(GuiDc& dc, Roundness const& roundness, float const& x, float const& y, float const& w,
                         float const& h, bool const& filled) const;
    // A band `thickness` wide inside the box's edge.
    void draw_thick_frame(GuiDc& dc, float const& x, float const& y, float const& w, float const& h,
                          float const& thickness, Roundness const& roundness) const;
    // A ring between radii r1 and r2 around the box's centre.
    void draw_thick_ring(GuiDc& dc, float const& r1, float const& r2) const;
    // The colour lighter (or darker), by a little or, when `strong`, by more: the looks of a
    // hovered or pressed part.
    static Color adjust_color(Color const& color, bool const& lighten, bool const& strong);

    // --- Depth ---
    unsigned int const& get_depth() const { return m_depth; }
    // Stores the depth and returns the next free one (depth + 1).
    virtual unsigned int set_depth(unsigned int depth);
    virtual float get_custom_depth() const { return static_cast<float>(m_depth); }

    // --- Anchors ---
    unsigned int const& get_active_anchors() const { return m_active_anchors; }
    // Makes the anchor of a single bit (left, right, up or bottom) unless it is active;
    // combined or unknown values make nothing.
    void activate_anchor(unsigned int const& anchor);
    // Destroys the anchor of each active bit of `anchors`.
    void desactivate_anchor(unsigned int const& anchors);
    // The anchor of a single bit; null for combined values and inactive anchors.
    GuiNodalNodeZoneAnchor* get_anchor(NodeAnchor const& anchor) const;
    // The anchors in the order left, right, up, bottom; null past them.
    GuiNodalNodeZoneAnchor* get_anchor(int const& index) const;
    void set_anchors_color(Color const& color);
    void set_anchor_disabled(bool const& disabled);

    // --- Links ---
    virtual bool can_begin_link_creation() { return true; }
    virtual bool can_begin_link_destruction(GuiNodalLink const&) { return true; }

protected:
    // Sets `field` (a width or height) to `size` and marks the box dirty, when `size` is at
    // least `least`; otherwise logs "<operation>: <size> is not a size; it stays <field>" and
    // changes nothing. Returns whether it was set.
    bool set_size_field(char const* operation, int& field, int const& size, int const& least = 1);
    // Draws the box's own rectangle in its pick colour.
    void draw_pick_box(GuiDc& dc) const;
    // Fills the box's own rectangle with the colour: its form on a minimap.
    void draw_mini_box(GuiDc& dc, Color const& fill, unsigned char const& alpha = 255) const;
    // Tells the view, through EVENT_ID_NODAL_BBOX_CHANGED, that a top-level box moved or
    // changed size.
    void notify_bbox_changed();

private:
    static int get_anchor_slot(unsigned int const& anchor);

    GuiNodalNodeBase* m_parent = nullptr;
    std::vector<GuiNodalNodeBase*> m_children;
    std::vector<GuiNodalLink*> m_links;
    unsigned int m_states = 0;
    int m_border_size = 5;
    Color m_border_color = Color(10, 10, 10);
    float m_scale = 1.0f;
    bool m_screen_size = false;
    int m_computed_width = 0;
    int m_computed_height = 0;
    GMathVec2<int> m_local_pos;
    mutable GMathVec2<int> m_world_pos;
    mutable bool m_world_pos_dirty = true;
    unsigned int m_depth = 0;
    GMathVec2<int> m_delta_out_link;
    GMathVec2<int> m_delta_in_link;
    unsigned int m_active_anchors = 0;
    GuiNodalNodeZoneAnchor* m_anchors[ANCHOR_COUNT] = {nullptr, nullptr, nullptr, nullptr};
    Color m_text_normal_color = Color(220, 220, 220);
    Color m_text_selected_color = Color(255, 255, 255);
    Color m_text_disabled_color = Color(120, 120, 120);
    Color m_text_highlight_color = Color(255, 255, 255);
    Color const* m_text_color = &m_text_normal_color;
    bool m_propagate_highlight = false;
};
