// Tabulation at the 201 points and the four result files.
#include "app/spline_tabulate.h"

#include "app/spline_basis.h"
#include "app/result_file_writer.h"
#include "app/spline_module.h"
#include "core/fortran_format.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using SM = SplineModule;

constexpr const char* kRecordFormat = "(15(TR1,ES25.15E3))";

constexpr std::string_view kRecordEnd = "\r\n";

int Fail(int status, const char* file, std::string* failedFile)
{
    if (failedFile)
        *failedFile = file;
    return status;
}

// Entry (point, col) of a column-major npoints x ncurves table.
size_t At(int point, int col) { return static_cast<size_t>(col) * SM::npoints + point; }

// Evaluates the values and both derivatives at X in the prepared interval
// and stores row IDX (0-based).
void EvaluatePoint(SplineModule& s, const BasisInterval& interval, double x, int idx)
{
    BasisPointAt(interval, x, s.spl, s.spl1der, s.spl2der);
    for (int j = 0; j < SM::ncoef; ++j) {
        s.spldraw[At(idx, j)] = static_cast<float>(s.spl[j]);
        s.spl1derdraw[At(idx, j)] = static_cast<float>(s.spl1der[j]);
        s.spl2derdraw[At(idx, j)] = static_cast<float>(s.spl2der[j]);
    }
}

// Appends the record of point IDX from TABLE to TEXT: x, the seven entries,
// their sum (accumulated in double, rounded to single).
bool AppendPoint(std::string& text, const SplineModule& s, const std::vector<float>& table, int idx)
{
    std::array<FormatItem, SM::ncurves + 2> items{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    items[0] = static_cast<double>(s.xvalues[idx]);
    double sum = 0.0;
    for (int j = 0; j < SM::ncurves; ++j) {
        float v = table[At(idx, j)];
        items[j + 1] = static_cast<double>(v);
        sum += static_cast<double>(v);
    }
    items[SM::ncurves + 1] = static_cast<double>(static_cast<float>(sum));
    return FortranWriteAppend(kRecordFormat, items, text, kRecordEnd);
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

bool ResultFileTextBuild(int file, std::string& text)
{
    const SplineModule& s = gSplineModule;
    text.clear();
    if (file < 0 || file > 3)
        return false;
    if (file == 3) {
        for (int i = 0; i < SM::nknots; ++i) {
            const FormatItem items[] = {static_cast<double>(s.xknots[i]), static_cast<double>(s.yknots[i])};
            if (!FortranWriteAppend(kRecordFormat, items, text, kRecordEnd))
                return false;
        }
        return true;
    }
    const std::vector<float>* tables[3] = {&s.spldraw, &s.spl1derdraw, &s.spl2derdraw};
    text.reserve(static_cast<size_t>(SM::npoints) * (SM::ncurves + 2) * 26 + SM::npoints * kRecordEnd.size());
    for (int i = 0; i < SM::npoints; ++i)
        if (!AppendPoint(text, s, *tables[file], i))
            return false;
    return true;
}

bool ResultFileTextsBuild(std::array<std::string, 4>& texts)
{
    for (int f = 0; f < 4; ++f)
        if (!ResultFileTextBuild(f, texts[static_cast<size_t>(f)]))
            return false;
    return true;
}

namespace {

// The four texts, kept between calls so that their storage is reused; the
// three result files in their order and the knots file last.
std::array<std::string, 4> gTexts;
std::array<ResultFile, 4> gFiles = {ResultFile{kSplinesFile, &gTexts[0]}, ResultFile{kFirstDerFile, &gTexts[1]},
                                    ResultFile{kSecondDerFile, &gTexts[2]}, ResultFile{kKnotsFile, &gTexts[3]}};

// A begun tabulation's files: the caller's leading file, when it gave one,
// then the four.
std::array<ResultFile, 5> gJob;
size_t gJobSize = 0;

// True from a begun tabulation's hand-over to its end.
bool gFilesPending = false;

// The status of the files FILES (FAILED the index of the failed one).
int FilesStatus(int status, std::span<const ResultFile> files, size_t failed, std::string* failedFile)
{
    if (status == kResultFilesOk)
        return kTabulateOk;
    return Fail(status == kResultFilesOpenFailed ? kTabulateOpenFailed : kTabulateWriteFailed,
                failed < files.size() ? files[failed].name : kSplinesFile, failedFile);
}

// Ends a begun tabulation (its files still being written are finished
// first, its failure reported); then fails when there are no tables to
// evaluate (SplineModuleInit not run), before any file is touched.
int Ready(std::string* failedFile)
{
    const int status = SplineTabulateEnd(failedFile);
    if (status != kTabulateOk)
        return status;
    return TablesAllocated(gSplineModule) ? kTabulateOk : Fail(kTabulateWriteFailed, kSplinesFile, failedFile);
}

// Evaluates the tables (allocated: Ready said so).
void Tables()
{
    SplineModule& s = gSplineModule;
    CoefficientsFromDialog();

    // The interval's own quantities once, for its fifty points (and the
    // last interval's for the right end).
    static BasisInterval interval;
    for (int k = 4; k <= SM::nintervals + 3; ++k) {
        BasisIntervalPrepare(s.xx, s.px, k, s.c, SM::ncoef, kBasisAllParts, interval);
        const double left = s.xx[k - 1];
        const double right = s.xx[k];
        s.xknots[k - 4] = static_cast<float>(left);
        for (int C = 0; C <= SM::nperinterval - 1; ++C) {
            const double x = ((SM::nperinterval - C) * left) / SM::nperinterval +
                             (C * right) / SM::nperinterval;
            const int idx = (k - 4) * SM::nperinterval + C; // 0-based point number
            s.xvalues[idx] = static_cast<float>(x);
            EvaluatePoint(s, interval, x, idx);
        }
    }
    const double xLast = s.xx[SM::nintervals + 3];
    s.xvalues[SM::npoints - 1] = static_cast<float>(xLast);
    s.xknots[SM::nintervals] = s.xvalues[SM::npoints - 1];
    EvaluatePoint(s, interval, xLast, SM::npoints - 1);
}

} // namespace

int SplineTabulate(std::string* failedFile)
{
    const int status = Ready(failedFile);
    if (status != kTabulateOk)
        return status;
    // The writing thread creates, writes and closes the files while the
    // tables and then the texts are formed here, each file as soon as its
    // text is ready (a text that cannot be formed fails its file).
    ResultFilesStartAhead(gFiles);
    Tables();
    for (int f = 0; f < 4; ++f) {
        if (!ResultFileTextBuild(f, gTexts[static_cast<size_t>(f)])) {
            ResultFilesFormed(-1);
            break;
        }
        ResultFilesFormed(f + 1);
    }
    size_t failed = 0;
    const int filesStatus = ResultFilesFinish(failed);
    return FilesStatus(filesStatus, gFiles, failed, failedFile);
}

int SplineTabulateBegin(std::string* failedFile, const ResultFile* leading)
{
    const int status = Ready(failedFile);
    if (status != kTabulateOk)
        return status;
    gJobSize = 0;
    if (leading)
        gJob[gJobSize++] = *leading;
    for (const ResultFile& file : gFiles)
        gJob[gJobSize++] = file;
    // The writing thread evaluates the tables first, then writes the
    // leading file and forms the texts: they read only the tables, which
    // nothing changes until the end.
    ResultFilesStart(std::span<const ResultFile>(gJob.data(), gJobSize), [] { return ResultFileTextsBuild(gTexts); },
                     leading ? 1 : 0, Tables);
    gFilesPending = true;
    return kTabulateOk;
}

void SplineTabulateTables() { ResultFilesPrepared(); }

int SplineTabulateEnd(std::string* failedFile)
{
    if (failedFile)
        failedFile->clear();
    if (!gFilesPending)
        return kTabulateOk;
    gFilesPending = false;
    size_t failed = 0;
    const int status = ResultFilesFinish(failed);
    return FilesStatus(status, std::span<const ResultFile>(gJob.data(), gJobSize), failed, failedFile);
}
