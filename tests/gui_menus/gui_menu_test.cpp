// Menus: the filter's word matching, the four-column layout and row heights, the overflow
// into "more ...", keyboard navigation, clicks, check marks and radio groups, type-to-filter,
// the sub-menu delay, repeating the last action, and menu buttons of a menu bar.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include <string>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "host/app/app_preferences.h"

namespace {

std::vector<std::string> g_runs;

void record_run(GuiWidget&, GuiAction const& action, void*)
{
    g_runs.push_back(action.get_name().std_string());
}

std::vector<CoreString const*> const MENU_EVENTS = {&EVT_ID_MENU_SHOW,  &EVT_ID_MENU_HIDE,
                                                    &EVT_ID_MENU_FOCUS_OUT, &EVT_ID_MENU_CLICK,
                                                    &EVT_ID_MENU_KEY_PRESSED, &EVT_ID_MENU_SELECTION_CHANGED};

using Names = std::vector<std::string>;

// Menus wait for the application's preference before opening a sub-menu.
void set_sub_menu_show_delay(long milliseconds)
{
    GuiApp& app = gui_test_app();
    app.init_preferences();
    app.get_preferences().get_category("user_interface")->set_long_value("sub_menu_show_delay", milliseconds);
}

class MenuTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        g_runs.clear();
        m_window = &make_window(400, 300);
    }
    void TearDown() override
    {
        GuiPopup::close_all_popups();
        set_sub_menu_show_delay(250);
        GuiTest::TearDown();
    }
    GuiMenu& make_menu()
    {
        GuiMenu* menu = new GuiMenu(m_window);
        menu->set_max_line_count(40);
        m_log.listen(*menu, MENU_EVENTS);
        return *menu;
    }
    // The centre of a displayed row, in menu coordinates.
    int row_y(GuiMenu& menu, int row)
    {
        int y = 0, h = 0;
        EXPECT_TRUE(menu.get_row_geometry(row, y, h));
        return y + h / 2;
    }
    GuiWindow* m_window = nullptr;
    EventLog m_log;
};

}  // namespace

TEST(MenuFilter, MatchesWordStartsCamelCaseAndAcronyms)
{
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("New Window", "nw"));    // acronym
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("New Window", "win"));   // word start
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("New Window", "ndow"));
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("New Window", "dow"));  // inside a word
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("New Window", "wi ne")); // every word, any order
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("New Window", "wi x"));
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("openSceneFile", "file"));  // camel-case hump
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("motion_blur_samples", "blur"));
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("motion_blur_samples", "mbs"));
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("motion_blur_samples", "msb")) << "initials in order";
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("New", "n w")) << "each word must be found";
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("Anything", ""));
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("", "a"));
    EXPECT_TRUE(GuiMenu::is_visible_by_filter("Save As...", "AS")) << "the filter's case does not matter";
    EXPECT_FALSE(GuiMenu::is_visible_by_filter("Render", "r x")) << "a one-letter acronym is no acronym";
}

TEST_F(MenuTest, LayoutHasFourColumnsAndRowsOfTheDocumentedHeights)
{
    GuiMenu& menu = make_menu();
    GuiAction* save = m_window->register_action("Save", &record_run, "ctrl+s");
    menu.add_item("Open");
    menu.add_item(*save);
    menu.add_separator();
    menu.add_separator("Views");
    menu.compute_size();
    int label_w = 0, label_h = 0, shortcut_w = 0, shortcut_h = 0;
    menu.get_dc().get_text_size("Save", label_w, label_h);
    int open_w = 0;
    menu.get_dc().get_text_size("Open", open_w, label_h);
    menu.get_dc().get_text_size("Ctrl+S", shortcut_w, shortcut_h);
    int views_w = 0;
    menu.get_dc().get_text_size("Views", views_w, label_h);
    EXPECT_EQ(menu.get_check_column_width(), 0) << "no checkable item";
    EXPECT_EQ(menu.get_icon_column_width(), 0);
    EXPECT_EQ(menu.get_label_column_width(), std::max({label_w, open_w, views_w}));
    EXPECT_EQ(menu.get_shortcut_column_width(), shortcut_w + 12);
    EXPECT_EQ(menu.get_width(), menu.get_label_column_width() + shortcut_w + 12 + 25);
    // 17 + 17 + (17 - 7) + (17 + 8) + 20.
    EXPECT_EQ(menu.get_height(), 17 + 17 + 10 + 25 + 20);
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(2, y, h));
    EXPECT_EQ(y, 10 + 17 + 17);
    EXPECT_EQ(h, 10);

    // A checkable item brings the check column; a sub-menu needs room for its arrow; a
    // checked item is measured bold; a tall icon makes its row taller.
    GuiMenuItem* grid = menu.add_item("Grid");
    grid->set_checkable(true);
    grid->check(true);
    menu.add_sub_menu("More Views");
    GuiImage const& big = GuiResource::context_iconrc().get_image(ImageIcon::IMAGE_ICON_SIZE_32);
    menu.add_item("Big")->set_icon(&big);
    menu.compute_size();
    int const check = static_cast<int>(
        std::max(GuiResource::checker().get_width(), GuiResource::checker_selected().get_width()));
    EXPECT_EQ(menu.get_check_column_width(), check);
    EXPECT_EQ(menu.get_icon_column_width(), static_cast<int>(big.get_width()));
    int grid_bold = 0;
    menu.get_dc().get_text_size("Grid", grid_bold, label_h, GuiFont::WEIGHT_BOLD);
    int more_w = 0;
    menu.get_dc().get_text_size("More Views", more_w, label_h);
    EXPECT_EQ(menu.get_label_column_width(), std::max({label_w, open_w, views_w, grid_bold, more_w}));
    ASSERT_TRUE(menu.get_row_geometry(6, y, h));
    EXPECT_EQ(h, std::max(17, static_cast<int>(big.get_height())));
}

TEST_F(MenuTest, ItemsPastTheMaximumLineCountGoToMore)
{
    GuiMenu& menu = make_menu();
    menu.set_max_line_count(5);
    for (int i = 0; i < 12; ++i) menu.add_item(CoreString("Item ") + i);
    ASSERT_EQ(menu.get_items().get_count(), 6u) << "five items and \"more ...\"";
    GuiMenuItem* more = menu.get_items()[5];
    EXPECT_EQ(more->get_name(), "more ...");
    ASSERT_TRUE(more->is_sub_menu());
    GuiMenu* overflow = menu.get_more_menu();
    EXPECT_EQ(more->get_menu(), overflow);
    EXPECT_TRUE(overflow->is_overflow_menu());
    EXPECT_EQ(overflow->get_items().get_count(), 6u) << "the overflow overflows in turn";
    EXPECT_EQ(overflow->get_more_menu()->get_items().get_count(), 2u);
    EXPECT_EQ(menu.get_item("Item 11")->get_holding_menu(), overflow->get_more_menu());

    // A click in the overflow reaches the main menu's listeners.
    menu.popup(100, 100);
    menu.get_items()[5]->get_menu();
    overflow->popup(300, 100);
    m_log.clear();
    mouse_down(*overflow, 20, row_y(*overflow, 0));
    mouse_up(*overflow, 20, row_y(*overflow, 0));
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 1);
    EXPECT_EQ(menu.get_last_selected_item()->get_name(), "Item 5");
    EXPECT_FALSE(menu.is_shown());
}

TEST_F(MenuTest, TheMaximumLineCountComesFromTheWorkArea)
{
    GuiMenu* menu = new GuiMenu(m_window);
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h, Gui::get_mouse_screen_position_x(), Gui::get_mouse_screen_position_y());
    EXPECT_EQ(menu->get_max_line_count(), h / 17 - 3);
    menu->set_max_line_count(7);
    EXPECT_EQ(menu->get_max_line_count(), 7);
}

TEST_F(MenuTest, ArrowsSkipSeparatorsAndDisabledItemsWithoutWrapping)
{
    GuiMenu& menu = make_menu();
    menu.add_item("A");
    menu.add_separator("group");
    menu.add_item("B")->disable();
    menu.add_item("C");
    menu.popup(100, 100);
    m_log.clear();
    key_down(menu, FL_Down);
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "A");
    key_down(menu, FL_Down);
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "C");
    key_down(menu, FL_Down);
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "C") << "no wrap-around";
    key_down(menu, FL_Up);
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "A");
    EXPECT_EQ(m_log.count(EVT_ID_MENU_SELECTION_CHANGED), 3);

    // From nothing, Up starts at the last item.
    menu.popup(100, 100);
    key_down(menu, FL_Up);
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "C");

    // Enter triggers; Escape closes the whole chain.
    m_log.clear();
    key_down(menu, FL_Enter);
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_FOCUS_OUT", "EVT_ID_MENU_HIDE", "EVT_ID_MENU_CLICK"}));
    EXPECT_EQ(menu.get_last_selected_item()->get_name(), "C");
    menu.popup(100, 100);
    m_log.clear();
    key_down(menu, FL_Escape);
    EXPECT_FALSE(menu.is_shown());
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_FOCUS_OUT", "EVT_ID_MENU_HIDE"}));
}

TEST_F(MenuTest, AMoveOfAStillPointerLeavesTheKeyboardHighlight)
{
    GuiMenu& menu = make_menu();
    menu.add_item("A");
    menu.add_item("B");
    menu.popup(100, 100);
    mouse_move(menu, 30, row_y(menu, 0));
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "A");
    key_down(menu, FL_Down);
    // Windows coming and going under the pointer make the toolkit report moves too.
    mouse_move(menu, 30, row_y(menu, 0));
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "B");
}

TEST_F(MenuTest, ClicksRunActionsToggleChecksAndRespectRadioGroups)
{
    GuiMenu& menu = make_menu();
    GuiAction* save = m_window->register_action("Save", &record_run, "ctrl+s");
    menu.add_item(*save);
    GuiMenuItem* grid = menu.add_item("Grid");
    grid->set_checkable(true);
    GuiMenuRadioGroup* shading = menu.create_radio_group();
    GuiMenuItem* flat = menu.add_item("Flat");
    GuiMenuItem* smooth = menu.add_item("Smooth");
    flat->set_radio_group(shading);
    smooth->set_radio_group(shading);
    flat->check(true);
    GuiMenuItem* off = menu.add_item("Off");
    off->disable();

    auto click_row = [&](int row) {
        menu.popup(100, 100);
        mouse_move(menu, 30, row_y(menu, row));
        mouse_down(menu, 30, row_y(menu, row));
        mouse_up(menu, 30, row_y(menu, row));
    };
    click_row(0);
    EXPECT_EQ(g_runs, Names{"Save"});
    EXPECT_FALSE(menu.is_shown());
    EXPECT_EQ(menu.get_last_triggered_action(), save);

    click_row(1);
    EXPECT_TRUE(grid->is_checked());
    click_row(1);
    EXPECT_FALSE(grid->is_checked());

    click_row(3);
    EXPECT_TRUE(smooth->is_checked());
    EXPECT_FALSE(flat->is_checked()) << "checking one item of a group unchecks the others";
    click_row(3);
    EXPECT_TRUE(smooth->is_checked()) << "a checked radio item stays checked";
    smooth->check(false);
    EXPECT_TRUE(smooth->is_checked());

    m_log.clear();
    click_row(4);
    EXPECT_TRUE(menu.is_shown()) << "a disabled item does nothing";
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 0);

    // A release without a press in the menu (the one that opened it) clicks nothing.
    menu.popup(100, 100);
    mouse_up(menu, 30, row_y(menu, 1));
    EXPECT_TRUE(menu.is_shown());

    // repeat_last_action runs the last clicked action again.
    EXPECT_TRUE(menu.repeat_last_action());
    EXPECT_EQ(g_runs, (Names{"Save", "Save"}));
    GuiMenu& fresh = make_menu();
    EXPECT_FALSE(fresh.repeat_last_action());
}

TEST_F(MenuTest, SubMenusOpenAfterTheDelayOrAtOnceFromTheKeyboard)
{
    GuiMenu& menu = make_menu();
    menu.add_item("First");
    GuiMenu* sub = menu.add_sub_menu("Sub");
    sub->add_item("Inner");
    GuiAction* save = m_window->register_action("Save", &record_run);
    sub->add_item(*save);
    EXPECT_EQ(sub->get_parent_menu(), &menu);
    EXPECT_EQ(sub->get_main_menu(), &menu);
    EXPECT_EQ(sub->get_parent_item()->get_name(), "Sub");

    set_sub_menu_show_delay(100);
    menu.popup(100, 100);
    mouse_move(menu, 30, row_y(menu, 1));
    pump_events(app(), 0.05);
    EXPECT_FALSE(sub->is_shown()) << "still within the delay";
    pump_events(app(), 0.15);
    EXPECT_TRUE(sub->is_shown());
    EXPECT_EQ(menu.get_open_sub_menu(), sub);
    EXPECT_GT(sub->get_position()[0], menu.get_position()[0]);

    // Resting on another item closes it after the delay.
    mouse_move(menu, 30, row_y(menu, 0));
    pump_events(app(), 0.2);
    EXPECT_FALSE(sub->is_shown());

    // Right opens it at once with its first item lit; Left goes back.
    key_down(menu, FL_Down);
    key_down(menu, FL_Down);
    key_down(menu, FL_Right);
    ASSERT_TRUE(sub->is_shown());
    EXPECT_EQ(sub->get_highlighted_item()->get_name(), "Inner");
    key_down(*sub, FL_Left);
    EXPECT_FALSE(sub->is_shown());
    EXPECT_TRUE(menu.is_shown());

    // An action of a sub-menu closes the whole chain and is remembered on the main menu.
    key_down(menu, FL_Right);
    mouse_move(*sub, 30, row_y(*sub, 1));
    mouse_down(*sub, 30, row_y(*sub, 1));
    mouse_up(*sub, 30, row_y(*sub, 1));
    EXPECT_EQ(g_runs, Names{"Save"});
    EXPECT_FALSE(menu.is_shown());
    EXPECT_FALSE(sub->is_shown());
    EXPECT_EQ(menu.get_last_triggered_action(), save);
}

TEST_F(MenuTest, TypingFiltersItemsOfAllSubMenus)
{
    GuiMenu& menu = make_menu();
    menu.set_enable_filter(true);
    menu.add_item("New Window");
    menu.add_item("Close Window");
    GuiMenu* sub = menu.add_sub_menu("Render");
    sub->add_item("Render Window");
    sub->add_item("Region");
    menu.popup(100, 100);
    m_log.clear();
    key_down(menu, 'w', "w");
    EXPECT_EQ(menu.get_filter(), "w");
    EXPECT_EQ(m_log.count(EVT_ID_MENU_KEY_PRESSED), 1);
    ASSERT_EQ(menu.get_filter_results().get_count(), 3u);
    CoreVector<GuiMenuItem*> rows = menu.get_displayed_items();
    EXPECT_EQ(rows[0]->get_name(), "Filter:  w");
    EXPECT_EQ(rows[1]->get_name(), "Results: ");
    EXPECT_EQ(rows[4]->get_name(), "Render Window");
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "New Window") << "the first result is lit";

    key_down(menu, 'i', "i");
    key_down(menu, 'n', "n");
    EXPECT_EQ(menu.get_filter(), "win");
    key_down(menu, FL_BackSpace);
    EXPECT_EQ(menu.get_filter(), "wi");
    key_down(menu, 'x', "x");
    rows = menu.get_displayed_items();
    ASSERT_EQ(rows.get_count(), 2u);
    EXPECT_EQ(rows[1]->get_name(), "No Items Were Found");
    EXPECT_TRUE(rows[1]->is_faded() && rows[1]->is_disabled());

    // Narrow to the sub-menu's item and pick it with Enter.
    key_down(menu, FL_BackSpace);
    key_down(menu, FL_BackSpace);
    key_down(menu, FL_BackSpace);
    EXPECT_EQ(menu.get_filter(), "");
    EXPECT_EQ(menu.get_displayed_items().get_count(), menu.get_items().get_count());
    key_down(menu, 'r', "r");
    key_down(menu, 'w', "w");
    ASSERT_EQ(menu.get_filter_results().get_count(), 1u);
    m_log.clear();
    key_down(menu, FL_Enter);
    EXPECT_EQ(menu.get_last_selected_item()->get_name(), "Render Window");
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 1);
    EXPECT_FALSE(menu.is_shown());

    // Keys without text other than Backspace are navigation; a menu without filter ignores text.
    GuiMenu& plain = make_menu();
    plain.add_item("New Window");
    plain.popup(100, 100);
    key_down(plain, 'w', "w");
    EXPECT_EQ(plain.get_filter(), "");
}

TEST_F(MenuTest, PopupPlacesTheMenuAgainstTheWidget)
{
    GuiMenu& menu = make_menu();
    menu.add_item("One");
    GuiWidget* target = new GuiWidget(*m_window, 100, 80, 60, 20);
    target->show();
    GMathVec2<int> const origin = m_window->get_position();
    menu.compute_size();
    int const w = menu.get_width(), h = menu.get_height();
    menu.popup(*target, GuiMenu::ANCHOR_BOTTOM, 5, 2);
    EXPECT_EQ(menu.get_position(), GMathVec2<int>(origin[0] + 105, origin[1] + 102));
    menu.popup(*target, GuiMenu::ANCHOR_RIGHT, 5, 2);
    EXPECT_EQ(menu.get_position(), GMathVec2<int>(origin[0] + 165, origin[1] + 82));
    menu.popup(*target, GuiMenu::ANCHOR_LEFT, 5, 2);
    EXPECT_EQ(menu.get_position(), GMathVec2<int>(origin[0] + 100 - w - 5, origin[1] + 82));
    menu.popup(*target, GuiMenu::ANCHOR_TOP, 5, 2);
    EXPECT_EQ(menu.get_position(), GMathVec2<int>(origin[0] + 105, origin[1] + 80 - (h + 2)));
    menu.popup(*target, static_cast<GuiMenu::Anchor>(9), 5, 2);
    EXPECT_EQ(menu.get_position(), GMathVec2<int>(origin[0] + 100, origin[1] + 80));
    m_log.clear();
    menu.hide();
    menu.hide();
    EXPECT_EQ(m_log.get(), Names{"EVT_ID_MENU_HIDE"}) << "a hidden menu raises nothing";
    menu.popup(*target, GuiMenu::ANCHOR_BOTTOM, 0, 0);
    m_log.clear();
    menu.hide_silent();
    EXPECT_TRUE(m_log.get().empty());
}

TEST_F(MenuTest, MenuButtonsOpenTheirMenusAndRollOverTheBar)
{
    GuiMenuButtonGroup group;
    GuiMenuButton* file = new GuiMenuButton(*m_window, 0, 0, 50, 20, "File", &group);
    GuiMenuButton* edit = new GuiMenuButton(*m_window, 50, 0, 50, 20, "Edit", &group);
    file->show();
    edit->show();
    file->set_menu(new GuiMenu(m_window));
    file->get_menu()->add_item("Open");
    GuiAction* undo = m_window->register_action("Undo", &record_run, "ctrl+z");
    edit->set_menu(new GuiMenu(m_window));
    edit->get_menu()->add_item(*undo);
    EXPECT_EQ(file->get_menu_anchor(), 3);

    mouse_down(*file, 10, 10);
    EXPECT_FALSE(file->get_value()) << "menu buttons open on release";
    mouse_up(*file, 10, 10);
    EXPECT_TRUE(file->get_value());
    ASSERT_TRUE(file->get_menu()->is_shown());
    GMathVec2<int> const origin = m_window->get_position();
    EXPECT_EQ(file->get_menu()->get_position(), GMathVec2<int>(origin[0], origin[1] + 20));
    EXPECT_EQ(file->get_menu()->get_buttons().get_count(), 2u);

    // Pointing at the next button of the bar moves the open menu there.
    mouse_move(*edit, 60, 10);
    EXPECT_FALSE(file->get_menu()->is_shown());
    EXPECT_FALSE(file->get_value());
    EXPECT_TRUE(edit->get_menu()->is_shown());
    EXPECT_TRUE(edit->get_value());

    // Left in the menu goes back to the previous button's menu (wrapping round the bar).
    key_down(*edit->get_menu(), FL_Left);
    EXPECT_TRUE(file->get_menu()->is_shown());
    EXPECT_FALSE(edit->get_menu()->is_shown());
    key_down(*file->get_menu(), FL_Left);
    EXPECT_TRUE(edit->get_menu()->is_shown());

    // A click on the item runs the action; the button comes up when the menu hides.
    GuiMenu* menu = edit->get_menu();
    mouse_move(*menu, 20, 18);
    mouse_down(*menu, 20, 18);
    mouse_up(*menu, 20, 18);
    EXPECT_EQ(g_runs, Names{"Undo"});
    EXPECT_FALSE(edit->get_value());

    // A middle-button release repeats the last action without opening the menu.
    mouse_down(*edit, 60, 10, 2);
    mouse_up(*edit, 60, 10, 2);
    EXPECT_EQ(g_runs, (Names{"Undo", "Undo"}));
    EXPECT_FALSE(menu->is_shown());
    EXPECT_FALSE(edit->get_value());

    // A press on the button of the open menu closes it for good.
    edit->push();
    ASSERT_TRUE(menu->is_shown());
    mouse_down(*m_window, 60, 10);
    mouse_down(*edit, 60, 10);
    mouse_up(*edit, 60, 10);
    EXPECT_FALSE(menu->is_shown());
    EXPECT_FALSE(edit->get_value());

    // Released menus are the caller's.
    GuiMenu* released = file->release_menu();
    EXPECT_EQ(file->get_menu(), nullptr);
    released->destroy();
}

TEST_F(MenuTest, WidgetRowsHoldTheirWidgetAndTakeItsEvents)
{
    GuiMenu& menu = make_menu();
    menu.add_item("Before");
    GuiWidget* slider = new GuiWidget(*m_window, 0, 0, 140, 30);
    GuiMenuItem* row = menu.add_widget(slider);
    menu.add_item("After");
    EXPECT_EQ(row->get_widget(), slider);
    EXPECT_FALSE(row->is_item());
    EXPECT_EQ(slider->get_parent(), &menu);
    menu.popup(100, 100);
    int y = 0, h = 0;
    ASSERT_TRUE(menu.get_row_geometry(1, y, h));
    EXPECT_EQ(h, 30) << "the row is as high as the widget";
    EXPECT_GE(menu.get_label_column_width(), 140);
    EXPECT_EQ(slider->get_y(), y);
    // The arrows pass over the widget row.
    key_down(menu, FL_Down);
    key_down(menu, FL_Down);
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "After");
    // Removing the row takes the widget along.
    menu.remove_item(row);
    EXPECT_TRUE(slider->is_destroyed());
    EXPECT_EQ(menu.get_items().get_count(), 2u);
}

TEST_F(MenuTest, ItemsMoveAndGoAwayWithTheirSubMenus)
{
    GuiMenu& menu = make_menu();
    GuiMenuItem* a = menu.add_item("A");
    GuiMenuItem* b = menu.add_item("B");
    GuiMenu* sub = menu.add_sub_menu("Sub");
    GuiMenuItem* c = menu.add_item("C");
    auto names = [&] {
        std::string text;
        for (GuiMenuItem* item : menu.get_items()) text += item->get_name().std_string() + " ";
        return text;
    };
    menu.move_item(c, a);
    EXPECT_EQ(names(), "C A B Sub ");
    menu.move_item(c, b, true);
    EXPECT_EQ(names(), "A B C Sub ");
    menu.move_item(a, nullptr);
    EXPECT_EQ(names(), "B C Sub A ");
    EXPECT_EQ(menu.get_item("Sub")->get_sub_menu(), sub);
    EXPECT_EQ(menu.get_item("Nothing"), nullptr);

    menu.disable_all_items();
    EXPECT_TRUE(b->is_disabled() && c->is_disabled());
    menu.enable_all_items();
    EXPECT_TRUE(b->is_enabled() && c->is_enabled());

    // The sub-menu is deleted with its item, at the next idle pass.
    menu.remove_sub_menu(sub);
    EXPECT_EQ(names(), "B C A ");
    EXPECT_TRUE(sub->is_destroyed());
    process_idle(app());
    menu.remove_all_items();
    EXPECT_TRUE(menu.get_items().is_empty());
}

TEST_F(MenuTest, AnItemRemovedFromASubMenuLeavesTheFilterResults)
{
    GuiMenu& menu = make_menu();
    menu.set_enable_filter(true);
    menu.add_item("New Window");
    GuiMenu* sub = menu.add_sub_menu("Render");
    GuiMenuItem* gone = sub->add_item("Render Window");
    sub->add_item("Region Window");
    menu.popup(100, 100);
    key_down(menu, 'w', "w");
    ASSERT_EQ(menu.get_filter_results().get_count(), 3u);
    sub->remove_item(gone);
    EXPECT_EQ(menu.get_filter_results().get_count(), 2u);
    EXPECT_EQ(menu.get_filter_results().find(gone), -1);
    // Moving over the rows and drawing them touches every listed item.
    key_down(menu, FL_Down);
    key_down(menu, FL_Down);
    menu.redraw();
    pump_events(app());
    EXPECT_EQ(menu.get_highlighted_item()->get_name(), "Region Window");
}

TEST_F(MenuTest, FilterResultsPastTheLineCountAreReachedThroughMore)
{
    GuiMenu& menu = make_menu();
    menu.set_max_line_count(5);
    menu.set_enable_filter(true);
    for (int i = 0; i < 9; ++i) menu.add_item(CoreString("Item ") + i);
    menu.popup(100, 100);
    key_down(menu, 'i', "i");
    ASSERT_EQ(menu.get_filter_results().get_count(), 9u);
    // The two label rows and three results fill the five lines; each overflow holds five.
    Names listed;
    std::vector<size_t> rows_per_menu;
    for (GuiMenu* shown = &menu; shown;) {
        CoreVector<GuiMenuItem*> const rows = shown->get_displayed_items();
        rows_per_menu.push_back(rows.get_count());
        GuiMenu* next = nullptr;
        for (GuiMenuItem* row : rows) {
            if (row->get_name() == "more ...") next = row->get_sub_menu();
            else if (menu.get_filter_results().contains(row)) listed.push_back(row->get_name().std_string());
        }
        EXPECT_TRUE(!next || next->is_overflow_menu());
        shown = next;
    }
    EXPECT_EQ(rows_per_menu, (std::vector<size_t>{6, 6, 1}));
    ASSERT_EQ(listed.size(), 9u);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(listed[i], "Item " + std::to_string(i));

    // A result picked in the overflow is the filtering menu's click.
    GuiMenu* more = menu.get_displayed_items()[5]->get_sub_menu();
    more->popup(300, 100);
    m_log.clear();
    click_menu_row(*more, 1);
    EXPECT_EQ(m_log.count(EVT_ID_MENU_CLICK), 1);
    EXPECT_EQ(menu.get_last_selected_item()->get_name(), "Item 4");
}

TEST_F(MenuTest, TheOverflowShowsHidesAndFocusesOutForItsMenu)
{
    GuiMenu& menu = make_menu();
    menu.set_max_line_count(2);
    for (int i = 0; i < 3; ++i) menu.add_item(CoreString("Item ") + i);
    GuiMenu* more = menu.get_more_menu();
    menu.popup(100, 100);
    for (int i = 0; i < 3; ++i) key_down(menu, FL_Down);
    m_log.clear();
    key_down(menu, FL_Right);
    ASSERT_TRUE(more->is_shown());
    key_down(*more, FL_Left);
    more->popup(300, 100);
    more->focus_out();
    EXPECT_EQ(m_log.get(), (Names{"EVT_ID_MENU_SHOW", "EVT_ID_MENU_HIDE", "EVT_ID_MENU_SHOW",
                                  "EVT_ID_MENU_FOCUS_OUT", "EVT_ID_MENU_HIDE"}));
    EXPECT_TRUE(menu.is_shown());
}

TEST_F(MenuTest, AMenuButtonStaysDownWhenOnlyTheOverflowCloses)
{
    GuiMenuButton* button = new GuiMenuButton(*m_window, 0, 0, 50, 20, "File");
    button->show();
    button->set_menu(new GuiMenu(m_window));
    GuiMenu& menu = *button->get_menu();
    menu.set_max_line_count(2);
    for (int i = 0; i < 3; ++i) menu.add_item(CoreString("Item ") + i);
    button->push();
    for (int i = 0; i < 3; ++i) key_down(menu, FL_Down);
    key_down(menu, FL_Right);
    ASSERT_TRUE(menu.get_more_menu()->is_shown());
    key_down(*menu.get_more_menu(), FL_Left);
    EXPECT_TRUE(button->get_value());
    key_down(menu, FL_Escape);
    EXPECT_FALSE(button->get_value());
}
