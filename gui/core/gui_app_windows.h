#pragma once
// GuiAppWindows: the application's top-level windows in creation order (not owned), what is
// done to all of them at once, and the toolkit-wide window calls: the front-most window,
// the mouse cursor and an immediate redraw of every shown toolkit window.
#include <cstddef>

#include "gui/core/gui.h"
#include "gui/core/gui_export.h"
#include "host/core/core_vector.h"

class GuiColorScheme;
class GuiWindow;

class QN_GUI_API GuiAppWindows {
public:
    // Adding a window twice, or null, does nothing.
    void add(GuiWindow* window);
    void remove(GuiWindow* window);
    CoreVector<GuiWindow*> const& get_windows() const { return m_windows; }

    // Queues a redraw of every window that is not being destroyed.
    void redraw_all() const;
    // Gives every window that is not being destroyed the scheme.
    void update_color_scheme(GuiColorScheme const& scheme) const;
    // The widgets of every window, the windows included, and the memory they use.
    void count_widgets(unsigned int& count, size_t& memory) const;

    // The window of the toolkit's first (front-most) shown window; null if none.
    static GuiWindow* get_top_window();
    // The cursor of every shown toolkit window.
    static void set_cursor(Gui::MouseCursorId const& cursor);
    // Makes the toolkit redraw every shown window now.
    static void force_redraw();

private:
    CoreVector<GuiWindow*> m_windows;
};
