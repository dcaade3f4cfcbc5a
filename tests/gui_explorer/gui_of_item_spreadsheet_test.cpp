// The flat item sheet: what it lists and in which order, the Name column's sort cycle, the
// filters, following the scene's changes, renaming with its refusals, entering contexts and
// objects, selection both ways, drops, the pool and the columns.
#include "gui/core/gui.h"
#include "gui/explorer/gui_of_item_spreadsheet_cells.h"
#include "gui/fields/gui_line_edit.h"
#include "host/of/of_class_factory.h"
#include "host/app/app_selection.h"
#include "tests/gui_explorer/explorer_test_util.h"
#include "tests/support/scene_undo_check.h"

using ItemSheet = ItemSheetTest;

TEST_F(ItemSheet, ListsContextsFirstThenObjectsInNaturalOrder)
{
    make_sheet(m_props);
    EXPECT_EQ(rows(), (Names{"small", "crate1", "crate2", "crate10", "lamp", "layer"}));
    m_sheet->set_context(&scene().get_root(), false);
    // The build context is the framework's own: never listed.
    EXPECT_EQ(rows(), (Names{"empty", "lights", "props"}));
}

TEST_F(ItemSheet, FiveClicksOnTheNameColumnCycleNameColourAndUnsorted)
{
    make_sheet(m_props);
    scene().get_object("/props/crate10")->set_colortag(2);
    m_lamp->set_colortag(1);
    struct Step {
        int key;
        int order;
        Names objects;
    };
    Step const steps[] = {
        {GuiOfItemSort::KEY_NAME, -1, {"layer", "lamp", "crate10", "crate2", "crate1"}},
        {GuiOfItemSort::KEY_COLOR, 1, {"lamp", "crate10", "crate1", "crate2", "layer"}},
        {GuiOfItemSort::KEY_COLOR, -1, {"layer", "crate2", "crate1", "crate10", "lamp"}},
        {GuiOfItemSort::KEY_NAME, 0, {"crate10", "crate2", "crate1", "lamp", "layer"}},
        {GuiOfItemSort::KEY_NAME, 1, {"crate1", "crate2", "crate10", "lamp", "layer"}},
    };
    for (Step const& step : steps) {
        m_sheet->set_sort_type(GuiOfItemSort::KEY_NAME);
        SCOPED_TRACE(std::to_string(step.key) + " " + std::to_string(step.order));
        EXPECT_EQ(m_sheet->get_sort_type(), step.key);
        EXPECT_EQ(m_sheet->get_sort_order(), step.order);
        Names listed = rows();
        EXPECT_EQ(listed.front(), "small");
        EXPECT_EQ(Names(listed.begin() + 1, listed.end()), step.objects);
        // The Name column's arrow shows the colour order too.
        EXPECT_EQ(m_sheet->get_sort_indicator(1), step.order);
    }
}

TEST_F(ItemSheet, AnotherColumnSortsByItsOwnOrder)
{
    make_sheet(m_props);
    ASSERT_TRUE(m_sheet->add_column_type(GuiOfItemSort::KEY_TYPE, ""));
    EXPECT_EQ(m_sheet->get_column_title(1), "Type");
    m_sheet->set_sort_type(GuiOfItemSort::KEY_TYPE);
    EXPECT_EQ(rows(), (Names{"small", "crate1", "crate2", "crate10", "lamp", "layer"}));
    m_sheet->set_sort_type(GuiOfItemSort::KEY_TYPE);
    EXPECT_EQ(rows(), (Names{"small", "layer", "lamp", "crate10", "crate2", "crate1"}));
    EXPECT_EQ(m_sheet->get_cell(1, 1)->get_text(), "ShadingLayer");
}

TEST_F(ItemSheet, CellsOfEveryColumnAndOfUnknownKeys)
{
    make_sheet(m_props);
    m_lamp->set_comment("warm");
    for (int key : {1, 2, 3, 4, 5, 6, 7, 42}) ASSERT_TRUE(m_sheet->add_column_type(key, key == 42 ? "?" : ""));
    int const lamp = row_of(m_lamp);
    auto text = [&](int column) { return m_sheet->get_cell(column, lamp)->get_text().std_string(); };
    EXPECT_FALSE(text(1).empty());
    EXPECT_EQ(text(3), "LightPoint");
    EXPECT_EQ(text(5), "/props/lamp");
    EXPECT_EQ(text(6), " ");
    EXPECT_EQ(text(7), "warm");
    EXPECT_EQ(text(8), "Column type does not exists");
    EXPECT_EQ(m_sheet->get_cell(6, row_of(m_layer))->get_text(), "X");
    EXPECT_EQ(m_sheet->get_cell(3, row_of(m_small))->get_text(), "Context");
    // A row whose item left the scene says so instead of reading it.
    GuiOfItemSpreadsheetRow* row = m_sheet->make_item_row(*m_lamp);
    ASSERT_TRUE(m_lamp->remove());
    EXPECT_EQ(row->get_item_name(), "Item removed");
    EXPECT_EQ(row->get_cell(5)->get_text(), "Object removed");
    m_sheet->free_row_from_pool(row);
}

TEST_F(ItemSheet, TextAndClassFiltersHideFailingRows)
{
    make_sheet(m_props);
    struct Case {
        char const* text;
        Names shown;
    };
    Case const cases[] = {
        {"crate", {"crate1", "crate2", "crate10"}},
        {"CRATE 1", {"crate1", "crate10"}},
        {"box", {"crate1", "crate2", "crate10"}},  // the class name counts
        {"light", {"lamp"}},
        {"(", {}},
        {"[a-z]*", {}},
        {"*", {"small", "crate1", "crate2", "crate10", "lamp", "layer"}},
        {"", {"small", "crate1", "crate2", "crate10", "lamp", "layer"}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        m_sheet->set_filter_text(c.text);
        EXPECT_EQ(rows(true), c.shown);
    }
    CoreVector<OfClass const*> lights;
    lights.add(scene().get_classes().get("Light"));
    m_sheet->set_filter_classes(lights);
    EXPECT_EQ(rows(), (Names{"small", "lamp"}));
    EXPECT_TRUE(m_sheet->is_valid_class_by_filter(*scene().get_classes().get("LightArea")));
    EXPECT_FALSE(m_sheet->is_valid_class_by_filter(*scene().get_classes().get("Box")));
}

TEST_F(ItemSheet, SceneChangesMoveSingleRowsToTheirSortedPlace)
{
    make_sheet(m_props);
    scene().create_object("Box", "crate3", m_props);
    EXPECT_EQ(rows(), (Names{"small", "crate1", "crate2", "crate3", "crate10", "lamp", "layer"}));
    scene().create_context("attic", m_props);
    EXPECT_EQ(rows(), (Names{"attic", "small", "crate1", "crate2", "crate3", "crate10", "lamp", "layer"}));
    ASSERT_TRUE(m_lamp->set_name("aaa"));
    EXPECT_EQ(rows(), (Names{"attic", "small", "aaa", "crate1", "crate2", "crate3", "crate10", "layer"}));
    ASSERT_TRUE(m_lamp->move_to(*m_lights));
    EXPECT_EQ(rows(), (Names{"attic", "small", "crate1", "crate2", "crate3", "crate10", "layer"}));
    ASSERT_TRUE(history().undo());
    ASSERT_TRUE(scene().get_object("/props/crate2")->remove());
    EXPECT_EQ(rows(), (Names{"attic", "small", "aaa", "crate1", "crate3", "crate10", "layer"}));
    // Items of other contexts do not come in.
    scene().create_object("Box", "elsewhere", m_lights);
    EXPECT_EQ(rows().size(), 7u);
}

TEST_F(ItemSheet, TheListedContextGoingListsTheRoot)
{
    make_sheet(m_small);
    ASSERT_TRUE(m_small->remove());
    EXPECT_EQ(rows(), (Names{"empty", "lights", "props"}));
}

TEST_F(ItemSheet, RenamingRefusesEmptyInvalidAndTakenNames)
{
    make_sheet(m_props);
    GuiSpreadsheetCell* cell = m_sheet->get_cell(0, row_of(m_lamp));
    for (char const* name : {"", "   ", "2lamp", "la mp", "crate1", "small"}) {
        SCOPED_TRACE(name);
        LogRecorder log;
        m_sheet->set_cell_content(cell, name);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
        EXPECT_EQ(m_lamp->get_name(), "lamp");
        EXPECT_EQ(history().get_undo_count(), 0u);
    }
    expect_undoable_change(scene(), nullptr, [&] { m_sheet->set_cell_content(cell, "beacon"); });
    EXPECT_EQ(m_lamp->get_name(), "beacon");
}

TEST_F(ItemSheet, RenamingInPlaceCommitsThroughTheLineEditAndTheRowFollows)
{
    make_sheet(m_props);
    ASSERT_TRUE(m_sheet->rename_item(*m_lamp));
    GuiLineEdit* edit = m_sheet->get_cell_line_edit();
    ASSERT_NE(edit, nullptr);
    edit->set_text("aardvark");
    m_sheet->hide_edit_field(m_sheet->get_edited_cell(), true);
    EXPECT_EQ(m_lamp->get_name(), "aardvark");
    EXPECT_EQ(rows()[1], "aardvark");
    // The root cannot be renamed: nothing opens.
    make_sheet(&scene().get_root());
    LogRecorder log;
    EXPECT_FALSE(m_sheet->rename_item(scene().get_build()));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
}

TEST_F(ItemSheet, DeletingTheItemBeingRenamedEndsTheEdit)
{
    make_sheet(m_props);
    ASSERT_TRUE(m_sheet->rename_item(*m_lamp));
    ASSERT_TRUE(m_lamp->remove());
    EXPECT_FALSE(m_sheet->is_editing());
    EXPECT_EQ(row_of(m_lamp), -1);
    pump_events(app());
}

TEST_F(ItemSheet, EnterOnAnObjectHoldingObjectsListsItsContent)
{
    make_sheet(m_props);
    int raised = 0;
    EventObject::connect(*m_sheet, EVT_ID_OF_ITEM_SPREADSHEET_CONTEXT_OBJECT_CHANGED,
                         [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); },
                         &raised);
    m_sheet->set_cursor_position(0, row_of(m_layer));
    int const x = 20, y = row_y(row_of(m_layer));
    key_down(*m_sheet, FL_Enter, "\r", 0, GMathVec2<int>(x, y));
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(m_sheet->get_context_object().to_object(), m_layer);
    EXPECT_EQ(rows(), (Names{"rule_a", "rule_b"}));
}

TEST_F(ItemSheet, EnteringAContextListsItAndMakesItTheWorkingContext)
{
    make_sheet(m_props);
    m_sheet->enter_into_context(*m_small);
    EXPECT_EQ(rows(), (Names{"bolt"}));
    AppSelection& selection = app().get_selection();
    EXPECT_EQ(&selection.get_slot_working_context(AppSelection::get_global_group_label(),
                                                  AppSelection::get_global_slot_label()),
              m_small);
}

TEST_F(ItemSheet, SelectionGoesToTheApplicationAndComesBack)
{
    make_sheet(m_props);
    AppSelection& selection = app().get_selection();
    CoreString const& group = AppSelection::get_global_group_label();
    CoreString const& slot = AppSelection::get_global_slot_label();
    CoreVector<unsigned int> picked;
    picked.add(static_cast<unsigned int>(row_of(m_lamp)));
    m_sheet->set_selection_rows(picked, true, true);
    CoreVector<OfItem*> items = selection.get_items(group, slot);
    ASSERT_EQ(items.get_count(), 1u);
    EXPECT_EQ(items[0], m_lamp);

    CoreVector<OfItem*> others;
    others.add(scene().get_object("/props/crate2"));
    others.add(m_small);
    selection.set_selection(group, slot, others);
    pump_events(app());
    EXPECT_EQ(m_sheet->get_selected_items().get_count(), 2u);
    EXPECT_FALSE(m_sheet->is_row_selected(row_of(m_lamp)));
    EXPECT_TRUE(m_sheet->is_row_selected(row_of(m_small)));
}

TEST_F(ItemSheet, DefaultDropMovesOrRefusesAndUndoesInOneStep)
{
    make_sheet(m_props);
    CoreVector<OfItem*> crates;
    crates.add(scene().get_object("/props/crate1"));
    crates.add(scene().get_object("/props/crate2"));
    expect_undoable_change(scene(), nullptr, [&] { EXPECT_TRUE(m_sheet->run_default_drop(crates, *m_lights)); });
    EXPECT_EQ(crates[0]->get_context(), m_lights);

    // A context into its own child: nothing is allowed.
    CoreVector<OfItem*> props;
    props.add(m_props);
    std::string const before = scene().dump_text().std_string();
    LogRecorder log;
    EXPECT_FALSE(m_sheet->run_default_drop(props, *m_small));
    EXPECT_GE(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(scene().dump_text().std_string(), before);
}

TEST_F(ItemSheet, DropContextIsTheRowsContextOrTheListedOne)
{
    make_sheet(m_props);
    EXPECT_EQ(m_sheet->get_drop_context(row_of(m_small)), m_small);
    EXPECT_EQ(m_sheet->get_drop_context(row_of(m_lamp)), m_props);
    EXPECT_EQ(m_sheet->get_drop_context(-1), m_props);
}

TEST_F(ItemSheet, RowsComeBackFromThePool)
{
    make_sheet(m_props);
    size_t const blocks = m_sheet->get_rows_pool().get_block_count();
    for (int i = 0; i < 5; ++i) m_sheet->rebuild();
    EXPECT_EQ(m_sheet->get_rows_pool().get_block_count(), blocks);
    size_t const listed = m_sheet->get_row_count();
    m_sheet->clear();
    EXPECT_EQ(m_sheet->get_rows_pool().get_free_count(), listed);
    m_sheet->clean_rows_pool();
    EXPECT_EQ(m_sheet->get_rows_pool().get_block_count(), 0u);
}

TEST_F(ItemSheet, IconSizesSetTheRowHeightWithinTheirRange)
{
    make_sheet(m_props);
    EXPECT_EQ(m_sheet->get_icon_size(), ImageIcon::IMAGE_ICON_SIZE_16);
    int const height = m_sheet->get_row_height();
    m_sheet->set_icon_size(ImageIcon::IMAGE_ICON_SIZE_32);
    EXPECT_GT(m_sheet->get_row_height(), height);
    LogRecorder log;
    m_sheet->set_icon_size(static_cast<ImageIcon::ImageIconSize>(9));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(m_sheet->get_icon_size(), ImageIcon::IMAGE_ICON_SIZE_32);
}

TEST_F(ItemSheet, AClearedSceneForgetsRenamesWaitingForTheUpdatePass)
{
    make_sheet(m_props);
    ASSERT_TRUE(m_lamp->set_name("beacon"));  // its row moves in the next update pass
    scene().clear();                          // ... but the lamp is freed first
    pump_events(app());
    EXPECT_EQ(rows(), Names{});
}
