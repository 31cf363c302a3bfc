// Text inside PostScript strings and XML character data.
#include "hardcopy/plot_text.h"

#include <charconv>

namespace {

// Code points of bytes 0x80..0x9F in code page 1252; 0 where it has none.
constexpr int kCp1252High[32] = {
    8364, 0,    8218, 402,  8222, 8230, 8224, 8225, 710,  8240, 352,  8249, 338,  0,    381,  0,
    0,    8216, 8217, 8220, 8221, 8226, 8211, 8212, 732,  8482, 353,  8250, 339,  0,    382,  376,
};

void AppendReference(std::string& out, int codePoint)
{
    char digits[12];
    auto res = std::to_chars(digits, digits + sizeof digits, codePoint);
    out += "&#";
    out.append(digits, res.ptr);
    out += ';';
}

} // namespace

int Cp1252CodePoint(unsigned char c)
{
    if (c >= 0x80 && c <= 0x9F)
        return kCp1252High[c - 0x80];
    return c;
}

size_t AppendPostScriptString(std::string& out, std::string_view text, size_t limit)
{
    size_t used = 0, taken = 0;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        char unit[4];
        size_t n = 0;
        if (c == '(' || c == ')' || c == '\\') {
            unit[n++] = '\\';
            unit[n++] = ch;
        } else if (c < 32 || c == 127) {
            unit[n++] = '\\';
            unit[n++] = static_cast<char>('0' + (c >> 6));
            unit[n++] = static_cast<char>('0' + ((c >> 3) & 7));
            unit[n++] = static_cast<char>('0' + (c & 7));
        } else {
            unit[n++] = ch;
        }
        if (used + n > limit)
            break;
        out.append(unit, n);
        used += n;
        ++taken;
    }
    return taken;
}

void AppendXmlText(std::string& out, std::string_view text)
{
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '&' || c == '<' || c == '>') {
            AppendReference(out, c);
        } else if (c >= 128) {
            const int code = Cp1252CodePoint(c);
            if (code != 0)
                AppendReference(out, code);
        } else if (c >= 32) {
            out += ch;
        }
    }
}
