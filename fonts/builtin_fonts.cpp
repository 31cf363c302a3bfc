// Header words of the built-in stroke fonts and their install routines.
#include "fonts/builtin_fonts.h"

#include "fonts/stroke_font.h"

namespace {
constexpr int kPolyline = kStrokeFlagPolyline;
constexpr int kExtra = kStrokeFlagExtraGlyph;
} // namespace

const std::array<BuiltInFont, 9> kBuiltInFonts = {{
    {"standard.chr", 7.68f, 11.88f, 6.0f, 11.0f, 8, kPolyline | kExtra, 0, &kStandardGlyphData},
    {"fixed.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, kExtra, 0, &kFixedGlyphData},
    {"fixedbld.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, kExtra, 0, &kFixedBoldGlyphData},
    {"swiss.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, kExtra, 1, &kSwissGlyphData},
    {"swissbld.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, kExtra, 1, &kSwissBoldGlyphData},
    {"roman.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, kExtra, 1, &kRomanGlyphData},
    {"romanbld.chr", 36.3f, 55.0f, 55.0f, 55.0f, 8, kExtra, 1, &kRomanBoldGlyphData},
    {"symbol.chr", 30.25f, 55.0f, 55.0f, 55.0f, 8, 0, 1, &kSymbolGlyphData},
    {"symbols.chr", 36.75f, 36.75f, 35.0f, 35.0f, 8, kPolyline, 1, &kMarkerGlyphData},
}};

namespace {

void Install(const BuiltInFont& f)
{
    YYFontInstall(f.nominalWidth, f.nominalHeight, f.cellExtentA, f.cellExtentB, f.charsetBits,
                  f.flags, f.proportional, f.name, f.data->glyphs, f.data->lowStart,
                  f.data->highStart);
}

} // namespace

void YYFontStandard() { Install(kBuiltInFonts[0]); }
void YYFontFixed() { Install(kBuiltInFonts[1]); }
void YYFontFixedBold() { Install(kBuiltInFonts[2]); }
void YYFontSwiss() { Install(kBuiltInFonts[3]); }
void YYFontSwissBold() { Install(kBuiltInFonts[4]); }
void YYFontRoman() { Install(kBuiltInFonts[5]); }
void YYFontRomanBold() { Install(kBuiltInFonts[6]); }
void YYFontSymbol() { Install(kBuiltInFonts[7]); }
void YYFontMarkers() { Install(kBuiltInFonts[8]); }
