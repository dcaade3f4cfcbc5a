#include "gui/core/gui_library.h"

char const* GuiLibrary::get_name_and_version()
{
    return "qn_gui " QN_GUI_VERSION;
}
