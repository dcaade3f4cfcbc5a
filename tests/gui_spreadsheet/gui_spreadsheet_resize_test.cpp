// Spreadsheet column resizing by dragging title edges: alone, proportionally under Shift,
// against the minimum width, cancelled by Escape, and growing the sheet past its width.
#include "gui/controls/gui_scrollbar.h"
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"

namespace {

class ResizeTest : public SpreadsheetTest {
protected:
    // Presses the right edge of column `column`, drags by dx, and releases unless told not to.
    void drag_edge(int column, int dx, int modifiers = 0, bool release = true)
    {
        int const edge = m_sheet->get_cell_pos_x(column) + m_sheet->get_cell_width(column);
        send_pointer(*m_sheet, FL_PUSH, edge, title_y(), modifiers);
        drag_to(edge + dx, title_y(), modifiers);
        if (release) send_pointer(*m_sheet, FL_RELEASE, edge + dx, title_y(), modifiers);
    }
    std::vector<int> widths()
    {
        std::vector<int> result;
        for (int c = 0; c < m_sheet->get_column_count(); ++c) result.push_back(m_sheet->get_column_width(c));
        return result;
    }
};

}  // namespace

TEST_F(ResizeTest, DraggingAnEdgeMovesWidthToTheNextColumnAndStopsAtTheMinimum)
{
    struct Row {
        int dx;
        int change;  // of column 0 (-1000: down to the minimum); column 1 takes the opposite
    };
    Row const rows[] = {{30, 30}, {-30, -30}, {-1000, -1000}};
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_sheet(3);
        std::vector<int> const start = widths();
        int const change = row.change == -1000 ? sheet.get_minimum_column_width() - start[0] : row.change;
        drag_edge(0, row.dx);
        std::vector<int> const expected = {start[0] + change, start[1] - change, start[2]};
        EXPECT_EQ(widths(), expected) << row.dx;
        // The ratios follow, so the next layout keeps the widths.
        sheet.refresh_layout();
        EXPECT_EQ(widths(), expected) << row.dx;
        sheet.get_window()->destroy();
    }
}

TEST_F(ResizeTest, ShiftSharesTheChangeAmongTheColumnsUpToTheEdge)
{
    struct Row {
        int dx;
        std::vector<int> changes;  // of columns 0, 1, 2; column 3 gives back the sum
    };
    Row const rows[] = {{30, {10, 10, 10}}, {31, {11, 10, 10}}, {-32, {-11, -11, -10}}};
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_sheet(4, 600, 200);
        std::vector<int> const start = widths();
        drag_edge(2, row.dx, FL_SHIFT);
        std::vector<int> expected;
        for (int c = 0; c < 3; ++c) expected.push_back(start[static_cast<size_t>(c)] + row.changes[static_cast<size_t>(c)]);
        expected.push_back(start[3] - row.dx);
        EXPECT_EQ(widths(), expected) << row.dx;
        sheet.get_window()->destroy();
    }
}

TEST_F(ResizeTest, EscapeRestoresTheWidthsOfTheStart)
{
    GuiSpreadsheet& sheet = make_sheet(3);
    std::vector<int> const start = widths();
    drag_edge(1, 25, FL_SHIFT, false);
    ASSERT_TRUE(sheet.is_column_resizing());
    ASSERT_NE(widths(), start);
    sheet.set_focus();
    key_down(sheet, FL_Escape);
    EXPECT_FALSE(sheet.is_column_resizing());
    EXPECT_EQ(widths(), start);
}

TEST_F(ResizeTest, ColumnsWiderThanTheSheetScrollSideways)
{
    GuiSpreadsheet& sheet = make_sheet(0);
    sheet.add_column("A", 200, true, true);
    sheet.add_column("B", 150, true, true);
    pump_events(app());
    EXPECT_FALSE(sheet.get_horizontal_scrollbar()->is_shown());
    drag_edge(1, 100);  // the last column: nothing gives back
    EXPECT_EQ(sheet.get_column_width(1), 250);
    EXPECT_GT(sheet.get_horizontal_overflow(), 0);
    ASSERT_TRUE(sheet.get_horizontal_scrollbar()->is_shown());
    int const x = sheet.get_cell_pos_x(0);
    sheet.get_horizontal_scrollbar()->set_offset(40);
    EXPECT_EQ(sheet.get_cell_pos_x(0), x - sheet.get_horizontal_offset());
    EXPECT_GT(sheet.get_horizontal_offset(), 0);
}

TEST_F(ResizeTest, ADoubleClickOnAnEdgeFitsTheColumnToTheTextsOnScreen)
{
    GuiSpreadsheet& sheet = make_sheet(0);
    sheet.add_column("C0", 60, true, true);
    sheet.add_column("C1", 60, true, true);
    add_rows(40);
    int const body_rows = sheet.get_body_height() / sheet.get_row_pitch(0);
    // A long text below the last row on screen does not count until it is scrolled to.
    sheet.set_cell_content(sheet.get_cell(0, body_rows + 5), "a much longer text than the others");
    int const edge = sheet.get_cell_pos_x(0) + sheet.get_cell_width(0);
    send_pointer(sheet, FL_PUSH, edge, title_y(), 0, 1);
    send_pointer(sheet, FL_RELEASE, edge, title_y());
    int const fitted = sheet.get_column_width(0);
    int widest = 0;
    for (int row = 0; sheet.get_cell_pos_y(row) < sheet.get_body_y() + sheet.get_body_height(); ++row) {
        int tw = 0, th = 0;
        sheet.get_text_size(sheet.get_cell(0, row)->get_text(), tw, th);
        widest = std::max(widest, tw);
    }
    EXPECT_EQ(fitted, widest + 24);
    EXPECT_EQ(sheet.get_column_width(1), 60);
    sheet.set_row_offset_index(body_rows);
    sheet.autofit_column(1);
    EXPECT_GT(sheet.get_column_width(0), fitted);
}
