// Script completion: the time the Python engine takes to build its completion list (keywords,
// built-in names and the names of the script namespace, sorted, once each), with a script
// namespace defining 1,000 names (variables, functions and classes) and with an empty one.
// Prints milliseconds per build. There is no peer in the run: the list is the interpreter's
// own names, gathered by the interpreter.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_arguments.h"
#include "bench/bench_ratio_reporter.h"
#include "host/module/module_language.h"
#include "host/module/module_scripting_python.h"

namespace {

constexpr int NAME_COUNT = 1000;

ModuleScriptingPython& get_engine()
{
    static ModuleScriptingPython engine;
    return engine;
}

// A third each of variables, functions and classes.
std::string make_script()
{
    std::string script;
    for (int i = 0; i < NAME_COUNT; ++i) {
        std::string const index = std::to_string(i);
        if (i % 3 == 0)
            script += "value_" + index + " = " + index + "\n";
        else if (i % 3 == 1)
            script += "def function_" + index + "(x):\n    return x\n";
        else
            script += "class Class_" + index + ":\n    pass\n";
    }
    return script;
}

void build(benchmark::State& state)
{
    ModuleScriptingPython& engine = get_engine();
    ModuleLanguage& language = *engine.get_language();
    for (auto _ : state) {
        language.clear_completion();
        engine.build_completion_list();
        benchmark::DoNotOptimize(language.get_completion_list().get_count());
    }
}

void bench_empty_namespace(benchmark::State& state)
{
    get_engine().define("pass\n");
    build(state);
}

void bench_thousand_names(benchmark::State& state)
{
    get_engine().define(make_script().c_str());
    build(state);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!get_engine().is_valid()) {
        std::printf("The Python interpreter did not start.\n");
        return 1;
    }
    char const* const names[] = {"completion/empty_namespace", "completion/1000_names"};
    void (*const functions[])(benchmark::State&) = {bench_empty_namespace, bench_thousand_names};
    for (int i = 0; i < 2; ++i)
        benchmark::RegisterBenchmark(names[i], functions[i])
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    if (!initialize_benchmarks(argc, argv, "0.2")) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nms per completion list build (median of 5):\n");
    for (char const* name : names) std::printf("  %-28s %.3f\n", name, reporter.get_time(name));
    std::printf("List size with the names: %u\n",
                get_engine().get_language()->get_completion_list().get_count());
    std::printf("No peer: the list is the interpreter's own names, gathered by the interpreter.\n");
    benchmark::Shutdown();
    return 0;
}
