#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/sys/sys_timer.h"

namespace {

void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

TEST(SysTimer, MeasuresSinceConstructionOrReset)
{
    SysTimer timer;
    sleep_ms(30);
    double first = timer.get_elapsed_time();
    EXPECT_GE(first, 0.029);
    timer.reset();
    EXPECT_LT(timer.get_elapsed_time(), first);
}

TEST(SysWatch, AccumulatesOnlyWhileStarted)
{
    SysWatch watch;
    EXPECT_EQ(watch.get_elapsed_time(), 0.0);
    sleep_ms(20);
    EXPECT_EQ(watch.get_elapsed_time(), 0.0);  // never started

    watch.start();
    sleep_ms(30);
    watch.stop();
    double first_run = watch.get_elapsed_time();
    EXPECT_GE(first_run, 0.029);

    sleep_ms(200);  // stopped: must not count
    EXPECT_EQ(watch.get_elapsed_time(), first_run);
    watch.stop();  // stopping twice changes nothing
    EXPECT_EQ(watch.get_elapsed_time(), first_run);

    watch.start();
    sleep_ms(30);
    watch.start();  // starting twice must not restart the current run
    EXPECT_GE(watch.get_elapsed_time(), first_run + 0.029);  // read while running
    EXPECT_TRUE(watch.is_running());
    watch.stop();
    // Two runs of ~30 ms each, not the 200 ms pause in between.
    EXPECT_LT(watch.get_elapsed_time(), first_run + 0.15);

    watch.reset();
    EXPECT_EQ(watch.get_elapsed_time(), 0.0);
    EXPECT_FALSE(watch.is_running());
}

TEST(SysWatch, ResetWhileRunningKeepsRunning)
{
    SysWatch watch;
    watch.start();
    sleep_ms(30);
    watch.reset();
    EXPECT_TRUE(watch.is_running());
    EXPECT_LT(watch.get_elapsed_time(), 0.029);
    sleep_ms(10);
    EXPECT_GT(watch.get_elapsed_time(), 0.0);
}
