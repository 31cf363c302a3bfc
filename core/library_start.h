// Library start-up and shut-down, the install and temporary directories, the
// environment variables of the library and the program's command line.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Starts the library (first call only; later calls return at once). INIFILE,
// when present and not blank, names the configuration file to use in
// preference to the one the search finds.
void WLibraryStart(std::optional<std::string_view> iniFile = std::nullopt);
// Ends the library: ends an open hardcopy, destroys the metafile slots,
// closes every window and dialog, resets the public dialog words and frees the
// editor buffers. The library cannot be started again in the same process.
void WLibraryShutdown();

// Start-up steps.
// Path separator, locale decimal separator and switch, install directory
// (from "QUILLO", else "ZOTE"), LFNGEN := 40.
void YYInstallDirectory();
// Temporary directory ("TEMP", else "TMP", else "C:\") and the temporary plot
// and dump file names "kvb$$nn.plt" and "kvb$$nn.dmp".
void YYTempFileNames();
// TEXT := "8.0d".
void YYVersionString(std::span<char> text);
// Desktop resolution, colour count and default palette size, and the dots per
// inch and operating-system version into the library state.
void ScreenCapsQuery(int& width, int& height, int& ncolours, int& palsize);

// VALUE := the environment variable named by the trimmed NAME, blank-padded;
// blank when unset; when it does not fit, VALUE stays blank and 1023 is
// reported under "IOsVariable".
void IOsVariable(std::string_view name, std::span<char> value);

// Copies token N of the command line into ARG and returns N; when there is no
// token N, ARG is unchanged and the result is the index of the last token (-1
// for an empty command line). N = 0 gives the program file's full path. The
// command line is read once, at the first call.
int YYCommandLineArgument(int n, std::span<char> arg);

// The tokens of a command line as YYCommandLineArgument counts them: blanks
// separate tokens; a token beginning with a double quote runs to the next
// double quote (blanks included; to the end without one) and the character
// after that quote is skipped; an empty quoted token is not counted.
std::vector<std::string> CommandLineTokens(std::string_view text);

// The install directory for an unset "QUILLO" from the value of "ZOTE": the
// value up to the last occurrence of the word "ZOTE" in any case, or the whole
// value when it does not occur.
std::string InstallDirectoryFromZote(std::string_view zote);
