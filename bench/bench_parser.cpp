// Settings files: writes and reads a ~10 MB settings tree through ParserFile, against the
// raw cost of the same bytes: reading the file with std::ifstream and splitting it into
// lines, and writing it with std::ofstream. The ratios printed at the end show what
// parsing and formatting add over plain I/O.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_arguments.h"
#include "host/parser/parser_file.h"

namespace {

// A tree of typical settings: many groups of mixed values, with full-precision doubles.
ParserGroup make_tree(size_t target_bytes)
{
    ParserGroup root;
    uint64_t seed = 12345;
    auto next_double = [&seed]() {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(seed >> 11) / 9007199254740992.0 * 200.0 - 100.0;
    };
    ParserGroup& objects = root.add_group("objects");
    size_t estimated = 0;
    for (int i = 0; estimated < target_bytes; ++i) {
        ParserGroup& object = objects.add_group("object");
        object.add_entry("name").add_string(CoreString("/scene/assets/item_") + i + "|shape");
        object.add_entry("enabled").add_bool(i % 3 != 0);
        object.add_entry("index").add_int(i);
        object.add_entry("weight").add_double(next_double());
        object.add_entry("position").add_vec3d({next_double(), next_double(), next_double()});
        object.add_entry("uv").add_vec2d({0.5, 0.25});
        object.add_entry("color").add_int(i % 256).add_int(128).add_int(0);
        object.add_entry("tags").add_string("render").add_string("shadow").add_string("geometry");
        ParserGroup& attributes = object.add_group("attributes");
        attributes.add_entry("visibility").add_int(1);
        attributes.add_entry("motion_blur").add_bool(false);
        attributes.add_entry("samples").add_int(8);
        attributes.add_entry("comment").add_string("line one\nline \"two\"");
        estimated += 450;  // about what one object takes once written
    }
    return root;
}

struct Fixture {
    std::string path;
    ParserFile file;
    std::string text;

    Fixture()
    {
        std::string name = "qn_bench_parser_" + std::to_string(::getpid()) + ".cfg";
        path = (std::filesystem::temp_directory_path() / name).string();
        file.get_root() = make_tree(10u << 20);
        text = file.write_to_string().std_string();
        file.write(ParserFile::MODE_PRETTY, path.c_str());
    }
    ~Fixture() { std::remove(path.c_str()); }
};

Fixture& get_fixture()
{
    static Fixture fixture;
    return fixture;
}

void bench_parser_write(benchmark::State& state)
{
    Fixture& f = get_fixture();
    for (auto _ : state) {
        bool ok = f.file.write(ParserFile::MODE_PRETTY, f.path.c_str());
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void bench_ofstream_write(benchmark::State& state)
{
    Fixture& f = get_fixture();
    std::string const other = f.path + ".peer";
    for (auto _ : state) {
        std::ofstream out(other, std::ios::binary);
        out.write(f.text.data(), static_cast<std::streamsize>(f.text.size()));
    }
    std::remove(other.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void bench_parser_read(benchmark::State& state)
{
    Fixture& f = get_fixture();
    for (auto _ : state) {
        ParserFile file;
        bool ok = file.read(f.path.c_str());
        if (!ok) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(file.get_root().get_entry_count());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

void bench_ifstream_lines(benchmark::State& state)
{
    Fixture& f = get_fixture();
    for (auto _ : state) {
        std::ifstream in(f.path, std::ios::binary);
        std::ostringstream buffer;
        buffer << in.rdbuf();
        std::string text = buffer.str();
        std::vector<std::string_view> lines;
        std::string_view rest(text);
        for (size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1))
            lines.push_back(rest.substr(0, end));
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}

// Prints the usual table, then the parser's times over its peers'. Times are wall-clock
// times (UseRealTime), which include the kernel's share of the I/O.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(std::vector<Run> const& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (Run const& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }

    void print_ratios() const
    {
        std::printf("\nFile of %.1f MB; time relative to plain I/O (lower is faster):\n",
                    double(get_fixture().text.size()) / (1 << 20));
        print_ratio("read", "parser/read", "ifstream+lines/read");
        print_ratio("write", "parser/write", "ofstream/write");
    }

private:
    void print_ratio(char const* what, char const* ours, char const* peer) const
    {
        auto a = m_times.find(ours);
        auto b = m_times.find(peer);
        if (a != m_times.end() && b != m_times.end() && b->second > 0)
            std::printf("  %-6s %s / %s: %.2f\n", what, ours, peer, a->second / b->second);
    }

    std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv)
{
    get_fixture();  // generated before timing starts
    for (auto* b : {benchmark::RegisterBenchmark("parser/write", bench_parser_write),
                    benchmark::RegisterBenchmark("ofstream/write", bench_ofstream_write),
                    benchmark::RegisterBenchmark("parser/read", bench_parser_read),
                    benchmark::RegisterBenchmark("ifstream+lines/read", bench_ifstream_lines)})
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    if (!initialize_benchmarks(argc, argv, "0.5")) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    return 0;
}
