#pragma once
// GuiAppQueues: the widgets waiting for their widget_update or widget_redraw, and the work
// lists of the passes that call them. Any thread may queue or unqueue a widget: a lock
// guards the two sets, and a pass moves them out under the lock and works on its own lists
// without it, so that a worker never waits for a widget's drawing.
#include "gui/core/gui_export.h"
#include "host/core/core_set.h"
#include "host/core/core_vector.h"
#include "host/sys/sys_thread_lock.h"

class GuiWidget;

class QN_GUI_API GuiAppQueues {
public:
    // Any thread. Adding a widget already queued, or null, does nothing.
    void add_redraw(GuiWidget* widget) { add(m_redraws, widget); }
    void remove_redraw(GuiWidget* widget) { remove(m_redraws, widget); }
    bool has_redraw(GuiWidget* widget) const { return has(m_redraws, widget); }
    void add_update(GuiWidget* widget) { add(m_updates, widget); }
    void remove_update(GuiWidget* widget) { remove(m_updates, widget); }
    bool has_update(GuiWidget* widget) const { return has(m_updates, widget); }
    unsigned int get_redraw_count() const { return get_count(m_redraws); }
    unsigned int get_update_count() const { return get_count(m_updates); }

    // Application thread. Empties both sets, then calls widget_update on every widget that
    // was waiting for it and widget_redraw on every widget waiting for that.
    void work_off();
    // Application thread. Empties the redraw set and redraws its widgets, leaving the updates
    // for the next pass: the refresh of long work. Its list is its own, so that long work run
    // by a pass's update leaves the lists of that pass alone.
    void work_off_redraws();
    // Takes a widget being deleted out of the sets and out of the lists being worked off, so
    // that no running pass calls it afterwards.
    void forget(GuiWidget* widget);

private:
    // Each under the lock, on one of the two sets.
    void add(CoreSet<GuiWidget*>& set, GuiWidget* widget);
    void remove(CoreSet<GuiWidget*>& set, GuiWidget* widget);
    bool has(CoreSet<GuiWidget*> const& set, GuiWidget* widget) const;
    unsigned int get_count(CoreSet<GuiWidget*> const& set) const;
    // Calls `call` on every entry of `list` still there (forget nulls them), then empties it.
    static void work_off_list(CoreVector<GuiWidget*>& list, void (GuiWidget::*call)());

    mutable SysThreadLock m_lock;
    CoreSet<GuiWidget*> m_redraws;
    CoreSet<GuiWidget*> m_updates;
    // Application thread only.
    CoreVector<GuiWidget*> m_pass_updates;
    CoreVector<GuiWidget*> m_pass_redraws;
    CoreVector<GuiWidget*> m_refresh_redraws;
};
