// The application's graph written as a plot file: with the library running
// as the program runs it (main window hidden, the plot window open), the
// graph is drawn through the PostScript and the SVG driver and read back by
// Ghostscript and rsvg-convert: the seven curves in their colours, the frame
// and axes, the title, axis labels and the legend.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "application_graph_fixture.h"
#include "plot_file_fixture.h"

namespace {

using namespace plotfile;

class ApplicationGraphFile : public ApplicationGraphFixture {
protected:
    // The graph drawn into the plot window with a hardcopy open on DRIVER.
    std::string Write(int driver, const char* name)
    {
        GraphicsStateGuard guard;
        const std::string path = folder_ + "\\" + name;
        YYHardcopySelect(1, driver);
        std::string_view file = path;
        YYHardcopyOpen(&file);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        SplinePlotDraw();
        std::string_view close = "S";
        YYHardcopyOpen(&close);
        YYHardcopySelect(1, kDriverWindowsPrinter);
        return path;
    }

    // The curves' colours, the frame's black and every text of the graph.
    static void CheckPicture(const Picture& p)
    {
        for (int n : kCurveColours) {
            int rgb = 0;
            YYColourGet(n, rgb);
            EXPECT_GT(p.Count(0, 0, p.width - 1, p.height - 1, [rgb](int c) { return Near(c, rgb, 40); }), 100)
                << "curve colour " << n;
        }
    }

};

TEST_F(ApplicationGraphFile, PostScriptAndSvgReadersShowTheGraph)
{
    const bool gs = !ReaderMissing("/usr/bin/gs");
    const bool rsvg = !ReaderMissing("/usr/bin/rsvg-convert") && !ReaderMissing("/usr/bin/xmllint");
    if (!gs && !rsvg)
        GTEST_SKIP() << "neither Ghostscript nor rsvg-convert is installed";

    const std::string ps = Write(kDriverPostScript, "graph.ps");
    const std::string svg = Write(kDriverSvg, "graph.svg");
    const std::string psText = ReadFile(ps), svgText = ReadFile(svg);
    // The title, the axis labels and the legend reach both files as text.
    for (const char* t : {"Splines", "X", "T", "T1", "T4", "T7"}) {
        EXPECT_NE(psText.find(std::string("(") + t + ")"), std::string::npos) << t;
        EXPECT_NE(svgText.find(std::string(">") + t + "</text>"), std::string::npos) << t;
    }
    // The curves are polylines of many points.
    EXPECT_GT(std::count(psText.begin(), psText.end(), '\n'), 1400);
    EXPECT_GE(Lines(svgText).size(), 100u);

    if (gs) {
        const Rendering g = Ghostscript(ps);
        EXPECT_EQ(g.status, 0) << g.output;
        EXPECT_EQ(g.output, "");
        ASSERT_EQ(g.pages.size(), 1u);
        CheckPicture(g.pages[0]);
    }
    if (rsvg) {
        const Rendering r = Rsvg(svg);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "");
        ASSERT_EQ(r.pages.size(), 1u);
        EXPECT_EQ(r.pages[0].width, 640);
        EXPECT_EQ(r.pages[0].height, 480);
        CheckPicture(r.pages[0]);
    }
}

} // namespace
