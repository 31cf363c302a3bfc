// The layout of the library's page-setup dialog: every text of a static
// control, radio button and group box fits its box in the dialog's font as
// this machine maps it, both captions of the margins box too.
#include <windows.h>

#include <string>

#include "dialogs/dialog_show.h"
#include "support/dialog_fixture.h"
#include "support/dialog_text_fit.h"

namespace {

class LibraryDialogLayout : public DialogFixture {};

TEST_F(LibraryDialogLayout, EveryLabelOfThePageSetupFitsItsBoxInTheMappedFont)
{
    constexpr int kPageSetup = 32010, kMarginsBox = 1038;
    HWND dialog = Load(kPageSetup);
    ASSERT_NE(dialog, nullptr);
    std::vector<TextMisfit> misfits = DialogTextMisfits(dialog);
    EXPECT_TRUE(misfits.empty()) << DescribeMisfits(misfits);
    for (const char* caption : {"Margins (inches)", "Margins (millimeters)"}) {
        SetDlgItemTextA(dialog, kMarginsBox, caption);
        misfits = DialogTextMisfits(dialog);
        EXPECT_TRUE(misfits.empty()) << DescribeMisfits(misfits);
    }
    WDialogUnload();
}

} // namespace
