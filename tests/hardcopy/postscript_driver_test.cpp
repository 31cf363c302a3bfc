// The PostScript driver's lines: the document frame (header, prolog, fonts,
// pages, encapsulated output, title, line prefix) and, as golden-line
// tables, what each drawing operation writes: number forms, path joining,
// the path limit, lazy colours, colour swap, fills, ellipses, arcs, text and
// images. The file is opened through the library's hardcopy open, so every
// plot starts with the state that open sends (width, join, cap, clip, font,
// colour); a test reads what follows its mark.
#include "plot_file_fixture.h"

#include <cmath>
#include <functional>

#include "graphics/lines.h"
#include "graphics/rectangles.h"
#include "graphics/trapezia.h"
#include "hardcopy/hardcopy_drivers.h"
#include "image_test_support.h"

namespace {

using namespace plotfile;
using Strings = std::vector<std::string>;

constexpr float kPi = 3.14159265f;

class PostScriptTest : public PlotFileTest {
protected:
    // The lines from the mark on, with the mark set right after the open.
    Strings Draw(const std::function<void()>& draw, std::vector<std::pair<int, int>> options = {})
    {
        const std::string path = Open(kDriverPostScript, "draw.ps", std::move(options));
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        Mark();
        draw();
        Close();
        return LinesAfterMark(path);
    }
};

// LINES followed by what a page drawn on ends with when the plot closes.
Strings WithPageEnd(Strings lines)
{
    for (const char* l : {"/#copies 1 def", "gsave showpage grestore", "%%EOF", "initgraphics", " \x04"})
        lines.push_back(l);
    return lines;
}

// The first lines of LINES must be WANT.
void ExpectStartsWith(const Strings& lines, const Strings& want)
{
    ASSERT_GE(lines.size(), want.size()) << testing::PrintToString(lines);
    EXPECT_EQ(Strings(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(want.size())), want)
        << testing::PrintToString(lines);
}

TEST_F(PostScriptTest, InitialisationDescribesTheDevice)
{
    HardcopyState& h = gHardcopyState;
    YYHardcopySelect(1, kDriverPostScript);
    EXPECT_EQ(h.driverNumber, kDriverPostScript);
    const int options[][2] = {{1, 756}, {2, 540}, {3, 42}, {4, -20}, {5, 1}, {8, 1}, {9, 5}, {15, 1}, {16, 255}, {22, 0}};
    for (const auto& o : options)
        EXPECT_EQ(h.option(o[0]), o[1]) << "option " << o[0];
    EXPECT_EQ(std::string(gDeviceCapabilityString[kHardcopySide].data(), kCapabilityLength),
              "00000111111111100010011011110");
    EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), "quilplot.ps");
    EXPECT_EQ(h.printCommandAllowed, 1);
    EXPECT_EQ(h.resolutionX, 600);
    EXPECT_EQ(gGraphicsState.hardcopyColours, 256);
    EXPECT_EQ(gTextState.deviceProportional[kTextHardcopy], 1);
    EXPECT_EQ(gTextState.sizeLimit[kTextHardcopy], kNoTextSizeLimit);
    // Option 22 turns the default name's extension.
    YYHardcopyOption(22, 1);
    EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), "quilplot.eps");

    // The query answers 2 and changes nothing else.
    h.option(1) = 99;
    gDeviceParameterBlock.N = kDriverNumberQuery;
    XXPS(DeviceOp::kInitialise);
    EXPECT_EQ(gDeviceParameterBlock.N, kDriverPostScript);
    EXPECT_EQ(h.option(1), 99);
}

TEST_F(PostScriptTest, HeaderAndTrailerWithDefaultOptions)
{
    const std::string path = Open(kDriverPostScript, "header.ps");
    EXPECT_FLOAT_EQ(gHardcopyState.scaleX, 1.0f); // 756 points over 756 units
    EXPECT_FLOAT_EQ(gHardcopyState.scaleY, 1.0f);
    Close();
    const Strings lines = Lines(ReadFile(path));
    ExpectStartsWith(lines, {
        "%!PS-Adobe-3.0",
        "%%Creator: K.V.B. PostScript driver",
        "%%EndComments",
        "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def",
        "/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def",
        "/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def",
        "/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def",
        "/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def",
        "%%EndProlog",
        "/Courier ff",
        "dup length dict begin",
        "{1 index /FID ne {def} {pop pop} ifelse} forall",
        "/Encoding ISOLatin1Encoding def",
        "currentdict end /Courier-1 exch definefont pop",
        "/Courier-Bold ff",
    });
    ASSERT_EQ(lines.size(), 9u + 64u + 18u);
    const Strings fonts(lines.begin() + 9, lines.begin() + 9 + 64);
    EXPECT_EQ(fonts[5 * 7], "/Helvetica-BoldOblique ff");
    EXPECT_EQ(fonts[5 * 8], "/Times-Roman ff");
    EXPECT_EQ(fonts[5 * 12 - 1], "currentdict end /Times-4 exch definefont pop");
    EXPECT_EQ(Strings(fonts.end() - 4, fonts.end()),
              (Strings{"/Symbol ff", "dup length dict begin", "{1 index /FID ne {def} {pop pop} ifelse} forall",
                       "currentdict end /Symbol exch definefont pop"}));
    // The rotated page, its translation (the y offset less 540), the page
    // comment, then the state the hardcopy open sends; no page was drawn on,
    // so the trailer follows without a page output.
    EXPECT_EQ(Strings(lines.begin() + 73, lines.end()),
              (Strings{"90.0 ro", "42.0 -560.0 translate", "newpath", "%%Page: 1 1", "0.50 w", "0 setlinejoin",
                       "5.0 setmiterlimit", "0 setlinecap", "initclip", "0.0 0.0 m", "757.0 0.0 l", "757.0 541.0 l",
                       "0.0 541.0 l", "clip", "newpath", "%%EOF", "initgraphics", " \x04"}));
}

TEST_F(PostScriptTest, EncapsulatedPictures)
{
    struct Case {
        int rotation;
        const char* box;
        const char* translation;
    } cases[] = {
        {1, "%%BoundingBox: 0 0 540 756", "0.0 -540.0 translate"},
        {0, "%%BoundingBox: 0 0 756 540", "0.0 0.0 translate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        const std::string path = Open(kDriverPostScript, "eps.eps", {{22, 1}, {5, c.rotation}});
        Mark();
        Line(1, 1, 2, 2);
        Block().N = 0;
        Send(DeviceOp::kEndPage); // another page follows: only its comment
        Send(DeviceOp::kClip);    // no clip in an encapsulated picture
        Close();
        const Strings lines = Lines(ReadFile(path));
        ExpectStartsWith(lines, {"%!PS-Adobe-3.0 EPSF-3.0", c.box, "%%Creator: K.V.B. PostScript driver"});
        const Strings tail = LinesAfterMark(path);
        EXPECT_EQ(tail, (Strings{"1.0 1.0 m", "2.0 2.0 l", "0.0 0.0 0.0 g", "s", "%%Page: 2 2", "%%EOF"}));
        const auto at = std::find(lines.begin(), lines.end(), c.translation);
        EXPECT_NE(at, lines.end());
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "90.0 ro"), c.rotation);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "initclip"), 0);
    }
}

TEST_F(PostScriptTest, TitleCopiesPagesAndLinePrefix)
{
    struct Case {
        std::string title;
        const char* line;
    } cases[] = {
        {"        ", "%%Title:"},
        {"  Splines\tand\x01  knots ", "%%Title: Splines and knots"},
    };
    for (const Case& c : cases) {
        std::string_view title = c.title;
        const std::string path = Open(kDriverPostScript, "title.ps", {{8, 1000}, {17, 1}}, &title);
        Line(1, 1, 2, 2);
        Block().N = 0;
        Send(DeviceOp::kEndPage);
        Line(1, 1, 2, 2);
        Close();
        const Strings lines = Lines(ReadFile(path));
        ASSERT_GT(lines.size(), 3u);
        EXPECT_EQ(lines[1], std::string(" ") + c.line);
        for (const std::string& l : lines)
            EXPECT_EQ(l.substr(0, 1), " ") << l;
        // Copies above 999 are written as 999; the last page gets no comment.
        EXPECT_EQ(std::count(lines.begin(), lines.end(), " /#copies 999 def"), 2);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), " %%Page: 2 2"), 1);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), " %%Page: 3 3"), 0);
        EXPECT_EQ(lines.back(), " \x04");
    }
}

// Golden lines of drawing operations: what follows the mark, up to the end.
struct Golden {
    const char* name;
    std::vector<std::pair<int, int>> options;
    std::function<void()> draw;
    Strings lines;
};

TEST_F(PostScriptTest, DrawingOperationsGoldenLines)
{
    auto with = WithPageEnd;
    const Golden cases[] = {
        {"joined lines; a colour is written only before the stroke that uses it", {},
         [] {
             Rgb(0x000000); // the same colour: nothing
             Line(10, 10, 20, 20);
             Line(20, 20, 30, 10);
             Rgb(0x0000FF); // strokes the path in black first
             Line(30, 10, 40, 40);
         },
         with({"10.0 10.0 m", "20.0 20.0 l", "30.0 10.0 l", "0.0 0.0 0.0 g", "s", "30.0 10.0 m", "40.0 40.0 l",
               "1.0 0.0 0.0 g", "s"})},
        {"number forms, and values beyond the field brought to its limit", {},
         [] {
             Line(5.0f, 0.5f, -12.345f, 1.0e6f);
             Line(-1.0e6f, 3.0e38f, std::nanf(""), 0.0f);
         },
         with({"5.0 0.50 m", "-12.35 999999.99 l", "-99999.99 999999.99 m", "0.0 0.0 l", "0.0 0.0 0.0 g", "s"})},
        {"the path limit: the 11th segment strokes the first ten", {{16, 10}},
         [] {
             for (int i = 0; i < 11; ++i)
                 Line(static_cast<float>(i), 0, static_cast<float>(i + 1), 0);
         },
         with({"0.0 0.0 m", "1.0 0.0 l", "2.0 0.0 l", "3.0 0.0 l", "4.0 0.0 l", "5.0 0.0 l", "6.0 0.0 l", "7.0 0.0 l",
               "8.0 0.0 l", "9.0 0.0 l", "10.0 0.0 l", "0.0 0.0 0.0 g", "s", "10.0 0.0 m", "11.0 0.0 l", "s"})},
        {"a point is a line to itself", {},
         [] {
             Corners(7, 8, 0, 0);
             Send(DeviceOp::kPoint);
         },
         with({"7.0 8.0 m", "7.0 8.0 l", "0.0 0.0 0.0 g", "s"})},
        {"monochrome: every colour but number 0 is black", {{7, 1}},
         [] {
             Rgb(0x00FF00);
             Line(1, 1, 2, 2);
         },
         with({"1.0 1.0 m", "2.0 2.0 l", "0.0 0.0 0.0 g", "s"})},
        {"monochrome with colour swap 1: white", {{7, 1}, {6, 1}},
         [] {
             Rgb(0x00FF00);
             Line(1, 1, 2, 2);
         },
         with({"1.0 1.0 m", "2.0 2.0 l", "1.0 1.0 1.0 g", "s"})},
        {"half-tone fill: the mean of the previous and the current colour; outline mode draws nothing", {},
         [] {
             Rgb(0xFFFFFF);
             Rgb(0x0000FF);
             Corners(10, 10, 20, 30);
             Shape(DeviceOp::kRectangleHalftone, kFillHalftone);
             Corners(50, 50, 60, 60);
             Shape(DeviceOp::kRectangleHalftone, kFillOutline);
             Line(0, 0, 1, 1);
         },
         with({"10.0 10.0 m", "20.0 10.0 l", "20.0 30.0 l", "10.0 30.0 l", "1.0 0.50 0.50 g", "cf", "0.0 0.0 m",
               "1.0 1.0 l", "1.0 0.0 0.0 g", "s"})},
        {"a quadrilateral's fill pass comes with the orientation in M", {},
         [] {
             Points({{1, 1}, {5, 1}, {5, 5}, {1, 5}});
             Shape(DeviceOp::kQuadHalftone, kFillSolid, 2);
         },
         with({"1.0 1.0 m", "5.0 1.0 l", "5.0 5.0 l", "1.0 5.0 l", "0.0 0.0 0.0 g", "cf"})},
        {"a polygon beyond the field is clipped to it, not bent", {},
         [] {
             Rgb(0xFF0000);
             Points({{0, 0}, {2.0e6f, 0}, {0, 100}});
             Shape(DeviceOp::kPolygonHalftone, kFillSolid);
         },
         with({"0.0 0.0 m", "999999.99 0.0 l", "999999.99 50.0 l", "0.0 100.0 l", "0.0 0.0 1.0 g", "cf"})},
        {"an outlined ellipse keeps its colour inside gsave, so the next path writes it again", {},
         [] {
             Corners(100, 50, 20, 0);
             Block().X[2] = 0.5f; // height ratio
             Shape(DeviceOp::kEllipseHalftone, kFillOutline);
             Line(1, 1, 2, 2);
         },
         with({"gsave 1.0 0.5000 scale newpath", "100.0 100.0 20.0 90. 450. arc", "0.0 0.0 0.0 g", "s", "grestore",
               "1.0 1.0 m", "2.0 2.0 l", "0.0 0.0 0.0 g", "s"})},
        {"an ellipse whose y scale is zero, negative or no number draws nothing", {},
         [] {
             for (float ratio : {0.0f, -1.0f, std::nanf(""), 1.0e-6f}) {
                 Corners(100, 50, 20, 0);
                 Block().X[2] = ratio;
                 Shape(DeviceOp::kEllipseHalftone, kFillSolid);
             }
         },
         with({})},
        {"sector, pie arc and open arc", {},
         [] {
             Corners(100, 100, 50, 0);
             Block().X[2] = 0.0f;
             Block().Y[2] = kPi / 2;
             Shape(DeviceOp::kSectorHalftone, kFillSolid);
             gGraphicsState.fillMode = kFillOutline;
             gGraphicsState.hatchDensity = 2;
             Send(DeviceOp::kArc);
             gGraphicsState.hatchDensity = 3;
             Block().Y[2] = kPi;
             Send(DeviceOp::kArc);
         },
         with({"gsave 1.0 1.0000 scale newpath", "100.0 100.0 m", "100.0 100.0 50.0 0.0 90.0 arc", "0.0 0.0 0.0 g",
               "cf", "grestore", "gsave 1.0 1.0000 scale newpath", "100.0 100.0 m", "100.0 100.0 50.0 0.0 90.0 arc",
               "0.0 0.0 0.0 g", "cs", "grestore", "gsave 1.0 1.0000 scale newpath", "100.0 100.0 50.0 0.0 180.0 arc",
               "0.0 0.0 0.0 g", "s", "grestore"})},
        {"line style, width, join and cap", {},
         [] {
             gGraphicsState.lineStyle = 1;
             Send(DeviceOp::kLineStyle);
             Send(DeviceOp::kLineStyle); // unchanged: nothing
             gGraphicsState.lineStyle = 0;
             Send(DeviceOp::kLineStyle);
             YYHardcopyOption(9, 12);
             YYHardcopyOption(10, 1);
             YYHardcopyOption(11, 2);
         },
         {"[1 5] 4 d", "[] 0 d", "1.20 w", "1 setlinejoin", "2 setlinecap", "%%EOF", "initgraphics", " \x04"}},
        {"text at an angle with its font line; the next line starts with a move", {},
         [] {
             Font(TextFontFamily::kFixed, 0, 0, TextSpacing::kFixedPitch, 10, 20, 30.7f);
             Text("a(b)c", 100, 200, 150, 200);
             Line(1, 1, 2, 2);
         },
         with({"0.0 0.0 0.0 g", "/Courier-1 ff [16.5 0 0 20.0 0 0] ms", "102.76 195.36 m", "30.0 ro", "(a\\(b\\)c) lsh",
               "330.0 ro", "1.0 1.0 m", "2.0 2.0 l", "s"})},
        {"centred, right-justified and width-table text; fonts by family and style", {},
         [] {
             Font(TextFontFamily::kRoman, 3, 1, TextSpacing::kDevice, 10, 20);
             Text("\\x", 100, 200, 150, 200);
             Font(TextFontFamily::kSymbol, 3, 2, TextSpacing::kDevice, 10, 20);
             Text("ab", 100, 200, 150, 200);
             Font(TextFontFamily::kSwiss, 2, 2, TextSpacing::kWidthTable, 10, 20);
             Text("\x01\xe9", 100, 200, 150, 200);
         },
         {"0.0 0.0 0.0 g", "/Times-4 ff [17.2 0 0 16.4 0 0] ms", "125.0 194.60 m", "(\\\\x) csh",
          "/Symbol ff [17.2 0 0 16.4 0 0] ms", "150.0 194.60 m", "(ab) rsh", "/Helvetica-3 ff [13.3 0 0 16.4 0 0] ms",
          "100.0 194.60 m", "(\\001\xe9) lsh", "/#copies 1 def", "gsave showpage grestore", "%%EOF", "initgraphics",
          " \x04"}},
        {"font sizes beyond the field after the spacing factor", {},
         [] {
             Font(TextFontFamily::kFixed, 0, 0, TextSpacing::kDevice, 5000, 0.1f);
             Text("x", 0, 10, 1, 10);
         },
         with({"0.0 0.0 0.0 g", "/Courier-1 ff [999.9 0 0 0.8 0 0] ms", "0.0 9.97 m", "(x) lsh"})},
    };
    for (const Golden& c : cases) {
        SCOPED_TRACE(c.name);
        gTextState = TextState();
        Target(757, 541);
        EXPECT_EQ(Draw(c.draw, c.options), c.lines);
    }
}

TEST_F(PostScriptTest, ColourUnitsAndSwap)
{
    HardcopyState& h = gHardcopyState;
    gGraphicsState.colourModel = kColourModelRgb;
    struct Case {
        int colour, swap;
        std::array<float, 3> want;
    } cases[] = {
        {-1, 0, {0.0f, 0.0f, 0.0f}},
        {-1, 1, {1.0f, 1.0f, 1.0f}},
        {0x0000FF, 1, {0.0f, 1.0f, 1.0f}},
        {5 + 3 * 256 + 8 * 65536, 2, {1.0f - 5 / 255.0f, 1.0f - 3 / 255.0f, 1.0f - 8 / 255.0f}},
        {128 + 5 * 256 + 5 * 65536, 2, {128 / 255.0f, 5 / 255.0f, 5 / 255.0f}},
        {0xFCFCFC, 2, {3 / 255.0f, 3 / 255.0f, 3 / 255.0f}},
    };
    for (const Case& c : cases) {
        h.option(6) = c.swap;
        const std::array<float, 3> got = YYPSColourUnits(c.colour);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], c.want[i], 1e-6f) << c.colour << " swap " << c.swap;
    }
}

TEST_F(PostScriptTest, EscapedTextIsCutOnlyBetweenEscapes)
{
    const std::string text(260, '(');
    Strings lines = Draw([&] {
        Font(TextFontFamily::kFixed, 0, 0, TextSpacing::kFixedPitch, 10, 20);
        Text(text, 0, 10, 1, 10);
        Text(std::string(260, '\\'), 0, 10, 1, 10);
    });
    ASSERT_GE(lines.size(), 7u);
    std::string pairs;
    for (int i = 0; i < 124; ++i)
        pairs += "\\(";
    EXPECT_EQ(lines[3], "(" + pairs + ") lsh");
    EXPECT_EQ(lines[3].size(), 254u);
    std::string backslashes(248, '\\');
    EXPECT_EQ(lines[5], "(" + backslashes + ") lsh");
}

// A 2 x 1 image drawn into the graphics area: the hexadecimal pixels under
// colorimage. A missing file, a file that is no image and a size other than
// the file's picture write nothing and answer the error in M; a picture that
// memory cannot hold answers 13 (N the system's "not enough memory" code).
TEST_F(PostScriptTest, ImageFiles)
{
    using imagetest::Bmp;
    const std::string image = TempPath("two.bmp");
    const std::string text = TempPath("text.bmp");
    const std::string huge = TempPath("huge.bmp");
    Remember(image);
    Remember(text);
    Remember(huge);
    {
        // Run-length data that end at once: a good header of 2^31 - 1 by 2^31 - 1.
        const imagetest::ByteVec bytes = Bmp(0x7FFFFFFF, 0x7FFFFFFF, 8, 1, {0}, {0, 1});
        std::ofstream(huge, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    {
        // Bottom-up 24-bit rows: blue, green, red per pixel, padded to 4 bytes.
        const imagetest::ByteVec row = {0, 0, 255, 0, 255, 0, 0, 0};
        const imagetest::ByteVec bytes = Bmp(2, 1, 24, 0, {}, row);
        std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
        std::ofstream(text, std::ios::binary) << "not an image at all";
    }
    struct Case {
        std::string file;
        int width, height;
        int m;
    } cases[] = {
        {image, 2, 1, 0},
        {TempPath("missing.bmp"), 2, 1, 27},
        {text, 2, 1, 27},
        {image, 1, 2, 27},
        {image, 2, 2, 27},
        {image, 0, 0, 27},
        {huge, 0x7FFFFFFF, 0x7FFFFFFF, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        int m = -1;
        const Strings lines = Draw([&] {
            gErrorState.lastCode = 5;
            PutText(std::span<char>(gDeviceTextBuffer.text), c.file);
            Block().IX[1] = c.width;
            Block().IY[1] = c.height;
            Send(DeviceOp::kImageFile);
            m = Block().M;
        });
        EXPECT_EQ(m, c.m);
        if (c.m == 0) {
            EXPECT_EQ(gErrorState.lastCode, 5); // kept
            EXPECT_EQ(lines, WithPageEnd({"gsave", "/picstr 6 string def", "0.0 ro", "0.0 0.0 translate",
                                       "756.99 540.99 scale", "2 1 8 [2 0 0 -1 0 1]",
                                       "{currentfile picstr readhexstring pop}", "false 3", "colorimage",
                                       "ff000000ff00", "grestore"}));
        } else {
            EXPECT_EQ(gErrorState.lastCode, c.m);
            EXPECT_EQ(lines, (Strings{"%%EOF", "initgraphics", " \x04"}));
            if (c.m == 13)
                EXPECT_EQ(Block().N, kImageNoMemoryStatus);
        }
    }
}

// What the graphics layer sends, recorded and replayed into the driver: a
// polyline of 256 segments (the path limit 255 strokes the first 255 and
// starts again at the point before the last), a solid rectangle, and a
// trapezium whose fill pass arrives with its orientation 2 in M.
TEST_F(PostScriptTest, RecordedDrawingReplayed)
{
    YYHardcopySelect(1, kDriverPostScript);
    const std::string path = TempPath("replayed.ps");
    Remember(path);
    std::vector<RecordedOp> ops;
    {
        DeviceRecorder recorder(false, true);
        recorder.driverNumber = kDriverPostScript;
        IGrUnits(0.0f, 0.0f, 756.99f, 540.99f); // world units = device units
        std::string_view file = path;
        YYHardcopyOpen(&file);
        std::vector<float> x, y;
        for (int i = 0; i <= 256; ++i) {
            x.push_back(static_cast<float>(i));
            y.push_back(10.0f);
        }
        YYPolylineDraw(x.data(), y.data(), 257);
        const int solid = kFillSolid;
        YYFillSettings(&solid);
        IGrRectangle(20, 20, 40, 40);
        IGrTrapezium(100, 100, 200, 150, 60, 40, 2);
        Close();
        ops = recorder.ops;
    }
    const auto quads = std::count_if(ops.begin(), ops.end(), [](const RecordedOp& r) {
        return r.op == DeviceOp::kQuadHalftone && r.block.M == 2;
    });
    EXPECT_EQ(quads, 1) << "the trapezium's fill pass";
    Replay(ops, XXPS);
    const Strings lines = Lines(ReadFile(path));
    auto at = [&](const std::string& line) {
        return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    };
    const size_t start = at("0.0 10.0 m");
    ASSERT_LT(start + 260, lines.size());
    EXPECT_EQ(lines[start + 255], "255.0 10.0 l");
    EXPECT_EQ(Strings(lines.begin() + static_cast<std::ptrdiff_t>(start) + 256,
                      lines.begin() + static_cast<std::ptrdiff_t>(start) + 260),
              (Strings{"0.0 0.0 0.0 g", "s", "255.0 10.0 m", "256.0 10.0 l"}));
    const size_t rectangle = at("20.0 20.0 m");
    ASSERT_LT(rectangle + 5, lines.size());
    EXPECT_EQ(Strings(lines.begin() + static_cast<std::ptrdiff_t>(rectangle) - 1,
                      lines.begin() + static_cast<std::ptrdiff_t>(rectangle) + 5),
              (Strings{"s", "20.0 20.0 m", "40.0 20.0 l", "40.0 40.0 l", "20.0 40.0 l", "cf"}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "cf"), 2);
    for (const char* corner : {"100.0 100.0", "160.0 100.0", "200.0 150.0", "160.0 150.0"})
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.rfind(corner, 0) == 0; }))
            << corner;
    EXPECT_EQ(lines.back(), " \x04");
}

} // namespace
