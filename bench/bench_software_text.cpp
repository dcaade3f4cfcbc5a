// Text drawn in software into a shown window, on a virtual or real X server: one frame is
// 10,000 cells of text (scene paths of 6 to 60 characters in 120 × 16 boxes, most of them too
// long) drawn by GuiWidgetDc::draw_text_clampable, which shortens each with "..." to fit its
// box, against FLTK's own boxed fl_draw of the same strings in the same boxes, clipped and not
// shortened, in the same font. A frame is timed from the redraw request until the X server
// has drawn it. Prints the milliseconds per frame and their ratio after the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"

namespace {

constexpr int CELLS = 10000;
constexpr int COLUMNS = 10;
constexpr int ROWS = 50;  // a screenful of 500 cells, drawn 20 times per frame
constexpr int CELL_W = 120;
constexpr int CELL_H = 16;
constexpr int WIDTH = COLUMNS * CELL_W;
constexpr int HEIGHT = ROWS * CELL_H;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

// The strings of one screenful: item names and scene paths, short and long.
std::vector<CoreString> const& cell_texts()
{
    static std::vector<CoreString> const texts = [] {
        std::vector<CoreString> out;
        char const* const tails[] = {"", "/body", "/material/layer_1/texture_file", "/xform"};
        for (int i = 0; i < COLUMNS * ROWS; ++i) {
            if (i % 5 == 0)
                out.push_back(CoreString("item_") + i);
            else
                out.push_back(CoreString("/geometry/props/block_") + (i % 7) + "/prop_" + i + tails[i % 4]);
        }
        return out;
    }();
    return texts;
}

// The cell's top-left corner for cell i.
void cell_position(int i, int& x, int& y)
{
    int const slot = i % (COLUMNS * ROWS);
    x = (slot % COLUMNS) * CELL_W;
    y = (slot / COLUMNS) * CELL_H;
}

// Draws the cells through its software context.
class ClampedCells : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    void draw(GuiDc& dc) override
    {
        GuiWidgetDc& software = static_cast<GuiWidgetDc&>(dc);
        software.draw_rectf(0, 0, WIDTH, HEIGHT, 30, 30, 30);
        std::vector<CoreString> const& texts = cell_texts();
        for (int i = 0; i < CELLS; ++i) {
            int x = 0, y = 0;
            cell_position(i, x, y);
            software.draw_text_clampable(texts[i % texts.size()], x + 2, y, CELL_W - 4, CELL_H, 220, 220, 220,
                                         true, false, false);
        }
        ++frames;
    }
    long frames = 0;
};

// The toolkit's peer: the same cells drawn by fl_draw in the same kind of window.
class ToolkitCells : public Fl_Double_Window {
public:
    ToolkitCells() : Fl_Double_Window(0, 0, WIDTH, HEIGHT, "bench toolkit text") { end(); }
    void draw() override
    {
        fl_color(fl_rgb_color(30, 30, 30));
        fl_rectf(0, 0, WIDTH, HEIGHT);
        GuiFont::get_default().make_current();
        fl_color(fl_rgb_color(220, 220, 220));
        std::vector<CoreString> const& texts = cell_texts();
        for (int i = 0; i < CELLS; ++i) {
            int x = 0, y = 0;
            cell_position(i, x, y);
            fl_draw(texts[i % texts.size()].get_data(), x + 2, y, CELL_W - 4, CELL_H,
                    FL_ALIGN_LEFT | FL_ALIGN_CLIP, nullptr, 0);
        }
        ++frames;
    }
    long frames = 0;
};

// Redraws a window and waits until the X server has drawn it.
void draw_frame(Fl_Widget& window)
{
    window.redraw();
    Fl::flush();
    XSync(fl_display, False);
}

void bm_clampable_cells(benchmark::State& state)
{
    GuiWindow* window = app().create_window(0, 0, WIDTH, HEIGHT, "bench clamped text");
    ClampedCells* cells = new ClampedCells(*window, 0, 0, WIDTH, HEIGHT);
    cells->show();
    window->show();
    Fl_Window& toolkit = *window->get_widget()->as_window();
    toolkit.wait_for_expose();
    draw_frame(toolkit);
    long const before = cells->frames;
    for (auto _ : state) draw_frame(toolkit);
    if (cells->frames - before != static_cast<long>(state.iterations()))
        state.SkipWithError("frames were not drawn");
    state.SetItemsProcessed(state.iterations() * CELLS);
    window->hide();
    delete window;
    app().delete_queued_objects();
}

void bm_toolkit_cells(benchmark::State& state)
{
    auto window = std::make_unique<ToolkitCells>();
    window->show();
    window->wait_for_expose();
    draw_frame(*window);
    long const before = window->frames;
    for (auto _ : state) draw_frame(*window);
    if (window->frames - before != static_cast<long>(state.iterations()))
        state.SkipWithError("frames were not drawn");
    state.SetItemsProcessed(state.iterations() * CELLS);
    window->hide();
}

BENCHMARK(bm_clampable_cells)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(bm_toolkit_cells)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_software_text: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    double const ours = reporter.get_time("bm_clampable_cells");
    double const peer = reporter.get_time("bm_toolkit_cells");
    if (ours > 0.0 && peer > 0.0)
        std::printf(
            "\n10,000 text cells per frame: draw_text_clampable %.1f ms, fl_draw (clipped, not shortened) "
            "%.1f ms, ratio %.2f (below 1 is faster)\n",
            ours, peer, ours / peer);
    benchmark::Shutdown();
    return 0;
}
