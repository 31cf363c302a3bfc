// The program's entry: sets the floating-point mode, then runs the main program.
#include "app/main_program.h"
#include "core/fp_traps.h"

int main()
{
    FloatingPointTrapsEnable();
    return MainProgram();
}
