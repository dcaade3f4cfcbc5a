#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/app/app_base.h"
#include "host/sys/sys_timer.h"
#include "tests/support/log_recorder.h"

namespace {

// Counts the loop hooks and can run an action when the loop starts.
class TestApp : public AppBase {
public:
    TestApp() = default;
    TestApp(int argc, char** argv) : AppBase(argc, argv) {}

    int start_count = 0;
    int quit_count = 0;
    std::atomic<int> wait_count{0};
    std::function<void()> on_start_action;

protected:
    void on_start() override
    {
        AppBase::on_start();
        ++start_count;
        if (on_start_action) on_start_action();
    }
    void on_wait(double const& timeout) override
    {
        ++wait_count;
        AppBase::on_wait(timeout);
    }
    void on_quit() override
    {
        ++quit_count;
        AppBase::on_quit();
    }
};

// A timer callback that records its tag and runs an optional action.
struct Probe {
    std::vector<std::string>* log;
    std::string tag;
    std::function<void()> action;

    static void fire(void* data)
    {
        Probe* probe = static_cast<Probe*>(data);
        probe->log->push_back(probe->tag);
        if (probe->action) probe->action();
    }
};

// Fires timers until `done` holds, failing after a second.
void process_until(AppBase& app, std::function<bool()> const& done)
{
    SysTimer timer;
    while (!done() && timer.get_elapsed_time() < 1.0) {
        app.process_timers();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(done());
}

void quit_app(void*)
{
    AppBase::get_instance()->quit();
}

}  // namespace

TEST(AppBase, ArgumentsInstanceAndClassInfo)
{
    char arg0[] = "qn_demo";
    char arg1[] = "--scene";
    char* argv[] = {arg0, arg1, nullptr};
    {
        TestApp app(2, argv);
        ASSERT_EQ(app.get_arguments().get_count(), 2u);
        EXPECT_EQ(app.get_arguments()[1], "--scene");
        EXPECT_EQ(AppBase::get_instance(), &app);

        LogRecorder log;
        {
            TestApp second;
            EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
            EXPECT_EQ(AppBase::get_instance(), &app);
        }
        EXPECT_EQ(AppBase::get_instance(), &app);  // destroying the second leaves the first
    }
    EXPECT_EQ(AppBase::get_instance(), nullptr);
}

TEST(AppBase, TimersFireOnceInDueOrder)
{
    TestApp app;
    std::vector<std::string> log;
    Probe late{&log, "late", {}}, first{&log, "first", {}}, middle{&log, "middle", {}};
    Probe same{&log, "same", {}};
    app.add_timer(&Probe::fire, &late, 0.03);
    AppBase::TimerId first_id = app.add_timer(&Probe::fire, &first, 0.0);
    app.add_timer(&Probe::fire, &same, 0.0);  // same delay: fires after `first`, armed before it
    app.add_timer(&Probe::fire, &middle, 0.01);
    app.add_timer(&quit_app, nullptr, 0.04);

    app.run();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "same", "middle", "late"}));
    EXPECT_FALSE(app.has_timer(first_id));
    EXPECT_EQ(app.process_timers(), 0u);  // nothing fires twice
}

TEST(AppBase, RepeatTimerRearmsKeepingTheId)
{
    TestApp app;
    std::vector<std::string> log;
    int ticks = 0;
    AppBase::TimerId ticker_id = 0;
    Probe ticker{&log, "tick", [&] {
                     EXPECT_EQ(app.get_current_timer(), ticker_id);
                     if (++ticks < 3) {
                         EXPECT_TRUE(app.repeat_timer(0.001));
                     }
                 }};
    ticker_id = app.add_timer(&Probe::fire, &ticker, 0.0);
    process_until(app, [&] { return ticks == 3; });
    EXPECT_EQ(app.get_timer_count(), 0u);  // not re-armed the third time: gone

    // Re-arming a waiting timer postpones it.
    Probe later{&log, "later", {}};
    AppBase::TimerId later_id = app.add_timer(&Probe::fire, &later, 0.0);
    EXPECT_TRUE(app.repeat_timer(later_id, 10.0));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(app.process_timers(), 0u);
    EXPECT_GT(app.get_time_to_next_timer(), 5.0);
    EXPECT_TRUE(app.remove_timer(later_id));

    // A timer that fired, or none at all, cannot be re-armed; each refusal is one warning.
    LogRecorder recorder;
    EXPECT_FALSE(app.repeat_timer(ticker_id, 0.0));
    EXPECT_FALSE(app.repeat_timer(0.0));
    EXPECT_EQ(app.add_timer(&Probe::fire, &later, -1.0), 0u);
    EXPECT_EQ(app.add_timer(nullptr, nullptr, 0.0), 0u);
    EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_WARNING), 4u) << recorder.dump();
    EXPECT_EQ(app.get_timer_count(), 0u);
    EXPECT_FALSE(app.remove_timer(ticker_id));  // quietly
    EXPECT_EQ(recorder.count(), 4u);
}

TEST(AppBase, TimersChangedFromInsideCallbacks)
{
    TestApp app;
    std::vector<std::string> log;
    AppBase::TimerId victim_id = 0, self_id = 0;
    Probe victim{&log, "victim", {}}, added{&log, "added", {}};
    Probe remover{&log, "remover", [&] {
                      EXPECT_TRUE(app.remove_timer(victim_id));  // due in this pass: never fires
                      app.add_timer(&Probe::fire, &added, 0.0);
                  }};
    Probe self{&log, "self", [&] {
                   EXPECT_TRUE(app.repeat_timer(0.0));
                   EXPECT_TRUE(app.remove_timer(self_id));  // cancels the re-arming
                   LogRecorder recorder;
                   EXPECT_FALSE(app.repeat_timer(0.0));     // removed while running: stays removed
                   EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_WARNING), 1u);
               }};
    app.add_timer(&Probe::fire, &remover, 0.0);
    victim_id = app.add_timer(&Probe::fire, &victim, 0.0);
    self_id = app.add_timer(&Probe::fire, &self, 0.0);

    EXPECT_EQ(app.process_timers(), 2u);
    EXPECT_EQ(log, (std::vector<std::string>{"remover", "self"}));
    // The timer added during the pass waits for the next one, even with no delay.
    EXPECT_EQ(app.process_timers(), 1u);
    EXPECT_EQ(log.back(), "added");
}

TEST(AppBase, NestedProcessTimersAndReentrantCheckForEvents)
{
    TestApp app;
    std::vector<std::string> log;
    Probe second{&log, "second", {}}, third{&log, "third", {}};
    // check_for_events from inside check_for_events returns at once: `second` waits for the
    // outer pass, after `first` has finished.
    Probe first{&log, "first", [&] {
                    app.check_for_events();
                    log.push_back("first-end");
                }};
    app.add_timer(&Probe::fire, &first, 0.0);
    app.add_timer(&Probe::fire, &second, 0.0);
    app.check_for_events();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "first-end", "second"}));

    // A callback running its own loop (a modal dialog) fires the other due timers.
    log.clear();
    Probe modal{&log, "modal", [&] {
                    EXPECT_EQ(app.process_timers(), 1u);
                    log.push_back("modal-end");
                }};
    app.add_timer(&Probe::fire, &modal, 0.0);
    app.add_timer(&Probe::fire, &third, 0.0);
    app.process_timers();
    EXPECT_EQ(log, (std::vector<std::string>{"modal", "third", "modal-end"}));
}

TEST(AppBase, TimerFromAnotherThreadWakesTheLoopAndRunsOnTheAppThread)
{
    TestApp app;
    app.set_max_wait_time(5.0);  // only a wake-up can end the waits early
    std::thread::id fired_on;
    std::thread worker;
    std::atomic<bool> worker_refused{false};
    app.on_start_action = [&] {
        worker = std::thread([&] {
            while (app.wait_count.load() == 0) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the loop is asleep
            worker_refused = app.process_timers() == 0 && app.get_current_timer() == 0;
            app.add_timer(
                [](void* data) {
                    *static_cast<std::thread::id*>(data) = std::this_thread::get_id();
                    AppBase::get_instance()->quit();
                },
                &fired_on, 0.0);
        });
    };
    LogRecorder recorder;
    SysTimer elapsed;
    app.run();
    worker.join();
    EXPECT_LT(elapsed.get_elapsed_time(), 2.0);
    EXPECT_EQ(fired_on, std::this_thread::get_id());
    EXPECT_TRUE(worker_refused);  // timers never run on other threads
    EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_WARNING), 1u) << recorder.dump();
}

// remove_timer from other threads while the callback runs returns only once it has returned,
// so the caller may free the data; the re-arming the callback asked for is cancelled. The
// callback holds on until both threads are about to call remove_timer, then a while longer.
TEST(AppBase, RemoveTimerFromOtherThreadsWaitsForTheRunningCallback)
{
    TestApp app;
    struct Shared {
        std::atomic<bool> entered{false};
        std::atomic<int> calling{0};
        std::atomic<bool> running{false};
        int calls = 0;
    } shared;
    AppBase::TimerId id = app.add_timer(
        [](void* data) {
            Shared& shared = *static_cast<Shared*>(data);
            shared.running = true;
            ++shared.calls;
            EXPECT_TRUE(AppBase::get_instance()->repeat_timer(0.0));
            shared.entered = true;
            while (shared.calling.load() < 2) std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the removals are waiting
            shared.running = false;
        },
        &shared, 0.0);
    struct Result {
        bool removed = false;
        bool returned_while_running = true;
    } results[2];
    std::vector<std::thread> workers;
    for (Result& result : results) {
        workers.emplace_back([&app, &shared, &result, id] {
            while (!shared.entered.load()) std::this_thread::yield();
            ++shared.calling;
            result.removed = app.remove_timer(id);
            result.returned_while_running = shared.running.load();
        });
    }
    EXPECT_EQ(app.process_timers(), 1u);
    for (std::thread& worker : workers) worker.join();
    for (Result const& result : results) EXPECT_FALSE(result.returned_while_running);
    EXPECT_NE(results[0].removed, results[1].removed);  // exactly one removed it
    EXPECT_EQ(app.process_timers(), 0u);  // the re-arming was cancelled
    EXPECT_EQ(shared.calls, 1);
}

TEST(AppBase, QuitFromAnotherThreadBeforeAndDuringRun)
{
    TestApp app;
    app.set_max_wait_time(5.0);
    std::thread worker;
    app.on_start_action = [&] {
        worker = std::thread([&] {
            while (app.wait_count.load() == 0) std::this_thread::yield();
            app.quit();
        });
    };
    SysTimer elapsed;
    app.run();
    worker.join();
    EXPECT_LT(elapsed.get_elapsed_time(), 2.0);
    EXPECT_EQ(app.quit_count, 1);

    // A quit asked before run still lets the loop start and end once.
    app.on_start_action = nullptr;
    app.quit();
    app.run();
    EXPECT_EQ(app.start_count, 2);
    EXPECT_EQ(app.quit_count, 2);
    EXPECT_FALSE(app.is_quitting());

    // Nested run from a callback is refused.
    LogRecorder recorder;
    app.add_timer([](void*) { AppBase::get_instance()->run(); }, nullptr, 0.0);
    app.add_timer(&quit_app, nullptr, 0.0);
    app.run();
    EXPECT_EQ(app.start_count, 3);
    EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_WARNING), 1u) << recorder.dump();
}

TEST(AppBase, BusyAndBlockingNest)
{
    TestApp app;
    LogRecorder recorder;
    for (auto [set, is] : {std::pair{&AppBase::set_busy, &AppBase::is_busy},
                           std::pair{&AppBase::set_blocking, &AppBase::is_blocking}}) {
        EXPECT_FALSE((app.*is)());
        (app.*set)(true);
        (app.*set)(true);
        (app.*set)(false);
        EXPECT_TRUE((app.*is)());
        (app.*set)(false);
        EXPECT_FALSE((app.*is)());
        (app.*set)(false);  // unmatched: logged, and the next true still counts
        (app.*set)(true);
        EXPECT_TRUE((app.*is)());
        (app.*set)(false);
    }
    EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_WARNING), 2u) << recorder.dump();
    EXPECT_FALSE(app.is_busy() || app.is_blocking());
}

TEST(AppBase, ProgressIsFlushedOncePerChangeOnTheAppThread)
{
    TestApp app;
    int changes = 0;
    EventObject::connect(app, EVT_ID_APPLICATION_PROGRESS_CHANGED,
                         [](EventObject&, EventObject::EventInfo const&, void* data) {
                             ++*static_cast<int*>(data);
                         },
                         &changes);
    std::thread worker([&] {
        app.set_progress("Loading", 0.25);
        app.set_progress("Loading", 1.5);  // clamped
        app.flush_progress_bars();          // not the application thread: nothing
    });
    worker.join();
    EXPECT_EQ(changes, 0);
    app.progress_update();
    app.flush_progress_bars();
    EXPECT_EQ(changes, 1);
    CoreString label;
    double fraction = 0.0;
    ASSERT_TRUE(app.get_progress(label, fraction));
    EXPECT_EQ(fraction, 1.0);
    app.end_progress();
    app.flush_progress_bars();
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(app.get_progress(label, fraction));
}

TEST(AppBase, SettingsRaiseChangeEventsAndRefuseBadValues)
{
    TestApp app;
    std::vector<std::string> events;
    auto record = [](EventObject&, EventObject::EventInfo const& info, void* data) {
        static_cast<std::vector<std::string>*>(data)->push_back(info.get_name().std_string());
    };
    EventObject::connect(app, EVT_ID_APPLICATION_GIZMO_SIZE_CHANGED, record, &events);

    app.set_gizmo_size(2.5);
    app.set_gizmo_size(2.5);  // same value: no event
    LogRecorder recorder;
    app.set_gizmo_size(10.5);
    app.set_gizmo_size(std::nan(""));
    EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_WARNING), 2u) << recorder.dump();
    EXPECT_EQ(events, std::vector<std::string>{"EVT_ID_APPLICATION_GIZMO_SIZE_CHANGED"});
    EXPECT_EQ(app.get_gizmo_size(), 2.5);
}

TEST(AppBase, MessageBoxWithoutInterfaceLogsAndAnswersTheDefault)
{
    TestApp app;
    LogRecorder recorder;
    AppDialog answer = app.message_box("Overwrite?", "Save", AppDialog::no(), AppDialog::STYLE_YES_NO);
    EXPECT_TRUE(answer.is_no());
    EXPECT_EQ(recorder.count(CORE_LOG_LEVEL_INFO), 1u) << recorder.dump();
}

TEST(AppDialog, AnswersAndApplyToAll)
{
    // The "apply to all" flag rides on the button code without hiding the answer.
    AppDialog dialog = AppDialog::yes();
    dialog.set_apply_to_all(true);
    EXPECT_TRUE(dialog.is_yes() && dialog.is_apply_to_all());
    EXPECT_FALSE(dialog.is_no());
    dialog.set_apply_to_all(false);
    EXPECT_EQ(dialog, AppDialog::yes());
    EXPECT_TRUE(AppDialog(AppDialog::ANSWER_RETRY + AppDialog::APPLY_TO_ALL).is_retry());
}
