#include "gui/core/gui_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <memory>

#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_popup.h"
#include "gui/core/gui_resource.h"
#include "host/core/core_log.h"
#include "host/image/image_handle.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_thread_lock.h"

CORE_IMPLEMENT_CLASS(GuiWindow, GuiWidget)
CORE_IMPLEMENT_CLASS(GuiWindowDefaultBackground, GuiWidget)

namespace {

// Holds the keyboard focus of a window when no widget has it, and routes the keys typed then.
class GuiHiddenFocusWidget : public Fl_Box {
public:
    explicit GuiHiddenFocusWidget(GuiWindow& window) : Fl_Box(0, 0, 0, 0), m_window(&window)
    {
        set_visible_focus();
        box(FL_NO_BOX);
    }

    void forget_window() { m_window = nullptr; }

    int handle(int event) override
    {
        // A disabled window (the interface is busy) takes no keys.
        if (!m_window || !m_window->is_enabled()) return Fl_Box::handle(event);
        GuiApp::EventScope scope;
        switch (event) {
        case FL_FOCUS:
        case FL_UNFOCUS: return 1;
        case FL_PASTE:
            if (!GuiWidget::get_dnd_widget()) {
                GuiRouter::paste_later(*m_window, Gui::get_event_text());
                return 1;
            }
            return Fl_Box::handle(event);
        case FL_SHORTCUT:
            if (Fl::focus() && Fl::focus() != this) return 1;
            return route_keys();
        case FL_KEYDOWN: return route_keys();
        default: return Fl_Box::handle(event);
        }
    }

private:
    // With the pointer over the window, the widget below it and its ancestors are offered the
    // key as a shortcut first. Then the window's actions, then its owner's: a menu shortcut
    // works whether or not a widget has the focus and wherever the pointer is.
    int route_keys()
    {
        // The window hands a shortcut it does not take back to its toolkit window, which
        // offers it to its children again, this box among them.
        if (m_routing) return 0;
        struct Routing {
            bool& flag;
            explicit Routing(bool& f) : flag(f) { flag = true; }
            ~Routing() { flag = false; }
        } routing(m_routing);
        GuiWindow& window = *m_window;
        // An open popup (a menu) takes the keys first, wherever the focus was left.
        if (GuiPopup::is_popup_open() && GuiPopup::on_key_down(window, Fl::event_key())) return 1;
        if (Gui::is_mouse_over_widget(window)) {
            GuiWidget* below = Gui::get_below_mouse_widget();
            if (below && below->get_window() == &window) {
                for (GuiWidget* widget = below; widget; widget = widget->get_parent()) {
                    if (widget->process_event(EVT_ID_KEY_SHORTCUT) != 0) return 1;
                    widget->raise_event(EVT_ID_KEY_SHORTCUT);
                    if (widget == &window) break;
                }
            }
        }
        if (window.process_actions_for_keys()) return 1;
        if (GuiWindow* owner = window.get_owner()) owner->process_actions_for_keys();
        return 1;
    }

    GuiWindow* m_window;
    bool m_routing = false;
};


// True when the key being handled was typed into `router` (or a view inside it): the X
// event's window, or for a key made by the program, the window under the pointer.
bool is_key_typed_here(GuiWindowRouter& router)
{
    if (fl_xevent && (fl_xevent->type == KeyPress || fl_xevent->type == KeyRelease)) {
        Fl_Window* window = fl_find(fl_xevent->xany.window);
        return window && (window == &router || window->top_window() == &router);
    }
    GuiWidget* owner = router.get_owner();
    return owner && Gui::is_mouse_over_widget(*owner);
}

// The group of a window: (0, 0, w, h) inside the toolkit window, never laying out children.
class GuiWindowGroup : public GuiWidgetGroup {
public:
    GuiWindowGroup(int w, int h) : GuiWidgetGroup(0, 0, w, h) { Fl_Group::show(); }
};

// Closing a window from the window manager hides it; the application ends with its last
// top-level window.
void on_window_close(Fl_Widget* widget, void*)
{
    GuiWindowRouter* router = static_cast<GuiWindowRouter*>(widget);
    GuiWindow* window = static_cast<GuiWindow*>(router->get_owner());
    if (!window) {
        router->hide();
        return;
    }
    window->hide();
    GuiApp& app = window->get_application();
    if (!window->get_owner() && !Fl::first_window() && app.is_running()) app.quit();
}

// The application icon of every window: a built-in picture, made once.
void set_default_icon()
{
    static std::unique_ptr<Fl_RGB_Image> icon;
    if (icon) return;
    GuiImage const& picture = GuiResource::context_iconrc().get_image(ImageIcon::IMAGE_ICON_SIZE_48);
    if (!picture.get_data() || picture.get_width() == 0) return;
    icon = std::make_unique<Fl_RGB_Image>(picture.get_data(), static_cast<int>(picture.get_width()),
                                          static_cast<int>(picture.get_height()),
                                          static_cast<int>(picture.get_depth()));
    Fl_Window::default_icon(icon.get());
}

// True when a window manager that follows the extended hints runs on the display.
bool has_window_manager()
{
    if (!fl_display) return false;
    Atom const check = XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == 0) return false;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    int const status = XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), check, 0, 1, False,
                                          XA_WINDOW, &type, &format, &count, &after, &data);
    bool const found = status == Success && data && count == 1;
    if (data) XFree(data);
    return found;
}

// Adds or removes both maximised states through the window manager.
void send_maximized_state(Window window, bool const& on)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(fl_display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = on ? 1 : 0;  // add or remove
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(fl_display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    event.xclient.data.l[2] = static_cast<long>(XInternAtom(fl_display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    event.xclient.data.l[3] = 1;  // an application's request
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(fl_display);
}

// Whether the window manager lists both maximised states on the window.
bool read_maximized_state(Window window)
{
    Atom const state = XInternAtom(fl_display, "_NET_WM_STATE", True);
    if (state == 0) return false;
    Atom const vertical = XInternAtom(fl_display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    Atom const horizontal = XInternAtom(fl_display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool vertical_on = false, horizontal_on = false;
    if (XGetWindowProperty(fl_display, window, state, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        Atom const* atoms = reinterpret_cast<Atom const*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            vertical_on = vertical_on || atoms[i] == vertical;
            horizontal_on = horizontal_on || atoms[i] == horizontal;
        }
    }
    if (data) XFree(data);
    return vertical_on && horizontal_on;
}

}  // namespace

// GuiWindowRouter -------------------------------------------------------------------------------

GuiWindowRouter::GuiWindowRouter(GuiWindow& owner, int x, int y, int w, int h, char const* title)
    : Fl_Double_Window(x, y, w, h), GuiRouter(&owner)
{
    Fl_Double_Window::end();
    copy_label(title);
    user_data(&owner);
    callback(&on_window_close);
    color(fl_rgb_color(64, 64, 64));
    set_default_icon();
}

int GuiWindowRouter::handle(int event)
{
    GuiWidget* owner = get_owner();
    if (!owner) return Fl_Double_Window::handle(event);
    if (GuiWidget::is_focus_changing() && event == FL_UNFOCUS) return Fl_Double_Window::handle(event);
    GuiWindow& window = *static_cast<GuiWindow*>(owner);
    switch (event) {
    case FL_FOCUS:
        if (shown()) m_active = true;
        GuiPopup::on_window_focused(window);
        break;
    case FL_PUSH: GuiPopup::on_window_pushed(window); break;
    case FL_KEYDOWN:
    case FL_SHORTCUT:
        if (!m_in_handle && GuiPopup::is_popup_open() && GuiPopup::on_key_down(window, Fl::event_key())) return 1;
        break;
    case FL_SHOW: m_active = true; break;
    case FL_HIDE: m_active = false; break;
    case FL_UNFOCUS: {
        GuiWidget* below = Gui::get_below_mouse_widget();
        if (!below || below->get_window() != owner) m_active = false;
        break;
    }
    default: break;
    }
    if (m_in_handle) return 1;
    GuiApp::EventScope scope;
    m_in_handle = true;
    int result;
    if (event == FL_MOVE && !owner->is_entered()) {
        owner->set_entered(true);
        owner->process_event(EVT_ID_MOUSE_ENTER);
        result = route(FL_MOVE);
    } else {
        result = route(event);
    }
    m_in_handle = false;
    return result;
}

int GuiWindowRouter::route(int event)
{
    GuiWidget& owner = *get_owner();
    CoreString const* name = &get_event_name(event);
    if (event == FL_ENTER) {
        if (owner.is_entered())
            name = &EVT_ID_UNKNOWN;
        else
            owner.set_entered(true);
    } else if (event == FL_LEAVE) {
        if (owner.is_entered())
            owner.set_entered(false);
        else
            name = &EVT_ID_UNKNOWN;
    }
    GuiApp& app = owner.get_application();
    bool const mouse = event == FL_PUSH || event == FL_RELEASE || event == FL_MOVE || event == FL_DRAG;
    if (mouse) {
        Gui::update_mouse_motion();
        app.dispatch_mouse_event(owner, *name);
    }
    if (mouse || event == FL_KEYDOWN || event == FL_KEYUP || event == FL_SHORTCUT || event == FL_PASTE ||
        (event >= FL_DND_ENTER && event <= FL_DND_RELEASE))
        app.get_application_idle_watch().reset();
    // Entering and leaving the window itself still reach its children.
    if (name == &EVT_ID_UNKNOWN) return Fl_Double_Window::handle(event);
    int const result = owner.process_event(*name);
    if (result == 1) owner.raise_event(*name);
    return result;
}

int GuiWindowRouter::handle_event(CoreString const& name)
{
    int const event = get_toolkit_event(name);
    if (event == 255) return 0;
    int const result = Fl_Double_Window::handle(event);
    if (Fl::event_key(FL_Escape) && (event == FL_KEYDOWN || event == FL_SHORTCUT)) return 1;
    return result;
}

void GuiWindowRouter::draw()
{
    GuiWidget* owner = get_owner();
    if (!owner) {
        Fl_Double_Window::draw();
        return;
    }
    GuiApp::begin_widget_draw();
    if (owner->is_visible()) {
        SysThreadLockGuard<SysThreadLockRecursive> guard(GuiApp::get_interface_lock());
        if (owner->is_clipping_enabled()) {
            begin_clip();
            owner->draw(owner->get_dc());
            end_clip();
        } else {
            owner->draw(owner->get_dc());
        }
    }
    GuiApp::end_widget_draw();
}

void GuiWindowRouter::draw_base()
{
    Fl_Double_Window::draw();
}

void GuiWindowRouter::resize(int x, int y, int w, int h)
{
    GuiWindow* owner = static_cast<GuiWindow*>(get_owner());
    bool const size_changed = w != this->w() || h != this->h();
    Fl_Double_Window::resize(x, y, w, h);
    if (!owner) return;
    if (owner->m_window_group) owner->m_window_group->resize(0, 0, w, h);
    owner->m_position = GMathVec2<int>(x, y);
    owner->m_size = GMathVec2<int>(w, h);
    if (size_changed) owner->apply_children_constraints_then_clip(0, 0, w, h);
}

// GuiWindow ----------------------------------------------------------------------------------------

GuiWindow::GuiWindow(GuiWindow& owner, int const& x, int const& y, int const& w, int const& h,
                     CoreString const& title)
    : GuiWidget(nullptr, owner.get_application(), x, y, w, h), m_owner(&owner), m_title(title)
{
    owner.m_child_windows.add(this);
    init_window(x, y, w, h);
}

GuiWindow::GuiWindow(GuiApp& app, int const& x, int const& y, int const& w, int const& h, CoreString const& title)
    : GuiWidget(nullptr, app, x, y, w, h), m_title(title)
{
    app.add_window(this);
    init_window(x, y, w, h);
}

void GuiWindow::init_window(int const& x, int const& y, int const& w, int const& h)
{
    m_is_window = true;
    m_parenting_pending = false;
    Fl_Group* current = Fl_Group::current();
    Fl_Group::current(nullptr);
    GuiWindowRouter* router = new GuiWindowRouter(*this, x, y, w, h, m_title.get_data());
    if (m_resizable) router->resizable(router);
    m_window_group = new GuiWindowGroup(w, h);
    router->add(m_window_group);
    m_hidden_focus_widget = new GuiHiddenFocusWidget(*this);
    router->add(m_hidden_focus_widget);
    Fl_Group::current(current);
    set_toolkit_widget(router);
    m_group = m_window_group;
}

GuiWindow::~GuiWindow()
{
    GuiWindowRouter* router = get_router();
    if (!router) {
        if (m_focus_before_modal) Fl::release_widget_pointer(m_focus_before_modal);
        return;
    }
    hide();
    set_parent(nullptr);
    for (GuiWidget* child : CoreVector<GuiWidget*>(get_children()))
        if (!child->is_destroyed()) child->destroy();
    for (GuiWindow* child : CoreVector<GuiWindow*>(m_child_windows)) {
        child->m_owner = nullptr;
        if (!child->is_destroyed()) child->destroy();
    }
    m_child_windows.clear();
    if (!m_owner) get_application().remove_window(this);
    // The toolkit window may still be handling the event that led here: it is deleted at
    // the next idle pass, ownerless so that it routes nothing meanwhile.
    router->set_owner(nullptr);
    router->user_data(nullptr);
    static_cast<GuiHiddenFocusWidget*>(m_hidden_focus_widget)->forget_window();
    get_application().defer_toolkit_window_deletion(router);
    set_toolkit_widget(nullptr);
    m_group = nullptr;
    m_window_group = nullptr;
}

size_t GuiWindow::get_memory_size() const
{
    return GuiWidget::get_memory_size() + sizeof(GuiWindow) - sizeof(GuiWidget) + m_title.get_length() +
           m_child_windows.get_count() * sizeof(GuiWindow*);
}

GuiWindowRouter* GuiWindow::get_router() const
{
    return static_cast<GuiWindowRouter*>(get_widget());
}

void GuiWindow::show()
{
    // A window opened while a dialog waits for its answer must not fall behind it.
    GuiWindow* top = get_application().get_top_window();
    if ((m_owner && m_owner->m_in_modal_loop) || (top && top != this && top->m_in_modal_loop)) {
        show_modal();
        return;
    }
    m_not_yet_shown = false;
    GuiWindowRouter* router = get_router();
    if (!router) return;
    if (m_shown) {
        if (router->shown() && !router->visible()) router->show();  // iconified: restore
        return;
    }
    if (m_owner && m_owner->get_router()) {
        // The owner's native window must exist for the transient hint; showing it again
        // would raise it above the windows it already owns (an open menu's parent).
        if (!m_owner->get_router()->shown()) m_owner->get_router()->show();
        router->set_non_modal();
    }
    show_toolkit_window(false);
}

void GuiWindow::show_modal()
{
    m_not_yet_shown = false;
    GuiWindowRouter* router = get_router();
    if (!router || m_shown) return;
    router->set_modal();
    if (!m_focus_before_modal && Fl::focus()) {
        m_focus_before_modal = Fl::focus();
        Fl::watch_widget_pointer(m_focus_before_modal);
    }
    show_toolkit_window(true);
}

void GuiWindow::show_toolkit_window(bool const& modal)
{
    GuiWindowRouter* router = get_router();
    router->show();
    // After show: giving the focus to a widget of an unshown window makes the native window
    // before the modal and owned flags could shape it.
    Fl::focus(m_hidden_focus_widget);
    m_shown = true;
    for (GuiWidget* child : CoreVector<GuiWidget*>(get_children()))
        if (is_widget_visible(*child)) child->show();
    apply_children_constraints(0, 0, router->w(), router->h());
    apply_clipping();
    m_in_modal_loop = modal;
    GuiWidget::show();
}

bool const& GuiWindow::is_shown() const
{
    return m_shown;
}

int GuiWindow::modal_blocking_loop()
{
    m_in_modal_loop = true;
    int result = -1;
    GuiApp& app = get_application();
    while (m_shown) {
        app.check_for_events(true);
        result = on_modal_loop();
        if (result != -1) break;
    }
    m_in_modal_loop = false;
    return result;
}

void GuiWindow::hide()
{
    GuiWindowRouter* router = get_router();
    if (!m_shown || !router) {
        GuiWidget::hide();
        return;
    }
    for (GuiWindow* child : CoreVector<GuiWindow*>(m_child_windows)) child->hide();
    GuiPopup::on_window_hidden(*this);
    router->hide();
    router->clear_modal_states();
    if (m_owner) router->set_non_modal();
    GuiWidget::hide();
    m_shown = false;
    m_in_modal_loop = false;
    m_entered = false;
    // The owner comes back to the front, unless popups of a chain are still open over it.
    if (m_owner && m_owner->get_router() && m_owner->is_shown() && !GuiPopup::is_popup_open())
        m_owner->get_router()->show();
    give_back_focus();
}

void GuiWindow::give_back_focus()
{
    if (Fl_Widget* before = m_focus_before_modal) {
        Fl::release_widget_pointer(m_focus_before_modal);
        m_focus_before_modal = nullptr;
        auto* widget = dynamic_cast<GuiRouter*>(before) ? static_cast<GuiWidget*>(before->user_data()) : nullptr;
        if (widget && !widget->is_destroyed() && widget->is_visible()) widget->set_focus();
    }
}

void GuiWindow::set_parent(GuiWidget* owner)
{
    if (owner == m_owner) return;
    if (owner && !owner->is_kindof(GuiWindow::class_info())) {
        CORE_LOG_WARNING("GuiWindow.set_parent: trying to parent a GuiWindow to a "
                         << owner->get_class_info().get_name() << ": which is impossible and skipped.\n");
        return;
    }
    for (GuiWidget const* ancestor = owner; ancestor; ancestor = ancestor->get_parent()) {
        if (ancestor == this) {
            CORE_LOG_WARNING("GuiWindow.set_parent: a window can't be owned by itself or by a window it "
                             "owns; nothing changes\n");
            return;
        }
    }
    GuiWindowRouter* router = get_router();
    if (m_owner) m_owner->m_child_windows.remove_item(this);
    GuiWindow* window_owner = static_cast<GuiWindow*>(owner);
    bool const reshow = m_shown && router;
    if (window_owner) {
        window_owner->m_child_windows.add(this);
        if (router) router->set_non_modal();
    } else if (router) {
        router->clear_modal_states();
    }
    if (reshow) router->hide();
    m_owner = window_owner;
    if (reshow) router->show();
    apply_clipping();
}

GMathVec2<int> const& GuiWindow::get_size() const
{
    if (GuiWindowRouter* router = get_router())
        const_cast<GuiWindow*>(this)->m_size = GMathVec2<int>(router->w(), router->h());
    return m_size;
}

GMathVec2<int> const& GuiWindow::get_position() const
{
    if (GuiWindowRouter* router = get_router())
        const_cast<GuiWindow*>(this)->m_position = GMathVec2<int>(router->x(), router->y());
    return m_position;
}

bool GuiWindow::is_enabled() const
{
    if (m_in_modal_loop) return true;
    return get_application().is_enabled() && GuiWidget::is_enabled();
}

void GuiWindow::resize(int const& x, int const& y, int const& w, int const& h)
{
    GuiWindowRouter* router = get_router();
    if (!router) return;
    if (!m_resizable) router->size_range(w, h, w, h, 0, 0, 0);
    router->resize(x, y, w, h);
}

void GuiWindow::draw(GuiDc&)
{
    GuiWindowRouter* router = get_router();
    if (!router) return;
    GMathVec3<unsigned char> const& background = get_color(GuiColorScheme::ROLE_BACKGROUND);
    // The toolkit reads RGB 0 as "palette entry 0": black goes through the palette.
    router->color(background[0] == 0 && background[1] == 0 && background[2] == 0
                      ? FL_BLACK
                      : fl_rgb_color(background[0], background[1], background[2]));
    router->draw_base();
}

void GuiWindow::widget_redraw()
{
    GuiWindowRouter* router = get_router();
    if (router && m_shown) router->redraw();
}

void GuiWindow::update_color_scheme(GuiColorScheme const& scheme)
{
    GuiWidget::update_color_scheme(scheme);
    GuiColorScheme const& passed = has_own_color_scheme() ? get_color_scheme() : scheme;
    for (GuiWindow* child : CoreVector<GuiWindow*>(m_child_windows))
        if (!child->is_destroyed()) child->update_color_scheme(passed);
}

Fl_Group* GuiWindow::get_group()
{
    return m_window_group;
}

void GuiWindow::apply_constraints(int const&, int const&, int const&, int const&)
{
    GuiWindowRouter* router = get_router();
    if (!router) return;
    GuiWidget::apply_constraints(0, 0, router->w(), router->h());
}

void GuiWindow::widget_focus_changed()
{
    if (m_owner) m_owner->widget_focus_changed();
}

void GuiWindow::set_title(CoreString const& title)
{
    m_title = title;
    if (GuiWindowRouter* router = get_router()) router->copy_label(m_title.get_data());
}

void GuiWindow::set_resizable(bool const& resizable)
{
    if (!m_not_yet_shown) {
        CORE_LOG_WARNING("GuiWindow.set_resizable: can't set the flag after the window has been shown\n");
        return;
    }
    m_resizable = resizable;
    if (GuiWindowRouter* router = get_router()) router->resizable(resizable ? router : nullptr);
}

void GuiWindow::_lose_focus()
{
    // A popup holds the toolkit's grab, which would send the focus change back to it.
    Fl_Window* const grab = is_kindof(GuiPopup::class_info()) ? Fl::grab() : nullptr;
    if (grab) {
        Fl::grab(nullptr);
        Fl::focus(nullptr);
    }
    Fl::focus(m_hidden_focus_widget);
    if (grab) Fl::grab(grab);
    raise_event(EVT_ID_WIDGET_FOCUS_LOOSE);
}

void GuiWindow::_set_mouse_cursor(Gui::MouseCursorId const& id) const
{
    GuiWindowRouter* router = get_router();
    if (!router || !router->shown()) return;
    if (id == Gui::MOUSE_CURSOR_NONE) {
        // One fully transparent pixel.
        static unsigned char const pixel[4] = {0, 0, 0, 0};
        static Fl_RGB_Image const empty(pixel, 1, 1, 4);
        router->cursor(&empty, 0, 0);
        return;
    }
    router->cursor(static_cast<Fl_Cursor>(id));
}

void GuiWindow::set_border_drawn(bool const& drawn)
{
    GuiWindowRouter* router = get_router();
    if (!router || drawn == m_border_drawn) return;
    m_border_drawn = drawn;
    if (!router->shown()) {
        router->border(drawn ? 1 : 0);
        return;
    }
    // The toolkit sets the frame when it makes the native window.
    bool const modal = m_in_modal_loop;
    hide();
    router->border(drawn ? 1 : 0);
    if (modal)
        show_modal();
    else
        show();
}

void GuiWindow::maximize()
{
    GuiWindowRouter* router = get_router();
    if (!router || !router->shown()) return;
    if (has_window_manager()) {
        send_maximized_state(fl_xid(router), true);
        return;
    }
    if (m_maximized_by_hand) return;
    int x, y, w, h;
    Fl::screen_work_area(x, y, w, h, router->x(), router->y());
    m_restore_geometry = GMathVec4<int>(router->x(), router->y(), router->w(), router->h());
    m_maximized_by_hand = true;
    router->resize(x, y, w, h);
}

void GuiWindow::minimize()
{
    GuiWindowRouter* router = get_router();
    if (!router || !router->shown() || !router->visible()) return;
    if (m_maximized_by_hand) {
        // Minimising leaves the maximised state for the window manager's restore.
        m_maximized_by_hand = false;
        router->resize(m_restore_geometry[0], m_restore_geometry[1], m_restore_geometry[2], m_restore_geometry[3]);
    }
    if (has_window_manager())
        router->iconize();
    else
        XUnmapWindow(fl_display, fl_xid(router));
    XFlush(fl_display);
}

bool GuiWindow::is_maximized() const
{
    GuiWindowRouter* router = get_router();
    if (!router || !router->shown()) return false;
    return m_maximized_by_hand || read_maximized_state(fl_xid(router));
}

bool GuiWindow::is_minimized() const
{
    GuiWindowRouter* router = get_router();
    return router && router->shown() && !router->visible();
}

bool GuiWindow::process_actions()
{
    GuiWindowRouter* router = get_router();
    Fl_Window* modal = Fl::modal();
    if (router && router->shown() && modal && modal != router) return false;
    return GuiWidget::process_actions();
}

int GuiWindow::process_event(CoreString const& name)
{
    if (name == EVT_ID_KEY_SHORTCUT) {
        // A key typed into this window while nothing in it has the toolkit focus (the dialog
        // that had it has closed): the window takes the focus back and routes the key as its
        // own. The toolkit also offers unused shortcuts to every other window: those leave it.
        Fl_Widget const* focus = Fl::focus();
        GuiWindowRouter* router = get_router();
        if (m_hidden_focus_widget && router && (!focus || focus->window() != router) && !Fl::grab() &&
            is_key_typed_here(*router)) {
            Fl::focus(m_hidden_focus_widget);
            return m_hidden_focus_widget->handle(FL_SHORTCUT);
        }
        return 0;
    }
    return GuiWidget::process_event(name);
}

GuiPopup* GuiWindow::popup(GuiWidget& content, bool const& at_pointer)
{
    int x = 0, y = 0;
    if (at_pointer) {
        Gui::get_mouse_screen_position(x, y);
    } else {
        GMathVec2<int> const origin = content.get_window() ? content.get_window()->get_position() : get_position();
        x = origin[0] + content.get_x();
        y = origin[1] + content.get_y();
    }
    int const w = std::max(1, content.get_width());
    int const h = std::max(1, content.get_height());
    GuiPopup* popup = new GuiPopup(*this, x, y, w, h);
    content.set_parent(popup);
    // Placed at the popup's origin with its edge offsets captured there, so that the popup's
    // own layout keeps it in place rather than where it sat in its first window.
    content.set_size(0, 0, w, h);
    content.show();
    popup->show();
    return popup;
}

GuiWidget* GuiWindow::add_default_background()
{
    return new GuiWindowDefaultBackground(*this);
}

// GuiWindowDefaultBackground ----------------------------------------------------------------

GuiWindowDefaultBackground::GuiWindowDefaultBackground(GuiWindow& window)
    : GuiWidget(window, 0, 0, window.get_width(), window.get_height())
{
    set_constraints(CONSTRAINT_LEFT, CONSTRAINT_TOP, CONSTRAINT_RIGHT, CONSTRAINT_BOTTOM);
}

void GuiWindowDefaultBackground::draw(GuiDc& dc)
{
    GuiWidget::draw(dc);
    auto& wdc = static_cast<GuiWidgetDc&>(dc);
    int const x = get_x(), y = get_y(), w = get_width(), h = get_height();
    if (w < 1 || h < 1) return;
    GMathVec3<unsigned char> const& fill = dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_BACKGROUND);
    GMathVec3<unsigned char> const& light =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_LIGHT);
    GMathVec3<unsigned char> const& shadow =
        dc.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_EDGE_SHADOW);
    wdc.draw_rectf(x, y, w, h, fill[0], fill[1], fill[2]);
    wdc.draw_line(x, y, x + w - 1, y, light[0], light[1], light[2]);
    wdc.draw_line(x, y, x, y + h - 1, light[0], light[1], light[2]);
    wdc.draw_line(x, y + h - 1, x + w - 1, y + h - 1, shadow[0], shadow[1], shadow[2]);
    wdc.draw_line(x + w - 1, y, x + w - 1, y + h - 1, shadow[0], shadow[1], shadow[2]);
}

bool GuiWindow::process_actions_for_keys()
{
    return process_actions();
}

namespace {

// Lets a window just shown be mapped and exposed, then runs the application's passes and
// draws until no redraw or update is left pending (a pass may queue more for the next).
void settle(Fl_Window& window)
{
    constexpr int MAX_PASSES = 20;
    window.wait_for_expose();
    GuiApp* app = GuiApp::get_gui_instance();
    for (int pass = 0; pass < MAX_PASSES; ++pass) {
        Fl::wait(0.0);
        if (app) app->process_pending();
        Fl::flush();
        if (!app || (app->get_pending_redraw_count() == 0 && app->get_pending_update_count() == 0)) break;
    }
}

}  // namespace

std::vector<unsigned char> GuiWindow::read_pixels(int const& x, int const& y, int const& w, int const& h)
{
    Fl_Widget* toolkit = get_widget();
    Fl_Window* toolkit_window = toolkit ? toolkit->as_window() : nullptr;
    if (!toolkit_window || !toolkit_window->shown()) {
        CORE_LOG_ERROR("GuiWindow.read_pixels: '" << m_title << "' is not shown; there is nothing to read\n");
        return {};
    }
    int const x0 = std::max(0, x), y0 = std::max(0, y);
    int const x1 = std::min(toolkit_window->w(), x + w), y1 = std::min(toolkit_window->h(), y + h);
    if (x1 <= x0 || y1 <= y0) {
        CORE_LOG_WARNING("GuiWindow.read_pixels: (" << x << ", " << y << ", " << w << ", " << h << ") lies outside '"
                                                    << m_title << "'\n");
        return {};
    }
    settle(*toolkit_window);
    toolkit_window->redraw();
    settle(*toolkit_window);
    toolkit_window->make_current();
    std::unique_ptr<unsigned char[]> pixels(fl_read_image(nullptr, x0, y0, x1 - x0, y1 - y0));
    if (!pixels) {
        CORE_LOG_ERROR("GuiWindow.read_pixels: the pixels of '" << m_title << "' could not be read\n");
        return {};
    }
    return std::vector<unsigned char>(pixels.get(), pixels.get() + static_cast<size_t>(x1 - x0) * (y1 - y0) * 3);
}

bool GuiWindow::write_screenshot(CoreString const& path)
{
    Fl_Widget* toolkit = get_widget();
    Fl_Window* toolkit_window = toolkit ? toolkit->as_window() : nullptr;
    if (!toolkit_window || !toolkit_window->shown()) {
        CORE_LOG_ERROR("GuiWindow.write_screenshot: '" << m_title << "' is not shown; nothing is written\n");
        return false;
    }
    int const w = toolkit_window->w(), h = toolkit_window->h();
    std::vector<unsigned char> const pixels = read_pixels(0, 0, w, h);
    if (pixels.empty()) return false;
    CoreString const folder = SysFilesystem::get_folder(path);
    if (!folder.is_empty() && !SysFilesystem::folder_exists(folder)) SysFilesystem::create_folder(folder);
    // The image's own warning says why it failed.
    if (!ImageHandle::from_pixels(w, h, 3, pixels.data()).write(path)) {
        CORE_LOG_ERROR("GuiWindow.write_screenshot: could not write '" << path << "'\n");
        return false;
    }
    return true;
}
