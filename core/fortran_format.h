// Formatted output with Fortran-style edit descriptors, the one number writer
// behind result files, logs and the library's number-to-text routines.
//
// Supported: Iw, Iw.m, Fw.d, Ew.d, Ew.dEe, ESw.d, ESw.dEe, Gw.d, Gw.dEe, Aw, A,
// nX, TRn, TLn, Tn, nP, '/', quoted literals, repeat counts on descriptors and
// parenthesised groups, and format reversion (a new record when the items
// outlast the format). A field too narrow for its value is filled with '*'.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One item of an output list.
struct FormatItem {
    enum class Kind { Integer, Real, Text } kind;
    int64_t integer = 0;
    double real = 0.0;
    std::string_view text;

    FormatItem(int v) : kind(Kind::Integer), integer(v) {}
    FormatItem(int64_t v) : kind(Kind::Integer), integer(v) {}
    FormatItem(double v) : kind(Kind::Real), real(v) {}
    FormatItem(float v) : kind(Kind::Real), real(static_cast<double>(v)) {}
    FormatItem(std::string_view v) : kind(Kind::Text), text(v) {}
    FormatItem(const char* v) : kind(Kind::Text), text(v) {}
};

// Writes ITEMS with FORMAT (including its outer parentheses, e.g. "(I5)")
// into RECORDS, one string per record, without line ends. Returns false when
// the format is malformed or an item does not match its descriptor; RECORDS
// then holds what was written before the fault.
bool FortranWrite(std::string_view format, std::span<const FormatItem> items,
                  std::vector<std::string>& records);

// Convenience: the single record of a write (records joined by '\n' when the
// format produced several). Empty on a format fault.
std::string FortranFormat(std::string_view format, std::span<const FormatItem> items);
std::string FortranFormat(std::string_view format, std::initializer_list<FormatItem> items);
