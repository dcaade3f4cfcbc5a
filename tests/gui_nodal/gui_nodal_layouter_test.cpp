// Automatic layout: the column each box goes into for small graphs, the placement of the
// columns, a backdrop's content, and the undo step.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_layouter.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "host/of/of_command_manager.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"

namespace {

class GuiNodalLayouterTest : public NodalTestBase<> {
protected:
    // `count` laid-out nodes with plugs on both sides, scattered, and links between them by index.
    std::vector<GuiNodalNodeBase*> build(int count, std::vector<std::pair<int, int>> const& links)
    {
        std::vector<GuiNodalNodeBase*> nodes;
        for (int i = 0; i < count; ++i) {
            GuiNodalNode* n = graph().add_node(new GuiNodalNode(graph(), std::string(1, static_cast<char>('a' + i)).c_str(),
                                                                (i * 37) % 300, -(i * 53) % 200,
                                                                GuiNodalNodeBase::NODE_ANCHOR_SIDES));
            n->update_content(graph().get_dc());
            nodes.push_back(n);
        }
        for (auto const& [from, to] : links) graph().create_link(*nodes[from], *nodes[to]);
        return nodes;
    }
    // Each box's chain (its index among the layouter's chains, in their order) and column (its
    // distance from the chain's first column), as "chain.column" for each box in order.
    static std::string placement(GuiNodalLayouter const& layouter, std::vector<GuiNodalNodeBase*> const& nodes)
    {
        std::vector<GuiNodalLayoutGrid*> roots;
        for (GuiNodalLayoutGrid* grid : layouter.get_grids()) {
            GuiNodalLayoutGrid* root = grid->get_root();
            if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
        }
        std::string text;
        for (GuiNodalNodeBase const* node : nodes) {
            GuiNodalLayoutGrid* grid = layouter.get_grid_for_node(node);
            if (!grid) {
                text += "- ";
                continue;
            }
            auto const chain = std::find(roots.begin(), roots.end(), grid->get_root()) - roots.begin();
            text += std::to_string(chain) + "." + std::to_string(GuiNodalLayoutGrid::get_position(grid) - 2) + " ";
        }
        return text;
    }
};

}  // namespace

TEST_F(GuiNodalLayouterTest, BoxesGoIntoColumnsThatFollowTheLinks)
{
    struct {
        char const* what;
        int count;
        std::vector<std::pair<int, int>> links;
        char const* placement;
    } const cases[] = {
        {"a chain", 3, {{0, 1}, {1, 2}}, "0.0 0.1 0.2 "},
        {"a chain given downstream first", 3, {{2, 1}, {1, 0}}, "0.2 0.1 0.0 "},
        {"a diamond", 4, {{0, 1}, {0, 2}, {1, 3}, {2, 3}}, "0.0 0.1 0.1 0.2 "},
        {"a cycle is cut where the walk starts", 3, {{0, 1}, {1, 2}, {2, 0}}, "0.2 0.0 0.1 "},
        {"two chains and two boxes alone", 6, {{0, 1}, {2, 3}}, "0.0 0.1 1.0 1.1 2.0 2.0 "},
        {"a single box", 1, {}, "0.0 "},
        {"a box linked to itself stands alone", 2, {{0, 0}, {0, 1}}, "0.0 0.1 "},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<GuiNodalNodeBase*> const nodes = build(c.count, c.links);
        GuiNodalLayouter layouter(graph());
        layouter.layout(nodes, GMathVec2<int>(0, 0), false);
        EXPECT_EQ(placement(layouter, nodes), c.placement);
        // Columns stand left to right; boxes of one column share their left edge.
        for (GuiNodalNodeBase const* a : nodes)
            for (GuiNodalNodeBase const* b : nodes) {
                GuiNodalLayoutGrid* ga = layouter.get_grid_for_node(a);
                GuiNodalLayoutGrid* gb = layouter.get_grid_for_node(b);
                if (ga == gb) {
                    EXPECT_EQ(a->get_world_pos()[0], b->get_world_pos()[0]);
                } else if (ga->get_root() == gb->get_root() &&
                           GuiNodalLayoutGrid::get_position(ga) < GuiNodalLayoutGrid::get_position(gb)) {
                    EXPECT_LT(a->get_world_pos()[0] + a->get_width(), b->get_world_pos()[0]);
                }
            }
        for (GuiNodalLink* link : std::vector<GuiNodalLink*>(graph().get_links())) graph().remove_link(*link);
        while (graph().get_node_count() > 0) graph().remove_node(*graph().get_node(0));
    }
}

TEST_F(GuiNodalLayouterTest, BoxesWithoutLinksStackFiveToAColumn)
{
    std::vector<GuiNodalNodeBase*> const nodes = build(7, {});
    GuiNodalLayouter layouter(graph());
    layouter.layout(nodes, GMathVec2<int>(100, 50), false);
    ASSERT_EQ(layouter.get_grids().size(), 2u);
    EXPECT_EQ(layouter.get_grids()[0]->get_nodes().size(), 5u);
    EXPECT_EQ(layouter.get_grids()[1]->get_nodes().size(), 2u);
    EXPECT_EQ(nodes[0]->get_world_pos()[0], 100);
    // Within a column boxes are placed from the last to the first, 30 units apart.
    int const step = nodes[0]->get_computed_height() + 30;
    EXPECT_EQ(nodes[4]->get_world_pos()[1], 50);
    EXPECT_EQ(nodes[3]->get_world_pos()[1], 50 + step);
    EXPECT_EQ(nodes[0]->get_world_pos()[1], 50 + 4 * step);
    // The second column is centred on its own height: a column stands alone.
    EXPECT_EQ(nodes[6]->get_world_pos()[1], 50);
    EXPECT_GT(nodes[5]->get_world_pos()[0], nodes[0]->get_world_pos()[0]);
}

TEST_F(GuiNodalLayouterTest, ALayoutIsOneUndoStepAndAnEmptyBatchDoesNothing)
{
    OfCommandManager commands;
    graph().set_command_manager(&commands);
    std::vector<GuiNodalNodeBase*> const nodes = build(3, {{0, 1}, {1, 2}});
    std::vector<GMathVec2<int>> before;
    for (GuiNodalNodeBase const* node : nodes) before.push_back(node->get_world_pos());
    GuiNodalLayouter layouter(graph());
    layouter.layout({}, GMathVec2<int>(0, 0), false);
    EXPECT_FALSE(commands.is_undoable());
    layouter.layout(nodes, GMathVec2<int>(500, 500), false);
    ASSERT_TRUE(commands.is_undoable());
    EXPECT_EQ(commands.get_undo_label(), "Layout");
    commands.undo();
    for (size_t i = 0; i < nodes.size(); ++i) EXPECT_EQ(nodes[i]->get_world_pos(), before[i]) << i;
    graph().set_command_manager(nullptr);
}

TEST_F(GuiNodalLayouterTest, ABackdropLaysItsContentOutAndFitsAroundIt)
{
    std::vector<GuiNodalNodeBase*> const nodes = build(3, {{0, 1}, {1, 2}});
    GuiNodalBackdrop* frame = graph().instantiate_backdrop("frame", -50, 50);
    for (GuiNodalNodeBase* node : nodes) frame->add_to_content(*node);
    frame->layout();
    GMathVec2<int> const corner = frame->get_world_pos();
    EXPECT_EQ(nodes[0]->get_world_pos()[0], -50 + 45);
    EXPECT_LT(nodes[0]->get_world_pos()[0], nodes[1]->get_world_pos()[0]);
    EXPECT_LT(nodes[1]->get_world_pos()[0], nodes[2]->get_world_pos()[0]);
    EXPECT_LE(corner[0], nodes[0]->get_world_pos()[0]);
    EXPECT_GE(corner[0] + frame->get_width(), nodes[2]->get_world_pos()[0] + nodes[2]->get_width());
}

TEST_F(GuiNodalLayouterTest, TheLayoutActionArrangesTheSelectionOrEveryNode)
{
    std::vector<GuiNodalNodeBase*> const nodes = build(4, {{0, 1}, {1, 2}});
    std::vector<GMathVec2<int>> const before = {nodes[0]->get_world_pos(), nodes[1]->get_world_pos(),
                                                nodes[2]->get_world_pos(), nodes[3]->get_world_pos()};
    graph().set_selection({nodes[1], nodes[2]});
    ASSERT_TRUE(graph().run_action("layout"));
    EXPECT_EQ(nodes[0]->get_world_pos(), before[0]);  // not selected: left alone
    EXPECT_EQ(nodes[3]->get_world_pos(), before[3]);
    EXPECT_LT(nodes[1]->get_world_pos()[0], nodes[2]->get_world_pos()[0]);
    EXPECT_EQ(nodes[1]->get_world_pos()[1], nodes[2]->get_world_pos()[1]);  // one box per column

    graph().set_selection({});
    ASSERT_TRUE(graph().run_action("layout"));
    EXPECT_LT(nodes[0]->get_world_pos()[0], nodes[1]->get_world_pos()[0]);
    EXPECT_GT(nodes[3]->get_world_pos()[0], nodes[2]->get_world_pos()[0]);  // the box alone comes last
}

namespace {

// Links that cross, drawn straight from the right side of their source to the left side of
// their target.
int count_crossings(std::vector<GuiNodalLink*> const& links)
{
    struct Segment {
        double x0, y0, x1, y1;
    };
    std::vector<Segment> segments;
    for (GuiNodalLink const* link : links) {
        GuiNodalNodeBase const* a = link->get_node_from()->get_parent() ? link->get_node_from()->get_parent()
                                                                       : link->get_node_from();
        GuiNodalNodeBase const* b = link->get_node_to()->get_parent() ? link->get_node_to()->get_parent()
                                                                     : link->get_node_to();
        segments.push_back({double(a->get_world_pos()[0] + a->get_width()), double(a->get_world_pos()[1]),
                            double(b->get_world_pos()[0]), double(b->get_world_pos()[1])});
    }
    auto const side = [](Segment const& s, double x, double y) {
        return (s.x1 - s.x0) * (y - s.y0) - (s.y1 - s.y0) * (x - s.x0);
    };
    int crossings = 0;
    for (size_t i = 0; i < segments.size(); ++i)
        for (size_t j = i + 1; j < segments.size(); ++j) {
            Segment const& a = segments[i];
            Segment const& b = segments[j];
            if (side(a, b.x0, b.y0) * side(a, b.x1, b.y1) < 0 && side(b, a.x0, a.y0) * side(b, a.x1, a.y1) < 0)
                ++crossings;
        }
    return crossings;
}

}  // namespace

TEST_F(GuiNodalLayouterTest, OrderingTheColumnsUncrossesLinksAndKeepsTheColumns)
{
    // Four layers of eight, each box feeding two boxes of the next layer picked at random.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, 7);
    std::vector<std::pair<int, int>> links;
    for (int layer = 0; layer < 3; ++layer)
        for (int i = 0; i < 8; ++i) {
            int const a = pick(random);
            int b = pick(random);
            while (b == a) b = pick(random);
            links.emplace_back(layer * 8 + i, (layer + 1) * 8 + a);
            links.emplace_back(layer * 8 + i, (layer + 1) * 8 + b);
        }
    std::vector<GuiNodalNodeBase*> const nodes = build(32, links);
    GuiNodalLayouter walk(graph());
    walk.layout(nodes, GMathVec2<int>(0, 0), false);
    std::string const columns = placement(walk, nodes);
    int const walked = count_crossings(graph().get_links());

    GuiNodalLayouter ordered(graph());
    ordered.set_reduce_crossings(true);
    ordered.layout(nodes, GMathVec2<int>(0, 0), false);
    EXPECT_EQ(placement(ordered, nodes), columns);  // the same columns, in another order
    EXPECT_LT(count_crossings(graph().get_links()), walked);
}

namespace {

// A view that keeps what it hands the application after a layout.
class AppliedRecorder : public GuiNodal {
public:
    using GuiNodal::GuiNodal;
    void apply_nodes_positions(std::vector<GuiNodalNodeBase*> const& boxes) override { applied = boxes; }
    std::vector<GuiNodalNodeBase*> applied;
};

class GuiNodalApplyLayoutTest : public NodalTestBase<AppliedRecorder> {};

TEST_F(GuiNodalApplyLayoutTest, AMovedBackdropReportsTheContentItCarries)
{
    auto* alone = graph().add_node(new GuiNodalNode(graph(), "alone", 0, 0, GuiNodalNodeBase::NODE_ANCHOR_SIDES));
    auto* framed = graph().add_node(new GuiNodalNode(graph(), "framed", 0, 0, GuiNodalNodeBase::NODE_ANCHOR_SIDES));
    GuiNodalBackdrop* inner = graph().instantiate_backdrop("inner", 0, 0);
    GuiNodalBackdrop* outer = graph().instantiate_backdrop("outer", 0, 0);
    inner->set_content({framed});
    outer->set_content({inner});
    graph().apply_layout({alone, outer, framed}, true);
    EXPECT_EQ(graph().applied, (std::vector<GuiNodalNodeBase*>{alone, outer, framed, inner}));
}

}  // namespace
