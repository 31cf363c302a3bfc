#include "support/child_process.h"
#include "support/poll.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace startup_test {

ChildRun RunChildTest(const std::string& testName,
                      const std::vector<std::pair<std::string, std::string>>& env,
                      const std::string& dir)
{
    ChildRun run;
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);

    // The child's standard output goes to a file of the folder.
    std::string outName = dir + "\\child_stdout.txt";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    // The previous child of the folder may still hold the file while Wine
    // tears it down: a sharing violation is waited out, anything else is said.
    HANDLE out = INVALID_HANDLE_VALUE;
    DWORD openError = 0;
    PollUntil(
        [&] {
            out = CreateFileA(outName.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            openError = out == INVALID_HANDLE_VALUE ? GetLastError() : 0;
            return out != INVALID_HANDLE_VALUE || (openError != ERROR_SHARING_VIOLATION &&
                                                   openError != ERROR_ACCESS_DENIED);
        },
        10000);
    if (out == INVALID_HANDLE_VALUE) {
        run.output = "cannot create " + outName + ": error " + std::to_string(openError);
        return run;
    }

    // The environment of the child: ours with the changes, set around the start.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const auto& [name, value] : env) {
        char old[4096];
        DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        saved.emplace_back(name, n > 0 && n < sizeof old ? std::string(old, n) : std::string());
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }

    std::string cmd = std::string("\"") + exe + "\" --gtest_also_run_disabled_tests --gtest_filter=" + testName;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &si, &pi);

    for (const auto& [name, value] : saved)
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    DWORD startError = ok ? 0 : GetLastError();
    CloseHandle(out);
    if (!ok) {
        run.output = "cannot start the child: error " + std::to_string(startError);
        return run;
    }
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        run.exitCode = static_cast<int>(code);
    } else {
        TerminateProcess(pi.hProcess, 99);
        run.output = "the child did not end within 60 s\n";
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    run.output += ReadFile(outName);
    return run;
}

std::string NewScratchFolder()
{
    static int counter = 0;
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    for (;;) {
        std::string name = std::string(tmp) + "kvbtest_" + std::to_string(GetCurrentProcessId()) + "_" +
                           std::to_string(++counter);
        if (CreateDirectoryA(name.c_str(), nullptr))
            return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
}

std::string ReadFile(const std::string& name)
{
    std::string text;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

void WriteFile(const std::string& name, const std::string& text)
{
    if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

bool Exists(const std::string& name)
{
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace startup_test
