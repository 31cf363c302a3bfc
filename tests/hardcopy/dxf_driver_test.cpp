// The DXF driver: real numbers, the palette and the nearest colour, the
// head, entities of every kind with the fills that go back to the graphics
// core, texts, and the application's graph read by ezdxf (with its audit)
// and by LibreOffice.
#include <cmath>
#include <utility>

#include "graphics/colours.h"
#include "hardcopy/driver_dxf.h"
#include "graph_file_fixture.h"
#include "plot_readers.h"

namespace {

using Group = std::pair<std::string, std::string>;

// What ezdxf finds in a drawing: the audit's errors and fixes, the count of
// each entity type, the vertices of each polyline, the extent and the texts.
const char* const kSummary = R"(import sys
from collections import Counter
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
print("errors", len(auditor.errors))
print("fixes", len(auditor.fixes))
counts = Counter(e.dxftype() for e in doc.modelspace())
for kind in ("LINE", "TEXT", "SOLID", "POLYLINE", "CIRCLE", "ARC", "POINT"):
    print(kind, counts.get(kind, 0))
print("vertices", " ".join(str(len(p.vertices)) for p in doc.modelspace().query("POLYLINE")))
print("extmax", "%g %g" % tuple(doc.header["$EXTMAX"][:2]))
print("texts", ascii([t.dxf.text for t in doc.modelspace().query("TEXT")]))
)";

class DxfTest : public GraphFileTest {
protected:
    void OpenDxf(const std::function<void()>& options = {})
    {
        Open(kDriverDxf, "drawing.dxf", options);
        ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    }
    static void Mark() { YYDxfPair("999", "MARK"); }
    static void Fill(int mode) { YYFillSettings(&mode); }
    // The groups of the last file after the comment MARK.
    std::vector<Group> GroupsAfterMark() const
    {
        const std::vector<std::string> lines = LinesAfter("MARK");
        std::vector<Group> out;
        for (size_t i = 0; i + 1 < lines.size(); i += 2)
            out.emplace_back(lines[i], lines[i + 1]);
        return out;
    }
    // Inches of the page per device unit: 756 x 540 points over 749 x 599.
    static double InchX(double x) { return x * 756.0 / (72.0 * 749.0); }
    static double InchY(double y) { return y * 540.0 / (72.0 * 599.0); }
    static void ExpectPoint(const std::vector<Group>& g, size_t at, const char* cx, const char* cy, double x, double y)
    {
        ASSERT_LT(at + 1, g.size());
        EXPECT_EQ(g[at].first, cx);
        EXPECT_EQ(g[at + 1].first, cy);
        EXPECT_NEAR(std::atof(g[at].second.c_str()), InchX(x), 2e-6) << cx;
        EXPECT_NEAR(std::atof(g[at + 1].second.c_str()), InchY(y), 2e-6) << cy;
    }
};

TEST(DxfWriters, Reals)
{
    const struct {
        double v;
        std::string_view text;
    } cases[] = {
        {2.5, "2.5"}, {3.0, "3."}, {0.0, "0."}, {-0.25, "-0.25"}, {10.5, "10.5"}, {0.0000004, "0."},
        {-0.0000004, "-0."}, {1234567.1234567, "1234567.123457"}, {123456789.5, "123456789.5"},
        {1.0e9, "1000000000."}, {1.0e20, "100000000000000000000."}, {std::nan(""), "0."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DxfRealText(c.v), c.text) << c.v;
}

// The rule (hue groups of ten at 15 degrees, values 255, 165, 127, 76, 38 at
// full and half saturation) and the entries stored as listed.
TEST(DxfWriters, Palette)
{
    const struct {
        int index, r, g, b;
    } cases[] = {
        {0, 0, 0, 0},        {1, 255, 0, 0},      {2, 255, 255, 0},    {5, 0, 0, 255},      {7, 255, 255, 255},
        {8, 76, 76, 76},     {9, 165, 165, 165},  {10, 255, 0, 0},     {11, 255, 127, 127}, {12, 165, 0, 0},
        {13, 165, 82, 82},   {15, 127, 63, 63},   {17, 76, 38, 38},    {19, 38, 19, 19},    {20, 255, 63, 0},
        {30, 255, 127, 0},   {32, 185, 82, 0},    {33, 165, 124, 82},  {50, 255, 255, 0},   {90, 0, 255, 0},
        {130, 0, 255, 255},  {135, 63, 127, 127}, {170, 0, 0, 255},    {210, 255, 0, 255},  {233, 165, 82, 124},
        {249, 38, 19, 23},   {250, 84, 84, 84},   {254, 220, 220, 220}, {255, 255, 255, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(YYDxfPaletteEntry(c.index), c.r + 256 * c.g + 65536 * c.b) << "entry " << c.index;
    EXPECT_EQ(YYDxfPaletteEntry(256), 0);
    EXPECT_EQ(YYDxfPaletteEntry(-1), 0);
}

// An entry of exactly the colour at once; between entries at the same
// distance the lowest index.
TEST(DxfWriters, NearestColour)
{
    const struct {
        int r, g, b, index;
    } cases[] = {
        {255, 0, 0, 1},     {185, 82, 0, 32},   {84, 84, 84, 250},  {250, 250, 250, 7}, // 7 and 255 tie
        {250, 250, 0, 2},   {254, 1, 1, 1},     {0, 0, 254, 5},     {207, 0, 0, 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(YYDxfNearestColour(c.r + 256 * c.g + 65536 * c.b), c.index) << c.r << " " << c.g << " " << c.b;
}

TEST_F(DxfTest, HeadBeforeTheFirstEntity)
{
    OpenDxf();
    Close();
    const std::vector<std::string> expected = {
        "0", "SECTION", "2", "HEADER",
        "9", "$EXTMIN", "10", "0.0", "20", "0.0",
        "9", "$EXTMAX", "10", "10.5", "20", "7.5",
        "9", "$CECOLOR", "62", "7",
        "9", "$CELTYPE", "6", "DASHDOT",
        "9", "$VIEWCTR", "10", "5.25", "20", "3.75",
        "9", "$LIMMIN", "10", "0.0", "20", "0.0",
        "9", "$LIMMAX", "10", "10.5", "20", "7.5",
        "0", "ENDSEC",
        "0", "SECTION", "2", "TABLES",
        "0", "TABLE", "2", "LTYPE", "70", "9",
        "0", "LTYPE", "2", "DOT", "70", "0", "3", std::string(46, '.'), "72", "65", "73", "2", "40", "0.25",
        "49", "0", "49", "-0.25",
        "0", "LTYPE", "2", "DASHED", "70", "0", "3", "__ __ __ __ __ __ __ __ __ __ __ __ __ __ __  ",
        "72", "65", "73", "2", "40", "0.75", "49", "0.5", "49", "-0.25",
        "0", "LTYPE", "2", "DASHDOT", "70", "0", "3", "__ . __ . __ . __ . __ . __ . __ . __ . __ .  ",
        "72", "65", "73", "4", "40", "1", "49", "0.5", "49", "-0.25", "49", "0", "49", "-0.25",
        "0", "LTYPE", "2", "DIVIDE", "70", "0", "3", "__ . . __ . . __ . . __ . . __ . . __ . . __  ",
        "72", "65", "73", "6", "40", "1.25", "49", "0.5", "49", "-0.25", "49", "0", "49", "-0.25", "49", "0",
        "49", "-0.25",
        "0", "LTYPE", "2", "CENTER", "70", "0", "3", "____ _ ____ _ ____ _ ____ _ ____ _ ____ _ ____",
        "72", "65", "73", "4", "40", "2", "49", "1.25", "49", "-0.25", "49", "0.25", "49", "-0.25",
        "0", "LTYPE", "2", "HIDDEN", "70", "0", "3", "_ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ ",
        "72", "65", "73", "2", "40", "0.25", "49", "0.12", "49", "-0.12",
        "0", "LTYPE", "2", "PHANTOM", "70", "0", "3", "____ _ _ ____ _ _ ____ _ _ ____ _ _ ____ _ _ _",
        "72", "65", "73", "6", "40", "2.5", "49", "1.25", "49", "-0.25", "49", "0.25", "49", "-0.25", "49",
        "0.25", "49", "-0.25",
        "0", "ENDTAB",
        "0", "TABLE", "2", "STYLE", "70", "1", "0", "STYLE", "2", "STANDARD", "70", "0", "40", "0", "41", "1",
        "50", "0", "71", "0", "42", "0", "3", "txt", "0", "ENDTAB",
        "0", "TABLE", "2", "LAYER", "70", "9",
        "0", "LAYER", "2", "1", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "2", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "3", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "4", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "5", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "6", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "7", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "8", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "LAYER", "2", "9", "70", "0", "62", "7", "6", "CONTINUOUS",
        "0", "ENDTAB", "0", "ENDSEC",
        "0", "SECTION", "2", "ENTITIES",
        "0", "ENDSEC", "0", "EOF",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(Bytes().substr(0, 12), "0\r\nSECTION\r\n");
}

// Colour groups by option 23: the nearest palette entry (8), sixteen
// colours (4), eight (3), or the RGB value in group 420 (24).
TEST_F(DxfTest, ColourOfEachEntity)
{
    const struct {
        int depth, colour;
        Group group;
    } cases[] = {
        {8, 19, {"62", "12"}},
        {4, 19, {"62", "1"}},        {4, 223, {"62", "7"}},
        {3, 19, {"62", "1"}},        {3, 0, {"62", "7"}},
        {24, 19, {"420", "13565952"}},
    };
    for (const auto& c : cases) {
        OpenDxf([&] { YYHardcopyOption(23, c.depth); });
        IGrColourN(c.colour);
        Mark();
        Reals({10}, {10});
        Op(DeviceOp::kPoint);
        Close();
        const std::vector<Group> g = GroupsAfterMark();
        ASSERT_GE(g.size(), 3u);
        EXPECT_EQ(g[0], (Group{"0", "POINT"}));
        EXPECT_EQ(g[1], (Group{"8", "1"}));
        EXPECT_EQ(g[2], c.group) << "option 23 = " << c.depth << ", colour " << c.colour;
    }
}

TEST_F(DxfTest, FilledShapes)
{
    OpenDxf();
    IGrColourN(19);
    gGraphicsState.deviceArea = {100, 100, 400, 300};
    Mark();
    // A solid rectangle clipped to the graphics area.
    Fill(kFillSolid);
    Reals({50, 450}, {150, 250});
    Op(DeviceOp::kRectangleHalftone, 1);
    Op(DeviceOp::kRectangleHalftone, -1); // the outline pass writes nothing
    // A triangle and a quadrilateral, whose corners go across.
    Points({10, 20, 15}, {10, 10, 20});
    Op(DeviceOp::kTriangleHalftone, 1);
    Points({10, 20, 20, 10}, {10, 10, 20, 20});
    Op(DeviceOp::kQuadHalftone, 2);
    // Hatched: the graphics core draws it.
    Fill(kFillHatch);
    Op(DeviceOp::kQuadHalftone, 1);
    EXPECT_EQ(gGraphicsState.LineFillRequest[kHardcopySide], 0);
    // Half-tone, and a solid polygon: hatch lines at the pen width of
    // option 12, doubled for half-tone.
    Fill(kFillHalftone);
    Op(DeviceOp::kQuadHalftone, 1);
    EXPECT_EQ(gGraphicsState.LineFillRequest[kHardcopySide], 2);
    EXPECT_NEAR(gGraphicsState.LineFillSpacing[kHardcopySide], 2 * 0.8 * 599 / 540, 1e-5);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Fill(kFillSolid);
    Points({10, 20, 20, 10, 5}, {10, 10, 20, 20, 15});
    Op(DeviceOp::kPolygonHalftone, 1);
    EXPECT_EQ(gGraphicsState.LineFillRequest[kHardcopySide], 2);
    EXPECT_NEAR(gGraphicsState.LineFillSpacing[kHardcopySide], 0.8 * 599 / 540, 1e-5);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Close();

    const std::vector<Group> g = GroupsAfterMark();
    ASSERT_EQ(g.size(), 3u * 11 + 2);
    for (size_t s = 0; s < 3; ++s)
        EXPECT_EQ(g[11 * s], (Group{"0", "SOLID"}));
    ExpectPoint(g, 3, "10", "20", 100, 150);
    ExpectPoint(g, 5, "11", "21", 100, 250);
    ExpectPoint(g, 7, "12", "22", 400, 150);
    ExpectPoint(g, 9, "13", "23", 400, 250);
    ExpectPoint(g, 11 + 7, "12", "22", 15, 20);
    ExpectPoint(g, 11 + 9, "13", "23", 15, 20);
    ExpectPoint(g, 22 + 3, "10", "20", 10, 10);
    ExpectPoint(g, 22 + 5, "11", "21", 20, 10);
    ExpectPoint(g, 22 + 7, "12", "22", 10, 20);
    ExpectPoint(g, 22 + 9, "13", "23", 20, 20);
    EXPECT_EQ(g[33], (Group{"0", "ENDSEC"}));
}

// A circle is a CIRCLE only in a square graphics area; otherwise it, like
// an arc, is left to the graphics core.
TEST_F(DxfTest, CirclesAndArcs)
{
    OpenDxf();
    Mark();
    Fill(kFillOutline);
    Reals({100, 50, 1.0f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    EXPECT_EQ(gDeviceParameterBlock.M, 1);
    Reals({100, 50, 0.5f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    EXPECT_EQ(gDeviceParameterBlock.M, -1);
    Reals({100, 50, 0.0f, 30.0f}, {100, 0, 0.0f, -90.0f});
    Op(DeviceOp::kArc);
    EXPECT_EQ(gDeviceParameterBlock.M, 1);
    gGraphicsState.areaFractionSize = {1.0f, 0.5f};
    Reals({100, 50, 1.0f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    EXPECT_EQ(gDeviceParameterBlock.M, -1);
    Reals({100, 50, 0.0f, 30.0f}, {100, 0, 0.0f, -90.0f});
    Op(DeviceOp::kArc);
    EXPECT_EQ(gDeviceParameterBlock.M, 2);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Close();
    const std::vector<Group> g = GroupsAfterMark();
    ASSERT_EQ(g.size(), 7u + 9u + 2u);
    EXPECT_EQ(g[0], (Group{"0", "CIRCLE"}));
    EXPECT_EQ(g[3], (Group{"39", "0.006944"})); // option 9 / 720: 5 tenths of a point in inches
    ExpectPoint(g, 4, "10", "20", 100, 100);
    EXPECT_EQ(g[6].first, "40");
    EXPECT_NEAR(std::atof(g[6].second.c_str()), InchX(50), 2e-6);
    EXPECT_EQ(g[7], (Group{"0", "ARC"}));
    ExpectPoint(g, 11, "10", "20", 100, 100);
    EXPECT_EQ(g[14], (Group{"50", "-60."}));
    EXPECT_EQ(g[15], (Group{"51", "30."}));
}

// Hatch lines drawn for a fill the driver handed back carry no line type;
// other lines and polylines carry the style's.
TEST_F(DxfTest, LineTypes)
{
    OpenDxf();
    const int dashed = 2;
    IGrLineStyleSelect(&dashed);
    Mark();
    Reals({10, 20}, {10, 20});
    Op(DeviceOp::kLine);
    gGraphicsState.LineFillRequest[kHardcopySide] = 2;
    Op(DeviceOp::kLine);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Points({1, 2}, {3, 4});
    Op(DeviceOp::kPolyline);
    Close();
    const std::vector<Group> g = GroupsAfterMark();
    ASSERT_GE(g.size(), 24u);
    EXPECT_EQ(g[0], (Group{"0", "LINE"}));
    EXPECT_EQ(g[3], (Group{"6", "DASHED"}));
    EXPECT_EQ(g[9], (Group{"0", "LINE"}));
    EXPECT_EQ(g[12].first, "39");
    EXPECT_EQ(g[17], (Group{"0", "POLYLINE"}));
    EXPECT_EQ(g[20], (Group{"6", "DASHED"}));
    EXPECT_EQ(g[22], (Group{"66", "1"}));
    EXPECT_EQ(g[23], (Group{"70", "0"}));
}

TEST_F(DxfTest, Texts)
{
    OpenDxf();
    Mark();
    TextOp("A\xe9\r\nb", 100, 100, 200, 100);
    gTextState.stacking = 1;
    TextOp("T", 100, 100, 0, 0);
    gTextState.stacking = 0;
    gTextState.charHeight = 0.0f;
    TextOp("flat", 100, 100, 200, 100);
    Close();
    const std::vector<Group> g = GroupsAfterMark();
    ASSERT_EQ(g.size(), 11u + 13u + 11u + 2u);
    EXPECT_EQ(g[0], (Group{"0", "TEXT"}));
    EXPECT_EQ(g[3].first, "40");
    EXPECT_EQ(g[4].first, "41");
    EXPECT_EQ(g[5], (Group{"50", "0"}));
    EXPECT_EQ(g[6], (Group{"1", "A\xe9  b"})); // Latin-1 kept, line ends made blanks
    EXPECT_EQ(g[7], (Group{"7", "STANDARD"}));
    EXPECT_EQ(g[8], (Group{"72", "0"}));
    EXPECT_EQ(g[9].first, "10");
    EXPECT_EQ(g[11 + 8], (Group{"72", "1"}));
    EXPECT_EQ(g[11 + 11].first, "11");
    EXPECT_EQ(g[24 + 3], (Group{"40", "0."}));
    EXPECT_EQ(g[24 + 4], (Group{"41", "1."})); // no height: the style's width factor
}

// Callers' extreme values: no trap, no asterisks, a drawing ezdxf reads.
TEST_F(DxfTest, ExtremeValuesGiveAReadableDrawing)
{
    const float nan = std::nanf("");
    OpenDxf([] { YYHardcopyOption(23, 24); });
    IGrColourN(19);
    ExtremeLinesAndText();
    Fill(kFillSolid);
    Reals({1.0e9f, -1.0e9f}, {nan, 1.0e9f});
    Op(DeviceOp::kRectangleHalftone, 1);
    Reals({100, 1.0e9f, 1.0f}, {100, 0, 0});
    Fill(kFillOutline);
    Op(DeviceOp::kEllipseHalftone, 1);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Close();
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.find('*'), std::string::npos);
    EXPECT_EQ(bytes.find("nan"), std::string::npos);
    EXPECT_EQ(bytes.find("NaN"), std::string::npos);
    if (!readers::EzdxfAvailable())
        GTEST_SKIP() << "ezdxf is missing (Debian package python3-ezdxf)";
    std::string out;
    ASSERT_EQ(readers::Python(dir_, kSummary, path_, out), 0) << out;
    EXPECT_EQ(readers::Field(out, "errors"), "0") << out;
    EXPECT_EQ(readers::Field(out, "POLYLINE"), "2") << out;
    EXPECT_EQ(readers::Field(out, "vertices"), "100000 1") << out;
}

// The application's graph: ezdxf reads it and its audit finds nothing; seven
// curves of 201 points, the texts (the title's Latin-1 letters intact), the
// page's extent.
TEST_F(DxfTest, GraphReadByEzdxf)
{
    if (!readers::EzdxfAvailable())
        GTEST_SKIP() << "ezdxf is missing (Debian package python3-ezdxf)";
    gPlotState.plottitle = FixedText<40>("Splines \xe9t\xe9");
    Graph(kDriverDxf, "graph.dxf");
    std::string out;
    ASSERT_EQ(readers::Python(dir_, kSummary, path_, out), 0) << out;
    EXPECT_EQ(readers::Field(out, "errors"), "0") << out;
    EXPECT_EQ(readers::Field(out, "fixes"), "0") << out;
    EXPECT_EQ(readers::Field(out, "POLYLINE"), "7");
    EXPECT_EQ(readers::Field(out, "vertices"), "201 201 201 201 201 201 201");
    EXPECT_EQ(readers::Field(out, "TEXT"), "34");
    EXPECT_EQ(readers::Field(out, "SOLID"), "0");
    // Frame, 13 + 11 ticks, 7 legend samples and the hatch lines of the 5
    // knot markers.
    EXPECT_GT(std::atoi(readers::Field(out, "LINE").c_str()), 2 + 13 + 11 + 7);
    EXPECT_EQ(readers::Field(out, "extmax"), "10.5 7.5");
    const std::string texts = readers::Field(out, "texts");
    EXPECT_EQ(texts.rfind("['Splines \\xe9t\\xe9', 'X', 'T', '0', '.2',", 0), 0u) << texts;
    for (int i = 1; i <= 7; ++i)
        EXPECT_NE(texts.find("'T" + std::to_string(i) + "'"), std::string::npos) << texts;
}

// LibreOffice Draw opens the drawing: converted to PDF, its text holds the
// title. (It reads DXF text as UTF-8, so the title stays ASCII here.)
TEST_F(DxfTest, GraphOpenedByLibreOffice)
{
    if (!unixtools::Available("/usr/bin/soffice") || !unixtools::Available("/usr/bin/pdftotext"))
        GTEST_SKIP() << "LibreOffice or pdftotext is missing (Debian packages libreoffice-draw, poppler-utils)";
    Graph(kDriverDxf, "graph.dxf");
    // A profile of its own in the scratch folder, removed afterwards.
    const std::string folder = unixtools::UnixPath(dir_);
    std::string out;
    const int status = unixtools::Run("cd '" + folder + "' && HOME='" + folder +
                                          "' /usr/bin/soffice -env:UserInstallation=file://" + folder +
                                          "/profile --headless --convert-to pdf graph.dxf >/dev/null 2>&1 && "
                                          "/usr/bin/pdftotext graph.pdf -; s=$?; rm -rf '" + folder + "/profile'; exit $s",
                                      &out);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Splines"), std::string::npos) << out;
    EXPECT_NE(out.find("T7"), std::string::npos) << out;
}

} // namespace
