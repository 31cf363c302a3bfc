// Printing a rectangle of the GDI surface on the Windows printer, and the
// default printer named in the system profile.
#include <float.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/gdi_surface.h"

#include <winspool.h>

GdiPrinterSettings gGdiPrinterSettings;

namespace {

struct PrintJob {
    HDC dc = nullptr;
    int extentX = 0;
    int extentY = 0;
};
PrintJob gPrintJob;

// Keeps the floating-point control word over calls into printer drivers.
class ControlWordGuard {
public:
    ControlWordGuard() : saved_(_controlfp(0, 0)) {}
    ~ControlWordGuard()
    {
        _clearfp();
        _controlfp(saved_, _MCW_EM);
    }

private:
    unsigned saved_;
};

// Splits "device,driver,port" (blanks after a comma skipped).
void SplitProfileDevice(const char* text)
{
    GdiPrinterSettings& p = gGdiPrinterSettings;
    std::string parts[3];
    int k = 0;
    bool afterComma = false;
    for (const char* c = text; *c && k < 3; ++c) {
        if (*c == ',') {
            ++k;
            afterComma = true;
            continue;
        }
        if (afterComma && *c == ' ')
            continue;
        afterComma = false;
        parts[k] += *c;
    }
    auto put = [](char* dst, const std::string& v) {
        size_t n = std::min<size_t>(v.size(), 259);
        std::memcpy(dst, v.data(), n);
        dst[n] = '\0';
    };
    put(p.device, parts[0]);
    put(p.driver, parts[1]);
    put(p.port, parts[2]);
}

int ColourCount(HDC dc)
{
    int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    bits = std::clamp(bits, 1, 24);
    return 1 << bits;
}

} // namespace

void GdiPrinterInfo(int refresh, int& pageWidth, int& pageHeight, int& areaWidth, int& areaHeight,
                    int& xDpi, int& yDpi, int& a, int& b, int& colours, int& error)
{
    pageWidth = pageHeight = areaWidth = areaHeight = xDpi = yDpi = a = b = colours = error = 0;
    ControlWordGuard guard;
    GdiPrinterSettings& p = gGdiPrinterSettings;
    if (refresh == 1 || !p.known) {
        char text[553] = {};
        GetProfileStringA("windows", "device", "", text, 552);
        SplitProfileDevice(text);
        p.known = true;
        p.dialogInForce = false;
        if (text[0] == '\0') {
            error = static_cast<int>(GetLastError());
            if (error == 0)
                error = ERROR_INVALID_PRINTER_NAME;
            return;
        }
    }
    if (p.device[0] == '\0') {
        error = ERROR_INVALID_PRINTER_NAME;
        return;
    }
    HDC ic = CreateICA(p.driver, p.device, nullptr, nullptr);
    if (!ic) {
        error = static_cast<int>(GetLastError());
        if (error == 0)
            error = ERROR_INVALID_PRINTER_NAME;
        return;
    }
    int w, h;
    if (p.dialogInForce && p.paperWidth > 0 && p.paperHeight > 0) {
        double unit = p.paperInThousandthsInch ? 1000.0 : 2540.0;
        w = static_cast<int>(p.paperWidth * 72.0 / unit + 0.5);
        h = static_cast<int>(p.paperHeight * 72.0 / unit + 0.5);
    } else {
        int dx = std::max(1, GetDeviceCaps(ic, LOGPIXELSX));
        int dy = std::max(1, GetDeviceCaps(ic, LOGPIXELSY));
        w = GetDeviceCaps(ic, PHYSICALWIDTH) * 72 / dx;
        h = GetDeviceCaps(ic, PHYSICALHEIGHT) * 72 / dy;
    }
    pageWidth = std::max(w, h);
    pageHeight = std::min(w, h);
    areaWidth = pageWidth - 144;
    areaHeight = pageHeight - 144;
    xDpi = yDpi = 72;
    a = b = 1;
    colours = ColourCount(ic);
    DeleteDC(ic);
}

HDC GdiPrinterDC(int landscape, int copies)
{
    ControlWordGuard guard;
    GdiPrinterSettings& p = gGdiPrinterSettings;
    if (!p.known) {
        int v[10], err;
        GdiPrinterInfo(0, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], err);
    }
    if (p.device[0] == '\0')
        return nullptr;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(p.device, &printer, nullptr))
        return nullptr;
    LONG size = DocumentPropertiesA(nullptr, printer, p.device, nullptr, nullptr, 0);
    if (size <= 0) {
        ClosePrinter(printer);
        return nullptr;
    }
    std::vector<char> buffer(static_cast<size_t>(size) + sizeof(DEVMODEA));
    DEVMODEA* mode = reinterpret_cast<DEVMODEA*>(buffer.data());
    if (DocumentPropertiesA(nullptr, printer, p.device, mode, nullptr, DM_OUT_BUFFER) < 0) {
        ClosePrinter(printer);
        return nullptr;
    }
    DWORD supported = mode->dmFields;
    DWORD set = 0;
    if (supported & DM_ORIENTATION) {
        mode->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        set |= DM_ORIENTATION;
    }
    if (supported & DM_COPIES) {
        mode->dmCopies = static_cast<short>(std::clamp(copies, 1, 32767));
        set |= DM_COPIES;
    }
    if (p.dialogInForce) {
        const DEVMODEA& d = p.dialogMode;
        auto take = [&](DWORD field, auto& dst, auto value) {
            if (supported & field) {
                dst = value;
                set |= field;
            }
        };
        take(DM_PAPERSIZE, mode->dmPaperSize, d.dmPaperSize);
        take(DM_PAPERLENGTH, mode->dmPaperLength, d.dmPaperLength);
        take(DM_PAPERWIDTH, mode->dmPaperWidth, d.dmPaperWidth);
        take(DM_SCALE, mode->dmScale, d.dmScale);
        take(DM_DEFAULTSOURCE, mode->dmDefaultSource, d.dmDefaultSource);
        take(DM_PRINTQUALITY, mode->dmPrintQuality, d.dmPrintQuality);
        take(DM_COLOR, mode->dmColor, d.dmColor);
        take(DM_DUPLEX, mode->dmDuplex, d.dmDuplex);
        take(DM_YRESOLUTION, mode->dmYResolution, d.dmYResolution);
        take(DM_TTOPTION, mode->dmTTOption, d.dmTTOption);
        take(DM_COLLATE, mode->dmCollate, d.dmCollate);
        take(DM_MEDIATYPE, mode->dmMediaType, d.dmMediaType);
        take(DM_DITHERTYPE, mode->dmDitherType, d.dmDitherType);
    }
    mode->dmFields = set;
    if (set)
        DocumentPropertiesA(nullptr, printer, p.device, mode, mode, DM_IN_BUFFER | DM_OUT_BUFFER);
    HDC dc = CreateDCA(p.driver, p.device, p.port[0] ? p.port : nullptr, mode);
    ClosePrinter(printer);
    return dc;
}

void GdiPrintBegin(int pageWidth, int pageHeight, int xMargin, int yMargin, int& status,
                   int landscape, int copies, std::string_view documentName)
{
    status = 1;
    HDC dc = GdiPrinterDC(landscape, copies);
    if (!dc)
        return;
    std::string name(documentName);
    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = name.c_str();
    if (StartDocA(dc, &info) <= 0) {
        DeleteDC(dc);
        return;
    }
    int dx = GetDeviceCaps(dc, LOGPIXELSX);
    int dy = GetDeviceCaps(dc, LOGPIXELSY);
    int offX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    int offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    gPrintJob.dc = dc;
    gPrintJob.extentX = pageWidth * dx / 72;
    gPrintJob.extentY = pageHeight * dy / 72;
    StartPage(dc);
    SetWindowOrgEx(dc, offX - xMargin * dx / 72, offY - yMargin * dy / 72, nullptr);
    SetWindowExtEx(dc, gPrintJob.extentX, gPrintJob.extentY, nullptr);
    SetBkMode(dc, TRANSPARENT);
    status = 0;
}

int GdiDibColourBytes(const BITMAPINFOHEADER& header)
{
    int perEntry = header.biSize == sizeof(BITMAPCOREHEADER) ? 3 : 4;
    int entries;
    int bits;
    DWORD used = 0;
    if (header.biSize == sizeof(BITMAPCOREHEADER)) {
        const auto& core = reinterpret_cast<const BITMAPCOREHEADER&>(header);
        bits = core.bcBitCount;
    } else {
        bits = header.biBitCount;
        used = header.biClrUsed;
    }
    if (used)
        entries = static_cast<int>(used);
    else if (bits == 1)
        entries = 2;
    else if (bits == 4)
        entries = 16;
    else if (bits == 8)
        entries = 256;
    else
        entries = 0;
    return entries * perEntry;
}

void GdiPrintArea(int x1, int y1, int x2, int y2, int& status)
{
    status = 1;
    HDC src = gGdiSurfaceState.dc;
    HDC prn = gPrintJob.dc;
    int w = x2 - x1 + 1, h = y2 - y1 + 1;
    if (!src || !prn || w <= 0 || h <= 0)
        return;
    HDC mem = CreateCompatibleDC(src);
    HBITMAP bmp = CreateCompatibleBitmap(src, w, h);
    if (!mem || !bmp) {
        if (bmp) DeleteObject(bmp);
        if (mem) DeleteDC(mem);
        return;
    }
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, src, x1, y1, SRCCOPY);
    SelectObject(mem, old);
    int bpp = GetDeviceCaps(src, PLANES) * GetDeviceCaps(src, BITSPIXEL);
    bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
    HPALETTE pal = gGdiSurfaceState.palette ? gGdiSurfaceState.palette
                                           : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    HPALETTE oldPal = SelectPalette(mem, pal, FALSE);
    RealizePalette(mem);
    std::vector<char> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bi = reinterpret_cast<BITMAPINFO*>(header.data());
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biWidth = w;
    bi->bmiHeader.biHeight = h;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = static_cast<WORD>(bpp);
    bi->bmiHeader.biCompression = BI_RGB;
    GetDIBits(mem, bmp, 0, static_cast<UINT>(h), nullptr, bi, DIB_RGB_COLORS);
    size_t image = bi->bmiHeader.biSizeImage;
    if (image == 0) {
        image = static_cast<size_t>((bpp * w + 31) / 32) * 4 * static_cast<size_t>(h);
        if (bi->bmiHeader.biCompression != BI_RGB)
            image += image / 2;
    }
    std::vector<char> bits(image);
    bool ok = GetDIBits(mem, bmp, 0, static_cast<UINT>(h), bits.data(), bi, DIB_RGB_COLORS) != 0;
    if (ok)
        ok = StretchDIBits(prn, 0, 0, gPrintJob.extentX, gPrintJob.extentY, 0, 0, w, h, bits.data(),
                           bi, DIB_RGB_COLORS, SRCCOPY) != static_cast<int>(GDI_ERROR);
    SelectPalette(mem, oldPal, FALSE);
    DeleteObject(bmp);
    DeleteDC(mem);
    status = ok ? 0 : 1;
}

void GdiPrintEnd()
{
    if (!gPrintJob.dc)
        return;
    EndPage(gPrintJob.dc);
    EndDoc(gPrintJob.dc);
    DeleteDC(gPrintJob.dc);
    gPrintJob = PrintJob{};
}
