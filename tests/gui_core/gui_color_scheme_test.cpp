// The colour schemes, their overrides, and what widgets draw with them.
#include <gtest/gtest.h>

#include "gui/core/gui_color_scheme.h"
#include "gui/core/gui_image.h"
#include "gui/core/gui_resource.h"
#include "tests/gui_core/gui_test_widgets.h"
#include "tests/support/core_printers.h"
#include "tests/support/gui_pixels.h"
#include "tests/support/gui_test_app.h"

namespace {

using Color = GMathVec3<unsigned char>;
using S = GuiColorScheme;

S const& dark()
{
    return S::get_scheme(S::SCHEME_DARK);
}

S const& light()
{
    return S::get_scheme(S::SCHEME_LIGHT);
}

TEST(GuiColorScheme, NamesAndLookup)
{
    EXPECT_EQ(S::get_scheme("LiGhT"), &light());
    for (char const* unknown : {"blue", "", "SCHEME_DARK"}) EXPECT_EQ(S::get_scheme(unknown), nullptr);
    EXPECT_EQ(S::get_scheme_name(static_cast<S::Scheme>(2)), "");
}

TEST(GuiColorScheme, SetUpdateAndOutOfRangeEntries)
{
    S scheme;
    EXPECT_EQ(scheme.get_color(S::GROUP_BRIGHT, S::ROLE_LINK), Color(0, 0, 0));
    scheme.set(dark());
    scheme.set_color(S::GROUP_NORMAL, S::ROLE_TEXT, 1, 2, 3);

    scheme.update(light());
    EXPECT_EQ(scheme.get_color(S::GROUP_NORMAL, S::ROLE_TEXT), Color(1, 2, 3));
    EXPECT_EQ(scheme.get_color(S::GROUP_DISABLED, S::ROLE_TEXT), light().get_color(S::GROUP_DISABLED, S::ROLE_TEXT));

    // set copies the marks too: the copy is back to a plain built-in scheme.
    scheme.set(light());
    EXPECT_FALSE(scheme.is_overridden(S::GROUP_NORMAL, S::ROLE_TEXT));

    // Entries outside the table are refused and read as black.
    scheme.set_color(static_cast<S::Group>(3), S::ROLE_TEXT, 9, 9, 9);
    scheme.set_color(S::GROUP_NORMAL, static_cast<S::Role>(46), 9, 9, 9);
    EXPECT_EQ(scheme.get_color(static_cast<S::Group>(-1), S::ROLE_TEXT), Color(0, 0, 0));
    EXPECT_EQ(scheme.get_color(S::GROUP_NORMAL, S::ROLE_TEXT), light().get_color(S::GROUP_NORMAL, S::ROLE_TEXT));
}

class GuiColorSchemeWidgetTest : public GuiTest {
protected:
    void TearDown() override
    {
        app().set_color_scheme(dark());
        GuiTest::TearDown();
    }
};

TEST_F(GuiColorSchemeWidgetTest, WidgetOverridesSurviveASwitchOfTheApplicationsScheme)
{
    GuiWindow& window = make_window();
    GuiWidget* panel = new GuiWidget(window, 0, 0, 200, 100);
    GuiWidget* child = new GuiWidget(*panel, 10, 10, 50, 50);
    GuiWidget* sibling = new GuiWidget(window, 0, 100, 200, 100);
    panel->show();
    sibling->show();

    panel->set_color(S::GROUP_NORMAL, S::ROLE_TEXT, 200, 10, 10);
    EXPECT_FALSE(child->has_own_color_scheme());
    EXPECT_EQ(child->get_color(S::GROUP_NORMAL, S::ROLE_TEXT), Color(200, 10, 10));
    EXPECT_EQ(sibling->get_color(S::GROUP_NORMAL, S::ROLE_TEXT), dark().get_color(S::GROUP_NORMAL, S::ROLE_TEXT));

    // The override stays; the entries around it follow the new scheme.
    app().set_color_scheme(light());
    EXPECT_EQ(child->get_color(S::GROUP_NORMAL, S::ROLE_TEXT), Color(200, 10, 10));
    EXPECT_EQ(child->get_color(S::GROUP_DISABLED, S::ROLE_TEXT), light().get_color(S::GROUP_DISABLED, S::ROLE_TEXT));
    EXPECT_EQ(child->get_color(S::GROUP_NORMAL, S::ROLE_BACKGROUND),
              light().get_color(S::GROUP_NORMAL, S::ROLE_BACKGROUND));
    EXPECT_EQ(sibling->get_color(S::GROUP_NORMAL, S::ROLE_TEXT), light().get_color(S::GROUP_NORMAL, S::ROLE_TEXT));

    // A disabled widget draws with the disabled group.
    child->disable();
    EXPECT_EQ(child->get_color(S::ROLE_TEXT_DIM), light().get_color(S::GROUP_DISABLED, S::ROLE_TEXT_DIM));
}

TEST_F(GuiColorSchemeWidgetTest, ChangesRedrawTheWidgetsConcerned)
{
    GuiWindow& window = make_window();
    RecordingWidget* panel = new RecordingWidget(window, 0, 0, 200, 100);
    RecordingWidget* child = new RecordingWidget(*panel, 10, 10, 50, 50);
    RecordingWidget* other = new RecordingWidget(window, 0, 100, 200, 100);
    panel->show();
    other->show();
    pump_events(app());
    int const panel_redraws = panel->redraws, child_redraws = child->redraws, other_redraws = other->redraws;

    // A widget's own colour redraws it and its children only.
    panel->set_color(S::GROUP_NORMAL, S::ROLE_BACKGROUND, 1, 2, 3);
    pump_events(app());
    EXPECT_EQ(panel->redraws, panel_redraws + 1);
    EXPECT_EQ(child->redraws, child_redraws + 1);
    EXPECT_EQ(other->redraws, other_redraws);

    // A colour of the application's scheme redraws every window's widgets.
    S scheme(app().get_color_scheme());
    app().set_color_scheme(light());
    pump_events(app());
    EXPECT_EQ(other->redraws, other_redraws + 1);
    EXPECT_EQ(child->redraws, child_redraws + 2);
    EXPECT_EQ(GuiApp::get_toolkit_color(1), light().get_color(S::GROUP_NORMAL, S::ROLE_BACKGROUND));
}

TEST_F(GuiColorSchemeWidgetTest, OneColourGlyphsFollowTheSchemesText)
{
    for (S const* scheme : {&light(), &dark()}) {
        app().set_color_scheme(*scheme);
        Color const text = scheme->get_color(S::GROUP_NORMAL, S::ROLE_TEXT);
        for (GuiImage const* glyph : {&GuiResource::small_down_triangle(), &GuiResource::right_triangle_text()}) {
            unsigned char const* pixels = glyph->get_data();
            int opaque = 0;
            for (unsigned int i = 0; i < glyph->get_width() * glyph->get_height(); ++i) {
                if (pixels[i * 4 + 3] == 0) continue;
                ++opaque;
                ASSERT_EQ(Color(pixels[i * 4], pixels[i * 4 + 1], pixels[i * 4 + 2]), text);
            }
            EXPECT_GT(opaque, 10);
        }
    }
}

// The pixels of a picture that are painted fully in one colour.
bool has_opaque_pixel_of(GuiImage const& picture, Color const& color)
{
    unsigned char const* pixels = picture.get_data();
    for (unsigned int i = 0; i < picture.get_width() * picture.get_height(); ++i)
        if (pixels[i * 4 + 3] == 255 && Color(pixels[i * 4], pixels[i * 4 + 1], pixels[i * 4 + 2]) == color)
            return true;
    return false;
}

TEST_F(GuiColorSchemeWidgetTest, OutlinedGlyphsTakeTheTextAndAccentColoursOfTheScheme)
{
    struct Row {
        GuiImage const& (*normal)();
        GuiImage const& (*selected)();
    } const rows[] = {
        {&GuiResource::checker, &GuiResource::checker_selected},
        {&GuiResource::radio_menu, &GuiResource::radio_menu_selected},
        {&GuiResource::radio_menu_empty, &GuiResource::radio_menu_empty_selected},
        {&GuiResource::horizontal_minislider, &GuiResource::horizontal_minislider_selected},
        {&GuiResource::down_triangle_label, &GuiResource::down_triangle_label_selected},
        {&GuiResource::right_triangle_label, &GuiResource::right_triangle_label_selected},
        {&GuiResource::viewport_close, &GuiResource::viewport_close},
    };
    for (S const* scheme : {&light(), &dark()}) {
        app().set_color_scheme(*scheme);
        Color const text = scheme->get_color(S::GROUP_NORMAL, S::ROLE_TEXT);
        Color const accent = scheme->get_color(S::GROUP_NORMAL, S::ROLE_ACCENT);
        for (Row const& row : rows) {
            EXPECT_TRUE(has_opaque_pixel_of(row.normal(), text)) << (scheme == &light() ? "light" : "dark");
            if (row.selected != row.normal) {
                EXPECT_TRUE(has_opaque_pixel_of(row.selected(), accent)) << (scheme == &light() ? "light" : "dark");
            }
        }
    }
}

TEST_F(GuiColorSchemeWidgetTest, TheWindowPaintsItsBackgroundFromTheScheme)
{
    GuiWindow& window = make_window(120, 80);
    pump_events(app());
    app().set_color_scheme(light());
    pump_events(app());
    EXPECT_EQ(pixel_at(window, 60, 40), light().get_color(S::GROUP_NORMAL, S::ROLE_BACKGROUND));

    // Black goes through the toolkit's palette and still comes out black.
    window.set_color(S::GROUP_NORMAL, S::ROLE_BACKGROUND, 0, 0, 0);
    pump_events(app());
    EXPECT_EQ(pixel_at(window, 60, 40), Color(0, 0, 0));
}

}  // namespace
