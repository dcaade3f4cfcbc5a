#include "gui/core/gui.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/filename.H>
#include <FL/x.H>
#include <X11/cursorfont.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "gui/core/gui_floating_window.h"
#include "gui/core/gui_router.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"
#include "host/core/core_log.h"

// The constants are the toolkit's own numbers, so values pass through unchanged.
static_assert(Gui::MODIFIER_KEY_ID_SHIFT == FL_SHIFT && Gui::MODIFIER_KEY_ID_CAPS_LOCK == FL_CAPS_LOCK);
static_assert(Gui::MODIFIER_KEY_ID_CTRL == FL_CTRL && Gui::MODIFIER_KEY_ID_ALT == FL_ALT);
static_assert(Gui::MODIFIER_KEY_ID_NUM_LOCK == FL_NUM_LOCK && Gui::MODIFIER_KEY_ID_META == FL_META);
static_assert(Gui::MODIFIER_KEY_ID_SCROLL_LOCK == FL_SCROLL_LOCK);
static_assert(Gui::MODIFIER_KEY_ID_BUTTON_LEFT == FL_BUTTON1);
static_assert(Gui::MODIFIER_KEY_ID_BUTTON_MIDDLE == FL_BUTTON2);
static_assert(Gui::MODIFIER_KEY_ID_BUTTON_RIGHT == FL_BUTTON3);
static_assert(Gui::MOUSE_BUTTON_ID_LEFT == FL_LEFT_MOUSE && Gui::MOUSE_BUTTON_ID_RIGHT == FL_RIGHT_MOUSE);
static_assert(Gui::KEY_ID_BACKSPACE == FL_BackSpace && Gui::KEY_ID_ENTER == FL_Enter);
static_assert(Gui::KEY_ID_KEYPAD_ENTER == FL_KP_Enter && Gui::KEY_ID_KEYPAD_0 == FL_KP + '0');
static_assert(Gui::KEY_ID_KEYPAD_DEVIDE == FL_KP + '/' && Gui::KEY_ID_KEYPAD_MULTIPLY == FL_KP + '*');
static_assert(Gui::KEY_ID_F1 == FL_F + 1 && Gui::KEY_ID_F12 == FL_F + 12);
static_assert(Gui::KEY_ID_LEFT_META == FL_Meta_L && Gui::KEY_ID_RIGHT_ALT == FL_Alt_R);
static_assert(Gui::KEY_ID_DELETE == FL_Delete && Gui::KEY_ID_MENU == FL_Menu);
static_assert(int(Gui::MOUSE_CURSOR_MOVE) == FL_CURSOR_MOVE && int(Gui::MOUSE_CURSOR_WE) == FL_CURSOR_WE);
static_assert(int(Gui::MOUSE_CURSOR_INSERT) == FL_CURSOR_INSERT);
static_assert(int(Gui::MOUSE_CURSOR_NONE) == FL_CURSOR_NONE);

namespace {

bool ensure_display()
{
    return Gui::open_display();
}

struct TabletState {
    Gui::DeviceId device = Gui::DEVICE_MOUSE;
    float pressure = 0.0f;
    float x_tilt = 0.0f;
    float y_tilt = 0.0f;
};

TabletState& tablet_state()
{
    static TabletState state;
    return state;
}

struct MouseMotion {
    bool has_previous = false;
    int previous_x = 0;
    int previous_y = 0;
    int dx = 0;
    int dy = 0;
};

MouseMotion& mouse_motion()
{
    static MouseMotion motion;
    return motion;
}

CoreString& clipboard_type()
{
    static CoreString type;
    return type;
}

// Called by the toolkit when another program takes the selection (source 0) or the
// clipboard (source 1); this process's own copies do not call it.
void on_clipboard_changed(int source, void*)
{
    if (source == 1) clipboard_type() = CoreString();
}

// Clicks since the first of a fast series: 0 for a single click.
int click_index()
{
    int const clicks = Fl::event_clicks();
    return clicks < 0 ? 0 : clicks;
}

// Mouse buttons 1 to 7 as key codes (FL_Button + n). They are answered from the event state
// here, because FLTK 1.3's own key test shifts the wrong bits for them.
bool is_button_code(int code)
{
    return code > FL_Button && code <= FL_Button + 7;
}

bool is_button_code_held(int code)
{
    return (Fl::event_state() & FL_BUTTON(code - FL_Button)) != 0;
}

bool copy_text(CoreString const& text, int destination, char const* operation)
{
    if (!ensure_display()) {
        CORE_LOG_WARNING("Gui." << operation << ": no display to copy to\n");
        return false;
    }
    // FLTK claims the selection with the time of the last X event, which the server refuses
    // when another program claimed it later (a copy made from a timer, or after synthetic
    // events). Claiming at the server's current time always succeeds.
    unsigned long const event_time = fl_event_time;
    fl_event_time = CurrentTime;
    Fl::copy(text.get_data(), static_cast<int>(text.get_length()), destination);
    fl_event_time = event_time;
    XFlush(fl_display);  // other programs see the new owner at once
    return true;
}

bool paste_to_focus(int source)
{
    Fl_Widget* focus = Fl::focus();
    // The toolkit asks the owner on behalf of its first shown window.
    if (!focus || !Fl::first_window() || !ensure_display()) return false;
    Fl::paste(*focus, source);
    return true;
}

// fl_open_uri only accepts addresses with a scheme: a plain path becomes a file:// address.
CoreString to_uri(CoreString const& text)
{
    static char const* const schemes[] = {"file://", "ftp://", "http://", "https://", "mailto:", "news://"};
    for (char const* scheme : schemes) {
        if (text.start_with(scheme)) return text;
    }
    if (text.find("://") != CoreString::NOT_FOUND) return text;  // an unsupported scheme, refused later
    std::error_code error;
    std::filesystem::path const path = std::filesystem::absolute(std::string(text.view()), error);
    return CoreString("file://") + (error ? std::string(text.view()) : path.string());
}

}  // namespace

// --- Names ---

char const* Gui::get_mouse_button_id_name(MouseButtonId const& id)
{
    switch (id) {
    case MOUSE_BUTTON_ID_LEFT: return "MOUSE_BUTTON_ID_LEFT";
    case MOUSE_BUTTON_ID_MIDDLE: return "MOUSE_BUTTON_ID_MIDDLE";
    case MOUSE_BUTTON_ID_RIGHT: return "MOUSE_BUTTON_ID_RIGHT";
    }
    return "MOUSE_BUTTON_ID_UNKNOWN";
}

char const* Gui::get_modifier_key_id_name(ModifierKeyId const& id)
{
    switch (id) {
    case MODIFIER_KEY_ID_SHIFT: return "MODIFIER_KEY_ID_SHIFT";
    case MODIFIER_KEY_ID_CAPS_LOCK: return "MODIFIER_KEY_ID_CAPS_LOCK";
    case MODIFIER_KEY_ID_CTRL: return "MODIFIER_KEY_ID_CTRL";
    case MODIFIER_KEY_ID_ALT: return "MODIFIER_KEY_ID_ALT";
    case MODIFIER_KEY_ID_NUM_LOCK: return "MODIFIER_KEY_ID_NUM_LOCK";
    case MODIFIER_KEY_ID_META: return "MODIFIER_KEY_ID_META";
    case MODIFIER_KEY_ID_SCROLL_LOCK: return "MODIFIER_KEY_ID_SCROLL_LOCK";
    case MODIFIER_KEY_ID_BUTTON_LEFT: return "MODIFIER_KEY_ID_BUTTON_LEFT";
    case MODIFIER_KEY_ID_BUTTON_MIDDLE: return "MODIFIER_KEY_ID_BUTTON_MIDDLE";
    case MODIFIER_KEY_ID_BUTTON_RIGHT: return "MODIFIER_KEY_ID_BUTTON_RIGHT";
    }
    return "MODIFIER_KEY_ID_UNKNOWN";
}

char const* Gui::get_key_id_name(KeyId const& id)
{
    switch (id) {
    case KEY_ID_BACKSPACE: return "KEY_ID_BACKSPACE";
    case KEY_ID_TAB: return "KEY_ID_TAB";
    case KEY_ID_ENTER: return "KEY_ID_ENTER";
    case KEY_ID_PAUSE: return "KEY_ID_PAUSE";
    case KEY_ID_SCROLL_LOCK: return "KEY_ID_SCROLL_LOCK";
    case KEY_ID_ESCAPE: return "KEY_ID_ESCAPE";
    case KEY_ID_HOME: return "KEY_ID_HOME";
    case KEY_ID_LEFT: return "KEY_ID_LEFT";
    case KEY_ID_UP: return "KEY_ID_UP";
    case KEY_ID_RIGHT: return "KEY_ID_RIGHT";
    case KEY_ID_DOWN: return "KEY_ID_DOWN";
    case KEY_ID_PAGE_UP: return "KEY_ID_PAGE_UP";
    case KEY_ID_PAGE_DOWN: return "KEY_ID_PAGE_DOWN";
    case KEY_ID_END: return "KEY_ID_END";
    case KEY_ID_PRINT: return "KEY_ID_PRINT";
    case KEY_ID_INSERT: return "KEY_ID_INSERT";
    case KEY_ID_MENU: return "KEY_ID_MENU";
    case KEY_ID_HELP: return "KEY_ID_HELP";
    case KEY_ID_NUM_LOCK: return "KEY_ID_NUM_LOCK";
    case KEY_ID_KEYPAD_ENTER: return "KEY_ID_KEYPAD_ENTER";
    case KEY_ID_KEYPAD_MULTIPLY: return "KEY_ID_KEYPAD_MULTIPLY";
    case KEY_ID_KEYPAD_ADD: return "KEY_ID_KEYPAD_ADD";
    case KEY_ID_KEYPAD_SUBTRACT: return "KEY_ID_KEYPAD_SUBTRACT";
    case KEY_ID_KEYPAD_DECIMAL: return "KEY_ID_KEYPAD_DECIMAL";
    case KEY_ID_KEYPAD_DEVIDE: return "KEY_ID_KEYPAD_DEVIDE";
    case KEY_ID_KEYPAD_0: return "KEY_ID_KEYPAD_0";
    case KEY_ID_KEYPAD_1: return "KEY_ID_KEYPAD_1";
    case KEY_ID_KEYPAD_2: return "KEY_ID_KEYPAD_2";
    case KEY_ID_KEYPAD_3: return "KEY_ID_KEYPAD_3";
    case KEY_ID_KEYPAD_4: return "KEY_ID_KEYPAD_4";
    case KEY_ID_KEYPAD_5: return "KEY_ID_KEYPAD_5";
    case KEY_ID_KEYPAD_6: return "KEY_ID_KEYPAD_6";
    case KEY_ID_KEYPAD_7: return "KEY_ID_KEYPAD_7";
    case KEY_ID_KEYPAD_8: return "KEY_ID_KEYPAD_8";
    case KEY_ID_KEYPAD_9: return "KEY_ID_KEYPAD_9";
    case KEY_ID_F1: return "KEY_ID_F1";
    case KEY_ID_F2: return "KEY_ID_F2";
    case KEY_ID_F3: return "KEY_ID_F3";
    case KEY_ID_F4: return "KEY_ID_F4";
    case KEY_ID_F5: return "KEY_ID_F5";
    case KEY_ID_F6: return "KEY_ID_F6";
    case KEY_ID_F7: return "KEY_ID_F7";
    case KEY_ID_F8: return "KEY_ID_F8";
    case KEY_ID_F9: return "KEY_ID_F9";
    case KEY_ID_F10: return "KEY_ID_F10";
    case KEY_ID_F11: return "KEY_ID_F11";
    case KEY_ID_F12: return "KEY_ID_F12";
    case KEY_ID_LEFT_SHIFT: return "KEY_ID_LEFT_SHIFT";
    case KEY_ID_RIGHT_SHIFT: return "KEY_ID_RIGHT_SHIFT";
    case KEY_ID_LEFT_CONTROL: return "KEY_ID_LEFT_CONTROL";
    case KEY_ID_RIGHT_CONTROL: return "KEY_ID_RIGHT_CONTROL";
    case KEY_ID_CAPS_LOCK: return "KEY_ID_CAPS_LOCK";
    case KEY_ID_LEFT_META: return "KEY_ID_LEFT_META";
    case KEY_ID_RIGHT_META: return "KEY_ID_RIGHT_META";
    case KEY_ID_LEFT_ALT: return "KEY_ID_LEFT_ALT";
    case KEY_ID_RIGHT_ALT: return "KEY_ID_RIGHT_ALT";
    case KEY_ID_DELETE: return "KEY_ID_DELETE";
    }
    return "KEY_ID_UNKNOWN";
}

char const* Gui::get_mouse_cursor_name(MouseCursorId const& id)
{
    switch (id) {
    case MOUSE_CURSOR_DEFAULT: return "MOUSE_CURSOR_DEFAULT";
    case MOUSE_CURSOR_NO_ENTRY: return "MOUSE_CURSOR_NO_ENTRY";
    case MOUSE_CURSOR_MOVE: return "MOUSE_CURSOR_MOVE";
    case MOUSE_CURSOR_HAND: return "MOUSE_CURSOR_HAND";
    case MOUSE_CURSOR_ARROW: return "MOUSE_CURSOR_ARROW";
    case MOUSE_CURSOR_HELP: return "MOUSE_CURSOR_HELP";
    case MOUSE_CURSOR_CROSS: return "MOUSE_CURSOR_CROSS";
    case MOUSE_CURSOR_WAIT: return "MOUSE_CURSOR_WAIT";
    case MOUSE_CURSOR_INSERT: return "MOUSE_CURSOR_INSERT";
    case MOUSE_CURSOR_NS: return "MOUSE_CURSOR_NS";
    case MOUSE_CURSOR_WE: return "MOUSE_CURSOR_WE";
    case MOUSE_CURSOR_NWSE: return "MOUSE_CURSOR_NWSE";
    case MOUSE_CURSOR_NESW: return "MOUSE_CURSOR_NESW";
    case MOUSE_CURSOR_NONE: return "MOUSE_CURSOR_NONE";
    }
    return "MOUSE_CURSOR_UNKNOWN";
}

char const* Gui::get_device_id_name(DeviceId const& id)
{
    switch (id) {
    case DEVICE_MOUSE: return "DEVICE_MOUSE";
    case DEVICE_STYLUS: return "DEVICE_STYLUS";
    case DEVICE_ERASER: return "DEVICE_ERASER";
    case DEVICE_AIRBRUSH: return "DEVICE_AIRBRUSH";
    case DEVICE_TOUCH: return "DEVICE_TOUCH";
    }
    return "DEVICE_UNKNOWN";
}

char const* Gui::get_channel_depth_name(ColorDepth const& depth)
{
    switch (depth) {
    case COLOR_DEPTH_RGB: return "COLOR_DEPTH_RGB";
    case COLOR_DEPTH_RGBA: return "COLOR_DEPTH_RGBA";
    case COLOR_DEPTH_L: return "COLOR_DEPTH_L";
    case COLOR_DEPTH_LA: return "COLOR_DEPTH_LA";
    case COLOR_DEPTH_A: return "COLOR_DEPTH_A";
    }
    return "COLOR_DEPTH_UNKNOWN";
}

char const* Gui::get_windows_tablet_api_name(WindowsTabletApi const& api)
{
    switch (api) {
    case WINTAB: return "WINTAB";
    case WINDOWS_INK: return "WINDOWS_INK";
    }
    return "UNKNOWN";
}

unsigned int Gui::get_channel_count_by_color_depth(ColorDepth const& depth)
{
    switch (depth) {
    case COLOR_DEPTH_RGB: return 3;
    case COLOR_DEPTH_RGBA: return 4;
    case COLOR_DEPTH_L: return 1;
    case COLOR_DEPTH_LA: return 2;
    case COLOR_DEPTH_A: return 1;
    }
    return 0;
}

// --- The event being handled ---

int Gui::get_last_key_pressed()
{
    return Fl::event_key();
}

CoreString Gui::get_key_pressed_text()
{
    return get_event_text();
}

CoreString Gui::get_event_text()
{
    char const* text = Fl::event_text();
    int const length = Fl::event_length();
    if (!text || length <= 0) return CoreString();
    return CoreString(text, length);
}

bool Gui::is_modifier_pressed(ModifierKeyId const& id)
{
    return (Fl::event_state() & id) != 0;
}

bool Gui::is_modifier_shift() { return is_modifier_pressed(MODIFIER_KEY_ID_SHIFT); }
bool Gui::is_modifier_ctrl() { return is_modifier_pressed(MODIFIER_KEY_ID_CTRL); }
bool Gui::is_modifier_alt() { return is_modifier_pressed(MODIFIER_KEY_ID_ALT); }
bool Gui::is_modifier_meta() { return is_modifier_pressed(MODIFIER_KEY_ID_META); }
bool Gui::is_modifier_caps_lock() { return is_modifier_pressed(MODIFIER_KEY_ID_CAPS_LOCK); }
bool Gui::is_modifier_num_lock() { return is_modifier_pressed(MODIFIER_KEY_ID_NUM_LOCK); }
bool Gui::is_modifier_scroll_lock() { return is_modifier_pressed(MODIFIER_KEY_ID_SCROLL_LOCK); }
bool Gui::is_modifier_button_left() { return is_modifier_pressed(MODIFIER_KEY_ID_BUTTON_LEFT); }
bool Gui::is_modifier_button_middle() { return is_modifier_pressed(MODIFIER_KEY_ID_BUTTON_MIDDLE); }
bool Gui::is_modifier_button_right() { return is_modifier_pressed(MODIFIER_KEY_ID_BUTTON_RIGHT); }

Gui::MouseButtonId Gui::get_event_mouse_button()
{
    int const button = Fl::event_button();
    if (button >= MOUSE_BUTTON_ID_LEFT && button <= MOUSE_BUTTON_ID_RIGHT) {
        return static_cast<MouseButtonId>(button);
    }
    return static_cast<MouseButtonId>(4);
}

bool Gui::is_mouse_button_pressed(MouseButtonId const& id)
{
    switch (id) {
    case MOUSE_BUTTON_ID_LEFT: return is_modifier_button_left();
    case MOUSE_BUTTON_ID_MIDDLE: return is_modifier_button_middle();
    case MOUSE_BUTTON_ID_RIGHT: return is_modifier_button_right();
    }
    return false;
}

bool Gui::is_mouse_button_pressed()
{
    return (Fl::event_state() & (FL_BUTTON1 | FL_BUTTON2 | FL_BUTTON3)) != 0;
}

int Gui::get_event_clicks_count() { return click_index() + 1; }
bool Gui::is_one_click() { return click_index() % 3 == 0; }
bool Gui::is_double_click() { return click_index() % 3 == 1; }
bool Gui::is_triple_click() { return click_index() % 3 == 2; }

int Gui::get_wheel_dx() { return Fl::event_dx(); }
int Gui::get_wheel_dy() { return Fl::event_dy(); }

int const& Gui::get_mouse_dx() { return mouse_motion().dx; }
int const& Gui::get_mouse_dy() { return mouse_motion().dy; }

void Gui::update_mouse_motion()
{
    MouseMotion& motion = mouse_motion();
    int const x = Fl::event_x_root();
    int const y = Fl::event_y_root();
    motion.dx = motion.has_previous ? x - motion.previous_x : 0;
    motion.dy = motion.has_previous ? y - motion.previous_y : 0;
    motion.previous_x = x;
    motion.previous_y = y;
    motion.has_previous = true;
}

void Gui::reset_mouse_motion()
{
    mouse_motion() = MouseMotion();
}

bool Gui::is_key_down(int const& code)
{
    if (is_button_code(code)) return is_button_code_held(code);
    if (!ensure_display()) return false;
    return Fl::get_key(code) != 0;
}

bool Gui::is_key_pressed(int const& code)
{
    if (is_button_code(code)) return is_button_code_held(code);
    if (!ensure_display()) return false;
    return Fl::event_key(code) != 0;
}

// --- Tablet ---

Gui::DeviceId const& Gui::get_device_type()
{
    return tablet_state().device;
}

float Gui::get_pressure()
{
    TabletState const& state = tablet_state();
    if (state.device == DEVICE_MOUSE && is_mouse_button_pressed()) return 1.0f;
    return state.pressure;
}

float Gui::get_x_tilt()
{
    TabletState const& state = tablet_state();
    return state.device == DEVICE_MOUSE ? 0.0f : state.x_tilt;
}

float Gui::get_y_tilt()
{
    TabletState const& state = tablet_state();
    return state.device == DEVICE_MOUSE ? 0.0f : state.y_tilt;
}

void Gui::set_tablet_state(DeviceId const& device, float const& pressure, float const& x_tilt,
                           float const& y_tilt)
{
    tablet_state() = TabletState{device, pressure, x_tilt, y_tilt};
}

// --- Pointer position ---

void Gui::get_mouse_screen_position(int& x, int& y)
{
    x = 0;
    y = 0;
    if (ensure_display()) Fl::get_mouse(x, y);
}

int Gui::get_mouse_screen_position_x()
{
    int x, y;
    get_mouse_screen_position(x, y);
    return x;
}

int Gui::get_mouse_screen_position_y()
{
    int x, y;
    get_mouse_screen_position(x, y);
    return y;
}

void Gui::get_absolute_mouse_coords(int const& window_x, int const& window_y, int& x, int& y)
{
    get_mouse_screen_position(x, y);
    x -= window_x;
    y -= window_y;
}

void Gui::get_relative_mouse_coords(int const& window_x, int const& window_y, int const& widget_x,
                                    int const& widget_y, int& x, int& y)
{
    x = Fl::event_x_root() - window_x - widget_x;
    y = Fl::event_y_root() - window_y - widget_y;
}

bool Gui::is_point_in_region(int const& px, int const& py, int const& x, int const& y, int const& w,
                             int const& h)
{
    return x <= px && px <= x + w && y <= py && py <= y + h;
}

bool Gui::is_mouse_over_screen_region(int const& x, int const& y, int const& w, int const& h)
{
    int px, py;
    get_mouse_screen_position(px, py);
    return is_point_in_region(px, py, x, y, w, h);
}

bool Gui::is_mouse_over_region(int const& window_x, int const& window_y, int const& x, int const& y,
                               int const& w, int const& h)
{
    return is_mouse_over_screen_region(window_x + x, window_y + y, w, h);
}

bool Gui::is_mouse_over_region(int const& window_x, int const& window_y, int const region[4])
{
    return is_mouse_over_region(window_x, window_y, region[0], region[1], region[2], region[3]);
}

void Gui::set_mouse_cursor(MouseCursorId const& id)
{
    if (std::strcmp(get_mouse_cursor_name(id), "MOUSE_CURSOR_UNKNOWN") == 0) {
        CORE_LOG_WARNING("Gui.set_mouse_cursor: unknown cursor " << static_cast<int>(id) << "\n");
        return;
    }
    Fl_Window* window = Fl::first_window();
    if (!window) return;
    if (id != MOUSE_CURSOR_NO_ENTRY) {
        window->cursor(static_cast<Fl_Cursor>(id));
        return;
    }
    // The toolkit has no "no entry" cursor: the X cursor font's cross stands in, set on the
    // top-level window as the toolkit does with its own cursors.
    Fl_Window* top = window->top_window();
    if (!top || !top->shown() || !ensure_display()) return;
    static Cursor no_entry = XCreateFontCursor(fl_display, XC_X_cursor);
    XDefineCursor(fl_display, fl_xid(top), no_entry);
    XFlush(fl_display);
}

namespace {

struct RecentPointer {
    bool known = false;
    std::chrono::steady_clock::time_point time;
    int x = 0;
    int y = 0;
    void set(int px, int py)
    {
        known = true;
        time = std::chrono::steady_clock::now();
        x = px;
        y = py;
    }
};
RecentPointer s_recent_pointer;  // interface thread only

}  // namespace

void Gui::get_recent_mouse_screen_position(int& x, int& y)
{
    if (!s_recent_pointer.known ||
        std::chrono::steady_clock::now() - s_recent_pointer.time > std::chrono::milliseconds(2)) {
        int px = 0, py = 0;
        get_mouse_screen_position(px, py);
        s_recent_pointer.set(px, py);
    }
    x = s_recent_pointer.x;
    y = s_recent_pointer.y;
}

int Gui::set_mouse_screen_position(int const& x, int const& y)
{
    if (get_device_type() != DEVICE_MOUSE) return -1;
    if (!ensure_display()) {
        CORE_LOG_WARNING("Gui.set_mouse_screen_position: no display\n");
        return -1;
    }
    XWarpPointer(fl_display, None, RootWindow(fl_display, fl_screen), 0, 0, 0, 0, x, y);
    XFlush(fl_display);
    s_recent_pointer.set(x, y);
    return 0;
}

// --- Clipboard and selection buffer ---

void Gui::copy_to_clipboard(CoreString const& text, CoreString const& type)
{
    static bool const notify_installed = [] {
        Fl::add_clipboard_notify(on_clipboard_changed, nullptr);
        return true;
    }();
    (void)notify_installed;
    if (copy_text(text, 1, "copy_to_clipboard")) clipboard_type() = type;
}

CoreString const& Gui::get_clipboard_type()
{
    return clipboard_type();
}

void Gui::copy_to_selection_buffer(CoreString const& text)
{
    copy_text(text, 0, "copy_to_selection_buffer");
}

bool Gui::paste_from_clipboard()
{
    return paste_to_focus(1);
}

bool Gui::paste_from_selection_buffer()
{
    return paste_to_focus(0);
}

// --- Screens and documents ---

int Gui::get_screen_width()
{
    if (!ensure_display()) return 0;
    int x, y, w, h;
    Fl::screen_xywh(x, y, w, h, 0);
    return w;
}

int Gui::get_screen_height()
{
    if (!ensure_display()) return 0;
    int x, y, w, h;
    Fl::screen_xywh(x, y, w, h, 0);
    return h;
}

int Gui::get_screen_count()
{
    return ensure_display() ? Fl::screen_count() : 0;
}

GMathVec4<int> Gui::get_screen_bbox(int const& x, int const& y)
{
    if (!ensure_display()) return GMathVec4<int>(0, 0, 0, 0);
    int bx, by, bw, bh;
    Fl::screen_work_area(bx, by, bw, bh, x, y);
    return GMathVec4<int>(bx, by, bw, bh);
}

bool Gui::open_uri(CoreString const& text)
{
    if (text.is_empty()) {
        CORE_LOG_WARNING("Gui.open_uri: nothing to open\n");
        return false;
    }
    CoreString const uri = to_uri(text);
    char message[1024] = "";
    if (fl_open_uri(uri.get_data(), message, static_cast<int>(sizeof(message)))) return true;
    CORE_LOG_WARNING("Gui.open_uri: can't open '" << text << "': " << message << "\n");
    return false;
}

unsigned int Gui::get_count_of_next_character(char const& c)
{
    unsigned char const byte = static_cast<unsigned char>(c);
    if ((byte & 0xE0) == 0xC0) return 2;
    if ((byte & 0xF0) == 0xE0) return 3;
    if ((byte & 0xF8) == 0xF0) return 4;
    return 1;
}

size_t Gui::get_valid_character_length(std::string_view text, size_t i)
{
    unsigned char const c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) return 1;
    size_t length;
    unsigned int code;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF))) return 0;
    if (code >= 0xD800 && code <= 0xDFFF) return 0;
    return length;
}

// FLTK ends the process when it cannot open the display, so the display is opened here
// first and its absence reported to the caller instead.
bool Gui::open_display()
{
    if (fl_display) return true;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    fl_open_display(display);
    return true;
}

// Widget forms -----------------------------------------------------------------------------

namespace {

void widget_window_position(GuiWidget const& widget, int& x, int& y, bool& has_window)
{
    GuiWidget const* window = widget.get_window();
    has_window = window != nullptr;
    x = window ? window->get_x() : 0;
    y = window ? window->get_y() : 0;
}

// Deepest shown descendant of `widget` whose box holds the window point (later siblings win).
GuiWidget* deepest_child_at(GuiWidget& widget, int x, int y)
{
    CoreVector<GuiWidget*> const& children = widget.get_children();
    for (unsigned int i = children.get_count(); i-- > 0;) {
        GuiWidget* child = children[i];
        if (!child->is_shown() || child->is_destroyed()) continue;
        if (Gui::is_point_in_region(x, y, child->get_x(), child->get_y(), child->get_width(), child->get_height()))
            return deepest_child_at(*child, x, y);
    }
    return &widget;
}

}  // namespace

void Gui::get_absolute_mouse_coords(GuiWidget const& widget, int& x, int& y)
{
    int wx, wy;
    bool has_window;
    widget_window_position(widget, wx, wy, has_window);
    get_absolute_mouse_coords(wx, wy, x, y);
}

int Gui::get_absolute_mouse_x(GuiWidget const& widget)
{
    int x, y;
    get_absolute_mouse_coords(widget, x, y);
    return x;
}

int Gui::get_absolute_mouse_y(GuiWidget const& widget)
{
    int x, y;
    get_absolute_mouse_coords(widget, x, y);
    return y;
}

void Gui::get_relative_mouse_coords(GuiWidget const& widget, int& x, int& y)
{
    int wx, wy;
    bool has_window;
    widget_window_position(widget, wx, wy, has_window);
    if (!has_window) {
        x = 0;
        y = 0;
        return;
    }
    get_relative_mouse_coords(wx, wy, widget.get_x(), widget.get_y(), x, y);
}

int Gui::get_relative_mouse_x(GuiWidget const& widget)
{
    int x, y;
    get_relative_mouse_coords(widget, x, y);
    return x;
}

int Gui::get_relative_mouse_y(GuiWidget const& widget)
{
    int x, y;
    get_relative_mouse_coords(widget, x, y);
    return y;
}

bool Gui::is_mouse_over_region(GuiWidget const& widget, int const& x, int const& y, int const& w, int const& h)
{
    int wx, wy;
    bool has_window;
    widget_window_position(widget, wx, wy, has_window);
    return is_mouse_over_region(wx, wy, x, y, w, h);
}

bool Gui::is_mouse_over_region(GuiWidget const& widget, int const region[4])
{
    return is_mouse_over_region(widget, region[0], region[1], region[2], region[3]);
}

bool Gui::is_mouse_over_widget(GuiWidget const& widget)
{
    if (widget.is_kindof(GuiWindow::class_info()))
        return is_mouse_over_screen_region(widget.get_x(), widget.get_y(), widget.get_width(), widget.get_height());
    return is_mouse_over_region(widget, widget.get_x(), widget.get_y(), widget.get_width(), widget.get_height());
}

GuiWidget* Gui::get_below_mouse_widget()
{
    if (!fl_display) return nullptr;
    int px, py;
    get_mouse_screen_position(px, py);
    // The toolkit lists its shown windows front-most first (a window moves to the front when
    // it is shown or raised): the first one under the pointer is the one the user sees there.
    // Floating tool windows stay above their owner whatever the list says.
    GuiWidget* front = nullptr;
    for (Fl_Window* toolkit = Fl::first_window(); toolkit; toolkit = Fl::next_window(toolkit)) {
        GuiRouter* router = dynamic_cast<GuiRouter*>(toolkit);
        GuiWidget* window = router ? router->get_owner() : nullptr;
        if (!window || !window->is_kindof(GuiWindow::class_info())) continue;
        if (!is_point_in_region(px, py, toolkit->x(), toolkit->y(), toolkit->w(), toolkit->h())) continue;
        GuiWidget* root = window->get_root_window();
        if (root && root->is_kindof(GuiFloatingWindow::class_info())) {
            front = window;
            break;
        }
        if (!front) front = window;
    }
    if (!front) return nullptr;
    return deepest_child_at(*front, px - front->get_x(), py - front->get_y());
}
