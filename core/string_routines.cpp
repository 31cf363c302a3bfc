// Small text routines shared by the whole library.
#include "core/string_routines.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/fixed_text.h"
#include "core/option_string.h"

void YYTokenBounds(std::string_view string, int& first, int& last)
{
    first = 0;
    last = 0;
    size_t begin = string.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return;
    size_t end = string.find(' ', begin);
    first = static_cast<int>(begin) + 1;
    last = end == std::string_view::npos ? static_cast<int>(string.size()) : static_cast<int>(end);
}

void YYUpperCase(std::span<char> string)
{
    for (char& c : string)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

void YYLowerCase(std::span<char> string)
{
    for (char& c : string)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

void YYJustify(std::span<char> string, std::string_view options)
{
    const long n = static_cast<long>(string.size());
    long a = 0; // first non-blank, 1-based
    long b = 0; // last non-blank
    for (long i = 1; i <= n; ++i) {
        if (string[static_cast<size_t>(i - 1)] != ' ') {
            if (a == 0)
                a = i;
            b = i;
        }
    }
    if (a == 0 || (a == 1 && b == n))
        return;
    long target;
    if (YYOptionHas(options, 'L'))
        target = 1;
    else if (YYOptionHas(options, 'R'))
        target = n - (b - a);
    else
        target = 1 + ((a - 1) + (n - b)) / 2;
    if (target == a)
        return;
    // Each source position is blanked before its character is stored at the
    // target; moving from the end that cannot overwrite unmoved characters.
    auto move = [&](long from) {
        long to = target + (from - a);
        char c = string[static_cast<size_t>(from - 1)];
        string[static_cast<size_t>(from - 1)] = ' ';
        string[static_cast<size_t>(to - 1)] = c;
    };
    if (target < a)
        for (long i = a; i <= b; ++i)
            move(i);
    else
        for (long i = b; i >= a; --i)
            move(i);
}

int YYCharCode(char c)
{
    return static_cast<unsigned char>(c);
}

int YYIndexNoCase(std::string_view string, std::string_view substring, const bool* back)
{
    const bool fromBack = back != nullptr && *back;
    if (substring.empty())
        return fromBack ? static_cast<int>(string.size()) + 1 : 1;
    if (string.size() < substring.size())
        return 0;
    std::string s(string);
    std::string t(substring);
    YYUpperCase(s);
    YYUpperCase(t);
    size_t at = fromBack ? s.rfind(t) : s.find(t);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

int DecimalStringToInt(std::string_view text)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    uint32_t value = 0; // wraps like the 32-bit accumulation it replaces, without overflow
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

int TextLengthToNul(std::string_view text)
{
    size_t n = text.find('\0');
    return static_cast<int>(n == std::string_view::npos ? text.size() : n);
}

int TextLengthToBlank(std::string_view text)
{
    size_t n = text.find_first_of(std::string_view(" \0", 2));
    return static_cast<int>(n == std::string_view::npos ? text.size() : n);
}

void TextToBlankPadded(std::string_view text, std::span<char> string, int n)
{
    size_t count = n > 0 ? std::min(static_cast<size_t>(n), string.size()) : 0;
    PutText(string.first(count), text.substr(0, static_cast<size_t>(TextLengthToNul(text))));
}
