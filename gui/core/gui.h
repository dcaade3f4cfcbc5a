#pragma once
// Gui: static functions and named constants through which widgets read the current input
// event (keys, modifiers, buttons, clicks, wheel, pointer, tablet), test the pointer against
// rectangles, use the clipboard and the selection buffer, query the screens, move the pointer
// and open documents. A thin layer over FLTK's event state and the X server; every function
// is for the interface thread only.
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiWidget;

class QN_GUI_API Gui {
public:
    Gui() = delete;

    // Mouse buttons as the toolkit numbers them.
    enum MouseButtonId : int {
        MOUSE_BUTTON_ID_LEFT = 1,
        MOUSE_BUTTON_ID_MIDDLE = 2,
        MOUSE_BUTTON_ID_RIGHT = 3
    };

    // Bits of the toolkit's event state (modifier keys, lock keys and held buttons).
    enum ModifierKeyId : int {
        MODIFIER_KEY_ID_SHIFT = 0x10000,
        MODIFIER_KEY_ID_CAPS_LOCK = 0x20000,
        MODIFIER_KEY_ID_CTRL = 0x40000,
        MODIFIER_KEY_ID_ALT = 0x80000,
        MODIFIER_KEY_ID_NUM_LOCK = 0x100000,
        MODIFIER_KEY_ID_META = 0x400000,
        MODIFIER_KEY_ID_SCROLL_LOCK = 0x800000,
        MODIFIER_KEY_ID_BUTTON_LEFT = 0x1000000,
        MODIFIER_KEY_ID_BUTTON_MIDDLE = 0x2000000,
        MODIFIER_KEY_ID_BUTTON_RIGHT = 0x4000000
    };

    // Toolkit key codes of the keys that have no printable character.
    enum KeyId : int {
        KEY_ID_BACKSPACE = 65288,
        KEY_ID_TAB = 65289,
        KEY_ID_ENTER = 65293,
        KEY_ID_PAUSE = 65299,
        KEY_ID_SCROLL_LOCK = 65300,
        KEY_ID_ESCAPE = 65307,
        KEY_ID_HOME = 65360,
        KEY_ID_LEFT = 65361,
        KEY_ID_UP = 65362,
        KEY_ID_RIGHT = 65363,
        KEY_ID_DOWN = 65364,
        KEY_ID_PAGE_UP = 65365,
        KEY_ID_PAGE_DOWN = 65366,
        KEY_ID_END = 65367,
        KEY_ID_PRINT = 65377,
        KEY_ID_INSERT = 65379,
        KEY_ID_MENU = 65383,
        KEY_ID_HELP = 65384,
        KEY_ID_NUM_LOCK = 65407,
        KEY_ID_KEYPAD_ENTER = 65421,
        KEY_ID_KEYPAD_MULTIPLY = 65450,
        KEY_ID_KEYPAD_ADD = 65451,
        KEY_ID_KEYPAD_SUBTRACT = 65453,
        KEY_ID_KEYPAD_DECIMAL = 65454,
        KEY_ID_KEYPAD_DEVIDE = 65455,
        KEY_ID_KEYPAD_0 = 65456,
        KEY_ID_KEYPAD_1 = 65457,
        KEY_ID_KEYPAD_2 = 65458,
        KEY_ID_KEYPAD_3 = 65459,
        KEY_ID_KEYPAD_4 = 65460,
        KEY_ID_KEYPAD_5 = 65461,
        KEY_ID_KEYPAD_6 = 65462,
        KEY_ID_KEYPAD_7 = 65463,
        KEY_ID_KEYPAD_8 = 65464,
        KEY_ID_KEYPAD_9 = 65465,
        KEY_ID_F1 = 65470,
        KEY_ID_F2 = 65471,
        KEY_ID_F3 = 65472,
        KEY_ID_F4 = 65473,
        KEY_ID_F5 = 65474,
        KEY_ID_F6 = 65475,
        KEY_ID_F7 = 65476,
        KEY_ID_F8 = 65477,
        KEY_ID_F9 = 65478,
        KEY_ID_F10 = 65479,
        KEY_ID_F11 = 65480,
        KEY_ID_F12 = 65481,
        KEY_ID_LEFT_SHIFT = 65505,
        KEY_ID_RIGHT_SHIFT = 65506,
        KEY_ID_LEFT_CONTROL = 65507,
        KEY_ID_RIGHT_CONTROL = 65508,
        KEY_ID_CAPS_LOCK = 65509,
        KEY_ID_LEFT_META = 65511,
        KEY_ID_RIGHT_META = 65512,
        KEY_ID_LEFT_ALT = 65513,
        KEY_ID_RIGHT_ALT = 65514,
        KEY_ID_DELETE = 65535
    };

    // Pointer shapes, numbered as the toolkit's cursors.
    enum MouseCursorId : int {
        MOUSE_CURSOR_DEFAULT = 0,
        MOUSE_CURSOR_NO_ENTRY = 1,
        MOUSE_CURSOR_MOVE = 27,
        MOUSE_CURSOR_HAND = 31,
        MOUSE_CURSOR_ARROW = 35,
        MOUSE_CURSOR_HELP = 47,
        MOUSE_CURSOR_CROSS = 66,
        MOUSE_CURSOR_WAIT = 76,
        MOUSE_CURSOR_INSERT = 77,
        MOUSE_CURSOR_NS = 78,
        MOUSE_CURSOR_WE = 79,
        MOUSE_CURSOR_NWSE = 80,
        MOUSE_CURSOR_NESW = 81,
        MOUSE_CURSOR_NONE = 255
    };

    // Kinds of pointing device that a tablet layer can report.
    enum DeviceId : int {
        DEVICE_MOUSE = 0,
        DEVICE_STYLUS = 1,
        DEVICE_ERASER = 2,
        DEVICE_AIRBRUSH = 4,
        DEVICE_TOUCH = 5
    };

    // Channel layouts of colour data.
    enum ColorDepth : int {
        COLOR_DEPTH_RGB = 0,
        COLOR_DEPTH_RGBA = 1,
        COLOR_DEPTH_L = 2,
        COLOR_DEPTH_LA = 3,
        COLOR_DEPTH_A = 4
    };

    // Tablet interfaces of the Windows builds, kept so that preferences can name them.
    enum WindowsTabletApi : int {
        WINTAB = 0,
        WINDOWS_INK = 1
    };

    // Name functions: the constant's name, or the list's "..._UNKNOWN" text for other values.
    static char const* get_mouse_button_id_name(MouseButtonId const& id);
    static char const* get_modifier_key_id_name(ModifierKeyId const& id);
    static char const* get_key_id_name(KeyId const& id);
    static char const* get_mouse_cursor_name(MouseCursorId const& id);
    static char const* get_device_id_name(DeviceId const& id);
    static char const* get_channel_depth_name(ColorDepth const& depth);
    static char const* get_windows_tablet_api_name(WindowsTabletApi const& api);
    // 3, 4, 1, 2 and 1 channels for RGB, RGBA, L, LA and A; 0 for other values.
    static unsigned int get_channel_count_by_color_depth(ColorDepth const& depth);

    // Opens the toolkit's connection to the X display if it is not open; false without a
    // display (the toolkit would end the process instead).
    static bool open_display();

    // --- The event being handled ---

    // Key code of the current key event (a KeyId or the character's code).
    static int get_last_key_pressed();
    // Text typed by the current key event; empty when it has none.
    static CoreString get_key_pressed_text();
    // Text of the current paste or drop.
    static CoreString get_event_text();

    // The event state has the bit (any of the bits when several are given).
    static bool is_modifier_pressed(ModifierKeyId const& id);
    static bool is_modifier_shift();
    static bool is_modifier_ctrl();
    static bool is_modifier_alt();
    static bool is_modifier_meta();
    static bool is_modifier_caps_lock();
    static bool is_modifier_num_lock();
    static bool is_modifier_scroll_lock();
    static bool is_modifier_button_left();
    static bool is_modifier_button_middle();
    static bool is_modifier_button_right();

    // Button of the current press or release: left, middle or right, 4 for any other.
    static MouseButtonId get_event_mouse_button();
    // The event state holds the button down (false for other ids).
    static bool is_mouse_button_pressed(MouseButtonId const& id);
    // The event state holds any of the three buttons down.
    static bool is_mouse_button_pressed();

    // Clicks of the current press: 1 for a single click, 2 for a double, growing with fast
    // clicking. The click kinds cycle, so the fourth fast click is a single click again.
    static int get_event_clicks_count();
    static bool is_one_click();
    static bool is_double_click();
    static bool is_triple_click();

    // Wheel steps of the current wheel event (positive: right, down).
    static int get_wheel_dx();
    static int get_wheel_dy();

    // Pointer movement between the last two mouse events seen by update_mouse_motion.
    static int const& get_mouse_dx();
    static int const& get_mouse_dy();
    // Records the current event's screen position; the widget routers call it once per mouse
    // event. The first call after reset_mouse_motion gives no movement.
    static void update_mouse_motion();
    static void reset_mouse_motion();

    // The key is held in the X server now (asks the server).
    static bool is_key_down(int const& code);
    // The key was held when the current event happened (the toolkit's key state of the event).
    static bool is_key_pressed(int const& code);

    // --- Tablet ---
    // Without a tablet layer the device is the mouse, its pressure 1.0 while a button is held
    // (0.0 otherwise) and its tilt 0.

    static DeviceId const& get_device_type();
    // The pen's pressure, except 1.0 for the mouse with a button held.
    static float get_pressure();
    // The pen's tilt; 0 for the mouse.
    static float get_x_tilt();
    static float get_y_tilt();
    // Entry point of a tablet layer: the device of the coming events with its pressure and tilt.
    static void set_tablet_state(DeviceId const& device, float const& pressure, float const& x_tilt,
                                 float const& y_tilt);

    // --- Pointer position ---

    // The pointer in screen pixels, asked from the X server ((0, 0) without a display).
    static void get_mouse_screen_position(int& x, int& y);
    // The pointer's screen position as the X server answered it at most two milliseconds ago,
    // or as this process last set it: showing many widgets at once asks the server once; a
    // pointer that moves meanwhile sends motion events that correct the hover state anyway.
    static void get_recent_mouse_screen_position(int& x, int& y);
    static int get_mouse_screen_position_x();
    static int get_mouse_screen_position_y();

    // The pointer's screen position minus the screen position of a window: the coordinates in
    // which widget positions are given.
    static void get_absolute_mouse_coords(int const& window_x, int const& window_y, int& x, int& y);
    // The current event's screen position minus a widget's position and its window's position.
    static void get_relative_mouse_coords(int const& window_x, int const& window_y, int const& widget_x,
                                          int const& widget_y, int& x, int& y);

    // The point lies in the rectangle, edges included: x <= px <= x + w and y <= py <= y + h.
    static bool is_point_in_region(int const& px, int const& py, int const& x, int const& y, int const& w,
                                   int const& h);
    // The pointer lies in a rectangle given in screen coordinates, edges included.
    static bool is_mouse_over_screen_region(int const& x, int const& y, int const& w, int const& h);
    // The pointer lies in a rectangle given relative to a window at (window_x, window_y).
    static bool is_mouse_over_region(int const& window_x, int const& window_y, int const& x, int const& y,
                                     int const& w, int const& h);
    static bool is_mouse_over_region(int const& window_x, int const& window_y, int const region[4]);

    // The same, for widgets: window coordinates are those of the widget's window (the screen
    // when it has none).
    static void get_absolute_mouse_coords(GuiWidget const& widget, int& x, int& y);
    static int get_absolute_mouse_x(GuiWidget const& widget);
    static int get_absolute_mouse_y(GuiWidget const& widget);
    // The current event's pointer relative to the widget; 0 when the widget has no window.
    static void get_relative_mouse_coords(GuiWidget const& widget, int& x, int& y);
    static int get_relative_mouse_x(GuiWidget const& widget);
    static int get_relative_mouse_y(GuiWidget const& widget);
    static bool is_mouse_over_region(GuiWidget const& widget, int const& x, int const& y, int const& w,
                                     int const& h);
    static bool is_mouse_over_region(GuiWidget const& widget, int const region[4]);
    // The pointer lies over the widget's rectangle, edges included.
    static bool is_mouse_over_widget(GuiWidget const& widget);
    // The deepest shown widget under the pointer (a later sibling wins), in the front-most
    // window under it (a floating window wins at once); the window itself when no child
    // contains the pointer; null when no window of this library is under it.
    static GuiWidget* get_below_mouse_widget();

    // Sets the cursor of the window that last received an event; unknown ids are refused.
    static void set_mouse_cursor(MouseCursorId const& id);
    // Moves the system pointer. Returns 0, or -1 without moving when the input device is not
    // the mouse or there is no display.
    static int set_mouse_screen_position(int const& x, int const& y);

    // --- Clipboard and selection buffer ---

    // Copies text to the clipboard and remembers its type name (cleared when none is given, and
    // again as soon as another program takes the clipboard).
    static void copy_to_clipboard(CoreString const& text, CoreString const& type = CoreString());
    // Type name given with the text this process last put on the clipboard, if still there.
    static CoreString const& get_clipboard_type();
    // Copies text to the selection buffer (the primary selection, pasted with the middle button).
    static void copy_to_selection_buffer(CoreString const& text);
    // Ask for the clipboard or the selection buffer to be delivered to the focused toolkit widget
    // as a paste event (FL_PASTE, text in the event text). Returns false, asking nothing, when no
    // widget has the focus or no window is shown. Delivery is asynchronous in general: when this process owns the data
    // the widget receives it before the call returns; otherwise the owner is asked and the widget
    // receives it later from the event loop, or never when there is no text to paste.
    static bool paste_from_clipboard();
    static bool paste_from_selection_buffer();

    // --- Screens and documents ---

    // Size of the main screen.
    static int get_screen_width();
    static int get_screen_height();
    static int get_screen_count();
    // (x, y, w, h) of the work area of the screen that contains the point (the main screen when
    // none does).
    static GMathVec4<int> get_screen_bbox(int const& x, int const& y);

    // Opens a file path or an address (file://, http://, https://, ftp://, mailto:, news://) with
    // the desktop's default program. Returns false, with a warning, when it cannot.
    static bool open_uri(CoreString const& text);

    // Byte length of the UTF-8 character that starts with byte c; 1 for bytes that start none.
    static unsigned int get_count_of_next_character(char const& c);
    // Length of the valid UTF-8 sequence at text[i], or 0 when there is none (a stray or
    // cut-short sequence, an overlong form, a surrogate, a code point past U+10FFFF).
    static size_t get_valid_character_length(std::string_view text, size_t i);
};
