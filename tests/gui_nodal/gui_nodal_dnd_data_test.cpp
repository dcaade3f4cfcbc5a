// The data of a link dragged out of a view, and dropping it on a view.
#include <gtest/gtest.h>

#include "gui/nodal/gui_nodal_dnd_data.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

class GuiNodalDndDataTest : public NodalTestBase<> {
protected:
    GuiNodalNode& node(GuiNodal& view, int x, int y)
    {
        GuiNodalNode* n = view.add_node(new GuiNodalNode(view, "n", x, y, GuiNodalNodeBase::NODE_ANCHOR_SIDES));
        n->update_content(view.get_dc());
        return *n;
    }
    static GuiNodalNodeZoneAnchor* output(GuiNodalNode& n) { return n.get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT); }
    static GuiNodalNodeZoneAnchor* input(GuiNodalNode& n) { return n.get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT); }
    // A point inside the node's box, in graph units.
    static GMathVec2<float> inside(GuiNodalNode const& n)
    {
        return GMathVec2<float>(static_cast<float>(n.get_world_pos()[0] + n.get_width() / 2),
                                static_cast<float>(n.get_world_pos()[1] - n.get_height() / 2));
    }
};

}  // namespace

TEST_F(GuiNodalDndDataTest, UpstreamDataHoldsOnePlugUntilAnotherIsAdded)
{
    GuiNodalNode& a = node(graph(), 0, 0);
    GuiNodalNode& b = node(graph(), 300, 0);
    GuiNodalDndData data(output(a), true);
    EXPECT_TRUE(data.is_upstream());
    EXPECT_EQ(data.get_count(), 1u);
    EXPECT_EQ(data.get_plug(), output(a));
    EXPECT_EQ(data.get_graph(), &graph());
    data.add_plug(input(b));
    EXPECT_FALSE(data.is_upstream());
    EXPECT_EQ(data.get_count(), 1u);
    EXPECT_EQ(data.get_plug(), input(b));

    GuiNodalDndData downstream(input(a), false);
    downstream.add_plug(input(b));
    EXPECT_FALSE(downstream.is_upstream());
    EXPECT_EQ(downstream.get_count(), 2u);
    EXPECT_EQ(downstream.get_plug(1), input(b));
    EXPECT_EQ(downstream.get_plug(2), nullptr);
}

TEST_F(GuiNodalDndDataTest, DroppedDataConnectsToTheBoxUnderThePoint)
{
    GuiNodalNode& a = node(graph(), 0, 0);
    GuiNodalNode& b = node(graph(), 300, 0);
    GuiNodalNode& c = node(graph(), 300, -200);
    ASSERT_TRUE(graph().drop_dnd_link_data(GuiNodalDndData(output(a), true), inside(b)));
    ASSERT_EQ(graph().get_links().size(), 1u);
    EXPECT_EQ(graph().get_links()[0]->get_node_to(), input(b));

    GuiNodalDndData inputs(input(b), false);
    inputs.add_plug(input(c));
    ASSERT_TRUE(graph().drop_dnd_link_data(inputs, inside(a)));
    EXPECT_EQ(graph().get_links().size(), 3u);
}

TEST_F(GuiNodalDndDataTest, DataOfAnotherViewOrADropOnNothingConnectsNothing)
{
    GuiNodalNode& a = node(graph(), 0, 0);
    GuiNodal* other = new GuiNodal(make_window(300, 200, true, 500, 40), 0, 0, 300, 200);
    other->show();
    GuiNodalNode& stranger = node(*other, 0, 0);
    struct {
        char const* what;
        GuiNodalDndData data;
        GMathVec2<float> point;
    } const cases[] = {
        {"a plug of another view", GuiNodalDndData(output(stranger), true), inside(a)},
        {"no plug", GuiNodalDndData(nullptr, true), inside(a)},
        {"the background", GuiNodalDndData(output(a), true), GMathVec2<float>(5000.0f, 5000.0f)},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        LogRecorder log;
        EXPECT_FALSE(graph().drop_dnd_link_data(c.data, c.point));
        EXPECT_EQ(log.count(2), 1u) << log.dump();
        EXPECT_TRUE(graph().get_links().empty());
    }
}
