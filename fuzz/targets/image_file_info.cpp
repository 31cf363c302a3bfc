// File kind detection on hostile bytes: the header tests and information
// words at every count, and the three plot-file scanners over the same
// bytes. The kind lies in -1..16, the decoder's kind agrees for BMP, PCX and
// PNG, words past the count stay untouched, the report level comes back as
// it was, and every scanner count is at least 1.
#include <array>
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "hardcopy/image_file_info.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/plot_file_scanners.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> file(data, size);
    fuzz::QuietErrorState();
    fuzz::Traps traps;

    std::array<int, kImageFileInfoWords> full{};
    for (int count = 0; count <= kImageFileInfoWords; ++count) {
        std::array<int, kImageFileInfoWords> record;
        record.fill(0x5A5A5A5A);
        ImageFileInfoOf(file, record, count);
        const int stored = count < 1 ? 1 : count;
        for (int i = stored; i < kImageFileInfoWords; ++i)
            fuzz::Check(record[static_cast<size_t>(i)] == 0x5A5A5A5A, "words past the count untouched");
        fuzz::Check(gErrorState.level == 0, "the report level restored");
        if (count == kImageFileInfoWords)
            full = record;
    }
    const int kind = full[0];
    fuzz::Check(kind >= -1 && kind <= 16, "a known kind");
    fuzz::Check(kind == ImageFileKindOf(file), "the record's kind is the header tests' kind");
    const int decoderKind = ImageKindOf(file);
    fuzz::Check(decoderKind == (kind == 1 || kind == 2 || kind == 15 || kind == -1 ? kind : 0),
                "the decoder's kind agrees");
    if (kind <= 0)
        for (int i = 1; i < kImageFileInfoWords; ++i)
            fuzz::Check(full[static_cast<size_t>(i)] == -1, "-1 words for an unknown file");

    int pictures = 0, pages = 0, cgmPictures = 0;
    float ratio = 0.0f;
    PicPictureCount(file, pictures);
    CgmPictureInfo(file, cgmPictures, ratio);
    HpglPageCount(file, pages);
    fuzz::Check(pictures >= 1 && cgmPictures >= 1 && pages >= 1, "counts of at least 1");
    return 0;
}
