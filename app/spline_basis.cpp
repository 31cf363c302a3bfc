// Basis evaluation at one point, in three levels: four local values of the
// interval combined with recursion ratios into the four basis functions; the
// first derivatives from coefficient differences over recursion denominators,
// evaluated with the three functions per interval of the once-differentiated
// space; the second derivatives with the two functions per interval of the
// twice-differentiated space. The arithmetic order is the definition of the
// results (all parameters 0 give the clamped cubic B-splines).
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

// Four local values N1..N4 of the interval [y2, y3] (knots y1..y4, parameters
// p1..p3 of the spans starting at y1..y3), combined with the columns A1..A4:
// out[i] = sum A_n[i] N_n.
void BasisLocalValues(double x, const std::array<double, 4>& y, const std::array<double, 3>& pi,
                      const std::array<Column, 4>& A, int m, double* out)
{
    const double h0 = y[1] - y[0];
    const double h = y[2] - y[1];
    const double h2 = y[3] - y[2];
    const double p0 = pi[0];
    const double p = pi[1];
    const double p2 = pi[2];
    const double u = x - y[1];
    const double v = y[2] - x;

    if (x == y[1]) {
        if (y[0] != y[1]) {
            double l1 = Dh(0.0, 0.0, h, 0.0, 0.0, p);
            double l2 = Dh(h0, 0.0, 0.0, p0, 0.0, 0.0);
            double l3 = Dh(h0, 0.0, h, p0, 0.0, p);
            for (int i = 0; i < m; ++i)
                out[i] = (A[0][i] * l1 + A[1][i] * l2) / l3;
        } else {
            for (int i = 0; i < m; ++i)
                out[i] = A[0][i];
        }
        return;
    }
    if (x == y[2]) {
        if (y[2] != y[3]) {
            double m1 = Dh(0.0, 0.0, h2, 0.0, 0.0, p2);
            double m2 = Dh(h, 0.0, 0.0, p, 0.0, 0.0);
            double m3 = Dh(h, 0.0, h2, p, 0.0, p2);
            for (int i = 0; i < m; ++i)
                out[i] = (A[2][i] * m1 + A[3][i] * m2) / m3;
        } else {
            for (int i = 0; i < m; ++i)
                out[i] = A[3][i];
        }
        return;
    }

    const double d1 = Dh(0.0, 0.0, v, 0.0, 0.0, p);
    const double d2 = Dh(h0, 0.0, h, p0, 0.0, p);
    const double d3 = Dh(0.0, u, v, 0.0, p, p);
    const double d4 = Dh(0.0, u, 0.0, 0.0, p, 0.0);
    const double d5 = Dh(u, v, 0.0, p, p, 0.0);
    const double d6 = Dh(u, 0.0, v, p, 0.0, p);
    const double d7 = Dh(0.0, h, 0.0, 0.0, p, 0.0);
    const double d8 = Dh(u, 0.0, 0.0, p, 0.0, 0.0);
    const double d9 = Dh(0.0, v, 0.0, 0.0, p, 0.0);
    const double d10 = Dh(h, 0.0, h2, p, 0.0, p2);
    const double d11 = Dh(h0, 0.0, u, p0, 0.0, p);
    const double d12 = Dh(v, 0.0, h2, p, 0.0, p2);

    const double t1 = T(0.0, v, 0.0, p);
    const double t2 = T(u, v, p, p);
    const double t3 = T(v, 0.0, p, 0.0);
    const double t4 = T(h, 0.0, p, 0.0);
    const double t5 = T(0.0, u, 0.0, p);
    const double t6 = T(0.0, h, 0.0, p);
    const double t7 = T(u, 0.0, p, 0.0);

    const double n1 = (((ExpRampB(v, h, p) * v) * Phi1(-(p * v))) * d1) /
                      ((Phi1(-(p * h)) * h) * d2);
    const double n2 = ((((d1 * d4) * d5) / d3 + d8 * d9) * t3) / ((t4 * d6) * d7) +
                      ((t1 * d1) * d11) / ((d3 * t2) * d2);
    const double n3 = ((t7 * d8) * d12) / ((t2 * d5) * d10) +
                      ((((d9 * d8) * d3) / d5 + d1 * d4) * t5) / ((t6 * d6) * d7);
    const double n4 = (((ExpRampA(u, v, h, p) * u) * Phi1(p * u)) * d8) /
                      ((Phi1(p * h) * h) * d10);

    for (int i = 0; i < m; ++i)
        out[i] = ((A[0][i] * n1 + A[1][i] * n2) + A[2][i] * n3) + A[3][i] * n4;
}

// Three functions L1..L3 of the once-differentiated space on [a, b] with
// parameter p, combined with the columns B1..B3.
void BasisLevelTwoPieces(double x, double a, double b, double p, const std::array<Column, 3>& B,
                         int m, double* out)
{
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
    const double u = x - a;
    const double v = b - x;
    const double h = b - a;
    const double l1 = ((ExpRampB(v, h, p) * v) * Phi1(-(p * v))) / (h * Phi1(-(p * h)));
    const double l2 = ((((v * Phi1(-(p * v))) * u) * Phi1(-(p * u))) / (h * Phi1(-(p * h))) +
                       (((u * Phi1(p * u)) * v) * Phi1(p * v)) / (h * Phi1(p * h))) /
                      ((v * Phi1(-(p * v))) + (Phi1(p * u) * u));
    const double l3 = ((ExpRampA(u, v, h, p) * u) * Phi1(p * u)) / (h * Phi1(p * h));
    for (int i = 0; i < m; ++i)
        out[i] = (B[0][i] * l1 + B[1][i] * l2) + B[2][i] * l3;
}

// The once-differentiated basis on [y2, y3] (knots y1..y4, parameters
// p1..p3), combined with the columns C1..C3.
void BasisLevelTwoValues(double x, const std::array<double, 4>& y,
                         const std::array<double, 3>& pi, const std::array<Column, 3>& C, int m,
                         double* out)
{
    double L[3];
    BasisLevelTwoPieces(x, y[1], y[2], pi[1], {kI3[0], kI3[1], kI3[2]}, 3, L);
    const double m1 = WeightRight(y[0], y[1], y[2], pi[0], pi[1]) * L[0];
    const double m2 = WeightRight(y[1], y[2], y[3], pi[1], pi[2]) * L[2] +
                      (WeightLeft(y[0], y[1], y[2], pi[0], pi[1]) * L[0] + L[1]);
    const double m3 = WeightLeft(y[1], y[2], y[3], pi[1], pi[2]) * L[2];
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

// The knot and parameter window of interval k: t[0..5] = xx(k-2 .. k+3),
// q[0..4] = px(k-2 .. k+2), and the 0-based column of B_{k-3}.
struct Window {
    std::array<double, 6> t;
    std::array<double, 5> q;
    int col0;
};

// Checks a call and copies its window; on a bad call sets out[0..m-1] to 0.
bool WindowOf(double x, std::span<const double> xx, std::span<const double> px, int k,
              const SplineMatrix& c, int m, std::span<double> out, Window& w)
{
    const bool ok = k >= 4 && static_cast<size_t>(k) + 3 <= xx.size() &&
                    static_cast<size_t>(k) + 2 <= px.size() && k <= c.cols && m >= 0 &&
                    m <= c.rows && static_cast<size_t>(m) <= out.size() &&
                    c.data.size() >= static_cast<size_t>(c.rows) * c.cols &&
                    xx[k - 1] <= x && x <= xx[k];
    if (!ok) {
        for (size_t i = 0; i < out.size() && static_cast<int>(i) < m; ++i)
            out[i] = 0.0;
        return false;
    }
    for (int i = 0; i < 6; ++i)
        w.t[i] = xx[k - 3 + i];
    for (int i = 0; i < 5; ++i)
        w.q[i] = px[k - 3 + i];
    w.col0 = k - 4;
    return true;
}

std::array<double, 4> Knots4(const Window& w, int from)
{
    return {w.t[from], w.t[from + 1], w.t[from + 2], w.t[from + 3]};
}
std::array<double, 3> Params3(const Window& w, int from)
{
    return {w.q[from], w.q[from + 1], w.q[from + 2]};
}

// The first-difference columns: d[n][i] = (c(i, k-3+n+1) - c(i, k-3+n)) / D
// over the knots xx(k-2+n .. k+1+n), n = 0..2; a zero denominator gives 0.
void FirstDifferences(const Window& w, const SplineMatrix& c, int m,
                      std::array<std::vector<double>, 3>& d)
{
    for (int n = 2; n >= 0; --n) {
        const double den = RecursionDenominator(w.t[n], w.t[n + 1], w.t[n + 2], w.t[n + 3],
                                                w.q[n], w.q[n + 1], w.q[n + 2]);
        d[n].assign(m, 0.0);
        if (den == 0.0)
            continue;
        for (int i = 0; i < m; ++i)
            d[n][i] = (c(i, w.col0 + n + 1) - c(i, w.col0 + n)) / den;
    }
}

} // namespace

void BasisValuesAt(double x, std::span<const double> xx, std::span<const double> px, int k,
                   const SplineMatrix& c, int m, std::span<double> out)
{
    Window w;
    if (!WindowOf(x, xx, px, k, c, m, out, w))
        return;
    double n[4];
    BasisLocalValues(x, Knots4(w, 1), Params3(w, 1), {kI4[0], kI4[1], kI4[2], kI4[3]}, 4, n);

    const double b1 = RecursionRatioA(std::span<const double, 4>(w.t.data(), 4),
                                      std::span<const double, 3>(w.q.data(), 3)) *
                      n[0];
    std::array<double, 4> g;
    RecursionRatiosC(std::span<const double, 5>(w.t.data(), 5),
                     std::span<const double, 4>(w.q.data(), 4), g);
    const double b2 = (g[1] * n[0] + g[2] * n[1]) + g[3] * n[2];
    std::array<double, 4> gp;
    RecursionRatiosC(std::span<const double, 5>(w.t.data() + 1, 5),
                     std::span<const double, 4>(w.q.data() + 1, 4), gp);
    const double b3 = (gp[0] * n[1] + gp[1] * n[2]) + gp[2] * n[3];
    const double b4 = RecursionRatioB(std::span<const double, 4>(w.t.data() + 2, 4),
                                      std::span<const double, 3>(w.q.data() + 2, 3)) *
                      n[3];

    for (int j = 0; j < m; ++j)
        out[j] = ((c(j, w.col0) * b1 + c(j, w.col0 + 1) * b2) + c(j, w.col0 + 2) * b3) +
                 c(j, w.col0 + 3) * b4;
}

void BasisFirstDerivativesAt(double x, std::span<const double> xx, std::span<const double> px,
                             int k, const SplineMatrix& c, int m, std::span<double> out)
{
    Window w;
    if (!WindowOf(x, xx, px, k, c, m, out, w))
        return;
    std::array<std::vector<double>, 3> d;
    FirstDifferences(w, c, m, d);
    BasisLevelTwoValues(x, Knots4(w, 1), Params3(w, 1), {d[0].data(), d[1].data(), d[2].data()},
                        m, out.data());
}

void BasisSecondDerivativesAt(double x, std::span<const double> xx, std::span<const double> px,
                              int k, const SplineMatrix& c, int m, std::span<double> out)
{
    Window w;
    if (!WindowOf(x, xx, px, k, c, m, out, w))
        return;
    std::array<std::vector<double>, 3> d;
    FirstDifferences(w, c, m, d);
    const std::array<double, 6>& t = w.t;
    const std::array<double, 5>& q = w.q;
    const double den2 = T(t[3] - t[2], t[4] - t[3], q[2], q[3]);
    const double den1 = T(t[2] - t[1], t[3] - t[2], q[1], q[2]);
    std::vector<double> e1(m, 0.0);
    std::vector<double> e2(m, 0.0);
    for (int i = 0; i < m; ++i) {
        if (den2 != 0.0)
            e2[i] = (d[2][i] - d[1][i]) / den2;
        if (den1 != 0.0)
            e1[i] = (d[1][i] - d[0][i]) / den1;
    }
    BasisLevelThreeValues(x, t[2], t[3], q[2], e1.data(), e2.data(), m, out.data());
}
