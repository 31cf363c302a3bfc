// A reader of binary CGM files for the tests, written from the binary
// encoding rules of the CGM standard rather than from our writer: it walks
// every element from BEGIN METAFILE to END METAFILE, checks the framing
// (headers, long forms, partitions, word alignment, the uncounted pad),
// the metafile / picture / body nesting and the parameters of every
// element the producers write, and decodes what the tests look at
// (points, texts, cell arrays). Anything it does not know is an error.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace cgmwalk {

struct Element {
    int cls = 0, id = 0;
    std::size_t offset = 0;              // of its header
    bool longForm = false;
    std::vector<int> partitions;         // parameter bytes of each partition
    std::vector<std::uint8_t> params;    // every partition's parameters, joined
    int picture = 0;                     // 1 for the first picture, 0 outside

    bool Is(int c, int i) const { return cls == c && id == i; }
    int Word(std::size_t at) const { return static_cast<int16_t>(params[at] << 8 | params[at + 1]); }
    int Count() const { return static_cast<int>(params.size()); }
};

struct CellArray {
    int px = 0, py = 0, qx = 0, qy = 0, rx = 0, ry = 0;
    int nx = 0, ny = 0;
    std::vector<int> cells; // packed RGB, row by row
};

struct Walk {
    bool ok = false;
    std::string error;
    std::vector<Element> elements;
    int pictures = 0;

    int CountOf(int c, int i) const
    {
        int n = 0;
        for (const Element& e : elements)
            n += e.Is(c, i) ? 1 : 0;
        return n;
    }
    std::vector<const Element*> All(int c, int i) const
    {
        std::vector<const Element*> out;
        for (const Element& e : elements)
            if (e.Is(c, i))
                out.push_back(&e);
        return out;
    }
};

// A string parameter at AT: its text and the offset after it; false when
// it runs past END.
inline bool ReadString(const std::vector<std::uint8_t>& p, std::size_t& at, std::size_t end, std::string& out)
{
    if (at >= end)
        return false;
    std::size_t n = p[at++];
    if (n == 255) {
        if (at + 2 > end)
            return false;
        const int word = p[at] << 8 | p[at + 1];
        at += 2;
        if (word & 0x8000)
            return false; // continued strings are not written by anyone here
        n = static_cast<std::size_t>(word);
    }
    if (at + n > end)
        return false;
    out.assign(reinterpret_cast<const char*>(p.data() + at), n);
    at += n;
    return true;
}

// The texts of the TEXT and RESTRICTED TEXT elements, in order.
inline std::vector<std::string> Texts(const Walk& w)
{
    std::vector<std::string> out;
    for (const Element& e : w.elements) {
        std::size_t at = e.Is(4, 4) ? 6 : e.Is(4, 5) ? 10 : 0;
        std::string s;
        if (at && ReadString(e.params, at, e.params.size(), s))
            out.push_back(s);
    }
    return out;
}

// The points of an element made of points only (POLYLINE, POLYGON).
inline std::vector<std::pair<int, int>> Points(const Element& e)
{
    std::vector<std::pair<int, int>> out;
    for (std::size_t at = 0; at + 4 <= e.params.size(); at += 4)
        out.emplace_back(e.Word(at), e.Word(at + 2));
    return out;
}

// Decodes a CELL ARRAY of direct colours, precision 8, run-length rows.
inline bool DecodeCellArray(const Element& e, CellArray& c, std::string& why)
{
    const auto& p = e.params;
    if (p.size() < 20) {
        why = "cell array head";
        return false;
    }
    c.px = e.Word(0), c.py = e.Word(2), c.qx = e.Word(4), c.qy = e.Word(6), c.rx = e.Word(8), c.ry = e.Word(10);
    c.nx = e.Word(12), c.ny = e.Word(14);
    const int precision = e.Word(16), mode = e.Word(18);
    if (c.nx < 1 || c.ny < 1 || (precision != 8 && precision != 0) || (mode != 0 && mode != 1)) {
        why = "cell array dimensions or modes";
        return false;
    }
    c.cells.clear();
    std::size_t at = 20;
    for (int r = 0; r < c.ny; ++r) {
        const std::size_t rowStart = at;
        if (mode == 0) {
            int done = 0;
            while (done < c.nx) {
                if (at + 5 > p.size()) {
                    why = "cell array run past the end";
                    return false;
                }
                const int count = static_cast<int16_t>(p[at] << 8 | p[at + 1]);
                if (count < 1 || done + count > c.nx) {
                    why = "cell array run count " + std::to_string(count);
                    return false;
                }
                const int rgb = p[at + 2] | p[at + 3] << 8 | p[at + 4] << 16;
                c.cells.insert(c.cells.end(), static_cast<std::size_t>(count), rgb);
                done += count;
                at += 5;
            }
        } else {
            for (int k = 0; k < c.nx; ++k, at += 3) {
                if (at + 3 > p.size()) {
                    why = "cell array row past the end";
                    return false;
                }
                c.cells.push_back(p[at] | p[at + 1] << 8 | p[at + 2] << 16);
            }
        }
        if ((at - rowStart) % 2 != 0)
            ++at; // every row starts on a word boundary
    }
    if (at != p.size()) {
        why = "cell array has " + std::to_string(p.size() - at) + " bytes left over";
        return false;
    }
    return true;
}

namespace detail {

// Parameter checks of each element the producers may write: the exact
// length, or a structure that must use every byte.
inline bool Check(const Element& e, std::string& why)
{
    const auto& p = e.params;
    const std::size_t n = p.size();
    auto strings = [&](std::size_t from, int count) {
        std::size_t at = from;
        std::string s;
        for (int k = 0; count < 0 ? at < n : k < count; ++k)
            if (!ReadString(p, at, n, s))
                return false;
        return at == n;
    };
    // A direct colour alone: three bytes, or four with a zero byte.
    auto colour = [&] { return n == 3 || (n == 4 && p[3] == 0); };
    static const std::map<std::pair<int, int>, int> fixed = {
        {{0, 2}, 0},  {{0, 4}, 0},  {{0, 5}, 0},  {{1, 1}, 2},  {{1, 3}, 2},  {{1, 4}, 2},  {{1, 5}, 6},
        {{1, 6}, 2},  {{1, 7}, 2},  {{1, 10}, 6}, {{2, 2}, 2},  {{2, 3}, 2},  {{2, 5}, 2},  {{2, 6}, 8},
        {{3, 1}, 2},  {{3, 4}, 2},  {{3, 5}, 8},  {{3, 6}, 2},  {{4, 11}, 8}, {{4, 17}, 12}, {{5, 2}, 2},
        {{5, 3}, 2},  {{5, 10}, 2}, {{5, 15}, 2}, {{5, 16}, 8}, {{5, 18}, 12}, {{5, 22}, 2}, {{5, 27}, 2},
        {{5, 28}, 2}, {{5, 30}, 2}, {{5, 31}, 4}, {{5, 37}, 4}, {{5, 38}, 2}};
    const auto f = fixed.find({e.cls, e.id});
    bool good = false;
    if (f != fixed.end()) {
        good = static_cast<int>(n) == f->second;
    } else if (e.Is(0, 1) || e.Is(0, 3) || e.Is(1, 2)) {
        good = strings(0, 1);
    } else if (e.Is(1, 13)) {
        good = strings(0, -1);
    } else if (e.Is(2, 7) || e.Is(3, 3) || e.Is(5, 4) || e.Is(5, 14) || e.Is(5, 23) || e.Is(5, 29)) {
        good = colour();
    } else if (e.Is(4, 1)) {
        good = n % 4 == 0 && n >= 8;
    } else if (e.Is(4, 7)) {
        good = n % 4 == 0 && n >= 12;
    } else if (e.Is(4, 4)) {
        good = n > 6 && strings(6, 1);
    } else if (e.Is(4, 5)) {
        good = n > 10 && strings(10, 1);
    } else if (e.Is(4, 9)) {
        CellArray c;
        good = DecodeCellArray(e, c, why);
        if (!good)
            return false;
    } else if (e.Is(5, 43)) {
        // Style, two reference points, the stage count, its reals and the
        // colours (stages + 2 of them for triangles), perhaps a zero byte.
        if (n >= 12) {
            const int stages = e.Word(10);
            const std::size_t body = 12 + 4 * static_cast<std::size_t>(std::max(stages, 0)) +
                                     3 * static_cast<std::size_t>(std::max(stages, 0) + 3);
            good = stages >= 0 && (n == body || (n == body + 1 && p[body] == 0));
        }
    } else {
        why = "unknown element";
        return false;
    }
    if (!good)
        why = "parameters (" + std::to_string(n) + " bytes)";
    return good;
}

} // namespace detail

// Walks BYTES from the first element to END METAFILE, which must be the last
// bytes of the file.
inline Walk WalkCgm(std::span<const std::uint8_t> bytes)
{
    Walk w;
    enum Where { kStart, kDescriptor, kPictureDescriptor, kBody, kBetween, kEnded };
    Where where = kStart;
    std::size_t at = 0;
    auto fail = [&](const std::string& why, const Element* e = nullptr) {
        w.error = why;
        if (e)
            w.error += " in element (" + std::to_string(e->cls) + ", " + std::to_string(e->id) + ") at " +
                       std::to_string(e->offset);
        return w;
    };
    while (at < bytes.size()) {
        if (where == kEnded)
            return fail("bytes after END METAFILE at " + std::to_string(at));
        if (at % 2 != 0 || at + 2 > bytes.size())
            return fail("element header not on a word boundary or cut at " + std::to_string(at));
        Element e;
        e.offset = at;
        const int header = bytes[at] << 8 | bytes[at + 1];
        at += 2;
        e.cls = header >> 12;
        e.id = (header >> 5) & 0x7F;
        int length = header & 31;
        if (length < 31) {
            if (at + static_cast<std::size_t>(length) > bytes.size())
                return fail("parameters past the end", &e);
            e.params.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
            e.partitions.push_back(length);
            at += static_cast<std::size_t>(length);
        } else {
            e.longForm = true;
            for (bool more = true; more;) {
                if (at % 2 != 0 || at + 2 > bytes.size())
                    return fail("partition word misplaced or cut", &e);
                const int word = bytes[at] << 8 | bytes[at + 1];
                at += 2;
                more = (word & 0x8000) != 0;
                const std::size_t part = static_cast<std::size_t>(word & 0x7FFF);
                if (at + part > bytes.size())
                    return fail("partition past the end", &e);
                if (more && part % 2 != 0)
                    return fail("a partition that another follows has odd length", &e);
                e.params.insert(e.params.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(at + part));
                e.partitions.push_back(static_cast<int>(part));
                at += part;
            }
        }
        if (e.params.size() % 2 != 0) {
            if (at >= bytes.size())
                return fail("missing pad byte after an odd parameter list", &e);
            ++at;
        }
        std::string why;
        if (!detail::Check(e, why))
            return fail(why, &e);

        // Nesting: descriptor, then pictures each with descriptor and body.
        const bool delimiter = e.cls == 0;
        switch (where) {
        case kStart:
            if (!e.Is(0, 1))
                return fail("the file does not begin with BEGIN METAFILE", &e);
            where = kDescriptor;
            break;
        case kDescriptor:
        case kBetween:
            if (e.Is(0, 3)) {
                ++w.pictures;
                where = kPictureDescriptor;
            } else if (e.Is(0, 2)) {
                where = kEnded;
            } else if (delimiter || (where == kBetween) || e.cls != 1) {
                return fail("misplaced element outside a picture", &e);
            }
            break;
        case kPictureDescriptor:
            if (e.Is(0, 4))
                where = kBody;
            else if (delimiter || (e.cls != 2 && e.cls != 3))
                return fail("misplaced element in a picture descriptor", &e);
            break;
        case kBody:
            if (e.Is(0, 5))
                where = kBetween;
            else if (delimiter || e.cls < 3 || e.cls > 5)
                return fail("misplaced element in a picture body", &e);
            break;
        case kEnded: break;
        }
        e.picture = where == kPictureDescriptor || where == kBody || e.Is(0, 5) ? w.pictures : 0;
        w.elements.push_back(std::move(e));
    }
    if (where != kEnded)
        return fail("no END METAFILE at the end");
    w.ok = true;
    return w;
}

} // namespace cgmwalk
