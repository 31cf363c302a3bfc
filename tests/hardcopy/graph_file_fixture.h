// Fixture of the HP-GL, HP-GL/2 and DXF driver tests: a drawing state of a 750 x 600
// window target with screen output off (as a program that only plots would
// have it), the application's first graph prepared ("Splines", all curves
// on, all parameters 0), a scratch folder as the current directory, and the
// global areas the drawing writes saved and put back. Graph() draws the
// application's graph through the selected driver into a file and returns
// its bytes; the tests open such files with readers this project did not
// write (unix_tools.h).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/plot_refresh.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "charts/graph_ranges.h"
#include "charts/graph_state.h"
#include "charts/plot_clip.h"
#include "core/errors.h"
#include "core/library_state.h"
#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "fonts/text_font.h"
#include "graphics/colours.h"
#include "graphics/device_ops.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "hardcopy/hardcopy_drivers.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/hpgl_commands.h"
#include "plot_file_fixture.h"
#include "unix_tools.h"

class GraphFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = std::make_unique<Saved>();
        char old[MAX_PATH], temp[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "kvb_plotfiles_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        gErrorState = ErrorState{};
        YYErrorLevelSet(kReportNone);

        YYColourTableInit();
        GraphicsState& g = gGraphicsState;
        g.targetKind = kTargetWindow;
        g.targetId = 1;
        g.targetWidth = 750;
        g.targetHeight = 600;
        g.targetLimit = {749.99f, 599.99f};
        g.screenOutput = 0;
        g.hardcopyOpen = 0;
        g.memoryMetafileRouting = 0;
        g.pageRotation = 0;
        g.textGeometryFrozen = 0;
        g.colourModel = kColourModelNumbers;
        g.previousNumber = 0;
        g.previousRgb = 0xFFFFFF;
        g.currentNumber = 223;
        g.currentRgb = 0;
        g.plotMode = kPlotCopy;
        g.lineStyle = 0;
        g.lineWidth = 1;
        g.outline = 1;
        g.fillMode = kFillOutline;
        g.hatchDensity = 1;
        g.hatchDirection = 1;
        g.LineFillRequest = {0, 0};
        g.strokeTextFlag = 0;
        g.roundingColours = 256;
        YYTextStateDefaults();
        YYTextFontApply();
        YYCHSPACE(0);
        YYFontStandard();
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
        IPgPlotAreaFractions(0.1f, 0.1f, 0.9f, 0.9f);
        IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
        const int points[] = {1};
        const int zero = 0;
        IPgGraphBegin(4, 500, points, &zero, &zero);
        PgGraphStartupDefaults();

        // The tabulation writes its result files into the scratch folder.
        ASSERT_EQ(SplineModuleAllocate(), 0);
        KnotVectorBuild();
        ASSERT_EQ(SplineTabulate(), kTabulateOk);
        SplineModule& s = gSplineModule;
        gPlotState = PlotState{};
        gPlotState.xmin = *std::min_element(s.xvalues.begin(), s.xvalues.end());
        gPlotState.xmax = *std::max_element(s.xvalues.begin(), s.xvalues.end());
        gPlotState.ymin = 0.0f;
        gPlotState.ymax = 1.0f;
        gPlotState.plottitle = FixedText<40>("Splines");
        s.yvalues = s.spldraw;
        for (int i = 0; i < SplineModule::ncurves; ++i)
            s.descr[static_cast<size_t>(i)] = {'T', static_cast<char>('1' + i), ' ', ' '};
    }

    void TearDown() override
    {
        Close();
        SetCurrentDirectoryA(oldDir_.c_str());
        WIN32_FIND_DATAA found;
        HANDLE scan = FindFirstFileA((dir_ + "\\*").c_str(), &found);
        if (scan != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((dir_ + "\\" + found.cFileName).c_str());
            while (FindNextFileA(scan, &found));
            FindClose(scan);
        }
        RemoveDirectoryA(dir_.c_str());
        saved_.reset();
    }

    // Selects DRIVER (its device kind or model set first by SETUP, options
    // after the selection by OPTIONS) and opens a plot into NAME in the
    // scratch folder.
    void Open(int driver, const std::string& name, const std::function<void()>& options = {},
              const std::string* title = nullptr)
    {
        YYHardcopySelect(1, driver);
        if (options)
            options();
        path_ = dir_ + "\\" + name;
        std::string_view file = path_;
        std::string_view titleView = title ? std::string_view(*title) : std::string_view();
        YYHardcopyOpen(&file, title ? &titleView : nullptr);
    }
    static void Close()
    {
        std::string_view close = "S";
        YYHardcopyOpen(&close);
    }

    // The application's graph through DRIVER into NAME; the file's bytes.
    std::string Graph(int driver, const std::string& name, const std::function<void()>& options = {})
    {
        Open(driver, name, options);
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 1);
        SplinePlotDraw();
        Close();
        return Bytes();
    }

    // The bytes of the last plot file, and its lines without CR LF.
    std::string Bytes() const { return plotfile::ReadFile(path_); }
    std::vector<std::string> Lines() const { return plotfile::Lines(Bytes()); }

    // The lines of the last plot file after the line MARKER.
    std::vector<std::string> LinesAfter(const std::string& marker) const
    {
        std::vector<std::string> all = Lines();
        auto at = std::find(all.begin(), all.end(), marker);
        EXPECT_NE(at, all.end()) << "no line " << marker;
        return at == all.end() ? std::vector<std::string>{} : std::vector<std::string>(at + 1, all.end());
    }

    // Sends OP with mode word M to the open hardcopy.
    static void Op(int op, int m = 0)
    {
        gDeviceParameterBlock.M = m;
        YYHardcopyCallIfOpen(op);
    }
    // The first reals of the DeviceParameterBlock.
    static void Reals(std::initializer_list<float> x, std::initializer_list<float> y)
    {
        DeviceParameterBlock& b = gDeviceParameterBlock;
        std::copy(x.begin(), x.end(), b.X.begin());
        std::copy(y.begin(), y.end(), b.Y.begin());
    }
    // The points of DevicePointArrays and their count in N.
    static void Points(const std::vector<float>& x, const std::vector<float>& y)
    {
        DevicePointArrays& a = gDevicePointArrays;
        a.Reserve(static_cast<int>(x.size()));
        std::copy(x.begin(), x.end(), a.x.begin());
        std::copy(y.begin(), y.end(), a.y.begin());
        gDeviceParameterBlock.N = static_cast<int>(x.size());
    }
    // A text of op 22 with its start and end.
    static void TextOp(const std::string& text, float x1, float y1, float x3, float y3)
    {
        std::fill(gDeviceTextBuffer.text.begin(), gDeviceTextBuffer.text.end(), ' ');
        std::copy_n(text.begin(), std::min(text.size(), gDeviceTextBuffer.text.size()), gDeviceTextBuffer.text.begin());
        DeviceParameterBlock& b = gDeviceParameterBlock;
        b.IX[0] = static_cast<int>(text.size());
        b.IX[1] = 3;
        Reals({x1, 10.0f, x3, 0.0f}, {y1, 20.0f, y3, 0.0f});
        Op(DeviceOp::kText);
    }

    // Callers' extreme values through the open plot's lines, points and
    // texts: a line from (-1e9, NaN) to (1e9, 1e9), a point at (1e9, -1e9), a
    // polyline of 100,000 points with every third y not a number, a polyline
    // of one point at NaN, and a text of characters of size 0 from NaN to 1e9.
    static void ExtremeLinesAndText()
    {
        const float nan = std::nanf("");
        Reals({-1.0e9f, 1.0e9f}, {nan, 1.0e9f});
        Op(DeviceOp::kLine);
        Reals({1.0e9f}, {-1.0e9f});
        Op(DeviceOp::kPoint);
        std::vector<float> x(100000), y(100000);
        for (size_t i = 0; i < x.size(); ++i) {
            x[i] = static_cast<float>(i % 700);
            y[i] = i % 3 ? static_cast<float>(i % 500) : nan;
        }
        Points(x, y);
        Op(DeviceOp::kPolyline);
        Points({nan}, {1.0f});
        Op(DeviceOp::kPolyline);
        gTextState.charWidth = 0.0f;
        gTextState.charHeight = 0.0f;
        Op(DeviceOp::kFont);
        TextOp("zero", nan, 1.0e9f, 1.0e9f, nan);
    }

    std::string dir_, oldDir_, path_;

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
        DeviceCapabilityString capability = gDeviceCapabilityString;
        DeviceCapabilityWords words = gDeviceCapabilityWords;
        LibraryPaths paths = gLibraryPaths;
        HpglCommandState hpgl = gHpglCommandState;
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
            gDeviceCapabilityString = capability;
            gDeviceCapabilityWords = words;
            gLibraryPaths = paths;
            gHpglCommandState = hpgl;
        }
    };
    std::unique_ptr<Saved> saved_;
};
