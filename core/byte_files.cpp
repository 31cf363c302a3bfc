// Byte-stream files over the operating-system file wrappers, and integers
// assembled from bytes.
#include "core/byte_files.h"

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/os_services.h"

#include <cstdint>
#include <string>

namespace {

constexpr int kWindowsCode = 2;

void ReportFileError(int code, int windowsError, const char* routine)
{
    gErrorState.osError = windowsError;
    gErrorState.osErrorKind = kWindowsCode;
    YYErrorReport(code, routine);
}

// The byte count of one transfer: NBYTES, never more than the buffer holds,
// never negative.
int TransferCount(int nbytes, size_t bufferSize)
{
    if (nbytes <= 0)
        return 0;
    return static_cast<size_t>(nbytes) > bufferSize ? static_cast<int>(bufferSize) : nbytes;
}

// One body for every read entry point.
void ReadBytes(int ihandle, void* buffer, size_t bufferSize, int nbytes, int& nread)
{
    int count = 0, err = 0;
    OsFileRead(ihandle, buffer, TransferCount(nbytes, bufferSize), count, err);
    if (err != 0) {
        ReportFileError(kErrorFileReadWrite, err, "IFileReadChar");
        nread = -1;
        return;
    }
    nread = count;
}

// One body for every write entry point. A short write is a failed write
// (the system wrapper gives it a code): error 2, with the count put as it
// was; a write that put nothing counts -1.
void WriteBytes(int ihandle, const void* buffer, size_t bufferSize, int nbytes, int& nwritten)
{
    int count = 0, err = 0;
    OsFileWrite(ihandle, buffer, TransferCount(nbytes, bufferSize), count, err);
    if (err != 0) {
        ReportFileError(kErrorFileReadWrite, err, "IFileWriteChar");
        nwritten = count > 0 ? count : -1;
        return;
    }
    nwritten = count;
}

bool IsBlankOrNul(char c)
{
    return c == ' ' || c == '\0';
}

} // namespace

void IFileOpen(std::string_view filename, int mode, int& ihandle)
{
    size_t first = 0;
    while (first < filename.size() && IsBlankOrNul(filename[first]))
        ++first;
    size_t last = filename.size();
    while (last > first && IsBlankOrNul(filename[last - 1]))
        --last;
    if (mode < 0 || mode > 2 || first == last) {
        ihandle = -1;
        ReportFileError(kErrorFileOpen, 0, "IFileOpen");
        return;
    }
    const std::string name(filename.substr(first, last - first));
    int err = 0;
    OsFileOpen(name.c_str(), mode, ihandle, err);
    if (ihandle == -1)
        ReportFileError(kErrorFileOpen, err, "IFileOpen");
}

void IFileReadChar(int ihandle, std::span<char> buffer, int nbytes, int& nread)
{
    ReadBytes(ihandle, buffer.data(), buffer.size(), nbytes, nread);
}

void IFileReadChar(int ihandle, std::span<unsigned char> buffer, int nbytes, int& nread)
{
    ReadBytes(ihandle, buffer.data(), buffer.size(), nbytes, nread);
}

void IFileWriteChar(int ihandle, std::span<const char> buffer, int nbytes, int& nwritten)
{
    WriteBytes(ihandle, buffer.data(), buffer.size(), nbytes, nwritten);
}

void IFileWriteChar(int ihandle, std::span<const unsigned char> buffer, int nbytes, int& nwritten)
{
    WriteBytes(ihandle, buffer.data(), buffer.size(), nbytes, nwritten);
}

void IFileSeek(int ihandle, int& ipos, int iorigin)
{
    if (iorigin < 0 || iorigin > 2)
        return;
    int err = 0;
    OsFileSeek(ihandle, ipos, iorigin, err);
    if (ipos == -1)
        ReportFileError(kErrorFileReadWrite, err, "IFileSeek");
}

void IFileClose(int ihandle)
{
    if (ihandle != -1)
        OsFileClose(ihandle);
}

void YYBytesToIntLE(const void* bytes, int nbytes, int& ivalue)
{
    const auto* b = static_cast<const unsigned char*>(bytes);
    uint32_t v = b[0] + 256u * b[1];
    if (nbytes == 4)
        v += 65536u * (b[2] + 256u * b[3]);
    ivalue = static_cast<int>(v);
}

void YYBytesToIntBE(const void* bytes, int& ivalue)
{
    const auto* b = static_cast<const unsigned char*>(bytes);
    uint32_t v = b[3] + 256u * b[2] + 65536u * (b[1] + 256u * b[0]);
    ivalue = static_cast<int>(v);
}
