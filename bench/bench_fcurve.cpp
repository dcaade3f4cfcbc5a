// Function curves: a 1,000-key curve of mixed key types evaluated 1,000,000 times per
// iteration, at increasing times (playback and drawing), at random times, and at increasing
// times taken alternately from the two halves of the curve, so that every call misses the
// remembered segment and searches: the gap to the increasing run is what the remembered
// segment saves. Prints nanoseconds per evaluation. There is no peer in the run: no library
// in the build environment evaluates curves of these key types and behaviours.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_arguments.h"
#include "bench/bench_ratio_reporter.h"
#include "host/fcurve/fcurve.h"

namespace {

constexpr int KEY_COUNT = 1000;
constexpr int EVAL_COUNT = 1000000;

// Keys about one time unit apart with random values; mostly smooth, some linear, constant
// and Bezier keys, as animation curves have them.
FCurve const& get_curve()
{
    static FCurve const curve = [] {
        FCurve result;
        std::mt19937 random(3);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        FCurveKey::Type const types[] = {FCurveKey::TYPE_SMOOTH, FCurveKey::TYPE_SMOOTH, FCurveKey::TYPE_SMOOTH_CLAMPED,
                                         FCurveKey::TYPE_LINEAR, FCurveKey::TYPE_CONSTANT, FCurveKey::TYPE_BEZIER};
        double time = 0.0;
        for (int i = 0; i < KEY_COUNT; ++i) {
            result.add_key(time, unit(random) * 100.0, types[random() % 6]);
            time += 0.5 + unit(random);
        }
        return result;
    }();
    return curve;
}

double get_end_time() { return get_curve().get_keys()[KEY_COUNT - 1].time; }

std::vector<double> make_increasing_times()
{
    std::vector<double> times(EVAL_COUNT);
    for (int i = 0; i < EVAL_COUNT; ++i) times[i] = get_end_time() * i / EVAL_COUNT;
    return times;
}

std::vector<double> make_random_times()
{
    std::mt19937 random(17);
    std::uniform_real_distribution<double> in_range(0.0, get_end_time());
    std::vector<double> times(EVAL_COUNT);
    for (double& time : times) time = in_range(random);
    return times;
}

// Increasing within each half, alternating between the halves.
std::vector<double> make_alternating_times()
{
    std::vector<double> times(EVAL_COUNT);
    double const half = get_end_time() / 2.0;
    for (int i = 0; i < EVAL_COUNT; i += 2) {
        times[i] = half * i / EVAL_COUNT;
        times[i + 1] = half + times[i];
    }
    return times;
}

void run(benchmark::State& state, std::vector<double> const& times)
{
    FCurve const& curve = get_curve();
    for (auto _ : state) {
        double sum = 0.0;
        for (double const& time : times) sum += curve.eval(time);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * EVAL_COUNT);
}

std::vector<double> const& increasing_times()
{
    static std::vector<double> const times = make_increasing_times();
    return times;
}
std::vector<double> const& random_times()
{
    static std::vector<double> const times = make_random_times();
    return times;
}
std::vector<double> const& alternating_times()
{
    static std::vector<double> const times = make_alternating_times();
    return times;
}

void bench_increasing(benchmark::State& state) { run(state, increasing_times()); }
void bench_random(benchmark::State& state) { run(state, random_times()); }
void bench_alternating(benchmark::State& state) { run(state, alternating_times()); }

}  // namespace

int main(int argc, char** argv)
{
    // Made before timing starts.
    get_curve();
    increasing_times();
    random_times();
    alternating_times();
    char const* const names[] = {"fcurve/increasing", "fcurve/random", "fcurve/alternating_halves"};
    void (*const functions[])(benchmark::State&) = {bench_increasing, bench_random, bench_alternating};
    for (int i = 0; i < 3; ++i)
        benchmark::RegisterBenchmark(names[i], functions[i])->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
    if (!initialize_benchmarks(argc, argv, "0.2")) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Milliseconds per million evaluations are nanoseconds per evaluation.
    std::printf("\nns per evaluation (%d keys, median of 5):\n", KEY_COUNT);
    for (char const* name : names) std::printf("  %-28s %.2f\n", name, reporter.get_time(name) * 1e6 / EVAL_COUNT);
    std::printf("No peer: no curve library of this kind is installed to compare against.\n");
    benchmark::Shutdown();
    return 0;
}
