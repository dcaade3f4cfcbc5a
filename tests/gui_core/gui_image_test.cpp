// GuiImage, GuiIcon and the built-in pictures, and drawing them read back from the X server.
// GoogleTest comes before Xlib, whose macros (None, Bool, ...) would break it.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "gui/core/gui_icon.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "gui/core/gui_resource_painter.h"
#include "gui/core/gui_window.h"
#include "tests/support/core_printers.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

using Color = GMathVec3<unsigned char>;
using Pixel = std::vector<int>;

// Pixel `index` of `data` as a list of `depth` numbers.
Pixel pixel(unsigned char const* data, int index, int depth = 4)
{
    Pixel out;
    for (int c = 0; c < depth; ++c) out.push_back(data[index * depth + c]);
    return out;
}

std::vector<unsigned char> bytes(std::initializer_list<int> values)
{
    return std::vector<unsigned char>(values.begin(), values.end());
}

// A square icon size's RGBA pixels, every pixel the same.
std::vector<unsigned char> square(ImageIcon::ImageIconSize size, int r, int g, int b, int a)
{
    unsigned int const n = ImageIcon::get_image_icon_int_size(size);
    std::vector<unsigned char> out;
    for (unsigned int i = 0; i < n * n; ++i)
        out.insert(out.end(), {(unsigned char)r, (unsigned char)g, (unsigned char)b, (unsigned char)a});
    return out;
}

// Draws through a callback in its draw.
class PaintingWidget : public GuiWidget {
public:
    PaintingWidget(GuiWidget& parent, int x, int y, int w, int h, std::function<void()> paint)
        : GuiWidget(parent, x, y, w, h), m_paint(std::move(paint))
    {
    }
    void draw(GuiDc&) override { m_paint(); }

private:
    std::function<void()> m_paint;
};

}  // namespace

// --- Pixels and depths ---

TEST(GuiImageTest, DepthsAreNormalisedAndPixelsComeOnDemand)
{
    struct Case {
        unsigned int requested, expected;
    };
    for (auto [requested, expected] :
         {Case{0, 3}, Case{1, 3}, Case{2, 4}, Case{3, 3}, Case{4, 4}, Case{7, 4}}) {
        GuiImage image(5, 2, requested);
        EXPECT_EQ(image.get_depth(), expected) << requested;
        EXPECT_EQ(static_cast<GuiImage const&>(image).get_data(), nullptr);
        unsigned char const* data = image.get_data();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::vector<unsigned char>(data, data + 10 * expected),
                  std::vector<unsigned char>(10 * expected, 0));
        EXPECT_EQ(image.get_data(), data) << "allocated once";
    }
    EXPECT_EQ(GuiImage(0, 7, 4).get_data(), nullptr);
}

TEST(GuiImageTest, SourceDepthsAreConvertedToRgbOrRgba)
{
    std::vector<unsigned char> const grey = bytes({10, 200});
    GuiImage const from_grey(grey.data(), 2, 1, 1);
    ASSERT_EQ(from_grey.get_depth(), 3u);
    EXPECT_EQ(pixel(from_grey.get_data(), 1, 3), (Pixel{200, 200, 200}));

    std::vector<unsigned char> const grey_alpha = bytes({10, 255, 90, 7});
    GuiImage const from_grey_alpha(grey_alpha.data(), 1, 2, 2);
    ASSERT_EQ(from_grey_alpha.get_depth(), 4u);
    EXPECT_EQ(pixel(from_grey_alpha.get_data(), 0), (Pixel{10, 10, 10, 255}));
    EXPECT_EQ(pixel(from_grey_alpha.get_data(), 1), (Pixel{90, 90, 90, 7}));

    // Wider pixels keep their first four bytes.
    std::vector<unsigned char> const wide = bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(pixel(GuiImage(wide.data(), 2, 1, 5).get_data(), 1), (Pixel{6, 7, 8, 9}));

    GuiImage const without(nullptr, 4, 4, 4);
    EXPECT_FALSE(without.has_data());
    EXPECT_EQ(without.get_disabled_data(), nullptr);

    LogRecorder log;
    GuiImage const depth_zero(grey.data(), 2, 1, 0);
    EXPECT_FALSE(depth_zero.has_data());
    ASSERT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_EQ(log.get_messages()[0].text.rfind("GuiImage.set_data: ", 0), 0u);
}

TEST(GuiImageTest, CopiesOwnTheirPixelsAndLooks)
{
    std::vector<unsigned char> const rgba = bytes({30, 60, 90, 200});
    GuiImage original(rgba.data(), 1, 1, 4);
    original.get_disabled_data();

    GuiImage copy(original);
    EXPECT_NE(copy.get_data(), original.get_data());
    copy.fill(1, 2, 3);
    EXPECT_EQ(pixel(original.get_data(), 0), (Pixel{30, 60, 90, 200}));
    EXPECT_EQ(pixel(original.get_disabled_data(), 0), (Pixel{60, 60, 60, 66}));
    // The copy's look was copied, then filled with it.
    EXPECT_EQ(pixel(copy.get_disabled_data(), 0), (Pixel{1, 2, 3, 66}));

    GuiImage assigned(3, 3, 3);
    assigned = copy;
    assigned = assigned;
    EXPECT_EQ(pixel(assigned.get_data(), 0), (Pixel{1, 2, 3, 200}));
    copy.fill(9, 9, 9);
    EXPECT_EQ(pixel(assigned.get_data(), 0), (Pixel{1, 2, 3, 200}));

    // set_data takes the pixels but makes the looks again from them.
    GuiImage taken;
    taken.set_data(copy);
    taken.set_data(taken);
    EXPECT_EQ(pixel(taken.get_disabled_data(), 0), (Pixel{9, 9, 9, 66}));
}

// --- Derived looks and recolouring ---

TEST(GuiImageTest, LooksOfRgbAndRgbaImages)
{
    struct Row {
        std::vector<unsigned char> source;  // two pixels
        unsigned int depth;
        Pixel disabled[2], hidden[2], highlight[2];
    } const rows[] = {
        // (255 + 255 + 254) / 3 = 254.67 rounds up.
        {bytes({30, 60, 90, 255, 255, 254}), 3,
         {{60, 60, 60, 128}, {255, 255, 255, 128}}, {{30, 60, 90, 85}, {255, 255, 254, 85}},
         {{30, 60, 90, 255}, {255, 255, 254, 255}}},
        {bytes({30, 60, 90, 200, 250, 215, 0, 5}), 4,
         {{60, 60, 60, 66}, {155, 155, 155, 1}}, {{30, 60, 90, 33}, {250, 215, 0, 0}},
         {{70, 100, 130, 200}, {255, 255, 40, 5}}},
    };
    for (Row const& row : rows) {
        GuiImage const image(row.source.data(), 2, 1, row.depth);
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(testing::Message() << "depth " << row.depth << ", pixel " << i);
            EXPECT_EQ(pixel(image.get_disabled_data(), i), row.disabled[i]);
            EXPECT_EQ(pixel(image.get_hidden_data(), i), row.hidden[i]);
            EXPECT_EQ(pixel(image.get_highlight_data(), i), row.highlight[i]);
        }
        EXPECT_EQ(image.get_disabled_data(), image.get_disabled_data()) << "made once";
    }
}

TEST(GuiImageTest, FillAndModulateChangeColoursOfPixelsAndMadeLooks)
{
    std::vector<unsigned char> const rgba = bytes({30, 60, 90, 200, 250, 215, 0, 5, 0, 0, 0, 0});
    GuiImage image(rgba.data(), 3, 1, 4);
    unsigned char const* disabled = image.get_disabled_data();

    image.fill(10, 20, 30);
    EXPECT_EQ(pixel(image.get_data(), 0), (Pixel{10, 20, 30, 200}));
    EXPECT_EQ(pixel(image.get_data(), 2), (Pixel{10, 20, 30, 0}));
    // The disabled look existed: it keeps its alpha and takes the colour too.
    EXPECT_EQ(image.get_disabled_data(), disabled);
    EXPECT_EQ(pixel(disabled, 0), (Pixel{10, 20, 30, 66}));
    // The hidden look did not: it is made from the filled pixels.
    EXPECT_EQ(pixel(image.get_hidden_data(), 0), (Pixel{10, 20, 30, 33}));

    image.fill(200, 100, 51);
    image.modulate(128, 255, 0);
    EXPECT_EQ(pixel(image.get_data(), 0), (Pixel{100, 100, 0, 200}));
    EXPECT_EQ(pixel(image.get_hidden_data(), 0), (Pixel{100, 100, 0, 33}));

    // RGB images have no alpha to keep.
    std::vector<unsigned char> const rgb = bytes({1, 2, 3});
    GuiImage opaque(rgb.data(), 1, 1, 3);
    opaque.fill(7, 8, 9);
    EXPECT_EQ(pixel(opaque.get_data(), 0, 3), (Pixel{7, 8, 9}));
    EXPECT_EQ(pixel(opaque.get_disabled_data(), 0), (Pixel{8, 8, 8, 128}));
}

TEST(GuiImageTest, UpdateMakesTheLooksAgainFromPixelsChangedInPlace)
{
    GuiImage image(1, 1, 3);
    EXPECT_EQ(image.get_disabled_data(), nullptr) << "no pixels yet";
    unsigned char* data = image.get_data();
    EXPECT_EQ(pixel(image.get_disabled_data(), 0), (Pixel{0, 0, 0, 128}));
    data[0] = 90;
    data[1] = 90;
    data[2] = 90;
    image.update();
    EXPECT_EQ(pixel(image.get_disabled_data(), 0), (Pixel{90, 90, 90, 128}));
    EXPECT_GT(image.get_memory_size(), GuiImage().get_memory_size() + 3);
}

// --- Icons ---

// Whatever size has pixels, the image has the size asked for, scaled from the nearest size
// with pixels (the larger on a tie).
TEST(GuiIconTest, AMissingSizeIsScaledFromTheNearestOne)
{
    std::vector<unsigned char> const small = square(ImageIcon::IMAGE_ICON_SIZE_16, 10, 0, 0, 255);
    std::vector<unsigned char> const large = square(ImageIcon::IMAGE_ICON_SIZE_64, 200, 0, 0, 255);
    std::vector<unsigned char> const middle = square(ImageIcon::IMAGE_ICON_SIZE_32, 2, 0, 0, 255);
    struct Row {
        unsigned char const* data[GuiIcon::SIZE_COUNT];
        ImageIcon::ImageIconSize asked;
        unsigned char red;  // the source the picture was scaled from
    } const rows[] = {
        {{nullptr, nullptr, middle.data(), nullptr, nullptr}, ImageIcon::IMAGE_ICON_SIZE_32, 2},
        {{nullptr, nullptr, nullptr, nullptr, large.data()}, ImageIcon::IMAGE_ICON_SIZE_32, 200},
        {{small.data(), nullptr, nullptr, nullptr, nullptr}, ImageIcon::IMAGE_ICON_SIZE_64, 10},
        {{small.data(), nullptr, nullptr, nullptr, large.data()}, ImageIcon::IMAGE_ICON_SIZE_24, 10},
        {{small.data(), nullptr, nullptr, nullptr, large.data()}, ImageIcon::IMAGE_ICON_SIZE_48, 200},
        {{small.data(), nullptr, nullptr, nullptr, large.data()}, ImageIcon::IMAGE_ICON_SIZE_32, 200},
    };
    for (Row const& row : rows) {
        GuiIcon const icon(row.data);
        GuiImage const& image = icon.get_image(row.asked);
        unsigned int const n = ImageIcon::get_image_icon_int_size(row.asked);
        EXPECT_EQ(image.get_width(), n) << int(row.asked);
        EXPECT_EQ(image.get_height(), n) << int(row.asked);
        ASSERT_TRUE(image.has_data());
        unsigned char const* last = image.get_data() + (static_cast<size_t>(n) * n - 1) * 4;
        EXPECT_EQ(last[0], row.red) << int(row.asked);
        EXPECT_EQ(last[3], 255) << int(row.asked);
        EXPECT_EQ(&icon.get_image(row.asked), &image) << "made once";
    }
}

TEST(GuiIconTest, ScalingDownAveragesAndKeepsTransparentPixelsOutOfTheColour)
{
    // A 64 picture of opaque white and transparent black columns in turn: at 32 every
    // pixel covers one of each, so it is white at half alpha, not grey.
    unsigned int const n = ImageIcon::get_image_icon_int_size(ImageIcon::IMAGE_ICON_SIZE_64);
    std::vector<unsigned char> stripes(static_cast<size_t>(n) * n * 4, 0);
    for (unsigned int i = 0; i < n * n; ++i)
        if (i % 2 == 0) std::fill_n(stripes.begin() + i * 4, 4, 255);
    unsigned char const* data[] = {nullptr, nullptr, nullptr, nullptr, stripes.data()};
    GuiIcon const icon(data);
    GuiImage const& image = icon.get_image(ImageIcon::IMAGE_ICON_SIZE_32);
    unsigned char const* pixel = image.get_data() + (5 * 32 + 7) * 4;
    EXPECT_EQ((std::vector<int>(pixel, pixel + 4)), (std::vector<int>{255, 255, 255, 128}));
}

TEST(GuiIconTest, NoPixelsOrAnUnknownSizeGiveAnEmptyImage)
{
    std::vector<unsigned char> const small = square(ImageIcon::IMAGE_ICON_SIZE_16, 1, 0, 0, 255);
    unsigned char const* data[] = {small.data(), nullptr, nullptr, nullptr, nullptr};
    LogRecorder log;
    for (int size : {-3, 5, 99}) EXPECT_FALSE(GuiIcon(data).get_image(ImageIcon::ImageIconSize(size)).has_data());
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);
    EXPECT_EQ(GuiIcon(nullptr).get_image(ImageIcon::IMAGE_ICON_SIZE_16).get_width(), 0u);
}

// --- The painter ---

TEST(GuiResourcePainterTest, CoverageIsTheAreaCoveredInEachPixel)
{
    auto total = [](std::vector<float> const& coverage) {
        double sum = 0.0;
        for (float c : coverage) sum += c;
        return sum;
    };
    GuiResourcePainter painter(16);
    GuiResourcePainter::Shape half;
    half.rect(0.0, 0.0, 8.5, 16.0);
    std::vector<float> const coverage = painter.get_coverage(half);
    EXPECT_FLOAT_EQ(coverage[3 * 16 + 7], 1.0f);
    EXPECT_NEAR(coverage[3 * 16 + 8], 0.5f, 1e-5);
    EXPECT_NEAR(total(coverage), 8.5 * 16, 1e-3);

    // Shapes reaching past the borders keep what is inside; overlapping elements count once.
    GuiResourcePainter::Shape outside;
    outside.rect(-4.0, -4.0, 8.0, 8.0).rect(2.0, 2.0, 20.0, 2.0);
    EXPECT_NEAR(total(painter.get_coverage(outside)), 16 + 28 - 4, 1e-3);

    // A diagonal edge splits its pixels.
    GuiResourcePainter::Shape triangle;
    triangle.polygon({{0, 0}, {16, 0}, {0, 16}});
    EXPECT_NEAR(total(painter.get_coverage(triangle)), 128.0, 1e-3);
    EXPECT_NEAR(painter.get_coverage(triangle)[15], 0.5f, 1e-5);

    // Curves, holes and growth, at twice the size.
    GuiResourcePainter large(32);
    GuiResourcePainter::Shape disc;
    disc.circle(8.0, 8.0, 5.0);
    double const pi = 3.14159265358979;
    EXPECT_NEAR(total(large.get_coverage(disc)), pi * 10 * 10, 1.0);
    EXPECT_NEAR(total(large.get_coverage(disc, 1.0)), pi * 12 * 12, 1.0);
    GuiResourcePainter::Shape ring;
    ring.ring(8.0, 8.0, 4.0, 2.0);
    EXPECT_NEAR(total(large.get_coverage(ring)), pi * (10 * 10 - 6 * 6), 1.0);
}

TEST(GuiResourcePainterTest, ErasingClearsTheCoverageAndKeepsTheLastColour)
{
    GuiResourcePainter painter(16);
    GuiResourcePainter::Shape all, left;
    all.rect(0.0, 0.0, 16.0, 16.0);
    left.rect(0.0, 0.0, 8.0, 16.0);
    painter.fill(all, Color(0, 0, 200), 0.5);
    painter.erase(left);
    std::vector<unsigned char> const rgba = painter.get_rgba();
    EXPECT_EQ(pixel(rgba.data(), 0), (Pixel{0, 0, 200, 0}));
    EXPECT_EQ(pixel(rgba.data(), 15), (Pixel{0, 0, 200, 128}));
}

// --- Built-in pictures ---

TEST(GuiResourceTest, EveryPictureIsA16PixelRgbaGlyph)
{
    CoreVector<CoreString> const& names = GuiResource::get_picture_names();
    ASSERT_EQ(names.get_count(), 40u);
    std::set<std::vector<unsigned char>> distinct;
    for (unsigned int i = 0; i < names.get_count(); ++i) {
        SCOPED_TRACE(names[i].get_data());
        if (i > 0) {
            EXPECT_LT(names[i - 1], names[i]);
        }
        GuiImage const* image = GuiResource::get_picture(names[i]);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(GuiResource::get_picture(names[i]), image) << "made once";
        ASSERT_EQ(GMathVec3<unsigned int>(image->get_width(), image->get_height(), image->get_depth()),
                  GMathVec3<unsigned int>(16, 16, 4));
        ASSERT_TRUE(image->has_data());
        std::vector<unsigned char> const rgba(image->get_data(), image->get_data() + 16 * 16 * 4);
        int opaque = 0, transparent = 0;
        for (size_t p = 3; p < rgba.size(); p += 4) {
            opaque += rgba[p] == 255;
            transparent += rgba[p] == 0;
        }
        EXPECT_GT(opaque, 0);
        EXPECT_GT(transparent, 0) << "a glyph, not a filled square";
        distinct.insert(rgba);
    }
    EXPECT_EQ(distinct.size(), 40u);
    EXPECT_EQ(GuiResource::get_picture("no_such_picture"), nullptr);
    EXPECT_EQ(GuiResource::get_picture("checker"), &GuiResource::checker());
}

TEST(GuiResourceTest, IconsHaveTheDesignAtEverySize)
{
    for (GuiIcon const* icon : {&GuiResource::trash_iconrc(), &GuiResource::attribute_iconrc()}) {
        for (int size = 0; size <= ImageIcon::get_image_icon_size_max(); ++size) {
            auto const s = ImageIcon::ImageIconSize(size);
            ASSERT_NE(icon->get_data(s), nullptr);
            GuiImage const& image = icon->get_image(s);
            EXPECT_EQ(image.get_width(), ImageIcon::get_image_icon_int_size(s));
            EXPECT_EQ(image.get_depth(), 4u);
        }
    }
    // The 16-pixel icon is the picture itself.
    GuiImage const& picture = GuiResource::save();
    GuiImage const& icon = GuiResource::save_iconrc().get_image(ImageIcon::IMAGE_ICON_SIZE_16);
    EXPECT_EQ(std::vector<unsigned char>(icon.get_data(), icon.get_data() + 1024),
              std::vector<unsigned char>(picture.get_data(), picture.get_data() + 1024));
}

// --- Drawing ---

class GuiImageDrawTest : public GuiTest {};

TEST_F(GuiImageDrawTest, DrawBlendsTheLookOverTheWindow)
{
    GuiWindow& window = make_window(200, 100);
    Color const background = pixel_at(window, 150, 80);

    // Red, in the left half opaque and in the right half transparent.
    std::vector<unsigned char> rgba;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) rgba.insert(rgba.end(), {255, 0, 0, (unsigned char)(x < 10 ? 255 : 0)});
    }
    GuiImage const image(rgba.data(), 20, 10, 4);
    std::vector<unsigned char> const rgb(8 * 8 * 3, 200);
    GuiImage const grey(rgb.data(), 8, 8, 3);
    PaintingWidget* widget = new PaintingWidget(window, 0, 0, 200, 100, [&] {
        image.draw(10, 10);
        image.draw(false, 40, 10, false);
        image.draw(true, 70, 10, true);
        grey.draw_hidden(100, 10);
    });
    widget->show();
    pump_events(app());

    int w = 0, h = 0;
    std::vector<unsigned char> const pixels = read_window_rgb(window, w, h);
    ASSERT_EQ(w, 200);
    EXPECT_EQ(pixel_at(pixels, w, 19, 19), Color(255, 0, 0));
    EXPECT_EQ(pixel_at(pixels, w, 25, 15), background);
    // The disabled and hidden looks are see-through; the highlighted one is lighter.
    for (auto [x, source] : {std::pair{45, Color(255, 0, 0)}, {104, Color(200, 200, 200)}}) {
        EXPECT_NE(pixel_at(pixels, w, x, 14), background) << x;
        EXPECT_NE(pixel_at(pixels, w, x, 14), source) << x;
    }
    EXPECT_EQ(pixel_at(pixels, w, 75, 15), Color(255, 40, 40));
}

TEST_F(GuiImageDrawTest, FastDrawWritesTheBoxIntoTheShownWindow)
{
    GuiWindow& window = make_window(200, 100);
    GuiWidget* widget = new GuiWidget(window, 20, 20, 100, 50);
    widget->show();
    pump_events(app());
    Color const background = pixel_at(window, 150, 80);

    std::vector<unsigned char> rgb;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x)
            rgb.insert(rgb.end(), {(unsigned char)(x * 5), (unsigned char)(y * 5), 50});
    }
    GuiImage const image(rgb.data(), 40, 30, 3);
    // The image at (30, 40), cut to 25 × 10 pixels.
    image.fast_draw(*widget, 30, 40, 25, 10);
    int w = 0, h = 0;
    std::vector<unsigned char> pixels = read_window_rgb(window, w, h);
    EXPECT_EQ(pixel_at(pixels, w, 30, 40), Color(0, 0, 50));
    EXPECT_EQ(pixel_at(pixels, w, 54, 49), Color(120, 45, 50));
    EXPECT_EQ(pixel_at(pixels, w, 55, 45), background);

    // Partly off the window's left and top edges: the part inside lands where it belongs.
    image.fast_draw(*widget, -10, -5, 100, 100);
    pixels = read_window_rgb(window, w, h);
    EXPECT_EQ(pixel_at(pixels, w, 0, 0), Color(50, 25, 50));
    EXPECT_EQ(pixel_at(pixels, w, 29, 24), Color(195, 145, 50));

    // Not shown: nothing happens.
    image.fast_draw(*new GuiWidget(make_window(100, 100, false), 0, 0, 10, 10), 0, 0, 10, 10);
}
