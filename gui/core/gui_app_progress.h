#pragma once
// GuiAppProgress: the pace of the refreshes that long work asks for through
// GuiApp::progress_update (one at a time, the first at once, later ones at most every 51 ms),
// and the note that a refresh left the interface disabled for the next pass to give back.
#include <atomic>

#include "gui/core/gui_export.h"
#include "host/sys/sys_timer.h"

class QN_GUI_API GuiAppProgress {
public:
    // Starts a refresh. False while one runs (long work may call back from inside a refresh)
    // or when the last one that counted ended less than 51 ms ago.
    bool begin();
    // Ends the refresh begin started; with restart_interval the 51 ms count from now.
    void end(bool restart_interval);
    // Any thread.
    bool is_running() const { return m_running.load(); }

    // A refresh disabled the interface; the next processing pass takes the note and gives it back.
    void set_reenable_pending() { m_reenable_pending = true; }
    bool is_reenable_pending() const { return m_reenable_pending; }
    // True once per note.
    bool take_reenable_pending();

private:
    std::atomic<bool> m_running{false};
    bool m_first = true;
    SysTimer m_timer;
    bool m_reenable_pending = false;
};
