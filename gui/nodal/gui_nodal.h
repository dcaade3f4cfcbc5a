#pragma once
// GuiNodal: the node-graph view, an OpenGL widget that owns the graph's items (nodes with
// their zones and plugs, links, dots, notes, backdrops), draws them and finds the one under
// the pointer. Items keep a reference to their view and ask it for the zoom ratio, the
// colours, the fonts and a unique pick colour each (add_clickable_node).
//
// It is also the editor: selection, moving, navigation, the minimap, actions and the context
// menu, with link editing through its GuiNodalLinkEditor and undo through the host's command
// history. Applications derive from it and answer its hooks. Graph units have y upwards.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gui/gl/gui_gl_widget.h"
#include "gui/nodal/gui_nodal_spatial_index.h"
#include "gui/nodal/gui_nodal_subnet_scope.h"
#include "host/event/event_id.h"
#include "host/gmath/gmath_vec.h"

// Raised by the view: its selection changed; boxes were moved by the user (once, at the end
// of the move); its position or zoom changed.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_SELECTION_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_NODES_MOVED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_VIEW_CHANGED);
// Raised on the view when it enters a subnet or leaves one.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_NODAL_SUBNET_SCOPE_CHANGED);

class GuiAction;
class GuiFont;
class GuiGlWidgetDc;
class GuiImage;
class GuiMenu;
class GuiNodalBackdrop;
class GuiNodalBookmark;
class GuiNodalBookmarkPreference;
struct GuiNodalBookmarkData;
class GuiNodalDot;
class GuiNodalItem;
class GuiNodalLink;
class GuiNodalLinkEditor;
class GuiNodalNode;
class GuiNodalNodeBase;
class GuiNodalNodeZoneAnchor;
class GuiNodalNote;
class GuiNodalSubnet;
class GuiNodalDndData;
class OfCommandManager;
struct GuiNodalEndRef;
class GridOptions;
class GuiInputDialog;

class QN_GUI_API GuiNodal : public GuiGlWidget {
    CORE_DECLARE_CLASS(GuiNodal, GuiGlWidget)

public:
    // `simplify`: below a zoom ratio of 0.75, nodes are drawn in their simplified form.
    // `hide_mode`: the view hides the selection ("hide") instead of grouping it in backdrops
    // and subnets, and hidden nodes leave a fading mark.
    GuiNodal(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify = true,
             bool hide_mode = false);
    // Destroys the links being drawn, its links, then its boxes.
    ~GuiNodal() override;

    // --- Items ---
    // Takes the node, made for this view; null (logged) for a node of another view.
    GuiNodalNode* add_node(GuiNodalNode* node);
    size_t get_node_count() const { return m_nodes.size(); }
    // Null past the end.
    GuiNodalNode* get_node(size_t const& index) const;
    // Destroys the node and every link attached to it or to its plugs.
    void remove_node(GuiNodalNode& node);
    // A link from `from` to `to`, each a node of this view or one of its plugs; null (logged)
    // when an end belongs to another view.
    GuiNodalLink* create_link(GuiNodalNodeBase& from, GuiNodalNodeBase& to);
    std::vector<GuiNodalLink*> const& get_links() const { return m_links; }
    void remove_link(GuiNodalLink& link);
    // A dot of `diameter` graph units with the plugs of `anchors`, centred on the origin
    // (move_to places it); it is a node of the view.
    GuiNodalDot* instantiate_dot(unsigned int const& anchors, int const& diameter);
    // Destroys the dot and its links.
    void remove_dot(GuiNodalDot& dot);
    // A backdrop of the view at (x, y), its top-left corner.
    GuiNodalBackdrop* instantiate_backdrop(CoreString const& title, int const& x, int const& y);
    std::vector<GuiNodalBackdrop*> const& get_backdrops() const { return m_backdrops; }
    // Destroys the backdrop; its content stays, in the backdrop that held the backdrop.
    void remove_backdrop(GuiNodalBackdrop& backdrop);
    // A note of the view at (x, y), its top-left corner.
    GuiNodalNote* instantiate_note(CoreString const& text, int const& x, int const& y);
    std::vector<GuiNodalNote*> const& get_notes() const { return m_notes; }
    void remove_note(GuiNodalNote& note);
    // A subnet of the view at (x, y), its top-left corner, fitted to its title.
    GuiNodalSubnet* instantiate_subnet(CoreString const& title, int const& x, int const& y);
    std::vector<GuiNodalSubnet*> const& get_subnets() const { return m_subnets; }
    // Destroys the subnet; its members come back where they were.
    void remove_subnet(GuiNodalSubnet& subnet);
    // Removes the subnet in the view's next pass (from the subnet's own button).
    void request_subnet_removal(GuiNodalSubnet& subnet);
    // Shows the subnet's members alone, with ports for the boxes outside that link to them,
    // and frames them (see GuiNodalSubnetScope); false, with a warning, for a subnet that is
    // not shown in the view. Actions "enter subnet" (I, on the selected or hovered subnet) and
    // "leave subnet" (U).
    bool enter_subnet(GuiNodalSubnet& subnet);
    // Back to the view entering left, the members in the subnet again; false outside.
    bool leave_subnet();
    GuiNodalSubnetScope const& get_subnet_scope() const { return *m_subnet_scope; }
    // Carries out the removals and the backdrop updates requested.
    void widget_update() override;

    // --- Backdrop content, kept up to date in the view's next pass ---
    // Records that a box moved or changed size (its backdrops must look at it again); a
    // backdrop or no box asks for every backdrop to be updated.
    void request_backdrop_update(GuiNodalNodeBase* box);
    bool has_backdrop_update_request() const { return m_backdrop_update_pending; }
    // Carries out the pending request: the backdrops that fit their content fit it again,
    // then the boxes recorded (or every box) go to the innermost backdrop holding them.
    void complete_backdrop_update_request();
    void update_backdrops(std::vector<GuiNodalNodeBase*> const& boxes);
    void update_all_backdrops();

    // --- View ---
    // The graph zone is the widget less a border of VIEWPORT_OFFSET pixels on each side.
    // The view position is the graph point at the zone's bottom-left corner and the zoom
    // factor the zone's height in graph units, so the zoom ratio (pixels per graph unit) is
    // the zone's height over the zoom factor. Graph y grows upwards: the zone's top edge
    // shows view y + zoom factor. A new view shows graph (0, 0) at its top-left, at ratio 1.
    static constexpr int VIEWPORT_OFFSET = 2;
    int get_viewport_offset() const { return VIEWPORT_OFFSET; }
    int get_graph_zone_width() const;
    int get_graph_zone_height() const;
    GMathVec2<float> const& get_view_pos() const { return m_view_pos; }
    // A position that is not a number is refused with a warning.
    void set_view_pos(GMathVec2<float> const& pos);
    int const& get_zoom_factor() const { return m_zoom_factor; }
    // Kept within the zoom ratio's limits; below 1 it is refused with a warning.
    void set_zoom_factor(int const& factor);
    // The graph shown: (min x, min y, max x, max y).
    GMathVec4<int> const& get_view_area() const { return m_view_area; }
    // The graph point under a widget pixel (x right, y down from the widget's top-left),
    // rounded half away from zero; to_graph gives it unrounded.
    GMathVec2<int> compute_graph_coords(GMathVec2<int> const& pixel) const;
    GMathVec2<float> to_graph(int const& x, int const& y) const;
    // The widget pixel showing a graph point, rounded half away from zero.
    GMathVec2<int> world_to_screen(GMathVec2<float> const& point) const;
    // Strictly inside: left < x < right and bottom < y < top.
    static bool is_inside(int const& x, int const& y, int const& left, int const& right, int const& top,
                          int const& bottom);
    // Zooms to `ratio` (kept within its limits) keeping the graph point under the widget
    // pixel where it is.
    void zoom_at(GMathVec2<int> const& pixel, float const& ratio);
    // "Zoom: 37%" below the maximum ratio (the place between the limits), else "Zoom: 1.00 x".
    CoreString get_zoom_text() const;
    // Sets the viewport to the graph zone and the projection to the view area.
    void set_graph_matrices();
    // Keeps the zoom ratio and the graph point at the zone's top-left corner.
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    // Clears to the view's background, then draws the backdrops (each under the ones it
    // holds), the notes, the links, the nodes and subnets over them, and the zoom text.
    void draw(GuiDc& dc) override;
    // For a derived view: drawing under the items and over them (before the zoom text), in
    // graph units, inside the context's batch.
    virtual void draw_first(GuiDc&) {}
    virtual void draw_last(GuiDc&) {}

    // --- Zoom ---
    // Screen pixels per graph unit: 1 at most, 0.01 at least.
    float const& get_zoom_ratio() const { return m_zoom_ratio; }
    float get_zoom_ratio_r() const { return 1.0f / m_zoom_ratio; }
    // The zoom factor nearest to the ratio, kept within the limits; a value that is not a
    // number is refused with a warning.
    void set_zoom_ratio(float const& ratio);
    static float get_max_zoom_ratio() { return 1.0f; }
    static float get_min_zoom_ratio() { return 0.01f; }
    // 0.75 for a view made with `simplify`, else 0.
    float const& get_zoom_simplification_ratio() const { return m_simplification_ratio; }
    // The zoom is below the simplification ratio: nodes show their simplified form.
    bool is_simplified() const { return m_simplified_layout || m_zoom_ratio < m_simplification_ratio; }
    // Nodes in their simplified form at every zoom (menu "Display Mode").
    bool const& is_simplified_layout() const { return m_simplified_layout; }
    void set_simplified_layout(bool const& simplified);
    bool const& is_hide_mode() const { return m_hide_mode; }
    // The widest a node may grow, in graph units; 0 for no limit. Titles and zones are cut
    // with "..." to fit.
    unsigned int const& get_max_node_width() const { return m_max_node_width; }
    void set_max_node_width(unsigned int const& width);
    // Off: nodes keep their whole width whatever the maximum (on by default).
    bool const& is_node_cropping() const { return m_node_cropping; }
    void set_node_cropping(bool const& cropping);
    // The width limit in force: the maximum while cropping, else 0.
    unsigned int get_effective_max_node_width() const { return m_node_cropping ? m_max_node_width : 0; }
    // The plug display (a GuiNodalNode::ZoneDisplay) nodes get when they join the view;
    // always 2 (plugs hidden) while the omnidirectional layout is on.
    unsigned short const& get_default_display_mode() const { return m_default_display_mode; }
    void set_default_display_mode(unsigned short const& mode);
    // Links may leave and enter nodes on any side; only views whose application lays them out
    // so (is_omnidirectional_layout_supported) accept it.
    virtual bool is_omnidirectional_layout_supported() const { return false; }
    bool const& is_omnidirectional_layout() const { return m_omnidirectional; }
    void set_omnidirectional_layout(bool const& omnidirectional);

    // --- State of the interaction ---
    enum GraphState : int {
        GRAPH_STATE_IDLE = 0,
        GRAPH_STATE_LINK_CREATION = 1,
        GRAPH_STATE_LINK_DESTRUCTION = 2,
        GRAPH_STATE_LINK_WAITING = 3,
        GRAPH_STATE_LINK_CANCEL = 4,
        GRAPH_STATE_NODE_MOVE = 5,
        GRAPH_STATE_NODE_DRAGGING = 6,
        GRAPH_STATE_GRAPH_PAN = 7,
        GRAPH_STATE_MULTISELECTION_SQUARE = 8,
        GRAPH_STATE_KNIFE = 9,
        GRAPH_STATE_NODE_RESIZE = 10,
        GRAPH_STATE_MINIMAP_DRAG = 11,
    };
    // "GRAPH_STATE_IDLE", ...; empty for other values.
    static char const* get_graph_state_name(int const& state);
    GraphState const& get_state() const { return m_state; }
    void set_state(GraphState const& state) { m_state = state; }

    // --- Selection ---
    // The selected boxes (nodes, dots, notes, subnets, backdrops), in the order selected.
    std::vector<GuiNodalNodeBase*> const& get_selection() const { return m_selection; }
    // Each change raises EVT_ID_NODAL_SELECTION_CHANGED and calls selection_changed.
    void set_selection(std::vector<GuiNodalNodeBase*> const& boxes);
    void add_to_selection(GuiNodalNodeBase& box);
    void remove_from_selection(GuiNodalNodeBase& box);
    void toggle_selection(GuiNodalNodeBase& box);
    virtual void clear_selection();
    virtual void selection_changed() {}
    // The selection's box and the whole graph's, in graph units; an empty one is
    // (2000000, 2000000) to (-2000000, -2000000).
    void get_selection_bounding(GMathVec2<int>& min, GMathVec2<int>& max) const;
    void get_graph_bounding(GMathVec2<int>& min, GMathVec2<int>& max) const;
    static constexpr int EMPTY_BOUND = 2000000;
    // The shown top-level boxes lying wholly in the rectangle (min x, min y, max x, max y).
    void get_items_in_zone(GMathVec4<int> const& rect, std::vector<GuiNodalNodeBase*>& boxes) const;
    // While a rubber band is dragged: the boxes in it are preselected, the others not.
    void manage_preview_rectangle_selection(GMathVec4<int> const& rect);
    // On release: the boxes in it become the selection, are added to it, or are toggled.
    void manage_rectangle_selection(GMathVec4<int> const& rect, bool const& add, bool const& toggle);
    // Extends the selection through the links upstream, downstream or both, as far as they go.
    void select_neighbours(bool const& upstream, bool const& downstream);

    // --- Grid, snapping and magnet ---
    bool const& is_grid_snapping() const { return m_grid_snapping; }
    void set_grid_snapping(bool const& snapping) { m_grid_snapping = snapping; }
    bool const& is_grid_displayed() const { return m_grid_displayed; }
    void set_grid_displayed(bool const& displayed);
    int const& get_grid_size() const { return m_grid_size; }
    // Below 1 it is refused with a warning.
    void set_grid_size(int const& size);
    // Each coordinate to the nearest multiple of the grid size (halves away from zero).
    GMathVec2<int> snap_coord(GMathVec2<int> const& point) const;
    bool const& is_magnet() const { return m_magnet; }
    void set_magnet(bool const& magnet) { m_magnet = magnet; }
    // Pulls a moved box's corner onto the left or right edge and the top or bottom edge of
    // a box that is not moving, when within 10 screen pixels of it.
    GMathVec2<int> magnet_coord(GuiNodalNodeBase const& box, GMathVec2<int> const& corner) const;

    // --- Moving the selection ---
    // Remembers where the selection's top-level boxes are; the moves that follow are from
    // there. Nothing when the application refuses (can_move_selection).
    void start_move_selection(GMathVec2<int> const& graph_point);
    // Moves the selection to follow the pointer at `graph_point`, snapped or pulled by the
    // magnet from the first box's place when those are on.
    void move_selection(GMathVec2<int> const& graph_point);
    // Ends the move: the application's hooks get the moved boxes, and
    // EVT_ID_NODAL_NODES_MOVED is raised when anything moved.
    void stop_move_selection(bool const& moved);
    // Puts every moved box back.
    void cancel_move_selection();
    // Stretching: the boxes linked to the moved ones follow them part of the way, half as
    // far at each link away, up to STRETCH_DEPTH links.
    bool const& is_stretch_mode() const { return m_stretch; }
    void set_stretch_mode(bool const& stretch) { m_stretch = stretch; }
    static constexpr int STRETCH_DEPTH = 3;
    // The boxes of the move under way and the share of the pointer's movement each follows
    // (1 for the selection).
    std::vector<std::pair<GuiNodalNodeBase*, double>> get_moving_boxes() const;
    bool is_moving_selection() const { return !m_move_starts.empty(); }
    // For a derived view: whether the selection may move, and the boxes once moved.
    virtual bool can_move_selection() { return true; }
    virtual void apply_nodes_positions(std::vector<GuiNodalNodeBase*> const&) {}
    // --- Links dragged out of the view ---
    // The data a link drag leaving the view carries from `node`; null in this class (a view
    // whose application drags links out makes it, and starts the drag in try_initiate_dnd_link).
    virtual GuiNodalDndData* feed_dnd_link_data(GuiNodalNodeBase*) { return nullptr; }
    virtual bool try_initiate_dnd_link() { return false; }
    // Connects dropped link data to the box at `point` (graph units): an upstream plug to the
    // box's input side, downstream plugs from its output side. False, with a warning, for data
    // of another view (or without plugs), and without a box with that side at the point.
    virtual bool drop_dnd_link_data(GuiNodalDndData const& data, GMathVec2<float> const& point);

    // Lays the top-level nodes and subnets among `boxes` out in columns that follow their
    // links, ordered within each column to uncross them, from their lower-left extent, in one
    // undo step (the "layout" action, L, does it
    // for the selection or, without one, every node).
    void layout_nodes(std::vector<GuiNodalNodeBase*> const& boxes);
    // The boxes an automatic layout moved (GuiNodalLayouter): the picking index and the
    // drawing follow, and unless `silent` EVT_ID_NODAL_NODES_MOVED is raised.
    virtual void apply_layout(std::vector<GuiNodalNodeBase*> const& nodes, bool const& silent);
    virtual void end_move_selection(std::vector<GuiNodalNodeBase*> const&, bool) {}

    // --- Fitting ---
    // The view position and zoom ratio that show `area` (min x, min y, max x, max y) with a
    // margin of 5 % of its size on each side, the ratio within its limits.
    void compute_fitting(GMathVec4<int> const& area, GMathVec2<float>& pos, float& ratio) const;
    // Fits the selection (or the whole graph); an empty graph brings the first view back.
    // Animated with smooth transitions.
    void manage_fit(bool const& selection);
    // Centres the selection without zooming.
    void make_visible();
    bool const& is_smooth_transitions() const { return m_smooth_transitions; }
    void set_smooth_transitions(bool const& smooth) { m_smooth_transitions = smooth; }
    // Goes to the position and ratio: at once without smooth transitions or for a pan to a
    // place partly in view, else animated, through a view showing both the current one and
    // the target when the target is partly out of sight.
    void go_to_view(GMathVec2<float> const& pos, float const& ratio);
    // Ends a go_to_view animation where it stands.
    void stop_view_animation();
    // The view area a position and ratio would show.
    GMathVec4<int> get_view_area_at(GMathVec2<float> const& pos, float const& ratio) const;
    // The view the animation passes through, when it does.
    bool const& is_view_animation_through_middle() const { return m_fit_through_middle; }
    void get_view_animation_middle(GMathVec2<float>& pos, float& ratio) const
    {
        pos = m_fit_mid_pos;
        ratio = m_fit_mid_ratio;
    }
    bool is_animating_view() const { return m_fit_start >= 0.0; }
    // One step of the animation at `now` (milliseconds); false once it has arrived.
    bool step_view_animation(double const& now);
    static constexpr double FIT_DURATION = 300.0;
    static constexpr double FIT_MARGIN = 0.05;
    static constexpr double VIEW_ANIMATION_PERIOD = 0.01;  // seconds between steps

    // --- Minimap ---
    // A small map of the whole graph in the view's bottom-right corner, with the part the
    // view shows framed; dragging in it moves the view there. On by default; shown while
    // the graph reaches beyond the view (or while it is dragged).
    void enable_minimap(bool const& enabled);
    bool const& is_minimap_enabled() const { return m_minimap_enabled; }
    bool is_minimap_visible() const;
    // Graph units per minimap pixel: the graph's larger side over MINIMAP_SIZE.
    float get_minimap_scale() const;
    // The map's square, in widget pixels (x, y of its top-left corner, w, h), and the part of
    // it the graph's box fills (the shorter side centred).
    GMathVec4<int> get_minimap_geometry() const;
    GMathVec4<int> get_minimap_graph_rect() const;
    // Whether the widget pixel is on the visible map.
    bool pick_minimap(GMathVec2<int> const& pixel) const;
    // Centres the view on the graph point under the map's pixel.
    void edit_minimap(GMathVec2<int> const& pixel);
    static constexpr int MINIMAP_SIZE = 150;
    static constexpr int MINIMAP_MARGIN = 10;

    // --- Gestures: what the pointer and keys do, in widget pixels ---
    // process_event reads the toolkit's event and calls these.
    void on_press(GMathVec2<int> const& pixel, int const& button, bool const& shift, bool const& ctrl,
                  bool const& alt);
    void on_drag(GMathVec2<int> const& pixel);
    void on_release(GMathVec2<int> const& pixel, int const& button, bool const& shift, bool const& ctrl);
    void on_hover(GMathVec2<int> const& pixel);
    // Wheel steps (positive: down) zoom out around the pointer, negative ones in.
    void on_wheel(GMathVec2<int> const& pixel, int const& steps);
    // A press moving less than this (squared pixels) is a click.
    static constexpr int DRAG_THRESHOLD = 12;
    // Each wheel step zooms by this factor.
    static constexpr double WHEEL_ZOOM_STEP = 1.15;
    // The magnet's reach, in screen pixels.
    static constexpr double MAGNET_PIXELS = 10.0;
    // Escape cancels a move or a rubber band; true when the key was used.
    bool on_key(int const& key);
    int process_event(CoreString const& name) override;
    // While something is dragged past the view's edge, the view follows: it moves by as much
    // as the pointer is beyond the edge, once (a pointer held still does not scroll on), and
    // not back while the pointer returns. `reset` (or the pointer inside again) starts over.
    void manage_autoscroll(GMathVec2<int> const& pixel, bool const& reset);
    // The rubber band (min x, min y, max x, max y in graph units) while one is dragged.
    GMathVec4<int> get_rubber_band() const;
    // Whether what the pointer is over is highlighted (on by default).
    bool const& is_highlighting_allowed() const { return m_highlighting_allowed; }
    void set_is_highlighting_allowed(bool const& allowed) { m_highlighting_allowed = allowed; }
    // The item the pointer lights up: a plug, link or button, else its box; null over nothing.
    GuiNodalItem* get_highlighted_item() const { return m_highlighted; }
    // The box the pointer hovers (a plug or zone stands for its node); null over nothing.
    GuiNodalNodeBase* get_hovered_box() const { return m_hovered; }

    // --- Actions ---
    // The view's actions, registered by the constructor with their shortcuts ("fit" f,
    // "fit all" a, "make_visible" alt+f, "grid" g, "magnet" m, "cull links" k,
    // "display_node_label" shift+n, "backdrop" b or "hide" h, "start_connecting" x, "tangent links"
    // t, the plug display ones, ...), all run through here; false (logged) for a name the
    // view does not know.
    bool run_action(CoreString const& name);
    // Links whose two ends are outside the view are left out (off by default).
    bool const& is_link_culling() const { return m_link_culling; }
    void set_link_culling(bool const& culling);
    // Titles of nodes while zoomed out: never, always, or while still readable.
    enum DisplayNodeLabel : int { DISPLAY_NODE_LABEL_OFF = 0, DISPLAY_NODE_LABEL_ON = 1, DISPLAY_NODE_LABEL_SMART = 2 };
    DisplayNodeLabel const& get_display_node_label() const { return m_display_node_label; }
    void set_display_node_label(DisplayNodeLabel const& mode);
    // Whether a zoomed-out node shows its title now (the smart mode keeps titles of 6 pixels
    // or more on screen).
    bool is_node_label_shown(int const& text_height) const;
    // A frame titled "backdrop selection" around the selection, which must lie in a single
    // container (a parent box or, failing that, a backdrop); else the log says so and
    // nothing is made. Null without a selection or when refused.
    GuiNodalBackdrop* on_backdrop_selection();
    // The same with a subnet holding the selection.
    GuiNodalSubnet* on_subnet_selection();
    // Sets the plug display mode of the selected or of all nodes: "collapse" hides plugs,
    // "expand" shows them all, "show used plugs" only the connected ones.
    void on_node_display(CoreString const& action);
    // Set while the view calls an application hook that applies its own changes.
    static bool get_is_move_issuer() { return st_is_move_issuer; }
    static void set_is_move_issuer(bool const& issuer) { st_is_move_issuer = issuer; }
    // For a derived view: a property (the plug display) of these nodes changed.
    virtual void apply_nodes_property(std::vector<GuiNodalNode*> const&) {}

    // --- New nodes ---
    // Where an application puts new nodes: the hotspot, shifted by the increment (screen
    // pixels) once more at each call since it was set.
    void set_hotspot(GMathVec2<int> const& point);
    GMathVec2<int> get_usable_hotspot();
    virtual GMathVec2<int> get_hotspot_increment() const { return GMathVec2<int>(50, 0); }
    // A lone node with free sides, dropped on a link, goes into it (on by default).
    bool const& is_node_auto_insert() const { return m_node_auto_insert; }
    void set_node_auto_insert(bool const& insert) { m_node_auto_insert = insert; }
    // For a derived view: the application inserts the node itself and returns true; false
    // leaves it to the view (insert_node_in_link).
    virtual bool manage_link_node_insertion(GuiNodalLink&, GuiNodalNode&, bool, bool) { return false; }
    // The link from A to B becomes A to the node's input and its output to B, when the node's
    // sides are free and validate_link_creation accepts both; false otherwise.
    bool insert_node_in_link(GuiNodalLink& link, GuiNodalNode& node);

    // Registers the view's actions that are not registered yet; the constructor calls it. A
    // derived view whose application supports the omnidirectional layout calls it again once
    // built, to add "omnidirectional_layout".
    void register_layout_actions();

    // --- Bookmarks ---
    // Viewpoints saved by name and colour, shown as a bar of buttons down the view's top-left
    // corner; a click on one goes to its viewpoint. They are kept per view class by the
    // application object (and in the user's preferences file), and every view of the class
    // follows their changes through EVT_ID_APPLICATION_BOOKMARK_ADD, _DEL and _MOD.
    GuiNodalBookmarkPreference& get_bookmarks();
    // The key the application keeps them under: the view's class name and "_bookmarks".
    virtual CoreString get_bookmark_key() const;
    // The current viewpoint: the centre of the view area and the zoom ratio.
    void bookmark_viewpoint(GuiNodalBookmarkData& data) const;
    // Goes to a viewpoint at once.
    void apply_bookmark(GuiNodalBookmarkData const& data);
    // Makes the bar again from the stored bookmarks.
    void init_bookmarks();
    std::vector<GuiNodalBookmark*> const& get_bookmark_buttons() const { return m_bookmark_buttons; }
    // The stored bookmark a button stands for; null when the list has no such entry.
    GuiNodalBookmarkData* get_bookmark_data(GuiNodalBookmark const& bookmark);
    // The button at a widget pixel; null when none.
    GuiNodalBookmark* get_bookmark_at(GMathVec2<int> const& pixel) const;
    // Stores a bookmark of the current viewpoint and tells every view; an empty name is
    // refused with a warning.
    bool add_bookmark(CoreString const& name, GMathVec3<double> const& color);
    // Each changes the stored bookmark `index` and tells every view; false (warned) for an
    // index past the list.
    bool remove_bookmark(unsigned int const& index);
    bool update_bookmark(unsigned int const& index);
    bool edit_bookmark(unsigned int const& index, CoreString const& name, GMathVec3<double> const& color);
    void clear_bookmarks();
    // The "Bookmark" dialog (a name and a colour) for a new bookmark, or for the one at
    // `index` (-1: new); true when accepted.
    bool open_bookmark_dialog(int const& index);
    // The six colours new bookmarks take in turn.
    static GMathVec3<double> get_bookmark_color(unsigned int const& count);
    // Vertical gap between the buttons of the bar, and the bar's margin from the view's corner.
    static constexpr int BOOKMARK_GAP = 6;
    static constexpr int BOOKMARK_MARGIN = 8;

    // --- Dialogs ---
    // Each opens a modal dialog filled with the current values and applies what it answers;
    // true when it was accepted. "Grid Options" (the grid's snapping, display and size),
    // "Node bounding" (the maximum node width, 0 shown as "Unlimited", and cropping), "Link
    // Highlight" (which links the highlight follows, kept in the "nodal_view" preferences),
    // and the title or text of a backdrop ("Set Backdrop Title"), a note ("Edit Note") or a
    // subnet ("Set Subnet Title"), an undo step with a command manager.
    bool open_grid_options();
    bool open_node_bounding();
    bool open_link_highlight_mode();
    bool open_item_text(GuiNodalItem& item);
    // The open dialog, for a test or an application that answers it; null when none is open.
    GuiInputDialog* get_open_dialog() const { return m_open_dialog; }
    // Changes a backdrop's or subnet's title or a note's text as an undo step.
    void set_item_text(GuiNodalItem& item, CoreString const& text);
    // The title or text itself, read and written without an undo step; false for items that
    // have none.
    static bool read_item_text(GuiNodalItem const& item, CoreString& text);
    static bool write_item_text(GuiNodalItem& item, CoreString const& text);

    // --- Undo ---
    // With a command manager (set_command_manager), moves and the links a gesture adds or
    // removes become undo steps ("Move Nodes", "Connect", "Disconnect", "Reconnect").
    // References to boxes and plugs that outlive them, for the commands.
    GuiNodalEndRef make_end_ref(GuiNodalNodeBase& end) const;
    // The box or plug referred to; null once its box has left the view.
    GuiNodalNodeBase* resolve_end_ref(GuiNodalEndRef const& ref) const;
    // A handle that expires with the view, for what may outlive it (undo steps).
    std::shared_ptr<GuiNodal*> const& get_lifetime() const { return m_lifetime; }
    // The view's link from `from` to `to`; null when there is none.
    GuiNodalLink* find_link(GuiNodalNodeBase const& from, GuiNodalNodeBase const& to) const;

    // --- Hide mode ---
    // Nodes hidden by "hide" leave a fading mark where they were: its opacity (out of 255)
    // from DROP_ALPHA down to 0 over DROP_DURATION milliseconds from `start`.
    static constexpr int DROP_ALPHA = 96;
    static constexpr double DROP_DURATION = 400.0;
    int get_drop_alpha(double const& now) const;
    // The places of the nodes last hidden (min x, min y, max x, max y each).
    std::vector<GMathVec4<int>> const& get_drop_marks() const { return m_drop_marks; }

    // --- Context menu ---
    // What a right click shows: the entries of the item under the pointer (a section
    // "Backdrop", "Note", "Node", "Subnet" or "Link"), then the view's own (fill_popup_menu),
    // then a derived view's (add_to_popup_menu). Made again for each click, kept by the view.
    GuiMenu* build_popup_menu(GuiNodalItem* under);
    virtual void fill_popup_menu(GuiMenu& menu);
    virtual void add_to_popup_menu(GuiMenu&) {}
    // What the menu's entry with that label does for the item the menu was made for;
    // false for a label without an entry.
    bool on_menu_entry(CoreString const& label);

    // --- Settings ---
    // Writes and reads the group "GuiNodal": the view, grid, magnet, smooth transitions,
    // node zoom and node width. Missing or mistyped keys keep their values.
    void save_settings(ParserGroup& group) override;
    void load_settings(ParserGroup const& group) override;

    // --- Nodes growing under the pointer while zoomed out ---
    // On by default.
    bool const& is_node_zoom_allowed() const { return m_node_zoom_allowed; }
    void set_node_zoom_allowed(bool const& allowed) { m_node_zoom_allowed = allowed; }
    // A link is being created, cut or awaited: hovered nodes grow at once and show all their
    // plugs, so that any of them can take the link.
    bool const& is_link_interaction() const { return m_link_interaction; }
    void set_link_interaction(bool const& active) { m_link_interaction = active; }
    bool const& is_auto_expand_allowed() const { return m_link_interaction; }
    // How long the pointer rests on a node before it grows, in milliseconds: 400, or 0
    // during a link interaction.
    double get_node_highlight_delay() const { return m_link_interaction ? 0.0 : NODE_HIGHLIGHT_DELAY; }
    static constexpr double NODE_HIGHLIGHT_DELAY = 400.0;

    // --- Text, in graph units, as the view draws it ---
    // The text's width in the font (its atlas's advances); 0 when the font has no atlas.
    int get_text_width(GuiFont const& font, CoreString const& text);
    // Adds the text to the context's batch, its baseline starting at (x, y), cut with "..."
    // to `max_width` when that is positive.
    void add_text(GuiGlWidgetDc& dc, GuiFont const& font, CoreString const& text, float const& x, float const& y,
                  GMathVec3<unsigned char> const& color, int const& max_width = 0);

    // --- Textures of images drawn in the graph ---
    // The texture of the image, made from its pixels on first use with the context current;
    // 0 for an image without pixels. Kept until remove_texture or the context goes.
    unsigned int get_image_texture(GuiImage const& image);
    // Drops the image's texture (an image that changed or is about to go).
    void remove_texture(GuiImage const& image);
    size_t get_texture_count() const { return m_textures.size(); }
    void on_gl_context_destroyed() override { m_textures.clear(); }

    // --- Link editing ---
    // Connecting, detaching and cutting links goes through the view's link editor; the hooks
    // below let an application subclass accept, refuse or carry out each change.
    GuiNodalLinkEditor& get_link_editor();
    // A link is being deleted: the link editor lets go of it (nothing once the editor is gone).
    void forget_link(GuiNodalLink& link);
    // Removals and reconnections are grouped into one undo step of this manager; null (the
    // default) for none.
    void set_command_manager(OfCommandManager* manager);
    // Takes a link made for this view (a completed creation link, or one given back after
    // unref_link); null (logged) for a link of another view. Adding a link twice adds it once.
    virtual GuiNodalLink* add_link(GuiNodalLink* link);
    // Whether a link dragged from `from` may go to `to`, asked while the pointer is over `to`;
    // true here.
    virtual bool check_link_creation(GuiNodalNodeBase& from, GuiNodalNodeBase& to);
    // Whether the link from `from` to `to` may be made, asked when it is dropped; true here.
    virtual bool validate_link_creation(GuiNodalNodeBase& from, GuiNodalNodeBase& to);
    // Whether the application reconnects `link` from `from` to `to` itself, without the
    // removal and new link the view otherwise goes through; false here.
    virtual bool validate_link_reconnection(GuiNodalNodeBase& from, GuiNodalNodeBase& to, GuiNodalLink& link);
    // Whether `link` may be removed (`command` names the change, or is empty inside a batch
    // the view opened). The link stays alive: the view then destroys or reconnects it and
    // releases it through unref_link. True here.
    virtual bool on_link_remove(GuiNodalLink& link, CoreString const& command);
    // Removes the links (a knife cut: `command` "Disconnect"): here through remove_link, and
    // true. An application that refuses returns false and keeps them.
    virtual bool on_links_remove(std::vector<GuiNodalLink*> const& links, CoreString const& command);
    // A link end dragged off a plug is dropped on `plug`: true when that is the end it came
    // from, or another plug of the same dot (nothing changes then).
    virtual bool is_reconnecting_on_same_plug(GuiNodalLink& link, GuiNodalNodeZoneAnchor& plug);
    // A link is being made or one of its ends dragged off; end_link_creation follows when the
    // gesture ends, whatever its outcome. Nothing here.
    virtual void begin_link_creation(GuiNodalLink const& link);
    virtual void end_link_creation();
    // The view lets go of `link`: with `destroy` it is removed (remove_link); otherwise it
    // leaves the view's links without being deleted, to come back through add_link.
    virtual void unref_link(GuiNodalLink& link, bool destroy);
    // Deletes the editor where its class is complete (this header only names it).
    struct LinkEditorDeleter {
        void operator()(GuiNodalLinkEditor* editor) const;
    };

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
    // The item at a graph point: a plug before its node, a zone (the header included) before
    // its node, the node drawn last where nodes overlap; else the link nearest the point
    // within `link_tolerance` screen pixels (subnets, with their delete button, count as
    // nodes); else a note (or its corner); else a backdrop's
    // button or gripper (the innermost backdrop first); null over the background. Looks only at the items
    // near the point, through an index made again after items change.
    GuiNodalItem* pick(GMathVec2<float> const& point, float const& link_tolerance = 5.0f);
    // The link nearest the point within `tolerance` screen pixels, leaving out those of
    // `except`; null when none is that near.
    GuiNodalLink* get_link_near(GMathVec2<float> const& point, float const& tolerance,
                                GuiNodalNodeBase const* except = nullptr);
    // Called by items that change or move: the index is made again before the next pick.
    void invalidate_pick_index() { m_pick_index_dirty = true; }

private:
    void compute_view_area();
    static uint32_t to_key(GMathVec3<unsigned char> const& color)
    {
        return (uint32_t(color[0]) << 16) | (uint32_t(color[1]) << 8) | uint32_t(color[2]);
    }

    void destroy_links_of(GuiNodalNodeBase& node);
    // The top-level box an item stands for in selecting and moving: a zone or plug its node,
    // a backdrop's button nothing; null for links and nothing.
    GuiNodalNodeBase* get_movable_box(GuiNodalItem* item) const;
    // A bookmark event: the bar follows the stored list.
    void on_bookmark_changed(EventObject& sender, EventInfo const& info, void* data);
    // Places the buttons down the bar and gives them the bar's common width.
    void layout_bookmarks();
    // The button an action names: the one under the pointer, else the one of the open menu.
    GuiNodalBookmark* get_bookmark_target() const;
    // Adds the boxes a stretched move carries along to the move's boxes.
    void add_stretched_boxes();
    // A dialog owned by the view's window; null (warned) without a window.
    template <class Dialog>
    Dialog* make_dialog(CoreString const& title);
    // Runs a dialog as the view's open one, at the pointer; true when accepted.
    bool run_dialog(GuiInputDialog& dialog);
    void notify_selection();
    // A press on a plug starts a link (or drags an input's link end off it); a press near a
    // link's end drags that end. False when the item starts no link gesture.
    bool begin_link_gesture(GuiNodalItem* item);
    void notify_view();
    static void on_view_animation_timer(void* data);
    static void on_drop_timer(void* data);
    void draw_grid(GuiGlWidgetDc& gl);
    void draw_minimap(GuiGlWidgetDc& gl);
    void on_popup_menu_click(GuiMenu& menu, EventInfo const& info, void* data);
    void show_popup_menu(GMathVec2<int> const& pixel);
    // The ends of every link, to tell what a gesture added and removed.
    std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>> snapshot_links() const;
    // Records what changed since `before` as one undo step, when there is a command manager.
    void record_link_changes(std::vector<std::pair<GuiNodalEndRef, GuiNodalEndRef>> const& before,
                             CoreString const& label);
    static void on_view_action(GuiWidget& widget, GuiAction const& action, void* data);
    // The box that holds the selection, through `container`; false when it lies in several.
    bool is_selection_in_single_container(GuiNodalNodeBase*& container) const;
    // A box's container: its parent box or, for a top-level box, the innermost backdrop.
    GuiNodalNodeBase* get_container(GuiNodalNodeBase const& box) const;
    // The smallest title, in screen pixels, the smart label mode still shows.
    static constexpr float SMART_LABEL_PIXELS = 6.0f;
    // Grid lines come no closer on screen than this.
    static constexpr double MIN_GRID_PIXELS = 8.0;
    // Makes a new top-level box tell the view when it moves.
    void watch_box(GuiNodalNodeBase& box);
    // Takes a box about to go out of the backdrops, the subnets and the pending update.
    void forget_box(GuiNodalNodeBase& box);
    void on_need_backdrop_update(GuiNodalNodeBase& box, EventInfo const& info, void* data);
    void update_pick_index();

    std::vector<GuiNodalNode*> m_nodes;
    std::vector<GuiNodalLink*> m_links;
    std::vector<GuiNodalBackdrop*> m_backdrops;
    std::vector<GuiNodalNote*> m_notes;
    std::vector<GuiNodalSubnet*> m_subnets;
    std::vector<GuiNodalSubnet*> m_subnets_to_remove;
    bool m_backdrop_update_pending = false;
    bool m_backdrop_update_all = false;
    std::vector<GuiNodalNodeBase*> m_backdrop_update_boxes;
    std::unordered_map<GuiImage const*, unsigned int> m_textures;
    GMathVec2<float> m_view_pos;
    int m_zoom_factor = 1;
    float m_zoom_ratio = 1.0f;
    GMathVec4<int> m_view_area;
    float m_simplification_ratio = 0.0f;
    bool m_hide_mode = false;
    unsigned int m_max_node_width = 0;
    bool m_node_zoom_allowed = true;
    bool m_link_interaction = false;
    GraphState m_state = GRAPH_STATE_IDLE;
    std::vector<GuiNodalNodeBase*> m_selection;
    bool m_grid_snapping = false;
    bool m_grid_displayed = true;
    int m_grid_size = 40;
    bool m_magnet = false;
    bool m_smooth_transitions = true;
    bool m_link_culling = false;
    bool m_minimap_enabled = true;
    bool m_node_auto_insert = true;
    GMathVec2<int> m_hotspot;
    int m_hotspot_count = 0;
    DisplayNodeLabel m_display_node_label = DISPLAY_NODE_LABEL_ON;
    static bool st_is_move_issuer;
    GuiMenu* m_popup_menu = nullptr;
    // Top-level boxes of the view and the serial each got when it came.
    std::unordered_map<GuiNodalNodeBase const*, uint64_t> m_box_serials;
    uint64_t m_next_serial = 1;
    std::shared_ptr<GuiNodal*> m_lifetime = std::make_shared<GuiNodal*>(this);
    GuiNodalItem* m_menu_item = nullptr;  // what the menu was made for
    // The move: the boxes moved and where they started, the pointer's start.
    struct MoveStart {
        GuiNodalNodeBase* box;
        GMathVec2<int> start;
        double share;  // of the pointer's movement
    };
    std::vector<MoveStart> m_move_starts;
    bool m_stretch = false;
    bool m_simplified_layout = false;
    bool m_omnidirectional = false;
    bool m_node_cropping = true;
    unsigned short m_default_display_mode = 0;
    GuiInputDialog* m_open_dialog = nullptr;
    // The bar (owned), and the button a context menu was opened over.
    std::vector<GuiNodalBookmark*> m_bookmark_buttons;
    GuiNodalBookmark* m_menu_bookmark = nullptr;
    GMathVec2<int> m_mouse_pixel = GMathVec2<int>(-1, -1);  // the pointer, widget pixels
    GMathVec2<int> m_move_origin;
    GMathVec2<int> m_move_delta;
    // The gesture under way: where it began (widget pixels and graph units), what it began on.
    GMathVec2<int> m_press_pixel;
    int m_press_button = 0;
    GMathVec2<int> m_press_graph;
    GMathVec2<float> m_press_view_pos;
    GMathVec2<int> m_drag_graph;
    GuiNodalItem* m_pressed_item = nullptr;
    bool m_dragged = false;
    GMathVec2<float> m_autoscroll_applied;  // graph units the view moved in this drag
    GuiNodalNodeBase* m_hovered = nullptr;
    GuiNodalItem* m_highlighted = nullptr;
    bool m_highlighting_allowed = true;
    // The view animation: where from, where to, when it began (-1 while none runs).
    GMathVec2<float> m_fit_from_pos;
    GMathVec2<float> m_fit_to_pos;
    float m_fit_from_ratio = 1.0f;
    float m_fit_to_ratio = 1.0f;
    double m_fit_start = -1.0;
    std::vector<GMathVec4<int>> m_drop_marks;
    double m_drop_start = -1.0;
    unsigned int m_drop_timer = 0;
    bool m_fit_through_middle = false;
    GMathVec2<float> m_fit_mid_pos;
    float m_fit_mid_ratio = 1.0f;
    unsigned int m_fit_timer = 0;
    GMathVec2<int> m_graph_mouse_pos;
    std::unordered_map<uint32_t, GuiNodalItem*> m_clickables;
    std::vector<uint32_t> m_free_pick_keys;
    uint32_t m_next_pick_key = 1;  // 0, black, is the background
    GuiNodalSpatialIndex m_node_index;
    // The links and nodes the last frame drew: the next one marks them culled first.
    std::vector<GuiNodalItem*> m_drawn;
    GuiNodalSpatialIndex m_link_index;
    bool m_pick_index_dirty = true;
    // Made on first use (get_link_editor).
    std::unique_ptr<GuiNodalLinkEditor, LinkEditorDeleter> m_link_editor;
    std::unique_ptr<GuiNodalSubnetScope> m_subnet_scope;
};
