// Steps that the layers above the core (graphics, hardcopy, dialogs, editor,
// grid) add to the library's start-up and shut-down, to the opening of the
// main window and to the closing of a child window, so that the core never
// calls up into them. Each layer installs its steps while the program starts,
// from the file that owns the state they touch (a program that uses the layer
// links that file). WLibraryStart, WLibraryShutdown, the main window's opening
// and WindowCloseChild run them in the fixed order of the slots below,
// whatever order the files were initialised in.
#pragma once

enum class LibraryLayer : int {
    kGraphics,
    kHardcopy,
    kDialogs,
    kEditor,
    kGrid,
    kCount,
};

struct ConfigSettings;

using LibraryLayerStep = void (*)();

struct LibraryLayerSteps {
    LibraryLayerStep start = nullptr;         // the layer's defaults, step 4 of the start-up
    // The settings of the configuration file, as the start-up read them
    // (step 15).
    void (*configure)(const ConfigSettings& settings) = nullptr;
    LibraryLayerStep beforeWindows = nullptr; // shut-down, before the windows are destroyed
    LibraryLayerStep afterWindows = nullptr;  // shut-down, after the windows are destroyed
    // The main window opens: the layer registers its window classes (every
    // layer's before any layer's mainWindowOpening step), then resets what
    // it keeps per main window.
    LibraryLayerStep classesRegister = nullptr;
    LibraryLayerStep mainWindowOpening = nullptr;
    // Child window WINDOW was closed: the layer frees what it kept for it.
    void (*windowClosed)(int window) = nullptr;
};

void LibraryLayerStepsSet(LibraryLayer layer, const LibraryLayerSteps& steps);

// Runs the step selected by MEMBER of every layer that installed one, in
// slot order.
void LibraryLayerStepsRun(LibraryLayerStep LibraryLayerSteps::*member);
// Gives SETTINGS to every layer's configure step, in slot order.
void LibraryLayerConfigure(const ConfigSettings& settings);
// Tells every layer's windowClosed step, in slot order, that child window
// WINDOW was closed.
void LibraryLayerWindowClosed(int window);
