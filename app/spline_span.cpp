// Window-level quantities of the tension spline recursion. As in the kernels,
// the arithmetic order written here is the definition of the results.
#include "app/spline_span.h"

#include "app/spline_kernels.h"

#include <cmath>

double SpanPhi2Sum(double h1, double h2, double s, double t)
{
    return KernelPhi2(s * h1) * h1 + KernelPhi2(-(t * h2)) * h2;
}

double SpanPhi1Sum(double h1, double h2, double s, double t)
{
    return KernelPhi1(s * h1) * h1 + KernelPhi1(-(t * h2)) * h2;
}

double SpanExpTerm(double h, double p)
{
    if (h == 0.0)
        return 0.0;
    double z = h * p;
    if (z < 0.5) {
        double g = KernelExpM1OverZ(-z);
        double rb = KernelRationalB(z);
        double ra = KernelRationalA(z);
        if (ra == 0.0)
            return 0.0;
        return -((((g * h) * rb) * 0.5) / ra);
    }
    if (z < 50.0) {
        double e = std::exp(-z);
        double m = std::exp(-z) - 1.0;
        return ((m * h) * (z * (e + 1.0) + m * 2.0)) /
               (((m * (z * (e + 1.0) + m)) + (z * z) * e) * 2.0);
    }
    return (((h * (-1.0)) * (z - 2.0)) * 0.5) / (1.0 - z);
}

double ExpRampA(double x, double q, double r, double s)
{
    if (s == 0.0)
        return r == 0.0 ? 0.0 : x / r;
    double den = KernelExpM1(-(s * r));
    if (den == 0.0)
        return 0.0;
    return (std::exp(-(s * q)) * KernelExpM1(-(s * x))) / den;
}

double ExpRampB(double x, double r, double s)
{
    if (s == 0.0)
        return r == 0.0 ? 0.0 : x / r;
    double den = KernelExpM1(-(s * r));
    if (den == 0.0)
        return 0.0;
    return KernelExpM1(-(s * x)) / den;
}

double RecursionDenominator(double x0, double x1, double x2, double x3, double p0, double p1,
                            double p2)
{
    double h1 = x1 - x0;
    double h2 = x2 - x1;
    double h3 = x3 - x2;
    return SpanPhi2Sum(h2, h3, p1, p2) * WeightRight(x1, x2, x3, p1, p2) +
           (WeightLeft(x0, x1, x2, p0, p1) * SpanPhi2Sum(h1, h2, p0, p1) + SpanExpTerm(h2, p1));
}

double SpanPhiCombination(double h1, double h2, double h3, double s, double t, double u)
{
    return SpanPhi2Sum(h2, h3, t, u) * WeightRightAlt(h2, h3, t, u) +
           (WeightLeftAlt(h1, h2, s, t) * SpanPhi2Sum(h1, h2, s, t) + SpanExpTerm(h2, t));
}

namespace {

// The five quantities of one window x0..x3, p0..p2.
struct RatioTerms {
    double d;     // left weight of x1
    double g;     // right weight of x2
    double a;     // S over the first two spans
    double rho;   // R of the middle span
    double sigma; // S over the last two spans
};

RatioTerms WindowTerms(const double* x, const double* p)
{
    double h1 = x[1] - x[0];
    double h2 = x[2] - x[1];
    double h3 = x[3] - x[2];
    RatioTerms r;
    r.d = WeightLeft(x[0], x[1], x[2], p[0], p[1]);
    r.g = WeightRight(x[1], x[2], x[3], p[1], p[2]);
    r.a = SpanPhi2Sum(h1, h2, p[0], p[1]);
    r.rho = SpanExpTerm(h2, p[1]);
    r.sigma = SpanPhi2Sum(h2, h3, p[1], p[2]);
    return r;
}

} // namespace

double RecursionRatioA(std::span<const double, 4> x, std::span<const double, 3> p)
{
    RatioTerms w = WindowTerms(x.data(), p.data());
    double H = w.sigma * w.g;
    if (H == 0.0)
        return 0.0;
    return H / (((w.a * w.d) + w.rho) + H);
}

double RecursionRatioB(std::span<const double, 4> x, std::span<const double, 3> p)
{
    RatioTerms w = WindowTerms(x.data(), p.data());
    double e = w.a * w.d;
    if (e == 0.0)
        return 0.0;
    return e / ((w.sigma * w.g) + (e + w.rho));
}

void RecursionRatiosC(std::span<const double, 5> x, std::span<const double, 4> p,
                      std::array<double, 4>& gamma)
{
    RatioTerms w = WindowTerms(x.data(), p.data());
    double B = w.a * w.d;
    double D1 = (w.g * w.sigma) + (B + w.rho);
    gamma[0] = (B == 0.0) ? 0.0 : B / D1;
    gamma[1] = (B + w.rho == 0.0) ? 0.0 : (B + w.rho) / D1;

    double h3 = x[3] - x[2];
    double h4 = x[4] - x[3];
    double dPrime = WeightLeft(x[1], x[2], x[3], p[1], p[2]);
    double rhoPrime = SpanExpTerm(h3, p[2]);
    double gPrime = WeightRight(x[2], x[3], x[4], p[2], p[3]);
    double H = SpanPhi2Sum(h3, h4, p[2], p[3]) * gPrime;
    double D2 = H + ((w.sigma * dPrime) + rhoPrime);
    gamma[2] = (H + rhoPrime == 0.0) ? 0.0 : (H + rhoPrime) / D2;
    gamma[3] = (H == 0.0) ? 0.0 : H / D2;
}
