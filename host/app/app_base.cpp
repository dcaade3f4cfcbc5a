#include "host/app/app_base.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_START);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_QUIT);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_PROGRESS_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_CURVE_SIZE_MODE_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_GIZMO_SIZE_CHANGED);

CORE_IMPLEMENT_CLASS(AppBase, EventObject)

namespace {

std::atomic<AppBase*> s_instance{nullptr};

}  // namespace

char const* AppBase::get_type_name(Type const& type)
{
    switch (type) {
    case TYPE_BATCH: return "TYPE_BATCH";
    case TYPE_CONSOLE: return "TYPE_CONSOLE";
    case TYPE_GUI: return "TYPE_GUI";
    case TYPE_COUNT: return "TYPE_COUNT";
    }
    return "TYPE_UNKNOWN";
}

char const* AppBase::get_curve_size_mode_name(CurveSizeMode const& mode)
{
    switch (mode) {
    case CURVE_SIZE_MODE_SMALL: return "CURVE_SIZE_MODE_SMALL";
    case CURVE_SIZE_MODE_MEDIUM: return "CURVE_SIZE_MODE_MEDIUM";
    case CURVE_SIZE_MODE_LARGE: return "CURVE_SIZE_MODE_LARGE";
    case CURVE_SIZE_MODE_COUNT: return "CURVE_SIZE_MODE_COUNT";
    }
    return "CURVE_SIZE_MODE_UNKNOWN";
}

char const* AppBase::get_curve_size_mode_label(CurveSizeMode const& mode)
{
    switch (mode) {
    case CURVE_SIZE_MODE_SMALL: return "Small";
    case CURVE_SIZE_MODE_MEDIUM: return "Medium";
    case CURVE_SIZE_MODE_LARGE: return "Large";
    case CURVE_SIZE_MODE_COUNT: break;
    }
    return "";
}

namespace {

// Name or label of a mode: texts[mode] in range, `other` outside.
template <typename Mode, size_t N>
char const* mode_text(Mode const& mode, char const* const (&texts)[N], char const* other)
{
    int const index = static_cast<int>(mode);
    return index >= 0 && index < static_cast<int>(N) ? texts[index] : other;
}

char const* const s_file_browser_names[] = {"FILE_BROWSER_MODE_NATIVE", "FILE_BROWSER_MODE_BUILT_IN",
                                            "FILE_BROWSER_MODE_COUNT"};
char const* const s_input_device_names[] = {"INPUT_DEVICE_MODE_AUTOMATIC", "INPUT_DEVICE_MODE_MOUSE",
                                            "INPUT_DEVICE_MODE_TABLET", "INPUT_DEVICE_MODE_COUNT"};
char const* const s_object_color_names[] = {"OBJECT_COLOR_MODE_CLASS", "OBJECT_COLOR_MODE_OBJECT",
                                            "OBJECT_COLOR_MODE_COUNT"};
char const* const s_file_browser_labels[] = {"Native", "Built-in"};
char const* const s_input_device_labels[] = {"Automatic", "Mouse", "Tablet"};
char const* const s_object_color_labels[] = {"Class", "Object"};

template <typename Mode>
bool set_mode(Mode& field, Mode const& mode, int const& count, char const* operation)
{
    if (mode < 0 || mode >= count) {
        CORE_LOG_WARNING("AppBase." << operation << ": unknown mode " << static_cast<int>(mode) << "\n");
        return false;
    }
    field = mode;
    return true;
}

}  // namespace

char const* AppBase::get_file_browser_mode_name(FileBrowserMode const& mode)
{
    return mode_text(mode, s_file_browser_names, "FILE_BROWSER_MODE_UNKNOWN");
}

char const* AppBase::get_input_device_mode_name(InputDeviceMode const& mode)
{
    return mode_text(mode, s_input_device_names, "INPUT_DEVICE_MODE_UNKNOWN");
}

char const* AppBase::get_object_color_mode_name(ObjectColorMode const& mode)
{
    return mode_text(mode, s_object_color_names, "OBJECT_COLOR_MODE_UNKNOWN");
}

char const* AppBase::get_file_browser_mode_label(FileBrowserMode const& mode)
{
    return mode_text(mode, s_file_browser_labels, "");
}

char const* AppBase::get_input_device_mode_label(InputDeviceMode const& mode)
{
    return mode_text(mode, s_input_device_labels, "");
}

char const* AppBase::get_object_color_mode_label(ObjectColorMode const& mode)
{
    return mode_text(mode, s_object_color_labels, "");
}

void AppBase::set_file_browser_mode(FileBrowserMode const& mode)
{
    set_mode(m_file_browser_mode, mode, FILE_BROWSER_MODE_COUNT, "set_file_browser_mode");
}

void AppBase::set_input_device_mode(InputDeviceMode const& mode)
{
    set_mode(m_input_device_mode, mode, INPUT_DEVICE_MODE_COUNT, "set_input_device_mode");
}

void AppBase::set_object_color_mode(ObjectColorMode const& mode)
{
    set_mode(m_object_color_mode, mode, OBJECT_COLOR_MODE_COUNT, "set_object_color_mode");
}

AppBase::AppBase(int argc, char** argv)
{
    if (argv) {
        for (int i = 0; i < argc; ++i) m_arguments.add(CoreString(argv[i] ? argv[i] : ""));
    }
    init();
}

AppBase::AppBase()
{
    init();
}

void AppBase::init()
{
    m_app_thread.store(std::this_thread::get_id());
    m_idle_watch.start();
    AppBase* expected = nullptr;
    if (!s_instance.compare_exchange_strong(expected, this)) {
        CORE_LOG_ERROR("AppBase.AppBase: an application object exists already; this one is not "
                       "the process's instance\n");
    }
}

AppBase::~AppBase()
{
    AppBase* expected = this;
    s_instance.compare_exchange_strong(expected, nullptr);
}

AppBase* AppBase::get_instance()
{
    return s_instance.load();
}

void AppBase::set_type(Type const& type)
{
    if (type < 0 || type >= TYPE_COUNT) {
        CORE_LOG_WARNING("AppBase.set_type: unknown type " << static_cast<int>(type) << "\n");
        return;
    }
    m_type = type;
}

// Timers --------------------------------------------------------------------------------

bool AppBase::check_delay(double const& delay, char const* operation) const
{
    if (std::isfinite(delay) && delay >= 0.0) return true;
    CORE_LOG_WARNING("AppBase." << operation << ": invalid delay " << delay << " s\n");
    return false;
}

void AppBase::arm_timer(TimerId const& id, Timer& timer, double const& delay)
{
    if (timer.waiting) m_queue.erase(QueueKey(timer.due, timer.sequence, id));
    timer.due = m_clock.get_elapsed_time() + delay;
    timer.sequence = m_next_sequence++;
    timer.waiting = true;
    m_queue.insert(QueueKey(timer.due, timer.sequence, id));
}

AppBase::TimerId AppBase::add_timer(TimerCallback callback, void* data, double const& delay)
{
    if (!callback) {
        CORE_LOG_WARNING("AppBase.add_timer: null callback\n");
        return 0;
    }
    if (!check_delay(delay, "add_timer")) return 0;
    TimerId id;
    {
        SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
        // Ids are not reused while a timer holds them, even after wrapping around.
        while (m_next_timer_id == 0 || m_timers.count(m_next_timer_id)) ++m_next_timer_id;
        id = m_next_timer_id++;
        Timer& timer = m_timers[id];
        timer.callback = callback;
        timer.data = data;
        arm_timer(id, timer, delay);
    }
    wake_up_from_other_thread();
    return id;
}

bool AppBase::repeat_timer(TimerId const& id, double const& delay)
{
    if (!check_delay(delay, "repeat_timer")) return false;
    {
        SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
        auto found = m_timers.find(id);
        if (found == m_timers.end() || found->second.removed) {
            guard.unlock();
            CORE_LOG_WARNING("AppBase.repeat_timer: timer " << id << " has fired or was removed\n");
            return false;
        }
        arm_timer(id, found->second, delay);
    }
    wake_up_from_other_thread();
    return true;
}

bool AppBase::repeat_timer(double const& delay)
{
    TimerId id = get_current_timer();
    if (id == 0) {
        CORE_LOG_WARNING("AppBase.repeat_timer: no timer callback is running on this thread\n");
        return false;
    }
    return repeat_timer(id, delay);
}

bool AppBase::remove_timer(TimerId const& id)
{
    std::unique_lock<SysThreadLock> lock(m_timer_lock);
    auto found = m_timers.find(id);
    if (found == m_timers.end()) return false;
    Timer& timer = found->second;
    if (timer.firing == 0) {
        // Not running: the timer was waiting, and now it is gone.
        if (timer.waiting) m_queue.erase(QueueKey(timer.due, timer.sequence, id));
        m_timers.erase(found);
        return true;
    }
    // Its callback runs: cancel any re-arming; the record goes when the callback returns.
    bool const removed_now = !timer.removed;
    if (timer.waiting) m_queue.erase(QueueKey(timer.due, timer.sequence, id));
    timer.waiting = false;
    timer.removed = true;
    // On another thread the callback may still be using its data, which the caller may free
    // once this returns: wait for it to return. Never on the application thread, where the
    // callback is further up this very stack.
    if (!is_app_thread()) {
        m_timer_returned.wait(lock, [this, id] {
            auto running = m_timers.find(id);
            return running == m_timers.end() || running->second.firing == 0;
        });
    }
    return removed_now;
}

bool AppBase::has_timer(TimerId const& id) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
    auto found = m_timers.find(id);
    return found != m_timers.end() && found->second.waiting;
}

AppBase::TimerId AppBase::get_current_timer() const
{
    if (!is_app_thread() || m_current_timers.is_empty()) return 0;
    return m_current_timers.get_last();
}

unsigned int AppBase::get_timer_count() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
    return static_cast<unsigned int>(m_queue.size());
}

double AppBase::get_time_to_next_timer() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
    if (m_queue.empty()) return -1.0;
    return std::max(0.0, std::get<0>(*m_queue.begin()) - m_clock.get_elapsed_time());
}

AppBase::TimerId AppBase::take_due_timer(double const& now, std::uint64_t const& sequence_limit, Timer& out)
{
    SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
    for (auto key = m_queue.begin(); key != m_queue.end() && std::get<0>(*key) <= now; ++key) {
        if (std::get<1>(*key) >= sequence_limit) continue;  // armed during this pass
        TimerId id = std::get<2>(*key);
        Timer& timer = m_timers[id];
        m_queue.erase(key);
        timer.waiting = false;
        ++timer.firing;
        out = timer;
        return id;
    }
    return 0;
}

unsigned int AppBase::process_timers()
{
    if (!is_app_thread()) {
        CORE_LOG_WARNING("AppBase.process_timers: timers only run on the application thread\n");
        return 0;
    }
    double now = m_clock.get_elapsed_time();
    std::uint64_t sequence_limit;
    {
        SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
        sequence_limit = m_next_sequence;
    }
    unsigned int fired = 0;
    Timer timer{};
    while (TimerId id = take_due_timer(now, sequence_limit, timer)) {
        m_current_timers.add(id);
        timer.callback(timer.data);
        m_current_timers.remove(m_current_timers.get_count() - 1);
        ++fired;

        SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
        auto found = m_timers.find(id);
        if (found != m_timers.end() && --found->second.firing == 0) {
            if (!found->second.waiting) m_timers.erase(found);
            m_timer_returned.notify_all();  // remove_timer calls of other threads wait for this
        }
    }
    return fired;
}

// Run loop ------------------------------------------------------------------------------

void AppBase::run()
{
    if (m_running.load()) {
        CORE_LOG_WARNING("AppBase.run: the application is running already\n");
        return;
    }
    m_app_thread.store(std::this_thread::get_id());
    m_running.store(true);
    on_start();
    while (!m_quitting.load()) {
        process_timers();
        if (m_quitting.load()) break;
        double timeout = get_time_to_next_timer();
        if (timeout < 0.0 || timeout > m_max_wait_time) timeout = m_max_wait_time;
        on_wait(timeout);
    }
    on_quit();
    m_running.store(false);
    m_quitting.store(false);
}

void AppBase::quit()
{
    m_quitting.store(true);
    wake_up();
}

void AppBase::wake_up()
{
    {
        std::lock_guard<std::mutex> guard(m_wake_mutex);
        m_wake_requested = true;
    }
    m_wake_condition.notify_all();
}

void AppBase::wake_up_from_other_thread()
{
    // On the application thread the loop is busy running this code and recomputes its wait
    // before waiting again.
    if (!is_app_thread()) wake_up();
}

void AppBase::set_max_wait_time(double const& seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0) {
        CORE_LOG_WARNING("AppBase.set_max_wait_time: invalid time " << seconds << " s\n");
        return;
    }
    m_max_wait_time = seconds;
}

void AppBase::on_start()
{
    raise_event(EVT_ID_APPLICATION_START);
}

void AppBase::on_wait(double const& timeout)
{
    std::unique_lock<std::mutex> lock(m_wake_mutex);
    m_wake_condition.wait_for(lock, std::chrono::duration<double>(timeout),
                              [this] { return m_wake_requested; });
    m_wake_requested = false;
}

void AppBase::on_quit()
{
    raise_event(EVT_ID_APPLICATION_QUIT);
}

void AppBase::check_for_events()
{
    if (m_checking_events || !is_app_thread()) return;
    m_checking_events = true;
    process_timers();
    m_checking_events = false;
}

void AppBase::progress_update()
{
    flush_progress_bars();
    check_for_events();
}

// States --------------------------------------------------------------------------------

void AppBase::update_nesting(std::atomic<int>& count, bool const& on, char const* operation)
{
    if (on) {
        ++count;
        return;
    }
    int current = count.load();
    while (current > 0 && !count.compare_exchange_weak(current, current - 1)) {
    }
    if (current <= 0) CORE_LOG_WARNING("AppBase." << operation << ": false without a matching true\n");
}

void AppBase::set_busy(bool const& busy)
{
    update_nesting(m_busy_count, busy, "set_busy");
}

void AppBase::set_blocking(bool const& blocking)
{
    update_nesting(m_blocking_count, blocking, "set_blocking");
}

// Progress ------------------------------------------------------------------------------

void AppBase::set_progress(CoreString const& label, double const& fraction)
{
    double clamped = std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
    SysThreadLockGuard<SysThreadLock> guard(m_progress_lock);
    if (m_progress_active && m_progress_label == label && m_progress_fraction == clamped) return;
    m_progress_label = label;
    m_progress_fraction = clamped;
    m_progress_active = true;
    m_progress_changed = true;
}

void AppBase::end_progress()
{
    SysThreadLockGuard<SysThreadLock> guard(m_progress_lock);
    if (!m_progress_active) return;
    m_progress_active = false;
    m_progress_label = CoreString();
    m_progress_fraction = 0.0;
    m_progress_changed = true;
}

bool AppBase::get_progress(CoreString& label, double& fraction) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_progress_lock);
    if (!m_progress_active) return false;
    label = m_progress_label;
    fraction = m_progress_fraction;
    return true;
}

void AppBase::flush_progress_bars()
{
    if (!is_app_thread()) return;
    {
        SysThreadLockGuard<SysThreadLock> guard(m_progress_lock);
        if (!m_progress_changed) return;
        m_progress_changed = false;
    }
    raise_event(EVT_ID_APPLICATION_PROGRESS_CHANGED);
}

// Interface -----------------------------------------------------------------------------

AppDialog AppBase::message_box(CoreString const& message, CoreString const& title,
                               AppDialog const& default_value, int const&, int*,
                               CoreVector<CoreString> const&)
{
    CORE_LOG_INFO("AppBase.message_box: " << title << ": " << message << "\n");
    return default_value;
}

void AppBase::set_curve_size_mode(CurveSizeMode const& mode)
{
    if (mode < 0 || mode >= CURVE_SIZE_MODE_COUNT) {
        CORE_LOG_WARNING("AppBase.set_curve_size_mode: unknown mode " << static_cast<int>(mode) << "\n");
        return;
    }
    if (mode == m_curve_size_mode) return;
    m_curve_size_mode = mode;
    raise_event(EVT_ID_APPLICATION_CURVE_SIZE_MODE_CHANGED);
}

void AppBase::set_gizmo_size(double const& size)
{
    if (!(size >= GIZMO_SIZE_MIN && size <= GIZMO_SIZE_MAX)) {
        CORE_LOG_WARNING("AppBase.set_gizmo_size: " << size << " is outside " << GIZMO_SIZE_MIN << " to "
                                                    << GIZMO_SIZE_MAX << "\n");
        return;
    }
    if (size == m_gizmo_size) return;
    m_gizmo_size = size;
    raise_event(EVT_ID_APPLICATION_GIZMO_SIZE_CHANGED);
}

size_t AppBase::get_memory_size() const
{
    size_t size = EventObject::get_memory_size() + sizeof(*this) - sizeof(EventObject) - sizeof(m_main_menu)
                  + m_main_menu.get_memory_size();
    for (CoreString const& argument : m_arguments) size += sizeof(CoreString) + argument.get_length();
    SysThreadLockGuard<SysThreadLock> guard(m_timer_lock);
    size += m_timers.size() * (sizeof(TimerId) + sizeof(Timer)) + m_queue.size() * sizeof(QueueKey);
    return size;
}
