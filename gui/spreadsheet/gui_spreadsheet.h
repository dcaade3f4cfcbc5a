#pragma once
// GuiSpreadsheet: the table widget. Rows (GuiSpreadsheetRow) own one cell per column; columns
// are GuiSpreadsheetHeaderData records, entry 0 describing the row-number strip on the left
// and entry c + 1 data column c. Above the grid sit an optional toolbar with a value line edit
// and the strip of column titles; scrollbars run along the right and bottom edges. It offers
// cell-level multi-selection (Shift ranges, Ctrl toggles, painting by drag over cells or over
// the strips), a cursor cell with enter and leave events, sorting through the cells' compare,
// and column resizing by dragging title edges (Shift shares the change among the columns on
// the left). In tree mode the rows form a depth-first tree whose parents collapse and expand
// with a toggle in the tree column. Highlight words taken from a filter text mark the cells
// that contain them. Row changes only set flags; the update pass lays out once, and drawing
// and hit testing walk only the rows and columns on screen, so a million rows cost what is
// visible.
//
//     GuiSpreadsheet* sheet = new GuiSpreadsheet(*window, 0, 0, 400, 300);
//     sheet->add_column("Name");                       // proportional, ratio 1
//     sheet->add_column("Size", 80, true, true);       // fixed, 80 pixels
//     GuiSpreadsheetRow* row = new GuiSpreadsheetRow(*sheet);
//     row->add_cell(new GuiSpreadsheetCellBasicText("camera1"));
//     row->add_cell(new GuiSpreadsheetCellBasicText("12"));
//     sheet->add_row(row);
//     panel->connect(*sheet, EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED, &MyPanel::on_sort);
//     // on_sort(GuiSpreadsheet& sheet, ...): sheet.sorting_rows_by_selected_column();
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gui/core/gui_dc.h"
#include "gui/core/gui_export.h"
#include "gui/core/gui_widget.h"
#include "gui/spreadsheet/gui_spreadsheet_commands.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiImage;
class GuiLineEdit;
class GuiScrollbar;
class GuiSpreadsheet;
class GuiSpreadsheetCell;
class GuiSpreadsheetCellBasic;
class GuiSpreadsheetRow;
class GuiToolbar;

// The selection changed (by the user or by a call).
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_SELECTION_CHANGED);
// A press on a cell that the cell did not consume.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_CLICK);
// The cursor entered or left a cell; the event data is the cell.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_CURSOR_ENTER_CELL);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_CURSOR_LEAVE_CELL);
// set_cell_content changed a cell; the event data is the cell.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_CELL_UPDATED);
// The sort type or order changed: the owner reorders with sorting_rows_by_selected_column.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED);
// The toolbar's value edit changed.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_LINE_EDIT_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN);

// What the sheet knows about one column entry.
class QN_GUI_API GuiSpreadsheetHeaderData {
public:
    virtual ~GuiSpreadsheetHeaderData() = default;

    CoreString const& get_title() const { return m_title; }
    void set_title(CoreString const& title) { m_title = title; }
    // Share of the free width, for columns that are not of fixed size.
    double const& get_ratio() const { return m_ratio; }
    void set_ratio(double const& ratio) { m_ratio = ratio; }
    int const& get_width() const { return m_width; }
    void set_width(int const& width) { m_width = width; }
    int const& get_minimum_size() const { return m_minimum_size; }
    void set_minimum_size(int const& size) { m_minimum_size = size; }
    bool is_fixed_size() const { return m_fixed_size || m_force_visibility_width; }
    void set_fixed_size(bool const& fixed) { m_fixed_size = fixed; }
    bool const& is_resizable() const { return m_resizable; }
    void set_resizable(bool const& resizable) { m_resizable = resizable; }
    bool const& is_auto_fit() const { return m_auto_fit; }
    void set_auto_fit(bool const& auto_fit) { m_auto_fit = auto_fit; }
    bool const& is_enabled() const { return m_enable; }
    void set_enabled(bool const& enable) { m_enable = enable; }
    bool const& is_can_read_only() const { return m_can_read_only; }
    void set_can_read_only(bool const& can) { m_can_read_only = can; }
    // The column's sort key; -1: not sortable.
    int const& get_sort_type() const { return m_sort_type; }
    void set_sort_type(int const& key) { m_sort_type = key; }
    // The column's cells are searched for the sheet's highlight words.
    bool const& get_is_highlight_text_enabled() const { return m_highlight_text; }
    void enabled_highlight_text(bool const& enable) { m_highlight_text = enable; }
    // A hidden column takes no width, draws nothing and is never hit.
    bool const& is_hidden() const { return m_hidden; }
    void set_hidden(bool const& hidden) { m_hidden = hidden; }
    GuiImage const* get_icon() const { return m_icon; }
    void set_icon(GuiImage const* icon) { m_icon = icon; }

private:
    CoreString m_title;
    double m_ratio = 1.0;
    int m_width = 0;
    int m_minimum_size = 0;
    bool m_fixed_size = false;
    bool m_resizable = true;
    bool m_auto_fit = false;
    bool m_enable = true;
    bool m_can_read_only = true;
    int m_sort_type = -1;
    bool m_highlight_text = false;
    int m_visibility_width_max = 0;
    bool m_force_visibility_width = false;
    bool m_hidden = false;
    GuiImage const* m_icon = nullptr;
};

// The drawing context a cell draws through: the sheet's widget context plus the cell's
// rectangles, colours and state, filled by the sheet before each cell's draw.
class QN_GUI_API GuiSpreadsheetDrawContext : public GuiWidgetDc {
    CORE_DECLARE_CLASS(GuiSpreadsheetDrawContext, GuiWidgetDc)

public:
    explicit GuiSpreadsheetDrawContext(GuiSpreadsheet& spreadsheet);

    GuiSpreadsheet& get_spreadsheet() const { return *m_spreadsheet; }
    // The cell's inner rectangle: the column and row less the padding.
    GMathVec4<int> const& get_cell_rect() const { return m_cell_rect; }
    // Where content goes; the cell rectangle less any indentation.
    GMathVec4<int> const& get_content_rect() const { return m_content_rect; }
    GMathVec3<unsigned char> const& get_row_background_color() const { return m_row_background; }
    GMathVec3<unsigned char> const& get_text_color() const { return m_text_color; }
    bool const& is_row_selected() const { return m_row_selected; }
    bool const& is_cell_selected() const { return m_cell_selected; }
    bool const& is_row_highlighted() const { return m_row_highlighted; }
    bool const& is_cursor() const { return m_cursor; }
    bool const& is_read_only() const { return m_read_only; }
    bool const& is_highlight_enabled() const { return m_highlight_enabled; }

private:
    friend class GuiSpreadsheet;
    GuiSpreadsheet* m_spreadsheet;
    GMathVec4<int> m_cell_rect;
    GMathVec4<int> m_content_rect;
    GMathVec3<unsigned char> m_row_background;
    GMathVec3<unsigned char> m_text_color;
    bool m_row_selected = false;
    bool m_cell_selected = false;
    bool m_row_highlighted = false;
    bool m_cursor = false;
    bool m_read_only = false;
    bool m_highlight_enabled = false;
};

// Cell masks of the rows that have any bit set, keyed by row index, so that a sheet of a
// million rows pays only for its selected rows. Remembers the order in which rows gained
// their first bit.
class QN_GUI_API GuiSpreadsheetMasks {
public:
    uint64_t get(unsigned int const& row) const;
    // False when the mask was already this one.
    bool set(unsigned int const& row, uint64_t const& mask);
    // False when nothing was set.
    bool clear();
    bool is_empty() const { return m_masks.empty(); }
    unsigned int get_row_count() const { return static_cast<unsigned int>(m_masks.size()); }
    // Set bits over all rows, counted up to `limit`.
    unsigned int count_bits(unsigned int const& limit) const;
    // Rows with a bit set, in index order / in the order they gained their first bit.
    CoreVector<unsigned int> get_rows() const;
    CoreVector<unsigned int> get_ordered_rows() const;
    // The row at `index` was inserted (later rows move down) or removed (its mask goes).
    void on_row_inserted(unsigned int const& index);
    void on_row_removed(unsigned int const& index);
    // Row i moved to new_index_of[i].
    void permute(CoreVector<unsigned int> const& new_index_of);
    size_t get_memory_size() const;

private:
    struct Entry {
        uint64_t mask;
        uint64_t order;
    };
    std::unordered_map<unsigned int, Entry> m_masks;
    uint64_t m_next_order = 0;
};

class QN_GUI_API GuiSpreadsheet : public GuiWidget {
    CORE_DECLARE_CLASS(GuiSpreadsheet, GuiWidget)

public:
    // Only the first 64 cells of a row can be selected or highlighted.
    static constexpr unsigned int mask_column_size = 64;
    static constexpr int SCROLLBAR_SIZE = 14;
    static constexpr int DEFAULT_HEADER_ROW_WIDTH = 30;
    static constexpr int DEFAULT_COLUMN_WIDTH = 125;
    // A title edge grabs the pointer this close (strictly) on either side.
    static constexpr int RESIZE_HANDLE_REACH = 5;
    // Pointer travel that turns a press on a cell into a drag gesture.
    static constexpr int DRAG_THRESHOLD = 8;
    // Indentation per tree level; the expand toggle fills one step left of a row's content.
    static constexpr int TREE_INDENT = 18;
    // What a drop onto the sheet does; only DND_MODE_REORDER is told apart by the base sheet.
    enum DndMode : int { DND_MODE_NONE = 0, DND_MODE_REORDER = 1, DND_MODE_REPARENT = 2, DND_MODE_DEFAULT = 3 };

    // `left` and `right`: widgets put into the toolbar before and after the value edit.
    GuiSpreadsheet(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h,
                   CoreVector<GuiWidget*> const* left = nullptr, CoreVector<GuiWidget*> const* right = nullptr);
    // Destroys the rows it holds.
    ~GuiSpreadsheet() override;

    // --- Columns (column: a data-column index; entry: column + 1, entry 0 the row-number strip) ---
    // A fixed-size column of `width` pixels.
    void add_column(CoreString const& title, int const& width, bool const& resizable, bool const& enabled);
    // A column sharing the free width by `ratio`.
    void add_column(CoreString const& title, double const& ratio, bool const& resizable, bool const& enabled);
    // A proportional, resizable column of ratio 1.
    void add_column(CoreString const& title, bool const& enabled = true);
    void remove_column(int const& column);
    int get_column_count() const { return static_cast<int>(m_columns.get_count()) - 1; }
    CoreVector<GuiSpreadsheetHeaderData> const& get_columns() const { return m_columns; }
    // -1 when no column has this title.
    int get_column_index(CoreString const& title) const;
    CoreString get_column_title(int const& column) const;
    int get_column_width(int const& column) const;
    // Negative widths are refused and widths below the minimum column width raised to it,
    // each with a warning.
    void set_column_width(int const& column, int const& width);
    double get_column_ratio(int const& column) const;
    void set_column_ratio(int const& column, double const& ratio);
    void set_column_enabled(int const& column, bool const& enabled);
    bool is_column_enabled(int const& column) const;
    void set_column_resizable(int const& column, bool const& resizable);
    bool is_column_resizable(int const& column) const;
    void set_column_hidden(int const& column, bool const& hidden);
    bool is_column_hidden(int const& column) const;
    virtual void set_column_sort_type(int const& column, int const& key);
    virtual int get_column_sort_type(int const& column) const;
    virtual void set_column_icon(int const& column, GuiImage const* image);
    virtual GuiImage const* get_column_icon(int const& column) const;
    // False when a column already has this key; else appends a fixed column of 125 pixels.
    virtual bool add_column_type(int const& key, CoreString const& title);
    virtual bool remove_column_type(int const& key);
    int const& get_minimum_column_width() const { return m_minimum_column_width; }
    void set_minimum_column_width(int const& width);
    // Extra right margin inside a column.
    virtual int get_column_right_margin(int const& column) const;

    // --- Rows ---
    // Appends the row (owned from now on); returns its index. A row whose cell count differs
    // from the column count is kept with one warning: missing cells show nothing, extra
    // cells are never drawn. `refresh` sets the anchor to its first cell; with `select` too
    // the selection becomes that cell.
    virtual int add_row(GuiSpreadsheetRow* row, bool const& select = false, bool const& refresh = true);
    // Appends every row, refreshing once after the last; one warning for all mismatched rows.
    virtual void add_rows(CoreVector<GuiSpreadsheetRow*> const& rows, bool const& refresh = true);
    virtual void insert_row(unsigned int const& index, GuiSpreadsheetRow* row);
    // Inserts the row as a child of `parent` (which gains a child); the index must lie in the
    // parent's subtree, past the parent. Refused with an error otherwise (the caller keeps
    // the row).
    virtual void insert_row(unsigned int const& index, GuiSpreadsheetRow* row, int const& parent);
    // Inserts a depth-first block of rows made of `roots` subtrees (their counts already add
    // up) as children of `parent` (-1: at the top level), in one move of the row list. The
    // same refusals as insert_row (the caller keeps the rows).
    void insert_rows(unsigned int const& index, CoreVector<GuiSpreadsheetRow*> const& block, int const& parent,
                     int const& roots = 1);
    virtual void move_row(unsigned int const& from, unsigned int const& to);
    virtual GuiSpreadsheetRow* get_row(unsigned int const& index) const;
    // Takes the row out (the caller owns it again). Refused with an error during a sort; a
    // drag under way ends first. In tree mode its children move up to its parent.
    [[nodiscard]] virtual GuiSpreadsheetRow* remove_row(unsigned int const& index);
    void remove_rows(CoreVector<unsigned int> const& indices);
    void remove_rows(unsigned int const& first, unsigned int const& last);
    // Removes and destroys the selected rows.
    void remove_selected_rows();
    // Destroys every row.
    virtual void remove_all_data(bool const& reset_cursor = true);
    CoreVector<GuiSpreadsheetRow*> const& get_rows() const { return m_rows; }
    unsigned int get_row_count() const { return m_rows.get_count(); }
    // Hook called before a row is taken out.
    virtual void on_removing_row(unsigned int const& index);
    // Null out of range.
    GuiSpreadsheetCell* get_cell(int const& column, int const& row) const;
    // False when the cell is in no row of this sheet.
    bool get_cell_indices(GuiSpreadsheetCell const* cell, int& column, int& row) const;
    // Hands edited text to the cell's set_text (through change_cell_value), then raises
    // EVT_ID_SPREADSHEET_CELL_UPDATED.
    virtual void set_cell_content(GuiSpreadsheetCell* cell, CoreString const& text);

    // --- Value changes and undo ---
    // The history the sheet's edits go into, one step each; null (the default): not recorded.
    void set_command_manager(OfCommandManager* commands) { m_commands = commands; }
    OfCommandManager* get_command_manager() const { return m_commands; }
    // Gives `cell` a value in its pastable form, as an undo step when there is a history.
    // Disabled, locked and read-only cells, and values the cell does not take, are refused
    // with a warning and change nothing. Raises EVT_ID_SPREADSHEET_CELL_UPDATED with
    // `event_data` (the cell when null).
    bool change_cell_value(GuiSpreadsheetCell* cell, CoreString const& text, void* event_data = nullptr);
    // The change itself, unrecorded (undo steps call it); false when the cell refuses.
    bool apply_cell_value(GuiSpreadsheetCell* cell, CoreString const& text, void* event_data);
    // Pastes tab-separated lines into the cells from the cursor cell rightwards and down (Ctrl+V),
    // as one undo step; cells that refuse their text keep their value. The number of cells
    // changed.
    unsigned int paste_text(CoreString const& text);
    void paste(CoreString const& text) override;
    // How undo steps name a cell that may leave the sheet.
    GuiSpreadsheetCellRef make_cell_ref(GuiSpreadsheetCell const& cell);
    GuiSpreadsheetCell* resolve_cell_ref(GuiSpreadsheetCellRef const& ref) const;
    std::shared_ptr<GuiSpreadsheet*> const& get_lifetime() const { return m_lifetime; }

    // --- Geometry ---
    int const& get_row_height() const { return m_row_height; }
    void set_row_height(int const& height);
    // Each row's own height (GuiSpreadsheetRow::set_height) instead of the sheet's.
    void enable_custom_height_by_row(bool const& enable);
    bool const& is_custom_height_by_row() const { return m_custom_height_by_row; }
    int const& get_padding_x() const { return m_padding_x; }
    int const& get_padding_y() const { return m_padding_y; }
    void set_padding_x(int const& padding);
    void set_padding_y(int const& padding);
    // Row height + 2 × padding y + 1 with the vertical grid.
    int get_row_total_height() const;
    // A row's height on screen, without the grid line, and with it (its pitch).
    int get_row_inner_height(unsigned int const& row) const;
    int get_row_pitch(unsigned int const& row) const;
    // -1 while the strip is hidden.
    int get_header_column_height() const { return m_show_header_column ? m_header_column_height : -1; }
    int get_header_row_width() const;
    bool const& is_show_header_column() const { return m_show_header_column; }
    void set_show_header_column(bool const& show);
    bool const& is_show_header_row() const { return m_show_header_row; }
    void set_show_header_row(bool const& show);
    bool const& is_show_line_edit() const { return m_show_line_edit; }
    void set_show_line_edit(bool const& show);
    void set_show_grid(bool const& show);
    bool const& is_show_horizontal_grid() const { return m_show_horizontal_grid; }
    bool const& is_show_vertical_grid() const { return m_show_vertical_grid; }
    void set_show_horizontal_grid(bool const& show);
    void set_show_vertical_grid(bool const& show);
    bool const& is_shaded() const { return m_shaded; }
    void set_shaded(bool const& shaded);
    int const& get_row_index_display_start_offset() const { return m_row_index_display_start_offset; }
    void set_row_index_display_start_offset(int const& offset);

    // Window x of an entry's left edge and its width (0 for hidden entries).
    int get_entry_x(unsigned int const& entry) const;
    int get_entry_width(unsigned int const& entry) const;
    int get_cell_pos_x(int const& column) const { return get_entry_x(static_cast<unsigned int>(column + 1)); }
    int get_cell_width(int const& column) const { return get_entry_width(static_cast<unsigned int>(column + 1)); }
    // Window y of a row's top edge while it is on screen or below it; -1 above the first row shown.
    int get_cell_pos_y(int const& row) const;
    // Window y of the body (below the toolbar and the title strip) and its height.
    int get_body_y() const;
    int get_body_height() const;
    // Pixel offset of a row among all rows, and the height of all rows.
    unsigned int get_row_y_position(unsigned int const& row) const;
    unsigned int get_content_height() const;
    // Entry under window x (-1 for none); a data column is entry - 1.
    int get_entry_at(int const& window_x) const;
    // Row under window y, -1 outside the body; `after` tells the lower half of the row.
    int get_row_at(int const& window_y, bool* after = nullptr) const;
    // The entry whose resizable right edge lies strictly within the handle reach of
    // window x; -1 for none.
    int get_resize_handle_at(int const& window_x) const;
    // Total entry width less the widget width, at least 0.
    int const& get_horizontal_overflow() const { return m_horizontal_overflow; }
    int const& get_horizontal_offset() const { return m_horizontal_offset; }
    // Lays out strips, scrollbars and column widths now (the update pass does it anyway).
    void refresh_layout();
    // Recomputes which rows are shown and where at the next update pass.
    void refresh_rows_visibility();
    // The rows shown, top to bottom: every row outside tree mode; in tree mode the rows that
    // are not hidden and whose ancestors are all expanded and not hidden.
    unsigned int get_visible_row_count() const;
    // The row at a visible position; -1 out of range.
    int get_visible_row(unsigned int const& position) const;
    // The position among the visible rows of a row, or of the first visible row after it.
    unsigned int get_visible_position(unsigned int const& row) const;
    bool is_row_visible(int const& row) const;
    // Alternate shown rows are shaded (with set_shaded): every other visible row.
    bool is_row_shaded(int const& row) const;

    // --- Tree ---
    // Rows are stored depth-first: a row with children (GuiSpreadsheetRow::set_children_count)
    // is followed by them, each followed by its own subtree. The update pass gives each row its
    // depth, parent and subtree size; counts that run past the last row are cut there with
    // one warning.
    void set_tree_mode(bool const& on);
    bool const& is_tree_mode() const { return m_tree_mode; }
    // The column that is indented by depth and holds the expand toggles.
    int const& get_tree_column_index() const { return m_tree_column_index; }
    void set_tree_column_index(int const& column);
    // Expands or collapses a row that has children; what is shown follows at the next pass,
    // which costs the rows shown, not the whole sheet. A press on the toggle calls it.
    virtual void toggle_show_children(unsigned int const& row, bool const& show);
    virtual void expand_all(bool const& expand);
    // Gives every row its depth, parent and subtree size now, when rows changed since the
    // last pass (owners that place rows by subtree need them before the update pass).
    void refresh_tree_structure() { update_tree_structure(); }
    // Shift ranges and strip drags also select rows inside collapsed parents.
    void enable_selection_collapsed_rows(bool const& enable) { m_select_collapsed_rows = enable; }
    bool const& is_selection_collapsed_rows_enabled() const { return m_select_collapsed_rows; }

    // --- Scrolling ---
    int const& get_row_offset_index() const { return m_row_offset_index; }
    // The first row shown, limited to 0 .. the first row of the last full page.
    void set_row_offset_index(int const& index);
    int get_max_row_offset_index() const;
    // Scrolls so that the row is shown (as the first row when above, the last when below),
    // expanding its collapsed ancestors in tree mode.
    void focus_on_row(int const& row);
    // The visible row a page away from `row` (down / up): the farthest one that still shows
    // together with `row` in the body; at least the next visible row when there is one.
    int get_next_page_row_position(int const& row) const;
    int get_previous_page_row_position(int const& row) const;
    void set_disable_focus_on_row(bool const& disable) { m_disable_focus_on_row = disable; }
    GuiScrollbar* get_vertical_scrollbar() const { return m_vertical_scrollbar; }
    GuiScrollbar* get_horizontal_scrollbar() const { return m_horizontal_scrollbar; }
    GuiToolbar* get_toolbar() const { return m_toolbar; }
    GuiLineEdit* get_input_value_edit() const { return m_value_edit; }
    // The toolbar's value edit shows a cell's value: with a position, that cell's text,
    // editable (read-only when the sheet is and the column can be), in the normal font;
    // without one (column or row -1), a text that stands for no cell, disabled, in italics.
    // What the user enters there goes to every selected cell (on_edit_changed).
    void set_input_value_edit(CoreString const& text, GuiSpreadsheetCell* cell, int const& column, int const& row);
    // Shows another text, read-only or not, for the same cell.
    void update_input_value_edit(CoreString const& text, bool const& read_only);
    void set_focus_on_input_value_edit();
    // The position the value edit shows; -1, -1 for none.
    void get_input_value_position(int& column, int& row) const;

    // --- Selection ---
    bool is_cell_selected(int const& column, int const& row) const;
    bool is_row_selected(int const& row) const;
    uint64_t get_row_selection_mask(int const& row) const;
    CoreVector<unsigned int> get_selected_rows() const;
    // Rows in the order their first cell was selected; the selected rows when none.
    CoreVector<unsigned int> get_ordered_row_selection() const;
    // (column, row) pairs in row, then column order.
    CoreVector<GMathVec2<int>> get_selected_cells() const;
    // Every cell of the row.
    void set_selection_row(int const& row, bool const& select);
    void set_selection_rows(CoreVector<unsigned int> const& rows, bool const& select, bool const& clear_first);
    void set_selection_cells(CoreVector<GMathVec2<int>> const& cells);
    void select_all();
    // Raises EVT_ID_SPREADSHEET_SELECTION_CHANGED with `raise` when something was selected.
    void unselect_all(bool const& raise = true);
    void invert_selection_rows();
    bool const& is_multi_cell_selected() const { return m_multi_cell_selected; }
    bool const& is_multi_selection() const { return m_multi_selection; }
    void set_multi_selection(bool const& multi) { m_multi_selection = multi; }
    bool const& is_full_row_select() const { return m_full_row_select; }
    void set_full_row_select(bool const& full) { m_full_row_select = full; }
    // Drag paints a selection instead of starting a drag gesture.
    bool const& is_multiselection_by_drag() const { return m_multiselection_by_drag; }
    void set_multiselection_by_drag(bool const& on) { m_multiselection_by_drag = on; }
    bool const& is_preselection() const { return m_preselection; }
    void set_preselection(bool const& on) { m_preselection = on; }
    bool const& is_read_only() const { return m_read_only; }
    void set_read_only(bool const& read_only);
    bool const& is_show_cursor() const { return m_show_cursor; }
    void set_show_cursor(bool const& show);
    // With read only, the column titles are drawn disabled too.
    bool const& is_read_only_titles_disabled() const { return m_read_only_titles_disabled; }
    void set_read_only_titles_disabled(bool const& disabled);
    // Ctrl+C copies the selected block (copy_selection_to_clipboard).
    bool const& is_copy_to_clipboard() const { return m_copy_to_clipboard; }
    void set_copy_to_clipboard(bool const& copy) { m_copy_to_clipboard = copy; }
    // The selected block, from the first to the last selected column over the selected rows,
    // as the cells' pastable texts: columns separated by tabs (an unselected or missing cell
    // leaves its field empty), rows by "\n". `type` receives the class name, the first and
    // the last column ("GuiSpreadsheet 0 2"). Empty without selection.
    CoreString get_selection_copy_text(CoreString* type = nullptr) const;
    // Puts that text and type on the clipboard; nothing without selection.
    void copy_selection_to_clipboard() const;
    // Type-ahead: a letter key moves the cursor to the first row whose cell in the key-focus
    // column starts with that letter (any case).
    bool const& is_enable_focus_by_key() const { return m_focus_by_key; }
    void set_enable_focus_by_key(bool const& enable) { m_focus_by_key = enable; }
    unsigned int const& get_key_focus_column_index() const { return m_key_focus_column; }
    void set_key_focus_column_index(unsigned int const& column) { m_key_focus_column = column; }
    // Shift ranges start here; (-1, -1) when unset.
    GMathVec2<int> get_anchor_cell() const { return GMathVec2<int>(m_anchor_column, m_anchor_row); }
    void set_anchor_cell(int const& column, int const& row);
    // Selects every cell between the anchor and (column, row) to the paint value, then moves
    // the cursor there. Multi selection only.
    void do_multiselection(int const& column, int const& row);

    // --- Cursor ---
    void get_cursor_position(int& column, int& row) const;
    // Moves the cursor: leave and enter events on the old and new cells, the new cell
    // selected unless Ctrl is held, the anchor moved, the row scrolled into view.
    void set_cursor_position(int const& column, int const& row);
    void reset_cursor_position();
    void get_clicked_cell_position(int& column, int& row) const;
    int const& get_preselection_column() const { return m_preselection_column; }
    int const& get_preselection_row() const { return m_preselection_row; }
    // The cell a later release or edit works on; (-1, -1) for none.
    void set_preselection_cell(int const& column, int const& row);
    void set_clicked_cell(int const& column, int const& row);

    // --- In-place editing ---
    // Edits the preselected cell, or else the cursor cell (with full row select, its cell in the
    // full-row-edition column): a cell whose on_edit_content takes over edits itself; any other
    // gets a line edit over it, with its text selected. Return, Enter, leaving the edit or a
    // press outside it commit a changed text through set_cell_content; Escape and Tab drop it.
    // Refused, with a warning, for cells that are not GuiSpreadsheetCellBasic, disabled or
    // locked cells and read-only columns of a read-only sheet; ignored while this sheet edits.
    virtual void start_edit_cell_content();
    // Clears the preselection and leaves the editing state (hide_edit_field calls it).
    virtual void end_edit_cell_content();
    bool is_editing() const;
    // Whether a sheet edits the cell.
    static bool is_cell_edited(GuiSpreadsheetCell const* cell);
    // Null while no line edit is open.
    GuiLineEdit* get_cell_line_edit() const { return m_cell_line_edit; }
    GuiSpreadsheetCellBasic* get_edited_cell() const { return m_edited_cell; }
    // Closes the line edit; with `commit` a text that differs from the cell's goes to
    // set_cell_content. Raises EVT_ID_SPREADSHEET_LINE_EDIT_HIDDEN.
    void hide_edit_field(GuiSpreadsheetCellBasic* cell, bool const& commit);
    unsigned int const& get_full_row_edition_column_index() const { return m_full_row_edition_column; }
    void set_full_row_edition_column_index(unsigned int const& column) { m_full_row_edition_column = column; }

    // --- Highlight words and text filter ---
    // Splits the text at blanks into trimmed words (lower-cased unless highlighting is case
    // sensitive; with several words every "*" goes) and marks, in the highlight masks, the
    // cells of highlight-enabled columns whose text contains every word. An empty or blank
    // text leaves no words and no marks. `refresh` makes the cells draw again.
    virtual void set_highlight_text(CoreString const& text, bool const& refresh = true);
    virtual void clear_highlight_text();
    // The words, and the text they came from.
    CoreVector<CoreString> const& get_highlight_text() const { return m_highlight_words; }
    CoreString const& get_highlight_filter_text() const { return m_highlight_filter_text; }
    // Splits the last filter text again with the new case rule.
    virtual void enable_case_sensitive_highlight(bool const& on, bool const& refresh = true);
    bool const& is_case_sensitive_highlight_enabled() const { return m_case_sensitive_highlight; }
    // True without words or with the single word "*"; else the text must contain every word.
    bool is_valid_by_text_filter(CoreString const& text) const;
    // Byte offset and length of every occurrence of every word in the text.
    CoreVector<GMathVec2<unsigned int>> get_highlight_spans(CoreString const& text) const;
    // Lets the filter search a column (GuiSpreadsheetHeaderData::enabled_highlight_text) and
    // marks its cells again.
    void enable_column_highlight_text(int const& column, bool const& enable);
    // The column's highlight flag (the row does not matter here; subclasses may ask it; -1
    // asks for the column as a whole).
    virtual bool is_highlight_text_enabled(int const& column, int const& row) const;
    // Highlight masks: one bit per cell, kept only for rows with a bit set. The filter sets
    // them; owners may too (until the next filter text).
    bool is_row_highlighted(int const& row) const;
    uint64_t get_row_highlight_mask(int const& row) const;
    bool is_cell_highlighted(int const& column, int const& row) const;
    // Every cell of the row.
    void set_highlighted_row(int const& row, bool const& highlighted);

    // --- Sorting ---
    virtual void enable_column_sort(bool const& enable);
    virtual bool get_is_enable_column_sort() const { return m_column_sort_enabled; }
    // -1 is ignored, and so (with a warning) is a key no column has. A new key sorts
    // ascending; the same key again goes ascending → descending → unsorted → ascending.
    // Raises EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED.
    virtual void set_sort_type(int const& key);
    virtual int get_sort_type() const { return m_sort_type; }
    // 1 ascending, -1 descending, 0 unsorted; other values are refused.
    virtual void set_sort_order(int const& order);
    virtual int get_sort_order() const { return m_sort_order; }
    // Stable sort of the rows by the cells at index sort type, through their compare. The
    // selection and the cursor stay on their rows. Refused with an error when a row has no
    // cell there.
    virtual void sorting_rows_by_selected_column();
    bool const& is_sorting() const { return m_sorting; }
    // 1 for an up arrow, -1 for a down arrow, 0 for none, for the entry's title.
    virtual int get_sort_indicator(unsigned int const& entry) const;

    // --- Column resizing ---
    bool const& is_column_resizing() const { return m_column_resizing; }
    // Starts, continues, ends and cancels a resize of an entry at window x; `proportional`
    // shares the change among the resizable entries up to it. The mouse drives these; they
    // are public for owners that resize from elsewhere.
    void start_column_resize(int const& entry, int const& window_x, bool const& proportional);
    void continue_column_resize(int const& window_x);
    void end_column_resize();
    // Puts back the widths recorded at the start.
    void cancel_column_resize();
    bool const& is_resize_only_one_column() const { return m_resize_only_one_column; }
    void set_resize_only_one_column(bool const& one) { m_resize_only_one_column = one; }
    // Fits the entry to its title and the texts of the rows on screen (a double click on its
    // title edge does it).
    void autofit_column(unsigned int const& entry);
    // Every data column.
    void autofit();
    void set_column_auto_fit(int const& column, bool const& auto_fit);
    bool is_column_auto_fit(int const& column) const;
    void set_column_can_read_only(int const& column, bool const& can);
    bool is_column_can_read_only(int const& column) const;

    // --- Reordering by drops ---
    int const& get_dnd_mode() const { return m_dnd_mode; }
    void set_dnd_mode(int const& mode) { m_dnd_mode = mode; }
    // Where a drop would land: the cell and whether it goes after the row; (-1, -1) for none.
    void get_dnd_info(int& column, int& row, bool& after) const;
    void set_dnd_info(int const& column, int const& row, bool const& after);
    void set_dnd_reparenting_row_candidates(CoreVector<unsigned int> const& rows) { m_dnd_reparenting_candidates = rows; }
    CoreVector<unsigned int> const& get_dnd_reparenting_row_candidates() const { return m_dnd_reparenting_candidates; }
    unsigned int const& get_dnd_reparenting_row() const { return m_dnd_reparenting_row; }
    void set_dnd_reparenting_row(unsigned int const& row) { m_dnd_reparenting_row = row; }
    // Computes the row order a reorder drop at the drop target makes and keeps it as the
    // permuted rows. The moved rows are the preselected row when it is not selected, else the
    // selected rows. The rows themselves are not moved: the owner applies the order.
    void fill_permute_rows();
    // The row order, in reorder mode (1; empty otherwise), after moving `moved` (in their
    // order) to before the row `target`, or after it with `after` (-1: to the end).
    static CoreVector<unsigned int> fill_permute_rows(int const& mode, CoreVector<unsigned int> const& moved,
                                                      unsigned int const& row_count, int const& target,
                                                      bool const& after);
    // Emptied whenever rows are removed.
    CoreVector<unsigned int> const& get_permute_rows() const { return m_permute_rows; }
    // Moves the rows into the permuted order (outside tree mode), selection and cursor with
    // them, and forgets it; false (logged) when it is not an order of the rows.
    bool apply_permute_rows();
    // False when the sheet is read-only and the column under the pointer can be, and in
    // reorder mode for drags that do not come from this sheet.
    virtual bool is_valid_dnd_data() const;

    // --- Clicks and hooks ---
    // False for locked cells and read-only columns of a read-only sheet; else the cell's answer.
    virtual bool on_cell_click(GuiSpreadsheetCell* cell, int const& column, int const& row, bool const& press);
    virtual bool on_cell_double_click(GuiSpreadsheetCell* cell, int const& column, int const& row);
    // Starts a drag gesture once a press on a cell moved past the threshold; false: none.
    // The default drags the sheet itself in reorder mode, and nothing otherwise.
    virtual bool do_initiate_dnd_event();
    bool const& is_mouse_pressed() const { return m_mouse_pressed; }

    void show() override;
    void resize(int const& x, int const& y, int const& w, int const& h) override;
    int process_event(CoreString const& name) override;
    void draw(GuiDc& dc) override;
    void widget_update() override;
    size_t get_memory_size() const override;

protected:
    // Frees a row the sheet destroys (remove_all_data, remove_rows); sheets that recycle
    // their rows take them back here. The destructor deletes what is left.
    virtual void destroy_row(GuiSpreadsheetRow* row);
    // Sets the sort key and order as they are (keys without a column included, for sheets
    // that sort by more than their columns) and raises EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED.
    void set_sort_state(int const& key, int const& order);
    // Navigation, type-ahead, Escape, Ctrl+A and Ctrl+C; 0: not handled.
    virtual int process_key_event(CoreString const& name);
    // Drops: enter accepts or refuses, drag moves the drop target, release computes the
    // permuted rows and raises EVT_ID_DND_RELEASE for the owner.
    virtual int process_dnd_event(CoreString const& name);

private:
    struct Layout;
    void on_mouse_down();
    void on_mouse_drag();
    void on_mouse_up();
    // The selection a press (or, with preselection, a release) makes on a cell: Shift range,
    // Ctrl toggle or a single cell, and the cursor.
    void select_pressed_cell(GuiSpreadsheetCell* cell, int const& column, int const& row, bool const& ctrl,
                             bool const& shift);
    void on_wheel();
    // Arrow, Home, End and Page keys: the cursor's new cell, or false when the key moves nothing.
    bool get_navigation_target(int const& key, int& column, int& row);
    // Clears the selection (a Shift range from the anchor with `shift`) and moves the cursor.
    void move_cursor_by_key(int const& column, int const& row, bool const& shift);
    // The row type-ahead goes to for a lower-case letter; -1 for none.
    int find_row_by_key(char const& letter) const;
    void on_vertical_scroll(GuiScrollbar& bar, EventInfo const& info, void* data);
    void on_horizontal_scroll(GuiScrollbar& bar, EventInfo const& info, void* data);
    void on_toolbar_size(GuiToolbar& bar, EventInfo const& info, void* data);
    void on_value_edit_changed(GuiLineEdit& edit, EventInfo const& info, void* data);
    // The cell line edit's changes, validation, focus and keys.
    void on_cell_edit_event(GuiLineEdit& edit, EventInfo const& info, void* data);
    // Application mouse listener while editing: a press outside the line edit commits.
    static void on_edit_mouse(GuiWidget& widget, CoreString const& event, void* data);
    // Rows holding the edited cell are going: the edit ends unsaved before they do.
    void abandon_edit(char const* operation);

    void draw_drop_target(GuiWidgetDc& dc, int const& left, int const& right) const;
    // Puts the rows in `order` (the old index of each new position); selection, cursor and
    // anchors follow their rows.
    void apply_row_order(std::vector<unsigned int> const& order);
    // Shared by add_row and add_rows: appends, returns whether the cell count mismatched.
    bool append_row(GuiSpreadsheetRow* row);
    void after_append(int const& index, bool const& select);
    void log_cell_count_mismatch(char const* operation, unsigned int const& rows) const;
    // Depths, parents and subtree sizes (tree mode), then the visible rows and their y
    // positions, each when its flag says the rows changed.
    void update_rows_visibility();
    void update_tree_structure();
    // A parent row whose subtree is still open, with the children it still expects.
    struct OpenLevel {
        unsigned int parent;
        int remaining;
    };
    // Sets the depth, parent and subtree size of rows index .. end - 1 from their children
    // counts, the block hanging under `parent` (-1: at the top). Returns the parents left
    // open at the end, innermost last: empty when the counts add up.
    std::vector<OpenLevel> structure_rows(unsigned int const& index, unsigned int const& end, int const& parent);
    // Keep a current structure current after a block of `count` rows went in at `index` as
    // children of `parent`, or a whole subtree of `count` rows at `first` left `parent`:
    // only the moved indices and the ancestors' subtree sizes change, with one light pass.
    void splice_tree_inserted(unsigned int const& index, unsigned int const& count, int const& parent);
    void splice_tree_removed(unsigned int const& first, unsigned int const& count, int const& parent);
    // Appends the visible rows among rows first .. end - 1 (whole subtrees).
    void collect_visible_rows(unsigned int const& first, unsigned int const& end,
                              std::vector<unsigned int>& visible) const;
    // Puts a shown row's newly expanded subtree into the visible list, or takes it out.
    void splice_visible_subtree(unsigned int const& row, bool const& show);
    // The y positions and content height of the visible list, and a first shown row that went
    // out of sight.
    void update_visible_positions();
    void ensure_rows_visibility() const { const_cast<GuiSpreadsheet*>(this)->update_rows_visibility(); }
    // Pixel offset of a visible position among the visible rows (the content height at the end).
    unsigned int get_position_y(unsigned int const& position) const;
    // The visible position whose row covers pixel offset y.
    unsigned int get_position_at_y(unsigned int const& y) const;
    // Whether selection by ranges and strip drags covers this row.
    bool is_row_selectable_by_range(unsigned int const& row) const;
    // The expand toggle's left edge in a row of the tree column.
    int get_tree_toggle_x(unsigned int const& row) const;
    // Pixels the tree column's content moves right in a row.
    int get_tree_indent(unsigned int const& row) const;
    // Marks the cells of one row that pass the filter.
    void update_row_highlight(unsigned int const& row);
    void update_highlight_words();
    bool has_column(int const& column) const { return column >= 0 && column < get_column_count(); }
    GuiSpreadsheetHeaderData* get_data_column(int const& column);
    void mark_dirty();
    int get_toolbar_height() const;
    int get_title_strip_height() const;
    bool is_vertical_scrollbar_needed() const;
    void place_scrollbars();
    // The width the entries share: the sheet less the scrollbar, 2 and a pixel per grid line.
    int get_available_width(bool const& vertical_scrollbar) const;
    void update_horizontal_overflow();
    void recompute_ratios();
    // Sets the cell bit of a row to `select`; false when nothing changed.
    bool set_cell_selected(int const& column, int const& row, bool const& select);
    // Sets the bits of `bits` in a row to `select`; false when nothing changed.
    bool paint_row_bits(unsigned int const& row, uint64_t const& bits, bool const& select);
    uint64_t get_all_columns_bits() const;
    void refresh_multi_cell_selected();
    void select_rectangle(int const& column0, int const& row0, int const& column1, int const& row1, bool const& value);
    // Ends a press, a drag, a paint or a resize under way (rows are about to change).
    void abort_gestures(char const* operation);
    void draw_title_strip(GuiWidgetDc& dc, int const& first_entry, int const& last_entry);
    GMathVec3<unsigned char> get_row_background(unsigned int const& row, unsigned int const& position) const;
    void draw_tree_toggle(GuiWidgetDc& dc, unsigned int const& row, int const& y, int const& height,
                          bool const& selected);

    GuiScrollbar* m_vertical_scrollbar = nullptr;
    GuiScrollbar* m_horizontal_scrollbar = nullptr;
    GuiToolbar* m_toolbar = nullptr;
    GuiLineEdit* m_value_edit = nullptr;
    int m_value_column = -1;
    int m_value_row = -1;
    GuiSpreadsheetDrawContext* m_draw_context = nullptr;
    GuiLineEdit* m_cell_line_edit = nullptr;
    GuiSpreadsheetCellBasic* m_edited_cell = nullptr;
    OfCommandManager* m_commands = nullptr;
    // The event data of the change a command is running for.
    void* m_pending_event_data = nullptr;
    // Serials of the rows undo steps name, dropped when the row leaves the sheet.
    std::unordered_map<GuiSpreadsheetRow const*, uint64_t> m_row_serials;
    uint64_t m_next_row_serial = 1;
    std::shared_ptr<GuiSpreadsheet*> m_lifetime = std::make_shared<GuiSpreadsheet*>(this);
    unsigned int m_full_row_edition_column = 0;

    bool m_rows_visibility_dirty = true;
    bool m_scrollbar_mute = false;
    int m_preselection_column = -1;
    int m_preselection_row = -1;
    int m_row_offset_index = 0;
    int m_horizontal_offset = 0;
    int m_header_column_height = 20;
    int m_grid_width = 0;
    int m_horizontal_overflow = 0;
    int m_padding_x = 4;
    int m_padding_y = 2;
    int m_header_row_width = DEFAULT_HEADER_ROW_WIDTH;

    bool m_full_row_select = false;
    bool m_show_cursor = true;
    bool m_multi_selection = true;
    bool m_preselection = false;
    bool m_read_only = false;
    bool m_show_horizontal_grid = true;
    bool m_show_vertical_grid = true;
    bool m_show_header_column = true;
    bool m_show_header_row = true;
    bool m_show_line_edit = true;
    bool m_multiselection_by_drag = false;
    bool m_shaded = false;
    bool m_resize_only_one_column = false;
    bool m_column_sort_enabled = false;
    bool m_disable_focus_on_row = false;
    bool m_read_only_titles_disabled = false;
    bool m_copy_to_clipboard = true;
    bool m_focus_by_key = false;
    unsigned int m_key_focus_column = 0;
    bool m_tree_mode = false;
    bool m_select_collapsed_rows = false;
    // Depths and subtree sizes are recomputed at the next pass (rows changed).
    bool m_tree_dirty = true;
    // The last pass found counts that run past the rows (warned once until they add up).
    bool m_tree_inconsistent = false;
    int m_tree_column_index = 0;
    int m_row_index_display_start_offset = 1;

    int m_cursor_column = -1;
    int m_cursor_row = -1;
    int m_clicked_column = -1;
    int m_clicked_row = -1;
    int m_anchor_column = -1;
    int m_anchor_row = -1;

    // Interaction: the press, painting from a strip, the drag threshold.
    enum HeaderDrag : int { HEADER_DRAG_NONE = 0, HEADER_DRAG_ROWS = 1, HEADER_DRAG_COLUMNS = 2 };
    bool m_mouse_pressed = false;
    bool m_paint_value = true;
    bool m_drag_started = false;
    HeaderDrag m_header_drag = HEADER_DRAG_NONE;
    int m_press_x = 0;
    int m_press_y = 0;

    // Column resize: the pointer at the start, the entry, and the widths to restore.
    bool m_column_resizing = false;
    int m_resize_start_x = 0;
    int m_resize_entry = -1;
    bool m_resize_proportional = false;
    CoreVector<int> m_resize_start_widths;  // entries 0 .. m_resize_entry (only the last without Shift)
    int m_resize_next_entry = -1;
    int m_resize_next_start_width = 0;

    int m_minimum_column_width = 20;
    bool m_multi_cell_selected = false;
    GuiSpreadsheetMasks m_selection;

    GuiSpreadsheetMasks m_highlight;
    CoreVector<CoreString> m_highlight_words;
    CoreString m_highlight_filter_text;
    bool m_case_sensitive_highlight = false;

    int m_dnd_mode = DND_MODE_DEFAULT;
    int m_drop_column = -1;
    int m_drop_row = -1;
    bool m_drop_after = false;
    CoreVector<unsigned int> m_dnd_reparenting_candidates;
    unsigned int m_dnd_reparenting_row = 0;
    CoreVector<unsigned int> m_permute_rows;

    CoreVector<GuiSpreadsheetHeaderData> m_columns;
    CoreVector<GuiSpreadsheetRow*> m_rows;
    // The visible rows in order, kept only in tree mode (every row is visible otherwise).
    CoreVector<unsigned int> m_visible_rows;
    // Pixel offset of each visible position, kept only with custom height by row (uniform
    // rows compute it as position × pitch).
    CoreVector<uint32_t> m_row_y_positions;
    unsigned int m_content_height = 0;
    bool m_custom_height_by_row = false;
    int m_row_height = 18;
    int m_sort_type = -1;
    int m_sort_order = 0;
    bool m_sorting = false;
    // Counts selection changes; an operation raises the selection event once when it moved.
    uint64_t m_selection_serial = 0;
    int m_selection_batch = 0;
};
