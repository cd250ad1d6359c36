#pragma once
// The envelope mapping: a bicubic patch bounded by four curves onto which a box is bent.

#include "pathkit/BBox.h"
#include "pathkit/NonLinearTrans.h"
#include "pathkit/PathMember.h"

class CEnvSphereTrans : public NonLinearTrans {
public:
    CEnvSphereTrans(float accuracy, int stepFactor, int fitA, int fitB);

    // The box's bottom, right, top and left sides go onto the four edge curves (start, end,
    // first and second control point; bottom and top run left to right, the sides upwards).
    // The inner control points follow the parallelogram rule at the nearest corner.
    int SetPatch(const floatBBox& box, const PathMember& bottom, const PathMember& right,
                 const PathMember& top, const PathMember& left);

    // A box of zero width or height leaves every point where it is.
    void TransformPoint(floatPoint& p) override;

    floatBBox m_box;
    floatPoint m_grid[4][4]; // [row][column], row 0 the bottom edge, column 0 the left edge
};
