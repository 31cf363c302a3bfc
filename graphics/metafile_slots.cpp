// The metafile slot table and the enhanced-metafile engine.
#include "graphics/metafile_slots.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/os_services.h"
#include "graphics/bitmaps.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "graphics/metafile_headers.h"

MetafileTable gMetafileTable;
EnhMetafileState gEnhMetafileState;

namespace {

// The memory metafile's hooks (MemoryMetafileHooksSet).
constinit MemoryMetafileHooks gMemoryHooks;

// Whether the memory metafile of SLOT has closed its picture; forgetting
// that picture when the slot is freed.
bool PictureClosed(int slot) { return gMemoryHooks.closed && gMemoryHooks.closed(slot); }
void PictureForget(int slot)
{
    if (gMemoryHooks.forget)
        gMemoryHooks.forget(slot);
}

bool SlotNumber(int slot) { return slot >= 1 && slot <= kMetafileSlotCount; }
bool Engine(int n) { return n >= 0 && n < kMetafileSlotCount; }
MetafileSlot& Slot(int slot) { return gMetafileTable.slot[static_cast<size_t>(slot - 1)]; }
EnhMetafileState& E() { return gEnhMetafileState; }

bool IsTarget(int slot)
{
    return gGraphicsState.targetKind == kTargetMetafileSlot && gGraphicsState.targetId == slot;
}

// Ends the recording of engine slot N; the target goes back to the window
// first when the slot is the drawing target.
void Close(int n)
{
    HDC dc = E().recording[static_cast<size_t>(n)];
    if (!dc)
        return;
    if (IsTarget(n + 1))
        DrawingTargetToWindow();
    if (gGdiSurfaceState.metafileDC == dc) {
        GdiSurfaceRelease();
        gGdiSurfaceState.metafileDC = nullptr;
    }
    E().recording[static_cast<size_t>(n)] = nullptr;
    HENHMETAFILE h = CloseEnhMetaFile(dc);
    if (E().closed[static_cast<size_t>(n)])
        DeleteEnhMetaFile(E().closed[static_cast<size_t>(n)]);
    E().closed[static_cast<size_t>(n)] = h;
}

std::string Trimmed(std::string_view s) { return std::string(TrimRight(s)); }

} // namespace

// ---- The slot table ---------------------------------------------------------------

void WMetafileDestroy(int slot)
{
    if (!SlotNumber(slot)) {
        YYErrorReport(kErrorMetafileHandle, "WMetafileDestroy");
        return;
    }
    MetafileSlot& s = Slot(slot);
    if (s.kind == kMetafileFree || s.inUse == 0)
        YYErrorReport(kErrorMetafileHandle, "WMetafileDestroy");
    if (IsTarget(slot))
        DrawingTargetToWindow();
    if (s.kind == kMetafileEnhanced) {
        EnhMetafileDelete(slot - 1);
    } else if (s.kind == kMetafileMemory) {
        s.memoryBuffer.clear();
        s.memoryBuffer.shrink_to_fit();
        PictureForget(slot);
    }
    s.kind = kMetafileFree;
    s.physicalWidth = 0;
    s.physicalHeight = 0;
    s.inUse = 0;
    s.memoryWord1 = 0;
    s.memoryWord2 = 0;
}

void MetafileSlotRelease(int slot)
{
    if (SlotNumber(slot) && Slot(slot).kind != kMetafileFree && Slot(slot).inUse != 0)
        WMetafileDestroy(slot);
}

void YYDrawableHandleInfo(int slot, int& status, int& width, int& height)
{
    status = 1;
    if (!SlotNumber(slot))
        return;
    const MetafileSlot& s = Slot(slot);
    if (s.inUse == 0)
        return;
    if (s.kind == kMetafileEnhanced) {
        width = s.pixelWidth;
        height = s.pixelHeight;
        gGraphicsState.memoryMetafileRouting = 0;
        EnhMetafileSelectTarget(slot - 1, width, height, status);
    } else if (s.kind == kMetafileMemory && !PictureClosed(slot)) {
        width = s.pixelWidth;
        height = s.pixelHeight;
        gGraphicsState.memoryMetafileRouting = 1;
        status = 0;
    }
}

void MetafileSlotWidths(int slot, int& physicalWidth, int& pixelWidth)
{
    physicalWidth = 0;
    pixelWidth = 0;
    if (!SlotNumber(slot) || Slot(slot).kind == kMetafileFree)
        return;
    physicalWidth = Slot(slot).physicalWidth;
    pixelWidth = Slot(slot).pixelWidth;
}

int MetafileSlotKind(int slot)
{
    return SlotNumber(slot) ? Slot(slot).kind : kMetafileFree;
}

HENHMETAFILE MetafileSlotCopy(int slot)
{
    if (!SlotNumber(slot) || Slot(slot).kind != kMetafileEnhanced)
        return nullptr;
    Close(slot - 1);
    HENHMETAFILE h = E().closed[static_cast<size_t>(slot - 1)];
    return h ? CopyEnhMetaFileA(h, nullptr) : nullptr;
}

// ---- The enhanced-metafile engine ----------------------------------------------------

void EnhMetafileCreate(int n, int width, int height, int& hPixels, int& vPixels, int& hMillimetres,
                       int& vMillimetres)
{
    hPixels = vPixels = hMillimetres = vMillimetres = 0;
    if (!Engine(n))
        return;
    const GdiPrinterSettings& p = gGdiPrinterSettings;
    HDC printer = (p.known && p.device[0]) ? CreateICA(p.driver, p.device, p.port, nullptr) : nullptr;
    HDC screen = printer ? nullptr : GetDC(nullptr);
    HDC reference = printer ? printer : screen;
    if (!reference)
        return;
    hPixels = GetDeviceCaps(reference, HORZRES);
    vPixels = GetDeviceCaps(reference, VERTRES);
    hMillimetres = GetDeviceCaps(reference, HORZSIZE);
    vMillimetres = GetDeviceCaps(reference, VERTSIZE);
    const RECT frame{0, 0, static_cast<LONG>(static_cast<int64_t>(width) * 2540 / 72),
                     static_cast<LONG>(static_cast<int64_t>(height) * 2540 / 72)};
    EnhMetafileDelete(n);
    E().recording[static_cast<size_t>(n)] = CreateEnhMetaFileA(reference, nullptr, &frame, nullptr);
    E().referenceDpi = GetDeviceCaps(reference, LOGPIXELSX);
    if (printer)
        DeleteDC(printer);
    else
        ReleaseDC(nullptr, screen);
}

void EnhMetafileSelectTarget(int n, int width, int height, int& status)
{
    status = 1;
    if (!Engine(n))
        return;
    HDC dc = E().recording[static_cast<size_t>(n)];
    if (!dc)
        return;
    SetWindowExtEx(dc, width, height, nullptr);
    gGdiSurfaceState.metafileDC = dc;
    gGdiSurfaceState.referenceDpi = E().referenceDpi;
    GdiSurfaceSelect(dc, nullptr);
    status = 0;
}

void EnhMetafileDelete(int n)
{
    if (!Engine(n))
        return;
    Close(n);
    if (E().closed[static_cast<size_t>(n)])
        DeleteEnhMetaFile(E().closed[static_cast<size_t>(n)]);
    E().closed[static_cast<size_t>(n)] = nullptr;
    E().recording[static_cast<size_t>(n)] = nullptr;
}

void EnhMetafileLoad(int n, int size, int& status, int& error, std::string_view file)
{
    status = 2;
    error = 0;
    if (!Engine(n))
        return;
    EnhMetafileDelete(n);
    const std::string name = Trimmed(file);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        status = 1;
        error = static_cast<int>(GetLastError());
        return;
    }
    LARGE_INTEGER length{};
    std::vector<uint8_t> bytes;
    DWORD read = 0;
    const bool sized = GetFileSizeEx(h, &length) != 0;
    if (!sized || size <= 0 || size > length.QuadPart) {
        error = sized ? 0 : static_cast<int>(GetLastError());
    } else {
        bytes.assign(static_cast<size_t>(size), 0);
        if (!ReadFile(h, bytes.data(), static_cast<DWORD>(size), &read, nullptr) || read != static_cast<DWORD>(size))
            error = static_cast<int>(GetLastError());
        else
            status = 0;
    }
    CloseHandle(h);
    if (status != 0)
        return;
    HENHMETAFILE made = EmfHeaderValid(bytes) ? SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()) : nullptr;
    if (!made) {
        status = 3;
        return;
    }
    E().closed[static_cast<size_t>(n)] = made;
}

void EnhMetafilePlay(int n, int left, int top, int right, int bottom)
{
    if (!Engine(n))
        return;
    Close(n);
    HENHMETAFILE h = E().closed[static_cast<size_t>(n)];
    HDC dc = gGdiSurfaceState.dc;
    if (!h || !dc)
        return;
    const RECT box{left, top, right, bottom};
    if (gGdiSurfaceState.clip)
        SelectClipRgn(dc, gGdiSurfaceState.clip);
    PlayEnhMetaFile(dc, h, &box);
    if (gGdiSurfaceState.clip)
        SelectClipRgn(dc, nullptr);
}

void EnhMetafileCopy(int n, int& status, int& error, std::string_view file)
{
    status = 1;
    error = 0;
    if (!Engine(n))
        return;
    Close(n);
    HENHMETAFILE h = E().closed[static_cast<size_t>(n)];
    if (!h)
        return;
    // The bytes are written here rather than by the platform's copy, which
    // takes a short write for a whole one.
    const UINT size = GetEnhMetaFileBits(h, 0, nullptr);
    std::vector<uint8_t> bytes(size);
    if (size == 0 || size > static_cast<UINT>(INT32_MAX) || GetEnhMetaFileBits(h, size, bytes.data()) != size) {
        error = ERROR_INVALID_DATA;
        return;
    }
    const std::string name = Trimmed(file);
    int handle = -1, written = 0;
    OsFileOpen(name.c_str(), 1, handle, error);
    if (handle == -1)
        return;
    OsFileWrite(handle, bytes.data(), static_cast<int>(size), written, error);
    OsFileClose(handle);
    if (error == 0)
        status = 0;
}

// ---- Internal creators ------------------------------------------------------------------

void MetafileSlotEnhancedCreate(int slot, int width, int height, int& status)
{
    status = kErrorMetafileHandle;
    if (!SlotNumber(slot))
        return;
    status = kErrorMetafileCreate;
    if (width < 1 || height < 1)
        return;
    if (Slot(slot).inUse)
        WMetafileDestroy(slot);
    int hp = 0, vp = 0, hm = 0, vm = 0;
    EnhMetafileCreate(slot - 1, width, height, hp, vp, hm, vm);
    if (!E().recording[static_cast<size_t>(slot - 1)] || hm <= 0 || vm <= 0)
        return;
    MetafileSlot& s = Slot(slot);
    // Points to pixels of the reference device: pixels per millimetre x
    // 25.4 / 72 per point.
    s.pixelWidth = std::max(1, static_cast<int>(static_cast<int64_t>(width) * hp * 254 / (static_cast<int64_t>(hm) * 720)));
    s.pixelHeight = std::max(1, static_cast<int>(static_cast<int64_t>(height) * vp * 254 / (static_cast<int64_t>(vm) * 720)));
    s.physicalWidth = width;
    s.physicalHeight = height;
    s.kind = kMetafileEnhanced;
    s.inUse = 1;
    status = kErrorNone;
}

void MetafileSlotEnhancedLoad(int slot, std::string_view file, int& status)
{
    status = kErrorMetafileHandle;
    if (!SlotNumber(slot))
        return;
    if (Slot(slot).inUse)
        WMetafileDestroy(slot);
    const std::string name = Trimmed(file);
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &a)) {
        status = kErrorFileOpen;
        return;
    }
    const uint64_t length = (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    const int size = length > 0x7FFFFFFF ? -1 : static_cast<int>(length);
    int engine = 0, error = 0;
    EnhMetafileLoad(slot - 1, size, engine, error, name);
    if (engine != 0) {
        status = engine == 1 ? kErrorFileOpen : engine == 2 ? kErrorFileReadWrite : kErrorMetafileFormat;
        return;
    }
    HENHMETAFILE h = E().closed[static_cast<size_t>(slot - 1)];
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(h, sizeof header, &header);
    MetafileSlot& s = Slot(slot);
    s.physicalWidth = static_cast<int>(static_cast<int64_t>(header.rclFrame.right - header.rclFrame.left) * 72 / 2540);
    s.physicalHeight = static_cast<int>(static_cast<int64_t>(header.rclFrame.bottom - header.rclFrame.top) * 72 / 2540);
    s.pixelWidth = header.rclBounds.right - header.rclBounds.left + 1;
    s.pixelHeight = header.rclBounds.bottom - header.rclBounds.top + 1;
    s.kind = kMetafileEnhanced;
    s.inUse = 1;
    status = kErrorNone;
}

void MemoryMetafileHooksSet(const MemoryMetafileHooks& hooks)
{
    gMemoryHooks = hooks;
}

void MemoryMetafileDeviceCall(int op)
{
    if (gMemoryHooks.driver)
        gMemoryHooks.driver(op);
}
