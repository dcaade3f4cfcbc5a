#pragma once
// GuiTree: a scrolling tree of GuiTreeItem rows with columns. Only the items inside the
// scroll window are placed and shown ("virtual" rows): gathering walks down from the root
// skipping whole subtrees by their totals, so expanding, collapsing and scrolling cost the
// rows shown and the subtree changed, not the items held. It keeps a selection (Ctrl
// toggles, Shift adds the shown range), a preselection of pressed items, keyboard navigation
// and type-ahead, reordering of the selection by drag and drop with a drop bar and
// auto-scroll, deletion of the selection, and a virtual hook for every interaction.
//
//     GuiTree* tree = new GuiTree(*panel, 0, 0, 300, 400);
//     tree->enable_multi_selection(true);
//     GuiTreeItemBasic* item = new GuiTreeItemBasic(*tree->get_root(), "camera");
//     tree->refresh();                     // after every change of structure
//     panel->connect(*tree, EVT_ID_TREE_SELECTION_CHANGED, &MyPanel::on_selection);
//
// Before raising an event about an item the tree stores it: listeners read it with
// get_last_event_item().
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "gui/tree/gui_tree_item.h"
#include "host/app/app_base.h"
#include "host/image/image_icon.h"

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_ACTIVATE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_SELECT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_DESELECT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_EXPAND);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_COLLAPSE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_ITEM_RENAME);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_SELECTION_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_SELECTION_DRAG);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_SELECTION_DROP);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_SELECTION_REMOVE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_NAVIGATE_UP);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_NAVIGATE_DOWN);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_NAVIGATE_LEFT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_TREE_NAVIGATE_RIGHT);

class GuiScrollbar;
class GuiTree;

// The 2-pixel bar that shows where a drag of the selection would drop it.
class QN_GUI_API GuiTreeDragBar : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTreeDragBar, GuiWidget)

public:
    explicit GuiTreeDragBar(GuiTree& tree);
    void draw(GuiDc& dc) override;
    void apply_constraints(int const&, int const&, int const&, int const&) override {}
};

class QN_GUI_API GuiTree : public GuiWidget {
    CORE_DECLARE_CLASS(GuiTree, GuiWidget)

public:
    enum BorderStyle : int { BORDER_STYLE_LINES = 0, BORDER_STYLE_RECTANGLE = 1, BORDER_STYLE_NONE = 2 };
    static char const* get_border_style_name(BorderStyle const& style);

    static constexpr int SCROLLBAR_WIDTH = 14;
    static constexpr int DEFAULT_COLUMN_WIDTH = 100;
    static constexpr int DRAG_BAR_HEIGHT = 2;
    // Delays, in seconds: the coalesced refresh, the auto-scroll step while dragging outside.
    static constexpr double REFRESH_DELAY = 0.01;
    static constexpr double SCROLL_WHILE_DRAG_DELAY = 0.05;
    // Brightening of shaded lines.
    static constexpr float SHADE_FACTOR = 1.115f;

    GuiTree(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h);
    ~GuiTree() override;

    size_t get_memory_size() const override;

    // --- Items ---
    GuiTreeItem* get_root() const { return m_root; }
    // The first shown item; null for an empty tree.
    GuiTreeItem* get_first_item() const;
    // The last shown item, or with `shown_only` false the last item depth first, collapsed
    // branches included; null for an empty tree.
    GuiTreeItem* get_last_item(bool const& shown_only = true) const;
    // The item on a shown line; null past the end.
    GuiTreeItem* get_item_at_line(unsigned int const& line) const;
    // Lines of the expanded tree (the root's total less the root's own line).
    unsigned int get_line_count() const;
    // Empties the tree: items, columns, selections; a new scrollbar, drag bar and root.
    void remove_all();
    // Expands or collapses every expandable item of the subtree (the whole tree for null):
    // one event per item changed, one gathering at the end.
    void expand_all(GuiTreeItem* item = nullptr);
    void collapse_all(GuiTreeItem* item = nullptr);
    // Opens (or closes) every item of the subtree in one pass over it, raising one event per
    // item that changed.
    void set_subtree_expanded(GuiTreeItem* item, bool const& expand);

    // --- The window ---
    CoreVector<GuiTreeItem*> const& get_visible_items() const { return m_visible_items; }
    unsigned int const& get_first_shown_line() const { return m_first_line; }
    // Lines placed at most: the window's height over the line height, plus one.
    unsigned int get_shown_line_capacity() const;
    // Scrolls so that `line` is the first shown (clamped to the content).
    void set_offset(unsigned int const& line);
    // The scroll offset in pixels.
    long long const& get_pixel_offset() const { return m_offset; }
    GuiScrollbar* get_scrollbar() const { return m_scrollbar; }
    // Expands the item's ancestors and scrolls it into view.
    void show_item(GuiTreeItem* item);
    // The line under window y (floor of (y - inner top) / line height); may be negative or
    // past the shown lines.
    int get_line_at(int const& window_y) const;
    // x, y, w, h inside the border.
    GMathVec4<int> get_inner_rect() const;
    // Inner width less the scrollbar when it is shown.
    int get_row_width() const;
    int const& get_line_height() const { return m_line_height; }
    // A height below 1 is refused with a warning.
    void set_line_height(int const& height);

    // --- Events' subjects ---
    GuiTreeItem* get_last_event_item() const { return m_last_event_item; }
    GuiTreeItem* get_drag_over_item() const { return m_drag_over_item; }

    // --- Selection ---
    CoreVector<GuiTreeItem*> const& get_selection() const { return m_selection; }
    CoreVector<GuiTreeItem*> const& get_preselection() const { return m_preselection; }
    CoreVector<GuiTreeItem*> const& get_highlighted_items() const { return m_highlighted_items; }
    // Replaces the selection (non-selectable items are skipped); `notify` raises
    // EVT_ID_TREE_SELECTION_CHANGED once.
    void set_selection(CoreVector<GuiTreeItem*> const& items, bool const& notify = true);
    void set_preselection(CoreVector<GuiTreeItem*> const& items);
    void clear_preselection();
    // With `notify`, calls on_deselect_all.
    void deselect_all(bool const& notify = true);
    // A plain click's selection: the item becomes the only selection.
    void select_item(GuiTreeItem* item);
    // Selects the shown item after (before) `item` and brings it into view; the first (last)
    // item when `item` is null. Nothing past the ends or in an empty tree.
    void select_next_item(GuiTreeItem* item);
    void select_previous_item(GuiTreeItem* item);
    // Items added to the selection by add_to_selection or a Ctrl click.
    void add_item_to_selection(GuiTreeItem* item);
    void remove_item_from_selection(GuiTreeItem* item);
    // Adds the shown items from the last selected one to `item`, both included.
    void add_range_to_selection(GuiTreeItem* item);
    void preselect_item(GuiTreeItem* item);
    void add_item_to_preselection(GuiTreeItem* item);
    void add_range_to_preselection(GuiTreeItem* item);
    void highlight_item(GuiTreeItem* item, bool const& highlight);
    void clear_highlighted_items();
    // Raises EVT_ID_TREE_SELECTION_REMOVE and, with item delete enabled, destroys the
    // selected items. Nothing for an empty selection.
    void destroy_selected_items();

    // --- Drag and drop ---
    bool const& is_dragging() const { return m_dragging; }
    int const& get_drag_source_line() const { return m_drag_source_line; }
    GuiTreeItem* get_drag_source_item() const { return m_drag_source_item; }
    GuiTreeDragBar* get_drag_bar() const { return m_drag_bar; }
    unsigned int const& get_drop_line() const { return m_drop_line; }
    // The steps of a drag of the selection, fed by the items' widgets (and by tests):
    // pointer at window y while the button is held, and the release.
    void drag_selection_to(int const& window_y);
    void drop_selection();

    // --- Columns ---
    // A width of -1 shares the item's width among its widgets.
    void add_column(CoreString const& title, int const& width);
    void insert_column(CoreString const& title, int const& width, int const& index);
    void remove_column(int const& index);
    void remove_all_columns();
    int get_column_width(int const& index) const;
    int get_column_count() const { return static_cast<int>(m_column_widths.get_count()); }
    CoreString get_column_title(int const& index) const;
    unsigned int const& get_connector_column() const { return m_connector_column; }
    void set_connector_column(unsigned int const& column);
    int const& get_default_column_width() const { return m_default_column_width; }

    // --- Look ---
    GMathVec3<int> const& get_background_color() const { return m_background_color; }
    void set_background_color(GMathVec3<int> const& color);
    GMathVec3<int> const& get_border_color() const { return m_border_color; }
    void set_border_color(GMathVec3<int> const& color);
    BorderStyle const& get_border_style() const { return m_border_style; }
    void set_border_style(BorderStyle const& style);
    // The colours new items take: selected background, the same without focus (no
    // saturation), selected text, highlight background, text.
    GMathVec3<unsigned char> const* get_default_item_colors() const { return m_item_colors; }
    ImageIcon::ImageIconSize const& get_icon_size() const { return m_icon_size; }
    void set_icon_size(ImageIcon::ImageIconSize const& size);

    // --- Flags ---
    bool const& get_is_disable_selection_issuer() const { return m_disable_selection_issuer; }
    void set_is_disable_selection_issuer(bool const& disable) { m_disable_selection_issuer = disable; }
    bool const& is_shaded_entries() const { return m_shaded_entries; }
    void set_shaded_entries(bool const& shaded);
    void enable_drag_and_drop(bool const& enable) { m_drag_and_drop = enable; }
    bool const& is_drag_and_drop_enabled() const { return m_drag_and_drop; }
    void enable_item_delete(bool const& enable) { m_item_delete = enable; }
    bool const& is_item_delete_enabled() const { return m_item_delete; }
    void enable_multi_selection(bool const& enable) { m_multi_selection = enable; }
    bool const& is_multi_selection_enabled() const { return m_multi_selection; }
    bool const& is_refresh_pending() const { return m_refresh_pending; }

    // --- Overridable behaviour ---
    // Coalesced: gathers and redraws 10 ms later; a second call while one waits does it at once.
    virtual void refresh();
    virtual void select_all();
    virtual void on_item_activate(GuiTreeItem* item);
    // Delete pressed; non-zero when handled.
    virtual int on_delete();
    virtual void on_item_expand(GuiTreeItem* item);
    virtual void on_item_collapse(GuiTreeItem* item);
    virtual void on_item_deselect(GuiTreeItem* item);
    virtual void on_selection_changed();
    virtual void on_selection_drag();
    // Moves each selected item, last selected first, right after the target (skipping the
    // target itself). Refused with a warning when the target lies inside a moved item.
    virtual void on_selection_drop(GuiTreeItem* target);
    virtual void on_deselect_all();
    virtual void on_item_rename(GuiTreeItem* item);
    virtual void on_remove_selection();
    // Navigation keys; non-zero when handled.
    virtual int on_navigate_up();
    virtual int on_navigate_down();
    virtual int on_navigate_left();
    virtual int on_navigate_right();
    // A selectable item that is not already the only selected one.
    virtual bool get_is_item_selectable(GuiTreeItem* item);

    // --- Calls made by the items ---
    void expand_item(GuiTreeItem* item);
    void collapse_item(GuiTreeItem* item);
    void activate_item(GuiTreeItem* item);
    void rename_item(GuiTreeItem* item);
    // Places the items of the scroll window and shows them (hiding those that left).
    void gather_visibles();
    // A single press on an item (its row or its widget): preselection and focus.
    void press_item(GuiTreeItem* item);
    // The release of that press: the click's selection.
    void release_item(GuiTreeItem* item);
    // The subtree is leaving the tree: it is dropped from every list (`selection_changed`
    // tells whether it held selected items). Refused (false, with a warning) while a drag
    // involves an item of it. Once it is detached, finish_removal reports and refreshes.
    bool forget_subtree(GuiTreeItem& item, bool& selection_changed);
    void finish_removal(bool const& selection_changed);

    void show() override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;

private:
    friend class GuiTreeItem;
    // An item being deleted (with the window, or by its parent) leaves every list.
    void forget_deleted_item(GuiTreeItem& item);
    void build_parts();
    void on_scroll(GuiWidget& sender, EventInfo const& info, void* data);
    static void on_refresh_timer(void* data);
    static void on_scroll_while_drag_timer(void* data);
    void scroll_while_drag();
    void raise_item_event(CoreString const& name, GuiTreeItem* item);
    void notify_selection_changed();
    // The shown items of lines [first, first + count), in order.
    void collect_shown(unsigned int const& first, unsigned int const& count, CoreVector<GuiTreeItem*>& out) const;
    // Any change of an item's line count or of a child list: running sums made before are stale.
    void on_lines_changed() { ++m_lines_serial; }
    // The index of the child whose lines hold line `skip` among the children's lines, and
    // `skip` made relative to it; the child count when there is none. Long child lists are
    // searched in running sums of their line counts, made once after each change.
    unsigned int find_child_at_line(GuiTreeItem const& parent, unsigned int& skip) const;
    void hide_item(GuiTreeItem& item);
    void clamp_offset();
    void apply_offset_to_scrollbar();
    unsigned int get_full_line_count() const;
    void type_ahead(char const& letter);
    void end_drag();
    void set_selected_flag(GuiTreeItem& item, bool const& selected);

    GuiTreeItem* m_root = nullptr;
    uint64_t m_lines_serial = 1;
    mutable uint64_t m_prefix_serial = 0;
    mutable std::unordered_map<GuiTreeItem const*, std::vector<unsigned int>> m_prefix_totals;
    CoreVector<GuiTreeItem*> m_visible_items;
    unsigned int m_first_line = 0;
    long long m_offset = 0;
    GuiScrollbar* m_scrollbar = nullptr;
    GuiTreeItem* m_last_event_item = nullptr;
    GuiTreeItem* m_drag_over_item = nullptr;
    int m_line_height = 22;
    int m_default_column_width = DEFAULT_COLUMN_WIDTH;
    CoreVector<GuiTreeItem*> m_selection;
    CoreVector<GuiTreeItem*> m_preselection;
    CoreVector<GuiTreeItem*> m_highlighted_items;
    bool m_dragging = false;
    int m_drag_source_line = -1;
    GuiTreeItem* m_drag_source_item = nullptr;
    GuiTreeDragBar* m_drag_bar = nullptr;
    unsigned int m_drop_line = 0;
    CoreVector<int> m_column_widths;
    CoreVector<CoreString> m_column_titles;
    unsigned int m_connector_column = 0;
    GMathVec3<int> m_background_color;
    GMathVec3<int> m_border_color = GMathVec3<int>(40, 40, 40);
    BorderStyle m_border_style = BORDER_STYLE_LINES;
    bool m_refresh_pending = false;
    bool m_disable_selection_issuer = false;
    bool m_shaded_entries = false;
    bool m_drag_and_drop = false;
    bool m_item_delete = false;
    bool m_multi_selection = false;
    bool m_scrolling = false;
    ImageIcon::ImageIconSize m_icon_size = ImageIcon::IMAGE_ICON_SIZE_16;
    AppBase::TimerId m_refresh_timer = 0;
    AppBase::TimerId m_drag_scroll_timer = 0;
    int m_last_drag_y = 0;
    // Inside destroy_selected_items: removals do not report the selection one by one.
    bool m_destroying_selection = false;
    bool m_being_destroyed = false;
    GMathVec3<unsigned char> m_item_colors[5];
};
