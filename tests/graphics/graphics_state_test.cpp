// Units, graphics area, erase, line and fill settings, target sizes and
// the start-up, observed through the drawing state and the recording driver.
#include "graphics_fixture.h"

#include "graphics/device_recorder.h"

namespace {

class GraphicsStateTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    DeviceRecorder rec;
    void SetUp() override
    {
        GraphicsState& g = gGraphicsState;
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.targetKind = kTargetBitmap;
        g.targetId = 1;
        g.textGeometryFrozen = 0;
        g.reapplyArea = 0;
        g.pageRotation = 0;
        g.areaFractions = {0, 0, 1, 1};
        YYTargetSetSize(kTargetBitmap, 1, 200, 100);
        gErrorState.lastCode = 0;
        rec.Clear();
    }
};

TEST_F(GraphicsStateTest, UnitsFallBackPerAxis)
{
    IGrUnits(5, 0, 5, 10);
    const GraphicsState& g = gGraphicsState;
    EXPECT_EQ(g.units, (std::array<float, 4>{0, 0, 1, 10}));
    EXPECT_EQ(g.unitSize, (std::array<float, 2>{1, 10}));
    EXPECT_EQ(g.textUnitSize, g.unitSize);
    EXPECT_EQ(gErrorState.lastCode, 16);

    gErrorState.lastCode = 0;
    gGraphicsState.textGeometryFrozen = 1;
    IGrUnits(-2, 3, 2, std::nanf(""));
    EXPECT_EQ(g.units, (std::array<float, 4>{-2, 0, 2, 1}));
    EXPECT_EQ(g.textUnitSize, (std::array<float, 2>{1, 10}));
    EXPECT_EQ(gErrorState.lastCode, 16);
}

TEST_F(GraphicsStateTest, WholeAreaOfA200By100Target)
{
    IGrArea(0, 0, 1, 1);
    const GraphicsState& g = gGraphicsState;
    EXPECT_EQ(g.deviceArea, (std::array<float, 4>{0, 0, 199.99f, 99.99f}));
    EXPECT_EQ(g.integerArea, (std::array<int, 4>{0, 0, 199, 99}));
    EXPECT_EQ(g.integerAreaSize, (std::array<int, 2>{200, 100}));
    EXPECT_FLOAT_EQ(g.clipBox[0], -0.001f);
    EXPECT_FLOAT_EQ(g.clipBox[1], -0.001f);
    EXPECT_FLOAT_EQ(g.clipBox[2], 199.991f);
    EXPECT_FLOAT_EQ(g.clipBox[3], 99.991f);
    EXPECT_FLOAT_EQ(g.aspect, 2.0f);
    EXPECT_EQ(gErrorState.lastCode, 0);
    // The clip goes to the screen; the aspect re-derives angle and font.
    auto codes = rec.Codes(kScreenSide);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], DeviceOp::kClip);
}

TEST_F(GraphicsStateTest, AreaFallsBackPerAxis)
{
    struct Case {
        float x1, y1, x2, y2;
        std::array<float, 4> fractions;
        int error;
    } cases[] = {
        {0.5f, 0.2f, 0.5f, 0.8f, {0, 0.2f, 1, 0.8f}, 44},
        {0.1f, -0.1f, 0.4f, 0.5f, {0.1f, 0, 0.4f, 1}, 44},
        {0, 0, 1.5f, 1, {0, 0, 1, 1}, 44},
        {std::nanf(""), 0.25f, 1, 0.75f, {0, 0.25f, 1, 0.75f}, 44},
        {0.25f, 0.5f, 0.75f, 1, {0.25f, 0.5f, 0.75f, 1}, 0},
    };
    for (const Case& c : cases) {
        gErrorState.lastCode = 0;
        IGrArea(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(gGraphicsState.areaFractions, c.fractions) << c.x1 << " " << c.y1;
        EXPECT_EQ(gErrorState.lastCode, c.error);
    }
    EXPECT_EQ(gGraphicsState.integerArea, (std::array<int, 4>{50, 50, 150, 99}));
}

TEST_F(GraphicsStateTest, AreaTellsAnOpenHardcopyUnlessReapplied)
{
    gGraphicsState.hardcopyOpen = 1;
    IGrArea(0, 0, 0.5f, 0.5f);
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kClip).size(), 1u);
    rec.Clear();
    gGraphicsState.reapplyArea = 1;
    IGrArea(0, 0, 1, 1);
    gGraphicsState.reapplyArea = 0;
    EXPECT_TRUE(rec.Of(kHardcopySide, DeviceOp::kClip).empty());
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kClip}));
}

TEST_F(GraphicsStateTest, EraseOfTheWholeTargetIsOneClear)
{
    IGrArea(0, 0, 1, 1);
    rec.Clear();
    IGrAreaErase();
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kClear}));
    EXPECT_TRUE(rec.Codes(kHardcopySide).empty());
}

TEST_F(GraphicsStateTest, EraseOfAPartFillsInColourZeroAndRestores)
{
    YYColourTableInit();
    GraphicsState& g = gGraphicsState;
    IGrArea(0.25f, 0.5f, 0.75f, 1);
    g.currentNumber = 223;
    g.currentRgb = 0;
    g.currentDevice = 223;
    g.plotMode = kPlotXor;
    g.fillMode = kFillHatch;
    rec.Clear();
    IGrAreaErase();
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{27, 3, 10, 27, 3}));
    // Of() returns a copy: keep the element itself, not a reference into the temporary.
    const RecordedOp fill = rec.Of(kScreenSide, DeviceOp::kRectangleSolid).at(0);
    EXPECT_EQ(fill.state.currentNumber, 0);
    EXPECT_EQ(fill.state.currentRgb, gColourTable.entries[0]);
    EXPECT_EQ(fill.state.plotMode, kPlotCopy);
    EXPECT_EQ(fill.block.IX[0], 50);
    EXPECT_EQ(fill.block.IY[0], 50);
    EXPECT_EQ(fill.block.IX[1], 150);
    EXPECT_EQ(fill.block.IY[1], 99);
    EXPECT_EQ(g.currentNumber, 223);
    EXPECT_EQ(g.plotMode, kPlotXor);
    EXPECT_EQ(g.fillMode, kFillHatch);

    // Colour 0 and copy mode already: the rectangle alone.
    g.currentDevice = 0;
    g.plotMode = kPlotCopy;
    rec.Clear();
    IGrAreaErase();
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{10}));
}

TEST_F(GraphicsStateTest, LineStyleWidthPlotModeAndFill)
{
    gGraphicsState.hardcopyOpen = 1;
    const int nine = 9, three = 3;
    IGrLineStyleSelect(&nine);
    EXPECT_EQ(gGraphicsState.lineStyle, 0);
    IGrLineStyleSelect(&three);
    EXPECT_EQ(gGraphicsState.lineStyle, 3);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{29, 29}));
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{29, 29}));

    rec.Clear();
    const int zero = 0, four = 4, seven = 7;
    IGrLineWidthSet(&four, &seven, &zero);
    EXPECT_EQ(gGraphicsState.lineWidth, 4);
    EXPECT_EQ(gHardcopyState.options[HardcopyOptionSlot(9)], 7);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{30}));
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{30}));
    rec.Clear();
    IGrLineWidthSet(&zero, nullptr, &seven);
    EXPECT_EQ(gGraphicsState.metafileLineWidth, 7);
    EXPECT_TRUE(rec.ops.empty()); // not a metafile target

    rec.Clear();
    const int xorMode = 3;
    YYSetDrawMode(&xorMode);
    EXPECT_EQ(gGraphicsState.plotMode, 3);
    YYSetDrawMode();
    EXPECT_EQ(gGraphicsState.plotMode, 0);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{27, 27}));
    EXPECT_TRUE(rec.Codes(kHardcopySide).empty());

    struct Case {
        int style, density, direction;
        int mode, outline, gotDensity, gotDirection;
    } cases[] = {
        {4, 1, 4, 4, 1, 1, 4}, {-2, 5, 1, 2, 0, 5, 1}, {-1, 0, 5, 1, 0, 2, 3}, {5, 3, 2, 0, 1, 3, 2},
        {-3, 6, 0, 0, 1, 2, 3},
    };
    for (const Case& c : cases) {
        YYFillSettings(&c.style, &c.density, &c.direction);
        EXPECT_EQ(gGraphicsState.fillMode, c.mode) << c.style;
        EXPECT_EQ(gGraphicsState.outline, c.outline) << c.style;
        EXPECT_EQ(gGraphicsState.hatchDensity, c.gotDensity) << c.style;
        EXPECT_EQ(gGraphicsState.hatchDirection, c.gotDirection) << c.style;
    }
}

TEST_F(GraphicsStateTest, TargetSizeOnlyForTheCurrentTarget)
{
    YYTargetSetSize(kTargetBitmap, 2, 50, 50);
    EXPECT_EQ(gGraphicsState.targetWidth, 200);
    EXPECT_TRUE(rec.ops.empty());
    gGraphicsState.hardcopyOpen = 1;
    gGraphicsState.textGeometryFrozen = 1;
    IGrArea(0, 0, 0.5f, 0.5f);
    YYTargetSetSize(kTargetBitmap, 1, 400, 300);
    EXPECT_EQ(gGraphicsState.textGeometryFrozen, 0);
    EXPECT_EQ(gGraphicsState.integerArea, (std::array<int, 4>{0, 0, 200, 150}));
    auto begin = rec.Of(kHardcopySide, DeviceOp::kBeginPlot);
    ASSERT_EQ(begin.size(), 1u);
    EXPECT_EQ(begin[0].block.M, -1);
}

TEST_F(GraphicsStateTest, AspectFollowsRotationAndKeepsItselfOnEmptyTargets)
{
    GraphicsState& g = gGraphicsState;
    gHardcopyState.scaleX = 2.0f;
    gHardcopyState.scaleY = 3.0f;
    g.pageRotation = 90;
    IGrArea(0, 0, 1, 1);
    EXPECT_FLOAT_EQ(g.aspect, 0.5f);
    EXPECT_EQ(g.orientedLimit, (std::array<float, 2>{99.99f, 199.99f}));
    EXPECT_EQ(g.orientedPlotScale, (std::array<float, 2>{3.0f, 2.0f}));
    EXPECT_EQ(g.orientedAreaSize, (std::array<float, 2>{g.areaSize[1], g.areaSize[0]}));
    YYTargetSetSize(kTargetBitmap, 1, 0, 0);
    EXPECT_FLOAT_EQ(g.aspect, 0.5f);
}

TEST_F(GraphicsStateTest, SelectOfAnUnknownKindKeepsTheTargetAndReinitialises)
{
    IGrSelect(7);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetBitmap);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{DeviceOp::kInitialise}));
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(GraphicsStateTest, SelectOfAMissingBitmapFallsBackToTheWindow)
{
    const int id = 99;
    IGrSelect(kTargetBitmap, &id);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
    EXPECT_EQ(gGraphicsState.targetId, gLibraryState.currentWindow);
    EXPECT_EQ(gErrorState.lastCode, 1019);
    EXPECT_EQ(rec.Codes(kScreenSide).back(), DeviceOp::kInitialise);
}

} // namespace
