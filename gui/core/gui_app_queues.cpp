#include "gui/core/gui_app_queues.h"

#include "gui/core/gui_widget.h"

void GuiAppQueues::add(CoreSet<GuiWidget*>& set, GuiWidget* widget)
{
    if (!widget) return;
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    set.add(widget);
}

void GuiAppQueues::remove(CoreSet<GuiWidget*>& set, GuiWidget* widget)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    set.remove(widget);
}

bool GuiAppQueues::has(CoreSet<GuiWidget*> const& set, GuiWidget* widget) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return set.has(widget);
}

unsigned int GuiAppQueues::get_count(CoreSet<GuiWidget*> const& set) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return set.get_count();
}

void GuiAppQueues::work_off_list(CoreVector<GuiWidget*>& list, void (GuiWidget::*call)())
{
    // Entries are nulled by forget when their widget is deleted meanwhile.
    for (unsigned int i = 0; i < list.get_count(); ++i)
        if (GuiWidget* widget = list[i]) (widget->*call)();
    list.clear();
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
    work_off_list(m_pass_updates, &GuiWidget::widget_update);
    work_off_list(m_pass_redraws, &GuiWidget::widget_redraw);
}

void GuiAppQueues::work_off_redraws()
{
    {
        SysThreadLockGuard<SysThreadLock> guard(m_lock);
        m_redraws.get_items(m_refresh_redraws);
        m_redraws.clear();
    }
    work_off_list(m_refresh_redraws, &GuiWidget::widget_redraw);
}

void GuiAppQueues::forget(GuiWidget* widget)
{
    remove_redraw(widget);
    remove_update(widget);
    for (CoreVector<GuiWidget*>* list : {&m_pass_updates, &m_pass_redraws, &m_refresh_redraws})
        for (GuiWidget*& entry : *list)
            if (entry == widget) entry = nullptr;
}
