// Option letters and the start of a text: two small text services shared by
// presentation graphics, the conversions and the plot-file writers.
#pragma once

#include <string_view>

// True when OPTIONS holds LETTER as passed or, failing that, its lower-case
// form: an upper-case letter matches either case, a lower-case one only
// itself. Any position counts.
bool YYOptionHas(std::string_view options, char letter);

// Position (from 1) of the first character of STRING that is neither a blank
// nor a NUL; 0 when there is none.
int YYStringStart(std::string_view string);
