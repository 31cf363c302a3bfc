// Reading back what a frame's toolbar and status bar show after a resize:
// the toolbar's pixels right of its last button that are not the button
// face, and the status bar's pixels that a full repaint changes (what was
// left from before, such as a size grip where the old right edge was).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace barpixels {

// The pixels of WINDOW's client area, row by row.
inline std::vector<COLORREF> Pixels(HWND window)
{
    RECT c{};
    GetClientRect(window, &c);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window);
    for (int y = 0; y < c.bottom; ++y)
        for (int x = 0; x < c.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

// Paints FRAME and its children and handles what that queued.
inline void Settle(HWND frame)
{
    RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Sampled pixels of TOOLBAR right of its last button (the middle half of
// its height) that are not the button face.
inline int ToolbarStripUnpainted(HWND toolbar)
{
    RECT client{}, last{};
    GetClientRect(toolbar, &client);
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int unpainted = 0;
    HDC dc = GetDC(toolbar);
    for (int x = last.right + 2; x < client.right; x += 3)
        for (int y = client.bottom / 4; y < client.bottom * 3 / 4; y += 3)
            unpainted += GetPixel(dc, x, y) != face;
    ReleaseDC(toolbar, dc);
    return unpainted;
}

// The pixels of STATUSBAR that a full repaint changes.
inline size_t StatusBarStale(HWND statusBar)
{
    const std::vector<COLORREF> shown = Pixels(statusBar);
    RedrawWindow(statusBar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<COLORREF> repainted = Pixels(statusBar);
    size_t stale = shown.size() == repainted.size() ? 0 : shown.size() + 1;
    for (size_t i = 0; i < shown.size() && i < repainted.size(); ++i)
        stale += shown[i] != repainted[i];
    return stale;
}

} // namespace barpixels
