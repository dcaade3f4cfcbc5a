#pragma once
// GuiAppPendingCallbackHandler: the application's mouse listeners and their pending
// additions and removals. Changes are queued from any thread and applied at pass
// boundaries, so that a listener may add or remove listeners while it is being called.
#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/sys/sys_thread_lock.h"

class GuiWidget;

class QN_GUI_API GuiAppPendingCallbackHandler : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiAppPendingCallbackHandler, CoreBaseObject)

public:
    using MouseListener = void (*)(GuiWidget& widget, CoreString const& event, void* data);

    struct Listener {
        MouseListener callback = nullptr;
        void* data = nullptr;
        bool operator==(Listener const& other) const
        {
            return callback == other.callback && data == other.data;
        }
    };

    GuiAppPendingCallbackHandler() = default;

    // Queue an addition or a removal (any thread).
    void add(MouseListener callback, void* data);
    void remove(MouseListener callback, void* data);
    // Applies the queued changes in order: additions append, a removal removes the first
    // listener with the same callback and data.
    void apply_changes();
    // Copy of the active listeners (any thread).
    CoreVector<Listener> get_listeners() const;
    // Calls a copy of the active listeners with the widget and the event name.
    void dispatch(GuiWidget& widget, CoreString const& event) const;

private:
    struct Change {
        int operation = 0;  // 0 add, 1 remove
        Listener listener;
    };
    mutable SysThreadLock m_lock;
    CoreVector<Change> m_changes;
    CoreVector<Listener> m_listeners;
};
