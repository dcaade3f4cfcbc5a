#include "gui/core/gui_atlas_png.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "host/core/core_hash.h"

namespace {

unsigned char const s_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
size_t const HEADER_DATA = 13;
size_t const ATLAS_DATA = 16;  // version, edge, checksum
// A chunk's length, type and CRC around its data.
size_t const CHUNK_FRAME = 12;
// Signature, IHDR, qnAt: where the image data's chunk starts.
size_t const IDAT_AT = sizeof(s_signature) + CHUNK_FRAME + HEADER_DATA + CHUNK_FRAME + ATLAS_DATA;
// zlib's header: deflate with a 32 KiB window, no dictionary, the fastest level; a multiple of 31.
unsigned char const s_zlib_header[2] = {0x78, 0x01};
size_t const STORED_HEADER = 5;  // final flag and type, length, its complement
size_t const STORED_MAX = 65535;

void put_32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

std::uint32_t get_32(unsigned char const* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

// Adds a whole chunk: length, type, data and CRC.
void put_chunk(std::vector<unsigned char>& out, char const* type, std::vector<unsigned char> const& data)
{
    put_32(out, static_cast<std::uint32_t>(data.size()));
    size_t const typed = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_32(out, static_cast<std::uint32_t>(crc32_z(0, out.data() + typed, out.size() - typed)));
}

// The checksum of an image: the hash of its rows' hashes.
std::uint64_t get_checksum(std::vector<std::uint64_t> const& row_hashes)
{
    return CoreHash::generate_64(row_hashes.data(), row_hashes.size() * sizeof(std::uint64_t));
}

}  // namespace

char const* GuiAtlasPng::get_result_name(Result const& result)
{
    switch (result) {
    case RESULT_OK: return "RESULT_OK";
    case RESULT_NOT_OURS: return "RESULT_NOT_OURS";
    case RESULT_BAD: return "RESULT_BAD";
    case RESULT_COUNT: return "RESULT_COUNT";
    }
    return "RESULT_UNKNOWN";
}

bool GuiAtlasPng::encode(unsigned char const* pixels, int const& size,
                         std::function<bool(unsigned char const* bytes, size_t length)> const& write)
{
    size_t const edge = static_cast<size_t>(std::max(size, 0));
    size_t const row_bytes = edge + 1;  // the filter byte, then the pixels
    if (!pixels || edge == 0 || row_bytes > STORED_MAX) return false;
    size_t const rows_per_block = STORED_MAX / row_bytes;
    size_t const blocks = (edge + rows_per_block - 1) / rows_per_block;
    size_t const stream_length = sizeof(s_zlib_header) + blocks * STORED_HEADER + edge * row_bytes + 4;

    std::vector<std::uint64_t> row_hashes(edge);
    for (size_t row = 0; row < edge; ++row)
        row_hashes[row] = CoreHash::generate_64(pixels + row * edge, edge);
    std::uint64_t const checksum = get_checksum(row_hashes);
    std::vector<unsigned char> head(s_signature, s_signature + sizeof(s_signature));
    std::vector<unsigned char> data;
    put_32(data, static_cast<std::uint32_t>(edge));
    put_32(data, static_cast<std::uint32_t>(edge));
    // 8 bits, greyscale, deflate, adaptive filtering (each row says its own), no interlace.
    data.insert(data.end(), {8, 0, 0, 0, 0});
    put_chunk(head, "IHDR", data);
    data.clear();
    put_32(data, VERSION);
    put_32(data, static_cast<std::uint32_t>(edge));
    put_32(data, static_cast<std::uint32_t>(checksum >> 32));
    put_32(data, static_cast<std::uint32_t>(checksum));
    put_chunk(head, "qnAt", data);
    // The image data's chunk goes out a block at a time, its CRC and the Adler-32 summed on the way.
    put_32(head, static_cast<std::uint32_t>(stream_length));
    head.insert(head.end(), {'I', 'D', 'A', 'T', s_zlib_header[0], s_zlib_header[1]});
    uLong crc = crc32_z(0, head.data() + head.size() - 6, 6);
    if (!write(head.data(), head.size())) return false;

    uLong adler = adler32_z(0, nullptr, 0);
    std::vector<unsigned char> block;
    block.reserve(STORED_HEADER + rows_per_block * row_bytes);
    for (size_t row = 0; row < edge; row += rows_per_block) {
        size_t const rows = std::min(rows_per_block, edge - row);
        size_t const length = rows * row_bytes;
        block.assign({static_cast<unsigned char>(row + rows == edge ? 1 : 0),
                      static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
                      static_cast<unsigned char>(~length), static_cast<unsigned char>(~length >> 8)});
        for (size_t r = row; r < row + rows; ++r) {
            block.push_back(0);
            block.insert(block.end(), pixels + r * edge, pixels + (r + 1) * edge);
        }
        adler = adler32_z(adler, block.data() + STORED_HEADER, length);
        crc = crc32_z(crc, block.data(), block.size());
        if (!write(block.data(), block.size())) return false;
    }
    std::vector<unsigned char> tail;
    put_32(tail, static_cast<std::uint32_t>(adler));
    crc = crc32_z(crc, tail.data(), 4);
    put_32(tail, static_cast<std::uint32_t>(crc));
    put_chunk(tail, "IEND", {});
    return write(tail.data(), tail.size());
}

GuiAtlasPng::Result GuiAtlasPng::decode(unsigned char const* bytes, size_t const& length, int const& size,
                                        std::vector<unsigned char>& pixels, CoreString& problem)
{
    problem = CoreString();
    // Ours when the header is followed by our chunk; anything else is left to other readers.
    if (!bytes || length < IDAT_AT || !std::equal(s_signature, s_signature + 8, bytes))
        return RESULT_NOT_OURS;
    unsigned char const* header = bytes + sizeof(s_signature);
    unsigned char const* atlas = header + CHUNK_FRAME + HEADER_DATA;
    if (get_32(header) != HEADER_DATA || std::memcmp(header + 4, "IHDR", 4) != 0 ||
        get_32(atlas) != ATLAS_DATA || std::memcmp(atlas + 4, "qnAt", 4) != 0)
        return RESULT_NOT_OURS;

    auto bad = [&problem](CoreString const& text) {
        problem = text;
        return RESULT_BAD;
    };
    unsigned int const version = get_32(atlas + 8);
    if (version != VERSION)
        return bad(CoreString("has version ") + version + " of the atlas layout, not " + VERSION);
    std::uint32_t const width = get_32(header + 8);
    std::uint32_t const height = get_32(header + 12);
    unsigned char const* format = header + 16;
    if (width != get_32(atlas + 12) || height != width || format[0] != 8 || format[1] != 0 || format[4] != 0)
        return bad("has a header that does not match its atlas chunk");
    if (size <= 0 || width != static_cast<std::uint32_t>(size))
        return bad(CoreString("is ") + width + " x " + height + ", not " + size + " x " + size);
    std::uint64_t const checksum = static_cast<std::uint64_t>(get_32(atlas + 16)) << 32 | get_32(atlas + 20);

    // The image data: one chunk holding the zlib header, the stored blocks and the Adler-32.
    unsigned char const* data = bytes + IDAT_AT;
    size_t const available = length - IDAT_AT;
    if (available < CHUNK_FRAME || std::memcmp(data + 4, "IDAT", 4) != 0)
        return bad("has no image data after its atlas chunk");
    size_t const stream_length = get_32(data);
    if (stream_length > available - CHUNK_FRAME) return bad("is cut short");
    unsigned char const* stream = data + 8;
    unsigned char const* const stream_end = stream + stream_length;
    if (stream_length < 2 + 4 || stream[0] != s_zlib_header[0] || ((stream[0] << 8) | stream[1]) % 31 != 0)
        return bad("has image data that is not a zlib stream");

    size_t const edge = width;
    size_t const row_bytes = edge + 1;
    // Rows are appended to reserved room: no pass clears the image first.
    pixels.clear();
    pixels.reserve(edge * edge);
    std::vector<std::uint64_t> row_hashes(edge);
    unsigned char const* at = stream + 2;
    size_t row = 0;
    bool final = false;
    auto remaining = [&] { return static_cast<size_t>(stream_end - at); };
    while (!final) {
        if (remaining() < STORED_HEADER) return bad("has image data cut short");
        // Stored blocks only, each a whole number of unfiltered rows.
        if ((at[0] & 0x06) != 0) return bad("has compressed image data");
        final = (at[0] & 1) != 0;
        size_t const block = at[1] | at[2] << 8;
        if ((block ^ (at[3] | at[4] << 8)) != 0xffff) return bad("has a damaged block length");
        at += STORED_HEADER;
        if (block % row_bytes != 0 || row + block / row_bytes > edge || remaining() < block)
            return bad("has blocks that do not hold whole rows");
        for (size_t end = row + block / row_bytes; row < end; ++row, at += row_bytes) {
            if (at[0] != 0) return bad("has a filtered row");
            pixels.insert(pixels.end(), at + 1, at + row_bytes);
            row_hashes[row] = CoreHash::generate_64(pixels.data() + row * edge, edge);
        }
    }
    if (row != edge) return bad("has fewer rows than its height");
    if (get_checksum(row_hashes) != checksum) return bad("does not match its checksum");
    return RESULT_OK;
}
