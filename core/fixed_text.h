// Helpers for the library's text conventions: input texts whose trailing
// blanks do not count, and caller-owned output buffers filled blank-padded or
// cut to their length.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

// The text without its trailing blanks (and trailing NULs).
inline std::string_view TrimRight(std::string_view s)
{
    size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0'))
        --n;
    return s.substr(0, n);
}

// Copies TEXT into OUT, cut to OUT's length or padded with blanks.
inline void PutText(std::span<char> out, std::string_view text)
{
    size_t n = std::min(out.size(), text.size());
    if (n)
        std::memcpy(out.data(), text.data(), n);
    std::fill(out.begin() + n, out.end(), ' ');
}

// The blank-padded content of OUT as a view.
inline std::string_view TextOf(std::span<const char> buf)
{
    return std::string_view(buf.data(), buf.size());
}

// A blank-padded text of fixed length N, for call sites and tests.
template <size_t N>
struct FixedText {
    char data[N];
    FixedText() { std::fill(data, data + N, ' '); }
    explicit FixedText(std::string_view s) { PutText(span(), s); }
    std::span<char> span() { return std::span<char>(data, N); }
    std::string_view view() const { return std::string_view(data, N); }
    std::string_view trimmed() const { return TrimRight(view()); }
    operator std::span<char>() { return span(); }
};
