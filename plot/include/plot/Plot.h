#pragma once
// The plot library's entry: runs its plot sheet (layout, settings, tile and cut pages) for a
// host's design. The host's paths are read during the call only.

#include "plot/export.h"

class CUnit;
class CWnd;
struct Plottable;

// unit: the index of one of the built-in units.
PLOT_API void Plot(CWnd* parent, Plottable* design, int unit);
// The host's unit record is copied; a unit of the host's own table becomes Plot's custom
// unit with its factor and name.
PLOT_API void Plot(CWnd* parent, Plottable* design, CUnit* unit);
