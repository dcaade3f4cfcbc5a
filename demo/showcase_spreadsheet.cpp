// The showcase's "Spreadsheet" page: 100,000 rows made from the sample scene's items (name,
// class, path and the row's number), cycling through the scene. A title click sorts by its
// column (names and numbers in natural order), clicks, Ctrl, Shift and drags select cells,
// the row numbers select rows, title edges resize columns (Shift shares the change), and the
// wheel and scrollbars scroll. What happens shows in the status line and, with --trace, as
// "spreadsheet ..." lines.
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/core/gui_app.h"
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

void on_selection(EventObject&, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    int column = -1, row = -1;
    page.sheet->get_cursor_position(column, row);
    page.report(CoreString("selection ") + page.sheet->get_selected_cells().get_count() + " cells in " +
                page.sheet->get_selected_rows().get_count() + " rows, cursor " + column + " " + row);
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
        rows.add(row);
    }
    sheet->add_rows(rows);
    EventObject::connect(*sheet, EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED, &on_sort, state.get());
    EventObject::connect(*sheet, EVT_ID_SPREADSHEET_SELECTION_CHANGED, &on_selection, state.get());

    state->status = new DemoText(page, "spreadsheet_status", x, y + panel_h + MARGIN, w, 32);
    state->status->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->status->set_text("Click a title to sort (again: descending, then unsorted); drag over cells, row numbers "
                            "or titles to select; drag a title edge to resize (Shift: share with the columns on the left).");
}
