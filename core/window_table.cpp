// The window tables, the records hung on frames and the window colours.
#include "core/window_table.h"

#include <cstdlib>

WindowTable gWindowTable;
WindowColourTable gWindowColourTable;
WindowSystemState gWindowSystem;

WindowRecord* WindowRecordOf(HWND frame)
{
    if (!frame || !IsWindow(frame))
        return nullptr;
    return reinterpret_cast<WindowRecord*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

int WindowRecordTypeOf(HWND frame)
{
    WindowRecord* r = WindowRecordOf(frame);
    return r ? r->type : 0;
}

void* WindowRecordAttach(HWND frame, int32_t type, size_t size)
{
    void* p = std::calloc(1, size);
    if (!p)
        return nullptr;
    static_cast<WindowRecord*>(p)->type = type;
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
    return p;
}

void WindowRecordDetach(HWND frame)
{
    if (frame && IsWindow(frame))
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
}

void WindowRecordFree(void* record)
{
    std::free(record);
}

static int Rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

void WindowColourTableDefaults()
{
    static const int fixed[16][3] = {
        {0x00, 0x00, 0x00}, {0xBF, 0x00, 0x00}, {0xBF, 0xBF, 0x00}, {0x00, 0xBF, 0x00},
        {0x00, 0xBF, 0xBF}, {0x00, 0x00, 0xBF}, {0xBF, 0x00, 0xBF}, {0xBF, 0xBF, 0xBF},
        {0x40, 0x40, 0x40}, {0xFF, 0x00, 0x00}, {0xFF, 0xFF, 0x00}, {0x00, 0xFF, 0x00},
        {0x00, 0xFF, 0xFF}, {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0xFF},
    };
    for (int i = 0; i < 16; ++i)
        gWindowColourTable.rgb[i] = Rgb(fixed[i][0], fixed[i][1], fixed[i][2]);
    // COLORREF is 0x00BBGGRR, the same packing.
    gWindowColourTable.rgb[16] = static_cast<int>(GetSysColor(COLOR_WINDOWTEXT));
    gWindowColourTable.rgb[17] = static_cast<int>(GetSysColor(COLOR_WINDOW));
}

int WindowTableIndex(HWND handle)
{
    if (!handle)
        return -1;
    for (int n = 0; n <= kLastWindow; ++n)
        if (gWindowTable.frame[n] == handle || gWindowTable.client[n] == handle)
            return n;
    for (int n = 1; n <= kLastWindow; ++n) {
        auto* v = WindowRecordAs<BitmapViewerRecordHead>(gWindowTable.frame[n], kRecordBitmapViewer);
        if (v && v->viewer == handle)
            return n;
    }
    return -1;
}

int WindowSlotFree()
{
    for (int n = 1; n <= kLastWindow; ++n)
        if (!gWindowTable.frame[n])
            return n;
    return -1;
}

bool WindowIsOpen(int n)
{
    return n >= 0 && n <= kLastWindow && gWindowTable.frame[n] != nullptr;
}

void WindowRowClear(int n)
{
    if (n < 0 || n >= kWindowRows)
        return;
    gWindowTable.frame[n] = nullptr;
    gWindowTable.client[n] = nullptr;
    gWindowTable.statusBar[n] = nullptr;
    gWindowTable.savedPlacement[n] = {kNoPlacement, 0, 0, 0};
    gWindowTable.toolbars[n] = {};
    gWindowTable.toolbarExtents[n] = {};
    gWindowTable.cursor[n] = nullptr;
    gWindowTable.cursorShape[n] = 0;
    if (gWindowTable.backgroundBrush[n])
        DeleteObject(gWindowTable.backgroundBrush[n]);
    gWindowTable.backgroundBrush[n] = nullptr;
    gWindowTable.backgroundColour[n] = -1;
}
