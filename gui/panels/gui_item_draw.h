#pragma once
// GuiItemDraw: how the interface shows a scene item in a line: a small icon (a frame for a
// context, a swatch for an object in its colour tag's colour, or a colour of its class) and
// its name. Item lists, cells and pickers draw items through it so they all look alike.
//
//     GMathVec3<unsigned char> const& text = get_color(GuiColorScheme::ROLE_TEXT);
//     GuiItemDraw::draw_item(dc, app, *item, item->get_name(), left, top, w, h, text);
#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class GuiApp;
class GuiWidgetDc;
class OfItem;

class QN_GUI_API GuiItemDraw {
public:
    GuiItemDraw() = delete;

    // The icon's width and height.
    static int get_icon_size() { return 12; }
    // The pixels an item's name starts after its icon.
    static int get_name_offset() { return get_icon_size() + 4; }
    // The icon's colour: the item's colour tag, else a colour made from its class name.
    static GMathVec3<unsigned char> get_item_color(GuiApp const& app, OfItem const& item);
    // The icon centred vertically in the box from x.
    static void draw_icon(GuiWidgetDc& dc, GuiApp const& app, OfItem const& item, int const& x, int const& y, int const& h,
                          bool const& enabled);
    // The icon and the text (clamped) in the box; returns the x where the text ended.
    static void draw_item(GuiWidgetDc& dc, GuiApp const& app, OfItem const& item, CoreString const& text, int const& x,
                          int const& y, int const& w, int const& h, GMathVec3<unsigned char> const& text_color,
                          bool const& enabled = true);
};
