#include "gui/core/gui_router.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "gui/core/gui_app.h"
#include "gui/core/gui_widget.h"
#include "host/sys/sys_thread_lock.h"

namespace {

// Event names by toolkit event number; null for events without a name.
CoreString const* const* event_names()
{
    static CoreString const* names[FL_DND_RELEASE + 1] = {};
    static bool filled = false;
    if (!filled) {
        names[FL_PUSH] = &EVT_ID_MOUSE_DOWN;
        names[FL_RELEASE] = &EVT_ID_MOUSE_UP;
        names[FL_ENTER] = &EVT_ID_MOUSE_ENTER;
        names[FL_LEAVE] = &EVT_ID_MOUSE_LEAVE;
        names[FL_DRAG] = &EVT_ID_MOUSE_DRAG;
        names[FL_FOCUS] = &EVT_ID_WIDGET_FOCUS_IN;
        names[FL_UNFOCUS] = &EVT_ID_WIDGET_FOCUS_OUT;
        names[FL_KEYDOWN] = &EVT_ID_KEY_DOWN;
        names[FL_KEYUP] = &EVT_ID_KEY_UP;
        names[FL_MOVE] = &EVT_ID_MOUSE_MOVE;
        names[FL_SHORTCUT] = &EVT_ID_KEY_SHORTCUT;
        names[FL_DEACTIVATE] = &EVT_ID_WIDGET_DISABLED;
        names[FL_ACTIVATE] = &EVT_ID_WIDGET_ENABLED;
        names[FL_HIDE] = &EVT_ID_WIDGET_HIDE;
        names[FL_SHOW] = &EVT_ID_WIDGET_SHOW;
        names[FL_PASTE] = &EVT_ID_PASTE;
        names[FL_SELECTIONCLEAR] = &EVT_ID_SELECTION_CLEAR;
        names[FL_MOUSEWHEEL] = &EVT_ID_MOUSE_WHEEL;
        names[FL_DND_ENTER] = &EVT_ID_DND_ENTER;
        names[FL_DND_DRAG] = &EVT_ID_DND_DRAG;
        names[FL_DND_LEAVE] = &EVT_ID_DND_LEAVE;
        names[FL_DND_RELEASE] = &EVT_ID_DND_RELEASE;
        filled = true;
    }
    return names;
}

bool is_key_event(int event)
{
    return event == FL_KEYDOWN || event == FL_KEYUP || event == FL_SHORTCUT;
}

bool is_mouse_event(int event)
{
    return event == FL_PUSH || event == FL_RELEASE || event == FL_MOVE || event == FL_DRAG;
}

bool is_dnd_event(int event)
{
    return event == FL_DND_ENTER || event == FL_DND_DRAG || event == FL_DND_LEAVE || event == FL_DND_RELEASE;
}

// The event's pointer lies over the widget (edges included). Key events carry the pointer
// position, so this needs no round trip to the X server.
bool is_event_over(GuiWidget const& widget)
{
    GuiWidget const* window = widget.get_window();
    int const wx = window ? window->get_x() : 0;
    int const wy = window ? window->get_y() : 0;
    int const x = widget.get_x() + wx, y = widget.get_y() + wy;
    return Gui::is_point_in_region(Fl::event_x_root(), Fl::event_y_root(), x, y, widget.get_width(),
                                   widget.get_height());
}

// A paste delivered after the toolkit's paste event has returned, unless the widget went.
struct PendingPaste {
    GuiWidget* widget;
    CoreString text;
};

CoreVector<PendingPaste*>& pending_pastes()
{
    static CoreVector<PendingPaste*> pastes;
    return pastes;
}

void deliver_paste(void* data)
{
    PendingPaste* paste = static_cast<PendingPaste*>(data);
    pending_pastes().remove_item(paste);
    if (paste->widget) paste->widget->paste(paste->text);
    delete paste;
}

}  // namespace

// GuiRouter -----------------------------------------------------------------------------------

void GuiRouter::begin_clip()
{
    if (!m_owner) return;
    GMathVec4<int> const& clip = m_owner->get_clip_region();
    push_clip(clip[0], clip[1], clip[2], clip[3]);
}

void GuiRouter::end_clip()
{
    pop_clip();
}

void GuiRouter::push_clip(int x, int y, int w, int h)
{
    fl_push_clip(x, y, w, h);
}

void GuiRouter::pop_clip()
{
    fl_pop_clip();
}

int GuiRouter::get_toolkit_event(CoreString const& name)
{
    CoreString const* const* names = event_names();
    for (int event = 0; event <= FL_DND_RELEASE; ++event)
        if (names[event] && *names[event] == name) return event;
    return 255;
}

CoreString const& GuiRouter::get_event_name(int event)
{
    if (event < 0 || event > FL_DND_RELEASE) return EVT_ID_UNKNOWN;
    CoreString const* name = event_names()[event];
    return name ? *name : EVT_ID_UNKNOWN;
}

void GuiRouter::forget_widget(GuiWidget* widget)
{
    for (PendingPaste* paste : pending_pastes())
        if (paste->widget == widget) paste->widget = nullptr;
}

void GuiRouter::paste_later(GuiWidget& widget, CoreString const& text)
{
    PendingPaste* paste = new PendingPaste{&widget, text};
    pending_pastes().add(paste);
    widget.get_application().add_timer(&deliver_paste, paste, 0.001);
}

int GuiRouter::route_event(GuiWidget& owner, int event, GuiRouter& router)
{
    if (!owner.is_enabled()) return router.handle_toolkit_event(event);

    CoreString const* name = &get_event_name(event);
    switch (event) {
    case FL_ENTER:
        if (owner.is_entered()) {
            name = &EVT_ID_UNKNOWN;
        } else {
            owner.set_entered(true);
            owner.apply_mouse_cursor();
        }
        break;
    case FL_LEAVE:
        if (owner.is_entered())
            owner.set_entered(false);
        else
            name = &EVT_ID_UNKNOWN;
        break;
    case FL_DND_ENTER: owner.set_entered(true); break;
    case FL_DND_LEAVE: owner.set_entered(false); break;
    default: break;
    }

    GuiApp& app = owner.get_application();
    if (is_mouse_event(event)) {
        Gui::update_mouse_motion();
        app.dispatch_mouse_event(owner, *name);
    }
    if (is_mouse_event(event) || is_dnd_event(event) || is_key_event(event) || event == FL_PASTE)
        app.get_application_idle_watch().reset();

    if (name == &EVT_ID_UNKNOWN) return router.handle_toolkit_event(event);

    switch (event) {
    case FL_DND_ENTER: {
        GuiWidget* accepting = GuiWidget::get_dnd_accepting_widget();
        if (accepting && accepting != &owner) {
            accepting->process_event(EVT_ID_DND_LEAVE);
            accepting->raise_event(EVT_ID_DND_LEAVE);
            GuiWidget::set_dnd_accepting_widget(nullptr);
        }
        int const result = owner.process_event(EVT_ID_DND_ENTER);
        if (result == 1) {
            GuiWidget::set_dnd_accepting_widget(&owner);
            owner.raise_event(EVT_ID_DND_ENTER);
        }
        return result;
    }
    case FL_DND_DRAG:
        if (GuiWidget::get_dnd_accepting_widget() != &owner) return 0;
        return owner.process_event(EVT_ID_DND_DRAG);
    case FL_DND_RELEASE: {
        GuiWidget* accepting = GuiWidget::get_dnd_accepting_widget();
        // On X11 the toolkit may send a leave between the last drag and the release (when it
        // re-computes the widget below the pointer as the button comes up): the widget that
        // receives the release is then asked again whether it accepts the drop.
        if (!accepting && owner.process_event(EVT_ID_DND_ENTER) == 1) {
            GuiWidget::set_dnd_accepting_widget(&owner);
            owner.raise_event(EVT_ID_DND_ENTER);
            accepting = &owner;
        }
        if (accepting) accepting->process_event(EVT_ID_DND_RELEASE);
        return 1;
    }
    case FL_DND_LEAVE:
        if (GuiWidget* accepting = GuiWidget::get_dnd_accepting_widget()) {
            accepting->process_event(EVT_ID_DND_LEAVE);
            accepting->raise_event(EVT_ID_DND_LEAVE);
            GuiWidget::set_dnd_accepting_widget(nullptr);
        }
        return 1;
    default: break;
    }

    if (is_key_event(event)) {
        Fl_Widget* toolkit = owner.get_widget();
        bool const focused = toolkit && Fl::focus() == toolkit;
        if (!focused && !owner.is_key_receiver() && !is_event_over(owner)) return 0;
    }

    int result = 0;
    if (event == FL_DRAG) {
        if (GuiWidget::is_dnd_running()) return 1;
        bool due = true;
        if (GuiWidget::get_drag_widget() != &owner)
            GuiWidget::start_drag_timer(&owner);
        else
            due = GuiWidget::get_drag_elapsed_time() >= GuiWidget::DRAG_THROTTLE_MS;
        GuiWidget::count_drag_event();
        if (due) {
            int const ordinary = owner.process_event(EVT_ID_MOUSE_DRAG);
            int const real_time = owner.process_event(EVT_ID_MOUSE_DRAG_REAL_TIME);
            GuiWidget::reset_drag_timer();
            result = (ordinary == 1 || real_time == 1) ? 1 : 0;
        } else {
            result = owner.process_event(EVT_ID_MOUSE_DRAG_REAL_TIME) == 1 ? 1 : 0;
        }
    } else {
        if (event == FL_RELEASE && GuiWidget::get_drag_widget() == &owner) GuiWidget::stop_drag_timer();
        result = owner.process_event(*name);
    }
    if (result == 1) owner.raise_event(*name);
    return result;
}

void GuiRouter::draw_owner(GuiWidget& owner, GuiRouter& router)
{
    GuiApp::begin_widget_draw();
    if (owner.is_visible()) {
        SysThreadLockGuard<SysThreadLockRecursive> guard(GuiApp::get_interface_lock());
        router.begin_clip();
        owner.draw(owner.get_dc());
        router.end_clip();
    }
    GuiApp::end_widget_draw();
}

// GuiBoxRouter ------------------------------------------------------------------------------------

GuiBoxRouter::GuiBoxRouter(GuiWidget& owner, int x, int y, int w, int h) : Fl_Box(x, y, w, h), GuiRouter(&owner)
{
    user_data(&owner);
    clear_visible_focus();
    labelsize(11);
    labelcolor(fl_rgb_color(200, 200, 200));
    color(fl_rgb_color(80, 80, 80));
    Fl_Box::hide();
}

int GuiBoxRouter::handle(int event)
{
    GuiWidget* owner = get_owner();
    if (!owner) return Fl_Box::handle(event);
    GuiApp::EventScope scope;
    return route_event(*owner, event, *this);
}

void GuiBoxRouter::draw()
{
    if (GuiWidget* owner = get_owner()) draw_owner(*owner, *this);
}

void GuiBoxRouter::draw_base()
{
    Fl_Box::draw();
}

int GuiBoxRouter::handle_event(CoreString const& name)
{
    GuiWidget* owner = get_owner();
    if (name == EVT_ID_PASTE && owner && !GuiWidget::get_dnd_widget()) {
        paste_later(*owner, Gui::get_event_text());
        return 1;
    }
    if (owner && name == EVT_ID_MOUSE_ENTER) owner->set_entered(true);
    if (owner && name == EVT_ID_MOUSE_LEAVE) owner->set_entered(false);
    int const event = get_toolkit_event(name);
    if (event == 255) return 0;
    return Fl_Box::handle(event);
}

// GuiWidgetGroup -------------------------------------------------------------------------------------

GuiWidgetGroup::GuiWidgetGroup(int x, int y, int w, int h) : Fl_Group(x, y, w, h)
{
    Fl_Group::end();
    box(FL_NO_BOX);
    resizable(nullptr);
    Fl_Group::hide();
}

void GuiWidgetGroup::resize(int x, int y, int w, int h)
{
    Fl_Widget::resize(x, y, w, h);
}
