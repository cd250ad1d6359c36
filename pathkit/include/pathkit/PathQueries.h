#pragma once
// Geometric questions on members and between contours: hit tests, turning angles, coincidence,
// touch points and crossings.

#include "pathkit/Point.h"
#include "pathkit/export.h"

class Path;
class PathMember;
class SubPath;

// 1 when p lies closer than tol to the segment a-b and its projection parameter t lies in
// [0, 1]; a zero-length segment gives t = 0.
PATHKIT_API int IsBeside(const floatPoint& a, const floatPoint& b, const floatPoint& p, float tol,
                         double& t);

// The turn at the junction a -> b (radians, counter-clockwise positive) between a's end tangent
// and b's start tangent; 0 when either tangent has zero length.
PATHKIT_API double Angle(const PathMember& a, const PathMember& b);

// 1 when the members coincide in the same direction, -1 in opposite directions, else 0. End
// points compare exactly, control points within tol (largest coordinate difference).
PATHKIT_API int IsEqual(const PathMember& a, const PathMember& b, float tol);

// Where members of b start on members of a and the other way round, within tol (tol <= 0: a's
// accuracy): appends the points to the sub-paths' intersection lists and marks the members
// that begin there inserted; coinciding members and members starting at the same point of two
// different sub-paths are marked too. Returns the number of points appended.
PATHKIT_API int GetTouchPoints(SubPath& a, SubPath& b, float tol);

// Appends the crossings of the two contours to both intersection lists (each sub-path's own
// parameter and member index); crossings at a member's start are left out. a and b may be the
// same sub-path. Returns the number of crossings found.
PATHKIT_API int GetIntersections(SubPath& a, SubPath& b);

// Sets the overlay bits of coinciding members of a and b (0x1 same direction, 0x2 opposite);
// tol 0 means 4 x a's accuracy. a and b may be the same path.
PATHKIT_API void MarkEqualPM(Path& a, Path& b, float tol);
