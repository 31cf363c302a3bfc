// The image reader: fixtures written by other programs decode to what
// independent readers (ImageMagick, cross-checked with Pillow and netpbm)
// read from them; the format rules on small hand-made files;
// the caller's array is written only on success and never past its end.
#include <gtest/gtest.h>

#include <zlib.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "fixtures_data.h"
#include "hardcopy/image_file_info.h"
#include "image_test_support.h"
#include "scratch_files.h"
#include "unix_tools.h"

using namespace imagetest;

namespace {

// The reference value of a component stored in fewer than 8 bits, as this
// reader scales it: the stored value shifted up (31 gives 248, not 255).
int Quantised(int rgb, const int bits[3])
{
    int out = 0;
    for (int c = 0; c < 3; ++c) {
        int v = (rgb >> (8 * c)) & 255;
        int k = bits[c];
        if (k < 8) {
            int stored = (v * ((1 << k) - 1) + 127) / 255;
            v = stored << (8 - k);
        }
        out |= v << (8 * c);
    }
    return out;
}

std::string Hex(int v)
{
    char b[16];
    std::snprintf(b, sizeof b, "%06X", unsigned(v));
    return b;
}

ByteVec FixtureBytes(const ImageFixture& fx)
{
    return ByteVec(fx.bytes, fx.bytes + fx.size);
}

// ---------------------------------------------------------------------------

TEST(ImageReaderFixtures, EveryFixtureDecodesAsIndependentReadersDo)
{
    ASSERT_GT(kImageFixtureCount, 0);
    ScratchFile file("fixture.img");
    for (int i = 0; i < kImageFixtureCount; ++i) {
        const ImageFixture& fx = kImageFixtures[i];
        SCOPED_TRACE(fx.name);
        ByteVec bytes = FixtureBytes(fx);
        size_t n = size_t(fx.width) * size_t(fx.height);
        LoadOutcome r = LoadFrom(file, bytes, n);
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.guardIntact);
        int wrong = 0;
        for (size_t k = 0; k < n && r.pixels.size() == n; ++k) {
            int want = Quantised(fx.rgb[k], fx.channelBits);
            if (r.pixels[k] != want && wrong++ < 3)
                ADD_FAILURE() << "pixel (" << k % fx.width + 1 << ", " << k / fx.width + 1 << ") is "
                              << Hex(r.pixels[k]) << ", the reference is " << Hex(want);
        }
        EXPECT_EQ(wrong, 0);

        // The pure decoder that the GDI image drawing uses gives the same.
        ImageHeader header;
        std::vector<int> pixels;
        int zlibStatus = -1;
        EXPECT_EQ(ImageDecode(bytes, header, pixels, zlibStatus), 0);
        EXPECT_EQ(header.kind, fx.kind);
        EXPECT_EQ(header.width, fx.width);
        EXPECT_EQ(header.height, fx.height);
        EXPECT_EQ(pixels, r.pixels);
    }
}

// ---------------------------------------------------------------------------
// Format rules on small files

constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

TEST(ImageReaderRules, BmpRowsPaddingOrderAndDepths)
{
    ScratchFile file("rules.bmp");
    // 24 bits, width 3: rows of 12 bytes, the first file row is the bottom.
    ByteVec rows = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0};
    LoadOutcome r = LoadFrom(file, Bmp(3, 2, 24, 0, {}, rows), 6);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{0x1E140A, 0x3C3228, 0x5A5046, 0x030201, 0x060504, 0x090807}));

    // The same rows stored top-down (negative height).
    r = LoadFrom(file, Bmp(3, -2, 24, 0, {}, rows), 6);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{0x030201, 0x060504, 0x090807, 0x1E140A, 0x3C3228, 0x5A5046}));

    // 1 bit: a set bit is palette entry 1.
    r = LoadFrom(file, Bmp(3, 1, 1, 0, {0, kWhite}, {0xA0, 0, 0, 0}), 3);
    EXPECT_EQ(r.pixels, (std::vector<int>{16777215, 0, 16777215}));

    // 4 bits: high nibble first.
    r = LoadFrom(file, Bmp(3, 1, 4, 0, {0, kRed, kGreen, kBlue}, {0x12, 0x30, 0, 0}), 3);
    EXPECT_EQ(r.pixels, (std::vector<int>{kRed, kGreen, kBlue}));

    // 16 bits without bit fields: five bits each, top bit ignored.
    r = LoadFrom(file, Bmp(1, 1, 16, 0, {}, {0xFF, 0x7F, 0, 0}), 1);
    EXPECT_EQ(r.pixels, (std::vector<int>{16316664}));
    r = LoadFrom(file, Bmp(1, 1, 16, 0, {}, {0xFF, 0xFF, 0, 0}), 1);
    EXPECT_EQ(r.pixels, (std::vector<int>{16316664}));
    // 16 bits with 5-6-5 bit fields after the header.
    ByteVec masks;
    PutLE(masks, 0xF800, 4);
    PutLE(masks, 0x07E0, 4);
    PutLE(masks, 0x001F, 4);
    r = LoadFrom(file, Bmp(1, 1, 16, 3, {}, {0xFF, 0xFF, 0, 0}, 0, masks), 1);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{248 + 256 * 252 + 65536 * 248}));
    // 32 bits: blue, green, red, ignored byte.
    r = LoadFrom(file, Bmp(1, 1, 32, 0, {}, {1, 2, 3, 99}), 1);
    EXPECT_EQ(r.pixels, (std::vector<int>{0x010203}));

    // Only the colour table's entries count: an index past them is black,
    // and the table is not taken from the pixel data.
    r = LoadFrom(file, Bmp(2, 1, 8, 0, {kRed, kGreen}, {1, 200, 0, 0}, 2), 2);
    EXPECT_EQ(r.pixels, (std::vector<int>{kGreen, 0}));
}

TEST(ImageReaderRules, BmpRunLengthEscapes)
{
    ScratchFile file("rle.bmp");
    const int F = 7; // the caller's values where the file sets nothing
    // Run, then the delta (0, 2, 3, 1): three right and one row up.
    ByteVec data = {2, 1, 0, 2, 3, 1, 1, 2, 0, 1};
    LoadOutcome r = LoadFrom(file, Bmp(6, 3, 8, 1, {0, kRed, kGreen}, data), 18, F);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{F, F, F, F, F, F, F, F, F, F, F, kGreen, kRed, kRed, F, F, F, F}));

    // 4 bits: a run alternates high and low nibble; an absolute run of odd
    // length is padded to an even byte count; end of line; end of picture.
    data = {5, 0x12, 0, 0, 0, 5, 0x31, 0x23, 0x10, 0x00, 0, 0, 5, 0x33, 0, 1};
    r = LoadFrom(file, Bmp(5, 3, 4, 2, {0, kRed, kGreen, kBlue}, data), 15, F);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{kBlue, kBlue, kBlue, kBlue, kBlue,    //
                                          kBlue, kRed, kGreen, kBlue, kRed,     //
                                          kRed, kGreen, kRed, kGreen, kRed}));
}

TEST(ImageReaderRules, PcxDepthsRunsAndPalettes)
{
    ScratchFile file("rules.pcx");
    // 1 bit: set bits are white whatever the header palette says.
    LoadOutcome r = LoadFrom(file, Pcx(10, 1, 1, 1, 2, {0xB0, 0x40}, {kRed, kBlue}), 10);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{kWhite, 0, kWhite, kWhite, 0, 0, 0, 0, 0, kWhite}));

    // 4 planes of 1 bit: plane k adds 2 to the power k, through the header palette.
    std::vector<int> pal16(16);
    for (int i = 0; i < 16; ++i)
        pal16[i] = i * 0x010101;
    r = LoadFrom(file, Pcx(3, 1, 1, 4, 2, {0x80, 0, 0x40, 0, 0x20, 0, 0xC1, 0xE0, 0}, pal16), 3);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{9 * 0x010101, 10 * 0x010101, 12 * 0x010101}));

    // 8 bits: a run crossing the end of a line fills the padding byte and
    // goes on in the next line; only pixels inside the width are stored.
    std::vector<int> colours(256, 0);
    colours[5] = 0x112233;
    colours[7] = 0x445566;
    r = LoadFrom(file, Pcx(3, 2, 8, 1, 4, {0xC6, 5, 7, 8}, {}, PcxTail(colours)), 6);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, (std::vector<int>{0x112233, 0x112233, 0x112233, 0x112233, 0x112233, 0x445566}));

    // 24 bits: red, green and blue planes of each line.
    r = LoadFrom(file, Pcx(1, 1, 8, 3, 2, {1, 0, 2, 0, 3, 0}), 1);
    EXPECT_EQ(r.pixels, (std::vector<int>{0x030201}));

    // 8 bits without the marker 12, or without the tail at all: error 2.
    ByteVec tail = PcxTail(colours);
    tail[0] = 11;
    r = LoadFrom(file, Pcx(3, 2, 8, 1, 4, {0xC6, 5, 7, 8}, {}, tail), 6);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.untouched);
    r = LoadFrom(file, Pcx(3, 2, 8, 1, 4, {0xC6, 5, 7, 8}), 6);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.untouched);
}

TEST(ImageReaderRules, PngLayoutsAndSamples)
{
    ScratchFile file("rules.png");
    // 1 bit, width 10: two bytes per row after the filter byte; the second
    // row is filtered (Sub) and starts at its own filter byte.
    ByteVec rows = {0, 0xB0, 0x40, 1, 0xFF, 0xC1};
    LoadOutcome r = LoadFrom(file, Png(10, 2, 1, 3, rows, {0x102030, 0x405060}), 20);
    EXPECT_EQ(r.code, 0);
    const int a = 0x102030, b = 0x405060;
    EXPECT_EQ(r.pixels, (std::vector<int>{b, a, b, b, a, a, a, a, a, b, b, b, b, b, b, b, b, b, b, b}));

    // 2 bits: bits 7-6 first.
    r = LoadFrom(file, Png(5, 1, 2, 3, {0, 0x1B, 0xC0}, {kRed, kGreen, kBlue, kWhite}), 5);
    EXPECT_EQ(r.pixels, (std::vector<int>{kRed, kGreen, kBlue, kWhite, kWhite}));

    // 16-bit samples: the high byte counts (0x12 0x34 gives 18); alpha is dropped.
    r = LoadFrom(file, Png(1, 1, 16, 2, {0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}), 1);
    EXPECT_EQ(r.pixels, (std::vector<int>{18 + 256 * 0x56 + 65536 * 0x9A}));
    r = LoadFrom(file, Png(1, 1, 8, 6, {0, 1, 2, 3, 4}), 1);
    EXPECT_EQ(r.pixels, (std::vector<int>{0x030201}));
}

TEST(ImageReaderRules, PngDataLargerThanAnyFormulaIsRead)
{
    // Nine rows of a 13-pixel RGB picture, deflated with a flush after every
    // byte: the stream is several times the raw size, still a valid stream.
    const int w = 13, h = 9;
    ByteVec raw;
    std::vector<int> want;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) {
            int rgb[3] = {x * 19, y * 28, (x * y * 7 + 40) % 256};
            for (int c : rgb)
                raw.push_back(std::uint8_t(c));
            want.push_back(rgb[0] + 256 * rgb[1] + 65536 * rgb[2]);
        }
    }
    z_stream zs{};
    ASSERT_EQ(deflateInit(&zs, 6), Z_OK);
    ByteVec z(raw.size() * 16 + 64);
    zs.next_out = z.data();
    zs.avail_out = uInt(z.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        zs.next_in = &raw[i];
        zs.avail_in = 1;
        ASSERT_EQ(deflate(&zs, i + 1 < raw.size() ? Z_FULL_FLUSH : Z_FINISH), i + 1 < raw.size() ? Z_OK : Z_STREAM_END);
    }
    z.resize(zs.total_out);
    deflateEnd(&zs);
    ASSERT_GT(z.size(), raw.size() + raw.size() / 1000 + 22);

    ByteVec png = PngSignatureAndHeader(w, h, 8, 2);
    // Spread over two IDAT chunks with an ancillary chunk between them.
    PngChunk(png, "IDAT", ByteVec(z.begin(), z.begin() + z.size() / 2));
    PngChunk(png, "tEXt", {'a', 0, 'b'});
    PngChunk(png, "IDAT", ByteVec(z.begin() + z.size() / 2, z.end()));
    PngChunk(png, "IEND", {});
    ScratchFile file("big.png");
    LoadOutcome r = LoadFrom(file, png, w * h);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels, want);
}

TEST(ImageReaderRules, CapacityAndMissingFiles)
{
    ScratchFile file("cap.bmp");
    ByteVec bmp = Bmp(3, 2, 24, 0, {}, ByteVec(24, 0x40));
    // The picture does not fit: 27, nothing written.
    LoadOutcome r = LoadFrom(file, bmp, 5);
    EXPECT_EQ(r.code, 27);
    EXPECT_TRUE(r.untouched);
    EXPECT_TRUE(r.guardIntact);
    // More room than the picture needs: only its six elements change.
    r = LoadFrom(file, bmp, 10);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.pixels[5], 0x404040);
    EXPECT_TRUE(std::all_of(r.pixels.begin() + 6, r.pixels.end(), [](int v) { return v == kSentinel; }));

    // Blank name, missing file, tiny file, text file: 27.
    std::vector<int> a(4, kSentinel);
    for (std::string name : {std::string("   "), file.path() + ".none", std::string("Z:\\no\\such\\dir\\x.png")}) {
        gErrorState.lastCode = 0;
        IGrLoadImageData(name, a);
        EXPECT_EQ(gErrorState.lastCode, 27) << name;
    }
    EXPECT_EQ(LoadFrom(file, {'B', 'M', 0}, 4).code, 27);
    EXPECT_EQ(LoadFrom(file, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, 4).code, 27);
    EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](int v) { return v == kSentinel; }));
}

// Pictures far over 2^24 pixels written by Pillow: a 4100 x 4100 BMP and a
// 5000 x 4000 PNG whose pixel (x, y) from the top left is (x mod 256, y mod
// 256, (x + y) mod 256). Read whole into the caller's array and through the
// drivers' sized load, compared at a grid of sample pixels; their kind and
// size as the detection reports them.
TEST(ImageReaderLarge, PicturesOverSixteenMegapixelsFromPillow)
{
    if (!unixtools::Available("/usr/bin/python3"))
        GTEST_SKIP() << "python3 is missing: the pictures cannot be made";
    const std::string script = TempName("large.py"), bmp = TempName("large.bmp"), png = TempName("large.png");
    {
        std::ofstream out(script);
        out << "import sys\n"
               "from PIL import Image, ImageChops\n"
               "def picture(w, h):\n"
               "    tx = Image.frombytes('L', (256, 256), bytes(range(256)) * 256)\n"
               "    ty = tx.transpose(Image.Transpose.TRANSPOSE)\n"
               "    r, g = Image.new('L', (w, h)), Image.new('L', (w, h))\n"
               "    for y in range(0, h, 256):\n"
               "        for x in range(0, w, 256):\n"
               "            r.paste(tx, (x, y))\n"
               "            g.paste(ty, (x, y))\n"
               "    return Image.merge('RGB', (r, g, ImageChops.add_modulo(r, g)))\n"
               "picture(4100, 4100).save(sys.argv[1], 'BMP')\n"
               "picture(5000, 4000).save(sys.argv[2], 'PNG')\n";
    }
    std::string output;
    const int status = unixtools::Run("/usr/bin/python3 '" + unixtools::UnixPath(script) + "' '" +
                                      unixtools::UnixPath(bmp) + "' '" + unixtools::UnixPath(png) + "'",
                                      &output);
    DeleteFileA(script.c_str());
    if (status != 0 && output.find("No module named") != std::string::npos)
        GTEST_SKIP() << "python3-pil is missing";
    ASSERT_EQ(status, 0) << output;

    struct Picture {
        std::string path;
        int kind, width, height;
    };
    for (const Picture& p : {Picture{bmp, kImageFileBmp, 4100, 4100}, Picture{png, kImageFilePng, 5000, 4000}}) {
        SCOPED_TRACE(p.path);
        std::array<int, 3> record{};
        YYImageFileInfo(p.path, record, 3);
        EXPECT_EQ(record, (std::array<int, 3>{p.kind, p.width, p.height}));

        const std::size_t n = std::size_t(p.width) * std::size_t(p.height);
        std::vector<int> image(n, kSentinel);
        gErrorState.lastCode = 0;
        IGrLoadImageData(p.path, image);
        EXPECT_EQ(gErrorState.lastCode, 0);
        int wrong = 0;
        auto check = [&](int x, int y) {
            const int want = (x & 255) + 256 * (y & 255) + 65536 * ((x + y) & 255);
            const int got = image[std::size_t(y) * std::size_t(p.width) + std::size_t(x)];
            if (got != want && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << Hex(got) << ", Pillow wrote " << Hex(want);
        };
        for (int y = 0; y < p.height; y += 97)
            for (int x = 0; x < p.width; x += 89)
                check(x, y);
        check(p.width - 1, 0);
        check(0, p.height - 1);
        check(p.width - 1, p.height - 1);
        EXPECT_EQ(wrong, 0);

        std::vector<int> sized;
        int osError = -1, zlib = -1;
        EXPECT_EQ(ImageFileDecodeSized(p.path, p.width, p.height, sized, osError, zlib), 0);
        EXPECT_TRUE(sized == image) << "the drivers' load decodes the same picture";
        EXPECT_EQ(ImageFileDecodeSized(p.path, p.width, p.height - 1, sized, osError, zlib), 27);
        EXPECT_TRUE(sized.empty());
        DeleteFileA(p.path.c_str());
    }
}

// A picture that no address space holds (a run-length BMP of 2^31 - 1 by
// 2^31 - 1 pixels that ends at once, so its header is good): the loaders that
// allocate the picture report 13 with the system's "not enough memory" code
// rather than "format not supported"; the caller's array is the limit of the
// public reader, which gives 27.
TEST(ImageReaderLarge, APictureMemoryCannotHoldNamesTheCause)
{
    const ByteVec huge = Bmp(0x7FFFFFFF, 0x7FFFFFFF, 8, 1, {0x102030}, {0, 1});
    ImageHeader header;
    ASSERT_EQ(ImageHeaderRead(huge, header), 0);
    std::vector<int> pixels;
    int status = 0;
    EXPECT_EQ(ImageDecode(huge, header, pixels, status), kErrorOperatingSystem);
    EXPECT_EQ(status, kImageNoMemoryStatus);

    ScratchFile file("huge.bmp");
    file.Write(huge);
    int osError = 0;
    status = 0;
    EXPECT_EQ(ImageFileDecodeSized(file.path(), 0x7FFFFFFF, 0x7FFFFFFF, pixels, osError, status),
              kErrorOperatingSystem);
    EXPECT_EQ(status, kImageNoMemoryStatus);
    const ErrorState saved = gErrorState;
    YYErrorLevelSet(kReportNone);
    ImageLoadErrorReport(kErrorOperatingSystem, osError, status, "IGrLoadImageData");
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_EQ(gErrorState.status, kImageNoMemoryStatus);
    gErrorState = saved;

    EXPECT_EQ(LoadFrom(file, huge, 16).code, 27);
}

} // namespace
