#include "tests/support/gui_synthetic_events.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>

#include "gui/core/gui_widget.h"
#include "tests/support/gui_event_state.h"

namespace {

// Far outside every window of the test screen.
constexpr int POINTER_NOWHERE = -100000;

// The state of an event at window point (x, y) of the widget's window.
void place_pointer(GuiEventState& state, GuiWidget const& widget, int x, int y)
{
    GuiWidget const* window = widget.get_window();
    int const wx = window ? window->get_x() : 0;
    int const wy = window ? window->get_y() : 0;
    state.set_position_in_window(wx, wy, x, y);
}

int send(GuiEventState& state, GuiWidget& widget, int event)
{
    Fl_Widget* router = widget.get_widget();
    return router ? state.send(*router, event) : 0;
}

int send_key(GuiWidget& widget, int event, int key, std::string const& text, int modifiers,
             std::optional<GMathVec2<int>> const& pointer)
{
    GuiEventState state;
    state.set_state(modifiers).set_key(key, event == FL_KEYDOWN).set_text(text);
    if (pointer)
        place_pointer(state, widget, (*pointer)[0], (*pointer)[1]);
    else
        state.set_position(POINTER_NOWHERE, POINTER_NOWHERE)
            .set_root_position(POINTER_NOWHERE, POINTER_NOWHERE);
    return send(state, widget, event);
}

}  // namespace

int send_event(GuiWidget& widget, int event, int x, int y)
{
    GuiEventState state;
    place_pointer(state, widget, x, y);
    return send(state, widget, event);
}

int mouse_move(GuiWidget& widget, int x, int y)
{
    GuiEventState state;
    place_pointer(state, widget, x, y);
    state.set_state(0);
    return send(state, widget, FL_MOVE);
}

int mouse_down(GuiWidget& widget, int x, int y, int button, int clicks)
{
    GuiEventState state;
    place_pointer(state, widget, x, y);
    state.set_state(0).press_button(button).set_clicks(clicks);
    return send(state, widget, FL_PUSH);
}

int mouse_up(GuiWidget& widget, int x, int y, int button)
{
    GuiEventState state;
    place_pointer(state, widget, x, y);
    state.set_state(0).release_button(button);
    return send(state, widget, FL_RELEASE);
}

int mouse_drag(GuiWidget& widget, int x, int y, int button)
{
    GuiEventState state;
    place_pointer(state, widget, x, y);
    state.set_state(0).press_button(button);
    return send(state, widget, FL_DRAG);
}

int send_pointer(GuiWidget& widget, int event, int x, int y, int modifiers, int clicks)
{
    GuiEventState state;
    place_pointer(state, widget, x, y);
    state.set_state(modifiers);
    if (event == FL_RELEASE)
        state.release_button(1);
    else if (event != FL_MOVE)
        state.press_button(1);
    if (event == FL_PUSH || event == FL_RELEASE) state.set_clicks(clicks);
    return send(state, widget, event);
}

int click(GuiWidget& widget, int x, int y, int button)
{
    int const result = mouse_down(widget, x, y, button);
    mouse_up(widget, x, y, button);
    return result;
}

int wheel(GuiWidget& widget, int dx, int dy)
{
    // A window's own position is on the screen: its centre in window coordinates is (w/2, h/2).
    bool const is_window = widget.get_window() == &widget;
    int const x = (is_window ? 0 : widget.get_x()) + widget.get_width() / 2;
    int const y = (is_window ? 0 : widget.get_y()) + widget.get_height() / 2;
    GuiEventState state;
    place_pointer(state, widget, x, y);
    state.set_wheel(dx, dy);
    return send(state, widget, FL_MOUSEWHEEL);
}

int key_down(GuiWidget& widget, int key, std::string const& text, int modifiers,
             std::optional<GMathVec2<int>> const& pointer)
{
    return send_key(widget, FL_KEYDOWN, key, text, modifiers, pointer);
}

int key_up(GuiWidget& widget, int key, int modifiers, std::optional<GMathVec2<int>> const& pointer)
{
    return send_key(widget, FL_KEYUP, key, "", modifiers, pointer);
}

int type_tab(GuiWidget& widget, bool shift)
{
    return key_down(widget, FL_Tab, "\t", shift ? FL_SHIFT : 0);
}
