// Syntax colouring of lines and of block comments across lines, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "gui/text/gui_text_buffer.h"
#include "gui/text/gui_text_syntax.h"

namespace {

using Info = GuiTextEditLineInfo;

// A coloured run as (type, start, length); neutralised runs are left out.
using ColorRun = std::tuple<int, int, int>;

std::vector<ColorRun> colored_runs(CoreVector<Info::SyntaxColor> const& runs)
{
    std::vector<ColorRun> out;
    for (Info::SyntaxColor const& run : runs)
        if (run.type != Info::SYNTAX_TYPE_NONE) out.emplace_back(run.type, run.start, run.length);
    std::sort(out.begin(), out.end(), [](ColorRun const& a, ColorRun const& b) { return std::get<1>(a) < std::get<1>(b); });
    return out;
}

GuiTextSyntax make_syntax()
{
    GuiTextSyntax syntax;
    syntax.set_table(GuiTextSyntax::TABLE_OPERATORS, {"=", "!="});
    syntax.set_table(GuiTextSyntax::TABLE_KEYWORDS, {"in", "if"});
    syntax.set_table(GuiTextSyntax::TABLE_RESERVED_KEYWORDS, {"self"});
    syntax.set_table(GuiTextSyntax::TABLE_PREPROCESSOR_KEYWORDS, {"#define"});
    syntax.set_table(GuiTextSyntax::TABLE_LINE_COMMENTS, {"//"});
    syntax.set_table(GuiTextSyntax::TABLE_BLOCK_COMMENTS, {"/*", "*/"});
    return syntax;
}

struct LineRow {
    char const* line;
    std::vector<ColorRun> runs;
};

TEST(GuiTextSyntaxTest, EachTokenKindBecomesItsRun)
{
    GuiTextSyntax syntax = make_syntax();
    LineRow const rows[] = {
        {"int", {}},
        {" in ", {{Info::SYNTAX_TYPE_KEYWORD, 1, 2}}},
        {"x2", {}},
        {" 42,", {{Info::SYNTAX_TYPE_NUMBER, 1, 2}}},
        {"7", {{Info::SYNTAX_TYPE_NUMBER, 0, 1}}},
        {"self.x", {{Info::SYNTAX_TYPE_RESERVED_KEYWORD, 0, 4}}},
        {"#define A", {{Info::SYNTAX_TYPE_PREPROCESSOR_KEYWORD, 0, 7}}},
        {"a != b", {{Info::SYNTAX_TYPE_OPERATOR, 2, 2}, {Info::SYNTAX_TYPE_OPERATOR, 3, 1}}},
        {"'if' if", {{Info::SYNTAX_TYPE_STRING, 0, 4}, {Info::SYNTAX_TYPE_KEYWORD, 5, 2}}},
        {"\"a\\\"b\"", {{Info::SYNTAX_TYPE_STRING, 0, 6}}},
        {"'open", {{Info::SYNTAX_TYPE_STRING, 0, 5}}},
        {"x // if 1", {{Info::SYNTAX_TYPE_LINE_COMMENT, 2, 7}}},
        {"'//' in", {{Info::SYNTAX_TYPE_STRING, 0, 4}, {Info::SYNTAX_TYPE_KEYWORD, 5, 2}}},
        {"a /* in */ if", {{Info::SYNTAX_TYPE_BLOCK_COMMENT, 2, 8}, {Info::SYNTAX_TYPE_KEYWORD, 11, 2}}},
        {"// /* not a block", {{Info::SYNTAX_TYPE_LINE_COMMENT, 0, 17}}},
        {"iin", {}},
    };
    for (LineRow const& row : rows) {
        CoreVector<Info::SyntaxColor> runs;
        EXPECT_EQ(syntax.compute_line(row.line, 0, runs), 0) << row.line;
        EXPECT_EQ(colored_runs(runs), row.runs) << row.line;
    }
}

TEST(GuiTextSyntaxTest, MatchingIsIncrementalPerEntry)
{
    GuiTextSyntax::KeywordData entry;
    entry.text = "in";
    EXPECT_FALSE(GuiTextSyntax::is_keyword('i', 4, entry));
    EXPECT_EQ(entry.start, 4);
    EXPECT_TRUE(GuiTextSyntax::is_keyword('n', 5, entry));
    entry.matched = 0;
    EXPECT_FALSE(GuiTextSyntax::is_keyword('i', 0, entry));
    EXPECT_FALSE(GuiTextSyntax::is_keyword('x', 1, entry));
    EXPECT_EQ(entry.start, -1);
}

// The block-comment state at each line's end after colouring the whole buffer.
std::vector<int> block_states(GuiTextBuffer& buffer)
{
    std::vector<int> states;
    for (int line = 0; line < buffer.get_line_count(); ++line) states.push_back(buffer.get_info(line).block_out);
    return states;
}

TEST(GuiTextSyntaxTest, AnEditThatOpensOrClosesABlockRecoloursOnlyTheLinesItAffects)
{
    GuiTextSyntax syntax = make_syntax();
    GuiTextBuffer buffer;
    buffer.set_text("a\nb\nc\nd\ne\nf");
    EXPECT_EQ(syntax.compute(buffer, 0, 5), 6);
    EXPECT_EQ(syntax.compute(buffer, 0, 5), 0) << "clean lines are not computed again";

    buffer.insert_text(1, 0, "/*");
    EXPECT_EQ(syntax.compute(buffer, 0, 5), 5) << "the opened line and every line below it";
    EXPECT_EQ(block_states(buffer), (std::vector<int>{0, 1, 1, 1, 1, 1}));
    EXPECT_EQ(colored_runs(buffer.get_info(3).syntax_colors), (std::vector<ColorRun>{{Info::SYNTAX_TYPE_BLOCK_COMMENT, 0, 1}}));

    buffer.insert_text(3, 1, "*/");
    EXPECT_EQ(syntax.compute(buffer, 0, 5), 3) << "the closing line and the two lines after it";
    EXPECT_EQ(block_states(buffer), (std::vector<int>{0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(colored_runs(buffer.get_info(3).syntax_colors), (std::vector<ColorRun>{{Info::SYNTAX_TYPE_BLOCK_COMMENT, 0, 3}}));
    EXPECT_TRUE(colored_runs(buffer.get_info(4).syntax_colors).empty());

    // An edit below the view is coloured when it comes into view, from the stale line on.
    buffer.remove_text(1, 0, 2);
    EXPECT_EQ(syntax.compute(buffer, 0, 1), 1);
    EXPECT_EQ(syntax.compute(buffer, 4, 5), 2) << "lines 2 and 3 lost the comment above them";
}

TEST(GuiTextSyntaxTest, VeryLongLinesAreColouredUpToTheAddressableColumn)
{
    GuiTextSyntax syntax = make_syntax();
    std::string line(200000, ' ');
    line[10] = '=';
    line[100000] = '=';
    CoreVector<Info::SyntaxColor> runs;
    syntax.compute_line(CoreString(line), 0, runs);
    EXPECT_EQ(colored_runs(runs), (std::vector<ColorRun>{{Info::SYNTAX_TYPE_OPERATOR, 10, 1}}));
}

}  // namespace
