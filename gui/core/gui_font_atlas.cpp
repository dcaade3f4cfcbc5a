// Glyph atlases: metrics and distance fields from FreeType (its sdf renderers, one glyph per
// task on the host's task manager, after the atlas is listed), fontconfig file lookup and the
// PNG cache.
#include "gui/core/gui_font_atlas.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_OUTLINE_H

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "gui/core/gui_atlas_png.h"
#include "host/core/core_log.h"
#include "host/image/image_io.h"
#include "host/sys/sys_file.h"
#include "host/sys/sys_filesystem.h"
#include "host/sys/sys_functions.h"
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
    CORE_LOG_ERROR("GuiFontAtlas: FT_Error (line " << line << ", code " << error << ") : " << ft_error_text(error) << "\n");
    return false;
}
#define QN_FT_OK(call) ft_ok((call), __LINE__)

using FontDesc = GuiFont::FontDesc;

// A face of a family: what a base atlas is made for.
struct FaceKey {
    CoreString family;  // lower-cased
    GuiFont::Weight weight;
    GuiFont::Style style;
    bool operator==(FaceKey const& other) const
    {
        return weight == other.weight && style == other.style && family == other.family;
    }
};

// Every atlas made in the process; never freed, so that descriptors and their addresses stay
// valid for the life of the process. The faces whose base atlas a thread is making are listed
// too: a thread asking for one of them waits for it instead of making it a second time, and
// nobody holds the lock while an atlas is made, so atlases of other faces stay at hand.
struct FontDescList {
    std::mutex lock;
    std::condition_variable made;
    std::vector<FontDesc*> descs;
    std::vector<FaceKey> making;
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

// The base atlas of a face when it exists (after waiting for a thread making it); otherwise
// null, and the caller is now the one making it and must call publish_base.
FontDesc const* claim_base(FaceKey const& key)
{
    FontDescList& list = font_desc_list();
    std::unique_lock<std::mutex> guard(list.lock);
    for (;;) {
        if (FontDesc const* desc = find_desc(key.family, key.weight, key.style, GuiFontAtlas::BASE_SIZE))
            return desc;
        if (std::find(list.making.begin(), list.making.end(), key) == list.making.end()) break;
        list.made.wait(guard);
    }
    list.making.push_back(key);
    return nullptr;
}

// Ends a claim: lists the atlas made (null when it failed) and wakes the threads waiting.
FontDesc const* publish_base(FaceKey const& key, std::unique_ptr<FontDesc> desc)
{
    FontDescList& list = font_desc_list();
    FontDesc const* made = desc.get();
    {
        std::lock_guard<std::mutex> guard(list.lock);
        if (desc) list.descs.push_back(desc.release());
        list.making.erase(std::find(list.making.begin(), list.making.end(), key));
    }
    list.made.notify_all();
    return made;
}

// A number of independent pieces of work. Each piece is taken once, by a task of the host's
// task manager or by the thread that made the work, which takes pieces too while it waits: so
// the work is finished even when the manager's threads are busy, and a call from a task of the
// manager cannot wait for itself. Tasks that start after all pieces are taken return at once;
// they keep this object alive, not the caller.
class SharedWork {
public:
    SharedWork(size_t count, std::function<void(size_t)> piece) : m_count(count), m_piece(std::move(piece)) {}

    // Queues a task for every piece but one, does pieces until none is left, then returns
    // when the pieces the tasks took are done too.
    static void run(size_t count, std::function<void(size_t)> piece);

    // Does the next piece nobody has taken; false when none is left.
    bool do_next()
    {
        size_t const taken = m_next.fetch_add(1, std::memory_order_relaxed);
        if (taken >= m_count) return false;
        m_piece(taken);
        std::lock_guard<std::mutex> guard(m_done_mutex);
        if (++m_done == m_count) m_done_signal.notify_all();
        return true;
    }

private:
    void wait()
    {
        std::unique_lock<std::mutex> guard(m_done_mutex);
        m_done_signal.wait(guard, [this] { return m_done == m_count; });
    }

    size_t m_count;
    std::function<void(size_t)> m_piece;
    std::atomic<size_t> m_next{0};
    std::mutex m_done_mutex;
    std::condition_variable m_done_signal;
    size_t m_done = 0;
};

// A piece of atlas work queued on the host's task manager; the function keeps what it works
// on alive.
class GuiFontAtlasTask : public SysThreadTask {
    CORE_DECLARE_CLASS(GuiFontAtlasTask, SysThreadTask)

public:
    explicit GuiFontAtlasTask(std::function<void()> work) : m_work(std::move(work)) {}
    void run() override { m_work(); }

private:
    std::function<void()> m_work;
};

CORE_IMPLEMENT_CLASS(GuiFontAtlasTask, SysThreadTask)

void SharedWork::run(size_t count, std::function<void(size_t)> piece)
{
    if (count == 0) return;
    auto work = std::make_shared<SharedWork>(count, std::move(piece));
    SysThreadTaskManager& manager = SysThreadTaskManager::get_default();
    for (size_t i = 1; i < count; ++i) manager.add_task(new GuiFontAtlasTask([work] { work->do_next(); }), true);
    while (work->do_next()) {
    }
    work->wait();
}

// A glyph whose distance field is to be made, and the cell it goes to.
struct GlyphCell {
    int cell;  // character code + 128
    FT_UInt index;
};

// The faces through which the threads of one atlas render its glyphs. A FreeType face serves
// one thread at a time, and faces of a shared library are opened and closed under a lock:
// each thread opens one face of its own on its first glyph and keeps it for the others.
class GlyphFaces {
public:
    GlyphFaces(FT_Library library, unsigned char const* data, size_t size, int face_index)
        : m_library(library), m_data(data), m_size(size), m_face_index(face_index), m_id(++s_next_id)
    {
    }
    ~GlyphFaces()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        for (FT_Face face : m_faces) FT_Done_Face(face);
    }
    GlyphFaces(GlyphFaces const&) = delete;
    GlyphFaces& operator=(GlyphFaces const&) = delete;

    // The calling thread's face at the atlas's size; null when it cannot be opened (logged).
    FT_Face get_face()
    {
        // Keyed by the atlas's number: a face of an earlier atlas is never taken for this one.
        // A thread keeps the faces of the last few atlases, which it may take turns on.
        struct Kept {
            uint64_t id = 0;
            FT_Face face = nullptr;
        };
        thread_local Kept t_kept[4];
        thread_local unsigned int t_next = 0;
        for (Kept const& kept : t_kept)
            if (kept.id == m_id) return kept.face;
        FT_Face face = nullptr;
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!QN_FT_OK(FT_New_Memory_Face(m_library, m_data, static_cast<FT_Long>(m_size), m_face_index, &face)))
            return nullptr;
        m_faces.push_back(face);
        if (!QN_FT_OK(FT_Set_Char_Size(face, 0, GuiFontAtlas::BASE_SIZE * 64, 72, 72))) return nullptr;
        t_kept[t_next++ % 4] = Kept{m_id, face};
        return face;
    }

private:
    static inline std::atomic<uint64_t> s_next_id{0};
    FT_Library m_library;
    unsigned char const* m_data;
    size_t m_size;
    int m_face_index;
    uint64_t m_id;
    std::mutex m_mutex;
    std::vector<FT_Face> m_faces;
};

// True when the outline's filled contours lie apart: no two of the same winding have
// meeting boxes. Holes (the other winding) may lie inside their contour. Only such glyphs
// may take the outline renderer, which reads the edges of overlapping contours (a cedilla
// joined to its C, the bar through an O) as edges inside the shape.
bool has_filled_contours_apart(FT_Outline const& outline)
{
    struct Contour {
        FT_Pos left, bottom, right, top;
        bool counterclockwise;
    };
    std::vector<Contour> contours;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        int const last = outline.contours[c];
        if (last < first || last >= outline.n_points) return false;
        FT_Vector const& start = outline.points[first];
        Contour box{start.x, start.y, start.x, start.y, false};
        double twice_area = 0.0;
        for (int i = first; i <= last; ++i) {
            FT_Vector const& p = outline.points[i];
            FT_Vector const& q = outline.points[i == last ? first : i + 1];
            box.left = std::min(box.left, p.x);
            box.bottom = std::min(box.bottom, p.y);
            box.right = std::max(box.right, p.x);
            box.top = std::max(box.top, p.y);
            twice_area += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
        }
        box.counterclockwise = twice_area > 0.0;
        for (Contour const& other : contours)
            if (other.counterclockwise == box.counterclockwise && other.left <= box.right && box.left <= other.right &&
                other.bottom <= box.top && box.bottom <= other.top)
                return false;
        contours.push_back(box);
        first = last + 1;
    }
    return true;
}

// FreeType renders distance fields two ways: from the glyph's coverage (`bsdf`, whose time
// follows the box's area) or from its outline (`sdf`, whose time follows the segments, a
// curve about twice a line). Each glyph takes the cheaper: timed on the 756 glyphs of the
// built-in faces, the choice costs a fifth less than the coverage alone. The weights are those
// timings' fit, in pixels of the box per point.
bool renders_field_from_outline(FT_GlyphSlot slot)
{
    constexpr long AREA_PER_LINE_POINT = 80;
    constexpr long AREA_PER_CURVE_POINT = 170;
    FT_Outline const& outline = slot->outline;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || outline.n_points <= 0) return false;
    long cost = 0;
    for (int i = 0; i < outline.n_points; ++i)
        cost += FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON ? AREA_PER_LINE_POINT : AREA_PER_CURVE_POINT;
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    long const margin = 2L * GuiFontAtlas::SPREAD;
    long const area = ((box.xMax - box.xMin) / 64 + margin) * ((box.yMax - box.yMin) / 64 + margin);
    return cost < area && has_filled_contours_apart(outline);
}

// Renders one glyph's distance field with one of FreeType's sdf renderers into its cell, from
// the cell's top-left corner, clipped to it. Both give the field the same box: the glyph's
// coverage box grown by the spread.
void render_glyph_field(GlyphFaces& faces, GlyphCell const& glyph, unsigned char* atlas)
{
    FT_Face const face = faces.get_face();
    if (!face) return;
    bool rendered = false;
    if (!FT_Load_Glyph(face, glyph.index, FT_LOAD_DEFAULT)) {
        if (renders_field_from_outline(face->glyph))
            rendered = !FT_Render_Glyph(face->glyph, FT_RENDER_MODE_SDF);
        else
            rendered = !FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) &&
                       !FT_Render_Glyph(face->glyph, FT_RENDER_MODE_SDF);
    }
    if (!rendered) {
        CORE_LOG_WARNING("Freetype: Error decomposing the glyph outline \n");
        return;
    }
    FT_Bitmap const& bitmap = face->glyph->bitmap;
    size_t const x0 = static_cast<size_t>(GuiFontAtlas::get_cell_x(glyph.cell));
    size_t const y0 = static_cast<size_t>(GuiFontAtlas::get_cell_y(glyph.cell));
    size_t const columns = std::min<size_t>(bitmap.width, GuiFontAtlas::CELL_SIZE);
    size_t const rows = std::min<size_t>(bitmap.rows, GuiFontAtlas::CELL_SIZE);
    for (size_t y = 0; y < rows; ++y)
        std::copy_n(bitmap.buffer + static_cast<long>(y) * bitmap.pitch, columns,
                    atlas + (y0 + y) * GuiFontAtlas::ATLAS_SIZE + x0);
}

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

}  // namespace

// The fields of a made atlas's glyphs, made after the atlas is listed: one task per glyph on
// the host's task manager takes the next glyph nobody has started, in code order; a thread
// that needs a glyph first makes it itself, or waits for the thread making it. The thread
// that makes the last field writes the cache file.
class GuiFontGlyphFields {
public:
    // Takes the FreeType library (with the sdf spread set); copies the font bytes.
    GuiFontGlyphFields(FaceKey const& key, FT_Library library, unsigned char const* data, size_t const& size,
                       int const& face_index, std::vector<GlyphCell> glyphs,
                       std::shared_ptr<std::vector<unsigned char>> pixels, CoreString const& cache_path)
        : m_key(key),
          m_library(library),
          m_font_bytes(reinterpret_cast<char const*>(data), size),
          m_glyphs(std::move(glyphs)),
          m_states(new std::atomic<int>[m_glyphs.size()]),
          m_ready(FontDesc::GLYPH_COUNT - static_cast<int>(m_glyphs.size())),
          m_pixels(std::move(pixels)),
          m_cache_path(cache_path)
    {
        m_glyph_of_cell.fill(-1);
        for (size_t i = 0; i < m_glyphs.size(); ++i) {
            m_glyph_of_cell[static_cast<size_t>(m_glyphs[i].cell)] = static_cast<int>(i);
            m_states[i].store(PENDING, std::memory_order_relaxed);
        }
        m_faces = std::make_unique<GlyphFaces>(m_library, reinterpret_cast<unsigned char const*>(m_font_bytes.data()),
                                               m_font_bytes.size(), face_index);
    }
    ~GuiFontGlyphFields()
    {
        m_faces.reset();
        FT_Done_FreeType(m_library);
    }
    GuiFontGlyphFields(GuiFontGlyphFields const&) = delete;
    GuiFontGlyphFields& operator=(GuiFontGlyphFields const&) = delete;

    // Queues the tasks that make the fields.
    static void start(std::shared_ptr<GuiFontGlyphFields> const& fields);

    bool is_ready(int const& cell) const
    {
        if (cell < 0 || cell >= FontDesc::GLYPH_COUNT) return true;
        int const glyph = m_glyph_of_cell[static_cast<size_t>(cell)];
        return glyph < 0 || m_states[glyph].load(std::memory_order_acquire) == READY;
    }
    int get_ready_count() const { return m_ready.load(std::memory_order_acquire); }

    void make(int const& cell)
    {
        if (is_ready(cell) || make_glyph(static_cast<size_t>(m_glyph_of_cell[static_cast<size_t>(cell)]))) return;
        std::unique_lock<std::mutex> guard(m_mutex);
        m_changed.wait(guard, [this, &cell] { return is_ready(cell); });
    }

    void make_all()
    {
        for (size_t i = 0; i < m_glyphs.size(); ++i) make_glyph(i);
        std::unique_lock<std::mutex> guard(m_mutex);
        m_changed.wait(guard, [this] { return m_complete; });
    }

    // A task's work: the next glyph nobody has started; false when none is left.
    bool make_next()
    {
        for (;;) {
            size_t const next = m_next.fetch_add(1, std::memory_order_relaxed);
            if (next >= m_glyphs.size()) return false;
            if (make_glyph(next)) return true;
        }
    }

private:
    enum : int { PENDING, MAKING, READY };

    // Makes glyph `i`'s field unless a thread has started it; true when this call made it.
    bool make_glyph(size_t const& i)
    {
        int expected = PENDING;
        if (!m_states[i].compare_exchange_strong(expected, MAKING, std::memory_order_acq_rel)) return false;
        render_glyph_field(*m_faces, m_glyphs[i], m_pixels->data());
        m_states[i].store(READY, std::memory_order_release);
        bool const last = m_ready.fetch_add(1, std::memory_order_acq_rel) + 1 == FontDesc::GLYPH_COUNT;
        // Taken so that a waiter between its check and its wait is not missed.
        { std::lock_guard<std::mutex> guard(m_mutex); }
        m_changed.notify_all();
        if (last) finish();
        return true;
    }

    // After the last field: the cache file, then the threads waiting for all.
    void finish()
    {
        if (!m_cache_path.is_empty()) GuiFontAtlas::write_cache(m_cache_path, *m_pixels);
        CORE_LOG_INFO("GuiFont.rasterize_font_buffer: made the atlas of \""
                      << m_key.family << "\" " << GuiFont::get_weight_name(m_key.weight) << " "
                      << GuiFont::get_style_name(m_key.style) << " in " << m_timer.get_elapsed_time() << " s\n");
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_complete = true;
        }
        m_changed.notify_all();
    }

    FaceKey m_key;
    FT_Library m_library;
    std::string m_font_bytes;
    std::vector<GlyphCell> m_glyphs;
    std::array<int, FontDesc::GLYPH_COUNT> m_glyph_of_cell{};
    std::unique_ptr<std::atomic<int>[]> m_states;
    std::atomic<size_t> m_next{0};
    std::atomic<int> m_ready;
    std::shared_ptr<std::vector<unsigned char>> m_pixels;
    CoreString m_cache_path;
    std::unique_ptr<GlyphFaces> m_faces;
    SysTimer m_timer;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_complete = false;
};

void GuiFontGlyphFields::start(std::shared_ptr<GuiFontGlyphFields> const& fields)
{
    if (fields->m_glyphs.empty()) {
        fields->finish();
        return;
    }
    SysThreadTaskManager& manager = SysThreadTaskManager::get_default();
    for (size_t i = 0; i < fields->m_glyphs.size(); ++i)
        manager.add_task(new GuiFontAtlasTask([fields] { fields->make_next(); }), true);
}

namespace {

FontDesc const* list_face(CoreString const& family, GuiFont::Weight const& weight, GuiFont::Style const& style,
                          unsigned char const* data, size_t const& size, CoreString const& font_file_name,
                          int const& face_index);

// The size-72 atlas of a family, weight and style from its font file: the built-in bytes for
// "roboto", else the file fontconfig picks.
FontDesc const* rasterize_face(CoreString const& family, GuiFont::Weight const& weight,
                               GuiFont::Style const& style)
{
    CoreString const file_name = GuiFontAtlas::get_font_file_name(family, weight, style);
    if (GuiFontAtlas::is_builtin_family(family)) {
        unsigned char const* data = nullptr;
        size_t size = 0;
        GuiFontAtlas::get_builtin_font_data(weight, style, data, size);
        return list_face(family, weight, style, data, size, file_name, 0);
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
    return list_face(family, weight, style, reinterpret_cast<unsigned char const*>(bytes.get_data()),
                     bytes.get_length(), file_name, face_index);
}

// Makes a base atlas: the metrics from the face, the pixels from the cache or from FreeType's
// sdf renderers. Null after a FreeType error. `write_to` is set to the cache file to write once the
// atlas is listed, when it was made or read by the general decoder.
std::unique_ptr<FontDesc> make_base(FaceKey const& key, unsigned char const* data, size_t const& size,
                                    CoreString const& font_file_name, int const& face_index,
                                    CoreString& write_to)
{
    FtLibraryScope ft;
    if (FT_Error const error = FT_Init_FreeType(&ft.library)) {
        ft.library = nullptr;
        CORE_LOG_ERROR("GuiFontAtlas: FT_Error (" << error << ") : " << ft_error_text(error) << "\n");
        return nullptr;
    }
    FT_Int spread = GuiFontAtlas::SPREAD;
    if (!QN_FT_OK(FT_Property_Set(ft.library, "bsdf", "spread", &spread)) ||
        !QN_FT_OK(FT_Property_Set(ft.library, "sdf", "spread", &spread)))
        return nullptr;
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
    bool own_layout = false;
    bool const loaded = !cache_path.is_empty() && SysFilesystem::file_exists(cache_path) &&
                        GuiFontAtlas::read_cache(cache_path, *pixels, &own_layout);
    if (!loaded) pixels->assign(static_cast<size_t>(GuiFontAtlas::ATLAS_SIZE) * GuiFontAtlas::ATLAS_SIZE, 0);

    auto desc = std::make_unique<FontDesc>();
    desc->family = key.family;
    desc->weight = key.weight;
    desc->style = key.style;
    desc->size = GuiFontAtlas::BASE_SIZE;
    desc->atlas_size = GuiFontAtlas::ATLAS_SIZE;
    desc->distance_range = GuiFontAtlas::SPREAD;
    desc->unit = GuiFontAtlas::UNIT;
    std::vector<GlyphCell> glyphs;
    for (int code = -128; code < 128; ++code) {
        int const cell = code + 128;
        // Signed character codes stand for Latin-1 code points: -128..-1 are 128..255.
        FT_ULong const code_point = static_cast<unsigned char>(static_cast<signed char>(code));
        FT_UInt const glyph = FT_Get_Char_Index(ft.face, code_point);
        if (glyph == 0) continue;
        // Loading an outline glyph also sets the bitmap box that rendering it would give.
        if (!QN_FT_OK(FT_Load_Glyph(ft.face, glyph, FT_LOAD_DEFAULT))) continue;
        FT_GlyphSlot const slot = ft.face->glyph;
        desc->advance[cell] = static_cast<double>(slot->advance.x >> 6);
        desc->width[cell] = slot->bitmap.width + 2.0 * GuiFontAtlas::SPREAD;
        desc->bottom[cell] = static_cast<double>(slot->bitmap_top - static_cast<int>(slot->bitmap.rows)) -
                             GuiFontAtlas::SPREAD;
        desc->left[cell] = static_cast<double>(slot->bitmap_left) - GuiFontAtlas::SPREAD;
        desc->height[cell] = slot->bitmap.rows + 2.0 * GuiFontAtlas::SPREAD;
        // An empty outline (a space) has no field to render.
        if (loaded || (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points == 0)) continue;
        glyphs.push_back({cell, glyph});
    }

    desc->pixels = pixels;
    if (!loaded) {
        // The fields are made after the atlas is listed, through the library, which the
        // metrics' face leaves first: faces of one library open and close one at a time.
        FT_Done_Face(ft.face);
        ft.face = nullptr;
        desc->fields = std::make_shared<GuiFontGlyphFields>(key, ft.library, data, size, face_index,
                                                            std::move(glyphs), pixels, cache_path);
        ft.library = nullptr;
        return desc;
    }
    CORE_LOG_INFO("GuiFont.rasterize_font_buffer: read the atlas of \""
                  << key.family << "\" " << GuiFont::get_weight_name(key.weight) << " "
                  << GuiFont::get_style_name(key.style) << " from " << cache_path << "\n");
    // A file read by the general decoder is rewritten in the cache's layout, which reads faster.
    if (!own_layout) write_to = cache_path;
    return desc;
}

// The size-72 atlas of a face, listed as soon as its metrics are known; its fields may
// still be in the making (see GuiFont::rasterize_font_buffer).
FontDesc const* list_face(CoreString const& family, GuiFont::Weight const& weight, GuiFont::Style const& style,
                          unsigned char const* data, size_t const& size, CoreString const& font_file_name,
                          int const& face_index)
{
    FaceKey const key{family.get_lower_case(), weight, style};
    if (FontDesc const* desc = claim_base(key)) return desc;
    if (!data || size == 0) {
        CORE_LOG_WARNING("GuiFont.rasterize_font_buffer: no font data for \"" << family << "\"\n");
        return publish_base(key, nullptr);
    }
    CoreString write_to;
    FontDesc const* desc = publish_base(key, make_base(key, data, size, font_file_name, face_index, write_to));
    if (!desc) return nullptr;
    if (desc->fields) GuiFontGlyphFields::start(desc->fields);
    // Written once listed: threads waiting for the atlas need not wait for the file too.
    if (!write_to.is_empty()) GuiFontAtlas::write_cache(write_to, *desc->pixels);
    return desc;
}

}  // namespace

// --- GuiFont: atlases ----------------------------------------------------------------------

GuiFont::FontDesc const* GuiFont::find_rasterized_font_data(CoreString const& family, Weight const& weight,
                                                            Style const& style, int const& size)
{
    FontDescList& list = font_desc_list();
    std::lock_guard<std::mutex> guard(list.lock);
    return find_desc(family.get_lower_case(), weight, style, size);
}

GuiFont::FontDesc const* GuiFont::get_rasterized_font_data(GuiFont const& font)
{
    if (FontDesc const* desc = find_rasterized_font_data(font.get_family(), font.get_weight(),
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
    if (FontDesc const* desc = find_rasterized_font_data(family, weight, style, size)) return desc;
    FontDesc const* base = find_rasterized_font_data(family, weight, style, GuiFontAtlas::BASE_SIZE);
    if (!base) base = rasterize_face(family, weight, style);
    if (!base || size == GuiFontAtlas::BASE_SIZE) return base;

    FontDescList& list = font_desc_list();
    std::lock_guard<std::mutex> guard(list.lock);
    // Another thread may have made this size meanwhile.
    if (FontDesc const* desc = find_desc(family, weight, style, size)) return desc;
    auto* desc = new FontDesc();
    desc->family = family;
    desc->weight = weight;
    desc->style = style;
    desc->size = size;
    desc->pixels = base->pixels;
    desc->fields = base->fields;
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
    FontDesc const* desc = list_face(family, weight, style, data, size, font_file_name, face_index);
    if (desc) desc->make_all_glyphs();
    return desc;
}

// --- GuiFont::FontDesc: the fields in the making -------------------------------------------

bool GuiFont::FontDesc::is_glyph_ready(int const& index) const
{
    return !fields || fields->is_ready(index);
}

int GuiFont::FontDesc::get_ready_glyph_count() const
{
    return fields ? fields->get_ready_count() : GLYPH_COUNT;
}

void GuiFont::FontDesc::make_glyphs(std::string const& codes) const
{
    if (!fields || fields->get_ready_count() == GLYPH_COUNT) return;
    for (char const c : codes) fields->make(static_cast<signed char>(c) + 128);
}

void GuiFont::FontDesc::make_all_glyphs() const
{
    if (fields) fields->make_all();
}

void GuiFont::load_pregenerated_rasterized_font_data_if_exists()
{
    struct Face {
        Weight weight;
        Style style;
        CoreString file_name;
    };
    CoreString const family("roboto");
    std::vector<Face> faces;
    for (int style = STYLE_NORMAL; style <= STYLE_ITALIC; ++style) {
        for (int weight = WEIGHT_NORMAL; weight <= WEIGHT_BOLD; ++weight) {
            Weight const w = static_cast<Weight>(weight);
            Style const s = static_cast<Style>(style);
            CoreString const file_name = GuiFontAtlas::get_font_file_name(family, w, s);
            if (SysFilesystem::file_exists(GuiFontAtlas::get_cache_file_path(file_name)))
                faces.push_back({w, s, file_name});
        }
    }
    // The faces are read side by side: most of the time goes into copying their pixels.
    SharedWork::run(faces.size(), [&faces, &family](size_t i) {
        unsigned char const* data = nullptr;
        size_t size = 0;
        GuiFontAtlas::get_builtin_font_data(faces[i].weight, faces[i].style, data, size);
        rasterize_font_buffer(family, faces[i].weight, faces[i].style, data, size, faces[i].file_name);
    });
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

// A file's bytes mapped into memory for reading; empty when the file cannot be mapped.
class MappedFile {
public:
    explicit MappedFile(CoreString const& path)
    {
        int const fd = ::open(path.get_data(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat status = {};
        if (::fstat(fd, &status) == 0 && status.st_size > 0) {
            // Populated at once: faulting the pages in one by one would cost more than reading.
            void* bytes = ::mmap(nullptr, static_cast<size_t>(status.st_size), PROT_READ,
                                 MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (bytes != MAP_FAILED) {
                m_bytes = static_cast<unsigned char const*>(bytes);
                m_length = static_cast<size_t>(status.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile()
    {
        if (m_bytes) ::munmap(const_cast<unsigned char*>(m_bytes), m_length);
    }
    MappedFile(MappedFile const&) = delete;
    MappedFile& operator=(MappedFile const&) = delete;

    unsigned char const* get_bytes() const { return m_bytes; }
    size_t get_length() const { return m_length; }

private:
    unsigned char const* m_bytes = nullptr;
    size_t m_length = 0;
};

// Reserves room for `size` bytes in `pixels` and has the kernel make its pages at once: a
// quarter cheaper than faulting them in one by one as the rows are copied.
void reserve_populated(std::vector<unsigned char>& pixels, size_t const& size)
{
    pixels.reserve(size);
#ifdef MADV_POPULATE_WRITE
    size_t const page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    uintptr_t const first = (reinterpret_cast<uintptr_t>(pixels.data()) + page - 1) / page * page;
    uintptr_t const last = (reinterpret_cast<uintptr_t>(pixels.data()) + size) / page * page;
    // Older kernels refuse the advice; the pages are then made as they are written.
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

// A PNG file ends with its IEND chunk. Checking for it catches a file cut short before the
// decoder meets its end: libpng reports that by a long jump out of OpenImageIO's reader,
// which skips destructors there.
bool has_png_end(MappedFile const& file)
{
    static unsigned char const iend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82};
    return file.get_length() >= 12 && std::equal(iend, iend + 12, file.get_bytes() + file.get_length() - 12);
}

// Reads an image of another layout through the image module: one channel as it is, or the
// median of the first three.
bool read_general_image(CoreString const& path, std::vector<unsigned char>& pixels)
{
    int const size = GuiFontAtlas::ATLAS_SIZE;
    ImageIoPixels image;
    std::string error;
    if (!ImageIo::read(path.std_string(), image, error)) {
        CORE_LOG_WARNING("GuiFontAtlas.read_cache: " << path << " is not a readable image (" << error
                                                     << "); the atlas is made again\n");
        return false;
    }
    int const channels = static_cast<int>(image.channel_names.size());
    if (image.width != size || image.height != size) {
        CORE_LOG_WARNING("GuiFontAtlas.read_cache: " << path << " is " << image.width << " x " << image.height
                                                     << " with " << channels << " channels, not " << size << " x "
                                                     << size << "; the atlas is made again\n");
        return false;
    }
    auto const byte = [&image](size_t const& at) { return ImageIo::get_byte(image, at); };
    pixels.resize(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < pixels.size(); ++i) {
        size_t const at = i * static_cast<size_t>(channels);
        unsigned char const r = byte(at);
        if (channels < 3) {
            pixels[i] = r;
        } else {
            unsigned char const g = byte(at + 1), b = byte(at + 2);
            pixels[i] = std::max(std::min(r, g), std::min(std::max(r, g), b));
        }
    }
    return true;
}

}  // namespace

bool GuiFontAtlas::read_cache(CoreString const& path, std::vector<unsigned char>& pixels, bool* own_layout)
{
    if (own_layout) *own_layout = false;
    MappedFile const file(path);
    reserve_populated(pixels, static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE);
    CoreString problem;
    GuiAtlasPng::Result const result =
        GuiAtlasPng::decode(file.get_bytes(), file.get_length(), ATLAS_SIZE, pixels, problem);
    if (result == GuiAtlasPng::RESULT_OK) {
        if (own_layout) *own_layout = true;
        return true;
    }
    if (result == GuiAtlasPng::RESULT_BAD) {
        CORE_LOG_WARNING("GuiFontAtlas.read_cache: " << path << " " << problem
                                                     << "; the atlas is made again\n");
    } else if (!has_png_end(file)) {
        CORE_LOG_WARNING(
            "GuiFontAtlas.read_cache: " << path << " is not a complete PNG file; the atlas is made again\n");
    } else if (read_general_image(path, pixels)) {
        return true;
    }
    pixels.clear();
    return false;
}

bool GuiFontAtlas::write_cache(CoreString const& path, std::vector<unsigned char> const& pixels)
{
    if (pixels.size() != static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE) {
        CORE_LOG_WARNING("GuiFontAtlas.write_cache: " << pixels.size() << " bytes are no atlas of "
                                                      << ATLAS_SIZE << " x " << ATLAS_SIZE << "; " << path
                                                      << " is not written\n");
        return false;
    }
    CoreString const folder = SysFilesystem::get_folder(path);
    if (!SysFilesystem::create_folder(folder)) {
        CORE_LOG_WARNING("GuiFontAtlas.write_cache: can't create the cache folder "
                         << folder << "; the atlas is not cached\n");
        return false;
    }
    // SysFile writes under a temporary name and renames it over the target when closed.
    SysFile file;
    bool const written = file.open(path, SysFile::MODE_WRITE) &&
                         GuiAtlasPng::encode(pixels.data(), ATLAS_SIZE,
                                             [&file](unsigned char const* bytes, size_t length) {
                                                 return file.write(bytes, length) == length;
                                             }) &&
                         file.close();
    if (!written) {
        file.discard();
        CORE_LOG_WARNING("GuiFontAtlas.write_cache: can't write " << path << "; the atlas is not cached\n");
    }
    return written;
}
