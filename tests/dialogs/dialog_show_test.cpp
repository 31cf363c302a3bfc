// Showing dialogs: the modal show of a copy driven by the pilot (exit fields,
// state copied in and back, other windows disabled and enabled again, the
// graphics of a covered window restored from its snapshot), the About cycle
// of the application run many times without leaks, modeless and
// semi-modeless shows, hiding and unloading with tab pages, the title and
// icon, and dialogs inside a window placed in 0..9999 units.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "core/fixed_text.h"
#include "core/window_services.h"
#include "dialogs/dialog_info.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/field_values.h"
#include "dialogs/window_snapshots.h"
#include "graphics/gdi_surface.h"
#include "graphics/graphics_state.h"
#include "windowed_fixture.h"
#include "support/poll.h"
#include "support/window_count.h"

namespace {

class DialogShows : public WindowedDialogs {
protected:
    // Dialog 300 loaded and shown modeless at (20, 20), PAGES its two tab
    // pages (351 and 352); nullptr when it does not load.
    HWND ShowWithPages(HWND pages[2])
    {
        HWND d = Load(300);
        if (!d)
            return nullptr;
        ShowAt(20, 20, kShowModeless);
        int one = DialogIndexById(351), two = DialogIndexById(352);
        pages[0] = one > 0 ? gDialogTable.slot[one] : nullptr;
        pages[1] = two > 0 ? gDialogTable.slot[two] : nullptr;
        return d;
    }
};

RECT ScreenRect(HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// How many pixels inside control W's border the screen shows dark (its
// text and the marks it draws), read in one copy of the screen. The tab
// control's display area has none.
int DarkPixelsOnScreen(HWND w)
{
    RECT r = ScreenRect(w);
    InflateRect(&r, -2, -2);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    int dark = 0;
    const auto* pixel = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        DWORD p = pixel[i]; // 0x00RRGGBB
        if (((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60)
            ++dark;
    }
    SelectObject(memory, old);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return dark;
}

TEST_F(DialogShows, ModalShowEndedByAPushButton)
{
    HWND mainDialog = Load(101);
    ASSERT_NE(mainDialog, nullptr);
    ShowAt(10, 10, kShowModeless);
    ASSERT_TRUE(IsWindowVisible(mainDialog));
    EXPECT_EQ(ScreenRect(mainDialog).left, 10);
    EXPECT_EQ(ScreenRect(mainDialog).top, 10);
    EXPECT_EQ(DialogRecordWords(mainDialog)[kDlgShown], 1);

    HWND about = Load(102);
    ASSERT_NE(about, nullptr);
    WDialogPutString(1006, "A credit line   ");
    struct {
        bool isCopy = false;
        std::string credit;
        RECT rect{};
        HWND owner = nullptr;
        bool mainDialogEnabled = true, frameEnabled = true, copyEnabled = false, loadedVisible = true;
    } seen;
    ModalPilot pilot([&](HWND copy) {
        seen.isCopy = copy == gDialogTable.slot[0] && copy != about;
        seen.credit = Text(GetDlgItem(copy, 1006));
        seen.rect = ScreenRect(copy);
        seen.owner = GetWindow(copy, GW_OWNER);
        seen.mainDialogEnabled = Enabled(mainDialog);
        seen.frameEnabled = Enabled(gWindowTable.frame[0]);
        seen.copyEnabled = Enabled(copy);
        seen.loadedVisible = IsWindowVisible(about);
        ModalPilot::Click(copy, 1008);
    });
    ASSERT_TRUE(pilot.Installed());
    ShowAt(10, 500, kShowModal);

    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(pilot.Rescued(), 0);
    EXPECT_TRUE(seen.isCopy) << "a copy of the loaded dialog runs";
    EXPECT_EQ(seen.credit, "A credit line");
    EXPECT_EQ(seen.rect.left, 10);
    EXPECT_EQ(seen.rect.top, 500);
    EXPECT_EQ(seen.owner, mainDialog) << "owned by the active dialog";
    EXPECT_FALSE(seen.mainDialogEnabled);
    EXPECT_FALSE(seen.frameEnabled);
    EXPECT_TRUE(seen.copyEnabled);
    EXPECT_FALSE(seen.loadedVisible);

    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gDialogStatus.exitField, 1008);
    EXPECT_EQ(YYDialogInfo(1), 1008);
    EXPECT_EQ(YYDialogInfo(5), 102);
    EXPECT_EQ(YYDialogInfo(3), 102);
    EXPECT_EQ(gDialogTable.slot[0], nullptr);
    EXPECT_FALSE(IsWindowVisible(about)) << "the loaded dialog stays hidden";
    EXPECT_EQ(DialogRecordWords(about)[kDlgShown], 0);
    EXPECT_TRUE(Enabled(mainDialog));
    EXPECT_TRUE(Enabled(gWindowTable.frame[0]));
    EXPECT_EQ(gWindowSystem.snapshotsActive, 0);
    for (int n = 0; n <= kLastWindow; ++n)
        EXPECT_EQ(gWindowTable.snapshotBitmap[n], nullptr) << n;

    // A message box after the show: code 2 is 0, code 4 its answer; the
    // exit fields stay.
    {
        ModalPilot box([](HWND b) { PostMessageA(b, WM_COMMAND, IDNO, 0); });
        WMessageBox(3, 2, 1, "Again?", "Question");
    }
    EXPECT_EQ(YYDialogInfo(2), 0);
    EXPECT_EQ(YYDialogInfo(4), 2);
    EXPECT_EQ(YYDialogInfo(1), 1008);
    EXPECT_EQ(YYDialogInfo(11), 0);
}

TEST_F(DialogShows, StateCopiedIntoTheCopyAndBack)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    WDialogPutString(304, "before");
    WDialogPutCheckBox(316, 1);
    WDialogPutTrackBar(323, 9);
    WDialogPutInteger(305, 7);
    HWND list = GetDlgItem(d, 320);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    FieldRecord* real = FieldRecordOf(GetDlgItem(d, 307));
    ASSERT_NE(real, nullptr);
    ASSERT_NE(real->format, nullptr);
    const char* sharedFormat = real->format;
    auto treeCount = SendMessageA(GetDlgItem(d, 324), TVM_GETCOUNT, 0, 0);
    ASSERT_GT(treeCount, 0);
    auto image = reinterpret_cast<HANDLE>(SendDlgItemMessageA(d, 328, BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);

    struct {
        std::string edit;
        LRESULT check = -1, track = -1, listSel = -1, listCount = -1, tabs = -1, tree = -1, tics = -1;
        double value = 0;
        const char* format = nullptr;
        HWND pageParent = nullptr;
    } first;
    ModalPilot pilot([&](HWND copy) {
        first.edit = Text(GetDlgItem(copy, 304));
        first.check = SendMessageA(GetDlgItem(copy, 316), BM_GETCHECK, 0, 0);
        first.track = SendMessageA(GetDlgItem(copy, 323), TBM_GETPOS, 0, 0);
        first.listSel = SendMessageA(GetDlgItem(copy, 320), LB_GETCURSEL, 0, 0);
        first.listCount = SendMessageA(GetDlgItem(copy, 320), LB_GETCOUNT, 0, 0);
        first.tabs = SendMessageA(GetDlgItem(copy, 321), TCM_GETITEMCOUNT, 0, 0);
        first.tree = SendMessageA(GetDlgItem(copy, 324), TVM_GETCOUNT, 0, 0);
        first.tics = SendMessageA(GetDlgItem(copy, 323), TBM_GETNUMTICS, 0, 0);
        if (FieldRecord* f = FieldRecordOf(GetDlgItem(copy, 305)))
            first.value = f->value;
        if (FieldRecord* f = FieldRecordOf(GetDlgItem(copy, 307)))
            first.format = f->format;
        int index = DialogIndexById(352);
        first.pageParent = index > 0 ? GetParent(gDialogTable.slot[index]) : nullptr;
        // The user changes the copy, then presses "Push".
        SetDlgItemTextA(copy, 304, "after");
        CheckDlgButton(copy, 316, BST_UNCHECKED);
        SendMessageA(GetDlgItem(copy, 323), TBM_SETPOS, TRUE, 12);
        SendMessageA(GetDlgItem(copy, 320), LB_SETCURSEL, 0, 0);
        ModalPilot::Click(copy, 311);
    });
    ShowAt(100, 100, kShowModal);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(first.edit, "before");
    EXPECT_EQ(first.check, BST_CHECKED);
    EXPECT_EQ(first.track, 9);
    EXPECT_EQ(first.listSel, 1);
    EXPECT_EQ(first.listCount, 2);
    EXPECT_EQ(first.tabs, 2);
    EXPECT_EQ(first.tree, treeCount);
    EXPECT_EQ(first.tics, SendDlgItemMessageA(d, 323, TBM_GETNUMTICS, 0, 0)) << "the tic frequency follows";
    EXPECT_EQ(first.value, 7.0);
    EXPECT_EQ(first.format, sharedFormat) << "the copy shares the loaded dialog's format";
    EXPECT_NE(first.pageParent, nullptr);

    // Back in the loaded dialog.
    EXPECT_EQ(gDialogStatus.exitField, 311);
    EXPECT_EQ(gDialogStatus.exitDialog, 300);
    FixedText<10> text;
    WDialogGetString(304, text);
    EXPECT_EQ(text.trimmed(), "after");
    int state = -1, position = -1;
    WDialogGetCheckBox(316, state);
    EXPECT_EQ(state, 0);
    WDialogGetTrackBar(323, position);
    EXPECT_EQ(position, 12);
    int selected = -1;
    WDialogGetMenu(320, selected);
    EXPECT_EQ(selected, 1);
    EXPECT_STREQ(FieldRecordOf(GetDlgItem(d, 307))->format, "(F10.1)");
    EXPECT_EQ(gErrorState.lastCode, 0);
    // The images the copy shared are still the loaded dialog's.
    EXPECT_EQ(GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(reinterpret_cast<HANDLE>(SendDlgItemMessageA(d, 328, BM_GETIMAGE, IMAGE_BITMAP, 0)), image);
    // The pages went back to the main window, hidden.
    int page = DialogIndexById(351);
    ASSERT_GT(page, 0);
    EXPECT_EQ(GetParent(gDialogTable.slot[page]), gWindowTable.client[0]);
    EXPECT_FALSE(IsWindowVisible(gDialogTable.slot[page]));

    // A second show starts from what the first left.
    std::string again;
    LRESULT track = -1;
    ModalPilot second([&](HWND copy) {
        again = Text(GetDlgItem(copy, 304));
        track = SendMessageA(GetDlgItem(copy, 323), TBM_GETPOS, 0, 0);
        ModalPilot::Click(copy, 312);
    });
    ShowAt(100, 100, kShowModal);
    EXPECT_EQ(again, "after");
    EXPECT_EQ(track, 12);
    EXPECT_EQ(gDialogStatus.exitField, 312);
}

TEST_F(DialogShows, ADialogWhosePagesAreAttachedIsCopiedFieldByField)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    ShowAt(20, 20, kShowModeless);
    WDialogHide();
    int page = DialogIndexById(351);
    ASSERT_GT(page, 0);
    ASSERT_EQ(GetParent(gDialogTable.slot[page]), d) << "hidden with its pages attached";
    WDialogPutString(304, "kept");
    WDialogPutTrackBar(323, 3);
    std::string edit;
    LRESULT track = -1, sharedFont = 0;
    ModalPilot pilot([&](HWND copy) {
        edit = Text(GetDlgItem(copy, 304));
        track = SendMessageA(GetDlgItem(copy, 323), TBM_GETPOS, 0, 0);
        sharedFont = SendMessageA(GetDlgItem(copy, 301), WM_GETFONT, 0, 0) ==
                     SendMessageA(GetDlgItem(d, 301), WM_GETFONT, 0, 0);
        ModalPilot::Click(copy, 311);
    });
    ShowAt(20, 20, kShowModal);
    EXPECT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(edit, "kept");
    EXPECT_EQ(track, 3);
    EXPECT_EQ(sharedFont, 1);
    FixedText<8> text;
    WDialogGetString(304, text);
    EXPECT_EQ(text.trimmed(), "kept");
}

TEST_F(DialogShows, APushButtonOfATabPageEndsTheShowWithThePageAsExitDialog)
{
    HWND d = Load(310);
    ASSERT_NE(d, nullptr);
    int index = DialogIndexById(353);
    ASSERT_GT(index, 0);
    HWND page = gDialogTable.slot[index];
    bool attachedToCopy = false;
    ModalPilot pilot([&](HWND copy) {
        attachedToCopy = GetParent(page) == copy;
        PostMessageA(GetDlgItem(page, 3532), BM_CLICK, 0, 0);
    });
    ShowAt(50, 50, kShowModal);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(pilot.Rescued(), 0);
    EXPECT_TRUE(attachedToCopy);
    EXPECT_EQ(gDialogStatus.exitDialog, 353);
    EXPECT_EQ(YYDialogInfo(5), 353);
    EXPECT_EQ(gDialogStatus.exitField, 3532) << "the page's record holds the exit words";
    EXPECT_EQ(GetParent(page), gWindowTable.client[0]) << "the page went back when the copy ended";
}

TEST_F(DialogShows, FieldAsDrawingTarget)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    ShowAt(20, 20, kShowModeless);
    int field = 4711, width = -5, height = -5;
    HDC before = gGdiSurfaceState.dc;
    DialogGraphicsTarget(field, width, height);
    EXPECT_EQ(field, -1);
    EXPECT_EQ(width, -5) << "nothing changes for a field that does not exist";
    EXPECT_EQ(gGdiSurfaceState.dc, before);

    int id = 329;
    IGrSelect(kTargetDialogField, &id);
    EXPECT_EQ(gErrorState.lastCode, 0);
    HWND area = GetDlgItem(d, 329);
    RECT rc{};
    GetClientRect(area, &rc);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetDialogField);
    EXPECT_EQ(gGraphicsState.targetWidth, rc.right);
    EXPECT_EQ(gGraphicsState.targetHeight, rc.bottom);
    EXPECT_EQ(gGdiSurfaceState.window, area);
    EXPECT_EQ(FieldRecordOf(area)->graphicsArea, 1);
    EXPECT_NE(DialogHasGraphicsArea(d), 0);
    int dialogItself = 0;
    IGrSelect(kTargetDialogField, &dialogItself);
    EXPECT_EQ(gGdiSurfaceState.window, d);
    EXPECT_EQ(DialogRecordWords(d)[kDlgGraphicsArea], 1);
    int main = 0;
    IGrSelect(kTargetWindow, &main);
    EXPECT_EQ(gGraphicsState.targetKind, kTargetWindow);
}

TEST_F(DialogShows, ShownAtTheClientOriginOfAWindow)
{
    int n = Popup(200, 150, 420, 330);
    ASSERT_GT(n, 0);
    HWND d = Load(500);
    ASSERT_NE(d, nullptr);
    YYDialogShowPlaced(0, kShowModeless, n);
    POINT origin{0, 0};
    ClientToScreen(gWindowTable.client[n], &origin);
    EXPECT_EQ(ScreenRect(d).left, origin.x);
    EXPECT_EQ(ScreenRect(d).top, origin.y);
}

// The application's About dialog: loaded, filled, shown modal at (10, 500)
// from the modeless main dialog, ended by "OK" or "About program",
// unloaded, and the main dialog selected again.
TEST_F(DialogShows, AboutCycleLeavesNoObjectsBehind)
{
    HWND mainDialog = Load(101);
    ASSERT_NE(mainDialog, nullptr);
    ShowAt(10, 10, kShowModeless);
    int leakedFonts = 0, wrongExit = 0, wrongCurrent = 0;
    int button = 1007;
    ModalPilot pilot([&](HWND copy) { ModalPilot::Click(copy, button); });
    auto cycle = [&](int i) {
        WDialogLoad(102);
        HWND about = DialogCurrentWindow();
        if (!about)
            return false;
        std::vector<HGDIOBJ> fonts;
        for (int id : {1006, 1007, 1008})
            fonts.push_back(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(about, id, WM_GETFONT, 0, 0)));
        WDialogPutString(1006, "Kestrow splines, a credit line");
        button = (i % 2) ? 1008 : 1007;
        ShowAt(10, 500, kShowModal);
        if (gDialogStatus.exitField != button || gDialogStatus.exitDialog != 102)
            ++wrongExit;
        WDialogUnload();
        WDialogSelect(101);
        if (gDialogStatus.currentDialogId != 101 || DialogCurrentWindow() != mainDialog)
            ++wrongCurrent;
        for (HGDIOBJ font : fonts)
            if (!font || GetObjectType(font) != 0)
                ++leakedFonts;
        return true;
    };
    ASSERT_TRUE(cycle(0));
    HANDLE self = GetCurrentProcess();
    DWORD gdi0 = GetGuiResources(self, GR_GDIOBJECTS);
    DWORD user0 = GetGuiResources(self, GR_USEROBJECTS);
    int windows0 = ThreadWindowCount();
    for (int i = 1; i <= 100; ++i)
        ASSERT_TRUE(cycle(i)) << i;
    DWORD gdi1 = GetGuiResources(self, GR_GDIOBJECTS);
    DWORD user1 = GetGuiResources(self, GR_USEROBJECTS);
    int windows1 = ThreadWindowCount();
    std::printf("100 About cycles: GDI objects %lu -> %lu, USER objects %lu -> %lu, thread windows %d -> %d\n",
                static_cast<unsigned long>(gdi0), static_cast<unsigned long>(gdi1),
                static_cast<unsigned long>(user0), static_cast<unsigned long>(user1), windows0, windows1);
    EXPECT_EQ(pilot.Runs(), 101);
    EXPECT_EQ(pilot.Rescued(), 0);
    EXPECT_EQ(wrongExit, 0);
    EXPECT_EQ(wrongCurrent, 0);
    EXPECT_EQ(leakedFonts, 0) << "the fonts of the extras go with the dialog";
    EXPECT_EQ(gdi1, gdi0);
    EXPECT_EQ(user1, user0);
    EXPECT_EQ(windows1, windows0);
    EXPECT_EQ(DialogTableCount(), 1);
    for (int n = 0; n <= kLastWindow; ++n)
        EXPECT_EQ(gWindowTable.snapshotBitmap[n], nullptr) << n;
    EXPECT_TRUE(Enabled(mainDialog));
    EXPECT_TRUE(IsWindowVisible(mainDialog));
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(DialogShows, CoveredWindowRepaintsFromItsSnapshot)
{
    int n = Popup(300, 200, 300, 420);
    ASSERT_GT(n, 0);
    HWND client = gWindowTable.client[n];
    Drain();
    auto fill = [client](COLORREF colour) {
        HDC dc = GetDC(client);
        RECT r{0, 0, 300, 200};
        HBRUSH b = CreateSolidBrush(colour);
        FillRect(dc, &r, b);
        DeleteObject(b);
        ReleaseDC(client, dc);
    };
    auto pixel = [client](int x, int y) {
        HDC dc = GetDC(client);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(client, dc);
        return c;
    };
    fill(RGB(255, 0, 0));
    ValidateRect(client, nullptr);
    ASSERT_EQ(pixel(5, 5), RGB(255, 0, 0));
    POINT origin{0, 0};
    ClientToScreen(client, &origin);

    ASSERT_NE(Load(102), nullptr);
    struct {
        int active = 0, count = 0;
        bool bitmap = false, hiddenOne = false;
        COLORREF repainted = 0;
        bool exposeHeld = true;
    } seen;
    ModalPilot pilot([&](HWND copy) {
        seen.active = gWindowSystem.snapshotsActive;
        seen.bitmap = gWindowTable.snapshotBitmap[n] != nullptr;
        seen.count = WindowSnapshotCount(n);
        // Something paints over the covered window; its repaint comes from
        // the snapshot, not from the blocked caller.
        fill(RGB(0, 0, 255));
        InvalidateRect(client, nullptr, FALSE);
        UpdateWindow(client);
        seen.repainted = pixel(5, 5);
        seen.exposeHeld = gPendingEventTable.entry[n].type != 0;
        ModalPilot::Click(copy, 1007);
    });
    ShowAt(origin.x + 40, origin.y + 40, kShowModal);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(seen.active, 1);
    EXPECT_TRUE(seen.bitmap);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.repainted, RGB(255, 0, 0));
    EXPECT_FALSE(seen.exposeHeld);

    // The release copied the snapshot back (also where the dialog was) and
    // left nothing to paint.
    EXPECT_EQ(pixel(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(pixel(60, 60), RGB(255, 0, 0));
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(client, &update, FALSE));
    EXPECT_EQ(gWindowTable.snapshotBitmap[n], nullptr);
    EXPECT_EQ(gWindowSystem.snapshotsActive, 0);
}

TEST_F(DialogShows, SnapshotsNestAndSkipHiddenWindows)
{
    int shown = Popup(120, 80, 300, 300);
    int hiddenFlags = kWindowFlagsDefault | kWindowHidden;
    int hidden = -1, w = 120, h = 80;
    WindowOpenChild(hidden, &hiddenFlags, nullptr, nullptr, &w, &h, nullptr, nullptr, nullptr, "hidden");
    ASSERT_GT(shown, 0);
    ASSERT_GT(hidden, 0);
    int status = -1;
    WindowContentsSnapshot(1, -1, status);
    EXPECT_EQ(status, 0);
    HBITMAP first = gWindowTable.snapshotBitmap[shown];
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(gWindowTable.snapshotBitmap[hidden], nullptr);
    WindowContentsSnapshot(1, shown, status); // an inner request leaving the window out
    WindowContentsSnapshot(1, -1, status);
    EXPECT_EQ(gWindowTable.snapshotBitmap[shown], first) << "an inner request keeps the outer bitmap";
    EXPECT_EQ(WindowSnapshotCount(shown), 2);
    WindowContentsSnapshot(0, -1, status);
    EXPECT_EQ(gWindowTable.snapshotBitmap[shown], first);
    EXPECT_EQ(gWindowSystem.snapshotsActive, 1);
    WindowContentsSnapshot(0, shown, status);
    EXPECT_EQ(gWindowSystem.snapshotsActive, 1);
    WindowContentsSnapshot(0, -1, status);
    EXPECT_EQ(gWindowTable.snapshotBitmap[shown], nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the bitmap was deleted";
    EXPECT_EQ(gWindowSystem.snapshotsActive, 0);
}

TEST_F(DialogShows, DialogWithAGraphicsFieldOnItsVisiblePageIsCaptured)
{
    HWND pages[2] = {};
    HWND d = ShowWithPages(pages);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(pages[0] && pages[1]);
    FieldRecordOf(GetDlgItem(pages[0], 3511))->graphicsArea = 1;
    HWND tab = GetDlgItem(d, 321);
    int status = 0;
    // The selected page ("[Tabs]" chose 352) has no graphics area.
    ASSERT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(DialogHasGraphicsArea(d), 0);
    WindowContentsSnapshot(1, -1, status);
    EXPECT_EQ(DialogSnapshotBitmap(1), nullptr);
    WindowContentsSnapshot(0, -1, status);
    SendMessageA(tab, TCM_SETCURSEL, 0, 0);
    EXPECT_NE(DialogHasGraphicsArea(d), 0);
    WindowContentsSnapshot(1, -1, status);
    HBITMAP snap = DialogSnapshotBitmap(1);
    EXPECT_NE(snap, nullptr);
    WindowContentsSnapshot(0, -1, status);
    EXPECT_EQ(DialogSnapshotBitmap(1), nullptr);
    EXPECT_EQ(GetObjectType(snap), 0u);
}

// The page shown lies in front of its tab control: the tab control's display
// area does not paint over it, and the other page shows when its tab is
// clicked.
TEST_F(DialogShows, TheShownTabPageIsSeenInTheTabsDisplayArea)
{
    HWND pages[2] = {};
    HWND d = ShowWithPages(pages);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(pages[0] && pages[1]);
    HWND tab = GetDlgItem(d, 321);
    HWND edit = GetDlgItem(pages[0], 3511);
    HWND check = GetDlgItem(pages[1], 3521);
    ASSERT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1) << "the second page is the one shown first";
    // Its check box's label.
    int dark = 0;
    EXPECT_TRUE(PollUntil([&] { return (dark = DarkPixelsOnScreen(check)) >= 5; })) << dark << " dark pixels";

    // The first tab clicked: its page's edit field with its text.
    RECT item{};
    ASSERT_TRUE(SendMessageA(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tab, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PollUntil([&] { return SendMessageA(tab, TCM_GETCURSEL, 0, 0) == 0; }));
    EXPECT_TRUE(IsWindowVisible(edit));
    EXPECT_TRUE(PollUntil([&] { return (dark = DarkPixelsOnScreen(edit)) >= 5; })) << dark << " dark pixels";
    EXPECT_FALSE(IsWindowVisible(check));
}

TEST_F(DialogShows, SemiModelessShowsNest)
{
    HWND a = Load(500, 11);
    HWND b = Load(500, 12);
    HWND c = Load(500, 13);
    ASSERT_TRUE(a && b && c);
    WDialogSelect(12);
    ShowAt(100, 600, kShowModeless);
    WDialogSelect(11);
    ShowAt(200, 600, kShowSemiModeless);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gWindowSystem.semiModelessCount, 1);
    EXPECT_EQ(gWindowSystem.semiModelessDialog, a);
    EXPECT_FALSE(Enabled(b));
    EXPECT_FALSE(Enabled(gWindowTable.frame[0]));
    EXPECT_TRUE(Enabled(a));

    // A modeless show while it is up becomes semi-modeless and says so.
    WDialogSelect(13);
    ShowAt(300, 600, kShowModeless);
    EXPECT_EQ(gErrorState.lastCode, 1014);
    EXPECT_TRUE(IsWindowVisible(c));
    EXPECT_EQ(DialogRecordWords(c)[kDlgShowType], kShowSemiModeless);
    EXPECT_EQ(gWindowSystem.semiModelessCount, 2);
    EXPECT_EQ(gWindowSystem.semiModelessDialog, c);
    EXPECT_FALSE(Enabled(a));

    WDialogHide();
    EXPECT_EQ(gWindowSystem.semiModelessCount, 1);
    EXPECT_EQ(gWindowSystem.semiModelessDialog, a);
    EXPECT_FALSE(Enabled(b)) << "still disabled while one is up";
    EXPECT_FALSE(Enabled(gWindowTable.frame[0]));

    WDialogSelect(11);
    WDialogHide();
    EXPECT_EQ(gWindowSystem.semiModelessCount, 0);
    EXPECT_EQ(gWindowSystem.semiModelessDialog, nullptr);
    EXPECT_TRUE(Enabled(b));
    EXPECT_TRUE(Enabled(gWindowTable.frame[0]));
    EXPECT_FALSE(IsWindowVisible(a));
}

TEST_F(DialogShows, ShowingAShownDialogOnlyBringsItToTheFront)
{
    HWND d = Load(500);
    ASSERT_NE(d, nullptr);
    ShowAt(150, 160, kShowModeless);
    ShowAt(400, 400, kShowModeless);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(ScreenRect(d).left, 150);
    EXPECT_EQ(ScreenRect(d).top, 160);
}

TEST_F(DialogShows, WithoutArgumentsCentredModelessWithTheFocusOnTheDialog)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    WDialogShow();
    RECT r = ScreenRect(d);
    EXPECT_EQ(r.left, (gLibraryState.screenWidth - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (gLibraryState.screenHeight - (r.bottom - r.top)) / 2);
    EXPECT_EQ(DialogRecordWords(d)[kDlgShowType], kShowModeless);
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == d || IsChild(d, focus));
}

TEST_F(DialogShows, ShowWithAFocusFieldSelectsItsText)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    ShowAt(30, 30, kShowModeless, 304);
    HWND edit = GetDlgItem(d, 304);
    EXPECT_EQ(GetFocus(), edit);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(DialogRecordWords(d)[kDlgPreviousField], 304);
}

TEST_F(DialogShows, HideAndUnloadWithTabPages)
{
    ASSERT_NE(Load(300), nullptr);
    ASSERT_EQ(DialogTableCount(), 3) << "the dialog and its two pages";
    ShowAt(20, 20, kShowModeless);
    WDialogSelect(351);
    WDialogHide();
    EXPECT_EQ(gErrorState.lastCode, 1069) << "an attached page is hidden with its dialog";
    gErrorState.lastCode = 0;
    WDialogUnload();
    EXPECT_EQ(gErrorState.lastCode, 1069);
    EXPECT_EQ(DialogTableCount(), 3);

    WDialogSelect(300);
    gErrorState.lastCode = 0;
    WDialogUnload();
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(DialogTableCount(), 0) << "the pages go with it";
    EXPECT_EQ(gDialogStatus.currentDialogId, 0);
    WDialogHide();
    EXPECT_EQ(gErrorState.lastCode, 1005) << "no dialog is selected after an unload";

    // IFLAG 1: the pages stay loaded, detached and hidden.
    ASSERT_NE(Load(300), nullptr);
    ShowAt(20, 20, kShowModeless);
    int keep = 1;
    gErrorState.lastCode = 0;
    WDialogUnload(&keep);
    EXPECT_EQ(gErrorState.lastCode, 0);
    ASSERT_EQ(DialogTableCount(), 2);
    for (int slot = 1; slot <= 2; ++slot) {
        HWND page = DialogTableWindow(slot);
        EXPECT_EQ(GetParent(page), gWindowTable.client[0]);
        EXPECT_FALSE(IsWindowVisible(page));
    }
}

TEST_F(DialogShows, RemovingASlotBelowKeepsTheCurrentDialog)
{
    ASSERT_NE(Load(500, 21), nullptr);
    ASSERT_NE(Load(500, 22), nullptr);
    HWND third = Load(500, 23);
    ASSERT_EQ(gDialogTable.current, 3);
    DialogDestroyById(0, 1);
    EXPECT_EQ(DialogTableCount(), 2);
    EXPECT_EQ(DialogCurrentWindow(), third) << "the current index follows its dialog";
    EXPECT_EQ(gDialogStatus.currentDialogId, 23);
    DialogDestroyById(0, 2);
    EXPECT_EQ(DialogCurrentWindow(), nullptr) << "the current dialog itself is gone";
    EXPECT_EQ(gDialogStatus.currentDialogId, 0);
}

// Tabs of a shown dialog: selecting a page by its identifier shows it and
// hides the old one; a disabled tab cannot be selected; a page without a tab
// and a field that is no tab control are told apart.
TEST_F(DialogShows, TabSelectAndEnable)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    ShowAt(20, 20, kShowModeless);
    WDialogSelect(300);
    HWND tab = GetDlgItem(d, 321);
    auto page = [](int id) { return DialogTableWindow(DialogIndexById(id)); };
    ASSERT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
    ASSERT_TRUE(IsWindowVisible(page(352)));

    int field = 321, id = 351;
    DialogTabSelect(field, id);
    EXPECT_EQ(field, 321);
    EXPECT_EQ(id, 351);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(page(351)));
    EXPECT_FALSE(IsWindowVisible(page(352)));
    EXPECT_EQ(GetFocus(), GetDlgItem(page(351), 3511)) << "the page's first tab stop";

    id = 352;
    DialogTabEnable(field, id, 0);
    EXPECT_EQ(TabItemDataGet(tab, 1).disabled, 1);
    DialogTabSelect(field, id);
    EXPECT_EQ(id, -1) << "no enabled tab shows page 352";
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
    id = 352;
    DialogTabEnable(field, id, 1);
    EXPECT_EQ(TabItemDataGet(tab, 1).disabled, 0);
    DialogTabSelect(field, id);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowVisible(page(352)));
    EXPECT_FALSE(IsWindowVisible(page(351)));

    id = 999;
    DialogTabEnable(field, id, 0);
    EXPECT_EQ(id, -1);
    int notATab = 320, missing = 9999;
    id = 351;
    DialogTabSelect(notATab, id);
    EXPECT_EQ(notATab, -1);
    DialogTabEnable(missing, id, 0);
    EXPECT_EQ(missing, -1);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
}

// Shrinking a dialog that cannot be resized by the user hides the fields
// the new client area cuts and moves the focus off them; growing it again
// gives them back with their own states.
TEST_F(DialogShows, ResizeHidesAndRestoresTheFieldsItCuts)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    ShowAt(20, 20, kShowModeless);
    WDialogSelect(300);
    WDialogFieldState(323, kStateDisabled);
    SetFocus(GetDlgItem(d, 324));
    int32_t* words = DialogRecordWords(d);
    ASSERT_NE(words, nullptr);
    RECT load{};
    GetWindowRect(d, &load);

    int status = 7;
    DialogResize(150, 150, status);
    EXPECT_EQ(status, 0);
    RECT want{0, 0, 150, 150}, client{};
    MapDialogRect(d, &want);
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);
    for (int cut : {321, 323, 324})
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, cut))) << cut;
    for (int kept : {304, 320})
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, kept))) << kept;
    EXPECT_NE(GetFocus(), GetDlgItem(d, 324));
    RECT outer{};
    GetWindowRect(d, &outer);
    EXPECT_EQ(words[kDlgMinWidth], outer.right - outer.left);
    EXPECT_EQ(words[kDlgMinHeight], outer.bottom - outer.top);

    // Only the width grows: the height is kept, the tab control still cut.
    DialogResize(300, 0, status);
    GetClientRect(d, &client);
    EXPECT_EQ(client.bottom, want.bottom);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, 321)));
    DialogResize(0, 220, status);
    for (int back : {321, 323, 324})
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, back))) << back;
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, 323))) << "shown again in its own state";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, 324)));
    GetWindowRect(d, &outer);
    EXPECT_EQ(outer.right - outer.left, load.right - load.left);
    EXPECT_EQ(outer.bottom - outer.top, load.bottom - load.top);

    // A window's contents cannot be resized this way.
    int n = -1, flags = kWindowFlagsDefault, w = 200, h = 100, contents = 610;
    WindowOpenChild(n, &flags, nullptr, nullptr, &w, &h, nullptr, nullptr, &contents, "contents");
    ASSERT_GT(n, 0);
    ASSERT_EQ(contents, 610);
    WDialogSelect(610);
    HWND inner = DialogCurrentWindow();
    ASSERT_NE(inner, nullptr);
    RECT before{}, after{};
    GetWindowRect(inner, &before);
    DialogResize(50, 50, status);
    EXPECT_EQ(status, -1);
    GetWindowRect(inner, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

// Tab stops go to list boxes and multi-line edits, and the field keeps a
// copy of them; another control or none gives -1.
TEST_F(DialogShows, FieldTabStopsAreKeptWithTheField)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    HWND list = GetDlgItem(d, 320);
    const int stops[] = {40, 90};
    int field = 320;
    DialogFieldTabStops(field, stops, 2);
    EXPECT_EQ(field, 320);
    FieldRecord* f = FieldRecordOf(list);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->tabStopCount, 2);
    EXPECT_EQ(f->tabStops[0], 40);
    EXPECT_EQ(f->tabStops[1], 90);
    const int one[] = {25};
    DialogFieldTabStops(field, one, 1);
    ASSERT_EQ(f->tabStopCount, 1);
    EXPECT_EQ(f->tabStops[0], 25);
    DialogFieldTabStops(field, nullptr, 0);
    EXPECT_EQ(f->tabStopCount, 0);
    EXPECT_EQ(f->tabStops, nullptr);

    int singleLine = 304, missing = 9999;
    DialogFieldTabStops(singleLine, stops, 2);
    EXPECT_EQ(singleLine, -1);
    DialogFieldTabStops(missing, stops, 2);
    EXPECT_EQ(missing, -1);
}

// The pixels of 4 x 8 dialog units are the dialog font's average character
// width and its height.
TEST_F(DialogShows, BaseUnitsAreThoseOfTheDialogFont)
{
    int w = -1, h = -1;
    DialogBaseUnits(w, h);
    EXPECT_EQ(w, 0) << "no current dialog";
    EXPECT_EQ(h, 0);
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    HDC dc = GetDC(d);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)));
    SIZE letters{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(d, dc);
    DialogBaseUnits(w, h);
    EXPECT_EQ(w, (letters.cx / 26 + 1) / 2);
    EXPECT_EQ(h, tm.tmHeight);
}

TEST_F(DialogShows, TitleAndIcon)
{
    HWND d = Load(500);
    ASSERT_NE(d, nullptr);
    auto big = [d] { return reinterpret_cast<HICON>(SendMessageA(d, WM_GETICON, ICON_BIG, 0)); };
    HICON classIcon = big();
    WDialogTitle("New title   ");
    EXPECT_EQ(Text(d), "New title");
    EXPECT_EQ(big(), classIcon) << "no icon given: kept";

    int zero = 0;
    WDialogTitle(std::nullopt, &zero);
    HICON program = big();
    EXPECT_NE(program, nullptr);
    EXPECT_NE(program, classIcon);
    EXPECT_EQ(Text(d), "New title");
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(program, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    int other = 77;
    WDialogTitle("Other", &other);
    EXPECT_NE(big(), program);
    EXPECT_FALSE(GetIconInfo(program, &info)) << "the icon it replaced was the dialog's own: destroyed";
    EXPECT_EQ(gErrorState.lastCode, 0);

    int missing = 4242;
    HICON before = big();
    WDialogTitle("Kept", &missing);
    EXPECT_EQ(gErrorState.lastCode, 1015);
    EXPECT_EQ(Text(d), "Kept") << "the title is set before the icon fails";
    EXPECT_EQ(big(), before);
}

TEST_F(DialogShows, DialogInsideAWindowIsPlacedInNormalUnits)
{
    int n = Popup(400, 300, 250, 300);
    ASSERT_GT(n, 0);
    int window = n;
    WDialogLoad(600, nullptr, &window);
    HWND d = DialogCurrentWindow();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(GetParent(d), gWindowTable.client[n]);
    ShowAt(5000, 5000, kShowModal);
    EXPECT_EQ(gErrorState.lastCode, 1014) << "a dialog inside a window is always shown modeless";
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(gWindowSystem.snapshotsActive, 0) << "the snapshot of the modal request was released";
    RECT r = ScreenRect(d);
    MapWindowPoints(nullptr, gWindowTable.client[n], reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 399 * 5000 / 9999);
    EXPECT_EQ(r.top, 299 * 5000 / 9999);
    EXPECT_NEAR(YYDialogInfo(6), 5000, 30);
    EXPECT_NEAR(YYDialogInfo(7), 5000, 40);
    EXPECT_EQ(YYDialogInfo(10), 2);
    EXPECT_GT(YYDialogInfo(8), 0);
    EXPECT_LT(YYDialogInfo(8), 9999);
}

} // namespace
