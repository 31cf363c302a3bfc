// The debug log: a text file in the current directory, "debug", else
// "debug.txt", else "debug.dat", created (truncating an existing file) at the
// first write of the process and kept open to the end of the process. Every
// line ends with a carriage return and a line feed. When none of the names
// can be created the attempt is not repeated and lines are lost.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/errors.h"

namespace {

std::FILE* gLogFile = nullptr;
bool gLogTried = false;
std::string gLogName;

void LogWrite(const char* data, size_t n)
{
    if (!gLogFile)
        return;
    std::fwrite(data, 1, n, gLogFile);
    std::fwrite("\r\n", 1, 2, gLogFile);
    // Each line reaches the file at once: the log is read while the program runs
    // and must survive an abnormal end.
    std::fflush(gLogFile);
}

} // namespace

void DebugLogOpen()
{
    if (gLogTried)
        return;
    gLogTried = true;
    for (const char* name : {"debug", "debug.txt", "debug.dat"}) {
        gLogFile = std::fopen(name, "wb");
        if (gLogFile) {
            gLogName = name;
            return;
        }
    }
}

std::string DebugLogFileName()
{
    return gLogName;
}

void DebugLogLine(const char* text)
{
    DebugLogOpen();
    LogWrite(text, std::strlen(text));
}

void DebugLogValue(const char* name, int value)
{
    DebugLogOpen();
    std::string line(name);
    line += '=';
    char digits[16];
    auto res = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, res.ptr);
    if (line.size() > 98) // at most 100 characters with the line end
        line.resize(98);
    LogWrite(line.data(), line.size());
}

void YYDebugLogText(std::string_view text)
{
    // A NUL-terminated copy: the line ends at the first NUL of the text.
    std::string copy(text);
    DebugLogLine(copy.c_str());
}
