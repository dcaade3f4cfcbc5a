// Glyph atlases of the built-in family:
// - one size-72 atlas of the regular face: the distance fields of its 256 character codes
//   rendered by FreeType's "sdf" renderer on the host's task manager, against the same fields
//   rendered one after the other in a single face on one thread (the FreeType floor);
// - the four faces cold (no cache: generated, then written to the cache) and warm (read back
//   from the cache), per face and per glyph.
// Every run makes new atlases under family names of their own (atlases are never freed, so
// the runs are few). The cache goes to a temporary preferences folder.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_ratio_reporter.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_font_atlas.h"

namespace {

void builtin_regular(unsigned char const*& data, size_t& size)
{
    GuiFontAtlas::get_builtin_font_data(GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, data, size);
}

void bm_atlas_on_task_manager(benchmark::State& state)
{
    unsigned char const* data = nullptr;
    size_t size = 0;
    builtin_regular(data, size);
    int run = 0;
    for (auto _ : state) {
        std::string const family = "bench atlas " + std::to_string(run++);
        // No cache file name: only the fields are made.
        GuiFont::FontDesc const* desc = GuiFont::rasterize_font_buffer(
            family.c_str(), GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, data, size, CoreString());
        benchmark::DoNotOptimize(desc);
    }
}

void bm_atlas_serial_freetype(benchmark::State& state)
{
    unsigned char const* data = nullptr;
    size_t size = 0;
    builtin_regular(data, size);
    std::vector<unsigned char> atlas(static_cast<size_t>(GuiFontAtlas::ATLAS_SIZE) *
                                     GuiFontAtlas::ATLAS_SIZE * 3);
    for (auto _ : state) {
        FT_Library library = nullptr;
        FT_Init_FreeType(&library);
        FT_Int spread = GuiFontAtlas::SPREAD;
        FT_Property_Set(library, "sdf", "spread", &spread);
        FT_Face face = nullptr;
        FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &face);
        FT_Set_Char_Size(face, 0, 72 * 64, 72, 72);
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        std::fill(atlas.begin(), atlas.end(), 0);
        for (int cell = 0; cell < 256; ++cell) {
            FT_UInt const glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(cell ^ 0x80));
            if (!glyph || FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) ||
                FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) ||
                FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) ||
                FT_Render_Glyph(face->glyph, FT_RENDER_MODE_SDF))
                continue;
            FT_Bitmap const& bitmap = face->glyph->bitmap;
            int const x0 = GuiFontAtlas::get_cell_x(cell);
            int const y0 = GuiFontAtlas::get_cell_y(cell);
            for (unsigned int y = 0; y < bitmap.rows && y < 164; ++y) {
                for (unsigned int x = 0; x < bitmap.width && x < 164; ++x) {
                    unsigned char* p =
                        &atlas[((static_cast<size_t>(y0) + y) * GuiFontAtlas::ATLAS_SIZE + x0 + x) * 3];
                    p[0] = p[1] = p[2] = bitmap.buffer[static_cast<long>(y) * bitmap.pitch + x];
                }
            }
        }
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        benchmark::DoNotOptimize(atlas.data());
    }
}

struct Face {
    GuiFont::Weight weight;
    GuiFont::Style style;
    char const* stem;
};
Face const s_faces[4] = {{GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, "regular"},
                         {GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, "bold"},
                         {GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC, "italic"},
                         {GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC, "bold_italic"}};

// The four faces under a new family name, each cached in `prefix` + stem + ".ttf".
void make_four_faces(std::string const& family, std::string const& prefix)
{
    for (Face const& face : s_faces) {
        unsigned char const* data = nullptr;
        size_t size = 0;
        GuiFontAtlas::get_builtin_font_data(face.weight, face.style, data, size);
        GuiFont::FontDesc const* desc = GuiFont::rasterize_font_buffer(
            family.c_str(), face.weight, face.style, data, size, (prefix + face.stem + ".ttf").c_str());
        benchmark::DoNotOptimize(desc);
    }
}

void bm_four_faces_cold(benchmark::State& state)
{
    int run = 0;
    for (auto _ : state) {
        std::string const tag = "cold" + std::to_string(run++);
        make_four_faces("bench " + tag, tag + "_");
    }
}

void bm_four_faces_warm(benchmark::State& state)
{
    make_four_faces("bench warm source", "warm_");  // writes the cache files
    int run = 0;
    for (auto _ : state) make_four_faces("bench warm " + std::to_string(run++), "warm_");
}

BENCHMARK(bm_atlas_on_task_manager)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_atlas_serial_freetype)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_four_faces_cold)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(bm_four_faces_warm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    // The atlas cache of the runs goes to a folder of their own.
    char folder[] = "/tmp/qn_bench_fonts_XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("bench_font_atlas: mkdtemp");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", folder, 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double const ours = reporter.get_time("bm_atlas_on_task_manager");
    double const peer = reporter.get_time("bm_atlas_serial_freetype");
    if (ours > 0.0 && peer > 0.0)
        std::printf(
            "\nAtlas of 256 codes at size 72: %.0f ms on the task manager, %.0f ms on one thread, ratio %.2f "
            "(below 1 is faster)\n",
            ours, peer, ours / peer);
    double const cold = reporter.get_time("bm_four_faces_cold");
    double const warm = reporter.get_time("bm_four_faces_warm");
    if (cold > 0.0 && warm > 0.0 && peer > 0.0) {
        std::printf("Four faces cold (generated and cached): %.0f ms, %.0f ms per face, %.2f ms per glyph "
                    "(target: under 1000 ms)\n",
                    cold, cold / 4.0, cold / 1024.0);
        std::printf("Four faces warm (read from the cache):  %.0f ms, %.0f ms per face, %.3f ms per glyph "
                    "(target: under 30 ms)\n",
                    warm, warm / 4.0, warm / 1024.0);
        std::printf("FreeType alone, one thread: %.2f ms per glyph\n", peer / 256.0);
    }
    std::filesystem::remove_all(folder);
    benchmark::Shutdown();
    return 0;
}
