// The spline application's shared state: the fixed sizes of the spline space
// (four equal knot intervals on [0, 2.5], clamped knot vector, seven basis
// functions, 201 tabulation points) and the sixteen tables that the
// evaluation, tabulation, dialog and plotting code read and write.
//
// The tables are 0-based vectors; an entry that the descriptions number from
// 1 (xx(1), px(4), ...) is at index one less. Two-dimensional tables are
// column-major: entry (row, col) of a table with R rows is at col * R + row.
#pragma once

#include "app/spline_basis.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct SplineModule {
    static constexpr int npoints = 201;     // tabulation points: 50 per interval and the right end
    static constexpr int ncurves = 7;       // plotted curves, legend entries
    static constexpr int nknots = 5;        // knot markers: the distinct knots
    static constexpr int nknotsets = 1;     // marker sets
    static constexpr int nintervals = 4;    // knot intervals
    static constexpr int nbasis = 7;        // basis functions: columns of c
    static constexpr int ncoef = 7;         // coefficient rows: rows of c, length of spl...
    static constexpr int nperinterval = 50; // tabulation points per interval
    static constexpr double xstart = 0.0;   // left end of the interval
    static constexpr double xend = 2.5;     // right end of the interval

    // The tables, in the order in which they are allocated.
    std::vector<double> xx;           // knot vector, nintervals + 7
    std::vector<double> px;           // parameter of knot interval [xx(i), xx(i+1)], nintervals + 6
    SplineMatrix c;                   // ncoef x nbasis; only c(i, i) = cdraw(i) is ever non-zero
    std::vector<double> spl;          // values of the result rows at one point
    std::vector<double> spl1der;      // first derivatives at one point
    std::vector<double> spl2der;      // second derivatives at one point
    std::vector<float> xvalues;       // tabulation abscissae
    std::vector<float> yvalues;       // npoints x ncurves: the table being plotted
    std::vector<float> xknots;        // nknots x nknotsets: knot abscissae for the markers
    std::vector<float> yknots;        // nknots x nknotsets: marker ordinates, stay 0
    std::vector<float> spldraw;       // npoints x ncurves: values
    std::vector<float> spl1derdraw;   // npoints x ncurves: first derivatives
    std::vector<float> spl2derdraw;   // npoints x ncurves: second derivatives
    std::vector<double> cdraw;        // switches T1..T7: 1.0 on, 0.0 off
    std::vector<int32_t> pxdraw;      // parameters p1..p4 from the track bars, 0..100
    std::vector<std::array<char, 4>> descr; // legend texts "T1".."T7", blank-padded
};
extern SplineModule gSplineModule;

// The tables' names, in allocation order (for the allocation-failure message).
inline constexpr std::string_view kSplineTableNames[16] = {
    "xx",      "px",      "c",       "spl",         "spl1der",     "spl2der", "xvalues", "yvalues",
    "xknots",  "yknots",  "spldraw", "spl1derdraw", "spl2derdraw", "cdraw",   "pxdraw",  "descr"};

// The parameters accepted by the numerics: the track bars' range.
inline constexpr int kSplineParameterMin = 0;
inline constexpr int kSplineParameterMax = 100;

// Releases every allocated table, then allocates and fills the sixteen tables
// in order (zeros; 1.0 for cdraw; descr unfilled). Returns 0, or the non-zero
// status of the first allocation that failed, whose table number (1..16) goes
// to FAILEDTABLE. Nothing is shown and the program goes on.
int SplineModuleAllocate(int* failedTable = nullptr);

// Start-up of the module: SplineModuleAllocate; on a failed allocation shows
// the allocation-failure box and ends the program at once.
void SplineModuleInit();

// The knot vector: xstart four times, the three interior knots, xend four times.
void KnotVectorBuild();

// Copies the dialog values into the numerical tables: px(i + 3) = pxdraw(i)
// (a value outside 0..100 is taken as the nearer end of that range) and
// c(i, i) = 1.0 * cdraw(i).
void CoefficientsFromDialog();

// Resets before a new computation: zeros px, c, the point and draw tables and
// pxdraw, switches every cdraw to 1.0, then copies as CoefficientsFromDialog.
// xx, xknots, yknots and descr are kept.
void SplineDataReset();

// Test seam: makes the allocation of table TABLE (1..16) fail as if memory
// were exhausted; 0 switches the fault off.
void SplineAllocationFaultSet(int table);
