// Nodes growing under the pointer while the view is zoomed out: the delays, the steps of the
// animation, the pointer holding a shrinking node, the plugs offered during a link
// interaction, and picking a grown node.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/app/app_base.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"

namespace {

using Node = GuiNodalNodeBase;

class GuiNodalFadingTest : public NodalTestBase<> {
protected:
    GuiNodalNode& node(int x = 0, int y = 0)
    {
        GuiNodalNode& n = *graph().add_node(new GuiNodalNode(graph(), "n", x, y, Node::NODE_ANCHOR_SIDES));
        n.update_content(graph().get_dc());
        return n;
    }
    // Begins the fade and returns the time it began, at the latest.
    double begin_in(GuiNodalNode& n)
    {
        n.begin_fade_in();
        return AppBase::get_instance()->get_run_time();
    }
    double begin_out(GuiNodalNode& n)
    {
        n.begin_fade_out();
        return AppBase::get_instance()->get_run_time();
    }
    // Runs the fade to its end from `start`, in steps of 10 ms.
    static void finish(GuiNodalNode& n, double start)
    {
        for (double t = start; n.step_fading(t) && t < start + 5000.0; t += 10.0) {
        }
    }
};

TEST_F(GuiNodalFadingTest, AHoveredNodeGrowsToItsUnzoomedSizeAfterTheDelayInSteps)
{
    graph().set_zoom_ratio(0.25f);
    GuiNodalNode& n = node();
    EXPECT_FLOAT_EQ(n.get_fade_in_target(), 4.0f);
    double const start = begin_in(n);
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_IN_DELAYED));
    EXPECT_TRUE(n.step_fading(start + GuiNodal::NODE_HIGHLIGHT_DELAY - 2.0));
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_IN_DELAYED));
    double const grow = start + GuiNodal::NODE_HIGHLIGHT_DELAY;
    EXPECT_TRUE(n.step_fading(grow));
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_IN));
    // Halfway through, in whole steps: halfway between 1 and 4.
    EXPECT_TRUE(n.step_fading(grow + GuiNodalNode::FADE_DURATION / 2.0));
    EXPECT_FLOAT_EQ(n.get_animated_scale(), 2.5f);
    // Just short of a step, the scale stays at the step before.
    EXPECT_TRUE(n.step_fading(grow + GuiNodalNode::FADE_DURATION / 2.0 + 1.0));
    EXPECT_FLOAT_EQ(n.get_animated_scale(), 2.5f);
    EXPECT_FALSE(n.step_fading(grow + GuiNodalNode::FADE_DURATION));
    EXPECT_FLOAT_EQ(n.get_animated_scale(), 4.0f);
    EXPECT_FALSE(n.get_is_fading());
}

TEST_F(GuiNodalFadingTest, TheShrinkWaitsWhileThePointerStaysNearTheBox)
{
    graph().set_zoom_ratio(0.5f);
    GuiNodalNode& n = node(0, 0);
    finish(n, begin_in(n));
    ASSERT_FLOAT_EQ(n.get_animated_scale(), 2.0f);
    // Just outside the box, within its 15 % margin.
    graph().set_graph_mouse_pos(GMathVec2<int>(n.get_width() + n.get_width() / 10, 0));
    double const start = begin_out(n);
    EXPECT_TRUE(n.step_fading(start + 5000.0));
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_OUT_DELAYED));
    graph().set_graph_mouse_pos(GMathVec2<int>(n.get_width() * 2, 0));
    EXPECT_TRUE(n.step_fading(start + 5000.0 + GuiNodal::NODE_HIGHLIGHT_DELAY - 1.0));
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_OUT_DELAYED));
    EXPECT_TRUE(n.step_fading(start + 5000.0 + GuiNodal::NODE_HIGHLIGHT_DELAY));
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_OUT));
    finish(n, start + 5000.0 + GuiNodal::NODE_HIGHLIGHT_DELAY);
    EXPECT_FLOAT_EQ(n.get_animated_scale(), 1.0f);
}

TEST_F(GuiNodalFadingTest, NothingFadesAtFullSizeOrWhenNotAllowed)
{
    GuiNodalNode& n = node();
    begin_in(n);  // zoom ratio 1
    EXPECT_FALSE(n.get_is_fading());
    graph().set_zoom_ratio(0.5f);
    n.set_animatable(false);
    begin_in(n);
    EXPECT_FALSE(n.get_is_fading());
    n.set_animatable(true);
    graph().set_node_zoom_allowed(false);
    begin_in(n);
    EXPECT_FALSE(n.get_is_fading());
    // Zooming back in while a fade runs clears it at once.
    graph().set_node_zoom_allowed(true);
    double const start = begin_in(n);
    graph().set_zoom_ratio(1.0f);
    EXPECT_FALSE(n.step_fading(start + 1.0));
    EXPECT_FALSE(n.get_is_fading());
    EXPECT_FLOAT_EQ(n.get_animated_scale(), 1.0f);
}

TEST_F(GuiNodalFadingTest, DuringALinkInteractionANodeGrowsAtOnceAndOffersAllItsPlugs)
{
    graph().set_zoom_ratio(0.5f);
    GuiNodalNode& n = node();
    auto* row = new GuiNodalNodeZoneText(n, "idle row");
    row->activate_anchor(Node::NODE_ANCHOR_LEFT);
    n.add_zone(*row);
    n.set_zones_display_mode(GuiNodalNode::ZONE_DISPLAY_CONNECTED);
    n.update_content(graph().get_dc());
    ASSERT_TRUE(row->get_is_hidden());

    graph().set_link_interaction(true);
    double const start = begin_in(n);
    EXPECT_TRUE(n.step_fading(start));  // no delay
    EXPECT_TRUE(n.get_state_is_active(Node::NODE_STATE_FADING_IN));
    finish(n, start);
    n.update_content(graph().get_dc());
    EXPECT_FALSE(row->get_is_hidden());

    graph().set_link_interaction(false);
    graph().set_graph_mouse_pos(GMathVec2<int>(10000, 10000));
    finish(n, begin_out(n));
    n.update_content(graph().get_dc());
    EXPECT_TRUE(row->get_is_hidden());
    EXPECT_EQ(n.get_zones_display_mode(), GuiNodalNode::ZONE_DISPLAY_CONNECTED);
}

TEST_F(GuiNodalFadingTest, AGrownNodeIsPickedWhereItIsDrawn)
{
    graph().set_zoom_ratio(0.5f);
    GuiNodalNode& n = node(0, 0);
    GMathVec2<float> const beyond(n.get_width() + n.get_width() / 4.0f, -n.get_height() / 2.0f);
    EXPECT_NE(graph().pick(beyond), &n);
    finish(n, begin_in(n));
    EXPECT_EQ(graph().pick(beyond), &n);
}

}  // namespace

namespace {

TEST_F(GuiNodalFadingTest, LinksFollowThePlugsOfAGrownNode)
{
    GuiNodalNode& n = node(0, 0);
    auto* row = new GuiNodalNodeZoneText(n, "row");
    row->activate_anchor(Node::NODE_ANCHOR_LEFT);
    n.add_zone(*row);
    GuiNodalNode& source = node(-400, 0);
    GuiNodalLink* to_row = graph().create_link(*source.get_anchor(Node::NODE_ANCHOR_RIGHT),
                                               *row->get_anchor(Node::NODE_ANCHOR_LEFT));
    GuiNodalLink* to_side = graph().create_link(*source.get_anchor(Node::NODE_ANCHOR_RIGHT),
                                                *n.get_anchor(Node::NODE_ANCHOR_LEFT));
    n.update_content(graph().get_dc());
    GMathVec2<int> const plug = row->get_anchor(Node::NODE_ANCHOR_LEFT)->get_world_pos();
    float const cx = n.get_width() / 2.0f;
    float const cy = -n.get_height() / 2.0f;
    n.set_scale(2.0f);
    n.update_content(graph().get_dc());
    // Twice as far from the centre as at scale 1.
    EXPECT_EQ(to_row->get_to_x(), static_cast<int>(std::lround(cx + (plug[0] - cx) * 2.0f)));
    EXPECT_EQ(to_row->get_to_y(), static_cast<int>(std::lround(cy + (plug[1] - cy) * 2.0f)));
    EXPECT_EQ(to_side->get_to_x(), static_cast<int>(std::lround(cx - n.get_width())));
    EXPECT_EQ(to_side->get_to_y(), static_cast<int>(std::lround(cy)));
}

}  // namespace
