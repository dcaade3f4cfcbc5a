#pragma once
// GuiAppDrawLock: the process-wide recursive lock that every widget draw holds, and the
// count of widget draws in progress. A thread that changes data read by drawing takes the
// lock around the change.
#include "gui/core/gui_export.h"
#include "host/sys/sys_thread_lock.h"

class QN_GUI_API GuiAppDrawLock {
public:
    static SysThreadLockRecursive& get_lock();
    static void lock() { get_lock().lock(); }
    static void unlock() { get_lock().unlock(); }

    // Draw depth bookkeeping of the routers (any thread).
    static void begin_draw();
    static void end_draw();
    // A widget draw is in progress.
    static bool is_drawing();
};
