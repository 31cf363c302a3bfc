// The Windows metafile driver XXWMF and the metafile playback routine.
#include "hardcopy/driver_wmf.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/os_services.h"
#include "graphics/device_ops.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "graphics/metafile_headers.h"
#include "hardcopy/gdi_image.h"
#include "hardcopy/hardcopy_state.h"

MetafileDrawingState gMetafileDrawingState;

namespace {

constexpr char kCapability[] = "00000111111111100010011011110";
constexpr std::string_view kDefaultTitle = "Quillodrane graphic";
constexpr std::string_view kDescription = "KVB metafile driver";
// Plain and placeable metafiles count the points of one polygon or
// polyline record in a signed 16-bit word.
constexpr int kPolygonPoints = 32767;

MetafileDrawingState& M() { return gMetafileDrawingState; }
DeviceParameterBlock& B() { return gDeviceParameterBlock; }

bool Enhanced() { return M().outputKind == kMetafileEnhancedOutput; }

void Report(int code, int windowsError)
{
    gErrorState.osError = windowsError;
    gErrorState.osErrorKind = 2;
    YYErrorReport(code, "XXWMF");
}

int LastError(int fallback)
{
    const int e = static_cast<int>(GetLastError());
    return e != 0 ? e : fallback;
}

bool Ready()
{
    if (!M().dc)
        return false;
    gHardcopyState.pagePending = -1;
    return true;
}

GdiDriverRules Rules()
{
    const bool enhanced = Enhanced();
    return GdiDriverRules{kImageTargetMetafile, false, false, false, true,
                          enhanced, enhanced && M().systemDashes != 0, enhanced ? 0 : kPolygonPoints,
                          !enhanced, Ready};
}

void Initialise()
{
    HardcopyState& h = gHardcopyState;
    GraphicsState& g = gGraphicsState;
    YYHardcopyDefaults();
    h.option(1) = 756;
    h.option(2) = 540;
    h.resolutionX = 600;
    h.resolutionY = 600;
    g.hardcopyColours = 256;
    h.paletteSize = 256;
    GdiDriverCapabilities();
    h.option(27) = 1;
    h.option(29) = 0;
    std::copy_n(kCapability, kCapabilityLength, gDeviceCapabilityString[kHardcopySide].begin());
    PutText(gLibraryPaths.hardcopyFileName.span(), "");
    h.driverNumber = kDriverWindowsMetafile;
}

// The enhanced metafile's recording context on the default printer (when
// its settings were read) or the screen; the extents become pixels of that
// device. Returns the Windows error code, 0 on success.
int EnhancedCreate(const std::string& title)
{
    MetafileDrawingState& m = M();
    const GdiPrinterSettings& p = gGdiPrinterSettings;
    HDC printer = (gHardcopyState.printerAvailable && p.known && p.device[0])
                      ? CreateICA(p.driver, p.device, p.port, nullptr)
                      : nullptr;
    HDC screen = printer ? nullptr : GetDC(nullptr);
    HDC reference = printer ? printer : screen;
    if (!reference)
        return ERROR_INVALID_HANDLE;
    m.dashResolution = GetDeviceCaps(reference, LOGPIXELSX);
    const int64_t hres = GetDeviceCaps(reference, HORZRES), vres = GetDeviceCaps(reference, VERTRES);
    const int64_t hsize = std::max(GetDeviceCaps(reference, HORZSIZE), 1);
    const int64_t vsize = std::max(GetDeviceCaps(reference, VERTSIZE), 1);
    // Tenths of a point to pixels: x resolution x 25.4 / (size in mm x 720).
    m.extentW = static_cast<int>(std::min<int64_t>(m.extentW * hres * 254 / (hsize * 7200), INT32_MAX));
    m.extentH = static_cast<int>(std::min<int64_t>(m.extentH * vres * 254 / (vsize * 7200), INT32_MAX));
    std::string description(kDescription);
    description += '\0';
    description += title;
    description += '\0';
    description += '\0';
    const RECT frame{0, 0, m.frameW, m.frameH};
    SetLastError(0);
    m.dc = CreateEnhMetaFileA(reference, nullptr, &frame, description.c_str());
    const int error = m.dc ? 0 : LastError(ERROR_CANNOT_MAKE);
    if (printer)
        DeleteDC(printer);
    else
        ReleaseDC(nullptr, screen);
    m.systemDashes = gHardcopyState.option(29);
    return error;
}

// Creates the output file NAME; the library code with the Windows error in
// ERROR. The placeable kind writes its header first.
int FileCreate(const std::string& name, bool placeable, int& error)
{
    MetafileDrawingState& m = M();
    OsFileOpen(name.c_str(), 1, m.file, error);
    if (m.file == -1)
        return kErrorFileOpen;
    if (!placeable)
        return kErrorNone;
    const HardcopyState& h = gHardcopyState;
    const PlaceableExtent e = PlaceableExtentFor(h.options[1], h.options[2]);
    const auto header = PlaceableHeader(e.right, e.bottom, e.unitsPerInch);
    int written = 0;
    OsFileWrite(m.file, header.data(), static_cast<int>(header.size()), written, error);
    return error != 0 ? kErrorFileReadWrite : kErrorNone;
}

void BeginPlot()
{
    MetafileDrawingState& m = M();
    HardcopyState& h = gHardcopyState;
    GraphicsState& g = gGraphicsState;
    DeviceParameterBlock& b = B();
    if (b.M == 1 && !m.dc) {
        m.outputKind = h.option(27);
        if (h.titleGiven == 0)
            h.plotTitle = FixedText<200>(kDefaultTitle);
        m.clipboard = b.N == 1 ? 1 : 0;
        const std::string name(TrimRight(std::string_view(gDeviceTextBuffer.text.data(), kDeviceTextLength)));
        const std::string title(h.plotTitle.trimmed());
        const int width = std::max(h.option(1), 0), height = std::max(h.option(2), 0);
        m.frameW = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(width) * 10 * 254 / 72, INT32_MAX));
        m.frameH = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(height) * 10 * 254 / 72, INT32_MAX));
        m.unitDivisor = 1;
        m.extentW = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(width) * 10, INT32_MAX));
        m.extentH = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(height) * 10, INT32_MAX));
        // The file is made first, so that a name that cannot be written
        // ends the plot before anything is drawn; the metafile itself is
        // recorded in memory and written whole at the end of the plot.
        int code = kErrorNone, error = 0;
        if (!m.clipboard)
            code = FileCreate(name, !Enhanced() && m.outputKind != kMetafilePlain, error);
        if (code != kErrorNone) {
            // nothing more to make
        } else if (Enhanced()) {
            error = EnhancedCreate(title);
            code = error ? kErrorFileOpen : kErrorNone;
        } else {
            m.unitDivisor = MetafileUnitDivisor(width, height);
            m.extentW = static_cast<int>(static_cast<int64_t>(width) * 10 / m.unitDivisor);
            m.extentH = static_cast<int>(static_cast<int64_t>(height) * 10 / m.unitDivisor);
            m.dashResolution = 720 / m.unitDivisor;
            SetLastError(0);
            m.dc = CreateMetaFileA(nullptr);
            error = m.dc ? 0 : LastError(ERROR_CANNOT_MAKE);
            code = error ? kErrorFileOpen : kErrorNone;
            if (m.dc)
                SetMapMode(m.dc, MM_ANISOTROPIC);
        }
        if (code != kErrorNone || !m.dc) {
            Report(code != kErrorNone ? code : kErrorFileOpen, error);
            m.dc = nullptr;
            if (m.file != -1)
                OsFileClose(m.file);
            m.file = -1;
            m.outputKind = 0;
            g.hardcopyOpen = 0;
            return;
        }
        SetWindowExtEx(m.dc, m.extentW + 1, m.extentH + 1, nullptr);
        SelectClipRgn(m.dc, nullptr);
        SetBkMode(m.dc, TRANSPARENT);
        m.penColour = m.penStyle = m.penWidthMade = -1;
        if (Enhanced())
            m.widthRatio = width > 0 ? static_cast<float>(m.extentW) / (static_cast<float>(width) * 10.0f) : 1.0f;
        GdiDriverDashScale(m);
        m.pageHeight = m.extentH;
        m.current = {255, 255, 255};
        ImageMetafileTargetSet(m.dc, m.clip);
    }
    const double w = static_cast<double>(g.targetWidth) - 0.01, ht = static_cast<double>(g.targetHeight) - 0.01;
    h.scaleX = w > 0.0 ? SaturateToFloat(m.extentW / w) : 1.0f;
    h.scaleY = ht > 0.0 ? SaturateToFloat(m.extentH / ht) : 1.0f;
}

// The clipboard takes the metafile; the library code.
int ToClipboard(HENHMETAFILE enhanced, HMETAFILE plain, bool& kept)
{
    MetafileDrawingState& m = M();
    kept = false;
    if (!OpenClipboard(nullptr))
        return kErrorClipboardAccess;
    EmptyClipboard();
    if (enhanced) {
        kept = SetClipboardData(CF_ENHMETAFILE, enhanced) != nullptr;
    } else if (plain) {
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
        auto* pict = g ? static_cast<METAFILEPICT*>(GlobalLock(g)) : nullptr;
        if (pict) {
            pict->mm = MM_ANISOTROPIC;
            pict->xExt = m.frameW;
            pict->yExt = m.frameH;
            pict->hMF = CopyMetaFileA(plain, nullptr);
            GlobalUnlock(g);
            if (!SetClipboardData(CF_METAFILEPICT, g)) {
                DeleteMetaFile(pict->hMF);
                GlobalFree(g);
            }
        } else if (g) {
            GlobalFree(g);
        }
    }
    CloseClipboard();
    return kErrorNone;
}

// Writes BYTES (SIZE of them, none when the metafile gave none) to the
// output file and closes it; a short write is a failed write. The library
// code with the Windows error in ERROR.
int FileFinish(const uint8_t* bytes, UINT size, int& error)
{
    MetafileDrawingState& m = M();
    int code = kErrorNone;
    int written = 0;
    if (size == 0 || size > static_cast<UINT>(INT32_MAX)) {
        error = ERROR_INVALID_DATA;
        code = kErrorFileReadWrite;
    } else {
        OsFileWrite(m.file, bytes, static_cast<int>(size), written, error);
        if (error != 0)
            code = kErrorFileReadWrite;
    }
    OsFileClose(m.file);
    m.file = -1;
    return code;
}

void EndPlot()
{
    MetafileDrawingState& m = M();
    if (!m.dc)
        return;
    GdiDriverRelease(m);
    ImageMetafileTargetSet(nullptr, nullptr);
    int code = kErrorNone, error = 0;
    SetLastError(0);
    if (Enhanced()) {
        HENHMETAFILE e = CloseEnhMetaFile(m.dc);
        if (!e) {
            code = kErrorFileClose;
            error = LastError(ERROR_INVALID_HANDLE);
        } else {
            bool kept = false;
            if (m.clipboard) {
                code = ToClipboard(e, nullptr, kept);
            } else if (m.file != -1) {
                const UINT size = GetEnhMetaFileBits(e, 0, nullptr);
                std::vector<uint8_t> bytes(size);
                const bool got = size != 0 && GetEnhMetaFileBits(e, size, bytes.data()) == size;
                code = FileFinish(bytes.data(), got ? size : 0, error);
            }
            if (!kept)
                DeleteEnhMetaFile(e);
        }
    } else {
        HMETAFILE w = CloseMetaFile(m.dc);
        if (!w) {
            code = kErrorFileClose;
            error = LastError(ERROR_INVALID_HANDLE);
        } else {
            bool kept = false;
            if (m.clipboard) {
                code = ToClipboard(nullptr, w, kept);
            } else if (m.file != -1) {
                const UINT size = GetMetaFileBitsEx(w, 0, nullptr);
                std::vector<uint8_t> bytes(size);
                const bool got = size != 0 && GetMetaFileBitsEx(w, size, bytes.data()) == size;
                code = FileFinish(bytes.data(), got ? size : 0, error);
            }
            DeleteMetaFile(w);
        }
    }
    if (m.file != -1) {
        OsFileClose(m.file);
        m.file = -1;
    }
    m.dc = nullptr;
    m.outputKind = 0;
    if (code != kErrorNone)
        Report(code, error);
}

void LineWidth()
{
    MetafileDrawingState& m = M();
    const int option = gHardcopyState.option(9);
    if (Enhanced()) {
        m.penWidth = TruncateToInt(static_cast<double>(option) * m.widthRatio);
    } else {
        m.penWidth = option / std::max(m.unitDivisor, 1);
    }
    GdiDriverDashScale(m);
}

} // namespace

void XXWMF(int op)
{
    DeviceParameterBlock& b = B();
    if (op == DeviceOp::kInitialise && b.N == kDriverNumberQuery) {
        b.N = kDriverWindowsMetafile;
        return;
    }
    switch (op) {
    case DeviceOp::kInitialise: Initialise(); return;
    case DeviceOp::kBeginPlot: BeginPlot(); return;
    case DeviceOp::kEndPlot: EndPlot(); return;
    case DeviceOp::kEndPage: gHardcopyState.pagePending = 0; return;
    case DeviceOp::kLineWidth: LineWidth(); return;
    case DeviceOp::kClip:
    case DeviceOp::kTextWidth:
        if (!Enhanced())
            return; // plain metafiles keep no clip and measure no text
        break;
    default: break;
    }
    const GdiDriverRules rules = Rules();
    GdiDriverOperation(M(), rules, op);
    if (op == DeviceOp::kClip)
        ImageMetafileTargetSet(M().dc, M().clip);
}

// ---- Playback ------------------------------------------------------------------------

namespace {

bool FileBytes(const std::string& name, std::vector<uint8_t>& bytes)
{
    HANDLE f = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart >= 0 && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        bytes.assign(static_cast<size_t>(size.QuadPart), 0);
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(f);
    return ok;
}

HDC TargetContext(int target, HRGN& clip, int& originX, int& originY)
{
    clip = nullptr;
    originX = originY = 0;
    switch (target) {
    case 0: clip = gGdiSurfaceState.clip; return gGdiSurfaceState.dc;
    case 10: {
        HDC dc = PrinterDrawingContext(clip);
        originX = gPrinterDrawingState.originX;
        originY = gPrinterDrawingState.originY;
        return dc;
    }
    case 11: clip = M().clip; return M().dc;
    default: return nullptr;
    }
}

} // namespace

void MetafilePlayToTarget(int sourceKind, int x1, int y1, int x2, int y2, int target, int rotation, int dx,
                          int dy, int& result, std::string_view file)
{
    result = kErrorNone;
    HRGN clip = nullptr;
    int originX = 0, originY = 0;
    HDC dc = TargetContext(target, clip, originX, originY);
    if (!dc || x2 == x1 || y2 == y1)
        return;
    const std::string name(TrimRight(file));
    std::vector<uint8_t> bytes;
    HENHMETAFILE enhanced = nullptr;
    HMETAFILE plain = nullptr;
    if (name.size() == 1) {
        if (!OpenClipboard(nullptr)) {
            result = kErrorClipboardAccess;
            return;
        }
        HENHMETAFILE e = IsClipboardFormatAvailable(CF_ENHMETAFILE)
                             ? static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE))
                             : nullptr;
        enhanced = e ? CopyEnhMetaFileA(e, nullptr) : nullptr;
        CloseClipboard();
        if (!enhanced) {
            result = kErrorClipboardType;
            return;
        }
    } else {
        if (!FileBytes(name, bytes)) {
            result = kErrorFileOpen;
            return;
        }
        std::span<const uint8_t> data(bytes);
        if (sourceKind == 2) {
            enhanced = EmfHeaderValid(data) ? SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data()) : nullptr;
        } else {
            if (sourceKind == 1) {
                if (!PlaceableHeaderValid(data)) {
                    result = kErrorFileReadWrite;
                    return;
                }
                data = data.subspan(kPlaceableHeaderSize);
            }
            plain = WmfHeaderValid(data) ? SetMetaFileBitsEx(static_cast<UINT>(data.size()), data.data()) : nullptr;
        }
        if (!enhanced && !plain) {
            result = kErrorFileReadWrite;
            return;
        }
    }

    const int saved = SaveDC(dc);
    if (clip)
        SelectClipRgn(dc, clip);
    const bool turned = gLibraryState.ntFamily && (rotation == 90 || rotation == 180 || rotation == 270);
    if (turned) {
        SetGraphicsMode(dc, GM_ADVANCED);
        XFORM x{};
        x.eM11 = rotation == 180 ? -1.0f : 0.0f;
        x.eM12 = rotation == 90 ? -1.0f : rotation == 270 ? 1.0f : 0.0f;
        x.eM21 = rotation == 90 ? 1.0f : rotation == 270 ? -1.0f : 0.0f;
        x.eM22 = rotation == 180 ? -1.0f : 0.0f;
        x.eDx = static_cast<float>(dx);
        x.eDy = static_cast<float>(dy);
        SetWorldTransform(dc, &x);
    }
    if (enhanced) {
        const RECT box{x1, y1, x2, y2};
        PlayEnhMetaFile(dc, enhanced, &box);
        DeleteEnhMetaFile(enhanced);
    } else {
        SetMapMode(dc, MM_ANISOTROPIC);
        if (target == 11 && !Enhanced()) {
            // Into a plain metafile: its own window extent W x H stays, the
            // picture is moved and scaled by the viewport.
            const int64_t W = static_cast<int64_t>(M().extentW) + 1, H = static_cast<int64_t>(M().extentH) + 1;
            const int64_t ox = -(static_cast<int64_t>(x1) * W / (static_cast<int64_t>(x2) - x1));
            const int64_t oy = -(static_cast<int64_t>(y1) * H / (static_cast<int64_t>(y2) - y1));
            SetWindowOrgEx(dc, static_cast<int>(std::clamp<int64_t>(ox, INT32_MIN, INT32_MAX)),
                           static_cast<int>(std::clamp<int64_t>(oy, INT32_MIN, INT32_MAX)), nullptr);
            ScaleViewportExtEx(dc, x2 - x1 + 1, static_cast<int>(W), y2 - y1 + 1, static_cast<int>(H), nullptr);
        } else {
            SetViewportOrgEx(dc, x1 - originX, y1 - originY, nullptr);
            SetViewportExtEx(dc, x2 - x1 + 1, y2 - y1 + 1, nullptr);
        }
        PlayMetaFile(dc, plain);
        DeleteMetaFile(plain);
    }
    if (turned) {
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
        SetGraphicsMode(dc, GM_COMPATIBLE);
    }
    RestoreDC(dc, saved);
}
