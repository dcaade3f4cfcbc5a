#include <gtest/gtest.h>

#include "host/core/core_string.h"

TEST(CoreString, Placeholder) { EXPECT_EQ(CoreString("a").get_length(), 1u); }
