// The memory metafile: a binary CGM picture recorded in the byte buffer of a
// metafile slot of kind 6 (graphics/metafile_slots.h, which reaches this
// file through the hooks it installs). While such a slot is
// the drawing target, the screen router hands every DeviceOp to
// YYCGMMemoryDriver, which appends CGM elements to the buffer through the
// encoding the CGM driver writes too (hardcopy/cgm_encoding.h). The device
// units of the slot are its VDC units.
//
// Life cycle: WMetafileCgmCreate fills a free slot (its VDC size is known at
// once, so that selecting it gives the drawing target its size);
// WMetafileCgmBegin selects it and opens the picture (the metafile and
// picture descriptor, then the drawing state restated); drawing goes in;
// WMetafileCgmClose ends it; WMetafileCgmSave writes the bytes to a file or
// the clipboard (format "Quillodrane CGM"), closing an open picture first;
// WMetafileDestroy frees the slot. A closed picture cannot be selected again.
//
// The buffer never grows: an element that does not fit is dropped whole
// (error 1062 under "YYGCGM1"); the last 4 bytes are kept for END PICTURE
// and END METAFILE, so that a full buffer still holds a complete metafile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Public routines.
// A memory metafile of WIDTH x HEIGHT points in a buffer of CAPACITY bytes,
// in the lowest free slot; returns the slot 1..20. Sizes not above 0, a
// capacity below the descriptor's bytes (MemoryMetafileMinimumCapacity) or
// no free slot: error 1059 under "WMetafileCgmCreate", 0.
int WMetafileCgmCreate(int width, int height, int capacity);
// Makes SLOT the drawing target and, the first time, opens its picture.
// A slot that is not a memory metafile, or whose picture is closed: error
// 1060.
void WMetafileCgmBegin(int slot);
// Ends the picture of SLOT (one never begun gets its descriptor first); the
// drawing target goes back to the window when SLOT is the target. Not a
// memory metafile: error 1060.
void WMetafileCgmClose(int slot);
// Writes the bytes of SLOT, closed first, to FILE, or to the clipboard when
// FILE is blank. Errors under "WMetafileCgmSave": 1060 not a memory
// metafile; 1 the file cannot be created; 2 a write failed; 1094 the
// clipboard cannot be used.
void WMetafileCgmSave(int slot, std::string_view file);

// The memory-metafile driver: executes OP for the slot that is the target.
void YYCGMMemoryDriver(int op);
// Appends N bytes to the buffer of memory metafile SLOT; false, appending
// nothing, when they would pass the capacity (less the 4 bytes kept for the
// end elements unless CLOSING). The driver's sink reports the element it
// drops.
bool YYGCGM1(int slot, const std::uint8_t* bytes, std::size_t n, bool closing);

// The bytes a picture's opening writes plus the 4 bytes kept for its end:
// the smallest capacity a memory metafile can have.
int MemoryMetafileMinimumCapacity();
// The metafile recorded in SLOT so far (empty for other slots).
std::span<const std::uint8_t> MemoryMetafileBytes(int slot);
// Whether the picture of SLOT has been closed (it can no longer be a target).
bool MemoryMetafileClosed(int slot);
// Forgets the picture state of SLOT (the slot is being freed).
void MemoryMetafileForget(int slot);
