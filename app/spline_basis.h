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
