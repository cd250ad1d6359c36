#include "plot/PlotIni.h"

#include "DataFolder.h"

CString GetPlotIni() {
    return GetDataFilePath("Plot.ini");
}
