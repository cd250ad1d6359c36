#pragma once
// Boolean operations on closed paths: union, intersection, difference and the union of all
// contours of one path.
//
// The operations break both paths where they touch and cross, classify the pieces as inside,
// outside or lying on the other path (member flags PM_OVERLAYED, PM_CONTAINED), select the
// pieces that bound the result (PM_SELECTED) and chain them into new contours. They write these
// flags into both inputs and prepare them; the plain forms append to out. A non-zero result
// means the selected pieces did not close into contours.

#include "pathkit/export.h"

class Fragment;
class Path;

// Sets PM_CONTAINED on the fragment's members when the run lies inside other, clears it when
// outside. Returns 0 when two points of one member clear of other's outline (by more than
// tol) agreed, -1 when each member had to be decided by a single point.
PATHKIT_API int MarkContainment(Fragment& fragment, Path& other, float tol);
// The same for every run of a between inserted members, refining other's accuracy (down to
// 2.5e-7 of its extent, restored afterwards) while a run cannot be decided by sampling.
// Returns 0, or -1 when some run stayed undecided at the finest accuracy.
PATHKIT_API int MarkContainment(Path& a, Path& other);

// Chains the selected members of a and then of b into out (appended; replaced when out is a or
// b) and cleans it. Returns 0, or -1 when some junction had an odd number of ends.
PATHKIT_API int BuildPath(Path& a, Path& b, Path& out);

// The union of a and b; an empty input contributes nothing. Returns BuildPath's result, 0 when
// out is null.
PATHKIT_API int Merge(Path& a, Path& b, Path* out);
// The intersection of a and b; 0 with nothing built when either is empty.
PATHKIT_API int Section(Path& a, Path& b, Path* out);
// The part of b that a does not cover. b empty: out is emptied; a empty: out becomes a copy of
// b.
PATHKIT_API int Subtract(Path& a, Path& b, Path* out);

// Guarded forms: disjoint inputs are combined by copying, everything else runs on normalised
// copies and is retried at tenfold finer accuracies (down to 2.5e-7 of the extent) while the
// result cannot be assembled. out's sub-paths are replaced by the last attempt, prepared.
PATHKIT_API int SafeMerge(Path& a, Path& b, Path& out);
PATHKIT_API int SafeSection(Path& a, Path& b, Path& out);
// out := b minus a.
PATHKIT_API int SafeSubtract(Path& a, Path& b, Path& out);

// Unites all contours of source, each taken as a filled area, into out (prepared, flags
// cleared). The source is left empty. Returns 0, or -1 when some merge could not be assembled
// even at the finest accuracy tried.
PATHKIT_API int SumTo(Path& source, Path& out);
