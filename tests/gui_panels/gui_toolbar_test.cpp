// Toolbars: placement, overflow into the add-on menu, the stretch widget and minimising.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_check_button.h"
#include "gui/controls/gui_push_button.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"

namespace {

class ToolbarTest : public ControlsTest {
protected:
    GuiToolbar& make_toolbar(int width)
    {
        GuiToolbar* bar = new GuiToolbar(window(), 0, 10, width, "Tools");
        bar->show();
        pump_events(app());
        return *bar;
    }
};

}  // namespace

TEST_F(ToolbarTest, ItemsSitFromBothEndsWithTheirContentWidths)
{
    GuiToolbar& bar = make_toolbar(400);
    GuiPushButton* open = bar.create_button("Open", "Open a scene", GuiToolbar::ANCHOR_LEFT);
    GuiPushButton* save = bar.create_button("Save", "Save the scene", GuiToolbar::ANCHOR_LEFT);
    bar.add_separator(GuiToolbar::ANCHOR_LEFT);
    GuiPushButton* render = bar.create_button("Render", "Render", GuiToolbar::ANCHOR_RIGHT);
    pump_events(app());
    EXPECT_FALSE(open->is_focus_receiver());

    // After the minimise button (8 pixels) from x 1, 2 apart; right items end at the width - 1.
    int open_w = 0, h = 0;
    open->get_content_size(open_w, h);
    EXPECT_EQ(open->get_x(), 1 + 8);
    EXPECT_EQ(save->get_x(), 1 + 8 + open_w + 2);
    EXPECT_EQ(render->get_x() + render->get_width(), 399);

    // Not minimisable: the items start at 1.
    bar.set_minimizable(false);
    EXPECT_EQ(open->get_x(), 1);
    EXPECT_FALSE(bar.get_minimize_button()->is_shown());
}

TEST_F(ToolbarTest, IconsGoBeforeOrAfterTheLabel)
{
    GuiToolbar& bar = make_toolbar(400);
    GuiImage const& icon = GuiResource::open();
    EXPECT_EQ(bar.create_button(icon, "Open", "", GuiToolbar::ANCHOR_LEFT)->get_icon_position(),
              GuiWidget::ICON_POSITION_LEFT);
    EXPECT_EQ(bar.create_button(icon, "Open", "", GuiToolbar::ANCHOR_LEFT, true)->get_icon_position(),
              GuiWidget::ICON_POSITION_RIGHT);
    GuiCheckButton* before = bar.create_check_button(icon, "Snap", "", GuiToolbar::ANCHOR_LEFT);
    GuiCheckButton* after = bar.create_check_button(icon, "Snap", "", GuiToolbar::ANCHOR_LEFT, true);
    EXPECT_EQ(before->get_icon_position(), GuiWidget::ICON_POSITION_LEFT);
    EXPECT_EQ(after->get_icon_position(), GuiWidget::ICON_POSITION_RIGHT);
    EXPECT_NE(after->get_icon(), nullptr);
}

TEST_F(ToolbarTest, ItemsThatDoNotFitGoToTheAddOnMenuWithoutStraySeparators)
{
    GuiToolbar& bar = make_toolbar(600);
    bar.set_minimizable(false);
    bar.create_button("First", "", GuiToolbar::ANCHOR_LEFT);
    bar.add_separator(GuiToolbar::ANCHOR_LEFT);
    bar.create_button("Second", "", GuiToolbar::ANCHOR_LEFT);
    bar.add_separator(GuiToolbar::ANCHOR_LEFT);
    bar.add_separator(GuiToolbar::ANCHOR_LEFT);
    bar.create_button("", "Third by its tooltip", GuiToolbar::ANCHOR_LEFT);
    GuiCheckButton* snap = bar.create_check_button("Snap", "", GuiToolbar::ANCHOR_LEFT);
    GuiMenuButton* view = bar.create_menu("View", GuiToolbar::ANCHOR_LEFT);
    view->get_menu()->add_item("Wireframe");
    bar.add_separator(GuiToolbar::ANCHOR_LEFT);
    GuiPushButton* right = bar.create_button("Right", "", GuiToolbar::ANCHOR_RIGHT);
    bar.add_separator(GuiToolbar::ANCHOR_RIGHT);
    pump_events(app());
    ASSERT_EQ(bar.get_fitted_count(), bar.get_item_count());
    int const wide_right_x = right->get_x();

    // Narrow: only the first button stays; the add-on button sits at the right end.
    bar.resize(0, 10, 90, 22);
    pump_events(app());
    EXPECT_EQ(bar.get_fitted_count(), 2u) << "the first button and its separator";
    GuiPushButton* addon = bar.get_addon_button();
    ASSERT_NE(addon, nullptr);
    EXPECT_EQ(addon->get_x(), 90 - 11);
    std::vector<std::string> const expected = {"Second", "-", "Third by its tooltip", "Snap", "View", "-", "Right"};
    EXPECT_EQ(item_names(*bar.get_addon_menu()), expected) << "no leading or doubled separator";
    GuiMenuItem* view_entry = bar.get_addon_menu()->get_items()[4];
    EXPECT_EQ(view_entry->get_sub_menu(), view->get_menu()) << "a menu button lends its menu";

    // Clicking the check button's entry toggles it and raises its click.
    m_log.listen(*snap, {&EVT_ID_CHECK_BUTTON_CLICK});
    click(*addon, addon->get_x() + 5, addon->get_y() + 5);
    click_menu_row(*bar.get_addon_menu(), 3);
    EXPECT_TRUE(snap->get_value());
    EXPECT_EQ(m_log.count(EVT_ID_CHECK_BUTTON_CLICK), 1);

    // Wide again: everything fits, the add-on button goes and the right item takes its room
    // back.
    bar.resize(0, 10, 600, 22);
    pump_events(app());
    EXPECT_FALSE(addon->is_shown());
    EXPECT_EQ(right->get_x(), wide_right_x);
    EXPECT_EQ(view->get_menu()->get_parent_menu(), nullptr) << "the menu is its button's again";
}

TEST_F(ToolbarTest, ALoneOverflowedLastItemTakesBackTheAddOnButtonsRoom)
{
    GuiToolbar& bar = make_toolbar(400);
    bar.set_minimizable(false);
    for (char const* label : {"Alpha", "Beta", "Gamma"}) bar.create_button(label, "", GuiToolbar::ANCHOR_LEFT);
    int w = 0, h = 0;
    bar.get_content_size(w, h);
    // One pixel short, even the add-on button's room is not enough; at the content width the
    // last item fits in the room the button frees.
    struct Row {
        int width;
        unsigned int fitted;
    };
    for (Row const& row : {Row{w - 5, 2}, Row{w - 1, 2}, Row{w, 3}}) {
        bar.resize(0, 10, row.width, 22);
        pump_events(app());
        EXPECT_EQ(bar.get_fitted_count(), row.fitted) << row.width - w;
        EXPECT_EQ(bar.get_addon_button()->is_shown(), row.fitted < 3) << row.width - w;
    }
}

TEST_F(ToolbarTest, TheStretchWidgetTakesTheFreeSpaceButKeepsItsMinimum)
{
    GuiToolbar& bar = make_toolbar(400);
    bar.set_minimizable(false);
    GuiPushButton* left = bar.create_button("Left", "", GuiToolbar::ANCHOR_LEFT);
    GuiWidget* field = new GuiWidget(window(), 0, 0, 50, 18);
    bar.add_widget(*field, GuiToolbar::ANCHOR_LEFT, true, 80);
    GuiPushButton* right = bar.create_button("Right", "", GuiToolbar::ANCHOR_RIGHT);
    pump_events(app());
    EXPECT_EQ(field->get_x(), left->get_x() + left->get_width() + 2);
    // The free space is used up: the field ends a gap and one pixel before the right item.
    EXPECT_EQ(field->get_x() + field->get_width(), right->get_x() - 3);

    // Narrower than the minimum would need: the field keeps its 80 pixels and overflows.
    int w = 0, h = 0;
    bar.get_content_size(w, h);
    bar.resize(0, 10, w, 22);
    pump_events(app());
    EXPECT_EQ(field->get_width(), 80);

    // Removing a widget added from outside only forgets it; an owned one is destroyed.
    bar.remove_widget(field);
    EXPECT_FALSE(field->is_destroyed());
    bar.remove_widget(left);
    EXPECT_TRUE(left->is_destroyed());
}

TEST_F(ToolbarTest, MinimisingLeavesAThinBarThatAClickRestores)
{
    GuiToolbar& bar = make_toolbar(300);
    GuiPushButton* open = bar.create_button("Open", "", GuiToolbar::ANCHOR_LEFT);
    pump_events(app());
    m_log.listen(bar, {&EVT_ID_TOOLBAR_MINIMIZE, &EVT_ID_TOOLBAR_MAXIMIZE});
    click(*bar.get_minimize_button(), 4, 20);
    EXPECT_FALSE(open->is_shown());
    bar.resize(0, 10, 300, 40);
    EXPECT_EQ(bar.get_height(), 6) << "the height follows the state, not the request";

    send_event(bar, FL_ENTER, 50, 12);
    mouse_move(bar, 50, 12);
    mouse_down(bar, 50, 12);
    EXPECT_TRUE(bar.is_minimized()) << "the press alone does nothing";
    mouse_up(bar, 50, 12);
    EXPECT_EQ(bar.get_height(), 22);
    pump_events(app());
    EXPECT_TRUE(open->is_shown());
    EXPECT_EQ(m_log.get(), (std::vector<std::string>{"EVT_ID_TOOLBAR_MINIMIZE", "EVT_ID_TOOLBAR_MAXIMIZE"}));
}

TEST_F(ToolbarTest, ChildToolbarsAreItemsAndASubMenuWhenTheyOverflow)
{
    GuiToolbar& bar = make_toolbar(600);
    bar.set_minimizable(false);
    bar.create_button("Main", "", GuiToolbar::ANCHOR_LEFT);
    GuiToolbar* child = new GuiToolbar(window(), 0, 0, 100, "Shading");
    child->create_button("Flat", "", GuiToolbar::ANCHOR_LEFT);
    child->create_button("Smooth", "", GuiToolbar::ANCHOR_LEFT);
    bar.add_toolbar(*child, GuiToolbar::ANCHOR_LEFT);
    pump_events(app());
    EXPECT_FALSE(child->is_minimizable());
    EXPECT_EQ(child->get_y(), bar.get_y()) << "a child toolbar takes the full bar height";

    bar.resize(0, 10, 60, 22);
    pump_events(app());
    std::vector<std::string> const expected = {"Shading"};
    EXPECT_EQ(item_names(*bar.get_addon_menu()), expected);
    GuiMenu* sub = bar.get_addon_menu()->get_items()[0]->get_sub_menu();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(item_names(*sub), (std::vector<std::string>{"Flat", "Smooth"}));
    EXPECT_TRUE(bar.extract_toolbar(*child));
    EXPECT_FALSE(bar.has_widget(child));
}
