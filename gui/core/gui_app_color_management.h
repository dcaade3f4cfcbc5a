#pragma once
// GuiAppColorManagement: the converter through which the interface shows linear colours
// (the configuration's working space) on the display, through the default view transform.
#include <memory>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"
#include "host/gmath/gmath_vec.h"

class ColorIOConverter;

class QN_GUI_API GuiAppColorManagement {
public:
    GuiAppColorManagement();
    ~GuiAppColorManagement();
    GuiAppColorManagement(GuiAppColorManagement const&) = delete;
    GuiAppColorManagement& operator=(GuiAppColorManagement const&) = delete;

    // Makes the converter for the view transform unless there is one already.
    void create_converter(CoreString const& view_transform);
    // Points the converter at another view transform; false while there is none.
    bool set_view_transform(CoreString const& view_transform);
    // Null until create_converter.
    ColorIOConverter const* get_converter() const { return m_converter.get(); }
    // The colour as the display shows it; unchanged while there is no converter.
    GMathVec3<float> convert(GMathVec3<float> const& color) const;

private:
    std::unique_ptr<ColorIOConverter> m_converter;
};
