#include "tests/support/gui_pixels.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include "gui/core/gui_window.h"

namespace {

// Draws the window and makes it the target of the toolkit's drawing and reading functions.
Fl_Window* make_window_current(GuiWindow& window)
{
    Fl_Widget* router = window.get_widget();
    Fl_Window* toolkit = router ? router->as_window() : nullptr;
    if (!toolkit || !toolkit->shown() || !fl_display) return nullptr;
    Fl::flush();
    toolkit->make_current();
    return toolkit;
}

}  // namespace

std::vector<unsigned char> read_window_rgb(GuiWindow& window, int& w, int& h)
{
    w = 0;
    h = 0;
    Fl_Window* toolkit = make_window_current(window);
    if (!toolkit) return {};
    unsigned char* data = fl_read_image(nullptr, 0, 0, toolkit->w(), toolkit->h());
    if (!data) return {};
    w = toolkit->w();
    h = toolkit->h();
    std::vector<unsigned char> rgb(data, data + static_cast<size_t>(w) * h * 3);
    delete[] data;
    return rgb;
}

GMathVec3<unsigned char> pixel_at(std::vector<unsigned char> const& rgb, int w, int x, int y)
{
    if (w <= 0 || x < 0 || y < 0 || x >= w) return GMathVec3<unsigned char>(0, 0, 0);
    size_t const index = (static_cast<size_t>(y) * w + x) * 3;
    if (index + 2 >= rgb.size()) return GMathVec3<unsigned char>(0, 0, 0);
    return GMathVec3<unsigned char>(rgb[index], rgb[index + 1], rgb[index + 2]);
}

GMathVec3<unsigned char> pixel_at(GuiWindow& window, int x, int y)
{
    Fl_Window* toolkit = make_window_current(window);
    if (!toolkit || x < 0 || y < 0 || x >= toolkit->w() || y >= toolkit->h())
        return GMathVec3<unsigned char>(0, 0, 0);
    unsigned char* data = fl_read_image(nullptr, x, y, 1, 1);
    if (!data) return GMathVec3<unsigned char>(0, 0, 0);
    GMathVec3<unsigned char> const pixel(data[0], data[1], data[2]);
    delete[] data;
    return pixel;
}
