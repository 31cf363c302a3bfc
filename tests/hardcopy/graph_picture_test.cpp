// The application's three graphs (values, first and second derivatives of
// the splines at the start parameters) as the program draws them on the
// screen: the plot window of the application-graph fixture, drawn by the
// refresh with the real screen driver, its client area read back and
// compared with the reference picture in tests/reference_images/
// (support/reference_image.h says how to renew them). Tolerance: the labels
// come from a system font through Wine, so a pixel may differ by 8 in a
// channel, and at most 0.2 % of the pixels (900 of 750 x 600) by more.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "application_graph_fixture.h"
#include "support/reference_image.h"

namespace {

using GraphPicture = ApplicationGraphFixture;

TEST_F(GraphPicture, TheApplicationsThreeGraphsMatchTheirReferences)
{
    const struct {
        int choice;
        const char* reference;
    } graphs[] = {
        {kPlotValues, "graph_values"},
        {kPlotFirstDerivatives, "graph_first_derivatives"},
        {kPlotSecondDerivatives, "graph_second_derivatives"},
    };
    const ImageTolerance tolerance{8, 900};
    for (const auto& graph : graphs) {
        SCOPED_TRACE(graph.reference);
        gKestrowApp.plotcontent = graph.choice;
        int k = window_;
        PlotRefresh(window_, k);
        HWND client = gWindowTable.client[static_cast<size_t>(window_)];
        ASSERT_TRUE(client);
        RECT r{};
        GetClientRect(client, &r);
        const int width = r.right - r.left, height = r.bottom - r.top;
        HDC dc = GetDC(client);
        const std::vector<int> rgb = DcPixels(dc, 0, 0, width, height);
        ReleaseDC(client, dc);
        ASSERT_FALSE(rgb.empty());
        EXPECT_TRUE(MatchesReferenceImage(graph.reference, width, height, rgb, tolerance));
    }
}

} // namespace
