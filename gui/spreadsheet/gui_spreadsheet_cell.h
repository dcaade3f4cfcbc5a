#pragma once
// GuiSpreadsheetCell: what one row of a GuiSpreadsheet shows in one column. A cell draws
// itself into the rectangle the sheet hands it through a GuiSpreadsheetDrawContext, answers
// clicks, and gives the text used for sorting, copying and type-ahead. Rows own their cells.
//
//     GuiSpreadsheetRow* row = new GuiSpreadsheetRow(*sheet);
//     row->add_cell(new GuiSpreadsheetCellBasicText("camera1"));
//     sheet->add_row(row);
#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"


class GuiImage;
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
    // Takes a value given as text in the form get_pastable_text gives (a paste, an undo);
    // false when the cell refuses it, changing nothing. Cells that hold no value refuse all.
    virtual bool set_pastable_text(CoreString const& text);
    // Whether the sheet may hand the cell a new value: while it is enabled.
    virtual bool is_value_changeable() const { return m_enabled; }
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
    // The cell's place in its sheet's window: the column's x and width, the row's y and
    // height (padding included); false when the cell is in no sheet or not on a shown row.
    bool get_window_rect(GMathVec4<int>& rect) const;
    // True when the pointer is within the `width` pixels at the right end of the cell, where
    // cells draw their buttons.
    bool is_pointer_in_right_end(int const& width) const;
    // A button of the cell works while the cell is in a sheet, enabled and unlocked.
    bool is_button_usable() const { return m_enabled && !m_locked && get_spreadsheet() != nullptr; }
    // Hands a new value to the sheet (one undo step there); the cell alone when it has no sheet.
    bool change_value(CoreString const& text, void* event_data = nullptr);

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
    // The size of the buttons and icons cells draw (the smallest icon size).
    static int get_button_size();

    // The sheet's set_cell_content hands edited text here.
    virtual void set_text(CoreString const& text);
    // Pixels kept free at the left of the text (for an icon).
    virtual int get_edit_offset() const { return 0; }
    // A cell without a value (a mixed selection, say) draws nothing of it.
    virtual void set_has_value(bool const& has_value);
    virtual bool get_has_value() const { return true; }
    // set_text, accepted as it is.
    bool set_pastable_text(CoreString const& text) override;

    // A colour of its own filled behind the cell when it is not selected.
    bool const& is_background_color() const { return m_has_background; }
    void hide_background_color() { m_has_background = false; }
    GMathVec3<unsigned char> const& get_background_color() const { return m_background; }
    void set_background_color(GMathVec3<unsigned char> const& color);

    // Fills the cell (grown by the sheet's padding) with the selection colour when the cell
    // is selected; returns the row background the rest of the cell draws on.
    GMathVec3<unsigned char> draw_background(GuiSpreadsheetDrawContext& context) const;
    // Marks where the sheet's highlight words occur in `text`, drawn left-justified from x (or
    // right-justified in a box of width w) on `background`; spans are clipped to the box.
    void draw_highlight(GuiSpreadsheetDrawContext& context, CoreString const& text, int const& x, int const& w,
                        bool const& right, GMathVec3<unsigned char> const& background) const;
    // A button at the right end of the cell, spanning the row (padding included), with its
    // picture or text centred; returns its width.
    int draw_right_button(GuiSpreadsheetDrawContext& context, GuiImage const* image, CoreString const& text,
                          GMathVec3<unsigned char> const& background) const;

    size_t get_memory_size() const override { return sizeof(GuiSpreadsheetCellBasic); }

private:
    // In the base's tail padding: the cell stays as small as before.
    bool m_has_background = false;
    GMathVec3<unsigned char> m_background = GMathVec3<unsigned char>(0, 0, 0);
};

// A cell that shows one line of text, clamped with "..." when it does not fit. An editable
// cell shows a "..." button at its right end that opens the sheet's line edit, as a double
// click does; a text filter can hold it to digits or to a decimal number.
class QN_GUI_API GuiSpreadsheetCellBasicText : public GuiSpreadsheetCellBasic {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellBasicText, GuiSpreadsheetCellBasic)

public:
    enum TextFilter : int { TEXT_FILTER_ANY = 0, TEXT_FILTER_DIGITS = 1, TEXT_FILTER_DECIMAL = 2 };

    GuiSpreadsheetCellBasicText() = default;
    explicit GuiSpreadsheetCellBasicText(CoreString const& text) : m_text(text) {}

    // Refused (the text stays) when the filter does not accept it.
    void set_text(CoreString const& text) override;
    bool set_pastable_text(CoreString const& text) override;
    CoreString get_text() const override { return m_text; }
    CoreString const& get_text_ref() const { return m_text; }
    // Digits only: empty or 0-9; decimal: digits with at most one "."; anything else passes.
    bool is_text_valid(CoreString const& text) const;
    int get_text_filter() const { return m_text_filter; }
    void set_text_filter(int const& filter);
    void set_has_value(bool const& has_value) override { m_has_value = has_value; }
    bool get_has_value() const override { return m_has_value; }
    // Byte order; compares the stored texts without copying when both cells are text cells.
    int compare(GuiSpreadsheetCell* other) const override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    // Not selectable by a press on the edit button, which edits instead.
    bool is_selectable(bool const& flag) const override;
    bool on_click(bool const& press) override;
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
    // A text colour of the cell's own instead of the sheet's.
    bool const& is_override_text_color() const { return m_override_text_color; }
    void set_override_text_color(bool const& override_color) { m_override_text_color = override_color; }
    GMathVec3<unsigned char> const& get_text_color() const { return m_text_color; }
    void set_text_color(GMathVec3<unsigned char> const& color) { m_text_color = color; }

    size_t get_memory_size() const override;

protected:
    // Opens the sheet's line edit on this cell (with full row select, on this column).
    bool start_line_edit();
    // The text in the content rectangle from `left` pixels, `right_reserve` pixels kept free at
    // the right (for buttons), over the background the base drew.
    void draw_text_part(GuiSpreadsheetDrawContext& context, GMathVec3<unsigned char> const& background,
                        int const& left, int const& right_reserve);
    GMathVec3<unsigned char> get_draw_text_color(GuiSpreadsheetDrawContext& context) const;

private:
    // The flags first: they fit in the base's tail padding.
    unsigned char m_text_filter = TEXT_FILTER_ANY;
    bool m_has_value = true;
    bool m_justify_right = false;
    bool m_clamp_left = false;
    bool m_text_editable = false;
    bool m_override_text_color = false;
    GMathVec3<unsigned char> m_text_color = GMathVec3<unsigned char>(255, 255, 255);
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
