#include "gui/panels/gui_item_draw.h"

#include <algorithm>

#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "host/core/core_hash.h"
#include "host/of/of_item.h"
#include "host/of/of_object.h"

GMathVec3<unsigned char> GuiItemDraw::get_item_color(GuiApp const& app, OfItem const& item)
{
    CoreVector<GuiColorTag> const& tags = app.get_color_tags();
    unsigned int const tag = item.get_colortag();
    if (tag > 0 && tag <= tags.get_count()) return tags[tag - 1].color;
    if (item.is_context()) return GMathVec3<unsigned char>(200, 170, 90);
    // A stable, light colour per class, so objects of one class look alike everywhere.
    CoreString const& name = static_cast<OfObject const&>(item).get_class_name();
    uint32_t hash = 2166136261u;
    for (char const c : name.std_string()) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return GMathVec3<unsigned char>(static_cast<unsigned char>(110 + (hash & 0x7f)),
                                    static_cast<unsigned char>(110 + ((hash >> 8) & 0x7f)),
                                    static_cast<unsigned char>(110 + ((hash >> 16) & 0x7f)));
}

void GuiItemDraw::draw_icon(GuiWidgetDc& dc, GuiApp const& app, OfItem const& item, int const& x, int const& y, int const& h,
                            bool const& enabled)
{
    int const size = get_icon_size();
    int const top = y + (h - size) / 2;
    GMathVec3<unsigned char> color = get_item_color(app, item);
    if (!enabled)
        for (int c = 0; c < 3; ++c) color[c] = static_cast<unsigned char>((color[c] + 2 * 128) / 3);
    if (item.is_context()) {
        // A folder: a tab over a frame.
        dc.draw_rectf(x, top + 1, size / 2, 2, color[0], color[1], color[2]);
        dc.draw_rect(x, top + 3, size, size - 3, color[0], color[1], color[2]);
        return;
    }
    dc.draw_rectf(x + 1, top + 1, size - 2, size - 2, color[0], color[1], color[2]);
    dc.draw_rect(x, top, size, size, 40, 40, 40);
}

void GuiItemDraw::draw_item(GuiWidgetDc& dc, GuiApp const& app, OfItem const& item, CoreString const& text, int const& x,
                            int const& y, int const& w, int const& h, GMathVec3<unsigned char> const& text_color,
                            bool const& enabled)
{
    if (w < get_icon_size()) return;
    draw_icon(dc, app, item, x, y, h, enabled);
    int const left = x + get_name_offset();
    if (x + w > left)
        dc.draw_text_clampable(text, left, y, x + w - left, h, text_color[0], text_color[1], text_color[2], true, false,
                               false);
}
