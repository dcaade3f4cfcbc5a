#pragma once
// Measuring time on the steady clock, in seconds (double).
#include "host/core/core_export.h"

// Time since construction or the last reset.
class QN_HOST_API SysTimer {
public:
    SysTimer();

    void reset();
    double get_elapsed_time() const;

private:
    long long m_start;  // steady clock, nanoseconds
};

// A stopwatch: accumulates time only while started. Starting a started watch or
// stopping a stopped one changes nothing.
class QN_HOST_API SysWatch {
public:
    SysWatch() = default;

    void start();
    void stop();
    // Clears the accumulated time; a running watch keeps running from now.
    void reset();
    bool const& is_running() const { return m_running; }
    // Accumulated time, including the current run when started.
    double get_elapsed_time() const;

private:
    long long m_accumulated = 0;  // nanoseconds of the finished runs
    long long m_start = 0;        // steady clock at the last start
    bool m_running = false;
};
