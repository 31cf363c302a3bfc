#include "app/main_program.h"

int MainProgram()
{
    return 0;
}
