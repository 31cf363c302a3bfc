// Run-time failures of the application that end the program: a message box
// (skipped when the environment variable KESTROW_NO_FAULT_BOX is set, so that
// tests never block) and a non-zero exit code.
#pragma once

#include <string>
#include <string_view>

// Exit codes of the failures (the floating-point fault handler uses 3).
inline constexpr int kExitResultFileFailure = 2;
inline constexpr int kExitParameterLogFailure = 2;
inline constexpr int kExitAllocationFailure = 4;

// True when KESTROW_NO_FAULT_BOX is set.
bool AppFaultBoxesSuppressed();

// An OK box with the exclamation icon and no owner window (it must work
// before the library and the main window exist).
void AppFaultBox(std::string_view message, std::string_view title);

// "Run-time error: " followed by STATUS in the format "(I5)": 21 characters.
std::string AllocationFailureTitle(int status);

// The box "Allocation failure: " + TABLE with the title above, then the end of
// the program, at once and without releasing anything.
[[noreturn]] void AppAllocationFailureStop(std::string_view table, int status);

// The box naming a result file that could not be opened (OPENFAILED) or
// written; returns the exit code with which the program is to end.
int AppResultFileFailure(std::string_view file, bool openFailed);

// The same for the parameter log.
int AppParameterLogFailure(std::string_view file, bool openFailed);
