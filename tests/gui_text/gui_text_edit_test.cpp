// The text editor widget: keys, undo, mouse, clipboard, search and replace, console mode,
// zoom and bad input.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <chrono>

#include "gui/core/gui.h"
#include "gui/controls/gui_scrollbar.h"
#include "gui/text/gui_text_edit.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

// One key press: a key code, the text it types and its modifiers.
struct Key {
    int code;
    std::string text;
    int modifiers = 0;
};

Key ch(char c)
{
    return {static_cast<unsigned char>(c), std::string(1, c)};
}
Key ctrl(char c, int more = 0)
{
    return {static_cast<unsigned char>(c), "", FL_CTRL | more};
}
Key key(int code, int modifiers = 0)
{
    return {code, "", modifiers};
}

class TextEditTest : public ControlsTest {
protected:
    GuiTextEdit& make_edit(CoreString const& text, int line = 0, int column = 0)
    {
        GuiTextEdit* edit = new GuiTextEdit(window(), 10, 10, 380, 180);
        edit->set_text(text);
        shown(edit);
        edit->set_focus();
        edit->set_selection(column, line, -1, 0);
        return *edit;
    }
    void press(GuiTextEdit& edit, std::vector<Key> const& keys)
    {
        for (Key const& k : keys) key_down(edit, k.code, k.text, k.modifiers);
    }
    static std::string text(GuiTextEdit& edit) { return edit.get_text().std_string(); }
    static std::pair<int, int> caret(GuiTextEdit& edit)
    {
        int line = 0, column = 0;
        edit.get_caret(line, column);
        return {line, column};
    }
};

struct KeyRow {
    char const* name;
    std::string start;
    int line, column;
    std::vector<Key> keys;
    std::string expected;
    int caret_line, caret_column;
};

TEST_F(TextEditTest, KeysEditAndMoveTheCaret)
{
    KeyRow const rows[] = {
        {"typing", "", 0, 0, {ch('a'), ch('b')}, "ab", 0, 2},
        {"typed utf8", "ab", 0, 1, {{0xe9, "\xc3\xa9"}}, "a\xc3\xa9" "b", 0, 3},
        {"home first non-space", "    x", 0, 5, {key(FL_Home)}, "    x", 0, 4},
        {"home twice", "    x", 0, 5, {key(FL_Home), key(FL_Home)}, "    x", 0, 0},
        {"home thrice", "    x", 0, 5, {key(FL_Home), key(FL_Home), key(FL_Home)}, "    x", 0, 4},
        {"tab to stop", "abcdef", 0, 6, {key(FL_Tab)}, "abcdef  ", 0, 8},
        {"backspace to stop", "        ", 0, 8, {key(FL_BackSpace)}, "    ", 0, 4},
        {"backspace utf8", "a\xe2\x82\xac", 0, 4, {key(FL_BackSpace)}, "a", 0, 1},
        {"backspace joins", "ab\ncd", 1, 0, {key(FL_BackSpace)}, "abcd", 0, 2},
        {"delete joins", "ab\ncd", 0, 2, {key(FL_Delete)}, "abcd", 0, 2},
        {"enter keeps indent", "  ab", 0, 3, {key(FL_Enter)}, "  a\n  b", 1, 2},
        {"left over utf8", "a\xc3\xa9", 0, 3, {key(FL_Left)}, "a\xc3\xa9", 0, 1},
        {"right wraps", "ab\ncd", 0, 2, {key(FL_Right)}, "ab\ncd", 1, 0},
        {"ctrl right word", "foo bar", 0, 0, {key(FL_Right, FL_CTRL)}, "foo bar", 0, 3},
        {"down keeps column", "abcd\nx\nabcd", 0, 3, {key(FL_Down), key(FL_Down)}, "abcd\nx\nabcd", 2, 3},
        {"ctrl end", "a\nbc", 0, 0, {key(FL_End, FL_CTRL)}, "a\nbc", 1, 2},
        {"shift tab moves back", "    abcdefgh", 0, 12, {key(FL_Tab, FL_SHIFT)}, "    abcdefgh", 0, 8},
        {"shift tab unindents", "      x", 0, 6, {key(FL_Tab, FL_SHIFT)}, "  x", 0, 2},
        {"ctrl l removes line", "a\nb\nc", 1, 0, {ctrl('l')}, "a\nc", 1, 0},
        {"ctrl d duplicates", "a\nb", 0, 1, {ctrl('d')}, "a\na\nb", 1, 1},
        {"shift select replace", "abc", 0, 0, {key(FL_Right, FL_SHIFT), key(FL_Right, FL_SHIFT), ch('X')}, "Xc", 0, 1},
        {"ctrl typed ignored", "ab", 0, 0, {{'q', "q", FL_CTRL}}, "ab", 0, 0},
    };
    for (KeyRow const& row : rows) {
        GuiTextEdit& edit = make_edit(CoreString(row.start), row.line, row.column);
        press(edit, row.keys);
        EXPECT_EQ(text(edit), row.expected) << row.name;
        EXPECT_EQ(caret(edit), std::make_pair(row.caret_line, row.caret_column)) << row.name;
        edit.destroy();
    }
}

struct UndoRow {
    char const* name;
    std::string start;
    int line, column;
    std::vector<Key> keys;
    std::vector<std::string> after_undos;  // the text after each undo, in order
};

TEST_F(TextEditTest, UndoGroupsKeystrokesAndRedoReplays)
{
    UndoRow const rows[] = {
        {"typed then erased", "", 0, 0,
         {ch('a'), ch('b'), ch('c'), key(FL_BackSpace), key(FL_BackSpace), key(FL_BackSpace)},
         {"abc", ""}},
        {"enters merge", "ab", 0, 1, {key(FL_Enter), key(FL_Enter)}, {"ab"}},
        {"typing then paste", "x", 0, 1, {ch('y'), ctrl('d')}, {"xy", "x"}},
        {"tab steps apart", "", 0, 0, {key(FL_Tab), key(FL_Tab)}, {"    ", ""}},
    };
    for (UndoRow const& row : rows) {
        GuiTextEdit& edit = make_edit(CoreString(row.start), row.line, row.column);
        press(edit, row.keys);
        std::string const final_text = text(edit);
        for (std::string const& expected : row.after_undos) {
            press(edit, {ctrl('z')});
            EXPECT_EQ(text(edit), expected) << row.name;
        }
        EXPECT_EQ(edit.get_modification_count(), 0) << row.name;
        for (size_t k = 0; k < row.after_undos.size(); ++k) press(edit, {ctrl('z', FL_SHIFT)});
        EXPECT_EQ(text(edit), final_text) << row.name;
        edit.destroy();
    }
}

TEST_F(TextEditTest, EditsRaiseModifiedAndChanged)
{
    GuiTextEdit& edit = make_edit("");
    m_log.listen(edit, {&EVT_ID_TEXT_EDIT_CHANGED, &EVT_ID_TEXT_EDIT_MODIFIED});
    press(edit, {ch('a')});
    EXPECT_EQ(m_log.count(EVT_ID_TEXT_EDIT_MODIFIED), 1);
    EXPECT_EQ(m_log.count(EVT_ID_TEXT_EDIT_CHANGED), 1);
    press(edit, {ctrl('z')});
    EXPECT_EQ(m_log.count(EVT_ID_TEXT_EDIT_MODIFIED), 2);
}

TEST_F(TextEditTest, CommentsAndUncommentsTheTouchedLines)
{
    GuiTextEdit& edit = make_edit("a\n  b\nc");
    edit.set_line_comments({"#", "//"});
    edit.set_selection(0, 0, 1, 1);
    press(edit, {ctrl('c', FL_SHIFT)});
    EXPECT_EQ(text(edit), "#a\n#  b\nc");
    edit.set_text("#a\n  //b\nc");
    edit.set_selection(0, 0, 0, 2);
    press(edit, {ctrl('x', FL_SHIFT)});
    EXPECT_EQ(text(edit), "a\n  b\nc");
    press(edit, {ctrl('z')});
    EXPECT_EQ(text(edit), "#a\n  //b\nc");
    // Without markers there is nothing to do.
    edit.set_line_comments({});
    EXPECT_EQ(edit.on_comment_lines(), 0);
}

TEST_F(TextEditTest, PasteSplicesLinesAtTheCaret)
{
    GuiTextEdit& edit = make_edit("ab\ncd", 0, 1);
    edit.set_selection(1, 0, 1, 1);  // "b\nc" selected
    EXPECT_EQ(edit.do_paste("X\r\nY\tZ"), 1);
    EXPECT_EQ(text(edit), "aX\nY   Zd");
    EXPECT_EQ(caret(edit), std::make_pair(1, 5));
    press(edit, {ctrl('z')});
    EXPECT_EQ(text(edit), "ab\ncd");
    edit.set_read_only(true);
    EXPECT_EQ(edit.do_paste("no"), 0);
}

TEST_F(TextEditTest, CopyAndCutGoThroughTheClipboard)
{
    GuiTextEdit& edit = make_edit("hello world");
    edit.set_selection(0, 0, 5, 0);
    press(edit, {ctrl('x')});
    EXPECT_EQ(text(edit), " world");
    edit.set_selection(6, 0, -1, 0);
    press(edit, {ctrl('v')});
    pump_events(app(), 0.3);
    EXPECT_EQ(text(edit), " worldhello");
}

TEST_F(TextEditTest, SearchWalksThroughMatchesAndWraps)
{
    GuiTextEdit& edit = make_edit("abc\nxbx\nB");
    EXPECT_TRUE(edit.find_next_text("B", false));
    EXPECT_EQ(edit.get_text_selected().std_string(), "b");
    EXPECT_EQ(caret(edit), std::make_pair(0, 2));
    EXPECT_TRUE(edit.find_next_text("B", false));
    EXPECT_EQ(caret(edit), std::make_pair(1, 2));
    EXPECT_TRUE(edit.find_next_text("B", false));
    EXPECT_EQ(caret(edit), std::make_pair(2, 1));
    EXPECT_TRUE(edit.find_next_text("B", false));  // wraps to the first match
    EXPECT_EQ(caret(edit), std::make_pair(0, 2));
    EXPECT_FALSE(edit.find_next_text("", false));
    EXPECT_FALSE(edit.find_next_text("zz", false));
}

struct ReplaceRow {
    char const* name;
    std::string start, pattern, replacement;
    bool case_sensitive;
    int count;
    std::string expected;
};

TEST_F(TextEditTest, ReplaceAllIsOneStepAndNeverLoops)
{
    ReplaceRow const rows[] = {
        {"plain", "a b a", "a", "c", true, 2, "c b c"},
        {"replacement holds pattern", "a a\na", "a", "aa", true, 3, "aa aa\naa"},
        {"case insensitive", "Ab ab", "ab", "x", false, 2, "x x"},
        {"empty pattern", "abc", "", "x", true, 0, "abc"},
        {"no match", "abc", "z", "x", true, 0, "abc"},
        {"to empty", "abab", "b", "", true, 2, "aa"},
    };
    for (ReplaceRow const& row : rows) {
        GuiTextEdit& edit = make_edit(CoreString(row.start));
        EXPECT_EQ(edit.replace_all_text(CoreString(row.pattern), CoreString(row.replacement), row.case_sensitive), row.count)
            << row.name;
        EXPECT_EQ(text(edit), row.expected) << row.name;
        edit.on_edit_undo();
        EXPECT_EQ(text(edit), row.start) << row.name;
        edit.destroy();
    }
}

TEST_F(TextEditTest, FindAndReplaceReplacesTheSelectedMatchThenMoves)
{
    GuiTextEdit& edit = make_edit("cat cat");
    EXPECT_FALSE(edit.find_next_and_replace_text("cat", "dog", true));  // selects the first
    EXPECT_TRUE(edit.find_next_and_replace_text("cat", "dog", true));
    EXPECT_EQ(text(edit), "dog cat");
    EXPECT_EQ(edit.get_text_selected().std_string(), "cat");
}

TEST_F(TextEditTest, ConsoleKeepsTheNewestLines)
{
    GuiTextEdit& edit = make_edit("");
    edit.set_read_only(true);
    edit.set_max_lines(3);
    for (int i = 1; i <= 5; ++i) edit.append(CoreString("line") + i + "\n", i == 2 ? CORE_LOG_LEVEL_WARNING : CORE_LOG_LEVEL_INFO);
    EXPECT_EQ(text(edit), "line2\nline3\nline4\nline5");
    EXPECT_EQ(edit.get_buffer().get_info(0).log_level, CORE_LOG_LEVEL_WARNING);
    // Typing and undo do nothing in a read-only editor.
    press(edit, {ch('x'), ctrl('z')});
    EXPECT_EQ(text(edit), "line2\nline3\nline4\nline5");
    // Levels tint the text colour differently; information keeps it.
    EXPECT_EQ(edit.get_log_level_color(CORE_LOG_LEVEL_INFO), edit.get_syntax_color(GuiTextEditLineInfo::SYNTAX_TYPE_NONE));
    EXPECT_NE(edit.get_log_level_color(CORE_LOG_LEVEL_ERROR), edit.get_log_level_color(CORE_LOG_LEVEL_WARNING));
    edit.clear();
    EXPECT_EQ(text(edit), "");
}

TEST_F(TextEditTest, ConsoleDropsACaretThatFallsOffTheTop)
{
    GuiTextEdit& edit = make_edit("");
    edit.set_read_only(true);
    edit.set_max_lines(1);
    edit.append("a\nb");
    edit.set_selection(0, 0, -1, 0);
    edit.append("c");
    int anchor_column, anchor_line, cursor_column, cursor_line;
    edit.get_selection(anchor_column, anchor_line, cursor_column, cursor_line);
    EXPECT_EQ(anchor_column, -1);
    edit.set_selection(0, 1, -1, 0);
    key_down(edit, FL_Escape);
    edit.get_selection(anchor_column, anchor_line, cursor_column, cursor_line);
    EXPECT_EQ(anchor_column, -1);
}

TEST_F(TextEditTest, ZoomStepsAndRefusesSmallSizes)
{
    GuiTextEdit& edit = make_edit("x");
    struct Row {
        int size;
        int in, out;
    } const rows[] = {{12, 13, 11}, {16, 18, 15}, {17, 19, 15}, {30, 34, 26}, {50, 56, 44}, {70, 80, 60}, {100, 108, 92}, {9, 10, 9}};
    for (Row const& row : rows) {
        edit.set_font_size(row.size);
        edit.zoom_in();
        EXPECT_EQ(edit.get_font_size(), row.in) << row.size;
        edit.set_font_size(row.size);
        edit.zoom_out();
        EXPECT_EQ(edit.get_font_size(), row.out) << row.size;
    }
    edit.zoom_default();
    EXPECT_EQ(edit.get_font_size(), GuiTextEdit::DEFAULT_FONT_SIZE);
}

TEST_F(TextEditTest, GotoLineClampsToTheText)
{
    GuiTextEdit& edit = make_edit("a\nb\nc");
    edit.goto_line(99);
    EXPECT_EQ(caret(edit), std::make_pair(2, 0));
    edit.goto_line(-4);
    EXPECT_EQ(caret(edit), std::make_pair(0, 0));
}

TEST_F(TextEditTest, MouseClicksPlaceSelectWordsAndLines)
{
    GuiTextEdit& edit = make_edit("alpha beta\nline two");
    int const row_y = edit.get_y() + GuiTextEdit::TOP_MARGIN + edit.get_line_height() / 2;
    int x = 0, y = 0;
    edit.set_selection(7, 0, -1, 0);
    edit.get_cursor_pixel_position(x, y);
    click(edit, x + 1, row_y);
    EXPECT_EQ(caret(edit), std::make_pair(0, 7));
    mouse_down(edit, x + 1, row_y, 1, 1);
    mouse_up(edit, x + 1, row_y);
    EXPECT_EQ(edit.get_text_selected().std_string(), "beta");
    EXPECT_EQ(edit.get_highlighted_word().std_string(), "beta");
    // A drag from the start of the first line into the second selects across lines.
    int const left = edit.get_x() + GuiTextEdit::LEFT_MARGIN;
    mouse_down(edit, left, row_y);
    throttled_drag(edit, left + 200, row_y + edit.get_line_height());
    mouse_up(edit, left + 200, row_y + edit.get_line_height());
    EXPECT_EQ(edit.get_text_selected().std_string(), "alpha beta\nline two");
}

TEST_F(TextEditTest, BadInputIsCleanedAndHandledQuickly)
{
    LogRecorder log;
    std::string big(1 << 20, 'x');
    big += "\r\ny\x80z";
    auto const start = std::chrono::steady_clock::now();
    GuiTextEdit& edit = make_edit(CoreString(big));
    edit.set_keywords({"x"});
    press(edit, {key(FL_End), ch('!'), key(FL_Home, FL_CTRL), key(FL_Down), key(FL_End)});
    pump_events(app());
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
    EXPECT_EQ(edit.get_line_count(), 2);
    EXPECT_EQ(edit.get_line(0).get_length(), (1u << 20) + 1);
    EXPECT_EQ(edit.get_line(1).std_string(), "y\xef\xbf\xbdz");
    EXPECT_TRUE(log.contains("GuiTextEdit.set_text"));
    // Columns are characters: the replacement character counts once.
    int line, column, lines;
    edit.get_infos(line, column, lines);
    EXPECT_EQ(column, 3);
}

}  // namespace

namespace {

TEST_F(TextEditTest, PopupMenuEnablesWhatCanBeDone)
{
    GuiTextEdit& edit = make_edit("abc");
    struct Row {
        char const* name;
        bool read_only;
        bool select;
        bool edited;
        std::vector<std::string> enabled;
    } const rows[] = {
        {"fresh", false, false, false, {"Paste"}},
        {"selected after an edit", false, true, true, {"Undo", "Cut          ", "Copy", "Paste", "Delete"}},
        {"read only", true, true, true, {"Copy"}},
    };
    for (Row const& row : rows) {
        edit.set_text("abc");
        edit.set_read_only(false);
        if (row.edited) edit.do_paste("x");
        edit.set_read_only(row.read_only);
        if (row.select) edit.select_all();
        edit.popup_menu();
        ASSERT_NE(edit.get_popup_menu(), nullptr);
        EXPECT_EQ(item_names(*edit.get_popup_menu()),
                  (Names{"Undo", "Redo", "-", "Cut          ", "Copy", "Paste", "Delete"}));
        std::vector<std::string> enabled;
        for (GuiMenuItem* item : edit.get_popup_menu()->get_items())
            if (!item->is_separator() && item->is_enabled()) enabled.push_back(item->get_name().std_string());
        EXPECT_EQ(enabled, row.enabled) << row.name;
        edit.get_popup_menu()->hide();
    }
}

TEST_F(TextEditTest, WheelScrollsThreeLinesAndZoomsWithCtrl)
{
    std::string text;
    for (int i = 0; i < 100; ++i) text += "line\n";
    GuiTextEdit& edit = make_edit(CoreString(text));
    pump_events(app());
    ASSERT_TRUE(edit.get_vertical_scrollbar().is_shown());
    wheel(edit, 0, 1);
    EXPECT_EQ(edit.get_first_visible_line(), GuiTextEdit::WHEEL_LINES);
    wheel(edit, 0, -5);
    EXPECT_EQ(edit.get_first_visible_line(), 0);
    int const size = edit.get_font_size();
    Fl::e_state = FL_CTRL;
    wheel(edit, 0, -1);
    Fl::e_state = 0;
    EXPECT_GT(edit.get_font_size(), size);
}

}  // namespace

namespace {

TEST_F(TextEditTest, ScriptHelpersReadAndTidyTheText)
{
    GuiTextEdit& edit = make_edit("a = 1  \nif (a == b) c=2\n  b_2 = a != 3\n3x = 0   ");
    EXPECT_EQ(edit.get_variables_from_text(), (CoreVector<CoreString>{"a", "c", "b_2"}));
    EXPECT_EQ(edit.remove_whitespaces(), 2);
    EXPECT_EQ(text(edit), "a = 1\nif (a == b) c=2\n  b_2 = a != 3\n3x = 0");
    edit.on_edit_undo();
    EXPECT_EQ(text(edit), "a = 1  \nif (a == b) c=2\n  b_2 = a != 3\n3x = 0   ");
    GuiFont const& font = edit.get_text_font();
    int const word = static_cast<int>(font.get_text_width("word", 4));
    EXPECT_EQ(GuiTextEdit::get_word_warp("word word word", word * 2, font).std_string(), "word\nword\nword");
    EXPECT_EQ(GuiTextEdit::get_word_warp("word word\nx", word * 3, font).std_string(), "word word\nx");
}

TEST_F(TextEditTest, LeavingAfterAnEditValidates)
{
    GuiTextEdit& edit = make_edit("x");
    m_log.listen(edit, {&EVT_ID_TEXT_EDIT_VALIDATE});
    edit.lose_focus();
    EXPECT_EQ(m_log.count(EVT_ID_TEXT_EDIT_VALIDATE), 0);
    edit.set_focus();
    press(edit, {ch('y')});
    edit.lose_focus();
    EXPECT_EQ(m_log.count(EVT_ID_TEXT_EDIT_VALIDATE), 1);
}

}  // namespace
