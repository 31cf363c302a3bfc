// The spline module's tables: allocation, the knot vector, the copy of the
// dialog values and the reset before a new computation.
#include "app/spline_module.h"

#include "app/app_errors.h"

#include <algorithm>
#include <new>

SplineModule gSplineModule;

namespace {

using SM = SplineModule;

// The status of a failed allocation (the C run-time's "not enough memory").
constexpr int kAllocationStatus = 12;

int gAllocationFaultTable = 0;

template <class T>
void Release(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

// Allocates table number TABLE with N entries filled with FILL; returns the status.
template <class T>
int Allocate(int table, std::vector<T>& v, size_t n, const T& fill)
{
    try {
        if (table == gAllocationFaultTable)
            throw std::bad_alloc();
        v.assign(n, fill);
        return 0;
    } catch (const std::bad_alloc&) {
        return kAllocationStatus;
    }
}

} // namespace

void SplineAllocationFaultSet(int table) { gAllocationFaultTable = table; }

int SplineModuleAllocate(int* failedTable)
{
    SplineModule& s = gSplineModule;
    Release(s.xx);
    Release(s.px);
    Release(s.c.data);
    s.c.rows = s.c.cols = 0;
    Release(s.spl);
    Release(s.spl1der);
    Release(s.spl2der);
    Release(s.xvalues);
    Release(s.yvalues);
    Release(s.xknots);
    Release(s.yknots);
    Release(s.spldraw);
    Release(s.spl1derdraw);
    Release(s.spl2derdraw);
    Release(s.cdraw);
    Release(s.pxdraw);
    Release(s.descr);

    const size_t pointTable = static_cast<size_t>(SM::npoints) * SM::ncurves;
    const size_t knotTable = static_cast<size_t>(SM::nknots) * SM::nknotsets;
    int table = 0;
    int status = 0;
    auto step = [&](int st) {
        ++table;
        status = st;
        return st == 0;
    };
    bool ok = step(Allocate(1, s.xx, SM::nintervals + 7, 0.0)) &&
              step(Allocate(2, s.px, SM::nintervals + 6, 0.0)) &&
              step(Allocate(3, s.c.data, static_cast<size_t>(SM::ncoef) * SM::nbasis, 0.0)) &&
              step(Allocate(4, s.spl, SM::ncoef, 0.0)) &&
              step(Allocate(5, s.spl1der, SM::ncoef, 0.0)) &&
              step(Allocate(6, s.spl2der, SM::ncoef, 0.0)) &&
              step(Allocate(7, s.xvalues, SM::npoints, 0.0f)) &&
              step(Allocate(8, s.yvalues, pointTable, 0.0f)) &&
              step(Allocate(9, s.xknots, knotTable, 0.0f)) &&
              step(Allocate(10, s.yknots, knotTable, 0.0f)) &&
              step(Allocate(11, s.spldraw, pointTable, 0.0f)) &&
              step(Allocate(12, s.spl1derdraw, pointTable, 0.0f)) &&
              step(Allocate(13, s.spl2derdraw, pointTable, 0.0f)) &&
              step(Allocate(14, s.cdraw, SM::ncoef, 1.0)) &&
              step(Allocate(15, s.pxdraw, SM::nintervals, int32_t{0})) &&
              step(Allocate(16, s.descr, SM::ncurves, std::array<char, 4>{' ', ' ', ' ', ' '}));
    if (!s.c.data.empty()) {
        s.c.rows = SM::ncoef;
        s.c.cols = SM::nbasis;
    }
    if (failedTable)
        *failedTable = ok ? 0 : table;
    return ok ? 0 : status;
}

void SplineModuleInit()
{
    int table = 0;
    int status = SplineModuleAllocate(&table);
    if (status != 0)
        AppAllocationFailureStop(kSplineTableNames[table - 1], status);
}

void KnotVectorBuild()
{
    std::vector<double>& xx = gSplineModule.xx;
    if (xx.size() != static_cast<size_t>(SM::nintervals + 7))
        return;
    for (int i = 0; i < 4; ++i)
        xx[i] = SM::xstart;
    for (int i = 1; i <= SM::nintervals - 1; ++i)
        xx[3 + i] = ((SM::nintervals - i) * SM::xstart) / SM::nintervals +
                    (i * SM::xend) / SM::nintervals;
    for (int i = SM::nintervals + 3; i <= SM::nintervals + 6; ++i)
        xx[i] = SM::xend;
}

void CoefficientsFromDialog()
{
    SplineModule& s = gSplineModule;
    if (s.px.size() < static_cast<size_t>(SM::nintervals + 6) ||
        s.pxdraw.size() < static_cast<size_t>(SM::nintervals) ||
        s.cdraw.size() < static_cast<size_t>(SM::ncoef) || s.c.rows < SM::ncoef ||
        s.c.cols < SM::ncoef)
        return;
    for (int i = 0; i < SM::nintervals; ++i)
        s.px[i + 3] = static_cast<double>(
            std::clamp<int32_t>(s.pxdraw[i], kSplineParameterMin, kSplineParameterMax));
    for (int i = 0; i < SM::ncoef; ++i)
        s.c(i, i) = 1.0 * s.cdraw[i];
}

void SplineDataReset()
{
    SplineModule& s = gSplineModule;
    auto zero = [](auto& v) { std::fill(v.begin(), v.end(), 0); };
    zero(s.px);
    zero(s.c.data);
    zero(s.spl);
    zero(s.spl1der);
    zero(s.spl2der);
    zero(s.xvalues);
    zero(s.yvalues);
    zero(s.spldraw);
    zero(s.spl1derdraw);
    zero(s.spl2derdraw);
    zero(s.pxdraw);
    std::fill(s.cdraw.begin(), s.cdraw.end(), 1.0);
    CoefficientsFromDialog();
}
