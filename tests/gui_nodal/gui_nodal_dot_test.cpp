// Dots: their centre, their size and the node that feeds them.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Node = GuiNodalNodeBase;

class GuiNodalDotTest : public NodalTestBase<> {
protected:
    GuiNodalDot& dot(int diameter = GuiNodalDot::DEFAULT_DIAMETER)
    {
        return static_cast<GuiNodalDot&>(*graph().add_node(new GuiNodalDot(graph(), Node::NODE_ANCHOR_SIDES, diameter)));
    }
    GuiNodalLink& join(Node& from, Node& to)
    {
        return *graph().create_link(*from.get_anchor(Node::NODE_ANCHOR_RIGHT), *to.get_anchor(Node::NODE_ANCHOR_LEFT));
    }
};

TEST_F(GuiNodalDotTest, ADotIsPlacedByItsCentre)
{
    struct Row {
        int diameter;
        GMathVec2<int> corner;  // for a centre at (100, 100)
    } const rows[] = {{12, {94, 106}}, {13, {93, 107}}, {1, {99, 101}}};
    for (Row const& row : rows) {
        GuiNodalDot& d = dot(row.diameter);
        d.move_to(100, 100);
        EXPECT_EQ(d.get_world_pos(), row.corner) << row.diameter;
        EXPECT_EQ(d.get_width(), d.get_height());
    }
}

TEST_F(GuiNodalDotTest, LinksRunThroughTheCentre)
{
    GuiNodalDot& d = dot(20);
    d.move_to(50, -50);
    GuiNodalNode& source = *graph().add_node(new GuiNodalNode(graph(), "source", -300, 0, Node::NODE_ANCHOR_SIDES));
    GuiNodalLink& in = join(source, d);
    EXPECT_NE(graph().pick(GMathVec2<float>(50, -50)), nullptr);  // lays everything out
    in.update_content();
    EXPECT_EQ(in.get_curve().back(), GMathVec2<float>(50, -50));
    EXPECT_EQ(graph().pick(GMathVec2<float>(-200, 200)), nullptr);
}

TEST_F(GuiNodalDotTest, TheInputNodeIsFoundUpstreamThroughDots)
{
    GuiNodalNode& source = *graph().add_node(new GuiNodalNode(graph(), "source", 0, 0, Node::NODE_ANCHOR_SIDES));
    GuiNodalDot& first = dot();
    GuiNodalDot& second = dot();
    EXPECT_EQ(second.get_input_node(), nullptr);
    join(first, second);
    EXPECT_EQ(second.get_input_node(), nullptr);  // the chain has no source yet
    join(source, first);
    EXPECT_EQ(second.get_input_node(), &source);
    // Dots feeding each other in a ring have no input.
    GuiNodalDot& a = dot();
    GuiNodalDot& b = dot();
    join(a, b);
    join(b, a);
    EXPECT_EQ(a.get_input_node(), nullptr);
    LogRecorder log;
    a.set_width(0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(a.get_width(), GuiNodalDot::DEFAULT_DIAMETER);
}

}  // namespace
