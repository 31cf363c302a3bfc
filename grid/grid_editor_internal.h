// What the grid editor's own files share beside grid/grid_editor.h: the
// layout inside the frame, the copy of the template grid and the bounded
// copy into the record's texts.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

struct GridEditorRecord;

// Places the status bar, the editor's toolbar, the window's toolbars and the
// grid (and the hidden client window under it) inside FRAME's client area.
void GridEditorLayout(HWND frame, GridEditorRecord* record);
// Makes the editor's own grid on FRAME as a full copy of the grid field
// TEMPLATEGRID (structure, cells, states, colours, labels, column controls,
// headers); the record's grid is nullptr when it cannot be made.
void GridEditorGridCopy(HWND frame, GridEditorRecord* record, HWND templateGrid);
// TEXT up to its first NUL into TO, cut to TO's size less 1, NUL-terminated.
void GridEditorTextCopy(std::span<char> to, std::string_view text);
// Whether the Edit popup would enable Cut (and Delete), and Paste.
bool GridEditorCutAllowed(GridEditorRecord* record);
bool GridEditorPasteAllowed(GridEditorRecord* record);
