// The showcase's "Spreadsheet" page: 100,000 rows made from the sample scene's items (name,
// class, path and the row's number), cycling through the scene. A title click sorts by its
// column (names and numbers in natural order), clicks, Ctrl, Shift and drags select cells,
// the row numbers select rows, title edges resize columns (Shift shares the change), and the
// wheel and scrollbars scroll. The arrows, Home, End and the page keys move the cursor (Shift
// extends the range), a letter jumps to the next name starting with it, Ctrl+A selects all,
// Ctrl+C copies the selected block as tab-separated text, and a double click edits a cell in
// place (Return commits, Escape drops). A check button swaps in a second sheet showing the scene's
// contexts and their objects as a tree of rows (press a triangle to collapse or expand), and
// the filter edit highlights the names that contain every typed word in both sheets. Below,
// a small sheet shows every kind of cell, each edited in place: a check box, an on/off icon,
// a colour (double click asks for its components), a number with units, a list, a file name,
// an expression, a script, an object and an item picked from the scene, text with an icon
// and digits. Its changes go into the application's undo history (Edit > Undo, Ctrl+Z), and
// Ctrl+V pastes what Ctrl+C copied. What happens shows in the status line and, with --trace,
// as "spreadsheet ..." lines ("spreadsheet cells at <column> x y w h" tells where the cell
// sheet's first row is).
#include "demo/showcase_widgets.h"
#include "demo/showcase_window.h"
#include "gui/controls/gui_check_button.h"
#include "gui/core/gui_app.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/spreadsheet/gui_spreadsheet.h"
#include "gui/fields/gui_number_field.h"
#include "gui/panels/gui_input_dialog.h"
#include "gui/spreadsheet/gui_spreadsheet_cell.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_editors.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_items.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_values.h"
#include "gui/spreadsheet/gui_spreadsheet_row.h"
#include "gui/core/gui_resource.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

constexpr int MARGIN = 8;
constexpr unsigned int ROW_COUNT = 100000;

constexpr int CELL_ROWS = 8;

struct SpreadsheetPage {
    GuiSpreadsheet* sheet = nullptr;
    GuiSpreadsheet* tree = nullptr;
    GuiSpreadsheet* cells = nullptr;
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

void on_kind_sort(EventObject&, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    page.cells->sorting_rows_by_selected_column();
    page.report(CoreString("cells sort ") + page.cells->get_sort_type() + " " + page.cells->get_sort_order());
}

void on_selection(EventObject& sender, EventObject::EventInfo const&, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    GuiSpreadsheet& sheet = static_cast<GuiSpreadsheet&>(sender);
    int column = -1, row = -1;
    sheet.get_cursor_position(column, row);
    char const* const which = &sheet == page.tree ? "tree selection " : (&sheet == page.cells ? "cells selection " : "selection ");
    page.report(CoreString(which) + sheet.get_selected_cells().get_count() +
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

// The cell sheet's changes: every kind, by its pastable text (the number edit and the list
// button name their cell through the cursor, where the edit happened).
void on_kind_updated(EventObject&, EventObject::EventInfo const& info, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    GuiSpreadsheetCell const* cell = nullptr;
    int column = -1, row = -1;
    CoreBaseObject const* object = static_cast<CoreBaseObject const*>(info.get_event_data());
    if (object && object->is_kindof(GuiSpreadsheetCell::class_info())) {
        cell = static_cast<GuiSpreadsheetCell const*>(object);
        page.cells->get_cell_indices(cell, column, row);
    } else {
        page.cells->get_cursor_position(column, row);
        cell = page.cells->get_cell(column, row);
    }
    if (!cell) return;
    page.report(CoreString("cells edit ") + column + " " + row + " \"" + cell->get_pastable_text() + "\"");
}

void on_color_request(EventObject&, EventObject::EventInfo const& info, void* data)
{
    SpreadsheetPage& page = *static_cast<SpreadsheetPage*>(data);
    GuiSpreadsheetCellColor* cell = static_cast<GuiSpreadsheetCellColor*>(info.get_event_data());
    GuiInputDialog dialog(page.cells->get_application(), "Colour");
    GuiNumberField* fields[3] = {dialog.add_number("Red", cell->get_color()[0]), dialog.add_number("Green", cell->get_color()[1]),
                                 dialog.add_number("Blue", cell->get_color()[2])};
    if (!dialog.run(true)) return;
    CoreString text;
    for (int c = 0; c < 3; ++c) {
        if (c) text += ", ";
        text += fields[c]->get_value();
    }
    page.cells->change_cell_value(cell, text);
}

// The cell sheet tells where its columns and first row are whenever that changes (the
// window reaches its final size after the first draws).
class KindSheet : public GuiSpreadsheet {
public:
    using GuiSpreadsheet::GuiSpreadsheet;
    void draw(GuiDc& dc) override
    {
        GuiSpreadsheet::draw(dc);
        if (get_row_count() == 0) return;
        CoreString lines;
        for (int column = 0; column < static_cast<int>(get_column_count()); ++column)
            lines += CoreString("spreadsheet cells at ") + column + " " + get_cell_pos_x(column) + " " +
                     get_cell_pos_y(0) + " " + get_cell_width(column) + " " + get_row_pitch(0) + "\n";
        if (lines == m_traced) return;
        m_traced = lines;
        DemoTrace::line(lines.sub_string(0, lines.get_length() - 1));
    }

private:
    CoreString m_traced;
};

// Eight of the scene's objects, one per row, each column a kind of cell.
void fill_cell_kinds(GuiSpreadsheet& sheet, OfObjectFactory& scene)
{
    struct Column {
        char const* title;
        double width;
    };
    static Column const columns[] = {{"Name", 1.2},    {"Visible", 56},  {"Active", 50},    {"Colour", 1.3},
                                     {"Size", 0.8},    {"Shading", 0.8}, {"Texture", 1.0},  {"Expression", 1.0},
                                     {"Script", 0.9},  {"Material", 1.0}, {"Camera", 1.1},  {"Note", 1.0},
                                     {"Digits", 0.6}};
    int index = 0;
    for (Column const& column : columns) {
        if (column.width > 2.0)
            sheet.add_column(column.title, static_cast<int>(column.width), true, true);
        else
            sheet.add_column(column.title, column.width, true, true);
        sheet.set_column_sort_type(index, index);
        ++index;
    }
    CoreVector<OfObject*> objects;
    for (OfObject* object : scene.get_root().get_all_objects())
        if (object->is_kindof("Geometry") && objects.get_count() < CELL_ROWS) objects.add(object);
    OfObject* material = nullptr;
    OfObject* camera = nullptr;
    for (OfObject* object : scene.get_root().get_all_objects()) {
        if (!material && object->is_kindof("Material")) material = object;
        if (!camera && object->is_kindof("Camera")) camera = object;
    }
    static char const* const shadings[] = {"smooth", "flat", "wireframe"};
    CoreVector<CoreString> shading_values;
    for (char const* shading : shadings) shading_values.add(shading);
    CoreString texture;
    scene.get_var("PDIR", texture);
    CoreVector<GuiSpreadsheetRow*> rows;
    for (unsigned int i = 0; i < objects.get_count(); ++i) {
        GuiSpreadsheetRow* row = new GuiSpreadsheetRow(sheet);
        double const t = i / static_cast<double>(CELL_ROWS);
        row->add_cell(new GuiSpreadsheetCellOfItemName(objects[i]));
        row->add_cell(new GuiSpreadsheetCellCheckbox(i % 3 != 0));
        GuiSpreadsheetCellBasicIcon* active = new GuiSpreadsheetCellBasicIcon(&GuiResource::radio_menu_selected());
        row->add_cell(active);
        row->add_cell(new GuiSpreadsheetCellColor(GMathVec3<double>(1.0 - t, 0.3 + 0.5 * t, t * t)));
        GuiSpreadsheetCellNumberEdit* size = new GuiSpreadsheetCellNumberEdit(0.5 + i * 0.25);
        row->add_cell(size);
        GuiSpreadsheetCellListButton* shading = new GuiSpreadsheetCellListButton(shadings[i % 3]);
        shading->set_values(shading_values);
        row->add_cell(shading);
        row->add_cell(new GuiSpreadsheetCellFilename(i == 0 ? texture : CoreString(),
                                                     GuiSpreadsheetCellFilename::MODE_OPEN_FILE));
        row->add_cell(new GuiSpreadsheetCellExpressionField(CoreString("frame * ") + (i + 1)));
        row->add_cell(new GuiSpreadsheetCellScriptField(CoreString("print(\"") + objects[i]->get_name() + "\")"));
        GuiSpreadsheetCellObject* material_cell = new GuiSpreadsheetCellObject(i % 2 ? nullptr : material);
        material_cell->set_filter_classes({"Material"});
        row->add_cell(material_cell);
        GuiSpreadsheetCellObjectSelector* target = new GuiSpreadsheetCellObjectSelector(i % 2 ? camera : nullptr);
        target->set_class_filter({"Camera"});
        row->add_cell(target);
        GuiSpreadsheetCellBasicTextWithIcon* note =
            new GuiSpreadsheetCellBasicTextWithIcon(CoreString("note ") + (i + 1), &GuiResource::mb_info());
        note->set_is_text_editable(true);
        row->add_cell(note);
        GuiSpreadsheetCellBasicText* digits = new GuiSpreadsheetCellBasicText(CoreString() + (100 + 7 * i));
        digits->set_text_filter(GuiSpreadsheetCellBasicText::TEXT_FILTER_DIGITS);
        digits->set_is_text_editable(true);
        digits->set_justify_on_right(true);
        row->add_cell(digits);
        rows.add(row);
    }
    sheet.add_rows(rows);
    // Sizes in the scene's distance units, once the cells are in the sheet.
    for (unsigned int r = 0; r < sheet.get_row_count(); ++r)
        if (GuiNumberEdit* edit = static_cast<GuiSpreadsheetCellNumberEdit*>(sheet.get_cell(4, static_cast<int>(r)))->get_number_edit())
            edit->set_unit_type("distance");
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
    // Title, value edit, column titles and the rows.
    int const kinds_h = DemoPanel::TITLE_HEIGHT + 24 + 24 + CELL_ROWS * 23 + 4;
    int const panel_h = h - 32 - MARGIN - kinds_h - MARGIN;
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

    // Every kind of cell, below.
    int const kinds_y = y + panel_h + MARGIN;
    DemoPanel* kinds = new DemoPanel(page, "cells_panel", "Every kind of cell (undo with Ctrl+Z)", x, kinds_y, w, kinds_h);
    kinds->anchor(W::CONSTRAINT_LEFT, W::CONSTRAINT_BOTTOM, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    GuiSpreadsheet* cells = new KindSheet(*kinds, x + 1, kinds_y + DemoPanel::TITLE_HEIGHT, w - 2,
                                               kinds_h - DemoPanel::TITLE_HEIGHT - 1);
    cells->set_constraints(W::CONSTRAINT_LEFT, W::CONSTRAINT_TOP, W::CONSTRAINT_RIGHT, W::CONSTRAINT_BOTTOM);
    state->cells = cells;
    fill_cell_kinds(*cells, m_app.get_factory());
    cells->enable_column_sort(true);
    cells->set_shaded(true);
    cells->set_command_manager(&m_app.get_command_manager());
    EventObject::connect(*cells, EVT_ID_SPREADSHEET_COLUMN_SORT_CHANGED, &on_kind_sort, state.get());
    EventObject::connect(*cells, EVT_ID_SPREADSHEET_SELECTION_CHANGED, &on_selection, state.get());
    EventObject::connect(*cells, EVT_ID_SPREADSHEET_CELL_UPDATED, &on_kind_updated, state.get());
    EventObject::connect(*cells, EVT_ID_SPREADSHEET_CELL_VALUE_CHANGED, &on_kind_updated, state.get());
    EventObject::connect(*cells, EVT_ID_SPREADSHEET_CELL_COLOR_REQUEST, &on_color_request, state.get());

    int const tools_w = 360, status_y = kinds_y + kinds_h + MARGIN;
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
