// The application's graph with the library running as the program runs it
// (main window hidden, the plot window open and the graph drawn on the
// screen), in a folder of its own that is the current directory while a test
// runs; the hardcopy tests draw it again through a driver. Every file left in
// the folder is deleted afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"

class ApplicationGraphFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!gLibraryState.mainWindowOpen) {
            WLibraryStart();
            const int hidden = 128;
            WindowOpen(&hidden);
        }
    }
    void SetUp() override
    {
        ASSERT_TRUE(gWindowTable.frame[0]);
        char old[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        oldDir_ = old;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "kvbgraph_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        SplineModuleInit();
        KnotVectorBuild();
        ASSERT_EQ(SplineTabulate(), kTabulateOk);
        gKestrowApp = KestrowAppState{};
        gKestrowApp.windowtitle = FixedText<100>(kPlotWindowTitle);
        gPlotState = PlotState{};
        PlotRefresh(window_, window_); // opens the plot window and draws the graph on the screen
        ASSERT_GT(window_, 0);
    }
    void TearDown() override
    {
        while (gPlotWindowList.count > 0)
            PlotWindowRemove(gPlotWindowList.window[gPlotWindowList.count - 1]);
        SetCurrentDirectoryA(oldDir_.c_str());
        WIN32_FIND_DATAA found;
        const HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((folder_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder_.c_str());
    }

    std::string folder_, oldDir_;
    int window_ = 0;
};
