// The plot circle of a polar graph and the world point of polar data.
#include <cmath>
#include <limits>

#include "charts/polar_geometry.h"
#include "charts_fixture.h"

namespace {

class PolarGeometryTest : public ChartsTest {
protected:
    void SetUp() override
    {
        ChartsTest::SetUp();
        Target(200, 100); // device width twice the height
        Begin(4, 1, {10}, 64, 0);
    }
};

TEST_F(PolarGeometryTest, CircleFitsThePlotArea)
{
    ASSERT_FLOAT_EQ(gGraphicsState.aspect, 2.0f);
    float cx, cy, rx, ry;
    YYPolarCircle(cx, cy, rx, ry);
    // The plot area is 160 x 80 pixels: radius 40 pixels, which is 0.2 of
    // the x units and 0.4 of the y units.
    EXPECT_NEAR(cx, 0.5f, 1e-6f);
    EXPECT_NEAR(cy, 0.5f, 1e-6f);
    EXPECT_NEAR(rx, 0.2f, 1e-6f);
    EXPECT_NEAR(ry, 0.4f, 1e-6f);

    // Centred on the middle of the user range, whatever its units.
    IPgArea(0.0f, -5.0f, 10.0f, 5.0f);
    YYPolarCircle(cx, cy, rx, ry);
    EXPECT_NEAR(cx, 0.5f, 1e-6f);
    EXPECT_NEAR(cy, 0.5f, 1e-6f);
    EXPECT_NEAR(rx, 0.2f, 1e-6f);

    // A tall target: the width limits the circle.
    Target(100, 400);
    IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
    YYPolarCircle(cx, cy, rx, ry);
    EXPECT_NEAR(rx, 0.4f, 1e-6f);
    EXPECT_NEAR(ry, 0.1f, 1e-6f);
}

TEST_F(PolarGeometryTest, HardcopyPassUsesThePageAspect)
{
    gGraphicsState.screenOutput = 0;
    gHardcopyState.pageAspect = 1.0f;
    float cx, cy, rx, ry;
    YYPolarCircle(cx, cy, rx, ry);
    EXPECT_NEAR(rx, 0.4f, 1e-6f);
    EXPECT_NEAR(ry, 0.4f, 1e-6f);
    // No page known yet: a ratio of 1, never a division by zero.
    gHardcopyState.pageAspect = 0.0f;
    YYPolarCircle(cx, cy, rx, ry);
    EXPECT_NEAR(rx, 0.4f, 1e-6f);
}

TEST_F(PolarGeometryTest, PolarPoints)
{
    struct Case {
        float angle, radius, x, y;
    };
    IPgUnitsPolar(2.0f);
    const Case cases[] = {
        {90, 2, 0.5f, 0.9f},   // one polar unit straight up: distance ry
        {0, 2, 0.7f, 0.5f},
        {180, 1, 0.4f, 0.5f},
        {270, 2, 0.5f, 0.1f},
        {45, 0, 0.5f, 0.5f},
        {-90, 1, 0.5f, 0.3f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        float wx, wy;
        YYPolarToWorld(c.angle, c.radius, wx, wy);
        EXPECT_NEAR(wx, c.x, 1e-6f);
        EXPECT_NEAR(wy, c.y, 1e-6f);
    }
    float wx, wy;
    YYPolarToWorld(std::numeric_limits<float>::infinity(), 1, wx, wy);
    EXPECT_TRUE(std::isnan(wx) && std::isnan(wy));
    YYPolarToWorld(0, std::numeric_limits<float>::infinity(), wx, wy);
    EXPECT_TRUE(std::isnan(wx) && std::isnan(wy));
}

TEST_F(PolarGeometryTest, LogarithmicDistances)
{
    IPgLogAxes(" ", "log");
    IPgUnitsPolar(100.0f);
    const PgGraphState& s = gPgGraphState;
    ASSERT_EQ(s.yLog, -1);
    float wx, wy;
    YYPolarToWorld(90, 100, wx, wy); // the polar unit lies on the circle
    EXPECT_NEAR(wx, 0.5f, 1e-6f);
    EXPECT_NEAR(wy, 0.9f, 1e-6f);
    YYPolarToWorld(90, 0, wx, wy);   // 10^-38 and below at the centre
    EXPECT_NEAR(wy, 0.5f, 1e-6f);
    YYPolarToWorld(0, 1e-18f, wx, wy); // half way
    EXPECT_NEAR(wx, 0.6f, 1e-5f);
    // The circle itself is laid out linearly, and the flags stay.
    float cx, cy, rx, ry;
    YYPolarCircle(cx, cy, rx, ry);
    EXPECT_NEAR(cy, 0.5f, 1e-6f);
    EXPECT_EQ(s.yLog, -1);

    // A polar unit at the lower end of the scale has no log distances:
    // distances convert linearly.
    IPgUnitsPolar(1e-38f);
    ASSERT_FLOAT_EQ(s.logPolarOffset, 0.0f);
    YYPolarToWorld(0, 1e-38f, wx, wy);
    EXPECT_NEAR(wx, 0.7f, 1e-5f);
}

TEST_F(PolarGeometryTest, CircleStaysWhileTheAreaIsNarrowed)
{
    IPgPlotAreaFractions(0.1f, 0.3f, 0.9f, 0.7f); // narrower in y than in x
    float before[4], after[4];
    YYPolarCircle(before[0], before[1], before[2], before[3]);
    IPgGraphOptions("P");
    YYGraphAreaSelect();
    YYPolarCircle(after[0], after[1], after[2], after[3]);
    YYGraphAreaRestore();
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(after[i], before[i], 1e-5f) << i;
}

} // namespace
