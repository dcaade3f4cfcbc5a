// OpenGL text: 10,000 labels per frame through the batched distance-field text of the
// drawing context, against FLTK's gl_draw of the same strings (texture-font display
// lists), in the same run on the same context. The labels are drawn again every frame, so
// they come from the text cache; a second figure draws them glyph by glyph with the cache
// off, as a frame of texts never seen before (or a zoom) costs. Each frame is drawn and
// finished (glFinish) inside the view's draw; the times are medians of five runs. Run under
// Xvfb with Mesa's software renderer.
#include <GL/glew.h>

#include <FL/Fl.H>
#include <FL/gl.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/gl/gui_gl_text_cache.h"
#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"

namespace {

constexpr int LABELS = 10000;

enum class Mode { FAST_DRAW_TEXT, TOOLKIT_GL_DRAW };

class LabelView : public GuiGlWidget {
public:
    using GuiGlWidget::GuiGlWidget;

    void draw(GuiDc& dc) override
    {
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        int const h = get_height();
        if (mode == Mode::FAST_DRAW_TEXT) {
            auto& gl_dc = static_cast<GuiGlWidgetDc&>(dc);
            gl_dc.fast_draw_text_begin();
            for (int i = 0; i < LABELS; ++i) {
                glColor3ub(230, 230, 230);
                glLoadIdentity();
                glTranslated((i % 20) * 50, h - 12 - (i / 20) % 60 * 13, 0.0);
                gl_dc.fast_draw_text(labels[static_cast<size_t>(i)].c_str());
            }
            gl_dc.fast_draw_text_end();
        } else {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(0, get_width(), 0, h, -1, 1);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            gl_font(FL_HELVETICA, 12);
            glColor3ub(230, 230, 230);
            for (int i = 0; i < LABELS; ++i)
                gl_draw(labels[static_cast<size_t>(i)].c_str(), (i % 20) * 50, h - 12 - (i / 20) % 60 * 13);
        }
        glFinish();
        ++frames;
    }

    Mode mode = Mode::FAST_DRAW_TEXT;
    std::vector<std::string> labels;
    int frames = 0;
};

GuiApp* s_app = nullptr;
GuiWindow* s_window = nullptr;
LabelView* s_view = nullptr;

void draw_frame()
{
    int const before = s_view->frames;
    s_view->get_widget()->redraw();
    while (s_view->frames == before) Fl::wait(0.0);
}

void set_up()
{
    s_app = new GuiApp();
    s_window = s_app->create_window(0, 0, 1000, 800, "bench_gl_text");
    s_view = new LabelView(*s_window, 0, 0, 1000, 800);
    for (int i = 0; i < LABELS; ++i) s_view->labels.push_back("node_" + std::to_string(i));
    s_window->show();
    s_view->show();
    for (int i = 0; i < 3; ++i) draw_frame();  // atlas, textures, lists and both fonts made
    // A first run makes the atlas in the background: no such work during the timing.
    if (FontGlData const* font = s_view->get_active_font()) font->desc->make_all_glyphs();
    s_view->mode = Mode::TOOLKIT_GL_DRAW;
    draw_frame();
}

void bm_fast_draw_text(benchmark::State& state)
{
    s_view->mode = Mode::FAST_DRAW_TEXT;
    for (auto _ : state) draw_frame();
}
BENCHMARK(bm_fast_draw_text)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

void bm_fast_draw_text_glyph_by_glyph(benchmark::State& state)
{
    s_view->mode = Mode::FAST_DRAW_TEXT;
    GuiGlTextCache::get().set_enabled(false);
    for (auto _ : state) draw_frame();
    GuiGlTextCache::get().set_enabled(true);
}
BENCHMARK(bm_fast_draw_text_glyph_by_glyph)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

void bm_toolkit_gl_draw(benchmark::State& state)
{
    s_view->mode = Mode::TOOLKIT_GL_DRAW;
    for (auto _ : state) draw_frame();
}
BENCHMARK(bm_toolkit_gl_draw)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_gl_text: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    set_up();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const ours = reporter.get_time("bm_fast_draw_text");
    double const glyphs = reporter.get_time("bm_fast_draw_text_glyph_by_glyph");
    double const peer = reporter.get_time("bm_toolkit_gl_draw");
    if (ours > 0.0 && peer > 0.0)
        std::printf("\n10,000 labels per frame: fast_draw_text %.1f ms, FLTK gl_draw %.1f ms (ratio %.2f)\n", ours,
                    peer, ours / peer);
    if (glyphs > 0.0 && peer > 0.0)
        std::printf("the same labels glyph by glyph (text cache off): %.1f ms (ratio %.2f)\n", glyphs, glyphs / peer);
    return 0;
}
