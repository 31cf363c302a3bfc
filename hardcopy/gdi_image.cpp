// Image drawing into GDI drawing contexts and screen-rectangle saves.
#include "hardcopy/gdi_image.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include "core/error_codes.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "hardcopy/image_reader.h"
#include "hardcopy/image_writers.h"
#include "hardcopy/printer_driver.h"

namespace {

// The largest rectangle of the screen saved as a file or bitmap: the save
// path sizes its buffers in size_t, which is 32 bits in the 32-bit program.
constexpr int64_t kSaveMaxPixels = int64_t(1) << 24;

struct MetafileTarget {
    HDC dc = nullptr;
    HRGN clip = nullptr;
} gMetafileTarget;

int Clamp32(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A decoded picture as a bottom-up 24-bit DIB.
struct Dib {
    BITMAPINFO info{};
    std::vector<std::uint8_t> bits;
};

void DibFromPixels(int w, int h, const std::vector<int>& pixels, Dib& dib)
{
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
    dib.bits.assign(stride * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = dib.bits.data() + stride * static_cast<size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const int v = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
            row[3 * x] = static_cast<std::uint8_t>(v >> 16);
            row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(v);
        }
    }
    BITMAPINFOHEADER& hd = dib.info.bmiHeader;
    hd = BITMAPINFOHEADER{};
    hd.biSize = sizeof(BITMAPINFOHEADER);
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = 24;
    hd.biCompression = BI_RGB;
    hd.biSizeImage = static_cast<DWORD>(dib.bits.size());
}

// Loads and decodes the file of source kind KIND.
int LoadPicture(int kind, std::string_view fileName, int& w, int& h, std::vector<int>& pixels, int& osError)
{
    std::string name(TrimRight(fileName));
    while (!name.empty() && name.front() == ' ')
        name.erase(name.begin());
    int handle = -1, err = 0;
    OsFileOpen(name.c_str(), 0, handle, err);
    if (handle == -1) {
        osError = err;
        return kErrorFileOpen;
    }
    OsFileClose(handle);
    std::vector<std::uint8_t> bytes;
    int rc = ImageFileLoad(name, bytes, osError);
    if (rc != kErrorNone)
        return rc;
    if (ImageKindOf(bytes) != kind)
        return kErrorImageFormat;
    ImageHeader header;
    int zlibStatus = 0;
    rc = ImageDecode(bytes, header, pixels, zlibStatus);
    if (rc != kErrorNone) {
        osError = zlibStatus;
        pixels.clear();
        return rc;
    }
    w = header.width;
    h = header.height;
    return kErrorNone;
}

int StretchModeOf(int mode)
{
    switch (mode) {
    case 1: return BLACKONWHITE;
    case 2: return WHITEONBLACK;
    case 3: return COLORONCOLOR;
    case 4: return gLibraryState.ntFamily ? HALFTONE : BLACKONWHITE;
    default: return 0;
    }
}

// Runs DRAW with CLIP selected into DC and puts the DC's own clipping back.
template <class F>
bool WithClip(HDC dc, HRGN clip, F draw)
{
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    const int had = saved ? GetClipRgn(dc, saved) : 0;
    if (clip)
        SelectClipRgn(dc, clip);
    const bool ok = draw();
    if (clip)
        SelectClipRgn(dc, had == 1 ? saved : nullptr);
    if (saved)
        DeleteObject(saved);
    return ok;
}

// Runs DRAW with the stretch mode of MODE set (when not 0).
template <class F>
bool WithStretchMode(HDC dc, int mode, F draw)
{
    const int wanted = StretchModeOf(mode);
    const int old = wanted ? SetStretchBltMode(dc, wanted) : 0;
    const bool ok = draw();
    if (old)
        SetStretchBltMode(dc, old);
    return ok;
}

int DrawClipboard(HDC dc, HRGN clip, int x1, int y1, int x2, int y2, int stretch, int stretchMode, int& osError)
{
    if (!IsClipboardFormatAvailable(CF_BITMAP))
        return kErrorClipboardType;
    if (!OpenClipboard(nullptr)) {
        osError = static_cast<int>(GetLastError());
        return kErrorClipboardAccess;
    }
    int rc = kErrorClipboardType;
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info{};
    if (bitmap && GetObject(bitmap, sizeof(info), &info)) {
        HDC mem = CreateCompatibleDC(nullptr);
        HGDIOBJ old = mem ? SelectObject(mem, bitmap) : nullptr;
        const bool ok = mem && old && WithClip(dc, clip, [&] {
            if (stretch == 0)
                return BitBlt(dc, x1, y1, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY) != 0;
            return WithStretchMode(dc, stretchMode, [&] {
                return StretchBlt(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, mem, 0, 0, info.bmWidth, info.bmHeight,
                                  SRCCOPY) != 0;
            });
        });
        if (old)
            SelectObject(mem, old);
        if (mem)
            DeleteDC(mem);
        rc = ok ? kErrorNone : kErrorBitmapTransfer;
        if (!ok)
            osError = static_cast<int>(GetLastError());
    }
    CloseClipboard();
    return rc;
}

// Draws the DIB into the W x H box at (X, Y), stretched when its size
// differs (with the stretch mode of MODE).
bool DrawDib(HDC dc, const Dib& dib, int x, int y, int w, int h, int mode)
{
    const int sw = dib.info.bmiHeader.biWidth, sh = dib.info.bmiHeader.biHeight;
    auto draw = [&] {
        const int lines =
            StretchDIBits(dc, x, y, w, h, 0, 0, sw, sh, dib.bits.data(), &dib.info, DIB_RGB_COLORS, SRCCOPY);
        return lines != 0 && lines != static_cast<int>(GDI_ERROR);
    };
    if (w == sw && h == sh)
        return draw();
    return WithStretchMode(dc, mode, draw);
}

HDC TargetContext(int target, HRGN& clip)
{
    switch (target) {
    case kImageTargetScreen: clip = gGdiSurfaceState.clip; return gGdiSurfaceState.dc;
    case kImageTargetPrinter: return PrinterDrawingContext(clip);
    case kImageTargetMetafile: clip = gMetafileTarget.clip; return gMetafileTarget.dc;
    default: clip = nullptr; return nullptr;
    }
}

// The bit count of the screen drawing context: 1, 4, 8, 16, 24 or 32.
int ScreenBits(HDC dc)
{
    const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (bits <= 1)
        return 1;
    if (bits <= 4)
        return 4;
    if (bits <= 8)
        return 8;
    return bits <= 16 ? 16 : bits <= 24 ? 24 : 32;
}

// The bitmap's pixels as a bottom-up DIB of BITS bits per pixel (colour
// table from the current palette, else the default palette).
bool BitmapBits(HDC dc, HBITMAP bitmap, int w, int h, int bits, std::vector<std::uint8_t>& rows,
                std::vector<int>& colourTable)
{
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return false;
    HPALETTE palette = gGdiSurfaceState.palette ? gGdiSurfaceState.palette
                                                : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    HPALETTE oldPalette = SelectPalette(mem, palette, FALSE);
    RealizePalette(mem);
    std::vector<std::uint8_t> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(header.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = w;
    info->bmiHeader.biHeight = h;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bits);
    info->bmiHeader.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    rows.assign(stride * static_cast<size_t>(h), 0);
    const bool ok = GetDIBits(mem, bitmap, 0, static_cast<UINT>(h), rows.data(), info, DIB_RGB_COLORS) == h;
    colourTable.clear();
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits); ++i) {
            const RGBQUAD& q = info->bmiColors[i];
            colourTable.push_back(q.rgbRed + 256 * q.rgbGreen + 65536 * q.rgbBlue);
        }
    }
    SelectPalette(mem, oldPalette, FALSE);
    DeleteDC(mem);
    return ok;
}

// The bitmap as a picture: indices into the colour table (screens of 8 bits
// or fewer, read at 4 or 8 bits) or packed RGB values.
bool BitmapPicture(HDC dc, HBITMAP bitmap, int w, int h, int screenBits, PictureData& picture)
{
    const int bits = screenBits <= 4 ? 4 : screenBits <= 8 ? 8 : 24;
    std::vector<std::uint8_t> rows;
    picture = PictureData{};
    if (!BitmapBits(dc, bitmap, w, h, bits, rows, picture.palette))
        return false;
    picture.width = w;
    picture.height = h;
    picture.indexed = bits <= 8;
    picture.values.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = rows.data() + stride * static_cast<size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            int v;
            if (bits == 4)
                v = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
            else if (bits == 8)
                v = row[x];
            else
                v = row[3 * x + 2] + 256 * row[3 * x + 1] + 65536 * row[3 * x];
            picture.values[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = v;
        }
    }
    return true;
}

} // namespace

namespace {

// Runs WORK; when memory runs out in it, RESULT := 13 with the system's "not
// enough memory" code in OSERROR, as the image reader reports it, and false.
template <class Work>
bool WithMemory(Work work, int& result, int& osError)
{
    try {
        work();
    } catch (const std::bad_alloc&) {
        result = kErrorOperatingSystem;
        osError = kImageNoMemoryStatus;
        return false;
    }
    return true;
}

} // namespace

void ImagePixelsRotate(int rotation, int& w, int& h, std::vector<int>& pixels)
{
    if (rotation != 90 && rotation != 180 && rotation != 270)
        return;
    if (static_cast<int64_t>(w) * h != static_cast<int64_t>(pixels.size()) || w <= 0 || h <= 0)
        return;
    std::vector<int> turned(pixels.size());
    const int tw = rotation == 180 ? w : h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int nx, ny;
            if (rotation == 90) {
                nx = y;
                ny = w - 1 - x;
            } else if (rotation == 180) {
                nx = w - 1 - x;
                ny = h - 1 - y;
            } else {
                nx = h - 1 - y;
                ny = x;
            }
            turned[static_cast<size_t>(ny) * tw + nx] = pixels[static_cast<size_t>(y) * w + x];
        }
    }
    pixels.swap(turned);
    if (rotation != 180)
        std::swap(w, h);
}

void ImageDrawToTarget(int sourceKind, int target, int x1, int y1, int x2, int y2, int stretch, int stretchMode,
                       int rotation, int dx, int dy, int& result, int& osError, std::string_view fileName)
{
    result = kErrorNone;
    osError = 0;
    if (sourceKind != kImageSourceClipboard && sourceKind != kImageKindBmp && sourceKind != kImageKindPcx &&
        sourceKind != kImageKindPng) {
        result = kErrorImageFormat;
        return;
    }
    HRGN clip = nullptr;
    HDC dc = TargetContext(target, clip);
    if (!dc) {
        result = kErrorBitmapTransfer;
        return;
    }
    if (sourceKind == kImageSourceClipboard) {
        result = DrawClipboard(dc, clip, x1, y1, x2, y2, stretch, stretchMode, osError);
        return;
    }
    int w = 0, h = 0;
    std::vector<int> pixels;
    result = LoadPicture(sourceKind, fileName, w, h, pixels, osError);
    if (result != kErrorNone)
        return;
    if (rotation != 90 && rotation != 180 && rotation != 270)
        rotation = 0;
    // The box: the picture's own size at (x1, y1), or the caller's box.
    int64_t bx = x1, by = y1, bw = w, bh = h;
    if (stretch != 0) {
        bw = int64_t(x2) - x1 + 1;
        bh = int64_t(y2) - y1 + 1;
    }
    if (rotation != 0) {
        // The picture is turned pixel by pixel. On the NT family it goes where
        // the world transform of the turn about (dx, dy) maps the box: 90
        // (0, -1, 1, 0), 180 (-1, 0, 0, -1), 270 (0, 1, -1, 0); elsewhere it
        // is drawn into the box at (x1, y1).
        if (!WithMemory([&] { ImagePixelsRotate(rotation, w, h, pixels); }, result, osError))
            return;
        if (rotation != 180)
            std::swap(bw, bh);
        if (gLibraryState.ntFamily) {
            if (rotation == 90) {
                bx = int64_t(dx) + y1;
                by = int64_t(dy) - x1 - bh;
            } else if (rotation == 180) {
                bx = int64_t(dx) - x1 - bw;
                by = int64_t(dy) - y1 - bh;
            } else {
                bx = int64_t(dx) - y1 - bw;
                by = int64_t(dy) + x1;
            }
        }
    }
    Dib dib;
    if (!WithMemory([&] { DibFromPixels(w, h, pixels, dib); }, result, osError))
        return;
    pixels = std::vector<int>();
    const bool ok = WithClip(dc, clip, [&] {
        return DrawDib(dc, dib, Clamp32(bx), Clamp32(by), Clamp32(bw), Clamp32(bh), stretchMode);
    });
    if (!ok) {
        result = kErrorBitmapTransfer;
        osError = static_cast<int>(GetLastError());
    }
}

void ImageSaveRectangle(int kind, int x1, int y1, int x2, int y2, int& result, int& osError,
                        std::string_view fileName)
{
    result = kErrorNone;
    osError = 0;
    if (kind != kImageSourceClipboard && kind != kImageKindBmp && kind != kImageKindPcx && kind != kImageKindPng) {
        result = kErrorImageFormat;
        return;
    }
    HDC dc = gGdiSurfaceState.dc;
    const int64_t w64 = int64_t(x2) - x1 + 1, h64 = int64_t(y2) - y1 + 1;
    if (!dc || w64 <= 0 || h64 <= 0 || w64 * h64 > kSaveMaxPixels) {
        result = kErrorImageSave;
        return;
    }
    const int w = static_cast<int>(w64), h = static_cast<int>(h64);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(dc, w, h) : nullptr;
    bool copied = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(mem, bitmap);
        copied = BitBlt(mem, 0, 0, w, h, dc, x1, y1, SRCCOPY) != 0;
        SelectObject(mem, old);
    }
    if (!copied) {
        osError = static_cast<int>(GetLastError());
        if (bitmap)
            DeleteObject(bitmap);
        if (mem)
            DeleteDC(mem);
        result = kErrorImageSave;
        return;
    }
    DeleteDC(mem);

    if (kind == kImageSourceClipboard) {
        if (!OpenClipboard(nullptr)) {
            osError = static_cast<int>(GetLastError());
            DeleteObject(bitmap);
            result = kErrorClipboardAccess;
            return;
        }
        EmptyClipboard();
        if (!SetClipboardData(CF_BITMAP, bitmap)) {
            osError = static_cast<int>(GetLastError());
            DeleteObject(bitmap);
            result = kErrorClipboardAccess;
        }
        CloseClipboard();
        return;
    }

    const int screenBits = ScreenBits(dc);
    std::vector<std::uint8_t> file;
    bool ok = true;
    if (kind == kImageKindBmp) {
        std::vector<std::uint8_t> rows;
        std::vector<int> table;
        ok = BitmapBits(dc, bitmap, w, h, screenBits, rows, table);
        if (ok)
            file = BmpEncode(w, h, screenBits, table, rows);
    } else {
        PictureData picture;
        ok = BitmapPicture(dc, bitmap, w, h, screenBits, picture);
        if (ok && kind == kImageKindPcx) {
            file = PcxEncode(picture);
        } else if (ok) {
            int zlibStatus = 0;
            const int rc = PngEncode(picture, screenBits <= 4 ? 4 : 8, file, zlibStatus);
            if (rc != kErrorNone) {
                DeleteObject(bitmap);
                osError = zlibStatus;
                result = rc;
                return;
            }
        }
    }
    if (!ok)
        osError = static_cast<int>(GetLastError());
    DeleteObject(bitmap);
    if (!ok) {
        result = kErrorImageSave;
        return;
    }
    result = ImageBytesWrite(fileName, file, osError);
}

void ImageMetafileTargetSet(HDC dc, HRGN clip)
{
    gMetafileTarget.dc = dc;
    gMetafileTarget.clip = clip;
}

ImageBox ImageBoxForArea(int ix1, int iy1, int ix2, int iy2, int height, int rotation)
{
    ImageBox box;
    int bx1 = ix1, by1 = iy1, bx2 = ix2, by2 = iy2;
    if ((rotation == 90 || rotation == 270) && gLibraryState.ntFamily) {
        bx1 = iy1;
        bx2 = iy2;
        by1 = ix1;
        by2 = ix2;
    }
    const int64_t H = height;
    box.x1 = bx1;
    box.x2 = bx2;
    box.y1 = Clamp32(H - by2 - 1);
    box.y2 = Clamp32(H - by1 - 1);
    switch (rotation) {
    case 90:
        box.dx = Clamp32(int64_t(ix1) + ix2 - H);
        box.dy = Clamp32(H);
        break;
    case 180:
        box.dx = Clamp32(int64_t(ix1) + ix2);
        box.dy = Clamp32(2 * H - iy1 - iy2);
        break;
    case 270:
        box.dx = Clamp32(H);
        box.dy = Clamp32(H - iy1 - iy2);
        break;
    default: break;
    }
    return box;
}

void ImageDrawForScreen()
{
    const GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    const auto& a = g.integerArea;
    const ImageBox box = ImageBoxForArea(a[0], a[1], a[2], a[3], g.targetHeight, g.pageRotation);
    int result = 0, osError = 0;
    ImageDrawToTarget(b.IX[0], kImageTargetScreen, box.x1, box.y1, box.x2, box.y2, b.IY[0], b.IY[2],
                      g.pageRotation, box.dx, box.dy, result, osError,
                      std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength));
    b.M = result;
    b.N = osError;
}
