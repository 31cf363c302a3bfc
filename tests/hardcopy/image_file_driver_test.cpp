// The image-file driver: one sheet at depths 1, 4, 8 and 24 written as PCX,
// BMP, run-length encoded BMP and PNG, read back by the library's reader and
// by readers nobody here wrote (pngcheck, ImageMagick, netpbm, Pillow) and
// compared pixel for pixel with the bitmap; header fields; pages in files
// of their own; pages too large.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "hardcopy/image_file_writers.h"
#include "hardcopy/image_reader.h"
#include "raster_test_support.h"
#include "unix_tools.h"

namespace {

using namespace rastertest;

enum Format { kPcx = 0, kBmp = 1, kRle = 2, kPng = 3 };

const char* Extension(int format) { return format == kPng ? ".png" : format == kPcx ? ".pcx" : ".bmp"; }

// The file colour of pixel value V at DEPTH.
int FileColour(int depth, int v)
{
    int rgb = 0;
    switch (depth) {
    case 1: return v != 0 ? 0 : 0xFFFFFF;
    case 4: YYPalette16Entry(ImageFileColourIndex(v), rgb); return rgb;
    case 8: YYColourGet(v, rgb); return rgb;
    default: return v & 0xFFFFFF;
    }
}

// The colours of the page bitmap, top row first.
std::vector<int> BitmapColours()
{
    const RasterState& r = gRasterState;
    std::vector<int> out;
    for (int y = r.height - 1; y >= 0; --y)
        for (int x = 0; x < r.width; ++x)
            out.push_back(FileColour(r.depth, RasterPixelValue(x, y)));
    return out;
}

// Opens a plot of driver 6 into PATH: a W x H sheet at DEPTH in FORMAT.
void SheetOpen(const std::string& path, int depth, int format, int w, int h)
{
    Target(w, h);
    YYHardcopySelect(1, kDriverImageFile);
    YYHardcopyOption(1, w);
    YYHardcopyOption(2, h);
    YYHardcopyOption(23, depth);
    YYHardcopyOption(26, format);
    Open(path);
}

struct Sheet {
    std::string path;
    int width = 0, height = 0, depth = 0, format = 0;
    std::vector<int> colours; // what the file must show, top row first
};

// The sample picture on a W x H sheet at DEPTH in FORMAT.
Sheet Write(int depth, int format, int w, int h, const std::string& leaf)
{
    Sheet s;
    s.path = TempPath(leaf + Extension(format));
    s.width = w;
    s.height = h;
    s.depth = depth;
    s.format = format;
    SheetOpen(s.path, depth, format, w, h);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
    DrawSample(static_cast<float>(w), static_cast<float>(h));
    s.colours = BitmapColours();
    Close();
    return s;
}

std::vector<int> LibraryRead(const std::string& path, int& w, int& h)
{
    Bytes bytes;
    int osError = 0, zlib = 0;
    ImageHeader header;
    std::vector<int> pixels;
    if (ImageFileLoad(path, bytes, osError) != 0 || ImageDecode(bytes, header, pixels, zlib) != 0)
        return {};
    w = header.width;
    h = header.height;
    return pixels;
}

// Packed RGB values of an RGB byte stream.
std::vector<int> Rgb(const Bytes& b, size_t from)
{
    std::vector<int> out;
    for (size_t i = from; i + 2 < b.size(); i += 3)
        out.push_back(b[i] | b[i + 1] << 8 | b[i + 2] << 16);
    return out;
}

// A netpbm reader's picture, turned into PPM, as packed RGB values.
std::vector<int> NetpbmRead(const std::string& tool, const std::string& path)
{
    const std::string ppm = path + ".ppm";
    const int status = unixtools::Run("/usr/bin/" + tool + " '" + unixtools::UnixPath(path) + "' | /usr/bin/ppmtoppm > '" +
                                      unixtools::UnixPath(ppm) + "'");
    const Bytes b = ReadFile(ppm);
    DeleteFileA(ppm.c_str());
    if (status != 0 || b.size() < 2 || b[0] != 'P' || b[1] != '6')
        return {};
    // The header: "P6", width, height, maximum, each after white space.
    size_t pos = 2;
    for (int field = 0; field < 3; ++field) {
        while (pos < b.size() && std::isspace(b[pos]))
            ++pos;
        while (pos < b.size() && std::isdigit(b[pos]))
            ++pos;
    }
    return Rgb(b, pos + 1);
}

std::vector<int> PillowRead(const std::string& path)
{
    const std::string raw = path + ".rgb";
    const int status = unixtools::Run(
        "/usr/bin/python3 -c \"import sys; from PIL import Image; "
        "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert('RGB').tobytes())\" '" +
        unixtools::UnixPath(path) + "' > '" + unixtools::UnixPath(raw) + "'");
    const Bytes b = ReadFile(raw);
    DeleteFileA(raw.c_str());
    return status == 0 ? Rgb(b, 0) : std::vector<int>{};
}

// The sheet's colours as a PPM file for ImageMagick's compare.
std::string ReferencePpm(const Sheet& s)
{
    std::string text = "P6\n" + std::to_string(s.width) + " " + std::to_string(s.height) + "\n255\n";
    Bytes b(text.begin(), text.end());
    for (int c : s.colours)
        b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c >> 16)});
    const std::string path = s.path + ".ref.ppm";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    return path;
}

TEST(ImageFileDriver, SheetsAtEveryDepthAndFormatReadBackAsTheBitmap)
{
    RasterGuard guard;
    const bool pngcheck = unixtools::Available("/usr/bin/pngcheck");
    const bool magick = unixtools::Available("/usr/bin/identify") && unixtools::Available("/usr/bin/compare");
    const bool netpbm = unixtools::Available("/usr/bin/pcxtoppm") && unixtools::Available("/usr/bin/bmptopnm");
    const bool pillow = unixtools::Available("/usr/bin/python3") &&
                        unixtools::Run("/usr/bin/python3 -c 'import PIL'") == 0;
    if (!pngcheck || !magick || !netpbm || !pillow)
        std::printf("readers missing (pngcheck %d, ImageMagick %d, netpbm %d, Pillow %d): those checks skipped\n",
                    pngcheck, magick, netpbm, pillow);
    for (int depth : {1, 4, 8, 24})
        for (int format : {kPcx, kBmp, kRle, kPng}) {
            if (format == kRle && (depth == 1 || depth == 24))
                continue;
            const std::string name = "sheet" + std::to_string(depth) + "_" + std::to_string(format);
            SCOPED_TRACE(name);
            // An odd width: padded lines and rows, partial run-length groups.
            const Sheet s = Write(depth, format, 101, 37, name);
            const std::set<int> distinct(s.colours.begin(), s.colours.end());
            EXPECT_GE(distinct.size(), depth == 1 ? 2u : 5u);
            int w = 0, h = 0;
            EXPECT_TRUE(LibraryRead(s.path, w, h) == s.colours);
            EXPECT_EQ(w, 101);
            EXPECT_EQ(h, 37);
            std::string out;
            if (magick) {
                EXPECT_EQ(unixtools::Run("/usr/bin/identify -format '%w %h %m %z' '" + unixtools::UnixPath(s.path) + "'",
                                         &out), 0);
                const char* kind = format == kPng ? "PNG" : format == kPcx ? "PCX" : "BMP3";
                // Bits per sample as ImageMagick sees them: PNG pictures come
                // out at 8, PCX planes of one bit at 1.
                const int bits = format == kPng || depth == 24 ? 8 : format == kPcx && depth == 4 ? 1 : depth;
                EXPECT_EQ(out, std::string("101 37 ") + kind + " " + std::to_string(bits));
                const std::string ref = ReferencePpm(s);
                // The 1-bit PCX is judged by the others: ImageMagick 6 reads
                // its bits the other way round.
                if (!(format == kPcx && depth == 1)) {
                    EXPECT_EQ(unixtools::Run("/usr/bin/compare -metric AE '" + unixtools::UnixPath(s.path) + "' '" +
                                                 unixtools::UnixPath(ref) + "' null:",
                                             &out),
                              0);
                    EXPECT_EQ(out, "0");
                }
                DeleteFileA(ref.c_str());
            }
            if (pngcheck && format == kPng) {
                EXPECT_EQ(unixtools::Run("/usr/bin/pngcheck -v '" + unixtools::UnixPath(s.path) + "'", &out), 0);
                EXPECT_NE(out.find("No errors detected"), std::string::npos) << out;
                const std::string kind = depth == 24 ? "24-bit RGB" : std::to_string(depth) + "-bit palette";
                EXPECT_NE(out.find("101 x 37 image, " + kind + ", non-interlaced"), std::string::npos) << out;
            }
            if (netpbm && format != kPng) {
                EXPECT_TRUE(NetpbmRead(format == kPcx ? "pcxtoppm" : "bmptopnm", s.path) == s.colours);
            }
            // Pillow misreads four-plane PCX and 4-bit run-length rows of an
            // odd length.
            if (pillow && !(format == kPcx && depth == 4) && !(format == kRle && depth == 4)) {
                EXPECT_TRUE(PillowRead(s.path) == s.colours);
            }
            DeleteFileA(s.path.c_str());
        }
}

// File bytes of a sheet written with nothing but a white dot on it.
Bytes Plain(int depth, int format, int w, int h)
{
    const std::string path = TempPath("plain" + std::string(Extension(format)));
    SheetOpen(path, depth, format, w, h);
    Colour(0);
    Line(0, 0, 0, 0);
    Close();
    const Bytes b = ReadFile(path);
    DeleteFileA(path.c_str());
    return b;
}

int LE(const Bytes& b, size_t at, int n)
{
    int v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v * 256 + b[at + static_cast<size_t>(i)];
    return v;
}

TEST(ImageFileDriver, HeaderFieldsOfTheFormats)
{
    RasterGuard guard;
    // Defaults: 640 x 480, PCX version 5, one plane of 8 bits, the palette
    // block at the end.
    Target(640, 480);
    YYHardcopySelect(1, kDriverImageFile);
    EXPECT_EQ(gHardcopyState.option(1), 640);
    EXPECT_EQ(gHardcopyState.option(23), 8);
    Bytes b = Plain(8, kPcx, 640, 480);
    ASSERT_GT(b.size(), 128u + 769u);
    EXPECT_EQ(b[1], 5);
    EXPECT_EQ(b[3], 8);
    EXPECT_EQ(b[65], 1);
    EXPECT_EQ(LE(b, 66, 2), 640);
    EXPECT_EQ(b[b.size() - 769], 12);
    // One bit of width 100: 13 bytes a line and one more; version 3.
    b = Plain(1, kPcx, 100, 3);
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(LE(b, 66, 2), 14);
    EXPECT_EQ(LE(b, 8, 2), 99);
    // A BMP of one bit and width 100: rows of 13 bytes padded to 16.
    b = Plain(1, kBmp, 100, 7);
    EXPECT_EQ(LE(b, 2, 4), 62 + 16 * 7);
    EXPECT_EQ(static_cast<int>(b.size()), 62 + 16 * 7);
    EXPECT_EQ(LE(b, 18, 4), 100);
    // A 4-bit PNG of width 5: rows of 3 bytes and the filter byte.
    b = Plain(4, kPng, 5, 6);
    const Bytes signature = {137, 80, 78, 71, 13, 10, 26, 10};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), b.begin()));
    EXPECT_EQ(b[24], 4); // bit depth
    EXPECT_EQ(b[25], 3); // palette
    const auto idat = std::search(b.begin(), b.end(), std::begin("IDAT"), std::begin("IDAT") + 4);
    ASSERT_NE(idat, b.end());
    const size_t at = static_cast<size_t>(idat - b.begin());
    const uLong length = static_cast<uLong>(b[at - 4] << 24 | b[at - 3] << 16 | b[at - 2] << 8 | b[at - 1]);
    Bytes raw(100);
    uLongf rawLength = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &rawLength, &b[at + 4], length), Z_OK);
    EXPECT_EQ(rawLength, (3u + 1u) * 6u);
    // A run-length BMP row of twelve equal bytes: one run of 12, its end,
    // then the end of the picture; the sizes patched when the plot closed.
    b = Plain(8, kRle, 12, 1);
    ASSERT_EQ(b.size(), 54u + 1024u + 6u);
    EXPECT_EQ(LE(b, 30, 4), 1);
    EXPECT_EQ(Bytes(b.end() - 6, b.end()), (Bytes{12, 0, 0, 0, 0, 1}));
    EXPECT_EQ(LE(b, 2, 4), static_cast<int>(b.size()));
    EXPECT_EQ(LE(b, 34, 4), 6);
}

TEST(ImageFileDriver, EveryPageInAFileOfItsOwn)
{
    RasterGuard guard;
    for (int format : {kPng, kRle}) {
        SCOPED_TRACE(format);
        const std::string path = TempPath(std::string("pages") + Extension(format));
        SheetOpen(path, 8, format, 30, 20);
        for (int page = 1; page <= 3; ++page) {
            Colour(223);
            Line(0, static_cast<float>(page), 29, static_cast<float>(page));
            if (page < 3) {
                gDeviceParameterBlock.N = 0;
                Op(DeviceOp::kEndPage);
            }
        }
        Close();
        for (int page = 1; page <= 3; ++page) {
            const std::string name = ImagePageFileName(path, page);
            const Bytes b = ReadFile(name);
            int w = 0, h = 0;
            const std::vector<int> pixels = LibraryRead(name, w, h);
            ASSERT_EQ(pixels.size(), 600u) << page;
            // The page's own line, one row higher each page, and no other.
            for (int row = 1; row <= 3; ++row)
                EXPECT_EQ(pixels[static_cast<size_t>((19 - row) * 30 + 5)], row == page ? 0 : 0xFFFFFF) << page;
            if (format == kRle) {
                EXPECT_EQ(LE(b, 2, 4), static_cast<int>(b.size()));
            }
            if (format == kPng && unixtools::Available("/usr/bin/pngcheck")) {
                std::string out;
                EXPECT_EQ(unixtools::Run("/usr/bin/pngcheck '" + unixtools::UnixPath(name) + "'", &out), 0) << out;
            }
            DeleteFileA(name.c_str());
        }
    }
    EXPECT_EQ(ImagePageFileName("C:\\a.b\\plot", 2), "C:\\a.b\\plot-2");
    EXPECT_EQ(ImagePageFileName("quilplot.png", 12), "quilplot-12.png");
}

TEST(ImageFileDriver, PagesTooLargeShrinkOrCloseTheHardcopy)
{
    RasterGuard guard;
    struct Case {
        int width, height, depth, format;
        bool opens;
        int reports; // error 34 reports at least
    };
    const Case cases[] = {
        {1, 1, 24, kPng, true, 0},
        {2147483647, 2147483647, 24, kBmp, true, 100}, // shrunk step by step until it fits
        {2147483647, 1, 8, kBmp, false, 1},             // gives up below one pixel
        {100000, 10, 8, kPcx, false, 1},                // no PCX field holds it
        {100000, 10, 1, kBmp, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        ErrorCapture errors;
        const std::string path = TempPath(std::string("large") + Extension(c.format));
        SheetOpen(path, c.depth, c.format, c.width, c.height);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, c.opens ? 1 : 0);
        EXPECT_GE(errors.Count(kErrorPageTooLarge, "XXIMAG"), c.reports);
        if (!c.reports) {
            EXPECT_EQ(errors.Total(), 0);
        }
        if (c.opens) {
            EXPECT_LE(gRasterState.totalWords + 1, kRasterMaxWords);
            EXPECT_GE(gRasterState.width, 1);
            EXPECT_TRUE(RasterGuardsIntact());
            if (c.width < 1000000) {
                Colour(223);
                Line(0, 0, 99.99f, 99.99f);
            }
        }
        Close();
        if (c.opens && c.width < 1000000) {
            int w = 0, h = 0;
            EXPECT_EQ(LibraryRead(path, w, h).size(), static_cast<size_t>(c.width) * c.height);
        }
        DeleteFileA(path.c_str());
    }
}

TEST(ImageFileDriver, AnOutputThatCannotBeCreatedClosesTheHardcopy)
{
    RasterGuard guard;
    ErrorCapture errors;
    SheetOpen(TempPath("no-such-folder\\sheet.png"), 24, kPng, 20, 10);
    EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
    EXPECT_EQ(errors.Count(kErrorFileOpen, "YYPROU"), 1);
    EXPECT_EQ(gHardcopyState.outputAbort, -1);
    EXPECT_FALSE(RasterBitmapAllocated()); // no end of plot reaches a closed hardcopy
}

} // namespace
