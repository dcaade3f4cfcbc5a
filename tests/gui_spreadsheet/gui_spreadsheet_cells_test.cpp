// Spreadsheet value cells: text filters, colour parsing, every kind drawn, check boxes and
// icons toggled by the pointer and by an edit request, the edit button of editable text,
// and the orders check boxes and numbers sort in.
#include <cmath>

#include "gui/core/gui_resource.h"
#include "gui/fields/gui_line_edit.h"
#include "gui/fields/gui_number_edit.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_editors.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_items.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_values.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_object_factory.h"
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

using Texts = std::vector<std::string>;

GuiSpreadsheetCellBasicText* text_cell(char const* text, bool editable = false)
{
    GuiSpreadsheetCellBasicText* cell = new GuiSpreadsheetCellBasicText(text);
    cell->set_is_text_editable(editable);
    return cell;
}

}  // namespace

TEST(SpreadsheetCellText, FiltersAcceptDigitsAndOneDecimalPointAndRefusalsKeepTheText)
{
    using Cell = GuiSpreadsheetCellBasicText;
    struct Row {
        int filter;
        char const* text;
        bool accepted;
    };
    Row const rows[] = {
        {Cell::TEXT_FILTER_DIGITS, "007", true},     {Cell::TEXT_FILTER_DIGITS, "12a4", false},
        {Cell::TEXT_FILTER_DIGITS, "", true},        {Cell::TEXT_FILTER_DIGITS, "1.5", false},
        {Cell::TEXT_FILTER_DIGITS, "-3", false},     {Cell::TEXT_FILTER_DECIMAL, "007", true},
        {Cell::TEXT_FILTER_DECIMAL, "1.5", true},    {Cell::TEXT_FILTER_DECIMAL, ".5", true},
        {Cell::TEXT_FILTER_DECIMAL, "1.2.3", false}, {Cell::TEXT_FILTER_DECIMAL, "..", false},
        {Cell::TEXT_FILTER_DECIMAL, "1a", false},    {Cell::TEXT_FILTER_DECIMAL, "", true},
        {Cell::TEXT_FILTER_ANY, "1.2.3 x", true},
    };
    for (Row const& row : rows) {
        Cell cell("42");
        cell.set_text_filter(row.filter);
        std::string const what = std::to_string(row.filter) + " \"" + row.text + "\"";
        EXPECT_EQ(cell.is_text_valid(row.text), row.accepted) << what;
        cell.set_text(row.text);
        EXPECT_EQ(cell.get_text().std_string(), row.accepted ? row.text : "42") << what;
        cell.set_text("42");
        EXPECT_EQ(cell.set_pastable_text(row.text), row.accepted) << what;
        EXPECT_EQ(cell.get_text().std_string(), row.accepted ? row.text : "42") << what;
    }
}

TEST(SpreadsheetCellColor, ParsesThreeFiniteNumbersAndKeepsHdrValues)
{
    struct Row {
        char const* text;
        bool accepted;
        GMathVec3<double> color;  // when accepted
    };
    Row const rows[] = {
        {"0.5, 0.25, 1", true, {0.5, 0.25, 1.0}},
        {"1 2 3", true, {1.0, 2.0, 3.0}},
        {" 0,0 ,\t0 ", true, {0.0, 0.0, 0.0}},
        {"2.5, -0.5, 10", true, {2.5, -0.5, 10.0}},
        {"nan, 0, 0", false, {}},
        {"0, inf, 0", false, {}},
        {"1,2", false, {}},
        {"1, 2, 3x", false, {}},
        {"1, 2, 3, 4", false, {}},
        {", 1, 2, 3", false, {}},
        {"", false, {}},
    };
    for (Row const& row : rows) {
        GuiSpreadsheetCellColor cell(GMathVec3<double>(0.1, 0.2, 0.3));
        GMathVec3<double> parsed(-7.0, -7.0, -7.0);
        EXPECT_EQ(GuiSpreadsheetCellColor::parse_color(row.text, parsed), row.accepted) << row.text;
        EXPECT_EQ(cell.set_pastable_text(row.text), row.accepted) << row.text;
        GMathVec3<double> const expected = row.accepted ? row.color : GMathVec3<double>(0.1, 0.2, 0.3);
        EXPECT_EQ(cell.get_color(), expected) << row.text;
        if (!row.accepted) {
            EXPECT_EQ(parsed, GMathVec3<double>(-7.0, -7.0, -7.0)) << "untouched: " << row.text;
        }
    }
    GuiSpreadsheetCellColor cell;
    LogRecorder log;
    EXPECT_FALSE(cell.set_color(GMathVec3<double>(0.0, std::nan(""), 0.0)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_TRUE(cell.set_pastable_text(cell.get_text())) << "the text reads back";
}

class CellsTest : public SpreadsheetTest {};

TEST_F(CellsTest, EveryKindDrawsPlainSelectedAndSqueezedAndTheNumberShowsItsEditorsText)
{
    GuiSpreadsheet& sheet = make_sheet(13, 900, 200);
    OfObjectFactory& scene = app().get_factory();
    if (!scene.get_classes().get("SheetDrawThing")) scene.get_classes().add_class("SheetDrawThing");
    OfObject* thing = scene.create_object("SheetDrawThing", "drawn");
    ASSERT_NE(thing, nullptr);
    for (int r = 0; r < 3; ++r) {
        bool const has = r != 2;  // the last row holds no values: item cells without item
        GuiSpreadsheetCellBasicText* text = text_cell("text", true);
        text->set_has_value(has);
        text->set_override_text_color(true);
        text->set_text_color(GMathVec3<unsigned char>(200, 10, 10));
        text->set_background_color(GMathVec3<unsigned char>(10, 60, 10));
        GuiSpreadsheetCellCheckbox* check = new GuiSpreadsheetCellCheckbox(r == 0);
        check->set_has_value(has);
        GuiSpreadsheetCellColor* color = new GuiSpreadsheetCellColor(GMathVec3<double>(2.5, 0.5, 0.0));
        color->set_has_value(has);
        GuiSpreadsheetCellListButton* list = new GuiSpreadsheetCellListButton("A");
        list->set_values({"A", "B"});
        add_cells({text, new GuiSpreadsheetCellBasicIcon(&GuiResource::checker()),
                   new GuiSpreadsheetCellBasicTextWithIcon("with icon", &GuiResource::checker()), check, color,
                   new GuiSpreadsheetCellNumberEdit(1.5 * r), list, new GuiSpreadsheetCellFilename("/tmp"),
                   new GuiSpreadsheetCellExpressionField("$x * 2"), new GuiSpreadsheetCellScriptField("a\nb"),
                   new GuiSpreadsheetCellObject(has ? thing : nullptr),
                   new GuiSpreadsheetCellObjectSelector(has ? thing : nullptr),
                   new GuiSpreadsheetCellOfItemName(has ? static_cast<OfItem*>(thing) : nullptr)});
    }
    auto* number = static_cast<GuiSpreadsheetCellNumberEdit*>(sheet.get_cell(5, 1));
    GuiNumberEdit* edit = number->get_number_edit();
    ASSERT_NE(edit, nullptr);
    edit->set_unit_type("distance");
    edit->set_float_precision(1);
    sheet.redraw();
    pump_events(app());
    EXPECT_EQ(number->get_text(), edit->get_text()) << "the cell shows its value as its editor does";
    EXPECT_EQ(text(11, 2), "(none)");

    sheet.set_focus();
    sheet.select_all();
    pump_events(app());
    sheet.resize(0, 0, 120, 200);  // every column narrower than its buttons
    pump_events(app());
    sheet.resize(0, 0, 900, 200);
    pump_events(app());
    scene.clear();
    sheet.redraw();
    pump_events(app());  // the items are gone from under their cells
    EXPECT_EQ(text(11, 0), "(none)");
    EXPECT_EQ(text(10, 0), "");
}

TEST_F(CellsTest, ACheckBoxTogglesByClickAndByEditAndNoValueBecomesChecked)
{
    using Box = GuiSpreadsheetCellCheckbox;
    enum How { CLICK, EDIT };
    struct Row {
        char const* what;
        int start;
        How how;
        bool locked, disabled;
        int expected;
    };
    Row const rows[] = {
        {"click checks", Box::VALUE_UNCHECKED, CLICK, false, false, Box::VALUE_CHECKED},
        {"click unchecks", Box::VALUE_CHECKED, CLICK, false, false, Box::VALUE_UNCHECKED},
        {"click on no value checks", Box::VALUE_NONE, CLICK, false, false, Box::VALUE_CHECKED},
        {"edit checks", Box::VALUE_UNCHECKED, EDIT, false, false, Box::VALUE_CHECKED},
        {"edit on no value checks", Box::VALUE_NONE, EDIT, false, false, Box::VALUE_CHECKED},
        {"locked: click refused", Box::VALUE_UNCHECKED, CLICK, true, false, Box::VALUE_UNCHECKED},
        {"disabled: click refused", Box::VALUE_CHECKED, CLICK, false, true, Box::VALUE_CHECKED},
    };
    GuiSpreadsheet& sheet = make_sheet(2);
    Box* box = new Box();
    add_cells({text_cell("a"), box});
    EventLog events;
    events.listen(sheet, {&EVT_ID_SPREADSHEET_CELL_UPDATED});
    for (Row const& row : rows) {
        box->set_value(row.start);
        box->set_is_locked(row.locked);
        box->set_enable(!row.disabled);
        events.clear();
        if (row.how == CLICK) {
            click_cell(1, 0);
        } else {
            sheet.set_cursor_position(1, 0);
            sheet.start_edit_cell_content();
        }
        EXPECT_EQ(box->get_value(), row.expected) << row.what;
        EXPECT_EQ(events.count(EVT_ID_SPREADSHEET_CELL_UPDATED), row.expected != row.start ? 1 : 0) << row.what;
        EXPECT_FALSE(sheet.is_cell_selected(1, 0)) << row.what;
        EXPECT_FALSE(sheet.is_editing()) << row.what;
    }
    box->set_value(Box::VALUE_NONE);
    EXPECT_EQ(box->get_pastable_text(), "");
    EXPECT_FALSE(box->set_pastable_text("maybe"));
    EXPECT_TRUE(box->get_has_no_value());
}

TEST_F(CellsTest, AnIconClickSwitchesItsEnabledFlagUnlessLocked)
{
    GuiSpreadsheet& sheet = make_sheet(2);
    GuiSpreadsheetCellBasicIcon* icon = new GuiSpreadsheetCellBasicIcon(&GuiResource::checker());
    add_cells({text_cell("a"), icon});
    std::vector<bool> states;
    for (int i = 0; i < 2; ++i) {
        click_cell(1, 0);
        states.push_back(icon->is_enabled());
        EXPECT_FALSE(sheet.is_cell_selected(1, 0));
    }
    EXPECT_EQ(states, std::vector<bool>({false, true}));
    EXPECT_EQ(icon->get_pastable_text(), "on");
    icon->set_is_locked(true);
    click_cell(1, 0);
    EXPECT_TRUE(icon->is_enabled());
    EXPECT_FALSE(icon->set_pastable_text("maybe"));
}

TEST_F(CellsTest, TheEditButtonOfEditableTextEditsWithoutSelectingAndElsewhereAClickSelects)
{
    struct Row {
        char const* what;
        bool editable;
        bool on_button;
        bool edits, selects;
    };
    Row const rows[] = {
        {"button of an editable cell", true, true, true, false},
        {"body of an editable cell", true, false, false, true},
        {"right end of a plain cell", false, true, false, true},
    };
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_sheet(2);
        sheet.set_preselection(true);
        add_cells({text_cell("a"), text_cell("b", row.editable)});
        int const x = row.on_button ? sheet.get_cell_pos_x(1) + sheet.get_cell_width(1) - 3 : cell_x(1);
        send_pointer(sheet, FL_PUSH, x, cell_y(0));
        send_pointer(sheet, FL_RELEASE, x, cell_y(0));
        EXPECT_EQ(sheet.get_cell_line_edit() != nullptr, row.edits) << row.what;
        if (row.edits) {
            EXPECT_TRUE(GuiSpreadsheet::is_cell_edited(sheet.get_cell(1, 0))) << row.what;
            EXPECT_EQ(sheet.get_cell_line_edit()->get_text(), "b") << row.what;
        }
        EXPECT_EQ(sheet.is_cell_selected(1, 0), row.selects) << row.what;
        delete m_sheet;
        pump_events(app());
    }
}

TEST_F(CellsTest, CheckBoxesSortCheckedFirstAndNumbersByValue)
{
    using Box = GuiSpreadsheetCellCheckbox;
    struct Row {
        char const* what;
        std::vector<GuiSpreadsheetCell* (*)()> cells;
        Texts ascending;  // the original row numbers
    };
    Row const rows[] = {
        {"check boxes",
         {[]() -> GuiSpreadsheetCell* { return new Box(false); },
          []() -> GuiSpreadsheetCell* { Box* none = new Box(); none->set_has_no_value(true); return none; },
          []() -> GuiSpreadsheetCell* { return new Box(true); },
          []() -> GuiSpreadsheetCell* { return new Box(false); }},
         {"2", "0", "3", "1"}},
        {"numbers",
         {[]() -> GuiSpreadsheetCell* { return new GuiSpreadsheetCellNumberEdit(10.0); },
          []() -> GuiSpreadsheetCell* { return new GuiSpreadsheetCellNumberEdit(9.0); },
          []() -> GuiSpreadsheetCell* { return new GuiSpreadsheetCellNumberEdit(-1.5); },
          []() -> GuiSpreadsheetCell* { return new GuiSpreadsheetCellNumberEdit(100.0); }},
         {"2", "1", "0", "3"}},
    };
    for (Row const& row : rows) {
        GuiSpreadsheet& sheet = make_sheet(2);
        sheet.set_column_sort_type(0, 0);
        for (size_t i = 0; i < row.cells.size(); ++i) add_cells({row.cells[i](), text_cell(std::to_string(i).c_str())});
        while (sheet.get_sort_type() != 0 || sheet.get_sort_order() != 1) sheet.set_sort_type(0);
        sheet.sorting_rows_by_selected_column();
        Texts order;
        for (unsigned int r = 0; r < sheet.get_row_count(); ++r) order.push_back(text(1, static_cast<int>(r)));
        EXPECT_EQ(order, row.ascending) << row.what;
        delete m_sheet;
        pump_events(app());
    }
}
