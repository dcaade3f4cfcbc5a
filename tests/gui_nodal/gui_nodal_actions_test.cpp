// The node-graph view's actions: which are registered with which shortcut, grouping the
// selection in a backdrop or subnet (and refusing a selection spread over containers), the
// plug display actions, link culling, node labels while zoomed out, and the label setting
// stored as an older flag.
#include <gtest/gtest.h>

#include "gui/core/gui_action.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_link_editor.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "gui/nodal/gui_nodal_subnet.h"
#include "host/app/app_base.h"
#include "host/parser/parser_group.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Node = GuiNodalNodeBase;

class PropertyNodal : public GuiNodal {
public:
    using GuiNodal::GuiNodal;
    void apply_nodes_property(std::vector<GuiNodalNode*> const& nodes) override
    {
        issuer_while_applying = get_is_move_issuer();
        applied = nodes;
    }
    std::vector<GuiNodalNode*> applied;
    bool issuer_while_applying = false;
};

class GuiNodalActionsTest : public NodalTestBase<PropertyNodal> {
protected:
    GuiNodalNode& node(CoreString const& name, int x, int y)
    {
        GuiNodalNode& n = *graph().add_node(new GuiNodalNode(graph(), name, x, y, Node::NODE_ANCHOR_SIDES));
        n.update_content(graph().get_dc());
        return n;
    }
};

TEST_F(GuiNodalActionsTest, TheViewRegistersItsActionsWithTheirShortcutsAndTheHideModeItsOwn)
{
    struct Row {
        char const* name;
        char const* shortcut;
    };
    for (Row const row : {Row{"fit", "F"}, Row{"fit all", "A"}, Row{"make_visible", "Alt+F"}, Row{"grid", "G"},
                          Row{"cull links", "K"}, Row{"display_node_label", "Shift+N"}, Row{"backdrop", "B"}, Row{"start_connecting", "X"},
                          Row{"tangent links", "T"}, Row{"subnet", ""}, Row{"collapse selection", ""}}) {
        GuiAction const* action = graph().get_action(row.name);
        ASSERT_NE(action, nullptr) << row.name;
        EXPECT_EQ(action->get_shortcut(), CoreString(row.shortcut)) << row.name;
    }
    EXPECT_EQ(graph().get_action("hide"), nullptr);
    GuiNodal hiding(make_window(200, 100), 0, 0, 200, 100, false, true);
    ASSERT_NE(hiding.get_action("hide"), nullptr);
    EXPECT_EQ(hiding.get_action("hide")->get_shortcut(), CoreString("H"));
    EXPECT_EQ(hiding.get_action("backdrop"), nullptr);
    EXPECT_EQ(hiding.get_action("subnet"), nullptr);
    LogRecorder log;
    EXPECT_FALSE(graph().run_action("fly"));
    EXPECT_FALSE(graph().run_action("hide"));  // not in this view's mode
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
}

TEST_F(GuiNodalActionsTest, ABackdropOrSubnetGroupsASelectionInOneContainerOnly)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 200, -100);
    EXPECT_TRUE(graph().run_action("backdrop"));  // nothing selected: nothing made
    EXPECT_TRUE(graph().get_backdrops().empty());
    graph().set_selection({&a, &b});
    GuiNodalBackdrop* frame = graph().on_backdrop_selection();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->get_title(), CoreString("backdrop selection"));
    EXPECT_TRUE(frame->is_in_content(a) && frame->is_in_content(b));
    graph().complete_backdrop_update_request();
    EXPECT_TRUE(frame->is_in_content(a) && frame->is_in_content(b));  // it holds them whole

    GuiNodalNode& outside = node("outside", 3000, 0);
    graph().set_selection({&a, &outside});
    LogRecorder log;
    EXPECT_EQ(graph().on_backdrop_selection(), nullptr);
    EXPECT_EQ(graph().on_subnet_selection(), nullptr);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_NE(log.dump().find("Cannot create a single Backdrop for selected nodes."), std::string::npos);
    EXPECT_NE(log.dump().find("Cannot create a single Subnet for selected nodes."), std::string::npos);
    EXPECT_EQ(graph().get_backdrops().size(), 1u);
    EXPECT_TRUE(graph().get_subnets().empty());

    graph().set_selection({&a, &b});
    GuiNodalSubnet* subnet = graph().on_subnet_selection();
    ASSERT_NE(subnet, nullptr);
    EXPECT_TRUE(subnet->is_in_content(a) && subnet->is_in_content(b));
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{subnet}));
}

TEST_F(GuiNodalActionsTest, PlugDisplayActionsReachTheSelectionOrEveryNode)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 200, 0);
    graph().set_selection({&b});
    struct Row {
        char const* action;
        GuiNodalNode::ZoneDisplay a;
        GuiNodalNode::ZoneDisplay b;
    };
    for (Row const row : {Row{"collapse all", GuiNodalNode::ZONE_DISPLAY_NONE, GuiNodalNode::ZONE_DISPLAY_NONE},
                          Row{"expand selection", GuiNodalNode::ZONE_DISPLAY_NONE, GuiNodalNode::ZONE_DISPLAY_ALL},
                          Row{"show used plugs all", GuiNodalNode::ZONE_DISPLAY_CONNECTED,
                              GuiNodalNode::ZONE_DISPLAY_CONNECTED},
                          Row{"collapse selection", GuiNodalNode::ZONE_DISPLAY_CONNECTED,
                              GuiNodalNode::ZONE_DISPLAY_NONE}}) {
        EXPECT_TRUE(graph().run_action(row.action));
        EXPECT_EQ(a.get_zones_display_mode(), row.a) << row.action;
        EXPECT_EQ(b.get_zones_display_mode(), row.b) << row.action;
    }
    EXPECT_EQ(graph().applied, (std::vector<GuiNodalNode*>{&b}));
    EXPECT_TRUE(graph().issuer_while_applying);
    EXPECT_FALSE(GuiNodal::get_is_move_issuer());
}

using GuiNodalCullingTest = NodalPixelTest;

TEST_F(GuiNodalCullingTest, LinkCullingLeavesOutLinksWhoseEndsAreBothOutside)
{
    // A link from far left to far right crosses the view without an end in it.
    GuiNodalNode& left = *graph().add_node(new GuiNodalNode(graph(), "left", -3000, -100, Node::NODE_ANCHOR_SIDES));
    GuiNodalNode& right = *graph().add_node(new GuiNodalNode(graph(), "right", 3000, -100, Node::NODE_ANCHOR_SIDES));
    GuiNodalLink* through = graph().create_link(left, right);
    draw_view();
    EXPECT_FALSE(through->get_is_culled());
    EXPECT_TRUE(graph().run_action("cull links"));
    EXPECT_TRUE(graph().is_link_culling());
    draw_view();
    EXPECT_TRUE(through->get_is_culled());
}

TEST_F(GuiNodalActionsTest, ZoomedOutTitlesFollowTheLabelMode)
{
    graph().set_zoom_ratio(0.5f);
    struct Row {
        GuiNodal::DisplayNodeLabel mode;
        int height;
        bool shown;
    };
    for (Row const row : {Row{GuiNodal::DISPLAY_NODE_LABEL_OFF, 30, false}, Row{GuiNodal::DISPLAY_NODE_LABEL_ON, 2, true},
                          Row{GuiNodal::DISPLAY_NODE_LABEL_SMART, 12, true},
                          Row{GuiNodal::DISPLAY_NODE_LABEL_SMART, 11, false}}) {
        graph().set_display_node_label(row.mode);
        EXPECT_EQ(graph().is_node_label_shown(row.height), row.shown) << row.mode << " " << row.height;
    }
    // The action steps through the modes; older settings keep the mode as a flag.
    graph().set_display_node_label(GuiNodal::DISPLAY_NODE_LABEL_SMART);
    graph().run_action("display_node_label");
    EXPECT_EQ(graph().get_display_node_label(), GuiNodal::DISPLAY_NODE_LABEL_OFF);
    ParserGroup old;
    old.add_group("GuiNodal").add_entry("display_node_label").add_bool(true);
    graph().load_settings(old);
    EXPECT_EQ(graph().get_display_node_label(), GuiNodal::DISPLAY_NODE_LABEL_ON);
}

// The labels of a menu's entries, separators (section titles) included.
std::vector<std::string> labels_of(GuiMenu const& menu)
{
    std::vector<std::string> labels;
    for (GuiMenuItem const* item : menu.get_items()) labels.push_back(item->get_name().std_string());
    return labels;
}

bool has(std::vector<std::string> const& labels, char const* label)
{
    return std::find(labels.begin(), labels.end(), label) != labels.end();
}

TEST_F(GuiNodalActionsTest, TheMenuOpensWithTheEntriesOfWhatIsUnderThePointer)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 300, -50);
    GuiNodalLink* link = graph().create_link(a, b);
    GuiNodalBackdrop* frame = graph().instantiate_backdrop("frame", -1000, 1000);
    struct Row {
        GuiNodalItem* under;
        char const* section;
        char const* entry;
    };
    for (Row const row : {Row{&a, "Node", "Disconnect"}, Row{&a.get_header(), "Node", "Start Connecting..."},
                          Row{link, "Link", "Select Both Nodes"}, Row{frame, "Backdrop", "Lock"},
                          Row{nullptr, "Layout", "Links Culling"}}) {
        std::vector<std::string> const labels = labels_of(*graph().build_popup_menu(row.under));
        EXPECT_TRUE(has(labels, row.section)) << row.section;
        EXPECT_TRUE(has(labels, row.entry)) << row.entry;
        EXPECT_TRUE(has(labels, "Fit All"));  // the view's own entries follow
    }
    // Without a selection its entries are greyed; the tangent entry needs the highlight.
    GuiMenu* menu = graph().build_popup_menu(nullptr);
    EXPECT_FALSE(menu->get_item("Select Inputs")->is_enabled());
    EXPECT_EQ(menu->get_item("Links Symmetrical tangents")->is_enabled(), graph().get_link_editor().is_link_highlight());
    graph().run_action("highlight links");
    menu = graph().build_popup_menu(nullptr);
    EXPECT_EQ(menu->get_item("Links Symmetrical tangents")->is_enabled(), graph().get_link_editor().is_link_highlight());
}

TEST_F(GuiNodalActionsTest, MenuEntriesActOnTheItemTheMenuWasMadeFor)
{
    GuiNodalNode& a = node("a", 0, 0);
    GuiNodalNode& b = node("b", 300, -50);
    GuiNodalLink* link = graph().create_link(a, b);
    graph().build_popup_menu(link);
    EXPECT_TRUE(graph().on_menu_entry("Select Both Nodes"));
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&a, &b}));
    graph().build_popup_menu(&b);
    EXPECT_TRUE(graph().on_menu_entry("Disconnect"));
    EXPECT_TRUE(graph().get_links().empty());
    GuiNodalBackdrop* frame = graph().instantiate_backdrop("frame", -100, 100);
    graph().build_popup_menu(frame);
    EXPECT_TRUE(graph().on_menu_entry("Lock"));
    EXPECT_TRUE(frame->is_content_locked());
    EXPECT_TRUE(graph().on_menu_entry("Unlock"));
    EXPECT_FALSE(frame->is_content_locked());
    EXPECT_TRUE(graph().on_menu_entry("Smart"));
    EXPECT_EQ(graph().get_display_node_label(), GuiNodal::DISPLAY_NODE_LABEL_SMART);
    EXPECT_FALSE(graph().on_menu_entry("Paint It Blue"));
    // The item going away takes the menu's target with it.
    graph().build_popup_menu(&a);
    graph().remove_node(a);
    EXPECT_FALSE(graph().on_menu_entry("Disconnect"));
}

TEST_F(GuiNodalActionsTest, HiddenNodesLeaveAFadingMarkInHideMode)
{
    GuiNodal hiding(make_window(300, 200), 0, 0, 300, 200, false, true);
    GuiNodalNode& n = *hiding.add_node(new GuiNodalNode(hiding, "n", 10, -10, 0));
    n.update_content(hiding.get_dc());
    EXPECT_EQ(hiding.get_drop_alpha(AppBase::get_instance()->get_run_time()), 0);
    hiding.set_selection({&n});
    EXPECT_TRUE(hiding.run_action("hide"));
    double const now = AppBase::get_instance()->get_run_time();
    EXPECT_TRUE(n.get_is_hidden());
    EXPECT_TRUE(hiding.get_selection().empty());
    ASSERT_EQ(hiding.get_drop_marks().size(), 1u);
    EXPECT_EQ(hiding.get_drop_marks().front(), GMathVec4<int>(10, -10 - n.get_height(), 10 + n.get_width(), -10));
    int const early = hiding.get_drop_alpha(now);
    EXPECT_LE(early, GuiNodal::DROP_ALPHA);
    EXPECT_GT(early, GuiNodal::DROP_ALPHA / 2);
    EXPECT_LT(hiding.get_drop_alpha(now + GuiNodal::DROP_DURATION / 2.0), early);
    EXPECT_EQ(hiding.get_drop_alpha(now + GuiNodal::DROP_DURATION), 0);
}

}  // namespace
