// Graph frame in its four forms and the base layout of oblique graphs.
#include <cmath>
#include <limits>

#include "charts/frame_geometry.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "drawing_fixture.h"
#include "graphics/colours.h"

namespace {

class FrameTest : public DrawingTest {
protected:
    // A flat type-4 graph over x 0..2.5 and the given y range.
    void FlatGraph(float y1, float y2)
    {
        Begin(4, 7, {201}, 1, 0);
        IPgArea(0.0f, y1, 2.5f, y2);
        ClearAll();
    }
    // An oblique graph of 11 points and 5 sets with the worked example's view.
    void ObliqueExample() { ObliqueExampleView(); }
};

TEST_F(FrameTest, StraightLinesPassThroughTheOriginOrTheRangeStart)
{
    struct Case {
        const char* name;
        float y1, y2;
        const float* x;
        const float* y;
        float expectX, expectY; // data values of the vertical and horizontal line
    };
    const float atMax = 2.5f, aboveMax = 2.5001f, nan = std::numeric_limits<float>::quiet_NaN();
    const float inside = 0.3f;
    const Case cases[] = {
        {"absent, 0 inside both ranges", -1.0f, 1.0f, nullptr, nullptr, 0.0f, 0.0f},
        {"absent, 0 outside the y range", 0.5f, 1.0f, nullptr, nullptr, 0.0f, 0.5f},
        {"x at the maximum is used", -1.0f, 1.0f, &atMax, &inside, 2.5f, 0.3f},
        {"x above the maximum moves to the start", -1.0f, 1.0f, &aboveMax, nullptr, 0.0f, 0.0f},
        {"NaN counts as outside", -1.0f, 1.0f, &nan, &nan, 0.0f, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatGraph(c.y1, c.y2);
        IPgFrameDraw(c.x, c.y);
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), 2u);
        float wx1, wy1, wx2, wy2, px, py;
        YYPgToWorld(0.0f, c.y1, wx1, wy1);
        YYPgToWorld(2.5f, c.y2, wx2, wy2);
        YYPgToWorld(c.expectX, c.expectY, px, py);
        EXPECT_NEAR(lines[0].x1, px, 1e-3f);
        EXPECT_NEAR(lines[0].x2, px, 1e-3f);
        EXPECT_NEAR(lines[0].y1, wy1, 1e-3f);
        EXPECT_NEAR(lines[0].y2, wy2, 1e-3f);
        EXPECT_NEAR(lines[1].y1, py, 1e-3f);
        EXPECT_NEAR(lines[1].y2, py, 1e-3f);
        EXPECT_NEAR(lines[1].x1, wx1, 1e-3f);
        EXPECT_NEAR(lines[1].x2, wx2, 1e-3f);
    }
}

TEST_F(FrameTest, BaseGeometryWorkedExample)
{
    ObliqueExample();
    float px, sx, sy, py, z, ox, oy;
    YYBaseGeometry(px, sx, sy, py, z, ox, oy);
    EXPECT_NEAR(px, 0.05f, 1e-5f);
    EXPECT_NEAR(sx, 0.125f, 1e-5f);
    EXPECT_NEAR(sy, 0.0625f, 1e-5f);
    EXPECT_NEAR(py, 0.025f, 1e-5f);
    EXPECT_NEAR(z, 0.5f, 1e-6f);
    EXPECT_NEAR(ox, 0.0f, 1e-5f);
    EXPECT_NEAR(oy, 0.25f, 1e-5f);

    std::array<float, 4> wx, wy;
    int leftmost = 0;
    float leftY = 0.0f;
    YYBaseCorners(wx, wy, leftmost, leftY);
    const float data[4][2] = {{0.0f, 0.25f}, {0.5f, 0.5f}, {1.0f, 0.25f}, {0.5f, 0.0f}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(wx[k], YYPgToWorldX(data[k][0]), 1e-5f) << "corner " << k + 1;
        EXPECT_NEAR(wy[k], YYPgToWorldY(data[k][1]), 1e-5f) << "corner " << k + 1;
    }
    EXPECT_EQ(leftmost, 1);
    EXPECT_NEAR(leftY, 0.25f, 1e-5f);
}

TEST_F(FrameTest, BaseShrinksToTheXRangeAndSurvivesASinglePoint)
{
    ObliqueExample();
    PgGraphState& s = gPgGraphState;
    // Both cosines 1: the base would span 1.4142 of the x range.
    s.viewCosMinus45 = 1.0f;
    s.viewCosPlus45 = 1.0f;
    float px, sx, sy, py, z, ox, oy;
    YYBaseGeometry(px, sx, sy, py, z, ox, oy);
    EXPECT_NEAR(10.0f * px + 4.0f * sx, 1.0f, 1e-5f);
    EXPECT_NEAR(ox, 0.0f, 1e-5f);
    EXPECT_NEAR(px / sx, 0.05f / 0.125f, 1e-4f); // all steps shrink alike
    EXPECT_NEAR(sy / py, 0.0625f / 0.025f, 1e-4f);

    // A graph of one point and one set: counted as one interval each.
    s.pointIntervals = 0.0f;
    s.pointIntervals2 = 0.0f;
    YYBaseGeometry(px, sx, sy, py, z, ox, oy);
    for (float v : {px, sx, sy, py, z, ox, oy})
        EXPECT_TRUE(std::isfinite(v));
}

TEST_F(FrameTest, LeftmostCornerTieGoesToTheLowerIndex)
{
    ObliqueExample();
    PgGraphState& s = gPgGraphState;
    // No share for the points: corners 1 and 2 stand at the same x.
    s.pointShare = 0.0f;
    std::array<float, 4> wx, wy;
    int leftmost = 0;
    float leftY = 0.0f;
    YYBaseCorners(wx, wy, leftmost, leftY);
    ASSERT_EQ(wx[0], wx[1]);
    EXPECT_EQ(leftmost, 1);
}

TEST_F(FrameTest, FlatBoxOutlineHasNineSegments)
{
    Begin(1, 3, {5}, 1, 0);
    PgGraphState& s = gPgGraphState;
    ASSERT_NE(s.threeD, 0);
    ASSERT_EQ(s.threeDAxes, 0);
    s.wallFill = 0;
    ClearAll();
    IPgFrameDraw();
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 9u);
    float wx1, wy1, wx2, wy2;
    YYPgToWorld(s.userX1, s.userY1, wx1, wy1);
    YYPgToWorld(s.userX2, s.userY2, wx2, wy2);
    const float xa = wx1 + (wx2 - wx1) * s.depthFraction;
    const float yb = wy1 + (wy2 - wy1) * s.depthFraction;
    // The first segment is the bottom edge of the back wall; the fifth runs
    // from its lower-left corner to the front corner.
    EXPECT_NEAR(lines[0].x1, xa, 1e-3f);
    EXPECT_NEAR(lines[0].y1, yb, 1e-3f);
    EXPECT_NEAR(lines[0].x2, wx2, 1e-3f);
    EXPECT_NEAR(lines[4].x2, wx1, 1e-3f);
    EXPECT_NEAR(lines[4].y2, wy1, 1e-3f);
    EXPECT_TRUE(recorder().Of(kScreenSide, DeviceOp::kPolygonSolid).empty());
}

TEST_F(FrameTest, HalftoneWallsSelectWallThenFrameColourAndRestore)
{
    Begin(1, 3, {5}, 1, 0);
    PgGraphState& s = gPgGraphState;
    s.wallFill = 3;
    s.wallColour1 = 11;
    s.wallColour2 = 12;
    s.wallColour3 = 13;
    s.frameColour1 = 21;
    s.frameColour2 = 22;
    s.frameColour3 = 23;
    IGrColourN(5);
    IGrColourN(7);
    const int fill = gGraphicsState.fillMode;
    ClearAll();
    IPgFrameDraw();
    const std::vector<int> colours = Colours();
    // Back wall, floor and left wall, each its wall colour then its frame
    // colour; then the caller's two colours come back.
    ASSERT_GE(colours.size(), 6u);
    EXPECT_EQ(std::vector<int>(colours.begin(), colours.begin() + 6),
              (std::vector<int>{13, 23, 11, 21, 12, 22}));
    EXPECT_EQ(gGraphicsState.currentNumber, 7);
    EXPECT_EQ(gGraphicsState.previousNumber, 5);
    EXPECT_EQ(gGraphicsState.fillMode, fill);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kPolygonHalftone).size(), 3u);
    EXPECT_EQ(Lines().size(), 9u);
}

TEST_F(FrameTest, ObliqueBoxOutlineAndWalls)
{
    Begin(7, 5, {11}, 1, 0);
    PgGraphState& s = gPgGraphState;
    ASSERT_NE(s.threeDAxes, 0);
    ObliqueExample();
    s.wallFill = 4;
    s.wallColour1 = 31;
    s.wallColour2 = 32;
    s.wallColour3 = 33;
    ClearAll();
    IPgFrameDraw();
    // Floor, then the wall from the leftmost corner 1 (odd: colour 1) to the
    // back corner 2, then the wall from corner 3 to it (colour 2).
    std::vector<int> colours = Colours();
    ASSERT_GE(colours.size(), 3u);
    EXPECT_EQ(std::vector<int>(colours.begin(), colours.begin() + 3), (std::vector<int>{33, 31, 32}));
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kPolygonSolid).size(), 3u);
    // The base as one polyline of five points, then five edges of the walls.
    const auto polylines = recorder().Of(kScreenSide, DeviceOp::kPolyline);
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0].block.N, 5);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 5u);
    const float h = YYPgToWorldY(0.5f) - YYPgToWorldY(0.0f);
    // The back corner (2) gets the top edges of both walls.
    EXPECT_NEAR(lines[1].x2, YYPgToWorldX(0.5f), 1e-4f);
    EXPECT_NEAR(lines[1].y2, YYPgToWorldY(0.5f) + h, 1e-4f);
    EXPECT_NEAR(lines[4].x1, YYPgToWorldX(1.0f), 1e-4f);
    EXPECT_NEAR(lines[4].y1, YYPgToWorldY(0.25f) + h, 1e-4f);
}

TEST_F(FrameTest, PolarFrameDrawsOncePerOutput)
{
    Begin(4, 1, {10}, 64, 0);
    ASSERT_NE(gPgGraphState.polar, 0);
    gGraphicsState.outline = 1;
    ClearAll();
    IPgFrameDraw();
    EXPECT_EQ(Lines(kScreenSide).size(), 2u);
    EXPECT_EQ(recorder().Of(kScreenSide, DeviceOp::kEllipseOutline).size(), 1u);
    EXPECT_TRUE(recorder().Of(kHardcopySide, DeviceOp::kLine).empty());

    // With a hardcopy open: a pass per side, each with the other side off.
    GraphicsState& g = gGraphicsState;
    g.hardcopyOpen = 1;
    gHardcopyState.pageAspect = 0.7f;
    const int fill = g.fillMode = kFillSolid;
    ClearAll();
    IPgFrameDraw();
    EXPECT_EQ(Lines(kScreenSide).size(), 2u);
    EXPECT_EQ(Lines(kHardcopySide).size(), 2u);
    for (const RecordedOp& r : recorder().ops) {
        if (r.op != DeviceOp::kLine)
            continue;
        EXPECT_EQ(r.state.fillMode, kFillOutline);
        if (r.side == kScreenSide)
            EXPECT_EQ(r.state.hardcopyOpen, 0);
        else
            EXPECT_EQ(r.state.screenOutput, 0);
    }
    EXPECT_EQ(g.screenOutput, 1);
    EXPECT_EQ(g.hardcopyOpen, 1);
    EXPECT_EQ(g.fillMode, fill);
    g.hardcopyOpen = 0;
}

} // namespace
