// Spreadsheet selection: clicks with Ctrl and Shift, painting by drag over cells and over the
// strips, the cursor's events, the 64-cell mask limit, and masks that cost only selected rows.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"

using Cells = std::vector<std::string>;

TEST_F(SpreadsheetTest, ClickSelectsTheCellAndMovesTheCursorWithItsEvents)
{
    GuiSpreadsheet& sheet = make_sheet(3);
    add_rows(5);
    std::vector<GuiSpreadsheetCell*> entered, left;
    auto on_enter = [](EventObject&, EventObject::EventInfo const& info, void* data) {
        static_cast<std::vector<GuiSpreadsheetCell*>*>(data)->push_back(static_cast<GuiSpreadsheetCell*>(info.get_event_data()));
    };
    EventObject::connect(sheet, EVT_ID_SPREADSHEET_CURSOR_ENTER_CELL, +on_enter, &entered);
    EventObject::connect(sheet, EVT_ID_SPREADSHEET_CURSOR_LEAVE_CELL, +on_enter, &left);
    m_log.listen(sheet, {&EVT_ID_SPREADSHEET_SELECTION_CHANGED, &EVT_ID_SPREADSHEET_CLICK});

    click_cell(1, 2);
    EXPECT_EQ(selection(), Cells({"1,2"}));
    int column = -1, row = -1;
    sheet.get_cursor_position(column, row);
    EXPECT_EQ(column, 1);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(m_log.get(), Names({EVT_ID_SPREADSHEET_SELECTION_CHANGED.std_string(), EVT_ID_SPREADSHEET_CLICK.std_string()}));
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0], sheet.get_cell(1, 2));
    EXPECT_TRUE(left.empty());

    click_cell(2, 3);
    EXPECT_EQ(selection(), Cells({"2,3"}));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], sheet.get_cell(1, 2));
    EXPECT_EQ(m_log.count(EVT_ID_SPREADSHEET_SELECTION_CHANGED), 2);
}

TEST_F(SpreadsheetTest, CtrlTogglesAndShiftSelectsTheRectangleFromTheAnchor)
{
    struct Press {
        int column, row, modifiers;
    };
    struct Row {
        char const* what;
        std::vector<Press> presses;
        Cells expected;
    };
    Row const rows[] = {
        {"ctrl adds", {{0, 0, 0}, {2, 1, FL_CTRL}}, {"0,0", "2,1"}},
        {"ctrl toggles off", {{0, 0, 0}, {2, 1, FL_CTRL}, {0, 0, FL_CTRL}}, {"2,1"}},
        {"shift rectangle", {{0, 1, 0}, {1, 3, FL_SHIFT}}, {"0,1", "1,1", "0,2", "1,2", "0,3", "1,3"}},
        {"shift again from the same anchor", {{2, 2, 0}, {2, 4, FL_SHIFT}, {1, 1, FL_SHIFT}}, {"1,1", "2,1", "1,2", "2,2"}},
        {"plain click replaces", {{0, 1, 0}, {1, 3, FL_SHIFT}, {2, 0, 0}}, {"2,0"}},
    };
    GuiSpreadsheet& sheet = make_sheet(3);
    add_rows(5);
    for (Row const& row : rows) {
        sheet.unselect_all();
        for (Press const& press : row.presses) click_cell(press.column, press.row, press.modifiers);
        EXPECT_EQ(selection(), row.expected) << row.what;
        // Ctrl presses keep the flag once set, so only the others tell.
        if (row.presses.back().modifiers != FL_CTRL) {
            EXPECT_EQ(sheet.is_multi_cell_selected(), row.expected.size() > 1) << row.what;
        }
    }
}

TEST_F(SpreadsheetTest, DragPaintsTheRectangleWhenMultiselectionByDragIsOn)
{
    GuiSpreadsheet& sheet = make_sheet(3);
    add_rows(6);
    sheet.set_multiselection_by_drag(true);
    send_pointer(sheet, FL_PUSH, cell_x(0), cell_y(1));
    drag_to(cell_x(2), cell_y(3));
    drag_to(cell_x(1), cell_y(2));  // shrinking the drag shrinks the rectangle
    send_pointer(sheet, FL_RELEASE, cell_x(1), cell_y(2));
    EXPECT_EQ(selection(), Cells({"0,1", "1,1", "0,2", "1,2"}));
    EXPECT_FALSE(sheet.is_mouse_pressed());
}

TEST_F(SpreadsheetTest, WithoutDragSelectionADragPastTheThresholdStartsAGestureOnce)
{
    struct Sheet : GuiSpreadsheet {
        using GuiSpreadsheet::GuiSpreadsheet;
        bool do_initiate_dnd_event() override
        {
            ++started;
            return true;
        }
        int started = 0;
    };
    GuiWindow& window = make_window(400, 300);
    Sheet* sheet = new Sheet(window, 0, 0, 400, 300);
    m_sheet = sheet;
    sheet->add_column("A");
    sheet->show();
    add_rows(5);
    send_pointer(*sheet, FL_PUSH, cell_x(0), cell_y(1));
    drag_to(cell_x(0) + GuiSpreadsheet::DRAG_THRESHOLD - 1, cell_y(1) + GuiSpreadsheet::DRAG_THRESHOLD - 1);
    EXPECT_EQ(sheet->started, 0);
    drag_to(cell_x(0) + GuiSpreadsheet::DRAG_THRESHOLD, cell_y(1));
    drag_to(cell_x(0) + 40, cell_y(2));
    EXPECT_EQ(sheet->started, 1);
    send_pointer(*sheet, FL_RELEASE, cell_x(0) + 40, cell_y(2));
    EXPECT_EQ(selection(), Cells({"0,1"}));
}

TEST_F(SpreadsheetTest, StripsSelectWholeRowsAndColumnsAndPaintByDrag)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(6);
    int const strip_x = 5;
    send_pointer(sheet, FL_PUSH, strip_x, cell_y(1));
    drag_to(strip_x, cell_y(3));
    send_pointer(sheet, FL_RELEASE, strip_x, cell_y(3));
    EXPECT_EQ(sheet.get_selected_rows(), CoreVector<unsigned int>({1, 2, 3}));
    EXPECT_EQ(sheet.get_row_selection_mask(2), 0b11u);

    // Ctrl on a selected row paints it off.
    send_pointer(sheet, FL_PUSH, strip_x, cell_y(2), FL_CTRL);
    send_pointer(sheet, FL_RELEASE, strip_x, cell_y(2), FL_CTRL);
    EXPECT_EQ(sheet.get_selected_rows(), CoreVector<unsigned int>({1, 3}));

    send_pointer(sheet, FL_PUSH, cell_x(1), title_y());
    send_pointer(sheet, FL_RELEASE, cell_x(1), title_y());
    EXPECT_EQ(sheet.get_selected_cells().get_count(), 6u);
    for (unsigned int row = 0; row < 6; ++row) EXPECT_EQ(sheet.get_row_selection_mask(static_cast<int>(row)), 0b10u);

    send_pointer(sheet, FL_PUSH, strip_x, title_y());  // the corner
    send_pointer(sheet, FL_RELEASE, strip_x, title_y());
    EXPECT_EQ(sheet.get_selected_cells().get_count(), 12u);
}

TEST_F(SpreadsheetTest, CellsFromIndex64AreNeverSelected)
{
    GuiSpreadsheet& sheet = make_sheet(70, 400, 200);
    add_rows(3);
    sheet.select_all();
    EXPECT_EQ(sheet.get_selected_cells().get_count(), 3u * 64u);
    EXPECT_FALSE(sheet.is_cell_selected(64, 0));
    sheet.unselect_all();
    sheet.set_anchor_cell(60, 0);
    sheet.do_multiselection(69, 1);
    EXPECT_EQ(sheet.get_selected_cells().get_count(), 2u * 4u);
    EXPECT_FALSE(sheet.is_cell_selected(65, 1));
}

TEST_F(SpreadsheetTest, OrderedSelectionFollowsWhenRowsGainedTheirFirstCell)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(6);
    click_cell(0, 4);
    click_cell(1, 1, FL_CTRL);
    click_cell(0, 3, FL_CTRL);
    EXPECT_EQ(sheet.get_ordered_row_selection(), CoreVector<unsigned int>({4, 1, 3}));
    EXPECT_EQ(sheet.get_selected_rows(), CoreVector<unsigned int>({1, 3, 4}));
    delete sheet.remove_row(1);  // later rows move up with their masks
    EXPECT_EQ(selection(), Cells({"0,2", "0,3"}));
}

TEST_F(SpreadsheetTest, SelectionMasksCostOnlySelectedRows)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(100000);
    size_t const none = sheet.get_memory_size();
    sheet.set_selection_rows({10, 20, 30}, true, true);
    size_t const three = sheet.get_memory_size();
    EXPECT_LT(three - none, 1024u);
    sheet.select_all();
    EXPECT_GT(sheet.get_memory_size() - none, 100000u * sizeof(uint64_t));
    sheet.unselect_all();
    EXPECT_EQ(sheet.get_selected_rows().get_count(), 0u);
}

TEST_F(SpreadsheetTest, InPreselectionModeThePressMarksAndTheReleaseSelects)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(4);
    sheet.set_preselection(true);
    click_cell(0, 0);
    m_log.listen(sheet, {&EVT_ID_SPREADSHEET_SELECTION_CHANGED});
    send_pointer(sheet, FL_PUSH, cell_x(1), cell_y(2));
    EXPECT_EQ(sheet.get_preselection_column(), 1);
    EXPECT_EQ(sheet.get_preselection_row(), 2);
    EXPECT_EQ(selection(), Cells({"0,0"}));
    send_pointer(sheet, FL_RELEASE, cell_x(1), cell_y(2));
    EXPECT_EQ(selection(), Cells({"1,2"}));
    EXPECT_EQ(m_log.count(EVT_ID_SPREADSHEET_SELECTION_CHANGED), 1);
    EXPECT_EQ(sheet.get_preselection_row(), -1);
}
