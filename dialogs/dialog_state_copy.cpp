// The copy of one dialog's state into another made from the same template:
// into the modal copy when a modal show starts, and back into the loaded
// dialog when a push button ends it.
//
// The two dialogs' fields are paired in window order. Up-down controls, size
// grips and attached page dialogs are left out of the pairing (an up-down is
// copied with its buddy field), so that a dialog whose pages are attached as
// children still pairs with a copy fresh from the template.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"
#include "dialogs/field_values.h"
#include "dialogs/grid_services.h"
#include "dialogs/list_tree_fields.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

constexpr int kTextLimit = 65535;

bool IsGrip(HWND w)
{
    return ClassAtomOf(w) == gControlClasses.scrollBar && (GetWindowLongA(w, GWL_STYLE) & SBS_SIZEGRIP);
}

std::vector<HWND> Fields(HWND dialog)
{
    std::vector<HWND> fields;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ATOM a = ClassAtomOf(c);
        if (a == gControlClasses.upDown || a == gControlClasses.dialog || IsGrip(c))
            continue;
        fields.push_back(c);
    }
    return fields;
}

// Window rectangle of W in its dialog's client coordinates.
RECT RectIn(HWND w, HWND dialog)
{
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// TARGET takes SOURCE's place (relative to its dialog) and size.
void Place(HWND target, HWND source, HWND sourceDialog)
{
    RECT r = RectIn(source, sourceDialog);
    SetWindowPos(target, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TextOf(HWND w)
{
    std::string text(kTextLimit + 1, '\0');
    auto n = static_cast<int>(SendMessageA(w, WM_GETTEXT, kTextLimit + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

void CopyButton(HWND t, HWND s)
{
    SendMessageA(t, BM_SETCHECK, SendMessageA(s, BM_GETCHECK, 0, 0), 0);
    LONG style = GetWindowLongA(s, GWL_STYLE);
    if (!(style & (BS_BITMAP | BS_ICON)))
        return;
    UINT type = (style & BS_BITMAP) ? IMAGE_BITMAP : IMAGE_ICON;
    auto image = reinterpret_cast<HANDLE>(SendMessageA(s, BM_GETIMAGE, type, 0));
    auto old = reinterpret_cast<HANDLE>(SendMessageA(t, BM_SETIMAGE, type, reinterpret_cast<LPARAM>(image)));
    if (old && old != image)
        ImageDelete(old, type); // the target's own copy of the same image
}

void CopyStatic(HWND t, HWND s)
{
    UINT type = 0;
    if (!IsImageStatic(s, type))
        return;
    auto image = reinterpret_cast<HANDLE>(SendMessageA(s, STM_GETIMAGE, type, 0));
    auto old = reinterpret_cast<HANDLE>(SendMessageA(t, STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image)));
    if (old && old != image)
        ImageDelete(old, type);
}

void CopyCombo(HWND t, HWND s, const FieldRecord* sf)
{
    SendMessageA(t, CB_RESETCONTENT, 0, 0);
    auto n = static_cast<int>(SendMessageA(s, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        auto length = static_cast<int>(SendMessageA(s, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
        std::string item(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
        if (length > 0)
            SendMessageA(s, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        SendMessageA(t, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    auto selected = static_cast<int>(SendMessageA(s, CB_GETCURSEL, 0, 0));
    if (selected >= 0)
        SendMessageA(t, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    if (sf)
        SendMessageA(t, CB_LIMITTEXT, static_cast<WPARAM>(sf->textLimit), 0);
}

void CopyList(HWND t, HWND s, const FieldRecord* sf)
{
    SendMessageA(t, LB_RESETCONTENT, 0, 0);
    if (sf && sf->tabStopCount > 0 && sf->tabStops)
        SendMessageA(t, LB_SETTABSTOPS, static_cast<WPARAM>(sf->tabStopCount), reinterpret_cast<LPARAM>(sf->tabStops));
    auto n = static_cast<int>(SendMessageA(s, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        auto length = static_cast<int>(SendMessageA(s, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
        std::string item(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
        if (length > 0)
            SendMessageA(s, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        SendMessageA(t, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    if (GetWindowLongA(s, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        for (int i = 0; i < n; ++i) {
            bool on = SendMessageA(s, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
            SendMessageA(t, LB_SETSEL, on ? TRUE : FALSE, i);
        }
    } else {
        auto selected = static_cast<int>(SendMessageA(s, LB_GETCURSEL, 0, 0));
        SendMessageA(t, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

struct TabItemWithData {
    TCITEMHEADERA header;
    TabItemData data;
};

void CopyTab(HWND t, HWND s)
{
    SendMessageA(t, TCM_DELETEALLITEMS, 0, 0);
    auto n = static_cast<int>(SendMessageA(s, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[1026] = {};
        TabItemWithData item{};
        item.header.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.header.pszText = text;
        item.header.cchTextMax = 1025;
        if (!SendMessageA(s, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
            continue;
        SendMessageA(t, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    auto selected = static_cast<int>(SendMessageA(s, TCM_GETCURSEL, 0, 0));
    if (selected >= 0)
        SendMessageA(t, TCM_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CopyProgress(HWND t, HWND s)
{
    PBRANGE range{};
    SendMessageA(s, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    SendMessageA(t, PBM_SETRANGE32, static_cast<WPARAM>(range.iLow), range.iHigh);
    SendMessageA(t, PBM_SETPOS, static_cast<WPARAM>(SendMessageA(s, PBM_GETPOS, 0, 0)), 0);
}

void CopyTrackBar(HWND t, HWND s)
{
    LRESULT lo = SendMessageA(s, TBM_GETRANGEMIN, 0, 0);
    LRESULT hi = SendMessageA(s, TBM_GETRANGEMAX, 0, 0);
    SendMessageA(t, TBM_SETRANGEMIN, FALSE, lo);
    SendMessageA(t, TBM_SETRANGEMAX, FALSE, hi);
    if (GetWindowLongA(s, GWL_STYLE) & TBS_ENABLESELRANGE) {
        SendMessageA(t, TBM_SETSELSTART, FALSE, SendMessageA(s, TBM_GETSELSTART, 0, 0));
        SendMessageA(t, TBM_SETSELEND, FALSE, SendMessageA(s, TBM_GETSELEND, 0, 0));
    }
    SendMessageA(t, TBM_SETLINESIZE, 0, SendMessageA(s, TBM_GETLINESIZE, 0, 0));
    SendMessageA(t, TBM_SETPAGESIZE, 0, SendMessageA(s, TBM_GETPAGESIZE, 0, 0));
    // The tic frequency is not kept by the control: it follows from the
    // number of tics over the range (ends included); with the two end tics
    // alone there is none to copy.
    auto tics = static_cast<long long>(SendMessageA(s, TBM_GETNUMTICS, 0, 0));
    if (tics > 2) {
        long long frequency = (static_cast<long long>(hi) - lo) / (tics - 1);
        if (frequency > 0)
            SendMessageA(t, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
    }
    SendMessageA(t, TBM_SETPOS, TRUE, SendMessageA(s, TBM_GETPOS, 0, 0));
}

void CopyEdit(HWND t, HWND s, const FieldRecord* sf)
{
    if (sf)
        SendMessageA(t, EM_LIMITTEXT, static_cast<WPARAM>(sf->textLimit), 0);
    if (sf && sf->tabStopCount > 0 && sf->tabStops)
        SendMessageA(t, EM_SETTABSTOPS, static_cast<WPARAM>(sf->tabStopCount), reinterpret_cast<LPARAM>(sf->tabStops));
    SendMessageA(t, EM_SETREADONLY, (GetWindowLongA(s, GWL_STYLE) & ES_READONLY) ? TRUE : FALSE, 0);
}

void CopyTree(HWND t, HWND s)
{
    LONG style = GetWindowLongA(t, GWL_STYLE);
    SetWindowLongA(t, GWL_STYLE, style | WS_VSCROLL);
    SendMessageA(t, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    SetWindowLongA(t, GWL_STYLE, style);
    TreeCopyItems(t, TVI_ROOT, s, TreeView_GetRoot(s));
}

void CopyRecord(FieldRecord* tf, const FieldRecord* sf, bool targetIsCopy)
{
    tf->value = sf->value;
    tf->lowerLimit = sf->lowerLimit;
    tf->upperLimit = sf->upperLimit;
    tf->smallStep = sf->smallStep;
    tf->largeStep = sf->largeStep;
    tf->stepOrigin = sf->stepOrigin;
    tf->hasValue = sf->hasValue;
    tf->foreColour = sf->foreColour;
    tf->backColour = sf->backColour;
    tf->tabPressed = sf->tabPressed;
    tf->textLimit = sf->textLimit;
    // The format is shared; a loaded dialog's own format that the copy no
    // longer holds is freed (the copy never frees formats).
    if (tf->format != sf->format && !targetIsCopy)
        std::free(tf->format);
    tf->format = sf->format;
    tf->rightMargin = sf->rightMargin;
    tf->bottomMargin = sf->bottomMargin;
    tf->anchors = sf->anchors;
    tf->flags = sf->flags;
}

void CopyUpDown(const FieldRecord* tf, const FieldRecord* sf)
{
    HWND t = tf->upDownBuddy;
    HWND s = sf->upDownBuddy;
    if (!t || !s || !IsWindow(t) || !IsWindow(s))
        return;
    int lo = 0, hi = 0;
    SendMessageA(s, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    SendMessageA(t, UDM_SETRANGE32, static_cast<WPARAM>(lo), hi);
    UDACCEL accel[2]{};
    auto n = static_cast<int>(SendMessageA(s, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(accel)));
    n = std::clamp(n, 0, 2);
    if (n > 0)
        SendMessageA(t, UDM_SETACCEL, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(accel));
}

void CopyField(HWND t, HWND targetDialog, HWND s, HWND sourceDialog)
{
    SetWindowLongA(t, GWL_STYLE, GetWindowLongA(s, GWL_STYLE));
    Place(t, s, sourceDialog);
    FieldRecord* tf = FieldRecordOf(t);
    FieldRecord* sf = FieldRecordOf(s);
    if (tf && sf) {
        CopyRecord(tf, sf, targetDialog == gDialogTable.slot[0]);
        if (tf->upDownBuddy && sf->upDownBuddy && IsWindow(tf->upDownBuddy) && IsWindow(sf->upDownBuddy))
            Place(tf->upDownBuddy, sf->upDownBuddy, sourceDialog);
    }
    const ControlClassTable& k = gControlClasses;
    ATOM a = ClassAtomOf(s);
    UINT imageType = 0;
    bool tab = a == k.tab;
    if (a == k.button)
        CopyButton(t, s);
    else if (a == k.staticText)
        CopyStatic(t, s);
    else if (a == k.comboBox)
        CopyCombo(t, s, sf);
    else if (a == k.listBox)
        CopyList(t, s, sf);
    else if (tab)
        CopyTab(t, s);
    else if (a == k.progress)
        CopyProgress(t, s);
    else if (k.grid && a == k.grid)
        DialogGridCopyState(t, s);
    else if (a == k.trackBar)
        CopyTrackBar(t, s);
    else if (FieldIsEditLike(s))
        CopyEdit(t, s, sf);
    else if (a == k.treeView)
        CopyTree(t, s);

    if (!tab && !IsImageStatic(s, imageType)) {
        std::string text = TextOf(s);
        SendMessageA(t, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (FieldIsEditLike(s))
        SendMessageA(t, EM_SETMODIFY, SendMessageA(s, EM_GETMODIFY, 0, 0), 0);
    BOOL enabled = IsWindowEnabled(s);
    EnableWindow(t, !enabled);
    EnableWindow(t, enabled);
    SendMessageA(t, WM_SETFONT, static_cast<WPARAM>(SendMessageA(s, WM_GETFONT, 0, 0)), FALSE);
    if (tf && sf)
        CopyUpDown(tf, sf);
}

} // namespace

void DialogStateCopy(HWND target, HWND source)
{
    if (!target || !source || !IsWindow(target) || !IsWindow(source))
        return;
    DialogRecord* tr = DialogRecordOf(target);
    DialogRecord* sr = DialogRecordOf(source);
    if (tr && sr) {
        std::copy(std::begin(sr->words), std::end(sr->words), std::begin(tr->words));
        std::copy(std::begin(sr->handles), std::end(sr->handles), std::begin(tr->handles));
    }

    std::string caption = TextOf(source);
    SetWindowTextA(target, caption.c_str());
    auto icon = SendMessageA(source, WM_GETICON, ICON_BIG, 0);
    SendMessageA(target, WM_SETICON, ICON_BIG, icon);
    RECT r{};
    GetWindowRect(source, &r);
    SetWindowPos(target, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (target == gDialogTable.slot[0] && tr)
        DialogSizeGripCreate(target);

    std::vector<HWND> targets = Fields(target);
    std::vector<HWND> sources = Fields(source);
    size_t n = std::min(targets.size(), sources.size());
    for (size_t i = 0; i < n; ++i) {
        // Handles of the source's fields kept in the record name the
        // target's field instead.
        if (tr && sr) {
            if (DialogHandleGet(sr, kDlgStretchField) == sources[i])
                DialogHandleSet(tr, kDlgStretchField, targets[i]);
            if (DialogHandleGet(sr, kDlgFocusField) == sources[i])
                DialogHandleSet(tr, kDlgFocusField, targets[i]);
        }
        CopyField(targets[i], target, sources[i], source);
    }
    if (tr && sr && DialogHandleGet(tr, kDlgFocusField) == DialogHandleGet(sr, kDlgFocusField) &&
        DialogHandleGet(sr, kDlgFocusField) && !IsChild(target, DialogHandleGet(tr, kDlgFocusField)))
        DialogHandleSet(tr, kDlgFocusField, nullptr); // names no field of the target
}
