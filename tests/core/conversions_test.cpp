#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/option_string.h"
#include "core/string_routines.h"

namespace {

std::vector<std::string> gReportLines;

void RecordLine(std::string_view line)
{
    gReportLines.emplace_back(line);
}

// Error reports are delivered at level 3 to a recorder, so that each test can
// see both the code and the routine name of what was reported.
class Conversions : public ::testing::Test {
protected:
    void SetUp() override
    {
        gErrorState = ErrorState{};
        gErrorState.level = 3;
        gReportLines.clear();
        ErrorStatusBarDeliverySet(&RecordLine);
        gLibraryState.localeDecimalSwitch = 0;
        gLibraryPaths.localeDecimalSeparator = ',';
    }
    void TearDown() override
    {
        ErrorStatusBarDeliverySet(nullptr);
        gErrorState = ErrorState{};
        gLibraryState.localeDecimalSwitch = 0;
    }

    // The reports since the last check: none when CODE is 0, else exactly one
    // with CODE under NAME.
    static std::string Reported(int code, const char* name)
    {
        std::string problem;
        if (code == 0 && !gReportLines.empty())
            problem = "unexpected report: " + gReportLines.front();
        else if (code != 0 && gReportLines.size() != 1)
            problem = "expected one report, got " + std::to_string(gReportLines.size());
        else if (code != 0 && gErrorState.lastCode != code)
            problem = "code " + std::to_string(gErrorState.lastCode);
        else if (code != 0 && gReportLines.front().find(std::string(name) + " ") == std::string::npos)
            problem = "name not in: " + gReportLines.front();
        gReportLines.clear();
        gErrorState.lastCode = 0;
        return problem;
    }
};

TEST_F(Conversions, StringToInteger)
{
    struct Case {
        const char* text;
        int value;
        int code;
    };
    const Case cases[] = {
        {"  42  abc", 42, 0},
        {"+7", 7, 0},
        {"-7", -7, 0},
        {"-", 0, 0},
        {"12a", 0, 12},
        {"1-2", 0, 12},
        {"2147483647", 2147483647, 0},
        {"-2147483647", -2147483647, 0},
        {"-2147483648", 0, 4},
        {"2147483648", 0, 4},
        {"3000000000", 0, 4},
        {"00000000001", 0, 4},
        {"0000000001", 1, 0},
        {"   ", 0, 10},
        {"", 0, 10},
    };
    for (const Case& c : cases) {
        int v = 99;
        IStringToInteger(c.text, v);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(Reported(c.code, "IStringToInteger"), "") << c.text;
    }
}

TEST_F(Conversions, StringToRealBothPrecisions)
{
    struct Case {
        std::string text;
        float single;
        int singleCode;
        double dbl;
        int doubleCode;
    };
    const Case cases[] = {
        {"1,5", 1.5f, 0, 1.5, 0},
        {"  1.5 xyz", 1.5f, 0, 1.5, 0},
        {"-.25", -0.25f, 0, -0.25, 0},
        {"1.5.2", 0, 11, 0, 11},
        {"1,5.2", 0, 11, 0, 11},
        {"1.5E2.5", 0, 12, 0, 12},
        {"2.5e3", 2500.0f, 0, 2500.0, 0},
        {"2.5D3", 0, 12, 2500.0, 0},
        {"2.5d-3", 0, 12, 0.0025, 0},
        {"1.5-003", 0.0015f, 0, 0.0015, 0},
        {"1.5-3", 0, 12, 0, 12}, // the sign is an exponent only three characters from the end
        {"-1.5-100", 0, 12, 0, 12}, // the inner sign is no exponent here
        {"1.0+100", 0, 4, 1.0e100, 0},
        {"0E9999", 0, 0, 0, 0},
        {"0.000E+99999x", 0, 12, 0, 12},
        {"1E-50", 0, 0, 1.0e-50, 0},
        {"4E38", 0, 4, 4.0e38, 0},
        {"3.4E38", 3.4e38f, 0, 3.4e38, 0},
        {"1E309", 0, 4, 0, 4},
        {"33E308", 0, 4, 0, 4}, // 33 x 10^308: beyond the range without a trap
        {"17E307", 0, 4, 1.7e308, 0},
        {"1E-400", 0, 0, 0, 0},
        {"E5", 0, 0, 0, 0},
        {"+", 0, 0, 0, 0},
        {"12x", 0, 12, 0, 12},
        {"", 0, 10, 0, 10},
        {"1" + std::string(38, '0') + ".", 1.0e38f, 0, 1.0e38, 0}, // 39 integer digits: the limit
        {"1" + std::string(39, '0'), 0, 4, 1.0e39, 0},             // 40: beyond it
        {std::string(1000000, '1'), 0, 4, 0, 4},                   // a million integer digits
    };
    for (const Case& c : cases) {
        float r = 99.0f;
        IStringToReal(c.text, r);
        EXPECT_FLOAT_EQ(r, c.single) << c.text;
        EXPECT_EQ(Reported(c.singleCode, "IStringToReal"), "") << c.text;
        double d = 99.0;
        YYStringToDouble(c.text, d);
        EXPECT_DOUBLE_EQ(d, c.dbl) << c.text;
        EXPECT_EQ(Reported(c.doubleCode, "IStringToReal"), "") << c.text;
    }
}

// Texts whose digits would pass the double range, or whose mantissa is
// tinier than the smallest normal double, give error 4 or a finite value
// and never a floating-point trap.
TEST_F(Conversions, ExtremeRealTextsStayFinite)
{
    double d = 1.0;
    YYStringToDouble(std::string(309, '9'), d); // 309 integer digits: at the limit, beyond the range
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(Reported(4, "IStringToReal"), "");
    YYStringToDouble("5E308", d);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(Reported(4, "IStringToReal"), "");
    YYStringToDouble("1E" + std::string(300, '7'), d);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(Reported(4, "IStringToReal"), "");
    YYStringToDouble("1E-" + std::string(300, '7'), d);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(Reported(0, ""), "");
    YYStringToDouble("1.79E308", d);
    EXPECT_DOUBLE_EQ(d, 1.79e308);
    EXPECT_EQ(Reported(0, ""), "");
    YYStringToDouble("0." + std::string(320, '0') + "1E330", d); // 1e-321 x 10^330
    EXPECT_NEAR(d, 1.0e9, 1.0e7);
    EXPECT_EQ(Reported(0, ""), "");
    YYStringToDouble("0." + std::string(2000, '3'), d);
    EXPECT_NEAR(d, 1.0 / 3.0, 1e-15);
}

// Tokens of a million fraction digits parse at once, to exactly the value of
// their first 400 digits (digits from the 330th place on add nothing), in
// every parser that reads reals.
TEST_F(Conversions, MillionFractionDigitsGiveTheValueOfTheirFirst400)
{
    struct Case {
        std::string head; // up to and including the point
        std::string digits; // repeated
        std::string tail;   // an exponent, or nothing
    };
    const Case cases[] = {
        {"0.", "3", ""},           {"-1.", "9", ""},        {"123.", "4567", "E-5"},
        {".", "1", "E30"},         {"0.", "00000000019", "E8"}, {"9,", "87", ""},
        {"0.", "5", "-003"},
    };
    auto token = [](const Case& c, size_t n) {
        std::string t = c.head;
        while (t.size() < c.head.size() + n)
            t += c.digits;
        t.resize(c.head.size() + n);
        return t + c.tail;
    };
    for (const Case& c : cases) {
        const std::string longer = token(c, 1000000), first400 = token(c, 400);
        SCOPED_TRACE(first400.substr(0, 20));
        double d = 1.0, expected = 0.0;
        YYStringToDouble(first400, expected);
        YYStringToDouble(longer, d);
        EXPECT_EQ(std::memcmp(&d, &expected, sizeof d), 0) << d << " " << expected;
        EXPECT_NE(expected, 0.0);
        float r = 1.0f, expectedSingle = 0.0f;
        IStringToReal(first400, expectedSingle);
        IStringToReal(longer, r);
        EXPECT_EQ(r, expectedSingle);
        int ok = 0;
        YYTextToDoubleChecked(d, ok, longer);
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(d, expected);
        EXPECT_EQ(Reported(0, ""), "");
    }
}

TEST_F(Conversions, LocaleSeparatorAcceptedOnlyWhenSwitchedOn)
{
    gLibraryPaths.localeDecimalSeparator = ';';
    float r = 0;
    IStringToReal("2;5", r);
    EXPECT_EQ(r, 0.0f);
    EXPECT_EQ(Reported(12, "IStringToReal"), "");
    gLibraryState.localeDecimalSwitch = 1;
    IStringToReal("2;5", r);
    EXPECT_EQ(r, 2.5f);
    EXPECT_EQ(Reported(0, ""), "");
}

TEST_F(Conversions, NextTokenIsBlanked)
{
    FixedText<16> text(" 12 x3  7");
    int v = 0;
    INextInteger(text, v);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(text.view(), "    x3  7       ");
    INextInteger(text, v); // blanked although it does not parse
    EXPECT_EQ(v, 0);
    EXPECT_EQ(Reported(12, "IStringToInteger"), "");
    INextInteger(text, v);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(text.view(), std::string(16, ' '));
    INextInteger(text, v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(Reported(10, "INextInteger"), "");

    FixedText<12> reals("2.5 1,25");
    float r = 0;
    INextReal(reals, r);
    EXPECT_EQ(r, 2.5f);
    INextReal(reals, r);
    EXPECT_EQ(r, 1.25f);
    EXPECT_EQ(Reported(0, ""), "");
    INextReal(reals, r);
    EXPECT_EQ(r, 0.0f);
    EXPECT_EQ(Reported(10, "INextReal"), "");
}

TEST_F(Conversions, CheckedWriters)
{
    FixedText<12> s;
    IntegerToString(42, s, "(I4)");
    EXPECT_EQ(s.view(), "  42        ");
    IntegerToString(123456, s, "(I4)");
    EXPECT_EQ(s.view(), "**********  ");
    EXPECT_EQ(Reported(18, "IntegerToString"), "");
    IntegerToString(123, s, "('*',I2)"); // the format's own asterisk: no failure
    EXPECT_EQ(s.view(), "***         ");
    EXPECT_EQ(Reported(0, ""), "");
    IntegerToString(1, s, "(I13)"); // field longer than the text
    EXPECT_EQ(s.view(), "**********  ");
    EXPECT_EQ(Reported(18, "IntegerToString"), "");
    IntegerToString(1, s, "(I4"); // malformed format
    EXPECT_EQ(Reported(18, "IntegerToString"), "");
    IntegerToString(1, s, "(F5.1)"); // an integer for a real descriptor
    EXPECT_EQ(Reported(18, "IntegerToString"), "");
    FixedText<6> shortText;
    IntegerToString(1234567, shortText, "(I6)");
    EXPECT_EQ(shortText.view(), "******");
    EXPECT_EQ(Reported(18, "IntegerToString"), "");

    IRealToString(0.1f, s, "(F12.9)"); // the single-precision value's own digits
    EXPECT_EQ(s.view(), " 0.100000001");
    IDoubleToString(0.1, s, "(F12.9)");
    EXPECT_EQ(s.view(), " 0.100000000");
    IDoubleToString(1.0e10, s, "(G12.5E2)");
    EXPECT_EQ(s.view(), " 0.10000E+11");
    IDoubleToString(1.0e10, s, "(F10.1)");
    EXPECT_EQ(s.view(), "**********  ");
    EXPECT_EQ(Reported(18, "IDoubleToString"), "");
    IRealToString(1.0e10f, s, "(F10.1)");
    EXPECT_EQ(Reported(18, "IRealToString"), "");
    IDoubleToString(1.0, s, "(100000(TR99999,'x',/))"); // output past the formatter's limit
    EXPECT_EQ(s.view(), "**********  ");
    EXPECT_EQ(Reported(18, "IDoubleToString"), "");

    gLibraryState.localeDecimalSwitch = 1;
    IRealToString(1.5f, s, "(F6.2)");
    EXPECT_EQ(s.view(), "  1,50      ");
    IDoubleToString(-2.25, s, "(F6.2)");
    EXPECT_EQ(s.view(), " -2,25      ");
    IntegerToString(7, s, "(I2,'.')"); // the integer writer keeps its "."
    EXPECT_EQ(s.view(), " 7.         ");
    EXPECT_EQ(Reported(0, ""), "");
}

TEST_F(Conversions, InternalWriters)
{
    FixedText<12> s;
    yyint2st(-5, s);
    EXPECT_EQ(s.view(), "-5          ");
    FixedText<8> shortText;
    yyint2st(1, shortText); // "(I11)" does not fit
    EXPECT_EQ(shortText.view(), "********");
    EXPECT_EQ(Reported(18, "yyint2st"), "");
    FixedText<14> wide;
    yyint2st(7, wide);
    EXPECT_EQ(wide.view(), "7             ");

    gErrorState.osError = 99;
    yydbl2st(2.5, s, "(F8.3)");
    EXPECT_EQ(s.view(), "2.500       ");
    EXPECT_EQ(gErrorState.osError, 0);
    yyrea2st(1.0e6f, s, "(F5.1)"); // overflow asterisks are no failure here
    EXPECT_EQ(s.view(), "*****       ");
    EXPECT_EQ(gErrorState.osError, 0);
    EXPECT_EQ(Reported(0, ""), "");
    yyrea2st(1.0f, s, "(Q)");
    EXPECT_EQ(s.view(), "**********  ");
    EXPECT_GT(gErrorState.osError, 0);
    EXPECT_EQ(Reported(18, "yyrea2st"), "");
    yydbl2st(1.0, s, "(F13.1)");
    EXPECT_EQ(Reported(18, "yydbl2st"), "");
    gLibraryState.localeDecimalSwitch = 1;
    yydbl2st(-0.5, s, "(F6.2)");
    EXPECT_EQ(s.view(), "-0,50       ");
}

TEST_F(Conversions, QuietParsersLeaveErrorStateAlone)
{
    gErrorState.lastCode = 77;
    int i = 0;
    YYTextToIntegerQuiet(i, "3.9");
    EXPECT_EQ(i, 3);
    YYTextToIntegerQuiet(i, "-3.9");
    EXPECT_EQ(i, -3);
    YYTextToIntegerQuiet(i, "abc");
    EXPECT_EQ(i, 0);
    YYTextToIntegerQuiet(i, "1E20"); // beyond the integer range
    EXPECT_EQ(i, std::numeric_limits<int>::max());
    YYTextToIntegerQuiet(i, "-1E20");
    EXPECT_EQ(i, std::numeric_limits<int>::min());
    float r = 0;
    YYTextToRealQuiet(r, std::string_view("2.5\0junk", 8)); // up to the NUL
    EXPECT_EQ(r, 2.5f);
    double d = 0;
    YYTextToDoubleQuiet(d, "1.5D2   ");
    EXPECT_EQ(d, 150.0);
    int ok = -1;
    YYTextToDoubleChecked(d, ok, "4.25");
    EXPECT_EQ(d, 4.25);
    EXPECT_EQ(ok, 1);
    YYTextToDoubleChecked(d, ok, "4.2.5");
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(ok, 0);
    YYTextToDoubleChecked(d, ok, "");
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(gErrorState.lastCode, 77);
    EXPECT_EQ(gErrorState.level, 3);
    EXPECT_TRUE(gReportLines.empty());
}

TEST_F(Conversions, FieldTextNormalisers)
{
    gErrorState.lastCode = 5;
    FixedText<16> t("  -12.7");
    YYIntegerFieldText(t);
    EXPECT_EQ(t.view(), std::string_view("-12\0            ", 16));
    FixedText<16> bad("x1");
    YYIntegerFieldText(bad);
    EXPECT_EQ(bad.view(), std::string_view("0\0              ", 16));
    FixedText<8> narrow("5"); // "(I11)" does not fit: asterisks, no room for the NUL
    YYIntegerFieldText(narrow);
    EXPECT_EQ(narrow.view(), "********");
    FixedText<12> real(std::string_view("3.14159\0zz", 10));
    YYRealFieldText(real, "(F8.2)");
    EXPECT_EQ(real.view(), std::string_view("3.14\0       ", 12));
    FixedText<12> dbl("1e3");
    YYDoubleFieldText(dbl, "(G11.4)");
    EXPECT_EQ(dbl.view(), std::string_view("1000.\0      ", 12));
    EXPECT_EQ(gErrorState.lastCode, 5);
    EXPECT_TRUE(gReportLines.empty());
}

// Whether a field of each kind holds the number of a text: the answer is 0
// exactly where the field's normaliser writes that number back; nothing is
// reported.
TEST_F(Conversions, NumbersAFieldOfEachKindHolds)
{
    using K = FieldNumberKind;
    const std::string manyDigits = std::string(40, '1') + "E-10"; // 1.1e29, beyond the single-precision digit limit
    struct Case {
        K kind;
        std::string text;
        int code;
        double value;
    };
    const std::vector<Case> cases = {
        {K::kInteger, "2147483647", 0, 2147483647.0},
        {K::kInteger, "-2147483647.9", 0, -2147483647.9},
        {K::kInteger, "2147483648", 4, 2147483648.0},
        {K::kInteger, "-2147483648", 4, -2147483648.0},
        {K::kInteger, std::string(10000, '7'), 4, 0.0},
        {K::kInteger, "12x", 12, 0.0},
        {K::kInteger, "  ", 10, 0.0},
        {K::kReal, "3.4E38", 0, 3.4e38},
        {K::kReal, "1e99", 4, 1e99},
        {K::kReal, "-1e99", 4, -1e99},
        {K::kReal, "2.5D3", 12, 2500.0},
        {K::kReal, manyDigits, 4, 1.1111111111111111e29},
        {K::kDouble, "2.5D3", 0, 2500.0},
        {K::kDouble, "1e400", 4, 0.0},
        {K::kDouble, std::string("7\0x", 3), 0, 7.0}, // the text up to its NUL
    };
    gErrorState.lastCode = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        double v = -1.0;
        EXPECT_EQ(YYFieldTextNumber(c.kind, c.text, v), c.code);
        EXPECT_DOUBLE_EQ(v, c.value);
    }
    EXPECT_EQ(gErrorState.lastCode, 5);
    EXPECT_TRUE(gReportLines.empty());
}

TEST(StringRoutines, TokenBoundsAndStart)
{
    struct Case {
        const char* text;
        int first, last, start;
    };
    const Case cases[] = {
        {"  abc def", 3, 5, 3},
        {"  abc", 3, 5, 3},
        {"x", 1, 1, 1},
        {"   ", 0, 0, 0},
        {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        int f = -1, l = -1;
        YYTokenBounds(c.text, f, l);
        EXPECT_EQ(f, c.first) << c.text;
        EXPECT_EQ(l, c.last) << c.text;
        EXPECT_EQ(YYStringStart(c.text), c.start) << c.text;
    }
    EXPECT_EQ(YYStringStart(std::string_view("\0 \0z", 4)), 4);
    EXPECT_EQ(YYStringStart(std::string_view("\0 \0", 3)), 0);
}

TEST(StringRoutines, OptionLetters)
{
    EXPECT_TRUE(YYOptionHas("xLy", 'L'));
    EXPECT_TRUE(YYOptionHas("xly", 'L')); // upper case matches either case
    EXPECT_FALSE(YYOptionHas("xLy", 'l')); // lower case matches only itself
    EXPECT_TRUE(YYOptionHas("xly", 'l'));
    EXPECT_FALSE(YYOptionHas("", 'L'));
    EXPECT_TRUE(YYOptionHas("R9", '9'));
}

TEST(StringRoutines, CaseAndCharCodes)
{
    char text[] = "aZ\xe9\xc9{`@[ 1";
    YYUpperCase(std::span<char>(text, sizeof text - 1));
    EXPECT_EQ(std::string(text), "AZ\xe9\xc9{`@[ 1");
    YYLowerCase(std::span<char>(text, sizeof text - 1));
    EXPECT_EQ(std::string(text), "az\xe9\xc9{`@[ 1");
    EXPECT_EQ(YYCharCode('\xe9'), 233);
    EXPECT_EQ(YYCharCode('A'), 65);
    EXPECT_EQ(YYCharCode('\0'), 0);
}

TEST(StringRoutines, Justify)
{
    struct Case {
        const char* text;
        const char* options;
        const char* expected;
    };
    const Case cases[] = {
        {"ab   ", "L", "ab   "},   {" ab  ", "L", "ab   "},   {" ab  ", "r", "   ab"},
        {" ab  ", "R", "   ab"},   {"ab   ", "", " ab  "},    {"   ab", "C", " ab  "},
        {"a b  ", "x", " a b "},   {"abcde", "R", "abcde"},   {"     ", "L", "     "},
        {"  a b c ", "l", "a b c   "}, // option letters in either case
        {"a      b", "R", "a      b"},
        {"     abc", "L", "abc     "}, // longer than the distance moved
    };
    for (const Case& c : cases) {
        std::string s(c.text);
        YYJustify(std::span<char>(s.data(), s.size()), c.options);
        EXPECT_EQ(s, c.expected) << "'" << c.text << "' " << c.options;
    }
}

TEST(StringRoutines, IndexNoCase)
{
    const bool yes = true, no = false;
    EXPECT_EQ(YYIndexNoCase("Hello hello", "LLO"), 3);
    EXPECT_EQ(YYIndexNoCase("Hello hello", "LLO", &yes), 9);
    EXPECT_EQ(YYIndexNoCase("Hello hello", "LLO", &no), 3);
    EXPECT_EQ(YYIndexNoCase("Hello", "xyz"), 0);
    EXPECT_EQ(YYIndexNoCase("abc", ""), 1);
    EXPECT_EQ(YYIndexNoCase("abc", "", &yes), 4);
    EXPECT_EQ(YYIndexNoCase("ab", "abc"), 0);
    EXPECT_EQ(YYIndexNoCase("", ""), 1);
}

TEST(StringRoutines, NulTerminatedTexts)
{
    EXPECT_EQ(DecimalStringToInt("123"), 123);
    EXPECT_EQ(DecimalStringToInt("-45x7"), -45);
    EXPECT_EQ(DecimalStringToInt("+5"), 0);
    EXPECT_EQ(DecimalStringToInt(" 5"), 0);
    EXPECT_EQ(DecimalStringToInt("-"), 0);
    EXPECT_EQ(DecimalStringToInt(std::string_view("12\0" "34", 5)), 12);
    EXPECT_EQ(DecimalStringToInt("4294967297"), 1); // no overflow check: wraps, defined

    EXPECT_EQ(TextLengthToNul(std::string_view("ab c\0d", 6)), 4);
    EXPECT_EQ(TextLengthToNul("abc"), 3);
    EXPECT_EQ(TextLengthToBlank(std::string_view("ab c\0d", 6)), 2);
    EXPECT_EQ(TextLengthToBlank(std::string_view("abc\0 d", 6)), 3);
    EXPECT_EQ(TextLengthToBlank("abc"), 3);

    char out[8];
    std::fill(out, out + 8, '#');
    TextToBlankPadded(std::string_view("hi\0there", 8), std::span<char>(out, 8), 5);
    EXPECT_EQ(std::string(out, 8), "hi   ###");
    TextToBlankPadded("toolongtext", std::span<char>(out, 8), 6);
    EXPECT_EQ(std::string(out, 8), "toolon##");
    TextToBlankPadded("abc", std::span<char>(out, 8), 100); // N beyond the buffer
    EXPECT_EQ(std::string(out, 8), "abc     ");
}

} // namespace

namespace {

TEST(LocaleDecimal, SeparatorReadAndStored)
{
    gLibraryPaths.localeDecimalSeparator = ' ';
    char c = ' ';
    LocaleDecimalSeparator(c);
    EXPECT_NE(c, ' ');
    EXPECT_NE(c, '\0');
    EXPECT_EQ(gLibraryPaths.localeDecimalSeparator, c);
}

} // namespace
