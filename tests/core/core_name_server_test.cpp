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
        {"a1b2", "a1b", 2, 1, true},
        {"light.3", "light.", 3, 1, true},
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
    EXPECT_EQ(CoreNameServer::make_name("sphere", 1), "sphere1");
    EXPECT_EQ(CoreNameServer::make_name("", 0, 2), "00");
}

TEST(CoreNameServer, FindsTheNextFreeName)
{
    std::set<std::string> taken;
    auto is_taken = [&taken](CoreString const& name) { return taken.count(name.std_string()) > 0; };

    EXPECT_EQ(CoreNameServer::get_unique_name("sphere", is_taken), "sphere");
    taken = {"sphere"};
    EXPECT_EQ(CoreNameServer::get_unique_name("sphere", is_taken), "sphere1");
    taken = {"sphere", "sphere1", "sphere2"};
    EXPECT_EQ(CoreNameServer::get_unique_name("sphere", is_taken), "sphere3");
    taken = {"sphere3", "sphere4"};
    EXPECT_EQ(CoreNameServer::get_unique_name("sphere3", is_taken), "sphere5");
    taken = {"cube_007"};
    EXPECT_EQ(CoreNameServer::get_unique_name("cube_007", is_taken), "cube_008");
    taken = {"cube_099"};
    EXPECT_EQ(CoreNameServer::get_unique_name("cube_099", is_taken), "cube_100");
    taken = {"12"};
    EXPECT_EQ(CoreNameServer::get_unique_name("12", is_taken), "13");
    taken = {""};
    EXPECT_EQ(CoreNameServer::get_unique_name("", is_taken), "1");
    // The largest number still has a successor; an oversized number is part of the base.
    taken = {"x4294967295"};
    EXPECT_EQ(CoreNameServer::get_unique_name("x4294967295", is_taken), "x4294967296");
    taken = {"x4294967296"};
    EXPECT_EQ(CoreNameServer::get_unique_name("x4294967296", is_taken), "x42949672961");
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
    ASSERT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
    EXPECT_TRUE(log.contains("CoreNameServer.get_unique_name: no free name found for \"sphere\""));
}
