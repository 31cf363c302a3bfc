// Device fonts and device text of the GDI surface.
#include <algorithm>
#include <string>

#include "core/fixed_text.h"
#include "graphics/gdi_surface.h"

namespace {

constexpr char kMeasureLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

HFONT MakeFont(int height, int width, int angle, int family, int style, const std::string& face)
{
    const char* name = face.c_str();
    BYTE charset = ANSI_CHARSET;
    BYTE pitchFamily = VARIABLE_PITCH;
    switch (family) {
    case 0: charset = DEFAULT_CHARSET; break;
    case 1: name = "Courier New"; pitchFamily |= FF_MODERN; break;
    case 2: name = "Arial"; pitchFamily |= FF_SWISS; break;
    case 3: name = "Times New Roman"; pitchFamily |= FF_ROMAN; break;
    case 4: name = "Symbol"; pitchFamily |= FF_ROMAN; charset = SYMBOL_CHARSET; break;
    default: break;
    }
    return GdiObjectCounted(CreateFontA(height, width, angle * 10, angle * 10, (style & 1) ? 700 : 400,
                       (style & 2) ? TRUE : FALSE, (style & 4) ? TRUE : FALSE, FALSE, charset,
                       OUT_TT_PRECIS, CLIP_LH_ANGLES, DEFAULT_QUALITY, pitchFamily, name));
}

} // namespace

void GdiFontCreate(int& width, int& height, int& ascent, int angle, int family, int style,
                   std::string_view face)
{
    GdiSurfaceState& s = gGdiSurfaceState;
    HDC dc = s.drawDC;
    if (s.font) {
        if (dc && s.fontReplaced)
            SelectObject(dc, s.fontReplaced);
        GdiObjectDelete(s.font);
        s.font = nullptr;
        s.fontReplaced = nullptr;
    }
    std::string name(TrimRight(face));
    // First unrotated, to read the metrics and the width of the letters.
    HFONT probe = MakeFont(-height, width, 0, family, style, name);
    HDC measure = dc ? dc : GetDC(nullptr);
    if (probe && measure) {
        HGDIOBJ old = SelectObject(measure, probe);
        TEXTMETRICA tm{};
        if (GetTextMetricsA(measure, &tm)) {
            height = tm.tmHeight;
            ascent = tm.tmAscent;
        }
        SIZE sz{};
        if (GetTextExtentPoint32A(measure, kMeasureLetters, 52, &sz))
            width = sz.cx;
        SelectObject(measure, old);
    }
    if (!dc && measure)
        ReleaseDC(nullptr, measure);
    if (probe)
        GdiObjectDelete(probe);
    s.font = MakeFont(-std::abs(height), 0, angle, family, style, name);
    if (s.font && dc)
        s.fontReplaced = static_cast<HFONT>(SelectObject(dc, s.font));
}

void GdiText(int x1, int y1, int x2, int y2, int justification, int background,
             std::string_view text, int length)
{
    GdiSurfaceState& s = gGdiSurfaceState;
    HDC dc = s.drawDC;
    if (!dc)
        return;
    int n = std::clamp(length, 0, static_cast<int>(text.size()));
    COLORREF oldText = SetTextColor(dc, s.current);
    COLORREF oldBk = SetBkColor(dc, s.previous);
    int oldMode = SetBkMode(dc, background ? OPAQUE : TRANSPARENT);
    UINT align = TA_BASELINE | TA_LEFT;
    int x = x1, y = y1;
    if (justification == 1) {
        align = TA_BASELINE | TA_CENTER;
        x = static_cast<int>((static_cast<long long>(x1) + x2) / 2);
        y = static_cast<int>((static_cast<long long>(y1) + y2) / 2);
    } else if (justification == 2) {
        align = TA_BASELINE | TA_RIGHT;
        x = x2;
        y = y2;
    }
    UINT oldAlign = SetTextAlign(dc, align);
    TextOutA(dc, x, y, text.data(), n);
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

void GdiTextWidth(int& width, std::string_view text, int length)
{
    HDC dc = gGdiSurfaceState.drawDC;
    int n = std::clamp(length, 0, static_cast<int>(text.size()));
    SIZE sz{};
    width = 0;
    if (dc && GetTextExtentPoint32A(dc, text.data(), n, &sz))
        width = sz.cx;
}
