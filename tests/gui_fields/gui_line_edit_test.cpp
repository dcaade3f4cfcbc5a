// Line edits: group movement, UTF-8 stepping, typing and its events, Return, Escape and
// focus-out, pasting, mouse selection, scrolling of long text, completion and the look of
// read-only and password edits.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include "gui/controls/gui_list_view.h"
#include "gui/core/gui.h"
#include "gui/fields/gui_line_edit.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/log_recorder.h"

namespace {

class LineEditTest : public ControlsTest {
protected:
    GuiLineEdit& make_edit(CoreString const& text = CoreString(), int width = 200)
    {
        GuiLineEdit* edit = new GuiLineEdit(window(), 20, 40, width, 20);
        edit->set_text(text);
        shown(edit);
        m_log.listen(*edit, {&EVT_ID_LINE_EDIT_KEY_PRESSED, &EVT_ID_LINE_EDIT_VALUE_EDITED, &EVT_ID_LINE_EDIT_CHANGED,
                             &EVT_ID_LINE_EDIT_VALIDATE, &EVT_ID_LINE_EDIT_ESCAPE_PRESSED});
        return *edit;
    }
    // Focuses the edit and puts the caret at `caret`.
    void focus_at(GuiLineEdit& edit, int caret)
    {
        edit.set_focus();
        edit.set_selection(caret, -1);
        m_log.clear();
    }
    void type(GuiLineEdit& edit, std::string const& text)
    {
        for (char c : text) key_down(edit, static_cast<unsigned char>(c), std::string(1, c));
    }
    int count(CoreString const& name) const { return m_log.count(name); }
    // The edit's pixels as drawn now.
    std::vector<unsigned char> grab(GuiLineEdit& edit)
    {
        pump_events(app());
        int w = 0, h = 0;
        std::vector<unsigned char> const rgb = read_window_rgb(window(), w, h);
        std::vector<unsigned char> box;
        for (int y = edit.get_y(); y < edit.get_y() + edit.get_height(); ++y)
            for (int x = edit.get_x(); x < edit.get_x() + edit.get_width(); ++x) {
                GMathVec3<unsigned char> const p = pixel_at(rgb, w, x, y);
                box.insert(box.end(), {p[0], p[1], p[2]});
            }
        return box;
    }
    // The leftmost window x at which a click puts the caret at `position`; -1 if none.
    static int x_of(GuiLineEdit& edit, int position)
    {
        for (int x = edit.get_x(); x < edit.get_x() + edit.get_width(); ++x)
            if (edit.get_cursor_index_from_mouse(x) == position) return x;
        return -1;
    }
};

}  // namespace

TEST_F(LineEditTest, GroupsMoveOverRunsOfOneSeparatorOrToTheNextSeparator)
{
    GuiLineEdit& edit = make_edit();
    struct Row {
        char const* text;
        int from;
        int next;
        int previous;
    };
    Row const rows[] = {
        {"a.b", 0, 1, 0},     {"a.b", 1, 2, 0},      {"x==y", 1, 3, 0},      {"x==y", 3, 4, 1},
        {"foo bar", 7, 7, 4}, {"foo  bar", 5, 8, 3}, {"path/to/x", 5, 7, 4}, {"", 0, 0, 0},
        {"\xc3\xa9t\xc3\xa9 x", 0, 5, 0},
    };
    for (Row const& row : rows) {
        edit.set_text(row.text);
        EXPECT_EQ(edit.get_next_group_position(row.from), row.next) << row.text << " from " << row.from;
        EXPECT_EQ(edit.get_previous_group_position(row.from), row.previous) << row.text << " from " << row.from;
    }
    edit.enable_group_movement(false);
    edit.set_text("a.b c");
    EXPECT_EQ(edit.get_next_group_position(1), 5);
    EXPECT_EQ(edit.get_previous_group_position(3), 0);
}

TEST_F(LineEditTest, CaretDeletionAndSelectionNeverSplitAMultiByteCharacter)
{
    // "aé€b": a (1 byte), é (2), € (3), b (1).
    GuiLineEdit& edit = make_edit("a\xc3\xa9\xe2\x82\xac" "b");
    focus_at(edit, 0);
    int const stops[] = {1, 3, 6, 7, 7};
    for (int stop : stops) {
        key_down(edit, FL_Right);
        EXPECT_EQ(edit.get_cursor_index(), stop);
    }
    key_down(edit, FL_Left);
    key_down(edit, FL_Left);
    EXPECT_EQ(edit.get_cursor_index(), 3);
    key_down(edit, FL_BackSpace);
    EXPECT_EQ(edit.get_text(), "a\xe2\x82\xac" "b") << "the two-byte é goes whole";
    key_down(edit, FL_Delete);
    EXPECT_EQ(edit.get_text(), "ab");

    edit.set_text("\xe2\x82\xac\xe2\x82\xac");
    edit.set_selection(4, 1);  // inside characters: moved back to their starts
    EXPECT_EQ(edit.get_cursor_index(), 3);
    EXPECT_EQ(edit.get_selection_end_index(), 0);
    EXPECT_EQ(edit.get_selected_text(), "\xe2\x82\xac");
    EXPECT_EQ(edit.get_character_count_from_position(6), 2);
    EXPECT_EQ(edit.get_position_from_character_count(1), 3);
}

TEST_F(LineEditTest, InvalidUtf8IsReplacedWithOneWarningAndLineBreaksRemoved)
{
    GuiLineEdit& edit = make_edit();
    LogRecorder log;
    edit.set_text("ok\xff\xc3\n\rend");
    EXPECT_EQ(edit.get_text(), "ok\xef\xbf\xbd\xef\xbf\xbd" "end");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_TRUE(log.contains("GuiLineEdit.set_text"));
    log.clear();
    edit.set_text("caf\xc3\xa9");
    EXPECT_EQ(log.count(), 0u);
}

TEST_F(LineEditTest, TypingReplacesTheSelectionAndReportsEachKey)
{
    GuiLineEdit& edit = make_edit("name");
    edit.set_focus();  // selects everything
    EXPECT_EQ(edit.get_selected_text(), "name");
    m_log.clear();
    type(edit, "ab");
    EXPECT_EQ(edit.get_text(), "ab");
    EXPECT_EQ(edit.get_cursor_index(), 2);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_KEY_PRESSED), 2);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_CHANGED), 0) << "changed only when the entry ends";
    key_up(edit, 'b');
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_VALUE_EDITED), 1);
}

TEST_F(LineEditTest, ReturnCommitsAChangeOrValidatesTheSameText)
{
    GuiLineEdit& edit = make_edit("a");
    CoreString validation;
    EventObject::connect(
        edit, EVT_ID_LINE_EDIT_VALIDATE,
        +[](EventObject& sender, EventObject::EventInfo const&, void* data) {
            *static_cast<CoreString*>(data) =
                GuiLineEdit::get_validation_name(static_cast<GuiLineEdit&>(sender).get_last_validation());
        },
        &validation);
    focus_at(edit, 1);
    type(edit, "b");
    key_down(edit, FL_Enter);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_CHANGED), 1);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_VALIDATE), 0);
    EXPECT_EQ(edit.get_committed_text(), "ab");
    EXPECT_FALSE(edit.has_focus());

    focus_at(edit, 2);
    key_down(edit, FL_Enter);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_CHANGED), 0);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_VALIDATE), 1);
    EXPECT_EQ(validation, "VALIDATION_KEY_RETURN");
    EXPECT_EQ(edit.get_last_validation(), GuiLineEdit::VALIDATION_NONE) << "reset after the event";

    focus_at(edit, 2);
    key_down(edit, FL_KP_Enter);
    EXPECT_EQ(validation, "VALIDATION_KEY_ENTER");
}

TEST_F(LineEditTest, EscapeRestoresTheTextTheEditHadWhenItGotTheFocus)
{
    GuiLineEdit& edit = make_edit("keep");
    focus_at(edit, 4);
    type(edit, "xyz");
    key_down(edit, FL_Escape);
    EXPECT_EQ(edit.get_text(), "keep");
    EXPECT_FALSE(edit.has_focus());
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_ESCAPE_PRESSED), 1);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_CHANGED), 0) << "nothing to commit once restored";
}

TEST_F(LineEditTest, LeavingWithAnotherTextCommitsIt)
{
    GuiLineEdit& edit = make_edit("one");
    GuiLineEdit& other = make_edit("two");
    focus_at(edit, 3);
    type(edit, "!");
    other.set_focus();
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_CHANGED), 1);
    EXPECT_EQ(edit.get_committed_text(), "one!");
    EXPECT_EQ(edit.get_cursor_index(), -1) << "caret and selection go with the focus";
}

TEST_F(LineEditTest, PasteInsertsCleanedTextAndAlwaysReportsTheEdit)
{
    GuiLineEdit& edit = make_edit("xyz");
    struct Row {
        int caret;
        int selection_end;
        char const* pasted;
        char const* text;
        int caret_after;
    };
    Row const rows[] = {
        {2, -1, "ab", "xyabz", 4},      // before the last character
        {-1, -1, "ab", "abxyz", 2},     // no caret counts as 0
        {0, 2, "Q", "Qz", 1},           // replaces the selection
        {3, -1, "a\nb\r\tc", "xyzab c", 7},  // line breaks go, a tab reads as a blank
        {1, -1, "\n\r\n", "xyz", 1},    // nothing left to insert
    };
    for (Row const& row : rows) {
        edit.set_text("xyz");
        edit.set_selection(row.caret, row.selection_end);
        m_log.clear();
        edit.paste(row.pasted);
        EXPECT_EQ(edit.get_text(), row.text) << row.pasted;
        if (row.caret >= 0) {
            EXPECT_EQ(edit.get_cursor_index(), row.caret_after) << row.pasted;
        }
        EXPECT_EQ(count(EVT_ID_LINE_EDIT_VALUE_EDITED), 1) << row.pasted;
    }
    edit.set_read_only(true);
    edit.paste("no");
    EXPECT_EQ(edit.get_text(), "xyz");
}

TEST_F(LineEditTest, ShiftAndCtrlKeysMoveTheSelectionEndByCharactersAndGroups)
{
    GuiLineEdit& edit = make_edit("one two.three");
    focus_at(edit, 0);
    key_down(edit, FL_Right, "", FL_CTRL);
    EXPECT_EQ(edit.get_cursor_index(), 3);
    key_down(edit, FL_Right, "", FL_CTRL | FL_SHIFT);
    key_down(edit, FL_Right, "", FL_CTRL | FL_SHIFT);
    EXPECT_EQ(edit.get_selected_text(), " two");
    key_down(edit, FL_End, "", FL_SHIFT);
    EXPECT_EQ(edit.get_selected_text(), " two.three");
    key_down(edit, FL_Home);
    EXPECT_EQ(edit.get_cursor_index(), 0);
    EXPECT_FALSE(edit.has_selection());
    key_down(edit, 'a', "a", FL_CTRL);
    EXPECT_EQ(edit.get_selected_text(), "one two.three");
}

TEST_F(LineEditTest, ClicksPlaceTheCaretAndSelectAWordOrEverything)
{
    GuiLineEdit& edit = make_edit("alpha beta.gamma");
    int const y = 50;
    int const inside_beta = x_of(edit, 8);
    ASSERT_GT(inside_beta, 0);
    click(edit, inside_beta, y);
    EXPECT_TRUE(edit.has_focus());
    EXPECT_EQ(edit.get_cursor_index(), 8);
    EXPECT_FALSE(edit.has_selection());

    mouse_down(edit, inside_beta, y, 1, 1);
    mouse_up(edit, inside_beta, y);
    EXPECT_EQ(edit.get_selected_text(), "beta");

    mouse_down(edit, inside_beta, y, 1, 2);
    mouse_up(edit, inside_beta, y);
    EXPECT_EQ(edit.get_selected_text(), "alpha beta.gamma");

    click(edit, x_of(edit, 2), y);
    mouse_down(edit, x_of(edit, 2), y, 1, 0);
    throttled_drag(edit, x_of(edit, 5), y);
    mouse_up(edit, x_of(edit, 5), y);
    EXPECT_EQ(edit.get_selected_text(), "pha");
    click(edit, 215, y);
    EXPECT_EQ(edit.get_cursor_index(), 16) << "right of the text: the end";
}

TEST_F(LineEditTest, LongTextScrollsToKeepTheCaretInView)
{
    std::string const long_text(200, 'm');
    GuiLineEdit& edit = make_edit(long_text.c_str(), 80);
    focus_at(edit, 0);
    EXPECT_EQ(edit.get_scroll_offset(), 0);
    key_down(edit, FL_End);
    int const end_offset = edit.get_scroll_offset();
    EXPECT_GT(end_offset, 0);
    EXPECT_GT(x_of(edit, 200), 0) << "the end is in view";
    EXPECT_EQ(x_of(edit, 0), -1) << "the start is scrolled out";
    key_down(edit, FL_Home);
    EXPECT_EQ(edit.get_scroll_offset(), 0);
    key_down(edit, FL_End);
    key_down(edit, FL_Left);
    EXPECT_EQ(edit.get_scroll_offset(), end_offset) << "no scroll while the caret stays in view";
}

TEST_F(LineEditTest, CandidatesAreFilteredByTheTextAndChosenIntoTheEdit)
{
    GuiLineEdit& edit = make_edit();
    edit.set_candidate_values({"camera_main", "cameraBack", "light_key", "light fill"});
    focus_at(edit, 0);
    key_down(edit, FL_Down);
    ASSERT_NE(edit.get_candidate_popup(), nullptr);
    EXPECT_EQ(edit.get_candidate_popup()->get_list().get_item_count(), 4) << "an empty text lists all";
    EXPECT_TRUE(edit.has_focus()) << "the edit keeps the keys while the list is open";

    type(edit, "li");
    ASSERT_NE(edit.get_candidate_popup(), nullptr);
    EXPECT_EQ(edit.get_candidate_popup()->get_list().get_items(), (CoreVector<CoreString>{"light_key", "light fill"}));
    key_down(edit, FL_Down);
    key_down(edit, FL_Down);
    key_down(edit, FL_Enter);
    EXPECT_EQ(edit.get_text(), "light fill");
    EXPECT_EQ(edit.get_candidate_popup(), nullptr);
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_CHANGED), 1);

    focus_at(edit, 10);
    type(edit, "zz");
    EXPECT_EQ(edit.get_candidate_popup(), nullptr) << "nothing matches: hidden";
}

TEST_F(LineEditTest, ReadOnlyRefusesEditsAndPasswordRefusesCopies)
{
    GuiLineEdit& edit = make_edit("fixed");
    edit.set_read_only(true);
    focus_at(edit, 5);
    type(edit, "x");
    key_down(edit, FL_BackSpace);
    key_down(edit, 'x', "", FL_CTRL);
    EXPECT_EQ(edit.get_text(), "fixed");
    EXPECT_EQ(count(EVT_ID_LINE_EDIT_KEY_PRESSED), 0);

    edit.set_read_only(false);
    edit.set_password_mode(true);
    Gui::copy_to_clipboard("before");
    edit.set_selection(0, 5);
    key_down(edit, 'c', "", FL_CTRL);
    key_down(edit, 'x', "", FL_CTRL);
    EXPECT_EQ(edit.get_text(), "fixed") << "a hidden text is neither copied nor cut";
    type(edit, "s");
    EXPECT_EQ(edit.get_text(), "s");
}

TEST_F(LineEditTest, DrawsTheNullValueOnlyWhileEmptyAndUnfocused)
{
    GuiLineEdit& edit = make_edit();
    edit.set_null_value("Search");
    std::vector<unsigned char> const empty = grab(edit);
    edit.set_text("Search");
    std::vector<unsigned char> const typed = grab(edit);
    EXPECT_NE(empty, typed) << "the placeholder is dimmer than text";
    edit.set_text("");
    edit.set_focus();
    std::vector<unsigned char> const focused = grab(edit);
    EXPECT_NE(empty, focused);
    edit.set_text("");
    edit.set_focus();
    EXPECT_EQ(edit.get_text(), "") << "the placeholder is never the text";
}
