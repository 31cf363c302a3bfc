// The character-size setter, the first entry of the font-apply body. It sits
// in a file of its own so that it can stand in for any provisional body of
// the same name that a neighbouring subsystem still carries.
#include <cmath>

#include "fonts/text_font.h"
#include "graphics/text_state.h"

namespace {
constexpr float kDefaultCharWidth = 0.01333333f;
constexpr float kDefaultCharHeight = 0.03333333f;
} // namespace

void YYCharSize(float width, float height)
{
    // "Not greater than 0" includes a value that does not compare.
    TextState& t = gTextState;
    t.charWidth = std::isfinite(width) && width > 0.0f ? width : kDefaultCharWidth;
    t.charHeight = std::isfinite(height) && height > 0.0f ? height : kDefaultCharHeight;
    YYTextFontApply();
}
