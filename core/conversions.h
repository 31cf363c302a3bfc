// Number and text conversions of the library: the number writers (public and
// internal), the reporting parsers, the quiet parsers the dialog fields and
// grids use, and the field-text normalisers.
//
// Writers put their result into a caller-owned text (blank-padded or cut)
// through FortranWrite formats such as "(I11)" or "(G15.5E2)". Failures are
// reported through YYErrorReport with the library's codes:
//   4  number too large, 10 no token (blank text), 11 more than one decimal
//   point, 12 invalid character, 18 numeric to string conversion error.
#pragma once

#include <span>
#include <string_view>

// ---- Number writers ----------------------------------------------------------
// Write VALUE into STRING with FORMAT (not justified). The real and double
// writers replace every "." by the locale decimal separator while the
// locale-decimal switch is 1. A write that cannot be done, or a field
// overflow (an asterisk in STRING while FORMAT holds none), gives
// "**********" (ten asterisks, blank-padded or cut) and reports 18.
void IntegerToString(int ivalue, std::span<char> string, std::string_view format);
void IRealToString(float rvalue, std::span<char> string, std::string_view format);
void IDoubleToString(double dvalue, std::span<char> string, std::string_view format);

// Internal writers: the result is left-justified; field-overflow asterisks
// stand. yyrea2st and yydbl2st keep the write status in
// gErrorState.osError (0 on success). A failed write gives ten asterisks
// (eleven for yyint2st, which writes with "(I11)") and reports 18.
void yyrea2st(float rvalue, std::span<char> string, std::string_view format);
void yydbl2st(double dvalue, std::span<char> string, std::string_view format);
void yyint2st(int ivalue, std::span<char> string);

// ---- Reporting parsers -------------------------------------------------------
// Integer of the first blank-delimited token: optional sign and at most
// 2147483647 in magnitude. 0 on every error (10, 12, 4).
void IStringToInteger(std::string_view string, int& ivalue);
// Real of the first token: decimal point "." or "," (or the locale separator
// while the switch is 1), exponent letter "E"/"e", or a sign three characters
// before the token's end ("1.5+100"). Single precision, exponent limit 38.
// 0 on every error (10, 11, 12, 4), all reported as "IStringToReal".
void IStringToReal(std::string_view string, float& rvalue);
// The same with a double-precision result: exponent letters "E", "e", "D",
// "d", limit 308; errors also reported as "IStringToReal".
void YYStringToDouble(std::string_view string, double& dvalue);
// Parse the first token, then blank it in STRING whether or not it parsed;
// a blank STRING gives 0 and reports 10 under "INextInteger"/"INextReal".
void INextInteger(std::span<char> string, int& ivalue);
void INextReal(std::span<char> string, float& rvalue);

// ---- Quiet parsers -----------------------------------------------------------
// The text is taken up to its first NUL, else without its trailing blanks.
// Nothing is reported and gErrorState.lastCode and .level are left as found.
void YYTextToDoubleQuiet(double& dvalue, std::string_view text);
// OK := 1 when the parse found no error, else 0.
void YYTextToDoubleChecked(double& dvalue, int& ok, std::string_view text);
void YYTextToRealQuiet(float& rvalue, std::string_view text);
// The single-precision value truncated toward zero; values beyond the
// integer range give the nearest integer of the range.
void YYTextToIntegerQuiet(int& ivalue, std::string_view text);

// ---- Field-text normalisers (quiet; TEXT changed in place) -------------------
// Parse, write back with "(I11)" (integer), FORMAT (real, double), justify
// left and end the trimmed text with one NUL (cut when TEXT is full).
void YYIntegerFieldText(std::span<char> text);
void YYRealFieldText(std::span<char> text, std::string_view format);
void YYDoubleFieldText(std::span<char> text, std::string_view format);

// ---- Numbers of dialog fields ------------------------------------------------
// The kinds of number a numeric dialog field holds.
enum class FieldNumberKind { kInteger, kReal, kDouble };
// VALUE := the number of TEXT's first token in double precision, 0 when it
// gives none (the text taken as by the quiet parsers; nothing is reported).
// The answer is 0 when a field of KIND holds that number, so that its
// normaliser (YYIntegerFieldText, YYRealFieldText, YYDoubleFieldText) writes
// that number back; else the parser's code (10 blank, 11, 12, 4), or 4 for a
// number the kind cannot hold: an integer whose truncation lies beyond
// 2147483647 in magnitude, a real that the single-precision parser refuses
// (beyond its range or its exponent limit, or a "D" exponent).
int YYFieldTextNumber(FieldNumberKind kind, std::string_view text, double& value);

// ---- Locale ------------------------------------------------------------------
// Stores the first character of the user locale's decimal separator in C and
// in gLibraryPaths.localeDecimalSeparator ("." when the locale gives none).
// Implemented in core/locale_decimal.cpp (the one part that needs Win32).
void LocaleDecimalSeparator(char& c);
