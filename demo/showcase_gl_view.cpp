#include "demo/showcase_gl_view.h"

#include <algorithm>
#include <cmath>

#include "demo/showcase_widgets.h"
#include "gui/core/gui.h"
#include "gui/gl/gui_gl_hud_settings.h"
#include "gui/gl/gui_gl_widget_dc.h"

DemoTextView::DemoTextView(GuiWidget& parent, int x, int y, int w, int h) : GuiGlWidget(parent, x, y, w, h)
{
    GuiGlHudSettings& hud = get_hud_settings();
    hud.set_enum(GuiGlHudSettings::ID_OVERLAY, COMPOSITION_GUIDE_RULE_OF_THIRDS);
    hud.set_bool(GuiGlHudSettings::ID_ACTION, true);
}

void DemoTextView::set_zoom(double const& zoom)
{
    double const clamped = std::min(8.0, std::max(0.25, zoom));
    if (clamped == m_zoom) return;
    m_zoom = clamped;
    DemoTrace::line(CoreString("zoom ") + static_cast<int>(std::lround(m_zoom * 100.0)));
    redraw();
}

int DemoTextView::process_event(CoreString const& name)
{
    if (name == EVT_ID_MOUSE_WHEEL && Gui::get_wheel_dy() != 0) {
        set_zoom(m_zoom * std::pow(1.15, -Gui::get_wheel_dy()));
        return 1;
    }
    return GuiGlWidget::process_event(name);
}

void DemoTextView::draw(GuiDc& dc)
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    gl.clear(28, 30, 36);
    set_pixel_projection();
    GuiFont& font = get_font();
    int const base_size = font.get_size();
    int y = 24;  // below the live area's caption
    for (int size : {8, 10, 12, 14, 18, 24, 36, 48, 72}) {
        int const shown = std::max(2, static_cast<int>(std::lround(size * m_zoom)));
        font.set_size(shown);
        y += static_cast<int>(std::lround(shown * 1.2));
        CoreString line;
        line += size;
        line += " pt  Sharp text at every zoom: Qn 0123";
        gl.draw_text(line, 14, y, 235, 235, 225);
        if (y > get_height() + 40) break;
    }
    font.set_size(base_size);
    overlay_draw_composition_guide(gl, get_width(), get_height(), false);
    overlay_draw_safe_frame(gl, get_width(), get_height());
    CoreString status("zoom ");
    status += static_cast<int>(std::lround(m_zoom * 100.0));
    status += "%  (mouse wheel)";
    gl.draw_text_with_rect(status, get_width() - 150, get_height() - 12, 255, 255, 255, 20, 20, 24, 3);
}
