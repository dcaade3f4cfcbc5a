// Labels: activation by double click, the slow second click that opens the shared editor,
// and how an edit ends (commit, rename event, clicks on the label itself).
#include <gtest/gtest.h>

#include "gui/fields/gui_label.h"
#include "gui/fields/gui_line_edit.h"
#include "tests/gui_controls/controls_test_util.h"

namespace {

class LabelTest : public ControlsTest {
protected:
    GuiLabel& make_label(bool editable)
    {
        GuiLabel* label = new GuiLabel(window(), 20, 40, 120, 20, "camera1");
        label->set_editable(editable);
        shown(label);
        m_log.listen(*label, {&EVT_ID_LABEL_ACTIVATE, &EVT_ID_LABEL_EDIT, &EVT_ID_LABEL_RENAMED});
        return *label;
    }
    // Lets the click decision's timer run out.
    void wait_decision() { pump_events(app(), GuiLabel::CLICK_DECISION_DELAY + 0.1); }
    // Focuses an editable label and opens its editor with a slow second click.
    GuiLineEdit& start_edit(GuiLabel& label)
    {
        click(label, 50, 50);
        click(label, 50, 50);
        wait_decision();
        EXPECT_TRUE(label.is_editing());
        m_log.clear();
        return *GuiLabel::get_editor();
    }
};

}  // namespace

TEST_F(LabelTest, DoubleClickOnAPlainLabelOnlyActivates)
{
    GuiLabel& label = make_label(false);
    click(label, 50, 50);
    mouse_down(label, 50, 50, 1, 1);
    mouse_up(label, 50, 50);
    wait_decision();
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_LABEL_ACTIVATE"}));
    EXPECT_FALSE(label.has_focus());
}

TEST_F(LabelTest, QuickSecondClickActivatesAndSlowOneEdits)
{
    GuiLabel& label = make_label(true);
    click(label, 50, 50);
    EXPECT_TRUE(label.has_focus()) << "the first click only focuses";
    EXPECT_FALSE(GuiLabel::is_click_pending());

    click(label, 50, 50);
    mouse_down(label, 50, 50, 1, 1);
    mouse_up(label, 50, 50);
    EXPECT_TRUE(m_log.get().empty()) << "nothing before the decision";
    wait_decision();
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_LABEL_ACTIVATE"}));
    EXPECT_FALSE(label.is_editing());

    m_log.clear();
    click(label, 50, 50);
    wait_decision();
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_LABEL_EDIT"}));
    ASSERT_TRUE(label.is_editing());
    GuiLineEdit* editor = GuiLabel::get_editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->is_shown());
    EXPECT_EQ(editor->get_selected_text(), "camera1");
    EXPECT_EQ(editor->get_x(), label.get_x() + 1);
    EXPECT_EQ(editor->get_width(), label.get_width() - 2);
}

TEST_F(LabelTest, EndingAnEditRenamesOnlyWhenTheTextChanged)
{
    GuiLabel& label = make_label(true);
    GuiLineEdit& editor = start_edit(label);
    key_down(editor, FL_Enter);
    EXPECT_FALSE(label.is_editing());
    EXPECT_FALSE(editor.is_shown());
    EXPECT_TRUE(m_log.get().empty()) << "same text: no rename";

    GuiLineEdit& again = start_edit(label);
    EXPECT_EQ(&again, &editor) << "one editor for all labels";
    key_down(again, 'k', "k");
    key_down(again, FL_Enter);
    EXPECT_EQ(label.get_label(), "k");
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_LABEL_RENAMED"}));
}

TEST_F(LabelTest, ClickInsideKeepsTheEditorAndClickElsewhereCommits)
{
    GuiLabel& other = make_label(false);
    other.resize(20, 100, 120, 20);
    GuiLabel& label = make_label(true);
    GuiLineEdit& editor = start_edit(label);
    key_down(editor, 'x', "x");
    click(window(), 60, 50);
    EXPECT_TRUE(label.is_editing()) << "a press on the label itself";
    click(window(), 50, 110);  // on the other label, through the window
    EXPECT_FALSE(label.is_editing());
    EXPECT_EQ(label.get_label(), "x");
}
