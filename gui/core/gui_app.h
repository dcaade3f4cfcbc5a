#pragma once
// GuiApp: the interface's application object. It opens the toolkit, keeps the queues
// through which widgets ask to be redrawn, updated or deleted, and works them off in passes
// between toolkit events: a processing pass at most every 16 ms (updates, then redraws) and
// an idle pass every 150 ms (deferred deletion). It also keeps the list of top-level windows,
// the mouse listeners and the interface lock that every widget draw holds.
//
//     GuiApp app(argc, argv);
//     GuiWindow* window = app.create_window(100, 100, 800, 600, "Main");
//     ... build widgets ...
//     window->show();
//     app.run();                     // until app.quit()
//
// Threads: add_pending_redraw/update and their removal, add/remove_mouse_listener and
// lock_draw/unlock_draw are safe from any thread; everything else belongs to the
// application thread.
#include <atomic>
#include <memory>
#include <vector>

#include "gui/core/gui.h"
#include "gui/core/gui_app_viewports.h"
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_export.h"
#include "host/app/app_object.h"
#include "host/core/core_most_recent_sorted_set.h"
#include "host/core/core_set.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/sys/sys_thread_lock.h"
#include "host/sys/sys_timer.h"

class AppCategoryPreferences;
class ColorIOConverter;
class Fl_Window;
class GuiViewport;
class AppItemPreferences;
class GuiWidget;
class GuiWindow;

// A colour tag of scene items, read from the colour-tag configuration file.
struct GuiColorTag {
    CoreString name;
    CoreString tip;
    double weight = 0.0;
    GMathVec3<unsigned char> color = GMathVec3<unsigned char>(0, 0, 0);
};

// Raised on the application at the end of every processing pass.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_IDLE);
// Raised on the application by the first processing pass after the keyboard focus moved to
// another widget (or to none); the event data is the focused GuiWidget, or null. Several
// moves between two passes give one event.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED);
// Raised by set_auto_eval_changed: the viewports' automatic evaluation was paused, played,
// set back to its default or refreshed.
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_AUTO_EVAL_PAUSE);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_AUTO_EVAL_PLAY);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT);
EVENT_DECLARE_ID(QN_GUI_API, EVT_ID_APPLICATION_AUTO_EVAL_REFRESH);

// Mouse listeners and their pending additions and removals, applied at pass boundaries so
// that a listener may add or remove listeners while it is being called.
class QN_GUI_API GuiAppPendingCallbackHandler : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiAppPendingCallbackHandler, CoreBaseObject)

public:
    using MouseListener = void (*)(GuiWidget& widget, CoreString const& event, void* data);

    struct Listener {
        MouseListener callback = nullptr;
        void* data = nullptr;
        bool operator==(Listener const& other) const
        {
            return callback == other.callback && data == other.data;
        }
    };

    GuiAppPendingCallbackHandler() = default;

    // Queue an addition or a removal (any thread).
    void add(MouseListener callback, void* data);
    void remove(MouseListener callback, void* data);
    // Applies the queued changes in order: additions append, a removal removes the first
    // listener with the same callback and data.
    void apply_changes();
    // Copy of the active listeners (any thread).
    CoreVector<Listener> get_listeners() const;

private:
    struct Change {
        int operation = 0;  // 0 add, 1 remove
        Listener listener;
    };
    mutable SysThreadLock m_lock;
    CoreVector<Change> m_changes;
    CoreVector<Listener> m_listeners;
};

class QN_GUI_API GuiApp : public AppObject {
    CORE_DECLARE_CLASS(GuiApp, AppObject)

public:
    using MouseListener = GuiAppPendingCallbackHandler::MouseListener;

    GuiApp(int argc, char** argv);
    GuiApp();
    ~GuiApp() override;

    // The one interface application of the process (null when none exists).
    static GuiApp* get_gui_instance();

    // Functions the destructor calls first: layers above the core register them when the
    // library loads, to release process-wide caches of toolkit images while the toolkit is
    // still open. Registering one twice does nothing.
    using ReleaseHook = void (*)();
    static void add_release_hook(ReleaseHook hook);

    // --- Queues (any thread) ------------------------------------------------------------

    // Widgets whose widget_redraw / widget_update is due at the next processing pass. Adding
    // a widget already queued does nothing.
    void add_pending_redraw(GuiWidget* widget);
    void remove_pending_redraw(GuiWidget* widget);
    bool is_pending_redraw(GuiWidget* widget) const;
    void add_pending_update(GuiWidget* widget);
    void remove_pending_update(GuiWidget* widget);
    bool is_pending_update(GuiWidget* widget) const;
    unsigned int get_pending_redraw_count() const;
    unsigned int get_pending_update_count() const;
    // Removes a widget being deleted from every queue, the lists of a running pass included.
    void forget_widget(GuiWidget* widget);

    // --- Deferred deletion (application thread) -----------------------------------------

    // Queues a widget for deletion at the next idle pass; a window also leaves the window list.
    void destroy(GuiWidget* widget);
    // Queues any object for deletion at the next idle pass.
    void add_deferred_object(CoreBaseObject* object);
    // Queues a toolkit window for deletion at the next idle pass: its callbacks may be on the
    // stack.
    void defer_toolkit_window_deletion(Fl_Window* window);
    // Counts the toolkit events being handled. A handler may open a nested loop (a message
    // box, a drag) in which the idle pass runs: it deletes nothing while an event is handled,
    // so that the handler's widget outlives its handler.
    class QN_GUI_API EventScope {
    public:
        EventScope();
        ~EventScope();
        EventScope(EventScope const&) = delete;
        EventScope& operator=(EventScope const&) = delete;
    };
    static bool is_handling_event();
    // Deletes what the queues hold now; the idle pass does it every 150 ms.
    void delete_queued_objects();
    unsigned int get_destroy_queue_count() const { return m_destroy_queue.get_count(); }

    // --- Passes ---------------------------------------------------------------------------

    // One processing pass: listener changes, updates, then redraws, EVT_ID_APPLICATION_IDLE.
    // A call made while a pass runs returns at once.
    void process_pending();
    bool is_processing() const { return m_processing; }
    // Runs processing passes and toolkit waits for at most 16 ms. With process false the
    // idle pass stays suspended meanwhile (used while the host is busy).
    void check_for_events(bool const& process);
    void check_for_events() override { check_for_events(true); }
    // Time since the last processing pass ended.
    double get_time_since_last_pass() const { return m_last_pass_timer.get_elapsed_time(); }
    // Idle passes are suspended from construction to on_start and again from on_quit.
    bool const& is_idle_suspended() const { return m_idle_suspended; }
    // The toolkit check hook does not run passes while events are blocked.
    bool const& is_events_blocked() const { return m_events_blocked; }

    // --- Long computations -------------------------------------------------------------------

    // Called during long work on any thread: at most every 51 ms it redraws the widgets waiting
    // for it. On the application thread it also lets the toolkit repaint, and after 250 ms
    // without a processing pass it disables the interface and shows the wait cursor until the
    // next pass.
    void progress_update() override;
    bool is_progress_update() const { return m_progress_running.load(); }

    // --- Message boxes ----------------------------------------------------------------------

    // What a message box is asked to show.
    struct MessageBoxRequest {
        CoreString message;
        CoreString title;
        AppDialog default_value;
        int style = 0;
        bool has_geometry = false;
        int geometry[4] = {0, 0, 0, 0};  // x, y, w, h: in with has_geometry, out when answered
        CoreVector<CoreString> list;
    };
    // Answers message boxes in place of the interface (scripted runs): it gets the request
    // and returns the answer; it may write the geometry back. Null gives the boxes back.
    using MessageBoxHandler = AppDialog (*)(GuiApp& app, MessageBoxRequest& request, void* data);
    void set_message_box_handler(MessageBoxHandler handler, void* data);
    // Builds and runs a message box window. The layer that holds the message box widget
    // registers it when the library loads; without one, requests are logged and answered
    // with their default value.
    using MessageBoxPresenter = AppDialog (*)(GuiApp& app, MessageBoxRequest& request);
    static void set_message_box_presenter(MessageBoxPresenter presenter);

    // Asks the user and returns the answer. From another thread the request is handed to the
    // application thread through a timer, and the caller waits until it is answered.
    AppDialog message_box(CoreString const& message, CoreString const& title, AppDialog const& default_value,
                          int const& style = AppDialog::STYLE_OK, int* geometry = nullptr,
                          CoreVector<CoreString> const& list = CoreVector<CoreString>()) override;

    // --- Interface state -------------------------------------------------------------------

    // A change redraws every window.
    void enable() override;
    void disable() override;

    // The process-wide recursive lock that every widget draw holds. Other threads take it
    // around changes of data that drawing reads.
    static void lock_draw();
    static void unlock_draw();
    static SysThreadLockRecursive& get_interface_lock();
    // A widget draw is in progress.
    static bool is_drawing();
    // Draw depth bookkeeping of the routers.
    static void begin_widget_draw();
    static void end_widget_draw();
    // Makes the toolkit redraw all windows now.
    void force_redraw();

    // --- Windows ---------------------------------------------------------------------------

    // Top-level windows in creation order (not owned).
    CoreVector<GuiWindow*> const& get_windows() const { return m_windows; }
    void add_window(GuiWindow* window);
    void remove_window(GuiWindow* window);
    // The window of the toolkit's first (front-most) shown window; null if none.
    GuiWindow* get_top_window() const;
    // The nearest window above the widget that received the last event; null if none.
    virtual GuiWindow* get_event_window() const;
    // A new top-level window of this application.
    GuiWindow* create_window(int const& x, int const& y, int const& w, int const& h, CoreString const& title);

    // --- Colour scheme ---------------------------------------------------------------------

    // The interface's scheme (the dark built-in scheme at first).
    GuiColorScheme const& get_color_scheme() const { return m_color_scheme; }
    // Copies a scheme into the application's and recolours the interface with it.
    void set_color_scheme(GuiColorScheme const& scheme);
    // Recolours the built-in pictures and every window with the scheme.
    void update_color_scheme(GuiColorScheme const& scheme);
    // Colours of the scheme that toolkit-drawn parts use: outline, background, light edge and
    // shadow edge (group 0 of roles 0, 1, 4 and 3), as set by the last set_color_scheme.
    static GMathVec3<unsigned char> const& get_toolkit_color(int const& index);

    // --- Mouse listeners ---------------------------------------------------------------------

    // Listeners are called for every mouse down, up, move and drag before the widget sees it.
    // Additions and removals take effect at the next pass.
    void add_mouse_listener(MouseListener callback, void* data);
    void remove_mouse_listener(MouseListener callback, void* data);
    // Called by the routers: applies nothing, calls each active listener.
    void dispatch_mouse_event(GuiWidget& widget, CoreString const& event);
    // Applies pending listener additions and removals (done at every pass).
    void apply_listener_changes() { m_listener_handler.apply_changes(); }

    // --- Clipboard and paste -----------------------------------------------------------------

    virtual void set_clipboard(CoreString const& text) { _set_clipboard(text); }
    CoreString const& get_clipboard() const { return m_clipboard; }
    // Header with which serialised clipboard data starts; empty in this class.
    virtual CoreString get_clipboard_serialization_header() const { return CoreString(); }
    // Text pasted into a widget (GuiWidget::paste); does nothing in this class.
    virtual void on_paste(GuiWidget& widget, CoreString const& text);

    // --- Session state ------------------------------------------------------------------------

    void add_recent_script_file(CoreString const& path) { m_recent_script_files.add(path); }
    CoreMostRecentSortedSet<CoreString> const& get_recent_script_files() const { return m_recent_script_files; }
    void clear_recent_script_files() { m_recent_script_files.clear(); }
    // Colours of views and swatches, components in 0..1.
    GMathVec3<double> const& get_background_color() const { return m_background_color; }
    void set_background_color(GMathVec3<double> const& color) { m_background_color = color; }
    GMathVec3<double> const& get_foreground_color() const { return m_foreground_color; }
    void set_foreground_color(GMathVec3<double> const& color) { m_foreground_color = color; }
    unsigned int const& get_max_log_widget_lines_number() const { return m_max_log_widget_lines; }
    void set_max_log_widget_lines_number(unsigned int const& count) { m_max_log_widget_lines = count; }
    // Scale of the interface fonts (preference "font_size").
    float const& get_font_size_factor() const { return m_font_size_factor; }
    float const& get_image_view_overscan_opacity() const { return m_image_view_overscan_opacity; }
    void set_image_view_overscan_opacity(float const& opacity) { m_image_view_overscan_opacity = opacity; }
    // Raises EVT_ID_APPLICATION_AUTO_EVAL_PAUSE (false, false), _PLAY (false, true),
    // _DEFAULT (true, false) or _REFRESH (true, true).
    void set_auto_eval_changed(bool const& a, bool const& b);

    // --- Viewports ----------------------------------------------------------------------------

    // Viewports register themselves while they exist (not owned), in creation order.
    void add_viewport(GuiViewport* viewport);
    void remove_viewport(GuiViewport* viewport);
    CoreVector<GuiViewport*> const& get_viewports() const { return m_viewports.get_viewports(); }
    // Saves every viewport's automatic evaluation and switches it off; restore gives each
    // its saved flag back, in the same order (the viewport list must not change between the
    // two). Restoring without a save before gives the flags saved last.
    void disable_all_viewports_auto_evaluation();
    void restore_all_viewports_auto_evaluation();

    // --- Colour management -------------------------------------------------------------------

    // The view transform the interface shows linear colours through; a change remakes the
    // linear-to-display converter and redraws every window.
    bool set_default_view_transform(CoreString const& name) override;
    bool set_color_picker_color_space(CoreString const& name) override;
    // Linear (the configuration's working space) to the display through the default view
    // transform; made by on_start, null before.
    ColorIOConverter const* get_linear_to_default_converter() const { return m_linear_to_display.get(); }
    // The colour as the display shows it; unchanged while there is no converter.
    GMathVec3<float> convert_linear_to_default(GMathVec3<float> const& color) const;

    // --- Session ------------------------------------------------------------------------------

    // The native file chooser (or the application's own browser, by the file browser mode).
    CoreString open_file(CoreString const& start_path, CoreString const& title, CoreString const& filters) override;
    // The host's figures, then windows, widgets and the memory they use.
    CoreString get_statistics() const override;
    // Memory used by the widgets of every window.
    virtual size_t get_widgets_memory_size() const;
    // Hooks for applications that keep floating windows, maximise views and show a status
    // bar; they do nothing in this class.
    virtual void add_widget_in_floating_window_list(GuiWindow*) {}
    virtual void remove_widget_in_floating_window_list(GuiWindow*) {}
    virtual void maximize_view(GuiViewport*) {}
    virtual void restore_view() {}
    virtual void set_status_bar_message(CoreString const&) {}

    // --- Preferences and configuration files -------------------------------------------------

    // Declares the interface's preference categories after the host's ("user_interface",
    // "color_management", "scripting", "layout") and connects their change callback.
    bool populate_prefs() override;
    // Applies the loaded preferences: reads the colour-tag file and takes the modes.
    void set_preferences() override;
    // A preference of the interface changed; true for the keys it handled.
    virtual bool on_gui_app_prefs_attribute_change(AppItemPreferences& item);
    static bool gui_app_prefs_attribute_change(AppCategoryPreferences& category, AppItemPreferences& item,
                                               void* data);
    // "$VELMORA_BIN_DIR/color_tags.cfg" and "$VELMORA_BIN_DIR/brush_presets.cfg".
    static CoreString get_default_colortag_config_file_path();
    static CoreString get_default_brush_preset_file_path();
    // The path with "$VELMORA_BIN_DIR" replaced by the folder of the default configuration
    // files (the variable's value, or the installed resources).
    static CoreString expand_bin_dir(CoreString const& path);
    // Reads the colour tags ("color_tags" group, one group per tag with "tip", "weight" and
    // "color"); inconsistent tags are skipped with a warning. False when the file cannot be read.
    bool load_colortag_config_file(CoreString const& path);
    CoreVector<GuiColorTag> const& get_color_tags() const { return m_color_tags; }
    // The device the interface assumes, by the input device mode (a Gui::DeviceId).
    int get_input_device_type() const;
    Gui::WindowsTabletApi const& get_windows_tablet_api() const { return m_windows_tablet_api; }
    void set_windows_tablet_api(Gui::WindowsTabletApi const& api) { m_windows_tablet_api = api; }
    // Delay before a sub-menu opens, in milliseconds (preference "sub_menu_show_delay").
    int const& get_sub_menu_show_delay() const { return m_sub_menu_show_delay; }

    size_t get_memory_size() const override;

protected:
    void _set_clipboard(CoreString const& text) { m_clipboard = text; }

    void on_start() override;
    void on_wait(double const& timeout) override;
    void on_quit() override;

public:
    void quit() override;
    void wake_up() override;

    // Shows the box on the application thread: the handler when one is set, otherwise a
    // GuiMessageBox owned by the top window, placed at the request's geometry or centred on
    // the top window (on the screen without one). Without a display the request is logged
    // and the default value returned.
    virtual AppDialog show_message_box(MessageBoxRequest& request);

    // Toolkit check callback and the two repeating host timers.
    static void check_events(void* data);
    static void on_idle(void* data);
    static void launch_pending_redraws(void* data);
    // The toolkit handlers on_start installs. The system handler sees every X event before
    // the toolkit: user input on any window, the toolkit's own dialogs included, resets the
    // application's idle watch. The idle handler is armed while long work has left the
    // interface disabled: once the toolkit has nothing left to do it runs a processing pass,
    // which gives the interface back at once, and disarms itself.
    static int on_system_event(void* event, void* data);
    static void on_toolkit_idle(void* data);
    bool is_toolkit_idle_armed() const { return m_toolkit_idle_armed; }

private:
    void init();
    void idle_pass();
    void set_windows_cursor(Gui::MouseCursorId const& cursor);
    static void answer_message_box(void* data);
    // Re-arms a repeating timer, or adds it again when it has fired without being re-armed.
    void rearm_timer(TimerId& id, TimerCallback callback, double const& delay);
    // Lets the toolkit handle events for up to `seconds`.
    void toolkit_wait(double const& seconds);
    static bool display_open();

    CoreVector<CoreBaseObject*> m_deferred_objects;
    CoreVector<GuiWindow*> m_windows;
    bool m_idle_suspended = true;
    bool m_processing = false;
    // The focused widget the last focus event named; compared by address only.
    GuiWidget* m_focus_seen = nullptr;
    bool m_events_blocked = false;
    CoreVector<GuiWidget*> m_destroy_queue;
    CoreSet<GuiWidget*> m_pending_redraws;
    CoreSet<GuiWidget*> m_pending_updates;
    CoreVector<GuiWidget*> m_pass_updates;  // the running pass's work, app thread only
    CoreVector<GuiWidget*> m_pass_redraws;
    mutable SysThreadLock m_pending_lock;
    SysTimer m_last_pass_timer;
    CoreString m_clipboard;
    GuiColorScheme m_color_scheme;
    GuiAppPendingCallbackHandler m_listener_handler;
    CoreVector<GuiColorTag> m_color_tags;
    CoreMostRecentSortedSet<CoreString> m_recent_script_files;
    GMathVec3<double> m_background_color = GMathVec3<double>(0.0, 0.0, 0.0);
    GMathVec3<double> m_foreground_color = GMathVec3<double>(1.0, 1.0, 1.0);
    unsigned int m_max_log_widget_lines = 200;
    float m_font_size_factor = 1.0f;
    float m_image_view_overscan_opacity = 0.5f;
    Gui::WindowsTabletApi m_windows_tablet_api = static_cast<Gui::WindowsTabletApi>(2);
    int m_sub_menu_show_delay = 250;
    std::atomic<bool> m_progress_running{false};
    bool m_progress_first = true;
    SysTimer m_progress_timer;
    CoreVector<GuiWidget*> m_progress_redraws;  // app thread only
    bool m_reenable_pending = false;
    MessageBoxHandler m_message_box_handler = nullptr;
    void* m_message_box_data = nullptr;
    TimerId m_idle_timer = 0;
    TimerId m_redraw_timer = 0;
    bool m_check_installed = false;
    bool m_system_handler_installed = false;
    bool m_toolkit_idle_armed = false;
    GuiAppViewports m_viewports;
    std::unique_ptr<ColorIOConverter> m_linear_to_display;
};
