#pragma once
// Where the plot library keeps its options.

#include <mfc/CString.h>

#include "plot/export.h"

// The full path of Plot.ini in the data folder; copied there from the program folder when it
// is missing.
PLOT_API CString GetPlotIni();
