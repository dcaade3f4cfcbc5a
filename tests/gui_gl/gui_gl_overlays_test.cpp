// The head-up display: guides and safe frames as drawn, and the options' preferences.
#include <gtest/gtest.h>

#include "gui/gl/gui_gl_hud_settings.h"
#include "gui/gl/gui_gl_widget.h"
#include "host/app/app_preferences.h"
#include "host/parser/parser_group.h"
#include "tests/gui_gl/gui_gl_test_view.h"
#include "tests/support/log_recorder.h"

namespace {

using Hud = GuiGlHudSettings;

class GuiGlOverlayTest : public GlViewTest {
protected:
    // A view of w × h that draws only its guide or its safe frames.
    GlTestView& make_guide_view(int w, int h, bool frames)
    {
        GlTestView& view = make_view(w, h);
        view.drawing = [target = &view, frames, w, h](GuiGlWidgetDc& dc) {
            if (frames)
                target->overlay_draw_safe_frame(dc, w, h);
            else
                target->overlay_draw_composition_guide(dc, w, h, false);
        };
        view.get_hud_settings().set_bool(Hud::ID_LIVE_AREA, false);
        view.get_hud_settings().set_bool(Hud::ID_CAPTION, false);
        return view;
    }
    // The lit columns of a row, or the lit rows of a column.
    static std::vector<int> lit_columns(GlTestView const& view, int row) { return lit(view, row, true); }
    static std::vector<int> lit_rows(GlTestView const& view, int column) { return lit(view, column, false); }
    static std::vector<int> lit(GlTestView const& view, int line, bool across)
    {
        std::vector<int> lit;
        for (int i = 0; i < (across ? view.width : view.height); ++i)
            if (view.pixel(across ? i : line, across ? line : i)[0] > 128) lit.push_back(i);
        return lit;
    }
    // The brightest red around (x, y): anti-aliased lines spread over neighbouring pixels.
    static int red_near(GlTestView const& view, int x, int y)
    {
        int best = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) best = std::max<int>(best, view.pixel(x + dx, y + dy)[0]);
        return best;
    }
};

TEST_F(GuiGlOverlayTest, GridGuidesDrawOnePixelLinesWhereTheyBelong)
{
    GlTestView& view = make_guide_view(300, 150, false);
    view.get_hud_settings().set_enum(Hud::ID_OVERLAY, GuiGlWidget::COMPOSITION_GUIDE_RULE_OF_THIRDS);
    draw(view);
    EXPECT_EQ(lit_columns(view, 20), (std::vector<int>{100, 200}));
    EXPECT_EQ(lit_rows(view, 20), (std::vector<int>{149 - 100, 149 - 50}));  // OpenGL's y runs up
    EXPECT_EQ(view.pixel(100, 20), GMathVec3<unsigned char>(255, 255, 255));

    // The guide is off with its switch.
    view.get_hud_settings().set_bool(Hud::ID_SHOW_OVERLAY, false);
    draw(view);
    EXPECT_TRUE(lit_columns(view, 20).empty());
}

TEST_F(GuiGlOverlayTest, DiagonalsAndTrianglesFollowTheViewsShape)
{
    // Narrower than tall: the corner squares overlap and their diagonals cross.
    GlTestView& view = make_guide_view(100, 160, false);
    view.get_hud_settings().set_enum(Hud::ID_OVERLAY, GuiGlWidget::COMPOSITION_GUIDE_DIAGONALS);
    draw(view);
    // (0, 0)–(h, h) leaves the view at its right edge, 100 pixels up from the bottom.
    EXPECT_GT(red_near(view, 50, 159 - 50), 100);
    EXPECT_GT(red_near(view, 50, 159 - 110), 100);  // (0, h)–(h, 0) at x = 50
    EXPECT_LT(red_near(view, 50, 80), 60);

    GlTestView& wide = make_guide_view(200, 100, false);
    wide.get_hud_settings().set_enum(Hud::ID_OVERLAY, GuiGlWidget::COMPOSITION_GUIDE_GOLDEN_TRIANGLES);
    draw(wide);
    // The main diagonal from the bottom-left corner, and the foot of the perpendicular from
    // the top-left corner at (w·k, h·k), k = h² / (w² + h²) = 0.2.
    EXPECT_GT(red_near(wide, 100, 99 - 50), 100);
    EXPECT_GT(red_near(wide, 20, 99 - 60), 100);  // on (0, h)–(40, 20)
    // One mirror flips it left to right.
    wide.get_hud_settings().set_bool(Hud::ID_MIRROR_X, true);
    draw(wide);
    EXPECT_GT(red_near(wide, 180, 99 - 60), 100);
    EXPECT_LT(red_near(wide, 20, 99 - 60), 60);
}

TEST_F(GuiGlOverlayTest, SafeFramesSitAtTheirDistancesAndCollapseAtHalf)
{
    GlTestView& view = make_guide_view(200, 100, true);
    Hud& hud = view.get_hud_settings();
    hud.set_bool(Hud::ID_ACTION, true);
    hud.set_pair(Hud::ID_ACTION_DISTANCE, GMathVec2<double>(0.1, 0.2));
    draw(view);
    EXPECT_EQ(view.pixel(179, 50), GMathVec3<unsigned char>(0, 255, 255));  // cyan, 10 % and 20 % in
    EXPECT_EQ(view.pixel(100, 20), GMathVec3<unsigned char>(0, 255, 255));

    hud.set_bool(Hud::ID_ACTION, false);
    hud.set_bool(Hud::ID_USER, true);
    hud.set_pair(Hud::ID_USER_DISTANCE, GMathVec2<double>(0.5, 0.5));
    draw(view);
    GlTestView::Box const point = view.lit_box(0, true);
    EXPECT_EQ(point.x0, point.x1);  // a point through the centre
    EXPECT_EQ(point.y0, point.y1);
    EXPECT_NEAR(point.x0, 100, 1);
    EXPECT_EQ(view.pixel(point.x0, point.y0), GMathVec3<unsigned char>(255, 0, 255));  // magenta

    hud.set_bool(Hud::ID_SHOW_SAFE_FRAME, false);
    draw(view);
    EXPECT_TRUE(view.lit_box(0, true).empty());
}

TEST(GuiGlHud, OptionsBecomePreferencesAndComeBack)
{
    Hud settings;
    GuiGlWidget::add_overlay_options(settings);
    LogRecorder log;
    EXPECT_FALSE(settings.add_bool(Hud::ID_CAPTION, "again", "", true, ""));
    EXPECT_FALSE(settings.set_enum(Hud::ID_OVERLAY, 6));
    EXPECT_FALSE(settings.set_bool(Hud::ID_OVERLAY, true));  // not a bool
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u);

    AppPreferences preferences;
    settings.create_pref(preferences);
    AppItemPreferences* distance = preferences.get_item("hud>safe_frame", "title_distance");
    ASSERT_NE(distance, nullptr);
    AppItemPreferences* overlay = preferences.get_item("hud>overlay", "overlay");
    ASSERT_NE(overlay, nullptr);
    ASSERT_EQ(overlay->get_preset_count(), 6u) << "an enum's labels become presets";

    // Preferences to settings and back.
    overlay->apply_preset(3);
    distance->set_vec2d_value(GMathVec2<double>(0.25, 0.3));
    settings.load_pref(preferences);
    EXPECT_EQ(settings.get_enum(Hud::ID_OVERLAY), 3);
    EXPECT_EQ(settings.get_pair(Hud::ID_TITLE_DISTANCE)[0], 0.25);
    EXPECT_TRUE(settings.sync_hud_prefs("user_distance", GMathVec2<double>(0.05, 0.05), preferences));
    EXPECT_EQ(preferences.get_item("hud>safe_frame", "user_distance")->get_vec2d_value()[1], 0.05);
    EXPECT_FALSE(settings.sync_hud_prefs("caption", GMathVec2<double>(0.05, 0.05), preferences));
}

TEST_F(GuiGlOverlayTest, ViewSettingsKeepTheOverlaySwitch)
{
    GuiWindow& window = make_window();
    GlTestView* view = new GlTestView(window, 0, 0, 50, 50);
    view->get_hud_settings().set_bool(Hud::ID_SHOW_OVERLAY, false);
    ParserGroup saved;
    view->save_settings(saved);
    ASSERT_NE(saved.get_group("head_up_display"), nullptr);
    view->get_hud_settings().set_bool(Hud::ID_SHOW_OVERLAY, true);
    view->load_settings(saved);
    EXPECT_FALSE(view->get_hud_settings().get_bool(Hud::ID_SHOW_OVERLAY));
}

}  // namespace
