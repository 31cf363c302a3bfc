// Example: a grid editor on a CSV file next to a text editor on a text file,
// each in a child window of its own. The grid editor works on a copy of a
// grid field of a loaded (never shown) dialog; both editors bring their own
// menus, toolbars and save prompts.
//
//   example_grid_and_editor          writes samples.csv and notes.txt in the
//                                    current folder when they are missing, opens
//                                    both and waits until the user has closed them
//   example_grid_and_editor --once   reads a cell and the text back, saves the
//                                    grid's copy to samples-copy.csv, closes both
//                                    windows and ends; exit code 1 when the
//                                    library reported an error or a value was
//                                    not what the files hold
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "core/child_windows.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fp_traps.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "dialogs/dialog_table.h"
#include "editor/editor.h"
#include "graphics/graphics_state.h"
#include "grid/grid_editor.h"
#include "grid/grid_files.h"
#include "grid/grid_public.h"

namespace {

// Resource and control identifiers of grid_and_editor.rc.
constexpr int kGridDialog = 500, kGridField = 501;
constexpr int kTimerScript = 1;

constexpr const char* kCsvFile = "samples.csv";
constexpr const char* kTextFile = "notes.txt";

bool gFailed = false;

void Check(const char* what)
{
    if (gErrorState.lastCode != kErrorNone) {
        std::printf("%s: library error %d\n", what, gErrorState.lastCode);
        gFailed = true;
        gErrorState.lastCode = kErrorNone;
    }
}

// Writes FILE with TEXT unless it exists: the user's own edits are kept.
void FileProvide(const char* file, const char* text)
{
    if (std::ifstream(file).good())
        return;
    std::ofstream(file, std::ios::binary) << text;
}

// Opens a popup child window at X with TITLE and a status bar (flag 32); it
// becomes the current window. Returns its number, -1 when it could not open.
int WindowBeside(int x, std::string_view title)
{
    int handle = -1;
    const int flags = 7 | 32, y = 40, width = 420, height = 320;
    WindowOpenChild(handle, &flags, &x, &y, &width, &height, nullptr, nullptr, nullptr, title);
    return handle;
}

// What --once does from inside the event loop: reads back what the editors
// loaded, saves the grid's copy and closes both windows (nothing was changed,
// so neither asks to save).
void Script(int gridWindow, int textWindow)
{
    WindowMakeCurrent(gridWindow);
    std::array<char, 32> sample{};
    WGridGetCellString(0, 1, 2, sample); // the editor's grid is identifier 0
    int count = 0;
    WGridGetCellInteger(0, 2, 2, count);
    Check("reading the grid");
    if (std::string(sample.data(), 5) != "Birch" || count != 7) {
        std::printf("row 2 reads \"%.*s\" and %d\n", static_cast<int>(sample.size()), sample.data(), count);
        gFailed = true;
    }
    WGridSave(0, "samples-copy.csv");
    Check("saving the grid's copy");

    WindowMakeCurrent(textWindow);
    std::array<char, 256> text{};
    int status = 0;
    EditorTextCopyOut(status, text);
    if (status != 0 || std::strncmp(text.data(), "Samples of", 10) != 0) {
        std::printf("the text editor holds \"%s\" (status %d)\n", text.data(), status);
        gFailed = true;
    }

    WindowCloseChild(textWindow);
    WindowCloseChild(gridWindow);
    Check("closing the editors");
}

} // namespace

int main(int argc, char** argv)
{
    FloatingPointTrapsEnable();
    const bool once = argc > 1 && std::strcmp(argv[1], "--once") == 0;

    FileProvide(kCsvFile, "Alder,3,12.50,Yes\r\nBirch,7,4.25,No\r\nCedar,1,30.00,Yes\r\n");
    FileProvide(kTextFile, "Samples of the north slope.\r\nBirch: count again in May.\r\n");

    WLibraryStart();
    const int hidden = 128;
    WindowOpen(&hidden);
    // The grid editor copies a grid field of the current dialog: load the
    // dialog that holds it.
    WDialogLoad(kGridDialog);
    Check("loading the grid's dialog");

    // The grid editor, modeless (2), on the CSV file.
    const int gridWindow = WindowBeside(20, "Samples");
    int gridStatus = 0;
    WGridEditor(kGridField, 2, 0, &gridStatus, nullptr, kCsvFile);
    Check("opening the grid editor");

    // The text editor, modeless (2), word-wrapped, Courier New (family 4) at 10 points.
    const int textWindow = WindowBeside(460, "Notes");
    int textStatus = 0, textMode = 2;
    EditorCreate(textStatus, textMode, 0, kEditorWrap, 4, 10, -1, -1, kTextFile, "");
    if (gridWindow < 0 || textWindow < 0 || gridStatus != 0 || textStatus != 0) {
        std::printf("windows %d and %d, statuses %d and %d\n", gridWindow, textWindow, gridStatus, textStatus);
        gFailed = true;
    }
    Check("opening the text editor");

    if (once)
        TimerSet(200, kTimerScript, 0);

    // Each editor handles its own commands; a window closes when the user
    // closes it (after the editor's save prompt) and reports it as event 9.
    int open = 2;
    EventMessage event;
    while (open > 0 && !gFailed) {
        int type = 0;
        WMessageWait(type, event);
        if (type == kEventClose && (event.window == gridWindow || event.window == textWindow)) {
            WindowCloseChild(event.window);
            --open;
        } else if (type == kEventTimer && once && event.value1 == kTimerScript) {
            Script(gridWindow, textWindow);
            open = 0;
        }
    }

    WLibraryShutdown();
    return gFailed ? 1 : 0;
}
