// Floating-point mode of the run-time start-up: an invalid operation, a
// division by zero or an overflow ends the program with a message; an
// underflow gives zero. The x87 precision control is left as the run-time
// set it (mingw's exp depends on it).
#pragma once

// Clears pending exceptions and unmasks invalid, divide-by-zero and overflow
// (x87 and SSE). Installs a last-chance handler that names the fault in a
// message box and ends the process with a non-zero exit code.
void FloatingPointTrapsEnable();

// Masks every floating-point exception again and clears pending ones.
void FloatingPointTrapsDisable();

// True when invalid, divide-by-zero and overflow are unmasked in the SSE
// control word (what the double-precision code runs on).
bool FloatingPointTrapsActive();
