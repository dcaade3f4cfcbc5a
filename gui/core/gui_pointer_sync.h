#pragma once
// Keys act where the pointer is. On X11 the toolkit holds pointer motion back until the other
// events read with it have been handled, so a key typed right after a move reaches the widgets
// before the move does: a key that adds something under the pointer would act at the old
// place, an Escape during a drag would come before the drag began, a wheel step would go to
// the widget the pointer just left. GuiPointerSync wraps the toolkit's event dispatch: a key
// or wheel step whose pointer position differs from the last motion given to its window
// first delivers that motion (a drag while a button is held), and the motion the toolkit
// sends afterwards at the same place is dropped.
//
//     GuiPointerSync::install();   // done by GuiApp once the display is open
#include "gui/core/gui_export.h"

class Fl_Window;

class QN_GUI_API GuiPointerSync {
public:
    // Wraps the toolkit's dispatch; later calls do nothing.
    static void install();
    // The dispatch itself: what the toolkit calls for every event it reads.
    static int dispatch(int event, Fl_Window* window);
};
