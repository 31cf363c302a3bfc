// Plot file scanners: PIC pictures, CGM pictures and drawing-space ratio,
// HP-GL pages. One scanning body per format reads through a ByteSource; the
// public routines feed it from the file (read in blocks through the
// operating-system file wrappers, so that only this routine's name appears in
// an error report), the byte-buffer forms from memory. No Win32 here.
#include "hardcopy/plot_file_scanners.h"

#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "core/os_services.h"
#include "hardcopy/byte_source.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- PIC -----------------------------------------------------------------------

constexpr int kPicHeaderBytes = 17;

} // namespace

int PicPictureCount(ByteSource& in, int& count)
{
    count = 0;
    int rc = kErrorNone;
    if (!in.Take(nullptr, kPicHeaderBytes))
        rc = kErrorFileReadWrite;
    while (rc == kErrorNone) {
        const int op = in.Get();
        if (op < 0)
            break;
        bool whole = true;
        if (op == 0x30 || op == 0xE0) {
            const int b = in.Get();
            whole = b >= 0 && in.Take(nullptr, 4 * std::int64_t(b) + 4);
        } else if (op >= 0x60 && op <= 0x6F) {
            if (count < INT_MAX)
                ++count;
        } else if (op == 0xA0 || op == 0xA2 || op == 0xAC) {
            whole = in.Take(nullptr, 4);
        } else if (op == 0xA7) {
            whole = in.Take(nullptr, 1);
        } else if (op == 0xA8) {
            // One byte, then a text ended by a 0 byte.
            whole = in.Get() >= 0;
            int c = 1;
            while (whole && c != 0) {
                c = in.Get();
                whole = c >= 0;
            }
        }
        if (!whole)
            rc = kErrorFileReadWrite;
    }
    if (in.readError != 0)
        rc = kErrorFileReadWrite;
    count = std::max(count, 1);
    return rc;
}

namespace {

// ---- CGM -----------------------------------------------------------------------

// Bit patterns of single-precision reals: exponent all ones is an infinity or
// a NaN, the quiet bit set makes a NaN quiet.
constexpr std::uint32_t kFloatExponent = 0x7F800000u;
constexpr std::uint32_t kFloatMantissa = 0x007FFFFFu;
constexpr std::uint32_t kFloatQuiet = 0x00400000u;

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// What the element loop keeps between elements.
struct CgmScanState {
    int integerPrecision = 16;
    int vdcIntegerPrecision = 16;
    // A precision element named a precision that cannot be read (8 or 24
    // bits, or garbage): values of that kind after it cannot be decoded.
    bool integerPrecisionUnknown = false;
    bool vdcIntegerPrecisionUnknown = false;
    int vdcType = 0;
    bool maximumFound = false;
    float maximumRatio = 1.0f;
    bool extentFound = false;
    float extentRatio = 1.0f;
};

bool IsDecoded(int cls, int id)
{
    return (cls == 1 && (id == 3 || id == 4 || id == 17)) || (cls == 2 && id == 6) || (cls == 3 && id == 1);
}

// What a precision list says: nothing (too short: the element is unused), a
// precision the scanner cannot read (8 or 24 bits, garbage, or a list in an
// integer precision it cannot read), or PRECISION.
enum class PrecisionList { kUnused, kUnreadable, kRead };

PrecisionList PrecisionRead(const CgmScanState& s, std::span<const std::uint8_t> list, int& precision)
{
    if (s.integerPrecisionUnknown)
        return PrecisionList::kUnreadable;
    if (list.size() < static_cast<std::size_t>(s.integerPrecision / 8))
        return PrecisionList::kUnused;
    const int v = YYCgmInteger(list, 1, s.integerPrecision);
    if (v != 16 && v != 32)
        return PrecisionList::kUnreadable;
    precision = v;
    return PrecisionList::kRead;
}

// RATIO := (x2 - x1) / (y2 - y1) of the four extent values in LIST; false
// when the list is too short, the values cannot be decoded or are not
// finite, or the ratio is 0, infinite or undefined.
bool ExtentRatio(const CgmScanState& s, std::span<const std::uint8_t> list, float& ratio)
{
    std::array<double, 4> v{};
    if (s.vdcType == 1) {
        if (list.size() < 16)
            return false;
        for (int k = 0; k < 4; ++k) {
            // Classified by its bits: a NaN never reaches the arithmetic.
            if ((BigEndian32(list.data() + 4 * k) & kFloatExponent) == kFloatExponent)
                return false;
            v[static_cast<std::size_t>(k)] = YYCgmReal(list, 1 + 4 * k);
        }
    } else {
        if (s.vdcIntegerPrecisionUnknown)
            return false;
        const int n = s.vdcIntegerPrecision / 8;
        if (list.size() < static_cast<std::size_t>(4 * n))
            return false;
        for (int k = 0; k < 4; ++k)
            v[static_cast<std::size_t>(k)] = YYCgmInteger(list, 1 + n * k, s.vdcIntegerPrecision);
    }
    // Differences of finite singles or of 32-bit integers are exact or
    // finite in double, and so is their quotient.
    const double dx = v[2] - v[0], dy = v[3] - v[1];
    if (dx == 0.0 || dy == 0.0)
        return false;
    const float r = SaturateToFloat(dx / dy);
    if (r == 0.0f || !std::isfinite(r))
        return false;
    ratio = r;
    return true;
}

void CgmDecode(CgmScanState& s, int cls, int id, std::span<const std::uint8_t> list)
{
    if (cls == 1 && id == 3) {
        if (list.size() >= 2)
            s.vdcType = YYCgmInteger(list, 1, 16);
    } else if (cls == 1 && id == 4) {
        const PrecisionList r = PrecisionRead(s, list, s.integerPrecision);
        if (r != PrecisionList::kUnused)
            s.integerPrecisionUnknown = r == PrecisionList::kUnreadable;
    } else if (cls == 3 && id == 1) {
        const PrecisionList r = PrecisionRead(s, list, s.vdcIntegerPrecision);
        if (r != PrecisionList::kUnused)
            s.vdcIntegerPrecisionUnknown = r == PrecisionList::kUnreadable;
    } else if (cls == 1 && id == 17) {
        if (ExtentRatio(s, list, s.maximumRatio))
            s.maximumFound = true;
    } else if (cls == 2 && id == 6) {
        if (ExtentRatio(s, list, s.extentRatio))
            s.extentFound = true;
    }
}

} // namespace

int CgmPictureInfo(ByteSource& in, int& count, float& ratio)
{
    CgmScanState s;
    std::array<std::uint8_t, kCgmParameterBufferSize> buffer{};
    int pictures = 0;
    int rc = kErrorNone;
    bool another = false; // the last length word announced another partition
    int cls = 0, id = 0;
    std::size_t filled = 0, listed = 0;
    for (;;) {
        std::uint8_t word[2];
        int length = 0;
        if (!another) {
            if (!in.Take(word, 2)) {
                rc = kErrorFileReadWrite;
                break;
            }
            const int head = word[0] << 8 | word[1];
            cls = head >> 12;
            id = (head >> 5) & 127;
            length = head & 31;
            filled = listed = 0;
        }
        if (another || length == 31) {
            if (!in.Take(word, 2)) {
                rc = kErrorFileReadWrite;
                break;
            }
            another = (word[0] & 0x80) != 0;
            length = (word[0] & 0x7F) << 8 | word[1];
        }
        if (cls == 1 && id == 12) {
            // METAFILE DEFAULTS REPLACEMENT: its list is a run of elements,
            // read as elements.
            another = false;
            continue;
        }
        const int padded = length + (length & 1);
        if (IsDecoded(cls, id)) {
            // The list's first bytes into the buffer, the rest skipped.
            const std::size_t into = std::min<std::size_t>(padded, buffer.size() - filled);
            const bool got = in.Take(buffer.data() + filled, static_cast<std::int64_t>(into)) &&
                             in.Take(nullptr, padded - static_cast<std::int64_t>(into));
            filled += into;
            listed += static_cast<std::size_t>(length);
            if (!got) {
                rc = kErrorFileReadWrite;
                break;
            }
        } else if (!in.Take(nullptr, padded)) {
            rc = kErrorFileReadWrite;
            break;
        }
        if (another)
            continue;
        if (cls == 0 && id == 2)
            break;
        if (cls == 0 && id == 5 && pictures < INT_MAX)
            ++pictures;
        if (IsDecoded(cls, id))
            CgmDecode(s, cls, id, std::span<const std::uint8_t>(buffer.data(), std::min(filled, listed)));
    }
    if (in.readError != 0)
        rc = kErrorFileReadWrite;
    count = std::max(pictures, 1);
    ratio = s.maximumFound ? s.maximumRatio : s.extentFound ? s.extentRatio : 1.0f;
    return rc;
}

namespace {

// ---- HP-GL ---------------------------------------------------------------------

constexpr std::size_t kHpglRecordLength = 10;

// Whether the 10-character RECORD starts a page: "SC" with -3, or "CO" (not
// "CO:") whose quoted text begins with 3. Parsing errors are reported at the
// level the caller set.
bool HpglPageRecord(std::array<char, kHpglRecordLength> record)
{
    std::size_t at = 0;
    while (at < record.size() && record[at] == ' ')
        ++at;
    if (at + 2 > record.size())
        return false;
    const char c1 = record[at], c2 = record[at + 1];
    const std::size_t rest = at + 2;
    std::fill(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(rest), ' ');
    const std::string_view text(record.data(), record.size());
    if (c1 == 'S' && c2 == 'C') {
        if (text.find_first_not_of(' ') == std::string_view::npos)
            return false;
        int value = 0;
        IStringToInteger(text, value);
        return value == -3;
    }
    if (c1 == 'C' && c2 == 'O') {
        if (rest < record.size() && record[rest] == ':')
            return false;
        const std::size_t open = text.find('"');
        if (open == std::string_view::npos)
            return false;
        // Up to the next quote, or to the record's end where the record cut it.
        std::size_t close = text.find('"', open + 1);
        if (close == std::string_view::npos)
            close = text.size();
        std::array<char, kHpglRecordLength> quoted;
        quoted.fill(' ');
        std::copy(record.begin() + static_cast<std::ptrdiff_t>(open + 1),
                  record.begin() + static_cast<std::ptrdiff_t>(close), quoted.begin());
        int value = 0;
        INextInteger(std::span<char>(quoted.data(), close - open - 1), value);
        return value == 3;
    }
    return false;
}

// Pages of the text in IN; parsing errors are only recorded (report level 0)
// and the caller's level is restored. The bytes are walked block by block;
// a line costs its own length, whatever the record length.
int HpglScan(ByteSource& in)
{
    const int level = gErrorState.level;
    YYErrorLevelSet(kReportNone);
    int pages = 0;
    std::array<char, kHpglRecordLength> record;
    record.fill(' ');
    std::size_t used = 0;
    bool any = false; // characters of the current line seen
    auto lineEnd = [&] {
        if (any && HpglPageRecord(record) && pages < INT_MAX)
            ++pages;
        std::fill_n(record.begin(), used, ' ');
        used = 0;
        any = false;
    };
    for (std::span<const std::uint8_t> block = in.Peek(); !block.empty(); block = in.Peek()) {
        for (const std::uint8_t c : block) {
            if (c == '\n' || c == '\r') {
                if (any)
                    lineEnd();
                continue;
            }
            any = true;
            if (used < record.size())
                record[used++] = static_cast<char>(c);
        }
        in.Skip(block.size());
    }
    if (any)
        lineEnd();
    YYErrorLevelSet(level);
    return std::max(pages, 1);
}

} // namespace

int HpglPageCount(ByteSource& in, int& count)
{
    count = HpglScan(in);
    return in.readError != 0 ? kErrorFileReadWrite : kErrorNone;
}

namespace {

// ---- Opening by name -------------------------------------------------------------

constexpr int kSystemCodeKindIo = 1;
constexpr int kSystemCodeKindWindows = 2;

// Runs SCAN over IN; when it returns error 2, reports it under ROUTINE with
// the system's code of kind KIND (of a failed read; 0 after a read that only
// ended early, or always with CLEARREADCODE).
template <typename Scan>
void ScanReported(ByteSource& in, std::string_view routine, int kind, bool clearReadCode, Scan scan)
{
    if (scan(in) != kErrorNone) {
        gErrorState.osError = clearReadCode ? 0 : in.readError;
        gErrorState.osErrorKind = kind;
        YYErrorReport(kErrorFileReadWrite, routine);
    }
}

// Opens NAME, runs REPORTED over its bytes and closes it. When the file does
// not open, error 1 is reported under ROUTINE with the system's code of kind
// KIND.
template <typename Reported>
void ScanFile(std::string_view name, std::string_view routine, int kind, Reported reported)
{
    int err = 0;
    const int handle = ByteFileOpen(name, err);
    if (handle == -1) {
        gErrorState.osError = err;
        gErrorState.osErrorKind = kind;
        YYErrorReport(kErrorFileOpen, routine);
        return;
    }
    FileSource in(handle);
    reported(in);
    OsFileClose(handle);
}

} // namespace

// ---- Byte-buffer forms -----------------------------------------------------------

int PicPictureCount(std::span<const std::uint8_t> file, int& count)
{
    SpanSource in(file);
    return PicPictureCount(in, count);
}

int CgmPictureInfo(std::span<const std::uint8_t> file, int& count, float& ratio)
{
    SpanSource in(file);
    return CgmPictureInfo(in, count, ratio);
}

int HpglPageCount(std::span<const std::uint8_t> file, int& count)
{
    SpanSource in(file);
    return HpglPageCount(in, count);
}

// ---- CGM values --------------------------------------------------------------------

int YYCgmInteger(std::span<const std::uint8_t> buffer, int position, int precision)
{
    const std::size_t bytes = precision == 16 ? 2 : 4;
    if (position < 1 || static_cast<std::size_t>(position - 1) + bytes > buffer.size())
        return 0;
    const std::uint8_t* p = buffer.data() + (position - 1);
    if (bytes == 2)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] << 8 | p[1]));
    return static_cast<std::int32_t>(BigEndian32(p));
}

float YYCgmReal(std::span<const std::uint8_t> buffer, int position)
{
    if (position < 1 || static_cast<std::size_t>(position - 1) + 4 > buffer.size())
        return 0.0f;
    std::uint32_t bits = BigEndian32(buffer.data() + (position - 1));
    if ((bits & kFloatExponent) == kFloatExponent && (bits & kFloatMantissa) != 0)
        bits |= kFloatQuiet;
    return std::bit_cast<float>(bits);
}

// ---- Public scanners ------------------------------------------------------------------

void YYCNTPIC(ByteSource& in, int& count)
{
    ScanReported(in, "YYCNTPIC", kSystemCodeKindWindows, true,
                 [&](ByteSource& bytes) { return PicPictureCount(bytes, count); });
}

void YYINFOCGM(ByteSource& in, int& count, float& ratio)
{
    ScanReported(in, "YYINFOCGM", kSystemCodeKindWindows, false,
                 [&](ByteSource& bytes) { return CgmPictureInfo(bytes, count, ratio); });
}

void YYCNTHPG(ByteSource& in, int& count)
{
    ScanReported(in, "YYCNTHPG", kSystemCodeKindIo, false,
                 [&](ByteSource& bytes) { return HpglPageCount(bytes, count); });
}

void YYCNTPIC(std::string_view name, int& count)
{
    ScanFile(name, "YYCNTPIC", kSystemCodeKindWindows, [&](ByteSource& in) { YYCNTPIC(in, count); });
}

void YYINFOCGM(std::string_view name, int& count, float& ratio)
{
    ScanFile(name, "YYINFOCGM", kSystemCodeKindWindows, [&](ByteSource& in) { YYINFOCGM(in, count, ratio); });
}

void YYCNTHPG(std::string_view name, int& count)
{
    ScanFile(name, "YYCNTHPG", kSystemCodeKindIo, [&](ByteSource& in) { YYCNTHPG(in, count); });
}
