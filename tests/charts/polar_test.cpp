// Polar graphs: the curves of their sets (closed, filled, stacked, with
// markers, with missing points) and their radial and angular axes, each
// drawn once per output with that output's aspect. Target 200 x 100 with the
// default plot area: the circle has its centre at (0.5, 0.5) and radii 0.2
// (x) and 0.4 (y) on the screen; on a hardcopy page of aspect 1 both are 0.4.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "charts/axes.h"
#include "charts/curves.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/legend.h"
#include "drawing_fixture.h"
#include "graphics/coordinates.h"

namespace {

constexpr float kTol = 1e-4f;

class PolarTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        Target(200, 100);
        Scales();
        gGraphicsState.lineStyle = 0;
        gGraphicsState.fillMode = kFillOutline;
        gHardcopyState.pageAspect = 1.0f;
    }

    // A polar type-4 graph of SETS sets of N points, polar unit 2, every set
    // line-drawn without markers in colour 10 + set (second colour 100 + set).
    void Graph(int sets, int n, int bits = 64)
    {
        const int zero = 0;
        IPgGraphBegin(4, sets, std::vector<int>{n}, &bits, &zero);
        ASSERT_EQ(gPgGraphState.polar, 1);
        IPgUnitsPolar(2.0f);
        for (int s = 1; s <= sets; ++s)
            Style(s, 0, 0, 0);
        ClearAll();
    }
    static void Style(int set, int w1, int w2, int w3, int marker = -1)
    {
        const int c1 = 10 + set, c2 = 100 + set;
        IPgDataSetStyle(set, &w1, &w2, &w3, &c1, &c2);
        gDataSetStyleTable.Set(set).marker = marker;
    }
    void Hardcopy(bool open) { gGraphicsState.hardcopyOpen = open ? 1 : 0; }

    // Ops of SIDE with code OP drawn while that side was the output.
    std::vector<RecordedOp> Drawn(int side, int op)
    {
        std::vector<RecordedOp> out;
        for (const RecordedOp& r : recorder().Of(side, op)) {
            if (side == kScreenSide ? r.state.screenOutput != 0 : r.state.screenOutput == 0)
                out.push_back(r);
        }
        return out;
    }
    // The points of a polyline or filled shape in world units.
    static std::vector<Pt> World(const RecordedOp& r)
    {
        std::vector<Pt> out;
        for (size_t i = 0; i < r.x.size(); ++i) {
            Pt p{};
            YYDeviceToWorld(r.x[i], r.y[i], p.x, p.y);
            out.push_back(p);
        }
        return out;
    }
    static Pt WorldOf(float dx, float dy)
    {
        Pt p{};
        YYDeviceToWorld(dx, dy, p.x, p.y);
        return p;
    }
    static void ExpectPoints(const std::vector<Pt>& got, const std::vector<Pt>& want)
    {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x, want[i].x, kTol) << i;
            EXPECT_NEAR(got[i].y, want[i].y, kTol) << i;
        }
    }
    static std::vector<Pt> Sorted(std::vector<Pt> v)
    {
        std::sort(v.begin(), v.end(), [](Pt a, Pt b) {
            return std::fabs(a.x - b.x) > kTol ? a.x < b.x : a.y < b.y;
        });
        return v;
    }
};

TEST_F(PolarTest, ClosedCurveOncePerOutputEachWithItsAspect)
{
    const std::vector<float> y = {2, 1, 2, 1};
    for (bool hardcopy : {false, true}) {
        SCOPED_TRACE(hardcopy);
        Graph(1, 4);
        Hardcopy(hardcopy);
        IPgCurveDraw(y);
        const auto screen = Drawn(kScreenSide, DeviceOp::kPolyline);
        ASSERT_EQ(screen.size(), 1u);
        ExpectPoints(World(screen[0]), {{0.7f, 0.5f}, {0.5f, 0.7f}, {0.3f, 0.5f}, {0.5f, 0.3f}, {0.7f, 0.5f}});
        EXPECT_EQ(screen[0].state.hardcopyOpen, 0);
        const auto page = Drawn(kHardcopySide, DeviceOp::kPolyline);
        if (!hardcopy) {
            EXPECT_TRUE(page.empty());
            continue;
        }
        ASSERT_EQ(page.size(), 1u);
        ExpectPoints(World(page[0]), {{0.9f, 0.5f}, {0.5f, 0.7f}, {0.1f, 0.5f}, {0.5f, 0.3f}, {0.9f, 0.5f}});
        EXPECT_EQ(page[0].state.currentNumber, 11);
        EXPECT_EQ(gGraphicsState.screenOutput, 1);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        Hardcopy(false);
    }
    // Where the set ended, for curve-end labels: the angle and value of its
    // last point.
    EXPECT_EQ(gSetEndTable.endX[0], 270.0f);
    EXPECT_EQ(gSetEndTable.endY[0], 1.0f);
}

TEST_F(PolarTest, MissingAndNonFinitePointsSplitTheCurve)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        std::vector<float> y;
        std::vector<std::vector<Pt>> polylines;
    };
    const Pt d1{0.7f, 0.5f}, d2{0.5f, 0.7f}, d3{0.3f, 0.5f}, d4{0.5f, 0.3f};
    const Case cases[] = {
        // The run 4, 1 is closed after the last point.
        {"point 3 missing", {2, 1, -1, 1}, {{d1, d2}, {d4, d1}}},
        {"point 3 not a number", {2, 1, nan, 1}, {{d1, d2}, {d4, d1}}},
        // Without point 4 the final run holds point 1 alone: no line.
        {"point 4 infinite", {2, 1, 2, inf}, {{d1, d2, d3}}},
        // Values for fewer points than the graph has: the others are missing.
        {"two values given", {2, 1}, {{d1, d2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Graph(1, 4);
        gPgGraphState.missingValueOn = 1;
        gPgGraphState.missingValue = -1.0f;
        IPgCurveDraw(c.y);
        const auto polylines = Drawn(kScreenSide, DeviceOp::kPolyline);
        ASSERT_EQ(polylines.size(), c.polylines.size());
        for (size_t i = 0; i < polylines.size(); ++i)
            ExpectPoints(World(polylines[i]), c.polylines[i]);
    }
}

TEST_F(PolarTest, FilledSetsArePiecesFromTheCentre)
{
    const Pt centre{0.5f, 0.5f}, d1{0.7f, 0.5f}, d2{0.5f, 0.7f}, d3{0.3f, 0.5f}, d4{0.5f, 0.3f};
    // Solid fill: one triangle per neighbouring pair, from point 4 to 1 first.
    Graph(1, 4);
    Style(1, 4, 1, 1);
    IPgCurveDraw(std::vector<float>{2, 1, 2, 1});
    auto triangles = Drawn(kScreenSide, DeviceOp::kTriangleSolid);
    ASSERT_EQ(triangles.size(), 4u);
    ExpectPoints(Sorted(World(triangles[0])), Sorted({centre, d1, d4}));
    ExpectPoints(Sorted(World(triangles[3])), Sorted({centre, d3, d4}));
    EXPECT_TRUE(Drawn(kScreenSide, DeviceOp::kLine).empty());

    // Point 4 missing: no piece touches it, so none closes 4 to 1.
    Graph(1, 4);
    Style(1, 4, 1, 1);
    gPgGraphState.missingValueOn = 1;
    gPgGraphState.missingValue = -1.0f;
    IPgCurveDraw(std::vector<float>{2, 1, 2, -1});
    triangles = Drawn(kScreenSide, DeviceOp::kTriangleSolid);
    ASSERT_EQ(triangles.size(), 2u);
    ExpectPoints(Sorted(World(triangles[0])), Sorted({centre, d1, d2}));
    ExpectPoints(Sorted(World(triangles[1])), Sorted({centre, d2, d3}));

    // A fill style below 3 also draws the curve's sides.
    Graph(1, 4);
    Style(1, 0, 1, 1);
    IPgCurveDraw(std::vector<float>{2, 1, 2, 1});
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    ExpectPoints({{lines[0].x1, lines[0].y1}, {lines[0].x2, lines[0].y2}}, {d4, d1});
    ExpectPoints({{lines[3].x1, lines[3].y1}, {lines[3].x2, lines[3].y2}}, {d3, d4});
}

TEST_F(PolarTest, StackedSetsStandOnTheSetsBelow)
{
    // Lines: set 2 runs through the sums; the ends hold the stacked value.
    Graph(2, 4, 64 + 1024);
    IPgCurveDraw(std::vector<float>{1, 1, 1, 1});
    IPgCurveDraw(std::vector<float>{1, 0.5f, 1, 0.5f});
    auto polylines = Drawn(kScreenSide, DeviceOp::kPolyline);
    ASSERT_EQ(polylines.size(), 2u);
    ExpectPoints(World(polylines[1]), {{0.7f, 0.5f}, {0.5f, 0.8f}, {0.3f, 0.5f}, {0.5f, 0.2f}, {0.7f, 0.5f}});
    EXPECT_EQ(gSetEndTable.endY[1], 1.5f);

    // Filled: set 1 from the centre, set 2 in pieces between the curve of
    // the sums below (value 1) and that of value 2.
    Graph(2, 4, 64 + 1024);
    Style(1, 4, 1, 1);
    Style(2, 4, 1, 1);
    IPgCurveDraw(std::vector<float>{1, 1, 1, 1});
    EXPECT_EQ(Drawn(kScreenSide, DeviceOp::kTriangleSolid).size(), 4u);
    ClearAll();
    IPgCurveDraw(std::vector<float>{1, 1, 1, 1});
    const auto pieces = Drawn(kScreenSide, DeviceOp::kTriangleSolid);
    ASSERT_GE(pieces.size(), 4u);
    const std::vector<Pt> allowed = {{0.6f, 0.5f}, {0.5f, 0.7f}, {0.4f, 0.5f}, {0.5f, 0.3f},
                                     {0.7f, 0.5f}, {0.5f, 0.9f}, {0.3f, 0.5f}, {0.5f, 0.1f}};
    for (const RecordedOp& r : pieces)
        for (const Pt& p : World(r))
            EXPECT_TRUE(std::any_of(allowed.begin(), allowed.end(), [&](Pt a) {
                return std::fabs(a.x - p.x) < kTol && std::fabs(a.y - p.y) < kTol;
            })) << p.x << " " << p.y;
}

TEST_F(PolarTest, MarkersOnTheCurvePointsAndAfterBothCurves)
{
    // Solid circles (marker 14) in the second colour at the four points; the
    // hardcopy's curve keeps the set's colour and line style.
    Graph(1, 4);
    Style(1, 3, 3, 0, 14);
    Hardcopy(true);
    IPgCurveDraw(std::vector<float>{2, 1, 2, 1});
    const auto circles = Drawn(kScreenSide, DeviceOp::kEllipseSolid);
    ASSERT_EQ(circles.size(), 4u);
    const std::vector<Pt> points = {{0.7f, 0.5f}, {0.5f, 0.7f}, {0.3f, 0.5f}, {0.5f, 0.3f}};
    for (size_t i = 0; i < 4; ++i) {
        const Pt at = WorldOf(circles[i].block.X[0], circles[i].block.Y[0]);
        EXPECT_NEAR(at.x, points[i].x, kTol);
        EXPECT_NEAR(at.y, points[i].y, kTol);
        EXPECT_EQ(circles[i].state.currentNumber, 101);
    }
    // (A hardcopy receives a filled ellipse as the odd code, M = 1 its fill.)
    const auto fills = Drawn(kHardcopySide, DeviceOp::kEllipseHalftone);
    EXPECT_EQ(std::count_if(fills.begin(), fills.end(), [](const RecordedOp& r) { return r.block.M == 1; }), 4);
    const auto page = Drawn(kHardcopySide, DeviceOp::kPolyline);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].state.currentNumber, 11);
    EXPECT_EQ(page[0].state.lineStyle, 3);
    Hardcopy(false);

    // One point: no curve, its marker at angle 0.
    Graph(1, 1);
    Style(1, 0, 3, 0, 14);
    IPgCurveDraw(std::vector<float>{2});
    EXPECT_TRUE(Drawn(kScreenSide, DeviceOp::kPolyline).empty());
    const auto one = Drawn(kScreenSide, DeviceOp::kEllipseSolid);
    ASSERT_EQ(one.size(), 1u);
    const Pt at = WorldOf(one[0].block.X[0], one[0].block.Y[0]);
    EXPECT_NEAR(at.x, 0.7f, kTol);
    EXPECT_NEAR(at.y, 0.5f, kTol);
}

TEST_F(PolarTest, CurveEndLabelsStandAtTheLastPoints)
{
    Graph(2, 4);
    gPgGraphState.missingValueOn = 1;
    gPgGraphState.missingValue = -1.0f;
    IPgCurveDraw(std::vector<float>{2, 1, 2, 1});
    IPgCurveDraw(std::vector<float>{-1, -1, -1, -1}); // nothing present: the centre
    ClearAll();
    const std::string_view descriptions[] = {"one", "two"};
    IPgLegendDraw(descriptions, "E");
    const float offset = 0.5f * gGraphicsState.textUnitSize[0] * gTextState.charWidth;
    const DrawnText* one = FindText("one");
    const DrawnText* two = FindText("two");
    ASSERT_TRUE(one && two);
    EXPECT_NEAR(one->wx, 0.5f + offset, kTol);
    EXPECT_NEAR(one->wy, 0.3f, kTol);
    EXPECT_NEAR(two->wx, 0.5f + offset, kTol);
    EXPECT_NEAR(two->wy, 0.5f, kTol);
}

class PolarAxesTest : public PolarTest {
protected:
    void Graph(float unit)
    {
        PolarTest::Graph(1, 8);
        IPgUnitsPolar(unit);
        ClearAll();
    }
    // Lines of SIDE drawn while it was the output.
    std::vector<DrawnLine> LinesOf(int side)
    {
        std::vector<DrawnLine> out;
        for (const RecordedOp& r : Drawn(side, DeviceOp::kLine)) {
            DrawnLine l{};
            YYDeviceToWorld(r.block.X[0], r.block.Y[0], l.x1, l.y1);
            YYDeviceToWorld(r.block.X[1], r.block.Y[1], l.x2, l.y2);
            out.push_back(l);
        }
        return out;
    }
};

TEST_F(PolarAxesTest, RadialAxisTicksEachStepButTheCentre)
{
    for (bool hardcopy : {false, true}) {
        SCOPED_TRACE(hardcopy);
        Graph(7.3f);
        Hardcopy(hardcopy);
        IPgYAxis("NT");
        // Ticks of 1/80 of the plot height pointing down, labels centred
        // 2.5 tick lengths below the horizontal radius (left of the centre).
        for (int side : {kScreenSide, kHardcopySide}) {
            const auto ticks = LinesOf(side);
            if (side == kHardcopySide && !hardcopy) {
                EXPECT_TRUE(ticks.empty());
                continue;
            }
            const float radius = side == kScreenSide ? 0.2f : 0.4f;
            ASSERT_EQ(ticks.size(), 7u);
            for (int k = 1; k <= 7; ++k) {
                const DrawnLine& l = ticks[static_cast<size_t>(k - 1)];
                EXPECT_NEAR(l.x1, 0.5f - radius * static_cast<float>(k) / 7.3f, kTol);
                EXPECT_NEAR(l.y1, 0.5f, kTol);
                EXPECT_NEAR(l.x2, l.x1, kTol);
                EXPECT_NEAR(l.y2, 0.49f, kTol);
            }
        }
        EXPECT_EQ(TextStrings(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
        for (const DrawnText& d : gTexts) {
            EXPECT_EQ(d.justification, 1);
            EXPECT_NEAR(d.wy, 0.5f - 0.025f, kTol);
        }
        EXPECT_NEAR(gTexts[0].wx, 0.5f - 0.2f / 7.3f, kTol);
        Hardcopy(false);
    }
    // The second variant runs to the right.
    Graph(7.3f);
    IPgYAxis2("T");
    const auto ticks = LinesOf(kScreenSide);
    ASSERT_EQ(ticks.size(), 7u);
    EXPECT_NEAR(ticks[6].x1, 0.5f + 0.2f * 7.0f / 7.3f, kTol);
    EXPECT_TRUE(gTexts.empty());
}

TEST_F(PolarAxesTest, LogarithmicRadialAxisLabelsDecades)
{
    Graph(100.0f);
    IPgLogAxes(" ", "log");
    ASSERT_NE(gPgGraphState.yLog, 0);
    ClearAll();
    IPgYAxis("NT");
    // 41 decades from 10^-38 to 10^2, every ninth labelled: "10" and its
    // exponent at the decade's place on the log scale.
    EXPECT_EQ(TextStrings(), (std::vector<std::string>{"10", "-29", "10", "-20", "10", "-11", "10", "-2"}));
    const auto ticks = LinesOf(kScreenSide);
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_NEAR(ticks[0].x1, 0.5f - 0.2f * 9.0f / 40.0f, kTol);
    EXPECT_NEAR(ticks[3].x1, 0.5f - 0.2f * 36.0f / 40.0f, kTol);
    EXPECT_EQ(gTexts[0].justification, 2);
    EXPECT_EQ(gTexts[1].justification, 0);
    EXPECT_NEAR(gTexts[1].charWidth, 0.6f * gTexts[0].charWidth, 1e-6f);

    // Five decades up to 10^-34: each labelled, with half ticks at its
    // multiples up to the polar unit.
    IPgUnitsPolar(1e-34f);
    ClearAll();
    IPgYAxis("T");
    const auto all = LinesOf(kScreenSide);
    ASSERT_EQ(all.size(), 4u + 3u * 8u);
    const float full = all[0].y2 - all[0].y1;
    EXPECT_NEAR(all[1].y2 - all[1].y1, full / 2.0f, kTol);
    EXPECT_NEAR(all[1].x1, 0.5f - 0.2f * (1.0f + std::log10(2.0f)) / 4.0f, 1e-3f);
    EXPECT_NEAR(all.back().x1, 0.5f - 0.2f, 1e-3f);
}

TEST_F(PolarAxesTest, AngularAxisTwelveTicksOutsideTheCircle)
{
    for (bool hardcopy : {false, true}) {
        SCOPED_TRACE(hardcopy);
        Graph(2.0f);
        Hardcopy(hardcopy);
        IPgXAxis("NT");
        const std::vector<std::string> want = {"0",   "30",  "60",  "90",  "120", "150",
                                               "180", "210", "240", "270", "300", "330"};
        const std::vector<std::string> texts = TextStrings();
        EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 12), want);
        // The label of 0 degrees stands the margin distance (0.38 of the
        // plot's bottom margin, in x divided by the aspect) beyond the circle.
        EXPECT_NEAR(gTexts[0].wx, 0.7f + 0.038f / 2.0f, kTol);
        EXPECT_NEAR(gTexts[3].wy, 0.9f + 0.038f, kTol);
        const auto ticks = LinesOf(kScreenSide);
        ASSERT_EQ(ticks.size(), 12u);
        ExpectPoints({{ticks[0].x1, ticks[0].y1}, {ticks[0].x2, ticks[0].y2}}, {{0.7f, 0.5f}, {0.705f, 0.5f}});
        ExpectPoints({{ticks[3].x1, ticks[3].y1}, {ticks[3].x2, ticks[3].y2}}, {{0.5f, 0.9f}, {0.5f, 0.91f}});
        EXPECT_EQ(LinesOf(kHardcopySide).size(), hardcopy ? 12u : 0u);
        Hardcopy(false);
    }
    // Caller labels, no ticks.
    Graph(2.0f);
    const std::string_view labels[] = {"N", "E"};
    IPgXAxisLabels(labels, 2);
    EXPECT_TRUE(LinesOf(kScreenSide).empty());
    const std::vector<std::string> texts = TextStrings();
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts[0], "N");
    EXPECT_EQ(texts[1], "E");
    EXPECT_EQ(texts[2], " ");
}

} // namespace
