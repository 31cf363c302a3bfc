// The editor's frame after a resize from outside: the toolbar and the status
// bar span the new width, the toolbar's strip right of its last button is
// painted in the button face, and the status bar shows what a full repaint
// of it shows (its size grip at the new right edge, none where the old one
// was).
#include "editor_fixture.h"

#include <commctrl.h>

#include "support/bar_pixels.h"

namespace {

TEST_F(EditorTest, AResizedFramePaintsItsToolbarAndStatusBarAcrossTheNewWidth)
{
    EditorRecord* r = Create(0);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(r->editorToolbar, nullptr);
    ASSERT_NE(r->statusBar, nullptr);
    HWND frame = r->frame;
    barpixels::Settle(frame);
    for (int step : {180, 60}) {
        SCOPED_TRACE("wider by " + std::to_string(step));
        RECT now{};
        GetWindowRect(frame, &now);
        SetWindowPos(frame, nullptr, 0, 0, now.right - now.left + step, now.bottom - now.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        barpixels::Settle(frame);
        RECT client{}, toolbar{}, bar{};
        GetClientRect(frame, &client);
        GetClientRect(r->editorToolbar, &toolbar);
        GetClientRect(r->statusBar, &bar);
        EXPECT_EQ(toolbar.right, client.right);
        EXPECT_EQ(bar.right, client.right);
        EXPECT_EQ(barpixels::ToolbarStripUnpainted(r->editorToolbar), 0)
            << "pixels right of the last button that are not the button face";
        EXPECT_EQ(barpixels::StatusBarStale(r->statusBar), 0u) << "status bar pixels left from before the resize";
    }
}

} // namespace
