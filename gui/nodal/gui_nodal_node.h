#pragma once
// GuiNodalNode: a node of the graph: a header band with its title (and an information line)
// above a vertical list of zones, plugs on its sides, drawn as a rounded box.
//
// Layout, in graph units with y upwards, whenever the node is dirty: the header's size comes
// from its lines; the node is as wide as the widest of the header and its zones, and never
// narrower on screen than 100 pixels nor lower than 16 (get_min_width and get_min_height
// divide those by the zoom ratio) nor wider than the view's maximum node width, if any; the
// zones are stacked under the header. The node's own left and right plugs sit at mid-height
// on the sides, the up and bottom plugs at mid-width; links leave from the right side's
// middle and arrive at the left side's. A zone with plugs of its own (a plug row) has them
// on the node's sides at the row's mid-height: left the input, right the output. Below the
// view's simplification ratio the node shows only its box and title.
//
// Zoomed out, a hovered node can grow back to its unzoomed size on screen: the fading states
// animate its scale (manage_fading, an application timer) around its centre.
#include <vector>

#include "gui/nodal/gui_nodal_node_base.h"

class GuiNodalNodeZone;
class GuiNodalNodeZoneButton;
class GuiNodalNodeZoneHeader;

class QN_GUI_API GuiNodalNode : public GuiNodalNodeBase {
    CORE_DECLARE_CLASS(GuiNodalNode, GuiNodalNodeBase)

public:
    // Minimum size in screen pixels.
    static constexpr int MIN_SCREEN_WIDTH = 100;
    static constexpr int MIN_SCREEN_HEIGHT = 16;

    GuiNodalNode(GuiNodal& graph, CoreString const& name, int const& x, int const& y, unsigned int const& anchors);
    // Destroys its header and zones (its plugs go with the base).
    ~GuiNodalNode() override;

    GuiNodalNodeZoneHeader& get_header() const { return *m_header; }
    // The title: the header's first line; the information line is the second.
    void set_name(CoreString const& name);
    CoreString const& get_name() const;
    void set_info(CoreString const& info);
    // The node's background colours, its header's, its plugs' and the border from them.
    void set_color(Color const& color);

    // --- Zones ---
    // Appends a zone made for this node (its parent); a zone of another node is refused with
    // a warning.
    void add_zone(GuiNodalNodeZone& zone);
    // Destroys the zone; nothing when the node does not hold it.
    void remove_zone(GuiNodalNodeZone& zone);
    // Null past the end.
    GuiNodalNodeZone* get_zone(size_t const& index) const;
    // The zones shown in the body: the embedded node's while there is one.
    std::vector<GuiNodalNodeZone*> const& get_zones() const;
    // A zone with an active anchor of its own: a row with an input and/or an output plug.
    static bool is_plug_zone(GuiNodalNodeZone const& zone);

    // Which plugs show: all (0), only those with links (1) or none (2); links to hidden plugs
    // end at the node.
    enum ZoneDisplay : int { ZONE_DISPLAY_ALL = 0, ZONE_DISPLAY_CONNECTED = 1, ZONE_DISPLAY_NONE = 2 };
    void set_zones_display_mode(ZoneDisplay const& mode, bool const& dirty = true);
    ZoneDisplay const& get_zones_display_mode() const { return m_zone_display; }
    // Draws the header at the bottom of the node instead of the top.
    void turn_header_to_footer(bool const& footer);
    // Swaps the sides of the plugs: inputs on the right and outputs on the left (a graph
    // that flows right to left), or back.
    void switch_position();
    bool const& is_position_switched() const { return m_switched; }
    // The header's icon drawn in the middle of the node rather than left of the title.
    void center_icon(bool const& centered);
    bool const& is_icon_centered() const { return m_centered_icon; }

    // --- Buttons of the header, right to left at its right edge ---
    // A button that shows every plug or only the connected ones (display modes 0 and 1).
    void add_plug_button();
    void remove_plug_button();
    bool has_plug_button() const { return m_plug_button != nullptr; }
    GuiNodalNodeZoneButton* get_plug_button() const { return m_plug_button; }
    // How many items refer to the node's own and how many it depends on. A non-zero count
    // shows a button with the count; its click (EVT_ID_NODAL_BUTTON_CLICK) is the
    // application's to answer, typically with a list of them.
    void set_references_count(unsigned int const& count);
    unsigned int const& get_references_count() const { return m_references_count; }
    GuiNodalNodeZoneButton* get_references_button() const { return m_references_button; }
    void set_dependencies_count(unsigned int const& count);
    unsigned int const& get_dependencies_count() const { return m_dependencies_count; }
    GuiNodalNodeZoneButton* get_dependencies_button() const { return m_dependencies_button; }
    // The buttons above that exist, in their order from the right edge.
    std::vector<GuiNodalNodeZoneButton*> get_header_buttons() const;

    // --- Showing another node's content ---
    // This node shows `node`'s zones in its body (a folded group showing what it holds):
    // `node` becomes its child at its own position and is not drawn itself; its rows' plugs
    // show on this node's sides, and links to `node` itself end at this node. Null shows the
    // node's own zones again. A node that is this one, one of its ancestors, of another view
    // or already embedded elsewhere is refused with a warning.
    void set_embedded_node(GuiNodalNode* node);
    GuiNodalNode* get_embedded_node() const { return m_embedded_node; }
    // Shown inside another node.
    bool const& is_embedded() const { return m_embedded; }
    // The node this one is shown in; null when it is not embedded.
    GuiNodalNode* get_embedding_node() const;
    // The box a link end stands for: a plug or zone its node and, `through_embedding`, a
    // node shown inside another that other one.
    static GuiNodalNodeBase* get_owner_node(GuiNodalNodeBase* box, bool const& through_embedding);

    // --- Pass-through ---
    // The plug row whose input goes straight to its output (a bypassed node): a faint band
    // joins its two plugs and links leave the row's output as if the node were not there.
    // Null for none; a zone of another node or without plugs is refused with a warning.
    void set_pass_through(GuiNodalNodeZone* zone);
    GuiNodalNodeZone* get_pass_through() const { return m_pass_through; }

    // The box's corners, selected or not: square by default.
    virtual Roundness get_roundness(bool const& selected) const;
    // Whether boxes may be dropped into this node (folders do); plain nodes refuse.
    virtual bool can_accept_child_node() const { return false; }
    // Places the plugs: the node's own on its sides, the rows' at their mid-height.
    virtual void update_self_plugs(GuiDc& dc);

    int get_min_width() const;
    int get_min_height() const;

    // --- Growing on hover ---
    // Fading is for animatable nodes only (the default).
    bool const& is_animatable() const { return m_animatable; }
    void set_animatable(bool const& animatable) { m_animatable = animatable; }
    // The scale the node is drawn at: its scale, which fading moves.
    float get_animated_scale() const { return get_scale(); }
    // The scale that shows the node at its unzoomed size: max(1 / zoom ratio, 1).
    float get_fade_in_target() const;
    // The pointer came onto the node: it grows once the view's highlight delay has passed.
    void begin_fade_in();
    // The pointer left: the node shrinks back once the pointer has stayed away from its box
    // (widened by 15 % on each side) for the highlight delay.
    void begin_fade_out();
    // One step of the animation at time `now` (milliseconds of the application's clock).
    // Returns whether the node still fades, so the timer runs again.
    bool step_fading(double const& now);
    // The application timer: steps with the application's clock and re-arms itself while
    // the node fades. `data` is the node.
    static void manage_fading(void* data);
    // A fade lasts this long; its steps come every FADE_DURATION / FADE_STEPS ms.
    static constexpr double FADE_DURATION = 100.0;
    static constexpr double FADE_STEPS = 30.0;
    // The period handed to the application when the timer re-arms, in milliseconds.
    static constexpr double FADE_TIMER_PERIOD = 10.0;

    void update_content(GuiDc& dc) override;
    // Shown again with its children, the node lays itself out at its next update, so that
    // rows and plugs its display mode hides hide again.
    void set_is_hidden(bool hidden, bool const& recursive) override;
    int get_width() const override { return m_width; }
    int get_height() const override { return m_height; }
    // The box as drawn: grown around its centre while the node is scaled.
    void get_bbox(GMathVec2<int>& min, GMathVec2<int>& max) const override;
    GMathVec2<int> get_unzoomed_offset() const override;
    void get_zoomed_offset(GMathVec2<float>& offset) const override;
    void draw(GuiDc& dc) override;
    void draw_select(GuiDc& dc) override;
    // The node as the minimap shows it: its box in its colour.
    virtual void draw_mini(GuiDc& dc);
    // The node, or the plug, zone or button of it at the graph point; null elsewhere.
    GuiNodalItem* pick(GMathVec2<float> const& point);

protected:
    // The drawing of draw and draw_mini, at the node's animated scale (the caller set it).
    virtual void _draw(GuiDc& dc);
    virtual void _draw_mini(GuiDc& dc);

private:
    void compute_size();
    void place_header_buttons();
    GuiNodalNodeZoneButton* make_count_button();
    void set_count(unsigned int& count, GuiNodalNodeZoneButton*& button, unsigned int const& value);
    void on_plug_button(GuiNodalNodeZoneButton& button, EventInfo const& info, void* data);
    bool is_plug_shown(GuiNodalNodeBase const& plug) const;
    void set_display_expanded(bool const& expanded);
    void restart_fading_clock(double const& now);

    GuiNodalNodeZoneHeader* m_header = nullptr;
    std::vector<GuiNodalNodeZone*> m_zones;
    int m_width = 0;
    int m_height = 0;
    ZoneDisplay m_zone_display = ZONE_DISPLAY_ALL;
    bool m_switched = false;
    bool m_centered_icon = false;
    GuiNodalNodeZoneButton* m_plug_button = nullptr;
    GuiNodalNodeZoneButton* m_references_button = nullptr;
    GuiNodalNodeZoneButton* m_dependencies_button = nullptr;
    unsigned int m_references_count = 0;
    unsigned int m_dependencies_count = 0;
    GuiNodalNode* m_embedded_node = nullptr;
    bool m_embedded = false;
    GuiNodalNodeZone* m_pass_through = nullptr;
    bool m_animatable = true;
    unsigned int m_fade_timer = 0;  // the application timer stepping the fading, or 0
    // Fading: when the current phase began and the scale it began from.
    double m_fade_start = -1.0;
    float m_fade_from = 1.0f;
    // Plugs shown all while grown for a link being connected.
    bool m_expanded = false;
};
