// Settings of plain window text: colours, underline and the font (family,
// bold, italic and size), the size kept both in 0..9999 of the current
// window's client area and in pixels. They live in the window manager's
// WindowTextState (core/window_services.h), whose engine writes the text;
// the font last handed to the engine is LibraryState.lastWindowTextFont.
#pragma once

// WindowTextState.underline := 1 when FLAG is not 0, else 0; the engine
// receives FLAG unchanged.
void YYWindowTextUnderline(int flag);
// Hands the font to the engine when family, bold, italic or the pixel size
// differ from the last one handed over; the engine writes the size it made
// back into the pixel fields.
void YYWindowTextFontApply();
// The 0..9999 size converted to pixels of the current window.
void YYWindowTextFontPixels();
// FOREGROUND 0..16 is stored; BACKGROUND 0..15 is stored and 16 stores 17
// (the system window colour); other values keep the old index. The engine
// then receives both stored indices.
void YYWindowTextColours(int foreground, int background);
