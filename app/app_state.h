// What the main program keeps besides the spline tables: the plot choice,
// the exit flag, the plot windows' caption, the current plot window and the
// About dialog's credit line; and the ids of the dialogs and their fields.
#pragma once

#include "core/fixed_text.h"

// The table the graph shows: the selected radio button of the group at 1001.
enum PlotContent : int {
    kPlotValues = 1,
    kPlotFirstDerivatives = 2,
    kPlotSecondDerivatives = 3,
};

struct KestrowAppState {
    int plotcontent = kPlotValues;
    int exitflag = 0;
    int exitCode = 0;              // the process's exit code when the loop ends
    FixedText<100> windowtitle;    // caption of the plot windows
    int win = 0;                   // the plot window drawn into after a change
    FixedText<512> aboutline;      // credit line of the About dialog
};
extern KestrowAppState gKestrowApp;

// Dialog 101, "Kestrow splines".
inline constexpr int kMainDialog = 101;
inline constexpr int kFieldSplines = 1001;        // first radio button of the plot choice
inline constexpr int kButtonExit = 1002;
inline constexpr int kButtonHelp = 1003;
inline constexpr int kFieldFirstSwitch = 1009;    // T1; T2..T7 follow up to 1015
inline constexpr int kTrackBars[4] = {1021, 1022, 1005, 1033};     // p1..p4
inline constexpr int kIntegerFields[4] = {1004, 1027, 1028, 1031}; // show p1..p4
// The dialog's cancel command (Escape, the close box).
inline constexpr int kCommandCancel = 2;

// Dialog 102, "About".
inline constexpr int kAboutDialog = 102;
inline constexpr int kFieldCredit = 1006;

inline constexpr const char* kPlotWindowTitle = "Advection-diffusion, Chebyshev tension splines, Kestrow";
inline constexpr const char* kAboutLine = "Kestrow";
