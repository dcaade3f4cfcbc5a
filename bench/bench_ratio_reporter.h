#pragma once
// A console reporter that also keeps each benchmark's time per iteration (the median when
// run with repetitions), so that a program can print its ratios against its peers afterwards.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as the default reporter does.
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(std::vector<Run> const& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (Run const& run : runs) {
            if (run.error_occurred) continue;
            // Runs on several threads are told apart by their "threads:N" part.
            std::string args = run.run_name.args;
            if (!run.run_name.threads.empty()) args += (args.empty() ? "" : "/") + run.run_name.threads;
            auto key = std::make_pair(run.run_name.function_name, args);
            bool const median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !m_medians.count(key))) {
                // Benchmarks timed by the wall clock (UseRealTime) or by themselves
                // (UseManualTime) report that time.
                bool const wall =
                    run.run_name.time_type == "real_time" || run.run_name.time_type == "manual_time";
                m_times[key] = wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
                if (median) m_medians[key] = true;
            }
        }
    }

    // The time of a benchmark with its argument (in the benchmark's time unit), or 0 when it
    // did not run. Threaded runs add "threads:N" to the argument ("8/threads:2", "threads:4").
    double get_time(std::string const& function, std::string const& args = std::string()) const
    {
        auto it = m_times.find(std::make_pair(function, args));
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    std::map<std::pair<std::string, std::string>, double> m_times;
    std::map<std::pair<std::string, std::string>, bool> m_medians;
};
