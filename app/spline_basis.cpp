// Basis evaluation at one point, in three levels: four local values of the
// interval combined with recursion ratios into the four basis functions; the
// first derivatives from coefficient differences over recursion denominators,
// evaluated with the three functions per interval of the once-differentiated
// space; the second derivatives with the two functions per interval of the
// twice-differentiated space. The arithmetic order is the definition of the
// results (all parameters 0 give the clamped cubic B-splines). What depends
// only on the interval is formed once per interval (BasisIntervalPrepare);
// what depends on the point is formed per point (BasisPointAt).
#include "app/spline_basis.h"

#include "app/spline_kernels.h"
#include "app/spline_span.h"

#include <array>

namespace {

// A matrix column: m doubles.
using Column = const double*;

// Columns of the identity blocks that the upper levels pass down.
constexpr double kI4[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
constexpr double kI3[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

double Phi1(double z) { return KernelPhi1(z); }
double T(double h1, double h2, double s, double t) { return SpanPhi1Sum(h1, h2, s, t); }
double Dh(double h1, double h2, double h3, double s, double t, double u)
{
    return SpanPhiCombination(h1, h2, h3, s, t, u);
}

// The spans and parameters of the interval [y2, y3] and its neighbours
// (knots y1..y4 = t[1..4], parameters p1..p3 = q[1..3] of the spans starting
// at y1..y3), and the two phi1 values of the interval.
void SpansPrepare(BasisInterval& w)
{
    const double* y = w.t.data() + 1;
    w.h0 = y[1] - y[0];
    w.h = y[2] - y[1];
    w.h2 = y[3] - y[2];
    w.p0 = w.q[1];
    w.p = w.q[2];
    w.p2 = w.q[3];
    w.phiMinus = Phi1(-(w.p * w.h));
    w.phiPlus = Phi1(w.p * w.h);
}

// The constants of the four local values N1..N4 of the interval.
void LocalConstantsPrepare(BasisInterval& w)
{
    const double* y = w.t.data() + 1;
    const double h0 = w.h0, h = w.h, h2 = w.h2, p0 = w.p0, p = w.p, p2 = w.p2;
    if (y[0] != y[1]) {
        w.left1 = Dh(0.0, 0.0, h, 0.0, 0.0, p);
        w.left2 = Dh(h0, 0.0, 0.0, p0, 0.0, 0.0);
        w.left3 = Dh(h0, 0.0, h, p0, 0.0, p);
    }
    if (y[2] != y[3]) {
        w.right1 = Dh(0.0, 0.0, h2, 0.0, 0.0, p2);
        w.right2 = Dh(h, 0.0, 0.0, p, 0.0, 0.0);
        w.right3 = Dh(h, 0.0, h2, p, 0.0, p2);
    }
    w.d2 = Dh(h0, 0.0, h, p0, 0.0, p);
    w.d7 = Dh(0.0, h, 0.0, 0.0, p, 0.0);
    w.d10 = Dh(h, 0.0, h2, p, 0.0, p2);
    w.t4 = T(h, 0.0, p, 0.0);
    w.t6 = T(0.0, h, 0.0, p);
}

// The four local values at X combined with the columns A1..A4:
// out[i] = sum A_n[i] N_n.
void BasisLocalValues(double x, const BasisInterval& w, const std::array<Column, 4>& A, int m, double* out)
{
    const double* y = w.t.data() + 1;
    const double h0 = w.h0, h = w.h, p0 = w.p0, p = w.p;
    const double u = x - y[1];
    const double v = y[2] - x;

    if (x == y[1]) {
        if (y[0] != y[1]) {
            for (int i = 0; i < m; ++i)
                out[i] = (A[0][i] * w.left1 + A[1][i] * w.left2) / w.left3;
        } else {
            for (int i = 0; i < m; ++i)
                out[i] = A[0][i];
        }
        return;
    }
    if (x == y[2]) {
        if (y[2] != y[3]) {
            for (int i = 0; i < m; ++i)
                out[i] = (A[2][i] * w.right1 + A[3][i] * w.right2) / w.right3;
        } else {
            for (int i = 0; i < m; ++i)
                out[i] = A[3][i];
        }
        return;
    }

    const double d1 = Dh(0.0, 0.0, v, 0.0, 0.0, p);
    const double d2 = w.d2;
    const double d3 = Dh(0.0, u, v, 0.0, p, p);
    const double d4 = Dh(0.0, u, 0.0, 0.0, p, 0.0);
    const double d5 = Dh(u, v, 0.0, p, p, 0.0);
    const double d6 = Dh(u, 0.0, v, p, 0.0, p);
    const double d7 = w.d7;
    const double d8 = Dh(u, 0.0, 0.0, p, 0.0, 0.0);
    const double d9 = Dh(0.0, v, 0.0, 0.0, p, 0.0);
    const double d10 = w.d10;
    const double d11 = Dh(h0, 0.0, u, p0, 0.0, p);
    const double d12 = Dh(v, 0.0, w.h2, p, 0.0, w.p2);

    const double t1 = T(0.0, v, 0.0, p);
    const double t2 = T(u, v, p, p);
    const double t3 = T(v, 0.0, p, 0.0);
    const double t4 = w.t4;
    const double t5 = T(0.0, u, 0.0, p);
    const double t6 = w.t6;
    const double t7 = T(u, 0.0, p, 0.0);

    const double n1 = (((ExpRampB(v, h, p) * v) * Phi1(-(p * v))) * d1) / ((w.phiMinus * h) * d2);
    const double n2 = ((((d1 * d4) * d5) / d3 + d8 * d9) * t3) / ((t4 * d6) * d7) +
                      ((t1 * d1) * d11) / ((d3 * t2) * d2);
    const double n3 = ((t7 * d8) * d12) / ((t2 * d5) * d10) +
                      ((((d9 * d8) * d3) / d5 + d1 * d4) * t5) / ((t6 * d6) * d7);
    const double n4 = (((ExpRampA(u, v, h, p) * u) * Phi1(p * u)) * d8) / ((w.phiPlus * h) * d10);

    for (int i = 0; i < m; ++i)
        out[i] = ((A[0][i] * n1 + A[1][i] * n2) + A[2][i] * n3) + A[3][i] * n4;
}

// Three functions L1..L3 of the once-differentiated space on [a, b] =
// [y2, y3] with parameter p, combined with the columns B1..B3.
void BasisLevelTwoPieces(double x, const BasisInterval& w, const std::array<Column, 3>& B, int m, double* out)
{
    const double a = w.t[2];
    const double b = w.t[3];
    if (x == a) {
        for (int i = 0; i < m; ++i)
            out[i] = B[0][i];
        return;
    }
    if (x == b) {
        for (int i = 0; i < m; ++i)
            out[i] = B[2][i];
        return;
    }
    const double p = w.p;
    const double u = x - a;
    const double v = b - x;
    const double h = b - a;
    const double l1 = ((ExpRampB(v, h, p) * v) * Phi1(-(p * v))) / (h * w.phiMinus);
    const double l2 = ((((v * Phi1(-(p * v))) * u) * Phi1(-(p * u))) / (h * w.phiMinus) +
                       (((u * Phi1(p * u)) * v) * Phi1(p * v)) / (h * w.phiPlus)) /
                      ((v * Phi1(-(p * v))) + (Phi1(p * u) * u));
    const double l3 = ((ExpRampA(u, v, h, p) * u) * Phi1(p * u)) / (h * w.phiPlus);
    for (int i = 0; i < m; ++i)
        out[i] = (B[0][i] * l1 + B[1][i] * l2) + B[2][i] * l3;
}

// The once-differentiated basis on [y2, y3], combined with the columns C1..C3.
void BasisLevelTwoValues(double x, const BasisInterval& w, const std::array<Column, 3>& C, int m, double* out)
{
    double L[3];
    BasisLevelTwoPieces(x, w, {kI3[0], kI3[1], kI3[2]}, 3, L);
    const double m1 = w.weightRight0 * L[0];
    const double m2 = w.weightRight1 * L[2] + (w.weightLeft0 * L[0] + L[1]);
    const double m3 = w.weightLeft1 * L[2];
    for (int i = 0; i < m; ++i)
        out[i] = (C[0][i] * m1 + C[1][i] * m2) + C[2][i] * m3;
}

// The twice-differentiated basis on [a, b] with parameter p, combined with
// the columns C1, C2.
void BasisLevelThreeValues(double x, double a, double b, double p, Column c1, Column c2, int m,
                           double* out)
{
    double g1;
    double g2;
    if (x == a) {
        g1 = 1.0;
        g2 = 0.0;
    } else if (x == b) {
        g1 = 0.0;
        g2 = 1.0;
    } else {
        const double u = x - a;
        const double v = b - x;
        const double h = b - a;
        g1 = ExpRampB(v, h, p);
        g2 = ExpRampA(u, v, h, p);
    }
    for (int i = 0; i < m; ++i)
        out[i] = g1 * c1[i] + g2 * c2[i];
}

// The recursion ratios that combine the local values into B_{k-3} .. B_k.
void RatiosPrepare(BasisInterval& w)
{
    const double* t = w.t.data();
    const double* q = w.q.data();
    w.ratioA = RecursionRatioA(std::span<const double, 4>(t, 4), std::span<const double, 3>(q, 3));
    RecursionRatiosC(std::span<const double, 5>(t, 5), std::span<const double, 4>(q, 4), w.gamma);
    RecursionRatiosC(std::span<const double, 5>(t + 1, 5), std::span<const double, 4>(q + 1, 4), w.gammaNext);
    w.ratioB = RecursionRatioB(std::span<const double, 4>(t + 2, 4), std::span<const double, 3>(q + 2, 3));
}

// The first-difference columns: d[n][i] = (c(i, k-3+n+1) - c(i, k-3+n)) / D
// over the knots xx(k-2+n .. k+1+n), n = 0..2; a zero denominator gives 0.
void FirstDifferencesPrepare(BasisInterval& w)
{
    const int m = w.m;
    const size_t rows = static_cast<size_t>(m);
    w.differences.assign(3 * rows, 0.0);
    for (int n = 2; n >= 0; --n) {
        const double den = RecursionDenominator(w.t[n], w.t[n + 1], w.t[n + 2], w.t[n + 3], w.q[n], w.q[n + 1],
                                                w.q[n + 2]);
        if (den == 0.0)
            continue;
        const double* lower = w.columns.data() + n * rows;
        const double* upper = lower + rows;
        double* d = w.differences.data() + n * rows;
        for (int i = 0; i < m; ++i)
            d[i] = (upper[i] - lower[i]) / den;
    }
}

// The knot weights of the once-differentiated basis.
void WeightsPrepare(BasisInterval& w)
{
    const double* y = w.t.data() + 1;
    const double* pi = w.q.data() + 1;
    w.weightRight0 = WeightRight(y[0], y[1], y[2], pi[0], pi[1]);
    w.weightRight1 = WeightRight(y[1], y[2], y[3], pi[1], pi[2]);
    w.weightLeft0 = WeightLeft(y[0], y[1], y[2], pi[0], pi[1]);
    w.weightLeft1 = WeightLeft(y[1], y[2], y[3], pi[1], pi[2]);
}

// The second-difference columns e1, e2 from the first differences.
void SecondDifferencesPrepare(BasisInterval& w)
{
    const int m = w.m;
    const size_t rows = static_cast<size_t>(m);
    const std::array<double, 6>& t = w.t;
    const std::array<double, 5>& q = w.q;
    const double den2 = T(t[3] - t[2], t[4] - t[3], q[2], q[3]);
    const double den1 = T(t[2] - t[1], t[3] - t[2], q[1], q[2]);
    w.second.assign(2 * rows, 0.0);
    const double* d0 = w.differences.data();
    const double* d1 = d0 + rows;
    const double* d2 = d1 + rows;
    double* e1 = w.second.data();
    double* e2 = e1 + rows;
    for (int i = 0; i < m; ++i) {
        if (den2 != 0.0)
            e2[i] = (d2[i] - d1[i]) / den2;
        if (den1 != 0.0)
            e1[i] = (d1[i] - d0[i]) / den1;
    }
}

// Sets the first m entries of OUT (as many as it has) to 0.
void Zeros(std::span<double> out, int m)
{
    for (size_t i = 0; i < out.size() && static_cast<int>(i) < m; ++i)
        out[i] = 0.0;
}

// One part at X through a prepared interval: the single-point routines.
void SinglePoint(int part, double x, std::span<const double> xx, std::span<const double> px, int k,
                 const SplineMatrix& c, int m, std::span<double> out)
{
    BasisInterval w;
    BasisIntervalPrepare(xx, px, k, c, m, part, w);
    BasisPointAt(w, x, part == kBasisValues ? out : std::span<double>(),
                 part == kBasisFirstDerivatives ? out : std::span<double>(),
                 part == kBasisSecondDerivatives ? out : std::span<double>());
}

} // namespace

bool BasisIntervalPrepare(std::span<const double> xx, std::span<const double> px, int k,
                          const SplineMatrix& c, int m, int parts, BasisInterval& w)
{
    w.valid = k >= 4 && static_cast<size_t>(k) + 3 <= xx.size() && static_cast<size_t>(k) + 2 <= px.size() &&
              k <= c.cols && m >= 0 && m <= c.rows &&
              c.data.size() >= static_cast<size_t>(c.rows) * c.cols;
    w.parts = w.valid ? parts & kBasisAllParts : 0;
    w.m = m;
    if (!w.valid)
        return false;
    for (int i = 0; i < 6; ++i)
        w.t[i] = xx[k - 3 + i];
    for (int i = 0; i < 5; ++i)
        w.q[i] = px[k - 3 + i];
    const int col0 = k - 4;
    const size_t rows = static_cast<size_t>(m);
    w.columns.resize(4 * rows);
    for (int n = 0; n < 4; ++n)
        for (int i = 0; i < m; ++i)
            w.columns[n * rows + i] = c(i, col0 + n);
    SpansPrepare(w);
    if (w.parts & kBasisValues) {
        LocalConstantsPrepare(w);
        RatiosPrepare(w);
    }
    if (w.parts & (kBasisFirstDerivatives | kBasisSecondDerivatives))
        FirstDifferencesPrepare(w);
    if (w.parts & kBasisFirstDerivatives)
        WeightsPrepare(w);
    if (w.parts & kBasisSecondDerivatives)
        SecondDifferencesPrepare(w);
    return true;
}

void BasisPointAt(const BasisInterval& w, double x, std::span<double> values, std::span<double> first,
                  std::span<double> second)
{
    const int m = w.m;
    const bool inside = w.valid && w.t[2] <= x && x <= w.t[3];
    const size_t rows = static_cast<size_t>(m);
    auto usable = [&](int part, std::span<double> out) {
        if (!(w.parts & part) && w.valid)
            return false;
        if (inside && out.size() >= rows)
            return true;
        Zeros(out, m);
        return false;
    };

    if (usable(kBasisValues, values)) {
        double n[4];
        BasisLocalValues(x, w, {kI4[0], kI4[1], kI4[2], kI4[3]}, 4, n);
        const double b1 = w.ratioA * n[0];
        const double b2 = (w.gamma[1] * n[0] + w.gamma[2] * n[1]) + w.gamma[3] * n[2];
        const double b3 = (w.gammaNext[0] * n[1] + w.gammaNext[1] * n[2]) + w.gammaNext[2] * n[3];
        const double b4 = w.ratioB * n[3];
        const double* c0 = w.columns.data();
        const double* c1 = c0 + rows;
        const double* c2 = c1 + rows;
        const double* c3 = c2 + rows;
        for (int j = 0; j < m; ++j)
            values[j] = ((c0[j] * b1 + c1[j] * b2) + c2[j] * b3) + c3[j] * b4;
    }
    if (usable(kBasisFirstDerivatives, first)) {
        const double* d = w.differences.data();
        BasisLevelTwoValues(x, w, {d, d + rows, d + 2 * rows}, m, first.data());
    }
    if (usable(kBasisSecondDerivatives, second)) {
        const double* e = w.second.data();
        BasisLevelThreeValues(x, w.t[2], w.t[3], w.q[2], e, e + rows, m, second.data());
    }
}

void BasisValuesAt(double x, std::span<const double> xx, std::span<const double> px, int k,
                   const SplineMatrix& c, int m, std::span<double> out)
{
    SinglePoint(kBasisValues, x, xx, px, k, c, m, out);
}

void BasisFirstDerivativesAt(double x, std::span<const double> xx, std::span<const double> px,
                             int k, const SplineMatrix& c, int m, std::span<double> out)
{
    SinglePoint(kBasisFirstDerivatives, x, xx, px, k, c, m, out);
}

void BasisSecondDerivativesAt(double x, std::span<const double> xx, std::span<const double> px,
                              int k, const SplineMatrix& c, int m, std::span<double> out)
{
    SinglePoint(kBasisSecondDerivatives, x, xx, px, k, c, m, out);
}
