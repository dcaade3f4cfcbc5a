#include "gui/core/gui_app.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "gui/core/gui_image_history.h"
#include "gui/core/gui_pointer_sync.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_IDLE);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_PAUSE);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_PLAY);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_REFRESH);

CORE_IMPLEMENT_CLASS(GuiApp, AppObject)

namespace {

constexpr double PASS_INTERVAL = 0.016;
constexpr double IDLE_INTERVAL = 0.150;
constexpr double FIRST_DELAY = 0.100;
constexpr double CHECK_BUDGET = 0.016;
constexpr double TOOLKIT_WAIT = 0.001;
constexpr double DISABLE_AFTER = 0.250;

std::atomic<GuiApp*> s_instance{nullptr};

std::vector<GuiApp::ReleaseHook>& release_hooks()
{
    static std::vector<GuiApp::ReleaseHook> hooks;
    return hooks;
}

}  // namespace

// Construction ---------------------------------------------------------------------------------

GuiApp::GuiApp(int argc, char** argv) : AppObject(argc, argv), m_color_scheme(*this), m_preferences(*this, m_session)
{
    init();
}

GuiApp::GuiApp() : AppObject(), m_color_scheme(*this), m_preferences(*this, m_session)
{
    init();
}

void GuiApp::init()
{
    GuiApp* expected = nullptr;
    if (!s_instance.compare_exchange_strong(expected, this))
        CORE_LOG_ERROR("GuiApp: an interface application exists already; the first one stays the instance\n");
    set_type(TYPE_GUI);
    m_idle_suspended = true;
    m_processing = false;
    m_events_blocked = false;
    if (Gui::open_display()) {
        Fl::visual(FL_RGB);
        GuiPointerSync::install();
        // Enables Fl::awake, through which other threads wake the event loop.
        Fl::lock();
    } else {
        CORE_LOG_ERROR("GuiApp: no X display could be opened (is DISPLAY set?); windows cannot be shown\n");
    }
    set_color_scheme(GuiColorScheme::get_scheme(GuiColorScheme::SCHEME_DARK));
    m_image_history = std::make_unique<GuiImageHistory>(&get_factory());
    m_idle_timer = add_timer(&GuiApp::on_idle, this, FIRST_DELAY);
    m_redraw_timer = add_timer(&GuiApp::launch_pending_redraws, this, FIRST_DELAY);
}

void GuiApp::add_release_hook(ReleaseHook hook)
{
    if (hook && std::find(release_hooks().begin(), release_hooks().end(), hook) == release_hooks().end())
        release_hooks().push_back(hook);
}

GuiApp::~GuiApp()
{
    for (ReleaseHook hook : release_hooks()) hook();
    remove_timer(m_idle_timer);
    remove_timer(m_redraw_timer);
    if (m_check_installed) Fl::remove_check(&GuiApp::check_events, this);
    if (m_system_handler_installed) Fl::remove_system_handler(&GuiApp::on_system_event);
    if (m_toolkit_idle_armed) Fl::remove_idle(&GuiApp::on_toolkit_idle, this);
    // While every member is still there: deleted widgets call back into the application.
    delete_queued_objects();
    GuiApp* expected = this;
    s_instance.compare_exchange_strong(expected, nullptr);
}

GuiApp* GuiApp::get_gui_instance()
{
    return s_instance.load();
}

size_t GuiApp::get_memory_size() const
{
    return AppObject::get_memory_size() + sizeof(GuiApp) - sizeof(AppObject) +
           (get_windows().get_count() + m_deletion.get_widget_count() + m_deletion.get_object_count()) *
               sizeof(void*) +
           (get_pending_redraw_count() + get_pending_update_count()) * 2 * sizeof(void*) +
           m_session.get_memory_size();
}

// Queues and deferred deletion ---------------------------------------------------------------------

void GuiApp::forget_widget(GuiWidget* widget)
{
    m_queues.forget(widget);
    m_deletion.forget(widget);
    // A new widget at the same address must still count as a focus change.
    if (m_focus_seen == widget) m_focus_seen = nullptr;
}

void GuiApp::destroy(GuiWidget* widget)
{
    if (!m_deletion.add_widget(widget)) return;
    if (widget->is_kindof(GuiWindow::class_info())) remove_window(static_cast<GuiWindow*>(widget));
}

// Passes ---------------------------------------------------------------------------------------------------

void GuiApp::rearm_timer(TimerId& id, TimerCallback callback, double const& delay)
{
    if (id != 0 && has_timer(id) && repeat_timer(id, delay)) return;
    id = add_timer(callback, this, delay);
}

void GuiApp::process_pending()
{
    if (m_processing) return;
    m_processing = true;
    apply_listener_changes();
    flush_progress_bars();
    // Before the redraw lists are taken: listeners usually redraw what marks the focus.
    if (GuiWidget* focused = GuiWidget::get_focused_widget(); focused != m_focus_seen) {
        m_focus_seen = focused;
        EventInfo info(EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED, focused);
        raise_event(info);
    }
    m_queues.work_off();
    raise_event(EVT_ID_APPLICATION_IDLE);
    if (!is_blocking()) rearm_timer(m_redraw_timer, &GuiApp::launch_pending_redraws, PASS_INTERVAL);
    m_last_pass_timer.reset();
    if (m_progress.take_reenable_pending()) {
        enable();
        GuiAppWindows::set_cursor(Gui::MOUSE_CURSOR_DEFAULT);
    }
    m_processing = false;
}

void GuiApp::launch_pending_redraws(void* data)
{
    static_cast<GuiApp*>(data)->process_pending();
}

void GuiApp::idle_pass()
{
    // The timers re-arm whatever happens, so that a nested loop in a pass, or a blocking
    // period that skipped the redraw timer, never stops the passes for good.
    rearm_timer(m_idle_timer, &GuiApp::on_idle, IDLE_INTERVAL);
    if (m_redraw_timer == 0 || !has_timer(m_redraw_timer))
        m_redraw_timer = add_timer(&GuiApp::launch_pending_redraws, this, PASS_INTERVAL);
    if (m_processing) return;
    m_processing = true;
    // Widgets destroyed by a handler still running (in a nested loop) wait for its return.
    if (!m_idle_suspended && !is_handling_event()) delete_queued_objects();
    apply_listener_changes();
    m_processing = false;
}

void GuiApp::on_idle(void* data)
{
    static_cast<GuiApp*>(data)->idle_pass();
}

void GuiApp::check_events(void* data)
{
    GuiApp* app = static_cast<GuiApp*>(data);
    if (app->m_events_blocked || app->is_blocking()) return;
    app->AppObject::check_for_events();
}

void GuiApp::toolkit_wait(double const& seconds)
{
    if (display_open())
        Fl::wait(seconds);
    else
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool GuiApp::display_open()
{
    return Gui::open_display();
}

void GuiApp::check_for_events(bool const& process)
{
    if (!is_app_thread()) return;
    if (is_busy()) {
        bool const blocked = m_events_blocked;
        m_idle_suspended = process;
        m_events_blocked = !process;
        toolkit_wait(TOOLKIT_WAIT);
        process_pending();
        m_events_blocked = blocked;
        m_idle_suspended = false;
        return;
    }
    SysTimer budget;
    while (budget.get_elapsed_time() < CHECK_BUDGET) {
        std::this_thread::yield();
        // Due timers fire here too: the toolkit's check hook exists only once the run loop
        // has started, and modal loops run before that as well. A modal loop opened by a
        // timer fires the timers due meanwhile (timer passes nest).
        process_timers();
        if (!m_processing) process_pending();
        toolkit_wait(TOOLKIT_WAIT);
    }
}

// Long computations ------------------------------------------------------------------------------------------

void GuiApp::progress_update()
{
    // Only the application thread may touch the toolkit and the widgets: other threads'
    // requests leave their redraws to the next pass.
    if (!is_app_thread()) return;
    if (!m_progress.begin()) return;
    flush_progress_bars();
    m_queues.work_off_redraws();
    bool const toolkit_shown = display_open() && Fl::first_window();
    if (toolkit_shown) {
        m_events_blocked = true;
        if (is_enabled() && m_last_pass_timer.get_elapsed_time() > DISABLE_AFTER) {
            disable();
            GuiAppWindows::set_cursor(Gui::MOUSE_CURSOR_WAIT);
            m_progress.set_reenable_pending();
            if (!m_toolkit_idle_armed) {
                Fl::add_idle(&GuiApp::on_toolkit_idle, this);
                m_toolkit_idle_armed = true;
            }
        }
        Fl::flush();
        if (!is_enabled()) Fl::wait(TOOLKIT_WAIT);
        m_events_blocked = false;
    }
    m_progress.end(toolkit_shown);
}

// Message boxes and interface state ---------------------------------------------------------------------------

AppDialog GuiApp::message_box(CoreString const& message, CoreString const& title, AppDialog const& default_value,
                              int const& style, int* geometry, CoreVector<CoreString> const& list)
{
    return GuiAppMessageBoxes::ask(*this, message, title, default_value, style, geometry, list);
}

void GuiApp::enable()
{
    if (is_enabled()) return;
    AppObject::enable();
    m_windows.redraw_all();
}

void GuiApp::disable()
{
    if (!is_enabled()) return;
    AppObject::disable();
    m_windows.redraw_all();
}

// Windows and colour scheme ---------------------------------------------------------------------------------------

GuiWindow* GuiApp::get_event_window() const
{
    GuiWidget* widget = GuiWidget::get_last_event_widget();
    return widget ? static_cast<GuiWindow*>(widget->get_window()) : nullptr;
}

GuiWindow* GuiApp::create_window(int const& x, int const& y, int const& w, int const& h, CoreString const& title)
{
    return new GuiWindow(*this, x, y, w, h, title);
}

void GuiApp::set_color_scheme(GuiColorScheme const& scheme)
{
    m_color_scheme.set(scheme);
    update_color_scheme(m_color_scheme.get());
}

void GuiApp::update_color_scheme(GuiColorScheme const& scheme)
{
    GuiAppColorScheme::apply_to_toolkit(scheme);
    m_windows.update_color_scheme(scheme);
}

// Mouse listeners and paste -----------------------------------------------------------------------------------------

void GuiApp::add_mouse_listener(MouseListener callback, void* data)
{
    if (!callback) {
        CORE_LOG_WARNING("GuiApp.add_mouse_listener: a null callback is ignored\n");
        return;
    }
    m_listener_handler.add(callback, data);
}

void GuiApp::on_paste(GuiWidget&, CoreString const&) {}

// Session -------------------------------------------------------------------------------------------------------------

void GuiApp::set_auto_eval_changed(bool const& a, bool const& b)
{
    if (a)
        raise_event(b ? EVT_ID_APPLICATION_AUTO_EVAL_REFRESH : EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT);
    else
        raise_event(b ? EVT_ID_APPLICATION_AUTO_EVAL_PLAY : EVT_ID_APPLICATION_AUTO_EVAL_PAUSE);
}

bool GuiApp::set_default_view_transform(CoreString const& name)
{
    if (!AppObject::set_default_view_transform(name)) return false;
    if (m_color_management.set_view_transform(get_default_view_transform())) m_windows.redraw_all();
    return true;
}

bool GuiApp::set_color_picker_color_space(CoreString const& name)
{
    return AppObject::set_color_picker_color_space(name);
}

CoreString GuiApp::open_file(CoreString const& start_path, CoreString const& title, CoreString const& filters)
{
    return GuiWidget::open_file(*this, start_path, title, filters);
}

size_t GuiApp::get_widgets_memory_size() const
{
    unsigned int count = 0;
    size_t memory = 0;
    m_windows.count_widgets(count, memory);
    return memory;
}

CoreString GuiApp::get_statistics() const
{
    unsigned int count = 0;
    size_t memory = 0;
    m_windows.count_widgets(count, memory);
    CoreString text = AppObject::get_statistics();
    text += "windows: ";
    text += get_windows().get_count();
    text += "\nwidgets: ";
    text += count;
    text += "\nwidgets memory (KiB): ";
    text += static_cast<unsigned long>(memory / 1024);
    text += "\n";
    return text;
}

// Preferences ---------------------------------------------------------------------------------------------------------

bool GuiApp::populate_prefs()
{
    if (!AppObject::populate_prefs()) return false;
    m_preferences.populate();
    return true;
}

void GuiApp::set_preferences()
{
    AppObject::set_preferences();
    m_preferences.apply_loaded();
}

bool GuiApp::gui_app_prefs_attribute_change(AppCategoryPreferences&, AppItemPreferences& item, void* data)
{
    return static_cast<GuiApp*>(data)->on_gui_app_prefs_attribute_change(item);
}

bool GuiApp::on_gui_app_prefs_attribute_change(AppItemPreferences& item)
{
    return m_preferences.apply_change(item);
}

// Run loop ----------------------------------------------------------------------------------------------------------------

void GuiApp::on_start()
{
    AppObject::on_start();
    if (display_open() && !m_system_handler_installed) {
        Fl::add_system_handler(&GuiApp::on_system_event, this);
        m_system_handler_installed = true;
    }
    m_idle_suspended = false;
    if (display_open() && !m_check_installed) {
        Fl::add_check(&GuiApp::check_events, this);
        m_check_installed = true;
    }
    m_color_management.create_converter(get_default_view_transform());
}

int GuiApp::on_system_event(void* event, void* data)
{
    auto const* xevent = static_cast<XEvent const*>(event);
    switch (xevent->type) {
    case KeyPress:
    case KeyRelease:
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
        static_cast<GuiApp*>(data)->get_application_idle_watch().reset();
        break;
    default:
        break;
    }
    return 0;  // the toolkit handles every event as usual
}

void GuiApp::on_toolkit_idle(void* data)
{
    GuiApp* app = static_cast<GuiApp*>(data);
    // Long work lets the toolkit wait from within progress_update: it is not over yet.
    if (app->m_events_blocked || app->m_progress.is_running() || app->m_processing) return;
    Fl::remove_idle(&GuiApp::on_toolkit_idle, app);
    app->m_toolkit_idle_armed = false;
    if (app->m_progress.is_reenable_pending()) app->process_pending();
}

void GuiApp::on_wait(double const& timeout)
{
    if (display_open())
        Fl::wait(timeout);
    else
        AppObject::on_wait(timeout);
}

void GuiApp::on_quit()
{
    AppObject::on_quit();
    m_idle_suspended = true;
    m_image_history->check_clear_history_cache();
    // A quit asked before the loop started finds no check callback to remove yet.
    if (m_check_installed && is_app_thread()) {
        Fl::remove_check(&GuiApp::check_events, this);
        m_check_installed = false;
    }
}

void GuiApp::quit()
{
    AppObject::quit();
    if (m_check_installed && is_app_thread()) {
        Fl::remove_check(&GuiApp::check_events, this);
        m_check_installed = false;
    }
}

void GuiApp::wake_up()
{
    AppObject::wake_up();
    if (fl_display) Fl::awake();
}

// Shared dialogs -------------------------------------------------------------------------

namespace {

GuiApp::ColorDialogMaker& color_dialog_maker()
{
    static GuiApp::ColorDialogMaker maker = nullptr;
    return maker;
}

}  // namespace

void GuiApp::set_color_dialog_maker(ColorDialogMaker maker)
{
    color_dialog_maker() = maker;
}

GuiColorDialog* GuiApp::get_color_dialog()
{
    if (m_color_dialog.dialog) return m_color_dialog.dialog;
    if (!color_dialog_maker()) {
        CORE_LOG_WARNING("GuiApp.get_color_dialog: no colour dialog is registered\n");
        return nullptr;
    }
    m_color_dialog = color_dialog_maker()(*this);
    return m_color_dialog.dialog;
}

void GuiApp::reset_color_dialog()
{
    ColorDialogHandle const handle = m_color_dialog;
    m_color_dialog = ColorDialogHandle();
    if (handle.widget) destroy(handle.widget);
}

void GuiApp::forget_color_dialog(GuiColorDialog const* dialog)
{
    if (dialog && dialog == m_color_dialog.dialog) m_color_dialog = ColorDialogHandle();
}
