// Spreadsheet keyboard: cursor navigation with Shift ranges, pages, Escape, Ctrl+A, the tree's
// Left and Right, and type-ahead by first letter.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

using Cells = std::vector<std::string>;

struct KeyStep {
    int key;
    int modifiers;
    int column, row;  // the cursor after the key
    Cells selection;
};

class KeysTest : public SpreadsheetTest {
protected:
    void press(int key, int modifiers = 0)
    {
        m_sheet->set_focus();
        key_down(*m_sheet, key, key < 128 ? std::string(1, static_cast<char>(key)) : std::string(), modifiers);
    }
    void run(char const* what, std::vector<KeyStep> const& steps)
    {
        for (size_t i = 0; i < steps.size(); ++i) {
            KeyStep const& step = steps[i];
            press(step.key, step.modifiers);
            int column = -2, row = -2;
            m_sheet->get_cursor_position(column, row);
            EXPECT_EQ(column, step.column) << what << ", step " << i;
            EXPECT_EQ(row, step.row) << what << ", step " << i;
            EXPECT_EQ(selection(), step.selection) << what << ", step " << i;
        }
    }
    // A sheet whose body shows exactly `rows` rows.
    void fit_body_to(int rows)
    {
        int const extra = m_sheet->get_height() - m_sheet->get_body_height();
        m_sheet->resize(0, 0, m_sheet->get_width(), extra + rows * m_sheet->get_row_pitch(0));
        pump_events(app());
    }
};

}  // namespace

TEST_F(KeysTest, ArrowsHomeEndAndShiftRangesMoveTheCursor)
{
    make_sheet(3);
    add_rows(5);
    run("arrows", {
                      {FL_Down, 0, 0, 0, {"0,0"}},
                      {FL_Up, 0, 0, 0, {"0,0"}},  // no row above
                      {FL_Right, 0, 1, 0, {"1,0"}},
                      {FL_Right, 0, 2, 0, {"2,0"}},
                      {FL_Right, 0, 2, 0, {"2,0"}},  // the last column
                      {FL_Down, 0, 2, 1, {"2,1"}},
                      {FL_End, 0, 2, 4, {"2,4"}},
                      {FL_Down, 0, 2, 4, {"2,4"}},  // the last row
                      {FL_Home, 0, 2, 0, {"2,0"}},
                      {FL_Left, 0, 1, 0, {"1,0"}},
                  });
    run("shift ranges", {
                            {FL_Down, FL_SHIFT, 1, 1, {"1,0", "1,1"}},
                            {FL_Left, FL_SHIFT, 0, 1, {"0,0", "1,0", "0,1", "1,1"}},
                            {FL_Up, FL_SHIFT, 0, 0, {"0,0", "1,0"}},  // shrinks back to the anchor row
                            {FL_Down, 0, 0, 1, {"0,1"}},              // a plain key drops the range
                        });
    run("escape and back", {
                               {FL_Escape, 0, -1, -1, {}},
                               {FL_Right, 0, 0, 0, {"0,0"}},  // from nowhere, negative becomes 0
                           });
}

TEST_F(KeysTest, PageKeysMoveByTheRowsThatFitTheBody)
{
    GuiSpreadsheet& sheet = make_sheet(1);
    add_rows(100);
    fit_body_to(8);
    run("pages", {
                     {FL_Page_Down, 0, 0, 7, {"0,7"}},
                     {FL_Page_Down, 0, 0, 14, {"0,14"}},
                     {FL_Page_Up, 0, 0, 7, {"0,7"}},
                     {FL_End, 0, 0, 99, {"0,99"}},
                     {FL_Page_Down, 0, 0, 99, {"0,99"}},
                     {FL_Page_Up, 0, 0, 92, {"0,92"}},
                 });
    // The cursor row is scrolled into view.
    EXPECT_LE(sheet.get_row_offset_index(), 92);
    EXPECT_GE(sheet.get_row_offset_index() + 7, 92);
}

TEST_F(KeysTest, CtrlASelectsAllOnlyWithMultiSelection)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(3);
    sheet.set_multi_selection(false);
    press('a', FL_CTRL);
    EXPECT_TRUE(selection().empty());
    sheet.set_multi_selection(true);
    press('a', FL_CTRL);
    EXPECT_EQ(selection().size(), 6u);
}

TEST_F(KeysTest, LeftAndRightWalkTheTreeOfAOneColumnSheet)
{
    GuiSpreadsheet& sheet = make_sheet(1);
    sheet.set_tree_mode(true);
    CoreVector<GuiSpreadsheetRow*> rows;
    for (int r = 0; r < 4; ++r) rows.add(make_row(r, 1));
    rows[0]->set_children_count(2);  // rows 1 and 2; row 3 is a second top-level row
    sheet.add_rows(rows);
    sheet.expand_all(true);
    pump_events(app());
    sheet.set_cursor_position(0, 0);
    press(FL_Left);
    EXPECT_FALSE(sheet.get_row(0)->is_show_children()) << "left collapses";
    run("collapsed", {{FL_Down, 0, 0, 3, {"0,3"}}, {FL_Up, 0, 0, 0, {"0,0"}}});
    press(FL_Right);
    EXPECT_TRUE(sheet.get_row(0)->is_show_children()) << "right expands";
    run("expanded", {{FL_Down, 0, 0, 1, {"0,1"}}, {FL_Down, 0, 0, 2, {"0,2"}}, {FL_Left, 0, 0, 0, {"0,0"}}});
}

TEST_F(KeysTest, TypeAheadFindsTheFirstRowByLetterAndGoesOnAfterASelection)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    char const* names[] = {"apple", "Banana", "avocado", "cherry", "berry"};
    for (char const* name : names) {
        GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
        row->add_cell(new GuiSpreadsheetCellBasicText("x"));
        row->add_cell(new GuiSpreadsheetCellBasicText(name));
        sheet.add_row(row);
    }
    pump_events(app());
    sheet.set_key_focus_column_index(1);
    press('b');
    EXPECT_EQ(selection(), Cells()) << "off by default";
    sheet.set_enable_focus_by_key(true);
    run("letters", {
                       {'b', 0, 0, 1, {"0,1"}},  // case does not matter
                       {'a', 0, 0, 0, {"0,0"}},
                       {'a', 0, 0, 0, {"0,0"}},  // one cell selected: the first match again
                       {'z', 0, 0, 0, {"0,0"}},  // no match: nothing moves
                   });
    sheet.set_selection_rows(CoreVector<unsigned int>({0, 1}), true, true);
    run("after the selection", {{'a', 0, 0, 2, {"0,2"}}});
    sheet.set_selection_rows(CoreVector<unsigned int>({3, 4}), true, true);
    run("wrapping", {{'a', 0, 0, 0, {"0,0"}}});
}
