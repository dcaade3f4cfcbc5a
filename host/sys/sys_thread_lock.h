#pragma once
// Locks between threads. Durations are in seconds (double); a timed lock returns whether
// it was acquired. Both lock classes meet the standard Lockable requirements, so they also
// work with std::lock_guard and std::unique_lock.
#include <mutex>

#include "host/core/core_export.h"

// A plain mutual-exclusion lock: a thread must not lock it again before unlocking it.
class QN_HOST_API SysThreadLock {
public:
    SysThreadLock() = default;
    SysThreadLock(SysThreadLock const&) = delete;
    SysThreadLock& operator=(SysThreadLock const&) = delete;

    // Waits as long as it takes.
    void lock() { m_mutex.lock(); }
    // Waits at most `duration` seconds; zero or less tries once without waiting.
    bool lock(double const& duration);
    bool try_lock() { return m_mutex.try_lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::timed_mutex m_mutex;
};

// A lock the owning thread may take again; it is released after as many unlocks as locks.
class QN_HOST_API SysThreadLockRecursive {
public:
    SysThreadLockRecursive() = default;
    SysThreadLockRecursive(SysThreadLockRecursive const&) = delete;
    SysThreadLockRecursive& operator=(SysThreadLockRecursive const&) = delete;

    void lock() { m_mutex.lock(); }
    // Waits at most `duration` seconds; zero or less tries once without waiting.
    bool lock(double const& duration);
    bool try_lock() { return m_mutex.try_lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::recursive_timed_mutex m_mutex;
};

// Holds a lock for the lifetime of a scope:  SysThreadLockGuard guard(m_lock);
template <typename LOCK>
class SysThreadLockGuard {
public:
    explicit SysThreadLockGuard(LOCK& lock) : m_lock(&lock) { lock.lock(); }
    ~SysThreadLockGuard() { unlock(); }
    SysThreadLockGuard(SysThreadLockGuard const&) = delete;
    SysThreadLockGuard& operator=(SysThreadLockGuard const&) = delete;

    // Releases the lock before the end of the scope.
    void unlock()
    {
        if (m_lock) {
            m_lock->unlock();
            m_lock = nullptr;
        }
    }

private:
    LOCK* m_lock;
};
