// The main menu bar: built on a toolbar from the host's description and following it.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <fstream>
#include <string>
#include <vector>

#include "gui/core/gui_action.h"
#include "gui/panels/gui_app_main_menu.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"
#include "gui/controls/gui_push_button.h"
#include "gui/panels/gui_toolbar.h"
#include "host/app/app_main_menu.h"
#include "tests/gui_controls/controls_test_util.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

std::vector<std::string> g_commands;

void run(AppMainMenuItem& item, void*)
{
    g_commands.push_back(item.get_path().std_string());
}

void fill_recent(AppMainMenuItem& item, void* menu, void*)
{
    // The handler gets the interface's menu and may fill it before it shows.
    auto* gui_menu = static_cast<GuiMenu*>(menu);
    g_commands.push_back("show " + item.get_path().std_string() + " " +
                         std::to_string(gui_menu->get_items().get_count()));
}

class MainMenuTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        g_commands.clear();
        m_window = &make_window(500, 200);
        m_toolbar = new GuiToolbar(*m_window, 0, 0, 500, "Main menu");
        m_toolbar->show();
        m_description.add_item("File", AppMainMenuItem::KIND_SUB_MENU);
        m_description.add_item("File>Open...", AppMainMenuItem::KIND_COMMAND, &run, nullptr, "ctrl+o");
        m_description.add_item("File>-1", AppMainMenuItem::KIND_SEPARATOR);
        m_description.add_item("File>Recent", AppMainMenuItem::KIND_SUB_MENU);
        m_description.add_item("File>Recent>street.scene", AppMainMenuItem::KIND_COMMAND, &run);
        m_description.add_item("Edit", AppMainMenuItem::KIND_SUB_MENU);
        m_description.add_item("Edit>Snap", AppMainMenuItem::KIND_CHECK, &run, nullptr, "shift+s");
        m_description.set_checked("Edit>Snap", true);
    }
    AppMainMenu m_description;
    GuiWindow* m_window = nullptr;
    GuiToolbar* m_toolbar = nullptr;
};

}  // namespace

TEST_F(MainMenuTest, BuildsTheBarAndRunsCommandsFromClicksAndShortcuts)
{
    GuiAppMainMenu main_menu(app(), m_description);
    {
        LogRecorder log;
        EXPECT_FALSE(main_menu.build_menus());
        EXPECT_TRUE(log.contains("Toolbar is not set.")) << log.dump();
    }
    main_menu.set_toolbar(m_toolbar);
    ASSERT_TRUE(main_menu.build_menus());
    pump_events(app());

    GuiMenuButton* file = main_menu.get_gui_button("File");
    ASSERT_NE(file, nullptr);
    GuiMenu* file_menu = file->get_menu();
    EXPECT_EQ(item_names(*file_menu), (std::vector<std::string>{"Open...", "-", "Recent"}));
    EXPECT_EQ(main_menu.get_gui_menu("File>Recent")->get_items()[0]->get_name(), "street.scene");
    GuiMenuItem* snap = main_menu.get_gui_item("Edit>Snap");
    EXPECT_TRUE(snap->get_checkable() && snap->is_checked());

    // A click on the item runs its command.
    file->push();
    click_menu_row(*file_menu, 0);
    EXPECT_EQ(g_commands, (std::vector<std::string>{"File>Open..."}));

    // The shortcut works anywhere in the window.
    GuiWidget* panel = new GuiWidget(*m_window, 0, 40, 200, 100);
    panel->show();
    panel->set_focus_receiver(true);
    panel->set_focus();
    EXPECT_EQ(key_down(*panel, 'o', "o", FL_CTRL), 1);
    EXPECT_EQ(g_commands.size(), 2u);

    // A check item toggles in the description and in the menu.
    EXPECT_EQ(key_down(*panel, 's', "S", FL_SHIFT), 1);
    EXPECT_FALSE(m_description.get_item("Edit>Snap")->is_checked());
    EXPECT_FALSE(snap->is_checked());

    // Building again reports every item as already there.
    LogRecorder log;
    main_menu.build_menus();
    EXPECT_TRUE(log.contains("MainMenu: the \"File\" item already exists.\n")) << log.dump();
}

TEST_F(MainMenuTest, FollowsAdditionsChangesMovesAndRemovals)
{
    GuiAppMainMenu main_menu(app(), m_description);
    main_menu.set_toolbar(m_toolbar);
    main_menu.build_menus();
    GuiMenu* file_menu = main_menu.get_gui_menu("File");

    m_description.add_item("File>Close", AppMainMenuItem::KIND_COMMAND, &run);
    m_description.add_item("Help", AppMainMenuItem::KIND_SUB_MENU);
    m_description.add_item("Help>About", AppMainMenuItem::KIND_COMMAND, &run);
    EXPECT_EQ(item_names(*file_menu), (std::vector<std::string>{"Open...", "-", "Recent", "Close"}));

    // Changes: enabled state, shortcut, check mark.
    m_description.set_enabled("File>Open...", false);
    GuiMenuItem* open = main_menu.get_gui_item("File>Open...");
    EXPECT_TRUE(open->is_disabled());
    EXPECT_FALSE(open->get_action()->is_enabled());
    m_description.set_shortcut("File>Open...", "ctrl+shift+o");
    EXPECT_EQ(open->get_shortcut(), "Ctrl+Shift+O");
    m_description.set_checked("Edit>Snap", false);
    EXPECT_FALSE(main_menu.get_gui_item("Edit>Snap")->is_checked());

    // Moves, in a menu and on the bar.
    m_description.move_item("File>Close", 0);
    EXPECT_EQ(item_names(*file_menu), (std::vector<std::string>{"Close", "Open...", "-", "Recent"}));
    m_description.move_item("Help", 0);
    EXPECT_EQ(m_toolbar->get_item_index(main_menu.get_gui_button("Help")), 0);

    // Removals take the menus and the actions along.
    size_t const actions = m_window->get_actions().get_count();
    m_description.remove_item("File>Recent");
    EXPECT_EQ(item_names(*file_menu), (std::vector<std::string>{"Close", "Open...", "-"}));
    EXPECT_EQ(main_menu.get_gui_menu("File>Recent"), nullptr);
    EXPECT_EQ(m_window->get_actions().get_count(), actions - 1);
    GuiMenuButton* edit = main_menu.get_gui_button("Edit");
    m_description.remove_item("Edit");
    EXPECT_TRUE(edit->is_destroyed());
    EXPECT_EQ(main_menu.get_gui_item("Edit>Snap"), nullptr);
}

TEST_F(MainMenuTest, TopLevelCommandsAndSeparatorsMoveAndGoWithTheirItems)
{
    m_description.add_item("-1", AppMainMenuItem::KIND_SEPARATOR);
    m_description.add_item("Render", AppMainMenuItem::KIND_COMMAND, &run);
    GuiAppMainMenu main_menu(app(), m_description);
    main_menu.set_toolbar(m_toolbar);
    main_menu.build_menus();
    // A tool of the bar that is not part of the menu, after it.
    GuiPushButton* tool = m_toolbar->create_button("Tool", "", GuiToolbar::ANCHOR_LEFT);
    GuiWidget* render = m_toolbar->get_widget(3);
    ASSERT_NE(render, nullptr);

    m_description.move_item("Render", 0);  // Render File Edit -
    EXPECT_EQ(m_toolbar->get_widget(0), render);
    EXPECT_TRUE(m_toolbar->is_separator(3));
    m_description.move_item("-1", 1);  // Render - File Edit
    EXPECT_TRUE(m_toolbar->is_separator(1));
    // Moved to the end of the menu, it stays ahead of the other tools.
    m_description.move_item("Render", 3);  // - File Edit Render
    EXPECT_EQ(m_toolbar->get_item_index(render), 3);
    EXPECT_EQ(m_toolbar->get_item_index(tool), 4);

    // The separator that goes is the menu's, wherever it stands.
    m_description.remove_item("-1");
    ASSERT_EQ(m_toolbar->get_item_count(), 4u);
    for (unsigned int i = 0; i < 4; ++i) EXPECT_FALSE(m_toolbar->is_separator(i)) << i;
    EXPECT_EQ(m_toolbar->get_item_index(tool), 3);
    m_description.remove_item("Render");
    EXPECT_TRUE(render->is_destroyed());
    EXPECT_EQ(m_toolbar->get_item_index(tool), 2);
}

TEST_F(MainMenuTest, ATopLevelButtonShowsTheIconOfItsItem)
{
    // A 16 x 16 picture in a format read by every image library: binary PPM.
    SysTempFolder folder;
    std::string const path = (folder / "render.ppm").std_string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "P6\n16 16\n255\n";
        for (int i = 0; i < 16 * 16; ++i) out << static_cast<char>(200) << static_cast<char>(40) << static_cast<char>(10);
    }
    m_description.add_item("Render", AppMainMenuItem::KIND_COMMAND, &run);
    GuiAppMainMenu main_menu(app(), m_description);
    main_menu.set_toolbar(m_toolbar);
    main_menu.build_menus();
    auto* render = static_cast<GuiPushButton*>(m_toolbar->get_widget(2));
    ASSERT_NE(render, nullptr);

    m_description.set_icon_path("Render", CoreString(path.c_str()));
    EXPECT_NE(render->get_icon(), nullptr);

    // An unreadable file is reported and leaves the button without icon.
    LogRecorder log;
    m_description.set_icon_path("Render", (folder / "missing.png"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_EQ(render->get_icon(), nullptr);
    GuiAppMainMenu::release_icons();
}

TEST_F(MainMenuTest, ShowHandlersRunForEnabledMenusOnly)
{
    GuiAppMainMenu main_menu(app(), m_description);
    main_menu.set_toolbar(m_toolbar);
    main_menu.build_menus();
    m_description.set_show_handler("File", &fill_recent, nullptr);
    GuiMenuButton* file = main_menu.get_gui_button("File");
    file->push();
    EXPECT_EQ(g_commands, (std::vector<std::string>{"show File 3"}));
    file->get_menu()->hide();

    m_description.set_enabled("File", false);
    LogRecorder log;
    file->set_enable(true);  // the button itself may still be pressed from code
    file->push();
    EXPECT_EQ(g_commands.size(), 1u);
    EXPECT_TRUE(log.contains("MainMenu::on_show_menu(): Item 'File' is not enabled.\n")) << log.dump();
    file->get_menu()->hide();

    // Without a toolbar the changes are refused with a warning.
    main_menu.set_toolbar(nullptr);
    log.clear();
    m_description.set_enabled("File", true);
    EXPECT_TRUE(log.contains("MainMenu: Toolbar is not set.")) << log.dump();
}
