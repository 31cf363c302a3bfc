// Operating-system services: messages, process end, version, environment,
// user name, date and time, and the switches read and set here (beep,
// locale decimal input, gradient fill). Files and directories are in
// os_files.cpp, processes in os_process.cpp, the registry in os_registry.cpp,
// the public routines in os_public.cpp.
#include "core/os_services.h"

#include "core/library_state.h"
#include "core/window_table.h"

#include <windows.h>

#include <cstring>

namespace {

// Copies the NUL-terminated SOURCE into BUFFER of SIZE bytes, cut to SIZE - 1.
void CopyCut(char* buffer, int size, const char* source)
{
    if (!buffer || size <= 0)
        return;
    size_t n = std::strlen(source);
    if (n > static_cast<size_t>(size - 1))
        n = static_cast<size_t>(size - 1);
    std::memcpy(buffer, source, n);
    buffer[n] = '\0';
}

} // namespace

// ---------------------------------------------------------------------------
// Messages and process end

void OsErrorBox(const char* caption, const char* text)
{
    MessageBoxA(nullptr, text ? text : "", caption ? caption : "", MB_OK | MB_TASKMODAL | MB_ICONERROR);
}

void OsErrorText(int code, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    buffer[0] = '\0';
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             buffer, static_cast<DWORD>(size), nullptr);
    if (n == 0 || n >= static_cast<DWORD>(size)) {
        buffer[n == 0 ? 0 : size - 1] = '\0';
        n = n == 0 ? 0 : static_cast<DWORD>(size - 1);
    }
    // System messages end in a line break: the text is used inside one line.
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' '))
        buffer[--n] = '\0';
}

void OsExit(int code)
{
    ExitProcess(static_cast<UINT>(code));
}

// ---------------------------------------------------------------------------
// Version and environment

void OsVersion(int& major, int& minor)
{
    DWORD v = GetVersion();
    major = static_cast<int>(v & 0xFF);
    minor = static_cast<int>((v >> 8) & 0xFF);
}

void OsPlatform(int& code)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: code = 2; break;
    case VER_PLATFORM_WIN32_WINDOWS: code = 3; break;
    default: code = 4; break;
    }
}

void OsGetEnv(int& length, const char* name, char* buffer, int size)
{
    length = static_cast<int>(GetEnvironmentVariableA(name, buffer, size > 0 ? static_cast<DWORD>(size) : 0));
}

void OsSetEnv(const char* name, const char* value)
{
    SetEnvironmentVariableA(name, value);
}

void OsCommandLine(char* buffer)
{
    const char* line = GetCommandLineA();
    CopyCut(buffer, kOsCommandLineSize, line ? line : "");
}

void OsModuleFileName(char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    DWORD n = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    if (n >= static_cast<DWORD>(size))
        buffer[size - 1] = '\0'; // a cut name is NUL-terminated on every system
}

void OsUserName(int& err, int& truncated, char* name, int size)
{
    char work[257] = {};
    DWORD n = sizeof(work);
    err = 0;
    truncated = 0;
    if (!GetUserNameA(work, &n)) {
        err = static_cast<int>(GetLastError());
        work[0] = '\0';
    }
    if (size > 0 && std::strlen(work) > static_cast<size_t>(size - 1))
        truncated = 1;
    CopyCut(name, size, work);
}

// ---------------------------------------------------------------------------
// Date and time

void OsDate(int& year, int& month, int& day)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    year = t.wYear;
    month = t.wMonth;
    day = t.wDay;
}

void OsTime(int& hour, int& minute, int& second, int& millisecond)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    hour = t.wHour;
    minute = t.wMinute;
    second = t.wSecond;
    millisecond = t.wMilliseconds;
}

void YYDate(int& year, int& month, int& day)
{
    OsDate(year, month, day);
}

void YYMonthDay(int& month, int& day)
{
    int year = 0;
    OsDate(year, month, day);
}

// ---------------------------------------------------------------------------
// Library switches: the beep switch and the locale-decimal input flag are
// words of LibraryState; the gradient-fill entry point is the one the window
// engine found when it started.

void BeepEnable(int on)
{
    gLibraryState.beepSwitch = on;
}

void BeepIfEnabled()
{
    if (gLibraryState.beepSwitch != 0)
        MessageBeep(0);
}

void OsBeep()
{
    BeepIfEnabled();
}

void LocaleDecimalInputSet(int flag)
{
    gLibraryState.localeDecimalSwitch = flag == 1 ? 1 : 0;
}

void GradientFillAvailable(int& result)
{
    result = gWindowSystem.gradientFill ? 2 : 1;
}
