// The core's writers under real faults (support/file_faults.h): the byte
// files report every failure, and the debug log, which reports nothing,
// does not stop the program on a full disk or in a read-only folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/byte_files.h"
#include "core/errors.h"
#include "support/file_faults.h"

namespace {

TEST(CoreWritersUnderFaults, ByteFilesReportEveryFailure)
{
    FaultPlaces places;
    if (!places.Missing().empty())
        GTEST_SKIP() << places.Missing();
    CheckWriter(places, "byte files", "bytes.bin", [](const std::string& name) {
        gErrorState = ErrorState{};
        int h = -1, written = 0;
        IFileOpen(name, 1, h);
        const std::string block(3000, 'b');
        for (int i = 0; i < 3 && h != -1 && gErrorState.lastCode == 0; ++i)
            IFileWriteChar(h, block, static_cast<int>(block.size()), written);
        IFileClose(h);
        return WriteOutcome{gErrorState.lastCode == 0, gErrorState.lastCode == 1 || gErrorState.lastCode == 2};
    });
}

// The child: the debug log at level 2 gets more than the full disk holds;
// its exit code says that the program went on past every line.
constexpr int kWentOn = 7;

TEST(DISABLED_FaultsChild, DebugLogOnAFullDisk)
{
    YYErrorLevelSet(2);
    for (int i = 0; i < 200; ++i)
        YYErrorReport(12, "IStringToInteger");
    std::exit(kWentOn);
}

// Runs the child test TEST with FOLDER as its current folder; its exit code,
// -1 when it did not start or end.
int RunChildIn(const std::string& folder, const std::string& test)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

TEST(CoreWritersUnderFaults, TheDebugLogDoesNotStopTheProgram)
{
    FaultPlaces places;
    if (!places.Missing().empty())
        GTEST_SKIP() << places.Missing();
    for (FaultPlaces::Place place : {FaultPlaces::kFullDisk, FaultPlaces::kReadOnly}) {
        const std::string name = places.Name(place, "debug");
        EXPECT_EQ(RunChildIn(name.substr(0, name.rfind('\\')), "DISABLED_FaultsChild.DebugLogOnAFullDisk"), kWentOn)
            << FaultPlaces::Label(place);
    }
}

} // namespace
