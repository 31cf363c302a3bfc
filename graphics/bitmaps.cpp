// The bitmap table and its engine routines. Pixel arrays travel through
// 32-bit device-independent rows (one transfer per call, not one call per
// pixel); copies between a bitmap and the surface use the bitwise mode.
#include "graphics/bitmaps.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/library_state.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "graphics/bitmap_viewer.h"
#include "graphics/colours.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"

BitmapTable gBitmapTable;

namespace {

BitmapTable& T() { return gBitmapTable; }

bool InUse(int slot)
{
    return slot >= 0 && slot < kBitmapSlotCount && T().slot[static_cast<size_t>(slot)].bitmap != nullptr;
}

BitmapSlot& Slot(int slot) { return T().slot[static_cast<size_t>(slot)]; }

// True while SLOT's bitmap is selected as the drawing surface. A memory DC
// that the surface no longer uses has been deleted with it: forget it.
bool IsSurface(int slot)
{
    BitmapTable& t = T();
    if (t.surfaceDC && gGdiSurfaceState.dc != t.surfaceDC) {
        t.surfaceDC = nullptr;
        t.surfaceSlot = -1;
        t.surfaceReplaced = nullptr;
    }
    return t.surfaceDC && t.surfaceSlot == slot;
}

// A memory DC with SLOT's bitmap selected: the surface's own while the
// bitmap is the surface, else a temporary one (released by the destructor).
class SlotContext {
public:
    explicit SlotContext(int slot)
    {
        if (IsSurface(slot)) {
            dc_ = T().surfaceDC;
            return;
        }
        temporary_ = CreateCompatibleDC(nullptr);
        if (!temporary_)
            return;
        replaced_ = SelectObject(temporary_, Slot(slot).bitmap);
        if (!replaced_ || replaced_ == HGDI_ERROR) {
            DeleteDC(temporary_);
            temporary_ = nullptr;
            return;
        }
        if (gGdiSurfaceState.palette) {
            SelectPalette(temporary_, gGdiSurfaceState.palette, FALSE);
            RealizePalette(temporary_);
        }
        dc_ = temporary_;
    }
    ~SlotContext()
    {
        if (temporary_) {
            SelectObject(temporary_, replaced_);
            DeleteDC(temporary_);
        }
    }
    SlotContext(const SlotContext&) = delete;
    SlotContext& operator=(const SlotContext&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HDC temporary_ = nullptr;
    HGDIOBJ replaced_ = nullptr;
};

// While alive, SLOT's bitmap is out of the surface DC, so that its bits can
// be read and written; selected back afterwards.
class OutOfSurface {
public:
    explicit OutOfSurface(int slot)
    {
        if (IsSurface(slot) && T().surfaceReplaced) {
            dc_ = T().surfaceDC;
            bitmap_ = Slot(slot).bitmap;
            SelectObject(dc_, T().surfaceReplaced);
        }
    }
    ~OutOfSurface()
    {
        if (dc_)
            SelectObject(dc_, bitmap_);
    }
    OutOfSurface(const OutOfSurface&) = delete;
    OutOfSurface& operator=(const OutOfSurface&) = delete;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

// The header of a bottom-up 32-bit DIB of WIDTH x HEIGHT.
BITMAPINFO DibInfo(int width, int height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// Rows TOP..TOP + COUNT - 1 (counted from the top) of BITMAP (WIDTH x
// HEIGHT) as 0x00RRGGBB values, the lowest row first.
bool RowsRead(HBITMAP bitmap, int width, int height, int top, int count, std::vector<uint32_t>& rows)
{
    rows.assign(static_cast<size_t>(width) * static_cast<size_t>(count), 0);
    BITMAPINFO bi = DibInfo(width, height);
    HDC screen = GetDC(nullptr);
    const int got = GetDIBits(screen, bitmap, static_cast<UINT>(height - top - count), static_cast<UINT>(count),
                              rows.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return got == count;
}

bool RowsWrite(HBITMAP bitmap, int width, int height, int top, int count, const std::vector<uint32_t>& rows)
{
    BITMAPINFO bi = DibInfo(width, height);
    HDC screen = GetDC(nullptr);
    const int put = SetDIBits(screen, bitmap, static_cast<UINT>(height - top - count), static_cast<UINT>(count),
                              rows.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return put == count;
}

// Packed RGB (red low) and the DIB's 0x00RRGGBB, both ways.
uint32_t ToDib(int rgb)
{
    const uint32_t v = static_cast<uint32_t>(rgb);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
int FromDib(uint32_t v) { return static_cast<int>(((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16)); }

// The colour a palette display shows for RGB: its nearest palette entry.
int Displayed(int rgb)
{
    HPALETTE palette = gGdiSurfaceState.palette;
    if (!palette)
        return rgb;
    const UINT i = GetNearestPaletteIndex(palette, static_cast<COLORREF>(rgb) & 0xFFFFFF);
    PALETTEENTRY e{};
    if (i == CLR_INVALID || GetPaletteEntries(palette, i, 1, &e) != 1)
        return rgb;
    return e.peRed + 256 * e.peGreen + 65536 * e.peBlue;
}

// The box X1..X2, Y1..Y2 lies in the bitmap and VALUES holds it.
bool BoxFits(int slot, size_t values, int x1, int y1, int x2, int y2)
{
    const BitmapSlot& s = Slot(slot);
    if (x1 < 0 || y1 < 0 || x2 < x1 || y2 < y1 || x2 >= s.width || y2 >= s.height)
        return false;
    const uint64_t n = static_cast<uint64_t>(x2 - x1 + 1) * static_cast<uint64_t>(y2 - y1 + 1);
    return n <= values;
}

// Replaces SLOT's bitmap by REPLACEMENT (WIDTH x HEIGHT): the old one is
// deleted (taken out of the surface first), a surface that showed it shows
// the new one, and a viewer that showed it is shown the new one.
void SlotReplace(int slot, HBITMAP replacement, int width, int height, int viewer)
{
    BitmapSlot& s = Slot(slot);
    HBITMAP old = s.bitmap;
    if (IsSurface(slot)) {
        SelectObject(T().surfaceDC, replacement);
        gGdiSurfaceState.patternStale = true;
    }
    s.bitmap = replacement;
    s.width = width;
    s.height = height;
    DeleteObject(old);
    if (viewer > 0)
        BitmapViewerShowSlot(viewer, slot);
    if (IsSurface(slot) && gGraphicsState.targetKind == kTargetBitmap && gGraphicsState.targetId == slot + 1)
        YYTargetSetSize(kTargetBitmap, slot + 1, width, height);
}

void Rop(int& status, BOOL ok) { status = ok ? kErrorNone : kErrorBitmapTransfer; }

} // namespace

void DrawingTargetToWindow()
{
    GraphicsState& g = gGraphicsState;
    int n = gLibraryState.currentWindow;
    if (WindowIsOpen(n)) {
        const ErrorState saved = gErrorState;
        IGrSelect(kTargetWindow, &n);
        gErrorState = saved;
        return;
    }
    DrawingDCRelease();
    g.targetKind = kTargetWindow;
    g.targetId = n;
    g.targetDialog = 0;
    g.memoryMetafileRouting = 0;
}

HBITMAP BitmapMake(int width, int height, int colour)
{
    if (width < 1 || height < 1)
        return nullptr;
    HDC surface = gGdiSurfaceState.dc;
    const DWORD type = surface ? GetObjectType(surface) : 0;
    const bool usable = type == OBJ_DC || type == OBJ_MEMDC;
    HDC screen = usable ? nullptr : GetDC(nullptr);
    HDC reference = usable ? surface : screen;
    HBITMAP bitmap = reference ? CreateCompatibleBitmap(reference, width, height) : nullptr;
    if (bitmap) {
        HDC mem = CreateCompatibleDC(reference);
        HGDIOBJ old = mem ? SelectObject(mem, bitmap) : nullptr;
        if (!old || old == HGDI_ERROR) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        } else {
            COLORREF c = static_cast<COLORREF>(colour) & 0xFFFFFF;
            if (gGdiSurfaceState.palette) {
                SelectPalette(mem, gGdiSurfaceState.palette, FALSE);
                RealizePalette(mem);
                c = PALETTEINDEX(0);
            } else {
                c = GetNearestColor(mem, c);
            }
            HBRUSH brush = CreateSolidBrush(c);
            HGDIOBJ oldBrush = SelectObject(mem, brush);
            HGDIOBJ oldPen = SelectObject(mem, GetStockObject(NULL_PEN));
            SetROP2(mem, R2_COPYPEN);
            Rectangle(mem, 0, 0, width + 1, height + 1);
            SelectObject(mem, oldPen);
            SelectObject(mem, oldBrush);
            DeleteObject(brush);
            SelectObject(mem, old);
        }
        if (mem)
            DeleteDC(mem);
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    return bitmap;
}

void BitmapSlotCreate(int& handle, int width, int height, int colour)
{
    handle = 0;
    for (int slot = 0; slot < kBitmapSlotCount; ++slot) {
        if (InUse(slot))
            continue;
        HBITMAP b = BitmapMake(width, height, colour);
        if (!b)
            continue; // the next free slot is tried
        Slot(slot) = BitmapSlot{b, width, height};
        handle = slot + 1;
        return;
    }
}

void WBitmapCreate(int& handle, int width, int height)
{
    handle = 0;
    if (width >= 1 && height >= 1)
        BitmapSlotCreate(handle, width, height, gColourTable.entries[0]);
    if (handle == 0)
        YYErrorReport(kErrorBitmapCreate, "WBitmapCreate");
}

void BitmapSlotDestroy(int slot, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    if (BitmapViewerOf(slot) > 0) {
        status = kErrorBitmapInViewer;
        return;
    }
    const GraphicsState& g = gGraphicsState;
    if (g.targetKind == kTargetBitmap && g.targetId == slot + 1)
        DrawingTargetToWindow();
    if (IsSurface(slot)) {
        // Still selected somewhere as the surface: take it out before deletion.
        SelectObject(T().surfaceDC, T().surfaceReplaced);
        T().surfaceSlot = -1;
    }
    DeleteObject(Slot(slot).bitmap);
    Slot(slot) = BitmapSlot{};
    status = kErrorNone;
}

void WBitmapDestroy(int handle)
{
    int status = kErrorBitmapHandle;
    if (handle >= 1 && handle <= kBitmapSlotCount)
        BitmapSlotDestroy(handle - 1, status);
    if (status != 0)
        YYErrorReport(status, "WBitmapDestroy");
}

void BitmapSelectTarget(int slot, int& status, int& width, int& height)
{
    status = 1;
    if (!InUse(slot))
        return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return;
    HGDIOBJ replaced = SelectObject(dc, Slot(slot).bitmap);
    if (!replaced || replaced == HGDI_ERROR) {
        DeleteDC(dc);
        return;
    }
    gGdiSurfaceState.metafileDC = nullptr;
    GdiSurfaceSelect(dc, nullptr);
    T().surfaceSlot = slot;
    T().surfaceDC = dc;
    T().surfaceReplaced = replaced;
    width = Slot(slot).width;
    height = Slot(slot).height;
    status = kErrorNone;
}

void BitmapGetFromSurface(int slot, int x, int y, int width, int height, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    SlotContext c(slot);
    HDC surface = gGdiSurfaceState.dc;
    if (!c.dc() || !surface) {
        status = kErrorBitmapTransfer;
        return;
    }
    Rop(status, BitBlt(c.dc(), 0, 0, width, height, surface, x, y, T().bitwiseMode));
}

void BitmapPut(int slot, int sx, int sy, int dx, int dy, int width, int height, int direction, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    SlotContext c(slot);
    HDC surface = gGdiSurfaceState.dc;
    if (!c.dc() || !surface) {
        status = kErrorBitmapTransfer;
        return;
    }
    if (direction != 0)
        Rop(status, BitBlt(surface, dx, dy, width, height, c.dc(), sx, sy, T().bitwiseMode));
    else
        Rop(status, BitBlt(c.dc(), dx, dy, width, height, surface, sx, sy, T().bitwiseMode));
}

void BitmapPutStretched(int slot, int stretch, int x, int y, int width, int height, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    SlotContext c(slot);
    HDC surface = gGdiSurfaceState.dc;
    if (!c.dc() || !surface) {
        status = kErrorBitmapTransfer;
        return;
    }
    const BitmapSlot& s = Slot(slot);
    if (stretch == 0) {
        Rop(status, BitBlt(surface, x, y, s.width, s.height, c.dc(), 0, 0, T().bitwiseMode));
        return;
    }
    const int old = SetStretchBltMode(surface, T().stretchMode);
    Rop(status, StretchBlt(surface, x, y, width, height, c.dc(), 0, 0, s.width, s.height, T().bitwiseMode));
    SetStretchBltMode(surface, old);
}

void BitmapPutPixels(int slot, std::span<const int> values, int x1, int y1, int x2, int y2, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    status = kErrorBitmapTransfer;
    if (!BoxFits(slot, values.size(), x1, y1, x2, y2))
        return;
    const BitmapSlot& s = Slot(slot);
    OutOfSurface out(slot);
    const int count = y2 - y1 + 1, columns = x2 - x1 + 1;
    std::vector<uint32_t> rows;
    if (!RowsRead(s.bitmap, s.width, s.height, y1, count, rows))
        return;
    // Row y lies at (y2 - y) rows above the lowest one read.
    for (int y = y2; y >= y1; --y) {
        uint32_t* row = rows.data() + static_cast<size_t>(y2 - y) * static_cast<size_t>(s.width);
        const int* from = values.data() + static_cast<size_t>(columns) * static_cast<size_t>(y - y1);
        for (int x = x1; x <= x2; ++x)
            row[x] = ToDib(Displayed(from[x - x1]));
    }
    if (RowsWrite(s.bitmap, s.width, s.height, y1, count, rows))
        status = kErrorNone;
}

void BitmapGetPixels(int slot, std::span<int> values, int x1, int y1, int x2, int y2, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    status = kErrorBitmapTransfer;
    if (!BoxFits(slot, values.size(), x1, y1, x2, y2))
        return;
    const BitmapSlot& s = Slot(slot);
    OutOfSurface out(slot);
    const int count = y2 - y1 + 1, columns = x2 - x1 + 1;
    std::vector<uint32_t> rows;
    if (!RowsRead(s.bitmap, s.width, s.height, y1, count, rows))
        return;
    for (int y = y2; y >= y1; --y) {
        const uint32_t* row = rows.data() + static_cast<size_t>(y2 - y) * static_cast<size_t>(s.width);
        int* to = values.data() + static_cast<size_t>(columns) * static_cast<size_t>(y - y1);
        for (int x = x1; x <= x2; ++x)
            to[x - x1] = FromDib(row[x]);
    }
    status = kErrorNone;
}

void BitmapFlip(int slot, int vertical, int& viewer, int& status)
{
    viewer = 0;
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    viewer = BitmapViewerOf(slot);
    const BitmapSlot& s = Slot(slot);
    status = kErrorBitmapTransfer;
    {
        OutOfSurface out(slot);
        std::vector<uint32_t> px;
        if (!RowsRead(s.bitmap, s.width, s.height, 0, s.height, px))
            return;
        const size_t w = static_cast<size_t>(s.width);
        for (int i = 0; i < (vertical != 0 ? s.height : s.width) / 2; ++i) {
            if (vertical != 0) {
                std::swap_ranges(px.begin() + static_cast<ptrdiff_t>(i * w),
                                 px.begin() + static_cast<ptrdiff_t>((i + 1) * w),
                                 px.begin() + static_cast<ptrdiff_t>((s.height - i - 1) * w));
            } else {
                for (size_t r = 0; r < static_cast<size_t>(s.height); ++r)
                    std::swap(px[r * w + static_cast<size_t>(i)], px[r * w + w - static_cast<size_t>(i) - 1]);
            }
        }
        if (!RowsWrite(s.bitmap, s.width, s.height, 0, s.height, px))
            return;
    }
    status = kErrorNone;
    if (viewer > 0)
        BitmapViewerShowSlot(viewer, slot);
}

void BitmapRotate(int slot, int angle, int& viewer, int& status)
{
    viewer = 0;
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    status = kErrorBitmapTransfer;
    if (angle != 90 && angle != 180 && angle != 270)
        return;
    viewer = BitmapViewerOf(slot);
    const BitmapSlot& s = Slot(slot);
    const int W = s.width, H = s.height;
    const int nw = angle == 180 ? W : H, nh = angle == 180 ? H : W;
    std::vector<uint32_t> from, to(static_cast<size_t>(W) * static_cast<size_t>(H));
    {
        OutOfSurface out(slot);
        if (!RowsRead(s.bitmap, W, H, 0, H, from))
            return;
    }
    // Pixel (x, y) (rows from the top) goes to (y, W - x - 1) for 90, to
    // (W - x - 1, H - y - 1) for 180 and to (H - y - 1, x) for 270. The
    // buffers hold their rows bottom-up.
    for (int y = 0; y < H; ++y) {
        const uint32_t* row = from.data() + static_cast<size_t>(H - 1 - y) * static_cast<size_t>(W);
        for (int x = 0; x < W; ++x) {
            int tx, ty;
            if (angle == 90) {
                tx = y;
                ty = W - x - 1;
            } else if (angle == 180) {
                tx = W - x - 1;
                ty = H - y - 1;
            } else {
                tx = H - y - 1;
                ty = x;
            }
            to[static_cast<size_t>(nh - 1 - ty) * static_cast<size_t>(nw) + static_cast<size_t>(tx)] = row[x];
        }
    }
    HBITMAP turned = BitmapMake(nw, nh, gColourTable.entries[0]);
    if (!turned) {
        status = kErrorBitmapCreate;
        return;
    }
    if (!RowsWrite(turned, nw, nh, 0, nh, to)) {
        DeleteObject(turned);
        return;
    }
    SlotReplace(slot, turned, nw, nh, viewer);
    status = kErrorNone;
}

void BitmapResize(int slot, int width, int height, int& viewer, int& status)
{
    viewer = 0;
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    if (width < 1 || height < 1) {
        status = kErrorBitmapCreate;
        return;
    }
    viewer = BitmapViewerOf(slot);
    HBITMAP resized = BitmapMake(width, height, gColourTable.entries[0]);
    if (!resized) {
        status = kErrorBitmapCreate;
        return;
    }
    BOOL ok = FALSE;
    {
        SlotContext c(slot);
        HDC to = CreateCompatibleDC(nullptr);
        HGDIOBJ old = to ? SelectObject(to, resized) : nullptr;
        if (c.dc() && old && old != HGDI_ERROR) {
            const BitmapSlot& s = Slot(slot);
            SetStretchBltMode(to, T().stretchMode);
            ok = StretchBlt(to, 0, 0, width, height, c.dc(), 0, 0, s.width, s.height, T().bitwiseMode);
            SelectObject(to, old);
        }
        if (to)
            DeleteDC(to);
    }
    if (!ok) {
        DeleteObject(resized);
        status = kErrorBitmapTransfer;
        return;
    }
    SlotReplace(slot, resized, width, height, viewer);
    status = kErrorNone;
}

void BitmapLoadResource(int slot, int resource, int& status)
{
    if (!InUse(slot)) {
        status = kErrorBitmapHandle;
        return;
    }
    status = kErrorBitmapTransfer;
    if (resource <= 0 || resource > 0xFFFF)
        return;
    HBITMAP loaded = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource));
    if (!loaded)
        return;
    BITMAP info{};
    GetObjectA(loaded, sizeof info, &info);
    HDC from = CreateCompatibleDC(nullptr);
    HGDIOBJ old = from ? SelectObject(from, loaded) : nullptr;
    {
        SlotContext c(slot);
        if (c.dc() && old && old != HGDI_ERROR) {
            const BitmapSlot& s = Slot(slot);
            const int mode = SetStretchBltMode(c.dc(), T().stretchMode);
            if (StretchBlt(c.dc(), 0, 0, s.width, s.height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY))
                status = kErrorNone;
            SetStretchBltMode(c.dc(), mode);
        }
    }
    if (old && old != HGDI_ERROR)
        SelectObject(from, old);
    if (from)
        DeleteDC(from);
    DeleteObject(loaded);
}

void BitmapResourceSize(int resource, int& width, int& height)
{
    width = 0;
    height = 0;
    if (resource <= 0 || resource > 0xFFFF)
        return;
    HBITMAP loaded = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource));
    if (!loaded)
        return;
    BITMAP info{};
    if (GetObjectA(loaded, sizeof info, &info)) {
        width = info.bmWidth;
        height = info.bmHeight;
    }
    DeleteObject(loaded);
}

void BitmapSize(int slot, int& width, int& height)
{
    width = 0;
    height = 0;
    if (!InUse(slot))
        return;
    width = Slot(slot).width;
    height = Slot(slot).height;
}

void BitmapBitwiseMode(int mode)
{
    static constexpr DWORD kModes[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT};
    if (mode >= 0 && mode <= 3)
        T().bitwiseMode = kModes[mode];
}

void BitmapStretchMode(int mode)
{
    switch (mode) {
    case 2: T().stretchMode = WHITEONBLACK; break;
    case 3: T().stretchMode = COLORONCOLOR; break;
    case 4: T().stretchMode = gLibraryState.ntFamily ? HALFTONE : BLACKONWHITE; break;
    default: T().stretchMode = BLACKONWHITE; break;
    }
}

int BitmapStretchModeGet() { return T().stretchMode; }

HBITMAP BitmapHandleBitmap(int handle)
{
    return InUse(handle - 1) ? Slot(handle - 1).bitmap : nullptr;
}

void BitmapTableDestroyAll()
{
    BitmapTable& t = T();
    GraphicsState& g = gGraphicsState;
    if (g.targetKind == kTargetBitmap) {
        DrawingDCRelease();
        g.targetKind = kTargetWindow;
        g.targetId = gLibraryState.currentWindow;
    }
    // The surface may have been forgotten without its memory DC being
    // deleted: the DC is deleted here, when it still holds one of ours.
    if (t.surfaceDC && gGdiSurfaceState.dc != t.surfaceDC && t.surfaceSlot >= 0 &&
        GetObjectType(t.surfaceDC) == OBJ_MEMDC &&
        GetCurrentObject(t.surfaceDC, OBJ_BITMAP) == Slot(t.surfaceSlot).bitmap)
        DeleteDC(t.surfaceDC);
    t.surfaceDC = nullptr;
    t.surfaceSlot = -1;
    t.surfaceReplaced = nullptr;
    for (BitmapSlot& s : t.slot) {
        if (s.bitmap)
            DeleteObject(s.bitmap);
        s = BitmapSlot{};
    }
}
