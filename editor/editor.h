// The text editor's public routines: turning the current child window into a
// rich-edit editor or viewer (EditorCreate), and the routines through which a
// program reads and changes the editor in the current window. Positions are
// 0-based; on rich edit versions 2 and 3 a line break counts two characters
// (as in a file) unless the editor was created with option 0x10000.
#pragma once

#include <span>
#include <string_view>

// Options of EditorCreate (bits not listed have no effect).
enum EditorCreateFlags : int {
    kEditorWrap = 0x1,
    kEditorViewer = 0x4,
    kEditorCommandLine = 0x8,
    kEditorCommandHistory = 0x10,
    kEditorNoToolbar = 0x20,
    kEditorRichText = 0x40,
    kEditorModifiedMark = 0x80,
    kEditorNoNewOpen = 0x100,
    kEditorNoSaveAs = 0x200,
    kEditorNoPrint = 0x400,
    kEditorNoSave = 0x2000,
    kEditorWithBuffers = 0x4000,
    kEditorNoClose = 0x8000,
    kEditorControlPositions = 0x10000,
    kEditorBackup = 0x20000,
    kEditorNoNameInTitle = 0x400000,
    kEditorNoMenu = 0x800000,
    kEditorNoOpenErrorBox = 0x1000000,
    kEditorPrintByProgram = 0x4000000,
    kEditorAlternativeKeys = 0x8000000,
};

// Turns the current window (a child window) into an editor, or, when it is
// one already, opens FILENAME in it (a new buffer with option 0x4000).
// STATUS is preset by the caller and receives a code only when something is
// wrong (1 main window, 2 menu with mode 1, 3 menu not loaded, 4 no menu
// possible, 5 mode changed to 2, 6 no memory, 7 no command line in mode 1,
// 8 other special window, 11 client has child windows, 12 a 36th buffer).
// MODE 1 modal (returns when the editor closes), 2 modeless, 3 semi-modeless.
// MENUID: the user's menu, accelerator, id-list and help resources (0 none).
// FONTFAMILY and POINTSIZE as EditorFontCreate; FILTERINDEX -1 = 1; SPLIT the
// number of a split window that holds the editor as a pane, or -1. FILTER:
// pairs of description and pattern, each ended by the separator, which is
// the text's last character; empty = the built-in filter.
void EditorCreate(int& status, int& mode, int menuId, int options, int fontFamily, int pointSize,
                  int filterIndex, int split, std::string_view fileName, std::string_view filter);

// Routines on the editor in the current window.
void EditorTextSet(int& status, std::string_view text);
// START in, status out (0, -1 not an editor): replaces START..END by TEXT.
void EditorTextInsert(int& start, int end, std::string_view text);
// Copies the text, NUL-terminated, into BUFFER: status 0 whole text, 2 cut
// to size - 1 characters, 1 not an editor.
void EditorTextCopyOut(int& status, std::span<char> buffer);
// START in, status out: copies COUNT - 1 characters from START and a NUL.
void EditorTextRangeGet(int& start, int count, std::span<char> buffer);
// Bytes of the text as the editor streams it (rich or plain text); 1 when the
// current window is not an editor.
void EditorTextLength(int& length);
// Streams the text into BUFFER; returns the bytes written (at most its size).
int EditorTextGet(std::span<char> buffer);
// Streams LENGTH bytes of TEXT in, replacing the whole text.
void EditorTextPut(int length, const char* text);
// START in, status out (-1 not an editor): selects START..END.
void EditorSelectionSet(int& start, int end);
void EditorCaretSet(int position);
void EditorLineScroll(int line);
// MODE 1: the line of character VALUE; else the position of line VALUE's
// start. RESULT -2 when the current window is not an editor.
void EditorLineIndex(int mode, int value, int& result);
// One value by CODE of editor WINDOW (-1 the last closed modal editor).
void EditorInfoGet(int window, int code, int& result);
// ITEM 1 find text, 2 replace text, 3 file name of editor WINDOW (-1 the last
// closed modal editor), NUL-terminated and cut to the buffer.
void EditorStringGet(int window, int item, std::span<char> buffer);
void EditorModifiedSet(int unmodified, int changedValue);
void EditorUndoEmpty();
void EditorBackupSet(int value);
void EditorRedrawSet(int flag);
void EditorRepaint(int window);
// View buffer N of the current editor: status 0, 1 not an editor, 2 invalid.
void EditorBufferSet(int n, int& status);
// The current buffer's file-type filter index: status 0, 1 not an editor.
void EditorFilterIndexSet(int index, int& status);

// Saves the current editor's buffer (WITHDIALOG 1: Save As).
void EditorSave(int withDialog);

// ---- printing and page setup (record index 0 the routines', 1 the Print
// commands'; values in points) ----
// Prints START..END (or the whole text when not 0 <= START < END) of the
// current editor on the printer of record 0: status 1 printed, else 0.
void EditorPrintRange(int& status, int start, int end, std::string_view documentName);
// The page setup dialog on record RECORDINDEX in UNITS (below 2 inches, 2 and
// above millimetres, -1 the user's locale): status 1 on OK, else 0.
void EditorPageSetup(int units, int recordIndex, int& status);
// ITEM 1 width and 2 height inside the margins, 3 left and 4 top margin,
// 5 orientation (0 portrait, 1 landscape; Set: 2 and 3 also fit the margins
// to the new orientation).
void EditorPageSetupGet(int item, int& value, int recordIndex);
void EditorPageSetupSet(int item, int value, int recordIndex);

// ---- font and formats ----
// New font FAMILY and POINTS (-1 keeps the current one) for the current
// editor: status 0, 1 not an editor.
void EditorFontSet(int family, int points, int& status);
// Formats characters FIRST..LAST (1-based) of the current rich-text editor:
// BOLD, ITALIC, STRIKEOUT 1 on, -1 unchanged, else off; UNDERLINE above 0 on;
// POINTS -1 unchanged; COLOUR and BACKGROUND -2 unchanged, -1 automatic,
// else RGB; FACE empty unchanged (cut to 31 characters). Status 0, -1 not an
// editor, -2 not a rich-text editor.
void EditorCharFormatSet(int& status, int first, int last, int bold, int italic, int underline, int strikeOut,
                         int points, int colour, int background, std::string_view face);
// BULLETS -1 unchanged, 1 on, else off; ALIGNMENT -1 unchanged, 0 left,
// 1 centre, 2 right. Statuses as EditorCharFormatSet.
void EditorParaFormatSet(int& status, int first, int last, int bullets, int alignment);
// The current editor draws its visible lines itself from now on, colouring
// ranges by the line-colour hook.
void EditorLinePaintingOn();

// ---- command line and history (status 1 when the current window is not an
// editor) ----
// The prompt left of the command line (LENGTH characters of TEXT; empty
// removes it): status 0, 2 without a command line.
void EditorPromptSet(int& status, std::string_view text, int length);
// Replaces the command line's text, the caret at CARET: status 0, 2 without
// a command line.
void EditorCommandLineSet(int& status, std::string_view text, int caret);
// Copies the command line into BUFFER (cut to size - 1 and a NUL): status 0,
// 2 cut, 3 without a command line.
void EditorCommandLineGet(int& status, std::span<char> buffer);
// Status 0 when the editor has a history, 2 when not.
void EditorHistoryCheck(int& status);
void EditorHistoryClear(int& status);
// Inserts TEXT at INDEX (0 newest, up to the entry count) of the history;
// the oldest entry goes when 100 are there. Other indexes change nothing.
void EditorHistoryInsert(int index, std::string_view text);
// Copies entry INDEX into BUFFER (cut to size - 1 and a NUL); status 0, 2
// cut, 3 no such entry or no history (BUFFER untouched).
void EditorHistoryGet(int index, std::span<char> buffer, int& status);

// Test seam: makes the editors created from now on use rich edit VERSION
// (1 the older control "RICHEDIT", 2 or 3 "RichEdit20A"); 0 goes back to the
// version found at start-up.
void EditorRichEditVersionForce(int version);
