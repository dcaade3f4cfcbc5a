// Drop-down lists: the list and its choice from code, choices by the user through the menu
// and the keys (and the events only those raise), the arrow, and lists in a toolbar that
// keep their width and overflow into the add-on menu.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <string>
#include <vector>

#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_push_button.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui_color_scheme.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/log_recorder.h"

namespace {

class ListButtonTest : public ControlsTest {
protected:
    void TearDown() override
    {
        GuiPopup::close_all_popups();
        ControlsTest::TearDown();
    }
    GuiListButton& make_list(int x = 20, int y = 20, int w = 120)
    {
        GuiListButton& list = shown(new GuiListButton(window(), x, y, w, 20, "Shading"));
        list.set_items({"Smooth", "Flat", "Wireframe"});
        m_log.listen(list, {&EVT_ID_LIST_BUTTON_SELECTION_CHANGED});
        return list;
    }
    int changes() const { return m_log.count(EVT_ID_LIST_BUTTON_SELECTION_CHANGED); }
};

}  // namespace

TEST_F(ListButtonTest, TheChoiceFromCodeFollowsTheListAndRaisesNothing)
{
    GuiListButton& list = make_list();
    EXPECT_EQ(list.get_selected_index(), -1);
    EXPECT_EQ(list.get_label(), "Shading") << "the placeholder while nothing is chosen";

    EXPECT_TRUE(list.select_item("Flat"));
    EXPECT_EQ(list.get_selected_index(), 1);
    EXPECT_EQ(list.get_label(), "Flat");
    EXPECT_FALSE(list.select_item("Points"));
    EXPECT_EQ(list.get_selected_label(), "Flat");

    {
        LogRecorder log;
        EXPECT_FALSE(list.set_selected_index(3));
        EXPECT_FALSE(list.set_selected_index(-2));
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    }
    EXPECT_EQ(list.get_selected_index(), 1);

    // A new list keeps the choice by its label, wherever it moved to; without it, none.
    list.set_items({"Points", "Flat"});
    EXPECT_EQ(list.get_selected_index(), 1);
    list.set_items({"Points", "Lines"});
    EXPECT_EQ(list.get_selected_index(), -1);
    EXPECT_EQ(list.get_label(), "Shading");
    list.add_item("Flat");
    EXPECT_EQ(list.get_item_count(), 3u);
    EXPECT_EQ(list.get_item_label(2), "Flat");
    EXPECT_EQ(list.get_item_label(3), "");
    EXPECT_TRUE(list.set_selected_index(2));
    EXPECT_TRUE(list.set_selected_index(-1));
    EXPECT_EQ(list.get_label(), "Shading");
    EXPECT_EQ(changes(), 0);
}

TEST_F(ListButtonTest, AClickOpensTheListWithTheChoiceCheckedAndAPickedEntryIsChosen)
{
    GuiListButton& list = make_list();
    list.set_selected_index(0);
    click(list, 40, 30);
    GuiMenu& menu = *list.get_menu();
    ASSERT_TRUE(menu.is_shown());
    EXPECT_TRUE(list.get_value()) << "the button stays down while its list is open";
    ASSERT_EQ(menu.get_items().get_count(), 3u);
    EXPECT_TRUE(menu.get_items()[0]->is_checked());
    EXPECT_FALSE(menu.get_items()[2]->is_checked());

    click_menu_row(menu, 2);
    EXPECT_FALSE(menu.is_shown());
    EXPECT_FALSE(list.get_value());
    EXPECT_EQ(list.get_selected_label(), "Wireframe");
    EXPECT_EQ(changes(), 1);

    // Picking the entry already chosen is no change.
    click(list, 40, 30);
    ASSERT_TRUE(menu.is_shown());
    EXPECT_TRUE(menu.get_items()[2]->is_checked());
    EXPECT_FALSE(menu.get_items()[0]->is_checked());
    click_menu_row(menu, 2);
    EXPECT_EQ(changes(), 1);
}

TEST_F(ListButtonTest, KeysStepThroughTheListAndStopAtItsEnds)
{
    GuiListButton& list = make_list();
    key_down(list, FL_Down);
    EXPECT_EQ(list.get_selected_index(), -1) << "keys need the focus";
    list.set_focus();
    key_down(list, FL_Down);
    EXPECT_EQ(list.get_selected_index(), 0) << "the first step from no choice takes the first entry";
    key_down(list, FL_Down);
    key_down(list, FL_Down);
    EXPECT_EQ(list.get_selected_index(), 2);
    key_down(list, FL_Down);
    EXPECT_EQ(list.get_selected_index(), 2);
    EXPECT_EQ(changes(), 3) << "no event for the step past the end";
    key_down(list, FL_Home);
    EXPECT_EQ(list.get_selected_index(), 0);
    key_down(list, FL_Up);
    EXPECT_EQ(changes(), 4);
    key_down(list, FL_End);
    EXPECT_EQ(list.get_selected_label(), "Wireframe");

    key_down(list, ' ');
    EXPECT_TRUE(list.get_menu()->is_shown());
    list.get_menu()->hide();

    // An empty list takes the keys without choosing anything.
    list.clear_items();
    m_log.clear();
    key_down(list, FL_Down);
    key_down(list, FL_End);
    EXPECT_EQ(list.get_selected_index(), -1);
    EXPECT_EQ(changes(), 0);

    // A disabled list ignores them.
    list.set_items({"A", "B"});
    list.set_selected_index(0);
    list.set_enable(false);
    key_down(list, FL_Down);
    EXPECT_EQ(list.get_selected_index(), 0);
}

TEST_F(ListButtonTest, TheArrowIsDrawnAtTheRightEnd)
{
    GuiListButton& list = make_list(20, 20, 120);
    pump_events(app());
    int w = 0, h = 0;
    std::vector<unsigned char> const rgb = read_window_rgb(window(), w, h);
    ASSERT_GT(w, 0);
    GMathVec3<unsigned char> const text =
        list.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BUTTON_TEXT);
    // The tip of the arrow, centred in its zone.
    int const cx = 20 + 120 - GuiListButton::ARROW_ZONE_WIDTH + GuiListButton::ARROW_ZONE_WIDTH / 2;
    EXPECT_EQ(pixel_at(rgb, w, cx, 20 + 10), text);
    EXPECT_NE(pixel_at(rgb, w, cx, 20 + 4), text);
}

TEST_F(ListButtonTest, AToolbarListKeepsItsWidthAndOverflowsIntoASubMenuThatChoosesForIt)
{
    GuiToolbar* bar = new GuiToolbar(window(), 0, 100, 400, "View");
    bar->set_minimizable(false);
    bar->show();
    bar->create_button("Home", "", GuiToolbar::ANCHOR_LEFT);
    GuiListButton* list = bar->create_list_button("Display Mode", 90, GuiToolbar::ANCHOR_LEFT);
    list->set_items({"Shaded", "Wireframe", "Bounds"});
    m_log.listen(*list, {&EVT_ID_LIST_BUTTON_SELECTION_CHANGED});
    pump_events(app());
    EXPECT_EQ(list->get_width(), 90);
    EXPECT_EQ(list->get_tooltip(), "Display Mode");
    EXPECT_FALSE(list->is_focus_receiver());
    int content = 0, h = 0;
    bar->get_content_size(content, h);
    list->select_item("Wireframe");
    bar->rebuild_layout();
    int after = 0;
    bar->get_content_size(after, h);
    EXPECT_EQ(after, content) << "a longer entry does not widen the item";
    EXPECT_EQ(list->get_width(), 90);

    // Narrowed, the list moves into the add-on menu under its tooltip.
    bar->resize(0, 100, 60, 22);
    pump_events(app());
    EXPECT_FALSE(list->is_shown());
    GuiMenu& addon = *bar->get_addon_menu();
    ASSERT_EQ(addon.get_items().get_count(), 1u);
    EXPECT_EQ(addon.get_items()[0]->get_name(), "Display Mode");
    GuiMenu* sub = addon.get_items()[0]->get_sub_menu();
    ASSERT_EQ(sub, list->get_menu());
    EXPECT_TRUE(sub->get_items()[1]->is_checked());

    // A choice in that sub-menu is the list's.
    sub->popup(100, 100);
    click_menu_row(*sub, 2);
    EXPECT_EQ(list->get_selected_label(), "Bounds");
    EXPECT_EQ(changes(), 1);

    // Emptying the bar destroys the list like any owned item; menu buttons stay.
    GuiMenuButton* menu = bar->create_menu("File", GuiToolbar::ANCHOR_LEFT);
    bar->remove_all();
    EXPECT_TRUE(list->is_destroyed());
    EXPECT_FALSE(menu->is_destroyed());
}
