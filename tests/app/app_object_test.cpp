#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/app/app_object.h"
#include "host/app/app_preferences.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_object_factory.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

// An application that adds a category of its own and counts set_preferences calls.
class CountingApp : public AppObject {
public:
    bool populate_prefs() override
    {
        if (!AppObject::populate_prefs()) return false;
        get_preferences().add_category("tools").add_long("size", 4);
        return true;
    }
    void set_preferences() override
    {
        AppObject::set_preferences();
        ++set_count;
    }
    int set_count = 0;
};

TEST(AppObject, PreferencesArePopulatedOnceSavedAndLoaded)
{
    SysTempFolder folder;
    CoreString path = folder / "preferences.cfg";
    CountingApp app;
    EXPECT_TRUE(app.init_preferences());
    EXPECT_TRUE(app.init_preferences());
    AppPreferences& prefs = app.get_preferences();
    ASSERT_TRUE(prefs.category_exists("tools"));
    EXPECT_EQ(prefs.get_category("general")->get_attrs_change_connection_count(), 1u);
    EXPECT_TRUE(prefs.get_bool_value("general", "delete_to_trash"));

    // A changed history limit reaches the command history at once.
    ASSERT_TRUE(prefs.set_long_value("general", "undo_history_limit", 3));
    EXPECT_EQ(app.get_command_manager().get_history_limit(), 3u);
    ASSERT_TRUE(app.save_preferences(path));

    prefs.set_long_value("general", "undo_history_limit", 50);
    app.get_command_manager().set_history_limit(7);
    ASSERT_TRUE(app.load_preferences(path));
    EXPECT_EQ(app.set_count, 1);
    EXPECT_EQ(prefs.get_long_value("general", "undo_history_limit"), 3);
    // set_preferences applies every value, changed by the load or not.
    EXPECT_EQ(app.get_command_manager().get_history_limit(), 3u);
}

class FlagPreference : public AppObjectClassPreference {
public:
    explicit FlagPreference(bool* deleted) : m_deleted(deleted) {}
    ~FlagPreference() override { *m_deleted = true; }

private:
    bool* m_deleted;
};

TEST(AppObject, ClassPreferencesAreOwnedByKey)
{
    bool first_deleted = false, second_deleted = false, kept_deleted = false;
    {
        AppObject app;
        auto* first = new FlagPreference(&first_deleted);
        app.set_class_preference("GuiNodal.bookmarks", first);
        app.set_class_preference("GuiNodal.bookmarks", first);  // the same again: kept
        EXPECT_FALSE(first_deleted);

        auto* second = new FlagPreference(&second_deleted);
        app.set_class_preference("GuiNodal.bookmarks", second);
        EXPECT_TRUE(first_deleted);
        app.set_class_preference("GuiNodal.bookmarks", nullptr);
        EXPECT_TRUE(second_deleted);
        EXPECT_EQ(app.get_class_preference("GuiNodal.bookmarks"), nullptr);

        LogRecorder log;
        bool refused_deleted = false;
        app.set_class_preference("", new FlagPreference(&refused_deleted));
        EXPECT_TRUE(refused_deleted);
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();

        app.set_class_preference("GuiGraphWidget.options", new FlagPreference(&kept_deleted));
    }
    EXPECT_TRUE(kept_deleted);
}

TEST(AppObject, ConfigurationFromAFile)
{
    SysTempFolder folder;
    CoreString path = folder / "site.cfg";
    write_file(path, "paths { textures \"/data/textures\" }\nthreads 8\n");
    AppObject app;
    ASSERT_TRUE(app.load_config(path));
    ASSERT_NE(app.get_config().get_group("paths"), nullptr);

    // A file that cannot be read keeps the configuration.
    {
        LogRecorder log(CORE_LOG_LEVEL_WARNING);
        EXPECT_FALSE(app.load_config(folder / "missing.cfg"));
        EXPECT_GE(log.count(), 1u);
    }
    EXPECT_NE(app.get_config().get_entry("threads"), nullptr);

    // No default file is no error: the configuration is empty.
    char const* previous = ::getenv("VELMORA_BIN_DIR");
    std::string saved = previous ? previous : "";
    ::setenv("VELMORA_BIN_DIR", folder.get_path().c_str(), 1);
    EXPECT_EQ(AppObject::get_default_config_path(), folder / "application.cfg");
    EXPECT_TRUE(app.load_config());
    EXPECT_TRUE(app.get_config().is_empty());
    if (previous) {
        ::setenv("VELMORA_BIN_DIR", saved.c_str(), 1);
    } else {
        ::unsetenv("VELMORA_BIN_DIR");
    }
}

// Evaluation ---------------------------------------------------------------------------------

struct Trace {
    std::vector<std::string> calls;
    double stop_at = -1.0;    // frame at which the evaluator asks for a stop
    double refuse_at = -1.0;  // frame at which it returns false
    bool busy_seen = true;
    bool evaluating_seen = true;
};

bool evaluator_a(AppObject& app, double const& frame, void* data)
{
    auto& trace = *static_cast<Trace*>(data);
    trace.calls.push_back("a" + std::to_string(static_cast<int>(frame)));
    trace.busy_seen = trace.busy_seen && app.is_busy();
    trace.evaluating_seen =
        trace.evaluating_seen && app.is_evaluating() && app.get_factory().get_time() == frame;
    if (frame == trace.stop_at) app.stop_evaluation();
    return frame != trace.refuse_at;
}

bool evaluator_b(AppObject&, double const& frame, void* data)
{
    static_cast<Trace*>(data)->calls.push_back("b" + std::to_string(static_cast<int>(frame)));
    return true;
}

TEST(AppObject, EvaluatorsRunPerFrameInOrder)
{
    AppObject app;
    Trace trace;
    int begins = 0, ends = 0;
    EventObject::connect(
        app, EVT_ID_APPLICATION_EVALUATION_BEGIN,
        [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); }, &begins);
    EventObject::connect(
        app, EVT_ID_APPLICATION_EVALUATION_END,
        [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); }, &ends);
    ASSERT_TRUE(app.add_evaluator(&evaluator_a, &trace));
    ASSERT_TRUE(app.add_evaluator(&evaluator_b, &trace));
    EXPECT_EQ(app.evaluate(1.0, 3.0), 3u);
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"a1", "b1", "a2", "b2", "a3", "b3"}));
    EXPECT_TRUE(trace.busy_seen && trace.evaluating_seen);
    EXPECT_FALSE(app.is_evaluating() || app.is_busy());
    EXPECT_EQ(begins + ends, 2);

    // Steps that do not add up exactly still reach the last frame.
    EXPECT_TRUE(app.remove_evaluator(&evaluator_b, &trace));
    EXPECT_FALSE(app.remove_evaluator(&evaluator_b, &trace));
    EXPECT_EQ(app.evaluate(0.0, 1.0, 0.1), 11u);
    EXPECT_DOUBLE_EQ(app.get_evaluation_frame(), 1.0);

    // Bounds or steps that are not finite numbers evaluate nothing.
    LogRecorder log;
    double const nan = std::nan("");
    double const inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(app.evaluate(nan, 3.0), 0u);
    EXPECT_EQ(app.evaluate(1.0, 2.0, inf), 0u);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
}

TEST(AppObject, EvaluationStops)
{
    AppObject app;
    Trace trace;
    app.add_evaluator(&evaluator_a, &trace);
    app.add_evaluator(&evaluator_b, &trace);

    // A stop asked by an evaluator skips the rest of the frame.
    trace.stop_at = 2.0;
    EXPECT_EQ(app.evaluate(1.0, 5.0), 1u);
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"a1", "b1", "a2"}));
    EXPECT_TRUE(app.is_evaluation_stopped());
    EXPECT_EQ(app.get_evaluation_frame(), 2.0);

    // So does an evaluator returning false.
    trace = Trace();
    trace.refuse_at = 7.0;
    EXPECT_FALSE(app.evaluate(7.0));
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"a7"}));

    // A stop asked between evaluations is ignored.
    trace = Trace();
    app.stop_evaluation();
    EXPECT_TRUE(app.evaluate(1.0));
    EXPECT_FALSE(app.is_evaluation_stopped());

    // The interface (here a timer) may stop the evaluation between frames.
    trace = Trace();
    app.add_timer([](void* data) { static_cast<AppObject*>(data)->stop_evaluation(); }, &app, 0.0);
    EXPECT_EQ(app.evaluate(1.0, 100.0), 1u);
    EXPECT_TRUE(app.is_evaluation_stopped());
}

bool remove_b_and_nest(AppObject& app, double const& frame, void* data)
{
    app.remove_evaluator(&evaluator_b, data);
    // Evaluating from inside an evaluation is refused.
    EXPECT_FALSE(app.evaluate(frame + 1.0));
    return true;
}

TEST(AppObject, EvaluatorListChangesAndBadInput)
{
    AppObject app;
    Trace trace;
    LogRecorder log(CORE_LOG_LEVEL_WARNING);
    EXPECT_FALSE(app.add_evaluator(nullptr));
    EXPECT_EQ(log.count(), 1u);
    ASSERT_TRUE(app.add_evaluator(&remove_b_and_nest, &trace));
    ASSERT_TRUE(app.add_evaluator(&evaluator_b, &trace));
    log.clear();
    EXPECT_FALSE(app.add_evaluator(&evaluator_b, &trace));
    EXPECT_EQ(log.count(), 1u);

    // The evaluator removed during the frame does not run, not even in that frame.
    log.clear();
    EXPECT_TRUE(app.evaluate(4.0));
    EXPECT_TRUE(trace.calls.empty());
    EXPECT_EQ(log.count(), 1u) << log.dump();  // the nested evaluate
    EXPECT_EQ(app.get_evaluator_count(), 1u);

    log.clear();
    EXPECT_EQ(app.evaluate(5.0, 1.0), 0u);
    EXPECT_EQ(app.evaluate(1.0, 5.0, 0.0), 0u);
    EXPECT_EQ(log.count(), 2u);
}

TEST(AppObject, ItemClipboardRaisesChanges)
{
    AppObject app;
    int changes = 0;
    EventObject::connect(
        app, EVT_ID_APPLICATION_ITEM_CLIPBOARD_CHANGED,
        [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); },
        &changes);
    ParserGroup content;
    content.add_entry("object").add_string("ball");
    app.set_item_clipboard(content);
    EXPECT_EQ(app.get_item_clipboard(), content);
    app.clear_item_clipboard();
    app.clear_item_clipboard();  // already empty: no change
    EXPECT_TRUE(app.get_item_clipboard().is_empty());
    EXPECT_EQ(changes, 2);
}

TEST(AppObject, FrameRangeIsOrderedAndRaisedWithItsEnds)
{
    AppObject app;
    std::vector<std::pair<double, double>> raised;
    EventObject::connect(
        app, EVT_ID_APPLICATION_FRAME_RANGE_CHANGED,
        [](EventObject&, EventObject::EventInfo const& info, void* data) {
            auto const* range = static_cast<AppObject::FrameRange const*>(info.get_event_data());
            static_cast<std::vector<std::pair<double, double>>*>(data)->emplace_back(range->start_frame,
                                                                                    range->end_frame);
        },
        &raised);
    EXPECT_TRUE(app.set_frame_range(30.0, 12.5));
    EXPECT_TRUE(app.set_frame_range(12.5, 30.0));  // the same range: no event
    EXPECT_EQ(app.get_frame_range().start_frame, 12.5);
    EXPECT_EQ(app.get_frame_range().end_frame, 30.0);

    LogRecorder log;
    EXPECT_FALSE(app.set_frame_range(std::nan(""), 4.0));
    EXPECT_FALSE(app.set_frame_range(1.0, std::numeric_limits<double>::infinity()));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
    EXPECT_EQ(app.get_frame_range().end_frame, 30.0);
    EXPECT_EQ(raised, (std::vector<std::pair<double, double>>{{12.5, 30.0}}));
}

TEST(AppObject, KeyFrameDisplayRaisesOnlyChanges)
{
    AppObject app;
    int changes = 0;
    EventObject::connect(
        app, EVT_ID_APPLICATION_TIMELINE_KF_DISPLAY_CHANGED,
        [](EventObject&, EventObject::EventInfo const&, void* data) { ++*static_cast<int*>(data); }, &changes);
    bool const initial = app.is_timeline_kf_display();
    app.set_timeline_kf_display(initial);
    app.set_timeline_kf_display(!initial);
    EXPECT_EQ(app.is_timeline_kf_display(), !initial);
    EXPECT_EQ(changes, 1);
}

}  // namespace
