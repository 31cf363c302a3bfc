// Operating-system services: starting programs, with or without waiting.
#include "core/os_services.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

// CreateProcessA with COMMAND as the command line (no application name, no
// inherited handles, a new console, normal priority) and the given show state.
// Returns 0 and fills PI, or the Windows error.
int StartProcess(const char* command, WORD show, PROCESS_INFORMATION& pi)
{
    // CreateProcessA may write into the command line: give it a copy.
    std::string line(command ? command : "");
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
    pi = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si, &pi))
        return static_cast<int>(GetLastError());
    return 0;
}

void CloseProcessHandles(PROCESS_INFORMATION& pi)
{
    if (pi.hThread)
        CloseHandle(pi.hThread);
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    pi = {};
}

// Waits for the process without limit; meanwhile the thread's queued messages
// are taken off, WM_PAINT is dispatched so that the caller's windows repaint,
// everything else is dropped.
int WaitUnlimited(HANDLE process)
{
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT)
                DispatchMessageA(&msg);
            continue;
        }
        DWORD r = WaitForSingleObject(process, 100);
        if (r == WAIT_TIMEOUT)
            continue;
        if (r == WAIT_FAILED)
            return static_cast<int>(GetLastError());
        return 32;
    }
}

int WaitSeconds(HANDLE process, int seconds)
{
    // SECONDS x 1000 in 64 bits, kept below INFINITE so that a huge limit is
    // still a limit.
    uint64_t ms = static_cast<uint64_t>(seconds) * 1000u;
    if (ms >= INFINITE)
        ms = INFINITE - 1;
    DWORD r = WaitForSingleObject(process, static_cast<DWORD>(ms));
    if (r == WAIT_TIMEOUT)
        return -1;
    if (r == WAIT_FAILED)
        return static_cast<int>(GetLastError());
    return 32;
}

} // namespace

void OsRunProgram(int& result, const char* command)
{
    PROCESS_INFORMATION pi;
    int err = StartProcess(command, SW_SHOWNORMAL, pi);
    if (err != 0) {
        result = err;
        return;
    }
    // Nothing waits for the program: keep no handle to it.
    CloseProcessHandles(pi);
    result = 32;
}

void OsExecuteWait(const char* command, int hide, int wait, int seconds, int& result)
{
    PROCESS_INFORMATION pi;
    int err = StartProcess(command, hide == 0 ? SW_SHOWNORMAL : SW_HIDE, pi);
    if (err != 0) {
        result = err;
        return;
    }
    if (wait == 0)
        result = 32;
    else if (seconds < 0)
        result = WaitUnlimited(pi.hProcess);
    else
        result = WaitSeconds(pi.hProcess, seconds);
    CloseProcessHandles(pi);
}
