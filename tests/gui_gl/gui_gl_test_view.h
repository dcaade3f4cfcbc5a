#pragma once
// An OpenGL widget for tests: its draw clears to a colour, runs the test's drawing and reads
// the back buffer into `pixels` (rows from the top) before the toolkit swaps it; and the
// fixture that shows such views and waits for their drawing.
#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "host/gmath/gmath_vec.h"
#include "tests/support/gui_test_app.h"

class GlTestView : public GuiGlWidget {
public:
    using GuiGlWidget::GuiGlWidget;

    void draw(GuiDc& dc) override
    {
        ++draws;
        static_cast<GuiGlWidgetDc&>(dc).clear(0, 0, 0);
        set_pixel_projection();  // y downwards, for the rectangles
        if (drawing) drawing(static_cast<GuiGlWidgetDc&>(dc));
        glFinish();
        width = get_width();
        height = get_height();
        std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
        pixels.assign(rows.size(), 0);
        size_t const stride = static_cast<size_t>(width) * 3;
        for (int y = 0; y < height; ++y)
            std::copy_n(rows.begin() + static_cast<long>((height - 1 - y) * stride), stride,
                        pixels.begin() + static_cast<long>(y * stride));
    }

    GMathVec3<unsigned char> pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return GMathVec3<unsigned char>(0, 0, 0);
        size_t const at = (static_cast<size_t>(y) * width + x) * 3;
        return GMathVec3<unsigned char>(pixels[at], pixels[at + 1], pixels[at + 2]);
    }
    struct Box {
        int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
        bool empty() const { return x1 < 0; }
    };
    // The box around the pixels brighter than `threshold` in green (in any channel if
    // `any_channel`).
    Box lit_box(int threshold = 100, bool any_channel = false) const
    {
        Box box;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((any_channel ? std::max({pixel(x, y)[0], pixel(x, y)[1], pixel(x, y)[2]}) : pixel(x, y)[1]) >
                    threshold) {
                    box.x0 = std::min(box.x0, x);
                    box.y0 = std::min(box.y0, y);
                    box.x1 = std::max(box.x1, x);
                    box.y1 = std::max(box.y1, y);
                }
        return box;
    }

    std::function<void(GuiGlWidgetDc&)> drawing;
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
    int draws = 0;
};

class GlViewTest : public GuiTest {
protected:
    // A shown view of w × h at (10, 10) in a window of its own, or in the given window.
    GlTestView& make_view(int w, int h) { return make_view_in(make_window(w + 20, h + 20), 10, 10, w, h); }
    GlTestView& make_view_in(GuiWindow& window, int x, int y, int w, int h)
    {
        GlTestView* view = new GlTestView(window, x, y, w, h);
        view->show();
        return *view;
    }
    // Redraws the view and waits until it has drawn at least once more.
    void draw(GlTestView& view)
    {
        int const before = view.draws;
        view.get_widget()->redraw();
        for (int i = 0; i < 50 && view.draws == before; ++i) pump_events(app(), 0.01);
        ASSERT_GT(view.draws, before);
    }
    // The view's pixels after one drawing of `drawing`.
    std::vector<unsigned char> const& draw_with(GlTestView& view, std::function<void(GuiGlWidgetDc&)> drawing)
    {
        view.drawing = std::move(drawing);
        draw(view);
        return view.pixels;
    }
    // Pixels whose channels differ by more than `tolerance`.
    static int count_differences(std::vector<unsigned char> const& a, std::vector<unsigned char> const& b,
                                 int tolerance = 0)
    {
        int count = 0;
        for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
            for (size_t c = 0; c < 3; ++c)
                if (std::abs(a[i + c] - b[i + c]) > tolerance) {
                    ++count;
                    break;
                }
        return count + static_cast<int>(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
    }
    // Pixels brighter than 100 in green.
    static int count_lit(GlTestView const& view)
    {
        int lit = 0;
        for (int y = 0; y < view.height; ++y)
            for (int x = 0; x < view.width; ++x) lit += view.pixel(x, y)[1] > 100;
        return lit;
    }
};
