#include "host/sys/sys_thread_lock.h"

#include <algorithm>
#include <chrono>

// Thread sanitizer builds: the sanitizer does not see locks taken by the steady-clock
// timed wait of the C library (pthread_mutex_clocklock), so they wait on the system clock.
#if defined(__SANITIZE_THREAD__)
#define SYS_THREAD_LOCK_WAIT_ON_SYSTEM_CLOCK 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define SYS_THREAD_LOCK_WAIT_ON_SYSTEM_CLOCK 1
#endif
#endif

namespace {

template <typename MUTEX>
bool lock_for(MUTEX& mutex, double seconds)
{
    if (mutex.try_lock()) return true;
    if (!(seconds > 0.0)) return false;  // also catches NaN
    using namespace std::chrono;
    // Very long waits are clamped so that the conversion cannot overflow.
    auto const wait = duration_cast<nanoseconds>(duration<double>(std::min(seconds, 1.0e9)));
#ifdef SYS_THREAD_LOCK_WAIT_ON_SYSTEM_CLOCK
    // Short slices keep a change of the system clock from stretching the wait much.
    auto const deadline = steady_clock::now() + wait;
    for (;;) {
        auto const remaining = deadline - steady_clock::now();
        if (remaining <= nanoseconds::zero()) return mutex.try_lock();
        auto const slice = std::min<nanoseconds>(remaining, milliseconds(50));
        if (mutex.try_lock_until(system_clock::now() + slice)) return true;
    }
#else
    return mutex.try_lock_for(wait);
#endif
}

}  // namespace

bool SysThreadLock::lock(double const& duration)
{
    return lock_for(m_mutex, duration);
}

bool SysThreadLockRecursive::lock(double const& duration)
{
    return lock_for(m_mutex, duration);
}
