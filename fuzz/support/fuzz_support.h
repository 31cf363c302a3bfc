// Shared pieces of the fuzz targets: the floating-point traps the program
// runs with, switched on around the code under test only (libFuzzer's own
// arithmetic runs without them), a quiet error state, and a check that ends
// the run with a message when a property of a reader does not hold.
#pragma once

#include <fenv.h>

#include <cstdio>
#include <cstdlib>

#include "core/errors.h"

namespace fuzz {

// Invalid operation, division by zero and overflow trap while one lives, as
// in the program: an unguarded division or conversion ends the run.
class Traps {
public:
    Traps()
    {
        feclearexcept(FE_ALL_EXCEPT);
        feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    }
    ~Traps()
    {
        fedisableexcept(FE_ALL_EXCEPT);
        feclearexcept(FE_ALL_EXCEPT);
    }
    Traps(const Traps&) = delete;
    Traps& operator=(const Traps&) = delete;
};

// Errors are recorded only (report level 0), starting from a clean state.
inline void QuietErrorState()
{
    gErrorState = ErrorState{};
}

[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void Check(bool ok, const char* what)
{
    if (!ok)
        Fail(what);
}

} // namespace fuzz
