// Option letters and the start of a text.
#include "core/option_string.h"

bool YYOptionHas(std::string_view options, char letter)
{
    if (options.find(letter) != std::string_view::npos)
        return true;
    if (letter >= 'A' && letter <= 'Z')
        return options.find(static_cast<char>(letter - 'A' + 'a')) != std::string_view::npos;
    return false;
}

int YYStringStart(std::string_view string)
{
    for (size_t i = 0; i < string.size(); ++i)
        if (string[i] != ' ' && string[i] != '\0')
            return static_cast<int>(i) + 1;
    return 0;
}
