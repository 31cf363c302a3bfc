#include "app/app_errors.h"

#include "core/fortran_format.h"

#include <windows.h>

#include <cstdlib>

bool AppFaultBoxesSuppressed()
{
    return GetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", nullptr, 0) != 0;
}

void AppFaultBox(std::string_view message, std::string_view title)
{
    if (AppFaultBoxesSuppressed())
        return;
    std::string text(message);
    std::string caption(title);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION | MB_DEFBUTTON1);
}

std::string AllocationFailureTitle(int status)
{
    std::string number = FortranFormat("(I5)", {status});
    if (number.size() != 5)
        number = "*****";
    return "Run-time error: " + number;
}

void AppAllocationFailureStop(std::string_view table, int status)
{
    AppFaultBox("Allocation failure: " + std::string(table), AllocationFailureTitle(status));
    std::_Exit(kExitAllocationFailure);
}

int AppResultFileFailure(std::string_view file, bool openFailed)
{
    std::string text = openFailed ? "Cannot open the result file " : "Cannot write the result file ";
    text += file;
    AppFaultBox(text, "Run-time error");
    return kExitResultFileFailure;
}

int AppParameterLogFailure(std::string_view file, bool openFailed)
{
    std::string text = openFailed ? "Cannot open the parameter log " : "Cannot write the parameter log ";
    text += file;
    AppFaultBox(text, "Run-time error");
    return kExitParameterLogFailure;
}
