// Settings of plain window text (see window_text.h).
#include "graphics/window_text.h"

#include "core/library_state.h"
#include "core/window_services.h"
#include "graphics/coordinates.h"

void YYWindowTextUnderline(int flag)
{
    WindowTextFlag(flag);
    // The engine keeps the caller's word in the same record; the setting
    // itself is a plain 0 or 1.
    gWindowTextState.underline = flag != 0 ? 1 : 0;
}

void YYWindowTextFontApply()
{
    WindowTextState& t = gWindowTextState;
    auto& applied = gLibraryState.lastWindowTextFont;
    if (t.family == applied.family && t.bold == applied.bold && t.italic == applied.italic &&
        t.width == applied.widthPixels && t.height == applied.heightPixels)
        return;
    int width = t.width, height = t.height;
    WindowTextFont(t.family, t.bold, t.italic, width, height);
    t.width = width;
    t.height = height;
    applied.family = t.family;
    applied.bold = t.bold;
    applied.italic = t.italic;
    applied.widthPixels = t.width;
    applied.heightPixels = t.height;
}

void YYWindowTextFontPixels()
{
    WindowTextState& t = gWindowTextState;
    YYNormalToPixel(t.normalWidth, t.normalHeight, t.width, t.height);
}

void YYWindowTextColours(int foreground, int background)
{
    WindowTextState& t = gWindowTextState;
    if (foreground >= 0 && foreground <= 16)
        t.foreground = foreground;
    if (background >= 0 && background <= 15)
        t.background = background;
    else if (background == 16)
        t.background = 17;
    WindowTextColours(t.foreground, t.background);
}
