// The Windows printer driver: its pens and dash tables, the quiet start-up
// and the refused plot without a printer, drawing into a stand-in printer
// context, and, where a default printer is configured, a printed page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/graphics_fixture.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/printer_driver.h"
#include "support/poll.h"
#include "unix_tools.h"

namespace {

// Saves the printer driver's state and the printer settings and puts them
// back, ending a job a test left open.
class PrinterGuard {
public:
    PrinterGuard() : printer_(gPrinterDrawingState), settings_(gGdiPrinterSettings), capability_(gDeviceCapabilityString) {}
    ~PrinterGuard()
    {
        if (gPrinterDrawingState.jobActive)
            XXWIN(DeviceOp::kEndPlot);
        gPrinterDrawingState = printer_;
        gGdiPrinterSettings = settings_;
        gDeviceCapabilityString = capability_;
    }

private:
    PrinterDrawingState printer_;
    GdiPrinterSettings settings_;
    DeviceCapabilityString capability_;
};

void Op(int op, int m = 0)
{
    gDeviceParameterBlock.M = m;
    XXWIN(op);
}

void Corners(float x1, float y1, float x2, float y2)
{
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.X[0] = x1;
    b.Y[0] = y1;
    b.X[1] = x2;
    b.Y[1] = y2;
}

void SetRgb(int rgb)
{
    GraphicsState& g = gGraphicsState;
    g.colourModel = kColourModelRgb;
    g.previousRgb = g.currentRgb;
    g.currentRgb = rgb;
    Op(DeviceOp::kColour);
}

// A drawing state of a 200 x 100 target with the whole area as graphics area.
void Target()
{
    GraphicsState& g = gGraphicsState;
    g.targetKind = kTargetWindow;
    g.targetWidth = 200;
    g.targetHeight = 100;
    g.targetLimit = {199.99f, 99.99f};
    g.deviceArea = {0.0f, 0.0f, 199.99f, 99.99f};
    g.orientedAreaSize = {199.99f, 99.99f};
    g.pageRotation = 0;
    g.fillMode = kFillOutline;
    g.lineStyle = 0;
    g.colourModel = kColourModelRgb;
    g.previousRgb = 0xFFFFFF;
    g.currentRgb = 0;
}

TEST(PrinterPens, WidthsAndDashTables)
{
    EXPECT_EQ(PrinterPenWidth(5, 600, 600), 3);
    EXPECT_EQ(PrinterPenWidth(1, 600, 600), 0);
    EXPECT_EQ(PrinterPenWidth(5, 96, 96), 0);
    EXPECT_EQ(PrinterPenWidth(10, 300, 600), 5); // (4 + 8 - 2) / 2
    EXPECT_EQ(PrinterPenWidth(2000000000, 600, 600), 1666666666); // no overflow
    std::array<std::vector<DWORD>, 7> d;
    PrinterDashTables(600, 96, 3, d);
    EXPECT_EQ(d[6], (std::vector<DWORD>{50, 27, 25, 27, 25, 27}));
    EXPECT_EQ(d[0], (std::vector<DWORD>{6, 27}));
    PrinterDashTables(96, 96, 1, d);
    EXPECT_EQ(d[1], (std::vector<DWORD>{8, 6}));
}

TEST(PrinterWithoutPrinter, StartUpStaysQuietAndAPlotIsRefused)
{
    GraphicsStateGuard guard;
    PrinterGuard printer;
    // The profile names no default printer.
    gGdiPrinterSettings = GdiPrinterSettings{};
    gGdiPrinterSettings.known = true;
    HardcopyState& h = gHardcopyState;
    h.printerSetup = 0;
    h.dispatchDriver = kDriverWindowsPrinter;
    h.driverNumber = 0;
    gErrorState.lastCode = 0;
    gDeviceParameterBlock.N = 0;
    Op(DeviceOp::kInitialise);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_NE(gPrinterDrawingState.infoError, 0);
    EXPECT_EQ(h.printerAvailable, 0);
    EXPECT_EQ(h.driverNumber, kDriverWindowsPrinter);
    EXPECT_EQ(h.printCommandAllowed, 0);
    EXPECT_EQ(h.option(8), 1);
    EXPECT_EQ(std::string(gDeviceCapabilityString[kHardcopySide].data(), kCapabilityLength),
              "00000111111111100010011011110");
    EXPECT_EQ(gTextState.sizeLimit[kTextHardcopy], 1.7e38f);
    EXPECT_EQ(gTextState.rotation[kTextHardcopy], 360);

    // The query answers the number and changes nothing else.
    const auto options = h.options;
    h.driverNumber = 0;
    gDeviceParameterBlock.N = kDriverNumberQuery;
    Op(DeviceOp::kInitialise);
    EXPECT_EQ(gDeviceParameterBlock.N, kDriverWindowsPrinter);
    EXPECT_EQ(h.driverNumber, 0);
    EXPECT_EQ(h.options, options);

    // Opening a plot reports error 1 under "XXWIN" and leaves nothing open.
    Target();
    YYErrorLevelSet(kReportStdout);
    testing::internal::CaptureStdout();
    YYHardcopyOpen();
    const std::string printed = testing::internal::GetCapturedStdout();
    YYErrorLevelSet(kReportNone);
    EXPECT_EQ(gErrorState.lastCode, 1);
    EXPECT_NE(printed.find("XXWIN"), std::string::npos) << printed;
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
    EXPECT_EQ(gPrinterDrawingState.jobActive, 0);
    EXPECT_EQ(gPrinterDrawingState.dc, nullptr);
}

// The driver drawing into a memory bitmap that stands in for the printer.
class PrinterDrawingTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    PrinterGuard printer;
    MemorySurface page{200, 100};
    PrinterDrawingState& p = gPrinterDrawingState;
    HardcopyState& h = gHardcopyState;
    int resolution = 96;

    void SetUp() override
    {
        Target();
        gGraphicsState.screenOutput = 0;
        resolution = GetDeviceCaps(page.dc(), LOGPIXELSX);
        h.options.fill(0);
        YYHardcopyDefaults();
        h.option(1) = 200 * 72 / resolution;
        h.option(2) = 100 * 72 / resolution;
        h.titleGiven = 0;
        p = PrinterDrawingState{};
        p.testContext = page.dc();
        Op(DeviceOp::kBeginPlot, 1);
        ASSERT_EQ(p.jobActive, 1);
        SetRgb(0xFFFFFF);
        SetRgb(0x000000);
        Op(DeviceOp::kLineWidth);
        Op(DeviceOp::kLineStyle);
    }
    int Pixel(int x, int y) const { return page.Pixel(x, y); }
};

TEST_F(PrinterDrawingTest, BeginPlotPageAndScale)
{
    EXPECT_EQ(h.plotTitle.trimmed(), "Quillodrane graphic");
    EXPECT_EQ(p.pagesStarted, 1);
    EXPECT_EQ(p.pageWidth, h.option(1) * resolution / 72);
    EXPECT_FLOAT_EQ(h.scaleX, static_cast<float>(p.pageWidth) / 200.0f);
    EXPECT_EQ(h.resolutionX, resolution);
    EXPECT_LE(gGraphicsState.hardcopyColours, 256);
    // A target resize only rescales.
    gGraphicsState.targetWidth = 100;
    Op(DeviceOp::kBeginPlot, -1);
    EXPECT_FLOAT_EQ(h.scaleX, static_cast<float>(p.pageWidth) / 100.0f);
    EXPECT_EQ(p.pagesStarted, 1);
}

TEST_F(PrinterDrawingTest, LinesAndPoints)
{
    ASSERT_EQ(resolution, 96) << "the pixel positions below assume a one-to-one page";
    Corners(10, 10, 60, 10);
    Op(DeviceOp::kLine);
    EXPECT_EQ(Pixel(30, 89), kBlack);
    EXPECT_EQ(Pixel(60, 89), kBlack); // the end pixel of a solid line
    EXPECT_EQ(Pixel(61, 89), kWhite);
    EXPECT_EQ(h.pagePending, -1);
    Corners(5, 5, 0, 0);
    Op(DeviceOp::kPoint);
    EXPECT_EQ(Pixel(5, 94), kBlack);
    EXPECT_EQ(Pixel(6, 94), kWhite);
}

TEST_F(PrinterDrawingTest, MonochromeColours)
{
    h.option(7) = 1;
    const struct {
        int model, colour;
        int white;
    } cases[] = {
        {kColourModelRgb, 0xFFFFFF, 1}, {kColourModelRgb, 0xFFFFFE, 0}, {kColourModelRgb, 0x00FF00, 0},
        {kColourModelNumbers, 0, 1},    {kColourModelNumbers, 1, 0},    {kColourModelNumbers, 200, 0},
    };
    for (const auto& c : cases) {
        gGraphicsState.colourModel = c.model;
        gGraphicsState.currentRgb = c.colour;
        gGraphicsState.currentNumber = c.colour;
        Op(DeviceOp::kColour);
        const int v = c.white ? 255 : 0;
        EXPECT_EQ(p.current, (std::array<int, 3>{v, v, v})) << c.model << " " << c.colour;
        EXPECT_EQ(p.gdiCurrent, RGB(v, v, v));
    }
}

TEST_F(PrinterDrawingTest, HalftoneFillWithinTheArea)
{
    ASSERT_EQ(resolution, 96);
    SetRgb(0xFFFFFF);
    SetRgb(0x0000FF); // red over white
    gGraphicsState.fillMode = kFillHalftone;
    gGraphicsState.deviceArea = {0.0f, 0.0f, 130.0f, 99.99f};
    Corners(100, 40, 150, 80);
    Op(DeviceOp::kRectangleHalftone, 1);
    EXPECT_EQ(p.fill, (std::array<int, 3>{255, 127, 127}));
    EXPECT_EQ(Pixel(120, 40), 0x7F7FFF);
    EXPECT_EQ(Pixel(140, 40), kWhite); // beyond the graphics area
    EXPECT_EQ(Pixel(90, 40), kWhite);
    Op(DeviceOp::kRectangleHalftone, -1);
    EXPECT_EQ(p.gdiCurrent, RGB(255, 0, 0));
    EXPECT_EQ(p.gdiPrevious, RGB(255, 255, 255));

    // Colour swap 1 inverts the fill as well.
    h.option(6) = 1;
    gGraphicsState.fillMode = kFillSolid;
    Op(DeviceOp::kColour);
    Op(DeviceOp::kRectangleHalftone, 1);
    EXPECT_EQ(p.fill, (std::array<int, 3>{0, 255, 255}));
}

TEST_F(PrinterDrawingTest, TextAndItsWidth)
{
    gTextState.requestedFamily = TextFontFamily::kSwiss;
    gTextState.spacing = TextSpacing::kFixedPitch;
    gTextState.justification = 0;
    gTextState.deviceAngle = 0.0f;
    gTextState.deviceCos = 1.0f;
    gTextState.deviceSinByK = 0.0f;
    gTextState.charWidth = 0.05f;
    gTextState.charHeight = 0.2f;
    h.textScaleX = h.scaleX;
    h.textScaleY = h.scaleY;
    Op(DeviceOp::kFont);
    EXPECT_GT(p.cellHeight, 0);
    EXPECT_GT(p.ascent, 0);
    PutText(std::span<char>(gDeviceTextBuffer.text), "HHHH");
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.IX[0] = 4;
    b.IX[1] = 3;
    b.IX[3] = 1;
    b.X[0] = 20;
    b.Y[0] = 50;
    b.X[2] = 100;
    b.Y[2] = 50;
    Op(DeviceOp::kText);
    EXPECT_EQ(b.IX[3], 0);
    int dark = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            dark += Pixel(x, y) == kBlack;
    EXPECT_GT(dark, 20);
    b.N = 0;
    Op(DeviceOp::kTextWidth, 4);
    EXPECT_EQ(b.N, 1);
    EXPECT_GT(b.X[0], 0.0f);
}

TEST_F(PrinterDrawingTest, PagesStartOnlyWhenDrawnOn)
{
    Op(DeviceOp::kEndPage);
    EXPECT_EQ(p.pageStartPending, 1);
    EXPECT_EQ(h.pagePending, 0);
    Corners(1, 1, 2, 2);
    Op(DeviceOp::kLine);
    EXPECT_EQ(p.pagesStarted, 2);
    Op(DeviceOp::kEndPage);
    Op(DeviceOp::kEndPlot); // no empty third page
    EXPECT_EQ(p.pagesStarted, 2);
    EXPECT_EQ(p.jobActive, 0);
    EXPECT_EQ(p.dc, nullptr);
    // Drawing without a job does nothing.
    Op(DeviceOp::kLine);
    EXPECT_EQ(p.pagesStarted, 2);
}

// With a default printer (for example a CUPS PDF printer that Wine lists), a
// plot becomes a print job whose page arrives as a PDF file.
TEST(PrinterJob, APlotArrivesAsAPrintedPage)
{
    GraphicsStateGuard guard;
    PrinterGuard printer;
    int v[9], error = 0;
    GdiPrinterInfo(1, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], error);
    if (error != 0)
        GTEST_SKIP() << "no default printer is configured (Windows error " << error << ")";
    // cups-pdf writes the job of the Unix user into that user's ~/PDF.
    const std::string folder = unixtools::CupsPdfFolder();
    if (!unixtools::Available("/usr/bin/pdftoppm") || folder.empty())
        GTEST_SKIP() << "pdftoppm or the Unix home folder is missing: the printed page cannot be read back";

    HardcopyState& h = gHardcopyState;
    h.dispatchDriver = kDriverWindowsPrinter;
    h.printerSetup = 1;
    gDeviceParameterBlock.N = 0;
    Op(DeviceOp::kInitialise);
    ASSERT_EQ(gPrinterDrawingState.infoError, 0);
    Target();
    gGraphicsState.screenOutput = 0;
    const std::string title = "kvbtest_print_" + std::to_string(GetTickCount());
    std::string_view titleView = title;
    YYHardcopyOpen(nullptr, &titleView);
    ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    ASSERT_EQ(gPrinterDrawingState.jobActive, 1);
    // A black bar across the middle and a frame.
    gGraphicsState.fillMode = kFillSolid;
    Corners(20, 40, 180, 60);
    YYHardcopyCallIfOpen(DeviceOp::kRectangleHalftone);
    Corners(1, 1, 198, 1);
    YYHardcopyCallIfOpen(DeviceOp::kLine);
    std::string_view close = "S";
    YYHardcopyOpen(&close);
    EXPECT_EQ(gPrinterDrawingState.jobActive, 0);

    const std::string pdf = unixtools::CupsPdfFile(folder, title);
    ASSERT_FALSE(pdf.empty()) << "no PDF named after " << title << " in " << folder;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string png = std::string(temp) + title + ".png";
    std::string out;
    ASSERT_TRUE(unixtools::PdfPageToPng(pdf, png.substr(0, png.size() - 4), 20, &out)) << out;
    std::vector<std::uint8_t> bytes;
    int osError = 0;
    ASSERT_EQ(ImageFileLoad(png, bytes, osError), 0);
    ImageHeader header;
    std::vector<int> pixels;
    int zlib = 0;
    ASSERT_EQ(ImageDecode(bytes, header, pixels, zlib), 0);
    EXPECT_GT(header.width, header.height); // landscape (option 5)
    int dark = 0;
    for (int c : pixels)
        dark += (c & 0xFF) < 64 && ((c >> 8) & 0xFF) < 64 && ((c >> 16) & 0xFF) < 64;
    EXPECT_GT(dark, 50) << "the bar is missing from the printed page";
    DeleteFileA(png.c_str());
    DeleteFileA(pdf.c_str());
}

} // namespace
