// Checks a built-in font's glyph data against the glyph format and its
// design, so that the stroke renderer never meets a contour longer than its
// point buffers, an empty contour or a span outside the glyph string.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/builtin_font_data.h"

struct GlyphDesign {
    int xMin, xMax;              // design range xMin..xMax by yMin..yMax
    int yMin, yMax;
    std::string_view separators; // the characters allowed between contours
    bool extraGlyph;             // the data holds a glyph for code 128
    bool filled;                 // contours are filled outlines: 3 points or
                                 // more, enclosing a non-zero area
};

// The design of each built-in font's data, in the order of kBuiltInFonts.
extern const std::array<GlyphDesign, 9> kBuiltInFontDesigns;

struct GlyphStats {
    int contours = 0;
    int mostPoints = 0;
    int xLow = 99, xHigh = -1; // the extremes of all points
    int yLow = 99, yHigh = -1;
};

// Every problem found, one line each; empty when the data is sound.
std::vector<std::string> ValidateGlyphData(const BuiltInGlyphData& data, const GlyphDesign& design,
                                           GlyphStats* stats = nullptr);
