// The bookmark bar: the stored list and its settings entries, every view of the class
// following additions, removals and edits, going back to a viewpoint by a click, the
// "Bookmark" dialog, the actions on the bookmark under the pointer, and keeping the list in
// the user's preferences file.
#include <gtest/gtest.h>

#include <functional>

#include "gui/fields/gui_line_edit.h"
#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_bookmark.h"
#include "gui/panels/gui_input_dialog.h"
#include "host/app/app_preferences.h"
#include "host/parser/parser_group.h"
#include "tests/gui_nodal/gui_nodal_test_graph.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

class GuiNodalBookmarkBarTest : public NodalTestBase<> {
protected:
    void SetUp() override
    {
        NodalTestBase<>::SetUp();
        graph().clear_bookmarks();
    }
    void TearDown() override
    {
        graph().clear_bookmarks();
        NodalTestBase<>::TearDown();
    }
    // Names of a view's buttons, in bar order.
    static std::vector<std::string> names(GuiNodal& view)
    {
        std::vector<std::string> result;
        for (GuiNodalBookmark* bookmark : view.get_bookmark_buttons()) result.push_back(bookmark->get_name().std_string());
        return result;
    }
    // The middle of a button, in widget pixels.
    static GMathVec2<int> middle(GuiNodalBookmark const& bookmark)
    {
        GMathVec2<int> const& pos = bookmark.get_world_pos();
        return GMathVec2<int>(pos[0] + bookmark.get_width() / 2, -pos[1] + bookmark.get_height() / 2);
    }
};

}  // namespace

TEST(GuiNodalBookmarkPreferenceTest, EntriesHoldNameColourViewpointAndBlindData)
{
    GuiNodalBookmarkPreference written;
    written.get_bookmarks().push_back({"front", {1, 0, 0}, {10.5, -20, 0.5}, ""});
    written.get_bookmarks().push_back({"back", {0, 1, 1}, {0, 0, 1}, "app data"});
    ParserGroup group;
    written.save(group);
    ASSERT_EQ(group.get_entry_count(), 2u);
    EXPECT_EQ(group.get_entry(0u)->get_value_count(), 7u) << "no blind data, no eighth value";
    EXPECT_EQ(group.get_entry(1u)->get_value_count(), 8u);

    // A malformed entry between them is left out; the others are appended to what is held.
    group.add_entry("bookmark").add_string("broken").add_double(1.0);
    GuiNodalBookmarkPreference read;
    read.get_bookmarks().push_back({"kept", {1, 1, 1}, {0, 0, 1}, ""});
    LogRecorder log;
    EXPECT_FALSE(read.load(group));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    ASSERT_EQ(read.get_bookmarks().size(), 3u);
    EXPECT_EQ(read.get_bookmarks()[1].name, "front");
    EXPECT_EQ(read.get_bookmarks()[1].viewpoint, GMathVec3<double>(10.5, -20, 0.5));
    EXPECT_EQ(read.get_bookmarks()[2].color, GMathVec3<double>(0, 1, 1));
    EXPECT_EQ(read.get_bookmarks()[2].blind_data, "app data");
}

TEST_F(GuiNodalBookmarkBarTest, EveryViewOfTheClassFollowsTheList)
{
    GuiNodal other(make_window(300, 200), 0, 0, 300, 200, false, false);
    EXPECT_TRUE(graph().add_bookmark("one", GuiNodal::get_bookmark_color(0)));
    EXPECT_TRUE(other.add_bookmark("two", GuiNodal::get_bookmark_color(1)));
    EXPECT_TRUE(graph().add_bookmark("three", GuiNodal::get_bookmark_color(2)));
    EXPECT_EQ(names(graph()), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(names(other), names(graph()));

    // The bar: stacked downwards with gaps, one width for all.
    auto const& bar = graph().get_bookmark_buttons();
    EXPECT_EQ(bar[0]->get_width(), bar[2]->get_width());
    EXPECT_EQ(bar[1]->get_world_pos()[1],
              bar[0]->get_world_pos()[1] - bar[0]->get_height() - GuiNodal::BOOKMARK_GAP);

    EXPECT_TRUE(other.remove_bookmark(0));
    EXPECT_EQ(names(graph()), (std::vector<std::string>{"two", "three"}));
    EXPECT_EQ(graph().get_bookmark_buttons()[1]->get_id(), 1u) << "ids follow the list";
    EXPECT_TRUE(graph().edit_bookmark(1, "drei", GuiNodal::get_bookmark_color(4)));
    EXPECT_EQ(names(other), (std::vector<std::string>{"two", "drei"}));

    LogRecorder log;
    EXPECT_FALSE(graph().remove_bookmark(5));
    EXPECT_FALSE(graph().add_bookmark("", GuiNodal::get_bookmark_color(0)));
    EXPECT_FALSE(graph().edit_bookmark(0, "", GuiNodal::get_bookmark_color(0)));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    EXPECT_EQ(names(other), (std::vector<std::string>{"two", "drei"}));
    graph().clear_bookmarks();
    EXPECT_TRUE(other.get_bookmark_buttons().empty());
}

TEST_F(GuiNodalBookmarkBarTest, AClickOnAButtonGoesBackToItsViewpoint)
{
    graph().set_zoom_ratio(0.5f);
    graph().set_view_pos(GMathVec2<float>(300.0f, -400.0f));
    GMathVec4<int> const saved = graph().get_view_area();
    float const saved_ratio = graph().get_zoom_ratio();
    ASSERT_TRUE(graph().add_bookmark("here", GuiNodal::get_bookmark_color(0)));
    graph().set_zoom_ratio(1.0f);
    graph().set_view_pos(GMathVec2<float>(-900.0f, 50.0f));
    // A fit under way stops where the click takes the view; listeners hear of the change.
    graph().set_smooth_transitions(true);
    graph().go_to_view(GMathVec2<float>(5000.0f, 5000.0f), 2.0f);
    int changes = 0;
    graph().connect(graph(), EVT_ID_NODAL_VIEW_CHANGED, [&changes] { ++changes; });

    graph().on_press(middle(*graph().get_bookmark_buttons()[0]), Gui::MOUSE_BUTTON_ID_LEFT, false, false, false);
    pump_events(app(), 0.6);
    EXPECT_EQ(changes, 1);
    EXPECT_NEAR(graph().get_zoom_ratio(), saved_ratio, 0.01f);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(graph().get_view_area()[i], saved[i], 3) << i;
    EXPECT_EQ(graph().get_state(), GuiNodal::GRAPH_STATE_IDLE);
}

TEST_F(GuiNodalBookmarkBarTest, TheDialogProposesANameAndColourAndTheActionsActUnderThePointer)
{
    graph().add_bookmark("first", GuiNodal::get_bookmark_color(0));
    app().add_timer(
        [](void* data) {
            GuiInputDialog* dialog = static_cast<GuiNodal*>(data)->get_open_dialog();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->get_title(), "Bookmark");
            GuiLineEdit* name = nullptr;
            GuiListButton* color = nullptr;
            for (GuiWidget* child : dialog->get_children()) {
                if (child->is_kindof(GuiLineEdit::class_info())) name = static_cast<GuiLineEdit*>(child);
                if (child->is_kindof(GuiListButton::class_info())) color = static_cast<GuiListButton*>(child);
            }
            ASSERT_TRUE(name && color);
            EXPECT_EQ(name->get_text(), "mark2");
            EXPECT_EQ(color->get_selected_label(), "Green") << "the second colour of the cycle";
            name->set_text("second");
            dialog->accept();
        },
        &graph(), 0.05);
    EXPECT_TRUE(graph().run_action("bookmark"));
    ASSERT_EQ(names(graph()), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(graph().get_bookmarks().get_bookmarks()[1].color, GMathVec3<double>(0, 1, 0));

    // Update takes the current viewpoint; remove takes the button under the pointer.
    graph().set_view_pos(GMathVec2<float>(500.0f, 500.0f));
    GMathVec2<int> const over_first = middle(*graph().get_bookmark_buttons()[0]);
    graph().on_hover(over_first);
    EXPECT_TRUE(graph().get_bookmark_buttons()[0]->get_is_highlighted());
    graph().run_action("bk_update");
    GuiNodalBookmarkData updated;
    graph().bookmark_viewpoint(updated);
    EXPECT_EQ(graph().get_bookmarks().get_bookmarks()[0].viewpoint, updated.viewpoint);
    graph().run_action("bk_remove");
    EXPECT_EQ(names(graph()), (std::vector<std::string>{"second"}));
    graph().on_hover(GMathVec2<int>(250, 250));
    graph().run_action("bk_remove");  // nothing under the pointer
    EXPECT_EQ(names(graph()), (std::vector<std::string>{"second"}));

    graph().on_hover(middle(*graph().get_bookmark_buttons()[0]));
    GuiMenu* menu = graph().build_popup_menu(nullptr);
    EXPECT_NE(menu->get_item("Delete All"), nullptr);
    EXPECT_NE(menu->get_item("Update"), nullptr);
}

TEST_F(GuiNodalBookmarkBarTest, TheListIsKeptInThePreferencesFile)
{
    SysTempFolder folder;
    CoreString const path = folder / "preferences.cfg";
    graph().add_bookmark("saved", GuiNodal::get_bookmark_color(3));
    ASSERT_TRUE(app().save_preferences(path));
    // A fresh list, as at the next start: registering it reads the file's group back.
    ASSERT_TRUE(app().get_preferences().load(path));
    app().set_class_preference(graph().get_bookmark_key(), new GuiNodalBookmarkPreference());
    GuiNodalBookmarkPreference& again = graph().get_bookmarks();
    ASSERT_EQ(again.get_bookmarks().size(), 1u);
    EXPECT_EQ(again.get_bookmarks()[0].name, "saved");
    EXPECT_EQ(again.get_bookmarks()[0].color, GMathVec3<double>(1, 1, 1));
    graph().init_bookmarks();
    EXPECT_EQ(names(graph()), (std::vector<std::string>{"saved"}));
}
