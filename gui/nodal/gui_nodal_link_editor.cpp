#include "gui/nodal/gui_nodal_link_editor.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "gui/core/gui_color_scheme.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/core/core_log.h"
#include "host/of/of_command_manager.h"

namespace {

using Anchor = GuiNodalNodeZoneAnchor;
using Vec = GMathVec2<float>;

// Screen pixels: the width of the knife path.
constexpr float KNIFE_LINE_WIDTH = 2.0f;

// A plug itself, not a zone of another kind nor a box.
Anchor* as_plug(GuiNodalItem* item)
{
    return item && &item->get_class_info() == &Anchor::class_info() ? static_cast<Anchor*>(item) : nullptr;
}

GuiNodalNodeBase::NodeAnchor get_side(GuiNodalNodeBase const& box)
{
    return box.is_kindof(Anchor::class_info()) ? static_cast<Anchor const&>(box).get_side()
                                                : GuiNodalNodeBase::NODE_ANCHOR_NONE;
}

bool is_dot(GuiNodalNodeBase const* box)
{
    return box && box->is_kindof(GuiNodalDot::class_info());
}

float distance_to_segment(Vec const& p, Vec const& a, Vec const& b)
{
    Vec const ab = b - a;
    Vec const ap = p - a;
    float const length2 = ab[0] * ab[0] + ab[1] * ab[1];
    float const t = length2 > 0.0f ? std::clamp((ap[0] * ab[0] + ap[1] * ab[1]) / length2, 0.0f, 1.0f) : 0.0f;
    Vec const closest = a + ab * t;
    return std::hypot(p[0] - closest[0], p[1] - closest[1]);
}

float cross(Vec const& o, Vec const& a, Vec const& b)
{
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
}

// 0 where the segments cross; otherwise the least distance from an end to the other segment.
float distance_between_segments(Vec const& a, Vec const& b, Vec const& c, Vec const& d)
{
    float const c1 = cross(a, b, c), c2 = cross(a, b, d), c3 = cross(c, d, a), c4 = cross(c, d, b);
    if (((c1 < 0.0f && c2 > 0.0f) || (c1 > 0.0f && c2 < 0.0f)) && ((c3 < 0.0f && c4 > 0.0f) || (c3 > 0.0f && c4 < 0.0f)))
        return 0.0f;
    return std::min({distance_to_segment(a, c, d), distance_to_segment(b, c, d), distance_to_segment(c, a, b),
                     distance_to_segment(d, a, b)});
}

}  // namespace

GuiNodalLinkEditor::GuiNodalLinkEditor(GuiNodal& graph) : m_graph(graph) {}

GuiNodalLinkEditor::~GuiNodalLinkEditor()
{
    delete_creation_links();
}

bool GuiNodalLinkEditor::is_view_link(GuiNodalLink const* link) const
{
    std::vector<GuiNodalLink*> const& links = m_graph.get_links();
    return link && std::find(links.begin(), links.end(), link) != links.end();
}


// Validation ----------------------------------------------------------------------------------------

bool GuiNodalLinkEditor::manage_link_validation(GuiNodalNodeBase& from, GuiNodalNodeBase& to)
{
    if (&from.get_graph() != &m_graph || &to.get_graph() != &m_graph) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_link_validation: an end belongs to another view; refused\n");
        return false;
    }
    GuiNodalNodeBase* from_node = GuiNodalNode::get_owner_node(&from, false);
    GuiNodalNodeBase* to_node = GuiNodalNode::get_owner_node(&to, false);
    if (!is_dot(from_node) || !is_dot(to_node)) return m_graph.validate_link_creation(*from_node, *to_node);
    // Between dots the hook hears first the dot whose input is joined.
    GuiNodalNodeBase::NodeAnchor const from_side = get_side(from), to_side = get_side(to);
    if (from_side == GuiNodalNodeBase::NODE_ANCHOR_LEFT && to_side == GuiNodalNodeBase::NODE_ANCHOR_RIGHT)
        return m_graph.validate_link_creation(*from_node, *to_node);
    if (from_side == GuiNodalNodeBase::NODE_ANCHOR_RIGHT && to_side == GuiNodalNodeBase::NODE_ANCHOR_LEFT)
        return m_graph.validate_link_creation(*to_node, *from_node);
    return false;
}

// Creation ------------------------------------------------------------------------------------------

GuiNodalLink* GuiNodalLinkEditor::make_creation_link(GuiNodalNodeBase& end)
{
    GuiNodalNodeBase* start = &end;
    // Drawing out of a dot draws out of its output.
    if (is_dot(start) && start->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT))
        start = start->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT);
    bool const upstream = get_side(*start) == GuiNodalNodeBase::NODE_ANCHOR_LEFT;
    auto* link = new GuiNodalLink(m_graph, start, upstream);
    m_creation_links.push_back(link);
    return link;
}

GuiNodalLink* GuiNodalLinkEditor::begin_link_creation(GuiNodalNodeBase& end)
{
    if (&end.get_graph() != &m_graph) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.begin_link_creation: the end belongs to another view; no link is made\n");
        return nullptr;
    }
    if (is_creating() || m_destruction_link) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.begin_link_creation: a link is already being edited; no link is made\n");
        return nullptr;
    }
    if (!end.can_begin_link_creation()) return nullptr;
    GuiNodalLink* link = make_creation_link(end);
    m_graph.set_link_interaction(true);
    m_graph.begin_link_creation(*link);
    m_graph.redraw();
    return link;
}

GuiNodalLink* GuiNodalLinkEditor::add_creation_link(GuiNodalNodeBase& end)
{
    if (!is_creating() || &end.get_graph() != &m_graph) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.add_creation_link: "
                         << (is_creating() ? "the end belongs to another view" : "no link is being made")
                         << "; no link is added\n");
        return nullptr;
    }
    if (!end.can_begin_link_creation()) return nullptr;
    GuiNodalLink* link = make_creation_link(end);
    m_graph.redraw();
    return link;
}

GuiNodalNodeZoneAnchor* GuiNodalLinkEditor::get_creation_target(GuiNodalItem* target) const
{
    GuiNodalLink* link = get_creation_link();
    if (!link || !target || &target->get_graph() != &m_graph) return nullptr;
    bool const downstream = link->get_node_from() != nullptr;
    GuiNodalItem* item = target;
    if (target->is_kindof(GuiNodalNodeBase::class_info()) && !as_plug(target)) {
        // A header or row stands for its node's body.
        GuiNodalNodeBase* box = GuiNodalNode::get_owner_node(static_cast<GuiNodalNodeBase*>(target), false);
        if (is_dot(box)) {
            item = box->get_anchor(downstream ? GuiNodalNodeBase::NODE_ANCHOR_LEFT : GuiNodalNodeBase::NODE_ANCHOR_RIGHT);
        } else if (!downstream && box->is_kindof(GuiNodalNode::class_info())) {
            auto* node = static_cast<GuiNodalNode*>(box);
            GuiNodalNode* shown = node->get_embedded_node() ? node->get_embedded_node() : node;
            item = shown->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT);
        }
    }
    Anchor* plug = as_plug(item);
    return plug && plug != link->get_dangling_node() ? plug : nullptr;
}

bool GuiNodalLinkEditor::check_link_target(GuiNodalItem* target)
{
    GuiNodalLink* link = get_creation_link();
    GuiNodalNodeZoneAnchor* plug = get_creation_target(target);
    return plug && link->get_dangling_node() && m_graph.check_link_creation(*link->get_dangling_node(), *plug);
}

bool GuiNodalLinkEditor::manage_link_creation(GuiNodalItem* target)
{
    GuiNodalLink* link = get_creation_link();
    if (!link) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_link_creation: no link is being made\n");
        return false;
    }
    if (target && &target->get_graph() != &m_graph) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_link_creation: the target belongs to another view; the link is "
                         "still being made\n");
        return false;
    }
    GuiNodalNodeZoneAnchor* plug = get_creation_target(target);
    GuiNodalNodeBase* start = link->get_dangling_node();
    bool made = false;
    if (plug && start && manage_link_validation(*start, *plug)) {
        // The hook may have ended the creation itself.
        if (get_creation_link() != link) return false;
        std::vector<GuiNodalLink*> const links = std::move(m_creation_links);
        m_creation_links.clear();
        for (GuiNodalLink* each : links) {
            GuiNodalNodeBase* end = each->get_dangling_node();
            if (each == link || (end && end != plug && manage_link_validation(*end, *plug))) {
                each->complete_creation(*plug);
                m_graph.add_link(each);
            } else {
                delete each;
            }
        }
        made = true;
    }
    if (plug) plug->set_is_highlighted(false);
    delete_creation_links();
    end_gesture();
    return made;
}

void GuiNodalLinkEditor::cancel_link_creation()
{
    if (!is_creating()) return;
    delete_creation_links();
    end_gesture();
}

void GuiNodalLinkEditor::delete_creation_links()
{
    std::vector<GuiNodalLink*> const links = std::move(m_creation_links);
    m_creation_links.clear();
    for (GuiNodalLink* link : links) delete link;
}

void GuiNodalLinkEditor::end_gesture()
{
    m_graph.set_link_interaction(false);
    m_graph.end_link_creation();
    m_graph.redraw();
}

// Destruction ---------------------------------------------------------------------------------------

bool GuiNodalLinkEditor::begin_destruction(GuiNodalLink& link, GuiNodalNodeBase& end)
{
    char const* fault = !is_view_link(&link)                                         ? "the link is not a link of this view"
                        : &end != link.get_node_from() && &end != link.get_node_to() ? "the node is not an end of the link"
                        : is_creating() || m_destruction_link                        ? "a link is already being edited"
                                                                                     : nullptr;
    if (fault) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.begin_destruction: " << fault << "; nothing is detached\n");
        return false;
    }
    if (!end.can_begin_link_destruction(link)) return false;
    link.begin_destruction(end);
    m_destruction_link = &link;
    m_graph.set_link_interaction(true);
    m_graph.begin_link_creation(link);
    m_graph.redraw();
    return true;
}

bool GuiNodalLinkEditor::manage_link_destruction(GuiNodalItem* target)
{
    GuiNodalLink* link = m_destruction_link;
    if (!link) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_link_destruction: no link end is being dragged\n");
        return false;
    }
    if (target && &target->get_graph() != &m_graph) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_link_destruction: the target belongs to another view; the end is "
                         "still being dragged\n");
        return false;
    }
    if (!is_view_link(link)) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_link_destruction: the link left the view while its end was "
                         "dragged; nothing more is done\n");
        m_destruction_link = nullptr;
        end_gesture();
        return false;
    }
    m_destruction_link = nullptr;
    GuiNodalNodeBase* remaining = link->get_dangling_node();
    Anchor* plug = as_plug(target);
    bool changed = false;
    // An application that removed the link itself in on_link_remove is left to it.
    auto removed_by_hook = [&] { return !is_view_link(link); };
    if (!plug || !remaining) {
        if (!m_graph.on_link_remove(*link, "RemoveLink")) {
            link->cancel_destruction();
        } else if (!removed_by_hook()) {
            link->complete_destruction(nullptr);
            m_graph.unref_link(*link, true);
        }
        changed = !is_view_link(link);
    } else if (m_graph.is_reconnecting_on_same_plug(*link, *plug)) {
        link->cancel_destruction();
    } else if (m_graph.validate_link_reconnection(*remaining, *plug, *link)) {
        link->complete_destruction(plug);
        changed = true;
    } else {
        if (m_commands) m_commands->begin_batch("RemoveLink");
        if (!m_graph.on_link_remove(*link, "")) {
            link->cancel_destruction();
        } else if (removed_by_hook()) {
            changed = true;
        } else if (!manage_link_validation(*remaining, *plug)) {
            link->complete_destruction(nullptr);
            m_graph.unref_link(*link, true);
            changed = true;
        } else {
            // Released and added again: the application sees a removal and a new link.
            link->complete_destruction(plug);
            m_graph.unref_link(*link, false);
            m_graph.add_link(link);
            changed = true;
        }
        if (m_commands) m_commands->end_batch();
    }
    if (plug) plug->set_is_highlighted(false);
    end_gesture();
    return changed;
}

void GuiNodalLinkEditor::cancel_destruction()
{
    if (!m_destruction_link) return;
    if (is_view_link(m_destruction_link)) m_destruction_link->cancel_destruction();
    m_destruction_link = nullptr;
    end_gesture();
}

// The view's pointer ----------------------------------------------------------------------------------

void GuiNodalLinkEditor::set_graph_mouse_pos(GMathVec2<int> const& pos)
{
    m_graph.set_graph_mouse_pos(pos);
    m_graph.redraw();
}

void GuiNodalLinkEditor::forget_box(GuiNodalNodeBase& box)
{
    auto on_box = [&box](GuiNodalNodeBase const* end) { return end && (end == &box || end->is_child_of(box)); };
    bool const creating = is_creating();
    auto const gone = std::remove_if(m_creation_links.begin(), m_creation_links.end(), [&](GuiNodalLink* link) {
        if (!on_box(link->get_node_from()) && !on_box(link->get_node_to())) return false;
        delete link;
        return true;
    });
    m_creation_links.erase(gone, m_creation_links.end());
    if (creating && !is_creating()) end_gesture();
    if (m_destruction_link && is_view_link(m_destruction_link) &&
        (on_box(m_destruction_link->get_node_from()) || on_box(m_destruction_link->get_node_to())))
        cancel_destruction();
}

// Knife ---------------------------------------------------------------------------------------------

void GuiNodalLinkEditor::add_knife_point(GMathVec2<int> const& point)
{
    m_knife_path.push_back(point);
    m_graph.redraw();
}

std::vector<GuiNodalLink*> GuiNodalLinkEditor::get_knife_crossed_links() const
{
    std::vector<GuiNodalLink*> crossed;
    if (m_knife_path.size() < 2) return crossed;
    float const tolerance = KNIFE_TOLERANCE * m_graph.get_zoom_ratio_r();
    std::vector<Vec> path;
    path.reserve(m_knife_path.size());
    for (GMathVec2<int> const& p : m_knife_path) path.emplace_back(static_cast<float>(p[0]), static_cast<float>(p[1]));
    Vec min = path.front(), max = path.front();
    for (Vec const& p : path) {
        min = Vec(std::min(min[0], p[0]), std::min(min[1], p[1]));
        max = Vec(std::max(max[0], p[0]), std::max(max[1], p[1]));
    }
    min -= Vec(tolerance, tolerance);
    max += Vec(tolerance, tolerance);
    for (GuiNodalLink* link : m_graph.get_links()) {
        link->update_content();
        if (link->is_curve_outside(min, max)) continue;
        std::vector<Vec> const& curve = link->get_curve();
        bool hit = false;
        for (size_t i = 0; i + 1 < curve.size() && !hit; ++i)
            for (size_t k = 0; k + 1 < path.size() && !hit; ++k)
                hit = distance_between_segments(curve[i], curve[i + 1], path[k], path[k + 1]) <= tolerance;
        if (hit) crossed.push_back(link);
    }
    return crossed;
}

bool GuiNodalLinkEditor::manage_knife_cut()
{
    if (m_knife_path.size() < 2) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.manage_knife_cut: a knife path of " << m_knife_path.size()
                                                                                 << " point(s) cuts nothing\n");
        clear_knife_path();
        return false;
    }
    std::vector<GuiNodalLink*> const links = get_knife_crossed_links();
    clear_knife_path();
    m_graph.redraw();
    return !links.empty() && m_graph.on_links_remove(links, "Disconnect");
}

// Highlight -----------------------------------------------------------------------------------------

void GuiNodalLinkEditor::set_link_highlight_mode(unsigned int const& mode)
{
    if (mode < LINK_HIGHLIGHT_IN || mode > LINK_HIGHLIGHT_IN_OUT) {
        CORE_LOG_WARNING("GuiNodalLinkEditor.set_link_highlight_mode: " << mode << " is not a mode; it stays "
                                                                        << m_link_highlight_mode << "\n");
        return;
    }
    m_link_highlight_mode = mode;
}

namespace {

// Walks are numbered in turn (interface thread only); 0 marks no walk.
uint32_t s_last_walk = 0;

uint32_t next_walk()
{
    if (++s_last_walk == 0) ++s_last_walk;
    return s_last_walk;
}

// Directions of the walk marks: boxes walked upstream and links collected as inputs, boxes
// walked downstream and links collected as outputs.
constexpr int UPSTREAM = 0;
constexpr int DOWNSTREAM = 1;

}  // namespace

template <class Collect>
void GuiNodalLinkEditor::walk_links(GuiNodalNodeBase& node, bool const& upstream, bool const& downstream,
                                    Walked& walked, Collect&& collect)
{
    if (walked.walk == 0) walked.walk = next_walk();
    uint32_t const walk = walked.walk;
    // A work list rather than recursion: long chains of nodes do not deepen the stack.
    struct Step {
        GuiNodalNodeBase* node;
        bool upstream;
        bool downstream;
    };
    std::vector<Step> work{{GuiNodalNode::get_owner_node(&node, true), upstream, downstream}};
    std::vector<GuiNodalLink*> links;
    while (!work.empty()) {
        Step step = work.back();
        work.pop_back();
        if (!step.node) continue;
        // Each node is walked once each way: its links are collected already.
        step.upstream = step.upstream && step.node->mark_walk(UPSTREAM, walk);
        step.downstream = step.downstream && step.node->mark_walk(DOWNSTREAM, walk);
        if (!step.upstream && !step.downstream) continue;
        links.clear();
        step.node->get_connexity(links);
        for (GuiNodalLink* link : links) {
            if (link->get_shape_is_active(GuiNodalLink::LINK_SHAPE_FADED)) continue;
            GuiNodalNodeBase* source = GuiNodalNode::get_owner_node(link->get_node_from(), true);
            GuiNodalNodeBase* target = GuiNodalNode::get_owner_node(link->get_node_to(), true);
            if (!source || !target || source == target) continue;
            // A link collected once is not followed again: cycles end.
            if (step.upstream && target == step.node && link->mark_walk(UPSTREAM, walk)) {
                collect(UPSTREAM, *link, walk);
                work.push_back({source, true, false});
            }
            if (step.downstream && source == step.node && link->mark_walk(DOWNSTREAM, walk)) {
                collect(DOWNSTREAM, *link, walk);
                work.push_back({target, false, true});
            }
        }
    }
}

void GuiNodalLinkEditor::compute_node_links_recursively(GuiNodalNodeBase& node, bool const& upstream,
                                                        bool const& downstream, LinkSet& inputs, LinkSet& outputs,
                                                        Walked* walked)
{
    Walked own;
    walk_links(node, upstream, downstream, walked ? *walked : own,
               [&](int const& direction, GuiNodalLink& link, uint32_t const&) {
                   (direction == UPSTREAM ? inputs : outputs).insert(&link);
               });
}

GuiNodalLinkEditor::Color GuiNodalLinkEditor::get_highlight_link_color(GuiNodalLink const& link, LinkSet const& inputs,
                                                                       LinkSet const& outputs) const
{
    auto* key = const_cast<GuiNodalLink*>(&link);
    if (outputs.count(key)) return Color(0, 255, 0);
    if (inputs.count(key)) return Color(255, 255, 0);
    auto const saved = m_coloured.find(key);
    if (saved != m_coloured.end() && link.get_bg_normal_color() == saved->second.given) return saved->second.own;
    return link.get_bg_normal_color();
}

void GuiNodalLinkEditor::restore_link_colors()
{
    // A link coloured since by someone else keeps that colour; deleted links left the list.
    for (auto const& [link, saved] : m_coloured)
        if (link->get_bg_normal_color() == saved.given) link->set_bg_normal_color(saved.own);
    m_coloured.clear();
}

void GuiNodalLinkEditor::forget_link(GuiNodalLink& link)
{
    m_coloured.erase(&link);
    if (m_destruction_link == &link) m_destruction_link = nullptr;
}

void GuiNodalLinkEditor::apply_link_highlight(std::vector<GuiNodalNodeBase*> const& selection)
{
    restore_link_colors();
    if (m_link_highlight) {
        // One walk from every selected box; outputs win over inputs for a link that is both.
        Walked walked;
        std::vector<GuiNodalLink*> collected;
        for (GuiNodalNodeBase* box : selection)
            if (box && &box->get_graph() == &m_graph)
                walk_links(*box, m_link_highlight_mode & LINK_HIGHLIGHT_IN, m_link_highlight_mode & LINK_HIGHLIGHT_OUT,
                           walked, [&](int const&, GuiNodalLink& link, uint32_t const&) { collected.push_back(&link); });
        m_coloured.reserve(collected.size());
        for (GuiNodalLink* link : collected) {
            Color const color = link->is_walked(DOWNSTREAM, walked.walk) ? Color(0, 255, 0) : Color(255, 255, 0);
            auto const [entry, added] = m_coloured.try_emplace(link, SavedColor{link->get_bg_normal_color(), color});
            if (added) link->set_bg_normal_color(color);
        }
    }
    m_graph.redraw();
}

// Drawing -------------------------------------------------------------------------------------------

void GuiNodalLinkEditor::draw(GuiDc& dc)
{
    // Their free ends follow the pointer, wherever it was last set.
    for (GuiNodalLink* link : m_creation_links) {
        link->set_dirty();
        link->draw(dc);
    }
    if (m_destruction_link && is_view_link(m_destruction_link)) {
        m_destruction_link->set_dirty();
        m_destruction_link->draw(dc);
    }
    if (m_knife_path.size() < 2) return;
    std::vector<GuiGlBatch::Point> points;
    points.reserve(m_knife_path.size());
    for (GMathVec2<int> const& p : m_knife_path) points.push_back({static_cast<float>(p[0]), static_cast<float>(p[1])});
    Color const& color = m_graph.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_RED);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_line_width(KNIFE_LINE_WIDTH);
    batch.set_color(color[0], color[1], color[2]);
    batch.add_polyline(points.data(), points.size(), false);
    batch.set_line_width(1.0f);
    gl.end_batch();
}
