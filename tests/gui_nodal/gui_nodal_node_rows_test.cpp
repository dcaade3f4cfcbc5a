// Graph nodes with plug rows: where their plugs sit and which show, the header's buttons,
// switched sides, a node shown inside another, and the pass-through row.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Node = GuiNodalNodeBase;
using Row = GuiNodalNodeZoneText;

class GuiNodalRowsTest : public NodalTestBase<> {
protected:
    GuiNodalNode& node(CoreString const& name, int x = 0, int y = 0, unsigned int anchors = Node::NODE_ANCHOR_SIDES)
    {
        return *graph().add_node(new GuiNodalNode(graph(), name, x, y, anchors));
    }
    // A text row of `n` with an input and an output plug.
    Row& row(GuiNodalNode& n, CoreString const& text)
    {
        auto* zone = new Row(n, text);
        zone->activate_anchor(Node::NODE_ANCHOR_LEFT);
        zone->activate_anchor(Node::NODE_ANCHOR_RIGHT);
        n.add_zone(*zone);
        return *zone;
    }
    void lay_out(GuiNodalNode& n) { n.update_content(graph().get_dc()); }
    static Node& input(Node& n) { return *n.get_anchor(Node::NODE_ANCHOR_LEFT); }
    static Node& output(Node& n) { return *n.get_anchor(Node::NODE_ANCHOR_RIGHT); }
};

TEST_F(GuiNodalRowsTest, RowPlugsSitOnTheSidesAtTheRowsMiddleAndLinksFollowThem)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 400, 100);
    row(a, "first");
    Row& out = row(a, "second");
    Row& in = row(b, "only");
    GuiNodalLink* link = graph().create_link(output(out), input(in));
    lay_out(a);
    lay_out(b);
    GMathVec2<int> const& row_pos = out.get_world_pos();
    int const middle = row_pos[1] - out.get_height() / 2;
    EXPECT_EQ(input(out).get_world_pos(), GMathVec2<int>(0, middle));
    EXPECT_EQ(output(out).get_world_pos(), GMathVec2<int>(a.get_width(), middle));
    EXPECT_LT(middle, a.get_zone(0)->get_world_pos()[1] - a.get_zone(0)->get_height() / 2);  // below the first row

    link->update_content();
    EXPECT_EQ(link->get_from_x(), a.get_width());
    EXPECT_EQ(link->get_from_y(), middle);
    EXPECT_EQ(link->get_visible_node_to(), &b);
    b.move(-50, 20);
    lay_out(b);
    EXPECT_EQ(link->get_to_x(), 350);
    EXPECT_EQ(link->get_to_y(), input(in).get_world_pos()[1]);
}

TEST_F(GuiNodalRowsTest, DisplayModesHideUnconnectedRowsAndTheirLinksEndAtTheNode)
{
    struct Case {
        GuiNodalNode::ZoneDisplay mode;
        bool connected_shown;
        bool idle_shown;
    };
    for (Case const& c : {Case{GuiNodalNode::ZONE_DISPLAY_ALL, true, true},
                          Case{GuiNodalNode::ZONE_DISPLAY_CONNECTED, true, false},
                          Case{GuiNodalNode::ZONE_DISPLAY_NONE, false, false}}) {
        GuiNodalNode& source = node("source", -300, 0);
        GuiNodalNode& n = node("n", 0, 0);
        Row& connected = row(n, "connected");
        Row& idle = row(n, "idle");
        GuiNodalLink* link = graph().create_link(output(source), input(connected));
        n.set_zones_display_mode(c.mode);
        lay_out(n);
        EXPECT_EQ(!connected.get_is_hidden(), c.connected_shown) << c.mode;
        EXPECT_EQ(!idle.get_is_hidden(), c.idle_shown) << c.mode;
        int const rows = (c.connected_shown ? connected.get_height() : 0) + (c.idle_shown ? idle.get_height() : 0);
        EXPECT_EQ(n.get_height(), std::max(n.get_header().get_height() + rows, n.get_min_height())) << c.mode;
        // A hidden plug gives its link to the node's side.
        int const expected_y = c.connected_shown ? input(connected).get_world_pos()[1] : -n.get_height() / 2;
        EXPECT_EQ(link->get_to_y(), expected_y) << c.mode;
        EXPECT_EQ(link->get_to_x(), 0) << c.mode;
        graph().remove_node(n);
        graph().remove_node(source);
    }
}

TEST_F(GuiNodalRowsTest, ARowShowsOnceALinkReachesItAndGoesWithTheLink)
{
    GuiNodalNode& source = node("source", -300, 0);
    GuiNodalNode& n = node("n");
    Row& r = row(n, "row");
    n.set_zones_display_mode(GuiNodalNode::ZONE_DISPLAY_CONNECTED);
    lay_out(n);
    int const bare = n.get_height();
    ASSERT_TRUE(r.get_is_hidden());
    GuiNodalLink* link = graph().create_link(output(source), input(r));
    lay_out(n);
    EXPECT_FALSE(r.get_is_hidden());
    EXPECT_GT(n.get_height(), bare);
    graph().remove_link(*link);
    lay_out(n);
    EXPECT_TRUE(r.get_is_hidden());
    EXPECT_EQ(n.get_height(), bare);
}

TEST_F(GuiNodalRowsTest, ASwitchedNodeTakesItsInputsOnTheRight)
{
    GuiNodalNode& n = node("n", 100, 0);
    Row& r = row(n, "row");
    n.switch_position();
    lay_out(n);
    EXPECT_EQ(input(n).get_world_pos()[0], 100 + n.get_width());
    EXPECT_EQ(output(n).get_world_pos()[0], 100);
    EXPECT_EQ(input(r).get_world_pos()[0], 100 + n.get_width());
    EXPECT_EQ(n.get_out_link_x(), 100);
    n.switch_position();
    lay_out(n);
    EXPECT_EQ(input(r).get_world_pos()[0], 100);
}

TEST_F(GuiNodalRowsTest, ThePlugButtonTogglesBetweenAllAndConnectedPlugs)
{
    GuiNodalNode& n = node("n");
    n.add_plug_button();
    n.add_plug_button();  // once
    ASSERT_TRUE(n.has_plug_button());
    GuiNodalNodeZoneButton& button = *n.get_plug_button();
    lay_out(n);
    EXPECT_EQ(button.get_shape(), GuiNodalNodeZoneButton::SHAPE_COLLAPSE);
    // Inside the title band, at its right edge, and picked before the header.
    GMathVec2<int> const& at = button.get_world_pos();
    EXPECT_LE(at[0] + button.get_width(), n.get_width());
    EXPECT_GE(at[1] - button.get_height(), -n.get_header().get_height());
    GMathVec2<float> const centre(at[0] + button.get_width() / 2.0f, at[1] - button.get_height() / 2.0f);
    EXPECT_EQ(graph().pick(centre), &button);

    button.click();
    lay_out(n);
    EXPECT_EQ(n.get_zones_display_mode(), GuiNodalNode::ZONE_DISPLAY_CONNECTED);
    EXPECT_EQ(button.get_shape(), GuiNodalNodeZoneButton::SHAPE_EXPAND);
    button.click();
    EXPECT_EQ(n.get_zones_display_mode(), GuiNodalNode::ZONE_DISPLAY_ALL);
    n.remove_plug_button();
    EXPECT_FALSE(n.has_plug_button());
}

TEST_F(GuiNodalRowsTest, CountButtonsComeWithACountAndLineUpFromTheRight)
{
    GuiNodalNode& n = node("n");
    n.add_plug_button();
    n.set_references_count(3);
    n.set_dependencies_count(12);
    lay_out(n);
    ASSERT_NE(n.get_references_button(), nullptr);
    ASSERT_NE(n.get_dependencies_button(), nullptr);
    EXPECT_GT(n.get_plug_button()->get_world_pos()[0], n.get_references_button()->get_world_pos()[0]);
    EXPECT_GT(n.get_references_button()->get_world_pos()[0], n.get_dependencies_button()->get_world_pos()[0]);
    // The buttons do not cover the title.
    int buttons = 0;
    for (GuiNodalNodeZoneButton* button : n.get_header_buttons()) buttons += button->get_width();
    EXPECT_GT(n.get_width(), n.get_header().get_width() + buttons);
    n.set_references_count(0);
    EXPECT_EQ(n.get_references_button(), nullptr);
    EXPECT_EQ(n.get_header_buttons().size(), 2u);
}

TEST_F(GuiNodalRowsTest, AnEmbeddedNodeShowsItsRowsInItsHostAndItsLinksEndThere)
{
    GuiNodalNode& host = node("host", 0, 0);
    GuiNodalNode& inner = node("inner", 500, 500);
    GuiNodalNode& source = node("source", -300, 0);
    row(host, "own");
    Row& inner_row = row(inner, "inner row");
    GuiNodalLink* to_row = graph().create_link(output(source), input(inner_row));
    GuiNodalLink* to_node = graph().create_link(output(source), input(inner));

    host.set_embedded_node(&inner);
    lay_out(host);
    EXPECT_TRUE(inner.is_embedded());
    EXPECT_EQ(inner.get_embedding_node(), &host);
    ASSERT_EQ(host.get_zones().size(), 1u);
    EXPECT_EQ(host.get_zone(0), &inner_row);
    EXPECT_EQ(inner_row.get_world_pos()[1], -host.get_header().get_height());
    EXPECT_EQ(to_row->get_visible_node_to(), &host);
    EXPECT_EQ(to_row->get_to_x(), 0);  // the row's plug, on the host's side
    EXPECT_EQ(to_node->get_to_y(), host.get_in_link_y());
    EXPECT_EQ(graph().pick(GMathVec2<float>(20.0f, inner_row.get_world_pos()[1] - 2.0f)), &inner_row);

    host.set_embedded_node(nullptr);
    lay_out(host);
    EXPECT_FALSE(inner.is_embedded());
    EXPECT_EQ(host.get_zone(0)->get_parent(), &host);
    EXPECT_EQ(to_row->get_visible_node_to(), &inner);
}

TEST_F(GuiNodalRowsTest, EmbeddingThatWouldLoopOrShareIsRefused)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b");
    GuiNodalNode& c = node("c");
    a.set_embedded_node(&b);
    LogRecorder log;
    a.set_embedded_node(&a);
    c.set_embedded_node(&b);  // already shown in a
    b.set_embedded_node(&a);  // a holds b
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    EXPECT_EQ(a.get_embedded_node(), &b);
    EXPECT_EQ(c.get_embedded_node(), nullptr);
    EXPECT_EQ(b.get_embedded_node(), nullptr);
    // Removing the shown node gives the host its own rows back.
    graph().remove_node(b);
    EXPECT_EQ(a.get_embedded_node(), nullptr);
    EXPECT_TRUE(a.get_zones().empty());
}

TEST_F(GuiNodalRowsTest, OnePlugRowAtATimePassesThrough)
{
    GuiNodalNode& n = node("n");
    Row& first = row(n, "first");
    Row& second = row(n, "second");
    auto* plain = new Row(n, "no plugs");
    n.add_zone(*plain);
    n.set_pass_through(&first);
    n.set_pass_through(&second);
    EXPECT_EQ(n.get_pass_through(), &second);
    EXPECT_FALSE(first.get_anchor(Node::NODE_ANCHOR_LEFT)->is_pass_through());
    EXPECT_TRUE(second.get_anchor(Node::NODE_ANCHOR_RIGHT)->is_pass_through());
    LogRecorder log;
    n.set_pass_through(plain);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(n.get_pass_through(), &second);
    n.remove_zone(second);
    EXPECT_EQ(n.get_pass_through(), nullptr);
}

TEST_F(GuiNodalRowsTest, DotsComeAndGoThroughTheView)
{
    GuiNodalDot* dot = graph().instantiate_dot(Node::NODE_ANCHOR_SIDES, 20);
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->get_width(), 20);
    EXPECT_EQ(graph().get_node_count(), 1u);
    graph().remove_dot(*dot);
    EXPECT_EQ(graph().get_node_count(), 0u);
}

TEST_F(GuiNodalRowsTest, ANodeLeavingASubnetHidesTheRowsItsDisplayModeHides)
{
    GuiNodalNode& n = node("n");
    GuiNodalNode& source = node("source", -300, 0);
    Row& used = row(n, "used");
    Row& unused = row(n, "unused");
    graph().create_link(source, input(used));
    n.set_zones_display_mode(GuiNodalNode::ZONE_DISPLAY_CONNECTED);
    lay_out(n);
    int const height = n.get_height();
    GuiNodalSubnet& subnet = *graph().instantiate_subnet("group", 0, 0);
    subnet.add_to_content(n);
    EXPECT_TRUE(used.get_is_hidden());
    subnet.remove_from_content(n);
    lay_out(n);
    EXPECT_FALSE(used.get_is_hidden());
    EXPECT_TRUE(unused.get_is_hidden());
    EXPECT_TRUE(input(unused).get_is_hidden());
    EXPECT_EQ(n.get_height(), height);
}

}  // namespace
