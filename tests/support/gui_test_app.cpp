#include "tests/support/gui_test_app.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>

#include "gui/core/gui.h"
#include "host/sys/sys_timer.h"

GuiApp& gui_test_app()
{
    // Never deleted: widgets of failed tests may still refer to it while the program ends.
    static GuiApp* app = new GuiApp();
    return *app;
}

bool gui_test_has_display()
{
    return Gui::open_display();
}

void pump_events(GuiApp& app, double seconds)
{
    // A widget that queues itself again at every pass would keep this loop going forever.
    double const limit = seconds + 2.0;
    SysTimer timer;
    do {
        if (fl_display) {
            double const left = seconds - timer.get_elapsed_time();
            Fl::wait(std::clamp(left, 0.0, 0.005));
        }
        app.process_timers();
        app.process_pending();
        if (fl_display) Fl::flush();
    } while ((timer.get_elapsed_time() < seconds ||
              app.get_pending_redraw_count() + app.get_pending_update_count() > 0) &&
             timer.get_elapsed_time() < limit);
}

void process_idle(GuiApp& app)
{
    pump_events(app);
    app.delete_queued_objects();
}

void GuiTest::SetUp()
{
    if (!gui_test_has_display()) GTEST_SKIP() << "no X display";
    gui_test_app();
}

void GuiTest::TearDown()
{
    if (!gui_test_has_display()) return;
    GuiApp& application = app();
    for (GuiWindow* window : CoreVector<GuiWindow*>(application.get_windows()))
        if (!window->is_destroyed()) window->destroy();
    process_idle(application);
}

GuiWindow& GuiTest::make_window(int w, int h, bool show, int x, int y)
{
    GuiWindow* window = app().create_window(x, y, w, h, "test");
    if (show) {
        window->show();
        if (Fl_Window* toolkit = window->get_widget()->as_window()) toolkit->wait_for_expose();
        pump_events(app());
    }
    return *window;
}
