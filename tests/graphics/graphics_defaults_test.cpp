// The graphics start-up: its defaults and the hardcopy driver's
// initialisation, observed through the state and the recording driver.
#include "graphics_fixture.h"

#include <algorithm>

#include "graphics/device_recorder.h"

namespace {

class GraphicsDefaultsTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    DeviceRecorder rec;
    void SetUp() override
    {
        gGraphicsState = GraphicsState{};
        gHardcopyState.options.fill(0);
        gLibraryState.paletteSize = 256;
        YYColourTableInit();
    }
};

TEST_F(GraphicsDefaultsTest, StartUpValues)
{
    YYGraphicsDefaults(" ");
    const GraphicsState& g = gGraphicsState;
    EXPECT_EQ(g.screenOutput, 1);
    EXPECT_EQ(g.colourModel, kColourModelNumbers);
    EXPECT_EQ(g.previousNumber, 0);
    EXPECT_EQ(g.previousRgb, kWhite);
    EXPECT_EQ(g.currentNumber, 223);
    EXPECT_EQ(g.currentRgb, kBlack);
    EXPECT_EQ(g.currentDevice, 223);
    EXPECT_EQ(g.displayColours, 256);
    EXPECT_EQ(g.lineWidth, 1);
    EXPECT_EQ(g.metafileLineWidth, 5);
    EXPECT_EQ(g.units, (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(g.fillMode, kFillOutline);
    EXPECT_EQ(g.outline, 1);
    EXPECT_EQ(g.hatchDensity, 0);
    EXPECT_EQ(gTextState.requestedFamily, 1);
    EXPECT_EQ(gTextState.justification, 1);
    EXPECT_FLOAT_EQ(gTextState.charHeight, 0.03333333f);
    EXPECT_EQ(gHardcopyState.replayReals, (std::array<float, 6>{0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(gHardcopyState.replayIntegers, (std::array<int, 4>{1, 1, 1, 1}));

    // Screen: begin plot first, the two colours, then mode, style, width and font.
    auto screen = rec.Codes(kScreenSide);
    ASSERT_FALSE(screen.empty());
    EXPECT_EQ(screen.front(), DeviceOp::kBeginPlot);
    auto at = std::find(screen.begin(), screen.end(), DeviceOp::kColour);
    ASSERT_NE(at, screen.end());
    EXPECT_EQ(std::vector<int>(at, at + 6), (std::vector<int>{3, 3, 27, 29, 30, 21}));
    // Hardcopy: closed, so only the driver's initialisation, with M = 0.
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{1}));
    EXPECT_EQ(rec.ops.back().block.M, 0);
    EXPECT_NE(rec.ops.back().block.N, kDriverNumberQuery);
    EXPECT_EQ(gDeviceParameterBlock.M, 0);
}

TEST_F(GraphicsDefaultsTest, HiddenScreenOutput)
{
    YYGraphicsDefaults("x");
    EXPECT_EQ(gGraphicsState.screenOutput, 1);
    YYGraphicsDefaults("h"); // the option letter matches either case
    EXPECT_EQ(gGraphicsState.screenOutput, 0);
    rec.Clear();
    YYGraphicsDefaults("xH");
    EXPECT_EQ(gGraphicsState.screenOutput, 0);
    EXPECT_TRUE(rec.Of(kScreenSide, DeviceOp::kBeginPlot).empty());
}

TEST_F(GraphicsDefaultsTest, OptionPKeepsTheHardcopyOptionsOverTheInitialisation)
{
    auto opt = [](int code) -> int& { return gHardcopyState.options[HardcopyOptionSlot(code)]; };
    gHardcopyState.driverNumber = 10;
    opt(8) = 3;
    opt(1) = 500;
    opt(105) = 2;
    YYGraphicsDefaults("P");
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kInitialise).at(0).block.M, -998);
    EXPECT_EQ(opt(8), 3);
    EXPECT_EQ(opt(1), 500);
    EXPECT_EQ(opt(105), 2);

    rec.Clear();
    YYGraphicsDefaults(" ");
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kInitialise).at(0).block.M, 0);
    EXPECT_EQ(opt(8), 0);
    EXPECT_EQ(opt(1), 0);
    EXPECT_EQ(opt(105), 2); // options 101..109 are not cleared
}

} // namespace
