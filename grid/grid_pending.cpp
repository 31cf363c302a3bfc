// Least bodies of what the grid engine needs from the grid editor window,
// which is not written yet. Until it is, no window is a grid editor: the
// identifier 0 names no grid, so every engine member and public routine
// addressed with it reports that no grid exists, and the rest is never
// reached with a live grid editor. The grid editor replaces this file.
#include "grid/grid_engine.h"
#include "grid/grid_print.h"

// Stands in for the lookup of the grid held by the current child window's
// grid editor record.
HWND GridEditorCurrentGrid()
{
    return nullptr;
}

// Stands in for shrinking the grid editor's frame to its grid's extent after
// the rows or the columns of its grid changed.
void GridEditorFitFrame() {}

// Stands in for recording the grid editor's current cell (a packed cell) in
// its record when a change of the rows or columns moved it.
void GridEditorRecordCell(int) {}

// Stands in for reading the find text, the second text or the file name out
// of a live grid editor's record.
void GridEditorLiveText(HWND, int, std::span<char> buffer)
{
    GridCopyOut(buffer, "");
}

// Stands in for reading the file name out of the record of the grid editor
// that holds GRID: no grid is an editor's yet, so the print is "Untitled Grid".
void GridEditorFileName(HWND, std::span<char> buffer)
{
    GridCopyOut(buffer, "");
}
