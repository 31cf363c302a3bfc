// The application's first graph (all parameters 0, all switches on,
// "Splines") drawn by its own plot routine into a 750 x 600 target through
// the recording driver: curves, frame, ticks, texts, legend and knot markers.
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/plot_refresh.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "drawing_fixture.h"

namespace {

using SM = SplineModule;

class GraphTraceTest : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        // The tabulation writes its result files into a folder of its own.
        char old[MAX_PATH], temp[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "kestrow_trace_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        ASSERT_EQ(SplineModuleAllocate(), 0);
        KnotVectorBuild();
        ASSERT_EQ(SplineTabulate(), kTabulateOk);

        // What the refresh prepares for "Splines" before it draws.
        SplineModule& s = gSplineModule;
        gPlotState = PlotState{};
        gPlotState.xmin = *std::min_element(s.xvalues.begin(), s.xvalues.end());
        gPlotState.xmax = *std::max_element(s.xvalues.begin(), s.xvalues.end());
        gPlotState.ymin = 0.0f;
        gPlotState.ymax = 1.0f;
        gPlotState.plottitle = FixedText<40>("Splines");
        s.yvalues = s.spldraw;
        for (int i = 0; i < SM::ncurves; ++i)
            s.descr[static_cast<size_t>(i)] = {'T', static_cast<char>('1' + i), ' ', ' '};

        Target(750, 600);
        Scales();
        ClearAll();
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(oldDir_.c_str());
        DrawingTest::TearDown();
    }

    std::string dir_, oldDir_;
};

TEST_F(GraphTraceTest, ApplicationFirstGraph)
{
    SplinePlotDraw();

    // Texts: title, axis labels, 13 + 11 tick labels, the legend.
    std::map<std::string, int> texts;
    for (const DrawnText& d : gTexts)
        ++texts[d.text];
    std::map<std::string, int> expected = {{"Splines", 1}, {"X", 1}, {"T", 1}};
    for (const char* t : {"0", ".2", ".4", ".6", ".8", "1", "1.2", "1.4", "1.6", "1.8", "2", "2.2", "2.4"})
        ++expected[t];
    for (const char* t : {"0", ".1", ".2", ".3", ".4", ".5", ".6", ".7", ".8", ".9", "1"})
        ++expected[t];
    for (int i = 1; i <= 7; ++i)
        ++expected["T" + std::to_string(i)];
    EXPECT_EQ(texts, expected);

    // Title centred above the plot, "X" below it, "T" stacked on the left.
    const DrawnText* title = FindText("Splines");
    const DrawnText* x = FindText("X");
    const DrawnText* t = FindText("T");
    ASSERT_TRUE(title && x && t);
    EXPECT_EQ(title->justification, 1);
    EXPECT_NEAR(title->wx, 0.5f, 1e-3f);
    EXPECT_NEAR(title->wy, 0.95f, 1e-3f);
    EXPECT_NEAR(x->wy, 0.1f * 0.3f, 1e-3f);
    EXPECT_EQ(t->stacking, 1);
    EXPECT_NEAR(t->wx, 0.1f * 0.2f, 1e-3f);
    EXPECT_NEAR(t->wy, 0.5f, 0.5f * 0.0333f);

    // Frame lines, 13 x ticks and 11 y ticks: single lines of the thin width
    // before the first curve; the frame's two lines run the full plot.
    std::vector<RecordedOp> thin;
    for (const RecordedOp& r : recorder().ops)
        if (r.side == kScreenSide && r.op == DeviceOp::kLine && r.state.lineWidth == 1)
            thin.push_back(r);
    ASSERT_EQ(thin.size(), 2u + 13u + 11u);
    auto world = [](const RecordedOp& r, int i, float& wx, float& wy) {
        YYDeviceToWorld(r.block.X[static_cast<size_t>(i)], r.block.Y[static_cast<size_t>(i)], wx, wy);
    };
    float ax, ay, bx, by;
    world(thin[0], 0, ax, ay);
    world(thin[0], 1, bx, by);
    EXPECT_NEAR(ax, 0.1f, 1e-3f); // vertical through x = 0
    EXPECT_NEAR(bx, 0.1f, 1e-3f);
    EXPECT_NEAR(by - ay, 0.8f, 1e-3f);
    world(thin[1], 0, ax, ay);
    world(thin[1], 1, bx, by);
    EXPECT_NEAR(ay, 0.1f, 1e-3f); // horizontal through y = 0
    EXPECT_NEAR(bx - ax, 0.8f, 1e-3f);
    for (int i = 0; i < 13; ++i) {
        world(thin[static_cast<size_t>(2 + i)], 0, ax, ay);
        EXPECT_NEAR(ax, 0.1f + 0.8f * 0.2f * static_cast<float>(i) / 2.5f, 1e-3f) << "x tick " << i;
    }
    for (int i = 0; i < 11; ++i) {
        world(thin[static_cast<size_t>(15 + i)], 0, ax, ay);
        EXPECT_NEAR(ay, 0.1f + 0.08f * static_cast<float>(i), 1e-3f) << "y tick " << i;
    }

    // Seven curves of 201 points, each after its colour.
    const auto polylines = recorder().Of(kScreenSide, DeviceOp::kPolyline);
    std::vector<int> curveColours;
    int curves = 0;
    for (const RecordedOp& r : polylines)
        if (r.block.N == SM::npoints) {
            ++curves;
            curveColours.push_back(r.state.currentNumber);
        }
    EXPECT_EQ(curves, 7);
    EXPECT_EQ(curveColours, (std::vector<int>{19, 51, 83, 115, 147, 179, 223}));

    // Legend: to the right of the plot, set 1 on top, one line sample each
    // in the curve colour, ending 0.2 of a character before its label.
    std::vector<const DrawnText*> legend;
    for (int i = 1; i <= 7; ++i)
        legend.push_back(FindText("T" + std::to_string(i)));
    const float H = 0.8f, Yc = 0.5f;
    for (int k = 1; k <= 7; ++k) {
        const DrawnText* d = legend[static_cast<size_t>(k - 1)];
        ASSERT_TRUE(d);
        EXPECT_GT(d->wx, 0.9f);
        EXPECT_EQ(d->justification, 0);
        EXPECT_NEAR(d->wy, Yc + (4.0f - static_cast<float>(k)) * H / 8.0f, 1e-3f) << "T" << k;
    }
    int samples = 0;
    for (const RecordedOp& r : recorder().ops) {
        if (r.side != kScreenSide || r.op != DeviceOp::kLine || r.state.lineWidth != 2)
            continue;
        float sx, sy, ex, ey;
        world(r, 0, sx, sy);
        world(r, 1, ex, ey);
        if (sx > 0.9f && std::fabs(sy - ey) < 1e-4f) {
            EXPECT_EQ(r.state.currentNumber, kCurveColours[samples % 7]);
            ++samples;
        }
    }
    EXPECT_EQ(samples, 7);

    // Five knot markers (solid circles) on y = 0 at the knots.
    const auto circles = recorder().Of(kScreenSide, DeviceOp::kEllipseSolid);
    ASSERT_EQ(circles.size(), 5u);
    for (size_t i = 0; i < circles.size(); ++i) {
        float cx, cy;
        world(circles[i], 0, cx, cy);
        EXPECT_NEAR(cx, 0.1f + 0.8f * 0.625f * static_cast<float>(i) / 2.5f, 2e-3f);
        EXPECT_NEAR(cy, 0.1f, 2e-3f);
    }

    // The text state is as the plot routine left it: nothing leaked.
    EXPECT_EQ(gTextState.stacking, 0);
    EXPECT_EQ(gTextState.angle, 0.0f);
}

} // namespace
