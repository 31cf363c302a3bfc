// Shared set-up of the presentation-graphics tests: the global areas the
// charts and the graphics core write are saved and put back around each
// test; a recording driver stands in for the devices; the drawing target is
// a window of a given pixel size with the whole target as graphics area and
// units 0..1; the graph has its start-up values; error reports are counted.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/plot_clip.h"
#include "core/errors.h"
#include "fonts/text_font.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/device_recorder.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_state.h"

// The error lines delivered while a test runs (charts_fixture.cpp).
extern std::vector<std::string> gChartsReports;

// A point of a data set, in data or device units.
struct Pt {
    float x, y;
};

// The text capabilities the screen driver reports, and a device font whose
// cell is the nominal one, so that labels reach the recorder as device text.
inline void ScreenText()
{
    const GraphicsState& g = gGraphicsState;
    TextState& t = gTextState;
    t.builtInFont = 0;
    t.sizeLimit[0] = kNoTextSizeLimit;
    t.deviceCharset[0] = 8;
    t.rotation[0] = 360;
    t.deviceProportional[0] = 1;
    t.textScaleX = g.orientedLimit[0] / (t.charWidth * g.orientedAreaSize[0]);
    t.textScaleY = g.orientedLimit[1] / (t.charHeight * g.orientedAreaSize[1]);
}

class ChartsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = std::make_unique<Saved>();
        recorder_ = std::make_unique<DeviceRecorder>();
        gChartsReports.clear();
        gErrorState = ErrorState{};
        YYErrorLevelSet(kReportStatusBar);
        ErrorStatusBarDeliverySet([](std::string_view line) { gChartsReports.emplace_back(line); });
        YYColourTableInit();
        Target(400, 300);
        GraphStartup();
    }
    void TearDown() override
    {
        ErrorStatusBarDeliverySet(nullptr);
        recorder_.reset();
        saved_.reset();
    }

    // A window target of W x H pixels, screen output on, no hardcopy, page
    // not rotated, colour numbers; graphics area 0..1, units 0..1.
    static void Target(int w, int h)
    {
        GraphicsState& g = gGraphicsState;
        g.targetKind = kTargetWindow;
        g.targetWidth = w;
        g.targetHeight = h;
        g.targetLimit = {w - 0.01f, h - 0.01f};
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.memoryMetafileRouting = 0;
        g.pageRotation = 0;
        g.textGeometryFrozen = 0;
        g.colourModel = kColourModelNumbers;
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    }

    // The presentation-graphics part of the graphics start-up, in its order.
    static void GraphStartup()
    {
        IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);
        IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
        const int points[] = {1};
        const int zero = 0;
        IPgGraphBegin(4, 500, points, &zero, &zero);
        PgGraphStartupDefaults();
    }

    // Begins a graph with the defaults switch on.
    static void Begin(int type, int sets, std::vector<int> points, int bits = 0, int defaults = 1)
    {
        IPgGraphBegin(type, sets, points, &bits, &defaults);
    }

    // The error lines reported since the last call.
    static std::vector<std::string> TakeReports()
    {
        std::vector<std::string> out;
        out.swap(gChartsReports);
        return out;
    }
    // Reports of CODE under NAME since the last TakeReports.
    static int ReportCount(int code, std::string_view name)
    {
        std::string line = ErrorLineCompose(code, name);
        int n = 0;
        for (const std::string& r : gChartsReports)
            n += r == line ? 1 : 0;
        return n;
    }

    DeviceRecorder& recorder() { return *recorder_; }

private:
    struct Saved {
        PgGraphState graph = gPgGraphState;
        DataSetStyleTable styles = gDataSetStyleTable;
        ClipSaveArea clip = gClipSaveArea;
        PlotStateSaveArea plot = gPlotStateSaveArea;
        GraphicsState graphics = gGraphicsState;
        TextState text = gTextState;
        HardcopyState hardcopy = gHardcopyState;
        ErrorState errors = gErrorState;
        DeviceParameterBlock block = gDeviceParameterBlock;
        ~Saved()
        {
            gPgGraphState = graph;
            gDataSetStyleTable = styles;
            gClipSaveArea = clip;
            gPlotStateSaveArea = plot;
            gGraphicsState = graphics;
            gTextState = text;
            gHardcopyState = hardcopy;
            gErrorState = errors;
            gDeviceParameterBlock = block;
        }
    };
    std::unique_ptr<Saved> saved_;
    std::unique_ptr<DeviceRecorder> recorder_;
};
