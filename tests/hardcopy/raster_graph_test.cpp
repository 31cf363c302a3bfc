// The application's graph through the two raster drivers, with the library
// running as the program runs it (main window hidden, the plot window
// open): as an image file in every format, and as PCL and ESC/P2 printer
// streams decoded back to the bitmap. A disabled benchmark prints the time
// per graph of PNG files at depth 24.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "application_graph_fixture.h"
#include "hardcopy/image_reader.h"
#include "raster_stream_decoder.h"
#include "raster_test_support.h"
#include "unix_tools.h"

namespace {

using namespace rastertest;

class RasterGraph : public ApplicationGraphFixture {
protected:
    // Opens a plot of the selected driver into NAME, draws the graph and
    // calls INSPECT with the bitmap before the plot is closed.
    template <class Inspect>
    std::string Draw(const std::string& name, Inspect inspect)
    {
        const std::string path = folder_ + "\\" + name;
        std::string_view file = path;
        YYHardcopyOpen(&file);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        SplinePlotDraw();
        inspect();
        Close();
        return path;
    }
};

TEST_F(RasterGraph, ImageFilesOfEveryFormatShowTheCurvesAndTheFrame)
{
    GraphicsStateGuard guard;
    for (int format : {0, 1, 2, 3}) {
        SCOPED_TRACE(format);
        YYHardcopySelect(1, kDriverImageFile);
        YYHardcopyOption(23, format == 3 ? 24 : 8);
        YYHardcopyOption(26, format);
        const std::string path = Draw("graph" + std::to_string(format), [] {});
        std::vector<std::uint8_t> bytes;
        int osError = 0, zlib = 0;
        ImageHeader header;
        std::vector<int> rgb;
        ASSERT_EQ(ImageFileLoad(path, bytes, osError), 0);
        ASSERT_EQ(ImageDecode(bytes, header, rgb, zlib), 0);
        EXPECT_EQ(header.width, 640);
        EXPECT_EQ(header.height, 480);
        std::map<int, int> counts;
        for (int c : rgb)
            ++counts[c];
        for (int n : kCurveColours) {
            int colour = 0;
            YYColourGet(n, colour);
            EXPECT_GT(counts[colour], 200) << "curve colour " << n;
        }
        EXPECT_GT(counts[0xFFFFFF], 640 * 480 / 2); // the paper
        if (format == 3 && unixtools::Available("/usr/bin/pngcheck")) {
            std::string out;
            EXPECT_EQ(unixtools::Run("/usr/bin/pngcheck '" + unixtools::UnixPath(path) + "'", &out), 0) << out;
        }
        DeleteFileA(path.c_str());
    }
}

TEST_F(RasterGraph, PrinterStreamsOfPclAndEscp2DecodeToTheBitmap)
{
    GraphicsStateGuard guard;
    for (int model : {35, 36}) { // a colour PCL laser printer, an ESC/P2 printer
        SCOPED_TRACE(model);
        YYSetPrinterModel(model);
        YYHardcopySelect(1, kDriverRasterPrinter);
        YYHardcopyOption(13, 3);
        std::map<int, std::vector<std::uint8_t>> expected;
        int width = 0, height = 0;
        const std::string path = Draw("graph.prn", [&] {
            const RasterState& r = gRasterState;
            const bool rotated = gHardcopyState.option(5) != 0;
            width = rotated ? r.height : r.width;
            height = rotated ? r.width : r.height;
            const RasterFetch fetch = RasterPrinterFetchFor(gHardcopyState.printerClass, rotated, r.depth);
            const std::vector<int> planes = r.planesLess1 == 0 ? std::vector<int>{0} : std::vector<int>{0, 1, 2};
            for (int plane : planes) {
                gRasterPlaneIndex = plane;
                for (int row = 0; row < height; ++row)
                    for (int c = 0; c < width; ++c)
                        expected[plane].push_back(fetch(c, row) ? 1 : 0);
            }
        });
        const Bytes file = ReadFile(path);
        DeleteFileA(path.c_str());
        const rasterdecode::Decoded d = model == 35 ? rasterdecode::DecodePcl(file, width, height)
                                                    : rasterdecode::DecodeEscp2(file, width, height);
        EXPECT_EQ(d.error, "");
        for (auto& [plane, dots] : expected) {
            ASSERT_TRUE(d.planes.count(plane)) << plane;
            EXPECT_TRUE(d.planes.at(plane) == dots) << "plane " << plane;
            EXPECT_GT(std::count(dots.begin(), dots.end(), 1), 1000) << plane;
        }
    }
}

// Time per graph of driver 6 writing PNG at depth 24: the hardcopy opened,
// the graph drawn, the page written and the plot closed (screen output off,
// so that only the hardcopy is timed).
TEST_F(RasterGraph, DISABLED_PngGraphBenchmark)
{
    GraphicsStateGuard guard;
    gGraphicsState.screenOutput = 0;
    for (auto [w, h, runs] : {std::tuple{640, 480, 20}, std::tuple{3000, 2250, 5}}) {
        YYHardcopySelect(1, kDriverImageFile);
        YYHardcopyOption(1, w);
        YYHardcopyOption(2, h);
        YYHardcopyOption(23, 24);
        YYHardcopyOption(26, 3);
        double best = 1e9, total = 0.0;
        std::size_t size = 0;
        for (int i = 0; i < runs; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const std::string path = Draw("bench.png", [] {});
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            best = std::min(best, ms);
            total += ms;
            size = ReadFile(path).size();
            DeleteFileA(path.c_str());
        }
        std::printf("driver 6, PNG depth 24, %d x %d: %.1f ms per graph (best %.1f ms, %d runs), %zu bytes\n", w, h,
                    total / runs, best, runs, size);
    }
}

} // namespace
