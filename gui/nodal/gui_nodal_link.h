#pragma once
// GuiNodalLink: a connection between two ends of the node graph, each a node or one of its
// plugs. The link is drawn along a cubic curve between the ends' attach points, sampled when
// the link is dirty and kept for drawing and picking. During interactive creation one end
// is free and follows the pointer; during destruction one end is being dragged off its plug.
//
// Links between the same two boxes can be gathered in a bundle (set_brotherhood) and drawn
// as one. A link into a box that shows no plugs (collapsed, or without plugs on display)
// shows only its tail: a short stub leaving its from-end.
#include <memory>
#include <vector>

#include "gui/nodal/gui_nodal_item.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiDc;
class GuiGlBatch;
class GuiNodalNodeBase;
class GuiNodalNodeZoneAnchor;

class QN_GUI_API GuiNodalLink : public GuiNodalItem {
    CORE_DECLARE_CLASS(GuiNodalLink, GuiNodalItem)

public:
    enum LinkState : int {
        LINK_STATE_NORMAL = 0,
        LINK_STATE_CREATION = 1,
        LINK_STATE_DESTRUCTION = 2,
        LINK_STATE_DESTROYED = 3,
        LINK_STATE_CREATION_DND = 4,
    };
    static char const* get_link_state_name(LinkState const& state);

    // The style group (mask 0x7F) and a second group of unnamed bits (mask 0xF80).
    enum LinkShape : unsigned int {
        LINK_SHAPE_PLAIN = 1,
        LINK_SHAPE_DASHED = 2,
        LINK_SHAPE_DOTTED = 4,
        LINK_SHAPE_STRONG = 8,
        LINK_SHAPE_WEAK = 16,
        LINK_SHAPE_FADED = 32,
        LINK_SHAPE_BRIGHT = 64,
    };
    // Of the second group, this bit draws an arrowhead at the to-end (new links have it).
    static constexpr unsigned int LINK_SHAPE_ARROW = 0x200;
    static constexpr unsigned int STYLE_MASK = 0x7F;
    static constexpr unsigned int SECOND_MASK = 0xF80;
    static constexpr unsigned int DEFAULT_SHAPES = 0x201;
    // The name of a single style bit; empty for anything else.
    static char const* get_link_shape_name(unsigned int const& shape);

    // Screen pixels used when picking a link's ends.
    static constexpr int m_plug_pickable_radius = 100;
    static constexpr int m_plug_pickable_from_size = 10;
    static constexpr int m_plug_pickable_to_size = 16;
    static constexpr int m_plug_pickable_to_hsize = 6;
    // The view's "tangent links" option: symmetric tangents (off by default).
    static bool st_symmetric_tangents;

    // A link from `from` to `to`, attached to both.
    GuiNodalLink(GuiNodal& graph, GuiNodalNodeBase& from, GuiNodalNodeBase& to);
    // A dangling link being created from `end` (its from-end, or its to-end when `end_is_to`);
    // the other end follows the pointer. Without an end (logged), both follow it.
    GuiNodalLink(GuiNodal& graph, GuiNodalNodeBase* end, bool end_is_to);
    // Leaves both ends and its bundle.
    ~GuiNodalLink() override;

    void set_is_highlighted(bool const& highlighted) override { m_highlighted = highlighted; }
    bool get_is_highlighted() const override { return m_highlighted; }

    // --- Decoration ---
    // The text drawn at the middle of the curve, and how: `arrow` adds an arrow at the middle
    // pointing to the to-end, `boxed` puts the text on a box of the view's background so
    // that it reads over what lies behind, `on_highlight` shows the text only while the link
    // (or a brother drawn with it) is highlighted. False when the link has nothing to show;
    // a plain link has no text (empty, flags false). Links that carry a label override it.
    virtual bool get_decorated_text(CoreString& text, bool& arrow, bool& boxed, bool& on_highlight) const;

    // --- Ends ---
    GuiNodalNodeBase* get_node_from() const { return m_from; }
    GuiNodalNodeBase* get_node_to() const { return m_to; }
    // Leaves the old end, joins the new one (null leaves the end free) and marks the link dirty.
    void set_node_from(GuiNodalNodeBase* node);
    void set_node_to(GuiNodalNodeBase* node);
    // The ends as drawn: the ends themselves here; views that fold nodes may answer otherwise.
    virtual GuiNodalNodeBase* get_display_node_from() const { return m_from; }
    virtual GuiNodalNodeBase* get_display_node_to() const { return m_to; }
    // The display end with a plug replaced by the box that holds it.
    GuiNodalNodeBase* get_visible_node_from() const;
    GuiNodalNodeBase* get_visible_node_to() const;
    // Called by an end that is destroyed: the end becomes free (it follows the pointer)
    // without the link touching the dying end.
    void forget_end(GuiNodalNodeBase const& end);
    // During a destruction the end that stays, during a creation the end that exists; else null.
    GuiNodalNodeBase* get_dangling_node() const;
    // The to-end's visible box shows no plugs: a node (not a dot) that is collapsed or shows
    // none of its zones' plugs.
    bool has_compact_node_to() const;
    // Only the tail is drawn and picked: the link rests between two attached ends and its
    // to-end box is compact. A link being made or dragged shows where it goes.
    bool is_showing_tail_only() const;
    // An attached end that is a highlighted plug (the to-end first); null when none.
    GuiNodalNodeZoneAnchor* get_highlighted_plug() const;

    // --- Bundle ---
    // Links drawn as one bundle with this one, e.g. several links between the same two
    // boxes. A bundle is shared: each listed link becomes a brother of this one and of each
    // other, after leaving the bundle it was in; an empty list takes this link out of its
    // bundle. Null entries, this link itself, links of another view and repeated links are
    // left out with a warning; a list with nothing else is refused.
    void set_brotherhood(std::vector<GuiNodalLink*> const& brothers);
    // The other links of the bundle, in bundle order; empty outside a bundle.
    std::vector<GuiNodalLink*> get_brotherhood() const;
    // The first highlighted link of the bundle other than this one; null when none.
    GuiNodalLink* get_highlighted_brother() const;

    // --- State ---
    LinkState const& get_state() const { return m_state; }
    void set_state(LinkState const& state);
    // Attaches the free end to `node` and returns to normal.
    void complete_creation(GuiNodalNodeBase& node);
    // Starts dragging the end `node` off its plug.
    void begin_destruction(GuiNodalNodeBase& node);
    // Ends a destruction: with null the link leaves both ends and is destroyed; otherwise the
    // dragged end joins `node`. Nothing outside a destruction.
    void complete_destruction(GuiNodalNodeBase* node);
    // Puts the dragged end back.
    void cancel_destruction();

    // --- Shapes ---
    // Replaces the bits of the group `shapes` belongs to (the style group when it has a
    // style bit) and keeps the other group.
    void set_shape(unsigned int const& shapes);
    void activate_shape(unsigned int const& shapes) { m_shapes |= shapes; }
    void desactivate_shape(unsigned int const& shapes) { m_shapes &= ~shapes; }
    bool get_shape_is_active(unsigned int const& shapes) const { return (m_shapes & shapes) == shapes; }
    unsigned int const& get_shapes() const { return m_shapes; }

    int const& get_order() const { return m_order; }
    void set_order(int const& order) { m_order = order; }
    int const& get_weight() const { return m_weight; }
    void set_weight(int const& weight) { m_weight = weight; }
    // Where a link dragged from another view starts.
    void set_dnd_from(GMathVec2<int> const& point) { m_dnd_from = point; }

    // --- Curve ---
    // The ends' attach points in graph units; a free end is at the view's graph mouse position.
    int get_from_x() const;
    int get_from_y() const;
    int get_to_x() const;
    int get_to_y() const;
    // Samples the curve between the ends; `samples` (> 0) asks for at least that many. A link
    // showing its tail only keeps the curve's first TAIL_PIXELS (screen pixels).
    void compute_curve(int const& samples = 0);
    static constexpr float TAIL_PIXELS = 40.0f;
    // Computes the curve when the link is dirty, or when its to-end box became compact or
    // showed its plugs again.
    void update_content();
    std::vector<GMathVec2<float>> const& get_curve() const { return m_curve; }
    // Whether the sampled curve lies wholly outside the box from `min` to `max` (graph units):
    // the view leaves such links out of its frame.
    bool is_curve_outside(GMathVec2<float> const& min, GMathVec2<float> const& max) const;
    std::vector<GMathVec2<float>> const& get_tangents() const { return m_tangents; }
    // The distance in graph units from a point to the sampled curve (a very large value
    // without a curve).
    float get_distance(GMathVec2<float> const& point) const;

    // --- Drawing ---
    // The curve in the link's colour (its highlight colour while highlighted, or bright),
    // in its style: plain, dashed, dotted, strong (thicker), weak (thinner and fainter),
    // faded (faint); with an arrowhead at its to-end when LINK_SHAPE_ARROW is set. Then its
    // connectors, its decoration and the ring of its highlighted plug.
    //
    // Brothers at rest with the same end points run along the same curve: the first of them
    // in bundle order draws it once for all, a pixel thicker per brother (up to
    // MAX_BUNDLE_PIXELS more), highlighted when any of them is and with the decoration of
    // the highlighted one; the others draw nothing. Drawing them side by side would need
    // offsets that picking does not know of; one thicker line stays where it is picked.
    // Brothers whose ends differ are drawn each on its own.
    void draw(GuiDc& dc);
    static constexpr float MAX_BUNDLE_PIXELS = 4.0f;
    // The curve in its pick colour, `width` pixels wide.
    void draw_select(GuiDc& dc, float const& width = 5.0f);
    // The marks where the link meets its ends: a dot at each attached end it reaches (the
    // from-end only for a tail), in the highlight colour when `highlighted`.
    void draw_connector(GuiDc& dc, bool highlighted);
    // At the middle of the curve: the text of get_decorated_text when `text` (on a box of
    // the view's background when `boxed`), above the curve, and an arrow pointing to the
    // to-end when `arrow`; in the highlight colour when `highlighted`.
    void draw_decorated(GuiDc& dc, bool highlighted, bool text, bool arrow, bool boxed);
    // A ring around the highlighted plug (get_highlighted_plug) unless it is hidden.
    void draw_highlighted_plug(GuiDc& dc);

    // Writes the link's state, shapes, ends, curve and bundle to the log (info level).
    virtual void debug() const;

private:
    // Colours and the pick colour.
    void init();
    // The end is not attached, or is the one being dragged off.
    bool is_free(GuiNodalNodeBase const* end) const;
    GMathVec2<int> get_free_end_point() const;
    void join_from(GuiNodalNodeBase* node);
    void join_to(GuiNodalNodeBase* node);
    // Leaves the bundle; the last link left in it is alone again.
    void leave_bundle();
    // The links of the bundle at rest with the same end points as this one, in bundle order,
    // this one among them; only this one for a link that is not at rest or not bundled.
    std::vector<GuiNodalLink*> get_bundle_along();
    // draw_connector's marks, added to a batch whose matrices are loaded.
    void add_connectors(GuiGlBatch& batch, bool highlighted) const;
    // Keeps the first TAIL_PIXELS of the sampled curve.
    void cut_to_tail();
    // The point halfway along the sampled curve and the curve's direction there.
    void get_middle(GMathVec2<float>& point, GMathVec2<float>& direction) const;
    // The colour, opacity and width (screen pixels) of the link's style.
    Color const& get_line_color(bool highlighted) const;
    unsigned char get_line_alpha() const;
    float get_line_width() const;

    LinkState m_state = LINK_STATE_NORMAL;
    unsigned int m_shapes = DEFAULT_SHAPES;
    GuiNodalNodeBase* m_destruction_node = nullptr;  // the end being dragged off
    GMathVec2<int> m_dnd_from;
    std::vector<GMathVec2<float>> m_curve;
    GMathVec2<float> m_curve_min;
    GMathVec2<float> m_curve_max;
    std::vector<GMathVec2<float>> m_tangents;
    GuiNodalNodeBase* m_from = nullptr;
    GuiNodalNodeBase* m_to = nullptr;
    int m_order = 0;
    int m_weight = 0;
    // Every link of the bundle, this one included, shared by them all; null outside a bundle.
    std::shared_ptr<std::vector<GuiNodalLink*>> m_bundle;
    bool m_highlighted = false;
    bool m_tail_only = false;  // the curve was cut to its tail
};
