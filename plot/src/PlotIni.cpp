#include "plot/PlotIni.h"

#include "DataFolder.h"

CString GetPlotIni() {
    return GetPlotDataFile("Plot.ini");
}
