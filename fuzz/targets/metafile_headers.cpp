// The metafile header checks on hostile bytes: only the bytes given are read
// (the sanitizers see a read past them), a header found valid describes a
// picture within those bytes, and the placeable extents of any page fit
// their 16-bit words.
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "graphics/metafile_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::QuietErrorState();
    fuzz::Traps traps;
    const std::vector<uint8_t> copy(data, data + size);
    std::span<const uint8_t> bytes(copy);

    if (EmfHeaderValid(bytes)) {
        uint32_t total = 0;
        std::memcpy(&total, copy.data() + 48, 4);
        fuzz::Check(total <= size && size >= kEmfHeaderMinimum, "a valid header lies within the bytes");
    }
    EmfHeaderFrame(bytes);
    WmfHeaderValid(bytes);
    if (PlaceableHeaderValid(bytes)) {
        fuzz::Check(size >= kPlaceableHeaderSize, "a placeable header of 22 bytes");
        WmfHeaderValid(bytes.subspan(kPlaceableHeaderSize));
    }

    // A page size from the first eight bytes.
    if (size >= 8) {
        int32_t width = 0, height = 0;
        std::memcpy(&width, copy.data(), 4);
        std::memcpy(&height, copy.data() + 4, 4);
        const PlaceableExtent e = PlaceableExtentFor(width, height);
        fuzz::Check(e.right <= 32767 && e.bottom <= 32767 && e.unitsPerInch >= 1, "placeable extents fit");
        const int divisor = MetafileUnitDivisor(width, height);
        fuzz::Check(divisor >= 1, "a divisor of at least 1");
        if (width > 0)
            fuzz::Check(int64_t(width) * 10 / divisor + 1 <= 32767, "the width in units fits");
        if (height > 0)
            fuzz::Check(int64_t(height) * 10 / divisor + 1 <= 32767, "the height in units fits");
        const auto header = PlaceableHeader(e.right, e.bottom, e.unitsPerInch);
        fuzz::Check(PlaceableHeaderValid(header), "a written header reads as placeable");
    }
    return 0;
}
