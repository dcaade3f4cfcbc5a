#include "gui/core/gui_glyph_field.h"

#include <algorithm>
#include <cmath>

namespace {

// Curves are cut into as many lines as keep them within this distance of the curve; a level of
// an 8-bit field with a spread of 5 pixels is 0.04 pixels.
double const FLATNESS = 0.02;

int clamp_to(int const& value, int const& low, int const& high)
{
    return std::min(std::max(value, low), high);
}

}  // namespace

GuiGlyphField::GuiGlyphField(double const& spread) : m_spread(spread > 0.0 ? spread : 1.0) {}

void GuiGlyphField::move_to(double const& x, double const& y)
{
    close();
    m_start_x = m_x = x;
    m_start_y = m_y = y;
}

void GuiGlyphField::line_to(double const& x, double const& y)
{
    if (x != m_x || y != m_y) {
        m_pending.push_back(
            {static_cast<float>(m_x), static_cast<float>(m_y), static_cast<float>(x), static_cast<float>(y)});
    }
    m_x = x;
    m_y = y;
}

void GuiGlyphField::conic_to(double const& cx, double const& cy, double const& x, double const& y)
{
    double const x0 = m_x, y0 = m_y;
    // The chord of a piece 1/n long strays at most |p0 - 2c + p1| / (4 n²) from the curve.
    double const bend = std::hypot(x0 - 2.0 * cx + x, y0 - 2.0 * cy + y);
    int const pieces = std::max(1, static_cast<int>(std::ceil(std::sqrt(bend / (4.0 * FLATNESS)))));
    for (int i = 1; i <= pieces; ++i) {
        double const t = static_cast<double>(i) / pieces, s = 1.0 - t;
        line_to(s * s * x0 + 2.0 * s * t * cx + t * t * x, s * s * y0 + 2.0 * s * t * cy + t * t * y);
    }
}

void GuiGlyphField::cubic_to(double const& c1x, double const& c1y, double const& c2x, double const& c2y,
                             double const& x, double const& y)
{
    double const x0 = m_x, y0 = m_y;
    // The second derivative is at most 6 times the larger of the two second differences.
    double const bend = std::max(std::hypot(x0 - 2.0 * c1x + c2x, y0 - 2.0 * c1y + c2y),
                                 std::hypot(c1x - 2.0 * c2x + x, c1y - 2.0 * c2y + y));
    int const pieces = std::max(1, static_cast<int>(std::ceil(std::sqrt(3.0 * bend / (4.0 * FLATNESS)))));
    for (int i = 1; i <= pieces; ++i) {
        double const t = static_cast<double>(i) / pieces, s = 1.0 - t;
        line_to(s * s * s * x0 + 3.0 * s * s * t * c1x + 3.0 * s * t * t * c2x + t * t * t * x,
                s * s * s * y0 + 3.0 * s * s * t * c1y + 3.0 * s * t * t * c2y + t * t * t * y);
    }
}

void GuiGlyphField::close()
{
    if (m_pending.empty()) return;
    line_to(m_start_x, m_start_y);
    m_segments.insert(m_segments.end(), m_pending.begin(), m_pending.end());
    m_pending.clear();
}

int GuiGlyphField::get_winding(std::vector<Segment> const& segments, float const& x, float const& y)
{
    // Crossings of the ray from the point to the right, counted by direction.
    int winding = 0;
    for (Segment const& s : segments) {
        if ((s.y0 <= y) == (s.y1 <= y)) continue;
        float const crossing = s.x0 + (y - s.y0) * (s.x1 - s.x0) / (s.y1 - s.y0);
        if (crossing > x) winding += s.y1 > s.y0 ? 1 : -1;
    }
    return winding;
}

std::vector<GuiGlyphField::Segment> GuiGlyphField::get_union_boundary(std::vector<Segment> const& segments)
{
    std::vector<Segment> boundary;
    for (Segment const& s : segments) {
        float const dx = s.x1 - s.x0, dy = s.y1 - s.y0;
        float const length = std::hypot(dx, dy);
        int const pieces = std::max(1, static_cast<int>(std::ceil(length)));
        // A point a twentieth of a pixel to each side of the piece's middle.
        float const nx = -dy / length * 0.05f, ny = dx / length * 0.05f;
        for (int i = 0; i < pieces; ++i) {
            float const t0 = static_cast<float>(i) / pieces, t1 = static_cast<float>(i + 1) / pieces;
            float const mx = s.x0 + dx * (t0 + t1) * 0.5f, my = s.y0 + dy * (t0 + t1) * 0.5f;
            bool const left = get_winding(segments, mx + nx, my + ny) != 0;
            bool const right = get_winding(segments, mx - nx, my - ny) != 0;
            if (left != right)
                boundary.push_back({s.x0 + dx * t0, s.y0 + dy * t0, s.x0 + dx * t1, s.y0 + dy * t1});
        }
    }
    return boundary;
}

void GuiGlyphField::render(unsigned char* target, int const& width, int const& rows,
                           size_t const& stride) const
{
    if (!target || width <= 0 || rows <= 0) return;
    std::vector<Segment> segments = m_segments;
    if (!m_pending.empty()) {
        GuiGlyphField closed(*this);
        closed.close();
        segments = closed.m_segments;
    }
    size_t const pixels = static_cast<size_t>(width) * static_cast<size_t>(rows);

    // Winding of each pixel's centre, row by row: each segment crossing the row adds its
    // direction from the first centre right of the crossing on.
    std::vector<int> winding(pixels, 0);
    for (Segment const& s : segments) {
        float const low = std::min(s.y0, s.y1), high = std::max(s.y0, s.y1);
        int const first = clamp_to(static_cast<int>(std::ceil(low - 0.5f)), 0, rows);
        int const last = clamp_to(static_cast<int>(std::ceil(high - 0.5f)), 0, rows);
        int const direction = s.y1 > s.y0 ? 1 : -1;
        for (int row = first; row < last; ++row) {
            float const y = static_cast<float>(row) + 0.5f;
            float const crossing = s.x0 + (y - s.y0) * (s.x1 - s.x0) / (s.y1 - s.y0);
            int const column = std::max(0, static_cast<int>(std::floor(crossing - 0.5f)) + 1);
            if (column < width) winding[static_cast<size_t>(row) * width + column] += direction;
        }
    }
    bool overlapping = false;
    for (int row = 0; row < rows; ++row) {
        int* line = &winding[static_cast<size_t>(row) * width];
        for (int column = 1; column < width; ++column) {
            line[column] += line[column - 1];
            overlapping = overlapping || std::abs(line[column]) > 1;
        }
        overlapping = overlapping || std::abs(line[0]) > 1;
    }
    if (overlapping) segments = get_union_boundary(segments);

    // Squared distance to the nearest segment, looked for within the spread only: beyond it
    // the value is clamped anyway.
    float const spread = static_cast<float>(m_spread);
    std::vector<float> nearest(pixels, spread * spread);
    for (Segment const& s : segments) {
        int const column0 =
            clamp_to(static_cast<int>(std::ceil(std::min(s.x0, s.x1) - spread - 0.5f)), 0, width);
        int const column1 =
            clamp_to(static_cast<int>(std::floor(std::max(s.x0, s.x1) + spread - 0.5f)), -1, width - 1);
        int const row0 = clamp_to(static_cast<int>(std::ceil(std::min(s.y0, s.y1) - spread - 0.5f)), 0, rows);
        int const row1 =
            clamp_to(static_cast<int>(std::floor(std::max(s.y0, s.y1) + spread - 0.5f)), -1, rows - 1);
        float const dx = s.x1 - s.x0, dy = s.y1 - s.y0;
        float const length2 = dx * dx + dy * dy;
        float const inverse = length2 > 0.0f ? 1.0f / length2 : 0.0f;
        for (int row = row0; row <= row1; ++row) {
            float const py = static_cast<float>(row) + 0.5f - s.y0;
            float* line = &nearest[static_cast<size_t>(row) * width];
            for (int column = column0; column <= column1; ++column) {
                float const px = static_cast<float>(column) + 0.5f - s.x0;
                float const t = std::clamp((px * dx + py * dy) * inverse, 0.0f, 1.0f);
                float const ex = px - t * dx, ey = py - t * dy;
                line[column] = std::min(line[column], ex * ex + ey * ey);
            }
        }
    }

    float const scale = 128.0f / spread;
    for (int row = 0; row < rows; ++row) {
        unsigned char* out = target + static_cast<size_t>(row) * stride;
        size_t const at = static_cast<size_t>(row) * width;
        for (int column = 0; column < width; ++column) {
            int const level = static_cast<int>(std::sqrt(nearest[at + column]) * scale);
            out[column] = static_cast<unsigned char>(winding[at + column] != 0 ? std::min(255, 128 + level)
                                                                               : std::max(0, 128 - level));
        }
    }
}
