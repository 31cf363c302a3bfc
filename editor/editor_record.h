// The record of an editor window and the routines the editor's files share:
// creation, the window procedure, files, buffers, routines, menus and bars.
// The record hangs on the frame (type 1) and begins with the head that the
// window system reads (EditorRecordHead, core/window_table.h).
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/window_table.h"
#include "editor/editor_buffers.h"

constexpr int kEditorTextLimit = 104857500;
constexpr int kEditorNameLength = 260;
constexpr int kEditorTextField = 1024; // caption, find and replace texts
constexpr int kEditorFilterChars = 1000;
// Above this many characters the editor gives the control's text up by
// replacing the control: the control empties a large text far slower (about
// 1 MB a minute under Wine) than a new one starts (50 ms).
constexpr int kEditorRenewAbove = 65536;

// Control ids.
enum EditorControlId : int {
    kEditorToolbarId = 1001,
    kEditorRichEditId = 1002,
    kEditorCommandLineId = 1004,
    kEditorPromptId = 1005,
};

// Command ids of the editor's menus, toolbar and keys.
enum EditorCommand : int {
    kCmdFilePopup = 32100,
    kCmdNew = 32101,
    kCmdOpen = 32102,
    kCmdSave = 32103,
    kCmdSaveAs = 32104,
    kCmdPrint = 32105,
    kCmdPrintSelection = 32106,
    kCmdClose = 32107,
    kCmdExit = 32108,
    kCmdEditPopup = 32120,
    kCmdUndo = 32121,
    kCmdCut = 32122,
    kCmdCopy = 32123,
    kCmdPaste = 32124,
    kCmdDelete = 32125,
    kCmdSelectAll = 32126,
    kCmdRedo = 32127,
    kCmdSearchPopup = 32140,
    kCmdFind = 32141,
    kCmdFindNext = 32142,
    kCmdReplace = 32143,
    kCmdSetBookmark = 32147,
    kCmdGotoBookmark = 32148,
    kCmdFormatPopup = 32160,
    kCmdFont = 32161,
    kCmdBullets = 32162,
    kCmdAlignLeft = 32163,
    kCmdCentre = 32164,
    kCmdAlignRight = 32165,
    kCmdBold = 32166,
    kCmdItalic = 32167,
    kCmdUnderline = 32168,
    kCmdViewPopup = 32180,
    kCmdViewFirst = 32181, // View buffer n = id - 32180
    kCmdViewLast = 32215,
    kCmdInsertPicture = 40019,
    kCmdInsertLink = 40020,
    kCmdHelp = 40073,
};

enum EditorPopup : int { kPopupFile = 0, kPopupEdit, kPopupSearch, kPopupFormat, kPopupView };

// The encodings of plain files: the Windows code page (no mark), and UTF-8
// and UTF-16 (little-endian) files that begin with their byte-order mark.
enum EditorTextEncoding : uint8_t { kEncodingCodePage = 0, kEncodingUtf8 = 1, kEncodingUtf16 = 2 };

struct EditorRecord : EditorRecordHead {
    HWND promptLabel;
    HWND findDialog;      // open find or replace dialog
    HWND focusControl;    // the command line or the rich edit
    HMENU menuBar;
    HMENU popups[5];      // File, Edit, Search, Format, View (0 when absent)
    HACCEL ownKeys;
    HACCEL userKeys;
    HACCEL paneKeys;
    int32_t mode;         // 1 modal, 2 modeless, 3 semi-modeless
    int32_t textLimit;
    int32_t commandHeight;
    int32_t promptOffset;
    int32_t changedValue;
    int32_t protectGuard; // 1 refuses changes of protected text
    int32_t filterIndex[kEditorBuffers];
    int32_t currentBuffer; // 1..35
    int32_t bufferCount;   // 1..35
    char fileName[kEditorNameLength + 1]; // NUL-terminated, empty = untitled
    char caption[kEditorTextField + 1];
    char findText[kEditorTextField + 1];
    char replaceText[kEditorTextField + 1];
    char filter[kEditorFilterChars + 2]; // NUL-separated pairs, two NULs at the end
    FINDREPLACEA findRecord;
    int32_t modalEnd;
    int32_t insertMode;   // 1 insert, 0 overwrite
    // Option words.
    int32_t newAllowed;
    int32_t viewer;
    int32_t openAllowed;
    int32_t saveAllowed;
    int32_t saveAsAllowed;
    int32_t printAllowed;
    int32_t richText;
    int32_t buffers;
    int32_t noNameInTitle;
    int32_t noOpenErrorBox;
    int32_t printByProgram;
    int32_t alternativeKeys;
    int32_t linePainting;
    int32_t redrawOff;
    int32_t controlPositions; // positions are the control's own
    int32_t backup;
    int32_t modifiedMark;
    HFONT font;
    int32_t fontFamily;
    int32_t pointSize;
    int32_t lineHeight;
    int32_t charHeight;
    HANDLE openFiles[kEditorBuffers]; // nullptr = none
    int32_t cacheControl;  // position cache: control position ...
    int32_t cacheCaller;   // ... and the caller position that matches it; -1 empty
    int32_t bookmark[kEditorBuffers];       // control position, -1 none
    int32_t bookmarkLength[kEditorBuffers];
    // The encoding each buffer's plain file was read in, which a save keeps
    // (an EditorTextEncoding; 0 for a new buffer).
    uint8_t textEncoding[kEditorBuffers];
    // Beside the words above: the options as given, the frame, whether the
    // frame lies inside its parent, the version of the control and the
    // frame's previous procedure.
    int32_t options;
    HWND frame;
    int32_t insideParent;
    int32_t version;
    int32_t keepCache; // 1 while the editor's own change keeps the position cache
    int32_t bulkChange; // 1 while the editor replaces the whole text (bookmarks stay)
};

// The record on FRAME, nullptr when it is not an editor.
EditorRecord* EditorRecordOf(HWND frame);
// The record of the library's current window, nullptr when it is no editor.
EditorRecord* EditorCurrentRecord();
// The rich edit version the editors use (the forced one, else start-up's).
int EditorRichEditVersion();

// ---- creation (editor_create.cpp) ----
// Lays out the bars, command line and control in the frame's client area.
void EditorLayout(EditorRecord* r);
void EditorFontCreate(EditorRecord* r, int family, int points);
// Empties the control and resets its paragraph format and font.
void EditorFormatsReset(EditorRecord* r);

// ---- window procedure (editor_window_proc.cpp) ----
LRESULT CALLBACK EditorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void EditorTitleUpdate(HWND frame);
// The text of View item N: "&1\t" .. "&9\t", "&A\t" .. "&Z\t", then the
// name, or "Untitled" for an empty one.
std::string EditorViewItemText(int n, std::string_view name);
// Sets the text of View item N (by position N - 1).
void EditorViewItemSet(EditorRecord* r, int n, std::string_view name);
// Appends a checked View item for buffer N.
void EditorViewItemAppend(EditorRecord* r, int n, std::string_view name);
void EditorViewItemCheck(EditorRecord* r, int n, bool checked);
// Text and formats cleared, the control marked unmodified, changed value 0.
void EditorBufferBlank(EditorRecord* r);

// ---- what the window system asks of an editor (editor_buffer_store.cpp) ----
// The answers for the editor's own records (type 1) that core/special_windows.h
// asks for, installed by editor_create.cpp, which attaches the records: the
// menu bar, accelerator table WHICH (0 pane, 1 own, 2 user), the status-bar
// word, the focus control, the find and replace box, the release of
// everything the editor attached to FRAME (the record freed), and the save
// prompts for pane N's unsaved buffers when its split window closes (1 go on).
HMENU EditorRecordMenu(WindowRecord* record);
HACCEL EditorRecordAccelerators(WindowRecord* record, int which);
HWND* EditorRecordStatusBarField(WindowRecord* record);
HWND EditorRecordFocusControl(WindowRecord* record);
HWND EditorRecordFindDialog(WindowRecord* record);
void EditorRecordRelease(HWND frame, WindowRecord* record);
int EditorCloseQuery(HWND frame, WindowRecord* record, int n);

// ---- files (editor_files.cpp) ----
bool EditorIsRichFile(const EditorRecord* r, std::string_view name);
int EditorFileOpen(HWND frame, int atCreation);
int EditorFileSave(HWND frame, int withDialog);
void EditorFileClose(HWND frame);
// Yes / No / Cancel before the current buffer's text is discarded: 1 go on.
int EditorSavePromptRun(HWND frame, EditorRecord* r);
// Runs the Open (SAVE false) or Save dialog on NAME (260 characters in, the
// chosen name out) and the filter INDEX; true on OK.
bool EditorFileDialog(HWND frame, EditorRecord* r, bool save, char* name, int& index);
// A warning box owned by FRAME with the system's text for ERROR.
void EditorErrorBox(HWND frame, const char* title, DWORD error);
// Gives the editor a fresh, empty control in place of one holding a large
// text (emptying a large text takes the control far longer than a new one).
void EditorControlRenew(EditorRecord* r);
// Streams DATA into the control (rich or plain text), replacing its text;
// false when the control reported an error.
bool EditorStreamIn(EditorRecord* r, const char* data, size_t size, bool rtf);
// Streams the text out (rich or plain) to SINK; false on an error.
bool EditorStreamOut(EditorRecord* r, bool rtf, std::string& sink);

// ---- buffers (editor_buffer_store.cpp) ----
// Saves buffer BUFFER of WINDOW into the store; false when the text block
// cannot be allocated (nothing changed then).
bool YYEditBufferSave(int window, int buffer);
void YYEditBufferLoad(int window, int buffer);
bool YYEditBufferSwitch(int window, int from, int to);
// Makes buffer N current; false when the switch was refused (no memory).
bool EditorBufferSelect(HWND frame, int n);
// The box shown when a buffer cannot be kept.
void EditorBufferMemoryBox(HWND frame);
// Test seam: the next COUNT buffer saves fail as if memory ran out.
void EditorBufferSaveFailures(int count);

// ---- routines and positions (editor_routines.cpp) ----
void EditorPositionToControl(EditorRecord* r, int start, int end, int& controlStart, int& controlEnd);
int EditorTextLengthQuiet(EditorRecord* r);
int EditorLineBreaksBefore(EditorRecord* r, int count);
// A control position as a program position (line breaks before it added).
int EditorProgramPosition(EditorRecord* r, int position);
// The text length in program positions less the line breaks counted twice
// (the length the bookmark words use).
int EditorBookmarkLength(EditorRecord* r);
bool EditorConverts(const EditorRecord* r);
// Empties the undo buffer and disables the own toolbar's Undo and Redo.
void EditorUndoEmptyOn(EditorRecord* r);
void EditorLastClosedStore(EditorRecord* r);

// ---- menus, keys, toolbar, status bar (editor_menus.cpp) ----
void EditorOwnKeysBuild(EditorRecord* r);
void EditorPaneKeysBuild(EditorRecord* r);
// Builds the menu bar; STATUS 2 or 3 when the user's menu is not taken.
void EditorMenusBuild(EditorRecord* r, int window, int menuId, int mode, int& status);
// Places the menu bar on the frame (or on the split windows above a pane).
void EditorMenuPlace(EditorRecord* r, int window, int split);
void EditorUserKeysLoad(EditorRecord* r, int window, int menuId);
void EditorToolbarBuild(EditorRecord* r);
void EditorStatusBarSetup(EditorRecord* r);
void EditorStatusPart(EditorRecord* r, int part, const char* text);
void EditorMenuInit(EditorRecord* r, HMENU popup);
// Menu help for WM_MENUSELECT; false when the frame procedure should answer.
bool EditorMenuHelp(EditorRecord* r, WPARAM wParam, LPARAM lParam);
// Tool tip text for the own toolbar; false when the request is another's.
bool EditorToolTip(EditorRecord* r, LPARAM lParam);
const char* EditorToolTipText(const EditorRecord* r, int id);
const char* EditorMenuHelpText(const EditorRecord* r, int id, bool popup);
void EditorToolbarButtonEnable(EditorRecord* r, int id, bool enable);

// ---- paste, find and replace (editor_find.cpp) ----
// Paste: nothing in a viewer, the control's own with rich text, else the
// clipboard's plain text in place of the selection (one undoable step).
void EditorPaste(EditorRecord* r);
// Finds the find text from the selection on: 1 found and selected, 0 not
// found (after the "End of text reached" box).
int EditorFind(HWND frame, EditorRecord* r, FINDREPLACEA* find);
// Replaces the selection when it is the find text, then finds the next.
int EditorReplace(HWND frame, EditorRecord* r, FINDREPLACEA* find);
// Replaces every occurrence from the start down, drawing suspended meanwhile.
void EditorReplaceAll(HWND frame, EditorRecord* r);
UINT_PTR CALLBACK EditorFindDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- font and formats (editor_formats.cpp) ----
void EditorFontDialog(HWND frame, EditorRecord* r);
UINT_PTR CALLBACK EditorFontDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Bold, Italic or Underline (COMMAND 32166 to 32168) on the selection.
void EditorCharFormatToggle(EditorRecord* r, int command);
// Left, centre or right (COMMAND 32163 to 32165) on the selected paragraphs.
void EditorAlignmentSet(EditorRecord* r, int command);
void EditorBulletToggle(EditorRecord* r);
// Mirrors the selection's formats in the own toolbar and the Format menu.
void EditorFormatButtonsUpdate(EditorRecord* r);

// ---- command line (editor_command_line.cpp) ----
// Subclass procedure of the command edit field (its previous procedure in
// the field's user-data word).
LRESULT CALLBACK EditorCommandLineProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// ---- line painting (editor_painter.cpp) ----
// The line-colour hook: for the line LINETEXT of editor WINDOW, whose
// selected columns are SELECTIONSTART..SELECTIONEND (1-based; both -1 when
// none), up to MAXIMUM ranges: start and end column and colour (an RGB
// value, or -1 for the selection colours) each, their number in COUNT.
using EditorLineColoursHook = void (*)(int window, int selectionStart, int selectionEnd, int maximum, int* starts,
                                       int* ends, int* colours, int& count, char* lineText);
// The library's own reports no ranges; a program (or a test) may put a hook
// in its place.
void YYEditLineColours(int window, int selectionStart, int selectionEnd, int maximum, int* starts, int* ends,
                       int* colours, int& count, char* lineText);
void EditorLineColoursHookSet(EditorLineColoursHook hook);
// The client point of control character POSITION.
POINT EditorPositionFromChar(EditorRecord* r, int position);
// Draws LENGTH characters of TEXT, the first at control position FIRST, at
// the places the control gives them; a selected TAB's cell (LINEHEIGHT
// tall) is filled with the highlight colour.
void EditorTextOutTabs(EditorRecord* r, HDC dc, const char* text, int first, int length, int lineHeight);
// Puts the painter on the editor's control when line painting is on.
void EditorPainterAttach(EditorRecord* r);
LRESULT CALLBACK EditorTextPaintProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// ---- printing and page setup (editor_print.cpp) ----
// The two page-setup records shared by all editors: 0 for the routines,
// 1 for the Print commands; with the printer settings and names each keeps
// between uses, and whether the defaults were made.
struct EditorPageSetupTable {
    PAGESETUPDLGA record[2]{};
    HGLOBAL devMode[2]{};
    HGLOBAL devNames[2]{};
    int defaultsMade = 0;
};
extern EditorPageSetupTable gEditorPageSetupTable;
// Fills both records from the default printer, the first time only.
void EditorPrinterDefaults();
// Prints the whole text (RANGEFLAG 0), or with RANGEFLAG 1 the selection
// (record 1) or control positions START..END (record 0); record 1 runs the
// page setup dialog first. 1 printed, 0 not.
int EditorPrint(HWND frame, EditorRecord* r, int rangeFlag, int recordIndex, int start, int end,
                std::string_view documentName);
// Test seams: forgets the records and their printer (the next use makes the
// defaults again; with LOOKUPFAILS as if there were no default printer),
// and the number of pages the last print job had.
void EditorPrinterDefaultsReset(bool lookupFails);
int EditorPrintedPages();
