#pragma once
// The showcase's OpenGL views: lines of distance-field text from 8 to 72 points, zoomed with
// the mouse wheel, under the head-up display's safe frames and composition guides; and a
// node-graph-like scene of 10,000 boxes and 20,000 links with its frame time.
#include <memory>

#include "gui/gl/gui_gl_widget.h"

class DemoGlScene;

class DemoTextView : public GuiGlWidget {
public:
    DemoTextView(GuiWidget& parent, int x, int y, int w, int h);

    void draw(GuiDc& dc) override;
    int process_event(CoreString const& name) override;

    double const& get_zoom() const { return m_zoom; }
    // Zoom factors are kept within 0.25 to 8.
    void set_zoom(double const& zoom);

private:
    double m_zoom = 1.0;
};

class DemoSceneView : public GuiGlWidget {
public:
    DemoSceneView(GuiWidget& parent, int x, int y, int w, int h);
    ~DemoSceneView() override;

    void draw(GuiDc& dc) override;
    // The wheel zooms about the pointer (0.05 to 4); dragging with the left button pans.
    int process_event(CoreString const& name) override;

private:
    std::unique_ptr<DemoGlScene> m_scene;
    float m_zoom = 0.5f;
    float m_pan_x = 0.0f;  // the scene's point at the view's bottom-left corner
    float m_pan_y = 0.0f;
    int m_drag_x = 0;
    int m_drag_y = 0;
    double m_frame_ms = 0.0;
};
