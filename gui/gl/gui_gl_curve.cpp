#include "gui/gl/gui_gl_curve.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MIN_SEGMENTS = 4;
constexpr int MAX_SEGMENTS = 128;

float length(float x, float y)
{
    return std::hypot(x, y);
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

std::vector<GuiGlCurve::Point> const& GuiGlCurve::get_points(float tolerance) const
{
    if (!(tolerance > 0.0f) || !std::isfinite(tolerance)) tolerance = DEFAULT_TOLERANCE;
    // Powers of two, so that a smooth zoom re-tessellates only at each doubling.
    tolerance = std::exp2(std::floor(std::log2(tolerance)));
    if (!m_dirty && tolerance == m_tolerance) return m_points;
    m_tolerance = tolerance;
    // Chords of n equal parameter steps stay within 3/4 · M / n² of a cubic whose control
    // points have second differences of at most M: the fewest steps that meet the tolerance.
    Point const* p = m_control;
    float const bend = std::max(length(p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y),
                                length(p[1].x - 2 * p[2].x + p[3].x, p[1].y - 2 * p[2].y + p[3].y));
    float const wanted = std::isfinite(bend) ? std::ceil(std::sqrt(0.75f * bend / tolerance)) : 0.0f;
    int const segments = static_cast<int>(std::clamp(wanted, float(MIN_SEGMENTS), float(MAX_SEGMENTS)));
    m_points.resize(static_cast<size_t>(segments) + 1);
    for (int i = 0; i <= segments; ++i) m_points[static_cast<size_t>(i)] = evaluate(static_cast<float>(i) / segments);
    m_dirty = false;
    ++m_tessellations;
    return m_points;
}
