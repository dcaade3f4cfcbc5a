#pragma once
// GuiFont: a typeface family at a size in points, with a weight and a style, as the toolkit
// knows it. The font keeps one toolkit face index for each of the four weight/style
// combinations (normal, bold, italic, bold italic), so a widget switches to bold or italic
// without looking the family up again. Families come from the process-wide font table: every
// face the toolkit enumerates, grouped by lower-cased family name. A family the table does
// not know gets the stand-by face (the toolkit's current face when the table was built).
//
//     GuiFont font("Roboto", 12, GuiFont::WEIGHT_BOLD);
//     int w, h;
//     font.get_text_size("Label", w, h);
//
// GuiFont::FontDesc is the glyph atlas of a face at a size for OpenGL text: a signed distance
// field of the first 256 character codes in a 2952 × 2952 one-channel image, made once per
// family, weight and style at size 72 and shared by every other size (see gui_font_atlas.h).
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_base_object.h"
#include "host/core/core_string.h"
#include "host/core/core_vector.h"

class GuiFontGlyphFields;

class QN_GUI_API GuiFont : public CoreBaseObject {
    CORE_DECLARE_CLASS(GuiFont, CoreBaseObject)

public:
    enum Weight : int { WEIGHT_NORMAL = 0, WEIGHT_BOLD = 1 };
    enum Style : int { STYLE_NORMAL = 0, STYLE_ITALIC = 1 };
    static char const* get_weight_name(Weight const& weight);
    static char const* get_style_name(Style const& style);

    // The glyph atlas of one face at one size. Made by get_rasterized_font_data, listed
    // process-wide and never freed, so its address may key resources made from it (textures,
    // display lists). The per-glyph arrays are indexed by character code + 128 (signed char
    // codes, read as Latin-1 code points) and are in pixels at the descriptor's size.
    struct QN_GUI_API FontDesc {
        static constexpr int GLYPH_COUNT = 256;

        CoreString family;  // lower-cased
        Weight weight = WEIGHT_NORMAL;
        Style style = STYLE_NORMAL;
        int size = 0;
        // One channel of 8 bits, atlas_size × atlas_size, rows from the top: the distance to
        // the outline (128 on it, more inside). Shared by all sizes of the face; the OpenGL
        // texture repeats it in its three channels.
        std::shared_ptr<std::vector<unsigned char> const> pixels;
        int atlas_size = 0;
        // Distance, in atlas pixels, that the field covers on each side of the outline.
        double distance_range = 0.0;
        // Half the edge of a glyph cell, scaled to the size (82 pixels at size 72).
        double unit = 0.0;
        // Horizontal advance, in whole pixels at size 72 (scaled for other sizes).
        double advance[GLYPH_COUNT] = {};
        // Width of the glyph's field: the bitmap's width plus the field on both sides.
        double width[GLYPH_COUNT] = {};
        // Bottom of the glyph's field relative to the baseline (negative below it).
        double bottom[GLYPH_COUNT] = {};
        // Left edge of the glyph's field relative to the pen position.
        double left[GLYPH_COUNT] = {};
        // Height of the glyph's field: the bitmap's rows plus the field above and below. The
        // field lies in its atlas cell from the cell's top-left corner.
        double height[GLYPH_COUNT] = {};
        // An atlas made rather than read from the cache is listed with its metrics, and the
        // glyphs' fields are made afterwards on the host's task manager, in code order; a
        // thread that needs some first makes them itself (make_glyphs). Null when every
        // field was there from the start. Shared by the sizes of the face.
        std::shared_ptr<GuiFontGlyphFields> fields;

        // Whether the field of the glyph at `index` (code + 128) is in the pixels; a code
        // without a glyph counts as ready.
        bool is_glyph_ready(int const& index) const;
        // Glyphs whose field is in the pixels: a number that only grows, GLYPH_COUNT once
        // all are.
        int get_ready_glyph_count() const;
        // Returns once the fields of the atlas codes' glyphs are in the pixels, making the
        // ones nobody has started.
        void make_glyphs(std::string const& codes) const;
        // Returns once every field is in the pixels and the cache file, if any, is written.
        void make_all_glyphs() const;
    };

    // A copy of the default font.
    GuiFont();
    GuiFont(CoreString const& family, int const& size, Weight const& weight = WEIGHT_NORMAL,
            Style const& style = STYLE_NORMAL);
    GuiFont(GuiFont const& other) = default;
    GuiFont& operator=(GuiFont const& other) = default;
    ~GuiFont() override = default;

    size_t get_memory_size() const override { return sizeof(GuiFont) + m_family.get_length(); }

    // Takes the four faces of the family (a missing member falls back to the family's regular
    // face), or four stand-by faces when the table has no such family.
    void reset(CoreString const& family, int const& size, Weight const& weight = WEIGHT_NORMAL,
               Style const& style = STYLE_NORMAL);
    // Replaces the face of (weight, style) by the family's face of (face_weight, face_style)
    // and sets the size; nothing changes when the table has no such family.
    void set_face(Weight const& weight, Style const& style, CoreString const& family, int const& size,
                  Weight const& face_weight, Style const& face_style);

    void set_size(int const& size) { m_size = size; }
    void set_weight(Weight const& weight) { m_weight = weight; }
    void set_style(Style const& style) { m_style = style; }
    int const& get_size() const { return m_size; }
    Weight const& get_weight() const { return m_weight; }
    Style const& get_style() const { return m_style; }
    // The family as given to reset (the table's lookup ignores case).
    CoreString const& get_family() const { return m_family; }
    // Toolkit face index of the current weight and style.
    int get_index() const;
    // Face index of a weight and style (-1 for values out of range).
    int get_face_index(Weight const& weight, Style const& style) const;
    // Name of the current face, as the toolkit reports it.
    CoreString get_font_name() const;
    // Name of a face of the table; empty for indices out of range.
    static CoreString get_face_name(int const& index);

    // Makes this the toolkit's current font; nothing happens for a negative face index or
    // without a display.
    void make_current() const;

    // Size of the text drawn in this font (lines separated by '\n', symbols such as "@->"
    // drawn), measured by the toolkit. The toolkit's current font and size are left as they
    // were. Zero without a display. Safe from any thread (the toolkit's font is shared, so
    // measures take turns).
    void get_text_size(CoreString const& text, int& width, int& height) const;
    void get_text_size(char const* text, int& width, int& height) const;
    // Advance of `length` bytes of text drawn as they are (no symbols, no line breaks), in
    // fractional pixels. Zero without a display. Safe from any thread, like get_text_size.
    double get_text_width(char const* text, int const& length) const;
    // Line height and descent of the font, in pixels.
    int get_height() const;
    int get_descent() const;

    // The process-wide default font, made on first call: "Segoe UI" 12 when the table has
    // that family; else "Tahoma" 11 with its bold faces from "Arial" when that exists; else
    // "Roboto" 12; else the toolkit's sans faces at 12.
    static GuiFont const& get_default();

    // --- Font table ---

    // Faces of the table (the toolkit's 16 built-in faces without a display).
    static int get_face_count();
    // Face indices of a family's regular, bold, italic and bold-italic members (-1 where the
    // family has none); false when the table has no such family.
    static bool get_family_faces(CoreString const& family, int faces[4]);
    // Lower-cased names of the families of the table, sorted.
    static CoreVector<CoreString> get_family_names();
    // The toolkit's current face when the table was built.
    static int get_stand_by_face();

    // --- Glyph atlases (gui_font_atlas.cpp) ---

    // The atlas of the font's family, weight, style and size, made on first request; null
    // when the face cannot be rasterised (logged). A face not in the cache returns with its
    // metrics while its fields are still being made: see FontDesc::make_glyphs.
    static FontDesc const* get_rasterized_font_data(GuiFont const& font);
    // Makes the atlas of the font's size from the size-72 atlas of its face (rasterised
    // first if needed): the same pixels, the metrics scaled by size / 72.
    static FontDesc const* generate_rasterized_font_data(GuiFont const& font);
    // The size-72 atlas of a face from its font-file bytes, which need to live only during
    // the call: the existing one when the list has it (a thread making it is waited for),
    // else rendered with FreeType's sdf renderers or read from the atlas cache, where
    // `font_file_name` names its file. Returns with every field made. Null after a FreeType
    // error.
    static FontDesc const* rasterize_font_buffer(CoreString const& family, Weight const& weight,
                                                 Style const& style, unsigned char const* data,
                                                 size_t const& size, CoreString const& font_file_name,
                                                 int const& face_index = 0);
    // Makes the size-72 atlases of the built-in family "roboto" whose cache files exist,
    // reading the files side by side on the host's task manager.
    static void load_pregenerated_rasterized_font_data_if_exists();
    // The atlas of a family, weight, style and size if it was made; never makes one.
    static FontDesc const* find_rasterized_font_data(CoreString const& family, Weight const& weight,
                                                     Style const& style, int const& size);

private:
    CoreString m_family;
    int m_size = 12;
    Weight m_weight = WEIGHT_NORMAL;
    Style m_style = STYLE_NORMAL;
    // Normal, bold, italic, bold italic: position weight + 2 × style.
    int m_faces[4] = {0, 0, 0, 0};
};
