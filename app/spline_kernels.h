// Scalar kernels of the exponential (tension) spline space and the two weights
// that split a knot between its neighbouring intervals.
//
// Every function is pure and fixed to the bit: IEEE double arithmetic in the
// order written in spline_kernels.cpp, exp from the platform's math library,
// Taylor series below |z| = 0.125 and asymptotic forms from |z| = 50 on.
// In the application every argument z = span * parameter lies in [-62.5, 62.5].
#pragma once

// e^z - 1, e^z - 1 - z and e^z - 1 - z - z^2/2.
double KernelExpM1(double z);
double KernelExpM2(double z);
double KernelExpM3(double z);

// phi1(z) = 1/z - 1/(e^z - 1); phi1(0) = 1/2.
double KernelPhi1(double z);
// phi2(z) = (e^z - 1 - z - z^2/2) / (z (e^z - 1 - z)); phi2(0) = 1/3.
double KernelPhi2(double z);
// (e^z - 1) / z; 1 at z = 0.
double KernelExpM1OverZ(double z);
// The two rational approximations used for small arguments by the one-span
// term: RA(0) = -1/4, RB(0) = 1/6.
double KernelRationalA(double z);
double KernelRationalB(double z);
// a / b, or 0 when a = 0 (and also when b = 0, where the quotient has no value).
double KernelRatio(double a, double b);

// Weights of the knot x1 between [x0, x1] (parameter s) and [x1, x2]
// (parameter t): WeightRight + WeightLeft = 1. Coincident knots are exact
// comparisons; the first test wins when both spans are zero.
double WeightRight(double x0, double x1, double x2, double s, double t);
double WeightLeft(double x0, double x1, double x2, double s, double t);
// The same weights from the spans h1 = x1 - x0 and h2 = x2 - x1.
// WeightLeftAlt can differ from WeightLeft in the last bit.
double WeightRightAlt(double h1, double h2, double s, double t);
double WeightLeftAlt(double h1, double h2, double s, double t);
