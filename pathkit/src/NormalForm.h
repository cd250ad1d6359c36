#pragma once
// The steps of the normal form that report what they did.

#include "pathkit/BBox.h"

class Path;
class SubPath;

// Path::Prepare; returns the number of contours it reversed. With knowTurns, the closed
// contours left as they were are marked SP_TURN_KNOWN (for the normal form's own steps).
unsigned PrepareCountingReversals(Path& path, bool knowTurns);
// A box of zero width or height or with an edge that is no finite number: SubPath::CalcRotation
// leaves the turn of such a contour as it is (or zero).
bool IsFlatOrInfinite(const floatBBox& box);
// Prepare's order: deepest first (open sub-paths, depth -1, last), then by the left edge of
// the control box.
int CompareForPrepare(const SubPath* a, const SubPath* b);
// The clusters of from, whose members and accuracy sp shares, where Validate would build the
// same ones for sp.
void CarryClusters(const SubPath& from, SubPath& sp);
