// Node-graph links: their ends and states, shapes, and the curve they are drawn and picked
// along.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Link = GuiNodalLink;
using Node = GuiNodalNodeBase;

using Box = NodalTestBox;

class GuiNodalLinkTest : public NodalTestBase<> {
protected:
    static bool has_link(Node const& node, Link const& link)
    {
        for (size_t i = 0; i < node.get_links_count(); ++i)
            if (node.get_link(i) == &link) return true;
        return false;
    }
};

TEST(GuiNodalLinkNames, ShapesReplaceTheirOwnGroup)
{
    EXPECT_STREQ(Link::get_link_state_name(Link::LINK_STATE_CREATION_DND), "LINK_STATE_CREATION_DND");
    EXPECT_STREQ(Link::get_link_state_name(static_cast<Link::LinkState>(5)), "");
    EXPECT_STREQ(Link::get_link_shape_name(Link::LINK_SHAPE_BRIGHT), "LINK_SHAPE_BRIGHT");
    EXPECT_STREQ(Link::get_link_shape_name(128), "");
}

TEST_F(GuiNodalLinkTest, ShapesKeepTheOtherGroup)
{
    Box a(graph(), 0, 0), b(graph(), 300, 0);
    Link link(graph(), a, b);
    EXPECT_EQ(link.get_shapes(), 0x201u);
    link.set_shape(Link::LINK_SHAPE_DASHED);
    EXPECT_EQ(link.get_shapes(), 0x202u);
    link.set_shape(128);
    EXPECT_EQ(link.get_shapes(), 0x82u);
    link.activate_shape(Link::LINK_SHAPE_STRONG | 0x400);
    EXPECT_TRUE(link.get_shape_is_active(Link::LINK_SHAPE_STRONG | Link::LINK_SHAPE_DASHED));
    link.desactivate_shape(Link::LINK_SHAPE_DASHED);
    EXPECT_FALSE(link.get_shape_is_active(Link::LINK_SHAPE_STRONG | Link::LINK_SHAPE_DASHED));
}

TEST_F(GuiNodalLinkTest, EndsListTheLinkWhileTheyHoldIt)
{
    Box a(graph(), 0, 0), b(graph(), 300, 0), c(graph(), 300, 200);
    {
        Link link(graph(), a, b);
        EXPECT_TRUE(has_link(a, link));
        EXPECT_TRUE(has_link(b, link));
        link.set_node_to(&c);
        EXPECT_FALSE(has_link(b, link));
        EXPECT_TRUE(has_link(c, link));
        EXPECT_EQ(link.get_node_to(), &c);
    }
    EXPECT_EQ(a.get_links_count(), 0u);  // the link left its ends when destroyed
    EXPECT_EQ(c.get_links_count(), 0u);
}

TEST_F(GuiNodalLinkTest, ConnexityGathersTheLinksOfABoxAndItsPlugs)
{
    Box a(graph(), 0, 0), b(graph(), 300, 0), c(graph(), 600, 0);
    Link into_plug(graph(), b, *a.get_anchor(Node::NODE_ANCHOR_LEFT));
    Link out_of_box(graph(), a, c);
    Link elsewhere(graph(), b, c);
    std::vector<Link*> all, leaving, arriving;
    a.get_connexity(all);
    a.get_connexity_from(leaving);
    a.get_connexity_to(arriving);
    a.get_connexity(all);  // asking again adds nothing
    EXPECT_EQ(all.size(), 2u);
    EXPECT_EQ(leaving, std::vector<Link*>{&out_of_box});
    EXPECT_EQ(arriving, std::vector<Link*>{&into_plug});
}

TEST_F(GuiNodalLinkTest, DestructionDetachesReattachesOrCancels)
{
    Box a(graph(), 0, 0), b(graph(), 300, 0), c(graph(), 300, 200);
    Link link(graph(), a, b);
    link.complete_destruction(&c);  // not in a destruction: nothing
    EXPECT_EQ(link.get_node_to(), &b);

    link.begin_destruction(b);
    EXPECT_EQ(link.get_state(), Link::LINK_STATE_DESTRUCTION);
    EXPECT_EQ(link.get_dangling_node(), &a);
    link.complete_destruction(&c);
    EXPECT_EQ(link.get_node_to(), &c);
    EXPECT_EQ(link.get_state(), Link::LINK_STATE_NORMAL);
    EXPECT_FALSE(has_link(b, link));

    link.begin_destruction(a);
    link.cancel_destruction();
    EXPECT_EQ(link.get_node_from(), &a);
    EXPECT_EQ(link.get_state(), Link::LINK_STATE_NORMAL);

    link.begin_destruction(c);
    link.complete_destruction(nullptr);
    EXPECT_EQ(link.get_state(), Link::LINK_STATE_DESTROYED);
    EXPECT_EQ(link.get_node_from(), nullptr);
    EXPECT_EQ(link.get_node_to(), nullptr);
    EXPECT_FALSE(has_link(a, link));
    EXPECT_FALSE(has_link(c, link));
}

TEST_F(GuiNodalLinkTest, ACreatedLinkFollowsThePointerUntilItIsAttached)
{
    Box a(graph(), 0, 0), b(graph(), 300, -100);
    Link link(graph(), &a, false);
    EXPECT_EQ(link.get_state(), Link::LINK_STATE_CREATION);
    EXPECT_EQ(link.get_dangling_node(), &a);
    graph().set_graph_mouse_pos(GMathVec2<int>(250, -60));
    link.compute_curve();
    EXPECT_EQ(link.get_curve().back(), GMathVec2<float>(250, -60));
    link.complete_creation(b);
    EXPECT_EQ(link.get_node_to(), &b);
    EXPECT_EQ(link.get_dangling_node(), nullptr);
    EXPECT_TRUE(has_link(b, link));
    link.update_content();
    EXPECT_EQ(link.get_curve().back(), GMathVec2<float>(300, -120));
}

TEST_F(GuiNodalLinkTest, TheCurveJoinsTheAttachPointsAndFollowsMoves)
{
    Box a(graph(), 0, 0), b(graph(), 300, -200);
    Link link(graph(), *a.get_anchor(Node::NODE_ANCHOR_RIGHT), b);
    link.update_content();
    // The plug has no offsets: the link starts at its position; the box takes it in at its left middle.
    EXPECT_EQ(link.get_curve().front(), GMathVec2<float>(a.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_world_pos()[0],
                                                         a.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_world_pos()[1]));
    EXPECT_EQ(link.get_curve().back(), GMathVec2<float>(300, -220));
    EXPECT_EQ(link.get_visible_node_from(), &a);  // a plug stands for its box
    EXPECT_EQ(link.get_visible_node_to(), &b);
    size_t const steep = link.get_curve().size();
    b.move(0, 190);  // almost level
    EXPECT_TRUE(link.get_is_dirty());
    link.update_content();
    EXPECT_EQ(link.get_curve().back(), GMathVec2<float>(300, -30));
    EXPECT_LT(link.get_curve().size(), steep);
    EXPECT_GE(link.get_curve().size(), 2u);
    // Picking: on the curve, and far from it.
    GMathVec2<float> const middle = link.get_curve()[link.get_curve().size() / 2];
    EXPECT_LT(link.get_distance(middle), 0.01f);
    EXPECT_GT(link.get_distance(GMathVec2<float>(150, 400)), 300.0f);
}

TEST_F(GuiNodalLinkTest, ABackwardLinkLoopsOutOfItsStart)
{
    Box a(graph(), 300, 0), b(graph(), 0, -100);
    Link link(graph(), a, b);
    link.update_content();
    // It leaves to the right of its start although its end lies to the left.
    float rightmost = -1e9f;
    for (GMathVec2<float> const& p : link.get_curve()) rightmost = std::max(rightmost, p[0]);
    EXPECT_GT(rightmost, static_cast<float>(link.get_from_x()) + 1.0f);
}

TEST_F(GuiNodalLinkTest, AnEndDestroyedUnderALinkLeavesItFree)
{
    Box a(graph(), 0, 0);
    auto b = std::make_unique<Box>(graph(), 300, -100);
    Link link(graph(), a, *b);
    b.reset();
    EXPECT_EQ(link.get_node_to(), nullptr);
    EXPECT_TRUE(link.get_is_dirty());
    graph().set_graph_mouse_pos(GMathVec2<int>(10, 20));
    link.update_content();  // the free end follows the pointer
    EXPECT_EQ(link.get_curve().back(), GMathVec2<float>(10, 20));
}

TEST_F(GuiNodalLinkTest, BadRequestsAreRefusedWithAWarning)
{
    Box a(graph(), 0, 0), b(graph(), 300, 0), stranger(graph(), 0, 300);
    Link link(graph(), a, b);
    LogRecorder log;
    link.begin_destruction(stranger);
    link.set_state(static_cast<Link::LinkState>(9));
    Link loose(graph(), nullptr, false);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();
    EXPECT_EQ(link.get_state(), Link::LINK_STATE_NORMAL);
    loose.compute_curve();  // both ends at the pointer: no crash, a point
    EXPECT_EQ(loose.get_dangling_node(), nullptr);
}

}  // namespace
