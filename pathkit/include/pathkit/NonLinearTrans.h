#pragma once
// Maps paths through an arbitrary point transformation: members are sliced into points, each
// point is mapped, and curves are fitted through the mapped points.

#include "pathkit/PMSlicer.h"
#include "pathkit/Path.h"
#include "pathkit/PathFitter.h"
#include "pathkit/Point.h"
#include "pathkit/SubPath.h"
#include "pathkit/export.h"

class PATHKIT_API NonLinearTrans : public PMSlicer {
public:
    // An accuracy that is not a positive finite number takes Path::DefAccuracy. Slices within
    // the accuracy in steps of at most stepFactor accuracies, and fits within twice the
    // accuracy with the fitter's search and tangent modes fitA and fitB.
    NonLinearTrans(float accuracy, int stepFactor, int fitA, int fitB);
    NonLinearTrans(const NonLinearTrans&) = delete;
    NonLinearTrans& operator=(const NonLinearTrans&) = delete;
    ~NonLinearTrans() override;

    // Maps the point and hands it to the fitter; an exact repeat of the last point is dropped.
    void PointOutput(floatPoint& p) override;

    // Non-zero makes the start of member memberIndex a node of the result.
    virtual int Break(SubPath& sp, unsigned memberIndex);
    // The mapping; the base leaves the point as it is.
    virtual void TransformPoint(floatPoint& p);
    // Replaces the contour by its mapped and refitted form (the result's buffers are handed
    // over); a contour that leaves no member is emptied.
    virtual void Transform(SubPath& sp);
    // Transform on every finished sub-path.
    void Transform(Path& path);

    floatPoint lastPoint; // last point received, before mapping
    int havePoint;        // a point was received since the contour began
    Path output;
    PathFitter fitter; // appends to output
};
