#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "host/gmath/gmath_color.h"

namespace {

constexpr double TOLERANCE = 1e-6;

void expect_near3(GMathVec3<double> const& a, GMathVec3<double> const& b, char const* what)
{
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], TOLERANCE) << what << " component " << i;
}

} // namespace

TEST(GMathColor, PrimariesAndSecondaries)
{
    struct Case {
        GMathVec3<double> rgb;
        double hue;
    };
    Case const cases[] = {
        {{1, 0, 0}, 0.0},       {{1, 1, 0}, 1.0 / 6.0}, {{0, 1, 0}, 1.0 / 3.0},
        {{0, 1, 1}, 0.5},       {{0, 0, 1}, 2.0 / 3.0}, {{1, 0, 1}, 5.0 / 6.0},
    };
    for (Case const& c : cases) {
        expect_near3(gmath_rgb_to_hsv(c.rgb), {c.hue, 1.0, 1.0}, "hsv");
        expect_near3(gmath_rgb_to_hsl(c.rgb), {c.hue, 1.0, 0.5}, "hsl");
    }  // the way back is in the round trips below
    // A half-dark orange: checks the hue between primaries and the saturation formulas.
    double h, s, v, l;
    gmath_rgb_to_hsv(0.5, 0.25, 0.0, h, s, v);
    EXPECT_NEAR(h, 1.0 / 12.0, TOLERANCE);
    EXPECT_NEAR(s, 1.0, TOLERANCE);
    EXPECT_NEAR(v, 0.5, TOLERANCE);
    gmath_rgb_to_hsl(1.0, 0.5, 0.5, h, s, l);
    EXPECT_NEAR(s, 1.0, TOLERANCE);
    EXPECT_NEAR(l, 0.75, TOLERANCE);
}

TEST(GMathColor, GraysBlackAndWhiteHaveNoHueNorSaturation)
{
    for (double g : {0.0, 0.2, 0.5, 1.0}) {
        float hf = -1, sf = -1, vf = -1;
        gmath_rgb_to_hsv(float(g), float(g), float(g), hf, sf, vf);
        EXPECT_TRUE(hf == 0.0f && sf == 0.0f);
        EXPECT_FLOAT_EQ(vf, float(g));
        double h = -1, s = -1, l = -1;
        gmath_rgb_to_hsl(g, g, g, h, s, l);
        EXPECT_TRUE(h == 0.0 && s == 0.0);
        EXPECT_DOUBLE_EQ(l, g);
        // Any hue of a colour without saturation is the gray itself.
        expect_near3(gmath_hsv_to_rgb(GMathVec3<double>(0.7, 0.0, g)), {g, g, g}, "hsv gray");
        expect_near3(gmath_hsl_to_rgb(GMathVec3<double>(0.3, 0.0, g)), {g, g, g}, "hsl gray");
    }
    expect_near3(gmath_hsl_to_rgb(GMathVec3<double>(0.4, 1.0, 1.0)), {1, 1, 1}, "hsl white");
    expect_near3(gmath_hsl_to_rgb(GMathVec3<double>(0.4, 1.0, 0.0)), {0, 0, 0}, "hsl black");
}

TEST(GMathColor, HueWrapsAround)
{
    GMathVec3<double> red(1, 0, 0);
    expect_near3(gmath_hsv_to_rgb(GMathVec3<double>(-1.0, 1.0, 1.0)), red, "hue -1");
    expect_near3(gmath_hsv_to_rgb(GMathVec3<double>(1.25, 0.5, 0.8)),
                 gmath_hsv_to_rgb(GMathVec3<double>(0.25, 0.5, 0.8)), "hue 1.25");
    // A hue just below 0 lands just below 1, still red-ish, never in an undefined sector.
    expect_near3(gmath_hsv_to_rgb(GMathVec3<double>(-1e-20, 1.0, 1.0)), red, "hue -0");
    // A hue that is not a number counts as 0 rather than giving garbage.
    expect_near3(gmath_hsv_to_rgb(GMathVec3<double>(std::numeric_limits<double>::quiet_NaN(), 1.0, 1.0)),
                 red, "hue NaN");
}

TEST(GMathColor, RandomRoundTripsInFloatAndDouble)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        GMathVec3<double> rgb(unit(random), unit(random), unit(random));
        expect_near3(gmath_hsv_to_rgb(gmath_rgb_to_hsv(rgb)), rgb, "hsv round trip");
        expect_near3(gmath_hsl_to_rgb(gmath_rgb_to_hsl(rgb)), rgb, "hsl round trip");

        GMathVec3<float> rgbf(rgb);
        GMathVec3<double> back(gmath_hsv_to_rgb(gmath_rgb_to_hsv(rgbf)));
        expect_near3(back, GMathVec3<double>(rgbf), "float hsv round trip");
        back = GMathVec3<double>(gmath_hsl_to_rgb(gmath_rgb_to_hsl(rgbf)));
        expect_near3(back, GMathVec3<double>(rgbf), "float hsl round trip");

        // Saturated colours also come back from HSV to the same HSV.
        GMathVec3<double> hsv(unit(random), 0.05 + 0.95 * unit(random), 0.05 + 0.95 * unit(random));
        expect_near3(gmath_rgb_to_hsv(gmath_hsv_to_rgb(hsv)), hsv, "rgb round trip");
        if (::testing::Test::HasFailure()) break;
    }
}

TEST(GMathColor, OutputsMayAliasInputs)
{
    double a = 0.2, b = 0.6, c = 0.4;
    GMathVec3<double> expected = gmath_rgb_to_hsv(GMathVec3<double>(a, b, c));
    gmath_rgb_to_hsv(a, b, c, a, b, c);
    expect_near3({a, b, c}, expected, "aliased");
    gmath_hsv_to_rgb(a, b, c, a, b, c);
    expect_near3({a, b, c}, {0.2, 0.6, 0.4}, "aliased back");
}

TEST(GMathColorFloat, HueJustBelowOneStaysBelowOne)
{
    // In double the hue is a hair under 1; rounded to float it must not become 1.
    float h = -1.0f, s = 0.0f, v = 0.0f;
    gmath_rgb_to_hsv(1.0f, 0.0f, 1e-9f, h, s, v);
    EXPECT_GE(h, 0.0f);
    EXPECT_LT(h, 1.0f);
    gmath_rgb_to_hsl(1.0f, 0.0f, 1e-9f, h, s, v);
    EXPECT_LT(h, 1.0f);
}
