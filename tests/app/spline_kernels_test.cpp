// Kernels and window quantities of the tension spline space: the branch
// choices at the thresholds, the exact values at the special points and the
// continuity of the one-span term across its branches.
#include <gtest/gtest.h>

#include "app/spline_kernels.h"
#include "app/spline_span.h"

#include <array>
#include <cmath>

TEST(SplineKernels, Phi1SpecialPointsAndBranches)
{
    EXPECT_EQ(KernelPhi1(0.0), 0.5);
    // The series keeps full precision where exp(z) - 1 - z would cancel.
    EXPECT_NEAR(KernelPhi1(1e-9), 0.4999999999166667, 2e-16);
    EXPECT_NEAR(KernelPhi1(-1e-9), 0.5000000000833333, 2e-16);
    EXPECT_NEAR(KernelPhi1(50.0), 0.02, 1e-17);
    EXPECT_EQ(KernelPhi1(50.1), 1.0 / 50.1);
    EXPECT_NEAR(KernelPhi1(-50.0), 0.98, 1e-15);
    EXPECT_EQ(KernelPhi1(-50.1), 1.0 / -50.1 + 1.0);
    // phi1(z) + phi1(-z) = 1 (just above the series threshold exp(z) - 1 - z
    // loses a few digits).
    for (double z : {0.01, 0.125, 0.7, 3.0, 20.0, 49.0})
        EXPECT_NEAR(KernelPhi1(z) + KernelPhi1(-z), 1.0, 1e-13) << z;
}

TEST(SplineKernels, Phi2SpecialPointsAndBranches)
{
    EXPECT_EQ(KernelPhi2(0.0), 0.3333333333333333);
    EXPECT_NEAR(KernelPhi2(50.0), 0.02, 1e-15);
    EXPECT_NEAR(KernelPhi2(-100.0), 0.49505050505050505, 1e-15);
    // Near 0: phi2(z) = 1/3 - z/36 + O(z^2), from the series.
    EXPECT_NEAR(KernelPhi2(1e-6), 1.0 / 3.0 - 1e-6 / 36.0, 1e-14);
    // Arguments so small that z^2/2 underflows give the limit, not a fault.
    EXPECT_EQ(KernelPhi2(1e-200), 0.3333333333333333);
    // The two branches meet at z = 50.
    EXPECT_NEAR(KernelPhi2(std::nextafter(50.0, 0.0)), KernelPhi2(50.0), 1e-15);
}

TEST(SplineKernels, ExponentialRemaindersSwitchToExpAtOneEighth)
{
    EXPECT_EQ(KernelExpM1(0.125), std::exp(0.125) - 1.0);
    EXPECT_EQ(KernelExpM1(-0.125), std::exp(-0.125) - 1.0);
    EXPECT_EQ(KernelExpM2(0.125), (std::exp(0.125) - 1.0) - 0.125);
    EXPECT_EQ(KernelExpM3(-0.125), ((std::exp(-0.125) - 1.0) + 0.125) - (0.125 * 0.125) * 0.5);
    // Below the threshold the series: relative precision where exp cancels.
    EXPECT_NEAR(KernelExpM1(1e-12) / 1e-12, 1.0000000000005, 1e-15);
    EXPECT_NEAR(KernelExpM2(1e-4) / 5.000166670833417e-09, 1.0, 1e-14);
    EXPECT_NEAR(KernelExpM3(1e-3) / 1.6670834166805558e-10, 1.0, 1e-14);
    EXPECT_EQ(KernelExpM1(0.0), 0.0);
    EXPECT_EQ(KernelExpM3(0.0), 0.0);
    // Beyond the double range: infinity, not an overflow fault.
    EXPECT_TRUE(std::isinf(KernelExpM1(800.0)));
}

TEST(SplineKernels, QuotientAndRationalApproximations)
{
    EXPECT_EQ(KernelExpM1OverZ(0.0), 1.0);
    EXPECT_NEAR(KernelExpM1OverZ(1e-8), 1.000000005, 1e-15);
    EXPECT_NEAR(KernelExpM1OverZ(-1.0), 0.6321205588285577, 1e-15);
    EXPECT_NEAR(KernelExpM1OverZ(60.0) / (std::exp(60.0) / 60.0), 1.0, 1e-14);
    EXPECT_EQ(KernelRationalA(0.0), -0.25);
    EXPECT_EQ(KernelRationalB(0.0), 1.0 / 6.0);
}

TEST(SplineKernels, RatioIsZeroWithoutNumeratorOrDivisor)
{
    EXPECT_EQ(KernelRatio(0.0, 0.0), 0.0);
    EXPECT_EQ(KernelRatio(0.0, 2.0), 0.0);
    EXPECT_EQ(KernelRatio(3.0, 2.0), 1.5);
    EXPECT_EQ(KernelRatio(3.0, 0.0), 0.0);
}

TEST(SplineKernels, WeightsAtCoincidentKnotsAndEqualSpans)
{
    for (double s : {0.0, 7.0, 100.0})
        for (double t : {0.0, 3.0, 100.0}) {
            EXPECT_EQ(WeightRight(0.0, 0.0, 0.625, s, t), 1.0);
            EXPECT_EQ(WeightLeft(0.0, 0.0, 0.625, s, t), 0.0);
            EXPECT_EQ(WeightRight(0.0, 0.625, 0.625, s, t), 0.0);
            EXPECT_EQ(WeightLeft(0.0, 0.625, 0.625, s, t), 1.0);
            EXPECT_EQ(WeightRightAlt(0.0, 0.625, s, t), 1.0);
            EXPECT_EQ(WeightLeftAlt(0.0, 0.625, s, t), 0.0);
            EXPECT_EQ(WeightRightAlt(0.625, 0.0, s, t), 0.0);
            EXPECT_EQ(WeightLeftAlt(0.625, 0.0, s, t), 1.0);
            // Both spans zero: the first test wins.
            EXPECT_EQ(WeightRight(0.0, 0.0, 0.0, s, t), 1.0);
            EXPECT_EQ(WeightLeft(0.0, 0.0, 0.0, s, t), 0.0);
        }
    EXPECT_EQ(WeightRight(0.0, 0.625, 1.25, 0.0, 0.0), 0.5);
    EXPECT_EQ(WeightLeft(0.0, 0.625, 1.25, 0.0, 0.0), 0.5);
    // The weights split the knot: they add up to 1, and the span forms agree.
    for (auto [s, t] : {std::pair{10.0, 50.0}, {100.0, 3.0}, {0.0, 100.0}, {1.0, 1.0}}) {
        double wr = WeightRight(0.625, 1.25, 1.875, s, t);
        double wl = WeightLeft(0.625, 1.25, 1.875, s, t);
        EXPECT_NEAR(wr + wl, 1.0, 1e-15);
        EXPECT_EQ(WeightRightAlt(0.625, 0.625, s, t), wr);
        EXPECT_NEAR(WeightLeftAlt(0.625, 0.625, s, t), wl, 1e-15);
        // With equal spans and parameters >= 0 the right interval weighs at least half.
        EXPECT_GE(wr, 0.5);
    }
}

TEST(SplineSpans, CubicCaseSums)
{
    for (auto [h1, h2] : {std::pair{0.625, 0.625}, {0.0, 0.625}, {0.3, 0.1}}) {
        EXPECT_NEAR(SpanPhi2Sum(h1, h2, 0.0, 0.0), (h1 + h2) / 3.0, 1e-16);
        EXPECT_EQ(SpanPhi1Sum(h1, h2, 0.0, 0.0), (h1 + h2) / 2.0);
    }
    EXPECT_EQ(SpanExpTerm(0.625, 0.0), 0.20833333333333331);
    EXPECT_EQ(SpanExpTerm(0.0, 50.0), 0.0);
}

TEST(SplineSpans, OneSpanTermBranches)
{
    // z = 62.5: the asymptotic form h (z - 2) / (2 (z - 1)).
    EXPECT_NEAR(SpanExpTerm(0.625, 100.0), 0.625 * 60.5 / 123.0, 1e-16);
    // The three branches join: z just below and at 0.5 and 50.
    EXPECT_NEAR(SpanExpTerm(1.0, std::nextafter(0.5, 0.0)), SpanExpTerm(1.0, 0.5), 1e-14);
    EXPECT_NEAR(SpanExpTerm(1.0, std::nextafter(50.0, 0.0)), SpanExpTerm(1.0, 50.0), 1e-14);
    // z = 0.4375 (rational branch) and z = 0.5 (exponential branch) lie on one
    // smooth curve: R falls from h/3 towards h/2 as p grows.
    double r0 = SpanExpTerm(0.625, 0.0);
    double r7 = SpanExpTerm(0.625, 0.7);
    double r8 = SpanExpTerm(0.625, 0.8);
    EXPECT_GT(r7, r0);
    EXPECT_GT(r8, r7);
    EXPECT_LT(r8 - r7, 0.01);
}

TEST(SplineSpans, RampsAreLinearWithoutParameter)
{
    EXPECT_EQ(ExpRampB(0.2, 0.625, 0.0), 0.2 / 0.625);
    EXPECT_EQ(ExpRampA(0.2, 0.425, 0.625, 0.0), 0.2 / 0.625);
    for (double p : {1.0, 10.0, 100.0}) {
        EXPECT_EQ(ExpRampB(0.0, 0.625, p), 0.0);
        EXPECT_EQ(ExpRampB(0.625, 0.625, p), 1.0);
        EXPECT_EQ(ExpRampA(0.625, 0.0, 0.625, p), 1.0);
        // rA(u, v, h, p) = e^(-p v) rB(u, h, p).
        EXPECT_NEAR(ExpRampA(0.2, 0.425, 0.625, p),
                    std::exp(-p * 0.425) * ExpRampB(0.2, 0.625, p), 1e-15);
    }
    // A zero-length ramp has no value: 0, not a fault.
    EXPECT_EQ(ExpRampB(0.0, 0.0, 0.0), 0.0);
    EXPECT_EQ(ExpRampB(0.0, 0.0, 5.0), 0.0);
}

TEST(SplineSpans, DenominatorsAndRatios)
{
    // The denominator from knots equals the one from spans.
    for (auto p : {std::array{0.0, 0.0, 0.0}, {10.0, 50.0, 100.0}, {100.0, 0.0, 3.0}}) {
        EXPECT_NEAR(RecursionDenominator(0.0, 0.625, 1.25, 1.875, p[0], p[1], p[2]),
                    SpanPhiCombination(0.625, 0.625, 0.625, p[0], p[1], p[2]), 1e-15);
        EXPECT_NEAR(RecursionDenominator(0.0, 0.0, 0.0, 0.625, p[0], p[1], p[2]),
                    SpanPhiCombination(0.0, 0.0, 0.625, p[0], p[1], p[2]), 1e-15);
    }
    // At the clamped left end (x0 = x1 = x2) there is no left part.
    const double x[5] = {0.0, 0.0, 0.0, 0.625, 1.25};
    const double p[4] = {0.0, 0.0, 10.0, 50.0};
    EXPECT_EQ(RecursionRatioB(std::span<const double, 4>(x, 4), std::span<const double, 3>(p, 3)),
              0.0);
    std::array<double, 4> g;
    RecursionRatiosC(std::span<const double, 5>(x, 5), std::span<const double, 4>(p, 4), g);
    EXPECT_EQ(g[0], 0.0);
    // Interior window: gamma1 = alphaB of the first window, gamma4 = alphaA of
    // the second, gamma2 and gamma3 their complements.
    const double y[5] = {0.0, 0.625, 1.25, 1.875, 2.5};
    const double q[4] = {10.0, 50.0, 100.0, 3.0};
    RecursionRatiosC(std::span<const double, 5>(y, 5), std::span<const double, 4>(q, 4), g);
    double aA1 = RecursionRatioA(std::span<const double, 4>(y, 4), std::span<const double, 3>(q, 3));
    double aB1 = RecursionRatioB(std::span<const double, 4>(y, 4), std::span<const double, 3>(q, 3));
    double aA2 = RecursionRatioA(std::span<const double, 4>(y + 1, 4),
                                 std::span<const double, 3>(q + 1, 3));
    double aB2 = RecursionRatioB(std::span<const double, 4>(y + 1, 4),
                                 std::span<const double, 3>(q + 1, 3));
    EXPECT_EQ(g[0], aB1);
    EXPECT_EQ(g[3], aA2);
    EXPECT_NEAR(g[1], 1.0 - aA1, 1e-15);
    EXPECT_NEAR(g[2], 1.0 - aB2, 1e-15);
}
