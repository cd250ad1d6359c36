#pragma once
// The steps of the normal form that report what they did.

class Path;


#include "pathkit/BBox.h"

// Path::Prepare; returns the number of contours it reversed.
unsigned PrepareCountingReversals(Path& path);
// A box of zero width or height or with an edge that is no finite number: SubPath::CalcRotation
// leaves the turn of such a contour as it is (or zero).
bool IsFlatOrInfinite(const floatBBox& box);
