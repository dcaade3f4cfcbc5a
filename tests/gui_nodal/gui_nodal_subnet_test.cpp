// Subnets: hiding their members in place, taking their links, leaving when asked, and being
// entered and left by the view.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "gui/nodal/gui_nodal_subnet_scope.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Node = GuiNodalNodeBase;

class GuiNodalSubnetTest : public NodalTestBase<> {
protected:
    GuiNodalNode& node(char const* name, int x, int y)
    {
        return *graph().add_node(new GuiNodalNode(graph(), name, x, y, Node::NODE_ANCHOR_SIDES));
    }
};

TEST_F(GuiNodalSubnetTest, MembersHideInPlaceAndComeBackWhereTheyWere)
{
    GuiNodalSubnet& subnet = *graph().instantiate_subnet("group", 500, -300);
    GuiNodalNode& a = node("a", 10, -20);
    GuiNodalNode& b = node("b", 200, -20);
    GuiNodalNode& c = node("c", 400, -20);
    subnet.set_content({&a, &b, &c});
    EXPECT_EQ(subnet.get_content(), (std::vector<GuiNodalNodeBase*>{&c, &b, &a}));  // taken from the last
    EXPECT_EQ(subnet.get_header().get_lines()[1].text, CoreString("(3)"));
    EXPECT_TRUE(a.get_is_hidden());
    EXPECT_TRUE(a.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_is_hidden());
    EXPECT_EQ(a.get_parent(), &subnet);
    EXPECT_EQ(a.get_world_pos(), GMathVec2<int>(10, -20));
    subnet.move(100, 0);  // members travel with their subnet while they are in it
    subnet.remove_from_content(c);
    EXPECT_EQ(subnet.get_content(), (std::vector<GuiNodalNodeBase*>{&a, &b}));  // the last took c's place
    EXPECT_FALSE(c.get_is_hidden());
    EXPECT_EQ(c.get_parent(), nullptr);
    EXPECT_EQ(c.get_world_pos(), GMathVec2<int>(500, -20));
    EXPECT_EQ(subnet.get_header().get_lines()[1].text, CoreString("(2)"));
}

TEST_F(GuiNodalSubnetTest, LinksToHiddenMembersEndAtTheSubnetsBox)
{
    GuiNodalNode& outside = node("outside", 0, 0);
    GuiNodalNode& member = node("member", 300, -100);
    GuiNodalLink* link = graph().create_link(outside, member);
    GuiNodalSubnet& subnet = *graph().instantiate_subnet("group", 200, -200);
    subnet.add_to_content(member);
    EXPECT_EQ(link->get_visible_node_to(), &subnet);
    EXPECT_EQ(link->get_to_x(), 200 - GuiNodalSubnet::LINK_OFFSET);
    EXPECT_EQ(link->get_to_y(), subnet.get_in_link_y());
    subnet.remove_from_content(member);
    EXPECT_EQ(link->get_visible_node_to(), &member);
}

TEST_F(GuiNodalSubnetTest, TheDeleteButtonRemovesTheSubnetInTheNextPass)
{
    GuiNodalNode& member = node("member", 300, -100);
    GuiNodalSubnet* subnet = graph().instantiate_subnet("group", 0, 0);
    subnet->add_to_content(member);
    subnet->get_delete_button().click();
    EXPECT_EQ(graph().get_subnets().size(), 1u);  // not inside its own button's event
    for (int i = 0; i < 50 && !graph().get_subnets().empty(); ++i) pump_events(app(), 0.01);
    EXPECT_TRUE(graph().get_subnets().empty());
    EXPECT_FALSE(member.get_is_hidden());
    EXPECT_EQ(member.get_parent(), nullptr);
}

TEST_F(GuiNodalSubnetTest, ItemsThatBelongElsewhereAreRefused)
{
    GuiNodalSubnet& subnet = *graph().instantiate_subnet("group", 0, 0);
    GuiNodalSubnet& other = *graph().instantiate_subnet("other", 0, 0);
    GuiNodalNode& member = node("member", 300, -100);
    other.add_to_content(member);
    LogRecorder log;
    subnet.add_to_content(member);
    subnet.add_to_content(subnet);
    subnet.set_width(0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();
    EXPECT_TRUE(subnet.get_content().empty());
    graph().remove_node(member);
    EXPECT_TRUE(other.get_content().empty());
}

TEST_F(GuiNodalSubnetTest, ShownAgainANestedSubnetKeepsItsMembersHidden)
{
    GuiNodalNode& member = node("member", 300, -100);
    GuiNodalSubnet& inner = *graph().instantiate_subnet("inner", 200, -200);
    GuiNodalSubnet& outer = *graph().instantiate_subnet("outer", 0, 0);
    inner.add_to_content(member);
    outer.add_to_content(inner);
    outer.remove_from_content(inner);
    EXPECT_FALSE(inner.get_is_hidden());
    EXPECT_TRUE(member.get_is_hidden());
    EXPECT_TRUE(member.get_anchor(Node::NODE_ANCHOR_LEFT)->get_is_hidden());
}

TEST_F(GuiNodalSubnetTest, ASubnetOfNothingIsRefused)
{
    LogRecorder log;
    EXPECT_FALSE(graph().run_action("subnet") && !graph().get_subnets().empty());
    EXPECT_TRUE(graph().get_subnets().empty());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

// upstream -> a -> b -> downstream, with `stray` linked only to `upstream`, and the subnet
// holding a and b.
class GuiNodalSubnetScopeTest : public GuiNodalSubnetTest {
protected:
    void SetUp() override
    {
        upstream = &node("upstream", -400, 0);
        a = &node("a", 0, 0);
        b = &node("b", 200, 0);
        downstream = &node("downstream", 600, 0);
        stray = &node("stray", -800, 0);
        into_a = graph().create_link(*upstream, *a);
        inside = graph().create_link(*a, *b);
        out_of_b = graph().create_link(*b, *downstream);
        bypass = graph().create_link(*upstream, *downstream);
        outside = graph().create_link(*stray, *upstream);
        subnet = graph().instantiate_subnet("group", 250, -300);
        subnet->set_content({a, b});
    }
    GuiNodalSubnetScope const& scope() { return graph().get_subnet_scope(); }

    GuiNodalNode *upstream, *a, *b, *downstream, *stray;
    GuiNodalLink *into_a, *inside, *out_of_b, *bypass, *outside;
    GuiNodalSubnet* subnet;
};

TEST_F(GuiNodalSubnetScopeTest, EnteringShowsTheMembersAloneWithPortsForTheCrossingLinks)
{
    ASSERT_TRUE(graph().enter_subnet(*subnet));
    EXPECT_EQ(scope().get_subnet(), subnet);
    for (GuiNodalNode* member : {a, b}) {
        EXPECT_FALSE(member->get_is_hidden());
        EXPECT_EQ(member->get_parent(), nullptr);
    }
    EXPECT_EQ(a->get_world_pos(), GMathVec2<int>(0, 0));  // where they stood
    for (GuiNodalNodeBase* hidden : std::vector<GuiNodalNodeBase*>{upstream, downstream, stray, subnet})
        EXPECT_TRUE(hidden->get_is_hidden());
    GuiNodalSubnet* inputs = scope().get_port(true);
    GuiNodalSubnet* outputs = scope().get_port(false);
    ASSERT_TRUE(inputs && outputs);
    EXPECT_EQ(inputs->get_content(), std::vector<GuiNodalNodeBase*>{upstream});
    EXPECT_EQ(outputs->get_content(), std::vector<GuiNodalNodeBase*>{downstream});
    EXPECT_LT(inputs->get_world_pos()[0] + inputs->get_width(), a->get_world_pos()[0]);
    EXPECT_GT(outputs->get_world_pos()[0], b->get_world_pos()[0] + b->get_width());
    EXPECT_EQ(into_a->get_visible_node_from(), inputs);
    EXPECT_EQ(out_of_b->get_visible_node_to(), outputs);
    struct Row {
        char const* name;
        GuiNodalLink* link;
        bool shown;
    };
    for (Row const& row : {Row{"into a", into_a, true}, Row{"inside", inside, true}, Row{"out of b", out_of_b, true},
                           Row{"bypass", bypass, false}, Row{"outside", outside, false}})
        EXPECT_EQ(scope().is_link_shown(*row.link), row.shown) << row.name;
}

TEST_F(GuiNodalSubnetScopeTest, LeavingPutsEveryBoxBackWithTheChangesMadeInside)
{
    graph().set_smooth_transitions(false);  // back to the viewpoint at once
    GMathVec2<float> const view = graph().get_view_pos();
    int const zoom = graph().get_zoom_factor();
    graph().enter_subnet(*subnet);
    graph().remove_node(*b);
    GuiNodalNode& made = node("made inside", 50, -200);
    ASSERT_TRUE(graph().leave_subnet());
    EXPECT_EQ(scope().get_depth(), 0u);
    EXPECT_EQ(subnet->get_content(), (std::vector<GuiNodalNodeBase*>{a, &made}));
    for (GuiNodalNodeBase* member : subnet->get_content()) {
        EXPECT_TRUE(member->get_is_hidden());
        EXPECT_EQ(member->get_parent(), subnet);
    }
    for (GuiNodalNodeBase* box : std::vector<GuiNodalNodeBase*>{upstream, downstream, stray, subnet}) {
        EXPECT_FALSE(box->get_is_hidden());
        EXPECT_EQ(box->get_parent(), nullptr);
    }
    EXPECT_EQ(upstream->get_world_pos(), GMathVec2<int>(-400, 0));
    EXPECT_EQ(graph().get_view_pos(), view);
    EXPECT_EQ(graph().get_zoom_factor(), zoom);
    EXPECT_EQ(graph().get_selection(), std::vector<GuiNodalNodeBase*>{subnet});
    EXPECT_EQ(into_a->get_visible_node_to(), subnet);
    EXPECT_TRUE(scope().is_link_shown(*bypass));
    EXPECT_FALSE(graph().leave_subnet());  // already outside
}

TEST_F(GuiNodalSubnetScopeTest, NestedSubnetsAreEnteredAndLeftInTurn)
{
    graph().enter_subnet(*subnet);
    GuiNodalSubnet& inner = *graph().instantiate_subnet("inner", 200, -200);
    inner.add_to_content(*b);
    graph().set_selection({&inner});
    ASSERT_TRUE(graph().run_action("enter subnet"));
    EXPECT_EQ(scope().get_depth(), 2u);
    EXPECT_EQ(scope().get_path(), CoreString("group > inner"));
    EXPECT_FALSE(b->get_is_hidden());
    EXPECT_TRUE(a->get_is_hidden());
    // b's links: from a (a member one level up) and to downstream, whose stand-in is the
    // outer level's port, itself standing in the inner level's port.
    EXPECT_EQ(scope().get_port(true)->get_content(), std::vector<GuiNodalNodeBase*>{a});
    EXPECT_EQ(out_of_b->get_visible_node_to(), scope().get_port(false));
    ASSERT_TRUE(graph().run_action("leave subnet"));
    EXPECT_EQ(scope().get_subnet(), subnet);
    EXPECT_TRUE(b->get_is_hidden());
    EXPECT_FALSE(a->get_is_hidden());
    EXPECT_EQ(out_of_b->get_visible_node_to(), scope().get_port(false));
    EXPECT_EQ(downstream->get_parent(), scope().get_port(false));
    graph().leave_subnet();
    EXPECT_EQ(subnet->get_content(), (std::vector<GuiNodalNodeBase*>{a, &inner}));  // b went into inner
    EXPECT_TRUE(inner.get_is_hidden());
    EXPECT_EQ(b->get_parent(), &inner);
    EXPECT_FALSE(downstream->get_is_hidden());
    EXPECT_EQ(out_of_b->get_visible_node_to(), downstream);
}

TEST_F(GuiNodalSubnetScopeTest, ASubnetThatIsNotShownIsNotEntered)
{
    GuiNodalSubnet& outer = *graph().instantiate_subnet("outer", 0, 0);
    outer.add_to_content(*subnet);
    LogRecorder log;
    EXPECT_FALSE(graph().enter_subnet(*subnet));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_EQ(scope().get_depth(), 0u);
    EXPECT_TRUE(a->get_is_hidden());
    EXPECT_FALSE(upstream->get_is_hidden());
}

TEST_F(GuiNodalSubnetScopeTest, RemovingTheEnteredSubnetLeavesItsMembersFreeOnLeaving)
{
    graph().enter_subnet(*subnet);
    graph().remove_subnet(*subnet);
    EXPECT_EQ(scope().get_subnet(), nullptr);
    graph().leave_subnet();
    for (GuiNodalNodeBase* box : std::vector<GuiNodalNodeBase*>{a, b, upstream, downstream}) {
        EXPECT_FALSE(box->get_is_hidden());
        EXPECT_EQ(box->get_parent(), nullptr);
    }
    EXPECT_EQ(into_a->get_visible_node_from(), upstream);
}

}  // namespace
