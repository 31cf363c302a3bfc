// The six numeric edit classes: registration as copies of EDIT, their window
// procedures (character filter, value capture on focus, the check and the
// normalisation when the focus leaves, Enter), the up-down control of the
// spin classes and its steps, the numeric check with its rejection, and the
// default-button press shared with the dialog procedure and the edit
// procedures.
#include "dialogs/numeric_edit_classes.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/conversions.h"
#include "core/error_codes.h"
#include "core/fixed_text.h"
#include "core/library_state.h"
#include "core/numeric.h"
#include "core/os_services.h"
#include "core/string_routines.h"
#include "core/window_table.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_subclass.h"

std::array<ATOM, 6> gNumericClassAtoms{};
NumericCheckState gNumericCheck;

namespace {

constexpr int kIntegerTextLimit = 11;
constexpr int kTextSize = 256;
const char kDefaultFormat[] = "(G15.5E2)";

// Number kinds of the class indices.
enum NumberKind : int { kInteger = 0, kReal = 1, kDouble = 2 };
int KindOf(int index) { return index / 2; }

// The number kind of class index INDEX as the conversions name it.
FieldNumberKind FieldKindOf(int index)
{
    static constexpr FieldNumberKind kinds[] = {FieldNumberKind::kInteger, FieldNumberKind::kReal,
                                                FieldNumberKind::kDouble};
    return kinds[KindOf(index)];
}

HINSTANCE ProgramModule()
{
    return GetModuleHandleA(nullptr);
}

LRESULT EditClassCall(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC edit = gControlClasses.editProc;
    return edit ? CallWindowProcA(edit, window, message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
}

std::string WindowTextOf(HWND window, int size)
{
    std::string text(static_cast<size_t>(size) + 1, '\0');
    int n = GetWindowTextA(window, text.data(), size + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool IsPushButton(HWND window)
{
    int kind = ButtonKindOf(window);
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

bool IsDecimalPoint(char c)
{
    if (c == '.')
        return true;
    char sep = gLibraryPaths.localeDecimalSeparator;
    return gLibraryState.localeDecimalSwitch == 1 && sep != ' ' && sep != '\0' && c == sep;
}

// WM_CHAR: the characters of a number and the editing controls pass; a typed
// exponent letter goes on in upper case; anything else is dropped with a beep.
LRESULT NumericChar(int index, HWND window, WPARAM wParam, LPARAM lParam)
{
    auto c = static_cast<unsigned char>(wParam & 0xFF);
    if (c == 1) { // Ctrl+A
        EditClassCall(window, EM_SETSEL, 0, -1);
        EditClassCall(window, EM_SCROLLCARET, 0, 0);
        return 0;
    }
    int kind = KindOf(index);
    bool accepted = c == 3 || c == 22 || c == 24 || c == 26 || c == 8 || c == 9 || c == 13 || c == 27 ||
                    (c >= '0' && c <= '9') || c == '-' || c == '+';
    if (!accepted && kind != kInteger) {
        if (c == 'e' || c == 'E') {
            c = 'E';
            accepted = true;
        } else if (kind == kDouble && (c == 'd' || c == 'D')) {
            c = 'D';
            accepted = true;
        } else if (IsDecimalPoint(static_cast<char>(c))) {
            accepted = true;
        }
    }
    if (!accepted) {
        BeepIfEnabled();
        return 0;
    }
    return EditClassCall(window, WM_CHAR, c, lParam);
}

// The text of a field that lost the focus, rewritten in its normal form.
void NumericNormalise(int index, HWND window)
{
    FieldRecord* f = FieldRecordOf(window);
    if (!f)
        return;
    int kind = KindOf(index);
    bool modified = EditClassCall(window, EM_GETMODIFY, 0, 0) != 0;
    if (kind != kInteger && !modified)
        return;
    std::string text = WindowTextOf(window, kTextSize - 1);
    double v = 0.0;
    // A text that gives no number the field can hold stays as the user left
    // it (the focus went where it cannot be given back): written back it
    // would show a number it does not say.
    if (!text.empty() && YYFieldTextNumber(FieldKindOf(index), text, v) != 0)
        return;
    if (text.empty()) {
        f->value = 0.0;
    } else {
        f->value = v;
        f->hasValue = 1;
        char buffer[kTextSize];
        PutText(buffer, text);
        std::string_view format = (f->format && f->format[0]) ? std::string_view(f->format) : kDefaultFormat;
        if (kind == kInteger)
            YYIntegerFieldText(buffer);
        else if (kind == kReal)
            YYRealFieldText(buffer, format);
        else
            YYDoubleFieldText(buffer, format);
        buffer[kTextSize - 1] = '\0';
        SetWindowTextA(window, buffer);
    }
    EditClassCall(window, EM_SETMODIFY, FALSE, 0);
}

// The up-down control of a spin field, made after the edit exists.
void SpinCreate(int index, HWND window)
{
    FieldRecord* f = FieldRecordOf(window);
    HWND parent = GetParent(window);
    if (!f || !parent)
        return;
    LONG editStyle = GetWindowLongA(window, GWL_STYLE);
    DWORD style = WS_CHILD | WS_BORDER | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
    if (KindOf(index) != kInteger)
        style |= UDS_NOTHOUSANDS;
    if (editStyle & WS_VISIBLE)
        style |= WS_VISIBLE;
    if (editStyle & ES_READONLY)
        style |= WS_DISABLED;
    HWND upDown = CreateWindowExA(0, UPDOWN_CLASSA, nullptr, style, 0, 0, 1, 1, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), ProgramModule(), nullptr);
    if (!upDown)
        return;
    f->upDownBuddy = upDown;
    SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(window), 0);
    SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(-100), 100);
    UDACCEL accel[2] = {{0, 1}, {2, 5}};
    SendMessageA(upDown, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel));
    std::string text = WindowTextOf(window, kTextSize - 1);
    if (KindOf(index) == kInteger) {
        auto position = static_cast<int16_t>(DecimalStringToInt(text) & 0xFFFF);
        SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(position, 0));
        SetWindowTextA(window, text.c_str());
        EditClassCall(window, EM_SETMODIFY, FALSE, 0);
    }
    if (!gControlClasses.upDownProc) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        if (GetClassInfoExA(nullptr, UPDOWN_CLASSA, &wc))
            gControlClasses.upDownProc = wc.lpfnWndProc;
    }
    if (gControlClasses.upDownProc)
        SetWindowLongPtrA(upDown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UpDownSubclassProc));
}

// WM_CREATE of every numeric class: the record before the EDIT procedure
// creates the control, the value of the initial text after it.
LRESULT NumericCreate(int index, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (FieldRecord* f = FieldRecordCreate(window)) {
        f->smallStep = 1.0;
        f->largeStep = 5.0;
    }
    LRESULT result = EditClassCall(window, message, wParam, lParam);
    if (result == -1)
        return result;
    char text[kTextSize] = {};
    GetWindowTextA(window, text, sizeof text);
    if (gLibraryState.localeDecimalSwitch == 1) {
        char sep = gLibraryPaths.localeDecimalSeparator;
        if (sep != ' ' && sep != '\0' && std::strchr(text, '.')) {
            for (char* p = text; *p; ++p)
                if (*p == '.')
                    *p = sep;
            SetWindowTextA(window, text);
        }
    }
    if (FieldRecord* f = FieldRecordOf(window)) {
        double v = 0.0;
        YYTextToDoubleQuiet(v, text);
        f->value = v;
        f->hasValue = text[0] != '\0' ? 1 : 0;
        if (KindOf(index) == kInteger) {
            f->textLimit = kIntegerTextLimit;
            EditClassCall(window, EM_LIMITTEXT, kIntegerTextLimit, 0);
        }
    }
    EditClassCall(window, EM_SETMODIFY, FALSE, 0);
    if (NumericIsSpin(index))
        SpinCreate(index, window);
    return result;
}

LRESULT NumericProc(int index, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FieldRecord* f = FieldRecordOf(window);
    switch (message) {
    case WM_CREATE:
        return NumericCreate(index, window, message, wParam, lParam);
    case WM_CHAR:
        return NumericChar(index, window, wParam, lParam);
    case WM_GETDLGCODE: {
        // The dialog manager moves the focus on Tab without passing the key
        // on; it asks the control first, which is where Tab is seen.
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (f && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)
            f->tabPressed = 1;
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_TAB && f)
            f->tabPressed = 1;
        if (wParam == VK_RETURN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
            DialogDefaultButtonPress(window);
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        NumericCheckState& n = gNumericCheck;
        if (n.captureRequest && f) {
            n.captureRequest = 0;
            GetWindowTextA(window, n.savedText, sizeof n.savedText);
            n.savedValue = f->value;
        }
        if (f)
            f->tabPressed = 0;
        EditClassCall(window, EM_SETMODIFY, FALSE, 0);
        break;
    }
    case WM_KILLFOCUS: {
        if (NumericFieldCheck(window, reinterpret_cast<HWND>(wParam), 0))
            return 0;
        LRESULT result = EditClassCall(window, message, wParam, lParam);
        // The platform edit may answer 0 here: the text is normalised
        // whenever the change was not refused.
        NumericNormalise(index, window);
        return result;
    }
    case WM_NCDESTROY: {
        LRESULT result = EditClassCall(window, message, wParam, lParam);
        FieldRecordRelease(window, DialogInModalClone(window) != 0); // destroyed outside its dialog
        return result;
    }
    default:
        break;
    }
    return EditClassCall(window, message, wParam, lParam);
}

HWND CurrentDialogControl(int field)
{
    HWND d = DialogCurrentWindow();
    return d ? GetDlgItem(d, field) : nullptr;
}

// FIELD of the current dialog when it is of class index INDEX, else nullptr.
FieldRecord* SpinField(int field, int index)
{
    HWND c = CurrentDialogControl(field);
    return (c && NumericClassOf(c) == index) ? FieldRecordOf(c) : nullptr;
}

} // namespace

int NumericClassOf(HWND control)
{
    ATOM a = ClassAtomOf(control);
    if (!a)
        return -1;
    for (int i = 0; i < 6; ++i)
        if (gNumericClassAtoms[i] == a)
            return i;
    return -1;
}

LRESULT CALLBACK IntegerEditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return NumericProc(0, w, m, wp, lp); }
LRESULT CALLBACK IntegerSpinProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return NumericProc(1, w, m, wp, lp); }
LRESULT CALLBACK RealEditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return NumericProc(2, w, m, wp, lp); }
LRESULT CALLBACK RealSpinProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return NumericProc(3, w, m, wp, lp); }
LRESULT CALLBACK DoubleEditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return NumericProc(4, w, m, wp, lp); }
LRESULT CALLBACK DoubleSpinProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return NumericProc(5, w, m, wp, lp); }

void NumericEditClassesRegister()
{
    HINSTANCE module = ProgramModule();
    WNDCLASSEXA edit{};
    edit.cbSize = sizeof edit;
    ATOM editAtom = static_cast<ATOM>(GetClassInfoExA(module, "EDIT", &edit));
    if (!editAtom)
        return;
    gControlClasses.edit = editAtom;
    gControlClasses.editProc = edit.lpfnWndProc;

    static const WNDPROC procs[6] = {IntegerEditProc, IntegerSpinProc, RealEditProc,
                                     RealSpinProc,    DoubleEditProc,  DoubleSpinProc};
    WNDCLASSEXA probe{};
    probe.cbSize = sizeof probe;
    bool registered = GetClassInfoExA(module, kNumericClassNames[0], &probe) != 0;
    for (int i = 0; i < 6; ++i) {
        if (registered) {
            gNumericClassAtoms[i] = static_cast<ATOM>(GetClassInfoExA(module, kNumericClassNames[i], &probe));
            continue;
        }
        WNDCLASSEXA wc = edit;
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procs[i];
        wc.hInstance = module;
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = kNumericClassNames[i];
        wc.hIconSm = nullptr;
        gNumericClassAtoms[i] = RegisterClassExA(&wc);
    }
}

int NumericFieldCheck(HWND field, HWND target, int strict)
{
    NumericCheckState& n = gNumericCheck;
    if (n.rejectionRunning || n.gridBusy)
        return 0;
    if (NumericClassOf(field) < 0)
        return 0;
    FieldRecord* f = FieldRecordOf(field);
    if (!f)
        return 0;
    if (target && (target == gWindowTable.frame[0] || target == gWindowTable.client[0]))
        return 0;
    // The focus leaving the program, or a field that is being hidden or
    // destroyed (its dialog no longer visible), is never refused: the focus
    // cannot be given back to it.
    if (!target || !IsWindowVisible(field))
        return 0;

    n.pendingTab = nullptr;
    if (target != field) {
        n.pendingRejected = nullptr;
        if (f->tabPressed == 0 && IsPushButton(target) && GetDlgCtrlID(target) != IDOK)
            n.pendingRejected = field;
        else if (ClassAtomOf(target) == gControlClasses.tab)
            n.pendingTab = field;
    }

    std::string text = WindowTextOf(field, kTextSize);
    bool ranged = f->lowerLimit <= f->upperLimit;
    bool invalid;
    if (!text.empty()) {
        double v = 0.0;
        int code = YYFieldTextNumber(FieldKindOf(NumericClassOf(field)), text, v);
        if (code == 0)
            invalid = ranged && (v < f->lowerLimit || v > f->upperLimit);
        else if (code == kErrorNumberTooLarge)
            invalid = true; // a number the field cannot hold: refused as one outside the range
        else
            invalid = !(target == field && strict == 0);
    } else {
        invalid = f->hasValue == 1 && ranged;
    }

    if (invalid) {
        if (n.pendingRejected)
            return 0; // the focus moves to the push button; the rejection waits for it
        n.rejectionRunning = 1;
        NumericFieldReject(target, field, f->tabPressed);
        n.rejectionRunning = 0;
        return 1;
    }
    if (target != field) {
        n.pendingRejected = nullptr;
        n.pendingTab = nullptr;
        n.captureRequest = 1;
    }
    return 0;
}

void NumericFieldReject(HWND target, HWND field, int tab)
{
    if (!field || !IsWindow(field))
        return;
    if (target != field)
        BeepIfEnabled();
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    if (!target || !IsPushButton(target))
        return;
    HWND dialog = GetParent(target);
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    HWND defButton = HIWORD(def) == DC_HASDEFID ? GetDlgItem(dialog, LOWORD(def)) : nullptr;
    if (target == defButton)
        return;
    SendMessageA(target, BM_SETSTYLE, tab ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    if (defButton)
        SendMessageA(defButton, BM_SETSTYLE, tab ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
}

INT_PTR NumericSpinStep(HWND buddy, NMUPDOWN* notification)
{
    int index = NumericClassOf(buddy);
    FieldRecord* f = FieldRecordOf(buddy);
    if (!notification || !f || !NumericIsSpin(index))
        return 0;
    int delta = notification->iDelta;
    notification->iDelta = 0;
    double step;
    switch (delta) {
    case 1: step = f->smallStep; break;
    case -1: step = -f->smallStep; break;
    case 5: step = f->largeStep; break;
    case -5: step = -f->largeStep; break;
    default: return 1; // the control as configured gives no other delta
    }
    if (SendMessageA(buddy, EM_GETMODIFY, 0, 0)) {
        std::string text = WindowTextOf(buddy, kTextSize - 1);
        double v = 0.0;
        if (!text.empty())
            YYTextToDoubleQuiet(v, text);
        f->value = v;
    }
    // Values this large are beyond any field: stepping them could overflow.
    constexpr double kHuge = 1.0e300;
    double v = f->value;
    if (std::fabs(v) < kHuge && std::fabs(step) < kHuge)
        v += step;
    bool clamped = false;
    if (f->lowerLimit <= f->upperLimit) {
        if (v < f->lowerLimit) {
            v = f->lowerLimit;
            clamped = true;
        } else if (v > f->upperLimit) {
            v = f->upperLimit;
            clamped = true;
        }
    }
    char text[100];
    if (KindOf(index) == kInteger) {
        int64_t n = TruncateToIntSymmetric(v);
        int64_t s = TruncateToIntSymmetric(step);
        // A step that truncates to 0 cannot snap: the value stays as stepped.
        if (!clamped && s != 0)
            n = ((n - f->stepOrigin) / s) * s + f->stepOrigin;
        n = TruncateToIntSymmetric(static_cast<double>(n));
        f->value = static_cast<double>(n);
        yyint2st(static_cast<int>(n), text);
    } else {
        f->value = v;
        std::string_view format = (f->format && f->format[0]) ? std::string_view(f->format) : kDefaultFormat;
        yydbl2st(v, text, format);
    }
    std::string shown(TrimRight(std::string_view(text, sizeof text)));
    SetWindowTextA(buddy, shown.c_str());
    SendMessageA(buddy, EM_SETMODIFY, FALSE, 0);
    f->hasValue = 1;
    return 1;
}

void DialogIntegerSpinSteps(int& field, int smallStep, int largeStep, int origin)
{
    FieldRecord* f = SpinField(field, 1);
    if (!f) {
        field = -1;
        return;
    }
    f->smallStep = smallStep;
    f->largeStep = largeStep != 0 ? largeStep : smallStep;
    f->stepOrigin = origin;
}

void DialogRealSpinSteps(int& field, float smallStep, float largeStep)
{
    FieldRecord* f = SpinField(field, 3);
    if (!f) {
        field = -1;
        return;
    }
    f->smallStep = smallStep;
    f->largeStep = largeStep;
}

void DialogDoubleSpinSteps(int& field, double smallStep, double largeStep)
{
    FieldRecord* f = SpinField(field, 5);
    if (!f) {
        field = -1;
        return;
    }
    f->smallStep = smallStep;
    f->largeStep = largeStep;
}

void DialogDefaultButtonPress(HWND window)
{
    const ATOM dialogAtom = gControlClasses.dialog;
    HWND d = window;
    while (d && ClassAtomOf(d) != dialogAtom)
        d = GetParent(d);
    if (!d)
        return;
    // Up through dialogs inside dialogs (tab pages) to the outermost.
    while ((GetWindowLongA(d, GWL_STYLE) & WS_CHILD) && GetParent(d) && ClassAtomOf(GetParent(d)) == dialogAtom)
        d = GetParent(d);
    LRESULT def = SendMessageA(d, DM_GETDEFID, 0, 0);
    int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    HWND button = GetDlgItem(d, id);
    if (button && !IsWindowEnabled(button))
        return;
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(button));
}
