// The interface's preferences, their change callbacks and the colour-tag configuration file.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "gui/core/gui_app.h"
#include "gui/menus/gui_menu.h"
#include "host/app/app_preferences.h"
#include "host/sys/sys_functions.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

AppCategoryPreferences& category(char const* name)
{
    GuiApp& app = gui_test_app();
    app.init_preferences();
    AppCategoryPreferences* found = app.get_preferences().get_category(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
}

TEST(GuiAppPreferences, ChangesTakeEffectAtOnce)
{
    GuiApp& app = gui_test_app();
    AppCategoryPreferences& ui = category("user_interface");

    ui.set_long_value("file_browser", AppBase::FILE_BROWSER_MODE_BUILT_IN);
    EXPECT_EQ(app.get_file_browser_mode(), AppBase::FILE_BROWSER_MODE_BUILT_IN);
    ui.set_double_value("gizmo_size", 2.5);
    EXPECT_DOUBLE_EQ(app.get_gizmo_size(), 2.5);

    // The input device mode decides the device the interface assumes.
    ui.set_long_value("input_device_mode", AppBase::INPUT_DEVICE_MODE_TABLET);
    EXPECT_EQ(app.get_input_device_type(), Gui::DEVICE_STYLUS);
    ui.set_long_value("input_device_mode", AppBase::INPUT_DEVICE_MODE_MOUSE);
    EXPECT_EQ(app.get_input_device_type(), Gui::DEVICE_MOUSE);

    ui.set_long_value("color_scheme", 1);
    EXPECT_EQ(app.get_color_scheme().get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND),
              GuiColorScheme::get_scheme(GuiColorScheme::SCHEME_LIGHT)
                  .get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND));
    ui.set_long_value("color_scheme", 0);

    for (char const* key : {"file_browser", "gizmo_size", "input_device_mode"})
        ui.reset_value(key);
    EXPECT_EQ(app.get_file_browser_mode(), AppBase::FILE_BROWSER_MODE_NATIVE);
}

TEST(GuiAppColorTags, TheShippedFileReadsCleanly)
{
    GuiApp& app = gui_test_app();
    LogRecorder log;
    CoreString const path = GuiApp::expand_bin_dir(GuiApp::get_default_colortag_config_file_path());
    ASSERT_TRUE(app.load_colortag_config_file(path));
    EXPECT_EQ(log.count(), 0u) << log.dump();
    ASSERT_GE(app.get_color_tags().get_count(), 4u);
    EXPECT_EQ(app.get_color_tags()[0].name, "red");
    EXPECT_EQ(app.get_color_tags()[0].tip, "Red");
}

TEST(GuiAppColorTags, InconsistentTagsAreSkippedAndMissingFilesRefused)
{
    GuiApp& app = gui_test_app();
    SysTempFolder folder;
    CoreString const path = folder.get_path() + "/tags.cfg";
    std::ofstream(path.get_data()) << "color_tags {\n"
                                      "    good { tip \"Good\" weight 2.0 color 1 2 3 }\n"
                                      "    two_values { tip \"Two\" weight 1.0 color 1 2 }\n"
                                      "    extra { tip \"Extra\" weight 1.0 color 1 2 3 shade 4 }\n"
                                      "    out_of_range { tip \"Far\" weight 1 color 300 0 0 }\n"
                                      "    loose 5\n"
                                      "}\n";
    {
        LogRecorder log;
        ASSERT_TRUE(app.load_colortag_config_file(path));
        ASSERT_EQ(app.get_color_tags().get_count(), 1u);
        EXPECT_EQ(app.get_color_tags()[0].name, "good");
        EXPECT_EQ(app.get_color_tags()[0].color, GMathVec3<unsigned char>(1, 2, 3));
        for (char const* name : {"two_values", "extra", "out_of_range", "loose"})
            EXPECT_TRUE(log.contains(std::string("inconsistent entry ") + name + "\n")) << name;
    }
    {
        LogRecorder log;
        CoreString const missing = folder.get_path() + "/missing.cfg";
        EXPECT_FALSE(app.load_colortag_config_file(missing));
        EXPECT_TRUE(log.contains("Failed to open tags file : '" + missing.std_string() + "'.\n"));
        EXPECT_EQ(app.get_color_tags().get_count(), 1u);  // what was read before stays
    }
}

}  // namespace

namespace {

// Records the names raised on the application.
class RaisedNames : public EventObject {
public:
    void on_event(EventObject&, EventInfo const& info, void*) { names.push_back(info.get_name().std_string()); }
    std::vector<std::string> names;
};

TEST(GuiAppSession, AutoEvaluationEventsFollowTheirTwoFlags)
{
    GuiApp& app = gui_test_app();
    RaisedNames raised;
    for (CoreString const* name : {&EVT_ID_APPLICATION_AUTO_EVAL_PAUSE, &EVT_ID_APPLICATION_AUTO_EVAL_PLAY,
                                   &EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT, &EVT_ID_APPLICATION_AUTO_EVAL_REFRESH})
        raised.connect(static_cast<EventObject&>(app), *name, &RaisedNames::on_event);
    app.set_auto_eval_changed(false, false);
    app.set_auto_eval_changed(false, true);
    app.set_auto_eval_changed(true, false);
    app.set_auto_eval_changed(true, true);
    EXPECT_EQ(raised.names, (std::vector<std::string>{"EVT_ID_APPLICATION_AUTO_EVAL_PAUSE",
                                                       "EVT_ID_APPLICATION_AUTO_EVAL_PLAY",
                                                       "EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT",
                                                       "EVT_ID_APPLICATION_AUTO_EVAL_REFRESH"}));
    raised.disconnect_all();
}

}  // namespace
