// The error reporter, the message tables and the abnormal exit.
//
// Every public routine reports a usage or system failure through
// YYErrorReport. The reporter records the code and, by the report level,
// writes one error line nowhere, to standard output, to the debug log, to the
// main window's status bar or into the "Library Error" box. During the
// delivery the level is 0, so that an error raised by the delivery itself is
// recorded but not reported again; afterwards the level and the code are
// restored.
#include "core/errors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/error_codes.h"
#include "core/fixed_text.h"
#include "core/fortran_format.h"
#include "core/os_services.h"

ErrorState gErrorState;

namespace {

struct MessageEntry {
    int code;
    const char* text;
};

// The library's message table, sorted by code.
constexpr MessageEntry kMessages[] = {
    {kErrorFileOpen, "Error opening file or device"},
    {kErrorFileReadWrite, "Error reading/writing file or device"},
    {kErrorFileClose, "Error closing file or device"},
    {kErrorNumberTooLarge, "Number too large in string to numeric conversion"},
    {kErrorNoSubstring, "No substring found"},
    {kErrorTwoDecimalPoints, "More than one decimal point in number"},
    {kErrorInvalidCharacter, "Invalid character detected"},
    {kErrorOperatingSystem, "Operating system error"},
    {kErrorUnitRange, "Graphics unit range is invalid"},
    {kErrorNumberToString, "Numeric to string conversion error"},
    {kErrorEllipseSize, "Circle/ellipse radius <=0, height ratio<=0 or arc angle=0"},
    {kErrorParallelogramSide, "Length of axis-parallel side of a parallelogram is =<0"},
    {kErrorZeroWidthHeight, "Width/height=0 for a rectangle/triangle/parallelogram"},
    {kErrorNoProgramName, "No program name specified to IOsExecute"},
    {kErrorCharacterSetOverflow, "Too many bytes in char set during conversion from ASCII"},
    {kErrorImageFormat, "Image file format not supported"},
    {kErrorPolygonBordersCross, "Borders cross in simple polygon definition"},
    {kErrorPageTooLarge, "Requested page size too large for raster image buffer"},
    {kErrorTooManyFiles, "Number of files matched by IOsDirInfo/List exceeds array size"},
    {kErrorUnknownColour, "Unknown colour name/number specified to IGrColour/IGrColourN"},
    {kErrorContourHeights, "Contour heights must increase monotonically"},
    {kErrorAreaRange, "Invalid X and/or Y range in IGrArea/IGrViewport/IGrReplayArea"},
    {kErrorNoHardcopyDriver, "No graphics hardcopy driver currently selected"},
    {kErrorFillTooComplex, "Fill too complex in IGrPolygonComplex"},
    {kErrorOptionsFileMismatch, "Mismatched driver/device in hardcopy options file"},
    {kErrorCopySameNames, "Source and target file names same in copy command"},
    {kErrorHighLowOrder, "Min value greater than max value in IPgHighLow"},
    {kErrorNoPrinter, "Windows printer not available"},
    {kErrorImageTransfer, "Bit image transfer failed in IGrPrintImage"},
    {kErrorCharacterCode, "Invalid character code in WGrTextWidth"},
    {kErrorMenuItem, "Invalid menu item"},
    {kErrorMenuLoad, "Unable to load menu from resource"},
    {kErrorWindowHandle, "Invalid window handle"},
    {kErrorCommonDialog, "General error in common dialog"},
    {kErrorNoDialog, "No dialog currently selected"},
    {kErrorFieldIdentifier, "Invalid field identifier"},
    {kErrorDialogNotInResource, "Dialog not present in resource - unable to load"},
    {kErrorDialogSelect, "Unable to select specified dialog"},
    {kErrorFieldValueRange, "Attempt to store an out of range dialog field value"},
    {kErrorFieldUndefined, "Field value undefined"},
    {kErrorOptionNumber, "Option number out of range or invalid item ID"},
    {kErrorTabNumber, "Invalid tab number specified"},
    {kErrorProgressRange, "Invalid range specified for progress bar"},
    {kErrorDialogMode, "Invalid dialog mode"},
    {kErrorImageIdentifier, "Invalid bitmap/icon/metafile identifier"},
    {kErrorParentHidden, "Unable to display window/dialog. Parent window hidden"},
    {kErrorCellRange, "Cell co-ordinates out of range"},
    {kErrorGridTooManyRows, "Too many rows for grid field to hold"},
    {kErrorDrawingTarget, "Invalid target drawing surface"},
    {kErrorBitmapCreate, "Bitmap creation failed"},
    {kErrorBitmapHandle, "Invalid bitmap handle"},
    {kErrorEditorNotChild, "Only child windows can be converted into editors or viewers"},
    {kErrorTextTooSmall, "Variable too small to receive text"},
    {kErrorEditorMode, "Invalid editor mode"},
    {kErrorEditorMenuInsideParent, "Editor can't have menu in InsideParent child window"},
    {kErrorUserMenuModal, "User menu not supported with modal editor or grid window"},
    {kErrorEditorStart, "General problem initializing editor"},
    {kErrorNotTextEditor, "Current window is not a text editor"},
    {kErrorTrackBarRange, "Invalid range specified for trackbar"},
    {kErrorHelpViewer, "General help viewer error"},
    {kErrorHelpFileExtension, "Not a valid help file extension"},
    {kErrorEditorNoCommandLine, "Editor does not have a command line"},
    {kErrorEditorCommandLineInsideParent, "Editor can't have command line in InsideParent child window"},
    {kErrorProcessTimeout, "External process timed out before completion"},
    {kErrorOpenGL, "Failed to enable OpenGL graphics"},
    {kErrorBitmapInViewer, "Cannot destroy bitmap while in use by bitmap viewer"},
    {kErrorBitmapInUse, "Specified bitmap is already in use"},
    {kErrorWindowAlreadyConverted, "Window is already converted to a different type"},
    {kErrorBitmapViewerMode, "Invalid bitmap viewer mode"},
    {kErrorBitmapViewerStart, "General problem initializing bitmap viewer"},
    {kErrorPixmapsLow, "X server modal dialog/window pixmap resources are low"},
    {kErrorPixmapsExhausted, "X server modal dialog/window pixmap resources are exhausted"},
    {kErrorBitmapBitwiseMode, "Invalid bitmap bitwise mode"},
    {kErrorCompression, "Zlib compression/decompression error"},
    {kErrorDialogStyle, "Specified dialog has wrong style to be combined with a window"},
    {kErrorParentCombined, "Parent window is combined with a dialog"},
    {kErrorDialogCombined, "Current dialog which is combined with a window"},
    {kErrorTreeItemExists, "Item identifier already exists in treeview field"},
    {kErrorTreeItemNotBranch, "Treeview item is not a branch"},
    {kErrorRegistryKey, "Invalid pre-defined registry key"},
    {kErrorGridMenuInsideParent, "Grid window can't have menu in InsideParent child window"},
    {kErrorGridMode, "Invalid grid window mode"},
    {kErrorGridStart, "General problem initializing grid window"},
    {kErrorGridFileTooLarge, "Data file contains more rows or columns than grid field"},
    {kErrorGridMenuValue, "Unable to match value from file with menu cell option"},
    {kErrorParentConverted, "Parent window is converted to a special type"},
    {kErrorInsideParentWindowsExist, "Cannot convert window when InsideParent windows exist"},
    {kErrorNoFontName, "No name specified for user-defined font"},
    {kErrorMetafileCreate, "Metafile creation failed"},
    {kErrorMetafileHandle, "Invalid metafile handle"},
    {kErrorMetafileFormat, "Unsupported metafile format"},
    {kErrorMetafileFull, "CGM memory metafile full"},
    {kErrorSaveFromMetafile, "Cannot save image when drawable is a metafile"},
    {kErrorPrintFromMetafile, "Cannot print image when drawable is a metafile"},
    {kErrorBitmapOnMetafile, "Bitmap operation on memory metafile not allowed"},
    {kErrorBitmapTransfer, "Error during bitmap put/get operation"},
    {kErrorEditorBuffer, "Invalid editor buffer"},
    {kErrorNoEditorBuffer, "No more editor buffers available"},
    {kErrorSubDialog, "Cannot hide or unload a sub-dialog"},
    {kErrorFormatNotRtf, "Cannot set format in non-RTF editor window"},
    {kErrorInputOnMemoryTarget, "Graphical input not allowed in memory bitmap/metafile"},
    {kErrorImageSave, "API error during bit image save"},
    {kErrorModelVertexLimit, "3D model vertex limit exceeded. Increase MAXVERTEX."},
    {kErrorModelFacetLimit, "3D model facet limit exceeded. Increase MAXFACET."},
    {kErrorModelMaterial, "3D model material number invalid"},
    {kErrorModelWorkspaceFull, "3D model workspace full. Increase MAXWORK."},
    {kErrorModelWorkspaceEmpty, "3D model internal error: Workspace empty."},
    {kErrorModelFileFormat, "Unsupported 3D model file format"},
    {kErrorModelFileSpace, "Insufficient space to add data from 3D model file"},
    {kErrorModelFileMaterials, "Unable to add one or more materials from a 3D model file"},
    {kErrorViewerLibraryMissing, "DOVAVU.DLL not found"},
    {kErrorMailLibraryMissing, "MAPI32.DLL not found. Unable to send e-mail"},
    {kErrorMailProgram, "Error invoking e-mail program"},
    {kErrorMailAttachment, "Error encoding e-mail attachments"},
    {kErrorMailNoRecipient, "At least one e-mail recipient must be specified"},
    {kErrorSoundFile, "Unsupported or invalid .wav sound file"},
    {kErrorTooManyDialogs, "Too many dialogs"},
    {kErrorDialogCreate, "Error during dialog creation"},
    {kErrorModelFacetTooLarge, "Facet polygon too large in 3D model"},
    {kErrorBitmapRotation, "Invalid bitmap rotation angle"},
    {kErrorDialogLoaded, "Dialog is already loaded"},
    {kErrorEditorNoHistory, "Editor does not have a command history"},
    {kErrorNoHomeDirectory, "Unable to locate home directory"},
    {kErrorClipboardAccess, "Error accessing the clipboard"},
    {kErrorClipboardType, "Clipboard data type mismatch"},
    {kErrorNotSpecialWindow, "Current window is not a special purpose window"},
    {kErrorNoCursor, "Current drawable cannot display a cursor"},
    {kErrorDatabaseStart, "Unable to initialise ODBC database access"},
    {kErrorDatabaseRecord, "Specified database record does not exist"},
    {kErrorDatabaseHandle, "Invalid database handle"},
    {kErrorModelTooManyParts, "Too many parts in 3D model"},
    {kErrorModelPart, "3D model part number invalid"},
    {kErrorModelVertex, "3D model vertex number invalid"},
    {kErrorModelDxfParts, "Part definitions not contiguous in 3D DXF file"},
    {kErrorModelFacet, "3D model facet number invalid"},
    {kErrorDatabaseTable, "Invalid database table name"},
    {kErrorBitmapStretchMode, "Invalid bitmap stretch mode"},
};

constexpr bool MessagesSorted()
{
    for (size_t i = 1; i < std::size(kMessages); ++i)
        if (kMessages[i - 1].code >= kMessages[i].code)
            return false;
    return true;
}
static_assert(MessagesSorted(), "the message table is searched by code: keep it sorted");

// Texts of the compression library's status values.
const char* CompressionStatusText(int status)
{
    switch (status) {
    case 1: return "stream end";
    case 2: return "need dictionary";
    case -6: return "incompatible version";
    case -5: return "buffer error";
    case -4: return "insufficient memory";
    case -3: return "data error";
    case -2: return "stream error";
    case -1: return "file error";
    default: return " ";
    }
}

const char* LibraryMessageText(int code)
{
    const MessageEntry* end = std::end(kMessages);
    const MessageEntry* it = std::lower_bound(std::begin(kMessages), end, code,
                                              [](const MessageEntry& e, int c) { return e.code < c; });
    return (it != end && it->code == code) ? it->text : " ";
}

// CODE right-justified in four places ("(I4)"); asterisks when it does not fit.
std::string CodeField(int code)
{
    return FortranFormat("(I4)", {code});
}

// The system message of the Windows error CODE in a 300-character work text,
// blanked from its first NUL on; a blank text for code 0.
std::string SystemMessageText(int code)
{
    char work[kSystemMessageLength + 1];
    std::memset(work, 0, sizeof work);
    if (code != 0)
        OsErrorText(code, work, kSystemMessageLength);
    work[kSystemMessageLength] = '\0';
    size_t n = std::strlen(work);
    std::string text(work, n);
    text.resize(kSystemMessageLength, ' ');
    return text;
}

bool IsInternalName(std::string_view name)
{
    if (name.size() < 2)
        return false;
    return (name[0] == 'Y' && name[1] == 'Y') || (name[0] == 'y' && name[1] == 'y') ||
           (name[0] == 'X' && name[1] == 'X') || (name[0] == 'x' && name[1] == 'x');
}

ErrorStatusBarDelivery gStatusBarDelivery = nullptr;
constinit ErrorBoxDelivery gErrorBoxDelivery = nullptr;

// The parts of one error report.
struct ErrorLineParts {
    std::string head;    // prefix and name
    std::string codeText; // the code in four places
    std::string line;    // the complete trimmed line
    size_t messageStart; // position of the message text in LINE
};

ErrorLineParts ComposeParts(int code, std::string_view name)
{
    const size_t L = kErrorLineLength;
    ErrorLineParts p;
    p.head = IsInternalName(name) ? "Internal routine:" : "Routine:";
    p.head.append(name);
    std::string line = p.head;
    if (line.size() > L)
        line.resize(L);
    line = std::string(TrimRight(line));

    p.codeText = CodeField(code);
    line += " Error=" + p.codeText + ":";
    if (line.size() > L)
        line.resize(L);
    p.messageStart = line.size();
    line += LibraryMessageText(code);
    if (line.size() > L)
        line.resize(L);
    line = std::string(TrimRight(line));

    bool appendix = (code == kErrorFileOpen || code == kErrorFileReadWrite)
                        ? gErrorState.osErrorKind == 2
                        : (code == kErrorCompression || code == kErrorOperatingSystem);
    if (appendix && line.size() < L - 2) {
        std::string extra;
        if (code == kErrorCompression)
            extra = CompressionStatusText(gErrorState.status);
        else
            extra = SystemMessageText(code == kErrorOperatingSystem ? gErrorState.status
                                                                    : gErrorState.osError);
        // System texts end with a line end (some hold more): the error line
        // stays one line.
        for (char& c : extra)
            if (c == '\r' || c == '\n')
                c = ' ';
        line += ": ";
        line += extra;
        if (line.size() > L)
            line.resize(L);
        line = std::string(TrimRight(line));
    }
    p.line = line;
    return p;
}

} // namespace

void YYErrorCodeSet(int code)
{
    gErrorState.lastCode = code;
}

void YYErrorLevelSet(int level)
{
    if (level >= 0 && level <= 4)
        gErrorState.level = level;
}

void YYErrorMessage(int code, std::span<char> text, const int* kind)
{
    int k = kind ? *kind : 1;
    switch (k) {
    case 1:
        PutText(text, LibraryMessageText(code));
        break;
    case 2:
    case 4:
        PutText(text, SystemMessageText(code));
        break;
    case 3:
        PutText(text, CompressionStatusText(code));
        break;
    default:
        break;
    }
}

std::string ErrorLineCompose(int code, std::string_view name)
{
    return ComposeParts(code, name).line;
}

std::string ErrorBoxTextCompose(int code, std::string_view name)
{
    ErrorLineParts p = ComposeParts(code, name);
    std::string text = p.head;
    text += '\r';
    text += "Error=" + p.codeText;
    text += '\r';
    if (p.messageStart < p.line.size())
        text.append(p.line, p.messageStart, std::string::npos);
    return text;
}

void ErrorBoxDeliverySet(ErrorBoxDelivery delivery)
{
    gErrorBoxDelivery = delivery;
}

void ErrorStatusBarDeliverySet(ErrorStatusBarDelivery delivery)
{
    gStatusBarDelivery = delivery;
}

void YYErrorReport(int code, std::string_view name)
{
    YYErrorCodeSet(code);
    const int level = gErrorState.level;
    if (level <= 0)
        return;
    gErrorState.level = 0;

    switch (level) {
    case kReportStdout: {
        std::string line = " " + ErrorLineCompose(code, name) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
        break;
    }
    case kReportDebugLog:
        YYDebugLogText(ErrorLineCompose(code, name));
        break;
    case kReportStatusBar:
        if (gStatusBarDelivery)
            gStatusBarDelivery(ErrorLineCompose(code, name));
        break;
    case kReportMessageBox:
        // Cancel ends the process; with a non-zero exit code, so that a
        // calling script does not take the end on an error for success.
        if (gErrorBoxDelivery && gErrorBoxDelivery(ErrorBoxTextCompose(code, name)))
            YYAbnormalExit(" ", kErrorCancelExitCode);
        break;
    default:
        break;
    }

    gErrorState.level = level;
    gErrorState.lastCode = code;
}

std::string AbnormalExitText(std::string_view text, int code)
{
    // "Abnormal exit (code " + the code + ") :", the code left-justified.
    std::string field = CodeField(code);
    std::string_view digits = TrimRight(field);
    size_t first = digits.find_first_not_of(' ');
    std::string box = "Abnormal exit (code ";
    box.append(digits.substr(first == std::string_view::npos ? digits.size() : first));
    box += ") : ";
    box.append(text);
    return box;
}

void YYAbnormalExit(std::string_view text, int code)
{
    if (!TrimRight(text).empty()) {
        std::string box = AbnormalExitText(text, code);
        OsErrorBox("Quillodrane", box.c_str());
    }
    std::fflush(stdout);
    OsExit(code);
}
