// Printing a grid on the Windows printer: two sets of print settings (page
// set-up, margins, scale, rulings, colours), the page set-up dialog on them,
// and the print itself, a table of column titles, row labels and cells cut
// into pages by height and by width.
//
// Rows and columns count from 0 here. Without a printer (no default printer
// when the settings were filled) the settings hold no printer handles: every
// routine then gives 0 or keeps its defaults.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <array>
#include <span>
#include <string_view>

struct GridPrintSettings {
    DEVMODEA* deviceMode = nullptr;   // the page set-up's device mode while it is locked
    DEVNAMES* deviceNames = nullptr;  // the page set-up's device names while they are locked
    PAGESETUPDLGA pageSetup{};
    int marginUnits = 0;              // 4 thousandths of an inch, 8 hundredths of a millimetre
    int left = 0, right = 0, top = 0, bottom = 0; // page bounds in printer pixels, set at each print
    int scale = 100;                  // percent of fonts, column widths and the row-label width
    int rowLines = 1;
    int columnLines = 1;
    int headersEveryPage = 1;
    int textColours = 1;
    int backgroundColours = 1;
};

struct GridPrintState {
    std::array<GridPrintSettings, 2> settings;
    int defaultsFilled = 0; // GridPrintDefaults ran since the grid classes were registered
};
extern GridPrintState gGridPrintState;

// Settings number 1 the first settings, any other the second.
GridPrintSettings& GridPrintSettingsOf(int settingsNumber);

// Fills both settings from the default printer once (the grid class
// registration clears the flag that says so).
void GridPrintDefaults();
// Prints rows FIRSTROW..LASTROW and columns FIRSTCOLUMN..LASTCOLUMN of grid
// ID of the current dialog (0: the current grid editor's grid) with the
// settings SETTINGSNUMBER; TITLE names the document for settings other than
// 2 ("Untitled Grid" when blank). RESULT := 1 when a document was produced, 0
// when no printer drawing context could be made or ID names no grid.
void GridPrint(int id, int& result, int firstRow, int lastRow, int firstColumn, int lastColumn, int settingsNumber,
               std::string_view title);
// Runs the page set-up dialog on the settings: UNITS -1 the user's locale
// measurement, 0 or 1 thousandths of an inch, 2 or more hundredths of a
// millimetre. 0 when cancelled (or without a printer), else non-zero.
int GridPageSetup(int units, int settingsNumber);
// The five flags (0 or 1) and the scale, after filling the defaults.
void GridPrintOptionsGet(int& rowLines, int& columnLines, int& headersEveryPage, int& textColours,
                         int& backgroundColours, int& scale, int settingsNumber);
// Each flag becomes 1 when its argument is 1, else 0; the scale is kept as given.
void GridPrintOptionsPut(int rowLines, int columnLines, int headersEveryPage, int textColours, int backgroundColours,
                         int scale, int settingsNumber);
// One page value in points: CODE 1 right less left margin, 2 bottom less top
// margin, 3 left margin, 4 top margin, 5 orientation (0 portrait, 1
// landscape; Set takes 0 or 2 portrait, 1 or 3 landscape, 2 and 3 also
// exchanging the two differences of codes 1 and 2 when the horizontal one
// is the larger (2) or the smaller (3)). Other codes change and give nothing.
void GridPrintPageGet(int code, int& value, int settingsNumber);
void GridPrintPageSet(int code, int value, int settingsNumber);

// What GridPrint draws on and what fills and runs the page set-up; tests put
// a metafile per page or a printer-less set-up in their place.
struct GridPrintDevice {
    // The default printer's page set-up (PSD_RETURNDEFAULT); FALSE without one.
    BOOL (*pageSetupDefault)(PAGESETUPDLGA* record);
    // The page set-up dialog: non-zero when accepted.
    int (*pageSetupRun)(PAGESETUPDLGA& record);
    // The printer's drawing context for the settings; nullptr when none.
    HDC (*open)(GridPrintSettings& settings);
    int (*startDoc)(HDC printer, const char* name);
    // The drawing context of a new page, and its end.
    HDC (*startPage)(HDC printer);
    void (*endPage)(HDC printer, HDC page);
    void (*endDoc)(HDC printer);
    void (*close)(HDC printer);
};
extern GridPrintDevice gGridPrintDevice;
GridPrintDevice GridPrintDeviceDefault();

// ---- From the grid editor window (grid_editor_window.cpp) ---------------------

// The file name of the grid editor whose grid is GRID, NUL-terminated within
// BUFFER; empty when GRID belongs to no grid editor or it has no file.
void GridEditorFileName(HWND grid, std::span<char> buffer);
