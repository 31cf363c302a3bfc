// Field values by kind (see dialogs/field_values.h): the public routines and
// the engine routines under them.
#include "dialogs/field_values.h"

#include <commctrl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "core/special_windows.h"
#include "core/string_routines.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_services.h"
#include "dialogs/field_subclass.h"
#include "dialogs/grid_services.h"
#include "dialogs/message_box.h"
#include "dialogs/numeric_edit_classes.h"
#include "graphics/bitmaps.h"
#include "graphics/metafile_slots.h"

FieldValueState gFieldValueState;

bool DialogNotCurrent(std::string_view name)
{
    if (gDialogStatus.currentDialogId != 0)
        return false;
    YYErrorReport(kErrorNoDialog, name);
    return true;
}

namespace {

constexpr int kNumberTextSize = 100;
constexpr int kFormatSize = 50;
constexpr int kReadSize = 255;
const char kDefaultFormat[] = "(G15.5E2)";

std::string WindowTextOf(HWND window, int size)
{
    std::string text(static_cast<size_t>(size) + 1, '\0');
    int n = GetWindowTextA(window, text.data(), size + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

void Repaint(HWND control)
{
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
}

// The image a control holds now and its type (nullptr when none).
HANDLE ImageOf(HWND control, UINT& type)
{
    ATOM a = ClassAtomOf(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (a == gControlClasses.button && (style & (BS_BITMAP | BS_ICON))) {
        type = (style & BS_BITMAP) ? IMAGE_BITMAP : IMAGE_ICON;
        return reinterpret_cast<HANDLE>(SendMessageA(control, BM_GETIMAGE, type, 0));
    }
    if (IsImageStatic(control, type))
        return reinterpret_cast<HANDLE>(SendMessageA(control, STM_GETIMAGE, type, 0));
    return nullptr;
}

HANDLE ImageMake(int identifier, int kind, UINT& type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    bool named = identifier > 0 && identifier <= 0xFFFF;
    switch (kind) {
    case 2:
        type = IMAGE_ICON;
        if (identifier == 0)
            return LoadImageA(module, "ICON1", IMAGE_ICON, 0, 0, 0);
        return named ? LoadImageA(module, MAKEINTRESOURCEA(identifier), IMAGE_ICON, 0, 0, 0) : nullptr;
    case 3: {
        type = IMAGE_BITMAP;
        HBITMAP source = BitmapHandleBitmap(identifier);
        BITMAP info{};
        if (!source || !GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
            return nullptr;
        HDC screen = GetDC(nullptr);
        HBITMAP copy = CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, copy);
        BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        DeleteDC(from);
        DeleteDC(to);
        ReleaseDC(nullptr, screen);
        return copy;
    }
    case 4:
        type = IMAGE_ENHMETAFILE;
        return MetafileSlotCopy(identifier);
    case 5: {
        type = IMAGE_ENHMETAFILE;
        if (!named)
            return nullptr;
        HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(identifier), "KVBMETAFILE");
        HGLOBAL g = r ? LoadResource(module, r) : nullptr;
        const void* bytes = g ? LockResource(g) : nullptr;
        DWORD size = r ? SizeofResource(module, r) : 0;
        return (bytes && size) ? SetEnhMetaFileBits(size, static_cast<const BYTE*>(bytes)) : nullptr;
    }
    default:
        type = IMAGE_BITMAP;
        return named ? LoadImageA(module, MAKEINTRESOURCEA(identifier), IMAGE_BITMAP, 0, 0, 0) : nullptr;
    }
}

// Shared body of the three number puts; ENTRY 0 integer, 1 real, 2 double.
void PutNumber(int entry, int field, double value, std::string_view callerFormat, std::string_view name)
{
    char format[kFormatSize + 1];
    std::fill(format, format + kFormatSize, ' ');
    format[kFormatSize] = '\0';
    if (entry == 0) {
        PutText(std::span<char>(format, kFormatSize), "(I11)");
    } else if (!TrimRight(callerFormat).empty()) {
        PutText(std::span<char>(format, kFormatSize), callerFormat);
    } else {
        int id = field;
        char own[kFormatSize + 1] = {};
        DialogFieldFormat(id, std::span<char>(own, kFormatSize + 1));
        PutText(std::span<char>(format, kFormatSize), id == -1 ? std::string_view(kDefaultFormat) : own);
    }
    // Everything from the first NUL on is blank.
    if (char* nul = static_cast<char*>(std::memchr(format, '\0', kFormatSize)))
        std::fill(nul, format + kFormatSize, ' ');
    std::string_view formatText = TrimRight(std::string_view(format, kFormatSize));

    char text[kNumberTextSize];
    std::span<char> textSpan(text, kNumberTextSize);
    if (entry == 0)
        IntegerToString(TruncateToIntSymmetric(value), textSpan, formatText);
    else if (entry == 1)
        IRealToString(SaturateToFloat(value), textSpan, formatText);
    else
        IDoubleToString(value, textSpan, formatText);

    if (DialogNotCurrent(name))
        return;
    YYJustify(textSpan, "L");
    int id = field;
    DialogFieldRangeCheck(id, value);
    if (id == -2) {
        YYErrorReport(kErrorFieldValueRange, name);
        return;
    }
    if (id == -1) {
        YYErrorReport(kErrorFieldIdentifier, name);
        return;
    }
    FieldCall(field, name, [&](int& target) {
        DialogFieldPutText(target, value, TrimRight(std::string_view(text, kNumberTextSize)),
                           entry == 0 ? std::string_view() : formatText);
    });
}

bool IsPushButtonKind(int kind)
{
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

} // namespace

bool IsImageStatic(HWND control, UINT& type)
{
    if (ClassAtomOf(control) != gControlClasses.staticText)
        return false;
    LONG t = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    if (t == SS_BITMAP)
        type = IMAGE_BITMAP;
    else if (t == SS_ICON)
        type = IMAGE_ICON;
    else if (t == SS_ENHMETAFILE)
        type = IMAGE_ENHMETAFILE;
    else
        return false;
    return true;
}

void ImageDelete(HANDLE image, UINT type)
{
    if (!image)
        return;
    if (type == IMAGE_ICON)
        DestroyIcon(static_cast<HICON>(image));
    else if (type == IMAGE_ENHMETAFILE)
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(image));
    else
        DeleteObject(image);
}


// ---- engine routines -------------------------------------------------------------

void DialogFieldPutText(int& field, double value, std::string_view text, std::string_view format)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    FieldRecord* f = FieldRecordOf(c);
    int report = f ? f->reportChanges : 0;
    if (f)
        f->reportChanges = 0;
    std::string t(text);
    // A control that already shows TEXT and is not being edited keeps it: the
    // same text set again and repainted changes no pixel but costs a paint.
    const bool unchanged = WindowTextOf(c, static_cast<int>(t.size()) + 1) == t &&
                           !(f && f->focusTracked ? f->focused != 0 : GetFocus() == c);
    if (!unchanged && !SetWindowTextA(c, t.c_str()))
        field = -1;
    if (f) {
        f->value = value;
        if (value == 0.0 && !t.empty()) {
            double parsed = 0.0;
            int ok = 0;
            YYTextToDoubleChecked(parsed, ok, t);
            if (ok)
                f->value = parsed;
        }
        f->hasValue = t.empty() ? 0 : 1;
        std::free(f->format);
        f->format = nullptr;
        if (!format.empty()) {
            f->format = static_cast<char*>(std::calloc(format.size() + 1, 1));
            if (f->format)
                std::memcpy(f->format, format.data(), format.size());
        }
    }
    if (FieldIsEditLike(c))
        SendMessageA(c, EM_SETMODIFY, FALSE, 0);
    if (!unchanged)
        Repaint(c);
    if (f)
        f->reportChanges = report;
}

void DialogFieldGetNumber(int& field, double& value, FieldNumberKind kind, int* code)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    std::string text = WindowTextOf(c, kReadSize);
    if (text.empty()) {
        field = -2;
        return;
    }
    // The text decides whether there is a number at all, also where the
    // field keeps a value of its own: a value whose text does not say it
    // (a text put that is no number, asterisks of an overflowing format) is
    // one the user never saw.
    double v = 0.0;
    if (int err = YYFieldTextNumber(kind, text, v)) {
        field = kFieldNoNumber;
        if (code)
            *code = err;
        return;
    }
    FieldRecord* f = FieldRecordOf(c);
    value = (f && NumericClassOf(c) >= 0 && !SendMessageA(c, EM_GETMODIFY, 0, 0)) ? f->value : v;
}

void DialogFieldFormat(int& field, std::span<char> format)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    std::string_view result = kDefaultFormat;
    int index = NumericClassOf(c);
    FieldRecord* f = FieldRecordOf(c);
    if ((index == 2 || index == 4) && f && f->format)
        result = f->format;
    if (format.empty())
        return;
    size_t n = std::min(result.size(), format.size() - 1);
    std::memcpy(format.data(), result.data(), n);
    format[n] = '\0';
}

void DialogFieldRangeCheck(int& field, double value)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    FieldRecord* f = FieldRecordOf(c);
    if (f && f->lowerLimit <= f->upperLimit && (value < f->lowerLimit || value > f->upperLimit))
        field = -2;
}

void DialogFieldTextLength(int& field, int& length)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    length = GetWindowTextLengthA(c);
}

void DialogFieldGetText(int& field, std::span<char> buffer)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    if (!buffer.empty())
        GetWindowTextA(c, buffer.data(), static_cast<int>(std::min<size_t>(buffer.size(), 0x7FFFFFFF)));
}

void DialogCheckBoxGet(int& field, int& state)
{
    HWND c = DialogCurrentField(field);
    int kind = ButtonKindOf(c);
    if (kind != BS_AUTOCHECKBOX && kind != BS_AUTORADIOBUTTON) {
        field = -1;
        return;
    }
    state = SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void DialogCheckBoxPut(int& field, int state)
{
    HWND c = DialogCurrentField(field);
    int kind = ButtonKindOf(c);
    if (kind != BS_AUTOCHECKBOX && kind != BS_AUTORADIOBUTTON) {
        field = -1;
        return;
    }
    SendMessageA(c, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void DialogRadioGroupBounds(HWND button, HWND& first, HWND& last)
{
    ATOM a = ClassAtomOf(button);
    auto grouped = [](HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_GROUP) != 0; };
    if (grouped(button)) {
        first = button;
    } else {
        HWND passed = button;
        first = nullptr;
        for (HWND p = GetWindow(button, GW_HWNDPREV); p && !first; p = GetWindow(p, GW_HWNDPREV)) {
            if (ClassAtomOf(p) != a)
                break;
            if (grouped(p))
                first = p;
            else
                passed = p;
        }
        if (!first)
            first = passed;
    }
    last = button;
    for (HWND w = button == first ? GetWindow(button, GW_HWNDNEXT) : button;
         w && ClassAtomOf(w) == a && !grouped(w); w = GetWindow(w, GW_HWNDNEXT))
        last = w;
}

namespace {

// The radio groups found before, by the button asked for: the members in
// order. A dialog's fields keep their order and styles from load to unload,
// and the system answers each "next window" with a request of its own; an
// entry is taken again only while its windows are still children of the
// button's parent, else the group is found anew.
struct RadioGroupEntry {
    HWND button;
    HWND parent;
    std::vector<HWND> members;
};
std::vector<RadioGroupEntry> gRadioGroups;

std::vector<HWND> RadioGroupWalk(HWND button)
{
    HWND first = nullptr, last = nullptr;
    DialogRadioGroupBounds(button, first, last);
    std::vector<HWND> members;
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        members.push_back(w);
        if (w == last)
            break;
    }
    return members;
}

std::vector<HWND> RadioGroupOf(HWND button)
{
    HWND parent = GetParent(button);
    auto alive = [parent](const RadioGroupEntry& e) {
        return e.parent == parent && std::all_of(e.members.begin(), e.members.end(), [parent](HWND w) {
                   return IsWindow(w) && GetParent(w) == parent;
               });
    };
    for (RadioGroupEntry& e : gRadioGroups) {
        if (e.button != button)
            continue;
        if (!alive(e)) {
            e.parent = parent;
            e.members = RadioGroupWalk(button);
        }
        return e.members;
    }
    std::erase_if(gRadioGroups, [](const RadioGroupEntry& e) { return !IsWindow(e.button); });
    gRadioGroups.push_back({button, parent, RadioGroupWalk(button)});
    return gRadioGroups.back().members;
}

} // namespace

void DialogRadioGet(int& field, int& position)
{
    HWND c = DialogCurrentField(field);
    if (ButtonKindOf(c) != BS_AUTORADIOBUTTON) {
        field = -1;
        return;
    }
    int count = 1;
    for (HWND w : RadioGroupOf(c)) {
        if (SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            position = count;
            return;
        }
        ++count;
    }
    field = -2;
}

void DialogRadioPut(int& field)
{
    HWND c = DialogCurrentField(field);
    if (ButtonKindOf(c) != BS_AUTORADIOBUTTON) {
        field = -1;
        return;
    }
    for (HWND w : RadioGroupOf(c))
        SendMessageA(w, BM_SETCHECK, w == c ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DialogTrackBarGet(int& field, int& position, int& start, int& end)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.trackBar) {
        field = -1;
        return;
    }
    position = static_cast<int>(SendMessageA(c, TBM_GETPOS, 0, 0));
    start = end = gFieldValueState.trackBarUndefined;
    if (GetWindowLongA(c, GWL_STYLE) & TBS_ENABLESELRANGE) {
        int s = static_cast<int>(SendMessageA(c, TBM_GETSELSTART, 0, 0));
        int e = static_cast<int>(SendMessageA(c, TBM_GETSELEND, 0, 0));
        if (s < e) {
            start = s;
            end = e;
        }
    }
}

void DialogTrackBarPut(int& field, int position, const int* start, const int* end)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.trackBar) {
        field = -1;
        return;
    }
    SendMessageA(c, TBM_SETPOS, TRUE, position);
    if (!(GetWindowLongA(c, GWL_STYLE) & TBS_ENABLESELRANGE) || !start || !end)
        return;
    if (*start < *end) {
        SendMessageA(c, TBM_SETSELSTART, FALSE, *start);
        SendMessageA(c, TBM_SETSELEND, TRUE, *end);
    } else {
        SendMessageA(c, TBM_CLEARSEL, TRUE, 0);
    }
}

int DialogListKind(HWND control)
{
    ATOM a = ClassAtomOf(control);
    if (!a)
        return -1;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (a == gControlClasses.listBox)
        return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) ? 4 : 1;
    if (a == gControlClasses.comboBox)
        return (style & 3) == CBS_DROPDOWNLIST ? 2 : 3;
    return -1;
}

void DialogListAddItem(HWND control, std::string_view text)
{
    std::string item(TrimRight(text));
    bool list = ClassAtomOf(control) == gControlClasses.listBox;
    SendMessageA(control, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

bool DialogListSetSelection(HWND control, int index)
{
    bool list = ClassAtomOf(control) == gControlClasses.listBox;
    LRESULT r = SendMessageA(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return r >= 0;
}

void DialogListGet(int& field, int& selected, std::span<char> text)
{
    HWND c = DialogCurrentField(field);
    if (DialogListKind(c) != 1) {
        field = -1;
        return;
    }
    auto index = static_cast<int>(SendMessageA(c, LB_GETCURSEL, 0, 0));
    if (index < 0) {
        field = -2;
        return;
    }
    selected = index + 1;
    if (text.empty())
        return;
    auto length = static_cast<int>(SendMessageA(c, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
    std::string item(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    if (length > 0)
        SendMessageA(c, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
    PutText(text, item.c_str());
}

void DialogComboGet(int& field, int& selected, std::span<char> text)
{
    HWND c = DialogCurrentField(field);
    int kind = DialogListKind(c);
    if (kind != 2 && kind != 3) {
        field = -1;
        return;
    }
    auto index = static_cast<int>(SendMessageA(c, CB_GETCURSEL, 0, 0));
    int length = GetWindowTextLengthA(c);
    std::string shown = WindowTextOf(c, length > 0 ? length : 0);
    if (index < 0) {
        if (shown.empty()) {
            field = -2;
            return;
        }
        auto found = static_cast<int>(
            SendMessageA(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(shown.c_str())));
        selected = found >= 0 ? found + 1 : 0;
    } else {
        selected = index + 1;
    }
    if (!text.empty())
        PutText(text, shown);
}

void DialogComboPutText(HWND combo, std::string_view text)
{
    std::string t(TrimRight(text));
    auto found = static_cast<int>(
        SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(t.c_str())));
    if (found >= 0)
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    else
        SetWindowTextA(combo, t.c_str());
}

void DialogFieldPutImage(int& field, int identifier, int kind)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    UINT type = IMAGE_BITMAP;
    HANDLE image = ImageMake(identifier, kind, type);
    if (!image) {
        field = -2;
        return;
    }
    ATOM a = ClassAtomOf(c);
    UINT oldType = IMAGE_BITMAP;
    HANDLE old = ImageOf(c, oldType);
    LONG style = GetWindowLongA(c, GWL_STYLE);
    if (a == gControlClasses.button && type != IMAGE_ENHMETAFILE) {
        if (gLibraryState.osMajorVersion == 3) { // buttons there take no image
            ImageDelete(image, type);
            return;
        }
        if (type == IMAGE_BITMAP)
            ButtonBitmapTransparent(static_cast<HBITMAP>(image));
        style = (style & ~(BS_BITMAP | BS_ICON)) | (type == IMAGE_BITMAP ? BS_BITMAP : BS_ICON);
        SetWindowLongA(c, GWL_STYLE, style);
        SendMessageA(c, BM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
    } else if (a == gControlClasses.staticText) {
        LONG t = type == IMAGE_BITMAP ? SS_BITMAP : type == IMAGE_ICON ? SS_ICON : SS_ENHMETAFILE;
        SetWindowLongA(c, GWL_STYLE, (style & ~SS_TYPEMASK) | t);
        SendMessageA(c, STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image));
    } else {
        ImageDelete(image, type);
        field = -1;
        return;
    }
    if (old && old != image)
        ImageDelete(old, oldType);
    Repaint(c);
}

void DialogFieldClear(int& field)
{
    HWND c = DialogCurrentField(field);
    if (!c) {
        field = -1;
        return;
    }
    const ControlClassTable& k = gControlClasses;
    ATOM a = ClassAtomOf(c);
    int kind = ButtonKindOf(c);
    LONG style = GetWindowLongA(c, GWL_STYLE);
    UINT imageType = 0;
    if (IsImageStatic(c, imageType)) {
        // An image static has no text to empty: its image goes (and is freed).
        auto old = reinterpret_cast<HANDLE>(SendMessageA(c, STM_SETIMAGE, imageType, 0));
        ImageDelete(old, imageType);
    } else if (FieldIsEditLike(c) || a == k.staticText || IsPushButtonKind(kind) || kind == BS_GROUPBOX) {
        SetWindowTextA(c, "");
        if (FieldIsEditLike(c))
            SendMessageA(c, EM_SETMODIFY, FALSE, 0);
    } else if (a == k.comboBox) {
        SendMessageA(c, CB_RESETCONTENT, 0, 0);
    } else if (a == k.listBox) {
        SendMessageA(c, LB_RESETCONTENT, 0, 0);
    } else if (kind == BS_AUTOCHECKBOX) {
        SendMessageA(c, BM_SETCHECK, BST_UNCHECKED, 0);
    } else if (kind == BS_AUTORADIOBUTTON) {
        for (HWND w : RadioGroupOf(c)) {
            SendMessageA(w, BM_SETCHECK, BST_UNCHECKED, 0);
            Repaint(w);
        }
        return;
    } else if (a == k.progress) {
        auto low = static_cast<int>(SendMessageA(c, PBM_GETRANGE, TRUE, 0));
        SendMessageA(c, PBM_SETPOS, static_cast<WPARAM>(low), 0);
    } else if (k.grid && a == k.grid) {
        DialogGridClearAll(c);
    } else if (a == k.trackBar && (style & TBS_ENABLESELRANGE)) {
        SendMessageA(c, TBM_CLEARSEL, TRUE, 0);
    } else if (a == k.treeView) {
        SendMessageA(c, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    } else {
        field = -1;
        return;
    }
    if (FieldRecord* f = FieldRecordOf(c)) {
        f->value = 0.0;
        f->hasValue = 0;
    }
    Repaint(c);
}

void DialogProgressPut(int& field, int value, int mode)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.progress) {
        field = -1;
        return;
    }
    SendMessageA(c, mode == 0 ? PBM_SETPOS : PBM_DELTAPOS, static_cast<WPARAM>(value), 0);
}

void DialogProgressRange(int& field, int low, int high)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.progress) {
        field = -1;
        return;
    }
    SendMessageA(c, PBM_SETRANGE, 0, MAKELPARAM(low & 0xFFFF, high & 0xFFFF));
}

void DialogTrackBarRange(int& field, int minimum, int maximum, int ticFrequency)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.trackBar) {
        field = -1;
        return;
    }
    SendMessageA(c, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageA(c, TBM_SETRANGEMAX, TRUE, maximum);
    if (ticFrequency > 0)
        SendMessageA(c, TBM_SETTICFREQ, static_cast<WPARAM>(ticFrequency), 0);
}

void DialogTrackBarSteps(int& field, int line, int page)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.trackBar) {
        field = -1;
        return;
    }
    SendMessageA(c, TBM_SETLINESIZE, 0, line);
    SendMessageA(c, TBM_SETPAGESIZE, 0, page > 0 ? page : line);
}

void DialogTabGet(int& field, int& page)
{
    HWND c = DialogCurrentField(field);
    if (!c || ClassAtomOf(c) != gControlClasses.tab) {
        field = -1;
        return;
    }
    auto item = static_cast<int>(SendMessageA(c, TCM_GETCURSEL, 0, 0));
    page = item >= 0 ? TabItemDataGet(c, item).page : 0;
}

void DialogFieldOptionSet(int& field, int option, int value)
{
    HWND c = nullptr;
    if (field == 0) {
        int n = gWindowSystem.currentWindow;
        WindowRecord* r = (n >= 0 && n <= kLastWindow) ? WindowRecordOf(gWindowTable.frame[n]) : nullptr;
        if (r && r->type == kRecordGridEditor)
            c = SpecialRecordFocusControl(r);
    } else {
        c = DialogCurrentField(field);
    }
    const ControlClassTable& k = gControlClasses;
    bool grid = c && k.grid && ClassAtomOf(c) == k.grid;
    if (!c) {
        field = -1;
        return;
    }
    if (option == 1 || option == 2) {
        if (!grid) {
            field = -1;
            return;
        }
        LONG bit = option == 1 ? 4096 : 16384;
        LONG style = GetWindowLongA(c, GWL_STYLE);
        SetWindowLongA(c, GWL_STYLE, value ? (style | bit) : (style & ~bit));
    } else if (option == 3) {
        FieldRecord* f = FieldRecordOf(c);
        if (!f || !(FieldIsEditLike(c) || grid || ClassAtomOf(c) == k.comboBox)) {
            field = -1;
            return;
        }
        f->reportChanges = value != 0 ? 1 : 0;
    }
}

// ---- public routines -----------------------------------------------------------

void WDialogPutString(int field, std::string_view text)
{
    DialogFieldCall(field, "WDialogPutString", [&](int& id) { DialogFieldPutText(id, 0.0, TrimRight(text), {}); });
}

void WDialogGetString(int field, std::span<char> text)
{
    std::string buffer(text.size() + 1, '\0');
    int id = DialogFieldCall(field, "WDialogGetString", [&](int& target) {
        DialogFieldGetText(target, std::span<char>(buffer.data(), buffer.size()));
    });
    if (id != kFieldCallNoDialog)
        PutText(text, id == -1 ? "" : buffer.c_str());
}

void WDialogGetStringLength(int field, int& length)
{
    DialogFieldCall(field, "WDialogGetStringLength", [&](int& id) { DialogFieldTextLength(id, length); });
}

void WDialogPutInteger(int field, int value)
{
    PutNumber(0, field, value, {}, "WDialogPutInteger");
}

void WDialogPutReal(int field, float value, std::string_view format)
{
    PutNumber(1, field, value, format, "WDialogPutReal");
}

void WDialogPutDouble(int field, double value, std::string_view format)
{
    PutNumber(2, field, value, format, "WDialogPutDouble");
}

namespace {

// The number in FIELD, read as KIND, converted by CONVERT into VALUE; a blank
// field gives UNDEFINED and error 1010; a missing one error 1006, and a text
// that gives no number of KIND the conversion's code, both leaving VALUE.
template <typename T>
void GetNumber(int field, T& value, T undefined, FieldNumberKind kind, T (*convert)(double), const char* name)
{
    double v = 0.0;
    int code = 0;
    int id = DialogFieldCall(field, name, [&](int& target) { DialogFieldGetNumber(target, v, kind, &code); });
    if (id == kFieldCallNoDialog || id == -1) {
        return;
    } else if (id == -2) {
        value = undefined;
        YYErrorReport(kErrorFieldUndefined, name);
    } else if (id == kFieldNoNumber) {
        YYErrorReport(code, name);
    } else {
        value = convert(v);
    }
}

} // namespace

void WDialogGetInteger(int field, int& value)
{
    GetNumber(field, value, gDialogStatus.undefinedInteger, FieldNumberKind::kInteger, TruncateToIntSymmetric,
              "WDialogGetInteger");
}

void WDialogGetReal(int field, float& value)
{
    GetNumber(field, value, gDialogStatus.undefinedReal, FieldNumberKind::kReal, SaturateToFloat, "WDialogGetReal");
}

void WDialogPutCheckBox(int field, int state)
{
    DialogFieldCall(field, "WDialogPutCheckBox", [&](int& id) { DialogCheckBoxPut(id, state); });
}

void WDialogGetCheckBox(int field, int& state)
{
    DialogFieldCall(field, "WDialogGetCheckBox", [&](int& id) { DialogCheckBoxGet(id, state); });
}

void WDialogPutRadioButton(int field)
{
    DialogFieldCall(field, "WDialogPutRadioButton", [&](int& id) { DialogRadioPut(id); });
}

void WDialogGetRadioButton(int field, int& position)
{
    int id = DialogFieldCall(field, "WDialogGetRadioButton", [&](int& target) { DialogRadioGet(target, position); });
    if (id == -1) {
        position = 0;
    } else if (id == -2) {
        position = gDialogStatus.undefinedInteger;
        YYErrorReport(kErrorFieldUndefined, "WDialogGetRadioButton");
    }
}

void WDialogPutTrackBar(int field, int position, const int* start, const int* end)
{
    DialogFieldCall(field, "WDialogPutTrackBar",
                    [&](int& id) { DialogTrackBarPut(id, position, start, end); });
}

void WDialogGetTrackBar(int field, int& position, int* start, int* end)
{
    int s = 0, e = 0;
    int id = DialogFieldCall(field, "WDialogGetTrackBar",
                             [&](int& target) { DialogTrackBarGet(target, position, s, e); });
    if (id == kFieldCallNoDialog || id == -1)
        return;
    if (start)
        *start = s;
    if (end)
        *end = e;
}

namespace {

// The list or combo box FIELD of the current dialog for the public routine
// NAME, KIND := its list kind; nullptr, with the error reported, without a
// current dialog or when the field is no list or combo box.
HWND MenuFieldOf(int field, std::string_view name, int& kind)
{
    if (DialogNotCurrent(name))
        return nullptr;
    HWND c = DialogCurrentField(field);
    kind = DialogListKind(c);
    if (kind == -1 || kind == 4) {
        YYErrorReport(kErrorFieldIdentifier, name);
        return nullptr;
    }
    return c;
}

} // namespace

void WDialogPutMenu(int field, std::span<const std::string_view> options, int count, int selected,
                    std::optional<std::string_view> text)
{
    int kind = -1;
    HWND c = MenuFieldOf(field, "WDialogPutMenu", kind);
    if (!c)
        return;
    int id = field;
    DialogFieldClear(id);
    size_t n = count > 0 ? std::min(static_cast<size_t>(count), options.size()) : 0;
    for (size_t i = 0; i < n; ++i)
        DialogListAddItem(c, options[i]);
    if (selected == 0 && kind == 3 && text) {
        DialogComboPutText(c, *text);
        return;
    }
    int index = selected >= 1 ? selected - 1 : -1;
    if (!DialogListSetSelection(c, index))
        YYErrorReport(kErrorOptionNumber, "WDialogPutMenu");
}

void WDialogGetMenu(int field, int& selected, std::span<char> text)
{
    int kind = -1;
    HWND c = MenuFieldOf(field, "WDialogGetMenu", kind);
    if (!c)
        return;
    int id = field;
    if (kind == 1)
        DialogListGet(id, selected, text);
    else
        DialogComboGet(id, selected, text);
    if (id == -2) {
        selected = gDialogStatus.undefinedInteger;
        YYErrorReport(kErrorFieldUndefined, "WDialogGetMenu");
    }
}

void WDialogClearField(int field)
{
    DialogFieldCall(field, "WDialogClearField", [](int& id) { DialogFieldClear(id); });
}

void WDialogSetField(int field, const int* position)
{
    int p = (position && *position >= 1) ? *position - 1 : -1;
    DialogFieldCall(field, "WDialogSetField", [&](int& id) { DialogFieldFocus(id, p); });
}

void WDialogRangeInteger(int field, const int* lower, const int* upper)
{
    double lo = 1000.0, hi = -1000.0;
    if (lower || upper) {
        lo = lower ? *lower : -2147483647.0;
        hi = upper ? *upper : 2147483647.0;
    }
    DialogFieldCall(field, "WDialogRangeInteger", [&](int& id) { DialogFieldRangeSet(id, lo, hi); });
}

void WDialogPutImage(int field, int identifier, const int* kind)
{
    if (DialogNotCurrent("WDialogPutImage"))
        return;
    int k = kind ? *kind : 1;
    if (k == 4) {
        if (identifier < 1 || identifier > kMetafileSlotCount) {
            YYErrorReport(kErrorImageIdentifier, "WDialogPutImage");
            return;
        }
        if (MetafileSlotKind(identifier) != 3) {
            YYErrorReport(kErrorMetafileFormat, "WDialogPutImage");
            return;
        }
    }
    int id = FieldCall(field, "WDialogPutImage", [&](int& target) { DialogFieldPutImage(target, identifier, k); });
    if (id == -2)
        YYErrorReport(kErrorImageIdentifier, "WDialogPutImage");
}
