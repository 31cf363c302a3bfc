// The numeric edit and spin classes: the character filter of each class, the
// text normalised when the focus leaves, the range check with its rejection
// on Tab, on a push button and on OK (in a modeless dialog and in the modal
// copy), the spin steps, and Enter on a tab page.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/string_routines.h"
#include "dialogs/dialog_show.h"
#include "dialogs/field_values.h"
#include "dialogs/numeric_edit_classes.h"
#include "windowed_fixture.h"

namespace {

HWND gEnterTarget = nullptr;

void CALLBACK SendEnter(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    SendMessageA(gEnterTarget, WM_KEYDOWN, VK_RETURN, 1);
}

void CALLBACK CloseActive(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostMessageA(gActiveDialog, WM_CLOSE, 0, 0);
}

class NumericFields : public WindowedDialogs {
protected:
    void SetUp() override
    {
        WindowedDialogs::SetUp();
        gNumericCheck = NumericCheckState{};
    }

    // Dispatches what is queued the way the dialog loops do, keyboard
    // navigation included.
    static void Pump(HWND dialog)
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageA(dialog, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Pumps as above until COND holds or TIMEOUTMS have passed (a poll, not
    // a sleep); returns the last result.
    static bool PumpUntil(HWND dialog, const std::function<bool()>& cond, int timeoutMs = 10000)
    {
        DWORD start = GetTickCount();
        for (;;) {
            Pump(dialog);
            if (cond())
                return true;
            if (static_cast<int>(GetTickCount() - start) > timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    // The key as the dialog loop sees it.
    static void Key(HWND dialog, HWND target, UINT vk)
    {
        MSG msg{target, WM_KEYDOWN, vk, 1, 0, {0, 0}};
        if (!IsDialogMessageA(dialog, &msg))
            SendMessageA(target, WM_KEYDOWN, vk, 1);
    }
    static void Type(HWND field, const std::string& text)
    {
        for (char c : text)
            SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // Replaces the text as the user would (the modified flag set).
    static void Retype(HWND field, const char* text)
    {
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, WM_CLEAR, 0, 0);
        Type(field, text);
    }
    static std::pair<int, int> Selection(HWND field)
    {
        DWORD s = 0, e = 0;
        SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {static_cast<int>(s), static_cast<int>(e)};
    }
    static std::string Formatted(double value, const char* format)
    {
        char text[100];
        IDoubleToString(value, text, format);
        YYJustify(text, "L");
        return std::string(TrimRight(std::string_view(text, sizeof text)));
    }
    // FIELD read as an integer (INTEGER true) or a real into a variable
    // that held 123: the code reported, the value read, and whether the
    // variable kept 123.
    struct Read {
        int code;
        double value;
        bool kept;
    };
    static Read ReadField(int field, bool integer)
    {
        gErrorState.lastCode = 0;
        int i = 123;
        float r = 123.0f;
        if (integer)
            WDialogGetInteger(field, i);
        else
            WDialogGetReal(field, r);
        return {gErrorState.lastCode, integer ? i : r, integer ? i == 123 : r == 123.0f};
    }
    HWND ShowNumbers()
    {
        HWND d = Load(310);
        if (d)
            ShowAt(100, 100, kShowModeless);
        return d;
    }
};

TEST_F(NumericFields, EachClassLetsThroughTheCharactersOfItsNumbers)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    struct Case {
        int field;
        const char* shown;
    };
    const Case cases[] = {
        {3101, "12-+"},      // integer: digits and signs
        {3104, "12-+"},      // integer spin
        {3102, "12-+.EE"},   // real: the point and E, a typed e as E
        {3105, "12-+.EE"},   // real spin
        {3103, "12-+.EEDD"}, // double: D too, a typed d as D
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        HWND field = GetDlgItem(d, c.field);
        SetFocus(field);
        SetWindowTextA(field, "");
        Type(field, "12x-+.eEdD, ");
        EXPECT_EQ(Text(field), c.shown);
        SendMessageA(field, WM_CHAR, 1, 1); // Ctrl+A
        EXPECT_EQ(Selection(field), std::make_pair(0, static_cast<int>(std::strlen(c.shown))));
        SendMessageA(field, WM_CHAR, 8, 1); // backspace passes
        EXPECT_EQ(Text(field), "");
    }
}

TEST_F(NumericFields, TextNormalisedWhenTheFocusLeaves)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    HWND integer = GetDlgItem(d, 3101), real = GetDlgItem(d, 3102), dbl = GetDlgItem(d, 3103);
    HWND plain = GetDlgItem(d, 3106);
    WDialogPutReal(3102, 2.5f, "(F6.3)");
    ASSERT_EQ(Text(real), "2.500");

    struct Case {
        const char* what;
        HWND field;
        const char* typed; // nullptr: focus in and out only
        std::string shown;
        double value;
    };
    const std::vector<Case> cases = {
        {"an integer field holding 3.2", integer, "3.2", "3", 3.2},
        {"an integer field is normalised always: its value read again", integer, nullptr, "3", 3.0},
        {"a real field not modified keeps its text", real, nullptr, "2.500", 2.5},
        {"a modified real field uses its format", real, "7", "7.000", 7.0},
        {"a double field without a format", dbl, "1.5D2", Formatted(150.0, "(G15.5E2)"), 150.0},
        {"emptied without a range: accepted, value 0", dbl, "", "", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFocus(c.field);
        if (c.typed) {
            SendMessageA(c.field, EM_SETSEL, 0, -1);
            SendMessageA(c.field, WM_CLEAR, 0, 0);
            // A pasted text is not filtered (the check on leaving catches it).
            SendMessageA(c.field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.typed));
        }
        SetFocus(plain);
        EXPECT_EQ(GetFocus(), plain);
        EXPECT_EQ(Text(c.field), c.shown);
        EXPECT_DOUBLE_EQ(FieldRecordOf(c.field)->value, c.value);
        EXPECT_EQ(SendMessageA(c.field, EM_GETMODIFY, 0, 0), 0);
    }
    int i = 0;
    WDialogGetInteger(3101, i);
    EXPECT_EQ(i, 3);
}

TEST_F(NumericFields, OutOfRangeRefusedOnTabRestoredOnAPushButtonAndOkRefused)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    gLibraryState.beepSwitch = 0;
    int lo = 0, hi = 10;
    WDialogRangeInteger(3101, &lo, &hi);
    HWND field = GetDlgItem(d, 3101);
    WMessageEnable(kEventFieldChanged, 0);

    // Tab: the focus comes back with the text selected.
    SetFocus(field);
    Retype(field, "11");
    Key(d, field, VK_TAB);
    Pump(d);
    EXPECT_EQ(GetFocus(), field);
    EXPECT_EQ(Selection(field), std::make_pair(0, 2));
    EXPECT_EQ(Text(field), "11");

    // A push button other than OK: the field gets back what it held when it
    // got the focus, and the button's command goes through.
    PostMessageA(GetDlgItem(d, 3107), BM_CLICK, 0, 0);
    SeenEvent e = NextOfDialogs();
    EXPECT_EQ(e.type, kEventPushButton) << Describe(e);
    EXPECT_EQ(e.m.value1, 3107);
    EXPECT_EQ(Text(field), "5");
    EXPECT_DOUBLE_EQ(FieldRecordOf(field)->value, 5.0);
    EXPECT_EQ(gNumericCheck.pendingRejected, nullptr);

    // OK: refused, no event, the focus back in the field.
    SetFocus(field);
    Retype(field, "12");
    PostMessageA(GetDlgItem(d, 1), BM_CLICK, 0, 0);
    Pump(d);
    EXPECT_EQ(GetFocus(), field);
    EXPECT_EQ(Text(field), "12");
    PostMessageA(d, WM_CLOSE, 0, 0);
    e = NextOfDialogs();
    EXPECT_EQ(e.m.value1, 2) << "no event for the refused OK before the cancel: " << Describe(e);

    // A value inside the range passes, by Tab too.
    Retype(field, "9");
    Key(d, field, VK_TAB);
    Pump(d);
    EXPECT_NE(GetFocus(), field);
    EXPECT_DOUBLE_EQ(FieldRecordOf(field)->value, 9.0);

    // Emptying a field that had a value and has a range is refused; without a
    // range it is accepted.
    SetFocus(field);
    Retype(field, "");
    Key(d, field, VK_TAB);
    Pump(d);
    EXPECT_EQ(GetFocus(), field);
    WDialogRangeInteger(3101);
    Key(d, field, VK_TAB);
    Pump(d);
    EXPECT_NE(GetFocus(), field);
    EXPECT_EQ(FieldRecordOf(field)->value, 0.0);
    // A text that is no number is refused whatever the range.
    SetFocus(field);
    SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("--"));
    Key(d, field, VK_TAB);
    Pump(d);
    EXPECT_EQ(GetFocus(), field);
}

TEST_F(NumericFields, NumbersTheFieldCannotHoldAreRefusedLikeOutOfRangeOnes)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    gLibraryState.beepSwitch = 0;
    HWND plain = GetDlgItem(d, 3106);
    WMessageEnable(kEventFieldChanged, 0);
    struct Case {
        const char* what;
        int field;
        std::string typed;
        std::string shown; // what the field holds after typing; empty: the typed text as far as it fits
    };
    const std::vector<Case> cases = {
        {"beyond the single-precision range", 3102, "1e99", "1E99"},
        {"below it", 3102, "-1e99", "-1E99"},
        {"beyond the double-precision range", 3103, "1e400", "1E400"},
        {"10,000 digits, of which the field takes what fits", 3101, std::string(10000, '7'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND field = GetDlgItem(d, c.field);
        SetFocus(field);
        Retype(field, c.typed.c_str());
        const std::string shown = Text(field);
        if (c.shown.empty()) {
            ASSERT_GE(shown.size(), 10u) << "beyond the integer range";
            ASSERT_EQ(shown, c.typed.substr(0, shown.size()));
        } else {
            ASSERT_EQ(shown, c.shown);
        }
        const double before = FieldRecordOf(field)->value;

        // Tab: the focus comes back with the text selected, the text as typed.
        Key(d, field, VK_TAB);
        Pump(d);
        EXPECT_EQ(GetFocus(), field);
        EXPECT_EQ(Text(field), shown);
        EXPECT_EQ(Selection(field), std::make_pair(0, static_cast<int>(shown.size())));
        EXPECT_EQ(FieldRecordOf(field)->value, before);

        // Enter presses OK with the focus in the field: refused too (a text
        // that is merely no number would pass here), no event.
        Key(d, field, VK_RETURN);
        Pump(d);
        EXPECT_EQ(GetFocus(), field);
        EXPECT_EQ(Text(field), shown);

        // Read meanwhile: an error, never the number of another text.
        Read read = ReadField(c.field, c.field == 3101);
        EXPECT_EQ(read.code, 4);
        EXPECT_TRUE(read.kept);

        // Mended, it is accepted and normalised.
        Retype(field, "8");
        SetFocus(plain);
        EXPECT_EQ(GetFocus(), plain);
        EXPECT_DOUBLE_EQ(FieldRecordOf(field)->value, 8.0);
    }
    PostMessageA(d, WM_CLOSE, 0, 0);
    SeenEvent e = NextOfDialogs();
    EXPECT_EQ(e.m.value1, 2) << "no OK went through before the cancel: " << Describe(e);

    // A typed "x" is dropped: "12x" typed is 12.
    HWND integer = GetDlgItem(d, 3101);
    SetFocus(integer);
    Retype(integer, "12x");
    SetFocus(plain);
    EXPECT_EQ(GetFocus(), plain);
    EXPECT_EQ(Text(integer), "12");
    gErrorState.lastCode = 0;
    int value = 0;
    WDialogGetInteger(3101, value);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(gErrorState.lastCode, 0);
}

TEST_F(NumericFields, TextsPutThatGiveNoNumberOfTheFieldAreReadAsErrors)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    gLibraryState.beepSwitch = 0;
    int lo = 0, hi = 10;
    WDialogRangeInteger(3101, &lo, &hi);
    struct Case {
        const char* what;
        int field;
        std::function<void()> put;
        int code; // of the read; 0: read as VALUE
        double value;
    };
    const std::vector<Case> cases = {
        {"1e99 in a real field", 3102, [] { WDialogPutString(3102, "1e99"); }, 4, 0},
        {"-1e99 in a real field", 3102, [] { WDialogPutString(3102, "-1e99"); }, 4, 0},
        {"1e400 in a double field", 3103, [] { WDialogPutString(3103, "1e400"); }, 4, 0},
        {"10,000 digits in an integer field", 3101, [] { WDialogPutString(3101, std::string(10000, '7')); }, 4, 0},
        {"12x in an integer field", 3101, [] { WDialogPutString(3101, "12x"); }, 12, 0},
        {"the asterisks of an overflowing format", 3102, [] { WDialogPutReal(3102, 12345.0f, "(F4.1)"); }, 12, 0},
        {"1e20 read as an integer", 3103, [] { WDialogPutString(3103, "1e20"); }, 4, 0},
        {"a number the field holds", 3101, [] { WDialogPutString(3101, "7"); }, 0, 7.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.put();
        HWND field = GetDlgItem(d, c.field);
        const std::string shown = Text(field);
        Read read = ReadField(c.field, c.field != 3102);
        EXPECT_EQ(read.code, c.code);
        if (c.code != 0)
            EXPECT_TRUE(read.kept) << "a failed read leaves the variable";
        else
            EXPECT_EQ(read.value, c.value);
        EXPECT_EQ(Text(field), shown) << "reading changes nothing";
    }

    // The focus does not leave a field whose text gives no number; the text
    // stays for the user to mend.
    WDialogPutString(3101, "12x");
    HWND integer = GetDlgItem(d, 3101);
    SetFocus(integer);
    SetFocus(GetDlgItem(d, 3106));
    EXPECT_EQ(GetFocus(), integer);
    EXPECT_EQ(Text(integer), "12x");
}

TEST_F(NumericFields, ModalCopyRefusesOkUntilTheValueFits)
{
    ASSERT_NE(Load(310), nullptr);
    int lo = 0, hi = 10;
    WDialogRangeInteger(3101, &lo, &hi);
    struct {
        bool active = false, focused = false, tabRefused = false, okRefused = false, dialogUp = false;
        std::string afterTab;
    } seen;
    ModalPilot pilot([&](HWND copy) {
        // Wait until the copy is the active and the foreground window (the
        // X side has given it the focus), or a focus change looks like one
        // out of the program (which the check lets pass); then wait for each
        // step's focus rather than for a fixed time.
        SetForegroundWindow(copy);
        seen.active = PumpUntil(copy, [&] { return GetActiveWindow() == copy && GetForegroundWindow() == copy; });
        HWND field = GetDlgItem(copy, 3101);
        SetFocus(field);
        seen.focused = PumpUntil(copy, [&] { return GetFocus() == field; });
        Retype(field, "42");
        Key(copy, field, VK_TAB);
        seen.tabRefused = PumpUntil(copy, [&] { return GetFocus() == field; });
        seen.afterTab = Text(field);
        SendMessageA(GetDlgItem(copy, 1), BM_CLICK, 0, 0);
        seen.okRefused = PumpUntil(copy, [&] { return GetFocus() == field; });
        seen.dialogUp = IsWindowVisible(copy) != 0;
        Retype(field, "7");
        ModalPilot::Click(copy, 1);
    });
    ShowAt(100, 100, kShowModal);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(pilot.Rescued(), 0);
    ASSERT_TRUE(seen.active) << "the modal copy never became the active window";
    ASSERT_TRUE(seen.focused);
    EXPECT_TRUE(seen.tabRefused);
    EXPECT_EQ(seen.afterTab, "42");
    EXPECT_TRUE(seen.okRefused);
    EXPECT_TRUE(seen.dialogUp) << "a refused OK does not end the show";
    EXPECT_EQ(gDialogStatus.exitField, 1);
    int value = 0;
    WDialogGetInteger(3101, value);
    EXPECT_EQ(value, 7) << "the accepted value was copied back";
}

TEST_F(NumericFields, SpinStepsClampAndSnap)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    HWND spin = GetDlgItem(d, 3104);
    FieldRecord* f = FieldRecordOf(spin);
    ASSERT_NE(f, nullptr);
    HWND upDown = f->upDownBuddy;
    ASSERT_NE(upDown, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(upDown, UDM_GETBUDDY, 0, 0)), spin);
    int udLo = 0, udHi = 0;
    SendMessageA(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&udLo), reinterpret_cast<LPARAM>(&udHi));
    EXPECT_EQ(udLo, -100);
    EXPECT_EQ(udHi, 100);
    EXPECT_EQ(LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0)), 7) << "the integer spin starts at its text";

    auto step = [&](HWND buddy, int delta) {
        NMUPDOWN nm{};
        HWND ud = FieldRecordOf(buddy)->upDownBuddy;
        nm.hdr.hwndFrom = ud;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(ud));
        nm.hdr.code = UDN_DELTAPOS;
        nm.iDelta = delta;
        LRESULT r = SendMessageA(d, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        EXPECT_EQ(nm.iDelta, 0) << "the up-down's own position never moves";
        return r;
    };
    struct Case {
        const char* what;
        const char* start;
        int delta;
        double small, large;
        int origin;
        double lower, upper;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"one up", "7", 1, 1, 5, 0, 1000, -1000, "8"},
        {"accelerated down snaps toward zero", "7", -5, 1, 5, 0, 1000, -1000, "0"},
        {"clamped at the range, not snapped", "9", 5, 1, 5, 0, 0, 10, "10"},
        {"below the range", "1", -5, 1, 5, 0, 0, 10, "0"},
        {"counted from the origin", "4", 2 - 1, 2, 5, 1, 1000, -1000, "5"},
        {"a step below 1 does not snap", "7", 1, 0.5, 5, 0, 1000, -1000, "7"},
        {"another delta changes nothing", "7", 3, 1, 5, 0, 1000, -1000, "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetWindowTextA(spin, c.start);
        SendMessageA(spin, EM_SETMODIFY, TRUE, 0); // as typed
        f->smallStep = c.small;
        f->largeStep = c.large;
        f->stepOrigin = c.origin;
        f->lowerLimit = c.lower;
        f->upperLimit = c.upper;
        EXPECT_EQ(step(spin, c.delta), 1);
        EXPECT_EQ(Text(spin), c.shown);
        if (c.delta == 1 || c.delta == -1 || c.delta == 5 || c.delta == -5) {
            EXPECT_EQ(SendMessageA(spin, EM_GETMODIFY, 0, 0), 0);
        }
    }

    // Real spins write with the field's format.
    WDialogPutReal(3105, 1.5f, "(F6.2)");
    step(GetDlgItem(d, 3105), 1);
    EXPECT_EQ(Text(GetDlgItem(d, 3105)), "2.50");
    int field = 3105;
    DialogRealSpinSteps(field, 0.25f, 1.0f);
    EXPECT_EQ(field, 3105);
    step(GetDlgItem(d, 3105), -1);
    EXPECT_EQ(Text(GetDlgItem(d, 3105)), "2.25");
    field = 3101;
    DialogIntegerSpinSteps(field, 2, 0, 0);
    EXPECT_EQ(field, -1) << "not an integer spin field";
    field = 3104;
    DialogIntegerSpinSteps(field, 3, 0, 1);
    EXPECT_EQ(f->largeStep, 3.0) << "a large step of 0 is the small one";
    EXPECT_EQ(f->stepOrigin, 1);

    // The arrow key on the field goes through the up-down control and raises
    // a field change.
    f->smallStep = 1;
    f->stepOrigin = 0;
    f->lowerLimit = 1000;
    f->upperLimit = -1000;
    WDialogPutInteger(3104, 20);
    SetFocus(spin);
    WMessageEnable(kEventFieldChanged, 1);
    Drain();
    PostMessageA(spin, WM_KEYDOWN, VK_UP, 1);
    PostMessageA(spin, WM_KEYUP, VK_UP, 0xC0000001);
    SeenEvent e = NextOfDialogs();
    EXPECT_EQ(e.type, kEventFieldChanged) << Describe(e);
    EXPECT_EQ(e.m.value1, 3104);
    EXPECT_EQ(e.m.value2, 3104);
    EXPECT_EQ(Text(spin), "21");
}

TEST_F(NumericFields, SpinOfAReadOnlyFieldIsDisabled)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    FieldRecord* f = FieldRecordOf(GetDlgItem(d, 310));
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->upDownBuddy, nullptr);
    EXPECT_FALSE(IsWindowEnabled(f->upDownBuddy));
    UDACCEL accel[2]{};
    EXPECT_EQ(SendMessageA(f->upDownBuddy, UDM_GETACCEL, 2, reinterpret_cast<LPARAM>(accel)), 2);
    EXPECT_EQ(accel[0].nSec, 0u);
    EXPECT_EQ(accel[0].nInc, 1u);
    EXPECT_EQ(accel[1].nSec, 2u);
    EXPECT_EQ(accel[1].nInc, 5u);
}

TEST_F(NumericFields, EnterOnATabPagePressesTheOutermostDefaultButton)
{
    HWND d = ShowNumbers();
    ASSERT_NE(d, nullptr);
    int index = DialogIndexById(353);
    ASSERT_GT(index, 0);
    HWND page = gDialogTable.slot[index];
    ASSERT_EQ(GetParent(page), d) << "the page is attached";
    HWND field = GetDlgItem(page, 3531);
    SetFocus(field);
    Drain();
    // The key reaches the field itself (not through the dialog loop) while
    // the library waits.
    gEnterTarget = field;
    SetTimer(nullptr, 0, 1, SendEnter);
    SeenEvent e = NextOfDialogs();
    EXPECT_EQ(e.type, kEventPushButton) << Describe(e);
    EXPECT_EQ(e.m.window, 310);
    EXPECT_EQ(e.m.value1, 1);

    EnableWindow(GetDlgItem(d, 1), FALSE);
    SetTimer(nullptr, 0, 1, SendEnter);
    SetTimer(nullptr, 0, 50, CloseActive);
    e = NextOfDialogs();
    EXPECT_EQ(e.m.value1, 2) << "a disabled default button is not pressed: " << Describe(e);
}

} // namespace
