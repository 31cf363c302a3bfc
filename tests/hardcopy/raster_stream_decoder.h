// A small decoder of the raster printer streams, for the tests only: it
// reads ESC/P bit-image bands, ESC/P2 raster rows and PCL plane rows (with
// their compressions) back into dots, so that a stream can be compared with
// the page bitmap it was made from. No Debian package renders PCL or 9/24-pin
// ESC/P, and this one checks every count against the data that follows it.
//
// Dots are kept per plane: for ESC/P and ESC/P2 the plane the colour
// selector chose (yellow 2, magenta 1, cyan 0, black -1; 0 without
// selectors), for PCL the plane's place in its row (0 first).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rasterdecode {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    int width = 0, height = 0;
    std::map<int, std::vector<std::uint8_t>> planes; // plane -> width x height dots
    std::string error;                               // empty when the stream decoded
    std::vector<int> methods;                        // compression of each data command
    int marginDots = 0;                              // ESC/P2: the relative move seen

    bool Dot(int plane, int c, int r) const
    {
        auto it = planes.find(plane);
        return it != planes.end() && it->second[static_cast<size_t>(r) * width + c] != 0;
    }
    // Sets a dot; a dot outside the page is an error unless it is off.
    void Put(int plane, long c, long r, bool on)
    {
        if (c < 0 || r < 0 || c >= width || r >= height) {
            if (on && error.empty())
                error = "dot outside the page at " + std::to_string(c) + ", " + std::to_string(r);
            return;
        }
        auto& p = planes[plane];
        if (p.empty())
            p.assign(static_cast<size_t>(width) * height, 0);
        if (on)
            p[static_cast<size_t>(r) * width + c] = 1;
    }
};

inline int SelectorPlane(int n)
{
    switch (n) {
    case 4: return 2;
    case 1: return 1;
    case 2: return 0;
    default: return -1;
    }
}

// The stream with a few zeros after its end, so that a command's bytes can
// be read before its length is checked.
inline Bytes Padded(const Bytes& stream)
{
    Bytes s = stream;
    s.resize(stream.size() + 8, 0);
    return s;
}

// An empty page of WIDTH x HEIGHT dots.
inline Decoded EmptyPage(int width, int height)
{
    Decoded d;
    d.width = width;
    d.height = height;
    return d;
}

inline std::string Stray(std::uint8_t b, size_t pos)
{
    return "byte " + std::to_string(b) + " outside a command at " + std::to_string(pos);
}

// One group of packed bits at POS appended to OUT: L - 1 and L bytes, or
// 1 - L and a byte repeated L times (-128 is no group). False when the
// group runs past END.
inline bool UnpackGroup(const Bytes& s, size_t& pos, size_t end, Bytes& out)
{
    if (pos >= end)
        return false;
    const int c = static_cast<std::int8_t>(s[pos++]);
    if (c >= 0) {
        if (pos + static_cast<size_t>(c) + 1 > end)
            return false;
        out.insert(out.end(), s.begin() + static_cast<long>(pos), s.begin() + static_cast<long>(pos) + c + 1);
        pos += static_cast<size_t>(c) + 1;
    } else if (c != -128) {
        if (pos >= end)
            return false;
        out.insert(out.end(), static_cast<size_t>(1 - c), s[pos++]);
    }
    return true;
}

// Packed bits into exactly N bytes.
inline bool UnpackBits(const Bytes& s, size_t& pos, size_t end, size_t n, Bytes& out)
{
    out.clear();
    while (out.size() < n)
        if (!UnpackGroup(s, pos, end, out))
            return false;
    return out.size() == n;
}

// Packed bits from POS up to END, all of them.
inline bool UnpackAll(const Bytes& s, size_t& pos, size_t end, Bytes& out)
{
    while (pos < end)
        if (!UnpackGroup(s, pos, end, out))
            return false;
    return true;
}

// ESC/P: BAND dots per band (8 or 24), PASSES interleaved passes, MARGIN
// columns of zero bytes before each band's data.
inline Decoded DecodeEscp(const Bytes& stream, int width, int height, int band, int passes, int margin)
{
    const size_t n = stream.size();
    const Bytes s = Padded(stream);
    Decoded d = EmptyPage(width, height);
    int plane = 0;
    long line = 0; // band passes ended by a line feed
    const int perColumn = band / 8;
    size_t pos = 0;
    while (pos < n && d.error.empty()) {
        const std::uint8_t b = s[pos];
        if (b == 13 || b == 12) {
            ++pos;
            continue;
        }
        if (b == 10) {
            ++line;
            ++pos;
            continue;
        }
        if (b != 27 || pos + 1 >= n) {
            d.error = Stray(b, pos);
            break;
        }
        const std::uint8_t cmd = s[pos + 1];
        size_t data = 0, bytes = 0;
        if (cmd == 'U' || cmd == 'J' || cmd == '3') {
            pos += 3;
            continue;
        } else if (cmd == '2') {
            pos += 2;
            continue;
        } else if (cmd == 'r') {
            plane = SelectorPlane(s[pos + 2]);
            pos += 3;
            continue;
        } else if (cmd == 'K' || cmd == 'L' || cmd == 'Z') {
            bytes = static_cast<size_t>(s[pos + 2] | s[pos + 3] << 8) * perColumn;
            data = pos + 4;
        } else if (cmd == '*') {
            bytes = static_cast<size_t>(s[pos + 3] | s[pos + 4] << 8) * perColumn;
            data = pos + 5;
        } else if (cmd == '[' && s[pos + 2] == 'g') {
            bytes = static_cast<size_t>(s[pos + 3] | s[pos + 4] << 8) - 1;
            data = pos + 6;
        } else {
            d.error = "unknown command " + std::to_string(cmd);
            break;
        }
        if (data + bytes > n) {
            d.error = "band data beyond the stream";
            break;
        }
        d.methods.push_back(cmd);
        const long group = line / passes, pass = line % passes;
        for (size_t i = 0; i < bytes; ++i) {
            const long column = static_cast<long>(i) / perColumn - margin;
            const int j = static_cast<int>(i % perColumn);
            for (int k = 0; k < 8; ++k) {
                const bool on = (s[data + i] >> (7 - k)) & 1;
                const long row = group * band * passes + pass + passes * (8L * j + k);
                d.Put(plane, column, row, on);
            }
        }
        pos = data + bytes;
    }
    return d;
}

// ESC/P2 raster rows; ESC "(v" moves one row down.
inline Decoded DecodeEscp2(const Bytes& stream, int width, int height)
{
    const size_t n = stream.size();
    const Bytes s = Padded(stream);
    Decoded d = EmptyPage(width, height);
    int plane = 0;
    long row = 0;
    size_t pos = 0;
    Bytes line;
    while (pos < n && d.error.empty()) {
        const std::uint8_t b = s[pos];
        if (b == 13 || b == 12) {
            ++pos;
            continue;
        }
        if (b != 27 || pos + 1 >= n) {
            d.error = Stray(b, pos);
            break;
        }
        const std::uint8_t cmd = s[pos + 1];
        if (cmd == '@') {
            pos += 2;
        } else if (cmd == '(') {
            const size_t length = static_cast<size_t>(s[pos + 3] | s[pos + 4] << 8);
            if (s[pos + 2] == 'v')
                row += s[pos + 5] | s[pos + 6] << 8;
            pos += 5 + length;
        } else if (cmd == '\\') {
            d.marginDots = s[pos + 2] | s[pos + 3] << 8;
            pos += 4;
        } else if (cmd == 'r') {
            plane = SelectorPlane(s[pos + 2]);
            pos += 3;
        } else if (cmd == '.') {
            const int method = s[pos + 2];
            const size_t dots = static_cast<size_t>(s[pos + 6] | s[pos + 7] << 8);
            const size_t rowBytes = (dots + 7) / 8;
            pos += 8;
            d.methods.push_back(method);
            if (method == 1) {
                if (!UnpackBits(s, pos, n, rowBytes, line)) {
                    d.error = "packed row does not unpack";
                    break;
                }
            } else if (pos + rowBytes <= n) {
                line.assign(s.begin() + static_cast<long>(pos), s.begin() + static_cast<long>(pos + rowBytes));
                pos += rowBytes;
            } else {
                d.error = "row data beyond the stream";
                break;
            }
            for (size_t c = 0; c < dots; ++c)
                d.Put(plane, static_cast<long>(c), row, (line[c / 8] >> (7 - c % 8)) & 1);
        } else {
            d.error = "unknown command " + std::to_string(cmd);
        }
    }
    return d;
}

// PCL raster: "ESC *b n V" a plane of the row, "ESC *b n W" its last plane;
// "ESC *b m M" the compression method (0 none, 1 pairs, 2 packed bits).
inline Decoded DecodePcl(const Bytes& stream, int width, int height)
{
    const size_t n = stream.size();
    const Bytes s = Padded(stream);
    Decoded d = EmptyPage(width, height);
    int method = 0, plane = 0;
    long row = 0;
    size_t pos = 0;
    Bytes line;
    while (pos < n && d.error.empty()) {
        if (s[pos] != 27 || pos + 1 >= n) {
            d.error = Stray(s[pos], pos);
            break;
        }
        const std::uint8_t kind = s[pos + 1];
        if (kind == 'E') {
            pos += 2;
            continue;
        }
        if (kind != '&' && kind != '*') {
            d.error = "unknown command";
            break;
        }
        const char group = static_cast<char>(s[pos + 2]);
        pos += 3;
        // Values with their parameter letters; an upper-case letter ends the
        // command.
        for (bool more = true; more && d.error.empty();) {
            long value = 0, sign = 1;
            bool digits = false;
            if (pos < n && (s[pos] == '-' || s[pos] == '+'))
                sign = s[pos++] == '-' ? -1 : 1;
            while (pos < n && s[pos] >= '0' && s[pos] <= '9') {
                value = value * 10 + (s[pos++] - '0');
                digits = true;
            }
            if (pos >= n) {
                d.error = "command cut off";
                break;
            }
            const char letter = static_cast<char>(s[pos++]);
            more = letter >= 'a' && letter <= 'z';
            value *= sign;
            if (kind == '*' && group == 'b' && (letter == 'M' || letter == 'm')) {
                method = static_cast<int>(value);
            } else if (kind == '*' && group == 'b' && (letter == 'W' || letter == 'V')) {
                if (!digits || value < 0 || pos + static_cast<size_t>(value) > n) {
                    d.error = "transfer count does not match the data";
                    break;
                }
                const size_t end = pos + static_cast<size_t>(value);
                d.methods.push_back(method);
                line.clear();
                if (method == 0) {
                    line.assign(s.begin() + static_cast<long>(pos), s.begin() + static_cast<long>(end));
                    pos = end;
                } else if (method == 1) {
                    for (; pos + 2 <= end; pos += 2)
                        line.insert(line.end(), static_cast<size_t>(s[pos]) + 1, s[pos + 1]);
                } else if (!UnpackAll(s, pos, end, line)) {
                    d.error = "packed row overruns its count";
                    break;
                }
                if (pos != end) {
                    d.error = "compressed row overruns its count";
                    break;
                }
                for (size_t c = 0; c < 8 * line.size(); ++c)
                    d.Put(plane, static_cast<long>(c), row, (line[c / 8] >> (7 - c % 8)) & 1 && c < size_t(width));
                if (letter == 'W' || letter == 'w') {
                    plane = 0;
                    ++row;
                } else {
                    ++plane;
                }
                more = false;
            }
        }
    }
    return d;
}

} // namespace rasterdecode
