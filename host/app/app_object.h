#pragma once
// The interactive application: the scene application with the user's selection, the
// built-in item commands, the preferences, per-class preference objects, a configuration,
// an item clipboard and the evaluation of frames. The interface's application object
// derives from it.
//
//     AppObject app(argc, argv);
//     app.load_config();                        // site settings, if any
//     app.load_preferences();                   // populate_prefs, read the user's file,
//                                               // then set_preferences
//     app.add_evaluator(&render_frame, &renderer);
//     app.evaluate(1.0, 24.0);                  // frames 1 to 24, until stop_evaluation()
//
// Preferences: populate_prefs declares the categories (this class: "general"), once;
// load_preferences reads a file and then calls set_preferences, which applies the values.
//
// Evaluation: evaluators are callbacks run, in the order they were added, for every frame
// evaluate is asked for, on the application thread. While evaluating, the application is
// busy (AppBase::is_busy), the scene time is the frame, and between frames the application
// checks for events, so that the interface stays alive and may call stop_evaluation. A
// stop request, or an evaluator returning false, ends the evaluation before the next
// evaluator runs; a request made while nothing is evaluated is ignored.
#include <atomic>
#include <memory>

#include "host/core/core_base_object.h"
#include "host/core/core_export.h"
#include "host/core/core_hash_table.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/app/of_app.h"
#include "host/parser/parser_group.h"
#include "host/sys/sys_timer.h"

class AppBuiltinCommands;
class OfClass;
class OfModule;
class ParserGroup;
class AppCategoryPreferences;
class AppItemPreferences;
class AppPreferences;
class AppSelection;

// Raised on the AppObject when evaluate starts, and when it ends (stopped or not).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_EVALUATION_BEGIN);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_EVALUATION_END);
// Raised on the AppObject when the item clipboard's content changed.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_ITEM_CLIPBOARD_CHANGED);
// Raised on the AppObject when its frame range changes; the event data points to the new
// AppObject::FrameRange.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_FRAME_RANGE_CHANGED);
// Raised on the AppObject when timelines are told to show key frames or to stop showing them.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_TIMELINE_KF_DISPLAY_CHANGED);

// Settings an editor class keeps for the whole application (its bookmarks, its last
// options), looked up by a key of the class's choosing. Classes derive from it.
class QN_HOST_API AppObjectClassPreference : public CoreBaseObject {
    CORE_DECLARE_CLASS(AppObjectClassPreference, CoreBaseObject)

public:
    AppObjectClassPreference() = default;
    ~AppObjectClassPreference() override = default;
    AppObjectClassPreference(AppObjectClassPreference const&) = delete;
    AppObjectClassPreference& operator=(AppObjectClassPreference const&) = delete;

    size_t get_memory_size() const override { return sizeof(AppObjectClassPreference); }

    // What the class keeps in the user's preferences file, as a group of its own (written by
    // AppObject::save_preferences, read when the preference is registered); nothing here.
    virtual void save(ParserGroup&) const {}
    // False, after a warning, when the group is not one the class understands; what was held
    // stays then.
    virtual bool load(ParserGroup const&) { return true; }
    virtual void clear() {}
};

// Raised on the AppObject when a node-graph bookmark is added, removed or changed; the event
// data tells which (the node-graph library's bookmark event record).
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_BOOKMARK_ADD);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_BOOKMARK_DEL);
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_BOOKMARK_MOD);

class QN_HOST_API AppObject : public OfApp {
    CORE_DECLARE_CLASS(AppObject, OfApp)

public:
    // Work done for each evaluated frame; returning false stops the evaluation.
    using EvaluatorCallback = bool (*)(AppObject& app, double const& frame, void* data);

    // The frames the application plays and timelines show, first <= last.
    struct FrameRange {
        double start_frame = 0.0;
        double end_frame = 50.0;
    };

    AppObject(int argc, char** argv);
    AppObject();
    ~AppObject() override;

    AppSelection& get_selection() const { return *m_selection; }
    AppBuiltinCommands& get_builtin_commands() const { return *m_builtin_commands; }
    AppPreferences& get_preferences() const { return *m_preferences; }

    // --- class preferences ---

    // The preference object registered under `key`; null when none is.
    AppObjectClassPreference* get_class_preference(CoreBasicString const& key) const;
    // Registers `preference` under `key`, taking ownership; one registered before under the
    // key is deleted. Null removes (and deletes) the registered one. An empty key is
    // refused with a message (and `preference` deleted). The preference loads the group the
    // preferences file kept for the key, if any (see get_class_preference_group).
    void set_class_preference(CoreBasicString const& key, AppObjectClassPreference* preference);
    // The name of the preferences file's group that holds a class preference: "class_" and
    // the key.
    static CoreString get_class_preference_group(CoreBasicString const& key);

    // --- preferences ---

    // Declares the application's preference categories; called once (by init_preferences).
    // This class declares "general": "undo_history_limit" (the steps the command history
    // keeps, 0 for all) and "delete_to_trash" (whether deleting items moves them to the
    // trash context). Returns false when a category could not be declared.
    virtual bool populate_prefs();
    // Applies the preference values after they were loaded.
    virtual void set_preferences();
    // Runs populate_prefs unless it ran already; returns what it returned.
    bool init_preferences();
    // init_preferences, then reads the preferences file (AppPreferences::load; the default
    // file when `path` is empty), then set_preferences. Returns what load returned.
    bool load_preferences(CoreBasicString const& path = CoreBasicString());
    // Writes the preferences file (AppPreferences::save).
    bool save_preferences(CoreBasicString const& path = CoreBasicString()) const;

    // --- configuration ---

    // The application's configuration: settings of the installation (paths, defaults) read
    // from a settings file once at start-up, as opposed to the user's preferences. Empty
    // until load_config read a file.
    ParserGroup const& get_config() const { return m_config; }
    // The file load_config reads when given none: "application.cfg" in the folder of the
    // default configuration files (sys_get_resources_dir).
    static CoreString get_default_config_path();
    // Replaces the configuration with the content of the file. A missing default file is
    // not an error (the configuration is emptied, information message); any other file that
    // cannot be read, or holds errors, leaves the configuration unchanged, with a message.
    bool load_config(CoreBasicString const& path = CoreBasicString());

    // --- item clipboard ---

    // Items copied or cut (SdkHelpers::copy_items, cut_items) in their serialised form,
    // which SdkHelpers::paste_items makes again; empty when nothing was copied.
    ParserGroup const& get_item_clipboard() const { return m_item_clipboard; }
    // Replaces the content; raises EVT_ID_APPLICATION_ITEM_CLIPBOARD_CHANGED.
    void set_item_clipboard(ParserGroup const& content);
    void clear_item_clipboard();

    // --- frame range and timelines ---

    FrameRange const& get_frame_range() const { return m_frame_range; }
    // Stores the range with its ends in order; raises EVT_ID_APPLICATION_FRAME_RANGE_CHANGED
    // when it changed. Ends that are not finite numbers are refused with a warning.
    bool set_frame_range(double const& start_frame, double const& end_frame);
    // Whether timelines mark key frames; a change raises
    // EVT_ID_APPLICATION_TIMELINE_KF_DISPLAY_CHANGED.
    bool const& is_timeline_kf_display() const { return m_timeline_kf_display; }
    void set_timeline_kf_display(bool const& display);

    // --- evaluation ---

    // Adds an evaluator; false (with a message) for a null callback or one already added
    // with the same data. Evaluators added during an evaluation run from the next frame.
    bool add_evaluator(EvaluatorCallback callback, void* data = nullptr);
    // False when the evaluator was not added. Removed evaluators no longer run, even within
    // the frame being evaluated.
    bool remove_evaluator(EvaluatorCallback callback, void* data = nullptr);
    unsigned int get_evaluator_count() const { return m_evaluators.get_count(); }

    // Evaluates one frame; true when every evaluator ran (it was not stopped).
    bool evaluate(double const& frame);
    // Evaluates first, first + step, ... up to last (included when reached); returns how
    // many frames were evaluated to the end. A step that is not positive, or last before
    // first, is refused with a message; so is a call made while evaluating.
    unsigned int evaluate(double const& first, double const& last, double const& step = 1.0);
    // Asks the running evaluation to stop; safe from any thread.
    void stop_evaluation();
    bool is_evaluating() const { return m_evaluating.load(); }
    // True when the last evaluation ended on a stop request or an evaluator's refusal.
    bool const& is_evaluation_stopped() const { return m_evaluation_stopped; }
    // The frame being evaluated, or the last one evaluated (0 before any).
    double const& get_evaluation_frame() const { return m_evaluation_frame; }
    // Seconds the running evaluation has taken so far, or the last one took.
    double get_evaluation_time() const;

    // --- colour management ---

    // The view transform through which the interface shows linear colours and images; an
    // empty name stands for the colour configuration's default view. An unknown name is
    // refused with a message.
    virtual bool set_default_view_transform(CoreString const& name);
    // The view transform in use: the one set, else the configuration's default.
    virtual CoreString get_default_view_transform() const;
    // The colour space colour pickers work in; an empty name stands for the space of the
    // configuration's "color_picking" role, else the working (linear) space. An unknown name
    // is refused with a message.
    virtual bool set_color_picker_color_space(CoreString const& name);
    // The colour space in use, resolved as above.
    virtual CoreString get_color_picker_color_space_name() const;

    // --- scripting ---

    // The engine behind a scripting class: the module of `engine_class` when it derives from
    // the scene class "Scripting" and has one; null otherwise (a class that is no scripting
    // class is refused with a message).
    OfModule* get_scripting_engine_object(OfClass const& engine_class) const;

    // --- session ---

    // Asks the user for a file to open; empty when none was chosen. The base has no one to
    // ask: it logs the request and returns empty.
    virtual CoreString open_file(CoreString const& start_path, CoreString const& title, CoreString const& filters);
    // One line per figure about the session: the scene's items, memory in use. Interfaces
    // add their own lines.
    virtual CoreString get_statistics() const;

    size_t get_memory_size() const override;

protected:
    void on_start() override;

private:
    struct Evaluator {
        EvaluatorCallback callback;
        void* data;
        bool operator==(Evaluator const& other) const
        {
            return callback == other.callback && data == other.data;
        }
    };

    void init();
    // Runs the evaluators for one frame; false when stopped.
    bool evaluate_frame(double const& frame);
    // Starts and ends an evaluation (busy state, timer, events); begin refuses re-entry.
    bool begin_evaluation(char const* operation);
    void end_evaluation();
    static bool on_general_prefs_change(AppCategoryPreferences& category, AppItemPreferences& item,
                                        void* data);

    std::unique_ptr<AppPreferences> m_preferences;
    std::unique_ptr<AppSelection> m_selection;
    std::unique_ptr<AppBuiltinCommands> m_builtin_commands;
    CoreHashTableDense<CoreString, AppObjectClassPreference*> m_class_preferences;
    ParserGroup m_config;
    ParserGroup m_item_clipboard;
    FrameRange m_frame_range;
    bool m_timeline_kf_display = true;
    bool m_prefs_populated = false;
    bool m_prefs_result = false;

    CoreString m_default_view_transform;
    CoreString m_color_picker_color_space;

    CoreVector<Evaluator> m_evaluators;
    std::atomic<bool> m_evaluating{false};
    std::atomic<bool> m_stop_requested{false};
    bool m_evaluation_stopped = false;
    double m_evaluation_frame = 0.0;
    SysTimer m_evaluation_timer;
    double m_evaluation_time = 0.0;
};
