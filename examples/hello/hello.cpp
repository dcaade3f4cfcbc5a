// A first program on qn_gui: a window with a menu and a button that greets.
//     hello                       runs until File > Quit (or Ctrl+Q)
//     hello --screenshot FILE     draws the window once, writes its picture to FILE and leaves
#include <cstring>

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_action.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"

int main(int argc, char** argv)
{
    GuiApp app(argc, argv);
    GuiWindow* window = app.create_window(100, 100, 360, 200, "Hello");
    window->add_default_background();
    auto const say_hello = [&app] {
        app.message_box("Hello from qn_gui.", "Hello", AppDialog::ok(), AppDialog::STYLE_OK);
    };

    GuiMenuButton* file = new GuiMenuButton(*window, 8, 8, 50, 24, "File");
    GuiMenu* menu = new GuiMenu(window);
    file->set_menu(menu);
    menu->add_item("Say hello");
    // The window's actions run for keys typed anywhere in it; the item shows the shortcut.
    GuiAction* quit = window->register_action(
        "Quit", [](GuiWidget& widget, GuiAction const&, void*) { widget.get_application().quit(); }, "ctrl+q");
    menu->add_item(*quit);
    EventObject::connect(*menu, EVT_ID_MENU_CLICK, [&](GuiMenu& clicked, EventObject::EventInfo const&) {
        GuiMenuItem* item = clicked.get_last_selected_item();
        if (item && item->get_name() == "Say hello") say_hello();
    });

    GuiPushButton* hello = new GuiPushButton(*window, 120, 90, 120, 28, "Say hello");
    EventObject::connect(*hello, EVT_ID_PUSH_BUTTON_CLICK, say_hello);

    window->show();
    if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0) return window->write_screenshot(argv[2]) ? 0 : 1;
    app.run();
    return 0;
}
