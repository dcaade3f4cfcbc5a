// Finding the item under a graph point: the spatial index, then the view's pick order of
// plugs, zones, nodes and links.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_spatial_index.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"

namespace {

using Node = GuiNodalNodeBase;
using Point = GMathVec2<float>;

class GuiNodalPickTest : public NodalTestBase<> {
protected:
    GuiNodalNode& node(char const* name, int x, int y)
    {
        return *graph().add_node(new GuiNodalNode(graph(), name, x, y, Node::NODE_ANCHOR_SIDES));
    }
    // The node of the picked item (itself, or the node of a zone or plug).
    GuiNodalItem* node_at(Point const& point)
    {
        GuiNodalItem* item = graph().pick(point);
        auto* box = dynamic_cast<GuiNodalNodeBase*>(item);
        return box && box->get_parent() ? box->get_parent() : item;
    }
};

TEST_F(GuiNodalPickTest, TheIndexFindsBoxesThatHoldThePointInInsertionOrder)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 0, 0);
    GuiNodalNode& c = node("c", 0, 0);
    GuiNodalSpatialIndex index(100);
    index.insert(b, GMathVec2<int>(-50, -50), GMathVec2<int>(50, 50));
    index.insert(a, GMathVec2<int>(40, 40), GMathVec2<int>(-250, -10));  // corners swapped
    index.insert(c, GMathVec2<int>(-100000, -100000), GMathVec2<int>(100000, 100000));  // kept apart
    std::vector<GuiNodalItem*> items;
    index.query(Point(0, 0), items);
    EXPECT_EQ(items, (std::vector<GuiNodalItem*>{&b, &a, &c}));
    index.query(Point(-200, 0), items);
    EXPECT_EQ(items, (std::vector<GuiNodalItem*>{&a, &c}));
    index.query(Point(99999, -99999), items);
    EXPECT_EQ(items, (std::vector<GuiNodalItem*>{&c}));
    index.query(Point(NAN, 0), items);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(index.get_item_count(), 3u);
}

TEST_F(GuiNodalPickTest, PlugsComeBeforeZonesAndZonesBeforeTheirNode)
{
    GuiNodalNode& n = node("picked", 100, -100);
    auto* zone = new GuiNodalNodeZoneText(n, "a zone", 12);
    n.add_zone(*zone);
    EXPECT_EQ(graph().pick(Point(50, -50)), nullptr);  // background
    GuiNodalItem* header = graph().pick(Point(110, -102));
    EXPECT_EQ(header, &n.get_header());
    GMathVec2<int> const zone_pos = zone->get_world_pos();
    EXPECT_EQ(graph().pick(Point(zone_pos[0] + 20, zone_pos[1] - 2)), zone);
    GMathVec2<int> const right = n.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_world_pos();
    // A plug is found on both sides of the node's edge.
    EXPECT_EQ(graph().pick(Point(right[0] + 4, right[1])), n.get_anchor(Node::NODE_ANCHOR_RIGHT));
    EXPECT_EQ(graph().pick(Point(right[0] - 4, right[1] + 2)), n.get_anchor(Node::NODE_ANCHOR_RIGHT));
    EXPECT_EQ(graph().pick(Point(right[0] + 40, right[1])), nullptr);
}

TEST_F(GuiNodalPickTest, TheLastNodeWinsWhereNodesOverlapAndMovesAreFollowed)
{
    GuiNodalNode& under = node("under", 0, 0);
    GuiNodalNode& over = node("over", 50, 0);
    under.update_content(graph().get_dc());
    Point const body(70, -under.get_height() + 2);
    EXPECT_EQ(node_at(body), &over);
    over.move(1000, 0);
    EXPECT_EQ(node_at(body), &under);
    EXPECT_EQ(node_at(Point(1070, -under.get_height() + 2)), &over);
}

TEST_F(GuiNodalPickTest, LinksArePickedWithinTheirToleranceOnScreen)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 400, -300);
    GuiNodalLink* link = graph().create_link(a, b);
    ASSERT_NE(graph().pick(Point(0, 0)), link);  // forces the layout and the curve
    GMathVec2<float> const middle = link->get_curve()[link->get_curve().size() / 2];
    EXPECT_EQ(graph().pick(middle), link);
    EXPECT_EQ(graph().pick(Point(middle[0] + 3, middle[1])), link);
    EXPECT_EQ(graph().pick(Point(middle[0] + 30, middle[1])), nullptr);
    // Zoomed out, the same screen tolerance covers more graph units.
    graph().set_zoom_ratio(0.1f);
    EXPECT_EQ(graph().pick(Point(middle[0] + 30, middle[1])), link);
}

}  // namespace
