// File kind detection over a file's bytes: the seventeen header tests in
// their order, the information words of every kind, the text scans, and the
// wrapper that reads a file by name. Everything reads through a byte source:
// the header is the first 128 bytes, the DXF comment test and the scans go
// back to the start and read on in blocks, so that memory stays bounded
// whatever the file's size and every scan costs time linear in what it reads.
#include "hardcopy/image_file_info.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "core/option_string.h"
#include "core/string_routines.h"
#include "core/os_services.h"
#include "hardcopy/byte_source.h"
#include "hardcopy/plot_file_scanners.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr char kEsc = 27;
constexpr int kLineLength = 128;

// ---------------------------------------------------------------------------
// The header: the first 128 bytes of the file, as many as there are.

struct Header {
    Bytes bytes;
    int first = -1; // index of the first byte that is neither blank nor NUL; -1 when none

    explicit Header(Bytes file)
        : bytes(file.first(std::min<std::size_t>(file.size(), kImageFileHeaderBytes)))
    {
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        first = YYStringStart(text) - 1;
    }

    bool Has(std::size_t at, std::size_t n) const { return at <= bytes.size() && n <= bytes.size() - at; }

    bool At(std::size_t at, std::string_view s) const
    {
        return Has(at, s.size()) && std::memcmp(bytes.data() + at, s.data(), s.size()) == 0;
    }
    bool AtStart(std::string_view s) const { return At(0, s); }
    bool AtFirst(std::string_view s) const { return first >= 0 && At(static_cast<std::size_t>(first), s); }

    // Index of S in the header, or -1.
    std::ptrdiff_t Find(std::string_view s, std::size_t from = 0) const
    {
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        const std::size_t at = text.find(s, from);
        return at == std::string_view::npos ? -1 : static_cast<std::ptrdiff_t>(at);
    }
    bool Contains(std::string_view s) const { return Find(s) >= 0; }

    int Byte(std::size_t at) const { return at < bytes.size() ? bytes[at] : -1; }

    // Little-endian unsigned 16-bit and 32-bit values; false past the bytes read.
    bool U16(std::size_t at, std::uint32_t& v) const
    {
        if (!Has(at, 2))
            return false;
        v = std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8);
        return true;
    }
    bool U32(std::size_t at, std::uint32_t& v) const
    {
        std::uint32_t lo = 0, hi = 0;
        if (!U16(at, lo) || !U16(at + 2, hi))
            return false;
        v = lo | (hi << 16);
        return true;
    }
    bool I32(std::size_t at, std::int64_t& v) const
    {
        std::uint32_t u = 0;
        if (!U32(at, u))
            return false;
        v = static_cast<std::int32_t>(u);
        return true;
    }
    bool U32BE(std::size_t at, std::uint32_t& v) const
    {
        if (!Has(at, 4))
            return false;
        v = (std::uint32_t(bytes[at]) << 24) | (std::uint32_t(bytes[at + 1]) << 16) |
            (std::uint32_t(bytes[at + 2]) << 8) | std::uint32_t(bytes[at + 3]);
        return true;
    }
};

// Windows error codes that mean "there is no such file".
constexpr int kWindowsFileNotFound = 2;
constexpr int kWindowsPathNotFound = 3;
constexpr int kWindowsInvalidName = 123;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::uint32_t kEnhancedSignature = 0x464D4520u; // " EMF"
constexpr std::uint8_t kPlainMetafileKey[6] = {1, 0, 9, 0, 0, 3};

// A 64-bit value as a word: itself inside the integer range, else -1.
int Word(std::int64_t v)
{
    return v >= INT32_MIN && v <= INT32_MAX ? static_cast<int>(v) : -1;
}

// 2 to the power BITS for BITS 0 to 30; -1 above.
int PowerOfTwo(std::int64_t bits)
{
    return bits >= 0 && bits < 31 ? 1 << bits : -1;
}

// ---------------------------------------------------------------------------
// Text lines of 128 characters over the file's bytes.

// One line, blank-padded to 128 characters. Only its first USED characters
// can be other than blanks, and the characters before FROM are blanks (a scan
// blanks what it has read), so that the work on a line is proportional to
// its own length, not to the 128 characters it is padded to.
struct Line {
    std::array<char, kLineLength> text;
    std::size_t used = 0;
    std::size_t from = 0;

    Line() { text.fill(' '); }
    // The characters that can be other than blanks.
    std::string_view View() const { return {text.data(), used}; }
    // The same and one blank after them, where the line has room for it:
    // what a search for a text ending in a blank must see.
    std::string_view ViewWithBlank() const { return {text.data(), std::min(used + 1, text.size())}; }
    // The characters from FROM on that can be other than blanks.
    std::span<char> Rest() { return {text.data() + from, from < used ? used - from : 0}; }
    char At(std::size_t i) const { return i < text.size() ? text[i] : ' '; }
    // Blanks the line up to (not including) TO.
    void BlankTo(std::size_t to)
    {
        to = std::min(to, text.size());
        if (to > from) {
            std::fill(text.begin() + static_cast<std::ptrdiff_t>(from), text.begin() + static_cast<std::ptrdiff_t>(to),
                      ' ');
            from = to;
        }
    }
};

class TextLines {
public:
    explicit TextLines(ByteSource& in) : in_(in) {}

    // The next line (a line ends with LF; a CR before the LF is dropped;
    // longer lines are cut to 128 characters); false at the end of the file.
    bool Next(Line& line)
    {
        std::fill_n(line.text.begin(), line.used, ' ');
        line.used = 0;
        line.from = 0;
        std::int64_t length = 0; // of the whole line, cut or not
        for (std::span<const std::uint8_t> block = in_.Peek(); !block.empty(); block = in_.Peek()) {
            // The characters kept are copied one by one (most lines are
            // short); past them the rest of a long line is skipped by memchr.
            const std::uint8_t* p = block.data();
            const std::uint8_t* const end = p + block.size();
            while (p < end && *p != '\n' && line.used < line.text.size())
                line.text[line.used++] = static_cast<char>(*p++);
            if (p < end && *p != '\n') {
                const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
                p = lf ? static_cast<const std::uint8_t*>(lf) : end;
            }
            const std::size_t n = static_cast<std::size_t>(p - block.data());
            length += static_cast<std::int64_t>(n);
            if (p == end) {
                in_.Skip(n);
                continue;
            }
            in_.Skip(n + 1);
            // CR LF ends the line as LF does.
            if (length > 0 && length <= kLineLength && line.text[line.used - 1] == '\r')
                line.text[--line.used] = ' ';
            return true;
        }
        return length > 0;
    }

private:
    ByteSource& in_;
};

// The report level is 0 while a text scan runs and restored afterwards.
class QuietReports {
public:
    QuietReports() : level_(gErrorState.level) { gErrorState.level = kReportNone; }
    ~QuietReports() { gErrorState.level = level_; }
    QuietReports(const QuietReports&) = delete;
    QuietReports& operator=(const QuietReports&) = delete;

private:
    int level_;
};

// The conversions record their errors in ErrorState.lastCode; these tell
// whether the one conversion at hand succeeded, leaving the code of a failed
// one recorded and an earlier one in place after a success.
template <class Convert>
bool Converted(Convert convert)
{
    const int before = gErrorState.lastCode;
    gErrorState.lastCode = 0;
    convert();
    const bool ok = gErrorState.lastCode == 0;
    if (ok)
        gErrorState.lastCode = before;
    return ok;
}

bool NextInteger(std::span<char> text, int& v)
{
    return Converted([&] { INextInteger(text, v); });
}

// ---------------------------------------------------------------------------
// The header tests

// Test 5: after any number of 999 pairs (group code, value), group code 0
// with the value "SECTION". Stops at the first other group code and at the
// end of the file.
bool DxfAfterComments(ByteSource& in)
{
    QuietReports quiet;
    if (!in.Rewind())
        return false;
    TextLines lines(in);
    Line code, value;
    while (lines.Next(code) && lines.Next(value)) {
        int group = -1;
        if (!NextInteger(code.Rest(), group))
            return false;
        if (group == 999)
            continue;
        if (group != 0)
            return false;
        int first = 0, last = 0;
        const std::string_view text = value.View();
        YYTokenBounds(text, first, last);
        return first > 0 && text.substr(first - 1, last - first + 1) == "SECTION" &&
               YYStringStart(text.substr(last)) == 0;
    }
    return false;
}

bool LineEndAfter(const Header& h, std::string_view s)
{
    return h.AtFirst(std::string(s) + "\r") || h.AtFirst(std::string(s) + "\n");
}

// The kind by the header H of the file IN (which test 5 reads on).
int HeaderKind(const Header& h, ByteSource& in)
{
    if (h.AtFirst("IN"))
        return kImageFileHpgl;
    if (h.AtFirst(std::string{kEsc} + "%0B"))
        return kImageFileHpgl2;
    if (h.AtFirst("%!PS"))
        return kImageFilePostScript;
    if (LineEndAfter(h, "0")) {
        const Header within(h.bytes.first(std::min<std::size_t>(h.bytes.size(), 20)));
        if (within.Contains("SECTION"))
            return kImageFileDxf;
    }
    if (LineEndAfter(h, "999") && DxfAfterComments(in))
        return kImageFileDxf;
    if ((h.Contains("<?xml ") || h.Contains("<?XML ")) &&
        (h.Contains("<!doctype svg") || h.Contains("<!DOCTYPE svg")))
        return kImageFileSvg;
    if (h.Byte(0) == 10 && h.Byte(2) == 1)
        return kImageFilePcx;
    std::uint32_t v = 0, size = 0;
    if (h.AtStart("BM") && h.U32(6, v) && v == 0 && h.U32(14, size) && size != 12)
        return kImageFileBmp;
    if (h.AtStart(std::string_view(reinterpret_cast<const char*>(kPlainMetafileKey), 6)) ||
        (h.U32(0, v) && v == kPlaceableKey) || (h.U32(40, v) && v == kEnhancedSignature))
        return kImageFileMetafile;
    if (h.Byte(0) == 0 && h.Byte(1) >= 16 && h.Byte(2) >= 0 && h.Byte(2) < 32)
        return kImageFileCgm;
    if (h.Byte(0) == 1 && h.Byte(4) == 1 && h.Byte(6) == 8 && h.Byte(8) == 'D' && h.Byte(13) == 12)
        return kImageFilePic;
    if (h.AtStart("Draw"))
        return kImageFileDraw;
    if (h.AtStart(std::string{kEsc} + "[?38h"))
        return kImageFileTektronix;
    if (h.AtStart(std::string{kEsc} + "E") || h.AtStart(std::string{kEsc} + "&a"))
        return kImageFilePcl;
    if (h.AtStart(std::string{kEsc} + "@"))
        return kImageFileEscpReset;
    if (h.AtStart(std::string{kEsc} + "U\x01"))
        return kImageFileEscpUnidirectional;
    if (h.AtStart(std::string_view(reinterpret_cast<const char*>(kPngFileSignature), 8)))
        return kImageFilePng;
    return kImageFileUnknown;
}

// ---------------------------------------------------------------------------
// The information words; W[0] is the kind, W[1] to W[5] start at -1.

using Words = std::array<int, kImageFileInfoWords>;

void BmpWords(const Header& h, Words& w)
{
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0;
    if (h.I32(18, width))
        w[1] = Word(width);
    if (h.I32(22, height))
        w[2] = Word(height < 0 ? -height : height); // a top-down picture: its rows count as they are read
    if (h.U16(28, bits)) {
        w[5] = Word(bits);
        w[3] = bits == 32 ? 16777216 : bits > 32 ? 0 : PowerOfTwo(bits);
    }
    if (h.U32(30, compression))
        w[4] = compression != 0 && compression != 3 ? 1 : 0;
}

void PcxWords(const Header& h, Words& w)
{
    std::uint32_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    if (h.U16(4, xmin) && h.U16(8, xmax))
        w[1] = Word(std::int64_t(xmax) - xmin + 1);
    if (h.U16(6, ymin) && h.U16(10, ymax))
        w[2] = Word(std::int64_t(ymax) - ymin + 1);
    if (h.Byte(3) >= 0 && h.Byte(65) >= 0) {
        const std::int64_t bits = std::int64_t(h.Byte(3)) * h.Byte(65);
        w[5] = Word(bits);
        w[3] = bits >= 32 ? 0 : PowerOfTwo(bits);
    }
    w[4] = h.Byte(1);
}

// (HIGH - LOW + 1) x 72 / PER, or -1 when PER is 0.
int Points(std::int64_t low, std::int64_t high, std::int64_t per)
{
    return per == 0 ? -1 : Word((high - low + 1) * 72 / per);
}

void MetafileWords(const Header& h, Words& w)
{
    std::uint32_t key = 0;
    if (h.U32(0, key) && key == kPlaceableKey) {
        w[3] = 1;
        std::uint32_t left = 0, top = 0, right = 0, bottom = 0, perInch = 0;
        if (h.U16(14, perInch)) {
            if (h.U16(6, left) && h.U16(10, right))
                w[1] = Points(left, right, perInch);
            if (h.U16(8, top) && h.U16(12, bottom))
                w[2] = Points(top, bottom, perInch);
        }
    } else if (std::uint32_t s = 0; h.U32(40, s) && s == kEnhancedSignature) {
        w[3] = 2;
        std::int64_t left = 0, top = 0, right = 0, bottom = 0;
        if (h.I32(24, left) && h.I32(32, right))
            w[1] = Points(left, right, 2540);
        if (h.I32(28, top) && h.I32(36, bottom))
            w[2] = Points(top, bottom, 2540);
    } else {
        w[3] = 0;
    }
}

// Units per inch and pens of the plotter models 1 to 10.
constexpr int kPlotterUnits[10] = {1016, 1021, 1021, 1016, 1016, 1016, 1016, 1016, 1016, 1016};
constexpr int kPlotterPens[10] = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
// Colours of the HP-GL/2 device kinds 1 to 5.
constexpr int kDeviceColours[5] = {2, 256, 2, 256, 256};

// The command of LINE: the two characters at its first character, and the
// line up to and including them blanked. False for a blank line.
bool Command(Line& line, std::array<char, 2>& command, std::size_t& after)
{
    std::size_t a = line.from;
    while (a < line.used && (line.text[a] == ' ' || line.text[a] == '\0'))
        ++a;
    if (a >= line.used)
        return false;
    command = {line.text[a], line.At(a + 1)};
    after = std::min<std::size_t>(a + 2, kLineLength);
    line.BlankTo(after);
    return true;
}

bool Is(const std::array<char, 2>& command, const char (&name)[3])
{
    return command[0] == name[0] && command[1] == name[1];
}

// The line up to and including its first ";" blanked; false when it holds none.
bool PastSemicolon(Line& line)
{
    const std::size_t semicolon = line.View().find(';', line.from);
    if (semicolon == std::string_view::npos)
        return false;
    line.BlankTo(semicolon + 1);
    return true;
}

// The plot corners of "IP": p1x, p1y, p2x, p2y.
struct Corners {
    std::int64_t extentX = 0, extentY = 0;
};
Corners ReadCorners(Line& line)
{
    int p[4] = {};
    for (int& v : p)
        NextInteger(line.Rest(), v);
    return Corners{std::int64_t(p[2]) - p[0] + 1, std::int64_t(p[3]) - p[1] + 1};
}

// The scan of an HP-GL (HPGL2 false) or HP-GL/2 file. KIND is the plotter
// model or the device kind; the extents are in plotter units.
struct PlotterScan {
    bool haveExtent = false, haveKind = false;
    Corners extent;
    int kind = -1;
};

PlotterScan ScanPlotter(ByteSource& in, bool hpgl2)
{
    PlotterScan s;
    TextLines lines(in);
    Line line;
    std::array<char, 2> command{};
    while (!(s.haveExtent && s.haveKind) && lines.Next(line)) {
        for (;;) {
            std::size_t after = 0;
            if (!Command(line, command, after))
                break;
            if (Is(command, "SC")) {
                int a = 0, b = 0;
                NextInteger(line.Rest(), a);
                NextInteger(line.Rest(), b);
                if (a == -13) {
                    s.kind = hpgl2 ? Word(std::int64_t(b) - 10) : b;
                    s.haveKind = true;
                }
                break;
            }
            if (Is(command, "IP")) {
                s.extent = ReadCorners(line);
                s.haveExtent = true;
                break;
            }
            if (hpgl2 && Is(command, "CO")) {
                if (line.At(after) != ':') {
                    const std::string_view text = line.View();
                    const std::size_t open = text.find('"', line.from);
                    const std::size_t close = open == std::string_view::npos ? open : text.find('"', open + 1);
                    if (close != std::string_view::npos) {
                        Line quoted;
                        std::copy(text.begin() + static_cast<std::ptrdiff_t>(open + 1),
                                  text.begin() + static_cast<std::ptrdiff_t>(close), quoted.text.begin());
                        quoted.used = close - open - 1;
                        int a = 0, b = 0;
                        NextInteger(quoted.Rest(), a);
                        NextInteger(quoted.Rest(), b);
                        if (a == 13) {
                            s.kind = b;
                            s.haveKind = true;
                        }
                    }
                }
                break;
            }
            if (!PastSemicolon(line))
                break;
        }
    }
    return s;
}

// The page scan over the file IN from its start; its errors are reported
// under its own name, as the scanner over the named file reports them.
int PageCount(ByteSource& in)
{
    int pages = 1;
    in.Rewind();
    YYCNTHPG(in, pages);
    return pages;
}

void HpglWords(ByteSource& in, int count, Words& w)
{
    const PlotterScan s = ScanPlotter(in, false);
    if (s.haveKind) {
        w[4] = s.kind;
        if (s.kind >= 1 && s.kind <= 10) {
            const int m = s.kind - 1;
            w[3] = kPlotterPens[m];
            if (s.haveExtent) {
                w[1] = Word(s.extent.extentX * 72 / kPlotterUnits[m]);
                w[2] = Word(s.extent.extentY * 72 / kPlotterUnits[m]);
            }
        }
    }
    if (count >= 6)
        w[5] = PageCount(in);
}

void Hpgl2Words(ByteSource& in, int count, Words& w)
{
    const PlotterScan s = ScanPlotter(in, true);
    if (s.haveExtent) {
        w[1] = Word(s.extent.extentX * 72 / 1016);
        w[2] = Word(s.extent.extentY * 72 / 1016);
    }
    if (s.haveKind) {
        w[4] = s.kind;
        if (s.kind >= 1 && s.kind <= 5)
            w[3] = kDeviceColours[s.kind - 1];
    }
    if (count >= 6)
        w[5] = PageCount(in);
}

void CgmWords(ByteSource& in, Words& w)
{
    int pictures = 1;
    float ratio = 1.0f;
    YYINFOCGM(in, pictures, ratio);
    w[3] = pictures;
    w[1] = 1000;
    // 1000 / ratio truncated toward zero; a ratio of 0 or not a number, or a
    // height beyond the integer range, gives -1.
    if (std::isfinite(ratio) && ratio != 0.0f)
        w[2] = TruncateToIntOr(1000.0 / static_cast<double>(ratio), -1);
}

void PicWords(ByteSource& in, int count, Words& w)
{
    w[1] = 3201;
    w[2] = 2312;
    if (count >= 4) {
        int pictures = 1;
        YYCNTPIC(in, pictures);
        w[3] = pictures;
    }
}

void DrawWords(const Header& h, Words& w)
{
    std::int64_t width = 0, height = 0;
    if (h.I32(32, width))
        w[1] = Word(width / 640);
    if (h.I32(36, height))
        w[2] = Word(height / 640);
}

void PostScriptWords(ByteSource& in, Words& w)
{
    TextLines lines(in);
    Line line;
    if (!lines.Next(line) || !lines.Next(line))
        return;
    const int p = YYStringStart(line.View());
    constexpr std::string_view kBox = "%%BoundingBox:";
    if (p == 0 || line.View().substr(static_cast<std::size_t>(p - 1)).substr(0, kBox.size()) != kBox) {
        w[3] = 0;
        return;
    }
    line.BlankTo(static_cast<std::size_t>(p - 1) + kBox.size());
    int v[4] = {};
    bool all = true;
    for (int& x : v)
        all = NextInteger(line.Rest(), x) && all;
    w[3] = all ? 1 : 0;
    if (all) {
        w[1] = v[2];
        w[2] = v[3];
    }
}

void PclWords(const Header& h, Words& w)
{
    w[3] = h.Contains("s3u1A") || h.Contains("s-3u1A") ? 8 : 2;
    const std::ptrdiff_t at = h.Find(std::string{kEsc} + "*t");
    if (at < 0)
        return;
    std::int64_t dpi = 0;
    std::size_t i = static_cast<std::size_t>(at) + 3;
    bool any = false;
    for (; i < h.bytes.size() && h.bytes[i] >= '0' && h.bytes[i] <= '9' && dpi <= INT32_MAX; ++i) {
        dpi = dpi * 10 + (h.bytes[i] - '0');
        any = true;
    }
    if (any && dpi >= 1)
        w[4] = Word(dpi);
}

void EscpWords(const Header& h, bool reset, Words& w)
{
    w[3] = h.Contains(std::string{kEsc} + "r\x04") ? 8 : 0;
    if (!reset)
        return;
    const std::ptrdiff_t at = h.Find(std::string{kEsc} + "(U" + std::string("\x01\x00", 2));
    if (at < 0)
        return;
    const int unit = h.Byte(static_cast<std::size_t>(at) + 5);
    if (unit > 0)
        w[4] = 3600 / unit;
}

void DxfWords(ByteSource& in, Words& w)
{
    TextLines lines(in);
    Line line;
    for (int n = 1; n <= 16; ++n) {
        if (!lines.Next(line))
            return;
        if (n == 14 || n == 16) {
            float v = 0.0f;
            const bool ok = Converted([&] { INextReal(line.Rest(), v); });
            w[n == 14 ? 1 : 2] = ok ? TruncateToIntOr(v, -1) : -1;
        }
    }
}

// The number between ATTRIBUTE (e.g. `width="`) and the next double quote
// of LINE, or -1.
int SvgAttribute(std::string_view line, std::string_view attribute)
{
    const std::size_t at = line.find(attribute);
    if (at == std::string_view::npos)
        return -1;
    const std::size_t from = at + attribute.size();
    const std::size_t to = line.find('"', from);
    if (to == std::string_view::npos)
        return -1;
    float v = 0.0f;
    if (!Converted([&] { IStringToReal(line.substr(from, to - from), v); }))
        return -1;
    return TruncateToIntOr(v, -1);
}

void SvgWords(ByteSource& in, Words& w)
{
    TextLines lines(in);
    Line line;
    if (!lines.Next(line))
        return;
    while (lines.Next(line)) {
        YYLowerCase(std::span<char>(line.text.data(), line.used));
        const std::string_view text = line.ViewWithBlank();
        if (text.find("<svg ") == std::string_view::npos)
            continue;
        w[1] = SvgAttribute(text, "width=\"");
        w[2] = SvgAttribute(text, "height=\"");
        return;
    }
}

void PngWords(const Header& h, Words& w)
{
    std::uint32_t width = 0, height = 0;
    if (h.U32BE(16, width))
        w[1] = Word(width);
    if (h.U32BE(20, height))
        w[2] = Word(height);
    const int type = h.Byte(25);
    if (type == 2 || type == 6) {
        w[3] = 16777216;
        w[5] = 24;
    } else if (type == 3 && h.Byte(24) >= 0) {
        w[5] = h.Byte(24);
        w[3] = PowerOfTwo(h.Byte(24));
    }
    w[4] = h.Byte(28);
}

// Up to the first 128 bytes of IN into BUFFER; their count.
std::size_t HeaderRead(ByteSource& in, std::array<std::uint8_t, kImageFileHeaderBytes>& buffer)
{
    std::size_t n = 0;
    for (std::span<const std::uint8_t> block = in.Peek(); n < buffer.size() && !block.empty(); block = in.Peek()) {
        const std::size_t k = std::min(block.size(), buffer.size() - n);
        std::memcpy(buffer.data() + n, block.data(), k);
        in.Skip(k);
        n += k;
    }
    return n;
}

// The kind of the file IN from its start: -1 when fewer than 4 bytes can be
// read. HEADER := its first (up to 128) bytes, kept in BUFFER.
int KindOf(ByteSource& in, std::array<std::uint8_t, kImageFileHeaderBytes>& buffer, Bytes& header)
{
    const std::size_t n = HeaderRead(in, buffer);
    header = Bytes(buffer.data(), n);
    if (n < 4 || in.readError != 0)
        return kImageFileMissing;
    return HeaderKind(Header(header), in);
}

// The words of the file IN, read from its start: the kind, and with COUNT 2
// or more the information words; every scan goes back to the start of the
// file. A failed read during a text scan leaves the words it fills -1.
Words InfoWords(ByteSource& in, int count)
{
    Words w;
    w.fill(-1);
    std::array<std::uint8_t, kImageFileHeaderBytes> buffer;
    Bytes header;
    w[0] = KindOf(in, buffer, header);
    if (count < 2 || w[0] <= 0)
        return w;
    const Header h(header);
    if (w[0] == kImageFileHpgl || w[0] == kImageFileHpgl2 || w[0] == kImageFilePostScript ||
        w[0] == kImageFileDxf || w[0] == kImageFileSvg) {
        QuietReports quiet;
        if (!in.Rewind())
            return w;
        switch (w[0]) {
        case kImageFileHpgl: HpglWords(in, count, w); break;
        case kImageFileHpgl2: Hpgl2Words(in, count, w); break;
        case kImageFilePostScript: PostScriptWords(in, w); break;
        case kImageFileDxf: DxfWords(in, w); break;
        default: SvgWords(in, w); break;
        }
        if (in.readError != 0)
            std::fill(w.begin() + 1, w.end(), -1);
        return w;
    }
    if (w[0] == kImageFileCgm || w[0] == kImageFilePic)
        in.Rewind(); // a failure is the scanner's read error
    switch (w[0]) {
    case kImageFileBmp: BmpWords(h, w); break;
    case kImageFilePcx: PcxWords(h, w); break;
    case kImageFileMetafile: MetafileWords(h, w); break;
    case kImageFileCgm: CgmWords(in, w); break;
    case kImageFilePic: PicWords(in, count, w); break;
    case kImageFileDraw: DrawWords(h, w); break;
    case kImageFilePcl: PclWords(h, w); break;
    case kImageFileEscpReset: EscpWords(h, true, w); break;
    case kImageFileEscpUnidirectional: EscpWords(h, false, w); break;
    case kImageFilePng: PngWords(h, w); break;
    default: break; // Tektronix: the kind only
    }
    return w;
}

void Store(const Words& w, std::span<int> record, int count)
{
    const std::size_t n = std::min<std::size_t>(
        {record.size(), static_cast<std::size_t>(std::clamp(count, 1, kImageFileInfoWords))});
    std::copy_n(w.begin(), n, record.begin());
}

} // namespace

bool ImageFileIsMissing(int osError)
{
    return osError == kWindowsFileNotFound || osError == kWindowsPathNotFound || osError == kWindowsInvalidName;
}

int ImageFileKindOf(std::span<const std::uint8_t> file)
{
    SpanSource in(file);
    std::array<std::uint8_t, kImageFileHeaderBytes> buffer;
    Bytes header;
    return KindOf(in, buffer, header);
}

void ImageFileInfoOf(std::span<const std::uint8_t> file, std::span<int> record, int count)
{
    SpanSource in(file);
    Store(InfoWords(in, count), record, count);
}

void YYImageFileInfo(std::string_view name, std::span<int> record, int count)
{
    int err = 0;
    const int handle = ByteFileOpen(name, err);
    if (handle == -1) {
        if (err != 0 && !ImageFileIsMissing(err)) {
            gErrorState.osError = err;
            gErrorState.osErrorKind = 2;
            YYErrorReport(kErrorFileOpen, "IFileOpen");
        }
        Words w;
        w.fill(-1);
        Store(w, record, count);
        return;
    }
    FileSource in(handle);
    const Words w = InfoWords(in, count);
    OsFileClose(handle);
    Store(w, record, count);
}
