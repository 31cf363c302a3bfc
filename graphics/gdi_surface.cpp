// GDI surface: surface selection, pens with dash tables, brushes, palette and
// the drawing primitives of the screen driver.
#include "graphics/gdi_surface.h"

#include <algorithm>

#include "core/library_state.h"

GdiSurfaceState gGdiSurfaceState;

namespace {
int gLiveObjects = 0;
} // namespace

void GdiObjectCountCreated() { ++gLiveObjects; }

bool GdiObjectDelete(HGDIOBJ object)
{
    if (!object || !DeleteObject(object))
        return false;
    --gLiveObjects;
    return true;
}

int GdiLiveObjectCount() { return gLiveObjects; }

// Dash tables in pixels at screen resolution (dash, gap, ...), styles 1..7.
const std::array<std::vector<DWORD>, 7> kGdiBaseDashes = {{
    {1, 4},
    {8, 6},
    {1, 4, 8, 4},
    {1, 4, 1, 4, 8, 4},
    {8, 4, 4, 4},
    {4, 4},
    {8, 4, 4, 4, 4, 4},
}};

// GDI pen style of each line style 0..7.
const std::array<int, 8> kGdiPenStyles = {PS_SOLID, PS_DOT,     PS_DASH,    PS_DASHDOT,
                                           PS_DASHDOTDOT, PS_DASHDOT, PS_DASH, PS_DASHDOTDOT};

namespace {

GdiSurfaceState& S() { return gGdiSurfaceState; }

bool PaletteDisplay() { return S().palette != nullptr && S().metafileDC == nullptr; }

int ScreenDpi()
{
    if (S().screenDpi <= 0) {
        int dpi = gLibraryState.dotsPerInchX;
        if (dpi <= 0) {
            HDC screen = GetDC(nullptr);
            dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
            if (screen)
                ReleaseDC(nullptr, screen);
        }
        S().screenDpi = dpi > 0 ? dpi : 96;
    }
    return S().screenDpi;
}

void EnsureDashes()
{
    if (S().dashes[0].empty())
        GdiDashScale();
}

// The pixel that LineTo leaves out at the end of a solid line. In copy mode
// it is set directly; in the other plot modes a 1-pixel pen draws it
// through the raster operation, so that a line drawn twice in exclusive-or
// mode leaves nothing behind (a wider pen already covers its end).
void EndPixel(HDC dc, int x, int y)
{
    if (S().rop == R2_COPYPEN) {
        SetPixel(dc, x, y, S().current);
    } else if (S().lineWidth <= 1) {
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x + 1, y);
    }
}

COLORREF SolidColour(int rgb)
{
    if (PaletteDisplay())
        return PALETTEINDEX(0);
    return static_cast<COLORREF>(rgb) & 0xFFFFFF;
}

// Runs DRAW with the clip region selected into the DC.
template <class F>
void Clipped(F draw)
{
    if (S().clip)
        SelectClipRgn(S().drawDC, S().clip);
    draw();
    if (S().clip)
        SelectClipRgn(S().drawDC, nullptr);
}

// Selects BRUSH and PEN for one call and restores the previous objects.
template <class F>
void WithObjects(HBRUSH brush, HPEN pen, F draw)
{
    HGDIOBJ oldBrush = SelectObject(S().drawDC, brush);
    HGDIOBJ oldPen = SelectObject(S().drawDC, pen);
    draw();
    SelectObject(S().drawDC, oldPen);
    SelectObject(S().drawDC, oldBrush);
}

// A solid line wider than a pixel has round ends and round joins. Wine
// outlines a polyline with such a pen as one region that grows with every
// segment, at a cost rising with the square of the points; drawn in short
// pieces that share their end points it lights the same pixels (where two
// pieces meet, their round ends cover what the round join covered) at a
// small part of the cost. Only in copy mode, where a pixel lit twice looks
// as lit once, and only on a window or a bitmap: a metafile or printer
// receives the polyline as one call, as before.
constexpr int kPolylinePiece = 8;

bool PolylineInPieces(HDC dc)
{
    const GdiSurfaceState& s = S();
    return s.lineStyle == 0 && s.lineWidth > 1 && s.rop == R2_COPYPEN && !s.metafileDC &&
           (s.window || GetObjectType(dc) == OBJ_MEMDC);
}

// B lies on the horizontal or vertical segment from A to C.
bool OnAxisSegment(const POINT& a, const POINT& b, const POINT& c)
{
    if (a.y == b.y && b.y == c.y)
        return std::min(a.x, c.x) <= b.x && b.x <= std::max(a.x, c.x);
    if (a.x == b.x && b.x == c.x)
        return std::min(a.y, c.y) <= b.y && b.y <= std::max(a.y, c.y);
    return false;
}

// Copies to OUT the N points of IN but those that change no pixel of a wide
// round-ended line in copy mode: a point repeating the one kept before it,
// and a point inside a horizontal or vertical run (the band of the run covers
// its round join). A curve in pixels has many such runs (its flat stretches,
// and every stretch where neighbouring points fall into the same row), and
// each point costs the system regions of its own. The first point stays, and
// the line still ends at the last one.
void PolylineRunsMerge(const POINT* in, int n, std::vector<POINT>& out)
{
    out.clear();
    out.push_back(in[0]);
    for (int i = 1; i < n; ++i) {
        const POINT& p = in[i];
        const POINT& last = out.back();
        if (p.x == last.x && p.y == last.y)
            continue;
        if (i + 1 < n && OnAxisSegment(last, p, in[i + 1]))
            continue;
        out.push_back(p);
    }
    // A line of one point repeated keeps two, as a line of zero length.
    if (n > 1 && out.size() == 1)
        out.push_back(in[0]);
}

// Takes the surface's pen and font out of the DC it draws on (their
// predecessors back in), and puts them into it.
void ObjectsDeselect()
{
    GdiSurfaceState& s = S();
    if (s.drawDC) {
        if (s.penReplaced)
            SelectObject(s.drawDC, s.penReplaced);
        if (s.fontReplaced)
            SelectObject(s.drawDC, s.fontReplaced);
    }
    s.penReplaced = nullptr;
    s.fontReplaced = nullptr;
}

void ObjectsSelect()
{
    GdiSurfaceState& s = S();
    if (!s.drawDC)
        return;
    if (s.pen)
        s.penReplaced = static_cast<HPEN>(SelectObject(s.drawDC, s.pen));
    if (s.font)
        s.fontReplaced = static_cast<HFONT>(SelectObject(s.drawDC, s.font));
}

// Carries the attributes that drawing leaves in a DC from one DC to another,
// when the off-screen picture takes over from the window and back.
void AttributesCarry(HDC from, HDC to)
{
    SetROP2(to, GetROP2(from));
    SetBkMode(to, GetBkMode(from));
    SetBkColor(to, GetBkColor(from));
    SetTextColor(to, GetTextColor(from));
    SetTextAlign(to, GetTextAlign(from));
    SetPolyFillMode(to, GetPolyFillMode(from));
    SetStretchBltMode(to, GetStretchBltMode(from));
    POINT p{};
    if (GetCurrentPositionEx(from, &p))
        MoveToEx(to, p.x, p.y, nullptr);
    if (GetBrushOrgEx(from, &p))
        SetBrushOrgEx(to, p.x, p.y, nullptr);
}

// Deletes the off-screen picture (what it holds copied to the window first
// while the surface draws on it); the open batches stay open.
void OffscreenDelete()
{
    GdiOffscreen& o = S().offscreen;
    if (!o.bitmap)
        return;
    GdiBatchFlush();
    SelectObject(o.dc, o.bitmapReplaced);
    DeleteDC(o.dc);
    GdiObjectDelete(o.bitmap);
    const int depth = o.depth;
    o = GdiOffscreen{};
    o.depth = depth;
}

// The off-screen picture of WIDTH x HEIGHT, made anew when it has another
// size; false when it cannot be made.
bool OffscreenMake(int width, int height)
{
    GdiSurfaceState& s = S();
    GdiOffscreen& o = s.offscreen;
    if (o.bitmap && o.width == width && o.height == height)
        return true;
    OffscreenDelete();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    o.dc = CreateCompatibleDC(s.dc);
    if (o.dc)
        o.bitmap = GdiObjectCounted(CreateDIBSection(s.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!o.bitmap) {
        if (o.dc)
            DeleteDC(o.dc);
        o.dc = nullptr;
        return false;
    }
    o.bitmapReplaced = SelectObject(o.dc, o.bitmap);
    o.width = width;
    o.height = height;
    return true;
}

// Starts the off-screen drawing of an open batch at an erase of the whole
// client area of the window that is the surface: no pixel of what the window
// showed before is left to show through.
void OffscreenEnter(int width, int height)
{
    GdiSurfaceState& s = S();
    GdiOffscreen& o = s.offscreen;
    if (o.depth == 0 || o.active || !s.dc || !s.window || s.metafileDC || s.palette || width <= 0 || height <= 0)
        return;
    RECT client{};
    if (GetObjectType(s.dc) != OBJ_DC || !GetClientRect(s.window, &client) || client.right != width ||
        client.bottom != height || !OffscreenMake(width, height))
        return;
    o.window = s.window;
    AttributesCarry(s.dc, o.dc);
    ObjectsDeselect();
    s.drawDC = o.dc;
    ObjectsSelect();
    o.active = true;
}

// Drops the half-tone bitmap: it was made for the surface before. The next
// half-tone brush makes one for the surface then selected (most drawings use
// none, and making a bitmap for a window costs the system several requests).
void PatternDrop()
{
    if (S().pattern) {
        GdiObjectDelete(S().pattern);
        S().pattern = nullptr;
    }
    S().patternStale = true;
}

void PatternMake()
{
    PatternDrop();
    if (S().dc)
        S().pattern = GdiObjectCounted(CreateCompatibleBitmap(S().dc, 8, 8));
}

} // namespace

// ---------------------------------------------------------------------------
// Surface selection

void GdiSurfaceSelect(HDC dc, HWND window)
{
    GdiSurfaceState& s = S();
    if (s.dc)
        GdiSurfaceRelease();
    s.dc = dc;
    s.drawDC = dc;
    s.window = window;
    if (!dc)
        return;
    PatternDrop();
    SetROP2(dc, s.rop);
    SetBkMode(dc, TRANSPARENT);
    GdiDashScale();
    GdiPenCreate();
    if (s.font)
        s.fontReplaced = static_cast<HFONT>(SelectObject(dc, s.font));
    if (s.palette) {
        SelectPalette(dc, s.palette, FALSE);
        RealizePalette(dc);
    }
}

void GdiSurfaceRelease()
{
    GdiBatchFlush();
    GdiSurfaceState& s = S();
    if (s.dc) {
        ObjectsDeselect();
        if (s.clip)
            SelectClipRgn(s.dc, nullptr);
    }
    s.dc = nullptr;
    s.drawDC = nullptr;
    s.window = nullptr;
}

void GdiSurfaceDestroy()
{
    GdiSurfaceRelease();
    OffscreenDelete();
    GdiSurfaceState& s = S();
    if (s.pattern)
        GdiObjectDelete(s.pattern);
    if (s.pen)
        GdiObjectDelete(s.pen);
    if (s.font)
        GdiObjectDelete(s.font);
    if (s.clip)
        GdiObjectDelete(s.clip);
    if (s.palette)
        GdiObjectDelete(s.palette);
    s.pattern = nullptr;
    s.pen = nullptr;
    s.font = nullptr;
    s.clip = nullptr;
    s.palette = nullptr;
    s.paletteEntries.clear();
    s.patternStale = true;
}

void GdiPaletteInstall(HPALETTE palette, const std::vector<PALETTEENTRY>& entries)
{
    GdiBatchFlush();
    if (S().palette && S().palette != palette)
        GdiObjectDelete(S().palette);
    if (palette && S().palette != palette)
        GdiObjectCountCreated(); // the surface owns it from now on
    S().palette = palette;
    S().paletteEntries = entries;
}

// ---------------------------------------------------------------------------
// Drawing batches

void GdiBatchBegin() { ++S().offscreen.depth; }

void GdiBatchEnd()
{
    GdiOffscreen& o = S().offscreen;
    if (o.depth > 0 && --o.depth == 0)
        GdiBatchFlush();
}

void GdiBatchFlush()
{
    GdiSurfaceState& s = S();
    GdiOffscreen& o = s.offscreen;
    if (!o.active)
        return;
    o.active = false;
    BitBlt(s.dc, 0, 0, o.width, o.height, o.dc, 0, 0, SRCCOPY);
    ObjectsDeselect();
    AttributesCarry(o.dc, s.dc);
    s.drawDC = s.dc;
    ObjectsSelect();
}

void GdiOffscreenFree(HWND window)
{
    if (window && S().offscreen.window == window)
        OffscreenDelete();
}

// ---------------------------------------------------------------------------
// Pens and dashes

void GdiDashScale()
{
    GdiSurfaceState& s = S();
    unsigned screen = static_cast<unsigned>(ScreenDpi());
    unsigned factor = (s.metafileDC && s.referenceDpi > 0) ? static_cast<unsigned>(s.referenceDpi) : screen;
    for (size_t t = 0; t < kGdiBaseDashes.size(); ++t) {
        s.dashes[t] = kGdiBaseDashes[t];
        for (size_t i = 0; i < s.dashes[t].size(); ++i) {
            DWORD v = kGdiBaseDashes[t][i] * factor / screen;
            if (s.lineWidth > 1 && i % 2 == 1)
                v += static_cast<DWORD>(s.lineWidth - 1);
            s.dashes[t][i] = v;
        }
    }
}

void GdiPenCreate()
{
    GdiSurfaceState& s = S();
    if (s.pen) {
        if (s.drawDC && s.penReplaced)
            SelectObject(s.drawDC, s.penReplaced);
        GdiObjectDelete(s.pen);
        s.pen = nullptr;
    }
    int width = std::max(1, s.lineWidth);
    if (s.geometricPens && s.lineStyle >= 1 && s.lineStyle <= 7) {
        EnsureDashes();
        LOGBRUSH lb{BS_SOLID, s.current, 0};
        const std::vector<DWORD>& d = s.dashes[s.lineStyle - 1];
        s.pen = GdiObjectCounted(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                             static_cast<DWORD>(width), &lb, static_cast<DWORD>(d.size()), d.data()));
    }
    if (!s.pen)
        s.pen = GdiObjectCounted(CreatePen(s.penStyle, width, s.current));
    if (s.drawDC && s.pen) {
        HPEN old = static_cast<HPEN>(SelectObject(s.drawDC, s.pen));
        // Keep the DC's own pen, not one of ours, as the one to restore.
        if (!s.penReplaced)
            s.penReplaced = old;
    }
}

void GdiLineStyleSet(int style)
{
    int st = (style >= 0 && style <= 7) ? style : 0;
    S().penStyle = kGdiPenStyles[st];
    S().lineStyle = st;
    GdiPenCreate();
}

void GdiLineWidthSet(int width)
{
    S().lineWidth = std::max(1, width);
    GdiDashScale();
    GdiPenCreate();
}

void GdiPlotMode(int mode)
{
    switch (mode) {
    case 0: S().rop = R2_COPYPEN; break;
    case 1: S().rop = R2_MERGEPEN; break;
    case 2: S().rop = R2_MASKPEN; break;
    case 3: S().rop = R2_XORPEN; break;
    default: break;
    }
    if (S().drawDC)
        SetROP2(S().drawDC, S().rop);
}

// ---------------------------------------------------------------------------
// Colours, brushes and palette

void GdiColourSet(int device, int rgb)
{
    GdiSurfaceState& s = S();
    s.previous = s.current;
    COLORREF c = static_cast<COLORREF>(rgb) & 0xFFFFFF;
    if (s.metafileDC)
        s.current = c;
    else if (PaletteDisplay())
        s.current = PALETTEINDEX(static_cast<WORD>(device & 0xFFFF));
    else if (s.dc)
        s.current = GetNearestColor(s.dc, c);
    else
        s.current = c;
    s.patternStale = true;
    GdiPenCreate();
}

HBRUSH GdiHalftoneBrush()
{
    GdiSurfaceState& s = S();
    if (s.metafileDC) {
        auto mean = [](COLORREF a, COLORREF b, int shift) {
            return static_cast<BYTE>((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2);
        };
        return GdiObjectCounted(CreateSolidBrush(RGB(mean(s.previous, s.current, 0), mean(s.previous, s.current, 8),
                                    mean(s.previous, s.current, 16))));
    }
    if (!s.pattern)
        PatternMake();
    if (!s.pattern)
        return GdiObjectCounted(CreateSolidBrush(s.current));
    if (s.patternStale) {
        HDC mem = CreateCompatibleDC(s.dc);
        HGDIOBJ old = SelectObject(mem, s.pattern);
        HPALETTE oldPal = nullptr;
        if (s.palette) {
            oldPal = SelectPalette(mem, s.palette, FALSE);
            RealizePalette(mem);
        }
        for (int y = 0; y < 8; y += 2) {
            for (int x = 0; x < 8; x += 2) {
                SetPixel(mem, x, y, s.current);
                SetPixel(mem, x + 1, y + 1, s.current);
                SetPixel(mem, x + 1, y, s.previous);
                SetPixel(mem, x, y + 1, s.previous);
            }
        }
        if (oldPal)
            SelectPalette(mem, oldPal, FALSE);
        SelectObject(mem, old);
        DeleteDC(mem);
        s.patternStale = false;
    }
    return GdiObjectCounted(CreatePatternBrush(s.pattern));
}

void GdiPaletteSet(int index, int rgb, int mode)
{
    GdiSurfaceState& s = S();
    if (s.metafileDC || !s.palette)
        return;
    if (index < 0 || static_cast<size_t>(index) >= s.paletteEntries.size())
        return;
    if (mode < 2 && s.dc)
        UnrealizeObject(s.palette);
    PALETTEENTRY& e = s.paletteEntries[static_cast<size_t>(index)];
    e.peRed = static_cast<BYTE>(rgb & 0xFF);
    e.peGreen = static_cast<BYTE>((rgb >> 8) & 0xFF);
    e.peBlue = static_cast<BYTE>((rgb >> 16) & 0xFF);
    e.peFlags = 0;
    SetPaletteEntries(s.palette, static_cast<UINT>(index), 1, &e);
    if ((mode == 0 || mode == 3) && s.dc) {
        SelectPalette(s.dc, s.palette, FALSE);
        RealizePalette(s.dc);
    }
}

void GdiPaletteEntry(int index, int rgb, int mode) { GdiPaletteSet(index, rgb, mode); }

// ---------------------------------------------------------------------------
// Points

void GdiPointsAlloc(int n) { S().points.assign(static_cast<size_t>(std::max(0, n)), POINT{0, 0}); }

void GdiPointSet(int x, int y, int i)
{
    if (i >= 0 && static_cast<size_t>(i) < S().points.size())
        S().points[static_cast<size_t>(i)] = POINT{x, y};
}

void GdiPointsFree()
{
    S().points.clear();
    S().points.shrink_to_fit();
}

// ---------------------------------------------------------------------------
// Primitives

void GdiLine(int x1, int y1, int x2, int y2)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    if (S().lineStyle == 0)
        EndPixel(dc, x2, y2);
}

void GdiPolyline(int n)
{
    HDC dc = S().drawDC;
    n = std::min<int>(n, static_cast<int>(S().points.size()));
    if (!dc || n < 1)
        return;
    if (PolylineInPieces(dc)) {
        // Pieces of kPolylinePiece points, each starting where the last ended.
        static std::vector<POINT> merged;
        PolylineRunsMerge(S().points.data(), n, merged);
        const int kept = static_cast<int>(merged.size());
        for (int start = 0; start < kept - 1; start += kPolylinePiece - 1)
            Polyline(dc, merged.data() + start, std::min(kPolylinePiece, kept - start));
    } else {
        Polyline(dc, S().points.data(), n);
    }
    const POINT& last = S().points[static_cast<size_t>(n - 1)];
    const POINT& first = S().points[0];
    if (S().lineStyle == 0 && (last.x != first.x || last.y != first.y))
        EndPixel(dc, last.x, last.y);
}

void GdiPixel(int x, int y)
{
    if (S().drawDC)
        SetPixel(S().drawDC, x, y, S().current);
}

void GdiPixelGet(int x, int y, int& r, int& g, int& b)
{
    COLORREF c = S().drawDC ? GetPixel(S().drawDC, x, y) : CLR_INVALID;
    if (c == CLR_INVALID) {
        r = -1;
        return;
    }
    r = GetRValue(c);
    g = GetGValue(c);
    b = GetBValue(c);
}

namespace {

// The brush and pen of one filled shape: the half-tone brush without an
// outline, or a solid brush of the current colour, outlined in that colour
// when OUTLINE; made for the shape and deleted with it.
struct ShapeObjects {
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HPEN madePen = nullptr;

    ShapeObjects(GdiFill fill, bool outline)
    {
        const bool halftone = fill == GdiFill::kHalftone;
        brush = halftone ? GdiHalftoneBrush() : GdiObjectCounted(CreateSolidBrush(S().current));
        if (!halftone && outline)
            pen = madePen = GdiObjectCounted(CreatePen(PS_SOLID, 1, S().current));
        else
            pen = static_cast<HPEN>(GetStockObject(NULL_PEN));
    }
    ~ShapeObjects()
    {
        GdiObjectDelete(brush);
        if (madePen)
            GdiObjectDelete(madePen);
    }
    ShapeObjects(const ShapeObjects&) = delete;
    ShapeObjects& operator=(const ShapeObjects&) = delete;
};

} // namespace

void GdiEllipse(int cx, int cy, int rx, int ry, GdiFill fill)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    if (fill == GdiFill::kOutline) {
        Clipped([&] {
            HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Ellipse(dc, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2);
            SelectObject(dc, old);
        });
        return;
    }
    int e = fill == GdiFill::kHalftone ? 3 : 2;
    const ShapeObjects o(fill, true);
    Clipped([&] {
        WithObjects(o.brush, o.pen, [&] { Ellipse(dc, cx - rx - 1, cy - ry - 1, cx + rx + e, cy + ry + e); });
    });
}

void GdiRectangle(int x1, int y1, int x2, int y2, GdiFill fill)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    const ShapeObjects o(fill, false);
    WithObjects(o.brush, o.pen, [&] { Rectangle(dc, x1, y1, x2 + 2, y2 + 2); });
}

void GdiPie(int cx, int cy, int rx, int ry, int xs, int ys, int xe, int ye, GdiFill fill)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    int e = fill == GdiFill::kHalftone ? 3 : 2;
    const ShapeObjects o(fill, true);
    Clipped([&] {
        WithObjects(o.brush, o.pen, [&] {
            Pie(dc, cx - rx - 1, cy - ry - 1, cx + rx + e, cy + ry + e, xs, ys, xe, ye);
        });
    });
}

void GdiArc(int cx, int cy, int rx, int ry, int xs, int ys, int xe, int ye, int p, int q)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    Clipped([&] {
        HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
        if (p < 3 || q > 0)
            Pie(dc, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, xs, ys, xe, ye);
        else
            Arc(dc, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, xs, ys, xe, ye);
        SelectObject(dc, old);
    });
}

void GdiPolygon(int n, GdiFill fill)
{
    HDC dc = S().drawDC;
    n = std::min<int>(n, static_cast<int>(S().points.size()));
    if (!dc || n < 2)
        return;
    // Polygons drawn in exclusive-or mode get no outline.
    const ShapeObjects o(fill, S().rop != R2_XORPEN);
    Clipped([&] { WithObjects(o.brush, o.pen, [&] { Polygon(dc, S().points.data(), n); }); });
}

void GdiGradientTriangles(const int* x, const int* y, const int* colours, const int* triangles,
                          int n, int m, int& status)
{
    using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    static GradientFillFn fill = [] {
        HMODULE lib = LoadLibraryA("msimg32.dll");
        return lib ? reinterpret_cast<GradientFillFn>(
                         reinterpret_cast<void*>(GetProcAddress(lib, "GradientFill")))
                   : nullptr;
    }();
    status = 1;
    if (!fill || !S().drawDC || n < 3 || m < 1)
        return;
    std::vector<TRIVERTEX> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int c = colours[i];
        v[static_cast<size_t>(i)] = TRIVERTEX{x[i], y[i], static_cast<COLOR16>((c & 0xFF) << 8),
                                              static_cast<COLOR16>(((c >> 8) & 0xFF) << 8),
                                              static_cast<COLOR16>(((c >> 16) & 0xFF) << 8), 0};
    }
    std::vector<GRADIENT_TRIANGLE> t;
    t.reserve(static_cast<size_t>(m));
    for (int k = 0; k < m; ++k) {
        int a = triangles[3 * k], b = triangles[3 * k + 1], c = triangles[3 * k + 2];
        if (a < 1 || a > n || b < 1 || b > n || c < 1 || c > n)
            return;
        t.push_back(GRADIENT_TRIANGLE{static_cast<ULONG>(a - 1), static_cast<ULONG>(b - 1),
                                      static_cast<ULONG>(c - 1)});
    }
    if (fill(S().drawDC, v.data(), static_cast<ULONG>(n), t.data(), static_cast<ULONG>(m),
             GRADIENT_FILL_TRIANGLE))
        status = 0;
}

void GdiClear(int width, int height, int rgb)
{
    OffscreenEnter(width, height);
    HDC dc = S().drawDC;
    if (!dc)
        return;
    HBRUSH brush = GdiObjectCounted(CreateSolidBrush(SolidColour(rgb)));
    int oldRop = SetROP2(dc, R2_COPYPEN);
    WithObjects(brush, static_cast<HPEN>(GetStockObject(NULL_PEN)),
                [&] { Rectangle(dc, 0, 0, width + 1, height + 1); });
    SetROP2(dc, oldRop);
    GdiObjectDelete(brush);
}

void GdiAreaMove(int sx1, int sy1, int sx2, int sy2, int dx, int dy, int clear, int rgb)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    int w = sx2 - sx1 + 1, h = sy2 - sy1 + 1;
    if (w <= 0 || h <= 0)
        return;
    DWORD rop = SRCCOPY;
    switch (S().rop) {
    case R2_MERGEPEN: rop = SRCPAINT; break;
    case R2_MASKPEN: rop = SRCAND; break;
    case R2_XORPEN: rop = SRCINVERT; break;
    default: break;
    }
    BitBlt(dc, dx, dy, w, h, dc, sx1, sy1, rop);
    if (!clear)
        return;
    // The part of the source not covered by the destination, as a polygon.
    // Its corners are the outermost pixels of that part: the pen draws the
    // outline on them and the brush fills inside, so that together they
    // paint exactly that part and not the picture just moved.
    int ox = dx - sx1, oy = dy - sy1;
    const int L = sx1, R = sx2, T = sy1, B = sy2;
    if (std::abs(ox) >= w || std::abs(oy) >= h) {
        GdiPointsAlloc(4);
        GdiPointSet(L, T, 0);
        GdiPointSet(R, T, 1);
        GdiPointSet(R, B, 2);
        GdiPointSet(L, B, 3);
    } else if (ox == 0 || oy == 0) {
        int x1 = L, x2 = R, y1 = T, y2 = B;
        if (ox > 0) x2 = L + ox - 1;
        if (ox < 0) x1 = R + ox + 1;
        if (oy > 0) y2 = T + oy - 1;
        if (oy < 0) y1 = B + oy + 1;
        GdiPointsAlloc(4);
        GdiPointSet(x1, y1, 0);
        GdiPointSet(x2, y1, 1);
        GdiPointSet(x2, y2, 2);
        GdiPointSet(x1, y2, 3);
    } else {
        // An L-shaped strip: the source rectangle less the destination
        // corner; (cx, cy) is the strips' inner corner pixel.
        const int cx = ox > 0 ? L + ox - 1 : R + ox + 1;
        const int cy = oy > 0 ? T + oy - 1 : B + oy + 1;
        GdiPointsAlloc(6);
        if (ox > 0 && oy > 0) {
            GdiPointSet(L, T, 0); GdiPointSet(R, T, 1); GdiPointSet(R, cy, 2);
            GdiPointSet(cx, cy, 3); GdiPointSet(cx, B, 4); GdiPointSet(L, B, 5);
        } else if (ox < 0 && oy > 0) {
            GdiPointSet(L, T, 0); GdiPointSet(R, T, 1); GdiPointSet(R, B, 2);
            GdiPointSet(cx, B, 3); GdiPointSet(cx, cy, 4); GdiPointSet(L, cy, 5);
        } else if (ox > 0 && oy < 0) {
            GdiPointSet(L, T, 0); GdiPointSet(cx, T, 1); GdiPointSet(cx, cy, 2);
            GdiPointSet(R, cy, 3); GdiPointSet(R, B, 4); GdiPointSet(L, B, 5);
        } else {
            GdiPointSet(cx, T, 0); GdiPointSet(R, T, 1); GdiPointSet(R, B, 2);
            GdiPointSet(L, B, 3); GdiPointSet(L, cy, 4); GdiPointSet(cx, cy, 5);
        }
    }
    HBRUSH brush = GdiObjectCounted(CreateSolidBrush(SolidColour(rgb)));
    HPEN pen = GdiObjectCounted(CreatePen(PS_SOLID, 1, SolidColour(rgb)));
    int oldRop = SetROP2(dc, R2_COPYPEN);
    WithObjects(brush, pen, [&] {
        Polygon(dc, S().points.data(), static_cast<int>(S().points.size()));
    });
    SetROP2(dc, oldRop);
    GdiObjectDelete(brush);
    GdiObjectDelete(pen);
    GdiPointsFree();
}

void GdiClip(int x1, int y1, int x2, int y2)
{
    if (S().clip) {
        GdiObjectDelete(S().clip);
        S().clip = nullptr;
    }
    if (y2 == -1)
        return;
    S().clip = GdiObjectCounted(CreateRectRgn(x1, y1, x2, y2));
}

void GdiPixelCallback(int x, int y, int rgb)
{
    HDC dc = S().drawDC;
    if (!dc)
        return;
    COLORREF c = static_cast<COLORREF>(rgb) & 0xFFFFFF;
    if (PaletteDisplay())
        c = PALETTEINDEX(static_cast<WORD>(GetNearestPaletteIndex(S().palette, c)));
    SetPixel(dc, x, y, c);
}
