#pragma once
// GuiFontAtlas: the layout, the font files and the cache of the signed-distance-field glyph
// atlases of GuiFont::FontDesc. An atlas is a 2952 × 2952 RGB image cut into 164-pixel cells
// (two units of 82 pixels); glyph i (character code + 128) fills the cell in column
// i mod 16 + 1 and row i div 16 + 2 from its top-left corner. FreeType renders each glyph's
// distance field at size 72 with a spread of 5 pixels. Atlases are cached as PNG files in the
// "fonts" folder of the preferences folder, named after the face's font file
// ("robotob.ttf" -> "robotob_ttf.png").
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
    static constexpr int CHANNELS = 3;

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

    // Reads a cached atlas: a PNG of ATLAS_SIZE × ATLAS_SIZE with at least three channels,
    // whose first three become `pixels`. Any other file is refused with a warning.
    static bool read_cache(CoreString const& path, std::vector<unsigned char>& pixels);
    // Writes an atlas as PNG, through a temporary file renamed into place, creating the
    // folder when missing. A failure is logged as a warning.
    static bool write_cache(CoreString const& path, std::vector<unsigned char> const& pixels);
};
