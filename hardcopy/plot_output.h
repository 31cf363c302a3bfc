// Plot output units and the print command. Every file-writing hardcopy
// driver writes its plot file through a plot unit (unit 2): the output name
// of the hardcopy state opened, created anew, and written line by line (CR LF
// after each line) or as raw bytes. A unit buffers what is put into it and
// writes it in large pieces: the file's bytes are the same, and a failed
// write still reaches the driver as the unit's error 2, at the latest when
// the unit is closed. YYPROU writes the buffer out before it hands out the
// handle, and YYPRBU before it writes to a unit's handle, so a caller
// writing to the handle directly keeps the order.
// Failures are reported under "YYPROU" ("YYPRBU" for YYPRBU) and set the
// output abort flag of the hardcopy state to -1; a successful open sets it
// to 0. The print command runs a command
// line through the system's command interpreter and waits for it.
// No Win32 here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Writes UNIT's buffered bytes, then HANDLE := the file handle stored for UNIT
// (-1 when none, or UNIT outside 0..kPlotUnitCount - 1).
void YYPROU(int unit, int& handle);
// Opens the output name (the DeviceTextBuffer's 260 characters, up to the
// last non-blank one; leading blanks stay part of the name) for writing and
// stores the handle for UNIT. A blank name, or a name the system cannot
// create, reports error 1 (with the Windows error code when there is one).
void YYPlotOpen(int unit);
// Writes what is buffered and closes the unit's handle (nothing when none is
// open).
void YYPlotClose(int unit);
// Puts the whole TEXT, trailing blanks included, and CR LF.
void YYPlotPutLine(int unit, std::string_view text);
// Puts the first COUNT bytes of BYTES (at most its size).
void YYPlotPutBytes(int unit, std::span<const std::uint8_t> bytes, int count);
// Writes the first COUNT bytes of BYTES to HANDLE, then, when ADDLINEEND is
// true, CR LF in a second write; a unit's buffered bytes for HANDLE first.
void YYPRBU(int handle, std::span<const std::uint8_t> bytes, int count, bool addLineEnd);
// Runs "cmd.exe /c COMMAND" (on the NT family; "command.com /c COMMAND"
// elsewhere) hidden and waits for it, dispatching only paint messages
// meanwhile. A command that cannot be run to its end reports error 13 with
// the system's answer as the second status.
void YYPRNCMD(std::string_view command);
// The command line YYPRNCMD hands to the system for COMMAND on PLATFORM (4 the
// NT family), NUL-terminated.
std::string_view PrintCommandLine(int platform, std::string_view command, std::span<char> buffer);
