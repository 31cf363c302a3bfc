// Metafile headers: checks of untrusted bytes and the placeable header the
// metafile driver writes.
#include "graphics/metafile_headers.h"

#include <algorithm>

namespace {

uint32_t U32(std::span<const uint8_t> b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t U16(std::span<const uint8_t> b, size_t at)
{
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

constexpr int kLargest16 = 32767;

} // namespace

bool EmfHeaderValid(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kEmfHeaderMinimum)
        return false;
    const uint32_t type = U32(bytes, 0), size = U32(bytes, 4), signature = U32(bytes, 40), total = U32(bytes, 48);
    return type == 1 && size >= kEmfHeaderMinimum && signature == 0x464D4520u && total >= size &&
           total <= bytes.size();
}

std::array<int32_t, 4> EmfHeaderFrame(std::span<const uint8_t> bytes)
{
    std::array<int32_t, 4> frame{};
    if (bytes.size() < kEmfHeaderMinimum)
        return frame;
    for (size_t i = 0; i < 4; ++i)
        frame[i] = static_cast<int32_t>(U32(bytes, 24 + 4 * i));
    return frame;
}

bool WmfHeaderValid(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kWmfHeaderSize)
        return false;
    const uint16_t type = U16(bytes, 0), words = U16(bytes, 2), version = U16(bytes, 4);
    return (type == 1 || type == 2) && words == 9 && (version == 0x0100 || version == 0x0300);
}

std::array<uint8_t, kPlaceableHeaderSize> PlaceableHeader(uint16_t right, uint16_t bottom, uint16_t unitsPerInch)
{
    const uint16_t words[10] = {static_cast<uint16_t>(kPlaceableKey & 0xFFFF),
                                static_cast<uint16_t>(kPlaceableKey >> 16),
                                0, 0, 0, right, bottom, unitsPerInch, 0, 0};
    std::array<uint8_t, kPlaceableHeaderSize> h{};
    uint16_t checksum = 0;
    for (size_t i = 0; i < 10; ++i) {
        h[2 * i] = static_cast<uint8_t>(words[i] & 0xFF);
        h[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
        checksum ^= words[i];
    }
    h[20] = static_cast<uint8_t>(checksum & 0xFF);
    h[21] = static_cast<uint8_t>(checksum >> 8);
    return h;
}

bool PlaceableHeaderValid(std::span<const uint8_t> bytes)
{
    return bytes.size() >= kPlaceableHeaderSize && U32(bytes, 0) == kPlaceableKey;
}

PlaceableExtent PlaceableExtentFor(int width, int height)
{
    const int64_t w = std::max(width, 0), h = std::max(height, 0);
    const int64_t largest = std::max<int64_t>(std::max(w, h), 1);
    int64_t upi = 1000;
    if (largest * 1000 / 72 > kLargest16)
        upi = std::max<int64_t>(kLargest16 * 72 / largest, 1);
    PlaceableExtent e;
    e.unitsPerInch = static_cast<uint16_t>(upi);
    e.right = static_cast<uint16_t>(std::min<int64_t>(w * upi / 72, kLargest16));
    e.bottom = static_cast<uint16_t>(std::min<int64_t>(h * upi / 72, kLargest16));
    return e;
}

int MetafileUnitDivisor(int width, int height)
{
    const int64_t largest = std::max<int64_t>(std::max<int64_t>(width, height), 0) * 10;
    if (largest <= kLargest16 - 1)
        return 1;
    return static_cast<int>((largest + kLargest16 - 2) / (kLargest16 - 1));
}
