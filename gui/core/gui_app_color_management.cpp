#include "gui/core/gui_app_color_management.h"

#include "host/colorio/colorio.h"

GuiAppColorManagement::GuiAppColorManagement() = default;

GuiAppColorManagement::~GuiAppColorManagement() = default;

void GuiAppColorManagement::create_converter(CoreString const& view_transform)
{
    if (m_converter) return;
    m_converter = std::make_unique<ColorIOConverter>();
    m_converter->set_display_transform(ColorIO::get_default_color_space_name(), view_transform);
}

bool GuiAppColorManagement::set_view_transform(CoreString const& view_transform)
{
    if (!m_converter) return false;
    m_converter->set_display_transform(ColorIO::get_default_color_space_name(), view_transform);
    return true;
}

GMathVec3<float> GuiAppColorManagement::convert(GMathVec3<float> const& color) const
{
    return m_converter ? m_converter->convert(color) : color;
}
