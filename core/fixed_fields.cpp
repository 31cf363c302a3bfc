// Fixed-width numbers for plot files, written without a format.
#include "core/fixed_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/fortran_format.h"

namespace {

void Pad(std::string& out, size_t length, int width)
{
    if (width > 0 && length < static_cast<size_t>(width))
        out.append(static_cast<size_t>(width) - length, ' ');
}

} // namespace

void AppendIntField(std::string& out, int64_t value, int width)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    const size_t n = static_cast<size_t>(res.ptr - buf);
    Pad(out, n, width);
    out.append(buf, n);
}

void AppendFixedField(std::string& out, double value, int width, int decimals)
{
    decimals = std::clamp(decimals, 0, 30);
    if (!std::isfinite(value)) {
        // Rare: the formatter's own words for Infinity and NaN.
        const std::string format = "(F" + std::to_string(std::max(width, 0)) + "." + std::to_string(decimals) + ")";
        out += FortranFormat(format, {value});
        return;
    }
    // Digits of the exact binary value, correctly rounded (to_chars is exact).
    char buf[352];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    const char* begin = buf;
    size_t n = static_cast<size_t>(res.ptr - buf);
    if (res.ec != std::errc()) {
        out += FortranFormat("(F0." + std::to_string(decimals) + ")", {value});
        return;
    }
    // Every negative value keeps its minus, also one that rounds to zero.
    const std::string_view sign = std::signbit(value) ? "-" : "";
    if (buf[0] == '-') {
        ++begin;
        --n;
    }
    // "0.xx": the zero before the point goes when the field has no room for
    // it (and there are digits after the point).
    if (decimals > 0 && n >= 2 && begin[0] == '0' && begin[1] == '.' && width > 0 &&
        sign.size() + n > static_cast<size_t>(width)) {
        ++begin;
        --n;
    }
    const size_t point = decimals == 0 ? 1 : 0; // (Fw.0) ends with the point: "12."
    Pad(out, sign.size() + n + point, width);
    out += sign;
    out.append(begin, n);
    if (point)
        out += '.';
}

double FixedFieldLimit(int width, int decimals)
{
    const int integerDigits = width - std::max(decimals, 0) - 2;
    if (integerDigits < 0)
        return 0.0;
    return std::pow(10.0, integerDigits) - std::pow(10.0, -std::max(decimals, 0));
}
