#include <gtest/gtest.h>

#include <cmath>

#include "host/gmath/gmath_vec.h"

TEST(GMathVec, ArithmeticKeepsTheDerivedType)
{
    GMathVec2<int> a(1, 2);
    GMathVec2<int> b(10, 20);
    EXPECT_EQ(b / a, GMathVec2<int>(10, 10));
    EXPECT_EQ(b / 4, GMathVec2<int>(2, 5));
    EXPECT_EQ(-a, GMathVec2<int>(-1, -2));

    GMathVec3<double> c(1.0, 2.0, 3.0);
    c += GMathVec3<double>(1.0, 1.0, 1.0);
    c -= GMathVec3<double>(0.5, 0.5, 0.5);
    c *= 2.0;
    c /= 3.0;
    EXPECT_EQ(c, GMathVec3<double>(1.0, 5.0 / 3.0, 7.0 / 3.0));

    GMathVec4<float> d(1.0f, 2.0f, 3.0f, 4.0f);
    d[3] = 8.0f;
    EXPECT_EQ(d * 0.5f, GMathVec4<float>(0.5f, 1.0f, 1.5f, 4.0f));
}

TEST(GMathVec, DefaultIsZeroAndConversionsTruncate)
{
    EXPECT_EQ(GMathVec4<double>(), GMathVec4<double>(0.0, 0.0, 0.0, 0.0));
    EXPECT_EQ(GMathVec2<int>(GMathVec2<double>(2.9, -2.9)), GMathVec2<int>(2, -2));
    GMathVec4<unsigned char> rgba(GMathVec4<double>(255.0, 128.0, 0.0, 1.0));
    EXPECT_EQ(rgba, GMathVec4<unsigned char>(255, 128, 0, 1));
}

TEST(GMathVec, DotCrossLengthAndNormalize)
{
    GMathVec3<double> x(1.0, 0.0, 0.0);
    GMathVec3<double> y(0.0, 1.0, 0.0);
    EXPECT_EQ(y.cross(x), GMathVec3<double>(0.0, 0.0, -1.0));
    EXPECT_EQ(GMathVec3<int>(1, 2, 3).dot(GMathVec3<int>(4, -5, 6)), 12);

    // Integer vectors measure their length in double.
    auto l = GMathVec2<int>(3, 4).length();
    static_assert(std::is_same_v<decltype(l), double>);
    EXPECT_DOUBLE_EQ(l, 5.0);
    EXPECT_DOUBLE_EQ(GMathVec3<unsigned char>(200, 200, 200).length(), std::sqrt(3.0) * 200.0);

    GMathVec2<float> v(3.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.get_normalized()[1], 0.8f);

    GMathVec3<double> zero;
    zero.normalize();
    EXPECT_EQ(zero, GMathVec3<double>());
}
