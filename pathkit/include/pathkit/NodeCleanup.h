#pragma once
// Clean-up passes over the members of a sub-path, run over traced contours and by the node
// tools: straightening, joining lines, local refitting, corners and snapping lines to an
// angle. The node selection bits are those of NodeEdit.h.

#include "pathkit/Point.h"
#include "pathkit/export.h"

class SubPath;

// Curves that are nearly straight become lines (sub-paths of two members or more). Curves with
// a chord shorter than tol * factor stay. A curve whose control points lie within a tenth of
// the chord length of the chord becomes a line when they lie within 2 % of it, or else when
// the squared distance (mm^2) of every point of its flattening from the chord line is below
// tol.
PATHKIT_API void FindStraightLinesIn(SubPath& sp, float tol, float factor);

// Runs of consecutive lines whose inner nodes lie within tol of the chord from the run's start
// to its end become one line (sub-paths of three members or more). A closed sub-path is first
// turned to begin with a curve, so no run crosses its closing node.
PATHKIT_API void JoinStraightLinesIn(SubPath& sp, float tol);

// Refits every run of consecutive selected members (PM_SELECTED) through its flattening within
// twice the accuracy (0: Path::DefAccuracy), then makes the joints inside the result smooth
// where they turn by less than angle (radians; 0 keeps them). The new members are selected. A
// closed sub-path is first turned to begin with a run.
PATHKIT_API void LocalSmooth(SubPath& sp, float accuracy, float angle);

// Curves whose handles are almost as long as the curve and that turn by at most 120 degrees one
// way become two lines meeting where their end tangents cross (sub-paths of three members or
// more; selectedOnly: selected curves only). A line beside the curve that leaves it within 5
// degrees gives that end's tangent. Returns 1 when any curve was replaced.
PATHKIT_API int MakeCornersIn(SubPath& sp, int selectedOnly);

// The signed angle (radians) from the nearer of the directions angle and angle + pi to the
// direction; 0 for a zero direction.
PATHKIT_API double MinAngle(const floatPoint& direction, double angle);

// Turns lines about their midpoints, keeping their lengths, onto the direction angle (radians)
// when they are within tol of it (tol 0: every line); snapped lines get PM_SNAPPED. Returns
// non-zero when any line was snapped.
PATHKIT_API int SnapLinesIn(SubPath& sp, float angle, float tol, int selectedOnly);

// Joins the members again after SnapLinesIn: at each gap the member that was not snapped
// follows the other; two snapped lines meet where they cross, and two parallel ones running
// the same way become one. The gap between the last end and the first start is closed only
// when snapping can have opened it: the sub-path is not known to be open (depth >= 0), a
// snapped member meets it, and it is no wider than 0.7072 times the length of the snapped
// member(s) there. Then UpdateConnectionsIn, and PM_SNAPPED is cleared.
PATHKIT_API void RecoverConnectionsIn(SubPath& sp);
