// Tree drag and drop of the selection (drop positions, the drop bar, auto-scroll, refused
// drops into a dragged subtree), removals during a drag, deletion of the selection and
// renaming in place.
#include "gui/fields/gui_line_edit.h"
#include "tests/gui_tree/tree_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

class DropTest : public TreeTest {
protected:
    // Eight shown leaves i0..i7, drag and drop on.
    void make_flat(int inner_h = 200)
    {
        make_tree(inner_h);
        m_tree->enable_multi_selection(true);
        m_tree->enable_drag_and_drop(true);
        add_leaves(root(), "i", 8);
        settle();
    }
    GuiTreeItem& item(int index) { return *root().get_children()[index]; }
    // The pointer's window y in the middle of a window line.
    int line_y(int line) { return 1 + 22 * line + 11; }
    // A drag from one shown line to another, dropped there.
    void drag(int from_line, int to_line)
    {
        m_tree->drag_selection_to(line_y(from_line));
        m_tree->drag_selection_to(line_y(to_line));
        m_tree->drop_selection();
    }
    void select(std::vector<int> const& indices)
    {
        CoreVector<GuiTreeItem*> items;
        for (int index : indices) items.add(&item(index));
        m_tree->set_selection(items);
    }
};

struct DropRow {
    char const* what;
    std::vector<int> selection;
    int from, to;  // lines
    Names order;
};

}  // namespace

TEST_F(DropTest, TheSelectionMovesAfterTheTargetInSelectionOrder)
{
    std::vector<DropRow> const rows = {
        {"one down", {1}, 1, 4, {"i0", "i2", "i3", "i4", "i1", "i5", "i6", "i7"}},
        {"one up", {6}, 6, 0, {"i0", "i6", "i1", "i2", "i3", "i4", "i5", "i7"}},
        {"two", {5, 1}, 1, 3, {"i0", "i2", "i3", "i5", "i1", "i4", "i6", "i7"}},
        {"onto one of its own", {2, 5}, 2, 5, {"i0", "i1", "i3", "i4", "i5", "i2", "i6", "i7"}},
        {"back to its line", {3}, 3, 3, {"i0", "i1", "i2", "i3", "i4", "i5", "i6", "i7"}},
    };
    for (DropRow const& row : rows) {
        make_flat();
        select(row.selection);
        drag(row.from, row.to);
        EXPECT_EQ(children(root()), row.order) << row.what;
        EXPECT_FALSE(m_tree->is_dragging()) << row.what;
        TearDown();
        SetUp();
    }
}

TEST_F(DropTest, TheDropBarMarksTheEdgeTowardsTheMoveAndTheEventsNameTheTarget)
{
    make_flat();
    m_log.listen(*m_tree, {&EVT_ID_TREE_SELECTION_DRAG, &EVT_ID_TREE_SELECTION_DROP});
    select({4});
    m_tree->drag_selection_to(line_y(4));
    EXPECT_FALSE(m_tree->is_dragging()) << "the first drag event only records the source";
    m_tree->drag_selection_to(line_y(6));
    ASSERT_TRUE(m_tree->is_dragging());
    EXPECT_TRUE(m_tree->get_drag_bar()->is_shown());
    EXPECT_EQ(m_tree->get_drag_bar()->get_y(), 1 + 22 * 7 - GuiTree::DRAG_BAR_HEIGHT);
    EXPECT_EQ(m_tree->get_drag_over_item(), &item(6));
    m_tree->drag_selection_to(line_y(2));
    EXPECT_EQ(m_tree->get_drag_bar()->get_y(), 1 + 22 * 2);
    EXPECT_EQ(m_tree->get_drop_line(), 2u);
    m_tree->drop_selection();
    EXPECT_FALSE(m_tree->get_drag_bar()->is_shown());
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TREE_SELECTION_DRAG", "EVT_ID_TREE_SELECTION_DRAG",
                                  "EVT_ID_TREE_SELECTION_DROP"}));
    EXPECT_EQ(m_tree->get_last_event_item(), &item(2));
}

TEST_F(DropTest, DraggingAnUnselectedItemMovesItAlone)
{
    make_flat();
    select({0, 1});
    drag(5, 7);
    EXPECT_EQ(selection(), (Names{"i5"}));
    EXPECT_EQ(children(root()), (Names{"i0", "i1", "i2", "i3", "i4", "i6", "i7", "i5"}));
}

TEST_F(DropTest, ADropIntoADraggedSubtreeIsRefusedWithOneMessage)
{
    make_tree();
    m_tree->enable_drag_and_drop(true);
    GuiTreeItemBasic* group = add(root(), "g", true);
    add_leaves(*group, "c", 3);
    add(root(), "x");
    m_tree->expand_all();
    m_tree->select_item(group);
    LogRecorder log;
    drag(0, 2);  // onto c1
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_EQ(children(root()), (Names{"g", "x"}));
    EXPECT_EQ(children(*group), (Names{"c0", "c1", "c2"}));
    log.clear();
    group->move_after(*group->get_children()[0]);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(children(root()), (Names{"g", "x"}));
}

TEST_F(DropTest, ItemsInADragCantBeRemovedUntilTheDrop)
{
    make_flat();
    select({2});
    m_tree->drag_selection_to(line_y(2));
    m_tree->drag_selection_to(line_y(5));
    {
        LogRecorder log;
        root().remove_child(&item(2));
        root().remove_child(&item(5));  // the drop target
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    }
    EXPECT_EQ(root().get_children().get_count(), 8u);
    root().remove_child(&item(7));  // not in the drag
    EXPECT_EQ(root().get_children().get_count(), 7u);
    m_tree->drop_selection();
    EXPECT_EQ(children(root()), (Names{"i0", "i1", "i3", "i4", "i5", "i2", "i6"}));
    root().remove_child(&item(5));
    EXPECT_EQ(selection(), Names{}) << "a removed item leaves the selection";
    process_idle(app());
}

TEST_F(DropTest, DraggingBelowTheWindowScrollsUntilTheEnd)
{
    make_tree(100);
    m_tree->enable_drag_and_drop(true);
    add_leaves(root(), "i", 40);
    settle();
    m_tree->select_item(root().get_children()[1]);
    m_tree->drag_selection_to(line_y(1));
    m_tree->drag_selection_to(line_y(3));
    m_tree->drag_selection_to(100 + 30);  // two lines below the window
    pump_events(app(), 8 * GuiTree::SCROLL_WHILE_DRAG_DELAY);
    unsigned int const first = m_tree->get_first_shown_line();
    EXPECT_GT(first, 10u);
    pump_events(app(), 30 * GuiTree::SCROLL_WHILE_DRAG_DELAY);
    EXPECT_EQ(m_tree->get_first_shown_line(), 36u) << "stops at the last window";
    EXPECT_EQ(m_tree->get_drag_over_item(), m_tree->get_visible_items().get_last());
    m_tree->drop_selection();
    EXPECT_EQ(names_of({root().get_children().get_last()}), (Names{"i1"}));
}

TEST_F(DropTest, DeletingTheSelectionDestroysItOnlyWhenEnabled)
{
    make_flat();
    m_log.listen(*m_tree, {&EVT_ID_TREE_SELECTION_REMOVE, &EVT_ID_TREE_SELECTION_CHANGED});
    select({1, 3});
    m_log.clear();
    press_key(FL_Delete);
    EXPECT_EQ(root().get_children().get_count(), 8u);
    EXPECT_TRUE(m_log.get().empty());
    m_tree->enable_item_delete(true);
    m_log.clear();
    press_key(FL_Delete);
    EXPECT_EQ(children(root()), (Names{"i0", "i2", "i4", "i5", "i6", "i7"}));
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TREE_SELECTION_REMOVE", "EVT_ID_TREE_SELECTION_CHANGED"}));
    EXPECT_TRUE(selection().empty());
    EXPECT_EQ(visible().size(), 6u);
    m_log.clear();
    press_key(FL_Delete);
    EXPECT_TRUE(m_log.get().empty()) << "nothing to delete";
    process_idle(app());
}

namespace {

class RenamableItem : public GuiTreeItemBasic {
public:
    using GuiTreeItemBasic::GuiTreeItemBasic;
    bool is_renamable() const override { return true; }
};

}  // namespace

TEST_F(DropTest, RenamingCommitsAChangedNameOnly)
{
    make_tree();
    RenamableItem* item = new RenamableItem(root(), "old");
    add(root(), "other")->rename();
    settle();
    EXPECT_EQ(GuiTreeItemBasic::get_rename_editor(), nullptr) << "an item that can't be renamed";
    m_log.listen(*m_tree, {&EVT_ID_TREE_ITEM_RENAME});
    m_log.listen(*item, {&EVT_ID_TREE_ITEM_BASIC_RENAME});
    item->rename();
    GuiLineEdit* editor = GuiTreeItemBasic::get_rename_editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->is_shown());
    key_down(*editor, FL_Escape);
    EXPECT_FALSE(editor->is_shown());
    EXPECT_EQ(item->get_name(), CoreString("old"));
    item->rename();
    key_down(*editor, 'n', "n");
    key_down(*editor, FL_Enter);
    EXPECT_EQ(item->get_name(), CoreString("n"));
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_TREE_ITEM_BASIC_RENAME", "EVT_ID_TREE_ITEM_RENAME"}));
    EXPECT_EQ(m_tree->get_last_event_item(), item);
}

TEST_F(DropTest, AShiftClickOnASelectedRenamableItemRenamesItAfterTheDelay)
{
    make_tree();
    RenamableItem* item = new RenamableItem(root(), "name");
    settle();
    m_tree->set_focus();
    click(*item);
    EXPECT_FALSE(GuiTreeItemBasic::is_rename_pending()) << "not selected at the press";
    click(*item, FL_SHIFT);
    EXPECT_EQ(GuiTreeItemBasic::get_rename_pending_item(), item);
    click(*item, FL_SHIFT);
    EXPECT_FALSE(GuiTreeItemBasic::is_rename_pending()) << "a second click cancels";
    click(*item, FL_SHIFT);
    pump_events(app(), GuiTreeItemBasic::RENAME_DELAY + 0.1);
    EXPECT_TRUE(item->is_renaming());
}
