// Tab widgets against FLTK's Fl_Tabs, on a virtual or real X server. Each holds 500 tabs, each
// with a page (a GuiWidget, an Fl_Group), in a shown window:
// - switching the selected tab to the next one, the redraw requests handed to the toolkit
//   (the application's processing pass for the tab widget, Fl_Tabs::value for FLTK);
// - resizing the tab widget (width 800 and 700 in turn), headers and the shown page laid out
//   again, and its redraw requests handed to the toolkit.
// Nothing is drawn: both measure the widget's own work, by the wall clock, since showing a
// page of the library asks the X server where the pointer is. Prints microseconds per
// operation and the ratios after the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Tabs.H>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_app.h"
#include "gui/panels/gui_tab_widget.h"
#include "gui/core/gui_widget.h"
#include "gui/core/gui_window.h"

namespace {

constexpr int TABS = 500;
constexpr int WIDTH = 800;
constexpr int NARROW = 700;
constexpr int HEIGHT = 600;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

std::string tab_name(int index)
{
    return "Tab " + std::to_string(index);
}

struct LibraryTabs {
    GuiWindow* window = nullptr;
    GuiTabWidget* tabs = nullptr;

    LibraryTabs()
    {
        window = app().create_window(0, 0, WIDTH, HEIGHT, "bench tab widget");
        tabs = new GuiTabWidget(*window, 0, 0, WIDTH, HEIGHT);
        for (int i = 0; i < TABS; ++i) tabs->add_tab(tab_name(i).c_str(), new GuiWidget(*tabs, 0, 0, 10, 10));
        tabs->show();
        window->show();
        app().process_pending();
        Fl::flush();
    }
};

struct ToolkitTabs {
    std::unique_ptr<Fl_Double_Window> window;
    Fl_Tabs* tabs = nullptr;
    std::vector<Fl_Group*> pages;
    std::vector<std::string> labels;

    ToolkitTabs()
    {
        window = std::make_unique<Fl_Double_Window>(0, 0, WIDTH, HEIGHT, "bench toolkit tabs");
        tabs = new Fl_Tabs(0, 0, WIDTH, HEIGHT);
        labels.reserve(TABS);
        for (int i = 0; i < TABS; ++i) {
            labels.push_back(tab_name(i));
            Fl_Group* page = new Fl_Group(1, 23, WIDTH - 2, HEIGHT - 24, labels.back().c_str());
            page->end();
            pages.push_back(page);
        }
        tabs->end();
        window->end();
        window->show();
        Fl::flush();
    }
};

LibraryTabs& library_tabs()
{
    static LibraryTabs tabs;
    return tabs;
}

ToolkitTabs& toolkit_tabs()
{
    static ToolkitTabs tabs;
    return tabs;
}

void bm_switch_tab_widget(benchmark::State& state)
{
    GuiTabWidget& tabs = *library_tabs().tabs;
    unsigned int index = 0;
    for (auto _ : state) {
        index = (index + 1) % TABS;
        tabs.set_selected_tab(index);
        app().process_pending();
    }
    if (tabs.get_selected_tab() != static_cast<int>(index) || !tabs.get_tab_widget(index)->is_shown())
        state.SkipWithError("the selected page is not shown");
}

void bm_switch_fl_tabs(benchmark::State& state)
{
    ToolkitTabs& toolkit = toolkit_tabs();
    unsigned int index = 0;
    for (auto _ : state) {
        index = (index + 1) % TABS;
        toolkit.tabs->value(toolkit.pages[index]);
    }
    if (toolkit.tabs->value() != toolkit.pages[index] || !toolkit.pages[index]->visible())
        state.SkipWithError("the selected page is not shown");
}

void bm_resize_tab_widget(benchmark::State& state)
{
    GuiTabWidget& tabs = *library_tabs().tabs;
    tabs.set_selected_tab(TABS / 2);
    int width = WIDTH;
    for (auto _ : state) {
        width = width == WIDTH ? NARROW : WIDTH;
        tabs.resize(0, 0, width, HEIGHT);
        app().process_pending();
    }
    if (tabs.get_tab_widget(TABS / 2)->get_width() != width - 2)
        state.SkipWithError("the page was not laid out");
}

void bm_resize_fl_tabs(benchmark::State& state)
{
    ToolkitTabs& toolkit = toolkit_tabs();
    toolkit.tabs->value(toolkit.pages[TABS / 2]);
    int width = WIDTH;
    for (auto _ : state) {
        width = width == WIDTH ? NARROW : WIDTH;
        toolkit.tabs->resize(0, 0, width, HEIGHT);
    }
    if (toolkit.pages[TABS / 2]->w() != width - 2) state.SkipWithError("the page was not laid out");
}

BENCHMARK(bm_switch_tab_widget)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bm_switch_fl_tabs)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bm_resize_tab_widget)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bm_resize_fl_tabs)->Unit(benchmark::kMicrosecond)->UseRealTime();

void print_ratio(char const* what, double ours, double peer)
{
    if (ours <= 0.0 || peer <= 0.0) return;
    std::printf("%s: GuiTabWidget %.2f us, Fl_Tabs %.2f us, ratio %.2f\n", what, ours, peer, ours / peer);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_tab_widget: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%d tabs with a page each, per operation:\n", TABS);
    print_ratio("Switching the selected tab", reporter.get_time("bm_switch_tab_widget"),
                reporter.get_time("bm_switch_fl_tabs"));
    print_ratio("Resizing the tab widget", reporter.get_time("bm_resize_tab_widget"),
                reporter.get_time("bm_resize_fl_tabs"));
    benchmark::Shutdown();
    return 0;
}
