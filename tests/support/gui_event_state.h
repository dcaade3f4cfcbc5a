#pragma once
// Synthetic toolkit events for tests. GuiEventState sets FLTK's state of the current event as
// a real event would leave it and puts the previous state back when it goes out of scope;
// send() then hands an event number to a toolkit widget's handle(), as FLTK's dispatch does.
//
// What can be set: everything FLTK keeps in its Fl::e_* fields (event number, window and
// screen pointer position, modifier and button bits, key, clicks, wheel steps, text) and the
// key map of the current event, which Fl::event_key(int) reads.
// What cannot: Fl::get_key(int) and Fl::get_mouse() ask the X server. Hold a real key down
// with GuiServerKey, and move the real pointer with XWarpPointer (Gui::set_mouse_screen_position).
// Fl::event_original_key() is private to FLTK and keeps its value.
#include <memory>
#include <string>

class Fl_Widget;

class GuiEventState {
public:
    GuiEventState();
    ~GuiEventState();
    GuiEventState(GuiEventState const&) = delete;
    GuiEventState& operator=(GuiEventState const&) = delete;

    // Fl::event(): the number of the event being handled (FL_PUSH, FL_KEYDOWN, ...).
    GuiEventState& set_event(int event);
    // Pointer in the receiving window (Fl::event_x/y) and on the screen (Fl::event_x_root/y_root).
    GuiEventState& set_position(int x, int y);
    GuiEventState& set_root_position(int x, int y);
    // Both, for a pointer at (x, y) in a window whose top-left corner is at (window_x, window_y).
    GuiEventState& set_position_in_window(int window_x, int window_y, int x, int y);
    // Replaces, adds or removes bits of Fl::event_state() (FL_SHIFT, FL_CTRL, FL_BUTTON1, ...).
    GuiEventState& set_state(int state);
    GuiEventState& add_state(int bits);
    GuiEventState& remove_state(int bits);
    // The button of a press (Fl::event_button(), its bit held) or of a release (bit cleared).
    GuiEventState& press_button(int button);
    GuiEventState& release_button(int button);
    // The key of a key event (Fl::event_key()), held or not in the event's key map. The key map
    // needs the display to turn key codes into X key numbers; without one only the key is set.
    GuiEventState& set_key(int key, bool held = true);
    // Fl::event_clicks() (0 for a single click, 1 for a double...) and Fl::event_is_click().
    GuiEventState& set_clicks(int clicks, bool is_click = true);
    // Wheel steps of FL_MOUSEWHEEL (Fl::event_dx/dy).
    GuiEventState& set_wheel(int dx, int dy);
    // Fl::event_text() and Fl::event_length(): typed text, or the text of a paste or drop.
    GuiEventState& set_text(std::string const& text);

    // Sets Fl::event() to `event` and returns widget.handle(event).
    int send(Fl_Widget& widget, int event);

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
    std::string m_text;
};

// Holds a key down in the X server for as long as it lives, through the XTest extension
// (loaded at run time), so that Fl::get_key sees it. Does nothing when XTest or the display
// is missing; is_pressed() tells.
class GuiServerKey {
public:
    explicit GuiServerKey(int key);
    ~GuiServerKey();
    GuiServerKey(GuiServerKey const&) = delete;
    GuiServerKey& operator=(GuiServerKey const&) = delete;

    bool is_pressed() const { return m_keycode != 0; }

private:
    unsigned int m_keycode = 0;
};
