// Spreadsheet reorders: the row order a drop makes from the moved rows and the target, which
// rows move (the pressed row or the selection), and the order forgotten when rows go.
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"

namespace {

using Order = std::vector<unsigned int>;

Order order_of(CoreVector<unsigned int> const& rows)
{
    return Order(rows.begin(), rows.end());
}

CoreVector<unsigned int> rows_of(Order const& order)
{
    CoreVector<unsigned int> rows;
    for (unsigned int row : order) rows.add(row);
    return rows;
}

}  // namespace

TEST(SpreadsheetPermute, TheMovedRowsGoBeforeOrAfterTheTarget)
{
    struct Row {
        char const* what;
        int mode;
        Order moved;
        int target;
        bool after;
        Order expected;
    };
    Row const rows[] = {
        {"to the top", 1, {3}, 0, false, {3, 0, 1, 2, 4}},
        {"after the first", 1, {3}, 0, true, {0, 3, 1, 2, 4}},
        {"no target: to the end", 1, {1}, -1, false, {0, 2, 3, 4, 1}},
        {"after the last", 1, {0}, 4, true, {1, 2, 3, 4, 0}},
        {"several keep their order", 1, {4, 1}, 2, true, {0, 2, 4, 1, 3}},
        {"onto a moved row", 1, {1, 2}, 2, false, {0, 1, 2, 3, 4}},
        {"other modes make no order", 3, {1}, 0, false, {}},
    };
    for (Row const& row : rows)
        EXPECT_EQ(order_of(GuiSpreadsheet::fill_permute_rows(row.mode, rows_of(row.moved), 5,
                                                             row.target, row.after)),
                  row.expected)
            << row.what;
}

TEST_F(SpreadsheetTest, ADropMovesTheSelectionAndRemovingRowsForgetsTheOrder)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    add_rows(4);
    sheet.set_dnd_mode(GuiSpreadsheet::DND_MODE_REORDER);
    click_cell(0, 3);
    click_cell(0, 1, FL_CTRL);
    sheet.set_dnd_info(0, 0, false);
    sheet.fill_permute_rows();
    EXPECT_EQ(order_of(sheet.get_permute_rows()), Order({3, 1, 0, 2})) << "in the order they were selected";
    sheet.set_dnd_info(0, 9, false);
    int column = 0, row = 0;
    bool after = true;
    sheet.get_dnd_info(column, row, after);
    EXPECT_EQ(row, -1) << "a target outside the rows is none";
    delete sheet.remove_row(0);
    EXPECT_TRUE(sheet.get_permute_rows().is_empty());
}
