// Raising a named event on an EventObject against the same work done by a libsigc++ signal
// and by a loop over a vector of std::function, with 1, 4 and 16 receivers; prints the
// ratios of the times after the runs.
#include <benchmark/benchmark.h>

#include "bench/bench_ratio_reporter.h"
#include <sigc++/sigc++.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "host/event/event_id.h"
#include "host/event/event_object.h"

EVENT_DECLARE_ID(, EVT_ID_BENCH_TICK);
EVENT_DECLARE_ID(, EVT_ID_BENCH_OTHER);
EVENT_DEFINE_ID(EVT_ID_BENCH_TICK);
EVENT_DEFINE_ID(EVT_ID_BENCH_OTHER);

namespace {

using Info = EventObject::EventInfo;

long g_ticks = 0;

// Every peer calls the same member function of one receiver per connection.
class Counter : public EventObject, public sigc::trackable {
public:
    void on_tick(EventObject&, Info const&, void*) { benchmark::DoNotOptimize(++g_ticks); }
};

std::vector<std::unique_ptr<Counter>> make_counters(long count)
{
    std::vector<std::unique_ptr<Counter>> counters;
    for (long i = 0; i < count; ++i) counters.push_back(std::make_unique<Counter>());
    return counters;
}

void bm_event_object(benchmark::State& state)
{
    EventObject sender;
    auto counters = make_counters(state.range(0));
    for (auto& counter : counters) counter->connect(sender, EVT_ID_BENCH_TICK, &Counter::on_tick);
    for (auto _ : state) sender.raise_event(EVT_ID_BENCH_TICK);
}

// The name given as another string with the same text: matched by text, not by address.
void bm_event_object_by_text(benchmark::State& state)
{
    EventObject sender;
    auto counters = make_counters(state.range(0));
    for (auto& counter : counters) counter->connect(sender, EVT_ID_BENCH_TICK, &Counter::on_tick);
    CoreString const name(EVT_ID_BENCH_TICK);
    for (auto _ : state) sender.raise_event(name);
}

// As many receivers again listen to another event of the same sender.
void bm_event_object_two_names(benchmark::State& state)
{
    EventObject sender;
    auto counters = make_counters(state.range(0));
    auto others = make_counters(state.range(0));
    for (size_t i = 0; i < counters.size(); ++i) {
        others[i]->connect(sender, EVT_ID_BENCH_OTHER, &Counter::on_tick);
        counters[i]->connect(sender, EVT_ID_BENCH_TICK, &Counter::on_tick);
    }
    for (auto _ : state) sender.raise_event(EVT_ID_BENCH_TICK);
}

void bm_sigc(benchmark::State& state)
{
    EventObject sender;
    Info const info(EVT_ID_BENCH_TICK);
    sigc::signal<void(EventObject&, Info const&, void*)> signal;
    auto counters = make_counters(state.range(0));
    for (auto& counter : counters) signal.connect(sigc::mem_fun(*counter, &Counter::on_tick));
    for (auto _ : state) signal.emit(sender, info, nullptr);
}

void bm_std_function(benchmark::State& state)
{
    EventObject sender;
    Info const info(EVT_ID_BENCH_TICK);
    std::vector<std::function<void(EventObject&, Info const&, void*)>> callbacks;
    auto counters = make_counters(state.range(0));
    for (auto& counter : counters) {
        Counter* c = counter.get();
        callbacks.emplace_back([c](EventObject& s, Info const& i, void* d) { c->on_tick(s, i, d); });
    }
    for (auto _ : state) {
        for (auto const& callback : callbacks) callback(sender, info, nullptr);
    }
}

void configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(1)->Arg(4)->Arg(16)->MinTime(0.1)->Repetitions(3)->ReportAggregatesOnly(true);
}

BENCHMARK(bm_event_object)->Apply(configure);
BENCHMARK(bm_sigc)->Apply(configure);
BENCHMARK(bm_std_function)->Apply(configure);
BENCHMARK(bm_event_object_by_text)->Apply(configure);
BENCHMARK(bm_event_object_two_names)->Apply(configure);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nraise_event time ratios (below 1 means EventObject is faster)\n");
    std::printf("%-10s %14s %14s %14s %18s %18s\n", "callbacks", "EventObject", "sigc++", "std::function",
                "EventObject/sigc", "EventObject/func");
    for (char const* count : {"1", "4", "16"}) {
        double const ours = reporter.get_time("bm_event_object", count);
        double const sigc = reporter.get_time("bm_sigc", count);
        double const function = reporter.get_time("bm_std_function", count);
        if (ours <= 0.0 || sigc <= 0.0 || function <= 0.0) continue;
        std::printf("%-10s %11.2f ns %11.2f ns %11.2f ns %18.2f %18.2f\n", count, ours, sigc, function,
                    ours / sigc, ours / function);
    }
    benchmark::Shutdown();
    return 0;
}
