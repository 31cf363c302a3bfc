// What the window system asks of the dialog layer above it through hooks: the
// dialog manager's current-dialog word, the snapshot of the windows' contents
// taken before a modal editor, and the other windows disabled and enabled
// again around a modal or semi-modal editor. The dialog layer installs them
// while the program starts (dialogs/message_box.cpp, beside the dialog
// words). Without them the window system keeps a current-dialog word of its
// own (0: none), takes no snapshot and disables no other window. The dialog
// routines that the window system calls by name are declared in
// core/neighbours.h.
#pragma once

#include <windows.h>

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
