#include "host/sys/sys_thread_task.h"

#include <tbb/blocked_range.h>
#include <tbb/global_control.h>
#include <tbb/info.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>
#include <tbb/task_group.h>

#include <cstdlib>
#include <exception>
#include <mutex>

#include "host/core/core_log.h"

CORE_IMPLEMENT_CLASS(SysThreadTask, CoreBaseObject)

char const* SysThreadTask::get_state_name(State const& state)
{
    switch (state) {
    case STATE_IDLE: return "STATE_IDLE";
    case STATE_QUEUED: return "STATE_QUEUED";
    case STATE_RUNNING: return "STATE_RUNNING";
    case STATE_COMPLETED: return "STATE_COMPLETED";
    case STATE_COUNT: return "STATE_COUNT";
    }
    return "STATE_UNKNOWN";
}

namespace {

// The manager whose task the current thread is running, to catch a task waiting for its
// own manager (which would never return).
thread_local SysThreadTaskManager const* t_running_manager = nullptr;

class RunningScope {
public:
    explicit RunningScope(SysThreadTaskManager const* manager) : m_previous(t_running_manager)
    {
        t_running_manager = manager;
    }
    ~RunningScope() { t_running_manager = m_previous; }

private:
    SysThreadTaskManager const* m_previous;
};

// Orders what an adding thread wrote before add_task before what the task then reads.
// The scheduler already guarantees this; going through an atomic the code owns also
// makes the hand-off visible to race detectors, which do not see inside the scheduler.
std::atomic<unsigned long> s_task_handoff{0};

// Calls `work`, turning an escaping exception into an error message: a failing task
// must not take the pool or the waiting thread down.
template <typename WORK>
void run_guarded(char const* what, WORK&& work)
{
    try {
        work();
    } catch (std::exception const& e) {
        CORE_LOG_ERROR("SysThreadTaskManager." << what << ": a task threw: " << e.what() << "\n");
    } catch (...) {
        CORE_LOG_ERROR("SysThreadTaskManager." << what << ": a task threw an unknown exception\n");
    }
}

// oneTBB's workers are shared by all arenas and number one less than the processors by
// default, so one long task could hold back the tasks of its own manager and of every other
// one. The pool is sized instead to the threads of all live managers together, so each
// manager can keep all its threads busy whatever the others do. The limit only grows: the
// workers of a manager that went away are simply left idle.
class WorkerBudget {
public:
    static WorkerBudget& get()
    {
        // Never destroyed: managers may outlive static destruction (the default one does).
        static WorkerBudget* s_budget = new WorkerBudget();
        return *s_budget;
    }

    void add(unsigned int threads)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_live += threads;
        // One more than the workers: oneTBB counts the thread that queues work too.
        size_t const wanted = static_cast<size_t>(m_live) + 1;
        if (wanted <= m_limit) return;
        // The smallest of the live limits applies: drop the old one before raising it.
        m_control.reset();
        m_control = std::make_unique<tbb::global_control>(tbb::global_control::max_allowed_parallelism,
                                                          wanted);
        m_limit = wanted;
    }

    void remove(unsigned int threads)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_live -= threads;
    }

private:
    WorkerBudget()
    {
        int const available = tbb::info::default_concurrency();
        m_limit = available > 0 ? static_cast<size_t>(available) : 1;
    }

    std::mutex m_mutex;
    unsigned int m_live = 0;
    size_t m_limit = 1;
    std::unique_ptr<tbb::global_control> m_control;
};

}  // namespace

struct SysThreadTaskManager::Impl {
    explicit Impl(unsigned int threads)
        // No slot is kept for a waiting thread: the workers fill them all, so the tasks run
        // unattended. A thread calling wait_until_completed helps when a slot is free and
        // otherwise hands its wait to the arena.
        : thread_count(threads), arena(static_cast<int>(threads), 0),
          // Isolated: the group must not hang under the task of whichever manager happens
          // to queue its first task, whose lifetime is unrelated.
          context(tbb::task_group_context::isolated, tbb::task_group_context::concurrent_wait),
          group(context)
    {
    }

    unsigned int thread_count;
    tbb::task_arena arena;
    tbb::task_group_context context;
    tbb::task_group group;
    std::atomic<unsigned int> pending{0};
};

SysThreadTaskManager::SysThreadTaskManager(unsigned int thread_count)
{
    // More threads than processors would only take turns on them.
    int const available = tbb::info::default_concurrency();
    unsigned int const processors = available > 0 ? static_cast<unsigned int>(available) : 1;
    if (thread_count == 0 || thread_count > processors) thread_count = processors;
    WorkerBudget::get().add(thread_count);
    m_impl = std::make_unique<Impl>(thread_count);
}

SysThreadTaskManager::~SysThreadTaskManager()
{
    wait_until_completed();
    WorkerBudget::get().remove(m_impl->thread_count);
}

bool SysThreadTaskManager::add_task(SysThreadTask* task, bool const& delete_when_done)
{
    if (!task) {
        CORE_LOG_WARNING("SysThreadTaskManager.add_task: null task\n");
        return false;
    }
    // Idle or completed tasks may be queued; a queued or running one may not.
    int expected = SysThreadTask::STATE_IDLE;
    bool queued = task->m_state.compare_exchange_strong(expected, SysThreadTask::STATE_QUEUED);
    if (!queued && expected == SysThreadTask::STATE_COMPLETED) {
        queued = task->m_state.compare_exchange_strong(expected, SysThreadTask::STATE_QUEUED);
    }
    if (!queued) {
        CORE_LOG_WARNING("SysThreadTaskManager.add_task: the task of class "
                         << task->get_class_info().get_name() << " is already queued or running\n");
        return false;
    }
    Impl* impl = m_impl.get();
    impl->pending.fetch_add(1, std::memory_order_relaxed);
    bool const owned = delete_when_done;
    tbb::task_handle handle = impl->group.defer([this, impl, task, owned] {
        s_task_handoff.load(std::memory_order_acquire);  // before reading the captures
        RunningScope scope(this);
        task->m_state.store(SysThreadTask::STATE_RUNNING, std::memory_order_relaxed);
        run_guarded("add_task", [task] { task->run(); });
        if (owned) {
            delete task;
        } else {
            task->m_state.store(SysThreadTask::STATE_COMPLETED, std::memory_order_release);
        }
        impl->pending.fetch_sub(1, std::memory_order_release);
    });
    s_task_handoff.fetch_add(1, std::memory_order_release);
    impl->arena.enqueue(std::move(handle));
    return true;
}

void SysThreadTaskManager::wait_until_completed()
{
    if (t_running_manager == this) {
        CORE_LOG_WARNING("SysThreadTaskManager.wait_until_completed: called from one of the manager's own "
                         "tasks, which would wait for itself; ignored\n");
        return;
    }
    Impl* impl = m_impl.get();
    impl->arena.execute([impl] { impl->group.wait(); });
    // Pairs with the release of every finished task, so that the caller sees all they wrote.
    impl->pending.load(std::memory_order_acquire);
}

unsigned int SysThreadTaskManager::get_pending_count() const
{
    return m_impl->pending.load(std::memory_order_acquire);
}

unsigned int SysThreadTaskManager::get_thread_count() const
{
    return m_impl->thread_count;
}

void SysThreadTaskManager::parallel_for(unsigned int begin, unsigned int end,
                                        std::function<void(unsigned int)> const& function)
{
    if (begin >= end || !function) return;
    using Range = tbb::blocked_range<unsigned int>;
    m_impl->arena.execute([&] {
        tbb::parallel_for(Range(begin, end), [&](Range const& range) {
            RunningScope scope(this);
            for (unsigned int i = range.begin(); i != range.end(); ++i) {
                run_guarded("parallel_for", [&] { function(i); });
            }
        });
    });
}

namespace {

SysThreadTaskManager* s_default_manager = nullptr;
tbb::task_scheduler_handle* s_scheduler_handle = nullptr;

}  // namespace

// oneTBB only asks its workers to stop when the library unloads and does not wait for them,
// so threads would still be exiting while later exit handlers run: a leak checker walking the
// threads then reads half-torn-down thread state. Joining them here, before any handler
// registered earlier (a sanitizer's among them), ends every worker before the process does.
void SysThreadTaskManager::join_workers_at_exit()
{
    s_default_manager->wait_until_completed();
    s_default_manager->m_impl->arena.terminate();
    // Fails, leaving the workers to the library, while another arena is still alive.
    tbb::finalize(*s_scheduler_handle, std::nothrow);
}

SysThreadTaskManager& SysThreadTaskManager::get_default()
{
    // Never destroyed: tasks may still be queued while the process exits.
    static SysThreadTaskManager* s_manager = [] {
        s_scheduler_handle = new tbb::task_scheduler_handle(tbb::attach{});
        s_default_manager = new SysThreadTaskManager();
        std::atexit(join_workers_at_exit);
        return s_default_manager;
    }();
    return *s_manager;
}
