#include "gui/core/gui_image_history.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "host/core/core_log.h"
#include "host/of/of_attr.h"
#include "host/of/of_event.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"
#include "host/sys/sys_thread_task.h"

EVENT_DEFINE_ID(EVT_ID_IMAGE_HISTORY_NEW_IMAGE);
EVENT_DEFINE_ID(EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED);
EVENT_DEFINE_ID(EVT_ID_IMAGE_HISTORY_IMAGE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_IMAGE_HISTORY_IMAGE_ENABLED);
EVENT_DEFINE_ID(EVT_ID_IMAGE_HISTORY_LIST_CLEARED);

CORE_IMPLEMENT_CLASS(GuiImageHistoryItem, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiImageHistory, EventObject)

namespace {

using Guard = SysThreadLockGuard<SysThreadLockRecursive>;

CoreString const AUTOSAVE_FOLDER_NAME("autosave_image_history");
CoreString const AUTOSAVE_SUFFIX("_autosave.exr");

// The scene events after which a source object may have left the scene.
CoreString const* const REMOVAL_EVENTS[] = {&EVT_ID_OF_REMOVE_OBJECT, &EVT_ID_OF_REMOVE_EMBEDDED_OBJECT,
                                            &EVT_ID_OF_REMOVE_CONTEXT, &EVT_ID_OF_REMOVE_ALL_OBJECTS};

// "2024-05-01_13h02m09s", local time.
CoreString format_time_stamp(double const& seconds)
{
    std::time_t const time = static_cast<std::time_t>(seconds);
    std::tm local{};
    char buffer[64] = {};
    if (!localtime_r(&time, &local) || !std::strftime(buffer, sizeof buffer, "%Y-%m-%d_%Hh%Mm%Ss", &local))
        return CoreString("0000-00-00_00h00m00s");
    return CoreString(buffer);
}

// Writes one image of the history on a thread of the host's task manager. It holds copies
// of what it writes, so the history may change, or go, meanwhile.
class AutosaveTask : public SysThreadTask {
public:
    AutosaveTask(ImageHandle image, CoreString folder, CoreString path, ImageHandle::Metadata metadata)
        : m_image(std::move(image)), m_folder(std::move(folder)), m_path(std::move(path)),
          m_metadata(std::move(metadata))
    {
    }

    void run() override
    {
        if (!SysFilesystem::create_folder(m_folder)) {
            CORE_LOG_WARNING("GuiImageHistory.autosave: cannot create the folder '" << m_folder << "' for '"
                                                                                    << m_path << "'\n");
            return;
        }
        m_image.write(m_path, m_metadata);
    }

private:
    ImageHandle m_image;
    CoreString m_folder;
    CoreString m_path;
    ImageHandle::Metadata m_metadata;
};

}  // namespace

// GuiImageHistoryItem -----------------------------------------------------------------------

size_t GuiImageHistoryItem::get_memory_size() const
{
    size_t size = sizeof(GuiImageHistoryItem) + m_image.get_memory_size() + m_name.get_length() +
                  m_source_full_name.get_length() + m_comment.get_length();
    for (CoreString const& entry : m_metadata) size += sizeof(CoreString) + entry.get_length();
    return size;
}

void GuiImageHistoryItem::set_image(ImageHandle const& image)
{
    m_image = image;
    m_width = image.get_width();
    m_height = image.get_height();
    m_custom_channels = image.has_custom_channels();
}

// GuiImageHistory ---------------------------------------------------------------------------

GuiImageHistory::GuiImageHistory(OfObjectFactory* scene)
    : m_autosave_root(sys_get_preferences_dir()), m_scene(scene)
{
}

GuiImageHistory::~GuiImageHistory()
{
    disconnect_all();
    for (GuiImageHistoryItem* item : m_items) delete item;
}

int GuiImageHistory::find(unsigned int const& id, char const* warn, bool const& removing) const
{
    Guard guard(m_lock);
    for (unsigned int i = 0; i < m_items.get_count(); ++i)
        if (m_items[i]->m_id == id && (removing || !m_items[i]->m_removing)) return static_cast<int>(i);
    if (warn) CORE_LOG_WARNING("GuiImageHistory." << warn << ": no image has the id " << id << "\n");
    return -1;
}

void GuiImageHistory::follow_scene(OfObjectFactory& scene)
{
    if (is_connected(scene, EVT_ID_OF_REMOVE_OBJECT, nullptr)) return;
    for (CoreString const* event : REMOVAL_EVENTS)
        connect(scene, *event, &GuiImageHistory::on_remove_object_from_factory);
}

void GuiImageHistory::on_remove_object_from_factory(OfObjectFactory&, EventInfo const&, void*)
{
    // An item inside a removed context or object is out of the scene as well: its handle no
    // longer resolves, while the removal is being raised already.
    Guard guard(m_lock);
    for (GuiImageHistoryItem* item : m_items) {
        if (item->m_source.is_null() || item->m_source.is_valid()) continue;
        item->m_source = OfObjectHandle();
        item->m_module = nullptr;
    }
}

unsigned int GuiImageHistory::add_image(ImageHandle const& image, OfObject* source, CoreString const& label,
                                        CoreString const& comment, unsigned int const& flags)
{
    if (m_suspended) return 0;
    if (image.is_null()) {
        CORE_LOG_WARNING("GuiImageHistory.add_image: no image given (label '" << label << "')\n");
        return 0;
    }
    if (m_scene) follow_scene(*m_scene);
    if (source) follow_scene(source->get_factory());

    Guard guard(m_lock);
    for (GuiImageHistoryItem const* item : m_items)
        if (item->m_image == image && !item->m_removing) return item->m_id;

    auto* item = new GuiImageHistoryItem();
    item->m_id = ++m_id_counter;
    item->m_name = CoreString() + item->m_id + " - " + label;
    item->m_comment = comment;
    item->m_creation_time = sys_time();
    item->set_image(image);
    item->m_auto_removable = (flags & ADD_FLAG_PINNED) == 0;
    if (source) {
        item->m_source = OfObjectHandle(source);
        item->m_module = source->get_module();
        item->m_source_full_name = source->get_full_name();
        if (source->has_attr("metadata")) {
            OfAttr const* metadata = source->get_attr("metadata");
            if (metadata->get_type() == OfPlugType::TYPE_STRING || metadata->get_type() == OfPlugType::TYPE_FILENAME)
                for (unsigned int i = 0; i < metadata->get_value_count(); ++i)
                    item->m_metadata.add(metadata->get_string(i));
        }
    }
    m_items.insert(0, item);
    if (item->m_auto_removable) ++m_auto_removable_count;
    unsigned int const id = item->m_id;

    if (m_snapshot_mode == SNAPSHOT_MODE_REPLACE_SAME_SOURCE && source) {
        for (unsigned int i = 1; i < m_items.get_count(); ++i) {
            GuiImageHistoryItem* previous = m_items[i];
            if (previous->m_auto_removable && !previous->m_removing && previous->m_source == item->m_source) {
                remove_item(previous);
                break;
            }
        }
    }
    // Gone again when the history keeps nothing (a maximum of 0): nothing new to announce.
    if (apply_max_size(item)) return id;
    if (m_autosave) autosave(*item);
    unsigned int announced = id;
    EventInfo info(EVT_ID_IMAGE_HISTORY_NEW_IMAGE, &announced);
    raise_event(info);
    return id;
}

void GuiImageHistory::autosave(GuiImageHistoryItem const& item) const
{
    CoreString const folder = get_autosave_folder();
    CoreString const path = folder + "/" + format_time_stamp(item.m_creation_time) + "_" + item.m_id +
                            AUTOSAVE_SUFFIX;
    ImageHandle::Metadata metadata;
    metadata.add(std::make_pair(CoreString("comment"), item.m_comment));
    SysThreadTaskManager::get_default().add_task(new AutosaveTask(item.m_image, folder, path, metadata), true);
}

CoreString GuiImageHistory::get_autosave_folder() const
{
    return m_autosave_root + "/" + AUTOSAVE_FOLDER_NAME;
}

unsigned int GuiImageHistory::remove_older_autosave_image_history(CoreString const& folder) const
{
    CoreString const autosaves = folder + "/" + AUTOSAVE_FOLDER_NAME;
    if (!SysFilesystem::folder_exists(autosaves)) return 0;
    CoreVector<CoreString> files;
    SysFilesystem::get_files(autosaves, files, "exr");
    // The names begin with their time stamp and end with the id: natural order is age order.
    std::vector<CoreString> saved;
    for (CoreString const& file : files)
        if (file.end_with(AUTOSAVE_SUFFIX)) saved.push_back(file);
    unsigned int removed = 0;
    for (size_t i = 0; i + m_max_size < saved.size(); ++i)
        if (SysFilesystem::remove_file(autosaves + "/" + saved[i])) ++removed;
    return removed;
}

void GuiImageHistory::remove_item(GuiImageHistoryItem* item)
{
    Guard guard(m_lock);
    if (item->m_removing) return;
    item->m_removing = true;
    unsigned int id = item->m_id;
    EventInfo info(EVT_ID_IMAGE_HISTORY_IMAGE_REMOVED, &id);
    raise_event(info);
    // A callback may have cleared the list meanwhile.
    int const at = m_items.find(item);
    if (at < 0) return;
    m_items.remove(static_cast<unsigned int>(at));
    if (item->m_auto_removable) --m_auto_removable_count;
    delete item;
    // Images are large: give their memory back to the system now.
    sys_release_unused_memory();
}

bool GuiImageHistory::apply_max_size(GuiImageHistoryItem const* watched)
{
    Guard guard(m_lock);
    bool watched_removed = false;
    while (m_auto_removable_count > m_max_size) {
        GuiImageHistoryItem* oldest = nullptr;
        for (unsigned int i = m_items.get_count(); i-- > 0;) {
            if (m_items[i]->m_auto_removable && !m_items[i]->m_removing) {
                oldest = m_items[i];
                break;
            }
        }
        if (!oldest) break;
        if (oldest == watched) watched_removed = true;
        remove_item(oldest);
    }
    return watched_removed;
}

GuiImageHistoryItem const* GuiImageHistory::get_item(unsigned int const& id) const
{
    Guard guard(m_lock);
    int const at = find(id, "get_item", true);
    return at < 0 ? nullptr : m_items[at];
}

ImageHandle GuiImageHistory::get_image_handle(unsigned int const& id) const
{
    Guard guard(m_lock);
    int const at = find(id, "get_image_handle", true);
    return at < 0 ? ImageHandle() : m_items[at]->m_image;
}

OfModule* GuiImageHistory::get_image_module(unsigned int const& id) const
{
    Guard guard(m_lock);
    int const at = find(id, "get_image_module", true);
    return at < 0 ? nullptr : m_items[at]->m_module;
}

CoreString GuiImageHistory::get_item_name(unsigned int const& id) const
{
    Guard guard(m_lock);
    int const at = find(id, "get_item_name", true);
    return at < 0 ? CoreString() : m_items[at]->m_name;
}

bool GuiImageHistory::set_item_name(unsigned int const& id, CoreString const& name)
{
    Guard guard(m_lock);
    int const at = find(id, "set_item_name");
    if (at < 0) return false;
    if (name.is_empty()) {
        CORE_LOG_WARNING("GuiImageHistory.set_item_name: an empty name for the image " << id << "\n");
        return false;
    }
    m_items[at]->m_name = name;
    return true;
}

CoreString GuiImageHistory::get_item_comment(unsigned int const& id) const
{
    Guard guard(m_lock);
    int const at = find(id, "get_item_comment", true);
    return at < 0 ? CoreString() : m_items[at]->m_comment;
}

bool GuiImageHistory::set_item_comment(unsigned int const& id, CoreString const& comment)
{
    Guard guard(m_lock);
    int const at = find(id, "set_item_comment");
    if (at < 0) return false;
    m_items[at]->m_comment = comment;
    return true;
}

bool GuiImageHistory::set_item_image(unsigned int const& id, ImageHandle const& image)
{
    Guard guard(m_lock);
    int const at = find(id, "set_item_image");
    if (at < 0) return false;
    if (image.is_null()) {
        CORE_LOG_WARNING("GuiImageHistory.set_item_image: no image given for the image " << id << "\n");
        return false;
    }
    if (m_items[at]->m_image == image) return true;
    m_items[at]->set_image(image);
    unsigned int changed = id;
    EventInfo info(EVT_ID_IMAGE_HISTORY_IMAGE_CHANGED, &changed);
    raise_event(info);
    return true;
}

bool GuiImageHistory::set_is_auto_removable(unsigned int const& id, bool const& on)
{
    Guard guard(m_lock);
    int const at = find(id, "set_is_auto_removable");
    if (at < 0) return false;
    GuiImageHistoryItem* item = m_items[at];
    if (item->m_auto_removable == on) return true;
    item->m_auto_removable = on;
    if (on) {
        ++m_auto_removable_count;
        apply_max_size();
    } else {
        --m_auto_removable_count;
    }
    return true;
}

bool GuiImageHistory::remove_image(unsigned int const& id)
{
    Guard guard(m_lock);
    int const at = find(id, "remove_image");
    if (at < 0) return false;
    remove_item(m_items[at]);
    return true;
}

bool GuiImageHistory::is_item_name_already_exists(CoreString const& name) const
{
    Guard guard(m_lock);
    for (GuiImageHistoryItem const* item : m_items)
        if (item->m_name == name) return true;
    return false;
}

void GuiImageHistory::clear()
{
    Guard guard(m_lock);
    CoreVector<GuiImageHistoryItem*> items;
    std::swap(items, m_items);
    m_auto_removable_count = 0;
    for (GuiImageHistoryItem* item : items) delete item;
    sys_release_unused_memory();
    raise_event(EVT_ID_IMAGE_HISTORY_LIST_CLEARED);
}

unsigned int GuiImageHistory::get_item_count() const
{
    Guard guard(m_lock);
    return m_items.get_count();
}

CoreVector<unsigned int> GuiImageHistory::get_ids() const
{
    Guard guard(m_lock);
    CoreVector<unsigned int> ids;
    for (GuiImageHistoryItem const* item : m_items) ids.add(item->m_id);
    return ids;
}

unsigned int GuiImageHistory::get_auto_removable_count() const
{
    Guard guard(m_lock);
    return m_auto_removable_count;
}

void GuiImageHistory::set_max_history_size(unsigned int const& n)
{
    Guard guard(m_lock);
    unsigned int const previous = m_max_size;
    m_max_size = n;
    unsigned int const before = m_items.get_count();
    apply_max_size();
    if (previous == 0 && n > 0 && m_items.get_count() == before) raise_event(EVT_ID_IMAGE_HISTORY_IMAGE_ENABLED);
}

bool GuiImageHistory::set_snapshot_mode(int const& mode)
{
    if (mode < 0 || mode >= SNAPSHOT_MODE_COUNT) {
        CORE_LOG_WARNING("GuiImageHistory.set_snapshot_mode: unknown mode " << mode << "\n");
        return false;
    }
    m_snapshot_mode = static_cast<SnapshotMode>(mode);
    return true;
}

void GuiImageHistory::check_clear_history(bool const& clear)
{
    if (clear || m_clear_flag) {
        this->clear();
        return;
    }
    Guard guard(m_lock);
    for (GuiImageHistoryItem* item : m_items) {
        item->m_source = OfObjectHandle();
        item->m_module = nullptr;
    }
}

// Cache folder ---------------------------------------------------------------------------------

bool GuiImageHistory::create_history_cache_folder() const
{
    if (m_cache_path.is_empty()) {
        CORE_LOG_WARNING("GuiImageHistory.create_history_cache_folder: no cache path is set\n");
        return false;
    }
    return SysFilesystem::create_folder(m_cache_path);
}

unsigned int GuiImageHistory::check_cache_folder_files() const
{
    if (m_cache_path.is_empty() || !SysFilesystem::folder_exists(m_cache_path)) return 0;
    struct File {
        std::filesystem::path path;
        std::filesystem::file_time_type time;
        unsigned long long size;
    };
    std::vector<File> files;
    unsigned long long total = 0;
    std::error_code error;
    for (auto const& entry : std::filesystem::directory_iterator(m_cache_path.c_str(), error)) {
        std::error_code entry_error;
        if (!entry.is_regular_file(entry_error)) continue;
        File file{entry.path(), entry.last_write_time(entry_error), entry.file_size(entry_error)};
        if (entry_error) continue;
        total += file.size;
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(), [](File const& a, File const& b) {
        return a.time != b.time ? a.time < b.time : a.path < b.path;
    });
    unsigned int removed = 0;
    size_t count = files.size();
    for (File const& file : files) {
        bool const too_many = m_cache_max_count > 0 && count > m_cache_max_count;
        bool const too_large = m_cache_max_size > 0 && total > m_cache_max_size;
        if (!too_many && !too_large) break;
        if (!SysFilesystem::remove_file(file.path.c_str())) continue;
        --count;
        total -= file.size;
        ++removed;
    }
    return removed;
}

void GuiImageHistory::clear_history_cache(bool const& all) const
{
    if (m_cache_path.is_empty() || !SysFilesystem::folder_exists(m_cache_path)) return;
    CoreVector<CoreString> names;
    SysFilesystem::get_files(m_cache_path, names);
    for (CoreString const& name : names) SysFilesystem::remove_file(m_cache_path + "/" + name);
    if (!all) return;
    SysFilesystem::get_folders(m_cache_path, names);
    for (CoreString const& name : names) SysFilesystem::remove_folder(m_cache_path + "/" + name);
}

void GuiImageHistory::check_clear_history_cache() const
{
    if (m_cache_clear_on_exit && !m_cache_path.is_empty() && SysFilesystem::folder_exists(m_cache_path))
        clear_history_cache(true);
}

size_t GuiImageHistory::get_memory_size() const
{
    Guard guard(m_lock);
    size_t size = EventObject::get_memory_size() + sizeof(GuiImageHistory) - sizeof(EventObject) +
                  m_items.get_count() * sizeof(void*);
    for (GuiImageHistoryItem const* item : m_items) size += item->get_memory_size();
    return size;
}
