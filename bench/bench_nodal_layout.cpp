// Automatic node layout against Graphviz's dot, on the same random layered graphs of 200,
// 2,000 and 10,000 nodes (each node but those of the last layer feeds two nodes of the next
// layer): the time of each layout and the number of link crossings of its result, links
// counted as straight segments between the boxes' sides (ours) or centres (dot's). dot runs
// in a child process with a time limit, since it can take minutes on the largest graph.
// Run under Xvfb.
#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <FL/Fl.H>

#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/nodal/gui_nodal.h"
#include "gui/nodal/gui_nodal_layouter.h"
#include "gui/nodal/gui_nodal_node.h"
#include "gui/nodal/gui_nodal_node_zone.h"

namespace {

constexpr double DOT_TIME_LIMIT_S = 120.0;

struct Graph {
    int nodes = 0;
    std::vector<std::pair<int, int>> links;
};

// `count` nodes in layers of about sqrt(count) * 0.7 nodes; each node links to two random
// nodes of the next layer. The same seed gives the same graph to both layouts.
Graph make_graph(int count)
{
    Graph graph;
    graph.nodes = count;
    int const per_layer = std::max(2, static_cast<int>(std::sqrt(count) * 0.7));
    std::mt19937 random(12345u + static_cast<unsigned>(count));
    for (int i = 0; i < count; ++i) {
        int const layer = i / per_layer;
        int const next_first = (layer + 1) * per_layer;
        if (next_first >= count) continue;
        int const next_count = std::min(per_layer, count - next_first);
        std::uniform_int_distribution<int> pick(0, next_count - 1);
        int const a = pick(random);
        int b = pick(random);
        if (next_count > 1)
            while (b == a) b = pick(random);
        graph.links.emplace_back(i, next_first + a);
        if (b != a) graph.links.emplace_back(i, next_first + b);
    }
    return graph;
}

struct Segment {
    double x0, y0, x1, y1;
};

double cross(double ax, double ay, double bx, double by, double cx, double cy)
{
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// Pairs of segments that cross properly (sharing an end does not count).
long count_crossings(std::vector<Segment> segments)
{
    for (Segment& s : segments)
        if (s.x0 > s.x1) std::swap(s.x0, s.x1), std::swap(s.y0, s.y1);
    std::sort(segments.begin(), segments.end(), [](Segment const& a, Segment const& b) { return a.x0 < b.x0; });
    long crossings = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        Segment const& a = segments[i];
        for (size_t j = i + 1; j < segments.size() && segments[j].x0 < a.x1; ++j) {
            Segment const& b = segments[j];
            double const d1 = cross(a.x0, a.y0, a.x1, a.y1, b.x0, b.y0);
            double const d2 = cross(a.x0, a.y0, a.x1, a.y1, b.x1, b.y1);
            double const d3 = cross(b.x0, b.y0, b.x1, b.y1, a.x0, a.y0);
            double const d4 = cross(b.x0, b.y0, b.x1, b.y1, a.x1, a.y1);
            if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) ++crossings;
        }
    }
    return crossings;
}

struct Result {
    double ms = -1.0;
    long crossings = -1;
};

Result layout_ours(GuiNodal& view, Graph const& graph, bool reduce_crossings)
{
    std::vector<GuiNodalNode*> nodes;
    std::vector<GuiNodalNodeBase*> batch;
    for (int i = 0; i < graph.nodes; ++i) {
        auto* node = view.add_node(new GuiNodalNode(view, ("n" + std::to_string(i)).c_str(), (i * 131) % 5000,
                                                    -((i * 71) % 5000), GuiNodalNodeBase::NODE_ANCHOR_SIDES));
        node->update_content(view.get_dc());
        nodes.push_back(node);
        batch.push_back(node);
    }
    for (auto const& [from, to] : graph.links)
        view.create_link(*nodes[static_cast<size_t>(from)]->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_RIGHT),
                         *nodes[static_cast<size_t>(to)]->get_anchor(GuiNodalNodeBase::NODE_ANCHOR_LEFT));
    Result result;
    auto const start = std::chrono::steady_clock::now();
    GuiNodalLayouter layouter(view);
    layouter.set_silent_layout(true);
    layouter.set_reduce_crossings(reduce_crossings);
    layouter.layout(batch, GMathVec2<int>(0, 0), false);
    result.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::vector<Segment> segments;
    for (auto const& [from, to] : graph.links) {
        GuiNodalNode const& a = *nodes[static_cast<size_t>(from)];
        GuiNodalNode const& b = *nodes[static_cast<size_t>(to)];
        segments.push_back({double(a.get_world_pos()[0] + a.get_computed_width()),
                            a.get_world_pos()[1] + a.get_computed_height() * 0.5, double(b.get_world_pos()[0]),
                            b.get_world_pos()[1] + b.get_computed_height() * 0.5});
    }
    result.crossings = count_crossings(segments);
    while (view.get_node_count() > 0) view.remove_node(*view.get_node(0));
    return result;
}

Result layout_dot_here(Graph const& graph)
{
    GVC_t* context = gvContext();
    Agraph_t* g = agopen(const_cast<char*>("bench"), Agdirected, nullptr);
    agsafeset(g, const_cast<char*>("rankdir"), const_cast<char*>("LR"), const_cast<char*>(""));
    std::vector<Agnode_t*> nodes;
    for (int i = 0; i < graph.nodes; ++i)
        nodes.push_back(agnode(g, const_cast<char*>(("n" + std::to_string(i)).c_str()), 1));
    for (auto const& [from, to] : graph.links)
        agedge(g, nodes[static_cast<size_t>(from)], nodes[static_cast<size_t>(to)], nullptr, 1);
    Result result;
    auto const start = std::chrono::steady_clock::now();
    gvLayout(context, g, "dot");
    result.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::vector<Segment> segments;
    for (auto const& [from, to] : graph.links) {
        pointf const a = ND_coord(nodes[static_cast<size_t>(from)]);
        pointf const b = ND_coord(nodes[static_cast<size_t>(to)]);
        segments.push_back({a.x, a.y, b.x, b.y});
    }
    result.crossings = count_crossings(segments);
    gvFreeLayout(context, g);
    agclose(g);
    gvFreeContext(context);
    return result;
}

// dot in a child process, given DOT_TIME_LIMIT_S; ms < 0 when it did not finish.
Result layout_dot(Graph const& graph)
{
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return {};
    pid_t const child = fork();
    if (child == 0) {
        close(pipe_ends[0]);
        Result const result = layout_dot_here(graph);
        ssize_t const written = write(pipe_ends[1], &result, sizeof result);
        _exit(written == sizeof result ? 0 : 1);
    }
    close(pipe_ends[1]);
    Result result;
    auto const start = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            if (read(pipe_ends[0], &result, sizeof result) != sizeof result) result = Result();
            break;
        }
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > DOT_TIME_LIMIT_S) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            break;
        }
        usleep(20000);
    }
    close(pipe_ends[0]);
    return result;
}

}  // namespace

int main()
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_nodal_layout: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    GuiApp* app = new GuiApp();
    GuiWindow* window = app->create_window(0, 0, 800, 600, "bench_nodal_layout");
    auto* view = new GuiNodal(*window, 0, 0, 800, 600);
    window->show();
    view->show();
    Fl::wait(0.1);
    std::printf("%-22s %8s %8s %12s %12s %10s %12s %12s %10s\n", "layout", "nodes", "links", "ours ms", "dot ms",
                "speed-up", "ours cross.", "dot cross.", "ratio");
    for (int count : {200, 2000, 10000}) {
        Graph const graph = make_graph(count);
        Result const dot = layout_dot(graph);
        for (bool const reduce : {false, true}) {
            Result const ours = layout_ours(*view, graph, reduce);
            char const* name = reduce ? "columns, uncrossed" : "columns, walk order";
            if (dot.ms < 0) {
                std::printf("%-22s %8d %8zu %12.1f %12s %10s %12ld %12s %10s\n", name, count, graph.links.size(),
                            ours.ms, "> 120 s", "-", ours.crossings, "-", "-");
                continue;
            }
            std::printf("%-22s %8d %8zu %12.1f %12.1f %9.1fx %12ld %12ld %9.2fx\n", name, count, graph.links.size(),
                        ours.ms, dot.ms, dot.ms / std::max(ours.ms, 1e-3), ours.crossings, dot.crossings,
                        static_cast<double>(ours.crossings) / std::max(1L, dot.crossings));
        }
    }
    std::printf("(aim: at least 20x faster than dot, at most 1.5x its crossings)\n");
    return 0;
}
