#pragma once
// GuiApp: the interface's application object. It opens the toolkit and runs the passes
// between toolkit events: a processing pass at most every 16 ms (listener changes, updates,
// then redraws) and an idle pass every 150 ms (deferred deletion), the refreshes of long
// work (progress_update), the timers and the toolkit hooks. Each other concern lives in a
// class of its own that the application holds as a member and forwards to (the draw lock,
// being process-wide, is all static):
//     GuiAppQueues                  pending redraws and updates, and the passes' work lists
//     GuiAppDeletion                widgets and objects deleted at the next idle pass
//     GuiAppProgress                the pace of long work's refreshes
//     GuiAppMessageBoxes            message box handler, presenter and thread hand-off
//     GuiAppDrawLock                the interface lock and the draw depth
//     GuiAppWindows                 the top-level windows and toolkit-wide window calls
//     GuiAppColorScheme             the interface's colour scheme and the toolkit's colours
//     GuiAppPendingCallbackHandler  mouse listeners and their pending changes
//     GuiAppSession                 clipboard, recent scripts, view colours and settings
//     GuiAppViewports               the viewports and the pause of their evaluation
//     GuiAppColorManagement         the linear-to-display converter
//     GuiAppPreferences             preference categories, their changes, config paths
//     GuiAppColorTags               the colour tags of scene items
//     GuiAppItemEditors             the editors that open scene items, and their defaults
//     GuiImageHistory               the snapshots of rendered images (owned, made by init)
//
//     GuiApp app(argc, argv);
//     GuiWindow* window = app.create_window(100, 100, 800, 600, "Main");
//     ... build widgets ...
//     window->show();
//     app.run();                     // until app.quit()
//
// Threads: add_pending_redraw/update and their removal (GuiAppQueues' lock),
// add/remove_mouse_listener (the handler's lock) and lock_draw/unlock_draw are safe from any
// thread; everything else belongs to the application thread.
#include <memory>

#include "gui/core/gui.h"
#include "gui/core/gui_app_color_management.h"
#include "gui/core/gui_app_color_scheme.h"
#include "gui/core/gui_app_color_tags.h"
#include "gui/core/gui_app_deletion.h"
#include "gui/core/gui_app_draw_lock.h"
#include "gui/core/gui_app_item_editors.h"
#include "gui/core/gui_app_message_boxes.h"
#include "gui/core/gui_app_pending_callback_handler.h"
#include "gui/core/gui_app_preferences.h"
#include "gui/core/gui_app_progress.h"
#include "gui/core/gui_app_queues.h"
#include "gui/core/gui_app_session.h"
#include "gui/core/gui_app_viewports.h"
#include "gui/core/gui_app_windows.h"
#include "gui/core/gui_export.h"
#include "host/app/app_object.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/sys/sys_timer.h"

class AppCategoryPreferences;
class AppItemPreferences;
class ColorIOConverter;
class Fl_Window;
class GuiColorDialog;
class GuiImageHistory;
class GuiViewport;
class GuiWidget;
class GuiWindow;

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
    void add_pending_redraw(GuiWidget* widget) { m_queues.add_redraw(widget); }
    void remove_pending_redraw(GuiWidget* widget) { m_queues.remove_redraw(widget); }
    bool is_pending_redraw(GuiWidget* widget) const { return m_queues.has_redraw(widget); }
    void add_pending_update(GuiWidget* widget) { m_queues.add_update(widget); }
    void remove_pending_update(GuiWidget* widget) { m_queues.remove_update(widget); }
    bool is_pending_update(GuiWidget* widget) const { return m_queues.has_update(widget); }
    unsigned int get_pending_redraw_count() const { return m_queues.get_redraw_count(); }
    unsigned int get_pending_update_count() const { return m_queues.get_update_count(); }
    // Removes a widget being deleted from every queue, the lists of a running pass included.
    void forget_widget(GuiWidget* widget);

    // --- Deferred deletion (application thread) -----------------------------------------

    // Queues a widget for deletion at the next idle pass; a window also leaves the window list.
    void destroy(GuiWidget* widget);
    // Queues any object for deletion at the next idle pass.
    void add_deferred_object(CoreBaseObject* object) { m_deletion.add_object(object); }
    // Queues a toolkit window for deletion at the next idle pass: its callbacks may be on the
    // stack.
    void defer_toolkit_window_deletion(Fl_Window* window) { m_deletion.add_toolkit_window(window); }
    // Counts the toolkit events being handled: while one is, the idle pass deletes nothing.
    using EventScope = GuiAppDeletion::EventScope;
    static bool is_handling_event() { return GuiAppDeletion::is_handling_event(); }
    // Deletes what the queues hold now; the idle pass does it every 150 ms.
    void delete_queued_objects() { m_deletion.delete_all(); }
    unsigned int get_destroy_queue_count() const { return m_deletion.get_widget_count(); }

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
    bool is_progress_update() const { return m_progress.is_running(); }

    // --- Message boxes ----------------------------------------------------------------------

    // What a message box is asked to show.
    using MessageBoxRequest = GuiAppMessageBoxes::Request;
    // Answers message boxes in place of the interface (scripted runs): it gets the request
    // and returns the answer; it may write the geometry back. Null gives the boxes back.
    using MessageBoxHandler = GuiAppMessageBoxes::Handler;
    void set_message_box_handler(MessageBoxHandler handler, void* data) { m_message_boxes.set_handler(handler, data); }
    // Builds and runs a message box window. The layer that holds the message box widget
    // registers it when the library loads; without one, requests are logged and answered
    // with their default value.
    using MessageBoxPresenter = GuiAppMessageBoxes::Presenter;
    static void set_message_box_presenter(MessageBoxPresenter presenter)
    {
        GuiAppMessageBoxes::set_presenter(presenter);
    }

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
    static void lock_draw() { GuiAppDrawLock::lock(); }
    static void unlock_draw() { GuiAppDrawLock::unlock(); }
    static SysThreadLockRecursive& get_interface_lock() { return GuiAppDrawLock::get_lock(); }
    // A widget draw is in progress.
    static bool is_drawing() { return GuiAppDrawLock::is_drawing(); }
    // Draw depth bookkeeping of the routers.
    static void begin_widget_draw() { GuiAppDrawLock::begin_draw(); }
    static void end_widget_draw() { GuiAppDrawLock::end_draw(); }
    // Makes the toolkit redraw all windows now.
    void force_redraw() { GuiAppWindows::force_redraw(); }

    // --- Windows ---------------------------------------------------------------------------

    // Top-level windows in creation order (not owned).
    CoreVector<GuiWindow*> const& get_windows() const { return m_windows.get_windows(); }
    void add_window(GuiWindow* window) { m_windows.add(window); }
    void remove_window(GuiWindow* window) { m_windows.remove(window); }
    // The window of the toolkit's first (front-most) shown window; null if none.
    GuiWindow* get_top_window() const { return GuiAppWindows::get_top_window(); }
    // The nearest window above the widget that received the last event; null if none.
    virtual GuiWindow* get_event_window() const;
    // A new top-level window of this application.
    GuiWindow* create_window(int const& x, int const& y, int const& w, int const& h, CoreString const& title);

    // --- Shared dialogs --------------------------------------------------------------------

    // The colour picker every colour field shares, made on first use (centred on the top
    // window when there is one) by the maker the colour layer registers when its library
    // loads; null, with a warning, without one. The maker hands back the dialog as both its
    // own class and the widget the application destroys.
    struct ColorDialogHandle {
        GuiColorDialog* dialog = nullptr;
        GuiWidget* widget = nullptr;
    };
    using ColorDialogMaker = ColorDialogHandle (*)(GuiApp& app);
    static void set_color_dialog_maker(ColorDialogMaker maker);
    GuiColorDialog* get_color_dialog();
    // Destroys the shared colour dialog; the next get_color_dialog makes a new one.
    void reset_color_dialog();
    // Called by a colour dialog being deleted, so that it is not handed out any more.
    void forget_color_dialog(GuiColorDialog const* dialog);

    // --- Image history ---------------------------------------------------------------------

    // The application's image history, made with the application and following its scene;
    // on_quit empties its cache folder when it is set to be cleared on exit.
    GuiImageHistory& get_image_history() { return *m_image_history; }
    GuiImageHistory const& get_image_history() const { return *m_image_history; }

    // --- Colour scheme ---------------------------------------------------------------------

    // The interface's scheme (the dark built-in scheme at first).
    GuiColorScheme const& get_color_scheme() const { return m_color_scheme.get(); }
    // Copies a scheme into the application's and recolours the interface with it.
    void set_color_scheme(GuiColorScheme const& scheme);
    // Recolours the built-in pictures and every window with the scheme.
    void update_color_scheme(GuiColorScheme const& scheme);
    // Colours of the scheme that toolkit-drawn parts use: outline, background, light edge and
    // shadow edge (group 0 of roles 0, 1, 4 and 3), as set by the last set_color_scheme.
    static GMathVec3<unsigned char> const& get_toolkit_color(int const& index)
    {
        return GuiAppColorScheme::get_toolkit_color(index);
    }

    // --- Mouse listeners ---------------------------------------------------------------------

    // Listeners are called for every mouse down, up, move and drag before the widget sees it.
    // Additions and removals take effect at the next pass.
    void add_mouse_listener(MouseListener callback, void* data);
    void remove_mouse_listener(MouseListener callback, void* data) { m_listener_handler.remove(callback, data); }
    // Called by the routers: applies nothing, calls each active listener.
    void dispatch_mouse_event(GuiWidget& widget, CoreString const& event)
    {
        m_listener_handler.dispatch(widget, event);
    }
    // Applies pending listener additions and removals (done at every pass).
    void apply_listener_changes() { m_listener_handler.apply_changes(); }

    // --- Clipboard and paste -----------------------------------------------------------------

    virtual void set_clipboard(CoreString const& text) { _set_clipboard(text); }
    CoreString const& get_clipboard() const { return m_session.get_clipboard(); }
    // Header with which serialised clipboard data starts; empty in this class.
    virtual CoreString get_clipboard_serialization_header() const { return CoreString(); }
    // Text pasted into a widget (GuiWidget::paste); does nothing in this class.
    virtual void on_paste(GuiWidget& widget, CoreString const& text);

    // --- Session state ------------------------------------------------------------------------

    void add_recent_script_file(CoreString const& path) { m_session.add_recent_script_file(path); }
    CoreMostRecentSortedSet<CoreString> const& get_recent_script_files() const
    {
        return m_session.get_recent_script_files();
    }
    void clear_recent_script_files() { m_session.clear_recent_script_files(); }
    // Colours of views and swatches, components in 0..1.
    GMathVec3<double> const& get_background_color() const { return m_session.get_background_color(); }
    void set_background_color(GMathVec3<double> const& color) { m_session.set_background_color(color); }
    GMathVec3<double> const& get_foreground_color() const { return m_session.get_foreground_color(); }
    void set_foreground_color(GMathVec3<double> const& color) { m_session.set_foreground_color(color); }
    unsigned int const& get_max_log_widget_lines_number() const
    {
        return m_session.get_max_log_widget_lines_number();
    }
    void set_max_log_widget_lines_number(unsigned int const& count)
    {
        m_session.set_max_log_widget_lines_number(count);
    }
    // Scale of the interface fonts (preference "font_size").
    float const& get_font_size_factor() const { return m_session.get_font_size_factor(); }
    float const& get_image_view_overscan_opacity() const { return m_session.get_image_view_overscan_opacity(); }
    void set_image_view_overscan_opacity(float const& opacity) { m_session.set_image_view_overscan_opacity(opacity); }
    // Raises EVT_ID_APPLICATION_AUTO_EVAL_PAUSE (false, false), _PLAY (false, true),
    // _DEFAULT (true, false) or _REFRESH (true, true).
    void set_auto_eval_changed(bool const& a, bool const& b);

    // --- Viewports ----------------------------------------------------------------------------

    // Viewports register themselves while they exist (not owned), in creation order.
    void add_viewport(GuiViewport* viewport) { m_viewports.add(viewport); }
    void remove_viewport(GuiViewport* viewport) { m_viewports.remove(viewport); }
    CoreVector<GuiViewport*> const& get_viewports() const { return m_viewports.get_viewports(); }
    // Saves every viewport's automatic evaluation and switches it off; restore gives each
    // its saved flag back, in the same order (the viewport list must not change between the
    // two). Restoring without a save before gives the flags saved last.
    void disable_all_viewports_auto_evaluation() { m_viewports.disable_auto_evaluation(); }
    void restore_all_viewports_auto_evaluation() { m_viewports.restore_auto_evaluation(); }

    // --- Colour management -------------------------------------------------------------------

    // The view transform the interface shows linear colours through; a change remakes the
    // linear-to-display converter and redraws every window.
    bool set_default_view_transform(CoreString const& name) override;
    bool set_color_picker_color_space(CoreString const& name) override;
    // Linear (the configuration's working space) to the display through the default view
    // transform; made by on_start, null before.
    ColorIOConverter const* get_linear_to_default_converter() const { return m_color_management.get_converter(); }
    // The colour as the display shows it; unchanged while there is no converter.
    GMathVec3<float> convert_linear_to_default(GMathVec3<float> const& color) const
    {
        return m_color_management.convert(color);
    }

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
    static CoreString get_default_colortag_config_file_path()
    {
        return GuiAppPreferences::get_default_colortag_config_file_path();
    }
    static CoreString get_default_brush_preset_file_path()
    {
        return GuiAppPreferences::get_default_brush_preset_file_path();
    }
    // The path with "$VELMORA_BIN_DIR" replaced by the folder of the default configuration
    // files (the variable's value, or the installed resources).
    static CoreString expand_bin_dir(CoreString const& path) { return GuiAppPreferences::expand_bin_dir(path); }
    // Reads the colour tags ("color_tags" group, one group per tag with "tip", "weight" and
    // "color"); inconsistent tags are skipped with a warning. False when the file cannot be read.
    bool load_colortag_config_file(CoreString const& path) { return m_color_tags.load(path); }
    CoreVector<GuiColorTag> const& get_color_tags() const { return m_color_tags.get_tags(); }
    // --- Item editors --------------------------------------------------------------------------

    GuiAppItemEditors& get_item_editors() { return m_item_editors; }
    GuiAppItemEditors const& get_item_editors() const { return m_item_editors; }
    // Opens the item in its default editor, Alt passed along; false, with a warning, when no
    // editor opens it.
    bool open_default_widget(OfItem& item, bool const& alt = false) { return m_item_editors.open_default(item, alt); }
    // Opens the items in the named editor; false, with a warning, when it opens none of them.
    bool open_items_in_widget(CoreBasicArray<OfItem*> const& items, CoreString const& editor)
    {
        return m_item_editors.open_items(items, editor);
    }

    // The device the interface assumes, by the input device mode (a Gui::DeviceId).
    int get_input_device_type() const { return m_preferences.get_input_device_type(); }
    Gui::WindowsTabletApi const& get_windows_tablet_api() const { return m_session.get_windows_tablet_api(); }
    void set_windows_tablet_api(Gui::WindowsTabletApi const& api) { m_session.set_windows_tablet_api(api); }
    // Delay before a sub-menu opens, in milliseconds (preference "sub_menu_show_delay").
    int const& get_sub_menu_show_delay() const { return m_session.get_sub_menu_show_delay(); }

    size_t get_memory_size() const override;

protected:
    void _set_clipboard(CoreString const& text) { m_session.set_clipboard(text); }

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
    virtual AppDialog show_message_box(MessageBoxRequest& request) { return m_message_boxes.show(*this, request); }

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
    // Re-arms a repeating timer, or adds it again when it has fired without being re-armed.
    void rearm_timer(TimerId& id, TimerCallback callback, double const& delay);
    // Lets the toolkit handle events for up to `seconds`.
    void toolkit_wait(double const& seconds);
    static bool display_open();

    // Orchestration of the passes.
    bool m_idle_suspended = true;
    bool m_processing = false;
    bool m_events_blocked = false;
    // The focused widget the last focus event named; compared by address only.
    GuiWidget* m_focus_seen = nullptr;
    SysTimer m_last_pass_timer;
    TimerId m_idle_timer = 0;
    TimerId m_redraw_timer = 0;
    bool m_check_installed = false;
    bool m_system_handler_installed = false;
    bool m_toolkit_idle_armed = false;

    // The concerns, each in its own class.
    GuiAppQueues m_queues;
    GuiAppDeletion m_deletion;
    GuiAppProgress m_progress;
    GuiAppMessageBoxes m_message_boxes;
    GuiAppWindows m_windows;
    GuiAppColorScheme m_color_scheme;
    GuiAppPendingCallbackHandler m_listener_handler;
    GuiAppSession m_session;
    GuiAppViewports m_viewports;
    GuiAppColorManagement m_color_management;
    GuiAppPreferences m_preferences;
    GuiAppColorTags m_color_tags;
    GuiAppItemEditors m_item_editors;
    ColorDialogHandle m_color_dialog;
    std::unique_ptr<GuiImageHistory> m_image_history;
};
