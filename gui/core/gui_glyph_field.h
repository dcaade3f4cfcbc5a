#pragma once
// GuiGlyphField: the signed distance field of a glyph outline, as the glyph atlases hold it.
// The outline's contours (lines, quadratic and cubic Bézier curves) are flattened into straight
// segments as they are added, within a fiftieth of a pixel; render() then gives each pixel
// 128 + 128 × d / spread, with d the distance from the pixel's centre to the outline, positive
// inside (non-zero winding), rounded towards 128 and clamped to 0..255. Where contours overlap,
// only the edges on the boundary of their union count, so no seam shows inside a glyph.
// Coordinates are pixels of the field: x to the right, y downwards from its top-left corner.
//
//     GuiGlyphField field(5.0);
//     field.move_to(10, 10); field.line_to(30, 10); field.line_to(30, 30); field.line_to(10, 30);
//     field.render(cell, 40, 40, atlas_stride);
#include <cstddef>
#include <vector>

#include "gui/core/gui_export.h"

class QN_GUI_API GuiGlyphField {
public:
    // `spread`: the distance, in pixels, that the field covers on each side of the outline.
    explicit GuiGlyphField(double const& spread);

    // Starts a contour, closing the one before.
    void move_to(double const& x, double const& y);
    void line_to(double const& x, double const& y);
    // A quadratic curve through the control point (cx, cy).
    void conic_to(double const& cx, double const& cy, double const& x, double const& y);
    void cubic_to(double const& c1x, double const& c1y, double const& c2x, double const& c2y, double const& x,
                  double const& y);
    // Closes the last contour (render closes it too).
    void close();

    // No segment at all: the field would be empty.
    bool is_empty() const { return m_segments.empty() && m_pending.empty(); }

    // Writes the field of the pixels (0, 0) to (width - 1, rows - 1) into `target`, rows
    // `stride` bytes apart.
    void render(unsigned char* target, int const& width, int const& rows, size_t const& stride) const;

private:
    struct Segment {
        float x0, y0, x1, y1;
    };

    // Winding number of the outline around a point (non-zero: inside).
    static int get_winding(std::vector<Segment> const& segments, float const& x, float const& y);
    // The pieces, at most a pixel long, of the segments that have the inside on one side only.
    static std::vector<Segment> get_union_boundary(std::vector<Segment> const& segments);

    double m_spread;
    std::vector<Segment> m_segments;  // closed contours
    std::vector<Segment> m_pending;   // the contour being added
    double m_start_x = 0.0, m_start_y = 0.0;
    double m_x = 0.0, m_y = 0.0;
};
