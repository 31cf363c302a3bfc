// Shared set-up of the text tests: the drawing state, text state, stroke
// font and width table saved and put back around each test, a recording
// driver on both sides, and a target whose world units are its device
// units (so that world and device points can be compared directly).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "graphics/device_recorder.h"
#include "graphics/graphics_state.h"
#include "graphics/text_state.h"
#include "tests/graphics/graphics_fixture.h"

class TextTest : public ::testing::Test {
protected:
    GraphicsStateGuard guard;
    StrokeFont savedFont = gStrokeFont;
    StrokeFontSaveArea savedArea = gStrokeFontSaveArea;
    StrokeWidthTable savedWidths = gStrokeWidthTable;
    DeviceTextBuffer savedText = gDeviceTextBuffer;
    DeviceCapabilityString savedCapability = gDeviceCapabilityString;
    DeviceRecorder rec;

    ~TextTest() override
    {
        gStrokeFont = savedFont;
        gStrokeFontSaveArea = savedArea;
        gStrokeWidthTable = savedWidths;
        gDeviceTextBuffer = savedText;
        gDeviceCapabilityString = savedCapability;
    }

    // A target of WIDTH x HEIGHT pixels with the whole area as graphics area
    // and world units equal to device units, screen output on, no hardcopy,
    // the start-up text state with the screen's capabilities, the standard
    // stroke font and the default widths. The recorder starts empty.
    void SetTarget(int width, int height, int rotation = 0)
    {
        GraphicsState& g = gGraphicsState;
        g.targetKind = kTargetBitmap;
        g.targetId = 1;
        g.memoryMetafileRouting = 0;
        g.screenOutput = 1;
        g.hardcopyOpen = 0;
        g.reapplyArea = 0;
        g.textGeometryFrozen = 0;
        g.pageRotation = rotation;
        g.targetWidth = width;
        g.targetHeight = height;
        g.targetLimit = {width - 0.01f, height - 0.01f};
        g.lineStyle = 0;
        g.lineWidth = 1;
        g.fillMode = kFillOutline;
        g.outline = 1;
        g.penPosition = {0.0f, 0.0f};
        YYTextStateDefaults();
        TextState& t = gTextState;
        t.sizeLimit[0] = kNoTextSizeLimit;
        t.deviceCharset[0] = 8;
        t.rotation[0] = 360;
        t.deviceProportional[0] = 1;
        YYCHSPACE(0);
        YYFontStandard();
        IGrArea(0.0f, 0.0f, 1.0f, 1.0f);
        IGrUnits(0.0f, 0.0f, g.orientedAreaSize[0], g.orientedAreaSize[1]);
        // The nominal cell as the device font's cell, until a test says otherwise.
        t.textScaleX = g.orientedLimit[0] / (t.charWidth * g.orientedAreaSize[0]);
        t.textScaleY = g.orientedLimit[1] / (t.charHeight * g.orientedAreaSize[1]);
        rec.Clear();
    }

    // An open hardcopy whose page has the target's aspect, with the text
    // capabilities of a device that draws any text of its own.
    void OpenHardcopy()
    {
        GraphicsState& g = gGraphicsState;
        TextState& t = gTextState;
        g.hardcopyOpen = 1;
        gHardcopyState.pageAspect = g.aspect;
        g.orientedPlotScale = {1.0f, 1.0f};
        t.sizeLimit[1] = kNoTextSizeLimit;
        t.deviceCharset[1] = 8;
        t.rotation[1] = 360;
        t.deviceProportional[1] = 1;
        t.hardcopyTextBox = 1;
        t.ratioCheck = {1, 1};
    }

    // Nominal character cell in device units.
    float Wc() const { return gTextState.charWidth * gGraphicsState.orientedAreaSize[0]; }
    float Hc() const { return gTextState.charHeight * gGraphicsState.orientedAreaSize[1]; }

    static std::string FontName()
    {
        return std::string(TrimRight(std::string_view(gStrokeFont.name.data(), gStrokeFont.name.size())));
    }
};
