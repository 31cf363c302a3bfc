// What the window system asks of the dialog layer above it through hooks: the
// dialog manager's current-dialog word, the snapshot of the windows' contents
// taken before a modal editor, the other windows disabled and enabled again
// around a modal or semi-modal editor, and the dialog manager's routines for
// dialogs that are a window's contents or live beside its windows (loading,
// showing, hiding and destroying them, their records and cursors). The
// dialog layer installs them while the program starts
// (dialogs/message_box.cpp, beside the dialog words). Without them the window
// system keeps a current-dialog word of its own (0: none), takes no snapshot,
// disables no other window and finds no dialog: every dialog routine does
// nothing and answers "none".
#pragma once

#include <windows.h>

#include <cstdint>

// Words of the dialog record, in order (the window system reads some of them).
enum DialogWord : int {
    kDlgIdentifier = 0,     // the number by which the caller names the dialog
    kDlgUnused = 1,         // always 0
    kDlgShown = 2,          // 1 while shown modeless or semi-modeless
    kDlgCurrentField = 3,   // field that raised the last event or got the focus last
    kDlgPreviousField = 4,  // the current field before the last change
    kDlgNewPage = 5,        // page dialog selected by the last tab change
    kDlgOldPage = 6,        // page dialog left by the last tab change
    kDlgShowType = 7,       // DialogShowType of the last show
    kDlgOwner = 8,          // window active when shown (a handle)
    kDlgReturn = 9,         // window the focus returns to when hidden (a handle)
    kDlgGridCell = 10,      // packed cell of the last grid change; kept message parameter
    kDlgGraphicsField = 11, // 0 while events of the dialog's own graphics area are raised
    kDlgGraphicsArea = 12,  // 1 once the dialog itself is a drawing target
    kDlgMouseButton = 13,   // button of the last graphics-area mouse event
    kDlgMainAccelerators = 14, // 1: the main window's accelerators apply
    kDlgHost = 15,          // frame of the window whose contents the dialog is (a handle)
    kDlgFocusField = 16,    // field that had the focus last (a handle)
    kDlgStretchField = 17,  // control named by the "[Dialog]" line (a handle); non-zero: resizable
    kDlgMinWidth = 18,      // window width at load
    kDlgMinHeight = 19,     // window height at load
    kDialogWordCount = 20,
};

struct WindowDialogServices {
    int* currentDialog = nullptr; // identifier of the current dialog, 0 for none
    void (*contentsSnapshot)(int mode, int except, int& status) = nullptr; // WindowContentsSnapshot
    void (*otherWindowsDisable)(HWND except, int withWindows) = nullptr;
    void (*otherWindowsEnable)(HWND window, int withWindows) = nullptr;
};
void WindowDialogServicesSet(const WindowDialogServices& services);

// The services as the window system calls them.
// The current-dialog word: a window that opens with a dialog as its contents
// makes that dialog current, and closing the window clears the word again.
int& WindowCurrentDialog();
void WindowContentsSnapshotTake(int mode, int except, int& status);
void WindowOthersDisable(HWND except, int withWindows);
void WindowOthersEnable(HWND window, int withWindows);

// The dialog manager's routines as the window system calls them
// (WindowDialogs().create(...)); each member names the dialog manager's
// routine it stands for (dialogs/dialog_windows.h says what each does). The
// defaults answer as a program without dialogs would: no record, no loaded
// dialog, a load that finds no resource.
struct WindowDialogManager {
    int32_t* (*recordWords)(HWND dialog) = [](HWND) -> int32_t* { return nullptr; };   // DialogRecordWords
    int32_t* (*recordAttach)(HWND dialog) = [](HWND) -> int32_t* { return nullptr; };  // DialogRecordAttach
    void (*recordRelease)(HWND dialog) = [](HWND) {};                                  // DialogRecordRelease
    HWND (*recordHandle)(HWND dialog, int word) = [](HWND, int) -> HWND { return nullptr; }; // DialogRecordHandle
    void (*recordHandleSet)(HWND dialog, int word, HWND handle) = [](HWND, int, HWND) {}; // DialogRecordHandleSet
    int (*recordIdentifier)(HWND dialog) = [](HWND) { return 0; };                     // DialogRecordIdentifier
    void (*extrasParse)(HWND dialog, int resource, int tableIndex) = [](HWND, int, int) {}; // DialogExtrasParse
    int (*isResizable)(HWND dialog) = [](HWND) { return 0; };                          // DialogIsResizable
    // DialogCreate: RESOURCE := -2 (no such resource) without a dialog manager.
    void (*create)(int& resource, int identifier, int n, int hostFlag) = [](int& resource, int, int, int) {
        resource = -2;
    };
    void (*show)(int x, int y, int px, int py, int& type, int focus, int mode) =
        [](int, int, int, int, int&, int, int) {};                                     // DialogShow
    void (*hide)(int& index) = [](int&) {};                                            // DialogHide
    void (*destroyById)(int flag, int index) = [](int, int) {};                        // DialogDestroyById
    int (*indexById)(int identifier) = [](int) { return -1; };                         // DialogIndexById
    void (*fieldSelectAll)(HWND field) = [](HWND) {};                                  // DialogFieldSelectAll
    int (*tableCount)() = [] { return 0; };                                            // DialogTableCount
    HWND (*tableWindow)(int slot) = [](int) -> HWND { return nullptr; };               // DialogTableWindow
    void (*tableDestroyAll)() = [] {};                                                 // DialogTableDestroyAll
    void (*linksReplace)(HWND from, HWND to) = [](HWND, HWND) {};                      // DialogLinksReplace
    HWND (*currentWindow)() = []() -> HWND { return nullptr; };                        // DialogCurrentWindow
    void (*fieldBrushDelete)() = [] {};                                                // DialogFieldBrushDelete
    HCURSOR (*targetFieldCursor)(int& shape) = [](int&) -> HCURSOR { return nullptr; }; // DialogTargetFieldCursor
    void (*targetFieldCursorSet)(HCURSOR cursor, int shape) = [](HCURSOR, int) {};     // DialogTargetFieldCursorSet
    void (*fieldCursorsClear)() = [] {};                                               // DialogFieldCursorsClear
};
void WindowDialogManagerSet(const WindowDialogManager& manager);
const WindowDialogManager& WindowDialogs();
