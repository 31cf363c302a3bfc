// The HP-GL/2 driver: the begin of a plot, pens defined on first use and
// given back after a half-tone mean, raster fills of the black-and-white
// kinds, pages, and the application's graph through all five device kinds
// read back by hp2xx; callers' extreme values still give a file it reads.
#include <cmath>
#include <set>

#include "graphics/colours.h"
#include "graphics/rectangles.h"
#include "graph_file_fixture.h"
#include "plot_readers.h"

namespace {

class Hpgl2Test : public GraphFileTest {
protected:
    void OpenKind(int kind, const std::function<void()>& options = {}, const std::string* title = nullptr)
    {
        gHardcopyState.hpgl2Kind = kind;
        Open(kDriverHpgl2, "hpgl2.plt", options, title);
        ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    }
    static void Mark() { YYHpglLineWrite("MARK"); }
    static std::string Pen(int n)
    {
        int rgb = 0, r = 0, g = 0, b = 0;
        YYColourGet(n, rgb);
        YYRgbSplit(rgb, &r, &g, &b);
        return "PC" + std::to_string(n) + " " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
    }
    static std::string ColourComment(int n)
    {
        int rgb = 0;
        YYColourGet(n, rgb);
        return "CO\"1 " + std::to_string(rgb) + "\";";
    }
    static void Fill(int mode)
    {
        YYFillSettings(&mode);
    }
    static int Count(const std::vector<std::string>& lines, const std::string& line)
    {
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
};

TEST_F(Hpgl2Test, BeginPlotOfKind2)
{
    OpenKind(2);
    Close();
    const std::vector<std::string> lines = Lines();
    const std::vector<std::string> head = {
        "\x1b%0B", "IN; IP 0 0 10851 7916", "RO90; IP 0 0 10851 7916", "DT\x04", "DI1. 0.", "TR0",
        "AD1,14;SA", "NP256", "CO\"13 2 1.2 9\";", "CO\"2 0\";", "SC0 32760 0 32760",
    };
    ASSERT_GE(lines.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(head.size())), head);
    EXPECT_EQ(lines.back(), "\x1b%0A");
    // The state the open sends: width, style, join, cap, window, colour.
    const std::vector<std::string> state = {"PW0.142", "LT", "LA2 1", "LA1 1", "SC", "IW0 0 10851 7916",
                                            "SC0 32760 0 32760", Pen(223), "PU;SP223", ColourComment(223)};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 11, lines.begin() + 21), state);
    EXPECT_EQ(gHardcopyState.option(1), 769);
    EXPECT_EQ(gHardcopyState.option(2), 561);
}

TEST_F(Hpgl2Test, TitlePrefixAndTheOtherKinds)
{
    const std::string title = "Run 3;\x04 of\r\n";
    OpenKind(5, [] { YYHardcopyOption(17, 1); }, &title);
    Close();
    std::vector<std::string> lines = Lines();
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0], " \x1b%0B");
    EXPECT_EQ(lines[1], " CO: Run 3  of;");
    for (const std::string& l : lines)
        EXPECT_EQ(l.substr(0, 1), " ") << l;
    EXPECT_NE(std::find(lines.begin(), lines.end(), " CO\"13 5 1.2 9\";"), lines.end());

    // Kind 1: the standard font, two pens, no alternate font and no NP.
    OpenKind(1);
    Close();
    lines = Lines();
    EXPECT_EQ(Count(lines, "AD1,14;SA"), 0);
    EXPECT_EQ(Count(lines, "NP256"), 0);
    EXPECT_EQ(Count(lines, "CO\"13 1 1.5 9\";"), 1);
    EXPECT_EQ(Count(lines, "PU;SP1"), 1); // colour 223 on the black pen

    // Kind 4, a pen plotter: no PCL, a landscape page not turned, PG at a
    // page end.
    OpenKind(4);
    Mark();
    Reals({10, 20}, {10, 20});
    Op(DeviceOp::kLine);
    Op(DeviceOp::kEndPage, 32);
    Close();
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.find('\x1b'), std::string::npos);
    lines = Lines();
    EXPECT_EQ(lines[0], "IN; IP 0 0 15832 10851");
    EXPECT_EQ(lines[1], "RO0; IP 0 0 15832 10851");
    lines = LinesAfter("MARK");
    EXPECT_EQ(lines, (std::vector<std::string>{"PU437 546", "PD874 1093", "CO\"3 32\";", "PG"}));
}

TEST_F(Hpgl2Test, LinesAndPointsMoveOnlyWhenNeeded)
{
    OpenKind(2);
    Mark();
    Reals({10, 20}, {10, 20});
    Op(DeviceOp::kLine);
    Reals({20, 30}, {20, 10});
    Op(DeviceOp::kLine); // starts where the pen is
    Reals({30}, {10});
    Op(DeviceOp::kPoint);
    Points({30, 40, 50}, {10, 10, 11});
    Op(DeviceOp::kPolyline);
    Points({5}, {5});
    Op(DeviceOp::kPolyline);
    Close();
    // Deltas 437 (I, z), 0 (_) and 55 (M, b). The close ends the page.
    EXPECT_EQ(LinesAfter("MARK"),
              (std::vector<std::string>{"PU437 546", "PD874 1093", "PD1312 546", "PD1312 546", "PE7Iz_IzMb;",
                                        "PU218 273", "PE7;", "CO\"3 32\";", "\x1b%1A\x1b&l01X\f\x1b%0B",
                                        "\x1b%0A"}));
    EXPECT_EQ(gHardcopyState.pagePending, 0); // the close ended the page
}

TEST_F(Hpgl2Test, PensDefinedOnFirstUseAndGivenBackAfterAMean)
{
    OpenKind(2);
    Mark();
    IGrColourN(19);
    IGrColourN(19);
    IGrColourN(51);
    IGrColourN(19); // previous 51, current 19
    Fill(kFillHalftone);
    Reals({10, 20}, {10, 20});
    Op(DeviceOp::kRectangleHalftone, 1);
    Op(DeviceOp::kRectangleHalftone, -1);
    IGrColourN(236); // the pen of the mean gets its own colour again
    Fill(kFillSolid);
    Op(DeviceOp::kRectangleHalftone, 1);
    Op(DeviceOp::kRectangleHalftone, -1); // the current pen again, after any fill
    Close();
    int a = 0, b = 0;
    YYColourGet(51, a);
    YYColourGet(19, b);
    int ar, ag, ab, br, bg, bb;
    YYRgbSplit(a, &ar, &ag, &ab);
    YYRgbSplit(b, &br, &bg, &bb);
    const std::string mean = "PC236 " + std::to_string((ar + br) / 2) + " " + std::to_string((ag + bg) / 2) + " " +
                             std::to_string((ab + bb) / 2);
    const std::vector<std::string> expected = {
        Pen(19), "PU;SP 19", ColourComment(19),
        ColourComment(19),
        Pen(51), "PU;SP 51", ColourComment(51),
        "PU;SP 19", ColourComment(19),
        mean, "PU;SP236", "CO\"6 3 2 3 1\";", "PU437 546", "RA874 1093",
        "CO\"6 -1\";", "PU;SP 19",
        Pen(236), "PU;SP236", ColourComment(236),
        "CO\"6 4 2 3 1\";", "PU437 546", "RA874 1093", "CO\"6 -1\";", "PU;SP236",
        "CO\"3 32\";", "\x1b%1A\x1b&l01X\f\x1b%0B", "\x1b%0A",
    };
    EXPECT_EQ(LinesAfter("MARK"), expected);
}

TEST_F(Hpgl2Test, RasterFillsOfTheBlackAndWhiteKinds)
{
    OpenKind(1);
    Mark();
    IGrColourN(51);
    IGrColourN(19);
    Fill(kFillHalftone);
    Points({10, 20, 15}, {10, 10, 20});
    for (int i = 0; i < 2; ++i) {
        Op(DeviceOp::kTriangleHalftone, 1);
        Op(DeviceOp::kTriangleHalftone, -1);
    }
    Fill(kFillSolid);
    for (int i = 0; i < 2; ++i)
        Op(DeviceOp::kTriangleHalftone, 1);
    gGraphicsState.strokeTextFlag = 1; // a glyph's contour: solid
    Op(DeviceOp::kTriangleHalftone, 1);
    gGraphicsState.strokeTextFlag = 0;
    Op(DeviceOp::kTriangleHalftone, 1);
    Close();
    const std::vector<std::string> lines = LinesAfter("MARK");
    EXPECT_EQ(Count(lines, "RF2,8,4,"), 1);
    EXPECT_EQ(Count(lines, "FT11 2"), 1);
    EXPECT_EQ(Count(lines, "RF1,8,4,"), 1);
    EXPECT_EQ(Count(lines, "FT11 1"), 2); // again after the solid glyph fill
    EXPECT_EQ(Count(lines, "FT2"), 1);
    EXPECT_EQ(Count(lines, "PM0"), 6);
    EXPECT_EQ(Count(lines, "PM2;FP"), 6);
    // The pattern lines: 16 values each, the second pair's end marked.
    auto rf = std::find(lines.begin(), lines.end(), "RF2,8,4,");
    ASSERT_LT(rf + 2, lines.end());
    EXPECT_EQ(rf[1].size(), 32u);
    EXPECT_EQ(rf[2].back(), ';');
    // Two pens only: the colours select pen 1, no colour is defined.
    for (const std::string& l : lines)
        EXPECT_NE(l.substr(0, 2), "PC") << l;
}

TEST_F(Hpgl2Test, EllipsesAndSectors)
{
    OpenKind(2);
    Mark();
    Fill(kFillOutline);
    Reals({100, 50, 1.0f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    Op(DeviceOp::kEllipseHalftone, -1);
    Fill(kFillSolid);
    Op(DeviceOp::kEllipseHalftone, 1);
    // A sector: centre, radius, start and sweep in radians and degrees.
    Reals({100, 50, 0.0f, 0.0f}, {100, 0, 1.5707964f, 90.0f});
    Op(DeviceOp::kSectorHalftone, 1);
    // Half as high as wide: the x range shrinks to 32760^2 div k, k =
    // trunc(32760 / (aspect x 0.5)) = 47798, and the radius with it.
    Fill(kFillOutline);
    Reals({100, 50, 0.5f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    Close();
    const std::vector<std::string> lines = LinesAfter("MARK");
    // The page 769 x 561 points, a square area: the user scale's y range is
    // 32760 / aspect, the circle's radius the x units of 50 device units.
    const std::string stretched = "SC0 32760 0 " + std::to_string(static_cast<int>(32760 / (769.0f / 561.0f)));
    const std::vector<std::string> expected = {
        "PU4373 5469", "CO\"5 0 2 3 1\";", stretched, "CI2186 0", "SC0 32760 0 32760",
        "CO\"5 -1\";", "PU;SP223",
        "CO\"5 4 2 3 1\";", "PU4373 5469", stretched, "PM0", "CI2186 0", "PM2;FP", "SC0 32760 0 32760",
        "CO\"4 4 2 3 1\";", "PU4373 5469", stretched, "WG2186 0.0 90.0", "SC0 32760 0 32760",
        "PU4373 5469", "CO\"5 0 2 3 1\";", "SC0 22453 0 32760", "CI1498 0", "SC0 32760 0 32760",
        "CO\"3 32\";", "\x1b%1A\x1b&l01X\f\x1b%0B", "\x1b%0A",
    };
    EXPECT_EQ(lines, expected);
}

// Extreme values from callers: no trap, and a file hp2xx reads.
TEST_F(Hpgl2Test, ExtremeValuesGiveAReadableFile)
{
    const float nan = std::nanf("");
    OpenKind(2, [] { YYHardcopyOption(8, 500); });
    ExtremeLinesAndText();
    gGraphicsState.areaFractionSize = {0.0f, 0.0f};
    Fill(kFillSolid);
    Reals({100, 50, 1.0e-30f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    Reals({100, 50, nan}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    Reals({100, 1.0e9f, 0.0f, nan}, {100, 0, nan, 1.0e9f});
    Op(DeviceOp::kSectorHalftone, 1);
    gDeviceParameterBlock.N = 300;
    gDeviceParameterBlock.IX[0] = 0xFF0000;
    Op(DeviceOp::kPaletteEntry); // not a pen
    Op(DeviceOp::kEndPage, 0);
    Close();
    const std::vector<std::string> lines = Lines();
    for (const std::string& l : lines) {
        EXPECT_LE(l.size(), 260u);
        EXPECT_EQ(l.find('*'), std::string::npos) << l;
        EXPECT_EQ(l.find("NaN"), std::string::npos) << l;
    }
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\x1b%1A\x1b&l500X\f\x1b%0B"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "WG2147480064 0.0 360.0"), lines.end()); // a turn at most
    EXPECT_NE(std::find(lines.begin(), lines.end(), "SR0.01 0.01"), lines.end()); // no characters of size 0
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("PC300", 0) == 0; }),
              0);
    if (!readers::Hp2xxAvailable())
        GTEST_SKIP() << "hp2xx is missing (Debian package hp2xx)";
    const readers::Hp2xxResult r = readers::Hp2xx(path_, dir_ + "\\extreme.png");
    EXPECT_EQ(r.status, 0) << r.log;
    EXPECT_EQ(r.unexpected, 0) << r.log;
}

// The application's graph in each device kind: hp2xx reads the file without
// an unexpected event and ignores only what it does not draw (the
// transparency mode, and the raster patterns of the black-and-white kinds);
// the picture of a 256-pen kind holds every curve colour, a black-and-white
// one only black and white.
TEST_F(Hpgl2Test, GraphInEveryKindReadByHp2xx)
{
    if (!readers::Hp2xxAvailable())
        GTEST_SKIP() << "hp2xx is missing (Debian package hp2xx)";
    for (int kind = 1; kind <= 5; ++kind) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        gHardcopyState.hpgl2Kind = kind;
        const std::string name = "graph" + std::to_string(kind);
        const std::string bytes = Graph(kDriverHpgl2, name + ".plt");
        ASSERT_GT(bytes.size(), 1000u);
        const std::string png = dir_ + "\\" + name + ".png";
        const readers::Hp2xxResult r = readers::Hp2xx(path_, png);
        ASSERT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(r.unexpected, 0) << r.log;
        const bool twoPens = kind == 1 || kind == 3;
        EXPECT_EQ(r.ignored, twoPens ? (std::set<std::string>{"RF", "TR"}) : std::set<std::string>{"TR"}) << r.log;
        const std::set<int> colours = readers::PngColours(png);
        ASSERT_FALSE(colours.empty()) << "the picture cannot be read";
        if (twoPens) {
            EXPECT_EQ(colours, (std::set<int>{0x000000, 0xFFFFFF}));
        } else {
            for (int c : kCurveColours) {
                int rgb = 0;
                YYColourGet(c, rgb);
                EXPECT_EQ(colours.count(rgb), 1u) << "curve colour " << c;
            }
        }
    }
}

// Two pages of a pen plotter's file: hp2xx draws each by itself. It reads a
// later page afresh (its pens and scale as at the start of a file: the
// rectangle comes out in its default pen 3, and the file of page 2 is named
// with ".1"), so the pages are told apart by what they show.
TEST_F(Hpgl2Test, PagesOfAPlotterFile)
{
    if (!readers::Hp2xxAvailable())
        GTEST_SKIP() << "hp2xx is missing (Debian package hp2xx)";
    OpenKind(4);
    SplinePlotDraw();
    gDeviceParameterBlock.N = 0;
    Op(DeviceOp::kEndPage, 0);
    IGrColourN(kCurveColours[0]);
    int solid = kFillSolid;
    YYFillSettings(&solid);
    IGrRectangle(0.3f, 0.3f, 0.7f, 0.7f);
    Close();
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(Count(lines, "PG"), 2);
    const readers::Hp2xxResult one = readers::Hp2xx(path_, dir_ + "\\page1.png", "-P 1:1");
    const readers::Hp2xxResult two = readers::Hp2xx(path_, dir_ + "\\page2.png", "-P 2:2");
    ASSERT_EQ(one.status, 0) << one.log;
    ASSERT_EQ(two.status, 0) << two.log;
    EXPECT_EQ(one.unexpected, 0) << one.log;
    const std::set<int> page1 = readers::PngColours(dir_ + "\\page1.png");
    for (int c : kCurveColours) {
        int rgb = 0;
        YYColourGet(c, rgb);
        EXPECT_EQ(page1.count(rgb), 1u) << "curve colour " << c << " missing from page 1";
    }
    plotfile::Picture picture;
    ASSERT_TRUE(plotfile::LoadPicture(dir_ + "\\page2.1.png", picture)) << two.log;
    const std::vector<int>& page2 = picture.rgb;
    // The filled rectangle, scaled to the picture, and nothing of page 1.
    const long filled = std::count_if(page2.begin(), page2.end(), [](int c) { return c != 0xFFFFFF; });
    EXPECT_GT(filled, static_cast<long>(page2.size()) * 9 / 10);
    for (int c : kCurveColours) {
        int rgb = 0;
        YYColourGet(c, rgb);
        EXPECT_EQ(std::count(page2.begin(), page2.end(), rgb), 0) << "curve colour " << c << " on page 2";
    }
}

} // namespace
