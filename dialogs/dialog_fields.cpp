// Dialog fields: the set-up of every control when a dialog window is
// initialised (records, button kinds, images, subclassing), field types from
// class and style, and field states.
#include "dialogs/dialog_fields.h"

#include <commctrl.h>

#include <algorithm>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/window_table.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_show.h"
#include "dialogs/field_subclass.h"
#include "dialogs/field_values.h"
#include "dialogs/message_box.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

constexpr LONG kStaticTypeMask = 0x1F;

HMODULE ProgramModule()
{
    return GetModuleHandleA(nullptr);
}

// The image resource named by control ID, nullptr when there is none.
HANDLE LoadFieldImage(int id, UINT type, UINT flags)
{
    if (id <= 0 || id > 0xFFFF)
        return nullptr;
    return LoadImageA(ProgramModule(), MAKEINTRESOURCEA(id), type, 0, 0, flags);
}

// The enhanced metafile stored as resource ID of type "KVBMETAFILE".
HENHMETAFILE LoadFieldMetafile(int id)
{
    if (id <= 0 || id > 0xFFFF)
        return nullptr;
    HMODULE m = ProgramModule();
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(id), "KVBMETAFILE");
    HGLOBAL g = r ? LoadResource(m, r) : nullptr;
    const void* bytes = g ? LockResource(g) : nullptr;
    DWORD size = r ? SizeofResource(m, r) : 0;
    if (!bytes || size == 0)
        return nullptr;
    return SetEnhMetaFileBits(size, static_cast<const BYTE*>(bytes));
}

// Button set-up: kind normalised to the automatic kinds, image loaded.
LONG ButtonSetUp(HWND button, LONG style)
{
    LONG kind = style & 15;
    if (kind == BS_CHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE)
        kind = BS_AUTOCHECKBOX;
    else if (kind == BS_RADIOBUTTON)
        kind = BS_AUTORADIOBUTTON;
    style = (style & ~15) | kind;
    if (style & (BS_BITMAP | BS_ICON)) {
        int id = GetDlgCtrlID(button);
        UINT type = (style & BS_BITMAP) ? IMAGE_BITMAP : IMAGE_ICON;
        UINT flags = type == IMAGE_BITMAP ? (LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT) : 0;
        if (HANDLE image = LoadFieldImage(id, type, flags)) {
            HANDLE old = reinterpret_cast<HANDLE>(
                SendMessageA(button, BM_SETIMAGE, type, reinterpret_cast<LPARAM>(image)));
            if (old && old != image)
                ImageDelete(old, type);
        }
        bool hasImage = SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0) != 0 ||
                        SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0) != 0;
        if (!hasImage)
            style &= ~(BS_BITMAP | BS_ICON);
    }
    return style;
}

void StaticSetUp(HWND control, LONG style)
{
    LONG type = style & kStaticTypeMask;
    int id = GetDlgCtrlID(control);
    if (type == SS_BITMAP || type == SS_ICON) {
        UINT imageType = type == SS_BITMAP ? IMAGE_BITMAP : IMAGE_ICON;
        if (SendMessageA(control, STM_GETIMAGE, imageType, 0) == 0) {
            if (HANDLE image = LoadFieldImage(id, imageType, 0)) {
                HANDLE old = reinterpret_cast<HANDLE>(
                    SendMessageA(control, STM_SETIMAGE, imageType, reinterpret_cast<LPARAM>(image)));
                if (old && old != image)
                    ImageDelete(old, imageType);
            }
        }
    } else if (type == SS_ENHMETAFILE) {
        if (HENHMETAFILE mf = LoadFieldMetafile(id)) {
            HANDLE old = reinterpret_cast<HANDLE>(
                SendMessageA(control, STM_SETIMAGE, IMAGE_ENHMETAFILE, reinterpret_cast<LPARAM>(mf)));
            if (old && old != mf)
                ImageDelete(old, IMAGE_ENHMETAFILE);
        }
    }
}

bool IsFrameStatic(LONG style)
{
    LONG type = style & kStaticTypeMask;
    return type == SS_BLACKFRAME || type == SS_GRAYFRAME || type == SS_WHITEFRAME || type == SS_ETCHEDFRAME;
}

// Whether DIALOG or a dialog above it, reached through WS_CHILD dialogs whose
// parent is a dialog, is resizable.
bool ChainResizable(HWND dialog)
{
    for (HWND d = dialog; d;) {
        if (DialogIsResizable(d))
            return true;
        if (!(GetWindowLongA(d, GWL_STYLE) & WS_CHILD))
            return false;
        HWND parent = GetParent(d);
        if (!parent || ClassAtomOf(parent) != gControlClasses.dialog)
            return false;
        d = parent;
    }
    return false;
}

HWND CurrentDialogControl(int field)
{
    HWND d = DialogCurrentWindow();
    return d ? GetDlgItem(d, field) : nullptr;
}

// The page dialog shown by the current item of TAB, nullptr when none.
HWND TabCurrentPage(HWND tab)
{
    int item = static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
    if (item < 0)
        return nullptr;
    int index = DialogIndexById(TabItemDataGet(tab, item).page);
    return index >= 0 ? gDialogTable.slot[index] : nullptr;
}

} // namespace

int ButtonKindOf(HWND control)
{
    if (!control || ClassAtomOf(control) != gControlClasses.button || !gControlClasses.button)
        return -1;
    return static_cast<int>(GetWindowLongA(control, GWL_STYLE) & 15);
}

bool FieldIsEditLike(HWND control)
{
    ATOM a = ClassAtomOf(control);
    return a != 0 && (a == gControlClasses.edit || NumericClassOf(control) >= 0);
}

int FieldTypeOf(HWND control)
{
    ATOM a = ClassAtomOf(control);
    if (!a)
        return kFieldOther;
    const ControlClassTable& c = gControlClasses;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (a == c.staticText) {
        LONG low = style & 0xFF;
        return (low == SS_LEFT || low == SS_CENTER || low == SS_SIMPLE) ? kFieldLabel : kFieldStatic;
    }
    if (a == c.button) {
        // The exact kind decides: an owner-drawn button (11) is no check box.
        switch (style & 15) {
        case BS_GROUPBOX:
            return kFieldGroupBox;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return kFieldCheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return kFieldRadioButton;
        default:
            return kFieldPushButton;
        }
    }
    if (a == c.edit)
        return kFieldString;
    int numeric = NumericClassOf(control);
    if (numeric >= 0)
        return NumericFieldType(numeric);
    if (a == c.comboBox)
        return kFieldCombo;
    if (a == c.listBox)
        return kFieldList;
    if (a == c.tab)
        return kFieldTab;
    if (a == c.progress)
        return kFieldProgress;
    if (c.grid && a == c.grid)
        return kFieldGrid;
    if (a == c.trackBar)
        return kFieldTrackBar;
    if (a == c.treeView)
        return kFieldTree;
    return kFieldOther;
}

INT_PTR DialogInitFields(HWND dialog, DialogRecord* record)
{
    const ControlClassTable& c = gControlClasses;
    HWND focus = GetFocus();
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ATOM a = ClassAtomOf(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        FieldRecord* f = FieldRecordOf(child);
        if (!f) {
            f = FieldRecordCreate(child);
            if (f && NumericClassOf(child) >= 0) {
                f->smallStep = 1.0;
                f->largeStep = 5.0;
            }
        }
        if (!f)
            continue;
        WNDPROC classProc = nullptr;
        if (a == c.edit) {
            f->textLimit = (style & ES_MULTILINE) ? 65535 : 32767;
            SendMessageA(child, EM_LIMITTEXT, static_cast<WPARAM>(f->textLimit), 0);
            classProc = EditSubclassProc;
        } else if (a == c.button) {
            style = ButtonSetUp(child, style);
            classProc = ButtonSubclassProc;
        } else if (a == c.staticText) {
            StaticSetUp(child, style);
            classProc = StaticSubclassProc;
        } else if (a == c.trackBar) {
            classProc = TrackBarSubclassProc;
        } else if (a == c.tab) {
            SendMessageA(child, TCM_SETITEMEXTRA, sizeof(TabItemData), 0);
            classProc = TabSubclassProc;
        } else if (a == c.treeView) {
            style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS;
            classProc = TreeViewSubclassProc;
        }
        if (classProc)
            SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc));
        SetWindowLongA(child, GWL_STYLE, style);

        LONG ex = GetWindowLongA(child, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY;
        if ((a == c.button && (style & 15) == BS_GROUPBOX) || (a == c.staticText && IsFrameStatic(style)))
            ex |= WS_EX_TRANSPARENT;
        SetWindowLongA(child, GWL_EXSTYLE, ex);

        f->previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(child, GWLP_WNDPROC));
        SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldSubclassProc));
        f->focusTracked = 1;
        f->focused = child == focus ? 1 : 0;
    }

    if (record) {
        DialogRecordHang(dialog, record);
        HWND mainFrame = gWindowTable.frame[0];
        if (HICON icon = mainFrame ? reinterpret_cast<HICON>(GetClassLongPtrA(mainFrame, GCLP_HICON)) : nullptr)
            SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        RECT r;
        GetWindowRect(dialog, &r);
        record->words[kDlgMinWidth] = r.right - r.left;
        record->words[kDlgMinHeight] = r.bottom - r.top;
    } else {
        // The modal copy of the current dialog.
        gDialogTable.slot[0] = dialog;
        DialogRecord* copy = DialogRecordNew();
        DialogRecordHang(dialog, copy);
        if (HWND loaded = DialogCurrentWindow())
            DialogStateCopy(dialog, loaded);
        DialogTabPagesAttach(dialog);
        DialogCentre(dialog);
        SetWindowPos(dialog, nullptr, gDialogPendingShow.x, gDialogPendingShow.y, 0, 0,
                     SWP_NOSIZE | SWP_NOREDRAW | SWP_NOZORDER);
    }
    SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);

    INT_PTR answer = record ? 0 : 1;
    if (gDialogPendingShow.focus != 0) {
        if (HWND focus = GetDlgItem(dialog, gDialogPendingShow.focus)) {
            SetFocus(focus);
            DialogFieldSelectAll(focus);
            answer = 0;
        }
    }
    gFieldProcState.focusMoving = 0;
    gDialogTable.creating = 0;
    return answer;
}

int FieldStateOf(HWND control)
{
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (!(style & WS_VISIBLE))
        return kStateHidden;
    if (style & WS_DISABLED)
        return kStateDisabled;
    bool grid = gControlClasses.grid && ClassAtomOf(control) == gControlClasses.grid;
    if ((FieldIsEditLike(control) || grid) && (style & ES_READONLY))
        return kStateReadOnly;
    return kStateEnabled;
}

int DialogFieldInRect(HWND field, const RECT& rect)
{
    RECT r;
    GetWindowRect(field, &r);
    if (FieldRecord* f = FieldRecordOf(field); f && f->upDownBuddy && IsWindow(f->upDownBuddy)) {
        RECT b;
        GetWindowRect(f->upDownBuddy, &b);
        r.right = std::max(r.right, b.right);
    }
    MapWindowPoints(nullptr, GetParent(field), reinterpret_cast<POINT*>(&r), 2);
    if (r.left >= rect.left && r.top >= rect.top && r.right <= rect.right && r.bottom <= rect.bottom)
        return 1;
    if (r.left < rect.right && r.right > rect.left && r.top < rect.bottom && r.bottom > rect.top)
        return 2;
    return 0;
}

void FieldStateSet(HWND control, int s, int deferred)
{
    FieldRecord* f = FieldRecordOf(control);
    if (f)
        f->state = s;
    HWND dialog = GetParent(control);
    RECT client{};
    GetClientRect(dialog, &client);
    if (DialogFieldInRect(control, client) == 0 && !ChainResizable(dialog))
        return; // a field parked outside the visible area keeps its look

    bool moveFocus = s == kStateHidden || s == kStateDisabled;
    HWND focus = GetFocus();
    bool hadFocus = focus && (focus == control || IsChild(control, focus));
    HWND buddy = (f && f->upDownBuddy && IsWindow(f->upDownBuddy)) ? f->upDownBuddy : nullptr;
    bool grid = gControlClasses.grid && ClassAtomOf(control) == gControlClasses.grid;

    if (FieldIsEditLike(control)) {
        EnableWindow(control, s == kStateEnabled || s == kStateReadOnly);
        SendMessageA(control, EM_SETREADONLY, s == kStateReadOnly, 0);
        if (buddy)
            EnableWindow(buddy, s == kStateEnabled);
    } else if (grid) {
        EnableWindow(control, s == kStateEnabled || s == kStateReadOnly);
        LONG style = GetWindowLongA(control, GWL_STYLE);
        style = s == kStateReadOnly ? (style | 2048) : (style & ~2048);
        SetWindowLongA(control, GWL_STYLE, style);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    } else {
        EnableWindow(control, s == kStateEnabled);
        if (s == kStateReadOnly)
            moveFocus = true;
    }

    int show = s == kStateHidden ? SW_HIDE : SW_SHOWNA;
    ShowWindow(control, show);
    if (buddy)
        ShowWindow(buddy, show);
    if (ClassAtomOf(control) == gControlClasses.tab) {
        if (HWND page = TabCurrentPage(control)) {
            ShowWindow(page, show);
            if (focus && (focus == page || IsChild(page, focus)))
                hadFocus = true;
        }
    }

    if (ClassAtomOf(control) == gControlClasses.staticText)
        InvalidateRect(control, nullptr, TRUE);
    if (!(deferred && f && f->graphicsArea))
        UpdateWindow(control);

    if (moveFocus && hadFocus) {
        DialogRecord* r = DialogRecordOf(dialog);
        HWND host = nullptr;
        if (r) {
            DialogHandleSet(r, kDlgFocusField, nullptr);
            host = DialogHandleGet(r, kDlgHost);
        }
        SetFocus(host ? host : dialog);
    }
}

void DialogFieldTypeGet(int& field, int& type)
{
    HWND control = CurrentDialogControl(field);
    if (!control) {
        field = -1;
        return;
    }
    type = FieldTypeOf(control);
}

void DialogFieldStateGet(int& field, int& state)
{
    HWND control = CurrentDialogControl(field);
    if (!control) {
        field = -1;
        return;
    }
    state = FieldStateOf(control);
}

void DialogFieldStateSet(int& field, int state, int deferred)
{
    HWND control = CurrentDialogControl(field);
    if (!control) {
        field = -1;
        return;
    }
    FieldStateSet(control, state, deferred);
}

void WDialogFieldState(int field, int state)
{
    DialogFieldCall(field, "WDialogFieldState", [&](int& id) { DialogFieldStateSet(id, state, 0); });
}

void ButtonBitmapTransparent(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return;
    int w = info.bmWidth, h = info.bmHeight;
    HDC screen = GetDC(nullptr);
    HDC src = CreateCompatibleDC(screen);
    HDC copy = CreateCompatibleDC(screen);
    HDC maskDc = CreateCompatibleDC(screen);
    HBITMAP copyBitmap = CreateCompatibleBitmap(screen, w, h);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldSrc = SelectObject(src, bitmap);
    HGDIOBJ oldCopy = SelectObject(copy, copyBitmap);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);

    RECT all{0, 0, w, h};
    FillRect(copy, &all, GetSysColorBrush(COLOR_BTNFACE));
    // Mask bits 1 where the pixel has the key colour (the top-left pixel's).
    SetBkColor(src, GetPixel(src, 0, 0));
    BitBlt(maskDc, 0, 0, w, h, src, 0, 0, SRCCOPY);
    // C := C AND M: a monochrome source maps 1 to the background colour
    // (white) and 0 to the text colour (black) of the destination.
    SetBkColor(copy, RGB(255, 255, 255));
    SetTextColor(copy, RGB(0, 0, 0));
    BitBlt(copy, 0, 0, w, h, maskDc, 0, 0, SRCAND);
    // bitmap := bitmap AND NOT M.
    SetBkColor(src, RGB(255, 255, 255));
    SetTextColor(src, RGB(0, 0, 0));
    BitBlt(src, 0, 0, w, h, maskDc, 0, 0, 0x00220326); // DSna
    // C := C OR bitmap; bitmap := C.
    BitBlt(copy, 0, 0, w, h, src, 0, 0, SRCPAINT);
    BitBlt(src, 0, 0, w, h, copy, 0, 0, SRCCOPY);

    SelectObject(src, oldSrc);
    SelectObject(copy, oldCopy);
    SelectObject(maskDc, oldMask);
    DeleteDC(src);
    DeleteDC(copy);
    DeleteDC(maskDc);
    DeleteObject(copyBitmap);
    DeleteObject(mask);
    ReleaseDC(nullptr, screen);
}
