// Editing: ids that follow their keys through re-sorting, neighbours, copies and equality,
// and bad input refused with one warning and no change.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <ostream>
#include <vector>

#include "host/fcurve/fcurve.h"
#include "tests/support/log_recorder.h"

void PrintTo(FCurveKeyId const& id, std::ostream* out) { *out << "key#" << id.get_value(); }

namespace {

std::vector<double> times_of(FCurve const& curve)
{
    std::vector<double> times;
    for (FCurveKey const& key : curve.get_keys()) times.push_back(key.time);
    return times;
}

TEST(FCurveEdit, IdsFollowTheirKeysThroughResorting)
{
    FCurve curve;
    FCurveKeyId const a = curve.add_key(1.0, 10.0);
    FCurveKeyId const b = curve.add_key(2.0, 20.0);
    FCurveKeyId const c = curve.add_key(3.0, 30.0);
    EXPECT_EQ(curve.get_key_index(a), 0);

    // a jumps past both others, c goes first: every id still names its key.
    ASSERT_TRUE(curve.set_key_time(a, 5.0));
    ASSERT_TRUE(curve.set_key_time(c, 0.5));
    EXPECT_EQ(times_of(curve), (std::vector<double>{0.5, 2.0, 5.0}));
    EXPECT_EQ(curve.get_key_index(c), 0);
    EXPECT_EQ(curve.get_key_index(b), 1);
    EXPECT_EQ(curve.get_key_index(a), 2);
    EXPECT_EQ(curve.get_key_id(2), a);
    EXPECT_EQ(curve.get_key_value(a), 10.0);
    EXPECT_EQ(curve.get_key_time(c), 0.5);

    ASSERT_TRUE(curve.remove_key(b));
    EXPECT_EQ(curve.get_key_index(b), -1);
    EXPECT_EQ(curve.get_key_index(a), 1);
    // Ids are never given twice, even after a removal.
    FCurveKeyId const d = curve.add_key(1.0, 0.0);
    EXPECT_NE(d, b);
    EXPECT_EQ(curve.get_key_index(d), 1);
    EXPECT_EQ(curve.get_key_index(a), 2);
    EXPECT_EQ(curve.get_key_count(), 3u);
}

// Curves edited alike (one per colour channel) keep matching ids.
TEST(FCurveEdit, CurvesBuiltAlikeShareIds)
{
    FCurve red, green;
    for (FCurve* curve : {&red, &green}) {
        curve->add_key(0.0, 0.0);
        curve->add_key(1.0, 1.0);
        curve->remove_key(curve->get_key_id(0));
        curve->add_key(0.5, 0.2);
    }
    ASSERT_EQ(red.get_key_count(), green.get_key_count());
    for (unsigned int i = 0; i < red.get_key_count(); ++i) EXPECT_EQ(red.get_key_id(i), green.get_key_id(i));
    // A copy continues the numbering of the original.
    FCurve copy = red;
    EXPECT_EQ(copy.add_key(2.0, 0.0), red.add_key(2.0, 0.0));
}

TEST(FCurveEdit, MovingOntoAnotherKeysTimePutsItAfter)
{
    FCurve curve;
    FCurveKeyId const a = curve.add_key(1.0, 10.0, FCurveKey::TYPE_LINEAR);
    FCurveKeyId const b = curve.add_key(2.0, 20.0, FCurveKey::TYPE_LINEAR);
    FCurveKeyId const c = curve.add_key(3.0, 30.0, FCurveKey::TYPE_LINEAR);
    curve.set_key_time(a, 2.0);
    EXPECT_EQ(curve.get_key_index(b), 0);
    EXPECT_EQ(curve.get_key_index(a), 1);
    EXPECT_EQ(curve.eval(2.0), 10.0);
    curve.set_key_time(c, 2.0);
    EXPECT_EQ(curve.get_key_index(c), 2);
    EXPECT_EQ(curve.eval(2.0), 30.0);
    EXPECT_EQ(curve.eval(1.0), 20.0);
}

TEST(FCurveEdit, FirstKeyAfter)
{
    FCurve curve;
    FCurveKeyId const a = curve.add_key(1.0, 0.0);
    FCurveKeyId const b = curve.add_key(2.0, 0.0);
    FCurveKeyId const b2 = curve.add_key(2.0, 1.0);
    struct Row {
        double time;
        FCurveKeyId expected;
    } const rows[] = {{-10.0, a}, {0.999, a}, {1.0, b}, {1.5, b}, {2.0, FCurveKeyId()}, {9.0, FCurveKeyId()}};
    for (Row const& row : rows) EXPECT_EQ(curve.get_first_key_after(row.time), row.expected) << row.time;
    EXPECT_NE(b2, b);
}

TEST(FCurveEdit, CopiesAreEqualUntilEdited)
{
    FCurve curve;
    FCurveKeyId const a = curve.add_key(0.0, 1.0);
    curve.add_key(1.0, 2.0, FCurveKey::TYPE_BEZIER);
    curve.set_post_behavior(FCurve::BEHAVIOR_OSCILLATE);
    FCurve copy = curve;
    EXPECT_TRUE(copy == curve);
    copy.set_key_value(a, 1.5);
    EXPECT_FALSE(copy == curve);
    EXPECT_EQ(curve.get_key_value(a), 1.0);
    copy = curve;
    copy.set_pre_behavior(FCurve::BEHAVIOR_LINEAR);
    EXPECT_FALSE(copy == curve);
    copy = curve;
    copy.set_key_tangents(a, 0.0, 4.0);
    EXPECT_FALSE(copy == curve);
}

// Every refused edit: one warning, and the curve exactly as before.
TEST(FCurveEdit, BadInputIsRefusedWithOneWarning)
{
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const inf = std::numeric_limits<double>::infinity();
    FCurve curve;
    FCurveKeyId const a = curve.add_key(0.0, 1.0);
    curve.add_key(1.0, 2.0);
    FCurveKeyId const gone = curve.add_key(2.0, 3.0);
    curve.remove_key(gone);
    FCurveKeyId const unknown(999);
    struct Row {
        char const* what;
        std::function<bool(FCurve&)> edit;
    } const rows[] = {
        {"add_key NaN time", [&](FCurve& c) { return c.add_key(nan, 0.0).is_valid(); }},
        {"add_key infinite value", [&](FCurve& c) { return c.add_key(0.5, -inf).is_valid(); }},
        {"add_key unknown type", [&](FCurve& c) { return c.add_key(0.5, 0.0, FCurveKey::Type(17)).is_valid(); }},
        {"set_key_time NaN", [&](FCurve& c) { return c.set_key_time(a, nan); }},
        {"set_key_value infinite", [&](FCurve& c) { return c.set_key_value(a, inf); }},
        {"set_key_tangents NaN", [&](FCurve& c) { return c.set_key_tangents(a, 0.0, nan); }},
        {"set_key_type unknown", [&](FCurve& c) { return c.set_key_type(a, FCurveKey::Type(-1)); }},
        {"set_pre_behavior unknown", [&](FCurve& c) { return c.set_pre_behavior(FCurve::BEHAVIOR_COUNT); }},
        {"set_post_behavior unknown", [&](FCurve& c) { return c.set_post_behavior(FCurve::Behavior(-3)); }},
        {"remove_key removed id", [&](FCurve& c) { return c.remove_key(gone); }},
        {"remove_key unknown id", [&](FCurve& c) { return c.remove_key(unknown); }},
        {"remove_key invalid id", [&](FCurve& c) { return c.remove_key(FCurveKeyId()); }},
        {"set_key_time unknown id", [&](FCurve& c) { return c.set_key_time(unknown, 0.0); }},
        {"set_key_value unknown id", [&](FCurve& c) { return c.set_key_value(gone, 0.0); }},
        {"set_key_type unknown id", [&](FCurve& c) { return c.set_key_type(unknown, FCurveKey::TYPE_LINEAR); }},
        {"set_key_tangents unknown id", [&](FCurve& c) { return c.set_key_tangents(unknown, 0.0, 0.0); }},
    };
    FCurve const before = curve;
    for (Row const& row : rows) {
        LogRecorder log;
        EXPECT_FALSE(row.edit(curve)) << row.what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << row.what << "\n" << log.dump();
        EXPECT_EQ(log.count(), 1u) << row.what << "\n" << log.dump();
        EXPECT_TRUE(curve == before) << row.what;
    }
    // The next id was not used up by the refused additions.
    EXPECT_EQ(curve.add_key(5.0, 0.0), FCurveKeyId(4));
}

TEST(FCurveEdit, GettersOnUnknownIdsWarnAndAnswerZero)
{
    FCurve curve;
    curve.add_key(1.0, 2.0);
    FCurveKeyId const unknown(42);
    LogRecorder log;
    EXPECT_EQ(curve.get_key_index(unknown), -1);
    EXPECT_EQ(log.count(), 0u) << "asking for an index is a question, not an error";
    EXPECT_EQ(curve.get_key_time(unknown), 0.0);
    EXPECT_EQ(curve.get_key_value(unknown), 0.0);
    double in = 7.0, out = 7.0;
    EXPECT_FALSE(curve.get_key_tangents(unknown, in, out));
    EXPECT_EQ(in, 7.0);
    EXPECT_FALSE(curve.get_key_id(1).is_valid());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
}

TEST(FCurveEdit, RemovingEveryKeyLeavesAZeroCurve)
{
    FCurve curve;
    FCurveKeyId const a = curve.add_key(1.0, 2.0);
    curve.add_key(3.0, 4.0);
    curve.remove_all_keys();
    EXPECT_EQ(curve.get_key_count(), 0u);
    EXPECT_EQ(curve.get_key_index(a), -1);
    EXPECT_EQ(curve.eval(2.0), 0.0);
    FCurveKeyId const b = curve.add_key(0.0, 5.0);
    EXPECT_NE(b, a);
    EXPECT_EQ(curve.eval(2.0), 5.0);
}

}  // namespace
