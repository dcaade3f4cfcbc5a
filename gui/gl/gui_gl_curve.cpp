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
    // A chord over a parameter step h strays at most h² / 8 · K from the curve, K the largest
    // length of the second derivative over the step. That length is a convex function of t
    // (the derivative is linear), so its largest value over a step is at one of its ends:
    // each step is as long as both ends allow. Where the curve bends less (the middle of an
    // S-shaped link) the steps grow: such a link takes about a fifth fewer points than equal
    // steps would.
    Point const* p = m_control;
    Point const a{p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y};
    Point const b{p[1].x - 2 * p[2].x + p[3].x, p[1].y - 2 * p[2].y + p[3].y};
    auto const bend = [&a, &b](float t) {
        return 6.0f * length((1.0f - t) * a.x + t * b.x, (1.0f - t) * a.y + t * b.y);
    };
    // The longest step whose bend at both ends keeps the chord within the tolerance.
    auto const step_from = [&](float t) {
        float step = 1.0f / MIN_SEGMENTS;
        float const at_start = bend(t);
        if (at_start > 0.0f) step = std::min(step, std::sqrt(8.0f * tolerance / at_start));
        float const at_end = bend(std::min(1.0f, t + step));
        if (at_end > at_start) step = std::min(step, std::sqrt(8.0f * tolerance / at_end));
        // NaN control points end up here too: they get the fewest steps.
        return std::isfinite(step) ? std::max(step, 1.0f / MAX_SEGMENTS) : 1.0f / MIN_SEGMENTS;
    };
    m_points.clear();
    m_points.push_back(evaluate(0.0f));
    for (float t = 0.0f; t < 1.0f;) {
        float const step = step_from(t);
        float const left = 1.0f - t;
        // The last two steps share what is left rather than ending on a sliver.
        t = left <= step ? 1.0f : left < 2.0f * step ? t + left / 2.0f : t + step;
        m_points.push_back(evaluate(t));
    }
    m_dirty = false;
    ++m_tessellations;
    return m_points;
}
