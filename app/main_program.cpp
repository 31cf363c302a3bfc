#include "app/main_program.h"

#include "app/app_errors.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"

#include <string>

int MainProgram()
{
    SplineModuleInit();
    KnotVectorBuild();
    std::string failedFile;
    int status = SplineTabulate(&failedFile);
    if (status != kTabulateOk)
        return AppResultFileFailure(failedFile, status == kTabulateOpenFailed);
    return 0;
}
