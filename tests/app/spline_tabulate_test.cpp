// Tabulation and the four result files, written in a fresh temporary folder:
// the start-up lines, the knots file, repeatability, a switched-off column,
// the tabulation in two steps, and files that cannot be written.
#include <gtest/gtest.h>

#include "app/app_errors.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The lines of TEXT, which must all end in CR LF.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF";
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// One field of a record: a blank, then the number right-justified in 25.
std::string F(const std::string& number) { return std::string(26 - number.size(), ' ') + number; }

const std::string kZero = "0.000000000000000E+000";
const std::string kOne = "1.000000000000000E+000";

// A fresh, empty current folder for each test; the old one is restored after.
class SplineFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char old[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        for (int n = 0;; ++n) {
            dir_ = std::string(temp) + "kestrow_spline_" + std::to_string(GetCurrentProcessId()) +
                   "_" + std::to_string(GetTickCount()) + "_" + std::to_string(n);
            if (CreateDirectoryA(dir_.c_str(), nullptr))
                break;
            ASSERT_LT(n, 1000);
        }
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        SplineModuleInit();
        KnotVectorBuild();
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(oldDir_.c_str());
        for (const char* name : {kSplinesFile, kFirstDerFile, kSecondDerFile, kKnotsFile}) {
            std::string path = dir_ + "\\" + name;
            if (!DeleteFileA(path.c_str()))
                RemoveDirectoryA(path.c_str());
        }
        RemoveDirectoryA(dir_.c_str());
    }
    std::string dir_;
    std::string oldDir_;
};

} // namespace

TEST_F(SplineFiles, StartUpFiles)
{
    std::string failed = "x";
    ASSERT_EQ(SplineTabulate(&failed), kTabulateOk);
    EXPECT_EQ(failed, "");

    for (const char* name : {kSplinesFile, kFirstDerFile, kSecondDerFile}) {
        auto lines = Lines(ReadFile(name));
        ASSERT_EQ(lines.size(), 201u) << name;
        for (const auto& line : lines)
            EXPECT_EQ(line.size(), 234u) << name;
    }

    auto values = Lines(ReadFile(kSplinesFile));
    ASSERT_EQ(values.size(), 201u);
    EXPECT_EQ(values[0], F(kZero) + F(kOne) + F(kZero) + F(kZero) + F(kZero) + F(kZero) +
                             F(kZero) + F(kZero) + F(kOne));
    EXPECT_EQ(values[1], F("1.250000018626451E-002") + F("9.411919713020325E-001") +
                             F("5.821400135755539E-002") + F("5.926666781306267E-004") +
                             F("1.333333329966990E-006") + F(kZero) + F(kZero) + F(kZero) +
                             F(kOne));
    EXPECT_EQ(values[200], F("2.500000000000000E+000") + F(kZero) + F(kZero) + F(kZero) +
                               F(kZero) + F(kZero) + F(kZero) + F(kOne) + F(kOne));
    // The first point of the second interval is its left knot.
    EXPECT_EQ(values[50].substr(0, 26), F("6.250000000000000E-001"));

    auto first = Lines(ReadFile(kFirstDerFile));
    ASSERT_EQ(first.size(), 201u);
    EXPECT_EQ(first[1], F("1.250000018626451E-002") + F("-4.609920024871826E+000") +
                            F("4.515359878540039E+000") + F("9.424000233411789E-002") +
                            F("3.199999919161201E-004") + F(kZero) + F(kZero) + F(kZero) +
                            F("-1.440057530999184E-007"));

    EXPECT_EQ(ReadFile(kKnotsFile),
              "    0.000000000000000E+000    0.000000000000000E+000\r\n"
              "    6.250000000000000E-001    0.000000000000000E+000\r\n"
              "    1.250000000000000E+000    0.000000000000000E+000\r\n"
              "    1.875000000000000E+000    0.000000000000000E+000\r\n"
              "    2.500000000000000E+000    0.000000000000000E+000\r\n");

    // The tables behind the files.
    const SplineModule& s = gSplineModule;
    EXPECT_EQ(s.xvalues[1], 0.0125f);
    EXPECT_EQ(s.xvalues[200], 2.5f);
    EXPECT_EQ(s.xknots, (std::vector<float>{0.0f, 0.625f, 1.25f, 1.875f, 2.5f}));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(s.c(i, i), 1.0);
}

TEST_F(SplineFiles, TwoRunsGiveIdenticalFilesAndOldContentIsReplaced)
{
    // A longer old file is cut to the new content.
    {
        std::ofstream old(kKnotsFile, std::ios::binary);
        old << std::string(5000, 'z');
    }
    gSplineModule.pxdraw = {10, 50, 100, 3};
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    std::vector<std::string> firstRun;
    for (const char* name : {kSplinesFile, kFirstDerFile, kSecondDerFile, kKnotsFile})
        firstRun.push_back(ReadFile(name));
    EXPECT_EQ(firstRun[3].size(), 5u * 54u);
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    int n = 0;
    for (const char* name : {kSplinesFile, kFirstDerFile, kSecondDerFile, kKnotsFile})
        EXPECT_EQ(ReadFile(name), firstRun[n++]) << name;
}

TEST_F(SplineFiles, SwitchedOffFunctionGivesZeroColumn)
{
    gSplineModule.pxdraw = {10, 50, 100, 3};
    gSplineModule.cdraw[2] = 0.0; // T3 off
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    for (const char* name : {kSplinesFile, kFirstDerFile, kSecondDerFile}) {
        auto lines = Lines(ReadFile(name));
        ASSERT_EQ(lines.size(), 201u);
        int nonZeroNeighbours = 0;
        for (const auto& line : lines) {
            EXPECT_EQ(line.substr(3 * 26, 26), F(kZero)) << name;
            if (line.substr(2 * 26, 26) != F(kZero))
                ++nonZeroNeighbours;
        }
        EXPECT_GT(nonZeroNeighbours, 50) << name;
    }
    // Without B3 the values no longer sum to 1 inside the first two intervals.
    auto values = Lines(ReadFile(kSplinesFile));
    EXPECT_NE(values[60].substr(8 * 26), F(kOne));
    EXPECT_EQ(values[0].substr(8 * 26), F(kOne)); // only B1 is non-zero at x = 0
}

TEST_F(SplineFiles, UnwritableFileGivesFailureStatus)
{
    ASSERT_TRUE(CreateDirectoryA(kFirstDerFile, nullptr));
    std::string failed;
    EXPECT_EQ(SplineTabulate(&failed), kTabulateOpenFailed);
    EXPECT_EQ(failed, kFirstDerFile);
    ASSERT_TRUE(RemoveDirectoryA(kFirstDerFile));

    ASSERT_TRUE(CreateDirectoryA(kKnotsFile, nullptr));
    EXPECT_EQ(SplineTabulate(&failed), kTabulateOpenFailed);
    EXPECT_EQ(failed, kKnotsFile);
    ASSERT_TRUE(RemoveDirectoryA(kKnotsFile));

    EXPECT_EQ(SplineTabulate(&failed), kTabulateOk);
    EXPECT_EQ(failed, "");
}

// The tabulation in two steps (the files written on their own thread) writes
// the same files, and reports a file that fails when it ends; one begun and
// not ended is ended by the next tabulation, its failure not lost.
TEST_F(SplineFiles, BegunTabulationWritesTheSameFilesAndReportsAFailureAtItsEnd)
{
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    const char* names[] = {kSplinesFile, kFirstDerFile, kSecondDerFile, kKnotsFile};
    std::vector<std::string> before;
    for (const char* name : names) {
        before.push_back(ReadFile(name));
        ASSERT_TRUE(DeleteFileA(name)) << name;
    }
    std::string failed = "x";
    ASSERT_EQ(SplineTabulateBegin(&failed), kTabulateOk);
    EXPECT_EQ(SplineTabulateEnd(&failed), kTabulateOk);
    EXPECT_EQ(failed, "");
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(ReadFile(names[i]), before[i]) << names[i];

    ASSERT_TRUE(DeleteFileA(kSecondDerFile));
    ASSERT_TRUE(CreateDirectoryA(kSecondDerFile, nullptr));
    ASSERT_EQ(SplineTabulateBegin(&failed), kTabulateOk);
    EXPECT_EQ(SplineTabulateEnd(&failed), kTabulateOpenFailed);
    EXPECT_EQ(failed, kSecondDerFile);

    ASSERT_EQ(SplineTabulateBegin(&failed), kTabulateOk);
    EXPECT_EQ(SplineTabulate(&failed), kTabulateOpenFailed);
    EXPECT_EQ(failed, kSecondDerFile);

    // The tables are evaluated on the writing thread from the data as they
    // were at the begin, and are ready once SplineTabulateTables returns.
    SplineModule& s = gSplineModule;
    const int32_t first = s.pxdraw[0], other = (first + 17) % 101;
    s.pxdraw[0] = other;
    ASSERT_EQ(SplineTabulate(&failed), kTabulateOpenFailed);
    const std::vector<float> changed = s.spl1derdraw;
    s.pxdraw[0] = first;
    ASSERT_EQ(SplineTabulate(&failed), kTabulateOpenFailed);
    ASSERT_NE(s.spl1derdraw, changed);
    s.pxdraw[0] = other;
    ASSERT_EQ(SplineTabulateBegin(&failed), kTabulateOk);
    SplineTabulateTables();
    EXPECT_EQ(s.spl1derdraw, changed);
    EXPECT_EQ(SplineTabulateEnd(&failed), kTabulateOpenFailed);
    s.pxdraw[0] = first;
    ASSERT_TRUE(RemoveDirectoryA(kSecondDerFile));

    // Nothing pending: ending reports nothing.
    EXPECT_EQ(SplineTabulateEnd(&failed), kTabulateOk);
    EXPECT_EQ(failed, "");
    EXPECT_EQ(SplineTabulate(&failed), kTabulateOk);

    // A leading file of the caller's is written first; when it fails it is
    // named and the result files are left as they were.
    const std::string lead = "lead\r\n";
    const ResultFile leading{"lead.txt", &lead};
    ASSERT_EQ(SplineTabulateBegin(&failed, &leading), kTabulateOk);
    EXPECT_EQ(SplineTabulateEnd(&failed), kTabulateOk);
    EXPECT_EQ(ReadFile("lead.txt"), lead);
    EXPECT_EQ(ReadFile(kSplinesFile), before[0]);
    ASSERT_TRUE(DeleteFileA("lead.txt"));
    ASSERT_TRUE(CreateDirectoryA("lead.txt", nullptr));
    for (const char* name : names)
        ASSERT_TRUE(DeleteFileA(name)) << name;
    ASSERT_EQ(SplineTabulateBegin(&failed, &leading), kTabulateOk);
    EXPECT_EQ(SplineTabulateEnd(&failed), kTabulateOpenFailed);
    EXPECT_EQ(failed, "lead.txt");
    for (const char* name : names)
        EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES) << name;
    ASSERT_TRUE(RemoveDirectoryA("lead.txt"));
    EXPECT_EQ(SplineTabulate(&failed), kTabulateOk);
}

TEST_F(SplineFiles, ProgramEndsWithFailureCodeWhenAFileCannotBeWritten)
{
    const char* exeVar = std::getenv("KESTROW_EXE");
    if (!exeVar)
        GTEST_SKIP() << "KESTROW_EXE not set";
    // The path may be relative to the folder the test started in.
    char exe[MAX_PATH];
    ASSERT_TRUE(SetCurrentDirectoryA(oldDir_.c_str()));
    DWORD n = GetFullPathNameA(exeVar, MAX_PATH, exe, nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    ASSERT_NE(GetFileAttributesA(exe), INVALID_FILE_ATTRIBUTES) << exe;
    ASSERT_TRUE(CreateDirectoryA(kSecondDerFile, nullptr));
    SetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", "1");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = std::string("\"") + exe + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               dir_.c_str(), &si, &pi));
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, static_cast<DWORD>(kExitResultFileFailure));
    RemoveDirectoryA(kSecondDerFile);
}
