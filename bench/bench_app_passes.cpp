// The application's processing passes and pending sets, on a virtual or real X server:
// - one pass over 10,000 pending redraws of shown widgets, against asking FLTK to redraw the
//   same 10,000 boxes directly (what the pass does in the end, without the queue);
// - one pass over 10,000 pending updates;
// - add_pending_redraw (and its removal) from 1 to 4 threads at once, against a mutex-guarded
//   std::unordered_set doing the same.
// Prints microseconds per pass and nanoseconds per call after the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"

namespace {

constexpr int WIDGETS = 10000;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

// A widget whose update does a little work, as a real one would.
class UpdatedWidget : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    void widget_update() override { benchmark::DoNotOptimize(++m_updates); }

private:
    long m_updates = 0;
};

std::vector<GuiWidget*>& widgets()
{
    static std::vector<GuiWidget*> all = [] {
        std::vector<GuiWidget*> made;
        GuiWindow* window = app().create_window(0, 0, 1000, 1000, "bench passes");
        for (int i = 0; i < WIDGETS; ++i)
            made.push_back(new UpdatedWidget(*window, (i % 100) * 10, (i / 100) * 10, 10, 10));
        window->show();
        Fl::flush();
        return made;
    }();
    return all;
}

void bm_pass_redraws(benchmark::State& state)
{
    std::vector<GuiWidget*> const& all = widgets();
    for (auto _ : state) {
        state.PauseTiming();
        for (GuiWidget* widget : all) app().add_pending_redraw(widget);
        state.ResumeTiming();
        app().process_pending();
    }
    state.SetItemsProcessed(state.iterations() * WIDGETS);
}

void bm_toolkit_redraws(benchmark::State& state)
{
    static std::unique_ptr<Fl_Double_Window> window;
    static std::vector<Fl_Box*> boxes;
    if (!window) {
        window = std::make_unique<Fl_Double_Window>(0, 0, 1000, 1000, "bench toolkit");
        for (int i = 0; i < WIDGETS; ++i) boxes.push_back(new Fl_Box((i % 100) * 10, (i / 100) * 10, 10, 10));
        window->end();
        window->show();
        Fl::flush();
    }
    for (auto _ : state) {
        for (Fl_Box* box : boxes) box->redraw();
        state.PauseTiming();
        window->clear_damage();
        for (Fl_Box* box : boxes) box->clear_damage();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * WIDGETS);
}

void bm_pass_updates(benchmark::State& state)
{
    std::vector<GuiWidget*> const& all = widgets();
    for (auto _ : state) {
        state.PauseTiming();
        for (GuiWidget* widget : all) app().add_pending_update(widget);
        state.ResumeTiming();
        app().process_pending();
    }
    state.SetItemsProcessed(state.iterations() * WIDGETS);
}

void bm_add_pending_redraw(benchmark::State& state)
{
    std::vector<GuiWidget*> const& all = widgets();
    size_t index = static_cast<size_t>(state.thread_index()) * 997;
    for (auto _ : state) {
        GuiWidget* widget = all[index % WIDGETS];
        app().add_pending_redraw(widget);
        app().remove_pending_redraw(widget);
        index += 7;
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void bm_mutex_set(benchmark::State& state)
{
    static std::mutex mutex;
    static std::unordered_set<GuiWidget*> set;
    std::vector<GuiWidget*> const& all = widgets();
    size_t index = static_cast<size_t>(state.thread_index()) * 997;
    for (auto _ : state) {
        GuiWidget* widget = all[index % WIDGETS];
        {
            std::lock_guard<std::mutex> guard(mutex);
            set.insert(widget);
        }
        {
            std::lock_guard<std::mutex> guard(mutex);
            set.erase(widget);
        }
        index += 7;
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

BENCHMARK(bm_pass_redraws)->Unit(benchmark::kMicrosecond);
BENCHMARK(bm_toolkit_redraws)->Unit(benchmark::kMicrosecond);
BENCHMARK(bm_pass_updates)->Unit(benchmark::kMicrosecond);
BENCHMARK(bm_add_pending_redraw)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(bm_mutex_set)->ThreadRange(1, 4)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_app_passes: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    double const redraws = reporter.get_time("bm_pass_redraws");
    double const toolkit = reporter.get_time("bm_toolkit_redraws");
    double const updates = reporter.get_time("bm_pass_updates");
    if (redraws > 0.0 && toolkit > 0.0)
        std::printf("\nPass over 10,000 pending redraws: %.1f us (FLTK redraw of 10,000 boxes: %.1f us, ratio %.2f)\n",
                    redraws, toolkit, redraws / toolkit);
    if (updates > 0.0) std::printf("Pass over 10,000 pending updates: %.1f us\n", updates);
    for (char const* threads : {"1", "2", "4"}) {
        // Times per iteration are of one add and one removal.
        double const ours = reporter.get_time("bm_add_pending_redraw", std::string("threads:") + threads);
        double const peer = reporter.get_time("bm_mutex_set", std::string("threads:") + threads);
        if (ours > 0.0 && peer > 0.0)
            std::printf("add_pending_redraw from %s thread(s): %.1f ns per call (mutex + unordered_set %.1f ns)\n",
                        threads, ours / 2.0, peer / 2.0);
    }
    benchmark::Shutdown();
    return 0;
}
