#pragma once
// Reading back what a shown window shows, for tests of drawing: the window is drawn
// (Fl::flush) and its pixels are read from the X server as RGB bytes, row after row from the
// top-left corner. The window must be shown and not covered; under Xvfb nothing covers it.
//
//     int w, h;
//     std::vector<unsigned char> rgb = read_window_rgb(*window, w, h);
//     EXPECT_EQ(pixel_at(rgb, w, 30, 20), GMathVec3<unsigned char>(255, 0, 0));
#include <vector>

#include "host/gmath/gmath_vec.h"

class GuiWindow;

// The whole window, w × h × 3 bytes; empty (w = h = 0) when the window is not shown.
std::vector<unsigned char> read_window_rgb(GuiWindow& window, int& w, int& h);

// One pixel of what read_window_rgb returned; black outside the image.
GMathVec3<unsigned char> pixel_at(std::vector<unsigned char> const& rgb, int w, int x, int y);

// One pixel of the window, read on its own.
GMathVec3<unsigned char> pixel_at(GuiWindow& window, int x, int y);
