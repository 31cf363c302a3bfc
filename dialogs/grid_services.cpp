// The grid control's services to the dialog manager (see grid_services.h).
#include "dialogs/grid_services.h"

namespace {

// Constant-initialised, so that the grid may install its services from any
// file's initialisation.
constinit DialogGridServices gDialogGridServices{};

} // namespace

void DialogGridServicesSet(const DialogGridServices& services)
{
    gDialogGridServices = services;
}

int DialogGridFieldSetup(HWND grid, std::string_view text, int& consumed)
{
    return gDialogGridServices.fieldSetup(grid, text, consumed);
}

void DialogGridCopyState(HWND target, HWND source)
{
    gDialogGridServices.copyState(target, source);
}

void DialogGridClearAll(HWND grid)
{
    gDialogGridServices.clearAll(grid);
}
