#include "gui/curve/gui_graph_item.h"

#include <algorithm>
#include <cmath>

#include "gui/curve/gui_graph_widget.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(GuiGraphItem, EventObject)
CORE_IMPLEMENT_CLASS(GuiGraphPoint, GuiGraphItem)
CORE_IMPLEMENT_CLASS(GuiGraphTangent, GuiGraphPoint)
CORE_IMPLEMENT_CLASS(GuiGraphCurve, GuiGraphItem)
CORE_IMPLEMENT_CLASS(GuiGraphTimeline, GuiGraphItem)
CORE_IMPLEMENT_CLASS(GuiGraphGizmo, GuiGraphItem)
CORE_IMPLEMENT_CLASS(GuiGraphGizmoHandle, GuiGraphItem)

namespace {

constexpr double TOLERANCE = 1e-8;
// A dashed part: 4 pixels drawn, 4 left out.
constexpr double DASH = 4.0;

GuiGlBatch& batch_of(GuiDc& dc)
{
    return static_cast<GuiGlWidgetDc&>(dc).get_batch();
}

void set_color(GuiGlBatch& batch, GMathVec3<unsigned char> const& color, unsigned char const& alpha = 255)
{
    batch.set_color(color[0], color[1], color[2], alpha);
}

void add_disc(GuiGlBatch& batch, GMathVec2<double> const& centre, float const& radius)
{
    batch.add_circlef(static_cast<float>(centre[0]), static_cast<float>(centre[1]), radius);
}

void add_strip(GuiGlBatch& batch, std::vector<GuiGlBatch::Point> const& points)
{
    if (points.size() >= 2) batch.add_polyline(points.data(), points.size(), false);
}

// The strip cut into dashes along its length.
void add_dashed_strip(GuiGlBatch& batch, std::vector<GuiGlBatch::Point> const& points)
{
    double phase = 0.0;
    for (size_t i = 1; i < points.size(); ++i) {
        double const x0 = points[i - 1].x, y0 = points[i - 1].y;
        double const dx = points[i].x - x0, dy = points[i].y - y0;
        double const length = std::hypot(dx, dy);
        double along = 0.0;
        while (along < length) {
            double const in_dash = std::fmod(phase, 2.0 * DASH);
            double const step = std::min(length - along, (in_dash < DASH ? DASH : 2.0 * DASH) - in_dash);
            if (in_dash < DASH && length > 0.0)
                batch.add_line(static_cast<float>(x0 + dx * along / length), static_cast<float>(y0 + dy * along / length),
                               static_cast<float>(x0 + dx * (along + step) / length),
                               static_cast<float>(y0 + dy * (along + step) / length));
            along += step;
            phase += step;
        }
    }
}

GuiGlBatch::Point to_point(GMathVec2<double> const& p)
{
    return {static_cast<float>(p[0]), static_cast<float>(p[1])};
}

}  // namespace

// --- Item ---

char const* GuiGraphItem::get_graph_item_state_name(unsigned int const& state)
{
    switch (state) {
    case GRAPH_ITEM_STATE_SELECTED: return "GRAPH_ITEM_STATE_SELECTED";
    case GRAPH_ITEM_STATE_HIGHLIGHTED: return "GRAPH_ITEM_STATE_HIGHLIGHTED";
    case GRAPH_ITEM_STATE_DISABLED: return "GRAPH_ITEM_STATE_DISABLED";
    case GRAPH_ITEM_STATE_PRESELECTED: return "GRAPH_ITEM_STATE_PRESELECTED";
    case GRAPH_ITEM_STATE_MOVING: return "GRAPH_ITEM_STATE_MOVING";
    case GRAPH_ITEM_STATE_HIDDEN: return "GRAPH_ITEM_STATE_HIDDEN";
    default: return "";
    }
}

GuiGraphItem::GuiGraphItem(GuiGraphWidget& graph, GMathVec3<unsigned char> const& normal,
                           GMathVec3<unsigned char> const& highlight)
    : m_graph(&graph), m_normal(normal), m_highlight(highlight)
{
}

GuiGraphItem::~GuiGraphItem()
{
    m_graph->on_remove_item(this);
    m_graph->remove_select_item(*this);
}

GMathVec3<unsigned char> const& GuiGraphItem::get_color() const
{
    if (is_selected()) return m_select;
    return is_highlighted() ? m_highlight : m_normal;
}

void GuiGraphItem::set_selectable(bool const& selectable)
{
    if (selectable)
        m_graph->add_select_item(*this, m_pick);
    else
        m_graph->remove_select_item(*this);
}

bool GuiGraphItem::is_selectable() const
{
    return m_graph->get_select_item(m_pick) == this;
}

void GuiGraphItem::set_is_selected(bool const& selected)
{
    if (selected)
        activate_state(GRAPH_ITEM_STATE_SELECTED);
    else
        desactivate_state(GRAPH_ITEM_STATE_SELECTED);
}

void GuiGraphItem::set_is_highlighted(bool const& highlighted)
{
    if (highlighted)
        activate_state(GRAPH_ITEM_STATE_HIGHLIGHTED);
    else
        desactivate_state(GRAPH_ITEM_STATE_HIGHLIGHTED);
}

// --- Point ---

GuiGraphPoint::GuiGraphPoint(GuiGraphCurve& curve, double const& x, double const& y,
                             GMathVec3<unsigned char> const& normal, GMathVec3<unsigned char> const& highlight)
    : GuiGraphItem(curve.get_graph(), normal, highlight), m_curve(&curve), m_position(x, y)
{
    set_select_color(curve.get_graph().get_selectee_color());
    set_selectable(true);
}

GuiGraphPoint::~GuiGraphPoint()
{
    delete m_tangent1;
    delete m_tangent2;
}

void GuiGraphPoint::update_tangent1(double const& x, double const& y)
{
    if (!m_tangent1)
        m_tangent1 = new GuiGraphTangent(*this, x, y, get_normal_color(), get_highlight_color());
    else
        m_tangent1->set_position(GMathVec2<double>(x, y));
}

void GuiGraphPoint::update_tangent2(double const& x, double const& y)
{
    if (!m_tangent2)
        m_tangent2 = new GuiGraphTangent(*this, x, y, get_normal_color(), get_highlight_color());
    else
        m_tangent2->set_position(GMathVec2<double>(x, y));
}

void GuiGraphPoint::hide_tangent1()
{
    if (m_tangent1) m_tangent1->hide();
}

void GuiGraphPoint::hide_tangent2()
{
    if (m_tangent2) m_tangent2->hide();
}

void GuiGraphPoint::show_tangent1()
{
    if (m_tangent1) m_tangent1->show();
}

void GuiGraphPoint::show_tangent2()
{
    if (m_tangent2) m_tangent2->show();
}

void GuiGraphPoint::draw(GuiDc& dc)
{
    GuiGlBatch& batch = batch_of(dc);
    set_color(batch, get_color());
    // The disc and its one-pixel outline in the same colour make one disc half a pixel wider;
    // drawn as triangles only, the keys of a curve stay one run of the batch.
    add_disc(batch, m_position, m_point_size + 0.5f);
}

void GuiGraphPoint::draw_select(GuiDc& dc)
{
    GuiGlBatch& batch = batch_of(dc);
    set_color(batch, get_pick_color());
    add_disc(batch, m_position, m_select_size);
}

GuiGraphTangent::GuiGraphTangent(GuiGraphPoint const& point, double const& x, double const& y,
                                 GMathVec3<unsigned char> const&, GMathVec3<unsigned char> const& highlight)
    : GuiGraphPoint(point.get_curve(), x, y, get_tangent_color(), highlight), m_point(&point)
{
    set_point_draw_size(2.0f);
}

// --- Curve ---

GuiGraphCurve::GuiGraphCurve(GuiGraphWidget& graph, GMathVec3<unsigned char> const& normal,
                             GMathVec3<unsigned char> const&, CoreString const& name)
    : GuiGraphItem(graph, normal, normal), m_name(name)
{
    set_select_color(get_default_select_color());
    set_highlight_color(get_default_highlight_color());
    set_selectable(true);
}

GuiGraphCurve::~GuiGraphCurve()
{
    for (GuiGraphPoint* key : m_keys) delete key;
}

GMathVec3<unsigned char> GuiGraphCurve::get_default_select_color() const
{
    return get_graph().get_selectee_color();
}

GMathVec3<unsigned char> GuiGraphCurve::get_default_highlight_color() const
{
    GMathVec3<unsigned char> color;
    for (int c = 0; c < 3; ++c)
        color[c] = static_cast<unsigned char>(std::min(255.0, std::trunc(get_normal_color()[c] * 1.25 + 150.0)));
    return color;
}

void GuiGraphCurve::set_is_dirty(bool const& dirty)
{
    m_flags = dirty ? (m_flags | FLAG_DIRTY) : (m_flags & ~FLAG_DIRTY);
}

void GuiGraphCurve::set_is_to_eval(bool const& to_eval)
{
    m_flags = to_eval ? (m_flags | FLAG_TO_EVAL) : (m_flags & ~FLAG_TO_EVAL);
}

void GuiGraphCurve::update_content()
{
    if (!is_to_eval()) return;
    compute_points();
    set_is_to_eval(false);
    get_graph().redraw();
}

void GuiGraphCurve::set_point_parts_count(unsigned int const& count)
{
    // Parts are emptied, not freed: a curve evaluated every frame keeps its memory.
    m_parts.resize(count);
    for (CoreVector<GMathVec2<double>>& part : m_parts) part.clear();
}

void GuiGraphCurve::add_point(unsigned int const& part, GMathVec2<double> const& point)
{
    if (part >= m_parts.size()) {
        CORE_LOG_WARNING("GuiGraphCurve.add_point: no part " << part << " among " << m_parts.size() << "\n");
        return;
    }
    m_parts[part].add(point);
}

CoreVector<GMathVec2<double>> const& GuiGraphCurve::get_points(unsigned int const& part) const
{
    static CoreVector<GMathVec2<double>> const none;
    return part < m_parts.size() ? m_parts[part] : none;
}

void GuiGraphCurve::add_graph_point(GuiGraphPoint* point)
{
    if (point) m_keys.push_back(point);
}

void GuiGraphCurve::remove_graph_point(unsigned int const& index)
{
    if (index >= m_keys.size()) {
        CORE_LOG_WARNING("GuiGraphCurve.remove_graph_point: no key " << index << " among " << m_keys.size() << "\n");
        return;
    }
    GuiGraphPoint* key = m_keys[index];
    m_keys.erase(m_keys.begin() + index);
    get_graph().on_remove_item(key);
    delete key;
}

void GuiGraphCurve::swap_graph_points(unsigned int const& i, unsigned int const& j)
{
    if (i < m_keys.size() && j < m_keys.size()) std::swap(m_keys[i], m_keys[j]);
}

void GuiGraphCurve::clear()
{
    for (GuiGraphPoint* key : m_keys) {
        get_graph().remove_from_selection(key, true);
        delete key;
    }
    m_keys.clear();
    m_parts.clear();
}

void GuiGraphCurve::unselect_self()
{
    get_graph().remove_from_selection(this, true);
    for (GuiGraphPoint* key : m_keys) get_graph().remove_from_selection(key, true);
}

void GuiGraphCurve::get_visible_key_range(int& first, int& last) const
{
    double const width = get_graph().get_width();
    int const count = static_cast<int>(m_keys.size());
    auto inside = [&](double const& x) { return x > TOLERANCE && x < width - TOLERANCE; };
    auto at_width = [&](double const& x) { return std::abs(x - width) <= TOLERANCE; };
    first = last = -1;
    for (int i = 0; i < count && first < 0; ++i) {
        double const x = m_keys[static_cast<size_t>(i)]->get_position()[0];
        if (inside(x) || at_width(x)) first = i;
    }
    for (int i = count - 1; i >= 0 && last < 0; --i) {
        double const x = m_keys[static_cast<size_t>(i)]->get_position()[0];
        if (inside(x)) last = i == count - 1 ? i : i + 1;
        else if (at_width(x)) last = i;
    }
    if (last < 0 && count > 0 && m_keys[0]->get_position()[0] > width + TOLERANCE) last = 0;
    if (first < 0) first = last;
    if (last < 0) last = first;
}

void GuiGraphCurve::draw(GuiDc& dc)
{
    update_content();
    GuiGlBatch& batch = batch_of(dc);
    int first = -1, last = -1;
    get_visible_key_range(first, last);
    GMathVec3<unsigned char> const color = get_color();
    GMathVec3<unsigned char> const& dashed = get_graph().get_selectee_color();
    batch.set_line_width(m_line_width);
    // Lines outside the keys are faded.
    bool const has_keys = !m_keys.empty();
    double const first_x = has_keys ? m_keys.front()->get_position()[0] : 0.0;
    double const last_x = has_keys ? m_keys.back()->get_position()[0] : 0.0;
    bool opaque = has_keys && first_x <= TOLERANCE && last_x >= -TOLERANCE;
    int const part_count = static_cast<int>(m_parts.size());
    std::vector<GuiGlBatch::Point> strip;
    for (int p = 0; p < part_count; ++p) {
        int const key = first + p;
        bool const dash = key >= 0 && key < static_cast<int>(m_keys.size()) &&
                          m_keys[static_cast<size_t>(key)]->get_render_mode() == GuiGraphPoint::RENDER_MODE_DASHED;
        strip.clear();
        for (GMathVec2<double> const& point : m_parts[static_cast<size_t>(p)]) strip.push_back(to_point(point));
        if (dash) {
            set_color(batch, dashed, opaque ? 255 : 64);
            add_dashed_strip(batch, strip);
        } else {
            set_color(batch, color, opaque ? 255 : 64);
            add_strip(batch, strip);
        }
        // After the lead-in before the first key the line is opaque; after the last key faded.
        if (p == 0 && first == 0) opaque = true;
        if (p == part_count - 2 && part_count == last - first + 2) opaque = false;
    }
    if (first < 0) return;
    int const end = std::min(last + 1, static_cast<int>(m_keys.size()));
    for (int i = first; i < end; ++i) m_keys[static_cast<size_t>(i)]->draw(dc);
    // The handles of the selected keys over them: their lines, then their discs.
    batch.set_line_width(0.75f * m_line_width);
    set_color(batch, GuiGraphTangent::get_tangent_color());
    for (int i = first; i < end; ++i) {
        GuiGraphPoint const& key = *m_keys[static_cast<size_t>(i)];
        if (!key.is_selected()) continue;
        for (GuiGraphTangent* tangent : {key.get_tangent1(), key.get_tangent2()})
            if (tangent && !tangent->is_hidden())
                batch.add_line(static_cast<float>(key.get_position()[0]), static_cast<float>(key.get_position()[1]),
                               static_cast<float>(tangent->get_position()[0]), static_cast<float>(tangent->get_position()[1]));
    }
    for (int i = first; i < end; ++i) {
        GuiGraphPoint const& key = *m_keys[static_cast<size_t>(i)];
        if (!key.is_selected()) continue;
        for (GuiGraphTangent* tangent : {key.get_tangent1(), key.get_tangent2()})
            if (tangent && !tangent->is_hidden()) tangent->draw(dc);
    }
}

void GuiGraphCurve::draw_select(GuiDc& dc)
{
    GuiGlBatch& batch = batch_of(dc);
    set_color(batch, get_pick_color());
    batch.set_line_width(m_select_line_width);
    std::vector<GuiGlBatch::Point> strip;
    for (CoreVector<GMathVec2<double>> const& part : m_parts)
        for (GMathVec2<double> const& point : part) strip.push_back(to_point(point));
    add_strip(batch, strip);
    if (!is_selectable()) return;
    for (GuiGraphPoint* key : m_keys) {
        key->draw_select(dc);
        if (!key->is_selected()) continue;
        for (GuiGraphTangent* tangent : {key->get_tangent1(), key->get_tangent2()})
            if (tangent && !tangent->is_hidden()) tangent->draw_select(dc);
    }
}

// --- Timeline ---

GuiGraphTimeline::GuiGraphTimeline(GuiGraphWidget& graph)
    : GuiGraphItem(graph, graph.get_current_frame_color(), graph.get_selectee_color())
{
    set_select_color(graph.get_selectee_color());
    set_selectable(true);
}

void GuiGraphTimeline::draw(GuiDc& dc)
{
    GuiGlBatch& batch = batch_of(dc);
    set_color(batch, get_color());
    batch.set_line_width(2.0f);
    batch.add_line(static_cast<float>(m_x), 0.0f, static_cast<float>(m_x), static_cast<float>(m_height));
}

void GuiGraphTimeline::draw_select(GuiDc& dc)
{
    GuiGlBatch& batch = batch_of(dc);
    set_color(batch, get_pick_color());
    batch.set_line_width(6.0f);
    batch.add_line(static_cast<float>(m_x), 0.0f, static_cast<float>(m_x), static_cast<float>(m_height));
}

// --- Gizmos ---

GuiGraphGizmo::GuiGraphGizmo(GuiGraphWidget& graph, GMathVec3<unsigned char> const& normal,
                             GMathVec3<unsigned char> const& highlight)
    : GuiGraphItem(graph, normal, highlight)
{
    set_select_color(GMathVec3<unsigned char>(255, 255, 0));
    set_selectable(true);
}

void GuiGraphGizmo::draw(GuiDc& dc)
{
    m_draw_color = get_color();
    draw_gizmo(dc, false);
}

void GuiGraphGizmo::draw_select(GuiDc& dc)
{
    m_draw_color = get_pick_color();
    draw_gizmo(dc, true);
}

GuiGraphGizmoHandle::GuiGraphGizmoHandle(GuiGraphGizmo& gizmo, int const& id)
    : GuiGraphItem(gizmo.get_graph(), gizmo.get_normal_color(), gizmo.get_highlight_color()), m_parent(&gizmo), m_id(id)
{
    set_select_color(gizmo.get_graph().get_selectee_color());
    set_selectable(true);
}
