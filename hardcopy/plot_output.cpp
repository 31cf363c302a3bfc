// Plot output units, raw writes to a plot handle and the print command.
#include "hardcopy/plot_output.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/os_services.h"
#include "graphics/device_ops.h"
#include "hardcopy/hardcopy_state.h"

namespace {

bool ValidUnit(int unit) { return unit >= 0 && unit < kPlotUnitCount; }

int& UnitHandle(int unit) { return gHardcopyState.plotUnits[static_cast<size_t>(unit)]; }

// Each unit's bytes not yet written. A driver writes thousands of short lines
// per plot; gathering them into few large writes leaves the file's bytes as
// they are. The buffer is written when it passes kFlushAt, when the unit is
// closed, and before YYPROU hands the handle to a caller that writes to it
// directly, so bytes always reach the file in the order they were put.
constexpr size_t kFlushAt = 64 * 1024;
std::array<std::string, kPlotUnitCount> gPending;

// Reports CODE under NAME with the Windows error ERR as the code that applies
// (none when ERR is 0) and raises the abort flag.
void Fail(int code, std::string_view name, int err)
{
    gErrorState.osError = err;
    gErrorState.osErrorKind = err != 0 ? 2 : 0;
    YYErrorReport(code, name);
    gHardcopyState.outputAbort = -1;
}

// One write of N bytes; a short write is error 2 under NAME.
void WriteAll(int handle, const void* data, int n, std::string_view name)
{
    int written = 0, err = 0;
    OsFileWrite(handle, data, n, written, err);
    if (written < n)
        Fail(kErrorFileReadWrite, name, err);
}

// Writes UNIT's pending bytes; a failed write is reported as the unit's
// error 2 under "YYPROU" (with the abort flag) and the bytes are dropped.
void Flush(int unit)
{
    std::string& pending = gPending[static_cast<size_t>(unit)];
    if (pending.empty())
        return;
    WriteAll(UnitHandle(unit), pending.data(), static_cast<int>(pending.size()), "YYPROU");
    pending.clear();
}

// Appends TEXT, and CR LF when LINEEND, to UNIT's buffer. A unit with nothing
// open fails at once, as an unbuffered write would.
void Put(int unit, std::string_view text, bool lineEnd)
{
    constexpr int kInvalidHandle = 6; // the system's code for a bad handle
    if (!ValidUnit(unit) || UnitHandle(unit) == -1) {
        Fail(kErrorFileReadWrite, "YYPROU", kInvalidHandle);
        return;
    }
    std::string& pending = gPending[static_cast<size_t>(unit)];
    pending.append(text);
    if (lineEnd)
        pending.append("\r\n");
    if (pending.size() >= kFlushAt)
        Flush(unit);
}

} // namespace

void YYPROU(int unit, int& handle)
{
    if (!ValidUnit(unit)) {
        handle = -1;
        return;
    }
    Flush(unit);
    handle = UnitHandle(unit);
}

void YYPlotOpen(int unit)
{
    if (!ValidUnit(unit)) {
        Fail(kErrorFileOpen, "YYPROU", 0);
        return;
    }
    // The name ends at its last non-blank character; a NUL inside ends it too.
    std::string name(TrimRight(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength)));
    name.resize(std::min(name.size(), name.find('\0')));
    if (TrimRight(name).empty()) {
        Fail(kErrorFileOpen, "YYPROU", 0);
        return;
    }
    gHardcopyState.outputAbort = 0;
    gPending[static_cast<size_t>(unit)].clear();
    int handle = -1, err = 0;
    OsFileOpen(name.c_str(), 1, handle, err);
    UnitHandle(unit) = handle;
    if (handle == -1)
        Fail(kErrorFileOpen, "YYPROU", err);
}

void YYPlotClose(int unit)
{
    if (!ValidUnit(unit) || UnitHandle(unit) == -1)
        return;
    Flush(unit);
    OsFileClose(UnitHandle(unit));
    UnitHandle(unit) = -1;
}

void YYPlotPutLine(int unit, std::string_view text)
{
    Put(unit, text, true);
}

void YYPlotPutBytes(int unit, std::span<const std::uint8_t> bytes, int count)
{
    const int n = std::clamp<int>(count, 0, static_cast<int>(bytes.size()));
    Put(unit, std::string_view(reinterpret_cast<const char*>(bytes.data()), static_cast<size_t>(n)), false);
}

void YYPRBU(int handle, std::span<const std::uint8_t> bytes, int count, bool addLineEnd)
{
    // A unit buffering for this handle writes its bytes first, so that the
    // file keeps the order however the caller mixes the two ways.
    for (int unit = 0; unit < kPlotUnitCount; ++unit)
        if (handle != -1 && UnitHandle(unit) == handle)
            Flush(unit);
    const int n = std::clamp<int>(count, 0, static_cast<int>(bytes.size()));
    WriteAll(handle, bytes.data(), n, "YYPRBU");
    if (addLineEnd)
        WriteAll(handle, "\r\n", 2, "YYPRBU");
}

std::string_view PrintCommandLine(int platform, std::string_view command, std::span<char> buffer)
{
    std::string_view prefix = platform == 4 ? "cmd.exe /c " : "command.com /c ";
    if (buffer.empty())
        return {};
    size_t n = std::min(prefix.size(), buffer.size() - 1);
    std::copy_n(prefix.data(), n, buffer.data());
    size_t m = std::min(command.size(), buffer.size() - 1 - n);
    std::copy_n(command.data(), m, buffer.data() + n);
    buffer[n + m] = '\0';
    return std::string_view(buffer.data(), n + m + 1);
}

void YYPRNCMD(std::string_view command)
{
    int platform = 0;
    OsPlatform(platform);
    std::vector<char> line(command.size() + 32);
    PrintCommandLine(platform, command, line);
    int answer = 0;
    OsExecuteWait(line.data(), 1, 1, -1, answer);
    if (answer != 32) {
        gErrorState.status = answer;
        gErrorState.osErrorKind = 0;
        YYErrorReport(kErrorOperatingSystem, "YYPRNCMD");
    }
}
