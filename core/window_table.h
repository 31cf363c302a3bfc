// The window tables of the library: one row per window number (0 the main
// window, 1 to 50 child windows; row 51 is never a window), the records hung
// on frames that have a special role, the option bits of the window-opening
// routines, the 18 window colours and the state the window system keeps
// beside the rows.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

constexpr int kWindowRows = 52;     // rows 0..51
constexpr int kLastWindow = 50;     // highest window number
constexpr int kStatusBarParts = 255;
constexpr int kNoPlacement = -999;  // first word of an empty saved placement
constexpr int kCentred = -999999;   // position argument meaning "centre"

// Option bits of WindowOpen, WindowOpenChild and split panes.
enum WindowFlags : int {
    kWindowSystemMenu = 1,
    kWindowMinimiseBox = 2,
    kWindowMaximiseBox = 4,
    kWindowMaximised = 8,
    kWindowInsideParent = 16,
    kWindowStatusBar = 32,
    kWindowFixedSize = 64,
    kWindowHidden = 128,
    kWindowOwned = 256,
    kWindowTopmost = 512,
    kWindowNoCaption = 1024,
    kWindowToolWindow = 65536,
    kWindowFlagsDefault = 7,
};

// Toolbar slots.
enum ToolbarSlot : int { kToolbarTop = 0, kToolbarLeft = 1, kToolbarRight = 2, kToolbarBottom = 3 };

// A "KVBMENUSTRING" resource: records of a 16-bit item id and a NUL-terminated
// text, ended by id 0. Kept with its size so that reading never runs past it.
struct MenuHelpResource {
    const unsigned char* data = nullptr;
    unsigned size = 0;
    explicit operator bool() const { return data != nullptr; }
};

// One tool tip: a button command id (0 = free) and its text.
struct ToolTipRecord {
    int32_t id;
    char text[80];
};

// The window table: parallel columns indexed by window number.
struct WindowTable {
    std::array<HWND, kWindowRows> frame{};
    std::array<HWND, kWindowRows> client{};
    std::array<HWND, kWindowRows> statusBar{};
    std::array<HMENU, kWindowRows> menu{};
    std::array<HACCEL, kWindowRows> accelerators{};
    std::array<MenuHelpResource, kWindowRows> menuHelpResource{};
    std::array<int, kWindowRows> menuHelpCount{};
    std::array<std::array<HWND, 4>, kWindowRows> toolbars{};
    std::array<std::array<int, 4>, kWindowRows> toolbarExtents{};
    std::array<HWND, kWindowRows> activationOwner{};
    std::array<HCURSOR, kWindowRows> cursor{};
    std::array<int, kWindowRows> cursorShape{};
    std::array<HBRUSH, kWindowRows> backgroundBrush{};
    std::array<int, kWindowRows> backgroundColour{};
    std::array<std::array<int, 4>, kWindowRows> savedPlacement{};
    std::array<HBITMAP, kWindowRows> snapshotBitmap{};
    std::array<unsigned, kWindowRows> soundDevice{};
    std::array<std::array<int, kStatusBarParts>, kWindowRows> partWidth{};
    std::array<std::array<int, kStatusBarParts>, kWindowRows> partStyle{};
    std::array<ToolTipRecord*, kWindowRows> toolTips{};
    std::array<int, kWindowRows> toolTipCount{};
};
extern WindowTable gWindowTable;

// Record types of special windows (first word of every WindowRecord).
enum WindowRecordType : int32_t {
    kRecordEditor = 1,
    kRecordBitmapViewer = 2,
    kRecordContentsDialog = 3,
    kRecordGridEditor = 4,
    kRecordSplit = 5,
};

// The common head of every record hung on a frame (GWLP_USERDATA).
struct WindowRecord {
    int32_t type;
};

// Type 3: a dialog shown as the window's contents.
struct ContentsDialogRecord {
    int32_t type; // 3
    HWND dialog;
    int32_t outerWidth;
    int32_t outerHeight;
};

// Type 2: the head of a bitmap viewer's record, the part the window system
// reads (the rest belongs to the viewer).
struct BitmapViewerRecordHead {
    int32_t type;     // 2
    HWND toolbars[4]; // the window's toolbars, top, left, right, bottom
    HWND viewer;      // inner viewer window
    HWND statusBar;
};

// The head of an editor's record (the rest belongs to the editor), the part
// the bar routines read and write: the window's toolbars as the editor found
// them, its rich edit control, its own toolbar and that toolbar's tips, the
// window's status bar, the command line with its edit field, and the prompt
// frame left of the command line.
struct EditorRecordHead {
    int32_t type; // 1
    HWND toolbars[4];
    HWND richEdit;
    HWND editorToolbar;
    HWND toolbarTips;
    HWND statusBar;
    HWND commandLine;
    HWND commandEdit;
    HWND commandPanel;
};

// The head of a grid editor's record (the rest belongs to the grid editor),
// the part the bar routines read and write: the window's toolbars as the
// grid editor found them, its grid, its own toolbar and that toolbar's tips,
// and the window's status bar.
struct GridEditorRecordHead {
    int32_t type; // 4
    HWND toolbars[4];
    HWND grid;
    HWND toolbar;
    HWND toolTips;
    HWND statusBar;
};

// Type 5: a window divided into two panes by a bar.
struct SplitRecord {
    int32_t type; // 5
    HWND bar;
    int32_t window;          // the divided window's number
    int32_t pane[2];         // window numbers of the panes
    int32_t options;         // 1 horizontal bar, 2 proportional, 4 size is pane 1's
    int32_t paneFlags[2];
    int32_t paneExtent[2];   // pane client extents along the split axis
    int32_t dragAnchor;      // -999 unless the bar is dragged
    int32_t dragGrip;        // while the bar tracks a drag: where the mouse holds it, from its start
    int32_t outerWidth;
    int32_t outerHeight;
    HWND focusedPane;        // frame of the pane that last had the focus
    HWND specialPane;        // frame of an editor or grid-editor pane
    int32_t placing;         // 1 while WindowPlacementSet moves the window
};

// Split options.
enum SplitOptions : int { kSplitHorizontal = 1, kSplitProportional = 2, kSplitSizeIsPane1 = 4 };

// The record on FRAME (nullptr for none or a null frame).
WindowRecord* WindowRecordOf(HWND frame);
// Its type, 0 without a record.
int WindowRecordTypeOf(HWND frame);
// The record on FRAME when it has TYPE, else nullptr.
template <class R>
R* WindowRecordAs(HWND frame, int32_t type)
{
    WindowRecord* r = WindowRecordOf(frame);
    return (r && r->type == type) ? reinterpret_cast<R*>(r) : nullptr;
}
// Allocates a zero-filled record of SIZE bytes with TYPE and hangs it on FRAME.
void* WindowRecordAttach(HWND frame, int32_t type, size_t size);
// Detaches the record from FRAME (not freed).
void WindowRecordDetach(HWND frame);
// Frees a record allocated by WindowRecordAttach.
void WindowRecordFree(void* record);

// 18 packed RGB colours (red + 256 green + 65536 blue).
struct WindowColourTable {
    std::array<int, 18> rgb{};
};
extern WindowColourTable gWindowColourTable;
// Sets the default window colours (16 and 17 from the system).
void WindowColourTableDefaults();

// State the window system keeps beside the rows.
struct WindowSystemState {
    HINSTANCE instance = nullptr;
    int currentWindow = 0;          // the row the window services act on
    HDC windowDC = nullptr;         // DC of the current window's client
    HWND windowDCOwner = nullptr;   // the client window it belongs to
    HWND lastActiveFrame = nullptr;
    HWND pressedCaptionFrame = nullptr;
    HWND menuLoopWindow = nullptr;
    MenuHelpResource popupHelp;     // help of a popup menu being tracked
    int popupMenuLoop = 0;
    HWND semiModelessDialog = nullptr;
    int semiModelessCount = 0;
    int snapshotsActive = 0;        // window snapshots shown instead of exposes
    int richEditVersion = 0;
    FARPROC gradientFill = nullptr;
    FARPROC mapiSendMail = nullptr;
    HMODULE msimg32 = nullptr;
    HMODULE mapi32 = nullptr;
    UINT cgmClipboardFormat = 0;
    UINT findReplaceMessage = 0;
    int timerWaitFlag = 0;
    int systemTimerHold = 1;
    HWND statusBarSaveWord = nullptr; // status-bar field saved during a forwarded menu help request
    int statusBarRequest = 0;
};
extern WindowSystemState gWindowSystem;

// The window number 0..50 whose frame or client is HANDLE, or whose bitmap
// viewer record names HANDLE as its inner window; -1 for any other handle.
int WindowTableIndex(HWND handle);
// The lowest free child window number 1..50, or -1.
int WindowSlotFree();
// 1 when N is 0..50 and open.
bool WindowIsOpen(int n);
// Clears the entries of row N that belong to an open window.
void WindowRowClear(int n);
