#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/core/core_string.h"
#include "tests/support/core_printers.h"

TEST(CoreString, SetDataAndAppendEveryKind)
{
    CoreString s;
    s.set_data("abcdef", 3);
    EXPECT_EQ(s, "abc");
    s.set_data(nullptr);
    EXPECT_TRUE(s.is_empty());

    CoreString t("n=");
    t += 42;
    t += ' ';
    t += 4000000000u;
    t += ' ';
    t += true;
    t += ' ';
    t += 1.5f;
    EXPECT_EQ(t, "n=42 4000000000 true 1.5");

    EXPECT_EQ(CoreString("a") + 1 + "b" + 2.25, "a1b2.25");
}

TEST(CoreString, DoubleTextReadsBackExactly)
{
    for (double v : {0.1, 1.0 / 3.0, 1e300, -2.5e-310, 123456789.125}) {
        CoreString s;
        s += v;
        EXPECT_EQ(s.to_double(), v) << s;
    }
}

TEST(CoreString, FindAndRevFind)
{
    CoreString s("a/b/c");
    EXPECT_EQ(s.find('/'), 1u);
    EXPECT_EQ(s.find('/', 2), 3u);
    EXPECT_EQ(s.find('a', 100), CoreString::NOT_FOUND);
    EXPECT_EQ(s.rev_find('/', 2), 1u);
    EXPECT_EQ(s.rev_find("zz"), CoreString::NOT_FOUND);
    EXPECT_EQ(CoreString().find(""), 0u);
    // The not-found value is not a position any string of ordinary size can have.
    EXPECT_GT(CoreString::NOT_FOUND, 0x7fffffffu);
}

TEST(CoreString, SubString)
{
    CoreString s("hello");
    EXPECT_EQ(s.sub_string(1, 3), "ell");
    EXPECT_EQ(s.sub_string(3, 100), "lo");
    EXPECT_EQ(s.sub_string(99, 2), "");
}

TEST(CoreString, SplitWithAndWithoutEmptyParts)
{
    using Parts = CoreVector<CoreString>;
    EXPECT_EQ(CoreString(",a,,b,").split(","), (Parts{"a", "b"}));
    EXPECT_EQ(CoreString(",a,,b,").split(",", true), (Parts{"", "a", "", "b", ""}));
    EXPECT_EQ(CoreString("a::b::::c").split("::"), (Parts{"a", "b", "c"}));
    EXPECT_EQ(CoreString("").split(",", true).get_count(), 1u);
    EXPECT_EQ(CoreString("abc").split(""), (Parts{"abc"}));
}

TEST(CoreString, SplitWordHonoursQuotes)
{
    auto words = CoreString("  open \"my file.txt\"\tnow \"say \\\"hi\\\"\" \"unterminated").split_word();
    EXPECT_EQ(words, (CoreVector<CoreString>{"open", "my file.txt", "now", "say \"hi\"", "unterminated"}));
    EXPECT_EQ(CoreString(" \t\n").split_word().get_count(), 0u);
}

TEST(CoreString, TrimAndCase)
{
    EXPECT_EQ(CoreString(" \t a b \r\n").get_trim(), "a b");
    EXPECT_EQ(CoreString(" \t a b \r\n").get_trim_right(), " \t a b");
    EXPECT_EQ(CoreString("   ").get_trim(), "");
    // Bytes above 127 are left alone rather than mangled by a locale.
    EXPECT_EQ(CoreString("\xc3\x89t\xc3\xa9").get_upper_case(), "\xc3\x89T\xc3\xa9");
}

TEST(CoreString, TitleCamelCaseAndIdentifier)
{
    EXPECT_EQ(CoreString("motion_blur samples").get_title(), "Motion Blur Samples");
    EXPECT_EQ(CoreString("__leading_under").camel_case(), "leadingUnder");

    CoreString id("3d view/main (copy)");
    id.make_identifier();
    EXPECT_EQ(id, "_3d_view_main__copy_");
    CoreString empty;
    EXPECT_EQ(empty.make_identifier(), "_");
}

TEST(CoreString, ReplaceAndOccurrences)
{
    CoreString t("aaa");
    EXPECT_EQ(t.replace("a", "aa"), 3u);  // no re-scan of inserted text
    EXPECT_EQ(t, "aaaaaa");
    CoreString u("one two one");
    EXPECT_EQ(u.replace("one", "1", false), 1u);
    EXPECT_EQ(u, "1 two one");
    EXPECT_EQ(u.replace("", "x"), 0u);
    EXPECT_EQ(u, "1 two one");

    CoreString v("a-b-c-");
    EXPECT_EQ(v.remove_occurences('-'), 3u);
    EXPECT_EQ(v, "abc");
}

TEST(CoreString, StartEndContains)
{
    CoreString s("filename.tar.gz");
    EXPECT_TRUE(s.start_with(""));
    EXPECT_FALSE(s.start_with("filename.tar.gz.bak"));
    EXPECT_FALSE(s.end_with(".tar"));
    EXPECT_TRUE(s.contains(".tar."));
}

TEST(CoreString, IsNumber)
{
    for (char const* yes : {"0", "-3", "+4", ".5", "5.", "-1e-3", "2E+10", "007"})
        EXPECT_TRUE(CoreString(yes).is_number()) << yes;
    for (char const* no :
         {"", "-", "+", ".", "e5", "1e", "1e+", "1.2.3", " 1", "1 ", "0x10", "12a", "--1", "inf", "nan"})
        EXPECT_FALSE(CoreString(no).is_number()) << no;
}

TEST(CoreString, Conversions)
{
    EXPECT_EQ(CoreString("  42abc").to_int(), 42);
    EXPECT_EQ(CoreString("99999999999").to_int(), std::numeric_limits<int>::max());
    EXPECT_EQ(CoreString("-5").to_unsigned(), 0u);
    EXPECT_EQ(CoreString("4294967295").to_unsigned(), 4294967295u);
    EXPECT_DOUBLE_EQ(CoreString(" +2.5e2").to_double(), 250.0);
    EXPECT_DOUBLE_EQ(CoreString("1e999").to_double(), HUGE_VAL);
    EXPECT_EQ(CoreString("+-5").to_double(), 0.0);  // one sign only
    EXPECT_FALSE(CoreString("nan").to_bool());
    for (char const* yes : {"TRUE", " yes ", "On", "2"}) EXPECT_TRUE(CoreString(yes).to_bool()) << yes;
    for (char const* no : {"false", "0", ""}) EXPECT_FALSE(CoreString(no).to_bool()) << no;
    EXPECT_EQ(CoreString("xyz").to_char(), 'x');
    EXPECT_EQ(CoreString().to_char(), '\0');
}

TEST(CoreString, CompareAndNaturalSort)
{
    EXPECT_NE(CoreString::compare("ABC", "abc"), 0);
    EXPECT_EQ(CoreString::compare("ABC", "abc", false), 0);
    EXPECT_LT(CoreString::compare("ab", "abc", false), 0);

    CoreVector<CoreString> names{"item10", "Item2", "item1", "beta", "Alpha", "item02", "item2"};
    CoreString::alpha_sort(names);
    // Equal numbers: fewer leading zeros first, then the plain comparison, so the order
    // stays total.
    CoreVector<CoreString> expected{"Alpha", "beta", "item1", "Item2", "item2", "item02", "item10"};
    EXPECT_EQ(names, expected);

    CoreString::alpha_sort(names, false);
    EXPECT_EQ(names[0], "item10");
    EXPECT_EQ(names[names.get_count() - 1], "Alpha");

    // Digit runs longer than any integer type still compare by value.
    EXPECT_LT(CoreString::natural_compare("v99999999999999999999998", "v99999999999999999999999"), 0);
    EXPECT_LT(CoreString::natural_compare("a", "a1"), 0);
    // Transitivity across case and zero padding, which a sort relies on.
    EXPECT_LT(CoreString::natural_compare("item1", "Item2"), 0);
    EXPECT_LT(CoreString::natural_compare("Item2", "item02"), 0);
    EXPECT_LT(CoreString::natural_compare("item1", "item02"), 0);
}

TEST(CoreString, AfterAndBeforeSeparators)
{
    EXPECT_EQ(CoreString::after_first("a/b/c", "/"), "b/c");
    EXPECT_EQ(CoreString::before_last("a/b/c", "/"), "a/b");
    EXPECT_EQ(CoreString::after_last("abc", "/"), "");
    EXPECT_EQ(CoreString::before_last("abc", "/"), "abc");
    EXPECT_EQ(CoreString::after_last("x::y::z", "::"), "z");
}
