// Small text routines shared by the whole library: token bounds, case
// conversion, justification, character codes, case-blind search, and the
// length and copy routines for NUL-terminated texts.
//
// Positions count from 1. Texts are fixed-length buffers; unlike most
// routines, these take the text at its full length (trailing blanks count)
// where a position or a length depends on it.
#pragma once

#include <span>
#include <string_view>

// FIRST := position of the first non-blank character; LAST := the position
// before the next blank after it, or the text's length when none follows.
// Both 0 for a blank text.
void YYTokenBounds(std::string_view string, int& first, int& last);

// "a".."z" become "A".."Z" (or the reverse) in place; other bytes unchanged.
void YYUpperCase(std::span<char> string);
void YYLowerCase(std::span<char> string);

// Moves the non-blank part of STRING left when OPTIONS holds "L", else right
// when it holds "R", else to the centre (an odd blank goes to the right).
void YYJustify(std::span<char> string, std::string_view options);

// Code 0..255 of a character read as an unsigned byte.
int YYCharCode(char c);

// Position of SUBSTRING in STRING compared without regard to case: the first
// occurrence, or the last when BACK is given and true. An empty SUBSTRING
// gives 1 (length of STRING plus 1 with BACK); no occurrence gives 0.
int YYIndexNoCase(std::string_view string, std::string_view substring, const bool* back = nullptr);

// Value of an optional leading "-" and the decimal digits that follow, up to
// the first other character or the NUL (no blanks skipped, no "+"). Too many
// digits wrap around modulo 2^32 rather than overflow.
int DecimalStringToInt(std::string_view text);

// Characters before the first NUL (the whole length when there is none).
int TextLengthToNul(std::string_view text);
// Characters before the first blank or NUL.
int TextLengthToBlank(std::string_view text);

// Copies the NUL-terminated TEXT into the first N characters of STRING,
// blank-padded or cut at N (N is limited to STRING's length).
void TextToBlankPadded(std::string_view text, std::span<char> string, int n);
