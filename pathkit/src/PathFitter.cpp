#include "pathkit/PathFitter.h"

#include "pathkit/Path.h"

PathFitter::PathFitter(Path& p, int searchMode, int tangentMode)
    : Bez3FitBase(2 * p.accuracy, searchMode, tangentMode), path(p) {}

void PathFitter::Output(PathCmd cmd, float x, float y) {
    path.Append(cmd, x, y);
}

float PathFitter::GetAccuracy() const {
    return path.accuracy;
}

void PathFitter::SetAccuracy(float accuracy) {
    path.SetAccuracy(accuracy);
    tolerance = 2 * path.accuracy;
}
