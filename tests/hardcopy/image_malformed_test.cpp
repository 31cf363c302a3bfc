// Malformed image files: every fixture cut at every length and with bit
// flips in its first bytes, and a table of hostile headers, chunk lengths,
// palettes and run-length data. Each gives its error (or a defined picture),
// never writes past the caller's array, and leaves the array untouched on
// any error.
#include <gtest/gtest.h>

#include <zlib.h>

#include <climits>
#include <string>
#include <vector>

#include "fixtures_data.h"
#include "image_test_support.h"

using namespace imagetest;

namespace {

// Bytes before which a file cannot even be told apart: BMP file and
// information headers, PCX header, PNG signature and IHDR.
size_t FixedHeader(int kind)
{
    return kind == 1 ? 54 : kind == 2 ? 128 : 33;
}

// The pure decoder on FILE with an array of N elements and a guard after it.
struct DecodeOutcome {
    int code = -1;
    std::vector<int> pixels;
    bool guardIntact = false;
};

DecodeOutcome DecodeGuarded(const ByteVec& file, size_t n)
{
    std::vector<int> store(n + kGuard, kSentinel);
    ImageHeader header;
    int zs = 0;
    DecodeOutcome r;
    r.code = ImageDecodeInto(file, header, std::span<int>(store.data(), n), zs);
    r.guardIntact = std::all_of(store.begin() + n, store.end(), [](int v) { return v == kSentinel; });
    store.resize(n);
    r.pixels = std::move(store);
    return r;
}

// Every fixture cut at every length: the decoder on each cut, the public
// reader (file, copy, report) on the header region and the last bytes.
TEST(MalformedImages, EveryFixtureCutAtEveryLength)
{
    ScratchFile file("cut.img");
    for (int i = 0; i < kImageFixtureCount; ++i) {
        const ImageFixture& fx = kImageFixtures[i];
        SCOPED_TRACE(fx.name);
        ByteVec whole(fx.bytes, fx.bytes + fx.size);
        ImageHeader header;
        std::vector<int> full;
        int zs = 0;
        ASSERT_EQ(ImageDecode(whole, header, full, zs), 0);
        size_t n = full.size();
        for (size_t len = 0; len < whole.size(); ++len) {
            ByteVec cut(whole.begin(), whole.begin() + len);
            DecodeOutcome d = DecodeGuarded(cut, n);
            ASSERT_TRUE(d.guardIntact) << "cut at " << len;
            if (len < FixedHeader(fx.kind)) {
                ASSERT_EQ(d.code, 27) << "cut at " << len;
            } else {
                // Either the whole picture (only padding or a trailer was cut)
                // or error 2; never a silent half.
                ASSERT_TRUE(d.code == 0 || d.code == 2) << "cut at " << len << ": " << d.code;
                if (d.code == 0) {
                    ASSERT_EQ(d.pixels, full) << "cut at " << len;
                }
            }
            if (len < FixedHeader(fx.kind) + 64 || len + 16 >= whole.size()) {
                LoadOutcome r = LoadFrom(file, cut, n);
                ASSERT_EQ(r.code, d.code) << "cut at " << len;
                ASSERT_TRUE(r.guardIntact) << "cut at " << len;
                if (r.code == 0) {
                    ASSERT_EQ(r.pixels, full) << "cut at " << len;
                } else {
                    ASSERT_TRUE(r.untouched) << "cut at " << len;
                }
            }
        }
    }
}

TEST(MalformedImages, BitFlipsInHeadersAndFirstData)
{
    ScratchFile file("flip.img");
    for (int i = 0; i < kImageFixtureCount; ++i) {
        const ImageFixture& fx = kImageFixtures[i];
        SCOPED_TRACE(fx.name);
        size_t n = size_t(fx.width) * size_t(fx.height);
        size_t upto = std::min<size_t>(fx.size, 200);
        for (size_t pos = 0; pos < upto; ++pos) {
            ByteVec b(fx.bytes, fx.bytes + fx.size);
            b[pos] ^= std::uint8_t(1u << ((pos * 3) % 8));
            DecodeOutcome d = DecodeGuarded(b, n);
            ASSERT_TRUE(d.guardIntact) << "flip at " << pos;
            ASSERT_TRUE(d.code == 0 || d.code == 2 || d.code == 27 || d.code == 1044)
                << "flip at " << pos << ": " << d.code;
            if (pos < 64) {
                LoadOutcome r = LoadFrom(file, b, n);
                ASSERT_EQ(r.code, d.code) << "flip at " << pos;
                ASSERT_TRUE(r.guardIntact) << "flip at " << pos;
                if (r.code != 0) {
                    ASSERT_TRUE(r.untouched) << "flip at " << pos;
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Hostile files

struct Case {
    std::string name;
    ByteVec bytes;
    size_t capacity;
    int code;
};

ByteVec Modified(ByteVec v, size_t at, std::uint32_t value, int n = 4)
{
    SetLE(v, at, value, n);
    return v;
}

ByteVec ModifiedBE(ByteVec v, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = std::uint8_t(value >> (8 * (3 - i)));
    return v;
}

std::vector<Case> BmpCases()
{
    const std::vector<int> pal4 = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    const ByteVec data8 = {0, 1, 2, 3, 3, 2, 1, 0};
    const ByteVec base = Bmp(4, 2, 8, 0, pal4, data8);
    std::vector<int> pal256(256, 0x123456);
    ByteVec rle = {0, 1, 2, 3, 0, 0, 1, 2, 0, 1};
    return {
        {"bmp base", base, 8, 0},
        // No size limit of its own: a large claim fails on the data it lacks.
        {"bmp 65536 x 65536", Modified(Modified(base, 18, 65536), 22, 65536), 16, 2},
        {"bmp width 2^31 - 1", Modified(base, 18, 0x7FFFFFFF), 16, 2},
        {"bmp negative width", Modified(base, 18, std::uint32_t(-4)), 16, 27},
        {"bmp height INT_MIN", Modified(base, 22, 0x80000000u), 16, 27},
        {"bmp height 0", Modified(base, 22, 0), 16, 27},
        {"bmp 2 bits per pixel", Modified(base, 28, 2, 2), 16, 27},
        {"bmp 64 bits per pixel", Modified(base, 28, 64, 2), 16, 27},
        {"bmp JPEG compression", Modified(base, 30, 4), 16, 27},
        {"bmp run-length 24 bits", Bmp(4, 2, 24, 1, {}, rle), 8, 27},
        {"bmp run-length top-down", Bmp(4, -2, 8, 1, pal4, rle), 8, 27},
        {"bmp OS/2 header", Modified(base, 14, 12), 8, 27},
        {"bmp header size 2^32 - 16", Modified(base, 14, 0xFFFFFFF0u), 8, 27},
        {"bmp data offset inside the header", Modified(base, 10, 20), 8, 27},
        {"bmp data offset past the end", Modified(base, 10, 0xFFFFFFF0u), 8, 2},
        {"bmp palette past the end", Modified(Modified(base, 10, 0), 46, 256), 8, 2},
        {"bmp colours used 2^32 - 1", Bmp(4, 2, 8, 0, pal256, data8, 0xFFFFFFFFu), 8, 0},
        {"bmp rows cut short", ByteVec(base.begin(), base.end() - 5), 8, 2},
        {"bmp 16-bit zero masks", Bmp(1, 1, 16, 3, {}, {0xFF, 0xFF, 0, 0}, 0, ByteVec(12, 0)), 1, 0},
        {"bmp masks past the end", Bmp(1, 1, 16, 3, {}, {}, 0, {}), 1, 2},
        // Run-length data that leave the picture: positions outside are
        // counted but never stored.
        {"rle run of 255 in a 4-pixel row", Bmp(4, 2, 8, 1, pal4, {255, 1, 0, 1}), 8, 0},
        {"rle delta 200 rows up", Bmp(4, 2, 8, 1, pal4, {0, 2, 0, 200, 1, 1, 0, 1}), 8, 0},
        {"rle delta 255 right then a run", Bmp(4, 2, 8, 1, pal4, {0, 2, 255, 0, 3, 1, 0, 1}), 8, 0},
        {"rle absolute run of 200", Bmp(4, 2, 8, 1, pal4, [] {
             ByteVec v = {0, 200};
             v.resize(202, 3);
             v.push_back(0);
             v.push_back(1);
             return v;
         }()), 8, 0},
        {"rle end of line past the top", Bmp(4, 2, 8, 1, pal4, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1}), 8, 0},
        {"rle4 absolute run past the row", Bmp(3, 1, 4, 2, pal4, {0, 7, 0x12, 0x31, 0x23, 0x10, 0, 1}), 3, 0},
        {"rle data without an end", Bmp(4, 2, 8, 1, pal4, {2, 1}), 8, 2},
        {"rle absolute run cut by the file end", Bmp(4, 2, 8, 1, pal4, {0, 10, 1, 2, 3}), 8, 2},
        {"rle delta cut by the file end", Bmp(4, 2, 8, 1, pal4, {0, 2, 1}), 8, 2},
    };
}

std::vector<Case> PcxCases()
{
    std::vector<int> colours(256, 0x010203);
    const ByteVec tail = PcxTail(colours);
    const ByteVec base = Pcx(4, 2, 8, 1, 4, {1, 2, 3, 4, 0xC4, 9}, {}, tail);
    return {
        {"pcx base", base, 8, 0},
        {"pcx window 65536 x 65536", Modified(Modified(base, 8, 65535, 2), 10, 65535, 2), 16, 27},
        {"pcx xmax below xmin", Modified(base, 4, 10, 2), 16, 27},
        {"pcx 2 bits, 1 plane", Pcx(4, 1, 2, 1, 2, {0, 0}), 4, 27},
        {"pcx 4 bits, 1 plane", Pcx(4, 1, 4, 1, 2, {0, 0}), 4, 27},
        {"pcx 8 bits, 2 planes", Pcx(4, 1, 8, 2, 4, ByteVec(8, 0)), 4, 27},
        {"pcx bytes per line too small", Pcx(20, 1, 8, 1, 4, ByteVec(4, 0), {}, tail), 20, 27},
        {"pcx bytes per line 0", Pcx(4, 1, 1, 1, 0, {}), 4, 27},
        {"pcx 8 bits shorter than its palette", Pcx(4, 2, 8, 1, 4, ByteVec(8, 1)), 8, 2},
        {"pcx data end before the picture", Pcx(4, 2, 8, 1, 4, {1, 2, 3}, {}, tail), 8, 2},
        {"pcx run cut by the data end", Pcx(4, 1, 8, 3, 4, {0xCC}), 4, 2},
        {"pcx run of 63 past the picture", Pcx(4, 1, 8, 3, 4, {0xFF, 7}), 4, 0},
        {"pcx zero-length runs", Pcx(2, 1, 8, 3, 2, {0xC0, 5, 0xC0, 6, 1, 2, 3, 4, 5, 6}), 2, 0},
    };
}

std::vector<Case> PngCases()
{
    const ByteVec rows = {0, 10, 20, 30, 40, 50, 60, 1, 5, 5, 5, 1, 1, 1};
    const ByteVec base = Png(2, 2, 8, 2, rows);
    const size_t ihdr = 8;  // start of the IHDR chunk
    const size_t after = 33; // first chunk after IHDR
    auto withChunks = [&](std::initializer_list<std::pair<const char*, ByteVec>> chunks, int depth = 8,
                          int type = 2) {
        ByteVec v = PngSignatureAndHeader(2, 2, depth, type);
        for (auto& c : chunks)
            PngChunk(v, c.first, c.second);
        return v;
    };
    ByteVec idat = Deflate(rows);
    ByteVec rowsShort(rows.begin(), rows.end() - 7);
    ByteVec rowsLong = rows;
    rowsLong.insert(rowsLong.end(), 40, 0);
    ByteVec notZlib = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 2, 3};
    ByteVec bigLength = base;
    SetLE(bigLength, after, 0, 4);
    std::vector<Case> cases = {
        {"png base", base, 4, 0},
        {"png width 0", ModifiedBE(base, 16, 0), 4, 27},
        {"png width 2^31", ModifiedBE(base, 16, 0x80000000u), 4, 27},
        {"png 65536 x 65536", ModifiedBE(ModifiedBE(base, 16, 65536), 20, 65536), 4, 2},
        {"png interlaced", PngSignatureAndHeader(2, 2, 8, 2, 1), 4, 27},
        {"png compression method 1", PngSignatureAndHeader(2, 2, 8, 2, 0, 1), 4, 27},
        {"png filter method 1", PngSignatureAndHeader(2, 2, 8, 2, 0, 0, 1), 4, 27},
        {"png IHDR length 14", ModifiedBE(base, ihdr, 14), 4, 27},
        {"png chunk length 2^32 - 1", ModifiedBE(base, after, 0xFFFFFFFFu), 4, 27},
        {"png chunk length 2^31", ModifiedBE(base, after, 0x80000000u), 4, 27},
        {"png chunk length 2^31 - 1", ModifiedBE(base, after, 0x7FFFFFFFu), 4, 2},
        {"png IDAT longer than the file", ModifiedBE(base, after, std::uint32_t(idat.size() + 30)), 4, 2},
        {"png PLTE past the end", [&] {
             ByteVec v = PngSignatureAndHeader(2, 2, 8, 3);
             PutBE(v, 0x00FFFFFF);
             v.insert(v.end(), {'P', 'L', 'T', 'E', 1, 2, 3});
             return v;
         }(), 4, 2},
        {"png palette picture without PLTE", withChunks({{"IDAT", Deflate({0, 1, 0, 0, 1})}, {"IEND", {}}}, 8, 3), 4, 27},
        {"png without IEND", withChunks({{"IDAT", idat}}), 4, 2},
        {"png without IDAT", withChunks({{"IEND", {}}}), 4, 1044},
        {"png data not zlib", withChunks({{"IDAT", notZlib}, {"IEND", {}}}), 4, 1044},
        {"png data a row short", withChunks({{"IDAT", Deflate(rowsShort)}, {"IEND", {}}}), 4, 2},
        {"png data longer than the picture", withChunks({{"IDAT", Deflate(rowsLong)}, {"IEND", {}}}), 4, 1044},
        {"png palette index past PLTE", Png(2, 1, 8, 3, {0, 0, 200}, {0x0000FF}), 2, 0},
        {"png unknown filter type", Png(2, 1, 8, 2, {9, 1, 2, 3, 4, 5, 6}), 2, 0},
    };
    // Invalid depth and colour-type pairs, grey-scale kinds included.
    const int pairs[][2] = {{2, 4}, {2, 1}, {2, 2}, {3, 16}, {3, 3}, {6, 1}, {6, 4}, {0, 8}, {4, 8}, {7, 8}};
    for (auto& p : pairs)
        cases.push_back({"png type " + std::to_string(p[0]) + " depth " + std::to_string(p[1]),
                         PngSignatureAndHeader(2, 2, p[1], p[0]), 4, 27});
    return cases;
}

TEST(MalformedImages, HostileHeadersChunksPalettesAndRuns)
{
    ScratchFile file("hostile.img");
    std::vector<Case> cases = BmpCases();
    for (auto* more : {PcxCases, PngCases}) {
        auto c = more();
        cases.insert(cases.end(), c.begin(), c.end());
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gErrorState.status = 0;
        LoadOutcome r = LoadFrom(file, c.bytes, c.capacity);
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.guardIntact);
        if (c.code != 0) {
            EXPECT_TRUE(r.untouched);
        } else {
            EXPECT_TRUE(std::none_of(r.pixels.begin(), r.pixels.end(), [](int v) { return v == kSentinel; }) ||
                        c.name.rfind("rle", 0) == 0); // runs may leave pixels unset
        }
        if (c.code == 1044) {
            EXPECT_NE(gErrorState.status, 0);
        }
        // The pure decoder reaches the same verdict on its own (its checks
        // do not depend on the caller's capacity).
        ImageHeader header;
        std::vector<int> pixels;
        int zs = 0;
        EXPECT_EQ(ImageDecode(c.bytes, header, pixels, zs), c.code);
    }
}

// Files that claim a picture far larger than their data can hold: the header
// gives the whole decode's verdict (2, or 1044 with the zlib status), before
// anything of the picture's size exists; data that just hold their picture
// still decode.
TEST(MalformedImages, ClaimedSizeCheckedAgainstTheData)
{
    const ByteVec notZlib = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 2, 3};
    auto png = [](std::uint32_t w, std::uint32_t h, const ByteVec& idat) {
        ByteVec v = PngSignatureAndHeader(w, h, 8, 2);
        PngChunk(v, "IDAT", idat);
        PngChunk(v, "IEND", {});
        return v;
    };
    // 1024 x 1024 black RGB at zlib's best compression: about 1:1000, the
    // most deflate gives is 1:1032.
    const size_t blackSize = 1024 * (1 + 3 * 1024);
    ByteVec black(compressBound(uLong(blackSize)));
    uLongf packed = uLongf(black.size());
    ASSERT_EQ(compress2(black.data(), &packed, ByteVec(blackSize, 0).data(), uLong(blackSize), 9), Z_OK);
    black.resize(packed);
    // What zlib itself says of the data that are not zlib, given room for the
    // whole claimed picture.
    const size_t claimedSize = 1000 * (1 + 3 * 1000);
    ByteVec room(claimedSize);
    uLongf produced = uLongf(claimedSize);
    const int notZlibStatus = uncompress(room.data(), &produced, notZlib.data(), uLong(notZlib.size()));
    ASSERT_NE(notZlibStatus, Z_OK);

    struct Verdict {
        std::string name;
        ByteVec bytes;
        int code;
    };
    const std::vector<Verdict> cases = {
        {"bmp run-length 4096 x 4096 without its end", Bmp(4096, 4096, 8, 1, {0xFF0000}, {255, 0, 0, 0}), 2},
        {"pcx 4096 x 4096 in 10 bytes", Pcx(4096, 4096, 8, 3, 4096, ByteVec(10, 0xFF)), 2},
        // 64 bytes a line: a run of 63 and a single byte are the fewest.
        {"pcx line in the fewest bytes", Pcx(512, 1, 1, 1, 64, {0xFF, 0, 0x05}), 0},
        {"pcx line a byte short of them", Pcx(512, 1, 1, 1, 64, {0xFF, 0}), 2},
        {"png 4096 x 4096 from 100 bytes of rows", png(4096, 4096, Deflate(ByteVec(100, 0))), 2},
        {"png 1000 x 1000 from data not zlib", png(1000, 1000, notZlib), 1044},
        {"png 4096 x 4096 without IEND", [] {
             ByteVec v = PngSignatureAndHeader(4096, 4096, 8, 2);
             PngChunk(v, "IDAT", Deflate(ByteVec(100, 0)));
             return v;
         }(), 2},
        {"png 1024 x 1024 at the best compression", png(1024, 1024, black), 0},
    };
    ScratchFile file("claimed.img");
    for (const Verdict& c : cases) {
        SCOPED_TRACE(c.name);
        ImageHeader header;
        int zs = -1;
        EXPECT_EQ(ImageHeaderRead(c.bytes, header, &zs), c.code);
        EXPECT_EQ(zs, c.code == 1044 ? notZlibStatus : 0);
        if (c.code != 0) {
            // The public reader reports the same, whatever the caller's array.
            gErrorState.status = 0;
            LoadOutcome r = LoadFrom(file, c.bytes, 16);
            EXPECT_EQ(r.code, c.code);
            EXPECT_TRUE(r.untouched);
            EXPECT_EQ(gErrorState.status, c.code == 1044 ? notZlibStatus : 0);
        } else {
            std::vector<int> pixels;
            EXPECT_EQ(ImageDecode(c.bytes, header, pixels, zs), 0);
            EXPECT_EQ(pixels.size(), size_t(header.width) * size_t(header.height));
        }
    }
}

} // namespace
