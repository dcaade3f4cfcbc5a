#pragma once
// Work run on a pool of threads. A task is queued on a manager, runs once on one of its
// threads and may queue further tasks while it runs:
//
//     struct Resize : SysThreadTask { void run() override { ... } };
//     SysThreadTaskManager::get_default().add_task(new Resize(...), true);
//     SysThreadTaskManager::get_default().wait_until_completed();
#include <atomic>
#include <functional>
#include <memory>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"

// A unit of work with a virtual run(); its state tells whether it has run.
class QN_HOST_API SysThreadTask : public CoreBaseObject {
    CORE_DECLARE_CLASS(SysThreadTask, CoreBaseObject)

public:
    enum State : int { STATE_IDLE, STATE_QUEUED, STATE_RUNNING, STATE_COMPLETED, STATE_COUNT };
    static char const* get_state_name(State const& state);

    SysThreadTask() = default;
    ~SysThreadTask() override = default;
    SysThreadTask(SysThreadTask const&) = delete;
    SysThreadTask& operator=(SysThreadTask const&) = delete;

    // The work; called once per add_task, on a thread of the manager.
    virtual void run() = 0;

    // Safe to read from any thread; once STATE_COMPLETED is seen, everything run() wrote
    // is visible to the reader.
    State get_state() const { return static_cast<State>(m_state.load(std::memory_order_acquire)); }
    bool is_completed() const { return get_state() == STATE_COMPLETED; }

    size_t get_memory_size() const override { return sizeof(SysThreadTask); }

private:
    friend class SysThreadTaskManager;
    std::atomic<int> m_state{STATE_IDLE};
};

// Runs tasks on a fixed number of threads (oneTBB underneath).
class QN_HOST_API SysThreadTaskManager {
public:
    // Runs on `thread_count` threads at most, and never more than one per processor
    // (0: one per processor).
    explicit SysThreadTaskManager(unsigned int thread_count = 0);
    // Waits for the queued tasks to finish.
    ~SysThreadTaskManager();
    SysThreadTaskManager(SysThreadTaskManager const&) = delete;
    SysThreadTaskManager& operator=(SysThreadTaskManager const&) = delete;

    // Queues `task` and returns at once; safe from any thread, tasks of this manager
    // included. With `delete_when_done` the manager deletes the task after it has run;
    // otherwise the caller keeps it alive until it is completed. A task already queued
    // or running is refused (logged).
    bool add_task(SysThreadTask* task, bool const& delete_when_done = false);
    // Returns when every queued task, and every task they queued, has run. The calling
    // thread helps running them while the manager has a free thread. Must not be called
    // from a task of this manager (logged and ignored there, since the task would wait
    // for itself).
    void wait_until_completed();
    // Tasks queued or running.
    unsigned int get_pending_count() const;
    unsigned int get_thread_count() const;

    // Calls function(i) for every i in [begin, end) on the manager's threads and returns
    // when all calls are done.
    void parallel_for(unsigned int begin, unsigned int end,
                      std::function<void(unsigned int)> const& function);

    // The process-wide manager, made on first use, with one thread per processor. Its
    // queued tasks finish, and the workers end, before the process exits.
    static SysThreadTaskManager& get_default();

private:
    static void join_workers_at_exit();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
