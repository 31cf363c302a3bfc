// The shared saturating conversions: each variant's bounds, its NaN result and
// its rounding, run with the floating-point traps on (an unguarded conversion
// would end the test program).
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

#include "core/numeric.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct IntCase {
    double v;
    int truncated, symmetric, rounded, device;
};

TEST(Numeric, IntegerConversionsSaturateEachAtItsOwnBounds)
{
    const IntCase cases[] = {
        {0.0, 0, 0, 0, 0},
        {2.5, 2, 2, 3, 2},
        {-2.5, -2, -2, -3, -2},
        {-0.7, 0, 0, -1, 0},
        {2147480063.9, 2147480063, 2147480063, 2147480064, 2147480063},
        {2147480065.0, 2147480065, 2147480065, 2147480065, 2147480064},
        {2147483646.6, 2147483646, 2147483646, INT_MAX, 2147480064},
        {2147483647.0, INT_MAX, INT_MAX, INT_MAX, 2147480064},
        {-2147483647.5, -2147483647, -INT_MAX, -2147483647 - 1, -2147480064},
        {-2147483648.0, INT_MIN, -INT_MAX, INT_MIN, -2147480064},
        {1.0e300, INT_MAX, INT_MAX, INT_MAX, 2147480064},
        {-kInf, INT_MIN, -INT_MAX, INT_MIN, -2147480064},
        {kNaN, 0, 0, 0, 0},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(TruncateToInt(c.v), c.truncated);
        EXPECT_EQ(TruncateToIntSymmetric(c.v), c.symmetric);
        EXPECT_EQ(RoundToInt(c.v), c.rounded);
        EXPECT_EQ(TruncateToDeviceCoordinate(c.v), c.device);
    }
}

TEST(Numeric, FloatConversionsDifferOnlyInWhatANaNGives)
{
    EXPECT_EQ(SaturateToFloat(1.0e300), FLT_MAX);
    EXPECT_EQ(SaturateToFloat(-kInf), -FLT_MAX);
    EXPECT_EQ(SaturateToFloat(0.1), 0.1f);
    EXPECT_EQ(SaturateToFloat(kNaN), 0.0f);

    EXPECT_EQ(SaturateToFloatKeepNaN(kInf), FLT_MAX);
    EXPECT_EQ(SaturateToFloatKeepNaN(-1.0e39), -FLT_MAX);
    EXPECT_EQ(SaturateToFloatKeepNaN(0.1), 0.1f);
    EXPECT_TRUE(std::isnan(SaturateToFloatKeepNaN(kNaN)));

    EXPECT_EQ(SaturateToFloatWithin(2.0e30, 1.0e30), 1.0e30f);
    EXPECT_EQ(SaturateToFloatWithin(-kInf, 1.0e30), -1.0e30f);
    EXPECT_EQ(SaturateToFloatWithin(0.1, 1.0e30), 0.1f);
    EXPECT_EQ(SaturateToFloatWithin(kNaN, 1.0e30), 0.0f);
}

TEST(Numeric, DegreesToRadiansIsTheLibrarysFactorInBothPrecisions)
{
    EXPECT_EQ(kDegreesToRadians, 0.017453292);
    EXPECT_EQ(kDegreesToRadiansFloat, static_cast<float>(kDegreesToRadians));
    EXPECT_NEAR(90.0 * kDegreesToRadians, std::acos(0.0), 1.0e-7);
}

} // namespace
