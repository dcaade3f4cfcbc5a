#include <gtest/gtest.h>

#include <cmath>

#include "host/parser/parser_group.h"
#include "tests/support/log_recorder.h"

TEST(ParserEntry, ValuesKeepTheirKindAndOrder)
{
    ParserEntry entry("mixed");
    entry.add_bool(true).add_int(-42).add_double(2.5).add_string("text");
    entry.add_vec2d({1.0, 2.0}).add_vec3d({3.0, 4.0, 5.0});
    entry.add_group().add_entry("inner").add_int(7);

    ASSERT_EQ(entry.get_value_count(), 7u);
    EXPECT_TRUE(entry.is_value_int(1) && entry.is_value_double(2) && entry.is_group(6));
    EXPECT_FALSE(entry.is_group());  // value 0 is a bool
    EXPECT_EQ(entry.get_value_type(7), ParserEntry::VALUE_TYPE_NONE);

    EXPECT_EQ(entry.get_string(3), "text");
    EXPECT_EQ(entry.get_vec3d(5), GMathVec3<double>(3.0, 4.0, 5.0));
    ASSERT_NE(entry.get_group(6), nullptr);
    EXPECT_EQ(entry.get_group(6)->get_entry("inner")->get_int(0), 7);
    EXPECT_EQ(entry.get_group(0), nullptr);
}

TEST(ParserEntry, WrongKindOrIndexWarnsAndGivesZero)
{
    ParserEntry entry("weight");
    entry.add_string("heavy").add_int(3);
    LogRecorder log;
    EXPECT_EQ(entry.get_int(0), 0);
    EXPECT_FALSE(entry.get_bool(1));
    EXPECT_EQ(entry.get_string(5), "");
    EXPECT_EQ(entry.get_vec3d(0), GMathVec3<double>());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();

    // Ints read as doubles without complaint.
    log.clear();
    EXPECT_EQ(entry.get_double(1), 3.0);
    EXPECT_EQ(log.count(), 0u);
}

TEST(ParserEntry, VectorsReadFromSeparateNumbers)
{
    // Files that store a vector as three numbers read with get_vec3d at the first one.
    ParserEntry entry("bookmark");
    entry.add_string("front").add_double(0.25).add_int(1).add_double(0.5).add_int(4);
    EXPECT_EQ(entry.get_vec3d(1), GMathVec3<double>(0.25, 1.0, 0.5));
    EXPECT_EQ(entry.get_vec2d(3), GMathVec2<double>(0.5, 4.0));
    LogRecorder log;
    EXPECT_EQ(entry.get_vec3d(3), GMathVec3<double>());  // only two numbers left
    EXPECT_EQ(entry.get_vec2d(0), GMathVec2<double>());  // starts at a string
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
}

TEST(ParserGroup, LooksUpRepeatedNamesInOrder)
{
    ParserGroup group;
    group.add_entry("tab").add_int(0);
    group.add_group("views").add_entry("selected_tab").add_int(1);
    group.add_entry("tab").add_int(1);
    group.add_entry("tab").add_int(2);

    EXPECT_EQ(group.get_group("tab"), nullptr);  // not a group

    std::vector<int64_t> tabs;
    for (unsigned int i = group.find("tab"); i != ParserGroup::NOT_FOUND; i = group.find("tab", i + 1))
        tabs.push_back(group.get_entry(i)->get_int(0));
    EXPECT_EQ(tabs, (std::vector<int64_t>{0, 1, 2}));

    LogRecorder log;
    EXPECT_EQ(group.get_entry(4u), nullptr);
    EXPECT_FALSE(group.remove_entry(4u));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);

    EXPECT_EQ(group.remove_entry("tab"), 3u);
    EXPECT_EQ(group.get_entry_count(), 1u);
}

TEST(ParserGroup, CopiesAreDeepAndEqualityIsStructural)
{
    ParserGroup original;
    ParserGroup& child = original.add_group("child");
    child.add_entry("value").add_double(std::nan("")).add_vec2d({std::nan(""), 1.0});
    original.add_entry("after").add_string("x");

    ParserGroup copy = original;
    EXPECT_EQ(copy, original);  // NaNs compare equal here
    copy.get_group("child")->get_entry("value")->add_int(1);
    EXPECT_NE(copy, original);
    EXPECT_EQ(original.get_group("child")->get_entry("value")->get_value_count(), 2u);

    // Assigning a group from inside itself must not read freed memory.
    ParserGroup nested = original;
    nested = *nested.get_group("child");
    EXPECT_EQ(nested.get_entry(0u)->get_name(), "value");

    ParserEntry int_one("n"), double_one("n");
    int_one.add_int(1);
    double_one.add_double(1.0);
    EXPECT_NE(int_one, double_one);  // kinds matter
}
