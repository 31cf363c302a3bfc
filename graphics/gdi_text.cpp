// Device fonts and device text of the GDI surface.
#include <algorithm>
#include <string>
#include <unordered_map>

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

// Widths of texts already measured with the surface's font. Measuring text
// is among the dearest calls of a redraw, and a graph measures the same
// labels at every redraw. A width holds for one font on one kind of device:
// the widths are kept for the font made last and the resolution they were
// measured with, and dropped when either changes; a DC that scales (another
// mapping mode, a world transform) or draws with another font is measured
// every time.
class TextWidths {
public:
    // A new font has been made: what was measured with the old one is void.
    void FontMade() { ++fontSerial_; }

    // The width of TEXT on DC as GetTextExtentPoint32A gives it (0 when it
    // fails); from the kept widths when DC draws with the surface's font.
    int Measure(HDC dc, HFONT font, std::string_view text)
    {
        if (!font || GetCurrentObject(dc, OBJ_FONT) != font || GetMapMode(dc) != MM_TEXT ||
            GetGraphicsMode(dc) != GM_COMPATIBLE)
            return Extent(dc, text);
        const Context context{fontSerial_, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
        if (context != context_ || widths_.size() >= kMaxKept) {
            widths_.clear();
            context_ = context;
        }
        const std::string key(text);
        if (auto it = widths_.find(key); it != widths_.end())
            return it->second;
        const int width = Extent(dc, text);
        widths_.emplace(key, width);
        return width;
    }

private:
    struct Context {
        unsigned long long font = 0;
        int dpiX = 0, dpiY = 0;
        bool operator==(const Context&) const = default;
    };
    static constexpr size_t kMaxKept = 1024;

    static int Extent(HDC dc, std::string_view text)
    {
        SIZE sz{};
        return GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &sz) ? sz.cx : 0;
    }

    unsigned long long fontSerial_ = 1;
    Context context_;
    std::unordered_map<std::string, int> widths_;
};

TextWidths gTextWidths;

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
    const int requestedWidth = width;
    // First unrotated, to read the metrics.
    HFONT probe = MakeFont(-height, width, 0, family, style, name);
    HDC measure = dc ? dc : GetDC(nullptr);
    if (probe && measure) {
        HGDIOBJ old = SelectObject(measure, probe);
        TEXTMETRICA tm{};
        if (GetTextMetricsA(measure, &tm)) {
            height = tm.tmHeight;
            ascent = tm.tmAscent;
        }
        SelectObject(measure, old);
    }
    if (probe)
        GdiObjectDelete(probe);
    // Then the font drawn, at the width asked for; its letters give the
    // width that the character cell (the text scale) is taken from, so that
    // text placed by that cell is as long as it is drawn.
    s.font = MakeFont(-std::abs(height), requestedWidth, angle, family, style, name);
    if (s.font && measure) {
        HGDIOBJ old = SelectObject(measure, s.font);
        SIZE sz{};
        if (GetTextExtentPoint32A(measure, kMeasureLetters, 52, &sz))
            width = sz.cx;
        SelectObject(measure, old);
    }
    if (!dc && measure)
        ReleaseDC(nullptr, measure);
    gTextWidths.FontMade();
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
    const GdiSurfaceState& s = gGdiSurfaceState;
    const int n = std::clamp(length, 0, static_cast<int>(text.size()));
    width = s.drawDC ? gTextWidths.Measure(s.drawDC, s.font, text.substr(0, static_cast<size_t>(n))) : 0;
}
