// Formatted output with Fortran-style edit descriptors.
//
// The format text is parsed once into a tree of descriptors (groups carry
// their children), kept in a small per-thread cache keyed by the format text
// (a program writes with a handful of formats, line after line), then
// interpreted against the item list. Fields are formed in one reused buffer
// and put straight into the output text. Numbers are
// converted from their exact decimal expansion (std::to_chars in fixed
// notation with as many fraction digits as the binary value has), rounded to
// nearest with ties to even - the same digits std::to_chars gives for the
// same precision. Nothing here uses printf.
#include "core/fortran_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Limits that keep a hostile format from exhausting memory, time or stack.
// Every character put into a record counts against them, the blanks that
// positioning (X, TR, T) leaves before a write included; a write that passes
// one fails as a malformed format does.
constexpr int kMaxNumber = 100000;            // widths, counts, positions in a format
constexpr size_t kMaxRecord = 1000000;        // characters of one record
constexpr size_t kMaxOutput = 16u * 1000000u; // characters of one write
constexpr int kMaxScale = 1000;               // |k| of kP
constexpr int kMaxDepth = 100;                // nesting of parenthesised groups

// ---------------------------------------------------------------------------
// Parsed format

enum class Op {
    Int,     // Iw[.m]
    Fixed,   // Fw.d
    Exp,     // Ew.d[Ee]
    Sci,     // ESw.d[Ee]
    Gen,     // Gw[.d[Ee]]
    Alpha,   // A[w]
    Right,   // nX, TRn
    Left,    // TLn
    Tab,     // Tn
    Scale,   // kP
    Slash,   // [r]/
    Colon,   // :
    Literal, // 'text' or "text"
    Group,   // [r]( ... )
};

struct Node {
    Op op = Op::Literal;
    int repeat = 1;
    int w = 0;      // field width; position or count for X, TR, TL, T; k for P
    int d = 0;      // digits after the point (F, E, ES, G); minimum digits m (I)
    int e = 0;      // exponent digits (E, ES, G); 0 = not given
    bool hasW = false;
    bool hasD = false;
    std::string text;
    std::vector<Node> children;
};

bool IsDataOp(Op op)
{
    return op == Op::Int || op == Op::Fixed || op == Op::Exp || op == Op::Sci || op == Op::Gen ||
           op == Op::Alpha;
}

bool HasDataDescriptor(const std::vector<Node>& list, size_t from = 0)
{
    for (size_t i = from; i < list.size(); ++i) {
        if (IsDataOp(list[i].op))
            return true;
        if (list[i].op == Op::Group && HasDataDescriptor(list[i].children))
            return true;
    }
    return false;
}

// Recursive-descent parser over the format with blanks outside literals
// removed and letters upper-cased.
class FormatParser {
public:
    explicit FormatParser(std::string_view format)
    {
        char quote = 0;
        for (char c : format) {
            if (quote) {
                text_ += c;
                if (c == quote)
                    quote = 0; // a doubled quote reopens on the next character
            } else if (c == '\'' || c == '"') {
                quote = c;
                text_ += c;
            } else if (c != ' ' && c != '\t') {
                text_ += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
            }
        }
    }

    bool Parse(std::vector<Node>& root)
    {
        if (!Take('('))
            return false;
        if (!ParseList(root))
            return false;
        return pos_ == text_.size();
    }

private:
    std::string text_;
    size_t pos_ = 0;
    int depth_ = 0; // groups open around the item being parsed

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(size_t ahead = 0) const
    {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    bool Take(char c)
    {
        if (Peek() != c || AtEnd())
            return false;
        ++pos_;
        return true;
    }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // An unsigned number; false when none is there or it is out of range.
    bool Number(int& value)
    {
        if (!IsDigit(Peek()))
            return false;
        long long v = 0;
        while (IsDigit(Peek())) {
            v = v * 10 + (text_[pos_++] - '0');
            if (v > kMaxNumber)
                return false;
        }
        value = static_cast<int>(v);
        return true;
    }

    // Items up to and including the closing parenthesis. Commas separate
    // items and may be left out; an empty item (",," or "(,") is malformed.
    bool ParseList(std::vector<Node>& list)
    {
        bool afterComma = false;
        for (;;) {
            if (AtEnd())
                return false;
            if (Peek() == ')') {
                ++pos_;
                return !afterComma;
            }
            if (Peek() == ',') {
                if (afterComma || list.empty())
                    return false;
                ++pos_;
                afterComma = true;
                continue;
            }
            afterComma = false;
            Node node;
            if (!ParseItem(node))
                return false;
            list.push_back(std::move(node));
        }
    }

    bool ParseLiteral(Node& node)
    {
        char quote = text_[pos_++];
        node.op = Op::Literal;
        for (;;) {
            if (AtEnd())
                return false;
            char c = text_[pos_++];
            if (c == quote) {
                if (Peek() == quote && !AtEnd()) {
                    node.text += quote;
                    ++pos_;
                    continue;
                }
                return true;
            }
            node.text += c;
        }
    }

    // w.d[Ee] of F, E, ES and G (D_REQUIRED false only for G).
    bool ParseRealField(Node& node, bool dRequired, bool allowZeroWidth)
    {
        if (!Number(node.w))
            return false;
        node.hasW = true;
        if (node.w == 0 && !allowZeroWidth)
            return false;
        if (!Take('.'))
            return !dRequired;
        if (!Number(node.d))
            return false;
        node.hasD = true;
        if (node.op != Op::Fixed && Peek() == 'E' && IsDigit(Peek(1))) {
            ++pos_;
            if (!Number(node.e) || node.e == 0)
                return false;
        }
        return true;
    }

    bool ParseItem(Node& node)
    {
        // Scale factor with a sign: [+|-]kP.
        if (Peek() == '+' || Peek() == '-') {
            bool negative = text_[pos_++] == '-';
            int k = 0;
            if (!Number(k) || !Take('P') || k > kMaxScale)
                return false;
            node.op = Op::Scale;
            node.w = negative ? -k : k;
            return true;
        }
        int count = 0;
        bool hasCount = Number(count);
        if (hasCount && Peek() == 'P') {
            ++pos_;
            if (count > kMaxScale)
                return false;
            node.op = Op::Scale;
            node.w = count;
            return true;
        }
        if (hasCount && count == 0)
            return false;
        if (hasCount)
            node.repeat = count;
        if (AtEnd())
            return false;
        char c = text_[pos_++];
        switch (c) {
        case '(': {
            node.op = Op::Group;
            if (depth_ == kMaxDepth)
                return false;
            ++depth_;
            bool ok = ParseList(node.children) && !node.children.empty();
            --depth_;
            return ok;
        }
        case 'I':
            node.op = Op::Int;
            if (!Number(node.w))
                return false;
            node.hasW = true;
            if (Take('.')) {
                if (!Number(node.d) || (node.w > 0 && node.d > node.w))
                    return false;
                node.hasD = true;
            }
            return true;
        case 'F':
            node.op = Op::Fixed;
            return ParseRealField(node, true, true);
        case 'E':
            node.op = Op::Exp;
            if (Take('S'))
                node.op = Op::Sci;
            return ParseRealField(node, true, false);
        case 'G':
            node.op = Op::Gen;
            return ParseRealField(node, false, false);
        case 'A':
            node.op = Op::Alpha;
            if (IsDigit(Peek())) {
                if (!Number(node.w) || node.w == 0)
                    return false;
                node.hasW = true;
            }
            return true;
        case 'X':
            node.op = Op::Right;
            node.w = hasCount ? count : 1;
            node.repeat = 1;
            return true;
        case 'T': {
            if (hasCount)
                return false;
            node.op = Op::Tab;
            if (Take('L'))
                node.op = Op::Left;
            else if (Take('R'))
                node.op = Op::Right;
            return Number(node.w) && node.w > 0;
        }
        case '/':
            node.op = Op::Slash;
            return true;
        case ':':
            node.op = Op::Colon;
            return !hasCount;
        case '\'':
        case '"':
            --pos_;
            return !hasCount && ParseLiteral(node);
        default:
            return false;
        }
    }
};

// ---------------------------------------------------------------------------
// Decimal digits of a double

// A non-negative value as 0.DIGITS x 10^exp10; DIGITS has no leading or
// trailing zeros. Zero has no digits.
struct Decimal {
    std::string digits;
    int exp10 = 0;

    bool IsZero() const { return digits.empty(); }
    // Digit at index I of 0.DIGITS (zero outside).
    char At(long long i) const
    {
        return (i >= 0 && i < static_cast<long long>(digits.size())) ? digits[static_cast<size_t>(i)]
                                                                      : '0';
    }
};

// The exact decimal expansion of a finite non-negative double.
Decimal ExactDecimal(double value)
{
    Decimal out;
    if (value == 0.0)
        return out;
    // value = mantissa * 2^q with an odd integer mantissa; q < 0 needs exactly
    // -q fraction digits.
    int e2 = 0;
    double f = std::frexp(value, &e2);
    uint64_t mantissa = static_cast<uint64_t>(std::ldexp(f, 53));
    int q = e2 - 53;
    while (mantissa != 0 && (mantissa & 1u) == 0 && q < 0) {
        mantissa >>= 1;
        ++q;
    }
    int fraction = q < 0 ? -q : 0;
    char buffer[1600];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, fraction);
    std::string_view text(buffer, res.ec == std::errc() ? static_cast<size_t>(res.ptr - buffer) : 0);
    size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view frac = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    std::string all = std::string(whole) + std::string(frac);
    size_t lead = all.find_first_not_of('0');
    if (lead == std::string::npos)
        return out;
    out.exp10 = static_cast<int>(whole.size()) - static_cast<int>(lead);
    all.erase(0, lead);
    all.erase(all.find_last_not_of('0') + 1);
    out.digits = std::move(all);
    return out;
}

// Rounds to the place 10^-fractionDigits (nearest, ties to even).
void RoundAt(Decimal& dec, long long fractionDigits)
{
    if (dec.IsZero())
        return;
    long long keep = dec.exp10 + fractionDigits;
    long long len = static_cast<long long>(dec.digits.size());
    if (keep >= len)
        return;
    if (keep < 0) {
        dec = Decimal();
        return;
    }
    char next = dec.digits[static_cast<size_t>(keep)];
    bool up = next > '5' || (next == '5' && keep + 1 < len) ||
              (next == '5' && keep > 0 && ((dec.digits[static_cast<size_t>(keep - 1)] - '0') & 1));
    dec.digits.resize(static_cast<size_t>(keep));
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && dec.digits[static_cast<size_t>(i)] == '9') {
            dec.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++dec.digits[static_cast<size_t>(i)];
        } else {
            dec.digits.insert(dec.digits.begin(), '1');
            ++dec.exp10;
        }
    }
    size_t last = dec.digits.find_last_not_of('0');
    if (last == std::string::npos)
        dec = Decimal();
    else
        dec.digits.erase(last + 1);
}

// ---------------------------------------------------------------------------
// Fields
//
// Every field routine replaces OUT with the field's text.

void Stars(std::string& out, int w) { out.assign(static_cast<size_t>(w > 0 ? w : 1), '*'); }

// Right-justifies the body in OUT in W characters; asterisks when it does
// not fit. W = 0 means "as wide as needed".
void Justify(std::string& out, int w)
{
    if (w == 0)
        return;
    if (out.size() > static_cast<size_t>(w))
        Stars(out, w);
    else
        out.insert(0, static_cast<size_t>(w) - out.size(), ' ');
}

void IntegerField(std::string& out, int64_t value, int w, bool hasM, int m)
{
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    out.clear();
    if (value < 0)
        out += '-';
    size_t start = out.size();
    if (!(hasM && m == 0 && magnitude == 0)) {
        char buf[24];
        auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
        out.append(buf, res.ptr);
    }
    size_t digits = out.size() - start;
    if (hasM && digits < static_cast<size_t>(m))
        out.insert(start, static_cast<size_t>(m) - digits, '0');
    Justify(out, w);
}

// Infinity and NaN in a real field of width W.
void NonFiniteField(std::string& out, double value, int w)
{
    if (std::isnan(value)) {
        if (w != 0 && w < 3)
            Stars(out, w);
        else {
            out = "NaN";
            Justify(out, w);
        }
        return;
    }
    bool negative = std::signbit(value);
    out = negative ? "-" : "";
    out += (w == 0 || w >= 8 + (negative ? 1 : 0)) ? "Infinity" : "Inf";
    Justify(out, w);
}

void FixedField(std::string& out, double value, int w, int d, int scale)
{
    if (!std::isfinite(value))
        return NonFiniteField(out, value, w);
    bool negative = std::signbit(value);
    Decimal dec = ExactDecimal(std::fabs(value));
    if (!dec.IsZero())
        dec.exp10 += scale;
    RoundAt(dec, d);
    out.clear();
    if (negative)
        out += '-';
    size_t signAndInt = out.size();
    for (long long i = 0; i < dec.exp10; ++i)
        out += dec.At(i);
    bool noIntegerDigits = out.size() == signAndInt;
    out += '.';
    for (long long i = 0; i < d; ++i)
        out += dec.At(dec.exp10 + i);
    // The zero before the point is optional; it is written when it fits (and
    // always when there are no digits after the point).
    if (noIntegerDigits && (w == 0 || d == 0 || out.size() < static_cast<size_t>(w)))
        out.insert(signAndInt, 1, '0');
    Justify(out, w);
}

// The exponent part for Ew.d[Ee] and ESw.d[Ee] into EXPO (at most 24
// characters); false when it cannot be written.
bool ExponentPart(long long exponent, int e, char* expo, size_t& length)
{
    unsigned long long magnitude = static_cast<unsigned long long>(exponent < 0 ? -exponent : exponent);
    char digits[24];
    size_t n = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    char sign = exponent < 0 ? '-' : '+';
    length = 0;
    if (e > 0) {
        if (n > static_cast<size_t>(e))
            return false;
        if (static_cast<size_t>(e) + 2 > 24)
            return false; // more exponent digits than any double has: written by the caller's slow path
        expo[length++] = 'E';
        expo[length++] = sign;
        for (size_t i = n; i < static_cast<size_t>(e); ++i)
            expo[length++] = '0';
    } else if (magnitude <= 99) {
        expo[length++] = 'E';
        expo[length++] = sign;
        if (magnitude < 10)
            expo[length++] = '0';
    } else if (magnitude <= 999) {
        expo[length++] = sign;
    } else {
        return false;
    }
    for (size_t i = 0; i < n; ++i)
        expo[length++] = digits[i];
    return true;
}

// The exponent part when E asks for more digits than fit the short form.
std::string LongExponentPart(long long exponent, int e)
{
    unsigned long long magnitude = static_cast<unsigned long long>(exponent < 0 ? -exponent : exponent);
    std::string digits = std::to_string(magnitude);
    if (digits.size() > static_cast<size_t>(e))
        return {};
    return std::string("E") + (exponent < 0 ? '-' : '+') + std::string(static_cast<size_t>(e) - digits.size(), '0') +
           digits;
}

// The first SIGNIFICANT digits of a finite non-negative VALUE, correctly
// rounded (nearest, ties to even: the digits of std::to_chars), into DIGITS
// (exactly SIGNIFICANT characters, zeros when VALUE is 0), and EXP10 such
// that VALUE ~ 0.DIGITS x 10^EXP10. False when SIGNIFICANT is outside what
// the buffer takes.
constexpr int kMaxFastDigits = 760;

// "00" "01" .. "99".
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        t[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// Unsigned 128-bit integers from two 64-bit halves, with the few operations
// the digit conversion below needs. Portable C++ (the 32-bit build has no
// 128-bit integer type); exact on every build.
struct U128 {
    uint64_t hi = 0;
    uint64_t lo = 0;

    friend constexpr bool operator==(const U128&, const U128&) = default;
    friend constexpr bool operator<(const U128& a, const U128& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }
};

// A x B, exactly (in one instruction where the compiler has a 128-bit type).
constexpr U128 Multiply64(uint64_t a, uint64_t b)
{
#if defined(__SIZEOF_INT128__)
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    return {static_cast<uint64_t>(p >> 64), static_cast<uint64_t>(p)};
#else
    const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
    const uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xFFFFFFFFu)};
#endif
}

// A x B for B below 2^64 and a product below 2^128.
constexpr U128 Multiply(const U128& a, uint64_t b)
{
    U128 r = Multiply64(a.lo, b);
    r.hi += a.hi * b;
    return r;
}

// A >> S and the bits shifted out (A mod 2^S), for S in 1..127.
constexpr void ShiftRight(const U128& a, int s, U128& quotient, U128& rest)
{
    if (s >= 64) {
        quotient = {0, s == 64 ? a.hi : a.hi >> (s - 64)};
        rest = {s == 64 ? 0 : a.hi & ((uint64_t{1} << (s - 64)) - 1), a.lo};
    } else {
        quotient = {a.hi >> s, (a.lo >> s) | (a.hi << (64 - s))};
        rest = {0, a.lo & ((uint64_t{1} << s) - 1)};
    }
}

// 2^S, for S in 0..127.
constexpr U128 PowerOf2(int s) { return s >= 64 ? U128{uint64_t{1} << (s - 64), 0} : U128{0, uint64_t{1} << s}; }

// 10^0 .. 10^22, exact in 128 bits.
constexpr std::array<U128, 23> kPowersOf10 = [] {
    std::array<U128, 23> p{};
    p[0] = {0, 1};
    for (size_t i = 1; i < p.size(); ++i)
        p[i] = Multiply(p[i - 1], 10);
    return p;
}();
static_assert(kPowersOf10[22] == U128{0x21E, 0x19E0C9BAB2400000u});

// SignificantDigits for at most 18 digits of a normal VALUE by integer
// arithmetic: VALUE = M x 2^Q exactly, N = VALUE x 10^P rounded to an integer
// with the exact remainder (nearest, ties to even), for the P that gives N
// SIGNIFICANT digits. False when the product would not fit 128 bits (VALUE
// above 10^SIGNIFICANT or far below 1, or subnormal); the general path then
// takes over.
bool SignificantDigitsShort(double value, int significant, char* digits, long long& exp10)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0)
        return false;
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int q = biased - 1075;  // value = mantissa x 2^q
    const int e2 = biased - 1022; // 2^(e2-1) <= value < 2^e2
    // floor(log10(value)) is k or k + 1, k = floor((e2 - 1) x log10(2)):
    // 78913 / 2^18 is log10(2) closely enough that the shift gives that floor
    // for every exponent of a double (and the loop below corrects k anyway).
    int k = ((e2 - 1) * 78913) >> 18;
    const uint64_t low = kPowersOf10[static_cast<size_t>(significant - 1)].lo;
    const uint64_t high = kPowersOf10[static_cast<size_t>(significant)].lo;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int p = significant - 1 - k;
        if (p < 0 || p > 22 || q >= 0 || q <= -128)
            return false;
        // mantissa < 2^53 and 10^22 < 2^74: the product fits.
        const U128 x = Multiply(kPowersOf10[static_cast<size_t>(p)], mantissa);
        const int shift = -q;
        U128 quotient, rest;
        ShiftRight(x, shift, quotient, rest);
        const U128 half = PowerOf2(shift - 1);
        // Already HIGH or above (k estimated low): rounding cannot bring it
        // back, and 2^64 and above do not fit N.
        uint64_t n = quotient.lo;
        if (quotient.hi != 0 || n >= high) {
            ++k;
            continue;
        }
        if (half < rest || (rest == half && (n & 1) != 0))
            ++n;
        if (n < low) {
            --k;
            continue;
        }
        if (n >= high) {
            // Either the estimate was low or rounding carried to 10^SIGNIFICANT.
            ++k;
            continue;
        }
        // N has exactly SIGNIFICANT digits: written from the last, eight at a
        // time in 32 bits, each eight as two fours and each four as two pairs
        // (short chains of divisions by constants). One 64-bit division per
        // eight: the 32-bit build makes a call of each.
        char* end = digits + significant;
        auto pairs = [&end](uint32_t chunk, int digitCount) {
            for (; digitCount >= 2; digitCount -= 2) {
                const size_t pair = static_cast<size_t>(chunk % 100) * 2;
                chunk /= 100;
                *--end = kDigitPairs[pair + 1];
                *--end = kDigitPairs[pair];
            }
            if (digitCount == 1)
                *--end = static_cast<char>('0' + chunk);
        };
        auto eight = [&end](uint32_t chunk) {
            const uint32_t high = chunk / 10000, low = chunk - high * 10000;
            const uint32_t lowHigh = low / 100, highHigh = high / 100;
            end -= 8;
            std::memcpy(end + 6, &kDigitPairs[(low - lowHigh * 100) * 2], 2);
            std::memcpy(end + 4, &kDigitPairs[lowHigh * 2], 2);
            std::memcpy(end + 2, &kDigitPairs[(high - highHigh * 100) * 2], 2);
            std::memcpy(end, &kDigitPairs[highHigh * 2], 2);
        };
        uint64_t rest64 = n;
        int count = significant;
        for (; count > 8; count -= 8) {
            const uint64_t quotient = rest64 / 100000000;
            eight(static_cast<uint32_t>(rest64 - quotient * 100000000));
            rest64 = quotient;
        }
        pairs(static_cast<uint32_t>(rest64), count);
        exp10 = k + 1;
        return true;
    }
    return false;
}

bool SignificantDigits(double value, int significant, char* digits, long long& exp10)
{
    if (significant < 1 || significant > kMaxFastDigits)
        return false;
    if (value == 0.0) {
        std::fill_n(digits, significant, '0');
        exp10 = 0;
        return true;
    }
    if (significant <= 18 && SignificantDigitsShort(value, significant, digits, exp10))
        return true;
    char buffer[kMaxFastDigits + 16];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
    if (res.ec != std::errc())
        return false;
    // d[.ddd]e[+-]xx
    digits[0] = buffer[0];
    const char* p = buffer + 1;
    if (significant > 1) {
        std::copy_n(buffer + 2, significant - 1, digits + 1);
        p = buffer + 1 + significant;
    }
    if (p >= res.ptr || *p != 'e')
        return false;
    ++p;
    bool negative = *p == '-';
    ++p;
    long long e = 0;
    for (; p < res.ptr; ++p)
        e = e * 10 + (*p - '0');
    exp10 = (negative ? -e : e) + 1;
    return true;
}

// How an Ew.d[Ee] field (scale factor SCALE) or an ESw.d[Ee] field lays out
// its digits: those before the point, the significant ones, those after the
// point, and the zeros between the point and them. False when the scale
// factor does not suit d.
struct ExponentShape {
    int leading = 0;
    int significant = 0;
    int fraction = 0;
    int zeros = 0;
};

bool ExponentShapeOf(int d, int scale, bool scientific, ExponentShape& shape)
{
    if (!scientific && !(-d < scale && scale < d + 2))
        return false;
    shape.leading = scientific ? 1 : (scale > 0 ? scale : 0);
    shape.significant = scientific ? d + 1 : (scale > 0 ? d + 1 : d + scale);
    shape.fraction = scientific ? d : (scale > 0 ? d - scale + 1 : d + scale);
    shape.zeros = (!scientific && scale < 0) ? -scale : 0;
    return true;
}

// The field's text without its padding: sign, digits before the point, the
// point, zeros, digits after it, the exponent part. The zero before the point
// (when no digit stands there) is optional and written when it fits width W.
class ExponentBody {
public:
    ExponentBody(const ExponentShape& shape, bool negative, std::string_view exponent, int w)
        : shape_(shape), negative_(negative), exponent_(exponent)
    {
        length_ = (negative ? 1u : 0u) + static_cast<size_t>(shape.leading) + 1u + static_cast<size_t>(shape.zeros) +
                  static_cast<size_t>(shape.fraction) + exponent.size();
        zeroBeforePoint_ = shape.leading == 0 && length_ < static_cast<size_t>(w);
        if (zeroBeforePoint_)
            ++length_;
    }

    size_t Length() const { return length_; }

    // Writes the body at P; DIGIT(I) is significant digit I.
    template <class Digit>
    void Write(char* p, Digit digit) const
    {
        if (negative_)
            *p++ = '-';
        if (zeroBeforePoint_)
            *p++ = '0';
        int index = 0;
        for (int i = 0; i < shape_.leading; ++i)
            *p++ = digit(index++);
        *p++ = '.';
        p = std::fill_n(p, shape_.zeros, '0');
        for (int i = 0; i < shape_.fraction; ++i)
            *p++ = digit(index++);
        std::copy(exponent_.begin(), exponent_.end(), p);
    }

private:
    ExponentShape shape_;
    bool negative_;
    std::string_view exponent_;
    size_t length_ = 0;
    bool zeroBeforePoint_ = false;
};

// The common case of Ew.d[Ee] and ESw.d[Ee], formed into FIELD, which holds
// W (> 0) blanks: a finite value with at most 18 significant digits that the
// integer path converts, and an exponent part of the short form, in a field
// that takes them. False, FIELD as it was, when any of that does not hold;
// the general path (ExponentField) forms the field then.
bool ExponentFieldInto(char* field, double value, int w, int d, int e, int scale, bool scientific)
{
    ExponentShape shape;
    if (w <= 0 || !std::isfinite(value) || !ExponentShapeOf(d, scale, scientific, shape))
        return false;
    if (shape.significant < 1 || shape.significant > 18)
        return false;
    char digits[18];
    long long exp10 = 0;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0)
        std::fill_n(digits, shape.significant, '0');
    else if (!SignificantDigitsShort(magnitude, shape.significant, digits, exp10))
        return false;
    const long long exponent = magnitude == 0.0 ? 0 : exp10 - (scientific ? 1 : scale);
    char expo[24];
    size_t expoLength = 0;
    if (!ExponentPart(exponent, e, expo, expoLength))
        return false;
    const ExponentBody body(shape, std::signbit(value), std::string_view(expo, expoLength), w);
    if (body.Length() > static_cast<size_t>(w))
        return false;
    body.Write(field + (static_cast<size_t>(w) - body.Length()), [&digits](int i) { return digits[i]; });
    return true;
}

// Ew.d[Ee] (scientific = false, with scale factor) or ESw.d[Ee]. False when
// the scale factor does not suit d.
bool ExponentField(std::string& out, double value, int w, int d, int e, int scale, bool scientific)
{
    if (w > 0) {
        out.assign(static_cast<size_t>(w), ' ');
        if (ExponentFieldInto(out.data(), value, w, d, e, scale, scientific))
            return true;
    }
    if (!std::isfinite(value)) {
        NonFiniteField(out, value, w);
        return true;
    }
    ExponentShape shape;
    if (!ExponentShapeOf(d, scale, scientific, shape))
        return false;

    // The digits: SIGNIFICANT of them, the rounded value's, then zeros.
    char fast[kMaxFastDigits];
    long long exp10 = 0;
    const char* digits = fast;
    Decimal dec;
    if (!SignificantDigits(std::fabs(value), shape.significant, fast, exp10)) {
        dec = ExactDecimal(std::fabs(value));
        if (!dec.IsZero())
            RoundAt(dec, static_cast<long long>(shape.significant) - dec.exp10);
        digits = nullptr;
        exp10 = dec.exp10;
    }
    const bool zero = digits ? value == 0.0 : dec.IsZero();
    long long exponent = zero ? 0 : exp10 - (scientific ? 1 : scale);

    char expo[24];
    size_t expoLength = 0;
    std::string longExpo;
    if (!ExponentPart(exponent, e, expo, expoLength)) {
        if (e > 0 && static_cast<size_t>(e) + 2 > sizeof expo)
            longExpo = LongExponentPart(exponent, e);
        if (longExpo.empty()) {
            Stars(out, w);
            return true;
        }
    }
    const std::string_view exponentText = longExpo.empty() ? std::string_view(expo, expoLength) : longExpo;
    const ExponentBody body(shape, std::signbit(value), exponentText, w);
    if (w != 0 && body.Length() > static_cast<size_t>(w)) {
        Stars(out, w);
        return true;
    }
    const size_t padding = w != 0 ? static_cast<size_t>(w) - body.Length() : 0;
    out.assign(padding + body.Length(), ' ');
    body.Write(out.data() + padding, [&](int i) { return digits ? digits[i] : dec.At(i); });
    return true;
}

// Gw.d[Ee] for a real: F form with blanks in place of the exponent when the
// value rounded to d digits lies in [0.1, 10^d), else E form.
bool GeneralField(std::string& out, double value, int w, int d, int e, int scale)
{
    if (!std::isfinite(value)) {
        NonFiniteField(out, value, w);
        return true;
    }
    int blanks = e > 0 ? e + 2 : 4;
    Decimal dec = ExactDecimal(std::fabs(value));
    int fraction = -1;
    if (dec.IsZero()) {
        fraction = d - 1;
    } else {
        RoundAt(dec, static_cast<long long>(d) - dec.exp10);
        if (dec.exp10 >= 0 && dec.exp10 <= d)
            fraction = d - dec.exp10;
    }
    if (fraction < 0)
        return ExponentField(out, value, w, d, e, scale, false);
    if (w - blanks < 1) {
        Stars(out, w);
        return true;
    }
    FixedField(out, value, w - blanks, fraction, 0);
    if (out.find('*') != std::string::npos)
        Stars(out, w);
    else
        out.append(static_cast<size_t>(blanks), ' ');
    return true;
}

void TextField(std::string& out, std::string_view text, const Node& node)
{
    if (!node.hasW) {
        out.assign(text);
        return;
    }
    size_t w = static_cast<size_t>(node.w);
    if (text.size() >= w) {
        out.assign(text.substr(0, w));
        return;
    }
    out.assign(w - text.size(), ' ');
    out += text;
}

// ---------------------------------------------------------------------------
// Interpreter

// A parsed format with where its reversion starts.
struct ParsedFormat {
    std::vector<Node> root;
    size_t reversion = 0;          // the last top-level group, or the start
    bool reversionHasData = false; // reversion reaches a data descriptor
};

// The formats parsed last, per thread, keyed by their text. Only short
// formats are kept, so that a hostile one costs no more memory than a parse.
constexpr size_t kCachedFormats = 8;
constexpr size_t kMaxCachedFormatLength = 256;

struct FormatCache {
    std::array<std::string, kCachedFormats> text;
    std::array<std::shared_ptr<const ParsedFormat>, kCachedFormats> parsed;
    size_t next = 0; // the entry replaced next
};

std::shared_ptr<const ParsedFormat> Parse(std::string_view format)
{
    thread_local FormatCache cache;
    const bool cacheable = format.size() <= kMaxCachedFormatLength;
    if (cacheable)
        for (size_t i = 0; i < kCachedFormats; ++i)
            if (cache.parsed[i] && cache.text[i] == format)
                return cache.parsed[i];
    auto parsed = std::make_shared<ParsedFormat>();
    FormatParser parser(format);
    if (!parser.Parse(parsed->root))
        return nullptr;
    // Reversion goes back to the last top-level group (with its repeat
    // count), or to the start of the format when it has none.
    for (size_t i = 0; i < parsed->root.size(); ++i)
        if (parsed->root[i].op == Op::Group)
            parsed->reversion = i;
    parsed->reversionHasData = HasDataDescriptor(parsed->root, parsed->reversion);
    if (cacheable) {
        cache.text[cache.next] = std::string(format);
        cache.parsed[cache.next] = parsed;
        cache.next = (cache.next + 1) % kCachedFormats;
    }
    return parsed;
}

// Writes the records into OUT, each followed by RECORDEND; with RECORDS
// given, each record goes there instead (and OUT is only the workspace).
class Writer {
public:
    Writer(std::span<const FormatItem> items, std::string& out, std::string_view recordEnd,
           std::vector<std::string>* records)
        : items_(items), out_(out), base_(out.size()), recordEnd_(recordEnd), records_(records),
          budget_(1000000 + 64 * static_cast<long long>(items.size()))
    {
    }

    // Runs the format and its reversions; true when every item was written.
    bool Run(const ParsedFormat& format)
    {
        bool running = RunList(format.root, 0);
        while (running && next_ < items_.size()) {
            if (!format.reversionHasData) {
                fault_ = true;
                break;
            }
            EndRecord();
            running = RunList(format.root, format.reversion);
        }
        EndRecord();
        return !fault_;
    }

    // True when the write stopped at one of the limits.
    bool LimitReached() const { return limit_; }

private:
    std::span<const FormatItem> items_;
    std::string& out_;
    size_t base_;                // start of the current record in out_
    std::string_view recordEnd_;
    std::vector<std::string>* records_;
    std::string field_;          // the field being formed
    size_t position_ = 0;        // in the current record
    size_t next_ = 0;
    size_t output_ = 0;
    int scale_ = 0;
    long long steps_ = 0;
    long long budget_;
    bool fault_ = false;
    bool limit_ = false;

    void EndRecord()
    {
        if (records_) {
            records_->emplace_back(out_, base_);
            out_.resize(base_);
        } else {
            out_ += recordEnd_;
            base_ = out_.size();
        }
        position_ = 0;
    }

    bool Put(std::string_view text)
    {
        // The blanks between the record's end and the write position count
        // as written: they are put into the record with the text.
        const size_t length = out_.size() - base_;
        size_t padding = position_ > length ? position_ - length : 0;
        size_t end = position_ + text.size();
        output_ += padding + text.size();
        if (end > kMaxRecord || output_ > kMaxOutput)
            return Limit();
        if (position_ == length) {
            // At the record's end (the common case): appended, not blanked first.
            out_.append(text);
            position_ = end;
            return true;
        }
        if (length < end)
            out_.resize(base_ + end, ' ');
        std::copy(text.begin(), text.end(), out_.begin() + static_cast<std::ptrdiff_t>(base_ + position_));
        position_ = end;
        return true;
    }

    // Ew.d and ESw.d at or past the record's end (the common case), formed
    // straight into the record: false when that does not apply (Put's
    // limits reached, or a case ExponentFieldInto leaves to the general
    // path), nothing written then.
    bool PutExponentFieldInPlace(double value, const Node& node)
    {
        const size_t length = out_.size() - base_;
        if (position_ < length || node.w <= 0)
            return false;
        const size_t w = static_cast<size_t>(node.w);
        const size_t end = position_ + w;
        const size_t output = output_ + (position_ - length) + w;
        if (end > kMaxRecord || output > kMaxOutput)
            return false;
        out_.resize(base_ + end, ' ');
        if (!ExponentFieldInto(out_.data() + base_ + position_, value, node.w, node.d, node.e, scale_,
                               node.op == Op::Sci)) {
            out_.resize(base_ + length);
            return false;
        }
        output_ = output;
        position_ = end;
        return true;
    }

    bool Fail()
    {
        fault_ = true;
        return false;
    }

    bool Limit()
    {
        limit_ = true;
        return Fail();
    }

    // False stops the write (items exhausted at a data descriptor, or a fault).
    bool RunList(const std::vector<Node>& list, size_t from)
    {
        for (size_t i = from; i < list.size(); ++i)
            for (int r = 0; r < list[i].repeat; ++r)
                if (!Execute(list[i]))
                    return false;
        return true;
    }

    bool Execute(const Node& node)
    {
        if (++steps_ > budget_)
            return Limit();
        switch (node.op) {
        case Op::Group:
            return RunList(node.children, 0);
        case Op::Right:
            position_ += static_cast<size_t>(node.w);
            return position_ <= kMaxRecord || Limit();
        case Op::Left:
            position_ = position_ > static_cast<size_t>(node.w) ? position_ - static_cast<size_t>(node.w) : 0;
            return true;
        case Op::Tab:
            position_ = static_cast<size_t>(node.w - 1);
            return true;
        case Op::Scale:
            scale_ = node.w;
            return true;
        case Op::Slash:
            EndRecord();
            return true;
        case Op::Colon:
            return next_ < items_.size();
        case Op::Literal:
            return Put(node.text);
        default:
            break;
        }
        if (next_ >= items_.size())
            return false; // normal end: the next data descriptor finds no item
        const FormatItem& item = items_[next_++];
        switch (node.op) {
        case Op::Int:
            if (item.kind != FormatItem::Kind::Integer)
                return Fail();
            IntegerField(field_, item.integer, node.w, node.hasD, node.d);
            break;
        case Op::Fixed:
            if (item.kind != FormatItem::Kind::Real)
                return Fail();
            FixedField(field_, item.real, node.w, node.d, scale_);
            break;
        case Op::Exp:
        case Op::Sci:
            if (item.kind == FormatItem::Kind::Real && PutExponentFieldInPlace(item.real, node))
                return true;
            if (item.kind != FormatItem::Kind::Real ||
                !ExponentField(field_, item.real, node.w, node.d, node.e, scale_, node.op == Op::Sci))
                return Fail();
            break;
        case Op::Gen:
            // G edits an integer as Iw and a text as Aw.
            if (item.kind == FormatItem::Kind::Integer)
                IntegerField(field_, item.integer, node.w, false, 0);
            else if (item.kind == FormatItem::Kind::Text)
                TextField(field_, item.text, node);
            else if (!node.hasD || !GeneralField(field_, item.real, node.w, node.d, node.e, scale_))
                return Fail();
            break;
        case Op::Alpha:
            if (item.kind != FormatItem::Kind::Text)
                return Fail();
            TextField(field_, item.text, node);
            break;
        default:
            return Fail();
        }
        return Put(field_);
    }
};

} // namespace

bool FortranWrite(std::string_view format, std::span<const FormatItem> items,
                  std::vector<std::string>& records)
{
    records.clear();
    std::shared_ptr<const ParsedFormat> parsed = Parse(format);
    if (!parsed)
        return false;
    std::string work;
    Writer writer(items, work, {}, &records);
    return writer.Run(*parsed);
}

bool FortranWriteAppend(std::string_view format, std::span<const FormatItem> items, std::string& out,
                        std::string_view recordEnd)
{
    std::shared_ptr<const ParsedFormat> parsed = Parse(format);
    if (!parsed)
        return false;
    Writer writer(items, out, recordEnd, nullptr);
    return writer.Run(*parsed);
}

std::string FortranFormat(std::string_view format, std::span<const FormatItem> items)
{
    std::vector<std::string> records;
    if (!FortranWrite(format, items, records))
        return {};
    std::string out;
    for (size_t i = 0; i < records.size(); ++i) {
        if (i)
            out += '\n';
        out += records[i];
    }
    return out;
}

std::string FortranFormat(std::string_view format, std::initializer_list<FormatItem> items)
{
    return FortranFormat(format, std::span<const FormatItem>(items.begin(), items.size()));
}

int FortranWriteText(std::string_view format, std::span<const FormatItem> items, std::span<char> text)
{
    std::fill(text.begin(), text.end(), ' ');
    std::vector<std::string> records;
    std::shared_ptr<const ParsedFormat> parsed = Parse(format);
    if (!parsed)
        return kFortranBadFormat;
    std::string work;
    Writer writer(items, work, {}, &records);
    bool ok = writer.Run(*parsed);
    if (!records.empty()) {
        const std::string& first = records.front();
        std::copy_n(first.begin(), std::min(first.size(), text.size()), text.begin());
    }
    if (!ok)
        return writer.LimitReached() ? kFortranBadFormat : kFortranWriteFault;
    if (records.size() > 1 || records.front().size() > text.size())
        return kFortranRecordOverflow;
    return 0;
}
