// The message box shown for real and answered by the autopilot: button sets,
// default buttons, icons, the answers kept in the dialog words; its owner,
// the other windows disabled while it is up, and a box that cannot be made.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "support/box_autopilot.h"
#include "core/errors.h"
#include "dialogs/dialog_info.h"
#include "dialogs/message_box.h"
#include "windowed_fixture.h"

namespace {

struct BoxCase {
    int type;
    int icon;
    int defaultAnswer;
    std::vector<int> buttons; // command ids shown, sorted
    int defaultButton;        // command id of the default button
    int click;                // command id the autopilot presses
    int answer;               // expected last answer
};

std::vector<int> Sorted(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

TEST(MessageBoxes, ButtonSetsDefaultsAndAnswers)
{
    const std::vector<BoxCase> cases = {
        {0, 0, 1, {IDOK}, IDOK, IDOK, 1},
        {0, 4, 2, {IDOK}, IDOK, IDOK, 1},                        // type 0: first button whatever the default
        {1, 3, 1, {IDOK, IDCANCEL}, IDOK, IDCANCEL, 0},
        {1, 3, 2, {IDOK, IDCANCEL}, IDCANCEL, IDOK, 1},
        {2, 1, 1, {IDRETRY, IDCANCEL}, IDRETRY, IDRETRY, 1},
        {2, 1, 7, {IDRETRY, IDCANCEL}, IDCANCEL, IDCANCEL, 0},   // any other default: second button
        {3, 2, 2, {IDYES, IDNO}, IDNO, IDNO, 2},
        {3, 2, 1, {IDYES, IDNO}, IDYES, IDYES, 1},
        {4, 2, 0, {IDYES, IDNO, IDCANCEL}, IDCANCEL, IDCANCEL, 0}, // default 0: Cancel
        {4, 2, 2, {IDYES, IDNO, IDCANCEL}, IDNO, IDNO, 2},
        {5, 1, 2, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, IDRETRY, 1}, // default 2: Abort
        {5, 1, 1, {IDABORT, IDRETRY, IDIGNORE}, IDRETRY, IDABORT, 2},
        {5, 1, 0, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, IDIGNORE, 0},
        {9, 3, 1, {IDOK}, IDOK, IDOK, 1},                        // unknown type: OK only
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " default " << c.defaultAnswer);
        BoxAutopilot pilot(c.click);
        ASSERT_TRUE(pilot.Installed());
        gDialogStatus.lastAnswer = 99;
        gDialogStatus.previousField = 1007;
        gErrorState.lastCode = 0;
        WMessageBox(c.type, c.icon, c.defaultAnswer, "Question text   ", "Box title   ");
        ASSERT_EQ(pilot.Seen().size(), 1u);
        const SeenBox& box = pilot.Seen()[0];
        EXPECT_EQ(box.title, "Box title");       // trailing blanks removed
        EXPECT_EQ(box.text, "Question text");
        EXPECT_EQ(Sorted(box.buttons), Sorted(c.buttons));
        EXPECT_EQ(box.defaultButton, c.defaultButton);
        EXPECT_EQ(box.hasIcon, c.icon >= 1 && c.icon <= 4);
        EXPECT_EQ(gDialogStatus.lastAnswer, c.answer);
        EXPECT_EQ(gDialogStatus.previousField, 0);
        EXPECT_EQ(gErrorState.lastCode, 0);
    }
}

class MessageBoxProtocol : public WindowedDialogs {};

// What the box saw of the other windows while it was up.
struct BoxView {
    HWND owner = nullptr;
    bool frameEnabled = true, firstEnabled = true, secondEnabled = true;
    int snapshots = 0;
};

TEST_F(MessageBoxProtocol, OwnedByTheActiveDialogWithTheOtherWindowsDisabled)
{
    HWND first = Load(500, 31);
    ASSERT_NE(first, nullptr);
    ShowAt(100, 600, kShowModeless);
    HWND second = Load(500, 32);
    ASSERT_NE(second, nullptr);
    ShowAt(300, 600, kShowModeless);
    gActiveDialog = second;
    BoxView seen;
    ModalPilot pilot([&](HWND box) {
        seen.owner = GetWindow(box, GW_OWNER);
        seen.frameEnabled = Enabled(gWindowTable.frame[0]);
        seen.firstEnabled = Enabled(first);
        seen.secondEnabled = Enabled(second);
        seen.snapshots = gWindowSystem.snapshotsActive;
        PostMessageA(box, WM_COMMAND, IDYES, 0);
    });
    WMessageBox(3, 2, 1, "Save?", "Question");
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(seen.owner, second);
    EXPECT_FALSE(seen.frameEnabled);
    EXPECT_FALSE(seen.firstEnabled);
    EXPECT_FALSE(seen.secondEnabled) << "the box disables its owner itself";
    EXPECT_EQ(seen.snapshots, 1);
    EXPECT_EQ(gDialogStatus.lastAnswer, 1);
    EXPECT_TRUE(Enabled(gWindowTable.frame[0]));
    EXPECT_TRUE(Enabled(first));
    EXPECT_TRUE(Enabled(second));
    EXPECT_EQ(gWindowSystem.snapshotsActive, 0);

    // Without an active dialog the last active frame owns the box.
    gActiveDialog = nullptr;
    gWindowSystem.lastActiveFrame = gWindowTable.frame[0];
    WMessageBox(0, 0, 1, "Plain", "Title");
    ASSERT_EQ(pilot.Runs(), 2);
    EXPECT_EQ(seen.owner, gWindowTable.frame[0]);
    EXPECT_TRUE(seen.firstEnabled == false && seen.secondEnabled == false);
}

TEST_F(MessageBoxProtocol, WhileASemiModelessDialogIsUpOnlyItIsEnabledAfterwards)
{
    HWND other = Load(500, 41);
    ShowAt(100, 600, kShowModeless);
    HWND semi = Load(500, 42);
    ShowAt(300, 600, kShowSemiModeless);
    ASSERT_TRUE(other && semi);
    ASSERT_EQ(gWindowSystem.semiModelessDialog, semi);
    gActiveDialog = semi;
    ModalPilot pilot([](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    WMessageBox(0, 4, 1, "Note", "Title");
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_TRUE(Enabled(semi));
    EXPECT_FALSE(Enabled(other));
    EXPECT_FALSE(Enabled(gWindowTable.frame[0]));
}

// A box that cannot be made: the CBT hook refuses its window.
LRESULT CALLBACK RefuseDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (create && create->lpcs && create->lpcs->lpszClass &&
            reinterpret_cast<ULONG_PTR>(create->lpcs->lpszClass) == 32770)
            return 1;
        char cls[16] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
        if (std::string(cls) == "#32770")
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MessageBoxProtocol, ABoxThatCannotBeShownLeavesNoStaleAnswer)
{
    gDialogStatus.lastAnswer = 1; // a Yes from an earlier question
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseDialogs, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    WMessageBox(3, 2, 1, "Save changes?", "Question");
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(gErrorState.lastCode, 1004);
    EXPECT_EQ(gDialogStatus.lastAnswer, -1);
    EXPECT_EQ(YYDialogInfo(4), -1);
    EXPECT_TRUE(Enabled(gWindowTable.frame[0])) << "the windows are enabled again";
    EXPECT_EQ(gWindowSystem.snapshotsActive, 0);
}

} // namespace
