#pragma once
// Pictures of the showcase's windows, written as PNG files through OpenImageIO.
#include "host/core/core_string.h"

class GuiApp;
class GuiWindow;

// Lets the application lay out and draw the shown window, reads its pixels back and writes
// them to `path` (folders created as needed). False, with a logged error, when the window
// could not be drawn or the file not written.
bool write_window_screenshot(GuiApp& app, GuiWindow& window, CoreString const& path);
