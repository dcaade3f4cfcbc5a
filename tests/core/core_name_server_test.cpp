#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/core/core_name_server.h"
#include "tests/support/log_recorder.h"

namespace {

struct SplitCase {
    char const* name;
    char const* base;
    unsigned int number;
    unsigned int digit_count;
    bool has_number;
};

}  // namespace

TEST(CoreNameServer, SplitsTrailingNumbers)
{
    SplitCase const cases[] = {
        {"sphere12", "sphere", 12, 2, true},
        {"sphere", "sphere", 0, 0, false},
        {"12", "", 12, 2, true},
        {"", "", 0, 0, false},
        {"cube_007", "cube_", 7, 3, true},
        {"cube_000", "cube_", 0, 3, true},
        {"x4294967295", "x", 4294967295u, 10, true},
        // Too large for the number type: the digits stay in the base.
        {"x4294967296", "x4294967296", 0, 0, false},
        {"id123456789012345678901", "id123456789012345678901", 0, 0, false},
        // Leading zeros do not make a number too large.
        {"n0000000000000000000005", "n", 5, 22, true},
    };
    for (SplitCase const& c : cases) {
        CoreString base("stale");
        unsigned int number = 99;
        unsigned int digit_count = 99;
        EXPECT_EQ(CoreNameServer::split_name(c.name, base, number, digit_count), c.has_number) << c.name;
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(number, c.number) << c.name;
        EXPECT_EQ(digit_count, c.digit_count) << c.name;

        unsigned int short_number = 99;
        EXPECT_EQ(CoreNameServer::split_name(c.name, base, short_number), c.has_number) << c.name;
        EXPECT_EQ(short_number, c.number) << c.name;
    }
}

TEST(CoreNameServer, MakesZeroPaddedNames)
{
    EXPECT_EQ(CoreNameServer::make_name("cube_", 8, 3), "cube_008");
    EXPECT_EQ(CoreNameServer::make_name("cube_", 1000, 3), "cube_1000");
    EXPECT_EQ(CoreNameServer::make_name("", 0, 2), "00");
}

TEST(CoreNameServer, FindsTheNextFreeName)
{
    struct Row {
        char const* name;
        std::set<std::string> taken;
        char const* expected;
    } const rows[] = {
        {"sphere", {}, "sphere"},
        {"sphere", {"sphere", "sphere1", "sphere2"}, "sphere3"},
        {"cube_099", {"cube_099"}, "cube_100"},
        {"", {""}, "1"},
        // The largest number still has a successor; an oversized number is part of the base.
        {"x4294967295", {"x4294967295"}, "x4294967296"},
        {"x4294967296", {"x4294967296"}, "x42949672961"},
    };
    for (Row const& row : rows) {
        auto is_taken = [&row](CoreString const& name) { return row.taken.count(name.std_string()) > 0; };
        EXPECT_EQ(CoreNameServer::get_unique_name(row.name, is_taken), row.expected) << row.name;
    }
    // Without a predicate nothing is taken.
    EXPECT_EQ(CoreNameServer::get_unique_name("sphere", nullptr), "sphere");
}

TEST(CoreNameServer, GivesUpWithAnErrorWhenEveryNameIsTaken)
{
    LogRecorder log;
    unsigned int asked = 0;
    CoreString name = CoreNameServer::get_unique_name("sphere", [&asked](CoreString const&) {
        ++asked;
        return true;
    });
    EXPECT_TRUE(name.is_empty());
    EXPECT_EQ(asked, CoreNameServer::MAX_ATTEMPTS + 1);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
}
