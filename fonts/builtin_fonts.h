// The nine built-in stroke fonts and their install routines. Each routine
// makes its font the current StrokeFont through YYFontInstall; no font file
// is ever read, and names such as "swiss.chr" only identify the fonts. The
// width table is not touched: all fonts share it. YYSymbolsLoad switches to
// the marker font and back.
#pragma once

#include <array>
#include <string_view>

#include "fonts/builtin_font_data.h"

struct BuiltInFont {
    std::string_view name;
    float nominalWidth;
    float nominalHeight;
    float cellExtentA;
    float cellExtentB;
    int charsetBits;
    int flags;          // kStrokeFlagPolyline | kStrokeFlagExtraGlyph
    int proportional;
    const BuiltInGlyphData* data;
};

// In the order of the routines below.
extern const std::array<BuiltInFont, 9> kBuiltInFonts;

void YYFontStandard();   // "standard.chr", the font from the graphics start-up on
void YYFontFixed();      // "fixed.chr", family 1
void YYFontFixedBold();  // "fixedbld.chr"
void YYFontSwiss();      // "swiss.chr", family 2
void YYFontSwissBold();  // "swissbld.chr"
void YYFontRoman();      // "roman.chr", family 3
void YYFontRomanBold();  // "romanbld.chr"
void YYFontSymbol();     // "symbol.chr", family 4 (no bold face)
void YYFontMarkers();    // "symbols.chr", the marker symbols

// MODE 1: makes the marker stroke font "symbols.chr" current, saving the
// font it replaces (unless it is already current); other modes put the saved
// font back.
void YYSymbolsLoad(int mode);
