// Scalar kernels of the tension spline space. The arithmetic below is the
// definition of the results: every parenthesis and every product order is
// deliberate (a / b / c means (a / b) / c), and exp is the platform's own.
// Guards only act where the plain formula would divide by zero or overflow;
// they never change a finite result.
#include "app/spline_kernels.h"

#include <cmath>

namespace {

constexpr double Factorial(int n)
{
    double f = 1.0;
    for (int i = 2; i <= n; ++i)
        f *= i;
    return f;
}

// Reciprocal factorials 1/n!, each the double nearest the fraction (n! is
// exact in double for these n, and the division is correctly rounded).
constexpr double InvFact(int n) { return 1.0 / Factorial(n); }

// Taylor coefficients c_0.. of the series, evaluated by Horner's scheme.
constexpr double kSeriesE1[11] = {0.0,        InvFact(1), InvFact(2), InvFact(3),
                                  InvFact(4), InvFact(5), InvFact(6), InvFact(7),
                                  InvFact(8), InvFact(9), InvFact(10)};
constexpr double kSeriesE2[13] = {0.0,        0.0,        InvFact(2),  InvFact(3), InvFact(4),
                                  InvFact(5), InvFact(6), InvFact(7),  InvFact(8), InvFact(9),
                                  InvFact(10), InvFact(11), InvFact(12)};
constexpr double kSeriesE3[13] = {0.0,        0.0,        0.0,         InvFact(3), InvFact(4),
                                  InvFact(5), InvFact(6), InvFact(7),  InvFact(8), InvFact(9),
                                  InvFact(10), InvFact(11), InvFact(12)};
constexpr double kSeriesQ[10] = {InvFact(1), InvFact(2), InvFact(3), InvFact(4),  InvFact(5),
                                 InvFact(6), InvFact(7), InvFact(8), InvFact(9), InvFact(10)};

// Rational approximation RA: numerator and denominator, z^0 first.
constexpr double kRANum[6] = {-0.25,
                              0.04615298787018863,
                              -0.00944822313785107,
                              0.0005729600551356357,
                              -4.592502995847648e-05,
                              -1.9357931147959534e-06};
constexpr double kRADen[10] = {1.0,
                               0.8153880485192455,
                               0.2976253855150942,
                               0.06456240722830417,
                               0.009762681732918072,
                               0.0012662234932641313,
                               0.00016719861025803223,
                               1.9748817891543183e-05,
                               1.571319378375475e-06,
                               5.940755788257052e-08};
// Rational approximation RB: numerator on z^0, z^2, z^4; denominator the
// numerator of the [7/7] Pade approximant of e^z.
constexpr double kRB0 = 0.16666666666666666;
constexpr double kRB2 = 0.002564102564102564;
constexpr double kRB4 = 6.243756243756244e-06;
constexpr double kP7[8] = {1.0,
                           0.5,
                           0.11538461538461539,
                           0.016025641025641024,
                           0.001456876456876457,
                           8.741258741258741e-05,
                           3.2375032375032376e-06,
                           5.781255781255781e-08};

constexpr double kOneThird = 0.3333333333333333;

// Largest argument whose exponential is finite in double.
constexpr double kExpArgumentMax = 709.78;

// Horner's scheme from the highest coefficient down, starting from 0.
template <int N>
double Horner(const double (&c)[N], double z)
{
    double s = 0.0;
    for (int n = N - 1; n >= 0; --n)
        s = s * z + c[n];
    return s;
}

// The platform's exp; beyond the double range the result is +infinity
// without raising the overflow trap.
double Exp(double z)
{
    if (z > kExpArgumentMax)
        return HUGE_VAL;
    return std::exp(z);
}

} // namespace

double KernelExpM1(double z)
{
    if (std::fabs(z) < 0.125)
        return Horner(kSeriesE1, z);
    return Exp(z) - 1.0;
}

double KernelExpM2(double z)
{
    if (std::fabs(z) < 0.125)
        return Horner(kSeriesE2, z);
    return (Exp(z) - 1.0) - z;
}

double KernelExpM3(double z)
{
    if (std::fabs(z) < 0.125)
        return Horner(kSeriesE3, z);
    return ((Exp(z) - 1.0) - z) - (z * z) * 0.5;
}

double KernelPhi1(double z)
{
    if (z == 0.0)
        return 0.5;
    if (z > 50.0)
        return 1.0 / z;
    if (z < -50.0)
        return 1.0 / z + 1.0;
    // E1(z) is non-zero for every non-zero z.
    return KernelExpM2(z) / z / KernelExpM1(z);
}

double KernelPhi2(double z)
{
    if (z == 0.0)
        return kOneThird;
    if (z >= 50.0) {
        double e = std::exp(-z);
        return (1.0 - e * ((1.0 + z) + (z * z) * 0.5)) / z / (1.0 - e * (1.0 + z));
    }
    double e2 = KernelExpM2(z);
    // For |z| below about 1e-154, E2 = z^2/2 underflows to zero: take the limit.
    if (e2 == 0.0)
        return kOneThird;
    return KernelExpM3(z) / z / e2;
}

double KernelExpM1OverZ(double z)
{
    if (std::fabs(z) < 0.125)
        return Horner(kSeriesQ, z);
    if (z >= 50.0) {
        // Beyond the double range the quotient is +infinity (and e would be 0).
        if (z > kExpArgumentMax)
            return HUGE_VAL;
        double e = std::exp(-z);
        return (1.0 - e) / z / e;
    }
    return (std::exp(z) - 1.0) / z;
}

double KernelRationalA(double z)
{
    double num = Horner(kRANum, z);
    double den = Horner(kRADen, z);
    if (den == 0.0)
        return 0.0;
    return num / den;
}

double KernelRationalB(double z)
{
    double num = (z * z) * ((z * z) * kRB4 + kRB2) + kRB0;
    double den = Horner(kP7, z);
    if (den == 0.0)
        return 0.0;
    return num / den;
}

double KernelRatio(double a, double b)
{
    if (a == 0.0 || b == 0.0)
        return 0.0;
    return a / b;
}

double WeightRight(double x0, double x1, double x2, double s, double t)
{
    if (x1 == x0)
        return 1.0;
    if (x2 == x1)
        return 0.0;
    double h1 = x1 - x0;
    double h2 = x2 - x1;
    return 1.0 / (KernelPhi1(h1 * s) * (h1 / h2) / KernelPhi1(-(h2 * t)) + 1.0);
}

double WeightLeft(double x0, double x1, double x2, double s, double t)
{
    if (x1 == x0)
        return 0.0;
    if (x2 == x1)
        return 1.0;
    double h1 = x1 - x0;
    double h2 = x2 - x1;
    return 1.0 / (KernelPhi1(-(h2 * t)) * (h2 / h1) / KernelPhi1(h1 * s) + 1.0);
}

double WeightRightAlt(double h1, double h2, double s, double t)
{
    if (h1 == 0.0)
        return 1.0;
    if (h2 == 0.0)
        return 0.0;
    return 1.0 / (KernelPhi1(h1 * s) * (h1 / h2) / KernelPhi1(-(t * h2)) + 1.0);
}

double WeightLeftAlt(double h1, double h2, double s, double t)
{
    if (h1 == 0.0)
        return 0.0;
    if (h2 == 0.0)
        return 1.0;
    double a = KernelPhi1(h1 * s);
    double b = KernelPhi1(-(t * h2));
    return a / (a + b * (h2 / h1));
}
