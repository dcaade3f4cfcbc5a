// What the application sets up when it starts, colour management, viewports and statistics.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/x.H>

#include <cmath>
#include <thread>

#include "gui/core/gui_app.h"
#include "gui/viewport/gui_viewport.h"
#include "host/app/app_preferences.h"
#include "host/colorio/colorio.h"
#include "host/sys/sys_timer.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

class GuiAppSessionTest : public GuiTest {
protected:
    // Runs the application's start and end without a loop in between.
    void start_and_stop()
    {
        app().quit();
        app().run();
    }
};

float srgb_encode(float linear)
{
    return 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

TEST_F(GuiAppSessionTest, StartingMakesTheDisplayConverterThatFollowsTheViewTransform)
{
    GMathVec3<float> const grey(0.18f, 0.18f, 0.18f);
    // The test application is shared: an earlier test in this process may have started it.
    if (!app().get_linear_to_default_converter()) {
        EXPECT_FLOAT_EQ(app().convert_linear_to_default(grey)[0], 0.18f);  // no converter yet
    }
    start_and_stop();
    ASSERT_NE(app().get_linear_to_default_converter(), nullptr);
    EXPECT_EQ(app().get_default_view_transform(), "Standard");
    EXPECT_NEAR(app().convert_linear_to_default(grey)[0], srgb_encode(0.18f), 2e-4f);

    ASSERT_TRUE(app().set_default_view_transform("Raw"));
    EXPECT_NEAR(app().convert_linear_to_default(grey)[0], 0.18f, 1e-6f);

    LogRecorder log;
    EXPECT_FALSE(app().set_default_view_transform("Filmic"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_NEAR(app().convert_linear_to_default(grey)[0], 0.18f, 1e-6f);

    // The preference lists "Default" and the views; choosing one applies it at once.
    app().init_preferences();
    AppItemPreferences* view = app().get_preferences().get_item("color_management", "default_view_transform");
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->get_enum_labels().get_count(), 1u + ColorIO::get_view_transform_names().get_count());
    EXPECT_EQ(view->get_enum_labels()[2], "Gamma 2.2");
    view->set_long_value(2);
    EXPECT_EQ(app().get_default_view_transform(), "Gamma 2.2");
    EXPECT_NEAR(app().convert_linear_to_default(grey)[0], std::pow(0.18f, 1.0f / 2.2f), 2e-4f);
    view->set_long_value(0);  // "Default"
    EXPECT_EQ(app().get_default_view_transform(), "Standard");
}

TEST_F(GuiAppSessionTest, ThePickerSpaceDefaultsToTheColorPickingRole)
{
    EXPECT_EQ(app().get_color_picker_color_space_name(), "sRGB");
    app().init_preferences();
    AppItemPreferences* space = app().get_preferences().get_item("color_management", "color_picker_color_space");
    ASSERT_NE(space, nullptr);
    int const raw = space->get_enum_labels().find("Raw");
    ASSERT_GT(raw, 0);
    space->set_long_value(raw);
    EXPECT_EQ(app().get_color_picker_color_space_name(), "Raw");
    LogRecorder log;
    space->set_long_value(space->get_enum_labels().get_count() + 3);  // refused by its validator
    EXPECT_FALSE(app().set_color_picker_color_space("Display P3"));
    EXPECT_EQ(app().get_color_picker_color_space_name(), "Raw");
    EXPECT_TRUE(app().set_color_picker_color_space(""));
    EXPECT_EQ(app().get_color_picker_color_space_name(), "sRGB");
}

TEST_F(GuiAppSessionTest, ViewportsPauseTheirEvaluationAndGetTheirOwnFlagsBack)
{
    GuiWindow& window = make_window();
    GuiViewport* a = new GuiViewport(window, 0, 0, 50, 50);
    GuiViewport* b = new GuiViewport(window, 50, 0, 50, 50);
    GuiViewport* c = new GuiViewport(window, 100, 0, 50, 50);
    ASSERT_EQ(app().get_viewports().get_count(), 3u);
    b->set_auto_evaluation(false);

    app().disable_all_viewports_auto_evaluation();
    EXPECT_FALSE(a->get_auto_evaluation() || b->get_auto_evaluation() || c->get_auto_evaluation());
    app().restore_all_viewports_auto_evaluation();
    EXPECT_TRUE(a->get_auto_evaluation());
    EXPECT_FALSE(b->get_auto_evaluation());
    EXPECT_TRUE(c->get_auto_evaluation());

    // A viewport that goes leaves the list; a restore then warns and touches only the
    // viewports the saved flags still reach.
    app().disable_all_viewports_auto_evaluation();
    delete c;
    EXPECT_EQ(app().get_viewports().get_count(), 2u);
    LogRecorder log;
    app().restore_all_viewports_auto_evaluation();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u);
    EXPECT_TRUE(a->get_auto_evaluation());
    EXPECT_FALSE(b->get_auto_evaluation());
}

TEST_F(GuiAppSessionTest, UserInputSeenByTheSystemHandlerResetsTheIdleWatch)
{
    start_and_stop();
    SysWatch& idle = app().get_application_idle_watch();
    idle.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XEvent event{};
    event.type = Expose;
    EXPECT_EQ(GuiApp::on_system_event(&event, &app()), 0);
    EXPECT_GE(idle.get_elapsed_time(), 0.03);  // not user input
    event.type = KeyPress;
    EXPECT_EQ(GuiApp::on_system_event(&event, &app()), 0);  // the toolkit still gets it
    EXPECT_LT(idle.get_elapsed_time(), 0.03);
}

}  // namespace
