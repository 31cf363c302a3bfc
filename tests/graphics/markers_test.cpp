// The 40 markers, the marker font switch, the triangle-based polygon fill
// and the character cell.
#include "primitives_fixture.h"

#include <string>

#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "graphics/lines.h"
#include "graphics/markers.h"

namespace {

class MarkersTest : public PrimitivesTest {
protected:
    void SetUp() override
    {
        PrimitivesTest::SetUp();
        gTextState.charWidth = 0.1f;
        gTextState.charHeight = 0.1f;
        Fill(kFillHatch, 2, 3, 1); // the caller's style; solid figures switch to 4
    }
    float S() const { return 0.375f * gGraphicsState.unitSize[0] * gTextState.charWidth; }
    float H() const { return 0.338f * gGraphicsState.unitSize[1] * gTextState.charHeight; }
};

TEST_F(MarkersTest, OperationsOfEachMarker)
{
    using V = std::vector<int>;
    auto lines = [](size_t n) { return V(n, DeviceOp::kLine); };
    const int R = DeviceOp::kRectangleSolid, E = DeviceOp::kEllipseSolid, T = DeviceOp::kTriangleSolid,
              P = DeviceOp::kPolygonSolid;
    const V expected[41] = {
        {},
        lines(2), lines(2), lines(4), lines(3), lines(3),      // 1..5
        lines(6), lines(5), lines(5), lines(6), lines(6),      // 6..10
        lines(5), lines(9), {R}, {E}, {T},                     // 11..15
        {T}, {T}, {T}, {T, T}, {T, T},                         // 16..20
        {P}, {P}, {T}, {T}, {T},                               // 21..25
        {T}, lines(4), lines(8), lines(4), lines(4),           // 26..30
        lines(3), lines(3), lines(4), lines(6), lines(3),      // 31..35
        lines(3), lines(3), lines(3), lines(6), lines(8),      // 36..40
    };
    for (int n = 1; n <= 40; ++n) {
        SCOPED_TRACE(n);
        rec.Clear();
        YYMarker(150, 150, n);
        EXPECT_EQ(Codes(kScreenSide), expected[n]);
        EXPECT_EQ(gGraphicsState.fillMode, kFillHatch);
        EXPECT_EQ(gGraphicsState.outline, 1);
    }
    for (int n : {0, -3, 41}) {
        SCOPED_TRACE(n);
        rec.Clear();
        YYMarker(150, 150, n);
        EXPECT_EQ(Codes(kScreenSide), expected[1]);
    }
}

TEST_F(MarkersTest, PlusInSquareGeometry)
{
    YYMarker(150, 150, 6);
    auto l = Lines(kScreenSide);
    ASSERT_EQ(l.size(), 6u);
    const float L = 150 - S(), R = 150 + S(), B = 150 - H(), T = 150 + H();
    EXPECT_FLOAT_EQ(l[0].block.X[0], L);
    EXPECT_FLOAT_EQ(l[0].block.X[1], R);
    EXPECT_FLOAT_EQ(l[1].block.Y[0], B);
    EXPECT_FLOAT_EQ(l[1].block.Y[1], T);
    // The square ends where it started, and so does the pen.
    EXPECT_FLOAT_EQ(l[5].block.X[1], L);
    EXPECT_FLOAT_EQ(l[5].block.Y[1], B);
    EXPECT_FLOAT_EQ(gGraphicsState.penPosition[0], L);
    EXPECT_FLOAT_EQ(gGraphicsState.penPosition[1], B);
}

TEST_F(MarkersTest, MarkerOutsideTheUnitsDrawsNothing)
{
    YYPenMoveTo(1, 2);
    YYMarker(-50, 150, 3);
    YYMarker(150, 400, 13);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{1, 2}));
    // Partly inside: drawn.
    YYMarker(-S() / 2, 150, 3);
    EXPECT_EQ(Lines(kScreenSide).size(), 3u); // the left side is clipped away
}

TEST_F(MarkersTest, SolidFigureRestoresTheFillAndLeavesThePenAtItsFirstCorner)
{
    YYMarker(150, 150, 15);
    EXPECT_EQ(gGraphicsState.fillMode, kFillHatch);
    EXPECT_FLOAT_EQ(gGraphicsState.penPosition[0], 150 - S());
    EXPECT_FLOAT_EQ(gGraphicsState.penPosition[1], 150 - H());

    // A zero-width character: the square has no width.
    gTextState.charWidth = 0;
    rec.Clear();
    YYMarker(150, 150, 13);
    EXPECT_EQ(gErrorState.lastCode, 22);
    EXPECT_TRUE(rec.ops.empty());
}

TEST_F(MarkersTest, PolygonFillDrawsTrianglesThenTheOutlineOnce)
{
    Fill(kFillHatch, 3, 1, 1);
    const float x[] = {50, 150, 150, 50}, y[] = {50, 50, 150, 150};
    auto is = [](const RecordedOp& r, float x1, float y1, float x2, float y2) {
        const auto& b = r.block;
        return b.X[0] == x1 && b.Y[0] == y1 && b.X[1] == x2 && b.Y[1] == y2;
    };
    YYPolygonFill(x, y, 4);
    auto lines = Lines(kScreenSide);
    ASSERT_GT(lines.size(), 10u);
    // The hatching of the two triangles, without their edges (the inner
    // one runs from (150, 150) to (50, 50)), then the outline once.
    const size_t n = lines.size();
    for (int k = 0; k < 4; ++k) {
        const int j = (k + 1) % 4;
        EXPECT_TRUE(is(lines[n - 4 + k], x[k], y[k], x[j], y[j])) << k;
    }
    for (const RecordedOp& r : lines) {
        EXPECT_FALSE(is(r, 150, 150, 50, 50) || is(r, 50, 50, 150, 150));
    }
    int leftEdges = 0;
    for (const RecordedOp& r : lines)
        leftEdges += is(r, 50, 150, 50, 50);
    EXPECT_EQ(leftEdges, 1);
    EXPECT_EQ(gGraphicsState.outline, 1);
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{50, 50}));

    // A closing point equal to the first adds no closing line.
    rec.Clear();
    const float xc[] = {50, 150, 150, 50, 50}, yc[] = {50, 50, 150, 150, 50};
    YYPolygonFill(xc, yc, 5);
    leftEdges = 0;
    for (const RecordedOp& r : Lines(kScreenSide))
        leftEdges += is(r, 50, 150, 50, 50);
    EXPECT_EQ(leftEdges, 1);

    // Solid: the triangles only.
    rec.Clear();
    Fill(kFillSolid, 3, 1, 1);
    YYPolygonFill(x, y, 4);
    EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{DeviceOp::kTriangleSolid, DeviceOp::kTriangleSolid}));

    // Too few points: only the pen moves; none at all: not even that.
    rec.Clear();
    YYPolygonFill(x + 1, y + 1, 2);
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{150, 50}));
    YYPolygonFill(x, y, 0);
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{150, 50}));
    EXPECT_TRUE(rec.ops.empty());
}

TEST_F(MarkersTest, CharacterCell)
{
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    g.textUnitSize = {200, 100};
    g.areaFractionSize = {0.5f, 0.25f};
    t.charWidth = 0.02f;
    t.charHeight = 0.05f;
    t.textScaleX = 40;
    t.textScaleY = 20;
    float w = 0, h = 0;
    t.builtInFont = 1;
    YYCharCell(w, h);
    EXPECT_FLOAT_EQ(w, 4);
    EXPECT_FLOAT_EQ(h, 5);
    t.builtInFont = 0;
    YYCharCell(w, h);
    EXPECT_FLOAT_EQ(w, 10);
    EXPECT_FLOAT_EQ(h, 20);
}

class SymbolsLoadTest : public ::testing::Test {
protected:
    StrokeFont font = gStrokeFont;
    StrokeFontSaveArea save = gStrokeFontSaveArea;
    TextState text = gTextState;
    ~SymbolsLoadTest() override
    {
        gStrokeFont = font;
        gStrokeFontSaveArea = save;
        gTextState = text;
    }
    static std::string Name() { return std::string(TrimRight(std::string_view(gStrokeFont.name.data(), gStrokeFont.name.size()))); }
};

TEST_F(SymbolsLoadTest, SwitchesToTheMarkerFontAndBack)
{
    YYFontStandard();
    gTextState.builtInFont = 0;
    YYSymbolsLoad(1);
    EXPECT_EQ(Name(), "symbols.chr");
    EXPECT_EQ(gTextState.builtInFont, 1);
    YYSymbolsLoad(0);
    EXPECT_EQ(Name(), "standard.chr");
    EXPECT_EQ(gTextState.builtInFont, 0);
    // A second restore puts the same font back again.
    YYFontSwiss();
    YYSymbolsLoad(0);
    EXPECT_EQ(Name(), "standard.chr");
}

TEST_F(SymbolsLoadTest, NothingIsReplacedWhileTheMarkerFontIsCurrent)
{
    YYFontMarkers();
    gTextState.builtInFont = 1;
    YYSymbolsLoad(1);
    EXPECT_EQ(Name(), "symbols.chr");
    YYFontSwiss();
    YYSymbolsLoad(0);
    EXPECT_EQ(Name(), "swiss.chr");
}

} // namespace
