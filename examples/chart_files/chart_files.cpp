// Example: one chart written to three files, PostScript, SVG and PNG, by the
// same drawing calls that draw it on the screen. Every plot goes to the screen
// and, while a hardcopy is open, to the selected driver as well.
//
//   example_chart_files [--once]   writes waves.ps, waves.svg and waves.png in
//                                  the current folder and ends; exit code 1 when
//                                  the library reported an error or a file is
//                                  missing or empty
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "core/error_codes.h"
#include "core/errors.h"
#include "core/fp_traps.h"
#include "core/library_start.h"
#include "core/main_window.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "wave_chart.h"

namespace {

// The hardcopy options this example sets (the drivers are HardcopyDriverNumber's).
constexpr int kOptionPageWidth = 1, kOptionPageHeight = 2, kOptionBitsPerPixel = 23, kOptionImageFormat = 26;
constexpr int kImageFormatPng = 3;

// Draws the chart into FILE through DRIVER; SETUP sets the driver's options
// after its selection and before the plot opens. True when the library
// reported nothing and the file starts with MAGIC.
template <typename Setup>
bool ChartWrite(int driver, std::string_view file, std::string_view magic, Setup setup)
{
    gErrorState.lastCode = kErrorNone;
    YYHardcopySelect(1, driver);
    setup();
    YYHardcopyOpen(&file);
    IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
    IGrAreaErase();
    WaveChartDraw(7.5f, 3);
    // "S" ends the plot and closes its file.
    const std::string_view close = "S";
    YYHardcopyOpen(&close);

    std::ifstream in{std::string(file), std::ios::binary};
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const bool ok = gErrorState.lastCode == kErrorNone && bytes.compare(0, magic.size(), magic) == 0;
    std::printf("%s: %zu bytes%s\n", std::string(file).c_str(), bytes.size(),
                ok ? "" : gErrorState.lastCode != kErrorNone ? ", library error" : ", not what was expected");
    return ok;
}

} // namespace

int main()
{
    FloatingPointTrapsEnable();
    WLibraryStart();
    // Drawing needs a target: the main window, hidden (flag 128), gives the
    // chart its proportions.
    const int hidden = 128, width = 800, height = 600;
    WindowOpen(&hidden, nullptr, nullptr, &width, &height);

    bool ok = ChartWrite(kDriverPostScript, "waves.ps", "%!PS", [] {});
    ok = ChartWrite(kDriverSvg, "waves.svg", "<?xml", [] {}) && ok;
    ok = ChartWrite(kDriverImageFile, "waves.png", "\x89PNG", [] {
             // Image files are sized in pixels, 24 bits a pixel, PNG.
             YYHardcopyOption(kOptionPageWidth, 800);
             YYHardcopyOption(kOptionPageHeight, 600);
             YYHardcopyOption(kOptionBitsPerPixel, 24);
             YYHardcopyOption(kOptionImageFormat, kImageFormatPng);
         }) && ok;

    WLibraryShutdown();
    return ok ? 0 : 1;
}
