// A sheet of every glyph of the standard font and of the marker font, drawn
// through the text layer and the real screen driver onto a memory bitmap and
// written as "glyph_sheet.bmp" into the test's working folder for a person to
// look at. The test also checks the pixels: every defined code lights some
// pixel in its cell, every code without a glyph none.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "fonts/text_draw.h"
#include "fonts/text_font.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

constexpr int kCell = 40;                // pixels per glyph cell
constexpr int kColumns = 16;
constexpr int kRows = 14;                // codes 32..255
constexpr int kHeader = 40;              // band for the font's name
constexpr int kFontWidth = kColumns * kCell;
constexpr int kWidth = 2 * kFontWidth + kCell;
constexpr int kHeight = kHeader + kRows * kCell;

// Writes the surface as a 24-bit bottom-up BMP.
void WriteBmp(const MemorySurface& s, const std::string& path)
{
    const int w = s.width(), h = s.height();
    const int row = (3 * w + 3) / 4 * 4;
    const unsigned size = 54u + static_cast<unsigned>(row * h);
    std::vector<unsigned char> out(size, 0);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(w));
    put32(22, static_cast<unsigned>(h));
    out[26] = 1;
    out[28] = 24;
    put32(34, static_cast<unsigned>(row * h));
    for (int y = 0; y < h; ++y) {
        unsigned char* line = out.data() + 54 + static_cast<size_t>(row) * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const int rgb = s.Pixel(x, y);
            line[3 * x] = static_cast<unsigned char>(rgb >> 16);
            line[3 * x + 1] = static_cast<unsigned char>(rgb >> 8);
            line[3 * x + 2] = static_cast<unsigned char>(rgb);
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()), size);
}

// Pixels of the cell of CODE in the sheet of the font at LEFT that are not white.
int InkIn(const MemorySurface& s, int left, int code)
{
    const int i = code - 32;
    const int x0 = left + (i % kColumns) * kCell, y0 = kHeader + (i / kColumns) * kCell;
    int ink = 0;
    for (int y = y0 + 1; y < y0 + kCell - 1; ++y)
        for (int x = x0 + 1; x < x0 + kCell - 1; ++x)
            if (s.Pixel(x, y) != kWhite)
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
        WriteBmp(surface, "glyph_sheet.bmp");
        std::printf("glyph sheet written to glyph_sheet.bmp\n");

        for (const auto& f : fonts) {
            const bool extra = f.install == YYFontStandard;
            for (int code = 32; code <= 255; ++code) {
                if (HasGlyph(code, extra))
                    EXPECT_GT(InkIn(surface, f.left, code), 0) << f.label << " code " << code;
                else
                    EXPECT_EQ(InkIn(surface, f.left, code), 0) << f.label << " code " << code;
            }
        }
    }
    gStrokeFont = savedFont;
    gStrokeWidthTable = savedWidths;
}

} // namespace
