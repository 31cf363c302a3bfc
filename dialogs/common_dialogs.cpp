// The modal protocol shared by the message box and the common dialogs, the
// colour dialog with its kept custom colours, and the small system queries
// (see dialogs/common_dialogs.h).
#include "dialogs/common_dialogs.h"

#include <commdlg.h>

#include "core/events.h"
#include "core/window_services.h"
#include "core/window_table.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"

ColourDialogState gColourDialogState;

// ---- the modal protocol -------------------------------------------------------------

ModalScope::ModalScope()
{
    owner_ = DialogOwnerWindow();
    if (owner_ && !IsWindow(owner_))
        owner_ = nullptr;
    focus_ = GetFocus();
}

void ModalScope::Disable()
{
    OtherWindowsDisable(owner_, 1);
}

ModalScope::~ModalScope()
{
    HWND semi = gWindowSystem.semiModelessDialog;
    OtherWindowsEnable(semi ? semi : owner_, 1);
    if (!owner_ || !IsWindow(owner_))
        return;
    if (GetWindowLongA(owner_, GWL_STYLE) & WS_CHILD) {
        SetFocus(owner_);
        WindowFocusActivate(owner_);
    }
    if (focus_ && IsWindow(focus_) && IsChild(owner_, focus_))
        SetFocus(focus_);
}

// ---- colour dialog ----------------------------------------------------------------------

void ColourDialogRun(int& red, int& green, int& blue, int& accepted, int& error)
{
    ColourDialogState& s = gColourDialogState;
    if (!s.filled) {
        for (size_t i = 0; i < s.custom.size(); ++i)
            s.custom[i] = static_cast<COLORREF>(gWindowColourTable.rgb[i]);
        s.filled = 1;
    }
    ModalScope scope;
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = scope.Owner();
    choice.rgbResult = RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
    choice.lpCustColors = s.custom.data();
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    scope.Disable();
    if (ChooseColorA(&choice)) {
        red = GetRValue(choice.rgbResult);
        green = GetGValue(choice.rgbResult);
        blue = GetBValue(choice.rgbResult);
        accepted = 1;
        error = 0;
    } else {
        accepted = 0;
        error = static_cast<int>(CommDlgExtendedError());
    }
}

// ---- queries -------------------------------------------------------------------------------

void ButtonFaceColour(int& colour)
{
    colour = static_cast<int>(GetSysColor(COLOR_BTNFACE));
}

void LocaleMeasureSystem(int& system)
{
    char text[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, text, sizeof text);
    system = (text[0] == '1' && text[1] == '\0') ? 1 : 2;
}

void WindowScreenOrigin(int n, int& x, int& y)
{
    HWND w = nullptr;
    if (n >= 0 && n <= kLastWindow) {
        w = gWindowTable.client[n];
    } else if (n == -1) {
        w = (gActiveDialog && IsWindow(gActiveDialog)) ? gActiveDialog : gWindowSystem.lastActiveFrame;
        while (w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) && GetParent(w) && GetParent(GetParent(w)))
            w = GetParent(GetParent(w));
        if (w && WindowTableIndex(w) >= 0)
            w = gWindowTable.client[WindowTableIndex(w)];
    }
    POINT p{0, 0};
    if (w)
        ClientToScreen(w, &p);
    x = p.x;
    y = p.y;
}
