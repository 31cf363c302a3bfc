// The SVG driver's lines: the document, numbers and colours, stroke groups,
// fill groups with the clip path, text groups and their characters, arcs and
// sectors, and point lists split over lines, as golden-line tables. The plot
// is opened through the library's hardcopy open on a 641 x 481 target, so
// one SVG unit is one device unit and y runs down from 480.
#include "plot_file_fixture.h"

#include <cstring>
#include <functional>

#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/plot_colours.h"

namespace {

using namespace plotfile;
using Strings = std::vector<std::string>;

constexpr float kPi = 3.14159265f;
constexpr const char* kBlackGroup = "<g style=\"fill:none;stroke:#000000;stroke-dasharray:none;stroke-width:1;"
                                    "stroke-linejoin:miter;stroke-linecap:butt\">";

class SvgTest : public PlotFileTest {
protected:
    void SetUp() override
    {
        PlotFileTest::SetUp();
        Target(641, 481);
    }
    Strings Draw(const std::function<void()>& draw, std::vector<std::pair<int, int>> options = {})
    {
        const std::string path = Open(kDriverSvg, "draw.svg", std::move(options));
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        Mark();
        draw();
        Close();
        return LinesAfterMark(path);
    }
};

std::string Group(const char* hex, const char* dashes = "none", int width = 1)
{
    return std::string("<g style=\"fill:none;stroke:#") + hex + ";stroke-dasharray:" + dashes +
           ";stroke-width:" + std::to_string(width) + ";stroke-linejoin:miter;stroke-linecap:butt\">";
}

TEST_F(SvgTest, NumbersAndColours)
{
    const struct {
        float value;
        const char* text;
    } numbers[] = {
        {12.5f, "12.5"}, {3.0f, "3"},      {0.25f, "0.25"},     {-1.5f, "-1.5"},     {480.0f, "480"},
        {0.1f, "0.1"},   {99.999f, "100"}, {1.0e6f, "99999.99"}, {-1.0e6f, "-9999.99"}, {std::nanf(""), "0"},
    };
    for (const auto& n : numbers) {
        char text[12];
        int first = -1, last = -1;
        YYSvgNumber(n.value, text, first, last);
        EXPECT_EQ(std::string(text, sizeof text), (std::string(n.text) + "            ").substr(0, sizeof text));
        EXPECT_EQ(first, 1);
        EXPECT_EQ(last, static_cast<int>(std::strlen(n.text)));
    }
    char hex[6];
    YYSvgColourHex(255, 128, 0, hex);
    EXPECT_EQ(std::string(hex, 6), "ff8000");
    YYSvgColourHex(0, 15, 16, hex);
    EXPECT_EQ(std::string(hex, 6), "000f10");
}

TEST_F(SvgTest, InitialisationAndDocument)
{
    HardcopyState& h = gHardcopyState;
    YYHardcopySelect(1, kDriverSvg);
    EXPECT_EQ(h.driverNumber, kDriverSvg);
    EXPECT_EQ(h.option(1), 640);
    EXPECT_EQ(h.option(2), 480);
    EXPECT_EQ(h.option(5), 0);
    EXPECT_EQ(h.printCommandAllowed, 0);
    EXPECT_EQ(h.resolutionX, 72);
    EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), "quilplot.svg");
    gDeviceParameterBlock.N = kDriverNumberQuery;
    XXSVG(DeviceOp::kInitialise);
    EXPECT_EQ(gDeviceParameterBlock.N, kDriverSvg);

    const std::string path = Open(kDriverSvg, "doc.svg");
    EXPECT_FLOAT_EQ(gHardcopyState.scaleY, 1.0f);
    Send(DeviceOp::kEndPage); // one picture for all pages: nothing
    Close();
    EXPECT_EQ(Lines(ReadFile(path)),
              (Strings{"<?xml version=\"1.0\"?>", "<!DOCTYPE svg SYSTEM \"\">",
                       "<svg width=\"640\" height=\"480\" xmlns=\"http://www.w3.org/2000/svg\">", kBlackGroup,
                       "</g></svg>"}));
}

struct Golden {
    const char* name;
    std::function<void()> draw;
    Strings lines;
};

TEST_F(SvgTest, DrawingOperationsGoldenLines)
{
    const Golden cases[] = {
        {"a line from the bottom-left corner, and a point",
         [] {
             Line(0, 0, 640, 480);
             Corners(7, 8, 0, 0);
             Send(DeviceOp::kPoint);
         },
         {"<line x1=\"0\" y1=\"480\" x2=\"640\" y2=\"0\"/>", "<line x1=\"7\" y1=\"472\" x2=\"7\" y2=\"472\" />",
          "</g></svg>"}},
        {"a new stroke group for a new colour, width or style; none for the same",
         [] {
             Rgb(0x0000FF);
             Rgb(0x0000FF);
             YYHardcopyOption(9, 30); // 30 x 150 / 720 + 0.5 = 6.75
             gGraphicsState.lineStyle = 2;
             Send(DeviceOp::kLineStyle);
             YYHardcopyOption(10, 2);
             YYHardcopyOption(11, 1);
         },
         {"</g>", Group("ff0000"), "</g>", Group("ff0000", "none", 6), "</g>", Group("ff0000", "6 6", 6), "</g>",
          "<g style=\"fill:none;stroke:#ff0000;stroke-dasharray:6 6;stroke-width:6;stroke-linejoin:bevel;"
          "stroke-linecap:butt\">",
          "</g>",
          "<g style=\"fill:none;stroke:#ff0000;stroke-dasharray:6 6;stroke-width:6;stroke-linejoin:bevel;"
          "stroke-linecap:round\">",
          "</g></svg>"}},
        {"a half-tone fill of red after blue",
         [] {
             Rgb(0xFF0000);
             Rgb(0x0000FF);
             Corners(10, 10, 20, 30);
             Shape(DeviceOp::kRectangleHalftone, kFillHalftone);
         },
         {"</g>", Group("0000ff"), "</g>", Group("ff0000"), "<g style=\"stroke:none;fill:#7f007f\">",
          "<polygon points=\"10,470 20,470 20,450 10,450\"/>", "</g>", "</g></svg>"}},
        {"a clip path that the fills refer to",
         [] {
             GraphicsState& g = gGraphicsState;
             g.areaFractions = {0.1f, 0.1f, 0.9f, 0.9f};
             g.deviceArea = {64, 48, 576, 432};
             Send(DeviceOp::kClip);
             Points({{100, 100}, {200, 100}, {150, 200}});
             Shape(DeviceOp::kTriangleHalftone, kFillSolid);
             g.areaFractions = {0, 0, 1, 1};
             Send(DeviceOp::kClip);
             Points({{100, 100}, {200, 100}, {150, 200}});
             Shape(DeviceOp::kTriangleHalftone, kFillSolid);
         },
         {"<defs><clipPath id=\"clip1\"><rect width=\"512\" height=\"384\" x=\"64\" y=\"48\"/></clipPath></defs>",
          "<g style=\"stroke:none;fill:#000000;clip-path:url(#clip1)\">", "<polygon points=\"100,380 200,380 150,280\"/>",
          "</g>", "<g style=\"stroke:none;fill:#000000\">", "<polygon points=\"100,380 200,380 150,280\"/>", "</g>",
          "</g></svg>"}},
        {"ellipses: outlined in the stroke group, filled in a fill group; none with no radius",
         [] {
             Corners(100, 100, 20, 10);
             Shape(DeviceOp::kEllipseHalftone, kFillOutline);
             Shape(DeviceOp::kEllipseHalftone, kFillSolid);
             Corners(100, 100, 20, 0);
             Shape(DeviceOp::kEllipseHalftone, kFillOutline);
         },
         {"<ellipse cx=\"100\" cy=\"380\" rx=\"20\" ry=\"10\"/>", "<g style=\"stroke:none;fill:#000000\">",
          "<ellipse cx=\"100\" cy=\"380\" rx=\"20\" ry=\"10\"/>", "</g>", "</g></svg>"}},
        {"a sector of three quarters, a whole-turn arc in two halves, an arc ending before its start, a quarter",
         [] {
             Corners(100, 100, 50, 50);
             Block().X[2] = 0.0f;
             Block().Y[2] = 1.5f * kPi;
             Shape(DeviceOp::kSectorHalftone, kFillSolid);
             gGraphicsState.fillMode = kFillOutline;
             Block().Y[2] = 2.0f * kPi;
             Send(DeviceOp::kArc);
             Block().X[2] = 0.5f * kPi;
             Block().Y[2] = 0.0f;
             gGraphicsState.hatchDensity = 1;
             Send(DeviceOp::kArc);
             Block().X[2] = 0.0f;
             Block().Y[2] = 0.5f * kPi;
             Send(DeviceOp::kArc);
         },
         {"<g style=\"stroke:none;fill:#000000\">",
          "<path d=\"M 150,380 A 50,50 0 1 0 100,430 L 100,380 L 150,380\"/>", "</g>",
          "<path d=\"M 150,380 A 50,50 0 1 0 50,380 A 50,50 0 1 0 150,380\"/>",
          "<path d=\"M 100,330 A 50,50 0 1 0 150,380 L 100,380 L 100,330\"/>",
          "<path d=\"M 150,380 A 50,50 0 0 0 100,330 L 100,380 L 150,380\"/>", "</g></svg>"}},
        {"text: its group, anchor, size, characters and rotation",
         [] {
             Font(TextFontFamily::kSwiss, 1, 1, TextSpacing::kDevice, 10, 20);
             Text("a<b\xe9", 100, 200, 150, 200);
             Font(TextFontFamily::kRoman, 3, 2, TextSpacing::kFixedPitch, 10, 20, 90.0f);
             Text("&]]>\x96\x81\x01", 100, 200, 100, 250);
             Font(TextFontFamily::kSymbol, 3, 0, TextSpacing::kWidthTable, 10, 20);
             Text("a", 100, 200, 110, 200, 1);
             Text("b", 110, 200, 120, 200, 0);
             Text("c", 120, 200, 130, 200, 2);
         },
         {"<g style=\"fill:#000000;stroke:none;font-family:Arial,Helvetica;font-weight:bold;text-anchor:middle;"
          "font-size:17.2\">",
          "<text transform=\"translate(125,284)\">a&#60;b&#233;</text>", "</g>",
          "<g style=\"fill:#000000;stroke:none;font-family:'Times New Roman','Times Roman';font-weight:bold;"
          "font-style:italic;text-anchor:end;font-size:16.5\">",
          "<text transform=\"translate(104,230)rotate(-90)\">&#38;]]&#62;&#8211;</text>", "</g>",
          "<g style=\"fill:#000000;stroke:none;font-family:Symbol;font-size:13.3\">",
          "<text transform=\"translate(100,284)\">a</text>", "<text transform=\"translate(110,284)\">b</text>",
          "<text transform=\"translate(120,284)\">c</text>", "</g>", "</g></svg>"}},
        {"a text group left open is closed with the picture",
         [] {
             Font(TextFontFamily::kFixed, 0, 0, TextSpacing::kFixedPitch, 10, 20);
             Text("a", 100, 200, 110, 200, 1);
         },
         {"<g style=\"fill:#000000;stroke:none;font-family:'Courier New',Courier;font-size:16.5\">",
          "<text transform=\"translate(100,284)\">a</text>", "</g>", "</g></svg>"}},
    };
    for (const Golden& c : cases) {
        SCOPED_TRACE(c.name);
        gTextState = TextState();
        Target(641, 481);
        EXPECT_EQ(Draw(c.draw), c.lines);
    }
}

// Points of a polyline or polygon fill lines of at most 256 characters; the
// lines read together are the one list.
TEST_F(SvgTest, PointListsSplitOverLines)
{
    std::vector<std::pair<float, float>> points;
    std::string joined = "<polyline points=\"";
    for (int i = 0; i < 60; ++i) {
        points.emplace_back(1000.0f + i, 379.5f);
        joined += (i ? " " : "") + std::to_string(1000 + i) + ",100.5";
    }
    joined += "\"/>";
    const Strings lines = Draw([&] { Polyline(points); });
    ASSERT_GE(lines.size(), 4u); // three lines of points and the end
    std::string read;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 256u);
        read += (i ? " " : "") + lines[i];
    }
    EXPECT_EQ(read, joined);
    EXPECT_EQ(lines.back(), "</g></svg>");
}

} // namespace
