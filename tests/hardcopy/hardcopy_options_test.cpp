// Hardcopy options, the dispatcher's selection entry and the printer-model
// tables, checked against the values the library's documentation gives.
#include <gtest/gtest.h>

#include <string>

#include "graphics/device_recorder.h"
#include "graphics/graphics_fixture.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"

namespace {

class HardcopyOptionsTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    HardcopyState& h = gHardcopyState;
    void SetUp() override
    {
        h.options.fill(0);
        h.driverNumber = kDriverWindowsPrinter;
        gGraphicsState.hardcopyOpen = 0;
        gGraphicsState.pageRotation = 0;
    }
};

TEST_F(HardcopyOptionsTest, RangeChecksByTable)
{
    struct Case {
        int code, value, stored; // stored: the option afterwards (it starts at -7)
    };
    const Case cases[] = {
        {1, 0, -7},      {1, 400, 400},    {2, -1, -7},     {3, -50, -50},  {6, 3, -7},     {6, 2, 2},
        {7, 5, 5},       {8, 0, 1},        {8, -4, 1},      {8, 3, 3},      {9, -3, 1},     {10, 3, -7},
        {10, 2, 2},      {11, -1, -7},     {12, 80, 100},   {12, 250, 250}, {14, 9, -7},    {15, 4, 4},
        {16, 9, -7},     {16, 10, 10},     {16, 256, -7},   {21, 0, -7},    {21, 127, 127}, {21, 128, -7},
        {25, -9, -9},    {27, 2, 2},       {101, 0, -7},    {101, 5, 5},    {104, -1, -7},  {105, 5, -7},
        {105, 4, 4},     {106, -3, -3},    {108, 0, -7},    {109, 11, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.code << " = " << c.value);
        h.option(c.code) = -7;
        YYHardcopyOption(c.code, c.value);
        EXPECT_EQ(h.option(c.code), c.stored);
    }
    // Codes outside the table touch nothing.
    const auto before = h.options;
    for (int code : {0, 30, 31, 32, 100, 110, -1})
        YYHardcopyOption(code, 1);
    EXPECT_EQ(h.options, before);
}

TEST_F(HardcopyOptionsTest, PageSizeRotationAndAspect)
{
    YYHardcopyOption(1, 400);
    YYHardcopyOption(2, 600);
    EXPECT_FLOAT_EQ(h.pageAspect, 400.0f / 600.0f);
    YYHardcopyOption(5, 3);
    EXPECT_EQ(h.option(1), 600);
    EXPECT_EQ(h.option(2), 400);
    EXPECT_EQ(h.option(5), 1);
    YYHardcopyOption(5, 2);
    EXPECT_EQ(h.option(1), 400);
    EXPECT_EQ(h.option(2), 600);
    EXPECT_EQ(h.option(5), 0);
    YYHardcopyOption(5, 4); // out of range
    EXPECT_EQ(h.option(5), 0);

    gGraphicsState.pageRotation = 90;
    YYHardcopyAspect();
    EXPECT_FLOAT_EQ(h.pageAspect, 600.0f / 400.0f);
    h.option(2) = 0; // a non-positive side leaves the aspect
    YYHardcopyAspect();
    EXPECT_FLOAT_EQ(h.pageAspect, 600.0f / 400.0f);
}

TEST_F(HardcopyOptionsTest, LineOptionsReachOnlyAnOpenHardcopy)
{
    DeviceRecorder rec(false, true);
    YYHardcopyOption(9, -3);
    YYHardcopyOption(10, 1);
    EXPECT_TRUE(rec.ops.empty());
    gGraphicsState.hardcopyOpen = 1;
    YYHardcopyOption(9, 7);
    YYHardcopyOption(10, 2);
    YYHardcopyOption(11, 1);
    YYHardcopyOption(11, 5); // refused: nothing sent
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{DeviceOp::kLineWidth, DeviceOp::kLineJoin, DeviceOp::kLineCap}));
    EXPECT_EQ(h.option(9), 7);
}

TEST_F(HardcopyOptionsTest, DriverDependentOptions)
{
    // 13: the resolutions of the printer model; 24: the model's limit.
    YYSetPrinterModel(36); // three resolutions, limit 1
    YYHardcopyOption(13, 3);
    EXPECT_EQ(h.option(13), 3);
    EXPECT_EQ(h.resolutionChoice, 3);
    YYHardcopyOption(13, 4);
    EXPECT_EQ(h.option(13), 3);
    YYHardcopyOption(24, 2);
    EXPECT_EQ(h.option(24), 0);
    YYHardcopyOption(24, 1);
    EXPECT_EQ(h.option(24), 1);

    // 23: image-file and DXF drivers only, each with its own depths.
    h.driverNumber = kDriverImageFile;
    YYHardcopyOption(23, 1);
    EXPECT_EQ(h.option(23), 1);
    YYHardcopyOption(23, 3);
    EXPECT_EQ(h.option(23), 1);
    h.driverNumber = kDriverDxf;
    YYHardcopyOption(23, 1);
    EXPECT_EQ(h.option(23), 1);
    YYHardcopyOption(23, 3);
    EXPECT_EQ(h.option(23), 3);
    h.driverNumber = kDriverWindowsPrinter;
    YYHardcopyOption(23, 24);
    EXPECT_EQ(h.option(23), 3);
}

TEST_F(HardcopyOptionsTest, OutputNameExtensions)
{
    struct Case {
        int driver, code, value;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {kDriverPostScript, 22, 1, "quilplot.ps", "quilplot.eps"},
        {kDriverPostScript, 22, 0, "quilplot.eps", "quilplot.ps"},
        {kDriverPostScript, 22, 1, "C:\\plots.d\\graph", "C:\\plots.d\\graph.eps"},
        {kDriverPostScript, 22, 1, "graph", "graph.eps"},
        {kDriverImageFile, 26, 2, "quilplot.pcx", "quilplot.bmp"},
        {kDriverImageFile, 26, 3, "quilplot.pcx", "quilplot.png"},
        {kDriverImageFile, 26, 7, "out\\x.bmp", "out\\x.pcx"},
        // Another driver current: the value is only stored.
        {kDriverWindowsPrinter, 26, 2, "quilplot.pcx", "quilplot.pcx"},
        {kDriverImageFile, 22, 1, "quilplot.pcx", "quilplot.pcx"},
        // A blank default name stays blank.
        {kDriverPostScript, 22, 1, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        h.driverNumber = c.driver;
        gLibraryPaths.hardcopyFileName = FixedText<260>(c.before);
        YYHardcopyOption(c.code, c.value);
        EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), c.after);
        EXPECT_EQ(h.option(c.code), c.value);
    }
    // A name that fills the whole buffer gets nothing written past it.
    gLibraryPaths.hardcopyFileName = FixedText<260>(std::string(260, 'a'));
    h.driverNumber = kDriverPostScript;
    YYHardcopyOption(22, 1);
    EXPECT_EQ(gLibraryPaths.hardcopyFileName.view(), std::string(260, 'a'));
}

TEST_F(HardcopyOptionsTest, DefaultsTouchOnlyTheirOptions)
{
    h.options.fill(-1);
    YYHardcopyDefaults();
    const std::pair<int, int> expected[] = {{6, 0},    {7, 0},   {8, 1},        {9, 5},   {10, 0},  {11, 0},
                                            {17, 0},   {101, 80}, {102, 60},    {103, 1}, {104, 999999},
                                            {105, 1},  {106, 0},  {107, 0},     {108, 8}, {109, 0}};
    for (auto [code, value] : expected)
        EXPECT_EQ(h.option(code), value) << code;
    for (int code : {1, 2, 3, 4, 5, 12, 13, 15, 16, 21, 22, 23, 24, 29})
        EXPECT_EQ(h.option(code), -1) << code;
}

TEST_F(HardcopyOptionsTest, SelectionEntry)
{
    YYHardcopySelect(2, 4);
    EXPECT_EQ(h.dispatchDriver, kDriverWindowsPrinter);
    YYHardcopySelect(1, 7);
    EXPECT_EQ(h.dispatchDriver, 7);
    // Driver 7 does not exist: the query stays unanswered and nothing opens.
    gLibraryPaths.hardcopyFileName = FixedText<260>("x.plt");
    std::string_view name = "x.plt";
    YYHardcopyOpen(&name);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
    EXPECT_EQ(gDeviceParameterBlock.N, kDriverNumberQuery);
}

// The printer-model table and the printer classes, as documented: each model's
// five-character record, and per class letter the class number, command
// family (0: left unchanged), dots per band and resolutions.
TEST(PrinterModels, EveryModelFollowsItsRecordAndClass)
{
    GraphicsStateGuard guard;
    const char* records[39] = {};
    const std::pair<int, const char*> table[] = {
        {2, "M1M0 "},  {3, "F1M0 "},  {4, "F1M0 "},  {5, "F1M0 "},  {6, "F1M0 "},  {7, "M1M0 "},  {8, "M1M0 "},
        {9, "S1M0 "},  {10, "L1M0 "}, {11, "L1M0 "}, {12, "M1M0 "}, {13, "P3R1 "}, {14, "D1M2 "}, {15, "M1M0 "},
        {16, "M1M0 "}, {17, "Q1M0 "}, {18, "Q1M0 "}, {19, "X1M0 "}, {20, "X1M0 "}, {21, "D3R2 "}, {22, "D1M2 "},
        {23, "F3C0 "}, {24, "F3C0 "}, {25, "Q3C0 "}, {26, "Q3C0 "}, {28, "L1M22"}, {29, "41M22"}, {30, "33R1 "},
        {31, "D3C2 "}, {32, "D3C22"}, {33, "51M2 "}, {34, "53C2 "}, {35, "L3C22"}, {36, "21M1 "}, {37, "23C1 "},
        {38, "43C22"},
    };
    for (auto [model, record] : table)
        records[model] = record;
    struct ClassRow {
        char letter;
        int cls, family, dots;
        std::vector<int> resolutions;
    };
    const ClassRow classes[] = {
        {'M', 1, 23, 8, {240, 120, 60}},       {'F', 2, 23, 8, {240, 120, 90, 80}},
        {'S', 3, 22, 8, {160, 80}},            {'X', 4, 29, 24, {360, 180, 120, 60}},
        {'Q', 5, 24, 24, {360, 180, 120, 90}}, {'2', 6, 0, 1, {720, 360, 180}},
        {'L', 7, 0, 1, {300, 150, 100, 75}},   {'D', 8, 0, 1, {300, 150, 100, 75}},
        {'P', 9, 0, 1, {180, 90}},             {'3', 10, 0, 1, {300, 150, 100, 75}},
        {'4', 7, 0, 1, {600, 300, 200, 150}},  {'5', 8, 0, 1, {300, 150, 75}},
    };
    for (int model = 2; model <= 38; ++model) {
        if (model == 27)
            continue;
        SCOPED_TRACE(model);
        const std::string record = records[model];
        const ClassRow* row = nullptr;
        for (const ClassRow& c : classes)
            if (c.letter == record[0])
                row = &c;
        ASSERT_NE(row, nullptr);
        gHardcopyState = HardcopyState{};
        HardcopyStateStartupReset();
        gHardcopyState.commandFamily = -5; // classes 6 and above leave it
        YYSetPrinterModel(model);
        const HardcopyState& h = gHardcopyState;
        EXPECT_EQ(h.printerModel, model);
        EXPECT_EQ(h.printerGiven, 1);
        EXPECT_EQ(h.printerClass, row->cls);
        EXPECT_EQ(h.commandFamily, row->family == 0 ? -5 : row->family);
        EXPECT_EQ(h.dotsPerBand, row->dots);
        ASSERT_EQ(h.resolutionCount, static_cast<int>(row->resolutions.size()));
        for (size_t i = 0; i < row->resolutions.size(); ++i)
            EXPECT_EQ(h.resolutions[i], row->resolutions[i]);
        EXPECT_EQ(h.colourDigit, record[1] - '0');
        EXPECT_EQ(h.colourKind, record[2] == 'R' ? 1 : record[2] == 'C' ? 2 : 0);
        EXPECT_EQ(h.option24Limit, record[3] - '0');
        // An HP-GL/2 mark derives the device kind from the model.
        const int kind = record[4] != '2' ? 0 : model == 29 ? 3 : (model == 32 || model == 35) ? 2 : model == 38 ? 5 : 1;
        EXPECT_EQ(h.hpgl2Kind, kind);
    }
    // 27 is no model: it falls back to 28 without the given flag.
    gHardcopyState = HardcopyState{};
    YYSetPrinterModel(27);
    EXPECT_EQ(gHardcopyState.printerModel, 28);
    EXPECT_EQ(gHardcopyState.printerGiven, 0);
}

} // namespace
