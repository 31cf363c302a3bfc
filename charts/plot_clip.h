// Clipping a graph's data to its plot area, and saving the drawing state
// around one drawing step, so that every drawing call of presentation
// graphics leaves the caller's state as it found it.
//
// ClipSaveArea and PlotStateSaveArea are single records: a save overwrites
// the previous one, so saves of one kind do not nest.
#pragma once

#include <array>
#include <string_view>

struct ClipSaveArea {
    std::array<float, 4> area{};  // graphics area fractions x1, y1, x2, y2
    std::array<float, 4> plot{};  // plotX1, plotY1, plotX2, plotY2
    std::array<float, 4> units{}; // world x1, y1, x2, y2
    int outline = 0;
    int justification = 0;
    float slant = 0.0f;
    int narrowed = 0;             // 1 when the select narrowed the area
};
extern ClipSaveArea gClipSaveArea;

struct PlotStateSaveArea {
    int previousNumber = 0, currentNumber = 0;
    int previousRgb = 0, currentRgb = 0;
    int previousDevice = 0, currentDevice = 0;
    int lineStyle = 0;
    int stacking = 0;
    int fillMode = 0, hatchDensity = 0, hatchDirection = 0;
    std::array<float, 4> area{};  // modes 2 and 4
};
extern PlotStateSaveArea gPlotStateSaveArea;

// clipToPlot := the option text holds "P" (either case).
void IPgGraphOptions(std::string_view options);

// Wrapped around the drawing of one data set, always in pairs: with the clip
// option the graphics area narrows to the plot area (world positions kept)
// and is put back afterwards; the drawing state, the outline flag, the text
// justification and slant are saved and restored.
void YYGraphAreaSelect();
void YYGraphAreaRestore();

// MODE 0 saves the drawing state (colours, line style, stacking, fill),
// 1 restores it; 2 saves the graphics area, 3 re-applies the saved area's
// device limits; 4 saves the area and opens the limits to the whole target.
// Other modes do nothing.
void YYPlotStateSave(int mode);

// Narrows the graphics area to the given fractions of the target and sets
// the units so that every world point keeps its place on the target.
void YYPlotAreaSet(float x1, float y1, float x2, float y2);
