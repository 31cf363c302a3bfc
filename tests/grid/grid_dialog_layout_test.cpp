// The layouts of the grid editor's dialogs: every text of a static control,
// check box, radio button and group box fits its box in the dialog's font
// as this machine maps it, the texts the routines put in at run time too.
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/dialog_fields.h"
#include "dialogs/dialog_show.h"
#include "grid_fixture.h"
#include "support/dialog_text_fit.h"

namespace {

class GridDialogLayout : public GridFixture {};

TEST_F(GridDialogLayout, EveryLabelFitsItsBoxInTheMappedFont)
{
    struct Case {
        int dialog;
        // Texts that a routine puts into a field at run time: field, texts.
        std::vector<std::pair<int, std::vector<std::string>>> runtime;
    };
    const std::vector<Case> cases = {
        {32106, {}},
        {32107, {}},
        {32108, {{1001, {"&Row", "&Column"}}}},
        {32109, {}},
        {32112, {}},
        {32114, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("dialog " + std::to_string(c.dialog));
        HWND dialog = Load(c.dialog);
        ASSERT_NE(dialog, nullptr);
        std::vector<TextMisfit> misfits = DialogTextMisfits(dialog);
        EXPECT_TRUE(misfits.empty()) << DescribeMisfits(misfits);
        for (const auto& [field, texts] : c.runtime) {
            for (const std::string& text : texts) {
                SetDlgItemTextA(dialog, field, text.c_str());
                misfits = DialogTextMisfits(dialog);
                EXPECT_TRUE(misfits.empty()) << DescribeMisfits(misfits);
            }
        }
        WDialogUnload();
    }
}

} // namespace
