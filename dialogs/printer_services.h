// Page setup and print setup with the printer state the library keeps between
// calls, and the paper and bin lists of the printer chosen in the running page
// setup. PageSetupRun is the one entry for every page set-up of the library
// (grid, editor, PageSetupDialogRun): it runs the platform's dialog, or the
// library's own page-setup dialog where the program's resources hold dialog
// 32010 (dialogs/page_setup_dialog.h).
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <span>

// Which page-setup dialog PageSetupRun shows.
enum class PageSetupChoice : int {
    Automatic = 0, // the library's own on Windows 6 and later when dialog 32010 is a resource
    Platform = 1,  // always the platform's
    Library = 2,   // always the library's own
};

// What the page setup keeps between calls.
struct PageSetupState {
    HGLOBAL devMode = nullptr;  // printer settings of the last page setup
    HGLOBAL devNames = nullptr; // printer names of the last page setup
    DWORD unitsFlag = 0;        // PSD_INTHOUSANDTHSOFINCHES or PSD_INHUNDREDTHSOFMILLIMETERS used with them
    POINT paperSize{};          // paper of the last accepted page setup, in those units
    int printerChosen = 0;      // 1 after an accepted page setup
    // The record handed to the library's own page-setup dialog while it runs;
    // the print dialog and the printer services work on it.
    PAGESETUPDLGA* record = nullptr;
    PageSetupChoice choice = PageSetupChoice::Automatic;
    // The print dialog's record, set up at its first call.
    int printReady = 0;
    PRINTDLGA print{};
};
extern PageSetupState gPageSetupState;

// Page setup with the printer kept. Sizes in and out: thousandths of an inch
// for UNITS 0 and 1, hundredths of a millimetre otherwise: the paper, the
// area inside the margins, the left and top margins; ORIENTATION 0 portrait,
// 1 landscape; COPIES. Blank or negative margins count as 0. Accepted: every
// value updated, the printer's settings and names kept for the next call and
// for the Windows printer (gGdiPrinterSettings), COLOURS := its colour count,
// ACCEPTED 1. Otherwise (also without a default printer) ACCEPTED 0 and
// nothing else changes.
void PageSetupDialogRun(int& paperWidth, int& paperHeight, int& printableWidth, int& printableHeight,
                        int& leftMargin, int& topMargin, int& orientation, int& copies, int units, int& colours,
                        int& accepted);
// The page setup on RECORD (the platform's structure, filled by the caller):
// non-zero when the user confirmed, 0 when cancelled.
int PageSetupRun(PAGESETUPDLGA& record);
// 1 when PageSetupRun shows the library's own dialog.
int PageSetupUsesLibraryDialog();

// Print setup on the printer of the running page setup (or the default
// printer): ORIENTATION (0 portrait, 1 landscape) and COPIES in and out,
// ACCEPTED 1 when confirmed, else 0 (also without a default printer).
void PrintDialogRun(int& orientation, int& copies, int& accepted);

// The printer of the running page setup. Without a record or a printer in
// it the counts are 0, the paper and source -1 and the dimensions 0 x 0, and
// nothing is written or set.
// KIND 1 paper names, 2 bin names: their number.
void PrinterNameCount(int kind, int& count);
// KIND 1 paper names (64 characters each), 2 bin names (24 each), 3 paper
// ids, 4 bin ids (16 bits each), written into LIST (at most its size).
void PrinterNameList(int kind, std::span<std::byte> list);
// The paper size and default source of the printer settings.
void PrinterPaperGet(int& paper, int& source);
// Sets them and marks them as set; -1 leaves that one unset.
void PrinterPaperSet(int paper, int source);
// Width and height in tenths of a millimetre of entry INDEX (0-based) of the
// printer's paper sizes; 0 x 0 outside the printer's list. COUNT is the
// caller's idea of the list's length; the printer's own count bounds it.
void PrinterPaperDims(int index, int count, int& width, int& height);
