// The colour table, colour names, nearest colour, device colours and the
// public colour selection.
#include "graphics_fixture.h"

#include "graphics/device_recorder.h"

namespace {

int Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

class ColoursTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    void SetUp() override
    {
        gGraphicsState.displayColours = 256;
        YYColourTableInit();
        gGraphicsState.colourModel = kColourModelNumbers;
        gErrorState.lastCode = 0;
    }
};

TEST_F(ColoursTest, TableEntriesByBlockAndShade)
{
    struct Case {
        int n, rgb;
    } cases[] = {
        {0, Rgb(255, 255, 255)},  {15, Rgb(195, 195, 195)}, {19, Rgb(207, 0, 0)},
        {32, Rgb(131, 0, 0)},     {51, Rgb(207, 207, 0)},   {83, Rgb(0, 207, 0)},
        {115, Rgb(0, 207, 207)},  {147, Rgb(0, 0, 207)},    {159, Rgb(0, 0, 255)},
        {179, Rgb(207, 0, 207)},  {208, Rgb(60, 60, 60)},   {223, Rgb(0, 0, 0)},
        {224, Rgb(124, 124, 124)}, {240, Rgb(191, 191, 191)}, {255, Rgb(131, 131, 131)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gColourTable.entries[c.n], c.rgb) << c.n;
    // Eight-colour row and 16-entry palette.
    EXPECT_EQ(gColourTable.eightColour[4], gColourTable.entries[31]);
    EXPECT_EQ(gColourTable.eightColour[7], Rgb(0, 0, 0));
    EXPECT_EQ(gColourTable.palette16[1], gColourTable.entries[175]);
    EXPECT_EQ(gColourTable.palette16[15], gColourTable.entries[223]);
}

TEST_F(ColoursTest, PaletteOf32ColoursTakesTheLastEntryOfEachStep)
{
    gGraphicsState.displayColours = 32;
    YYColourTableInit();
    // Step 8: index 0 stays 0, index 16 becomes 23, index 248 stays 248.
    EXPECT_EQ(gColourTable.palette128[0], gColourTable.entries[0]);
    EXPECT_EQ(gColourTable.palette128[2], gColourTable.entries[23]);
    EXPECT_EQ(gColourTable.palette128[31], gColourTable.entries[248]);
}

TEST_F(ColoursTest, ColourNames)
{
    struct Case {
        const char* name;
        int code;
    } cases[] = {
        {"black", 0},  {"BLUE", 1},    {"green", 2}, {"Cyan", 3},   {"red", 4},
        {"MAGENTA", 5}, {"yellow", 6}, {"white", 7}, {"BRED", 12},  {"bblue", 9},
        {"  grey  ", 2}, {"BROWN", 12}, {"B", -1},    {"BL", -1},    {"", -1},
        {"orange", -1}, {"BBLACK", 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(YYColourName(c.name), c.code) << c.name;
}

TEST_F(ColoursTest, NamedColoursInBothModels)
{
    IGrColour("BLACK");
    EXPECT_EQ(gGraphicsState.currentNumber, 223);
    IGrColour("white");
    EXPECT_EQ(gGraphicsState.currentNumber, 0);
    EXPECT_EQ(gGraphicsState.previousNumber, 223);
    IGrColour("BRED");
    int bright = gGraphicsState.currentNumber;
    IGrColour("red");
    EXPECT_EQ(gGraphicsState.currentNumber, bright);
    EXPECT_EQ(bright, 31);
    IGrColour("grey");
    EXPECT_EQ(gGraphicsState.currentNumber, 95);

    IGrColourModelSet(24);
    IGrColour("yellow");
    EXPECT_EQ(gGraphicsState.currentRgb, Rgb(255, 255, 0));
    IGrColour("black");
    EXPECT_EQ(gGraphicsState.currentRgb, 0);
}

TEST_F(ColoursTest, UnknownColourReportsAndKeepsTheColour)
{
    IGrColourN(63);
    IGrColour("BL");
    EXPECT_EQ(gErrorState.lastCode, 42);
    EXPECT_EQ(gGraphicsState.currentNumber, 63);
    gErrorState.lastCode = 0;
    IGrColourN(256);
    EXPECT_EQ(gErrorState.lastCode, 42);
    EXPECT_EQ(gGraphicsState.currentNumber, 63);
    gErrorState.lastCode = 0;
    IGrColourN(-1);
    EXPECT_EQ(gErrorState.lastCode, 42);
}

TEST_F(ColoursTest, ColourSelectionSendsOpThreeAndShiftsThePair)
{
    DeviceRecorder rec;
    gGraphicsState.screenOutput = 1;
    gGraphicsState.hardcopyOpen = 1;
    IGrColourN(0);
    IGrColourN(223);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{3, 3}));
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{3, 3}));
    const GraphicsState& s = rec.ops.back().state;
    EXPECT_EQ(s.previousNumber, 0);
    EXPECT_EQ(s.previousRgb, kWhite);
    EXPECT_EQ(s.currentNumber, 223);
    EXPECT_EQ(s.currentRgb, kBlack);
    EXPECT_EQ(s.currentDevice, 223);

    rec.Clear();
    YYColourSetDirect(5, Rgb(1, 2, 3), 5, 1);
    YYColourSetDirect(6, Rgb(4, 5, 6), 6, 2);
    EXPECT_EQ(rec.Codes(kScreenSide), (std::vector<int>{3}));
    EXPECT_EQ(rec.Codes(kHardcopySide), (std::vector<int>{3}));
}

TEST_F(ColoursTest, RgbModelLooksTheNumberUpOnlyForPaletteSides)
{
    DeviceRecorder rec;
    IGrColourModelSet(24);
    gGraphicsState.screenOutput = 1;
    gDeviceCapabilityWords.trueColour[kScreenSide] = 1;
    IGrColourN(Rgb(0, 0, 255));
    EXPECT_EQ(gGraphicsState.currentNumber, -1);
    EXPECT_EQ(gGraphicsState.currentDevice, -1);
    gDeviceCapabilityWords.trueColour[kScreenSide] = 0;
    IGrColourN(Rgb(0, 0, 255));
    EXPECT_EQ(gGraphicsState.currentNumber, 159);
    // Back to numbers: the previous colour (set without lookup) gets one.
    IGrColourModelSet(1);
    EXPECT_EQ(gGraphicsState.previousNumber, 159);
}

TEST_F(ColoursTest, NearestColour)
{
    int n = -5;
    YYColourNearest(Rgb(0, 0, 255), n);
    EXPECT_EQ(n, 159);
    // A value present twice: the first index wins.
    YYColourTableSet(200, gColourTable.entries[100]);
    YYColourNearest(gColourTable.entries[100], n);
    EXPECT_EQ(n, 100);
    // Not in the table: a near red is found among the reds.
    YYColourTableInit();
    YYColourNearest(Rgb(250, 10, 10), n);
    EXPECT_GE(n, 16);
    EXPECT_LE(n, 47);
    YYColourNearest(Rgb(20, 20, 20), n);
    int r, g, b;
    YYRgbSplit(gColourTable.entries[n], &r, &g, &b);
    EXPECT_EQ(r, g);
    EXPECT_EQ(g, b);
    EXPECT_LE(r, 60);
}

TEST_F(ColoursTest, HueUsesTheNearlyEqualRule)
{
    float h, s, v;
    YYColourToHSV(Rgb(245, 250, 0), h, s, v);
    EXPECT_NEAR(h, 60.0f * 0.017453292f, 1e-6);
    YYColourToHSV(Rgb(0, 0, 255), h, s, v);
    EXPECT_NEAR(h, 4.0f * 60.0f * 0.017453292f, 1e-6); // sector 3 + G = 4
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_FLOAT_EQ(v, 1.0f);
    YYColourToHSV(Rgb(90, 90, 90), h, s, v);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(s, 0.0f);
}

TEST_F(ColoursTest, DeviceColourByDisplayColourCount)
{
    struct Case {
        int colours, n, device;
    } cases[] = {
        {16, 31, 12}, {16, 47, 4},  {16, 0, 0},   {16, -1, -1}, {16, 223, 15}, {16, 230, 7},
        {8, 31, 4},   {8, 95, 2},   {2, 200, 1},  {64, 100, 25}, {256, 77, 77}, {300, 77, 0},
    };
    for (const Case& c : cases) {
        gGraphicsState.displayColours = c.colours;
        EXPECT_EQ(YYColourDevice(c.n), c.device) << c.colours << " " << c.n;
    }
    EXPECT_EQ(YYColourCode16(9, 0), 12);
    EXPECT_EQ(YYColourCode16(9, 1), 13);
    EXPECT_EQ(YYColourCode16(16, 0), -1);
}

TEST_F(ColoursTest, SplitByModel)
{
    int r, g, b;
    YYColourSplit(31, r, g, b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    gGraphicsState.colourModel = kColourModelRgb;
    YYColourSplit(Rgb(1, 2, 3), r, g, b);
    EXPECT_EQ(r + 10 * g + 100 * b, 321);
}

} // namespace
