// Subnets: hiding their members in place, taking their links, and leaving when asked.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_subnet.h"
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

}  // namespace
