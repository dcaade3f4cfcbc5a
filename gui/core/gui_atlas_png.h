#pragma once
// GuiAtlasPng: the PNG layout of the glyph atlas cache, made to be read back with plain copies.
// The image is 8-bit greyscale, every row unfiltered (filter byte 0), and its zlib stream is
// made of stored deflate blocks of whole rows, so that reading is finding the rows and copying
// them out: no inflating, no unfiltering. A private chunk "qnAt" right after the header holds
// the layout's version, the image's edge and a 64-bit checksum of the pixels (CoreHash's
// generate_64 of the rows' own hashes, so that each row is checked while it is at hand), all
// big-endian. The CRCs and the Adler-32 that PNG asks for are written correctly, so any viewer
// opens the file; the reader checks the checksum instead, which is several times faster.
#include <cstddef>
#include <functional>
#include <vector>

#include "gui/core/gui_export.h"
#include "host/core/core_string.h"

class QN_GUI_API GuiAtlasPng {
public:
    GuiAtlasPng() = delete;

    // Raised whenever the layout or the making of the fields changes: files of another
    // version are made again. 2: fields from the glyphs' coverage. 3: each field from the
    // outline or the coverage, whichever is cheaper for the glyph.
    static constexpr unsigned int VERSION = 3;

    enum Result : int {
        RESULT_OK,        // the pixels were read and match their checksum
        RESULT_NOT_OURS,  // not this layout (another PNG, or no PNG): a general decoder may read it
        RESULT_BAD,       // this layout, but unusable (cut short, corrupt, another version or size)
        RESULT_COUNT
    };
    static char const* get_result_name(Result const& result);

    // Writes the file of a square one-channel image of `size` × `size` pixels, rows from the
    // top, through `write`, a stored block (at most 64 KiB) at a time; false when `write`
    // fails, the size is not positive or a row does not fit in a stored block.
    static bool encode(unsigned char const* pixels, int const& size,
                       std::function<bool(unsigned char const* bytes, size_t length)> const& write);

    // Reads a file's bytes into `pixels` (size × size, rows from the top), when they are this
    // layout with an image of `size` × `size`. On RESULT_BAD, `problem` says what is wrong
    // ("is cut short", ...), to follow the file's name in a message; `pixels` is then
    // unspecified.
    static Result decode(unsigned char const* bytes, size_t const& length, int const& size,
                         std::vector<unsigned char>& pixels, CoreString& problem);
};
