// Running the host's own tools (pngcheck, ImageMagick's identify, pdftoppm)
// from a test under Wine, to check files with readers this project did not
// write. Wine starts a Unix program named by its Unix path; its exit status
// comes back through a file. Outside Wine, or when a tool is missing, the
// tests that need one skip.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/poll.h"

namespace unixtools {

// The Unix path of a Windows path, through Wine's kernel32 export; empty
// outside Wine.
inline std::string UnixPath(const std::string& windowsPath)
{
    using Fn = char*(CDECL*)(LPCWSTR);
    static Fn convert = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return {};
    wchar_t wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH) == 0)
        return {};
    char* unix = convert(wide);
    if (!unix)
        return {};
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// True when the Unix program PATH (e.g. "/usr/bin/pngcheck") can be run.
inline bool Available(const std::string& path)
{
    if (UnixPath("C:\\").empty())
        return false;
    const std::string windows = "Z:" + path;
    DWORD attributes = GetFileAttributesA(windows.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Runs the shell COMMAND through /bin/sh, its output into OUTPUT; returns
// its exit status, or -1 when it could not be run.
inline int Run(const std::string& command, std::string* output = nullptr)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string base = std::string(dir) + "kvbtest-unix-" + std::to_string(GetCurrentProcessId());
    const std::string outFile = base + ".out", statusFile = base + ".status";
    DeleteFileA(outFile.c_str());
    DeleteFileA(statusFile.c_str());
    std::string script = "(" + command + ") > '" + UnixPath(outFile) + "' 2>&1; echo $? > '" +
                         UnixPath(statusFile) + "'";
    std::string escaped;
    for (char c : script) {
        if (c == '"')
            escaped += '\\';
        escaped += c;
    }
    std::string line = "/bin/sh -c \"" + escaped + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    int status = -1;
    PollUntil([&] {
        std::ifstream in(statusFile);
        return static_cast<bool>(in >> status);
    }, 30000);
    if (output) {
        std::ifstream in(outFile, std::ios::binary);
        output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    DeleteFileA(outFile.c_str());
    DeleteFileA(statusFile.c_str());
    return status;
}

// The folder where the CUPS PDF printer (cups-pdf) writes the jobs of this
// Unix user (~/PDF/, as a Windows path ending in a backslash); empty when
// the home folder cannot be found.
inline std::string CupsPdfFolder()
{
    std::string home;
    if (Run("echo $HOME", &home) != 0)
        return {};
    while (!home.empty() && (home.back() == '\n' || home.back() == '\r'))
        home.pop_back();
    if (home.size() < 2)
        return {};
    std::string folder = "Z:" + home + "/PDF/";
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    return folder;
}

// Whether the PDF file PATH has been written to its end: cups-pdf creates the
// file before it writes it, so a file that is there may still lack its
// trailer.
inline bool PdfComplete(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff tail = size < 1024 ? size : 1024;
    if (tail <= 0)
        return false;
    in.seekg(size - tail);
    std::string end(static_cast<size_t>(tail), '\0');
    in.read(end.data(), tail);
    return in && end.find("%%EOF") != std::string::npos;
}

// The PDF of FOLDER whose name starts with TITLE (cups-pdf names a job's
// file after its document title), waited for up to TIMEOUTMS until it is
// there and written to its end; empty when none arrived.
inline std::string CupsPdfFile(const std::string& folder, const std::string& title, int timeoutMs = 90000)
{
    std::string pdf;
    const bool complete = PollUntil([&] {
        WIN32_FIND_DATAA found;
        HANDLE scan = FindFirstFileA((folder + title + "*.pdf").c_str(), &found);
        if (scan == INVALID_HANDLE_VALUE)
            return false;
        FindClose(scan);
        pdf = folder + found.cFileName;
        return PdfComplete(pdf);
    }, timeoutMs);
    return complete ? pdf : std::string();
}

// Renders the first page of PDF at DPI dots per inch into the PNG file
// PNGPREFIX + ".png" (Windows paths), retrying for up to 30 s while the PDF may
// still be being written; pdftoppm's messages go to OUTPUT. True when the page
// was rendered.
inline bool PdfPageToPng(const std::string& pdf, const std::string& pngPrefix, int dpi, std::string* output = nullptr)
{
    const std::string command = "/usr/bin/pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" +
                                UnixPath(pdf) + "' '" + UnixPath(pngPrefix) + "'";
    return PollUntil([&] { return Run(command, output) == 0; }, 30000);
}

} // namespace unixtools
