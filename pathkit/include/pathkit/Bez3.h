#pragma once
// One coordinate of a cubic Bezier.

#include "pathkit/export.h"

// p0 + t(3(p1 - p0) + t(3(p0 - 2p1 + p2) + t(3(p1 - p2) - p0 + p3))), in double precision.
PATHKIT_API double bez3(double p0, double p1, double p2, double p3, double t);
