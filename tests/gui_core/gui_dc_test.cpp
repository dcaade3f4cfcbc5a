// The software drawing context, drawn by a widget in a real window and read back.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include <algorithm>
#include <climits>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "gui/core/gui_dc.h"
#include "gui/core/gui_image.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_test_app.h"

namespace {

using Color = GMathVec3<unsigned char>;
Color const WHITE(255, 255, 255);

// The software context, keeping the texts given to the boxed draw_text: what clamping chose.
class RecordingDc : public GuiWidgetDc {
public:
    using GuiWidgetDc::draw_text;
    using GuiWidgetDc::GuiWidgetDc;
    void draw_text(CoreString const& text, int const& x, int const& y, int const& w, int const& h,
                   unsigned char const& r, unsigned char const& g, unsigned char const& b,
                   GuiWidget::Justify const& justify) override
    {
        boxed.emplace_back(text.std_string(), justify);
        GuiWidgetDc::draw_text(text, x, y, w, h, r, g, b, justify);
    }
    std::vector<std::pair<std::string, GuiWidget::Justify>> boxed;
};

// Fills itself in white, then paints through a function with the context the window's drawing
// hands it (its own recording context).
class Canvas : public GuiWidget {
public:
    Canvas(GuiWidget& parent, int w, int h, std::function<void(Canvas&, GuiWidgetDc&)> paint)
        : GuiWidget(parent, 0, 0, w, h), m_dc(*this), m_paint(std::move(paint))
    {
    }
    GuiDc& get_dc() override { return m_dc; }
    void draw(GuiDc& dc) override
    {
        GuiWidgetDc& software = static_cast<GuiWidgetDc&>(dc);
        software.draw_rectf(get_x(), get_y(), get_width(), get_height(), 255, 255, 255);
        m_paint(*this, software);
    }
    RecordingDc& recording() { return m_dc; }

private:
    RecordingDc m_dc;
    std::function<void(Canvas&, GuiWidgetDc&)> m_paint;
};

// The smallest box around the pixels that pass a test.
struct Extent {
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1, count = 0;
    bool is_empty() const { return count == 0; }
    GMathVec4<int> box() const { return GMathVec4<int>(left, top, right, bottom); }
};

struct Picture {
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;

    Color at(int x, int y) const { return pixel_at(rgb, w, x, y); }
    // Pixels of (x, y, w, h) that pass `test`.
    template <class Test>
    Extent find(Test const& test, int x = 0, int y = 0, int w = INT_MAX, int h = INT_MAX) const
    {
        Extent e;
        // Sizes are cut to the picture before adding: the default sizes would overflow.
        int const x_end = x + std::min(w, this->w - x), y_end = y + std::min(h, this->h - y);
        for (int py = y; py < y_end; ++py) {
            for (int px = x; px < x_end; ++px) {
                if (!test(at(px, py))) continue;
                e.left = std::min(e.left, px);
                e.right = std::max(e.right, px);
                e.top = std::min(e.top, py);
                e.bottom = std::max(e.bottom, py);
                ++e.count;
            }
        }
        return e;
    }
};

std::string repeat(std::string const& text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

bool not_white(Color const& c)
{
    return c != WHITE;
}

// Dark enough to be a part of black text, antialiased edges included.
bool dark(Color const& c)
{
    return c[0] < 140 && c[1] < 140 && c[2] < 140;
}

class GuiDcTest : public GuiTest {
protected:
    // A w × h window holding one canvas that paints with `paint`, in `font` when given; what
    // the window shows.
    Picture paint(std::function<void(Canvas&, GuiWidgetDc&)> paint, int w = 240, int h = 120,
                  GuiFont const* font = nullptr)
    {
        GuiWindow& window = make_window(w, h);
        m_canvas = new Canvas(window, w, h, std::move(paint));
        if (font) m_canvas->set_font(*font);
        m_canvas->show();
        pump_events(app());
        Picture picture;
        picture.rgb = read_window_rgb(window, picture.w, picture.h);
        return picture;
    }

    Canvas* m_canvas = nullptr;
};

// --- Colours ---

TEST_F(GuiDcTest, BlackIsDrawnBlackWhateverTheForegroundColour)
{
    // Palette entry 0 is the foreground colour: a packed 0 would draw in it.
    Fl_Color const saved = Fl::get_color(FL_FOREGROUND_COLOR);
    Fl::set_color(FL_FOREGROUND_COLOR, 200, 0, 200);
    Picture const picture = paint([](Canvas&, GuiWidgetDc& dc) {
        dc.draw_rectf(GMathVec4<int>(10, 10, 20, 20), Color(0, 0, 0));
        dc.draw_line(40, 15, 80, 15, 0, 0, 0);
        dc.draw_rectf(GMathVec4<int>(90, 10, 20, 20), Color(10, 200, 30));
    });
    Fl::set_color(FL_FOREGROUND_COLOR, saved);
    EXPECT_EQ(picture.at(15, 15), Color(0, 0, 0));
    EXPECT_EQ(picture.at(60, 15), Color(0, 0, 0));
    EXPECT_EQ(picture.at(100, 20), Color(10, 200, 30));
}

// --- Line styles ---

TEST_F(GuiDcTest, LineStylesStayInForceButFramesAreSolid)
{
    Picture const picture = paint([](Canvas&, GuiWidgetDc& dc) {
        dc.draw_line(10, 10, 210, 10, 0, 0, 0, GuiWidgetDc::LINE_STYLE_DASH);
        // Still dashed, yet the frame's edges are solid lines.
        dc.draw_round_frame(10, 30, 200, 20, 0, 0, 0);
        dc.draw_line(10, 70, 210, 70, 0, 0, 0, GuiWidgetDc::LINE_STYLE_DOT);
        dc.draw_line(10, 90, 210, 90, 0, 0, 0);
    });
    auto count_row = [&](int y, int from, int to) {
        return picture.find(not_white, from, y, to - from + 1, 1).count;
    };
    for (int y : {10, 70}) {
        EXPECT_GT(count_row(y, 10, 210), 20) << y;
        EXPECT_LT(count_row(y, 10, 210), 180) << "a dashed or dotted line has gaps";
    }
    EXPECT_EQ(count_row(30, 12, 207), 196) << "the frame's top edge is solid";
    EXPECT_EQ(count_row(90, 10, 210), 201) << "the default style is solid";
}

// --- The line-length limit ---

TEST(GuiWidgetDcLimitTest, TextHandedToTheToolkitHasNoLineOf1024BytesOrMore)
{
    std::string const x1023(1023, 'x'), x1024(1024, 'x'), x2000(2000, 'x');
    struct Case {
        char const* what;
        std::string text, expected;
    } const cases[] = {
        {"empty", "", ""},
        {"exactly 1024 bytes, one line", x1024, x1024},
        {"one line of 1025 bytes", x1024 + "y", x1024},
        {"lines shorter than 1024 bytes", x1023 + "\n" + x1023, x1023 + "\n" + x1023},
        {"a line of exactly 1024 bytes in longer text", x1024 + "\nab", x1024},
        {"a long line in the middle", "ab\n" + x2000 + "\ncd", "ab\n" + x1024},
        {"only the last line long", "ab\ncd\n" + x2000, "ab\ncd"},
        {"a cut inside a UTF-8 character", x1023 + "\xc3\xa9" + x2000, x1023},
    };
    for (Case const& c : cases)
        EXPECT_EQ(GuiWidgetDc::limit_line_length(CoreString(c.text)).std_string(), c.expected) << c.what;
}

TEST_F(GuiDcTest, ASingleLongLineIsDrawnAsItsFirst1024Bytes)
{
    // Bytes 1014 to 1023 are X; after them come M up to 3000 bytes. Drawn from far left so
    // that the X land at x = 10: the Ms after them must not show. In the canvas's own font,
    // which measuring and drawing must share.
    GuiFont const own("sans", 20, GuiFont::WEIGHT_BOLD);
    std::string const head(1014, ' ');
    std::string const text = head + std::string(10, 'X') + std::string(1976, 'M');
    int head_w = 0, xs_w = 0;
    Picture const picture = paint([&](Canvas& canvas, GuiWidgetDc& dc) {
        int h = 0;
        canvas.get_text_size(CoreString(head), head_w, h);
        canvas.get_text_size("XXXXXXXXXX", xs_w, h);
        dc.draw_text(CoreString(text), 10 - head_w, 40, 0, 0, 0);
    }, 240, 120, &own);
    ASSERT_GT(head_w, 1000);
    Extent const ink = picture.find(dark);
    ASSERT_FALSE(ink.is_empty());
    EXPECT_GE(ink.left, 9);
    EXPECT_LE(ink.right, 10 + xs_w + 1);
}

// --- Boxed text ---

TEST_F(GuiDcTest, BoxedTextIsClippedToItsBoxAndAnUnknownJustificationDrawsNothing)
{
    Picture const picture = paint([](Canvas&, GuiWidgetDc& dc) {
        dc.draw_text("MMMMMMMMMMMMMMMMMMMM", 50, 10, 60, 30, 0, 0, 0, GuiWidget::JUSTIFY_LEFT);
        dc.draw_text("MMMM", 50, 60, 100, 30, 0, 0, 0, GuiWidget::JUSTIFY_COUNT);
        // The clip was given back: this lands outside both boxes.
        dc.draw_rectf(200, 100, 10, 10, 0, 0, 0);
    });
    Extent const clipped = picture.find(dark, 0, 0, 240, 50);
    ASSERT_FALSE(clipped.is_empty());
    EXPECT_TRUE(clipped.left >= 50 && clipped.right <= 109 && clipped.top >= 10 && clipped.bottom <= 39);
    EXPECT_TRUE(picture.find(dark, 0, 55, 240, 40).is_empty());
    EXPECT_EQ(picture.at(205, 105), Color(0, 0, 0));
}

// --- Clamped text ---

TEST_F(GuiDcTest, ClampedTextKeepsAsManyCharactersAsFitThenDots)
{
    struct Case {
        char const* what;
        std::string text, fitting;  // `fitting` is as wide as the box
        bool clamp, keep_end, right;
        std::string drawn;
        GuiWidget::Justify justify;  // JUSTIFY_COUNT: either
        bool shortened;
    } const cases[] = {
        {"clamped at the end", "abcdefghij", "abcde", true, false, false, "abc...", GuiWidget::JUSTIFY_COUNT,
         true},
        {"clamped at the start", "abcdefghij", "fghij", true, true, false, "...hij", GuiWidget::JUSTIFY_COUNT,
         true},
        {"fits", "abc", "abcde", true, false, false, "abc", GuiWidget::JUSTIFY_LEFT, false},
        {"fits, right", "abc", "abcde", true, true, true, "abc", GuiWidget::JUSTIFY_RIGHT, false},
        {"not clamped, too wide", "abcdefghij", "abcde", false, false, false, "abcdefghij",
         GuiWidget::JUSTIFY_RIGHT, false},
        // Characters, not bytes: "\xe2\x82\xac" is the euro sign, "\xc3\xa9" e acute.
        {"three-byte characters", repeat("\xe2\x82\xac", 7), repeat("\xe2\x82\xac", 5), true, false, false,
         repeat("\xe2\x82\xac", 3) + "...", GuiWidget::JUSTIFY_COUNT, true},
        {"two-byte characters, keep_end", "abcd" + repeat("\xc3\xa9", 6), repeat("\xc3\xa9", 5), true, true,
         false, "..." + repeat("\xc3\xa9", 3), GuiWidget::JUSTIFY_COUNT, true},
        {"nothing fits", "abcdefghij", "", true, false, false, "...", GuiWidget::JUSTIFY_RIGHT, true},
    };
    std::vector<bool> results;
    Picture const picture = paint(
        [&](Canvas& canvas, GuiWidgetDc& dc) {
            int i = 0;
            for (Case const& c : cases) {
                int w = 0, h = 0;
                canvas.get_text_size(CoreString(c.fitting), w, h);
                results.push_back(dc.draw_text_clampable(CoreString(c.text), 10, 5 + 25 * i++, w, 20, 0, 0, 0,
                                                         c.clamp, c.keep_end, c.right));
            }
        },
        240, 240);
    std::vector<std::pair<std::string, GuiWidget::Justify>> const& boxed = m_canvas->recording().boxed;
    ASSERT_EQ(boxed.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(boxed[i].first, cases[i].drawn);
        if (cases[i].justify != GuiWidget::JUSTIFY_COUNT) {
            EXPECT_EQ(boxed[i].second, cases[i].justify);
        }
        EXPECT_EQ(results[i], cases[i].shortened);
    }
    // What was chosen reached the window, inside its box.
    Extent const first = picture.find(dark, 0, 0, 240, 30);
    ASSERT_FALSE(first.is_empty());
    EXPECT_NEAR(first.left, 10, 2);
}

// --- Wrapped text ---

TEST_F(GuiDcTest, WrappedTextGoesOntoSeveralLinesInsideItsBox)
{
    Picture const picture = paint([](Canvas&, GuiWidgetDc& dc) {
        dc.draw_wrapped_text(
            "The quick brown fox jumps over the lazy dog, and then over the lazy dog again, "
            "and again, until the box is full and the rest is clipped away.",
            20, 10, 120, 60, 0, 0, 0);
    });
    Extent const ink = picture.find(dark);
    ASSERT_FALSE(ink.is_empty());
    EXPECT_NEAR(ink.left, 20, 2);
    EXPECT_TRUE(ink.top >= 10 && ink.top <= 14 && ink.right <= 139 && ink.bottom <= 69);
    EXPECT_GT(ink.bottom - ink.top, 40) << "several lines";
}

TEST_F(GuiDcTest, IconTextPutsTheIconOnItsSideOfTheJustifiedText)
{
    std::vector<unsigned char> rgba;
    for (int i = 0; i < 8 * 6; ++i) rgba.insert(rgba.end(), {0, 0, 180, 255});
    GuiImage const image(rgba.data(), 8, 6, 4);
    Picture const picture = paint([&](Canvas&, GuiWidgetDc& dc) {
        dc.draw_icon_text(image, "MMM", 20, 10, 200, 30, 0, 0, 0, GuiWidget::JUSTIFY_LEFT,
                          GuiWidget::ICON_POSITION_LEFT, false, true);
        dc.draw_icon_text(image, "MMM", 20, 60, 200, 30, 0, 0, 0, GuiWidget::JUSTIFY_RIGHT,
                          GuiWidget::ICON_POSITION_RIGHT, false, true);
    });
    auto is_image = [](Color const& c) { return c[2] > 150 && c[0] < 100; };
    Extent const left_icon = picture.find(is_image, 0, 0, 240, 50);
    Extent const right_icon = picture.find(is_image, 0, 50, 240, 70);
    EXPECT_EQ(GMathVec2<int>(left_icon.left, right_icon.right), GMathVec2<int>(20, 219));
    EXPECT_GE(picture.find(dark, 0, 0, 240, 50).left, left_icon.right);
    EXPECT_LE(picture.find(dark, 0, 50, 240, 70).right, right_icon.left);
}

// --- Measuring ---

TEST_F(GuiDcTest, MeasuresInTheOwnersFontAtTheAskedWeight)
{
    GuiWindow& window = make_window(100, 50);
    GuiWidget* widget = new GuiWidget(window, 0, 0, 100, 50);
    // The toolkit's sans faces: their bold is wider (Roboto's weights share their widths).
    widget->set_font(GuiFont("sans", 12));
    GuiDc& dc = widget->get_dc();

    char const* const text = "The weight of this text";
    int normal_w = 0, bold_w = 0, h = 0;
    dc.get_text_size(text, normal_w, h);
    dc.get_text_size(CoreString(text), bold_w, h, GuiFont::WEIGHT_BOLD);
    EXPECT_GT(bold_w, normal_w);
    EXPECT_EQ(widget->get_font().get_weight(), GuiFont::WEIGHT_NORMAL) << "the weight is switched back";

    // A bold font measured in the normal weight, and left bold.
    widget->get_font().set_weight(GuiFont::WEIGHT_BOLD);
    int again_w = 0;
    dc.get_text_size(text, again_w, h);
    EXPECT_EQ(again_w, normal_w);
    EXPECT_EQ(widget->get_font().get_weight(), GuiFont::WEIGHT_BOLD);
}

}  // namespace
