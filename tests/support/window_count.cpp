#include "support/window_count.h"

#include <windows.h>

namespace {

BOOL CALLBACK CountOne(HWND, LPARAM p)
{
    ++*reinterpret_cast<int*>(p);
    return TRUE;
}

BOOL CALLBACK CountWithChildren(HWND w, LPARAM p)
{
    ++*reinterpret_cast<int*>(p);
    EnumChildWindows(w, CountOne, p);
    return TRUE;
}

} // namespace

int ThreadWindowCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWithChildren, reinterpret_cast<LPARAM>(&count));
    return count;
}
