// Curves and area charts of a type-4 graph observed through the recording
// driver: the application's seven curves, ignored calls, runs split by
// missing values with and without smoothing, the x direction, baselines,
// filled and stacked sets, line styles, markers and labels at selected
// points, and the drawing state given back after each set.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "charts/curves.h"
#include "charts/graph_settings.h"
#include "charts_fixture.h"
#include "fonts/text_font.h"
#include "graphics/coordinates.h"

namespace {

class CurvesTest : public ChartsTest {
protected:
    void SetUp() override
    {
        ChartsTest::SetUp();
        gGraphicsState.roundingColours = 256;
        gGraphicsState.lineStyle = 0;
        ScreenText();
        gGraphicsState.fillMode = kFillOutline;
    }

    // Device point of the data point (X, Y) of the current graph.
    static Pt DeviceOf(float x, float y)
    {
        float wx, wy;
        YYPgToWorld(x, y, wx, wy);
        Pt p{};
        YYWorldToDevice(wx, wy, p.x, p.y);
        return p;
    }

    // A graph of TYPE with SETS sets of N points, option BITS, no defaults;
    // every set line-drawn, without markers, in colour 10 + set.
    static void Graph(int sets, int n, int bits = 0, int type = 4)
    {
        const int zero = 0;
        IPgGraphBegin(type, sets, std::vector<int>{n}, &bits, &zero);
        for (int s = 1; s <= sets; ++s)
            Style(s, 0, 0, 0);
    }
    static void Style(int set, int w1, int w2, int w3, int marker = -1)
    {
        const int c1 = 10 + set, c2 = 100 + set;
        IPgDataSetStyle(set, &w1, &w2, &w3, &c1, &c2);
        gDataSetStyleTable.Set(set).marker = marker;
    }

    std::vector<RecordedOp> Screen(int op) { return recorder().Of(kScreenSide, op); }

    // The world corners of each filled quadrilateral and triangle, as device
    // points sorted for comparison.
    static std::vector<Pt> Sorted(std::vector<Pt> v)
    {
        std::sort(v.begin(), v.end(), [](Pt a, Pt b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        return v;
    }
    static std::vector<Pt> PointsOf(const RecordedOp& r)
    {
        std::vector<Pt> v;
        for (size_t i = 0; i < r.x.size(); ++i)
            v.push_back({r.x[i], r.y[i]});
        return Sorted(v);
    }
    static void ExpectSame(const std::vector<Pt>& got, const std::vector<Pt>& want, float tol = 0.02f)
    {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x, want[i].x, tol) << i;
            EXPECT_NEAR(got[i].y, want[i].y, tol) << i;
        }
    }
};

// Distance of P from the polyline of R.
float DistanceToPolyline(const RecordedOp& r, Pt p)
{
    double best = 1e30;
    for (size_t i = 0; i + 1 < r.x.size(); ++i) {
        const double ax = r.x[i], ay = r.y[i], bx = r.x[i + 1], by = r.y[i + 1];
        const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
        double t = len > 0 ? ((p.x - ax) * dx + (p.y - ay) * dy) / len : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(ax + t * dx - p.x, ay + t * dy - p.y));
    }
    return static_cast<float>(best);
}

TEST_F(CurvesTest, ApplicationDrawsSevenPolylinesInTheirColours)
{
    Target(750, 600);
    // The application's calls before its curves (the frame, axes, titles and
    // legend draw through routines of their own).
    const int bits = 1, zero = 0, deviceFont = 101, one = 1, two = 2;
    const int colours[7] = {19, 51, 83, 115, 147, 179, 223};
    IPgGraphBegin(4, 7, std::vector<int>{201}, &bits);
    IPgGraphOptions("G");
    for (int i = 1; i <= 7; ++i)
        IPgDataSetStyle(i, &zero, &zero, &zero, &colours[i - 1]);
    IPgArea(0.0f, 0.0f, 2.5f, 1.0f);
    IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);
    const float keep = 0.0f, width = 0.0133f, height = 0.0333f;
    WGrTextFont(&deviceFont, &zero, &keep, &keep);
    IGrColourN(223);
    IGrLineWidthSet(&one);
    IGrLineWidthSet(&two);
    WGrTextFont(nullptr, nullptr, &width, &height);

    // Seven bumps over 0..2.5 with values in 0..1, one per column.
    std::array<std::vector<float>, 7> columns;
    for (int c = 0; c < 7; ++c)
        for (int i = 0; i < 201; ++i) {
            const double x = i * 0.0125, u = (x - c * 2.5 / 6.0) / 0.8;
            columns[c].push_back(static_cast<float>(std::max(0.0, 1.0 - u * u)));
        }

    recorder().Clear();
    for (int c = 0; c < 7; ++c)
        IPgCurveDraw(columns[c]);

    int polyline = 0, colour = -1;
    for (const RecordedOp& r : recorder().ops) {
        ASSERT_EQ(r.side, kScreenSide);
        ASSERT_TRUE(r.op == DeviceOp::kColour || r.op == DeviceOp::kPolyline) << r.op;
        if (r.op == DeviceOp::kColour) {
            colour = r.state.currentNumber;
            continue;
        }
        SCOPED_TRACE(polyline);
        ASSERT_LT(polyline, 7);
        EXPECT_EQ(colour, colours[polyline]);
        EXPECT_EQ(r.state.lineStyle, 0);
        EXPECT_EQ(r.state.lineWidth, 2);
        ASSERT_EQ(r.block.N, 201);
        ASSERT_EQ(r.x.size(), 201u);
        for (int i = 0; i < 201; i += 8) {
            Pt want = DeviceOf(i * 0.0125f, columns[polyline][i]);
            EXPECT_NEAR(r.x[i], want.x, 0.02f) << i;
            EXPECT_NEAR(r.y[i], want.y, 0.02f) << i;
        }
        Pt last = DeviceOf(2.5f, columns[polyline][200]);
        EXPECT_NEAR(r.x[200], last.x, 0.02f);
        EXPECT_NEAR(r.y[200], last.y, 0.02f);
        ++polyline;
    }
    EXPECT_EQ(polyline, 7);
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(gSetEndTable.endX[c], 2.5f);
        EXPECT_EQ(gSetEndTable.endY[c], columns[c][200]);
    }
    // The caller's colour and line style are back; an eighth call draws
    // nothing.
    EXPECT_EQ(gGraphicsState.currentNumber, 223);
    EXPECT_EQ(gGraphicsState.lineStyle, 0);
    EXPECT_EQ(gPgGraphState.setCounter, 7);
    recorder().Clear();
    IPgCurveDraw(columns[0]);
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_EQ(gPgGraphState.setCounter, 7);
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(CurvesTest, CallOnAMarkerGraphIsIgnored)
{
    Graph(2, 3, 0, 7);
    const std::vector<float> y = {0.1f, 0.2f, 0.3f};
    recorder().Clear();
    IPgCurveDraw(y);
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_EQ(gPgGraphState.setCounter, 0);
}

TEST_F(CurvesTest, MissingValuesSplitTheCurveIntoRuns)
{
    const float M = -1.0f;
    const std::vector<float> y = {0.1f, 0.2f, M, 0.3f, M, 0.4f, 0.5f, M, 0.6f, 0.9f, 0.2f, 0.7f};
    for (int smooth : {0, 1}) {
        SCOPED_TRACE(smooth);
        recorder().Clear();
        Graph(1, 12, smooth ? 128 : 0);
        IPgArea(0.0f, 0.0f, 11.0f, 1.0f);
        gPgGraphState.missingValueOn = 1;
        gPgGraphState.missingValue = M;
        IPgCurveDraw(y);

        auto polylines = Screen(DeviceOp::kPolyline);
        auto lines = Screen(DeviceOp::kLine);
        if (!smooth) {
            // Runs of 2, 1, 2 and 4 points; the single point draws nothing.
            ASSERT_EQ(polylines.size(), 3u);
            EXPECT_EQ(polylines[0].block.N, 2);
            EXPECT_EQ(polylines[1].block.N, 2);
            EXPECT_EQ(polylines[2].block.N, 4);
            EXPECT_NEAR(polylines[1].x[0], DeviceOf(5, 0.4f).x, 0.02f);
            EXPECT_TRUE(lines.empty());
            continue;
        }
        // Two points: a straight line; four: a smooth curve of 64 points
        // from the first to the last, through the two between.
        ASSERT_EQ(lines.size(), 2u);
        ExpectSame({{lines[1].block.X[0], lines[1].block.Y[0]}, {lines[1].block.X[1], lines[1].block.Y[1]}},
                   {DeviceOf(5, 0.4f), DeviceOf(6, 0.5f)});
        ASSERT_EQ(polylines.size(), 1u);
        const RecordedOp& curve = polylines[0];
        ASSERT_EQ(curve.block.N, 64);
        ExpectSame({{curve.x.front(), curve.y.front()}, {curve.x.back(), curve.y.back()}},
                   {DeviceOf(8, 0.6f), DeviceOf(11, 0.7f)});
        EXPECT_LT(DistanceToPolyline(curve, DeviceOf(9, 0.9f)), 0.5f);
        EXPECT_LT(DistanceToPolyline(curve, DeviceOf(10, 0.2f)), 0.5f);
    }
}

TEST_F(CurvesTest, ReversedXRangeStartsAtTheRightHandEnd)
{
    Graph(1, 3);
    IPgArea(10.0f, 0.0f, 0.0f, 1.0f);
    const std::vector<float> y = {0.2f, 0.4f, 0.6f};
    IPgCurveDraw(y);
    auto polylines = Screen(DeviceOp::kPolyline);
    ASSERT_EQ(polylines.size(), 1u);
    float right, left, unused;
    YYWorldToDevice(0.9f, 0.5f, right, unused);
    YYWorldToDevice(0.1f, 0.5f, left, unused);
    EXPECT_NEAR(polylines[0].x[0], right, 0.02f);
    EXPECT_NEAR(polylines[0].x[1], (left + right) / 2, 0.02f);
    EXPECT_NEAR(polylines[0].x[2], left, 0.02f);
    EXPECT_EQ(gSetEndTable.endX[0], 0.0f);
}

TEST_F(CurvesTest, AreasAreFilledToTheBaseline)
{
    struct Case {
        float y1, y2;
        std::vector<float> values;
        float baseline;
    };
    for (const Case& c : {Case{2, 10, {5, 6}, 2}, Case{-5, 5, {3, 4}, 0}, Case{-10, -2, {-6, -5}, -2}}) {
        SCOPED_TRACE(c.baseline);
        recorder().Clear();
        Graph(1, 2);
        Style(1, 4, 1, 1);
        IPgArea(0.0f, c.y1, 1.0f, c.y2);
        IPgCurveDraw(c.values);
        auto quads = Screen(DeviceOp::kQuadSolid);
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_EQ(quads[0].state.currentNumber, 11);
        EXPECT_EQ(quads[0].state.previousNumber, 101);
        ExpectSame(PointsOf(quads[0]), Sorted({DeviceOf(0, c.baseline), DeviceOf(1, c.baseline),
                                               DeviceOf(0, c.values[0]), DeviceOf(1, c.values[1])}));
        // A solid fill has no line along the data; the pieces no outline.
        EXPECT_TRUE(Screen(DeviceOp::kLine).empty());
        EXPECT_EQ(quads[0].state.outline, 0);
    }
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(CurvesTest, FilledSetIsALineWithMarkersOnlyWhenSmoothed)
{
    // Style words 4, 3, 1 with marker 14: filled solid, or with smoothing a
    // line of style 4 with a solid circle at each point.
    const std::vector<float> y = {0.2f, 0.6f, 0.4f};
    for (int smooth : {0, 1}) {
        SCOPED_TRACE(smooth);
        recorder().Clear();
        Graph(1, 3, smooth ? 128 : 0);
        Style(1, 4, 3, 1, 14);
        IPgCurveDraw(y);
        auto circles = Screen(DeviceOp::kEllipseSolid);
        if (!smooth) {
            EXPECT_EQ(Screen(DeviceOp::kQuadSolid).size(), 2u);
            EXPECT_TRUE(circles.empty());
            EXPECT_TRUE(Screen(DeviceOp::kPolyline).empty());
            continue;
        }
        EXPECT_TRUE(Screen(DeviceOp::kQuadSolid).empty());
        auto polylines = Screen(DeviceOp::kPolyline);
        ASSERT_EQ(polylines.size(), 1u);
        EXPECT_EQ(polylines[0].state.lineStyle, 4);
        ASSERT_EQ(circles.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            Pt p = DeviceOf(i * 0.5f, y[i]);
            EXPECT_NEAR(circles[i].block.X[0], p.x, 0.02f);
            EXPECT_NEAR(circles[i].block.Y[0], p.y, 0.02f);
            EXPECT_EQ(circles[i].state.currentNumber, 101);
            EXPECT_EQ(circles[i].state.lineStyle, 0);
        }
    }
}

TEST_F(CurvesTest, NegativeStyleWordsCountOnlyOnTwoColourOutputs)
{
    const std::vector<float> y = {0.2f, 0.6f, 0.4f};
    for (int colours : {2, 256}) {
        SCOPED_TRACE(colours);
        recorder().Clear();
        gGraphicsState.roundingColours = colours;
        Graph(1, 3);
        Style(1, -2, -3, 0, 14);
        IPgCurveDraw(y);
        auto polylines = Screen(DeviceOp::kPolyline);
        ASSERT_EQ(polylines.size(), 1u);
        EXPECT_EQ(polylines[0].state.lineStyle, colours == 2 ? 2 : 0);
        EXPECT_EQ(Screen(DeviceOp::kEllipseSolid).size(), colours == 2 ? 3u : 0u);
        EXPECT_EQ(gGraphicsState.lineStyle, 0);
    }
}

TEST_F(CurvesTest, LabelsAndMarkersAtTheSelectedPoints)
{
    // Letters: marker -1 on set 3 labels its points "C".
    Graph(3, 4);
    Style(3, 0, 2, 0);
    const std::vector<float> y = {0.2f, 0.6f, 0.4f, 0.5f};
    for (int s = 0; s < 3; ++s)
        IPgCurveDraw(y);
    auto texts = Screen(DeviceOp::kText);
    ASSERT_EQ(texts.size(), 4u);
    for (const RecordedOp& r : texts) {
        EXPECT_EQ(r.text, "C");
        EXPECT_EQ(r.state.currentNumber, 103);
    }

    // Numbers: marker 12 writes "12" centred on each point.
    recorder().Clear();
    Graph(1, 4);
    Style(1, 0, 1, 0, 12);
    gTextState.justification = 0;
    IPgCurveDraw(y);
    texts = Screen(DeviceOp::kText);
    ASSERT_EQ(texts.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(texts[i].text, "12");
        Pt p = DeviceOf(i / 3.0f, y[i]);
        EXPECT_NEAR((texts[i].block.X[0] + texts[i].block.X[2]) / 2, p.x, 0.02f);
        EXPECT_NEAR(texts[i].block.Y[0], p.y, 0.02f);
    }
    EXPECT_EQ(gTextState.justification, 0);

    // Point steps 3 and 5: markers at points 3, 8 and 13.
    recorder().Clear();
    Graph(1, 15);
    Style(1, 0, 3, 0, 14);
    IPgPointSteps(3, 5);
    std::vector<float> many(15, 0.5f);
    IPgCurveDraw(many);
    auto circles = Screen(DeviceOp::kEllipseSolid);
    ASSERT_EQ(circles.size(), 3u);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(circles[k].block.X[0], DeviceOf(2.0f / 14 + k * 5.0f / 14, 0.5f).x, 0.02f) << k;
}

TEST_F(CurvesTest, StackedSetsDrawOnTheSumOfTheSetsBelow)
{
    const std::vector<float> y1 = {1, 2, 1}, y2 = {1, 1, 2};
    // Line-drawn: set 2 runs through the sums, and so do its markers.
    Graph(2, 3, 1024);
    Style(2, 0, 3, 0, 14);
    IPgArea(0.0f, 0.0f, 2.0f, 4.0f);
    IPgCurveDraw(y1);
    IPgCurveDraw(y2);
    auto polylines = Screen(DeviceOp::kPolyline);
    auto circles = Screen(DeviceOp::kEllipseSolid);
    ASSERT_EQ(polylines.size(), 2u);
    ASSERT_EQ(circles.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(polylines[1].y[i], DeviceOf(1, y1[i] + y2[i]).y, 0.02f) << i;
        EXPECT_NEAR(circles[i].block.Y[0], DeviceOf(1, y1[i] + y2[i]).y, 0.02f) << i;
    }
    EXPECT_EQ(gSetEndTable.endY[1], 3.0f);
    EXPECT_TRUE(gStackBaseTable.base.empty());

    // Filled: set 2's area lies between the curve of set 1 and the sums.
    recorder().Clear();
    Graph(2, 3, 1024);
    Style(1, 4, 1, 1);
    Style(2, 4, 1, 1);
    IPgCurveDraw(y1);
    recorder().Clear();
    IPgCurveDraw(y2);
    auto quads = Screen(DeviceOp::kQuadSolid);
    ASSERT_EQ(quads.size(), 2u);
    for (int i = 0; i < 2; ++i)
        ExpectSame(PointsOf(quads[i]), Sorted({DeviceOf(i, y1[i]), DeviceOf(i + 1, y1[i + 1]),
                                               DeviceOf(i, y1[i] + y2[i]),
                                               DeviceOf(i + 1, y1[i + 1] + y2[i + 1])}));

    // Set 2 crosses the top of set 1 with both data points at height 2:
    // split into two triangles at the middle, on the edge of set 1.
    recorder().Clear();
    Graph(2, 2, 1024);
    IPgArea(0.0f, 0.0f, 1.0f, 4.0f);
    Style(1, 4, 1, 1);
    Style(2, 4, 1, 1);
    IPgCurveDraw(std::vector<float>{1, 3});
    recorder().Clear();
    IPgCurveDraw(std::vector<float>{1, -1});
    auto triangles = Screen(DeviceOp::kTriangleSolid);
    ASSERT_EQ(triangles.size(), 2u);
    ExpectSame(PointsOf(triangles[0]), Sorted({DeviceOf(0, 1), DeviceOf(0, 2), DeviceOf(0.5f, 2)}));
    ExpectSame(PointsOf(triangles[1]), Sorted({DeviceOf(0.5f, 2), DeviceOf(1, 3), DeviceOf(1, 2)}));
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(CurvesTest, DrawingStateIsGivenBack)
{
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const int previous = 5, current = 7, style = 3, fill = 2, density = 4, direction = 1;
    IGrColourN(previous);
    IGrColourN(current);
    IGrLineStyleSelect(&style);
    YYFillSettings(&fill, &density, &direction);
    t.justification = 2;
    t.stacking = 1;
    t.slant = 0.25f;
    const GraphicsState before = g;

    Graph(2, 3);
    Style(1, 1, 2, 3);    // filled, hatched, with the line along the data
    Style(2, 1, 2, 0, 5); // dashed line with letters
    const std::vector<float> y = {0.2f, 0.6f, 0.4f};
    for (int s = 0; s < 2; ++s) {
        SCOPED_TRACE(s);
        IPgCurveDraw(y);
        EXPECT_EQ(g.currentNumber, before.currentNumber);
        EXPECT_EQ(g.previousNumber, before.previousNumber);
        EXPECT_EQ(g.lineStyle, style);
        EXPECT_EQ(g.fillMode, before.fillMode);
        EXPECT_EQ(g.hatchDensity, density);
        EXPECT_EQ(g.hatchDirection, direction);
        EXPECT_EQ(g.outline, before.outline);
        EXPECT_EQ(t.justification, 2);
        EXPECT_EQ(t.stacking, 1);
        EXPECT_EQ(t.slant, 0.25f);
    }
    EXPECT_FALSE(Screen(DeviceOp::kText).empty());
}

} // namespace
