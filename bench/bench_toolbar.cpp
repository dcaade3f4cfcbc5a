// A toolbar of 200 items relaid out while its window is resized between a width where most
// items overflow into the add-on menu and a width where fewer do, against the same strip of
// FLTK buttons placed by a hand-written flow (each label measured, items past the end hidden).
// Prints the time per relayout and the ratio after the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/panels/gui_toolbar.h"
#include "gui/core/gui.h"
#include "gui/core/gui_window.h"

namespace {

constexpr int ITEMS = 200;
constexpr int WIDE = 3000;
constexpr int NARROW = 1200;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

std::string label_of(int i)
{
    return "Tool " + std::to_string(i);
}

struct ToolbarWindow {
    GuiWindow* window = nullptr;
    GuiToolbar* bar = nullptr;

    ToolbarWindow()
    {
        window = app().create_window(0, 0, WIDE, 40, "bench toolbar");
        bar = new GuiToolbar(*window, 0, 0, WIDE, "bench");
        bar->set_constraints(GuiWidget::CONSTRAINT_LEFT, GuiWidget::CONSTRAINT_TOP, GuiWidget::CONSTRAINT_RIGHT,
                             GuiWidget::CONSTRAINT_TOP);
        for (int i = 0; i < ITEMS; ++i) {
            if (i % 20 == 19)
                bar->add_separator(GuiToolbar::ANCHOR_LEFT);
            else
                bar->create_button(label_of(i).c_str(), "", i % 10 == 9 ? GuiToolbar::ANCHOR_RIGHT
                                                                        : GuiToolbar::ANCHOR_LEFT);
        }
        window->show();
        Fl::flush();
    }
};

// The peer: buttons in a group, placed left to right by their measured labels on every
// resize; those past the right end are hidden.
class FlowGroup : public Fl_Group {
public:
    FlowGroup(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {}
    void resize(int x, int y, int w, int h) override
    {
        Fl_Widget::resize(x, y, w, h);
        int left = x + 1;
        for (int i = 0; i < children(); ++i) {
            Fl_Widget* button = child(i);
            int tw = 0, th = 0;
            fl_font(button->labelfont(), button->labelsize());
            fl_measure(button->label(), tw, th);
            int const bw = tw + 10;
            if (left + bw > x + w - 11) {
                button->hide();
                continue;
            }
            button->resize(left, y + 2, bw, 18);
            button->show();
            left += bw + 2;
        }
    }
};

struct ToolkitWindow {
    std::unique_ptr<Fl_Double_Window> window;
    std::vector<std::string> labels;

    ToolkitWindow()
    {
        window = std::make_unique<Fl_Double_Window>(0, 0, WIDE, 40, "bench toolkit toolbar");
        FlowGroup* group = new FlowGroup(0, 0, WIDE, 22);
        labels.reserve(ITEMS);
        for (int i = 0; i < ITEMS; ++i) {
            labels.push_back(label_of(i));
            new Fl_Button(0, 2, 40, 18, labels.back().c_str());
        }
        group->end();
        window->resizable(group);
        window->end();
        window->show();
        Fl::flush();
    }
};

void bm_toolbar_relayout(benchmark::State& state)
{
    static ToolbarWindow bench;
    int width = WIDE;
    for (auto _ : state) {
        width = width == WIDE ? NARROW : WIDE;
        bench.window->resize(bench.window->get_x(), bench.window->get_y(), width, 40);
    }
    state.SetItemsProcessed(state.iterations() * ITEMS);
}

void bm_toolkit_flow_relayout(benchmark::State& state)
{
    static ToolkitWindow bench;
    int width = WIDE;
    for (auto _ : state) {
        width = width == WIDE ? NARROW : WIDE;
        bench.window->resize(bench.window->x(), bench.window->y(), width, 40);
    }
    state.SetItemsProcessed(state.iterations() * ITEMS);
}

BENCHMARK(bm_toolbar_relayout)->Unit(benchmark::kMicrosecond);
BENCHMARK(bm_toolkit_flow_relayout)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_toolbar: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const ours = reporter.get_time("bm_toolbar_relayout");
    double const peer = reporter.get_time("bm_toolkit_flow_relayout");
    if (ours > 0 && peer > 0)
        std::printf("\ntoolbar relayout, 200 items: %.1f us per resize, the toolkit flow %.1f us (ratio %.2f)\n", ours,
                    peer, ours / peer);
    return 0;
}
