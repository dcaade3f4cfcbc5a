#pragma once
// GuiNodalLinkEditor: the link editing of one node-graph view, owned by it
// (GuiNodal::get_link_editor). The view's pointer handling calls it to make a link from a
// plug, drag a link end off its plug and drop it elsewhere, cut links with the knife, and
// colour the links around the selection. Every change is first put to the view's hooks
// (validate_link_creation, on_link_remove, ...), which an application overrides.
//
// Links being made are the editor's until they are completed: they are not among the view's
// links, and one end of each follows the pointer (the view's graph mouse position).
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "gui/nodal/gui_nodal_item.h"
#include "host/gmath/gmath_vec.h"

class GuiDc;
class GuiNodal;
class GuiNodalLink;
class GuiNodalNodeBase;
class GuiNodalNodeZoneAnchor;
class OfCommandManager;

class QN_GUI_API GuiNodalLinkEditor {
public:
    using Color = GuiNodalItem::Color;
    using LinkSet = std::unordered_set<GuiNodalLink*>;

    // Which links around the selection are coloured: those upstream (In), downstream (Out)
    // or both.
    enum LinkHighlightMode : unsigned int {
        LINK_HIGHLIGHT_IN = 1,
        LINK_HIGHLIGHT_OUT = 2,
        LINK_HIGHLIGHT_IN_OUT = 3,
    };
    // Screen pixels within which a knife segment cuts a link.
    static constexpr float KNIFE_TOLERANCE = 12.0f;

    explicit GuiNodalLinkEditor(GuiNodal& graph);
    // Destroys the links being made.
    ~GuiNodalLinkEditor();
    GuiNodalLinkEditor(GuiNodalLinkEditor const&) = delete;
    GuiNodalLinkEditor& operator=(GuiNodalLinkEditor const&) = delete;

    GuiNodal& get_graph() const { return m_graph; }
    OfCommandManager* get_command_manager() const { return m_commands; }
    void set_command_manager(OfCommandManager* manager) { m_commands = manager; }

    // --- Validation ---
    // Whether a link from `from` (where the drag started) to `to` may be made. Plugs stand
    // for the nodes that hold them. Between two dots the plugs must join a left anchor to a
    // right one, and validate_link_creation receives first the dot whose left anchor is
    // joined; other pairings of dots are refused without asking. Any other pair is put to
    // validate_link_creation(from node, to node).
    bool manage_link_validation(GuiNodalNodeBase& from, GuiNodalNodeBase& to);

    // --- Creation ---
    // Starts a link from `end`, a plug or box of the view: drawn upstream from an input (left)
    // plug, downstream from anything else (a dot's body stands for its right plug). Calls
    // begin_link_creation. Null when the end refuses (can_begin_link_creation) or, with a
    // warning, when it is of another view or a link is already being edited.
    GuiNodalLink* begin_link_creation(GuiNodalNodeBase& end);
    // A further link, from `end`, made together with the first (a multi-connection): it is
    // dropped on the same target. Null, with a warning, outside a creation or for an end of
    // another view.
    GuiNodalLink* add_creation_link(GuiNodalNodeBase& end);
    // The links being made, the first one first; empty outside a creation.
    std::vector<GuiNodalLink*> const& get_creation_links() const { return m_creation_links; }
    GuiNodalLink* get_creation_link() const { return m_creation_links.empty() ? nullptr : m_creation_links.front(); }
    bool is_creating() const { return !m_creation_links.empty(); }
    // The plug a drop on `target` would connect the first creation link to: a dot stands for
    // its left plug when the link is drawn downstream and for its right plug when drawn
    // upstream; drawn upstream, a node's body stands for its right plug (or that of the node
    // it shows). Null when that is not a plug, or is the link's own end.
    GuiNodalNodeZoneAnchor* get_creation_target(GuiNodalItem* target) const;
    // Whether the first creation link may go to `target` (check_link_creation), for
    // highlighting the plugs that would take it.
    bool check_link_target(GuiNodalItem* target);
    // The drop: each creation link that manage_link_validation accepts is completed onto the
    // target plug and handed to the view (add_link); a drop on nothing, on what is not a plug
    // or a refusal leaves no link. Then end_link_creation. True when the first link was made.
    bool manage_link_creation(GuiNodalItem* target);
    // Drops the links being made and calls end_link_creation.
    void cancel_link_creation();

    // --- Destruction ---
    // Starts dragging the end `end` of `link`, a link of the view, off its plug; calls
    // begin_link_creation. False when the end refuses (can_begin_link_destruction) or, with
    // a warning, when the link is not the view's, `end` is not its end or a link is already
    // being edited.
    bool begin_destruction(GuiNodalLink& link, GuiNodalNodeBase& end);
    GuiNodalLink* get_destruction_link() const { return m_destruction_link; }
    // The drop of the dragged end. On anything but a plug, on_link_remove(link, "RemoveLink")
    // decides whether the link is destroyed (and released, unref_link) or keeps its end. On
    // the plug it came from (is_reconnecting_on_same_plug) nothing changes. On another plug,
    // unless validate_link_reconnection takes the change, and inside a "RemoveLink" batch of
    // the command manager if any: on_link_remove(link, "") may refuse (the link keeps its
    // end); then the link is reconnected there when manage_link_validation accepts (it is
    // released and added again: a removal and a new link) and destroyed otherwise. The plug
    // is un-highlighted and end_link_creation called. True when the link changed.
    bool manage_link_destruction(GuiNodalItem* target);
    // Puts the dragged end back and calls end_link_creation.
    void cancel_destruction();

    // --- The view's pointer ---
    // Moves the view's graph mouse position, which the free ends of the links being made or
    // dragged follow, and redraws.
    void set_graph_mouse_pos(GMathVec2<int> const& pos);
    // A box of the view is going away: the links being made from it are dropped and a
    // destruction that would leave the link on it is cancelled. The view must call this before
    // destroying a box, since it does not own the links being made.
    void forget_box(GuiNodalNodeBase& box);
    // A link is being deleted: the editor lets go of it.
    void forget_link(GuiNodalLink& link);

    // --- Knife ---
    // The path, in graph units.
    void add_knife_point(GMathVec2<int> const& point);
    std::vector<GMathVec2<int>> const& get_knife_path() const { return m_knife_path; }
    void clear_knife_path() { m_knife_path.clear(); }
    // The view's links whose curve comes within KNIFE_TOLERANCE screen pixels of a segment of
    // the path, in the view's order.
    std::vector<GuiNodalLink*> get_knife_crossed_links() const;
    // Hands the links crossed to on_links_remove(links, "Disconnect") and clears the path.
    // True when links were crossed and the hook accepted. A path of fewer than two points cuts
    // nothing (logged).
    bool manage_knife_cut();

    // --- Highlight of the links around the selection ---
    bool const& is_link_highlight() const { return m_link_highlight; }
    void set_link_highlight(bool const& on) { m_link_highlight = on; }
    unsigned int const& get_link_highlight_mode() const { return m_link_highlight_mode; }
    // In, Out or both; other values are refused with a warning.
    void set_link_highlight_mode(unsigned int const& mode);
    // Adds to `inputs` the links entering `node` from another node and, walking on, those
    // entering that node, when `upstream`; likewise to `outputs` the links leaving towards
    // other nodes when `downstream`. A plug counts as its node, a node shown inside another
    // as that one. Faded links are neither collected nor followed; a link is followed once,
    // so cycles end. Walks from several nodes may share `walked`: a node already walked in
    // a direction is not walked again (its links are in the sets already).
    struct Walked {
        uint32_t walk = 0;  // the walk's number, given by the first walk that uses it
    };
    static void compute_node_links_recursively(GuiNodalNodeBase& node, bool const& upstream, bool const& downstream,
                                               LinkSet& inputs, LinkSet& outputs, Walked* walked = nullptr);
    // Outputs (0, 255, 0), inputs (255, 255, 0), any other link its normal colour (the one it
    // had before apply_link_highlight coloured it).
    Color get_highlight_link_color(GuiNodalLink const& link, LinkSet const& inputs, LinkSet const& outputs) const;
    // Gives the links around the selected boxes their highlight colours, after giving back
    // their own to the links coloured before; with the highlight off only the latter.
    void apply_link_highlight(std::vector<GuiNodalNodeBase*> const& selection);

    // --- Drawing ---
    // Over the view's items, with the graph matrices loaded: the links being made, the link
    // being dragged off its plug, and the knife path.
    void draw(GuiDc& dc);

private:
    // Whether the view still lists the link (it may have been removed meanwhile).
    bool is_view_link(GuiNodalLink const* link) const;
    // The gesture is over: the pointer-side state is reset and end_link_creation called.
    void end_gesture();
    void delete_creation_links();
    GuiNodalLink* make_creation_link(GuiNodalNodeBase& end);
    // The links coloured by apply_link_highlight get their own colour back.
    void restore_link_colors();
    // The walk of compute_node_links_recursively, handing each link it collects to `collect`
    // (0 for an input, 1 for an output) with the walk's number.
    template <class Collect>
    static void walk_links(GuiNodalNodeBase& node, bool const& upstream, bool const& downstream, Walked& walked,
                           Collect&& collect);

    GuiNodal& m_graph;
    OfCommandManager* m_commands = nullptr;
    std::vector<GuiNodalLink*> m_creation_links;
    GuiNodalLink* m_destruction_link = nullptr;
    std::vector<GMathVec2<int>> m_knife_path;
    bool m_link_highlight = true;
    unsigned int m_link_highlight_mode = LINK_HIGHLIGHT_IN_OUT;
    // The links apply_link_highlight coloured: their own normal colour and the one given.
    struct SavedColor {
        Color own;
        Color given;
    };
    std::unordered_map<GuiNodalLink*, SavedColor> m_coloured;
};
