// PNG chunk routines: CRC, big-endian fields, chunk types and the reversal of
// the row filters, checked against an independent forward filter.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "hardcopy/png_routines.h"

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s)
{
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

TEST(PngRoutines, CrcOfKnownChunks)
{
    std::uint32_t crc = 0;
    PngCrc(Bytes("IEND"), crc);
    EXPECT_EQ(crc, 0xAE426082u);
    // The IHDR of a 1 x 1 RGB picture, 8 bits, as every PNG writer makes it.
    std::vector<std::uint8_t> ihdr = {'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0};
    PngCrc(ihdr, crc);
    EXPECT_EQ(crc, 0x907753DEu);
    PngCrc({}, crc);
    EXPECT_EQ(crc, 0u);
}

TEST(PngRoutines, BigEndianFieldsAndTypes)
{
    std::uint8_t b[4];
    PngWriteU32(0x89ABCDEFu, b);
    EXPECT_EQ(b[0], 0x89);
    EXPECT_EQ(b[3], 0xEF);
    EXPECT_EQ(PngReadU32(b), 0x89ABCDEFu);
    std::uint8_t t[4] = {'I', 'D', 'A', 'T'};
    EXPECT_EQ(PngTypeIs(t, "IDAT"), 1);
    EXPECT_EQ(PngTypeIs(t, "IDAt"), 0);
    EXPECT_EQ(PngTypeIs(t, "IDA"), 0);
}

// The PNG forward filter of one row, written from the format's definition.
int Predict(int type, int a, int b, int c)
{
    switch (type) {
    case 1: return a;
    case 2: return b;
    case 3: return (a + b) / 2;
    case 4: {
        int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
    }
    default: return 0;
    }
}

std::vector<std::uint8_t> Filter(const std::vector<std::uint8_t>& raw, int rows, size_t n, int bpp,
                                 const std::vector<int>& types)
{
    std::vector<std::uint8_t> out;
    for (int r = 0; r < rows; ++r) {
        out.push_back(std::uint8_t(types[r]));
        for (size_t i = 0; i < n; ++i) {
            int a = i >= size_t(bpp) ? raw[r * n + i - bpp] : 0;
            int b = r > 0 ? raw[(r - 1) * n + i] : 0;
            int c = (r > 0 && i >= size_t(bpp)) ? raw[(r - 1) * n + i - bpp] : 0;
            out.push_back(std::uint8_t(raw[r * n + i] - Predict(types[r], a, b, c)));
        }
    }
    return out;
}

TEST(PngRoutines, UnfilterUndoesEveryFilterType)
{
    // Five rows of 13 bytes, each filter type in turn and all in the first row.
    const size_t n = 13;
    const int rows = 5;
    std::vector<std::uint8_t> raw(rows * n);
    unsigned seed = 7;
    for (auto& v : raw) {
        seed = seed * 1103515245u + 12345u;
        v = std::uint8_t(seed >> 16);
    }
    for (int bpp : {1, 3, 4, 8}) {
        for (int first = 0; first < 5; ++first) {
            std::vector<int> types = {first, 1, 2, 3, 4};
            auto buf = Filter(raw, rows, n, bpp, types);
            ASSERT_EQ(PngUnfilterRows(n + 1, rows, bpp, buf), rows);
            for (int r = 0; r < rows; ++r)
                for (size_t i = 0; i < n; ++i)
                    ASSERT_EQ(buf[r * (n + 1) + 1 + i], raw[r * n + i])
                        << "bpp " << bpp << " first-row filter " << first << " row " << r << " byte " << i;
        }
    }
}

TEST(PngRoutines, UnfilterFirstRowAndShortBuffers)
{
    // Up in the first row changes nothing; Paeth there is Sub; Sub leaves the
    // first bpp bytes alone.
    std::vector<std::uint8_t> up = {2, 5, 6, 7};
    EXPECT_EQ(PngUnfilterRows(4, 1, 1, up), 1);
    EXPECT_EQ(up, (std::vector<std::uint8_t>{2, 5, 6, 7}));
    std::vector<std::uint8_t> paeth = {4, 5, 6, 250, 10};
    PngUnfilterRows(5, 1, 1, paeth);
    EXPECT_EQ(paeth, (std::vector<std::uint8_t>{4, 5, 11, 5, 15}));
    std::vector<std::uint8_t> sub = {1, 1, 2, 3, 4, 5, 6};
    PngUnfilterRows(7, 1, 3, sub);
    EXPECT_EQ(sub, (std::vector<std::uint8_t>{1, 1, 2, 3, 5, 7, 9}));
    // An unknown filter type leaves the row alone.
    std::vector<std::uint8_t> odd = {9, 1, 2};
    PngUnfilterRows(3, 1, 1, odd);
    EXPECT_EQ(odd, (std::vector<std::uint8_t>{9, 1, 2}));
    // Rows that do not fit the buffer are not touched.
    std::vector<std::uint8_t> two = {1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(PngUnfilterRows(4, 3, 1, two), 1);
    EXPECT_EQ(two, (std::vector<std::uint8_t>{1, 1, 2, 3, 1, 1, 1}));
    EXPECT_EQ(PngUnfilterRows(0, 3, 1, two), 0);
}

} // namespace
