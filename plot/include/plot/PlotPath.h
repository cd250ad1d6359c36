#pragma once
// Sends one design path through a Plotter: mapped to device steps, clipped to a box,
// reordered for cutting when Optimization is on, with an overcut on every closed outline.

#include "plot/export.h"

class Path;
class Plotter;
class floatBBox;
class floatBBoxCalculator;
class floatTMatrix;

// toDevice maps millimetres to device steps; clip is in steps. A set keep flag names an edge
// of the clip box (left = least x, right, bottom = least y, top) along which nothing is cut
// where the box cuts through a closed outline. extent, when given, collects the rounded
// device box of every path that meets the clip box.
PLOT_API void PlotPath(Plotter& plotter, Path& path, floatTMatrix& toDevice, floatBBox& clip,
                       int keepLeft, int keepRight, int keepBottom, int keepTop,
                       floatBBoxCalculator* extent);

// Overcut length in millimetres; 0 or less cuts none.
PLOT_API extern float OverCutting;
// Non-zero: the outlines of a path are reordered for cutting (the default).
PLOT_API extern int Optimization;
