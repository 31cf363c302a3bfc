// What the graphics core needs of the dialog layer above it: the current
// dialog, selecting one, a dialog or its field as the drawing surface, and
// the other windows disabled around a modal bitmap viewer. The dialog layer
// installs these services while the program starts (dialogs/message_box.cpp,
// beside the dialog words); without them no dialog is current, no dialog
// field can become the drawing target and no other window is disabled.
#pragma once

#include <windows.h>

struct DialogServices {
    int (*currentDialog)() = nullptr;                                      // identifier, 0 for none
    void (*select)(int identifier) = nullptr;                              // WDialogSelect
    void (*graphicsTarget)(int& field, int& width, int& height) = nullptr; // see below
    void (*otherWindowsDisable)(HWND except, int withWindows) = nullptr;
    void (*otherWindowsEnable)(HWND window, int withWindows) = nullptr;
};
void DialogServicesSet(const DialogServices& services);

// The services as the graphics core calls them.
int GraphicsCurrentDialog();
void GraphicsDialogSelect(int identifier);
// The current dialog (field 0) or its field as the drawing surface; FIELD
// := -1 on failure.
void GraphicsDialogTarget(int& field, int& width, int& height);
void GraphicsOtherWindowsDisable(HWND except, int withWindows);
void GraphicsOtherWindowsEnable(HWND window, int withWindows);
