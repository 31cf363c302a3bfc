// A picture of the application's first graph for a person to look at: the
// library runs, a plot window of 750 x 600 opens and the refresh draws the
// graph with the real screen driver; the window's client area is then read
// back and written as a 24-bit BMP file. Disabled by default; run with
//   test_charts --gtest_also_run_disabled_tests --gtest_filter=GraphPicture.*
// The file goes to KESTROW_GRAPH_PICTURE, else "graph_picture.bmp" in the
// temporary folder; its path is printed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "core/library_start.h"
#include "core/library_state.h"
#include "core/main_window.h"
#include "core/window_table.h"

namespace {

// The client area of HWND as a bottom-up 24-bit BMP file.
bool WriteClientBitmap(HWND hwnd, const std::string& path)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, window, 0, 0, SRCCOPY);
    GdiFlush();
    const int stride = (w * 3 + 3) & ~3;
    const DWORD imageSize = static_cast<DWORD>(stride) * static_cast<DWORD>(h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    bool ok = false;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f) == 1 &&
             std::fwrite(bits, 1, imageSize, f) == imageSize;
        ok = std::fclose(f) == 0 && ok;
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return ok;
}

TEST(GraphPicture, DISABLED_ApplicationFirstGraph)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kestrow_picture_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    const char* target = std::getenv("KESTROW_GRAPH_PICTURE");
    const std::string path = target && *target ? target : std::string(temp) + "graph_picture.bmp";

    WLibraryStart();
    const int hidden = 128;
    WindowOpen(&hidden);
    ASSERT_TRUE(gWindowTable.frame[0]);
    SplineModuleInit();
    KnotVectorBuild();
    ASSERT_EQ(SplineTabulate(), kTabulateOk);
    gKestrowApp = KestrowAppState{};
    gKestrowApp.windowtitle = FixedText<100>(kPlotWindowTitle);
    gPlotState = PlotState{};

    int win = 0;
    PlotRefresh(win, win);
    ASSERT_GT(win, 0);
    HWND client = gWindowTable.client[static_cast<size_t>(win)];
    ASSERT_TRUE(client);
    ASSERT_TRUE(WriteClientBitmap(client, path));
    std::printf("graph picture: %s\n", path.c_str());
}

} // namespace
