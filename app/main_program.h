// The spline application's main program.
#pragma once

// Runs the application; returns the process exit code.
int MainProgram();

// One accepted change in the main dialog (event 10 with the field left equal
// to the field now current: a value changed in the field that had the focus):
// rereads every control, rewrites the parameter log and the result files and
// redraws the graph, as the event loop does.
void ChangeAccepted();
