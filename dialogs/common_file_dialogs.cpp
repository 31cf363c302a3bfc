// File open and save dialogs with the library's filter texts and flags, the
// path splitting they use, and the folder dialog with an edit field for a
// typed path (see dialogs/common_dialogs.h).
#include "dialogs/common_dialogs.h"

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/string_routines.h"
#include "dialogs/message_box.h"
#include "dialogs/window_snapshots.h"

namespace {

// The text up to its first NUL.
std::string_view UpToNul(std::string_view text)
{
    size_t n = text.find('\0');
    return n == std::string_view::npos ? text : text.substr(0, n);
}

bool IsSeparator(char c)
{
    return c == '\\' || c == ':';
}

// The current directory, empty when it cannot be read.
std::string CurrentDirectory()
{
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    if (n == 0)
        return {};
    std::string dir(n, '\0');
    DWORD got = GetCurrentDirectoryA(n, dir.data());
    if (got == 0 || got >= n)
        return {};
    dir.resize(got);
    return dir;
}

// The result of an accepted dialog in BUFFER: up to the first NUL, or for
// a multiple choice up to the first NUL that a second NUL follows (the whole
// buffer when there is none).
std::string_view ChosenText(std::span<const char> buffer, bool multiple)
{
    std::string_view all(buffer.data(), buffer.size());
    size_t end = multiple ? all.find(std::string_view("\0\0", 2)) : all.find('\0');
    return end == std::string_view::npos ? all : all.substr(0, end);
}

} // namespace

// ---- filters ------------------------------------------------------------------------

int FileFilterPrepare(int filterId, std::string_view filterText, std::array<char, kFilterBufferSize>& out)
{
    out.fill('\0');
    std::string text;
    if (filterId == -1) {
        text = UpToNul(filterText);
    } else if (filterId > 0) {
        char resource[1002] = {};
        int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(filterId), resource, sizeof resource);
        text.assign(resource, n > 0 ? static_cast<size_t>(n) : 0);
    }
    if (text.empty())
        return 0;
    if (text.size() > kFilterBufferSize - 1)
        return -1;
    const char separator = text.back();
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = text[i] == separator ? '\0' : text[i];
    return 1;
}

// ---- file dialogs ---------------------------------------------------------------------

void FileDialogRun(int filterId, int& filterIndex, int save, int prompt, int pathMayBeNew, int multiple,
                   int appendExtension, int mustExist, int& answer, int& extendedError,
                   std::string_view title, std::span<char> fileBuffer, std::string_view initialDirectory,
                   std::string_view filterText)
{
    std::array<char, kFilterBufferSize> filter;
    int hasFilter = FileFilterPrepare(filterId, filterText, filter);
    if (hasFilter < 0) {
        answer = 0;
        extendedError = CDERR_INITIALIZATION;
        return;
    }
    std::string titleText(title);
    std::string directory(initialDirectory);

    ModalScope scope;
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = scope.Owner();
    dialog.hInstance = GetModuleHandleA(nullptr);
    if (hasFilter) {
        dialog.lpstrFilter = filter.data();
        dialog.nFilterIndex = filterIndex > 0 ? static_cast<DWORD>(filterIndex) : 0;
    }
    dialog.lpstrFile = fileBuffer.data();
    dialog.nMaxFile = static_cast<DWORD>(std::min<size_t>(fileBuffer.size(), 0x7FFFFFFF));
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = titleText.empty() ? nullptr : titleText.c_str();
    dialog.Flags = OFN_HIDEREADONLY | (pathMayBeNew ? 0 : OFN_PATHMUSTEXIST);
    if (save) {
        if (prompt)
            dialog.Flags |= OFN_OVERWRITEPROMPT;
    } else {
        if (mustExist)
            dialog.Flags |= OFN_FILEMUSTEXIST;
        else if (prompt)
            dialog.Flags |= OFN_CREATEPROMPT;
        if (multiple)
            dialog.Flags |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    }
    if (appendExtension && gLibraryState.osMajorVersion != 3)
        dialog.lpstrDefExt = "";
    scope.Disable();
    BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (chosen) {
        answer = 1;
        extendedError = 0;
        if (hasFilter)
            filterIndex = static_cast<int>(dialog.nFilterIndex);
    } else {
        answer = 0;
        extendedError = static_cast<int>(CommDlgExtendedError());
    }
}

void WSelectFile(int ifilter, std::string_view filter, int iflags, std::span<char> fileName,
                 std::string_view title, int* iftype, const int* isnap)
{
    const bool snap = isnap && *isnap == 1;
    int status = 0;
    if (snap) {
        WindowContentsSnapshot(1, -1, status);
        if (status != 0)
            YYErrorReport(status, "WSelectFile");
    }
    const int save = iflags & kSelectSave;
    const int multiple = !save && (iflags & kSelectMultiple);

    // Folder and name of the initial path; the name goes into a buffer one
    // longer than FILENAME, so that a chosen path as long as FILENAME fits
    // with its NUL.
    std::string path(UpToNul(TextOf(fileName)));
    path.resize(fileName.size(), ' ');
    std::string name(fileName.size(), ' ');
    YYSplitPath(path, name);
    std::string buffer(fileName.size() + 1, '\0');
    std::string_view proposed = TrimRight(name);
    std::copy(proposed.begin(), proposed.end(), buffer.begin());

    const std::string current = CurrentDirectory();
    std::string directory(TrimRight(path));
    if (directory.empty())
        directory = current;
    std::string caption(TrimRight(title));
    if (caption.empty())
        caption = "Select File";

    int index = iftype ? *iftype : 1;
    int answer = 0, extendedError = 0;
    FileDialogRun(ifilter, index, save, iflags & kSelectPrompt, iflags & kSelectPathMayBeNew, multiple,
                  iflags & kSelectAppendExtension, iflags & kSelectMustExist, answer, extendedError, caption,
                  buffer, directory, filter);
    gDialogStatus.lastAnswer = answer;
    if (answer == 1) {
        PutText(fileName, ChosenText(buffer, multiple != 0));
        if (iftype)
            *iftype = index;
    } else if (extendedError >= 1) {
        YYErrorReport(kErrorCommonDialog, "WSelectFile");
    }
    if (!(answer == 1 && (iflags & kSelectKeepDirectory)) && !current.empty())
        SetCurrentDirectoryA(current.c_str());
    if (snap)
        WindowContentsSnapshot(0, -1, status);
    gDialogStatus.previousField = 0;
}

void YYSelectFileFiltered(std::string_view filter, int iflags, std::span<char> fileName, std::string_view title,
                          int* iftype)
{
    std::string text(TrimRight(filter).substr(0, 1000));
    std::string caption(TrimRight(title).substr(0, 260));
    int index = iftype ? *iftype : 1;
    const int snap = 1;
    WSelectFile(-1, text, iflags, fileName, caption, &index, &snap);
    if (iftype)
        *iftype = index;
}

// ---- paths ----------------------------------------------------------------------------

void YYSplitPath(std::span<char> path, std::span<char> name)
{
    YYJustify(path, "L");
    const std::string p(TrimRight(TextOf(path)));
    const size_t length = p.size();
    if (length > 1 && p.ends_with("..")) {
        PutText(name, "");
        return;
    }
    size_t at = length;
    for (size_t i = length; i-- > 0;) {
        if (IsSeparator(p[i])) {
            at = i;
            break;
        }
    }
    if (at == length) { // no separator: all of it is the name
        PutText(name, p);
        PutText(path, "");
        return;
    }
    if (at == length - 1) { // ends in its separator
        PutText(name, "");
        const auto backslashes = std::count(p.begin(), p.end(), '\\');
        const bool root = (p[at] == '\\' && backslashes == 1) || (p[at] == ':' && backslashes == 0);
        if (!root)
            PutText(path, p.substr(0, at));
        return;
    }
    PutText(name, p.substr(at + 1));
    // A cut that would leave a drive, a drive letter or nothing keeps the
    // separator, so that the folder still names the root or the drive.
    const std::string before = p.substr(0, at);
    const bool keep = p[at] == ':' || before.empty() || before.back() == ':';
    PutText(path, p.substr(0, keep ? at + 1 : at));
}

// ---- folder dialog ----------------------------------------------------------------------

namespace {

const char kFolderRunProperty[] = "QuillodraneFolderRun";

// One run of the folder dialog: the caller's flags, the path being chosen,
// the edit field and the procedure the dialog had before.
struct FolderRun {
    int flags = 0;
    char path[kFolderPathLength + 1] = {};
    HWND edit = nullptr;
    WNDPROC previous = nullptr;
};

void FolderPathSet(FolderRun& run, std::string_view text)
{
    std::string_view cut = UpToNul(text).substr(0, kFolderPathLength);
    std::fill(std::begin(run.path), std::end(run.path), '\0');
    std::copy(cut.begin(), cut.end(), run.path);
}

// Puts an edit field with the caller's path in the place of the text above
// the tree; the text becomes the caption.
void FolderEditCreate(HWND dialog, FolderRun& run)
{
    HWND text = GetDlgItem(dialog, kFolderTitleId);
    if (!text)
        return;
    char caption[kFolderPathLength + 1] = {};
    GetWindowTextA(text, caption, sizeof caption);
    SetWindowTextA(dialog, caption);
    ShowWindow(text, SW_HIDE);
    RECT place{};
    GetWindowRect(text, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    RECT height{0, 0, 0, 13};
    MapDialogRect(dialog, &height);
    run.edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", run.path, WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL,
                               place.left, place.top, place.right - place.left, height.bottom, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFolderEditId)),
                               GetModuleHandleA(nullptr), nullptr);
    if (!run.edit)
        return;
    SendMessageA(run.edit, EM_LIMITTEXT, kFolderPathLength, 0);
    SendMessageA(run.edit, WM_SETFONT, SendMessageA(text, WM_GETFONT, 0, 0), FALSE);
    ShowWindow(run.edit, SW_SHOWNA);
}

// A message box of the folder dialog; the answer.
int FolderBox(HWND dialog, const char* text, const char* title, UINT flags)
{
    return MessageBoxA(dialog, text, title, flags);
}

// The checks of the OK command; true when the dialog may end.
bool FolderAccept(HWND dialog, FolderRun& run)
{
    if (run.edit) {
        char typed[kFolderPathLength + 1] = {};
        GetWindowTextA(run.edit, typed, sizeof typed);
        FolderPathSet(run, typed);
    }
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(run.path));
    DWORD attributes = GetFileAttributesA(run.path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (run.flags & kFolderOfferCreate) {
            if (FolderBox(dialog, "The specified directory does not exist.\nDo you wish to create it?",
                          "Create Directory?", MB_YESNO | MB_ICONQUESTION) != IDYES)
                return false;
            if (!CreateDirectoryA(run.path, nullptr)) {
                FolderBox(dialog, "An error occurred creating\nthe specified directory.", "Error",
                          MB_OK | MB_ICONEXCLAMATION);
                return false;
            }
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(run.path));
            return true;
        }
        if (!(run.flags & kFolderMayNotExist)) {
            FolderBox(dialog, "The specified directory does not exist.\nSpecify a valid directory.",
                      "Invalid Directory", MB_OK);
            return false;
        }
        return true;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        FolderBox(dialog, "The specified path is not a valid directory name.\nSpecify a valid directory.",
                  "Invalid Directory", MB_OK);
        return false;
    }
    return true;
}

} // namespace

int CALLBACK DirectoryDialogCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data)
{
    auto* run = reinterpret_cast<FolderRun*>(data);
    if (!run)
        return 0;
    if (message == BFFM_INITIALIZED) {
        FolderEditCreate(dialog, *run);
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(run->path));
        if (run->flags & (kFolderMayNotExist | kFolderOfferCreate))
            SendMessageA(dialog, BFFM_ENABLEOK, 0, TRUE);
        SetPropA(dialog, kFolderRunProperty, run);
        run->previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DirectoryDialogProc)));
    } else if (message == BFFM_SELCHANGED) {
        char selected[MAX_PATH] = {};
        if (lParam && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), selected))
            FolderPathSet(*run, selected);
        else
            SendMessageA(dialog, BFFM_ENABLEOK, 0, FALSE);
        if (run->edit)
            SetWindowTextA(run->edit, run->path);
    }
    return 0;
}

LRESULT CALLBACK DirectoryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* run = static_cast<FolderRun*>(GetPropA(dialog, kFolderRunProperty));
    if (!run || !run->previous)
        return DefDlgProcA(dialog, message, wParam, lParam);
    WNDPROC previous = run->previous;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED &&
        !FolderAccept(dialog, *run))
        return 0;
    if (message == WM_NCDESTROY) {
        RemovePropA(dialog, kFolderRunProperty);
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return CallWindowProcA(previous, dialog, message, wParam, lParam);
}

void DirectoryDialogRun(int mode, int& answer, int flags, std::span<char> path, std::string_view title)
{
    FolderRun run;
    run.flags = flags;
    FolderPathSet(run, TrimRight(TextOf(path)));
    std::string caption = mode == 1 ? std::string(TrimRight(title)) : std::string("Select Directory");

    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ModalScope scope;
    char display[MAX_PATH] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = scope.Owner();
    browse.pszDisplayName = display;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = DirectoryDialogCallback;
    browse.lParam = reinterpret_cast<LPARAM>(&run);
    scope.Disable();
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    answer = chosen ? 1 : 2;
    if (chosen)
        CoTaskMemFree(chosen);
    if (SUCCEEDED(com))
        CoUninitialize();
    if (path.empty())
        return;
    std::string_view result(run.path);
    result = result.substr(0, path.size() - 1);
    std::copy(result.begin(), result.end(), path.begin());
    path[result.size()] = '\0';
}
