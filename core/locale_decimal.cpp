// The user locale's decimal separator, read once at start-up. Kept apart from
// the conversions so that they need no Win32.
#include <windows.h>

#include "core/conversions.h"
#include "core/library_state.h"

void LocaleDecimalSeparator(char& c)
{
    char buffer[8] = {};
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, static_cast<int>(sizeof buffer));
    c = (n > 1 && buffer[0] != '\0') ? buffer[0] : '.';
    gLibraryPaths.localeDecimalSeparator = c;
}
