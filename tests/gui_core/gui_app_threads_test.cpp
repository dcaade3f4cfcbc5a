// Worker threads queueing redraws and updates during passes (also run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "host/sys/sys_timer.h"
#include "tests/support/gui_test_app.h"

namespace {

// Counts the passes' calls; the counters are the interface thread's only.
class CountingWidget : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    void widget_redraw() override
    {
        ++redraws;
        GuiWidget::widget_redraw();
    }
    void widget_update() override { ++updates; }
    long redraws = 0;
    long updates = 0;
};

class GuiAppThreadsTest : public GuiTest {};

TEST_F(GuiAppThreadsTest, WorkersQueueRedrawsAndUpdatesWhilePassesRun)
{
    GuiWindow& window = make_window(400, 300);
    constexpr int WIDGETS = 64;
    std::vector<CountingWidget*> widgets;
    for (int i = 0; i < WIDGETS; ++i) {
        widgets.push_back(new CountingWidget(window, (i % 8) * 40, (i / 8) * 30, 38, 28));
        widgets.back()->show();
    }
    pump_events(app());

    std::atomic<bool> stop{false};
    std::atomic<long> requests{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            unsigned int seed = 17u + static_cast<unsigned int>(t);
            while (!stop.load()) {
                seed = seed * 1103515245u + 12345u;
                GuiWidget* widget = widgets[(seed >> 8) % WIDGETS];
                switch ((seed >> 20) % 4) {
                case 0: app().add_pending_redraw(widget); break;
                case 1: app().add_pending_update(widget); break;
                case 2: app().remove_pending_redraw(widget); break;
                default: app().remove_pending_update(widget); break;
                }
                ++requests;
            }
        });
    }
    SysTimer timer;
    long passes = 0;
    while (timer.get_elapsed_time() < 0.5) {
        app().process_pending();
        ++passes;
    }
    stop = true;
    for (std::thread& worker : workers) worker.join();

    // What is still queued is done by the next pass, and nothing is queued twice.
    unsigned int const redraws_left = app().get_pending_redraw_count();
    unsigned int const updates_left = app().get_pending_update_count();
    EXPECT_LE(redraws_left, static_cast<unsigned int>(WIDGETS));
    EXPECT_LE(updates_left, static_cast<unsigned int>(WIDGETS));
    auto totals = [&] {
        GMathVec2<long> sum(0, 0);
        for (CountingWidget* widget : widgets) sum += GMathVec2<long>(widget->redraws, widget->updates);
        return sum;
    };
    GMathVec2<long> const before = totals();
    app().process_pending();
    EXPECT_EQ(totals() - before, GMathVec2<long>(redraws_left, updates_left));
    EXPECT_EQ(app().get_pending_redraw_count(), 0u);
    EXPECT_GT(requests.load(), 1000);
    EXPECT_GT(passes, 10);
    EXPECT_GT(before[1], 0);
}

}  // namespace
