// Metafile slots: the one table of the 20 drawing targets of kind 4. A slot
// holds an enhanced metafile that records what the screen driver draws
// (kind 3) or a memory metafile, a binary CGM picture that the
// memory-metafile driver writes into the slot's buffer (kind 6). Here: the
// table, selecting a slot as the drawing target, discarding a slot, and the
// enhanced-metafile engine (create, select, close, delete, load, play,
// copy), whose routines take the 0-based slot n.
//
// The memory metafile (hardcopy/memory_metafile.h, built on the CGM encoding
// of the hardcopy layer) builds on this table: its creator fills a free slot
// with kind 6, the pixel and physical size and its buffer; selection turns
// its routing on (not once its picture is closed), and destroying a slot
// frees that buffer. It reaches the table's engine through the hooks below.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/library_state.h"

// Slot kinds.
constexpr int kMetafileFree = 0;
constexpr int kMetafileEnhanced = 3;
constexpr int kMetafileMemory = 6;

struct MetafileSlot {
    int physicalWidth = 0;  // physical size of the picture (points for kind 3)
    int physicalHeight = 0;
    int pixelWidth = 0;     // size in device units of the slot
    int pixelHeight = 0;
    int kind = kMetafileFree;
    int inUse = 0;
    // Kind 6 only: the memory metafile's two words (capacity and fill level)
    // and its byte buffer of fixed capacity (reserved by its creator, never
    // enlarged).
    int memoryWord1 = 0;
    int memoryWord2 = 0;
    std::vector<uint8_t> memoryBuffer;
};

struct MetafileTable {
    std::array<MetafileSlot, kMetafileSlotCount> slot{}; // slot 1 at index 0
};
extern MetafileTable gMetafileTable;

// The enhanced-metafile engine's words per 0-based slot.
struct EnhMetafileState {
    std::array<HDC, kMetafileSlotCount> recording{};          // nullptr: not recording
    std::array<HENHMETAFILE, kMetafileSlotCount> closed{};    // the closed or loaded metafile
    int referenceDpi = 0; // horizontal dots per inch of the last reference device
};
extern EnhMetafileState gEnhMetafileState;

// Public: discards slot 1..20. Outside 1..20: error 1060 under
// "WMetafileDestroy", nothing changed; a free slot: 1060, then cleared. A
// slot that is the drawing target gives the target back to the window first.
void WMetafileDestroy(int slot);
// Slot 1..20 as the drawing target (IGrSelect kind 4): STATUS 1 for a bad,
// free or unselectable slot, else 0 with the slot's pixel size; sets the
// memory-metafile routing for kind 6.
void YYDrawableHandleInfo(int slot, int& status, int& width, int& height);
// Physical width and pixel width of slot 1..20 (0 and 0 when free).
void MetafileSlotWidths(int slot, int& physicalWidth, int& pixelWidth);
// Kind of slot 1..20 (0 free or out of range).
int MetafileSlotKind(int slot);
// A copy of the enhanced metafile of slot 1..20 (closed first), nullptr
// when it has none. The caller deletes it.
HENHMETAFILE MetafileSlotCopy(int slot);
// Discards slot 1..20 when it is in use (library shut-down).
void MetafileSlotRelease(int slot);

// Enhanced-metafile engine. WIDTH and HEIGHT of the creation in points; the
// reference device's resolution in pixels and size in millimetres come back.
void EnhMetafileCreate(int n, int width, int height, int& hPixels, int& vPixels, int& hMillimetres,
                       int& vMillimetres);
void EnhMetafileSelectTarget(int n, int width, int height, int& status);
void EnhMetafileDelete(int n);
// STATUS 0 loaded; 1 the file cannot be opened (ERROR the system error); 2
// SIZE is not above 0, beyond the file or not read; 3 not an enhanced
// metafile, or the platform makes none of the bytes.
void EnhMetafileLoad(int n, int size, int& status, int& error, std::string_view file);
void EnhMetafilePlay(int n, int left, int top, int right, int bottom);
// Writes the closed metafile of N as the file FILE: STATUS 0 written; 1
// nothing to write, or the file cannot be made or written whole (ERROR the
// system error).
void EnhMetafileCopy(int n, int& status, int& error, std::string_view file);

// Internal creators of a kind-3 slot (1..20), for tests: a new recording
// metafile of WIDTH x HEIGHT points, or a metafile file loaded whole.
// STATUS: a library code (kErrorMetafileCreate, kErrorMetafileHandle,
// kErrorMetafileFormat, kErrorFileOpen, kErrorFileReadWrite), kErrorNone on
// success.
void MetafileSlotEnhancedCreate(int slot, int width, int height, int& status);
void MetafileSlotEnhancedLoad(int slot, std::string_view file, int& status);

// What the table needs of the memory metafile above it, installed by
// hardcopy/memory_metafile.cpp while the program starts (the only creator of
// kind-6 slots, so that without it no such slot exists): its driver, which
// the screen router calls while a memory metafile is the target, and the
// state of a slot's picture.
struct MemoryMetafileHooks {
    void (*driver)(int op) = nullptr;     // YYCGMMemoryDriver
    bool (*closed)(int slot) = nullptr;   // MemoryMetafileClosed
    void (*forget)(int slot) = nullptr;   // MemoryMetafileForget
};
void MemoryMetafileHooksSet(const MemoryMetafileHooks& hooks);
// The screen router's driver while a memory metafile is the target; nothing
// without the hook.
void MemoryMetafileDeviceCall(int op);
