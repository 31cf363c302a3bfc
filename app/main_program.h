// The spline application's main program.
#pragma once

// Runs the application; returns the process exit code.
int MainProgram();

// The program's windows once the library has started and the hidden main
// window is open: the main dialog (field changes reported, the splines
// chosen, the track bars and integer fields set from the module) shown
// modeless, and the plot window opened and drawn.
void MainWindowsOpen();

// The first step of an accepted change: the module's data reset, then every
// control of the main dialog read into it (the integer fields set from the
// track bars).
void ChangeControlsRead();

// One accepted change in the main dialog (event 10 with the field left equal
// to the field now current: a value changed in the field that had the focus):
// rereads every control, rewrites the parameter log and the result files and
// redraws the graph, as the event loop does.
void ChangeAccepted();
