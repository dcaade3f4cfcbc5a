// Node-graph links as drawn: bundles of brothers, decorations, connectors, highlighted plugs,
// and the tails of links into compact nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gui/core/gui_color_scheme.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Link = GuiNodalLink;
using Links = std::vector<GuiNodalLink*>;
using Node = GuiNodalNodeBase;
using Color = GuiNodalItem::Color;

// A link that carries a label.
class Labelled : public GuiNodalLink {
public:
    using GuiNodalLink::GuiNodalLink;
    bool get_decorated_text(CoreString& text, bool& arrow, bool& boxed, bool& on_highlight) const override
    {
        text = label;
        arrow = with_arrow;
        boxed = false;
        on_highlight = only_on_highlight;
        return true;
    }
    CoreString label = "label";
    bool with_arrow = false;
    bool only_on_highlight = false;
};

class GuiNodalLinkBundleTest : public NodalTestBase<NodalPictureView> {
protected:
    GuiNodalNode& node(char const* name, int x, int y)
    {
        GuiNodalNode& n = *graph().add_node(new GuiNodalNode(graph(), name, x, y, Node::NODE_ANCHOR_SIDES));
        n.update_content(graph().get_dc());
        return n;
    }
    // Two nodes side by side: links between them run level, from x 100 to x 280.
    void two_nodes()
    {
        a = &node("a", 0, -100);
        b = &node("b", 280, -100);
    }
    Color background()
    {
        return graph().get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_VIEWPORT_BACKGROUND);
    }
    // Pixels other than the background in the box from (x0, y0) to (x1, y1), view pixels.
    int lit(int x0, int y0, int x1, int y1, Color const* only = nullptr)
    {
        int count = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (only ? graph().pixel(x, y) == *only : graph().pixel(x, y) != background()) ++count;
        return count;
    }
    // The view row of a graph y (the view shows the graph from (0, 0) at zoom 1).
    static int row(int graph_y) { return -graph_y; }

    GuiNodalNode* a = nullptr;
    GuiNodalNode* b = nullptr;
};

TEST_F(GuiNodalLinkBundleTest, ABundleIsSharedAndLeftByItsLinks)
{
    two_nodes();
    Link* l1 = graph().create_link(*a, *b);
    Link* l2 = graph().create_link(*a, *b);
    Link* l3 = graph().create_link(*a, *b);
    l1->set_brotherhood({l2, l3});
    EXPECT_EQ(l2->get_brotherhood(), (Links{l1, l3}));
    EXPECT_EQ(l3->get_brotherhood(), (Links{l1, l2}));
    // Joining another bundle leaves the old one.
    l3->set_brotherhood({});
    EXPECT_EQ(l1->get_brotherhood(), (Links{l2}));
    EXPECT_TRUE(l3->get_brotherhood().empty());
    l3->set_brotherhood({l2});
    EXPECT_TRUE(l1->get_brotherhood().empty());  // a bundle of one is no bundle
    EXPECT_EQ(l2->get_brotherhood(), (Links{l3}));
    // Removed by the view, destroyed, or cut off both its ends: the link leaves its bundle.
    graph().remove_link(*l3);
    EXPECT_TRUE(l2->get_brotherhood().empty());
    {
        Link passing(graph(), *a, *b);
        l1->set_brotherhood({l2, &passing});
    }
    EXPECT_EQ(l1->get_brotherhood(), (Links{l2}));
    l2->begin_destruction(*b);
    l2->complete_destruction(nullptr);
    EXPECT_TRUE(l1->get_brotherhood().empty());
}

TEST_F(GuiNodalLinkBundleTest, BadBrothersAreLeftOutWithAWarning)
{
    two_nodes();
    Link* l1 = graph().create_link(*a, *b);
    Link* l2 = graph().create_link(*a, *b);
    Link* l3 = graph().create_link(*a, *b);
    auto* other = new GuiNodal(make_window(100, 100), 0, 0, 100, 100);  // the window owns it
    GuiNodalNode& far = *other->add_node(new GuiNodalNode(*other, "far", 0, 0, Node::NODE_ANCHOR_SIDES));
    Link stranger(*other, far, far);
    LogRecorder log;
    l1->set_brotherhood({nullptr, l1, l2, l2, &stranger});
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(l1->get_brotherhood(), (Links{l2}));
    // Nothing good left: refused, the bundle stays.
    log.clear();
    l1->set_brotherhood({l1, nullptr});
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(l1->get_brotherhood(), (Links{l2}));
    EXPECT_TRUE(l3->get_brotherhood().empty());
}

TEST_F(GuiNodalLinkBundleTest, TheHighlightedBrotherIsAnotherLinkOfTheBundle)
{
    two_nodes();
    Link* l1 = graph().create_link(*a, *b);
    Link* l2 = graph().create_link(*a, *b);
    Link* l3 = graph().create_link(*a, *b);
    l1->set_brotherhood({l2, l3});
    EXPECT_EQ(l1->get_highlighted_brother(), nullptr);
    l3->set_is_highlighted(true);
    EXPECT_EQ(l1->get_highlighted_brother(), l3);
    EXPECT_EQ(l2->get_highlighted_brother(), l3);
    EXPECT_EQ(l3->get_highlighted_brother(), nullptr);  // not itself
}

TEST_F(GuiNodalLinkBundleTest, BrothersAlongOneCurveAreDrawnAsOneThickerLine)
{
    two_nodes();
    Link* l1 = graph().create_link(*a, *b);
    l1->update_content();
    int const y = row(l1->get_from_y());
    int const x = (l1->get_from_x() + l1->get_to_x()) / 2;
    draw_view();
    int const alone = lit(x, y - 10, x, y + 10);
    ASSERT_GT(alone, 0);
    Link* l2 = graph().create_link(*a, *b);
    Link* l3 = graph().create_link(*a, *b);
    l1->set_brotherhood({l2, l3});
    draw_view();
    EXPECT_GT(lit(x, y - 10, x, y + 10), alone);
    // A highlighted brother highlights the line.
    Color const highlight = l1->get_bg_highlight_color();
    ASSERT_NE(highlight, l1->get_bg_color());
    EXPECT_EQ(lit(x, y - 10, x, y + 10, &highlight), 0);
    l3->set_is_highlighted(true);
    draw_view();
    EXPECT_GT(lit(x, y - 10, x, y + 10, &highlight), 0);
}

TEST_F(GuiNodalLinkBundleTest, DecorationsAreDrawnAtTheMiddle)
{
    two_nodes();
    CoreString text = "stays";
    bool arrow = true, boxed = true, on_highlight = true;
    Link plain(graph(), *a, *b);
    EXPECT_FALSE(plain.get_decorated_text(text, arrow, boxed, on_highlight));
    EXPECT_TRUE(text.is_empty());
    EXPECT_FALSE(arrow || boxed || on_highlight);

    Labelled labelled(graph(), *a, *b);
    graph().drawing = [&labelled](GuiDc& dc) { labelled.draw(dc); };
    labelled.update_content();
    int const y = row(labelled.get_from_y());
    int const middle = (labelled.get_from_x() + labelled.get_to_x()) / 2;
    auto const above = [&] { return lit(middle - 30, y - 30, middle + 30, y - 4); };
    draw_view();
    EXPECT_GT(above(), 0);  // the label
    labelled.only_on_highlight = true;
    draw_view();
    EXPECT_EQ(above(), 0);
    labelled.set_is_highlighted(true);
    draw_view();
    EXPECT_GT(above(), 0);
    // The arrow widens the line at the middle, and only there.
    labelled.label = "";
    labelled.with_arrow = true;
    draw_view();
    EXPECT_GT(lit(middle - 5, y - 6, middle + 5, y + 6), lit(middle - 45, y - 6, middle - 35, y + 6) + 8);
}

TEST_F(GuiNodalLinkBundleTest, TheHighlightedPlugIsAnAttachedEndAndIsRinged)
{
    two_nodes();
    GuiNodalNodeZoneAnchor* out = a->get_anchor(Node::NODE_ANCHOR_RIGHT);
    GuiNodalNodeZoneAnchor* in = b->get_anchor(Node::NODE_ANCHOR_LEFT);
    Link* link = graph().create_link(*out, *in);
    Link* to_body = graph().create_link(*out, *b);
    EXPECT_EQ(link->get_highlighted_plug(), nullptr);
    in->set_is_highlighted(true);
    out->set_is_highlighted(true);
    EXPECT_EQ(link->get_highlighted_plug(), in);  // the to-end first
    EXPECT_EQ(to_body->get_highlighted_plug(), out);
    link->begin_destruction(*in);  // an end dragged off is no longer the link's plug
    EXPECT_EQ(link->get_highlighted_plug(), out);
    link->cancel_destruction();
    out->set_is_highlighted(false);
    graph().remove_link(*to_body);

    // The ring, left of the plug on the to-node (the plug itself reaches 6 units out).
    GMathVec2<int> const at = in->get_world_pos();
    Color const highlight = link->get_bg_highlight_color();
    auto const ring = [&] { return lit(at[0] - 13, row(at[1]) - 13, at[0] - 7, row(at[1]) + 13, &highlight); };
    draw_view();
    EXPECT_GT(ring(), 3);
    in->set_is_highlighted(false);
    draw_view();
    EXPECT_EQ(ring(), 0);
}

TEST_F(GuiNodalLinkBundleTest, ConnectorsMarkTheEndsTheLinkReaches)
{
    two_nodes();
    Link link(graph(), *a, *b);  // not the view's: only its connectors are drawn
    graph().drawing = [&link](GuiDc& dc) { link.draw_connector(dc, false); };
    link.update_content();
    Color const color = link.get_bg_color();
    int const y = row(link.get_from_y());
    // Around each end, in the link's colour (the plugs there have their own).
    auto const mark = [&](int x) { return lit(x - 4, y - 4, x + 4, y + 4, &color); };
    draw_view();
    EXPECT_GT(mark(link.get_from_x()), 0);
    EXPECT_GT(mark(link.get_to_x()), 0);
    b->set_collapsed(true);  // a tail reaches only its from-end
    draw_view();
    EXPECT_GT(mark(link.get_from_x()), 0);
    EXPECT_EQ(mark(link.get_to_x()), 0);
}

struct CompactRow {
    char const* what;
    bool collapsed;
    GuiNodalNode::ZoneDisplay display;
    bool dot;
    bool dragging_to_end;
    bool compact;
    bool tail_only;
};

class GuiNodalLinkCompactTest : public GuiNodalLinkBundleTest, public ::testing::WithParamInterface<CompactRow> {};

TEST_P(GuiNodalLinkCompactTest, TheToNodeDecidesWhetherOnlyTheTailShows)
{
    CompactRow const& r = GetParam();
    GuiNodalNode& from = node("from", 0, -100);
    GuiNodalNode& to = r.dot ? *graph().add_node(new GuiNodalDot(graph())) : node("to", 280, -100);
    to.set_collapsed(r.collapsed);
    to.set_zones_display_mode(r.display);
    Link* link = graph().create_link(from, to);
    if (r.dragging_to_end) link->begin_destruction(to);
    EXPECT_EQ(link->has_compact_node_to(), r.compact) << r.what;
    EXPECT_EQ(link->is_showing_tail_only(), r.tail_only) << r.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GuiNodalLinkCompactTest,
    ::testing::Values(CompactRow{"plugs shown", false, GuiNodalNode::ZONE_DISPLAY_ALL, false, false, false, false},
                      CompactRow{"connected plugs", false, GuiNodalNode::ZONE_DISPLAY_CONNECTED, false, false, false,
                                 false},
                      CompactRow{"no plugs", false, GuiNodalNode::ZONE_DISPLAY_NONE, false, false, true, true},
                      CompactRow{"collapsed", true, GuiNodalNode::ZONE_DISPLAY_ALL, false, false, true, true},
                      CompactRow{"collapsed dot", true, GuiNodalNode::ZONE_DISPLAY_NONE, true, false, false, false},
                      CompactRow{"to-end dragged", true, GuiNodalNode::ZONE_DISPLAY_ALL, false, true, true, false}));

TEST_F(GuiNodalLinkBundleTest, ATailIsAShortStubDrawnAndPickedAlone)
{
    two_nodes();
    Link* link = graph().create_link(*a, *b);
    link->update_content();
    GMathVec2<float> const start(static_cast<float>(link->get_from_x()), static_cast<float>(link->get_from_y()));
    GMathVec2<float> const end = link->get_curve().back();
    GMathVec2<float> const middle = (start + end) * 0.5f;
    b->set_collapsed(true);
    // Picking brings the link up to date although only its to-node changed.
    EXPECT_EQ(graph().pick(middle), nullptr);
    EXPECT_EQ(graph().pick(start + GMathVec2<float>(Link::TAIL_PIXELS / 2.0f, 0.0f)), link);
    GMathVec2<float> const tip = link->get_curve().back();
    EXPECT_NEAR(std::hypot(tip[0] - start[0], tip[1] - start[1]), Link::TAIL_PIXELS, 0.5f);
    int const y = row(link->get_from_y());
    draw_view();
    EXPECT_EQ(lit(static_cast<int>(middle[0]) - 10, y - 3, static_cast<int>(middle[0]) + 10, y + 3), 0);
    EXPECT_GT(lit(static_cast<int>(start[0]) + 10, y - 3, static_cast<int>(start[0]) + 20, y + 3), 0);
    b->set_collapsed(false);
    b->update_content(graph().get_dc());
    link->update_content();
    EXPECT_EQ(link->get_curve().back(), end);
}

TEST_F(GuiNodalLinkBundleTest, DebugWritesTheStateAndEndsAtInfoLevel)
{
    two_nodes();
    Link* link = graph().create_link(*a->get_anchor(Node::NODE_ANCHOR_RIGHT), *b);
    LogRecorder log;
    link->debug();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_INFO), 1u) << log.dump();
    EXPECT_EQ(log.count(), 1u) << log.dump();
    EXPECT_TRUE(log.contains("LINK_STATE_NORMAL")) << log.dump();
    EXPECT_TRUE(log.contains("NODE_ANCHOR_RIGHT")) << log.dump();
    EXPECT_TRUE(log.contains("\"b\"")) << log.dump();
}

}  // namespace
