#include "gui/core/gui_app_pending_callback_handler.h"

CORE_IMPLEMENT_CLASS(GuiAppPendingCallbackHandler, CoreBaseObject)

void GuiAppPendingCallbackHandler::add(MouseListener callback, void* data)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_changes.add(Change{0, Listener{callback, data}});
}

void GuiAppPendingCallbackHandler::remove(MouseListener callback, void* data)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_changes.add(Change{1, Listener{callback, data}});
}

void GuiAppPendingCallbackHandler::apply_changes()
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    for (Change const& change : m_changes) {
        if (change.operation == 0) {
            m_listeners.add(change.listener);
        } else {
            int const index = m_listeners.find(change.listener);
            if (index >= 0) m_listeners.remove(static_cast<unsigned int>(index));
        }
    }
    m_changes.clear();
}

CoreVector<GuiAppPendingCallbackHandler::Listener> GuiAppPendingCallbackHandler::get_listeners() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return m_listeners;
}

void GuiAppPendingCallbackHandler::dispatch(GuiWidget& widget, CoreString const& event) const
{
    // A copy: the listeners are called without the lock, and may queue changes.
    for (Listener const& listener : get_listeners()) listener.callback(widget, event, listener.data);
}
