// The node graph at 10,000 nodes and 20,000 links: building them, the memory each node
// takes, one frame of the view, and picking the item under a point through the view's
// spatial index against a scan of every node's box (the peer). Run under Xvfb.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>

#include "bench/bench_nodal_graph.h"
#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/nodal/gui_nodal_link.h"

namespace {

constexpr int COLUMNS = 100;
constexpr int ROWS = 100;

GuiApp* s_app = nullptr;
FrameNodal* s_graph = nullptr;
double s_build_ms = 0.0;
double s_bytes_per_node = 0.0;

void build_graph()
{
    size_t const before = mallinfo2().uordblks;
    auto const start = std::chrono::steady_clock::now();
    build_nodal_graph(*s_graph, COLUMNS, ROWS);
    s_build_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    s_bytes_per_node = static_cast<double>(mallinfo2().uordblks - before) / (COLUMNS * ROWS);
}

// Points spread over the graph, on nodes, links and background alike.
GMathVec2<float> probe(size_t i)
{
    return GMathVec2<float>(static_cast<float>((i * 7919) % (COLUMNS * NODAL_COLUMN_STEP)),
                            -static_cast<float>((i * 104729) % (ROWS * NODAL_ROW_STEP)));
}

void bm_frame(benchmark::State& state)
{
    for (auto _ : state) draw_nodal_frame(*s_graph);
}
BENCHMARK(bm_frame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void bm_pick_indexed(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(s_graph->pick(probe(i++)));
}
BENCHMARK(bm_pick_indexed)->Unit(benchmark::kMicrosecond);

void bm_pick_scanning(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        GMathVec2<float> const p = probe(i++);
        GuiNodalNode* found = nullptr;
        for (size_t n = 0; n < s_graph->get_node_count(); ++n) {
            GuiNodalNode* node = s_graph->get_node(n);
            GMathVec2<int> min, max;
            node->get_bbox(min, max);
            if (p[0] >= min[0] && p[0] <= max[0] && p[1] >= min[1] && p[1] <= max[1]) found = node;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(bm_pick_scanning)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_nodal: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    s_app = new GuiApp();
    GuiWindow* window = s_app->create_window(0, 0, 1200, 800, "bench_nodal");
    s_graph = new FrameNodal(*window, 0, 0, 1200, 800);
    window->show();
    s_graph->show();
    build_graph();
    s_graph->set_zoom_ratio(0.5f);
    // The graph's middle at the view's top-left corner.
    s_graph->set_view_pos(GMathVec2<float>(COLUMNS * NODAL_COLUMN_STEP / 2.0f,
                                           -ROWS * NODAL_ROW_STEP / 2.0f - static_cast<float>(s_graph->get_zoom_factor())));
    draw_nodal_frame(*s_graph);  // layouts, curves and fonts made
    s_graph->pick(GMathVec2<float>(0, 0));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const indexed = reporter.get_time("bm_pick_indexed");
    double const scanning = reporter.get_time("bm_pick_scanning");
    std::printf("\n10,000 nodes and 20,000 links: built in %.1f ms, %.0f bytes per node (links included), "
                "%.1f ms per frame\n",
                s_build_ms, s_bytes_per_node, reporter.get_time("bm_frame"));
    if (indexed > 0.0 && scanning > 0.0)
        std::printf("Picking at 10,000 nodes: %.2f us through the index, %.2f us scanning every box (ratio %.3f)\n",
                    indexed, scanning, indexed / scanning);
    return 0;
}
