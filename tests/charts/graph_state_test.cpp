// Beginning a graph: type and option decoding, point counts, work tables,
// the default styles and colours by type, the style setter and the start-up
// values.
#include <algorithm>
#include <cmath>
#include <vector>

#include "charts_fixture.h"

namespace {

using GraphStateTest = ChartsTest;

TEST_F(GraphStateTest, StartupValues)
{
    const PgGraphState& s = gPgGraphState;
    EXPECT_EQ(s.graphType, 4);
    EXPECT_EQ(s.setCount, 500);
    EXPECT_EQ(s.setCounter, 0);
    EXPECT_EQ(s.pointCount, 1);
    EXPECT_FLOAT_EQ(s.depthFraction, 0.25f);
    EXPECT_EQ(s.threeD, 0);
    EXPECT_EQ(s.polar, 0);
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, 0);
    EXPECT_EQ(s.clipToPlot, 0);
    EXPECT_FLOAT_EQ(s.plotX1, 0.1f);
    EXPECT_FLOAT_EQ(s.plotY2, 0.9f);
    EXPECT_FLOAT_EQ(s.userX2, 1.0f);
    EXPECT_FLOAT_EQ(s.polarUnit, 1.0f);
    EXPECT_FLOAT_EQ(s.legendX1, 1.0f);
    EXPECT_FLOAT_EQ(s.legendX2, 0.0f);
    EXPECT_EQ(s.tickDecimals, -1);
    EXPECT_EQ(s.graphColourNumber, 223);
    EXPECT_FLOAT_EQ(s.viewCosMinus45, 0.70710677f);
    // Style rows: colours 32 x ((n mod 6) + 1) and + 2.
    const DataSetStyle& r1 = gDataSetStyleTable.Set(1);
    EXPECT_EQ(r1.styleWord1, 4);
    EXPECT_EQ(r1.styleWord2, 2);
    EXPECT_EQ(r1.styleWord3, 0);
    EXPECT_EQ(r1.colour1, 64);
    EXPECT_EQ(r1.colour2, 96);
    EXPECT_EQ(r1.marker, -1);
    EXPECT_EQ(gDataSetStyleTable.Set(6).colour1, 32);
    EXPECT_EQ(gDataSetStyleTable.Set(500).colour2, 32 * (500 % 6 + 2));
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(GraphStateTest, StartupUndoesAnEarlierGraph)
{
    IPgLogAxes("LOG", "LOG");
    IPgArea(1.0f, 1.0f, 100.0f, 100.0f);
    IPgUnitsPolar(50.0f);
    IPgGraphOptions("P");
    Begin(5, 3, {4, 4}, 1);
    GraphStartup();
    const PgGraphState& s = gPgGraphState;
    EXPECT_EQ(s.graphType, 4);
    EXPECT_EQ(s.threeD, 0);
    EXPECT_EQ(s.xLog, 0);
    EXPECT_EQ(s.yLog, 0);
    EXPECT_EQ(s.clipToPlot, 0);
    EXPECT_FLOAT_EQ(s.polarUnit, 1.0f);
    EXPECT_EQ(s.wallFill, 0);
    EXPECT_FLOAT_EQ(s.axisAngleX, 0.0f);
    EXPECT_EQ(gDataSetStyleTable.Set(1).styleWord1, 4);
}

struct DecodeCase {
    const char* what;
    int type, sets;
    std::vector<int> points;
    int bits;
    // expected
    int graphType, setCount, threeD, threeDAxes, polar, stacked, optionKind;
    int pointCount, pointCount2, pointCount3;
    float pointCountReal;
};

TEST_F(GraphStateTest, TypeOptionAndPointDecoding)
{
    // Counts of the earlier graph stay where a graph does not set them: each
    // case starts from the start-up graph.
    const std::vector<DecodeCase> cases = {
        {"type 0 becomes 4", 0, 7, {201}, 0, 4, 7, 0, 0, 0, 0, 0, 201, 0, 0, 201.0f},
        {"type 12 becomes 4", 12, 7, {3}, 0, 4, 7, 0, 0, 0, 0, 0, 3, 0, 0, 3.0f},
        {"no sets gives one", 4, 0, {1}, 0, 4, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1.0f},
        {"600 sets give 500", 4, 600, {1}, 0, 4, 500, 0, 0, 0, 0, 0, 1, 0, 0, 1.0f},
        {"points raised to 1", 4, 1, {-5}, 0, 4, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1.0f},
        {"no points at all", 4, 1, {}, 0, 4, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1.0f},
        {"type 4 has no 3-D", 4, 2, {5}, 1, 4, 2, 0, 0, 0, 0, 0, 5, 0, 0, 5.0f},
        {"type 5 with 3-D", 5, 2, {5, 6}, 1, 5, 2, 1, -1, 0, 0, 0, 5, 6, 0, 5.0f},
        {"type 1 with 3-D", 1, 2, {5}, 1, 1, 2, 1, 0, 0, 0, 0, 5, 0, 0, 5.0f},
        {"type 1, 3-D cancelled by 32", 1, 2, {5}, 1 + 32 + 64, 1, 2, 0, 0, 1, 0, 0, 5, 0, 0, 5.0f},
        {"3-D excludes polar", 2, 2, {5}, 1 + 64, 2, 2, 1, 0, 0, 0, 0, 5, 0, 0, 5.0f},
        {"polar and stacked", 4, 2, {5}, 64 + 1024, 4, 2, 0, 0, 1, 1, 0, 5, 0, 0, 5.0f},
        {"type 1 with 32 drops stacking", 1, 2, {5}, 32 + 1024, 1, 2, 0, 0, 0, 0, 0, 5, 0, 0, 5.0f},
        {"option kind 1 first", 4, 1, {2}, 4 + 16 + 256, 4, 1, 0, 0, 0, 0, 1, 2, 0, 0, 2.0f},
        {"option kind 2", 4, 1, {2}, 16 + 256, 4, 1, 0, 0, 0, 0, 2, 2, 0, 0, 2.0f},
        {"option kind 3", 4, 1, {2}, 16 + 4096, 4, 1, 0, 0, 0, 0, 3, 2, 0, 0, 2.0f},
        {"type 10 raises counts", 10, 1, {5, 1, 0}, 0, 10, 1, 0, 0, 0, 0, 0, 5, 2, 2, 5.0f},
        {"type 8 two counts", 8, 1, {1, 9}, 0, 8, 1, 0, 0, 0, 0, 0, 2, 9, 0, 1.0f},
        {"type 8 second count missing", 8, 1, {4}, 0, 8, 1, 0, 0, 0, 0, 0, 4, 2, 0, 4.0f},
        {"type 7 3-D copies the count", 7, 1, {3, 50}, 1, 7, 1, 1, -1, 0, 0, 0, 3, 3, 0, 3.0f},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        GraphStartup();
        Begin(c.type, c.sets, c.points, c.bits, 0);
        const PgGraphState& s = gPgGraphState;
        EXPECT_EQ(s.graphType, c.graphType);
        EXPECT_EQ(s.setCount, c.setCount);
        EXPECT_EQ(s.setCounter, 0);
        EXPECT_EQ(s.threeD, c.threeD);
        EXPECT_EQ(s.threeDAxes, c.threeDAxes);
        EXPECT_EQ(s.polar, c.polar);
        EXPECT_EQ(s.stacked, c.stacked);
        EXPECT_EQ(s.optionKind, c.optionKind);
        EXPECT_EQ(s.optionBits, c.bits);
        EXPECT_EQ(s.pointCount, c.pointCount);
        EXPECT_EQ(s.pointCount2, c.pointCount2);
        EXPECT_EQ(s.pointCount3, c.pointCount3);
        EXPECT_FLOAT_EQ(s.pointCountReal, c.pointCountReal);
        EXPECT_FLOAT_EQ(s.pointIntervals, c.pointCountReal - 1.0f);
        EXPECT_FLOAT_EQ(s.depthFraction, std::min(0.6f / c.pointCountReal, 0.25f));
    }
}

TEST_F(GraphStateTest, DepthFractionAndPointShare)
{
    Begin(4, 1, {2}, 0, 0);
    EXPECT_FLOAT_EQ(gPgGraphState.depthFraction, 0.25f);
    Begin(4, 1, {4}, 0, 0);
    EXPECT_FLOAT_EQ(gPgGraphState.depthFraction, 0.15f);

    Begin(5, 1, {4, 8}, 1, 0);
    EXPECT_FLOAT_EQ(gPgGraphState.pointShare, 0.5f);
    Begin(5, 1, {4, 8}, 1 + 512, 0);
    EXPECT_FLOAT_EQ(gPgGraphState.pointShare, 0.25f);
    Begin(5, 1, {8, 4}, 1 + 512, 0);
    EXPECT_FLOAT_EQ(gPgGraphState.pointShare, 0.75f);
    EXPECT_FLOAT_EQ(gPgGraphState.pointIntervals2, 3.0f);
}

TEST_F(GraphStateTest, WorkTablesGrowOnlyForTheirTypes)
{
    Begin(0, 40, {1}, 0, 0); // replaced by type 4
    EXPECT_GE(gSetEndTable.capacity, 40);
    EXPECT_GE(gSetEndTable.endX.size(), 40u);
    EXPECT_GE(gSetEndTable.endY.size(), 40u);
    int endCapacity = gSetEndTable.capacity;
    Begin(3, 60, {1}, 0, 0);
    EXPECT_GE(gSetQuadTable.capacity, 60);
    EXPECT_GE(gSetQuadTable.rows.size(), 60u);
    EXPECT_EQ(gSetEndTable.capacity, endCapacity);
    Begin(6, 2, {1}, 0, 0);
    EXPECT_EQ(gSetEndTable.capacity, endCapacity); // never shrinks
}

TEST_F(GraphStateTest, LabelStepOfCurveGraphs)
{
    const std::vector<std::pair<int, int>> cases = {
        {1, 1}, {12, 1}, {13, 2}, {30, 5}, {70, 10}, {110, 20}, {201, 20}, {700, 100},
        {2147483647, 200000000}};
    for (auto [points, step] : cases) {
        SCOPED_TRACE(points);
        Begin(4, 7, {points});
        EXPECT_EQ(gPgGraphState.pointStep1, step);
        EXPECT_EQ(gPgGraphState.pointStep2, step);
    }
}

TEST_F(GraphStateTest, NumberedSchemeAndColoursOfCurveGraphs)
{
    Begin(4, 8, {201});
    const int sw1[] = {0, -1, -2, -3, -4, -5, -6, 0};
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const DataSetStyle& r = gDataSetStyleTable.Set(n);
        EXPECT_EQ(r.styleWord1, sw1[n - 1]);
        EXPECT_EQ(r.styleWord2, 1);
        EXPECT_EQ(r.styleWord3, 0);
        EXPECT_EQ(r.marker, n);
    }
    // Colour numbers of sets 1 to 6.
    const int colours[6][2] = {{32, 64}, {69, 101}, {107, 139}, {146, 178}, {182, 214}, {43, 75}};
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(gDataSetStyleTable.Set(n).colour1, colours[n - 1][0]);
        EXPECT_EQ(gDataSetStyleTable.Set(n).colour2, colours[n - 1][1]);
    }
    // Sets beyond the graph's count keep their styles.
    EXPECT_EQ(gDataSetStyleTable.Set(9).marker, -1);
    EXPECT_EQ(gDataSetStyleTable.Set(9).colour1, DataSetStyleStartup(9).colour1);
}

TEST_F(GraphStateTest, RgbDefaultColours)
{
    gGraphicsState.colourModel = kColourModelRgb;
    Begin(4, 500, {5});
    EXPECT_EQ(gDataSetStyleTable.Set(1).colour1, 10457030); // red 198, green 143, blue 159
    EXPECT_EQ(gDataSetStyleTable.Set(1).colour2, 57 + 256 * 143 + 65536 * 159);
    for (int n = 1; n <= 500; ++n) {
        int red1 = gDataSetStyleTable.Set(n).colour1 & 0xFF;
        int red2 = gDataSetStyleTable.Set(n).colour2 & 0xFF;
        ASSERT_TRUE(red1 >= 120 && red1 <= 230) << n;
        ASSERT_TRUE(red2 >= 25 && red2 <= 135) << n;
    }
}

TEST_F(GraphStateTest, DefaultsOfOtherTypes)
{
    // Markers: symbols 1..40, then letters, repeating every 92 sets.
    Begin(7, 100, {5});
    EXPECT_EQ(gDataSetStyleTable.Set(1).styleWord2, 3);
    EXPECT_EQ(gDataSetStyleTable.Set(1).marker, 1);
    EXPECT_EQ(gDataSetStyleTable.Set(40).marker, 40);
    EXPECT_EQ(gDataSetStyleTable.Set(41).styleWord2, 2);
    EXPECT_EQ(gDataSetStyleTable.Set(41).marker, 1);
    EXPECT_EQ(gDataSetStyleTable.Set(93).styleWord2, 3);
    EXPECT_EQ(gDataSetStyleTable.Set(93).marker, 1);
    EXPECT_FLOAT_EQ(gPgGraphState.xLabelFraction, 0.7f);
    EXPECT_FLOAT_EQ(gPgGraphState.titleFraction, 0.5f);

    // 3-D markers, oblique axes, no walls.
    Begin(7, 3, {5}, 1);
    EXPECT_EQ(gDataSetStyleTable.Set(1).styleWord1, 3);
    EXPECT_EQ(gDataSetStyleTable.Set(1).styleWord3, 1);
    EXPECT_EQ(gDataSetStyleTable.Set(1).marker, 14);
    EXPECT_EQ(gDataSetStyleTable.Set(2).marker, 15);
    EXPECT_EQ(gPgGraphState.wallFill, 0);
    EXPECT_FLOAT_EQ(gPgGraphState.axisAngleX, -0.7853982f);
    EXPECT_FLOAT_EQ(gPgGraphState.axisAngle2Y, 45.0f);
    EXPECT_FLOAT_EQ(gPgGraphState.xLabelFraction, 0.6f);

    // 3-D surfaces with a gradient legend: two sets, grey walls.
    Begin(5, 4, {5, 5}, 1 + 16);
    EXPECT_FLOAT_EQ(gPgGraphState.legendFraction, 0.6f);
    EXPECT_EQ(gDataSetStyleTable.Set(1).colour1, 31);
    EXPECT_EQ(gDataSetStyleTable.Set(2).colour1, 63);
    EXPECT_EQ(gPgGraphState.wallFill, 4);
    EXPECT_EQ(gPgGraphState.wallColour2, 255);

    // 3-D surfaces without option 32: only sets 1 and 2 are styled.
    GraphStartup();
    Begin(8, 4, {5, 5}, 1);
    EXPECT_EQ(gDataSetStyleTable.Set(1).styleWord1, 4);
    EXPECT_EQ(gDataSetStyleTable.Set(2).colour1, 69);
    EXPECT_EQ(gDataSetStyleTable.Set(3).colour1, DataSetStyleStartup(3).colour1);

    // Flat type 8: stripes, step count from the point counts.
    Begin(8, 2, {30, 20}, 8);
    EXPECT_EQ(gPgGraphState.stepCount, 5);
    EXPECT_EQ(gDataSetStyleTable.Set(2).styleWord1, 4);
    Begin(8, 2, {30, 20}, 0);
    EXPECT_EQ(gDataSetStyleTable.Set(2).styleWord1, 0);
    EXPECT_EQ(gDataSetStyleTable.Set(2).styleWord2, 5);

    // Tables: one colour, no default colours, their own title place.
    Begin(9, 3, {5});
    EXPECT_EQ(gDataSetStyleTable.Set(3).colour1, 223);
    EXPECT_EQ(gDataSetStyleTable.Set(3).styleWord2, 2);
    EXPECT_FLOAT_EQ(gPgGraphState.titleFraction, 0.75f);

    Begin(4, 2, {5}, 64);
    EXPECT_FLOAT_EQ(gPgGraphState.titleFraction, 0.65f);

    gPgGraphState.graphColourNumber = 5;
    Begin(2, 2, {5});
    EXPECT_EQ(gPgGraphState.graphColourNumber, 223);
    EXPECT_EQ(gDataSetStyleTable.Set(2).styleWord1, 4);
}

TEST_F(GraphStateTest, StylesStayWithoutTheDefaultsSwitch)
{
    Begin(4, 7, {201});
    const int sw = 5, c1 = 19;
    IPgDataSetStyle(3, &sw, nullptr, nullptr, &c1);
    Begin(4, 7, {201}, 0, 0);
    EXPECT_EQ(gDataSetStyleTable.Set(3).styleWord1, 5);
    EXPECT_EQ(gDataSetStyleTable.Set(3).styleWord2, 1); // absent: unchanged
    EXPECT_EQ(gDataSetStyleTable.Set(3).colour1, 19);
    EXPECT_EQ(gDataSetStyleTable.Set(3).colour2, 139);

    DataSetStyleTable before = gDataSetStyleTable;
    const int v = 9;
    IPgDataSetStyle(0, &v, &v, &v, &v, &v);
    IPgDataSetStyle(501, &v, &v, &v, &v, &v);
    for (int n = 1; n <= kMaxDataSets; ++n)
        ASSERT_EQ(gDataSetStyleTable.Set(n).styleWord1, before.Set(n).styleWord1) << n;
    IPgDataSetStyle(500, &v, &v, &v, &v, &v);
    EXPECT_EQ(gDataSetStyleTable.Set(500).colour2, 9);
}

TEST_F(GraphStateTest, Log10)
{
    EXPECT_FLOAT_EQ(YYLog10(0.0f), -38.0f);
    EXPECT_FLOAT_EQ(YYLog10(-100.0f), 2.0f);
    EXPECT_FLOAT_EQ(YYLog10(1000.0f), 3.0f);
    EXPECT_FLOAT_EQ(YYLog10(0.01f), -2.0f);
}

} // namespace
