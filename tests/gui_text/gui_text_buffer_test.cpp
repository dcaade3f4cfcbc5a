// The line buffer and the undo history, without a window.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gui/text/gui_text_buffer.h"
#include "gui/text/gui_text_edit_history.h"
#include "tests/support/log_recorder.h"

namespace {

using History = GuiTextEditHistory;

struct LoadRow {
    char const* name;
    std::string input;
    std::string expected;
    int lines;
    bool warns;
};

TEST(GuiTextBufferTest, SetTextCleansLineEndsTabsAndBadBytes)
{
    LoadRow const rows[] = {
        {"lf", "a\nb", "a\nb", 2, false},
        {"crlf", "a\r\nb\r\n", "a\nb\n", 3, false},
        {"lone cr", "a\rb\r\rc", "a\nb\n\nc", 4, false},
        {"tab stops", "\tx\tyz", "    x   yz", 1, false},
        {"tab after utf8", "\xc3\xa9\t|", "\xc3\xa9   |", 1, false},
        {"invalid byte", "a\xff" "b", "a\xef\xbf\xbd" "b", 1, true},
        {"nul byte", std::string("a\0b", 3), "a\xef\xbf\xbd" "b", 1, true},
        {"cut sequence", "\xe2\x82", "\xef\xbf\xbd\xef\xbf\xbd", 1, true},
        {"empty", "", "", 1, false},
    };
    for (LoadRow const& row : rows) {
        LogRecorder log;
        GuiTextBuffer buffer;
        buffer.set_text(CoreString(row.input));
        EXPECT_EQ(buffer.get_text().std_string(), row.expected) << row.name;
        EXPECT_EQ(buffer.get_line_count(), row.lines) << row.name;
        EXPECT_EQ(log.contains("U+FFFD"), row.warns) << row.name;
    }
}

TEST(GuiTextBufferTest, ManyLinesKeepTheirOrderAcrossBlocks)
{
    GuiTextBuffer buffer;
    std::string text;
    for (int i = 0; i < 3000; ++i) text += std::to_string(i) + "\n";
    buffer.set_text(CoreString(text));
    ASSERT_EQ(buffer.get_line_count(), 3001);
    // Inserting many lines in one place splits blocks; removing them merges back.
    for (int i = 0; i < 1500; ++i) buffer.insert_line(700, "new", GuiTextEditLineInfo());
    EXPECT_EQ(buffer.get_line(699).std_string(), "699");
    EXPECT_EQ(buffer.get_line(700).std_string(), "new");
    EXPECT_EQ(buffer.get_line(2200).std_string(), "700");
    for (int i = 0; i < 1500; ++i) buffer.remove_line(700);
    EXPECT_EQ(buffer.get_text().std_string(), text);
    for (int i = 0; i < 3001; ++i) buffer.remove_line(0);
    EXPECT_EQ(buffer.get_line_count(), 1);
    EXPECT_EQ(buffer.get_text().std_string(), "");
}

TEST(GuiTextBufferTest, CharacterStepsNeverSplitUtf8)
{
    CoreString const line("a\xc3\xa9\xe2\x82\xac" "b");  // a é € b
    EXPECT_EQ(GuiTextBuffer::get_next_character_increment(line, 1), 2);
    EXPECT_EQ(GuiTextBuffer::get_next_character_increment(line, 3), 3);
    EXPECT_EQ(GuiTextBuffer::get_previous_character_increment(line, 6), 3);
    EXPECT_EQ(GuiTextBuffer::get_previous_character_increment(line, 0), 0);
    EXPECT_EQ(GuiTextBuffer::get_character_count_from_position(line, 6), 3);
    EXPECT_EQ(GuiTextBuffer::get_position_from_character_count(line, 3), 6);
    EXPECT_EQ(GuiTextBuffer::get_position_from_character_count(line, 99), 7);
    EXPECT_EQ(GuiTextBuffer::snap_to_character(line, 5), 3);
}

struct FindRow {
    char const* needle;
    bool case_sensitive;
    int line, column;  // the start
    bool found;
    int found_line, found_column;
};

TEST(GuiTextBufferTest, FindWalksForwardAndWrapsOnce)
{
    GuiTextBuffer buffer;
    buffer.set_text("abc b\nxBy\nend");
    FindRow const rows[] = {
        {"B", false, 0, 0, true, 0, 1},
        {"B", true, 0, 0, true, 1, 1},
        {"b", false, 0, 2, true, 0, 4},
        {"b", true, 1, 2, true, 0, 1},  // past the last match: wraps to the first
        {"", false, 0, 0, false, 0, 0},
        {"zz", false, 0, 0, false, 0, 0},
    };
    for (FindRow const& row : rows) {
        int line = row.line, column = row.column;
        EXPECT_EQ(buffer.find(row.needle, row.case_sensitive, line, column), row.found) << row.needle;
        if (!row.found) continue;
        EXPECT_EQ(line, row.found_line) << row.needle;
        EXPECT_EQ(column, row.found_column) << row.needle;
    }
}

// One recorded edit of a table-driven session and the text expected after it.
struct EditStep {
    char const* name;
    History::Type type;
    std::function<void(History&)> edit;
    std::string expected;
};

TEST(GuiTextEditHistoryTest, EachStepUndoesAndRedoesToTheTextsBetween)
{
    GuiTextBuffer buffer;
    buffer.set_text("one\ntwo");
    History history(buffer);
    std::vector<EditStep> const steps = {
        {"insert", History::TYPE_PASTE, [](History& h) { h.insert_text(0, 3, "!"); }, "one!\ntwo"},
        {"remove", History::TYPE_CUT, [](History& h) { h.remove_text(1, 0, 2); }, "one!\no"},
        {"set line", History::TYPE_REPLACE, [](History& h) { h.set_line(0, "ONE"); }, "ONE\no"},
        {"insert line", History::TYPE_DUPLICATE, [](History& h) { h.insert_line(1, "mid"); }, "ONE\nmid\no"},
        {"remove line", History::TYPE_REMOVE_LINES, [](History& h) { h.remove_line(0); }, "mid\no"},
        {"remove all", History::TYPE_REMOVE_LINES,
         [](History& h) {
             h.remove_line(0);
             h.remove_line(0);
         },
         ""},
    };
    std::vector<std::string> texts = {buffer.get_text().std_string()};
    for (EditStep const& step : steps) {
        history.start_undo(step.type, 0, 0);
        step.edit(history);
        EXPECT_TRUE(history.stop_undo(0, 0)) << step.name;
        EXPECT_EQ(buffer.get_text().std_string(), step.expected) << step.name;
        texts.push_back(step.expected);
    }
    EXPECT_EQ(history.get_modification_count(), static_cast<int>(steps.size()));
    int line = 0, column = 0;
    for (size_t k = steps.size(); k-- > 0;) {
        ASSERT_TRUE(history.undo(line, column));
        EXPECT_EQ(buffer.get_text().std_string(), texts[k]) << "undo " << steps[k].name;
    }
    EXPECT_FALSE(history.undo(line, column));
    EXPECT_EQ(history.get_modification_count(), 0);
    for (size_t k = 0; k < steps.size(); ++k) {
        ASSERT_TRUE(history.redo(line, column));
        EXPECT_EQ(buffer.get_text().std_string(), texts[k + 1]) << "redo " << steps[k].name;
    }
}

TEST(GuiTextEditHistoryTest, RunsOfMergingTypesGoBackTogether)
{
    GuiTextBuffer buffer;
    History history(buffer);
    auto record = [&](History::Type type, std::function<void()> edit) {
        history.start_undo(type, 0, 0);
        edit();
        history.stop_undo(0, 0);
    };
    // Three typed characters, then three Backspaces.
    for (int i = 0; i < 3; ++i) record(History::TYPE_TYPING, [&] { history.insert_text(0, i, std::string(1, "abc"[i])); });
    for (int i = 3; i > 0; --i) record(History::TYPE_BACKSPACE, [&] { history.remove_text(0, i - 1, 1); });
    EXPECT_EQ(buffer.get_text().std_string(), "");
    int line = 0, column = 0;
    history.undo(line, column);
    EXPECT_EQ(buffer.get_text().std_string(), "abc");
    history.undo(line, column);
    EXPECT_EQ(buffer.get_text().std_string(), "");
    EXPECT_EQ(history.get_undo_count(), 0);
    // Pastes never merge.
    record(History::TYPE_PASTE, [&] { history.insert_text(0, 0, "x"); });
    record(History::TYPE_PASTE, [&] { history.insert_text(0, 1, "y"); });
    history.undo(line, column);
    EXPECT_EQ(buffer.get_text().std_string(), "x");
    // A new change empties the redo stack; a recording that changed nothing is dropped.
    record(History::TYPE_TYPING, [&] { history.insert_text(0, 1, "z"); });
    EXPECT_EQ(history.get_redo_count(), 0);
    history.start_undo(History::TYPE_TYPING, 0, 0);
    EXPECT_FALSE(history.stop_undo(0, 0));
}

}  // namespace
