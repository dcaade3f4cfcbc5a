// The widget tree against FLTK's own groups, on a virtual or real X server:
// - resizing a shown window whose tree holds 10,000 widgets (100 panels of 99 children, the
//   panels following the window's width, the children alternately fixed and stretching),
//   against the same tree of Fl_Group and Fl_Box laid out by FLTK's resizable mechanism,
//   which stretches the last child of each panel only: the widget tree moves 25 times as
//   many boxes. A second widget tree whose panels stretch their last child only gives the
//   figure for the same geometry;
// - routing one mouse-move event through a widget's router to the widget and raising it to
//   one connected listener, against an Fl_Box whose handle() runs its callback.
// Prints the times per resize (medians of five runs) and per event, and their ratios, after the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"

namespace {

constexpr int PANELS = 100;
constexpr int CHILDREN_PER_PANEL = 99;  // 100 panels + 9,900 children = 10,000 widgets
constexpr int WIDTH = 1200;
constexpr int PANEL_HEIGHT = 10;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

// Which children of a panel stretch with it.
enum class Stretching { EVERY_OTHER, LAST };

// The widget tree in a shown window.
struct WidgetTree {
    GuiWindow* window = nullptr;

    explicit WidgetTree(Stretching stretching)
    {
        window = app().create_window(0, 0, WIDTH, PANELS * PANEL_HEIGHT, "bench widgets");
        for (int p = 0; p < PANELS; ++p) {
            GuiWidget* panel = new GuiWidget(*window, 0, p * PANEL_HEIGHT, WIDTH, PANEL_HEIGHT);
            panel->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP,
                                   GuiWidget::CONSTRAINT_RIGHT, GuiWidget::CONSTRAINT_TOP);
            for (int c = 0; c < CHILDREN_PER_PANEL; ++c) {
                GuiWidget* child = new GuiWidget(*panel, c * 12, p * PANEL_HEIGHT, 10, PANEL_HEIGHT);
                bool const stretches =
                    stretching == Stretching::LAST ? c == CHILDREN_PER_PANEL - 1 : c % 2 == 1;
                if (stretches)
                    child->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP,
                                           GuiWidget::CONSTRAINT_RIGHT, GuiWidget::CONSTRAINT_TOP);
            }
        }
        window->show();
        Fl::flush();
    }
};

// The same tree of toolkit groups: every panel is resizable by its last child, so FLTK
// stretches it with the window and moves and scales the children as its layout does.
struct ToolkitTree {
    std::unique_ptr<Fl_Double_Window> window;

    ToolkitTree()
    {
        window = std::make_unique<Fl_Double_Window>(0, 0, WIDTH, PANELS * PANEL_HEIGHT, "bench toolkit");
        for (int p = 0; p < PANELS; ++p) {
            Fl_Group* panel = new Fl_Group(0, p * PANEL_HEIGHT, WIDTH, PANEL_HEIGHT);
            Fl_Box* last = nullptr;
            for (int c = 0; c < CHILDREN_PER_PANEL; ++c)
                last = new Fl_Box(c * 12, p * PANEL_HEIGHT, 10, PANEL_HEIGHT);
            panel->resizable(last);
            panel->end();
        }
        window->resizable(window.get());
        window->end();
        window->show();
        Fl::flush();
    }
};

// Each tree is built when its benchmark first asks for it.
WidgetTree& widget_tree(Stretching stretching)
{
    if (stretching == Stretching::LAST) {
        static WidgetTree last(Stretching::LAST);
        return last;
    }
    static WidgetTree every_other(Stretching::EVERY_OTHER);
    return every_other;
}

ToolkitTree& toolkit_tree()
{
    static ToolkitTree tree;
    return tree;
}

void resize_widget_tree(benchmark::State& state, Stretching stretching)
{
    GuiWindow& window = *widget_tree(stretching).window;
    int width = WIDTH;
    for (auto _ : state) {
        width = width == WIDTH ? WIDTH - 200 : WIDTH;
        window.resize(window.get_x(), window.get_y(), width, PANELS * PANEL_HEIGHT);
    }
    state.SetItemsProcessed(state.iterations() * (PANELS + PANELS * CHILDREN_PER_PANEL));
}

void bm_resize_widget_tree(benchmark::State& state)
{
    resize_widget_tree(state, Stretching::EVERY_OTHER);
}

void bm_resize_widget_tree_last_stretching(benchmark::State& state)
{
    resize_widget_tree(state, Stretching::LAST);
}

void bm_resize_toolkit_tree(benchmark::State& state)
{
    Fl_Double_Window& window = *toolkit_tree().window;
    int width = WIDTH;
    for (auto _ : state) {
        width = width == WIDTH ? WIDTH - 200 : WIDTH;
        window.resize(window.x(), window.y(), width, PANELS * PANEL_HEIGHT);
    }
    state.SetItemsProcessed(state.iterations() * (PANELS + PANELS * CHILDREN_PER_PANEL));
}

// A widget that takes mouse moves.
class MoveTaker : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    int process_event(CoreString const& name) override
    {
        if (name == EVT_ID_MOUSE_MOVE) return 1;
        return GuiWidget::process_event(name);
    }
};

class MoveListener : public EventObject {
public:
    void on_move(GuiWidget&, EventInfo const&, void*) { benchmark::DoNotOptimize(++m_moves); }
    long m_moves = 0;
};

void bm_route_mouse_move(benchmark::State& state)
{
    GuiWindow* window = app().create_window(0, 0, 200, 200, "bench routing");
    MoveTaker* widget = new MoveTaker(*window, 10, 10, 100, 100);
    widget->set_entered(true);
    MoveListener listener;
    listener.connect(*widget, EVT_ID_MOUSE_MOVE, &MoveListener::on_move);
    window->show();
    Fl_Widget* router = widget->get_widget();
    Fl::e_number = FL_MOVE;
    Fl::e_x = Fl::e_x_root = 50;
    Fl::e_y = Fl::e_y_root = 50;
    for (auto _ : state) benchmark::DoNotOptimize(router->handle(FL_MOVE));
    if (listener.m_moves != static_cast<long>(state.iterations())) state.SkipWithError("the listener missed moves");
    window->hide();
    delete window;
    app().delete_queued_objects();
}

// The toolkit peer: a box whose handler takes the move and runs its callback.
class CallbackBox : public Fl_Box {
public:
    using Fl_Box::Fl_Box;
    int handle(int event) override
    {
        if (event != FL_MOVE) return Fl_Box::handle(event);
        do_callback();
        return 1;
    }
};

void bm_toolkit_mouse_move(benchmark::State& state)
{
    Fl_Double_Window window(0, 0, 200, 200, "bench toolkit routing");
    CallbackBox* box = new CallbackBox(10, 10, 100, 100);
    long moves = 0;
    box->callback([](Fl_Widget*, void* data) { benchmark::DoNotOptimize(++*static_cast<long*>(data)); }, &moves);
    window.end();
    window.show();
    Fl::e_number = FL_MOVE;
    Fl::e_x = Fl::e_x_root = 50;
    Fl::e_y = Fl::e_y_root = 50;
    for (auto _ : state) benchmark::DoNotOptimize(box->handle(FL_MOVE));
    if (moves != static_cast<long>(state.iterations())) state.SkipWithError("the callback missed moves");
    window.hide();
}

BENCHMARK(bm_resize_widget_tree)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(bm_resize_widget_tree_last_stretching)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(bm_resize_toolkit_tree)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(bm_route_mouse_move);
BENCHMARK(bm_toolkit_mouse_move);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_widget_tree: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    double const ours = reporter.get_time("bm_resize_widget_tree");
    double const peer = reporter.get_time("bm_resize_toolkit_tree");
    if (ours > 0.0 && peer > 0.0)
        std::printf("\nResize of 10,000 widgets: %.1f us, Fl_Group tree %.1f us, ratio %.2f (below 1 is faster)\n",
                    ours, peer, ours / peer);
    double const same_geometry = reporter.get_time("bm_resize_widget_tree_last_stretching");
    if (same_geometry > 0.0 && peer > 0.0)
        std::printf("  the same geometry as the Fl_Group tree (last child stretching): %.1f us, ratio %.2f\n",
                    same_geometry, same_geometry / peer);
    double const route = reporter.get_time("bm_route_mouse_move");
    double const toolkit = reporter.get_time("bm_toolkit_mouse_move");
    if (route > 0.0 && toolkit > 0.0)
        std::printf("Mouse move routed and raised to one listener: %.1f ns per event (Fl_Box callback %.1f ns)\n",
                    route, toolkit);
    benchmark::Shutdown();
    return 0;
}
