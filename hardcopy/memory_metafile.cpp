// The memory metafile: its life cycle, its driver and its byte buffer.
#include "hardcopy/memory_metafile.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/numeric.h"
#include "core/os_services.h"
#include "core/window_table.h"
#include "graphics/bitmaps.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/metafile_slots.h"
#include "graphics/text_state.h"
#include "hardcopy/cgm_encoding.h"

namespace {

constexpr char kCapability[] = "00000110111111100010011011100";
constexpr std::size_t kEndReserve = 4; // END PICTURE and END METAFILE

enum PictureState { kCreated = 0, kOpen = 1, kClosed = 2 };

struct MemoryPicture {
    int state = kCreated;
    CgmAttributeCache cache;
};
std::array<MemoryPicture, kMetafileSlotCount> gPictures;
CgmRgb gColour; // the current colour, set by DeviceOps 3 and 35

bool SlotNumber(int slot) { return slot >= 1 && slot <= kMetafileSlotCount; }
MetafileSlot& Slot(int slot) { return gMetafileTable.slot[static_cast<std::size_t>(slot - 1)]; }
MemoryPicture& Picture(int slot) { return gPictures[static_cast<std::size_t>(slot - 1)]; }
bool IsMemory(int slot)
{
    return SlotNumber(slot) && Slot(slot).kind == kMetafileMemory && Slot(slot).inUse != 0;
}
bool IsTarget(int slot)
{
    const GraphicsState& g = gGraphicsState;
    return g.targetKind == kTargetMetafileSlot && g.targetId == slot && g.memoryMetafileRouting != 0;
}

// A slot's buffer as a CGM sink: an element that does not fit is taken back
// whole and reported.
class SlotSink : public CgmSink {
public:
    void Bind(int slot, bool closing)
    {
        slot_ = slot;
        closing_ = closing;
        dropped_ = false;
        start_ = Slot(slot).memoryBuffer.size();
    }
    bool Put(const std::uint8_t* bytes, std::size_t n) override
    {
        if (!dropped_ && !YYGCGM1(slot_, bytes, n, closing_))
            dropped_ = true;
        return !dropped_;
    }
    void ElementEnd() override
    {
        MetafileSlot& s = Slot(slot_);
        if (dropped_) {
            s.memoryBuffer.resize(start_);
            s.memoryWord2 = static_cast<int>(start_);
            YYErrorReport(kErrorMetafileFull, "YYGCGM1");
        }
        dropped_ = false;
        start_ = s.memoryBuffer.size();
    }

private:
    int slot_ = 1;
    bool closing_ = false;
    bool dropped_ = false;
    std::size_t start_ = 0;
};

SlotSink gSink;
CgmWriter gWriter(gSink);

// The writer bound to SLOT.
CgmWriter& Writer(int slot, bool closing = false)
{
    gSink.Bind(slot, closing);
    return gWriter;
}

CgmHead HeadOf(int slot)
{
    CgmHead head;
    head.vdcWidth = Slot(slot).pixelWidth;
    head.vdcHeight = Slot(slot).pixelHeight;
    return head;
}

void Open(int slot)
{
    CgmMetafileHead(Writer(slot), HeadOf(slot));
    Picture(slot).state = kOpen;
    Picture(slot).cache.Reset();
}

void Close(int slot)
{
    if (Picture(slot).state == kCreated)
        Open(slot);
    if (Picture(slot).state == kOpen) {
        CgmWriter& w = Writer(slot, true);
        CgmEndPicture(w);
        CgmEndMetafile(w);
    }
    Picture(slot).state = kClosed;
}

double Ratio(double a, double b) { return b != 0.0 ? a / b : 0.0; }

// Tenths of the slot's physical unit (the metafile line width) in VDC.
int WidthVdc(int slot)
{
    const MetafileSlot& s = Slot(slot);
    const std::int64_t physical = std::max(s.physicalWidth, 1);
    return CgmVdc(static_cast<double>(std::int64_t(gGraphicsState.metafileLineWidth) * s.pixelWidth / (physical * 10)));
}

// Width over height of the slot's physical size.
double MetafileAspect(int slot)
{
    return Ratio(Slot(slot).physicalWidth, Slot(slot).physicalHeight);
}

void Capabilities()
{
    DeviceCapabilityWords& w = gDeviceCapabilityWords;
    TextState& t = gTextState;
    std::copy_n(kCapability, kCapabilityLength, gDeviceCapabilityString[kScreenSide].begin());
    w.angleLimit[kScreenSide] = 360;
    w.trueColour[kScreenSide] = 1;
    w.gradient[kScreenSide] = 2;
    w.textKind[kScreenSide] = 2;
    t.deviceCharset[kScreenSide] = 8;
    t.rotation[kScreenSide] = 360;
    t.deviceProportional[kScreenSide] = 1;
    t.sizeLimit[kScreenSide] = kNoTextSizeLimit;
}

void TextScales()
{
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    const double sx = Ratio(g.targetLimit[0], static_cast<double>(t.charWidth) * g.orientedAreaSize[0]);
    const double sy = Ratio(g.targetLimit[1], static_cast<double>(t.charHeight) * g.orientedAreaSize[1]);
    t.textScaleX = sx > 0.0 ? SaturateToFloat(sx) : 1.0f;
    t.textScaleY = sy > 0.0 ? SaturateToFloat(sy) : 1.0f;
}

CgmEllipseRequest EllipseOf(int slot)
{
    const DeviceParameterBlock& b = gDeviceParameterBlock;
    const GraphicsState& g = gGraphicsState;
    CgmEllipseRequest e;
    e.cx = b.IX[0];
    e.cy = b.IY[0];
    e.px = CgmVdc(static_cast<double>(b.IX[0]) + b.IX[1]);
    e.py = b.IY[0];
    e.qx = b.IX[0];
    const double ry = static_cast<double>(b.X[2]) * b.X[1] * MetafileAspect(slot) *
                      Ratio(g.targetLimit[1], g.targetLimit[0]) * Ratio(g.areaFractionSize[1], g.areaFractionSize[0]);
    e.qy = CgmVdc(static_cast<double>(b.IY[0]) + TruncateToInt(ry));
    return e;
}

void Fill(int slot, CgmWriter& w)
{
    CgmColourIfChanged(w, CgmElement::kFillColour, Picture(slot).cache.fillColour, CgmFillColour(gColour, 0));
}

void Draw(int slot, int op)
{
    const GraphicsState& g = gGraphicsState;
    const TextState& t = gTextState;
    DeviceParameterBlock& b = gDeviceParameterBlock;
    CgmAttributeCache& cache = Picture(slot).cache;
    CgmWriter& w = Writer(slot);
    const CgmScale unit;
    switch (op) {
    case DeviceOp::kLine:
    case DeviceOp::kPoint: {
        const int last = op == DeviceOp::kLine ? 1 : 0;
        CgmColourIfChanged(w, CgmElement::kLineColour, cache.lineColour, gColour);
        const int x[2] = {b.IX[0], b.IX[static_cast<std::size_t>(last)]};
        const int y[2] = {b.IY[0], b.IY[static_cast<std::size_t>(last)]};
        CgmPolylines(w, x, y);
        break;
    }
    case DeviceOp::kEllipseOutline: {
        CgmEllipseRequest e = EllipseOf(slot);
        e.outline = true;
        e.edge = gColour;
        e.edgeType = CgmLineType(g.lineStyle);
        e.edgeWidth = WidthVdc(slot);
        CgmEllipse(w, cache, e);
        break;
    }
    case DeviceOp::kEllipseHalftone:
    case DeviceOp::kEllipseSolid:
        Fill(slot, w);
        CgmEllipse(w, cache, EllipseOf(slot));
        break;
    case DeviceOp::kQuadHalftone:
    case DeviceOp::kQuadSolid:
    case DeviceOp::kTriangleHalftone:
    case DeviceOp::kTriangleSolid: {
        const std::size_t n = op <= DeviceOp::kQuadSolid ? 4 : 3;
        Fill(slot, w);
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmPolygonInt(w, std::span<const int>(b.IX.data(), n), std::span<const int>(b.IY.data(), n));
        break;
    }
    case DeviceOp::kRectangleHalftone:
    case DeviceOp::kRectangleSolid: {
        const auto& a = g.integerArea;
        Fill(slot, w);
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmRectangle(w, std::max(b.IX[0], a[0]), std::max(b.IY[0], a[1]), std::min(b.IX[1], a[2]),
                     std::min(b.IY[1], a[3]));
        break;
    }
    case DeviceOp::kSectorHalftone:
    case DeviceOp::kSectorSolid:
        Fill(slot, w);
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmDeviceSector(w, unit, Ratio(b.Y[1], g.aspect) * MetafileAspect(slot));
        break;
    case DeviceOp::kPolygonHalftone:
    case DeviceOp::kPolygonSolid:
        Fill(slot, w);
        CgmIntElement(w, CgmElement::kInteriorStyle, {1});
        CgmDevicePolygon(w, unit, b.N);
        break;
    case DeviceOp::kEndPlot: Close(slot); break;
    case DeviceOp::kFont:
        CgmIntIfChanged(w, CgmElement::kTextFontIndex, cache.fontIndex, CgmFontIndex(t.family, t.style, t.spacing));
        CgmIntIfChanged(w, CgmElement::kCharacterHeight, cache.charHeight,
                        std::max(1, CgmVdc(0.55 * t.charHeight * g.orientedAreaSize[1])));
        break;
    case DeviceOp::kText: {
        CgmRgb previous = CgmPreviousColour(0);
        CgmDeviceText(w, cache, unit, 1.0, gColour, previous);
        break;
    }
    case DeviceOp::kClip: {
        const auto& a = g.integerArea;
        CgmIntElement(w, CgmElement::kClipIndicator, {1});
        w.Begin(CgmElement::kClipRectangle);
        w.Point(a[0], a[1]);
        w.Point(a[2], a[3]);
        w.End();
        break;
    }
    case DeviceOp::kLineStyle: CgmIntElement(w, CgmElement::kLineType, {CgmLineType(g.lineStyle)}); break;
    case DeviceOp::kLineWidth: CgmIntElement(w, CgmElement::kLineWidth, {WidthVdc(slot)}); break;
    case DeviceOp::kPolyline:
        CgmColourIfChanged(w, CgmElement::kLineColour, cache.lineColour, gColour);
        CgmDevicePolyline(w, unit, b.N);
        break;
    case DeviceOp::kTextAngle:
        CgmCharacterOrientation(w, CgmOrientationOf(static_cast<double>(t.charWidth) * g.orientedAreaSize[0],
                                                     t.deviceCos, t.deviceSinK, t.deviceSinByK));
        break;
    case DeviceOp::kImageFile: {
        const auto& a = g.integerArea;
        if (!CgmDeviceImage(w, {a[0], a[3], a[2], a[1], a[2], a[3]}, 0))
            b.M = kErrorMetafileFull;
        break;
    }
    case DeviceOp::kShadedPolygon: CgmDeviceShaded(w, unit, 0); break;
    default: break; // 17, 20, 23, 25, 27, 28, 34, 36, 37 write nothing
    }
}

} // namespace

bool YYGCGM1(int slot, const std::uint8_t* bytes, std::size_t n, bool closing)
{
    if (!IsMemory(slot))
        return false;
    MetafileSlot& s = Slot(slot);
    const std::size_t capacity = static_cast<std::size_t>(std::max(s.memoryWord1, 0));
    const std::size_t limit = closing ? capacity : capacity - std::min(capacity, kEndReserve);
    const std::size_t fill = s.memoryBuffer.size();
    if (n > limit || fill > limit - n)
        return false;
    s.memoryBuffer.insert(s.memoryBuffer.end(), bytes, bytes + n);
    s.memoryWord2 = static_cast<int>(s.memoryBuffer.size());
    return true;
}

void YYCGMMemoryDriver(int op)
{
    const GraphicsState& g = gGraphicsState;
    switch (op) {
    case DeviceOp::kInitialise: Capabilities(); return;
    case DeviceOp::kReadPixel: gDeviceParameterBlock.IX[0] = -1; return;
    case DeviceOp::kColour:
    case DeviceOp::kReloadPalette: gColour = CgmCurrentColour(0); return;
    default: break;
    }
    const int slot = g.targetId;
    if (g.targetKind != kTargetMetafileSlot || !IsMemory(slot))
        return;
    MemoryPicture& p = Picture(slot);
    switch (op) {
    case DeviceOp::kBeginPlot: p.cache.Reset(); return;
    case DeviceOp::kOpenMemoryMetafile:
        if (p.state == kCreated)
            Open(slot);
        return;
    case DeviceOp::kFont: TextScales(); break;
    default: break;
    }
    if (p.state == kOpen)
        Draw(slot, op);
}

int MemoryMetafileMinimumCapacity()
{
    CgmVectorSink sink;
    CgmWriter w(sink);
    CgmMetafileHead(w, CgmHead{});
    return static_cast<int>(sink.bytes.size() + kEndReserve);
}

std::span<const std::uint8_t> MemoryMetafileBytes(int slot)
{
    if (!IsMemory(slot))
        return {};
    return Slot(slot).memoryBuffer;
}

bool MemoryMetafileClosed(int slot)
{
    return SlotNumber(slot) && Picture(slot).state == kClosed;
}

void MemoryMetafileForget(int slot)
{
    if (SlotNumber(slot))
        Picture(slot) = MemoryPicture{};
}

int WMetafileCgmCreate(int width, int height, int capacity)
{
    constexpr std::string_view kName = "WMetafileCgmCreate";
    int slot = 1;
    while (slot <= kMetafileSlotCount && (Slot(slot).kind != kMetafileFree || Slot(slot).inUse != 0))
        ++slot;
    if (width <= 0 || height <= 0 || capacity < MemoryMetafileMinimumCapacity() || slot > kMetafileSlotCount) {
        YYErrorReport(kErrorMetafileCreate, kName);
        return 0;
    }
    MetafileSlot& s = Slot(slot);
    try {
        s.memoryBuffer.clear();
        s.memoryBuffer.reserve(static_cast<std::size_t>(capacity));
    } catch (const std::bad_alloc&) {
        s.memoryBuffer = {};
        YYErrorReport(kErrorMetafileCreate, kName);
        return 0;
    }
    CgmVdcExtent(width, height, s.pixelWidth, s.pixelHeight);
    s.physicalWidth = width;
    s.physicalHeight = height;
    s.kind = kMetafileMemory;
    s.inUse = 1;
    s.memoryWord1 = capacity;
    s.memoryWord2 = 0;
    Picture(slot) = MemoryPicture{};
    return slot;
}

void WMetafileCgmBegin(int slot)
{
    if (!IsMemory(slot) || Picture(slot).state == kClosed) {
        YYErrorReport(kErrorMetafileHandle, "WMetafileCgmBegin");
        return;
    }
    if (!IsTarget(slot))
        IGrSelect(kTargetMetafileSlot, &slot);
    if (!IsTarget(slot) || Picture(slot).state != kCreated)
        return;
    // Until the picture is open nothing is written: the drawing state that
    // the selection sent is sent again after the descriptor.
    for (int op : {DeviceOp::kOpenMemoryMetafile, DeviceOp::kBeginPlot, DeviceOp::kLineWidth, DeviceOp::kLineStyle,
                   DeviceOp::kReloadPalette, DeviceOp::kClip, DeviceOp::kFont})
        YYScreenDeviceCall(op);
}

void WMetafileCgmClose(int slot)
{
    if (!IsMemory(slot)) {
        YYErrorReport(kErrorMetafileHandle, "WMetafileCgmClose");
        return;
    }
    if (IsTarget(slot))
        DrawingTargetToWindow();
    Close(slot);
}

namespace {

int ToClipboard(std::span<const std::uint8_t> bytes)
{
    UINT format = gWindowSystem.cgmClipboardFormat;
    if (!format)
        format = RegisterClipboardFormatA("Quillodrane CGM");
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::max<SIZE_T>(bytes.size(), 1));
    void* p = h ? GlobalLock(h) : nullptr;
    if (!p) {
        if (h)
            GlobalFree(h);
        return kErrorClipboardAccess;
    }
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(p));
    GlobalUnlock(h);
    if (!format || !OpenClipboard(nullptr)) {
        GlobalFree(h);
        return kErrorClipboardAccess;
    }
    EmptyClipboard();
    const bool kept = SetClipboardData(format, h) != nullptr;
    CloseClipboard();
    if (!kept) {
        GlobalFree(h);
        return kErrorClipboardAccess;
    }
    return kErrorNone;
}

int ToFile(std::string_view file, std::span<const std::uint8_t> bytes, int& err)
{
    std::string name(TrimRight(file));
    int handle = -1;
    OsFileOpen(name.c_str(), 1, handle, err);
    if (handle == -1)
        return kErrorFileOpen;
    int written = 0;
    OsFileWrite(handle, bytes.data(), static_cast<int>(bytes.size()), written, err);
    OsFileClose(handle);
    return written == static_cast<int>(bytes.size()) ? kErrorNone : kErrorFileReadWrite;
}

} // namespace

void WMetafileCgmSave(int slot, std::string_view file)
{
    constexpr std::string_view kName = "WMetafileCgmSave";
    if (!IsMemory(slot)) {
        YYErrorReport(kErrorMetafileHandle, kName);
        return;
    }
    if (Picture(slot).state != kClosed)
        WMetafileCgmClose(slot);
    const std::span<const std::uint8_t> bytes = MemoryMetafileBytes(slot);
    int err = 0;
    const int code = TrimRight(file).empty() ? ToClipboard(bytes) : ToFile(file, bytes, err);
    if (code == kErrorNone)
        return;
    if (err != 0) {
        gErrorState.osError = err;
        gErrorState.osErrorKind = 2;
    }
    YYErrorReport(code, kName);
}

namespace {

// Installed while the program starts (every memory metafile is created in
// this file): the slot table and the screen router reach the pictures here.
const bool gHooksInstalled = (MemoryMetafileHooksSet({.driver = YYCGMMemoryDriver,
                                                      .closed = MemoryMetafileClosed,
                                                      .forget = MemoryMetafileForget}),
                              true);

} // namespace
