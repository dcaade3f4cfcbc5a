// Evaluation: each key type and each behaviour against values worked out by hand, steps at
// shared times, the value range, and the derived data kept right through edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "host/fcurve/fcurve.h"
#include "tests/support/log_recorder.h"

namespace {

using Type = FCurveKey::Type;

struct KeySpec {
    double time;
    double value;
    Type type;
};

struct Probe {
    double time;
    double value;
};

FCurve make_curve(std::vector<KeySpec> const& keys)
{
    FCurve curve;
    for (KeySpec const& key : keys) EXPECT_TRUE(curve.add_key(key.time, key.value, key.type).is_valid());
    return curve;
}

void expect_values(FCurve const& curve, std::vector<Probe> const& probes, char const* name)
{
    for (Probe const& probe : probes)
        EXPECT_NEAR(curve.eval(probe.time), probe.value, 1e-12) << name << " at t=" << probe.time;
}

struct TypeCase {
    char const* name;
    std::vector<KeySpec> keys;
    std::vector<Probe> probes;
};

// Cubic values from the Hermite basis at s = 0.5 (h00 = h01 = 1/2, h10 = 1/8, h11 = -1/8) and
// at s = 0.25 (h01 = 0.15625); slopes as FCurveKey describes them.
TEST(FCurveEval, KeyTypes)
{
    Type const C = FCurveKey::TYPE_CONSTANT, L = FCurveKey::TYPE_LINEAR, S = FCurveKey::TYPE_SMOOTH,
               K = FCurveKey::TYPE_SMOOTH_CLAMPED;
    TypeCase const cases[] = {
        {"constant holds until the next key", {{0, 1, C}, {2, 3, C}}, {{0, 1}, {1, 1}, {1.999, 1}, {2, 3}}},
        {"linear", {{0, 1, L}, {2, 3, L}}, {{0.5, 1.5}, {1, 2}, {2, 3}}},
        {"two smooth keys make a line", {{0, 1, S}, {2, 3, S}}, {{0.5, 1.5}, {1.5, 2.5}}},
        // Middle key flat (chord 0), ends take the chord to their neighbour (1 and -1).
        {"smooth hump", {{0, 0, S}, {1, 1, S}, {2, 0, S}}, {{0.5, 0.625}, {1, 1}, {1.5, 0.625}}},
        // Key 1's slope is 0.5: the first segment dips below both its keys.
        {"smooth overshoots", {{0, 0, S}, {1, 0, S}, {2, 1, S}, {3, 1, S}}, {{0.5, -0.0625}, {2.5, 1.0625}}},
        {"clamped stays flat beside a plateau", {{0, 0, K}, {1, 0, K}, {2, 1, K}, {3, 1, K}}, {{0.5, 0}, {2.5, 1}}},
        // Key 1: chord 2.5 limited to three times the gentle side's 0.1; smooth gives -0.25.
        {"clamped limits the slope", {{0, 0, K}, {1, 0.1, K}, {2, 5, K}}, {{0.5, 0.025}}},
        {"smooth without the limit", {{0, 0, S}, {1, 0.1, S}, {2, 5, S}}, {{0.5, -0.25}}},
        // A cubic arriving at a constant key arrives flat; a linear key shows its chord.
        {"smooth into constant", {{0, 0, S}, {1, 1, C}}, {{0.5, 0.625}}},
        {"smooth into linear", {{0, 0, S}, {1, 1, L}, {2, 1, L}}, {{0.5, 0.5}}},
        {"keys added out of order", {{2, 3, L}, {0, 1, L}}, {{1, 2}}},
    };
    for (TypeCase const& c : cases) expect_values(make_curve(c.keys), c.probes, c.name);
}

TEST(FCurveEval, BezierKeysFollowTheirOwnSlopes)
{
    FCurve curve;
    FCurveKeyId const a = curve.add_key(0, 0, FCurveKey::TYPE_LINEAR);
    FCurveKeyId const b = curve.add_key(1, 1, FCurveKey::TYPE_LINEAR);
    EXPECT_TRUE(curve.set_key_tangents(a, 7.0, 0.0));
    EXPECT_TRUE(curve.set_key_tangents(b, 0.0, 9.0));
    EXPECT_EQ(curve.get_key_type(a), FCurveKey::TYPE_BEZIER);
    EXPECT_NEAR(curve.eval(0.5), 0.5, 1e-12);       // flat at both ends: 3s^2 - 2s^3
    EXPECT_NEAR(curve.eval(0.25), 0.15625, 1e-12);
    curve.set_key_tangents(a, 7.0, 2.0);
    EXPECT_NEAR(curve.eval(0.5), 0.75, 1e-12);      // + h10 * 2
}

TEST(FCurveEval, TurningASmoothKeyIntoBezierKeepsTheShape)
{
    FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_SMOOTH}, {1, 2, FCurveKey::TYPE_SMOOTH},
                               {3, -1, FCurveKey::TYPE_SMOOTH}});
    FCurve const before = curve;
    FCurveKeyId const middle = curve.get_key_id(1);
    curve.set_key_type(middle, FCurveKey::TYPE_BEZIER);
    for (double t = -0.5; t < 3.5; t += 0.125) EXPECT_DOUBLE_EQ(curve.eval(t), before.eval(t)) << t;
    // From now on the slopes stay when a neighbour moves; a smooth key's would follow.
    double in = 0, out = 0;
    curve.get_key_tangents(middle, in, out);
    curve.set_key_value(curve.get_key_id(2), 10.0);
    double in_after = 0, out_after = 0;
    curve.get_key_tangents(middle, in_after, out_after);
    EXPECT_EQ(in_after, in);
    EXPECT_EQ(out_after, out);
}

// Keys (0, 0), (1, 2), (3, 3), all linear: span 3, rise 3, slope 2 at the start and 0.5 at
// the end.
struct BehaviorCase {
    FCurve::Behavior behavior;
    std::vector<Probe> pre;
    std::vector<Probe> post;
};

TEST(FCurveEval, Behaviors)
{
    BehaviorCase const cases[] = {
        {FCurve::BEHAVIOR_CONSTANT, {{-1, 0}, {-100, 0}}, {{5, 3}, {100, 3}}},
        {FCurve::BEHAVIOR_LINEAR, {{-1, -2}, {-0.25, -0.5}}, {{5, 4}, {4, 3.5}}},
        {FCurve::BEHAVIOR_CYCLE, {{-0.5, 2.75}, {-3, 0}, {-5, 2}}, {{3.5, 1}, {6, 0}, {7, 2}, {303.5, 1}}},
        {FCurve::BEHAVIOR_CYCLE_OFFSET, {{-0.5, -0.25}, {-3, -3}, {-5, -4}}, {{3.5, 4}, {6, 6}, {7, 8}, {303.5, 304}}},
        {FCurve::BEHAVIOR_OSCILLATE, {{-0.5, 1}, {-3, 3}, {-4, 2.5}}, {{3.5, 2.75}, {5, 2}, {6, 0}, {7, 2}}},
    };
    for (BehaviorCase const& c : cases) {
        FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_LINEAR}, {1, 2, FCurveKey::TYPE_LINEAR},
                                   {3, 3, FCurveKey::TYPE_LINEAR}});
        ASSERT_TRUE(curve.set_pre_behavior(c.behavior));
        ASSERT_TRUE(curve.set_post_behavior(c.behavior));
        char const* name = FCurve::get_behavior_label(c.behavior);
        expect_values(curve, c.pre, name);
        expect_values(curve, c.post, name);
        // The keys' own span is untouched by the behaviours.
        expect_values(curve, {{0, 0}, {2, 2.5}, {3, 3}}, name);
    }
}

TEST(FCurveEval, PreAndPostAreIndependent)
{
    FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_LINEAR}, {2, 4, FCurveKey::TYPE_LINEAR}});
    curve.set_pre_behavior(FCurve::BEHAVIOR_LINEAR);
    curve.set_post_behavior(FCurve::BEHAVIOR_CYCLE);
    expect_values(curve, {{-1, -2}, {3, 2}}, "linear pre, cycle post");
}

// Linear continues the slope the curve arrives with, not a Bezier key's outgoing one.
TEST(FCurveEval, LinearPostFollowsTheArrivingSlope)
{
    FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_SMOOTH}, {1, 1, FCurveKey::TYPE_SMOOTH}});
    curve.set_key_tangents(curve.get_key_id(1), 3.0, -5.0);
    curve.set_key_tangents(curve.get_key_id(0), 0.0, 0.5);
    curve.set_pre_behavior(FCurve::BEHAVIOR_LINEAR);
    curve.set_post_behavior(FCurve::BEHAVIOR_LINEAR);
    EXPECT_NEAR(curve.eval(2.0), 4.0, 1e-12);
    EXPECT_NEAR(curve.eval(-2.0), -1.0, 1e-12);
}

TEST(FCurveEval, EmptyAndSingleKeyCurves)
{
    FCurve empty;
    for (double t : {-1e9, 0.0, 3.5}) EXPECT_EQ(empty.eval(t), 0.0);
    EXPECT_FALSE(empty.get_first_key_after(-1.0).is_valid());

    for (int b = 0; b < FCurve::BEHAVIOR_COUNT; ++b) {
        FCurve single;
        single.add_key(2.0, 7.0, FCurveKey::TYPE_SMOOTH);
        single.set_pre_behavior(FCurve::Behavior(b));
        single.set_post_behavior(FCurve::Behavior(b));
        for (double t : {-5.0, 2.0, 9.0}) EXPECT_EQ(single.eval(t), 7.0) << FCurve::get_behavior_label(FCurve::Behavior(b));
    }
}

TEST(FCurveEval, TimesThatAreNotFinite)
{
    FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_LINEAR}, {1, 2, FCurveKey::TYPE_LINEAR}});
    double const inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(curve.eval(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(curve.eval(inf), 2.0);
    curve.set_post_behavior(FCurve::BEHAVIOR_LINEAR);
    curve.set_pre_behavior(FCurve::BEHAVIOR_CYCLE_OFFSET);
    EXPECT_EQ(curve.eval(inf), inf);
    EXPECT_EQ(curve.eval(-inf), -inf);
    curve.set_pre_behavior(FCurve::BEHAVIOR_OSCILLATE);
    EXPECT_EQ(curve.eval(-inf), 0.0);
}

// Keys sharing a time make a step: the later key's value holds from that time on, and the
// smooth keys on each side shape their own piece as curve ends.
TEST(FCurveEval, KeysAtOneTimeMakeAStep)
{
    FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_SMOOTH}, {1, 1, FCurveKey::TYPE_SMOOTH},
                               {2, 6, FCurveKey::TYPE_SMOOTH}});
    FCurveKeyId const later = curve.add_key(1, 5, FCurveKey::TYPE_SMOOTH);
    EXPECT_EQ(curve.get_key_index(later), 2);
    expect_values(curve, {{0.5, 0.5}, {1, 5}, {1.5, 5.5}, {2, 6}}, "step");
    EXPECT_NEAR(curve.eval(std::nextafter(1.0, 0.0)), 1.0, 1e-12);

    FCurve start = make_curve({{0, 1, FCurveKey::TYPE_LINEAR}, {0, 5, FCurveKey::TYPE_LINEAR},
                               {1, 6, FCurveKey::TYPE_LINEAR}});
    expect_values(start, {{-1, 1}, {0, 5}, {0.5, 5.5}}, "step at the first time");
    FCurve same = make_curve({{3, 1, FCurveKey::TYPE_LINEAR}, {3, 2, FCurveKey::TYPE_LINEAR}});
    same.set_post_behavior(FCurve::BEHAVIOR_CYCLE);
    expect_values(same, {{2, 1}, {3, 2}, {4, 2}}, "all keys at one time");
}

// The local refresh after each edit must leave the curve as a curve built at once from the
// final keys: random edits, then a comparison at many times.
TEST(FCurveEval, EditsKeepTheCurveAsIfBuiltFresh)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 20; ++round) {
        FCurve curve;
        std::vector<FCurveKeyId> ids;
        for (int step = 0; step < 60; ++step) {
            int const action = ids.size() < 3 ? 0 : static_cast<int>(random() % 5);
            FCurveKeyId const id = ids.empty() ? FCurveKeyId() : ids[random() % ids.size()];
            // Times on a coarse grid so that some keys share a time.
            double const time = std::floor(unit(random) * 40.0) / 4.0;
            Type const type = Type(random() % FCurveKey::TYPE_COUNT);
            if (action == 0) ids.push_back(curve.add_key(time, unit(random) * 10.0, type));
            if (action == 1) curve.set_key_time(id, time);
            if (action == 2) curve.set_key_value(id, unit(random) * 10.0);
            if (action == 3) curve.set_key_type(id, type);
            if (action == 4 && ids.size() > 3) {
                curve.remove_key(id);
                std::erase(ids, id);
            }
        }
        FCurve fresh;
        for (FCurveKey const& key : curve.get_keys()) {
            FCurveKeyId const id = fresh.add_key(key.time, key.value, key.type);
            if (key.type == FCurveKey::TYPE_BEZIER) fresh.set_key_tangents(id, key.in_slope, key.out_slope);
        }
        for (double t = -1.0; t < 11.0; t += 0.03125)
            ASSERT_NEAR(curve.eval(t), fresh.eval(t), 1e-9) << "round " << round << " t=" << t;
    }
}

// The segment remembered from the previous call must never change a result: the same times
// in increasing, decreasing and random order give the same values.
TEST(FCurveEval, EvaluationOrderDoesNotMatter)
{
    FCurve curve;
    std::mt19937 random(11);
    for (int i = 0; i < 200; ++i)
        curve.add_key(i * 0.5 + (random() % 100) * 1e-3, random() % 1000 * 0.01, Type(random() % FCurveKey::TYPE_COUNT));
    curve.set_post_behavior(FCurve::BEHAVIOR_OSCILLATE);
    // Times between keys and exactly on them, where a segment off by one shows at steps.
    std::vector<double> times;
    for (int i = 0; i < 4000; ++i) times.push_back(-5.0 + i * 0.03);
    for (FCurveKey const& key : curve.get_keys()) times.push_back(key.time);
    std::sort(times.begin(), times.end());
    std::vector<double> expected;
    for (double t : times) expected.push_back(FCurve(curve).eval(t));  // a copy starts without a hint
    for (size_t i = 0; i < times.size(); ++i) ASSERT_EQ(curve.eval(times[i]), expected[i]);
    for (size_t i = times.size(); i-- > 0;) ASSERT_EQ(curve.eval(times[i]), expected[i]);
    for (int n = 0; n < 4000; ++n) {
        size_t const i = random() % times.size();
        ASSERT_EQ(curve.eval(times[i]), expected[i]);
    }
}

// The range must hold every value the curve takes and be reached by them (checked by dense
// sampling), for every behaviour and ranges before, across and after the keys.
TEST(FCurveEval, ValueRangeMatchesSampling)
{
    FCurve curve = make_curve({{0, 0, FCurveKey::TYPE_SMOOTH}, {1, 3, FCurveKey::TYPE_SMOOTH},
                               {2, -1, FCurveKey::TYPE_BEZIER}, {2.5, 1, FCurveKey::TYPE_CONSTANT},
                               {4, 2, FCurveKey::TYPE_LINEAR}});
    double const ranges[][2] = {{0.2, 0.7}, {-1, 5}, {-9.3, -0.4}, {4.5, 20}, {6.1, 6.2}, {-30, 30}};
    for (int b = 0; b < FCurve::BEHAVIOR_COUNT; ++b) {
        curve.set_pre_behavior(FCurve::Behavior(b));
        curve.set_post_behavior(FCurve::Behavior((b + 2) % FCurve::BEHAVIOR_COUNT));
        for (auto const& range : ranges) {
            double min = 0, max = 0;
            ASSERT_TRUE(curve.get_value_range(range[0], range[1], min, max));
            double low = curve.eval(range[1]), high = low;
            double const step = (range[1] - range[0]) / 60000.0;
            for (double t = range[0]; t < range[1]; t += step) {
                low = std::min(low, curve.eval(t));
                high = std::max(high, curve.eval(t));
            }
            std::string const where = std::string(FCurve::get_behavior_label(FCurve::Behavior(b))) + " [" +
                                      std::to_string(range[0]) + ", " + std::to_string(range[1]) + "]";
            EXPECT_LE(min, low + 1e-12) << where;
            EXPECT_GE(max, high - 1e-12) << where;
            EXPECT_NEAR(min, low, 2e-3) << where;
            EXPECT_NEAR(max, high, 2e-3) << where;
        }
    }
    double min = 5, max = 5;
    EXPECT_FALSE(FCurve().get_value_range(0, 1, min, max));
    LogRecorder log;
    EXPECT_FALSE(curve.get_value_range(2, 1, min, max));
    EXPECT_FALSE(curve.get_value_range(0, std::numeric_limits<double>::infinity(), min, max));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(min, 5);
}

}  // namespace
