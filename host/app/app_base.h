#pragma once
// The application object's base, independent of the scene: arguments, one-shot timers, the
// run loop, busy and blocking states, progress reporting, message boxes, the main menu and
// a few interface settings. The scene application derives from it, and the interface's
// application from that.
//
//     void on_tick(void* data)
//     {
//         ...
//         AppBase::get_instance()->repeat_timer(0.016);  // fire again in 16 ms
//     }
//     app.add_timer(&on_tick, nullptr, 0.1);
//     app.run();                                        // until app.quit()
//
// Durations are in seconds (double), as everywhere in the host.
//
// Threading: the application thread is the thread that made the object, and the one that
// calls run() once it does. Timer callbacks always run there. add_timer, remove_timer,
// repeat_timer(id, delay), wake_up, quit, set_busy, set_blocking, set_progress, end_progress
// and the getters of those states are safe from any thread; everything else belongs to the
// application thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "host/app/app_dialog.h"
#include "host/app/app_main_menu.h"
#include "host/core/core_export.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"
#include "host/event/event_id.h"
#include "host/event/event_object.h"
#include "host/sys/sys_thread_lock.h"
#include "host/sys/sys_timer.h"

// Raised by on_start, when the run loop begins.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_START);
// Raised by on_quit, when the run loop has ended.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_QUIT);
// Raised by flush_progress_bars when the progress changed since the last flush.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_PROGRESS_CHANGED);
// Raised when set_curve_size_mode changes the mode.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_CURVE_SIZE_MODE_CHANGED);
// Raised when set_gizmo_size changes the size.
EVENT_DECLARE_ID(QN_HOST_API, EVT_ID_APPLICATION_GIZMO_SIZE_CHANGED);

// The process's application object, less what concerns the scene.
class QN_HOST_API AppBase : public EventObject {
    CORE_DECLARE_CLASS(AppBase, EventObject)

public:
    // What kind of program runs the application.
    enum Type : int {
        TYPE_BATCH = 0,    // no user interaction
        TYPE_CONSOLE = 1,  // interactive, on a command line
        TYPE_GUI = 2,      // windowed interface
        TYPE_COUNT
    };
    // How thick the curve editors draw curves.
    enum CurveSizeMode : int {
        CURVE_SIZE_MODE_SMALL,
        CURVE_SIZE_MODE_MEDIUM,
        CURVE_SIZE_MODE_LARGE,
        CURVE_SIZE_MODE_COUNT
    };
    // Which file dialog the interface opens.
    enum FileBrowserMode : int {
        FILE_BROWSER_MODE_NATIVE,    // the platform's file chooser
        FILE_BROWSER_MODE_BUILT_IN,  // the application's own file browser
        FILE_BROWSER_MODE_COUNT
    };
    // Which pointing device the interface assumes for pressure and tilt.
    enum InputDeviceMode : int {
        INPUT_DEVICE_MODE_AUTOMATIC,  // as the events report it
        INPUT_DEVICE_MODE_MOUSE,      // always a mouse
        INPUT_DEVICE_MODE_TABLET,     // a pen, even when the events say mouse
        INPUT_DEVICE_MODE_COUNT
    };
    // Where the interface takes the colour of a scene object from.
    enum ObjectColorMode : int {
        OBJECT_COLOR_MODE_CLASS,   // its class's colour
        OBJECT_COLOR_MODE_OBJECT,  // its own colour tag
        OBJECT_COLOR_MODE_COUNT
    };
    // The constants' names ("TYPE_GUI"), "..._COUNT", or "..._UNKNOWN".
    static char const* get_type_name(Type const& type);
    static char const* get_file_browser_mode_name(FileBrowserMode const& mode);
    static char const* get_input_device_mode_name(InputDeviceMode const& mode);
    static char const* get_object_color_mode_name(ObjectColorMode const& mode);
    // Labels for preferences ("Native", "Built-in"; "Automatic", "Mouse", "Tablet"; "Class",
    // "Object"); an empty text for other values.
    static char const* get_file_browser_mode_label(FileBrowserMode const& mode);
    static char const* get_input_device_mode_label(InputDeviceMode const& mode);
    static char const* get_object_color_mode_label(ObjectColorMode const& mode);
    static char const* get_curve_size_mode_name(CurveSizeMode const& mode);
    // "Small", "Medium", "Large"; an empty text for other values.
    static char const* get_curve_size_mode_label(CurveSizeMode const& mode);

    // Gizmo sizes outside this range are refused.
    static constexpr double GIZMO_SIZE_MIN = 0.0;
    static constexpr double GIZMO_SIZE_MAX = 10.0;

    // Timer callbacks get the data given to add_timer.
    using TimerCallback = void (*)(void* data);
    // Timer ids start at 1; 0 is never a timer.
    using TimerId = unsigned int;

    // Keeps all the arguments, the program name (argv[0]) included.
    AppBase(int argc, char** argv);
    AppBase();
    ~AppBase() override;
    AppBase(AppBase const&) = delete;
    AppBase& operator=(AppBase const&) = delete;

    // The application object of the process: the first one made and not yet destroyed. A
    // second one logs an error and is not registered.
    static AppBase* get_instance();

    CoreVector<CoreString> const& get_arguments() const { return m_arguments; }
    Type const& get_type() const { return m_type; }
    void set_type(Type const& type);

    // Timers ----------------------------------------------------------------------------

    // Calls `callback(data)` once, on the application thread, `delay` seconds from now (or
    // later: timers fire when the run loop, check_for_events or process_timers gets to
    // them). Returns the timer's id, or 0 (logged) for a null callback or a negative delay.
    // From another thread, the run loop is woken so it takes the new timer into account.
    TimerId add_timer(TimerCallback callback, void* data, double const& delay);
    // Arms the timer again to fire `delay` seconds from now, keeping its id, callback and
    // data. Works on a timer that is waiting (it is rescheduled) or whose callback is
    // running (typically from inside it). Returns false (logged) for a timer that has fired
    // and was not re-armed, or was removed.
    bool repeat_timer(TimerId const& id, double const& delay);
    // The same for the timer whose callback is running; logged and false outside a timer
    // callback (and on other threads).
    bool repeat_timer(double const& delay);
    // Cancels a waiting timer, or the re-arming of one whose callback runs. Returns false,
    // quietly, when the timer is unknown (removing a timer that has fired is common).
    // Called from another thread while the timer's callback runs, it waits until the callback
    // has returned: once remove_timer returns there, the callback is not running and will not
    // run again, so the caller may free the timer's data (that callback must not wait for the
    // calling thread meanwhile). On the application thread, from inside the callback or a
    // callback it nests, it only cancels the re-arming and returns at once.
    bool remove_timer(TimerId const& id);
    bool has_timer(TimerId const& id) const;
    // The timer whose callback is running on the application thread (the innermost one
    // when callbacks nest), or 0.
    TimerId get_current_timer() const;
    unsigned int get_timer_count() const;
    // Seconds until the earliest waiting timer is due (0 when one is late); -1 when none.
    double get_time_to_next_timer() const;
    // Milliseconds since the application object was made, on the clock timers run by:
    // what animations measure their progress with.
    double get_run_time() const { return m_clock.get_elapsed_time() * 1000.0; }
    // Fires, in due order, the timers that are due and were armed before this call; timers
    // armed by their callbacks wait for the next call, so this always returns. Calls may
    // nest (a callback running a modal loop). Returns how many fired. On another thread it
    // logs a warning and fires nothing.
    unsigned int process_timers();

    // Run loop --------------------------------------------------------------------------

    // Runs until quit(): on_start() once; then, until quitting, process_timers() and
    // on_wait(time to the next timer, at most get_max_wait_time()); then on_quit() once. A
    // quit() asked before run() lets on_start and on_quit run and returns at once. The
    // quit request is consumed when run() returns. Nested calls are refused (logged).
    void run();
    // Asks the run loop to end after the current pass; safe from any thread and callbacks.
    virtual void quit();
    // True from the start of run() to the end of on_quit().
    bool is_running() const { return m_running.load(); }
    // True from quit() to the end of run().
    bool is_quitting() const { return m_quitting.load(); }
    // Interrupts on_wait; safe from any thread. A wake-up that comes while the loop is not
    // waiting makes its next wait return at once, so none is lost.
    virtual void wake_up();
    // The longest on_wait the run loop asks for when no timer is due sooner (0.1 s).
    double const& get_max_wait_time() const { return m_max_wait_time; }
    void set_max_wait_time(double const& seconds);

    // Processes what is due without blocking (the base fires due timers) and returns. A call
    // made while one is in progress, or from another thread, returns at once.
    virtual void check_for_events();
    // Called during long work to keep the interface alive; the base flushes the progress
    // and checks for events.
    virtual void progress_update();

    // The thread timers run on: the one that made the object, or that called run().
    bool is_app_thread() const { return std::this_thread::get_id() == m_app_thread.load(); }

    // Busy (evaluating, loading) and blocking (event processing must not run) states. Each
    // set(true) must be matched by a set(false); they nest. An unmatched set(false) is
    // logged and ignored.
    void set_busy(bool const& busy);
    bool is_busy() const { return m_busy_count.load() > 0; }
    void set_blocking(bool const& blocking);
    bool is_blocking() const { return m_blocking_count.load() > 0; }

    // Progress of the current long task, reported from any thread; the interface shows it
    // when flush_progress_bars raises EVT_ID_APPLICATION_PROGRESS_CHANGED. The fraction is
    // clamped to 0..1.
    void set_progress(CoreString const& label, double const& fraction);
    void end_progress();
    // False when no task is in progress (then `label` and `fraction` are left alone).
    bool get_progress(CoreString& label, double& fraction) const;
    // On the application thread, raises EVT_ID_APPLICATION_PROGRESS_CHANGED once if the
    // progress changed since the last flush; elsewhere does nothing.
    void flush_progress_bars();

    // Time since the user's last input; the interface resets it on every input event.
    SysWatch& get_application_idle_watch() { return m_idle_watch; }

    // Interface -------------------------------------------------------------------------

    // Whether the interface accepts input; the base stores a flag.
    virtual void enable() { m_enabled = true; }
    virtual void disable() { m_enabled = false; }
    virtual bool const& is_enabled() const { return m_enabled; }

    // Asks the user; `style` is an AppDialog::Style, `geometry` an optional x, y, w, h of
    // the box, `list` optional lines shown in it. The base, having no interface, logs the
    // title and message at level 3 and returns `default_value`.
    virtual AppDialog message_box(CoreString const& message, CoreString const& title,
                                  AppDialog const& default_value, int const& style = AppDialog::STYLE_OK,
                                  int* geometry = nullptr,
                                  CoreVector<CoreString> const& list = CoreVector<CoreString>());

    CurveSizeMode const& get_curve_size_mode() const { return m_curve_size_mode; }
    // Logs and ignores values out of the enumeration.
    void set_curve_size_mode(CurveSizeMode const& mode);
    // Scale of the viewport gizmos, 1 by default.
    FileBrowserMode const& get_file_browser_mode() const { return m_file_browser_mode; }
    InputDeviceMode const& get_input_device_mode() const { return m_input_device_mode; }
    ObjectColorMode const& get_object_color_mode() const { return m_object_color_mode; }
    // Out-of-range modes are refused with a warning.
    void set_file_browser_mode(FileBrowserMode const& mode);
    void set_input_device_mode(InputDeviceMode const& mode);
    void set_object_color_mode(ObjectColorMode const& mode);
    double const& get_gizmo_size() const { return m_gizmo_size; }
    // Logs and ignores values outside GIZMO_SIZE_MIN to GIZMO_SIZE_MAX.
    void set_gizmo_size(double const& size);

    // The application's main menu description.
    AppMainMenu& get_main_menu() { return m_main_menu; }
    AppMainMenu const& get_main_menu() const { return m_main_menu; }

    size_t get_memory_size() const override;

protected:
    // Called by run() before the loop; the base raises EVT_ID_APPLICATION_START.
    virtual void on_start();
    // Waits up to `timeout` seconds for something to do; the base sleeps until wake_up()
    // (timers added from other threads and quit() call it). Interfaces override it with the
    // toolkit's wait, and then also override wake_up.
    virtual void on_wait(double const& timeout);
    // Called by run() after the loop; the base raises EVT_ID_APPLICATION_QUIT.
    virtual void on_quit();

private:
    struct Timer {
        TimerCallback callback;
        void* data;
        double due;
        std::uint64_t sequence;      // arming order: ties of due times, and the pass limit
        unsigned int firing = 0;     // callbacks of this timer running (nested passes)
        bool waiting = false;        // in the queue
        bool removed = false;        // removed while its callback runs: no re-arming
    };
    using QueueKey = std::tuple<double, std::uint64_t, TimerId>;

    void init();
    // Puts the timer in the queue, due `delay` seconds from now. Called under the lock.
    void arm_timer(TimerId const& id, Timer& timer, double const& delay);
    // Takes the first timer that is due at `now` and was armed before `sequence_limit` out
    // of the queue; 0 when there is none.
    TimerId take_due_timer(double const& now, std::uint64_t const& sequence_limit, Timer& out);
    bool check_delay(double const& delay, char const* operation) const;
    // Wakes the run loop when called from another thread.
    void wake_up_from_other_thread();
    static void update_nesting(std::atomic<int>& count, bool const& on, char const* operation);

    CoreVector<CoreString> m_arguments;
    Type m_type = TYPE_BATCH;
    std::atomic<std::thread::id> m_app_thread;

    // Timers: the table and the due-ordered queue, guarded by m_timer_lock.
    mutable SysThreadLock m_timer_lock;
    // Notified when a timer's callback returns (its firing count drops to 0).
    std::condition_variable_any m_timer_returned;
    std::unordered_map<TimerId, Timer> m_timers;
    std::set<QueueKey> m_queue;
    TimerId m_next_timer_id = 1;
    std::uint64_t m_next_sequence = 0;
    SysTimer m_clock;
    CoreVector<TimerId> m_current_timers;  // application thread only

    // Run loop.
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_quitting{false};
    std::mutex m_wake_mutex;
    std::condition_variable m_wake_condition;
    bool m_wake_requested = false;  // guarded by m_wake_mutex
    double m_max_wait_time = 0.1;
    bool m_checking_events = false;

    std::atomic<int> m_busy_count{0};
    std::atomic<int> m_blocking_count{0};

    // Progress, guarded by m_progress_lock.
    mutable SysThreadLock m_progress_lock;
    CoreString m_progress_label;
    double m_progress_fraction = 0.0;
    bool m_progress_active = false;
    bool m_progress_changed = false;

    SysWatch m_idle_watch;
    bool m_enabled = true;
    CurveSizeMode m_curve_size_mode = CURVE_SIZE_MODE_MEDIUM;
    double m_gizmo_size = 1.0;
    FileBrowserMode m_file_browser_mode = FILE_BROWSER_MODE_NATIVE;
    InputDeviceMode m_input_device_mode = INPUT_DEVICE_MODE_AUTOMATIC;
    ObjectColorMode m_object_color_mode = OBJECT_COLOR_MODE_CLASS;
    AppMainMenu m_main_menu;
};
