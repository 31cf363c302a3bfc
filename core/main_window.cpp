// The main window and the window system's start and end.
#include "core/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/child_windows.h"
#include "core/dialog_services.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fixed_text.h"
#include "core/frame_window.h"
#include "core/graphics_services.h"
#include "core/layer_steps.h"
#include "core/library_state.h"
#include "core/menus.h"
#include "core/split_windows.h"
#include "core/status_bar.h"
#include "core/toolbars.h"
#include "core/window_services.h"
#include "core/window_table.h"

namespace {

constexpr DWORD kClientStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kStatusBarId = 999;

int ScreenWidth()
{
    return gLibraryState.screenWidth > 0 ? gLibraryState.screenWidth : GetSystemMetrics(SM_CXSCREEN);
}

int ScreenHeight()
{
    return gLibraryState.screenHeight > 0 ? gLibraryState.screenHeight : GetSystemMetrics(SM_CYSCREEN);
}

ATOM RegisterOne(const char* name, WNDPROC proc, UINT style, LPCSTR cursor, bool icon, HBRUSH background)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = gWindowSystem.instance;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.hIcon = icon ? LoadIconA(gWindowSystem.instance, "icon1") : nullptr;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc);
}

ATOM RegisteredAtom(const char* name)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    return static_cast<ATOM>(GetClassInfoExA(gWindowSystem.instance, name, &wc));
}

void RegisterClasses()
{
    UnregisterClassA("QUILLODRANE", gWindowSystem.instance);
    ATOM atoms[5];
    atoms[0] = RegisterOne("QUILLODRANE", FrameWindowProc, 0, IDC_ARROW, true, nullptr);
    auto once = [](const char* name, WNDPROC proc, UINT style, LPCSTR cursor, bool icon, HBRUSH bg) {
        ATOM a = RegisteredAtom(name);
        return a ? a : RegisterOne(name, proc, style, cursor, icon, bg);
    };
    atoms[1] = once("QUILCHILD", FrameWindowProc, 0, IDC_ARROW, true, nullptr);
    atoms[2] = once("QUILCLIENT", ClientWindowProc, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, IDC_ARROW, false,
                    static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH face = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    atoms[3] = once("QUILSPLITH", SplitterWindowProc, CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, IDC_SIZENS, false,
                    face);
    atoms[4] = once("QUILSPLITV", SplitterWindowProc, CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, IDC_SIZEWE, false,
                    face);
    for (ATOM a : atoms)
        if (!a)
            WindowFatal("Failed to register class - aborting.");
}

int RichEditVersion()
{
    if (LoadLibraryA("riched20.dll")) {
        HWND r = CreateWindowExA(0, "RichEdit20A", "", ES_MULTILINE, 0, 0, 10, 10, nullptr, nullptr,
                                 gWindowSystem.instance, nullptr);
        if (!r)
            return 2;
        SetWindowTextA(r, "ab");
        POINTL a{-99, -99}, b{-99, -99};
        SendMessageA(r, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), 1);
        SendMessageA(r, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), 1);
        DestroyWindow(r);
        return (a.x == -99 && a.y == -99 && b.x == -99 && b.y == -99) ? 2 : 3;
    }
    LoadLibraryA("riched32.dll");
    return 1;
}

// The default palette of a 256-colour display: NCOL colours then the 18
// window colours.
void DefaultPaletteCreate(int ncol)
{
    static const unsigned char p16[16][3] = {
        {0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0xBF}, {0x00, 0xBF, 0x00}, {0x00, 0xBF, 0xBF},
        {0xBF, 0x00, 0x00}, {0xBF, 0x00, 0xBF}, {0xBF, 0xBF, 0x00}, {0x40, 0x40, 0x40},
        {0xBF, 0xBF, 0xBF}, {0x00, 0x00, 0xFF}, {0x00, 0xFF, 0x00}, {0x00, 0xFF, 0xFF},
        {0xFF, 0x00, 0x00}, {0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0x00}, {0x00, 0x00, 0x00},
    };
    std::vector<PALETTEENTRY> entries(static_cast<size_t>(ncol + 18));
    auto put = [&](int i, int rgb) {
        entries[static_cast<size_t>(i)] = {static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                                           static_cast<BYTE>((rgb >> 16) & 0xFF), 0};
    };
    if (ncol == 16) {
        for (int k = 0; k < 16; ++k)
            put(k, p16[k][0] + 256 * p16[k][1] + 65536 * p16[k][2]);
    } else {
        WindowGraphicsColourTableInit();
        int m = 256 / ncol;
        for (int k = 0; k < ncol; ++k) {
            int index = m * k;
            if (index >= 16 && index <= 239)
                index += m - 1;
            int rgb = 0;
            WindowGraphicsColourGet(index, rgb);
            put(k, rgb);
        }
    }
    for (int i = 0; i < 18; ++i)
        put(ncol + i, gWindowColourTable.rgb[static_cast<size_t>(i)]);
    std::vector<unsigned char> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(entries.size());
    std::copy(entries.begin(), entries.end(), lp->palPalEntry);
    HPALETTE pal = CreatePalette(lp);
    if (pal)
        WindowPaletteInstall(pal, entries);
}

} // namespace

void WindowFatal(const char* text)
{
    MessageBoxA(nullptr, text, "Quillodrane Window", MB_ICONERROR);
    ExitProcess(1);
}

DWORD FrameStyle(int flags, DWORD base)
{
    DWORD s = base;
    if (flags & kWindowSystemMenu)
        s |= WS_SYSMENU;
    if (flags & kWindowMinimiseBox)
        s |= WS_MINIMIZEBOX;
    if (flags & kWindowMaximiseBox)
        s |= WS_MAXIMIZEBOX;
    if (flags & kWindowMaximised)
        s |= WS_MAXIMIZE;
    if (!(flags & kWindowFixedSize))
        s |= WS_THICKFRAME;
    return s;
}

DWORD FrameExStyle(int flags, DWORD base)
{
    DWORD e = base;
    if (flags & kWindowTopmost)
        e |= WS_EX_TOPMOST;
    return e;
}

void WindowBackgroundSet(int n, int colour)
{
    if (gWindowTable.backgroundBrush[n])
        DeleteObject(gWindowTable.backgroundBrush[n]);
    gWindowTable.backgroundBrush[n] = colour == -1 ? nullptr : CreateSolidBrush(static_cast<COLORREF>(colour & 0xFFFFFF));
    gWindowTable.backgroundColour[n] = colour == -1 ? -1 : colour;
}

int ContentsDialogProbe(int dialogId, HWND parent, int width, int height, int& flags, SIZE* extent)
{
    if (!FindResourceA(gWindowSystem.instance, MAKEINTRESOURCEA(dialogId), reinterpret_cast<LPCSTR>(RT_DIALOG)))
        return -1;
    HWND d = CreateDialogParamA(gWindowSystem.instance, MAKEINTRESOURCEA(dialogId), parent, ProbeDialogProc, 0);
    if (!d)
        return -4;
    LONG style = GetWindowLongA(d, GWL_STYLE);
    int status = 0;
    if (!(style & WS_CHILD) || !(style & DS_CONTROL) || (style & WS_CAPTION) == WS_CAPTION || (style & WS_SYSMENU)) {
        status = -2;
    } else {
        SetWindowPos(d, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        // A zero-filled dialog record for the time the extras are parsed.
        WindowDialogs().recordAttach(d);
        WindowDialogs().extrasParse(d, dialogId, -1);
        bool resizable = WindowDialogs().isResizable(d) != 0;
        WindowDialogs().recordRelease(d);
        if (!resizable)
            flags = (flags | kWindowFixedSize) & ~(kWindowMaximiseBox | kWindowMaximised);
        if (extent) {
            RECT r;
            GetWindowRect(d, &r);
            extent->cx = r.right - r.left;
            extent->cy = r.bottom - r.top;
        }
    }
    DestroyWindow(d);
    return status;
}

bool WindowBarsCreate(int n, const int toolbars[4], int flags, bool centreX, bool centreY, RECT& outer)
{
    HWND frame = gWindowTable.frame[n];
    bool any = false;
    bool maximised = flags & kWindowMaximised;
    for (int slot = 0; slot < 4; ++slot) {
        if (!toolbars || toolbars[slot] == 0)
            continue;
        int id = toolbars[slot], w = 0, h = 0;
        ToolbarCreate(id, n, slot, w, h);
        HWND tb = gWindowTable.toolbars[n][slot];
        if (!tb)
            continue;
        any = true;
        RECT t;
        GetWindowRect(tb, &t);
        if (slot == kToolbarTop || slot == kToolbarBottom) {
            int grow = t.bottom - t.top;
            outer.bottom += grow;
            if (centreY && !maximised)
                OffsetRect(&outer, 0, -grow / 2);
        } else {
            int grow = gWindowTable.toolbarExtents[n][slot];
            outer.right += grow;
            if (centreX && !maximised)
                OffsetRect(&outer, -grow / 2, 0);
        }
    }
    gWindowTable.partStyle[n].fill(0);
    gWindowTable.partWidth[n].fill(0);
    if (flags & kWindowStatusBar) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        if (!(flags & kWindowFixedSize))
            style |= SBARS_SIZEGRIP;
        HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", style, 0, 0, outer.right - outer.left, 10, frame,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                                  gWindowSystem.instance, nullptr);
        if (sb) {
            gWindowTable.statusBar[n] = sb;
            gWindowTable.partWidth[n][0] = -1;
            any = true;
            RECT s;
            GetWindowRect(sb, &s);
            int grow = s.bottom - s.top;
            outer.bottom += grow;
            if (centreY && !maximised)
                OffsetRect(&outer, 0, -grow / 2);
        }
    }
    if (any) {
        SetWindowPos(frame, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
        if (gWindowTable.statusBar[n])
            SendMessageA(gWindowTable.statusBar[n], WM_SIZE, 0, 0);
        if (maximised) {
            int extra = 0;
            for (int slot : {kToolbarTop, kToolbarBottom})
                if (HWND tb = gWindowTable.toolbars[n][slot]) {
                    RECT t;
                    GetWindowRect(tb, &t);
                    extra += t.bottom - t.top;
                }
            if (HWND sb = gWindowTable.statusBar[n]) {
                RECT t;
                GetWindowRect(sb, &t);
                extra += t.bottom - t.top;
            }
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            GetWindowPlacement(frame, &wp);
            wp.rcNormalPosition.bottom += extra;
            SetWindowPlacement(frame, &wp);
        }
    }
    return any;
}

HWND ClientWindowCreate(int n)
{
    HWND frame = gWindowTable.frame[n];
    RECT r;
    GetClientRect(frame, &r);
    auto& tb = gWindowTable.toolbars[n];
    auto height = [](HWND w) {
        RECT t;
        GetWindowRect(w, &t);
        return static_cast<int>(t.bottom - t.top);
    };
    auto width = [](HWND w) {
        RECT t;
        GetWindowRect(w, &t);
        return static_cast<int>(t.right - t.left);
    };
    if (tb[kToolbarTop])
        r.top += height(tb[kToolbarTop]);
    if (tb[kToolbarLeft])
        r.left += width(tb[kToolbarLeft]);
    if (tb[kToolbarRight])
        r.right -= width(tb[kToolbarRight]);
    if (tb[kToolbarBottom])
        r.bottom -= height(tb[kToolbarBottom]);
    if (gWindowTable.statusBar[n])
        r.bottom -= height(gWindowTable.statusBar[n]);
    HWND client = CreateWindowExA(0, "QUILCLIENT", nullptr, kClientStyle, r.left, r.top,
                                  std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top), frame,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), gWindowSystem.instance, nullptr);
    gWindowTable.client[n] = client;
    return client;
}

int ContentsDialogAttach(int n, int dialogId, int flags)
{
    HWND frame = gWindowTable.frame[n];
    int status = dialogId;
    WindowDialogs().create(status, dialogId, n, 1);
    // The loader's statuses in the window-opening routines' terms: table full
    // (-3), no resource (-1), no dialog window (-4).
    if (status == -1)
        return -3;
    if (status == -2)
        return -1;
    if (status <= 0)
        return -4;
    int index = WindowDialogs().indexById(dialogId);
    HWND dialog = index >= 0 ? WindowDialogs().tableWindow(index) : nullptr;
    if (!dialog)
        return -4;
    if (!(flags & kWindowHidden)) {
        int type = 2;
        WindowDialogs().show(0, 0, 0, 0, type, 0, 1);
    }
    auto* rec = static_cast<ContentsDialogRecord*>(WindowRecordAttach(frame, kRecordContentsDialog,
                                                                      sizeof(ContentsDialogRecord)));
    if (rec) {
        rec->dialog = dialog;
        RECT r;
        if (IsZoomed(frame)) {
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            GetWindowPlacement(frame, &wp);
            r = wp.rcNormalPosition;
        } else {
            GetWindowRect(frame, &r);
        }
        rec->outerWidth = r.right - r.left;
        rec->outerHeight = r.bottom - r.top;
    }
    WindowDialogs().recordHandleSet(dialog, kDlgHost, frame);
    if ((flags & kWindowMaximised) && WindowDialogs().isResizable(dialog)) {
        RECT cr;
        GetClientRect(gWindowTable.client[n], &cr);
        SendMessageA(gWindowTable.client[n], WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
        UpdateWindow(dialog);
    }
    return dialogId;
}

void MainWindowCreate(int x, int y, int& width, int& height, int flags, int menu, const int toolbars[4],
                      int ncol, int& dialog, int background, const char* title)
{
    gWindowSystem.instance = GetModuleHandleA(nullptr);
    EventEnableMaskDefaults();
    RegisterClasses();

    LoadLibraryA("comctl32.dll");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HWND probe = CreateWindowExA(0, "QUILLODRANE", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 gWindowSystem.instance, nullptr);
    if (!probe)
        WindowFatal("Failed to create window - aborting.");
    gWindowTable.frame[0] = probe;
    // Every layer's window classes first: the dialog layer's look for the
    // grid's among the classes it recognises.
    LibraryLayerStepsRun(&LibraryLayerSteps::classesRegister);
    gWindowSystem.richEditVersion = RichEditVersion();
    gWindowSystem.findReplaceMessage = RegisterWindowMessageA("commdlg_FindReplace");
    LibraryLayerStepsRun(&LibraryLayerSteps::mainWindowOpening);

    int working = flags;
    bool fits = false;
    if (dialog != 0) {
        int status = ContentsDialogProbe(dialog, probe, width, height, working);
        if (status < 0)
            dialog = status;
        else
            fits = true;
    }
    gWindowTable.frame[0] = nullptr;
    DestroyWindow(probe);

    HMENU hmenu = menu ? LoadMenuA(gWindowSystem.instance, MAKEINTRESOURCEA(menu)) : nullptr;
    DWORD style = FrameStyle(working, WS_CAPTION | WS_CLIPCHILDREN);
    DWORD ex = FrameExStyle(working, 0);
    WindowBackgroundSet(0, background);

    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, style, FALSE, ex);
    AdjustWindowRectEx(&outer, kClientStyle, hmenu != nullptr, 0);
    int outerW = outer.right - outer.left, outerH = outer.bottom - outer.top;
    bool centreX = x == kCentred, centreY = y == kCentred;
    if (centreX)
        x = (ScreenWidth() - outerW) / 2;
    if (centreY)
        y = (ScreenHeight() - outerH) / 2;

    HWND frame = CreateWindowExA(ex, "QUILLODRANE", title, style, x, y, outerW, outerH, nullptr, hmenu,
                                 gWindowSystem.instance, nullptr);
    if (!frame) {
        if (hmenu)
            DestroyMenu(hmenu);
        WindowFatal("Failed to create window - aborting.");
    }
    gWindowTable.frame[0] = frame;
    gWindowTable.savedPlacement[0] = {kNoPlacement, 0, 0, 0};
    WindowMenuRowLoad(0, GetMenu(frame), menu);

    RECT pos;
    GetWindowRect(frame, &pos);
    WindowBarsCreate(0, toolbars, working, centreX, centreY, pos);

    HWND client = ClientWindowCreate(0);
    if (client && (working & kWindowMaximised) && background != -1)
        RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
    if (!client)
        WindowFatal("Failed to create window - aborting.");

    if (fits)
        dialog = ContentsDialogAttach(0, dialog, working);

    auto maximisedLayout = [&] {
        RECT cr;
        GetClientRect(frame, &cr);
        SendMessageA(frame, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(cr.right, cr.bottom));
    };
    if (working & kWindowHidden) {
        if (working & kWindowMaximised)
            maximisedLayout();
    } else {
        if (working & kWindowMaximised) {
            ShowWindow(frame, SW_SHOWMAXIMIZED);
            maximisedLayout();
        } else {
            ShowWindow(frame, SW_SHOWNORMAL);
        }
        ValidateRect(client, nullptr);
        if (auto* cd = WindowRecordAs<ContentsDialogRecord>(frame, kRecordContentsDialog))
            UpdateWindow(cd->dialog);
    }

    // Drawing set-up: the client's DC is the window DC and the drawing DC.
    WindowGraphicsTargetKind() = kTargetWindow;
    WindowGraphicsTargetId() = 0;
    int n = 0, w = 0, h = 0;
    DrawingDCSelectWindow(w, h, n);
    if (gWindowSystem.windowDC) {
        SetBkMode(gWindowSystem.windowDC, TRANSPARENT);
        SetTextAlign(gWindowSystem.windowDC, TA_BASELINE);
        SetROP2(gWindowSystem.windowDC, R2_COPYPEN);
    }
    width = w;
    height = h;
    gLibraryState.currentWindowWidth = w;
    gLibraryState.currentWindowHeight = h;
    gWindowTextState.foreground = 0;
    gWindowTextState.background = 15;
    gWindowTextState.underline = 0;
    WindowColourTableDefaults();
    gWindowSystem.timerWaitFlag = 0;

    if (gLibraryState.colourCount == 256)
        DefaultPaletteCreate(ncol);

    if (!gWindowSystem.msimg32)
        gWindowSystem.msimg32 = LoadLibraryA("msimg32.dll");
    gWindowSystem.gradientFill =
        gWindowSystem.msimg32 ? GetProcAddress(gWindowSystem.msimg32, "GradientFill") : nullptr;
    if (!gWindowSystem.mapi32)
        gWindowSystem.mapi32 = LoadLibraryA("mapi32.dll");
    gWindowSystem.mapiSendMail =
        gWindowSystem.mapi32 ? GetProcAddress(gWindowSystem.mapi32, "MAPISendMail") : nullptr;
    if (!gWindowSystem.cgmClipboardFormat)
        gWindowSystem.cgmClipboardFormat = RegisterClipboardFormatA("Quillodrane CGM");

    for (auto& p : gPendingEventTable.entry)
        p.type = 0;
    if (!(working & kWindowHidden))
        SetFocus(client);
    gWindowSystem.lastActiveFrame = frame;
}

void WindowOpen(const int* flags, const int* x, const int* y, const int* width, const int* height,
                const int* menu, const int* toolbars, int* dialog, std::string_view title, const int* ncol,
                const int* bgColour)
{
    if (gLibraryState.mainWindowOpen)
        return;
    int f = flags ? *flags : kWindowFlagsDefault;
    int px = x ? *x : kCentred;
    int py = y ? *y : kCentred;
    int w = (width && *width > 0) ? *width : ScreenWidth() * 8 / 10;
    int h = (height && *height > 0) ? *height : ScreenHeight() * 8 / 10;
    int m = menu ? *menu : 0;
    int bars[4] = {0, 0, 0, 0};
    if (toolbars)
        std::copy(toolbars, toolbars + 4, bars);
    int d = dialog ? *dialog : 0;
    int colours = ncol ? *ncol : 16;
    if (colours != 16 && colours != 32 && colours != 64 && colours != 128)
        colours = 16;
    int background = bgColour ? *bgColour : -1;
    std::string text(TrimRight(title));

    MainWindowCreate(px, py, w, h, f, m, bars, colours, d, background, text.c_str());
    if (d == -1)
        YYErrorReport(kErrorDialogNotInResource, "WindowOpen");
    else if (d == -2)
        YYErrorReport(kErrorDialogStyle, "WindowOpen");
    else if (d == -4)
        YYErrorReport(kErrorDialogCreate, "WindowOpen");
    else if (d > 0)
        WindowCurrentDialog() = d;
    if (dialog)
        *dialog = d;
    if (gLibraryState.colourCount == 256)
        gLibraryState.paletteSize = colours;

    gLibraryState.mainWindowOpen = -1;
    gLibraryState.currentWindow = 0;
    gLibraryState.windowFlags[0] = f;

    auto& t = gWindowTextState;
    t.foreground = 0;
    t.background = 15;
    t.underline = 0;
    int cw = 0, ch = 0;
    WindowTextFont(0, 0, 0, cw, ch);
    int nx = 0, ny = 0;
    WindowPixelToNormal(cw, ch, nx, ny);
    t.normalWidth = nx;
    t.normalHeight = ny;

    WindowGraphicsColourTableInit();
    WindowGraphicsDefaults(" ");
    if (gWindowTable.statusBar[0])
        StatusBarErrorDeliveryInstall();
}

void AllWindowsDestroy()
{
    WindowSurfaceDestroy();
    WindowBitmapsDestroyAll();
    for (int n = 0; n <= kLastWindow; ++n) {
        HWND frame = gWindowTable.frame[n];
        WindowRecord* r = WindowRecordOf(frame);
        if (!r)
            continue;
        if (r->type == kRecordContentsDialog) {
            auto* cd = reinterpret_cast<ContentsDialogRecord*>(r);
            int32_t* words = WindowDialogs().recordWords(cd->dialog);
            int index = words ? WindowDialogs().indexById(words[kDlgIdentifier]) : -1;
            if (index > 0) {
                int hide = index;
                WindowDialogs().hide(hide);
                WindowDialogs().destroyById(0, index);
            }
            WindowRecordFree(r);
        } else if (r->type == kRecordSplit) {
            auto* s = reinterpret_cast<SplitRecord*>(r);
            if (s->bar && IsWindow(s->bar))
                DestroyWindow(s->bar);
            WindowRecordFree(r);
        }
        WindowRecordDetach(frame);
    }
    WindowDialogs().tableDestroyAll();
    gActiveDialog = nullptr;
    gWindowSystem.semiModelessDialog = nullptr;
    gWindowSystem.semiModelessCount = 0;
    gWindowSystem.lastActiveFrame = nullptr;
    WindowDialogs().fieldBrushDelete();
    if (gWindowSystem.msimg32)
        FreeLibrary(gWindowSystem.msimg32);
    if (gWindowSystem.mapi32)
        FreeLibrary(gWindowSystem.mapi32);
    gWindowSystem.msimg32 = gWindowSystem.mapi32 = nullptr;
    gWindowSystem.gradientFill = gWindowSystem.mapiSendMail = nullptr;
    for (int n = 0; n <= kLastWindow; ++n)
        WindowSoundClose(n);
    if (gWindowSystem.windowDC)
        ReleaseDC(gWindowSystem.windowDCOwner, gWindowSystem.windowDC);
    gWindowSystem.windowDC = nullptr;
    gWindowSystem.windowDCOwner = nullptr;
    for (int n = kLastWindow; n >= 0; --n) {
        if (gWindowTable.frame[n] && IsWindow(gWindowTable.frame[n]))
            DestroyWindow(gWindowTable.frame[n]);
        gWindowTable.frame[n] = nullptr;
        gWindowTable.client[n] = nullptr;
        gWindowTable.statusBar[n] = nullptr;
        gWindowTable.cursor[n] = nullptr;
        if (gWindowTable.backgroundBrush[n])
            DeleteObject(gWindowTable.backgroundBrush[n]);
        gWindowTable.backgroundBrush[n] = nullptr;
        gWindowTable.backgroundColour[n] = -1;
    }
    gWindowSystem.currentWindow = 0;
    for (auto& t : gWindowTable.toolbars)
        t = {};
    EventEnableMaskDefaults();
    WindowGraphicsTargetKind() = kTargetWindow;
}
