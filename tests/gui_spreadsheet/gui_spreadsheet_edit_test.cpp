// Spreadsheet in-place editing: the double click that opens the line edit, the ways an edit
// ends (committing or not), the refusals, the wheel held while editing, and rows removed
// under an open editor.
#include "gui/fields/gui_line_edit.h"
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

using Names = std::vector<std::string>;

class EditTest : public SpreadsheetTest {
protected:
    // Three columns of editable text cells.
    GuiSpreadsheet& make_editable_sheet(int rows)
    {
        GuiSpreadsheet& sheet = make_sheet(3);
        add_rows(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 3; ++c) static_cast<GuiSpreadsheetCellBasicText*>(sheet.get_cell(c, r))->set_is_text_editable(true);
        m_log.listen(sheet, {&EVT_ID_SPREADSHEET_CELL_UPDATED, &EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN});
        return sheet;
    }
    void double_click_cell(int column, int row)
    {
        click_cell(column, row);
        send_pointer(*m_sheet, FL_PUSH, cell_x(column), cell_y(row), 0, 1);
        send_pointer(*m_sheet, FL_RELEASE, cell_x(column), cell_y(row));
    }
    void type(std::string const& text)
    {
        for (char c : text) key_down(*m_sheet->get_cell_line_edit(), c, std::string(1, c));
    }
};

}  // namespace

TEST_F(EditTest, DoubleClickOpensTheLineEditOverAnEditableCellWithItsTextSelected)
{
    GuiSpreadsheet& sheet = make_editable_sheet(3);
    static_cast<GuiSpreadsheetCellBasicText*>(sheet.get_cell(0, 0))->set_is_text_editable(false);
    double_click_cell(0, 0);
    EXPECT_EQ(sheet.get_cell_line_edit(), nullptr) << "not editable";
    double_click_cell(1, 2);
    GuiLineEdit* edit = sheet.get_cell_line_edit();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(sheet.is_editing());
    EXPECT_TRUE(GuiSpreadsheet::is_cell_edited(sheet.get_cell(1, 2)));
    EXPECT_EQ(edit->get_text().std_string(), "r2c1");
    EXPECT_TRUE(edit->has_focus());
    EXPECT_TRUE(edit->has_selection());
    EXPECT_EQ(edit->get_x(), sheet.get_cell_pos_x(1) - 1);
    EXPECT_EQ(edit->get_width(), sheet.get_cell_width(1) + 2);
    EXPECT_GE(edit->get_y(), sheet.get_cell_pos_y(2) - 1);
    EXPECT_LE(edit->get_y() + edit->get_height(), sheet.get_cell_pos_y(2) + sheet.get_row_pitch(2));
}

TEST_F(EditTest, EachWayOfEndingCommitsOrDropsTheText)
{
    enum End { RETURN, RETURN_UNCHANGED, ESCAPE, TAB, FOCUS_OUT, OUTSIDE_PRESS, INSIDE_PRESS_THEN_RETURN };
    struct Row {
        char const* what;
        End end;
        char const* text;  // the cell's text afterwards
        Names events;
    };
    std::string const updated = EVT_ID_SPREADSHEET_CELL_UPDATED.std_string();
    std::string const hidden = EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN.std_string();
    Row const rows[] = {
        {"return commits", RETURN, "new", {updated, hidden}},
        {"return on the same text", RETURN_UNCHANGED, "r1c1", {hidden}},
        {"escape drops", ESCAPE, "r1c1", {hidden}},
        {"tab drops", TAB, "r1c1", {hidden}},
        {"leaving the edit commits", FOCUS_OUT, "new", {updated, hidden}},
        {"a press outside commits", OUTSIDE_PRESS, "new", {updated, hidden}},
        {"a press inside keeps editing", INSIDE_PRESS_THEN_RETURN, "new", {updated, hidden}},
    };
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_editable_sheet(3);
        sheet.set_cursor_position(1, 1);
        sheet.start_edit_cell_content();
        GuiLineEdit* edit = sheet.get_cell_line_edit();
        ASSERT_NE(edit, nullptr) << row.what;
        pump_events(app());  // the outside-press listener takes effect
        if (row.end != RETURN_UNCHANGED) type("new");
        switch (row.end) {
            case RETURN:
            case RETURN_UNCHANGED: key_down(*edit, FL_Enter); break;
            case ESCAPE: key_down(*edit, FL_Escape); break;
            case TAB: key_down(*edit, FL_Tab); break;
            case FOCUS_OUT: sheet.set_focus(); break;
            case OUTSIDE_PRESS: click_cell(0, 2); break;
            case INSIDE_PRESS_THEN_RETURN:
                mouse_down(*edit, edit->get_x() + 5, edit->get_y() + 3);
                mouse_up(*edit, edit->get_x() + 5, edit->get_y() + 3);
                EXPECT_TRUE(sheet.is_editing()) << row.what;
                key_down(*edit, FL_Enter);
                break;
        }
        EXPECT_EQ(text(1, 1), row.text) << row.what;
        EXPECT_EQ(m_log.get(), row.events) << row.what;
        EXPECT_EQ(sheet.get_cell_line_edit(), nullptr) << row.what;
        EXPECT_FALSE(sheet.is_editing()) << row.what;
        EXPECT_FALSE(GuiSpreadsheet::is_cell_edited(sheet.get_cell(1, 1))) << row.what;
        EXPECT_TRUE(sheet.has_focus()) << row.what;
        pump_events(app());
        m_log.clear();
        delete m_sheet;
        pump_events(app());
    }
}

TEST_F(EditTest, LockedDisabledAndReadOnlyCellsAreRefusedWithAWarning)
{
    struct Row {
        char const* what;
        void (*setup)(GuiSpreadsheet&);
    };
    Row const rows[] = {
        {"locked", [](GuiSpreadsheet& sheet) { sheet.get_cell(0, 0)->set_is_locked(true); }},
        {"disabled", [](GuiSpreadsheet& sheet) { sheet.get_cell(0, 0)->set_enable(false); }},
        {"read-only sheet", [](GuiSpreadsheet& sheet) { sheet.set_read_only(true); }},
        {"no cursor", [](GuiSpreadsheet& sheet) { sheet.set_cursor_position(-1, -1); }},
    };
    GuiSpreadsheet& sheet = make_editable_sheet(2);
    for (Row const& row : rows) {
        sheet.set_cursor_position(0, 0);
        row.setup(sheet);
        LogRecorder log;
        sheet.start_edit_cell_content();
        EXPECT_EQ(sheet.get_cell_line_edit(), nullptr) << row.what;
        EXPECT_FALSE(sheet.is_editing()) << row.what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << row.what << log.dump();
        sheet.get_cell(0, 0)->set_is_locked(false);
        sheet.get_cell(0, 0)->set_enable(true);
        sheet.set_read_only(false);
    }
    sheet.set_cursor_position(0, 0);
    sheet.start_edit_cell_content();
    GuiLineEdit* first = sheet.get_cell_line_edit();
    sheet.set_cursor_position(1, 1);
    sheet.start_edit_cell_content();
    EXPECT_EQ(sheet.get_cell_line_edit(), first) << "one editor at a time";
}

TEST_F(EditTest, TheWheelDoesNotScrollWhileEditing)
{
    GuiSpreadsheet& sheet = make_editable_sheet(40);
    sheet.set_cursor_position(0, 0);
    sheet.start_edit_cell_content();
    wheel(sheet, 0, 1);
    EXPECT_EQ(sheet.get_row_offset_index(), 0);
    key_down(*sheet.get_cell_line_edit(), FL_Escape);
    wheel(sheet, 0, 1);
    EXPECT_EQ(sheet.get_row_offset_index(), 3);
}

TEST_F(EditTest, RemovingTheEditedRowEndsTheEditUnsavedWithOneWarning)
{
    for (bool all : {false, true}) {
        GuiSpreadsheet& sheet = make_editable_sheet(3);
        sheet.set_cursor_position(1, 1);
        sheet.start_edit_cell_content();
        type("lost");
        LogRecorder log;
        if (all) {
            sheet.remove_all_data();
        } else {
            delete sheet.remove_row(0);  // another row: the edit goes on
            EXPECT_TRUE(sheet.is_editing());
            delete sheet.remove_row(0);
        }
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
        EXPECT_EQ(sheet.get_cell_line_edit(), nullptr);
        EXPECT_FALSE(sheet.is_editing());
        EXPECT_EQ(m_log.get(), Names({EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN.std_string()}));
        pump_events(app());
        m_log.clear();
        delete m_sheet;
        pump_events(app());
    }
}

TEST_F(EditTest, TheValueEditShowsTheCursorCellAndSetsTheSelectedOnes)
{
    GuiSpreadsheet& sheet = make_editable_sheet(3);
    static_cast<GuiSpreadsheetCellBasicText*>(sheet.get_cell(2, 2))->set_is_text_editable(false);
    GuiLineEdit& value = *sheet.get_input_value_edit();
    EXPECT_FALSE(value.is_enabled()) << "no cursor cell: nothing to edit";
    click_cell(1, 0);
    EXPECT_EQ(value.get_text(), "r0c1");
    EXPECT_TRUE(value.is_enabled());
    int column = -1, row = -1;
    sheet.get_input_value_position(column, row);
    EXPECT_EQ(GMathVec2<int>(column, row), GMathVec2<int>(1, 0));

    // Entered with two editable cells and one fixed cell selected: the editable ones take it.
    click_cell(1, 1, FL_CTRL);
    click_cell(2, 2, FL_CTRL);
    EXPECT_EQ(value.get_text(), "r2c2");
    EXPECT_FALSE(value.is_enabled()) << "the cursor cell is not editable";
    sheet.set_input_value_edit("new", sheet.get_cell(1, 0), 1, 0);
    value.on_changed();
    EXPECT_EQ(sheet.get_cell(1, 0)->get_text(), "new");
    EXPECT_EQ(sheet.get_cell(1, 1)->get_text(), "new");
    EXPECT_EQ(sheet.get_cell(2, 2)->get_text(), "r2c2");

    // A read-only sheet keeps the texts of the columns that can be read-only.
    sheet.set_read_only(true);
    sheet.set_input_value_edit("kept", sheet.get_cell(1, 0), 1, 0);
    EXPECT_TRUE(value.is_read_only());
    value.on_changed();
    EXPECT_EQ(sheet.get_cell(1, 0)->get_text(), "new");
}
