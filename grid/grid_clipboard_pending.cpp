// Least bodies of the grid's clipboard routines, whose owner (copying and
// pasting blocks of cells as text) is not written yet. Until it is, the grid
// sees no block on the clipboard and treats every block as not to be cut,
// cleared or pasted into; single values still go through the in-cell editor,
// which handles them like any edit control. The owner replaces this file.
#include "grid/grid_record.h"

int GridClipboardTextKind()
{
    return 0;
}

int GridSelectionUnprotected(HWND)
{
    return 0;
}

int GridPasteTargetUnprotected(HWND)
{
    return 0;
}

int GridCopyToClipboard(HWND)
{
    return 0;
}

void GridPasteFromClipboard(HWND) {}

void GridClearSelectedCells(HWND) {}
