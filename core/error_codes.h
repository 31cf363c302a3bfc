// The library's error codes: every code that YYErrorReport records and that
// the message table in core/errors.cpp has a text for. Code and callers name
// them here; the numbers are the library's interface (they appear in the error
// line, in gErrorState.lastCode and in the documentation of every routine)
// and never change.
//
// One style: kError + what went wrong. The enumeration is unscoped so that a
// name passes where the library takes an int code.
#pragma once

enum ErrorCode : int {
    kErrorNone = 0,

    // Files, conversions and the operating system
    kErrorFileOpen = 1,             // opening a file or device
    kErrorFileReadWrite = 2,        // reading or writing a file or device
    kErrorFileClose = 3,            // closing a file or device
    kErrorNumberTooLarge = 4,       // string to numeric conversion overflows
    kErrorNoSubstring = 10,         // no token in the text
    kErrorTwoDecimalPoints = 11,    // more than one decimal point in a number
    kErrorInvalidCharacter = 12,    // a character that cannot be part of a number
    kErrorOperatingSystem = 13,     // OS code in gErrorState.status
    kErrorUnitRange = 16,           // graphics unit range empty or invalid
    kErrorNumberToString = 18,      // numeric to string conversion failed
    kErrorNoProgramName = 23,       // IOsExecute without a program
    kErrorCharacterSetOverflow = 25,
    kErrorTooManyFiles = 40,        // directory listing exceeds the array
    kErrorCopySameNames = 55,       // copy source and target are the same file

    // Graphics
    kErrorEllipseSize = 20,         // radius <= 0, height ratio <= 0 or arc angle 0
    kErrorParallelogramSide = 21,   // axis-parallel side length <= 0
    kErrorZeroWidthHeight = 22,     // rectangle, triangle or parallelogram of no size
    kErrorImageFormat = 27,         // image file format not supported
    kErrorPolygonBordersCross = 28,
    kErrorPageTooLarge = 34,        // page too large for the raster buffer
    kErrorUnknownColour = 42,       // colour name or number not known
    kErrorContourHeights = 43,      // contour heights not increasing
    kErrorAreaRange = 44,           // invalid X and/or Y range of an area
    kErrorNoHardcopyDriver = 46,
    kErrorFillTooComplex = 49,
    kErrorOptionsFileMismatch = 54, // driver/device mismatch in hardcopy options file
    kErrorHighLowOrder = 58,        // minimum above maximum in a high-low chart
    kErrorNoPrinter = 63,           // Windows printer not available
    kErrorImageTransfer = 64,       // bit image transfer to the printer failed
    kErrorCharacterCode = 66,       // character code outside the font

    // Windows, menus and dialogs
    kErrorMenuItem = 1001,
    kErrorMenuLoad = 1002,
    kErrorWindowHandle = 1003,
    kErrorCommonDialog = 1004,      // a common dialog or message box failed
    kErrorNoDialog = 1005,          // no dialog currently selected
    kErrorFieldIdentifier = 1006,
    kErrorDialogNotInResource = 1007,
    kErrorDialogSelect = 1008,
    kErrorFieldValueRange = 1009,   // value outside the field's range
    kErrorFieldUndefined = 1010,    // field value undefined (blank)
    kErrorOptionNumber = 1011,      // option number out of range or invalid item
    kErrorTabNumber = 1012,
    kErrorProgressRange = 1013,
    kErrorDialogMode = 1014,
    kErrorImageIdentifier = 1015,   // invalid bitmap, icon or metafile identifier
    kErrorParentHidden = 1016,
    kErrorCellRange = 1017,
    kErrorGridTooManyRows = 1018,
    kErrorDrawingTarget = 1019,     // invalid target drawing surface
    kErrorBitmapCreate = 1020,
    kErrorBitmapHandle = 1021,
    kErrorEditorNotChild = 1022,    // only child windows become editors or viewers
    kErrorTextTooSmall = 1023,      // variable too small to receive the text
    kErrorEditorMode = 1024,
    kErrorEditorMenuInsideParent = 1025,
    kErrorUserMenuModal = 1026,     // user menu with a modal editor or grid window
    kErrorEditorStart = 1027,
    kErrorNotTextEditor = 1028,
    kErrorTrackBarRange = 1029,
    kErrorHelpViewer = 1030,
    kErrorHelpFileExtension = 1031,
    kErrorEditorNoCommandLine = 1032,
    kErrorEditorCommandLineInsideParent = 1033,
    kErrorProcessTimeout = 1034,
    kErrorOpenGL = 1035,
    kErrorBitmapInViewer = 1036,    // bitmap in use by a bitmap viewer
    kErrorBitmapInUse = 1037,
    kErrorWindowAlreadyConverted = 1038,
    kErrorBitmapViewerMode = 1039,
    kErrorBitmapViewerStart = 1040,
    kErrorPixmapsLow = 1041,
    kErrorPixmapsExhausted = 1042,
    kErrorBitmapBitwiseMode = 1043,
    kErrorCompression = 1044,       // zlib status in gErrorState.status
    kErrorDialogStyle = 1045,       // dialog style cannot be combined with a window
    kErrorParentCombined = 1046,    // parent window is combined with a dialog
    kErrorDialogCombined = 1047,    // current dialog is combined with a window
    kErrorTreeItemExists = 1048,
    kErrorTreeItemNotBranch = 1049,
    kErrorRegistryKey = 1050,
    kErrorGridMenuInsideParent = 1051,
    kErrorGridMode = 1052,
    kErrorGridStart = 1053,
    kErrorGridFileTooLarge = 1054,  // data file has more rows or columns than the grid
    kErrorGridMenuValue = 1055,     // file value matches no menu cell option
    kErrorParentConverted = 1056,   // parent window is converted to a special type
    kErrorInsideParentWindowsExist = 1057,
    kErrorNoFontName = 1058,
    kErrorMetafileCreate = 1059,
    kErrorMetafileHandle = 1060,
    kErrorMetafileFormat = 1061,
    kErrorMetafileFull = 1062,
    kErrorSaveFromMetafile = 1063,
    kErrorPrintFromMetafile = 1064,
    kErrorBitmapOnMetafile = 1065,
    kErrorBitmapTransfer = 1066,    // bitmap put or get failed
    kErrorEditorBuffer = 1067,
    kErrorNoEditorBuffer = 1068,
    kErrorSubDialog = 1069,         // a sub-dialog cannot be hidden or unloaded
    kErrorFormatNotRtf = 1070,
    kErrorInputOnMemoryTarget = 1071,
    kErrorImageSave = 1072,         // API error while saving a bit image
    kErrorModelVertexLimit = 1073,
    kErrorModelFacetLimit = 1074,
    kErrorModelMaterial = 1075,
    kErrorModelWorkspaceFull = 1076,
    kErrorModelWorkspaceEmpty = 1077,
    kErrorModelFileFormat = 1078,
    kErrorModelFileSpace = 1079,
    kErrorModelFileMaterials = 1080,
    kErrorViewerLibraryMissing = 1081,
    kErrorMailLibraryMissing = 1082,
    kErrorMailProgram = 1083,
    kErrorMailAttachment = 1084,
    kErrorMailNoRecipient = 1085,
    kErrorSoundFile = 1086,
    kErrorTooManyDialogs = 1087,
    kErrorDialogCreate = 1088,
    kErrorModelFacetTooLarge = 1089,
    kErrorBitmapRotation = 1090,
    kErrorDialogLoaded = 1091,
    kErrorEditorNoHistory = 1092,
    kErrorNoHomeDirectory = 1093,
    kErrorClipboardAccess = 1094,
    kErrorClipboardType = 1095,
    kErrorNotSpecialWindow = 1096,
    kErrorNoCursor = 1097,
    kErrorDatabaseStart = 1098,
    kErrorDatabaseRecord = 1099,
    kErrorDatabaseHandle = 1100,
    kErrorModelTooManyParts = 1101,
    kErrorModelPart = 1102,
    kErrorModelVertex = 1103,
    kErrorModelDxfParts = 1104,
    kErrorModelFacet = 1105,
    kErrorDatabaseTable = 1106,
    kErrorBitmapStretchMode = 1107,
};
