// Field values by kind through the public routines: tables of put and get
// cases for texts and numbers, check boxes and radio groups laid out as the
// application's main dialog lays them out, track bars with selections, menus,
// clearing every kind of field, images, the focus routine and the engine
// routines no public routine reaches.
#include <cfloat>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/fixed_text.h"
#include "core/string_routines.h"
#include "support/dialog_fixture.h"
#include "dialogs/dialog_info.h"
#include "dialogs/dialog_show.h"
#include "dialogs/field_values.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

class FieldValues : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        gDialogStatus.undefinedInteger = -999;
        gDialogStatus.undefinedReal = -999.0f;
        gDialogStatus.undefinedDouble = -999.0;
    }
    static std::string FieldText(int id) { return Text(GetDlgItem(DialogCurrentWindow(), id)); }
    static FieldRecord* Record(int id) { return FieldRecordOf(GetDlgItem(DialogCurrentWindow(), id)); }
    static int Error() { return gErrorState.lastCode; }
    static void ClearError() { gErrorState.lastCode = 0; }
    // The text FORMAT gives for VALUE, left-justified and trimmed.
    static std::string Formatted(double value, const char* format)
    {
        char text[100];
        IDoubleToString(value, text, format);
        YYJustify(text, "L");
        return std::string(TrimRight(std::string_view(text, sizeof text)));
    }
};

TEST_F(FieldValues, TextsAndNumbersPutIntoFields)
{
    ASSERT_NE(Load(300), nullptr);
    enum Put { kString, kInteger, kReal, kDouble };
    struct Case {
        const char* what;
        int field;
        Put put;
        const char* text; // the string put
        double value;     // the number put
        const char* format;
        std::string shown;
        double recorded;  // the record's value afterwards
        int hasValue;
        const char* storedFormat; // nullptr: none
        int error;
    };
    const std::vector<Case> cases = {
        {"an integer, left-justified, no format kept", 306, kInteger, "", 42, "", "42", 42, 1, nullptr, 0},
        {"a real with the REALEDIT field's own format", 307, kReal, "", 3.14159, "", "3.1", 3.14159f, 1, "(F10.1)", 0},
        {"a real with a format of its own", 307, kReal, "", 2.0, "(F6.2)  ", "2.00", 2.0, 1, "(F6.2)", 0},
        {"then the field keeps that format", 307, kReal, "", 0.5, "", "0.50", 0.5, 1, "(F6.2)", 0},
        {"a REALSPIN field with a format", 308, kReal, "", 1.5, "(F10.1)", "1.5", 1.5, 1, "(F10.1)", 0},
        {"a REALSPIN field never uses its own", 308, kReal, "", 2.5, "", Formatted(2.5, "(G15.5E2)"), 2.5, 1,
         "(G15.5E2)", 0},
        {"a double", 309, kDouble, "", 1.0 / 3.0, "(F8.4)", "0.3333", 1.0 / 3.0, 1, "(F8.4)", 0},
        {"a string carries its number", 309, kString, "12.5  ", 0, "", "12.5", 12.5, 1, nullptr, 0},
        {"a blank string empties the field", 304, kString, "    ", 0, "", "", 0, 0, nullptr, 0},
        {"a text that is no number", 304, kString, "abc", 0, "", "abc", 0, 1, nullptr, 0},
        {"inside the range 0..10", 305, kInteger, "", 10, "", "10", 10, 1, nullptr, 0},
        {"outside the range: refused, unchanged", 305, kInteger, "", 11, "", "10", 10, 1, nullptr, 1009},
        {"a real outside the range", 305, kReal, "", -0.5, "", "10", 10, 1, nullptr, 1009},
        {"a string ignores the range", 305, kString, "11", 0, "", "11", 11, 1, nullptr, 0},
        {"a number into a label", 301, kInteger, "", -7, "", "-7", -7, 1, nullptr, 0},
        {"a write that overflows puts asterisks", 309, kDouble, "", 1.0e30, "(F5.1)", "**********", 1.0e30, 1,
         "(F5.1)", 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearError();
        switch (c.put) {
        case kString: WDialogPutString(c.field, c.text); break;
        case kInteger: WDialogPutInteger(c.field, static_cast<int>(c.value)); break;
        case kReal: WDialogPutReal(c.field, static_cast<float>(c.value), c.format); break;
        case kDouble: WDialogPutDouble(c.field, c.value, c.format); break;
        }
        EXPECT_EQ(Error(), c.error);
        EXPECT_EQ(FieldText(c.field), c.shown);
        FieldRecord* f = Record(c.field);
        ASSERT_NE(f, nullptr);
        EXPECT_DOUBLE_EQ(f->value, c.recorded);
        EXPECT_EQ(f->hasValue, c.hasValue);
        if (c.error == 0 || c.error == 18) {
            if (c.storedFormat) {
                EXPECT_STREQ(f->format, c.storedFormat);
            } else {
                EXPECT_EQ(f->format, nullptr);
            }
        }
    }

    // With only a lower limit the upper one is the largest integer.
    int zero = 0;
    WDialogRangeInteger(306, &zero);
    ClearError();
    WDialogPutInteger(306, 2147483647);
    EXPECT_EQ(Error(), 0);
    WDialogPutInteger(306, -1);
    EXPECT_EQ(Error(), 1009);
    // Both absent: no range at all.
    WDialogRangeInteger(306);
    ClearError();
    WDialogPutInteger(306, -123456);
    EXPECT_EQ(Error(), 0);
    EXPECT_EQ(FieldText(306), "-123456");

    ClearError();
    WDialogPutInteger(9999, 1);
    EXPECT_EQ(Error(), 1006);
    WDialogRangeInteger(9999);
    EXPECT_EQ(Error(), 1006);
}

TEST_F(FieldValues, NumbersAndTextsReadFromFields)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    // A read whose text gives no number of the type read reports the
    // conversion's code and leaves the variable (12345).
    struct Case {
        const char* what;
        int field;
        const char* text;
        int integer;
        int integerError;
        float real;
        int realError;
    };
    const std::vector<Case> cases = {
        {"truncated toward zero", 304, "-3.7", -3, 0, -3.7f, 0},
        {"an exponent", 304, "2.5E1", 25, 0, 25.0f, 0},
        {"beyond the integer range", 304, "1E20", 12345, 4, 1.0e20f, 0},
        {"below it", 304, "-1E20", 12345, 4, -1.0e20f, 0},
        {"the largest integer", 304, "2147483647", 2147483647, 0, 2147483647.0f, 0},
        {"beyond single precision", 304, "1E300", 12345, 4, 12345.0f, 4},
        {"a double-precision exponent letter is no real", 304, "1D3", 1000, 0, 12345.0f, 12},
        {"an empty field: the blank values", 304, "", -999, 1010, -999.0f, 1010},
        {"a text that is no number", 304, "x", 12345, 12, 12345.0f, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetDlgItemTextA(d, c.field, c.text);
        int i = 12345;
        float r = 12345.0f;
        ClearError();
        WDialogGetInteger(c.field, i);
        EXPECT_EQ(Error(), c.integerError);
        ClearError();
        WDialogGetReal(c.field, r);
        EXPECT_EQ(Error(), c.realError);
        EXPECT_EQ(i, c.integer);
        EXPECT_FLOAT_EQ(r, c.real);
    }

    // A numeric field that was not modified gives its recorded value, not
    // its text.
    WDialogPutString(305, "3.2");
    SetDlgItemTextA(d, 305, "3");
    FieldRecord* f = Record(305);
    f->value = 3.2;
    float r = 0;
    WDialogGetReal(305, r);
    EXPECT_FLOAT_EQ(r, 3.2f);
    SendDlgItemMessageA(d, 305, EM_SETMODIFY, TRUE, 0);
    WDialogGetReal(305, r);
    EXPECT_FLOAT_EQ(r, 3.0f);

    // Strings: cut at the variable's length and blank-padded.
    WDialogPutString(304, "a long text");
    FixedText<6> shortText;
    WDialogGetString(304, shortText);
    EXPECT_EQ(shortText.view(), "a long");
    FixedText<16> longText;
    WDialogGetString(304, longText);
    EXPECT_EQ(longText.view(), "a long text     ");
    int length = 0;
    WDialogGetStringLength(304, length);
    EXPECT_EQ(length, 11);
    ClearError();
    FixedText<4> missing("zzzz");
    WDialogGetString(9999, missing);
    EXPECT_EQ(Error(), 1006);
    EXPECT_EQ(missing.view(), "    ");
}

TEST_F(FieldValues, RadioGroupsAndCheckBoxesOfTheMainDialog)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    auto checked = [d](int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; };
    // Whichever button of the group is named, the position counts from 1001.
    struct Case {
        int put;
        int ask;
        int position;
    };
    const Case cases[] = {{1023, 1001, 2}, {1024, 1023, 3}, {1001, 1024, 1}, {1024, 1001, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.put);
        ClearError();
        WDialogPutRadioButton(c.put);
        int position = 0;
        WDialogGetRadioButton(c.ask, position);
        EXPECT_EQ(Error(), 0);
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(checked(1001), c.put == 1001);
        EXPECT_EQ(checked(1023), c.put == 1023);
        EXPECT_EQ(checked(1024), c.put == 1024);
    }
    // The check boxes after the group are not part of it.
    for (int id = 1009; id <= 1015; ++id)
        EXPECT_TRUE(checked(id)) << id;

    // A check box routine on a radio button leaves the group alone.
    WDialogPutCheckBox(1001, 1);
    EXPECT_TRUE(checked(1001));
    EXPECT_TRUE(checked(1024));
    int state = -1;
    WDialogGetCheckBox(1024, state);
    EXPECT_EQ(state, 1);

    // Clearing one button clears the group; none checked is 1010.
    WDialogClearField(1023);
    int position = 0;
    ClearError();
    WDialogGetRadioButton(1001, position);
    EXPECT_EQ(Error(), 1010);
    EXPECT_EQ(position, -999);
    EXPECT_TRUE(checked(1009));

    WDialogPutCheckBox(1011, 0);
    WDialogGetCheckBox(1011, state);
    EXPECT_EQ(state, 0);

    struct Wrong {
        const char* what;
        int field;
    };
    for (const Wrong& w : {Wrong{"a check box as a radio button", 1009}, Wrong{"a push button", 1002},
                           Wrong{"no such field", 4711}}) {
        SCOPED_TRACE(w.what);
        ClearError();
        position = 55;
        WDialogGetRadioButton(w.field, position);
        EXPECT_EQ(Error(), 1006);
        EXPECT_EQ(position, 0);
    }
    ClearError();
    WDialogGetCheckBox(1002, state);
    EXPECT_EQ(Error(), 1006);
    ClearError();
    WDialogPutRadioButton(1009);
    EXPECT_EQ(Error(), 1006);

    // A group read before and changed since is found anew: with its middle
    // button gone, the last one is the second.
    WDialogPutRadioButton(1024);
    DestroyWindow(GetDlgItem(d, 1023));
    ClearError();
    WDialogGetRadioButton(1001, position);
    EXPECT_EQ(Error(), 0);
    EXPECT_EQ(position, 2);
}

TEST_F(FieldValues, TrackBarsWithAndWithoutSelection)
{
    ASSERT_NE(Load(300), nullptr);
    struct Case {
        const char* what;
        int position;
        const int* start;
        const int* end;
        int shownStart, shownEnd; // what the get returns
    };
    const int two = 2, three = 3, six = 6, seven = 7;
    const Case cases[] = {
        {"a selection", 4, &two, &six, 2, 6},
        {"start only: the selection stays", 8, &seven, nullptr, 2, 6},
        {"start not below the end: cleared", 5, &seven, &three, 0, 0},
        {"equal ends: cleared", 1, &three, &three, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearError();
        WDialogPutTrackBar(323, c.position, c.start, c.end);
        int position = -1, start = -1, end = -1;
        WDialogGetTrackBar(323, position, &start, &end);
        EXPECT_EQ(Error(), 0);
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(start, c.shownStart);
        EXPECT_EQ(end, c.shownEnd);
    }
    TrackBarUndefinedSet(-1);
    int position = 0, start = 0, end = 0;
    WDialogGetTrackBar(323, position, &start, &end);
    EXPECT_EQ(start, -1);
    TrackBarUndefinedSet(0);

    // A track bar without a selection range.
    ASSERT_NE(Load(101), nullptr);
    WDialogPutTrackBar(1022, 40, &two, &six);
    start = end = 99;
    WDialogGetTrackBar(1022, position, &start, &end);
    EXPECT_EQ(position, 40);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);
    ClearError();
    WDialogPutTrackBar(1004, 1);
    EXPECT_EQ(Error(), 1006);
}

TEST_F(FieldValues, MenusInListsAndCombos)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    const std::string_view options[] = {"one   ", "two", "three  "};
    FixedText<8> text;
    int selected = 0;

    WDialogPutMenu(320, options, 3, 2);
    EXPECT_EQ(Error(), 0);
    EXPECT_EQ(SendDlgItemMessageA(d, 320, LB_GETCOUNT, 0, 0), 3) << "the old items are gone";
    WDialogGetMenu(320, selected, text);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(text.view(), "two     ");

    ClearError();
    WDialogPutMenu(320, options, 3, 0);
    EXPECT_EQ(Error(), 1011) << "a list box cannot select nothing";
    WDialogGetMenu(320, selected, text);
    EXPECT_EQ(Error(), 1010);
    EXPECT_EQ(selected, -999);

    // An editable combo: option 0 with a text.
    ClearError();
    WDialogPutMenu(319, options, 3, 0, "three");
    EXPECT_EQ(Error(), 0);
    WDialogGetMenu(319, selected, text);
    EXPECT_EQ(selected, 3) << "the text names an option: it is selected";
    WDialogPutMenu(319, options, 3, 0, "typed   ");
    EXPECT_EQ(Error(), 0);
    WDialogGetMenu(319, selected, text);
    EXPECT_EQ(selected, 0) << "a typed text that is no option";
    EXPECT_EQ(text.view(), "typed   ");
    WDialogPutMenu(319, options, 3, 1);
    WDialogGetMenu(319, selected);
    EXPECT_EQ(selected, 1);
    ClearError();
    WDialogPutMenu(319, options, 3, 4);
    EXPECT_EQ(Error(), 1011);
    // A count beyond the array takes what is there.
    ClearError();
    WDialogPutMenu(320, options, 10, 3);
    EXPECT_EQ(Error(), 0);
    EXPECT_EQ(SendDlgItemMessageA(d, 320, LB_GETCOUNT, 0, 0), 3);

    ClearError();
    WDialogPutMenu(304, options, 3, 1);
    EXPECT_EQ(Error(), 1006);
    ClearError();
    WDialogGetMenu(304, selected);
    EXPECT_EQ(Error(), 1006);
}

TEST_F(FieldValues, ClearingEveryKindOfField)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    ASSERT_GT(SendDlgItemMessageA(d, 324, TVM_GETCOUNT, 0, 0), 0);
    SendDlgItemMessageA(d, 322, PBM_SETPOS, 40, 0);
    WDialogPutString(305, "4");
    auto textEmpty = [d](int id) { return Text(GetDlgItem(d, id)).empty(); };
    struct Case {
        const char* what;
        int field;
        int error;
        std::function<bool()> cleared;
    };
    const std::vector<Case> cases = {
        {"edit", 304, 0, [&] { return textEmpty(304); }},
        {"integer field", 305, 0, [&] { return textEmpty(305) && Record(305)->hasValue == 0 && Record(305)->value == 0; }},
        {"label", 301, 0, [&] { return textEmpty(301); }},
        {"push button", 311, 0, [&] { return textEmpty(311); }},
        {"group box", 303, 0, [&] { return textEmpty(303); }},
        {"combo box", 319, 0, [&] { return SendDlgItemMessageA(d, 319, CB_GETCOUNT, 0, 0) == 0; }},
        {"list box", 320, 0, [&] { return SendDlgItemMessageA(d, 320, LB_GETCOUNT, 0, 0) == 0; }},
        {"check box", 314, 0, [&] { return IsDlgButtonChecked(d, 314) == BST_UNCHECKED; }},
        {"progress bar: its minimum", 322, 0, [&] { return SendDlgItemMessageA(d, 322, PBM_GETPOS, 0, 0) == 10; }},
        {"track bar with a selection range", 323, 0,
         [&] { return SendDlgItemMessageA(d, 323, TBM_GETSELSTART, 0, 0) == SendDlgItemMessageA(d, 323, TBM_GETSELEND, 0, 0); }},
        {"tree view", 324, 0, [&] { return SendDlgItemMessageA(d, 324, TVM_GETCOUNT, 0, 0) == 0; }},
        {"bitmap static: its image goes", 327, 0, [&] { return SendDlgItemMessageA(d, 327, STM_GETIMAGE, IMAGE_BITMAP, 0) == 0; }},
        {"tab control", 321, 1006, [] { return true; }},
        {"header", 325, 1006, [] { return true; }},
        {"no such field", 4711, 1006, [] { return true; }},
    };
    HANDLE bitmap = reinterpret_cast<HANDLE>(SendDlgItemMessageA(d, 327, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearError();
        WDialogClearField(c.field);
        EXPECT_EQ(Error(), c.error);
        EXPECT_TRUE(c.cleared());
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the static's bitmap was freed";
}

TEST_F(FieldValues, ImagesOfEveryKind)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    auto image = [d](int id, UINT type, UINT message) {
        return reinterpret_cast<HANDLE>(SendDlgItemMessageA(d, id, message, type, 0));
    };
    HANDLE oldButton = image(328, IMAGE_BITMAP, BM_GETIMAGE);
    ASSERT_NE(oldButton, nullptr);

    struct Case {
        const char* what;
        int field;
        int identifier;
        int kind;
        int error;
    };
    const std::vector<Case> cases = {
        {"bitmap resource on a button", 328, 327, 1, 0},
        {"the program's icon on a text static", 330, 0, 2, 0},
        {"icon resource on a button", 326, 77, 2, 0},
        {"metafile resource on a static", 329, 900, 5, 0},
        {"metafile on a button", 311, 900, 5, 1006},
        {"bitmap on an edit", 304, 327, 1, 1006},
        {"missing bitmap", 328, 4444, 1, 1015},
        {"missing metafile resource", 329, 4444, 5, 1015},
        {"library bitmap handle out of range", 328, 60, 3, 1015},
        {"library bitmap slot without a bitmap", 328, 3, 3, 1015},
        {"metafile slot out of range", 329, 21, 4, 1015},
        {"metafile slot not an enhanced metafile", 329, 3, 4, 1061},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearError();
        int kind = c.kind;
        WDialogPutImage(c.field, c.identifier, &kind);
        EXPECT_EQ(Error(), c.error);
    }
    LONG buttonStyle = GetWindowLongA(GetDlgItem(d, 328), GWL_STYLE);
    EXPECT_TRUE(buttonStyle & BS_BITMAP);
    HANDLE newButton = image(328, IMAGE_BITMAP, BM_GETIMAGE);
    EXPECT_NE(newButton, nullptr);
    EXPECT_NE(newButton, oldButton);
    EXPECT_EQ(GetObjectType(oldButton), 0u) << "the image the field held before is freed";
    EXPECT_EQ(GetWindowLongA(GetDlgItem(d, 330), GWL_STYLE) & SS_TYPEMASK, SS_ICON);
    EXPECT_NE(image(330, IMAGE_ICON, STM_GETIMAGE), nullptr);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(d, 326), GWL_STYLE) & BS_ICON);
    EXPECT_NE(image(326, IMAGE_ICON, BM_GETIMAGE), nullptr);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(d, 329), GWL_STYLE) & SS_TYPEMASK, SS_ENHMETAFILE);
    EXPECT_NE(image(329, IMAGE_ENHMETAFILE, STM_GETIMAGE), nullptr);
}

TEST_F(FieldValues, FocusAndCaretOfAField)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    WDialogPutString(304, "abcdef");
    HWND edit = GetDlgItem(d, 304);
    // Hidden: nothing happens.
    WDialogSetField(304);
    EXPECT_NE(GetFocus(), edit);
    EXPECT_EQ(Error(), 0);

    Show(d);
    auto selection = [edit] {
        DWORD s = 0, e = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return std::make_pair(static_cast<int>(s), static_cast<int>(e));
    };
    int third = 3;
    WDialogSetField(304, &third);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(selection(), std::make_pair(2, 2)) << "the caret before the third character";
    EXPECT_EQ(DialogRecordWords(d)[kDlgCurrentField], 304);
    EXPECT_EQ(DialogRecordHandle(d, kDlgFocusField), edit);
    WDialogSetField(314);
    EXPECT_EQ(GetFocus(), GetDlgItem(d, 314));
    WDialogSetField(304);
    EXPECT_EQ(selection(), std::make_pair(0, 6)) << "absent: the whole text";
    ClearError();
    WDialogSetField(4711);
    EXPECT_EQ(Error(), 1006);
}

// A field that already shows the text put keeps it (no text set, no paint)
// unless it has the focus, where the user may be editing it; the focus is
// followed through the field's own focus messages.
LONG_PTR gCountedProc = 0;
int gSetTexts = 0;
LRESULT CALLBACK CountSetText(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_SETTEXT)
        ++gSetTexts;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(gCountedProc), w, m, wp, lp);
}

TEST_F(FieldValues, AnUnchangedTextIsSetAgainOnlyWhereTheFocusIs)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    Show(d);
    HWND edit = GetDlgItem(d, 304);
    WDialogPutString(304, "abc");
    WDialogSetField(314);
    ASSERT_EQ(GetFocus(), GetDlgItem(d, 314));
    gSetTexts = 0;
    gCountedProc = SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountSetText));

    struct Step {
        const char* what;
        int focusField; // 0: focus left where it is
        const char* put;
        int setTexts; // WM_SETTEXT received so far
    };
    const Step steps[] = {
        {"same text, focus elsewhere", 0, "abc", 0},
        {"new text", 0, "abd", 1},
        {"same text, focus in the field", 304, "abd", 2},
        {"same text, focus gone again", 314, "abd", 2},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.focusField)
            WDialogSetField(step.focusField);
        WDialogPutString(304, step.put);
        EXPECT_EQ(gSetTexts, step.setTexts);
        EXPECT_EQ(FieldText(304), step.put);
        EXPECT_EQ(Record(304)->focused != 0, GetFocus() == edit);
        EXPECT_EQ(Record(314)->focused != 0, GetFocus() == GetDlgItem(d, 314));
    }
    SetWindowLongPtrA(edit, GWLP_WNDPROC, gCountedProc);
}

TEST_F(FieldValues, EngineRoutinesWithoutPublicCallers)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    int id = 322;
    DialogProgressRange(id, 0, 200);
    DialogProgressPut(id, 50, 0);
    DialogProgressPut(id, 25, 1);
    EXPECT_EQ(id, 322);
    EXPECT_EQ(SendDlgItemMessageA(d, 322, PBM_GETPOS, 0, 0), 75);

    id = 323;
    DialogTrackBarRange(id, -10, 10, 5);
    DialogTrackBarSteps(id, 2, 0);
    EXPECT_EQ(id, 323);
    int lo = 0, hi = 0;
    DialogTrackBarRangeGet(id, lo, hi);
    EXPECT_EQ(lo, -10);
    EXPECT_EQ(hi, 10);
    EXPECT_EQ(SendDlgItemMessageA(d, 323, TBM_GETPAGESIZE, 0, 0), 2) << "page 0: the line size";

    id = 321;
    int page = 0;
    DialogTabGet(id, page);
    EXPECT_EQ(page, 352);

    id = 304;
    DialogFieldOptionSet(id, 3, 1);
    EXPECT_EQ(Record(304)->reportChanges, 1);
    id = 314;
    DialogFieldOptionSet(id, 3, 1);
    EXPECT_EQ(id, -1) << "report changes: edit, grid and combo fields only";

    for (int wrong : {304, 4711}) {
        int a = wrong, b = wrong, c = wrong, e = wrong;
        DialogProgressPut(a, 1, 0);
        DialogTrackBarSteps(b, 1, 1);
        DialogTabGet(c, page);
        DialogTrackBarRangeGet(e, lo, hi);
        EXPECT_EQ(a, -1);
        EXPECT_EQ(b, -1);
        EXPECT_EQ(c, -1);
        EXPECT_EQ(e, -1);
    }

    id = 304;
    char text[20];
    DialogFieldFormat(id, text);
    EXPECT_STREQ(text, "(G15.5E2)");
    id = 307;
    DialogFieldFormat(id, text);
    EXPECT_STREQ(text, "(F10.1)");
}

TEST_F(FieldValues, EveryRoutineNeedsACurrentDialog)
{
    ASSERT_EQ(gDialogStatus.currentDialogId, 0);
    int i = 0;
    float r = 0;
    FixedText<4> t;
    const std::vector<std::function<void()>> calls = {
        [&] { WDialogPutString(1, "x"); },      [&] { WDialogGetString(1, t); },
        [&] { WDialogGetStringLength(1, i); },  [&] { WDialogPutReal(1, 1.0f); },
        [&] { WDialogPutDouble(1, 1.0); },      [&] { WDialogGetInteger(1, i); },
        [&] { WDialogGetReal(1, r); },          [&] { WDialogPutCheckBox(1, 1); },
        [&] { WDialogGetCheckBox(1, i); },      [&] { WDialogPutRadioButton(1); },
        [&] { WDialogGetRadioButton(1, i); },   [&] { WDialogPutTrackBar(1, 1); },
        [&] { WDialogGetTrackBar(1, i); },      [&] { WDialogGetMenu(1, i); },
        [&] { WDialogClearField(1); },          [&] { WDialogSetField(1); },
        [&] { WDialogRangeInteger(1); },        [&] { WDialogPutImage(1, 1); },
        [&] { WDialogPutInteger(1, 1); },       [&] { WDialogShow(); },
        [&] { WDialogHide(); },                 [&] { WDialogUnload(); },
        [&] { WDialogTitle("t"); },
    };
    for (size_t k = 0; k < calls.size(); ++k) {
        ClearError();
        calls[k]();
        EXPECT_EQ(Error(), 1005) << "call " << k;
    }
}

} // namespace
