// Distance fields of outlines: the values at known distances, and contours that overlap.
#include <gtest/gtest.h>

#include <vector>

#include "gui/core/gui_glyph_field.h"

namespace {

int const FIELD = 40;

// The square from (10, 10) to (30, 30), as one contour, rendered with a spread of 5.
std::vector<unsigned char> render(GuiGlyphField const& field)
{
    std::vector<unsigned char> pixels(FIELD * FIELD, 7);
    field.render(pixels.data(), FIELD, FIELD, FIELD);
    return pixels;
}

void add_rectangle(GuiGlyphField& field, double x0, double y0, double x1, double y1)
{
    field.move_to(x0, y0);
    field.line_to(x1, y0);
    field.line_to(x1, y1);
    field.line_to(x0, y1);
}

}  // namespace

TEST(GuiGlyphField, PixelsHoldTheirCentresDistanceToTheOutline)
{
    GuiGlyphField square(5.0);
    add_rectangle(square, 10, 10, 30, 30);
    std::vector<unsigned char> const pixels = render(square);
    // 128 on the outline, 128/5 a pixel more inside and less outside, rounded towards 128.
    struct Row {
        int x, y;
        int value;
    } const rows[] = {
        {20, 20, 255},  // 9.5 inside: clamped
        {10, 20, 140},  // 0.5 inside
        {9, 20, 116},   // 0.5 outside
        {7, 20, 64},    // 2.5 outside
        {2, 20, 0},     // 7.5 outside: clamped
        {7, 7, 38},     // 3.54 from the corner (10, 10)
        {13, 27, 192},  // 2.5 from the bottom edge, inside
    };
    for (Row const& row : rows) {
        EXPECT_EQ(pixels[row.y * FIELD + row.x], row.value) << row.x << ", " << row.y;
    }
}

TEST(GuiGlyphField, OverlappingContoursMakeTheFieldOfTheirUnion)
{
    // Two rectangles drawn over each other, and the outline of the cross they make.
    GuiGlyphField overlapping(5.0);
    add_rectangle(overlapping, 8, 16, 32, 24);
    add_rectangle(overlapping, 16, 8, 24, 32);
    GuiGlyphField cross(5.0);
    double const points[][2] = {{16, 8},  {24, 8},  {24, 16}, {32, 16}, {32, 24}, {24, 24},
                                {24, 32}, {16, 32}, {16, 24}, {8, 24},  {8, 16},  {16, 16}};
    cross.move_to(points[0][0], points[0][1]);
    for (auto const& point : points) cross.line_to(point[0], point[1]);
    std::vector<unsigned char> const expected = render(cross);
    std::vector<unsigned char> const actual = render(overlapping);
    int largest = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        largest = std::max(largest, std::abs(expected[i] - actual[i]));
    EXPECT_LE(largest, 1);
    // No seam where the rectangles' inner edges run: the centre is 4 pixels from the outline.
    EXPECT_EQ(actual[20 * FIELD + 20], expected[20 * FIELD + 20]);
    EXPECT_GT(actual[20 * FIELD + 20], 200);
}

TEST(GuiGlyphField, CurvesStayWithinALevelOfTheirShape)
{
    // A circle of radius 10 from four cubic quarter arcs, against its exact distances.
    double const k = 0.5522847498 * 10.0;
    GuiGlyphField circle(5.0);
    circle.move_to(30, 20);
    circle.cubic_to(30, 20 + k, 20 + k, 30, 20, 30);
    circle.cubic_to(20 - k, 30, 10, 20 + k, 10, 20);
    circle.cubic_to(10, 20 - k, 20 - k, 10, 20, 10);
    circle.cubic_to(20 + k, 10, 30, 20 - k, 30, 20);
    std::vector<unsigned char> const pixels = render(circle);
    int largest = 0;
    for (int y = 0; y < FIELD; ++y) {
        for (int x = 0; x < FIELD; ++x) {
            double const d = 10.0 - std::hypot(x + 0.5 - 20.0, y + 0.5 - 20.0);
            int const exact = std::clamp(128 + static_cast<int>(d * 128.0 / 5.0), 0, 255);
            largest = std::max(largest, std::abs(pixels[y * FIELD + x] - exact));
        }
    }
    // The cubic arcs themselves stray 0.0003 of the radius from the circle.
    EXPECT_LE(largest, 1);
}
