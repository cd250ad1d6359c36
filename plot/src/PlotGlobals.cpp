// The plot library's module-wide objects.
#include "plot/PlotPath.h"
#include "plot/Plotter.h"

Plotter DRV;
float OverCutting = 0;
int Optimization = 1;
