#include <gtest/gtest.h>

#include "host/image/image_icon.h"

namespace {

using I = ImageIcon;

}  // namespace

TEST(ImageIconTest, OutOfRangeSizesHaveNoPixelsAndAnUnknownName)
{
    for (int s : {-1, I::get_image_icon_size_max() + 1, 1000}) {
        EXPECT_EQ(I::get_image_icon_int_size(I::ImageIconSize(s)), 0u) << s;
        EXPECT_STREQ(I::get_image_icon_size_name(I::ImageIconSize(s)), "IMAGE_ICON_SIZE_UNKNOWN") << s;
    }
}
