// Bodies of the neighbouring routines (core/neighbours.h) whose subsystems do
// not exist yet. Each does the least the window system needs: no dialog is
// loaded, no grid, editor or bitmap viewer exists. A subsystem that lands
// removes its routines from this file and defines them itself.
#include "core/neighbours.h"

#include "core/window_table.h"

void BitmapTableDestroyAll() {}

// Without the dialog manager no dialog window can be created.
void DialogShow(int, int, int, int, int& type, int, int) { type = -1; }
void DialogHide(int&) {}
void DialogDestroyById(int, int) {}
void DialogFieldSelectAll(HWND field)
{
    char cls[16] = {};
    if (field && GetClassNameA(field, cls, sizeof cls) && lstrcmpiA(cls, "EDIT") == 0) {
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, EM_SCROLLCARET, 0, 0);
    }
}
void DialogLinksReplace(HWND, HWND) {}
HCURSOR DialogTargetFieldCursor(int&) { return nullptr; }
void DialogTargetFieldCursorSet(HCURSOR, int) {}
void DialogFieldCursorsClear() {}

void GridRegisterClasses() {}
int YYGridSavePrompt(int, HWND) { return 1; }

HMENU SpecialRecordMenu(WindowRecord*) { return nullptr; }
HACCEL SpecialRecordAccelerators(WindowRecord*, int) { return nullptr; }
HWND* SpecialRecordStatusBarField(WindowRecord*) { return nullptr; }
HWND EditorFindReplaceDialog(WindowRecord*) { return nullptr; }
HWND SpecialRecordFocusControl(WindowRecord*) { return nullptr; }
int SpecialRecordUnsaved(WindowRecord*) { return 0; }
void SpecialRecordRelease(HWND, WindowRecord*) {}
int EditorSavePrompt(HWND, WindowRecord*) { return 1; }
int EditorBufferCount(WindowRecord*) { return 0; }
int EditorBufferCurrent(WindowRecord*) { return 0; }
void EditorBufferMakeCurrent(HWND, WindowRecord*, int, int, int) {}
