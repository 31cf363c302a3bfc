// The plot files as independent readers see them: Ghostscript renders the
// PostScript and encapsulated files, xmllint checks and rsvg-convert renders
// the SVG files. A sheet of shapes, dashes and text of every family is drawn
// through both drivers and read back pixel by pixel; images are drawn at the
// four page rotations; bad input still gives files the readers accept.
#include "plot_file_fixture.h"

#include <cmath>
#include <functional>

#include "hardcopy/hardcopy_drivers.h"
#include "image_test_support.h"

namespace {

using namespace plotfile;

constexpr float kPi = 3.14159265f;
constexpr int kBlue = 0xFF0000, kRed = 0x0000FF, kGreen = 0x00FF00, kWhiteRgb = 0xFFFFFF;
constexpr int kMagenta = 0xFF00FF, kOrange = 0x0080FF, kYellow = 0x00FFFF;

// Device units to pixels of a reader's picture.
using PixelOf = std::function<std::pair<int, int>(float x, float y)>;

// The sheet, in device units (0..480 by 0..460), the same for both drivers.
void DrawSheet()
{
    // A blue rectangle and a half-tone of red over white.
    Rgb(kBlue);
    Corners(40, 40, 140, 100);
    Shape(DeviceOp::kRectangleHalftone, kFillSolid);
    Rgb(kWhiteRgb);
    Rgb(kRed);
    Corners(200, 40, 300, 100);
    Shape(DeviceOp::kRectangleHalftone, kFillHalftone);
    // A green disc.
    Rgb(kGreen);
    Corners(400, 70, 30, 30);
    Block().X[2] = 1.0f;
    Shape(DeviceOp::kEllipseHalftone, kFillSolid);
    // A thick dashed black line.
    Rgb(0);
    YYHardcopyOption(9, 40);
    gGraphicsState.lineStyle = 2;
    Send(DeviceOp::kLineStyle);
    Line(40, 150, 440, 150);
    YYHardcopyOption(9, 5);
    gGraphicsState.lineStyle = 0;
    Send(DeviceOp::kLineStyle);
    // Text of the four families, with the characters PostScript escapes and
    // a Latin-1 letter.
    const int families[] = {TextFontFamily::kFixed, TextFontFamily::kSwiss, TextFontFamily::kRoman,
                            TextFontFamily::kSymbol};
    for (int i = 0; i < 4; ++i) {
        Font(families[i], i % 4, 0, TextSpacing::kFixedPitch, 14, 28);
        const float y = 200.0f + 45.0f * static_cast<float>(i);
        Text("H(b)\\\xe9", 40, y, 200, y);
    }
    // Text turned by 90 degrees, reading upwards.
    Font(TextFontFamily::kSwiss, 0, 0, TextSpacing::kFixedPitch, 14, 28, 90.0f);
    Text("HHHH", 470, 200, 470, 290);
    // A magenta triangle and an orange quarter sector.
    Rgb(kMagenta);
    Points({{200, 380}, {300, 380}, {250, 440}});
    Shape(DeviceOp::kTriangleHalftone, kFillSolid);
    Rgb(kOrange);
    Corners(400, 400, 40, 40);
    Block().X[2] = 0.0f;
    Block().Y[2] = kPi / 2;
    Shape(DeviceOp::kSectorHalftone, kFillSolid);
    Rgb(0);
}

// What the sheet must look like in a picture, PIXEL placing device points.
void CheckSheet(const Picture& p, const PixelOf& pixel)
{
    auto at = [&](float x, float y) {
        const auto [px, py] = pixel(x, y);
        return p.At(px, py);
    };
    EXPECT_TRUE(Near(at(90, 70), kBlue)) << std::hex << at(90, 70);
    EXPECT_TRUE(Near(at(250, 70), 0x8080FF, 12)) << std::hex << at(250, 70);
    EXPECT_TRUE(Near(at(400, 70), kGreen)) << std::hex << at(400, 70);
    EXPECT_TRUE(Near(at(250, 400), kMagenta)) << std::hex << at(250, 400);
    EXPECT_TRUE(Near(at(414, 414), kOrange)) << std::hex << at(414, 414);
    EXPECT_TRUE(Near(at(386, 386), kWhiteRgb)) << std::hex << at(386, 386);
    EXPECT_TRUE(Near(at(170, 70), kWhiteRgb)) << std::hex << at(170, 70);
    // The dashes: dark and light runs along the line.
    int runs = 0;
    bool dark = false;
    for (float x = 50; x <= 430; x += 1.0f) {
        const bool d = Dark(at(x, 150));
        runs += d && !dark ? 1 : 0;
        dark = d;
    }
    EXPECT_GE(runs, 20);
    EXPECT_LE(runs, 40);
    // Ink on each text line, none between them.
    for (int i = 0; i < 4; ++i) {
        const float y = 200.0f + 45.0f * static_cast<float>(i);
        const auto [x1, y1] = pixel(40, y + 12);
        const auto [x2, y2] = pixel(220, y - 12);
        EXPECT_GT(p.Count(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), Dark), 40)
            << "text line " << i;
    }
    // The turned text stands in a column to the left of its baseline.
    const auto [cx1, cy1] = pixel(448, 300);
    const auto [cx2, cy2] = pixel(482, 190);
    const auto [rx1, ry1] = pixel(300, 300);
    const auto [rx2, ry2] = pixel(447, 190);
    EXPECT_GT(p.Count(cx1, cy1, cx2, cy2, Dark), 200);
    EXPECT_EQ(p.Count(rx1, ry1, rx2, ry2, Dark), 0);
}

class RenderTest : public PlotFileTest {};

TEST_F(RenderTest, PostScriptSheetAndImagesAtFourRotations)
{
    if (ReaderMissing("/usr/bin/gs"))
        GTEST_SKIP() << "Ghostscript is not installed";
    // A 500 x 700 point picture, upright, at (50, 50) on the page: one point
    // per device unit.
    Target(501, 701);
    const std::string ps = Open(kDriverPostScript, "sheet.ps", {{1, 500}, {2, 700}, {3, 50}, {4, 50}, {5, 0}});
    DrawSheet();
    // A 4 x 4 image, its quadrants red, green (top) and blue, yellow (bottom).
    const std::string bmp = TempPath("quadrants.bmp");
    Remember(bmp);
    {
        imagetest::ByteVec rows;
        for (int y = 3; y >= 0; --y) // bottom-up
            for (int x = 0; x < 4; ++x) {
                const int c = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kYellow);
                rows.insert(rows.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                         static_cast<std::uint8_t>(c)});
            }
        const imagetest::ByteVec bytes = imagetest::Bmp(4, 4, 24, 0, {}, rows);
        std::ofstream(bmp, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
    }
    const int rotations[] = {0, 90, 180, 270};
    for (int r : rotations) {
        Block().N = 0;
        Send(DeviceOp::kEndPage);
        gGraphicsState.pageRotation = r;
        PutText(std::span<char>(gDeviceTextBuffer.text), bmp);
        Block().IX[1] = 4;
        Block().IY[1] = 4;
        Send(DeviceOp::kImageFile);
        EXPECT_EQ(Block().M, 0) << r;
        gGraphicsState.pageRotation = 0;
    }
    Close();

    const Rendering g = Ghostscript(ps);
    EXPECT_EQ(g.status, 0) << g.output;
    EXPECT_EQ(g.output, "");
    ASSERT_EQ(g.pages.size(), 5u) << "one picture per page";
    // Ghostscript's default paper, whichever it is here, holds the picture.
    const Picture& sheet = g.pages[0];
    ASSERT_GE(sheet.width, 560);
    ASSERT_GE(sheet.height, 760);
    const int top = sheet.height - 1 - 50; // the picture's y = 0, in rows from the top
    CheckSheet(sheet, [top](float x, float y) {
        return std::pair<int, int>(50 + static_cast<int>(x), top - static_cast<int>(y));
    });

    // Turned clockwise by the page rotation, each page shows the image
    // upright: its red quadrant lies where the rotation takes the top left.
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(rotations[i]);
        const Picture& p = g.pages[i + 1];
        auto quadrant = [&](double fx, double fy) {
            return p.At(50 + static_cast<int>(fx * 500), top - static_cast<int>(fy * 700));
        };
        // Quadrant centres as fractions of the area, counter-clockwise from
        // the top left: top left, bottom left, bottom right, top right.
        const double corner[4][2] = {{0.25, 0.75}, {0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}};
        const int colours[4] = {kRed, kBlue, kYellow, kGreen}; // the image's quadrants in that order
        for (size_t k = 0; k < 4; ++k) {
            const double* c = corner[(k + i) % 4];
            EXPECT_TRUE(Near(quadrant(c[0], c[1]), colours[k], 8))
                << "quadrant " << k << ": " << std::hex << quadrant(c[0], c[1]);
        }
    }
}

TEST_F(RenderTest, EncapsulatedPictureSizes)
{
    if (ReaderMissing("/usr/bin/gs"))
        GTEST_SKIP() << "Ghostscript is not installed";
    const struct {
        int rotation, width, height;
    } cases[] = {{1, 540, 756}, {0, 756, 540}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rotation);
        std::vector<std::pair<int, int>> options = {{22, 1}};
        if (c.rotation == 0)
            options.push_back({5, 0});
        const std::string eps = Open(kDriverPostScript, "picture.eps", options);
        Rgb(kBlue);
        Corners(-100, -100, 900, 900); // clamped to the graphics area
        Shape(DeviceOp::kRectangleHalftone, kFillSolid);
        Close();
        const Rendering g = Ghostscript(eps, true);
        EXPECT_EQ(g.status, 0) << g.output;
        EXPECT_EQ(g.output, "");
        ASSERT_EQ(g.pages.size(), 1u);
        EXPECT_EQ(g.pages[0].width, c.width);
        EXPECT_EQ(g.pages[0].height, c.height);
        EXPECT_TRUE(Near(g.pages[0].At(c.width / 2, c.height / 2), kBlue));
        EXPECT_TRUE(Near(g.pages[0].At(2, 2), kBlue));
    }
}

TEST_F(RenderTest, SvgSheet)
{
    if (ReaderMissing("/usr/bin/rsvg-convert") || ReaderMissing("/usr/bin/xmllint"))
        GTEST_SKIP() << "rsvg-convert or xmllint is not installed";
    Target(641, 481);
    const std::string svg = Open(kDriverSvg, "sheet.svg");
    DrawSheet();
    Close();
    const Rendering r = Rsvg(svg);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_EQ(r.pages[0].width, 640);
    EXPECT_EQ(r.pages[0].height, 480);
    CheckSheet(r.pages[0], [](float x, float y) {
        return std::pair<int, int>(static_cast<int>(x), 480 - static_cast<int>(y));
    });
}

// The width a driver answers for a text (operation 25) is the width the
// reader prints it at: each family in fixed pitch and in the device's own
// proportional spacing, left-justified at x = 40, ends where its ink ends
// (within the last letter's side bearing). The symbol family has no widths.
using PagePixelOf = std::function<std::pair<int, int>(const Picture& page, float x, float y)>;
void CheckAnsweredWidths(int driver, const std::string& path, const std::function<Rendering(const std::string&)>& read,
                         const PagePixelOf& pixelOn)
{
    const std::string_view text = "Hamburg milk Hollow H";
    const int families[] = {TextFontFamily::kFixed, TextFontFamily::kSwiss, TextFontFamily::kRoman};
    const int spacings[] = {TextSpacing::kFixedPitch, TextSpacing::kDevice};
    std::vector<float> widths;
    for (int family : families)
        for (int spacing : spacings) {
            const float y = 100.0f + 50.0f * static_cast<float>(widths.size());
            Font(family, 0, 0, spacing, 12, 24);
            PutText(std::span<char>(gDeviceTextBuffer.text), text);
            Block().M = static_cast<int>(text.size());
            Block().N = 0;
            Send(DeviceOp::kTextWidth);
            EXPECT_EQ(Block().N, 1) << driver << " family " << family;
            widths.push_back(Block().X[0]);
            Text(text, 40, y, 40 + widths.back(), y);
        }
    Font(TextFontFamily::kSymbol, 0, 0, TextSpacing::kFixedPitch, 12, 24);
    Block().N = 0;
    Send(DeviceOp::kTextWidth);
    EXPECT_EQ(Block().N, 0);
    std::string_view close = "S";
    YYHardcopyOpen(&close);

    const Rendering r = read(path);
    EXPECT_EQ(r.status, 0) << r.output;
    ASSERT_EQ(r.pages.size(), 1u);
    const Picture& p = r.pages[0];
    auto pixel = [&](float x, float y) { return pixelOn(p, x, y); };
    for (size_t i = 0; i < widths.size(); ++i) {
        SCOPED_TRACE(std::to_string(driver) + " line " + std::to_string(i));
        const float y = 100.0f + 50.0f * static_cast<float>(i);
        const auto [x1, y1] = pixel(0, y + 14);
        const auto [x2, y2] = pixel(500, y - 14);
        int right = -1;
        for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
            if (p.Count(x, std::min(y1, y2), x, std::max(y1, y2), Dark) > 0)
                right = x;
        const int end = pixel(40 + widths[i], y).first;
        // The em is 1.65 or 1.72 character widths: 20 device units; the
        // last letter's side bearing is below a tenth of it.
        EXPECT_LE(right, end + 1);
        EXPECT_GE(right, end - 4);
    }
}

TEST_F(RenderTest, AnsweredTextWidthsAreTheWidthsTheReadersPrint)
{
    if (!ReaderMissing("/usr/bin/gs")) {
        Target(501, 701);
        const std::string ps = Open(kDriverPostScript, "widths.ps", {{1, 500}, {2, 700}, {3, 50}, {4, 50}, {5, 0}});
        CheckAnsweredWidths(kDriverPostScript, ps, [](const std::string& f) { return Ghostscript(f); },
                            [](const Picture& page, float x, float y) {
                                return std::pair<int, int>(50 + static_cast<int>(x),
                                                           page.height - 1 - 50 - static_cast<int>(y));
                            });
    }
    if (!ReaderMissing("/usr/bin/rsvg-convert") && !ReaderMissing("/usr/bin/xmllint")) {
        Target(641, 481);
        const std::string svg = Open(kDriverSvg, "widths.svg");
        CheckAnsweredWidths(kDriverSvg, svg, [](const std::string& f) { return Rsvg(f); },
                            [](const Picture&, float x, float y) {
                                return std::pair<int, int>(static_cast<int>(x), 480 - static_cast<int>(y));
                            });
    }
}

// Texts of 260 "(" and "\", control codes in the title and the text, page
// options near 2^31, an ellipse of height ratio 0, images that are missing,
// no image or of another size: the readers still accept the files.
TEST_F(RenderTest, BadInputStillGivesReadableFiles)
{
    if (ReaderMissing("/usr/bin/gs") || ReaderMissing("/usr/bin/xmllint"))
        GTEST_SKIP() << "Ghostscript or xmllint is not installed";
    const std::string notImage = TempPath("bad.bmp");
    Remember(notImage);
    std::ofstream(notImage, std::ios::binary) << "BM but nothing after it";
    auto draw = [&](bool postscript) {
        Font(TextFontFamily::kRoman, 0, 1, TextSpacing::kDevice, 10, 20);
        Text(std::string(260, '('), 100, 100, 300, 100);
        Text(std::string(260, '\\'), 100, 150, 300, 150);
        Text(std::string("ctrl\x01\x04\x1a\r\nend\x7f\x96"), 100, 200, 300, 200);
        Corners(100, 100, 20, 20);
        Block().X[2] = 0.0f;
        Shape(DeviceOp::kEllipseHalftone, kFillSolid);
        Corners(100, 100, 20, 20);
        Block().X[2] = 0.0f;
        Block().Y[2] = 1.0f;
        Send(DeviceOp::kArc);
        Points({{0, 0}, {3.0e9f, 0}, {0, -3.0e9f}});
        Shape(DeviceOp::kPolygonHalftone, kFillSolid);
        for (const std::string& file : {TempPath("missing.png"), notImage}) {
            PutText(std::span<char>(gDeviceTextBuffer.text), file);
            Block().IX[1] = Block().IY[1] = 2000000000;
            Block().M = 0;
            Send(DeviceOp::kImageFile);
            if (postscript) {
                EXPECT_NE(Block().M, 0);
            }
        }
    };
    const std::string title = "Title\x01\x04\r\n)(\\%";
    std::string_view titleView = title;
    for (int big : {0, 1}) {
        SCOPED_TRACE(big);
        std::vector<std::pair<int, int>> options;
        if (big)
            options = {{1, 2147483000}, {2, 2147483001}, {3, 2147483002}, {4, -2147483000}};
        const std::string ps = Open(kDriverPostScript, "bad.ps", options, &titleView);
        draw(true);
        Close();
        const Rendering g = Ghostscript(ps);
        EXPECT_EQ(g.status, 0) << g.output;
        EXPECT_EQ(g.output, "");
        EXPECT_EQ(g.pages.size(), 1u);
        EXPECT_EQ(ReadFile(ps).find('*'), std::string::npos) << "asterisks in the file";

        Target(641, 481);
        const std::string svg = Open(kDriverSvg, "bad.svg", options, &titleView);
        draw(false);
        Close();
        std::string lint;
        EXPECT_EQ(unixtools::Run("/usr/bin/xmllint --noout '" + unixtools::UnixPath(svg) + "'", &lint), 0) << lint;
        EXPECT_EQ(lint, "");
        EXPECT_EQ(ReadFile(svg).find('*'), std::string::npos) << "asterisks in the file";
        if (!big && !ReaderMissing("/usr/bin/rsvg-convert")) {
            const Rendering r = Rsvg(svg);
            EXPECT_EQ(r.status, 0) << r.output;
            EXPECT_EQ(r.pages.size(), 1u);
        }
        Target(757, 541);
    }
}

} // namespace
