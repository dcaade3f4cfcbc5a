#include "demo/showcase_gl_view.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include <FL/gl.h>

#include "demo/demo_gl_scene.h"
#include "demo/showcase_widgets.h"
#include "gui/core/gui.h"
#include "gui/gl/gui_gl_hud_settings.h"
#include "gui/gl/gui_gl_text_cache.h"
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

// The scene --------------------------------------------------------------------------------------

DemoSceneView::DemoSceneView(GuiWidget& parent, int x, int y, int w, int h) : GuiGlWidget(parent, x, y, w, h) {}

DemoSceneView::~DemoSceneView() = default;

int DemoSceneView::process_event(CoreString const& name)
{
    if (!m_scene) return GuiGlWidget::process_event(name);
    if (name == EVT_ID_MOUSE_WHEEL && Gui::get_wheel_dy() != 0) {
        // The scene point under the pointer stays there.
        float const px = static_cast<float>(get_view_x());
        float const py = static_cast<float>(get_height() - get_view_y());
        float const zoom = std::clamp(m_zoom * static_cast<float>(std::pow(1.15, -Gui::get_wheel_dy())), 0.05f, 4.0f);
        m_pan_x += px / m_zoom - px / zoom;
        m_pan_y += py / m_zoom - py / zoom;
        m_zoom = zoom;
        DemoTrace::line(CoreString("scene zoom ") + static_cast<int>(std::lround(m_zoom * 100.0f)));
        redraw();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DOWN) {
        m_drag_x = get_view_x();
        m_drag_y = get_view_y();
        return 1;
    }
    if (name == EVT_ID_MOUSE_DRAG) {
        m_pan_x -= (get_view_x() - m_drag_x) / m_zoom;
        m_pan_y += (get_view_y() - m_drag_y) / m_zoom;
        m_drag_x = get_view_x();
        m_drag_y = get_view_y();
        redraw();
        return 1;
    }
    return GuiGlWidget::process_event(name);
}

void DemoSceneView::draw(GuiDc& dc)
{
    auto& gl = static_cast<GuiGlWidgetDc&>(dc);
    if (!m_scene) {
        // Made when first shown, so that a start that never opens the page does not pay for it.
        m_scene = std::make_unique<DemoGlScene>(100, 100);
        m_pan_x = m_scene->get_width() / 2 - get_width() / m_zoom / 2;
        m_pan_y = m_scene->get_height() / 2 - get_height() / m_zoom / 2;
    }
    auto const start = std::chrono::steady_clock::now();
    gl.clear(24, 25, 30);
    m_scene->draw(*this, gl, m_zoom, m_pan_x, m_pan_y);
    glFinish();  // the frame time includes the renderer's work
    m_frame_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    set_pixel_projection();
    char status[200];
    // Titles seen in an earlier frame at this zoom are drawn from the text cache.
    std::snprintf(status, sizeof(status),
                  "%zu boxes, %zu links: %.1f ms per frame, zoom %d%%, %zu texts cached  (wheel: zoom, drag: pan)",
                  m_scene->get_nodes().size(), m_scene->get_links().size(), m_frame_ms,
                  static_cast<int>(std::lround(m_zoom * 100.0f)), GuiGlTextCache::get().get_kept_count());
    gl.draw_text_with_rect(status, 10, get_height() - 10, 255, 255, 255, 20, 20, 24, 3);
}
