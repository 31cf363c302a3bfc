// The dialog layer's services to the window system (see dialog_services.h).
#include "core/dialog_services.h"

namespace {

// Constant-initialised, so that the dialog layer may install its services
// from any file's initialisation.
constinit WindowDialogServices gWindowDialogServices{};
// The current-dialog word while no dialog layer installed its own.
constinit int gOwnCurrentDialog = 0;
constinit WindowDialogManager gWindowDialogManager{};

} // namespace

void WindowDialogServicesSet(const WindowDialogServices& services)
{
    gWindowDialogServices = services;
}

int& WindowCurrentDialog()
{
    return gWindowDialogServices.currentDialog ? *gWindowDialogServices.currentDialog : gOwnCurrentDialog;
}

void WindowContentsSnapshotTake(int mode, int except, int& status)
{
    if (gWindowDialogServices.contentsSnapshot)
        gWindowDialogServices.contentsSnapshot(mode, except, status);
}

void WindowOthersDisable(HWND except, int withWindows)
{
    if (gWindowDialogServices.otherWindowsDisable)
        gWindowDialogServices.otherWindowsDisable(except, withWindows);
}

void WindowOthersEnable(HWND window, int withWindows)
{
    if (gWindowDialogServices.otherWindowsEnable)
        gWindowDialogServices.otherWindowsEnable(window, withWindows);
}

void WindowDialogManagerSet(const WindowDialogManager& manager)
{
    gWindowDialogManager = manager;
}

const WindowDialogManager& WindowDialogs()
{
    return gWindowDialogManager;
}
