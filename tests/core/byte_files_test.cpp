// Byte-stream files, byte-order helpers and buffer compression.
#include <gtest/gtest.h>

#include "core/byte_files.h"
#include "core/compression.h"
#include "core/errors.h"
#include "core/os_services.h"
#include "support/file_faults.h"

#include <windows.h>

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

// A fresh current folder under the temporary directory for each test.
class ByteFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmp[MAX_PATH], old[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        GetCurrentDirectoryA(MAX_PATH, old);
        previous_ = old;
        static int serial = 0;
        dir_ = std::string(tmp) + "kq_bf_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount()) + "_" + std::to_string(++serial);
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        gErrorState = ErrorState{};
    }
    void TearDown() override
    {
        for (int h : open_)
            IFileClose(h);
        SetCurrentDirectoryA(previous_.c_str());
        WIN32_FIND_DATAA e;
        HANDLE f = FindFirstFileA((dir_ + "\\*").c_str(), &e);
        if (f != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((dir_ + "\\" + e.cFileName).c_str());
            while (FindNextFileA(f, &e));
            FindClose(f);
        }
        RemoveDirectoryA(dir_.c_str());
    }
    int Open(const std::string& name, int mode)
    {
        int h = 0;
        IFileOpen(name, mode, h);
        if (h != -1)
            open_.push_back(h);
        return h;
    }
    void Close(int h)
    {
        IFileClose(h);
        std::erase(open_, h);
    }

    std::string dir_, previous_;
    std::vector<int> open_;
};

TEST_F(ByteFiles, OpenRejectsBadModeAndBlankName)
{
    struct Case {
        const char* name;
        int mode;
    } cases[] = {{"a.bin", 3}, {"a.bin", -1}, {"     ", 1}, {"", 0}};
    for (const Case& c : cases) {
        gErrorState = ErrorState{};
        gErrorState.osError = 99;
        int h = 0;
        IFileOpen(c.name, c.mode, h);
        EXPECT_EQ(h, -1);
        EXPECT_EQ(gErrorState.lastCode, 1);
        EXPECT_EQ(gErrorState.osError, 0);
        EXPECT_EQ(gErrorState.osErrorKind, 2);
    }
    EXPECT_EQ(ErrorLineCompose(1, "IFileOpen"), "Routine:IFileOpen Error=   1:Error opening file or device:");
    EXPECT_EQ(GetFileAttributesA("a.bin"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ByteFiles, OpenTrimsNameAndHonoursModes)
{
    WriteFileBytes("data.bin", "0123456789");
    int h = Open("  data.bin  ", 0);
    ASSERT_NE(h, -1);
    char buf[16] = {};
    int n = 0;
    IFileReadChar(h, buf, 16, n);
    EXPECT_EQ(n, 10);
    EXPECT_EQ(std::string(buf, 10), "0123456789");
    Close(h);

    h = Open("data.bin", 1); // truncates
    ASSERT_NE(h, -1);
    Close(h);
    EXPECT_EQ(ReadFileBytes("data.bin"), "");

    for (int mode : {0, 2}) {
        gErrorState = ErrorState{};
        EXPECT_EQ(Open("missing.bin", mode), -1);
        EXPECT_EQ(gErrorState.lastCode, 1);
        EXPECT_EQ(gErrorState.osError, ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(gErrorState.osErrorKind, 2);
    }
    // The error line carries the system text of the failure.
    const std::string line = ErrorLineCompose(1, "IFileOpen");
    const std::string head = "Routine:IFileOpen Error=   1:Error opening file or device: ";
    ASSERT_GT(line.size(), head.size());
    EXPECT_EQ(line.substr(0, head.size()), head);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
}

TEST_F(ByteFiles, WriteSeekReadAtPositions)
{
    int h = Open("rw.bin", 1);
    ASSERT_NE(h, -1);
    const unsigned char bytes[] = {0x00, 0xFF, 0x80, 0x7F, 'a', 'b'};
    int n = 0;
    IFileWriteChar(h, bytes, 6, n);
    EXPECT_EQ(n, 6);
    Close(h);

    h = Open("rw.bin", 2);
    ASSERT_NE(h, -1);
    int pos = 0;
    IFileSeek(h, pos, 2);
    EXPECT_EQ(pos, 6) << "seek by 0 from the end gives the length";
    pos = 2;
    IFileSeek(h, pos, 0);
    EXPECT_EQ(pos, 2);
    unsigned char got[4] = {};
    IFileReadChar(h, got, 2, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(got[0], 0x80);
    EXPECT_EQ(got[1], 0x7F);
    pos = -3;
    IFileSeek(h, pos, 1);
    EXPECT_EQ(pos, 1);
    IFileWriteChar(h, std::string_view("Z"), 1, n);
    EXPECT_EQ(n, 1);

    // At the end of the file: 0 bytes, no error.
    pos = 0;
    IFileSeek(h, pos, 2);
    IFileReadChar(h, got, 4, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(gErrorState.lastCode, 0);

    // An origin outside 0..2 does nothing at all.
    pos = 1234;
    IFileSeek(h, pos, 5);
    EXPECT_EQ(pos, 1234);
    EXPECT_EQ(gErrorState.lastCode, 0);

    // Before the start: -1 and error 2.
    pos = -10;
    IFileSeek(h, pos, 0);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_NE(gErrorState.osError, 0);
    EXPECT_EQ(gErrorState.osErrorKind, 2);
    Close(h);
    EXPECT_EQ(ReadFileBytes("rw.bin"), std::string("\x00Z\x80\x7F" "ab", 6));
}

TEST_F(ByteFiles, TransferFailuresGiveMinusOne)
{
    WriteFileBytes("r.bin", "abc");
    int h = Open("r.bin", 0);
    ASSERT_NE(h, -1);
    int n = 0;
    IFileWriteChar(h, std::string_view("xyz"), 3, n); // read-only handle
    EXPECT_EQ(n, -1);
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_EQ(gErrorState.osError, ERROR_ACCESS_DENIED);
    Close(h);

    gErrorState = ErrorState{};
    h = Open("w.bin", 1);
    ASSERT_NE(h, -1);
    char buf[4];
    IFileReadChar(h, buf, 4, n); // write-only handle
    EXPECT_EQ(n, -1);
    EXPECT_EQ(gErrorState.lastCode, 2);
    EXPECT_EQ(gErrorState.osError, ERROR_ACCESS_DENIED);
    Close(h);

    gErrorState = ErrorState{};
    IFileReadChar(-1, buf, 4, n); // no file
    EXPECT_EQ(n, -1);
    EXPECT_EQ(gErrorState.lastCode, 2);
}

// A write that puts fewer bytes than given is a failed write, as Wine
// answers a full disk (success with a short count): error 2 with the count
// put, and ERROR_DISK_FULL as the system gave no code; a write that puts
// nothing counts -1.
TEST_F(ByteFiles, AShortWriteIsAFailedWrite)
{
    int h = Open("short.bin", 1);
    ASSERT_NE(h, -1);
    int n = 0;
    {
        WriteLimit limit(5);
        IFileWriteChar(h, std::string_view("abcdefgh"), 8, n);
        EXPECT_EQ(n, 5);
        EXPECT_EQ(gErrorState.lastCode, 2);
        EXPECT_EQ(gErrorState.osError, ERROR_DISK_FULL);
        EXPECT_EQ(gErrorState.osErrorKind, 2);
        gErrorState = ErrorState{};
        IFileWriteChar(h, std::string_view("ijk"), 3, n);
        EXPECT_EQ(n, -1);
        EXPECT_EQ(gErrorState.lastCode, 2);
    }
    gErrorState = ErrorState{};
    IFileWriteChar(h, std::string_view("lm"), 2, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(gErrorState.lastCode, 0);
    Close(h);
    EXPECT_EQ(ReadFileBytes("short.bin"), "abcdelm");
}

// A name longer than the library's name fields (259 characters) is refused
// whole with ERROR_FILENAME_EXCED_RANGE, so that the error line names the
// cause; nothing is made under the name cut to fit. One character less is
// opened.
TEST_F(ByteFiles, ANameTooLongIsRefusedNotCut)
{
    std::string cut;
    const std::string name = NameCutOnto(dir_, cut, kFileNameLimit + 1);
    ASSERT_EQ(name.size(), 260u);
    int h = Open(name, 1);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(gErrorState.lastCode, 1);
    EXPECT_EQ(gErrorState.osError, ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(gErrorState.osErrorKind, 2);
    EXPECT_EQ(GetFileAttributesA(cut.c_str()), INVALID_FILE_ATTRIBUTES) << "a file of the cut name was made";

    gErrorState = ErrorState{};
    h = Open(name.substr(0, kFileNameLimit) + "   ", 1); // trailing blanks do not count
    EXPECT_NE(h, -1);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_NE(GetFileAttributesA(cut.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ByteFiles, CountsNeverExceedTheBuffer)
{
    WriteFileBytes("big.bin", std::string(64, 'q'));
    int h = Open("big.bin", 0);
    ASSERT_NE(h, -1);
    char guard[12] = {};
    int n = 0;
    IFileReadChar(h, std::span<char>(guard, 4), 64, n);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(guard[4], '\0') << "nothing written past the buffer";
    IFileReadChar(h, std::span<char>(guard, 4), -5, n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(gErrorState.lastCode, 0);
    Close(h);
}

TEST(ByteOrder, LittleAndBigEndian)
{
    const unsigned char le2[] = {0x34, 0x12, 0xAA, 0xBB};
    const unsigned char le4[] = {0x78, 0x56, 0x34, 0x12};
    const unsigned char be4[] = {0x12, 0x34, 0x56, 0x78};
    const unsigned char high[] = {0xFF, 0xFF, 0xFF, 0xFE};
    int v = 0;
    YYBytesToIntLE(le2, 2, v);
    EXPECT_EQ(v, 4660);
    YYBytesToIntLE(le2, 3, v); // anything but 4 reads two bytes
    EXPECT_EQ(v, 4660);
    YYBytesToIntLE(le4, 4, v);
    EXPECT_EQ(v, 305419896);
    YYBytesToIntLE(high, 2, v);
    EXPECT_EQ(v, 65535);
    YYBytesToIntBE(be4, v);
    EXPECT_EQ(v, 305419896);
    YYBytesToIntBE(high, v);
    EXPECT_EQ(v, -2);
}

TEST(Compression, RoundTripAndFailures)
{
    std::string source;
    for (int i = 0; i < 4000; ++i)
        source += static_cast<char>("spline"[i % 6] + (i / 600));
    std::vector<char> packed(source.size() + source.size() / 1000 + 22);
    int npacked = static_cast<int>(packed.size());
    gErrorState = ErrorState{};
    WCompress(source.data(), packed.data(), static_cast<int>(source.size()), npacked);
    ASSERT_GT(npacked, 2);
    EXPECT_LT(npacked, static_cast<int>(source.size()));
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78) << "zlib stream header";
    EXPECT_EQ(gErrorState.lastCode, 0);

    std::vector<char> back(source.size());
    int nback = static_cast<int>(back.size());
    WUnCompress(packed.data(), back.data(), npacked, nback);
    EXPECT_EQ(nback, static_cast<int>(source.size()));
    EXPECT_EQ(std::string(back.data(), static_cast<size_t>(nback)), source);

    // Target smaller than the data.
    nback = 100;
    WUnCompress(packed.data(), back.data(), npacked, nback);
    EXPECT_EQ(nback, 0);
    EXPECT_EQ(gErrorState.lastCode, 1044);
    EXPECT_EQ(gErrorState.status, -5);
    EXPECT_EQ(ErrorLineCompose(1044, "WUnCompress"),
              "Routine:WUnCompress Error=1044:Zlib compression/decompression error: buffer error");

    // A damaged stream.
    gErrorState = ErrorState{};
    std::vector<char> damaged(packed.begin(), packed.begin() + npacked);
    for (size_t i = 2; i < damaged.size(); i += 3)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    nback = static_cast<int>(back.size());
    WUnCompress(damaged.data(), back.data(), static_cast<int>(damaged.size()), nback);
    EXPECT_EQ(nback, 0);
    EXPECT_EQ(gErrorState.lastCode, 1044);
    EXPECT_EQ(gErrorState.status, -3);
    EXPECT_NE(ErrorLineCompose(1044, "WUnCompress").find(": data error"), std::string::npos);

    // Compression into too small a target, and the plain calls' status.
    gErrorState = ErrorState{};
    int small = 8;
    WCompress(source.data(), packed.data(), static_cast<int>(source.size()), small);
    EXPECT_EQ(small, 0);
    EXPECT_EQ(gErrorState.lastCode, 1044);
    int status = 99, len = 8;
    BufferCompress(source.data(), packed.data(), static_cast<int>(source.size()), len, status);
    EXPECT_EQ(status, -5);
    len = static_cast<int>(packed.size());
    BufferCompress(source.data(), packed.data(), static_cast<int>(source.size()), len, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(len, npacked);
    int out = static_cast<int>(back.size());
    BufferUncompress(packed.data(), back.data(), len, out, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, static_cast<int>(source.size()));
}

} // namespace
