// Formatted output with Fortran-style edit descriptors, the one number writer
// behind result files, logs and the library's number-to-text routines.
//
// Supported: Iw, Iw.m, Fw.d, Ew.d, Ew.dEe, ESw.d, ESw.dEe, Gw.d, Gw.dEe, Aw, A,
// nX, TRn, TLn, Tn, nP, '/', quoted literals, repeat counts on descriptors and
// parenthesised groups, and format reversion (a new record when the items
// outlast the format), ':' (stop when the items are used up). Letters may be
// in either case; blanks outside literals do not count. A field too narrow for
// its value is filled with '*'.
//
// Rules of the output (those of standard formatted output):
// - Digits are correctly rounded, to nearest with ties to even (the digits of
//   std::to_chars); a negative value, also -0.0 or one that rounds to zero,
//   keeps its minus sign.
// - Fw.d, Ew.d: the zero before the point of a value below 1 is written only
//   when the field has room for it. F0.d and I0 are as wide as needed.
// - Ew.d: exponent "E+dd", or "+ddd" without the letter above 99; with Ee
//   exactly e digits, asterisks when they are not enough. kP scales F (value
//   times 10^k) and E (k digits before the point, -d < k < d+2); ES ignores it.
// - Gw.d[Ee] of a real: zero or a value that rounds (to d digits) into
//   [0.1, 10^d) is written as F(w-n).(d-s) followed by n blanks (n = e+2, or
//   4 without Ee), anything else as Ew.d[Ee]. Of an integer: Iw; of a text: Aw.
// - Aw: a longer text is cut to its first w characters, a shorter one is
//   right-justified. X and TR move right without writing; positions skipped
//   and never written become blanks only when something is written after them.
// - Infinity and NaN: "Infinity", "Inf", "NaN" right-justified, with "-" when
//   negative.
#pragma once

#include <cstdint>
#include <initializer_list>
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
    FormatItem(long v) : kind(Kind::Integer), integer(v) {}
    FormatItem(unsigned v) : kind(Kind::Integer), integer(v) {}
    FormatItem(long long v) : kind(Kind::Integer), integer(v) {}
    FormatItem(double v) : kind(Kind::Real), real(v) {}
    FormatItem(float v) : kind(Kind::Real), real(static_cast<double>(v)) {}
    FormatItem(std::string_view v) : kind(Kind::Text), text(v) {}
    FormatItem(const char* v) : kind(Kind::Text), text(v) {}
    FormatItem(const std::string& v) : kind(Kind::Text), text(v) {}
};

// Writes ITEMS with FORMAT (including its outer parentheses, e.g. "(I5)")
// into RECORDS, one string per record, without line ends. Returns false when
// the format is malformed or an item does not match its descriptor; RECORDS
// then holds what was written before the fault. Limits: groups nest at most
// 100 deep; a record holds at most 1,000,000 characters and a write at most
// 16,000,000, the blanks that positioning leaves before a later write
// included; a write that would pass them fails there.
bool FortranWrite(std::string_view format, std::span<const FormatItem> items,
                  std::vector<std::string>& records);

// The same records appended to OUT, each followed by RECORDEND (a line end
// of the caller's choice): one text for a whole file, written record after
// record without a string per record. On a fault OUT holds what was written
// before it.
bool FortranWriteAppend(std::string_view format, std::span<const FormatItem> items, std::string& out,
                        std::string_view recordEnd);

// Convenience: the single record of a write (records joined by '\n' when the
// format produced several). Empty on a format fault.
std::string FortranFormat(std::string_view format, std::span<const FormatItem> items);
std::string FortranFormat(std::string_view format, std::initializer_list<FormatItem> items);

// Status of FortranWriteText: 0 success, else the reason of the failure.
constexpr int kFortranBadFormat = 1;      // the format is malformed, nested too deep, or its
                                          // output passes the formatter's limits
constexpr int kFortranWriteFault = 2;     // an item does not suit its descriptor
constexpr int kFortranRecordOverflow = 3; // more than one record, or a record longer than TEXT

// A write into one fixed-length text: TEXT is blank-filled, then receives the
// first record (cut to its length). Returns 0 or a positive status above.
int FortranWriteText(std::string_view format, std::span<const FormatItem> items, std::span<char> text);
