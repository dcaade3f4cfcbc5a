// Colour values: RGB and HSV kept in step (greys, primaries, HDR), components that are not
// numbers refused, and the formulas that combine A and B.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/color/gui_color_value.h"
#include "tests/support/log_recorder.h"

namespace {

struct HsvRow {
    double r, g, b;
    double h, s, v;
};

TEST(GuiColorValue, RgbAndHsvFollowEachOtherBothWays)
{
    HsvRow const rows[] = {
        // Greys: no hue, no saturation.
        {0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
        {0.5, 0.5, 0.5, 0.0, 0.0, 0.5},
        {1.0, 1.0, 1.0, 0.0, 0.0, 1.0},
        // Primaries and secondaries.
        {1.0, 0.0, 0.0, 0.0, 1.0, 1.0},
        {0.0, 1.0, 0.0, 1.0 / 3.0, 1.0, 1.0},
        {0.0, 0.0, 1.0, 2.0 / 3.0, 1.0, 1.0},
        {1.0, 1.0, 0.0, 1.0 / 6.0, 1.0, 1.0},
        {1.0, 0.0, 1.0, 5.0 / 6.0, 1.0, 1.0},
        // Half-saturated orange.
        {0.8, 0.6, 0.4, 1.0 / 12.0, 0.5, 0.8},
        // HDR: values above 1 stay, the value follows the largest component.
        {2.0, 1.0, 0.0, 1.0 / 12.0, 1.0, 2.0},
        {4.0, 4.0, 4.0, 0.0, 0.0, 4.0},
        {0.0, 3.0, 1.5, 5.0 / 12.0, 1.0, 3.0},
    };
    for (HsvRow const& row : rows) {
        GuiColorValue const from_rgb = GuiColorValue::from_rgb(row.r, row.g, row.b);
        EXPECT_NEAR(from_rgb.get_hsv()[0], row.h, 1e-12) << row.r << " " << row.g << " " << row.b;
        EXPECT_NEAR(from_rgb.get_hsv()[1], row.s, 1e-12) << row.r << " " << row.g << " " << row.b;
        EXPECT_NEAR(from_rgb.get_hsv()[2], row.v, 1e-12) << row.r << " " << row.g << " " << row.b;
        GuiColorValue const back = GuiColorValue::from_hsv(from_rgb.get_hsv()[0], from_rgb.get_hsv()[1],
                                                           from_rgb.get_hsv()[2]);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(back.get_rgb()[c], from_rgb.get_rgb()[c], 1e-12) << row.r << " " << row.g << " " << row.b;
    }
}

TEST(GuiColorValue, AGreySetFromHsvKeepsItsHue)
{
    GuiColorValue const grey = GuiColorValue::from_hsv(0.25, 0.0, 0.7);
    EXPECT_DOUBLE_EQ(grey.get_hsv()[0], 0.25);
    EXPECT_EQ(grey.get_rgb(), GMathVec3<double>(0.7, 0.7, 0.7));
}

TEST(GuiColorValue, ComponentsThatAreNotNumbersAreRefusedOnce)
{
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    GuiColorValue color = GuiColorValue::from_rgb(0.1, 0.2, 0.3, 0.4);
    GuiColorValue const before = color;
    LogRecorder log;
    EXPECT_FALSE(color.set_rgb(nan, 0.0, 0.0, "Test.rgb"));
    EXPECT_FALSE(color.set_rgba(0.0, 0.0, 0.0, inf, "Test.rgba"));
    EXPECT_FALSE(color.set_hsv(0.0, -inf, 0.0, "Test.hsv"));
    EXPECT_FALSE(color.set_alpha(nan, "Test.alpha"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_TRUE(log.contains("Test.hsv: component 1"));
    EXPECT_EQ(color, before);
}

struct FormulaRow {
    GuiColorValue::Formula formula;
    GMathVec4<double> a, b, c;
};

TEST(GuiColorValue, FormulasCombineEveryComponentAlphaIncluded)
{
    GMathVec4<double> const a(0.2, 0.4, 0.6, 1.0), b(0.5, 0.25, 0.0, 0.5);
    FormulaRow const rows[] = {
        {GuiColorValue::FORMULA_A, a, b, a},
        {GuiColorValue::FORMULA_B, a, b, b},
        {GuiColorValue::FORMULA_A_ADD_B, a, b, {0.7, 0.65, 0.6, 1.5}},
        {GuiColorValue::FORMULA_A_SUB_B, a, b, {-0.3, 0.15, 0.6, 0.5}},
        {GuiColorValue::FORMULA_B_SUB_A, a, b, {0.3, -0.15, -0.6, -0.5}},
        {GuiColorValue::FORMULA_A_MUL_B, a, b, {0.1, 0.1, 0.0, 0.5}},
        // A blue divisor of 0 gives 10.
        {GuiColorValue::FORMULA_A_DIV_B, a, b, {0.4, 1.6, 10.0, 2.0}},
        {GuiColorValue::FORMULA_B_DIV_A, a, b, {2.5, 0.625, 0.0, 0.5}},
        {GuiColorValue::FORMULA_MEAN_A_B, a, b, {0.35, 0.325, 0.3, 0.75}},
        {GuiColorValue::FORMULA_INV_A, a, b, {0.8, 0.6, 0.4, 0.0}},
        // Every divisor but alpha is 0 in the first, so they give 10.
        {GuiColorValue::FORMULA_A_DIV_B, {1, 1, 1, 1}, {0, 0.5, 0, 1}, {10.0, 2.0, 10.0, 1.0}},
        {GuiColorValue::FORMULA_B_DIV_A, {0, 0, 0, 0}, {1, 1, 1, 1}, {10.0, 10.0, 10.0, 10.0}},
        // An unknown formula gives A.
        {static_cast<GuiColorValue::Formula>(42), a, b, a},
    };
    for (FormulaRow const& row : rows) {
        GuiColorValue const ca = GuiColorValue::from_rgb(row.a[0], row.a[1], row.a[2], row.a[3]);
        GuiColorValue const cb = GuiColorValue::from_rgb(row.b[0], row.b[1], row.b[2], row.b[3]);
        GuiColorValue const c = GuiColorValue::combine(row.formula, ca, cb);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(c.get_rgba()[i], row.c[i], 1e-12) << GuiColorValue::get_formula_name(row.formula) << " " << i;
        // C's HSV is its own RGB's.
        EXPECT_EQ(c.get_hsv(), GuiColorValue::from_rgb(row.c[0], row.c[1], row.c[2]).get_hsv());
    }
}

TEST(GuiColorValue, FormulaNamesAndLabels)
{
    EXPECT_STREQ(GuiColorValue::get_formula_name(GuiColorValue::FORMULA_MEAN_A_B), "FORMULA_MEAN_A_B");
    EXPECT_STREQ(GuiColorValue::get_formula_label(GuiColorValue::FORMULA_MEAN_A_B), "(A + B) / 2");
    EXPECT_STREQ(GuiColorValue::get_formula_label(GuiColorValue::FORMULA_INV_A), "1 - A");
    EXPECT_STREQ(GuiColorValue::get_formula_name(static_cast<GuiColorValue::Formula>(-1)), "FORMULA_UNKNOWN");
    EXPECT_STREQ(GuiColorValue::get_formula_name(GuiColorValue::FORMULA_COUNT), "FORMULA_UNKNOWN");
}

TEST(GuiColorValue, BytesClampEachComponent)
{
    EXPECT_EQ(GuiColorValue::to_bytes(GMathVec3<double>(2.5, -1.0, 0.5)), GMathVec3<unsigned char>(255, 0, 128));
    EXPECT_EQ(GuiColorValue::to_bytes(GMathVec3<double>(std::nan(""), 1.0, 0.0)), GMathVec3<unsigned char>(0, 255, 0));
}

}  // namespace
