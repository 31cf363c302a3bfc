#include "core/fp_traps.h"

#include <float.h>
#include <windows.h>
#include <xmmintrin.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* FloatFaultName(DWORD code)
{
    switch (code) {
    case EXCEPTION_FLT_DIVIDE_BY_ZERO: return "floating-point division by zero";
    case EXCEPTION_FLT_OVERFLOW: return "floating-point overflow";
    case EXCEPTION_FLT_INVALID_OPERATION: return "invalid floating-point operation";
    case EXCEPTION_FLT_STACK_CHECK: return "floating-point stack fault";
    case EXCEPTION_FLT_DENORMAL_OPERAND: return "denormal floating-point operand";
    case EXCEPTION_FLT_INEXACT_RESULT: return "inexact floating-point result";
    case EXCEPTION_FLT_UNDERFLOW: return "floating-point underflow";
    case STATUS_FLOAT_MULTIPLE_FAULTS: return "floating-point fault";
    case STATUS_FLOAT_MULTIPLE_TRAPS: return "floating-point fault";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    default: return nullptr;
    }
}

LONG WINAPI LastChanceHandler(EXCEPTION_POINTERS* info)
{
    DWORD code = info->ExceptionRecord->ExceptionCode;
    const char* name = FloatFaultName(code);
    char text[200];
    if (name)
        std::snprintf(text, sizeof text, "Run-time error: %s at address %p.", name,
                      info->ExceptionRecord->ExceptionAddress);
    else
        std::snprintf(text, sizeof text, "Run-time error: exception 0x%08lX at address %p.",
                      static_cast<unsigned long>(code), info->ExceptionRecord->ExceptionAddress);
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    if (!GetEnvironmentVariableA("KESTROW_NO_FAULT_BOX", nullptr, 0))
        MessageBoxA(nullptr, text, "Run-time error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void FloatingPointTrapsEnable()
{
    _clearfp();
    unsigned int cw = 0;
    _controlfp_s(&cw, _EM_INEXACT | _EM_UNDERFLOW | _EM_DENORMAL, _MCW_EM);
    // The C run-time may set only the x87 word; make sure SSE traps as well.
    unsigned int csr = _mm_getcsr();
    csr &= ~0x3Fu;                                       // clear sticky flags
    csr |= _MM_MASK_INEXACT | _MM_MASK_UNDERFLOW | _MM_MASK_DENORM;
    csr &= ~(_MM_MASK_INVALID | _MM_MASK_DIV_ZERO | _MM_MASK_OVERFLOW);
    _mm_setcsr(csr);
    SetUnhandledExceptionFilter(LastChanceHandler);
}

void FloatingPointTrapsDisable()
{
    _clearfp();
    unsigned int cw = 0;
    _controlfp_s(&cw, _MCW_EM, _MCW_EM);
    _mm_setcsr((_mm_getcsr() & ~0x3Fu) | _MM_MASK_MASK);
}

bool FloatingPointTrapsActive()
{
    unsigned int csr = _mm_getcsr();
    return (csr & (_MM_MASK_INVALID | _MM_MASK_DIV_ZERO | _MM_MASK_OVERFLOW)) == 0;
}
