// File kind detection over the files the library's own drivers write: each
// driver's file must be recognised as its kind, with the size, colour and
// page words the driver's options and pages say.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "graph_file_fixture.h"
#include "hardcopy/image_file_info.h"
#include "hardcopy/raster_engine.h"

namespace {

using Record = std::array<int, 6>;

std::string Dump(const Record& r)
{
    std::string s;
    for (int v : r)
        s += std::to_string(v) + " ";
    return s;
}

class DetectDriverFiles : public GraphFileTest {
protected:
    // The driver's file after PAGES pages of a line each.
    Record Written(int driver, const std::string& name, const std::function<void()>& options = {}, int pages = 1)
    {
        Open(driver, name, options);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        for (int p = 0; p < pages; ++p) {
            if (p > 0) {
                gDeviceParameterBlock.N = 0;
                Op(DeviceOp::kEndPage, 0);
            }
            Reals({10, 300}, {10, 200});
            Op(DeviceOp::kLine);
        }
        Close();
        Record r;
        r.fill(99);
        YYImageFileInfo(path_, r, 6);
        return r;
    }
};

TEST_F(DetectDriverFiles, PlotterFilesOfHpglAndHpgl2)
{
    // Model 1: 742 x 530 points, 4 pens; two pages.
    const Record hpgl = Written(kDriverHpgl, "model1.plt", [] {
        gHardcopyState.plotterModel = 1;
        YYHardcopySelect(1, kDriverHpgl);
    }, 2);
    EXPECT_EQ(Dump(hpgl), Dump({4, 742, 530, 4, 1, 2}));
    // Device kind 2 behind the PCL switch: 769 x 561 points, 256 colours.
    const Record hpgl2 = Written(kDriverHpgl2, "kind2.plt", [] {
        gHardcopyState.hpgl2Kind = 2;
        YYHardcopySelect(1, kDriverHpgl2);
    }, 3);
    EXPECT_EQ(Dump(hpgl2), Dump({5, 769, 561, 256, 2, 3}));
}

TEST_F(DetectDriverFiles, EncapsulatedPostScriptSvgAndDxf)
{
    for (int rotation : {0, 1}) {
        SCOPED_TRACE(rotation);
        int w = 0, h = 0;
        const Record eps = Written(kDriverPostScript, "pic.eps", [&] {
            YYHardcopyOption(22, 1);
            YYHardcopyOption(5, rotation);
            w = gHardcopyState.option(1);
            h = gHardcopyState.option(2);
        });
        EXPECT_EQ(eps[0], kImageFilePostScript);
        EXPECT_EQ(eps[3], 1);
        EXPECT_EQ(eps[1], rotation ? h : w) << Dump(eps);
        EXPECT_EQ(eps[2], rotation ? w : h) << Dump(eps);
    }
    int w = 0, h = 0;
    const Record svg = Written(kDriverSvg, "pic.svg", [&] {
        w = gHardcopyState.option(1);
        h = gHardcopyState.option(2);
    });
    EXPECT_EQ(Dump(svg), Dump({16, w, h, -1, -1, -1}));
    const Record dxf = Written(kDriverDxf, "pic.dxf", [&] {
        w = gHardcopyState.option(1);
        h = gHardcopyState.option(2);
    });
    // The DXF's upper corner is in inches: the page's points / 72.
    EXPECT_EQ(Dump(dxf), Dump({14, w / 72, h / 72, -1, -1, -1}));
}

TEST_F(DetectDriverFiles, CgmPicturesAndAspectRatio)
{
    int w = 0, h = 0;
    const Record cgm = Written(kDriverCgm, "pic.cgm", [&] {
        w = gHardcopyState.option(1);
        h = gHardcopyState.option(2);
    }, 2);
    EXPECT_EQ(cgm[0], kImageFileCgm);
    EXPECT_EQ(cgm[1], 1000);
    EXPECT_EQ(cgm[3], 2);
    // The drawing space has the shape of the page, options 1 x 2.
    ASSERT_GT(w, 0);
    EXPECT_NEAR(cgm[2], 1000.0 * h / w, 1.0) << Dump(cgm);
}

TEST_F(DetectDriverFiles, PrinterStreamsAndImageFiles)
{
    // Word 5 of the PCL and ESC/P2 streams is the resolution the driver took
    // (kDpi here). Colour ESC/P2 selects its inks band by band, past the
    // first 128 bytes: word 4 stays 0 there.
    constexpr int kDpi = -2;
    struct Printer {
        int model;
        int resolutionIndex; // option 13
        Record want;
    } printers[] = {
        {28, 1, {11, -1, -1, 2, 300, -1}},  // a PCL laser printer at 300 dots per inch
        {35, 3, {11, -1, -1, 8, kDpi, -1}}, // a colour PCL printer
        {36, 3, {12, -1, -1, 0, kDpi, -1}}, // a colour ESC/P2 printer
        {2, 1, {13, -1, -1, 0, -1, -1}},    // a 9-pin ESC/P printer
    };
    for (const Printer& p : printers) {
        SCOPED_TRACE(p.model);
        const Record r = Written(kDriverRasterPrinter, "page.prn", [&] {
            YYSetPrinterModel(p.model);
            YYHardcopySelect(1, kDriverRasterPrinter);
            YYHardcopyOption(13, p.resolutionIndex);
        });
        Record want = p.want;
        if (want[4] == kDpi)
            want[4] = static_cast<int>(gRasterState.resolutionX + 0.5);
        EXPECT_EQ(Dump(r), Dump(want));
    }
    // Driver 6: PCX (version 5), BMP, run-length BMP and PNG pictures of the
    // page's size in pixels.
    struct Image {
        int format, depth;
        Record want; // width and height from the page
    } images[] = {
        {0, 8, {kImageFilePcx, 0, 0, 256, 5, 8}},
        {1, 8, {kImageFileBmp, 0, 0, 256, 0, 8}},
        {2, 8, {kImageFileBmp, 0, 0, 256, 1, 8}},
        {3, 24, {kImageFilePng, 0, 0, 16777216, 0, 24}},
    };
    for (const Image& image : images) {
        SCOPED_TRACE(image.format);
        const Record r = Written(kDriverImageFile, "page.img", [&] {
            YYHardcopyOption(23, image.depth);
            YYHardcopyOption(26, image.format);
        });
        Record want = image.want;
        want[1] = gRasterState.width;
        want[2] = gRasterState.height;
        EXPECT_GT(want[1], 0);
        EXPECT_EQ(Dump(r), Dump(want));
    }
}

} // namespace
