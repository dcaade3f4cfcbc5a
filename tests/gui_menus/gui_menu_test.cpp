// Menus: filtering, placement, the "more ..." overflow, keys, clicks, sub-menus and menu bars.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include <cstring>
#include <string>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "host/app/app_preferences.h"
#include "tests/gui_controls/controls_test_util.h"

namespace {

Names g_runs;

void record_run(GuiWidget&, GuiAction const& action, void*)
{
    g_runs.push_back(action.get_name().std_string());
}

// Menus wait for the application's preference before opening a sub-menu.
void set_sub_menu_show_delay(long milliseconds)
{
    GuiApp& app = gui_test_app();
    app.init_preferences();
    app.get_preferences().get_category("user_interface")->set_long_value("sub_menu_show_delay", milliseconds);
}

std::string name_of(GuiMenuItem const* item)
{
    return item ? item->get_name().std_string() : "(none)";
}

Names row_names(GuiMenu const& menu)
{
    Names names;
    for (GuiMenuItem* item : menu.get_displayed_items()) names.push_back(name_of(item));
    return names;
}

// Keys typed in the menu: letters, and '\b' for Backspace, '+' Down, '-' Up, '>' Right.
void type(GuiMenu& menu, std::string const& keys)
{
    for (char c : keys) {
        int const key = c == '\b'  ? FL_BackSpace
                        : c == '+' ? FL_Down
                        : c == '-' ? FL_Up
                        : c == '>' ? FL_Right
                                   : c;
        key_down(menu, key, key == c ? std::string(1, c) : "");
    }
}

class MenuTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        g_runs.clear();
    }
    void TearDown() override
    {
        GuiPopup::close_all_popups();
        set_sub_menu_show_delay(250);
        ControlsTest::TearDown();
    }
    // A menu of the window with the named items, whose events go to m_log.
    GuiMenu& make_menu(Names const& items = {}, unsigned max_lines = 40)
    {
        GuiMenu* menu = new GuiMenu(&window());
        menu->set_max_line_count(max_lines);
        for (std::string const& name : items) menu->add_item(name.c_str());
        m_log.listen(*menu, {&EVT_ID_MENU_SHOW, &EVT_ID_MENU_HIDE, &EVT_ID_MENU_FOCUS_OUT, &EVT_ID_MENU_CLICK,
                             &EVT_ID_MENU_KEY_PRESSED, &EVT_ID_MENU_SELECTION_CHANGED});
        return *menu;
    }
    // Shows the menu and forgets the events raised so far.
    GuiMenu& open(GuiMenu& menu)
    {
        menu.popup(100, 100);
        m_log.clear();
        return menu;
    }
    // Two lines: Item 0, Item 1 and "more ..." holding Item 2.
    GuiMenu& make_overflowing_menu() { return make_menu({"Item 0", "Item 1", "Item 2"}, 2); }
    // New Window, Close Window and Render (a sub-menu holding Render Window), open and filtering.
    GuiMenu& open_filtering_menu()
    {
        GuiMenu& menu = make_menu({"New Window", "Close Window"});
        menu.set_enable_filter(true);
        menu.add_sub_menu("Render")->add_item("Render Window");
        return open(menu);
    }
};

}  // namespace

TEST(MenuFilter, MatchesWordStartsCamelCaseAndAcronyms)
{
    struct {
        char const* name;
        char const* filter;
        bool visible;
    } const cases[] = {
        {"New Window", "nw", true},       // acronym
        {"New Window", "win", true},      // word start
        {"New Window", "ndow", false},    // inside a word
        {"New Window", "wi ne", true},    // every word, any order
        {"New Window", "wi x", false},    // each word must be found
        {"openSceneFile", "file", true},  // camel-case hump
        {"motion_blur_samples", "mbs", true},
        {"motion_blur_samples", "msb", false},  // initials in order
        {"Anything", "", true},
        {"", "a", false},
        {"Save As...", "AS", true},  // the filter's case does not matter
        {"Render", "r x", false},    // a one-letter acronym is no acronym
    };
    for (auto const& c : cases)
        EXPECT_EQ(GuiMenu::is_visible_by_filter(c.name, c.filter), c.visible) << c.name << " / " << c.filter;
}

TEST_F(MenuTest, ItemsPastTheMaximumLineCountGoToMore)
{
    GuiMenu& menu = make_menu({}, 5);
    for (int i = 0; i < 12; ++i) menu.add_item(CoreString("Item ") + i);
    GuiMenu* overflow = menu.get_more_menu();
    EXPECT_EQ(row_names(menu), (Names{"Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "more ..."}));
    EXPECT_EQ(overflow->get_items().get_count(), 6u) << "the overflow overflows in turn";
    EXPECT_EQ(menu.get_item("Item 11")->get_holding_menu(), overflow->get_more_menu());
    menu.disable_all_items();
    EXPECT_TRUE(menu.get_item("Item 11")->is_disabled()) << "in the overflow too";
}

TEST_F(MenuTest, TheOverflowsEventsAreItsMenus)
{
    GuiMenu& menu = open(make_overflowing_menu());
    GuiMenu* more = menu.get_more_menu();
    more->popup(300, 100);
    more->focus_out();
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_SHOW", "EVT_ID_MENU_FOCUS_OUT", "EVT_ID_MENU_HIDE"}));
    more->popup(300, 100);
    m_log.clear();
    click_menu_row(*more, 0);
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 1);
    EXPECT_EQ(name_of(menu.get_last_selected_item()), "Item 2");
}

TEST_F(MenuTest, AMenuButtonStaysDownWhenOnlyTheOverflowCloses)
{
    GuiMenuButton* button = new GuiMenuButton(window(), 0, 0, 50, 20, "File");
    button->show();
    button->set_menu(&make_overflowing_menu());
    button->push();
    type(*button->get_menu(), "+++>");
    key_down(*button->get_menu()->get_more_menu(), FL_Left);
    EXPECT_TRUE(button->get_value());
    key_down(*button->get_menu(), FL_Escape);
    EXPECT_FALSE(button->get_value());
}

TEST_F(MenuTest, AMenuTallerThanTheWorkAreaOverflowsAndFitsInIt)
{
    GuiMenu* menu = new GuiMenu(&window());
    for (int i = 0; i < 200; ++i) menu->add_item(CoreString("Item ") + i);
    menu->popup(0, 0);
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h, 0, 0);
    EXPECT_NE(menu->get_more_menu(), nullptr);
    EXPECT_LE(menu->get_height(), h);
}

TEST_F(MenuTest, ArrowsSkipSeparatorsAndDisabledItemsWithoutWrapping)
{
    GuiMenu& menu = make_menu({"A"});
    menu.add_separator("group");
    menu.add_item("B")->disable();
    menu.add_item("C");
    struct {
        char const* keys;
        char const* lit;
        int changes;
    } const cases[] = {
        {"+", "A", 1},  {"++", "C", 2},  {"+++", "C", 2},  // no wrap-around
        {"-", "C", 1},                                     // from nothing, Up starts at the last item
        {"--", "A", 2}, {"---", "A", 2},
    };
    for (auto const& c : cases) {
        type(open(menu), c.keys);
        EXPECT_EQ(name_of(menu.get_highlighted_item()), c.lit) << c.keys;
        EXPECT_EQ(m_log.count(EVT_ID_MENU_SELECTION_CHANGED), c.changes) << c.keys;
    }
}

TEST_F(MenuTest, EnterPicksTheHighlightedItemAndEscapeClosesTheMenu)
{
    GuiMenu& menu = make_menu({"A", "B"});
    type(open(menu), "++");
    m_log.clear();
    key_down(menu, FL_Enter);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_FOCUS_OUT", "EVT_ID_MENU_HIDE", "EVT_ID_MENU_CLICK"}));
    EXPECT_EQ(name_of(menu.get_last_selected_item()), "B");
    key_down(open(menu), FL_Escape);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_FOCUS_OUT", "EVT_ID_MENU_HIDE"}));
}

TEST_F(MenuTest, AMoveOfAStillPointerLeavesTheKeyboardHighlight)
{
    GuiMenu& menu = open(make_menu({"A", "B"}));
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(0, y, h));
    mouse_move(menu, 30, y + h / 2);
    key_down(menu, FL_Down);
    // Windows coming and going under the pointer make the toolkit report moves too.
    mouse_move(menu, 30, y + h / 2);
    EXPECT_EQ(name_of(menu.get_highlighted_item()), "B");
}

TEST_F(MenuTest, AClickedActionRunsClosesTheMenuAndCanBeRepeated)
{
    GuiMenu& menu = make_menu();
    GuiAction* save = window().register_action("Save", &record_run, "ctrl+s");
    menu.add_item(*save);
    EXPECT_FALSE(menu.repeat_last_action()) << "nothing to repeat yet";
    click_menu_row(open(menu), 0);
    EXPECT_FALSE(menu.is_shown());
    EXPECT_TRUE(menu.repeat_last_action());
    EXPECT_EQ(g_runs, (Names{"Save", "Save"}));
}

TEST_F(MenuTest, ClicksToggleCheckMarksAndRadioGroupsKeepOneChecked)
{
    GuiMenu& menu = make_menu({"Grid", "Flat", "Smooth"});
    CoreVector<GuiMenuItem*> const items = menu.get_items();
    items[0]->set_checkable(true);
    GuiMenuRadioGroup* shading = menu.create_radio_group();
    items[1]->set_radio_group(shading);
    items[2]->set_radio_group(shading);
    struct {
        std::vector<int> clicks;
        char const* checked;
    } const cases[] = {
        {{0}, "Grid Flat "}, {{0, 0}, "Flat "}, {{2}, "Smooth "}, {{2, 2}, "Smooth "}, {{1}, "Flat "},
    };
    for (auto const& c : cases) {
        items[0]->check(false);
        items[1]->check(true);
        for (int row : c.clicks) click_menu_row(open(menu), row);
        std::string checked;
        for (GuiMenuItem* item : items) checked += item->is_checked() ? name_of(item) + " " : "";
        EXPECT_EQ(checked, c.checked) << "clicks on row " << c.clicks[0];
    }
    items[1]->check(false);
    EXPECT_TRUE(items[1]->is_checked()) << "unchecking a radio item does nothing";
}

TEST_F(MenuTest, ADisabledItemOrAReleaseWithoutPressPicksNothing)
{
    GuiMenu& menu = make_menu({"On", "Off"});
    menu.get_items()[1]->disable();
    click_menu_row(open(menu), 1);
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(0, y, h));
    mouse_up(menu, 30, y + h / 2);  // as the release of the press that opened the menu
    EXPECT_TRUE(menu.is_shown());
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 0);
}

TEST_F(MenuTest, ASubMenuOpensAfterThePointerRestsOnItsItem)
{
    GuiMenu& menu = make_menu({"First"});
    GuiMenu* sub = menu.add_sub_menu("Sub");
    set_sub_menu_show_delay(100);
    open(menu);
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(1, y, h));
    mouse_move(menu, 30, y + h / 2);
    pump_events(app(), 0.05);
    EXPECT_FALSE(sub->is_shown()) << "still within the delay";
    pump_events(app(), 0.15);
    EXPECT_EQ(menu.get_open_sub_menu(), sub);
    EXPECT_GT(sub->get_position()[0], menu.get_position()[0]);
    mouse_move(menu, 30, y - h / 2);
    pump_events(app(), 0.2);
    EXPECT_FALSE(sub->is_shown()) << "resting on another item closes it";
}

TEST_F(MenuTest, AnActionOfASubMenuClosesTheChainAndIsRememberedByTheMainMenu)
{
    GuiMenu& menu = make_menu();
    GuiMenu* sub = menu.add_sub_menu("Sub");
    GuiAction* save = window().register_action("Save", &record_run);
    sub->add_item(*save);
    type(open(menu), "+>");
    click_menu_row(*sub, 0);
    EXPECT_EQ(g_runs, Names{"Save"});
    EXPECT_FALSE(menu.is_shown() || sub->is_shown());
    EXPECT_EQ(menu.get_last_triggered_action(), save);
}

TEST_F(MenuTest, TypedTextListsTheMatchesOfTheMenuAndItsSubMenusIfFiltering)
{
    GuiMenu& menu = open_filtering_menu();
    Names const all{"Filter:  wi", "Results: ", "New Window", "Close Window", "Render Window"};
    struct {
        char const* typed;
        Names rows;
        bool filtering = true;
    } const cases[] = {
        {"wi", all},
        {"rw", {"Filter:  rw", "Results: ", "Render Window"}},
        {"wix", {"Filter:  wix", "No Items Were Found"}},
        {"wix\b", all},
        {"w\b", {"New Window", "Close Window", "Render"}},
        {"w", {"New Window", "Close Window", "Render"}, false},
    };
    for (auto const& c : cases) {
        menu.set_enable_filter(c.filtering);
        type(open(menu), c.typed);
        EXPECT_EQ(row_names(menu), c.rows) << c.typed;
        EXPECT_EQ(m_log.count(EVT_ID_MENU_KEY_PRESSED), c.filtering ? static_cast<int>(strlen(c.typed)) : 0);
    }
    menu.set_enable_filter(true);
    type(menu, "x");
    GuiMenuItem const* none = menu.get_displayed_items()[1];
    EXPECT_TRUE(none->is_faded() && none->is_disabled()) << name_of(none);
}

TEST_F(MenuTest, AnItemRemovedFromASubMenuLeavesTheFilterResults)
{
    GuiMenu& menu = open_filtering_menu();
    GuiMenu* sub = menu.get_item("Render")->get_sub_menu();
    sub->add_item("Region Window");
    type(menu, "w");
    sub->remove_item(sub->get_item("Render Window"));
    EXPECT_EQ(row_names(menu),
              (Names{"Filter:  w", "Results: ", "New Window", "Close Window", "Region Window"}));
    // Moving over the rows and drawing them touches every listed item.
    type(menu, "+++");
    menu.redraw();
    pump_events(app());
    EXPECT_EQ(name_of(menu.get_highlighted_item()), "Region Window");
}

TEST_F(MenuTest, FilterResultsPastTheLineCountAreReachedThroughMore)
{
    GuiMenu& menu = make_menu({}, 5);
    menu.set_enable_filter(true);
    for (int i = 0; i < 9; ++i) menu.add_item(CoreString("Item ") + i);
    type(open(menu), "i");
    // The two labels and three results fill the five lines; each overflow lists five more.
    Names listed;
    std::vector<size_t> rows_per_menu;
    for (GuiMenu* shown = &menu; shown; shown = shown->get_displayed_items().get_last()->get_sub_menu()) {
        EXPECT_TRUE(shown == &menu || shown->is_overflow_menu());
        rows_per_menu.push_back(shown->get_displayed_items().get_count());
        for (GuiMenuItem* row : shown->get_displayed_items())
            if (menu.get_filter_results().contains(row)) listed.push_back(name_of(row));
    }
    ASSERT_EQ(rows_per_menu, (std::vector<size_t>{6, 6, 1}));
    EXPECT_EQ(listed, (Names{"Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "Item 5", "Item 6", "Item 7",
                             "Item 8"}));
    GuiMenu* more = menu.get_displayed_items()[5]->get_sub_menu();
    more->popup(300, 100);
    click_menu_row(*more, 1);
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 1) << "a result picked there is the filtering menu's click";
    EXPECT_EQ(name_of(menu.get_last_selected_item()), "Item 4");
}

TEST_F(MenuTest, PopupPlacesTheMenuAgainstTheWidget)
{
    GuiMenu& menu = make_menu({"One"});
    GuiWidget* target = new GuiWidget(window(), 100, 80, 60, 20);
    target->show();
    menu.compute_size();
    int const w = menu.get_width(), h = menu.get_height();
    struct {
        int anchor, x, y;
    } const cases[] = {
        {GuiMenu::ANCHOR_BOTTOM, 105, 102},
        {GuiMenu::ANCHOR_LEFT, 100 - w - 5, 82},
        {GuiMenu::ANCHOR_TOP, 105, 80 - (h + 2)},
        {9, 100, 80},  // the widget's origin
    };
    GMathVec2<int> const origin = window().get_position();
    for (auto const& c : cases) {
        menu.popup(*target, static_cast<GuiMenu::Anchor>(c.anchor), 5, 2);
        EXPECT_EQ(menu.get_position(), GMathVec2<int>(origin[0] + c.x, origin[1] + c.y))
            << "anchor " << c.anchor;
    }
}

TEST_F(MenuTest, OnlyAShownMenuRaisesHideAndHideSilentRaisesNothing)
{
    GuiMenu& menu = open(make_menu({"One"}));
    menu.hide();
    menu.hide();
    menu.popup(100, 100);
    menu.hide_silent();
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_HIDE", "EVT_ID_MENU_SHOW"}));
}

class MenuBarTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        m_file = new GuiMenuButton(window(), 0, 0, 50, 20, "File", &m_group);
        m_edit = new GuiMenuButton(window(), 50, 0, 50, 20, "Edit", &m_group);
        for (GuiMenuButton* button : {m_file, m_edit}) button->show();
        m_file->set_menu(&make_menu({"Open"}));
        m_edit->set_menu(&make_menu());
        m_edit->get_menu()->add_item(*window().register_action("Undo", &record_run, "ctrl+z"));
    }
    GuiMenuButtonGroup m_group;
    GuiMenuButton* m_file = nullptr;
    GuiMenuButton* m_edit = nullptr;
};

TEST_F(MenuBarTest, AButtonOpensItsMenuBelowItOnRelease)
{
    mouse_down(*m_file, 10, 10);
    EXPECT_FALSE(m_file->get_value());
    mouse_up(*m_file, 10, 10);
    EXPECT_TRUE(m_file->get_value() && m_file->get_menu()->is_shown());
    GMathVec2<int> const origin = window().get_position();
    EXPECT_EQ(m_file->get_menu()->get_position(), GMathVec2<int>(origin[0], origin[1] + 20));
}

TEST_F(MenuBarTest, PointingAtAnotherButtonOrLeftMovesTheOpenMenuThere)
{
    m_file->push();
    mouse_move(*m_edit, 60, 10);
    EXPECT_FALSE(m_file->get_menu()->is_shown() || m_file->get_value());
    EXPECT_TRUE(m_edit->get_menu()->is_shown() && m_edit->get_value());
    key_down(*m_edit->get_menu(), FL_Left);
    EXPECT_TRUE(m_file->get_menu()->is_shown());
    key_down(*m_file->get_menu(), FL_Left);
    EXPECT_TRUE(m_edit->get_menu()->is_shown()) << "round the bar";
}

TEST_F(MenuBarTest, APickedActionLiftsTheButtonAndAMiddleReleaseRepeatsIt)
{
    m_edit->push();
    click_menu_row(*m_edit->get_menu(), 0);
    EXPECT_FALSE(m_edit->get_value());
    mouse_down(*m_edit, 60, 10, 2);
    mouse_up(*m_edit, 60, 10, 2);
    EXPECT_EQ(g_runs, (Names{"Undo", "Undo"}));
    EXPECT_FALSE(m_edit->get_menu()->is_shown() || m_edit->get_value()) << "the menu stays closed";
}

TEST_F(MenuBarTest, APressOnTheButtonOfTheOpenMenuClosesIt)
{
    m_edit->push();
    mouse_down(window(), 60, 10);
    click(*m_edit, 60, 10);
    EXPECT_FALSE(m_edit->get_menu()->is_shown() || m_edit->get_value());
}

TEST_F(MenuTest, WidgetRowsHoldTheirWidget)
{
    GuiMenu& menu = make_menu({"Before"});
    GuiWidget* slider = new GuiWidget(window(), 0, 0, 140, 30);
    GuiMenuItem* row = menu.add_widget(slider);
    menu.add_item("After");
    open(menu);
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(1, y, h));
    EXPECT_EQ(h, 30) << "the row is as high as the widget";
    EXPECT_EQ(slider->get_y(), y);
    type(menu, "++");
    EXPECT_EQ(name_of(menu.get_highlighted_item()), "After") << "the arrows pass over the widget";
    menu.remove_item(row);
    EXPECT_TRUE(slider->is_destroyed());
}

TEST_F(MenuTest, ItemsGoAwayWithTheirSubMenus)
{
    GuiMenu& menu = make_menu({"A", "B"});
    GuiMenu* sub = menu.add_sub_menu("Sub");
    menu.remove_sub_menu(sub);
    EXPECT_EQ(row_names(menu), (Names{"A", "B"}));
    EXPECT_TRUE(sub->is_destroyed()) << "deleted at the next idle pass";
}
