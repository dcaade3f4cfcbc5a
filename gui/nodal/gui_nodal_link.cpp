#include "gui/nodal/gui_nodal_link.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "gui/core/gui_color_scheme.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_curve.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
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
    while (node && node->is_kindof(GuiNodalNodeZone::class_info()) && node->get_parent()) node = node->get_parent();
    while (node && node->is_kindof(GuiNodalNode::class_info()))
        if (GuiNodalNode* host = static_cast<GuiNodalNode*>(node)->get_embedding_node())
            node = host;
        else
            break;
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

int GuiNodalLink::get_from_x() const
{
    return is_free(m_from) ? get_free_end_point()[0] : attach(get_display_node_from())->get_out_link_x();
}

int GuiNodalLink::get_from_y() const
{
    return is_free(m_from) ? get_free_end_point()[1] : attach(get_display_node_from())->get_out_link_y();
}

int GuiNodalLink::get_to_x() const
{
    return is_free(m_to) ? get_free_end_point()[0] : attach(get_display_node_to())->get_in_link_x();
}

int GuiNodalLink::get_to_y() const
{
    return is_free(m_to) ? get_free_end_point()[1] : attach(get_display_node_to())->get_in_link_y();
}

void GuiNodalLink::compute_curve(int const& samples)
{
    m_curve.clear();
    m_tangents.clear();
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
}

void GuiNodalLink::update_content()
{
    if (!get_is_dirty()) return;
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

}  // namespace

void GuiNodalLink::draw(GuiDc& dc)
{
    update_content();
    if (m_curve.size() < 2) return;
    float const unit = get_graph().get_zoom_ratio_r();  // graph units per screen pixel
    Color color = m_highlighted || get_shape_is_active(LINK_SHAPE_BRIGHT) ? get_bg_highlight_color() : get_bg_color();
    unsigned char alpha = 255;
    float width = 1.5f;
    if (get_shape_is_active(LINK_SHAPE_STRONG)) width = 3.0f;
    if (get_shape_is_active(LINK_SHAPE_WEAK)) {
        width = 1.0f;
        alpha = 150;
    }
    if (get_shape_is_active(LINK_SHAPE_FADED)) alpha = 70;
    std::vector<GuiGlBatch::Point> const points = to_points(m_curve);
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    GuiGlBatch& batch = gl.begin_batch();
    batch.load_gl_matrices();
    batch.set_line_width(width);
    batch.set_color(color[0], color[1], color[2], alpha);
    if (get_shape_is_active(LINK_SHAPE_DASHED))
        add_broken(batch, points, DASH[0] * unit, DASH[1] * unit);
    else if (get_shape_is_active(LINK_SHAPE_DOTTED))
        add_broken(batch, points, DOT[0] * unit, DOT[1] * unit);
    else
        batch.add_polyline(points.data(), points.size(), false);
    batch.set_line_width(1.0f);
    if (get_shape_is_active(LINK_SHAPE_ARROW) && !m_tangents.empty()) {
        // Along the curve's last tangent, its tip on the end.
        GMathVec2<float> const tip = m_curve.back();
        GMathVec2<float> direction = m_tangents.back();
        float const norm = std::hypot(direction[0], direction[1]);
        if (norm > 0.0f) {
            direction = direction * (ARROW_LENGTH * unit / norm);
            GMathVec2<float> const side(-direction[1] * 0.5f, direction[0] * 0.5f);
            GMathVec2<float> const base = tip - direction;
            batch.add_triangle({tip[0], tip[1]}, {base[0] + side[0], base[1] + side[1]},
                               {base[0] - side[0], base[1] - side[1]});
        }
    }
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
