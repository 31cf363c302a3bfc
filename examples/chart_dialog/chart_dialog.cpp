// Example: a main window with a menu, and a modeless dialog whose two numeric
// fields (amplitude and number of waves) change the chart drawn in the window.
//
//   example_chart_dialog           waits for the user: File > Exit, the dialog's
//                                  Close button or closing the window end it
//   example_chart_dialog --once    changes the fields itself once the loop runs,
//                                  redraws and ends; exit code 1 when the library
//                                  reported an error
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/events.h"
#include "core/fp_traps.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "dialogs/dialog_show.h"
#include "dialogs/dialog_table.h"
#include "dialogs/field_values.h"
#include "graphics/graphics_state.h"
#include "graphics/screen_driver.h"
#include "wave_chart.h"

namespace {

// Resource and control identifiers of chart_dialog.rc.
constexpr int kMenu = 300, kCommandRedraw = 301, kCommandExit = 302;
constexpr int kDialog = 100, kFieldAmplitude = 101, kFieldWaves = 102, kButtonClose = 103;
constexpr int kTimerScript = 1;

struct Settings {
    float amplitude = 5.0f;
    int waves = 2;
};

// Set when the library reported an error that the program did not expect.
bool gFailed = false;

// Checks that no library error is pending after WHAT; reports and remembers one.
void Check(const char* what)
{
    if (gErrorState.lastCode != kErrorNone) {
        std::printf("%s: library error %d\n", what, gErrorState.lastCode);
        gFailed = true;
        gErrorState.lastCode = kErrorNone;
    }
}

// Draws the chart into the main window, off the screen first so that it does
// not flicker.
void ChartShow(const Settings& s)
{
    WindowMakeCurrent(0);
    ScreenBatchBegin();
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrAreaErase();
    WaveChartDraw(s.amplitude, s.waves);
    ScreenBatchEnd();
    Check("drawing the chart");
}

// Reads both fields. A field the user left blank reads as an error (1010):
// the setting then keeps its last value.
void SettingsRead(Settings& s)
{
    WDialogSelect(kDialog);
    float amplitude = 0.0f;
    gErrorState.lastCode = kErrorNone;
    WDialogGetReal(kFieldAmplitude, amplitude);
    if (gErrorState.lastCode == kErrorNone)
        s.amplitude = amplitude;
    int waves = 0;
    gErrorState.lastCode = kErrorNone;
    WDialogGetInteger(kFieldWaves, waves);
    if (gErrorState.lastCode == kErrorNone)
        s.waves = waves;
    gErrorState.lastCode = kErrorNone;
}

// What --once does from inside the event loop: what a user would type, put
// into the fields by the program, then the chart redrawn from what the fields
// hold. A number outside a field's range is refused and leaves the field alone.
void Script(Settings& s)
{
    WDialogSelect(kDialog);
    WDialogPutReal(kFieldAmplitude, 7.5f);
    WDialogPutInteger(kFieldWaves, 3);
    Check("putting the settings");
    SettingsRead(s);
    if (s.amplitude != 7.5f || s.waves != 3) {
        std::printf("the fields read back %g and %d\n", s.amplitude, s.waves);
        gFailed = true;
    }
    WDialogPutInteger(kFieldWaves, 99);
    if (gErrorState.lastCode != kErrorFieldValueRange) {
        std::printf("a number out of range was not refused\n");
        gFailed = true;
    }
    gErrorState.lastCode = kErrorNone;
    SettingsRead(s);
    if (s.waves != 3) {
        std::printf("the refused number changed the field to %d\n", s.waves);
        gFailed = true;
    }
    ChartShow(s);
}

} // namespace

int main(int argc, char** argv)
{
    FloatingPointTrapsEnable();
    const bool once = argc > 1 && std::strcmp(argv[1], "--once") == 0;

    WLibraryStart();
    // The main window: system menu, minimise and maximise boxes (7), the menu
    // and its accelerators of resource 300.
    const int flags = 7, x = 260, y = 40, width = 640, height = 480, menu = kMenu;
    WindowOpen(&flags, &x, &y, &width, &height, &menu, nullptr, nullptr, "Waves");
    Check("opening the main window");

    Settings settings;
    WDialogLoad(kDialog);
    WDialogPutReal(kFieldAmplitude, settings.amplitude);
    WDialogPutInteger(kFieldWaves, settings.waves);
    const int dx = 10, dy = 40, noFocus = 0, modeless = kShowModeless;
    WDialogShow(&dx, &dy, &noFocus, &modeless);
    Check("showing the dialog");
    // Field changes are not reported unless asked for.
    WMessageEnable(kEventFieldChanged, 1);

    ChartShow(settings);
    if (once)
        TimerSet(200, kTimerScript, 0); // one timer event, once the loop runs

    EventMessage event;
    for (bool done = false; !done;) {
        int type = 0;
        WMessageWait(type, event);
        switch (type) {
        case kEventCommand:
            if (event.value1 == kCommandRedraw)
                ChartShow(settings);
            else if (event.value1 == kCommandExit)
                done = true;
            break;
        case kEventPushButton:
            // Close, or Escape in the dialog (the cancel command 2).
            if (event.value1 == kButtonClose || event.value1 == IDCANCEL)
                done = true;
            break;
        case kEventFieldChanged:
            // A spin changes its field in place (value1 == value2); a typed
            // number counts when the user leaves the field.
            SettingsRead(settings);
            ChartShow(settings);
            break;
        case kEventExpose:
        case kEventResize:
            if (event.window == 0)
                ChartShow(settings);
            break;
        case kEventClose:
            if (event.window == 0)
                done = true;
            break;
        case kEventTimer:
            if (once && event.value1 == kTimerScript) {
                Script(settings);
                done = true;
            }
            break;
        default:
            break;
        }
    }

    WDialogSelect(kDialog);
    WDialogUnload();
    Check("unloading the dialog");
    WLibraryShutdown();
    return gFailed ? 1 : 0;
}
