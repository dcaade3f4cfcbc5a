// Colour management on the shipped configuration: names, roles, views, conversions, and
// configurations that cannot be read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "host/colorio/colorio.h"
#include "tests/support/log_recorder.h"
#include "tests/support/sys_temp_folder.h"

namespace {

float srgb_encode(float linear)
{
    return linear <= 0.0031308f ? 12.92f * linear : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

TEST(ColorIO, TheShippedConfigurationNamesSpacesRolesAndViews)
{
    ColorIO::reset_config();
    EXPECT_NE(ColorIO::get_config_path().find("ocio/config.ocio"), CoreString::NOT_FOUND);
    EXPECT_EQ(ColorIO::get_default_color_space_name(), "Linear Rec.709 (sRGB)");
    EXPECT_EQ(ColorIO::get_role_color_space_name("color_picking"), "sRGB");
    EXPECT_EQ(ColorIO::get_role_color_space_name("no_such_role"), "");
    EXPECT_EQ(ColorIO::get_default_view_transform_name(), ColorIO::get_view_transform_names()[0]);
    EXPECT_FALSE(ColorIO::has_view_transform("Filmic"));
}

TEST(ColorIO, DisplayTransformsFollowTheirView)
{
    ColorIO::reset_config();
    CoreString const linear = ColorIO::get_default_color_space_name();
    ColorIOConverter standard;
    EXPECT_FALSE(standard.is_valid());
    EXPECT_FLOAT_EQ(standard.convert(GMathVec3<float>(0.5f, 0.5f, 0.5f))[0], 0.5f);  // invalid: unchanged
    ASSERT_TRUE(standard.set_display_transform(linear, "Standard"));
    EXPECT_EQ(standard.get_description(), "Linear Rec.709 (sRGB) -> sRGB / Standard");
    for (float value : {0.0f, 0.002f, 0.18f, 0.5f, 1.0f}) {
        GMathVec3<float> const shown = standard.convert(GMathVec3<float>(value, value, value));
        EXPECT_NEAR(shown[1], srgb_encode(value), 2e-4f) << value;
    }

    // Unknown names leave the converter as it was.
    LogRecorder log;
    EXPECT_FALSE(standard.set_display_transform(linear, "Filmic"));
    EXPECT_FALSE(standard.set_display_transform("ACEScg", "Standard"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_EQ(standard.get_description(), "Linear Rec.709 (sRGB) -> sRGB / Standard");
}

TEST(ColorIO, BuffersConvertInPlaceAndKeepAlpha)
{
    ColorIO::reset_config();
    float pixels[8] = {0.5f, 0.25f, 1.0f, 0.3f, 0.0f, 0.04045f, 0.8f, 0.9f};
    ASSERT_TRUE(ColorIO::convert_buffers(pixels, 2, 4, "sRGB", "Linear Rec.709 (sRGB)"));
    EXPECT_NEAR(pixels[0], std::pow((0.5f + 0.055f) / 1.055f, 2.4f), 2e-4f);
    EXPECT_NEAR(pixels[5], 0.0031308f, 2e-5f);
    EXPECT_FLOAT_EQ(pixels[7], 0.9f);

    float before[3] = {0.5f, 0.5f, 0.5f};
    float same[3] = {0.5f, 0.5f, 0.5f};
    LogRecorder log;
    EXPECT_FALSE(ColorIO::convert_buffers(same, 1, 3, "sRGB", "nowhere"));
    EXPECT_FALSE(ColorIO::convert_buffers(same, 1, 2, "sRGB", "Raw"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(same[i], before[i]);
}

TEST(ColorIO, UnreadableConfigurationsAreReportedAndChangeNothing)
{
    SysTempFolder folder;
    CoreString const broken = folder / "broken.ocio";
    write_file(broken, "ocio_profile_version: 2\ncolorspaces: [oops\n");
    ColorIO::reset_config();
    LogRecorder log;
    EXPECT_FALSE(ColorIO::load_config(broken));
    EXPECT_FALSE(ColorIO::load_config(folder.get_path() + "/missing.ocio"));
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 2u);
    EXPECT_EQ(ColorIO::get_default_color_space_name(), "Linear Rec.709 (sRGB)");

    // A broken $OCIO falls back to the raw configuration, which converts nothing.
    setenv("OCIO", broken.c_str(), 1);
    ColorIO::reset_config();
    unsetenv("OCIO");
    EXPECT_EQ(log.count(CORE_LOG_LEVEL_WARNING), 3u) << log.dump();
    EXPECT_EQ(ColorIO::get_config_path(), "");
    CoreString const only = ColorIO::get_default_color_space_name();
    EXPECT_FALSE(only.is_empty());
    float pixel[3] = {0.18f, 0.5f, 0.7f};
    EXPECT_TRUE(ColorIO::convert_buffers(pixel, 1, 3, only, only));
    EXPECT_FLOAT_EQ(pixel[0], 0.18f);
    ColorIO::reset_config();
    EXPECT_EQ(ColorIO::get_default_color_space_name(), "Linear Rec.709 (sRGB)");
}

}  // namespace
