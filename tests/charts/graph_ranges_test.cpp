// User ranges, plot and legend area, log axes, axis positions and the
// data-to-world conversion.
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "charts_fixture.h"

namespace {

using GraphRangesTest = ChartsTest;

struct ConversionCase {
    const char* what;
    float ux1, uy1, ux2, uy2;         // graphics units
    float x1, y1, x2, y2;             // IPgArea
    float px1, py1, px2, py2;         // plot area
    float dataX, dataY;
    float worldX, worldY;
};

TEST_F(GraphRangesTest, DataToWorld)
{
    const std::vector<ConversionCase> cases = {
        {"middle of the range", 0, 0, 1, 1, 0, 0, 10, 100, 0.1f, 0.1f, 0.9f, 0.9f, 5, 50, 0.5f, 0.5f},
        {"lower left corner", 0, 0, 1, 1, 0, 0, 10, 100, 0.1f, 0.1f, 0.9f, 0.9f, 0, 0, 0.1f, 0.1f},
        {"upper right corner", 0, 0, 1, 1, 0, 0, 10, 100, 0.1f, 0.1f, 0.9f, 0.9f, 10, 100, 0.9f, 0.9f},
        {"outside is not clamped", 0, 0, 1, 1, 0, 0, 10, 100, 0.1f, 0.1f, 0.9f, 0.9f, 20, -100, 1.7f, -0.7f},
        {"reversed x: x2 at the left", 0, 0, 1, 1, 10, 0, 0, 1, 0.1f, 0.1f, 0.9f, 0.9f, 10, 0, 0.1f, 0.1f},
        {"reversed y", 0, 0, 1, 1, 0, 4, 1, 0, 0.1f, 0.1f, 0.9f, 0.9f, 1, 4, 0.9f, 0.1f},
        {"graphics units", -1, 0, 1, 2, 0, 0, 10, 100, 0.1f, 0.1f, 0.9f, 0.9f, 5, 50, 0.0f, 1.0f},
        {"plot area", 0, 0, 100, 10, 0, 0, 1, 1, 0.2f, 0.0f, 0.6f, 1.0f, 0.5f, 0.25f, 40.0f, 2.5f},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.what);
        IGrUnits(c.ux1, c.uy1, c.ux2, c.uy2);
        IPgArea(c.x1, c.y1, c.x2, c.y2);
        IPgPlotAreaFractions(c.px1, c.py1, c.px2, c.py2);
        float wx = 0, wy = 0;
        YYPgToWorld(c.dataX, c.dataY, wx, wy);
        EXPECT_NEAR(wx, c.worldX, 1e-5f);
        EXPECT_NEAR(wy, c.worldY, 1e-5f);
        EXPECT_EQ(YYPgToWorldX(c.dataX), wx);
        EXPECT_EQ(YYPgToWorldY(c.dataY), wy);
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GraphRangesTest, RangeWidthsAndOrderedEnds)
{
    IPgArea(10.0f, 0.0f, 0.0f, 1.0f);
    const PgGraphState& s = gPgGraphState;
    EXPECT_FLOAT_EQ(s.xWidth, -10.0f);
    EXPECT_FLOAT_EQ(s.xMin, 0.0f);
    EXPECT_FLOAT_EQ(s.xMax, 10.0f);
    EXPECT_FLOAT_EQ(s.yWidth, 1.0f);
    EXPECT_FLOAT_EQ(s.yMax, 1.0f);
}

TEST_F(GraphRangesTest, InvalidRangesAreReplacedAndReported)
{
    IPgArea(3.0f, 1.0f, 3.0f, 1.0f);
    EXPECT_EQ(ReportCount(16, "IPgArea"), 2);
    const PgGraphState& s = gPgGraphState;
    EXPECT_FLOAT_EQ(s.userX1, 0.0f);
    EXPECT_FLOAT_EQ(s.userX2, 1.0f);
    EXPECT_FLOAT_EQ(s.userY1, 0.0f);
    EXPECT_FLOAT_EQ(s.userY2, 1.0f);
    EXPECT_FLOAT_EQ(s.xWidth, 1.0f);
    TakeReports();

    // Only the bad axis is replaced.
    IPgArea(2.0f, 5.0f, 4.0f, 5.0f);
    EXPECT_EQ(ReportCount(16, "IPgArea"), 1);
    EXPECT_FLOAT_EQ(s.userX2, 4.0f);
    EXPECT_FLOAT_EQ(s.userY2, 1.0f);
    TakeReports();

    // Ranges the conversions could not use: not a number, infinite, or a
    // width beyond the largest real.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    IPgArea(nan, -FLT_MAX, 1.0f, FLT_MAX);
    EXPECT_EQ(ReportCount(16, "IPgArea"), 2);
    IPgArea(0.0f, 0.0f, inf, 1.0f);
    EXPECT_EQ(ReportCount(16, "IPgArea"), 3);
    EXPECT_FLOAT_EQ(s.userX2, 1.0f);
    TakeReports();

    IPgUnitsZ(2.0f, 2.0f);
    EXPECT_EQ(ReportCount(16, "IPgUnitsZ"), 1);
    EXPECT_FLOAT_EQ(s.userZ1, 0.0f);
    EXPECT_FLOAT_EQ(s.userZ2, 1.0f);
    IPgUnitsZ(3.0f, 1.0f);
    EXPECT_EQ(ReportCount(16, "IPgUnitsZ"), 2);
    IPgUnitsZ(-1.0f, 3.0f);
    EXPECT_EQ(ReportCount(16, "IPgUnitsZ"), 2);
    EXPECT_FLOAT_EQ(s.zWidth, 4.0f);

    IPgUnitsPolar(0.0f);
    EXPECT_EQ(ReportCount(16, "IPgUnitsPolar"), 1);
    EXPECT_FLOAT_EQ(s.polarUnit, 1.0f);
    IPgUnitsPolar(nan);
    EXPECT_EQ(ReportCount(16, "IPgUnitsPolar"), 2);
    IPgUnitsPolar(2.5f);
    EXPECT_FLOAT_EQ(s.polarUnit, 2.5f);
    EXPECT_EQ(gErrorState.lastCode, 16);
}

TEST_F(GraphRangesTest, PlotAreaFractionsTakeEachValidValue)
{
    struct Case {
        float in[4];
        float out[4]; // plotX1, plotY1, plotX2, plotY2 after the call
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, {0, 0, 1, 1}},
        {{1, 0.5f, 0, 0.5f}, {0.1f, 0.5f, 0.9f, 0.5f}},
        {{-0.1f, 0, 1.2f, 1}, {0.1f, 0, 0.9f, 1}},
        {{0.3f, 0.2f, 0.7f, 0.6f}, {0.3f, 0.2f, 0.7f, 0.6f}},
        {{std::numeric_limits<float>::quiet_NaN(), 0.2f, 0.7f, 0.6f}, {0.1f, 0.2f, 0.7f, 0.6f}},
    };
    for (const Case& c : cases) {
        IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);
        IPgPlotAreaFractions(c.in[0], c.in[1], c.in[2], c.in[3]);
        const PgGraphState& s = gPgGraphState;
        EXPECT_FLOAT_EQ(s.plotX1, c.out[0]);
        EXPECT_FLOAT_EQ(s.plotY1, c.out[1]);
        EXPECT_FLOAT_EQ(s.plotX2, c.out[2]);
        EXPECT_FLOAT_EQ(s.plotY2, c.out[3]);
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GraphRangesTest, LogarithmicAxes)
{
    IPgArea(1.0f, 1.0f, 1000.0f, 100.0f);
    IPgLogAxes("log", " ");
    const PgGraphState& s = gPgGraphState;
    EXPECT_EQ(s.xLog, -1);
    EXPECT_EQ(s.yLog, 0);
    EXPECT_FLOAT_EQ(s.logX1, 0.0f);
    EXPECT_FLOAT_EQ(s.logX2, 3.0f);
    // Data x 10 lies one third across the plot area.
    EXPECT_NEAR(YYPgToWorldX(10.0f), 0.1f + 0.8f / 3.0f, 1e-6f);
    EXPECT_NEAR(YYPgToWorldX(1000.0f), 0.9f, 1e-6f);

    // Only the first three characters count, in any case.
    IPgLogAxes("Linear", "LoGarithmic");
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, -1);
    EXPECT_NEAR(YYPgToWorldY(10.0f), 0.5f, 1e-6f);
    IPgLogAxes("LO", "");
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, 0);

    // No log x axis on a category x axis, in 3-D or polar graphs; a polar
    // graph may have a log distance axis.
    IPgLogAxes("LOG", "LOG");
    Begin(1, 1, {5}, 0, 0);
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, -1);
    Begin(2, 1, {5}, 1, 0);
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, 0);
    Begin(4, 1, {5}, 64, 0);
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, -1);
    EXPECT_FLOAT_EQ(s.logPolarOffset, 38.0f);
    IPgUnitsPolar(100.0f);
    EXPECT_FLOAT_EQ(s.logPolarUnit, 2.0f);
    EXPECT_FLOAT_EQ(s.logPolarOffset, 40.0f);
    Begin(4, 1, {5}, 0, 0);
    EXPECT_EQ(s.xLog, -1);

    // Changing a range re-derives the logarithms.
    IPgArea(10.0f, 1.0f, 100000.0f, 100.0f);
    EXPECT_FLOAT_EQ(s.logX1, 1.0f);
    EXPECT_FLOAT_EQ(s.logXWidth, 4.0f);
}

TEST_F(GraphRangesTest, LogAxisWithEndsOfEqualMagnitudeConvertsLinearly)
{
    IPgArea(-10.0f, 0.0f, 10.0f, 1.0f);
    IPgLogAxes("LOG", " ");
    ASSERT_EQ(gPgGraphState.xLog, -1);
    EXPECT_FLOAT_EQ(gPgGraphState.logXWidth, 0.0f);
    EXPECT_NEAR(YYPgToWorldX(0.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(YYPgToWorldX(10.0f), 0.9f, 1e-6f);
}

TEST_F(GraphRangesTest, ExtremeDataValuesDoNotTrap)
{
    IPgArea(0.0f, 0.0f, 1e-30f, 1.0f);
    EXPECT_EQ(YYPgToWorldX(FLT_MAX), FLT_MAX);
    EXPECT_EQ(YYPgToWorldX(-FLT_MAX), -FLT_MAX);
    EXPECT_TRUE(std::isnan(YYPgToWorldX(std::numeric_limits<float>::quiet_NaN())));
    IPgArea(1.0f, 0.0f, 100.0f, 1.0f);
    IPgLogAxes("LOG", " ");
    EXPECT_TRUE(std::isfinite(YYPgToWorldX(0.0f)));
    EXPECT_EQ(YYPgToWorldX(std::numeric_limits<float>::infinity()), FLT_MAX);
}

TEST_F(GraphRangesTest, AxisPositions)
{
    const PgGraphState& s = gPgGraphState;
    const float v = 2.5f;
    IPgXAxisPosition(1, &v);
    EXPECT_EQ(s.xAxisPositionSet1, 1);
    EXPECT_FLOAT_EQ(s.xAxisPosition1, 2.5f);
    EXPECT_EQ(s.xAxisPositionSet2, 0);
    IPgXAxisPosition(1);
    EXPECT_EQ(s.xAxisPositionSet1, 0);
    EXPECT_FLOAT_EQ(s.xAxisPosition1, 2.5f);
    const float w = 1.0f;
    IPgXAxisPosition(3, &w);
    EXPECT_EQ(s.xAxisPositionSet1, 0);
    EXPECT_EQ(s.xAxisPositionSet2, 0);
    EXPECT_FLOAT_EQ(s.xAxisPosition1, 2.5f);
    IPgYAxisPosition(2, &w);
    EXPECT_EQ(s.yAxisPositionSet2, 1);
    EXPECT_FLOAT_EQ(s.yAxisPosition2, 1.0f);
    EXPECT_EQ(s.yAxisPositionSet1, 0);
}

TEST_F(GraphRangesTest, LegendArea)
{
    const PgGraphState& s = gPgGraphState;
    IPgLegendArea(0.7f, 0.1f, 0.95f, 0.3f);
    EXPECT_FLOAT_EQ(s.legendX1, 0.7f);
    EXPECT_FLOAT_EQ(s.legendY1, 0.1f);
    EXPECT_FLOAT_EQ(s.legendX2, 0.95f);
    EXPECT_FLOAT_EQ(s.legendY2, 0.3f);
    // Values outside their intervals keep the old ones.
    IPgLegendArea(-0.5f, 0.2f, 0.8f, 1.5f);
    EXPECT_FLOAT_EQ(s.legendX1, 0.7f);
    EXPECT_FLOAT_EQ(s.legendY1, 0.2f);
    EXPECT_FLOAT_EQ(s.legendX2, 0.8f);
    EXPECT_FLOAT_EQ(s.legendY2, 0.3f);
    // An empty area means none.
    IPgLegendArea(0.5f, 0.5f, 0.4f, 0.9f);
    EXPECT_FLOAT_EQ(s.legendX1, 1.0f);
    EXPECT_FLOAT_EQ(s.legendX2, 0.0f);
    EXPECT_FLOAT_EQ(s.legendY1, 1.0f);
    EXPECT_FLOAT_EQ(s.legendY2, 0.0f);
    IPgLegendArea(0.7f, 0.1f, 0.95f, 0.3f);
    IPgLegendArea(1.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(s.legendX1, 1.0f);
    EXPECT_FLOAT_EQ(s.legendY2, 0.0f);
    EXPECT_TRUE(TakeReports().empty());
}

} // namespace
