#pragma once
// The projected sweep: the area a path covers while every point moves along a straight line
// to its image under the affine map of one box onto another (the side of a block shadow).

#include "pathkit/BBox.h"
#include "pathkit/Point.h"
#include "pathkit/TMatrix.h"

class Path;

class CBoxProjection {
public:
    enum { Parallel = 0, Perspective = 1 };

    // Boxes of equal width (within 1 %) give a parallel projection by the offset of their
    // lower-left corners; otherwise m_ptRef is the vanishing point where the lines through
    // the lower corners meet.
    CBoxProjection(const floatBBox& from, const floatBBox& to);

    // dst becomes the swept area alone, the swept area without src (subtractFlag), or the
    // swept area joined with src (mergeFlag, which wins). The sweep is retried at finer
    // accuracies while the areas cannot be combined. 0 on success; -1 when every accuracy
    // failed, and dst is then unchanged.
    int MapPath(Path& src, Path& dst, int subtractFlag, int mergeFlag);
    // The finest accuracy MapPath tries: 2.5e-7 of the smaller side of the box around the
    // source and its image (the larger side when the box is flat), at least 1e-6 mm.
    float MinimumAccuracy(const Path& src) const;

    floatTMatrix m_matrix;
    floatPoint m_ptRef;
    int m_nMode;
};
