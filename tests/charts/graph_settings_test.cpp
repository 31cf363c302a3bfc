// The graph settings: clamps, ignored calls and stored values.
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "charts/graph_settings.h"
#include "charts_fixture.h"

namespace {

using GraphSettingsTest = ChartsTest;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct RealCase {
    const char* what;
    std::function<void(float)> set;
    float PgGraphState::*field;
    float in, out;
};

TEST_F(GraphSettingsTest, ClampedRealSettings)
{
    const std::vector<RealCase> cases = {
        {"tick length negative", IPgTickLengthX, &PgGraphState::tickLengthX, -2.0f, 0.0f},
        {"tick length", IPgTickLengthX, &PgGraphState::tickLengthX, 2.5f, 2.5f},
        {"tick length NaN", IPgTickLengthY, &PgGraphState::tickLengthY, kNaN, 0.0f},
        {"tick length infinite", IPgTickLengthZ, &PgGraphState::tickLengthZ, kInf, 0.0f},
        {"label distance zero", IPgTickLabelDistance, &PgGraphState::tickLabelDistance, 0.0f, 0.0f},
        {"label distance", IPgTickLabelDistance, &PgGraphState::tickLabelDistance, 2.0f, 2.0f},
        {"title above 1", IPgTitleFraction, &PgGraphState::titleFraction, 1.7f, 1.0f},
        {"title below 0", IPgTitleFraction, &PgGraphState::titleFraction, -0.2f, 0.0f},
        {"title", IPgTitleFraction, &PgGraphState::titleFraction, 0.35f, 0.35f},
        {"title NaN", IPgTitleFraction, &PgGraphState::titleFraction, kNaN, 1.0f},
        {"x label", IPgXLabelFraction, &PgGraphState::xLabelFraction, 0.25f, 0.25f},
        {"y label", IPgYLabelFraction, &PgGraphState::yLabelFraction, 1.0f, 1.0f},
        {"z label", IPgZLabelFraction, &PgGraphState::zLabelFraction, -kInf, 0.0f},
        {"legend", IPgLegendFraction, &PgGraphState::legendFraction, 0.45f, 0.45f},
        {"axis margin", IPgAxisMarginFraction, &PgGraphState::axisMarginFraction, 3.0f, 1.0f},
        {"elevation above 45", IPgViewElevation, &PgGraphState::viewElevation, 60.0f, 1.0f},
        {"elevation negative", IPgViewElevation, &PgGraphState::viewElevation, -5.0f, 0.0f},
        {"elevation", IPgViewElevation, &PgGraphState::viewElevation, 22.5f, 0.5f},
        {"elevation NaN", IPgViewElevation, &PgGraphState::viewElevation, kNaN, 1.0f},
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.set(c.in);
        EXPECT_FLOAT_EQ(gPgGraphState.*c.field, c.out);
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GraphSettingsTest, ViewAngle)
{
    const PgGraphState& s = gPgGraphState;
    const float rad = 0.017453292f;
    IPgViewAngle(-90.0f);
    EXPECT_FLOAT_EQ(s.viewAngle, 270.0f);
    EXPECT_NEAR(s.viewCosMinus45, std::cos(225.0f * rad), 1e-6f);
    EXPECT_NEAR(s.viewCosPlus45, std::cos(315.0f * rad), 1e-6f);
    IPgViewAngle(359.5f);
    EXPECT_FLOAT_EQ(s.viewAngle, 359.5f);
    for (float a : {360.0f, -360.0f, 720.0f, kNaN, -kInf}) {
        IPgViewAngle(30.0f);
        IPgViewAngle(a);
        EXPECT_FLOAT_EQ(s.viewAngle, 0.0f) << a;
        EXPECT_FLOAT_EQ(s.viewCosMinus45, 0.70710677f) << a;
    }
    // An angle just below 0 stays below 360.
    IPgViewAngle(-1e-6f);
    EXPECT_LT(s.viewAngle, 360.0f);
    EXPECT_GE(s.viewAngle, 0.0f);
}

TEST_F(GraphSettingsTest, AxisAngles)
{
    const PgGraphState& s = gPgGraphState;
    IPgAxisAnglesY(90.0f, 30.0f);
    EXPECT_FLOAT_EQ(s.axisAngleY, 1.5707963f);
    EXPECT_FLOAT_EQ(s.axisAngle2Y, 30.0f);
    IPgAxisAnglesX(-45.0f, 10.0f);
    EXPECT_FLOAT_EQ(s.axisAngleX, -0.7853982f);
    EXPECT_FLOAT_EQ(s.axisAngle2X, 10.0f);
    // An angle that is not finite counts as 0.
    IPgAxisAnglesZ(kInf, kNaN);
    EXPECT_FLOAT_EQ(s.axisAngleZ, 0.0f);
    EXPECT_FLOAT_EQ(s.axisAngle2Z, 0.0f);
}

TEST_F(GraphSettingsTest, IntegerSettings)
{
    const PgGraphState& s = gPgGraphState;
    IPgPointSteps(0, 5);
    EXPECT_EQ(s.pointStep1, 1);
    EXPECT_EQ(s.pointStep2, 5);
    IPgStepCount(4);
    IPgStepCount(0);
    EXPECT_EQ(s.stepCount, 4);
    IPgTickDecimals(-7);
    EXPECT_EQ(s.tickDecimals, -7);
    IPgGraphInteger(-3);
    EXPECT_EQ(s.graphInteger, -3);

    IPgDataSetMarker(0, 7);
    IPgDataSetMarker(501, 7);
    for (int n = 1; n <= kMaxDataSets; ++n)
        ASSERT_EQ(gDataSetStyleTable.Set(n).marker, -1) << n;
    IPgDataSetMarker(500, 7); // beyond the graph's 500 sets or not, it is kept
    EXPECT_EQ(gDataSetStyleTable.Set(500).marker, 7);
}

TEST_F(GraphSettingsTest, AxisPositionPairs)
{
    const PgGraphState& s = gPgGraphState;
    IPgXAxisPositions(1.0f, 3.0f);
    EXPECT_EQ(s.xAxisPositionSet1, 1);
    EXPECT_EQ(s.xAxisPositionSet2, 1);
    EXPECT_FLOAT_EQ(s.xAxisPosition1, 1.0f);
    EXPECT_FLOAT_EQ(s.xAxisPosition2, 3.0f);
    IPgXAxisPositions(3.0f, 1.0f);
    EXPECT_EQ(s.xAxisPositionSet1, 0);
    EXPECT_EQ(s.xAxisPositionSet2, 0);
    EXPECT_FLOAT_EQ(s.xAxisPosition1, 1.0f);
    EXPECT_FLOAT_EQ(s.xAxisPosition2, 3.0f);
    IPgYAxisPositions(2.0f, 2.0f);
    EXPECT_EQ(s.yAxisPositionSet1, 1);
    EXPECT_EQ(s.yAxisPositionSet2, 1);
    EXPECT_EQ(s.xAxisPositionSet1, 0);
}

TEST_F(GraphSettingsTest, GraphColour)
{
    const PgGraphState& s = gPgGraphState;
    IPgGraphColour(19);
    EXPECT_EQ(s.graphColourNumber, 19);
    EXPECT_EQ(s.graphColourRgb, gColourTable.entries[19]);
    // Numbers outside the colour table are ignored.
    IPgGraphColour(256);
    IPgGraphColour(-1);
    EXPECT_EQ(s.graphColourNumber, 19);
    EXPECT_EQ(s.graphColourRgb, gColourTable.entries[19]);

    gGraphicsState.colourModel = kColourModelRgb;
    const int rgb = gColourTable.entries[77];
    IPgGraphColour(rgb);
    EXPECT_EQ(s.graphColourRgb, rgb);
    int nearest = -1;
    YYColourNearest(rgb, nearest);
    EXPECT_EQ(s.graphColourNumber, nearest);
    EXPECT_EQ(gColourTable.entries[static_cast<size_t>(s.graphColourNumber)], rgb);
}

} // namespace
