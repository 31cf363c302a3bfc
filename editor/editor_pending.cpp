// Stand-ins for the parts of the editor that are not built yet: printing and
// page setup, paste, find and replace, the font dialog and the character and
// paragraph formats, line painting, and the command line with its history.
// Each does the least the rest of the editor needs and says what it stands
// in for; none of them does the real work.
#include "editor/editor_record.h"

// Stands in for printing: prints nothing and reports that nothing was
// printed, so no event follows.
int EditorPrint(HWND, EditorRecord*, int, int, int, int, std::string_view)
{
    return 0;
}

// Stands in for the editor's paste (plain text into the selection): hands
// the request to the control's own paste.
void EditorPaste(EditorRecord* r)
{
    SendMessageA(r->richEdit, WM_PASTE, 0, 0);
}

// Stands in for the search: finds nothing.
int EditorFind(HWND, EditorRecord*, FINDREPLACEA*)
{
    return 0;
}

// Stands in for the replacement: replaces nothing and finds nothing further.
int EditorReplace(HWND, EditorRecord*, FINDREPLACEA*)
{
    return 0;
}

// Stands in for the hook of inside-parent editors' find dialogs: leaves every
// message to the dialog.
UINT_PTR CALLBACK EditorFindDialogHook(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// Stands in for the Font command: shows no dialog and changes nothing.
void EditorFontDialog(HWND, EditorRecord*) {}

// Stand in for Bold, Italic, Underline, the alignments and bullets: change
// nothing.
void EditorCharFormatToggle(EditorRecord*, int) {}
void EditorAlignmentSet(EditorRecord*, int) {}
void EditorBulletToggle(EditorRecord*) {}

// Stands in for mirroring the selection's formats in the toolbar and menu:
// leaves the buttons as they are.
void EditorFormatButtonsUpdate(EditorRecord*) {}

// Stands in for the command line's procedure (Enter, history, keys): passes
// every message to the edit field's own procedure, so no event 14 arrives.
LRESULT CALLBACK EditorCommandLineProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control, GWLP_USERDATA));
    if (!previous)
        return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(previous, control, message, wParam, lParam);
}
