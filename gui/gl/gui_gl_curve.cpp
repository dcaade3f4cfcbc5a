#include "gui/gl/gui_gl_curve.h"

#include <algorithm>
#include <cmath>

namespace {

// Units of control-polygon length per segment, and the bounds of the segment count: fine
// enough that a link across a full-HD view shows no corners, coarse enough for 20,000 links.
constexpr float UNITS_PER_SEGMENT = 6.0f;
constexpr int MIN_SEGMENTS = 8;
constexpr int MAX_SEGMENTS = 128;

float distance(GuiGlCurve::Point const& a, GuiGlCurve::Point const& b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

}  // namespace

void GuiGlCurve::set(Point const& p0, Point const& p1, Point const& p2, Point const& p3)
{
    Point const next[4] = {p0, p1, p2, p3};
    for (int i = 0; i < 4; ++i) {
        if (next[i].x != m_control[i].x || next[i].y != m_control[i].y) m_dirty = true;
        m_control[i] = next[i];
    }
}

GuiGlCurve::Point GuiGlCurve::evaluate(float t) const
{
    float const u = 1.0f - t;
    float const a = u * u * u;
    float const b = 3.0f * u * u * t;
    float const c = 3.0f * u * t * t;
    float const d = t * t * t;
    return Point{a * m_control[0].x + b * m_control[1].x + c * m_control[2].x + d * m_control[3].x,
                 a * m_control[0].y + b * m_control[1].y + c * m_control[2].y + d * m_control[3].y};
}

std::vector<GuiGlCurve::Point> const& GuiGlCurve::get_points() const
{
    if (!m_dirty) return m_points;
    float const length = distance(m_control[0], m_control[1]) + distance(m_control[1], m_control[2]) +
                         distance(m_control[2], m_control[3]);
    float const wanted = std::isfinite(length) ? std::ceil(length / UNITS_PER_SEGMENT) : 0.0f;
    int const segments = static_cast<int>(std::clamp(wanted, float(MIN_SEGMENTS), float(MAX_SEGMENTS)));
    m_points.resize(static_cast<size_t>(segments) + 1);
    for (int i = 0; i <= segments; ++i) m_points[static_cast<size_t>(i)] = evaluate(static_cast<float>(i) / segments);
    m_dirty = false;
    ++m_tessellations;
    return m_points;
}
