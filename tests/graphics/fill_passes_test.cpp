// The two-sided drawing protocol of every filled primitive, for each fill
// style on both sides: the fill op to the screen (half-tone merged to solid
// when the colours coincide), the odd op with M = 1 and M = -1 around the
// software passes to an open hardcopy, and the outline, hatch and line-fill
// lines each reaching one side only.
#include "primitives_fixture.h"

#include <functional>
#include <string>

#include "graphics/ellipses.h"
#include "graphics/lines.h"
#include "graphics/rectangles.h"
#include "graphics/trapezia.h"

namespace {

struct Shape {
    const char* name;
    int solidOp;        // the even fill code; the odd one is solidOp - 1
    int outlineLines;   // screen lines of the outline (the ellipse sends op 4)
    int fillCallM;      // M of the hardcopy fill call
    std::function<void()> draw;
};

std::vector<Shape> Shapes()
{
    static const float px[] = {60, 200, 240, 150, 40};
    static const float py[] = {60, 40, 150, 230, 170};
    return {
        {"rectangle", DeviceOp::kRectangleSolid, 4, 1, [] { IGrRectangle(50, 60, 150, 140); }},
        {"triangle", DeviceOp::kTriangleSolid, 3, 1, [] { IGrTriangle(50, 50, 150, 60, 100, 150); }},
        {"ellipse", DeviceOp::kEllipseSolid, 0, 1, [] { YYELIP(150, 150, 40, 1); }},
        {"polygon", DeviceOp::kPolygonSolid, 5, 1, [] { YYPolygonDraw(px, py, 5); }},
        {"trapezium", DeviceOp::kQuadSolid, 4, 1, [] { IGrTrapezium(50, 50, 150, 60, 40, 60, 1); }},
        {"parallelogram", DeviceOp::kQuadSolid, 4, 2, [] { IGrParallelogram(50, 50, 150, 160, 40, 2); }},
    };
}

class FillPassesTest : public PrimitivesTest {
protected:
    // Every screen line went out while the hardcopy was closed, every
    // hardcopy line while screen output was off; the requests are cleared.
    void ExpectOneSidePerLine()
    {
        for (const RecordedOp& r : rec.ops) {
            if (r.op != DeviceOp::kLine)
                continue;
            if (r.side == kScreenSide)
                EXPECT_EQ(r.state.hardcopyOpen, 0);
            else
                EXPECT_EQ(r.state.screenOutput, 0);
        }
        EXPECT_EQ(gGraphicsState.LineFillRequest, (std::array<int, 2>{0, 0}));
        EXPECT_EQ(gGraphicsState.screenOutput, 1);
    }

    // The hardcopy side: the odd op with M = 1 (the orientation for the
    // quadrilateral) first, the same op with M = -1 last, LINES lines between.
    void ExpectHardcopyFrame(const Shape& s, size_t lines)
    {
        auto codes = Codes(kHardcopySide);
        ASSERT_GE(codes.size(), 2u);
        EXPECT_EQ(codes.front(), s.solidOp - 1);
        EXPECT_EQ(codes.back(), s.solidOp - 1);
        std::vector<RecordedOp> hard;
        for (const RecordedOp& r : rec.ops)
            if (r.side == kHardcopySide)
                hard.push_back(r);
        EXPECT_EQ(hard.front().block.M, s.fillCallM);
        EXPECT_EQ(hard.back().block.M, -1);
        EXPECT_EQ(Lines(kHardcopySide).size(), lines);
        EXPECT_EQ(codes.size(), lines + 2);
    }
};

TEST_F(FillPassesTest, SolidFillIsOneScreenOp)
{
    for (const Shape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        Target(300, 300);
        Fill(kFillSolid);
        s.draw();
        EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{s.solidOp}));
        EXPECT_TRUE(rec.Codes(kHardcopySide).empty());
    }
}

TEST_F(FillPassesTest, HalftoneBecomesSolidWhenTheColoursCoincide)
{
    for (const Shape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        Target(300, 300);
        Fill(kFillHalftone);
        OpenHardcopy();
        s.draw();
        EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{s.solidOp - 1}));
        Target(300, 300);
        Fill(kFillHalftone);
        OpenHardcopy();
        gGraphicsState.previousDevice = gGraphicsState.currentDevice;
        s.draw();
        EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{s.solidOp}));
        // The hardcopy always receives the odd code.
        ExpectHardcopyFrame(s, 0);
    }
}

TEST_F(FillPassesTest, HardcopyAskingForLinesGetsTheFillAsLinesOnly)
{
    for (const Shape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        Target(300, 300);
        Fill(kFillSolid);
        OpenHardcopy();
        script.lineFillRequest = 1;
        script.lineFillSpacing = 5;
        s.draw();
        EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{s.solidOp}));
        const size_t lines = Lines(kHardcopySide).size();
        EXPECT_GT(lines, 5u);
        ExpectHardcopyFrame(s, lines);
        // Lines 5 device units apart, horizontal.
        auto hard = Lines(kHardcopySide);
        for (size_t k = 0; k + 1 < hard.size(); ++k) {
            EXPECT_EQ(hard[k].block.Y[0], hard[k].block.Y[1]);
            EXPECT_NEAR(hard[k + 1].block.Y[0] - hard[k].block.Y[0], 5.0f, 1e-3);
        }
        ExpectOneSidePerLine();
    }
}

TEST_F(FillPassesTest, OutlineOnlyDrawsTheOutlineOnBothSides)
{
    for (const Shape& s : Shapes()) {
        SCOPED_TRACE(s.name);
        Target(300, 300);
        Fill(kFillOutline);
        OpenHardcopy();
        s.draw();
        if (s.outlineLines == 0) {
            // The ellipse: the screen draws its outline itself; the
            // hardcopy driver drew it on its fill call.
            EXPECT_EQ(Codes(kScreenSide), (std::vector<int>{DeviceOp::kEllipseOutline}));
        } else {
            EXPECT_EQ(Codes(kScreenSide), std::vector<int>(static_cast<size_t>(s.outlineLines), DeviceOp::kLine));
        }
        ExpectHardcopyFrame(s, static_cast<size_t>(s.outlineLines));
        ExpectOneSidePerLine();

        // Without the outline flag nothing but the hardcopy frame is left.
        Target(300, 300);
        Fill(kFillOutline, 3, 1, 0);
        OpenHardcopy();
        s.draw();
        EXPECT_TRUE(Codes(kScreenSide).empty());
        ExpectHardcopyFrame(s, 0);
    }
}

TEST_F(FillPassesTest, HatchingIsDrawnOnBothSides)
{
    for (int mode : {kFillHatch, kFillCrossHatch}) {
        for (int direction = 1; direction <= 4; ++direction) {
            for (const Shape& s : Shapes()) {
                SCOPED_TRACE(::testing::Message() << s.name << " mode " << mode << " direction " << direction);
                Target(300, 300);
                Fill(mode, direction, 1, 0);
                OpenHardcopy();
                s.draw();
                const size_t screen = Lines(kScreenSide).size(), hard = Lines(kHardcopySide).size();
                EXPECT_GT(screen, 3u);
                EXPECT_GT(hard, 3u);
                ExpectHardcopyFrame(s, hard);
                ExpectOneSidePerLine();
            }
        }
    }
}

TEST_F(FillPassesTest, TwoColourLineFillDrawsASecondSetInTheOtherColour)
{
    Fill(kFillHalftone);
    OpenHardcopy();
    GraphicsState& g = gGraphicsState;
    g.hardcopyColours = 256;
    script.lineFillRequest = 2;
    script.lineFillSpacing = 10;
    IGrRectangle(50, 50, 150, 100);
    // Set 1 in the current colour, a colour change, set 2 in the previous
    // colour half a spacing higher, both colours put back.
    std::vector<float> first, second;
    int colourChanges = 0;
    for (const RecordedOp& r : rec.ops) {
        if (r.side != kHardcopySide)
            continue;
        if (r.op == DeviceOp::kColour)
            ++colourChanges;
        if (r.op != DeviceOp::kLine)
            continue;
        (colourChanges == 0 ? first : second).push_back(r.block.Y[0]);
        EXPECT_EQ(r.state.currentRgb, colourChanges == 0 ? 0x00FF00 : 0x0000FF);
    }
    EXPECT_EQ(colourChanges, 2);
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(first.size(), second.size());
    EXPECT_NEAR(second[0] - first[0], 5.0f, 1e-4);
    EXPECT_EQ(g.currentRgb, 0x00FF00);
    EXPECT_EQ(g.previousRgb, 0x0000FF);
    EXPECT_EQ(g.currentNumber, 2);
    EXPECT_EQ(g.previousNumber, 1);
}

} // namespace
