// Operating-system services: the file, directory, process, environment and
// registry wrappers, and the public delete, copy and beep routines.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "support/poll.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

void WriteFileBytes(const std::string& name, const std::string& bytes)
{
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& name)
{
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA e;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &e);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = e.cFileName;
            if (n == "." || n == "..")
                continue;
            std::string p = dir + "\\" + n;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &e));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// A fresh folder under the temporary directory, made current for the test;
// the previous current folder comes back and the folder goes afterwards.
class OsFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        char old[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        previous_ = old;
        static int serial = 0;
        dir_ = std::string(tmp) + "kq_os_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount()) + "_" + std::to_string(++serial);
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        gErrorState = ErrorState{};
    }
    void TearDown() override
    {
        OsDirScanEnd();
        SetCurrentDirectoryA(previous_.c_str());
        RemoveTree(dir_);
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

    std::string dir_;
    std::string previous_;
};

// ---------------------------------------------------------------------------
// Files

TEST_F(OsFolder, ReadSwappedReversesEachGroup)
{
    WriteFileBytes("s.bin", std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
    struct Case {
        int w;
        const char* expected;
    } cases[] = {
        {4, "\x04\x03\x02\x01\x08\x07\x06\x05"},
        {2, "\x02\x01\x04\x03\x06\x05\x08\x07"},
        {0, "\x01\x02\x03\x04\x05\x06\x07\x08"},
        {3, "\x03\x02\x01\x06\x05\x04\x07\x08"}, // the incomplete last group stays
    };
    for (const Case& c : cases) {
        int h = -1, err = -1, count = -1;
        OsFileOpen("s.bin", 0, h, err);
        ASSERT_NE(h, -1);
        char buf[8] = {};
        OsFileReadSwapped(h, buf, 8, count, c.w, err);
        OsFileClose(h);
        EXPECT_EQ(err, 0);
        EXPECT_EQ(count, 8);
        EXPECT_EQ(std::string(buf, 8), std::string(c.expected, 8)) << "W = " << c.w;
    }
}

TEST_F(OsFolder, WriteSwappedLeavesBufferUnchanged)
{
    int h = -1, err = -1, count = -1;
    OsFileOpen("w.bin", 1, h, err);
    ASSERT_NE(h, -1);
    unsigned char buf[6] = {1, 2, 3, 4, 5, 6};
    OsFileWriteSwapped(h, buf, 6, count, 2, err);
    OsFileClose(h);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(count, 6);
    const unsigned char expectBuf[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::memcmp(buf, expectBuf, 6), 0);
    EXPECT_EQ(ReadFileBytes("w.bin"), std::string("\x02\x01\x04\x03\x06\x05", 6));
}

TEST_F(OsFolder, OpenModesAndFailures)
{
    int h = 0, err = 0;
    OsFileOpen("missing.bin", 0, h, err);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(err, ERROR_FILE_NOT_FOUND);
    OsFileOpen("missing.bin", 2, h, err);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(err, ERROR_FILE_NOT_FOUND);

    WriteFileBytes("t.bin", "abcdef");
    OsFileOpen("t.bin", 1, h, err); // truncates
    ASSERT_NE(h, -1);
    EXPECT_EQ(err, 0);
    OsFileClose(h);
    EXPECT_EQ(ReadFileBytes("t.bin"), "");

    // Mode 1 lets others read only: a second writer is refused while it is open.
    int writer = -1, other = -1, e2 = 0;
    OsFileOpen("t.bin", 1, writer, err);
    ASSERT_NE(writer, -1);
    OsFileOpen("t.bin", 0, other, e2);
    EXPECT_NE(other, -1) << "a reader shares with mode 1";
    OsFileClose(other);
    OsFileOpen("t.bin", 2, other, e2);
    EXPECT_EQ(other, -1);
    EXPECT_EQ(e2, ERROR_SHARING_VIOLATION);
    OsFileClose(writer);
}

TEST_F(OsFolder, FileInfoSizeKilobytesAndMissing)
{
    struct Case {
        int bytes;
        int kbytes;
    } cases[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {2048, 2}};
    for (const Case& c : cases) {
        WriteFileBytes("i.bin", std::string(static_cast<size_t>(c.bytes), 'x'));
        int size = 0, y = 0, mo = 0, d = 0, hh = 0, mi = 0, s = 0, attr = 0, kb = -5;
        OsFileInfo(size, y, mo, d, hh, mi, s, attr, kb, "i.bin");
        EXPECT_EQ(size, c.bytes);
        EXPECT_EQ(kb, c.kbytes) << c.bytes << " bytes";
        EXPECT_GE(y, 2000);
        EXPECT_EQ(attr & FILE_ATTRIBUTE_DIRECTORY, 0);
    }
    int size = 0, y = 0, mo = 0, d = 0, hh = 0, mi = 0, s = 0, attr = 0, kb = 0;
    OsFileInfo(size, y, mo, d, hh, mi, s, attr, kb, "nothing.here");
    EXPECT_EQ(size, -1);
}

TEST_F(OsFolder, FileTimesRoundTrip)
{
    WriteFileBytes("t.bin", "x");
    // 2001-01-01 00:00:00 UTC as a FILETIME, a day later, two days later.
    const unsigned long long base = 126227808000000000ull, day = 864000000000ull;
    auto lo = [](unsigned long long v) { return static_cast<int>(v & 0xFFFFFFFFu); };
    auto hi = [](unsigned long long v) { return static_cast<int>(v >> 32); };
    OsFileTimesSet(lo(base), hi(base), lo(base + day), hi(base + day), lo(base + 2 * day),
                   hi(base + 2 * day), "t.bin");
    int c1, c2, a1, a2, w1, w2;
    OsFileTimesGet(c1, c2, a1, a2, w1, w2, "t.bin");
    EXPECT_EQ(w1, lo(base + 2 * day));
    EXPECT_EQ(w2, hi(base + 2 * day));
    EXPECT_EQ(a2, hi(base + day));
    // (The creation time is not compared: Wine cannot set it on most Linux
    // file systems.)
    OsFileTimesGet(c1, c2, a1, a2, w1, w2, "missing.bin");
    EXPECT_EQ(w1 | w2 | c1 | c2 | a1 | a2, 0);
}

TEST_F(OsFolder, DirScanFindsEntriesAndEndsWithNoMoreFiles)
{
    WriteFileBytes("a.dat", "12345");
    WriteFileBytes("b.dat", "");
    CreateDirectoryA("c.dat", nullptr);
    WriteFileBytes("d.txt", "");
    char name[MAX_PATH] = "*.dat";
    int attr = 0, dt = 0, size = 0, found = 0, err = 0;
    std::vector<std::string> names;
    int aSize = -1, aDateTime = 0, dirAttr = 0;
    OsDirScan(0, name, attr, dt, size, found, err);
    while (found) {
        names.push_back(name);
        if (names.back() == "a.dat") {
            aSize = size;
            aDateTime = dt;
        }
        if (names.back() == "c.dat")
            dirAttr = attr;
        OsDirScan(1, name, attr, dt, size, found, err);
    }
    OsDirScanEnd();
    EXPECT_EQ(err, ERROR_NO_MORE_FILES);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.dat", "c.dat"}));
    EXPECT_EQ(aSize, 5);
    EXPECT_NE(dirAttr & 16, 0);
    // The packed date is today's local date in MS-DOS form.
    int y = 0, m = 0, d = 0;
    OsDate(y, m, d);
    const unsigned dosDate = static_cast<unsigned>(aDateTime) >> 16;
    EXPECT_EQ(static_cast<int>(dosDate >> 9) + 1980, y);
    EXPECT_EQ(static_cast<int>((dosDate >> 5) & 15), m);

    strcpy(name, "none*.zz");
    OsDirScan(0, name, attr, dt, size, found, err);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(err, ERROR_FILE_NOT_FOUND);
    OsDirScan(1, name, attr, dt, size, found, err);
    EXPECT_EQ(found, 0);
    EXPECT_NE(err, 0);
}

TEST_F(OsFolder, DirectoriesAndPaths)
{
    int err = -1;
    OsMakeDir("sub", err);
    EXPECT_EQ(err, 0);
    OsMakeDir("sub", err);
    EXPECT_EQ(err, ERROR_ALREADY_EXISTS);
    OsChangeDir("sub", err);
    EXPECT_EQ(err, 0);
    char buf[MAX_PATH];
    int trunc = -1;
    OsCurrentDir(buf, err, trunc, MAX_PATH);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(trunc, 0);
    EXPECT_EQ(std::string(buf), Path("sub"));
    // Too small a buffer: the path arrives cut, flagged as truncated.
    char small[6];
    OsCurrentDir(small, err, trunc, 6);
    EXPECT_EQ(trunc, 1);
    EXPECT_EQ(std::string(small), Path("sub").substr(0, 5));
    OsChangeDir("..", err);
    OsRemoveDir("sub", err);
    EXPECT_EQ(err, 0);
    OsRemoveDir("sub", err);
    EXPECT_NE(err, 0);

    OsFullPath(err, "x.txt", buf, MAX_PATH);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(std::string(buf), Path("x.txt"));
    OsFullPath(err, "x.txt", small, 6);
    EXPECT_EQ(err, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(small[0], '\0');
}

TEST_F(OsFolder, FindExecutableResults)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char program[MAX_PATH] = {};
    int result = -5;
    OsFindExecutable(result, self, program, MAX_PATH);
    EXPECT_EQ(result, 0);
    EXPECT_GT(std::strlen(program), 4u);
    char small[4];
    OsFindExecutable(result, self, small, sizeof(small));
    EXPECT_EQ(result, 1023);
    OsFindExecutable(result, Path("kq_missing.txt").c_str(), program, MAX_PATH);
    EXPECT_EQ(result, 1);
}

TEST_F(OsFolder, RenameDeleteAttributes)
{
    WriteFileBytes("a.txt", "A");
    int err = -1;
    OsRenameFile(err, "a.txt", "b.txt");
    EXPECT_EQ(err, 0);
    EXPECT_FALSE(Exists("a.txt"));
    EXPECT_EQ(ReadFileBytes("b.txt"), "A");
    OsSetFileAttributes(FILE_ATTRIBUTE_READONLY, err, "b.txt");
    EXPECT_EQ(err, 0);
    OsDeleteFile("b.txt", err);
    EXPECT_EQ(err, ERROR_ACCESS_DENIED);
    OsSetFileAttributes(FILE_ATTRIBUTE_NORMAL, err, "b.txt");
    OsDeleteFile("b.txt", err);
    EXPECT_EQ(err, 0);
    OsDeleteFile("b.txt", err);
    EXPECT_EQ(err, ERROR_FILE_NOT_FOUND);
}

// ---------------------------------------------------------------------------
// Public delete and copy

TEST_F(OsFolder, DeleteFileByWildcardSkipsDirectoriesAndReportsNoMatch)
{
    CreateDirectoryA("data", nullptr);
    for (const char* n : {"data\\a.plt", "data\\b.plt", "data\\keep.txt", "c.plt"})
        WriteFileBytes(n, "x");
    CreateDirectoryA("data\\sub.plt", nullptr);
    IOsDeleteFile(Path("data\\*.plt") + "   ");
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_FALSE(Exists("data\\a.plt"));
    EXPECT_FALSE(Exists("data\\b.plt"));
    EXPECT_TRUE(Exists("data\\keep.txt"));
    EXPECT_TRUE(Exists("data\\sub.plt"));
    EXPECT_TRUE(Exists("c.plt")) << "only the named folder is touched";

    IOsDeleteFile(Path("data\\*.plt")); // only the folder matches now: nothing to do
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_TRUE(Exists("data\\sub.plt"));

    IOsDeleteFile(Path("data\\*.none"));
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_EQ(gErrorState.status, ERROR_FILE_NOT_FOUND);

    gErrorState = ErrorState{};
    IOsDeleteFile("    ");
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(OsFolder, DeleteFileWithForwardSlashDeletesInThatFolder)
{
    // The files found in "data/" are deleted there, not under the same name
    // in the current folder.
    CreateDirectoryA("data", nullptr);
    WriteFileBytes("data\\x.tmp", "x");
    WriteFileBytes("x.tmp", "keep");
    IOsDeleteFile("data/*.tmp");
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_FALSE(Exists("data\\x.tmp"));
    EXPECT_EQ(ReadFileBytes("x.tmp"), "keep");
}

TEST_F(OsFolder, DeleteFileFailureReportsAndGoesOn)
{
    WriteFileBytes("a.del", "x");
    WriteFileBytes("b.del", "x");
    WriteFileBytes("c.del", "x");
    SetFileAttributesA("b.del", FILE_ATTRIBUTE_READONLY);
    IOsDeleteFile("*.del");
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_EQ(gErrorState.status, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Exists("a.del"));
    EXPECT_TRUE(Exists("b.del"));
    EXPECT_FALSE(Exists("c.del"));
}

TEST_F(OsFolder, CopyFileSingleAndIntoFolder)
{
    CreateDirectoryA("src", nullptr);
    CreateDirectoryA("dst", nullptr);
    WriteFileBytes("src\\x.dat", "payload");
    WriteFileBytes("dst\\x.dat", "old");

    IOsCopyFile(Path("src\\x.dat"), Path("dst\\")); // folder target, overwriting
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(ReadFileBytes("dst\\x.dat"), "payload");

    IOsCopyFile("src\\x.dat", "dst\\y.dat  ");
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(ReadFileBytes("dst\\y.dat"), "payload");

    IOsCopyFile("src\\x.dat", "   "); // blank target: the current folder
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(ReadFileBytes("x.dat"), "payload");

    IOsCopyFile("src\\missing.dat", "dst\\m.dat");
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_EQ(gErrorState.status, ERROR_FILE_NOT_FOUND);
}

TEST_F(OsFolder, CopyFileSameNameReports55CaseCounts)
{
    WriteFileBytes("a.txt", "A");
    IOsCopyFile("a.txt", "a.txt  ");
    EXPECT_EQ(gErrorState.lastCode, 55);
    EXPECT_EQ(ReadFileBytes("a.txt"), "A");

    IOsCopyFile("dir\\a.txt", "dir\\"); // the file name is appended: same name
    EXPECT_EQ(gErrorState.lastCode, 55);

    gErrorState = ErrorState{};
    IOsCopyFile("a.txt", "A.TXT"); // not the same text: the copy is attempted
    EXPECT_NE(gErrorState.lastCode, 55);
    EXPECT_EQ(ReadFileBytes("a.txt"), "A");
}

TEST_F(OsFolder, CopyFileWildcardIntoFolder)
{
    CreateDirectoryA("dst", nullptr);
    CreateDirectoryA("sub.dat", nullptr);
    WriteFileBytes("one.dat", "1");
    WriteFileBytes("two.dat", "2");
    WriteFileBytes("three.txt", "3");
    IOsCopyFile("*.dat", "dst");
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(ReadFileBytes("dst\\one.dat"), "1");
    EXPECT_EQ(ReadFileBytes("dst\\two.dat"), "2");
    EXPECT_FALSE(Exists("dst\\three.txt"));
    EXPECT_FALSE(Exists("dst\\sub.dat"));

    IOsCopyFile("*.none", "dst");
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_EQ(gErrorState.status, ERROR_FILE_NOT_FOUND);

    // The first failed copy reports and ends the copying.
    gErrorState = ErrorState{};
    IOsCopyFile("*.dat", "no_such_folder\\");
    EXPECT_EQ(gErrorState.lastCode, 13);
    EXPECT_NE(gErrorState.status, 0);
}

// ---------------------------------------------------------------------------
// Switches

TEST(OsSwitches, BeepSwitchReadsFirstThreeCharacters)
{
    struct Case {
        const char* text;
        int before;
        int after;
    } cases[] = {
        {"on", 0, 1},   {"ON  ", 0, 1}, {"OFFX", 1, 0}, {"off", 1, 0},
        {"ONE", 0, 0},  {"YES", 1, 1},  {"", 0, 0},     {"O", 1, 1},
    };
    const int saved = gLibraryState.beepSwitch;
    for (const Case& c : cases) {
        gLibraryState.beepSwitch = c.before;
        YYBeepSwitch(c.text);
        EXPECT_EQ(gLibraryState.beepSwitch, c.after) << "'" << c.text << "'";
    }
    gLibraryState.beepSwitch = saved;
}

TEST(OsSwitches, LocaleDecimalInputOnlyForOne)
{
    const int saved = gLibraryState.localeDecimalSwitch;
    for (int flag : {1, 2, 0, -1}) {
        LocaleDecimalInputSet(flag);
        EXPECT_EQ(gLibraryState.localeDecimalSwitch, flag == 1 ? 1 : 0);
    }
    gLibraryState.localeDecimalSwitch = saved;
}

// ---------------------------------------------------------------------------
// Environment, messages, user

TEST(OsEnvironment, SetGetAndTooSmallBuffer)
{
    OsSetEnv("KQ_OS_TEST", "value123");
    char buf[32];
    int len = -1;
    OsGetEnv(len, "KQ_OS_TEST", buf, sizeof(buf));
    EXPECT_EQ(len, 8);
    EXPECT_STREQ(buf, "value123");
    OsGetEnv(len, "KQ_OS_TEST", buf, 4);
    EXPECT_GE(len, 4);
    OsGetEnv(len, "KQ_OS_TEST_UNSET", buf, sizeof(buf));
    EXPECT_EQ(len, 0);
}

TEST(OsMessages, ErrorTextOfSystemCodes)
{
    char buf[300];
    OsErrorText(ERROR_FILE_NOT_FOUND, buf, sizeof(buf));
    EXPECT_GT(std::strlen(buf), 5u);
    char small[4];
    OsErrorText(ERROR_FILE_NOT_FOUND, small, sizeof(small));
    EXPECT_LT(std::strlen(small), sizeof(small));
    OsErrorText(0x7FFFFF0, buf, sizeof(buf)); // no such message
    EXPECT_STREQ(buf, "");
}

TEST(OsMessages, UserNameTruncation)
{
    char name[64];
    int err = -1, trunc = -1;
    OsUserName(err, trunc, name, sizeof(name));
    ASSERT_EQ(err, 0);
    EXPECT_EQ(trunc, 0);
    const size_t full = std::strlen(name);
    ASSERT_GT(full, 1u);
    char small[2];
    OsUserName(err, trunc, small, sizeof(small));
    EXPECT_EQ(trunc, 1);
    EXPECT_EQ(std::strlen(small), 1u);
    EXPECT_EQ(small[0], name[0]);
}

TEST(OsVersionInfo, PlatformIsNtFamily)
{
    int code = 0;
    OsPlatform(code);
    EXPECT_EQ(code, 4);
    int major = 0, minor = -1;
    OsVersion(major, minor);
    EXPECT_GE(major, 4);
}

// ---------------------------------------------------------------------------
// Drives

// Free space of the current drive: the bytes free to the caller (other
// builds may change them meanwhile, so the system's answer is read before
// and after); in bytes capped at 2147155968 from 2 GiB on, in MiB as they are.
TEST(OsDrives, FreeSpaceOfTheCurrentDriveInBytesAndMegabytes)
{
    auto freeBytes = [] {
        ULARGE_INTEGER caller{}, total{}, all{};
        EXPECT_TRUE(GetDiskFreeSpaceExA(nullptr, &caller, &total, &all));
        return caller.QuadPart;
    };
    const unsigned long long slack = 256ull << 20;
    const unsigned long long before = freeBytes();
    int mb = -1, bytes = -1;
    OsDiskFreeMB(mb);
    OsDiskFreeBytes(bytes);
    const unsigned long long after = freeBytes();
    const unsigned long long low = std::min(before, after), high = std::max(before, after);
    ASSERT_GT(low, 0u);
    EXPECT_GE(static_cast<long long>(mb), static_cast<long long>((low - std::min(low, slack)) >> 20));
    EXPECT_LE(static_cast<long long>(mb), static_cast<long long>((high + slack) >> 20));
    if (low >= (2048ull << 20) + slack) {
        EXPECT_EQ(bytes, 2147155968);
    } else if (high + slack < (2048ull << 20)) {
        EXPECT_GE(static_cast<unsigned long long>(bytes) + slack, low);
        EXPECT_LE(static_cast<unsigned long long>(bytes), high + slack);
    }
}

TEST(OsDrives, DriveTypes)
{
    int type = -1;
    OsDriveType(type, "C:\\");
    EXPECT_EQ(type, DRIVE_FIXED);
    const DWORD used = GetLogicalDrives();
    char root[] = "?:\\";
    for (char letter = 'Y'; letter > 'D'; --letter) {
        if (!(used & (1u << (letter - 'A')))) {
            root[0] = letter;
            break;
        }
    }
    ASSERT_NE(root[0], '?');
    OsDriveType(type, root);
    EXPECT_EQ(type, DRIVE_NO_ROOT_DIR) << root;
    OsDriveType(type, nullptr);
    EXPECT_EQ(type, static_cast<int>(GetDriveTypeA(nullptr))) << "the current drive";
    EXPECT_NE(type, DRIVE_NO_ROOT_DIR);
}

// ---------------------------------------------------------------------------
// Registry

TEST(OsRegistry, WriteReadDeleteUnderCurrentUser)
{
    const int hkcu = static_cast<int>(reinterpret_cast<intptr_t>(HKEY_CURRENT_USER));
    const std::string key = "Software\\KestrowOsTest" + std::to_string(GetCurrentProcessId());
    int status = -1;
    const char text[] = "hello";
    OsRegistryWrite(hkcu, REG_SZ, status, key.c_str(), "Greeting", text, sizeof(text));
    ASSERT_EQ(status, 0);

    int type = 0, size = 0;
    OsRegistryRead(hkcu, type, size, key.c_str(), "Greeting", nullptr); // size only
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6);
    char data[16] = {};
    size = sizeof(data);
    OsRegistryRead(hkcu, type, size, key.c_str(), "Greeting", data);
    EXPECT_STREQ(data, "hello");
    char tiny[2];
    size = sizeof(tiny);
    OsRegistryRead(hkcu, type, size, key.c_str(), "Greeting", tiny); // too small: still typed
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6);

    size = sizeof(data);
    OsRegistryRead(hkcu, type, size, key.c_str(), "NoSuchValue", data);
    EXPECT_EQ(type, -2);
    EXPECT_EQ(size, 0);
    type = 77;
    size = 88;
    OsRegistryRead(hkcu, type, size, (key + "\\NoSuchKey").c_str(), "Greeting", data);
    EXPECT_EQ(type, 77);
    EXPECT_EQ(size, 88);

    OsRegistryDeleteValue(hkcu, status, key.c_str(), "Greeting");
    EXPECT_EQ(status, 0);
    OsRegistryDeleteValue(hkcu, status, (key + "\\NoSuchKey").c_str(), "Greeting");
    EXPECT_EQ(status, 2);
    OsRegistryDeleteKey(hkcu, status, key.c_str());
    EXPECT_EQ(status, 0);
}

// ---------------------------------------------------------------------------
// Processes

// Started as a child by the process tests: stays alive until the parent sets
// the event named in KQ_OS_CHILD_EVENT (at most 30 s).
TEST(OsProcessChild, DISABLED_StayAlive)
{
    char name[128] = {};
    if (!GetEnvironmentVariableA("KQ_OS_CHILD_EVENT", name, sizeof(name)))
        return;
    HANDLE e = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (e) {
        WaitForSingleObject(e, 30000);
        CloseHandle(e);
    }
}

TEST_F(OsFolder, ExecuteWaitRunsToTheEnd)
{
    int result = 0;
    OsExecuteWait("cmd.exe /c echo done> ran.txt", 1, 1, -1, result);
    EXPECT_EQ(result, 32);
    EXPECT_TRUE(Exists("ran.txt")) << "the unlimited wait returns after the program ended";

    OsExecuteWait("cmd.exe /c echo again> ran2.txt", 1, 1, 10, result);
    EXPECT_EQ(result, 32);
    EXPECT_TRUE(Exists("ran2.txt"));

    OsExecuteWait("kq_no_such_program_here.exe", 1, 1, -1, result);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
}

TEST_F(OsFolder, ExecuteWaitTimesOutAndRunWithoutWaiting)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string eventName = "KqOsChild" + std::to_string(GetCurrentProcessId());
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(release, nullptr);
    SetEnvironmentVariableA("KQ_OS_CHILD_EVENT", eventName.c_str());
    const std::string child = std::string("\"") + self +
                              "\" --gtest_also_run_disabled_tests --gtest_filter=OsProcessChild.DISABLED_StayAlive";

    int result = 0;
    DWORD start = GetTickCount();
    OsExecuteWait(child.c_str(), 1, 1, 2, result);
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(result, -1);
    EXPECT_GE(took, 1900u);
    EXPECT_LT(took, 10000u);

    OsExecuteWait(child.c_str(), 1, 0, 0, result); // no wait
    EXPECT_EQ(result, 32);
    SetEvent(release);
    CloseHandle(release);
    SetEnvironmentVariableA("KQ_OS_CHILD_EVENT", nullptr);

    OsRunProgram(result, "cmd.exe /c echo started> run.txt");
    EXPECT_EQ(result, 32);
    EXPECT_TRUE(PollUntil([] { return Exists("run.txt"); }));
    OsRunProgram(result, "kq_no_such_program_here.exe");
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
}

} // namespace
