// Tree lines: totals through expansion, collapse and display, the virtual window (only the
// items in view are placed, shown and given toolkit objects), scrolling and refreshes.
#include "gui/controls/gui_scrollbar.h"
#include "tests/gui_tree/tree_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

class LinesTest : public TreeTest {};

struct TotalsStep {
    char const* action;
    unsigned int root, a, b;  // totals after the action
};

}  // namespace

TEST_F(LinesTest, TotalsFollowExpansionCollapseAndDisplay)
{
    make_tree();
    // root: A (a0, B (b0..b3), a2), C
    GuiTreeItemBasic* a = add(root(), "A", true);
    add(*a, "a0");
    GuiTreeItemBasic* b = add(*a, "B", true);
    add_leaves(*b, "b", 4);
    add(*a, "a2");
    GuiTreeItemBasic* c = add(root(), "C");
    std::vector<std::pair<std::function<void()>, TotalsStep>> const steps = {
        {[] {}, {"start", 3, 1, 1}},
        {[&] { a->expand(); }, {"expand A", 6, 4, 1}},
        {[&] { b->expand(); }, {"expand B", 10, 8, 5}},
        {[&] { b->expand(); }, {"expand B again", 10, 8, 5}},
        {[&] { c->expand(); }, {"expand a leaf", 10, 8, 5}},
        {[&] { a->collapse(); }, {"collapse A", 3, 1, 5}},
        {[&] { a->collapse(); }, {"collapse A again", 3, 1, 5}},
        {[&] { b->display(false); }, {"hide B under collapsed A", 3, 1, 0}},
        {[&] { a->expand(); }, {"expand A", 5, 3, 0}},
        {[&] { b->display(true); }, {"show B", 10, 8, 5}},
        {[&] { add(*b, "b4"); }, {"add under B", 11, 9, 6}},
        {[&] { b->remove_child(0); }, {"remove under B", 10, 8, 5}},
    };
    for (auto const& [action, expected] : steps) {
        action();
        EXPECT_EQ(root().get_total(), expected.root) << expected.action;
        EXPECT_EQ(a->get_total(), expected.a) << expected.action;
        EXPECT_EQ(b->get_total(), expected.b) << expected.action;
    }
}

TEST_F(LinesTest, CollapsingAParentOfFiftyLinesTakesFortyNineFromEveryAncestor)
{
    make_tree();
    GuiTreeItemBasic* g1 = add(root(), "g1", true);
    GuiTreeItemBasic* g2 = add(*g1, "g2", true);
    GuiTreeItemBasic* parent = add(*g2, "p", true);
    add_leaves(*parent, "leaf", 49);
    m_tree->expand_all();
    unsigned int const before[] = {root().get_total(), g1->get_total(), g2->get_total()};
    parent->collapse();
    EXPECT_EQ(root().get_total(), before[0] - 49);
    EXPECT_EQ(g1->get_total(), before[1] - 49);
    EXPECT_EQ(g2->get_total(), before[2] - 49);
    EXPECT_EQ(parent->get_total(), 1u);
}

TEST_F(LinesTest, OnlyTheItemsInTheWindowArePlacedShownAndMadeToolkitObjects)
{
    make_tree(200);
    // 100 groups of 99 leaves: 10,000 expanded lines.
    for (int g = 0; g < 100; ++g) add_leaves(*add(root(), "g" + std::to_string(g), true), "l", 99);
    m_tree->expand_all();
    pump_events(app());
    ASSERT_EQ(m_tree->get_line_count(), 10000u);
    EXPECT_EQ(visible(), (Names{"g0", "l0", "l1", "l2", "l3", "l4", "l5", "l6", "l7", "l8"}));
    for (GuiTreeItem* item : m_tree->get_visible_items()) EXPECT_TRUE(item->is_shown());
    GuiTreeItem* far = root().get_children()[50]->get_children()[0];
    EXPECT_EQ(far->get_widget(), nullptr) << "an item never shown has no router";
    EXPECT_EQ(static_cast<GuiTreeItemBasic*>(far)->get_inner_widget(), nullptr);

    GuiTreeItem* first = m_tree->get_visible_items()[0];
    m_tree->set_offset(5001);  // line 5000 is g50, then its leaves
    pump_events(app());
    EXPECT_EQ(visible(), (Names{"l0", "l1", "l2", "l3", "l4", "l5", "l6", "l7", "l8", "l9"}));
    EXPECT_EQ(m_tree->get_visible_items()[0], far);
    EXPECT_TRUE(far->is_shown());
    EXPECT_FALSE(first->is_shown());
    EXPECT_EQ(first->get_parent(), nullptr) << "an item scrolled out leaves the widget tree";
    // The scrollbar, the drag bar and the ten rows.
    EXPECT_EQ(static_cast<GuiWidget*>(m_tree)->get_children().get_count(), 12u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(m_tree->get_visible_items()[i]->get_y(), 1 + 22 * i);
}

TEST_F(LinesTest, LinesAndItemsMapBothWays)
{
    make_tree();
    GuiTreeItemBasic* a = add(root(), "A", true);
    GuiTreeItemBasic* b = add(*a, "B", true);
    add_leaves(*b, "b", 3);
    add(*a, "a1");
    GuiTreeItemBasic* hidden = add(*a, "hidden");
    hidden->display(false);
    add(root(), "C", true);
    m_tree->expand_all();
    Names shown;
    for (unsigned int line = 0; line < m_tree->get_line_count(); ++line) {
        GuiTreeItem* item = m_tree->get_item_at_line(line);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->get_global_index(), static_cast<int>(line));
        shown.push_back(static_cast<GuiTreeItemBasic*>(item)->get_name().std_string());
    }
    EXPECT_EQ(shown, (Names{"A", "B", "b0", "b1", "b2", "a1", "C"}));
    EXPECT_EQ(hidden->get_global_index(), -1);
    EXPECT_EQ(m_tree->get_item_at_line(7), nullptr);
    b->collapse();
    EXPECT_EQ(b->get_children()[0]->get_global_index(), -1);
    EXPECT_EQ(names_of({m_tree->get_last_item(true), m_tree->get_last_item(false)}), (Names{"C", "C"}));
}

TEST_F(LinesTest, ShowItemExpandsItsAncestorsAndScrollsItIn)
{
    make_tree(200);
    for (int g = 0; g < 10; ++g) add_leaves(*add(root(), "g" + std::to_string(g), true), "l", 20);
    GuiTreeItem* target = root().get_children()[7]->get_children()[12];
    m_tree->show_item(target);
    ASSERT_TRUE(root().get_children()[7]->is_expanded());
    EXPECT_EQ(target->get_global_index(), 20);
    // Below the window: it becomes the second-to-last line (the last fully shown one).
    EXPECT_EQ(m_tree->get_first_shown_line(), 12u);
    m_tree->show_item(root().get_children()[2]);
    EXPECT_EQ(m_tree->get_first_shown_line(), 2u);
}

TEST_F(LinesTest, ExpandAllAndCollapseAllRaiseOneEventPerItemChanged)
{
    make_tree();
    for (int g = 0; g < 3; ++g) {
        GuiTreeItemBasic* group = add(root(), "g" + std::to_string(g), true);
        add_leaves(*add(*group, "s", true), "l", 2);
    }
    m_log.listen(*m_tree, {&EVT_ID_TREE_ITEM_EXPAND, &EVT_ID_TREE_ITEM_COLLAPSE});
    m_tree->expand_all();
    EXPECT_EQ(m_log.count(EVT_ID_TREE_ITEM_EXPAND), 6);
    EXPECT_EQ(m_tree->get_line_count(), 12u);
    m_tree->collapse_all(root().get_children()[1]);
    EXPECT_EQ(m_log.count(EVT_ID_TREE_ITEM_COLLAPSE), 2);
    EXPECT_EQ(m_tree->get_line_count(), 9u);
    m_tree->collapse_all();
    EXPECT_EQ(m_log.count(EVT_ID_TREE_ITEM_COLLAPSE), 6);
    EXPECT_EQ(m_tree->get_line_count(), 3u);
}

TEST_F(LinesTest, ScrollbarShowsOnlyWhenTheLinesOverflowAndScrollingStopsAtTheEnd)
{
    make_tree(200);
    add_leaves(root(), "i", 9);  // 198 pixels: fits
    settle();
    EXPECT_FALSE(m_tree->get_scrollbar()->is_shown());
    add(root(), "i9");
    settle();
    EXPECT_TRUE(m_tree->get_scrollbar()->is_shown());
    EXPECT_EQ(m_tree->get_visible_items()[0]->get_width(), 300 - GuiTree::SCROLLBAR_WIDTH);
    m_tree->set_offset(50);
    EXPECT_EQ(m_tree->get_first_shown_line(), 1u) << "the last line ends the window";
    wheel(*m_tree, 0, -1);
    EXPECT_EQ(m_tree->get_first_shown_line(), 0u);
}

TEST_F(LinesTest, RefreshIsCoalescedAndASecondOneGathersAtOnce)
{
    make_tree();
    add_leaves(root(), "i", 3);
    m_tree->refresh();
    EXPECT_TRUE(m_tree->is_refresh_pending());
    EXPECT_TRUE(m_tree->get_visible_items().is_empty());
    m_tree->refresh();
    EXPECT_FALSE(m_tree->is_refresh_pending());
    EXPECT_EQ(visible(), (Names{"i0", "i1", "i2"}));
    add(root(), "i3");
    m_tree->refresh();
    pump_events(app(), 2 * GuiTree::REFRESH_DELAY);
    EXPECT_FALSE(m_tree->is_refresh_pending());
    EXPECT_EQ(visible().size(), 4u);
}

TEST_F(LinesTest, ZeroLineHeightAndEmptyTreesAreHandled)
{
    make_tree();
    add_leaves(root(), "i", 3);
    settle();
    {
        LogRecorder log;
        m_tree->set_line_height(0);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    }
    EXPECT_EQ(m_tree->get_line_height(), 22);
    EXPECT_EQ(visible().size(), 3u);
    m_tree->remove_all();
    EXPECT_EQ(m_tree->get_line_count(), 0u);
    EXPECT_TRUE(m_tree->get_visible_items().is_empty());
    EXPECT_EQ(m_tree->get_first_item(), nullptr);
    press_key(FL_Down);
    press_key(FL_Up);
    m_tree->destroy_selected_items();
    EXPECT_TRUE(m_tree->get_selection().is_empty());
    process_idle(app());
}

TEST_F(LinesTest, LongChildListsMapLinesAfterEveryChangeOfTheirLines)
{
    make_tree();
    add_leaves(root(), "r", 150);
    GuiTreeItemBasic* group = add(root(), "G", true);
    add_leaves(*group, "g", 5);
    add_leaves(root(), "s", 150);
    auto name_at = [&](unsigned int line) {
        GuiTreeItem* item = m_tree->get_item_at_line(line);
        return item ? static_cast<GuiTreeItemBasic*>(item)->get_name().std_string() : std::string("-");
    };
    struct Row {
        unsigned int line;
        char const* name;
    };
    // Collapsed group: 301 lines; open: 306; with r3 hidden: 305.
    for (Row const& row : {Row{0, "r0"}, Row{149, "r149"}, Row{150, "G"}, Row{151, "s0"}, Row{300, "s149"}, Row{301, "-"}})
        EXPECT_EQ(name_at(row.line), row.name) << "collapsed, line " << row.line;
    group->expand();
    for (Row const& row : {Row{150, "G"}, Row{151, "g0"}, Row{155, "g4"}, Row{156, "s0"}, Row{305, "s149"}})
        EXPECT_EQ(name_at(row.line), row.name) << "open, line " << row.line;
    static_cast<GuiTreeItemBasic*>(root().get_children()[3])->display(false);
    for (Row const& row : {Row{2, "r2"}, Row{3, "r4"}, Row{149, "G"}, Row{304, "s149"}, Row{305, "-"}})
        EXPECT_EQ(name_at(row.line), row.name) << "r3 hidden, line " << row.line;
}
