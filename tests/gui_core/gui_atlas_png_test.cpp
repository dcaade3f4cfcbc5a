// The atlas cache's PNG layout: read back as written, and a PNG any decoder opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "gui/core/gui_atlas_png.h"
#include "host/image/image_io.h"
#include "tests/support/sys_temp_folder.h"

namespace {

std::vector<unsigned char> encode(std::vector<unsigned char> const& pixels, int const& size)
{
    std::vector<unsigned char> bytes;
    GuiAtlasPng::encode(pixels.data(), size, [&bytes](unsigned char const* block, size_t length) {
        bytes.insert(bytes.end(), block, block + length);
        return true;
    });
    return bytes;
}

}  // namespace

TEST(GuiAtlasPng, WrittenImageIsReadBackAndOpensInAGeneralDecoder)
{
    // 400 rows of 401 bytes: more than one stored block, the last one short.
    int const size = 400;
    std::vector<unsigned char> pixels(size * size);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7 % 256);
    std::vector<unsigned char> const bytes = encode(pixels, size);

    std::vector<unsigned char> read;
    CoreString problem;
    ASSERT_EQ(GuiAtlasPng::decode(bytes.data(), bytes.size(), size, read, problem), GuiAtlasPng::RESULT_OK)
        << problem;
    EXPECT_TRUE(read == pixels);

    // libpng checks every chunk's CRC and zlib the stream's Adler-32.
    SysTempFolder folder;
    std::string const path = folder.get_path().std_string() + "/atlas.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char const*>(bytes.data()), bytes.size());
    ImageIoPixels decoded;
    std::string error;
    ASSERT_TRUE(ImageIo::read(path, decoded, error)) << error;
    ASSERT_EQ(decoded.channel_names.size(), 1u);
    EXPECT_TRUE(decoded.bytes == pixels);
}

TEST(GuiAtlasPng, OtherBytesAreLeftToOtherReaders)
{
    std::vector<unsigned char> pixels(16 * 16, 9);
    // Another ancillary chunk in place of ours: a PNG, but not of this layout.
    std::vector<unsigned char> renamed = encode(pixels, 16);
    for (size_t at = 0; at + 4 <= renamed.size(); ++at) {
        if (std::equal(renamed.begin() + at, renamed.begin() + at + 4, "qnAt")) renamed[at + 3] = 'x';
    }
    std::vector<unsigned char> read;
    CoreString problem;
    EXPECT_EQ(GuiAtlasPng::decode(renamed.data(), renamed.size(), 16, read, problem),
              GuiAtlasPng::RESULT_NOT_OURS);
    std::string const text = "not an image at all";
    EXPECT_EQ(GuiAtlasPng::decode(reinterpret_cast<unsigned char const*>(text.data()), text.size(), 16, read,
                                  problem),
              GuiAtlasPng::RESULT_NOT_OURS);
    EXPECT_EQ(GuiAtlasPng::decode(nullptr, 0, 16, read, problem), GuiAtlasPng::RESULT_NOT_OURS);
}
