// Quantities over windows of consecutive knots, built from the kernels:
// sums over two neighbouring spans, the one-span term, the exponential ramps,
// the recursion denominator over four knots (or three spans) and the recursion
// ratios that combine lower-level values into the basis functions.
//
// In a knot window x0, x1, ... the spans are h1 = x1 - x0, h2 = x2 - x1, ...
// and p_i is the parameter of the span that starts at x_i. All functions are
// pure and fixed to the bit like the kernels.
#pragma once

#include <array>
#include <span>

// S(h1, h2, s, t) = phi2(s h1) h1 + phi2(-(t h2)) h2.
double SpanPhi2Sum(double h1, double h2, double s, double t);
// T(h1, h2, s, t) = phi1(s h1) h1 + phi1(-(t h2)) h2.
double SpanPhi1Sum(double h1, double h2, double s, double t);
// R(h, p), the one-span term; R(h, 0) is h/3 up to rounding.
double SpanExpTerm(double h, double p);
// Ramps rising from 0 at x = 0 to 1 at x = r: rB(x, r, s), and rA(x, q, r, s)
// the same scaled by e^(-s q). A zero-length ramp (r = 0) gives 0.
double ExpRampA(double x, double q, double r, double s);
double ExpRampB(double x, double r, double s);
// D over the four knots x0..x3 with parameters p0..p2.
double RecursionDenominator(double x0, double x1, double x2, double x3, double p0, double p1,
                            double p2);
// D from the three spans h1..h3 (a zero span stands for coincident knots) with
// parameters s, t, u.
double SpanPhiCombination(double h1, double h2, double h3, double s, double t, double u);
// Recursion ratios over the window x(0..3), p(0..2).
double RecursionRatioA(std::span<const double, 4> x, std::span<const double, 3> p);
double RecursionRatioB(std::span<const double, 4> x, std::span<const double, 3> p);
// Four ratios over x(0..4), p(0..3): the first two for the window x0..x3, the
// last two for the window x1..x4.
void RecursionRatiosC(std::span<const double, 5> x, std::span<const double, 4> p,
                      std::array<double, 4>& gamma);
