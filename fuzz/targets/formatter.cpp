// The formatter with a hostile format and items: the input is the format up
// to its first NUL, then the items, each a kind byte and its value (eight
// bytes of an integer or a double, four of a float, or a length byte and
// that many characters of text).
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/fortran_format.h"
#include "fuzz_support.h"

namespace {

template <class T>
bool Take(const uint8_t*& p, const uint8_t* end, T& value)
{
    if (static_cast<size_t>(end - p) < sizeof(T))
        return false;
    std::memcpy(&value, p, sizeof(T));
    p += sizeof(T);
    return true;
}

// A real from the input's bits, as arithmetic gives them: a signalling NaN
// (which no computation yields, and which traps on first use) is made quiet.
template <class Real, class Bits>
bool TakeReal(const uint8_t*& p, const uint8_t* end, Real& value)
{
    Bits bits = 0;
    if (!Take(p, end, bits))
        return false;
    constexpr int kFraction = std::numeric_limits<Real>::digits - 1;
    constexpr Bits kExponent = ((Bits(1) << (sizeof(Bits) * 8 - 1)) - 1) & ~((Bits(1) << kFraction) - 1);
    constexpr Bits kQuiet = Bits(1) << (kFraction - 1);
    if ((bits & kExponent) == kExponent && (bits & ((Bits(1) << kFraction) - 1)) != 0)
        bits |= kQuiet;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

std::vector<FormatItem> Items(const uint8_t* p, const uint8_t* end)
{
    std::vector<FormatItem> items;
    while (p < end && items.size() < 64) {
        uint8_t kind = *p++;
        switch (kind % 4) {
        case 0: {
            long long v = 0;
            if (!Take(p, end, v))
                return items;
            items.emplace_back(v);
            break;
        }
        case 1: {
            double v = 0;
            if (!TakeReal<double, uint64_t>(p, end, v))
                return items;
            items.emplace_back(v);
            break;
        }
        case 2: {
            float v = 0;
            if (!TakeReal<float, uint32_t>(p, end, v))
                return items;
            items.emplace_back(v);
            break;
        }
        default: {
            uint8_t n = 0;
            if (!Take(p, end, n) || static_cast<size_t>(end - p) < n)
                return items;
            items.emplace_back(std::string_view(reinterpret_cast<const char*>(p), n));
            p += n;
            break;
        }
        }
    }
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* end = data + size;
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    std::string_view format(reinterpret_cast<const char*>(data), nul ? static_cast<size_t>(nul - data) : size);
    std::vector<FormatItem> items = Items(nul ? nul + 1 : end, end);

    fuzz::QuietErrorState();
    fuzz::Traps traps;
    std::vector<std::string> records;
    FortranWrite(format, items, records);
    size_t total = 0;
    for (const std::string& r : records) {
        fuzz::Check(r.size() <= 1000000, "a record within the record limit");
        total += r.size();
    }
    fuzz::Check(total <= 16000000, "the records within the output limit");

    char text[40];
    int status = FortranWriteText(format, items, text);
    fuzz::Check(status >= 0 && status <= 3, "a known status");
    return 0;
}
