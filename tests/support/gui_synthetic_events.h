#pragma once
// Synthetic toolkit events sent through a widget's router (widget.get_widget()), the way
// FLTK's dispatch would hand them to it. Positions are window coordinates, like widget
// positions; the screen position of the event is derived from the widget's window. Each call
// sets the event state with GuiEventState, sends one event and puts the previous state back;
// it returns what the router's handle() returned (1: the widget took the event).
//
//     click(*button, 15, 12);
//     key_down(*field, 'a', "a");
//     type_tab(*field, true);   // Shift+Tab
#include <optional>
#include <string>

#include "host/gmath/gmath_vec.h"

class GuiWidget;

// Any event number with the pointer at (x, y), for events without a helper of their own
// (FL_ENTER, FL_LEAVE, FL_DND_ENTER, ...).
int send_event(GuiWidget& widget, int event, int x, int y);

int mouse_move(GuiWidget& widget, int x, int y);
// clicks: 0 for a single click, 1 for the second press of a double click.
int mouse_down(GuiWidget& widget, int x, int y, int button = 1, int clicks = 0);
int mouse_up(GuiWidget& widget, int x, int y, int button = 1);
// A move with the button held.
int mouse_drag(GuiWidget& widget, int x, int y, int button = 1);
// A pointer event (FL_PUSH, FL_DRAG, FL_RELEASE, FL_MOVE) of the left button with modifier
// bits held (FL_CTRL, FL_SHIFT); `clicks` 1 makes a press or release part of a double click.
int send_pointer(GuiWidget& widget, int event, int x, int y, int modifiers = 0, int clicks = 0);
// mouse_down then mouse_up at the same place; returns the press's result.
int click(GuiWidget& widget, int x, int y, int button = 1);
// Wheel steps (positive: right, down) with the pointer at the widget's centre.
int wheel(GuiWidget& widget, int dx, int dy);

// Key events carry the pointer position too. By default it is far from every window, so only
// the focus or the widget's key-receiver flag lets the key through; `pointer` puts it at a
// point of the widget's window. `modifiers` are FL_SHIFT, FL_CTRL, ... bits.
int key_down(GuiWidget& widget, int key, std::string const& text = "", int modifiers = 0,
             std::optional<GMathVec2<int>> const& pointer = std::nullopt);
int key_up(GuiWidget& widget, int key, int modifiers = 0,
           std::optional<GMathVec2<int>> const& pointer = std::nullopt);
// A Tab key press (with Shift when `shift`), as typed on the widget that has the focus.
int type_tab(GuiWidget& widget, bool shift = false);
