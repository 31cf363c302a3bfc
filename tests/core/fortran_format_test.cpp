#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/fortran_format.h"

namespace {

struct Case {
    const char* format;
    std::vector<FormatItem> items;
    const char* expected; // records joined by '\n'
};

void CheckTable(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        std::vector<std::string> records;
        bool ok = FortranWrite(c.format, c.items, records);
        std::string joined;
        for (size_t i = 0; i < records.size(); ++i)
            joined += (i ? "\n" : "") + records[i];
        EXPECT_TRUE(ok) << c.format;
        EXPECT_EQ(joined, c.expected) << "format " << c.format;
    }
}

TEST(FortranFormat, Integers)
{
    CheckTable({
        {"(I5)", {42}, "   42"},
        {"(I5)", {-42}, "  -42"},
        {"(I5)", {123456}, "*****"},
        {"(I5)", {-12345}, "*****"},
        {"(I5)", {-1234}, "-1234"},
        {"(I2.2)", {7}, "07"},
        {"(I3.3)", {1000}, "***"},
        {"(I5.3)", {-7}, " -007"},
        {"(I4.0)", {0}, "    "},
        {"(I0)", {-305}, "-305"},
        {"(I11)", {std::numeric_limits<int>::min()}, "-2147483648"},
        {"(I20)", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
        {"(2I6)", {1, -2}, "     1    -2"},
        {"(I1,I9,2I6)", {1, 2, 3, 4}, "1        2     3     4"},
        {"(G6)", {17}, "    17"},
    });
}

TEST(FortranFormat, FixedPoint)
{
    CheckTable({
        {"(F10.1)", {123.45}, "     123.5"}, // 123.45 is stored just above the tie
        {"(F5.2)", {0.125}, " 0.12"},        // exact tie: to even
        {"(F5.2)", {0.375}, " 0.38"},
        {"(F5.2)", {2.675}, " 2.67"}, // 2.67499999...
        {"(F4.2)", {0.5}, "0.50"},
        {"(F3.2)", {0.5}, ".50"}, // optional zero dropped
        {"(F4.2)", {-0.5}, "-.50"},
        {"(F3.0)", {0.4}, " 0."},
        {"(F3.0)", {2.5}, " 2."},
        {"(F5.1)", {-0.0}, " -0.0"},
        {"(F5.1)", {-0.01}, " -0.0"},
        {"(F5.1)", {999.96}, "*****"},
        {"(F5.1)", {99.96}, "100.0"},
        {"(F9.2)", {1.0e10}, "*********"},
        {"(F0.3)", {-2.0}, "-2.000"},
        {"(F6.3,1X,F6.3)", {1.0, -1.0}, " 1.000 -1.000"},
        {"(2P,F8.2)", {1.2345}, "  123.45"},
        {"(-2P,F8.1)", {1234.0}, "    12.3"},
        {"(F25.20)", {0.1}, "   0.10000000000000000555"},
        {"(F8.3)", {1.0e-300}, "   0.000"},
        {"(F40.1)", {1.0e30}, "       1000000000000000019884624838656.0"},
    });
}

TEST(FortranFormat, Exponential)
{
    CheckTable({
        {"(TR1,ES25.15E3)", {static_cast<double>(0.0125f)}, "    1.250000018626451E-002"},
        {"(ES25.15E3)", {0.0}, "   0.000000000000000E+000"},
        {"(ES25.15E3)", {-0.0}, "  -0.000000000000000E+000"},
        {"(ES25.15E3)", {-1.0e300}, "  -1.000000000000000E+300"},
        {"(ES25.15E3)", {4.9e-324}, "   4.940656458412465E-324"},
        {"(ES9.2E1)", {1.0e10}, "*********"},
        {"(ES10.2)", {1.0}, "  1.00E+00"},
        {"(ES10.2)", {9.996}, "  1.00E+01"}, // rounding carries into the exponent
        {"(ES10.2)", {1.0e-100}, "  1.00-100"},
        {"(E10.3)", {1.0}, " 0.100E+01"},
        {"(E9.3)", {1.0}, "0.100E+01"},
        {"(E8.3)", {1.0}, ".100E+01"},
        {"(E8.3)", {-1.0}, "********"},
        {"(E10.3)", {0.0}, " 0.000E+00"},
        {"(1PE08.1)", {1000000.0}, " 1.0E+06"},
        {"(1PE09.2)", {-0.000123}, "-1.23E-04"},
        {"(-1PE11.3)", {1234.0}, "  0.012E+05"},
        {"(2PE11.3)", {1234.0}, "  12.34E+02"},
        {"(E12.4E3)", {6.02e23}, " 0.6020E+024"},
        {"(10(ES10.2,1X))", {1.0, 0.0}, "  1.00E+00   0.00E+00"},
    });
}

TEST(FortranFormat, General)
{
    CheckTable({
        {"(G15.5E2)", {1.0}, "     1.0000    "},
        {"(G15.5E2)", {0.0}, "     0.0000    "},
        {"(G15.5E2)", {-0.0}, "    -0.0000    "},
        {"(G15.5E2)", {123.456}, "     123.46    "},
        {"(G15.5E2)", {99999.4}, "     99999.    "},
        {"(G15.5E2)", {99999.6}, "    0.10000E+06"}, // rounds to 10^5: E form
        {"(G15.5E2)", {0.1}, "    0.10000    "},
        {"(G15.5E2)", {0.0999996}, "    0.10000    "}, // rounds up into [0.1, 1)
        {"(G15.5E2)", {0.09999}, "    0.99990E-01"},
        {"(G15.5E2)", {1.0e10}, "    0.10000E+11"},
        {"(G15.5E2)", {-2.5e-7}, "   -0.25000E-06"},
        {"(G15.5E2)", {1.0e100}, "***************"},
        {"(G10.3)", {2.0}, "  2.00    "},
        {"(1P,G12.3)", {2.0e5}, "   2.000E+05"}, // the scale factor only acts on the E form
        {"(1P,G12.3)", {2.0}, "    2.00    "},
        {"(G5.3)", {2.0}, "*****"},
    });
}

TEST(FortranFormat, TextPositioningAndLiterals)
{
    CheckTable({
        {"(A)", {"abc"}, "abc"},
        {"(A5)", {"abc"}, "  abc"},
        {"(A2)", {"abc"}, "ab"},
        {"('x=',I3,' it''s')", {5}, "x=  5 it's"},
        {"(\"say \"\"hi\"\"\")", {}, "say \"hi\""},
        {"(I2,5X)", {1}, " 1"}, // trailing skip writes nothing
        {"(I2,5X,I1)", {1, 2}, " 1     2"},
        {"(T5,'b',T1,'a')", {}, "a   b"},
        {"('abcdef',TL3,'XY')", {}, "abcXYf"},
        {"('ab',TL9,'Z')", {}, "Zb"}, // TL stops at the record start
        {"('ab',TR2,'c')", {}, "ab  c"},
        {"(i3, f6.2)", {1, 2.5}, "  1  2.50"}, // either case, blanks ignored
        {"( 1 x , A )", {"q"}, " q"},
        {"()", {}, ""},
        {"(I5)", {}, ""},
    });
}

TEST(FortranFormat, RecordsAndReversion)
{
    CheckTable({
        {"(I2/I2)", {1, 2}, " 1\n 2"},
        {"(I2/)", {1}, " 1\n"},
        {"(2/)", {}, "\n\n"},
        {"(2I3)", {1, 2, 3, 4, 5}, "  1  2\n  3  4\n  5"},
        {"('h',2(I2))", {1, 2, 3, 4, 5}, "h 1 2\n 3 4\n 5"},
        {"(I1,2(I2),' e')", {1, 2, 3, 4}, "1 2 3 e\n 4"},
        {"(I1,2(I2,:,','))", {1, 2, 3}, "1 2, 3"},
        {"(I1,' a',I1,' b')", {1}, "1 a"}, // stops at the next data descriptor
        {"(I1,' a')", {1}, "1 a"},         // ... or at the end of the format
        {"(15(TR1,ES25.15E3))", {1.0, 2.0},
         "    1.000000000000000E+000    2.000000000000000E+000"},
    });
    // Reversion keeps the scale factor of the previous pass.
    CheckTable({{"(I1,1P,(E9.2))", {1, 2.0, 3.0}, "1 2.00E+00\n 3.00E+00"}});
    // 15 values per record.
    std::vector<FormatItem> many(16, FormatItem(1.0));
    std::vector<std::string> records;
    ASSERT_TRUE(FortranWrite("(15(TR1,ES25.15E3))", many, records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].size(), 15u * 26u);
    EXPECT_EQ(records[1], "    1.000000000000000E+000");
}

TEST(FortranFormat, NonFinite)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CheckTable({
        {"(F10.2)", {inf}, "  Infinity"},
        {"(F10.2)", {-inf}, " -Infinity"},
        {"(F5.2)", {-inf}, " -Inf"},
        {"(ES10.2)", {nan}, "       NaN"},
        {"(G15.5E2)", {nan}, "            NaN"},
        {"(F2.0)", {nan}, "**"},
    });
}

TEST(FortranFormat, FaultsReportFailure)
{
    struct Bad {
        const char* format;
        std::vector<FormatItem> items;
    };
    const std::vector<Bad> bad = {
        {"I5", {1}},           // no parentheses
        {"(I5", {1}},          // unclosed
        {"(I5))", {1}},        // text after the format
        {"(Q5)", {1}},         // unknown descriptor
        {"(F5)", {1.0}},       // F needs d
        {"(E0.3)", {1.0}},     // E needs a width
        {"(I5,,I5)", {1, 2}},  // empty item
        {"(I5,)", {1}},        // trailing comma
        {"(0I5)", {1}},        // zero repeat
        {"(I3.4)", {1}},       // m > w
        {"('abc)", {}},        // unterminated literal
        {"(I999999999)", {1}}, // width beyond any record
        {"(T0)", {}},          // positions count from 1
        {"(())", {}},          // empty group
        {"(I5)", {1.0}},       // real item for I
        {"(F5.1)", {1}},       // integer item for F
        {"(A)", {2}},          // integer item for A
        {"(I5)", {"x"}},       // text item for I
        {"(G10)", {1.0}},      // G of a real needs d
        {"(3PE10.1)", {1.0}},  // scale factor too large for d
        {"(-1PE10.1)", {1.0}}, // scale factor too small for d
        {"('x')", {1}},        // no data descriptor for the item
        {"(I1,('x'))", {1, 2}},
        {"(100000(100000('')))", {}}, // runaway loop
    };
    for (const Bad& b : bad) {
        std::vector<std::string> records;
        EXPECT_FALSE(FortranWrite(b.format, b.items, records)) << b.format;
        EXPECT_EQ(FortranFormat(b.format, b.items), "") << b.format;
    }
    // What was written before the fault stays in the records.
    std::vector<std::string> records;
    EXPECT_FALSE(FortranWrite("(I2,F5.1)", std::vector<FormatItem>{1, 2}, records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], " 1");
}

// The limits: the blanks that positioning leaves before a write count with
// the text against the 16,000,000 characters of a write, and groups nest at
// most 100 deep. Past either, the write fails as a malformed format does, at
// once and without an exception.
TEST(FortranFormat, HostileFormatsFailAtTheLimits)
{
    auto nested = [](int depth) { return std::string(depth + 1, '(') + "I5" + std::string(depth + 1, ')'); };
    struct Limit {
        std::string format;
        bool ok;
    };
    const std::vector<Limit> limits = {
        {"(160(TR99999,'x',/),'y')", false}, // one past 16,000,000 characters
        {"(100000(TR99999,'x',/))", false},  // would be 10^10
        {nested(100), true},
        {nested(101), false},
        {nested(3500), false}, // overflowed a 1 MB stack
    };
    char text[16];
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.format.substr(0, 40));
        std::vector<std::string> records;
        if (l.ok)
            EXPECT_TRUE(FortranWrite(l.format, {}, records));
        else
            EXPECT_EQ(FortranWriteText(l.format, {}, text), kFortranBadFormat);
    }
    // Exactly 16,000,000 characters, blanks included, are written.
    std::vector<std::string> records;
    ASSERT_TRUE(FortranWrite("(160(TR99999,'x',/))", {}, records));
    ASSERT_EQ(records.size(), 161u);
    EXPECT_EQ(records[0], std::string(99999, ' ') + "x");
}

TEST(FortranFormat, WriteIntoFixedText)
{
    char text[8];
    std::vector<FormatItem> one = {42};
    EXPECT_EQ(FortranWriteText("(I4)", one, text), 0);
    EXPECT_EQ(std::string(text, 8), "  42    ");
    EXPECT_EQ(FortranWriteText("(I11)", one, text), kFortranRecordOverflow);
    EXPECT_EQ(FortranWriteText("(I2/I2)", std::vector<FormatItem>{1, 2}, text), kFortranRecordOverflow);
    EXPECT_EQ(FortranWriteText("(I4", one, text), kFortranBadFormat);
    EXPECT_EQ(FortranWriteText("(F4.1)", one, text), kFortranWriteFault);
    // Overflow asterisks are a successful write.
    EXPECT_EQ(FortranWriteText("(I1)", one, text), 0);
    EXPECT_EQ(std::string(text, 8), "*       ");
}

// The 16 significant digits and the exponent of ES25.15E3 are those of
// std::to_chars at the same precision (tiny, huge and inexact values).
TEST(FortranFormat, DigitsAgreeWithToChars)
{
    const double values[] = {1.0 / 3.0, 2.0 / 3.0, 1e-5, 123456789.123456789, 6.02214076e23,
                             1.7976931348623157e308, 2.2250738585072014e-308, 0.1 + 0.2};
    for (double v : values) {
        char buf[64];
        auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 15);
        std::string expect(buf, res.ptr); // d.ddddde+XX
        std::string got = FortranFormat("(ES25.15E3)", {v});
        size_t e = expect.find('e');
        EXPECT_EQ(got.substr(3, 17), expect.substr(0, e)) << v;
        EXPECT_EQ(std::stoi(got.substr(21)), std::stoi(expect.substr(e + 1))) << v;
    }
}

// Any precision up to 17 digits: the digits and exponent of ESw.d are those of
// std::to_chars for doubles of every magnitude, single-precision values (what
// the result files hold) and exact ties between two candidates.
TEST(FortranFormat, DigitsAgreeWithToCharsAtEveryPrecision)
{
    std::mt19937_64 random(20261211);
    std::vector<double> values;
    for (int i = 0; i < 1500; ++i) {
        // Finite doubles only: a signalling NaN would trap on the first
        // comparison.
        const uint64_t bits = random() & 0x7FFFFFFFFFFFFFFFull;
        if ((bits >> 52) != 0x7FF) {
            double d = 0.0;
            std::memcpy(&d, &bits, sizeof d);
            values.push_back(i % 2 ? d : -d);
        }
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 150));
        values.push_back(static_cast<double>(static_cast<float>(values.back())));
        values.push_back(static_cast<double>(random() % 100000) + 0.5);
        values.push_back(static_cast<double>(random() % 100000) * 0.125);
    }
    for (double v : {0.5, 1.5, 2.5, 9.5, 99.5, 0.125, 0.375, 999999.5, 9.999999999999999e22, 5e-324})
        values.push_back(v);
    for (int d : {0, 1, 3, 7, 14, 15, 16, 17}) {
        const std::string format = "(ES40." + std::to_string(d) + "E4)";
        for (double v : values) {
            char buf[64];
            auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, d);
            const std::string expect(buf, res.ptr);
            const size_t e = expect.find('e');
            std::string expectDigits = expect.substr(0, e);
            expectDigits.erase(std::remove(expectDigits.begin(), expectDigits.end(), '.'), expectDigits.end());

            const std::string got = FortranFormat(format, {v});
            const size_t first = got.find_first_not_of(' ');
            const size_t gotE = got.find('E');
            ASSERT_NE(first, std::string::npos);
            ASSERT_NE(gotE, std::string::npos) << got;
            std::string gotDigits = got.substr(first, gotE - first);
            gotDigits.erase(std::remove(gotDigits.begin(), gotDigits.end(), '.'), gotDigits.end());
            ASSERT_EQ(gotDigits, expectDigits) << "value " << v << " d " << d;
            ASSERT_EQ(std::stoi(got.substr(gotE + 1)), std::stoi(expect.substr(e + 1))) << "value " << v << " d " << d;
        }
    }
}

} // namespace
