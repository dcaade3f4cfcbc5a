// The image history: order, the maximum size and pinning, its events, ids, source objects,
// autosaves and the cache folder. The history needs no window.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gui/core/gui_app.h"
#include "gui/core/gui_image_history.h"
#include "host/of/of_attr.h"
#include "host/of/of_class.h"
#include "host/of/of_class_factory.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"
#include "host/sys/sys_thread_task.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

class GuiImageHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OfClass* camera = scene.get_classes().add_class("Camera", "", "Render");
        camera->add_attr("metadata", OfPlugType::TYPE_STRING).set_variable(true);
        scene.get_classes().add_class("Light", "", "Render");
        history = std::make_unique<GuiImageHistory>(&scene);
        watch();
    }

    // Records the history's events as "NEW_IMAGE 3", "LIST_CLEARED", ...
    void watch()
    {
        for (CoreString const* name : {&EVT_ID_IMAGE_HISTORY_NEW_IMAGE, &EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED,
                                       &EVT_ID_IMAGE_HISTORY_IMAGE_CHANGED, &EVT_ID_IMAGE_HISTORY_IMAGE_ENABLED,
                                       &EVT_ID_IMAGE_HISTORY_LIST_CLEARED}) {
            EventObject::connect(*history, *name, [this](EventObject::EventInfo const& info) {
                std::string text = info.get_name().c_str() + std::string("EVT_ID_IMAGE_HISTORY_").size();
                if (auto const* id = static_cast<unsigned int const*>(info.get_event_data())) {
                    text += " " + std::to_string(*id);
                    // The item is still there to be read while its removal is raised.
                    if (info.get_name() == EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED) {
                        EXPECT_TRUE(history->get_item_name(*id).start_with(CoreString() + *id + " - ")) << *id;
                    }
                }
                events.push_back(text);
            });
        }
    }

    // A new image (a different one at every call) of the given size.
    static ImageHandle image(int width = 4, int height = 2)
    {
        std::vector<float> values(size_t(width) * height * 3, 0.5f);
        return ImageHandle::from_pixels(width, height, 3, values.data());
    }

    std::vector<unsigned int> ids() const { return history->get_ids().std_vector(); }

    // The items whose flag says auto-removable: the history's own count must agree.
    unsigned int flagged_auto_removable() const
    {
        unsigned int count = 0;
        for (unsigned int id : history->get_ids()) count += history->get_item(id)->is_auto_removable();
        return count;
    }

    OfObjectFactory scene;
    std::unique_ptr<GuiImageHistory> history;  // after the scene: goes first
    std::vector<std::string> events;
};

std::string joined(std::vector<std::string> const& texts)
{
    std::string all;
    for (std::string const& text : texts) all += (all.empty() ? "" : ", ") + text;
    return all;
}

// Rows of operations on a fresh history, each a word: "+" adds an image, "+p" adds it
// pinned, "pN" pins and "uN" unpins item N, "-N" removes it, "mN" sets the maximum to N.
struct Scenario {
    char const* what;
    unsigned int max_size;
    char const* operations;
    std::vector<unsigned int> ids;  // newest first
    char const* events;
};

std::vector<Scenario> const SCENARIOS = {
    {"a fourth image over a maximum of 3 removes the oldest before it is announced", 3, "+ + + +", {4, 3, 2},
     "NEW_IMAGE 1, NEW_IMAGE 2, NEW_IMAGE 3, IMAGE_REMOVED 1, NEW_IMAGE 4"},
    {"a pinned item neither counts nor goes", 2, "+ p1 + + +", {4, 3, 1},
     "NEW_IMAGE 1, NEW_IMAGE 2, NEW_IMAGE 3, IMAGE_REMOVED 2, NEW_IMAGE 4"},
    {"images added pinned are kept too", 1, "+p +p + +", {4, 2, 1},
     "NEW_IMAGE 1, NEW_IMAGE 2, NEW_IMAGE 3, IMAGE_REMOVED 3, NEW_IMAGE 4"},
    {"a maximum of 0 removes an unpinned image at once", 0, "+ +p", {2}, "IMAGE_REMOVED 1, NEW_IMAGE 2"},
    {"unpinning over the maximum removes the oldest auto-removable item", 2, "+ p1 + + u1", {3, 2},
     "NEW_IMAGE 1, NEW_IMAGE 2, NEW_IMAGE 3, IMAGE_REMOVED 1"},
    {"unpinning under the maximum keeps everything", 3, "+ p1 + u1 +", {3, 2, 1},
     "NEW_IMAGE 1, NEW_IMAGE 2, NEW_IMAGE 3"},
    {"shrinking removes the items beyond the first n, oldest first", 4, "+ + + + p2 m1", {4, 2},
     "NEW_IMAGE 1, NEW_IMAGE 2, NEW_IMAGE 3, NEW_IMAGE 4, IMAGE_REMOVED 1, IMAGE_REMOVED 3"},
    {"growing from 0 enables the history", 0, "m2 + + +", {3, 2},
     "IMAGE_ENABLED, NEW_IMAGE 1, NEW_IMAGE 2, IMAGE_REMOVED 1, NEW_IMAGE 3"},
    {"growing from 0 after emptying it enables it again", 2, "+ + m0 m2", {},
     "NEW_IMAGE 1, NEW_IMAGE 2, IMAGE_REMOVED 1, IMAGE_REMOVED 2, IMAGE_ENABLED"},
    {"growing from more than 0 enables nothing", 1, "m3", {}, ""},
    {"a removed item frees its place", 2, "+ + -1 + -3 + +", {5, 4},
     "NEW_IMAGE 1, NEW_IMAGE 2, IMAGE_REMOVED 1, NEW_IMAGE 3, IMAGE_REMOVED 3, NEW_IMAGE 4, IMAGE_REMOVED 2, "
     "NEW_IMAGE 5"},
};

TEST_F(GuiImageHistoryTest, OrderMaximumAndPinningFollowTheirRules)
{
    for (Scenario const& row : SCENARIOS) {
        history = std::make_unique<GuiImageHistory>(&scene);
        history->set_max_history_size(row.max_size);
        watch();
        events.clear();

        std::istringstream words(row.operations);
        for (std::string word; words >> word;) {
            unsigned int const n = word.size() > 1 && word[1] != 'p' ? std::stoul(word.substr(1)) : 0;
            LogRecorder log;
            switch (word[0]) {
            case '+':
                history->add_image(image(), nullptr, "image", "",
                                   word == "+p" ? GuiImageHistory::ADD_FLAG_PINNED : GuiImageHistory::ADD_FLAG_NONE);
                break;
            case 'p': EXPECT_TRUE(history->set_is_auto_removable(n, false)); break;
            case 'u': EXPECT_TRUE(history->set_is_auto_removable(n, true)); break;
            case '-': EXPECT_TRUE(history->remove_image(n)); break;
            case 'm': history->set_max_history_size(n); break;
            }
            EXPECT_EQ(log.count(), 0u) << row.what << ": " << word << "\n" << log.dump();
        }
        EXPECT_EQ(ids(), row.ids) << row.what;
        EXPECT_EQ(joined(events), row.events) << row.what;
        EXPECT_EQ(history->get_auto_removable_count(), flagged_auto_removable()) << row.what;
    }
}

TEST_F(GuiImageHistoryTest, TheSameImageTwiceKeepsItsItem)
{
    history->set_max_history_size(5);
    events.clear();
    ImageHandle render = image();
    unsigned int const first = history->add_image(render, nullptr, "beauty");
    history->add_image(image());
    EXPECT_EQ(history->add_image(render, nullptr, "again"), first);
    EXPECT_EQ(history->add_image(ImageHandle(render), nullptr, "copy"), first);
    EXPECT_EQ(ids(), (std::vector<unsigned int>{2, 1}));
    EXPECT_EQ(history->get_item_name(first), "1 - beauty");
    EXPECT_EQ(history->get_auto_removable_count(), 2u);
    EXPECT_EQ(joined(events), "NEW_IMAGE 1, NEW_IMAGE 2");
}

TEST_F(GuiImageHistoryTest, AnItemHoldsWhatItWasMadeFrom)
{
    history->set_max_history_size(5);
    OfContext* renders = scene.create_context("renders");
    OfObject* camera = scene.create_object("Camera", "main", renders);
    ASSERT_TRUE(camera->get_attr("metadata")->set_value_count(2));
    camera->get_attr("metadata")->set_string("lens=35mm", 0);
    camera->get_attr("metadata")->set_string("iso=400", 1);
    OfObject* light = scene.create_object("Light", "key", renders);

    CoreVector<CoreString> const names = {"R", "G", "B", "Z"};
    std::vector<float> values(6 * 3 * 4, 1.0f);
    double const before = sys_time();
    unsigned int const id = history->add_image(ImageHandle::from_pixels(6, 3, names, values.data()), camera,
                                               "beauty", "first light");
    GuiImageHistoryItem const* item = history->get_item(id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->get_name(), "1 - beauty");
    EXPECT_EQ(item->get_comment(), "first light");
    EXPECT_EQ(item->get_source_full_name(), camera->get_full_name());
    EXPECT_EQ(item->get_source().get_object(), camera);
    EXPECT_EQ(item->get_width(), 6);
    EXPECT_EQ(item->get_height(), 3);
    EXPECT_TRUE(item->has_custom_channels());
    EXPECT_EQ(item->get_metadata(), (CoreVector<CoreString>{"lens=35mm", "iso=400"}));
    EXPECT_GE(item->get_creation_time(), before);
    EXPECT_LE(item->get_creation_time(), sys_time());
    EXPECT_TRUE(item->is_auto_removable());

    // A source without metadata.
    EXPECT_TRUE(history->get_item(history->add_image(image(), light, "key"))->get_metadata().is_empty());

    // Names, comments and images change by id; only the image change is raised.
    events.clear();
    EXPECT_TRUE(history->set_item_name(id, "hero"));
    EXPECT_TRUE(history->is_item_name_already_exists("hero"));
    EXPECT_FALSE(history->is_item_name_already_exists("1 - beauty"));
    EXPECT_TRUE(history->set_item_comment(id, "graded"));
    EXPECT_EQ(history->get_item_comment(id), "graded");
    ImageHandle larger = image(8, 8);
    EXPECT_TRUE(history->set_item_image(id, larger));
    EXPECT_EQ(history->get_image_handle(id), larger);
    EXPECT_EQ(item->get_width(), 8);
    EXPECT_FALSE(item->has_custom_channels());
    EXPECT_EQ(joined(events), "IMAGE_CHANGED 1");
    EXPECT_EQ(history->add_image(larger), id);
}

TEST_F(GuiImageHistoryTest, BadIdsAndImagesAreRefusedWithOneWarning)
{
    history->set_max_history_size(3);
    unsigned int const kept = history->add_image(image(), nullptr, "kept");
    unsigned int const removed = history->add_image(image(), nullptr, "removed");
    history->remove_image(removed);
    events.clear();
    std::vector<std::pair<std::string, std::function<bool()>>> cases;
    for (unsigned int id : {0u, removed, 99u}) {
        std::string const at = " " + std::to_string(id);
        cases.insert(cases.end(), {
            {"get_item" + at, [=, this] { return history->get_item(id) != nullptr; }},
            {"get_image_handle" + at, [=, this] { return !history->get_image_handle(id).is_null(); }},
            {"get_image_module" + at, [=, this] { return history->get_image_module(id) != nullptr; }},
            {"get_item_name" + at, [=, this] { return !history->get_item_name(id).is_empty(); }},
            {"set_item_name" + at, [=, this] { return history->set_item_name(id, "x"); }},
            {"get_item_comment" + at, [=, this] { return !history->get_item_comment(id).is_empty(); }},
            {"set_item_comment" + at, [=, this] { return history->set_item_comment(id, "x"); }},
            {"set_item_image" + at, [=, this] { return history->set_item_image(id, image()); }},
            {"set_is_auto_removable" + at, [=, this] { return history->set_is_auto_removable(id, false); }},
            {"remove_image" + at, [=, this] { return history->remove_image(id); }},
        });
    }
    cases.insert(cases.end(), {
        {"null image added", [this] { return history->add_image(ImageHandle(), nullptr, "none") != 0; }},
        {"null image set", [=, this] { return history->set_item_image(kept, ImageHandle()); }},
        {"empty name", [=, this] { return history->set_item_name(kept, ""); }},
        {"unknown snapshot mode", [this] { return history->set_snapshot_mode(GuiImageHistory::SNAPSHOT_MODE_COUNT); }},
    });
    for (auto const& [what, run] : cases) {
        LogRecorder log;
        EXPECT_FALSE(run()) << what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << what << "\n" << log.dump();
    }
    EXPECT_EQ(ids(), (std::vector<unsigned int>{kept}));
    EXPECT_EQ(history->get_item_name(kept), "1 - kept");
    EXPECT_TRUE(history->get_item(kept)->is_auto_removable());
    EXPECT_EQ(history->get_auto_removable_count(), 1u);
    EXPECT_TRUE(events.empty()) << joined(events);
}

TEST_F(GuiImageHistoryTest, WhileSuspendedNothingIsAdded)
{
    history->set_max_history_size(3);
    events.clear();
    history->suspend(true);
    LogRecorder log;
    EXPECT_EQ(history->add_image(image()), 0u);
    EXPECT_EQ(history->get_item_count(), 0u);
    history->suspend(false);
    EXPECT_EQ(history->add_image(image()), 1u);
    EXPECT_EQ(log.count(), 0u) << log.dump();
    EXPECT_EQ(joined(events), "NEW_IMAGE 1");
}

TEST_F(GuiImageHistoryTest, ItemsForgetDeletedSourcesAndKeepTheirImages)
{
    history->set_max_history_size(5);
    OfContext* shots = scene.create_context("shots");
    OfObject* deleted = scene.create_object("Camera", "deleted", shots);
    OfObject* kept = scene.create_object("Camera", "kept", shots);
    OfContext* set = scene.create_context("set");
    OfObject* inside = scene.create_object("Light", "inside", set);
    ImageHandle render = image();
    unsigned int const a = history->add_image(render, deleted);
    unsigned int const b = history->add_image(image(), kept);
    unsigned int const c = history->add_image(image(), inside);

    ASSERT_TRUE(deleted->remove());
    ASSERT_TRUE(set->remove());  // its objects leave with it
    EXPECT_TRUE(history->get_item(a)->get_source().is_null());
    EXPECT_TRUE(history->get_item(c)->get_source().is_null());
    EXPECT_EQ(history->get_item(b)->get_source().get_object(), kept);
    EXPECT_EQ(history->get_image_handle(a), render);
    EXPECT_EQ(history->get_item(a)->get_source_full_name(), "/shots/deleted");
    // Forgotten for good: undoing the deletion does not give it back.
    ASSERT_TRUE(scene.get_command_manager().undo());
    ASSERT_TRUE(inside->is_in_scene());
    EXPECT_TRUE(history->get_item(c)->get_source().is_null());

    // Leaving the scene: items forget their sources unless the history is cleared.
    history->check_clear_history(false);
    EXPECT_TRUE(history->get_item(b)->get_source().is_null());
    EXPECT_EQ(history->get_item_count(), 3u);
    events.clear();
    history->set_clear_flag(true);
    history->check_clear_history(false);
    EXPECT_EQ(history->get_item_count(), 0u);
    EXPECT_EQ(joined(events), "LIST_CLEARED");
    EXPECT_EQ(history->add_image(image()), 4u);  // ids are never reused
}

TEST_F(GuiImageHistoryTest, ReplacingSnapshotsKeepOneAutoRemovableItemPerSource)
{
    history->set_max_history_size(10);
    ASSERT_TRUE(history->set_snapshot_mode(GuiImageHistory::SNAPSHOT_MODE_REPLACE_SAME_SOURCE));
    OfObject* front = scene.create_object("Camera", "front");
    OfObject* side = scene.create_object("Camera", "side");
    history->add_image(image(), front);                  // 1, pinned below
    history->set_is_auto_removable(1, false);
    history->add_image(image(), front);                  // 2
    history->add_image(image(), side);                   // 3
    history->add_image(image(), nullptr);                // 4
    history->add_image(image(), nullptr);                // 5: images without a source all stay
    events.clear();
    history->add_image(image(), front);                  // 6 replaces 2, not the pinned 1
    EXPECT_EQ(ids(), (std::vector<unsigned int>{6, 5, 4, 3, 1}));
    EXPECT_EQ(joined(events), "IMAGE_REMOVED 2, NEW_IMAGE 6");
    EXPECT_EQ(history->get_auto_removable_count(), flagged_auto_removable());
}

TEST_F(GuiImageHistoryTest, AutosavesWriteEachNewImageAndOnlyTheNewestAreKept)
{
    SysTempFolder folder;
    history->set_max_history_size(2);
    history->set_autosave_root(folder.get_path());
    std::vector<float> values = {0.0f, 0.5f, 2.0f, 1.0f, 0.25f, 8.0f};
    ImageHandle render = ImageHandle::from_pixels(2, 1, 3, values.data());
    history->add_image(render, nullptr, "off");  // autosave off: nothing written
    history->set_autosave(true);
    history->add_image(render, nullptr, "same image");  // not new: nothing written
    for (int i = 0; i < 3; ++i) history->add_image(i == 0 ? render.make_thumbnail(1, 1) : image(), nullptr, "on", "note");
    SysThreadTaskManager::get_default().wait_until_completed();

    CoreVector<CoreString> files;
    ASSERT_TRUE(SysFilesystem::get_files(history->get_autosave_folder(), files));
    ASSERT_EQ(files.get_count(), 3u);
    for (CoreString const& file : files) {
        EXPECT_TRUE(file.end_with("_autosave.exr")) << file;
        // "YYYY-MM-DD_HHhMMmSSs_<id>_autosave.exr"
        EXPECT_EQ(file.get_length(), std::string("2024-05-01_13h02m09s_2_autosave.exr").size()) << file;
        EXPECT_NE(read_file(history->get_autosave_folder() + "/" + file).find("note"), std::string::npos);
    }
    EXPECT_TRUE(files[0].end_with("_2_autosave.exr")) << files[0];
    ImageHandle saved = ImageHandle::load(history->get_autosave_folder() + "/" + files[0]);
    EXPECT_EQ(saved.get_width(), 1);

    EXPECT_EQ(history->remove_older_autosave_image_history(folder.get_path()), 1u);
    ASSERT_TRUE(SysFilesystem::get_files(history->get_autosave_folder(), files));
    ASSERT_EQ(files.get_count(), 2u);
    EXPECT_TRUE(files[0].end_with("_3_autosave.exr")) << files[0];
    EXPECT_EQ(history->remove_older_autosave_image_history(folder / "elsewhere"), 0u);
}

TEST_F(GuiImageHistoryTest, TheCacheFolderKeepsItsNewestFilesWithinItsLimits)
{
    SysTempFolder folder;
    CoreString const cache = folder / "cache";
    history->set_history_cache_path(cache);
    ASSERT_TRUE(history->create_history_cache_folder());
    auto fill = [&] {
        auto const now = std::filesystem::file_time_type::clock::now();
        for (int i = 0; i < 4; ++i) {  // file0 oldest, 100 bytes each
            std::string const path = (cache + "/file" + i).c_str();
            write_file(path.c_str(), std::string(100, 'x'));
            std::filesystem::last_write_time(path, now - std::chrono::hours(4 - i));
        }
    };
    struct Row {
        unsigned int max_count;
        unsigned long long max_size;
        std::vector<std::string> kept;
    };
    for (Row const& row : std::vector<Row>{{2, 0, {"file2", "file3"}},
                                           {0, 250, {"file2", "file3"}},
                                           {3, 150, {"file3"}}}) {
        fill();
        history->set_history_cache_max_count(row.max_count);
        history->set_history_cache_max_size(row.max_size);
        EXPECT_EQ(history->check_cache_folder_files(), 4 - row.kept.size());
        CoreVector<CoreString> files;
        SysFilesystem::get_files(cache, files);
        std::vector<std::string> names;
        for (CoreString const& file : files) names.push_back(file.c_str());
        EXPECT_EQ(names, row.kept) << row.max_count << " " << row.max_size;
    }

    // Cleared at exit only when asked; sub-folders go only with everything.
    ASSERT_TRUE(SysFilesystem::create_folder(cache + "/tiles"));
    history->check_clear_history_cache();
    EXPECT_TRUE(SysFilesystem::file_exists(cache + "/file3"));
    history->clear_history_cache(false);
    EXPECT_FALSE(SysFilesystem::file_exists(cache + "/file3"));
    EXPECT_TRUE(SysFilesystem::folder_exists(cache + "/tiles"));
    history->set_history_cache_clear_on_exit(true);
    history->check_clear_history_cache();
    EXPECT_FALSE(SysFilesystem::folder_exists(cache + "/tiles"));
    EXPECT_TRUE(SysFilesystem::folder_exists(cache));
}

TEST(GuiImageHistoryAppTest, TheApplicationOwnsOneHistoryOnItsScene)
{
    GuiApp& app = gui_test_app();
    GuiImageHistory& history = app.get_image_history();
    EXPECT_EQ(&app.get_image_history(), &history);
    history.set_max_history_size(1);
    std::vector<float> values(3, 1.0f);
    unsigned int const id = history.add_image(ImageHandle::from_pixels(1, 1, 3, values.data()), nullptr, "app");
    EXPECT_EQ(history.get_item_name(id), CoreString() + id + " - app");
    history.clear();
    history.set_max_history_size(0);
}

}  // namespace
