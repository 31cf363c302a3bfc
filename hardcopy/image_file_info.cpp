// File kind detection over a file's bytes: the seventeen header tests in
// their order, the information words of every kind, the text scans, and the
// wrapper that loads a file by name.
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
#include "hardcopy/image_reader.h"
#include "hardcopy/plot_file_scanners.h"

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr char kEsc = 27;
constexpr int kLineLength = 128;
using Line = std::array<char, kLineLength>;

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

class TextLines {
public:
    explicit TextLines(Bytes file) : file_(file) {}

    // The next line, blank-padded or cut to 128 characters; false at the end
    // of the file.
    bool Next(Line& line)
    {
        if (at_ >= file_.size())
            return false;
        std::size_t end = at_;
        while (end < file_.size() && file_[end] != '\n')
            ++end;
        std::size_t stop = end;
        if (stop < file_.size() && stop > at_ && file_[stop - 1] == '\r')
            --stop; // CR LF ends the line as LF does
        line.fill(' ');
        const std::size_t n = std::min<std::size_t>(stop - at_, kLineLength);
        std::memcpy(line.data(), file_.data() + at_, n);
        at_ = end < file_.size() ? end + 1 : end;
        return true;
    }

private:
    Bytes file_;
    std::size_t at_ = 0;
};

std::string_view View(const Line& line)
{
    return std::string_view(line.data(), line.size());
}

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
bool DxfAfterComments(Bytes file)
{
    QuietReports quiet;
    TextLines lines(file);
    Line code, value;
    while (lines.Next(code) && lines.Next(value)) {
        int group = -1;
        if (!NextInteger(code, group))
            return false;
        if (group == 999)
            continue;
        if (group != 0)
            return false;
        int first = 0, last = 0;
        YYTokenBounds(View(value), first, last);
        return first > 0 && View(value).substr(first - 1, last - first + 1) == "SECTION" &&
               YYStringStart(View(value).substr(last)) == 0;
    }
    return false;
}

bool LineEndAfter(const Header& h, std::string_view s)
{
    return h.AtFirst(std::string(s) + "\r") || h.AtFirst(std::string(s) + "\n");
}

int HeaderKind(Bytes file)
{
    const Header h(file);
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
    if (LineEndAfter(h, "999") && DxfAfterComments(file))
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
bool Command(Line& line, std::string& command, int& after)
{
    const int p = YYStringStart(View(line));
    if (p == 0)
        return false;
    const int a = p - 1;
    command.assign(1, line[static_cast<std::size_t>(a)]);
    command += a + 1 < kLineLength ? line[static_cast<std::size_t>(a + 1)] : ' ';
    after = std::min(a + 2, kLineLength);
    std::fill(line.begin(), line.begin() + after, ' ');
    return true;
}

// The line up to and including its first ";" blanked; false when it holds none.
bool PastSemicolon(Line& line)
{
    const auto semicolon = std::find(line.begin(), line.end(), ';');
    if (semicolon == line.end())
        return false;
    std::fill(line.begin(), semicolon + 1, ' ');
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
        NextInteger(line, v);
    return Corners{std::int64_t(p[2]) - p[0] + 1, std::int64_t(p[3]) - p[1] + 1};
}

// The scan of an HP-GL (HPGL2 false) or HP-GL/2 file. KIND is the plotter
// model or the device kind; the extents are in plotter units.
struct PlotterScan {
    bool haveExtent = false, haveKind = false;
    Corners extent;
    int kind = -1;
};

PlotterScan ScanPlotter(Bytes file, bool hpgl2)
{
    PlotterScan s;
    TextLines lines(file);
    Line line;
    std::string command;
    while (!(s.haveExtent && s.haveKind) && lines.Next(line)) {
        for (;;) {
            int after = 0;
            if (!Command(line, command, after))
                break;
            if (command == "SC") {
                int a = 0, b = 0;
                NextInteger(line, a);
                NextInteger(line, b);
                if (a == -13) {
                    s.kind = hpgl2 ? Word(std::int64_t(b) - 10) : b;
                    s.haveKind = true;
                }
                break;
            }
            if (command == "IP") {
                s.extent = ReadCorners(line);
                s.haveExtent = true;
                break;
            }
            if (hpgl2 && command == "CO") {
                const bool titled = after < kLineLength && line[static_cast<std::size_t>(after)] == ':';
                if (!titled) {
                    const auto open = std::find(line.begin(), line.end(), '"');
                    const auto close = open == line.end() ? open : std::find(open + 1, line.end(), '"');
                    if (close != line.end()) {
                        Line quoted;
                        quoted.fill(' ');
                        std::copy(open + 1, close, quoted.begin());
                        int a = 0, b = 0;
                        NextInteger(quoted, a);
                        NextInteger(quoted, b);
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

// The scanners over the file's bytes; an error of theirs is reported under
// the scanner's own name, as the scanner over the named file reports it.
int PageCount(Bytes file)
{
    int pages = 1;
    if (const int rc = HpglPageCount(file, pages); rc != kErrorNone)
        YYErrorReport(rc, "YYCNTHPG");
    return pages;
}

void HpglWords(Bytes file, int count, Words& w)
{
    const PlotterScan s = ScanPlotter(file, false);
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
        w[5] = PageCount(file);
}

void Hpgl2Words(Bytes file, int count, Words& w)
{
    const PlotterScan s = ScanPlotter(file, true);
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
        w[5] = PageCount(file);
}

void CgmWords(Bytes file, Words& w)
{
    int pictures = 1;
    float ratio = 1.0f;
    if (const int rc = CgmPictureInfo(file, pictures, ratio); rc != kErrorNone)
        YYErrorReport(rc, "YYINFOCGM");
    w[3] = pictures;
    w[1] = 1000;
    // 1000 / ratio truncated toward zero; a ratio of 0 or not a number, or a
    // height beyond the integer range, gives -1.
    if (std::isfinite(ratio) && ratio != 0.0f)
        w[2] = TruncateToIntOr(1000.0 / static_cast<double>(ratio), -1);
}

void PicWords(Bytes file, int count, Words& w)
{
    w[1] = 3201;
    w[2] = 2312;
    if (count >= 4) {
        int pictures = 1;
        if (const int rc = PicPictureCount(file, pictures); rc != kErrorNone) {
            YYErrorReport(rc, "YYCNTPIC");
            gErrorState.osError = 0;
            gErrorState.osErrorKind = 2;
        }
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

void PostScriptWords(Bytes file, Words& w)
{
    TextLines lines(file);
    Line line;
    if (!lines.Next(line) || !lines.Next(line))
        return;
    const int p = YYStringStart(View(line));
    constexpr std::string_view kBox = "%%BoundingBox:";
    if (p == 0 || View(line).substr(static_cast<std::size_t>(p - 1)).substr(0, kBox.size()) != kBox) {
        w[3] = 0;
        return;
    }
    std::fill(line.begin(), line.begin() + (p - 1) + static_cast<std::ptrdiff_t>(kBox.size()), ' ');
    int v[4] = {};
    bool all = true;
    for (int& x : v)
        all = NextInteger(line, x) && all;
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

void DxfWords(Bytes file, Words& w)
{
    TextLines lines(file);
    Line line;
    for (int n = 1; n <= 16; ++n) {
        if (!lines.Next(line))
            return;
        if (n == 14 || n == 16) {
            float v = 0.0f;
            const bool ok = Converted([&] { INextReal(line, v); });
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

void SvgWords(Bytes file, Words& w)
{
    TextLines lines(file);
    Line line;
    if (!lines.Next(line))
        return;
    while (lines.Next(line)) {
        YYLowerCase(line);
        if (View(line).find("<svg ") == std::string_view::npos)
            continue;
        w[1] = SvgAttribute(View(line), "width=\"");
        w[2] = SvgAttribute(View(line), "height=\"");
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

Words InfoWords(Bytes file, int count)
{
    Words w;
    w.fill(-1);
    w[0] = ImageFileKindOf(file);
    if (count < 2 || w[0] <= 0)
        return w;
    const Header h(file);
    if (w[0] == kImageFileHpgl || w[0] == kImageFileHpgl2 || w[0] == kImageFilePostScript ||
        w[0] == kImageFileDxf || w[0] == kImageFileSvg) {
        QuietReports quiet;
        switch (w[0]) {
        case kImageFileHpgl: HpglWords(file, count, w); break;
        case kImageFileHpgl2: Hpgl2Words(file, count, w); break;
        case kImageFilePostScript: PostScriptWords(file, w); break;
        case kImageFileDxf: DxfWords(file, w); break;
        default: SvgWords(file, w); break;
        }
        return w;
    }
    switch (w[0]) {
    case kImageFileBmp: BmpWords(h, w); break;
    case kImageFilePcx: PcxWords(h, w); break;
    case kImageFileMetafile: MetafileWords(h, w); break;
    case kImageFileCgm: CgmWords(file, w); break;
    case kImageFilePic: PicWords(file, count, w); break;
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

int ImageFileKindOf(std::span<const std::uint8_t> file)
{
    if (file.size() < 4)
        return kImageFileMissing;
    return HeaderKind(file);
}

void ImageFileInfoOf(std::span<const std::uint8_t> file, std::span<int> record, int count)
{
    Store(InfoWords(file, count), record, count);
}

void YYImageFileInfo(std::string_view name, std::span<int> record, int count)
{
    std::vector<std::uint8_t> file;
    int osError = 0;
    const int rc = ImageFileLoad(name, file, osError);
    if (rc != kErrorNone) {
        if (rc == kErrorFileOpen) {
            gErrorState.osError = osError;
            gErrorState.osErrorKind = 2;
            YYErrorReport(kErrorFileOpen, "IFileOpen");
        }
        Words w;
        w.fill(-1);
        Store(w, record, count);
        return;
    }
    ImageFileInfoOf(file, record, count);
}
