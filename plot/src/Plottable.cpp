#include "plot/Plottable.h"

#include <mfc/CString.h>

Plottable::~Plottable() = default;

void Plottable::getPlottingPaths(ColorPath***, int&) {}
int Plottable::isCutAllowed() {
    return 1;
}
const char* Plottable::getJobName() {
    return "";
}
void Plottable::getLayerName(CString& out, int) {
    out = "";
}
const char* Plottable::getPlottableName() {
    return "";
}
