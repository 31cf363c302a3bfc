// The drawing state of the graphics layer (GraphicsState) and the public and
// internal settings that change it: drawing target, graphics area, world
// units, line style and width, fill style, plot mode, and the start-up
// defaults. World/device conversions are in graphics/coordinates.h, colours in
// graphics/colours.h.
#pragma once

#include <array>
#include <string_view>

#include "core/drawing_target.h" // DrawingTargetKind

// PlotMode.
constexpr int kPlotCopy = 0;
constexpr int kPlotOr = 1;
constexpr int kPlotAnd = 2;
constexpr int kPlotXor = 3;

// FillStyle modes.
constexpr int kFillOutline = 0;
constexpr int kFillHatch = 1;
constexpr int kFillCrossHatch = 2;
constexpr int kFillHalftone = 3;
constexpr int kFillSolid = 4;

// Colour models.
constexpr int kColourModelNumbers = 1;
constexpr int kColourModelRgb = 2;

struct GraphicsState {
    // Target and routing.
    int targetKind = 0;       // DrawingTargetKind
    int targetId = 0;         // window number, bitmap handle, field id (0 = dialog) or slot
    int targetDialog = 0;     // dialog of a kind-3 target, else 0
    int reapplyArea = 0;      // set by YYWINSEL only while it re-applies the area
    int memoryMetafileRouting = 0; // 1 while a memory metafile is the target
    int targetWidth = 0;      // target size in pixels
    int targetHeight = 0;
    int screenOutput = 0;     // 0 screen side off
    int hardcopyOpen = 0;     // above 0 while a hardcopy plot is open

    // Colours (meaning: graphics/colours.h).
    int displayColours = 0;   // colours of the screen side used for colour rounding
    int screenColours = 0;    // palette size found when the main window opened
    int hardcopyColours = 0;  // colours of the hardcopy side, written by the drivers
    int previousDevice = 0;   // device colours (palette index; -1 none)
    int currentDevice = 0;
    int previousNumber = 0;   // colour-number pair (model 1)
    int currentNumber = 0;
    int previousRgb = 0;      // packed RGB pair (model 2)
    int currentRgb = 0;
    int roundingColours = 0;  // colour count that curve colouring rounds to
    int colourModel = 0;      // 1 numbers 0..255, 2 packed RGB

    int plotMode = 0;         // PlotMode
    int lineStyle = 0;        // 0 solid, 1..7 dashed
    int lineWidth = 0;        // screen line width in pixels
    int metafileLineWidth = 0; // tenths of the slot's physical unit
    int fillMode = 0;         // FillStyle mode
    int hatchDensity = 0;     // 1..5
    int hatchDirection = 0;   // 1..4
    int outline = 0;          // 1 outline filled shapes
    // Per side (screen, hardcopy): a driver's request to receive a fill as
    // lines (1 one colour, 2 two colours) at its spacing in device units.
    std::array<int, 2> LineFillRequest{};
    std::array<float, 2> LineFillSpacing{};
    int strokeTextFlag = 0;   // set while stroke text is drawn

    // Geometry (reals unless said).
    float aspect = 0.0f;                       // target width / height (oriented)
    std::array<float, 4> areaFractions{};      // x1, y1, x2, y2 of the target
    std::array<float, 2> areaFractionSize{};   // x2 - x1, y2 - y1
    std::array<float, 4> units{};              // world x1, y1, x2, y2
    std::array<float, 2> penPosition{};        // world x, y
    std::array<float, 4> deviceArea{};         // x1, y1, x2, y2 in device units
    std::array<float, 4> clipBox{};            // device area enlarged by 0.001
    std::array<int, 4> integerArea{};          // device area truncated
    std::array<int, 2> integerAreaSize{};      // x2 - x1 + 1, y2 - y1 + 1
    std::array<float, 2> targetLimit{};        // target width - 0.01, height - 0.01
    std::array<float, 2> orientedLimit{};      // exchanged when rotated by 90/270
    std::array<float, 2> areaSize{};           // device area width and height
    std::array<float, 2> unitSize{};           // world width and height
    std::array<float, 2> orientedAreaSize{};   // area size, exchanged when rotated
    std::array<float, 2> textUnitSize{};       // unit size used by text
    int textGeometryFrozen = 0;                // set by the graph layout
    int pageRotation = 0;                      // 0, 90, 180 or 270
    std::array<float, 2> orientedPlotScale{};  // hardcopy plot scale, exchanged when rotated
};
extern GraphicsState gGraphicsState;

// Public settings. Arguments by value; an optional argument is a pointer that
// may be null (absent).
void IGrUnits(float x1, float y1, float x2, float y2);
void IGrArea(float x1, float y1, float x2, float y2);
void IGrSelect(int kind, const int* id = nullptr);
void IGrAreaErase();
void IGrLineWidthSet(const int* screen = nullptr, const int* hardcopy = nullptr,
                     const int* metafile = nullptr);
void IGrLineStyleSelect(const int* style = nullptr);
void YYFillSettings(const int* style = nullptr, const int* density = nullptr,
                    const int* direction = nullptr);
void YYSetDrawMode(const int* mode = nullptr);

// Target and geometry engine.
void WindowMakeCurrent(int n);
void YYWINSEL(int n, int reapply);
void YYTargetSetSize(int kind, int id, int width, int height);
// DIALOG is the identifier of the dialog that holds FIELD (0 = the dialog).
void YYTargetFieldResized(int dialog, int field, int width, int height);
void YYTargetWindowResized(int n, int width, int height);
void YYAreaLimits(float x1, float y1, float x2, float y2);
// YYAreaLimits of an area kept as fractions of the target (x1, y1, x2, y2):
// puts back the device limits of an areaFractions saved earlier.
void YYAreaLimitsOfFractions(const std::array<float, 4>& fractions);
// The aspect words (YYAspectWordsSet), then the text layer's aspect step.
void YYAspectSet();
// The orientation words of YYAspectSet alone (aspect, oriented limits, area
// size and plot scale), without re-applying the text angle and font.
void YYAspectWordsSet();

// Graphics start-up, run once by WindowOpen. Option "H": screen output off;
// "P": keep the hardcopy options over the driver's initialisation.
void YYGraphicsDefaults(std::string_view options);
// The last step of YYGraphicsDefaults belongs to the presentation-graphics
// layer (its plot area and a one-point graph): that layer installs it when
// its state is linked in; without it the step does nothing.
using GraphicsDefaultsStep = void (*)();
void GraphicsDefaultsGraphStepSet(GraphicsDefaultsStep step);

// What the graphics core asks of the text layer above it (fonts/), which
// installs these steps while the program starts (fonts/text_font.cpp, beside
// the font selection they run). Without them (a program that draws no text)
// neither step does anything.
struct GraphicsTextSteps {
    // After YYAspectSet changed the aspect words: the text angle and the font
    // handed to the devices again.
    void (*aspectChanged)() = nullptr;
    // Step 6 of the graphics start-up: the font applied, the character
    // spacing reset and the standard stroke font installed.
    void (*startup)() = nullptr;
};
void GraphicsTextStepsSet(const GraphicsTextSteps& steps);
// Runs the text layer's start-up step, when it is installed.
void GraphicsTextStartup();
