#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/app/app_preferences.h"
#include "host/parser/parser_file.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

using Vec2 = GMathVec2<double>;
using Vec3 = GMathVec3<double>;

// Declares one item of every kind in "test", and a second category.
void declare_sample(AppPreferences& prefs)
{
    AppCategoryPreferences& test = prefs.add_category("test");
    test.add_bool("flag", true, "A flag.");
    test.add_long("count", 25, "How many.").set_range(0, 500).set_ui_range(0, 100);
    test.add_double("size", 1.0).set_range(0.5, 2.0).add_preset(" 50%", 0.5).add_preset("200%", 2.0);
    test.add_string("name", "default name");
    test.add_filename("tags_file", "$BIN/tags.cfg", {".cfg", "txt"}, "Path to the tags file.");
    test.add_color("tint", Vec3(1.0, 0.5, 0.0));
    test.add_vec2d("distance", Vec2(0.1, 0.1)).set_range(0.0, 1.0).set_unit("percentage");
    test.add_vec3d("offset", Vec3(0.0, 0.0, 0.0));
    test.add_enum("shape", {"None", "Rule of Thirds", "Golden Ratio"}, 1).set_enum_type("overlay");
    prefs.add_category("other").add_long("level", 3);
}

// Records every change callback as "category.key" (with "=value" for integers) and answers `handled`.
struct ChangeLog {
    std::vector<std::string> calls;
    bool handled = true;

    static bool on_change(AppCategoryPreferences&, AppItemPreferences& item, void* data)
    {
        ChangeLog* log = static_cast<ChangeLog*>(data);
        std::string value =
            item.get_kind() == AppItemPreferences::KIND_LONG ? "=" + std::to_string(item.get_long_value()) : "";
        log->calls.push_back(item.get_full_name().std_string() + value);
        return log->handled;
    }
};

// Counts EVT_ID_APPLICATION_PREFERENCES_CHANGED and _LOADED raised on a preferences object.
struct EventLog {
    std::vector<std::string> changed;
    int loaded = 0;

    void connect(AppPreferences& prefs)
    {
        EventObject::connect(prefs, EVT_ID_APPLICATION_PREFERENCES_CHANGED,
                             [](EventObject&, EventObject::EventInfo const& info, void* data) {
                                 auto* item = static_cast<AppItemPreferences*>(info.get_event_data());
                                 static_cast<EventLog*>(data)->changed.push_back(item->get_full_name().std_string());
                             },
                             this);
        EventObject::connect(prefs, EVT_ID_APPLICATION_PREFERENCES_LOADED,
                             [](EventObject&, EventObject::EventInfo const&, void* data) {
                                 ++static_cast<EventLog*>(data)->loaded;
                             },
                             this);
    }
};

}  // namespace

TEST(AppPreferencesTest, DeclarationsReadBack)
{
    LogRecorder log;
    AppPreferences prefs;
    declare_sample(prefs);
    ASSERT_EQ(log.count(), 0u) << log.dump();

    EXPECT_FALSE(prefs.category_exists("Test"));
    ASSERT_EQ(prefs.get_category_count(), 2u);
    AppCategoryPreferences& test = *prefs.get_category("test");
    EXPECT_EQ(&prefs.add_category("test", "Tests"), &test);  // declared twice: the same one
    EXPECT_EQ(test.get_label(), "Tests");

    AppItemPreferences& count = *prefs.get_item("test", "count");
    EXPECT_EQ(test.get_item("tags_file")->get_label(), "Tags File");  // the key as a title
    AppItemPreferences& size = *test.get_item("size");
    EXPECT_EQ(size.get_current_preset(), -1);
    EXPECT_TRUE(size.apply_preset(0));
    EXPECT_EQ(size.get_current_preset(), 0);

    // Extensions lose their dots.
    EXPECT_EQ(test.get_item("tags_file")->get_filename_extensions(), (CoreVector<CoreString>{"cfg", "txt"}));

    // A key declared again gives the item already there, unchanged.
    EXPECT_EQ(&test.add_long("count", 7), &count);
    EXPECT_EQ(count.get_default_value().l, 25);
    EXPECT_EQ(log.count(), 0u) << log.dump();
}

TEST(AppPreferencesTest, DeclarationMistakesWarnOnce)
{
    AppPreferences prefs;
    AppCategoryPreferences& cat = prefs.add_category("c");
    LogRecorder log;

    // Another kind under a declared key: one warning, the first item is kept.
    AppItemPreferences& flag = cat.add_bool("flag", true);
    EXPECT_EQ(&cat.add_double("flag", 2.0), &flag);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    log.clear();

    // Defaults outside their range or labels are brought back with one warning each.
    EXPECT_EQ(cat.add_color("tint", Vec3(2.0, 0.5, -1.0)).get_vec3d_value(), Vec3(1.0, 0.5, 0.0));
    EXPECT_EQ(cat.add_enum("shape", {"A", "B"}, 5).get_long_value(), 0);
    AppItemPreferences& ratio = cat.add_double("ratio", 5.0).set_range(0.0, 1.0);
    EXPECT_EQ(ratio.get_double_value(), 1.0);
    EXPECT_EQ(ratio.get_default_value().d, 1.0);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();
    log.clear();

    // Ranges that hold nothing and ranges on kinds without one are ignored.
    AppItemPreferences& count = cat.add_long("count", 1);
    count.set_range(0.2, 0.8);  // no integer inside
    count.set_range(5.0, 1.0);
    flag.set_range(0.0, 1.0);
    cat.add_string("name", "").set_ui_range(0.0, 1.0);
    EXPECT_FALSE(count.has_range());
    EXPECT_FALSE(flag.has_range());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    log.clear();

    // Presets of the wrong shape are refused.
    count.add_preset("vector", Vec2(1.0, 2.0));
    cat.add_vec2d("pair", Vec2()).add_preset("scalar", 1.0);
    EXPECT_FALSE(count.has_preset());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();
}

TEST(AppPreferencesTest, SettingAndGettingValues)
{
    AppPreferences prefs;
    declare_sample(prefs);
    AppCategoryPreferences& test = *prefs.get_category("test");
    LogRecorder log;

    EXPECT_TRUE(prefs.set_long_value("test", "count", 42));
    EXPECT_TRUE(test.get_item("shape")->set_long_value(2));
    EXPECT_EQ(test.get_item("shape")->get_enum_label(), "Golden Ratio");

    // Wrong kinds, unknown categories and keys: one warning each, nothing changes, zero read.
    EXPECT_FALSE(prefs.set_double_value("test", "count", 3.0));
    EXPECT_FALSE(prefs.set_long_value("missing", "count", 1));
    EXPECT_FALSE(test.set_long_value("missing", 1));
    EXPECT_EQ(test.get_string_value("count"), "");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(prefs.get_long_value("test", "count"), 42);
    log.clear();

    // Out of range: clamped, with an information message, and accepted.
    EXPECT_TRUE(test.set_long_value("count", std::numeric_limits<long long>::min()));
    EXPECT_EQ(test.get_long_value("count"), 0);
    EXPECT_TRUE(test.set_double_value("size", -std::numeric_limits<double>::infinity()));
    EXPECT_EQ(test.get_double_value("size"), 0.5);
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_INFO), 2u) << log.dump();
    log.clear();

    // Refused: not a number, an index past the labels, a read-only item.
    EXPECT_FALSE(test.set_double_value("size", std::nan("")));
    EXPECT_FALSE(test.set_vec3d_value("offset", Vec3(0.0, std::nan(""), 0.0)));
    EXPECT_FALSE(test.set_long_value("shape", 3));
    test.get_item("shape")->set_read_only(true);
    EXPECT_FALSE(test.set_long_value("shape", 0));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(test.get_long_value("shape"), 2);
    log.clear();

    // Resetting restores the declared default, read-only or not.
    EXPECT_TRUE(prefs.reset_value("test", "shape"));
    EXPECT_EQ(test.get_long_value("shape"), 1);
    EXPECT_FALSE(prefs.reset_value("test", "missing"));
    prefs.reset_all_values();
    for (unsigned int i = 0; i < test.get_item_count(); ++i) {
        EXPECT_TRUE(test.get_item(i)->is_default()) << test.get_item(i)->get_key();
    }
    EXPECT_EQ(log.count(), 1u) << log.dump();
}

TEST(AppPreferencesTest, EnumerationWithoutLabelsTakesAnyIndex)
{
    AppPreferences prefs;
    AppItemPreferences& transform = prefs.add_category("color_management").add_enum("view", {}, 0);
    EXPECT_TRUE(transform.set_long_value(7));
    LogRecorder log;
    // Labels filled in later: a current index past them goes back to the default.
    transform.set_enum_labels({"sRGB", "Raw"});
    EXPECT_EQ(transform.get_long_value(), 0);
    EXPECT_EQ(log.count(), 0u) << log.dump();
}

TEST(AppPreferencesTest, ValidatorAdjustsOrRefuses)
{
    AppPreferences prefs;
    AppItemPreferences& space = prefs.add_category("color_management").add_string("space", "linear");
    // Lower-cases names and refuses empty ones.
    space.set_validator([](AppItemPreferences const&, AppItemPreferences::Value& value, void*) {
        if (value.s.is_empty()) return false;
        value.s.lower_case();
        return true;
    });
    LogRecorder log;
    EXPECT_TRUE(space.set_string_value("ACEScg"));
    EXPECT_FALSE(space.set_string_value(""));
    EXPECT_EQ(space.get_string_value(), "acescg");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

TEST(AppPreferencesTest, CallbacksFireOncePerRealChange)
{
    AppPreferences prefs;
    declare_sample(prefs);
    AppCategoryPreferences& test = *prefs.get_category("test");
    ChangeLog first;
    ChangeLog second;
    second.handled = false;
    ChangeLog other;
    EventLog events;
    events.connect(prefs);
    ASSERT_TRUE(test.connect_attrs_change(&ChangeLog::on_change, &first));
    ASSERT_TRUE(test.connect_attrs_change(&ChangeLog::on_change, &second));
    ASSERT_TRUE(prefs.get_category("other")->connect_attrs_change(&ChangeLog::on_change, &other));
    LogRecorder log;
    EXPECT_FALSE(test.connect_attrs_change(&ChangeLog::on_change, &first));
    EXPECT_FALSE(test.connect_attrs_change(nullptr, &first));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u) << log.dump();

    test.set_long_value("count", 30);
    test.set_long_value("count", 30);    // unchanged
    test.set_long_value("count", 1000);  // clamped to 500: a change
    test.set_long_value("count", 600);   // clamped to 500 again: no change
    test.set_double_value("count", 1.0); // refused
    prefs.set_string_value("test", "name", "x");
    test.get_item("size")->apply_preset(1);
    test.reset_value("name");
    test.reset_value("name");
    prefs.get_category("other")->set_long_value("level", 4);

    std::vector<std::string> expected = {"test.count=30", "test.count=500", "test.name", "test.size", "test.name"};
    EXPECT_EQ(first.calls, expected);
    EXPECT_EQ(second.calls, expected);  // "handled" by the first does not stop the others
    EXPECT_EQ(other.calls, std::vector<std::string>{"other.level=4"});
    EXPECT_EQ(events.changed, (std::vector<std::string>{"test.count", "test.count", "test.name", "test.size",
                                                         "test.name", "other.level"}));

    // A callback that disconnects another one and changes a second item from inside.
    struct Nested {
        AppCategoryPreferences* category;
        ChangeLog* victim;
        std::vector<std::string> seen;
    } nested{&test, &second, {}};
    first.calls.clear();
    second.calls.clear();
    ASSERT_TRUE(test.disconnect_attrs_change(&ChangeLog::on_change, &first));
    EXPECT_FALSE(test.disconnect_attrs_change(&ChangeLog::on_change, &first));
    ASSERT_TRUE(test.connect_attrs_change(
        [](AppCategoryPreferences& category, AppItemPreferences& item, void* data) {
            Nested* n = static_cast<Nested*>(data);
            n->seen.push_back(item.get_key().std_string());
            n->category->disconnect_attrs_change(&ChangeLog::on_change, n->victim);
            if (item.get_key() == "flag") category.set_long_value("count", 7);
            return true;
        },
        &nested));
    // The nested callback is connected after `second`, so `second` hears about "flag"
    // before being disconnected, and nothing after.
    test.set_bool_value("flag", false);
    EXPECT_EQ(second.calls, std::vector<std::string>{"test.flag"});
    EXPECT_EQ(nested.seen, (std::vector<std::string>{"flag", "count"}));
    EXPECT_EQ(test.get_long_value("count"), 7);
    EXPECT_EQ(first.calls, std::vector<std::string>{});
}

TEST(AppPreferencesTest, SaveLoadRoundTrip)
{
    SysTempFolder folder;
    CoreString path = folder / "nested/deeper/preferences.cfg";  // folders made by save
    AppPreferences prefs;
    declare_sample(prefs);
    AppCategoryPreferences& test = *prefs.get_category("test");
    test.set_bool_value("flag", false);
    test.set_long_value("count", 0);
    test.set_double_value("size", 0.1 + 0.2 + 1.0);
    test.set_string_value("name", "quote \" backslash \\ newline \n caf\xC3\xA9");
    test.set_string_value("tags_file", "/a b/tags.cfg");
    test.set_vec3d_value("tint", Vec3(0.1, 0.2, 0.3));
    test.set_vec2d_value("distance", Vec2(0.3, 0.7));
    test.set_vec3d_value("offset", Vec3(-1e-300, 1e300, std::numeric_limits<double>::infinity()));
    test.set_long_value("shape", 2);

    LogRecorder log;
    ASSERT_TRUE(prefs.save(path));
    EXPECT_EQ(prefs.get_path(), path);
    // Only values that differ from their defaults are written.
    std::string text = read_file(path);
    EXPECT_EQ(text.find("other"), std::string::npos) << text;

    AppPreferences fresh;
    declare_sample(fresh);
    EventLog events;
    events.connect(fresh);
    ASSERT_TRUE(fresh.load(path));
    EXPECT_EQ(log.count(), 0u) << log.dump();
    EXPECT_EQ(events.loaded, 1);
    EXPECT_EQ(events.changed.size(), 9u);
    // Every value came back: saved again, it writes the same file.
    CoreString copy = folder / "copy.cfg";
    ASSERT_TRUE(fresh.save(copy));
    EXPECT_EQ(read_file(copy), text);

    // Loading the same file again changes nothing, so nobody is told.
    events.changed.clear();
    ASSERT_TRUE(fresh.load(path));
    EXPECT_TRUE(events.changed.empty());
    EXPECT_EQ(events.loaded, 2);

    // Items the file does not hold return to their default, with a notification.
    fresh.set_long_value("other", "level", 9);
    events.changed.clear();
    ASSERT_TRUE(fresh.load(path));
    EXPECT_EQ(events.changed, std::vector<std::string>{"other.level"});
    EXPECT_EQ(fresh.get_long_value("other", "level"), 3);
}

TEST(AppPreferencesTest, LoadingABadFileReportsEachEntryOnce)
{
    SysTempFolder folder;
    CoreString path = folder / "preferences.cfg";
    write_file(path,
               "test {\n"
               "    flag 1\n"                    // an integer for a bool
               "    count 40\n"
               "    size \"big\"\n"              // a string for a double
               "    tint (0.1 0.2)\n"            // two numbers for a colour
               "    distance 0.2 0.4\n"          // two plain numbers make a vec2d
               "    shape 9\n"                   // past the labels
               "    count_typo 3\n"              // unknown key
               "}\n"
               "plugin { speed 4.5 mode \"fast\" }\n"  // unknown category
               "stray 3\n"                       // not a category
               "other { level 5 }\n");
    AppPreferences prefs;
    declare_sample(prefs);
    prefs.set_double_value("test", "size", 1.5);
    LogRecorder log;
    EXPECT_FALSE(prefs.load(path));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 5u) << log.dump();
    EXPECT_EQ(log.count(), 7u) << log.dump();

    // The entries that fit are applied; the others keep their values.
    EXPECT_TRUE(prefs.get_bool_value("test", "flag"));
    EXPECT_EQ(prefs.get_long_value("test", "count"), 40);
    EXPECT_EQ(prefs.get_double_value("test", "size"), 1.5);
    EXPECT_EQ(prefs.get_vec3d_value("test", "tint"), Vec3(1.0, 0.5, 0.0));
    EXPECT_EQ(prefs.get_vec2d_value("test", "distance"), Vec2(0.2, 0.4));
    EXPECT_EQ(prefs.get_long_value("test", "shape"), 1);
    EXPECT_EQ(prefs.get_long_value("other", "level"), 5);
    log.clear();

    // Unknown entries are kept: written back by save, applied when declared.
    CoreString copy = folder / "copy.cfg";
    ASSERT_TRUE(prefs.save(copy));
    ParserFile saved;
    ASSERT_TRUE(saved.read(copy));
    ASSERT_NE(saved.get_root().get_group("test"), nullptr);
    EXPECT_NE(saved.get_root().get_group("test")->get_entry("count_typo"), nullptr);

    AppCategoryPreferences& plugin = prefs.add_category("plugin");
    EXPECT_EQ(plugin.add_double("speed", 1.0).get_double_value(), 4.5);
    EXPECT_EQ(plugin.add_long("mode", 0).get_long_value(), 0);  // a string for a long: warned, default kept
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

TEST(AppPreferencesTest, LoadingMissingBrokenOrUnreadableFiles)
{
    SysTempFolder folder;
    AppPreferences prefs;
    declare_sample(prefs);
    EventLog events;
    events.connect(prefs);
    prefs.set_long_value("test", "count", 99);
    prefs.set_long_value("other", "level", 8);
    LogRecorder log;

    // A file with a syntax error: what read is applied, absent items keep their values.
    CoreString broken = folder / "broken.cfg";
    write_file(broken, "test {\n    count 12\n    name \"unterminated\n}\n");
    EXPECT_FALSE(prefs.load(broken));
    EXPECT_EQ(prefs.get_long_value("test", "count"), 12);
    EXPECT_EQ(prefs.get_long_value("other", "level"), 8);
    EXPECT_GE(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
    log.clear();

    // A missing file is not an error: every item takes its default.
    EXPECT_TRUE(prefs.load(folder / "missing.cfg"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_INFO), 1u) << log.dump();
    EXPECT_EQ(log.count(), 1u) << log.dump();
    EXPECT_EQ(prefs.get_long_value("test", "count"), 25);
    EXPECT_EQ(prefs.get_long_value("other", "level"), 3);
    EXPECT_EQ(events.loaded, 2);
}

// Files that parse but hold no category group (cut short, or not a preferences file) read
// nothing: the load fails and every value, the path and the kept entries stay as they were.
TEST(AppPreferencesTest, LoadingAFileWithoutCategoriesChangesNothing)
{
    SysTempFolder folder;
    CoreString good = folder / "good.cfg";
    CoreString cut = folder / "cut.cfg";
    write_file(good, "plugin { speed 4.5 }\n");
    for (char const* text : {"test\n", "stray 3\n", "test 1 2\nother 5\n"}) {
        write_file(cut, text);
        AppPreferences prefs;
        declare_sample(prefs);
        ASSERT_TRUE(prefs.load(good));
        prefs.set_long_value("test", "count", 99);
        LogRecorder log;
        EXPECT_FALSE(prefs.load(cut)) << text;
        EXPECT_GE(log.count(CORE_LOG_LEVEL_WARNING), 1u) << text;
        EXPECT_EQ(prefs.get_long_value("test", "count"), 99) << text;
        EXPECT_EQ(prefs.get_path(), good) << text;
        EXPECT_EQ(prefs.add_category("plugin").add_double("speed", 1.0).get_double_value(), 4.5) << text;
    }
}

// Writing the file is all or nothing (the parser file tests check it); saving also makes the
// folder, and a folder that cannot be made fails the save before anything is written.
TEST(AppPreferencesTest, AFailedSaveKeepsThePathAndTheFiles)
{
    SysTempFolder folder;
    AppPreferences prefs;
    declare_sample(prefs);
    CoreString path = folder / "preferences.cfg";
    ASSERT_TRUE(prefs.save(path));
    CoreString blocker = folder / "blocker";
    write_file(blocker, "keep me");
    LogRecorder log;
    EXPECT_FALSE(prefs.save(blocker + "/preferences.cfg"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
    EXPECT_EQ(prefs.get_path(), path);
}
