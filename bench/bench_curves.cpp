// The curve editor at 100 curves of 1,000 and of 10,000 keys: a frame while panning (the
// curves evaluated into their parts again, drawn with their keys, then picked under the
// pointer) and a pick alone, against the same polylines and key discs drawn in an
// Fl_Gl_Window with immediate-mode OpenGL, mapped to pixels as it draws. Both views are
// 1200 × 700; each frame is finished (glFinish) inside the draw. Run under Xvfb with Mesa's
// software renderer.
#include <GL/glew.h>

#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/curve/gui_graph_widget.h"

namespace {

constexpr int WIDTH = 1200;
constexpr int HEIGHT = 700;
constexpr int CURVES = 100;

// Keys of curve c: a wave over frames 0..keys, values -1..1 shifted by the curve's index.
struct Data {
    int keys = 0;
    double value(int c, int k) const { return std::sin(k * 0.05 + c) + c * 0.05; }
};
Data s_data;

class BenchCurve : public GuiGraphCurve {
public:
    BenchCurve(GuiGraphWidget& graph, int index) : GuiGraphCurve(graph, GMathVec3<unsigned char>(200, 120, 80), GMathVec3<unsigned char>(0, 0, 0), "c"), m_index(index) {}
    void compute_points() override
    {
        GuiGraphWidget& graph = get_graph();
        while (static_cast<int>(get_graph_points().size()) < s_data.keys)
            add_graph_point(new GuiGraphPoint(*this, 0, 0, get_normal_color(), get_highlight_color()));
        set_point_parts_count(static_cast<unsigned int>(s_data.keys + 1));
        GMathVec2<double> previous(0.0, 0.0);
        for (int k = 0; k < s_data.keys; ++k) {
            GMathVec2<double> const p(graph.compute_pos_x_px(k), graph.compute_pos_y_px(s_data.value(m_index, k)));
            get_graph_points()[static_cast<size_t>(k)]->set_position(p);
            if (k > 0) add_point(static_cast<unsigned int>(k), previous);
            add_point(static_cast<unsigned int>(k), p);
            previous = p;
        }
    }

private:
    int m_index;
};

class BenchEditor : public GuiGraphWidget {
public:
    using GuiGraphWidget::GuiGraphWidget;
    using GuiGraphWidget::set_graph_offset;
    using GuiGraphWidget::set_graph_zoom_level;
    using GuiGraphWidget::set_mouse_coords;
    void fit(bool const&) override {}
    void draw(GuiDc& dc) override
    {
        if (pick_only) {
            pick_objects(dc, WIDTH / 2, HEIGHT / 2);
        } else {
            GuiGraphWidget::draw(dc);
        }
        glFinish();
        ++frames;
    }
    bool pick_only = false;
    int frames = 0;
};

// The toolkit's way: every curve mapped and sent vertex by vertex, every key a disc.
class ToolkitCurves : public Fl_Gl_Window {
public:
    ToolkitCurves() : Fl_Gl_Window(WIDTH, HEIGHT, "toolkit curves") {}
    void draw() override
    {
        glViewport(0, 0, w(), h());
        glClearColor(0.15f, 0.15f, 0.15f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w(), 0, h(), -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        auto px = [&](double t) { return (t - offset_x) / zoom_x * w(); };
        auto py = [&](double v) { return (v - offset_y) / zoom_y * h(); };
        for (int c = 0; c < CURVES; ++c) {
            glColor3ub(200, 120, 80);
            glBegin(GL_LINE_STRIP);
            for (int k = 0; k < s_data.keys; ++k) glVertex2d(px(k), py(s_data.value(c, k)));
            glEnd();
            for (int k = 0; k < s_data.keys; ++k) {
                double const x = px(k), y = py(s_data.value(c, k));
                glBegin(GL_TRIANGLE_FAN);
                for (int s = 0; s < 10; ++s) glVertex2d(x + 2.5 * std::cos(s * 0.6283), y + 2.5 * std::sin(s * 0.6283));
                glEnd();
            }
        }
        glFinish();
        ++frames;
    }
    double offset_x = 0.0, offset_y = -1.5, zoom_x = 1000.0, zoom_y = 9.0;
    int frames = 0;
};

BenchEditor* s_editor = nullptr;
ToolkitCurves* s_toolkit = nullptr;

template <class Frames, class Damage>
void wait_for_frame(Frames& frames, Damage damage)
{
    int const before = frames;
    damage();
    while (frames == before) Fl::wait(0.0);
}

void setup(int keys)
{
    if (s_data.keys == keys) return;
    s_data.keys = keys;
    s_editor->clear_curves();
    for (int c = 0; c < CURVES; ++c) s_editor->add_curve(new BenchCurve(*s_editor, c));
    // The whole range in view: every key is drawn.
    s_editor->set_graph_offset(GMathVec2<double>(0.0, -1.5));
    s_editor->set_graph_zoom_level(GMathVec2<double>(keys, 9.0));
    s_editor->compute_cell_info();
    s_editor->set_dirty();
    s_toolkit->zoom_x = keys;
}

void bm_pan_ours(benchmark::State& state)
{
    setup(static_cast<int>(state.range(0)));
    s_editor->pick_only = false;
    s_editor->set_mouse_coords(WIDTH / 2, HEIGHT / 2);
    for (auto _ : state) {
        s_editor->manage_pan(state.iterations() % 2 ? 3.0 : -3.0, 0.0);
        wait_for_frame(s_editor->frames, [] { s_editor->get_widget()->redraw(); });
    }
}
BENCHMARK(bm_pan_ours)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void bm_pan_toolkit(benchmark::State& state)
{
    setup(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        s_toolkit->offset_x += state.iterations() % 2 ? 3.0 : -3.0;
        wait_for_frame(s_toolkit->frames, [] { s_toolkit->redraw(); });
    }
}
BENCHMARK(bm_pan_toolkit)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void bm_pick_ours(benchmark::State& state)
{
    setup(static_cast<int>(state.range(0)));
    wait_for_frame(s_editor->frames, [] { s_editor->get_widget()->redraw(); });  // the parts made
    s_editor->pick_only = true;
    for (auto _ : state) wait_for_frame(s_editor->frames, [] { s_editor->get_widget()->redraw(); });
    s_editor->pick_only = false;
}
BENCHMARK(bm_pick_ours)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_curves: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    GuiApp* app = new GuiApp();
    GuiWindow* window = app->create_window(0, 0, WIDTH, HEIGHT, "bench_curves");
    s_editor = new BenchEditor(*window, 0, 0, WIDTH, HEIGHT);
    window->show();
    s_editor->show();
    s_toolkit = new ToolkitCurves();
    s_toolkit->show();
    setup(1000);
    for (int i = 0; i < 3; ++i) {
        wait_for_frame(s_editor->frames, [] { s_editor->get_widget()->redraw(); });
        wait_for_frame(s_toolkit->frames, [] { s_toolkit->redraw(); });
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (char const* keys : {"1000", "10000"}) {
        double const ours = reporter.get_time("bm_pan_ours", keys);
        double const peer = reporter.get_time("bm_pan_toolkit", keys);
        double const pick = reporter.get_time("bm_pick_ours", keys);
        if (ours > 0.0 && peer > 0.0)
            std::printf("100 curves of %s keys: a panned frame %.1f ms (immediate-mode OpenGL %.1f ms, ratio %.2f), "
                        "a pick %.1f ms\n",
                        keys, ours, peer, ours / peer, pick);
    }
    return 0;
}
