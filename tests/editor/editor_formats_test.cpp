// The editor's font and formats: Bold toggling over mixed text, the range
// routines' statuses, the font routine on an unmodified text, the Lucida
// Console family, and the format button and menu states.
#include "editor_fixture.h"

#include <commctrl.h>

#include "core/window_services.h"
#include "dialogs/modal_pilot.h"

namespace {

void Select(EditorRecord* r, int a, int b)
{
    CHARRANGE s{a, b};
    SendMessageA(r->richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&s));
}

// Bold over START..END: 1 all bold, 0 none, -1 mixed.
int BoldOver(EditorRecord* r, int start, int end)
{
    CHARRANGE saved{};
    SendMessageA(r->richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    Select(r, start, end);
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(r->richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(r->richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    if (!(cf.dwMask & CFM_BOLD))
        return -1;
    return (cf.dwEffects & CFE_BOLD) ? 1 : 0;
}

LOGFONTA FontOf(EditorRecord* r)
{
    LOGFONTA lf{};
    GetObjectA(r->font, sizeof lf, &lf);
    return lf;
}

} // namespace

TEST_F(EditorTest, BoldTwiceOnHalfBoldText)
{
    EditorRecord* r = Create(kEditorRichText);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "abcdef");
    EditorCharFormatSet(status, 1, 3, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(BoldOver(r, 0, 3), 1);
    EXPECT_EQ(BoldOver(r, 3, 6), 0);
    Select(r, 0, 6);
    EXPECT_EQ(BoldOver(r, 0, 6), -1);
    SendMessageA(r->frame, WM_COMMAND, kCmdBold, 0);
    EXPECT_EQ(BoldOver(r, 0, 6), 1) << "mixed becomes all bold";
    SendMessageA(r->frame, WM_COMMAND, kCmdBold, 0);
    EXPECT_EQ(BoldOver(r, 0, 6), 0) << "uniform bold is inverted";
    // The selection stays where the user had it across the range routine.
    Select(r, 4, 5);
    EditorCharFormatSet(status, 1, 2, -1, 1, 1, -1, 20, 0x0000FF, -1, "Courier New and a face name over 31 characters");
    CHARRANGE s{};
    SendMessageA(r->richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    EXPECT_EQ(s.cpMin, 4);
    EXPECT_EQ(s.cpMax, 5);
    Select(r, 0, 2);
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(r->richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_ITALIC);
    EXPECT_TRUE(cf.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(cf.yHeight, 400);
    EXPECT_EQ(cf.crTextColor, 0x0000FFu);
    EXPECT_EQ(std::string(cf.szFaceName), std::string("Courier New and a face name ove").substr(0, 31));
}

TEST_F(EditorTest, RangeRoutineStatuses)
{
    int status = 99;
    WindowMakeCurrent(0);
    EditorCharFormatSet(status, 1, 2, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(status, -1);
    status = 99;
    EditorParaFormatSet(status, 1, 2, 1, -1);
    EXPECT_EQ(status, -1);
    int fontStatus = 99;
    EditorFontSet(-1, 14, fontStatus);
    EXPECT_EQ(fontStatus, 1);

    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    EditorTextSet(status, "plain text");
    SendMessageA(r->richEdit, EM_SETMODIFY, FALSE, 0);
    EditorParaFormatSet(status, 1, 5, 1, 2);
    EXPECT_EQ(status, -2);
    EditorCharFormatSet(status, 1, 5, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(status, -2);
    EXPECT_EQ(SendMessageA(r->richEdit, EM_GETMODIFY, 0, 0), 0) << "nothing changed";
    EXPECT_EQ(BoldOver(r, 0, 5), 0);
}

TEST_F(EditorTest, FontSetKeepsThePlainTextUnmodified)
{
    EditorRecord* r = Create(kEditorModifiedMark | kEditorCommandLine);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "some words");
    EditorModifiedSet(1, 0);
    HFONT before = r->font;
    EditorFontSet(-1, 14, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(r->fontFamily, 4) << "the family is kept";
    EXPECT_EQ(r->pointSize, 14);
    EXPECT_NE(r->font, before);
    EXPECT_EQ(Info(1), 1) << "still unmodified";
    EXPECT_EQ(std::string(FontOf(r).lfFaceName), "Courier New");
    // The command line and prompt follow the font and never keep the old one.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(r->commandLine, WM_GETFONT, 0, 0)), r->font);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(r->promptLabel, WM_GETFONT, 0, 0)), r->font);

    EditorFontSet(8, 20, status);
    LOGFONTA lf = FontOf(r);
    EXPECT_EQ(std::string(lf.lfFaceName), "Lucida Console");
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(lf.lfHeight, -MulDiv(11, dpi, 72)) << "family 8 is 11 points whatever the size";
    EXPECT_EQ(lf.lfCharSet, OEM_CHARSET);
    EXPECT_EQ(lf.lfPitchAndFamily & 3, FIXED_PITCH);
    EXPECT_EQ(r->fontFamily, 8);
}

TEST_F(EditorTest, BulletMenuItemFollowsTheParagraphsWithoutToolbar)
{
    EditorRecord* r = Create(kEditorRichText | kEditorNoToolbar);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->popups[kPopupFormat], nullptr);
    int status = 0;
    EditorTextSet(status, "one\ntwo\nthree");
    auto checked = [&] { return (GetMenuState(r->popups[kPopupFormat], kCmdBullets, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    Select(r, 0, 1);
    SendMessageA(r->frame, WM_COMMAND, kCmdBullets, 0);
    EXPECT_TRUE(checked());
    Select(r, 0, 6); // bulleted and plain paragraphs: mixed, still checked
    EditorFormatButtonsUpdate(r);
    EXPECT_TRUE(checked());
    SendMessageA(r->frame, WM_COMMAND, kCmdBullets, 0); // not all bulleted: all get bullets
    PARAFORMAT pf{};
    pf.cbSize = sizeof pf;
    SendMessageA(r->richEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_TRUE(pf.dwMask & PFM_NUMBERING);
    EXPECT_EQ(pf.wNumbering, PFN_BULLET);
    SendMessageA(r->frame, WM_COMMAND, kCmdBullets, 0); // all bulleted: removed
    EXPECT_FALSE(checked());
    EditorParaFormatSet(status, 1, 3, -1, 1);
    EXPECT_EQ(status, 0);
    Select(r, 0, 0);
    pf.dwMask = 0;
    SendMessageA(r->richEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_EQ(pf.wAlignment, PFA_CENTER);
}

TEST_F(EditorTest, FormatButtonsMirrorTheSelection)
{
    EditorRecord* r = Create(kEditorRichText);
    ASSERT_NE(r, nullptr);
    HWND tb = r->editorToolbar;
    ASSERT_NE(tb, nullptr);
    ASSERT_NE(SendMessageA(tb, TB_COMMANDTOINDEX, kCmdBold, 0), -1) << "the format buttons from bitmap 32101";
    auto state = [&](int id) { return static_cast<int>(SendMessageA(tb, TB_GETSTATE, id, 0)); };
    int status = 0;
    EditorTextSet(status, "abcdef\nsecond");
    EditorCharFormatSet(status, 1, 3, 1, -1, -1, -1, -1, -2, -2, "");
    EditorParaFormatSet(status, 10, 11, 1, 2); // the second paragraph: bullets, right
    struct Case {
        CHARRANGE selection;
        int bold;    // expected state bits of Bold beside ENABLED
        int centre;  // of Centre
        int right;   // of Align Right
        int bullets; // of Bullets
    } cases[] = {
        {{0, 2}, TBSTATE_CHECKED, 0, 0, 0},
        {{0, 6}, TBSTATE_INDETERMINATE, 0, 0, 0},
        {{4, 6}, 0, 0, 0, 0},
        {{8, 9}, 0, 0, TBSTATE_CHECKED, TBSTATE_CHECKED},
        {{2, 9}, TBSTATE_INDETERMINATE, TBSTATE_INDETERMINATE, TBSTATE_INDETERMINATE, TBSTATE_INDETERMINATE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.selection.cpMin) + ".." + std::to_string(c.selection.cpMax));
        Select(r, c.selection.cpMin, c.selection.cpMax);
        EditorFormatButtonsUpdate(r);
        EXPECT_EQ(state(kCmdBold), TBSTATE_ENABLED | c.bold);
        EXPECT_EQ(state(kCmdItalic), TBSTATE_ENABLED);
        EXPECT_EQ(state(kCmdCentre), TBSTATE_ENABLED | c.centre);
        EXPECT_EQ(state(kCmdAlignRight), TBSTATE_ENABLED | c.right);
        EXPECT_EQ(state(kCmdBullets), TBSTATE_ENABLED | c.bullets);
        const bool menuChecked = GetMenuState(r->popups[kPopupFormat], kCmdBullets, MF_BYCOMMAND) & MF_CHECKED;
        EXPECT_EQ(menuChecked, c.bullets != 0);
    }
    WindowCloseChild(gWindowSystem.currentWindow);

    EditorRecord* alt = Create(kEditorRichText | kEditorAlternativeKeys);
    ASSERT_NE(alt, nullptr);
    EXPECT_EQ(SendMessageA(alt->editorToolbar, TB_COMMANDTOINDEX, kCmdUnderline, 0), -1);
    EXPECT_NE(SendMessageA(alt->editorToolbar, TB_COMMANDTOINDEX, kCmdHelp, 0), -1) << "bitmap 2001's buttons";
}

TEST_F(EditorTest, FontDialogAppliesTheChoiceAndItsHookGuardsUnderline)
{
    EditorRecord* r = Create(kEditorRichText | kEditorAlternativeKeys);
    ASSERT_NE(r, nullptr);
    int status = 0;
    EditorTextSet(status, "abc def");
    EditorCharFormatSet(status, 1, 3, 1, -1, 0, -1, 12, 0x00FF00, -2, "Courier New");
    Select(r, 0, 3);
    bool underlineEnabled = true;
    int dialogs = 0;
    ModalPilot pilot([&](HWND d) {
        ++dialogs;
        underlineEnabled = IsWindowEnabled(GetDlgItem(d, 0x411)) != 0;
        ModalPilot::Click(d, 0x410); // strike-out
        ModalPilot::Click(d, IDOK);
    });
    SendMessageA(r->frame, WM_COMMAND, kCmdFont, 0);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(underlineEnabled) << "underline can be taken away, not added";
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(r->richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_BOLD) << "the dialog starts from the selection's format";
    EXPECT_TRUE(cf.dwEffects & CFE_STRIKEOUT);
    EXPECT_FALSE(cf.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(cf.yHeight, 240);
    EXPECT_EQ(cf.crTextColor, 0x00FF00u);
    EXPECT_EQ(BoldOver(r, 4, 7), 0) << "only the selection";
}
