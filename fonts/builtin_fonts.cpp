// Header words of the built-in stroke fonts, their install routines and the
// switch to and from the marker font.
#include "fonts/builtin_fonts.h"

#include "core/fixed_text.h"
#include "fonts/stroke_font.h"
#include "graphics/text_state.h"

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

namespace {

// True while a stroke font has been saved to make room for the marker font.
bool gMarkerFontSaved = false;

constexpr std::string_view kMarkerFontName = "symbols.chr";

} // namespace

void YYSymbolsLoad(int mode)
{
    TextState& t = gTextState;
    if (mode == 1) {
        std::string_view name(gStrokeFont.name.data(), gStrokeFont.name.size());
        if (t.builtInFont == 1 && TrimRight(name) == kMarkerFontName) {
            gMarkerFontSaved = false;
            return;
        }
        gMarkerFontSaved = true;
        YYFontSaveRestore(-1);
        YYFontMarkers();
        t.builtInFont = 1;
        return;
    }
    // The flag stays set: a second restore puts the same font back again.
    if (gMarkerFontSaved)
        YYFontSaveRestore(0);
}
