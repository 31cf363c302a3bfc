// The library's own page-setup dialog, built with the library's dialog
// routines from dialog template 32010 of the program's resources: paper size
// and source of the printer of the running page setup, orientation, the four
// margins, a preview of the page, and the printer dialog on request.
//
// The template must hold these fields (its layout is free):
//   1 OK, 2 Cancel (push buttons); 1024 a static field for the preview;
//   1033 paper sizes, 1034 paper sources (single-selection list or combo
//   boxes); 1038 a field with a caption (the margins' group box); 1039 left,
//   1040 right, 1042 top, 1044 bottom margin (numeric or edit fields); 1208
//   portrait, 1209 landscape (radio buttons of one group, 1208 first); 1301
//   a push button that opens the printer dialog.
// A copy of such a template is resources/quillodrane_dialogs.dlg.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

constexpr int kPageSetupDialogId = 32010;

// Field ids of the template.
enum PageSetupField : int {
    kPageOk = 1,
    kPageCancel = 2,
    kPagePreview = 1024,
    kPagePapers = 1033,
    kPageSources = 1034,
    kPageMarginsBox = 1038,
    kPageLeft = 1039,
    kPageRight = 1040,
    kPageTop = 1042,
    kPageBottom = 1044,
    kPagePortrait = 1208,
    kPageLandscape = 1209,
    kPagePrinter = 1301,
};

// The working record of one run.
struct PageSetupWork {
    int units = 0;          // 0 thousandths of an inch, 2 (or more) hundredths of a millimetre
    float scale = 1000.0f;  // caller's units per shown unit (1000 or 100)
    std::array<float, 4> margins{}; // left, top, right, bottom as shown
    int orientation = 0;    // 0 portrait, 1 landscape
    int paperWidth = 0;     // in the caller's units
    int paperHeight = 0;
    int paperIndex = 0;     // selected entry of the paper list (0-based), its id
    int paperId = -1;
    int paperCount = 0;     // length of the printer's own paper list
    int sourceIndex = 0;    // selected entry of the source list, its id, the entries
    int sourceId = -1;
    int sourceCount = 0;
    int bitmap = 0;         // preview bitmap handle, 0 none
    std::vector<std::string> paperNames;   // 64 characters each, blank-padded
    std::vector<int> paperIds;
    std::vector<int> paperPositions;       // each entry's place in the printer's list
    std::vector<std::string> sourceNames;  // 24 characters each
    std::vector<int> sourceIds;
};

// The printer services the dialog calls (dialogs/printer_services.h); tests
// put scripted ones in their place.
struct PageSetupPrinterServices {
    void (*nameCount)(int kind, int& count);
    void (*nameList)(int kind, std::span<std::byte> list);
    void (*paperGet)(int& paper, int& source);
    void (*paperSet)(int paper, int source);
    void (*paperDims)(int index, int count, int& width, int& height);
    void (*printDialog)(int& orientation, int& copies, int& accepted);
};
extern PageSetupPrinterServices gPageSetupPrinterServices;
// The services of dialogs/printer_services.h.
PageSetupPrinterServices PageSetupPrinterServicesDefault();

// Runs the dialog. All by reference, in the units UNITS: the paper, the area
// inside the margins, the left and top margins, ORIENTATION (0 portrait, 1
// landscape) and COPIES (handed to the printer dialog and back). RESULT 1
// accepted (the values updated), 0 cancelled (unchanged), -1 the dialog could
// not be loaded. The current dialog, the last error and the enabling of
// event 10 are left as they were found.
void YYPageSetupDialog(int& paperWidth, int& paperHeight, int& printableWidth, int& printableHeight,
                       int& leftMargin, int& topMargin, int& orientation, int& copies, int& units, int& result);
// Fills fields 1033 and 1034 of the current dialog (and WORK's lists) from
// the printer: sorted by name, blank names left out, the printer's current
// paper and source selected (else the first).
void YYPageSetupPaperLists(PageSetupWork& work);
// Draws the page with its margins (read from their fields) into field 1024
// of the current dialog: through WORK's bitmap when there is one, else into
// the field itself.
void YYPageSetupPreview(PageSetupWork& work);
