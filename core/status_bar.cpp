// Status-bar parts and texts of library windows.
#include "core/status_bar.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/window_table.h"

namespace {

int ClampParts(int n)
{
    return std::clamp(n, 1, kStatusBarParts);
}

// Puts TEXT into part PART (1..255) of window N's status bar.
void PartText(int n, int part, const char* text)
{
    if (n < 0 || n > kLastWindow || part < 1 || part > kStatusBarParts)
        return;
    HWND sb = gWindowTable.statusBar[n];
    if (!sb)
        return;
    int index = part - 1;
    SendMessageA(sb, SB_SETTEXTA, static_cast<WPARAM>(index | gWindowTable.partStyle[n][index]),
                 reinterpret_cast<LPARAM>(text));
    RECT r;
    if (SendMessageA(sb, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
        InvalidateRect(sb, &r, TRUE);
    UpdateWindow(sb);
}

void ErrorLineToStatusBar(std::string_view line)
{
    std::string text(TrimRight(line));
    PartText(0, 1, text.c_str());
}

} // namespace

void YYStatusBarText(int part, std::string_view text)
{
    if (part < 1 || part > kStatusBarParts)
        return;
    std::string t(TrimRight(text));
    StatusBarPartText(part, t.c_str());
}

void StatusBarPartText(int part, const char* text)
{
    PartText(gWindowSystem.currentWindow, part, text);
}

void StatusBarPartDefine(int part, int width, int style)
{
    int n = gWindowSystem.currentWindow;
    if (part < 1 || part > kStatusBarParts || n < 0 || n > kLastWindow)
        return;
    gWindowTable.partWidth[n][part - 1] = width;
    gWindowTable.partStyle[n][part - 1] = style == 0 ? SBT_NOBORDERS : style == 2 ? SBT_POPOUT : 0;
}

void StatusBarPartsApply(int n)
{
    int w = gWindowSystem.currentWindow;
    if (w < 0 || w > kLastWindow)
        return;
    HWND sb = gWindowTable.statusBar[w];
    if (!sb)
        return;
    n = ClampParts(n);
    StatusBarPartsLayout(w, n);
    for (int p = 0; p < n; ++p) {
        int len = LOWORD(SendMessageA(sb, SB_GETTEXTLENGTHA, static_cast<WPARAM>(p), 0));
        std::string text(static_cast<size_t>(len) + 1, '\0');
        SendMessageA(sb, SB_GETTEXTA, static_cast<WPARAM>(p), reinterpret_cast<LPARAM>(text.data()));
        SendMessageA(sb, SB_SETTEXTA, static_cast<WPARAM>(p | gWindowTable.partStyle[w][p]),
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    InvalidateRect(sb, nullptr, TRUE);
    UpdateWindow(sb);
}

int StatusBarPartEdges(const int* widths, int n, int total, int* edges)
{
    n = ClampParts(n);
    int fill = -1;
    long long sum = 0;
    for (int p = 0; p < n && fill < 0; ++p) {
        if (widths[p] == -1) {
            fill = p;
        } else {
            sum += widths[p];
            edges[p] = static_cast<int>(std::clamp<long long>(sum, -0x7FFFFFFFLL, 0x7FFFFFFFLL));
        }
    }
    if (fill >= 0) {
        edges[n - 1] = total;
        for (int p = n - 2; p >= fill; --p) {
            long long e = static_cast<long long>(edges[p + 1]) - widths[p + 1];
            edges[p] = static_cast<int>(std::clamp<long long>(e, -0x7FFFFFFFLL, 0x7FFFFFFFLL));
        }
    }
    return n;
}

void StatusBarPartsLayout(int window, int n)
{
    if (window < 0 || window > kLastWindow)
        return;
    HWND sb = gWindowTable.statusBar[window];
    if (!sb)
        return;
    RECT r{};
    GetClientRect(gWindowTable.frame[window], &r);
    int edges[kStatusBarParts];
    n = StatusBarPartEdges(gWindowTable.partWidth[window].data(), n, r.right - r.left, edges);
    SendMessageA(sb, SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(edges));
}

void StatusBarErrorDeliveryInstall()
{
    ErrorStatusBarDeliverySet(ErrorLineToStatusBar);
}
