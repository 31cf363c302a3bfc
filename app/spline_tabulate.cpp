// Tabulation at the 201 points and the four result files.
#include "app/spline_tabulate.h"

#include "app/spline_basis.h"
#include "app/spline_module.h"
#include "core/fortran_format.h"

#include <array>
#include <cstdio>
#include <span>
#include <vector>

namespace {

using SM = SplineModule;

constexpr const char* kRecordFormat = "(15(TR1,ES25.15E3))";

// One result file: opened for writing from its start, records end in CR LF.
class ResultFile {
public:
    explicit ResultFile(const char* name) : name_(name) {}
    ~ResultFile()
    {
        if (f_)
            std::fclose(f_);
    }
    ResultFile(const ResultFile&) = delete;
    ResultFile& operator=(const ResultFile&) = delete;

    bool Open()
    {
        f_ = std::fopen(name_, "wb");
        return f_ != nullptr;
    }
    // Formats ITEMS as one record; false when formatting or writing fails.
    bool Write(std::span<const FormatItem> items)
    {
        std::vector<std::string> records;
        if (!FortranWrite(kRecordFormat, items, records) || records.size() != 1)
            return false;
        records[0] += "\r\n";
        return std::fwrite(records[0].data(), 1, records[0].size(), f_) == records[0].size();
    }
    bool Close()
    {
        std::FILE* f = f_;
        f_ = nullptr;
        bool flushed = std::fflush(f) == 0 && !std::ferror(f);
        return std::fclose(f) == 0 && flushed;
    }
    const char* name() const { return name_; }

private:
    const char* name_;
    std::FILE* f_ = nullptr;
};

int Fail(int status, const char* file, std::string* failedFile)
{
    if (failedFile)
        *failedFile = file;
    return status;
}

// Entry (point, col) of a column-major npoints x ncurves table.
size_t At(int point, int col) { return static_cast<size_t>(col) * SM::npoints + point; }

// Evaluates the three routines at X in interval K and stores row IDX (0-based).
void EvaluatePoint(SplineModule& s, double x, int k, int idx)
{
    BasisValuesAt(x, s.xx, s.px, k, s.c, SM::ncoef, s.spl);
    BasisFirstDerivativesAt(x, s.xx, s.px, k, s.c, SM::ncoef, s.spl1der);
    BasisSecondDerivativesAt(x, s.xx, s.px, k, s.c, SM::ncoef, s.spl2der);
    for (int j = 0; j < SM::ncoef; ++j) {
        s.spldraw[At(idx, j)] = static_cast<float>(s.spl[j]);
        s.spl1derdraw[At(idx, j)] = static_cast<float>(s.spl1der[j]);
        s.spl2derdraw[At(idx, j)] = static_cast<float>(s.spl2der[j]);
    }
}

// The record of point IDX from TABLE: x, the seven entries, their sum
// (accumulated in double, rounded to single).
bool WritePoint(ResultFile& f, const SplineModule& s, const std::vector<float>& table, int idx)
{
    std::vector<FormatItem> items;
    items.reserve(SM::ncurves + 2);
    items.emplace_back(static_cast<double>(s.xvalues[idx]));
    double sum = 0.0;
    for (int j = 0; j < SM::ncurves; ++j) {
        float v = table[At(idx, j)];
        items.emplace_back(static_cast<double>(v));
        sum += static_cast<double>(v);
    }
    items.emplace_back(static_cast<double>(static_cast<float>(sum)));
    return f.Write(items);
}

bool TablesAllocated(const SplineModule& s)
{
    const size_t pointTable = static_cast<size_t>(SM::npoints) * SM::ncurves;
    return s.xx.size() == SM::nintervals + 7 && s.px.size() == SM::nintervals + 6 &&
           s.c.rows == SM::ncoef && s.c.cols == SM::nbasis && s.spl.size() == SM::ncoef &&
           s.spl1der.size() == SM::ncoef && s.spl2der.size() == SM::ncoef &&
           s.xvalues.size() == SM::npoints && s.spldraw.size() == pointTable &&
           s.spl1derdraw.size() == pointTable && s.spl2derdraw.size() == pointTable &&
           s.xknots.size() >= SM::nknots && s.yknots.size() >= SM::nknots &&
           s.cdraw.size() == SM::ncoef && s.pxdraw.size() == SM::nintervals;
}

} // namespace

int SplineTabulate(std::string* failedFile)
{
    SplineModule& s = gSplineModule;
    if (failedFile)
        failedFile->clear();
    // Without the tables (SplineModuleInit not run) there is nothing to write.
    if (!TablesAllocated(s))
        return Fail(kTabulateWriteFailed, kSplinesFile, failedFile);

    CoefficientsFromDialog();

    ResultFile values(kSplinesFile);
    ResultFile first(kFirstDerFile);
    ResultFile second(kSecondDerFile);
    for (ResultFile* f : {&values, &first, &second})
        if (!f->Open())
            return Fail(kTabulateOpenFailed, f->name(), failedFile);

    for (int k = 4; k <= SM::nintervals + 3; ++k) {
        const double left = s.xx[k - 1];
        const double right = s.xx[k];
        s.xknots[k - 4] = static_cast<float>(left);
        for (int C = 0; C <= SM::nperinterval - 1; ++C) {
            const double x = ((SM::nperinterval - C) * left) / SM::nperinterval +
                             (C * right) / SM::nperinterval;
            const int idx = (k - 4) * SM::nperinterval + C; // 0-based point number
            s.xvalues[idx] = static_cast<float>(x);
            EvaluatePoint(s, x, k, idx);
        }
    }
    const double xLast = s.xx[SM::nintervals + 3];
    s.xvalues[SM::npoints - 1] = static_cast<float>(xLast);
    s.xknots[SM::nintervals] = s.xvalues[SM::npoints - 1];
    EvaluatePoint(s, xLast, SM::nintervals + 3, SM::npoints - 1);

    for (int i = 0; i < SM::npoints; ++i) {
        if (!WritePoint(values, s, s.spldraw, i))
            return Fail(kTabulateWriteFailed, values.name(), failedFile);
        if (!WritePoint(first, s, s.spl1derdraw, i))
            return Fail(kTabulateWriteFailed, first.name(), failedFile);
        if (!WritePoint(second, s, s.spl2derdraw, i))
            return Fail(kTabulateWriteFailed, second.name(), failedFile);
    }
    for (ResultFile* f : {&values, &first, &second})
        if (!f->Close())
            return Fail(kTabulateWriteFailed, f->name(), failedFile);

    ResultFile knots(kKnotsFile);
    if (!knots.Open())
        return Fail(kTabulateOpenFailed, knots.name(), failedFile);
    for (int i = 0; i < SM::nknots; ++i) {
        const FormatItem items[] = {static_cast<double>(s.xknots[i]),
                                    static_cast<double>(s.yknots[i])};
        if (!knots.Write(items))
            return Fail(kTabulateWriteFailed, knots.name(), failedFile);
    }
    if (!knots.Close())
        return Fail(kTabulateWriteFailed, knots.name(), failedFile);
    return kTabulateOk;
}
