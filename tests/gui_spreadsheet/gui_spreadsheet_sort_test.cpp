// Spreadsheet sorting: the header click cycle, stable ascending and descending orders through
// the cells' compare, and the selection and cursor staying on their rows.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"

namespace {

class SortTest : public SpreadsheetTest {
protected:
    // Column 0 holds the keys (sort key 0), column 1 the original row number (sort key 1).
    GuiSpreadsheet& make_keyed(std::vector<std::string> const& keys, bool natural = false)
    {
        GuiSpreadsheet& sheet = make_sheet(2);
        sheet.set_column_sort_type(0, 0);
        sheet.set_column_sort_type(1, 1);
        for (size_t i = 0; i < keys.size(); ++i) {
            GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
            row->add_cell(natural ? new GuiSpreadsheetCellNaturalText(keys[i].c_str())
                                  : new GuiSpreadsheetCellBasicText(keys[i].c_str()));
            row->add_cell(new GuiSpreadsheetCellBasicText(std::to_string(i).c_str()));
            sheet.add_row(row);
        }
        pump_events(app());
        return sheet;
    }
    std::vector<std::string> column(int c)
    {
        std::vector<std::string> texts;
        for (unsigned int row = 0; row < m_sheet->get_row_count(); ++row) texts.push_back(text(c, static_cast<int>(row)));
        return texts;
    }
    void sort(int key, int order)
    {
        while (m_sheet->get_sort_type() != key || m_sheet->get_sort_order() != order) m_sheet->set_sort_type(key);
        m_sheet->sorting_rows_by_selected_column();
    }
};

}  // namespace

TEST_F(SortTest, HeaderClicksCycleAscendingDescendingUnsorted)
{
    GuiSpreadsheet& sheet = make_keyed({"b", "a"});
    sheet.add_column("Unsortable");
    sheet.enable_column_sort(true);
    pump_events(app());
    m_log.listen(sheet, {&EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED});
    std::vector<int> orders;
    for (int i = 0; i < 4; ++i) {
        send_pointer(sheet, FL_PUSH, cell_x(0), title_y());
        send_pointer(sheet, FL_RELEASE, cell_x(0), title_y());
        orders.push_back(sheet.get_sort_order());
        EXPECT_EQ(sheet.get_sort_indicator(1), sheet.get_sort_order());
        EXPECT_EQ(sheet.get_sort_indicator(2), 0);
    }
    EXPECT_EQ(orders, std::vector<int>({1, -1, 0, 1}));
    EXPECT_EQ(m_log.count(EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED), 4);
    send_pointer(sheet, FL_PUSH, cell_x(2), title_y());
    send_pointer(sheet, FL_RELEASE, cell_x(2), title_y());
    EXPECT_EQ(sheet.get_sort_type(), 0) << "a column without a key changes nothing";
    EXPECT_EQ(m_log.count(EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED), 4);
    EXPECT_TRUE(sheet.get_selected_rows().is_empty()) << "a sorting click selects nothing";
}

TEST_F(SortTest, SortIsStableInBothDirections)
{
    make_keyed({"b", "a", "b", "c", "a", "b"});
    sort(0, 1);
    EXPECT_EQ(column(1), std::vector<std::string>({"1", "4", "0", "2", "5", "3"}));
    sort(0, -1);
    EXPECT_EQ(column(1), std::vector<std::string>({"3", "0", "2", "5", "1", "4"}));
    sort(0, 0);  // unsorted: the rows stay as they are
    EXPECT_EQ(column(1), std::vector<std::string>({"3", "0", "2", "5", "1", "4"}));
}

TEST_F(SortTest, TextCellsCompareBytesAndNaturalCellsNumbers)
{
    struct Row {
        bool natural;
        std::vector<std::string> keys, sorted;
    };
    Row const rows[] = {
        {false, {"a", "B", "item10", "item2"}, {"B", "a", "item10", "item2"}},
        {true, {"a", "B", "item10", "item2"}, {"a", "B", "item2", "item10"}},
    };
    for (Row const& row : rows) {
        make_keyed(row.keys, row.natural);
        sort(0, 1);
        EXPECT_EQ(column(0), row.sorted) << row.natural;
    }
}

TEST_F(SortTest, SelectionAndCursorStayOnTheirRows)
{
    GuiSpreadsheet& sheet = make_keyed({"d", "c", "b", "a"});
    click_cell(0, 0);                 // "d", column 0 only
    click_cell(1, 2, FL_CTRL);        // "b", column 1 only
    sort(0, 1);
    EXPECT_EQ(selection(), std::vector<std::string>({"1,1", "0,3"}));
    int column = -1, row = -1;
    sheet.get_cursor_position(column, row);
    EXPECT_EQ(text(0, row), "b");
    EXPECT_EQ(sheet.get_ordered_row_selection(), CoreVector<unsigned int>({3, 1}));
}
