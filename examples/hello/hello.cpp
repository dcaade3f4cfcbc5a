// A first program on qn_gui: a window with a menu and a button that greets.
//     hello                       runs until File > Quit
//     hello --screenshot FILE     draws the window once, writes its picture to FILE and leaves
#include <cstring>

#include "gui/controls/gui_push_button.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/menus/gui_menu.h"
#include "gui/menus/gui_menu_button.h"
#include "gui/menus/gui_menu_item.h"

namespace {

void on_hello(EventObject&, EventObject::EventInfo const&, void* app)
{
    static_cast<GuiApp*>(app)->message_box("Hello from qn_gui.", "Hello", AppDialog::ok(), AppDialog::STYLE_OK);
}

void on_file_menu(EventObject& menu, EventObject::EventInfo const& info, void* app)
{
    GuiMenuItem* item = static_cast<GuiMenu&>(menu).get_last_selected_item();
    if (!item) return;
    if (item->get_name() == "Quit")
        static_cast<GuiApp*>(app)->quit();
    else
        on_hello(menu, info, app);
}

}  // namespace

int main(int argc, char** argv)
{
    GuiApp app(argc, argv);
    GuiWindow* window = app.create_window(100, 100, 360, 200, "Hello");
    window->add_default_background();

    GuiMenuButton* file = new GuiMenuButton(*window, 8, 8, 50, 24, "File");
    file->set_menu(new GuiMenu(window));
    file->get_menu()->add_item("Say hello");
    file->get_menu()->add_item("Quit");
    EventObject::connect(*file->get_menu(), EVT_ID_MENU_CLICK, &on_file_menu, &app);

    GuiPushButton* hello = new GuiPushButton(*window, 120, 90, 120, 28, "Say hello");
    EventObject::connect(*hello, EVT_ID_PUSH_BUTTON_CLICK, &on_hello, &app);

    window->show();
    if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0) return window->write_screenshot(argv[2]) ? 0 : 1;
    app.run();
    return 0;
}
