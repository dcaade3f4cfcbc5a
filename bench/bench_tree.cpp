// The tree widget against FLTK's Fl_Tree, and the grid against an Fl_Group, on a virtual or
// real X server, each in a shown 400 × 600 window:
// - a tree of 1,000,000 items (1,000 groups of 999 leaves): building it, expanding every
//   group, scrolling one page down (and back, in turn), collapsing every group. Each step
//   ends with the window drawn (the application's passes, then the toolkit's flush), since
//   Fl_Tree places its items while it draws;
// - a 10 × 10 bordered GuiGrid of 100 widgets resized (width 800 and 700 in turn) against an
//   Fl_Group of 100 boxes resized, without drawing.
// Also prints the heap bytes per tree item of both (what malloc holds, overhead included).
// Times are wall-clock milliseconds or microseconds per operation; the ratios follow the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Tree.H>

#include <malloc.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/controls/gui_grid.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/tree/gui_tree.h"
#include "gui/tree/gui_tree_item_basic.h"

namespace {

constexpr int GROUPS = 1000;
constexpr int LEAVES = 999;
constexpr int ITEMS = GROUPS * (LEAVES + 1);
constexpr int WIDTH = 400;
constexpr int HEIGHT = 600;
constexpr int GRID_SIDE = 10;
constexpr int GRID_WIDE = 800;
constexpr int GRID_NARROW = 700;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

size_t heap_in_use()
{
    return mallinfo2().uordblks;
}

// The item names, made once: both trees copy them.
std::vector<std::string> const& leaf_names()
{
    static std::vector<std::string> names = [] {
        std::vector<std::string> made;
        for (int i = 0; i < LEAVES; ++i) made.push_back("leaf " + std::to_string(i));
        return made;
    }();
    return names;
}

std::string group_name(int index)
{
    return "group " + std::to_string(index);
}

void draw_library()
{
    app().process_pending();
    Fl::flush();
}

struct LibraryTree {
    GuiWindow* window = nullptr;
    GuiTree* tree = nullptr;

    LibraryTree()
    {
        window = app().create_window(0, 0, WIDTH, HEIGHT, "bench tree");
        tree = new GuiTree(*window, 0, 0, WIDTH, HEIGHT);
        tree->show();
        window->show();
        draw_library();
    }
    void fill()
    {
        std::vector<std::string> const& names = leaf_names();
        for (int g = 0; g < GROUPS; ++g) {
            GuiTreeItemBasic* group = new GuiTreeItemBasic(*tree->get_root(), group_name(g).c_str());
            group->set_expandable(true);
            for (int i = 0; i < LEAVES; ++i) new GuiTreeItemBasic(*group, names[i].c_str());
        }
        tree->refresh();
        tree->refresh();
    }
};

struct ToolkitTree {
    std::unique_ptr<Fl_Double_Window> window;
    Fl_Tree* tree = nullptr;

    ToolkitTree()
    {
        window = std::make_unique<Fl_Double_Window>(0, 0, WIDTH, HEIGHT, "bench toolkit tree");
        tree = new Fl_Tree(0, 0, WIDTH, HEIGHT);
        tree->showroot(0);
        window->end();
        window->show();
        Fl::flush();
    }
    void fill()
    {
        std::vector<std::string> const& names = leaf_names();
        for (int g = 0; g < GROUPS; ++g) {
            Fl_Tree_Item* group = tree->add(tree->root(), group_name(g).c_str());
            group->close();
            for (int i = 0; i < LEAVES; ++i) tree->add(group, names[i].c_str());
        }
        tree->redraw();
    }
    void clear()
    {
        tree->clear_children(tree->root());
        tree->redraw();
        Fl::flush();
    }
    void set_open(bool open)
    {
        for (int g = 0; g < tree->root()->children(); ++g) {
            if (open)
                tree->root()->child(g)->open();
            else
                tree->root()->child(g)->close();
        }
        tree->redraw();
    }
};

LibraryTree& library_tree()
{
    static LibraryTree* tree = new LibraryTree();
    return *tree;
}

ToolkitTree& toolkit_tree()
{
    static ToolkitTree* tree = new ToolkitTree();
    return *tree;
}

// The library's tree, filled; the toolkit's is emptied first so that one big tree lives at a
// time.
GuiTree& filled_library_tree()
{
    LibraryTree& library = library_tree();
    if (library.tree->get_root()->get_children().is_empty()) {
        toolkit_tree().clear();
        library.fill();
        draw_library();
    }
    return *library.tree;
}

Fl_Tree& filled_toolkit_tree()
{
    ToolkitTree& toolkit = toolkit_tree();
    if (toolkit.tree->root()->children() == 0) {
        library_tree().tree->remove_all();
        app().delete_queued_objects();
        draw_library();
        toolkit.fill();
        Fl::flush();
    }
    return *toolkit.tree;
}

void bm_build_gui_tree(benchmark::State& state)
{
    LibraryTree& library = library_tree();
    toolkit_tree().clear();
    for (auto _ : state) {
        state.PauseTiming();
        library.tree->remove_all();
        app().delete_queued_objects();
        draw_library();
        state.ResumeTiming();
        library.fill();
        draw_library();
    }
    if (library.tree->get_root()->get_total() != GROUPS + 1) state.SkipWithError("the tree was not built");
}

void bm_build_fl_tree(benchmark::State& state)
{
    ToolkitTree& toolkit = toolkit_tree();
    library_tree().tree->remove_all();
    app().delete_queued_objects();
    for (auto _ : state) {
        state.PauseTiming();
        toolkit.clear();
        state.ResumeTiming();
        toolkit.fill();
        Fl::flush();
    }
    if (toolkit.tree->root()->children() != GROUPS) state.SkipWithError("the tree was not built");
}

void bm_expand_all_gui_tree(benchmark::State& state)
{
    GuiTree& tree = filled_library_tree();
    for (auto _ : state) {
        state.PauseTiming();
        tree.collapse_all();
        draw_library();
        state.ResumeTiming();
        tree.expand_all();
        draw_library();
    }
    if (tree.get_line_count() != ITEMS) state.SkipWithError("not every group was expanded");
}

void bm_expand_all_fl_tree(benchmark::State& state)
{
    Fl_Tree& tree = filled_toolkit_tree();
    ToolkitTree& toolkit = toolkit_tree();
    for (auto _ : state) {
        state.PauseTiming();
        toolkit.set_open(false);
        Fl::flush();
        state.ResumeTiming();
        toolkit.set_open(true);
        Fl::flush();
    }
    if (!tree.root()->child(GROUPS - 1)->is_open()) state.SkipWithError("not every group was expanded");
}

void bm_scroll_page_gui_tree(benchmark::State& state)
{
    GuiTree& tree = filled_library_tree();
    tree.expand_all();
    tree.set_offset(ITEMS / 2);
    draw_library();
    unsigned int const page = tree.get_shown_line_capacity() - 1;
    bool down = true;
    for (auto _ : state) {
        tree.set_offset(down ? tree.get_first_shown_line() + page : tree.get_first_shown_line() - page);
        draw_library();
        down = !down;
    }
    if (tree.get_visible_items().get_count() != page + 1) state.SkipWithError("the page is not full");
}

void bm_scroll_page_fl_tree(benchmark::State& state)
{
    Fl_Tree& tree = filled_toolkit_tree();
    toolkit_tree().set_open(true);
    Fl::flush();
    // Rows are about 20 pixels high: start in the middle, move by the window's height.
    tree.vposition(ITEMS / 2 * 20);
    Fl::flush();
    int const start = tree.vposition();
    bool down = true;
    for (auto _ : state) {
        tree.vposition(tree.vposition() + (down ? HEIGHT : -HEIGHT));
        tree.redraw();
        Fl::flush();
        down = !down;
    }
    if (start <= 0) state.SkipWithError("the tree did not scroll");
}

void bm_collapse_all_gui_tree(benchmark::State& state)
{
    GuiTree& tree = filled_library_tree();
    for (auto _ : state) {
        state.PauseTiming();
        tree.expand_all();
        draw_library();
        state.ResumeTiming();
        tree.collapse_all();
        draw_library();
    }
    if (tree.get_line_count() != GROUPS) state.SkipWithError("not every group was collapsed");
}

void bm_collapse_all_fl_tree(benchmark::State& state)
{
    Fl_Tree& tree = filled_toolkit_tree();
    ToolkitTree& toolkit = toolkit_tree();
    for (auto _ : state) {
        state.PauseTiming();
        toolkit.set_open(true);
        Fl::flush();
        state.ResumeTiming();
        toolkit.set_open(false);
        Fl::flush();
    }
    if (tree.root()->child(GROUPS - 1)->is_open()) state.SkipWithError("not every group was collapsed");
}

// Grids ------------------------------------------------------------------------------------------

struct LibraryGrid {
    GuiWindow* window = nullptr;
    GuiGrid* grid = nullptr;

    LibraryGrid()
    {
        window = app().create_window(0, 0, GRID_WIDE, HEIGHT, "bench grid");
        grid = new GuiGrid(*window, 0, 0, GRID_WIDE, HEIGHT, GRID_SIDE, GRID_SIDE);
        grid->set_style(GuiGrid::STYLE_BORDER);
        for (int c = 0; c < GRID_SIDE; ++c)
            for (int r = 0; r < GRID_SIDE; ++r) grid->set_widget(*new GuiWidget(*grid, 0, 0, 10, 10), c, r);
        grid->show();
        window->show();
        draw_library();
    }
};

struct ToolkitGrid {
    std::unique_ptr<Fl_Double_Window> window;
    Fl_Group* group = nullptr;

    ToolkitGrid()
    {
        window = std::make_unique<Fl_Double_Window>(0, 0, GRID_WIDE, HEIGHT, "bench toolkit grid");
        group = new Fl_Group(0, 0, GRID_WIDE, HEIGHT);
        int const w = GRID_WIDE / GRID_SIDE, h = HEIGHT / GRID_SIDE;
        for (int c = 0; c < GRID_SIDE; ++c)
            for (int r = 0; r < GRID_SIDE; ++r) new Fl_Box(c * w, r * h, w, h);
        group->end();
        window->end();
        window->show();
        Fl::flush();
    }
};

void bm_resize_gui_grid(benchmark::State& state)
{
    static LibraryGrid grid;
    int width = GRID_WIDE;
    for (auto _ : state) {
        width = width == GRID_WIDE ? GRID_NARROW : GRID_WIDE;
        grid.grid->resize(0, 0, width, HEIGHT);
        app().process_pending();
    }
    GuiWidget* last = grid.grid->get_widget(GRID_SIDE - 1, GRID_SIDE - 1);
    if (!last || last->get_x() + last->get_width() < width - 2) state.SkipWithError("the grid was not laid out");
}

void bm_resize_fl_group(benchmark::State& state)
{
    static ToolkitGrid grid;
    int width = GRID_WIDE;
    for (auto _ : state) {
        width = width == GRID_WIDE ? GRID_NARROW : GRID_WIDE;
        grid.group->resize(0, 0, width, HEIGHT);
    }
    Fl_Widget* last = grid.group->child(GRID_SIDE * GRID_SIDE - 1);
    if (last->x() + last->w() != width) state.SkipWithError("the group was not laid out");
}

BENCHMARK(bm_build_gui_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(bm_build_fl_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(bm_expand_all_gui_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_expand_all_fl_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_scroll_page_gui_tree)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bm_scroll_page_fl_tree)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bm_collapse_all_gui_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_collapse_all_fl_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_resize_gui_grid)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bm_resize_fl_group)->Unit(benchmark::kMicrosecond)->UseRealTime();

void print_ratio(char const* what, char const* ours_name, char const* peer_name, char const* unit, double ours,
                 double peer)
{
    if (ours <= 0.0 || peer <= 0.0) return;
    std::printf("%s: %s %.2f %s, %s %.2f %s, ratio %.2f\n", what, ours_name, ours, unit, peer_name, peer, unit,
                ours / peer);
}

// Heap bytes per item of a freshly built tree of each kind, the other one empty.
void print_bytes_per_item()
{
    library_tree().tree->remove_all();
    app().delete_queued_objects();
    toolkit_tree().clear();
    size_t before = heap_in_use();
    library_tree().fill();
    double const ours = static_cast<double>(heap_in_use() - before) / ITEMS;
    library_tree().tree->remove_all();
    app().delete_queued_objects();
    before = heap_in_use();
    toolkit_tree().fill();
    double const peer = static_cast<double>(heap_in_use() - before) / ITEMS;
    toolkit_tree().clear();
    std::printf("Heap per item: GuiTreeItemBasic %.0f bytes (sizeof %zu), Fl_Tree_Item %.0f bytes (sizeof %zu), "
                "ratio %.2f\n",
                ours, sizeof(GuiTreeItemBasic), peer, sizeof(Fl_Tree_Item), ours / peer);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_tree: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nA tree of %d items (%d groups of %d leaves), per operation, window drawn:\n", ITEMS, GROUPS, LEAVES);
    char const* steps[][3] = {{"Building", "bm_build_gui_tree", "bm_build_fl_tree"},
                              {"Expanding every group", "bm_expand_all_gui_tree", "bm_expand_all_fl_tree"},
                              {"Scrolling one page", "bm_scroll_page_gui_tree", "bm_scroll_page_fl_tree"},
                              {"Collapsing every group", "bm_collapse_all_gui_tree", "bm_collapse_all_fl_tree"}};
    for (auto const& step : steps) {
        bool const micro = std::string(step[0]) == "Scrolling one page";
        print_ratio(step[0], "GuiTree", "Fl_Tree", micro ? "us" : "ms", reporter.get_time(step[1]),
                    reporter.get_time(step[2]));
    }
    print_ratio("Resizing a grid of 100 cells", "GuiGrid", "Fl_Group", "us", reporter.get_time("bm_resize_gui_grid"),
                reporter.get_time("bm_resize_fl_group"));
    print_bytes_per_item();
    benchmark::Shutdown();
    return 0;
}
