// Bodies of the neighbouring routines (core/neighbours.h) whose subsystems do
// not exist yet. Each does the least the window system needs: no dialog is
// loaded, no grid, editor or bitmap viewer exists. A subsystem that lands
// removes its routines from this file and defines them itself.
#include "core/neighbours.h"

#include "core/window_table.h"

void BitmapTableDestroyAll() {}

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
