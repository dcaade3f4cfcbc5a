// The showcase's "Spreadsheet" page: 100,000 rows made from the sample scene's items (name,
// class, path and the row's number), cycling through the scene. A title click sorts by its
// column (names and numbers in natural order), clicks, Ctrl, Shift and drags select cells,
// the row numbers select rows, title edges resize columns (Shift shares the change), and the
// wheel and scrollbars scroll. The arrows, Home, End and the page keys move the cursor (Shift
// extends the range), a letter jumps to the next name starting with it, Ctrl+A selects all,
// Ctrl+C copies the selected block as tab-separated text, and a double click edits a cell in
// place (Return commits, Escape drops). A check button swaps in a second sheet showing the scene's
// contexts and their objects as a tree of rows (press a triangle to collapse or expand), and
// the filter edit highlights the names that contain every typed word in both sheets. What
// happens shows in the status line and, with --trace, as "spreadsheet ..." lines.
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/controls/gui_check_button.h"
#include "gui/core/gui_app.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

constexpr int MARGIN = 8;
constexpr unsigned int ROW_COUNT = 100000;

struct SpreadsheetPage {
    GuiSpreadsheet* sheet = nullptr;
    GuiSpreadsheet* tree = nullptr;
    GuiLineEdit* filter = nullptr;
    DemoText* status = nullptr;

    void report(CoreString const& line)
    {
        status->set_text(line);
        DemoTrace::line(CoreString("spreadsheet ") + line);
    }
};

void on_sort(EventObject&, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    page.sheet->sorting_rows_by_selected_column();
    page.report(CoreString("sort ") + page.sheet->get_sort_type() + " " + page.sheet->get_sort_order());
}

void on_selection(EventObject& sender, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    GuiSpreadsheet& sheet = static_cast<GuiSpreadsheet&>(sender);
    int column = -1, row = -1;
    sheet.get_cursor_position(column, row);
    page.report(CoreString(&sheet == page.tree ? "tree selection " : "selection ") + sheet.get_selected_cells().get_count() +
                " cells in " + sheet.get_selected_rows().get_count() + " rows, cursor " + column + " " + row);
}

void on_cell_updated(EventObject&, EventObject::EventInfo const& info, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    GuiSpreadsheetCell const* cell = static_cast<GuiSpreadsheetCell const*>(info.get_event_data());
    int column = -1, row = -1;
    page.sheet->get_cell_indices(cell, column, row);
    page.report(CoreString("edit ") + column + " " + row + " \"" + cell->get_text() + "\"");
}

void on_filter(EventObject&, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    CoreString const& text = page.filter->get_text();
    page.sheet->set_highlight_text(text);
    page.tree->set_highlight_text(text);
    GuiSpreadsheet const& shown = page.tree->is_shown() ? *page.tree : *page.sheet;
    unsigned int matches = 0;
    for (unsigned int row = 0; row < shown.get_row_count(); ++row)
        if (shown.is_row_highlighted(static_cast<int>(row))) ++matches;
    page.report(CoreString("filter \"") + text + "\" " + matches + " rows");
}

void on_tree_switch(EventObject& sender, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    bool const tree = static_cast<GuiCheckButton&>(sender).get_value();
    if (tree) {
        page.sheet->hide();
        page.tree->show();
    } else {
        page.tree->hide();
        page.sheet->show();
    }
    page.report(CoreString("tree ") + (tree ? "on " : "off ") + page.tree->get_visible_row_count() + " rows shown");
}

GuiSpreadsheetRow* make_tree_row(GuiSpreadsheet& sheet, CoreString const& name, CoreString const& kind,
                                 CoreString const& path, int const& children)
{
    GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
    row->add_cell(new GuiSpreadsheetCellNaturalText(name));
    row->add_cell(new GuiSpreadsheetCellBasicText(kind));
    row->add_cell(new GuiSpreadsheetCellNaturalText(path));
    row->set_children_count(children);
    row->set_show_children(true);
    return row;
}

// A context's row, then its sub-contexts' subtrees, then its objects: depth first.
void add_context_rows(GuiSpreadsheet& sheet, OfContext const& context, CoreVector<GuiSpreadsheetRow*>& rows)
{
    int const children = static_cast<int>(context.get_contexts().get_count() + context.get_objects().get_count());
    rows.add(make_tree_row(sheet, context.is_root() ? CoreString("/") : context.get_name(),
                           "context", context.get_full_name(), children));
    for (OfContext const* sub : context.get_contexts()) add_context_rows(sheet, *sub, rows);
    for (OfObject const* object : context.get_objects())
        rows.add(make_tree_row(sheet, object->get_name(), object->get_class_name(), object->get_full_name(), 0));
}

}  // namespace

void ShowcaseWindow::build_spreadsheet_page(GuiWidget& page, int x, int y, int w, int h)
{
    using W = GuiWidget;
    auto state = std::make_shared<SpreadsheetPage>();
    m_page_state.push_back(state);
    int const panel_h = h - 32 - MARGIN;
    DemoPanel* panel = new DemoPanel(page, "spreadsheet_panel", "100,000 scene items", x, y, w, panel_h);
    panel->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    int const sheet_y = y + DemoPanel::TITLE_HEIGHT;
    GuiSpreadsheet* sheet = new GuiSpreadsheet(*panel, x + 1, sheet_y, w - 2, panel_h - DemoPanel::TITLE_HEIGHT - 1);
    sheet->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->sheet = sheet;
    sheet->add_column("Name", 1.0, true, true);
    sheet->add_column("Class", 0.6, true, true);
    sheet->add_column("Path", 2.0, true, true);
    sheet->add_column("Number", 90, true, true);
    for (int column = 0; column < 4; ++column) sheet->set_column_sort_type(column, column);
    sheet->enable_column_sort(true);
    sheet->set_multiselection_by_drag(true);
    sheet->set_shaded(true);
    sheet->set_enable_focus_by_key(true);

    CoreVector<OfObject*> const objects = m_app.get_factory().get_root().get_all_objects();
    CoreVector<GuiSpreadsheetRow*> rows;
    rows.reserve(ROW_COUNT);
    for (unsigned int i = 0; i < ROW_COUNT && !objects.is_empty(); ++i) {
        OfObject const& object = *objects[i % objects.get_count()];
        GuiSpreadsheetRow* row = new GuiSpreadsheetRow(*sheet);
        row->add_cell(new GuiSpreadsheetCellNaturalText(object.get_name()));
        row->add_cell(new GuiSpreadsheetCellBasicText(object.get_class_name()));
        row->add_cell(new GuiSpreadsheetCellNaturalText(object.get_full_name()));
        CoreString number;
        number += i;
        GuiSpreadsheetCellNaturalText* number_cell = new GuiSpreadsheetCellNaturalText(number);
        number_cell->set_justify_on_right(true);
        row->add_cell(number_cell);
        for (unsigned int cell = 0; cell < row->get_cell_count(); ++cell)
            static_cast<GuiSpreadsheetCellBasicText*>(row->get_cell(cell))->set_is_text_editable(true);
        rows.add(row);
    }
    sheet->add_rows(rows);
    sheet->enable_column_highlight_text(0, true);
    EventObject::connect(*sheet, EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED, &on_sort, state.get());
    EventObject::connect(*sheet, EVT_ID_SPREADSHEET_SELECTION_CHANGED, &on_selection, state.get());
    EventObject::connect(*sheet, EVT_ID_SPREADSHEET_CELL_UPDATED, &on_cell_updated, state.get());

    // The same place, another sheet: the scene's contexts as a tree.
    GuiSpreadsheet* tree = new GuiSpreadsheet(*panel, x + 1, sheet_y, w - 2, panel_h - DemoPanel::TITLE_HEIGHT - 1);
    tree->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->tree = tree;
    tree->add_column("Name", 1.2, true, true);
    tree->add_column("Kind or class", 0.6, true, true);
    tree->add_column("Path", 2.0, true, true);
    tree->set_tree_mode(true);
    tree->set_shaded(true);
    tree->set_multiselection_by_drag(true);
    tree->set_enable_focus_by_key(true);
    CoreVector<GuiSpreadsheetRow*> tree_rows;
    add_context_rows(*tree, m_app.get_factory().get_root(), tree_rows);
    tree->add_rows(tree_rows);
    tree->enable_column_highlight_text(0, true);
    tree->hide();
    EventObject::connect(*tree, EVT_ID_SPREADSHEET_SELECTION_CHANGED, &on_selection, state.get());

    int const tools_w = 360, status_y = y + panel_h + MARGIN;
    state->filter = new GuiLineEdit(page, x + w - tools_w, status_y + 5, tools_w - 150, 22, "Filter");
    state->filter->set_constraints(W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->filter->set_null_value("words to highlight");
    EventObject::connect(*state->filter, EVT_ID_LINE_EDIT_KEY_PRESSED, &on_filter, state.get());
    EventObject::connect(*state->filter, EVT_ID_LINE_EDIT_CHANGED, &on_filter, state.get());
    GuiCheckButton* tree_switch = new GuiCheckButton(page, x + w - 140, status_y + 5, 140, 22, "Contexts as a tree");
    tree_switch->set_constraints(W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    EventObject::connect(*tree_switch, EVT_ID_CHECK_BUTTON_CLICK, &on_tree_switch, state.get());

    state->status = new DemoText(page, "spreadsheet_status", x, status_y, w - tools_w - MARGIN, 32);
    state->status->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->status->set_text("Click a title to sort (again: descending, then unsorted); drag over cells, row numbers "
                            "or titles to select; drag a title edge to resize (Shift: share with the columns on the "
                            "left); arrows, Home, End, Page keys move (Shift extends), a letter jumps to a name, "
                            "Ctrl+A, Ctrl+C copies; double-click a cell to edit (Return keeps, Escape drops); type "
                            "words to highlight the names that hold them.");
}
