// Nested loops inside event handlers and passes.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "host/sys/sys_timer.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/gui_synthetic_events.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

class GuiAppReentrancyTest : public GuiTest {};

TEST_F(GuiAppReentrancyTest, AWidgetDestroyedByItsHandlerOutlivesANestedLoop)
{
    GuiWindow& window = make_window();
    RecordingWidget* widget = new RecordingWidget(window, 10, 10, 50, 50);
    widget->show();
    bool deleted = false;
    bool alive_after_loop = false;
    widget->on_delete = [&] { deleted = true; };
    widget->on_event = [&](CoreString const& name) {
        if (name != EVT_ID_MOUSE_DOWN) return;
        widget->destroy();
        // A loop of the application inside the handler, with its idle passes active (they
        // are suspended outside run()), for long enough for several of them.
        app().add_timer([](void* data) { static_cast<GuiApp*>(data)->quit(); }, &app(), 0.5);
        app().run();
        alive_after_loop = !deleted;
    };
    widget->answers["EVT_ID_MOUSE_DOWN"] = 1;
    mouse_down(*widget, 20, 20);
    EXPECT_TRUE(alive_after_loop);
    EXPECT_FALSE(deleted);
    process_idle(app());
    EXPECT_TRUE(deleted);
}

TEST_F(GuiAppReentrancyTest, LongWorkInsideAPassLosesNoRedraws)
{
    GuiWindow& window = make_window();
    RecordingWidget* widget = new RecordingWidget(window, 10, 10, 50, 50);
    RecordingWidget* other = new RecordingWidget(window, 70, 10, 50, 50);
    widget->show();
    other->show();
    pump_events(app());
    int const other_redraws = other->redraws;
    bool nested = false;
    widget->on_update = [&] {
        if (nested) return;
        nested = true;
        // Long work in an update: progress updates, with the other widget waiting for a redraw.
        other->redraw();
        SysTimer timer;
        while (timer.get_elapsed_time() < 0.2) app().progress_update();
    };
    widget->set_is_dirty(true);
    other->redraw();
    app().process_pending();
    EXPECT_TRUE(nested);
    EXPECT_GE(other->redraws, other_redraws + 1);

    // The pass is not left half-done: the next one works off what is queued.
    EXPECT_FALSE(app().is_processing());
    int const after = other->redraws;
    other->redraw();
    app().process_pending();
    EXPECT_EQ(other->redraws, after + 1);
    if (!app().is_enabled()) app().enable();
}

TEST_F(GuiAppReentrancyTest, ParentCyclesAreRefused)
{
    GuiWindow& window = make_window();
    GuiWidget* parent = new GuiWidget(window, 0, 0, 100, 100);
    GuiWidget* child = new GuiWidget(*parent, 10, 10, 50, 50);
    LogRecorder log;
    parent->set_parent(child);
    parent->set_parent(parent);
    EXPECT_EQ(parent->get_parent(), &window);
    EXPECT_EQ(child->get_parent(), parent);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);

    GuiWindow* owned = new GuiWindow(window, 0, 0, 50, 50, "owned");
    window.set_parent(owned);
    EXPECT_EQ(window.get_parent(), nullptr);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    owned->destroy();
}

}  // namespace
