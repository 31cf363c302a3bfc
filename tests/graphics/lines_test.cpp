// Lines, points, the pen, segment clipping and clipped polylines, observed
// through the recording driver.
#include "primitives_fixture.h"

#include <cmath>

#include "graphics/clipping.h"
#include "graphics/lines.h"
#include "graphics/polygons.h"

namespace {

class LinesTest : public PrimitivesTest {
protected:
    std::array<float, 2> Pen() const { return gGraphicsState.penPosition; }
};

struct ClipCase {
    const char* what;
    float x1, y1, x2, y2;
    bool visible;
    float ex1, ey1, ex2, ey2; // expected ends when visible
};

TEST_F(LinesTest, ClipLineAgainstTheArea)
{
    GraphicsState& g = gGraphicsState;
    g.deviceArea = {0, 0, 40, 40};
    g.clipBox = {-0.001f, -0.001f, 40.001f, 40.001f};
    const float nan = std::nanf("");
    const ClipCase cases[] = {
        {"inside, unchanged", 10, 10, 30, 30, true, 10, 10, 30, 30},
        {"horizontal rule", -10, 5, 50, 5, true, 0, 5, 40, 5},
        {"same integer x: vertical rule keeps x", 5.2f, -10, 5.7f, 50, true, 5.2f, 0, 5.7f, 40},
        {"same integer y beyond the area", -10, 50, 50, 50.5f, false, 0, 0, 0, 0},
        {"diagonal through two corners", -10, -10, 50, 50, true, 0, 0, 40, 40},
        {"one end inside, leaves right", 20, 20, 60, 30, true, 20, 20, 40, 25},
        {"one end inside, given backwards", 60, 30, 20, 20, true, 40, 25, 20, 20},
        {"both ends outside, cuts a corner", 20, 45, 45, 20, true, 25, 40, 40, 25},
        {"passes above the corner", -20, 30, 10, 60, false, 0, 0, 0, 0},
        {"wholly outside", 50, 50, 60, 70, false, 0, 0, 0, 0},
        {"NaN end", nan, 5, 20, 5, false, 0, 0, 0, 0},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.what);
        float x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        bool visible = !c.visible;
        YYClipLine(x1, y1, x2, y2, visible);
        EXPECT_EQ(visible, c.visible);
        if (c.visible) {
            EXPECT_NEAR(x1, c.ex1, 1e-4);
            EXPECT_NEAR(y1, c.ey1, 1e-4);
            EXPECT_NEAR(x2, c.ex2, 1e-4);
            EXPECT_NEAR(y2, c.ey2, 1e-4);
        }
    }
}

TEST_F(LinesTest, CrossingLineIsCutAlikeOnBothSides)
{
    Target(200, 100);
    OpenHardcopy();
    YYWorldLine(-20.5f, 10.25f, 120.75f, 130.5f);
    auto screen = Lines(kScreenSide);
    auto hard = Lines(kHardcopySide);
    ASSERT_EQ(screen.size(), 1u);
    ASSERT_EQ(hard.size(), 1u);
    // The cut points: on the left edge and on the top edge of the area.
    const double m = (130.5 - 10.25) / (120.75 + 20.5), b = 10.25 + 20.5 * m;
    const DeviceParameterBlock& h = hard[0].block;
    EXPECT_NEAR(h.X[0], 0.0, 1e-4);
    EXPECT_NEAR(h.Y[0], b, 1e-3);
    EXPECT_NEAR(h.X[1], (99.99 - b) / m, 1e-3);
    EXPECT_NEAR(h.Y[1], 99.99, 1e-3);
    const DeviceParameterBlock& s = screen[0].block;
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(s.X[k], h.X[k]);
        EXPECT_EQ(s.Y[k], h.Y[k]);
        EXPECT_EQ(s.IX[k], static_cast<int>(h.X[k]));
        EXPECT_EQ(s.IY[k], static_cast<int>(h.Y[k]));
    }
    // The screen side comes first.
    EXPECT_EQ(rec.ops.front().side, kScreenSide);
}

TEST_F(LinesTest, IntegerWordsAreTruncatedNotRounded)
{
    YYDeviceLine(12.9f, 20.5f, 99.99f, 7.2f);
    auto lines = Lines(kScreenSide);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].block.IX[0], 12);
    EXPECT_EQ(lines[0].block.IY[0], 20);
    EXPECT_EQ(lines[0].block.IX[1], 99);
    EXPECT_EQ(lines[0].block.IY[1], 7);
}

TEST_F(LinesTest, InvisibleSegmentSendsNothingButThePenMoves)
{
    OpenHardcopy();
    YYPenMoveTo(-20, -5);
    YYDrawTo(-10, -10);
    YYLineBetween(400, 10, 500, 20);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{500, 20}));
    YYLineRel(-50, -50, 10, 20);
    YYDrawRel(-5, -5);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{-45, -35}));
}

TEST_F(LinesTest, ScreenOffLineReachesTheHardcopyOnlyAPointBothSides)
{
    GraphicsState& g = gGraphicsState;
    g.screenOutput = 0;
    OpenHardcopy();
    YYWorldLine(10, 10, 20, 20);
    EXPECT_TRUE(rec.Codes(kScreenSide).empty());
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{DeviceOp::kLine}));
    rec.Clear();
    // The screen driver drops the point itself; a memory metafile records it.
    YYPointPlot(15, 15);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kPoint}));
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{DeviceOp::kPoint}));
}

TEST_F(LinesTest, PointOnTheBoundaryIsDrawnJustOutsideIsNot)
{
    YYPointPlot(299.99f, 150);
    ASSERT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kPoint}));
    EXPECT_EQ(rec.ops[0].block.IX[0], 299);
    rec.Clear();
    YYPointPlot(300.5f, 150);
    EXPECT_TRUE(rec.ops.empty());
    EXPECT_EQ(Pen(), (std::array<float, 2>{300.5f, 150}));
    YYPenMoveTo(10, 10);
    YYPointRel(2.5f, 3);
    EXPECT_EQ(Pen(), (std::array<float, 2>{12.5f, 13}));
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kPoint}));
}

TEST_F(LinesTest, ZeroLengthDrawRelReachesTheDevicesAndKeepsThePen)
{
    YYPenMoveTo(10, 20);
    YYDrawRel(0, 0);
    auto lines = Lines(kScreenSide);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].block.X[0], 10);
    EXPECT_EQ(lines[0].block.X[1], 10);
    EXPECT_EQ(Pen(), (std::array<float, 2>{10, 20}));
}

TEST_F(LinesTest, PolylineIsSentInClippedRuns)
{
    Target(100, 100);
    OpenHardcopy();
    // In, out across the right edge, along outside, back in.
    const float x[] = {10, 50, 150, 150, 50, 20};
    const float y[] = {10, 50, 50, 60, 60, 20};
    YYPolylineDraw(x, y, 6);
    auto runs = rec.Of(kScreenSide, DeviceOp::kPolyline);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].block.N, 3);
    EXPECT_EQ(runs[0].x, (std::vector<float>{10, 50, 99.99f}));
    EXPECT_EQ(runs[0].y, (std::vector<float>{10, 50, 50}));
    EXPECT_EQ(runs[1].block.N, 3);
    EXPECT_EQ(runs[1].x, (std::vector<float>{99.99f, 50, 20}));
    EXPECT_EQ(runs[1].y, (std::vector<float>{60, 60, 20}));
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kPolyline).size(), 2u);
    EXPECT_TRUE(Lines(kScreenSide).empty());
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{20, 20}));

    // Both ends outside, crossing the area: one device line, no run.
    rec.Clear();
    const float cx[] = {-10, 110}, cy[] = {40, 60};
    YYPolylineDraw(cx, cy, 2);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kLine}));

    // One point: nothing.
    rec.Clear();
    YYPolylineDraw(cx, cy, 1);
    EXPECT_TRUE(rec.ops.empty());
}

TEST_F(LinesTest, ArrowAlongASegment)
{
    const int plain = 1;
    YYArrowAlong(50, 50, 50, 50, plain);
    EXPECT_TRUE(rec.ops.empty());

    YYArrowAlong(50, 50, 150, 50, plain);
    auto lines = Lines(kScreenSide);
    ASSERT_EQ(lines.size(), 3u);
    // The shaft ends at the tip; both barbs start there and point back.
    EXPECT_NEAR(lines[0].block.X[0], 50, 1e-3);
    EXPECT_NEAR(lines[0].block.X[1], 150, 1e-3);
    for (int k = 1; k < 3; ++k) {
        EXPECT_NEAR(lines[k].block.X[0], 150, 1e-3);
        EXPECT_LT(lines[k].block.X[1], 150);
    }
    EXPECT_NEAR(lines[1].block.Y[1] - 50, -(lines[2].block.Y[1] - 50), 1e-3);
    EXPECT_EQ(gGraphicsState.penPosition, (std::array<float, 2>{150, 50}));
}

} // namespace
