#pragma once
// The interface application of a test program, the loop that works off its queues, and a
// fixture base for tests on widgets.
//
// GuiApp is one per process: gui_test_app() makes it on first use and keeps it to the end of
// the program. pump_events does between two assertions what the application's own loop does
// between events: toolkit waits, due application timers and processing passes (updates, then
// redraws) until nothing is pending, then draws. process_idle adds the idle pass's deferred deletion.
//
//     class PanelTest : public GuiTest {};
//     TEST_F(PanelTest, Draws) {
//         GuiWindow& window = make_window(300, 200);   // shown and exposed
//         GuiWidget* panel = new GuiWidget(window, 10, 10, 100, 50);
//         panel->show();
//         pump_events(app());
//     }                                                // the window goes with the test
#include <gtest/gtest.h>

#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"

// The test program's interface application, made on first use.
GuiApp& gui_test_app();

// True when an X display could be opened.
bool gui_test_has_display();

// Runs toolkit waits and processing passes for at least `seconds`, at least once, and then
// until the pending redraws and updates are empty (for at most two seconds more), then draws.
void pump_events(GuiApp& app, double seconds = 0);

// pump_events, then deletes the widgets and toolkit windows waiting in the destroy queue.
void process_idle(GuiApp& app);

// Skips the test without an X display. After the test, every top-level window of the
// application is destroyed and deleted with all it holds, so tests do not see each other's.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GuiApp& app() { return gui_test_app(); }
    // A top-level window with its top-left corner at (x, y) on the screen. When `show` is
    // true it is shown, exposed and drawn before this returns.
    GuiWindow& make_window(int w = 300, int h = 200, bool show = true, int x = 40, int y = 40);
};
