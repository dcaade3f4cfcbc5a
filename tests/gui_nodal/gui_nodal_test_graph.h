#pragma once
// The fixture of the node-graph suites: a shown 400 × 300 view of the given class, made on
// first use in a window of its own; and a view that reads its picture back.
#include <GL/glew.h>

#include <functional>
#include <vector>

#include "gui/gl/gui_gl_widget_dc.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_item.h"
#include "gui/nodal/gui_nodal_node_base.h"
#include "tests/support/gui_test_app.h"

// A view that draws its items, then what the test adds (in graph units, in one batch), and
// reads its picture back. With `drawing_only` it draws only the test's part, on black.
class NodalPictureView : public GuiNodal {
public:
    // Without the grid, so that the background is one colour.
    NodalPictureView(GuiWidget& parent, int const& x, int const& y, int const& w, int const& h, bool simplify = true,
                     bool hide_mode = false)
        : GuiNodal(parent, x, y, w, h, simplify, hide_mode)
    {
        set_grid_displayed(false);
    }
    void draw(GuiDc& dc) override
    {
        auto& gl = static_cast<GuiGlWidgetDc&>(dc);
        if (drawing && drawing_only) {
            set_gl_widget_viewport();
            gl.clear(0, 0, 0);
            set_graph_matrices();
            gl.begin_batch();
            drawing(gl);
            gl.end_batch();
        } else {
            GuiNodal::draw(dc);
        }
        glFinish();
        pixels.assign(static_cast<size_t>(get_width()) * get_height() * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, get_width(), get_height(), GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        ++draws;
    }
    void draw_last(GuiDc& dc) override
    {
        if (drawing) drawing(static_cast<GuiGlWidgetDc&>(dc));
    }
    // The pixel at (x, y) from the top-left corner; black outside the view.
    GuiNodalItem::Color pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= get_width() || y >= get_height()) return GuiNodalItem::Color(0, 0, 0);
        size_t const at = (static_cast<size_t>(get_height() - 1 - y) * get_width() + x) * 3;
        return GuiNodalItem::Color(pixels[at], pixels[at + 1], pixels[at + 2]);
    }
    std::function<void(GuiGlWidgetDc&)> drawing;
    bool drawing_only = false;
    std::vector<unsigned char> pixels;
    int draws = 0;
};

template <class View = GuiNodal>
class NodalTestBase : public GuiTest {
protected:
    // `simplify` is the view's first construction flag; it counts only on the first call.
    View& graph(bool simplify = false)
    {
        if (!m_graph) {
            m_graph = new View(make_window(400, 300), 0, 0, 400, 300, simplify);
            m_graph->show();
        }
        return *m_graph;
    }
    // Draws a NodalPictureView and waits until it has read its picture back.
    void draw_view()
    {
        int const before = graph().draws;
        graph().get_widget()->redraw();
        for (int i = 0; i < 100 && graph().draws == before; ++i) pump_events(app(), 0.01);
        ASSERT_GT(graph().draws, before);
    }

private:
    View* m_graph = nullptr;
};

using NodalPixelTest = NodalTestBase<NodalPictureView>;

// A 100 × 40 box at (x, y) with plugs on its sides; links leave from the right side's middle
// and arrive at the left side's.
class NodalTestBox : public GuiNodalNodeBase {
public:
    NodalTestBox(GuiNodal& graph, int x, int y) : GuiNodalNodeBase(nullptr, graph, x, y, NODE_ANCHOR_SIDES)
    {
        set_delta_out_link(GMathVec2<int>(100, -20));
        set_delta_in_link(GMathVec2<int>(0, -20));
    }
    void draw(GuiDc&) override {}
    void draw_select(GuiDc&) override {}
    void update_content(GuiDc&) override {}
    int get_width() const override { return 100; }
    int get_height() const override { return 40; }
};
