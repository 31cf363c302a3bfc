// The writers of the drawing side under real faults (support/file_faults.h):
// each plot and image driver drawing the application's graph, the memory
// CGM metafile's save, the enhanced metafile slot's save and the screen
// image save, one row each, report every failure and none reports success.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "application_graph_fixture.h"
#include "core/error_codes.h"
#include "core/errors.h"
#include "graphics/graphics_state.h"
#include "graphics/metafile_slots.h"
#include "hardcopy/gdi_image.h"
#include "hardcopy/hardcopy_open.h"
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/memory_metafile.h"
#include "plot_file_fixture.h"
#include "support/file_faults.h"

namespace {

class HardcopyWritersUnderFaults : public ApplicationGraphFixture {
protected:
    void TearDown() override
    {
        const std::string_view close = "S";
        YYHardcopyOpen(&close);
        YYHardcopySelect(1, kDriverWindowsPrinter);
        for (int s = 1; s <= kMetafileSlotCount; ++s)
            MetafileSlotRelease(s);
        WindowMakeCurrent(window_);
        ApplicationGraphFixture::TearDown();
    }
    // What the library's last error says of a write.
    static WriteOutcome ByLastError()
    {
        const int code = gErrorState.lastCode;
        return {code == 0, code == kErrorFileOpen || code == kErrorFileReadWrite || code == kErrorFileClose};
    }
};

TEST_F(HardcopyWritersUnderFaults, EachWriterReportsEveryFault)
{
    FaultPlaces places;
    if (!places.Missing().empty())
        GTEST_SKIP() << places.Missing();
    struct Driver {
        const char* name;
        int number;
        int option27; // the metafile kind, -1 the driver's default
        const char* leaf;
    };
    const Driver drivers[] = {
        {"HP-GL", kDriverHpgl, -1, "plot.plt"},          {"PostScript", kDriverPostScript, -1, "plot.ps"},
        {"SVG", kDriverSvg, -1, "plot.svg"},             {"raster printer", kDriverRasterPrinter, -1, "plot.prn"},
        {"image file", kDriverImageFile, -1, "plot.pcx"}, {"DXF", kDriverDxf, -1, "plot.dxf"},
        {"CGM", kDriverCgm, -1, "plot.cgm"},             {"placeable metafile", kDriverWindowsMetafile, -1, "plot.wmf"},
        {"enhanced metafile", kDriverWindowsMetafile, 2, "plot.emf"}, {"HP-GL/2", kDriverHpgl2, -1, "plot.hp2"},
    };
    for (const Driver& d : drivers) {
        CheckWriter(places, d.name, d.leaf, [&](const std::string& name) {
            GraphicsStateGuard guard; // restored once the outcome is taken
            gErrorState.lastCode = 0;
            YYHardcopySelect(1, d.number);
            if (d.option27 >= 0)
                YYHardcopyOption(27, d.option27);
            const std::string_view file = name;
            YYHardcopyOpen(&file);
            SplinePlotDraw();
            const std::string_view close = "S";
            YYHardcopyOpen(&close);
            return ByLastError();
        });
    }

    // The graph in a memory CGM metafile, saved.
    const int cgm = WMetafileCgmCreate(756, 540, 1 << 20);
    ASSERT_GT(cgm, 0);
    WMetafileCgmBegin(cgm);
    SplinePlotDraw();
    WMetafileCgmClose(cgm);
    WindowMakeCurrent(window_);
    CheckWriter(places, "memory CGM save", "memory.cgm", [&](const std::string& name) {
        gErrorState.lastCode = 0;
        WMetafileCgmSave(cgm, name);
        return ByLastError();
    });

    // The graph in an enhanced metafile slot, saved.
    int status = -1;
    const int slot = 3;
    MetafileSlotEnhancedCreate(slot, 756, 540, status);
    ASSERT_EQ(status, 0);
    IGrSelect(kTargetMetafileSlot, &slot);
    SplinePlotDraw();
    WindowMakeCurrent(window_);
    CheckWriter(places, "metafile slot save", "slot.emf", [&](const std::string& name) {
        int error = 0;
        EnhMetafileCopy(slot - 1, status, error, name);
        return WriteOutcome{status == 0, status != 0 && error != 0};
    });

    // The plot window's picture saved as a BMP file.
    SplinePlotDraw();
    CheckWriter(places, "image save", "screen.bmp", [&](const std::string& name) {
        int result = -1, osError = 0;
        ImageSaveRectangle(1, 0, 0, 99, 99, result, osError, name);
        return WriteOutcome{result == 0, result == kErrorFileOpen || result == kErrorFileReadWrite};
    });
}

} // namespace
