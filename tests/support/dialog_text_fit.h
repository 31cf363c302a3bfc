// Whether the texts of a dialog's static controls, check boxes, radio
// buttons and group boxes fit their boxes, measured in the font each control
// draws with (the dialog's font) on this machine, so that a layout written
// for one face is checked with the face the fonts are mapped to here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TextMisfit {
    int id = 0;
    std::string text;
    int needed = 0; // pixels the text takes (width, or height for a static too low)
    int room = 0;   // pixels the control leaves for it
};

namespace dialogtextfit {

inline std::string WindowTextOf(HWND w)
{
    char text[512] = {};
    SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// The text as the control draws it on one line: "&" marks taken out.
inline SIZE Extent(HDC dc, const std::string& text)
{
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace dialogtextfit

// The controls of DIALOG whose text does not fit: a static's text must fit
// its width on one line and its height; a check box's or radio button's
// the width right of its box (the box, 12 pixels at 96 dpi and one more,
// and half a "0" of the font before the text, as the platform's button
// draws them); a group box's caption the width less a character on either
// side.
inline std::vector<TextMisfit> DialogTextMisfits(HWND dialog)
{
    std::vector<TextMisfit> misfits;
    HDC dc = GetDC(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        const bool isStatic = lstrcmpiA(cls, "Static") == 0;
        const bool isButton = lstrcmpiA(cls, "Button") == 0;
        const LONG kind = style & BS_TYPEMASK;
        const LONG staticKind = style & SS_TYPEMASK;
        const bool textStatic = isStatic && (staticKind == SS_LEFT || staticKind == SS_CENTER ||
                                             staticKind == SS_RIGHT || staticKind == SS_SIMPLE ||
                                             staticKind == SS_LEFTNOWORDWRAP);
        const bool check = isButton && (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
                                        kind == BS_AUTO3STATE || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON);
        const bool group = isButton && kind == BS_GROUPBOX;
        if (!textStatic && !check && !group)
            continue;
        const std::string text = dialogtextfit::WindowTextOf(c);
        if (text.empty())
            continue;
        auto font = reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        const SIZE size = dialogtextfit::Extent(dc, text);
        SIZE zero{};
        GetTextExtentPoint32A(dc, "0", 1, &zero);
        SelectObject(dc, old);
        RECT client{};
        GetClientRect(c, &client);
        int room = client.right;
        if (check)
            room -= MulDiv(12, GetDeviceCaps(dc, LOGPIXELSX), 96) + 1 + zero.cx / 2;
        else if (group)
            room -= 2 * zero.cx;
        if (size.cx > room)
            misfits.push_back({GetDlgCtrlID(c), text, size.cx, room});
        else if (textStatic && size.cy > client.bottom)
            misfits.push_back({GetDlgCtrlID(c), text, size.cy, client.bottom});
    }
    ReleaseDC(dialog, dc);
    return misfits;
}

inline std::string DescribeMisfits(const std::vector<TextMisfit>& misfits)
{
    std::string out;
    for (const TextMisfit& m : misfits)
        out += "control " + std::to_string(m.id) + " \"" + m.text + "\" needs " + std::to_string(m.needed) +
               " pixels, has " + std::to_string(m.room) + "\n";
    return out;
}
