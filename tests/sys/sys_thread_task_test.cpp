#include <gtest/gtest.h>

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <chrono>
#include <latch>
#include <stdexcept>
#include <thread>
#include <vector>

#include "host/sys/sys_thread_task.h"
#include "tests/support/log_recorder.h"

namespace {

template <typename FUNCTION>
class LambdaTask : public SysThreadTask {
public:
    explicit LambdaTask(FUNCTION function) : m_function(function) {}
    void run() override { m_function(); }

private:
    FUNCTION m_function;
};

// Polls the task for up to five seconds; true once it has completed.
bool completes_soon(SysThreadTask const& task)
{
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!task.is_completed() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return task.is_completed();
}

// Queues `children` more tasks of one less depth on its manager: a tree of tasks.
class SpawningTask : public SysThreadTask {
public:
    SpawningTask(SysThreadTaskManager& manager, int depth, int children, std::atomic<int>& runs)
        : m_manager(manager), m_depth(depth), m_children(children), m_runs(runs)
    {
    }
    void run() override
    {
        if (m_depth > 0) {
            // Give the waiting thread the chance to see an empty moment before the children come.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            for (int i = 0; i < m_children; ++i) {
                m_manager.add_task(new SpawningTask(m_manager, m_depth - 1, m_children, m_runs), true);
            }
        }
        m_runs.fetch_add(1);
    }

private:
    SysThreadTaskManager& m_manager;
    int m_depth;
    int m_children;
    std::atomic<int>& m_runs;
};

int count_threads()
{
    auto const tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

// The threads alive before the test made any.
int s_threads_before = 0;
// The thread sanitizer may start a thread of its own with the first thread the program
// makes, or have started it already: at most that one may remain.
#ifdef __SANITIZE_THREAD__
constexpr int SANITIZER_THREADS = 1;
#else
constexpr int SANITIZER_THREADS = 0;
#endif

// Ends the process with the number of threads it has beyond those.
void exit_with_extra_thread_count()
{
    std::_Exit(count_threads() - s_threads_before);
}

}  // namespace

TEST(SysThreadTaskManager, RunsEveryTaskOnSeveralThreadsBeforeWaitReturns)
{
    SysThreadTaskManager manager(4);
    EXPECT_GE(manager.get_thread_count(), 1u);
    EXPECT_LE(manager.get_thread_count(), 4u);  // fewer when there are fewer processors

    std::atomic<int> runs{0};
    // Long enough for the waiting thread and the workers to share the queue.
    auto const count = [&runs] {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        runs.fetch_add(1);
    };
    using CountingTask = LambdaTask<decltype(count)>;
    std::vector<std::unique_ptr<CountingTask>> kept;
    for (int i = 0; i < 1000; ++i) {
        if (i % 2 == 0) {
            kept.push_back(std::make_unique<CountingTask>(count));
            ASSERT_TRUE(manager.add_task(kept.back().get()));
        } else {
            ASSERT_TRUE(manager.add_task(new CountingTask(count), true));
        }
    }
    manager.wait_until_completed();
    EXPECT_EQ(runs.load(), 1000);
    EXPECT_EQ(manager.get_pending_count(), 0u);
    for (auto const& task : kept) EXPECT_EQ(task->get_state(), SysThreadTask::STATE_COMPLETED);
}

TEST(SysThreadTaskManager, TasksMayAddTasks)
{
    SysThreadTaskManager manager(3);
    std::atomic<int> runs{0};
    // 1 + 4 + 16 + 64 + 256 tasks, most of them queued by other tasks.
    manager.add_task(new SpawningTask(manager, 4, 4, runs), true);
    manager.wait_until_completed();
    EXPECT_EQ(runs.load(), 341);
    EXPECT_EQ(manager.get_pending_count(), 0u);

    // Once more on the same manager, from several threads at once.
    runs = 0;
    std::vector<std::thread> adders;
    for (int t = 0; t < 3; ++t) {
        adders.emplace_back([&] { manager.add_task(new SpawningTask(manager, 3, 3, runs), true); });
    }
    for (auto& adder : adders) adder.join();
    manager.wait_until_completed();
    EXPECT_EQ(runs.load(), 3 * 40);
}

TEST(SysThreadTaskManager, LongTaskDoesNotHoldBackOtherTasksOrManagers)
{
    SysThreadTaskManager first(2);
    SysThreadTaskManager second(2);
    std::latch release(1);
    std::atomic<bool> started{false};
    LambdaTask blocking([&] {
        started = true;
        release.wait();
    });
    ASSERT_TRUE(first.add_task(&blocking));
    for (int i = 0; i < 5000 && !started; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(started.load());

    // Nobody waits on any manager: the workers alone must run these beside the long task,
    // so two tasks of one manager run at the same time.
    LambdaTask same_manager([] {});
    LambdaTask other_manager([] {});
    LambdaTask default_manager([] {});
    ASSERT_TRUE(first.add_task(&same_manager));
    ASSERT_TRUE(second.add_task(&other_manager));
    ASSERT_TRUE(SysThreadTaskManager::get_default().add_task(&default_manager));
    EXPECT_TRUE(completes_soon(same_manager));
    EXPECT_TRUE(completes_soon(other_manager));
    EXPECT_TRUE(completes_soon(default_manager));

    release.count_down();
    first.wait_until_completed();
    SysThreadTaskManager::get_default().wait_until_completed();
    EXPECT_TRUE(blocking.is_completed());
}

TEST(SysThreadTaskManager, RefusesMisuseAndSurvivesThrowingTasks)
{
    SysThreadTaskManager manager(2);
    LogRecorder log;

    EXPECT_FALSE(manager.add_task(nullptr));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);

    // A task cannot be queued twice at the same time, but may run again once completed.
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    LambdaTask blocking([&] {
        while (!release) std::this_thread::yield();
        ++runs;
    });
    ASSERT_TRUE(manager.add_task(&blocking));
    EXPECT_FALSE(manager.add_task(&blocking));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    release = true;
    manager.wait_until_completed();
    EXPECT_TRUE(manager.add_task(&blocking));
    manager.wait_until_completed();
    EXPECT_EQ(runs.load(), 2);

    // Waiting from one of the manager's own tasks would never return: refused.
    LambdaTask waiting([&] { manager.wait_until_completed(); });
    manager.add_task(&waiting);
    manager.wait_until_completed();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();

    // An exception is reported, the task still counts as done and the others run.
    log.clear();
    LambdaTask throwing([] { throw std::runtime_error("broken input"); });
    LambdaTask after([&] { ++runs; });
    manager.add_task(&throwing);
    manager.add_task(&after);
    manager.wait_until_completed();
    EXPECT_TRUE(throwing.is_completed());
    EXPECT_EQ(runs.load(), 3);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
}

TEST(SysThreadTaskManager, ParallelForVisitsEveryIndexOnce)
{
    SysThreadTaskManager manager(4);
    std::vector<std::atomic<int>> visits(10000);
    manager.parallel_for(100, 10000, [&](unsigned int i) { visits[i].fetch_add(1); });
    for (unsigned int i = 0; i < visits.size(); ++i) ASSERT_EQ(visits[i].load(), i < 100 ? 0 : 1) << i;
    manager.parallel_for(5, 5, [](unsigned int) { FAIL(); });  // empty range
}

TEST(SysThreadTaskManagerDeathTest, WorkersOfTheDefaultManagerEndBeforeTheProcess)
{
    // A fresh process: exit handlers registered by earlier tests must not run first.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Registered before the manager exists, so it runs after the manager's own handler.
            s_threads_before = count_threads();
            std::atexit(exit_with_extra_thread_count);
            SysThreadTaskManager& manager = SysThreadTaskManager::get_default();
            static std::atomic<int> runs{0};  // read by tasks still queued at the exit
            manager.parallel_for(0, 64, [](unsigned int) { runs.fetch_add(1); });
            manager.add_task(new SpawningTask(manager, 2, 3, runs), true);
            std::exit(0);
        },
        [](int status) { return WIFEXITED(status) && WEXITSTATUS(status) <= SANITIZER_THREADS; }, "");
}
