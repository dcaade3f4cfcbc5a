// A node-graph frame: 10,000 rounded boxes with a title each and 20,000 Bézier links, drawn
// per frame through the drawing context's batch, against the same picture drawn in an
// Fl_Gl_Window with the toolkit's OpenGL calls (gl_color, gl_font, gl_draw) and immediate
// mode for the shapes the toolkit has no OpenGL call for, evaluating curves and corners as
// it draws. Both views are 1200 × 800 at zoom 0.5 over the scene's middle; each frame is
// finished (glFinish) inside the draw; the times are medians of five runs. The titles are drawn
// again every frame and come from the text cache; a second figure draws them glyph by glyph with
// the cache off, as a frame during a zoom costs. Run under Xvfb with Mesa's software renderer.
#include <GL/glew.h>

#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/gl.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

#include "bench/bench_ratio_reporter.h"
#include "demo/demo_gl_scene.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_text_cache.h"
#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"

namespace {

constexpr int WIDTH = 1200;
constexpr int HEIGHT = 800;
constexpr float ZOOM = 0.5f;
constexpr float PI = 3.14159265f;

DemoGlScene const& get_scene()
{
    static DemoGlScene const scene(100, 100);
    return scene;
}

float get_pan_x()
{
    return get_scene().get_width() / 2 - WIDTH / ZOOM / 2;
}

float get_pan_y()
{
    return get_scene().get_height() / 2 - HEIGHT / ZOOM / 2;
}

class SceneView : public GuiGlWidget {
public:
    using GuiGlWidget::GuiGlWidget;

    void draw(GuiDc& dc) override
    {
        glClearColor(0.1f, 0.1f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        get_scene().draw(*this, static_cast<GuiGlWidgetDc&>(dc), ZOOM, get_pan_x(), get_pan_y());
        glFinish();
        ++frames;
    }
    int frames = 0;
};

// The toolkit's way: every shape evaluated and sent vertex by vertex, every frame.
class ToolkitSceneWindow : public Fl_Gl_Window {
public:
    ToolkitSceneWindow() : Fl_Gl_Window(WIDTH, HEIGHT, "toolkit scene") {}

    void draw() override
    {
        glViewport(0, 0, w(), h());
        glClearColor(0.1f, 0.1f, 0.12f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        DemoGlScene::set_view_matrices(w(), h(), ZOOM, get_pan_x(), get_pan_y());
        DemoGlScene const& scene = get_scene();
        for (DemoGlScene::Link const& link : scene.get_links()) {
            GuiGlCurve::Point const p[4] = {link.curve.get_control_point(0), link.curve.get_control_point(1),
                                            link.curve.get_control_point(2), link.curve.get_control_point(3)};
            int const steps = static_cast<int>(link.curve.get_points(0.25f / ZOOM).size()) - 1;
            glColor3ub(link.color[0], link.color[1], link.color[2]);
            glBegin(GL_LINE_STRIP);
            for (int i = 0; i <= steps; ++i) {
                float const t = static_cast<float>(i) / steps;
                float const u = 1.0f - t;
                float const a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                glVertex2f(a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x,
                           a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y);
            }
            glEnd();
        }
        float const r = DemoGlScene::CORNER_RADIUS;
        int const arc = GuiGlBatch::get_arc_segment_count(r * ZOOM, PI / 2);
        for (DemoGlScene::Node const& node : scene.get_nodes()) {
            glColor3ub(node.color[0], node.color[1], node.color[2]);
            float const cx[4] = {node.x + node.w - r, node.x + node.w - r, node.x + r, node.x + r};
            float const cy[4] = {node.y + r, node.y + node.h - r, node.y + node.h - r, node.y + r};
            glBegin(GL_POLYGON);
            for (int corner = 0; corner < 4; ++corner)
                for (int i = 0; i <= arc; ++i) {
                    float const angle = (corner - 1) * PI / 2 + PI / 2 * i / arc;
                    glVertex2f(cx[corner] + r * std::cos(angle), cy[corner] + r * std::sin(angle));
                }
            glEnd();
        }
        gl_font(FL_HELVETICA, static_cast<int>(std::lround(DemoGlScene::TITLE_SIZE * ZOOM)));
        gl_color(fl_rgb_color(235, 235, 230));
        for (DemoGlScene::Node const& node : scene.get_nodes())
            gl_draw(node.title.c_str(), node.x + 6.0f, node.y + 8.0f);
        glFinish();
        ++frames;
    }
    int frames = 0;
};

GuiApp* s_app = nullptr;
SceneView* s_view = nullptr;
ToolkitSceneWindow* s_toolkit = nullptr;

template <class Frames>
void wait_for_frame(Frames& frames, void (*damage)())
{
    int const before = frames;
    damage();
    while (frames == before) Fl::wait(0.0);
}

void draw_ours()
{
    wait_for_frame(s_view->frames, [] { s_view->get_widget()->redraw(); });
}

void draw_toolkit()
{
    wait_for_frame(s_toolkit->frames, [] { s_toolkit->redraw(); });
}

void bm_scene_batched(benchmark::State& state)
{
    for (auto _ : state) draw_ours();
}
BENCHMARK(bm_scene_batched)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

void bm_scene_batched_glyph_by_glyph(benchmark::State& state)
{
    GuiGlTextCache::get().set_enabled(false);
    for (auto _ : state) draw_ours();
    GuiGlTextCache::get().set_enabled(true);
}
BENCHMARK(bm_scene_batched_glyph_by_glyph)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

void bm_scene_toolkit(benchmark::State& state)
{
    for (auto _ : state) draw_toolkit();
}
BENCHMARK(bm_scene_toolkit)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_gl_scene: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    s_app = new GuiApp();
    GuiWindow* window = s_app->create_window(0, 0, WIDTH, HEIGHT, "bench_gl_scene");
    s_view = new SceneView(*window, 0, 0, WIDTH, HEIGHT);
    window->show();
    s_view->show();
    s_toolkit = new ToolkitSceneWindow();
    s_toolkit->show();
    for (int i = 0; i < 3; ++i) {  // fonts, textures and tessellations made
        draw_ours();
        draw_toolkit();
    }
    // A first run makes the atlas in the background: no such work during the timing.
    if (FontGlData const* font = s_view->get_active_font()) font->desc->make_all_glyphs();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const ours = reporter.get_time("bm_scene_batched");
    double const peer = reporter.get_time("bm_scene_toolkit");
    if (ours > 0.0 && peer > 0.0)
        std::printf("\n10,000 boxes with titles and 20,000 links per frame: batched %.1f ms, toolkit OpenGL %.1f ms "
                    "(ratio %.2f)\n",
                    ours, peer, ours / peer);
    double const glyphs = reporter.get_time("bm_scene_batched_glyph_by_glyph");
    if (glyphs > 0.0 && peer > 0.0)
        std::printf("the same frame with its titles glyph by glyph (text cache off): %.1f ms (ratio %.2f)\n", glyphs,
                    glyphs / peer);
    return 0;
}
