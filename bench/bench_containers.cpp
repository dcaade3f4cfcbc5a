// Times the host hash tables against std::unordered_map: inserting 100k keys into an empty
// table and looking all of them up, with integer and string keys, then prints each table's
// time as a ratio of std::unordered_map's.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/core/core_hash_table.h"
#include "host/core/core_string.h"

namespace {

constexpr int KEY_COUNT = 100000;

std::vector<int> const& int_keys()
{
    static std::vector<int> const keys = [] {
        std::mt19937 random(42);
        std::vector<int> result(KEY_COUNT);
        // Distinct, spread over the whole range, in random order.
        for (int i = 0; i < KEY_COUNT; ++i) result[i] = i * 21000 + static_cast<int>(random() % 21000);
        std::shuffle(result.begin(), result.end(), random);
        return result;
    }();
    return keys;
}

// Names as a scene has them: a few bases with numbers.
std::vector<CoreString> const& string_keys()
{
    static std::vector<CoreString> const keys = [] {
        char const* bases[] = {"sphere", "cube_", "light", "material.", "polymesh_group"};
        std::vector<CoreString> result;
        for (int i = 0; i < KEY_COUNT; ++i) result.push_back(CoreString(bases[i % 5]) + i);
        std::shuffle(result.begin(), result.end(), std::mt19937(7));
        return result;
    }();
    return keys;
}

template <typename K>
std::vector<K> const& keys_of();
template <>
std::vector<int> const& keys_of<int>() { return int_keys(); }
template <>
std::vector<CoreString> const& keys_of<CoreString>() { return string_keys(); }

template <typename K, typename V>
void insert(std::unordered_map<K, V>& table, K const& key, V value) { table.emplace(key, value); }
template <typename Table, typename K, typename V>
void insert(Table& table, K const& key, V value) { table.add(key, value); }

template <typename K, typename V>
V const* lookup(std::unordered_map<K, V> const& table, K const& key)
{
    auto it = table.find(key);
    return it == table.end() ? nullptr : &it->second;
}
template <typename Table, typename K>
auto lookup(Table const& table, K const& key) { return table.get(key); }

template <typename Table, typename K>
void bench_insert(benchmark::State& state)
{
    std::vector<K> const& keys = keys_of<K>();
    for (auto _ : state) {
        Table table;
        int value = 0;
        for (K const& key : keys) insert(table, key, value++);
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

template <typename Table, typename K>
void bench_lookup(benchmark::State& state)
{
    std::vector<K> const& keys = keys_of<K>();
    Table table;
    int value = 0;
    for (K const& key : keys) insert(table, key, value++);
    // Looked up in an order unrelated to the insertion order: node-based tables would
    // otherwise find their nodes in allocation order, which real lookups do not give.
    std::vector<K> order(keys);
    std::shuffle(order.begin(), order.end(), std::mt19937(99));
    for (auto _ : state) {
        long long sum = 0;
        for (K const& key : order) sum += *lookup(table, key);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

// Prints the usual table, then every "<operation>/<key>/<table>" time divided by the time of
// "<operation>/<key>/std::unordered_map". It compares the fastest of several repetitions in
// CPU time, which other work on a shared machine disturbs least.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Shows only the fastest repetition of each benchmark, and keeps its time.
    void ReportRuns(std::vector<Run> const& runs) override
    {
        std::vector<Run> fastest;
        for (Run const& run : runs) {
            bool is_fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if (run.error_occurred || !is_fastest) continue;
            fastest.push_back(run);
            std::string name = run.run_name.str();
            m_times[name.substr(0, name.find("/min_time"))] = run.GetAdjustedCPUTime();
        }
        if (!fastest.empty()) ConsoleReporter::ReportRuns(fastest);
    }

    void print_ratios() const
    {
        std::printf("\nCPU time relative to std::unordered_map (lower is faster):\n");
        for (auto const& [name, time] : m_times) {
            std::string group = name.substr(0, name.rfind('/'));
            auto peer = m_times.find(group + "/std::unordered_map");
            if (peer == m_times.end() || peer->first == name || peer->second <= 0) continue;
            std::printf("  %-32s %.2f\n", name.c_str(), time / peer->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

double fastest(std::vector<double> const& times) { return *std::min_element(times.begin(), times.end()); }

void add(std::string const& name, void (*function)(benchmark::State&))
{
    // Short repetitions keep the whole program to a few seconds.
    benchmark::RegisterBenchmark(name.c_str(), function)
        ->MinTime(0.05)
        ->Repetitions(5)
        ->ComputeStatistics("min", fastest)
        ->ReportAggregatesOnly(true);
}

template <typename K>
void register_all(char const* key_name)
{
    std::string key(key_name);
    using Dense = CoreHashTableDense<K, int>;
    using Sparse = CoreHashTableSparse<K, int>;
    using Std = std::unordered_map<K, int>;
    add("insert/" + key + "/Dense", bench_insert<Dense, K>);
    add("insert/" + key + "/Sparse", bench_insert<Sparse, K>);
    add("insert/" + key + "/std::unordered_map", bench_insert<Std, K>);
    add("lookup/" + key + "/Dense", bench_lookup<Dense, K>);
    add("lookup/" + key + "/Sparse", bench_lookup<Sparse, K>);
    add("lookup/" + key + "/std::unordered_map", bench_lookup<Std, K>);
}

}  // namespace

int main(int argc, char** argv)
{
    // Keep freed memory in the process: otherwise every new table's large arrays come from
    // fresh pages, and page faults (costly on virtual machines) dominate the insert times.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    register_all<int>("int");
    register_all<CoreString>("CoreString");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    return 0;
}
