// The application during long computations, and message boxes asked from any thread.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <atomic>
#include <chrono>
#include <thread>

#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "host/sys/sys_timer.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_test_app.h"

namespace {

void busy_wait(double seconds)
{
    SysTimer timer;
    while (timer.get_elapsed_time() < seconds) {
    }
}

class GuiAppProgressTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        // Start from a fresh pass and a progress interval that has run out.
        pump_events(app());
        busy_wait(0.06);
        app().progress_update();
        busy_wait(0.06);
    }
    void TearDown() override
    {
        app().set_message_box_handler(nullptr, nullptr);
        if (!app().is_enabled()) app().enable();
        GuiTest::TearDown();
    }
};

// The interval itself is GuiAppProgress's, tested below.
TEST_F(GuiAppProgressTest, AnUpdateAfterTheIntervalRefreshesAtOnce)
{
    GuiWindow& window = make_window();
    RecordingWidget* widget = new RecordingWidget(window, 10, 10, 50, 50);
    widget->show();
    pump_events(app());
    busy_wait(0.06);
    int const before = widget->redraws;
    widget->redraw();
    app().progress_update();
    EXPECT_EQ(widget->redraws, before + 1);
}

TEST_F(GuiAppProgressTest, ALongComputationDisablesTheInterfaceUntilAPassOrTheToolkitFallsIdle)
{
    GuiWindow& window = make_window();
    RecordingWidget* widget = new RecordingWidget(window, 10, 10, 50, 50);
    widget->show();
    pump_events(app());
    for (bool const via_idle : {false, true}) {
        SCOPED_TRACE(via_idle ? "the toolkit falls idle" : "the next pass");
        // 300 ms of work calling progress_update regularly, without passes in between.
        SysTimer work;
        while (work.get_elapsed_time() < 0.3) {
            busy_wait(0.02);
            app().progress_update();
        }
        EXPECT_FALSE(app().is_enabled());
        EXPECT_FALSE(widget->is_enabled());  // the windows refuse input meanwhile
        EXPECT_TRUE(app().is_toolkit_idle_armed());
        if (via_idle) {
            Fl::wait(0.0);  // no pass is due yet: the idle handler does it
        } else {
            app().process_pending();
        }
        EXPECT_TRUE(app().is_enabled());
        EXPECT_TRUE(widget->is_enabled());
    }
}

TEST_F(GuiAppProgressTest, ProgressFromAnotherThreadLeavesTheRedrawsToThePass)
{
    GuiWindow& window = make_window();
    RecordingWidget* widget = new RecordingWidget(window, 10, 10, 50, 50);
    widget->show();
    pump_events(app());
    int const before = widget->redraws;
    widget->redraw();
    std::thread worker([this] { app().progress_update(); });
    worker.join();
    EXPECT_EQ(widget->redraws, before);
    EXPECT_TRUE(app().is_pending_redraw(widget));
    EXPECT_TRUE(app().is_enabled());
    pump_events(app());
    EXPECT_EQ(widget->redraws, before + 1);
}

// Answers every box with Retry, remembering what it was asked on which thread.
struct Answerer {
    std::thread::id thread;
    CoreString title;
    int style = -1;
    unsigned int list_lines = 0;
    int calls = 0;

    static AppDialog answer(GuiApp&, GuiApp::MessageBoxRequest& request, void* data)
    {
        Answerer* self = static_cast<Answerer*>(data);
        self->thread = std::this_thread::get_id();
        self->title = request.title;
        self->style = request.style;
        self->list_lines = request.list.get_count();
        ++self->calls;
        request.geometry[0] = 11;  // where the box was left
        return AppDialog(AppDialog::ANSWER_RETRY);
    }
};

TEST_F(GuiAppProgressTest, MessageBoxesAnswerFromAnyThread)
{
    Answerer answerer;
    app().set_message_box_handler(&Answerer::answer, &answerer);

    int geometry[4] = {0, 0, 300, 120};
    CoreVector<CoreString> list{"one", "two"};
    AppDialog const here = app().message_box("Retry the render?", "Render", AppDialog(AppDialog::ANSWER_CANCEL),
                                             AppDialog::STYLE_RETRY_CANCEL, geometry, list);
    EXPECT_EQ(here.get_answer(), AppDialog::ANSWER_RETRY);
    EXPECT_EQ(answerer.thread, std::this_thread::get_id());
    EXPECT_EQ(answerer.title, "Render");
    EXPECT_EQ(answerer.list_lines, 2u);
    EXPECT_EQ(geometry[0], 11);

    // From a worker: the box is shown on this (the application) thread while the worker waits.
    std::atomic<bool> done{false};
    AppDialog from_worker;
    std::thread worker([&] {
        from_worker = app().message_box("Overwrite?", "Save", AppDialog(AppDialog::ANSWER_NO),
                                        AppDialog::STYLE_YES_NO);
        done = true;
    });
    SysTimer timer;
    while (!done && timer.get_elapsed_time() < 5.0) app().check_for_events();
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(from_worker.get_answer(), AppDialog::ANSWER_RETRY);
    EXPECT_EQ(answerer.thread, std::this_thread::get_id());
    EXPECT_EQ(answerer.calls, 2);
}

TEST(GuiAppProgress, ARefreshIsRefusedWhileOneRunsAndSoonAfterOne)
{
    GuiAppProgress progress;
    ASSERT_TRUE(progress.begin());  // the first at once
    EXPECT_TRUE(progress.is_running());
    EXPECT_FALSE(progress.begin());  // long work calling back from inside the refresh
    EXPECT_TRUE(progress.is_running());
    progress.end(true);
    SysTimer since_end;
    EXPECT_FALSE(progress.is_running());
    bool const second = progress.begin();
    if (since_end.get_elapsed_time() < 0.045) {  // not so on a stalled machine
        EXPECT_FALSE(second);
    }
    if (second) progress.end(true);
    busy_wait(0.06);
    ASSERT_TRUE(progress.begin());
    progress.end(false);  // a refresh that did not count leaves the interval run out
    EXPECT_TRUE(progress.begin());
    progress.end(true);

}

}  // namespace
