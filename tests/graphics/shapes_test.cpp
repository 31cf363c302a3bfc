// The filled primitives one by one: rectangles, triangles, ellipses,
// polygons, trapezia, gradient polygons, the hatch spacing and the
// alignment of hatch lines, observed through the recording driver.
#include "primitives_fixture.h"

#include <cmath>
#include <set>
#include <utility>

#include "graphics/clipping.h"
#include "graphics/coordinates.h"
#include "graphics/ellipses.h"
#include "graphics/hatch_fill.h"
#include "graphics/lines.h"
#include "graphics/polygons.h"
#include "graphics/rectangles.h"
#include "graphics/trapezia.h"

namespace {

class ShapesTest : public PrimitivesTest {
protected:
    std::array<float, 2> Pen() const { return gGraphicsState.penPosition; }

    // The y values of the horizontal screen lines.
    std::vector<float> RowsOf(int side) const
    {
        std::vector<float> rows;
        for (const RecordedOp& r : Lines(side))
            if (r.block.Y[0] == r.block.Y[1] && r.block.X[0] != r.block.X[1])
                rows.push_back(r.block.Y[0]);
        return rows;
    }
};

// ---- Rectangle ----------------------------------------------------------------------

TEST_F(ShapesTest, RectangleWithEqualCornersReportsError22)
{
    YYPenMoveTo(7, 8);
    IGrRectangle(1, 1, 1, 5);
    EXPECT_EQ(gErrorState.lastCode, 22);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{7, 8}));
}

TEST_F(ShapesTest, RectangleCornersInAnyOrder)
{
    Fill(kFillSolid);
    IGrRectangle(5.5f, 5.5f, 1.25f, 1.25f);
    auto a = rec.Of(kScreenSide, DeviceOp::kRectangleSolid);
    EXPECT_EQ(Pen(), (std::array<float, 2>{5.5f, 5.5f}));
    rec.Clear();
    IGrRectangle(1.25f, 1.25f, 5.5f, 5.5f);
    auto b = rec.Of(kScreenSide, DeviceOp::kRectangleSolid);
    ASSERT_EQ(a.size(), 1u);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(a[0].block.IX, b[0].block.IX);
    EXPECT_EQ(a[0].block.IY, b[0].block.IY);
    EXPECT_EQ(a[0].block.X, b[0].block.X);
    EXPECT_EQ(b[0].block.IX[0], 1);
    EXPECT_EQ(b[0].block.IX[1], 5);
}

TEST_F(ShapesTest, RectanglePartlyOutsideIsCutForTheScreenOnly)
{
    Target(200, 100);
    Fill(kFillSolid);
    OpenHardcopy();
    IGrRectangle(150.5f, 50.25f, 250.75f, 120.5f);
    auto screen = rec.Of(kScreenSide, DeviceOp::kRectangleSolid);
    auto hard = rec.Of(kHardcopySide, DeviceOp::kRectangleHalftone);
    ASSERT_EQ(screen.size(), 1u);
    ASSERT_EQ(hard.size(), 2u);
    EXPECT_EQ(screen[0].block.IX[0], 150);
    EXPECT_EQ(screen[0].block.IY[0], 50);
    EXPECT_EQ(screen[0].block.IX[1], 199);
    EXPECT_EQ(screen[0].block.IY[1], 99);
    EXPECT_EQ(hard[0].block.X[0], 150.5f);
    EXPECT_EQ(hard[0].block.Y[0], 50.25f);
    EXPECT_EQ(hard[0].block.X[1], 250.75f);
    EXPECT_EQ(hard[0].block.Y[1], 120.5f);
    // The outline call carries the same rectangle.
    EXPECT_EQ(hard[1].block.X, hard[0].block.X);
    EXPECT_EQ(hard[1].block.M, -1);

    // Wholly outside: nothing is sent, the pen moves all the same.
    rec.Clear();
    IGrRectangle(300, 10, 320, 20);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{300, 10}));
}

TEST_F(ShapesTest, ExclusiveOrHatchStopsOnePixelShortOfTheEdges)
{
    gGraphicsState.plotMode = kPlotXor;
    Fill(kFillHatch, 3, 1, 0);
    IGrRectangle(50, 50, 150, 150);
    auto lines = Lines(kScreenSide);
    ASSERT_FALSE(lines.empty());
    for (const RecordedOp& r : lines) {
        // Right to left, inset by one unit at each end.
        EXPECT_EQ(r.block.X[0], 149);
        EXPECT_EQ(r.block.X[1], 51);
    }
}

TEST_F(ShapesTest, ExclusiveOrOutlineDrawsNoCornerTwice)
{
    gGraphicsState.plotMode = kPlotXor;
    OpenHardcopy();
    IGrRectangle(50, 50, 150, 150);
    auto screen = Lines(kScreenSide);
    ASSERT_EQ(screen.size(), 4u);
    const float expected[4][4] = {{51, 50, 150, 50}, {150, 51, 150, 150}, {149, 150, 50, 150}, {50, 149, 50, 50}};
    for (size_t k = 0; k < 4; ++k) {
        const auto& b = screen[k].block;
        EXPECT_EQ((std::array<float, 4>{b.X[0], b.Y[0], b.X[1], b.Y[1]}),
                  (std::array<float, 4>{expected[k][0], expected[k][1], expected[k][2], expected[k][3]}));
    }
    // The hardcopy combines nothing: whole sides.
    auto hard = Lines(kHardcopySide);
    ASSERT_EQ(hard.size(), 4u);
    EXPECT_EQ(hard[0].block.X[0], 50);
    EXPECT_EQ(hard[1].block.Y[0], 50);
}

TEST_F(ShapesTest, HorizontalHatchOfStackedRectanglesHasNoPhaseJump)
{
    Fill(kFillHatch, 3, 1, 0);
    IGrRectangle(50, 50, 150, 97.5f);
    IGrRectangle(50, 97.5f, 150, 160);
    auto stacked = RowsOf(kScreenSide);
    rec.Clear();
    IGrRectangle(50, 50, 150, 160);
    auto whole = RowsOf(kScreenSide);
    EXPECT_EQ(stacked, whole);
    EXPECT_EQ(whole, (std::vector<float>{60, 70, 80, 90, 100, 110, 120, 130, 140, 150}));
}

TEST_F(ShapesTest, VerticalHatchOfNeighbouringRectanglesHasNoPhaseJump)
{
    Fill(kFillHatch, 4, 1, 0);
    auto columns = [&] {
        std::vector<float> xs;
        for (const RecordedOp& r : Lines(kScreenSide))
            xs.push_back(r.block.X[0]);
        return xs;
    };
    IGrRectangle(33, 50, 101.5f, 150);
    IGrRectangle(101.5f, 50, 177, 150);
    auto sideBySide = columns();
    rec.Clear();
    IGrRectangle(33, 50, 177, 150);
    EXPECT_EQ(sideBySide, columns());
}

TEST_F(ShapesTest, DiagonalHatchOfNeighbouringPolygonsMeetsOnTheSharedEdge)
{
    Fill(kFillHatch, 1, 1, 0);
    // Two squares sharing the edge x = 103.
    const float lx[] = {41, 103, 103, 41}, ly[] = {50, 50, 140, 140};
    const float rx[] = {103, 171, 171, 103}, ry[] = {50, 50, 140, 140};
    YYPolygonDraw(lx, ly, 4);
    std::vector<float> ends;
    for (const RecordedOp& r : Lines(kScreenSide))
        if (std::fabs(r.block.X[1] - 103) < 1e-3)
            ends.push_back(r.block.Y[1]);
    rec.Clear();
    YYPolygonDraw(rx, ry, 4);
    std::vector<float> starts;
    for (const RecordedOp& r : Lines(kScreenSide))
        if (std::fabs(r.block.X[0] - 103) < 1e-3)
            starts.push_back(r.block.Y[0]);
    ASSERT_GT(ends.size(), 3u);
    ASSERT_EQ(ends.size(), starts.size());
    std::sort(ends.begin(), ends.end());
    std::sort(starts.begin(), starts.end());
    for (size_t k = 0; k < ends.size(); ++k)
        EXPECT_NEAR(ends[k], starts[k], 1e-3);
}

// ---- Triangle -----------------------------------------------------------------------

TEST_F(ShapesTest, DegenerateTriangleIsSilentWithoutTheOutlineFlag)
{
    YYPenMoveTo(1, 2);
    Fill(kFillSolid, 3, 1, 0);
    IGrTriangle(10, 20, 30, 20, 50, 20);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_TRUE(rec.ops.empty());
    Fill(kFillSolid, 3, 1, 1);
    IGrTriangle(10, 20, 10, 40, 10, 50);
    EXPECT_EQ(gErrorState.lastCode, 22);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{1, 2}));
}

TEST_F(ShapesTest, TriangleVerticesGoSortedByHeight)
{
    Fill(kFillSolid);
    IGrTriangle(100.5f, 150.5f, 50.25f, 50.75f, 150, 60);
    auto t = rec.Of(kScreenSide, DeviceOp::kTriangleSolid);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].y, (std::vector<float>{50.75f, 60, 150.5f}));
    EXPECT_EQ(t[0].x, (std::vector<float>{50.25f, 150, 100.5f}));
    EXPECT_EQ(t[0].block.IX[0], 50);
    EXPECT_EQ(t[0].block.IY[2], 150);
    EXPECT_EQ(t[0].block.N, 3);
    EXPECT_EQ(Pen(), (std::array<float, 2>{100.5f, 150.5f}));
}

// ---- Ellipse ------------------------------------------------------------------------

TEST_F(ShapesTest, EllipseRejectsNonPositiveRadiusOrRatio)
{
    YYPenMoveTo(3, 4);
    YYELIP(100, 100, 20, 0);
    EXPECT_EQ(gErrorState.lastCode, 20);
    gErrorState.lastCode = 0;
    YYELIP(100, 100, std::nanf(""), 1);
    EXPECT_EQ(gErrorState.lastCode, 20);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{3, 4}));

    // Wholly outside: nothing sent, the pen goes to the centre.
    YYELIP(500, 100, 20, 1);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{500, 100}));
}

TEST_F(ShapesTest, EllipsePolygonPointCounts)
{
    // A driver that cannot draw ellipses gets the outline as lines: one per
    // point of the ellipse polygon. Radius 100 pixels: 2 x (100 x 75 / width
    // + 25) points, one more when the single-precision step is short.
    struct Case {
        int width;
        size_t points;
    } cases[] = {{1000, 64}, {800, 69}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Target(c.width, c.width);
        Fill(kFillOutline);
        OpenHardcopy();
        script.ellipseAsOutline = true;
        const float centre = c.width / 2.0f;
        YYELIP(centre, centre, 100, 1);
        EXPECT_EQ(Lines(kHardcopySide).size(), c.points);
        EXPECT_EQ(YYEllipsePolygon(centre, centre, 100, 100, c.width), static_cast<int>(c.points));
        // The screen drew its outline itself.
        EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{DeviceOp::kEllipseOutline}));
    }
}

TEST_F(ShapesTest, HugeEllipseStaysWithinTwoThousandPoints)
{
    EXPECT_LE(YYEllipsePolygon(150, 150, 3.0e38f, 3.0e38f, 300), 2000);
    Fill(kFillHatch);
    OpenHardcopy();
    script.ellipseAsOutline = true;
    YYELIP(150, 150, 1.0e30f, 1);
    EXPECT_LE(Lines(kHardcopySide).size(), 2000u);
}

TEST_F(ShapesTest, EllipseBlockAndHardcopyRadius)
{
    Fill(kFillSolid);
    OpenHardcopy();
    gHardcopyState.pageAspect = 2.0f;
    YYELIP(100.5f, 120.25f, 30, 0.5f);
    auto screen = rec.Of(kScreenSide, DeviceOp::kEllipseSolid);
    auto hard = rec.Of(kHardcopySide, DeviceOp::kEllipseHalftone);
    ASSERT_EQ(screen.size(), 1u);
    ASSERT_EQ(hard.size(), 2u);
    const DeviceParameterBlock& s = screen[0].block;
    EXPECT_EQ(s.IX[0], 100);
    EXPECT_EQ(s.IY[0], 120);
    EXPECT_EQ(s.IX[1], 30);
    EXPECT_EQ(s.IY[1], 15);
    EXPECT_EQ(s.IY[2], 105);
    EXPECT_EQ(s.IY[3], 135);
    EXPECT_EQ(s.X[2], 0.5f);
    EXPECT_EQ(s.X[3], 30.0f);
    // The hardcopy's y radius takes its own aspect.
    EXPECT_EQ(hard[0].block.M, 1);
    EXPECT_FLOAT_EQ(hard[0].block.Y[1], 30.0f);
    EXPECT_EQ(hard[1].block.M, -1);
    EXPECT_EQ(Pen(), (std::array<float, 2>{100.5f, 120.25f}));
}

// ---- Polygon ------------------------------------------------------------------------

TEST_F(ShapesTest, PolygonDropsARepeatedClosingPoint)
{
    Fill(kFillSolid);
    const float x[] = {10, 60, 60, 10, 10}, y[] = {10, 10, 40, 40, 10};
    YYPolygonDraw(x, y, 5);
    auto p = rec.Of(kScreenSide, DeviceOp::kPolygonSolid);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].block.N, 4);
    EXPECT_EQ(p[0].x, (std::vector<float>{10, 60, 60, 10}));
    EXPECT_EQ(p[0].block.IX[2], 60);
    EXPECT_EQ(p[0].block.IY[2], 40);
    EXPECT_EQ(Pen(), (std::array<float, 2>{10, 10}));
}

TEST_F(ShapesTest, PolygonScanLinesRunThroughPixelCentres)
{
    Fill(kFillHatch, 3, 1, 0); // 300 high, density 1: 10 pixels apart
    const float x[] = {20.3f, 120.2f, 120.2f, 20.3f}, y[] = {30.6f, 30.6f, 130.4f, 130.4f};
    YYPolygonDraw(x, y, 4);
    auto rows = RowsOf(kScreenSide);
    ASSERT_EQ(rows.size(), 9u);
    for (size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(rows[k], 40.5f + 10.0f * k);
    for (const RecordedOp& r : Lines(kScreenSide)) {
        EXPECT_FLOAT_EQ(r.block.X[0], 20.3f);
        EXPECT_FLOAT_EQ(r.block.X[1], 120.2f);
    }
}

TEST_F(ShapesTest, PolygonHatchThroughTheEdgesOfASquare)
{
    // Direction 3 with spacing 10 on a square 0..100 through the hatch of
    // the polygon in DevicePointArrays: lines at 0, 10, ..., 100.
    DevicePointArrays& p = gDevicePointArrays;
    p.Reserve(4);
    const float x[] = {0, 100, 100, 0}, y[] = {0, 0, 100, 100};
    for (size_t k = 0; k < 4; ++k) {
        p.x[k] = x[k];
        p.y[k] = y[k];
    }
    Fill(kFillHatch, 3, 1, 0);
    YYHatchFill(1, 0, 0, 100, 100, 4);
    std::vector<float> expected;
    for (int k = 0; k <= 10; ++k)
        expected.push_back(10.0f * k);
    EXPECT_EQ(RowsOf(kScreenSide), expected);
}

// ---- Hatch spacing and crossings ------------------------------------------------------

TEST_F(ShapesTest, HatchSpacingByPassDensityAndFillMode)
{
    GraphicsState& g = gGraphicsState;
    HatchSpacing s;
    Target(100, 100);
    g.fillMode = kFillHatch;
    YYHatchSpacing(1, 5, s);
    EXPECT_EQ(s.isx, 2);
    EXPECT_EQ(s.isy, 2);
    EXPECT_FALSE(s.alternate);

    Target(300, 300);
    g.fillMode = kFillHatch;
    g.plotMode = kPlotXor;
    YYHatchSpacing(1, 1, s);
    EXPECT_EQ(s.isy, 10);
    EXPECT_EQ(s.isx, 10);
    EXPECT_EQ(s.sy, 10.0f);
    EXPECT_EQ(s.inset, 1.0f);

    YYHatchSpacing(2, 2, s);
    EXPECT_FLOAT_EQ(s.sy, 299.99f / 40);
    EXPECT_FLOAT_EQ(s.sx, 299.99f / 50);
    EXPECT_EQ(s.isy, 7);
    EXPECT_EQ(s.isx, 5);
    EXPECT_EQ(s.inset, 0.0f);
    EXPECT_TRUE(s.alternate);

    g.fillMode = kFillHalftone;
    g.LineFillRequest = {2, 1};
    g.LineFillSpacing = {0, 0.5f};
    HatchSpacing t;
    YYHatchSpacing(1, 1, t);
    EXPECT_EQ(t.isy, 2);
    YYHatchSpacing(2, 1, t);
    EXPECT_EQ(t.sy, 0.5f);
    EXPECT_EQ(t.isy, 1);
    EXPECT_FALSE(t.alternate);
}

TEST_F(ShapesTest, EdgeCrossings)
{
    EXPECT_EQ(YYEdgeCrossX(0, 5, 10, 5, 5), 2147480064.0f);
    EXPECT_FLOAT_EQ(YYEdgeCrossX(0, 0, 10, 20, 5), 2.5f);
    EXPECT_FLOAT_EQ(YYEdgeCrossX(10, 20, 0, 0, 5), 2.5f);
    // Far beyond the limit, on either side: the positive limit.
    EXPECT_EQ(YYEdgeCrossX(0, 0, -1.0e30f, 1, 5), 2147480064.0f);
}

TEST_F(ShapesTest, UnusableLineFillSpacingDrawsNoLines)
{
    Fill(kFillSolid);
    OpenHardcopy();
    script.lineFillRequest = 1;
    for (float spacing : {0.0f, -3.0f, std::nanf("")}) {
        SCOPED_TRACE(spacing);
        script.lineFillSpacing = spacing;
        rec.Clear();
        IGrRectangle(50, 50, 150, 150);
        IGrTriangle(50, 50, 150, 60, 100, 150);
        YYELIP(150, 150, 40, 1);
        const float x[] = {60, 200, 240, 150}, y[] = {60, 40, 150, 230};
        YYPolygonDraw(x, y, 4);
        IGrParallelogram(50, 50, 150, 160, 40, 2);
        EXPECT_TRUE(Lines(kHardcopySide).empty());
        EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kRectangleHalftone).size(), 2u);
    }
}

// ---- Trapezium ----------------------------------------------------------------------

TEST_F(ShapesTest, TrapeziumPointsAreOrderedAlongItsOrientation)
{
    IGrUnits(-10, -10, 10, 10);
    Fill(kFillSolid);
    IGrTrapezium(5, 0, 1, 0, 1, 2, 1);
    auto q = rec.Of(kScreenSide, DeviceOp::kQuadSolid);
    ASSERT_EQ(q.size(), 1u);
    const float wx[] = {1, 5, 5, 1}, wy[] = {0, -2, 0, 1};
    for (size_t k = 0; k < 4; ++k) {
        float dx, dy;
        YYWorldToDevice(wx[k], wy[k], dx, dy);
        EXPECT_EQ(q[0].x[k], dx) << k;
        EXPECT_EQ(q[0].y[k], dy) << k;
        EXPECT_EQ(q[0].block.IX[k], static_cast<int>(dx));
    }
    EXPECT_EQ(q[0].block.M, 1);
    EXPECT_EQ(q[0].block.N, 4);
    EXPECT_EQ(Pen(), (std::array<float, 2>{1, 0}));
}

TEST_F(ShapesTest, TrapeziumErrors)
{
    YYPenMoveTo(2, 3);
    IGrTrapezium(1, 1, 5, 1, 1, 0, 1);
    EXPECT_EQ(gErrorState.lastCode, 21);
    gErrorState.lastCode = 0;
    IGrTrapezium(1, 1, 5, 1, 1, 2, 2);
    EXPECT_EQ(gErrorState.lastCode, 22);
    gErrorState.lastCode = 0;
    IGrParallelogram(1, 1, 5, 7, std::nanf(""), 2);
    EXPECT_EQ(gErrorState.lastCode, 21);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{2, 3}));
}

// An orientation other than 1 or 2 is built as 2 and reaches both sides as
// given; -1 alone, the mark of the closing call, goes as 2 so that the
// drivers still fill the shape.
TEST_F(ShapesTest, TrapeziumOfAnUnknownOrientationIsBuiltAs2AndSentAsGiven)
{
    Fill(kFillSolid);
    OpenHardcopy();
    const struct {
        int orientation, sent;
    } cases[] = {{7, 7}, {0, 0}, {-3, -3}, {-1, 2}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.orientation);
        rec.Clear();
        // Neither ordered nor tested for zero height.
        IGrTrapezium(100, 50, 60, 50, 20, 30, k.orientation);
        auto screen = rec.Of(kScreenSide, DeviceOp::kQuadSolid);
        ASSERT_EQ(screen.size(), 1u);
        EXPECT_EQ(screen[0].block.M, k.sent);
        auto hard = rec.Of(kHardcopySide, DeviceOp::kQuadHalftone);
        ASSERT_EQ(hard.size(), 2u);
        EXPECT_EQ(hard[0].block.M, k.sent);
        EXPECT_EQ(hard[1].block.M, -1);
        EXPECT_EQ(hard[0].x, (std::vector<float>{100, 120, 60, 30}));
        EXPECT_EQ(gErrorState.lastCode, 0);
        EXPECT_EQ(Pen(), (std::array<float, 2>{100, 50}));
    }
}

TEST_F(ShapesTest, ParallelogramHatchRunsAlongItsSides)
{
    // Orientation 2: horizontal parallel sides at y 50 and 160, slanted
    // sides rising by 110 over 60.
    auto kinds = [&] {
        int slanted = 0, horizontal = 0, other = 0;
        for (const RecordedOp& r : Lines(kScreenSide)) {
            const float dx = r.block.X[1] - r.block.X[0], dy = r.block.Y[1] - r.block.Y[0];
            if (dy == 0)
                ++horizontal;
            else if (std::fabs(dx / dy - 60.0f / 110.0f) < 1e-3)
                ++slanted;
            else
                ++other;
        }
        return std::array<int, 3>{slanted, horizontal, other};
    };
    Fill(kFillHatch, 2, 1, 0);
    IGrParallelogram(50, 50, 150, 160, 40, 2);
    auto single = kinds();
    EXPECT_GT(single[0], 2);
    EXPECT_EQ(single[1], 0);
    EXPECT_EQ(single[2], 0);
    rec.Clear();
    Fill(kFillCrossHatch, 2, 1, 0);
    IGrParallelogram(50, 50, 150, 160, 40, 2);
    auto crossed = kinds();
    EXPECT_EQ(crossed[0], single[0]);
    EXPECT_GT(crossed[1], 2);
    EXPECT_EQ(crossed[2], 0);
}

// ---- Gradient polygon ------------------------------------------------------------------

class GradientTest : public ShapesTest {
protected:
    // (row, colour) of every screen line of the gradient.
    std::vector<std::pair<float, int>> Rows() const
    {
        std::vector<std::pair<float, int>> out;
        for (const RecordedOp& r : Lines(kScreenSide))
            out.emplace_back(r.block.Y[0], r.state.currentRgb);
        return out;
    }
    void Colours(int previous, int current)
    {
        GraphicsState& g = gGraphicsState;
        g.previousRgb = previous;
        g.currentRgb = current;
    }
};

TEST_F(GradientTest, RowsRunFromThePreviousToTheCurrentColour)
{
    Target(100, 100);
    Colours(0x0000FF, 0xFF0000);
    const float x[] = {10, 60, 60, 10}, y[] = {10, 10, 40, 40};
    IGrPolygonGrad(x, y, 4, 1);
    auto rows = Rows();
    ASSERT_EQ(rows.size(), 30u); // pixel centres 10.5 .. 39.5
    EXPECT_EQ(rows.front(), std::make_pair(10.5f, 0x0000FF));
    EXPECT_EQ(rows.back().first, 39.5f);
    // Red falls, blue rises, line by line.
    for (size_t k = 1; k < rows.size(); ++k) {
        EXPECT_LE(rows[k].second & 0xFF, rows[k - 1].second & 0xFF);
        EXPECT_GE(rows[k].second >> 16, rows[k - 1].second >> 16);
    }
    const GraphicsState& g = gGraphicsState;
    EXPECT_EQ(g.previousRgb, 0x0000FF);
    EXPECT_EQ(g.currentRgb, 0xFF0000);
    EXPECT_EQ(g.colourModel, kColourModelNumbers);
    EXPECT_EQ(Pen(), (std::array<float, 2>{10, 10}));
}

TEST_F(GradientTest, EvenDirectionsRunAcross)
{
    Target(100, 100);
    Colours(0x0000FF, 0xFF0000);
    const float x[] = {10, 60, 60, 10}, y[] = {10, 10, 40, 40};
    IGrPolygonGrad(x, y, 4, 2);
    auto lines = Lines(kScreenSide);
    ASSERT_EQ(lines.size(), 50u); // columns 10.5 .. 59.5
    for (size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].block.X[0], 10.5f + k);
        EXPECT_EQ(lines[k].block.X[1], lines[k].block.X[0]);
    }
    EXPECT_EQ(lines.front().state.currentRgb, 0x0000FF);
    EXPECT_GT(lines.back().state.currentRgb >> 16, 0xF0);
}

TEST_F(GradientTest, HardcopyLinesAreOneDotApart)
{
    Target(100, 100);
    Colours(0x0000FF, 0xFF0000);
    OpenHardcopy();
    HardcopyState& h = gHardcopyState;
    const float x[] = {10, 60, 60, 10}, y[] = {10, 10, 40, 40};
    auto rows = [&] {
        std::vector<float> out;
        for (const RecordedOp& r : Lines(kHardcopySide)) {
            EXPECT_EQ(r.state.screenOutput, 0);
            out.push_back(r.block.Y[0]);
        }
        return out;
    };
    // A page 720 points (10 inches) high at 10 dots per inch holds 100
    // dots over the target's 99.99 units. The scale word (page units per
    // target unit) does not enter: with it the step was an inch.
    h.driverNumber = kDriverPostScript;
    h.options[HardcopyOptionSlot(2)] = 720;
    h.resolutionY = 10;
    h.scaleY = 1;
    IGrPolygonGrad(x, y, 4, 1);
    auto page = rows();
    ASSERT_EQ(page.size(), 31u);
    EXPECT_FLOAT_EQ(page[0], 10.0f);
    EXPECT_NEAR(page[1] - page[0], 0.9999f, 1e-4);
    EXPECT_EQ(Lines(kScreenSide).size(), 30u);

    // A raster driver's bitmap 50 dots high: 50 dots over the target,
    // whatever its page option and resolution say.
    rec.Clear();
    h.driverNumber = kDriverImageFile;
    h.rasterDots = {80, 50};
    h.options[HardcopyOptionSlot(2)] = 480;
    h.resolutionY = 600;
    IGrPolygonGrad(x, y, 4, 1);
    auto raster = rows();
    ASSERT_EQ(raster.size(), 16u);
    EXPECT_FLOAT_EQ(raster[0], 10.0f);
    EXPECT_NEAR(raster[1] - raster[0], 99.99f / 50, 1e-4);

    // No resolution, or no bitmap: no line and no fault.
    rec.Clear();
    h.rasterDots = {0, 0};
    IGrPolygonGrad(x, y, 4, 1);
    EXPECT_TRUE(rows().empty());
}

TEST_F(GradientTest, ClosingRepeatAndReversedDirection)
{
    Target(100, 100);
    Colours(0x0000FF, 0xFF0000);
    const float x[] = {10, 60, 35}, y[] = {10, 10, 40};
    const float xc[] = {10, 60, 35, 10}, yc[] = {10, 10, 40, 10};
    IGrPolygonGrad(x, y, 3, 1);
    auto open = Rows();
    rec.Clear();
    IGrPolygonGrad(xc, yc, 4, 1);
    EXPECT_EQ(Rows(), open);

    // Direction 3 with the colours exchanged draws what direction 1 draws.
    rec.Clear();
    Colours(0xFF0000, 0x0000FF);
    IGrPolygonGrad(x, y, 3, 3);
    EXPECT_EQ(Rows(), open);

    // No point: the pen stays.
    YYPenMoveTo(4, 5);
    IGrPolygonGrad(x, y, 0, 1);
    EXPECT_EQ(Pen(), (std::array<float, 2>{4, 5}));
}

// ---- Curve resampling -----------------------------------------------------------------

TEST_F(ShapesTest, CurveResampleKeepsAStraightLineStraight)
{
    const float x[] = {0, 1, 2, 3, 4}, y[] = {1, 3, 5, 7, 9};
    std::vector<float> xo(50, -1), yo(50, -1);
    YYCurveResample(x, y, 5, xo.data(), yo.data());
    EXPECT_EQ(xo.front(), 0);
    EXPECT_EQ(yo.front(), 1);
    EXPECT_EQ(xo.back(), 4);
    EXPECT_EQ(yo.back(), 9);
    for (size_t k = 0; k < xo.size(); ++k) {
        EXPECT_NEAR(yo[k], 2 * xo[k] + 1, 1e-4) << k;
        if (k > 0) {
            EXPECT_GT(xo[k], xo[k - 1]) << k;
        }
    }
    // Too few points: the outputs are left alone.
    std::vector<float> untouched(20, -1);
    YYCurveResample(x, y, 2, untouched.data(), untouched.data());
    EXPECT_EQ(untouched, std::vector<float>(20, -1));
}

} // namespace
