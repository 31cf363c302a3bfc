// The device protocol's routers and the hardcopy open and close, observed
// through the recording driver.
#include "graphics_fixture.h"

#include <fstream>
#include <iterator>
#include <string>

#include "graphics/device_recorder.h"
#include "hardcopy/hardcopy_open.h"

namespace {

class DeviceRoutingTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    DeviceRecorder rec;
    void SetUp() override
    {
        GraphicsState& g = gGraphicsState;
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.targetWidth = 200;
        g.targetHeight = 100;
        g.targetLimit = {199.99f, 99.99f};
        g.areaFractions = {0, 0, 1, 1};
        g.colourModel = kColourModelNumbers;
        gHardcopyState.pagePending = 0;
        gHardcopyState.printCommand = FixedText<260>();
        gLibraryPaths.hardcopyFileName = FixedText<260>("quilplot.ps");
    }
};

TEST_F(DeviceRoutingTest, HardcopyRouterOnlyWhileAPlotIsOpen)
{
    YYHardcopyCallIfOpen(DeviceOp::kLine);
    EXPECT_TRUE(rec.ops.empty());
    gGraphicsState.hardcopyOpen = 1;
    YYHardcopyCallIfOpen(DeviceOp::kLine);
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{2}));
    YYScreenDeviceCall(DeviceOp::kPoint);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{26}));
}

TEST_F(DeviceRoutingTest, FillPassStartsFromTheDefaultHatchSpacing)
{
    gGraphicsState.hardcopyOpen = 1;
    gGraphicsState.LineFillSpacing[kHardcopySide] = 7.0f;
    gDeviceParameterBlock.M = 1;
    YYHardcopyCallIfOpen(DeviceOp::kRectangleHalftone);
    EXPECT_EQ(rec.ops.back().state.LineFillSpacing[kHardcopySide], 100.0f);
    // The outline call of the same shape keeps what the driver set.
    gGraphicsState.LineFillSpacing[kHardcopySide] = 7.0f;
    gDeviceParameterBlock.M = -1;
    YYHardcopyCallIfOpen(DeviceOp::kRectangleHalftone);
    EXPECT_EQ(rec.ops.back().state.LineFillSpacing[kHardcopySide], 7.0f);
    // The quadrilateral's fill pass carries its orientation in M.
    gDeviceParameterBlock.M = 2;
    YYHardcopyCallIfOpen(DeviceOp::kQuadHalftone);
    EXPECT_EQ(rec.ops.back().state.LineFillSpacing[kHardcopySide], 100.0f);
}

TEST_F(DeviceRoutingTest, OpenSendsQueryBeginPlotThenTheDrawingState)
{
    std::string_view title = "Graph";
    YYHardcopyOpen(nullptr, &title);
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{1, 18, 30, 29, 36, 37, 24, 21, 3}));
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
    EXPECT_EQ(gHardcopyState.driverNumber, 10);
    const RecordedOp& query = rec.ops[0];
    EXPECT_EQ(query.block.N, kDriverNumberQuery);
    auto begin = rec.Of(kHardcopySide, DeviceOp::kBeginPlot).at(0);
    EXPECT_EQ(begin.block.M, 1);
    EXPECT_EQ(begin.block.N, 1); // the driver's default name
    EXPECT_EQ(begin.block.IX[0], 1);
    EXPECT_EQ(begin.text, "quilplot.ps");
    EXPECT_EQ(gHardcopyState.plotTitle.trimmed(), "Graph");
    EXPECT_EQ(gHardcopyState.lastPosition[0], -9999.0f);
}

TEST_F(DeviceRoutingTest, NoDriverMeansNothingOpens)
{
    rec.driverNumber = 0;
    std::string_view file = "out.plt";
    YYHardcopyOpen(&file);
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{1}));
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
}

TEST_F(DeviceRoutingTest, CloseOnlyNamesAndGivenNames)
{
    struct Case {
        std::string_view file;
        bool opens;
    } cases[] = {{"S", false}, {"s", false}, {"S2", true}, {"ss", true}};
    for (const Case& c : cases) {
        rec.Clear();
        gGraphicsState.hardcopyOpen = 0;
        YYHardcopyOpen(&c.file);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, c.opens ? 1 : 0) << c.file;
        if (c.opens) {
            auto begin = rec.Of(kHardcopySide, DeviceOp::kBeginPlot).at(0);
            EXPECT_EQ(begin.text, c.file);
            EXPECT_EQ(begin.block.N, 0);
            EXPECT_EQ(begin.block.IX[0], 0);
        } else {
            EXPECT_TRUE(rec.ops.empty()) << c.file;
        }
    }
}

TEST_F(DeviceRoutingTest, CloseEndsAPendingPageThenThePlot)
{
    gGraphicsState.hardcopyOpen = 1;
    gHardcopyState.pagePending = -1;
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{20, 19}));
    EXPECT_EQ(rec.ops[0].block.M, 32);
    EXPECT_EQ(rec.ops[0].block.N, 1);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
}

TEST_F(DeviceRoutingTest, PrintCommandPlotsToTheTemporaryFileAndRunsAtClose)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string temp = std::string(dir) + "kvbtest_plot.plt";
    std::string copied = std::string(dir) + "kvbtest_printed.txt";
    DeleteFileA(copied.c_str());
    gLibraryPaths.tempPlotFile = FixedText<260>(temp);
    gHardcopyState.printCommandAllowed = 1;
    std::string command = "copy @ \"" + copied + "\"";
    std::string_view file = command;
    YYHardcopyOpen(&file);
    auto begin = rec.Of(kHardcopySide, DeviceOp::kBeginPlot).at(0);
    EXPECT_EQ(begin.text, temp);
    EXPECT_EQ(gHardcopyState.printCommand.trimmed(), command);

    // The driver would write the plot; here the test does.
    {
        std::ofstream out(temp);
        out << "plot data";
    }
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    EXPECT_TRUE(gHardcopyState.printCommand.trimmed().empty());
    std::ifstream in(copied);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "plot data");
    EXPECT_EQ(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES);
    in.close();
    DeleteFileA(copied.c_str());
}

TEST_F(DeviceRoutingTest, WithoutPermissionTheNameIsTakenAsItIs)
{
    gHardcopyState.printCommandAllowed = 0;
    std::string_view file = "lpr @ x";
    YYHardcopyOpen(&file);
    EXPECT_EQ(rec.Of(kHardcopySide, DeviceOp::kBeginPlot).at(0).text, "lpr @ x");
    EXPECT_TRUE(gHardcopyState.printCommand.trimmed().empty());
}

TEST_F(DeviceRoutingTest, RgbColoursGetTheirNumbersWhenAPlotOpens)
{
    YYColourTableInit();
    gGraphicsState.currentNumber = -1;
    gGraphicsState.currentRgb = 0xFF0000;
    YYHardcopyOpen();
    EXPECT_EQ(gGraphicsState.currentNumber, 159);
}

} // namespace
