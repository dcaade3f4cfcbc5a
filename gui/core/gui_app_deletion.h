#pragma once
// GuiAppDeletion: widgets and other objects whose deletion waits for the idle pass, so that
// a handler may destroy its own widget, or a window hand over its toolkit window, while
// their code is still on the stack. Application thread only.
#include "gui/core/gui_export.h"
#include "host/core/core_vector.h"

class CoreBaseObject;
class Fl_Window;
class GuiWidget;

class QN_GUI_API GuiAppDeletion {
public:
    GuiAppDeletion() = default;
    // Deletes what is still queued.
    ~GuiAppDeletion();
    GuiAppDeletion(GuiAppDeletion const&) = delete;
    GuiAppDeletion& operator=(GuiAppDeletion const&) = delete;

    // Queues a widget; false when it is null or queued already.
    bool add_widget(GuiWidget* widget);
    // Queues any object; null is ignored.
    void add_object(CoreBaseObject* object);
    // Queues a toolkit window: its callbacks may be on the stack.
    void add_toolkit_window(Fl_Window* window);
    // Takes a widget deleted by other means out of the queue.
    void forget(GuiWidget* widget);
    // Deletes what is queued, and what that deletion queues in turn, until nothing is left.
    void delete_all();
    unsigned int get_widget_count() const { return m_widgets.get_count(); }
    unsigned int get_object_count() const { return m_objects.get_count(); }

    // Counts the toolkit events being handled. A handler may open a nested loop (a message
    // box, a drag) in which the idle pass runs: it deletes nothing while an event is handled,
    // so that the handler's widget outlives its handler.
    class QN_GUI_API EventScope {
    public:
        EventScope();
        ~EventScope();
        EventScope(EventScope const&) = delete;
        EventScope& operator=(EventScope const&) = delete;
    };
    static bool is_handling_event();

private:
    CoreVector<GuiWidget*> m_widgets;
    CoreVector<CoreBaseObject*> m_objects;
};
