// The OpenGL drawing context's text forms, read back from the framebuffer.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include "gui/gl/gui_gl_widget.h"
#include "gui/gl/gui_gl_widget_dc.h"
#include "tests/gui_gl/gui_gl_test_view.h"

namespace {

class GuiGlDcTest : public GlViewTest {
protected:
    using Box = GlTestView::Box;
    GlTestView& make_text_view(int w = 300, int h = 120)
    {
        GlTestView& view = make_view(w, h);
        view.get_font().set_size(20);
        return view;
    }
    void draw(GlTestView& view, std::function<void(GuiGlWidgetDc&)> drawing)
    {
        view.drawing = std::move(drawing);
        GlViewTest::draw(view);
    }
    // Pixel units with y upwards, white, from (x, y).
    static void start_at(int w, int h, double x, double y)
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, 0, h, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(x, y, 0.0);
        glColor3ub(255, 255, 255);
    }
};

TEST_F(GuiGlDcTest, BatchedTextMatchesTextDrawnOneByOne)
{
    GlTestView& view = make_text_view();
    draw(view, [](GuiGlWidgetDc& dc) { dc.draw_text("Batch 42", 30, 60, 255, 255, 255); });
    std::vector<unsigned char> const single = view.pixels;
    draw(view, [&view](GuiGlWidgetDc& dc) {
        dc.fast_draw_text_begin();
        glColor3ub(255, 255, 255);
        glLoadIdentity();
        glTranslated(30.0, view.get_height() - 60.0, 0.0);
        dc.fast_draw_text("Batch 42");
        dc.fast_draw_text_end();
    });
    EXPECT_EQ(view.pixels, single);
    Box const box = view.lit_box();
    EXPECT_GT(box.x1, box.x0 + 40);
}

TEST_F(GuiGlDcTest, JustificationPlacesTheTextInItsBox)
{
    GlTestView& view = make_text_view();
    auto const boxed = [&view](GuiWidget::Justify justify) {
        return [&view, justify](GuiGlWidgetDc& dc) {
            start_at(view.get_width(), view.get_height(), 50.0, 50.0);
            dc.draw_text("WIDE", 0, GuiGlWidget::TEXT_ELLIPSIS_NONE, justify, 200, 1.0f, false, 0);
        };
    };
    draw(view, boxed(GuiWidget::JUSTIFY_LEFT));
    Box const left = view.lit_box();
    draw(view, boxed(GuiWidget::JUSTIFY_RIGHT));
    Box const right = view.lit_box();
    draw(view, boxed(GuiWidget::JUSTIFY_CENTER));
    Box const centre = view.lit_box();
    EXPECT_NEAR(left.x0, 50, 3);
    EXPECT_NEAR(right.x1, 250, 4);
    EXPECT_NEAR((centre.x0 + centre.x1) / 2, 150, 4);
    EXPECT_NEAR(right.x1 - right.x0, left.x1 - left.x0, 1);
}

TEST_F(GuiGlDcTest, ScalingThroughTheFontSizeKeepsItsLimit)
{
    GlTestView& view = make_text_view(400, 160);
    GMathVec3<int> drawn;
    auto const scaled = [&view, &drawn](float scale, int max_size) {
        return [&view, &drawn, scale, max_size](GuiGlWidgetDc& dc) {
            start_at(view.get_width(), view.get_height(), 10.0, 40.0);
            drawn = dc.draw_text("HHH", 0, GuiGlWidget::TEXT_ELLIPSIS_NONE, GuiWidget::JUSTIFY_LEFT, 0, scale, true,
                                 max_size);
        };
    };
    draw(view, scaled(1.0f, 100));
    Box const normal = view.lit_box();
    int const normal_width = drawn[0];
    draw(view, scaled(2.0f, 100));
    Box const twice = view.lit_box();
    EXPECT_NEAR(drawn[0], normal_width * 2, 2);
    EXPECT_NEAR(twice.y1 - twice.y0, 2 * (normal.y1 - normal.y0), 3);
    EXPECT_EQ(view.get_font().get_size(), 20);  // restored
    draw(view, scaled(3.0f, 31));                // limited to size 30
    EXPECT_NEAR(drawn[1], 30, 1);
    draw(view, scaled(3.0f, 4));  // a limit below 4 draws nothing
    EXPECT_EQ(drawn, GMathVec3<int>(0, 0, 0));
    EXPECT_TRUE(view.lit_box().empty());
}

TEST_F(GuiGlDcTest, OutlinesAndBoxesSurroundTheText)
{
    GlTestView& view = make_text_view();
    draw(view, [](GuiGlWidgetDc& dc) { dc.draw_text_with_rect("Box", 40, 60, 255, 255, 255, 200, 0, 0, 6); });
    // The box reaches the margin beyond the text, in its colour.
    EXPECT_EQ(view.pixel(36, 55), GMathVec3<unsigned char>(200, 0, 0));
    Box const text = view.lit_box(150);
    EXPECT_GT(text.x1, text.x0);

    draw(view, [](GuiGlWidgetDc& dc) {
        dc.draw_text_with_outline("I", 60, 80, 255, 255, 255, 0, 0, 255, 1.0);
    });
    Box const stem = view.lit_box(200);
    ASSERT_GT(stem.x1, stem.x0 - 1);
    int const middle = (stem.y0 + stem.y1) / 2;
    EXPECT_GT(view.pixel(stem.x0 - 1, middle)[2], 100);  // the outline colour beside the stem
    EXPECT_GT(view.pixel(stem.x1 + 1, middle)[2], 100);
}

}  // namespace
