#pragma once
// GuiFontAtlas: the layout, the font files and the cache of the signed-distance-field glyph
// atlases of GuiFont::FontDesc. An atlas is a 2952 × 2952 one-channel image cut into 164-pixel
// cells (two units of 82 pixels); glyph i (character code + 128) fills the cell in column
// i mod 16 + 1 and row i div 16 + 2 from its top-left corner. Each glyph's distance field is
// rendered at size 72 with a spread of 5 pixels by one of FreeType's sdf renderers (from the
// outline or from the coverage, whichever is cheaper for the glyph). Atlases are
// cached as PNG files in the "fonts" folder of the preferences folder, named after the face's
// font file ("robotob.ttf" -> "robotob_ttf.png"), in a layout that reads back with plain
// copies (GuiAtlasPng); any other PNG of the atlas's size is read too.
#include <cstddef>
#include <vector>

#include "gui/core/gui_export.h"
#include "gui/core/gui_font.h"
#include "host/core/core_string.h"

class QN_GUI_API GuiFontAtlas {
public:
    GuiFontAtlas() = delete;

    static constexpr int ATLAS_SIZE = 2952;
    static constexpr int BASE_SIZE = 72;
    static constexpr int UNIT = 82;
    static constexpr int CELL_SIZE = 2 * UNIT;
    static constexpr int SPREAD = 5;

    // Top-left pixel of the cell of glyph `index` (character code + 128).
    static int get_cell_x(int const& index) { return CELL_SIZE * (index % 16 + 1); }
    static int get_cell_y(int const& index) { return CELL_SIZE * (index / 16 + 2); }

    // The family that the library carries in itself ("roboto").
    static bool is_builtin_family(CoreString const& family);
    // The bytes of a built-in Roboto face.
    static void get_builtin_font_data(GuiFont::Weight const& weight, GuiFont::Style const& style,
                                      unsigned char const*& data, size_t& size);
    // File name of a face for the cache: the lower-cased family followed by "b" (bold), "i"
    // (italic) or "z" (bold italic), then ".ttf".
    static CoreString get_font_file_name(CoreString const& family, GuiFont::Weight const& weight,
                                         GuiFont::Style const& style);
    // The folder of the cached atlases: the preferences folder's "fonts".
    static CoreString get_cache_folder();
    // The cache file of a font file: its name after the last separator, dots made
    // underscores, then ".png", in the cache folder.
    static CoreString get_cache_file_path(CoreString const& font_file_name);

    // The font file that fontconfig picks for a family, weight and style, with the face's
    // index in it; false when it picks none.
    static bool find_font_file(CoreString const& family, GuiFont::Weight const& weight,
                               GuiFont::Style const& style, CoreString& path, int& face_index);

    // Reads a cached atlas into `pixels` (one channel, ATLAS_SIZE × ATLAS_SIZE). A file of
    // the cache's own layout is checked against its checksum; a file that carries that layout's
    // chunk but fails (cut short, corrupt, another version or size) is refused. Any other
    // image of ATLAS_SIZE × ATLAS_SIZE is decoded, its first channel taken when it has fewer
    // than three, else the median of the first three (what the text shader takes of an RGB
    // atlas). A refused file gets one warning. `own_layout`, when given, tells which way it
    // was read.
    static bool read_cache(CoreString const& path, std::vector<unsigned char>& pixels,
                           bool* own_layout = nullptr);
    // Writes an atlas (one channel, ATLAS_SIZE × ATLAS_SIZE) in the cache's layout, through a
    // temporary file renamed into place, creating the folder when missing. A failure is logged
    // as a warning.
    static bool write_cache(CoreString const& path, std::vector<unsigned char> const& pixels);
};
