#pragma once
// GuiResourcePainter: draws the built-in pictures from shapes laid out on a 16 × 16 unit
// square, so that one design renders at every icon size. Each shape is rasterised with the
// exact area it covers in every pixel (anti-aliasing without supersampling) and composited
// over what was painted before; the result is straight (not premultiplied) RGBA.
//
//     GuiResourcePainter painter(32);                     // 2 pixels per unit
//     GuiResourcePainter::Shape mark;
//     mark.stroke({{3.5, 8.5}, {6.5, 11.5}, {12.5, 4.5}}, 2.0);
//     painter.fill(mark, {0, 0, 0}, 0.5, 0.75);           // a soft dark outline first
//     painter.fill(mark, {208, 208, 208});
//     std::vector<unsigned char> rgba = painter.get_rgba();
#include <initializer_list>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/gmath/gmath_vec.h"

class QN_GUI_API GuiResourcePainter {
public:
    // Units of the design square; a picture of `size` pixels has size / UNITS pixels a unit.
    static constexpr double UNITS = 16.0;

    struct Point {
        double x;
        double y;
    };
    using Color = GMathVec3<unsigned char>;

    // A set of elements painted together: where they overlap, they cover a pixel once.
    // Coordinates and lengths are design units; angles are degrees, counter-clockwise from
    // the +x axis with y pointing down the picture (so 90 points up).
    class QN_GUI_API Shape {
    public:
        // A filled polygon (simple, either orientation).
        Shape& polygon(std::initializer_list<Point> points);
        Shape& polygon(std::vector<Point> const& points);
        // A line through the points, `width` wide, with round joins and ends.
        Shape& stroke(std::initializer_list<Point> points, double width);
        Shape& stroke(std::vector<Point> const& points, double width);
        Shape& circle(double cx, double cy, double radius);
        // A circle's outline, `width` wide, centred on the radius.
        Shape& ring(double cx, double cy, double radius, double width);
        // An arc's outline from angle `from` to `to` (either way round), with round ends.
        Shape& arc(double cx, double cy, double radius, double from, double to, double width);
        // A filled rectangle with corners rounded by `radius`.
        Shape& rect(double x, double y, double w, double h, double radius = 0.0);
        // A rectangle's outline, `width` wide, inside the box; `radius` rounds its outer corners.
        Shape& frame(double x, double y, double w, double h, double width, double radius = 0.0);

    private:
        friend class GuiResourcePainter;
        enum Kind { POLYGON, STROKE, CIRCLE, RING, ARC, RECT, FRAME };
        struct Element {
            Kind kind;
            std::vector<Point> points;
            double values[7];
        };
        std::vector<Element> m_elements;
    };

    // A transparent square picture of size × size pixels.
    explicit GuiResourcePainter(int size);

    int const& get_size() const { return m_size; }
    // Paints the shape over the picture in the colour with the opacity; `growth` widens
    // every element by that many units on each side (for outlines painted underneath).
    void fill(Shape const& shape, Color const& color, double opacity = 1.0, double growth = 0.0);
    // Makes the picture transparent where the shape covers it.
    void erase(Shape const& shape, double growth = 0.0);
    // The share of each pixel the shape covers, from 0 to 1, row after row.
    std::vector<float> get_coverage(Shape const& shape, double growth = 0.0) const;
    // The picture as RGBA bytes, rows from the top. Fully transparent pixels take the colour
    // last painted, so a single-coloured picture keeps one colour in every pixel.
    std::vector<unsigned char> get_rgba() const;

private:
    using Contours = std::vector<std::vector<Point>>;
    // Rasterises closed contours, in pixels, and keeps the larger coverage of each pixel in
    // `mask`. The area the contours cover is signed by their orientation: contours of opposite
    // orientations cut holes.
    void add_contours(Contours const& contours, std::vector<float>& mask) const;
    // The same for one element of a shape.
    void add_element(Shape::Element const& element, double growth, std::vector<float>& mask) const;
    void add_stroke(std::vector<Point> const& points, double width, std::vector<float>& mask) const;

    int m_size;
    double m_scale;
    std::vector<float> m_pixels;  // straight RGBA, colours 0 to 255, alpha 0 to 1
    // The signed areas of the edges of the contours being rasterised; zero between calls.
    mutable std::vector<float> m_accumulator;
    Color m_last_color = Color(0, 0, 0);
};
