// The platform's common dialogs run as modal dialogs of the library: file open
// and save, folder selection and colour choice (the page setup, print setup
// and printer lists are in dialogs/printer_services.h), with the protocol every
// modal activity of the library keeps: owned by the window the user works in,
// every other library window disabled while it is up, the focus given back.
// Beside them three small system queries.
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <string_view>

// ---- the modal protocol -----------------------------------------------------------

// The beginning and ending around a modal activity: the owner is the window
// that owns a new dialog (DialogOwnerWindow) and the focused window is noted
// when the scope is made; Disable() disables every other library window just
// before the platform's dialog runs; the end of the scope enables them again
// (only the semi-modeless dialog while one is up), gives a child-window
// owner the focus and activation, and gives the focus back to the window
// that had it when that lies inside the owner.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

    HWND Owner() const { return owner_; }
    void Disable();

private:
    HWND owner_ = nullptr;
    HWND focus_ = nullptr;
};

// ---- file dialogs -------------------------------------------------------------------

// SelectFileFlags: the option bits of WSelectFile. Other bits are ignored.
enum SelectFileFlag : int {
    kSelectSave = 1,             // save dialog (else open)
    kSelectPrompt = 2,           // save: ask before overwriting; open: before creating
    kSelectPathMayBeNew = 4,     // the path need not exist
    kSelectKeepDirectory = 8,    // keep the folder the user went to as the current one
    kSelectMultiple = 16,        // several files may be chosen (open only)
    kSelectAppendExtension = 32, // append the selected filter's extension
    kSelectMustExist = 128,      // the file must exist (open; in place of bit 1)
};

// Size of the buffer the filter text is prepared in (closing NULs included).
constexpr size_t kFilterBufferSize = 1024;

// Public: runs the open (or, with bit 0 of IFLAGS, save) dialog.
// IFILTER 0 no filter, -1 the text FILTER (up to its first NUL), > 0 the
// string resource of that number. A filter text is pairs of a description
// and a pattern, each item ended by the separator, the text's last character;
// it must fit kFilterBufferSize with its closing NUL, else 1004 and no
// dialog. FILENAME: in, the initial path (its folder opens, its name is
// proposed); out, the chosen file blank-padded (for a multiple choice the
// folder and the names separated by NULs), unchanged on cancel. TITLE blank:
// "Select File". IFTYPE in and out: the 1-based selected filter. ISNAP 1
// takes window snapshots around the dialog. The answer (1 chosen, 0 not)
// becomes the last answer of DialogStatus, whose previous field becomes 0; a
// dialog failure reports 1004 "General error in common dialog". The current
// directory is restored unless a file was chosen with bit 3.
void WSelectFile(int ifilter, std::string_view filter, int iflags, std::span<char> fileName,
                 std::string_view title = {}, int* iftype = nullptr, const int* isnap = nullptr);
// WSelectFile with the filter text FILTER (trailing blanks removed, at most
// 1000 characters; blank: no filter), TITLE (blank or absent: the default),
// the filter index IFTYPE (absent: 1) and snapshots.
void YYSelectFileFiltered(std::string_view filter, int iflags, std::span<char> fileName,
                          std::string_view title = {}, int* iftype = nullptr);

// The engine of WSelectFile. FILTERID as IFILTER; FILTERINDEX in and out;
// the six flags as decoded from SelectFileFlags; FILEBUFFER holds the
// NUL-terminated initial name and receives the result (its size is the
// length handed to the dialog). ANSWER 1 chosen, else 0 with EXTENDEDERROR
// the platform's extended error (0 for a plain cancel; CDERR_INITIALIZATION
// for a filter that does not fit).
void FileDialogRun(int filterId, int& filterIndex, int save, int prompt, int pathMayBeNew, int multiple,
                   int appendExtension, int mustExist, int& answer, int& extendedError,
                   std::string_view title, std::span<char> fileBuffer, std::string_view initialDirectory,
                   std::string_view filterText);
// The filter of FILTERID (and FILTERTEXT for -1) prepared in OUT: every
// separator turned into a NUL, a closing NUL after the last. Returns 1 for a
// filter, 0 for none (id 0, an empty text or resource), -1 when the text
// does not fit OUT with its closing NUL (OUT then holds nothing).
int FileFilterPrepare(int filterId, std::string_view filterText, std::array<char, kFilterBufferSize>& out);

// Splits PATH (blank-padded) in place into its folder and NAME: the
// separators are the backslash and the colon. C:\dir\file.txt gives C:\dir
// and file.txt; report.txt a blank path; C:\dir\ gives C:\dir; a path ending
// in ".." stays with a blank name. A cut that would leave only a drive, a
// drive letter or nothing keeps its separator: C:\run1.csv gives C:\,
// \run1.csv gives \, C:run1.csv gives C:.
void YYSplitPath(std::span<char> path, std::span<char> name);

// ---- folder dialog ------------------------------------------------------------------

// Flags of DirectoryDialogRun.
constexpr int kFolderMayNotExist = 4;   // a folder that does not exist is accepted
constexpr int kFolderOfferCreate = 0x40; // offer to create one that does not exist
// Identifier of the edit field the folder dialog shows above its tree.
constexpr int kFolderEditId = 0x3744;
// Identifier of the text above the tree in the platform's folder dialog.
constexpr int kFolderTitleId = 0x3742;
// Longest folder path the dialog takes and returns.
constexpr int kFolderPathLength = 260;

// Folder selection: TITLE for MODE 1, else "Select Directory". PATH in: the
// folder to start from (up to its first NUL or trailing blanks, at most 260
// characters); out: the folder last selected or typed, NUL-terminated (cut
// to PATH's size). ANSWER 1 chosen, 2 cancelled.
void DirectoryDialogRun(int mode, int& answer, int flags, std::span<char> path, std::string_view title);
int CALLBACK DirectoryDialogCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
LRESULT CALLBACK DirectoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- colour dialog --------------------------------------------------------------------

// The colour dialog's custom colours, filled from the first 16 window colours
// at the first call and kept as the user changes them.
struct ColourDialogState {
    int filled = 0;
    std::array<COLORREF, 16> custom{};
};
extern ColourDialogState gColourDialogState;

// Colour choice starting from RED, GREEN, BLUE (0..255 each). Accepted: the
// chosen colour's components and ACCEPTED 1; otherwise ACCEPTED 0 and ERROR
// the platform's extended error.
void ColourDialogRun(int& red, int& green, int& blue, int& accepted, int& error);

// ---- queries --------------------------------------------------------------------------

// The system's button face colour as packed RGB.
void ButtonFaceColour(int& colour);
// 1 when the user's locale measures in U.S. units, else 2 (metric).
void LocaleMeasureSystem(int& system);
// Screen position of the client origin of window N (0..50), or for N = -1 of
// the client area of the top-level window that holds the active dialog (else
// the last active frame): from there the search goes up two parents at a
// time while the window is a child window. 0, 0 when there is none.
void WindowScreenOrigin(int n, int& x, int& y);
