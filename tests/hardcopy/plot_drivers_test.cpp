// What the three plot-file drivers keep of the driver contract: the number
// query changes nothing else, the initialisation describes the device, and a
// plot file that cannot be created leaves the hardcopy closed with the error
// of plot unit 2.
#include "core/error_codes.h"
#include "graph_file_fixture.h"

namespace {

struct Driver {
    int number;
    int setting;           // HP-GL/2 device kind or plotter model
    const char* capability;
    const char* defaultName;
    int colours;
    int printCommand;
    std::array<int, 2> page; // options 1 and 2, points
};

constexpr Driver kDrivers[] = {
    {kDriverHpgl2, 2, "00000100011111100010011011110", "quilplot.plt", 256, 1, {769, 561}},
    {kDriverHpgl2, 3, "00000100000011100010001001110", "quilplot.plt", 2, 1, {769, 561}},
    {kDriverHpgl2, 4, "00000100011111100010011011110", "quilplot.plt", 256, 1, {1122, 769}},
    {kDriverHpgl, 1, "00000100000000000010000000010", "quilplot.plt", 4, 1, {742, 530}},
    {kDriverHpgl, 4, "00000100000000000010000000000", "quilplot.plt", 4, 1, {744, 542}},
    {kDriverHpgl, 5, "00000100000010000010000000010", "quilplot.plt", 6, 1, {743, 541}},
    {kDriverHpgl, 8, "00000100000011100010001001010", "quilplot.plt", 8, 1, {1131, 770}},
    {kDriverDxf, 0, "00000100000011000010000000010", "quilplot.dxf", 255, 0, {756, 540}},
};

using DriverContract = GraphFileTest;

TEST_F(DriverContract, QueryInitialisationAndAFileThatCannotBeCreated)
{
    for (const Driver& d : kDrivers) {
        SCOPED_TRACE("driver " + std::to_string(d.number) + ", setting " + std::to_string(d.setting));
        HardcopyState& h = gHardcopyState;
        h.hpgl2Kind = d.setting;
        h.plotterModel = d.setting;
        h.dispatchDriver = d.number;
        h.driverNumber = 0;
        h.option(1) = 1234;
        gDeviceParameterBlock.N = kDriverNumberQuery;
        YYHardcopyCall(DeviceOp::kInitialise);
        EXPECT_EQ(gDeviceParameterBlock.N, d.number);
        EXPECT_EQ(h.driverNumber, 0);
        EXPECT_EQ(h.option(1), 1234);

        YYHardcopySelect(1, d.number);
        EXPECT_EQ(h.driverNumber, d.number);
        EXPECT_EQ(std::string(gDeviceCapabilityString[kHardcopySide].data(), kCapabilityLength), d.capability);
        EXPECT_EQ(gLibraryPaths.hardcopyFileName.trimmed(), d.defaultName);
        EXPECT_EQ(gGraphicsState.hardcopyColours, d.colours);
        EXPECT_EQ(h.printCommandAllowed, d.printCommand);
        EXPECT_EQ(h.option(1), d.page[0]);
        EXPECT_EQ(h.option(2), d.page[1]);

        gErrorState.lastCode = 0;
        Open(d.number, "no such folder\\plot.out");
        EXPECT_EQ(gGraphicsState.hardcopyOpen, 0);
        EXPECT_EQ(gErrorState.lastCode, kErrorFileOpen);
    }
}

} // namespace
