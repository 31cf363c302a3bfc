// The colour dialog driven by the autopilot: the chosen colour comes back,
// the custom colours start from the window colours and keep what the user
// added, and the dialog is owned by the active dialog with the other windows
// disabled while it is up.
#include <gtest/gtest.h>

#include <windows.h>

#include "dialogs/common_dialogs.h"
#include "pilot_steps.h"
#include "windowed_fixture.h"

namespace {

// Control ids of the platform's colour dialog: the red, green and blue
// fields and "Add to Custom Colors".
constexpr int kRed = 706, kGreen = 707, kBlue = 708, kAddCustom = 712;

class ColourDialog : public WindowedDialogs {};

TEST_F(ColourDialog, TheChoiceComesBackAndTheCustomColoursAreKept)
{
    gColourDialogState = ColourDialogState{};
    HWND shown = Load(500, 61);
    ASSERT_NE(shown, nullptr);
    ShowAt(100, 600, kShowModeless);
    gActiveDialog = shown;
    HWND owner = nullptr;
    bool frameEnabled = true;
    std::string red;
    ModalPilot pilot([&](HWND d) {
        owner = GetWindow(d, GW_OWNER);
        frameEnabled = Enabled(gWindowTable.frame[0]);
        red = ControlText(d, kRed);
        SetDlgItemTextA(d, kRed, "10");
        SetDlgItemTextA(d, kGreen, "20");
        SetDlgItemTextA(d, kBlue, "30");
        PostMessageA(d, WM_COMMAND, kAddCustom, reinterpret_cast<LPARAM>(GetDlgItem(d, kAddCustom)));
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    int r = 200, g = 100, b = 50, accepted = -1, error = -1;
    ColourDialogRun(r, g, b, accepted, error);
    ASSERT_EQ(pilot.Runs(), 1);
    EXPECT_EQ(red, "200") << "the dialog starts from the given colour";
    EXPECT_EQ(owner, shown);
    EXPECT_FALSE(frameEnabled);
    EXPECT_TRUE(Enabled(gWindowTable.frame[0]));
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    ASSERT_EQ(gColourDialogState.filled, 1);
    int added = 0, fromTable = 0;
    for (size_t i = 0; i < 16; ++i) {
        added += gColourDialogState.custom[i] == RGB(10, 20, 30);
        fromTable += gColourDialogState.custom[i] == static_cast<COLORREF>(gWindowColourTable.rgb[i]);
    }
    EXPECT_EQ(added, 1);
    EXPECT_EQ(fromTable, 15) << "the others are the window colours";

    // The second run starts from what the first kept; a cancel changes
    // nothing.
    const auto kept = gColourDialogState.custom;
    ModalPilot cancel([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    ColourDialogRun(r, g, b, accepted, error);
    ASSERT_EQ(cancel.Runs(), 1);
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(gColourDialogState.custom, kept);
}

} // namespace
