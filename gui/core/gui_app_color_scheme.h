#pragma once
// GuiAppColorScheme: the interface's colour scheme, and what the toolkit draws with it by
// itself: the colours of its own frames (kept process-wide, read while drawing), the
// tooltips and the built-in glyphs.
#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_export.h"
#include "host/gmath/gmath_vec.h"

class GuiApp;

class QN_GUI_API GuiAppColorScheme {
public:
    explicit GuiAppColorScheme(GuiApp& app) : m_scheme(app) {}

    GuiColorScheme const& get() const { return m_scheme; }
    // Copies the scheme and takes the toolkit's frame colours from it.
    void set(GuiColorScheme const& scheme);
    // Outline, background, light edge and shadow edge (group 0 of roles 0, 1, 4 and 3) of
    // the scheme set last; an index out of 0..3 gives the outline.
    static GMathVec3<unsigned char> const& get_toolkit_color(int const& index);
    // Recolours the built-in glyphs and the toolkit's tooltips.
    static void apply_to_toolkit(GuiColorScheme const& scheme);

private:
    GuiColorScheme m_scheme;
};
