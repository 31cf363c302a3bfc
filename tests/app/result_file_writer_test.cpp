// The writing thread: it forms and writes a job's files under the caller's
// floating-point traps, or writes them as the caller forms them; it reports
// the first file that fails, and a finish with nothing started reports
// nothing.
#include <gtest/gtest.h>

#include "app/result_file_writer.h"
#include "core/fp_traps.h"

#include <windows.h>

#include <string>
#include <thread>

namespace {

// The content of file NAME ("<missing>" when it cannot be opened); the
// writer's files are shared for reading while it has them open.
std::string FileText(const std::string& name)
{
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[64] = {};
    DWORD read = 0;
    ReadFile(h, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(h);
    return std::string(buffer, read);
}

TEST(ResultFileWriter, JobsFormAndWriteOnTheirOwnThreadAndReportTheFailedFile)
{
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder = std::string(temp) + "kestrow_writer_" + std::to_string(GetCurrentProcessId());
    const std::string a = folder + "\\a.txt", b = folder + "\\b.txt";
    // What a run of this process number stopped half-way may have left.
    DeleteFileA(a.c_str());
    DeleteFileA(b.c_str());
    RemoveDirectoryA(b.c_str());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);

    size_t failed = 99;
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesOk) << "nothing started";
    EXPECT_EQ(failed, 0u);

    std::string textA, textB = "second\r\n";
    const ResultFile files[] = {{a.c_str(), &textA}, {b.c_str(), &textB}};
    std::thread::id formedOn;
    bool trapsWhileForming = false;
    ResultFilesStart(files, [&] {
        formedOn = std::this_thread::get_id();
        trapsWhileForming = FloatingPointTrapsActive();
        textA = "first\r\n";
        return true;
    });
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesOk);
    EXPECT_NE(formedOn, std::this_thread::get_id());
    EXPECT_EQ(trapsWhileForming, FloatingPointTrapsActive());
    EXPECT_EQ(FileText(a), "first\r\n");
    EXPECT_EQ(FileText(b), textB);

    // A folder in place of the second file: it is named, the first written.
    ASSERT_TRUE(DeleteFileA(a.c_str()));
    ASSERT_TRUE(DeleteFileA(b.c_str()));
    ASSERT_TRUE(CreateDirectoryA(b.c_str(), nullptr));
    ResultFilesStart(files, {});
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesOpenFailed);
    EXPECT_EQ(failed, 1u);
    EXPECT_NE(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);

    // Texts that cannot be formed: a write failure of the first file, none written.
    ASSERT_TRUE(DeleteFileA(a.c_str()));
    ResultFilesStart(files, [] { return false; });
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesWriteFailed);
    EXPECT_EQ(failed, 0u);
    EXPECT_EQ(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);

    // Formed from the second file on: the first is written before the texts
    // are formed; a failure to form them fails the second file, untouched.
    ASSERT_TRUE(RemoveDirectoryA(b.c_str()));
    bool firstWrittenBeforeForming = false;
    ResultFilesStart(
        files,
        [&] {
            firstWrittenBeforeForming = FileText(a) == "first\r\n";
            return false;
        },
        1);
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesWriteFailed);
    EXPECT_EQ(failed, 1u);
    EXPECT_TRUE(firstWrittenBeforeForming);
    EXPECT_EQ(GetFileAttributesA(b.c_str()), INVALID_FILE_ATTRIBUTES);

    // Started ahead: the files are all created while the first text is still
    // being formed, each written when its text is; a text that cannot be
    // formed fails its file, which stays empty.
    ASSERT_TRUE(DeleteFileA(a.c_str()));
    textA = "ahead\r\n";
    ResultFilesStartAhead(files);
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(b.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 10000)
        Sleep(1);
    EXPECT_EQ(FileText(a), "") << "created before its text is formed";
    EXPECT_EQ(FileText(b), "") << "created before the first text is formed";
    ResultFilesFormed(1);
    ResultFilesFormed(-1);
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesWriteFailed);
    EXPECT_EQ(failed, 1u);
    EXPECT_EQ(FileText(a), "ahead\r\n");
    EXPECT_EQ(FileText(b), "");

    ResultFilesStartAhead(files);
    ResultFilesFormed(2);
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesOk);
    EXPECT_EQ(FileText(b), textB);

    // Started ahead with a folder in place of the second file: the first is
    // still written when its text is formed, the second named.
    ASSERT_TRUE(DeleteFileA(a.c_str()));
    ASSERT_TRUE(DeleteFileA(b.c_str()));
    ASSERT_TRUE(CreateDirectoryA(b.c_str(), nullptr));
    ResultFilesStartAhead(files);
    ResultFilesFormed(2);
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesOpenFailed);
    EXPECT_EQ(failed, 1u);
    EXPECT_EQ(FileText(a), "ahead\r\n");
    ASSERT_TRUE(RemoveDirectoryA(b.c_str()));

    // A preparation runs on the writing thread before the files, under the
    // caller's traps; waiting for it returns once it has run, and at once
    // when nothing is pending.
    std::thread::id preparedOn;
    bool trapsWhilePreparing = !FloatingPointTrapsActive();
    std::string prepared;
    ASSERT_TRUE(DeleteFileA(a.c_str()));
    ResultFilesStart(
        files, {}, 0, [&] {
            preparedOn = std::this_thread::get_id();
            trapsWhilePreparing = FloatingPointTrapsActive();
            prepared = FileText(a) == "<missing>" ? "before the files" : "after a file";
        });
    ResultFilesPrepared();
    EXPECT_EQ(prepared, "before the files");
    EXPECT_NE(preparedOn, std::thread::id());
    EXPECT_NE(preparedOn, std::this_thread::get_id());
    EXPECT_EQ(trapsWhilePreparing, FloatingPointTrapsActive());
    EXPECT_EQ(ResultFilesFinish(failed), kResultFilesOk);
    ResultFilesPrepared();

    DeleteFileA(a.c_str());
    DeleteFileA(b.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
