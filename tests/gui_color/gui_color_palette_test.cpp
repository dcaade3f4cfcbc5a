// The palette: its first colours, HDR slots, saving and loading with damaged entries, and
// the preference that keeps it with the user's settings.
#include <gtest/gtest.h>

#include "gui/color/gui_color_palette.h"
#include "host/parser/parser_group.h"
#include "tests/support/gui_test_app.h"
#include "tests/support/log_recorder.h"

namespace {

TEST(GuiColorPalette, StartsOnRowsOfShadesWithGreysAtTheEnd)
{
    GuiColorPalette const palette;
    EXPECT_EQ(palette.get_selected(), 0);
    EXPECT_EQ(palette.get_color(0), GMathVec3<double>(1.0, 0.0, 0.0));
    EXPECT_EQ(palette.get_color(5 * 3 + 2), GMathVec3<double>(0.12, 0.44, 0.29));
    EXPECT_EQ(palette.get_color(5 * 6 + 3), GMathVec3<double>(0.3, 0.12, 0.28));
    // The last column runs from white to black.
    for (int row = 0; row + 1 < GuiColorPalette::ROWS; ++row)
        EXPECT_GT(palette.get_color(5 * row + 4)[0], palette.get_color(5 * (row + 1) + 4)[0]) << row;
    EXPECT_EQ(palette.get_color_bytes(34), GMathVec3<unsigned char>(0, 0, 0));
    EXPECT_EQ(palette.get_color_bytes(9), GMathVec3<unsigned char>(204, 204, 204));
}

TEST(GuiColorPalette, KeepsHdrValuesAndDrawsThemClamped)
{
    GuiColorPalette palette;
    ASSERT_TRUE(palette.set_color(7, GMathVec3<double>(3.5, 0.5, -0.25)));
    EXPECT_EQ(palette.get_color(7), GMathVec3<double>(3.5, 0.5, -0.25));
    EXPECT_EQ(palette.get_color_bytes(7), GMathVec3<unsigned char>(255, 128, 0));

    LogRecorder log;
    EXPECT_FALSE(palette.set_color(35, GMathVec3<double>(0.0, 0.0, 0.0)));
    EXPECT_FALSE(palette.set_color(-1, GMathVec3<double>(0.0, 0.0, 0.0)));
    EXPECT_FALSE(palette.set_color(3, GMathVec3<double>(std::nan(""), 0.0, 0.0)));
    EXPECT_FALSE(palette.set_selected(35));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 4u) << log.dump();
    EXPECT_EQ(palette.get_selected(), 0);
}

TEST(GuiColorPalette, SavedPaletteLoadsBackWhole)
{
    GuiColorPalette palette;
    palette.set_color(12, GMathVec3<double>(0.123456789, 2.0, 0.0));
    palette.set_selected(12);
    ParserGroup group;
    palette.save(group);
    GuiColorPalette loaded;
    EXPECT_FALSE(loaded == palette);
    LogRecorder log;
    EXPECT_TRUE(loaded.load(group));
    EXPECT_EQ(log.count(), 0u);
    EXPECT_TRUE(loaded == palette);
}

TEST(GuiColorPalette, DamagedEntriesAreSkippedOneWarningEach)
{
    GuiColorPalette palette;
    palette.set_selected(4);
    GuiColorPalette const before = palette;
    ParserGroup group;
    group.add_entry("color_1").add_double(0.1).add_double(0.2).add_double(0.3);  // good
    group.add_entry("color_2").add_double(0.1).add_double(0.2);                  // two numbers
    group.add_entry("color_3").add_string("red").add_double(0.2).add_double(0.3);
    group.add_entry("color_40").add_double(0.1).add_double(0.2).add_double(0.3);  // no such slot
    group.add_entry("colour_5").add_double(0.1).add_double(0.2).add_double(0.3);
    group.add_entry("selected").add_int(99);
    LogRecorder log;
    EXPECT_FALSE(palette.load(group));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 5u) << log.dump();
    EXPECT_TRUE(log.contains("'color_2'"));
    EXPECT_EQ(palette.get_color(1), GMathVec3<double>(0.1, 0.2, 0.3));
    for (int slot : {2, 3, 5}) EXPECT_EQ(palette.get_color(slot), before.get_color(slot)) << slot;
    EXPECT_EQ(palette.get_selected(), 4);
}

TEST(GuiColorPalette, ThePreferenceKeepsThePaletteAcrossSessions)
{
    if (!gui_test_has_display()) GTEST_SKIP() << "no X display";
    GuiApp& app = gui_test_app();
    GuiColorPalettePreference& preference = GuiColorPalettePreference::get(app);
    EXPECT_EQ(&GuiColorPalettePreference::get(app), &preference);
    preference.get_palette().set_color(20, GMathVec3<double>(0.25, 0.5, 0.75));
    ParserGroup saved;
    preference.save(saved);

    // The next session reads the group back when the preference is registered.
    GuiColorPalettePreference next;
    EXPECT_TRUE(next.load(saved));
    EXPECT_EQ(next.get_palette().get_color(20), GMathVec3<double>(0.25, 0.5, 0.75));
    next.clear();
    EXPECT_TRUE(next.get_palette() == GuiColorPalette());
    preference.clear();
}

}  // namespace
