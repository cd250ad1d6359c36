#pragma once
// A circular arc appended to a sub-path as cubic members.

#include "pathkit/Point.h"
#include "pathkit/export.h"

class SubPath;

// Appends the arc about centre from fromAngle to toAngle (radians, counter-clockwise with y
// up) in equal pieces of at most 90.1 degrees, each a curve member with PM_CURVE | PM_SMOOTH |
// PM_CHANGED (0x284) whose handles lie on the circle's tangents, radius * piece angle / 3 long.
// Nothing is added for a sweep below 0.0001 or a sweep, centre or radius that is not finite; a
// sweep needing more pieces than the sub-path can take throws the member array's LimitCheck
// before anything is added.
PATHKIT_API void Arc(const floatPoint& centre, float radius, float fromAngle, float toAngle,
                     SubPath& sp);
