// The six numeric edit classes: registration as copies of EDIT, the field
// record made when a numeric control is created, and the default-button
// press shared with the dialog procedure and the edit procedures.
#include "dialogs/numeric_edit_classes.h"

#include <cstring>

#include "core/conversions.h"
#include "core/library_state.h"
#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_neighbours.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/field_subclass.h"

std::array<ATOM, 6> gNumericClassAtoms{};
NumericCheckState gNumericCheck;

namespace {

constexpr int kIntegerTextLimit = 11;

[[maybe_unused]] HINSTANCE ProgramModule()
{
    return GetModuleHandleA(nullptr);
}

LRESULT EditClassCall(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC edit = gControlClasses.editProc;
    return edit ? CallWindowProcA(edit, window, message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
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
    char text[256] = {};
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
        if (NumericFieldType(index) == 5) {
            f->textLimit = kIntegerTextLimit;
            EditClassCall(window, EM_LIMITTEXT, kIntegerTextLimit, 0);
        }
    }
    EditClassCall(window, EM_SETMODIFY, FALSE, 0);
    return result;
}

LRESULT NumericProc(int index, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return NumericCreate(index, window, message, wParam, lParam);
    LRESULT result = EditClassCall(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        FieldRecordRelease(window, DialogInModalClone(window) != 0); // destroyed outside its dialog
    return result;
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
