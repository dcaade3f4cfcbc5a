#pragma once
// GuiSpreadsheetRow: one row of a GuiSpreadsheet, owning one cell per column (the cell of data
// column c at index c). A sheet that holds a row destroys it in remove_all_data or with
// itself; remove_row hands it back to the caller.
#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/core/core_vector.h"

class GuiSpreadsheet;
class GuiSpreadsheetCell;

class QN_GUI_API GuiSpreadsheetRow : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiSpreadsheetRow, CoreBaseObject)

public:
    enum RowFlag : unsigned int {
        ROW_FLAG_HAS_CHILDREN = 1,
        ROW_FLAG_SHOW_CHILDREN = 2,
        ROW_FLAG_REMOVED = 4,
        ROW_FLAG_DASHED = 8,
        ROW_FLAG_HIDDEN = 16,
    };
    using PreDrawCallback = void (*)(GuiSpreadsheetRow& row, int const& index, void* data);

    static constexpr int DEFAULT_HEIGHT = 18;

    explicit GuiSpreadsheetRow(GuiSpreadsheet& spreadsheet);
    // Destroys the cells.
    ~GuiSpreadsheetRow() override;
    GuiSpreadsheetRow(GuiSpreadsheetRow const&) = delete;
    GuiSpreadsheetRow& operator=(GuiSpreadsheetRow const&) = delete;

    // Height 18, counts, depth and flags 0, no pre-draw callback.
    virtual void init();
    virtual bool is_hidden() const { return (m_flags & ROW_FLAG_HIDDEN) != 0; }
    virtual void set_hidden(bool const& hidden);
    // Destroys the cells (after their own remove_all_data) and empties the list.
    virtual void remove_all_data();
    virtual void set_is_removed(bool const& removed);
    virtual bool is_removed() const { return (m_flags & ROW_FLAG_REMOVED) != 0; }
    // Calls refresh_data on every cell.
    virtual void refresh_data();

    GuiSpreadsheet* get_spreadsheet() const { return m_spreadsheet; }
    // Appends the cell (owned from now on) and calls its init with this row.
    void add_cell(GuiSpreadsheetCell* cell);
    // Replaces the cell at `index` (the old one is destroyed); ignored with a warning out of range.
    void set_cell(unsigned int const& index, GuiSpreadsheetCell* cell);
    unsigned int get_cell_count() const { return m_cells.get_count(); }
    // Null out of range.
    GuiSpreadsheetCell* get_cell(unsigned int const& index) const
    {
        return index < m_cells.get_count() ? m_cells[index] : nullptr;
    }
    // -1 when the cell is not one of this row's.
    int get_cell_index(GuiSpreadsheetCell const* cell) const;

    // The row's own height, used when the sheet has custom height by row.
    int const& get_height() const { return m_height; }
    void set_height(int const& height);
    // Tree mode: the number of direct children, which follow the row (each followed by its
    // own subtree). A non-zero count also sets the has-children flag. Negative counts are 0.
    int const& get_children_count() const { return m_children_count; }
    void set_children_count(int const& count);
    // The has-children flag alone shows an expand toggle on a row whose children are not
    // there yet (made when it expands, for instance).
    void set_has_children(bool const& has);
    bool has_children() const { return m_children_count > 0 || (m_flags & ROW_FLAG_HAS_CHILDREN); }
    // Rows below in the subtree, its depth (0 at the top level) and its parent's index (-1 at
    // the top level): set by the sheet's update pass in tree mode.
    int const& get_total_sub_children_count() const { return m_total_sub_children_count; }
    int const& get_depth() const { return m_depth; }
    int const& get_parent_index() const { return m_parent_index; }
    void set_parent_index(int const& index) { m_parent_index = index; }
    unsigned int const& get_flags() const { return m_flags; }
    // Expanded: the show-children flag on a row that has children.
    bool is_show_children() const;
    // Sets the show-children flag alone; the sheet's toggle_show_children also updates what
    // it shows.
    void set_show_children(bool const& show);
    bool is_dashed() const { return (m_flags & ROW_FLAG_DASHED) != 0; }
    void set_dashed(bool const& dashed);

    void set_pre_draw_callback(PreDrawCallback callback, void* data);
    // Calls the pre-draw callback, when set, with the row's index.
    void pre_draw(int const& index);

    size_t get_memory_size() const override;

private:
    friend class GuiSpreadsheet;
    void set_flag(unsigned int const& flag, bool const& on);

    GuiSpreadsheet* m_spreadsheet;
    // Held by value: a row without cells costs the empty vector, one with cells no extra block.
    CoreVector<GuiSpreadsheetCell*> m_cells;
    int m_height = DEFAULT_HEIGHT;
    int m_children_count = 0;
    int m_total_sub_children_count = 0;
    int m_depth = 0;
    int m_parent_index = -1;
    unsigned int m_flags = 0;
    // Set on few rows: held apart so that a row of a long sheet stays small.
    struct PreDraw {
        PreDrawCallback callback;
        void* data;
    };
    PreDraw* m_pre_draw = nullptr;
};
