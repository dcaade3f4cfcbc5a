#include "gui/core/gui_app_progress.h"

namespace {

constexpr double REFRESH_INTERVAL = 0.051;

}  // namespace

bool GuiAppProgress::begin()
{
    if (m_running.exchange(true)) return false;
    if (!m_first && m_timer.get_elapsed_time() < REFRESH_INTERVAL) {
        m_running = false;
        return false;
    }
    m_first = false;
    return true;
}

void GuiAppProgress::end(bool restart_interval)
{
    if (restart_interval) m_timer.reset();
    m_running = false;
}

bool GuiAppProgress::take_reenable_pending()
{
    bool const pending = m_reenable_pending;
    m_reenable_pending = false;
    return pending;
}
