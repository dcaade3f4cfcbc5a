#pragma once
// GuiImageHistory: the rendered images the user snapshots (or the application records), kept
// for comparison. Items are listed newest first; each holds its image, the scene object it
// came from, a name, a comment and the source's metadata. Items are auto-removable when they
// are made: once more of them than the maximum size are listed, the oldest auto-removable one
// goes. Pinned items (auto-removable off) never count towards the maximum and are never
// removed automatically.
//
//     GuiImageHistory& history = app.get_image_history();
//     history.set_max_history_size(10);
//     unsigned int id = history.add_image(render, camera, "beauty", "first light");
//     history.set_is_auto_removable(id, false);                 // keep it
//     EventObject::connect(history, EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED, [](EventObject::EventInfo const& info) {
//         unsigned int removed = *static_cast<unsigned int const*>(info.get_event_data());
//     });
//
// Events are raised on the history: EVT_ID_IMAGE_HISTORY_NEW_IMAGE, _IMAGE_REMOVED and
// _IMAGE_CHANGED carry a pointer to the item's id (unsigned int) as event data; an item being
// removed is still listed while its removal is raised. _IMAGE_ENABLED (the maximum size went
// from 0 to more) and _LIST_CLEARED carry none.
//
// Threads: the item list is guarded by a recursive lock, which additions and removals hold
// while they raise their events; the getters may be called from any thread (get_item's
// pointer stays valid only until the item is removed). Items follow their source objects
// through the scene's removal events, which belong to the application thread. Autosaves are
// written by host thread tasks.
#include <cstddef>

#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/image/image_handle.h"
#include "host/of/of_handle.h"
#include "host/sys/sys_thread_lock.h"

class OfModule;
class OfObject;
class OfObjectFactory;

EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_IMAGE_HISTORY_NEW_IMAGE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_IMAGE_HISTORY_IMAGE_CHANGED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_IMAGE_HISTORY_IMAGE_ENABLED);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_IMAGE_HISTORY_LIST_CLEARED);

// One image of the history. Read-only: the history changes it.
class QN_GUI_API GuiImageHistoryItem : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiImageHistoryItem, CoreBaseObject)

public:
    // Unique within its history, from 1.
    unsigned int const& get_id() const { return m_id; }
    ImageHandle const& get_image() const { return m_image; }
    // The object the image came from; empty once that object has been deleted.
    OfObjectHandle const& get_source() const { return m_source; }
    OfModule* const& get_module() const { return m_module; }
    // The id, " - " and the label given when the image was added, unless renamed since.
    CoreString const& get_name() const { return m_name; }
    // The source's full name when the image was added (kept after the source is deleted).
    CoreString const& get_source_full_name() const { return m_source_full_name; }
    CoreString const& get_comment() const { return m_comment; }
    // Seconds since 1970-01-01 UTC (sys_time) when the image was added.
    double const& get_creation_time() const { return m_creation_time; }
    int const& get_width() const { return m_width; }
    int const& get_height() const { return m_height; }
    bool const& has_custom_channels() const { return m_custom_channels; }
    // The values of the source's "metadata" string attribute when the image was added.
    CoreVector<CoreString> const& get_metadata() const { return m_metadata; }
    bool const& is_auto_removable() const { return m_auto_removable; }

    size_t get_memory_size() const override;

private:
    friend class GuiImageHistory;
    GuiImageHistoryItem() = default;
    void set_image(ImageHandle const& image);

    unsigned int m_id = 0;
    ImageHandle m_image;
    OfObjectHandle m_source;
    OfModule* m_module = nullptr;
    CoreString m_name;
    CoreString m_source_full_name;
    CoreString m_comment;
    double m_creation_time = 0.0;
    int m_width = 0;
    int m_height = 0;
    bool m_custom_channels = false;
    CoreVector<CoreString> m_metadata;
    bool m_auto_removable = true;
    bool m_removing = false;  // its removal is being raised
};

class QN_GUI_API GuiImageHistory : public EventObject {
    CORE_DECLARE_CLASS(GuiImageHistory, EventObject)

public:
    // What add_image does with a new image.
    enum SnapshotMode : int {
        // Every image becomes an item of its own.
        SNAPSHOT_MODE_KEEP_ALL,
        // The newest auto-removable item of the same source object is replaced: removed
        // before the new item is announced. Images without a source are all kept.
        SNAPSHOT_MODE_REPLACE_SAME_SOURCE,
        SNAPSHOT_MODE_COUNT
    };
    enum AddFlags : unsigned int {
        ADD_FLAG_NONE = 0,
        // The item is pinned from the start.
        ADD_FLAG_PINNED = 1,
    };

    // The removal events of `scene` make items forget deleted source objects; the scenes of
    // the sources given to add_image are followed too. A history holds no images at first:
    // its maximum size is 0 until set.
    explicit GuiImageHistory(OfObjectFactory* scene = nullptr);
    ~GuiImageHistory() override;

    // --- Items --------------------------------------------------------------------------

    // Adds the image as the newest item and returns its id. An image some item holds
    // already gives that item's id and changes nothing. When the auto-removable items then
    // exceed the maximum size, the oldest goes first (its removal is raised before
    // EVT_ID_IMAGE_HISTORY_NEW_IMAGE); with a maximum of 0 the new item itself goes at once
    // and no new-image event follows. While suspended, or for a null image (with a
    // warning), nothing is added and 0 is returned.
    unsigned int add_image(ImageHandle const& image, OfObject* source = nullptr, CoreString const& label = "",
                           CoreString const& comment = "", unsigned int const& flags = ADD_FLAG_NONE);

    // Queries and changes by id; an unknown id gives one warning and a null or empty answer.
    GuiImageHistoryItem const* get_item(unsigned int const& id) const;
    ImageHandle get_image_handle(unsigned int const& id) const;
    OfModule* get_image_module(unsigned int const& id) const;
    CoreString get_item_name(unsigned int const& id) const;
    // An empty name is refused with a warning.
    bool set_item_name(unsigned int const& id, CoreString const& name);
    CoreString get_item_comment(unsigned int const& id) const;
    bool set_item_comment(unsigned int const& id, CoreString const& comment);
    // Gives the item another image (its size and channels follow) and raises
    // EVT_ID_IMAGE_HISTORY_IMAGE_CHANGED; a null image is refused with a warning.
    bool set_item_image(unsigned int const& id, ImageHandle const& image);
    // Pins (off) or unpins (on) an item. An unpinned item counts towards the maximum again:
    // when that is exceeded the oldest auto-removable item goes, which may be this one.
    bool set_is_auto_removable(unsigned int const& id, bool const& on);
    // Removes the item, raising EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED first.
    bool remove_image(unsigned int const& id);
    bool is_item_name_already_exists(CoreString const& name) const;
    // Removes every item and raises EVT_ID_IMAGE_HISTORY_LIST_CLEARED (no removal events).
    void clear();

    unsigned int get_item_count() const;
    // The ids, newest first.
    CoreVector<unsigned int> get_ids() const;
    unsigned int get_auto_removable_count() const;

    // --- Settings -----------------------------------------------------------------------

    // Removes, oldest first, the auto-removable items beyond the first n (each with its
    // removal event). Going from 0 to more with nothing removed raises
    // EVT_ID_IMAGE_HISTORY_IMAGE_ENABLED.
    void set_max_history_size(unsigned int const& n);
    unsigned int const& get_max_history_size() const { return m_max_size; }
    // Refused, with a warning, outside the SnapshotMode values.
    bool set_snapshot_mode(int const& mode);
    SnapshotMode const& get_snapshot_mode() const { return m_snapshot_mode; }
    // While suspended, add_image adds nothing.
    void suspend(bool const& on) { m_suspended = on; }
    bool const& is_suspended() const { return m_suspended; }

    // When the history is cleared by check_clear_history even if its caller does not ask to.
    void set_clear_flag(bool const& on) { m_clear_flag = on; }
    bool const& get_clear_flag() const { return m_clear_flag; }
    // Clears the history when `clear` or the clear flag is set; otherwise every item forgets
    // its source object and module and keeps its image (the scene is going away).
    void check_clear_history(bool const& clear);

    // --- Autosave -----------------------------------------------------------------------

    // While on, every image added is also written, by a host thread task, as an EXR file in
    // get_autosave_folder(), named after the time it was added and the item's id:
    // "2024-05-01_13h02m09s_12_autosave.exr", with the item's comment in its header.
    void set_autosave(bool const& on) { m_autosave = on; }
    bool const& is_autosave() const { return m_autosave; }
    // The folder that holds "autosave_image_history" (the preferences folder at first).
    void set_autosave_root(CoreString const& folder) { m_autosave_root = folder; }
    CoreString const& get_autosave_root() const { return m_autosave_root; }
    // The root's "autosave_image_history" folder.
    CoreString get_autosave_folder() const;
    // Keeps the newest autosave files of `folder`'s "autosave_image_history" folder, as
    // many as the maximum history size, and deletes the older ones. Returns how many it
    // deleted.
    unsigned int remove_older_autosave_image_history(CoreString const& folder) const;

    // --- Cache folder ---------------------------------------------------------------------

    void set_history_cache_path(CoreString const& path) { m_cache_path = path; }
    CoreString const& get_history_cache_path() const { return m_cache_path; }
    // Most files and bytes the cache folder keeps (0: no limit).
    void set_history_cache_max_count(unsigned int const& count) { m_cache_max_count = count; }
    unsigned int const& get_history_cache_max_count() const { return m_cache_max_count; }
    void set_history_cache_max_size(unsigned long long const& bytes) { m_cache_max_size = bytes; }
    unsigned long long const& get_history_cache_max_size() const { return m_cache_max_size; }
    // Whether the application empties the cache folder when it quits.
    void set_history_cache_clear_on_exit(bool const& on) { m_cache_clear_on_exit = on; }
    bool const& get_history_cache_clear_on_exit() const { return m_cache_clear_on_exit; }
    // Creates the cache folder; false, with a warning, without a path or when it cannot.
    bool create_history_cache_folder() const;
    // Deletes the cache folder's oldest files (by modification time) until it holds at most
    // the maximum count and size. Returns how many it deleted.
    unsigned int check_cache_folder_files() const;
    // Deletes the files of the cache folder, and its sub-folders too when `all`.
    void clear_history_cache(bool const& all) const;
    // Clears the cache folder (all of it) when clear-on-exit is set and the folder exists.
    void check_clear_history_cache() const;

    size_t get_memory_size() const override;

private:
    // The item's index; -1 for an unknown id (warned about when `warn` names the operation).
    // An item whose removal is being raised is found only for reading (`removing`).
    int find(unsigned int const& id, char const* warn, bool const& removing = false) const;
    void follow_scene(OfObjectFactory& scene);
    void on_remove_object_from_factory(OfObjectFactory& scene, EventInfo const& info, void* data);
    // Raises the removal, then deletes the item (if a callback has not removed it already).
    void remove_item(GuiImageHistoryItem* item);
    // Removes the oldest auto-removable items while there are more than the maximum; true
    // when `watched` was among them.
    bool apply_max_size(GuiImageHistoryItem const* watched = nullptr);
    void autosave(GuiImageHistoryItem const& item) const;

    mutable SysThreadLockRecursive m_lock;
    CoreVector<GuiImageHistoryItem*> m_items;  // newest first
    unsigned int m_id_counter = 0;
    unsigned int m_auto_removable_count = 0;
    unsigned int m_max_size = 0;
    SnapshotMode m_snapshot_mode = SNAPSHOT_MODE_KEEP_ALL;
    bool m_suspended = false;
    bool m_clear_flag = false;
    bool m_autosave = false;
    CoreString m_autosave_root;
    OfObjectFactory* m_scene = nullptr;

    CoreString m_cache_path;
    unsigned int m_cache_max_count = 0;
    unsigned long long m_cache_max_size = 0;
    bool m_cache_clear_on_exit = false;
};
