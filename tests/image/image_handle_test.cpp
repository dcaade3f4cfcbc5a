#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "host/image/image_handle.h"
#include "host/image/image_io.h"
#include "host/sys/sys_filesystem.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

// A width × height image of `channels` floats whose every value differs: v = index / count
// scaled by `range` (above 1 for HDR values).
std::vector<float> ramp(int width, int height, int channels, float range = 1.0f)
{
    std::vector<float> values(size_t(width) * height * channels);
    for (size_t i = 0; i < values.size(); ++i) values[i] = range * float(i) / float(values.size());
    return values;
}

std::vector<std::string> names_of(ImageHandle const& image)
{
    std::vector<std::string> names;
    for (CoreString const& name : image.get_channel_names()) names.push_back(name.c_str());
    return names;
}

}  // namespace

TEST(ImageHandleTest, PixelsComeBackAsFloatWithTheirShapeAndChannelNames)
{
    unsigned char const bytes[] = {0, 51, 255, 102, 204, 153};  // 2 × 1 RGB
    ImageHandle small = ImageHandle::from_pixels(2, 1, 3, bytes);
    ASSERT_TRUE(small);
    EXPECT_EQ(small.get_width(), 2);
    EXPECT_EQ(small.get_height(), 1);
    EXPECT_EQ(names_of(small), (std::vector<std::string>{"R", "G", "B"}));
    CoreVector<float> pixels = small.get_pixels();
    ASSERT_EQ(pixels.get_count(), 6u);
    for (unsigned int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(pixels[i], bytes[i] / 255.0f) << i;

    // Float values are kept as given, HDR values above 1 included; rows top first.
    std::vector<float> values = ramp(3, 2, 4, 8.0f);
    ImageHandle hdr = ImageHandle::from_pixels(3, 2, 4, values.data());
    EXPECT_EQ(names_of(hdr), (std::vector<std::string>{"R", "G", "B", "A"}));
    EXPECT_EQ(hdr.get_pixels().std_vector(), values);

    // Equal handles share one image; equal pixels do not make the same image.
    ImageHandle copy = hdr;
    EXPECT_EQ(copy, hdr);
    EXPECT_NE(ImageHandle::from_pixels(3, 2, 4, values.data()), hdr);
    EXPECT_EQ(ImageHandle(), ImageHandle());
}

TEST(ImageHandleTest, ChannelsOtherThanRgbaAreCustom)
{
    struct Row {
        std::vector<char const*> names;
        bool custom;
    };
    for (Row const& row : std::vector<Row>{{{"R", "G", "B", "A"}, false},
                                           {{"A"}, false},
                                           {{"R", "G", "B", "A", "Z"}, true},
                                           {{"diffuse.R", "diffuse.G", "diffuse.B"}, true}}) {
        CoreVector<CoreString> names;
        for (char const* name : row.names) names.add(name);
        std::vector<float> values = ramp(2, 2, int(row.names.size()));
        ImageHandle image = ImageHandle::from_pixels(2, 2, names, values.data());
        ASSERT_TRUE(image) << row.names.size();
        EXPECT_EQ(image.get_channel_count(), int(row.names.size()));
        EXPECT_EQ(image.has_custom_channels(), row.custom) << row.names.back();
    }
}

TEST(ImageHandleTest, BadPixelsGiveANullHandleAndOneWarning)
{
    std::vector<float> values = ramp(4, 4, 5);
    unsigned char const bytes[64] = {};
    SysTempFolder folder;
    write_file(folder / "broken.png", "\x89PNG\r\n\x1a\n not really");
    std::vector<std::pair<char const*, std::function<ImageHandle()>>> cases = {
        {"two channels", [&] { return ImageHandle::from_pixels(2, 2, 2, bytes); }},
        {"five channels", [&] { return ImageHandle::from_pixels(2, 2, 5, values.data()); }},
        {"no width", [&] { return ImageHandle::from_pixels(0, 2, 3, bytes); }},
        {"negative height", [&] { return ImageHandle::from_pixels(2, -1, 4, values.data()); }},
        {"no data", [&] { return ImageHandle::from_pixels(2, 2, 3, static_cast<float const*>(nullptr)); }},
        {"no names", [&] { return ImageHandle::from_pixels(2, 2, CoreVector<CoreString>(), values.data()); }},
        {"missing file", [&] { return ImageHandle::load("/nonexistent/qn_image.exr"); }},
        {"broken file", [&] { return ImageHandle::load(folder / "broken.png"); }},
    };
    for (auto const& [what, make] : cases) {
        LogRecorder log;
        ImageHandle image = make();
        EXPECT_TRUE(image.is_null()) << what;
        ASSERT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << what << "\n" << log.dump();
        EXPECT_EQ(log.get_messages()[0].text.rfind("ImageHandle.", 0), 0u) << log.dump();
    }
}

TEST(ImageHandleTest, WrittenFilesReadBackByExtension)
{
    SysTempFolder folder;
    unsigned char bytes[4 * 3 * 4];
    for (unsigned int i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(i * 5);
    std::vector<float> hdr = ramp(4, 3, 4, 20.0f);
    struct Row {
        char const* name;
        ImageHandle image;
    };
    for (Row const& row : {Row{"ldr.png", ImageHandle::from_pixels(4, 3, 4, bytes)},
                           Row{"hdr.exr", ImageHandle::from_pixels(4, 3, 4, hdr.data())},
                           Row{"UPPER.EXR", ImageHandle::from_pixels(4, 3, 4, hdr.data())}}) {
        CoreString const path = folder / row.name;
        ASSERT_TRUE(row.image.write(path, {{"comment", "first render"}})) << row.name;
        ImageHandle back = ImageHandle::load(path);
        ASSERT_TRUE(back) << row.name;
        EXPECT_EQ(back.get_width(), 4);
        EXPECT_EQ(back.get_height(), 3);
        EXPECT_EQ(names_of(back), names_of(row.image)) << row.name;
        EXPECT_EQ(back.get_pixels().std_vector(), row.image.get_pixels().std_vector()) << row.name;
    }
    EXPECT_NE(read_file(folder / "hdr.exr").find("first render"), std::string::npos);
    // Nothing but the finished files is left behind.
    CoreVector<CoreString> files;
    SysFilesystem::get_files(folder.get_path(), files);
    EXPECT_EQ(files.get_count(), 3u);
}

TEST(ImageHandleTest, WritingRefusesWhatItCannotWrite)
{
    SysTempFolder folder;
    std::vector<float> values = ramp(2, 2, 3);
    ImageHandle image = ImageHandle::from_pixels(2, 2, 3, values.data());
    std::vector<std::pair<char const*, std::function<bool()>>> cases = {
        {"null image", [&] { return ImageHandle().write(folder / "null.png"); }},
        {"other extension", [&] { return image.write(folder / "image.tif"); }},
        {"missing folder", [&] { return image.write(folder / "missing/image.png"); }},
    };
    for (auto const& [what, write] : cases) {
        LogRecorder log;
        EXPECT_FALSE(write()) << what;
        EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << what << "\n" << log.dump();
    }
    CoreVector<CoreString> files;
    SysFilesystem::get_files(folder.get_path(), files);
    EXPECT_TRUE(files.is_empty());
}

TEST(ImageHandleTest, ThumbnailsFitTheirBoxAtTheImageRatio)
{
    struct Row {
        int width, height, max_width, max_height;
        int expected_width, expected_height;
    };
    for (Row const& row : std::vector<Row>{{400, 200, 100, 100, 100, 50},
                                           {200, 400, 100, 100, 50, 100},
                                           {40, 20, 100, 100, 40, 20},  // never enlarged
                                           {1000, 2, 100, 100, 100, 1}}) {  // at least one row
        std::vector<float> values(size_t(row.width) * row.height * 3, 0.5f);
        ImageHandle image = ImageHandle::from_pixels(row.width, row.height, 3, values.data());
        ImageHandle thumbnail = image.make_thumbnail(row.max_width, row.max_height);
        ASSERT_TRUE(thumbnail) << row.width << " x " << row.height;
        EXPECT_EQ(thumbnail.get_width(), row.expected_width) << row.width << " x " << row.height;
        EXPECT_EQ(thumbnail.get_height(), row.expected_height) << row.width << " x " << row.height;
        EXPECT_NE(thumbnail, image);
    }
}

TEST(ImageHandleTest, ThumbnailsAreEightBitColourWithAlphaWhenTheImageHasIt)
{
    // An HDR image with a depth channel: the thumbnail keeps R, G, B and A, clamped to 1.
    CoreVector<CoreString> names = {"Z", "R", "G", "B", "A"};
    std::vector<float> values;
    for (int i = 0; i < 64 * 64; ++i) values.insert(values.end(), {100.0f, 0.25f, 4.0f, 0.0f, 0.5f});
    ImageHandle render = ImageHandle::from_pixels(64, 64, names, values.data());
    ImageHandle thumbnail = render.make_thumbnail(16, 16);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(names_of(thumbnail), (std::vector<std::string>{"R", "G", "B", "A"}));
    CoreVector<float> pixels = thumbnail.get_pixels();
    EXPECT_NEAR(pixels[0], 64 / 255.0f, 1 / 255.0f);
    EXPECT_FLOAT_EQ(pixels[1], 1.0f);
    EXPECT_FLOAT_EQ(pixels[2], 0.0f);
    EXPECT_NEAR(pixels[3], 128 / 255.0f, 1 / 255.0f);

    // A grey image is spread over R, G and B.
    std::vector<float> grey(8 * 8, 0.2f);
    ImageHandle grey_thumbnail = ImageHandle::from_pixels(8, 8, {"Y"}, grey.data()).make_thumbnail(4, 4);
    ASSERT_TRUE(grey_thumbnail);
    EXPECT_EQ(names_of(grey_thumbnail), (std::vector<std::string>{"R", "G", "B"}));
    CoreVector<float> grey_pixels = grey_thumbnail.get_pixels();
    EXPECT_FLOAT_EQ(grey_pixels[0], grey_pixels[2]);
    EXPECT_NEAR(grey_pixels[0], 51 / 255.0f, 1 / 255.0f);

    LogRecorder log;
    EXPECT_TRUE(render.make_thumbnail(0, 16).is_null());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
}

TEST(ImageHandleTest, ThumbnailPixelsAverageTheAreaTheyCover)
{
    // One row of grey values scaled to fewer columns: each column is the mean of the source
    // pixels under it, edge pixels weighted by the part they share.
    struct Row {
        std::vector<float> source;
        int width;
        std::vector<float> expected;
    };
    for (Row const& row : std::vector<Row>{{{0.0f, 1.0f, 0.0f, 1.0f}, 2, {0.5f, 0.5f}},
                                           {{0.0f, 0.3f, 0.9f}, 2, {0.1f, 0.7f}},  // (0 + 0.3 / 2) / 1.5, ...
                                           {{0.2f, 0.4f}, 1, {0.3f}}}) {
        std::vector<float> rgb;
        for (float const v : row.source) rgb.insert(rgb.end(), {v, v, v});
        int const source_width = static_cast<int>(row.source.size());
        ImageHandle const thumbnail = ImageHandle::from_pixels(source_width, 1, 3, rgb.data()).make_thumbnail(row.width, 1);
        ASSERT_EQ(thumbnail.get_width(), row.width);
        CoreVector<float> const pixels = thumbnail.get_pixels();
        for (int x = 0; x < row.width; ++x)
            EXPECT_NEAR(pixels[static_cast<unsigned int>(3 * x)], row.expected[static_cast<size_t>(x)], 1.0f / 255.0f)
                << source_width << " to " << row.width << ", column " << x;
    }
}

TEST(ImageIoDeathTest, TheImageModuleIsLoadedWhenAFileIsFirstReadOrWritten)
{
    // In a process of its own: another test of this program may have loaded it already.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool const at_start = ImageIo::is_loaded();
            std::vector<float> const grey(4 * 4 * 3, 0.5f);
            ImageHandle const image = ImageHandle::from_pixels(4, 4, 3, grey.data());
            bool const after_pixels = ImageIo::is_loaded() || image.make_thumbnail(2, 2).is_null();
            SysTempFolder folder;
            bool const written = image.write(folder / "grey.png");
            std::exit(!at_start && !after_pixels && written && ImageIo::is_loaded() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
