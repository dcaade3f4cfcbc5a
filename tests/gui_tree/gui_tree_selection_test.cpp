// Tree selection: clicks with Ctrl and Shift, the preselection of a press, keyboard
// navigation and type-ahead, and the events each raises.
#include "tests/gui_tree/tree_test_util.h"

namespace {

struct ClickStep {
    int item;
    int modifiers;
    Names selection;  // in selection order
};

class SelectionTest : public TreeTest {
protected:
    // Eight shown leaves i0..i7.
    void make_flat(bool multi)
    {
        make_tree();
        m_tree->enable_multi_selection(multi);
        add_leaves(root(), "i", 8);
        settle();
    }
    void run(char const* what, std::vector<ClickStep> const& steps)
    {
        for (size_t s = 0; s < steps.size(); ++s) {
            click(*root().get_children()[steps[s].item], steps[s].modifiers);
            EXPECT_EQ(selection(), steps[s].selection) << what << ", step " << s;
            EXPECT_TRUE(m_tree->get_preselection().is_empty()) << what << ", step " << s;
        }
    }
    GuiTreeItem& item(int index) { return *root().get_children()[index]; }
};

}  // namespace

TEST_F(SelectionTest, ClicksWithModifiersBuildTheSelection)
{
    make_flat(true);
    run("multi", {
                     {1, 0, {"i1"}},
                     {3, FL_CTRL, {"i1", "i3"}},
                     {1, FL_CTRL, {"i3"}},  // Ctrl toggles off
                     {6, FL_SHIFT, {"i3", "i4", "i5", "i6"}},
                     {5, 0, {"i5"}},  // a plain click keeps only the item
                     {2, FL_SHIFT, {"i5", "i4", "i3", "i2"}},  // the range runs from the last selected
                     {7, FL_CTRL | FL_SHIFT, {"i5", "i4", "i3", "i2", "i6", "i7"}},  // Shift wins
                 });
}

TEST_F(SelectionTest, WithoutMultiSelectionModifiersAreIgnored)
{
    make_flat(false);
    run("single", {
                      {1, 0, {"i1"}},
                      {3, FL_CTRL, {"i3"}},
                      {6, FL_SHIFT, {"i6"}},
                  });
}

TEST_F(SelectionTest, ShiftRangesWalkTheShownOrderAcrossLevels)
{
    make_tree();
    m_tree->enable_multi_selection(true);
    GuiTreeItemBasic* a = add(root(), "A", true);
    add_leaves(*a, "a", 2);
    GuiTreeItemBasic* closed = add(root(), "B", true);
    add_leaves(*closed, "hidden", 3);
    GuiTreeItemBasic* c = add(root(), "C");
    a->expand();
    settle();
    click(*a->get_children()[0]);
    click(*c, FL_SHIFT);
    EXPECT_EQ(selection(), (Names{"a0", "a1", "B", "C"}));
}

TEST_F(SelectionTest, APressPreselectsUntilTheRelease)
{
    make_flat(true);
    click(item(0));
    GuiWidget& row = row_widget(item(4));
    send(row, FL_PUSH, row.get_x() + 8, row.get_y() + 5, FL_CTRL);
    EXPECT_EQ(names_of(m_tree->get_preselection()), (Names{"i4"}));
    EXPECT_TRUE(item(4).is_preselected());
    EXPECT_EQ(selection(), (Names{"i0"}));
    send(row, FL_RELEASE, row.get_x() + 8, row.get_y() + 5, FL_CTRL);
    EXPECT_EQ(selection(), (Names{"i0", "i4"}));
    EXPECT_FALSE(item(4).is_preselected());
}

TEST_F(SelectionTest, EventsNameTheItemAndTheIssuerCanBeSilenced)
{
    make_flat(true);
    m_log.listen(*m_tree, {&EVT_ID_TREE_ITEM_SELECT, &EVT_ID_TREE_ITEM_DESELECT, &EVT_ID_TREE_SELECTION_CHANGED});
    click(item(2));
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TREE_ITEM_SELECT", "EVT_ID_TREE_SELECTION_CHANGED"}));
    EXPECT_EQ(m_tree->get_last_event_item(), &item(2));
    m_log.clear();
    click(item(2));
    EXPECT_TRUE(m_log.get().empty()) << "the only selected item is not selected again";
    m_tree->set_is_disable_selection_issuer(true);
    click(item(5), FL_CTRL);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TREE_ITEM_SELECT"}));
    m_log.clear();
    click(item(5), FL_CTRL);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TREE_ITEM_DESELECT", "EVT_ID_TREE_SELECTION_CHANGED"}));
    EXPECT_EQ(m_tree->get_last_event_item(), &item(5));
}

TEST_F(SelectionTest, NonSelectableItemsAndPressesOutsideTheItems)
{
    make_flat(true);
    item(3).set_selectable(false);
    click(item(3));
    EXPECT_TRUE(selection().empty());
    click(item(1));
    click(item(4), FL_SHIFT);
    EXPECT_EQ(selection(), (Names{"i1", "i2", "i4"})) << "a range skips what can't be selected";
    // Below the last row: a plain press clears, a Ctrl press keeps.
    send(*m_tree, FL_PUSH, 50, 190, FL_CTRL);
    EXPECT_EQ(selection().size(), 3u);
    send(*m_tree, FL_PUSH, 50, 190);
    EXPECT_TRUE(selection().empty());
}

TEST_F(SelectionTest, ArrowKeysMoveTheSelectionAndStopAtTheEnds)
{
    make_tree(100);  // four full lines
    GuiTreeItemBasic* group = add(root(), "g", true);
    add_leaves(*group, "c", 2);
    add_leaves(root(), "i", 6);
    settle();
    std::vector<std::pair<int, Names>> const steps = {
        {FL_Up, {"i5"}},  // no selection: the last item
        {FL_Down, {"i5"}},  // the last item stays
        {FL_Up, {"i4"}},
        {FL_Home, {"i4"}},  // not a navigation key
    };
    for (auto const& [key, expected] : steps) {
        press_key(key);
        EXPECT_EQ(selection(), expected) << "key " << key;
    }
    m_tree->deselect_all();
    press_key(FL_Down);
    EXPECT_EQ(selection(), (Names{"g"}));
    press_key(FL_Right);
    EXPECT_TRUE(group->is_expanded());
    for (int i = 0; i < 4; ++i) press_key(FL_Down);
    EXPECT_EQ(selection(), (Names{"i1"}));
    EXPECT_EQ(m_tree->get_first_shown_line(), 1u) << "the selection stays on a fully shown line";
    m_tree->select_item(group);
    press_key(FL_Left);
    EXPECT_FALSE(group->is_expanded());
}

TEST_F(SelectionTest, TypeAheadFindsTheNextNameStartingWithTheLetter)
{
    make_tree();
    GuiTreeItemBasic* closed = add(root(), "Box", true);
    add(*closed, "bolt");
    add(root(), "cam");
    add(root(), "bulb");
    add(root(), "apple");
    settle();
    std::vector<std::pair<char, Names>> const steps = {
        {'z', {}},  // no item: nothing selected
        {'b', {"Box"}},  // the first match
        {'b', {"bolt"}},  // the next one, inside a collapsed branch
        {'b', {"bulb"}},
        {'b', {"Box"}},  // none follows: back to the first
        {'a', {"apple"}},
        {'a', {"apple"}},  // the only match, again
    };
    for (auto const& [letter, expected] : steps) {
        press_key(letter);
        EXPECT_EQ(selection(), expected) << "letter " << letter;
    }
    EXPECT_TRUE(closed->is_expanded()) << "the match was brought into view";
}

TEST_F(SelectionTest, DoubleClickActivates)
{
    make_flat(false);
    m_log.listen(*m_tree, {&EVT_ID_TREE_ITEM_ACTIVATE});
    GuiWidget& row = row_widget(item(6));
    send(row, FL_PUSH, row.get_x() + 8, row.get_y() + 5, 0, 0);
    send(row, FL_RELEASE, row.get_x() + 8, row.get_y() + 5, 0, 0);
    send(row, FL_PUSH, row.get_x() + 8, row.get_y() + 5, 0, 1);
    send(row, FL_RELEASE, row.get_x() + 8, row.get_y() + 5, 0, 1);
    EXPECT_EQ(m_log.count(EVT_ID_TREE_ITEM_ACTIVATE), 1);
    EXPECT_EQ(m_tree->get_last_event_item(), &item(6));
    EXPECT_EQ(selection(), (Names{"i6"}));
}
