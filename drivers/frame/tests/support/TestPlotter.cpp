// The members of Plotter that the driver tests need, standing in for the plot library.
#include "TestPlotter.h"

Plotter::Plotter() = default;
Plotter::~Plotter() = default;

int Plotter::IsAborted() {
    return aborted;
}
float Plotter::MMToUnit(float mm) {
    return mm;
}
float Plotter::UnitToMM(float value) {
    return value;
}
const char* Plotter::UnitName() {
    return "mm";
}
void Plotter::GetPlotSize(float& width, float& height) {
    width = height = 1000;
}

int TestPlotter::IsAborted() {
    ++polls;
    if (abortAtPoll > 0 && polls >= abortAtPoll) aborted = 1;
    return aborted;
}
