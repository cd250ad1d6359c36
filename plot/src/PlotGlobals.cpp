// The plot library's module-wide objects.
#include "plot/PlotPath.h"
#include "plot/Plotter.h"
#include "PlotUnit.h"

Plotter DRV;
CUnit PlotUnit;
float OverCutting = 0;
int Optimization = 1;
