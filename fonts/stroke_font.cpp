// The current stroke font: install, one-slot save and restore, and the
// shared width table.
#include "fonts/stroke_font.h"

#include <algorithm>
#include <cstring>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "graphics/text_state.h"

StrokeFont gStrokeFont;
StrokeFontSaveArea gStrokeFontSaveArea;
StrokeWidthTable gStrokeWidthTable;

namespace {
constexpr int kExtraGlyphWidthEntry = 127 - 32;
} // namespace

StrokeFont::StrokeFont()
{
    glyphString.fill(' ');
    name.fill(' ');
}

void YYFontInstall(float nominalWidth, float nominalHeight, float cellExtentA, float cellExtentB,
                   int charsetBits, int flags, int proportional, std::string_view name,
                   std::string_view glyphString, std::span<const int32_t, kStrokeStartEntries> lowStart,
                   std::span<const int32_t, kStrokeStartEntries> highStart)
{
    StrokeFont& f = gStrokeFont;
    f.polylineFlag = (flags & kStrokeFlagPolyline) ? 1 : 0;
    f.extraGlyphFlag = (flags & kStrokeFlagExtraGlyph) ? 1 : 0;
    f.nominalWidth = nominalWidth;
    f.nominalHeight = nominalHeight;
    f.cellExtentA = cellExtentA;
    f.cellExtentB = cellExtentB;
    f.charsetBits = charsetBits;
    f.proportionalFlag = proportional;
    PutText(f.name, name);
    // Never past the store: a longer string is cut to its capacity.
    const size_t n = std::min(glyphString.size(), f.glyphString.size());
    if (n)
        std::memcpy(f.glyphString.data(), glyphString.data(), n);
    // Without an extra glyph entry 95 keeps its value; nothing reads it then.
    const size_t lowCount = f.extraGlyphFlag ? kStrokeStartEntries : kStrokeStartEntries - 1;
    std::copy_n(lowStart.begin(), lowCount, f.lowStart.begin());
    std::copy(highStart.begin(), highStart.end(), f.highStart.begin());
    gTextState.installedBold = 0;
}

void YYFontSaveRestore(int mode)
{
    if (mode & 1) {
        gStrokeFontSaveArea.font = gStrokeFont;
        gStrokeFontSaveArea.builtInFont = gTextState.builtInFont;
    } else {
        gStrokeFont = gStrokeFontSaveArea.font;
        gTextState.builtInFont = gStrokeFontSaveArea.builtInFont;
    }
}

void YYCHSPACE(int code)
{
    StrokeWidthTable& t = gStrokeWidthTable;
    if (code == 0) {
        t.low = kStrokeWidthDefaultsLow;
        t.high = kStrokeWidthDefaultsHigh;
    } else if (code >= 32 && code <= 126) {
        t.low[code - 32] = kStrokeWidthDefaultsLow[code - 32];
    } else if (code == 128) {
        t.low[kExtraGlyphWidthEntry] = kStrokeWidthDefaultsLow[kExtraGlyphWidthEntry];
    } else if (code >= 161 && code <= 255) {
        t.high[code - 161] = kStrokeWidthDefaultsHigh[code - 161];
    } else {
        YYErrorReport(kErrorCharacterCode, "YYCHSPACE");
    }
}
