// What the dialog manager asks of the grid control above it for the grid
// fields of its dialogs: setting a grid field up from its "[Grids]" record,
// copying a grid field's cells and settings into the modal copy and back, and
// clearing every cell when the fields are cleared. The grid installs them
// while the program starts (grid/grid_window.cpp, beside the grid's window
// classes); without them (a program without the grid) a grid field reads
// nothing from its record and nothing is copied or cleared.
#pragma once

#include <windows.h>

#include <string_view>

struct DialogGridServices {
    // GridFieldSetup: sets GRID up from TEXT; CONSUMED := the characters read.
    int (*fieldSetup)(HWND grid, std::string_view text, int& consumed) = [](HWND, std::string_view, int&) {
        return 0;
    };
    void (*copyState)(HWND target, HWND source) = [](HWND, HWND) {}; // GridCopyState
    void (*clearAll)(HWND grid) = [](HWND) {};                       // GridClearAll
};
void DialogGridServicesSet(const DialogGridServices& services);

// The services as the dialog manager calls them.
int DialogGridFieldSetup(HWND grid, std::string_view text, int& consumed);
void DialogGridCopyState(HWND target, HWND source);
void DialogGridClearAll(HWND grid);
