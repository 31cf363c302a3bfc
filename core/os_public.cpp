// Public operating-system routines: deleting and copying files by name or
// wildcard, and the library beep switch. They turn the Windows error codes of
// the wrappers into library error 13, with the Windows code in
// ErrorState.status so that the error line carries its system text.
#include "core/os_services.h"

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"

#include <string>

namespace {

constexpr int kDirectoryAttribute = 16;
constexpr int kNoMoreFiles = 18;
// Room for the name of a found entry (MAX_PATH).
constexpr size_t kEntryNameSize = 260;

void ReportOsError(int windowsError, const char* routine)
{
    gErrorState.status = windowsError;
    YYErrorReport(kErrorOperatingSystem, routine);
}

// The directory part of PATH: up to and including its last path separator
// ("\", or "/", which Windows takes as well), or, without one, its last ":";
// empty when it has neither.
std::string DirectoryPart(std::string_view path)
{
    size_t cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos)
        cut = path.find_last_of(':');
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

bool EndsInSeparator(std::string_view s)
{
    return !s.empty() && (s.back() == '\\' || s.back() == '/' || s.back() == ':');
}

// One directory scan over PATTERN, ended in every case. For each entry that
// is not a directory, ACTION(name) is called; it returns false to stop the
// scan. Returns the Windows error of a scan that found nothing or ended other
// than normally, else 0.
template <typename Action>
int ScanFiles(std::string_view pattern, Action action)
{
    std::string name(pattern);
    if (name.size() < kEntryNameSize)
        name.resize(kEntryNameSize, '\0');
    else
        name.push_back('\0');
    int attributes = 0, datetime = 0, size = 0, found = 0, err = 0;
    OsDirScan(0, name.data(), attributes, datetime, size, found, err);
    if (!found) {
        OsDirScanEnd();
        return err;
    }
    while (found) {
        if ((attributes & kDirectoryAttribute) == 0 && !action(std::string(name.c_str()))) {
            OsDirScanEnd();
            return 0;
        }
        OsDirScan(1, name.data(), attributes, datetime, size, found, err);
    }
    OsDirScanEnd();
    return err == kNoMoreFiles ? 0 : err;
}

} // namespace

void IOsDeleteFile(std::string_view path)
{
    std::string pattern(TrimRight(path));
    if (pattern.find_first_not_of(' ') == std::string::npos)
        return;
    const std::string dir = DirectoryPart(pattern);
    int err = ScanFiles(pattern, [&](const std::string& entry) {
        int e = 0;
        OsDeleteFile((dir + entry).c_str(), e);
        if (e != 0)
            ReportOsError(e, "IOsDeleteFile");
        return true; // a failed delete does not end the scan
    });
    if (err != 0)
        ReportOsError(err, "IOsDeleteFile");
}

void IOsCopyFile(std::string_view source, std::string_view target)
{
    std::string src(TrimRight(source));
    if (src.find_first_not_of(' ') == std::string::npos)
        return;
    std::string dst(TrimRight(target));
    const std::string dir = DirectoryPart(src);

    if (src.find_first_of("*?") != std::string::npos) {
        // TARGET names a folder. A blank one stands for the current folder.
        if (!dst.empty() && !EndsInSeparator(dst))
            dst += '\\';
        bool copyFailed = false;
        int err = ScanFiles(src, [&](const std::string& entry) {
            int e = 0;
            OsCopyFile((dir + entry).c_str(), (dst + entry).c_str(), e);
            if (e != 0) {
                ReportOsError(e, "IOsCopyFile");
                copyFailed = true;
                return false;
            }
            return true;
        });
        if (err != 0 && !copyFailed)
            ReportOsError(err, "IOsCopyFile");
        return;
    }

    if (dst.empty() || EndsInSeparator(dst))
        dst += src.substr(dir.size());
    if (src == dst) {
        YYErrorReport(kErrorCopySameNames, "IOsCopyFile");
        return;
    }
    int e = 0;
    OsCopyFile(src.c_str(), dst.c_str(), e);
    if (e != 0)
        ReportOsError(e, "IOsCopyFile");
}

void YYBeepSwitch(std::string_view text)
{
    char key[3] = {' ', ' ', ' '};
    for (size_t i = 0; i < 3 && i < text.size(); ++i) {
        char c = text[i];
        key[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (key[0] == 'O' && key[1] == 'N' && key[2] == ' ')
        BeepEnable(1);
    else if (key[0] == 'O' && key[1] == 'F' && key[2] == 'F')
        BeepEnable(0);
    else
        OsBeep();
}
