#pragma once
// Identity of the interface library, as the application shows it in its about box.
#include "gui/core/gui_export.h"

class QN_GUI_API GuiLibrary {
public:
    // "qn_gui" followed by the version, e.g. "qn_gui 0.1.0".
    static char const* get_name_and_version();
};
