// Decompression of hostile bytes into a buffer of a capacity the input
// chooses, and the round trip of the same bytes.
#include <zlib.h>

#include <cstdint>
#include <algorithm>
#include <vector>

#include "core/compression.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int capacity = data[0] | (data[1] << 8);
    const uint8_t* src = data + 2;
    const int n = static_cast<int>(size - 2);
    fuzz::QuietErrorState();
    fuzz::Traps traps;

    // Exactly CAPACITY bytes on the heap, so that a write past them is seen.
    std::vector<uint8_t> out(static_cast<size_t>(capacity));
    int produced = capacity, status = 0;
    BufferUncompress(src, out.data(), n, produced, status);
    fuzz::Check(status == Z_OK ? produced >= 0 && produced <= capacity : produced == 0,
                "bytes produced within the capacity");
    produced = capacity;
    WUnCompress(src, out.data(), n, produced);
    fuzz::Check(produced >= 0 && produced <= capacity, "checked bytes within the capacity");

    std::vector<uint8_t> packed(compressBound(static_cast<uLong>(n)));
    int packedSize = static_cast<int>(packed.size());
    BufferCompress(src, packed.data(), n, packedSize, status);
    fuzz::Check(status == Z_OK, "compression into its bound succeeds");
    std::vector<uint8_t> back(static_cast<size_t>(n));
    int backSize = n;
    BufferUncompress(packed.data(), back.data(), packedSize, backSize, status);
    fuzz::Check(status == Z_OK && backSize == n && std::equal(back.begin(), back.end(), src),
                "the round trip gives the bytes back");
    return 0;
}
