// The hand-over of the four graph routines whose stand-ins the graphics core
// still carries.
//
// Stand-ins: graphics/graphics_neighbours_pending.cpp holds minimal bodies of
// IPgArea, IPgGraphBegin, IPgPlotAreaFractions and PgGraphStartupDefaults so
// that the graphics start-up links. While they are there, our real bodies are
// compiled under the same names with the prefix "Charts" (the macros below),
// so that the library never holds two definitions of one name; every charts
// source and test includes this header and so calls our bodies. When those
// stand-ins (and their declarations in graphics/graphics_neighbours.h) are
// removed, set CHARTS_GRAPHICS_STANDINS to 0: the names then are the real ones.
#pragma once

#define CHARTS_GRAPHICS_STANDINS 1

#if CHARTS_GRAPHICS_STANDINS
// Their declarations first, under the real names, so that a later include of
// that header is not renamed.
#include "graphics/graphics_neighbours.h"
#define IPgArea ChartsIPgArea
#define IPgGraphBegin ChartsIPgGraphBegin
#define IPgPlotAreaFractions ChartsIPgPlotAreaFractions
#define PgGraphStartupDefaults ChartsPgGraphStartupDefaults
#endif
