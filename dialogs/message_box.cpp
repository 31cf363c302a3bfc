// The message box: the table of button sets, icons and default buttons, the
// Windows box owned by the window the user works in, and the mapping of the
// user's choice to the library's answers.
#include "dialogs/message_box.h"

#include <windows.h>

#include <string>

#include "core/dialog_services.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/layer_steps.h"
#include "dialogs/common_dialogs.h"
#include "dialogs/dialog_extras.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/numeric_edit_classes.h"
#include "dialogs/window_snapshots.h"
#include "graphics/graphics_neighbours.h"

DialogStatus gDialogStatus;

int MessageBoxDefaultPosition(int type, int defaultAnswer)
{
    switch (type) {
    case kBoxOkCancel:
    case kBoxRetryCancel:
    case kBoxYesNo:
        return defaultAnswer == 1 ? 1 : 2;
    case kBoxYesNoCancel:
        return defaultAnswer == 1 ? 1 : defaultAnswer == 2 ? 2 : 3;
    case kBoxAbortRetryIgnore:
        return defaultAnswer == 1 ? 2 : defaultAnswer == 2 ? 1 : 3;
    default:
        return 1;
    }
}

unsigned MessageBoxFlags(int type, int icon, int buttonPosition)
{
    unsigned flags;
    switch (type) {
    case kBoxOkCancel: flags = MB_OKCANCEL; break;
    case kBoxRetryCancel: flags = MB_RETRYCANCEL; break;
    case kBoxYesNo: flags = MB_YESNO; break;
    case kBoxYesNoCancel: flags = MB_YESNOCANCEL; break;
    case kBoxAbortRetryIgnore: flags = MB_ABORTRETRYIGNORE; break;
    default: flags = MB_OK; break;
    }
    switch (icon) {
    case kIconStop: flags |= MB_ICONHAND; break;
    case kIconQuestion: flags |= MB_ICONQUESTION; break;
    case kIconExclamation: flags |= MB_ICONEXCLAMATION; break;
    case kIconInformation: flags |= MB_ICONASTERISK; break;
    default: break;
    }
    if (buttonPosition == 2)
        flags |= MB_DEFBUTTON2;
    else if (buttonPosition == 3)
        flags |= MB_DEFBUTTON3;
    return flags;
}

int MessageBoxAnswer(int windowsResult)
{
    switch (windowsResult) {
    case IDCANCEL:
    case IDIGNORE:
        return 0;
    case IDABORT:
    case IDNO:
        return 2;
    case IDOK:
    case IDRETRY:
    case IDYES:
        return 1;
    default: // 0: no box was shown
        return -1;
    }
}

void MessageBoxRun(int type, int icon, int buttonPosition, int& answer, std::string_view message,
                   std::string_view title)
{
    unsigned flags = MessageBoxFlags(type, icon, buttonPosition);
    std::string text(TrimRight(message));
    std::string caption(TrimRight(title));

    // The modal protocol around the box: the other library windows and shown
    // dialogs are disabled before it (the owner stays enabled; the box
    // disables it itself) and enabled after it. The snapshots of covered
    // graphics windows are taken by WMessageBox around the whole run.
    int result = 0;
    {
        ModalScope scope;
        scope.Disable();
        result = MessageBoxA(scope.Owner(), text.c_str(), caption.c_str(), flags);
    }
    answer = MessageBoxAnswer(result);
}

void WMessageBox(int type, int icon, int defaultAnswer, std::string_view message,
                 std::string_view title)
{
    int position = MessageBoxDefaultPosition(type, defaultAnswer);
    int status = 0;
    WindowContentsSnapshot(1, -1, status);
    if (status != 0)
        YYErrorReport(status, "WMessageBox");
    int answer = -1;
    MessageBoxRun(type, icon, position, answer, message, title);
    WindowContentsSnapshot(0, -1, status);
    gDialogStatus.previousField = 0;
    // A box that was not shown leaves no answer: -1, never a stale Yes that a
    // later question could take for the user's.
    gDialogStatus.lastAnswer = answer;
    if (answer == -1)
        YYErrorReport(kErrorCommonDialog, "WMessageBox");
}

namespace {

// The level-4 error box: only the answer of a box that was shown counts; a
// box that could not be shown (recorded as kErrorCommonDialog) must not end
// the process.
bool ErrorBoxShow(std::string_view text)
{
    gErrorState.lastCode = 0;
    WMessageBox(1, 3, 1, text, "Library Error");
    return gErrorState.lastCode != kErrorCommonDialog && gDialogStatus.lastAnswer == 0;
}

// The dialog words at start-up: no current dialog, and the values returned
// for blank numeric fields.
void DialogWordsStart()
{
    gDialogStatus.currentDialogId = 0;
    gDialogStatus.undefinedInteger = -999;
    gDialogStatus.undefinedReal = -999.0f;
    gDialogStatus.undefinedDouble = -999.0;
}

// ... and after the windows are gone at shut-down (the blank values kept).
void DialogWordsShutdown()
{
    gDialogStatus.currentDialogId = 0;
    gDialogStatus.exitField = 0;
    gDialogStatus.previousField = 0;
    gDialogStatus.exitDialog = 0;
    gDialogStatus.lastAnswer = 0;
}

// The main window opens (after every layer registered its classes): the
// standard control classes are found again and the words kept per main
// window reset.
void DialogMainWindowOpening()
{
    ControlClassProcsProbe();
    ControlClassAtomsProbe();
    DialogWindowOpenReset();
}

// Installed while the program starts: every program links the whole library,
// and the dialog manager keeps its words in this file.
const bool gDialogLayerInstalled =
    (ErrorBoxDeliverySet(ErrorBoxShow),
     LibraryLayerStepsSet(LibraryLayer::kDialogs, {.start = DialogWordsStart,
                                                   .afterWindows = DialogWordsShutdown,
                                                   .classesRegister = NumericEditClassesRegister,
                                                   .mainWindowOpening = DialogMainWindowOpening}),
     DialogServicesSet({.select = WDialogSelect, .graphicsTarget = DialogGraphicsTarget}),
     WindowDialogServicesSet({.currentDialog = &gDialogStatus.currentDialogId,
                              .contentsSnapshot = WindowContentsSnapshot,
                              .otherWindowsDisable = OtherWindowsDisable,
                              .otherWindowsEnable = OtherWindowsEnable}),
     WindowDialogManagerSet({.recordWords = DialogRecordWords,
                             .recordAttach = DialogRecordAttach,
                             .recordRelease = DialogRecordRelease,
                             .recordHandle = DialogRecordHandle,
                             .recordHandleSet = DialogRecordHandleSet,
                             .recordIdentifier = DialogRecordIdentifier,
                             .extrasParse = DialogExtrasParse,
                             .isResizable = DialogIsResizable,
                             .create = DialogCreate,
                             .show = DialogShow,
                             .hide = DialogHide,
                             .destroyById = DialogDestroyById,
                             .indexById = DialogIndexById,
                             .fieldSelectAll = DialogFieldSelectAll,
                             .tableCount = DialogTableCount,
                             .tableWindow = DialogTableWindow,
                             .tableDestroyAll = DialogTableDestroyAll,
                             .linksReplace = DialogLinksReplace,
                             .currentWindow = DialogCurrentWindow,
                             .fieldBrushDelete = DialogFieldBrushDelete,
                             .targetFieldCursor = DialogTargetFieldCursor,
                             .targetFieldCursorSet = DialogTargetFieldCursorSet,
                             .fieldCursorsClear = DialogFieldCursorsClear}),
     true);

} // namespace
