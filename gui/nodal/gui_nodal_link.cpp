#include "gui/nodal/gui_nodal_link.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <sstream>

#include "gui/core/gui_color_scheme.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_curve.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiNodalLink, GuiNodalItem)

bool GuiNodalLink::st_symmetric_tangents = false;

namespace {

// Screen pixels of vertical extent above which a link is sampled every few pixels rather
// than in eight steps.
constexpr float SHORT_LINK_PIXELS = 32.0f;

}  // namespace

char const* GuiNodalLink::get_link_state_name(LinkState const& state)
{
    switch (state) {
        case LINK_STATE_NORMAL: return "LINK_STATE_NORMAL";
        case LINK_STATE_CREATION: return "LINK_STATE_CREATION";
        case LINK_STATE_DESTRUCTION: return "LINK_STATE_DESTRUCTION";
        case LINK_STATE_DESTROYED: return "LINK_STATE_DESTROYED";
        case LINK_STATE_CREATION_DND: return "LINK_STATE_CREATION_DND";
        default: return "";
    }
}

char const* GuiNodalLink::get_link_shape_name(unsigned int const& shape)
{
    switch (shape) {
        case LINK_SHAPE_PLAIN: return "LINK_SHAPE_PLAIN";
        case LINK_SHAPE_DASHED: return "LINK_SHAPE_DASHED";
        case LINK_SHAPE_DOTTED: return "LINK_SHAPE_DOTTED";
        case LINK_SHAPE_STRONG: return "LINK_SHAPE_STRONG";
        case LINK_SHAPE_WEAK: return "LINK_SHAPE_WEAK";
        case LINK_SHAPE_FADED: return "LINK_SHAPE_FADED";
        case LINK_SHAPE_BRIGHT: return "LINK_SHAPE_BRIGHT";
        default: return "";
    }
}

GuiNodalLink::GuiNodalLink(GuiNodal& graph, GuiNodalNodeBase& from, GuiNodalNodeBase& to) : GuiNodalItem(graph)
{
    init();
    join_from(&from);
    join_to(&to);
}

GuiNodalLink::GuiNodalLink(GuiNodal& graph, GuiNodalNodeBase* end, bool end_is_to) : GuiNodalItem(graph)
{
    init();
    if (!end) CORE_LOG_WARNING("GuiNodalLink: a link is created from no end; both ends follow the pointer\n");
    end_is_to ? join_to(end) : join_from(end);
    m_state = LINK_STATE_CREATION;
}

void GuiNodalLink::init()
{
    using Scheme = GuiColorScheme;
    GuiNodal& graph = get_graph();
    set_bg_normal_color(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_LINK));
    set_bg_highlight_color(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_HIGHLIGHT));
    set_bg_selected_color(graph.get_color(Scheme::GROUP_NORMAL, Scheme::ROLE_ACCENT));
    set_bg_disabled_color(graph.get_color(Scheme::GROUP_DISABLED, Scheme::ROLE_LINK));
    set_selectable();
}

GuiNodalLink::~GuiNodalLink()
{
    get_graph().forget_link(*this);
    leave_bundle();
    join_from(nullptr);
    join_to(nullptr);
}

// Ends ----------------------------------------------------------------------------------------------

void GuiNodalLink::join_from(GuiNodalNodeBase* node)
{
    if (m_from) m_from->remove_link(*this);
    m_from = node;
    if (m_from) m_from->add_link(*this);
}

void GuiNodalLink::join_to(GuiNodalNodeBase* node)
{
    if (m_to) m_to->remove_link(*this);
    m_to = node;
    if (m_to) m_to->add_link(*this);
}

void GuiNodalLink::set_node_from(GuiNodalNodeBase* node)
{
    join_from(node);
    set_dirty();
}

void GuiNodalLink::set_node_to(GuiNodalNodeBase* node)
{
    join_to(node);
    set_dirty();
}

void GuiNodalLink::forget_end(GuiNodalNodeBase const& end)
{
    if (m_from == &end) m_from = nullptr;
    if (m_to == &end) m_to = nullptr;
    if (m_destruction_node == &end) m_destruction_node = nullptr;
    set_dirty();
}

namespace {

// A plug or zone stands for the node that holds it, a node shown inside another for that one,
// and a box hidden in a subnet for the subnet.
GuiNodalNodeBase* visible(GuiNodalNodeBase* node)
{
    node = GuiNodalNode::get_owner_node(node, true);
    while (node && node->get_is_hidden() && node->get_parent() &&
           node->get_parent()->is_kindof(GuiNodalSubnet::class_info()))
        node = node->get_parent();
    return node;
}

// Where the end attaches: a plug that shows, itself; otherwise the box that stands for it (a
// hidden plug's node side, an embedded node's host, a subnet holding it).
GuiNodalNodeBase const* attach(GuiNodalNodeBase* display)
{
    GuiNodalNodeBase* shown = visible(display);
    if (!shown || shown == display) return display;
    bool const showing_plug = display->is_kindof(GuiNodalNodeZoneAnchor::class_info()) && !display->get_is_hidden() &&
                              !shown->is_kindof(GuiNodalSubnet::class_info());
    return showing_plug ? display : shown;
}

}  // namespace

GuiNodalNodeBase* GuiNodalLink::get_visible_node_from() const
{
    return visible(get_display_node_from());
}

GuiNodalNodeBase* GuiNodalLink::get_visible_node_to() const
{
    return visible(get_display_node_to());
}

GuiNodalNodeBase* GuiNodalLink::get_dangling_node() const
{
    switch (m_state) {
        case LINK_STATE_DESTRUCTION: return m_destruction_node == m_from ? m_to : m_from;
        case LINK_STATE_CREATION:
        case LINK_STATE_CREATION_DND: return m_from ? m_from : m_to;
        default: return nullptr;
    }
}

bool GuiNodalLink::has_compact_node_to() const
{
    GuiNodalNodeBase const* shown = get_visible_node_to();
    // A dot always shows its plugs: links run through it.
    if (!shown || !shown->is_kindof(GuiNodalNode::class_info()) || shown->is_kindof(GuiNodalDot::class_info()))
        return false;
    auto const* node = static_cast<GuiNodalNode const*>(shown);
    return node->is_collapsed() || node->get_zones_display_mode() == GuiNodalNode::ZONE_DISPLAY_NONE;
}

bool GuiNodalLink::is_showing_tail_only() const
{
    return m_state == LINK_STATE_NORMAL && m_from && m_to && has_compact_node_to();
}

GuiNodalNodeZoneAnchor* GuiNodalLink::get_highlighted_plug() const
{
    for (GuiNodalNodeBase* end : {m_to, m_from})
        if (!is_free(end) && end->get_is_highlighted() && end->is_kindof(GuiNodalNodeZoneAnchor::class_info()))
            return static_cast<GuiNodalNodeZoneAnchor*>(end);
    return nullptr;
}

// State ---------------------------------------------------------------------------------------------

void GuiNodalLink::set_state(LinkState const& state)
{
    if (!*get_link_state_name(state)) {
        CORE_LOG_WARNING("GuiNodalLink.set_state: " << static_cast<int>(state) << " is not a link state; it stays "
                                                    << get_link_state_name(m_state) << "\n");
        return;
    }
    m_state = state;
    set_dirty();
}

void GuiNodalLink::complete_creation(GuiNodalNodeBase& node)
{
    m_state = LINK_STATE_NORMAL;
    m_highlighted = false;
    if (m_to)
        set_node_from(&node);
    else
        set_node_to(&node);
}

void GuiNodalLink::begin_destruction(GuiNodalNodeBase& node)
{
    if (&node != m_from && &node != m_to) {
        CORE_LOG_WARNING("GuiNodalLink.begin_destruction: the node is not an end of the link; nothing is detached\n");
        return;
    }
    m_destruction_node = &node;
    m_state = LINK_STATE_DESTRUCTION;
    set_dirty();
}

void GuiNodalLink::complete_destruction(GuiNodalNodeBase* node)
{
    if (m_state != LINK_STATE_DESTRUCTION) return;
    if (!node) {
        join_from(nullptr);
        join_to(nullptr);
        m_destruction_node = nullptr;
        m_state = LINK_STATE_DESTROYED;
        leave_bundle();
        m_curve.clear();
        m_tangents.clear();
        return;
    }
    if (m_destruction_node == m_from)
        join_from(node);
    else
        join_to(node);
    m_destruction_node = nullptr;
    m_state = LINK_STATE_NORMAL;
    m_highlighted = false;
    set_dirty();
    update_content();
}

void GuiNodalLink::cancel_destruction()
{
    if (m_state != LINK_STATE_DESTRUCTION) return;
    m_destruction_node = nullptr;
    m_state = LINK_STATE_NORMAL;
    set_dirty();
}

// Shapes --------------------------------------------------------------------------------------------

void GuiNodalLink::set_shape(unsigned int const& shapes)
{
    m_shapes = (shapes & STYLE_MASK) ? shapes | (m_shapes & SECOND_MASK) : shapes | (m_shapes & STYLE_MASK);
    set_dirty();
}

// Bundle --------------------------------------------------------------------------------------------

void GuiNodalLink::set_brotherhood(std::vector<GuiNodalLink*> const& brothers)
{
    std::vector<GuiNodalLink*> kept;
    kept.reserve(brothers.size());
    for (size_t i = 0; i < brothers.size(); ++i) {
        GuiNodalLink* brother = brothers[i];
        char const* fault = !brother                                                 ? "is null"
                            : brother == this                                        ? "is the link itself"
                            : &brother->get_graph() != &get_graph()                  ? "belongs to another view"
                            : std::find(kept.begin(), kept.end(), brother) != kept.end() ? "is listed twice"
                                                                                     : nullptr;
        if (fault)
            CORE_LOG_WARNING("GuiNodalLink.set_brotherhood: entry " << i << " " << fault << "; it is left out\n");
        else
            kept.push_back(brother);
    }
    // A list left empty by its faults is refused: only an empty list asks to leave the bundle.
    if (kept.empty() && !brothers.empty()) return;
    leave_bundle();
    for (GuiNodalLink* brother : kept) brother->leave_bundle();
    if (kept.empty()) return;
    kept.insert(kept.begin(), this);
    auto const bundle = std::make_shared<std::vector<GuiNodalLink*>>(std::move(kept));
    for (GuiNodalLink* link : *bundle) link->m_bundle = bundle;
}

std::vector<GuiNodalLink*> GuiNodalLink::get_brotherhood() const
{
    std::vector<GuiNodalLink*> brothers;
    if (m_bundle)
        for (GuiNodalLink* link : *m_bundle)
            if (link != this) brothers.push_back(link);
    return brothers;
}

GuiNodalLink* GuiNodalLink::get_highlighted_brother() const
{
    if (m_bundle)
        for (GuiNodalLink* link : *m_bundle)
            if (link != this && link->get_is_highlighted()) return link;
    return nullptr;
}

void GuiNodalLink::leave_bundle()
{
    if (!m_bundle) return;
    std::shared_ptr<std::vector<GuiNodalLink*>> const bundle = std::move(m_bundle);
    m_bundle.reset();
    bundle->erase(std::remove(bundle->begin(), bundle->end(), this), bundle->end());
    if (bundle->size() == 1) bundle->front()->m_bundle.reset();
}

std::vector<GuiNodalLink*> GuiNodalLink::get_bundle_along()
{
    if (!m_bundle || m_state != LINK_STATE_NORMAL) return {this};
    int const fx = get_from_x(), fy = get_from_y(), tx = get_to_x(), ty = get_to_y();
    std::vector<GuiNodalLink*> along;
    for (GuiNodalLink* link : *m_bundle)
        if (link == this || (link->m_state == LINK_STATE_NORMAL && link->get_from_x() == fx &&
                             link->get_from_y() == fy && link->get_to_x() == tx && link->get_to_y() == ty))
            along.push_back(link);
    return along;
}

// Curve ---------------------------------------------------------------------------------------------

bool GuiNodalLink::is_free(GuiNodalNodeBase const* end) const
{
    return !end || (m_state == LINK_STATE_DESTRUCTION && m_destruction_node == end);
}

GMathVec2<int> GuiNodalLink::get_free_end_point() const
{
    // A link dragged in from another view starts where the drag began.
    return m_state == LINK_STATE_CREATION_DND ? m_dnd_from : get_graph().get_graph_mouse_pos();
}

namespace {

// A node grown under the pointer is drawn scaled around its centre: a point attached to it
// moves with it. The node's own attach points already carry the scale in their offsets and
// move by the box's corner; a plug's moves away from the centre.
int on_grown(GuiNodalNodeBase const* target, int const& value, int const& axis)
{
    GuiNodalNodeBase const* shown = visible(const_cast<GuiNodalNodeBase*>(target));
    if (!shown || !shown->is_kindof(GuiNodalNode::class_info())) return value;
    float const scale = static_cast<GuiNodalNode const*>(shown)->get_animated_scale();
    if (scale == 1.0f) return value;
    if (target == shown) {
        GMathVec2<float> offset;
        shown->get_zoomed_offset(offset);
        return value + static_cast<int>(std::lround(offset[axis]));
    }
    GMathVec2<int> const& pos = shown->get_world_pos();
    float const centre = axis == 0 ? pos[0] + shown->get_width() / 2.0f : pos[1] - shown->get_height() / 2.0f;
    return static_cast<int>(std::lround(centre + (value - centre) * scale));
}

}  // namespace

int GuiNodalLink::get_from_x() const
{
    if (is_free(m_from)) return get_free_end_point()[0];
    GuiNodalNodeBase const* target = attach(get_display_node_from());
    return on_grown(target, target->get_out_link_x(), 0);
}

int GuiNodalLink::get_from_y() const
{
    if (is_free(m_from)) return get_free_end_point()[1];
    GuiNodalNodeBase const* target = attach(get_display_node_from());
    return on_grown(target, target->get_out_link_y(), 1);
}

int GuiNodalLink::get_to_x() const
{
    if (is_free(m_to)) return get_free_end_point()[0];
    GuiNodalNodeBase const* target = attach(get_display_node_to());
    return on_grown(target, target->get_in_link_x(), 0);
}

int GuiNodalLink::get_to_y() const
{
    if (is_free(m_to)) return get_free_end_point()[1];
    GuiNodalNodeBase const* target = attach(get_display_node_to());
    return on_grown(target, target->get_in_link_y(), 1);
}

void GuiNodalLink::compute_curve(int const& samples)
{
    m_curve.clear();
    m_tangents.clear();
    m_tail_only = false;
    if (m_state == LINK_STATE_DESTROYED) return;
    float const fx = static_cast<float>(get_from_x());
    float const fy = static_cast<float>(get_from_y());
    float const tx = static_cast<float>(get_to_x());
    float const ty = static_cast<float>(get_to_y());
    float const dx = tx - fx;
    float const dy = ty - fy;
    bool const from_higher = fy > ty;
    // Handles: from the from-end and into the to-end.
    GMathVec2<float> out(0.0f, 0.2f * dy);
    GMathVec2<float> in(0.0f, -0.2f * dy);
    if (fx > tx) {
        // Backwards: the link loops out to the right and back in from the left.
        out[0] = 100.0f;
        in[0] = -100.0f;
        if (!from_higher) std::swap(out[1], in[1]);
    } else if (st_symmetric_tangents) {
        float const h = std::max(0.75f * std::fabs(dx), 25.0f);
        out[0] = h;
        in[0] = -h;
        float const lo = std::min(std::fabs(dx), std::fabs(dy));
        float const hi = std::max(std::fabs(dx), std::fabs(dy));
        float const ratio = lo == 0.0f || hi == 0.0f ? 0.5f : lo / hi;
        out = out * ratio;
        in = in * ratio;
    } else {
        out = GMathVec2<float>(0.4f * dx, from_higher ? 0.4f * dy : 0.0f);
        in = GMathVec2<float>(-0.4f * dx, from_higher ? 0.0f : -0.4f * dy);
    }
    GuiGlCurve const curve(GuiGlCurve::Point{fx, fy}, GuiGlCurve::Point{fx + out[0], fy + out[1]},
                           GuiGlCurve::Point{tx + in[0], ty + in[1]}, GuiGlCurve::Point{tx, ty});
    float const ady = std::fabs(dy);
    float step = ady * get_graph().get_zoom_ratio() > SHORT_LINK_PIXELS ? 3.0f * get_graph().get_zoom_ratio_r()
                                                                          : ady / 8.0f;
    if (samples > 0) step = std::min(std::max(ady / static_cast<float>(samples), step), ady / 24.0f);
    int const count = step < 1e-8f ? 0 : static_cast<int>(ady / step);
    // Both ends are always kept: a level link is its straight segment.
    int const steps = std::max(count, 1);
    m_curve.reserve(static_cast<size_t>(steps) + 1);
    m_tangents.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        float const t = static_cast<float>(i) / static_cast<float>(steps);
        GuiGlCurve::Point const p = curve.evaluate(t);
        m_curve.emplace_back(p.x, p.y);
        // The derivative of the cubic.
        float const u = 1.0f - t;
        auto const c = [&curve](int k) { return curve.get_control_point(static_cast<size_t>(k)); };
        float const dxdt = 3 * u * u * (c(1).x - c(0).x) + 6 * u * t * (c(2).x - c(1).x) + 3 * t * t * (c(3).x - c(2).x);
        float const dydt = 3 * u * u * (c(1).y - c(0).y) + 6 * u * t * (c(2).y - c(1).y) + 3 * t * t * (c(3).y - c(2).y);
        m_tangents.emplace_back(dxdt, dydt);
    }
    m_tail_only = is_showing_tail_only();
    if (m_tail_only) cut_to_tail();
    m_curve_min = m_curve_max = m_curve.front();
    for (GMathVec2<float> const& p : m_curve) {
        m_curve_min = GMathVec2<float>(std::min(m_curve_min[0], p[0]), std::min(m_curve_min[1], p[1]));
        m_curve_max = GMathVec2<float>(std::max(m_curve_max[0], p[0]), std::max(m_curve_max[1], p[1]));
    }
}

bool GuiNodalLink::is_curve_outside(GMathVec2<float> const& min, GMathVec2<float> const& max) const
{
    return m_curve.empty() || m_curve_max[0] < min[0] || m_curve_min[0] > max[0] || m_curve_max[1] < min[1] ||
           m_curve_min[1] > max[1];
}

void GuiNodalLink::cut_to_tail()
{
    float left = TAIL_PIXELS * get_graph().get_zoom_ratio_r();
    for (size_t i = 0; i + 1 < m_curve.size(); ++i) {
        GMathVec2<float> const step = m_curve[i + 1] - m_curve[i];
        float const length = std::hypot(step[0], step[1]);
        if (length >= left) {
            m_curve[i + 1] = m_curve[i] + step * (left / length);
            m_curve.resize(i + 2);
            m_tangents.resize(i + 2);
            return;
        }
        left -= length;
    }
}

void GuiNodalLink::get_middle(GMathVec2<float>& point, GMathVec2<float>& direction) const
{
    float total = 0.0f;
    for (size_t i = 0; i + 1 < m_curve.size(); ++i) {
        GMathVec2<float> const step = m_curve[i + 1] - m_curve[i];
        total += std::hypot(step[0], step[1]);
    }
    float left = 0.5f * total;
    point = m_curve.empty() ? GMathVec2<float>() : m_curve.front();
    direction = m_tangents.empty() ? GMathVec2<float>(1.0f, 0.0f) : m_tangents.front();
    for (size_t i = 0; i + 1 < m_curve.size(); ++i) {
        GMathVec2<float> const step = m_curve[i + 1] - m_curve[i];
        float const length = std::hypot(step[0], step[1]);
        if (length <= 0.0f) continue;
        direction = step;
        if (length >= left) {
            point = m_curve[i] + step * (left / length);
            return;
        }
        left -= length;
    }
}

void GuiNodalLink::update_content()
{
    // Collapsing the to-end box, or changing which plugs it shows, does not mark its links.
    if (!get_is_dirty() && m_tail_only == is_showing_tail_only()) return;
    compute_curve();
    set_draw_state(DRAW_STATE_UP_TO_DATE);
}

float GuiNodalLink::get_distance(GMathVec2<float> const& point) const
{
    float best = FLT_MAX;
    for (size_t i = 0; i + 1 < m_curve.size(); ++i) {
        GMathVec2<float> const a = m_curve[i];
        GMathVec2<float> const ab = m_curve[i + 1] - a;
        GMathVec2<float> const ap = point - a;
        float const length2 = ab[0] * ab[0] + ab[1] * ab[1];
        float const t = length2 > 0.0f ? std::clamp((ap[0] * ab[0] + ap[1] * ab[1]) / length2, 0.0f, 1.0f) : 0.0f;
        GMathVec2<float> const closest = a + ab * t;
        best = std::min(best, std::hypot(point[0] - closest[0], point[1] - closest[1]));
    }
    return best;
}

// Drawing -------------------------------------------------------------------------------------------

namespace {

// Dashes and dots, in screen pixels: drawn length then gap.
constexpr float DASH[2] = {8.0f, 6.0f};
constexpr float DOT[2] = {2.0f, 4.0f};
constexpr float ARROW_LENGTH = 10.0f;
// Screen pixels: the radius of the dots where a link meets its ends, the gap between a
// highlighted plug and its ring, the gap between the curve and its text, the margin of a
// text's box.
constexpr float CONNECTOR_RADIUS = 2.5f;
constexpr float RING_GAP = 3.0f;
constexpr float TEXT_GAP = 4.0f;
constexpr float TEXT_MARGIN = 2.0f;

std::vector<GuiGlBatch::Point> to_points(std::vector<GMathVec2<float>> const& curve)
{
    std::vector<GuiGlBatch::Point> points;
    points.reserve(curve.size());
    for (GMathVec2<float> const& p : curve) points.push_back({p[0], p[1]});
    return points;
}

// Adds the polyline cut into pieces `on` long with `off` gaps between them (graph units).
void add_broken(GuiGlBatch& batch, std::vector<GuiGlBatch::Point> const& points, float on, float off)
{
    std::vector<GuiGlBatch::Point> piece;
    bool drawing = true;
    float left = on;  // of the current dash or gap
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        GuiGlBatch::Point a = points[i];
        GuiGlBatch::Point const b = points[i + 1];
        float length = std::hypot(b.x - a.x, b.y - a.y);
        if (drawing && piece.empty()) piece.push_back(a);
        while (length > left) {
            float const t = left / length;
            GuiGlBatch::Point const cut{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            if (drawing) {
                piece.push_back(cut);
                batch.add_polyline(piece.data(), piece.size(), false);
                piece.clear();
            } else {
                piece.push_back(cut);
            }
            drawing = !drawing;
            length -= left;
            left = drawing ? on : off;
            a = cut;
        }
        left -= length;
        if (drawing) piece.push_back(b);
    }
    if (drawing && piece.size() > 1) batch.add_polyline(piece.data(), piece.size(), false);
}

// A filled arrowhead `length` long whose tip is at `tip`, pointing along `direction`.
void add_arrow(GuiGlBatch& batch, GMathVec2<float> const& tip, GMathVec2<float> direction, float length)
{
    float const norm = std::hypot(direction[0], direction[1]);
    if (!(norm > 0.0f)) return;
    direction = direction * (length / norm);
    GMathVec2<float> const side(-direction[1] * 0.5f, direction[0] * 0.5f);
    GMathVec2<float> const base = tip - direction;
    batch.add_triangle({tip[0], tip[1]}, {base[0] + side[0], base[1] + side[1]}, {base[0] - side[0], base[1] - side[1]});
}

}  // namespace

GuiNodalItem::Color const& GuiNodalLink::get_line_color(bool highlighted) const
{
    return highlighted || get_shape_is_active(LINK_SHAPE_BRIGHT) ? get_bg_highlight_color() : get_bg_color();
}

unsigned char GuiNodalLink::get_line_alpha() const
{
    if (get_shape_is_active(LINK_SHAPE_FADED)) return 70;
    return get_shape_is_active(LINK_SHAPE_WEAK) ? 150 : 255;
}

float GuiNodalLink::get_line_width() const
{
    if (get_shape_is_active(LINK_SHAPE_WEAK)) return 1.0f;
    return get_shape_is_active(LINK_SHAPE_STRONG) ? 3.0f : 1.5f;
}

bool GuiNodalLink::get_decorated_text(CoreString& text, bool& arrow, bool& boxed, bool& on_highlight) const
{
    text = CoreString();
    arrow = boxed = on_highlight = false;
    return false;
}

void GuiNodalLink::draw(GuiDc& dc)
{
    update_content();
    if (m_curve.size() < 2) return;
    GuiNodalLink* shown = this;  // whose decoration is drawn: the highlighted brother's, if any
    float bundle = 0.0f;         // pixels added to the width
    if (m_bundle) {
        std::vector<GuiNodalLink*> const along = get_bundle_along();
        if (along.front() != this) return;  // the first of them draws the bundle
        for (GuiNodalLink* link : along)
            if (link->get_is_highlighted()) {
                shown = link;
                break;
            }
        bundle = std::min(static_cast<float>(along.size() - 1), MAX_BUNDLE_PIXELS);
    }
    bool const highlighted = shown->get_is_highlighted();
    float const unit = get_graph().get_zoom_ratio_r();  // graph units per screen pixel
    Color const& color = get_line_color(highlighted);
    std::vector<GuiGlBatch::Point> const points = to_points(m_curve);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_line_width(get_line_width() + bundle);
    batch.set_color(color[0], color[1], color[2], get_line_alpha());
    if (get_shape_is_active(LINK_SHAPE_DASHED))
        add_broken(batch, points, DASH[0] * unit, DASH[1] * unit);
    else if (get_shape_is_active(LINK_SHAPE_DOTTED))
        add_broken(batch, points, DOT[0] * unit, DOT[1] * unit);
    else
        batch.add_polyline(points.data(), points.size(), false);
    batch.set_line_width(1.0f);
    // Along the curve's last tangent, its tip on the end (of the tail, for a tail).
    if (get_shape_is_active(LINK_SHAPE_ARROW) && !m_tangents.empty())
        add_arrow(batch, m_curve.back(), m_tangents.back(), ARROW_LENGTH * unit);
    add_connectors(batch, highlighted);
    CoreString text;
    bool arrow = false, boxed = false, on_highlight = false;
    shown->get_decorated_text(text, arrow, boxed, on_highlight);
    bool const with_text = !text.is_empty() && (highlighted || !on_highlight);
    shown->draw_decorated(dc, highlighted, with_text, arrow, boxed);
    draw_highlighted_plug(dc);
    gl.end_batch();
}

void GuiNodalLink::draw_connector(GuiDc& dc, bool highlighted)
{
    update_content();
    if (m_curve.size() < 2) return;
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    add_connectors(batch, highlighted);
    gl.end_batch();
}

void GuiNodalLink::add_connectors(GuiGlBatch& batch, bool highlighted) const
{
    float const radius = CONNECTOR_RADIUS * get_graph().get_zoom_ratio_r();
    Color const& color = get_line_color(highlighted);
    batch.set_color(color[0], color[1], color[2], get_line_alpha());
    if (!is_free(m_from)) batch.add_circlef(m_curve.front()[0], m_curve.front()[1], radius);
    if (!is_free(m_to) && !m_tail_only) batch.add_circlef(m_curve.back()[0], m_curve.back()[1], radius);
}

void GuiNodalLink::draw_decorated(GuiDc& dc, bool highlighted, bool text, bool arrow, bool boxed)
{
    update_content();
    if (m_curve.size() < 2 || (!text && !arrow)) return;
    float const unit = get_graph().get_zoom_ratio_r();
    GMathVec2<float> middle, direction;
    get_middle(middle, direction);
    Color const& color = get_line_color(highlighted);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    if (arrow) {
        // Centred on the middle.
        float const norm = std::hypot(direction[0], direction[1]);
        GMathVec2<float> const half = norm > 0.0f ? direction * (0.5f * ARROW_LENGTH * unit / norm) : direction;
        batch.set_color(color[0], color[1], color[2], get_line_alpha());
        add_arrow(batch, middle + half, direction, ARROW_LENGTH * unit);
    }
    CoreString label;
    bool unused_arrow = false, unused_boxed = false, unused_on_highlight = false;
    if (text) get_decorated_text(label, unused_arrow, unused_boxed, unused_on_highlight);
    if (!label.is_empty()) {
        GuiNodal& graph = get_graph();
        GuiFont const& font = graph.get_font();
        float const width = static_cast<float>(graph.get_text_width(font, label));
        float const size = static_cast<float>(font.get_size());
        float const margin = TEXT_MARGIN * unit;
        // Centred above the curve, clear of the line and of the arrow.
        float const x = middle[0] - 0.5f * width;
        float const baseline = middle[1] + TEXT_GAP * unit + 0.5f * ARROW_LENGTH * unit + margin;
        if (boxed) {
            Color const& back =
                graph.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_VIEWPORT_BACKGROUND);
            float const bottom = baseline - 0.2f * size - margin;
            batch.set_color(back[0], back[1], back[2]);
            batch.add_rectf(x - margin, bottom, width + 2.0f * margin, size + 2.0f * margin);
            batch.set_color(color[0], color[1], color[2]);
            batch.add_rect(x - margin, bottom, width + 2.0f * margin, size + 2.0f * margin);
        }
        graph.add_text(gl, font, label, x, baseline, color);
    }
    gl.end_batch();
}

void GuiNodalLink::draw_highlighted_plug(GuiDc& dc)
{
    GuiNodalNodeZoneAnchor const* plug = get_highlighted_plug();
    if (!plug || plug->get_is_hidden()) return;
    float const unit = get_graph().get_zoom_ratio_r();
    // Around the plug's shape, drawn at its node's scale.
    float const scale = plug->get_parent() ? plug->get_parent()->get_scale() : 1.0f;
    float const radius = 0.5f * static_cast<float>(plug->get_width()) * plug->get_shape_factor() * scale + RING_GAP * unit;
    GMathVec2<int> const& at = plug->get_world_pos();
    Color const& color = get_bg_highlight_color();
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_line_width(2.0f);
    batch.set_color(color[0], color[1], color[2]);
    batch.add_circle(static_cast<float>(at[0]), static_cast<float>(at[1]), radius);
    batch.set_line_width(1.0f);
    gl.end_batch();
}

void GuiNodalLink::draw_select(GuiDc& dc, float const& width)
{
    update_content();
    if (m_curve.size() < 2) return;
    std::vector<GuiGlBatch::Point> const points = to_points(m_curve);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_line_width(width);
    Color const& pick = get_pick_color();
    batch.set_color(pick[0], pick[1], pick[2]);
    batch.add_polyline(points.data(), points.size(), false);
    batch.set_line_width(1.0f);
    gl.end_batch();
}

// Debugging -----------------------------------------------------------------------------------------

namespace {

// "GuiNodalNode \"name\"", "GuiNodalNodeZoneAnchor NODE_ANCHOR_LEFT of ...", "nothing".
std::string describe(GuiNodalNodeBase const* node)
{
    if (!node) return "nothing";
    std::ostringstream out;
    out << node->get_class_info().get_name();
    if (node->is_kindof(GuiNodalNode::class_info()))
        out << " \"" << static_cast<GuiNodalNode const*>(node)->get_name() << "\"";
    if (node->is_kindof(GuiNodalNodeZoneAnchor::class_info()))
        out << " " << GuiNodalNodeBase::get_node_anchor_name(static_cast<GuiNodalNodeZoneAnchor const*>(node)->get_side());
    GMathVec2<int> const& at = node->get_world_pos();
    out << " at (" << at[0] << ", " << at[1] << ")";
    if (node->is_kindof(GuiNodalNodeZone::class_info())) out << " of " << describe(node->get_parent());
    return out.str();
}

}  // namespace

void GuiNodalLink::debug() const
{
    std::ostringstream shapes;
    shapes << "0x" << std::hex << m_shapes << std::dec;
    for (unsigned int bit = 1; bit <= STYLE_MASK; bit <<= 1)
        if (m_shapes & bit) shapes << " " << get_link_shape_name(bit);
    CORE_LOG_INFO("GuiNodalLink.debug: " << get_link_state_name(m_state) << ", shapes " << shapes.str()
                                         << (m_highlighted ? ", highlighted" : "") << "\n  from "
                                         << describe(m_from) << ", shown at " << describe(get_visible_node_from())
                                         << "\n  to " << describe(m_to) << ", shown at "
                                         << describe(get_visible_node_to()) << "\n  curve of " << m_curve.size()
                                         << " points" << (m_tail_only ? " (its tail only)" : "") << ", "
                                         << get_brotherhood().size() << " brothers\n");
}
