// Glyph atlases of the built-in family:
// - one size-72 atlas of the regular face: FreeType's sdf renderers with one glyph per task on
//   the host's task manager, against its bitmap sdf renderer alone on one thread;
// - the four faces cold (no cache: listed when asked for, a first line of text's glyphs made
//   at once, the rest in the background, then written to the cache) and warm (read from the
//   cache at start-up),
//   each run in a new process with a preferences folder of its own, as a start would be.
//   Cold runs against FreeType's bitmap renderer making the four atlases on one thread; warm runs
//   against OpenImageIO reading the same four atlases from RGB PNG files, the cache's layout
//   before it was made to read with copies.
// In-process runs make atlases under family names of their own (atlases are never freed, so
// the runs are few). Their caches go to a temporary preferences folder.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <OpenImageIO/imageio.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_font_atlas.h"

namespace {

struct Face {
    GuiFont::Weight weight;
    GuiFont::Style style;
};
Face const s_faces[4] = {{GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL},
                         {GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL},
                         {GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC},
                         {GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC}};

// Milliseconds since `start`.
double elapsed_ms(std::chrono::steady_clock::time_point const& start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of the whole process (all its threads), in milliseconds.
double process_cpu_ms()
{
    timespec time = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return time.tv_sec * 1e3 + time.tv_nsec * 1e-6;
}

void bm_atlas_on_task_manager(benchmark::State& state)
{
    unsigned char const* data = nullptr;
    size_t size = 0;
    GuiFontAtlas::get_builtin_font_data(GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, data, size);
    int run = 0;
    for (auto _ : state) {
        std::string const family = "bench atlas " + std::to_string(run++);
        // No cache file name: only the fields are made.
        GuiFont::FontDesc const* desc = GuiFont::rasterize_font_buffer(
            family.c_str(), GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, data, size, CoreString());
        benchmark::DoNotOptimize(desc);
    }
}

// FreeType making the atlas of one face on one thread with its bitmap sdf renderer alone: each
// glyph's coverage, then the field of it (the library takes the outline renderer instead for
// the glyphs it makes faster).
void make_freetype_atlas(Face const& face_of, std::vector<unsigned char>& atlas)
{
    unsigned char const* data = nullptr;
    size_t size = 0;
    GuiFontAtlas::get_builtin_font_data(face_of.weight, face_of.style, data, size);
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    FT_Int spread = GuiFontAtlas::SPREAD;
    FT_Property_Set(library, "bsdf", "spread", &spread);
    FT_Face face = nullptr;
    FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &face);
    FT_Set_Char_Size(face, 0, 72 * 64, 72, 72);
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    atlas.assign(static_cast<size_t>(GuiFontAtlas::ATLAS_SIZE) * GuiFontAtlas::ATLAS_SIZE, 0);
    for (int cell = 0; cell < 256; ++cell) {
        FT_UInt const glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(cell ^ 0x80));
        if (!glyph || FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_SDF))
            continue;
        FT_Bitmap const& bitmap = face->glyph->bitmap;
        int const x0 = GuiFontAtlas::get_cell_x(cell);
        int const y0 = GuiFontAtlas::get_cell_y(cell);
        for (unsigned int y = 0; y < bitmap.rows && y < 164; ++y) {
            std::memcpy(&atlas[(static_cast<size_t>(y0) + y) * GuiFontAtlas::ATLAS_SIZE + x0],
                        bitmap.buffer + static_cast<long>(y) * bitmap.pitch, std::min(bitmap.width, 164u));
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void bm_atlas_serial_freetype(benchmark::State& state)
{
    std::vector<unsigned char> atlas;
    for (auto _ : state) {
        make_freetype_atlas(s_faces[0], atlas);
        benchmark::DoNotOptimize(atlas.data());
    }
}

void bm_four_faces_cold_freetype(benchmark::State& state)
{
    std::vector<unsigned char> atlas;
    for (auto _ : state) {
        for (Face const& face : s_faces) make_freetype_atlas(face, atlas);
        benchmark::DoNotOptimize(atlas.data());
    }
}

// --- Starts in new processes --------------------------------------------------------------

std::string s_program;
double s_first_face_ms = 0.0;

// What a child process does, timed inside it: "cold" asks for the four faces, makes the
// glyphs of a line of text of the first, and prints the times until that line's glyphs and
// until all four faces are made; "warm" loads the
// cached faces and prints the time twice. Then the processor time all threads took meanwhile:
// on a machine that other work keeps busy, it tells what the wall time would be on free cores.
int run_child(std::string const& mode)
{
    // The toolkit's font table, which the fonts are looked up in, is made before the clock starts.
    std::vector<GuiFont> fonts;
    for (Face const& face : s_faces) fonts.emplace_back("Roboto", 12, face.weight, face.style);
    auto const start = std::chrono::steady_clock::now();
    double const cpu_start = process_cpu_ms();
    double first = 0.0;
    if (mode == "cold") {
        // The faces are asked for; a first frame draws a line of the first; then all are made.
        std::vector<GuiFont::FontDesc const*> descs;
        for (GuiFont const& font : fonts) descs.push_back(GuiFont::get_rasterized_font_data(font));
        if (std::find(descs.begin(), descs.end(), nullptr) != descs.end()) return 1;
        descs[0]->make_glyphs("Sample text 0123");
        first = elapsed_ms(start);
        for (GuiFont::FontDesc const* desc : descs) desc->make_all_glyphs();
    } else {
        GuiFont::load_pregenerated_rasterized_font_data_if_exists();
        for (Face const& face : s_faces) {
            if (!GuiFont::find_rasterized_font_data("roboto", face.weight, face.style, 72)) return 1;
        }
        first = elapsed_ms(start);
    }
    double const all = elapsed_ms(start);
    std::printf("%f %f %f\n", first, all, process_cpu_ms() - cpu_start);
    return 0;
}

struct ChildTimes {
    double first_ms = 0.0;
    double all_ms = 0.0;
    double cpu_ms = 0.0;
};

// Runs a child in `config_home`; false when it failed.
bool start_child(std::string const& mode, std::string const& config_home, ChildTimes& times)
{
    std::string const command = "XDG_CONFIG_HOME='" + config_home + "' '" + s_program + "' --child=" + mode;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return false;
    int const read = std::fscanf(pipe, "%lf %lf %lf", &times.first_ms, &times.all_ms, &times.cpu_ms);
    return ::pclose(pipe) == 0 && read == 3;
}

std::string new_folder(std::string const& parent, std::string const& name)
{
    std::string const folder = parent + "/" + name;
    std::filesystem::create_directories(folder);
    return folder;
}

std::string s_root;

double s_cold_cpu_ms = 0.0;
double s_warm_cpu_ms = 0.0;

void bm_four_faces_cold(benchmark::State& state)
{
    int run = 0;
    ChildTimes total;
    for (auto _ : state) {
        ChildTimes times;
        if (!start_child("cold", new_folder(s_root, "cold" + std::to_string(run++)), times)) {
            state.SkipWithError("the cold start failed");
            return;
        }
        total.first_ms += times.first_ms;
        total.cpu_ms += times.cpu_ms;
        state.SetIterationTime(times.all_ms / 1000.0);
    }
    s_first_face_ms = total.first_ms / run;
    s_cold_cpu_ms = total.cpu_ms / run;
}

void bm_four_faces_warm(benchmark::State& state)
{
    std::string const folder = new_folder(s_root, "warm");
    ChildTimes times;
    if (!start_child("cold", folder, times)) {  // writes the cache
        state.SkipWithError("the cold start failed");
        return;
    }
    int run = 0;
    double cpu = 0.0;
    for (auto _ : state) {
        if (!start_child("warm", folder, times)) {
            state.SkipWithError("the warm start failed");
            return;
        }
        cpu += times.cpu_ms;
        ++run;
        state.SetIterationTime(times.all_ms / 1000.0);
    }
    s_warm_cpu_ms = cpu / run;
}

void bm_four_faces_warm_general(benchmark::State& state)
{
    // The four atlases as RGB PNG files.
    std::vector<std::string> paths;
    std::vector<unsigned char> atlas, rgb;
    for (Face const& face : s_faces) {
        make_freetype_atlas(face, atlas);
        rgb.resize(atlas.size() * 3);
        for (size_t i = 0; i < atlas.size(); ++i) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = atlas[i];
        paths.push_back(s_root + "/general" + std::to_string(paths.size()) + ".png");
        std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create("png");
        OIIO::ImageSpec spec(GuiFontAtlas::ATLAS_SIZE, GuiFontAtlas::ATLAS_SIZE, 3, OIIO::TypeDesc::UINT8);
        spec.attribute("png:compressionLevel", 1);
        if (!out || !out->open(paths.back(), spec) || !out->write_image(OIIO::TypeDesc::UINT8, rgb.data()) ||
            !out->close()) {
            state.SkipWithError("can't write the RGB files");
            return;
        }
    }
    std::vector<unsigned char> pixels;
    for (auto _ : state) {
        auto const start = std::chrono::steady_clock::now();
        for (std::string const& path : paths) GuiFontAtlas::read_cache(path.c_str(), pixels);
        state.SetIterationTime(elapsed_ms(start) / 1000.0);
    }
}

BENCHMARK(bm_atlas_on_task_manager)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(bm_atlas_serial_freetype)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(bm_four_faces_cold)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(bm_four_faces_cold_freetype)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(bm_four_faces_warm)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(bm_four_faces_warm_general)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strncmp(argv[1], "--child=", 8) == 0) return run_child(argv[1] + 8);
    char exe[4096] = {};
    ssize_t const length = ::readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    s_program = length > 0 ? exe : argv[0];
    // The atlas caches of the runs go to a folder of their own.
    char folder[] = "/tmp/qn_bench_fonts_XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("bench_font_atlas: mkdtemp");
        return 1;
    }
    s_root = folder;
    setenv("XDG_CONFIG_HOME", folder, 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const ours = reporter.get_time("bm_atlas_on_task_manager");
    double const peer = reporter.get_time("bm_atlas_serial_freetype");
    if (ours > 0.0 && peer > 0.0)
        std::printf(
            "\nAtlas of 256 codes at size 72: %.1f ms on the task manager, %.0f ms by "
            "FreeType's bitmap renderer on one thread, ratio %.3f (below 1 is faster)\n",
            ours, peer, ours / peer);
    double const cold = reporter.get_time("bm_four_faces_cold");
    double const cold_peer = reporter.get_time("bm_four_faces_cold_freetype");
    if (cold > 0.0 && cold_peer > 0.0)
        std::printf(
            "Four faces cold (made and cached, in a new process): %.0f ms (%.0f ms of processor time), a "
            "first line of text after %.0f ms; FreeType's bitmap renderer on one thread: %.0f ms, ratio %.3f "
            "(target: under 1000 ms)\n",
            cold, s_cold_cpu_ms, s_first_face_ms, cold_peer, cold / cold_peer);
    double const warm = reporter.get_time("bm_four_faces_warm");
    double const warm_peer = reporter.get_time("bm_four_faces_warm_general");
    if (warm > 0.0 && warm_peer > 0.0)
        std::printf(
            "Four faces warm (read from the cache, in a new process): %.1f ms (%.1f ms of processor time); "
            "the same atlases in RGB PNG files through OpenImageIO: %.0f ms, ratio %.3f (target: under "
            "30 ms)\n",
            warm, s_warm_cpu_ms, warm_peer, warm / warm_peer);
    std::filesystem::remove_all(folder);
    benchmark::Shutdown();
    return 0;
}
