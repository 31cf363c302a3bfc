#include "app/plot_windows.h"

#include "core/child_windows.h"
#include "core/events.h"
#include "dialogs/message_box.h"

#include <string>

PlotWindowList gPlotWindowList;

void PlotWindowOpen(int& win, std::string_view title)
{
    PlotWindowList& list = gPlotWindowList;
    if (list.count >= static_cast<int>(list.window.size())) {
        const std::string message =
            std::string("Maximum child windows created.") + '\r' + "Please close one and try again.";
        WMessageBox(kBoxOk, kIconStop, 1, message, "Window Error");
        return;
    }
    const int flags = 7;
    int handle = -1;
    WindowOpenChild(handle, &flags, &kPlotWindowX, &kPlotWindowY, &kPlotWindowWidth, &kPlotWindowHeight,
                    nullptr, nullptr, nullptr, title);
    win = handle;
    // A window that could not be opened (the library has reported why) is not
    // listed, so the next refresh tries again instead of closing a number
    // that was never opened.
    if (handle > 0)
        list.window[list.count++] = handle;
}

void PlotWindowCloseRequest(int& exitflag, const EventMessage* event)
{
    const int n = event ? event->window : 0;
    if (n == 0)
        exitflag = 1;
    else
        PlotWindowRemove(n);
}

void PlotWindowRemove(int n)
{
    PlotWindowList& list = gPlotWindowList;
    for (int i = 0; i < list.count; ++i) {
        if (list.window[i] != n)
            continue;
        for (int j = i + 1; j < list.count; ++j)
            list.window[j - 1] = list.window[j];
        list.window[--list.count] = 0;
        break;
    }
    WindowCloseChild(n);
}
