// Texts drawn again come from the text cache's pages and look as they did glyph by glyph;
// texts the cache cannot reproduce stay glyph by glyph; a full cache makes room.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <string>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_text_cache.h"
#include "tests/gui_gl/gui_gl_test_view.h"

namespace {

class GuiGlTextCacheTest : public GlViewTest {
protected:
    void TearDown() override
    {
        // The next test starts from an empty cache of the usual size.
        if (m_view)
            draw_with(*m_view, [](GuiGlWidgetDc&) {
                GuiGlTextCache::get().set_limits(GuiGlTextCache::DEFAULT_PAGE_SIZE,
                                                 GuiGlTextCache::DEFAULT_MAX_PAGES);
                GuiGlTextCache::get().set_enabled(true);
            });
        GlViewTest::TearDown();
    }
    GlTestView& make_text_view(int w, int h, int font_size)
    {
        m_view = &make_view(w, h);
        m_view->get_font().set_size(font_size);
        draw_with(*m_view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().clear(); });
        return *m_view;
    }
    // Each text at its pen position, under the view's pixel projection and the transform.
    struct Label {
        std::string text;
        double x, y;
    };
    static void draw_labels(GuiGlWidgetDc& dc, std::vector<Label> const& labels,
                            std::function<void()> const& transform)
    {
        dc.fast_draw_text_begin();
        for (Label const& label : labels) {
            glColor3ub(255, 255, 255);
            glLoadIdentity();
            glTranslated(label.x, label.y, 0.0);
            transform();
            dc.fast_draw_text(label.text.c_str());
        }
        dc.fast_draw_text_end();
    }
    std::vector<unsigned char> draw_labels_now(
        std::vector<Label> const& labels, std::function<void()> const& transform = [] {})
    {
        return draw_with(*m_view, [&](GuiGlWidgetDc& dc) { draw_labels(dc, labels, transform); });
    }

    // The view's font, under a projection of its pixels with y upwards, as text is drawn.
    static FontGlData* use_font_over_upward_pixels(GlTestView& view, GuiGlWidgetDc& dc)
    {
        view.set_active_font(dc.get_font());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, view.get_width(), 0, view.get_height(), -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        return view.get_ready_active_font();
    }

    GlTestView* m_view = nullptr;
};

TEST_F(GuiGlTextCacheTest, TextsDrawnAgainLookAsTheirGlyphsDid)
{
    struct Row {
        char const* name;
        double x, y, scale;
        int tolerance;
    };
    // Inside a pixel, the cache keeps the origin to an eighth of a pixel: an edge pixel's
    // coverage may move by a sixteenth.
    Row const rows[] = {{"whole pixels", 12.0, 30.0, 1.0, 3},
                        {"inside a pixel", 12.3, 30.6, 1.0, 24},
                        {"scaled", 12.0, 30.0, 1.5, 3},
                        {"scaled down", 7.0, 20.0, 0.6, 3}};
    GlTestView& view = make_text_view(300, 80, 20);
    for (Row const& row : rows) {
        SCOPED_TRACE(row.name);
        draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().clear(); });
        std::vector<Label> const labels{{"Quick fox 0.5", row.x, row.y}};
        auto const scale = [&row] { glScaled(row.scale, row.scale, 1.0); };
        std::vector<unsigned char> const glyphs = draw_labels_now(labels, scale);
        EXPECT_GT(count_lit(view), 100);
        EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 0u);
        std::vector<unsigned char> const placed = draw_labels_now(labels, scale);
        EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 1u);
        EXPECT_EQ(count_differences(placed, glyphs, row.tolerance), 0);
        EXPECT_EQ(count_differences(draw_labels_now(labels, scale), glyphs, row.tolerance), 0);
    }
}

TEST_F(GuiGlTextCacheTest, RotatedOrStretchedTextsStayGlyphByGlyph)
{
    GlTestView& view = make_text_view(300, 120, 20);
    std::vector<Label> const labels{{"Quick fox", 20.0, 40.0}};
    std::function<void()> const transforms[] = {[] { glRotated(15.0, 0.0, 0.0, 1.0); },
                                                [] { glScaled(1.5, 1.0, 1.0); }};
    for (auto const& transform : transforms) {
        for (int frame = 0; frame < 3; ++frame) draw_labels_now(labels, transform);
        EXPECT_GT(count_lit(view), 100);
        EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 0u);
    }
}

TEST_F(GuiGlTextCacheTest, AClipCutsACachedTextAsItCutsItsGlyphs)
{
    GlTestView& view = make_text_view(300, 80, 30);
    auto const clipped = [&view](GuiGlWidgetDc& dc) {
        FontGlData* font = use_font_over_upward_pixels(view, dc);
        ASSERT_NE(font, nullptr);
        GuiGlBatch& batch = dc.begin_batch();
        batch.load_gl_matrices();
        batch.set_clip(10, 25, 80, 12);  // through the middle of the first letters
        batch.set_color(255, 255, 255);
        batch.add_glyphs(*font, GuiGlWidget::to_atlas_codes("MMMM MMMM"), 12.0f, 20.0f);
        dc.end_batch();
    };
    std::vector<unsigned char> const glyphs = draw_with(view, clipped);
    GlTestView::Box const box = view.lit_box();
    EXPECT_GE(box.x0, 10);
    EXPECT_LE(box.x1, 89);
    draw_with(view, clipped);
    EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 1u);
    EXPECT_EQ(count_differences(draw_with(view, clipped), glyphs, 3), 0);
}

TEST_F(GuiGlTextCacheTest, ShapesAddedWithoutAProjectionKeepTheCallersWhileTextsArePlaced)
{
    GlTestView& view = make_text_view(200, 80, 20);
    auto const box_and_text = [&view](GuiGlWidgetDc& dc) {
        view.set_active_font(dc.get_font());
        FontGlData* font = view.get_ready_active_font();
        ASSERT_NE(font, nullptr);
        GuiGlBatch batch;  // a batch that has taken no projection yet
        batch.set_color(0, 0, 255);
        batch.add_rectf(150, 10, 20, 20);  // under the view's pixel projection, y downwards
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, view.get_width(), 0, view.get_height(), -1, 1);
        batch.load_projection();
        batch.set_color(255, 255, 255);
        batch.add_glyphs(*font, GuiGlWidget::to_atlas_codes("Quick"), 10.0f, 30.0f);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        batch.flush();
    };
    for (int frame = 0; frame < 3; ++frame) {
        draw_with(view, box_and_text);
        EXPECT_EQ(view.pixel(160, 20), GMathVec3<unsigned char>(0, 0, 255)) << frame;
        EXPECT_EQ(view.pixel(160, 60), GMathVec3<unsigned char>(0, 0, 0)) << frame;
    }
    EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 1u);
}

TEST_F(GuiGlTextCacheTest, ATextPlacedByABatchEmptiedUndrawnIsPlacedAgain)
{
    GlTestView& view = make_text_view(300, 80, 20);
    std::vector<Label> const labels{{"Quick fox", 12.0, 30.0}};
    std::vector<unsigned char> const glyphs = draw_labels_now(labels);
    draw_with(view, [&view](GuiGlWidgetDc& dc) {
        FontGlData* font = use_font_over_upward_pixels(view, dc);
        ASSERT_NE(font, nullptr);
        GuiGlBatch batch;
        batch.load_gl_matrices();
        batch.add_glyphs(*font, GuiGlWidget::to_atlas_codes("Quick fox"), 12.0f, 30.0f);
        EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 1u);
        batch.clear();
    });
    EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 0u);
    for (int frame = 0; frame < 2; ++frame)
        EXPECT_EQ(count_differences(draw_labels_now(labels), glyphs, 3), 0) << frame;
}

TEST_F(GuiGlTextCacheTest, APageABatchDrawsFromIsNotDroppedWhileOthersFlush)
{
    GlTestView& view = make_text_view(420, 200, 12);
    draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().set_limits(64, 1); });
    std::vector<Label> grid;
    for (int i = 0; i < 40; ++i)
        grid.push_back(Label{"b" + std::to_string(i), 10.0 + (i % 10) * 40, 50.0 + (i / 10) * 30});
    // One batch holds "a" from the page while two others fill it and need more room.
    auto const interleaved = [&view, &grid](GuiGlWidgetDc& dc) {
        FontGlData* font = use_font_over_upward_pixels(view, dc);
        ASSERT_NE(font, nullptr);
        GuiGlBatch holder;
        holder.load_gl_matrices();
        holder.add_glyphs(*font, "a", 10.0f, 20.0f);
        // The second pass asks for room first, with the texts that found none in the first.
        for (int pass = 0; pass < 2; ++pass) {
            GuiGlBatch other;
            other.load_gl_matrices();
            for (size_t i = 0; i < grid.size(); ++i) {
                Label const& label = grid[pass == 0 ? i : grid.size() - 1 - i];
                other.add_glyphs(*font, label.text, static_cast<float>(label.x), static_cast<float>(label.y));
            }
            other.flush();
        }
        holder.flush();
    };
    std::vector<Label> everything = grid;
    everything.push_back(Label{"a", 10.0, 20.0});
    draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().set_enabled(false); });
    std::vector<unsigned char> const glyphs = draw_labels_now(everything);
    std::vector<unsigned char> const interleaved_glyphs = draw_with(view, interleaved);
    draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().set_enabled(true); });
    for (int frame = 0; frame < 2; ++frame)
        EXPECT_EQ(count_differences(draw_with(view, interleaved), interleaved_glyphs, 3), 0);
    size_t const dropped = GuiGlTextCache::get().get_dropped_page_count();
    EXPECT_EQ(count_differences(draw_with(view, interleaved), interleaved_glyphs, 3), 0);
    EXPECT_EQ(GuiGlTextCache::get().get_dropped_page_count(), dropped);
    // What the page holds is what its entries say.
    for (int frame = 0; frame < 2; ++frame)
        EXPECT_EQ(count_differences(draw_labels_now(everything), glyphs, 3), 0) << frame;
}

TEST_F(GuiGlTextCacheTest, AFullCacheDropsThePageDrawnFromLeastRecently)
{
    GlTestView& view = make_text_view(420, 200, 12);
    // Two pages that hold fewer short labels than one grid has.
    draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().set_limits(64, 2); });
    auto const grid = [](char const* prefix) {
        std::vector<Label> labels;
        for (int i = 0; i < 60; ++i)
            labels.push_back(Label{prefix + std::to_string(i), 10.0 + (i % 10) * 40, 20.0 + (i / 10) * 30});
        return labels;
    };
    std::vector<Label> const first = grid("a"), second = grid("b");
    // As drawn glyph by glyph, from a cache that is off.
    draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().set_enabled(false); });
    std::vector<unsigned char> const first_glyphs = draw_labels_now(first);
    std::vector<unsigned char> const second_glyphs = draw_labels_now(second);
    draw_with(view, [](GuiGlWidgetDc&) { GuiGlTextCache::get().set_enabled(true); });

    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(count_differences(draw_labels_now(first), first_glyphs, 3), 0);
    EXPECT_GT(GuiGlTextCache::get().get_kept_count(), 12u);
    EXPECT_EQ(GuiGlTextCache::get().get_page_count(), 2u);
    EXPECT_EQ(GuiGlTextCache::get().get_dropped_page_count(), 0u);
    // The second grid takes the pages over, and the first takes them back.
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(count_differences(draw_labels_now(second), second_glyphs, 3), 0) << frame;
    size_t const dropped = GuiGlTextCache::get().get_dropped_page_count();
    EXPECT_GE(dropped, 2u);
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(count_differences(draw_labels_now(first), first_glyphs, 3), 0) << frame;
    EXPECT_GT(GuiGlTextCache::get().get_dropped_page_count(), dropped);
    EXPECT_EQ(GuiGlTextCache::get().get_page_count(), 2u);
}

TEST_F(GuiGlTextCacheTest, TextsSeenOnceAreForgottenWhenTooMany)
{
    GlTestView& view = make_text_view(300, 80, 20);
    std::vector<Label> const labels{{"Quick fox", 12.0, 30.0}};
    draw_labels_now(labels);
    // Texts that change every frame: each is seen once.
    draw_with(view, [](GuiGlWidgetDc&) {
        GuiGlTextCache::Key key;
        GuiGlTextCache::Place place;
        for (size_t i = 0; i < GuiGlTextCache::MAX_SEEN_ONCE; ++i) {
            key.codes = "frame " + std::to_string(i);
            EXPECT_FALSE(GuiGlTextCache::get().find(key, 40, 12, place));
        }
    });
    draw_labels_now(labels);
    EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 0u);
    draw_labels_now(labels);
    EXPECT_EQ(GuiGlTextCache::get().get_kept_count(), 1u);
}

}  // namespace
