// A widget's own font, for measuring and drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/core/gui_dc.h"
#include "gui/core/gui_font.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_test_app.h"

namespace {

// Draws one line of text in white on black through its drawing context.
class TextWidget : public GuiWidget {
public:
    using GuiWidget::GuiWidget;
    void draw(GuiDc& dc) override
    {
        dc.draw_rectf(get_x(), get_y(), get_width(), get_height(), 0, 0, 0);
        dc.draw_text("MMMMMMMM", get_x() + 2, get_y() + get_height() - 6, 255, 255, 255);
    }
};

// The rightmost column of the widget holding a bright pixel, relative to its left edge.
int text_extent(GuiWindow& window, GuiWidget const& widget)
{
    int w = 0, h = 0;
    std::vector<unsigned char> const rgb = read_window_rgb(window, w, h);
    int extent = -1;
    for (int y = widget.get_y(); y < widget.get_y() + widget.get_height(); ++y)
        for (int x = widget.get_x(); x < widget.get_x() + widget.get_width(); ++x)
            if (pixel_at(rgb, w, x, y)[0] > 128) extent = std::max(extent, x - widget.get_x());
    return extent;
}

class GuiWidgetFontTest : public GuiTest {};

TEST_F(GuiWidgetFontTest, WidgetsMeasureAndDrawInTheirOwnFont)
{
    GuiWindow& window = make_window(400, 120);
    TextWidget* small = new TextWidget(window, 0, 0, 400, 50);
    TextWidget* large = new TextWidget(window, 0, 60, 400, 50);

    GuiFont big(GuiFont::get_default().get_family(), 24, GuiFont::WEIGHT_BOLD);
    large->set_font(big);
    big.set_size(8);  // the widget keeps its copy
    EXPECT_EQ(large->get_font().get_size(), 24);

    int small_w = 0, small_h = 0, large_w = 0, large_h = 0;
    small->get_text_size("MMMMMMMM", small_w, small_h);
    large->get_text_size("MMMMMMMM", large_w, large_h);
    EXPECT_GT(large_w, small_w * 3 / 2);
    EXPECT_GT(large_h, small_h);

    small->show();
    large->show();
    pump_events(app());
    int const small_extent = text_extent(window, *small);
    int const large_extent = text_extent(window, *large);
    // What is drawn is as wide as what is measured, give or take the glyphs' side bearings.
    EXPECT_NEAR(small_extent, small_w + 2, 4);
    EXPECT_NEAR(large_extent, large_w + 2, 6);
}

}  // namespace
