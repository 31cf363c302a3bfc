// Window snapshots, dialog graphics areas and the small field services
// beside them (see dialogs/window_snapshots.h).
#include "dialogs/window_snapshots.h"

#include <commctrl.h>

#include <array>

#include "core/events.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/message_box.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"

namespace {

// A dialog's snapshot, kept with the dialog window it belongs to so that it
// follows the dialog when table slots move.
struct DialogSnapshot {
    HWND dialog = nullptr;
    HBITMAP bitmap = nullptr;
    int count = 0;
};

// The snapshot counts beside the bitmaps of the window table, and the
// dialogs' snapshots (one per table slot at most).
struct SnapshotState {
    std::array<int, kWindowRows> windowCount{};
    std::array<DialogSnapshot, kDialogTableSize + 1> dialog{};
};
SnapshotState gSnapshotState;

// A bitmap of WINDOW's client area with what it shows now.
HBITMAP ClientCapture(HWND window)
{
    RECT rc{};
    GetClientRect(window, &rc);
    if (rc.right <= 0 || rc.bottom <= 0)
        return nullptr;
    HDC dc = GetDC(window);
    if (!dc)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
    HDC mem = CreateCompatibleDC(dc);
    if (bitmap && mem) {
        HGDIOBJ old = SelectObject(mem, bitmap);
        BitBlt(mem, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
        SelectObject(mem, old);
    }
    if (mem)
        DeleteDC(mem);
    ReleaseDC(window, dc);
    return bitmap;
}

// Copies BITMAP back over WINDOW's client area (children included), then
// validates the area so that no paint follows.
void ClientRestore(HWND window, HBITMAP bitmap)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    if (style & WS_CLIPCHILDREN)
        SetWindowLongA(window, GWL_STYLE, style & ~WS_CLIPCHILDREN);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC dc = GetDC(window);
    if (dc) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, bitmap);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(window, dc);
    }
    ValidateRect(window, nullptr);
    if (style & WS_CLIPCHILDREN)
        SetWindowLongA(window, GWL_STYLE, style);
}

bool IsShown(HWND dialog)
{
    int32_t* w = DialogRecordWords(dialog);
    return w && w[kDlgShown];
}

DialogSnapshot* SnapshotOf(HWND dialog)
{
    for (DialogSnapshot& s : gSnapshotState.dialog)
        if (s.dialog == dialog && s.bitmap)
            return &s;
    return nullptr;
}

DialogSnapshot* SnapshotFree()
{
    for (DialogSnapshot& s : gSnapshotState.dialog)
        if (!s.bitmap)
            return &s;
    return nullptr;
}

// The window of the dialog field that is the drawing target (kind 3).
HWND TargetField()
{
    const GraphicsState& g = gGraphicsState;
    if (g.targetKind != kTargetDialogField || g.targetId == 0)
        return nullptr;
    int index = DialogIndexById(g.targetDialog);
    HWND d = index >= 0 ? gDialogTable.slot[index] : nullptr;
    return d ? GetDlgItem(d, g.targetId) : nullptr;
}

} // namespace

void WindowContentsSnapshot(int mode, int except, int& status)
{
    status = 0;
    SnapshotState& s = gSnapshotState;
    if (mode == 1) {
        for (int slot = 1; slot <= gDialogTable.count; ++slot) {
            HWND d = gDialogTable.slot[slot];
            if (!d || !IsShown(d))
                continue;
            for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                UpdateWindow(c);
            UpdateWindow(d);
        }
        gWindowSystem.snapshotsActive = 1;
        for (int n = 0; n <= kLastWindow; ++n) {
            HWND frame = gWindowTable.frame[n];
            HWND client = gWindowTable.client[n];
            if (n == except || !client || !frame || !IsWindowVisible(frame) ||
                (GetWindowLongA(frame, GWL_STYLE) & WS_CHILD))
                continue;
            int type = WindowRecordTypeOf(frame);
            if (type != 0 && type != kRecordSplit)
                continue;
            if (!gWindowTable.snapshotBitmap[n]) {
                gWindowTable.snapshotBitmap[n] = ClientCapture(client);
                if (!gWindowTable.snapshotBitmap[n])
                    continue;
                s.windowCount[n] = 0;
            }
            ++s.windowCount[n];
        }
        for (int slot = 1; slot <= gDialogTable.count; ++slot) {
            HWND d = gDialogTable.slot[slot];
            if (!d || !IsShown(d) || !DialogHasGraphicsArea(d))
                continue;
            DialogSnapshot* snap = SnapshotOf(d);
            if (!snap) {
                snap = SnapshotFree();
                HBITMAP bitmap = snap ? ClientCapture(d) : nullptr;
                if (!bitmap)
                    continue;
                *snap = DialogSnapshot{d, bitmap, 0};
            }
            ++snap->count;
        }
        return;
    }

    gWindowSystem.snapshotsActive = 0;
    for (int n = 0; n <= kLastWindow; ++n) {
        HBITMAP bitmap = gWindowTable.snapshotBitmap[n];
        if (!bitmap || n == except)
            continue;
        HWND client = gWindowTable.client[n];
        if (client && IsWindow(client) && --s.windowCount[n] > 0) {
            gWindowSystem.snapshotsActive = 1;
            continue;
        }
        s.windowCount[n] = 0;
        gWindowTable.snapshotBitmap[n] = nullptr;
        if (client && IsWindow(client)) {
            ClientRestore(client, bitmap);
            for (int m = 1; m <= kLastWindow; ++m) {
                HWND f = gWindowTable.frame[m];
                if (!f || !IsChild(client, f))
                    continue;
                for (HWND bar : gWindowTable.toolbars[m])
                    if (bar)
                        RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            }
        }
        DeleteObject(bitmap);
    }
    for (DialogSnapshot& snap : s.dialog) {
        if (!snap.bitmap)
            continue;
        bool alive = snap.dialog && IsWindow(snap.dialog);
        if (alive && --snap.count > 0) {
            gWindowSystem.snapshotsActive = 1;
            continue;
        }
        if (alive)
            ClientRestore(snap.dialog, snap.bitmap);
        DeleteObject(snap.bitmap);
        snap = DialogSnapshot{};
    }
    for (int slot = 1; slot <= gDialogTable.count; ++slot) {
        HWND d = gDialogTable.slot[slot];
        if (d && !SnapshotOf(d))
            UpdateWindow(d);
    }
}

HBITMAP DialogSnapshotBitmap(int slot)
{
    if (slot < 1 || slot > gDialogTable.count)
        return nullptr;
    DialogSnapshot* s = SnapshotOf(gDialogTable.slot[slot]);
    return s ? s->bitmap : nullptr;
}

int WindowSnapshotCount(int n)
{
    return (n >= 0 && n <= kLastWindow && gWindowTable.snapshotBitmap[n]) ? gSnapshotState.windowCount[n] : 0;
}

int DialogHasGraphicsArea(HWND dialog)
{
    int32_t* w = DialogRecordWords(dialog);
    if (w && w[kDlgGraphicsArea])
        return 1;
    for (HWND c = dialog ? GetWindow(dialog, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
        FieldRecord* f = FieldRecordOf(c);
        if (f && f->graphicsArea)
            return 1;
        if (ClassAtomOf(c) != gControlClasses.tab)
            continue;
        auto item = static_cast<int>(SendMessageA(c, TCM_GETCURSEL, 0, 0));
        if (item < 0)
            continue;
        int index = DialogIndexById(TabItemDataGet(c, item).page);
        HWND page = index >= 0 ? gDialogTable.slot[index] : nullptr;
        if (page && page != dialog && DialogHasGraphicsArea(page))
            return 1;
    }
    return 0;
}

void DialogGraphicsTarget(int& field, int& width, int& height)
{
    HWND d = DialogCurrentWindow();
    HWND w = field == 0 ? d : DialogCurrentField(field);
    if (!w) {
        field = -1;
        return;
    }
    HDC dc = GetDC(w);
    if (!dc) {
        field = -1;
        GdiSurfaceSelect(gWindowSystem.windowDC, nullptr);
        return;
    }
    GdiSurfaceSelect(dc, w);
    RECT rc{};
    GetClientRect(w, &rc);
    width = rc.right;
    height = rc.bottom;
    if (field == 0) {
        if (int32_t* words = DialogRecordWords(d))
            words[kDlgGraphicsArea] = 1;
    } else if (FieldRecord* f = FieldRecordOf(w)) {
        f->graphicsArea = 1;
    }
}

void DialogBaseUnits(int& width, int& height)
{
    HWND d = DialogCurrentWindow();
    RECT r{0, 0, 4, 8};
    if (!d || !MapDialogRect(d, &r)) {
        width = height = 0;
        return;
    }
    width = r.right;
    height = r.bottom;
}

void DialogFieldRect(int& field, int& x, int& y, int& width, int& height, int kind)
{
    HWND d = DialogCurrentWindow();
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    RECT r{};
    if (kind == 1) {
        GetClientRect(c, &r);
        MapWindowPoints(c, d, reinterpret_cast<POINT*>(&r), 2);
    } else {
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
    }
    x = r.left;
    y = r.top;
    width = r.right - r.left;
    height = r.bottom - r.top;
}

HCURSOR DialogTargetFieldCursor(int& shape)
{
    FieldRecord* f = FieldRecordOf(TargetField());
    if (!f || !f->cursor)
        return nullptr;
    shape = f->cursorShape;
    return f->cursor;
}

void DialogTargetFieldCursorSet(HCURSOR cursor, int shape)
{
    if (FieldRecord* f = FieldRecordOf(TargetField())) {
        f->cursor = cursor;
        f->cursorShape = shape;
    }
}

void DialogFieldCursorsClear()
{
    const ControlClassTable& k = gControlClasses;
    for (int slot = 1; slot <= gDialogTable.count; ++slot) {
        HWND d = gDialogTable.slot[slot];
        for (HWND c = d ? GetWindow(d, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
            ATOM a = ClassAtomOf(c);
            if (a == k.upDown || a == k.dialog || a == k.scrollBar)
                continue;
            if (FieldRecord* f = FieldRecordOf(c)) {
                f->cursor = nullptr;
                f->cursorShape = 0;
            }
        }
    }
}
