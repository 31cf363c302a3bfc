// The bitmap viewer: a child window turned into a scrolling view of one
// bitmap of the bitmap table (window class "KVBBITMAP" over the client
// area). It reports its scroll position as event 15 on the frame; keys and
// the mouse either scroll it (keyboard and drag scrolling) or reach the
// caller as the window's key and mouse events. Modes: 1 modal (its own
// message loop until the window closes), 2 modeless, 3 semi-modal (the
// other windows disabled while it is open).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/window_table.h"

// The record of type 2 hung on the frame and on the viewer window.
struct BitmapViewerRecord {
    int32_t type;     // 2
    HWND toolbars[4]; // the window's toolbars: top, left, right, bottom
    HWND viewer;      // the "KVBBITMAP" window
    HWND statusBar;
    int32_t mode;     // 1 modal, 2 modeless, 3 semi-modal
    int32_t endFlag;  // ends the modal loop
    HBITMAP bitmap;   // the bitmap shown and its slot and size
    int32_t slot;
    int32_t width;
    int32_t height;
    int32_t largestWidth; // frame size that shows the whole bitmap; -999 when
    int32_t largestHeight; // the frame cannot hold it
    int32_t flags;    // bit 0 keyboard scrolling, bit 1 drag scrolling by mouse
    int32_t dragActive;
    POINT dragStart;
    int32_t dragScrollX; // scroll positions at the drag start
    int32_t dragScrollY;
};
static_assert(offsetof(BitmapViewerRecord, viewer) == offsetof(BitmapViewerRecordHead, viewer));
static_assert(offsetof(BitmapViewerRecord, statusBar) == offsetof(BitmapViewerRecordHead, statusBar));

// Viewer statuses of BitmapViewerOpen.
enum BitmapViewerStatus : int {
    kViewerOpened = 0,
    kViewerOnMainWindow = 1,
    kViewerBadSlot = 2,
    kViewerBitmapBusy = 3,   // selected into another device context
    kViewerOtherRecord = 4,  // the window is another kind of special window
    kViewerMadeModeless = 5, // a child inside its parent opens modeless
    kViewerNoMemory = 6,     // the record or the window could not be made
    kViewerHasChildren = 9,
};

// Turns the current window into a viewer of bitmap SLOT (0-based) scrolled
// to (X, Y) (negative taken as 0) in MODE with FLAGS; a window that already
// is a viewer is shown the new bitmap. STATUS as above. Mode 1 returns when
// the viewer's window has closed.
void BitmapViewerOpen(int slot, int x, int y, int mode, int flags, int& status);
// Shows bitmap SLOT in viewer RECORD at scroll position (X, Y) (negative:
// ranges and pages only), shrinking the frame to what the bitmap needs.
void BitmapViewerShow(BitmapViewerRecord* record, int slot, int x, int y);
// Shows bitmap SLOT again in the viewer of window N, where it was scrolled
// (after the bitmap was flipped, turned or resized).
void BitmapViewerShowSlot(int n, int slot);
// The window 1..50 whose viewer shows bitmap SLOT, else 0.
int BitmapViewerOf(int slot);
// (BitmapViewerInfo is declared with the graphics core's neighbours:
// VALUE := 3 the bitmap handle, 4 and 5 the scroll positions, 101 and 102 the
// bitmap size, 103 the vertical position plus the visible height.)
void BitmapViewerInfo(int n, int code, int& value);
// The viewer's share of turning window FRAME back into a plain window: its
// viewer window destroyed, the semi-modal count and the other windows
// restored, the record freed.
void BitmapViewerRelease(HWND frame, WindowRecord* record);
