#include "host/app/app_object.h"

#include <algorithm>
#include <cmath>

#include "host/app/app_builtin_commands.h"
#include "host/app/app_preferences.h"
#include "host/app/app_selection.h"
#include "host/colorio/colorio.h"
#include "host/core/core_log.h"
#include "host/of/of_class.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object_factory.h"
#include "host/parser/parser_file.h"
#include "host/parser/parser_group.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_EVALUATION_BEGIN);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_EVALUATION_END);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_ITEM_CLIPBOARD_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_FRAME_RANGE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_TIMELINE_KF_DISPLAY_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_BOOKMARK_ADD);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_BOOKMARK_DEL);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_BOOKMARK_MOD);

CORE_IMPLEMENT_CREATABLE_CLASS(AppObjectClassPreference, CoreBaseObject)
CORE_IMPLEMENT_CREATABLE_CLASS(AppObject, OfApp)

AppObject::AppObject(int argc, char** argv) : OfApp(argc, argv)
{
    init();
}

AppObject::AppObject()
{
    init();
}

void AppObject::init()
{
    m_preferences = std::make_unique<AppPreferences>();
    m_selection = std::make_unique<AppSelection>(get_factory());
    m_builtin_commands = std::make_unique<AppBuiltinCommands>(*this);
}

AppObject::~AppObject()
{
    for (auto const& entry : m_class_preferences) delete entry.get_value();
}

// Class preferences ----------------------------------------------------------------------

AppObjectClassPreference* AppObject::get_class_preference(CoreBasicString const& key) const
{
    AppObjectClassPreference* const* found = m_class_preferences.get(CoreString(key));
    return found ? *found : nullptr;
}

void AppObject::set_class_preference(CoreBasicString const& key, AppObjectClassPreference* preference)
{
    if (key.is_empty()) {
        CORE_LOG_WARNING("AppObject.set_class_preference: the key must not be empty\n");
        delete preference;
        return;
    }
    CoreString name(key);
    AppObjectClassPreference* previous = get_class_preference(key);
    if (previous == preference) return;
    delete previous;
    if (preference) {
        m_class_preferences.set(name, preference);
        if (ParserGroup const* saved = m_preferences->get_kept_group(get_class_preference_group(key)))
            preference->load(*saved);
    } else {
        m_class_preferences.remove(name);
    }
}

CoreString AppObject::get_class_preference_group(CoreBasicString const& key)
{
    return CoreString("class_") + key;
}

// Preferences ----------------------------------------------------------------------------

bool AppObject::populate_prefs()
{
    AppCategoryPreferences& general = m_preferences->add_category("general");
    general
        .add_long("undo_history_limit", 0,
                  "Number of steps the undo history keeps; older ones are dropped. 0 keeps them all.")
        .set_range(0, 100000)
        .set_ui_range(0, 1000);
    general.add_bool("delete_to_trash", true,
                     "Delete moves items into the \"trash\" context, from where they can be moved back; "
                     "Permanently Delete, or deleting what is in the trash, removes them from the scene.");
    general.connect_attrs_change(&AppObject::on_general_prefs_change, this);
    return true;
}

void AppObject::set_preferences()
{
    if (!m_preferences->category_exists("general")) return;
    long long limit = m_preferences->get_long_value("general", "undo_history_limit");
    get_command_manager().set_history_limit(static_cast<unsigned int>(limit));
}

bool AppObject::on_general_prefs_change(AppCategoryPreferences&, AppItemPreferences& item, void* data)
{
    if (item.get_key() != "undo_history_limit") return false;
    auto* app = static_cast<AppObject*>(data);
    app->get_command_manager().set_history_limit(static_cast<unsigned int>(item.get_long_value()));
    return true;
}

bool AppObject::init_preferences()
{
    if (!m_prefs_populated) {
        m_prefs_populated = true;
        m_prefs_result = populate_prefs();
    }
    return m_prefs_result;
}

bool AppObject::load_preferences(CoreBasicString const& path)
{
    init_preferences();
    bool ok = m_preferences->load(path);
    set_preferences();
    return ok;
}

bool AppObject::save_preferences(CoreBasicString const& path) const
{
    for (auto const& entry : m_class_preferences) {
        ParserGroup group;
        entry.get_value()->save(group);
        m_preferences->set_kept_group(get_class_preference_group(entry.get_key()), group);
    }
    return m_preferences->save(path);
}

void AppObject::on_start()
{
    OfApp::on_start();
    init_preferences();
}

// Configuration --------------------------------------------------------------------------

CoreString AppObject::get_default_config_path()
{
    return sys_get_resources_dir() + "/application.cfg";
}

bool AppObject::load_config(CoreBasicString const& path)
{
    CoreString file_path = path.is_empty() ? get_default_config_path() : CoreString(path);
    if (path.is_empty() && !SysFilesystem::file_exists(file_path) &&
        !SysFilesystem::folder_exists(file_path)) {
        CORE_LOG_INFO("AppObject.load_config: no configuration file '" << file_path << "'\n");
        m_config.clear();
        return true;
    }
    // ParserFile reports unreadable files and errors itself.
    ParserFile file;
    if (!file.read(file_path)) {
        CORE_LOG_WARNING("AppObject.load_config: the configuration is left unchanged\n");
        return false;
    }
    m_config = file.get_root();
    return true;
}

// Item clipboard -------------------------------------------------------------------------

void AppObject::set_item_clipboard(ParserGroup const& content)
{
    m_item_clipboard = content;
    raise_event(EVT_ID_APPLICATION_ITEM_CLIPBOARD_CHANGED);
}

void AppObject::clear_item_clipboard()
{
    if (m_item_clipboard.is_empty()) return;
    m_item_clipboard.clear();
    raise_event(EVT_ID_APPLICATION_ITEM_CLIPBOARD_CHANGED);
}

// Frame range and timelines -------------------------------------------------------------

bool AppObject::set_frame_range(double const& start_frame, double const& end_frame)
{
    if (!std::isfinite(start_frame) || !std::isfinite(end_frame)) {
        CORE_LOG_WARNING("AppObject.set_frame_range: " << start_frame << " .. " << end_frame
                                                       << " is not a range of finite frames; it stays "
                                                       << m_frame_range.start_frame << " .. "
                                                       << m_frame_range.end_frame << "\n");
        return false;
    }
    FrameRange range;
    range.start_frame = std::min(start_frame, end_frame);
    range.end_frame = std::max(start_frame, end_frame);
    if (range.start_frame == m_frame_range.start_frame && range.end_frame == m_frame_range.end_frame)
        return true;
    m_frame_range = range;
    EventInfo info(EVT_ID_APPLICATION_FRAME_RANGE_CHANGED, &range);
    raise_event(info);
    return true;
}

void AppObject::set_timeline_kf_display(bool const& display)
{
    if (display == m_timeline_kf_display) return;
    m_timeline_kf_display = display;
    raise_event(EVT_ID_APPLICATION_TIMELINE_KF_DISPLAY_CHANGED);
}

// Evaluation -----------------------------------------------------------------------------

bool AppObject::add_evaluator(EvaluatorCallback callback, void* data)
{
    if (!callback) {
        CORE_LOG_WARNING("AppObject.add_evaluator: null callback\n");
        return false;
    }
    Evaluator evaluator{callback, data};
    if (m_evaluators.contains(evaluator)) {
        CORE_LOG_WARNING("AppObject.add_evaluator: the evaluator was already added with that data\n");
        return false;
    }
    m_evaluators.add(evaluator);
    return true;
}

bool AppObject::remove_evaluator(EvaluatorCallback callback, void* data)
{
    return m_evaluators.remove_item(Evaluator{callback, data}) > 0;
}

bool AppObject::begin_evaluation(char const* operation)
{
    if (m_evaluating.load()) {
        CORE_LOG_WARNING(operation << ": refused while an evaluation runs\n");
        return false;
    }
    m_evaluating.store(true);
    m_stop_requested.store(false);
    m_evaluation_stopped = false;
    m_evaluation_timer.reset();
    set_busy(true);
    raise_event(EVT_ID_APPLICATION_EVALUATION_BEGIN);
    return true;
}

void AppObject::end_evaluation()
{
    m_evaluation_time = m_evaluation_timer.get_elapsed_time();
    set_busy(false);
    m_stop_requested.store(false);
    m_evaluating.store(false);
    raise_event(EVT_ID_APPLICATION_EVALUATION_END);
}

bool AppObject::evaluate_frame(double const& frame)
{
    m_evaluation_frame = frame;
    get_factory().set_time(frame);
    // A copy: evaluators may add or remove evaluators.
    CoreVector<Evaluator> evaluators = m_evaluators;
    for (Evaluator const& evaluator : evaluators) {
        if (m_stop_requested.load()) break;
        if (!m_evaluators.contains(evaluator)) continue;
        if (!evaluator.callback(*this, frame, evaluator.data)) m_stop_requested.store(true);
    }
    if (m_stop_requested.load()) m_evaluation_stopped = true;
    return !m_evaluation_stopped;
}

bool AppObject::evaluate(double const& frame)
{
    if (!begin_evaluation("AppObject.evaluate")) return false;
    bool done = evaluate_frame(frame);
    end_evaluation();
    return done;
}

unsigned int AppObject::evaluate(double const& first, double const& last, double const& step)
{
    // Non-finite bounds or step would never end the loop below.
    if (!std::isfinite(first) || !std::isfinite(last) || !std::isfinite(step) || !(step > 0.0) ||
        last < first) {
        CORE_LOG_WARNING("AppObject.evaluate: no frames from " << first << " to " << last << " by " << step
                                                               << "\n");
        return 0;
    }
    if (!begin_evaluation("AppObject.evaluate")) return 0;
    unsigned int done = 0;
    // Frames are computed from the index, so that steps like 0.1 do not drift.
    for (unsigned long long index = 0;; ++index) {
        double frame = first + static_cast<double>(index) * step;
        if (frame > last + step * 1e-9) break;
        if (!evaluate_frame(frame)) break;
        ++done;
        // Lets the interface run (and the user stop the evaluation) between frames.
        check_for_events();
        if (m_stop_requested.load()) {
            m_evaluation_stopped = true;
            break;
        }
    }
    end_evaluation();
    return done;
}

void AppObject::stop_evaluation()
{
    if (m_evaluating.load()) m_stop_requested.store(true);
}

double AppObject::get_evaluation_time() const
{
    return m_evaluating.load() ? m_evaluation_timer.get_elapsed_time() : m_evaluation_time;
}

bool AppObject::set_default_view_transform(CoreString const& name)
{
    if (!name.is_empty() && !ColorIO::has_view_transform(name)) {
        CORE_LOG_WARNING("AppObject.set_default_view_transform: unknown view transform '" << name << "'\n");
        return false;
    }
    m_default_view_transform = name;
    return true;
}

CoreString AppObject::get_default_view_transform() const
{
    return m_default_view_transform.is_empty() ? ColorIO::get_default_view_transform_name()
                                               : m_default_view_transform;
}

bool AppObject::set_color_picker_color_space(CoreString const& name)
{
    if (!name.is_empty() && !ColorIO::has_color_space(name)) {
        CORE_LOG_WARNING("AppObject.set_color_picker_color_space: unknown colour space '" << name << "'\n");
        return false;
    }
    m_color_picker_color_space = name;
    return true;
}

CoreString AppObject::get_color_picker_color_space_name() const
{
    if (!m_color_picker_color_space.is_empty())
        return m_color_picker_color_space;
    CoreString const picking = ColorIO::get_role_color_space_name("color_picking");
    return picking.is_empty() ? ColorIO::get_default_color_space_name() : picking;
}

OfModule* AppObject::get_scripting_engine_object(OfClass const& engine_class) const
{
    if (!engine_class.is_kindof("Scripting")) {
        CORE_LOG_WARNING("AppObject.get_scripting_engine_object: class '" << engine_class.get_name()
                                                                          << "' is no scripting class\n");
        return nullptr;
    }
    return engine_class.get_module();
}

CoreString AppObject::open_file(CoreString const& start_path, CoreString const& title, CoreString const&)
{
    CORE_LOG_INFO("AppObject.open_file: no interface to ask for a file (" << title << ", from '" << start_path
                                                                           << "')\n");
    return CoreString();
}

namespace {

void count_items(OfContext const& context, unsigned int& contexts, unsigned int& objects)
{
    ++contexts;
    objects += context.get_objects().get_count();
    for (OfContext const* child : context.get_contexts()) count_items(*child, contexts, objects);
}

}  // namespace

CoreString AppObject::get_statistics() const
{
    unsigned int contexts = 0;
    unsigned int objects = 0;
    count_items(get_factory().get_root(), contexts, objects);
    CoreString text;
    text += "contexts: ";
    text += contexts;
    text += "\nobjects: ";
    text += objects;
    text += "\napplication memory (KiB): ";
    text += static_cast<unsigned long>(get_memory_size() / 1024);
    text += "\n";
    return text;
}

size_t AppObject::get_memory_size() const
{
    size_t size = OfApp::get_memory_size() - sizeof(OfApp) + sizeof(AppObject);
    size += m_preferences->get_memory_size() + m_selection->get_memory_size() +
            m_builtin_commands->get_memory_size();
    size += m_config.get_memory_size() + m_item_clipboard.get_memory_size();
    for (auto const& entry : m_class_preferences) size += entry.get_value()->get_memory_size();
    return size + m_evaluators.get_count() * sizeof(Evaluator);
}
