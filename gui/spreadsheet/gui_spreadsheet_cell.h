#pragma once
// GuiSpreadsheetCell: what one row of a GuiSpreadsheet shows in one column. A cell draws
// itself into the rectangle the sheet hands it through a GuiSpreadsheetDrawContext, answers
// clicks, and gives the text used for sorting, copying and type-ahead. Rows own their cells.
//
//     GuiSpreadsheetRow* row = new GuiSpreadsheetRow(*sheet);
//     row->add_cell(new GuiSpreadsheetCellBasicText(*row, "camera1"));
//     sheet->add_row(row);
#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiSpreadsheet;
class GuiSpreadsheetDrawContext;
class GuiSpreadsheetRow;

class QN_GUI_API GuiSpreadsheetCell : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiSpreadsheetCell, CoreBaseObject)

public:
    GuiSpreadsheetCell() = default;
    ~GuiSpreadsheetCell() override = default;
    GuiSpreadsheetCell(GuiSpreadsheetCell const&) = delete;
    GuiSpreadsheetCell& operator=(GuiSpreadsheetCell const&) = delete;

    // Sets the row and resets the flags: enabled, unlocked, selectable, writable.
    virtual void init(GuiSpreadsheetRow& row);
    // Called by the row's remove_all_data before the cell is destroyed.
    virtual void remove_all_data() {}
    virtual bool is_selectable(bool const& flag) const;
    virtual void set_is_selectable(bool const& selectable) { m_selectable = selectable; }
    virtual void set_enable(bool const& enable) { m_enabled = enable; }
    virtual bool is_enabled() const { return m_enabled; }
    virtual void draw(GuiSpreadsheetDrawContext& context);
    // False: the cell has no editor of its own.
    virtual bool on_edit_content() { return false; }
    // True when the cell consumed the click.
    virtual bool on_double_click() { return false; }
    virtual bool on_click(bool const& press);
    // The sheet's value edit changed while this cell was selected.
    virtual void on_edit_changed(int const& column, int const& row);
    virtual void on_cursor_enter(int const& column, int const& row);
    virtual void on_cursor_leave(int const& column, int const& row);
    virtual CoreString get_text() const = 0;
    virtual CoreString get_pastable_text() const { return get_text(); }
    // -1, 0 or 1: the two cells' texts compared byte by byte (unsigned), so "B" sorts before "a".
    virtual int compare(GuiSpreadsheetCell* other) const;
    virtual void refresh_data() {}

    // Asks the sheet to edit this cell (start_edit_cell_content), recording it as the clicked
    // cell and, with `preselect`, as the preselection the edit works on.
    void start_edit_content(bool const& preselect);
    // Leaves the sheet's editing state (for cells whose on_edit_content took over).
    void stop_edit_content();

    GuiSpreadsheetRow* get_row() const { return m_row; }
    // The row's sheet; null while the cell has no row.
    GuiSpreadsheet* get_spreadsheet() const;
    bool const& get_is_locked() const { return m_locked; }
    void set_is_locked(bool const& locked) { m_locked = locked; }
    bool const& get_is_read_only() const { return m_read_only; }
    void set_is_read_only(bool const& read_only) { m_read_only = read_only; }

    size_t get_memory_size() const override { return sizeof(GuiSpreadsheetCell); }

protected:
    // Byte comparison of two texts as unsigned characters: -1, 0 or 1.
    static int compare_bytes(CoreBasicString const& a, CoreBasicString const& b);

private:
    GuiSpreadsheetRow* m_row = nullptr;
    bool m_enabled = true;
    bool m_locked = false;
    bool m_selectable = true;
    bool m_read_only = false;
};

// The base of cells that keep a plain value and may be edited in place with the sheet's line
// edit; the cell family that edits (text filters, icons, embedded editors) builds on it.
class QN_GUI_API GuiSpreadsheetCellBasic : public GuiSpreadsheetCell {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellBasic, GuiSpreadsheetCell)

public:
    // The sheet's set_cell_content hands edited text here.
    virtual void set_text(CoreString const& text);
    // Pixels kept free at the left of the text (for an icon).
    virtual int get_edit_offset() const { return 0; }

    // Fills the cell (grown by the sheet's padding) with the selection colour when the cell
    // is selected; returns the row background the rest of the cell draws on.
    GMathVec3<unsigned char> draw_background(GuiSpreadsheetDrawContext& context) const;
    // Marks where the sheet's highlight words occur in `text`, drawn left-justified from x (or
    // right-justified in a box of width w) on `background`; spans are clipped to the box.
    void draw_highlight(GuiSpreadsheetDrawContext& context, CoreString const& text, int const& x, int const& w,
                        bool const& right, GMathVec3<unsigned char> const& background) const;

    size_t get_memory_size() const override { return sizeof(GuiSpreadsheetCellBasic); }
};

// A cell that shows one line of text, clamped with "..." when it does not fit.
class QN_GUI_API GuiSpreadsheetCellBasicText : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellBasicText, GuiSpreadsheetCellBasic)

public:
    GuiSpreadsheetCellBasicText() = default;
    explicit GuiSpreadsheetCellBasicText(CoreString const& text) : m_text(text) {}

    void set_text(CoreString const& text) override { m_text = text; }
    CoreString get_text() const override { return m_text; }
    CoreString const& get_text_ref() const { return m_text; }
    // Byte order; compares the stored texts without copying when both cells are text cells.
    int compare(GuiSpreadsheetCell* other) const override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    // An editable cell opens the sheet's line edit on a double click (when enabled).
    bool on_double_click() override;
    bool const& get_is_text_editable() const { return m_text_editable; }
    void set_is_text_editable(bool const& editable) { m_text_editable = editable; }
    // The cursor on the cell shows its text in the sheet's value edit (editable when the cell
    // is); a value entered there while the cell is selected becomes its text.
    void on_cursor_enter(int const& column, int const& row) override;
    void on_edit_changed(int const& column, int const& row) override;

    void set_justify_on_right(bool const& right) { m_justify_right = right; }
    bool const& is_justify_on_right() const { return m_justify_right; }
    // Text that does not fit loses its start instead of its end.
    void enable_clamp_text_on_left(bool const& left) { m_clamp_left = left; }
    bool const& is_clamp_text_on_left() const { return m_clamp_left; }

    size_t get_memory_size() const override;

private:
    // The flags first: they fit in the base's tail padding, keeping a cell in 56 bytes.
    bool m_justify_right = false;
    bool m_clamp_left = false;
    bool m_text_editable = false;
    CoreString m_text;
};

// A text cell compared in natural order (case-insensitive, digit runs as numbers: "item2"
// before "item10"), for columns of names and numbers.
class QN_GUI_API GuiSpreadsheetCellNaturalText : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellNaturalText, GuiSpreadsheetCellBasicText)

public:
    using GuiSpreadsheetCellBasicText::GuiSpreadsheetCellBasicText;
    int compare(GuiSpreadsheetCell* other) const override;
};
