// The image decoder on hostile bytes: into an array of exactly the picture's
// size (a write past it is seen), and into one a pixel too small, which must
// give 27 and stay untouched. The header's verdict and the decoder's agree.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "hardcopy/image_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> file(data, size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;

    ImageHeader header;
    int headerResult = ImageHeaderRead(file, header);
    fuzz::Check(headerResult == 0 || headerResult == 2 || headerResult == 27 || headerResult == 1044,
                "a known header result");
    const std::int64_t n = std::int64_t(header.width) * header.height;
    fuzz::Check(n >= 0 && n <= kImageMaxPixels, "a picture within the cap");

    std::vector<int> exact(static_cast<size_t>(n));
    ImageHeader decoded;
    int zlibStatus = 0;
    int result = ImageDecodeInto(file, decoded, exact, zlibStatus);
    fuzz::Check(result == 0 || result == 2 || result == 27 || result == 1044, "a known decode result");
    fuzz::Check(headerResult == 0 || result == headerResult, "the decoder agrees with the header");
    fuzz::Check((result == 1044) == (zlibStatus != 0), "a zlib status exactly with 1044");

    if (headerResult == 0 && n > 0) {
        constexpr int kSentinel = 0x5A5A5A5A;
        std::vector<int> small(static_cast<size_t>(n - 1), kSentinel);
        fuzz::Check(ImageDecodeInto(file, decoded, small, zlibStatus) == 27, "27 for an array a pixel short");
        for (int v : small)
            fuzz::Check(v == kSentinel, "an array a pixel short stays untouched");
    }
    return 0;
}
