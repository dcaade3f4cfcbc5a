// The node-graph boxes: names, states, anchors, the tree and its dirty marks, positions,
// border colours and pick colours.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Node = GuiNodalNodeBase;
using Color = GuiNodalItem::Color;

// A box of a fixed size.
class Box : public GuiNodalNodeBase {
public:
    Box(GuiNodal& graph, GuiNodalNodeBase* parent = nullptr, int x = 0, int y = 0, unsigned int anchors = 0,
        int w = 100, int h = 40)
        : GuiNodalNodeBase(parent, graph, x, y, anchors), m_w(w), m_h(h)
    {
    }
    void draw(GuiDc&) override {}
    void draw_select(GuiDc&) override {}
    void update_content(GuiDc&) override { set_draw_state(DRAW_STATE_UP_TO_DATE); }
    int get_width() const override { return m_w; }
    int get_height() const override { return m_h; }

private:
    int m_w, m_h;
};

class GuiNodalNodeTest : public NodalTestBase<> {};

TEST(GuiNodalNames, StatesAndAnchorsAreNamedBitByBit)
{
    EXPECT_STREQ(Node::get_node_state_name(Node::NODE_STATE_SELECTED), "NODE_STATE_SELECTED");
    EXPECT_STREQ(Node::get_node_state_name(Node::NODE_STATE_GUEST_IN), "NODE_STATE_GUEST_IN");
    EXPECT_STREQ(Node::get_node_state_name(Node::NODE_STATE_FADING_OUT_DELAYED), "NODE_STATE_FADING_OUT_DELAYED");
    for (unsigned int const other : {0u, 3u, 16384u}) EXPECT_STREQ(Node::get_node_state_name(other), "") << other;
    struct Row {
        unsigned int anchor;
        char const* name;
    } const rows[] = {{1, "NODE_ANCHOR_LEFT"}, {2, "NODE_ANCHOR_RIGHT"}, {3, "NODE_ANCHOR_SIDES"},
                      {4, "NODE_ANCHOR_UP"},   {8, ""},                  {15, "NODE_ANCHOR_ALL"},
                      {5, ""},                 {12, ""},                 {0, ""}};
    for (Row const& row : rows) EXPECT_STREQ(Node::get_node_anchor_name(row.anchor), row.name) << row.anchor;
}

TEST_F(GuiNodalNodeTest, AnchorsAreMadeOncePerSideAndInSlotOrder)
{
    Box box(graph(), nullptr, 0, 0, Node::NODE_ANCHOR_SIDES | Node::NODE_ANCHOR_BOTTOM);
    EXPECT_EQ(box.get_active_anchors(), 11u);
    GuiNodalNodeZoneAnchor* left = box.get_anchor(Node::NODE_ANCHOR_LEFT);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(box.get_anchor(0), left);
    EXPECT_EQ(box.get_anchor(1)->get_side(), Node::NODE_ANCHOR_RIGHT);
    EXPECT_EQ(box.get_anchor(2), nullptr);  // up is not active
    EXPECT_EQ(box.get_anchor(3)->get_side(), Node::NODE_ANCHOR_BOTTOM);
    EXPECT_EQ(box.get_anchor(4), nullptr);
    EXPECT_EQ(box.get_anchor(Node::NODE_ANCHOR_SIDES), nullptr);  // combined values name no anchor
    EXPECT_EQ(left->get_parent(), &box);
    EXPECT_EQ(left->get_bg_normal_color(), box.get_bg_normal_color());

    box.activate_anchor(Node::NODE_ANCHOR_LEFT);  // already active: the same anchor stays
    box.activate_anchor(Node::NODE_ANCHOR_SIDES);  // not a single bit: nothing
    EXPECT_EQ(box.get_anchor(Node::NODE_ANCHOR_LEFT), left);
    size_t const pickable = graph().get_clickable_count();
    box.desactivate_anchor(Node::NODE_ANCHOR_UP | Node::NODE_ANCHOR_LEFT);  // up is inactive: only left goes
    EXPECT_EQ(box.get_active_anchors(), 10u);
    EXPECT_EQ(box.get_anchor(Node::NODE_ANCHOR_LEFT), nullptr);
    EXPECT_EQ(graph().get_clickable_count(), pickable - 1);
    EXPECT_EQ(box.get_children().size(), 2u);
}

TEST_F(GuiNodalNodeTest, DirtyMarksClimbToEveryAncestor)
{
    Box root(graph());
    Box middle(graph(), &root);
    Box leaf(graph(), &middle);
    for (Box* box : {&root, &middle, &leaf}) box->set_draw_state(GuiNodalItem::DRAW_STATE_UP_TO_DATE);
    leaf.set_dirty();
    EXPECT_TRUE(root.get_is_dirty());
    EXPECT_TRUE(middle.get_is_dirty());
    // Up to date does not climb, and a dirty parent leaves its children alone.
    root.set_draw_state(GuiNodalItem::DRAW_STATE_UP_TO_DATE);
    middle.set_draw_state(GuiNodalItem::DRAW_STATE_UP_TO_DATE);
    leaf.set_draw_state(GuiNodalItem::DRAW_STATE_UP_TO_DATE);
    middle.set_dirty();
    EXPECT_FALSE(leaf.get_is_dirty());
    EXPECT_TRUE(root.get_is_dirty());
}

TEST_F(GuiNodalNodeTest, WorldPositionsFollowTheirParents)
{
    Box root(graph(), nullptr, 100, 200);
    Box child(graph(), &root, 10, -20);
    EXPECT_EQ(child.get_world_pos(), GMathVec2<int>(110, 180));
    root.move(5, 5);
    EXPECT_TRUE(child.is_world_pos_dirty());
    EXPECT_EQ(child.get_world_pos(), GMathVec2<int>(115, 185));
    // y grows upwards: the centre is half the height below the top-left corner.
    EXPECT_EQ(child.get_center(), GMathVec2<int>(115 + 50, 185 - 20));
    child.set_center(GMathVec2<int>(0, 0));
    EXPECT_EQ(child.get_world_pos(), GMathVec2<int>(-50, 20));
    EXPECT_EQ(child.get_local_pos(), GMathVec2<int>(-155, -185));
    GMathVec2<int> min, max;
    child.get_bbox(min, max);
    EXPECT_EQ(min, GMathVec2<int>(-50, -20));
    EXPECT_EQ(max, GMathVec2<int>(50, 20));
    // A box cannot become its own ancestor's parent.
    child.add_child(root);
    EXPECT_EQ(root.get_parent(), nullptr);
}

TEST_F(GuiNodalNodeTest, LinkAttachPointsScaleTheirOffsets)
{
    Box box(graph(), nullptr, 100, 50);
    box.set_delta_out_link(GMathVec2<int>(100, -21));
    box.set_scale(0.5f);
    EXPECT_EQ(box.get_out_link_x(), 150);
    EXPECT_EQ(box.get_out_link_y(), 40);  // -10.5 truncated
    // A box kept at its screen size scales by the inverse zoom instead.
    box.set_screen_size(true);
    graph().set_zoom_ratio(0.25f);
    EXPECT_EQ(box.get_out_link_x(), 500);
}

TEST_F(GuiNodalNodeTest, HidingReachesAnchorsAndWithRecursionTheChildren)
{
    Box root(graph(), nullptr, 0, 0, Node::NODE_ANCHOR_ALL);
    Box child(graph(), &root);
    root.set_is_hidden(true, false);
    EXPECT_TRUE(root.get_is_hidden());
    for (int i = 0; i < Node::ANCHOR_COUNT; ++i) EXPECT_TRUE(root.get_anchor(i)->get_is_hidden()) << i;
    EXPECT_FALSE(child.get_is_hidden());
    root.set_is_hidden(true, true);
    EXPECT_TRUE(child.get_is_hidden());
    root.set_ghost(true);
    EXPECT_TRUE(root.get_anchor(Node::NODE_ANCHOR_UP)->get_is_ghost());
}

TEST_F(GuiNodalNodeTest, StatesSetClearAndReportTheirGroups)
{
    Box box(graph());
    box.activate_state(Node::NODE_STATE_FADING_IN_DELAYED);
    EXPECT_TRUE(box.get_is_fading());
    EXPECT_TRUE(box.get_is_fading_in());
    EXPECT_FALSE(box.get_is_fading_out());
    box.desactivate_state(Node::NODE_STATE_FADING_IN_DELAYED);
    box.activate_state(Node::NODE_STATE_FADING_OUT_DELAYED);
    EXPECT_TRUE(box.get_is_fading());
    EXPECT_FALSE(box.get_is_fading_out());  // only the running fade-out counts
    EXPECT_FALSE(box.get_state_is_active(Node::NODE_STATE_FADING_OUT_DELAYED | Node::NODE_STATE_GHOST));
    EXPECT_EQ(box.set_depth(7), 8u);
    EXPECT_FLOAT_EQ(box.get_custom_depth(), 7.0f);
}

TEST_F(GuiNodalNodeTest, DisabledBoxesShowTheFixedBorderAndColours)
{
    Box box(graph());
    box.set_border_color(Color(200, 10, 10));
    box.set_disabled(true);
    EXPECT_EQ(box.get_border_color(), Node::get_disabled_border_color());
    EXPECT_EQ(&box.get_bg_color(), &box.get_bg_disabled_color());
    box.set_disabled(false);
    EXPECT_EQ(box.get_border_color(), Color(200, 10, 10));
    box.set_selected(true);
    EXPECT_EQ(&box.get_bg_color(), &box.get_bg_selected_color());
    // The current colour follows later changes of the colour it refers to.
    box.set_bg_selected_color(Color(1, 2, 3));
    EXPECT_EQ(box.get_bg_color(), Color(1, 2, 3));
    LogRecorder log;
    Color const stranger(9, 9, 9);
    box.set_bg_color(stranger);
    EXPECT_EQ(box.get_bg_color(), Color(1, 2, 3));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
}

TEST(GuiNodalBorder, DarkFillsGetLighterBordersAndLightOnesDarker)
{
    struct Row {
        GMathVec3<float> fill;
        bool force_darken;
        Color border;
    } const rows[] = {
        {{0.2f, 0.2f, 0.2f}, false, Color(86, 86, 86)},     // grey 0.2: value × 1.7
        {{0.4f, 0.0f, 0.0f}, false, Color(173, 52, 52)},    // value 0.68, saturation 0.7
        {{0.8f, 0.8f, 0.8f}, false, Color(142, 142, 142)},  // light: value × 0.7
        {{0.2f, 0.2f, 0.2f}, true, Color(35, 35, 35)},      // forced darker
        {{1.0f, 1.0f, 1.0f}, false, Color(178, 178, 178)},
    };
    for (Row const& row : rows)
        EXPECT_EQ(Node::compute_border_color(row.fill, row.force_darken, 0.7f), row.border)
            << row.fill[0] << "," << row.fill[1] << "," << row.fill[2];
}

TEST(GuiNodalLook, AdjustedColoursMoveTowardWhiteOrBlackAndStrongMovesFurther)
{
    Color const base(100, 150, 200);
    Color const light = Node::adjust_color(base, true, false);
    Color const lighter = Node::adjust_color(base, true, true);
    Color const dark = Node::adjust_color(base, false, false);
    Color const darker = Node::adjust_color(base, false, true);
    for (int c = 0; c < 3; ++c) {
        EXPECT_LT(base[c], light[c]);
        EXPECT_LT(light[c], lighter[c]);
        EXPECT_GT(base[c], dark[c]);
        EXPECT_GT(dark[c], darker[c]);
    }
    EXPECT_EQ(Node::adjust_color(Color(255, 255, 255), true, true), Color(255, 255, 255));
    EXPECT_EQ(Node::adjust_color(Color(0, 0, 0), false, true), Color(0, 0, 0));
}

TEST_F(GuiNodalNodeTest, CornersAndTheDisplayedCentreFollowTheBoxAndItsScale)
{
    Box box(graph(), nullptr, 10, 20, 0, 100, 40);
    EXPECT_EQ(box.get_corner_radius(Node::ROUNDNESS_SQUARE, 100, 40), 0.0f);
    EXPECT_EQ(box.get_corner_radius(Node::ROUNDNESS_SMALL, 100, 40), box.get_border_size());
    EXPECT_EQ(box.get_corner_radius(Node::ROUNDNESS_LARGE, 100, 40), 2 * box.get_border_size());
    EXPECT_EQ(box.get_corner_radius(Node::ROUNDNESS_FULL, 100, 40), 20.0f);
    // Screen axis: y negated.
    EXPECT_EQ(box.get_displayed_center(), GMathVec2<int>(60, 0));
    box.set_scale(4.0f);  // halves of 12.5 and 5 round away from zero
    EXPECT_EQ(box.get_displayed_center(), GMathVec2<int>(10 + 13, -(20 - 5)));
}

TEST_F(GuiNodalNodeTest, PickColoursAreUniqueAndFreedWithTheirItem)
{
    auto first = std::make_unique<Box>(graph());
    Box second(graph());
    first->set_selectable();
    second.set_selectable();
    Color const colour = first->get_pick_color();
    EXPECT_NE(colour, second.get_pick_color());
    EXPECT_NE(colour, Color(0, 0, 0));
    EXPECT_EQ(graph().get_clickable_node(colour), first.get());
    first->set_selectable();  // asking again keeps the colour
    EXPECT_EQ(first->get_pick_color(), colour);
    first.reset();
    EXPECT_EQ(graph().get_clickable_node(colour), nullptr);
    EXPECT_EQ(graph().get_clickable_node(Color(0, 0, 0)), nullptr);
    // The freed colour serves the next item.
    Box third(graph());
    third.set_selectable();
    EXPECT_EQ(third.get_pick_color(), colour);
}

TEST_F(GuiNodalNodeTest, BadSizesAndZoomsAreRefusedWithAWarning)
{
    Box box(graph(true), nullptr, 0, 0, Node::NODE_ANCHOR_LEFT);  // a view that simplifies
    GuiNodalNodeZoneAnchor& plug = *box.get_anchor(Node::NODE_ANCHOR_LEFT);
    LogRecorder log;
    plug.set_size(0);
    plug.set_width(-4);
    plug.set_shape_circle(-1.0f);
    graph().set_zoom_ratio(NAN);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(plug.get_width(), GuiNodalNodeZoneAnchor::DEFAULT_SIZE);
    EXPECT_EQ(plug.get_shape(), GuiNodalNodeZoneAnchor::SHAPE_TRIANGLE);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), 1.0f);
    graph().set_zoom_ratio(5.0f);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), GuiNodal::get_max_zoom_ratio());
    graph().set_zoom_ratio(0.0001f);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), GuiNodal::get_min_zoom_ratio());
    graph().set_zoom_ratio(0.0f);
    graph().set_zoom_factor(-3);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 6u);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), GuiNodal::get_min_zoom_ratio());
    EXPECT_TRUE(graph().is_simplified());
}

}  // namespace
