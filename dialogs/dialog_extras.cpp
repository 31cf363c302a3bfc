// Applying a dialog's extras to the dialog window: the resource is read by
// the extras reader (dialogs/dialog_extras_parser.h) and every data line is
// applied to its control here.
#include "dialogs/dialog_extras.h"

#include <commctrl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/numeric.h"
#include "dialogs/dialog_extras_parser.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/field_subclass.h"
#include "dialogs/grid_services.h"
#include "dialogs/list_tree_fields.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

// The caption of CONTROL (at most 17 characters) read as an integer.
int CaptionNumber(HWND control)
{
    char text[18] = {};
    GetWindowTextA(control, text, sizeof text);
    return ExtrasDecimalToInt(text);
}

// The extras text of RESOURCE, with a NUL appended, or empty when the
// program has no such RCDATA resource.
[[maybe_unused]] std::string ExtrasText(int resource)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resource & 0xFFFF), reinterpret_cast<LPCSTR>(RT_RCDATA));
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size == 0)
        return {};
    std::string text(bytes, size);
    text.push_back('\0');
    return text;
}

class ExtrasApplier : public ExtrasHandler {
public:
    ExtrasApplier(HWND dialog, int tableIndex) : dialog_(dialog), tableIndex_(tableIndex) {}

    void Range(int id, double lower, double upper) override
    {
        HWND c = Control(id);
        ATOM a = ClassAtomOf(c);
        int lo = TruncateToInt(lower), hi = TruncateToInt(upper);
        if (c && a == gControlClasses.progress) {
            SendMessageA(c, PBM_SETRANGE, 0, MAKELPARAM(lo, hi));
            SendMessageA(c, PBM_SETPOS, CaptionNumber(c), 0);
        } else if (c && a == gControlClasses.trackBar) {
            SendMessageA(c, TBM_SETRANGEMIN, FALSE, lo);
            SendMessageA(c, TBM_SETRANGEMAX, FALSE, hi);
            SendMessageA(c, TBM_SETPOS, TRUE, CaptionNumber(c));
        } else {
            FieldRangeStore(c, lower, upper);
        }
    }

    void Menu(int id, int initial, const std::vector<std::string>& items) override
    {
        HWND c = Control(id);
        if (!c)
            return;
        bool list = ClassAtomOf(c) == gControlClasses.listBox;
        SendMessageA(c, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
        for (const std::string& item : items)
            SendMessageA(c, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        int select = tableIndex_ == -1 ? 0 : initial - 1;
        if (select != -1)
            SendMessageA(c, list ? LB_SETCURSEL : CB_SETCURSEL, select, 0);
    }

    void Check(int id, int state) override
    {
        if (Control(id))
            CheckDlgButton(dialog_, id, static_cast<UINT>(state));
    }

    void Tabs(int id, int initialPage, const std::vector<ExtrasTabPage>& pages) override
    {
        HWND tab = Control(id);
        int savedCurrent = gDialogTable.current;
        int select = -1;
        for (size_t i = 0; i < pages.size(); ++i) {
            const ExtrasTabPage& p = pages[i];
            if (tab)
                TabItemInsert(tab, static_cast<int>(i), p.label.c_str(), TabItemData{p.identifier, 0});
            if (p.identifier == initialPage)
                select = static_cast<int>(i);
            int status = p.identifier;
            DialogCreate(status, p.identifier, 0, 0);
        }
        gDialogTable.current = savedCurrent;
        if (!tab)
            return;
        TabPagesPlace(tab);
        SendMessageA(tab, TCM_SETCURSEL, select >= 0 ? select : 0, 0);
    }

    int Grid(int id, std::string_view text) override
    {
        int consumed = 0;
        if (HWND c = Control(id))
            DialogGridFieldSetup(c, text, consumed);
        return consumed;
    }

    void Colours(int id, int fr, int fg, int fb, int br, int bg, int bb) override
    {
        HWND c = Control(id);
        DialogFieldColours(c, 1, fr, fg, fb);
        DialogFieldColours(c, 2, br, bg, bb);
    }

    void Trackbar(int id, int tic, int line, int page, int selectionStart, int selectionEnd) override
    {
        HWND c = Control(id);
        if (!c || ClassAtomOf(c) != gControlClasses.trackBar)
            return;
        SendMessageA(c, TBM_SETTICFREQ, static_cast<WPARAM>(tic), 0);
        SendMessageA(c, TBM_SETLINESIZE, 0, line);
        SendMessageA(c, TBM_SETPAGESIZE, 0, page);
        if (GetWindowLongA(c, GWL_STYLE) & TBS_ENABLESELRANGE) {
            if (selectionStart == selectionEnd) {
                SendMessageA(c, TBM_CLEARSEL, TRUE, 0);
            } else {
                SendMessageA(c, TBM_SETSELSTART, FALSE, selectionStart);
                SendMessageA(c, TBM_SETSELEND, FALSE, selectionEnd);
            }
        }
    }

    void Length(int id, int maximum) override
    {
        HWND c = Control(id);
        if (!c)
            return;
        if (FieldIsEditLike(c))
            SendMessageA(c, EM_LIMITTEXT, static_cast<WPARAM>(maximum), 0);
        else if (ClassAtomOf(c) == gControlClasses.comboBox)
            SendMessageA(c, CB_LIMITTEXT, static_cast<WPARAM>(maximum), 0);
        if (FieldRecord* f = FieldRecordOf(c))
            f->textLimit = maximum;
    }

    void Dialog(int flag, bool hasStretch, int stretchId, int align) override
    {
        DialogRecord* r = DialogRecordOf(dialog_);
        if (r)
            r->words[kDlgMainAccelerators] = flag != 0 ? 1 : 0;
        if (!hasStretch || stretchId == 0 || !r)
            return;
        HWND stretch = GetDlgItem(dialog_, stretchId);
        DialogHandleSet(r, kDlgStretchField, stretch);
        if (!stretch)
            return;
        DialogAnchorsCompute(dialog_, stretch, align);
        DialogSizeGripCreate(dialog_);
    }

    void Format(int id, std::string_view format) override
    {
        FieldRecord* f = FieldRecordOf(Control(id));
        if (!f || format.empty())
            return;
        auto* copy = static_cast<char*>(std::malloc(format.size() + 1));
        if (!copy)
            return;
        std::memcpy(copy, format.data(), format.size());
        copy[format.size()] = '\0';
        std::free(f->format);
        f->format = copy;
    }

    void Treeview(int id, int menuId, int selected) override
    {
        if (HWND c = Control(id))
            DialogTreeFromMenu(c, menuId, selected);
    }

    void Font(int id, int points, std::string_view face, int weight, int italic) override
    {
        HWND c = Control(id);
        if (!c)
            return; // a font for no control would belong to nobody
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        int dpi = GetDeviceCaps(mem, LOGPIXELSY);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        std::string name(face);
        HFONT font = CreateFontA(-MulDiv(points, dpi, 72), 0, 0, 0, weight, italic == 1, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_TT_PRECIS, 0, 0, 0x32, name.c_str());
        if (!font)
            return;
        auto old = reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0));
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A font an earlier line gave the control would otherwise be lost.
        auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
        if (old && old != font && old != dialogFont && old != GetStockObject(SYSTEM_FONT) &&
            old != GetStockObject(SYSTEM_FIXED_FONT))
            DeleteObject(old);
    }

    void Flags(int id, int value) override
    {
        if (FieldRecord* f = FieldRecordOf(Control(id)))
            f->flags = value;
    }

private:
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }

    HWND dialog_;
    int tableIndex_;
};

// Window rectangle of W in the client coordinates of DIALOG, extended to the
// right edge of its up-down buddy.
RECT FieldRect(HWND dialog, HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    if (FieldRecord* f = FieldRecordOf(w); f && f->upDownBuddy && IsWindow(f->upDownBuddy)) {
        RECT b;
        GetWindowRect(f->upDownBuddy, &b);
        if (b.right > r.right)
            r.right = b.right;
    }
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Encloses(const RECT& outer, const RECT& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// Controls that take part in the anchoring.
bool Anchorable(HWND w)
{
    ATOM a = ClassAtomOf(w);
    return a != gControlClasses.upDown && a != gControlClasses.dialog && a != gControlClasses.scrollBar &&
           FieldRecordOf(w) != nullptr;
}

} // namespace


void DialogExtrasParse(HWND dialog, int resource, int tableIndex)
{
    if (!dialog)
        return;
    std::string text = ExtrasText(resource);
    if (text.empty())
        return;
    ExtrasApplier applier(dialog, tableIndex);
    DialogExtrasRead(text, applier);
}


void DialogAnchorsCompute(HWND dialog, HWND stretch, int align)
{
    RECT d{};
    GetClientRect(dialog, &d);
    RECT s = FieldRect(dialog, stretch);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!Anchorable(c))
            continue;
        FieldRecord* f = FieldRecordOf(c);
        RECT r = FieldRect(dialog, c);
        f->rightMargin = d.right - r.right;
        f->bottomMargin = d.bottom - r.bottom;
        const RECT own = r;
        for (HWND x = GetWindow(dialog, GW_CHILD); x; x = GetWindow(x, GW_HWNDNEXT)) {
            if (x == c || !Anchorable(x))
                continue;
            RECT xr = FieldRect(dialog, x);
            if (!Encloses(xr, r))
                continue;
            if (c == stretch) {
                // What encloses the stretch field grows with it.
                if (FieldRecord* xf = FieldRecordOf(x))
                    xf->anchors |= kAnchorRight | kAnchorBottom;
            } else if (!Encloses(xr, s)) {
                r = xr; // a field inside a group box follows the group box
            }
        }
        if (c == stretch) {
            f->anchors |= kAnchorRight | kAnchorBottom;
            continue;
        }
        int a = f->anchors;
        if (align && r.right == s.right) {
            if (r.left != s.left || own.left == s.left) {
                a |= kAnchorRight;
                if (own.left != s.left)
                    a |= kAnchorLeft;
            }
        } else if (r.left >= s.right) {
            a |= kAnchorLeft | kAnchorRight;
        }
        if (align && r.bottom == s.bottom) {
            if (r.top != s.top || own.top == s.top) {
                a |= kAnchorBottom;
                if (own.top != s.top)
                    a |= kAnchorTop;
            }
        } else if (r.top >= s.bottom) {
            a |= kAnchorTop | kAnchorBottom;
        }
        if (ClassAtomOf(c) == gControlClasses.staticText) {
            LONG low = GetWindowLongA(c, GWL_STYLE) & 0xFF;
            if (low == SS_ETCHEDHORZ && !(a & kAnchorTop))
                a &= ~kAnchorBottom;
            if (low == SS_ETCHEDVERT && !(a & kAnchorLeft))
                a &= ~kAnchorRight;
        }
        f->anchors = a;
    }
}
