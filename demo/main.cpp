#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

#include "gui/core/gui_library.h"

int main(int argc, char** argv)
{
    Fl_Window window(640, 400, GuiLibrary::get_name_and_version());
    Fl_Box label(20, 20, 600, 360, "qn_gui showcase");
    window.end();
    window.show(argc, argv);
    return Fl::run();
}
