// Markers at the data points of a type-7 graph observed through the
// recording driver: the application's knot markers, the symbol each marker
// kind draws, the point count, ignored calls, the passes of a polar graph and
// the drawing state given back.
#include <cmath>
#include <string>
#include <vector>

#include "charts/data_markers.h"
#include "charts/graph_settings.h"
#include "charts_fixture.h"
#include "fonts/builtin_fonts.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "graphics/coordinates.h"
#include "graphics/lines.h"
#include "graphics/markers.h"

namespace {

class DataMarkersTest : public ChartsTest {
protected:
    void SetUp() override
    {
        ChartsTest::SetUp();
        gGraphicsState.roundingColours = 256;
        gGraphicsState.lineStyle = 0;
        ScreenText();
    }

    static Pt DeviceOf(float x, float y)
    {
        float wx, wy;
        YYPgToWorld(x, y, wx, wy);
        Pt p{};
        YYWorldToDevice(wx, wy, p.x, p.y);
        return p;
    }

    // A marker graph of SETS sets of N points (option BITS, no defaults),
    // every set of kind KIND with the style word W1, marker MARKER and
    // colours 10 + set and 100 + set.
    static void Graph(int sets, int n, int kind, int w1 = 0, int marker = -1, int bits = 0)
    {
        const int zero = 0;
        IPgGraphBegin(7, sets, std::vector<int>{n}, &bits, &zero);
        for (int s = 1; s <= sets; ++s) {
            const int c1 = 10 + s, c2 = 100 + s;
            IPgDataSetStyle(s, &w1, &kind, &zero, &c1, &c2);
            IPgDataSetMarker(s, marker);
        }
    }

    // The drawing ops of the screen side (colour, line style and font
    // changes and text measuring left out), for comparing two drawings.
    std::vector<RecordedOp> Drawing()
    {
        std::vector<RecordedOp> out;
        for (const RecordedOp& r : recorder().ops)
            if (r.side == kScreenSide && r.op != DeviceOp::kColour && r.op != DeviceOp::kLineStyle &&
                r.op != DeviceOp::kFont && r.op != DeviceOp::kTextAngle && r.op != DeviceOp::kTextWidth)
                out.push_back(r);
        return out;
    }
    static void ExpectSameDrawing(const std::vector<RecordedOp>& a, const std::vector<RecordedOp>& b)
    {
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].op, b[i].op) << i;
            EXPECT_EQ(a[i].block.X, b[i].block.X) << i;
            EXPECT_EQ(a[i].block.Y, b[i].block.Y) << i;
            EXPECT_EQ(a[i].x, b[i].x) << i;
            EXPECT_EQ(a[i].y, b[i].y) << i;
            EXPECT_EQ(a[i].text, b[i].text) << i;
        }
    }
};

TEST_F(DataMarkersTest, ApplicationKnotsAreSolidCircles)
{
    Target(750, 600);
    // What the curve graph before it left: the ranges, the clip option and
    // the character size for the curve annotations.
    const int bits = 1;
    IPgGraphBegin(4, 7, std::vector<int>{201}, &bits);
    IPgGraphOptions("G");
    IPgArea(0.0f, 0.0f, 2.5f, 1.0f);
    IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);
    const float width = 0.0133f, height = 0.0333f, keep = 0.0f;
    WGrTextFont(nullptr, nullptr, &width, &height);
    WGrTextFont(nullptr, nullptr, &keep, &keep);
    IGrColourN(19);

    // The knot graph: one set of five points, the type's defaults, marker
    // 14, style words 4, 3, 0 and colours 32 and 223.
    const int noBits = 0, defaults = 1, four = 4, three = 3, zero = 0, c1 = 32, c2 = 223;
    IPgGraphBegin(7, 1, std::vector<int>{5}, &noBits, &defaults);
    IPgDataSetMarker(1, 14);
    IPgDataSetStyle(1, &four, &three, &zero, &c1, &c2);
    const std::vector<float> knots = {0.0f, 0.625f, 1.25f, 1.875f, 2.5f}, zeros(5, 0.0f);
    recorder().Clear();
    IPgMarkersDraw(knots, zeros);

    auto circles = recorder().Of(kScreenSide, DeviceOp::kEllipseSolid);
    ASSERT_EQ(circles.size(), 5u);
    const float radius = 0.375f * 0.0133f * gGraphicsState.areaSize[0];
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        Pt p = DeviceOf(knots[i], 0.0f);
        EXPECT_NEAR(circles[i].block.X[0], p.x, 0.02f);
        EXPECT_NEAR(circles[i].block.Y[0], p.y, 0.02f);
        EXPECT_NEAR(circles[i].block.X[1], radius, 0.05f);
        EXPECT_EQ(circles[i].state.currentNumber, 223);
        EXPECT_EQ(circles[i].state.lineStyle, 0);
    }
    // Nothing but the circles and the colour changes around them.
    for (const RecordedOp& r : recorder().ops)
        EXPECT_TRUE(r.op == DeviceOp::kEllipseSolid || r.op == DeviceOp::kColour) << r.op;
    EXPECT_EQ(gGraphicsState.currentNumber, 19);
    // The graph has one set: a second call draws nothing.
    recorder().Clear();
    IPgMarkersDraw(knots, zeros);
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(DataMarkersTest, SymbolOfEachKind)
{
    struct Case {
        int kind, w1, marker, set;
        std::string text; // kinds 1 and 2: the label drawn
        int symbol;       // kinds 3 and 4: the marker or character drawn
    };
    const std::vector<Case> cases = {
        {2, 4, -1, 1, "D", 0},   {2, 0, 27, 1, "a", 0},   {2, 0, 53, 2, "B", 0},
        {2, 0, 26, 1, "Z", 0},   {1, 0, 0, 1, "0", 0},    {1, -3, -1, 2, "2", 0},
        {1, 0, 1234, 1, "1234", 0}, {4, 5, -1, 1, "", 207}, {4, 40, -1, 1, "", 40},
        {4, 25, -1, 1, "", 227},
        {4, 0, 300, 40, "", 40},   {3, 0, 41, 2, "", 2},    {3, 9, -1, 1, "", 9},
        {-3, 0, 14, 1, "", 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.marker) + " " + std::to_string(c.w1));
        Graph(c.set, 1, c.kind, c.w1, c.marker);
        IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
        const std::vector<float> x = {0.5f}, y = {0.5f};
        for (int s = 1; s < c.set; ++s)
            IPgMarkersDraw(x, y);
        recorder().Clear();
        IPgMarkersDraw(x, y);
        std::vector<RecordedOp> drawn = Drawing();

        if (c.kind == 1 || c.kind == 2) {
            ASSERT_EQ(drawn.size(), 1u);
            EXPECT_EQ(drawn[0].op, DeviceOp::kText);
            EXPECT_EQ(drawn[0].text, c.text);
            continue;
        }
        // The same figure drawn directly.
        recorder().Clear();
        float wx, wy;
        YYPgToWorld(0.5f, 0.5f, wx, wy);
        const int before = gTextState.justification;
        gTextState.justification = 1;
        if (std::abs(c.kind) == 3) {
            YYMarker(wx, wy, c.symbol);
        } else {
            const char code = static_cast<char>(c.symbol);
            YYSymbolsLoad(1);
            YYTextDraw(&wx, &wy, std::string_view(&code, 1));
            YYSymbolsLoad(0);
        }
        gTextState.justification = before;
        std::vector<RecordedOp> reference = Drawing();
        ASSERT_FALSE(reference.empty());
        ExpectSameDrawing(drawn, reference);
    }
    // A kind of 0 or above 4 plots a point.
    for (int kind : {0, 5, -7}) {
        Graph(1, 1, kind, 0, 3);
        recorder().Clear();
        IPgMarkersDraw(std::vector<float>{0.5f}, std::vector<float>{0.25f});
        auto drawn = Drawing();
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].op, DeviceOp::kPoint);
    }
}

TEST_F(DataMarkersTest, CountOfPointsDrawn)
{
    struct Case {
        const int* count;
        size_t drawn;
    };
    const int zero = 0, negative = -3, two = 2, many = 9;
    const std::vector<float> x = {0.1f, 0.2f, 0.3f, 0.4f}, y = {0.5f, 0.5f, 0.5f, 0.5f};
    for (const Case& c : {Case{nullptr, 4}, Case{&zero, 1}, Case{&negative, 1}, Case{&two, 2}, Case{&many, 4}}) {
        Graph(1, 4, 0);
        recorder().Clear();
        IPgMarkersDraw(x, y, c.count);
        auto points = recorder().Of(kScreenSide, DeviceOp::kPoint);
        ASSERT_EQ(points.size(), c.drawn);
        EXPECT_NEAR(points[0].block.X[0], DeviceOf(0.1f, 0.5f).x, 0.02f);
    }
    // Arrays shorter than the graph's points: only the points given.
    Graph(1, 4, 0);
    recorder().Clear();
    IPgMarkersDraw(std::span<const float>(x).first(2), y);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kPoint).size(), 2u);
}

TEST_F(DataMarkersTest, CallsOutsideTheGraphAreIgnored)
{
    const std::vector<float> x = {0.5f}, y = {0.5f};
    const int zero = 0;
    IPgGraphBegin(4, 2, std::vector<int>{1}, &zero, &zero);
    recorder().Clear();
    IPgMarkersDraw(x, y);
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_EQ(gPgGraphState.setCounter, 0);

    Graph(3, 1, 0);
    for (int s = 1; s <= 3; ++s)
        IPgMarkersDraw(x, y);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kPoint).size(), 3u);
    recorder().Clear();
    IPgMarkersDraw(x, y);
    EXPECT_TRUE(recorder().ops.empty());
    EXPECT_EQ(gPgGraphState.setCounter, 3);
}

TEST_F(DataMarkersTest, PolarGraphIsDrawnOncePerOutput)
{
    GraphicsState& g = gGraphicsState;
    gHardcopyState.pageAspect = 1.5f;
    const std::vector<float> angles = {0.0f, 90.0f, 180.0f}, radii = {1.0f, 1.0f, 0.5f};
    struct Case {
        int screen, hardcopy;
        size_t screenPoints, hardcopyPoints;
    };
    for (const Case& c : {Case{1, 0, 3, 0}, Case{1, 1, 3, 3}, Case{0, 1, 0, 3}, Case{0, 0, 0, 0}}) {
        SCOPED_TRACE(std::to_string(c.screen) + std::to_string(c.hardcopy));
        g.screenOutput = c.screen;
        g.hardcopyOpen = c.hardcopy;
        Graph(1, 3, 0, 0, -1, 64);
        ASSERT_EQ(gPgGraphState.polar, 1);
        recorder().Clear();
        IPgMarkersDraw(angles, radii);
        size_t screen = 0;
        for (const RecordedOp& r : recorder().Of(kScreenSide, DeviceOp::kPoint)) {
            if (r.state.screenOutput == 0)
                continue;
            EXPECT_EQ(r.state.hardcopyOpen, 0);
            ++screen;
        }
        auto hard = recorder().Of(kHardcopySide, DeviceOp::kPoint);
        EXPECT_EQ(screen, c.screenPoints);
        ASSERT_EQ(hard.size(), c.hardcopyPoints);
        for (const RecordedOp& r : hard)
            EXPECT_EQ(r.state.screenOutput, 0);
        EXPECT_EQ(g.screenOutput, c.screen);
        EXPECT_EQ(g.hardcopyOpen, c.hardcopy);
    }
}

TEST_F(DataMarkersTest, DrawingStateIsGivenBack)
{
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const int style = 5;
    IGrColourN(7);
    IGrColourN(9);
    IGrLineStyleSelect(&style);
    t.justification = 0;
    t.stacking = 1;
    t.slant = 0.25f;
    Graph(1, 2, 2, 0, 3);
    IPgMarkersDraw(std::vector<float>{0.2f, 0.4f}, std::vector<float>{0.5f, 0.6f});
    auto texts = recorder().Of(kScreenSide, DeviceOp::kText);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "C");
    EXPECT_EQ(texts[0].state.currentNumber, 101);
    EXPECT_EQ(texts[0].state.lineStyle, 0);
    EXPECT_EQ(g.currentNumber, 9);
    EXPECT_EQ(g.previousNumber, 7);
    EXPECT_EQ(g.lineStyle, style);
    EXPECT_EQ(t.justification, 0);
    EXPECT_EQ(t.stacking, 1);
    EXPECT_EQ(t.slant, 0.25f);
}

} // namespace
