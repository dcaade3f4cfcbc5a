#pragma once
// The toolkit side of widgets. Every widget owns a router: a toolkit widget that receives
// FLTK's events and draw requests and hands them to the widget as event names and draw
// calls. GuiBoxRouter is the router of ordinary widgets; windows and OpenGL widgets have
// their own. GuiWidgetGroup holds a widget's router followed by its children's groups.
#include <FL/Fl_Box.H>
#include <FL/Fl_Group.H>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"

class GuiWidget;

// What every router adds to its toolkit widget.
class QN_GUI_API GuiRouter {
public:
    explicit GuiRouter(GuiWidget* owner) : m_owner(owner) {}
    virtual ~GuiRouter() = default;
    GuiRouter(GuiRouter const&) = delete;
    GuiRouter& operator=(GuiRouter const&) = delete;

    // Draws the toolkit widget's own look (box, label).
    virtual void draw_base() = 0;
    // Hands an event name back to the toolkit: converted to its number and given to the
    // toolkit widget's own handler.
    virtual int handle_event(CoreString const& name) = 0;
    // The toolkit widget's own handling of an event number (without routing).
    virtual int handle_toolkit_event(int event) = 0;
    // Pushes the owner's effective clip region; end_clip pops it.
    virtual void begin_clip();
    virtual void end_clip();
    virtual void push_clip(int x, int y, int w, int h);
    virtual void pop_clip();

    GuiWidget* get_owner() const { return m_owner; }
    void set_owner(GuiWidget* owner) { m_owner = owner; }
    // process_event hands events to the toolkit only while this is set.
    bool const& is_pass_to_toolkit() const { return m_pass_to_toolkit; }
    void set_pass_to_toolkit(bool const& pass) { m_pass_to_toolkit = pass; }

    // Toolkit event number of an event name (255 for names the toolkit does not know).
    static int get_toolkit_event(CoreString const& name);
    // Event name of a toolkit event number (EVT_ID_UNKNOWN for others).
    static CoreString const& get_event_name(int event);

    // The routing shared by the widget routers: translates the toolkit event, keeps the
    // entered flag, calls the application's mouse listeners, applies the key delivery rule,
    // drag throttling and drag-and-drop acceptance, calls process_event and raises the
    // handled event on the owner. `fallback` is the toolkit widget's own handler.
    static int route_event(GuiWidget& owner, int event, GuiRouter& router);
    // The draw shared by the widget routers: under the interface lock, within the clip.
    static void draw_owner(GuiWidget& owner, GuiRouter& router);
    // Delivers a paste to the widget from a 1 ms application timer, after the toolkit's paste
    // event has returned; forget_widget cancels the deliveries of a widget being deleted.
    static void paste_later(GuiWidget& widget, CoreString const& text);
    static void forget_widget(GuiWidget* widget);

protected:
    bool m_internal = false;

private:
    GuiWidget* m_owner = nullptr;
    bool m_pass_to_toolkit = true;
};

// The router of an ordinary widget: an invisible toolkit box at the widget's box. Final:
// layout passes move it with place, which must stay what resize does.
class QN_GUI_API GuiBoxRouter final : public Fl_Box, public GuiRouter {
public:
    GuiBoxRouter(GuiWidget& owner, int x, int y, int w, int h);

    // Moves the box as resize does, without the virtual call: a layout pass moves thousands.
    void place(int X, int Y, int W, int H)
    {
        x(X);
        y(Y);
        w(W);
        h(H);
    }

    int handle(int event) override;
    void draw() override;

    void draw_base() override;
    int handle_event(CoreString const& name) override;
    int handle_toolkit_event(int event) override { return Fl_Box::handle(event); }
};

// A widget's toolkit group: the router, then the children's groups. Toolkit layout is never
// used: resizing the group moves nothing inside it, widgets place their toolkit objects.
class QN_GUI_API GuiWidgetGroup : public Fl_Group {
public:
    GuiWidgetGroup(int x, int y, int w, int h);
    void resize(int x, int y, int w, int h) override;
};
