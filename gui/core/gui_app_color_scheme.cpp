#include "gui/core/gui_app_color_scheme.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>

#include "gui/core/gui_resource.h"

namespace {

GMathVec3<unsigned char> s_toolkit_colors[4];

Fl_Color to_toolkit(GMathVec3<unsigned char> const& color)
{
    return fl_rgb_color(color[0], color[1], color[2]);
}

}  // namespace

void GuiAppColorScheme::set(GuiColorScheme const& scheme)
{
    m_scheme.set(scheme);
    GuiColorScheme::Role const roles[4] = {GuiColorScheme::ROLE_OUTLINE, GuiColorScheme::ROLE_BACKGROUND,
                                           GuiColorScheme::ROLE_EDGE_LIGHT, GuiColorScheme::ROLE_EDGE_SHADOW};
    for (int i = 0; i < 4; ++i) s_toolkit_colors[i] = m_scheme.get_color(GuiColorScheme::GROUP_NORMAL, roles[i]);
}

GMathVec3<unsigned char> const& GuiAppColorScheme::get_toolkit_color(int const& index)
{
    return s_toolkit_colors[index >= 0 && index < 4 ? index : 0];
}

void GuiAppColorScheme::apply_to_toolkit(GuiColorScheme const& scheme)
{
    GuiResource::recolor_glyphs(scheme);
    Fl_Tooltip::color(to_toolkit(scheme.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TOOLTIP)));
    Fl_Tooltip::textcolor(
        to_toolkit(scheme.get_color(GuiColorScheme::GROUP_NORMAL, GuiColorScheme::ROLE_TOOLTIP_TEXT)));
}
