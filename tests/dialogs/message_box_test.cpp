// The message box shown for real and answered by the autopilot: button sets,
// default buttons, icons, the answers kept in the dialog words.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "support/box_autopilot.h"
#include "core/errors.h"
#include "dialogs/message_box.h"

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

TEST(MessageBoxes, OwnedByTheActiveWindow)
{
    // Without an active window the box has no owner.
    {
        BoxAutopilot pilot(IDOK);
        WMessageBox(0, 0, 1, "no owner", "t");
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].owner, nullptr);
    }
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(owner);
    SetForegroundWindow(owner);
    SetActiveWindow(owner);
    ASSERT_EQ(GetActiveWindow(), owner);
    {
        BoxAutopilot pilot(IDOK);
        WMessageBox(1, 0, 1, "owned", "t");
        ASSERT_EQ(pilot.Seen().size(), 1u);
        EXPECT_EQ(pilot.Seen()[0].owner, owner);
    }
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(gDialogStatus.lastAnswer, 1);
    DestroyWindow(owner);
}

} // namespace
