#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "host/parser/parser_file.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace fs = std::filesystem;

void PrintTo(ParserGroup const& group, std::ostream* out)
{
    ParserFile file;
    file.get_root() = group;
    *out << "\n" << file.write_to_string().std_string();
}

namespace {

// A tree holding every kind of value, names that need quoting and awkward nesting.
ParserGroup make_sample_tree()
{
    ParserGroup root;
    ParserGroup& red = root.add_group("color_tags").add_group("red");
    red.add_entry("tip").add_string("Red");
    red.add_entry("weight").add_double(1.0);
    red.add_entry("color").add_int(255).add_int(0).add_int(0);

    root.add_entry("bools").add_bool(true).add_bool(false);
    root.add_entry("ints").add_int(0).add_int(-1).add_int(std::numeric_limits<int64_t>::min()).add_int(
        std::numeric_limits<int64_t>::max());
    ParserEntry& doubles = root.add_entry("doubles");
    for (double d : {1.0, -0.0, 0.1, -1e-7, 1e21, 123456789012345678.0, 5e-324, 2.2250738585072014e-308,
                     std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::nan("")})
        doubles.add_double(d);

    std::string every_byte;
    for (int c = 0; c < 256; ++c) every_byte += static_cast<char>(c);
    root.add_entry("strings")
        .add_string("")
        .add_string("quote \" apostrophe ' backslash \\ tab \t newline \n return \r # not a comment")
        .add_string("caf\xC3\xA9 \xE2\x9C\x93 \xF0\x9F\x98\x80")  // UTF-8 kept as it is
        .add_string("\xC3 \xED\xA0\x80 \xF4\x90\x80\x80")          // invalid UTF-8
        .add_string(CoreBasicString(every_byte));
    root.add_entry("vectors").add_vec2d({0.5, -2.0}).add_vec3d({1.0, std::nan(""), -0.0});

    for (char const* name : {"#version", "true", "false", "nan", "inf", "", "with space", "it's", "9lives",
                             "-dash", "caf\xC3\xA9", "a.b-c_d", "x\ny"})
        root.add_entry(name).add_int(1);
    root.add_entry("no_values");
    root.add_group("empty");
    ParserEntry& mixed = root.add_entry("mixed").add_int(1);
    mixed.add_group().add_entry("inside").add_string("a");
    mixed.add_string("between").add_group();
    mixed.add_vec2d({1.0, 2.0});

    ParserGroup* deep = &root;
    for (int i = 0; i < 20; ++i) deep = &deep->add_group("level");
    deep->add_entry("bottom").add_bool(true);
    return root;
}

// Reads `text` and returns the root; `errors` gets the error count.
ParserGroup read_text(std::string_view text, unsigned int* errors = nullptr)
{
    ParserFile file;
    bool ok = file.read_from_string(text, "src");
    EXPECT_EQ(ok, file.get_error_count() == 0);
    if (errors) *errors = file.get_error_count();
    return file.get_root();
}

std::string write_text(ParserGroup const& root, ParserFile::Mode mode = ParserFile::MODE_PRETTY)
{
    ParserFile file;
    file.get_root() = root;
    return file.write_to_string(mode).std_string();
}

}  // namespace

TEST(ParserFile, EveryKindRoundTripsInBothModes)
{
    ParserGroup const original = make_sample_tree();
    for (ParserFile::Mode mode : {ParserFile::MODE_PRETTY, ParserFile::MODE_COMPACT}) {
        SCOPED_TRACE(ParserFile::get_mode_name(mode));
        LogRecorder log;
        std::string text = write_text(original, mode);
        unsigned int errors = 99;
        ParserGroup reread = read_text(text, &errors);
        EXPECT_EQ(errors, 0u) << log.dump() << text;
        EXPECT_EQ(reread, original);
        EXPECT_EQ(write_text(reread, mode), text);  // stable

        // Signs and kinds survive, which operator== alone would not show.
        ParserEntry const* doubles = reread.get_entry("doubles");
        ASSERT_NE(doubles, nullptr);
        EXPECT_TRUE(std::signbit(doubles->get_double(1)));
        EXPECT_EQ(reread.get_entry("ints")->get_int(2), std::numeric_limits<int64_t>::min());

        // The text is valid UTF-8 without raw control bytes other than line ends.
        EXPECT_EQ(text.find('\xFF'), std::string::npos);
        EXPECT_EQ(text.find('\0'), std::string::npos);
        EXPECT_NE(text.find("caf\xC3\xA9 \xE2\x9C\x93"), std::string::npos);
        EXPECT_NE(text.find("\"\\xc3 \\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80\""), std::string::npos);
    }
}

TEST(ParserFile, WritesTheDocumentedLayout)
{
    ParserGroup root;
    ParserGroup& tags = root.add_group("color_tags");
    ParserGroup& red = tags.add_group("red");
    red.add_entry("tip").add_string("Red");
    red.add_entry("weight").add_double(1.0);
    red.add_entry("color").add_int(255).add_int(0).add_int(0);
    tags.add_group("none");
    root.add_entry("#version").add_double(2.5);
    root.add_entry("view").add_vec2d({0.5, 1.0}).add_vec3d({1.0, 2.0, -3.0});

    EXPECT_EQ(write_text(root),
              "color_tags {\n"
              "    red {\n"
              "        tip \"Red\"\n"
              "        weight 1.0\n"
              "        color 255 0 0\n"
              "    }\n"
              "    none {}\n"
              "}\n"
              "'#version' 2.5\n"
              "view (0.5 1.0) (1.0 2.0 -3.0)\n");
}

TEST(ParserFile, ReadsHandWrittenText)
{
    unsigned int errors = 99;
    ParserGroup root = read_text("\xEF\xBB\xBF# comment line\r\n"
                                 "numbers 1 +2 -3 .5 5. 1e3 -inf nan  # trailing comment\r\n"
                                 "flags true false\n"
                                 "'quoted \\x41\\'' \"\\x41\\x42\\t\" \"\"\n"
                                 "v (1 2) ( 1 2.5 -3 )\n"
                                 "g{x 1}y 2 nested { a { } b{c 1}}\n"
                                 "\n"
                                 "last",
                                 &errors);
    EXPECT_EQ(errors, 0u);
    ASSERT_EQ(root.get_entry_count(), 8u) << ::testing::PrintToString(root);
    ParserEntry const& numbers = *root.get_entry("numbers");
    ASSERT_EQ(numbers.get_value_count(), 8u);
    EXPECT_TRUE(numbers.is_value_int(0) && numbers.is_value_int(1) && numbers.is_value_int(2));
    EXPECT_EQ(numbers.get_int(2), -3);
    EXPECT_EQ(numbers.get_double(5), 1000.0);
    EXPECT_EQ(numbers.get_double(6), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(numbers.get_double(7)));
    EXPECT_FALSE(root.get_entry("flags")->get_bool(1));
    ParserEntry const* quoted = root.get_entry("quoted A'");
    ASSERT_NE(quoted, nullptr);
    EXPECT_EQ(quoted->get_string(0), "AB\t");
    EXPECT_EQ(quoted->get_string(1), "");
    EXPECT_EQ(root.get_entry("v")->get_vec2d(0), GMathVec2<double>(1.0, 2.0));
    EXPECT_EQ(root.get_entry("v")->get_vec3d(1), GMathVec3<double>(1.0, 2.5, -3.0));
    EXPECT_EQ(root.get_entry("y")->get_int(0), 2);
    EXPECT_EQ(root.get_group("nested")->get_group("b")->get_entry("c")->get_int(0), 1);
    EXPECT_EQ(root.get_entry("last")->get_value_count(), 0u);
}

TEST(ParserFile, EachMistakeGivesOneMessageAndKeepsTheRest)
{
    // Values run on across lines, so mistakes in place of a name come first in the text.
    struct Case {
        std::string bad;
        char const* message;
        bool first = false;
    };
    Case const cases[] = {
        {"bad \"abc", "unterminated string \"abc"},
        {"bad \"a\\qb\" 1", "invalid escape '\\q'"},
        {"bad \"\\x4\"", "invalid escape '\\x4\"'"},
        {"bad 1 @ 2 @", "unexpected character '@'"},
        {"bad \xFF\xFE", "unexpected character '\\xff'"},
        {"bad 1.2.3", "invalid number '1.2.3'"},
        {"bad 99999999999999999999", "number out of range '99999999999999999999'"},
        {"bad (1)", "a vector holds 2 or 3 numbers"},
        {"bad (1 2", "expected a number or ')' in a vector, found name 'after'"},
        {"bad 1 ) 2", "unexpected ')'"},
        {"'abc", "unterminated name 'abc"},
        {"}}}", "unexpected '}'"},
        {"5 6", "expected an entry name, found '5'", true},
        {"{ x 1 { y 2 } }", "expected an entry name, found '{'", true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.bad);
        [&c] {
            LogRecorder log;
            unsigned int errors = 0;
            std::string const before = c.first ? "" : "before 1\n";
            ParserGroup root = read_text(before + c.bad + "\nafter 2\n", &errors);
            EXPECT_EQ(errors, 1u);
            ASSERT_EQ(log.count(), 1u) << log.dump();
            std::string const where = c.first ? "src:1: " : "src:2: ";
            EXPECT_TRUE(log.contains("ParserFile.read_from_string: " + where + c.message + "\n"))
                << log.dump();
            ASSERT_EQ(root.get_entry_count(), c.first ? 1u : 2u) << ::testing::PrintToString(root);
            EXPECT_EQ(root.get_entry(0u)->get_name(), c.first ? "after" : "before");
            EXPECT_EQ(root.get_entry("after")->get_value_count(), 1u);
        }();
    }
}

TEST(ParserFile, MistakesInsideGroupsStayInside)
{
    LogRecorder log;
    unsigned int errors = 0;
    ParserGroup root = read_text("g {\n  a 1\n  b 1.2.3 { x 1 }\n  c 2\n}\nafter 3\n", &errors);
    EXPECT_EQ(errors, 1u);
    EXPECT_TRUE(log.contains("src:3: invalid number '1.2.3'")) << log.dump();
    ASSERT_NE(root.get_group("g"), nullptr);
    EXPECT_NE(root.get_group("g")->get_entry("c"), nullptr);
    EXPECT_NE(root.get_entry("after"), nullptr);

    // An unclosed group keeps its content and is reported once, at its opening line,
    // however many groups are left open.
    log.clear();
    root = read_text("before 1\ng {\n  a 1\n  h {\n    i {\n      b 2\n", &errors);
    EXPECT_EQ(errors, 1u);
    EXPECT_TRUE(log.contains("src:5: expected '}' before end of file to close 'i'\n")) << log.dump();
    EXPECT_EQ(root.get_group("g")->get_group("h")->get_group("i")->get_entry("b")->get_int(0), 2);
}

TEST(ParserFile, NestingIsCappedWithoutCrashing)
{
    auto nest = [](int depth, bool close) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "a {";
        if (close) text.append(depth, '}');
        return text + "\nafter 1\n";
    };
    LogRecorder log;
    unsigned int errors = 0;
    ParserGroup root = read_text(nest(ParserFile::MAX_DEPTH, true), &errors);
    EXPECT_EQ(errors, 0u) << log.dump();
    EXPECT_EQ(write_text(read_text(write_text(root))), write_text(root));  // the deepest tree writes back

    root = read_text(nest(300, true), &errors);
    EXPECT_EQ(errors, 1u);
    EXPECT_TRUE(log.contains("src:1: groups nested deeper than 256\n")) << log.dump();
    EXPECT_NE(root.get_entry("after"), nullptr);
    unsigned int depth = 0;
    for (ParserGroup const* g = root.get_group("a"); g; g = g->get_group("a")) ++depth;
    EXPECT_EQ(depth, ParserFile::MAX_DEPTH);  // the entry opening the 257th was dropped

    // Hostile shapes finish with a bounded number of messages.
    for (std::string const& text : {nest(200000, false), std::string(200000, '{'), std::string(200000, '}'),
                                    std::string(100000, '(') + "x"}) {
        log.clear();
        read_text(text, &errors);
        EXPECT_GE(errors, 1u);
        EXPECT_LE(errors, 2u);
    }
}

class ParserFileDisk : public ::testing::Test {
protected:
    std::string path(char const* name) const { return (m_folder / name).std_string(); }
    size_t count_files() const
    {
        fs::directory_iterator files(m_folder.get_path().c_str());
        return static_cast<size_t>(std::distance(files, fs::directory_iterator()));
    }

    SysTempFolder m_folder;
};

TEST_F(ParserFileDisk, WritesAndReadsBackReplacingTheOldFile)
{
    std::string const target = path("settings.cfg");
    ParserFile file(target);
    file.get_root() = make_sample_tree();
    ASSERT_TRUE(file.write());
    EXPECT_EQ(read_file(target.c_str()), file.write_to_string().std_string());

    ParserFile reread;
    ASSERT_TRUE(reread.read(target));
    EXPECT_EQ(reread.get_root(), file.get_root());

    // Writing again replaces the whole file, compact this time, and leaves no temporary.
    reread.get_root().clear();
    reread.get_root().add_entry("only").add_int(1);
    ASSERT_TRUE(reread.write(ParserFile::MODE_COMPACT));
    EXPECT_EQ(read_file(target.c_str()), "only 1\n");
    EXPECT_EQ(count_files(), 1u);
}

// Opening failures themselves are the file layer's (sys tests); here what the parser adds.
TEST_F(ParserFileDisk, ReadingAMissingFileKeepsTheRoot)
{
    ParserFile file;
    file.get_root().add_entry("kept").add_int(1);
    LogRecorder log;
    EXPECT_FALSE(file.read(path("missing.cfg")));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
    EXPECT_NE(file.get_root().get_entry("kept"), nullptr);

    ParserFile no_path;
    EXPECT_FALSE(no_path.read());
    EXPECT_FALSE(no_path.write());
}

TEST_F(ParserFileDisk, FailedWritesLeaveTheTargetUntouched)
{
    ParserFile file;
    file.get_root().add_entry("new").add_int(2);
    LogRecorder log;

    // The parent "folder" is a regular file: the temporary cannot be created.
    std::string const plain = path("plain");
    write_file(plain.c_str(), "old");
    EXPECT_FALSE(file.write(ParserFile::MODE_PRETTY, plain + "/settings.cfg"));
    EXPECT_EQ(read_file(plain.c_str()), "old");

    // A tree too deep to read back is not written at all.
    std::string const target = path("settings.cfg");
    write_file(target.c_str(), "old 1\n");
    ParserGroup* g = &file.get_root();
    for (unsigned int i = 0; i <= ParserFile::MAX_DEPTH; ++i) g = &g->add_group("a");
    EXPECT_FALSE(file.write(ParserFile::MODE_PRETTY, target));
    EXPECT_EQ(read_file(target.c_str()), "old 1\n");
    EXPECT_EQ(count_files(), 2u);  // plain, settings.cfg: no temporaries
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 2u) << log.dump();
}
