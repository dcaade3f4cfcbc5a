// Spreadsheet bad input: rows with the wrong number of cells, sorting by a missing cell or
// key, widths below the minimum, and rows removed during a drag or a sort. Each gives one
// message and leaves the sheet consistent.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/log_recorder.h"

TEST_F(SpreadsheetTest, RowsWithTooFewOrTooManyCellsAreKeptWithOneWarning)
{
    GuiSpreadsheet& sheet = make_sheet(3);
    LogRecorder log;
    sheet.add_row(make_row(0, 2));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    CoreVector<GuiSpreadsheetRow*> rows;
    for (int i = 0; i < 5; ++i) rows.add(make_row(i + 1, 5));
    sheet.add_rows(rows);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << "one warning for the whole batch";
    pump_events(app());
    sheet.select_all();
    EXPECT_EQ(sheet.get_row_selection_mask(0), 0b011u) << "the missing cell";
    EXPECT_EQ(sheet.get_row_selection_mask(1), 0b111u) << "cells past the columns";
    click_cell(2, 0);  // nothing there
    EXPECT_EQ(sheet.get_row_selection_mask(0), 0b011u);
}

TEST_F(SpreadsheetTest, SortingByAMissingCellOrKeyChangesNothing)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    sheet.set_column_sort_type(1, 1);
    add_rows(3);
    sheet.add_row(make_row(3, 1));
    sheet.set_row_offset_index(0);
    LogRecorder log;
    sheet.set_sort_type(7);
    EXPECT_EQ(sheet.get_sort_type(), -1);
    sheet.set_column_sort_type(5, 7);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    sheet.set_sort_type(1);
    sheet.set_sort_order(-1);
    sheet.sorting_rows_by_selected_column();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
    for (int row = 0; row < 4; ++row) EXPECT_EQ(text(0, row), "r" + std::to_string(row) + "c0");
    sheet.set_sort_order(5);
    EXPECT_EQ(sheet.get_sort_order(), -1);
}

TEST_F(SpreadsheetTest, WidthsBelowTheMinimumAreRaisedAndNegativeOnesRefused)
{
    struct Row {
        int width, expected;
    };
    GuiSpreadsheet& sheet = make_sheet(0);
    sheet.add_column("Fixed", 100, true, true);
    int const minimum = sheet.get_minimum_column_width();
    Row const rows[] = {{minimum - 5, minimum}, {-10, minimum}, {60, 60}, {-1, 60}};
    for (Row const& row : rows) {
        LogRecorder log;
        sheet.set_column_width(0, row.width);
        EXPECT_EQ(sheet.get_column_width(0), row.expected) << row.width;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), row.width < minimum ? 1u : 0u) << row.width;
    }
    LogRecorder log;
    sheet.set_minimum_column_width(-3);
    EXPECT_EQ(sheet.get_minimum_column_width(), minimum);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
}

TEST_F(SpreadsheetTest, RemovingRowsDuringADragEndsTheDrag)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(6);
    sheet.set_multiselection_by_drag(true);
    send_pointer(sheet, FL_PUSH, cell_x(0), cell_y(3));
    drag_to(cell_x(1), cell_y(4));
    LogRecorder log;
    delete sheet.remove_row(3);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_FALSE(sheet.is_mouse_pressed());
    EXPECT_EQ(sheet.get_anchor_cell()[1], -1) << "the anchor row is gone";
    drag_to(cell_x(1), cell_y(0));  // no longer painting
    send_pointer(sheet, FL_RELEASE, cell_x(1), cell_y(0));
    EXPECT_EQ(sheet.get_selected_rows(), CoreVector<unsigned int>({3})) << "the old row 4 moved up";
    EXPECT_EQ(sheet.get_row_count(), 5u);
}

TEST_F(SpreadsheetTest, RemovingRowsDuringASortIsRefused)
{
    struct Cell : GuiSpreadsheetCellBasicText {
        using GuiSpreadsheetCellBasicText::GuiSpreadsheetCellBasicText;
        int compare(GuiSpreadsheetCell* other) const override
        {
            delete get_spreadsheet()->remove_row(0);  // refused: null
            get_spreadsheet()->remove_all_data();
            return GuiSpreadsheetCellBasicText::compare(other);
        }
    };
    GuiSpreadsheet& sheet = make_sheet(1);
    sheet.set_column_sort_type(0, 0);
    for (char const* key : {"b", "a", "c"}) {
        GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
        row->add_cell(new Cell(key));
        sheet.add_row(row);
    }
    LogRecorder log;
    sheet.set_sort_type(0);
    sheet.sorting_rows_by_selected_column();
    EXPECT_GE(log.count(CORE_LOG_LEVEL_ERROR), 2u);
    EXPECT_TRUE(log.contains("GuiSpreadsheet.remove_row: refused while the rows are being sorted"));
    ASSERT_EQ(sheet.get_row_count(), 3u);
    EXPECT_EQ(text(0, 0), "a");
    EXPECT_EQ(text(0, 2), "c");
}

TEST_F(SpreadsheetTest, TreeAndHighlightCallsOutOfRangeWarnOnceAndChangeNothing)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(3);
    sheet.set_tree_mode(true);
    LogRecorder log;
    sheet.set_tree_column_index(-1);
    sheet.set_highlighted_row(3, true);
    sheet.set_highlighted_row(-1, true);
    sheet.enable_column_highlight_text(2, true);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    sheet.toggle_show_children(7, false);  // no such row: nothing to do
    sheet.toggle_show_children(0, false);  // no children: nothing to collapse
    pump_events(app());
    EXPECT_EQ(sheet.get_tree_column_index(), 0);
    EXPECT_EQ(sheet.get_visible_row_count(), 3u);
    for (int row = 0; row < 3; ++row) EXPECT_FALSE(sheet.is_row_highlighted(row));
    EXPECT_EQ(log.count(), 4u) << log.dump();
}
