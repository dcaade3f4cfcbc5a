// The node-graph view's window on the graph: zone, position and zoom factor, the mapping
// between widget pixels and graph units, the zoom limits and text, zooming around a point
// and resizing.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Vec = GMathVec2<int>;
using VecF = GMathVec2<float>;

class GuiNodalViewTest : public NodalTestBase<> {};

TEST_F(GuiNodalViewTest, ANewViewShowsTheOriginAtItsTopLeftAtRatioOne)
{
    GuiNodal& view = graph();
    int const border = view.get_viewport_offset();
    EXPECT_EQ(view.get_graph_zone_width(), 400 - 2 * border);
    EXPECT_EQ(view.get_graph_zone_height(), 300 - 2 * border);
    EXPECT_EQ(view.get_zoom_factor(), view.get_graph_zone_height());
    EXPECT_FLOAT_EQ(view.get_zoom_ratio(), 1.0f);
    EXPECT_EQ(view.compute_graph_coords(Vec(border, border)), Vec(0, 0));
    EXPECT_EQ(view.get_view_area(), GMathVec4<int>(0, -view.get_zoom_factor(), view.get_graph_zone_width(), 0));
}

TEST_F(GuiNodalViewTest, PixelsAndGraphPointsMapBothWaysAtAnyFactor)
{
    GuiNodal& view = graph();
    int const border = view.get_viewport_offset();
    int const zone_h = view.get_graph_zone_height();
    for (int const factor : {zone_h, 2 * zone_h, 5 * zone_h, 37 * zone_h}) {
        SCOPED_TRACE(factor);
        view.set_view_pos(VecF(-250.0f, 130.0f));
        view.set_zoom_factor(factor);
        EXPECT_EQ(view.get_zoom_factor(), factor);
        EXPECT_FLOAT_EQ(view.get_zoom_ratio(), static_cast<float>(zone_h) / factor);
        // The zone's bottom-left corner shows the view position, its top edge view y + factor.
        EXPECT_EQ(view.compute_graph_coords(Vec(border, border + zone_h)), Vec(-250, 130));
        EXPECT_EQ(view.compute_graph_coords(Vec(border, border)), Vec(-250, 130 + factor));
        GMathVec4<int> const& area = view.get_view_area();
        EXPECT_EQ(area[3] - area[1], factor);
        EXPECT_NEAR(area[2] - area[0], static_cast<double>(view.get_graph_zone_width()) * factor / zone_h, 1.0);
        for (Vec const pixel : {Vec(10, 20), Vec(200, 150), Vec(390, 290)})
            EXPECT_EQ(view.world_to_screen(view.to_graph(pixel[0], pixel[1])), pixel);
    }
}

TEST_F(GuiNodalViewTest, ZoomsBeyondTheLimitsStopAtThemAndNonsenseIsRefused)
{
    GuiNodal& view = graph();
    struct Row {
        float asked;
        float kept;
    };
    for (Row const row : {Row{2.0f, 1.0f}, Row{0.5f, 0.5f}, Row{0.001f, 0.01f}, Row{1.0f, 1.0f}}) {
        view.set_zoom_ratio(row.asked);
        EXPECT_NEAR(view.get_zoom_ratio(), row.kept, 1e-4) << row.asked;
    }
    view.set_zoom_factor(1);  // far below the factor of ratio 1
    EXPECT_FLOAT_EQ(view.get_zoom_ratio(), 1.0f);
    LogRecorder log;
    view.set_zoom_ratio(-1.0f);
    view.set_zoom_factor(0);
    view.set_view_pos(VecF(INFINITY, 0.0f));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    EXPECT_FLOAT_EQ(view.get_zoom_ratio(), 1.0f);
    EXPECT_TRUE(std::isfinite(view.get_view_pos()[0]));
}

TEST_F(GuiNodalViewTest, ZoomingAtAPointKeepsItUnderThePointer)
{
    GuiNodal& view = graph();
    Vec const pointer(123, 77);
    GMathVec2<float> const before = view.to_graph(pointer[0], pointer[1]);
    for (float const ratio : {0.5f, 0.1f, 0.73f, 1.0f}) {
        view.zoom_at(pointer, ratio);
        GMathVec2<float> const after = view.to_graph(pointer[0], pointer[1]);
        EXPECT_NEAR(after[0], before[0], 1e-2) << ratio;
        EXPECT_NEAR(after[1], before[1], 1e-2) << ratio;
    }
}

TEST_F(GuiNodalViewTest, TheZoomTextGivesThePlaceBetweenTheLimitsOrTheRatioAtTheTop)
{
    GuiNodal& view = graph();
    view.set_zoom_ratio(GuiNodal::get_min_zoom_ratio());
    EXPECT_EQ(view.get_zoom_text(), CoreString("Zoom: 0%"));
    view.set_zoom_ratio(GuiNodal::get_max_zoom_ratio());
    EXPECT_EQ(view.get_zoom_text(), CoreString("Zoom: 1.00 x"));
    view.set_zoom_ratio(0.5f);
    EXPECT_EQ(view.get_zoom_text(), CoreString("Zoom: 49%"));  // (0.5 - 0.01) / 0.99
}

TEST_F(GuiNodalViewTest, ResizingKeepsTheRatioAndTheTopLeftPoint)
{
    GuiNodal& view = graph();
    view.set_zoom_ratio(0.5f);
    view.set_view_pos(VecF(40.0f, -900.0f));
    int const border = view.get_viewport_offset();
    Vec const top_left = view.compute_graph_coords(Vec(border, border));
    view.resize(view.get_x(), view.get_y(), 300, 200);
    EXPECT_NEAR(view.get_zoom_ratio(), 0.5f, 0.01f);
    EXPECT_EQ(view.compute_graph_coords(Vec(border, border)), top_left);
}

TEST(GuiNodalInside, OnlyStrictlyInside)
{
    EXPECT_TRUE(GuiNodal::is_inside(5, 5, 0, 10, 10, 0));
    for (Vec const edge : {Vec(0, 5), Vec(10, 5), Vec(5, 0), Vec(5, 10), Vec(-1, 5)})
        EXPECT_FALSE(GuiNodal::is_inside(edge[0], edge[1], 0, 10, 10, 0)) << edge[0] << "," << edge[1];
}

}  // namespace
