#include "host/sys/sys_timer.h"

#include <chrono>

namespace {

long long now_ns()
{
    auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count();
}

double to_seconds(long long ns)
{
    return static_cast<double>(ns) * 1.0e-9;
}

}  // namespace

SysTimer::SysTimer() : m_start(now_ns())
{
}

void SysTimer::reset()
{
    m_start = now_ns();
}

double SysTimer::get_elapsed_time() const
{
    return to_seconds(now_ns() - m_start);
}

void SysWatch::start()
{
    if (m_running) return;
    m_start = now_ns();
    m_running = true;
}

void SysWatch::stop()
{
    if (!m_running) return;
    m_accumulated += now_ns() - m_start;
    m_running = false;
}

void SysWatch::reset()
{
    m_accumulated = 0;
    m_start = now_ns();
}

double SysWatch::get_elapsed_time() const
{
    long long total = m_accumulated;
    if (m_running) total += now_ns() - m_start;
    return to_seconds(total);
}
