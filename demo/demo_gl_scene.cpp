#include <FL/gl.h>

#include "demo/demo_gl_scene.h"

#include "gui/core/gui_font.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"

namespace {

constexpr float COLUMN_STEP = 120.0f;
constexpr float ROW_STEP = 40.0f;
constexpr float HANDLE = 50.0f;

}  // namespace

DemoGlScene::DemoGlScene(int columns, int rows)
{
    if (columns < 1 || rows < 1) return;
    m_width = columns * COLUMN_STEP;
    m_height = rows * ROW_STEP;
    m_nodes.reserve(static_cast<size_t>(columns) * rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            Node node{c * COLUMN_STEP + 20.0f, r * ROW_STEP + 8.0f, NODE_WIDTH, NODE_HEIGHT,
                      "node_" + std::to_string(c * rows + r), {}};
            // A hue per column, so that the grid reads as stages of a graph.
            node.color[0] = static_cast<unsigned char>(60 + (c * 37) % 80);
            node.color[1] = static_cast<unsigned char>(70 + (c * 53) % 60);
            node.color[2] = static_cast<unsigned char>(90 + (r * 29) % 70);
            m_nodes.push_back(node);
        }
    m_links.reserve(m_nodes.size() * 2);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            Node const& from = m_nodes[static_cast<size_t>(c * rows + r)];
            for (int offset : {0, 7}) {
                Node const& to = m_nodes[static_cast<size_t>(((c + 1) % columns) * rows + (r + offset) % rows)];
                GuiGlCurve::Point const start{from.x + from.w, from.y + from.h / 2};
                GuiGlCurve::Point const end{to.x, to.y + to.h / 2};
                Link link;
                link.curve.set(start, GuiGlCurve::Point{start.x + HANDLE, start.y},
                               GuiGlCurve::Point{end.x - HANDLE, end.y}, end);
                link.color[0] = offset ? 220 : 150;
                link.color[1] = offset ? 170 : 190;
                link.color[2] = offset ? 90 : 220;
                m_links.push_back(std::move(link));
            }
        }
}

void DemoGlScene::set_view_matrices(int width, int height, float zoom, float pan_x, float pan_y)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(zoom, zoom, 1.0f);
    glTranslatef(-pan_x, -pan_y, 0.0f);
}

void DemoGlScene::draw(GuiGlWidget& view, GuiGlWidgetDc& dc, float zoom, float pan_x, float pan_y) const
{
    set_view_matrices(view.get_width(), view.get_height(), zoom, pan_x, pan_y);
    GuiFont font = view.get_font();
    font.set_size(TITLE_SIZE);
    view.set_active_font(font);
    FontGlData* titles = view.get_ready_active_font();
    GuiGlBatch& batch = dc.begin_batch();
    batch.load_gl_matrices();
    for (Link const& link : m_links) {
        batch.set_color(link.color[0], link.color[1], link.color[2]);
        batch.add_curve(link.curve);
    }
    for (Node const& node : m_nodes) {
        batch.set_color(node.color[0], node.color[1], node.color[2]);
        batch.add_rounded_rectf(node.x, node.y, node.w, node.h, CORNER_RADIUS);
    }
    if (titles) {
        batch.set_color(235, 235, 230);
        for (Node const& node : m_nodes) batch.add_glyphs(*titles, node.title, node.x + 6.0f, node.y + 8.0f);
    }
    dc.end_batch();
}
