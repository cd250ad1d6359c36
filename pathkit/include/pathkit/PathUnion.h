#pragma once
// The union of many outlines, each read by the even-odd rule, so that the counters of letters
// stay holes (SumTo fills every contour). It unites as SafeMerge does, in one pass: the
// normalised outlines are split into islands (an outer contour with the holes directly inside
// it), the islands are packed into sets whose boxes do not meet, and the sets are merged
// pairwise in a balanced tree.

#include <vector>

#include "pathkit/Path.h"
#include "pathkit/export.h"

class PATHKIT_API PathUnion {
public:
    // accuracy 0: Path::DefAccuracy.
    explicit PathUnion(float accuracy = 0);

    // Takes a normalised copy of the closed contours of path; open contours have no area and
    // take no part. path itself is left as it was. Returns the number of islands taken.
    int Add(const Path& path);
    // Islands taken so far.
    std::size_t IslandCount() const { return islands_.size(); }

    // Unites every island taken into out (its sub-paths replaced, prepared), polling
    // DefAbortProc between merges; exceptions of the library and the handler's AbortedError
    // pass with out untouched. The islands are used up. Returns 0, or the first failure of a
    // merge that could not be assembled even at the finest accuracy.
    int Unite(Path& out);

private:
    float accuracy_;
    std::vector<Path> islands_;
};

// Combines a with b into out as SafeMerge (op 1), SafeSection (op 2) or SafeSubtract (op 3, b
// minus a) do, working only on the islands of b whose boxes meet a's contours: the others are
// carried over untouched (union, difference) or dropped (intersection). b is read by the
// even-odd rule. out's sub-paths are replaced and prepared; out may not be a or b. Returns
// the combination's result (0 success).
PATHKIT_API int CombineNearIslands(int op, Path& a, Path& b, Path& out);
