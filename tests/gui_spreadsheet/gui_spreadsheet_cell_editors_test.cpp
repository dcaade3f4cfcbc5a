// Spreadsheet cells with editors of their own: the number edit and list button shown over the
// cell, file names checked against the disk and chosen in the file dialog, and scene objects
// pasted by full name, picked, and selected in the application.
#include <fstream>

#include "gui/fields/gui_number_edit.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_editors.h"
#include "gui/spreadsheet/gui_spreadsheet_cell_items.h"
#include "host/app/app_selection.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "tests/gui_spreadsheet/spreadsheet_test_util.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

class EditorsTest : public SpreadsheetTest {
protected:
    // A one-column sheet holding `cell`, recording the updates and their event data.
    template <class Cell>
    Cell& sheet_with(Cell* cell)
    {
        make_sheet(1);
        add_cells({cell});
        m_updates.listen(*m_sheet, EVT_ID_SPREADSHEET_CELL_UPDATED);
        return *cell;
    }
    void type(GuiWidget& edit, std::string const& text)
    {
        for (char c : text) key_down(edit, c, std::string(1, c));
    }

    RaisedData m_updates;
};

// Chooses the path given, remembering where the dialog started.
class ScriptedFilenameCell : public GuiSpreadsheetCellFilename {
public:
    using GuiSpreadsheetCellFilename::GuiSpreadsheetCellFilename;
    CoreString answer, started_at;

protected:
    CoreString run_file_dialog(CoreString const& start_path, CoreString const&) override
    {
        started_at = start_path;
        return answer;
    }
};

class ScriptedSelector : public GuiSpreadsheetCellObjectSelector {
public:
    using GuiSpreadsheetCellObjectSelector::GuiSpreadsheetCellObjectSelector;
    OfObject* answer = nullptr;

protected:
    OfObject* run_picker() override { return answer; }
};

}  // namespace

TEST_F(EditorsTest, ANumberTypedWithUnitsIsOneUndoableChangeAndTheEditorGoesAway)
{
    GuiSpreadsheetCellNumberEdit& cell = sheet_with(new GuiSpreadsheetCellNumberEdit(1.0));
    OfCommandManager commands;
    m_sheet->set_command_manager(&commands);
    GuiNumberEdit* edit = cell.get_number_edit();
    ASSERT_NE(edit, nullptr);
    edit->set_unit_type("distance");
    double expected = 0.0;
    ASSERT_TRUE(edit->read_value("2.5cm", expected));
    ASSERT_NE(expected, 2.5) << "the unit must matter for this test";

    m_sheet->set_cursor_position(0, 0);
    m_sheet->start_edit_cell_content();
    ASSERT_TRUE(edit->is_shown());
    EXPECT_TRUE(edit->has_focus());
    EXPECT_EQ(edit->get_x(), m_sheet->get_cell_pos_x(0));
    type(*edit, "2.5cm");
    key_down(*edit, FL_Enter);
    EXPECT_DOUBLE_EQ(cell.get_value(), expected);
    EXPECT_EQ(m_updates.get(), std::vector<void*>({edit})) << "the editor is the event data";
    EXPECT_FALSE(edit->is_shown());
    EXPECT_FALSE(m_sheet->is_editing());
    EXPECT_EQ(commands.get_undo_count(), 1u);
    commands.undo();
    EXPECT_DOUBLE_EQ(cell.get_value(), 1.0);
    m_sheet->set_command_manager(nullptr);
}

TEST_F(EditorsTest, ANumberTypedIntoAReadOnlyCellIsRefusedAndTheEditorShowsTheValueAgain)
{
    GuiSpreadsheetCellNumberEdit& cell = sheet_with(new GuiSpreadsheetCellNumberEdit(3.0));
    cell.set_is_read_only(true);
    m_sheet->set_cursor_position(0, 0);
    m_sheet->start_edit_cell_content();
    GuiNumberEdit* edit = cell.find_number_edit();
    ASSERT_NE(edit, nullptr);
    LogRecorder log;
    type(*edit, "7");
    key_down(*edit, FL_Enter);
    EXPECT_EQ(cell.get_value(), 3.0);
    EXPECT_EQ(edit->get_value(), 3.0);
    EXPECT_TRUE(m_updates.get().empty());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

TEST_F(EditorsTest, AListChoiceGoesThroughTheSheetAndOnlyListedValuesPaste)
{
    GuiSpreadsheetCellListButton& cell = sheet_with(new GuiSpreadsheetCellListButton("B"));
    cell.set_values({"A", "B", "C"});
    m_sheet->set_cursor_position(0, 0);
    m_sheet->start_edit_cell_content();
    GuiListButton* list = cell.find_list_button();
    ASSERT_NE(list, nullptr);
    // The list opens a moment later, once no button is held.
    for (int i = 0; i < 50 && !(list->get_menu() && list->get_menu()->is_shown()); ++i) pump_events(app(), 0.01);
    ASSERT_TRUE(list->get_menu() && list->get_menu()->is_shown());
    EXPECT_EQ(list->get_selected_label(), "B");
    click_menu_row(*list->get_menu(), 2);
    EXPECT_EQ(cell.get_text(), "C");
    EXPECT_EQ(m_updates.get(), std::vector<void*>({list}));
    EXPECT_FALSE(list->is_shown());
    EXPECT_FALSE(m_sheet->is_editing());

    LogRecorder log;
    EXPECT_FALSE(m_sheet->change_cell_value(&cell, "D"));
    EXPECT_EQ(cell.get_text(), "C");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

TEST_F(EditorsTest, FileNamesMustExistInTheOpenModes)
{
    using Cell = GuiSpreadsheetCellFilename;
    SysTempFolder folder;
    std::ofstream((folder / "there.txt").c_str()) << "x";
    CoreString const file = folder / "there.txt", missing = folder / "missing.txt", dir = folder.get_path();
    struct Row {
        int mode;
        CoreString path;
        bool accepted;
    };
    Row const rows[] = {
        {Cell::MODE_OPEN_FILE, file, true},         {Cell::MODE_OPEN_FILE, missing, false},
        {Cell::MODE_OPEN_FILE, dir, false},         {Cell::MODE_CHOOSE_FOLDER, dir, true},
        {Cell::MODE_CHOOSE_FOLDER, file, false},    {Cell::MODE_SAVE_FILE, missing, true},
        {Cell::MODE_OPEN_FILE, "", true},
    };
    Cell& cell = sheet_with(new Cell("before"));
    for (Row const& row : rows) {
        cell.set_mode(row.mode);
        cell.set_text("before");
        LogRecorder log;
        EXPECT_EQ(m_sheet->change_cell_value(&cell, row.path), row.accepted) << row.mode << " " << row.path;
        EXPECT_EQ(cell.get_text(), row.accepted ? row.path : CoreString("before")) << row.mode << " " << row.path;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING) > 0, !row.accepted) << log.dump();
    }
}

TEST_F(EditorsTest, TheFileDialogStartsFromTheTextOrTheProjectFolderAndItsChoiceIsTheValue)
{
    SysTempFolder folder;
    std::ofstream((folder / "chosen.txt").c_str()) << "x";
    ScriptedFilenameCell& cell = sheet_with(new ScriptedFilenameCell());
    CoreString project;
    ASSERT_TRUE(app().get_factory().get_var("PDIR", project));

    cell.answer = "";
    EXPECT_FALSE(cell.pressed_button()) << "cancelled";
    EXPECT_EQ(cell.started_at, project);
    EXPECT_TRUE(m_updates.get().empty());

    cell.answer = folder / "chosen.txt";
    EXPECT_TRUE(cell.pressed_button());
    EXPECT_EQ(cell.get_text(), cell.answer);
    EXPECT_EQ(m_updates.get().size(), 1u);

    cell.answer = folder / "gone.txt";
    EXPECT_FALSE(cell.pressed_button()) << "a missing file is refused";
    EXPECT_EQ(cell.started_at, folder / "chosen.txt");
    EXPECT_EQ(cell.get_text(), folder / "chosen.txt");
}

namespace {

class ItemCellsTest : public EditorsTest {
protected:
    void SetUp() override
    {
        EditorsTest::SetUp();
        OfClassFactory& classes = app().get_factory().get_classes();
        if (!classes.get("SheetCamera")) classes.add_class("SheetCamera");
        if (!classes.get("SheetLight")) classes.add_class("SheetLight");
        m_camera = app().get_factory().create_object("SheetCamera", "cam");
        m_light = app().get_factory().create_object("SheetLight", "lamp");
    }
    void TearDown() override
    {
        app().get_selection().clear_all();
        app().get_factory().clear();
        EditorsTest::TearDown();
    }

    OfObject* m_camera = nullptr;
    OfObject* m_light = nullptr;
};

}  // namespace

TEST_F(ItemCellsTest, ObjectsPasteByFullNameWithinTheirClassesAndRefusalsKeepTheValue)
{
    ASSERT_TRUE(m_camera && m_light);
    struct Row {
        char const* what;
        bool selector;
        CoreString text;
        OfItem* expected;  // the cell's item afterwards (it starts on the camera)
    };
    Row const rows[] = {
        {"object: its class", false, m_camera->get_full_name(), m_camera},
        {"object: another class", false, m_light->get_full_name(), m_camera},
        {"object: unknown", false, "/nowhere/nothing", m_camera},
        {"object: empty clears", false, "", nullptr},
        {"selector: another class", true, m_light->get_full_name(), m_camera},
        {"selector: unknown", true, "/nothing", m_camera},
        {"selector: the none text clears", true, "(none)", nullptr},
    };
    for (Row const& row : rows) {
        make_sheet(1);
        GuiSpreadsheetCellOfItemNameBasic* cell = nullptr;
        if (row.selector) {
            auto* selector = new GuiSpreadsheetCellObjectSelector(m_camera);
            selector->set_class_filter({"SheetCamera"});
            cell = selector;
        } else {
            auto* object = new GuiSpreadsheetCellObject(m_camera);
            object->set_filter_classes({"SheetCamera"});
            cell = object;
        }
        add_cells({cell});
        LogRecorder log;
        bool const accepted = m_sheet->change_cell_value(cell, row.text);
        EXPECT_EQ(cell->get_item(), row.expected) << row.what;
        EXPECT_EQ(accepted, row.expected != m_camera || row.text == m_camera->get_full_name()) << row.what;
        if (!accepted) {
            EXPECT_GE(log.count(CORE_LOG_LEVEL_WARNING), 1u) << row.what;
        }
        EXPECT_EQ(cell->get_pastable_text(), row.expected ? row.expected->get_full_name() : CoreString()) << row.what;
        delete m_sheet;
        pump_events(app());
    }
}

TEST_F(ItemCellsTest, TheSelectorsPickRaisesValueChangedAndItsJumpButtonSelectsTheItem)
{
    ScriptedSelector& cell = sheet_with(new ScriptedSelector());
    EXPECT_EQ(cell.get_text(), "(none)");
    RaisedData changed;
    changed.listen(*m_sheet, EVT_ID_SPREADSHEET_CELL_VALUE_CHANGED);
    cell.answer = m_light;
    m_sheet->set_cursor_position(0, 0);
    m_sheet->start_edit_cell_content();
    EXPECT_EQ(cell.get_item(), m_light);
    EXPECT_EQ(changed.get(), std::vector<void*>({&cell}));
    EXPECT_FALSE(m_sheet->is_editing());
    EXPECT_FALSE(cell.assign_with_browser_picker()) << "the same item again is no change";
    EXPECT_EQ(changed.get().size(), 1u);

    int const x = m_sheet->get_cell_pos_x(0) + m_sheet->get_cell_width(0) - 3;
    send_pointer(*m_sheet, FL_PUSH, x, cell_y(0));
    send_pointer(*m_sheet, FL_RELEASE, x, cell_y(0));
    CoreVector<OfItem*> const selected =
        app().get_selection().get_items(AppSelection::get_global_group_label(), AppSelection::get_global_slot_label());
    EXPECT_EQ(selected, CoreVector<OfItem*>({m_light}));
}
