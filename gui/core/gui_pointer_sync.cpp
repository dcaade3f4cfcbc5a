#include "gui/core/gui_pointer_sync.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

namespace {

// The last pointer event given to a window, and whether the toolkit's held-back motion, which
// a key delivered ahead of time, is still to come.
struct PointerState {
    Fl_Window* window = nullptr;
    int x_root = 0;
    int y_root = 0;
    // The button of the last press (FL_Button + n), which pointer events carry as their key.
    int keysym = 0;
    bool repeat_pending = false;
};

PointerState& pointer_state()
{
    static PointerState state;
    return state;
}

bool is_pointer_event(int event)
{
    return event == FL_MOVE || event == FL_DRAG || event == FL_PUSH || event == FL_RELEASE;
}

bool is_inside(Fl_Window const& window)
{
    return Fl::event_x() >= 0 && Fl::event_y() >= 0 && Fl::event_x() < window.w() && Fl::event_y() < window.h();
}

}  // namespace

void GuiPointerSync::install()
{
    if (Fl::event_dispatch() != &GuiPointerSync::dispatch) Fl::event_dispatch(&GuiPointerSync::dispatch);
}

int GuiPointerSync::dispatch(int event, Fl_Window* window)
{
    PointerState& state = pointer_state();
    bool const moved = Fl::event_x_root() != state.x_root || Fl::event_y_root() != state.y_root;
    if (is_pointer_event(event)) {
        bool const repeat = state.repeat_pending && (event == FL_MOVE || event == FL_DRAG) && !moved;
        state.repeat_pending = false;
        if (repeat) return 1;
        state.window = window;
        state.x_root = Fl::event_x_root();
        state.y_root = Fl::event_y_root();
        if (event == FL_PUSH || event == FL_RELEASE) state.keysym = Fl::e_keysym;
        return Fl::handle_(event, window);
    }
    // A wheel step goes to the widget the toolkit last saw under the pointer.
    bool const at_pointer = event == FL_KEYDOWN || event == FL_KEYUP || event == FL_MOUSEWHEEL;
    if (at_pointer && window && window == state.window && moved && is_inside(*window)) {
        // The toolkit makes the move a drag when a widget holds the pushed button; the drag
        // tells its button by the key of the last press, as the toolkit's own drags do.
        state.x_root = Fl::event_x_root();
        state.y_root = Fl::event_y_root();
        int const keysym = Fl::e_keysym;
        Fl::e_keysym = state.keysym;
        Fl::handle_(FL_MOVE, window);
        Fl::e_keysym = keysym;
        state.repeat_pending = true;
    }
    return Fl::handle_(event, window);
}
