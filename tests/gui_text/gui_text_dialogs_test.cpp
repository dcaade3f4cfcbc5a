// The go-to-line question, the replace box and the window that edits a longer text.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include "gui/fields/gui_line_edit.h"
#include "gui/text/gui_text_edit.h"
#include "gui/text/gui_text_edit_goto_line_window.h"
#include "gui/text/gui_text_replace_box.h"
#include "gui/text/gui_variable_edit_window.h"
#include "gui/core/gui_app.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

class TextDialogsTest : public ControlsTest {};

struct GotoRow {
    char const* entry;
    bool moved;
    int line;  // the caret's line afterwards
};

TEST_F(TextDialogsTest, GotoLineClampsAndRefusesWhatIsNotANumber)
{
    GuiTextEdit* edit = new GuiTextEdit(window(), 0, 0, 300, 150);
    edit->set_text("a\nb\nc\nd");
    shown(edit);
    GuiTextEditGotoLineWindow dialog(static_cast<GuiWindow&>(window()), *edit);
    EXPECT_EQ(dialog.get_title().std_string(), "Goto Line");
    GotoRow const rows[] = {
        {"3", true, 2}, {" 2 ", true, 1}, {"99", true, 3}, {"0", true, 0}, {"-5", true, 0},
        {"99999999999999", true, 3}, {"abc", false, 0}, {"2x", false, 0}, {"", false, 0},
    };
    for (GotoRow const& row : rows) {
        edit->goto_line(0);
        LogRecorder log;
        EXPECT_EQ(dialog.go(row.entry), row.moved) << row.entry;
        int line = 0, column = 0;
        edit->get_caret(line, column);
        EXPECT_EQ(line, row.line) << row.entry;
        EXPECT_EQ(log.contains("is not a line number"), !row.moved) << row.entry;
    }
}

struct ReplaceRow {
    char const* in;
    char const* search;
    char const* replacement;
    bool found;
    char const* out;
};

TEST_F(TextDialogsTest, ComputeTextReplacementSplitsAndJoins)
{
    ReplaceRow const rows[] = {
        {"a.b.c", ".", "_", true, "a_b_c"},
        {"..", ".", "-", true, "--"},
        {"aa", "a", "aa", true, "aaaa"},
        {"abc", "x", "y", false, "abc"},
        {"abc", "b", "", false, "abc"},
        {"abc", "", "y", false, "abc"},
        {"", "a", "b", false, ""},
    };
    for (ReplaceRow const& row : rows) {
        CoreString out;
        EXPECT_EQ(GuiTextReplaceBox::compute_text_replacement(row.in, out, row.search, row.replacement), row.found) << row.in;
        EXPECT_EQ(out.std_string(), row.out) << row.in;
    }
}

TEST_F(TextDialogsTest, ReplaceBoxPreviewsAndAppliesOnlyOnApply)
{
    CoreVector<CoreString> const names = {"cube1", "sphere", "cube2"};
    CoreVector<CoreString> output;
    std::vector<bool> changed;
    GuiTextReplaceBox* box = new GuiTextReplaceBox(app(), 40, 40, names, output, changed);
    EXPECT_EQ(box->get_title().std_string(), "Replace text");
    box->get_search_edit().set_text("cube");
    box->get_replace_edit().set_text("box");
    box->process_text_replacement();
    EXPECT_EQ(box->get_result_view().get_text().std_string(), "box1\nsphere\nbox2");
    EXPECT_EQ(box->get_result_view().get_buffer().get_info(0).log_level, CORE_LOG_LEVEL_WARNING);
    EXPECT_EQ(box->get_result_view().get_buffer().get_info(1).log_level, CORE_LOG_LEVEL_INFO);
    EXPECT_TRUE(output.is_empty()) << "nothing is handed back before Apply";
    box->clear();
    EXPECT_EQ(box->get_result_view().get_text().std_string(), "cube1\nsphere\ncube2");
    box->get_search_edit().set_text("sphere");
    box->get_replace_edit().set_text("ball");
    box->validate_replacement();
    EXPECT_EQ(output, (CoreVector<CoreString>{"cube1", "ball", "cube2"}));
    EXPECT_EQ(changed, (std::vector<bool>{false, true, false}));
    box->destroy();
}

}  // namespace

TEST_F(TextDialogsTest, TheVariableEditWindowAnswersOkToCtrlReturnAndCancelToEscape)
{
    struct Row {
        int key;
        int modifiers;
        bool accepted;
    };
    for (Row const& row : {Row{FL_Enter, FL_CTRL, true}, Row{FL_Escape, 0, false}}) {
        GuiVariableEditWindow* window = new GuiVariableEditWindow(app(), "Edit Expression", "frame * 2");
        struct Press {
            GuiVariableEditWindow* window;
            Row row;
        } press{window, row};
        app().add_timer(
            [](void* data) {
                Press const& p = *static_cast<Press*>(data);
                GuiTextEdit& edit = p.window->get_text_edit();
                edit.set_text("frame * 3");
                key_down(edit, p.row.key, "", p.row.modifiers);
            },
            &press, 0.05);
        // A key that answers nothing must not leave the test waiting.
        AppBase::TimerId const fallback = app().add_timer(
            [](void* data) { static_cast<GuiVariableEditWindow*>(data)->cancel(); }, window, 2.0);
        EXPECT_EQ(window->run(), row.accepted) << "key " << row.key;
        app().remove_timer(fallback);
        EXPECT_EQ(window->get_text(), "frame * 3");
        window->destroy();
    }
}
