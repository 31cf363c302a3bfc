// The current stroke font, its one-slot save area and the advance widths that
// all stroke fonts share.
//
// Glyph format (StrokeGlyphString). Digits are the 56 characters of
// kStrokeDigits, valued by their position ('0' = 0, 'A' = 10, 'a' = 36,
// 't' = 55). A point is two digits, x then y, in design units (x along the
// baseline, y upwards). A contour is two or more points written one after the
// other; any one character outside the digits ends a contour and starts the
// next (the built-in fonts use 'u' and 'v'). A glyph is one or more contours,
// optionally followed by one trailing separator. A font string holds the
// glyphs of codes 33..126, then the extra glyph (code 128) when the font has
// one, then codes 161..255; up to three characters that belong to no glyph
// may stand before code 161. Positions are 1-based:
//   code 33..126:  lowStart[c - 33]  up to lowStart[c - 32] - 1
//   code 128:      lowStart[94]      up to lowStart[95] - 1
//   code 161..255: highStart[c - 161] up to highStart[c - 160] - 1
// A span whose first position is not below the next start is empty. A
// contour has at most kStrokeContourMax points.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

constexpr std::string_view kStrokeDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";
constexpr int kStrokeGlyphCapacity = 17000;
constexpr int kStrokeFontNameLength = 260;
constexpr int kStrokeStartEntries = 96;
constexpr int kStrokeContourMax = 152;

// Bits of the flags word of YYFontInstall.
constexpr int kStrokeFlagPolyline = 1;
constexpr int kStrokeFlagExtraGlyph = 2;

struct StrokeFont {
    std::array<char, kStrokeGlyphCapacity> glyphString; // first L characters meaningful
    std::array<char, kStrokeFontNameLength> name;        // blank-padded, e.g. "swiss.chr"
    // Start positions of codes 33..126; [94] just after code 126, which is also
    // the start of the extra glyph; [95] just after the extra glyph.
    std::array<int32_t, kStrokeStartEntries> lowStart{};
    // Start positions of codes 161..255; [95] just after code 255.
    std::array<int32_t, kStrokeStartEntries> highStart{};
    float nominalWidth = 0.0f;  // design units of one character width
    float nominalHeight = 0.0f; // design units of one character height
    float cellExtentA = 0.0f;   // width of the design cell (below 8: narrowed when proportional)
    float cellExtentB = 0.0f;   // height of the design cell (stacked text)
    int32_t charsetBits = 0;    // 8: codes 161..255 defined; 7: they act as spaces
    int32_t polylineFlag = 0;   // 1 open polylines, 0 filled outlines
    int32_t extraGlyphFlag = 0; // 1: a glyph for code 128
    int32_t proportionalFlag = 0;

    StrokeFont();
};
extern StrokeFont gStrokeFont;

// The one save slot: every field of the current font and the built-in-font
// flag of the text state. A second save overwrites the first.
struct StrokeFontSaveArea {
    StrokeFont font;
    int32_t builtInFont = 0;
};
extern StrokeFontSaveArea gStrokeFontSaveArea;

// Advance widths in character widths, shared by all stroke fonts and not
// changed by installing one. low[c - 32] for codes 32..127 (entry 127 is the
// extra glyph's width), high[c - 161] for codes 161..255.
struct StrokeWidthTable {
    std::array<float, 96> low{};
    std::array<float, 95> high{};
};
extern StrokeWidthTable gStrokeWidthTable;

// The defaults that YYCHSPACE restores (width_table.cpp).
extern const std::array<float, 96> kStrokeWidthDefaultsLow;
extern const std::array<float, 95> kStrokeWidthDefaultsHigh;

// Makes the given font current: header words, name (blank-padded, cut at 260),
// the glyph string over the first positions of the store (the rest keeps what
// an earlier font left; a string longer than the store is cut to its
// capacity), the low table (entry 95 only with an extra glyph) and the high
// table. Resets TextState.installedBold; leaves the width table,
// TextState.builtInFont and TextState.spacing alone.
void YYFontInstall(float nominalWidth, float nominalHeight, float cellExtentA, float cellExtentB,
                   int charsetBits, int flags, int proportional, std::string_view name,
                   std::string_view glyphString, std::span<const int32_t, kStrokeStartEntries> lowStart,
                   std::span<const int32_t, kStrokeStartEntries> highStart);

// Bit 0 of MODE set (callers pass -1): saves the current font and
// TextState.builtInFont into the save slot; clear (callers pass 0): restores
// them from it. The width table and TextState.installedBold are not part of it.
void YYFontSaveRestore(int mode);

// Code 0: resets the whole width table to the defaults; 32..126 or 161..255:
// restores that code's default; 128: the extra glyph's width back to 0.74.
// Any other code reports error 66 and leaves the table unchanged.
void YYCHSPACE(int code);
