// Image drawing into GDI drawing contexts (the files decoded by the library's
// one decoder, stretched, turned, from the clipboard, as DeviceOp 38 of the
// screen driver) and screen-rectangle saves read back by this decoder and by
// readers this project did not write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures_data.h"
#include "graphics/graphics_fixture.h"
#include "graphics/screen_driver.h"
#include "hardcopy/gdi_image.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/image_writers.h"
#include "image_test_support.h"
#include "unix_tools.h"

using namespace imagetest;

namespace {

std::vector<int> Decoded(const ByteVec& bytes, int& w, int& h)
{
    ImageHeader header;
    std::vector<int> pixels;
    int zlib = 0;
    EXPECT_EQ(ImageDecode(bytes, header, pixels, zlib), 0);
    w = header.width;
    h = header.height;
    return pixels;
}

// Every surface pixel, row by row.
std::vector<int> Snapshot(const MemorySurface& s)
{
    std::vector<int> v;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            v.push_back(s.Pixel(x, y));
    return v;
}

struct DrawResult {
    int result = -1;
    int osError = -1;
};

DrawResult Draw(int kind, int x1, int y1, int x2, int y2, int stretch, int mode, int rotation, int dx, int dy,
                const std::string& file)
{
    DrawResult r;
    ImageDrawToTarget(kind, kImageTargetScreen, x1, y1, x2, y2, stretch, mode, rotation, dx, dy, r.result,
                      r.osError, file);
    return r;
}

// A picture with four coloured quarters on white, drawn with GDI.
void PaintQuarters(MemorySurface& s)
{
    const COLORREF colours[4] = {RGB(200, 30, 40), RGB(20, 160, 60), RGB(10, 20, 230), RGB(250, 250, 10)};
    const int w = s.width(), h = s.height();
    for (int q = 0; q < 4; ++q) {
        RECT r{(q % 2) * w / 2, (q / 2) * h / 2, (q % 2 + 1) * w / 2, (q / 2 + 1) * h / 2};
        HBRUSH b = CreateSolidBrush(colours[q]);
        FillRect(s.dc(), &r, b);
        DeleteObject(b);
    }
    SetPixel(s.dc(), 1, 1, RGB(0, 0, 0));
}

// The number of pixels of PIXELS (W x H) that differ from the surface with
// their top-left pixel at (LEFT, TOP).
int Mismatches(const MemorySurface& s, const std::vector<int>& pixels, int w, int h, int left, int top)
{
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong += s.Pixel(left + x, top + y) != pixels[static_cast<size_t>(y * w + x)];
    return wrong;
}

class GdiImageTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    ScratchFile file{"gdi-image.img"};
};

TEST_F(GdiImageTest, EveryFixtureDrawsAsTheDecoderReadsIt)
{
    for (int i = 0; i < kImageFixtureCount; ++i) {
        const ImageFixture& fx = kImageFixtures[i];
        SCOPED_TRACE(fx.name);
        const ByteVec bytes(fx.bytes, fx.bytes + fx.size);
        int w = 0, h = 0;
        const std::vector<int> expected = Decoded(bytes, w, h);
        file.Write(bytes);
        MemorySurface surface(w + 8, h + 6);
        const DrawResult r = Draw(fx.kind, 5, 3, 0, 0, 0, 0, 0, 0, 0, file.path());
        ASSERT_EQ(r.result, 0);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                wrong += surface.Pixel(5 + x, 3 + y) != expected[static_cast<size_t>(y * w + x)];
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(surface.Pixel(4, 3), kWhite);
        EXPECT_EQ(surface.Pixel(5 + w, 3 + h - 1), kWhite);
    }
}

TEST_F(GdiImageTest, StretchAndTurn)
{
    const ImageFixture& fx = kImageFixtures[kImageFixtureCount - 6]; // an 8-bit RGB PNG
    const ByteVec bytes(fx.bytes, fx.bytes + fx.size);
    int w = 0, h = 0;
    const std::vector<int> pixels = Decoded(bytes, w, h);
    file.Write(bytes);

    // Twice the size with colour-on-colour stretching: every pixel doubled.
    {
        MemorySurface surface(2 * w + 4, 2 * h + 4);
        ASSERT_EQ(Draw(fx.kind, 2, 2, 2 + 2 * w - 1, 2 + 2 * h - 1, 1, 3, 0, 0, 0, file.path()).result, 0);
        int wrong = 0;
        for (int y = 0; y < 2 * h; ++y)
            for (int x = 0; x < 2 * w; ++x)
                wrong += surface.Pixel(2 + x, 2 + y) != pixels[static_cast<size_t>((y / 2) * w + x / 2)];
        EXPECT_EQ(wrong, 0);
    }
    // Turned about a point on the NT family: where the world transform of
    // the turn maps the picture's box.
    gLibraryState.ntFamily = 1;
    for (int rotation : {90, 180, 270}) {
        SCOPED_TRACE(rotation);
        MemorySurface surface(60, 60);
        ASSERT_EQ(Draw(fx.kind, 0, 0, 0, 0, 0, 0, rotation, 30, 30, file.path()).result, 0);
        int tw = w, th = h;
        std::vector<int> turned = pixels;
        ImagePixelsRotate(rotation, tw, th, turned);
        // Where the turned picture's top-left pixel ideally lands.
        const int left = rotation == 90 ? 30 : 30 - tw;
        const int top = rotation == 270 ? 30 : 30 - th;
        EXPECT_EQ(Mismatches(surface, turned, tw, th, left, top), 0);
    }
    // Without the world transform the turned picture is drawn at (x1, y1).
    gLibraryState.ntFamily = 0;
    {
        MemorySurface surface(30, 30);
        ASSERT_EQ(Draw(fx.kind, 4, 2, 0, 0, 0, 0, 270, 30, 30, file.path()).result, 0);
        int tw = w, th = h;
        std::vector<int> turned = pixels;
        ImagePixelsRotate(270, tw, th, turned);
        int wrong = 0;
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x)
                wrong += surface.Pixel(4 + x, 2 + y) != turned[static_cast<size_t>(y * tw + x)];
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(GdiImageTest, PixelTurnsByTable)
{
    // 3 x 2: a b c / d e f.
    const std::vector<int> abc = {1, 2, 3, 4, 5, 6};
    const struct {
        int rotation, w, h;
        std::vector<int> pixels;
    } cases[] = {
        {90, 2, 3, {3, 6, 2, 5, 1, 4}},
        {180, 3, 2, {6, 5, 4, 3, 2, 1}},
        {270, 2, 3, {4, 1, 5, 2, 6, 3}},
        {45, 3, 2, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        int w = 3, h = 2;
        std::vector<int> v = abc;
        ImagePixelsRotate(c.rotation, w, h, v);
        EXPECT_EQ(w, c.w) << c.rotation;
        EXPECT_EQ(h, c.h) << c.rotation;
        EXPECT_EQ(v, c.pixels) << c.rotation;
    }
}

TEST_F(GdiImageTest, FailuresDrawNothing)
{
    const ImageFixture& png = kImageFixtures[kImageFixtureCount - 6];
    const ByteVec good(png.bytes, png.bytes + png.size);
    ByteVec os2 = Bmp(4, 4, 24, 0, {}, ByteVec(64, 0));
    os2[14] = 12; // a 12-byte OS/2 header
    ByteVec pcx = Pcx(4, 2, 8, 1, 4, ByteVec(8, 1), {}, PcxTail({}));
    pcx[2] = 0; // no run-length encoding
    ByteVec badZlib = good;
    for (size_t i = 8; i + 8 < badZlib.size(); ++i)
        if (std::string(badZlib.begin() + i, badZlib.begin() + i + 4) == "IDAT") {
            badZlib[i + 4] ^= 0xFF; // the zlib header
            badZlib[i + 5] ^= 0xFF;
        }
    ByteVec truncated(good.begin(), good.begin() + 60);
    const struct {
        const char* what;
        int kind;
        ByteVec bytes; // empty: no file
        int result;
    } cases[] = {
        {"missing file", 15, {}, 1},
        {"OS/2 bitmap header", 1, os2, 27},
        {"PCX without encoding", 2, pcx, 27},
        {"PNG named as BMP", 1, good, 27},
        {"unknown source kind", 5, good, 27},
        {"damaged image data", 15, badZlib, 1044},
        {"file ends early", 15, truncated, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string name = file.path();
        if (c.bytes.empty())
            name += ".none";
        else
            file.Write(c.bytes);
        MemorySurface surface(20, 20);
        const std::vector<int> before = Snapshot(surface);
        const DrawResult r = Draw(c.kind, 1, 1, 0, 0, 0, 0, 0, 0, 0, name);
        EXPECT_EQ(r.result, c.result);
        if (c.result == 1) {
            EXPECT_NE(r.osError, 0);
        }
        EXPECT_EQ(Snapshot(surface), before);
    }
}

TEST_F(GdiImageTest, ClipboardRoundTrip)
{
    MemorySurface surface(40, 30);
    PaintQuarters(surface);
    // An empty clipboard holds no bitmap.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(Draw(kImageSourceClipboard, 0, 0, 0, 0, 0, 0, 0, 0, 0, "").result, 1095);

    int result = -1, osError = -1;
    ImageSaveRectangle(kImageSourceClipboard, 0, 0, 19, 14, result, osError, "");
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    const std::vector<int> before = Snapshot(surface);
    ASSERT_EQ(Draw(kImageSourceClipboard, 20, 15, 0, 0, 0, 0, 0, 0, 0, "").result, 0);
    int wrong = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x)
            wrong += surface.Pixel(20 + x, 15 + y) != before[static_cast<size_t>(y * 40 + x)];
    EXPECT_EQ(wrong, 0);
}

TEST_F(GdiImageTest, SavedRectanglesReadBack)
{
    MemorySurface surface(37, 23); // odd sizes: padded rows, odd PCX lines
    PaintQuarters(surface);
    const std::vector<int> all = Snapshot(surface);
    const int x1 = 2, y1 = 3, x2 = 32, y2 = 20, w = x2 - x1 + 1, h = y2 - y1 + 1;
    const bool tools = unixtools::Available("/usr/bin/pngcheck") && unixtools::Available("/usr/bin/identify");
    for (int kind : {kImageKindBmp, kImageKindPcx, kImageKindPng}) {
        SCOPED_TRACE(kind);
        ScratchFile saved("saved-" + std::to_string(kind) + (kind == 1 ? ".bmp" : kind == 2 ? ".pcx" : ".png"));
        int result = -1, osError = -1;
        ImageSaveRectangle(kind, x1, y1, x2, y2, result, osError, saved.path());
        ASSERT_EQ(result, 0);
        std::vector<std::uint8_t> bytes;
        ASSERT_EQ(ImageFileLoad(saved.path(), bytes, osError), 0);
        EXPECT_EQ(ImageKindOf(bytes), kind);
        int rw = 0, rh = 0;
        const std::vector<int> read = Decoded(bytes, rw, rh);
        ASSERT_EQ(rw, w);
        ASSERT_EQ(rh, h);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                wrong += read[static_cast<size_t>(y * w + x)] != all[static_cast<size_t>((y1 + y) * 37 + x1 + x)];
        EXPECT_EQ(wrong, 0);
        if (tools) {
            const std::string path = unixtools::UnixPath(saved.path());
            std::string out;
            if (kind == kImageKindPng) {
                EXPECT_EQ(unixtools::Run("/usr/bin/pngcheck '" + path + "'", &out), 0) << out;
            }
            EXPECT_EQ(unixtools::Run("/usr/bin/identify -format '%w %h' '" + path + "'", &out), 0) << out;
            EXPECT_EQ(out, std::to_string(w) + " " + std::to_string(h));
        }
    }
    if (!tools)
        GTEST_SKIP() << "pngcheck and identify are not reachable: the saved files were checked by this decoder only";
}

TEST_F(GdiImageTest, SaveFailures)
{
    MemorySurface surface(10, 10);
    int result = -1, osError = -1;
    ImageSaveRectangle(7, 0, 0, 5, 5, result, osError, file.path());
    EXPECT_EQ(result, 27);
    ImageSaveRectangle(kImageKindPng, 5, 5, 4, 9, result, osError, file.path());
    EXPECT_EQ(result, 1072);
    ImageSaveRectangle(kImageKindPng, 0, 0, 5, 5, result, osError, file.path() + "\\no\\such\\x.png");
    EXPECT_EQ(result, 1);
    EXPECT_NE(osError, 0);
}

TEST_F(GdiImageTest, ScreenOperation38DrawsIntoTheGraphicsArea)
{
    const ImageFixture& fx = kImageFixtures[kImageFixtureCount - 6];
    const ByteVec bytes(fx.bytes, fx.bytes + fx.size);
    int w = 0, h = 0;
    const std::vector<int> pixels = Decoded(bytes, w, h);
    file.Write(bytes);
    MemorySurface surface(60, 50);
    gGraphicsState.integerArea = {10, 5, 40, 30};
    gGraphicsState.pageRotation = 0;
    PutText(std::span<char>(gDeviceTextBuffer.text), file.path());
    DeviceParameterBlock& b = gDeviceParameterBlock;
    b.IX[0] = kImageKindPng;
    b.IY[0] = 0; // own size
    b.IY[2] = 0;
    b.M = -5;
    b.N = -5;
    YYGAPI(DeviceOp::kImageFile);
    EXPECT_EQ(b.M, 0);
    EXPECT_EQ(b.N, 0);
    // The area's top (y 30 up) is surface row 50 - 30 - 1 = 19.
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong += surface.Pixel(10 + x, 19 + y) != pixels[static_cast<size_t>(y * w + x)];
    EXPECT_EQ(wrong, 0);

    PutText(std::span<char>(gDeviceTextBuffer.text), file.path() + ".none");
    YYGAPI(DeviceOp::kImageFile);
    EXPECT_EQ(b.M, 1);
    EXPECT_NE(b.N, 0);
}

TEST(ImageWriters, PcxRunsHeaderAndPaletteSizes)
{
    std::vector<std::uint8_t> out;
    PcxWriteRun(200, 1, out);
    PcxWriteRun(5, 1, out);
    PcxWriteRun(5, 3, out);
    PcxWriteRun(192, 63, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{193, 200, 5, 195, 5, 255, 192}));

    PictureData p;
    p.width = 3;
    p.height = 1;
    p.indexed = true;
    p.values = {7, 7, 7};
    p.palette = {0x0000FF};
    const std::vector<std::uint8_t> pcx = PcxEncode(p);
    ASSERT_EQ(pcx.size(), 128u + 2 + 1 + 769);
    EXPECT_EQ(pcx[66], 4); // bytes per line rounded up to even
    EXPECT_EQ(pcx[65], 1);
    EXPECT_EQ(pcx[128], 195); // three 7s in one run, then the pad byte
    EXPECT_EQ(pcx[129], 7);
    EXPECT_EQ(pcx[130], 0);
    EXPECT_EQ(pcx[131], 12);
    EXPECT_EQ(pcx[132], 255); // colour 0: red first

    EXPECT_EQ(DibPaletteBytes(40, 1, 0), 8);
    EXPECT_EQ(DibPaletteBytes(40, 4, 0), 64);
    EXPECT_EQ(DibPaletteBytes(40, 8, 0), 1024);
    EXPECT_EQ(DibPaletteBytes(40, 8, 20), 80);
    EXPECT_EQ(DibPaletteBytes(12, 8, 0), 768);
    EXPECT_EQ(DibPaletteBytes(40, 24, 0), 0);
    EXPECT_EQ(DibPaletteBytes(40, 8, 100000), 1024);
}

TEST(ImageWriters, IndexedPngOfFourBitsDecodes)
{
    PictureData p;
    p.width = 5;
    p.height = 2;
    p.indexed = true;
    p.values = {0, 1, 2, 3, 1, 3, 2, 1, 0, 0};
    p.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    std::vector<std::uint8_t> png;
    int zlib = -1;
    ASSERT_EQ(PngEncode(p, 4, png, zlib), 0);
    EXPECT_EQ(png[24], 4); // bit depth
    EXPECT_EQ(png[25], 3); // colour type
    int w = 0, h = 0;
    const std::vector<int> read = Decoded(png, w, h);
    ASSERT_EQ(read.size(), p.values.size());
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(read[i], p.palette[static_cast<size_t>(p.values[i])]) << i;
}

} // namespace
