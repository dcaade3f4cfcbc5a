#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/sys/sys_timer.h"

namespace {

void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Seconds passed since `start` on the steady clock. Upper bounds are checked against this
// outside measure rather than fixed margins, which a loaded machine can exceed; the
// microsecond covers rounding of the two clocks' readings.
double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() + 1e-6;
}

}  // namespace

TEST(SysTimer, MeasuresSinceConstructionOrReset)
{
    SysTimer timer;
    sleep_ms(30);
    double first = timer.get_elapsed_time();
    EXPECT_GE(first, 0.029);
    auto const before_reset = std::chrono::steady_clock::now();
    timer.reset();
    double const after_reset = timer.get_elapsed_time();
    EXPECT_LE(after_reset, seconds_since(before_reset));
}

TEST(SysWatch, AccumulatesOnlyWhileStarted)
{
    SysWatch watch;
    sleep_ms(20);
    EXPECT_EQ(watch.get_elapsed_time(), 0.0);  // never started

    watch.start();
    sleep_ms(30);
    watch.stop();
    double first_run = watch.get_elapsed_time();
    EXPECT_GE(first_run, 0.029);

    sleep_ms(200);  // stopped: must not count
    EXPECT_EQ(watch.get_elapsed_time(), first_run);

    auto const before_second_run = std::chrono::steady_clock::now();
    watch.start();
    sleep_ms(30);
    watch.start();  // starting twice must not restart the current run
    EXPECT_GE(watch.get_elapsed_time(), first_run + 0.029);  // read while running
    watch.stop();
    // The first run plus the second, not the 200 ms pause in between.
    EXPECT_LE(watch.get_elapsed_time(), first_run + seconds_since(before_second_run));

    watch.reset();
    EXPECT_EQ(watch.get_elapsed_time(), 0.0);
}

TEST(SysWatch, ResetWhileRunningKeepsRunning)
{
    SysWatch watch;
    watch.start();
    sleep_ms(30);
    auto const before_reset = std::chrono::steady_clock::now();
    watch.reset();
    EXPECT_TRUE(watch.is_running());
    double const after_reset = watch.get_elapsed_time();
    EXPECT_LE(after_reset, seconds_since(before_reset));  // the 30 ms before the reset are gone
    sleep_ms(10);
    EXPECT_GT(watch.get_elapsed_time(), 0.0);
}
