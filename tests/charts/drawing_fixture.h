// Fixture of the graph-drawing tests (frame, axes, titles, legend, the
// whole graph): the charts fixture, plus a thin driver in front of the
// recorder that behaves like the screen driver where text sizing depends on
// it. On a font or angle op it derives the text scales from the character
// size (as the screen driver does), on a text-width op it measures one
// character width per character at the current size, and on a text op it
// keeps the text state (justification, stacking, angle, size) next to the
// recorded op.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "charts_fixture.h"
#include "graphics/coordinates.h"
#include "graphics/device_ops.h"
#include "graphics/text_state.h"

struct DrawnText {
    int side = 0;
    std::string text;
    float x = 0, y = 0;        // device reference point of the text
    float wx = 0, wy = 0;      // the same in world units
    int justification = 0;
    int stacking = 0;
    float angle = 0;
    float charWidth = 0, charHeight = 0;
};

struct DrawnLine {
    float x1, y1, x2, y2;      // world units
};

class DrawingTest : public ChartsTest {
protected:
    void SetUp() override
    {
        ChartsTest::SetUp();
        savedEnds_ = gSetEndTable;
        gInner = DeviceDriverOverrideOf(kScreenSide);
        gInnerHardcopy = DeviceDriverOverrideOf(kHardcopySide);
        DeviceDriverOverride(kScreenSide, &Driver);
        DeviceDriverOverride(kHardcopySide, &Driver);
        gTexts.clear();
        gGraphicsState.roundingColours = 256;
        gTextState.builtInFont = 0;
        gTextState.spacing = 0;
        gTextState.ratioCheck = {0, 0};
        gTextState.sizeLimit = {kNoTextSizeLimit, kNoTextSizeLimit};
        gTextState.deviceCharset = {8, 8};
        gTextState.rotation = {360, 360};
        gTextState.deviceProportional = {1, 1};
        Scales();
    }
    void TearDown() override
    {
        DeviceDriverOverride(kScreenSide, gInner);
        DeviceDriverOverride(kHardcopySide, gInnerHardcopy);
        gSetEndTable = savedEnds_;
        ChartsTest::TearDown();
    }

    // The text scales the screen driver derives from the character size.
    static void Scales()
    {
        const GraphicsState& g = gGraphicsState;
        TextState& t = gTextState;
        const float dw = t.charWidth * g.orientedAreaSize[0], dh = t.charHeight * g.orientedAreaSize[1];
        if (dw > 0.0f && dh > 0.0f) {
            t.textScaleX = g.orientedLimit[0] / dw;
            t.textScaleY = g.orientedLimit[1] / dh;
        }
    }

    static void Driver(int side, int op)
    {
        const GraphicsState& g = gGraphicsState;
        const TextState& t = gTextState;
        if (side == kScreenSide && (op == DeviceOp::kFont || op == DeviceOp::kTextAngle))
            Scales();
        if (side == kScreenSide && op == DeviceOp::kText) {
            DrawnText d;
            d.side = side;
            const DeviceParameterBlock& b = gDeviceParameterBlock;
            d.text.assign(gDeviceTextBuffer.text.data(), static_cast<size_t>(std::max(0, b.IX[0])));
            // The reference point: the start, middle or nominal end of the
            // line by the justification; for a stacked column the middle of
            // its first cell's top.
            d.x = b.X[0];
            d.y = b.Y[0];
            if (t.stacking != 0) {
                d.x += 0.5f * b.X[1];
            } else if (t.justification == 1) {
                d.x = 0.5f * (b.X[0] + b.X[2]);
                d.y = 0.5f * (b.Y[0] + b.Y[2]);
            } else if (t.justification == 2) {
                d.x = b.X[2];
                d.y = b.Y[2];
            }
            YYDeviceToWorld(d.x, d.y, d.wx, d.wy);
            d.justification = t.justification;
            d.stacking = t.stacking;
            d.angle = t.angle;
            d.charWidth = t.charWidth;
            d.charHeight = t.charHeight;
            gTexts.push_back(d);
        }
        DeviceDriver inner = side == kScreenSide ? gInner : gInnerHardcopy;
        if (inner)
            inner(side, op);
        if (side == kScreenSide && op == DeviceOp::kTextWidth) {
            DeviceParameterBlock& b = gDeviceParameterBlock;
            b.N = 1;
            b.X[0] = static_cast<float>(b.M) * t.charWidth * g.orientedAreaSize[0];
        }
    }

    // Texts drawn on the screen side, in order.
    static std::vector<std::string> TextStrings()
    {
        std::vector<std::string> out;
        for (const DrawnText& d : gTexts)
            out.push_back(d.text);
        return out;
    }
    static const DrawnText* FindText(const std::string& s)
    {
        for (const DrawnText& d : gTexts)
            if (d.text == s)
                return &d;
        return nullptr;
    }

    // Lines (op 2) of one side, in world units.
    std::vector<DrawnLine> Lines(int side = kScreenSide)
    {
        std::vector<DrawnLine> out;
        for (const RecordedOp& r : recorder().Of(side, DeviceOp::kLine)) {
            DrawnLine l;
            YYDeviceToWorld(r.block.X[0], r.block.Y[0], l.x1, l.y1);
            YYDeviceToWorld(r.block.X[1], r.block.Y[1], l.x2, l.y2);
            out.push_back(l);
        }
        return out;
    }

    // Colour numbers selected (op 3) on the screen side, in order.
    std::vector<int> Colours()
    {
        std::vector<int> out;
        for (const RecordedOp& r : recorder().Of(kScreenSide, DeviceOp::kColour))
            out.push_back(r.state.currentNumber);
        return out;
    }

    // The worked example's oblique view of a base of 11 points and 5 sets:
    // view angle 0, elevation 0.5, point share 0.5, ranges 0..1 in x, y and
    // z, so that the base has the data corners (0, 0.25), (0.5, 0.5),
    // (1, 0.25) and (0.5, 0).
    static void ObliqueExampleView()
    {
        PgGraphState& s = gPgGraphState;
        s.pointIntervals = 10.0f;
        s.pointIntervals2 = 4.0f;
        s.pointShare = 0.5f;
        s.viewElevation = 0.5f;
        s.viewAngle = 0.0f;
        s.viewCosMinus45 = s.viewCosPlus45 = 0.70710677f;
        IPgArea(0.0f, 0.0f, 1.0f, 1.0f);
        IPgUnitsZ(0.0f, 1.0f);
    }

    void ClearAll()
    {
        recorder().Clear();
        gTexts.clear();
    }

    SetEndTable savedEnds_;
    static inline std::vector<DrawnText> gTexts;
    static inline DeviceDriver gInner = nullptr;
    static inline DeviceDriver gInnerHardcopy = nullptr;
};
