// The batch draws what immediate OpenGL drew, in the order shapes were added, one call per
// run of equal state; and curves keep their tessellation between changes.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <FL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/gl/gui_gl_batch.h"
#include "gui/gl/gui_gl_curve.h"
#include "gui/gl/gui_gl_text_cache.h"
#include "host/glutils/glutils_program.h"
#include "tests/gui_gl/gui_gl_test_view.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

using Point = GuiGlBatch::Point;

using GuiGlBatchTest = GlViewTest;

// Texts drawn glyph by glyph, so that run counts are the batch's own.
struct TextCacheOff {
    TextCacheOff() { GuiGlTextCache::get().set_enabled(false); }
    ~TextCacheOff() { GuiGlTextCache::get().set_enabled(true); }
};

TEST_F(GuiGlBatchTest, RectanglesMatchTheToolkitsOwn)
{
    struct Row {
        int x, y, w, h;
    };
    Row const rows[] = {{10, 10, 50, 30}, {70, 20, 1, 1}, {100, 60, -40, -20}, {5, 70, 120, 2}};
    GlTestView& view = make_view(160, 100);
    for (Row const& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y << " " << row.w << "x" << row.h);
        std::vector<unsigned char> const outline = draw_with(view, [row](GuiGlWidgetDc&) {
            glColor3ub(0, 255, 0);
            gl_rect(row.x, row.y, row.w, row.h);
        });
        EXPECT_EQ(count_differences(draw_with(view, [row](GuiGlWidgetDc& dc) { dc.draw_rect(row.x, row.y, row.w, row.h, 0, 255, 0); }),
                                    outline),
                  0);
        std::vector<unsigned char> const filled = draw_with(view, [row](GuiGlWidgetDc&) {
            glColor3ub(0, 255, 0);
            glRecti(row.x, row.y, row.x + row.w, row.y + row.h);
        });
        EXPECT_EQ(count_differences(draw_with(view, [row](GuiGlWidgetDc& dc) { dc.draw_rectf(row.x, row.y, row.w, row.h, 0, 255, 0); }),
                                    filled),
                  0);
    }
}

TEST_F(GuiGlBatchTest, TextMatchesTheFontsDisplayLists)
{
    GlTestView& view = make_view(300, 80);
    view.get_font().set_size(20);
    auto const at_baseline = [&view]() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, view.get_width(), 0, view.get_height(), -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(12.0, 30.0, 0.0);
        glColor3ub(255, 255, 255);
    };
    std::string const codes = GuiGlWidget::to_atlas_codes("Quick fox 0.5");
    std::vector<unsigned char> const listed = draw_with(view, [&](GuiGlWidgetDc& dc) {
        view.set_active_font(dc.get_font());
        FontGlData* font = view.get_ready_active_font();
        ASSERT_NE(font, nullptr);
        // The lists draw whatever the texture holds: their glyphs must be made first.
        GuiGlWidget::make_font_glyphs(*font, codes);
        at_baseline();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBindTexture(GL_TEXTURE_2D, font->texture);
        GlProgram* shader = GuiGlWidgetDc::get_font_shader();
        ASSERT_NE(shader, nullptr);
        shader->use();
        shader->set_uniform("u_texture", 0);
        float const size = static_cast<float>(font->desc->atlas_size);
        shader->set_uniform("u_textureSize", size, size);
        std::vector<GLuint> lists;
        for (char c : codes) lists.push_back(static_cast<GLuint>(static_cast<signed char>(c) + 128));
        glListBase(font->list_base);
        glCallLists(static_cast<GLsizei>(lists.size()), GL_UNSIGNED_INT, lists.data());
        glListBase(0);
        GlProgram::unuse();
        glDisable(GL_TEXTURE_2D);
    });
    std::vector<unsigned char> const batched = draw_with(view, [&](GuiGlWidgetDc& dc) {
        at_baseline();
        dc.draw_text("Quick fox 0.5", 0, GuiGlWidget::TEXT_ELLIPSIS_NONE, GuiWidget::JUSTIFY_LEFT, 0, 1.0f, false, 0);
    });
    EXPECT_GT(count_lit(view), 100);
    // Single-precision positions may move an edge pixel's coverage by a level or two.
    EXPECT_EQ(count_differences(batched, listed, 3), 0);
}

TEST_F(GuiGlBatchTest, TextOfAnAtlasInTheMakingIsDrawnWithItsGlyphs)
{
    // The first frame with a face not in the cache makes only its text's glyphs and puts
    // them into the texture: it looks as it does once the whole atlas is made.
    TemporaryPreferences preferences;
    GlTestView& view = make_view(300, 80);
    view.get_font() = GuiFont("gl test in the making", 20);
    auto const text = [&view](GuiGlWidgetDc& dc) {
        view.set_active_font(dc.get_font());
        dc.draw_text("Quick fox 0.5", 0, 0, 300, 80, 255, 255, 255);
    };
    std::vector<unsigned char> const first = draw_with(view, text);
    EXPECT_GT(count_lit(view), 50);
    GuiFont::FontDesc const* desc = view.get_active_font()->desc;
    ASSERT_NE(desc->fields, nullptr);
    desc->make_all_glyphs();
    EXPECT_EQ(count_differences(draw_with(view, text), first), 0);
}

TEST_F(GuiGlBatchTest, RoundedBoxesCutTheirCornersByTheRadius)
{
    struct Row {
        float radius;
        bool corner_lit;  // the box's own corner pixel
        bool inset_lit;   // two pixels in along the diagonal
    };
    Row const rows[] = {{0.0f, true, true}, {3.0f, false, true}, {12.0f, false, false}, {100.0f, false, false}};
    GlTestView& view = make_view(120, 80);
    for (Row const& row : rows) {
        SCOPED_TRACE(row.radius);
        draw_with(view, [row](GuiGlWidgetDc& dc) {
            GuiGlBatch& batch = dc.begin_batch();
            batch.load_gl_matrices();
            batch.set_color(0, 255, 0);
            batch.add_rounded_rectf(20, 10, 80, 60, row.radius);
            dc.end_batch();
        });
        EXPECT_EQ(view.pixel(20, 10)[1] > 100, row.corner_lit);
        EXPECT_EQ(view.pixel(22, 12)[1] > 100, row.inset_lit);
        EXPECT_GT(view.pixel(60, 10)[1], 100);  // the middle of each side stays
        EXPECT_GT(view.pixel(20, 40)[1], 100);
        EXPECT_GT(view.pixel(99, 40)[1], 100);
    }
    // A radius beyond half the shorter side makes the short sides half circles.
    double const pill = 80.0 * 60.0 - (4.0 - M_PI) * 30.0 * 30.0;
    EXPECT_NEAR(count_lit(view), pill, pill * 0.02);
}

TEST_F(GuiGlBatchTest, FramesAndRingsCoverOnlyTheirBand)
{
    struct Row {
        float radius;
        float thickness;
    };
    // Square, rounded wider and narrower than the band, and a band that fills the box.
    Row const rows[] = {{0.0f, 6.0f}, {12.0f, 6.0f}, {4.0f, 10.0f}, {10.0f, 40.0f}};
    GlTestView& view = make_view(120, 80);
    for (Row const& row : rows) {
        SCOPED_TRACE(testing::Message() << row.radius << " / " << row.thickness);
        draw_with(view, [row](GuiGlWidgetDc& dc) {
            GuiGlBatch& batch = dc.begin_batch();
            batch.load_gl_matrices();
            batch.set_color(0, 255, 0);
            batch.add_rounded_framef(20, 10, 80, 60, row.radius, row.thickness);
            dc.end_batch();
        });
        bool const filled = 2.0f * row.thickness >= 60.0f;
        EXPECT_GT(view.pixel(60, 12)[1], 100);  // inside the band, mid-side
        EXPECT_EQ(view.pixel(60, 40)[1] > 100, filled);  // the middle
        EXPECT_EQ(view.pixel(static_cast<int>(20 + row.thickness + 2), 40)[1] > 100, filled);  // just inside
        // The band's area: the box less the inner box, both with their corners cut.
        auto const area = [](float w, float h, float r) { return w * h - (4.0f - static_cast<float>(M_PI)) * r * r; };
        float const t = row.thickness;
        double const band = filled ? area(80, 60, row.radius)
                                   : area(80, 60, row.radius) - area(80 - 2 * t, 60 - 2 * t, std::max(row.radius - t, 0.0f));
        EXPECT_NEAR(count_lit(view), band, band * 0.05);
    }
    draw_with(view, [](GuiGlWidgetDc& dc) {
        GuiGlBatch& batch = dc.begin_batch();
        batch.load_gl_matrices();
        batch.set_color(0, 255, 0);
        batch.add_ringf(60, 40, 20, 30);
        dc.end_batch();
    });
    EXPECT_LT(view.pixel(60, 40)[1], 100);
    EXPECT_GT(view.pixel(85, 40)[1], 100);
    EXPECT_LT(view.pixel(92, 40)[1], 100);
    double const ring = M_PI * (30.0 * 30.0 - 20.0 * 20.0);
    EXPECT_NEAR(count_lit(view), ring, ring * 0.05);
}

TEST_F(GuiGlBatchTest, CurvesPassThroughTheirPointsAndMatchALineStrip)
{
    GlTestView& view = make_view(200, 120);
    GuiGlCurve const curve(Point{10, 100}, Point{80, 100}, Point{120, 10}, Point{190, 10});
    std::vector<unsigned char> const strip = draw_with(view, [&curve](GuiGlWidgetDc&) {
        glColor3ub(0, 255, 0);
        glBegin(GL_LINE_STRIP);
        for (Point const& p : curve.get_points()) glVertex2f(p.x, p.y);
        glEnd();
    });
    std::vector<unsigned char> const batched = draw_with(view, [&curve](GuiGlWidgetDc& dc) {
        GuiGlBatch& batch = dc.begin_batch();
        batch.load_gl_matrices();
        batch.set_color(0, 255, 0);
        batch.add_curve(curve);
        dc.end_batch();
    });
    EXPECT_EQ(count_differences(batched, strip), 0);
    for (float t : {0.1f, 0.5f, 0.9f}) {
        Point const p = curve.evaluate(t);
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                near = near || view.pixel(static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy)[1] > 100;
        EXPECT_TRUE(near) << "t " << t;
    }
    EXPECT_EQ(view.pixel(100, 100)[1], 0);  // not the chord's corner
}

TEST_F(GuiGlBatchTest, AClipKeepsItsRunInsideAndLiftsForTheNext)
{
    GlTestView& view = make_view(120, 80);
    draw_with(view, [](GuiGlWidgetDc& dc) {
        GuiGlBatch& batch = dc.begin_batch();
        batch.load_gl_matrices();
        batch.set_color(0, 255, 0);
        batch.set_clip(30, 40, 20, 20);  // window pixels from the bottom: view rows 20..39
        batch.add_rectf(0, 0, 60, 60);
        batch.clear_clip();
        batch.set_color(0, 0, 255);
        batch.add_rectf(80, 60, 30, 15);
        EXPECT_EQ(batch.get_run_count(), 2u);
        dc.end_batch();
    });
    GlTestView::Box const clipped = view.lit_box();
    EXPECT_EQ(clipped.x0, 30);
    EXPECT_EQ(clipped.x1, 49);
    EXPECT_EQ(clipped.y0, 20);
    EXPECT_EQ(clipped.y1, 39);
    EXPECT_EQ(view.pixel(90, 70)[2], 255);
}

TEST_F(GuiGlBatchTest, RunsFollowStateChangesAndKeepTheOrderOfAddition)
{
    TextCacheOff glyph_by_glyph;
    GlTestView& view = make_view(160, 60);
    view.get_font().set_size(30);
    size_t calls = 0;
    // Box, label, box over the label: three runs, and the last box hides the label under it.
    draw_with(view, [&](GuiGlWidgetDc& dc) {
        dc.begin_batch();
        dc.draw_rectf(0, 0, 160, 60, 0, 0, 80);
        dc.draw_text("MMMM", 10, 40, 255, 255, 255);
        dc.draw_rectf(0, 0, 40, 60, 255, 0, 0);
        dc.end_batch();
        calls = dc.get_batch().get_last_draw_call_count();
    });
    EXPECT_EQ(calls, 3u);
    for (int y = 5; y < 55; y += 5) EXPECT_EQ(view.pixel(20, y), GMathVec3<unsigned char>(255, 0, 0)) << y;
    EXPECT_GT(count_lit(view), 0);  // the label beyond the covering box
    // Adding every box first, then every label, makes one call per kind.
    draw_with(view, [&](GuiGlWidgetDc& dc) {
        dc.begin_batch();
        for (int i = 0; i < 4; ++i) dc.draw_rectf(i * 40, 0, 30, 20, 0, 0, 80);
        for (int i = 0; i < 4; ++i) dc.draw_text("a", i * 40, 40, 255, 255, 255);
        dc.end_batch();
        calls = dc.get_batch().get_last_draw_call_count();
    });
    EXPECT_EQ(calls, 2u);
}

TEST_F(GuiGlBatchTest, FlushingKeepsTheCallersState)
{
    GlTestView& view = make_view(100, 60);
    GLint program = -1;
    GLint texture = -1;
    GLboolean blend = GL_TRUE;
    GLboolean scissor = GL_FALSE;
    GLfloat color[4] = {};
    GLfloat projection[16] = {};
    GLfloat before_projection[16] = {};
    draw_with(view, [&](GuiGlWidgetDc& dc) {
        GLuint own = 0;
        glGenTextures(1, &own);
        glBindTexture(GL_TEXTURE_2D, own);
        glDisable(GL_BLEND);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 100, 60);
        glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
        glGetFloatv(GL_PROJECTION_MATRIX, before_projection);
        dc.draw_text_with_rect("Ab", 10, 30, 255, 255, 255, 0, 0, 255, 2);
        dc.draw_rectf(50, 10, 20, 20, 0, 255, 0);
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        blend = glIsEnabled(GL_BLEND);
        scissor = glIsEnabled(GL_SCISSOR_TEST);
        glGetFloatv(GL_CURRENT_COLOR, color);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        EXPECT_EQ(static_cast<GLuint>(texture), own);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &own);
    });
    EXPECT_EQ(program, 0);
    EXPECT_FALSE(blend);
    EXPECT_TRUE(scissor);
    EXPECT_FLOAT_EQ(color[1], 0.5f);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection[i], before_projection[i]);
    EXPECT_EQ(view.pixel(60, 20), GMathVec3<unsigned char>(0, 255, 0));
}

TEST_F(GuiGlBatchTest, AnUnmatchedEndIsReportedAndChangesNothing)
{
    GlTestView& view = make_view(60, 40);
    LogRecorder log;
    draw_with(view, [](GuiGlWidgetDc& dc) {
        dc.end_batch();
        dc.begin_batch();
        dc.begin_batch();
        dc.draw_rectf(0, 0, 10, 10, 0, 255, 0);
        dc.end_batch();  // still inside the outer batch: nothing drawn yet
        EXPECT_EQ(dc.get_batch().get_vertex_count(), 6u);
        dc.end_batch();
        EXPECT_TRUE(dc.get_batch().is_empty());
    });
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 1u) << log.dump();
    EXPECT_GT(view.pixel(5, 5)[1], 100);
}

TEST(GuiGlCurveTest, PointsAreMadeOncePerChange)
{
    GuiGlCurve curve(Point{0, 0}, Point{100, 0}, Point{100, 100}, Point{200, 100});
    std::vector<Point> const first = curve.get_points();
    curve.get_points();
    curve.set(Point{0, 0}, Point{100, 0}, Point{100, 100}, Point{200, 100});  // the same points
    curve.get_points();
    EXPECT_EQ(curve.get_tessellation_count(), 1u);
    EXPECT_FLOAT_EQ(first.front().x, 0.0f);
    EXPECT_FLOAT_EQ(first.back().x, 200.0f);
    EXPECT_FLOAT_EQ(first.back().y, 100.0f);
    curve.set(Point{0, 0}, Point{100, 0}, Point{100, 100}, Point{200, 150});
    EXPECT_FLOAT_EQ(curve.get_points().back().y, 150.0f);
    EXPECT_EQ(curve.get_tessellation_count(), 2u);
    // Tolerances within the default's power of two keep the points; a finer one makes more.
    size_t const coarse = curve.get_points(0.3f).size();
    curve.get_points(0.45f);
    EXPECT_EQ(curve.get_tessellation_count(), 2u);
    EXPECT_GT(curve.get_points(0.01f).size(), coarse);
    EXPECT_EQ(curve.get_tessellation_count(), 3u);
}

TEST(GuiGlCurveTest, MoreBentCurvesGetMorePointsWithinBounds)
{
    auto const bent = [](float size) {
        return GuiGlCurve(Point{0, 0}, Point{size, 0}, Point{size, size}, Point{2 * size, size});
    };
    GuiGlCurve straight(Point{0, 0}, Point{100, 0}, Point{200, 0}, Point{300, 0});
    GuiGlCurve broken(Point{0, 0}, Point{NAN, 0}, Point{2, 0}, Point{3, 0});
    size_t const tiny = bent(1.0f).get_points().size();
    size_t const medium = bent(100.0f).get_points().size();
    EXPECT_LT(tiny, medium);
    EXPECT_LT(medium, bent(1e6f).get_points().size());
    EXPECT_EQ(straight.get_points().size(), tiny);
    EXPECT_EQ(broken.get_points().size(), tiny);
    EXPECT_GE(tiny, 3u);
    EXPECT_LE(bent(1e6f).get_points().size(), 1000u);
}

TEST(GuiGlCurveTest, ChordsStayWithinTheToleranceOfTheCurve)
{
    struct Row {
        char const* name;
        Point p0, p1, p2, p3;
    };
    Row const rows[] = {{"S-shaped link", {0, 0}, {100, 0}, {100, 100}, {200, 100}},
                        {"arch", {0, 0}, {0, 100}, {100, 100}, {100, 0}},
                        {"loop", {0, 0}, {200, 100}, {-100, 100}, {100, 0}},
                        {"cusp", {0, 0}, {100, 100}, {0, 100}, {100, 0}},
                        {"long and flat", {0, 0}, {1000, 1}, {2000, -1}, {3000, 0}}};
    for (Row const& row : rows)
        for (float const tolerance : {0.25f, 1.0f}) {
            SCOPED_TRACE(testing::Message() << row.name << " within " << tolerance);
            GuiGlCurve const curve(row.p0, row.p1, row.p2, row.p3);
            std::vector<Point> const& points = curve.get_points(tolerance);
            ASSERT_GE(points.size(), 5u);
            EXPECT_EQ(points.front().x, row.p0.x);
            EXPECT_EQ(points.back().y, row.p3.y);
            float worst = 0.0f;
            for (int i = 0; i <= 2000; ++i) {
                Point const at = curve.evaluate(i / 2000.0f);
                float nearest = 1e30f;
                for (size_t k = 0; k + 1 < points.size(); ++k) {
                    float const dx = points[k + 1].x - points[k].x, dy = points[k + 1].y - points[k].y;
                    float const along = dx * dx + dy * dy > 0.0f
                                            ? std::clamp(((at.x - points[k].x) * dx + (at.y - points[k].y) * dy) /
                                                             (dx * dx + dy * dy),
                                                         0.0f, 1.0f)
                                            : 0.0f;
                    nearest = std::min(nearest, std::hypot(points[k].x + along * dx - at.x,
                                                           points[k].y + along * dy - at.y));
                }
                worst = std::max(worst, nearest);
            }
            EXPECT_LE(worst, tolerance * 1.01f);
        }
}

TEST(GuiGlCurveTest, CurvesThatBendAtTheirEndsOnlyGetLongerStepsBetween)
{
    // Both bend as much at their ends; the S-shaped link is straight in its middle, the other
    // bends evenly all along.
    GuiGlCurve const s_link(Point{0, 0}, Point{100, 0}, Point{100, 100}, Point{200, 100});
    GuiGlCurve const even(Point{0, 0}, Point{100, 0}, Point{100, 100}, Point{0, 300});
    EXPECT_LE(s_link.get_points(0.25f).size() * 5, even.get_points(0.25f).size() * 4);
}

TEST(GuiGlBatchArcTest, ArcsGetMoreSegmentsAsTheyGrow)
{
    EXPECT_EQ(GuiGlBatch::get_arc_segment_count(0.1f, 6.3f), 1);
    EXPECT_EQ(GuiGlBatch::get_arc_segment_count(10.0f, 0.0f), 1);
    int const small = GuiGlBatch::get_arc_segment_count(4.0f, 6.3f);
    int const large = GuiGlBatch::get_arc_segment_count(400.0f, 6.3f);
    EXPECT_LT(small, large);
    // Chords of a large circle stray from it by under half a pixel.
    double const step = 6.3 / large;
    EXPECT_LT(400.0 * (1.0 - std::cos(step / 2.0)), 0.5);
    EXPECT_LE(GuiGlBatch::get_arc_segment_count(1e9f, 6.3f), 256);
}

}  // namespace
