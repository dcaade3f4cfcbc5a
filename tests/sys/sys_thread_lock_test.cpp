#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/sys/sys_thread_lock.h"
#include "host/sys/sys_timer.h"

namespace {

// Holds `lock` on another thread until `release` is set.
template <typename LOCK>
class Holder {
public:
    explicit Holder(LOCK& lock) : m_thread([this, &lock] {
        lock.lock();
        m_held = true;
        while (!m_release) std::this_thread::yield();
        lock.unlock();
    })
    {
        while (!m_held) std::this_thread::yield();
    }
    ~Holder() { release(); }
    void release()
    {
        m_release = true;
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::atomic<bool> m_held{false};
    std::atomic<bool> m_release{false};
    std::thread m_thread;
};

template <typename LOCK>
void check_timed_lock()
{
    LOCK lock;
    {
        Holder<LOCK> holder(lock);
        SysTimer timer;
        EXPECT_FALSE(lock.lock(0.05));
        EXPECT_GE(timer.get_elapsed_time(), 0.045);
        EXPECT_FALSE(lock.lock(0.0));  // zero duration only tries
        EXPECT_FALSE(lock.try_lock());
    }
    SysTimer timer;
    ASSERT_TRUE(lock.lock(5.0));  // free: acquired at once
    EXPECT_LT(timer.get_elapsed_time(), 1.0);
    lock.unlock();
}

}  // namespace

TEST(SysThreadLock, TimedLockFailsWhileHeldAndSucceedsWhenFree)
{
    check_timed_lock<SysThreadLock>();
    check_timed_lock<SysThreadLockRecursive>();
}

TEST(SysThreadLock, TimedLockSucceedsWhenReleasedDuringTheWait)
{
    SysThreadLock lock;
    Holder<SysThreadLock> holder(lock);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        holder.release();
    });
    EXPECT_TRUE(lock.lock(10.0));
    lock.unlock();
    releaser.join();
}

TEST(SysThreadLock, RecursiveLockReentersAndReleasesAfterAsManyUnlocks)
{
    SysThreadLockRecursive lock;
    lock.lock();
    EXPECT_TRUE(lock.lock(0.01));
    EXPECT_TRUE(lock.try_lock());
    lock.unlock();
    lock.unlock();

    // Still held once: another thread must not get it.
    std::atomic<int> other{-1};
    std::thread([&] { other = lock.try_lock() ? 1 : 0; }).join();
    EXPECT_EQ(other, 0);

    lock.unlock();
    std::thread([&] {
        other = lock.try_lock() ? 1 : 0;
        if (other) lock.unlock();
    }).join();
    EXPECT_EQ(other, 1);
}

TEST(SysThreadLock, GuardSerialisesThreads)
{
    SysThreadLock lock;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            SysThreadLockGuard guard(lock);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);

    SysThreadLockGuard guard(lock);
    guard.unlock();  // early release, and the destructor must not unlock again
    EXPECT_TRUE(lock.try_lock());
    lock.unlock();
}
