// Routines and state of other subsystems that the graphics core calls: the
// text layer (the font and angle routines; TextState and the stroke fonts
// come from fonts/), presentation
// graphics (the graph start-up), the hardcopy dispatcher and options, and the
// graphics-core neighbours built separately (memory metafile, bitmaps,
// metafile slots, dialog graphics areas, bitmap viewer). Until those land,
// graphics/graphics_neighbours_pending.cpp gives the text, graph and hardcopy
// routines the least body their service descriptions ask for; a subsystem
// that lands takes its declarations and bodies over from here.
#pragma once

#include <array>
#include <string_view>

#include "core/fixed_text.h"
#include "fonts/builtin_fonts.h"
#include "fonts/stroke_font.h"
#include "fonts/text_state.h"

// ---- Text layer -------------------------------------------------------------

void YYTextFontApply();
void YYTextAngle(float angle);
void YYWindowTextFontPixels();

// ---- Presentation graphics --------------------------------------------------

void IPgArea(float x1, float y1, float x2, float y2);
void IPgGraphBegin(int type, int sets, const int* points, const int* optionBits = nullptr,
                   const int* applyDefaults = nullptr);
void IPgPlotAreaFractions(float x1, float y1, float x2, float y2);
// The remaining start-up values of the graph state and the data-set styles,
// after IPgArea(0, 0, 1, 1) and IPgGraphBegin(4, 500, 1, 0, 0).
void PgGraphStartupDefaults();

// ---- Hardcopy ---------------------------------------------------------------

// Passes OP to the driver the dispatcher's driver number selects.
void YYHardcopyCall(int op);
// Sets one HardcopyOption (1..29, 101..109) with its range check; 9, 10 and
// 11 also go to an open hardcopy as DeviceOps 30, 36 and 37.
void YYHardcopyOption(int code, int value);
void YYHardcopyAspect();
// Runs a command line through the system's command interpreter and waits.
void YYPRNCMD(std::string_view command);

// ---- Graphics-core neighbours -------------------------------------------------

// The memory-metafile driver (the screen side while a memory metafile is the
// target).
void YYCGMMemoryDriver(int op);
// Bitmap slot 0..49 as the drawing surface; STATUS above 0 fails.
void BitmapSelectTarget(int slot, int& status, int& width, int& height);
// Metafile slot 1..20 as the drawing target; sets the memory-metafile routing.
void YYDrawableHandleInfo(int slot, int& status, int& width, int& height);
// The current dialog (field 0) or its field as the drawing surface; FIELD
// := -1 on failure.
void DialogGraphicsTarget(int& field, int& width, int& height);
// Information of bitmap viewer window N by code (0 unless N is a viewer).
void BitmapViewerInfo(int n, int code, int& value);
// Makes the loaded dialog IDENT current.
void WDialogSelect(int ident);
// Physical width (tenths of its unit) and pixel width of metafile slot 1..20
// (both 0 for a free slot).
void MetafileSlotWidths(int slot, int& physicalWidth, int& pixelWidth);
