// The application: the first tabulation, the library start, the modeless
// dialog "Kestrow splines" next to a plot window, the event loop and the
// shut-down. Every accepted change in the dialog rereads all its controls,
// rewrites the parameter log and the result files and redraws the graph.
#include "app/main_program.h"

#include "app/app_errors.h"
#include "app/app_state.h"
#include "app/parameter_log.h"
#include "app/plot_refresh.h"
#include "app/plot_windows.h"
#include "app/spline_module.h"
#include "app/spline_tabulate.h"
#include "core/child_windows.h"
#include "core/events.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_values.h"

#include <string>

KestrowAppState gKestrowApp;

namespace {

using SM = SplineModule;

// Frees a table's storage.
template <typename T>
void Release(std::vector<T>& table)
{
    std::vector<T>().swap(table);
}

// The tables the shut-down releases, in its order; the rest go with the process.
void SplineTablesRelease()
{
    SplineModule& s = gSplineModule;
    Release(s.xx);
    Release(s.px);
    Release(s.c.data);
    s.c.rows = s.c.cols = 0;
    Release(s.spl);
    Release(s.spl1der);
    Release(s.spl2der);
    Release(s.xvalues);
    Release(s.yvalues);
    Release(s.cdraw);
    Release(s.pxdraw);
    Release(s.descr);
}

// Ends the event loop with the exit code of a failure.
void StopWithFailure(int exitCode)
{
    gKestrowApp.exitflag = 1;
    gKestrowApp.exitCode = exitCode;
}

// The module's data reset, then the main dialog's track bars, switches and
// radio buttons read into it.
void ControlsGet()
{
    SplineModule& s = gSplineModule;
    SplineDataReset();
    WDialogSelect(kMainDialog);
    for (int i = 0; i < SM::nintervals; ++i)
        WDialogGetTrackBar(kTrackBars[i], s.pxdraw[i]);
    for (int i = 0; i < SM::ncoef; ++i) {
        int state = 0;
        WDialogGetCheckBox(kFieldFirstSwitch + i, state);
        s.cdraw[i] = state == 1 ? 1.0 : 0.0;
    }
    WDialogGetRadioButton(kFieldSplines, gKestrowApp.plotcontent);
}

// The integer fields set from the track bars just read.
void IntegerFieldsPut()
{
    const SplineModule& s = gSplineModule;
    WDialogSelect(kMainDialog);
    for (int i = 0; i < SM::nintervals; ++i)
        WDialogPutInteger(kIntegerFields[i], s.pxdraw[i]);
}

// Rewrites the parameter log and the result files, sets the integer fields
// and redraws; a file that cannot be written is named in a box and ends the
// program.
void RecomputeAndRedraw()
{
    SplineModule& s = gSplineModule;
    KestrowAppState& app = gKestrowApp;
    // The tables are evaluated, then the log and the result files written,
    // on their own thread, while the integer fields (whose repaint costs
    // requests to the system) are set and then the graph is redrawn (the
    // result files not when the log fails); a file that fails is reported
    // once both are done.
    static std::string logText;
    logText = ParameterLogText(s.pxdraw, s.cdraw, app.plotcontent);
    const ResultFile log{kParameterLogFile, &logText};
    std::string failedFile;
    int status = SplineTabulateBegin(&failedFile, &log);
    IntegerFieldsPut();
    if (status == kTabulateOk) {
        SplineTabulateTables();
        PlotRefresh(app.win, app.win);
        status = SplineTabulateEnd(&failedFile);
    }
    if (status == kTabulateOk)
        return;
    const bool openFailed = status == kTabulateOpenFailed;
    StopWithFailure(failedFile == kParameterLogFile ? AppParameterLogFailure(kParameterLogFile, openFailed)
                                                    : AppResultFileFailure(failedFile, openFailed));
}

} // namespace

void ChangeControlsRead()
{
    ControlsGet();
    IntegerFieldsPut();
}

void ChangeAccepted()
{
    ControlsGet();
    RecomputeAndRedraw();
}

namespace {

// Push button "Help": the About dialog, modal at (10, 500).
void AboutShow()
{
    KestrowAppState& app = gKestrowApp;
    app.aboutline = FixedText<512>(kAboutLine);
    WDialogLoad(kAboutDialog);
    WDialogPutString(kFieldCredit, app.aboutline.view());
    const int x = 10, y = 500, noFocus = 0, modal = kShowModal;
    WDialogShow(&x, &y, &noFocus, &modal);
    WDialogUnload();
    WDialogSelect(kMainDialog);
}

void EventLoop()
{
    KestrowAppState& app = gKestrowApp;
    // One message for the whole loop: the words a wait does not write keep
    // the values of earlier events.
    EventMessage event;
    while (!app.exitflag) {
        int type = 0;
        WMessageWait(type, event);
        switch (type) {
        case kEventPushButton:
            if (event.value1 == kButtonHelp)
                AboutShow();
            else if (event.value1 == kButtonExit || event.value1 == kCommandCancel)
                app.exitflag = 1;
            break;
        case kEventExpose:
        case kEventResize:
            if (gPlotState.plotexists) {
                int k = event.window;
                PlotRefresh(app.win, k);
            }
            break;
        case kEventClose:
            PlotWindowCloseRequest(app.exitflag, &event);
            break;
        case kEventFieldChanged:
            if (event.value1 == event.value2)
                ChangeAccepted();
            break;
        default:
            break;
        }
    }
}

} // namespace

void MainWindowsOpen()
{
    KestrowAppState& app = gKestrowApp;
    SplineModule& s = gSplineModule;

    WDialogLoad(kMainDialog);
    WMessageEnable(kEventFieldChanged, 1);
    WDialogPutRadioButton(kFieldSplines);
    WDialogGetRadioButton(kFieldSplines, app.plotcontent);
    for (int i = 0; i < SM::nintervals; ++i)
        WDialogPutTrackBar(kTrackBars[i], s.pxdraw[i]);
    for (int i = 0; i < SM::nintervals; ++i)
        WDialogPutInteger(kIntegerFields[i], s.pxdraw[i]);
    const int x = 10, y = 10, noFocus = 0, modeless = kShowModeless;
    WDialogShow(&x, &y, &noFocus, &modeless);

    app.windowtitle = FixedText<100>(kPlotWindowTitle);
    PlotWindowOpen(app.win, app.windowtitle.view());
    PlotRefresh(app.win, app.win);
}

int MainProgram()
{
    KestrowAppState& app = gKestrowApp;

    SplineModuleInit();
    KnotVectorBuild();
    std::string failedFile;
    int status = SplineTabulate(&failedFile);
    if (status != kTabulateOk)
        return AppResultFileFailure(failedFile, status == kTabulateOpenFailed);

    WLibraryStart();
    const int hidden = 128;
    WindowOpen(&hidden);
    MainWindowsOpen();

    EventLoop();

    SplineTablesRelease();
    PlotWindowList& list = gPlotWindowList;
    while (list.count > 0) {
        WindowCloseChild(list.window[list.count - 1]);
        list.window[--list.count] = 0;
    }
    WLibraryShutdown();
    return app.exitCode;
}
