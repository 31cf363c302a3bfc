// Loading dialogs from the test resources: the table and its errors, field
// types and records, every extras section applied to its control, field
// states, and what a destroyed dialog gives back.
#include <cstring>
#include <vector>

#include "support/dialog_fixture.h"
#include "dialogs/dialog_procedure.h"
#include "dialogs/numeric_edit_classes.h"

namespace {

struct TypeCase {
    int id;
    int type;
};

int FontHeightFor(int points)
{
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    int dpi = GetDeviceCaps(mem, LOGPIXELSY);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return -MulDiv(points, dpi, 72);
}

LOGFONTA FontOf(HWND w)
{
    LOGFONTA lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0));
    if (font)
        GetObjectA(font, sizeof lf, &lf);
    return lf;
}

class DialogLoad : public DialogFixture {};

TEST_F(DialogLoad, TableSelectionAndErrors)
{
    // A resource loaded twice under one identifier is loaded once.
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(gDialogStatus.currentDialogId, 101);
    EXPECT_EQ(Load(101), d);
    EXPECT_EQ(DialogTableCount(), 1);

    // The same template under another identifier is a second dialog.
    HWND five = Load(101, 5);
    ASSERT_NE(five, nullptr);
    EXPECT_NE(five, d);
    EXPECT_EQ(DialogTableCount(), 2);
    EXPECT_EQ(gDialogStatus.currentDialogId, 5);
    EXPECT_EQ(DialogIndexById(101), 1);
    EXPECT_EQ(DialogIndexById(5), 2);
    EXPECT_EQ(DialogRecordWords(five)[kDlgIdentifier], 5);

    WDialogSelect(101);
    EXPECT_EQ(DialogCurrentWindow(), d);
    EXPECT_EQ(gDialogStatus.currentDialogId, 101);

    struct ErrorCase {
        const char* what;
        int resource;
        int code;
    };
    const ErrorCase errors[] = {
        {"no such DIALOG resource", 9999, 1007},
        {"resource number 0", 0, 1007},
        {"a control of an unregistered class", 450, 1088},
    };
    for (const ErrorCase& e : errors) {
        gErrorState.lastCode = 0;
        WDialogLoad(e.resource);
        EXPECT_EQ(gErrorState.lastCode, e.code) << e.what;
        EXPECT_EQ(DialogTableCount(), 2) << e.what;
        EXPECT_EQ(DialogCurrentWindow(), d) << e.what;
        EXPECT_EQ(gDialogStatus.currentDialogId, 101) << e.what;
    }

    gErrorState.lastCode = 0;
    WDialogSelect(77);
    EXPECT_EQ(gErrorState.lastCode, 1008);
    EXPECT_EQ(gDialogStatus.currentDialogId, 101);
    EXPECT_EQ(DialogCurrentWindow(), d);
}

// The field and record lookups follow the windows: a destroyed control is
// found no more and gives no record, a control created in its place with its
// id is the one found (without a record), and two dialogs with the same ids
// each give their own control.
TEST_F(DialogLoad, LookupsFollowControlsAndRecords)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    HWND five = Load(101, 5);
    ASSERT_NE(five, nullptr);

    WDialogSelect(101);
    HWND field = DialogCurrentField(1004);
    ASSERT_EQ(field, GetDlgItem(d, 1004));
    ASSERT_NE(FieldRecordOf(field), nullptr);
    ASSERT_NE(DialogRecordOf(d), nullptr);
    EXPECT_EQ(FieldRecordOf(d), nullptr); // a dialog record is no field record
    EXPECT_EQ(DialogRecordOf(field), nullptr);

    WDialogSelect(5);
    HWND other = DialogCurrentField(1004);
    EXPECT_EQ(other, GetDlgItem(five, 1004));
    EXPECT_NE(other, field);
    WDialogSelect(101);
    EXPECT_EQ(DialogCurrentField(1004), field);

    DestroyWindow(field);
    EXPECT_EQ(FieldRecordOf(field), nullptr);
    EXPECT_EQ(DialogCurrentField(1004), nullptr);

    HWND again = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 40, 12, d,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(1004)), GetModuleHandleA(nullptr),
                                 nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(DialogCurrentField(1004), again);
    EXPECT_EQ(FieldRecordOf(again), nullptr);
    // Another id moved onto it: found under its new id only.
    SetWindowLongPtrA(again, GWLP_ID, 1104);
    EXPECT_EQ(DialogCurrentField(1004), nullptr);
    EXPECT_EQ(DialogCurrentField(1104), again);

    WDialogSelect(5);
    EXPECT_EQ(DialogCurrentField(1004), other);
    EXPECT_NE(FieldRecordOf(other), nullptr);
}

TEST_F(DialogLoad, HundredDialogsFillTheTable)
{
    for (int i = 0; i < kDialogTableSize; ++i)
        ASSERT_NE(Load(500, 1000 + i), nullptr) << i;
    EXPECT_EQ(DialogTableCount(), 100);
    EXPECT_EQ(gErrorState.lastCode, 0);
    HWND last = DialogCurrentWindow();

    int ident = 2000;
    WDialogLoad(500, &ident);
    EXPECT_EQ(gErrorState.lastCode, 1087);
    EXPECT_EQ(DialogTableCount(), 100);
    EXPECT_EQ(DialogIndexById(2000), -1);
    EXPECT_EQ(DialogCurrentWindow(), last);
    EXPECT_EQ(gDialogStatus.currentDialogId, 1099);

    // A loaded identifier is still only selected when the table is full.
    gErrorState.lastCode = 0;
    Load(500, 1000);
    EXPECT_EQ(gErrorState.lastCode, 0);
    EXPECT_EQ(DialogCurrentWindow(), DialogTableWindow(1));
}

TEST_F(DialogLoad, ApplicationLikeDialog)
{
    HWND d = Load(101);
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(IsWindowVisible(d));
    const int32_t* w = DialogRecordWords(d);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w[kDlgIdentifier], 101);
    EXPECT_EQ(w[kDlgGridCell], 0x40001);
    RECT r;
    GetWindowRect(d, &r);
    EXPECT_EQ(w[kDlgMinWidth], r.right - r.left);
    EXPECT_EQ(w[kDlgMinHeight], r.bottom - r.top);
    EXPECT_EQ(w[kDlgStretchField], 0);

    const TypeCase types[] = {
        {1029, kFieldGroupBox}, {1001, kFieldRadioButton}, {1023, kFieldRadioButton}, {1009, kFieldCheckBox},
        {1015, kFieldCheckBox}, {1018, kFieldLabel},       {1004, kFieldInteger},     {1021, kFieldTrackBar},
        {1033, kFieldTrackBar}, {1003, kFieldPushButton},  {1002, kFieldPushButton},
    };
    for (const TypeCase& t : types) {
        int field = t.id, type = -5;
        DialogFieldTypeGet(field, type);
        EXPECT_EQ(field, t.id);
        EXPECT_EQ(type, t.type) << "control " << t.id;
    }
    int missing = 4711, type = -5;
    DialogFieldTypeGet(missing, type);
    EXPECT_EQ(missing, -1);

    for (int id = 1009; id <= 1015; ++id)
        EXPECT_EQ(IsDlgButtonChecked(d, id), BST_CHECKED) << id;
    EXPECT_EQ(IsDlgButtonChecked(d, 1001), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, 1023), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, 1024), BST_UNCHECKED);

    for (int id : {1021, 1022, 1005, 1033}) {
        HWND tb = GetDlgItem(d, id);
        EXPECT_EQ(SendMessageA(tb, TBM_GETRANGEMIN, 0, 0), 0) << id;
        EXPECT_EQ(SendMessageA(tb, TBM_GETRANGEMAX, 0, 0), 100) << id;
        EXPECT_EQ(SendMessageA(tb, TBM_GETPOS, 0, 0), 0) << id;
        EXPECT_EQ(SendMessageA(tb, TBM_GETLINESIZE, 0, 0), 1) << id;
        EXPECT_EQ(SendMessageA(tb, TBM_GETPAGESIZE, 0, 0), 10) << id;
        EXPECT_EQ(SendMessageA(tb, TBM_GETNUMTICS, 0, 0), 11) << id; // every 10 from 0 to 100
    }

    // The integer fields: record made at creation, limit 11, value of "0".
    FieldRecord* p1 = FieldRecordOf(GetDlgItem(d, 1004));
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->textLimit, 11);
    EXPECT_EQ(SendMessageA(GetDlgItem(d, 1004), EM_GETLIMITTEXT, 0, 0), 11);
    EXPECT_EQ(p1->hasValue, 1);
    EXPECT_EQ(p1->smallStep, 1.0);
    EXPECT_EQ(p1->largeStep, 5.0);
    EXPECT_EQ(p1->foreColour, 191 + 191 * 65536);
    EXPECT_EQ(p1->backColour, -1);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 1009))->foreColour, 255 * 65536);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 1018))->foreColour, 159 + 159 * 65536);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 1011))->foreColour, -1);

    LOGFONTA help = FontOf(GetDlgItem(d, 1003));
    EXPECT_STREQ(help.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(help.lfWeight, 700);
    EXPECT_EQ(help.lfHeight, FontHeightFor(10));
    EXPECT_EQ(help.lfItalic, 0);
    // A control without a "[Fonts]" line keeps the dialog's font.
    EXPECT_EQ(SendMessageA(GetDlgItem(d, 1011), WM_GETFONT, 0, 0), SendMessageA(d, WM_GETFONT, 0, 0));

    // Every field's recorded state is the one its styles show.
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 1004))->state, kStateEnabled);
}

TEST_F(DialogLoad, EveryClassAndEverySection)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(gErrorState.lastCode, 0);
    // The tab pages loaded behind the dialog; the dialog stays current.
    EXPECT_EQ(DialogTableCount(), 3);
    EXPECT_EQ(DialogCurrentWindow(), DialogTableWindow(1));
    EXPECT_EQ(gDialogStatus.currentDialogId, 300);
    EXPECT_EQ(DialogIndexById(351), 2);
    EXPECT_EQ(DialogIndexById(352), 3);

    const TypeCase types[] = {
        {301, kFieldLabel},       {302, kFieldStatic},      {303, kFieldGroupBox},    {304, kFieldString},
        {305, kFieldInteger},     {306, kFieldInteger},     {307, kFieldReal},        {308, kFieldReal},
        {309, kFieldDouble},      {310, kFieldDouble},      {311, kFieldPushButton},  {312, kFieldPushButton},
        {313, kFieldPushButton},  {314, kFieldCheckBox},    {315, kFieldCheckBox},    {316, kFieldCheckBox},
        {317, kFieldRadioButton}, {318, kFieldRadioButton}, {319, kFieldCombo},       {320, kFieldList},
        {321, kFieldTab},         {322, kFieldProgress},    {323, kFieldTrackBar},    {324, kFieldTree},
        {325, kFieldOther},       {327, kFieldStatic},      {329, kFieldLabel},       {330, kFieldLabel},
    };
    for (const TypeCase& t : types) {
        int field = t.id, type = -5;
        DialogFieldTypeGet(field, type);
        EXPECT_EQ(type, t.type) << "control " << t.id;
        EXPECT_NE(FieldRecordOf(GetDlgItem(d, t.id)), nullptr) << "control " << t.id;
    }

    // Button kinds become the automatic ones.
    auto kind = [d](int id) { return GetWindowLongA(GetDlgItem(d, id), GWL_STYLE) & 15; };
    EXPECT_EQ(kind(314), BS_AUTOCHECKBOX);
    EXPECT_EQ(kind(315), BS_AUTOCHECKBOX);
    EXPECT_EQ(kind(317), BS_AUTORADIOBUTTON);
    EXPECT_EQ(kind(313), BS_OWNERDRAW);
    EXPECT_NE(GetWindowLongA(GetDlgItem(d, 303), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);

    // Images: a bitmap button without its resource shows its text.
    EXPECT_EQ(GetWindowLongA(GetDlgItem(d, 326), GWL_STYLE) & (BS_BITMAP | BS_ICON), 0);
    EXPECT_NE(SendMessageA(GetDlgItem(d, 327), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_NE(SendMessageA(GetDlgItem(d, 328), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    // Records: defaults, numeric values and steps.
    FieldRecord* edit = FieldRecordOf(GetDlgItem(d, 304));
    EXPECT_EQ(edit->smallStep, 0.0);
    EXPECT_EQ(edit->largeStep, 0.0);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 311))->lowerLimit, 1000.0);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 311))->upperLimit, -1000.0);
    FieldRecord* integer = FieldRecordOf(GetDlgItem(d, 305));
    EXPECT_EQ(integer->value, 3.0);
    EXPECT_EQ(integer->hasValue, 1);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 309))->value, 2.5);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 308))->hasValue, 0);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 306))->textLimit, 11);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 307))->smallStep, 1.0);

    // [Ranges]
    EXPECT_EQ(integer->lowerLimit, 0.0);
    EXPECT_EQ(integer->upperLimit, 10.0);
    HWND progress = GetDlgItem(d, 322);
    PBRANGE range{};
    SendMessageA(progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 50);
    EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 30);
    HWND tb = GetDlgItem(d, 323);
    EXPECT_EQ(SendMessageA(tb, TBM_GETRANGEMIN, 0, 0), -5);
    EXPECT_EQ(SendMessageA(tb, TBM_GETRANGEMAX, 0, 0), 20);
    EXPECT_EQ(SendMessageA(tb, TBM_GETPOS, 0, 0), 7);
    // [Trackbars] with a selection range
    EXPECT_EQ(SendMessageA(tb, TBM_GETLINESIZE, 0, 0), 2);
    EXPECT_EQ(SendMessageA(tb, TBM_GETPAGESIZE, 0, 0), 4);
    EXPECT_EQ(SendMessageA(tb, TBM_GETSELSTART, 0, 0), 1);
    EXPECT_EQ(SendMessageA(tb, TBM_GETSELEND, 0, 0), 3);

    // [Menus]: items in order, leading blanks kept; initial 0 selects nothing.
    HWND combo = GetDlgItem(d, 319);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    char item[64] = {};
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "  second item");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    HWND list = GetDlgItem(d, 320);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);

    // [Checks]
    EXPECT_EQ(IsDlgButtonChecked(d, 314), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, 318), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, 316), BST_UNCHECKED);

    // [Tabs]: labels, page identifiers, the initial page selected.
    HWND tab = GetDlgItem(d, 321);
    ASSERT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    char label[64] = {};
    TCITEMA ti{};
    ti.mask = TCIF_TEXT;
    ti.pszText = label;
    ti.cchTextMax = sizeof label;
    SendMessageA(tab, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(label, "Page one");
    EXPECT_EQ(TabItemDataGet(tab, 0).page, 351);
    EXPECT_EQ(TabItemDataGet(tab, 1).page, 352);
    EXPECT_EQ(TabItemDataGet(tab, 1).disabled, 0);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);

    // [Colours]
    FieldRecord* label301 = FieldRecordOf(GetDlgItem(d, 301));
    EXPECT_EQ(label301->foreColour, 0x0000ff);
    EXPECT_EQ(label301->backColour, -1);
    EXPECT_EQ(edit->foreColour, -1);
    EXPECT_EQ(edit->backColour, 128 * 256);

    // [Lengths]
    EXPECT_EQ(edit->textLimit, 20);
    EXPECT_EQ(SendMessageA(GetDlgItem(d, 304), EM_GETLIMITTEXT, 0, 0), 20);
    EXPECT_EQ(integer->textLimit, 8);
    EXPECT_EQ(SendMessageA(GetDlgItem(d, 305), EM_GETLIMITTEXT, 0, 0), 8);
    EXPECT_EQ(FieldRecordOf(combo)->textLimit, 12);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(DialogTableWindow(2), 3511))->textLimit, 32767);

    // [Dialog]: the accelerator flag; no stretch field, so fixed.
    EXPECT_EQ(DialogRecordWords(d)[kDlgMainAccelerators], 1);
    EXPECT_EQ(DialogIsResizable(d), 0);

    // [Formats] and [Flags]
    ASSERT_NE(FieldRecordOf(GetDlgItem(d, 307))->format, nullptr);
    EXPECT_STREQ(FieldRecordOf(GetDlgItem(d, 307))->format, "(F10.1)");
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 309))->format, nullptr);
    EXPECT_EQ(FieldRecordOf(list)->flags, 1);

    // [Treeviews]: the menu's items, the checked popup expanded, 712 selected.
    HWND tree = GetDlgItem(d, 324);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 4);
    auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    ASSERT_NE(selected, nullptr);
    char text[64] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = selected;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_STREQ(text, "Pear");
    EXPECT_EQ(tv.lParam, 712);
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_NE(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(root), TVIS_EXPANDED) & TVIS_EXPANDED, 0);
    LONG treeStyle = GetWindowLongA(tree, GWL_STYLE);
    EXPECT_EQ(treeStyle & (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT), TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);

    // [Fonts]: bold italic 12 points; italic 2 gives an upright font.
    LOGFONTA f301 = FontOf(GetDlgItem(d, 301));
    EXPECT_STREQ(f301.lfFaceName, "Arial");
    EXPECT_EQ(f301.lfHeight, FontHeightFor(12));
    EXPECT_EQ(f301.lfWeight, 700);
    EXPECT_EQ(f301.lfItalic, 1);
    LOGFONTA f302 = FontOf(GetDlgItem(d, 302));
    EXPECT_EQ(f302.lfWeight, 400);
    EXPECT_EQ(f302.lfItalic, 0);

    // States recorded at load: the read-only spin field is read-only.
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 310))->state, kStateReadOnly);
    EXPECT_EQ(FieldRecordOf(GetDlgItem(d, 304))->state, kStateEnabled);
}

TEST_F(DialogLoad, FieldStates)
{
    WDialogFieldState(304, 2);
    EXPECT_EQ(gErrorState.lastCode, 1005);

    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    Show(d);
    gErrorState.lastCode = 0;
    WDialogFieldState(4711, 1);
    EXPECT_EQ(gErrorState.lastCode, 1006);

    struct StateCase {
        int id;
        int state;
        bool enabled, visible, readOnly;
        int readBack;
    };
    const StateCase cases[] = {
        {314, kStateReadOnly, false, true, false, kStateDisabled}, // read-only disables a check box
        {304, kStateReadOnly, true, true, true, kStateReadOnly},   // an edit stays enabled, read-only
        {305, kStateReadOnly, true, true, true, kStateReadOnly},
        {304, kStateEnabled, true, true, false, kStateEnabled},
        {311, kStateDisabled, false, true, false, kStateDisabled},
        {311, kStateHidden, false, false, false, kStateHidden},
        {311, kStateEnabled, true, true, false, kStateEnabled},
    };
    for (const StateCase& c : cases) {
        gErrorState.lastCode = 0;
        WDialogFieldState(c.id, c.state);
        EXPECT_EQ(gErrorState.lastCode, 0);
        HWND w = GetDlgItem(d, c.id);
        EXPECT_EQ(IsWindowEnabled(w) != 0, c.enabled) << c.id << " state " << c.state;
        EXPECT_EQ((GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) != 0, c.visible) << c.id << " state " << c.state;
        EXPECT_EQ((GetWindowLongA(w, GWL_STYLE) & ES_READONLY) != 0 && c.id != 314 && c.id != 311, c.readOnly)
            << c.id << " state " << c.state;
        EXPECT_EQ(FieldRecordOf(w)->state, c.state);
        int field = c.id, state = -1;
        DialogFieldStateGet(field, state);
        EXPECT_EQ(state, c.readBack) << c.id << " state " << c.state;
    }

    // Hiding the field that has the focus gives the focus to the dialog
    // (which passes it on to one of its own controls).
    HWND edit = GetDlgItem(d, 304);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    WDialogFieldState(304, kStateHidden);
    HWND focus = GetFocus();
    EXPECT_NE(focus, edit);
    EXPECT_TRUE(focus == d || IsChild(d, focus));
}

TEST_F(DialogLoad, DestroyingFreesFontsAndImages)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    auto bitmap = reinterpret_cast<HGDIOBJ>(SendMessageA(GetDlgItem(d, 327), STM_GETIMAGE, IMAGE_BITMAP, 0));
    auto buttonImage = reinterpret_cast<HGDIOBJ>(SendMessageA(GetDlgItem(d, 328), BM_GETIMAGE, IMAGE_BITMAP, 0));
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(GetDlgItem(d, 301), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectType(bitmap), 0u);
    ASSERT_NE(GetObjectType(buttonImage), 0u);
    ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    HWND edit = GetDlgItem(d, 304);
    ASSERT_NE(FieldRecordOf(edit), nullptr);

    DialogTableDestroyAll();
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(DialogTableCount(), 0);
    EXPECT_EQ(gDialogStatus.currentDialogId, 0);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(buttonImage), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
}

TEST_F(DialogLoad, ResizableDialogAnchorsAndLayout)
{
    HWND d = Load(400);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(DialogIsResizable(d), 0);
    EXPECT_EQ(DialogRecordHandle(d, kDlgStretchField), GetDlgItem(d, 401));
    auto anchors = [d](int id) { return FieldRecordOf(GetDlgItem(d, id))->anchors; };
    EXPECT_EQ(anchors(401), kAnchorRight | kAnchorBottom);                 // the stretch field
    EXPECT_EQ(anchors(405), kAnchorRight | kAnchorBottom);                 // encloses it
    EXPECT_EQ(anchors(402), kAnchorLeft | kAnchorRight);                   // right of it
    EXPECT_EQ(anchors(403), kAnchorRight | kAnchorTop | kAnchorBottom);    // aligned below it
    EXPECT_EQ(anchors(404), 0);                                            // above, not aligned

    // The size grip sits in the bottom-right corner.
    HWND grip = nullptr;
    for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindowLongA(c, GWL_STYLE) & SBS_SIZEGRIP)
            grip = c;
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(GetDlgCtrlID(grip), -1);

    auto rectOf = [d](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(d, id), &r);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT b402 = rectOf(402), b403 = rectOf(403), b404 = rectOf(404), b401 = rectOf(401);
    RECT w;
    GetWindowRect(d, &w);
    SetWindowPos(d, nullptr, 0, 0, w.right - w.left + 40, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT a402 = rectOf(402), a403 = rectOf(403), a404 = rectOf(404), a401 = rectOf(401);
    EXPECT_EQ(a402.left, b402.left + 40);
    EXPECT_EQ(a402.right, b402.right + 40);
    EXPECT_EQ(a403.left, b403.left);
    EXPECT_EQ(a403.right, b403.right + 40);
    EXPECT_EQ(a403.top, b403.top);
    EXPECT_EQ(a401.right, b401.right + 40);
    EXPECT_TRUE(EqualRect(&a404, &b404));
    RECT client, g;
    GetClientRect(d, &client);
    GetWindowRect(grip, &g);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&g), 2);
    EXPECT_EQ(g.right, client.right);
    EXPECT_EQ(g.bottom, client.bottom);

    // The dialog cannot be made smaller than it was at load.
    MINMAXINFO mm{};
    SendMessageA(d, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_EQ(mm.ptMinTrackSize.x, w.right - w.left);
    EXPECT_EQ(mm.ptMinTrackSize.y, w.bottom - w.top);
}

TEST_F(DialogLoad, FieldColoursAnswerTheColourMessages)
{
    HWND d = Load(300);
    ASSERT_NE(d, nullptr);
    HDC dc = GetDC(d);
    auto colour = [&](UINT message, int id) {
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        return DialogFieldColourApply(d, message, dc, GetDlgItem(d, id));
    };
    // Red text on the system face colour for a static, on the window colour for an edit.
    EXPECT_EQ(colour(WM_CTLCOLORSTATIC, 301), reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(colour(WM_CTLCOLOREDIT, 305), reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    // A background of its own: a brush of that colour, the system text colour.
    INT_PTR brush = colour(WM_CTLCOLOREDIT, 304);
    ASSERT_NE(brush, 0);
    LOGBRUSH lb{};
    GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(0, 128, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 128, 0));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    // The next answer deletes that brush; uncoloured fields and tree views
    // are left to the system.
    EXPECT_EQ(colour(WM_CTLCOLORSTATIC, 302), 0);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(brush)), 0u);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(colour(WM_CTLCOLOREDIT, 324), 0);
    // The edit inside a combo box is coloured as its combo box.
    HWND comboEdit = GetWindow(GetDlgItem(d, 319), GW_CHILD);
    ASSERT_NE(comboEdit, nullptr);
    FieldRecordOf(GetDlgItem(d, 319))->foreColour = RGB(0, 0, 255);
    EXPECT_EQ(DialogFieldColourApply(d, WM_CTLCOLOREDIT, dc, comboEdit),
              reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    // The dialog procedure answers the message with the same brush.
    EXPECT_EQ(SendMessageA(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(GetDlgItem(d, 301))),
              reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)));
    ReleaseDC(d, dc);
}

} // namespace
