// Operating-system services: files, directory scans, directories and drives.
// Every wrapper returns the Windows error code (0 on success) through its ERR
// out-argument and reports no library error.
#include "core/os_services.h"

#include "core/error_codes.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// File handles travel as integers. A kernel handle's value fits 32 bits on
// 64-bit Windows too (it is sign-extended back), so the integer names the
// handle exactly; FromHandle still checks the round trip, and a handle that
// would not survive it is never handed out.
HANDLE ToHandle(int handle)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

bool FromHandle(HANDLE h, int& handle)
{
    const auto value = reinterpret_cast<intptr_t>(h);
    if (value < INT32_MIN || value > INT32_MAX || value == -1)
        return false;
    handle = static_cast<int>(value);
    return true;
}

int LastError()
{
    return static_cast<int>(GetLastError());
}

// Sets ERR from the result of a call that returns nonzero on success.
void ErrFrom(BOOL ok, int& err)
{
    err = ok ? 0 : LastError();
}

// Reverses the bytes within each complete group of W bytes of the first N.
void SwapGroups(void* buffer, int n, int w)
{
    if (!buffer || w <= 1 || n <= 0)
        return;
    auto* p = static_cast<unsigned char*>(buffer);
    for (int start = 0; start + w <= n; start += w) {
        for (int i = start, j = start + w - 1; i < j; ++i, --j)
            std::swap(p[i], p[j]);
    }
}

static_assert(kOsErrorDiskFull == ERROR_DISK_FULL && kOsErrorNameTooLong == ERROR_FILENAME_EXCED_RANGE);

// The bytes OsFileWrite may still put; negative: no limit (tests set one).
long long gWriteLimit = -1;

// The one directory scan of OsDirScan and OsDirScanEnd.
HANDLE gScanHandle = INVALID_HANDLE_VALUE;

void ScanClose()
{
    if (gScanHandle != INVALID_HANDLE_VALUE)
        FindClose(gScanHandle);
    gScanHandle = INVALID_HANDLE_VALUE;
}

// Local last-write time of a found entry.
SYSTEMTIME LocalWriteTime(const FILETIME& written)
{
    FILETIME local;
    SYSTEMTIME t = {};
    if (FileTimeToLocalFileTime(&written, &local))
        FileTimeToSystemTime(&local, &t);
    return t;
}

} // namespace

// ---------------------------------------------------------------------------
// Files

bool OsFileNameFits(std::string_view name)
{
    name = name.substr(0, std::min(name.find('\0'), name.size()));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return name.size() <= static_cast<size_t>(kFileNameLimit);
}

void OsFileOpen(const char* name, int mode, int& handle, int& err)
{
    if (std::strlen(name) > static_cast<size_t>(kFileNameLimit)) {
        handle = -1;
        err = kOsErrorNameTooLong;
        return;
    }
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case 0: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    case 1: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
    case 2: access = GENERIC_READ | GENERIC_WRITE; break;
    default:
        handle = -1;
        err = ERROR_INVALID_PARAMETER;
        return;
    }
    HANDLE h = CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        handle = -1;
        err = LastError();
        return;
    }
    if (!FromHandle(h, handle)) {
        CloseHandle(h);
        handle = -1;
        err = ERROR_INVALID_HANDLE;
        return;
    }
    err = 0;
}

void OsFileClose(int handle)
{
    CloseHandle(ToHandle(handle));
}

void OsFileRead(int handle, void* buffer, int n, int& count, int& err)
{
    DWORD done = 0;
    if (n < 0) {
        count = 0;
        err = ERROR_INVALID_PARAMETER;
        return;
    }
    if (ReadFile(ToHandle(handle), buffer, static_cast<DWORD>(n), &done, nullptr)) {
        count = static_cast<int>(done);
        err = 0;
    } else {
        count = 0;
        err = LastError();
    }
}

void OsFileWriteLimitSet(long long bytes)
{
    gWriteLimit = bytes;
}

void OsFileWrite(int handle, const void* buffer, int n, int& count, int& err)
{
    DWORD done = 0;
    if (n < 0) {
        count = 0;
        err = ERROR_INVALID_PARAMETER;
        return;
    }
    const long long limit = gWriteLimit;
    const int put = limit >= 0 && limit < n ? static_cast<int>(limit) : n;
    if (WriteFile(ToHandle(handle), buffer, static_cast<DWORD>(put), &done, nullptr)) {
        count = static_cast<int>(done);
        err = count < n ? kOsErrorDiskFull : 0;
    } else {
        count = 0;
        err = LastError();
        if (err == 0)
            err = ERROR_WRITE_FAULT;
    }
    if (limit >= 0)
        gWriteLimit = limit - count;
}

void OsFileReadSwapped(int handle, void* buffer, int n, int& count, int w, int& err)
{
    OsFileRead(handle, buffer, n, count, err);
    if (w != 0)
        SwapGroups(buffer, count, w);
}

void OsFileWriteSwapped(int handle, void* buffer, int n, int& count, int w, int& err)
{
    if (w != 0)
        SwapGroups(buffer, n, w);
    OsFileWrite(handle, buffer, n, count, err);
    if (w != 0)
        SwapGroups(buffer, n, w);
}

void OsFileSeek(int handle, int& pos, int origin, int& err)
{
    DWORD method = FILE_BEGIN;
    if (origin == 1)
        method = FILE_CURRENT;
    else if (origin == 2)
        method = FILE_END;
    DWORD r = SetFilePointer(ToHandle(handle), static_cast<LONG>(pos), nullptr, method);
    pos = static_cast<int>(r);
    err = r == INVALID_SET_FILE_POINTER ? LastError() : 0;
}

void OsDeleteFile(const char* name, int& err)
{
    ErrFrom(DeleteFileA(name), err);
}

void OsRenameFile(int& err, const char* oldName, const char* newName)
{
    ErrFrom(MoveFileA(oldName, newName), err);
}

void OsCopyFile(const char* source, const char* target, int& err)
{
    ErrFrom(CopyFileA(source, target, FALSE), err);
}

void OsSetFileAttributes(int attributes, int& err, const char* name)
{
    ErrFrom(SetFileAttributesA(name, static_cast<DWORD>(attributes)), err);
}

void OsFileInfo(int& size, int& year, int& month, int& day, int& hour, int& minute, int& second,
                int& attributes, int& kbytes, const char* name)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(name, &found);
    if (h == INVALID_HANDLE_VALUE) {
        size = -1;
        return;
    }
    FindClose(h);
    size = static_cast<int>(found.nFileSizeLow);
    SYSTEMTIME t = LocalWriteTime(found.ftLastWriteTime);
    year = t.wYear;
    month = t.wMonth;
    day = t.wDay;
    hour = t.wHour;
    minute = t.wMinute;
    second = t.wSecond;
    attributes = static_cast<int>(found.dwFileAttributes);
    uint64_t bytes = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    uint64_t k = bytes / 1024 + (bytes % 1024 ? 1 : 0);
    kbytes = static_cast<int>(static_cast<uint32_t>(k));
}

void OsFileTimesGet(int& c1, int& c2, int& a1, int& a2, int& w1, int& w2, const char* name)
{
    c1 = c2 = a1 = a2 = w1 = w2 = 0;
    HANDLE h = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    FILETIME c, a, w;
    if (GetFileTime(h, &c, &a, &w)) {
        c1 = static_cast<int>(c.dwLowDateTime);
        c2 = static_cast<int>(c.dwHighDateTime);
        a1 = static_cast<int>(a.dwLowDateTime);
        a2 = static_cast<int>(a.dwHighDateTime);
        w1 = static_cast<int>(w.dwLowDateTime);
        w2 = static_cast<int>(w.dwHighDateTime);
    }
    CloseHandle(h);
}

void OsFileTimesSet(int c1, int c2, int a1, int a2, int w1, int w2, const char* name)
{
    HANDLE h = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    FILETIME c = {static_cast<DWORD>(c1), static_cast<DWORD>(c2)};
    FILETIME a = {static_cast<DWORD>(a1), static_cast<DWORD>(a2)};
    FILETIME w = {static_cast<DWORD>(w1), static_cast<DWORD>(w2)};
    SetFileTime(h, &c, &a, &w);
    CloseHandle(h);
}

void OsFullPath(int& err, const char* name, char* buffer, int size)
{
    if (!buffer || size <= 0) {
        err = ERROR_INSUFFICIENT_BUFFER;
        return;
    }
    DWORD n = GetFullPathNameA(name, static_cast<DWORD>(size), buffer, nullptr);
    if (n == 0) {
        err = LastError();
        buffer[0] = '\0';
    } else if (n >= static_cast<DWORD>(size)) {
        // The call left BUFFER untouched and returned the size it needs: a
        // path that does not fit is a failure, not an undefined text.
        err = ERROR_INSUFFICIENT_BUFFER;
        buffer[0] = '\0';
    } else {
        err = 0;
    }
}

void OsFindExecutable(int& result, const char* file, char* program, int size)
{
    char found[MAX_PATH + 1] = {};
    auto r = reinterpret_cast<intptr_t>(FindExecutableA(file, nullptr, found));
    if (r == SE_ERR_FNF) {
        result = 1;
    } else if (r < 32) {
        result = -1;
    } else if (!program || size <= 0 || std::strlen(found) >= static_cast<size_t>(size)) {
        result = kErrorTextTooSmall;
    } else {
        std::strcpy(program, found);
        result = 0;
    }
}

// ---------------------------------------------------------------------------
// Directory scan

void OsDirScan(int next, char* name, int& attributes, int& datetime, int& size, int& found,
               int& err)
{
    WIN32_FIND_DATAA entry;
    BOOL ok = FALSE;
    if (next == 0) {
        ScanClose(); // a new scan ends any earlier one
        gScanHandle = FindFirstFileA(name, &entry);
        ok = gScanHandle != INVALID_HANDLE_VALUE;
    } else if (gScanHandle != INVALID_HANDLE_VALUE) {
        ok = FindNextFileA(gScanHandle, &entry);
    } else {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    if (!ok) {
        found = 0;
        err = LastError();
        return;
    }
    std::memcpy(name, entry.cFileName, std::strlen(entry.cFileName) + 1);
    attributes = static_cast<int>(entry.dwFileAttributes);
    FILETIME local;
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (FileTimeToLocalFileTime(&entry.ftLastWriteTime, &local))
        FileTimeToDosDateTime(&local, &dosDate, &dosTime);
    datetime = static_cast<int>((static_cast<uint32_t>(dosDate) << 16) | dosTime);
    size = static_cast<int>(entry.nFileSizeLow);
    found = 1;
    err = 0;
}

void OsDirScanEnd()
{
    ScanClose();
}

// ---------------------------------------------------------------------------
// Directories and drives

void OsChangeDir(const char* path, int& err)
{
    ErrFrom(SetCurrentDirectoryA(path), err);
}

void OsRemoveDir(const char* path, int& err)
{
    ErrFrom(RemoveDirectoryA(path), err);
}

void OsMakeDir(const char* path, int& err)
{
    ErrFrom(CreateDirectoryA(path, nullptr), err);
}

void OsCurrentDir(char* buffer, int& err, int& truncated, int size)
{
    truncated = 0;
    err = 0;
    if (!buffer || size <= 0) {
        err = ERROR_INSUFFICIENT_BUFFER;
        return;
    }
    // Read into a work text large enough for any path, so that a path longer
    // than BUFFER still arrives, cut.
    char work[32768];
    DWORD n = GetCurrentDirectoryA(sizeof(work), work);
    if (n == 0 || n >= sizeof(work)) {
        err = n == 0 ? LastError() : ERROR_INSUFFICIENT_BUFFER;
        buffer[0] = '\0';
        return;
    }
    if (n > static_cast<DWORD>(size - 1)) {
        truncated = 1;
        n = static_cast<DWORD>(size - 1);
    }
    std::memcpy(buffer, work, n);
    buffer[n] = '\0';
}

void OsVolumeSerial(int& serial, const char* root)
{
    UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD s = 0;
    if (!GetVolumeInformationA(root, nullptr, 0, &s, nullptr, nullptr, nullptr, 0))
        s = 0;
    SetErrorMode(old);
    serial = static_cast<int>(s);
}

void OsDriveType(int& type, const char* root)
{
    type = static_cast<int>(GetDriveTypeA(root));
}

namespace {

using DiskFreeExFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

DiskFreeExFn DiskFreeEx()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<DiskFreeExFn>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")))
                  : nullptr;
}

// Sectors per cluster x bytes per sector x free clusters as a 32-bit product.
uint32_t DiskFreeProduct()
{
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    if (!GetDiskFreeSpaceA(nullptr, &sectors, &bytes, &freeClusters, &total))
        return 0;
    return static_cast<uint32_t>(sectors) * static_cast<uint32_t>(bytes) * static_cast<uint32_t>(freeClusters);
}

} // namespace

void OsDiskFreeMB(int& mb)
{
    if (DiskFreeExFn ex = DiskFreeEx()) {
        ULARGE_INTEGER caller = {}, total = {}, all = {};
        if (!ex(nullptr, &caller, &total, &all))
            caller.QuadPart = 0;
        mb = static_cast<int>(static_cast<uint32_t>(caller.QuadPart >> 20));
        return;
    }
    mb = static_cast<int>(DiskFreeProduct() >> 20);
}

void OsDiskFreeBytes(int& bytes)
{
    int platform = 0;
    OsPlatform(platform);
    DiskFreeExFn ex = platform == 4 ? DiskFreeEx() : nullptr;
    if (ex) {
        ULARGE_INTEGER caller = {}, total = {}, all = {};
        if (!ex(nullptr, &caller, &total, &all))
            caller.QuadPart = 0;
        bytes = caller.QuadPart >= (static_cast<uint64_t>(2048) << 20)
                    ? 2147155968
                    : static_cast<int>(caller.QuadPart);
        return;
    }
    bytes = static_cast<int>(DiskFreeProduct());
}
