// The editor's font and the character and paragraph formats of rich-text
// editors: the Font dialog, Bold / Italic / Underline, alignment, bullets,
// the formatting buttons that mirror the selection, and the routine forms
// that format a range of the current editor.
#include "editor/editor.h"
#include "editor/editor_record.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Keeps the position cache across a format change: the control's change
// notification empties it, though no character moved.
class CacheKeep {
public:
    explicit CacheKeep(EditorRecord* r) : r_(r), control_(r->cacheControl), caller_(r->cacheCaller) {}
    ~CacheKeep()
    {
        r_->cacheControl = control_;
        r_->cacheCaller = caller_;
    }
    CacheKeep(const CacheKeep&) = delete;
    CacheKeep& operator=(const CacheKeep&) = delete;

private:
    EditorRecord* r_;
    int control_;
    int caller_;
};

CHARRANGE Selection(HWND c)
{
    CHARRANGE s{};
    SendMessageA(c, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    return s;
}

CHARFORMATA SelectionCharFormat(HWND c)
{
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(c, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

PARAFORMAT SelectionParaFormat(HWND c)
{
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    SendMessageA(c, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    return pf;
}

// Applies CF to the selection, or to the word at the caret when the
// selection is empty.
void SelectionCharFormatSet(HWND c, CHARFORMATA& cf)
{
    CHARRANGE s = Selection(c);
    WPARAM scope = s.cpMax > s.cpMin ? SCF_SELECTION : (SCF_SELECTION | SCF_WORD);
    SendMessageA(c, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&cf));
}

bool IsStockFont(HFONT f)
{
    return f == GetStockObject(SYSTEM_FONT) || f == GetStockObject(SYSTEM_FIXED_FONT);
}

// The face name cut to the platform's 31 characters.
void FaceCopy(char* to, std::string_view face)
{
    size_t nul = face.find('\0');
    if (nul != std::string_view::npos)
        face = face.substr(0, nul);
    size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::memcpy(to, face.data(), n);
    to[n] = '\0';
}

void ButtonState(HWND toolbar, int id, BYTE state)
{
    SendMessageA(toolbar, TB_SETSTATE, static_cast<WPARAM>(id), MAKELPARAM(state, 0));
}

// The editor of the current window and its status for the range routines:
// -1 not an editor, -2 not a rich-text editor.
EditorRecord* RichRecord(int& status)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = -1;
        return nullptr;
    }
    if (!r->richText) {
        status = -2;
        return nullptr;
    }
    status = 0;
    return r;
}

// Runs APPLY on the range FIRST..LAST (1-based) of R's control, the
// selection put back afterwards and hidden meanwhile when redraw is on.
template <typename Apply>
void OnRange(EditorRecord* r, int first, int last, Apply apply)
{
    CacheKeep keep(r);
    HWND c = r->richEdit;
    int a = 0, b = 0;
    EditorPositionToControl(r, first - 1, last, a, b);
    CHARRANGE saved = Selection(c);
    bool show = !r->redrawOff;
    if (show)
        SendMessageA(c, EM_HIDESELECTION, TRUE, 0);
    CHARRANGE range{a, b};
    SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    apply(c);
    SendMessageA(c, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    if (show)
        SendMessageA(c, EM_HIDESELECTION, FALSE, 0);
}

} // namespace

void EditorFontSet(int family, int points, int& status)
{
    EditorRecord* r = EditorCurrentRecord();
    if (!r) {
        status = 1;
        return;
    }
    status = 0;
    HFONT old = r->font;
    EditorFontCreate(r, family == -1 ? r->fontFamily : family, points == -1 ? r->pointSize : points);
    HWND c = r->richEdit;
    bool modified = SendMessageA(c, EM_GETMODIFY, 0, 0) != 0;
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
    if (!r->richText && !modified) {
        SendMessageA(c, EM_SETMODIFY, FALSE, 0);
        if (r->modifiedMark)
            EditorTitleUpdate(r->frame);
    }
    // The command line and the prompt were given the old font: they take the
    // new one before the old is deleted.
    if (r->commandLine) {
        HWND target = (r->fontFamily == 1 && r->commandEdit) ? r->commandEdit : r->commandLine;
        SendMessageA(target, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
        if (target != r->commandEdit && r->commandEdit)
            SendMessageA(r->commandEdit, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
    }
    if (r->promptLabel)
        SendMessageA(r->promptLabel, WM_SETFONT, reinterpret_cast<WPARAM>(r->font), TRUE);
    if (old && old != r->font && !IsStockFont(old))
        DeleteObject(old);
}

// Answers the font dialog's opening: the underline box can only take an
// underline away (the custom data says whether the selection has one).
UINT_PTR CALLBACK EditorFontDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    const auto* cf = reinterpret_cast<const CHOOSEFONTA*>(lParam);
    if (HWND underline = GetDlgItem(dialog, 0x411))
        EnableWindow(underline, cf && cf->lCustData != 0);
    return TRUE;
}

void EditorFontDialog(HWND frame, EditorRecord* r)
{
    if (!r->richText || r->viewer)
        return;
    HWND c = r->richEdit;
    CHARFORMATA now = SelectionCharFormat(c);
    LOGFONTA lf{};
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = frame;
    cf.lpLogFont = &lf;
    cf.nFontType = SCREEN_FONTTYPE;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_TTONLY | CF_FORCEFONTEXIST;
    if (!(now.dwMask & CFM_BOLD) || !(now.dwMask & CFM_ITALIC))
        cf.Flags |= CF_NOSTYLESEL;
    if (!(now.dwMask & CFM_FACE))
        cf.Flags |= CF_NOFACESEL;
    if (!(now.dwMask & CFM_SIZE))
        cf.Flags |= CF_NOSIZESEL;
    bool uniformColour = (now.dwMask & CFM_COLOR) && !(now.dwEffects & CFE_AUTOCOLOR);
    cf.rgbColors = uniformColour ? now.crTextColor : GetSysColor(COLOR_WINDOWTEXT);
    HDC dc = GetDC(c);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(c, dc);
    lf.lfHeight = -MulDiv(static_cast<int>(now.yHeight / 20), dpi, 72);
    lf.lfWeight = (now.dwMask & CFM_BOLD) ? ((now.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL) : 0;
    lf.lfItalic = (now.dwMask & CFM_ITALIC) && (now.dwEffects & CFE_ITALIC);
    lf.lfUnderline = (now.dwMask & CFM_UNDERLINE) && (now.dwEffects & CFE_UNDERLINE);
    lf.lfStrikeOut = (now.dwMask & CFM_STRIKEOUT) && (now.dwEffects & CFE_STRIKEOUT);
    lf.lfCharSet = now.bCharSet;
    lf.lfPitchAndFamily = now.bPitchAndFamily;
    FaceCopy(lf.lfFaceName, now.szFaceName);
    if (r->alternativeKeys) {
        cf.Flags |= CF_ENABLEHOOK;
        cf.lpfnHook = EditorFontDialogHook;
        cf.lCustData = lf.lfUnderline ? 1 : 0;
    }
    if (!ChooseFontA(&cf))
        return;
    CHARFORMATA chosen{};
    chosen.cbSize = sizeof chosen;
    chosen.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_FACE | CFM_SIZE |
                    CFM_CHARSET;
    if (lf.lfWeight == FW_BOLD)
        chosen.dwEffects |= CFE_BOLD;
    if (lf.lfItalic)
        chosen.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline)
        chosen.dwEffects |= CFE_UNDERLINE;
    if (lf.lfStrikeOut)
        chosen.dwEffects |= CFE_STRIKEOUT;
    chosen.yHeight = cf.iPointSize * 2;
    chosen.crTextColor = cf.rgbColors;
    chosen.bCharSet = lf.lfCharSet;
    chosen.bPitchAndFamily = lf.lfPitchAndFamily;
    FaceCopy(chosen.szFaceName, lf.lfFaceName);
    {
        CacheKeep keep(r);
        SelectionCharFormatSet(c, chosen);
    }
    EditorFormatButtonsUpdate(r);
}

void EditorCharFormatToggle(EditorRecord* r, int command)
{
    DWORD bit = command == kCmdBold ? CFE_BOLD : command == kCmdItalic ? CFE_ITALIC
                                                : command == kCmdUnderline ? CFE_UNDERLINE : 0;
    if (!bit || !r->richText || r->viewer)
        return;
    HWND c = r->richEdit;
    CHARFORMATA cf = SelectionCharFormat(c);
    // Uniform: inverted; mixed: set.
    DWORD effects = (cf.dwMask & bit) ? (cf.dwEffects ^ bit) : (cf.dwEffects | bit);
    CHARFORMATA change{};
    change.cbSize = sizeof change;
    change.dwMask = bit;
    change.dwEffects = effects & bit;
    {
        CacheKeep keep(r);
        SelectionCharFormatSet(c, change);
    }
    EditorFormatButtonsUpdate(r);
}

void EditorAlignmentSet(EditorRecord* r, int command)
{
    if (!r->richText || r->viewer)
        return;
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = command == kCmdCentre ? PFA_CENTER : command == kCmdAlignRight ? PFA_RIGHT : PFA_LEFT;
    {
        CacheKeep keep(r);
        SendMessageA(r->richEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    }
    EditorFormatButtonsUpdate(r);
}

void EditorBulletToggle(EditorRecord* r)
{
    if (!r->richText || r->viewer)
        return;
    HWND c = r->richEdit;
    PARAFORMAT now = SelectionParaFormat(c);
    bool allBullets = (now.dwMask & PFM_NUMBERING) && now.wNumbering == PFN_BULLET;
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_NUMBERING;
    pf.wNumbering = allBullets ? 0 : PFN_BULLET;
    {
        CacheKeep keep(r);
        SendMessageA(c, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    }
    EditorFormatButtonsUpdate(r);
}

void EditorFormatButtonsUpdate(EditorRecord* r)
{
    if (!r->richText || r->viewer)
        return;
    HWND c = r->richEdit;
    CHARFORMATA cf = SelectionCharFormat(c);
    PARAFORMAT pf = SelectionParaFormat(c);
    const BYTE base = ((cf.dwMask & CFM_PROTECTED) && !(cf.dwEffects & CFE_PROTECTED)) ? TBSTATE_ENABLED : 0;
    bool bullets = (pf.dwMask & PFM_NUMBERING) && pf.wNumbering == PFN_BULLET;
    bool bulletsMixed = !(pf.dwMask & PFM_NUMBERING);
    HWND tb = r->editorToolbar;
    if (tb) {
        static const struct {
            int id;
            DWORD bit;
        } effects[] = {{kCmdBold, CFE_BOLD}, {kCmdItalic, CFE_ITALIC}, {kCmdUnderline, CFE_UNDERLINE}};
        for (const auto& e : effects) {
            BYTE state = base;
            if (cf.dwEffects & e.bit)
                state |= TBSTATE_CHECKED;
            if (!(cf.dwMask & e.bit))
                state |= TBSTATE_INDETERMINATE;
            ButtonState(tb, e.id, state);
        }
        ButtonState(tb, kCmdBullets,
                    static_cast<BYTE>(base | (bullets ? TBSTATE_CHECKED : 0) | (bulletsMixed ? TBSTATE_INDETERMINATE : 0)));
    }
    if (r->menuBar && r->popups[kPopupFormat])
        CheckMenuItem(r->popups[kPopupFormat], kCmdBullets,
                      MF_BYCOMMAND | ((bullets || bulletsMixed) ? MF_CHECKED : MF_UNCHECKED));
    if (tb) {
        bool uniform = (pf.dwMask & PFM_ALIGNMENT) != 0;
        int chosen = !uniform ? 0 : pf.wAlignment == PFA_CENTER ? kCmdCentre
                                   : pf.wAlignment == PFA_RIGHT ? kCmdAlignRight : kCmdAlignLeft;
        for (int id : {kCmdAlignLeft, kCmdCentre, kCmdAlignRight}) {
            BYTE state = base;
            if (!uniform)
                state |= TBSTATE_INDETERMINATE;
            else if (id == chosen)
                state |= TBSTATE_CHECKED;
            ButtonState(tb, id, state);
        }
    }
}

void EditorCharFormatSet(int& status, int first, int last, int bold, int italic, int underline, int strikeOut,
                         int points, int colour, int background, std::string_view face)
{
    EditorRecord* r = RichRecord(status);
    if (!r)
        return;
    CHARFORMAT2A cf{};
    cf.cbSize = r->version >= 2 ? sizeof(CHARFORMAT2A) : sizeof(CHARFORMATA);
    const struct {
        int value;
        DWORD bit;
        bool on;
    } effects[] = {{bold, CFE_BOLD, bold == 1},
                   {italic, CFE_ITALIC, italic == 1},
                   {underline, CFE_UNDERLINE, underline > 0},
                   {strikeOut, CFE_STRIKEOUT, strikeOut == 1}};
    for (const auto& e : effects) {
        if (e.value == -1)
            continue;
        cf.dwMask |= e.bit;
        if (e.on)
            cf.dwEffects |= e.bit;
    }
    if (points != -1) {
        cf.dwMask |= CFM_SIZE;
        // Twips, within what the control's height word holds.
        cf.yHeight = static_cast<LONG>(std::clamp<long long>(static_cast<long long>(points) * 20, 0, 0x7FFFFFFF));
    }
    if (colour != -2) {
        cf.dwMask |= CFM_COLOR;
        if (colour == -1)
            cf.dwEffects |= CFE_AUTOCOLOR;
        else
            cf.crTextColor = static_cast<COLORREF>(colour) & 0xFFFFFF;
    }
    if (r->version >= 2 && background != -2) {
        cf.dwMask |= CFM_BACKCOLOR;
        if (background == -1)
            cf.dwEffects |= CFE_AUTOBACKCOLOR;
        else
            cf.crBackColor = static_cast<COLORREF>(background) & 0xFFFFFF;
    }
    size_t nul = face.find('\0');
    if (nul != std::string_view::npos)
        face = face.substr(0, nul);
    while (!face.empty() && face.back() == ' ')
        face.remove_suffix(1);
    if (!face.empty()) {
        cf.dwMask |= CFM_FACE | CFM_CHARSET;
        cf.bCharSet = DEFAULT_CHARSET;
        FaceCopy(cf.szFaceName, face);
    }
    OnRange(r, first, last, [&](HWND c) {
        SendMessageA(c, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    });
}

void EditorParaFormatSet(int& status, int first, int last, int bullets, int alignment)
{
    EditorRecord* r = RichRecord(status);
    if (!r)
        return;
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    if (bullets != -1) {
        pf.dwMask |= PFM_NUMBERING;
        pf.wNumbering = bullets == 1 ? PFN_BULLET : 0;
    }
    if (alignment >= 0 && alignment <= 2) {
        pf.dwMask |= PFM_ALIGNMENT;
        pf.wAlignment = alignment == 1 ? PFA_CENTER : alignment == 2 ? PFA_RIGHT : PFA_LEFT;
    }
    if (!pf.dwMask)
        return;
    OnRange(r, first, last, [&](HWND c) {
        SendMessageA(c, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    });
}
