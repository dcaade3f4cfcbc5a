// The explorer: the scene as a tree, attribute rows made on opening, following the scene
// one item at a time, filtering a tree, deleting a selection in one step, its actions and
// its settings (also damaged ones).
#include "gui/core/gui.h"
#include "host/app/app_selection.h"
#include "host/of/of_attr.h"
#include "host/parser/parser_group.h"
#include "tests/gui_explorer/explorer_test_util.h"
#include "tests/support/scene_undo_check.h"
#include "tests/support/sys_temp_folder.h"
#include "gui/panels/gui_item_actions.h"

using Explorer = ItemSheetTest;

namespace {

GuiExplorer& as_explorer(GuiOfItemSpreadsheet* sheet)
{
    return static_cast<GuiExplorer&>(*sheet);
}

}  // namespace

TEST_F(Explorer, ListsTheSceneAsASortedTree)
{
    make_explorer();
    EXPECT_EQ(rows(), (Names{"empty", "lights", "  key", "props", "  small", "    bolt", "  crate1", "  crate2",
                             "  crate10", "  lamp", "  layer", "    rule_a", "    rule_b"}));
    // Closed at first.
    EXPECT_EQ(rows(true), (Names{"empty", "lights", "props"}));
}

TEST_F(Explorer, AttributeRowsAreMadeWhenAnObjectFirstOpens)
{
    GuiExplorer& explorer = make_explorer();
    int const key = row_of(m_key);
    GuiOfItemSpreadsheetRow* row = explorer.get_item_row(static_cast<unsigned int>(key));
    EXPECT_TRUE(row->has_children());
    EXPECT_FALSE(row->are_children_built());
    unsigned int const before = explorer.get_row_count();
    explorer.opened_rows_with_ofitem(CoreVector<OfItem*>{m_key});
    EXPECT_EQ(explorer.get_row_count(), before);
    EXPECT_TRUE(explorer.is_row_visible(row_of(m_key)));
    explorer.toggle_show_children(static_cast<unsigned int>(row_of(m_key)), true);
    EXPECT_EQ(explorer.get_row_count(), before + m_key->get_attr_count());
    GuiOfItemSpreadsheetRow* first = explorer.get_item_row(static_cast<unsigned int>(row_of(m_key)) + 1);
    EXPECT_EQ(first->get_kind(), GuiOfItemSpreadsheetRow::ROW_KIND_ATTR);
    EXPECT_EQ(first->get_item_name(), m_key->get_attr(0u)->get_name());
    EXPECT_TRUE(explorer.is_row_visible(row_of(m_key) + 1));
}

TEST_F(Explorer, OnlyLocalizedAttributesFollowTheirValues)
{
    GuiExplorer& explorer = make_explorer();
    explorer.set_display_only_localized_attrs(true);
    EXPECT_FALSE(explorer.get_item_row(static_cast<unsigned int>(row_of(m_key)))->has_children());
    OfAttr* attr = m_key->get_attr(0u);
    ASSERT_NE(attr, nullptr);
    ASSERT_TRUE(attr->set_values(attr->get_values()));  // its own values now
    pump_events(app());
    EXPECT_TRUE(explorer.get_item_row(static_cast<unsigned int>(row_of(m_key)))->has_children());
    explorer.toggle_show_children(static_cast<unsigned int>(row_of(m_key)), true);
    EXPECT_EQ(explorer.get_row_count(), 14u);
}

TEST_F(Explorer, OnlyContextsLeavesObjectsOut)
{
    make_explorer();
    as_explorer(m_sheet).set_display_only_contexts(true);
    EXPECT_EQ(rows(), (Names{"empty", "lights", "props", "  small"}));
    scene().create_object("Box", "crate4", m_props);
    scene().create_context("cellar", m_props);
    EXPECT_EQ(rows(), (Names{"empty", "lights", "props", "  cellar", "  small"}));
}

TEST_F(Explorer, SceneChangesTouchOnlyTheirRowsAndKeepOpenRows)
{
    GuiExplorer& explorer = make_explorer();
    explorer.opened_rows_with_ofitem(CoreVector<OfItem*>{m_bolt});
    scene().create_object("Box", "crate3", m_props);
    scene().create_object("Sphere", "axle", m_small);
    EXPECT_EQ(rows(true), (Names{"empty", "lights", "props", "  small", "    axle", "    bolt", "  crate1", "  crate2",
                                 "  crate3", "  crate10", "  lamp", "  layer"}));
    // A renamed context moves with its subtree, still open.
    ASSERT_TRUE(m_props->set_name("a_props"));
    EXPECT_EQ(rows(true).front(), "a_props");
    EXPECT_EQ(rows(true)[2], "    axle");
    // A moved context leaves its parent for its new one.
    ASSERT_TRUE(m_small->move_to(*m_empty));
    EXPECT_EQ(rows(true)[0], "a_props");
    EXPECT_EQ(rows()[row_of(m_small)], "  small");
    EXPECT_EQ(explorer.get_item_row(static_cast<unsigned int>(row_of(m_small)))->get_parent_index(), row_of(m_empty));
    // Removing a context removes its rows.
    unsigned int const before = explorer.get_row_count();
    ASSERT_TRUE(m_empty->remove());
    EXPECT_EQ(explorer.get_row_count(), before - 4);
    EXPECT_EQ(row_of(m_bolt), -1);
    ASSERT_TRUE(history().undo());
    EXPECT_NE(row_of(m_bolt), -1);
}

TEST_F(Explorer, FilteringATreeOpensTheParentsOfMatchesAndClearingRestores)
{
    GuiExplorer& explorer = make_explorer();
    explorer.set_filter_text("bolt");
    EXPECT_EQ(rows(true), (Names{"props", "  small", "    bolt"}));
    explorer.set_filter_text("rule_a");
    EXPECT_EQ(rows(true), (Names{"props", "  layer", "    rule_a"}));
    // Added while filtering: shown only when it passes.
    scene().create_object("Sphere", "rule_a2", m_small);
    scene().create_object("Sphere", "other", m_small);
    EXPECT_EQ(rows(true), (Names{"props", "  small", "    rule_a2", "  layer", "    rule_a"}));
    explorer.set_filter_text("");
    EXPECT_EQ(rows(true), (Names{"empty", "lights", "props"}));
}

TEST_F(Explorer, DeletingASelectionWithAttributeRowsIsOneStep)
{
    GuiExplorer& explorer = make_explorer();
    OfAttr* attr = m_bolt->get_attr(0u);
    ASSERT_TRUE(attr->set_values(attr->get_values()));
    history().clear();
    explorer.toggle_show_children(static_cast<unsigned int>(row_of(m_bolt)), true);
    pump_events(app());
    CoreVector<unsigned int> picked;
    picked.add(static_cast<unsigned int>(row_of(m_key)));
    picked.add(static_cast<unsigned int>(row_of(m_bolt)) + 1);  // bolt's first attribute, its own value
    explorer.set_selection_rows(picked, true, true);
    expect_undoable_change(scene(), "RemoveExplorerSelection", [&] { EXPECT_TRUE(explorer.delete_selection(true)); });
    EXPECT_FALSE(attr->is_local());
    EXPECT_FALSE(m_key->is_in_scene());
}

TEST_F(Explorer, ActionsCreateHideAndRefuseUnknownClasses)
{
    GuiExplorer& explorer = make_explorer();
    CoreString const& group = AppSelection::get_global_group_label();
    CoreString const& slot = AppSelection::get_global_slot_label();
    app().get_selection().set_slot_working_context(group, slot, *m_lights);
    expect_undoable_change(scene(), nullptr, [&] { explorer.run_action("Group"); });
    EXPECT_EQ(m_lights->get_objects().get_count(), 2u);
    LogRecorder log;
    EXPECT_EQ(explorer.create_item("Locator"), nullptr);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);

    CoreVector<unsigned int> picked;
    picked.add(static_cast<unsigned int>(row_of(m_props)));
    explorer.set_selection_rows(picked, true, true);
    explorer.run_action("Hide");
    EXPECT_TRUE(m_props->is_hidden());
    explorer.run_action("Show");
    EXPECT_FALSE(m_props->is_hidden());
}

TEST_F(Explorer, SettingsRoundTripColumnsOrderAndOpenRows)
{
    GuiExplorer& explorer = make_explorer();
    explorer.add_column_type(GuiOfItemSort::KEY_TYPE, "");
    explorer.add_column_type(GuiOfItemSort::KEY_COMMENT, "");
    explorer.set_column_width(2, 77);
    explorer.set_sort_type(GuiOfItemSort::KEY_NAME);  // name, descending
    explorer.opened_rows_with_ofitem(CoreVector<OfItem*>{m_small});
    ParserGroup settings;
    explorer.save_settings(settings);
    Names const shown = rows(true);

    GuiExplorer& other = make_explorer();
    other.load_settings(settings);
    m_sheet = &other;
    EXPECT_EQ(other.get_column_count(), 3);
    EXPECT_EQ(other.get_column_title(2), "Comment");
    EXPECT_EQ(other.get_column_width(2), 77);
    EXPECT_EQ(other.get_sort_order(), -1);
    EXPECT_EQ(rows(true), shown);
}

TEST_F(Explorer, DamagedSettingsAreReportedAndTheRestApplies)
{
    GuiExplorer& explorer = make_explorer();
    ParserGroup settings;
    settings.add_entry("tree_columns_type").add_int(0).add_int(99).add_int(3);
    settings.add_entry("tree_columns_width").add_string("wide");
    settings.add_entry("tree_sort_type").add_int(12);
    settings.add_entry("tree_sort_order").add_int(1);
    settings.add_entry("rows_expand").add_string("/props").add_int(3).add_string("/no/such/thing");
    LogRecorder log;
    explorer.load_settings(settings);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(explorer.get_column_count(), 2);
    EXPECT_EQ(explorer.get_column_title(1), "Type");
    EXPECT_EQ(explorer.get_sort_type(), GuiOfItemSort::KEY_NAME);
    EXPECT_TRUE(explorer.get_item_row(static_cast<unsigned int>(row_of(m_props)))->is_show_children());
}

TEST_F(Explorer, ARightButtonDropOntoTheItemsOwnContextOffersNoMove)
{
    make_explorer();
    CoreVector<OfItem*> lamp;
    lamp.add(m_lamp);
    EXPECT_FALSE(GuiItemActions::is_drop_action_allowed(GuiItemActions::DROP_ACTION_MOVE, lamp, m_props));
    EXPECT_TRUE(GuiItemActions::is_drop_action_allowed(GuiItemActions::DROP_ACTION_COPY, lamp, m_props));
    EXPECT_EQ(GuiItemActions::get_default_drop_action(lamp, m_lights), GuiItemActions::DROP_ACTION_MOVE);
}

TEST_F(Explorer, PausedEvaluationListsTheSceneOnceWhenResumed)
{
    GuiExplorer& explorer = make_explorer();
    explorer.enable_evaluation(false);
    scene().create_object("Box", "late", m_empty);
    EXPECT_EQ(row_of(scene().get_object("/empty/late")), -1);
    explorer.enable_evaluation(true);
    EXPECT_NE(row_of(scene().get_object("/empty/late")), -1);
}

TEST_F(Explorer, TheLayoutIsKeptInTheUsersPreferencesFile)
{
    GuiExplorer& explorer = make_explorer();
    explorer.add_column_type(GuiOfItemSort::KEY_COMMENT, "");
    explorer.opened_rows_with_ofitem(CoreVector<OfItem*>{m_bolt});
    Names const shown = rows(true);
    SysTempFolder folder;
    CoreString const file = folder / "preferences.cfg";
    // The explorer on screen writes its layout when the preferences are saved.
    ASSERT_TRUE(app().save_preferences(file));
    app().set_class_preference(GuiExplorerPreference::get_key(), nullptr);
    app().load_preferences(file);

    GuiExplorer& next = make_explorer();
    m_sheet = &next;
    EXPECT_EQ(next.get_column_count(), 2);
    EXPECT_EQ(rows(true), shown);
}

TEST_F(Explorer, EnteringAContextSelectsItsRowEverywhere)
{
    GuiExplorer& explorer = make_explorer();
    explorer.enter_into_context(*m_small);
    pump_events(app());
    EXPECT_TRUE(explorer.is_row_selected(row_of(m_small)));
    EXPECT_TRUE(explorer.is_row_visible(row_of(m_small)));
    CoreVector<OfItem*> const selected = app().get_selection().get_items(AppSelection::get_global_group_label(),
                                                                          AppSelection::get_global_slot_label());
    ASSERT_EQ(selected.get_count(), 1u);
    EXPECT_EQ(selected[0], m_small);
}
