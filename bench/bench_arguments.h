#pragma once
// Hands the command line to Google Benchmark with a default minimum time placed before the
// user's arguments, so that a --benchmark_min_time given on the command line wins. False
// (after the library's own message) for an argument it does not know.
//
//     if (!initialize_benchmarks(argc, argv, "0.2")) return 1;
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

inline bool initialize_benchmarks(int argc, char** argv, char const* min_time_seconds)
{
    std::string min_time = std::string("--benchmark_min_time=") + min_time_seconds;
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, min_time.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    return !benchmark::ReportUnrecognizedArguments(count, args.data());
}
