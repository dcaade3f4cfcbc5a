// GuiFont against the toolkit's font table, and the glyph atlases and their cache.
// GoogleTest comes before the toolkit, whose X11 macros would break it.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <FL/Enumerations.H>
#include <FL/fl_draw.H>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gui/core/gui.h"
#include "gui/core/gui_atlas_png.h"
#include "gui/core/gui_font.h"
#include "gui/core/gui_font_atlas.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"
#include "host/image/image_io.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

using FontDesc = GuiFont::FontDesc;

#define REQUIRE_DISPLAY() \
    if (!Gui::open_display()) GTEST_SKIP() << "no X display"

int cell_of(char c)
{
    return static_cast<int>(static_cast<signed char>(c)) + 128;
}

// What a glyph cell of an atlas holds.
struct CellContent {
    int max = 0;
    int nonzero = 0;
    int top = -1;  // first and last rows with a non-zero pixel, from the cell's top
    int bottom = -1;
};

CellContent read_cell(FontDesc const& desc, int const& index)
{
    CellContent content;
    std::vector<unsigned char> const& pixels = *desc.pixels;
    int const x0 = GuiFontAtlas::get_cell_x(index);
    int const y0 = GuiFontAtlas::get_cell_y(index);
    for (int y = 0; y < GuiFontAtlas::CELL_SIZE; ++y) {
        for (int x = 0; x < GuiFontAtlas::CELL_SIZE; ++x) {
            unsigned char const value = pixels[static_cast<size_t>(y0 + y) * desc.atlas_size + x0 + x];
            if (value == 0) continue;
            content.max = std::max<int>(content.max, value);
            ++content.nonzero;
            if (content.top < 0) content.top = y;
            content.bottom = y;
        }
    }
    return content;
}

// The size-72 atlas of a built-in face under a family name of the test's own, so that no
// other test has made it already.
FontDesc const* rasterize_builtin(char const* family, GuiFont::Weight weight, GuiFont::Style style,
                                  CoreString const& file_name = CoreString())
{
    unsigned char const* data = nullptr;
    size_t size = 0;
    GuiFontAtlas::get_builtin_font_data(weight, style, data, size);
    return GuiFont::rasterize_font_buffer(family, weight, style, data, size, file_name);
}

void write_bytes(CoreString const& path, std::string const& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path.c_str()).parent_path());
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

// A valid 2 × 2 RGB PNG.
unsigned char const s_small_png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xfd, 0xd4, 0x9a, 0x73, 0x00,
    0x00, 0x00, 0x09, 0x6f, 0x46, 0x46, 0x73, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xda,
    0x2a, 0xb6, 0xce, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x08, 0x99, 0x63, 0xf8, 0xcf, 0xc0,
    0xc0, 0xf0, 0x9f, 0x81, 0x11, 0x48, 0xfc, 0xff, 0xcf, 0x00, 0x00, 0x1e, 0xf6, 0x04, 0xfd, 0x85, 0x1a,
    0xf1, 0x73, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

// Runs a disabled test of this program in a new process with the preferences folder given;
// returns its exit status.
int run_child_test(char const* name, CoreString const& config_home)
{
    char exe[4096] = {};
    ssize_t const length = ::readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (length <= 0) return -1;
    std::string const command = "XDG_CONFIG_HOME='" + config_home.std_string() + "' '" + std::string(exe) +
                                "' --gtest_also_run_disabled_tests --gtest_filter='GuiFontChild." + name +
                                "' > /dev/null";
    return std::system(command.c_str());
}

}  // namespace

// --- The font table ---

TEST(GuiFontTable, FamiliesHoldTheirMembersByAttribute)
{
    REQUIRE_DISPLAY();
    // Every enumerated face is there, the toolkit's 16 built-in ones first.
    ASSERT_GE(GuiFont::get_face_count(), 16);
    EXPECT_EQ(GuiFont::get_face_name(FL_HELVETICA_BOLD), "sans bold");
    EXPECT_TRUE(GuiFont::get_face_name(-1).is_empty());
    EXPECT_TRUE(GuiFont::get_face_name(GuiFont::get_face_count()).is_empty());

    int faces[4];
    ASSERT_TRUE(GuiFont::get_family_faces("Sans", faces));
    EXPECT_EQ(std::vector<int>(faces, faces + 4),
              (std::vector<int>{FL_HELVETICA, FL_HELVETICA_BOLD, FL_HELVETICA_ITALIC, FL_HELVETICA_BOLD_ITALIC}));
    EXPECT_FALSE(GuiFont::get_family_faces("no such family", faces));
}

TEST(GuiFont, UnknownFamilyTakesTheStandByFaceEverywhere)
{
    REQUIRE_DISPLAY();
    GuiFont font("No Such Family Anywhere", 14, GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC);
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(font.get_face_index(static_cast<GuiFont::Weight>(slot % 2),
                                      static_cast<GuiFont::Style>(slot / 2)),
                  GuiFont::get_stand_by_face());
    }
}

TEST(GuiFont, ResetAndSetFace)
{
    REQUIRE_DISPLAY();
    // "screen" has a regular and a bold face only: the italic members fall back to regular.
    GuiFont font("SCREEN", 10, GuiFont::WEIGHT_BOLD);
    EXPECT_EQ(font.get_index(), FL_SCREEN_BOLD);
    EXPECT_EQ(font.get_face_index(GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC), FL_SCREEN);
    EXPECT_EQ(font.get_face_index(GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC), FL_SCREEN);
    font.set_style(GuiFont::STYLE_ITALIC);
    EXPECT_EQ(font.get_index(), FL_SCREEN);

    // set_face changes one combination and the size, and keeps the family.
    font.reset("sans", 10);
    font.set_face(GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, "Serif", 16, GuiFont::WEIGHT_BOLD,
                  GuiFont::STYLE_ITALIC);
    EXPECT_EQ(font.get_face_index(GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL), FL_TIMES_BOLD_ITALIC);
    EXPECT_EQ(font.get_face_index(GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL), FL_HELVETICA);
    EXPECT_EQ(font.get_face_index(GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC), FL_HELVETICA_BOLD_ITALIC);
    EXPECT_EQ(font.get_size(), 16);
    EXPECT_EQ(font.get_family(), "sans");
    // A family the table lacks changes nothing, not even the size.
    font.set_face(GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, "No Such Family", 30, GuiFont::WEIGHT_BOLD,
                  GuiFont::STYLE_NORMAL);
    EXPECT_EQ(font.get_face_index(GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL), FL_HELVETICA);
    EXPECT_EQ(font.get_size(), 16);
}

// --- The toolkit's current font ---

TEST(GuiFontToolkit, MakeCurrentAndMeasuresLeaveOrSetTheToolkitFont)
{
    REQUIRE_DISPLAY();
    GuiFont font("serif", 30, GuiFont::WEIGHT_BOLD);
    fl_font(FL_COURIER, 17);

    // Measures put the toolkit's font back...
    int w = -1, h = -1;
    font.get_text_size("Hello", w, h);
    int const height = font.get_height();
    int const descent = font.get_descent();
    EXPECT_EQ(fl_font(), FL_COURIER);
    EXPECT_EQ(fl_size(), 17);

    // ... and measure with the font's own face and size.
    fl_font(FL_TIMES_BOLD, 30);
    int expected_w = 0, expected_h = 0;
    fl_measure("Hello", expected_w, expected_h, 1);
    EXPECT_GT(w, 0);
    EXPECT_EQ(GMathVec4<int>(w, h, height, descent), GMathVec4<int>(expected_w, expected_h, fl_height(), fl_descent()));

    // A null text is 0 wide.
    int w2 = 99, h2 = 99;
    font.get_text_size(static_cast<char const*>(nullptr), w2, h2);
    EXPECT_EQ(GMathVec2<int>(w2, h2), GMathVec2<int>(0, 0));

    // make_current sets the face of the current weight and style, unless that is negative
    // (here: a weight out of range).
    font.make_current();
    EXPECT_EQ(fl_font(), FL_TIMES_BOLD);
    EXPECT_EQ(fl_size(), 30);
    fl_font(FL_COURIER, 17);
    font.set_weight(static_cast<GuiFont::Weight>(7));
    EXPECT_EQ(font.get_index(), -1);
    font.make_current();
    EXPECT_EQ(fl_font(), FL_COURIER);
    EXPECT_EQ(fl_size(), 17);
    font.get_text_size("Hello", w2, h2);
    EXPECT_EQ(w2, 0);
    EXPECT_EQ(fl_font(), FL_COURIER);
}

TEST(GuiFontToolkit, MeasuresFromSeveralThreadsTakeTurns)
{
    REQUIRE_DISPLAY();
    // Each thread measures in its own font: a measure that ran while another thread had set
    // the toolkit's font would come out in the wrong size.
    GuiFont const fonts[3] = {GuiFont("sans", 11), GuiFont("sans", 23), GuiFont("mono", 40)};
    int expected[3], h = 0;
    for (int i = 0; i < 3; ++i) fonts[i].get_text_size("Measured text", expected[i], h);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&, i] {
            for (int n = 0; n < 200; ++n) {
                int w = 0, h = 0;
                fonts[i].get_text_size("Measured text", w, h);
                if (w != expected[i]) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

// --- Atlases ---

TEST(GuiFontAtlas, BaseAtlasHoldsDistanceFieldsAndMetrics)
{
    FontDesc const* desc =
        rasterize_builtin("atlas test regular", GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL);
    ASSERT_NE(desc, nullptr);
    ASSERT_EQ(desc->pixels->size(), size_t(desc->atlas_size) * desc->atlas_size);
    // Made once: the same family, weight and style give the same descriptor.
    EXPECT_EQ(rasterize_builtin("Atlas Test Regular", GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL), desc);

    // 'A' stands on the baseline; its field is 5 pixels wider than the glyph on both sides.
    int const a = cell_of('A');
    EXPECT_GT(desc->advance[a], 30.0);
    EXPECT_DOUBLE_EQ(desc->bottom[a], -5.0);
    EXPECT_GT(desc->width[a], 40.0);
    CellContent const cell_a = read_cell(*desc, a);
    EXPECT_GT(cell_a.max, 200);
    // The field starts at the cell's top and spans the glyph's height plus the spread.
    EXPECT_LE(cell_a.top, 1);
    EXPECT_NEAR(cell_a.bottom - cell_a.top + 1, 52 + 10, 3);

    // Glyphs below the baseline and Latin-1 codes above 127.
    EXPECT_LT(desc->bottom[cell_of('p')], -5.0);
    int const e_acute = cell_of(static_cast<char>(0xe9));
    EXPECT_GT(desc->advance[e_acute], 0.0);
    EXPECT_GT(read_cell(*desc, e_acute).max, 128);

    // A code without a glyph (U+0001) leaves its cell empty and its metrics 0.
    int const none = cell_of('\x01');
    EXPECT_EQ(read_cell(*desc, none).nonzero, 0);
    EXPECT_EQ(GMathVec4<double>(desc->advance[none], desc->width[none], desc->bottom[none], desc->left[none]),
              GMathVec4<double>(0, 0, 0, 0));
}

TEST(GuiFontAtlas, FieldsReadInsideExactlyWhereTheGlyphsCoverTheirPixels)
{
    // In each built-in face, each pixel that FreeType's rasteriser covers fully reads inside
    // the glyph's field and each one it leaves empty reads outside, whichever renderer made
    // the field; glyphs of overlapping contours (the cedilla joined to its C) included.
    struct Face {
        GuiFont::Weight weight;
        GuiFont::Style style;
    };
    for (Face const& face_style : {Face{GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL},
                                   Face{GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL},
                                   Face{GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC},
                                   Face{GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC}}) {
        SCOPED_TRACE(std::string(GuiFont::get_weight_name(face_style.weight)) + " " +
                     GuiFont::get_style_name(face_style.style));
        FontDesc const* desc = rasterize_builtin("atlas test coverage", face_style.weight, face_style.style);
        ASSERT_NE(desc, nullptr);
        unsigned char const* data = nullptr;
        size_t size = 0;
        GuiFontAtlas::get_builtin_font_data(face_style.weight, face_style.style, data, size);
        FT_Library library = nullptr;
        ASSERT_EQ(FT_Init_FreeType(&library), 0);
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Memory_Face(library, data, static_cast<FT_Long>(size), 0, &face), 0);
        ASSERT_EQ(FT_Set_Char_Size(face, 0, GuiFontAtlas::BASE_SIZE * 64, 72, 72), 0);
        int glyphs = 0;
        std::string wrong;
        for (int code = 33; code < 256; ++code) {
            FT_UInt const glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
            if (!glyph || FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) ||
                FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL))
                continue;
            ++glyphs;
            FT_Bitmap const& coverage = face->glyph->bitmap;
            // The field is the coverage's box grown by the spread on every side.
            int const cell = cell_of(static_cast<char>(code));
            size_t const x0 = static_cast<size_t>(GuiFontAtlas::get_cell_x(cell) + GuiFontAtlas::SPREAD);
            size_t const y0 = static_cast<size_t>(GuiFontAtlas::get_cell_y(cell) + GuiFontAtlas::SPREAD);
            int mismatches = 0;
            for (unsigned int y = 0; y < coverage.rows; ++y)
                for (unsigned int x = 0; x < coverage.width; ++x) {
                    unsigned char const covered = coverage.buffer[static_cast<long>(y) * coverage.pitch + x];
                    if (covered != 0 && covered != 255) continue;  // an edge passes through the pixel
                    bool const inside =
                        (*desc->pixels)[(y0 + y) * static_cast<size_t>(desc->atlas_size) + x0 + x] >= 128;
                    if (inside != (covered == 255)) ++mismatches;
                }
            if (mismatches) wrong += std::to_string(code) + ": " + std::to_string(mismatches) + " pixels; ";
        }
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        EXPECT_GT(glyphs, 180);
        EXPECT_EQ(wrong, "");
    }
}

TEST(GuiFontAtlas, SizesShareTheBaseAtlasAndScaleItsMetrics)
{
    TemporaryPreferences preferences;
    GuiFont const small("Roboto", 18, GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC);
    GuiFont const large("ROBOTO", 144, GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC);
    // Requests from several threads at once make each descriptor once.
    FontDesc const* made[4] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] { made[t] = GuiFont::get_rasterized_font_data(t % 2 ? large : small); });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_TRUE(made[0] && made[1]);
    EXPECT_EQ(made[2], made[0]);
    EXPECT_EQ(made[3], made[1]);

    FontDesc const* base =
        GuiFont::find_rasterized_font_data("roboto", GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC, 72);
    ASSERT_NE(base, nullptr);
    FontDesc const* s = made[0];
    FontDesc const* l = made[1];
    EXPECT_EQ(s->pixels, base->pixels);
    EXPECT_EQ(l->pixels, base->pixels);
    EXPECT_DOUBLE_EQ(s->unit, 82.0 / 4);
    EXPECT_DOUBLE_EQ(l->unit, 82.0 * 2);
    EXPECT_DOUBLE_EQ(s->advance[cell_of('A')], base->advance[cell_of('A')] / 4);
    EXPECT_DOUBLE_EQ(l->bottom[cell_of('p')], base->bottom[cell_of('p')] * 2);
    EXPECT_EQ(s->fields, base->fields);
    // The size-72 request is the base itself; a size of 0 has no atlas.
    EXPECT_EQ(GuiFont::get_rasterized_font_data(
                  GuiFont("roboto", 72, GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_ITALIC)),
              base);
    LogRecorder log;
    EXPECT_EQ(GuiFont::get_rasterized_font_data(GuiFont("roboto", 0)), nullptr);
    EXPECT_TRUE(log.contains("GuiFont.generate_rasterized_font_data: no atlas")) << log.dump();
    // The cache file goes into this test's preferences folder.
    base->make_all_glyphs();
}

TEST(GuiFontAtlas, FontconfigServesOtherFamilies)
{
    TemporaryPreferences preferences;
    CoreString path;
    int face_index = -1;
    ASSERT_TRUE(GuiFontAtlas::find_font_file("Roboto", GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, path,
                                             face_index));
    EXPECT_TRUE(SysFilesystem::file_exists(path)) << path.c_str();
    EXPECT_GE(face_index, 0);

    // A family of the system, not the built-in one; its atlas is cached under its family name.
    FontDesc const* desc =
        GuiFont::get_rasterized_font_data(GuiFont("Roboto Condensed", 24, GuiFont::WEIGHT_BOLD));
    ASSERT_NE(desc, nullptr);
    desc->make_all_glyphs();
    EXPECT_EQ(desc->family, "roboto condensed");
    EXPECT_GT(read_cell(*desc, cell_of('A')).max, 128);
    EXPECT_TRUE(
        SysFilesystem::file_exists(preferences.get_path() + "/qn_gui/fonts/roboto condensedb_ttf.png"));
}

TEST(GuiFontAtlas, FieldsAskedForAreMadeAtOnceAndKeptAsTheOthersCome)
{
    // A made atlas is listed with its metrics; the glyphs asked for are made then (or waited
    // for), and the others come in the background without touching those.
    TemporaryPreferences preferences;
    GuiFont const font("atlas test in the making", 72);
    FontDesc const* desc = GuiFont::get_rasterized_font_data(font);
    ASSERT_NE(desc, nullptr);
    ASSERT_NE(desc->fields, nullptr);
    desc->make_glyphs("Qn");
    EXPECT_TRUE(desc->is_glyph_ready(cell_of('Q')));
    EXPECT_TRUE(desc->is_glyph_ready(cell_of('n')));
    EXPECT_TRUE(desc->is_glyph_ready(cell_of('\x01')));  // no glyph: nothing to wait for
    auto const cell_pixels = [desc](int const& cell) {
        std::vector<unsigned char> pixels;
        size_t const x0 = static_cast<size_t>(GuiFontAtlas::get_cell_x(cell));
        for (int y = 0; y < GuiFontAtlas::CELL_SIZE; ++y) {
            auto const row = desc->pixels->begin() +
                             static_cast<long>((GuiFontAtlas::get_cell_y(cell) + y) * desc->atlas_size + x0);
            pixels.insert(pixels.end(), row, row + GuiFontAtlas::CELL_SIZE);
        }
        return pixels;
    };
    std::vector<unsigned char> const q = cell_pixels(cell_of('Q'));
    EXPECT_GT(*std::max_element(q.begin(), q.end()), 128);

    desc->make_all_glyphs();
    EXPECT_EQ(desc->get_ready_glyph_count(), FontDesc::GLYPH_COUNT);
    EXPECT_TRUE(cell_pixels(cell_of('Q')) == q);
    EXPECT_GT(read_cell(*desc, cell_of('z')).max, 128);
    CoreString const file = GuiFontAtlas::get_font_file_name(font.get_family(), font.get_weight(), font.get_style());
    EXPECT_TRUE(SysFilesystem::file_exists(GuiFontAtlas::get_cache_file_path(file)));
}

TEST(GuiFontAtlas, GarbageFontBytesLogTheFreeTypeErrorAndMakeNothing)
{
    LogRecorder log;
    std::vector<unsigned char> garbage(4096);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<unsigned char>(i * 131 + 7);
    EXPECT_EQ(GuiFont::rasterize_font_buffer("garbage face", GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL,
                                             garbage.data(), garbage.size(), "garbage.ttf"),
              nullptr);
    ASSERT_EQ(log.count(CORE_LOG_LEVEL_ERROR), 1u) << log.dump();
    std::string const message = log.get_messages()[0].text;
    EXPECT_EQ(message.rfind("GuiFontAtlas: FT_Error (line ", 0), 0u) << message;
    EXPECT_NE(message.find(", code 2) : unknown file format\n"), std::string::npos) << message;
    // No bytes at all: a warning, no descriptor.
    EXPECT_EQ(GuiFont::rasterize_font_buffer("empty face", GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL,
                                             nullptr, 0, ""),
              nullptr);
    EXPECT_TRUE(log.contains("GuiFont.rasterize_font_buffer: no font data")) << log.dump();
}

// --- The atlas cache ---

TEST(GuiFontCache, WrittenAtlasIsReadBackIdentical)
{
    TemporaryPreferences preferences;
    LogRecorder log;
    FontDesc const* made =
        rasterize_builtin("cache written", GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, "robotob.ttf");
    ASSERT_NE(made, nullptr);
    CoreString const file = preferences.get_path() + "/qn_gui/fonts/robotob_ttf.png";
    ASSERT_TRUE(SysFilesystem::file_exists(file));
    CoreVector<CoreString> files;
    SysFilesystem::get_files(preferences.get_path() + "/qn_gui/fonts", files);
    EXPECT_EQ(files.get_count(), 1u) << "no temporary file is left behind";
    std::vector<unsigned char> pixels;
    ASSERT_TRUE(GuiFontAtlas::read_cache(file, pixels));
    EXPECT_TRUE(pixels == *made->pixels);

    // Another family cached under the same file name loads the atlas instead of making it.
    log.clear();
    FontDesc const* loaded =
        rasterize_builtin("cache read", GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, "robotob.ttf");
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(log.contains("read the atlas of \"cache read\"")) << log.dump();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 0u) << log.dump();
    EXPECT_TRUE(*loaded->pixels == *made->pixels);
    EXPECT_NE(loaded->pixels, made->pixels);
}

TEST(GuiFontCache, BadCacheFilesAreReplacedByANewAtlasWithOneWarning)
{
    TemporaryPreferences preferences;
    int const size = GuiFontAtlas::ATLAS_SIZE;
    std::vector<unsigned char> pattern(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<unsigned char>(i % 251);
    auto encode = [&pattern](int const& edge) {
        std::string bytes;
        GuiAtlasPng::encode(pattern.data(), edge, [&bytes](unsigned char const* block, size_t length) {
            bytes.append(reinterpret_cast<char const*>(block), length);
            return true;
        });
        return bytes;
    };
    std::string const good = encode(size);
    // The last pixel comes before the stream's Adler-32, the chunk's CRC and the IEND chunk.
    std::string corrupt = good;
    corrupt[corrupt.size() - 12 - 4 - 4 - 1] ^= 0x40;
    // The version is the first big-endian word of the atlas chunk.
    std::string newer = good;
    newer[newer.find("qnAt") + 4 + 3] += 1;
    std::string const wrong_size = "is 100 x 100, not " + std::to_string(size) + " x " + std::to_string(size);
    std::string const newer_version = "has version " + std::to_string(GuiAtlasPng::VERSION + 1);

    struct Case {
        char const* name;
        std::string bytes;
        std::string warning;
    };
    std::vector<Case> const cases = {
        {"truncated", good.substr(0, good.size() / 2), "is cut short"},
        {"corrupt", corrupt, "does not match its checksum"},
        {"newer", newer, newer_version},
        {"smaller", encode(100), wrong_size},
        {"foreign small", std::string(reinterpret_cast<char const*>(s_small_png), sizeof(s_small_png)),
         "is 2 x 2 with 3 channels"},
        {"not a png", std::string(5000, 'x'), "is not a complete PNG file"},
        {"garbage", std::string(5000, 'x') + good.substr(good.size() - 12), "is not a readable image"},
    };
    FontDesc const* first = nullptr;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        std::string const file = std::string(c.name) + ".ttf";
        CoreString const path = GuiFontAtlas::get_cache_file_path(file.c_str());
        write_bytes(path, c.bytes);
        LogRecorder log;
        FontDesc const* desc = rasterize_builtin(("cache " + file).c_str(), GuiFont::WEIGHT_NORMAL,
                                                 GuiFont::STYLE_ITALIC, file.c_str());
        ASSERT_NE(desc, nullptr);
        EXPECT_TRUE(log.contains(std::string("GuiFontAtlas.read_cache: ") + path.c_str())) << log.dump();
        EXPECT_TRUE(log.contains(c.warning)) << log.dump();
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
        if (!first) first = desc;
        EXPECT_TRUE(*desc->pixels == *first->pixels);
        // The cache now holds the new atlas.
        std::vector<unsigned char> pixels;
        EXPECT_TRUE(GuiFontAtlas::read_cache(path, pixels));
        EXPECT_TRUE(pixels == *desc->pixels);
    }
}

TEST(GuiFontCache, ForeignRgbFileIsReadThenRewrittenInTheCacheLayout)
{
    TemporaryPreferences preferences;
    int const size = GuiFontAtlas::ATLAS_SIZE;
    // Red differs from green and blue: the text shader draws the median of the three.
    std::vector<unsigned char> expected(static_cast<size_t>(size) * size);
    std::vector<unsigned char> rgb(expected.size() * 3);
    for (size_t i = 0; i < expected.size(); ++i) {
        expected[i] = static_cast<unsigned char>(i % 253);
        rgb[3 * i] = static_cast<unsigned char>(255 - expected[i]);
        rgb[3 * i + 1] = rgb[3 * i + 2] = expected[i];
    }
    CoreString const path = GuiFontAtlas::get_cache_file_path("foreign.ttf");
    std::filesystem::create_directories(std::filesystem::path(path.c_str()).parent_path());
    ImageIoPixels file;
    file.width = file.height = size;
    file.channel_names = {"R", "G", "B"};
    file.bytes = rgb;
    std::string error;
    ASSERT_TRUE(ImageIo::write(path.std_string(), "png", file, {}, error)) << error;

    LogRecorder log;
    FontDesc const* desc =
        rasterize_builtin("cache foreign", GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC, "foreign.ttf");
    ASSERT_NE(desc, nullptr);
    EXPECT_TRUE(log.contains("read the atlas of \"cache foreign\"")) << log.dump();
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 0u) << log.dump();
    EXPECT_TRUE(*desc->pixels == expected);
    std::vector<unsigned char> pixels;
    bool own_layout = false;
    EXPECT_TRUE(GuiFontAtlas::read_cache(path, pixels, &own_layout));
    EXPECT_TRUE(own_layout);
    EXPECT_TRUE(pixels == expected);
}

TEST(GuiFontCache, UnwritableFolderKeepsTheAtlasInMemory)
{
    TemporaryPreferences preferences;
    // The preferences folder is a file: no cache folder can be made in it, even by root.
    write_bytes(preferences.get_path() + "/qn_gui", "not a folder");
    LogRecorder log;
    FontDesc const* desc =
        rasterize_builtin("cache unwritable", GuiFont::WEIGHT_BOLD, GuiFont::STYLE_ITALIC, "unwritable.ttf");
    ASSERT_NE(desc, nullptr);
    EXPECT_TRUE(log.contains("GuiFontAtlas.write_cache: can't create the cache folder")) << log.dump();
    EXPECT_EQ(GuiFont::find_rasterized_font_data("cache unwritable", GuiFont::WEIGHT_BOLD,
                                                 GuiFont::STYLE_ITALIC, 72),
              desc);
}

// One process makes the built-in bold atlas and caches it; the next one loads it at start-up.
TEST(GuiFontCache, NextProcessLoadsTheBuiltinAtlasesThatWereCached)
{
    TemporaryPreferences preferences;
    ASSERT_EQ(run_child_test("DISABLED_MakeBuiltinBold", preferences.get_path()), 0);
    EXPECT_TRUE(SysFilesystem::file_exists(preferences.get_path() + "/qn_gui/fonts/robotob_ttf.png"));
    ASSERT_EQ(run_child_test("DISABLED_LoadCachedBuiltins", preferences.get_path()), 0);
}

TEST(GuiFontChild, DISABLED_MakeBuiltinBold)
{
    FontDesc const* desc = GuiFont::get_rasterized_font_data(GuiFont("Roboto", 72, GuiFont::WEIGHT_BOLD));
    ASSERT_NE(desc, nullptr);
    desc->make_all_glyphs();
    EXPECT_TRUE(SysFilesystem::file_exists(GuiFontAtlas::get_cache_file_path("robotob.ttf")));
}

TEST(GuiFontChild, DISABLED_LoadCachedBuiltins)
{
    LogRecorder log;
    GuiFont::load_pregenerated_rasterized_font_data_if_exists();
    EXPECT_TRUE(log.contains("read the atlas of \"roboto\" WEIGHT_BOLD STYLE_NORMAL")) << log.dump();
    FontDesc const* loaded =
        GuiFont::find_rasterized_font_data("roboto", GuiFont::WEIGHT_BOLD, GuiFont::STYLE_NORMAL, 72);
    ASSERT_NE(loaded, nullptr);
    EXPECT_GT(read_cell(*loaded, cell_of('A')).max, 128);
    // Only the cached face is made.
    EXPECT_EQ(GuiFont::find_rasterized_font_data("roboto", GuiFont::WEIGHT_NORMAL, GuiFont::STYLE_NORMAL, 72),
              nullptr);
}
