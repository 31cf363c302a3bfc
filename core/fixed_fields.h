// Fixed-width numbers for plot files: the characters that FortranWrite gives
// for (Iw) and (Fw.d), appended straight to a caller's string without a format
// being parsed per value (a driver writes tens of thousands per plot). One
// difference, on purpose: where FortranWrite fills a field too narrow for its
// value with asterisks, these write all the digits, since a reader of a plot
// file must be able to parse every number. A driver that wants a value kept
// inside its field clamps it first (FixedFieldLimit). No Win32 here.
#pragma once

#include <cstdint>
#include <string>

// (Iw): VALUE right-justified in WIDTH characters; all digits when wider.
void AppendIntField(std::string& out, int64_t value, int width);
// (Fw.d): VALUE with DECIMALS digits after the point (0..30), correctly
// rounded with ties to even, right-justified in WIDTH characters; the zero
// before the point of a value below 1 only when the field has room for it; a
// negative value (also one that rounds to zero, and -0.0) keeps its minus.
// All digits when the value is wider than the field. Infinity and NaN as
// FortranWrite writes them.
void AppendFixedField(std::string& out, double value, int width, int decimals);
// The largest magnitude whose (Fw.d) text, with a minus, fits WIDTH:
// 10^(WIDTH - DECIMALS - 2) - 10^-DECIMALS (F9.2: 99999.99); 0 when none does.
double FixedFieldLimit(int width, int decimals);
