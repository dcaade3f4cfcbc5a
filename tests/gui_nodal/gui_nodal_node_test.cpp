// Graph nodes: header and zone sizes, layout, plugs and colours; the view's items and its
// drawing.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>
#include <string>

#include "gui/core/gui_image.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Node = GuiNodalNodeBase;
using Color = GuiNodalItem::Color;

class GuiNodalGraphTest : public NodalPixelTest {
protected:
    GuiNodalNode& node(CoreString const& name, int x = 0, int y = 0, unsigned int anchors = Node::NODE_ANCHOR_SIDES)
    {
        return *graph().add_node(new GuiNodalNode(graph(), name, x, y, anchors));
    }
    void lay_out(GuiNodalNode& n) { n.update_content(graph().get_dc()); }
};

TEST_F(GuiNodalGraphTest, TheHeaderMeasuresItsLinesWithItsMargin)
{
    GuiNodalNode& n = node("A rather long node title");
    lay_out(n);
    GuiNodalNodeZoneHeader const& header = n.get_header();
    GuiFont const& title_font = header.get_lines().front().font;
    int const text = graph().get_text_width(title_font, "A rather long node title");
    ASSERT_GT(text, 100);
    // The band: the text and a margin each side; its width adds the margin again.
    EXPECT_EQ(header.get_width(), text + 4 * header.get_border_size());
    int const title_height = header.get_line_height(header.get_lines().front());
    EXPECT_GE(title_height, title_font.get_size());
    EXPECT_EQ(header.get_height(), title_height);
    EXPECT_EQ(n.get_width(), header.get_width());  // wider than the 100-pixel minimum
    n.set_info("second line");
    lay_out(n);
    EXPECT_EQ(n.get_header().get_height(),
              title_height + header.get_line_height(n.get_header().get_lines()[1]));
}

TEST_F(GuiNodalGraphTest, IconsTakeAColumnOrTheirOwnPlaceAndBarsAddHeight)
{
    std::vector<unsigned char> pixels(16 * 30 * 3, 200);
    GuiImage const tall(pixels.data(), 16, 30, 3);
    GuiNodalNode& n = node("titled", 0, 0, 0);
    n.set_info("info");
    GuiNodalNodeZoneHeader& header = n.get_header();
    int const m = header.get_border_size();
    lay_out(n);
    int const plain_height = header.get_height();
    header.set_line_icon(0, tall);
    lay_out(n);
    // Only the title has one: every line starts after the icon column.
    EXPECT_EQ(header.get_icon_column(), 16);
    EXPECT_EQ(header.get_text_offset(header.get_lines()[1]), m + 16 + m);
    EXPECT_EQ(header.get_line_height(header.get_lines()[0]), 30 + 2 * m);
    int const info_width = graph().get_text_width(header.get_lines()[1].font, "info");
    EXPECT_GE(header.get_width() - 2 * m, m + 16 + m + info_width + m);
    // With a second icon, each line keeps its own place and the column goes.
    header.set_line_icon(1, tall);
    lay_out(n);
    EXPECT_EQ(header.get_icon_column(), 0);
    EXPECT_EQ(header.get_text_offset(header.get_lines()[1]), m + 16 + m);
    draw_view();
    EXPECT_EQ(graph().get_texture_count(), 2u);
    header.set_line_icon(0, GuiImage());
    header.set_line_icon(1, GuiImage());
    header.add_bar(6);
    header.add_status(10);
    lay_out(n);
    EXPECT_EQ(header.get_height(), plain_height + 6 + 5);
    EXPECT_EQ(graph().get_texture_count(), 0u);  // the icons' textures went with them
}

TEST_F(GuiNodalGraphTest, NodesKeepTheirMinimumScreenSizeAtEveryZoom)
{
    struct Row {
        float zoom;
        int width, height;
    } const rows[] = {{1.0f, 100, 16}, {0.5f, 200, 32}, {0.3f, 333, 53}, {0.01f, 10000, 1600}};
    GuiNodalNode& n = node("n");
    for (Row const& row : rows) {
        graph().set_zoom_ratio(row.zoom);
        n.set_dirty();
        lay_out(n);
        EXPECT_EQ(n.get_width(), row.width) << row.zoom;
        EXPECT_EQ(n.get_height(), std::max(row.height, n.get_header().get_height())) << row.zoom;
    }
}

TEST_F(GuiNodalGraphTest, EmptyAndVeryLongTitlesKeepTheNodeWithinItsLimits)
{
    GuiNodalNode& empty = node("");
    GuiNodalNode& long_title = node(CoreString(std::string(2000, 'W').c_str()));
    lay_out(empty);
    lay_out(long_title);
    EXPECT_EQ(empty.get_width(), GuiNodalNode::MIN_SCREEN_WIDTH);
    EXPECT_EQ(empty.get_height(), GuiNodalNode::MIN_SCREEN_HEIGHT);
    EXPECT_GT(long_title.get_width(), 10000);
    graph().set_max_node_width(300);
    lay_out(long_title);
    EXPECT_EQ(long_title.get_width(), 300);
    draw_view();  // the title is cut to the node: nothing is drawn past it
    EXPECT_EQ(graph().pixel(350, 8), graph().pixel(390, 290));  // the background
}

TEST_F(GuiNodalGraphTest, ZonesStackUnderTheHeaderAndPlugsSitOnTheSides)
{
    GuiNodalNode& n = node("stack", 100, 50, Node::NODE_ANCHOR_ALL);
    auto* first = new GuiNodalNodeZoneText(n, "first zone", 12);
    auto* second = new GuiNodalNodeZoneText(n, "second", 20);
    n.add_zone(*first);
    n.add_zone(*second);
    lay_out(n);
    int const header = n.get_header().get_height();
    EXPECT_EQ(first->get_world_pos(), GMathVec2<int>(100, 50 - header));
    EXPECT_EQ(second->get_world_pos(), GMathVec2<int>(100, 50 - header - first->get_height()));
    EXPECT_EQ(n.get_height(), header + first->get_height() + second->get_height());
    int const w = n.get_width(), h = n.get_height();
    EXPECT_EQ(n.get_anchor(Node::NODE_ANCHOR_LEFT)->get_world_pos(), GMathVec2<int>(100, 50 - h / 2));
    EXPECT_EQ(n.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_world_pos(), GMathVec2<int>(100 + w, 50 - h / 2));
    EXPECT_EQ(n.get_anchor(Node::NODE_ANCHOR_BOTTOM)->get_world_pos(), GMathVec2<int>(100 + w / 2, 50 - h));
    EXPECT_EQ(GMathVec2<int>(n.get_out_link_x(), n.get_out_link_y()), GMathVec2<int>(100 + w, 50 - h / 2));
    EXPECT_EQ(n.get_zone(2), nullptr);
    n.remove_zone(*first);
    lay_out(n);
    EXPECT_EQ(second->get_world_pos()[1], 50 - header);
}

TEST_F(GuiNodalGraphTest, DisplayModesShowAllConnectedOrNoPlugs)
{
    GuiNodalNode& n = node("plugs", 0, 0, Node::NODE_ANCHOR_ALL);
    GuiNodalNode& other = node("other", 300, 0);
    graph().create_link(*n.get_anchor(Node::NODE_ANCHOR_RIGHT), other);
    struct Row {
        GuiNodalNode::ZoneDisplay mode;
        bool right_shown, left_shown;
    } const rows[] = {{GuiNodalNode::ZONE_DISPLAY_CONNECTED, true, false},
                      {GuiNodalNode::ZONE_DISPLAY_NONE, false, false},
                      {GuiNodalNode::ZONE_DISPLAY_ALL, true, true}};
    for (Row const& row : rows) {
        n.set_zones_display_mode(row.mode);
        lay_out(n);
        EXPECT_EQ(!n.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_is_hidden(), row.right_shown) << row.mode;
        EXPECT_EQ(!n.get_anchor(Node::NODE_ANCHOR_LEFT)->get_is_hidden(), row.left_shown) << row.mode;
    }
    LogRecorder log;
    n.set_zones_display_mode(static_cast<GuiNodalNode::ZoneDisplay>(7));
    EXPECT_EQ(n.get_zones_display_mode(), GuiNodalNode::ZONE_DISPLAY_ALL);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    // A footer goes under the zones.
    auto* zone = new GuiNodalNodeZoneText(n, "zone", 12);
    n.add_zone(*zone);
    n.turn_header_to_footer(true);
    lay_out(n);
    EXPECT_EQ(zone->get_world_pos()[1], 0);
    EXPECT_EQ(n.get_header().get_world_pos()[1], -(n.get_height() - n.get_header().get_height()));
}

TEST_F(GuiNodalGraphTest, BelowTheSimplificationRatioOnlyTheTitleShows)
{
    graph(true);
    GuiNodalNode& n = node("simple");
    n.add_zone(*new GuiNodalNodeZoneText(n, "detail", 12));
    n.set_info("info");
    lay_out(n);
    int const full = n.get_height();
    graph().set_zoom_ratio(0.5f);
    n.set_dirty();
    lay_out(n);
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_SIMPLIFIED));
    EXPECT_TRUE(n.get_zone(0)->get_is_hidden());
    EXPECT_EQ(n.get_header().get_height(), GuiNodalNodeZoneHeader::MIN_SIMPLIFIED_VIEW_HEIGHT);
    EXPECT_LT(n.get_height() * 0.5f, full);  // smaller on screen than the full node
}

TEST_F(GuiNodalGraphTest, AColourSetsTheFillPlugsAndAMatchingBorder)
{
    GuiNodalNode& n = node("coloured");
    Color const red(200, 40, 40);
    n.set_color(red);
    EXPECT_EQ(n.get_bg_normal_color(), red);
    EXPECT_EQ(n.get_header().get_bg_normal_color(), red);
    EXPECT_EQ(n.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_bg_normal_color(), red);
    EXPECT_EQ(n.get_border_color(), Node::compute_border_color(GMathVec3<float>(200 / 255.0f, 40 / 255.0f, 40 / 255.0f), false, 0.7f));
}

TEST_F(GuiNodalGraphTest, RemovingANodeTakesItsLinksAlong)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    GuiNodalNode& c = node("c", 300, -200);
    GuiNodalLink* plug_link = graph().create_link(*a.get_anchor(Node::NODE_ANCHOR_RIGHT), b);
    graph().create_link(a, c);
    GuiNodalLink* kept = graph().create_link(b, c);
    ASSERT_NE(plug_link, nullptr);
    graph().remove_node(a);
    ASSERT_EQ(graph().get_links().size(), 1u);
    EXPECT_EQ(graph().get_links().front(), kept);
    EXPECT_EQ(b.get_links_count(), 1u);
    EXPECT_EQ(graph().get_node_count(), 2u);
}

TEST_F(GuiNodalGraphTest, ItemsOfAnotherViewAreRefused)
{
    GuiNodalNode& mine = node("mine");
    GuiNodal* other = new GuiNodal(make_window(100, 100), 0, 0, 100, 100);
    auto* stranger = new GuiNodalNode(*other, "stranger", 0, 0, 0);
    LogRecorder log;
    EXPECT_EQ(graph().add_node(stranger), nullptr);
    EXPECT_EQ(graph().create_link(mine, *stranger), nullptr);
    auto* zone = new GuiNodalNodeZoneText(*stranger, "not yours");
    mine.add_zone(*zone);
    graph().remove_node(*stranger);
    graph().set_view_pos(GMathVec2<float>(NAN, 0.0f));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 5u) << log.dump();
    EXPECT_TRUE(mine.get_zones().empty());
    EXPECT_EQ(graph().get_node_count(), 1u);
    delete zone;
    delete stranger;
}

TEST_F(GuiNodalGraphTest, TheViewDrawsLinksUnderItsNodes)
{
    Color const blue(40, 60, 200);
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 260, -200);
    a.set_color(blue);
    b.set_color(blue);
    GuiNodalLink* link = graph().create_link(a, b);
    draw_view();
    // A new view shows graph (0, 0) at its zone's top-left: a node at (20, -20) starts 20
    // pixels in from the zone's border.
    int const border = graph().get_viewport_offset();
    EXPECT_EQ(graph().world_to_screen(GMathVec2<float>(20.0f, -20.0f)), GMathVec2<int>(20 + border, 20 + border));
    EXPECT_EQ(graph().pixel(60, 30), blue);
    EXPECT_NE(graph().pixel(10, 30), blue);
    GMathVec2<float> const middle = link->get_curve()[link->get_curve().size() / 2];
    GMathVec2<int> const on_screen = graph().world_to_screen(middle);
    int const mx = on_screen[0];
    int const my = on_screen[1];
    Color const line = link->get_bg_color();
    bool found = false;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) found = found || graph().pixel(mx + dx, my + dy) == line;
    EXPECT_TRUE(found) << "no link pixel near " << mx << "," << my;
    // Moving the view shows the same graph point further right.
    graph().set_view_pos(graph().get_view_pos() + GMathVec2<float>(-100.0f, 0.0f));
    draw_view();
    EXPECT_EQ(graph().pixel(160, 30), blue);
}

TEST_F(GuiNodalGraphTest, OnlyWhatLiesInTheViewIsDrawn)
{
    GuiNodalNode& near = node("near", 20, -20);
    GuiNodalNode& far = node("far", 5000, -20);
    GuiNodalNode& edge = node("edge", 390, -20);  // sticks out of the 400-pixel view
    GuiNodalLink* inside = graph().create_link(near, edge);
    GuiNodalLink* outside = graph().create_link(far, *graph().add_node(new GuiNodalNode(graph(), "far too", 6000, -300, 0)));
    draw_view();
    EXPECT_FALSE(near.get_is_culled());
    EXPECT_FALSE(edge.get_is_culled());
    EXPECT_TRUE(far.get_is_culled());
    EXPECT_FALSE(inside->get_is_culled());
    EXPECT_TRUE(outside->get_is_culled());
    graph().set_view_pos(GMathVec2<float>(4900.0f, graph().get_view_pos()[1]));
    draw_view();
    EXPECT_FALSE(far.get_is_culled());
    EXPECT_TRUE(near.get_is_culled());
}

TEST_F(GuiNodalGraphTest, AGrownNodeIsDrawnLargerAroundItsCentre)
{
    Color const green(30, 160, 60);
    graph().set_zoom_ratio(0.5f);
    GuiNodalNode& n = node("grown", 200, -200, 0);
    n.set_color(green);
    lay_out(n);
    // At zoom 0.5 the node spans w / 2 pixels across; grown twice, a quarter of its width
    // more on each side.
    GMathVec2<int> const top_left = graph().world_to_screen(GMathVec2<float>(200.0f, -200.0f));
    int const left = top_left[0];
    int const right = left + n.get_width() / 2;
    int const middle_y = top_left[1] + n.get_height() / 4;
    draw_view();
    EXPECT_NE(graph().pixel(left - n.get_width() / 16, middle_y), green);
    n.set_scale(2.0f);
    draw_view();
    EXPECT_EQ(graph().pixel(left - n.get_width() / 16, middle_y), green);
    EXPECT_EQ(graph().pixel(right + n.get_width() / 16, middle_y), green);
}

TEST_F(GuiNodalGraphTest, ImageZonesShowTheirImageAtItsRatio)
{
    std::vector<unsigned char> red(40 * 20 * 3, 0);
    for (size_t i = 0; i < red.size(); i += 3) red[i] = 255;
    GuiImage const picture(red.data(), 40, 20, 3);
    GuiNodalNode& n = node("pictured", 0, 0, 0);
    auto* zone = new GuiNodalNodeZoneImage(n, picture);
    n.add_zone(*zone);
    lay_out(n);
    int const margin = zone->get_border_size();
    EXPECT_DOUBLE_EQ(zone->get_image_ratio(), 0.5);
    EXPECT_EQ(zone->get_width(), 40 + 2 * margin);
    EXPECT_EQ(zone->get_height(), 20 + 2 * margin);
    zone->set_image_size(80.0);
    lay_out(n);
    EXPECT_EQ(zone->get_height(), 40 + 2 * margin);
    draw_view();
    // The image's middle, under the header, one margin in.
    int const top = n.get_header().get_height() + margin;
    EXPECT_EQ(graph().pixel(margin + 40, top + 20), Color(255, 0, 0));
    zone->set_outdated(true);
    draw_view();
    Color const dimmed = graph().pixel(margin + 40, top + 20);
    EXPECT_LT(dimmed[0], 200);
    EXPECT_GT(dimmed[0], 50);
    EXPECT_EQ(graph().get_texture_count(), 1u);

    LogRecorder log;
    zone->set_image_size(-1.0);
    auto* empty = new GuiNodalNodeZoneImage(n, GuiImage());
    n.add_zone(*empty);
    draw_view();  // an image without pixels draws nothing and breaks nothing
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    n.remove_zone(*zone);
    EXPECT_EQ(graph().get_texture_count(), 0u);
}

TEST_F(GuiNodalGraphTest, LinkStylesBreakTheLineAndArrowsMarkTheEnd)
{
    GuiNodalNode& a = node("a", 20, -100);
    GuiNodalNode& b = node("b", 300, -100, 0);  // no plug to cover the arrow
    GuiNodalLink* link = graph().create_link(a, b);
    link->desactivate_shape(GuiNodalLink::LINK_SHAPE_ARROW);
    Color const line = link->get_bg_color();
    // Link pixels on the row between the nodes, which the level link follows.
    auto const lit = [&]() {
        draw_view();
        int const row = static_cast<int>(std::lround(-link->get_curve().front()[1]));
        int count = 0;
        for (int x = 130; x < 290; ++x) {
            bool any = false;
            for (int dy = -1; dy <= 1; ++dy) any = any || graph().pixel(x, row + dy) == line;
            count += any;
        }
        return count;
    };
    int const plain = lit();
    EXPECT_GT(plain, 150);
    link->set_shape(GuiNodalLink::LINK_SHAPE_DASHED);
    int const dashed = lit();
    EXPECT_LT(dashed, plain * 3 / 4);
    EXPECT_GT(dashed, plain / 3);
    link->set_shape(GuiNodalLink::LINK_SHAPE_DOTTED);
    EXPECT_LT(lit(), dashed);
    // The arrowhead is wider than the line just before the end.
    link->set_shape(GuiNodalLink::LINK_SHAPE_PLAIN);
    link->activate_shape(GuiNodalLink::LINK_SHAPE_ARROW);
    draw_view();
    int const end_x = static_cast<int>(std::lround(link->get_curve().back()[0]));
    int const row = static_cast<int>(std::lround(-link->get_curve().back()[1]));
    int tall = 0;
    for (int dy = -6; dy <= 6; ++dy) tall += graph().pixel(end_x - 5, row + dy) == line;
    EXPECT_GE(tall, 4);
}

}  // namespace
