// The grid editor's files: the prompt to save a modified grid, the grid or
// its block selection saved as a CSV file, a CSV file loaded, and the grid
// saved as an HTML document through an options dialog. The formats are the
// public grid routines' (WGridSave, WGridLoad, WGridSaveHTML) on identifier
// 0, the grid editor of the current window; each routine here makes the
// editor's frame current for its duration and turns the file errors into
// boxes.
#include "grid/grid_editor.h"
#include "grid/grid_editor_dialog_frame.h"

#include <array>
#include <string>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/file_replacement.h"
#include "core/fixed_text.h"
#include "core/os_services.h"
#include "dialogs/common_dialogs.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/field_values.h"
#include "dialogs/message_box.h"
#include "grid/grid_engine.h"
#include "grid/grid_files.h"
#include "grid/grid_public.h"

namespace {

constexpr std::string_view kCsvFilter = "CSV Files|*.csv|All Files|*.*|";
constexpr std::string_view kHtmlFilter = "HTML Files|*.htm;*.html|All Files|*.*|";
constexpr std::string_view kFileErrorTitle = "File Error";
constexpr std::string_view kDataErrorTitle = "Data Error";

// Fields of the Save As HTML dialog.
enum : int {
    kHtmlDialog = 32114,
    kHtmlSave = 1,
    kHtmlCancel = 2,
    kHtmlFile = 1002,
    kHtmlBrowse = 1003,
    kHtmlFullDocument = 1005,
    kHtmlTableOnly = 1006,
    kHtmlCheckBoxes = 1008,
    kHtmlYesNo = 1009,
    kHtmlCentre = 1010,
    kHtmlColours = 1011,
    kHtmlTitle = 1013,
    kHtmlBorder = 1015,
    kHtmlWholeGrid = 1017,
    kHtmlSelection = 1018,
};

// The choices of the Save As HTML dialog, kept for every grid editor of the
// process.
struct HtmlChoice {
    int pageForm = 0;     // 0 full document, 1 table only
    int checkBoxForm = 0; // 1 check boxes as "Y" and "N"
    int centre = 0;
    int colours = 1;
    std::string title;    // blank initially
    int border = 1;
};
HtmlChoice gHtmlChoice;

// The editor's file name up to its NUL, trailing blanks removed.
std::string NameOf(std::span<const char> fileName)
{
    return std::string(TrimRight(GridUpToNul(std::string_view(fileName.data(), fileName.size()))));
}

bool FileExists(const std::string& name)
{
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The existing file NAME copied to NAME.bak; a failure shows no box and
// leaves its error code behind.
void Backup(const std::string& name)
{
    if (FileExists(name))
        IOsCopyFile(name, name + ".bak");
}

// The file dialog with FLAGS (SelectFileFlags) starting from INITIAL; the
// chosen name, or empty when the dialog was cancelled.
std::string ChooseFile(std::string_view filter, int flags, std::string_view initial, int* filterIndex)
{
    std::array<char, kGridEditorNameLength> buffer;
    PutText(buffer, initial);
    gDialogStatus.lastAnswer = 0;
    YYSelectFileFiltered(filter, flags, buffer, {}, filterIndex);
    if (gDialogStatus.lastAnswer != 1)
        return {};
    return std::string(TrimRight(std::string_view(buffer.data(), buffer.size())));
}

// Error CODE (1 or 2) of a save under "YYGridSaveCSV" with the Windows error ERR.
void SaveFailed(int code, int err)
{
    gErrorState.osError = err;
    gErrorState.osErrorKind = 2;
    YYErrorReport(code, "YYGridSaveCSV");
}

// Runs SAVE (writing the grid to the name it is given) on a temporary file
// beside NAME that replaces NAME once it is complete, so that a save that
// fails leaves the old file whole. A temporary file that cannot be made, or
// cannot take NAME's place, is an open failure of NAME (error 1); a failed
// write (error 1 or 2 from SAVE) leaves NAME untouched. Other codes (a failed
// backup copy before) do not stop the replacement.
template <class Save>
void SaveReplacing(const std::string& name, Save save)
{
    if (!OsFileNameFits(name)) {
        SaveFailed(kErrorFileOpen, kOsErrorNameTooLong);
        return;
    }
    FileReplacement replacement(name);
    if (replacement.Name().empty()) {
        SaveFailed(kErrorFileOpen, replacement.Error());
        return;
    }
    save(replacement.Name());
    if (gErrorState.lastCode == kErrorFileOpen || gErrorState.lastCode == kErrorFileReadWrite)
        return;
    if (const int err = replacement.Commit())
        SaveFailed(kErrorFileOpen, err);
}

void FileErrorBox(std::string_view text, std::string_view title)
{
    WMessageBox(kBoxOk, kIconExclamation, 1, text, title);
}

// The proposed HTML name: the extension of the file-name part replaced by
// ".htm", or ".htm" appended when that part has none.
std::string HtmlName(const std::string& name)
{
    if (name.empty())
        return {};
    const size_t folder = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder);
    return (hasExtension ? name.substr(0, dot) : name) + ".htm";
}

} // namespace

// ---- Save prompt ----------------------------------------------------------------------------

void YYGridSavePrompt(int window, int modified, int& result, int& filterIndex, int backup, int csvHeader,
                      std::span<char> fileName, std::string_view filter)
{
    result = 1;
    if (modified != 1)
        return;
    GridEditorWindowSwitch current(window);
    const std::string name = NameOf(fileName);
    const std::string question =
        name.empty() ? std::string("Do you want to save changes?") : "Do you want to save changes to " + name + "?";
    gDialogStatus.lastAnswer = -1;
    WMessageBox(kBoxYesNoCancel, kIconExclamation, 1, question, "Quillodrane Grid Editor");
    switch (gDialogStatus.lastAnswer) {
    case 1:
        YYGridSaveCSV(window, 0, result, filterIndex, backup, csvHeader, -1, -1, -1, -1, fileName, filter);
        break;
    case 2:
        result = 1;
        break;
    default:
        // Cancel, and a box that could not be shown: nothing unsaved closes unasked.
        result = 0;
        break;
    }
}

// ---- CSV files --------------------------------------------------------------------------------

void YYGridSaveCSV(int window, int withDialog, int& result, int& filterIndex, int backup, int csvHeader, int firstRow,
                   int lastRow, int firstColumn, int lastColumn, std::span<char> fileName, std::string_view filter)
{
    result = 0;
    GridEditorWindowSwitch current(window);
    const bool block = firstRow != -1;
    std::string name = NameOf(fileName);
    if (withDialog == 1 || name.empty()) {
        std::string initial = name;
        if (block) {
            const size_t folder = initial.rfind('\\');
            initial = folder == std::string::npos ? std::string() : initial.substr(0, folder + 1);
        }
        const int flags = kSelectSave + kSelectPrompt + kSelectAppendExtension;
        name = ChooseFile(TrimRight(filter).empty() ? kCsvFilter : filter, flags, initial, &filterIndex);
        if (name.empty())
            return;
        if (!block)
            GridCopyOut(fileName, name);
    }
    const int savedError = gErrorState.lastCode;
    gErrorState.lastCode = 0;
    if (backup)
        Backup(name);
    SaveReplacing(name, [&](const std::string& written) {
        const int options = csvHeader ? 2 : 0;
        if (block) {
            const int c1 = firstColumn + 1, c2 = lastColumn + 1, r1 = firstRow + 1, r2 = lastRow + 1;
            WGridSave(0, written, &c1, &c2, &r1, &r2, &options);
        } else {
            WGridSave(0, written, nullptr, nullptr, nullptr, nullptr, &options);
        }
    });
    switch (gErrorState.lastCode) {
    case 0:
        result = 1;
        gErrorState.lastCode = savedError;
        break;
    case kErrorFileOpen:
        FileErrorBox("Error opening file", kFileErrorTitle);
        break;
    case kErrorFileReadWrite:
        FileErrorBox("Error writing file", kFileErrorTitle);
        break;
    default:
        result = 1;
        break;
    }
}

void YYGridLoadCSV(int window, int withDialog, int rowCountChange, int& result, int& filterIndex, int csvHeader,
                   std::span<char> fileName, std::string_view filter)
{
    result = 0;
    GridEditorWindowSwitch current(window);
    std::string name = NameOf(fileName);
    if (withDialog == 1) {
        const int flags = kSelectAppendExtension + kSelectMustExist;
        name = ChooseFile(TrimRight(filter).empty() ? kCsvFilter : filter, flags, name, &filterIndex);
        if (name.empty())
            return;
    }
    const int savedError = gErrorState.lastCode;
    gErrorState.lastCode = 0;
    const int options = csvHeader ? 2 : 0;
    WGridLoad(0, name, &rowCountChange, &options);
    switch (gErrorState.lastCode) {
    case kErrorFileOpen:
        FileErrorBox("Error opening file", kFileErrorTitle);
        break;
    case kErrorFileReadWrite:
        FileErrorBox("Error reading file", kFileErrorTitle);
        break;
    case kErrorTwoDecimalPoints:
    case kErrorInvalidCharacter:
        FileErrorBox("Non-numeric data found for numeric cell", kDataErrorTitle);
        result = 1;
        break;
    case kErrorNumberTooLarge:
    case kErrorFieldValueRange:
        FileErrorBox("Out of range value found for numeric cell", kDataErrorTitle);
        result = 1;
        break;
    case kErrorGridFileTooLarge:
        FileErrorBox("File contains too many rows/columns", kDataErrorTitle);
        result = 1;
        break;
    case kErrorGridMenuValue:
        FileErrorBox("Non-matching data found for menu cell", kDataErrorTitle);
        result = 1;
        break;
    default:
        result = 1;
        break;
    }
    WGridSetCell(0, 1, 1);
    gErrorState.lastCode = savedError;
    if (result == 1)
        GridCopyOut(fileName, name);
}

// ---- HTML file --------------------------------------------------------------------------------

void YYGridSaveHTMLDialog(int window, int firstRow, int lastRow, int firstColumn, int lastColumn, int& result,
                          int backup, std::string_view fileName)
{
    result = 0;
    GridEditorDialogFrame frame(window);
    if (!frame.Load(kHtmlDialog))
        return;
    const bool block = firstRow != -1 && lastRow != -1 && firstColumn != -1 && lastColumn != -1;
    HtmlChoice& kept = gHtmlChoice;
    WDialogPutString(kHtmlFile, HtmlName(std::string(TrimRight(GridUpToNul(fileName)))));
    WDialogPutRadioButton(kept.pageForm == 1 ? kHtmlTableOnly : kHtmlFullDocument);
    WDialogPutRadioButton(kept.checkBoxForm == 1 ? kHtmlYesNo : kHtmlCheckBoxes);
    WDialogPutCheckBox(kHtmlCentre, kept.centre);
    WDialogPutCheckBox(kHtmlColours, kept.colours);
    WDialogPutString(kHtmlTitle, kept.title);
    WDialogPutInteger(kHtmlBorder, kept.border);
    if (block) {
        WDialogFieldState(kHtmlSelection, kStateEnabled);
        WDialogPutRadioButton(kHtmlSelection);
    } else {
        WDialogPutRadioButton(kHtmlWholeGrid);
        WDialogFieldState(kHtmlSelection, kStateDisabled);
    }
    frame.ShowPlaced(kHtmlFile);

    std::string browsed, name;
    for (bool waiting = true; waiting;) {
        const int button = frame.NextButton();
        frame.Select();
        if (button == kHtmlBrowse) {
            const std::string start = GridEditorDialogText(kHtmlFile, kGridEditorNameLength - 1);
            const std::string chosen = ChooseFile(kHtmlFilter, kSelectSave + kSelectPrompt + kSelectAppendExtension,
                                                  start, nullptr);
            frame.Select();
            if (!chosen.empty()) {
                WDialogPutString(kHtmlFile, chosen);
                browsed = chosen;
            }
        } else if (button == kHtmlSave) {
            name = GridEditorDialogText(kHtmlFile, kGridEditorTextLength);
            if (name.empty()) {
                WMessageBox(kBoxOk, kIconExclamation, 1, "You must enter a filename", "Select File");
                frame.Select();
                WDialogSetField(kHtmlFile);
                continue;
            }
            if (name != browsed && FileExists(name)) {
                WMessageBox(kBoxYesNo, kIconExclamation, 2, name + " already exists\rDo you want to replace it?",
                            "Select File");
                const bool replace = gDialogStatus.lastAnswer == 1;
                frame.Select();
                if (!replace) {
                    WDialogSetField(kHtmlFile);
                    continue;
                }
            }
            int position = 1, state = 0;
            WDialogGetRadioButton(kHtmlFullDocument, position);
            kept.pageForm = position == 2 ? 1 : 0;
            WDialogGetRadioButton(kHtmlCheckBoxes, position);
            kept.checkBoxForm = position == 2 ? 1 : 0;
            WDialogGetCheckBox(kHtmlCentre, state);
            kept.centre = state == 1 ? 1 : 0;
            WDialogGetCheckBox(kHtmlColours, state);
            kept.colours = state == 1 ? 1 : 0;
            kept.title = GridEditorDialogText(kHtmlTitle, kGridEditorTextLength);
            // A blank border field keeps the width chosen before.
            int border = kept.border;
            WDialogGetInteger(kHtmlBorder, border);
            if (gErrorState.lastCode == 0)
                kept.border = border;
            WDialogGetRadioButton(kHtmlWholeGrid, position);
            const bool selection = block && position == 2;
            gErrorState.lastCode = 0;
            if (backup)
                Backup(name);
            const int options = kept.pageForm + 2 * kept.centre + 4 * kept.checkBoxForm + 8 * (1 - kept.colours);
            if (selection) {
                const int c1 = firstColumn + 1, c2 = lastColumn + 1, r1 = firstRow + 1, r2 = lastRow + 1;
                WGridSaveHTML(0, name, &c1, &c2, &r1, &r2, &options, kept.title, &kept.border);
            } else {
                WGridSaveHTML(0, name, nullptr, nullptr, nullptr, nullptr, &options, kept.title, &kept.border);
            }
            switch (gErrorState.lastCode) {
            case 0:
                result = 1;
                break;
            case kErrorFileOpen:
                FileErrorBox("Error opening file", kFileErrorTitle);
                frame.KeepError();
                break;
            case kErrorFileReadWrite:
                FileErrorBox("Error writing file", kFileErrorTitle);
                frame.KeepError();
                break;
            default:
                result = 1;
                frame.KeepError();
                break;
            }
            waiting = false;
        } else if (button == kHtmlCancel) {
            waiting = false;
        }
    }
}
