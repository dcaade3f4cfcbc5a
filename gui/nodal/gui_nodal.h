#pragma once
// GuiNodal: the node-graph view, an OpenGL widget that owns the graph's items (nodes with
// their zones and plugs, links, dots, notes, backdrops), draws them and finds the one under
// the pointer. Items keep a reference to their view and ask it for the zoom ratio, the
// colours, the fonts and a unique pick colour each (add_clickable_node).
//
// This class holds the items, draws them and gives them what they need from their view; the
// interaction (selection, moving, connecting) builds on it. Graph units have y upwards.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gui/gl/gui_gl_widget.h"
#include "gui/nodal/gui_nodal_spatial_index.h"
#include "host/gmath/gmath_vec.h"

class GuiFont;
class GuiImage;
class GuiGlWidgetDc;
class GuiNodalBackdrop;
class GuiNodalDot;
class GuiNodalNote;
class GuiNodalSubnet;
class GuiNodalItem;
class GuiNodalLink;
class GuiNodalNode;
class GuiNodalNodeBase;

class QN_GUI_API GuiNodal : public GuiGlWidget {
    CORE_DECLARE_CLASS(GuiNodal, GuiGlWidget)

public:
    // `simplify`: below a zoom ratio of 0.75, nodes are drawn in their simplified form.
    // `hide_mode` is kept for the interaction (hidden nodes leave with a fading icon).
    GuiNodal(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify = true,
             bool hide_mode = false);
    // Destroys its links, then its nodes.
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
    // The graph point at the view's top-left corner.
    GMathVec2<float> const& get_view_pos() const { return m_view_pos; }
    void set_view_pos(GMathVec2<float> const& pos);
    // The graph point under a view pixel (x right, y down from the top-left corner).
    GMathVec2<float> to_graph(int const& x, int const& y) const;
    // Sets the projection and model-view that map graph units to the view's pixels.
    void set_graph_matrices();
    // Clears to the view's background, then draws the backdrops (each under the ones it
    // holds), the notes, the links, and the nodes and subnets over them.
    void draw(GuiDc& dc) override;

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
    // The widest a node may grow, in graph units; 0 for no limit. Titles and zones are cut
    // with "..." to fit.
    unsigned int const& get_max_node_width() const { return m_max_node_width; }
    void set_max_node_width(unsigned int const& width);

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
    // below let an application subclass accept, refuse or carry out each change. Types this
    // header does not otherwise declare are named `class X` here, which declares them at file
    // scope.
    class GuiNodalLinkEditor& get_link_editor();
    // Removals and reconnections are grouped into one undo step of this manager; null (the
    // default) for none.
    void set_command_manager(class OfCommandManager* manager);
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
    virtual bool is_reconnecting_on_same_plug(GuiNodalLink& link, class GuiNodalNodeZoneAnchor& plug);
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
    // Called by items that change or move: the index is made again before the next pick.
    void invalidate_pick_index() { m_pick_index_dirty = true; }

private:
    static uint32_t to_key(GMathVec3<unsigned char> const& color)
    {
        return (uint32_t(color[0]) << 16) | (uint32_t(color[1]) << 8) | uint32_t(color[2]);
    }

    void destroy_links_of(GuiNodalNodeBase& node);
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
    float m_zoom_ratio = 1.0f;
    float m_simplification_ratio = 0.0f;
    bool m_hide_mode = false;
    unsigned int m_max_node_width = 0;
    bool m_node_zoom_allowed = true;
    bool m_link_interaction = false;
    GMathVec2<int> m_graph_mouse_pos;
    std::unordered_map<uint32_t, GuiNodalItem*> m_clickables;
    std::vector<uint32_t> m_free_pick_keys;
    uint32_t m_next_pick_key = 1;  // 0, black, is the background
    GuiNodalSpatialIndex m_node_index;
    GuiNodalSpatialIndex m_link_index;
    bool m_pick_index_dirty = true;
    // Made on first use (get_link_editor).
    std::unique_ptr<GuiNodalLinkEditor, LinkEditorDeleter> m_link_editor;
};
