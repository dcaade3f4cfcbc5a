// OpenImageIO first: X11 headers define None, which its headers use as a name.
#include <OpenImageIO/imageio.h>

#include "demo/screenshot.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <memory>

#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "host/core/core_log.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_timer.h"

namespace {

// Runs the toolkit and the application's passes for a while, so that the window is mapped,
// exposed, laid out and drawn.
void settle(GuiApp& app, double seconds)
{
    SysTimer timer;
    while (timer.get_elapsed_time() < seconds) {
        Fl::wait(0.02);
        app.process_pending();
        Fl::flush();
    }
}

}  // namespace

bool write_window_screenshot(GuiApp& app, GuiWindow& window, CoreString const& path)
{
    Fl_Widget* toolkit = window.get_widget();
    Fl_Window* toolkit_window = toolkit ? toolkit->as_window() : nullptr;
    if (!toolkit_window || !toolkit_window->shown()) {
        CORE_LOG_ERROR("write_window_screenshot: the window is not shown\n");
        return false;
    }
    settle(app, 0.5);
    toolkit_window->redraw();
    settle(app, 0.2);
    int const w = toolkit_window->w(), h = toolkit_window->h();
    toolkit_window->make_current();
    std::unique_ptr<unsigned char[]> pixels(fl_read_image(nullptr, 0, 0, w, h));
    if (!pixels) {
        CORE_LOG_ERROR("write_window_screenshot: the window's pixels could not be read\n");
        return false;
    }
    CoreString const folder = SysFilesystem::get_folder(path);
    if (!folder.is_empty() && !SysFilesystem::folder_exists(folder)) SysFilesystem::create_folder(folder);
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(path.get_data());
    OIIO::ImageSpec const spec(w, h, 3, OIIO::TypeDesc::UINT8);
    if (!out || !out->open(path.get_data(), spec) || !out->write_image(OIIO::TypeDesc::UINT8, pixels.get()) ||
        !out->close()) {
        CORE_LOG_ERROR("write_window_screenshot: could not write '" << path << "': "
                                                                     << (out ? out->geterror() : OIIO::geterror())
                                                                     << "\n");
        return false;
    }
    CORE_LOG_INFO("write_window_screenshot: wrote " << path << " (" << w << " x " << h << ")\n");
    return true;
}
