// Text as the plot-file drivers write it inside their files: the body of a
// PostScript string and the character data of an XML (SVG) element. Each
// input byte is one character of code page 1252 (Latin-1 in its upper half).
// No Win32 here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Appends the body of a PostScript string for TEXT (without the enclosing
// parentheses): "(", ")" and "\" each preceded by a backslash, control codes
// (below 32, and 127) as three-digit octal escapes, every other byte as it
// is. At most LIMIT characters are appended, and only whole escapes: the text
// is cut before the first character whose escaped form would not fit.
// Returns the number of bytes of TEXT taken.
size_t AppendPostScriptString(std::string& out, std::string_view text, size_t limit);

// Appends TEXT as XML character data: "&", "<" and ">" as the references
// "&#38;", "&#60;" and "&#62;"; codes 128 to 255 as references of the code
// page 1252 characters they stand for (the five codes that code page leaves
// undefined are dropped); codes below 32 dropped; other bytes as they are.
// The result is plain ASCII and well-formed in any encoding XML reads.
void AppendXmlText(std::string& out, std::string_view text);

// The Unicode code point of code-page-1252 byte C, 0 for the five undefined
// codes 0x81, 0x8D, 0x8F, 0x90 and 0x9D.
int Cp1252CodePoint(unsigned char c);
