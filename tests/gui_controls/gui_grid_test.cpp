// Grids: cell boxes from ratios in both styles, fixed lines, dragging bars between two
// neighbours, counts and their cells, the widget rules, and resizing without drift.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/controls/gui_grid.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

class GridTest : public ControlsTest {
protected:
    GuiGrid& make_grid(unsigned int columns, unsigned int rows, int w = 400, int h = 200)
    {
        return shown(new GuiGrid(window(), 0, 0, w, h, columns, rows));
    }
    // A child put in a cell.
    GuiWidget& cell(GuiGrid& grid, unsigned int column, unsigned int row)
    {
        GuiWidget* widget = new GuiWidget(grid, 0, 0, 10, 10);
        grid.set_widget(*widget, column, row);
        return *widget;
    }
    static GMathVec4<int> box(GuiWidget const& widget)
    {
        return GMathVec4<int>(widget.get_x(), widget.get_y(), widget.get_width(), widget.get_height());
    }
};

}  // namespace

TEST_F(GridTest, CountsOfZeroMakeOneCell)
{
    GuiGrid& grid = make_grid(0, 0);
    EXPECT_EQ(grid.get_column_count(), 1u);
    EXPECT_EQ(grid.get_row_count(), 1u);
    GuiWidget& only = cell(grid, 0, 0);
    EXPECT_EQ(box(only), GMathVec4<int>(0, 0, 400, 200));
}

TEST_F(GridTest, CellsTileTheGridWithoutGapsAndTheLastLineEndsAtTheEdge)
{
    GuiGrid& grid = make_grid(2, 2);
    for (unsigned int i = 0; i < 2; ++i) {
        grid.set_column_ratio(i, 0.5);
        grid.set_row_ratio(i, 0.5);
    }
    GuiWidget& a = cell(grid, 0, 0);
    GuiWidget& b = cell(grid, 1, 0);
    GuiWidget& c = cell(grid, 0, 1);
    EXPECT_EQ(grid.get_column_left(1), 201);
    EXPECT_EQ(box(a), GMathVec4<int>(0, 0, 201, 101));
    EXPECT_EQ(box(b), GMathVec4<int>(201, 0, 199, 101));
    EXPECT_EQ(box(c), GMathVec4<int>(0, 101, 201, 99));
    EXPECT_EQ(grid.get_column_left(2), -1);
    EXPECT_EQ(grid.get_column_width(2), 0);
}

TEST_F(GridTest, BorderedCellsLieBetweenTheBars)
{
    GuiGrid& grid = make_grid(2, 1);
    grid.set_column_ratio(0, 0.5);
    grid.set_column_ratio(1, 0.5);
    grid.set_style(GuiGrid::STYLE_BORDER);
    GuiWidget& left = cell(grid, 0, 0);
    GuiWidget& right = cell(grid, 1, 0);
    GuiGridBorder* bar = grid.get_column_border(0);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(grid.get_column_border(1), nullptr) << "no bar after the last column";
    EXPECT_EQ(box(*bar), GMathVec4<int>(198, 0, 5, 200));  // trunc(0 + 200 + 1 - 2.5)
    EXPECT_EQ(box(left), GMathVec4<int>(0, 0, 198, 200));
    EXPECT_EQ(box(right), GMathVec4<int>(204, 0, 196, 200));
    EXPECT_EQ(grid.get_column_left(1, true), 204);  // 201 + 2.5, rounded
    EXPECT_EQ(grid.get_column_width(0, true), 195);
    grid.set_style(GuiGrid::STYLE_NO_BORDER);
    EXPECT_EQ(grid.get_column_border(0), nullptr);
    EXPECT_EQ(box(left), GMathVec4<int>(0, 0, 201, 200));
}

TEST_F(GridTest, AFixedColumnKeepsItsPixelsAndBoundsTheWidth)
{
    GuiGrid& grid = make_grid(2, 1, 500, 100);
    grid.set_column_sizable(0, false);
    grid.set_column_width(0, 100);
    GuiWidget& fixed = cell(grid, 0, 0);
    EXPECT_DOUBLE_EQ(grid.get_column_ratio(0), 0.2);
    EXPECT_EQ(grid.get_fixed_width(), 100u);
    for (int width : {800, 300, 650}) {
        grid.resize(0, 0, width, 100);
        pump_events(app());
        EXPECT_EQ(fixed.get_width(), 101) << width << ": its pixels and the line after them";
        EXPECT_NEAR(grid.get_column_ratio(0) + grid.get_column_ratio(1), 1.0, 1e-9) << width;
    }
    grid.resize(0, 0, 40, 100);
    EXPECT_EQ(grid.get_width(), 100) << "never narrower than the fixed columns";
}

TEST_F(GridTest, DraggingABarTradesOnlyBetweenItsNeighbours)
{
    GuiGrid& grid = make_grid(3, 1, 600, 100);
    double const third = 1.0 / 3.0;
    for (unsigned int i = 0; i < 3; ++i) grid.set_column_ratio(i, third);
    grid.set_style(GuiGrid::STYLE_BORDER);
    m_log.listen(grid, {&EVT_ID_GRID_COLUMN_RESIZED});
    GuiGridBorder& bar = *grid.get_column_border(1);
    mouse_down(bar, bar.get_x() + 2, 50);
    throttled_drag(bar, grid.get_column_left(1) + 120, 50);
    mouse_up(bar, grid.get_column_left(1) + 120, 50);
    EXPECT_DOUBLE_EQ(grid.get_column_ratio(0), third) << "the column before the bar's line is left alone";
    EXPECT_NEAR(grid.get_column_ratio(1), 0.2, 0.005);
    EXPECT_NEAR(grid.get_column_ratio(1) + grid.get_column_ratio(2), 2 * third, 1e-9);
    EXPECT_EQ(m_log.count(EVT_ID_GRID_COLUMN_RESIZED), 1);

    grid.rescale_column(2, 5.0);  // the last trades with the one before, at most their sum
    EXPECT_NEAR(grid.get_column_ratio(2), 2 * third, 1e-9);
    EXPECT_NEAR(grid.get_column_ratio(1), 0.0, 1e-9);
    grid.rescale_column(0, -1.0);
    grid.rescale_column(7, 0.5);
    EXPECT_EQ(m_log.count(EVT_ID_GRID_COLUMN_RESIZED), 2) << "bad ratios and indices change nothing";
}

TEST_F(GridTest, CountsKeepWidgetsInPlaceAndLinesMoveTheirCells)
{
    GuiGrid& grid = make_grid(2, 2);
    GuiWidget& a = cell(grid, 0, 0);
    GuiWidget& b = cell(grid, 1, 1);
    grid.set_cell_count(3, 3);
    EXPECT_EQ(grid.get_widget(0, 0), &a);
    EXPECT_EQ(grid.get_widget(1, 1), &b);
    EXPECT_EQ(grid.get_widget(2, 2), nullptr);
    grid.insert_row(0);
    EXPECT_EQ(grid.get_widget(0, 1), &a);
    EXPECT_EQ(grid.get_widget(1, 2), &b);
    grid.insert_column(0);
    EXPECT_EQ(grid.get_widget(2, 2), &b);
    grid.remove_row(0);
    grid.remove_column(0);
    EXPECT_EQ(grid.get_widget(0, 0), &a);
    EXPECT_EQ(grid.get_widget(1, 1), &b);

    GuiGrid& single = make_grid(1, 1);
    single.remove_row(0);
    single.remove_column(0);
    single.remove_row(3);
    EXPECT_EQ(single.get_row_count(), 1u);
    EXPECT_EQ(single.get_column_count(), 1u);
}

TEST_F(GridTest, WidgetRulesAndADestroyedWidgetLeavesItsCell)
{
    GuiGrid& grid = make_grid(2, 1);
    GuiWidget& a = cell(grid, 0, 0);
    EXPECT_FALSE(a.is_active_constraints());
    GuiWidget stranger(window(), 0, 0, 10, 10);
    LogRecorder log;
    grid.set_widget(a, 0, 0);
    grid.set_widget(stranger, 1, 0);
    EXPECT_TRUE(log.contains("GuiGrid::set_widget: setting the same widget at same location."));
    EXPECT_TRUE(log.contains("gui.GuiGrid.set_widget: widget is not child of the grid"));
    EXPECT_EQ(grid.get_widget(1, 0), nullptr);
    a.destroy();
    EXPECT_EQ(grid.get_widget(0, 0), nullptr);
}

TEST_F(GridTest, ManyResizesDoNotDrift)
{
    GuiGrid& grid = make_grid(3, 2, 600, 300);
    grid.set_style(GuiGrid::STYLE_BORDER);
    grid.set_column_ratio(0, 0.25);
    grid.set_column_ratio(1, 0.35);
    grid.set_column_ratio(2, 0.40);
    GuiWidget& last = cell(grid, 2, 1);
    grid.resize(0, 0, 600, 300);
    GMathVec4<int> const before = box(last);
    for (int i = 0; i < 500; ++i) grid.resize(0, 0, 300 + (i * 37) % 900, 150 + (i * 53) % 500);
    grid.resize(0, 0, 600, 300);
    EXPECT_EQ(box(last), before);
    EXPECT_DOUBLE_EQ(grid.get_column_ratio(1), 0.35);
}
