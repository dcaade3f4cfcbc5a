// The explorer on a 100,000-object sample scene held by the application's own scene, in a
// shown 400 × 800 window; each step ends with the window drawn (the application's passes,
// then the toolkit's flush):
// - opening: an explorer made in a shown window, its tree built and drawn;
// - expanding everything from a freshly opened explorer (every attribute row made first),
//   and expanding again once they exist;
// - a filter keystroke ("prop_" becomes "prop_1") and the keystroke that clears it;
// - one scene change (renaming one object, adding one object) against listing the whole
//   scene again, so that a change is seen to cost the change and not the scene; and the
//   rename again with every row expanded, to see how a change grows with the rows;
// - the natural name order of the scene's object names: comparison records made and sorted
//   against the same names as QStrings sorted with a QCollator in numeric, case-insensitive
//   mode (the peer), in the same run.
// Times are wall-clock milliseconds per operation; a summary with the targets and ratios
// follows the runs. Run under Xvfb:
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bin/bench_explorer
#include <benchmark/benchmark.h>

// Qt's headers before the toolkit's, whose X11 macros break them.
#include <QCollator>
#include <QString>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "demo/sample_scene.h"
#include "gui/core/gui.h"
#include "gui/core/gui_app.h"
#include "gui/core/gui_window.h"
#include "gui/explorer/gui_explorer.h"
#include "gui/explorer/gui_of_item_sort.h"
#include "host/of/of_command_manager.h"
#include "host/of/of_context.h"
#include "host/of/of_object.h"
#include "host/of/of_object_factory.h"

namespace {

constexpr unsigned int SCENE_SIZE = 100000;
constexpr int WIDTH = 400;
constexpr int HEIGHT = 800;
constexpr double OPEN_TARGET_MS = 1000.0;
constexpr double KEYSTROKE_TARGET_MS = 50.0;

GuiApp& app()
{
    static GuiApp* application = new GuiApp();
    return *application;
}

OfObjectFactory& scene()
{
    static bool built = false;
    OfObjectFactory& factory = app().get_factory();
    if (!built) {
        built = true;
        if (!SampleScene::build(factory, SCENE_SIZE))
            std::fprintf(stderr, "bench_explorer: the scene was not built\n");
        factory.get_command_manager().clear();
    }
    return factory;
}

void draw()
{
    app().process_pending();
    Fl::flush();
}

// A shown, drawn window; the explorer is made in it separately so that opening can be timed
// without the window's mapping.
struct ExplorerWindow {
    GuiWindow* window = nullptr;
    GuiExplorer* explorer = nullptr;

    ExplorerWindow()
    {
        window = app().create_window(0, 0, WIDTH, HEIGHT, "bench explorer");
        window->show();
        if (Fl_Window* toolkit = window->get_widget()->as_window()) toolkit->wait_for_expose();
        draw();
    }
    void open()
    {
        explorer = new GuiExplorer(*window, 0, 0, WIDTH, HEIGHT);
        explorer->show();
        draw();
    }
    // Destroys the window and the explorer with it; no scene event reaches them afterwards.
    void close()
    {
        window->destroy();
        draw();
        app().delete_queued_objects();
        window = nullptr;
        explorer = nullptr;
    }
};

// The explorer the filter, change and expanding runs share, opened on first use. It is
// closed before an explorer of a run's own is opened, and once everything has been expanded
// (a row per attribute) and measured.
ExplorerWindow* s_shared = nullptr;

GuiExplorer& shared_explorer()
{
    scene();
    if (!s_shared) {
        s_shared = new ExplorerWindow();
        s_shared->open();
    }
    return *s_shared->explorer;
}

void close_shared_explorer()
{
    if (!s_shared) return;
    s_shared->close();
    delete s_shared;
    s_shared = nullptr;
}

void bm_open_explorer(benchmark::State& state)
{
    scene();
    close_shared_explorer();
    unsigned int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ExplorerWindow frame;
        state.ResumeTiming();
        frame.open();
        state.PauseTiming();
        rows = frame.explorer->get_row_count();
        frame.close();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    if (rows < SCENE_SIZE / 2) state.SkipWithError("the scene was not listed");
}

// From a freshly opened explorer: the attribute rows are made, then everything opens.
void bm_expand_all_first(benchmark::State& state)
{
    scene();
    close_shared_explorer();
    unsigned int rows = 0;
    bool all_shown = false;
    for (auto _ : state) {
        state.PauseTiming();
        ExplorerWindow frame;
        frame.open();
        state.ResumeTiming();
        frame.explorer->expand_all(true);
        draw();
        state.PauseTiming();
        rows = frame.explorer->get_row_count();
        all_shown = frame.explorer->get_visible_row_count() == rows;
        frame.close();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    if (!all_shown) state.SkipWithError("not every row was shown");
}

// Collapsed and expanded again: the attribute rows exist already.
void bm_expand_all_again(benchmark::State& state)
{
    GuiExplorer& explorer = shared_explorer();
    explorer.expand_all(true);
    draw();
    for (auto _ : state) {
        state.PauseTiming();
        explorer.expand_all(false);
        draw();
        state.ResumeTiming();
        explorer.expand_all(true);
        draw();
    }
    if (explorer.get_visible_row_count() != explorer.get_row_count())
        state.SkipWithError("not every row was shown");
}

char const* const FILTER_BEFORE = "prop_";
char const* const FILTER_AFTER = "prop_1";

// One more character typed into the filter.
void bm_filter_keystroke(benchmark::State& state)
{
    GuiExplorer& explorer = shared_explorer();
    unsigned int before = 0, after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        explorer.set_filter_text(FILTER_BEFORE);
        draw();
        before = explorer.get_visible_row_count();
        state.ResumeTiming();
        explorer.set_filter_text(FILTER_AFTER);
        draw();
    }
    after = explorer.get_visible_row_count();
    state.counters["shown"] = after;
    explorer.set_filter_text("");
    draw();
    if (after == 0 || after >= before) state.SkipWithError("the keystroke did not narrow the rows shown");
}

// The filter emptied: every row comes back as it was before filtering.
void bm_filter_clear(benchmark::State& state)
{
    GuiExplorer& explorer = shared_explorer();
    unsigned int const unfiltered = explorer.get_visible_row_count();
    for (auto _ : state) {
        state.PauseTiming();
        explorer.set_filter_text(FILTER_AFTER);
        draw();
        state.ResumeTiming();
        explorer.set_filter_text("");
        draw();
    }
    if (explorer.get_visible_row_count() != unfiltered)
        state.SkipWithError("clearing did not restore the rows");
}

// An object in the middle of the scene, its row shown.
OfObject& changed_object(GuiExplorer& explorer)
{
    static OfObject* object = nullptr;
    if (!object) {
        CoreVector<OfObject*> const picked = SampleScene::pick_objects(scene(), 1, SCENE_SIZE / 2);
        object = picked[0];
        explorer.opened_rows_with_ofitem(CoreVector<OfItem*>{object});
        draw();
    }
    return *object;
}

// Renamed back and forth; the row moves to its sorted place in the update pass.
void rename_one(benchmark::State& state)
{
    GuiExplorer& explorer = shared_explorer();
    OfObject& object = changed_object(explorer);
    CoreString const name = object.get_name();
    CoreString const other = name + "_renamed";
    bool renamed = false;
    for (auto _ : state) {
        renamed = !renamed;
        object.set_name(renamed ? other : name);
        draw();
    }
    int const row = explorer.get_index_row(&object);
    if (row < 0 ||
        explorer.get_item_row(static_cast<unsigned int>(row))->get_item_name() != object.get_name())
        state.SkipWithError("the row does not show the new name");
    if (renamed) {
        object.set_name(name);
        draw();
    }
}

void bm_rename_one(benchmark::State& state)
{
    rename_one(state);
}

// The same with every row expanded (an attribute row per attribute): what a change costs
// as the rows grow.
void bm_rename_one_expanded(benchmark::State& state)
{
    shared_explorer().expand_all(true);
    draw();
    state.counters["rows"] = shared_explorer().get_row_count();
    rename_one(state);
    close_shared_explorer();
}

// One object created next to the changed one; taken out again (by undo) untimed.
void bm_add_one(benchmark::State& state)
{
    GuiExplorer& explorer = shared_explorer();
    OfObject& neighbour = changed_object(explorer);
    OfCommandManager& history = scene().get_command_manager();
    bool listed = true;
    for (auto _ : state) {
        OfObject* added = scene().create_object("Box", "added_box", neighbour.get_context());
        draw();
        state.PauseTiming();
        listed = listed && added && explorer.get_index_row(added) >= 0;
        history.undo();
        draw();
        state.ResumeTiming();
    }
    if (!listed) state.SkipWithError("the new object has no row");
}

// The whole scene listed again (open rows and selection kept).
void bm_rebuild_tree(benchmark::State& state)
{
    GuiExplorer& explorer = shared_explorer();
    changed_object(explorer);
    unsigned int const rows = explorer.get_row_count();
    for (auto _ : state) {
        explorer.build_tree();
        draw();
    }
    if (explorer.get_row_count() != rows) state.SkipWithError("the rebuilt tree has other rows");
}

// --- Natural name order ---

std::vector<OfObject*> const& object_list()
{
    static std::vector<OfObject*> objects = [] {
        CoreVector<OfObject*> const all = scene().get_root().get_all_objects();
        return std::vector<OfObject*>(all.begin(), all.end());
    }();
    return objects;
}

void bm_sort_names_records(benchmark::State& state)
{
    std::vector<OfObject*> const& objects = object_list();
    std::vector<name_and_number_for_qsort> records;
    for (auto _ : state) {
        records.assign(objects.size(), name_and_number_for_qsort());
        for (size_t i = 0; i < objects.size(); ++i) GuiOfItemSort::make_record(*objects[i], records[i]);
        GuiOfItemSort::sort(records, GuiOfItemSort::KEY_NAME, 1);
    }
    state.counters["names"] = static_cast<double>(records.size());
    auto const less = [](name_and_number_for_qsort const& a, name_and_number_for_qsort const& b) {
        return GuiOfItemSort::compare_names(a, b) < 0;
    };
    if (!std::is_sorted(records.begin(), records.end(), less))
        state.SkipWithError("the records are not in order");
}

void bm_sort_names_qcollator(benchmark::State& state)
{
    std::vector<OfObject*> const& objects = object_list();
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    auto const less = [&collator](QString const& a, QString const& b) { return collator.compare(a, b) < 0; };
    std::vector<QString> names;
    for (auto _ : state) {
        names.clear();
        names.reserve(objects.size());
        for (OfObject const* object : objects) names.push_back(QString::fromUtf8(object->get_name().c_str()));
        std::stable_sort(names.begin(), names.end(), less);
    }
    if (!std::is_sorted(names.begin(), names.end(), less)) state.SkipWithError("the names are not in order");
}

BENCHMARK(bm_open_explorer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_filter_keystroke)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(bm_filter_clear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(bm_rename_one)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(bm_add_one)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(bm_rebuild_tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_sort_names_records)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_sort_names_qcollator)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
// Last: expanding everything makes millions of rows.
BENCHMARK(bm_expand_all_first)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(bm_expand_all_again)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(bm_rename_one_expanded)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void print_against_target(char const* what, double ms, double target)
{
    if (ms <= 0.0) return;
    std::printf("%-34s %10.3f ms  (target under %.0f ms: %s)\n", what, ms, target,
                ms < target ? "met" : "MISSED");
}

void print_time(char const* what, double ms)
{
    if (ms <= 0.0) return;
    std::printf("%-34s %10.3f ms\n", what, ms);
}

void print_ratio(char const* what, double numerator, double denominator)
{
    if (numerator <= 0.0 || denominator <= 0.0) return;
    std::printf("%-34s %10.1f\n", what, numerator / denominator);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!Gui::open_display()) {
        std::fprintf(stderr, "bench_explorer: needs an X display (run it under xvfb-run)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto const time = [&reporter](char const* name) { return reporter.get_time(name); };
    std::printf(
        "\nThe explorer on a sample scene of %u objects (%zu in contexts), per operation, window drawn:\n",
        SCENE_SIZE, object_list().size());
    print_against_target("Opening", time("bm_open_explorer"), OPEN_TARGET_MS);
    print_time("Expanding everything (first time)", time("bm_expand_all_first"));
    print_time("Expanding everything (again)", time("bm_expand_all_again"));
    print_against_target("Filter keystroke", time("bm_filter_keystroke"), KEYSTROKE_TARGET_MS);
    print_against_target("Filter cleared", time("bm_filter_clear"), KEYSTROKE_TARGET_MS);
    print_time("Renaming one object", time("bm_rename_one"));
    print_time("  the same, everything expanded", time("bm_rename_one_expanded"));
    print_time("Adding one object", time("bm_add_one"));
    print_time("Listing the whole scene again", time("bm_rebuild_tree"));
    print_ratio("Relisting / renaming one", time("bm_rebuild_tree"), time("bm_rename_one"));
    print_ratio("Relisting / adding one", time("bm_rebuild_tree"), time("bm_add_one"));
    double const ours = time("bm_sort_names_records"), peer = time("bm_sort_names_qcollator");
    if (ours > 0.0 && peer > 0.0)
        std::printf("Natural name sort: GuiOfItemSort %.3f ms, QCollator %.3f ms, ratio %.2f\n", ours, peer,
                    ours / peer);
    benchmark::Shutdown();
    return 0;
}
