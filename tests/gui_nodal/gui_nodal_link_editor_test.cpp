// The link editor of a node-graph view: validating, making, detaching and cutting links
// through the view's hooks, and the highlight of the links around the selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_dot.h"
#include "gui/nodal/gui_nodal_link.h"
#include "gui/nodal/gui_nodal_link_editor.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"
#include "host/of/of_command_manager.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"

namespace {

using Link = GuiNodalLink;
using Node = GuiNodalNodeBase;
using Editor = GuiNodalLinkEditor;

// A view whose hooks record their calls and answer as told.
class RecordingView : public GuiNodal {
public:
    using GuiNodal::GuiNodal;
    bool validate_link_creation(Node& from, Node& to) override
    {
        validations.emplace_back(&from, &to);
        return accept_creation;
    }
    bool validate_link_reconnection(Node&, Node&, Link&) override { return accept_reconnection; }
    bool on_link_remove(Link& link, CoreString const& command) override
    {
        removals.push_back(command);
        batch_during_removal = commands ? commands->get_batch_label() : CoreString();
        return accept_removal && GuiNodal::on_link_remove(link, command);
    }
    bool on_links_remove(std::vector<Link*> const& links, CoreString const& command) override
    {
        cuts.push_back(links);
        cut_command = command;
        return GuiNodal::on_links_remove(links, command);
    }
    void begin_link_creation(Link const&) override { ++begins; }
    void end_link_creation() override { ++ends; }
    void unref_link(Link& link, bool destroy) override
    {
        unrefs.push_back(destroy);
        GuiNodal::unref_link(link, destroy);
    }
    bool has_link(Link const* link) const
    {
        return std::find(get_links().begin(), get_links().end(), link) != get_links().end();
    }

    bool accept_creation = true;
    bool accept_removal = true;
    bool accept_reconnection = false;
    OfCommandManager* commands = nullptr;
    std::vector<std::pair<Node*, Node*>> validations;
    std::vector<CoreString> removals;
    CoreString batch_during_removal;
    std::vector<std::vector<Link*>> cuts;
    CoreString cut_command;
    std::vector<bool> unrefs;
    int begins = 0;
    int ends = 0;
};

template <class View>
class EditorTestBase : public NodalTestBase<View> {
protected:
    using NodalTestBase<View>::graph;
    Editor& editor() { return graph().get_link_editor(); }
    GuiNodalNode& node(CoreString const& name, int x = 0, int y = 0)
    {
        auto& n = *graph().add_node(new GuiNodalNode(graph(), name, x, y, Node::NODE_ANCHOR_SIDES));
        n.update_content(graph().get_dc());
        return n;
    }
    GuiNodalDot& dot(int x, int y)
    {
        GuiNodalDot& d = *graph().instantiate_dot(Node::NODE_ANCHOR_SIDES, GuiNodalDot::DEFAULT_DIAMETER);
        d.move_to(x, y);
        return d;
    }
    static Node& in(Node& n) { return *n.get_anchor(Node::NODE_ANCHOR_LEFT); }
    static Node& out(Node& n) { return *n.get_anchor(Node::NODE_ANCHOR_RIGHT); }
};

using GuiNodalLinkEditorTest = EditorTestBase<RecordingView>;

TEST_F(GuiNodalLinkEditorTest, ValidationPutsNodesToTheHookAndJoinsDotsLeftToRight)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    GuiNodalDot& d1 = dot(100, -200);
    GuiNodalDot& d2 = dot(200, -200);
    struct Row {
        Node* from;
        Node* to;
        bool accept;
        bool result;
        Node* first;  // the hook's arguments; null when it is not asked
        Node* second;
    };
    Row const rows[] = {
        {&out(a), &in(b), true, true, &a, &b},     // plugs stand for their nodes
        {&out(a), &in(b), false, false, &a, &b},   // the hook refuses
        {&in(d1), &out(d2), true, true, &d1, &d2},  // left to right: as given
        {&out(d1), &in(d2), true, true, &d2, &d1},  // right to left: the input side first
        {&out(d1), &out(d2), true, false, nullptr, nullptr},
        {&in(d1), &in(d2), true, false, nullptr, nullptr},
        {&d1, &in(d2), true, false, nullptr, nullptr},  // a dot's body is no anchor
        {&out(a), &in(d1), true, true, &a, &d1},        // one dot only: as given
    };
    for (Row const& row : rows) {
        graph().validations.clear();
        graph().accept_creation = row.accept;
        EXPECT_EQ(editor().manage_link_validation(*row.from, *row.to), row.result) << &row - rows;
        if (!row.first) {
            EXPECT_TRUE(graph().validations.empty()) << &row - rows;
            continue;
        }
        ASSERT_EQ(graph().validations.size(), 1u) << &row - rows;
        EXPECT_EQ(graph().validations[0], std::make_pair(row.first, row.second)) << &row - rows;
    }
}

// Creation: where the drag starts, where it is dropped, and what comes of it.
enum class Place { A_OUT, B_IN, A_BODY, B_BODY, DOT, NOTHING };
struct CreationRow {
    char const* name;
    Place start;
    Place target;
    bool accept;
    bool made;
    Place from;  // the made link's ends
    Place to;
    size_t validations;
};

class GuiNodalLinkCreationTest : public GuiNodalLinkEditorTest, public ::testing::WithParamInterface<CreationRow> {
protected:
    Node* place(Place const& p)
    {
        switch (p) {
            case Place::A_OUT: return &out(*m_a);
            case Place::B_IN: return &in(*m_b);
            case Place::A_BODY: return m_a;
            case Place::B_BODY: return m_b;
            case Place::DOT: return m_dot;
            default: return nullptr;
        }
    }
    void SetUp() override
    {
        m_a = &node("a");
        m_b = &node("b", 300);
        m_dot = &dot(200, -200);
    }
    GuiNodalNode* m_a = nullptr;
    GuiNodalNode* m_b = nullptr;
    GuiNodalDot* m_dot = nullptr;
};

TEST_P(GuiNodalLinkCreationTest, DropCompletesTheLinkOrLeavesNone)
{
    CreationRow const& row = GetParam();
    graph().accept_creation = row.accept;
    Link* link = editor().begin_link_creation(*place(row.start));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->get_state(), Link::LINK_STATE_CREATION);
    EXPECT_TRUE(graph().is_link_interaction());
    EXPECT_FALSE(graph().has_link(link));  // the editor's until completed
    EXPECT_EQ(editor().manage_link_creation(place(row.target)), row.made);

    EXPECT_FALSE(editor().is_creating());
    EXPECT_FALSE(graph().is_link_interaction());
    EXPECT_EQ(graph().begins, 1);
    EXPECT_EQ(graph().ends, 1);
    EXPECT_EQ(graph().validations.size(), row.validations);
    ASSERT_EQ(graph().get_links().size(), row.made ? 1u : 0u);
    if (!row.made) return;
    EXPECT_EQ(graph().get_links()[0], link);
    EXPECT_EQ(link->get_state(), Link::LINK_STATE_NORMAL);
    Node* dot_in = &in(*m_dot);
    EXPECT_EQ(link->get_node_from(), row.from == Place::DOT ? dot_in : place(row.from));
    EXPECT_EQ(link->get_node_to(), row.to == Place::DOT ? dot_in : place(row.to));
}

INSTANTIATE_TEST_SUITE_P(
    Drops, GuiNodalLinkCreationTest,
    ::testing::Values(
        CreationRow{"OntoAPlug", Place::A_OUT, Place::B_IN, true, true, Place::A_OUT, Place::B_IN, 1},
        CreationRow{"OntoADotsLeftPlug", Place::A_OUT, Place::DOT, true, true, Place::A_OUT, Place::DOT, 1},
        CreationRow{"UpstreamOntoANodesRightPlug", Place::B_IN, Place::A_BODY, true, true, Place::A_OUT, Place::B_IN,
                    1},
        CreationRow{"OntoNothing", Place::A_OUT, Place::NOTHING, true, false, Place::NOTHING, Place::NOTHING, 0},
        CreationRow{"DownstreamOntoABody", Place::A_OUT, Place::B_BODY, true, false, Place::NOTHING, Place::NOTHING, 0},
        CreationRow{"OntoItsOwnEnd", Place::A_OUT, Place::A_OUT, true, false, Place::NOTHING, Place::NOTHING, 0},
        CreationRow{"Refused", Place::A_OUT, Place::B_IN, false, false, Place::NOTHING, Place::NOTHING, 1}),
    [](::testing::TestParamInfo<CreationRow> const& info) { return info.param.name; });

TEST_F(GuiNodalLinkEditorTest, CreationFromABoxGoingAwayIsDropped)
{
    GuiNodalNode& a = node("a");
    editor().begin_link_creation(out(a));
    editor().forget_box(a);
    EXPECT_FALSE(editor().is_creating());
    EXPECT_EQ(graph().ends, 1);
    graph().remove_node(a);  // no link of the editor hangs from it any more
    EXPECT_EQ(graph().get_node_count(), 0u);
}

TEST_F(GuiNodalLinkEditorTest, BadGesturesAreRefusedWithAWarning)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    Link* link = graph().create_link(out(a), in(b));
    LogRecorder log;
    EXPECT_FALSE(editor().manage_link_creation(&b));     // no creation
    EXPECT_FALSE(editor().manage_link_destruction(&b));  // no destruction
    EXPECT_FALSE(editor().begin_destruction(*link, a));  // not an end of the link
    editor().begin_link_creation(out(a));
    EXPECT_EQ(editor().begin_link_creation(out(b)), nullptr);  // one gesture at a time
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_TRUE(editor().is_creating());
    editor().cancel_link_creation();
    EXPECT_EQ(graph().get_links().size(), 1u);
}

// Destruction of the link a → b by dragging its to-end off b's input.
enum class Drop { NOTHING, SAME_PLUG, OTHER_PLUG };
struct DestructionRow {
    char const* name;
    Drop drop;
    bool accept_removal;
    bool accept_creation;
    bool accept_reconnection;
    bool changed;
    bool alive;      // still a link of the view
    bool moved;      // its to-end is c's input
    size_t removals; // on_link_remove calls
    std::vector<bool> unrefs;
};

class GuiNodalLinkDestructionTest : public GuiNodalLinkEditorTest,
                                    public ::testing::WithParamInterface<DestructionRow> {};

TEST_P(GuiNodalLinkDestructionTest, ReleaseRemovesKeepsOrReconnects)
{
    DestructionRow const& row = GetParam();
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    GuiNodalNode& c = node("c", 300, -200);
    OfCommandManager commands;
    graph().commands = &commands;
    graph().set_command_manager(&commands);
    graph().accept_removal = row.accept_removal;
    graph().accept_creation = row.accept_creation;
    graph().accept_reconnection = row.accept_reconnection;
    Link* link = graph().create_link(out(a), in(b));
    ASSERT_TRUE(editor().begin_destruction(*link, in(b)));
    EXPECT_EQ(link->get_state(), Link::LINK_STATE_DESTRUCTION);
    Node* target = row.drop == Drop::NOTHING ? nullptr : row.drop == Drop::SAME_PLUG ? &in(b) : &in(c);
    EXPECT_EQ(editor().manage_link_destruction(target), row.changed);

    EXPECT_EQ(editor().get_destruction_link(), nullptr);
    EXPECT_EQ(graph().ends, 1);
    EXPECT_EQ(graph().removals.size(), row.removals);
    EXPECT_EQ(graph().unrefs, row.unrefs);
    EXPECT_EQ(commands.get_batch_level(), 0);
    if (row.drop == Drop::OTHER_PLUG && row.removals == 1) {
        EXPECT_EQ(graph().removals[0], "");  // inside the view's batch
        EXPECT_EQ(graph().batch_during_removal, "RemoveLink");
    } else if (row.removals == 1) {
        EXPECT_EQ(graph().removals[0], "RemoveLink");
    }
    ASSERT_EQ(graph().has_link(link), row.alive);
    if (!row.alive) return;
    EXPECT_EQ(link->get_state(), Link::LINK_STATE_NORMAL);
    EXPECT_EQ(link->get_node_from(), &out(a));
    EXPECT_EQ(link->get_node_to(), row.moved ? &in(c) : &in(b));
}

INSTANTIATE_TEST_SUITE_P(
    Releases, GuiNodalLinkDestructionTest,
    ::testing::Values(
        DestructionRow{"OnNothing", Drop::NOTHING, true, true, false, true, false, false, 1, {true}},
        DestructionRow{"OnNothingRefused", Drop::NOTHING, false, true, false, false, true, false, 1, {}},
        DestructionRow{"OnTheSamePlug", Drop::SAME_PLUG, true, true, false, false, true, false, 0, {}},
        DestructionRow{"OnAnotherPlug", Drop::OTHER_PLUG, true, true, false, true, true, true, 1, {false}},
        DestructionRow{"OnAnotherPlugRemovalRefused", Drop::OTHER_PLUG, false, true, false, false, true, false, 1, {}},
        DestructionRow{"OnAnotherPlugValidationRefused", Drop::OTHER_PLUG, true, false, false, true, false, false, 1,
                       {true}},
        DestructionRow{"OnAnotherPlugReconnectedByTheApplication", Drop::OTHER_PLUG, true, true, true, true, true,
                       true, 0, {}}),
    [](::testing::TestParamInfo<DestructionRow> const& info) { return info.param.name; });

TEST_F(GuiNodalLinkEditorTest, ReleasingOnTheOtherPlugOfTheSameDotChangesNothing)
{
    GuiNodalNode& a = node("a");
    GuiNodalDot& d = dot(300, -20);
    Link* link = graph().create_link(out(a), in(d));
    ASSERT_TRUE(editor().begin_destruction(*link, in(d)));
    EXPECT_FALSE(editor().manage_link_destruction(&out(d)));
    EXPECT_TRUE(graph().removals.empty());
    EXPECT_EQ(link->get_node_to(), &in(d));
    EXPECT_EQ(link->get_state(), Link::LINK_STATE_NORMAL);
}

// Boxes of a fixed size whose links leave and arrive at their middle height: links between
// boxes at the same height run straight.
using Box = NodalTestBox;

TEST_F(GuiNodalLinkEditorTest, KnifeCutsTheLinksItComesNearInScreenPixels)
{
    graph().set_zoom_ratio(0.5f);  // 12 pixels are 24 graph units
    std::vector<std::unique_ptr<Box>> boxes;
    std::vector<Link*> links;
    for (int y : {0, -100, -200, -300}) {  // links along y - 20, from x = 100 to 300
        boxes.push_back(std::make_unique<Box>(graph(), 0, y));
        boxes.push_back(std::make_unique<Box>(graph(), 300, y));
        links.push_back(graph().create_link(**(boxes.end() - 2), *boxes.back()));
    }
    // Down across the first two links, stopping 20 units above the third (within reach) and
    // well above the fourth.
    for (GMathVec2<int> const& p : {GMathVec2<int>(200, 10), GMathVec2<int>(210, -100), GMathVec2<int>(200, -200)})
        editor().add_knife_point(p);
    EXPECT_TRUE(editor().manage_knife_cut());
    ASSERT_EQ(graph().cuts.size(), 1u);
    EXPECT_EQ(graph().cuts[0], (std::vector<Link*>{links[0], links[1], links[2]}));
    EXPECT_EQ(graph().cut_command, "Disconnect");
    EXPECT_EQ(graph().get_links(), std::vector<Link*>{links[3]});
    EXPECT_TRUE(editor().get_knife_path().empty());

    LogRecorder log;
    editor().add_knife_point(GMathVec2<int>(200, -320));
    EXPECT_FALSE(editor().manage_knife_cut());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(graph().cuts.size(), 1u);
    graph().remove_link(*links[3]);  // before its boxes go
}

TEST_F(GuiNodalLinkEditorTest, HighlightWalksUpAndDownstreamPastPlugsAndEmbeddingButNotFadedLinks)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    GuiNodalNode& c = node("c", 600);
    GuiNodalNode& host = node("host", 900);
    GuiNodalNode& inner = node("inner", 900);
    GuiNodalNode& d = node("d", 0, -300);
    GuiNodalNode& e = node("e", -300, -300);
    host.set_embedded_node(&inner);
    Link* ab = graph().create_link(out(a), in(b));
    Link* bc = graph().create_link(b, in(c));           // from the node itself
    Link* c_inner = graph().create_link(out(c), in(inner));  // reaches host
    Link* db = graph().create_link(out(d), in(b));
    Link* ed = graph().create_link(out(e), in(d));
    db->set_shape(Link::LINK_SHAPE_FADED);
    Editor::LinkSet inputs, outputs;
    Editor::compute_node_links_recursively(in(b), true, true, inputs, outputs);  // a plug stands for b
    EXPECT_EQ(inputs, Editor::LinkSet{ab});  // not db, nor ed behind it
    EXPECT_EQ(outputs, (Editor::LinkSet{bc, c_inner}));

    inputs.clear();
    outputs.clear();
    Editor::compute_node_links_recursively(host, true, false, inputs, outputs);
    EXPECT_EQ(inputs, (Editor::LinkSet{c_inner, bc, ab}));
    EXPECT_TRUE(outputs.empty());
    (void)ed;
}

TEST_F(GuiNodalLinkEditorTest, HighlightWalkEndsAroundACycle)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    GuiNodalNode& c = node("c", 600);
    Editor::LinkSet const all{graph().create_link(out(a), in(b)), graph().create_link(out(b), in(c)),
                              graph().create_link(out(c), in(a))};
    Editor::LinkSet inputs, outputs;
    Editor::compute_node_links_recursively(a, true, true, inputs, outputs);
    EXPECT_EQ(inputs, all);
    EXPECT_EQ(outputs, all);
}

TEST_F(GuiNodalLinkEditorTest, HighlightColoursFollowTheModeAndComeBack)
{
    GuiNodalNode& a = node("a");
    GuiNodalNode& b = node("b", 300);
    GuiNodalNode& c = node("c", 600);
    Link* ab = graph().create_link(out(a), in(b));
    Link* bc = graph().create_link(out(b), in(c));
    Link::Color const own = ab->get_bg_normal_color();
    Link::Color const green(0, 255, 0), yellow(255, 255, 0);
    struct Row {
        unsigned int mode;
        bool on;
        Link::Color ab;
        Link::Color bc;
    };
    for (Row const& row : {Row{Editor::LINK_HIGHLIGHT_IN_OUT, true, yellow, green},
                           Row{Editor::LINK_HIGHLIGHT_IN, true, yellow, own},
                           Row{Editor::LINK_HIGHLIGHT_OUT, true, own, green},
                           Row{Editor::LINK_HIGHLIGHT_IN_OUT, false, own, own}}) {
        editor().set_link_highlight_mode(row.mode);
        editor().set_link_highlight(row.on);
        editor().apply_link_highlight({&b});
        EXPECT_EQ(ab->get_bg_normal_color(), row.ab) << row.mode << row.on;
        EXPECT_EQ(bc->get_bg_normal_color(), row.bc) << row.mode << row.on;
    }
    editor().set_link_highlight(true);
    editor().apply_link_highlight({&b});
    EXPECT_EQ(editor().get_highlight_link_color(*ab, {}, {}), own);  // its own colour, not the one given
    editor().apply_link_highlight({});
    EXPECT_EQ(ab->get_bg_normal_color(), own);
    EXPECT_EQ(bc->get_bg_normal_color(), own);
}

using GuiNodalLinkEditorPixelTest = EditorTestBase<NodalPictureView>;

TEST_F(GuiNodalLinkEditorPixelTest, FeedbackFollowsThePointerAndShowsTheKnife)
{
    Box a(graph(), 0, 0);
    graph().drawing = [this](GuiGlWidgetDc& dc) { editor().draw(dc); };
    graph().drawing_only = true;
    ASSERT_NE(editor().begin_link_creation(a), nullptr);
    auto const pixel = [this](int x, int y) {
        GMathVec2<int> const at = graph().world_to_screen(GMathVec2<float>(x, y));
        return graph().pixel(at[0] - 1, at[1]);
    };
    editor().set_graph_mouse_pos(GMathVec2<int>(300, -150));
    draw_view();
    EXPECT_NE(pixel(300, -150), Link::Color(0, 0, 0));
    // Moved by the view itself: the free end follows all the same.
    graph().set_graph_mouse_pos(GMathVec2<int>(300, -250));
    draw_view();
    EXPECT_NE(pixel(300, -250), Link::Color(0, 0, 0));
    EXPECT_EQ(pixel(300, -150), Link::Color(0, 0, 0));
    editor().cancel_link_creation();

    editor().add_knife_point(GMathVec2<int>(50, -100));
    editor().add_knife_point(GMathVec2<int>(50, -200));
    draw_view();
    Link::Color const knife = pixel(51, -150);
    EXPECT_GT(knife[0], 128);
    EXPECT_LT(knife[1], 100);
}

}  // namespace
