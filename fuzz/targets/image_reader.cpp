// The image decoder on hostile bytes: into an array of exactly the picture's
// size (a write past it is seen), and into one a pixel too small, which must
// give 27 and stay untouched. The header's verdict and the decoder's agree,
// and a failed decode leaves the array as it was. The decoder has no size
// limit of its own, so a header may claim a picture that memory does not
// hold (run-length data can cover any size in a few bytes): such a picture
// is checked by its header only.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "hardcopy/image_reader.h"

namespace {

// The largest picture decoded here (4 MB of pixels): a larger one takes no
// other path through the decoder, only longer.
constexpr std::int64_t kDecodedPixels = std::int64_t(1) << 20;
constexpr int kSentinel = 0x5A5A5A5A;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> file(data, size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;

    ImageHeader header;
    int status = 0;
    const int headerResult = ImageHeaderRead(file, header, &status);
    fuzz::Check(headerResult == 0 || headerResult == 2 || headerResult == 27 || headerResult == 1044,
                "a known header result");
    fuzz::Check((headerResult == 1044) == (status != 0), "a status exactly with 1044");
    fuzz::Check(header.width >= 0 && header.height >= 0, "a size of 0 or more");
    const std::int64_t n = std::int64_t(header.width) * header.height;
    if (n > kDecodedPixels)
        return 0;

    std::vector<int> exact(static_cast<size_t>(n), kSentinel);
    ImageHeader decoded;
    const int result = ImageDecodeInto(file, decoded, exact, status);
    fuzz::Check(result == 0 || result == 2 || result == 27 || result == 1044, "a known decode result");
    fuzz::Check(headerResult == 0 || result == headerResult, "the decoder agrees with the header");
    fuzz::Check(headerResult != 0 || result == 0 || (header.kind == 15 && (result == 2 || result == 1044)),
                "after a good header only a PNG's image data can fail");
    fuzz::Check((result == 1044) == (status != 0), "a zlib status exactly with 1044");
    if (result != 0)
        for (int v : exact)
            fuzz::Check(v == kSentinel, "a failed decode leaves the array untouched");

    if (headerResult == 0 && n > 0) {
        std::vector<int> small(static_cast<size_t>(n - 1), kSentinel);
        fuzz::Check(ImageDecodeInto(file, decoded, small, status) == 27, "27 for an array a pixel short");
        for (int v : small)
            fuzz::Check(v == kSentinel, "an array a pixel short stays untouched");
    }
    return 0;
}
