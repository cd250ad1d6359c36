// The plot library's module-wide objects.
#include "PlotJob.h"
#include "PlotUnit.h"
#include "plot/PlotPath.h"
#include "plot/Plotter.h"

Plotter DRV;
CUnit PlotUnit;
float OverCutting = 0;
int Optimization = 1;

// The tiling first: the job binds itself to it.
TileTable Tiles;
PlotJob Job(Tiles);
