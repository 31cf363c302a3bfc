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

#include "charts/graph_ranges.h"
#include "charts/graph_state.h"

// ---- Hardcopy ---------------------------------------------------------------

// YYHardcopyCall, YYHardcopyOption, YYHardcopyAspect (hardcopy/hardcopy_state.h)
// and YYPRNCMD (hardcopy/plot_output.h).
#include "hardcopy/hardcopy_state.h"
#include "hardcopy/plot_output.h"

// ---- Graphics-core neighbours -------------------------------------------------

// The memory-metafile driver YYCGMMemoryDriver (the screen side while a
// memory metafile is the target).
#include "graphics/memory_metafile.h"
// Bitmap slot 0..49 as the drawing surface; STATUS above 0 fails.
void BitmapSelectTarget(int slot, int& status, int& width, int& height);
// Metafile slot 1..20 as the drawing target; sets the memory-metafile routing.
void YYDrawableHandleInfo(int slot, int& status, int& width, int& height);
// The current dialog (field 0) or its field as the drawing surface; FIELD
// := -1 on failure.
void DialogGraphicsTarget(int& field, int& width, int& height);
// Information of bitmap viewer window N by code (0 unless N is a viewer).
void BitmapViewerInfo(int n, int code, int& value);
// Physical width (tenths of its unit) and pixel width of metafile slot 1..20
// (both 0 for a free slot).
void MetafileSlotWidths(int slot, int& physicalWidth, int& pixelWidth);
