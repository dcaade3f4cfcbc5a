// Drop-down lists: choices from code, the menu and the keys, lists in a toolbar.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <vector>

#include "gui/menus/gui_list_button.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/panels/gui_toolbar.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/log_recorder.h"

namespace {

class ListButtonTest : public ControlsTest {
protected:
    void TearDown() override
    {
        GuiPopup::close_all_popups();
        ControlsTest::TearDown();
    }
    GuiListButton& make_list(CoreVector<CoreString> const& items = {"Smooth", "Flat", "Wireframe"})
    {
        GuiListButton& list = shown(new GuiListButton(window(), 20, 20, 120, 20, "Shading"));
        list.set_items(items);
        m_log.listen(list, {&EVT_ID_LIST_BUTTON_SELECTION_CHANGED});
        return list;
    }
    int changes() const { return m_log.count(EVT_ID_LIST_BUTTON_SELECTION_CHANGED); }
};

}  // namespace

TEST_F(ListButtonTest, TheChoiceFromCodeShowsItsEntryAndRaisesNothing)
{
    GuiListButton& list = make_list();
    EXPECT_TRUE(list.select_item("Flat"));
    EXPECT_EQ(list.get_label(), "Flat");
    EXPECT_FALSE(list.select_item("Points"));
    LogRecorder log;
    EXPECT_FALSE(list.set_selected_index(3));
    EXPECT_FALSE(list.set_selected_index(-2));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << "an index outside the list is refused";
    EXPECT_EQ(list.get_selected_index(), 1);
    EXPECT_TRUE(list.set_selected_index(-1));
    EXPECT_EQ(list.get_label(), "Shading") << "the placeholder while nothing is chosen";
    EXPECT_EQ(changes(), 0);
}

TEST_F(ListButtonTest, ANewListKeepsTheChoiceByItsLabel)
{
    struct {
        CoreVector<CoreString> items;
        int index;
    } const cases[] = {{{"Points", "Flat"}, 1}, {{"Points", "Lines"}, -1}, {{}, -1}};
    for (auto const& c : cases) {
        GuiListButton& list = make_list();
        list.select_item("Flat");
        list.set_items(c.items);
        EXPECT_EQ(list.get_selected_index(), c.index) << c.items.get_count() << " entries";
        EXPECT_EQ(list.get_label(), c.index < 0 ? "Shading" : "Flat");
    }
}

TEST_F(ListButtonTest, AClickOrSpaceOpensTheListWithTheChoiceCheckedAndAPickIsChosen)
{
    struct {
        bool by_click;
        int picked;
        int changes;
    } const cases[] = {{true, 2, 1}, {false, 0, 0}};  // picking the entry already chosen is no change
    for (auto const& c : cases) {
        GuiListButton& list = make_list();
        list.set_selected_index(0);
        m_log.clear();
        list.set_focus();
        c.by_click ? click(list, 40, 30) : key_down(list, ' ');
        GuiMenu& menu = *list.get_menu();
        ASSERT_TRUE(menu.is_shown());
        EXPECT_TRUE(list.get_value()) << "the button stays down while its list is open";
        EXPECT_TRUE(menu.get_items()[0]->is_checked() && !menu.get_items()[2]->is_checked());
        click_menu_row(menu, c.picked);
        EXPECT_FALSE(menu.is_shown() || list.get_value());
        EXPECT_EQ(list.get_selected_index(), c.picked);
        EXPECT_EQ(changes(), c.changes);
    }
}

TEST_F(ListButtonTest, KeysStepThroughTheListAndStopAtItsEnds)
{
    CoreVector<CoreString> const abc{"A", "B", "C"};
    struct {
        std::vector<int> keys;
        int index;
        int changes;
        CoreVector<CoreString> items;
        bool focused = true, enabled = true;
    } const cases[] = {
        {{FL_Down}, 0, 1, abc},
        {{FL_Down, FL_Down, FL_Down, FL_Down}, 2, 3, abc},  // no event past the end
        {{FL_Up}, 0, 1, abc},
        {{FL_End, FL_Up}, 1, 2, abc},
        {{FL_End, FL_Home}, 0, 2, abc},
        {{FL_Down}, -1, 0, abc, false},        // without the focus
        {{FL_Down}, -1, 0, abc, true, false},  // disabled
        {{FL_Down, FL_End}, -1, 0, {}},        // empty
    };
    for (auto const& c : cases) {
        GuiListButton& list = make_list(c.items);
        if (c.focused) list.set_focus();
        list.set_enable(c.enabled);
        m_log.clear();
        for (int key : c.keys) key_down(list, key);
        EXPECT_EQ(list.get_selected_index(), c.index) << &c - cases;
        EXPECT_EQ(changes(), c.changes) << &c - cases;
    }
}

class ToolbarListTest : public ListButtonTest {
protected:
    void SetUp() override
    {
        ListButtonTest::SetUp();
        m_bar = new GuiToolbar(window(), 0, 100, 400, "View");
        m_bar->set_minimizable(false);
        m_bar->show();
        m_bar->create_button("Home", "", GuiToolbar::ANCHOR_LEFT);
        m_list = m_bar->create_list_button("Display Mode", 90, GuiToolbar::ANCHOR_LEFT);
        m_list->set_items({"Shaded", "Wireframe", "Bounds"});
        m_log.listen(*m_list, {&EVT_ID_LIST_BUTTON_SELECTION_CHANGED});
        pump_events(app());
    }
    GuiToolbar* m_bar = nullptr;
    GuiListButton* m_list = nullptr;
};

TEST_F(ToolbarListTest, OverflowsIntoASubMenuThatChoosesForIt)
{
    m_list->select_item("Wireframe");
    m_bar->resize(0, 100, 60, 22);
    pump_events(app());
    EXPECT_FALSE(m_list->is_shown());
    GuiMenu& addon = *m_bar->get_addon_menu();
    ASSERT_EQ(addon.get_items().get_count(), 1u);
    EXPECT_EQ(addon.get_items()[0]->get_name(), "Display Mode");
    GuiMenu* sub = addon.get_items()[0]->get_sub_menu();
    ASSERT_EQ(sub, m_list->get_menu());
    EXPECT_TRUE(sub->get_items()[1]->is_checked());
    sub->popup(100, 100);
    click_menu_row(*sub, 2);
    EXPECT_EQ(m_list->get_selected_label(), "Bounds");
    EXPECT_EQ(changes(), 1);
}

TEST_F(ToolbarListTest, EmptyingTheBarDestroysTheListButKeepsMenuButtons)
{
    GuiMenuButton* menu = m_bar->create_menu("File", GuiToolbar::ANCHOR_LEFT);
    m_bar->remove_all();
    EXPECT_TRUE(m_list->is_destroyed());
    EXPECT_FALSE(menu->is_destroyed());
}
