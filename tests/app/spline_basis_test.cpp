// Basis evaluation at one point: exact values at the documented points,
// partition of unity, derivative sums and C2 continuity at the interior knots
// for several parameter sets, and the defined result of a bad call.
#include <gtest/gtest.h>

#include "app/spline_basis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// The application's knot vector and a 7 x 7 identity coefficient matrix.
const std::vector<double> kKnots = {0, 0, 0, 0, 0.625, 1.25, 1.875, 2.5, 2.5, 2.5, 2.5};

SplineMatrix Identity7()
{
    SplineMatrix c;
    c.rows = c.cols = 7;
    c.data.assign(49, 0.0);
    for (int i = 0; i < 7; ++i)
        c(i, i) = 1.0;
    return c;
}

std::vector<double> Parameters(std::array<double, 4> p)
{
    std::vector<double> px(10, 0.0);
    for (int i = 0; i < 4; ++i)
        px[i + 3] = p[i];
    return px;
}

using Eval = void (*)(double, std::span<const double>, std::span<const double>, int,
                      const SplineMatrix&, int, std::span<double>);

std::array<double, 7> At(Eval f, double x, int k, const std::vector<double>& px)
{
    std::array<double, 7> out;
    out.fill(-99.0);
    f(x, kKnots, px, k, Identity7(), 7, out);
    return out;
}

// Interval (4..7) that holds x, the left one at a knot (as the tabulation does).
int IntervalOf(double x)
{
    for (int k = 4; k <= 7; ++k)
        if (x < kKnots[k])
            return k;
    return 7;
}

const std::array<double, 4> kParameterSets[] = {
    {0, 0, 0, 0}, {10, 50, 100, 3}, {100, 100, 100, 100}, {1, 0, 7, 100}, {100, 0, 100, 0},
    {0.5, 0.8, 50, 49},
};

} // namespace

TEST(SplineBasis, CubicCaseAtPointThree)
{
    auto v = At(BasisValuesAt, 0.3, 4, Parameters({0, 0, 0, 0}));
    const double cubic[7] = {0.140608, 0.596736, 0.244224, 0.018432, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(v[i], cubic[i], 1e-16) << "B" << i + 1;
    for (int i = 4; i < 7; ++i)
        EXPECT_EQ(v[i], 0.0);
}

TEST(SplineBasis, ExactValuesWithTension)
{
    auto v = At(BasisValuesAt, 0.9, 5, Parameters({10, 50, 100, 3}));
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[1], 0.12943216019390827);
    EXPECT_EQ(v[2], 0.7138869020962763);
    EXPECT_EQ(v[3], 0.15668093768148472);
    EXPECT_EQ(v[4], 2.8330753769499265e-11);
    EXPECT_EQ(v[5], 0.0);
    EXPECT_EQ(v[6], 0.0);
}

TEST(SplineBasis, RightEnd)
{
    auto px = Parameters({10, 50, 100, 3});
    auto v = At(BasisValuesAt, 2.5, 7, px);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(v[i], 0.0);
    EXPECT_EQ(v[6], 1.0);
    auto d = At(BasisFirstDerivativesAt, 2.5, 7, px);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(d[i], 0.0);
    EXPECT_EQ(d[5], -5.7931244748908535);
    EXPECT_EQ(d[6], 5.7931244748908535);
}

TEST(SplineBasis, PartitionOfUnityAndDerivativeSums)
{
    for (const auto& p : kParameterSets) {
        auto px = Parameters(p);
        for (int n = 0; n <= 250; ++n) {
            double x = n * 0.01;
            int k = IntervalOf(x);
            auto v = At(BasisValuesAt, x, k, px);
            auto d1 = At(BasisFirstDerivativesAt, x, k, px);
            auto d2 = At(BasisSecondDerivativesAt, x, k, px);
            double s0 = 0, s1 = 0, s2 = 0, scale2 = 0;
            for (int i = 0; i < 7; ++i) {
                s0 += v[i];
                s1 += d1[i];
                s2 += d2[i];
                scale2 = std::max(scale2, std::fabs(d2[i]));
                EXPECT_GE(v[i], -1e-15) << "x=" << x << " B" << i + 1;
            }
            EXPECT_NEAR(s0, 1.0, 1e-12) << "x=" << x << " p=" << p[0] << "," << p[1];
            EXPECT_NEAR(s1, 0.0, 1e-12) << "x=" << x << " p=" << p[0] << "," << p[1];
            EXPECT_NEAR(s2, 0.0, 1e-12 * std::max(1.0, scale2))
                << "x=" << x << " p=" << p[0] << "," << p[1];
        }
    }
}

TEST(SplineBasis, C2ContinuityAtInteriorKnots)
{
    for (const auto& p : kParameterSets) {
        auto px = Parameters(p);
        for (int k = 5; k <= 7; ++k) {
            double knot = kKnots[k - 1];
            for (Eval f : {Eval(BasisValuesAt), Eval(BasisFirstDerivativesAt),
                           Eval(BasisSecondDerivativesAt)}) {
                auto left = At(f, knot, k - 1, px);  // right end of the interval before
                auto right = At(f, knot, k, px);     // left end of the interval after
                for (int i = 0; i < 7; ++i)
                    EXPECT_NEAR(left[i], right[i], 1e-10 * std::max(1.0, std::fabs(right[i])))
                        << "knot " << knot << " B" << i + 1 << " p=" << p[0] << "," << p[1]
                        << "," << p[2] << "," << p[3];
            }
        }
    }
}

TEST(SplineBasis, EndCasesJoinTheInteriorFormula)
{
    for (const auto& p : kParameterSets) {
        auto px = Parameters(p);
        for (int k = 4; k <= 7; ++k) {
            const double a = kKnots[k - 1];
            const double b = kKnots[k];
            for (Eval f : {Eval(BasisValuesAt), Eval(BasisFirstDerivativesAt),
                           Eval(BasisSecondDerivativesAt)}) {
                auto atA = At(f, a, k, px);
                auto nearA = At(f, a + 1e-9, k, px);
                auto atB = At(f, b, k, px);
                auto nearB = At(f, b - 1e-9, k, px);
                for (int i = 0; i < 7; ++i) {
                    EXPECT_NEAR(atA[i], nearA[i], 1e-5 * std::max(1.0, std::fabs(atA[i])))
                        << "k=" << k << " B" << i + 1 << " p=" << p[0];
                    EXPECT_NEAR(atB[i], nearB[i], 1e-5 * std::max(1.0, std::fabs(atB[i])))
                        << "k=" << k << " B" << i + 1 << " p=" << p[0];
                }
            }
        }
    }
}

TEST(SplineBasis, CoefficientRowsCombineTheColumns)
{
    // Row j of the result is sum_i c(j, i) B_i: a switched-off column drops out,
    // a row with several entries adds them.
    auto px = Parameters({10, 50, 100, 3});
    SplineMatrix c;
    c.rows = 2;
    c.cols = 7;
    c.data.assign(14, 0.0);
    for (int i = 0; i < 7; ++i)
        c(0, i) = 1.0;
    c(1, 2) = 2.0;
    for (Eval f : {Eval(BasisValuesAt), Eval(BasisFirstDerivativesAt),
                   Eval(BasisSecondDerivativesAt)}) {
        auto single = At(f, 0.9, 5, px);
        std::array<double, 2> out;
        f(0.9, kKnots, px, 5, c, 2, out);
        double sum = 0;
        for (double v : single)
            sum += v;
        EXPECT_NEAR(out[0], sum, 1e-12 * std::max(1.0, std::fabs(single[2])));
        EXPECT_NEAR(out[1], 2.0 * single[2], 1e-12 * std::max(1.0, std::fabs(single[2])));
    }
}

TEST(SplineBasis, BadCallsGiveZerosAndReadNothingOutside)
{
    auto px = Parameters({10, 50, 100, 3});
    for (Eval f : {Eval(BasisValuesAt), Eval(BasisFirstDerivativesAt),
                   Eval(BasisSecondDerivativesAt)}) {
        for (auto [x, k] : {std::pair{0.0, 3}, {2.5, 8}, {0.9, 4}, {-0.1, 4}, {2.6, 7}}) {
            auto out = At(f, x, k, px);
            for (double v : out)
                EXPECT_EQ(v, 0.0) << "x=" << x << " k=" << k;
        }
        // A knot vector too short for the interval.
        std::array<double, 7> out;
        out.fill(-1.0);
        std::vector<double> shortKnots(kKnots.begin(), kKnots.begin() + 8);
        f(1.9, shortKnots, px, 7, Identity7(), 7, out);
        for (double v : out)
            EXPECT_EQ(v, 0.0);
        // More rows than the matrix has: zeros.
        std::array<double, 8> big;
        big.fill(-1.0);
        f(0.9, kKnots, px, 5, Identity7(), 8, big);
        for (double v : big)
            EXPECT_EQ(v, 0.0);
        // An output shorter than m: nothing is written past its end.
        std::vector<double> buffer(5, -1.0);
        f(0.9, kKnots, px, 5, Identity7(), 7, std::span<double>(buffer.data(), 3));
        EXPECT_EQ(buffer[2], 0.0);
        EXPECT_EQ(buffer[3], -1.0);
    }
}

TEST(SplineBasis, AllPartsPreparedAtOnceGiveWhatEachPartGivesAlone)
{
    // The single routines prepare only their own part for one point (their
    // values are checked against known results above); one interval prepared
    // for all three parts and evaluated at many points (the knots included)
    // must give the same results to the bit, so the parts share nothing that
    // one of them spoils. A point outside the interval, or an output too
    // short, gives zeros.
    SplineMatrix c = Identity7();
    c(0, 3) = 0.5;
    c(2, 5) = -1.5;
    for (const auto& p : kParameterSets) {
        auto px = Parameters(p);
        for (int k = 4; k <= 7; ++k) {
            BasisInterval interval;
            ASSERT_TRUE(BasisIntervalPrepare(kKnots, px, k, c, 7, kBasisAllParts, interval));
            for (int n = 0; n <= 250; n += 5) {
                const double x = n * 0.01;
                std::array<double, 7> v, d1, d2;
                v.fill(-99.0);
                d1.fill(-99.0);
                d2.fill(-99.0);
                BasisPointAt(interval, x, v, d1, d2);
                const bool inside = kKnots[k - 1] <= x && x <= kKnots[k];
                const Eval routines[3] = {BasisValuesAt, BasisFirstDerivativesAt, BasisSecondDerivativesAt};
                const std::array<double, 7>* got[3] = {&v, &d1, &d2};
                for (int r = 0; r < 3; ++r) {
                    std::array<double, 7> single;
                    single.fill(-99.0);
                    routines[r](x, kKnots, px, k, c, 7, single);
                    for (int i = 0; i < 7; ++i) {
                        EXPECT_EQ((*got[r])[i], single[i]) << "part " << r << " k=" << k << " x=" << x << " B" << i;
                        if (!inside)
                            EXPECT_EQ((*got[r])[i], 0.0);
                    }
                }
            }
            std::array<double, 5> shortOut;
            shortOut.fill(-99.0);
            BasisPointAt(interval, kKnots[k - 1], shortOut, {}, {});
            for (double value : shortOut)
                EXPECT_EQ(value, 0.0);
        }
    }
    // A bad interval number prepares nothing and evaluates to zeros.
    BasisInterval bad;
    EXPECT_FALSE(BasisIntervalPrepare(kKnots, Parameters({1, 2, 3, 4}), 8, c, 7, kBasisAllParts, bad));
    std::array<double, 7> out;
    out.fill(-99.0);
    BasisPointAt(bad, 2.5, out, {}, {});
    for (double value : out)
        EXPECT_EQ(value, 0.0);
}
