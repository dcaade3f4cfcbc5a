#include "tests/support/gui_event_state.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/x.H>
#include <dlfcn.h>

#include <cstring>

// FLTK's key map of the current event (bit per X key code); exported but not declared.
extern char fl_key_vector[32];

struct GuiEventState::Saved {
    int number, x, y, x_root, y_root, dx, dy, state, clicks, is_click, keysym, length;
    char* text;
    char key_vector[32];
};

namespace {

bool has_display()
{
    if (fl_display) return true;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    fl_open_display(display);
    return true;
}

}  // namespace

GuiEventState::GuiEventState()
    : m_saved(new Saved{Fl::e_number, Fl::e_x, Fl::e_y, Fl::e_x_root, Fl::e_y_root, Fl::e_dx, Fl::e_dy,
                        Fl::e_state, Fl::e_clicks, Fl::e_is_click, Fl::e_keysym, Fl::e_length, Fl::e_text,
                        {}})
{
    std::memcpy(m_saved->key_vector, fl_key_vector, sizeof(fl_key_vector));
}

GuiEventState::~GuiEventState()
{
    Fl::e_number = m_saved->number;
    Fl::e_x = m_saved->x;
    Fl::e_y = m_saved->y;
    Fl::e_x_root = m_saved->x_root;
    Fl::e_y_root = m_saved->y_root;
    Fl::e_dx = m_saved->dx;
    Fl::e_dy = m_saved->dy;
    Fl::e_state = m_saved->state;
    Fl::e_clicks = m_saved->clicks;
    Fl::e_is_click = m_saved->is_click;
    Fl::e_keysym = m_saved->keysym;
    Fl::e_length = m_saved->length;
    Fl::e_text = m_saved->text;
    std::memcpy(fl_key_vector, m_saved->key_vector, sizeof(fl_key_vector));
}

GuiEventState& GuiEventState::set_event(int event)
{
    Fl::e_number = event;
    return *this;
}

GuiEventState& GuiEventState::set_position(int x, int y)
{
    Fl::e_x = x;
    Fl::e_y = y;
    return *this;
}

GuiEventState& GuiEventState::set_root_position(int x, int y)
{
    Fl::e_x_root = x;
    Fl::e_y_root = y;
    return *this;
}

GuiEventState& GuiEventState::set_position_in_window(int window_x, int window_y, int x, int y)
{
    return set_position(x, y).set_root_position(window_x + x, window_y + y);
}

GuiEventState& GuiEventState::set_state(int state)
{
    Fl::e_state = state;
    return *this;
}

GuiEventState& GuiEventState::add_state(int bits)
{
    Fl::e_state |= bits;
    return *this;
}

GuiEventState& GuiEventState::remove_state(int bits)
{
    Fl::e_state &= ~bits;
    return *this;
}

GuiEventState& GuiEventState::press_button(int button)
{
    Fl::e_keysym = FL_Button + button;
    if (button >= 1 && button <= 7) Fl::e_state |= FL_BUTTON(button);
    return *this;
}

GuiEventState& GuiEventState::release_button(int button)
{
    Fl::e_keysym = FL_Button + button;
    if (button >= 1 && button <= 7) Fl::e_state &= ~FL_BUTTON(button);
    return *this;
}

GuiEventState& GuiEventState::set_key(int key, bool held)
{
    Fl::e_keysym = key;
    if (!has_display()) return *this;
    unsigned int const keycode = XKeysymToKeycode(fl_display, static_cast<KeySym>(key));
    if (keycode == 0 || keycode >= 256) return *this;
    char const bit = static_cast<char>(1 << (keycode % 8));
    if (held) {
        fl_key_vector[keycode / 8] |= bit;
    } else {
        fl_key_vector[keycode / 8] &= static_cast<char>(~bit);
    }
    return *this;
}

GuiEventState& GuiEventState::set_clicks(int clicks, bool is_click)
{
    Fl::e_clicks = clicks;
    Fl::e_is_click = is_click ? 1 : 0;
    return *this;
}

GuiEventState& GuiEventState::set_wheel(int dx, int dy)
{
    Fl::e_dx = dx;
    Fl::e_dy = dy;
    return *this;
}

GuiEventState& GuiEventState::set_text(std::string const& text)
{
    m_text = text;
    Fl::e_text = m_text.data();
    Fl::e_length = static_cast<int>(m_text.size());
    return *this;
}

int GuiEventState::send(Fl_Widget& widget, int event)
{
    Fl::e_number = event;
    return widget.handle(event);
}

// --- GuiServerKey ---

namespace {

using FakeKeyEvent = int (*)(Display*, unsigned int, int, unsigned long);

FakeKeyEvent fake_key_event()
{
    static FakeKeyEvent function = [] {
        void* library = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        return library ? reinterpret_cast<FakeKeyEvent>(dlsym(library, "XTestFakeKeyEvent")) : nullptr;
    }();
    return function;
}

}  // namespace

GuiServerKey::GuiServerKey(int key)
{
    FakeKeyEvent press = fake_key_event();
    if (!press || !has_display()) return;
    unsigned int const keycode = XKeysymToKeycode(fl_display, static_cast<KeySym>(key));
    if (keycode == 0 || !press(fl_display, keycode, True, 0)) return;
    XSync(fl_display, False);
    m_keycode = keycode;
}

GuiServerKey::~GuiServerKey()
{
    if (m_keycode == 0) return;
    fake_key_event()(fl_display, m_keycode, False, 0);
    XSync(fl_display, False);
}
