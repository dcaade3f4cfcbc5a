#include "gui/core/gui_app_windows.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "gui/core/gui_router.h"
#include "gui/core/gui_window.h"

namespace {

void count_tree(GuiWidget const& widget, unsigned int& count, size_t& memory)
{
    ++count;
    memory += widget.get_memory_size();
    for (GuiWidget const* child : widget.get_children()) count_tree(*child, count, memory);
}

}  // namespace

void GuiAppWindows::add(GuiWindow* window)
{
    if (window && !m_windows.contains(window)) m_windows.add(window);
}

void GuiAppWindows::remove(GuiWindow* window)
{
    int const index = m_windows.find(window);
    if (index >= 0) m_windows.remove(static_cast<unsigned int>(index));
}

void GuiAppWindows::redraw_all() const
{
    for (GuiWindow* window : m_windows)
        if (!window->is_destroyed()) window->redraw();
}

void GuiAppWindows::update_color_scheme(GuiColorScheme const& scheme) const
{
    // A copy: a window may open or close while it recolours.
    for (GuiWindow* window : CoreVector<GuiWindow*>(m_windows))
        if (!window->is_destroyed()) window->update_color_scheme(scheme);
}

void GuiAppWindows::count_widgets(unsigned int& count, size_t& memory) const
{
    for (GuiWindow const* window : m_windows) count_tree(*window, count, memory);
}

GuiWindow* GuiAppWindows::get_top_window()
{
    if (!fl_display) return nullptr;
    Fl_Window* first = Fl::first_window();
    GuiRouter* router = first ? dynamic_cast<GuiRouter*>(first) : nullptr;
    GuiWidget* owner = router ? router->get_owner() : nullptr;
    return owner && owner->is_kindof(GuiWindow::class_info()) ? static_cast<GuiWindow*>(owner) : nullptr;
}

void GuiAppWindows::set_cursor(Gui::MouseCursorId const& cursor)
{
    if (!fl_display) return;
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        window->cursor(static_cast<Fl_Cursor>(cursor));
}

void GuiAppWindows::force_redraw()
{
    if (!Gui::open_display()) return;
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window)) window->redraw();
    Fl::flush();
}
