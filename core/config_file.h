// The configuration file "quillo.ini": the parser of one line, the
// application of a parsed line to the configuration settings, and reading a
// whole text or file. No Windows here: the settings are plain values, which
// library start-up copies into the library state.
//
// Line rules: at most 270 characters (longer lines are cut); TAB counts as a
// blank; the line takes effect only when its first "=" stands at position 2
// or later but not at position 270; the key is the first blank-delimited
// token left of the "=", upper-cased and cut or padded to 8 characters, and
// keys shorter than 3 characters are ignored; the value is the first
// blank-delimited token right of the "="; a line without a value is ignored,
// except that any key beginning "VER" is a version request.
#pragma once

#include <string>
#include <string_view>

constexpr int kConfigLineLength = 270;

struct ConfigLine {
    enum class Kind {
        Ignored,  // no effect
        Setting,  // KEY = VALUE
        Version,  // a key beginning "VER": show the version and end after start-up
    } kind = Kind::Ignored;
    std::string key;   // 8 characters, upper case, blank-padded
    std::string value; // the first token right of "="
    std::string rest;  // the line from the value's first character to its end
};

// The settings a configuration file can change. Start-up fills them with the
// values in force, applies the file and copies them back.
struct ConfigSettings {
    int LFNGEN = 40;
    int LFNPLOTI = 42;
    int PRINTER = 0;
    int PLOTTER = 0;
    int HPGL2 = 0;
    std::string CHARDIR; // taken as text, blanks included
    std::string CHARSET;
    bool versionRequested = false;
};

// Parses one line (without its line end).
ConfigLine ConfigLineParse(std::string_view line);

// Applies a parsed line: "CHARDIR " and "CHARSET " take the rest of the line;
// "DEBUG   " sets the report level (0 to 4 take effect); "HPGL2   ",
// "PLOTTER " and "PRINTER " set their values; "LFNGEN  " and "LFNPLOTI" set
// theirs unless the value equals the other unit. Numbers are read with
// IStringToInteger: a value that does not parse is reported at the level in
// force and leaves the setting unchanged. ErrorState.lastCode is 0 afterwards.
void ConfigLineApply(const ConfigLine& line, ConfigSettings& settings);

// Applies every line of TEXT (lines end with LF or CR LF).
void ConfigTextApply(std::string_view text, ConfigSettings& settings);

// Reads the existing file NAME line by line to its end (a read error ends it
// too) and applies every line. Returns false, changing nothing, when the file
// cannot be opened.
bool ConfigFileApply(const std::string& name, ConfigSettings& settings);

