#pragma once
// Transforming boxes and rectangles by an affine matrix, and the matrix that
// carries three points onto three others.

#include <pathkit/BBox.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>
#include <win32/base.h>

// The box becomes the bounding box of its four transformed corners.
void TransformBBox(const floatTMatrix& m, floatBBox& box);
// Each transformed coordinate taken to floor(v + 0.5).
POINT TransformToPoint(const floatTMatrix& m, const floatPoint& p);
// The rectangle's ranges sorted, then transformed as a box.
floatBBox TransformRect(const floatTMatrix& m, const RECT& r);
// False (matrix unchanged) when the source points are collinear or coincide.
BOOL MatrixFromThreePoints(floatTMatrix& m, const floatPoint& s1, const floatPoint& s2,
                           const floatPoint& s3, const floatPoint& d1, const floatPoint& d2,
                           const floatPoint& d3);
