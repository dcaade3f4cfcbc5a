#include "gui/core/gui_app_queues.h"

#include "gui/core/gui_widget.h"

void GuiAppQueues::add_redraw(GuiWidget* widget)
{
    if (!widget) return;
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_redraws.add(widget);
}

void GuiAppQueues::remove_redraw(GuiWidget* widget)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_redraws.remove(widget);
}

bool GuiAppQueues::has_redraw(GuiWidget* widget) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return m_redraws.has(widget);
}

void GuiAppQueues::add_update(GuiWidget* widget)
{
    if (!widget) return;
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_updates.add(widget);
}

void GuiAppQueues::remove_update(GuiWidget* widget)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_updates.remove(widget);
}

bool GuiAppQueues::has_update(GuiWidget* widget) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return m_updates.has(widget);
}

unsigned int GuiAppQueues::get_redraw_count() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return m_redraws.get_count();
}

unsigned int GuiAppQueues::get_update_count() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return m_updates.get_count();
}

void GuiAppQueues::work_off()
{
    {
        SysThreadLockGuard<SysThreadLock> guard(m_lock);
        m_updates.get_items(m_pass_updates);
        m_redraws.get_items(m_pass_redraws);
        m_updates.clear();
        m_redraws.clear();
    }
    // Entries are nulled by forget when their widget is deleted meanwhile.
    for (unsigned int i = 0; i < m_pass_updates.get_count(); ++i)
        if (GuiWidget* widget = m_pass_updates[i]) widget->widget_update();
    for (unsigned int i = 0; i < m_pass_redraws.get_count(); ++i)
        if (GuiWidget* widget = m_pass_redraws[i]) widget->widget_redraw();
    m_pass_updates.clear();
    m_pass_redraws.clear();
}

void GuiAppQueues::work_off_redraws()
{
    {
        SysThreadLockGuard<SysThreadLock> guard(m_lock);
        m_redraws.get_items(m_refresh_redraws);
        m_redraws.clear();
    }
    for (unsigned int i = 0; i < m_refresh_redraws.get_count(); ++i)
        if (GuiWidget* widget = m_refresh_redraws[i]) widget->widget_redraw();
    m_refresh_redraws.clear();
}

void GuiAppQueues::forget(GuiWidget* widget)
{
    remove_redraw(widget);
    remove_update(widget);
    for (CoreVector<GuiWidget*>* list : {&m_pass_updates, &m_pass_redraws, &m_refresh_redraws})
        for (GuiWidget*& entry : *list)
            if (entry == widget) entry = nullptr;
}
