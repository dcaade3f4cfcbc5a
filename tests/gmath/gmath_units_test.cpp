#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "host/gmath/gmath_units.h"
#include "tests/support/log_recorder.h"

namespace {

using U = GMathUnits;

// Restores the process-wide frame rate each test may change.
class GMathUnitsTest : public ::testing::Test {
protected:
    void TearDown() override { U::set_used_fps(24.0); }

    // Reads `text` into a field and returns the value (NaN when refused).
    static double read(char const* text, U::Kind kind, char const* system = "", char const* base = "",
                       double fps = 0.0)
    {
        double value = std::numeric_limits<double>::quiet_NaN();
        U::get_value_from_str_with_unit(text, fps, kind, system, base, value);
        return value;
    }

    static CoreString write(double value, U::Kind kind, char const* system, char const* base,
                            U::Format format, unsigned precision = 3,
                            CoreVector<CoreString> const& units = CoreVector<CoreString>())
    {
        return U::get_value_with_unit_from_value(units, value, 0.0, kind, system, base, format, precision);
    }

    static CoreVector<CoreString> names(std::initializer_list<char const*> list)
    {
        CoreVector<CoreString> v;
        for (char const* n : list) v.add(CoreString(n));
        return v;
    }
};

TEST_F(GMathUnitsTest, SplitsNumberAndUnit)
{
    struct Case {
        char const* text;
        double value;
        char const* unit;
    };
    Case const cases[] = {
        {"12", 12.0, ""},         {"10cm", 10.0, "cm"},       {"  -0.5 km  ", -0.5, "km"},
        {"1e3mm", 1000.0, "mm"},  {"+.5m", 0.5, "m"},         {"2.E-2\tdeg", 0.02, "deg"},
        {"3.", 3.0, ""},          {"2em", 2.0, "em"},         {"48 24fps", 48.0, "24fps"},
        {"45\xC2\xB0", 45.0, "\xC2\xB0"}, {"5'", 5.0, "'"},   {"1e-400", 0.0, ""},
    };
    LogRecorder log;
    for (Case const& c : cases) {
        double value = -1.0;
        CoreString unit("old");
        EXPECT_TRUE(U::split_value_and_unit_from_str(c.text, value, unit)) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        EXPECT_EQ(unit, c.unit) << c.text;
    }
    EXPECT_EQ(log.count(), 0u) << log.dump();
}

TEST_F(GMathUnitsTest, BadTextIsRefusedWithOneMessage)
{
    CoreString const bad[] = {"", "  ", "abc", "1..2", "- 5", "1,5", "3m extra", "1e999",
                              "5 m2", ".", "e5", "1e+", "12 \"\"", "7 1.2.3fps"};
    for (CoreString const& text : bad) {
        LogRecorder log;
        double value = 42.0;
        CoreString unit("old");
        EXPECT_FALSE(U::split_value_and_unit_from_str(text, value, unit)) << text;
        EXPECT_EQ(value, 42.0) << text;
        EXPECT_EQ(unit, "old") << text;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << text << "\n" << log.dump();
    }
    LogRecorder log;
    double value = 0.0;
    CoreString unit;
    // Text after a NUL byte is not silently cut off.
    EXPECT_FALSE(U::split_value_and_unit_from_str(CoreString("7\0m", 3), value, unit));
}

TEST_F(GMathUnitsTest, ConvertsTypedUnitsToTheBaseUnit)
{
    EXPECT_EQ(read("10cm", U::KIND_LENGTH, "m", "m"), 0.1);
    EXPECT_DOUBLE_EQ(read("90deg", U::KIND_ANGLE, "rad", "rad"), std::numbers::pi / 2.0);
    EXPECT_DOUBLE_EQ(read("45\xC2\xB0", U::KIND_ANGLE), std::numbers::pi / 4.0);
    // A number alone is in the system unit, and empty units fall back to base and reference.
    EXPECT_EQ(read("12", U::KIND_LENGTH, "cm", "m"), 0.12);
    EXPECT_EQ(read("12", U::KIND_LENGTH, "", "cm"), 12.0);
    EXPECT_EQ(read("1 in", U::KIND_LENGTH, "m", "cm"), 2.54);
    EXPECT_EQ(read("3 FEET", U::KIND_LENGTH, "m", "yd"), 1.0);
    EXPECT_EQ(read("1.5 h", U::KIND_TIME, "s", "min"), 90.0);
    EXPECT_EQ(read("3.25", U::KIND_NONE), 3.25);
}

TEST_F(GMathUnitsTest, RefusesUnknownAndForeignUnitsLeavingTheValue)
{
    // Unknown units, units of another kind, a unit where none is expected, no number, bad frame rates.
    std::pair<char const*, U::Kind> const cases[] = {
        {"5 parsecs", U::KIND_LENGTH}, {"10deg", U::KIND_LENGTH}, {"2 s", U::KIND_ANGLE},
        {"5m", U::KIND_NONE},          {"abc", U::KIND_LENGTH},   {"", U::KIND_TIME},
        {"1..2", U::KIND_LENGTH},      {"0fps", U::KIND_TIME},    {"1 0fps", U::KIND_TIME},
        {"1 .fps", U::KIND_TIME},
    };
    for (auto const& [text, kind] : cases) {
        LogRecorder log;
        double value = 7.0;
        EXPECT_FALSE(U::get_value_from_str_with_unit(text, 0.0, kind, "", "", value)) << text;
        EXPECT_EQ(value, 7.0) << text;
        EXPECT_EQ(log.count(), 1u) << text << "\n" << log.dump();
    }
}

TEST_F(GMathUnitsTest, FieldUnitsThatDoNotFitTheKindAreErrors)
{
    LogRecorder log;
    double value = 7.0;
    EXPECT_FALSE(U::get_value_from_str_with_unit("1", 0.0, U::KIND_LENGTH, "m", "deg", value));
    EXPECT_FALSE(U::get_value_from_str_with_unit("1", 0.0, U::KIND_TIME, "furlong", "s", value));
    EXPECT_FALSE(U::get_value_from_str_with_unit("1", 0.0, U::Kind(17), "", "", value));
    EXPECT_EQ(value, 7.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 3u) << log.dump();

    // Writing falls back to the bare number.
    log.clear();
    EXPECT_EQ(write(0.25, U::KIND_ANGLE, "m", "rad", U::FORMAT_VALUE_UNIT), "0.25");
    EXPECT_EQ(U::get_format_unit({}, 0.25, 0.0, U::KIND_ANGLE, "m", "rad", U::FORMAT_VALUE_UNIT), "");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 2u) << log.dump();
}

TEST_F(GMathUnitsTest, FramesFollowTheFieldRate)
{
    EXPECT_EQ(read("48 frames", U::KIND_TIME), 2.0);
    EXPECT_EQ(read("30f", U::KIND_TIME, "s", "s", 30.0), 1.0);  // the fps argument wins
    EXPECT_EQ(read("48", U::KIND_TIME, "24fps", "s"), 2.0);
    EXPECT_EQ(read("50f", U::KIND_TIME, "25fps", "s", 30.0), 2.0);  // the system rate wins
    EXPECT_EQ(read("1", U::KIND_TIME, "min", "f"), 1440.0);
    EXPECT_EQ(read("10 29.97fps", U::KIND_TIME, "s", "29.97fps"), 10.0);

    LogRecorder log;
    EXPECT_TRUE(U::set_used_fps_unit("29.970fps"));
    EXPECT_EQ(U::get_used_fps_unit(), "29.97fps");
    EXPECT_NEAR(read("100f", U::KIND_TIME), 100.0 / 29.97, 1e-9);
    EXPECT_TRUE(U::set_used_fps_unit("50"));  // the same field reads at the new rate
    EXPECT_EQ(read("100f", U::KIND_TIME), 2.0);
    EXPECT_FALSE(U::set_used_fps(0.0));
    EXPECT_FALSE(U::set_used_fps_unit("fast"));
    EXPECT_FALSE(U::set_used_fps_unit("-5fps"));
    EXPECT_EQ(U::get_used_fps(), 50.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 3u) << log.dump();
}

TEST_F(GMathUnitsTest, WritesValuesWithTheirUnit)
{
    EXPECT_EQ(write(std::numbers::pi, U::KIND_ANGLE, "deg", "rad", U::FORMAT_VALUE_UNIT, 2), "180deg");
    EXPECT_EQ(write(2.0, U::KIND_TIME, "24fps", "s", U::FORMAT_VALUE_UNIT), "48f");
    EXPECT_EQ(write(1.0 / 3.0, U::KIND_NONE, "", "", U::FORMAT_VALUE_UNIT, 2), "0.33");
    EXPECT_EQ(write(std::numeric_limits<double>::infinity(), U::KIND_LENGTH, "m", "m", U::FORMAT_VALUE_UNIT),
              "inf");

    CoreVector<CoreString> metric = names({"mm", "cm", "m", "km"});
    EXPECT_EQ(write(1500.0, U::KIND_LENGTH, "m", "m", U::FORMAT_AUTO_UNIT, 3, metric), "1.5km");
    EXPECT_EQ(write(-0.0004, U::KIND_LENGTH, "m", "m", U::FORMAT_AUTO_UNIT, 3, metric), "-0.4mm");
    EXPECT_EQ(write(0.0, U::KIND_LENGTH, "ft", "m", U::FORMAT_AUTO_UNIT, 3, metric), "0ft");
    EXPECT_EQ(U::get_format_unit(metric, 2500.0, 0.0, U::KIND_LENGTH, "m", "m", U::FORMAT_AUTO_UNIT), "km");
    EXPECT_EQ(U::get_format_unit(metric, 2500.0, 0.0, U::KIND_LENGTH, "cm", "m", U::FORMAT_VALUE), "cm");
    EXPECT_EQ(U::get_format_unit({}, 1.0, 0.0, U::KIND_TIME, "", "30fps", U::FORMAT_VALUE), "30fps");

    LogRecorder log;
    EXPECT_EQ(write(1500.0, U::KIND_LENGTH, "m", "m", U::FORMAT_AUTO_UNIT, 3, names({"deg", "km", "zz"})),
              "1.5km");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
}

TEST_F(GMathUnitsTest, UnitNamesAndLookups)
{
    U::Unit unit;
    EXPECT_TRUE(U::get_unit("Inches", 0.0, unit));
    EXPECT_EQ(unit.name, "in");
    EXPECT_TRUE(U::get_unit("f", 30.0, unit));
    EXPECT_TRUE(unit.is_frame);
    EXPECT_EQ(unit.denominator, 30.0);
    EXPECT_FALSE(U::get_unit("", 0.0, unit));
    EXPECT_FALSE(U::get_unit("fps", 0.0, unit));

    EXPECT_EQ(U::get_display_format_unit("24fps"), "f");
    EXPECT_EQ(U::get_display_format_unit("parsec"), "parsec");

    U::Kind kind = U::KIND_NONE;
    EXPECT_TRUE(U::get_kind_from_label("angle", kind));
    EXPECT_EQ(kind, U::KIND_ANGLE);
    EXPECT_FALSE(U::get_kind_from_label("mass", kind));
    EXPECT_EQ(kind, U::KIND_ANGLE);
}

TEST_F(GMathUnitsTest, StringifyFloatRoundsAndTrims)
{
    double const inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(U::stringify_float(0.1 + 0.2, 2), "0.3");
    EXPECT_EQ(U::stringify_float(0.1 + 0.2, 17), "0.30000000000000004");
    EXPECT_EQ(U::stringify_float(1234.5678, 0), "1235");
    // Zeros of the integer part stay when there is no fraction.
    EXPECT_EQ(U::stringify_float(100.0, 2), "100");
    EXPECT_EQ(U::stringify_float(-0.001, 2), "0");  // no "-0"
    EXPECT_EQ(U::stringify_float(-2.5, 0), "-2");
    EXPECT_EQ(U::stringify_float(-0.006, 2), "-0.01");
    EXPECT_EQ(U::stringify_float(0.125, 2), "0.12");
    EXPECT_EQ(U::stringify_float(-1e21, 0), "-1000000000000000000000");
    EXPECT_EQ(U::stringify_float(std::numeric_limits<double>::max(), 30).get_length(), 309u);
    EXPECT_EQ(U::stringify_float(0.1, 100), "0.100000000000000005551115123126");
    EXPECT_EQ(U::stringify_float(-inf, 0), "-inf");
}

} // namespace
