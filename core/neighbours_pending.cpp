// Bodies of the neighbouring routines (core/neighbours.h) whose subsystems do
// not exist yet. Each does the least the window system needs: no dialog is
// loaded, no grid or grid editor exists. A subsystem that lands removes its
// routines from this file and defines them itself. The routines on
// special-window records hand type 1 (the text editor) to the editor, type 2
// (the bitmap viewer) to the viewer and type 4 to the grid editor.
#include "core/neighbours.h"

#include "core/window_table.h"

namespace {

bool IsEditor(const WindowRecord* r)
{
    return r && r->type == kRecordEditor;
}

bool IsGridEditor(const WindowRecord* r)
{
    return r && r->type == kRecordGridEditor;
}

} // namespace

HMENU SpecialRecordMenu(WindowRecord* r)
{
    return IsEditor(r) ? EditorRecordMenu(r) : IsGridEditor(r) ? GridEditorRecordMenu(r) : nullptr;
}
HACCEL SpecialRecordAccelerators(WindowRecord* r, int which)
{
    return IsEditor(r) ? EditorRecordAccelerators(r, which)
                       : IsGridEditor(r) ? GridEditorRecordAccelerators(r, which) : nullptr;
}
HWND* SpecialRecordStatusBarField(WindowRecord* r)
{
    return IsEditor(r) ? EditorRecordStatusBarField(r) : IsGridEditor(r) ? GridEditorRecordStatusBarField(r) : nullptr;
}
HWND SpecialRecordFocusControl(WindowRecord* r)
{
    return IsEditor(r) ? EditorRecordFocusControl(r) : IsGridEditor(r) ? GridEditorRecordFocusControl(r) : nullptr;
}
int SpecialRecordUnsaved(WindowRecord* r) { return IsGridEditor(r) ? GridEditorRecordUnsaved(r) : 0; }
void SpecialRecordRelease(HWND frame, WindowRecord* r)
{
    if (IsEditor(r))
        EditorRecordRelease(frame, r);
    else if (IsGridEditor(r))
        GridEditorRecordRelease(frame, r);
    else if (r && r->type == kRecordBitmapViewer)
        BitmapViewerRelease(frame, r);
}
