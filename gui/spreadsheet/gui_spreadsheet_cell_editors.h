#pragma once
// Spreadsheet cells edited with editors of their own: a number edit and a list button shown
// over the cell while it is edited, a file name chosen in the file dialog, and expression and
// script texts edited in a window. Every change goes through the sheet's change_cell_value,
// so it is one undo step when the sheet has a command history.
//
//     GuiSpreadsheetCellNumberEdit* size = new GuiSpreadsheetCellNumberEdit(2.5);
//     row->add_cell(size);
//     size->get_number_edit()->set_unit_type("distance");  // once the row is in a sheet
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "host/core/core_vector.h"

class GuiListButton;
class GuiNumberEdit;
class OfAttr;

// A number shown in the units of its type; editing puts a number edit over the cell, which
// takes typed units and relative entries ("+=2"). Its changes raise
// EVT_ID_SPREADSHEET_CELL_UPDATED with the number edit as event data.
class QN_GUI_API GuiSpreadsheetCellNumberEdit : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellNumberEdit, GuiSpreadsheetCellBasicText)

public:
    explicit GuiSpreadsheetCellNumberEdit(double const& value = 0.0);
    ~GuiSpreadsheetCellNumberEdit() override;

    double const& get_value() const { return m_value; }
    // Clamped by the number edit's range; not a finite number: refused.
    bool set_value(double const& value);
    // The embedded editor, a hidden child of the sheet made on first use (null while the cell
    // is in no sheet). Its units, range and format are the cell's.
    GuiNumberEdit* get_number_edit();
    GuiNumberEdit* find_number_edit() const { return m_edit; }

    // The value in the shown units with as many decimals as it takes to read back exactly,
    // so copies and undo steps do not round it.
    CoreString get_pastable_text() const override;
    // Read through the number edit (units, relative entries); refused when it does not read.
    bool set_pastable_text(CoreString const& text) override;
    void set_text(CoreString const& text) override;
    // Numeric order.
    int compare(GuiSpreadsheetCell* other) const override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool on_double_click() override;
    // Shows the editor over the cell and focuses it.
    bool on_edit_content() override;
    void remove_all_data() override;

    // The editor's hooks: a changed value, and the end of the edit (focus gone, Escape).
    void on_editor_changed();
    void on_editor_done();

private:
    void place_editor();
    void refresh_text();
    CoreString get_exact_text(double const& value) const;

    double m_value;
    GuiNumberEdit* m_edit = nullptr;
};

// A choice among texts; editing shows a list button over the cell and opens its list. A
// choice raises EVT_ID_SPREADSHEET_CELL_UPDATED with the list button as event data.
class QN_GUI_API GuiSpreadsheetCellListButton : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellListButton, GuiSpreadsheetCellBasicText)

public:
    using GuiSpreadsheetCellBasicText::GuiSpreadsheetCellBasicText;
    ~GuiSpreadsheetCellListButton() override;

    void set_values(CoreVector<CoreString> const& values);
    CoreVector<CoreString> const& get_values() const { return m_values; }
    // Sets the text and raises EVT_ID_SPREADSHEET_CELL_UPDATED with the cell; a value not in
    // the list is refused.
    bool set_selected_value(CoreString const& value);
    // Only the listed values.
    bool set_pastable_text(CoreString const& text) override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool on_double_click() override;
    bool on_edit_content() override;
    void remove_all_data() override;
    GuiListButton* find_list_button() const { return m_list; }

    // The list button's hooks.
    void on_list_chosen();
    void on_list_done();

private:
    CoreVector<CoreString> m_values;
    GuiListButton* m_list = nullptr;
};

// A path with a button that opens the file dialog: save file, open file or choose folder.
// In the open modes a path that names nothing is refused.
class QN_GUI_API GuiSpreadsheetCellFilename : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellFilename, GuiSpreadsheetCellBasicText)

public:
    enum Mode : int { MODE_SAVE_FILE = 0, MODE_OPEN_FILE = 1, MODE_CHOOSE_FOLDER = 2 };

    explicit GuiSpreadsheetCellFilename(CoreString const& path = CoreString(), int const& mode = MODE_OPEN_FILE);

    int const& get_mode() const { return m_mode; }
    void set_mode(int const& mode);
    // The dialog's filter ("Images\t*.{png,exr}").
    void set_browser_filter(CoreString const& filter) { m_filter = filter; }
    CoreString const& get_browser_filter() const { return m_filter; }
    // Opens the dialog from the text (or the project folder "PDIR" when it is empty); a new
    // path becomes the cell's value. True when it changed.
    bool pressed_button();
    // In the open modes the path (project variables expanded) must exist.
    bool set_pastable_text(CoreString const& text) override;
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool is_selectable(bool const& flag) const override;
    bool on_click(bool const& press) override;
    bool on_double_click() override;

protected:
    // The path the user chose, or empty; the platform's file dialog titled by the mode.
    virtual CoreString run_file_dialog(CoreString const& start_path, CoreString const& title);

private:
    int m_mode;
    CoreString m_filter;
};

// An expression with a button; a double click on the button edits it in a window, elsewhere
// in the sheet's line edit.
class QN_GUI_API GuiSpreadsheetCellExpressionField : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellExpressionField, GuiSpreadsheetCellBasicText)

public:
    explicit GuiSpreadsheetCellExpressionField(CoreString const& expression = CoreString());
    void set_expression(CoreString const& expression) { set_text(expression); }
    CoreString const& get_expression() const { return get_text_ref(); }
    // The attributes the expression drives (not owned).
    void set_attrs(CoreVector<OfAttr*> const& attrs) { m_attrs = attrs; }
    CoreVector<OfAttr*> const& get_attrs() const { return m_attrs; }
    // Edits the expression in a window; true when it changed.
    bool pressed_button();
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool is_selectable(bool const& flag) const override;
    bool on_click(bool const&) override { return false; }
    bool on_double_click() override;

protected:
    // The edited text, or false when cancelled.
    virtual bool run_edit_window(CoreString& text);

private:
    CoreVector<OfAttr*> m_attrs;
};

// A script with a button that edits it in a window; a press on the button never selects
// the cell.
class QN_GUI_API GuiSpreadsheetCellScriptField : public GuiSpreadsheetCellBasicText {
    CORE_DECLARE_CLASS(GuiSpreadsheetCellScriptField, GuiSpreadsheetCellBasicText)

public:
    explicit GuiSpreadsheetCellScriptField(CoreString const& script = CoreString());
    void set_script(CoreString const& script) { set_text(script); }
    CoreString const& get_script() const { return get_text_ref(); }
    bool pressed_button();
    void draw(GuiSpreadsheetDrawContext& context) override;
    bool is_selectable(bool const& flag) const override;
    bool on_click(bool const& press) override;

protected:
    virtual bool run_edit_window(CoreString& text);
};
