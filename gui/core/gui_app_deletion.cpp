#include "gui/core/gui_app_deletion.h"

#include <FL/Fl_Window.H>

#include <utility>

#include "gui/core/gui_widget.h"

namespace {

int s_event_depth = 0;  // interface thread only

// A toolkit window waiting for the idle pass to be deleted.
class DeferredToolkitWindow : public CoreBaseObject {
public:
    explicit DeferredToolkitWindow(Fl_Window* window) : m_window(window) {}
    ~DeferredToolkitWindow() override { delete m_window; }
    DeferredToolkitWindow(DeferredToolkitWindow const&) = delete;
    DeferredToolkitWindow& operator=(DeferredToolkitWindow const&) = delete;

private:
    Fl_Window* m_window;
};

}  // namespace

GuiAppDeletion::~GuiAppDeletion()
{
    delete_all();
}

bool GuiAppDeletion::add_widget(GuiWidget* widget)
{
    if (!widget || m_widgets.contains(widget)) return false;
    m_widgets.add(widget);
    return true;
}

void GuiAppDeletion::add_object(CoreBaseObject* object)
{
    if (object) m_objects.add(object);
}

void GuiAppDeletion::add_toolkit_window(Fl_Window* window)
{
    if (window) add_object(new DeferredToolkitWindow(window));
}

void GuiAppDeletion::forget(GuiWidget* widget)
{
    m_widgets.remove_item(widget);
}

void GuiAppDeletion::delete_all()
{
    // Deleting may queue more (a window hands over its toolkit window): repeat until empty.
    while (!m_widgets.is_empty() || !m_objects.is_empty()) {
        CoreVector<GuiWidget*> widgets;
        std::swap(widgets.std_vector(), m_widgets.std_vector());
        for (GuiWidget* widget : widgets) delete widget;
        CoreVector<CoreBaseObject*> objects;
        std::swap(objects.std_vector(), m_objects.std_vector());
        for (CoreBaseObject* object : objects) delete object;
    }
}

GuiAppDeletion::EventScope::EventScope()
{
    ++s_event_depth;
}

GuiAppDeletion::EventScope::~EventScope()
{
    --s_event_depth;
}

bool GuiAppDeletion::is_handling_event()
{
    return s_event_depth > 0;
}
