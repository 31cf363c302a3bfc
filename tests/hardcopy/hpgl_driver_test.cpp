// The HP-GL pen-plotter driver: its data records with option 18 on and off,
// the pen chosen for a colour, the pen selected again after a page end, the
// fills a class H plotter does itself, and the application's graph on a
// class U and a class H plotter read back by hp2xx.
#include <cmath>

#include "graphics/colours.h"
#include "graph_file_fixture.h"
#include "plot_readers.h"

namespace {

class HpglTest : public GraphFileTest {
protected:
    void OpenModel(int model, const std::function<void()>& options = {})
    {
        gHardcopyState.plotterModel = model;
        Open(kDriverHpgl, "hpgl.plt", options);
        ASSERT_EQ(gGraphicsState.hardcopyOpen, 1);
    }
    static void Mark() { YYHpglLineWrite("MARK"); }
    static void Fill(int mode) { YYFillSettings(&mode); }
    // A polygon of N points on a circle.
    static void Polygon(int n)
    {
        std::vector<float> x, y;
        for (int i = 0; i < n; ++i) {
            x.push_back(300.0f + 100.0f * std::cos(0.05f * static_cast<float>(i)));
            y.push_back(300.0f + 100.0f * std::sin(0.05f * static_cast<float>(i)));
        }
        Points(x, y);
    }
    static int Starting(const std::vector<std::string>& lines, const std::string& prefix)
    {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
    }
};

// Model 1 (class U, 1016 units per inch, margin 400, 10870 x 7480 units):
// options 28, 742, 530 points; corners 395 0 10865 7478.
TEST_F(HpglTest, RecordsWithOption18OnAndOff)
{
    for (int records : {1, 0}) {
        SCOPED_TRACE("option 18 = " + std::to_string(records));
        IGrColourN(223);
        OpenModel(1, [&] { YYHardcopyOption(18, records); });
        EXPECT_EQ(gHardcopyState.option(3), 28);
        EXPECT_EQ(gHardcopyState.option(1), 742);
        EXPECT_EQ(gHardcopyState.option(2), 530);
        Mark();
        IGrColourN(19);
        Fill(kFillSolid);
        Reals({10, 20}, {10, 20});
        Op(DeviceOp::kRectangleHalftone, 1);
        EXPECT_EQ(gGraphicsState.LineFillRequest[kHardcopySide], 2);
        EXPECT_NEAR(gGraphicsState.LineFillSpacing[kHardcopySide], 0.8 * 599 / 530, 1e-5);
        gGraphicsState.LineFillRequest[kHardcopySide] = 0;
        Op(DeviceOp::kRectangleHalftone, -1);
        gDeviceParameterBlock.N = 0;
        Op(DeviceOp::kEndPage, 0);
        Reals({10, 20}, {10, 20});
        Op(DeviceOp::kLine);
        Close();

        std::vector<std::string> lines = Lines();
        std::vector<std::string> head = {"IN; IP 395 0 10865 7478", "RO0; IP 395 0 10865 7478", "DT\x04", "DI1. 0."};
        if (records)
            head.insert(head.end(), {"SC-2 9 0 32760", "SC-13 1 0 32760"});
        head.insert(head.end(), {"SC0 32760 0 32760"});
        if (records)
            head.push_back("PW0.142");
        head.push_back("LT");
        ASSERT_GE(lines.size(), head.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(head.size())), head);

        const std::vector<std::string> expected =
            records ? std::vector<std::string>{
                          "PU;SP3", "SC-1 207 0 3276;SC0 32760 0 32760",
                          "SC-6 4 2 32773", "SC-9 437 546 0", "SC-9 874 1093 0", "SC0 32760 0 32760",
                          "SC-6 -1 0 32760 ;SC0 32760 0 32760",
                          "SC-3 0 0 32760 ;SC0 32760 0 32760", "PU;SP0 ;",
                          "SP3", "PU437 546", "PD874 1093",
                          "SC-3 32 0 32760 ;SC0 32760 0 32760", "PU;SP0 ;",
                      }
                    : std::vector<std::string>{
                          "PU;SP3",
                          "PU;SP0 ;",
                          "SP3", "PU437 546", "PD874 1093",
                          "PU;SP0 ;",
                      };
        EXPECT_EQ(LinesAfter("MARK"), expected);
    }
}

TEST_F(HpglTest, GraphWithoutRecords)
{
    gHardcopyState.plotterModel = 6;
    Graph(kDriverHpgl, "plain.plt", [] { YYHardcopyOption(18, 0); });
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(Starting(lines, "SC-"), 0);
    EXPECT_EQ(Starting(lines, "PW"), 0);
    EXPECT_GT(Starting(lines, "PD"), 7 * 200);
}

TEST_F(HpglTest, PenOfAColour)
{
    const struct {
        int model, before, colour;
        std::string_view pen;
    } cases[] = {
        {1, 223, 0, "PU;SP1"}, {1, 0, 40, "PU;SP3"}, {1, 0, 223, "PU;SP4"}, {1, 0, 19, "PU;SP3"},
        {2, 0, 223, "PU;SP2"}, {6, 0, 223, "PU;SP8"}, {6, 0, 100, "PU;SP2"},
    };
    for (const auto& c : cases) {
        OpenModel(c.model);
        IGrColourN(c.before);
        Mark();
        IGrColourN(c.colour);
        Close();
        const std::vector<std::string> lines = LinesAfter("MARK");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], c.pen) << "model " << c.model << ", colour " << c.colour;
    }
}

// A class H plotter with option 25 fills shapes itself, polygons of at most
// 127 points; other fills are records and hatch lines.
TEST_F(HpglTest, FillsOfAClassHPlotter)
{
    OpenModel(6, [] { YYHardcopyOption(25, 1); });
    Mark();
    Fill(kFillSolid);
    Polygon(127);
    Op(DeviceOp::kPolygonHalftone, 1);
    Op(DeviceOp::kPolygonHalftone, -1);
    EXPECT_EQ(gGraphicsState.LineFillRequest[kHardcopySide], 0);
    Points({10, 20, 20, 10}, {10, 10, 20, 20});
    gDeviceParameterBlock.N = 0; // the quadrilateral's count is not set for every fill mode
    Op(DeviceOp::kQuadHalftone, 2);
    Op(DeviceOp::kQuadHalftone, -1);
    Polygon(128);
    Op(DeviceOp::kPolygonHalftone, 1);
    EXPECT_EQ(gGraphicsState.LineFillRequest[kHardcopySide], 2);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Op(DeviceOp::kPolygonHalftone, -1);
    Close();
    const std::vector<std::string> lines = LinesAfter("MARK");
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[0], "FT2;PT 0.28"); // 80 hundredths of a point, once
    EXPECT_EQ(Starting(lines, "FT2;PT"), 1);
    EXPECT_EQ(lines[1].substr(0, 2), "PU");
    EXPECT_EQ(lines[2], "PM0");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3 + 126, lines.begin() + 3 + 126 + 8),
              (std::vector<std::string>{"PM2;FP", "PU437 546", "PM0", "PD874 546", "PD874 1093", "PD437 1093",
                                        "PM2;FP", "SC-11 4 2 32773"}));
    EXPECT_EQ(Starting(lines, "PD"), 126 + 3);
    EXPECT_EQ(lines[3 + 126 + 8], "SC-12 128 0 32760");
    EXPECT_EQ(Starting(lines, "SC-9 "), 128);
    EXPECT_EQ(Starting(lines, "SC-11 -1 0 32760 ;"), 1);

    // Without option 25 the quadrilateral is recorded.
    OpenModel(6);
    Mark();
    Points({10, 20, 20, 10}, {10, 10, 20, 20});
    Op(DeviceOp::kQuadHalftone, 1);
    Close();
    EXPECT_EQ(LinesAfter("MARK"), (std::vector<std::string>{"SC-8 4 2 32773", "SC-9 437 546 0", "SC-9 874 546 0",
                                                            "SC-9 874 1093 0", "SC-9 437 1093 0",
                                                            "SC0 32760 0 32760", "SC-3 32 0 32760 ;SC0 32760 0 32760",
                                                            "PU;SP0 ;"}));
}

// Callers' extreme values: no trap, and a file hp2xx reads.
TEST_F(HpglTest, ExtremeValuesGiveAReadableFile)
{
    const float nan = std::nanf("");
    OpenModel(6, [] { YYHardcopyOption(25, 1); });
    ExtremeLinesAndText();
    gGraphicsState.areaFractionSize = {0.0f, 0.0f};
    Fill(kFillSolid);
    Reals({100, 50, 1.0e-30f}, {100, 0, 0});
    Op(DeviceOp::kEllipseHalftone, 1);
    Reals({100, 1.0e9f, 0.0f, nan}, {100, 0, nan, 1.0e9f});
    Op(DeviceOp::kSectorHalftone, 1);
    Fill(kFillHalftone);
    Points({1.0e9f, -1.0e9f, 0.0f}, {nan, 1.0e9f, 0.0f});
    Op(DeviceOp::kTriangleHalftone, 1);
    gGraphicsState.LineFillRequest[kHardcopySide] = 0;
    Op(DeviceOp::kTriangleHalftone, -1);
    Close();
    const std::vector<std::string> lines = Lines();
    EXPECT_GT(lines.size(), 100000u);
    for (const std::string& l : lines)
        ASSERT_EQ(l.find('*'), std::string::npos) << l;
    if (!readers::Hp2xxAvailable())
        GTEST_SKIP() << "hp2xx is missing (Debian package hp2xx)";
    const readers::Hp2xxResult r = readers::Hp2xx(path_, dir_ + "\\extreme.png");
    EXPECT_EQ(r.status, 0) << r.log;
    EXPECT_EQ(r.unexpected, 0) << r.log;
}

// The graph on a class U (model 1) and a class H (model 6) plotter: hp2xx
// reads it all, records included, and draws it.
TEST_F(HpglTest, GraphReadByHp2xx)
{
    if (!readers::Hp2xxAvailable())
        GTEST_SKIP() << "hp2xx is missing (Debian package hp2xx)";
    for (int model : {1, 6}) {
        SCOPED_TRACE("model " + std::to_string(model));
        gHardcopyState.plotterModel = model;
        const std::string name = "plotter" + std::to_string(model);
        Graph(kDriverHpgl, name + ".plt");
        EXPECT_GT(Starting(Lines(), "SC-"), 10);
        const std::string png = dir_ + "\\" + name + ".png";
        const readers::Hp2xxResult r = readers::Hp2xx(path_, png);
        ASSERT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(r.unexpected, 0) << r.log;
        EXPECT_TRUE(r.ignored.empty()) << r.log;
        plotfile::Picture p;
        ASSERT_TRUE(plotfile::LoadPicture(png, p));
        EXPECT_GT(p.Count(0, 0, p.width - 1, p.height - 1, plotfile::Dark), p.width * p.height / 100)
            << "an empty picture";
    }
}

} // namespace
