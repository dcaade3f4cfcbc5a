// One size-72 glyph atlas of the built-in regular face: the distance fields of its 256
// character codes rendered by FreeType's "sdf" renderer on the host's task manager, against
// the same fields rendered one after the other in a single face on one thread.
// Every run makes a new atlas under a family name of its own (atlases are never freed, so
// the runs are few). Prints both times and their ratio.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include <cstdio>
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

BENCHMARK(bm_atlas_on_task_manager)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(bm_atlas_serial_freetype)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
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
    benchmark::Shutdown();
    return 0;
}
