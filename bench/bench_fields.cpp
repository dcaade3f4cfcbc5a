// Text entry and number reading: 100,000 characters typed one by one at the end of a line
// edit, against FLTK's Fl_Input inserting the same characters; and 1,000,000 numbers with
// units read as a number field reads them, against strtod reading the bare numbers. Prints
// microseconds (or nanoseconds) per operation and the ratios after the runs.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/fields/gui_line_edit.h"
#include "host/gmath/gmath_units.h"

namespace {

constexpr int TYPED = 100000;
constexpr int PARSES = 1000000;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

// The typed characters: words of a sentence, so that the text has groups and blanks.
char typed_char(int i)
{
    static char const sentence[] = "the quick brown fox jumps over the lazy dog ";
    return sentence[i % (sizeof(sentence) - 1)];
}

void bm_line_edit_typing(benchmark::State& state)
{
    GuiWindow* window = app().create_window(0, 0, 400, 40, "bench line edit");
    GuiLineEdit* edit = new GuiLineEdit(*window, 0, 10, 400, 20);
    window->show();
    Fl::flush();
    edit->set_focus();
    for (auto _ : state) {
        state.PauseTiming();
        edit->set_text("");
        edit->select_end();
        state.ResumeTiming();
        char typed[2] = {0, 0};
        for (int i = 0; i < TYPED; ++i) {
            typed[0] = typed_char(i);
            edit->insert_text(typed);
        }
        benchmark::DoNotOptimize(edit->get_text().get_length());
    }
    state.SetItemsProcessed(state.iterations() * TYPED);
    window->destroy();
}

void bm_toolkit_input_typing(benchmark::State& state)
{
    auto window = std::make_unique<Fl_Double_Window>(0, 0, 400, 40, "bench toolkit input");
    Fl_Input* input = new Fl_Input(0, 10, 400, 20);
    input->maximum_size(TYPED + 1);
    window->end();
    window->show();
    Fl::flush();
    input->take_focus();
    for (auto _ : state) {
        state.PauseTiming();
        input->value("");
        input->position(0);
        state.ResumeTiming();
        char typed[2] = {0, 0};
        for (int i = 0; i < TYPED; ++i) {
            typed[0] = typed_char(i);
            input->insert(typed, 1);
        }
        benchmark::DoNotOptimize(input->size());
    }
    state.SetItemsProcessed(state.iterations() * TYPED);
}

// Values as a user types them into a length field shown in centimetres.
char const* const UNIT_TEXTS[] = {"12.5cm", "0.3 m", "-4mm", "1e2 cm", "7 in", "2.25", "1.5km", "3 ft"};
char const* const BARE_TEXTS[] = {"12.5", "0.3", "-4", "1e2", "7", "2.25", "1.5", "3"};

void bm_units_parse(benchmark::State& state)
{
    double sum = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < PARSES; ++i) {
            double value = 0.0;
            GMathUnits::get_value_from_str_with_unit(UNIT_TEXTS[i & 7], 24.0, GMathUnits::KIND_LENGTH, "cm", "m",
                                                     value);
            sum += value;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * PARSES);
}

void bm_strtod_parse(benchmark::State& state)
{
    double sum = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < PARSES; ++i) sum += std::strtod(BARE_TEXTS[i & 7], nullptr);
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * PARSES);
}

BENCHMARK(bm_line_edit_typing)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(bm_toolkit_input_typing)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(bm_units_parse)->Unit(benchmark::kMillisecond);
BENCHMARK(bm_strtod_parse)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_fields: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const typing = reporter.get_time("bm_line_edit_typing");
    double const input = reporter.get_time("bm_toolkit_input_typing");
    if (typing > 0 && input > 0)
        std::printf("\ntyping %d characters: %.3f us per character, Fl_Input %.3f us (ratio %.3g)\n", TYPED,
                    typing * 1000.0 / TYPED, input * 1000.0 / TYPED, typing / input);
    double const units = reporter.get_time("bm_units_parse");
    double const strtod_time = reporter.get_time("bm_strtod_parse");
    if (units > 0 && strtod_time > 0)
        std::printf("reading %d numbers with units: %.1f ns per number, strtod %.1f ns (ratio %.2f)\n", PARSES,
                    units * 1e6 / PARSES, strtod_time * 1e6 / PARSES, units / strtod_time);
    return 0;
}
