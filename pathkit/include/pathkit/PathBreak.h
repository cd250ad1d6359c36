#pragma once
// Breaking whole paths at the points where their contours touch or cross.

#include "pathkit/export.h"

class Path;

// Collects the touch points (GetTouchPoints, within tol; tol <= 0 means a's accuracy) of every
// sub-path of a with every sub-path of b whose boxes, grown by tol, overlap, and breaks both
// paths there. a and b may be the same path: a sub-path is then not paired with itself. With
// closedOnly, open sub-paths take no part. Returns the number of break points applied.
PATHKIT_API long BreakAtTouchPoints(Path& a, Path& b, float tol, int closedOnly);
// The same with the crossings (GetIntersections) of sub-paths whose boxes overlap.
PATHKIT_API long BreakAtIntersections(Path& a, Path& b, int closedOnly);
// SubPath::BreakApart on every sub-path, then validation; returns the number of break points
// the sub-paths held.
PATHKIT_API long BreakApart(Path& path);
