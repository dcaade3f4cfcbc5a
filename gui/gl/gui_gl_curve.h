#pragma once
// GuiGlCurve: a cubic Bézier curve that keeps its tessellation. Links between nodes and
// curve editors redraw the same curves every frame; the points are computed again only
// when a control point changes, and GuiGlBatch::add_curve draws them as line segments.
#include <cstddef>
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/gl/gui_gl_batch.h"

class QN_GUI_API GuiGlCurve {
public:
    using Point = GuiGlBatch::Point;

    GuiGlCurve() = default;
    GuiGlCurve(Point const& p0, Point const& p1, Point const& p2, Point const& p3) { set(p0, p1, p2, p3); }

    // The two ends and their handles. Setting the same points again keeps the tessellation.
    void set(Point const& p0, Point const& p1, Point const& p2, Point const& p3);
    Point const& get_control_point(size_t index) const { return m_control[index < 4 ? index : 3]; }

    // The points along the curve, from the first end to the last: as few steps as keep every
    // chord within `tolerance` units of the curve, longer where it bends less (4 to 128 steps).
    // They are made again only after a change, or when the tolerance moves to another power
    // of two (a zoom).
    std::vector<Point> const& get_points(float tolerance = DEFAULT_TOLERANCE) const;
    static constexpr float DEFAULT_TOLERANCE = 0.25f;
    // The point at parameter t in [0, 1].
    Point evaluate(float t) const;
    // How many times the points were computed (once per change that was drawn).
    size_t get_tessellation_count() const { return m_tessellations; }

private:
    Point m_control[4];
    mutable std::vector<Point> m_points;
    mutable bool m_dirty = true;
    mutable float m_tolerance = 0.0f;
    mutable size_t m_tessellations = 0;
};
