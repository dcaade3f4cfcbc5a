#include "gui/core/gui_resource_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using Point = GuiResourcePainter::Point;

// Curves become polygons with sides of at most this many pixels: far below what coverage
// can show.
constexpr double CURVE_STEP = 0.35;

int curve_steps(double radius, double degrees)
{
    double const length = radius * std::abs(degrees) * std::numbers::pi / 180.0;
    return std::max(4, int(std::ceil(length / CURVE_STEP)));
}

// Points of an arc in pixels, angles in degrees with y down (90 points up), both ends included.
void append_arc(std::vector<Point>& out, double cx, double cy, double radius, double from, double to)
{
    int const steps = curve_steps(radius, to - from);
    for (int i = 0; i <= steps; ++i) {
        double const a = (from + (to - from) * i / steps) * std::numbers::pi / 180.0;
        out.push_back({cx + radius * std::cos(a), cy - radius * std::sin(a)});
    }
}

std::vector<Point> circle_contour(double cx, double cy, double radius)
{
    std::vector<Point> out;
    append_arc(out, cx, cy, radius, 0.0, 360.0);
    out.pop_back();  // the same point as the first
    return out;
}

std::vector<Point> round_rect_contour(double x, double y, double w, double h, double radius)
{
    radius = std::clamp(radius, 0.0, std::min(w, h) / 2.0);
    std::vector<Point> out;
    if (radius <= 0.0) return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    append_arc(out, x + w - radius, y + radius, radius, 90.0, 0.0);
    append_arc(out, x + w - radius, y + h - radius, radius, 360.0, 270.0);
    append_arc(out, x + radius, y + h - radius, radius, 270.0, 180.0);
    append_arc(out, x + radius, y + radius, radius, 180.0, 90.0);
    return out;
}

// One edge's signed area in each pixel of the rows it crosses, accumulated along the row
// afterwards: the method of the font rasterisers that compute exact coverage. `acc` rows
// are size + 2 wide so that edges on the right border stay in their row.
void accumulate_line(std::vector<float>& acc, int size, Point p0, Point p1)
{
    if (p0.y == p1.y) return;
    double dir = 1.0;
    if (p0.y > p1.y) {
        std::swap(p0, p1);
        dir = -1.0;
    }
    int const stride = size + 2;
    double const dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    double x = p0.x;
    if (p0.y < 0.0) x = std::clamp(x - p0.y * dxdy, 0.0, double(size));
    int const first = std::max(0, int(std::floor(p0.y)));
    int const last = std::min(size, int(std::ceil(p1.y)));
    for (int y = first; y < last; ++y) {
        float* row = acc.data() + size_t(y) * stride;
        double const dy = std::min(y + 1.0, p1.y) - std::max(double(y), p0.y);
        // Rounding must not carry an edge past the borders, outside its row.
        double const xnext = std::clamp(x + dxdy * dy, 0.0, double(size));
        double const d = dy * dir;
        double const x0 = std::min(x, xnext);
        double const x1 = std::max(x, xnext);
        double const x0floor = std::floor(x0);
        int const x0i = int(x0floor);
        double const x1ceil = std::ceil(x1);
        int const x1i = int(x1ceil);
        if (x1i <= x0i + 1) {
            double const xmf = 0.5 * (x + xnext) - x0floor;
            row[x0i] += float(d - d * xmf);
            row[x0i + 1] += float(d * xmf);
        } else {
            double const s = 1.0 / (x1 - x0);
            double const x0f = x0 - x0floor;
            double const a0 = 0.5 * s * (1.0 - x0f) * (1.0 - x0f);
            double const x1f = x1 - x1ceil + 1.0;
            double const am = 0.5 * s * x1f * x1f;
            row[x0i] += float(d * a0);
            if (x1i == x0i + 2) {
                row[x0i + 1] += float(d * (1.0 - a0 - am));
            } else {
                double const a1 = s * (1.5 - x0f);
                row[x0i + 1] += float(d * (a1 - a0));
                for (int xi = x0i + 2; xi < x1i - 1; ++xi) row[xi] += float(d * s);
                double const a2 = a1 + (x1i - x0i - 3) * s;
                row[x1i - 1] += float(d * (1.0 - a2 - am));
            }
            row[x1i] += float(d * am);
        }
        x = xnext;
    }
}

// The same for an edge that may leave the picture sideways: it is cut where it crosses the
// left and right borders, and the parts outside run along the border, where they still
// count for every pixel to their right.
void accumulate_clipped_line(std::vector<float>& acc, int size, Point p0, Point p1)
{
    // The edge's parameters at its ends and where it crosses a border, in order.
    double cuts[4] = {0.0, 1.0, 1.0, 1.0};
    int count = 1;
    for (double const border : {0.0, double(size)}) {
        if ((p0.x < border) != (p1.x < border)) cuts[count++] = (border - p0.x) / (p1.x - p0.x);
    }
    if (count == 3 && cuts[2] < cuts[1]) std::swap(cuts[1], cuts[2]);
    cuts[count] = 1.0;
    for (int i = 0; i < count; ++i) {
        auto at = [&](double t) {
            return Point{std::clamp(p0.x + (p1.x - p0.x) * t, 0.0, double(size)), p0.y + (p1.y - p0.y) * t};
        };
        accumulate_line(acc, size, at(cuts[i]), at(cuts[i + 1]));
    }
}

}  // namespace

// --- Shape -------------------------------------------------------------------------------

GuiResourcePainter::Shape& GuiResourcePainter::Shape::polygon(std::initializer_list<Point> points)
{
    return polygon(std::vector<Point>(points));
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::polygon(std::vector<Point> const& points)
{
    m_elements.push_back({POLYGON, points, {}});
    return *this;
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::stroke(std::initializer_list<Point> points,
                                                             double width)
{
    return stroke(std::vector<Point>(points), width);
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::stroke(std::vector<Point> const& points, double width)
{
    m_elements.push_back({STROKE, points, {width}});
    return *this;
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::circle(double cx, double cy, double radius)
{
    m_elements.push_back({CIRCLE, {}, {cx, cy, radius}});
    return *this;
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::ring(double cx, double cy, double radius, double width)
{
    m_elements.push_back({RING, {}, {cx, cy, radius, width}});
    return *this;
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::arc(double cx, double cy, double radius, double from,
                                                          double to, double width)
{
    m_elements.push_back({ARC, {}, {cx, cy, radius, from, to, width}});
    return *this;
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::rect(double x, double y, double w, double h,
                                                           double radius)
{
    m_elements.push_back({RECT, {}, {x, y, w, h, radius}});
    return *this;
}

GuiResourcePainter::Shape& GuiResourcePainter::Shape::frame(double x, double y, double w, double h,
                                                            double width, double radius)
{
    m_elements.push_back({FRAME, {}, {x, y, w, h, width, radius}});
    return *this;
}

// --- Painter -----------------------------------------------------------------------------

GuiResourcePainter::GuiResourcePainter(int size)
    : m_size(std::max(size, 1)), m_scale(m_size / UNITS), m_pixels(size_t(m_size) * m_size * 4, 0.0f)
{
}

void GuiResourcePainter::add_contours(Contours const& contours, std::vector<float>& mask) const
{
    // Only the pixels of the contours' bounds are touched: strokes are made of many small parts.
    double min_x = m_size, min_y = m_size, max_x = 0.0, max_y = 0.0;
    for (std::vector<Point> const& contour : contours) {
        for (Point const& p : contour) {
            min_x = std::min(min_x, p.x);
            min_y = std::min(min_y, p.y);
            max_x = std::max(max_x, p.x);
            max_y = std::max(max_y, p.y);
        }
    }
    int const x0 = std::clamp(int(std::floor(min_x)), 0, m_size);
    int const y0 = std::clamp(int(std::floor(min_y)), 0, m_size);
    // An edge adds to the pixel after its own: past it, a row's sum no longer changes.
    int const x1 = std::clamp(int(std::ceil(max_x)) + 2, 0, m_size);
    int const y1 = std::clamp(int(std::ceil(max_y)), 0, m_size);
    if (x0 >= x1 || y0 >= y1) return;

    int const stride = m_size + 2;
    m_accumulator.resize(size_t(stride) * m_size, 0.0f);
    for (std::vector<Point> const& contour : contours) {
        for (size_t i = 0, n = contour.size(); i < n; ++i)
            accumulate_clipped_line(m_accumulator, m_size, contour[i], contour[(i + 1) % n]);
    }
    for (int y = y0; y < y1; ++y) {
        float* row = m_accumulator.data() + size_t(y) * stride;
        float sum = 0.0f;
        for (int x = x0; x < x1; ++x) {
            sum += row[x];
            float& pixel = mask[size_t(y) * m_size + x];
            pixel = std::max(pixel, std::min(1.0f, std::abs(sum)));
        }
        // Left clean for the next contours.
        std::fill(row + x0, row + stride, 0.0f);
    }
}

void GuiResourcePainter::add_stroke(std::vector<Point> const& points, double width,
                                    std::vector<float>& mask) const
{
    double const half = width / 2.0;
    if (half <= 0.0 || points.empty()) return;
    for (Point const& p : points) add_contours({circle_contour(p.x, p.y, half)}, mask);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        Point const a = points[i];
        Point const b = points[i + 1];
        double const length = std::hypot(b.x - a.x, b.y - a.y);
        if (length <= 0.0) continue;
        double const nx = -(b.y - a.y) / length * half;
        double const ny = (b.x - a.x) / length * half;
        add_contours(
            {{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}}, mask);
    }
}

void GuiResourcePainter::add_element(Shape::Element const& element, double growth,
                                     std::vector<float>& mask) const
{
    double const s = m_scale;
    double const g = growth * s;
    double const* v = element.values;
    std::vector<Point> points;
    for (Point const& p : element.points) points.push_back({p.x * s, p.y * s});
    switch (element.kind) {
    case Shape::POLYGON:
        if (points.size() < 3) return;
        add_contours({points}, mask);
        if (g > 0.0) {
            // Grown by a line of twice the growth along its closed outline.
            points.push_back(points.front());
            add_stroke(points, 2.0 * g, mask);
        }
        return;
    case Shape::STROKE: add_stroke(points, v[0] * s + 2.0 * g, mask); return;
    case Shape::CIRCLE: add_contours({circle_contour(v[0] * s, v[1] * s, v[2] * s + g)}, mask); return;
    case Shape::RING: {
        double const half = v[3] * s / 2.0 + g;
        std::vector<Point> inner = circle_contour(v[0] * s, v[1] * s, std::max(0.0, v[2] * s - half));
        std::reverse(inner.begin(), inner.end());
        add_contours({circle_contour(v[0] * s, v[1] * s, v[2] * s + half), inner}, mask);
        return;
    }
    case Shape::ARC: {
        double const half = v[5] * s / 2.0 + g;
        double const cx = v[0] * s;
        double const cy = v[1] * s;
        double const r = v[2] * s;
        std::vector<Point> band;
        append_arc(band, cx, cy, r + half, v[3], v[4]);
        append_arc(band, cx, cy, std::max(0.0, r - half), v[4], v[3]);
        add_contours({band}, mask);
        for (double const a : {v[3], v[4]}) {
            double const rad = a * std::numbers::pi / 180.0;
            add_contours({circle_contour(cx + r * std::cos(rad), cy - r * std::sin(rad), half)}, mask);
        }
        return;
    }
    case Shape::RECT:
        add_contours({round_rect_contour(v[0] * s - g, v[1] * s - g, v[2] * s + 2 * g, v[3] * s + 2 * g,
                                         v[4] * s + g)},
                     mask);
        return;
    case Shape::FRAME: {
        double const x = v[0] * s - g;
        double const y = v[1] * s - g;
        double const w = v[2] * s + 2 * g;
        double const h = v[3] * s + 2 * g;
        double const width = v[4] * s + 2 * g;
        double const radius = v[5] * s + g;
        std::vector<Point> inner = round_rect_contour(x + width, y + width, w - 2 * width, h - 2 * width,
                                                      std::max(0.0, radius - width));
        std::reverse(inner.begin(), inner.end());
        Contours contours = {round_rect_contour(x, y, w, h, radius)};
        if (w > 2 * width && h > 2 * width) contours.push_back(inner);
        add_contours(contours, mask);
        return;
    }
    }
}

std::vector<float> GuiResourcePainter::get_coverage(Shape const& shape, double growth) const
{
    std::vector<float> mask(size_t(m_size) * m_size, 0.0f);
    for (Shape::Element const& element : shape.m_elements) add_element(element, growth, mask);
    return mask;
}

void GuiResourcePainter::fill(Shape const& shape, Color const& color, double opacity, double growth)
{
    std::vector<float> const mask = get_coverage(shape, growth);
    for (size_t i = 0; i < mask.size(); ++i) {
        float const sa = mask[i] * float(opacity);
        if (sa <= 0.0f) continue;
        float* p = &m_pixels[4 * i];
        float const da = p[3] * (1.0f - sa);
        float const a = sa + da;
        for (int c = 0; c < 3; ++c) p[c] = (color[c] * sa + p[c] * da) / a;
        p[3] = a;
    }
    m_last_color = color;
}

void GuiResourcePainter::erase(Shape const& shape, double growth)
{
    std::vector<float> const mask = get_coverage(shape, growth);
    for (size_t i = 0; i < mask.size(); ++i) m_pixels[4 * i + 3] *= 1.0f - mask[i];
}

std::vector<unsigned char> GuiResourcePainter::get_rgba() const
{
    std::vector<unsigned char> out(m_pixels.size());
    for (size_t i = 0; i < m_pixels.size(); i += 4) {
        unsigned char const alpha =
            static_cast<unsigned char>(std::lround(std::clamp(m_pixels[i + 3], 0.0f, 1.0f) * 255.0f));
        for (int c = 0; c < 3; ++c) {
            out[i + c] =
                alpha ? static_cast<unsigned char>(std::lround(std::clamp(m_pixels[i + c], 0.0f, 255.0f)))
                      : m_last_color[c];
        }
        out[i + 3] = alpha;
    }
    return out;
}
