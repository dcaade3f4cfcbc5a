// Glyph atlases: FreeType signed distance fields, fontconfig file lookup and the PNG cache.
// OpenImageIO comes first and no toolkit or X11 header is included here: X11 defines macros
// (None, Status) that OpenImageIO uses as names.
#include <OpenImageIO/imageio.h>

#include "gui/core/gui_font_atlas.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "host/core/core_log.h"
#include "host/sys/sys_file.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"
#include "host/sys/sys_thread_lock.h"
#include "host/sys/sys_thread_task.h"
#include "host/sys/sys_timer.h"

// The four Roboto faces, compiled in from generated sources (see gui/CMakeLists.txt).
extern unsigned char const qn_font_roboto_regular[];
extern std::size_t const qn_font_roboto_regular_size;
extern unsigned char const qn_font_roboto_bold[];
extern std::size_t const qn_font_roboto_bold_size;
extern unsigned char const qn_font_roboto_italic[];
extern std::size_t const qn_font_roboto_italic_size;
extern unsigned char const qn_font_roboto_bold_italic[];
extern std::size_t const qn_font_roboto_bold_italic_size;

namespace {

// FreeType's messages, for builds of FreeType without FT_Error_String's texts.
struct FtErrorText {
    int code;
    char const* text;
};
// clang-format off
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}}
FtErrorText const s_ft_errors[] =
#include FT_ERRORS_H
;
// clang-format on

char const* ft_error_text(FT_Error const& error)
{
    if (char const* text = FT_Error_String(error)) return text;
    for (FtErrorText const& entry : s_ft_errors) {
        if (entry.text && entry.code == error) return entry.text;
    }
    return "unknown error";
}

// Logs a FreeType error with the line of the call that returned it; true when there was none.
bool ft_ok(FT_Error const& error, int const& line)
{
    if (!error) return true;
    CORE_LOG_ERROR("FT_Error (line " << line << ", code " << error << ") : " << ft_error_text(error) << "\n");
    return false;
}
#define QN_FT_OK(call) ft_ok((call), __LINE__)

using FontDesc = GuiFont::FontDesc;

// Every atlas made in the process; never freed, so that descriptors and their addresses stay
// valid for the life of the process.
struct FontDescList {
    SysThreadLockRecursive lock;
    std::vector<FontDesc*> descs;
};

FontDescList& font_desc_list()
{
    static FontDescList* list = new FontDescList();
    return *list;
}

// Call with the list's lock held.
FontDesc const* find_desc(CoreString const& family, GuiFont::Weight const& weight,
                          GuiFont::Style const& style, int const& size)
{
    for (FontDesc const* desc : font_desc_list().descs) {
        if (desc->size == size && desc->weight == weight && desc->style == style && desc->family == family)
            return desc;
    }
    return nullptr;
}

// The glyphs of one atlas whose distance fields are still to render. Each glyph is taken
// once, by a task of the host's task manager or by the thread that made the atlas, which
// takes glyphs too while it waits: so the atlas is finished even when the manager's threads
// are busy, and a call from a task of the manager cannot wait for itself. Tasks that start
// after all glyphs are taken return at once; they keep this object alive, not the library.
class GlyphFieldJob {
public:
    struct Glyph {
        int cell;  // character code + 128
        FT_UInt index;
    };

    GlyphFieldJob(FT_Library library, unsigned char const* data, size_t size, int face_index,
                  unsigned char* atlas, std::vector<Glyph> glyphs)
        : m_library(library),
          m_data(data),
          m_size(size),
          m_face_index(face_index),
          m_atlas(atlas),
          m_glyphs(std::move(glyphs))
    {
    }

    size_t get_glyph_count() const { return m_glyphs.size(); }

    // Renders the next glyph nobody has taken; false when none is left.
    bool render_next()
    {
        size_t const taken = m_next.fetch_add(1, std::memory_order_relaxed);
        if (taken >= m_glyphs.size()) return false;
        render(m_glyphs[taken]);
        std::lock_guard<std::mutex> guard(m_done_mutex);
        if (++m_done == m_glyphs.size()) m_done_signal.notify_all();
        return true;
    }

    // Returns when every glyph is rendered.
    void wait()
    {
        std::unique_lock<std::mutex> guard(m_done_mutex);
        m_done_signal.wait(guard, [this] { return m_done == m_glyphs.size(); });
    }

private:
    void render(Glyph const& glyph)
    {
        // A FreeType face serves one thread at a time, and faces of a shared library are
        // opened and closed under a lock: each glyph gets a face of its own.
        FT_Face face = nullptr;
        {
            std::lock_guard<std::mutex> guard(m_face_mutex);
            if (!QN_FT_OK(
                    FT_New_Memory_Face(m_library, m_data, static_cast<FT_Long>(m_size), m_face_index, &face)))
                return;
        }
        bool const rendered = !FT_Set_Char_Size(face, 0, GuiFontAtlas::BASE_SIZE * 64, 72, 72) &&
                              !FT_Load_Glyph(face, glyph.index, FT_LOAD_DEFAULT) &&
                              !FT_Render_Glyph(face->glyph, FT_RENDER_MODE_SDF);
        if (rendered) {
            copy_to_cell(face->glyph->bitmap, glyph.cell);
        } else {
            CORE_LOG_WARNING("Freetype: Error decomposing the glyph outline \n");
        }
        std::lock_guard<std::mutex> guard(m_face_mutex);
        FT_Done_Face(face);
    }

    // The field goes into the three channels, from the cell's top-left corner, clipped to it.
    void copy_to_cell(FT_Bitmap const& bitmap, int const& cell) const
    {
        int const x0 = GuiFontAtlas::get_cell_x(cell);
        int const y0 = GuiFontAtlas::get_cell_y(cell);
        int const columns = std::min(static_cast<int>(bitmap.width), GuiFontAtlas::CELL_SIZE);
        int const rows = std::min(static_cast<int>(bitmap.rows), GuiFontAtlas::CELL_SIZE);
        for (int y = 0; y < rows; ++y) {
            unsigned char const* source = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
            unsigned char* target =
                m_atlas + (static_cast<size_t>(y0 + y) * GuiFontAtlas::ATLAS_SIZE + static_cast<size_t>(x0)) *
                              GuiFontAtlas::CHANNELS;
            for (int x = 0; x < columns; ++x, target += GuiFontAtlas::CHANNELS) {
                target[0] = target[1] = target[2] = source[x];
            }
        }
    }

    FT_Library m_library;
    unsigned char const* m_data;
    size_t m_size;
    int m_face_index;
    unsigned char* m_atlas;
    std::vector<Glyph> m_glyphs;
    std::mutex m_face_mutex;
    std::atomic<size_t> m_next{0};
    std::mutex m_done_mutex;
    std::condition_variable m_done_signal;
    size_t m_done = 0;
};

// One glyph of an atlas, queued on the host's task manager.
class GuiFontGlyphTask : public SysThreadTask {
    CORE_DECLARE_CLASS(GuiFontGlyphTask, SysThreadTask)

public:
    explicit GuiFontGlyphTask(std::shared_ptr<GlyphFieldJob> job) : m_job(std::move(job)) {}
    void run() override { m_job->render_next(); }

private:
    std::shared_ptr<GlyphFieldJob> m_job;
};

CORE_IMPLEMENT_CLASS(GuiFontGlyphTask, SysThreadTask)

// Releases a FreeType library and its face on every return path.
struct FtLibraryScope {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FtLibraryScope()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

// The size-72 atlas of a family, weight and style from its font file: the built-in bytes for
// "roboto", else the file fontconfig picks. Call with the list's lock held.
FontDesc const* rasterize_face(CoreString const& family, GuiFont::Weight const& weight,
                               GuiFont::Style const& style)
{
    CoreString const file_name = GuiFontAtlas::get_font_file_name(family, weight, style);
    if (GuiFontAtlas::is_builtin_family(family)) {
        unsigned char const* data = nullptr;
        size_t size = 0;
        GuiFontAtlas::get_builtin_font_data(weight, style, data, size);
        return GuiFont::rasterize_font_buffer(family, weight, style, data, size, file_name);
    }
    CoreString path;
    int face_index = 0;
    if (!GuiFontAtlas::find_font_file(family, weight, style, path, face_index)) {
        CORE_LOG_WARNING("GuiFont.generate_rasterized_font_data: no font file for \""
                         << family << "\" " << GuiFont::get_weight_name(weight) << " "
                         << GuiFont::get_style_name(style) << "\n");
        return nullptr;
    }
    CoreString bytes;
    if (!SysFile::read_file(path, bytes)) return nullptr;
    return GuiFont::rasterize_font_buffer(family, weight, style,
                                          reinterpret_cast<unsigned char const*>(bytes.get_data()),
                                          bytes.get_length(), file_name, face_index);
}

}  // namespace

// --- GuiFont: atlases ----------------------------------------------------------------------

GuiFont::FontDesc const* GuiFont::find_rasterized_font_data(CoreString const& family, Weight const& weight,
                                                            Style const& style, int const& size)
{
    FontDescList& list = font_desc_list();
    SysThreadLockGuard<SysThreadLockRecursive> guard(list.lock);
    return find_desc(family.get_lower_case(), weight, style, size);
}

GuiFont::FontDesc const* GuiFont::get_rasterized_font_data(GuiFont const& font)
{
    FontDescList& list = font_desc_list();
    SysThreadLockGuard<SysThreadLockRecursive> guard(list.lock);
    if (FontDesc const* desc = find_desc(font.get_family().get_lower_case(), font.get_weight(),
                                         font.get_style(), font.get_size()))
        return desc;
    return generate_rasterized_font_data(font);
}

GuiFont::FontDesc const* GuiFont::generate_rasterized_font_data(GuiFont const& font)
{
    CoreString const family = font.get_family().get_lower_case();
    Weight const weight = font.get_weight();
    Style const style = font.get_style();
    int const size = font.get_size();
    if (size <= 0 || family.is_empty()) {
        CORE_LOG_WARNING("GuiFont.generate_rasterized_font_data: no atlas for family \""
                         << font.get_family() << "\" at size " << size << "\n");
        return nullptr;
    }
    FontDescList& list = font_desc_list();
    SysThreadLockGuard<SysThreadLockRecursive> guard(list.lock);
    if (FontDesc const* desc = find_desc(family, weight, style, size)) return desc;
    FontDesc const* base = find_desc(family, weight, style, GuiFontAtlas::BASE_SIZE);
    if (!base) base = rasterize_face(family, weight, style);
    if (!base || size == GuiFontAtlas::BASE_SIZE) return base;

    auto* desc = new FontDesc();
    desc->family = family;
    desc->weight = weight;
    desc->style = style;
    desc->size = size;
    desc->pixels = base->pixels;
    desc->atlas_size = base->atlas_size;
    desc->distance_range = base->distance_range;
    double const scale = static_cast<double>(size) / GuiFontAtlas::BASE_SIZE;
    desc->unit = base->unit * scale;
    for (int i = 0; i < FontDesc::GLYPH_COUNT; ++i) {
        desc->advance[i] = base->advance[i] * scale;
        desc->width[i] = base->width[i] * scale;
        desc->bottom[i] = base->bottom[i] * scale;
        desc->left[i] = base->left[i] * scale;
        desc->height[i] = base->height[i] * scale;
    }
    list.descs.push_back(desc);
    return desc;
}

GuiFont::FontDesc const* GuiFont::rasterize_font_buffer(CoreString const& family, Weight const& weight,
                                                        Style const& style, unsigned char const* data,
                                                        size_t const& size, CoreString const& font_file_name,
                                                        int const& face_index)
{
    CoreString const key = family.get_lower_case();
    FontDescList& list = font_desc_list();
    SysThreadLockGuard<SysThreadLockRecursive> guard(list.lock);
    if (FontDesc const* desc = find_desc(key, weight, style, GuiFontAtlas::BASE_SIZE)) return desc;
    if (!data || size == 0) {
        CORE_LOG_WARNING("GuiFont.rasterize_font_buffer: no font data for \"" << family << "\"\n");
        return nullptr;
    }
    SysTimer timer;

    FtLibraryScope ft;
    if (FT_Error const error = FT_Init_FreeType(&ft.library)) {
        ft.library = nullptr;
        CORE_LOG_ERROR("FT_Error (" << error << ") : " << ft_error_text(error) << "\n");
        return nullptr;
    }
    FT_Int spread = GuiFontAtlas::SPREAD;
    if (!QN_FT_OK(FT_Property_Set(ft.library, "sdf", "spread", &spread))) return nullptr;
    if (!QN_FT_OK(FT_New_Memory_Face(ft.library, data, static_cast<FT_Long>(size), face_index, &ft.face))) {
        ft.face = nullptr;
        return nullptr;
    }
    if (!QN_FT_OK(FT_Set_Char_Size(ft.face, 0, GuiFontAtlas::BASE_SIZE * 64, 72, 72))) return nullptr;
    if (!QN_FT_OK(FT_Select_Charmap(ft.face, FT_ENCODING_UNICODE))) return nullptr;

    // A valid cached atlas saves the distance fields; the metrics always come from the face.
    auto pixels = std::make_shared<std::vector<unsigned char>>();
    CoreString const cache_path =
        font_file_name.is_empty() ? CoreString() : GuiFontAtlas::get_cache_file_path(font_file_name);
    bool const loaded = !cache_path.is_empty() && SysFilesystem::file_exists(cache_path) &&
                        GuiFontAtlas::read_cache(cache_path, *pixels);
    if (!loaded) {
        pixels->assign(
            static_cast<size_t>(GuiFontAtlas::ATLAS_SIZE) * GuiFontAtlas::ATLAS_SIZE * GuiFontAtlas::CHANNELS,
            0);
    }

    auto desc = std::make_unique<FontDesc>();
    desc->family = key;
    desc->weight = weight;
    desc->style = style;
    desc->size = GuiFontAtlas::BASE_SIZE;
    desc->atlas_size = GuiFontAtlas::ATLAS_SIZE;
    desc->distance_range = GuiFontAtlas::SPREAD;
    desc->unit = GuiFontAtlas::UNIT;
    std::vector<GlyphFieldJob::Glyph> glyphs;
    for (int code = -128; code < 128; ++code) {
        int const cell = code + 128;
        // Signed character codes stand for Latin-1 code points: -128..-1 are 128..255.
        FT_ULong const code_point = static_cast<unsigned char>(static_cast<signed char>(code));
        FT_UInt const glyph = FT_Get_Char_Index(ft.face, code_point);
        if (glyph == 0) continue;
        if (!QN_FT_OK(FT_Load_Glyph(ft.face, glyph, FT_LOAD_DEFAULT)) ||
            !QN_FT_OK(FT_Render_Glyph(ft.face->glyph, FT_RENDER_MODE_NORMAL)))
            continue;
        FT_GlyphSlot const slot = ft.face->glyph;
        desc->advance[cell] = static_cast<double>(slot->advance.x >> 6);
        desc->width[cell] = slot->bitmap.width + 2.0 * GuiFontAtlas::SPREAD;
        desc->bottom[cell] = static_cast<double>(slot->bitmap_top - static_cast<int>(slot->bitmap.rows)) -
                             GuiFontAtlas::SPREAD;
        desc->left[cell] = static_cast<double>(slot->bitmap_left) - GuiFontAtlas::SPREAD;
        desc->height[cell] = slot->bitmap.rows + 2.0 * GuiFontAtlas::SPREAD;
        glyphs.push_back({cell, glyph});
    }

    if (!loaded) {
        auto job = std::make_shared<GlyphFieldJob>(ft.library, data, size, face_index, pixels->data(),
                                                   std::move(glyphs));
        SysThreadTaskManager& manager = SysThreadTaskManager::get_default();
        for (size_t i = 0; i < job->get_glyph_count(); ++i) manager.add_task(new GuiFontGlyphTask(job), true);
        while (job->render_next()) {
        }
        job->wait();
    }

    desc->pixels = pixels;
    FontDesc* made = desc.release();
    list.descs.push_back(made);
    if (loaded) {
        CORE_LOG_INFO("GuiFont.rasterize_font_buffer: read the atlas of \""
                      << key << "\" " << get_weight_name(weight) << " " << get_style_name(style) << " from "
                      << cache_path << "\n");
    } else {
        CORE_LOG_INFO("GuiFont.rasterize_font_buffer: made the atlas of \""
                      << key << "\" " << get_weight_name(weight) << " " << get_style_name(style) << " in "
                      << timer.get_elapsed_time() << " s\n");
    }
    if (!loaded && !cache_path.is_empty()) GuiFontAtlas::write_cache(cache_path, *pixels);
    return made;
}

void GuiFont::load_pregenerated_rasterized_font_data_if_exists()
{
    CoreString const family("roboto");
    for (int style = STYLE_NORMAL; style <= STYLE_ITALIC; ++style) {
        for (int weight = WEIGHT_NORMAL; weight <= WEIGHT_BOLD; ++weight) {
            Weight const w = static_cast<Weight>(weight);
            Style const s = static_cast<Style>(style);
            CoreString const file_name = GuiFontAtlas::get_font_file_name(family, w, s);
            if (!SysFilesystem::file_exists(GuiFontAtlas::get_cache_file_path(file_name))) continue;
            unsigned char const* data = nullptr;
            size_t size = 0;
            GuiFontAtlas::get_builtin_font_data(w, s, data, size);
            rasterize_font_buffer(family, w, s, data, size, file_name);
        }
    }
}

// --- GuiFontAtlas ---------------------------------------------------------------------------

bool GuiFontAtlas::is_builtin_family(CoreString const& family)
{
    return family.get_lower_case() == "roboto";
}

void GuiFontAtlas::get_builtin_font_data(GuiFont::Weight const& weight, GuiFont::Style const& style,
                                         unsigned char const*& data, size_t& size)
{
    bool const bold = weight == GuiFont::WEIGHT_BOLD;
    if (style == GuiFont::STYLE_ITALIC) {
        data = bold ? qn_font_roboto_bold_italic : qn_font_roboto_italic;
        size = bold ? qn_font_roboto_bold_italic_size : qn_font_roboto_italic_size;
    } else {
        data = bold ? qn_font_roboto_bold : qn_font_roboto_regular;
        size = bold ? qn_font_roboto_bold_size : qn_font_roboto_regular_size;
    }
}

CoreString GuiFontAtlas::get_font_file_name(CoreString const& family, GuiFont::Weight const& weight,
                                            GuiFont::Style const& style)
{
    bool const bold = weight == GuiFont::WEIGHT_BOLD;
    bool const italic = style == GuiFont::STYLE_ITALIC;
    char const* suffix = bold && italic ? "z" : bold ? "b" : italic ? "i" : "";
    return family.get_lower_case() + suffix + ".ttf";
}

CoreString GuiFontAtlas::get_cache_folder()
{
    return sys_get_preferences_dir() + "/fonts";
}

CoreString GuiFontAtlas::get_cache_file_path(CoreString const& font_file_name)
{
    CoreString name = font_file_name;
    name.replace('\\', '/');
    unsigned int const slash = name.rev_find('/');
    if (slash != CoreString::NOT_FOUND) name = name.sub_string(slash + 1);
    name.replace('.', '_');
    return get_cache_folder() + "/" + name + ".png";
}

bool GuiFontAtlas::find_font_file(CoreString const& family, GuiFont::Weight const& weight,
                                  GuiFont::Style const& style, CoreString& path, int& face_index)
{
    path = CoreString();
    face_index = 0;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<FcChar8 const*>(family.get_data()));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        weight == GuiFont::WEIGHT_BOLD ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, style == GuiFont::STYLE_ITALIC ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        path = CoreString(reinterpret_cast<char const*>(file));
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) face_index = index;
    }
    FcPatternDestroy(match);
    return !path.is_empty();
}

namespace {

// A PNG file ends with its IEND chunk. Checking for it catches a file cut short before the
// decoder meets its end: libpng reports that by a long jump out of OpenImageIO's reader,
// which skips destructors there.
bool has_png_end(CoreString const& path)
{
    static unsigned char const iend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82};
    SysFile file;
    if (!file.open(path, SysFile::MODE_READ)) return false;
    long long const size = file.get_size();
    unsigned char tail[12] = {};
    return size >= 12 && file.seek(size - 12) && file.read(tail, sizeof(tail)) == sizeof(tail) &&
           std::equal(tail, tail + 12, iend);
}

}  // namespace

bool GuiFontAtlas::read_cache(CoreString const& path, std::vector<unsigned char>& pixels)
{
    if (!has_png_end(path)) {
        CORE_LOG_WARNING(
            "GuiFontAtlas.read_cache: " << path << " is not a complete PNG file; the atlas is made again\n");
        return false;
    }
    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::open(path.get_data());
    if (!in) {
        CORE_LOG_WARNING("GuiFontAtlas.read_cache: " << path << " is not a readable image ("
                                                     << OIIO::geterror() << "); the atlas is made again\n");
        return false;
    }
    OIIO::ImageSpec const& spec = in->spec();
    if (spec.width != ATLAS_SIZE || spec.height != ATLAS_SIZE || spec.nchannels < CHANNELS) {
        CORE_LOG_WARNING("GuiFontAtlas.read_cache: " << path << " is " << spec.width << " x " << spec.height
                                                     << " with " << spec.nchannels << " channels, not "
                                                     << ATLAS_SIZE << " x " << ATLAS_SIZE
                                                     << " RGB; the atlas is made again\n");
        return false;
    }
    size_t const row_bytes = static_cast<size_t>(ATLAS_SIZE) * CHANNELS;
    pixels.assign(row_bytes * ATLAS_SIZE, 0);
    // An RGB file is read row by row as it is; others through a row buffer of all their
    // channels, which is several times faster than asking the reader for a channel range.
    int const file_channels = spec.nchannels;
    std::vector<unsigned char> row(
        file_channels == CHANNELS ? 0 : static_cast<size_t>(ATLAS_SIZE) * file_channels);
    for (int y = 0; y < ATLAS_SIZE; ++y) {
        unsigned char* target = &pixels[row_bytes * y];
        if (!in->read_scanline(y, 0, OIIO::TypeDesc::UINT8, row.empty() ? target : row.data())) {
            CORE_LOG_WARNING("GuiFontAtlas.read_cache: " << path << ": row " << y << " unreadable ("
                                                         << in->geterror() << "); the atlas is made again\n");
            pixels.clear();
            return false;
        }
        for (int x = 0; !row.empty() && x < ATLAS_SIZE; ++x)
            std::copy_n(&row[static_cast<size_t>(x) * file_channels], CHANNELS, target + x * CHANNELS);
    }
    return true;
}

bool GuiFontAtlas::write_cache(CoreString const& path, std::vector<unsigned char> const& pixels)
{
    if (pixels.size() != static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE * CHANNELS) return false;
    CoreString const folder = SysFilesystem::get_folder(path);
    if (!SysFilesystem::create_folder(folder)) {
        CORE_LOG_WARNING("GuiFontAtlas.write_cache: can't create the cache folder "
                         << folder << "; the atlas is not cached\n");
        return false;
    }
    // Written beside the target under a name of this process, then renamed over it.
    CoreString const temporary = path + "." + static_cast<int>(::getpid()) + ".tmp";
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create("png");
    OIIO::ImageSpec spec(ATLAS_SIZE, ATLAS_SIZE, CHANNELS, OIIO::TypeDesc::UINT8);
    // The atlas is mostly empty cells: the fastest compression is nearly as small.
    spec.attribute("png:compressionLevel", 1);
    bool written = out && out->open(temporary.get_data(), spec) &&
                   out->write_image(OIIO::TypeDesc::UINT8, pixels.data());
    if (out && !out->close()) written = false;
    if (!written) {
        CORE_LOG_WARNING("GuiFontAtlas.write_cache: can't write "
                         << temporary << " (" << (out ? out->geterror() : OIIO::geterror())
                         << "); the atlas is not cached\n");
        if (SysFilesystem::file_exists(temporary)) SysFilesystem::remove_file(temporary);
        return false;
    }
    if (!SysFilesystem::rename_file(temporary, path)) {
        SysFilesystem::remove_file(temporary);
        return false;
    }
    return true;
}
