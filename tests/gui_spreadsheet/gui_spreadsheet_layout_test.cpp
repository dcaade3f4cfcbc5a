// Spreadsheet layout: the strips' and rows' sizes, how columns share the width, scrollbars,
// hit testing, drawing only what is on screen, and scrolling the cursor into view.
#include <set>

#include "gui/controls/gui_scrollbar.h"
#include "gui/panels/gui_toolbar.h"
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/gui_pixels.h"

TEST_F(SpreadsheetTest, FreshSheetHasOnlyTheRowHeaderEntryAndDefaultSizes)
{
    GuiSpreadsheet& sheet = make_sheet(0);
    EXPECT_EQ(sheet.get_columns().get_count(), 1u);
    EXPECT_EQ(sheet.get_column_count(), 0);
    EXPECT_EQ(sheet.get_header_row_width(), 30);
    EXPECT_EQ(sheet.get_header_column_height(), 20);
    EXPECT_EQ(sheet.get_row_total_height(), 18 + 2 * 2 + 1);
    EXPECT_EQ(sheet.get_row_pitch(0), 18 + 2 * 2 + 1);
    sheet.set_show_header_row(false);
    sheet.set_show_header_column(false);
    EXPECT_EQ(sheet.get_header_row_width(), -1);
    EXPECT_EQ(sheet.get_header_column_height(), -1);
}

TEST_F(SpreadsheetTest, ColumnsShareTheFreeWidthByRatioAboveTheMinimum)
{
    struct Row {
        int sheet_width;
        double ratio_a, ratio_b;
        int fixed;  // width of a fixed column added first; 0 for none
        int expected_a, expected_b;
    };
    // The free width is the sheet less 2, a grid line per entry, the 30-pixel row-number strip
    // and the fixed column; a pixel left by truncation goes to the first column.
    Row const rows[] = {
        {400, 1, 1, 0, 183, 182},
        {400, 1, 3, 100, 66, 198},
        {100, 1, 1, 0, 33, 32},
        {70, 1, 1, 0, 20, 20},  // 18 and 17: raised to the minimum column width
    };
    for (Row const& row : rows) {
        SCOPED_TRACE(row.sheet_width);
        GuiSpreadsheet& sheet = make_sheet(0, row.sheet_width, 200);
        if (row.fixed) sheet.add_column("F", row.fixed, true, true);
        sheet.add_column("A", row.ratio_a, true, true);
        sheet.add_column("B", row.ratio_b, true, true);
        pump_events(app());
        int const first = row.fixed ? 1 : 0;
        EXPECT_EQ(sheet.get_column_width(first), row.expected_a);
        EXPECT_EQ(sheet.get_column_width(first + 1), row.expected_b);
        if (row.fixed) {
            EXPECT_EQ(sheet.get_column_width(0), row.fixed);
        }
        sheet.get_window()->destroy();
    }
}

TEST_F(SpreadsheetTest, RowNumberStripWidensForLongNumbersAndScrollbarAppearsWithContent)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(5);
    EXPECT_FALSE(sheet.get_vertical_scrollbar()->is_shown());
    add_rows(99995);
    int tw = 0, th = 0;
    sheet.get_text_size("100000", tw, th);
    EXPECT_EQ(sheet.get_header_row_width(), std::max(30, tw + 10));
    ASSERT_TRUE(sheet.get_vertical_scrollbar()->is_shown());
    EXPECT_EQ(sheet.get_vertical_scrollbar()->get_range(), 100000u * static_cast<unsigned int>(sheet.get_row_pitch(0)));
    // The body starts under the toolbar and the title strip.
    EXPECT_EQ(sheet.get_body_y(), sheet.get_toolbar()->get_height() + 20);
}

TEST_F(SpreadsheetTest, HitTestingFindsEntriesRowsAndSkipsHiddenColumns)
{
    GuiSpreadsheet& sheet = make_sheet(3);
    add_rows(4);
    int const pitch = sheet.get_row_pitch(0);
    EXPECT_EQ(sheet.get_entry_at(5), 0);
    EXPECT_EQ(sheet.get_entry_at(cell_x(1)), 2);
    EXPECT_EQ(sheet.get_row_at(sheet.get_body_y()), 0);
    EXPECT_EQ(sheet.get_row_at(sheet.get_body_y() + 2 * pitch + 1), 2);
    EXPECT_EQ(sheet.get_row_at(sheet.get_body_y() - 1), -1) << "the title strip";
    EXPECT_EQ(sheet.get_row_at(sheet.get_body_y() + 4 * pitch + 1), -1) << "below the last row";
    bool after = false;
    sheet.get_row_at(sheet.get_body_y() + pitch - 2, &after);
    EXPECT_TRUE(after);

    int const second_x = sheet.get_cell_pos_x(2);
    sheet.set_column_hidden(1, true);
    pump_events(app());
    EXPECT_EQ(sheet.get_cell_width(1), 0);
    EXPECT_EQ(sheet.get_entry_at(sheet.get_cell_pos_x(1)), 3) << "the hidden column takes no room";
    EXPECT_LT(sheet.get_cell_pos_x(2), second_x);
    sheet.select_all();
    EXPECT_EQ(sheet.get_row_selection_mask(0), 0b101u) << "hidden cells are not selected";
}

TEST_F(SpreadsheetTest, DrawsOnlyTheRowsOnScreen)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(100000);
    std::set<int> drawn;
    auto record = [](GuiSpreadsheetRow&, int const& index, void* data) { static_cast<std::set<int>*>(data)->insert(index); };
    for (unsigned int row = 0; row < sheet.get_row_count(); ++row) sheet.get_row(row)->set_pre_draw_callback(record, &drawn);
    sheet.set_row_offset_index(50000);
    sheet.redraw();
    pump_events(app());
    int const pitch = sheet.get_row_pitch(0);
    int const on_screen = (sheet.get_body_height() + pitch - 1) / pitch;
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(*drawn.begin(), 50000);
    EXPECT_EQ(static_cast<int>(drawn.size()), on_screen);
}

TEST_F(SpreadsheetTest, SelectedCellsAreDrawnInTheSelectionColour)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(3);
    sheet.set_focus();
    click_cell(1, 1);
    pump_events(app());
    GuiWindow& window = *static_cast<GuiWindow*>(sheet.get_window());
    // Left of the text: the padding of the cell.
    GMathVec3<unsigned char> const selected = pixel_at(window, sheet.get_cell_pos_x(1) + 2, cell_y(1));
    GMathVec3<unsigned char> const plain = pixel_at(window, sheet.get_cell_pos_x(1) + 2, cell_y(2));
    EXPECT_EQ(selected, sheet.get_color(GuiColorScheme::ROLE_SELECTION));
    EXPECT_NE(plain, selected);
}

TEST_F(SpreadsheetTest, TheCursorRowIsScrolledIntoView)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(200);
    int const pitch = sheet.get_row_pitch(0);
    int const body = sheet.get_body_height();
    sheet.set_cursor_position(0, 50);
    // Row 50 becomes the last row shown: its bottom within a body height of the first row's top.
    int const first = (51 * pitch - body + pitch - 1) / pitch;
    EXPECT_EQ(sheet.get_row_offset_index(), first);
    sheet.set_cursor_position(0, 10);
    EXPECT_EQ(sheet.get_row_offset_index(), 10) << "a row above becomes the first row";
    sheet.set_cursor_position(0, 199);
    EXPECT_EQ(sheet.get_row_offset_index(), sheet.get_max_row_offset_index());
}

TEST_F(SpreadsheetTest, WheelScrollsThreeRowsWhateverTheStepAndStopsAtTheLastPage)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(40);
    for (int step : {1, 5}) {
        sheet.set_row_offset_index(0);
        wheel(sheet, 0, step);
        EXPECT_EQ(sheet.get_row_offset_index(), 3) << step;
    }
    for (int i = 0; i < 20; ++i) wheel(sheet, 0, 1);
    EXPECT_EQ(sheet.get_row_offset_index(), sheet.get_max_row_offset_index());
    int const pitch = sheet.get_row_pitch(0);
    EXPECT_LE(40 * pitch - sheet.get_row_offset_index() * pitch, sheet.get_body_height()) << "the last row shows whole";
    wheel(sheet, 0, -1);
    EXPECT_EQ(sheet.get_row_offset_index(), sheet.get_max_row_offset_index() - 3);
}

TEST_F(SpreadsheetTest, ScrollbarOffsetMapsToTheFirstRowShown)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(100);
    GuiScrollbar& bar = *sheet.get_vertical_scrollbar();
    double const pitch = sheet.get_row_pitch(0);
    // The first row shown is scrolled out by at most a tenth of its pitch, or it is the next one.
    for (int value = 0; value <= bar.get_travel(); ++value) {
        bar.set_value(static_cast<unsigned int>(value));
        int const first = sheet.get_row_offset_index();
        EXPECT_LE((first - 0.9) * pitch, bar.get_offset()) << value;
        EXPECT_GT((first + 0.1) * pitch, bar.get_offset()) << value;
    }
    EXPECT_EQ(sheet.get_row_offset_index(), sheet.get_max_row_offset_index());
}

TEST_F(SpreadsheetTest, CustomRowHeightsPlaceAndHitRows)
{
    GuiSpreadsheet& sheet = make_sheet(1);
    add_rows(30);
    sheet.enable_custom_height_by_row(true);
    sheet.get_row(1)->set_height(40);
    sheet.refresh_rows_visibility();
    pump_events(app());
    int const pad = 2 * sheet.get_padding_y() + 1;
    EXPECT_EQ(sheet.get_row_y_position(2), static_cast<unsigned int>(18 + pad + 40 + pad));
    EXPECT_EQ(sheet.get_row_at(sheet.get_body_y() + 18 + pad + 39), 1);
    EXPECT_EQ(sheet.get_content_height(), static_cast<unsigned int>(29 * (18 + pad) + 40 + pad));
}
