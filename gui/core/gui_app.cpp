#include "gui/core/gui_app.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>
#include <thread>

#include "gui/core/gui.h"
#include "gui/core/gui_resource.h"
#include "gui/core/gui_router.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"
#include "host/colorio/colorio.h"
#include "host/core/core_log.h"

EVENT_DEFINE_ID(EVT_ID_APPLICATION_IDLE);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_FOCUS_WIDGET_CHANGED);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_PAUSE);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_PLAY);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT);
EVENT_DEFINE_ID(EVT_ID_APPLICATION_AUTO_EVAL_REFRESH);

CORE_IMPLEMENT_CLASS(GuiAppPendingCallbackHandler, CoreBaseObject)
CORE_IMPLEMENT_CLASS(GuiApp, AppObject)

namespace {

constexpr double PASS_INTERVAL = 0.016;
constexpr double IDLE_INTERVAL = 0.150;
constexpr double FIRST_DELAY = 0.100;
constexpr double CHECK_BUDGET = 0.016;
constexpr double TOOLKIT_WAIT = 0.001;
constexpr double PROGRESS_INTERVAL = 0.051;
constexpr double DISABLE_AFTER = 0.250;

std::atomic<GuiApp*> s_instance{nullptr};
int s_event_depth = 0;  // interface thread only

// A toolkit window waiting for the idle pass to be deleted.
class DeferredToolkitWindow : public CoreBaseObject {
public:
    explicit DeferredToolkitWindow(Fl_Window* window) : m_window(window) {}
    ~DeferredToolkitWindow() override { delete m_window; }
    DeferredToolkitWindow(DeferredToolkitWindow const&) = delete;
    DeferredToolkitWindow& operator=(DeferredToolkitWindow const&) = delete;

private:
    Fl_Window* m_window;
};
std::atomic<int> s_draw_depth{0};

}  // namespace

// GuiAppPendingCallbackHandler -------------------------------------------------------------

void GuiAppPendingCallbackHandler::add(MouseListener callback, void* data)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_changes.add(Change{0, Listener{callback, data}});
}

void GuiAppPendingCallbackHandler::remove(MouseListener callback, void* data)
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    m_changes.add(Change{1, Listener{callback, data}});
}

void GuiAppPendingCallbackHandler::apply_changes()
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    for (Change const& change : m_changes) {
        if (change.operation == 0) {
            m_listeners.add(change.listener);
        } else {
            int const index = m_listeners.find(change.listener);
            if (index >= 0) m_listeners.remove(static_cast<unsigned int>(index));
        }
    }
    m_changes.clear();
}

CoreVector<GuiAppPendingCallbackHandler::Listener> GuiAppPendingCallbackHandler::get_listeners() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_lock);
    return m_listeners;
}

// Construction ---------------------------------------------------------------------------------

GuiApp::GuiApp(int argc, char** argv) : AppObject(argc, argv), m_color_scheme(*this)
{
    init();
}

GuiApp::GuiApp() : AppObject(), m_color_scheme(*this)
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
        // Enables Fl::awake, through which other threads wake the event loop.
        Fl::lock();
    } else {
        CORE_LOG_ERROR("GuiApp: no X display could be opened (is DISPLAY set?); windows cannot be shown\n");
    }
    set_color_scheme(GuiColorScheme::get_scheme(GuiColorScheme::SCHEME_DARK));
    m_idle_timer = add_timer(&GuiApp::on_idle, this, FIRST_DELAY);
    m_redraw_timer = add_timer(&GuiApp::launch_pending_redraws, this, FIRST_DELAY);
}

namespace {

std::vector<GuiApp::ReleaseHook>& release_hooks()
{
    static std::vector<GuiApp::ReleaseHook> hooks;
    return hooks;
}

}  // namespace

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
           (m_windows.get_count() + m_destroy_queue.get_count() + m_deferred_objects.get_count()) * sizeof(void*) +
           (get_pending_redraw_count() + get_pending_update_count()) * 2 * sizeof(void*) + m_clipboard.get_length();
}

// Queues ------------------------------------------------------------------------------------------

void GuiApp::add_pending_redraw(GuiWidget* widget)
{
    if (!widget) return;
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    m_pending_redraws.add(widget);
}

void GuiApp::remove_pending_redraw(GuiWidget* widget)
{
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    m_pending_redraws.remove(widget);
}

bool GuiApp::is_pending_redraw(GuiWidget* widget) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    return m_pending_redraws.has(widget);
}

void GuiApp::add_pending_update(GuiWidget* widget)
{
    if (!widget) return;
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    m_pending_updates.add(widget);
}

void GuiApp::remove_pending_update(GuiWidget* widget)
{
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    m_pending_updates.remove(widget);
}

bool GuiApp::is_pending_update(GuiWidget* widget) const
{
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    return m_pending_updates.has(widget);
}

unsigned int GuiApp::get_pending_redraw_count() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    return m_pending_redraws.get_count();
}

unsigned int GuiApp::get_pending_update_count() const
{
    SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
    return m_pending_updates.get_count();
}

void GuiApp::forget_widget(GuiWidget* widget)
{
    remove_pending_redraw(widget);
    remove_pending_update(widget);
    // A widget deleted while a pass works off its lists must not be called afterwards.
    for (GuiWidget*& entry : m_pass_updates)
        if (entry == widget) entry = nullptr;
    for (GuiWidget*& entry : m_pass_redraws)
        if (entry == widget) entry = nullptr;
    for (GuiWidget*& entry : m_progress_redraws)
        if (entry == widget) entry = nullptr;
    m_destroy_queue.remove_item(widget);
    // A new widget at the same address must still count as a focus change.
    if (m_focus_seen == widget) m_focus_seen = nullptr;
}

// Deferred deletion ------------------------------------------------------------------------------------

void GuiApp::destroy(GuiWidget* widget)
{
    if (!widget || m_destroy_queue.contains(widget)) return;
    m_destroy_queue.add(widget);
    if (widget->is_kindof(GuiWindow::class_info())) remove_window(static_cast<GuiWindow*>(widget));
}

void GuiApp::add_deferred_object(CoreBaseObject* object)
{
    if (object) m_deferred_objects.add(object);
}

void GuiApp::defer_toolkit_window_deletion(Fl_Window* window)
{
    if (window) add_deferred_object(new DeferredToolkitWindow(window));
}

GuiApp::EventScope::EventScope()
{
    ++s_event_depth;
}

GuiApp::EventScope::~EventScope()
{
    --s_event_depth;
}

bool GuiApp::is_handling_event()
{
    return s_event_depth > 0;
}

void GuiApp::delete_queued_objects()
{
    // Deleting may queue more (a window hands over its toolkit window): repeat until empty.
    while (!m_destroy_queue.is_empty() || !m_deferred_objects.is_empty()) {
        CoreVector<GuiWidget*> widgets;
        std::swap(widgets.std_vector(), m_destroy_queue.std_vector());
        for (GuiWidget* widget : widgets) delete widget;
        CoreVector<CoreBaseObject*> objects;
        std::swap(objects.std_vector(), m_deferred_objects.std_vector());
        for (CoreBaseObject* object : objects) delete object;
    }
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
    {
        SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
        m_pending_updates.get_items(m_pass_updates);
        m_pending_redraws.get_items(m_pass_redraws);
        m_pending_updates.clear();
        m_pending_redraws.clear();
    }
    for (unsigned int i = 0; i < m_pass_updates.get_count(); ++i)
        if (GuiWidget* widget = m_pass_updates[i]) widget->widget_update();
    for (unsigned int i = 0; i < m_pass_redraws.get_count(); ++i)
        if (GuiWidget* widget = m_pass_redraws[i]) widget->widget_redraw();
    m_pass_updates.clear();
    m_pass_redraws.clear();
    raise_event(EVT_ID_APPLICATION_IDLE);
    if (!is_blocking()) rearm_timer(m_redraw_timer, &GuiApp::launch_pending_redraws, PASS_INTERVAL);
    m_last_pass_timer.reset();
    if (m_reenable_pending) {
        m_reenable_pending = false;
        enable();
        set_windows_cursor(Gui::MOUSE_CURSOR_DEFAULT);
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

void GuiApp::set_windows_cursor(Gui::MouseCursorId const& cursor)
{
    if (!fl_display) return;
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        window->cursor(static_cast<Fl_Cursor>(cursor));
}

void GuiApp::progress_update()
{
    // Only the application thread may touch the toolkit and the widgets: other threads'
    // requests leave their redraws to the next pass.
    if (!is_app_thread()) return;
    if (m_progress_running.exchange(true)) return;
    // The first call is due at once; later ones at most every 51 ms.
    if (!m_progress_first && m_progress_timer.get_elapsed_time() < PROGRESS_INTERVAL) {
        m_progress_running = false;
        return;
    }
    m_progress_first = false;
    flush_progress_bars();
    {
        SysThreadLockGuard<SysThreadLock> guard(m_pending_lock);
        m_pending_redraws.get_items(m_progress_redraws);
        m_pending_redraws.clear();
    }
    // A list of its own: a pass whose update runs long work keeps its own lists.
    for (unsigned int i = 0; i < m_progress_redraws.get_count(); ++i)
        if (GuiWidget* widget = m_progress_redraws[i]) widget->widget_redraw();
    m_progress_redraws.clear();
    if (display_open() && Fl::first_window()) {
        m_events_blocked = true;
        if (is_enabled() && m_last_pass_timer.get_elapsed_time() > DISABLE_AFTER) {
            disable();
            set_windows_cursor(Gui::MOUSE_CURSOR_WAIT);
            m_reenable_pending = true;
            if (!m_toolkit_idle_armed) {
                Fl::add_idle(&GuiApp::on_toolkit_idle, this);
                m_toolkit_idle_armed = true;
            }
        }
        Fl::flush();
        if (!is_enabled()) Fl::wait(TOOLKIT_WAIT);
        m_events_blocked = false;
        m_progress_timer.reset();
    }
    m_progress_running = false;
}

// Message boxes ---------------------------------------------------------------------------------------------

namespace {

// A request handed from another thread to the application thread.
struct PendingMessageBox {
    GuiApp::MessageBoxRequest request;
    AppDialog answer;
    std::atomic<bool> answered{false};
};

}  // namespace

void GuiApp::set_message_box_handler(MessageBoxHandler handler, void* data)
{
    m_message_box_handler = handler;
    m_message_box_data = data;
}

namespace {

GuiApp::MessageBoxPresenter s_message_box_presenter = nullptr;

}  // namespace

void GuiApp::set_message_box_presenter(MessageBoxPresenter presenter)
{
    s_message_box_presenter = presenter;
}

AppDialog GuiApp::show_message_box(MessageBoxRequest& request)
{
    if (m_message_box_handler) return m_message_box_handler(*this, request, m_message_box_data);
    if (!display_open() || !s_message_box_presenter) {
        if (!s_message_box_presenter) CORE_LOG_ERROR("GuiApp.message_box: no message box presenter is registered\n");
        CORE_LOG_INFO("GuiApp.message_box: " << request.title << ": " << request.message << "\n");
        return request.default_value;
    }
    return s_message_box_presenter(*this, request);
}

void GuiApp::answer_message_box(void* data)
{
    PendingMessageBox* pending = static_cast<PendingMessageBox*>(data);
    GuiApp* app = get_gui_instance();
    pending->answer = app ? app->show_message_box(pending->request) : pending->request.default_value;
    pending->answered.store(true);
}

AppDialog GuiApp::message_box(CoreString const& message, CoreString const& title, AppDialog const& default_value,
                              int const& style, int* geometry, CoreVector<CoreString> const& list)
{
    PendingMessageBox pending;
    MessageBoxRequest& request = pending.request;
    request.message = message;
    request.title = title;
    request.default_value = default_value;
    request.style = style;
    request.list = list;
    if (geometry) {
        request.has_geometry = geometry[2] != 0 && geometry[3] != 0;
        for (int i = 0; i < 4; ++i) request.geometry[i] = geometry[i];
    }
    if (is_app_thread()) {
        pending.answer = show_message_box(request);
    } else {
        TimerId const timer = add_timer(&GuiApp::answer_message_box, &pending, 0.0);
        if (timer == 0) return default_value;
        while (!pending.answered.load()) {
            // An application that ends before answering answers with the default value.
            if (is_quitting() && remove_timer(timer) && !pending.answered.load()) return default_value;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (geometry)
        for (int i = 0; i < 4; ++i) geometry[i] = request.geometry[i];
    return pending.answer;
}

// Interface state ---------------------------------------------------------------------------------------------

void GuiApp::enable()
{
    if (is_enabled()) return;
    AppObject::enable();
    for (GuiWindow* window : m_windows) window->redraw();
}

void GuiApp::disable()
{
    if (!is_enabled()) return;
    AppObject::disable();
    for (GuiWindow* window : m_windows) window->redraw();
}

SysThreadLockRecursive& GuiApp::get_interface_lock()
{
    static SysThreadLockRecursive lock;
    return lock;
}

void GuiApp::lock_draw()
{
    get_interface_lock().lock();
}

void GuiApp::unlock_draw()
{
    get_interface_lock().unlock();
}

bool GuiApp::is_drawing()
{
    return s_draw_depth.load() > 0;
}

void GuiApp::begin_widget_draw()
{
    ++s_draw_depth;
}

void GuiApp::end_widget_draw()
{
    --s_draw_depth;
}

void GuiApp::force_redraw()
{
    if (!display_open()) return;
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window)) window->redraw();
    Fl::flush();
}

// Windows -----------------------------------------------------------------------------------------------------------

void GuiApp::add_window(GuiWindow* window)
{
    if (window && !m_windows.contains(window)) m_windows.add(window);
}

void GuiApp::remove_window(GuiWindow* window)
{
    int const index = m_windows.find(window);
    if (index >= 0) m_windows.remove(static_cast<unsigned int>(index));
}

GuiWindow* GuiApp::get_top_window() const
{
    if (!fl_display) return nullptr;
    Fl_Window* first = Fl::first_window();
    GuiRouter* router = first ? dynamic_cast<GuiRouter*>(first) : nullptr;
    GuiWidget* owner = router ? router->get_owner() : nullptr;
    return owner && owner->is_kindof(GuiWindow::class_info()) ? static_cast<GuiWindow*>(owner) : nullptr;
}

GuiWindow* GuiApp::get_event_window() const
{
    GuiWidget* widget = GuiWidget::get_last_event_widget();
    return widget ? static_cast<GuiWindow*>(widget->get_window()) : nullptr;
}

GuiWindow* GuiApp::create_window(int const& x, int const& y, int const& w, int const& h, CoreString const& title)
{
    return new GuiWindow(*this, x, y, w, h, title);
}

void GuiApp::set_auto_eval_changed(bool const& a, bool const& b)
{
    if (a)
        raise_event(b ? EVT_ID_APPLICATION_AUTO_EVAL_REFRESH : EVT_ID_APPLICATION_AUTO_EVAL_DEFAULT);
    else
        raise_event(b ? EVT_ID_APPLICATION_AUTO_EVAL_PLAY : EVT_ID_APPLICATION_AUTO_EVAL_PAUSE);
}

// Viewports -------------------------------------------------------------------------------------------------------------

void GuiApp::add_viewport(GuiViewport* viewport)
{
    m_viewports.add(viewport);
}

void GuiApp::remove_viewport(GuiViewport* viewport)
{
    m_viewports.remove(viewport);
}

void GuiApp::disable_all_viewports_auto_evaluation()
{
    m_viewports.disable_auto_evaluation();
}

void GuiApp::restore_all_viewports_auto_evaluation()
{
    m_viewports.restore_auto_evaluation();
}

// Colour management -----------------------------------------------------------------------------------------------------

bool GuiApp::set_default_view_transform(CoreString const& name)
{
    if (!AppObject::set_default_view_transform(name)) return false;
    if (m_linear_to_display) {
        m_linear_to_display->set_display_transform(ColorIO::get_default_color_space_name(),
                                                   get_default_view_transform());
        for (GuiWindow* window : m_windows)
            if (!window->is_destroyed()) window->redraw();
    }
    return true;
}

bool GuiApp::set_color_picker_color_space(CoreString const& name)
{
    return AppObject::set_color_picker_color_space(name);
}

GMathVec3<float> GuiApp::convert_linear_to_default(GMathVec3<float> const& color) const
{
    return m_linear_to_display ? m_linear_to_display->convert(color) : color;
}

// Session ----------------------------------------------------------------------------------------------------------------

CoreString GuiApp::open_file(CoreString const& start_path, CoreString const& title, CoreString const& filters)
{
    return GuiWidget::open_file(*this, start_path, title, filters);
}

namespace {

void count_widgets(GuiWidget const& widget, unsigned int& count, size_t& memory)
{
    ++count;
    memory += widget.get_memory_size();
    for (GuiWidget const* child : widget.get_children()) count_widgets(*child, count, memory);
}

}  // namespace

size_t GuiApp::get_widgets_memory_size() const
{
    unsigned int count = 0;
    size_t memory = 0;
    for (GuiWindow const* window : m_windows) count_widgets(*window, count, memory);
    return memory;
}

CoreString GuiApp::get_statistics() const
{
    unsigned int count = 0;
    size_t memory = 0;
    for (GuiWindow const* window : m_windows) count_widgets(*window, count, memory);
    CoreString text = AppObject::get_statistics();
    text += "windows: ";
    text += m_windows.get_count();
    text += "\nwidgets: ";
    text += count;
    text += "\nwidgets memory (KiB): ";
    text += static_cast<unsigned long>(memory / 1024);
    text += "\n";
    return text;
}

// Colour scheme ----------------------------------------------------------------------------------------------------------

namespace {

GMathVec3<unsigned char> s_toolkit_colors[4];

Fl_Color to_toolkit(GMathVec3<unsigned char> const& color)
{
    return fl_rgb_color(color[0], color[1], color[2]);
}

}  // namespace

GMathVec3<unsigned char> const& GuiApp::get_toolkit_color(int const& index)
{
    return s_toolkit_colors[index >= 0 && index < 4 ? index : 0];
}

void GuiApp::set_color_scheme(GuiColorScheme const& scheme)
{
    m_color_scheme.set(scheme);
    GuiColorScheme::Role const roles[4] = {GuiColorScheme::ROLE_OUTLINE, GuiColorScheme::ROLE_BACKGROUND,
                                           GuiColorScheme::ROLE_EDGE_LIGHT, GuiColorScheme::ROLE_EDGE_SHADOW};
    for (int i = 0; i < 4; ++i) s_toolkit_colors[i] = m_color_scheme.get_color(GuiColorScheme::GROUP_NORMAL, roles[i]);
    update_color_scheme(m_color_scheme);
}

void GuiApp::update_color_scheme(GuiColorScheme const& scheme)
{
    GuiResource::recolor_glyphs(scheme);
    // What the toolkit draws itself (tooltips) follows the scheme too.
    Fl_Tooltip::color(to_toolkit(scheme.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TOOLTIP)));
    Fl_Tooltip::textcolor(
        to_toolkit(scheme.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TOOLTIP_TEXT)));
    for (GuiWindow* window : CoreVector<GuiWindow*>(m_windows))
        if (!window->is_destroyed()) window->update_color_scheme(scheme);
}

// Mouse listeners ------------------------------------------------------------------------------------------------------

void GuiApp::add_mouse_listener(MouseListener callback, void* data)
{
    if (!callback) {
        CORE_LOG_WARNING("GuiApp.add_mouse_listener: a null callback is ignored\n");
        return;
    }
    m_listener_handler.add(callback, data);
}

void GuiApp::remove_mouse_listener(MouseListener callback, void* data)
{
    m_listener_handler.remove(callback, data);
}

void GuiApp::dispatch_mouse_event(GuiWidget& widget, CoreString const& event)
{
    CoreVector<GuiAppPendingCallbackHandler::Listener> const listeners = m_listener_handler.get_listeners();
    for (GuiAppPendingCallbackHandler::Listener const& listener : listeners) listener.callback(widget, event, listener.data);
}

void GuiApp::on_paste(GuiWidget&, CoreString const&) {}

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
    if (!m_linear_to_display) {
        m_linear_to_display = std::make_unique<ColorIOConverter>();
        m_linear_to_display->set_display_transform(ColorIO::get_default_color_space_name(),
                                                   get_default_view_transform());
    }
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
    if (app->m_events_blocked || app->m_progress_running.load() || app->m_processing) return;
    Fl::remove_idle(&GuiApp::on_toolkit_idle, app);
    app->m_toolkit_idle_armed = false;
    if (app->m_reenable_pending) app->process_pending();
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
