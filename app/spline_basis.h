// Evaluation of the tension spline basis at one point: for every row j of a
// coefficient matrix c, the sum over i of c(j, i) B_i(x), its first and its
// second derivative. On knot interval k only B_{k-3} .. B_k are non-zero, so
// each routine works on the six knots xx(k-2) .. xx(k+3) around the interval.
//
// Numbering: the knot interval k and the basis functions are numbered from 1
// as in the knot vector's description (interval k is [xx(k), xx(k+1)], valid
// for 4 <= k <= number of intervals + 3); the arrays themselves are 0-based,
// so xx(k) is xx[k - 1] and column i of c is column i - 1.
#pragma once

#include <array>
#include <span>
#include <vector>

// A column-major matrix of doubles, 0-based.
struct SplineMatrix {
    int rows = 0;
    int cols = 0;
    std::vector<double> data;

    double& operator()(int row, int col) { return data[static_cast<size_t>(col) * rows + row]; }
    double operator()(int row, int col) const
    {
        return data[static_cast<size_t>(col) * rows + row];
    }
};

// out[j] for j = 0..m-1 receives row j's switched sum at x in knot interval k.
// A call outside the valid range (k without the six knots and five parameters
// around it or without the four columns of c, m larger than c or out, x not in
// [xx(k), xx(k+1)]) evaluates nothing and sets out[0..m-1] to 0.
void BasisValuesAt(double x, std::span<const double> xx, std::span<const double> px, int k,
                   const SplineMatrix& c, int m, std::span<double> out);
void BasisFirstDerivativesAt(double x, std::span<const double> xx, std::span<const double> px,
                             int k, const SplineMatrix& c, int m, std::span<double> out);
void BasisSecondDerivativesAt(double x, std::span<const double> xx, std::span<const double> px,
                              int k, const SplineMatrix& c, int m, std::span<double> out);

// The same three results for many points of one interval: the quantities of
// the interval that do not depend on the point (knot and parameter window,
// recursion ratios and denominators, knot weights, the coefficient
// differences) are formed once by BasisIntervalPrepare and used by
// BasisPointAt for every point. The results are those of the three routines
// above to the bit.
enum BasisParts : int {
    kBasisValues = 1,
    kBasisFirstDerivatives = 2,
    kBasisSecondDerivatives = 4,
    kBasisAllParts = 7,
};

struct BasisInterval {
    bool valid = false;
    int parts = 0;               // the BasisParts prepared
    int m = 0;                   // rows of c
    std::array<double, 6> t{};   // knots xx(k-2) .. xx(k+3)
    std::array<double, 5> q{};   // parameters px(k-2) .. px(k+2)
    std::vector<double> columns; // columns of B_{k-3} .. B_k of c, m entries each
    // Values: the local values' constants of the interval, the recursion ratios.
    double h0 = 0, h = 0, h2 = 0, p0 = 0, p = 0, p2 = 0;
    double left1 = 0, left2 = 0, left3 = 0;    // at x = xx(k), when xx(k-1) < xx(k)
    double right1 = 0, right2 = 0, right3 = 0; // at x = xx(k+1), when xx(k+1) < xx(k+2)
    double d2 = 0, d7 = 0, d10 = 0, t4 = 0, t6 = 0;
    double phiMinus = 0, phiPlus = 0;          // phi1(-(p h)), phi1(p h)
    double ratioA = 0, ratioB = 0;
    std::array<double, 4> gamma{}, gammaNext{};
    // First derivatives: the knot weights and the first-difference columns.
    double weightRight0 = 0, weightLeft0 = 0, weightRight1 = 0, weightLeft1 = 0;
    std::vector<double> differences; // 3 columns of m
    // Second derivatives: the second-difference columns.
    std::vector<double> second; // 2 columns of m
};

// Prepares knot interval K for M rows of C and the PARTS asked for. A call
// outside the valid range (as for the routines above, x aside) leaves an
// interval that is not valid and evaluates to zeros; the return says which.
bool BasisIntervalPrepare(std::span<const double> xx, std::span<const double> px, int k,
                          const SplineMatrix& c, int m, int parts, BasisInterval& interval);

// The prepared parts at X into VALUES, FIRST and SECOND (a part not prepared
// is left alone). With X outside the interval, an interval that is not valid
// or an output shorter than m, that output's first m entries (as many as it
// has) are set to 0.
void BasisPointAt(const BasisInterval& interval, double x, std::span<double> values,
                  std::span<double> first, std::span<double> second);
