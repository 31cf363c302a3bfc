// Glyph sheets drawn through the text layer and the real screen driver onto
// a memory bitmap and written as BMP files into the test's working folder for
// a person to look at: "glyph_sheet.bmp" with the standard and the marker
// font, and one "glyph_sheet_<face>.bmp" per filled text face at two pixels
// per design unit. The tests also check the pixels: every defined code
// paints in its cell and every code without a glyph does not; a text face
// paints nothing outside its design box and passes its probe points (ink
// where the generator saw ink, blank inside every hole). Each sheet equals
// its reference picture in tests/reference_images/ pixel for pixel (the
// library draws every stroke and fill itself; no system font is involved).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "font_validator.h"
#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "glyph_probes.h"
#include "support/reference_image.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

constexpr int kCell = 40;                // pixels per glyph cell
constexpr int kColumns = 16;
constexpr int kRows = 14;                // codes 32..255
constexpr int kHeader = 40;              // band for the font's name
constexpr int kFontWidth = kColumns * kCell;
constexpr int kWidth = 2 * kFontWidth + kCell;
constexpr int kHeight = kHeader + kRows * kCell;

// The whole surface, read at once (reading pixel by pixel costs seconds on
// the large sheets).
struct Pixels {
    int width, height;
    std::vector<int> rgb; // packed RGB (red + 256 green + 65536 blue), rows from the top
    explicit Pixels(const MemorySurface& s)
        : width(s.width()), height(s.height()), rgb(DcPixels(s.dc(), 0, 0, s.width(), s.height()))
    {
        if (rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
            ADD_FAILURE() << "the surface's bitmap cannot be read";
            rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kWhite);
        }
    }
    bool Ink(int x, int y) const { return rgb[static_cast<size_t>(y * width + x)] != kWhite; }
};

// Writes the pixels as an 8-bit grey bottom-up BMP.
void WriteBmp(const Pixels& s, const std::string& path)
{
    const int w = s.width, h = s.height;
    const int row = (w + 3) / 4 * 4;
    const unsigned offset = 54u + 4u * 256u;
    const unsigned size = offset + static_cast<unsigned>(row * h);
    std::vector<unsigned char> out(size, 0);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<unsigned>(w));
    put32(22, static_cast<unsigned>(h));
    out[26] = 1;
    out[28] = 8;
    put32(34, static_cast<unsigned>(row * h));
    put32(46, 256);
    for (unsigned i = 0; i < 256; ++i)
        put32(54 + 4 * i, i * 0x010101u);
    for (int y = 0; y < h; ++y) {
        unsigned char* line = out.data() + offset + static_cast<size_t>(row) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const int rgb = s.rgb[static_cast<size_t>(y * w + x)];
            line[x] = static_cast<unsigned char>(((rgb & 0xFF) + ((rgb >> 8) & 0xFF) + ((rgb >> 16) & 0xFF)) / 3);
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()), size);
}

// Pixels of the cell of CODE in the sheet of the font at LEFT that are not white.
int InkIn(const Pixels& s, int left, int code)
{
    const int i = code - 32;
    const int x0 = left + (i % kColumns) * kCell, y0 = kHeader + (i / kColumns) * kCell;
    int ink = 0;
    for (int y = y0 + 1; y < y0 + kCell - 1; ++y)
        for (int x = x0 + 1; x < x0 + kCell - 1; ++x)
            if (s.Ink(x, y))
                ++ink;
    return ink;
}

bool HasGlyph(int code, bool extraGlyph)
{
    return (code >= 33 && code <= 126) || (code >= 161 && code <= 255) || (code == 128 && extraGlyph);
}

TEST(GlyphSheet, BothBuiltInFontsDrawEveryDefinedCode)
{
    GraphicsStateGuard guard;
    const StrokeFont savedFont = gStrokeFont;
    const StrokeWidthTable savedWidths = gStrokeWidthTable;
    {
        MemorySurface surface(kWidth, kHeight);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        GraphicsState& g = gGraphicsState;
        IGrUnits(0.0f, 0.0f, g.areaSize[0], g.areaSize[1]); // world = device units
        YYTextStateDefaults();
        YYTextAngle(0.0f);
        YYCHSPACE(0);
        const int builtIn = 1;
        // A character 24 x 30 pixels.
        const float w = 24.0f / g.areaSize[0], h = 30.0f / g.areaSize[1];
        WGrTextFont(&builtIn, nullptr, &w, &h);

        const struct {
            void (*install)();
            const char* label;
            int left;
        } fonts[] = {{YYFontStandard, "standard.chr", 0}, {YYFontMarkers, "symbols.chr", kFontWidth + kCell}};
        for (const auto& f : fonts) {
            YYFontStandard();
            gTextState.justification = 0;
            float lx = static_cast<float>(f.left + 8), ly = static_cast<float>(kHeight - kHeader / 2);
            YYTextDraw(&lx, &ly, f.label);
            f.install();
            gTextState.builtInFont = 1;
            gTextState.justification = 1;
            for (int code = 32; code <= 255; ++code) {
                const int i = code - 32;
                float x = static_cast<float>(f.left + (i % kColumns) * kCell + kCell / 2);
                float y = static_cast<float>(kHeight - kHeader - (i / kColumns) * kCell - kCell / 2);
                const char c = static_cast<char>(code);
                YYTextDraw(&x, &y, std::string_view(&c, 1));
            }
        }
        const Pixels px(surface);
        WriteBmp(px, "glyph_sheet.bmp");
        std::printf("glyph sheet written to glyph_sheet.bmp\n");
        EXPECT_TRUE(MatchesReferenceImage("glyph_sheet", px.width, px.height, px.rgb, ImageTolerance{}));

        for (const auto& f : fonts) {
            const bool extra = f.install == YYFontStandard;
            for (int code = 32; code <= 255; ++code) {
                if (HasGlyph(code, extra))
                    EXPECT_GT(InkIn(px, f.left, code), 0) << f.label << " code " << code;
                else
                    EXPECT_EQ(InkIn(px, f.left, code), 0) << f.label << " code " << code;
            }
        }
    }
    gStrokeFont = savedFont;
    gStrokeWidthTable = savedWidths;
}

// ------------------------------------------------------------- text faces

constexpr int kUnit = 2;                 // pixels per design unit
constexpr int kPitch = 55 * kUnit + 6;   // the design cell and a gap
constexpr int kFaceWidth = kColumns * kPitch;
constexpr int kFaceHeight = kHeader + kRows * kPitch;

struct Face {
    void (*install)();
    const char* file;
    int entry; // in kBuiltInFonts and kBuiltInFontDesigns
    std::span<const GlyphProbe> probes;
};

const Face kFaces[] = {
    {YYFontFixed, "glyph_sheet_fixed.bmp", 1, kFixedProbes},
    {YYFontFixedBold, "glyph_sheet_fixedbld.bmp", 2, kFixedBoldProbes},
    {YYFontSwiss, "glyph_sheet_swiss.bmp", 3, kSwissProbes},
    {YYFontSwissBold, "glyph_sheet_swissbld.bmp", 4, kSwissBoldProbes},
    {YYFontRoman, "glyph_sheet_roman.bmp", 5, kRomanProbes},
    {YYFontRomanBold, "glyph_sheet_romanbld.bmp", 6, kRomanBoldProbes},
    {YYFontSymbol, "glyph_sheet_symbol.bmp", 7, kSymbolProbes},
};

// The pixel of the design origin of CODE's cell: its column, and its row
// counted downwards from the top of the surface.
struct Origin {
    int column, row;
};
Origin OriginOf(int code)
{
    const int i = code - 32;
    return {(i % kColumns) * kPitch + 3, kHeader + (i / kColumns) * kPitch + 3 + 55 * kUnit};
}

// Draws every code from 32 to 255 of the current font, each alone, with its
// design origin on the pixel OriginOf(code): fixed pitch and a character
// cell of the font's nominal size times kUnit, so that one design unit is
// kUnit pixels; the design cell is centred on the advance, so the text
// starts (nominal width - 55) units to the right of the origin.
void DrawFace(const MemorySurface& surface, float nominalWidth)
{
    GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    t.charWidth = nominalWidth * kUnit / g.areaSize[0];
    t.charHeight = 55.0f * kUnit / g.areaSize[1];
    t.builtInFont = 1;
    t.spacing = TextSpacing::kFixedPitch;
    t.justification = 0;
    for (int code = 32; code <= 255; ++code) {
        const Origin o = OriginOf(code);
        // A quarter pixel inside the origin's pixel, so that rounding never
        // moves a vertex into the next one; y upwards, on the centre line.
        float x = static_cast<float>(o.column) + 0.25f + (55.0f - nominalWidth) * kUnit / 2.0f;
        float y = static_cast<float>(surface.height() - 1 - o.row) + 0.25f + 55.0f * kUnit / 2.0f;
        const char c = static_cast<char>(code);
        YYTextDraw(&x, &y, std::string_view(&c, 1));
    }
}

TEST(GlyphSheet, TextFacesDrawTheirGlyphsInsideTheirCells)
{
    GraphicsStateGuard guard;
    const StrokeFont savedFont = gStrokeFont;
    const StrokeWidthTable savedWidths = gStrokeWidthTable;
    for (const Face& face : kFaces) {
        const BuiltInFont& font = kBuiltInFonts[static_cast<size_t>(face.entry)];
        const GlyphDesign& d = kBuiltInFontDesigns[static_cast<size_t>(face.entry)];
        SCOPED_TRACE(std::string(font.name));
        MemorySurface surface(kFaceWidth, kFaceHeight);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        GraphicsState& g = gGraphicsState;
        IGrUnits(0.0f, 0.0f, g.areaSize[0], g.areaSize[1]); // world = device units
        YYTextStateDefaults();
        YYTextAngle(0.0f);
        YYCHSPACE(0);
        const int builtIn = 1;
        const float lw = 24.0f / g.areaSize[0], lh = 30.0f / g.areaSize[1];
        WGrTextFont(&builtIn, nullptr, &lw, &lh);
        YYFontStandard();
        gTextState.justification = 0;
        float lx = 8.0f, ly = static_cast<float>(kFaceHeight - kHeader / 2);
        YYTextDraw(&lx, &ly, font.name);
        face.install();
        DrawFace(surface, font.nominalWidth);
        const Pixels px(surface);
        WriteBmp(px, face.file);
        std::printf("glyph sheet written to %s\n", face.file);
        const std::string file(face.file);
        EXPECT_TRUE(MatchesReferenceImage(file.substr(0, file.size() - 4), px.width, px.height, px.rgb,
                                          ImageTolerance{}));

        for (int code = 32; code <= 255; ++code) {
            const Origin o = OriginOf(code);
            // The design box, one pixel wider all round.
            const int left = o.column + kUnit * d.xMin - 1, right = o.column + kUnit * d.xMax + 1;
            const int top = o.row - kUnit * d.yMax - 1, bottom = o.row - kUnit * d.yMin + 1;
            int inside = 0, outside = 0;
            for (int y = o.row - 55 * kUnit - 3; y < o.row + 3; ++y)
                for (int x = o.column - 3; x < o.column + 55 * kUnit + 3; ++x)
                    if (px.Ink(x, y))
                        ++(x >= left && x <= right && y >= top && y <= bottom ? inside : outside);
            if (HasGlyph(code, d.extraGlyph))
                EXPECT_GT(inside, 0) << "code " << code;
            else
                EXPECT_EQ(inside, 0) << "code " << code;
            EXPECT_EQ(outside, 0) << "code " << code;
        }
        for (const GlyphProbe& p : face.probes) {
            const Origin o = OriginOf(p.code);
            EXPECT_EQ(px.Ink(o.column + p.x, o.row - p.y), p.painted)
                << "code " << p.code << " probe (" << p.x << ", " << p.y << ")";
        }
    }
    gStrokeFont = savedFont;
    gStrokeWidthTable = savedWidths;
}

// 10,000 characters of the roman face into a memory bitmap.
TEST(GlyphSheet, DISABLED_RomanFaceBenchmark)
{
    GraphicsStateGuard guard;
    const StrokeFont savedFont = gStrokeFont;
    {
        MemorySurface surface(1000, 1000);
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        GraphicsState& g = gGraphicsState;
        IGrUnits(0.0f, 0.0f, g.areaSize[0], g.areaSize[1]);
        YYTextStateDefaults();
        YYTextAngle(0.0f);
        YYCHSPACE(0);
        YYFontRoman();
        TextState& t = gTextState;
        t.charWidth = 10.0f / g.areaSize[0];
        t.charHeight = 10.0f / g.areaSize[1];
        t.builtInFont = 1;
        t.spacing = TextSpacing::kWidthTable;
        t.justification = 0;
        std::string line;
        for (int i = 0; line.size() < 100; ++i)
            line += static_cast<char>(33 + (i * 7) % 94);
        const auto start = std::chrono::steady_clock::now();
        for (int row = 0; row < 100; ++row) {
            float x = 5.0f, y = 994.0f - 10.0f * static_cast<float>(row);
            YYTextDraw(&x, &y, line);
        }
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const Pixels px(surface);
        const long painted = std::count_if(px.rgb.begin(), px.rgb.end(), [](int c) { return c != kWhite; });
        std::printf("10000 characters of roman.chr: %.3f s (%ld pixels painted)\n", s, painted);
    }
    gStrokeFont = savedFont;
}

} // namespace
