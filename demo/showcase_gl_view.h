#pragma once
// The showcase's OpenGL view: lines of distance-field text from 8 to 72 points, zoomed with
// the mouse wheel, under the head-up display's safe frames and composition guides.
#include "gui/gl/gui_gl_widget.h"

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
