// The text state record and its start-up values.
#include "graphics/text_state.h"

#include <algorithm>

TextState gTextState;

TextState::TextState()
{
    std::fill(std::begin(deviceFontName), std::end(deviceFontName), ' ');
}

void YYTextStateDefaults()
{
    TextState& t = gTextState;
    t.angle = 0.0f;
    t.angleCos = 1.0f;
    t.angleSinK = 0.0f;
    t.angleSinByK = 0.0f;
    t.deviceAngle = 0.0f;
    t.deviceCos = 1.0f;
    t.deviceSinK = 0.0f;
    t.deviceSinByK = 0.0f;
    t.slant = 0.0f;
    t.charWidth = 0.01333333f;
    t.charHeight = 0.03333333f;
    t.requestedFamily = TextFontFamily::kFixed;
    t.family = TextFontFamily::kFixed;
    t.style = 0;
    t.builtInFont = 0;
    t.stacking = 0;
    t.justification = 1;
    t.spacing = TextSpacing::kFixedPitch;
    t.ratioCheck = {1, 1};
    std::fill(std::begin(t.deviceFontName), std::end(t.deviceFontName), ' ');
}
