// The plot files' fixed-width numbers against the formatter they stand in for.
#include <gtest/gtest.h>

#include "core/fixed_fields.h"
#include "core/fortran_format.h"

#include <cmath>
#include <random>
#include <string>

namespace {

std::string Fixed(double v, int w, int d)
{
    std::string s;
    AppendFixedField(s, v, w, d);
    return s;
}

std::string Int(int64_t v, int w)
{
    std::string s;
    AppendIntField(s, v, w);
    return s;
}

std::string Formatter(double v, int w, int d)
{
    return FortranFormat("(F" + std::to_string(w) + "." + std::to_string(d) + ")", {v});
}

} // namespace

// Wherever the value fits, the characters are the formatter's, over the
// fields the drivers write and values of every size, sign and rounding case.
TEST(FixedFields, SameCharactersAsTheFormatterWhereTheValueFits)
{
    struct Field { int w, d; } fields[] = {{9, 2}, {8, 1}, {8, 4}, {5, 1}, {8, 2}, {6, 0}, {10, 3}, {4, 2}, {12, 6}};
    std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 0.004, -0.004, 0.005, 0.015, 0.125, 0.375, 1.0, -1.0,
                                  2.5, 99.995, 12345.678, -9999.99, 0.1, 0.7, 1e-9, -1e-9, 31.4159265};
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> mag(-6.0, 5.0);
    for (int i = 0; i < 3000; ++i) {
        double v = std::pow(10.0, mag(rng));
        values.push_back(i % 2 ? -v : v);
    }
    int compared = 0;
    for (const Field& f : fields)
        for (double v : values) {
            const std::string want = Formatter(v, f.w, f.d);
            if (want.find('*') != std::string::npos)
                continue; // too wide: covered below
            ++compared;
            ASSERT_EQ(Fixed(v, f.w, f.d), want) << "F" << f.w << "." << f.d << " of " << v;
        }
    EXPECT_GT(compared, 10000);
    for (int64_t v : {0LL, 7LL, -7LL, 12345LL, -99999LL, 2147483647LL, -2147483648LL})
        for (int w : {1, 3, 6, 11, 12}) {
            const std::string want = FortranFormat("(I" + std::to_string(w) + ")", {v});
            if (want.find('*') == std::string::npos) {
                EXPECT_EQ(Int(v, w), want) << v << " I" << w;
            }
        }
    EXPECT_EQ(Fixed(INFINITY, 9, 2), Formatter(INFINITY, 9, 2));
    EXPECT_EQ(Fixed(NAN, 9, 2), Formatter(NAN, 9, 2));
}

// Too wide for the field: all the digits, never asterisks; the limit fits.
TEST(FixedFields, ValuesWiderThanTheFieldKeepAllTheirDigits)
{
    EXPECT_EQ(Fixed(123456.789, 8, 2), "123456.79");
    EXPECT_EQ(Fixed(-1e9, 9, 2), "-1000000000.00");
    EXPECT_EQ(Fixed(0.5, 3, 2), ".50");
    EXPECT_EQ(Int(1234567, 6), "1234567");
    EXPECT_EQ(Int(-100, 2), "-100");
    EXPECT_EQ(Fixed(123456.0, 4, 0), "123456.");
    EXPECT_EQ(FixedFieldLimit(9, 2), 99999.99);
    EXPECT_EQ(Fixed(-FixedFieldLimit(9, 2), 9, 2), "-99999.99");
    EXPECT_EQ(Fixed(-FixedFieldLimit(8, 4), 8, 4), "-99.9999");
    EXPECT_EQ(FixedFieldLimit(3, 2), 0.0);
}
