// Number and text conversions: writers on top of FortranWrite, the reporting
// parsers with their error codes and limits, the quiet parsers and the
// field-text normalisers.
#include "core/conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/fortran_format.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "core/string_routines.h"

namespace {

constexpr std::string_view kTenStars = "**********";
constexpr std::string_view kElevenStars = "***********";

// Library error codes used here.

// ---- Writers -------------------------------------------------------------------

int WriteItem(const FormatItem& item, std::span<char> string, std::string_view format)
{
    return FortranWriteText(format, std::span<const FormatItem>(&item, 1), string);
}

void LocaleDecimalApply(std::span<char> string)
{
    if (gLibraryState.localeDecimalSwitch != 1)
        return;
    std::replace(string.begin(), string.end(), '.', gLibraryPaths.localeDecimalSeparator);
}

// The body of the writers with the asterisk check; REAL marks the single- and
// double-precision entries (locale decimal separator).
void CheckedWrite(const FormatItem& item, bool real, std::span<char> string, std::string_view format,
                  std::string_view name)
{
    int status = WriteItem(item, string, format);
    if (status <= 0 && real)
        LocaleDecimalApply(string);
    bool overflow = std::find(string.begin(), string.end(), '*') != string.end() &&
                    format.find('*') == std::string_view::npos;
    if (status > 0 || overflow) {
        PutText(string, kTenStars);
        YYErrorReport(kErrorNumberToString, name);
    }
}

// STRING := STRING from its first to its last non-blank character.
void LeftJustify(std::span<char> string)
{
    std::string_view view = TextOf(string);
    size_t first = view.find_first_not_of(' ');
    if (first == std::string_view::npos || first == 0)
        return;
    std::string kept(TrimRight(view.substr(first)));
    PutText(string, kept);
}

void InternalWrite(const FormatItem& item, bool real, std::span<char> string, std::string_view format,
                   std::string_view stars, std::string_view name)
{
    int status = WriteItem(item, string, format);
    if (real)
        gErrorState.osError = status;
    if (status > 0) {
        PutText(string, stars);
        YYErrorReport(kErrorNumberToString, name);
        return;
    }
    if (real)
        LocaleDecimalApply(string);
    LeftJustify(string);
}

// ---- Parsers ---------------------------------------------------------------------

// 10^n for |n| <= 308, correctly rounded.
double PowerOfTen(int n)
{
    static const std::array<double, 617> table = [] {
        std::array<double, 617> t{};
        for (int i = -308; i <= 308; ++i) {
            std::string text = "1e" + std::to_string(i);
            std::from_chars(text.data(), text.data() + text.size(), t[static_cast<size_t>(i + 308)]);
        }
        return t;
    }();
    return table[static_cast<size_t>(std::clamp(n, -308, 308) + 308)];
}

// V x 10^n without an overflow trap: false when the result would exceed the
// largest double. Scales in steps when |n| is beyond the table.
bool ScaleByTen(double& v, long n)
{
    while (n != 0) {
        int step = static_cast<int>(std::clamp(n, -308L, 308L));
        double p = PowerOfTen(step);
        if (p > 1.0 && std::fabs(v) >= 1.0) {
            constexpr double kMax = std::numeric_limits<double>::max();
            // Far past the range (|v| x p above twice the largest double).
            if (std::fabs(v) * 0.5 > kMax / p)
                return false;
            // Scaling by 2^-64 is exact here, so the product overflows exactly
            // when the scaled one passes max x 2^-64; neither step can trap.
            double scaled = v * (p * 0x1p-64);
            if (std::fabs(scaled) > kMax * 0x1p-64)
                return false;
            v = scaled * 0x1p64;
        } else {
            v *= p;
        }
        n -= step;
    }
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsDecimalPoint(char c)
{
    return c == '.' || c == ',' ||
           (gLibraryState.localeDecimalSwitch == 1 && c == gLibraryPaths.localeDecimalSeparator);
}

// The first place after the decimal point whose digits add exactly 0 to a
// real's value.
constexpr long kVanishingPlace = 330;

// One part (mantissa or exponent) of a real token: characters S..E of the
// text (0-based, inclusive; empty when S > E).
class NumberPart {
public:
    NumberPart(std::string_view text, long s, long e) : text_(text), s_(s), e_(e) {}

    // The character checks; 0 or the error code.
    int Check(bool exponentPart)
    {
        int points = 0;
        for (long i = s_; i <= e_; ++i) {
            if (IsDecimalPoint(At(i))) {
                if (exponentPart)
                    return kErrorInvalidCharacter;
                if (++points == 2)
                    return kErrorTwoDecimalPoints;
                if (point_ < 0)
                    point_ = i;
            }
        }
        for (long i = s_; i <= e_; ++i) {
            char c = At(i);
            if (i == s_ && (c == '-' || c == '+'))
                continue;
            if (!IsDigit(c) && !IsDecimalPoint(c))
                return kErrorInvalidCharacter;
        }
        return 0;
    }

    // The value, accumulated digit by digit; 0 or error 4 (more than LIMIT + 1
    // integer digits, or beyond the largest double).
    int Value(int limit, double& value) const
    {
        value = 0.0;
        if (s_ > e_)
            return 0;
        bool sign = At(s_) == '-' || At(s_) == '+';
        long d = s_ + (sign ? 1 : 0);
        long p = point_ >= 0 ? point_ : e_ + 1;
        if (p - d - 1 > limit)
            return kErrorNumberTooLarge;
        long power = p - d - 1;
        // A digit at the place kVanishingPlace after the point or further adds
        // exactly 0: digit x 10^power rounds to 0 from place 326 on (9e-326
        // is below half the smallest subnormal double). Such digits, whose
        // characters Check has seen, are not scaled; this keeps the parse
        // linear in the token's length.
        const long vanishing = p + kVanishingPlace;
        for (long i = d; i <= e_ && i < vanishing; ++i) {
            if (i == p)
                continue;
            double term = At(i) - '0';
            if (term != 0.0) {
                if (!ScaleByTen(term, power) || value > std::numeric_limits<double>::max() - term)
                    return kErrorNumberTooLarge;
                value += term;
            }
            --power;
        }
        if (At(s_) == '-')
            value = -value;
        return 0;
    }

private:
    std::string_view text_;
    long s_;
    long e_;
    long point_ = -1;

    char At(long i) const { return text_[static_cast<size_t>(i)]; }
};

// The body of IStringToReal and YYStringToDouble. Returns 0 or the error code;
// VALUE is 0 on an error.
int StringToNumber(std::string_view string, bool doublePrecision, double& value)
{
    value = 0.0;
    const int limit = doublePrecision ? 308 : 38;
    int first = 0, last = 0;
    YYTokenBounds(string, first, last);
    if (first == 0)
        return kErrorNoSubstring;
    const long f = first - 1; // 0-based token bounds
    const long t = last - 1;
    std::string_view head = string.substr(0, static_cast<size_t>(t + 1));

    // Exponent position: the first exponent letter that occurs, else a sign
    // after the token's first character with exactly three characters after it.
    long x = -1;
    for (char letter : std::string_view(doublePrecision ? "EeDd" : "Ee")) {
        size_t at = head.find(letter);
        if (at != std::string_view::npos) {
            x = static_cast<long>(at);
            break;
        }
    }
    if (x < 0) {
        for (char sign : {'+', '-'}) {
            size_t at = head.find(sign);
            if (at != std::string_view::npos && static_cast<long>(at) > f && static_cast<long>(at) == t - 3) {
                x = static_cast<long>(at);
                break;
            }
        }
    }

    NumberPart mantissa(string, f, x < 0 ? t : x - 1);
    double m = 0.0;
    if (int err = mantissa.Check(false))
        return err;
    if (int err = mantissa.Value(limit, m))
        return err;
    double result = m;
    if (x >= 0) {
        char c = string[static_cast<size_t>(x)];
        NumberPart exponent(string, (c == '+' || c == '-') ? x : x + 1, t);
        if (int err = exponent.Check(true))
            return err;
        if (m == 0.0) {
            result = 0.0;
        } else {
            double xv = 0.0;
            if (int err = exponent.Value(limit, xv))
                return err;
            long k = static_cast<long>(std::trunc(std::log10(std::fabs(m)) - 1.0));
            // |xv| is an integer below 10^309; far beyond the limit it only
            // decides the direction.
            long tt = std::fabs(xv) > 1.0e6 ? (xv > 0 ? 1000000L : -1000000L) : static_cast<long>(xv);
            tt += k;
            if (tt > limit)
                return kErrorNumberTooLarge;
            if (tt < -limit) {
                result = 0.0;
            } else {
                result = m;
                if (!ScaleByTen(result, -k) || !ScaleByTen(result, tt))
                    return kErrorNumberTooLarge;
            }
        }
    }
    if (!doublePrecision && std::fabs(result) > 3.4028234663852886e38)
        return kErrorNumberTooLarge;
    value = result;
    return 0;
}

// Integer of the first token; 0 or the error code.
int StringToInteger(std::string_view string, int& ivalue)
{
    ivalue = 0;
    int first = 0, last = 0;
    YYTokenBounds(string, first, last);
    if (first == 0)
        return kErrorNoSubstring;
    std::string_view token = string.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
    size_t start = (token[0] == '-' || token[0] == '+') ? 1 : 0;
    for (size_t i = start; i < token.size(); ++i)
        if (!IsDigit(token[i]))
            return kErrorInvalidCharacter;
    size_t digits = token.size() - start;
    if (digits > 10 || (digits == 10 && token[start] > '2'))
        return kErrorNumberTooLarge;
    long long v = 0;
    for (size_t i = start; i < token.size(); ++i) {
        v = v * 10 + (token[i] - '0');
        if (v > 2147483647LL)
            return kErrorNumberTooLarge;
    }
    ivalue = static_cast<int>(token[0] == '-' ? -v : v);
    return 0;
}

// ---- Quiet parsing -----------------------------------------------------------

// Saves lastCode and level of the error state, sets both to 0, and puts them
// back when it goes out of scope.
class QuietErrors {
public:
    QuietErrors() : lastCode_(gErrorState.lastCode), level_(gErrorState.level)
    {
        gErrorState.lastCode = 0;
        gErrorState.level = 0;
    }
    ~QuietErrors()
    {
        gErrorState.lastCode = lastCode_;
        gErrorState.level = level_;
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    int lastCode_;
    int level_;
};

// The text up to its first NUL, else without its trailing blanks.
std::string_view QuietText(std::string_view text)
{
    size_t nul = text.find('\0');
    return nul != std::string_view::npos ? text.substr(0, nul) : TrimRight(text);
}

// TEXT := its trimmed self followed by one NUL (cut at TEXT's length).
void EndWithNul(std::span<char> text)
{
    std::string s(TrimRight(TextOf(text)));
    s += '\0';
    PutText(text, s);
}

} // namespace

// ---- Writers -------------------------------------------------------------------

void IntegerToString(int ivalue, std::span<char> string, std::string_view format)
{
    CheckedWrite(FormatItem(ivalue), false, string, format, "IntegerToString");
}

void IRealToString(float rvalue, std::span<char> string, std::string_view format)
{
    CheckedWrite(FormatItem(rvalue), true, string, format, "IRealToString");
}

void IDoubleToString(double dvalue, std::span<char> string, std::string_view format)
{
    CheckedWrite(FormatItem(dvalue), true, string, format, "IDoubleToString");
}

void yyrea2st(float rvalue, std::span<char> string, std::string_view format)
{
    InternalWrite(FormatItem(rvalue), true, string, format, kTenStars, "yyrea2st");
}

void yydbl2st(double dvalue, std::span<char> string, std::string_view format)
{
    InternalWrite(FormatItem(dvalue), true, string, format, kTenStars, "yydbl2st");
}

void yyint2st(int ivalue, std::span<char> string)
{
    InternalWrite(FormatItem(ivalue), false, string, "(I11)", kElevenStars, "yyint2st");
}

// ---- Reporting parsers -------------------------------------------------------

void IStringToInteger(std::string_view string, int& ivalue)
{
    if (int err = StringToInteger(string, ivalue))
        YYErrorReport(err, "IStringToInteger");
}

void IStringToReal(std::string_view string, float& rvalue)
{
    double v = 0.0;
    int err = StringToNumber(string, false, v);
    rvalue = static_cast<float>(v); // within the single-precision range when err == 0; else 0
    if (err)
        YYErrorReport(err, "IStringToReal");
}

void YYStringToDouble(std::string_view string, double& dvalue)
{
    if (int err = StringToNumber(string, true, dvalue))
        YYErrorReport(err, "IStringToReal");
}

void INextInteger(std::span<char> string, int& ivalue)
{
    int first = 0, last = 0;
    YYTokenBounds(TextOf(string), first, last);
    if (first == 0) {
        ivalue = 0;
        YYErrorReport(kErrorNoSubstring, "INextInteger");
        return;
    }
    IStringToInteger(TextOf(string), ivalue);
    std::fill(string.begin() + (first - 1), string.begin() + last, ' ');
}

void INextReal(std::span<char> string, float& rvalue)
{
    int first = 0, last = 0;
    YYTokenBounds(TextOf(string), first, last);
    if (first == 0) {
        rvalue = 0.0f;
        YYErrorReport(kErrorNoSubstring, "INextReal");
        return;
    }
    IStringToReal(TextOf(string), rvalue);
    std::fill(string.begin() + (first - 1), string.begin() + last, ' ');
}

// ---- Quiet parsers -----------------------------------------------------------

void YYTextToDoubleQuiet(double& dvalue, std::string_view text)
{
    QuietErrors quiet;
    YYStringToDouble(QuietText(text), dvalue);
}

void YYTextToDoubleChecked(double& dvalue, int& ok, std::string_view text)
{
    QuietErrors quiet;
    YYStringToDouble(QuietText(text), dvalue);
    ok = gErrorState.lastCode == 0 ? 1 : 0;
}

void YYTextToRealQuiet(float& rvalue, std::string_view text)
{
    QuietErrors quiet;
    IStringToReal(QuietText(text), rvalue);
}

void YYTextToIntegerQuiet(int& ivalue, std::string_view text)
{
    float r = 0.0f;
    YYTextToRealQuiet(r, text);
    ivalue = TruncateToInt(r);
}

// ---- Numbers of dialog fields ------------------------------------------------

int YYFieldTextNumber(FieldNumberKind kind, std::string_view text, double& value)
{
    std::string_view t = QuietText(text);
    value = 0.0;
    if (int err = StringToNumber(t, true, value))
        return err;
    if (kind == FieldNumberKind::kInteger) {
        double whole = std::trunc(value);
        return (whole <= 2147483647.0 && whole >= -2147483647.0) ? 0 : kErrorNumberTooLarge;
    }
    if (kind == FieldNumberKind::kReal) {
        double single = 0.0;
        return StringToNumber(t, false, single);
    }
    return 0;
}

// ---- Field-text normalisers ----------------------------------------------------

void YYIntegerFieldText(std::span<char> text)
{
    QuietErrors quiet;
    double d = 0.0;
    YYStringToDouble(QuietText(TextOf(text)), d);
    IntegerToString(TruncateToInt(d), text, "(I11)");
    YYJustify(text, "L");
    EndWithNul(text);
}

void YYRealFieldText(std::span<char> text, std::string_view format)
{
    QuietErrors quiet;
    float r = 0.0f;
    IStringToReal(QuietText(TextOf(text)), r);
    IRealToString(r, text, format);
    YYJustify(text, "L");
    EndWithNul(text);
}

void YYDoubleFieldText(std::span<char> text, std::string_view format)
{
    QuietErrors quiet;
    double d = 0.0;
    YYStringToDouble(QuietText(TextOf(text)), d);
    IDoubleToString(d, text, format);
    YYJustify(text, "L");
    EndWithNul(text);
}
