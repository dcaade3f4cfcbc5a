// The node-graph view's interaction: selecting by click, modifiers and rubber band, moving
// with snapping, magnet and cancel, backdrops carrying their content, panning, wheel zoom,
// fitting, buttons, and the view settings.
#include <gtest/gtest.h>

#include "gui/core/gui.h"
#include "gui/core/gui_color_scheme.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_backdrop.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_link_editor.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/app/app_base.h"
#include "host/of/of_command_manager.h"
#include "host/parser/parser_group.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Vec = GMathVec2<int>;
using Node = GuiNodalNodeBase;
constexpr int LEFT = Gui::MOUSE_BUTTON_ID_LEFT;
constexpr int MIDDLE = Gui::MOUSE_BUTTON_ID_MIDDLE;

// A view that records what it hands to the application.
class RecordingNodal : public GuiNodal {
public:
    using GuiNodal::GuiNodal;
    void apply_nodes_positions(std::vector<GuiNodalNodeBase*> const& boxes) override { applied.push_back(boxes); }
    void selection_changed() override { ++selection_changes; }
    std::vector<std::vector<GuiNodalNodeBase*>> applied;
    int selection_changes = 0;
};

int s_events = 0;
void count_event(EventObject&, EventObject::EventInfo const&, void*)
{
    ++s_events;
}

class GuiNodalInteractionTest : public NodalTestBase<RecordingNodal> {
protected:
    void SetUp() override
    {
        s_events = 0;
        graph().set_smooth_transitions(false);
    }
    GuiNodalNode& node(CoreString const& name, int x, int y)
    {
        GuiNodalNode& n = *graph().add_node(new GuiNodalNode(graph(), name, x, y, Node::NODE_ANCHOR_SIDES));
        n.update_content(graph().get_dc());
        return n;
    }
    // The widget pixel over a graph point.
    Vec at(int x, int y) const { return m_graph_view().world_to_screen(GMathVec2<float>(x, y)); }
    Vec inside(GuiNodalNodeBase const& box) const
    {
        GMathVec2<int> const& pos = box.get_world_pos();
        return at(pos[0] + 10, pos[1] - box.get_height() / 2);
    }
    void click(Vec const& pixel, bool shift = false, bool ctrl = false)
    {
        graph().on_press(pixel, LEFT, shift, ctrl, false);
        graph().on_release(pixel, LEFT, shift, ctrl);
    }
    void drag(Vec const& from, Vec const& to, int button = LEFT, bool shift = false, bool ctrl = false)
    {
        graph().on_press(from, button, shift, ctrl, false);
        graph().on_drag(from + (to - from) / 2);
        graph().on_drag(to);
        graph().on_release(to, button, shift, ctrl);
    }
    RecordingNodal const& m_graph_view() const { return const_cast<GuiNodalInteractionTest*>(this)->graph(); }
};

TEST(GuiNodalStates, AreNamedByValue)
{
    EXPECT_STREQ(GuiNodal::get_graph_state_name(GuiNodal::GRAPH_STATE_IDLE), "GRAPH_STATE_IDLE");
    EXPECT_STREQ(GuiNodal::get_graph_state_name(GuiNodal::GRAPH_STATE_KNIFE), "GRAPH_STATE_KNIFE");
    EXPECT_STREQ(GuiNodal::get_graph_state_name(GuiNodal::GRAPH_STATE_MINIMAP_DRAG), "GRAPH_STATE_MINIMAP_DRAG");
    EXPECT_STREQ(GuiNodal::get_graph_state_name(12), "");
    EXPECT_STREQ(GuiNodal::get_graph_state_name(-1), "");
}

TEST_F(GuiNodalInteractionTest, ClicksSelectAddToggleAndClear)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 200, -20);
    EventObject::connect(graph(), EVT_ID_NODAL_SELECTION_CHANGED, &count_event);
    click(inside(a));
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&a}));
    click(inside(b), true);  // shift adds
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&a, &b}));
    EXPECT_TRUE(b.get_is_selected());
    click(inside(a), false, true);  // ctrl toggles
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&b}));
    EXPECT_FALSE(a.get_is_selected());
    click(at(150, -250));  // empty space
    EXPECT_TRUE(graph().get_selection().empty());
    EXPECT_EQ(s_events, 4);
    EXPECT_EQ(graph().selection_changes, 4);
}

TEST_F(GuiNodalInteractionTest, ARubberBandPreselectsWhileDraggedAndSelectsWhatItHoldsWhole)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 20, -80);
    GuiNodalNode& c = node("c", 250, -20);
    Vec const from = at(5, -5);
    Vec const to = at(160, -120);
    graph().on_press(from, LEFT, false, false, false);
    graph().on_drag(to);
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_MULTISELECTION_SQUARE);
    EXPECT_TRUE(a.get_is_preselected());
    EXPECT_TRUE(b.get_is_preselected());
    EXPECT_FALSE(c.get_is_preselected());
    graph().on_release(to, LEFT, false, false);
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&a, &b}));
    EXPECT_FALSE(a.get_is_preselected());
    // Shift adds what the band holds; ctrl toggles it.
    drag(at(240, -5), at(390, -60), LEFT, true);
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&a, &b, &c}));
    drag(at(5, -5), at(160, -60), LEFT, false, true);
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&b, &c}));
    // Escape drops a band under way.
    graph().on_press(from, LEFT, false, false, false);
    graph().on_drag(to);
    EXPECT_TRUE(graph().on_key(Gui::KEY_ID_ESCAPE));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
    EXPECT_FALSE(a.get_is_preselected());
}

TEST_F(GuiNodalInteractionTest, DraggingMovesTheSelectionOnceAndEscapePutsItBack)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 200, -20);
    GuiNodalLink* link = graph().create_link(*a.get_anchor(Node::NODE_ANCHOR_RIGHT), *b.get_anchor(Node::NODE_ANCHOR_LEFT));
    graph().set_selection({&a, &b});
    EventObject::connect(graph(), EVT_ID_NODAL_NODES_MOVED, &count_event);
    drag(inside(a), inside(a) + Vec(30, 40));
    EXPECT_EQ(a.get_world_pos(), Vec(50, -60));
    EXPECT_EQ(b.get_world_pos(), Vec(230, -60));
    EXPECT_EQ(s_events, 1);
    ASSERT_EQ(graph().applied.size(), 1u);
    EXPECT_EQ(graph().applied[0].size(), 2u);
    link->update_content();
    EXPECT_EQ(link->get_from_x(), 50 + a.get_width());  // the link followed
    // Escape during a drag puts the boxes back and tells nobody.
    graph().on_press(inside(a), LEFT, false, false, false);
    graph().on_drag(inside(a) + Vec(100, 0));
    EXPECT_EQ(a.get_world_pos(), Vec(150, -60));
    EXPECT_TRUE(graph().on_key(Gui::KEY_ID_ESCAPE));
    EXPECT_EQ(a.get_world_pos(), Vec(50, -60));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
    EXPECT_EQ(s_events, 1);
}

TEST_F(GuiNodalInteractionTest, SnappingPutsTheLeadingCornerOnTheGridAndTheMagnetOnANeighbour)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& still = node("still", 300, -200);
    graph().set_grid_snapping(true);
    graph().set_selection({&a});
    drag(inside(a), inside(a) + Vec(57, -3));
    EXPECT_EQ(a.get_world_pos(), graph().snap_coord(Vec(77, -17)));
    EXPECT_EQ(a.get_world_pos()[0] % graph().get_grid_size(), 0);
    graph().set_grid_snapping(false);
    graph().set_magnet(true);
    // Within a few pixels of the other box's left edge and top: pulled onto them.
    Vec const near(still.get_world_pos()[0] + 4, still.get_world_pos()[1] + 60);
    drag(inside(a), inside(a) + (near - a.get_world_pos()));
    EXPECT_EQ(a.get_world_pos()[0], still.get_world_pos()[0]);
}

TEST_F(GuiNodalInteractionTest, SnapCoordFollowsTheGridSize)
{
    struct Row {
        int size;
        Vec point;
        Vec snapped;
    };
    for (Row const& row : {Row{40, Vec(19, -20), Vec(0, -40)}, Row{40, Vec(20, 59), Vec(40, 40)},
                           Row{25, Vec(-12, 13), Vec(0, 25)}, Row{1, Vec(-7, 7), Vec(-7, 7)}}) {
        graph().set_grid_size(row.size);
        EXPECT_EQ(graph().snap_coord(row.point), row.snapped) << row.size;
    }
    LogRecorder log;
    graph().set_grid_size(0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(graph().get_grid_size(), 1);
}

TEST_F(GuiNodalInteractionTest, ABackdropDraggedByItsGripperCarriesItsContent)
{
    GuiNodalBackdrop* frame = graph().instantiate_backdrop("frame", 0, 0);
    GuiNodalNode& inner = node("inner", 40, -60);
    GuiNodalNode& picked = node("picked", 40, -120);
    graph().complete_backdrop_update_request();
    ASSERT_TRUE(frame->is_in_content(inner));
    frame->update_content(graph().get_dc());
    graph().set_selection({&picked});
    // Clicking the gripper selects the frame alone; shift keeps the node with it.
    Vec const gripper = at(100, -frame->get_gripper_height() / 2);
    graph().on_press(gripper, LEFT, true, false, false);
    graph().on_drag(gripper + Vec(50, 0));
    graph().on_release(gripper + Vec(50, 0), LEFT, true, false);
    EXPECT_EQ(frame->get_world_pos(), Vec(50, 0));
    EXPECT_EQ(inner.get_world_pos(), Vec(90, -60));
    EXPECT_EQ(picked.get_world_pos(), Vec(90, -120));  // moved once, by the selection
}

TEST_F(GuiNodalInteractionTest, MiddleDragPansAndTheWheelZoomsAroundThePointer)
{
    GMathVec2<float> const start = graph().get_view_pos();
    drag(Vec(200, 150), Vec(150, 110), MIDDLE);
    EXPECT_FLOAT_EQ(graph().get_view_pos()[0], start[0] + 50.0f);
    EXPECT_FLOAT_EQ(graph().get_view_pos()[1], start[1] - 40.0f);
    Vec const pointer(100, 100);
    GMathVec2<float> const under = graph().to_graph(pointer[0], pointer[1]);
    graph().on_wheel(pointer, 2);
    EXPECT_LT(graph().get_zoom_ratio(), 0.8f);
    EXPECT_NEAR(graph().to_graph(pointer[0], pointer[1])[0], under[0], 0.5f);
    graph().on_wheel(pointer, -10);  // past the top: stops at ratio 1
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), 1.0f);
}

TEST_F(GuiNodalInteractionTest, FittingShowsTheGraphOrTheSelectionAndAnEmptyGraphTheFirstView)
{
    GuiNodalNode& a = node("a", -2000, 500);
    GuiNodalNode& b = node("b", 3000, -1500);
    graph().manage_fit(false);
    GMathVec4<int> const& area = graph().get_view_area();
    for (GuiNodalNode const* n : {&a, &b}) {
        EXPECT_GE(n->get_world_pos()[0], area[0]);
        EXPECT_LE(n->get_world_pos()[0] + n->get_width(), area[2]);
        EXPECT_LE(n->get_world_pos()[1], area[3]);
        EXPECT_GE(n->get_world_pos()[1] - n->get_height(), area[1]);
    }
    EXPECT_LT(graph().get_zoom_ratio(), 0.2f);
    graph().set_selection({&a});
    graph().manage_fit(true);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), 1.0f);  // one node fits at full size
    EXPECT_TRUE(GuiNodal::is_inside(a.get_world_pos()[0], a.get_world_pos()[1], graph().get_view_area()[0],
                                    graph().get_view_area()[2], graph().get_view_area()[3], graph().get_view_area()[1]));
    graph().remove_node(a);
    graph().remove_node(b);
    graph().manage_fit(false);
    EXPECT_EQ(graph().compute_graph_coords(Vec(graph().get_viewport_offset(), graph().get_viewport_offset())), Vec(0, 0));
}

TEST_F(GuiNodalInteractionTest, ASmoothFitToAFarPlacePassesThroughAViewOfBoth)
{
    node("far", 5000, -5000);
    GMathVec4<int> const start = graph().get_view_area();
    graph().set_smooth_transitions(true);
    graph().manage_fit(false);
    ASSERT_TRUE(graph().is_animating_view());
    ASSERT_TRUE(graph().is_view_animation_through_middle());
    double const now = AppBase::get_instance()->get_run_time();
    // Halfway: the view shows where it was and where it goes.
    EXPECT_TRUE(graph().step_view_animation(now + GuiNodal::FIT_DURATION));
    GMathVec4<int> const& middle = graph().get_view_area();
    EXPECT_LE(middle[0], start[0]);
    EXPECT_GE(middle[3], start[3]);
    EXPECT_TRUE(GuiNodal::is_inside(5010, -5005, middle[0], middle[2], middle[3], middle[1]));
    EXPECT_FALSE(graph().step_view_animation(now + 2.0 * GuiNodal::FIT_DURATION + 1.0));
    EXPECT_FALSE(graph().is_animating_view());
    GMathVec4<int> const& area = graph().get_view_area();
    EXPECT_TRUE(GuiNodal::is_inside(5010, -5005, area[0], area[2], area[3], area[1]));
    EXPECT_FALSE(GuiNodal::is_inside(start[0] + 10, start[3] - 10, area[0], area[2], area[3], area[1]));
}

TEST_F(GuiNodalInteractionTest, APanToAPlacePartlyInViewIsNotAnimated)
{
    graph().set_smooth_transitions(true);
    GMathVec2<float> const target = graph().get_view_pos() + GMathVec2<float>(100.0f, -50.0f);
    graph().go_to_view(target, graph().get_zoom_ratio());
    EXPECT_FALSE(graph().is_animating_view());
    EXPECT_EQ(graph().get_view_pos(), target);
}

TEST_F(GuiNodalInteractionTest, AClickOnANodeButtonPressesIt)
{
    GuiNodalNode& n = node("n", 20, -20);
    n.add_plug_button();
    n.update_content(graph().get_dc());
    GuiNodalNodeZoneButton& button = *n.get_plug_button();
    GMathVec2<int> const& pos = button.get_world_pos();
    click(at(pos[0] + button.get_width() / 2, pos[1] - button.get_height() / 2));
    EXPECT_EQ(n.get_zones_display_mode(), GuiNodalNode::ZONE_DISPLAY_CONNECTED);
    EXPECT_TRUE(graph().get_selection().empty());  // the button is not the node
}

TEST_F(GuiNodalInteractionTest, SettingsComeBackAndBadEntriesChangeNothing)
{
    graph().set_zoom_ratio(0.25f);
    graph().set_view_pos(GMathVec2<float>(120.0f, -340.0f));
    graph().set_grid_size(25);
    graph().set_grid_snapping(true);
    graph().set_magnet(true);
    ParserGroup saved;
    graph().save_settings(saved);
    graph().set_zoom_ratio(1.0f);
    graph().set_view_pos(GMathVec2<float>(0.0f, 0.0f));
    graph().set_grid_size(40);
    graph().set_grid_snapping(false);
    graph().set_magnet(false);
    graph().load_settings(saved);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), 0.25f);
    EXPECT_EQ(graph().get_view_pos(), GMathVec2<float>(120.0f, -340.0f));
    EXPECT_EQ(graph().get_grid_size(), 25);
    EXPECT_TRUE(graph().is_grid_snapping());
    EXPECT_TRUE(graph().is_magnet());

    ParserGroup bad;
    ParserGroup& mine = bad.add_group("GuiNodal");
    mine.add_entry("grid").add_bool(false);  // two values short
    mine.add_entry("zoom_factor").add_string("big");
    LogRecorder log;
    graph().load_settings(bad);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(graph().get_grid_size(), 25);
    EXPECT_FLOAT_EQ(graph().get_zoom_ratio(), 0.25f);
}

TEST_F(GuiNodalInteractionTest, DraggingFromAPlugConnectsAndFromAnInputDetaches)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 250, -120);
    auto const plug_pixel = [this](GuiNodalNodeBase& n, Node::NodeAnchor side) {
        GMathVec2<int> const& pos = n.get_anchor(side)->get_world_pos();
        return at(pos[0], pos[1]);
    };
    drag(plug_pixel(a, Node::NODE_ANCHOR_RIGHT), plug_pixel(b, Node::NODE_ANCHOR_LEFT));
    ASSERT_EQ(graph().get_links().size(), 1u);
    GuiNodalLink* link = graph().get_links().front();
    EXPECT_EQ(link->get_node_from(), a.get_anchor(Node::NODE_ANCHOR_RIGHT));
    EXPECT_EQ(link->get_node_to(), b.get_anchor(Node::NODE_ANCHOR_LEFT));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
    // Dropped on empty space, a new link goes; Escape drops one under way.
    drag(plug_pixel(a, Node::NODE_ANCHOR_RIGHT), at(200, -300));
    EXPECT_EQ(graph().get_links().size(), 1u);
    graph().on_press(plug_pixel(a, Node::NODE_ANCHOR_RIGHT), LEFT, false, false, false);
    graph().on_drag(at(150, -200));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_LINK_CREATION);
    EXPECT_TRUE(graph().on_key(Gui::KEY_ID_ESCAPE));
    graph().on_release(at(150, -200), LEFT, false, false);
    EXPECT_EQ(graph().get_links().size(), 1u);
    // From the connected input, the link's end comes off; dropped on nothing, the link goes.
    drag(plug_pixel(b, Node::NODE_ANCHOR_LEFT), at(200, -300));
    EXPECT_TRUE(graph().get_links().empty());
}

TEST_F(GuiNodalInteractionTest, ARightDragCutsTheLinksItCrossesAndAClickDoesNot)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 20, -100);
    GuiNodalNode& c = node("c", 300, -60);
    graph().create_link(*a.get_anchor(Node::NODE_ANCHOR_RIGHT), *c.get_anchor(Node::NODE_ANCHOR_LEFT));
    graph().create_link(*b.get_anchor(Node::NODE_ANCHOR_RIGHT), *c.get_anchor(Node::NODE_ANCHOR_LEFT));
    graph().on_press(at(200, -300), Gui::MOUSE_BUTTON_ID_RIGHT, false, false, false);
    graph().on_release(at(201, -300), Gui::MOUSE_BUTTON_ID_RIGHT, false, false);
    EXPECT_EQ(graph().get_links().size(), 2u);
    graph().on_press(at(200, 0), Gui::MOUSE_BUTTON_ID_RIGHT, false, false, false);
    graph().on_drag(at(200, -100));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_KNIFE);
    graph().on_drag(at(200, -200));
    graph().on_release(at(200, -200), Gui::MOUSE_BUTTON_ID_RIGHT, false, false);
    EXPECT_TRUE(graph().get_links().empty());
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
}

TEST_F(GuiNodalInteractionTest, RemovingASelectedOrHoveredNodeLeavesNoTrace)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 200, -20);
    graph().set_selection({&a, &b});
    graph().on_hover(inside(a));
    EXPECT_EQ(graph().get_hovered_box(), &a);
    graph().on_press(inside(a), LEFT, false, false, false);
    graph().on_drag(inside(a) + Vec(20, 0));
    graph().remove_node(a);  // mid-move
    EXPECT_EQ(graph().get_selection(), (std::vector<Node*>{&b}));
    EXPECT_EQ(graph().get_hovered_box(), nullptr);
    graph().on_drag(inside(b) + Vec(40, 0));
    graph().on_release(inside(b) + Vec(40, 0), LEFT, false, false);
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
}

TEST_F(GuiNodalInteractionTest, MovesAndLinkGesturesUndoInOneStepEach)
{
    OfCommandManager commands;
    graph().set_command_manager(&commands);
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& b = node("b", 250, -120);
    graph().set_selection({&a});
    drag(inside(a), inside(a) + Vec(30, 0));
    ASSERT_EQ(commands.get_undo_count(), 1u);
    EXPECT_EQ(commands.get_undo_label(), CoreString("Move Nodes"));
    EXPECT_TRUE(commands.undo());
    EXPECT_EQ(a.get_world_pos(), Vec(20, -20));
    EXPECT_TRUE(commands.redo());
    EXPECT_EQ(a.get_world_pos(), Vec(50, -20));

    auto const plug_pixel = [this](GuiNodalNodeBase& n, Node::NodeAnchor side) {
        GMathVec2<int> const& pos = n.get_anchor(side)->get_world_pos();
        return at(pos[0], pos[1]);
    };
    drag(plug_pixel(a, Node::NODE_ANCHOR_RIGHT), plug_pixel(b, Node::NODE_ANCHOR_LEFT));
    ASSERT_EQ(graph().get_links().size(), 1u);
    EXPECT_EQ(commands.get_undo_label(), CoreString("Connect"));
    EXPECT_TRUE(commands.undo());
    EXPECT_TRUE(graph().get_links().empty());
    EXPECT_TRUE(commands.redo());
    ASSERT_EQ(graph().get_links().size(), 1u);
    EXPECT_EQ(graph().get_links().front()->get_node_to(), b.get_anchor(Node::NODE_ANCHOR_LEFT));

    // A cut undoes into the link it took.
    graph().on_press(at(200, 100), Gui::MOUSE_BUTTON_ID_RIGHT, false, false, false);
    graph().on_drag(at(200, -100));
    graph().on_drag(at(200, -400));
    graph().on_release(at(200, -400), Gui::MOUSE_BUTTON_ID_RIGHT, false, false);
    EXPECT_TRUE(graph().get_links().empty());
    EXPECT_EQ(commands.get_undo_label(), CoreString("Disconnect"));
    EXPECT_TRUE(commands.undo());
    EXPECT_EQ(graph().get_links().size(), 1u);

    // Steps about a node that has gone change nothing.
    graph().remove_node(a);
    while (commands.is_undoable()) commands.undo();
    EXPECT_TRUE(graph().get_links().empty());
    EXPECT_EQ(b.get_world_pos(), Vec(250, -120));
    graph().set_command_manager(nullptr);
}

TEST_F(GuiNodalInteractionTest, StepsOutlivingTheirViewDoNothing)
{
    OfCommandManager commands;
    auto* view = new GuiNodal(make_window(300, 200), 0, 0, 300, 200);
    view->set_smooth_transitions(false);
    view->set_command_manager(&commands);
    GuiNodalNode& n = *view->add_node(new GuiNodalNode(*view, "n", 10, -10, 0));
    n.update_content(view->get_dc());
    view->set_selection({&n});
    GMathVec2<int> const start = view->world_to_screen(GMathVec2<float>(20.0f, -15.0f));
    view->on_press(start, LEFT, false, false, false);
    view->on_drag(start + Vec(40, 0));
    view->on_release(start + Vec(40, 0), LEFT, false, false);
    ASSERT_EQ(commands.get_undo_count(), 1u);
    delete view;
    EXPECT_TRUE(commands.undo());  // the view is gone: nothing to move back
    EXPECT_TRUE(commands.redo());
}

TEST_F(GuiNodalInteractionTest, TheMinimapShowsWhileTheGraphReachesBeyondTheViewAndMovesIt)
{
    EXPECT_FALSE(graph().is_minimap_visible());  // an empty graph
    node("near", 20, -20);
    EXPECT_FALSE(graph().is_minimap_visible());  // all in view
    node("far", 2980, -1480);
    ASSERT_TRUE(graph().is_minimap_visible());
    GMathVec2<int> min, max;
    graph().get_graph_bounding(min, max);
    EXPECT_FLOAT_EQ(graph().get_minimap_scale(),
                    static_cast<float>(std::max(max[0] - min[0], max[1] - min[1])) / GuiNodal::MINIMAP_SIZE);
    // In the bottom-right corner; the graph's box fills its width, centred down it.
    GMathVec4<int> const square = graph().get_minimap_geometry();
    EXPECT_EQ(square[0] + square[2], graph().get_width() - graph().get_viewport_offset() - GuiNodal::MINIMAP_MARGIN);
    GMathVec4<int> const rect = graph().get_minimap_graph_rect();
    EXPECT_EQ(rect[2], GuiNodal::MINIMAP_SIZE);
    EXPECT_EQ(rect[1] - square[1], (square[3] - rect[3]) / 2);
    // A press on the map's far corner brings that part of the graph into the view's middle.
    Vec const corner(rect[0] + rect[2] - 1, rect[1] + rect[3] - 1);
    graph().on_press(corner, LEFT, false, false, false);
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_MINIMAP_DRAG);
    graph().on_release(corner, LEFT, false, false);
    GMathVec4<int> const& area = graph().get_view_area();
    EXPECT_TRUE(GuiNodal::is_inside(max[0] - 20, min[1] + 20, area[0], area[2], area[3], area[1]));
    EXPECT_TRUE(graph().get_selection().empty());  // the map takes the press, not the graph
    graph().enable_minimap(false);
    EXPECT_FALSE(graph().is_minimap_visible());
}

TEST_F(GuiNodalInteractionTest, DraggingPastTheEdgeScrollsOnceByTheOvershoot)
{
    GuiNodalNode& n = node("n", 300, -100);
    graph().set_selection({&n});
    float const x0 = graph().get_view_pos()[0];
    int const edge = graph().get_viewport_offset() + graph().get_graph_zone_width();
    graph().on_press(inside(n), LEFT, false, false, false);
    graph().on_drag(Vec(edge + 52, inside(n)[1]));
    EXPECT_FLOAT_EQ(graph().get_view_pos()[0], x0 + 52.0f);
    graph().on_drag(Vec(edge + 52, inside(n)[1]));  // held still: no more
    graph().on_drag(Vec(edge + 20, inside(n)[1]));  // coming back: the view stays
    EXPECT_FLOAT_EQ(graph().get_view_pos()[0], x0 + 52.0f);
    // The node stays under the pointer all along.
    EXPECT_EQ(graph().world_to_screen(GMathVec2<float>(n.get_world_pos()[0] + 10, 0))[0], edge + 20);
    graph().on_release(Vec(edge + 20, inside(n)[1]), LEFT, false, false);
}

TEST_F(GuiNodalInteractionTest, ThePointerLightsUpWhatItIsOver)
{
    GuiNodalNode& n = node("n", 20, -20);
    GuiNodalItem::Color const plain = n.get_outline_color();
    graph().on_hover(inside(n));
    EXPECT_EQ(graph().get_highlighted_item(), &n);
    EXPECT_TRUE(n.get_is_highlighted());
    EXPECT_NE(n.get_outline_color(), plain);
    GMathVec2<int> const& plug = n.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_world_pos();
    graph().on_hover(at(plug[0], plug[1]));
    EXPECT_EQ(graph().get_highlighted_item(), n.get_anchor(Node::NODE_ANCHOR_RIGHT));
    EXPECT_FALSE(n.get_is_highlighted());
    graph().on_hover(at(300, -250));
    EXPECT_EQ(graph().get_highlighted_item(), nullptr);
    EXPECT_FALSE(n.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_is_highlighted());
    graph().set_is_highlighting_allowed(false);
    graph().on_hover(inside(n));
    EXPECT_EQ(graph().get_highlighted_item(), nullptr);
    // Selected, the outline takes the scheme's selection colour.
    graph().set_selection({&n});
    EXPECT_EQ(n.get_outline_color(), graph().get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_SELECTION));
}

TEST_F(GuiNodalInteractionTest, ALoneNodeDroppedOnALinkGoesIntoItInOneUndoStep)
{
    OfCommandManager commands;
    graph().set_command_manager(&commands);
    GuiNodalNode& a = node("a", 0, -100);
    GuiNodalNode& b = node("b", 360, -100);
    GuiNodalNode& c = node("c", 150, -250);
    graph().create_link(*a.get_anchor(Node::NODE_ANCHOR_RIGHT), *b.get_anchor(Node::NODE_ANCHOR_LEFT));
    graph().set_selection({&c});
    // Dragged by its middle onto the link's middle.
    GMathVec2<int> const centre = c.get_center();
    Vec const grab = at(centre[0], centre[1]);
    int const link_y = a.get_anchor(Node::NODE_ANCHOR_RIGHT)->get_world_pos()[1];
    drag(grab, at(centre[0] + 30, link_y));
    ASSERT_EQ(graph().get_links().size(), 2u);
    EXPECT_NE(graph().find_link(*a.get_anchor(Node::NODE_ANCHOR_RIGHT), *c.get_anchor(Node::NODE_ANCHOR_LEFT)), nullptr);
    EXPECT_NE(graph().find_link(*c.get_anchor(Node::NODE_ANCHOR_RIGHT), *b.get_anchor(Node::NODE_ANCHOR_LEFT)), nullptr);
    ASSERT_EQ(commands.get_undo_count(), 1u);
    EXPECT_TRUE(commands.undo());
    EXPECT_EQ(graph().get_links().size(), 1u);
    EXPECT_NE(graph().find_link(*a.get_anchor(Node::NODE_ANCHOR_RIGHT), *b.get_anchor(Node::NODE_ANCHOR_LEFT)), nullptr);
    EXPECT_EQ(c.get_center(), centre);
    // Off, or with a side already taken, the node only moves.
    graph().set_node_auto_insert(false);
    drag(grab, at(centre[0] + 30, link_y));
    EXPECT_EQ(graph().get_links().size(), 1u);
    graph().set_command_manager(nullptr);
}

TEST_F(GuiNodalInteractionTest, NewNodesLineUpFromTheHotspotAtTheirScreenSpacing)
{
    graph().set_zoom_ratio(0.5f);
    graph().set_hotspot(Vec(100, -100));
    EXPECT_EQ(graph().get_usable_hotspot(), Vec(100, -100));
    EXPECT_EQ(graph().get_usable_hotspot(), Vec(200, -100));  // 50 pixels at ratio 0.5
    EXPECT_EQ(graph().get_usable_hotspot(), Vec(300, -100));
    graph().set_hotspot(Vec(0, 0));
    EXPECT_EQ(graph().get_usable_hotspot(), Vec(0, 0));
}

TEST_F(GuiNodalInteractionTest, ConnectingFromTheKeyboardEndsWithTheNextClick)
{
    GuiNodalNode& a = node("a", 20, -20);
    GuiNodalNode& c = node("c", 20, -120);
    GuiNodalNode& b = node("b", 250, -60);
    GMathVec2<int> const& input = b.get_anchor(Node::NODE_ANCHOR_LEFT)->get_world_pos();
    graph().set_selection({&a, &c});
    EXPECT_TRUE(graph().run_action("start_connecting"));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_LINK_CREATION);
    graph().on_hover(at(input[0], input[1]));
    click(at(input[0], input[1]));
    ASSERT_EQ(graph().get_links().size(), 1u);  // from the first selected node only
    EXPECT_EQ(graph().get_links().front()->get_node_from(), a.get_anchor(Node::NODE_ANCHOR_RIGHT));
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
    // Multi-connecting starts one link from each selected node.
    graph().set_selection({&a, &c});
    EXPECT_TRUE(graph().run_action("start_multiconnecting"));
    EXPECT_EQ(graph().get_link_editor().get_creation_links().size(), 2u);
    click(at(400, -280));  // on nothing: both go
    EXPECT_EQ(graph().get_links().size(), 1u);
    EXPECT_TRUE(graph().get_link_editor().get_creation_links().empty());
}

}  // namespace
