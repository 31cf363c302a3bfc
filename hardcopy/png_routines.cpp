// PNG chunk CRC, big-endian fields, chunk types and row unfiltering.
#include "hardcopy/png_routines.h"

#include <array>
#include <cstdlib>

namespace {

// The CRC table, built on first use.
struct PngCrcTable {
    std::array<std::uint32_t, 256> entries{};
    bool built = false;
};
PngCrcTable gPngCrcTable;

const std::array<std::uint32_t, 256>& CrcTable()
{
    if (!gPngCrcTable.built) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? (0xEDB88320u ^ (c >> 1)) : (c >> 1);
            gPngCrcTable.entries[i] = c;
        }
        gPngCrcTable.built = true;
    }
    return gPngCrcTable.entries;
}

// The Paeth predictor of the byte on the left (a), above (b) and above left (c).
int Paeth(int a, int b, int c)
{
    int pa = std::abs(b - c);         // distance of a + b - c from a
    int pb = std::abs(a - c);         // ... from b
    int pc = std::abs(a + b - 2 * c); // ... from c
    if (pa <= pb && pa <= pc)
        return a;
    if (pb <= pc)
        return b;
    return c;
}

} // namespace

std::uint32_t PngReadU32(const std::uint8_t* bytes)
{
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) |
           (std::uint32_t(bytes[2]) << 8) | std::uint32_t(bytes[3]);
}

void PngWriteU32(std::uint32_t value, std::uint8_t* bytes)
{
    bytes[0] = std::uint8_t(value >> 24);
    bytes[1] = std::uint8_t(value >> 16);
    bytes[2] = std::uint8_t(value >> 8);
    bytes[3] = std::uint8_t(value);
}

int PngTypeIs(const std::uint8_t* bytes, std::string_view name)
{
    if (name.size() < 4)
        return 0;
    for (int i = 0; i < 4; ++i)
        if (bytes[i] != static_cast<std::uint8_t>(name[i]))
            return 0;
    return 1;
}

void PngCrc(std::span<const std::uint8_t> bytes, std::uint32_t& result)
{
    const auto& table = CrcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes)
        crc = table[(crc ^ b) & 0xFFu] ^ (crc >> 8);
    result = crc ^ 0xFFFFFFFFu;
}

int PngUnfilterRows(std::size_t stride, int rows, int bytesPerPixel, std::span<std::uint8_t> buffer)
{
    if (stride < 1 || rows < 1)
        return 0;
    std::size_t fit = buffer.size() / stride;
    int done = static_cast<std::size_t>(rows) < fit ? rows : static_cast<int>(fit);
    std::size_t bpp = bytesPerPixel < 1 ? 1 : static_cast<std::size_t>(bytesPerPixel);
    std::size_t n = stride - 1; // data bytes per row

    for (int r = 0; r < done; ++r) {
        std::uint8_t* row = buffer.data() + static_cast<std::size_t>(r) * stride;
        std::uint8_t* cur = row + 1;
        const std::uint8_t* up = r > 0 ? cur - stride : nullptr;
        switch (row[0]) {
        case 1: // Sub
            for (std::size_t i = bpp; i < n; ++i)
                cur[i] = std::uint8_t(cur[i] + cur[i - bpp]);
            break;
        case 2: // Up
            if (up)
                for (std::size_t i = 0; i < n; ++i)
                    cur[i] = std::uint8_t(cur[i] + up[i]);
            break;
        case 3: // Average
            for (std::size_t i = 0; i < n; ++i) {
                int a = i >= bpp ? cur[i - bpp] : 0;
                int b = up ? up[i] : 0;
                cur[i] = std::uint8_t(cur[i] + (a + b) / 2);
            }
            break;
        case 4: // Paeth
            for (std::size_t i = 0; i < n; ++i) {
                int a = i >= bpp ? cur[i - bpp] : 0;
                int b = up ? up[i] : 0;
                int c = (up && i >= bpp) ? up[i - bpp] : 0;
                cur[i] = std::uint8_t(cur[i] + Paeth(a, b, c));
            }
            break;
        default: // 0 None, and unknown types: left as they are
            break;
        }
    }
    return done;
}
