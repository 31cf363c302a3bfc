// Shared set-up of the primitive tests: a drawing state with a known target
// and world units, the recording driver on both sides, and a scripted
// hardcopy driver that can answer fill calls the way real drivers do (ask
// for the fill as lines, or leave M = -1 after an ellipse).
#pragma once

#include "graphics_fixture.h"

#include <algorithm>
#include <vector>

#include "graphics/device_recorder.h"

// How the scripted hardcopy driver answers the fill call (odd fill op with M
// not -1) of a primitive.
struct HardcopyScript {
    int lineFillRequest = 0;        // LineFillRequest it sets (0 none)
    float lineFillSpacing = 4.0f;   // with this spacing
    bool ellipseAsOutline = false;  // leaves M = -1 after DeviceOp 5
};

class PrimitivesTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    DeviceRecorder rec;
    static inline HardcopyScript script;
    static inline DeviceDriver recorderDriver = nullptr;

    static void ScriptedHardcopy(int side, int op)
    {
        recorderDriver(side, op);
        DeviceParameterBlock& b = gDeviceParameterBlock;
        bool fillCall = op >= DeviceOp::kEllipseHalftone && op <= DeviceOp::kPolygonHalftone && op % 2 == 1 &&
                        b.M != -1;
        if (!fillCall)
            return;
        if (script.lineFillRequest != 0) {
            gGraphicsState.LineFillRequest[kHardcopySide] = script.lineFillRequest;
            gGraphicsState.LineFillSpacing[kHardcopySide] = script.lineFillSpacing;
        }
        if (op == DeviceOp::kEllipseHalftone && script.ellipseAsOutline)
            b.M = -1;
    }

    void SetUp() override
    {
        script = HardcopyScript{};
        recorderDriver = DeviceDriverOverrideOf(kHardcopySide);
        DeviceDriverOverride(kHardcopySide, &PrimitivesTest::ScriptedHardcopy);
        Target(300, 300);
        gErrorState.lastCode = 0;
    }

    // A target of W x H pixels, the whole of it the graphics area, world
    // units 0..UX by 0..UY (absent: the device limits, so that world and
    // device coordinates coincide), screen output on, no hardcopy, outline
    // fill.
    void Target(int w, int h, float ux = 0, float uy = 0)
    {
        if (ux == 0)
            ux = w - 0.01f;
        if (uy == 0)
            uy = h - 0.01f;
        GraphicsState& g = gGraphicsState;
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.memoryMetafileRouting = 0;
        g.targetKind = kTargetBitmap;
        g.targetId = 1;
        g.targetWidth = w;
        g.targetHeight = h;
        g.targetLimit = {w - 0.01f, h - 0.01f};
        g.pageRotation = 0;
        g.plotMode = kPlotCopy;
        g.textGeometryFrozen = 0;
        g.areaFractions = {0, 0, 1, 1};
        g.areaFractionSize = {1, 1};
        YYAreaLimits(0, 0, static_cast<float>(w), static_cast<float>(h));
        IGrUnits(0, 0, ux, uy);
        YYAspectWordsSet();
        g.fillMode = kFillOutline;
        g.outline = 1;
        g.hatchDensity = 1;
        g.hatchDirection = 3;
        g.LineFillRequest = {0, 0};
        g.LineFillSpacing = {0, 0};
        g.colourModel = kColourModelNumbers;
        g.displayColours = 256;
        g.hardcopyColours = 256;
        g.previousNumber = 1;
        g.currentNumber = 2;
        g.previousRgb = 0x0000FF;
        g.currentRgb = 0x00FF00;
        g.previousDevice = 1;
        g.currentDevice = 2;
        gHardcopyState.pageAspect = 1.0f;
        rec.Clear();
    }

    void Fill(int mode, int direction = 3, int density = 1, int outline = 1)
    {
        GraphicsState& g = gGraphicsState;
        g.fillMode = mode;
        g.hatchDirection = direction;
        g.hatchDensity = density;
        g.outline = outline;
    }

    void OpenHardcopy() { gGraphicsState.hardcopyOpen = 1; }

    // Lines that reached SIDE (on the screen side only those sent while
    // screen output was on).
    std::vector<RecordedOp> Lines(int side) const
    {
        std::vector<RecordedOp> out;
        for (const RecordedOp& r : rec.ops)
            if (r.side == side && r.op == DeviceOp::kLine && (side == kHardcopySide || r.state.screenOutput > 0))
                out.push_back(r);
        return out;
    }

    // The op codes of SIDE, lines and colour changes included; on the screen
    // side only those a driver acts on (screen output on).
    std::vector<int> Codes(int side) const
    {
        std::vector<int> out;
        for (const RecordedOp& r : rec.ops)
            if (r.side == side && (side == kHardcopySide || r.state.screenOutput > 0))
                out.push_back(r.op);
        return out;
    }
};
