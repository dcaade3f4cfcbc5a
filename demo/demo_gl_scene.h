#pragma once
// A node-graph-like scene for drawing throughput: a grid of rounded boxes with a title each,
// every box linked by Bézier curves to two boxes of the next column. The showcase's OpenGL
// page draws it with its frame time, and bench/bench_gl_scene.cpp times it against the same
// picture drawn with the toolkit's OpenGL calls.
#include <string>
#include <vector>

#include "gui/gl/gui_gl_curve.h"

class GuiGlWidget;
class GuiGlWidgetDc;

class DemoGlScene {
public:
    struct Node {
        float x, y, w, h;  // scene units, y upwards
        std::string title;
        unsigned char color[3];
    };
    struct Link {
        GuiGlCurve curve;
        unsigned char color[3];
    };

    static constexpr float NODE_WIDTH = 80.0f;
    static constexpr float NODE_HEIGHT = 24.0f;
    static constexpr float CORNER_RADIUS = 5.0f;
    static constexpr int TITLE_SIZE = 12;

    // `columns` × `rows` boxes and two links out of each box but those of the last column
    // (links wrap around to the first column so that every box has two).
    DemoGlScene(int columns, int rows);

    std::vector<Node> const& get_nodes() const { return m_nodes; }
    std::vector<Link> const& get_links() const { return m_links; }
    // Width and height of the whole scene in its units.
    float get_width() const { return m_width; }
    float get_height() const { return m_height; }

    // Draws every link, then every box, then every title through the context's batch, under
    // a projection of the view's pixels (y upwards) scaled by `zoom` from the scene's
    // (`pan_x`, `pan_y`) at the view's bottom-left corner.
    void draw(GuiGlWidget& view, GuiGlWidgetDc& dc, float zoom, float pan_x, float pan_y) const;
    // Sets the projection and model-view that `draw` uses (also for the toolkit's drawing).
    static void set_view_matrices(int width, int height, float zoom, float pan_x, float pan_y);

private:
    std::vector<Node> m_nodes;
    std::vector<Link> m_links;
    float m_width = 0.0f;
    float m_height = 0.0f;
};
