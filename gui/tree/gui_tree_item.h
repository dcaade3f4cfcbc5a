#pragma once
// GuiTreeItem: one row of a GuiTree, and the node of its hierarchy. An item is a widget that
// hosts further widgets, one per column of the tree, and draws its row's background and its
// expand triangle. Items are cheap until they are first placed in the tree's window: no
// toolkit object exists for an item (or for what it builds lazily, see prepare_toolkit)
// before the tree gathers it, so a tree may hold a million of them.
//
//     GuiTreeItem* group = new GuiTreeItem(*tree->get_root());
//     group->set_expandable(true);
//     new GuiTreeItemBasic(*group, "child");
//     tree->refresh();
//
// Each item keeps its total: the lines it occupies (0 when not displayed, 1 when collapsed,
// 1 + its children's totals when expanded); the tree skips whole subtrees by their totals.
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"

class GuiTree;

class QN_GUI_API GuiTreeItem : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTreeItem, GuiWidget)

public:
    // Pixels of indentation per level.
    static constexpr int INDENT_STEP = 16;

    // An item appended to the children of `parent_item`, in the parent's tree.
    explicit GuiTreeItem(GuiTreeItem& parent_item);
    // Destroys the children (and, as a widget, the hosted widgets).
    ~GuiTreeItem() override;

    size_t get_memory_size() const override;

    // --- Hierarchy ---
    GuiTreeItem* get_parent_item() const { return m_parent_item; }
    CoreVector<GuiTreeItem*> const& get_children() const { return m_child_items; }
    GuiTree* get_tree() const { return m_tree; }
    // Depth: 0 for a child of the root.
    int get_rank() const;
    // Index among the siblings; -1 for the root or a detached item.
    int get_list_index() const;
    // The line among the tree's shown lines; -1 when the item is not shown (not displayed, or
    // an ancestor is collapsed or not displayed). Walks up the ancestors and their siblings'
    // totals, not the tree.
    int get_global_index() const;
    // Is `item` this one or below it.
    bool is_ancestor_of(GuiTreeItem const& item) const;

    // Moves the item right after `target`, among target's siblings. Refused (with a warning)
    // for the item itself or one of its descendants.
    void move_after(GuiTreeItem& target);
    // Detaches and destroys a child (and its subtree); the tree forgets it everywhere.
    void remove_child(int const& index);
    void remove_child(GuiTreeItem* item);
    void remove_children(CoreVector<int> const& indices);
    void remove_children(CoreVector<GuiTreeItem*> const& items);
    // All children; `destroy` false only detaches them (the caller owns them then).
    void remove_children(bool const& destroy = true);
    // Puts the children in the order given; `items` must be exactly the children, else nothing
    // changes (with a warning).
    void reorder_children(CoreVector<GuiTreeItem*> const& items);

    // --- Lines ---
    bool const& is_displayed() const { return m_displayed; }
    void display(bool const& displayed);
    bool const& is_selectable() const { return m_selectable; }
    void set_selectable(bool const& selectable) { m_selectable = selectable; }
    bool const& is_expandable() const { return m_expandable; }
    void set_expandable(bool const& expandable);
    bool const& is_expanded() const { return m_expanded; }
    bool is_collapsed() const { return !m_expanded; }
    // Nothing for a non-expandable or already expanded item.
    void expand();
    // Nothing for a collapsed item.
    void collapse();
    unsigned int const& get_total() const { return m_total; }

    // --- Selection ---
    bool const& is_selected() const { return m_selected; }
    bool const& is_preselected() const { return m_preselected; }
    bool const& is_highlighted() const { return m_highlighted; }
    // A click's selection: Ctrl toggles, Shift adds the shown range from the last selected
    // item (with multi selection); otherwise the item becomes the only selection, brought into
    // view first when `show`.
    void select(bool const& show = false);
    void deselect();
    void add_to_selection();
    // The same scheme for the preselection (items pressed, not yet released); no events.
    void preselect();
    void add_to_preselection();
    // Activation (a double click): the tree raises EVT_ID_TREE_ITEM_ACTIVATE.
    void activate(bool const& activate = true);
    // Adds the displayed children to the selection (replacing it unless `add`).
    void select_children(bool const& add = false);

    // --- Hosted widgets (children of the item, one per column) ---
    // The widget becomes the item's child when it is not yet.
    void add_widget(GuiWidget* widget);
    void insert_widget(GuiWidget* widget, int const& index);
    // Replaces the widget of a column (the old one is destroyed); appends past the end.
    void set_widget(GuiWidget* widget, int const& index);
    // Destroys the widget of a column.
    void remove_widget(int const& index);
    CoreVector<GuiWidget*> const& get_widgets() const { return m_widgets; }

    // --- Placement (set by the tree when it gathers the item) ---
    int const& get_line_index() const { return m_line_index; }
    bool const& is_shaded() const { return m_shaded; }
    int const& get_item_width() const { return m_width; }
    int const& get_indent() const { return m_indent; }

    // --- Colours ---
    GMathVec3<unsigned char> const& get_background_selected_color() const { return m_background_selected; }
    void set_background_selected_color(GMathVec3<unsigned char> const& color) { m_background_selected = color; }
    GMathVec3<unsigned char> const& get_background_selected_no_focus_color() const
    {
        return m_background_selected_no_focus;
    }
    void set_background_selected_no_focus_color(GMathVec3<unsigned char> const& color)
    {
        m_background_selected_no_focus = color;
    }
    GMathVec3<unsigned char> const& get_text_selected_color() const { return m_text_selected; }
    void set_text_selected_color(GMathVec3<unsigned char> const& color) { m_text_selected = color; }
    GMathVec3<unsigned char> const& get_background_highlight_color() const { return m_background_highlight; }
    void set_background_highlight_color(GMathVec3<unsigned char> const& color) { m_background_highlight = color; }
    GMathVec3<unsigned char> const& get_text_color() const { return m_text; }
    void set_text_color(GMathVec3<unsigned char> const& color) { m_text = color; }

    // Type-ahead: does the item's text start with `letter` (lower case)? False here.
    virtual bool text_starts_with(char const& letter) const;

    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    // The tree places its items; their constraints do nothing.
    void apply_constraints(int const&, int const&, int const&, int const&) override {}

protected:
    friend class GuiTree;
    // The root's constructor: hidden, expandable, expanded.
    explicit GuiTreeItem(GuiTree& tree);

    // Makes the toolkit side when the tree first gathers the item: the router here;
    // derived items build their lazy hosted widgets too.
    virtual void prepare_toolkit();
    // Lays the hosted widgets out in the columns (the connector column indented).
    virtual void transform();

private:
    // Placement by the tree's gathering.
    void make_visible(int const& line_index, bool const& shaded, int const& x, int const& y, int const& w,
                      int const& h);
    // Adds `delta` to the totals of the ancestors that count their children.
    void propagate_total(long long const& delta);
    // 1 + the children's totals when expanded, 1 when collapsed, 0 when not displayed.
    unsigned int compute_total() const;
    void set_total(unsigned int const& total);
    // Detaches the child without destroying it; the tree forgets the subtree.
    void detach_child(GuiTreeItem& child);
    void set_tree_recursive(GuiTree* tree);
    void take_colors_from_tree();
    // Item-relative x and width of a column's widget before indentation.
    void get_column_box(int const& index, int& x, int& w) const;
    // Item-relative right end of the expand triangle: the connector column's indent.
    int get_triangle_right() const;

    GuiTreeItem* m_parent_item = nullptr;
    bool m_displayed = true;
    bool m_selectable = true;
    bool m_expandable = false;
    bool m_expanded = false;
    bool m_selected = false;
    bool m_preselected = false;
    bool m_highlighted = false;
    bool m_shaded = false;
    CoreVector<GuiTreeItem*> m_child_items;
    GuiTree* m_tree = nullptr;
    unsigned int m_total = 1;
    int m_line_index = -1;
    CoreVector<GuiWidget*> m_widgets;
    int m_width = 0;
    int m_indent = 0;
    GMathVec3<unsigned char> m_background_selected;
    GMathVec3<unsigned char> m_background_selected_no_focus;
    GMathVec3<unsigned char> m_text_selected;
    GMathVec3<unsigned char> m_background_highlight;
    GMathVec3<unsigned char> m_text;
};
