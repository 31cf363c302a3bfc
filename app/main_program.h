// The spline application's main program.
#pragma once

// Runs the application; returns the process exit code.
int MainProgram();
